#pragma once

// The toolkit side of the key mapping and the inline value entry.

#include <gtk/gtk.h>

// "key-press-event" of the main window: maps the key (keymap.h). Returns
// FALSE while the value entry is open, so the entry gets its keys, and TRUE
// otherwise, so that Tab and the arrows never move the focus.
gboolean mainwin_on_key_press(GtkWidget* widget, GdkEventKey* event, gpointer data);

// The grid of the view bar: the entry goes into its cell of column 1, row 1.
// Null when the main window goes.
void mainwin_value_entry_set_grid(GtkGrid* grid);

// The entry widget, or null.
GtkWidget* mainwin_value_entry_widget();
