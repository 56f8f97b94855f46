#pragma once

#include "display/command_rows.h"

// The import, export, print and plot commands' rows.
CmdRows exchange_rows();
