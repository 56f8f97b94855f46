#include "shell/gtk/penline_selector.h"

#include "model/nls.h"
#include "shell/gtk/bind.h"
#include "shell/gtk/gui_build.h"
#include "shell/penline_sample.h"

namespace {

// The number of a menu's first picture: 0 for pens, 8 for line types.
constexpr const char* KEY_FIRST = "kv-first-picture";
constexpr int ITEMS = 8;

void on_popup_shown(GObject* combo, GParamSpec*, gpointer) {
  gboolean shown = FALSE;
  g_object_get(combo, "popup-shown", &shown, nullptr);
  if (shown) penline_menu_redraw(GTK_WIDGET(combo));
}

GtkWidget* picture_menu(int* var, int first, const char* refresh) {
  GtkListStore* store = gtk_list_store_new(1, GDK_TYPE_PIXBUF);
  for (int i = 0; i < ITEMS; ++i) {
    GtkTreeIter it;
    gtk_list_store_append(store, &it);
  }
  GtkWidget* combo = gtk_combo_box_new_with_model(GTK_TREE_MODEL(store));
  g_object_unref(store);
  GtkCellRenderer* cell = gtk_cell_renderer_pixbuf_new();
  gtk_cell_layout_pack_start(GTK_CELL_LAYOUT(combo), cell, TRUE);
  gtk_cell_layout_add_attribute(GTK_CELL_LAYOUT(combo), cell, "pixbuf", 0);
  g_object_set_data(G_OBJECT(combo), KEY_FIRST, GINT_TO_POINTER(first));
  penline_menu_redraw(combo);
  bind_option_combo(combo, var, refresh, nullptr);
  bind_set_redraw(combo, penline_menu_redraw);
  g_signal_connect(combo, "notify::popup-shown", G_CALLBACK(on_popup_shown), nullptr);
  return combo;
}

GtkWidget* row(GtkWidget* vbox, GtkWidget* menu) {
  GtkWidget* hbox = gui_hbox_new();
  gui_pack(hbox, menu, 0);
  gui_pack(vbox, hbox, 0);
  return menu;
}

}  // namespace

GdkPixbuf* penline_picture_pixbuf(int n) {
  cairo_surface_t* surface = penline_picture_render(n);
  if (!surface) return nullptr;
  GdkPixbuf* pixbuf =
      gdk_pixbuf_get_from_surface(surface, 0, 0, PENLINE_PICTURE_WIDTH, PENLINE_PICTURE_HEIGHT);
  cairo_surface_destroy(surface);
  return pixbuf;
}

void penline_menu_redraw(GtkWidget* menu) {
  if (!menu || !GTK_IS_COMBO_BOX(menu)) return;
  GtkTreeModel* model = gtk_combo_box_get_model(GTK_COMBO_BOX(menu));
  if (!model || !GTK_IS_LIST_STORE(model)) return;
  int first = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(menu), KEY_FIRST));
  GtkTreeIter it;
  int i = 0;
  for (gboolean ok = gtk_tree_model_get_iter_first(model, &it); ok && i < ITEMS;
       ok = gtk_tree_model_iter_next(model, &it), ++i) {
    GdkPixbuf* pixbuf = penline_picture_pixbuf(first + i);
    gtk_list_store_set(GTK_LIST_STORE(model), &it, 0, pixbuf, -1);
    if (pixbuf) g_object_unref(pixbuf);
  }
}

GtkWidget* penline_selector_new(int* pen, int* line_type, const char* refresh, GtkWidget** pen_menu,
                                GtkWidget** line_type_menu) {
  GtkWidget* frame = gui_frame_new(nls_translate("Pen/Line"));
  GtkWidget* vbox = gui_vbox_new();
  gui_pack(frame, vbox, 0);
  GtkWidget* pens_menu = row(vbox, picture_menu(pen, 0, refresh));
  GtkWidget* types_menu = row(vbox, picture_menu(line_type, PEN_COUNT, refresh));
  if (pen_menu) *pen_menu = pens_menu;
  if (line_type_menu) *line_type_menu = types_menu;
  return frame;
}
