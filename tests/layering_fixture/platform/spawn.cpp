#include "platform/spawn.h"

#include <spawn.h>

#include "model/elem.h"
