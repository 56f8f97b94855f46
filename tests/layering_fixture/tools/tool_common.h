#pragma once

#include <glib.h>

#include "display/view.h"
#include "model/elem.h"
