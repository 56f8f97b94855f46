#pragma once

// The two exclusive groups of command buttons: the tool buttons (b_ keys) and
// the view-tool buttons (f_ keys). A tool's button stays pressed while the
// tool runs; at most one button of each group is active.
//
// Widgets are opaque handles here. The toolkit side (cmd_buttons_use_gtk,
// through shell_platform.h) sets a toggle button's state with its command
// handler blocked, so a change made by the program posts no key, and clears
// a group when its widget is destroyed. Without it the groups only keep
// their state.

struct CmdButtonSlot {
  void* widget = nullptr;     // null: no button active
  const char* key = nullptr;  // the key given to the button's handler
  unsigned long watch = 0;    // the toolkit's destroy-watch id
};

extern CmdButtonSlot active_b_button;
extern CmdButtonSlot active_f_button;

// Makes a pressed button the active one of its group; pressing the active
// button again keeps it pressed.
void mainwin_hold_b_button(void* widget, const char* key);
void mainwin_hold_f_button(void* widget, const char* key);
// Releases the active button of the group, if any.
void mainwin_release_b_button();
void mainwin_release_f_button();
// Drops a destroyed widget from the groups without touching it.
void mainwin_forget_button(void* widget);
