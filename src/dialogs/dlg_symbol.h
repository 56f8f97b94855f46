#pragma once

// The symbol browser: the folders of the symbol library, the symbol files
// of the chosen folder, the insertion angle and a preview of the chosen
// symbol; "Paste" hides it and places the symbol. The library is scanned
// when the browser is built, and it is kept (hidden) until the settings or
// the dialog folder change.

#include <gtk/gtk.h>

#include <string>
#include <vector>

// The slider's value in degrees (0..360); symbol_angle follows it rounded
// down to 15 degrees.
extern double symbol_angle_slider;

GtkWidget* dlg_symbol_create();
// Draws the chosen symbol into preview 7; nothing while the browser is not built.
void dlg_symbol_preview();
// Puts the browser's keys into the dialog table.
void dlg_symbol_install();

// What the browser shows, for tests: the folder rows and the file rows as
// their texts (UTF-8), and its widgets; empty or null while it is not built.
std::vector<std::string> dlg_symbol_folder_rows();
std::vector<std::string> dlg_symbol_file_rows();
struct DlgSymbolWidgets {
  GtkWidget* folders = nullptr;  // GtkTreeView
  GtkWidget* files = nullptr;    // GtkTreeView
  GtkWidget* angle = nullptr;    // angle entry
  GtkWidget* slider = nullptr;
  GtkWidget* paste = nullptr;
  GtkWidget* close = nullptr;
};
const DlgSymbolWidgets& dlg_symbol_widgets();
