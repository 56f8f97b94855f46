#include <gtk/gtk.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "model/nls.h"
#include "shell/cmd_buttons.h"
#include "shell/dlg_boxes.h"
#include "shell/dlg_table.h"
#include "shell/fontchange.h"
#include "shell/shell_platform.h"
#include "shell/value_entry.h"

namespace {

GtkCssProvider* style_provider = nullptr;

// The font chooser of the font dialog: the dialog itself or a widget in it.
GtkFontChooser* find_font_chooser(GtkWidget* w) {
  if (!w) return nullptr;
  if (GTK_IS_FONT_CHOOSER(w)) return GTK_FONT_CHOOSER(w);
  if (!GTK_IS_CONTAINER(w)) return nullptr;
  GList* children = gtk_container_get_children(GTK_CONTAINER(w));
  GtkFontChooser* found = nullptr;
  for (GList* c = children; c && !found; c = c->next) found = find_font_chooser(GTK_WIDGET(c->data));
  g_list_free(children);
  return found;
}

// Writes the style file into the user's folder, else the working folder;
// returns the path written or "".
std::string write_style() {
  const char* font = gui_font_name_ok(gui_font.c_str()) ? gui_font.c_str() : "";
  if (const char* home = std::getenv("HOME")) {
    std::string user = std::string(home) + "/.kavro3/kavro.gtkrc";
    if (gui_style_write(user, font)) return user;
  }
  if (gui_style_write("./kavro.gtkrc", font)) return "./kavro.gtkrc";
  return "";
}

}  // namespace

void gui_style_load(const std::string& path) {
  GdkScreen* screen = gdk_screen_get_default();
  if (!screen) return;
  if (!style_provider) {
    style_provider = gtk_css_provider_new();
    gtk_style_context_add_provider_for_screen(screen, GTK_STYLE_PROVIDER(style_provider),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  }
  // The rule is made from the font name, so a file edited by hand can never
  // feed the toolkit anything but a font.
  std::string font = path.empty() ? "" : gui_style_read_font(path);
  std::string css = gui_style_css(font.c_str());
  gtk_css_provider_load_from_data(style_provider, css.c_str(), -1, nullptr);
}

void gui_font_take_selection() {
  GtkFontChooser* chooser = find_font_chooser(static_cast<GtkWidget*>(dlg_slots[DLG_FONT]));
  if (!chooser) return;
  gchar* name = gtk_font_chooser_get_font(chooser);
  if (!name) return;
  if (gui_font_name_ok(name))
    gui_font = name;
  else
    msgbox_error(nls_translate("This font name cannot be used."));
  g_free(name);
}

void gui_font_apply() {
  std::string written = write_style();
  if (written.empty()) {
    std::printf("%s", nls_translate("Cannot open file"));
    std::fflush(stdout);
    return;
  }
  gui_style_load(written);
  mainwin_value_entry_close();
  // The pressed buttons die with the main window; nothing is released.
  mainwin_forget_button(active_b_button.widget);
  mainwin_forget_button(active_f_button.widget);
  for (int id = 0; id < DLG_FONT_CHANGE_COUNT; ++id) dlg_destroy(static_cast<DlgId>(id));
  shell_platform().mainwin_rebuild();
}

void gui_font_add_rows() {
  dlg_row_set({"z_c_font", DlgAct::RUN, DLG_FONT, nullptr, [] {
                 gui_font_take_selection();
                 gui_font_apply();
               }});
}
