#include "dialogs/dlg_options.h"

#include <cstring>
#include <vector>

#include "building/hlr_tools.h"
#include "dialogs/dlg_path_entries.h"
#include "dialogs/dlg_small.h"
#include "exchange/dxf_common.h"
#include "exchange/render_sizes.h"
#include "model/nls.h"
#include "model/settings.h"
#include "model/ui.h"
#include "shell/gtk/bind.h"
#include "shell/gtk/gui_build.h"

// The option dialogs of the DXF import and export, the hidden-line
// rendering, POV-Ray and Radiance. Every widget edits its setting at once;
// the buttons post the commands that read them.

namespace {

const std::vector<const char*> units(std::begin(dxf_unit_names), std::end(dxf_unit_names));

std::vector<const char*> size_labels() {
  std::vector<const char*> out;
  for (const RenderSize& s : render_sizes) out.push_back(s.label);
  return out;
}

const std::vector<const char*> low_medium_high = {"Low", "Medium", "High"};

GtkWidget* window_titled(const char* title, GtkWidget** box, const char* close_key, bool centred) {
  GtkWidget* window = dlg_small_window(title, box, close_key);
  if (centred) gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);
  return window;
}

// A frame titled title (translated unless raw) around child, packed into box.
void framed(GtkWidget* box, const char* title, GtkWidget* child, bool raw = false) {
  GtkWidget* frame = gui_frame_new(raw ? title : nls_translate(title));
  gtk_container_add(GTK_CONTAINER(frame), child);
  gui_pack(box, frame, 0);
}

GtkWidget* options(int* var, const std::vector<const char*>& labels, bool translate) {
  return dlg_small_options(var, labels, translate, nullptr, nullptr);
}

GtkWidget* off_on(int* var) { return options(var, {nls_mark("Off"), nls_mark("On")}, true); }

GtkWidget* slider(double* var, float min, float max, float step, int digits) {
  GtkWidget* s = bind_slider_new(var, min, max, step, digits, nullptr, nullptr);
  gtk_widget_set_size_request(s, 200, -1);
  return s;
}

// "Save Image", the output file and its "..." in one row.
GtkWidget* output_row(int* save, FixedText<PATH_LEN>& file, const char* choose_key, GtkWidget** entry) {
  GtkWidget* row = gui_hbox_new();
  gui_pack(row, bind_toggle_new(nls_translate("Save Image"), save, nullptr), 0);
  *entry = bind_entry_new(file, PATH_LEN - 1, nullptr);
  gui_pack(row, *entry, 1);
  gui_pack(row, gui_command_button_new(1, choose_key, "..."), 0);
  return row;
}

// The buttons in one row; the first one named takes the focus.
GtkWidget* button_row(GtkWidget* box, std::initializer_list<std::pair<const char*, const char*>> buttons) {
  GtkWidget* row = gui_hbox_new();
  GtkWidget* first = nullptr;
  for (const auto& [key, label] : buttons) {
    GtkWidget* b = gui_command_button_new(1, key, nls_translate(label));
    gui_pack(row, b, 1);
    if (!first) first = b;
  }
  gui_pack(box, gui_spacer_new(0), 0);
  gui_pack(box, row, 0);
  gui_focus_widget(first);
  return row;
}

// Every bound option menu below w shows its variable again.
void refresh_option_menus(GtkWidget* w) {
  if (!w) return;
  if (GTK_IS_COMBO_BOX(w) && bind_variable(w)) bind_refresh_option_menu(w);
  if (!GTK_IS_CONTAINER(w)) return;
  GList* children = gtk_container_get_children(GTK_CONTAINER(w));
  for (GList* c = children; c; c = c->next) refresh_option_menus(GTK_WIDGET(c->data));
  g_list_free(children);
}

}  // namespace

GtkWidget* dlg_dxf_out_create() {
  GtkWidget* box = nullptr;
  GtkWidget* window = window_titled(nls_translate("Export DXF..."), &box, "z_c_dxf_out", true);
  framed(box, nls_mark("Objects"),
         options(&dxf_settings.export_scope,
                 {nls_mark("Selected objects"), nls_mark("Visible objects"), nls_mark("All objects")}, true));
  gui_pack(box, gui_spacer_new(0), 0);
  framed(box, nls_mark("Mode"),
         options(&dxf_settings.export_mode, {"2D", "2D Entities only", "3D", "3D Entities only"}, false));
  gui_pack(box, gui_spacer_new(0), 0);
  framed(box, nls_mark("Scale"), options(&dxf_settings.export_unit, units, false));
  gui_pack(box, gui_spacer_new(0), 0);
  gui_pack(box, gui_command_button_new(1, "p_file_export_dxf", nls_translate("Export")), 0);
  gui_pack(box, gui_spacer_new(0), 0);
  GtkWidget* close = gui_command_button_new(1, "z_c_dxf_out", nls_translate("Close"));
  gui_pack(box, close, 0);
  gui_focus_widget(close);
  return window;
}

GtkWidget* dlg_dxf_in_create() {
  GtkWidget* box = nullptr;
  GtkWidget* window = window_titled(nls_translate("Import DXF..."), &box, "z_c_dxf_in", true);
  framed(box, nls_mark("Scale"), options(&dxf_settings.import_unit, units, false));
  gui_pack(box, gui_spacer_new(0), 0);
  framed(box, nls_mark("DXF Line mode"),
         options(&dxf_settings.import_line_mode, {nls_mark("Import 2D lines"), nls_mark("Import 3D lines")},
                 true));
  gui_pack(box, gui_spacer_new(0), 0);
  framed(box, nls_mark("DXF Layer mode"),
         options(&dxf_settings.import_layer_mode, {nls_mark("Join dxf layers"), nls_mark("Keep dxf layers")},
                 true));
  gui_pack(box, gui_spacer_new(0), 0);
  gui_pack(box, gui_command_button_new(1, "p_file_import_dxf", nls_translate("Import")), 0);
  gui_pack(box, gui_spacer_new(0), 0);
  GtkWidget* close = gui_command_button_new(1, "z_c_dxf_in", nls_translate("Close"));
  gui_pack(box, close, 0);
  gui_focus_widget(close);
  return window;
}

GtkWidget* dlg_hlr_create() {
  GtkWidget* box = nullptr;
  GtkWidget* window = window_titled(nls_translate("HLR options:"), &box, "z_c_hlr", false);
  framed(box, nls_mark("Colors"),
         options(&hlr_options.single_colour, {nls_mark("Object colors"), nls_mark("Single color")}, true));
  framed(box, nls_mark("Silhouettes"), off_on(&hlr_options.silhouettes));
  framed(box, nls_mark("Hidden edges"), off_on(&hlr_options.hidden_edges));
  framed(box, nls_mark("Smoothing"), off_on(&hlr_options.smoothing));
  framed(box, nls_mark("Smoothing angle"), bind_wentry_new(&hlr_options.smoothing_angle, nullptr));
  button_row(box, {{"b_3d_hlr", nls_mark("Render")}, {"z_c_hlr", nls_mark("Close")}});
  return window;
}

GtkWidget* dlg_pov_create() {
  GtkWidget* box = nullptr;
  GtkWidget* window = window_titled(nls_translate("Render settings:"), &box, "z_c_pov", false);
  framed(box, nls_mark("POV-Ray command"),
         bind_entry_new(pov_settings.command, pov_settings.command.capacity - 1, nullptr));
  GtkWidget* output = gui_vbox_new();
  GtkWidget* pov_output_entry = nullptr;
  gui_pack(output,
           output_row(&pov_settings.save_image, pov_settings.output_file, "p_pov_out", &pov_output_entry), 0);
  dlg_path_entry_track("pov", pov_output_entry);
  gui_pack(output,
           options(&pov_settings.output_format,
                   {"Compressed Targa", "Uncompressed Targa", "PPM", "PNG 16 bpp", "PNG 8bpp",
                    "Targa + Alpha", "System (TGA)"},
                   false),
           0);
  framed(box, nls_mark("Output options"), output);
  framed(box, nls_mark("Resolution"), options(&pov_settings.resolution, size_labels(), false));
  framed(box, nls_mark("Quality"),
         options(&pov_settings.quality, {"Preview", "Raytracing", "Radiosity", "Radiosity +"}, false));
  framed(box, "Antialias",
         options(&pov_settings.antialias, {"Off", "Antialias 1x", "Antialias 2x", "Antialias 4x"}, false),
         true);
  GtkWidget* background = gui_hbox_new();
  gui_pack(background, gui_command_button_new(1, "z_d_colorsel_povbg", nls_translate("Color")), 1);
  gui_pack(background, bind_toggle_new(nls_translate("Sky"), &pov_settings.sky, nullptr), 1);
  gui_pack(background, bind_toggle_new(nls_translate("Clouds"), &pov_settings.clouds, nullptr), 1);
  framed(box, nls_mark("Background"), background);
  framed(box, nls_mark("Ambient light"), options(&pov_settings.ambient, {"1", "2", "3", "4", "5"}, false));
  button_row(box, {{"b_3d_pov", nls_mark("Render")}, {"z_c_pov", nls_mark("Close")}});
  return window;
}

GtkWidget* dlg_ray_create() {
  GtkWidget* box = nullptr;
  GtkWidget* window = window_titled(nls_translate("Radiance settings:"), &box, "z_c_ray", false);
  GtkWidget* ray_output_entry = nullptr;
  framed(box, nls_mark("Output options"),
         output_row(&rad_settings.save_image, rad_settings.output_file, "p_ray_out", &ray_output_entry));
  dlg_path_entry_track("ray", ray_output_entry);
  framed(box, nls_mark("Resolution"), options(&rad_settings.resolution, size_labels(), false));
  // Two columns of menus keep the window within a screen's height.
  GtkWidget* columns = gui_hbox_new();
  GtkWidget* left = gui_vbox_new();
  GtkWidget* right = gui_vbox_new();
  gui_pack(columns, left, 1);
  gui_pack(columns, right, 1);
  framed(left, nls_mark("Quality"), options(&rad_settings.quality, low_medium_high, false));
  framed(left, nls_mark("Detail"), options(&rad_settings.detail, low_medium_high, false));
  framed(left, nls_mark("Variability"), options(&rad_settings.variability, low_medium_high, false));
  framed(left, nls_mark("Indirect light"), options(&rad_settings.indirect, low_medium_high, false));
  framed(right, nls_mark("Shadows"), options(&rad_settings.shadows, {"Sharp", "Soft"}, false));
  framed(right, nls_mark("Scene"), options(&rad_settings.scene, {"Interior", "Exterior"}, false));
  framed(right, nls_mark("Sky and Sun"),
         options(&rad_settings.sky,
                 {"Off", "Sunny +sun", "Sunny -sun", "Intermediate +sun", "Intermediate -sun", "Cloudy",
                  "Uniform"},
                 false));
  gui_pack(box, columns, 0);
  framed(box, nls_mark("Latitude"), slider(&rad_settings.latitude, -90, 90, 0, 0));
  framed(box, nls_mark("Time"), slider(&rad_settings.time, 0, 24, 12, 1));
  button_row(box, {{"b_3d_ray", nls_mark("Radiance")},
                   {"b_3d_raz", nls_mark("Radzilla")},
                   {"z_c_ray", nls_mark("Close")}});
  return window;
}

void dlg_dxf_refresh() {
  for (DlgId id : {DLG_FILTER, DLG_DXF_OUT, DLG_DXF_IN})
    refresh_option_menus(static_cast<GtkWidget*>(dlg_slots[id]));
}

void dlg_options_install() {
  const DlgKeys kept[] = {
      {"z_d_dxf_out", "z_c_dxf_out", DLG_DXF_OUT, dlg_build<dlg_dxf_out_create>},
      {"z_d_dxf_in", "z_c_dxf_in", DLG_DXF_IN, dlg_build<dlg_dxf_in_create>},
      {"z_d_hlr", "z_c_hlr", DLG_HLR, dlg_build<dlg_hlr_create>},
      {"z_d_pov", "z_c_pov", DLG_POV, dlg_build<dlg_pov_create>},
      {"z_d_ray", "z_c_ray", DLG_RAY, dlg_build<dlg_ray_create>},
  };
  dlg_add_kept(kept);
  UiTable t = ui();
  t.dlg_dxf_refresh = dlg_dxf_refresh;
  ui_install(t);
}
