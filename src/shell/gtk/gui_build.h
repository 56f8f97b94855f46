#pragma once

// The small constructors every window is built from. Each widget made here
// is shown at once. Texts are interface texts (translated by the caller);
// pictures are XPM files named by path, loaded at run time, and a picture
// that cannot be loaded leaves an empty image.

#include <gtk/gtk.h>

// A frame with the title (none when null), border width 2.
GtkWidget* gui_frame_new(const char* title);
// Boxes, not homogeneous, spacing 0.
GtkWidget* gui_vbox_new();
GtkWidget* gui_hbox_new();
// A grid; rows and columns grow as children are attached.
GtkWidget* gui_table_new(int rows, int columns);
// A plain entry (not bound): at most 80 characters, 100 pixels wide, not
// focusable, showing text.
GtkWidget* gui_entry_new(const char* text);
// A label " "; when fixed is 1 a blank of exactly 6 x 6 pixels.
GtkWidget* gui_spacer_new(char fixed);
// A label aligned 0 left, 1 centre, 2 right (vertically centred); any other
// value keeps the toolkit's alignment. 3 pixels of padding left and right.
GtkWidget* gui_label_new(char align, const char* text);
// A picture from an XPM file; an empty image when it cannot be loaded.
GtkWidget* gui_pixmap_new(const char* xpm_path);
// A button posting key through cmd_post_key: a toggle button ("toggled") for
// keys beginning with b or f, a push button ("clicked") otherwise. Button 3
// posts p_nop; never focusable. Child by kind: 0, 1, 2 a label of text
// aligned left, centre, right; 3 the picture of the XPM path text; 4 none;
// any other a label with the default alignment. key must outlive the button
// (a literal).
GtkWidget* gui_command_button_new(char kind, const char* key, const char* text);
// Into a box after the children before it, expanding when expand is nonzero,
// always filling, no padding; into any other container, added.
void gui_pack(GtkWidget* container, GtkWidget* child, int expand);
// Over columns left..right and rows top..bottom (right and bottom exclusive),
// filling, expanding in both directions when expand is 1.
void gui_table_attach(GtkWidget* table, GtkWidget* child, int left, int right, int top, int bottom,
                      int expand);
// Escape pressed in window acts as its Close or Cancel button: it clicks
// button, or without one (null) closes the window as its title bar's close
// button does. A later call names another button.
void gui_escape_closes(GtkWidget* window, GtkWidget* button);
// Makes the widget focusable and gives it the keyboard focus.
void gui_focus_widget(GtkWidget* widget);
// A null widget is ignored.
void gui_set_sensitive(GtkWidget* widget);
void gui_set_insensitive(GtkWidget* widget);
// Gives page index of the notebook the tab label widget.
void gui_notebook_move_page(GtkWidget* notebook, int index, GtkWidget* tab_label);

// Keeps a widget (and the buttons inside it, such as a combo's) from taking
// the keyboard focus, by click or by Tab.
void gui_no_focus(GtkWidget* widget);
// Requests a width in pixels; entries also drop their default character width.
void gui_set_width(GtkWidget* widget, int width);
// The picture of an XPM file; null when it cannot be loaded.
GdkPixbuf* gui_pixbuf_load(const char* xpm_path);
