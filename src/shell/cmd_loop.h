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

// The command loop's own commands.
// The file name of a drawing that has none yet, in the drawing folder: the
// drawing's name after the start and after p_file_new.
inline constexpr const char* DRAWING_UNNAMED = "Unnamed.kav";
// p_file_new: empties the drawing (after asking when it is modified); the
// drawing becomes DRAWING_UNNAMED in the drawing folder.
void cmd_p_file_new();
// p_file_quit (also closing the main window): quits, after asking when the
// drawing is modified; answering Save saves and keeps the program running.
void cmd_p_file_quit();
// The path buttons of the settings and renderer dialogs: "draw", "sym",
// "dxf", "export", "dia", "pov", "ray". Asks for a folder or file and writes
// the choice into the setting and the dialog's entry; a cancel changes nothing.
void cmd_p_path_choose(const char* name);
