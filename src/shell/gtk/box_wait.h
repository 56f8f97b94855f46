#pragma once

// How a blocking box waits (the question box, the file chooser): in a nested
// wait of its own that only the box ends. Its buttons and its closing end
// exactly the box's level, even while a nested request runs inside it. A
// command key posted to the box's level ends the box as if it were closed
// and is dropped; a wake-up without a key lets it wait on.

#include <gtk/gtk.h>

#include "shell/dlg_table.h"

struct BoxWait {
  explicit BoxWait(DlgId slot) : slot(slot) {}
  DlgId slot;
  GtkWidget* window = nullptr;  // null once destroyed
  bool done = false;            // a button or the closing ended the box
  bool dropped_key = false;     // a command key ended it
  int answer = 0;               // what the box's button answered
  int depth = 0;                // the box's wait level while it waits
  BoxWait* outer = nullptr;     // the box of the same kind that waits outside
};

// Keeps window in the box's slot, watches it (its destruction ends the box),
// shows it, waits until the box ends, and destroys it. A box of the same
// kind waiting outside gets the slot back afterwards.
void box_run(BoxWait& box, GtkWidget* window);

// Ends the box's wait (buttons, closing). Nothing once it has ended.
void box_finish(BoxWait& box);

// Window placement and the window-manager close shared by all boxes.
void box_place(GtkWidget* window, const char* title, int border);
// A "delete-event" handler that only hides the window.
gboolean box_hide_on_delete(GtkWidget* widget, GdkEvent* event, gpointer data);
// A left-aligned, wrapping label for a caller's text.
GtkWidget* box_label(const char* text);
