#pragma once

// The pen and line-type selector: a frame "Pen/Line" with two option menus
// of eight pictures each, bound to a pen and a line-type variable. Choosing
// item i stores i and runs the refresh key, so a dialog's selector redraws
// its preview. The pictures are drawn again from the pen and line-type tables
// whenever a menu opens or is refreshed, so changed colours show at once.

#include <gtk/gtk.h>

// Builds the frame; the two menus come back through pen_menu and
// line_type_menu (either may be null) for bind_refresh_option_menu_pair.
GtkWidget* penline_selector_new(int* pen, int* line_type, const char* refresh, GtkWidget** pen_menu,
                                GtkWidget** line_type_menu);

// Draws the pictures of a pen or line-type menu again.
void penline_menu_redraw(GtkWidget* menu);

// Picture n (0..7 pens, 8..15 line types) as a new pixbuf; null for other n.
GdkPixbuf* penline_picture_pixbuf(int n);
