#pragma once

#include "display/command_rows.h"

// The drafting tools' rows.
CmdRows tool_rows();
