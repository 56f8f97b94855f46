#include "shell/gtk/mainwin_bars.h"

#include <string>

#include "display/gtk/view_gtk.h"
#include "display/key_state.h"
#include "display/view_commands.h"
#include "model/elem.h"
#include "model/files/load_save.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/settings.h"
#include "shell/bind_refresh.h"
#include "shell/dlg_table.h"
#include "shell/gtk/bind.h"
#include "shell/gtk/gui_build.h"
#include "shell/gtk/mainwin.h"
#include "shell/gtk/mainwin_parts.h"
#include "shell/gtk/startup.h"
#include "shell/latin1.h"
#include "shell/mainwin_text.h"

namespace {

// A bar button: a command button of the given kind, pixel width (0: natural)
// and tooltip.
GtkWidget* bar_button(char kind, const char* key, const char* text, int width, const char* tip) {
  GtkWidget* b = kind == 3 ? mainwin_picture_button(key, text) : gui_command_button_new(kind, key, text);
  if (width > 0) gtk_widget_set_size_request(b, width, -1);
  mainwin_set_tip(b, tip);
  return b;
}

GtkWidget* bar_toggle(const char* xpm, int32_t* var, int width, const char* tip) {
  GtkWidget* t = mainwin_picture_toggle(xpm, var, "main");
  if (width > 0) gtk_widget_set_size_request(t, width, -1);
  mainwin_set_tip(t, tip);
  return t;
}

// " Gauge ", " Zoom ": the translation between two blanks.
std::string padded(const char* english) { return std::string(" ") + nls_translate(english) + " "; }

void set_entry(GtkWidget* entry, const char* text) {
  if (entry) gtk_entry_set_text(GTK_ENTRY(entry), gui_utf8(text).c_str());
}

void set_sensitive(GtkWidget* w, bool on) {
  if (w) gtk_widget_set_sensitive(w, on ? TRUE : FALSE);
}

}  // namespace

void mainwin_build_view_bar(GtkWidget* box) {
  MainwinWidgets& w = mainwin_widgets;
  GtkWidget* frame = gui_frame_new(nullptr);
  w.view_frame = frame;
  GtkWidget* area = view_create(0);
  gtk_widget_set_size_request(area, 300, 300);
  gtk_container_add(GTK_CONTAINER(frame), area);
  gui_pack(box, frame, 1);

  GtkWidget* table = gui_table_new(2, 4);
  w.view_bar = table;
  gtk_widget_set_vexpand(table, FALSE);
  gui_pack(box, table, 0);

  GtkWidget* tools = gui_hbox_new();
  w.view_option_toggles[0] =
      bar_toggle("./graphics/hlp.xpm", &view_options.show_guide_points, 20, nls_mark("Show guide points"));
  w.view_option_toggles[1] =
      bar_toggle("./graphics/abk.xpm", &view_options.all_black, 20, nls_mark("Show all colored black"));
  w.view_option_toggles[2] = bar_toggle("./graphics/fat.xpm", &view_options.exact_line_thickness, 20,
                                        nls_mark("Show exact line thickness"));
  for (GtkWidget* t : w.view_option_toggles) gui_pack(tools, t, 0);
  gui_pack(tools,
           bar_button(1, "b_gauge", padded(nls_mark("Gauge")).c_str(), 0,
                      nls_mark("Measure the distance between two points")),
           1);
  gui_pack(tools, bar_button(1, "s_maplus", " + ", 0, nls_mark("Increase the current scale")), 0);
  GtkWidget* mamid = bar_button(4, "f_mamid", nullptr, 80, nls_mark("Scale of the visible area"));
  w.scale_label = gui_label_new(1, " 1:1 ");
  gtk_container_add(GTK_CONTAINER(mamid), w.scale_label);
  gui_pack(tools, mamid, 1);
  gui_pack(tools, bar_button(1, "s_maminus", " - ", 0, nls_mark("Decrease the current scale")), 0);
  gui_pack(
      tools,
      bar_button(3, "s_alles", "./graphics/showall.xpm", 20, nls_mark("Show all elements in visible area")),
      1);
  gui_pack(tools, bar_button(3, "f_pan", "./graphics/pan.xpm", 36, nls_mark("Move the visible area")), 1);
  gui_pack(tools, bar_button(3, "z_pap", "./graphics/pap.xpm", 24, nls_mark("Refresh the screen")), 0);
  gui_pack(tools,
           bar_button(1, "f_zoom", padded(nls_mark("Zoom")).c_str(), 0,
                      nls_mark("Enlarge a certain area of the screen by drawing a rectangle")),
           1);
  gui_table_attach(table, tools, 1, 2, 0, 1, 0);
  gtk_widget_set_hexpand(tools, TRUE);

  GtkWidget* coords = gui_hbox_new();
  w.coord_x = gui_entry_new(" X: 0.00000 ");
  w.coord_y = gui_entry_new(" Y: 0.00000 ");
  // Wide enough for a coordinate with its unit in the interface font.
  gui_set_width(w.coord_x, 130);
  gui_set_width(w.coord_y, 130);
  gui_pack(coords, w.coord_x, 1);
  gui_pack(coords, w.coord_y, 1);
  gui_table_attach(table, coords, 0, 1, 0, 1, 0);
  gtk_widget_set_hexpand(coords, TRUE);
  w.prompt = gui_entry_new("");
  gui_table_attach(table, w.prompt, 0, 1, 1, 2, 0);

  gui_table_attach(table,
                   bar_button(3, "z_d_layer", "./graphics/layer.xpm", 45, nls_mark("Open the Layers dialog")),
                   2, 3, 0, 2, 0);

  struct Snap {
    const char* key;
    const char* xpm;
    const char* tip;
  };
  const Snap snaps[4] = {
      {"z_snap_i", "./graphics/snap1.xpm", nls_mark("Snap-to a point of intersection")},
      {"z_snap_m", "./graphics/snap2.xpm", nls_mark("Snap-to a middle point")},
      {"z_snap_d", "./graphics/snap3.xpm", nls_mark("Snap-to a deviding point")},
      {"z_snap_t", "./graphics/snap4.xpm", nls_mark("Snap-to a tangent point")},
  };
  for (int row = 0; row < 2; ++row) {
    GtkWidget* pair = gui_hbox_new();
    for (int i = 2 * row; i < 2 * row + 2; ++i) {
      w.snap_buttons[i] = bar_button(3, snaps[i].key, snaps[i].xpm, 20, snaps[i].tip);
      gui_pack(pair, w.snap_buttons[i], 0);
    }
    gui_table_attach(table, pair, 3, 4, row, row + 1, 0);
  }
  mainwin_snap_buttons_disable();
}

void mainwin_build_snap_bar(GtkWidget* box) {
  MainwinWidgets& w = mainwin_widgets;
  GtkWidget* table = gui_table_new(2, 4);
  auto cell = [table](GtkWidget* child, int column, int row, int rows) {
    gui_table_attach(table, child, column, column + 1, row, row + rows, 1);
  };

  GtkWidget* snap = bind_toggle_new(nls_translate("Snap"), &snap_on, "");
  mainwin_set_tip(snap, nls_mark("Activate snap-to"));
  cell(snap, 0, 0, 1);

  GtkWidget* pair = gui_hbox_new();
  gui_pack(pair, bar_button(1, "z_d_snap", " ? ", 0, nls_mark("Open the snap-to dialog")), 1);
  w.snap_preview_toggle =
      bar_toggle("./graphics/adsnap.xpm", &snap_preview_on, 0, nls_mark("Preview snap-to points"));
  gui_pack(pair, w.snap_preview_toggle, 1);
  cell(pair, 0, 1, 1);

  w.undo_button = bar_button(3, "p_undo", "./graphics/undo.xpm", 0, nls_mark("Undo"));
  gtk_widget_set_sensitive(w.undo_button, FALSE);
  cell(w.undo_button, 1, 0, 2);
  w.redo_button = bar_button(3, "p_redo", "./graphics/redo.xpm", 0, nls_mark("Redo"));
  gtk_widget_set_sensitive(w.redo_button, FALSE);
  cell(w.redo_button, 2, 0, 2);

  GtkWidget* guide = bind_toggle_new(nls_translate("+GL"), &guide_mode, "");
  mainwin_set_tip(guide, nls_mark("Activate guide color"));
  cell(guide, 3, 0, 1);
  cell(bar_button(1, "p_glminus", nls_translate("-GL"), 0, nls_mark("Remove all elements in guide color")), 3,
       1, 1);

  // The cells expand within the bar; the bar itself keeps its natural height.
  gtk_widget_set_vexpand(table, FALSE);
  gui_pack(box, table, 0);
}

void mainwin_undo_button_enable() { set_sensitive(mainwin_widgets.undo_button, true); }
void mainwin_undo_button_disable() { set_sensitive(mainwin_widgets.undo_button, false); }
void mainwin_redo_button_enable() { set_sensitive(mainwin_widgets.redo_button, true); }
void mainwin_redo_button_disable() { set_sensitive(mainwin_widgets.redo_button, false); }

void mainwin_snap_buttons_enable() {
  for (GtkWidget* b : mainwin_widgets.snap_buttons) set_sensitive(b, true);
  snap_keys_enabled = 1;
}

void mainwin_snap_buttons_disable() {
  for (GtkWidget* b : mainwin_widgets.snap_buttons) set_sensitive(b, false);
  snap_keys_enabled = 0;
}

void mainwin_toolbar_toggles_refresh() {
  for (GtkWidget* t : mainwin_widgets.view_option_toggles) bind_refresh_toggle(t);
  bind_refresh_toggle(mainwin_widgets.snap_preview_toggle);
}

void mainwin_set_scale_label(const char* text) {
  if (mainwin_widgets.scale_label)
    gtk_label_set_text(GTK_LABEL(mainwin_widgets.scale_label), gui_utf8(text).c_str());
}

void mainwin_set_coord_x(const char* text) { set_entry(mainwin_widgets.coord_x, text); }
void mainwin_set_coord_y(const char* text) { set_entry(mainwin_widgets.coord_y, text); }
void mainwin_set_prompt(const char* text) { set_entry(mainwin_widgets.prompt, text); }

std::string mainwin_title_text() {
  gchar* file = g_filename_display_name(drawing_file.c_str());
  std::string title = mainwin_title_format(nls_translate("KAVRO  File: %s  Layer: %s  Scale: 1:%.0f"), file,
                                           latin1_to_utf8(layer_name(cur_layer)).c_str(), drawing_scale);
  g_free(file);
  return title;
}

void mainwin_update_title() { mainwin_set_title(mainwin_title_text().c_str()); }

void gui_reset_after_load() {
  // Built again from the loaded values when opened next.
  for (DlgId id : {DLG_POV, DLG_RAY, DLG_LAYER, DLG_SNAP, DLG_SETTINGS}) dlg_destroy(id);
  view_redraw();
  view_reconfigure_all();
  for (GtkWidget* t : mainwin_widgets.text_editor_toggles) bind_refresh_toggle(t);
}

void gui_reset_dialogs_after_settings() {
  // The previews of the dialogs destroyed next.
  for (int k = 1; k <= 6; ++k) view_widgets[k] = nullptr;
  for (DlgId id : {DLG_ROOM, DLG_WALL, DLG_PATTERN, DLG_TEXT, DLG_DIM, DLG_OPENING, DLG_DOOR, DLG_SYMBOL,
                   DLG_WINDOW, DLG_LAYER, DLG_MAT, DLG_LIGHT, DLG_PLOTSETUP, DLG_PRINTSETUP, DLG_PRINTSCALE})
    dlg_destroy(id);
  gui_preset_combos_refill();
  mainwin_size_labels_refresh();
}

void gui_reset_for_new_drawing() {
  dlg_destroy(DLG_LAYER);
  drawing_reset();
}
