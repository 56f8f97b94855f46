#pragma once

// The small windows every part of the program uses: the error and message
// box, the question box, the file chooser, the progress window, the separate
// text editor, the gauge and about boxes, and the change of the interface
// font. dlg_install_ui() puts them into the ui table (model/ui.h), through
// which logic reaches them; logic and its tests never see the toolkit.
//
// The question box and the file chooser are ordinary windows, not modal
// ones: they wait in a nested wait of their own. A command key posted while
// one waits (a tool button, a menu item, a mapped key) ends it as if it had
// been closed, answer 0 or "cancel", and that key is not dispatched. A wake-up
// without a key (such as a view being configured) does not end it.

#include <array>
#include <string>

// Makes the dialog table (dlg_table.h) show, hide and destroy GTK widgets:
// puts those operations into the shell platform table, keeping its other
// entries.
void dlg_use_gtk();
// Installs the boxes below into the ui table, keeping its other entries.
void dlg_install_ui();

// Non-blocking: destroys the error/message box if there is one, builds a new
// one titled "Error" or with the given title, shows it and returns.
void msgbox_error(const char* text);
void msgbox_message(const char* title, const char* text);

// The answer of the last question: 1..5 for the button pressed, 0 when the
// box was closed or its wait ended otherwise.
extern unsigned char msgbox_answer;
// Blocking question with count (1..5) buttons; returns 1..count or 0.
int msgbox_ask(const char* message, int count, const char* const* labels);

// Blocking file chooser: mode 0 open, 1 save (asks before overwriting an
// existing file), 2 folder (the result ends in "/"). path_folder is where the
// "> Kavro Path" button goes. Returns a path shorter than PATH_LEN, or
// "cancel"; an empty, folder-only (outside mode 2) or too long choice also
// shows "Cannot open file".
std::string filesel_choose(const char* title, const char* start_name, int mode, const char* path_folder);

// The progress window: open, set the bar (0..1, drawn at once), close.
void gui_progress_open(const char* title);
void gui_progress_update(float fraction);
void gui_progress_close();
// With a Cancel button; whether it was pressed; the end with a last line.
void gui_progress_open_cancel(const char* title);
bool gui_progress_cancelled();
void gui_progress_finish(const char* last_line);

// The separate text editor "Edit Text:" (ISO-8859-1 text). An editor already
// open keeps its text; the cursor goes to the end. Its Apply and Cancel
// hand the text to the text tools and close it; Apply refuses a text with
// characters beyond ISO-8859-1, which stays to be corrected.
void gui_text_editor_show(const char* text);
// The editor's whole text (ISO-8859-1); empty when there is no editor.
std::string gui_text_editor_get();
// Closes the editor without Apply or Cancel, dropping what it holds.
void gui_text_editor_close();

// The five texts of the gauge box: X, Y and Z distance, length, angle.
extern std::array<std::string, 5> gauge_texts;
// Formats the gauge texts in the current units (metres and radians in).
void gauge_format(double dx, double dy, double dz, double length, double angle);
// Formats the texts and shows them in the gauge box.
void gui_show_gauge(double dx, double dy, double dz, double length, double angle);

// The about box: built once, shown at every start.
void gui_show_about();
