#include "exchange/dxf.h"

#include <gio/gio.h>

#include "building/solid/mesh.h"
#include "dialogs/line_dialog.h"
#include "tools/tool_common.h"
