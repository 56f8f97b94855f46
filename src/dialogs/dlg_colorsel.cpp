#include "dialogs/dlg_colorsel.h"

#include "dialogs/dlg_small.h"
#include "display/preview.h"
#include "model/nls.h"
#include "model/presets.h"
#include "model/settings.h"
#include "shell/dlg_table.h"
#include "shell/gtk/gui_build.h"
#include "shell/shell_platform.h"

namespace {

ColorTarget target;
DlgColorselWidgets widgets;

void on_destroy(GtkWidget*, gpointer) { widgets = DlgColorselWidgets{}; }

// The colour selection: it reports every step while a colour is dragged and
// leaves the desktop's settings alone.
G_GNUC_BEGIN_IGNORE_DEPRECATIONS

void show_target() {
  if (!widgets.selection || !target.r) return;
  const GdkRGBA c{*target.r, *target.g, *target.b, 1.0};
  gtk_color_selection_set_current_rgba(GTK_COLOR_SELECTION(widgets.selection), &c);
}

void on_apply(GtkButton*, gpointer) {
  if (!widgets.selection || !target.r) return;
  GdkRGBA c;
  gtk_color_selection_get_current_rgba(GTK_COLOR_SELECTION(widgets.selection), &c);
  *target.r = c.red;
  *target.g = c.green;
  *target.b = c.blue;
  shell_platform().dlg_preview_draw(PREVIEW_PATTERN);
}

GtkWidget* selection_new() {
  GtkWidget* w = gtk_color_selection_new();
  gtk_color_selection_set_has_opacity_control(GTK_COLOR_SELECTION(w), FALSE);
  gtk_color_selection_set_has_palette(GTK_COLOR_SELECTION(w), FALSE);
  gtk_widget_show(w);
  return w;
}

G_GNUC_END_IGNORE_DEPRECATIONS

void on_close(GtkButton*, gpointer) { show_target(); }

}  // namespace

GtkWidget* dlg_colorsel_create() {
  GtkWidget* box = nullptr;
  GtkWidget* window = dlg_small_window(nls_translate("Color"), &box, "z_c_colorsel");
  g_signal_connect(window, "destroy", G_CALLBACK(on_destroy), nullptr);
  widgets = DlgColorselWidgets{};
  widgets.selection = selection_new();
  gui_pack(box, widgets.selection, 0);

  GtkWidget* actions = gtk_button_box_new(GTK_ORIENTATION_HORIZONTAL);
  gtk_container_set_border_width(GTK_CONTAINER(actions), 0);
  gtk_widget_show(actions);
  widgets.apply = gui_command_button_new(1, "z_c_colorsel", nls_translate("Apply"));
  widgets.close = gui_command_button_new(1, "z_c_colorsel", nls_translate("Close"));
  g_signal_connect(widgets.apply, "clicked", G_CALLBACK(on_apply), nullptr);
  g_signal_connect(widgets.close, "clicked", G_CALLBACK(on_close), nullptr);
  gtk_container_add(GTK_CONTAINER(actions), widgets.apply);
  gtk_container_add(GTK_CONTAINER(actions), widgets.close);
  gtk_box_pack_end(GTK_BOX(box), actions, FALSE, FALSE, 4);
  gui_focus_widget(widgets.apply);
  show_target();
  return window;
}

void dlg_colorsel_open(ColorTarget t) {
  target = t;
  if (!dlg_slots[DLG_COLORSEL]) dlg_store(DLG_COLORSEL, dlg_colorsel_create());
  show_target();
  dlg_present(dlg_slots[DLG_COLORSEL]);
}

void dlg_colorsel_install() {
  dlg_row_set({"z_d_colorsel_pattern", DlgAct::RUN, DLG_COLORSEL, nullptr, [] {
                 dlg_colorsel_open({&pattern_preset.r, &pattern_preset.g, &pattern_preset.b});
               }});
  dlg_row_set({"z_d_colorsel_povbg", DlgAct::RUN, DLG_COLORSEL, nullptr, [] {
                 Rgb& c = pov_settings.background;
                 dlg_colorsel_open({&c.r, &c.g, &c.b});
               }});
  dlg_row_set({"z_c_colorsel", DlgAct::HIDE, DLG_COLORSEL});
}

const DlgColorselWidgets& dlg_colorsel_widgets() { return widgets; }
