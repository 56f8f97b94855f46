#pragma once

// The information windows: "Element information:" about the element under
// the last click of the main view, and "Project information:" with the
// drawing's element counts. Both are built once and hidden on close; their
// rows come from shell/element_info.h.

#include <gtk/gtk.h>

// z_mb3 between commands: the element nearest the click point (cursor_world,
// any shown layer) in the element window. Where no element lies, no window
// is made, and one already made is shown again as it was.
void gui_show_element_info();
// p_file_info: the project window, counted afresh.
void gui_show_project_info();
// Counts again into the project window; nothing while it is not built.
void dlg_info_count();

// The rows of both windows' keys in the dialog table.
void dlg_info_install();
