#pragma once

// The drawing areas on the screen. Each view's drawing area shows the
// view's backing store (display/view.h) and nothing else: drawing goes into
// the store, and the areas it changed are copied to the screen. A resize
// gives the view a new store of the new size, keeping the centre and the
// scale, and draws it again; it never ends a wait.
//
// Only view 0 takes the mouse: a single press of button 1, 2 or 3 posts
// "z_mb1", "z_space" or "z_mb3", the wheel "z_scrollup" or "z_scrolldown";
// pointer_pixel and cursor_world follow the pointer and the click, and the
// program's cursor and the coordinate fields follow the pointer.

#include <gtk/gtk.h>

#include "model/view_rec.h"

// The drawing area of each view; null until view_create and after its
// widget is destroyed.
extern GtkWidget* view_widgets[VIEW_COUNT];

// Makes the drawing area of view k (shown, focusable, with its handlers) and
// makes the screen the place the views present their changes. The caller
// sizes and packs it.
GtkWidget* view_create(int k);

// The handlers (data: the view number).
gboolean view_on_configure(GtkWidget* widget, GdkEventConfigure* event, gpointer data);
gboolean view_on_draw(GtkWidget* widget, cairo_t* cr, gpointer data);
gboolean view_on_button_press(GtkWidget* widget, GdkEventButton* event, gpointer data);
gboolean view_on_scroll(GtkWidget* widget, GdkEventScroll* event, gpointer data);
gboolean view_on_motion(GtkWidget* widget, GdkEventMotion* event, gpointer data);
gboolean view_on_leave(GtkWidget* widget, GdkEventCrossing* event, gpointer data);

// A configure without an event: view k gets a new store, palette and
// drawing (after the pens or colours changed).
void view_reconfigure(int k);
// The same for every view 0 to 6 that has a drawing area.
void view_reconfigure_all();
// Copies a box of view k's store to its drawing area.
void view_present(int k, int x, int y, int w, int h);
// Gives the keyboard focus to view 0's drawing area.
void view_main_grab_focus();
