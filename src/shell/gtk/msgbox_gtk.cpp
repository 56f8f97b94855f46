// The error, message and question boxes, the dialog table's toolkit side,
// and the installation of every box into the ui table.

#include <gtk/gtk.h>

#include <algorithm>
#include <string>

#include "model/nls.h"
#include "model/ui.h"
#include "shell/dlg_boxes.h"
#include "shell/dlg_table.h"
#include "shell/gtk/box_wait.h"
#include "shell/gtk/cmd_gtk.h"
#include "shell/gtk/gui_build.h"
#include "shell/shell_platform.h"
#include "shell/text_utf8.h"

unsigned char msgbox_answer = 0;

namespace {

void present(void* w) {
  if (!GTK_IS_WIDGET(w)) return;
  if (GTK_IS_WINDOW(w))
    gtk_window_present(GTK_WINDOW(w));
  else
    gtk_widget_show(GTK_WIDGET(w));
}

void hide(void* w) {
  if (GTK_IS_WIDGET(w)) gtk_widget_hide(GTK_WIDGET(w));
}

void destroy(void* w) {
  if (GTK_IS_WIDGET(w)) gtk_widget_destroy(GTK_WIDGET(w));
}

void on_slot_widget_destroy(GtkWidget* widget, gpointer data) {
  auto slot = static_cast<void**>(data);
  if (*slot == widget) *slot = nullptr;
}

void watch(void* w, void** slot) {
  if (GTK_IS_WIDGET(w)) g_signal_connect(w, "destroy", G_CALLBACK(on_slot_widget_destroy), slot);
}

// The box's "Close" and other command buttons: they post their key and never
// take the focus unless the box gives it to them.
GtkWidget* command_button(const char* label, const char* key) {
  GtkWidget* b = gtk_button_new_with_label(label);
  cmd_connect(b, key);
  return b;
}

// The error and message window: the text, a spacer and "Close" with the focus.
GtkWidget* dlg_error_create(const char* title, const char* text) {
  GtkWidget* w = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  box_place(w, title, 10);
  gtk_window_set_resizable(GTK_WINDOW(w), FALSE);
  g_signal_connect(w, "delete-event", G_CALLBACK(box_hide_on_delete), nullptr);
  GtkWidget* vbox = gtk_box_new(GTK_ORIENTATION_VERTICAL, 10);
  gtk_container_add(GTK_CONTAINER(w), vbox);
  gtk_box_pack_start(GTK_BOX(vbox), box_label(text), TRUE, TRUE, 0);
  GtkWidget* close = command_button(nls_translate("Close"), "z_c_error");
  gtk_box_pack_start(GTK_BOX(vbox), close, FALSE, FALSE, 0);
  gui_escape_closes(w, close);
  gtk_widget_show_all(vbox);
  gtk_widget_grab_focus(close);
  return w;
}

struct AskButton {
  BoxWait* box;
  int answer;
};

void dlg_ask_on_button(GtkButton*, gpointer data) {
  auto* b = static_cast<AskButton*>(data);
  if (b->box->done) return;
  b->box->answer = b->answer;
  box_finish(*b->box);
}

gboolean on_ask_delete(GtkWidget*, GdkEvent*, gpointer data) {
  box_finish(*static_cast<BoxWait*>(data));
  return TRUE;  // the box is destroyed when its wait is over
}

// The question box: the message, a spacer and count buttons in one row.
GtkWidget* dlg_ask_create(BoxWait& box, AskButton* buttons, const char* message, int count,
                          const char* const* labels) {
  GtkWidget* w = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  box_place(w, nls_translate("Option request"), 10);
  gtk_window_set_resizable(GTK_WINDOW(w), FALSE);
  g_signal_connect(w, "delete-event", G_CALLBACK(on_ask_delete), &box);
  gui_escape_closes(w, nullptr);
  GtkWidget* vbox = gtk_box_new(GTK_ORIENTATION_VERTICAL, 10);
  gtk_container_add(GTK_CONTAINER(w), vbox);
  gtk_box_pack_start(GTK_BOX(vbox), box_label(message), TRUE, TRUE, 0);
  GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 5);
  gtk_box_set_homogeneous(GTK_BOX(row), TRUE);
  gtk_box_pack_start(GTK_BOX(vbox), row, FALSE, FALSE, 0);
  GtkWidget* first = nullptr;
  for (int i = 0; i < count; ++i) {
    buttons[i] = {&box, i + 1};
    const char* label = labels && labels[i] ? labels[i] : "";
    GtkWidget* b = gtk_button_new_with_label(gui_to_utf8(label).c_str());
    g_signal_connect(b, "clicked", G_CALLBACK(dlg_ask_on_button), &buttons[i]);
    gtk_box_pack_start(GTK_BOX(row), b, TRUE, TRUE, 5);
    if (!first) first = b;
  }
  gtk_widget_show_all(vbox);
  if (first) gtk_widget_grab_focus(first);
  return w;
}

void show_box(const char* title, const char* text) {
  dlg_destroy(DLG_ERROR);
  dlg_store(DLG_ERROR, dlg_error_create(title, text));
  dlg_present(dlg_slots[DLG_ERROR]);
}

int ui_ask(const char* message, int count, const char* const* labels) {
  return msgbox_ask(message, count, labels);
}

std::string ui_choose(const char* title, const char* start, int mode, const char* path_folder) {
  return filesel_choose(title, start, mode, path_folder);
}

void ui_progress_update(double fraction) { gui_progress_update(static_cast<float>(fraction)); }

gboolean on_poll(gpointer done) {
  return reinterpret_cast<bool (*)()>(done)() ? G_SOURCE_REMOVE : G_SOURCE_CONTINUE;
}

void poll_until(bool (*done)()) { g_timeout_add(250, on_poll, reinterpret_cast<gpointer>(done)); }

}  // namespace

void dlg_use_gtk() {
  ShellPlatform p = shell_platform();
  p.poll_until = poll_until;
  p.dlg_present = present;
  p.dlg_hide = hide;
  p.dlg_destroy = destroy;
  p.dlg_watch = watch;
  shell_platform_install(p);
}

void msgbox_error(const char* text) { show_box(nls_translate("Error"), text ? text : ""); }

void msgbox_message(const char* title, const char* text) {
  show_box(title ? title : nls_translate("Message"), text ? text : "");
}

int msgbox_ask(const char* message, int count, const char* const* labels) {
  count = std::clamp(count, 1, 5);
  msgbox_answer = 0;
  BoxWait box(DLG_ASK);
  AskButton buttons[5];
  box_run(box, dlg_ask_create(box, buttons, message ? message : "", count, labels));
  // Closing the box, its destruction or a key for someone else answer 0.
  msgbox_answer = static_cast<unsigned char>(box.answer);
  return box.answer;
}

void dlg_install_ui() {
  dlg_use_gtk();
  UiTable t = ui();
  t.msgbox_error = msgbox_error;
  t.msgbox_message = msgbox_message;
  t.msgbox_ask = ui_ask;
  t.filesel_choose = ui_choose;
  t.gui_progress_open = gui_progress_open;
  t.gui_progress_update = ui_progress_update;
  t.gui_progress_close = gui_progress_close;
  t.gui_progress_open_cancel = gui_progress_open_cancel;
  t.gui_progress_cancelled = gui_progress_cancelled;
  t.gui_progress_finish = gui_progress_finish;
  t.gui_text_editor_show = gui_text_editor_show;
  t.gui_text_editor_get = gui_text_editor_get;
  t.gui_text_editor_close = gui_text_editor_close;
  t.gui_show_gauge = gui_show_gauge;
  t.gui_show_about = gui_show_about;
  t.poll_until = poll_until;
  ui_install(t);
}
