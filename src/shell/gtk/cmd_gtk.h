#pragma once

// The toolkit side of the command keys: connecting command buttons, the
// button groups' toggle operations, and the handlers that cancel by the
// right mouse button and quit by closing the main window.

#include <gtk/gtk.h>

// Makes the button groups (cmd_buttons.h) act on GtkToggleButtons: puts
// their operations into the shell platform table, keeping its other entries.
void cmd_buttons_use_gtk();

// Connects widget's command signal to cmd_post_key with key as user data:
// "toggled" for toggle buttons, "activate" for menu items, "clicked" for
// other buttons. key must stay valid while the widget lives (a literal).
gulong cmd_connect(GtkWidget* widget, const char* key);

// "button-press-event": a single press of button 3 posts "p_nop" (cancel) and
// stops the event; any other event goes on to the widget's own handling.
gboolean mainwin_on_right_click(GtkWidget* widget, GdkEventButton* event, gpointer data);

// "delete-event" of the main window: posts "p_file_quit" and keeps the
// window; the quit command decides.
gboolean mainwin_on_delete(GtkWidget* widget, GdkEvent* event, gpointer data);
