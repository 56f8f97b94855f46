#pragma once

// The five dispatchers of the command loop, one table each: a row maps a
// whole command key to its handler. A key whose handler is not built has no
// row; it is dropped with one line on standard output, as is any key no
// dispatcher knows. Keys that only end a wait (cmd_keys.h) are dropped
// silently.

#include <vector>

#include "display/command_rows.h"

// The live table of a dispatcher ('p', 'b', 'f', 's', 'z'), in dispatch order:
// the shell's rows, then the display's, the tools', building's, exchange's
// and the dialogs'. A handler that throws is reported in an error box.
// Tests may add or replace rows and put the table back afterwards.
std::vector<CmdRow>& cmd_rows(char family);

// Whether the dispatcher of key's first letter has a row for it.
bool cmd_key_has_row(const char* key);

// Each runs the row of key; a key of another family is ignored. The b_
// dispatcher then releases the active tool button unless the pending command
// is a tool key (so a tool ended by another tool leaves the new one pressed);
// the s_ dispatcher releases the active view-tool button after its command.
void cmd_dispatch_p(const char* key);
void cmd_dispatch_b(const char* key);
void cmd_dispatch_f(const char* key);
void cmd_dispatch_s(const char* key);
void cmd_dispatch_z(const char* key);

// Hands key to the dispatcher of its first letter; "nop" and keys of any
// other letter are dropped.
void cmd_dispatch(const char* key);
