#include <cstring>

#include "dialogs/dialogs_install.h"
#include "dialogs/dlg_small.h"
#include "model/nls.h"
#include "model/scale_ladder.h"
#include "model/settings.h"
#include "shell/gtk/bind.h"
#include "shell/gtk/gui_build.h"

namespace {

GtkWidget* scale_entry = nullptr;

void on_step(GtkWidget*, gpointer which) { dlg_scale_on_step(static_cast<const char*>(which)); }

GtkWidget* step_button(const char* label, const char* which) {
  GtkWidget* b = gui_command_button_new(1, "z_nothing", label);
  g_signal_connect(b, "clicked", G_CALLBACK(on_step), const_cast<char*>(which));
  return b;
}

}  // namespace

void dlg_scale_on_step(const char* which) {
  drawing_scale = scale_ladder_step(drawing_scale, std::strcmp(which, "dec") == 0 ? -1 : 1);
  bind_set_fentry(scale_entry, drawing_scale);
  dlg_preview_draw(0);
}

GtkWidget* dlg_scale_create() {
  GtkWidget* box = nullptr;
  GtkWidget* window = dlg_small_window(nls_translate("Drawing Scale:"), &box, "z_c_scale");
  GtkWidget* row = gui_hbox_new();
  scale_entry = bind_fentry_new(&drawing_scale, "main");
  g_object_add_weak_pointer(G_OBJECT(scale_entry), reinterpret_cast<gpointer*>(&scale_entry));
  gui_pack(row, scale_entry, 1);
  gui_pack(row, step_button("<", "dec"), 0);
  gui_pack(row, step_button(">", "inc"), 0);
  gui_pack(box, row, 0);
  gui_pack(box, gui_spacer_new(0), 0);
  dlg_small_close(box, "z_c_scale");
  return window;
}
