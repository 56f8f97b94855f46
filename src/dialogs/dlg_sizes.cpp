#include "dialogs/dlg_small.h"
#include "model/nls.h"
#include "model/settings.h"
#include "shell/gtk/bind.h"
#include "shell/gtk/gui_build.h"
#include "shell/shell_platform.h"

namespace {

enum class Entry { SIZE, LENGTH };

// A value the user types in comes back on the tool page's size labels too.
gboolean on_stored(GtkWidget*, GdkEvent*, gpointer) {
  shell_platform().mainwin_size_labels_refresh();
  return FALSE;
}
void on_activate(GtkWidget*, gpointer) { shell_platform().mainwin_size_labels_refresh(); }

// The size dialogs exist only while shown.
GtkWidget* size_dialog(const char* title, const char* caption, Entry kind, double* var,
                       const char* close_key) {
  GtkWidget* box = nullptr;
  GtkWidget* window = dlg_small_window(nls_translate(title), &box, close_key);
  GtkWidget* frame = gui_frame_new(nls_translate(caption));
  GtkWidget* entry = kind == Entry::SIZE ? bind_mentry_new(var, nullptr) : bind_ventry_new(var, nullptr);
  g_signal_connect_after(entry, "activate", G_CALLBACK(on_activate), nullptr);
  g_signal_connect_after(entry, "focus-out-event", G_CALLBACK(on_stored), nullptr);
  gtk_container_add(GTK_CONTAINER(frame), entry);
  gui_pack(box, frame, 0);
  dlg_small_close(box, close_key);
  gtk_widget_grab_focus(entry);
  gtk_editable_select_region(GTK_EDITABLE(entry), 0, -1);
  return window;
}

}  // namespace

GtkWidget* dlg_textsize_create() {
  return size_dialog(nls_mark("Textsize"), nls_mark("Size:"), Entry::SIZE, &text_size, "z_c_textsize");
}
GtkWidget* dlg_openingsize_create() {
  return size_dialog(nls_mark("Opening width"), nls_mark("Width:"), Entry::LENGTH, &opening_width,
                     "z_c_openingsize");
}
GtkWidget* dlg_doorsize_create() {
  return size_dialog(nls_mark("Door width"), nls_mark("Width:"), Entry::LENGTH, &door_width, "z_c_doorsize");
}
GtkWidget* dlg_windowsize_create() {
  return size_dialog(nls_mark("Window width"), nls_mark("Width:"), Entry::LENGTH, &window_width,
                     "z_c_windowsize");
}
GtkWidget* dlg_profilesize_create() {
  return size_dialog(nls_mark("Profile size"), nls_mark("Size:"), Entry::LENGTH, &profile_size,
                     "z_c_profilesize");
}
