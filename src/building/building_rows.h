#pragma once

#include "display/command_rows.h"

// The building and 3D tools' rows.
CmdRows building_rows();
