#include <cstdlib>
#include <string>
#include <vector>

#include "dialogs/dlg_path_entries.h"
#include "dialogs/dlg_small.h"
#include "display/draw.h"
#include "display/gtk/view_gtk.h"
#include "display/view.h"
#include "model/nls.h"
#include "model/scale_ladder.h"
#include "model/settings.h"
#include "model/settings_edit.h"
#include "model/view_rec.h"
#include "shell/fontchange.h"
#include "shell/gtk/bind.h"
#include "shell/gtk/gui_build.h"
#include "shell/gtk/startup.h"
#include "shell/nls_table.h"
#include "shell/shell_platform.h"

// The Settings dialog with its font and aspect sub-dialogs.

namespace {

struct SettingsWidgets {
  GtkWidget* pen_width = nullptr;
  GtkWidget* pen_name = nullptr;
  GtkWidget* pen_colour = nullptr;
  GtkWidget* line_sections = nullptr;
  GtkWidget* line_name = nullptr;
  GtkWidget* line_lengths[3] = {};
  GtkWidget* space_lengths[3] = {};
  GtkWidget* colour = nullptr;
};
SettingsWidgets sw;

void forget(GtkWidget*, gpointer) { sw = SettingsWidgets{}; }

Rgb chosen(GtkWidget* chooser) {
  GdkRGBA c{0, 0, 0, 1};
  if (chooser) gtk_color_chooser_get_rgba(GTK_COLOR_CHOOSER(chooser), &c);
  return {c.red, c.green, c.blue};
}

void show_colour(GtkWidget* chooser, const Rgb& c) {
  const double rgb[3] = {c.r, c.g, c.b};
  bind_set_colorsel(chooser, rgb);
}

GtkWidget* framed(const char* title, GtkWidget* child, bool translate = true) {
  GtkWidget* frame = gui_frame_new(translate ? nls_translate(title) : title);
  gtk_container_add(GTK_CONTAINER(frame), child);
  return frame;
}

GtkWidget* button(const char* label, GCallback handler) {
  GtkWidget* b = gui_command_button_new(1, "z_nothing", nls_translate(label));
  g_signal_connect(b, "clicked", handler, nullptr);
  return b;
}

GtkWidget* apply_revert(GCallback apply, GCallback revert) {
  GtkWidget* row = gui_hbox_new();
  gui_pack(row, button(nls_mark("Apply"), apply), 1);
  gui_pack(row, button(nls_mark("Revert"), revert), 1);
  return row;
}

// Pen page.

void pen_revert(GtkWidget*, gpointer);
void line_revert(GtkWidget*, gpointer);

// "value-changed" of the number may come before the bound store: the number
// is taken from the spin button itself.
void pen_number_changed(GtkSpinButton* spin, gpointer) {
  settings_pen_edit.number = gtk_spin_button_get_value_as_int(spin);
  pen_revert(nullptr, nullptr);
}

void pen_revert(GtkWidget*, gpointer) {
  pen_edit_revert(settings_pen_edit);
  bind_set_mentry(sw.pen_width, settings_pen_edit.width);
  bind_set_entry_text(sw.pen_name, settings_pen_edit.name.c_str());
  show_colour(sw.pen_colour, settings_pen_edit.colour);
}

void pen_apply(GtkWidget*, gpointer) {
  settings_pen_edit.colour = chosen(sw.pen_colour);
  pen_edit_apply(settings_pen_edit);
  shell_platform().mainwin_refresh_pen_menus();
  view_reconfigure_all();
}

GtkWidget* pen_page() {
  GtkWidget* page = gui_vbox_new();
  GtkWidget* row = gui_hbox_new();
  GtkWidget* number = bind_spin_long_new(&settings_pen_edit.number, 0, 7, 1, 0, nullptr);
  g_signal_connect_after(number, "value-changed", G_CALLBACK(pen_number_changed), nullptr);
  gui_pack(row, framed(nls_mark("Pen No."), number), 0);
  sw.pen_width = bind_mentry_new(&settings_pen_edit.width, nullptr);
  gui_pack(row, framed(nls_mark("Thickness"), sw.pen_width), 0);
  sw.pen_name = bind_entry_new(settings_pen_edit.name, NAME_LEN - 1, nullptr);
  gui_pack(row, framed(nls_mark("Name"), sw.pen_name), 1);
  gui_pack(page, row, 0);
  sw.pen_colour = gtk_color_chooser_widget_new();
  gtk_color_chooser_set_use_alpha(GTK_COLOR_CHOOSER(sw.pen_colour), FALSE);
  gtk_widget_show(sw.pen_colour);
  gui_pack(page, framed(nls_mark("Pencolor"), sw.pen_colour), 1);
  gui_pack(page, apply_revert(G_CALLBACK(pen_apply), G_CALLBACK(pen_revert)), 0);
  return page;
}

// Line page.

void line_number_changed(GtkSpinButton* spin, gpointer) {
  settings_linetype_edit.number = gtk_spin_button_get_value_as_int(spin);
  line_revert(nullptr, nullptr);
}

void line_revert(GtkWidget*, gpointer) {
  linetype_edit_revert(settings_linetype_edit);
  bind_set_spin(sw.line_sections, settings_linetype_edit.sections);
  bind_set_entry_text(sw.line_name, settings_linetype_edit.name.c_str());
  for (int i = 0; i < 3; ++i) {
    bind_set_mentry(sw.line_lengths[i], settings_linetype_edit.line[i]);
    bind_set_mentry(sw.space_lengths[i], settings_linetype_edit.space[i]);
  }
}

void line_apply(GtkWidget*, gpointer) {
  linetype_edit_apply(settings_linetype_edit);
  shell_platform().mainwin_refresh_linetype_menus();
  view_reconfigure_all();
}

GtkWidget* line_page() {
  GtkWidget* page = gui_vbox_new();
  GtkWidget* row = gui_hbox_new();
  GtkWidget* number = bind_spin_long_new(&settings_linetype_edit.number, 0, 7, 1, 0, nullptr);
  g_signal_connect_after(number, "value-changed", G_CALLBACK(line_number_changed), nullptr);
  gui_pack(row, framed(nls_mark("Line No."), number), 0);
  sw.line_sections = bind_spin_long_new(&settings_linetype_edit.sections, 0, 3, 1, 0, nullptr);
  gui_pack(row, framed(nls_mark("Sections"), sw.line_sections), 0);
  sw.line_name = bind_entry_new(settings_linetype_edit.name, NAME_LEN - 1, nullptr);
  gui_pack(row, framed(nls_mark("Name"), sw.line_name), 1);
  gui_pack(page, row, 0);
  GtkWidget* grid = gui_table_new(3, 5);
  const char* labels[] = {nls_mark("Section 1:"), nls_mark("Section 2:"), nls_mark("Section 3:")};
  for (int i = 0; i < 3; ++i) {
    sw.line_lengths[i] = bind_mentry_new(&settings_linetype_edit.line[i], nullptr);
    sw.space_lengths[i] = bind_mentry_new(&settings_linetype_edit.space[i], nullptr);
    gui_table_attach(grid, gui_label_new(2, nls_translate(labels[i])), 0, 1, i, i + 1, 0);
    gui_table_attach(grid, sw.line_lengths[i], 1, 2, i, i + 1, 0);
    gui_table_attach(grid, gui_label_new(0, nls_translate("Line")), 2, 3, i, i + 1, 0);
    gui_table_attach(grid, sw.space_lengths[i], 3, 4, i, i + 1, 0);
    gui_table_attach(grid, gui_label_new(0, nls_translate("Space")), 4, 5, i, i + 1, 0);
  }
  gui_pack(page, grid, 0);
  gui_pack(page, apply_revert(G_CALLBACK(line_apply), G_CALLBACK(line_revert)), 0);
  return page;
}

GtkWidget* view_page() {
  GtkWidget* column = gui_vbox_new();
  gui_pack(column, bind_check_new(nls_translate("Show patterns"), &view_options.show_patterns, nullptr), 0);
  gui_pack(column,
           bind_check_new(nls_translate("Show room borders"), &view_options.show_room_borders, nullptr), 0);
  GtkWidget* page = gui_vbox_new();
  gui_pack(page, framed(nls_mark("View options"), column), 0);
  return page;
}

// Input page.

void on_figure_unit(GtkWidget*, gpointer) {
  if (length_unit == 5)
    view_scale_ladder_imperial();
  else
    view_scale_ladder_metric();
}

// One row: the menu, then its caption.
void captioned(GtkWidget* grid, int row, GtkWidget* widget, const char* caption) {
  gui_table_attach(grid, widget, 0, 1, row, row + 1, 0);
  gui_table_attach(grid, gui_label_new(0, nls_translate(caption)), 1, 2, row, row + 1, 0);
}

GtkWidget* input_page() {
  GtkWidget* page = gui_vbox_new();
  GtkWidget* numeric = gui_table_new(4, 2);
  captioned(numeric, 0,
            dlg_small_options(
                &length_unit,
                {"Metric m", "Metric cm", "Metric mm", "Metric Inch", "Metric Feet", "Imperial Inch/Feet"},
                false, nullptr, G_CALLBACK(on_figure_unit)),
            nls_mark("Figure input"));
  captioned(numeric, 1,
            dlg_small_options(&size_unit, {"mm", "cm", "Inch", "Pica", "Point"}, false, nullptr, nullptr),
            nls_mark("Pen/Line/Text size"));
  captioned(numeric, 2, dlg_small_options(&paper_unit, {"cm", "Inch"}, false, nullptr, nullptr),
            nls_mark("Paper size"));
  captioned(numeric, 3, dlg_small_options(&angle_unit, {"RAD", "DEG", "GON"}, false, nullptr, nullptr),
            nls_mark("Angle input"));
  gui_pack(page, framed(nls_mark("Numeric options"), numeric), 0);

  const std::vector<const char*> units = {"Metric m", "Metric cm", "Metric mm", "Inch", "Feet"};
  GtkWidget* room = gui_table_new(4, 2);
  captioned(room, 0, dlg_small_options(&room_units.area_unit, units, false, "main", nullptr),
            nls_mark("Area dimension"));
  captioned(room, 1, bind_entry_new(room_units.area_text, 39, "main"), nls_mark("Area text"));
  captioned(room, 2, dlg_small_options(&room_units.volume_unit, units, false, "main", nullptr),
            nls_mark("Volume dimension"));
  captioned(room, 3, bind_entry_new(room_units.volume_text, 39, "main"), nls_mark("Volume text"));
  gui_pack(page, framed(nls_mark("Room inscriptions"), room), 0);
  return page;
}

GtkWidget* dim_page() {
  GtkWidget* page = gui_vbox_new();
  GtkWidget* checks = gui_vbox_new();
  gui_pack(checks, bind_check_new(nls_translate("Link to elements"), &dim_settings.link, nullptr), 0);
  gui_pack(checks, bind_check_new(nls_translate("Move figures"), &dim_settings.move_figures, nullptr), 0);
  gui_pack(page, framed(nls_mark("Dimension options"), checks), 0);
  gui_pack(page,
           framed(nls_mark("Accuracy"),
                  dlg_small_options(&dim_settings.accuracy, {"0", "0.0", "0.00", "0.000", "0.0000"}, false,
                                    "main", nullptr)),
           0);
  gui_pack(page,
           framed(nls_mark("Accuracy (arch)"),
                  dlg_small_options(&dim_settings.accuracy_architecture, {"1 cm", "5 mm", "1 mm", "0.1 mm"},
                                    false, "main", nullptr)),
           0);
  return page;
}

// Local page.

void on_backup_interval(GtkSpinButton* spin, gpointer) {
  backup_interval = gtk_spin_button_get_value_as_int(spin);
  mainwin_restart_autobackup();
}

GtkWidget* local_page() {
  GtkWidget* page = gui_vbox_new();
  struct Path {
    const char* title;
    FixedText<PATH_LEN>* var;
    const char* key;
    const char* chooser;  // the name the "..." chooser shows its path under
  };
  const Path paths[] = {{nls_mark("Drawing path"), &draw_path, "p_path_draw", "draw"},
                        {nls_mark("Symbol path"), &symbol_path, "p_path_sym", "sym"},
                        {nls_mark("DXF path"), &import_path, "p_path_dxf", "dxf"},
                        {nls_mark("Export path"), &export_path, "p_path_export", "export"},
                        {nls_mark("Dialog path"), &dialog_path, "p_path_dia", "dia"}};
  for (const Path& p : paths) {
    GtkWidget* row = gui_hbox_new();
    GtkWidget* entry = bind_entry_new(*p.var, PATH_LEN - 1, nullptr);
    dlg_path_entry_track(p.chooser, entry);
    gui_pack(row, entry, 1);
    gui_pack(row, gui_command_button_new(1, p.key, "..."), 0);
    gui_pack(page, framed(p.title, row), 0);
  }
  GtkWidget* backup = gui_hbox_new();
  gui_pack(backup,
           framed(nls_mark("Autobackup"),
                  dlg_small_options(&autobackup, {nls_mark("Off"), nls_mark("On")}, true, nullptr, nullptr)),
           1);
  GtkWidget* interval = bind_spin_long_new(&backup_interval, 1, 60, 1, 0, nullptr);
  g_signal_connect_after(interval, "value-changed", G_CALLBACK(on_backup_interval), nullptr);
  gui_pack(backup, framed(nls_mark("Backup interval[min]"), interval), 1);
  gui_pack(page, backup, 0);
  return page;
}

// Colors page.

void colour_revert(GtkWidget*, gpointer) { show_colour(sw.colour, display_color_of(settings_color_target)); }

void colour_apply(GtkWidget*, gpointer) {
  display_color_of(settings_color_target) = chosen(sw.colour);
  view_reconfigure_all();
}

void on_colour_target(GtkToggleButton* radio, gpointer) {
  if (gtk_toggle_button_get_active(radio)) colour_revert(nullptr, nullptr);
}

GtkWidget* colours_page() {
  GtkWidget* page = gui_vbox_new();
  GtkWidget* radios = gui_vbox_new();
  GSList* group = nullptr;
  const char* targets[] = {nls_mark("Background"), nls_mark("Active elements"), nls_mark("Guide elements")};
  for (int i = 0; i < 3; ++i) {
    GtkWidget* r = bind_radio_new(nls_translate(targets[i]), &settings_color_target, i, &group, nullptr);
    g_signal_connect_after(r, "toggled", G_CALLBACK(on_colour_target), nullptr);
    gui_pack(radios, r, 0);
  }
  gui_pack(page, framed(nls_mark("Colors"), radios), 0);
  sw.colour = gtk_color_chooser_widget_new();
  gtk_color_chooser_set_use_alpha(GTK_COLOR_CHOOSER(sw.colour), FALSE);
  gtk_widget_show(sw.colour);
  gui_pack(page, sw.colour, 1);
  gui_pack(page, apply_revert(G_CALLBACK(colour_apply), G_CALLBACK(colour_revert)), 0);
  return page;
}

GtkWidget* gui_page() {
  GtkWidget* page = gui_vbox_new();
  std::vector<const char*> names;
  for (const std::string& n : languages) names.push_back(n.c_str());
  if (names.empty()) names.push_back("english");
  gui_pack(page, framed("Language", dlg_small_options(&language_index, names, false, "main", nullptr), false),
           0);
  gui_pack(page, framed("Font", gui_command_button_new(1, "z_d_font", nls_translate("Change Font")), false),
           0);
  gui_pack(page,
           framed(nls_mark("Aspect ratio"),
                  gui_command_button_new(1, "z_d_aspect", nls_translate("Change Aspect ratio"))),
           0);
  gui_pack(page, framed(nls_mark("HTML Help command"), bind_entry_new(help_browser, PATH_LEN - 1, nullptr)),
           0);
  return page;
}

}  // namespace

GtkWidget* dlg_settings_create() {
  GtkWidget* box = nullptr;
  GtkWidget* window = dlg_small_window(nls_translate("Settings"), &box, "z_c_settings");
  gtk_container_set_border_width(GTK_CONTAINER(window), 4);
  g_signal_connect(window, "destroy", G_CALLBACK(forget), nullptr);
  GtkWidget* notebook = gtk_notebook_new();
  gtk_notebook_set_tab_pos(GTK_NOTEBOOK(notebook), GTK_POS_LEFT);
  struct Page {
    const char* label;
    GtkWidget* (*build)();
  };
  const Page pages[] = {{nls_mark("Pen"), pen_page},        {nls_mark("Line"), line_page},
                        {nls_mark("View"), view_page},      {nls_mark("Input"), input_page},
                        {nls_mark("Dim"), dim_page},        {nls_mark("Local"), local_page},
                        {nls_mark("Colors"), colours_page}, {nls_mark("GUI"), gui_page}};
  for (const Page& p : pages) {
    GtkWidget* page = p.build();
    gtk_container_set_border_width(GTK_CONTAINER(page), 4);
    gtk_notebook_append_page(GTK_NOTEBOOK(notebook), page, gui_label_new(0, nls_translate(p.label)));
  }
  gtk_widget_show(notebook);
  gui_pack(box, notebook, 1);
  GtkWidget* buttons = gui_hbox_new();
  gui_pack(buttons, gui_command_button_new(1, "z_load_settings", nls_translate("Load")), 1);
  gui_pack(buttons, gui_command_button_new(1, "z_save_settings", nls_translate("Save")), 1);
  GtkWidget* close = gui_command_button_new(1, "z_c_settings", nls_translate("Close"));
  gui_pack(buttons, close, 1);
  gui_pack(box, buttons, 0);
  gui_focus_widget(close);
  // The pages show the pen and line type the working copies name.
  pen_revert(nullptr, nullptr);
  line_revert(nullptr, nullptr);
  colour_revert(nullptr, nullptr);
  return window;
}

GtkWidget* dlg_font_create() {
  GtkWidget* box = nullptr;
  GtkWidget* window = dlg_small_window(nls_translate("Font setting:"), &box, nullptr);
  GtkWidget* chooser = gtk_font_chooser_widget_new();
  const char* home = std::getenv("HOME");
  const std::string font = home ? gui_style_read_font(std::string(home) + "/.kavro3/kavro.gtkrc") : "";
  if (!font.empty()) gtk_font_chooser_set_font(GTK_FONT_CHOOSER(chooser), font.c_str());
  gtk_widget_show(chooser);
  gui_pack(box, chooser, 1);
  GtkWidget* use = gui_command_button_new(1, "z_c_font", nls_translate("Use"));
  gtk_box_pack_end(GTK_BOX(box), use, FALSE, FALSE, 4);
  gui_focus_widget(use);
  return window;
}

GtkWidget* dlg_aspect_create() {
  GtkWidget* box = nullptr;
  GtkWidget* window = dlg_small_window(nls_translate("Aspect ratio"), &box, "z_c_aspect");
  gui_pack(box, gui_pixmap_new("./graphics/aspect.xpm"), 0);
  GtkWidget* row = gui_hbox_new();
  gui_pack(row, framed(nls_mark("Width:"), bind_pentry_new(&screen_aspect.width, nullptr)), 1);
  gui_pack(row, framed(nls_mark("Height:"), bind_pentry_new(&screen_aspect.height, nullptr)), 1);
  gui_pack(box, row, 0);
  dlg_small_close(box, "z_c_aspect");
  return window;
}

void dlg_settings_install() {
  dlg_row_set(
      {"z_d_settings", DlgAct::OPEN, DLG_SETTINGS, [] { return static_cast<void*>(dlg_settings_create()); }});
  dlg_row_set({"z_c_settings", DlgAct::HIDE, DLG_SETTINGS});
  dlg_row_set({"z_d_font", DlgAct::OPEN, DLG_FONT, [] { return static_cast<void*>(dlg_font_create()); }});
  dlg_row_set(
      {"z_d_aspect", DlgAct::OPEN, DLG_ASPECT, [] { return static_cast<void*>(dlg_aspect_create()); }});
  dlg_row_set({"z_c_aspect", DlgAct::HIDE, DLG_ASPECT, nullptr, [] {
                 view_apply_scale(cur_view);
                 view_redraw();
               }});
}
