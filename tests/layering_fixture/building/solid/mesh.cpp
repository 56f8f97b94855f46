#include "building/solid/mesh.h"

#include "exchange/dxf.h"
#include "tools/tool_common.h"
