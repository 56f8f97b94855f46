#include "shell/gtk/cmd_gtk.h"

#include "display/command_buffer.h"
#include "shell/cmd_buttons.h"
#include "shell/cmd_loop.h"
#include "shell/shell_platform.h"

namespace {

void set_active(void* widget, const char* key, bool on) {
  if (!widget || !GTK_IS_TOGGLE_BUTTON(widget)) return;
  gpointer data = const_cast<char*>(key);
  g_signal_handlers_block_matched(widget, G_SIGNAL_MATCH_DATA, 0, 0, nullptr, nullptr, data);
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(widget), on ? TRUE : FALSE);
  g_signal_handlers_unblock_matched(widget, G_SIGNAL_MATCH_DATA, 0, 0, nullptr, nullptr, data);
}

void on_destroy(GtkWidget* widget, gpointer) { mainwin_forget_button(widget); }

unsigned long watch(void* widget) {
  return g_signal_connect(widget, "destroy", G_CALLBACK(on_destroy), nullptr);
}

void unwatch(void* widget, unsigned long id) {
  if (id && G_IS_OBJECT(widget)) g_signal_handler_disconnect(widget, id);
}

}  // namespace

void cmd_buttons_use_gtk() {
  ShellPlatform p = shell_platform();
  p.button_set_active = set_active;
  p.button_watch = watch;
  p.button_unwatch = unwatch;
  shell_platform_install(p);
}

gulong cmd_connect(GtkWidget* widget, const char* key) {
  const char* signal = GTK_IS_TOGGLE_BUTTON(widget) ? "toggled"
                       : GTK_IS_MENU_ITEM(widget)   ? "activate"
                                                    : "clicked";
  return g_signal_connect(widget, signal, G_CALLBACK(cmd_post_key), const_cast<char*>(key));
}

gboolean mainwin_on_right_click(GtkWidget*, GdkEventButton* event, gpointer) {
  if (!event || event->type != GDK_BUTTON_PRESS || event->button != 3) return GDK_EVENT_PROPAGATE;
  cmd_put_key("p_nop");
  return GDK_EVENT_STOP;
}

gboolean mainwin_on_delete(GtkWidget*, GdkEvent*, gpointer) {
  cmd_put_key("p_file_quit");
  return TRUE;
}
