#include "dialogs/dlg_info.h"

#include <string>

#include "dialogs/dlg_small.h"
#include "display/pick.h"
#include "display/view.h"
#include "model/nls.h"
#include "shell/element_info.h"
#include "shell/gtk/gui_build.h"
#include "shell/latin1.h"
#include "shell/shell_platform.h"

namespace {

struct InfoWidgets {
  GtkWidget* labels[ELEMENT_INFO_ROWS] = {};
  GtkWidget* values[ELEMENT_INFO_ROWS] = {};
};
InfoWidgets element_widgets;
GtkWidget* count_entries[PROJECT_COUNT_ROWS] = {};

void forget_element(GtkWidget*, gpointer) { element_widgets = InfoWidgets{}; }
void forget_counts(GtkWidget*, gpointer) {
  for (GtkWidget*& w : count_entries) w = nullptr;
}

// A value that is shown, not edited.
GtkWidget* value_entry(int chars) {
  GtkWidget* e = gtk_entry_new();
  gtk_editable_set_editable(GTK_EDITABLE(e), FALSE);
  gtk_entry_set_width_chars(GTK_ENTRY(e), chars);
  gtk_widget_set_can_focus(e, FALSE);
  gtk_widget_show(e);
  return e;
}

void show_text(GtkWidget* w, const std::string& latin1) {
  if (!w) return;
  const std::string utf8 = latin1_to_utf8(latin1);
  if (GTK_IS_ENTRY(w))
    gtk_entry_set_text(GTK_ENTRY(w), utf8.c_str());
  else
    gtk_label_set_text(GTK_LABEL(w), utf8.c_str());
}

void dlg_oinfo_fill(const ElemHeader& e) {
  const ElementInfo rows = element_info_rows(e, cursor_world);
  for (int i = 0; i < ELEMENT_INFO_ROWS; ++i) {
    show_text(element_widgets.labels[i], rows[i].label);
    show_text(element_widgets.values[i], rows[i].value);
  }
}

GtkWidget* dlg_oinfo_create() {
  GtkWidget* box = nullptr;
  GtkWidget* window = dlg_small_window(nls_translate("Element information:"), &box, "z_c_oinfo");
  g_signal_connect(window, "destroy", G_CALLBACK(forget_element), nullptr);
  GtkWidget* grid = gui_table_new(ELEMENT_INFO_ROWS, 2);
  for (int i = 0; i < ELEMENT_INFO_ROWS; ++i) {
    element_widgets.labels[i] = gui_label_new(2, "");
    element_widgets.values[i] = value_entry(24);
    gui_table_attach(grid, element_widgets.labels[i], 0, 1, i, i + 1, 0);
    gui_table_attach(grid, element_widgets.values[i], 1, 2, i, i + 1, 0);
  }
  gui_pack(box, grid, 0);
  gui_pack(box, gui_spacer_new(0), 0);
  dlg_small_close(box, "z_c_oinfo");
  return window;
}

GtkWidget* dlg_info_create() {
  GtkWidget* box = nullptr;
  GtkWidget* window = dlg_small_window(nls_translate("Project information:"), &box, "z_c_info");
  g_signal_connect(window, "destroy", G_CALLBACK(forget_counts), nullptr);
  GtkWidget* grid = gui_table_new(PROJECT_COUNT_ROWS, 2);
  for (int i = 0; i < PROJECT_COUNT_ROWS; ++i) {
    count_entries[i] = value_entry(20);
    gui_table_attach(grid, gui_label_new(2, nls_translate(project_count_captions[i])), 0, 1, i, i + 1, 0);
    gui_table_attach(grid, count_entries[i], 1, 2, i, i + 1, 0);
  }
  gui_pack(box, grid, 0);
  gui_pack(box, gui_spacer_new(0), 0);
  GtkWidget* row = gui_hbox_new();
  GtkWidget* update = gui_command_button_new(1, "z_info_update", nls_translate("Update"));
  gui_pack(row, update, 1);
  gui_pack(row, gui_command_button_new(1, "z_c_info", nls_translate("Close")), 1);
  gui_pack(box, row, 0);
  gui_focus_widget(update);
  return window;
}

}  // namespace

void dlg_info_count() {
  if (!dlg_slots[DLG_INFO]) return;
  const auto counts = project_counts();
  for (int i = 0; i < PROJECT_COUNT_ROWS; ++i) show_text(count_entries[i], std::to_string(counts[i]));
}

void gui_show_element_info() {
  ElemHeader* e = pick_nearest_element(cursor_world.x, cursor_world.y, PICK_ANY_VISIBLE);
  if (!e && !dlg_slots[DLG_OINFO]) return;
  if (!dlg_slots[DLG_OINFO]) dlg_store(DLG_OINFO, dlg_oinfo_create());
  if (e) dlg_oinfo_fill(*e);
  dlg_present(dlg_slots[DLG_OINFO]);
}

void gui_show_project_info() {
  if (!dlg_slots[DLG_INFO]) dlg_store(DLG_INFO, dlg_info_create());
  dlg_info_count();
  dlg_present(dlg_slots[DLG_INFO]);
}

void dlg_info_install() {
  dlg_row_set({"z_c_oinfo", DlgAct::HIDE, DLG_OINFO});
  dlg_row_set({"z_c_info", DlgAct::HIDE, DLG_INFO});
  dlg_row_set({"z_info_update", DlgAct::RUN, DLG_INFO, nullptr, dlg_info_count});
}
