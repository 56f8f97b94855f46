#include "shell/cmd_loop.h"

#include <gdk/gdk.h>

#include "exchange/dxf.h"
#include "shell/gtk/mainwin.h"
#include "tools/tool_common.h"
