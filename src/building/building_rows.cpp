#include "building/building_rows.h"

CmdRows building_rows() { return {}; }
