#include "shell/gtk/gui_build.h"

#include <string>

#include "shell/cmd_loop.h"
#include "shell/gtk/cmd_gtk.h"
#include "shell/latin1.h"

namespace {

GtkWidget* shown(GtkWidget* w) {
  gtk_widget_show(w);
  return w;
}

void no_focus_inside(GtkWidget* child, gpointer) {
  if (GTK_IS_BUTTON(child)) {
    gtk_widget_set_can_focus(child, FALSE);
    gtk_widget_set_focus_on_click(child, FALSE);
  } else if (GTK_IS_CONTAINER(child) && !GTK_IS_ENTRY(child)) {
    gtk_container_forall(GTK_CONTAINER(child), no_focus_inside, nullptr);
  }
}

}  // namespace

GtkWidget* gui_frame_new(const char* title) {
  std::string t = gui_utf8(title);
  GtkWidget* frame = gtk_frame_new(title ? t.c_str() : nullptr);
  gtk_container_set_border_width(GTK_CONTAINER(frame), 2);
  return shown(frame);
}

GtkWidget* gui_vbox_new() { return shown(gtk_box_new(GTK_ORIENTATION_VERTICAL, 0)); }
GtkWidget* gui_hbox_new() { return shown(gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0)); }

GtkWidget* gui_table_new(int, int) { return shown(gtk_grid_new()); }

GtkWidget* gui_entry_new(const char* text) {
  GtkWidget* entry = gtk_entry_new();
  gtk_entry_set_max_length(GTK_ENTRY(entry), 80);
  gui_set_width(entry, 100);
  gtk_entry_set_text(GTK_ENTRY(entry), gui_utf8(text).c_str());
  gtk_widget_set_can_focus(entry, FALSE);
  return shown(entry);
}

GtkWidget* gui_spacer_new(char fixed) {
  // A label is as high as a line of text at least, so the fixed gap is an
  // empty box.
  if (fixed == 1) {
    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0);
    gtk_widget_set_size_request(box, 6, 6);
    return shown(box);
  }
  return shown(gtk_label_new(" "));
}

GtkWidget* gui_label_new(char align, const char* text) {
  GtkWidget* label = gtk_label_new(gui_utf8(text).c_str());
  if (align >= 0 && align <= 2) {
    gtk_label_set_xalign(GTK_LABEL(label), align * 0.5f);
    gtk_label_set_yalign(GTK_LABEL(label), 0.5f);
  }
  gtk_widget_set_margin_start(label, 3);
  gtk_widget_set_margin_end(label, 3);
  return shown(label);
}

GdkPixbuf* gui_pixbuf_load(const char* xpm_path) {
  if (!xpm_path || !*xpm_path) return nullptr;
  GError* error = nullptr;
  GdkPixbuf* pixbuf = gdk_pixbuf_new_from_file(xpm_path, &error);
  if (error) g_error_free(error);
  return pixbuf;
}

GtkWidget* gui_pixmap_new(const char* xpm_path) {
  GdkPixbuf* pixbuf = gui_pixbuf_load(xpm_path);
  if (!pixbuf) return shown(gtk_image_new());
  GtkWidget* image = gtk_image_new_from_pixbuf(pixbuf);
  g_object_unref(pixbuf);
  return shown(image);
}

GtkWidget* gui_command_button_new(char kind, const char* key, const char* text) {
  bool toggle = key && (key[0] == 'b' || key[0] == 'f');
  GtkWidget* button = toggle ? gtk_toggle_button_new() : gtk_button_new();
  if (key) cmd_connect(button, key);
  g_signal_connect(button, "button-press-event", G_CALLBACK(mainwin_on_right_click), nullptr);
  gui_no_focus(button);
  GtkWidget* child = nullptr;
  if (kind == 3)
    child = gui_pixmap_new(text);
  else if (kind != 4)
    child = gui_label_new(kind, text);
  if (child) gtk_container_add(GTK_CONTAINER(button), child);
  return shown(button);
}

void gui_pack(GtkWidget* container, GtkWidget* child, int expand) {
  if (!container || !child) return;
  if (GTK_IS_BOX(container))
    gtk_box_pack_start(GTK_BOX(container), child, expand ? TRUE : FALSE, TRUE, 0);
  else
    gtk_container_add(GTK_CONTAINER(container), child);
}

void gui_table_attach(GtkWidget* table, GtkWidget* child, int left, int right, int top, int bottom,
                      int expand) {
  if (!table || !child) return;
  int width = right > left ? right - left : 1;
  int height = bottom > top ? bottom - top : 1;
  gtk_widget_set_halign(child, GTK_ALIGN_FILL);
  gtk_widget_set_valign(child, GTK_ALIGN_FILL);
  if (expand == 1) {
    gtk_widget_set_hexpand(child, TRUE);
    gtk_widget_set_vexpand(child, TRUE);
  }
  gtk_grid_attach(GTK_GRID(table), child, left, top, width, height);
}

namespace {

constexpr const char* ESCAPE_BUTTON = "kavro-escape-button";

// The button Escape clicks; the pointer goes null when the button dies first.
struct EscapeButton {
  GtkWidget* button = nullptr;
};

void forget_escape_button(gpointer data) {
  auto* e = static_cast<EscapeButton*>(data);
  if (e->button) g_object_remove_weak_pointer(G_OBJECT(e->button), reinterpret_cast<gpointer*>(&e->button));
  delete e;
}

gboolean on_escape(GtkWidget* window, GdkEventKey* event, gpointer) {
  constexpr guint modifiers = GDK_SHIFT_MASK | GDK_CONTROL_MASK | GDK_MOD1_MASK;
  if (!event || event->keyval != GDK_KEY_Escape || (event->state & modifiers)) return FALSE;
  auto* e = static_cast<EscapeButton*>(g_object_get_data(G_OBJECT(window), ESCAPE_BUTTON));
  if (e && e->button) {
    if (gtk_widget_is_sensitive(e->button)) gtk_button_clicked(GTK_BUTTON(e->button));
  } else {
    gtk_window_close(GTK_WINDOW(window));
  }
  return TRUE;
}

}  // namespace

void gui_escape_closes(GtkWidget* window, GtkWidget* button) {
  if (!window || !GTK_IS_WINDOW(window)) return;
  if (!g_object_get_data(G_OBJECT(window), ESCAPE_BUTTON))
    g_signal_connect(window, "key-press-event", G_CALLBACK(on_escape), nullptr);
  auto* e = new EscapeButton{button && GTK_IS_BUTTON(button) ? button : nullptr};
  if (e->button) g_object_add_weak_pointer(G_OBJECT(e->button), reinterpret_cast<gpointer*>(&e->button));
  g_object_set_data_full(G_OBJECT(window), ESCAPE_BUTTON, e, forget_escape_button);
}

void gui_focus_widget(GtkWidget* widget) {
  if (!widget) return;
  gtk_widget_set_can_focus(widget, TRUE);
  gtk_widget_grab_focus(widget);
}

void gui_set_sensitive(GtkWidget* widget) {
  if (widget) gtk_widget_set_sensitive(widget, TRUE);
}

void gui_set_insensitive(GtkWidget* widget) {
  if (widget) gtk_widget_set_sensitive(widget, FALSE);
}

void gui_notebook_move_page(GtkWidget* notebook, int index, GtkWidget* tab_label) {
  if (!notebook || !GTK_IS_NOTEBOOK(notebook)) return;
  GtkWidget* page = gtk_notebook_get_nth_page(GTK_NOTEBOOK(notebook), index);
  if (page) gtk_notebook_set_tab_label(GTK_NOTEBOOK(notebook), page, tab_label);
}

void gui_no_focus(GtkWidget* widget) {
  if (!widget) return;
  gtk_widget_set_can_focus(widget, FALSE);
  gtk_widget_set_focus_on_click(widget, FALSE);
  if (GTK_IS_CONTAINER(widget)) gtk_container_forall(GTK_CONTAINER(widget), no_focus_inside, nullptr);
}

void gui_set_width(GtkWidget* widget, int width) {
  if (!widget) return;
  if (GTK_IS_ENTRY(widget)) gtk_entry_set_width_chars(GTK_ENTRY(widget), 1);
  gtk_widget_set_size_request(widget, width, -1);
}
