#pragma once

// The command loop: the program's main loop. It waits for a command key,
// hands it to the dispatcher of its first letter and starts over, until the
// quit command sets quit_requested. A p_ or b_ key that ends a running tool
// stays in pending_command (display/command_buffer.h) and runs next without
// a new wait.

// Set by the quit command; the loop returns at the start of its next pass.
extern int quit_requested;

// Runs until quit_requested is set.
void cmd_loop();

// The handler of command buttons and menu items ("clicked", "activate",
// "toggled"); key is the handler's user data, a static text. The dialog
// dispatch (dlg_table.h) sees every key first. Then, by the key's
// first letter: z_ posts it; s_ releases the view-tool button and posts it;
// f_ holds the pressed view-tool button and posts it; p_ releases the tool
// button and posts it; b_ holds the pressed tool button and posts it. A key of
// any other letter is ignored.
void cmd_post_key(void* widget, const char* key);

// Installs the command loop's side of display/shell_hooks.h. cmd_loop does
// this itself; the start-up and tests may do it earlier.
void cmd_install_shell_hooks();
