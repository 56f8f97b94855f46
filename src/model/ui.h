#pragma once

// The calls from logic up to the user interface.
//
// Model, drawing, tools, importers and exporters never include the toolkit.
// Whatever they need of the interface (questions, messages, button states,
// refreshes) goes through this one table of plain functions; the model's
// redraws go through model/redraw.h instead. The shell installs the real
// table at start-up; tests install a scripted one. Every entry starts silent
// (questions answer 0 or "cancel", everything else does nothing), so a table
// sets only what it provides.

#include <string>

namespace ui_silent {
inline void enable(bool) {}
inline void angle(double) {}
inline void error(const char*) {}
inline void message(const char*, const char*) {}
inline int ask(const char*, int, const char* const*) { return 0; }
inline std::string choose(const char*, const char*, int, const char*) { return "cancel"; }
inline void fraction(double) {}
inline void gauge(double, double, double, double, double) {}
inline void text(const char*) {}
inline void none() {}
inline void name_text(const char*, const char*) {}
inline void mode(int) {}
inline std::string no_text() { return {}; }
inline bool no() { return false; }
inline void poll(bool (*)()) {}
}  // namespace ui_silent

// Modes of filesel_choose.
enum : int { FILESEL_OPEN = 0, FILESEL_SAVE = 1, FILESEL_FOLDER = 2 };

struct UiTable {
  // Undo and redo buttons of the main window.
  void (*undo_button_enable)(bool on) = ui_silent::enable;
  void (*redo_button_enable)(bool on) = ui_silent::enable;

  // Non-blocking boxes: an error, and a message with a title.
  void (*msgbox_error)(const char* text) = ui_silent::error;
  void (*msgbox_message)(const char* title, const char* text) = ui_silent::message;
  // A question with 1 to 5 answers; returns 1..count, 0 when closed.
  int (*msgbox_ask)(const char* message, int count, const char* const* labels) = ui_silent::ask;
  // File chooser: mode 0 open, 1 save (asks before overwriting), 2 folder
  // (the path ends in "/"). start is the name shown first, path_folder where
  // the chooser's path button goes. Returns the chosen path (shorter than
  // PATH_LEN) or "cancel".
  std::string (*filesel_choose)(const char* title, const char* start, int mode,
                                const char* path_folder) = ui_silent::choose;

  // The progress window of long operations: open with a title, set the bar
  // (0..1, drawn at once), close.
  void (*gui_progress_open)(const char* title) = ui_silent::text;
  void (*gui_progress_update)(double fraction) = ui_silent::fraction;
  void (*gui_progress_close)() = ui_silent::none;
  // The same window with a Cancel button, for work that looks whether it
  // was pressed (true from the press until the window closes). Updates keep
  // the window answering.
  void (*gui_progress_open_cancel)(const char* title) = ui_silent::text;
  bool (*gui_progress_cancelled)() = ui_silent::no;
  // Ends the work: without a last line the window closes; with one it stays,
  // showing the line, until its Close button is pressed.
  void (*gui_progress_finish)(const char* last_line) = ui_silent::text;
  // The separate text editor, shown beside the drawing with this text; its
  // Apply and Cancel arrive later as dialog keys.
  void (*gui_text_editor_show)(const char* text) = ui_silent::text;
  // Its whole text (ISO-8859-1; empty without an editor), and closing it
  // without Apply or Cancel.
  std::string (*gui_text_editor_get)() = ui_silent::no_text;
  void (*gui_text_editor_close)() = ui_silent::none;
  // The result box of the gauge tool: distances and length in metres, the
  // angle in radians.
  void (*gui_show_gauge)(double dx, double dy, double dz, double length, double angle) = ui_silent::gauge;
  // The about box (shown at every start).
  void (*gui_show_about)() = ui_silent::none;

  // The Camera dialog's view-angle field (degrees), when that dialog exists.
  void (*dlg_camera_set_angle)(double degrees) = ui_silent::angle;

  // The prompt field of the status line ("Select function:", a tool's step).
  void (*mainwin_set_prompt)(const char* text) = ui_silent::text;
  // The Select page shows while an interactive selection runs; "Opening" and
  // "Point" can be chosen only when opening_and_point is nonzero.
  void (*mainwin_select_page_enter)(int opening_and_point) = ui_silent::mode;
  void (*mainwin_select_page_leave)() = ui_silent::none;
  // The scale field of the status line (" 1:500 ").
  void (*mainwin_set_scale_label)(const char* text) = ui_silent::text;
  // Shows the drawing file, the current layer and the scale in the title.
  void (*mainwin_update_title)() = ui_silent::none;
  // The inline value entry beside the prompt: opened with a preset text for
  // a step that takes a typed value, closed when the step or request ends.
  void (*mainwin_value_entry_open)(const char* text) = ui_silent::text;
  void (*mainwin_value_entry_close)() = ui_silent::none;
  // The snap buttons (and the snap letters of the keyboard) work only while
  // a point step waits.
  void (*mainwin_snap_buttons_enable)() = ui_silent::none;
  void (*mainwin_snap_buttons_disable)() = ui_silent::none;
  // The two coordinate fields of the status line ("X: 1.000", "Y: 2.000").
  void (*mainwin_set_coord_x)(const char* text) = ui_silent::text;
  void (*mainwin_set_coord_y)(const char* text) = ui_silent::text;
  // A path button's chooser has chosen: the dialog that owns the button
  // ("draw", "sym", "dxf", "export", "dia", "pov", "ray") shows the path in
  // its entry.
  void (*path_entry_set)(const char* name, const char* path) = ui_silent::name_text;
  // After a drawing or a settings file was read: the tool-bar toggles, the
  // DXF dialog, the dialogs and previews; after a settings file also the
  // cached dialogs are rebuilt.
  void (*mainwin_toolbar_toggles_refresh)() = ui_silent::none;
  void (*dlg_dxf_refresh)() = ui_silent::none;
  void (*gui_reset_after_load)() = ui_silent::none;
  void (*gui_reset_dialogs_after_settings)() = ui_silent::none;
  // Makes a view type current through its toggle (which zooms to the extents).
  void (*mainwin_select_view)(int view_type) = ui_silent::mode;
  // Calls done now and then from the main loop until it returns true: how
  // work that runs on in the background (a renderer) is looked after.
  void (*poll_until)(bool (*done)()) = ui_silent::poll;
};

// The installed table.
const UiTable& ui();
// Installs a table and returns the previous one.
UiTable ui_install(const UiTable& table);
