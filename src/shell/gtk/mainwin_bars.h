#pragma once

// The two bars of the main window that stay whatever tool page shows, the
// status texts (prompt, coordinates, scale), the title, the enabling of
// Undo, Redo and the snap buttons, and what the window does after a drawing,
// a settings file or a new drawing replaced the data it shows.
//
// Every setter is cheap and does nothing while the window does not exist.

#include <gtk/gtk.h>

#include <string>

// The view bar under the drawing area (box: the window's left column) and
// the snap bar at the foot of the right column.
void mainwin_build_view_bar(GtkWidget* box);
void mainwin_build_snap_bar(GtkWidget* box);

void mainwin_undo_button_enable();
void mainwin_undo_button_disable();
void mainwin_redo_button_enable();
void mainwin_redo_button_disable();
// The four snap buttons and the snap letters: on only while a point is asked for.
void mainwin_snap_buttons_enable();
void mainwin_snap_buttons_disable();

// The view-option toggles and the snap-preview toggle show their variables.
void mainwin_toolbar_toggles_refresh();
void mainwin_set_scale_label(const char* text);
void mainwin_set_coord_x(const char* text);
void mainwin_set_coord_y(const char* text);
void mainwin_set_prompt(const char* text);

// The title: drawing file, current layer and drawing scale.
std::string mainwin_title_text();
void mainwin_update_title();

// After a drawing or settings file was read: the cached dialogs that show
// its data go, the main view is drawn again, the " E " toggles follow.
void gui_reset_after_load();
// After a settings file was read or the dialog folder changed: the object
// dialogs go, the combos and size buttons follow.
void gui_reset_dialogs_after_settings();
