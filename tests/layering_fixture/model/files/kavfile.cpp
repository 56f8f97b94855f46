#include "model/elem.h"
#include "tools/tool_common.h"
