#pragma once

// The command buffer and the pending command.
//
// A command key is a short ASCII text whose first letter names its family
// (p program, b tool, f view tool, s view command, z interface event), such as
// "b_line_line". Posters write their key into command_key and end the
// innermost wait; the waiter reads it. pending_command holds a p_ or b_ key
// that ended a running tool, for the command loop to run next; "nop" means
// empty.

#include "model/fixed_text.h"

inline constexpr int CMD_KEY_LEN = 80;

extern FixedText<CMD_KEY_LEN> command_key;
extern FixedText<CMD_KEY_LEN> pending_command;

// True when pending_command holds exactly "nop".
bool cmd_pending_empty();

// Runs one nested wait and returns the key posted while it ran. The buffer is
// set to "nop" first, so a wait that ends without a key (a box answer, a
// wake-up) returns "nop" rather than the previous key.
const char* cmd_wait_key();

// What every poster does last: copies key into the command buffer (cut to
// the buffer) and ends the innermost wait. With no wait running only the
// buffer changes.
void cmd_put_key(const char* key);
