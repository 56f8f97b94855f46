#pragma once

// The entries that show a path chosen with a "..." button. The chooser
// writes the setting; the entry beside the button must show the new path
// too, or the next edit of the entry would write the old one back.

#include <gtk/gtk.h>

// Tracks entry under the chooser's name ("draw", "sym", "dxf", "export",
// "dia", "pov", "ray"); it leaves the table when it is destroyed.
void dlg_path_entry_track(const char* name, GtkWidget* entry);
// Shows path in the tracked entry of name; false when none is built.
bool dlg_path_entry_show(const char* name, const char* path);
// Puts the path_entry_set of the ui table onto the tracked entries.
void dlg_path_entries_install();
