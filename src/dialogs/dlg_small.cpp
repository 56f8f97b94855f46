#include "dialogs/dlg_small.h"

#include <cstring>

#include "model/layers.h"
#include "model/nls.h"
#include "shell/gtk/bind.h"
#include "shell/gtk/gui_build.h"
#include "shell/latin1.h"
#include "shell/shell_platform.h"

namespace {

gboolean on_delete(GtkWidget*, GdkEvent*, gpointer key) {
  cmd_dispatch_dialog(static_cast<const char*>(key));
  return TRUE;
}

}  // namespace

GtkWidget* dlg_small_window(const char* title, GtkWidget** box, const char* close_key) {
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(window), gui_utf8(title).c_str());
  gtk_window_set_resizable(GTK_WINDOW(window), FALSE);
  gtk_container_set_border_width(GTK_CONTAINER(window), 10);
  if (close_key)
    g_signal_connect(window, "delete-event", G_CALLBACK(on_delete), const_cast<char*>(close_key));
  else
    g_signal_connect(window, "delete-event", G_CALLBACK(gtk_widget_hide_on_delete), nullptr);
  gui_escape_closes(window, nullptr);
  *box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 2);
  gtk_widget_show(*box);
  gtk_container_add(GTK_CONTAINER(window), *box);
  return window;
}

GtkWidget* dlg_small_close(GtkWidget* box, const char* key) {
  GtkWidget* close = gui_command_button_new(1, key, nls_translate("Close"));
  gtk_box_pack_end(GTK_BOX(box), close, FALSE, FALSE, 4);
  gui_focus_widget(close);
  gui_escape_closes(gtk_widget_get_toplevel(box), close);
  return close;
}

GtkWidget* dlg_small_options(int* var, const std::vector<const char*>& labels, bool translate,
                             const char* refresh, GCallback extra) {
  std::vector<std::string> texts;
  for (const char* label : labels) texts.emplace_back(translate ? nls_translate(label) : label);
  return bind_option_menu_new(var, texts, refresh, extra);
}

namespace {}  // namespace

void dlg_add_kept(std::span<const DlgKeys> dialogs) {
  for (const DlgKeys& k : dialogs) {
    dlg_row_set({k.open, DlgAct::OPEN, k.slot, k.build});
    dlg_row_set({k.close, DlgAct::HIDE, k.slot});
  }
}

void dlg_add_fresh(std::span<const DlgKeys> dialogs) {
  for (const DlgKeys& k : dialogs) {
    dlg_row_set({k.open, DlgAct::REBUILD, k.slot, k.build});
    dlg_row_set({k.close, DlgAct::DESTROY, k.slot});
  }
}

void dlg_small_install() {
  // Built once, hidden on close.
  const DlgKeys kept[] = {
      {"z_d_snap", "z_c_snap", DLG_SNAP, dlg_build<dlg_snap_create>},
      {"z_d_filter", "z_c_filter", DLG_FILTER, dlg_build<dlg_filter_create>},
      {"z_d_scale", "z_c_scale", DLG_SCALE, dlg_build<dlg_scale_create>},
      {"z_d_camera", "z_c_camera", DLG_CAMERA, dlg_build<dlg_camera_create>},
      {"z_d_printscale", "z_c_printscale", DLG_PRINTSCALE, dlg_build<dlg_printscale_create>},
  };
  dlg_add_kept(kept);
  // Built afresh on each opening, destroyed on close.
  const DlgKeys fresh[] = {
      {"z_d_textsize", "z_c_textsize", DLG_TEXTSIZE, dlg_build<dlg_textsize_create>},
      {"z_d_openingsize", "z_c_openingsize", DLG_OPENINGSIZE, dlg_build<dlg_openingsize_create>},
      {"z_d_doorsize", "z_c_doorsize", DLG_DOORSIZE, dlg_build<dlg_doorsize_create>},
      {"z_d_windowsize", "z_c_windowsize", DLG_WINDOWSIZE, dlg_build<dlg_windowsize_create>},
      {"z_d_profilesize", "z_c_profilesize", DLG_PROFILESIZE, dlg_build<dlg_profilesize_create>},
  };
  dlg_add_fresh(fresh);
  // The print and plot set-up: a fresh window on each opening shows the
  // current settings, whatever the last one was left at.
  dlg_row_set({"z_d_printsetup", DlgAct::REBUILD, DLG_PRINTSETUP, dlg_build<dlg_printsetup_create>});
  dlg_row_set({"z_c_printsetup", DlgAct::DESTROY, DLG_PRINTSETUP});
  dlg_row_set({"z_d_plotsetup", DlgAct::REBUILD, DLG_PLOTSETUP, dlg_build<dlg_plotsetup_create>});
  dlg_row_set({"z_c_plotsetup", DlgAct::DESTROY, DLG_PLOTSETUP});

  dlg_row_set({"z_d_layer", DlgAct::OPEN, DLG_LAYER, dlg_build<dlg_layer_create>, [] {
                 layer_count_elements();
                 dlg_layer_refresh();
               }});
  dlg_row_set({"z_c_layer", DlgAct::HIDE, DLG_LAYER});
  dlg_row_set({"z_c_layerentry", DlgAct::DESTROY, DLG_LAYERENTRY, nullptr, [] { dlg_layer_refresh(); }});

  dlg_settings_install();

  ShellPlatform p = shell_platform();
  p.gui_layerentry_closed = gui_layerentry_closed;
  shell_platform_install(p);
}
