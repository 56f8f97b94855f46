#pragma once

// Small pieces the main window's builders share.

#include <gtk/gtk.h>

#include <cstdint>

// An item's label for the widget: translated unless raw.
const char* mainwin_label(const char* english, bool raw);
// Sets a widget's tooltip to the translation of english (null: none).
void mainwin_set_tip(GtkWidget* widget, const char* english);

// Whether a picture file can be shown. A file that cannot is reported once
// on standard output, and the widgets below then show its base name instead.
bool mainwin_picture_ok(const char* xpm_path);
// A command button showing the picture (kind 3 of gui_command_button_new).
GtkWidget* mainwin_picture_button(const char* key, const char* xpm_path);
// A bound toggle showing the picture.
GtkWidget* mainwin_picture_toggle(const char* xpm_path, int32_t* var, const char* refresh);
// A plain picture.
GtkWidget* mainwin_picture(const char* xpm_path);
