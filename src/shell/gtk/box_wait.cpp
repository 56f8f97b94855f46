#include "shell/gtk/box_wait.h"

#include <cstring>

#include "display/command_buffer.h"
#include "display/wait.h"
#include "shell/gtk/startup.h"
#include "shell/text_utf8.h"

namespace {

BoxWait* innermost[DLG_COUNT] = {};

void on_box_destroy(GtkWidget*, gpointer data) {
  auto* box = static_cast<BoxWait*>(data);
  box->window = nullptr;
  box_finish(*box);
}

}  // namespace

void box_finish(BoxWait& box) {
  if (box.done) return;
  box.done = true;
  if (box.depth > 0) wait_end_level(box.depth);
}

void box_run(BoxWait& box, GtkWidget* window) {
  box.outer = innermost[box.slot];
  innermost[box.slot] = &box;
  box.window = window;
  gulong watch = g_signal_connect(window, "destroy", G_CALLBACK(on_box_destroy), &box);
  dlg_store(box.slot, window);
  dlg_present(window);

  while (!box.done) {
    command_key = "nop";
    box.depth = wait_depth() + 1;
    gui_run_nested_loop();
    box.depth = 0;
    if (box.done) break;
    if (std::strcmp(command_key.c_str(), "nop") != 0) {
      // A key for someone else: the box counts as closed and the key is gone.
      box.done = true;
      box.dropped_key = true;
      command_key = "nop";
    }
  }

  if (box.window) {
    g_signal_handler_disconnect(box.window, watch);
    GtkWidget* w = box.window;
    box.window = nullptr;
    if (dlg_slots[box.slot] == w) dlg_slots[box.slot] = nullptr;
    gtk_widget_destroy(w);
  }
  innermost[box.slot] = box.outer;
  dlg_slots[box.slot] = box.outer ? box.outer->window : nullptr;
}

void box_place(GtkWidget* window, const char* title, int border) {
  gtk_window_set_title(GTK_WINDOW(window), gui_to_utf8(title).c_str());
  gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);
  gtk_container_set_border_width(GTK_CONTAINER(window), border);
  if (main_window && GTK_IS_WINDOW(main_window))
    gtk_window_set_transient_for(GTK_WINDOW(window), GTK_WINDOW(main_window));
}

gboolean box_hide_on_delete(GtkWidget* widget, GdkEvent*, gpointer) {
  gtk_widget_hide(widget);
  return TRUE;
}

GtkWidget* box_label(const char* text) {
  GtkWidget* label = gtk_label_new(gui_to_utf8(text).c_str());
  gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
  gtk_label_set_line_wrap(GTK_LABEL(label), TRUE);
  return label;
}
