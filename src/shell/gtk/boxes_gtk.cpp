// The windows that outlive the call showing them: the progress window, the
// separate text editor, the gauge box and the about box.

#include <gtk/gtk.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "model/nls.h"
#include "shell/dlg_boxes.h"
#include "shell/dlg_table.h"
#include "shell/gtk/box_wait.h"
#include "shell/gtk/cmd_gtk.h"
#include "shell/gtk/gui_build.h"
#include "shell/text_utf8.h"

namespace {

GtkWidget* command_button(const char* label, const char* key) {
  GtkWidget* b = gtk_button_new_with_label(gui_to_utf8(label).c_str());
  cmd_connect(b, key);
  return b;
}

GtkWidget* window_new(const char* title, int border, bool resizable) {
  GtkWidget* w = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  box_place(w, title, border);
  gtk_window_set_resizable(GTK_WINDOW(w), resizable ? TRUE : FALSE);
  return w;
}

GtkProgressBar* progress_bar() {
  auto w = static_cast<GtkWidget*>(dlg_slots[DLG_PROGRESS]);
  if (!w) return nullptr;
  return GTK_PROGRESS_BAR(g_object_get_data(G_OBJECT(w), "kavro-bar"));
}

GtkWidget* progress_part(const char* name) {
  auto w = static_cast<GtkWidget*>(dlg_slots[DLG_PROGRESS]);
  return w ? static_cast<GtkWidget*>(g_object_get_data(G_OBJECT(w), name)) : nullptr;
}

// Pressed Cancel, until the window closes.
bool progress_cancel_pressed = false;

void progress_on_button(GtkWidget*, gpointer) {
  // After the end the button closes the window; before it, it cancels.
  if (g_object_get_data(G_OBJECT(dlg_slots[DLG_PROGRESS]), "kavro-done")) {
    dlg_destroy(DLG_PROGRESS);
    return;
  }
  progress_cancel_pressed = true;
  if (GtkWidget* b = progress_part("kavro-button")) gtk_widget_set_sensitive(b, FALSE);
}

// Closing the window from its title bar does what its button does: before
// the end it cancels (the window stays until the work has stopped), after
// it it closes.
gboolean progress_on_delete(GtkWidget*, GdkEvent*, gpointer) {
  if (GtkWidget* b = progress_part("kavro-button"); b && gtk_widget_get_sensitive(b))
    progress_on_button(b, nullptr);
  return TRUE;
}

GtkWidget* dlg_progress_create(const char* title, bool cancel) {
  progress_cancel_pressed = false;
  GtkWidget* w = window_new(title, 10, false);
  GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 6);
  GtkWidget* bar = gtk_progress_bar_new();
  gtk_widget_set_size_request(bar, 250, -1);
  gtk_box_pack_start(GTK_BOX(box), bar, FALSE, FALSE, 0);
  GtkWidget* line = gtk_label_new("");
  gtk_label_set_line_wrap(GTK_LABEL(line), TRUE);
  gtk_box_pack_start(GTK_BOX(box), line, FALSE, FALSE, 0);
  g_object_set_data(G_OBJECT(w), "kavro-bar", bar);
  g_object_set_data(G_OBJECT(w), "kavro-line", line);
  if (cancel) {
    GtkWidget* button = gtk_button_new_with_label(gui_to_utf8(nls_translate("Cancel")).c_str());
    g_signal_connect(button, "clicked", G_CALLBACK(progress_on_button), nullptr);
    gtk_box_pack_start(GTK_BOX(box), button, FALSE, FALSE, 0);
    g_object_set_data(G_OBJECT(w), "kavro-button", button);
    g_signal_connect(w, "delete-event", G_CALLBACK(progress_on_delete), nullptr);
    // While the work runs only this window takes input: the work lets the
    // loop run for its Cancel and for redraws, not for other commands.
    gtk_window_set_modal(GTK_WINDOW(w), TRUE);
  }
  gtk_container_add(GTK_CONTAINER(w), box);
  gtk_widget_show_all(box);
  gtk_widget_hide(line);
  return w;
}

// Draws the bar at once: the caller is busy and does not return to the main
// loop. A window with Cancel also lets the loop handle what is pending (its
// modal grab keeps keys and clicks away from every other window); without
// Cancel, pumping the loop here would run posted keys and timers in the
// middle of its work.
void dlg_progress_set(float fraction) {
  GtkProgressBar* bar = progress_bar();
  if (!bar) return;
  if (!(fraction >= 0.0f)) fraction = 0.0f;
  if (fraction > 1.0f) fraction = 1.0f;
  gtk_progress_bar_set_fraction(bar, fraction);
  if (progress_part("kavro-button")) {
    for (int i = 0; i < 100 && gtk_events_pending(); ++i) gtk_main_iteration_do(FALSE);
    if (!dlg_slots[DLG_PROGRESS]) return;
  }
  GdkWindow* win = gtk_widget_get_window(static_cast<GtkWidget*>(dlg_slots[DLG_PROGRESS]));
  if (!win) return;
  G_GNUC_BEGIN_IGNORE_DEPRECATIONS
  gdk_window_process_updates(win, TRUE);
  G_GNUC_END_IGNORE_DEPRECATIONS
  gdk_display_flush(gdk_window_get_display(win));
}

GtkTextView* text_view() {
  auto w = static_cast<GtkWidget*>(dlg_slots[DLG_TEXTEDIT]);
  if (!w) return nullptr;
  return GTK_TEXT_VIEW(g_object_get_data(G_OBJECT(w), "kavro-text"));
}

// Runs before Apply posts its key: a text the drawing cannot hold is
// refused with a message and stays in the editor to be corrected.
void textedit_on_apply(GtkWidget* button, gpointer) {
  GtkTextView* view = text_view();
  if (!view) return;
  GtkTextBuffer* buffer = gtk_text_view_get_buffer(view);
  GtkTextIter start, end;
  gtk_text_buffer_get_bounds(buffer, &start, &end);
  gchar* utf8 = gtk_text_buffer_get_text(buffer, &start, &end, FALSE);
  const bool fits = gui_accept_latin1(utf8);
  g_free(utf8);
  if (!fits) g_signal_stop_emission_by_name(button, "clicked");
}

GtkWidget* dlg_textedit_create(const char* text) {
  GtkWidget* w = window_new("Edit Text:", 5, true);
  g_signal_connect(w, "delete-event", G_CALLBACK(box_hide_on_delete), nullptr);
  GtkWidget* vbox = gtk_box_new(GTK_ORIENTATION_VERTICAL, 5);
  gtk_container_add(GTK_CONTAINER(w), vbox);
  GtkWidget* scroll = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroll), GTK_POLICY_AUTOMATIC, GTK_POLICY_ALWAYS);
  gtk_widget_set_size_request(scroll, 350, 250);
  GtkWidget* view = gtk_text_view_new();
  gtk_text_buffer_set_text(gtk_text_view_get_buffer(GTK_TEXT_VIEW(view)), gui_to_utf8(text).c_str(), -1);
  gtk_container_add(GTK_CONTAINER(scroll), view);
  gtk_box_pack_start(GTK_BOX(vbox), scroll, TRUE, TRUE, 0);
  g_object_set_data(G_OBJECT(w), "kavro-text", view);
  GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 5);
  gtk_box_set_homogeneous(GTK_BOX(row), TRUE);
  GtkWidget* cancel = command_button(nls_translate("Cancel"), "z_c_textedit_cancel");
  gtk_box_pack_start(GTK_BOX(row), cancel, TRUE, TRUE, 0);
  gui_escape_closes(w, cancel);
  GtkWidget* apply = gtk_button_new_with_label(gui_to_utf8(nls_translate("Apply")).c_str());
  g_signal_connect(apply, "clicked", G_CALLBACK(textedit_on_apply), nullptr);
  cmd_connect(apply, "z_c_textedit_apply");
  gtk_box_pack_start(GTK_BOX(row), apply, TRUE, TRUE, 0);
  gtk_box_pack_start(GTK_BOX(vbox), row, FALSE, FALSE, 0);
  gtk_widget_show_all(vbox);
  gtk_widget_grab_focus(view);
  return w;
}

const char* const gauge_captions[5] = {nls_mark("X-Distance"), nls_mark("Y-Distance"), nls_mark("Z-Distance"),
                                       nls_mark("Length"), nls_mark("Angle")};

void dlg_gauge_update() {
  auto w = static_cast<GtkWidget*>(dlg_slots[DLG_GAUGE]);
  if (!w) return;
  for (int i = 0; i < 5; ++i) {
    std::string key = "kavro-gauge-" + std::to_string(i);
    auto entry = static_cast<GtkWidget*>(g_object_get_data(G_OBJECT(w), key.c_str()));
    if (entry) gtk_entry_set_text(GTK_ENTRY(entry), gui_to_utf8(gauge_texts[i].c_str()).c_str());
  }
}

GtkWidget* dlg_gauge_create() {
  GtkWidget* w = window_new(nls_translate("Gauge"), 10, false);
  g_signal_connect(w, "delete-event", G_CALLBACK(box_hide_on_delete), nullptr);
  GtkWidget* vbox = gtk_box_new(GTK_ORIENTATION_VERTICAL, 10);
  gtk_container_add(GTK_CONTAINER(w), vbox);
  GtkWidget* grid = gtk_grid_new();
  gtk_grid_set_column_spacing(GTK_GRID(grid), 5);
  gtk_grid_set_row_spacing(GTK_GRID(grid), 2);
  for (int i = 0; i < 5; ++i) {
    GtkWidget* entry = gtk_entry_new();
    gtk_entry_set_max_length(GTK_ENTRY(entry), 80);
    gtk_editable_set_editable(GTK_EDITABLE(entry), FALSE);
    gtk_grid_attach(GTK_GRID(grid), entry, 0, i, 1, 1);
    GtkWidget* caption = gtk_label_new(gui_to_utf8(nls_translate(gauge_captions[i])).c_str());
    gtk_label_set_xalign(GTK_LABEL(caption), 0.0f);
    gtk_grid_attach(GTK_GRID(grid), caption, 1, i, 1, 1);
    std::string key = "kavro-gauge-" + std::to_string(i);
    g_object_set_data(G_OBJECT(w), key.c_str(), entry);
  }
  gtk_box_pack_start(GTK_BOX(vbox), grid, TRUE, TRUE, 0);
  GtkWidget* close = command_button(nls_translate("Close"), "z_c_gauge");
  gtk_box_pack_start(GTK_BOX(vbox), close, FALSE, FALSE, 0);
  gui_escape_closes(w, close);
  gtk_widget_show_all(vbox);
  gtk_widget_grab_focus(close);
  return w;
}

// The version the installation names in "kavro.version", or "".
std::string installed_version() {
  std::ifstream in("kavro.version");
  std::string line;
  std::getline(in, line);
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
  return line;
}

GtkWidget* dlg_about_create() {
  std::string version = installed_version();
  std::string title = version.empty() ? "KAVRO" : "KAVRO " + version;
  GtkWidget* w = window_new(title.c_str(), 10, false);
  g_signal_connect(w, "delete-event", G_CALLBACK(box_hide_on_delete), nullptr);
  GtkWidget* vbox = gtk_box_new(GTK_ORIENTATION_VERTICAL, 10);
  gtk_container_add(GTK_CONTAINER(w), vbox);
  std::error_code ec;
  if (std::filesystem::is_regular_file("graphics/logo.xpm", ec))
    gtk_box_pack_start(GTK_BOX(vbox), gtk_image_new_from_file("graphics/logo.xpm"), TRUE, TRUE, 0);
  GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 5);
  gtk_box_set_homogeneous(GTK_BOX(row), TRUE);
  GtkWidget* close = command_button(nls_translate("Close"), "z_c_about");
  gtk_box_pack_start(GTK_BOX(row), command_button(nls_translate("Readme"), "z_help_readme"), TRUE, TRUE, 0);
  gtk_box_pack_start(GTK_BOX(row), command_button(nls_translate("Change Font"), "z_d_font"), TRUE, TRUE, 0);
  gtk_box_pack_start(GTK_BOX(row), close, TRUE, TRUE, 0);
  gtk_box_pack_start(GTK_BOX(vbox), row, FALSE, FALSE, 0);
  gui_escape_closes(w, close);
  gtk_widget_show_all(vbox);
  gtk_widget_grab_focus(close);
  return w;
}

}  // namespace

void gui_progress_open(const char* title) {
  dlg_destroy(DLG_PROGRESS);
  dlg_store(DLG_PROGRESS, dlg_progress_create(title ? title : "", false));
  dlg_present(dlg_slots[DLG_PROGRESS]);
}

void gui_progress_open_cancel(const char* title) {
  dlg_destroy(DLG_PROGRESS);
  dlg_store(DLG_PROGRESS, dlg_progress_create(title ? title : "", true));
  dlg_present(dlg_slots[DLG_PROGRESS]);
}

void gui_progress_update(float fraction) { dlg_progress_set(fraction); }

bool gui_progress_cancelled() { return dlg_slots[DLG_PROGRESS] && progress_cancel_pressed; }

void gui_progress_close() { dlg_destroy(DLG_PROGRESS); }

void gui_progress_finish(const char* last_line) {
  GtkWidget* line = progress_part("kavro-line");
  if (!line || !last_line || !*last_line) {
    dlg_destroy(DLG_PROGRESS);
    return;
  }
  auto w = static_cast<GtkWidget*>(dlg_slots[DLG_PROGRESS]);
  gtk_label_set_text(GTK_LABEL(line), gui_to_utf8(last_line).c_str());
  gtk_widget_show(line);
  gtk_window_set_modal(GTK_WINDOW(w), FALSE);
  g_object_set_data(G_OBJECT(w), "kavro-done", GINT_TO_POINTER(1));
  GtkWidget* button = progress_part("kavro-button");
  if (!button) {
    button = gtk_button_new();
    g_signal_connect(button, "clicked", G_CALLBACK(progress_on_button), nullptr);
    gtk_box_pack_start(GTK_BOX(gtk_widget_get_parent(line)), button, FALSE, FALSE, 0);
    g_object_set_data(G_OBJECT(w), "kavro-button", button);
  }
  gtk_button_set_label(GTK_BUTTON(button), gui_to_utf8(nls_translate("Close")).c_str());
  gtk_widget_set_sensitive(button, TRUE);
  gtk_widget_show(button);
}

void gui_text_editor_show(const char* text) {
  if (!dlg_slots[DLG_TEXTEDIT]) dlg_store(DLG_TEXTEDIT, dlg_textedit_create(text ? text : ""));
  dlg_present(dlg_slots[DLG_TEXTEDIT]);
  if (GtkTextView* view = text_view()) {
    GtkTextBuffer* buffer = gtk_text_view_get_buffer(view);
    GtkTextIter end;
    gtk_text_buffer_get_end_iter(buffer, &end);
    gtk_text_buffer_place_cursor(buffer, &end);
  }
}

std::string gui_text_editor_get() {
  GtkTextView* view = text_view();
  if (!view) return "";
  GtkTextBuffer* buffer = gtk_text_view_get_buffer(view);
  GtkTextIter start, end;
  gtk_text_buffer_get_bounds(buffer, &start, &end);
  gchar* utf8 = gtk_text_buffer_get_text(buffer, &start, &end, FALSE);
  std::string text = gui_from_utf8(utf8, std::strlen(utf8));
  g_free(utf8);
  return text;
}

void gui_text_editor_close() { dlg_destroy(DLG_TEXTEDIT); }

void gui_show_gauge(double dx, double dy, double dz, double length, double angle) {
  gauge_format(dx, dy, dz, length, angle);
  if (!dlg_slots[DLG_GAUGE]) dlg_store(DLG_GAUGE, dlg_gauge_create());
  dlg_gauge_update();
  dlg_present(dlg_slots[DLG_GAUGE]);
}

void gui_show_about() {
  if (!dlg_slots[DLG_ABOUT]) dlg_store(DLG_ABOUT, dlg_about_create());
  dlg_present(dlg_slots[DLG_ABOUT]);
  // An error said while starting (a drawing that cannot be opened) stays
  // above the start box, where it is seen.
  if (auto* error = static_cast<GtkWidget*>(dlg_slots[DLG_ERROR]); error && gtk_widget_get_visible(error))
    dlg_present(error);
}
