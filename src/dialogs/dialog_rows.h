#pragma once

#include "display/command_rows.h"

// The rows of commands the dialogs own.
CmdRows dialog_rows();
