#include "shell/gtk/keymap_gtk.h"

#include "display/key_state.h"
#include "shell/gtk/keymap.h"
#include "shell/text_utf8.h"
#include "shell/value_entry.h"

namespace {

GtkWidget* value_entry = nullptr;
GtkGrid* value_entry_grid = nullptr;

// The entry died with its window: drop the reference mainwin_value_entry_close
// would have dropped.
void on_entry_destroy(GtkWidget* widget, gpointer) {
  if (widget != value_entry) return;
  value_entry = nullptr;
  value_entry_open = 0;
  g_object_unref(widget);
}

void mainwin_on_value_entry_activate(GtkEntry* entry, gpointer) {
  // A text the drawing cannot hold stays in the entry to be corrected.
  if (!gui_accept_latin1(gtk_entry_get_text(entry))) return;
  // Bounded by bytes of the program's encoding, however many UTF-8 bytes
  // the entry holds.
  std::string text = gui_from_utf8(gtk_entry_get_text(entry), INPUT_TEXT_LEN - 1);
  mainwin_value_entry_close();
  value_entry_take(text.c_str());
}

}  // namespace

gboolean mainwin_on_key_press(GtkWidget*, GdkEventKey* event, gpointer) {
  if (!event) return FALSE;
  return keymap_press(event->keyval, event->state) ? TRUE : FALSE;
}

void mainwin_value_entry_set_grid(GtkGrid* grid) { value_entry_grid = grid; }

GtkWidget* mainwin_value_entry_widget() { return value_entry; }

void mainwin_value_entry_open(const char* text) {
  mainwin_value_entry_close();
  mainwin_value_entry_create(text);
}

void mainwin_value_entry_create(const char* text) {
  if (value_entry) mainwin_value_entry_close();
  GtkWidget* entry = gtk_entry_new();
  // One character less than input_text holds, so the terminator fits.
  gtk_entry_set_max_length(GTK_ENTRY(entry), INPUT_TEXT_LEN - 1);
  g_object_ref_sink(entry);
  if (value_entry_grid) {
    gtk_widget_set_hexpand(entry, TRUE);
    gtk_widget_set_halign(entry, GTK_ALIGN_FILL);
    gtk_widget_set_valign(entry, GTK_ALIGN_FILL);
    gtk_grid_attach(value_entry_grid, entry, 1, 1, 1, 1);
  }
  g_signal_connect(entry, "activate", G_CALLBACK(mainwin_on_value_entry_activate), nullptr);
  g_signal_connect(entry, "destroy", G_CALLBACK(on_entry_destroy), nullptr);
  gtk_widget_set_size_request(entry, 100, -1);
  gtk_widget_show(entry);
  value_entry = entry;
  value_entry_open = 1;
  gtk_entry_set_text(GTK_ENTRY(entry), gui_to_utf8(text ? text : "").c_str());
  gtk_widget_grab_focus(entry);
}

void mainwin_value_entry_close() {
  GtkWidget* entry = value_entry;
  value_entry = nullptr;
  value_entry_open = 0;
  if (!entry) return;
  gtk_widget_destroy(entry);
  g_object_unref(entry);
}
