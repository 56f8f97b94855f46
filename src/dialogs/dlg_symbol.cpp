// The symbol browser. The folder list holds every folder of the library in
// scan order and the file list the symbol files of the current folder; a
// row's position in its list says which folder or file it is, so a name
// that the interface shows differently (or twice) still finds its entry.

#include "dialogs/dlg_symbol.h"

#include "dialogs/dlg_small.h"
#include "dialogs/symbol_scan.h"
#include "display/gtk/view_gtk.h"
#include "display/preview.h"
#include "model/files/symbol_file.h"
#include "model/nls.h"
#include "model/settings.h"
#include "shell/dlg_table.h"
#include "shell/gtk/bind.h"
#include "shell/gtk/gui_build.h"
#include "shell/latin1.h"
#include "shell/shell_platform.h"
#include "tools/edit_tools.h"

double symbol_angle_slider = 0.0;

namespace {

struct Lists {
  std::vector<std::string> folders;
  int folder = -1;
  std::vector<std::string> files;
  int file = -1;
};

Lists lists;
DlgSymbolWidgets widgets;
// Set while the program fills or selects rows, so that the selection
// handlers leave the choice alone.
bool filling = false;

void on_destroy(GtkWidget*, gpointer) { widgets = DlgSymbolWidgets{}; }

GtkListStore* store_of(GtkWidget* view) {
  return view ? GTK_LIST_STORE(gtk_tree_view_get_model(GTK_TREE_VIEW(view))) : nullptr;
}

// The rows of a list, replaced by texts (names as the file system has them,
// UTF-8 or else Latin-1); the first one selected.
void fill_rows(GtkWidget* view, const std::vector<std::string>& texts) {
  GtkListStore* store = store_of(view);
  if (!store) return;
  filling = true;
  gtk_list_store_clear(store);
  GtkTreeIter it;
  for (const std::string& t : texts) {
    gtk_list_store_append(store, &it);
    gtk_list_store_set(store, &it, 0, gui_utf8(t.c_str()).c_str(), -1);
  }
  if (gtk_tree_model_get_iter_first(GTK_TREE_MODEL(store), &it))
    gtk_tree_selection_select_iter(gtk_tree_view_get_selection(GTK_TREE_VIEW(view)), &it);
  filling = false;
}

std::vector<std::string> rows_of(GtkWidget* view) {
  std::vector<std::string> out;
  GtkListStore* store = store_of(view);
  if (!store) return out;
  GtkTreeModel* model = GTK_TREE_MODEL(store);
  GtkTreeIter it;
  for (bool ok = gtk_tree_model_get_iter_first(model, &it); ok; ok = gtk_tree_model_iter_next(model, &it)) {
    gchar* s = nullptr;
    gtk_tree_model_get(model, &it, 0, &s, -1);
    out.emplace_back(s ? s : "");
    g_free(s);
  }
  return out;
}

// The index of the selected row; -1 for none.
int selected_row(GtkTreeSelection* selection) {
  GtkTreeModel* model = nullptr;
  GtkTreeIter it;
  if (!gtk_tree_selection_get_selected(selection, &model, &it)) return -1;
  GtkTreePath* path = gtk_tree_model_get_path(model, &it);
  const int row = path && gtk_tree_path_get_depth(path) > 0 ? gtk_tree_path_get_indices(path)[0] : -1;
  gtk_tree_path_free(path);
  return row;
}

// symbol_file from the current folder and file (empty without one, or when
// the path would not fit), then the preview.
void update_path() {
  std::string path;
  if (lists.folder >= 0 && lists.folder < static_cast<int>(lists.folders.size()) && lists.file >= 0 &&
      lists.file < static_cast<int>(lists.files.size()))
    path = symbol_join(lists.folders[lists.folder], lists.files[lists.file]);
  symbol_file = path.size() < PATH_LEN ? path : std::string();
  shell_platform().dlg_preview_draw(PREVIEW_SYMBOL);
}

// The files of the current folder, the first one current.
void list_files() {
  lists.files.clear();
  if (lists.folder >= 0 && lists.folder < static_cast<int>(lists.folders.size()))
    lists.files = symbol_scan_files(lists.folders[lists.folder]);
  lists.file = lists.files.empty() ? -1 : 0;
  fill_rows(widgets.files, lists.files);
}

void rescan_and_fill() {
  lists = Lists{};
  symbol_scan_folders(symbol_path.c_str(), lists.folders);
  lists.folder = lists.folders.empty() ? -1 : 0;
  std::vector<std::string> rows;
  const std::string root(symbol_path.c_str());
  for (const std::string& f : lists.folders) rows.push_back(symbol_folder_row(f, root));
  fill_rows(widgets.folders, rows);
  list_files();
  update_path();
}

void on_folder(GtkTreeSelection* selection, gpointer) {
  if (filling) return;
  const int row = selected_row(selection);
  if (row < 0 || row >= static_cast<int>(lists.folders.size())) return;
  lists.folder = row;
  list_files();
  update_path();
}

void on_file(GtkTreeSelection* selection, gpointer) {
  if (filling) return;
  const int row = selected_row(selection);
  if (row < 0 || row >= static_cast<int>(lists.files.size())) return;
  lists.file = row;
  update_path();
}

void on_angle(GtkAdjustment*, gpointer) {
  if (!widgets.angle) return;
  symbol_angle = symbol_slider_angle(symbol_angle_slider);
  bind_set_wentry(widgets.angle, symbol_angle);
  update_path();
}

// A scrolled one-column list without titles, one row chosen at a time.
GtkWidget* list_new(int width, int height, GtkWidget** view, GCallback on_changed) {
  GtkListStore* store = gtk_list_store_new(1, G_TYPE_STRING);
  *view = gtk_tree_view_new_with_model(GTK_TREE_MODEL(store));
  g_object_unref(store);
  gtk_tree_view_set_headers_visible(GTK_TREE_VIEW(*view), FALSE);
  GtkCellRenderer* text = gtk_cell_renderer_text_new();
  gtk_tree_view_append_column(GTK_TREE_VIEW(*view),
                              gtk_tree_view_column_new_with_attributes("", text, "text", 0, nullptr));
  GtkTreeSelection* selection = gtk_tree_view_get_selection(GTK_TREE_VIEW(*view));
  gtk_tree_selection_set_mode(selection, GTK_SELECTION_SINGLE);
  g_signal_connect(selection, "changed", on_changed, nullptr);
  GtkWidget* scrolled = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scrolled), GTK_POLICY_AUTOMATIC, GTK_POLICY_AUTOMATIC);
  gtk_widget_set_size_request(scrolled, width, height);
  gtk_container_add(GTK_CONTAINER(scrolled), *view);
  gtk_widget_show_all(scrolled);
  return scrolled;
}

GtkWidget* framed(const char* title, GtkWidget* child) {
  GtkWidget* frame = gui_frame_new(nls_translate(title));
  gtk_container_add(GTK_CONTAINER(frame), child);
  return frame;
}

}  // namespace

GtkWidget* dlg_symbol_create() {
  GtkWidget* box = nullptr;
  GtkWidget* window = dlg_small_window(nls_translate("Symbol"), &box, "z_c_symbol");
  g_signal_connect(window, "destroy", G_CALLBACK(on_destroy), nullptr);
  widgets = DlgSymbolWidgets{};

  GtkWidget* columns = gui_hbox_new();
  gtk_box_set_spacing(GTK_BOX(columns), 4);
  gui_pack(box, columns, 0);
  GtkWidget* left = gui_vbox_new();
  gui_pack(columns, left, 0);
  gui_pack(left, framed(nls_mark("List"), list_new(200, 150, &widgets.folders, G_CALLBACK(on_folder))), 0);
  gui_pack(left, framed(nls_mark("Symbol"), list_new(200, 200, &widgets.files, G_CALLBACK(on_file))), 0);

  GtkWidget* right = gui_vbox_new();
  gui_pack(columns, right, 0);
  GtkWidget* angle = gui_vbox_new();
  widgets.angle = bind_wentry_new(&symbol_angle, "symbol");
  gui_pack(angle, widgets.angle, 0);
  widgets.slider = bind_slider_new(&symbol_angle_slider, 0.0F, 360.0F, 15.0F, 0, "", G_CALLBACK(on_angle));
  gtk_scale_set_draw_value(GTK_SCALE(widgets.slider), FALSE);
  gui_pack(angle, widgets.slider, 0);
  gui_pack(right, framed(nls_mark("Angle"), angle), 0);
  GtkWidget* area = view_create(PREVIEW_SYMBOL);
  gtk_widget_set_size_request(area, 200, 200);
  gtk_widget_set_halign(area, GTK_ALIGN_CENTER);
  gui_pack(right, framed(nls_mark("Preview"), area), 0);

  GtkWidget* actions = gtk_button_box_new(GTK_ORIENTATION_HORIZONTAL);
  gtk_container_set_border_width(GTK_CONTAINER(actions), 0);
  gtk_widget_show(actions);
  widgets.close = gui_command_button_new(1, "z_c_symbol", nls_translate("Close"));
  widgets.paste = gui_command_button_new(1, "z_c_symbol_paste", nls_translate("Paste"));
  gtk_container_add(GTK_CONTAINER(actions), widgets.close);
  gtk_container_add(GTK_CONTAINER(actions), widgets.paste);
  gtk_box_pack_end(GTK_BOX(box), actions, FALSE, FALSE, 4);
  gui_focus_widget(widgets.paste);

  // In its slot already, so that the preview draws when its area gets a size.
  dlg_store(DLG_SYMBOL, window);
  rescan_and_fill();
  return window;
}

void dlg_symbol_preview() {
  if (!dlg_slots[DLG_SYMBOL]) return;
  if (symbol_file.empty())
    preview_draw_symbol(nullptr);
  else
    preview_draw_symbol(symbol_preview_load);
}

void dlg_symbol_install() {
  dlg_row_set({"z_d_symbol", DlgAct::OPEN, DLG_SYMBOL, dlg_build<dlg_symbol_create>});
  dlg_row_set({"z_c_symbol", DlgAct::HIDE, DLG_SYMBOL});
  // The placement waits for the user in a wait of its own, inside whatever
  // waited when "Paste" was pressed.
  dlg_row_set({"z_c_symbol_paste", DlgAct::HIDE, DLG_SYMBOL, nullptr, [] { symbol_load(2); }});
}

std::vector<std::string> dlg_symbol_folder_rows() { return rows_of(widgets.folders); }
std::vector<std::string> dlg_symbol_file_rows() { return rows_of(widgets.files); }
const DlgSymbolWidgets& dlg_symbol_widgets() { return widgets; }
