#include <cstdio>
#include <string>

#include "dialogs/dialogs_install.h"
#include "dialogs/dlg_small.h"
#include "model/consts.h"
#include "model/elem.h"
#include "model/layer_commands.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/ui.h"
#include "shell/gtk/bind.h"
#include "shell/gtk/gui_build.h"
#include "shell/latin1.h"

// The Layers dialog: the ten lists, the 100 layers of the shown list, the
// layer sets and the layer commands.

FixedText<NAME_LEN> layer_set_name;
int layer_dlg_list = 0;

namespace {

constexpr int LAYER_LIST_LEN = LAYERS_PER_LIST;

enum LayerColumn { L_CURRENT, L_SHOWN, L_NAME, L_USED, L_NUMBER, L_BACKGROUND, L_COUNT };
enum ListColumn { K_ARROW, K_NAME, K_USED, K_BACKGROUND, K_COUNT };

struct LayerDialog {
  GtkListStore* layer_rows = nullptr;
  GtkListStore* list_rows = nullptr;
  GtkWidget* layer_view = nullptr;
  GtkWidget* list_view = nullptr;
  GtkWidget* sets = nullptr;  // combo with entry
  GdkPixbuf* mark_current = nullptr;
  GdkPixbuf* mark_shown = nullptr;
  GdkPixbuf* mark_blank = nullptr;
  GdkPixbuf* mark_used = nullptr;
  GdkPixbuf* mark_arrow = nullptr;
};
LayerDialog dlg;

const GdkRGBA white = {1.0, 1.0, 1.0, 1.0};
const GdkRGBA grey = {0xf0a2 / 65535.0, 0xf0a2 / 65535.0, 0xf0a2 / 65535.0, 1.0};

void drop_marks() {
  for (GdkPixbuf** p :
       {&dlg.mark_current, &dlg.mark_shown, &dlg.mark_blank, &dlg.mark_used, &dlg.mark_arrow}) {
    if (*p) g_object_unref(*p);
    *p = nullptr;
  }
}

void on_destroy(GtkWidget*, gpointer) {
  if (dlg.layer_rows) g_object_unref(dlg.layer_rows);
  if (dlg.list_rows) g_object_unref(dlg.list_rows);
  drop_marks();
  dlg = LayerDialog{};
}

void refresh_all() {
  ui().mainwin_update_title();
  dlg_layer_refresh();
  dlg_preview_draw(0);
}

void fill_set_list() {
  if (!dlg.sets) return;
  gtk_combo_box_text_remove_all(GTK_COMBO_BOX_TEXT(dlg.sets));
  for (LayerSet* s = layer_sets; s; s = s->next)
    gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(dlg.sets), latin1_to_utf8(s->name.c_str()).c_str());
}

GtkWidget* set_entry() { return dlg.sets ? gtk_bin_get_child(GTK_BIN(dlg.sets)) : nullptr; }

void show_set_name(const char* name) {
  layer_set_name.set(name);
  if (GtkWidget* e = set_entry()) gtk_entry_set_text(GTK_ENTRY(e), latin1_to_utf8(name).c_str());
}

void on_set_name(GtkEditable* entry, gpointer) {
  layer_set_name.set(utf8_to_latin1(gtk_entry_get_text(GTK_ENTRY(entry))));
}

// The list closed, after a choice or not: the named set comes back. The
// menu hides before the chosen item reaches the entry, so the set is
// recalled once the toolkit is done with the choice.
gboolean recall_named_set(gpointer) {
  if (dlg.sets) gtk_combo_box_set_active(GTK_COMBO_BOX(dlg.sets), -1);
  layer_set_recall(layer_set_name.c_str());
  refresh_all();
  return G_SOURCE_REMOVE;
}

void on_popup_shown(GObject* combo, GParamSpec*, gpointer) {
  gboolean shown = FALSE;
  g_object_get(combo, "popup-shown", &shown, nullptr);
  if (!shown) g_idle_add(recall_named_set, nullptr);
}

void open_name_entry(FixedText<NAME_LEN>& name) {
  dlg_destroy(DLG_LAYERENTRY);
  GtkWidget* box = nullptr;
  GtkWidget* window = dlg_small_window(nls_translate("Name:"), &box, "z_c_layerentry");
  gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_MOUSE);
  GtkWidget* entry = bind_entry_new(name, 40, "layerentry");
  gui_pack(box, entry, 0);
  dlg_small_close(box, "z_c_layerentry");
  gtk_widget_grab_focus(entry);
  gtk_editable_select_region(GTK_EDITABLE(entry), 0, -1);
  dlg_store(DLG_LAYERENTRY, window);
  dlg_present(window);
}

bool cell_at(GtkWidget* view, GdkEventButton* event, int* row, int* column) {
  GtkTreePath* path = nullptr;
  GtkTreeViewColumn* col = nullptr;
  if (!gtk_tree_view_get_path_at_pos(GTK_TREE_VIEW(view), static_cast<int>(event->x),
                                     static_cast<int>(event->y), &path, &col, nullptr, nullptr))
    return false;
  *row = gtk_tree_path_get_indices(path)[0];
  gtk_tree_path_free(path);
  GList* columns = gtk_tree_view_get_columns(GTK_TREE_VIEW(view));
  *column = g_list_index(columns, col);
  g_list_free(columns);
  return *column >= 0;
}

gboolean on_layer_row(GtkWidget* view, GdkEventButton* event, gpointer) {
  int row = 0, column = 0;
  if (!event || !cell_at(view, event, &row, &column)) return TRUE;
  dlg_layer_on_layer_row(row, column, event->type == GDK_2BUTTON_PRESS && event->button == 1);
  return TRUE;
}

gboolean on_list_row(GtkWidget* view, GdkEventButton* event, gpointer) {
  int row = 0, column = 0;
  if (!event || !cell_at(view, event, &row, &column)) return TRUE;
  dlg_layer_on_list_row(row, column, event->type == GDK_2BUTTON_PRESS && event->button == 1);
  return TRUE;
}

void add_column(GtkWidget* view, bool picture, int model_column, int background, int width) {
  GtkCellRenderer* cell = picture ? gtk_cell_renderer_pixbuf_new() : gtk_cell_renderer_text_new();
  g_object_set(cell, "height", 20, nullptr);
  GtkTreeViewColumn* c = gtk_tree_view_column_new_with_attributes(
      "", cell, picture ? "pixbuf" : "text", model_column, "cell-background-rgba", background, nullptr);
  gtk_tree_view_column_set_sizing(c, GTK_TREE_VIEW_COLUMN_FIXED);
  gtk_tree_view_column_set_fixed_width(c, width);
  gtk_tree_view_append_column(GTK_TREE_VIEW(view), c);
}

GtkWidget* rows_view(GtkListStore* store, const char* frame_title, int width, GtkWidget** view_out,
                     GCallback on_press) {
  GtkWidget* view = gtk_tree_view_new_with_model(GTK_TREE_MODEL(store));
  gtk_tree_view_set_headers_visible(GTK_TREE_VIEW(view), FALSE);
  gtk_tree_selection_set_mode(gtk_tree_view_get_selection(GTK_TREE_VIEW(view)), GTK_SELECTION_NONE);
  g_signal_connect(view, "button-press-event", on_press, nullptr);
  GtkWidget* scroll = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroll), GTK_POLICY_NEVER, GTK_POLICY_ALWAYS);
  gtk_widget_set_size_request(scroll, width, 215);
  gtk_container_add(GTK_CONTAINER(scroll), view);
  GtkWidget* frame = gui_frame_new(frame_title);
  gtk_container_add(GTK_CONTAINER(frame), scroll);
  gtk_widget_show_all(frame);
  *view_out = view;
  return frame;
}

}  // namespace

void dlg_layer_on_layer_row(int row, int column, bool double_click) {
  const int n = layer_dlg_list * LAYER_LIST_LEN + row;
  LayerRec* rec = layer_rec(n);
  if (!rec || column < 0) return;
  if (column == L_NAME && double_click) {
    open_name_entry(rec->name);
    return;
  }
  if (column == L_CURRENT)
    cur_layer = n;
  else if (column == L_SHOWN)
    rec->shown = rec->shown ? 0 : 1;
  else
    return;
  refresh_all();
}

void dlg_layer_on_list_row(int row, int column, bool double_click) {
  if (row < 0 || row >= LAYER_LIST_COUNT || column < 0) return;
  if (column == K_NAME && double_click) {
    open_name_entry(layer_list_names[row]);
    return;
  }
  layer_dlg_list = row;
  dlg_layer_refresh();
}

void dlg_layer_refresh() {
  if (!dlg.layer_rows) return;
  // Detached while refilled, so the view does not redraw row by row.
  gtk_tree_view_set_model(GTK_TREE_VIEW(dlg.layer_view), nullptr);
  gtk_list_store_clear(dlg.layer_rows);
  for (int i = 0; i < LAYER_LIST_LEN; ++i) {
    const int n = layer_dlg_list * LAYER_LIST_LEN + i;
    const LayerRec& rec = layers[n];
    GtkTreeIter it;
    gtk_list_store_append(dlg.layer_rows, &it);
    gtk_list_store_set(dlg.layer_rows, &it, L_CURRENT, n == cur_layer ? dlg.mark_current : dlg.mark_blank,
                       L_SHOWN, rec.shown ? dlg.mark_shown : dlg.mark_blank, L_NAME,
                       latin1_to_utf8(rec.name.c_str()).c_str(), L_USED,
                       rec.count ? dlg.mark_used : dlg.mark_blank, L_NUMBER, layer_number_text(n).c_str(),
                       L_BACKGROUND, n == cur_layer ? &white : &grey, -1);
  }
  gtk_tree_view_set_model(GTK_TREE_VIEW(dlg.layer_view), GTK_TREE_MODEL(dlg.layer_rows));
  if (!dlg.list_rows) return;
  gtk_tree_view_set_model(GTK_TREE_VIEW(dlg.list_view), nullptr);
  gtk_list_store_clear(dlg.list_rows);
  for (int k = 0; k < LAYER_LIST_COUNT; ++k) {
    int used = 0;
    for (int i = 0; i < LAYER_LIST_LEN; ++i) used += layers[k * LAYER_LIST_LEN + i].count;
    GtkTreeIter it;
    gtk_list_store_append(dlg.list_rows, &it);
    gtk_list_store_set(
        dlg.list_rows, &it, K_ARROW, k == cur_layer / LAYER_LIST_LEN ? dlg.mark_arrow : dlg.mark_blank,
        K_NAME, latin1_to_utf8(layer_list_names[k].c_str()).c_str(), K_USED,
        used > 0 ? dlg.mark_used : dlg.mark_blank, K_BACKGROUND, k == layer_dlg_list ? &white : &grey, -1);
  }
  gtk_tree_view_set_model(GTK_TREE_VIEW(dlg.list_view), GTK_TREE_MODEL(dlg.list_rows));
}

void cmd_p_layerstate_save() {
  if (layer_set_save(layer_set_name.c_str())) {
    const std::string name = layer_set_name.c_str();
    fill_set_list();
    show_set_name(name.c_str());
  }
}

void cmd_p_layerstate_delete() {
  std::string next;
  if (!layer_set_delete(layer_set_name.c_str(), &next)) return;
  fill_set_list();
  show_set_name(next.c_str());
}

void cmd_p_layerfunc_up() {
  layer_exchange_up(cur_layer);
  dlg_layer_refresh();
}

void cmd_p_layerfunc_down() {
  layer_exchange_down(cur_layer);
  dlg_layer_refresh();
}

void cmd_p_layerfunc_delete() {
  if (!layer_delete_elements(cur_layer)) return;
  layer_count_elements();
  refresh_all();
}

void gui_layerentry_closed() {
  dlg_destroy(DLG_LAYERENTRY);
  dlg_layer_refresh();
}

GtkWidget* dlg_layer_create() {
  GtkWidget* box = nullptr;
  GtkWidget* window = dlg_small_window(nls_translate("Layers"), &box, "z_c_layer");
  gtk_container_set_border_width(GTK_CONTAINER(window), 4);
  g_signal_connect(window, "destroy", G_CALLBACK(on_destroy), nullptr);
  layer_set_name.set("Default");

  GtkWidget* name = gui_frame_new("Name");
  GtkWidget* name_row = gui_hbox_new();
  gtk_container_add(GTK_CONTAINER(name), name_row);
  dlg.sets = gtk_combo_box_text_new_with_entry();
  fill_set_list();
  GtkWidget* entry = set_entry();
  gtk_entry_set_max_length(GTK_ENTRY(entry), NAME_LEN - 1);
  gtk_entry_set_text(GTK_ENTRY(entry), "Default");
  g_signal_connect(entry, "changed", G_CALLBACK(on_set_name), nullptr);
  g_signal_connect(dlg.sets, "notify::popup-shown", G_CALLBACK(on_popup_shown), nullptr);
  gtk_widget_show_all(dlg.sets);
  gui_pack(name_row, dlg.sets, 1);
  gui_pack(name_row, gui_command_button_new(1, "p_layerstate_save", nls_translate("Save")), 0);
  gui_pack(name_row, gui_command_button_new(3, "p_layerstate_delete", "./graphics/trashcan.xpm"), 0);
  gui_pack(box, name, 0);

  dlg.mark_current = gui_pixbuf_load("./graphics/lact.xpm");
  dlg.mark_shown = gui_pixbuf_load("./graphics/lon.xpm");
  dlg.mark_blank = gui_pixbuf_load("./graphics/loff.xpm");
  dlg.mark_used = gui_pixbuf_load("./graphics/luse.xpm");
  dlg.mark_arrow = gui_pixbuf_load("./graphics/larr.xpm");
  dlg.layer_rows = gtk_list_store_new(L_COUNT, GDK_TYPE_PIXBUF, GDK_TYPE_PIXBUF, G_TYPE_STRING,
                                      GDK_TYPE_PIXBUF, G_TYPE_STRING, GDK_TYPE_RGBA);
  dlg.list_rows = gtk_list_store_new(K_COUNT, GDK_TYPE_PIXBUF, G_TYPE_STRING, GDK_TYPE_PIXBUF, GDK_TYPE_RGBA);

  GtkWidget* lists = gui_hbox_new();
  GtkWidget* list_frame =
      rows_view(dlg.list_rows, nls_translate("Lists"), 98, &dlg.list_view, G_CALLBACK(on_list_row));
  add_column(dlg.list_view, true, K_ARROW, K_BACKGROUND, 8);
  add_column(dlg.list_view, false, K_NAME, K_BACKGROUND, 62);
  add_column(dlg.list_view, true, K_USED, K_BACKGROUND, 8);
  GtkWidget* layer_frame =
      rows_view(dlg.layer_rows, nls_translate("Active/Back"), 298, &dlg.layer_view, G_CALLBACK(on_layer_row));
  add_column(dlg.layer_view, true, L_CURRENT, L_BACKGROUND, 20);
  add_column(dlg.layer_view, true, L_SHOWN, L_BACKGROUND, 20);
  add_column(dlg.layer_view, false, L_NAME, L_BACKGROUND, 190);
  add_column(dlg.layer_view, true, L_USED, L_BACKGROUND, 8);
  add_column(dlg.layer_view, false, L_NUMBER, L_BACKGROUND, 20);
  gui_pack(lists, list_frame, 0);
  gui_pack(lists, layer_frame, 1);
  gui_pack(box, lists, 1);

  GtkWidget* buttons = gui_hbox_new();
  gui_pack(buttons, gui_command_button_new(3, "p_layerfunc_delete", "./graphics/trashcan.xpm"), 0);
  gui_pack(buttons, gui_spacer_new(0), 1);
  gui_pack(buttons, gui_command_button_new(3, "p_layerfunc_up", "./graphics/uparrow.xpm"), 0);
  gui_pack(buttons, gui_command_button_new(3, "p_layerfunc_down", "./graphics/downarrow.xpm"), 0);
  gui_pack(buttons, gui_spacer_new(0), 1);
  GtkWidget* close = gui_command_button_new(1, "z_c_layer", nls_translate("Close"));
  gui_pack(buttons, close, 0);
  gui_pack(box, buttons, 0);
  gui_focus_widget(close);
  dlg_layer_refresh();
  return window;
}
