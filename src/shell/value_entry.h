#pragma once

// The inline value entry: a one-line entry beside the prompt field in which
// point input lets the user type a value. Enter leaves the text in
// input_text (display/key_state.h) and posts "z_eini"; Escape closes it and
// posts "z_eesc". At most one exists; while it does, value_entry_open is set
// and the key mapping is off for every other key.
//
// The main window says where the entry goes (keymap_gtk.h); without a place
// the entry exists without being shown.

// Closes an open entry, then creates one with text.
void mainwin_value_entry_open(const char* text);
// Creates the entry with a preset text (ISO-8859-1) and gives it the focus.
void mainwin_value_entry_create(const char* text);
// Destroys the entry if there is one and clears value_entry_open.
void mainwin_value_entry_close();
