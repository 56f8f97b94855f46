#include <gtk/gtk.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "model/nls.h"
#include "shell/cmd_buttons.h"
#include "shell/dlg_boxes.h"
#include "shell/dlg_table.h"
#include "shell/fontchange.h"
#include "shell/shell_platform.h"
#include "shell/value_entry.h"

namespace {

GtkCssProvider* style_provider = nullptr;

std::string number(double v) {
  char buf[32];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
  return ec == std::errc() ? std::string(buf, end) : std::string("0");
}

std::string trim(const std::string& s) {
  std::size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  std::size_t e = s.find_last_not_of(" \t\r");
  return s.substr(b, e - b + 1);
}

std::vector<std::string> split(const std::string& s, char sep) {
  std::vector<std::string> out(1);
  for (char c : s) {
    if (c == sep)
      out.emplace_back();
    else
      out.back() += c;
  }
  return out;
}

// An X font name "-foundry-family-weight-slant-width-style-pixels-points-..."
// as a Pango name: family, bold, italic or oblique, size in points.
std::string pango_name_of_xlfd(const std::string& xlfd) {
  std::vector<std::string> f = split(xlfd, '-');
  if (f.size() < 9) return "";
  std::string name = f[2] == "*" ? "" : f[2];
  if (f[3] == "bold" || f[3] == "demibold") name += " Bold";
  if (f[4] == "i") name += " Italic";
  if (f[4] == "o") name += " Oblique";
  int decipoints = std::atoi(f[8].c_str());
  if (decipoints > 0) name += " " + number(decipoints / 10.0);
  return trim(name);
}

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

std::string gui_style_css(const char* font) {
  bool ok = gui_font_name_ok(font);
  std::string css = std::string(GUI_STYLE_HEADER) + (ok ? font : "") + GUI_STYLE_HEADER_END + "\n";
  if (!ok) return css;
  std::string name = font[0] == '-' ? pango_name_of_xlfd(font) : std::string(font);
  PangoFontDescription* desc = pango_font_description_from_string(name.c_str());
  PangoFontMask set = pango_font_description_get_set_fields(desc);
  std::string rule;
  if (set & PANGO_FONT_MASK_FAMILY) {
    std::string families;
    for (const std::string& f : split(pango_font_description_get_family(desc), ',')) {
      std::string t = trim(f);
      if (t.empty()) continue;
      families += (families.empty() ? "\"" : ", \"") + t + "\"";
    }
    if (!families.empty()) rule += "  font-family: " + families + ";\n";
  }
  if (set & PANGO_FONT_MASK_STYLE) {
    PangoStyle style = pango_font_description_get_style(desc);
    if (style == PANGO_STYLE_ITALIC) rule += "  font-style: italic;\n";
    if (style == PANGO_STYLE_OBLIQUE) rule += "  font-style: oblique;\n";
  }
  if (set & PANGO_FONT_MASK_WEIGHT) {
    int weight = pango_font_description_get_weight(desc);
    // CSS knows the hundreds from 100 to 900.
    weight = (weight + 50) / 100 * 100;
    weight = weight < 100 ? 100 : weight > 900 ? 900 : weight;
    if (weight != 400) rule += "  font-weight: " + std::to_string(weight) + ";\n";
  }
  if ((set & PANGO_FONT_MASK_SIZE) && pango_font_description_get_size(desc) > 0) {
    double size = static_cast<double>(pango_font_description_get_size(desc)) / PANGO_SCALE;
    bool px = pango_font_description_get_size_is_absolute(desc);
    rule += "  font-size: " + number(size) + (px ? "px" : "pt") + ";\n";
  }
  pango_font_description_free(desc);
  if (!rule.empty()) css += "* {\n" + rule + "}\n";
  return css;
}

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
