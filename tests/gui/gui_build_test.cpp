// The small window builders: what each makes and how it packs.

#include "shell/gtk/gui_build.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <string>

#include "bind_fixture.h"
#include "display/gtk/wait_gtk.h"
#include "display/wait.h"
#include "shell/cmd_buttons.h"
#include "shell/cmd_loop.h"
#include "shell/gtk/cmd_gtk.h"

namespace {

class GuiBuildTest : public BindGtkTest {};

TEST_F(GuiBuildTest, LabelsFramesAndSpacers) {
  GtkWidget* frame = add(gui_frame_new("Pen/Line"));
  EXPECT_STREQ(gtk_frame_get_label(GTK_FRAME(frame)), "Pen/Line");
  EXPECT_EQ(gtk_container_get_border_width(GTK_CONTAINER(frame)), 2u);
  EXPECT_EQ(gtk_frame_get_label(GTK_FRAME(add(gui_frame_new(nullptr)))), nullptr);

  struct Case {
    char align;
    float x;
  };
  for (Case c : {Case{0, 0.0f}, Case{1, 0.5f}, Case{2, 1.0f}}) {
    GtkWidget* l = add(gui_label_new(c.align, "Scale"));
    EXPECT_EQ(gtk_label_get_xalign(GTK_LABEL(l)), c.x);
    EXPECT_EQ(gtk_widget_get_margin_start(l), 3);
    EXPECT_EQ(gtk_widget_get_margin_end(l), 3);
  }
  // A text from a buffer (ISO-8859-1) is shown, not refused.
  EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(add(gui_label_new(7, "Ma\xDF")))), "Ma\xC3\x9F");

  gint w = 0, h = 0;
  GtkWidget* fixed = add(gui_spacer_new(1));
  gtk_widget_get_size_request(fixed, &w, &h);
  EXPECT_EQ(w, 6);
  EXPECT_EQ(h, 6);
  // Exactly 6 pixels high, not a line of text.
  gtk_widget_get_preferred_height(fixed, &h, nullptr);
  EXPECT_EQ(h, 6);
  gtk_widget_get_size_request(add(gui_spacer_new(0)), &w, &h);
  EXPECT_EQ(w, -1);
}

TEST_F(GuiBuildTest, PlainEntriesAndPictures) {
  GtkWidget* e = add(gui_entry_new("1:50"));
  EXPECT_EQ(text_of(e), "1:50");
  EXPECT_EQ(gtk_entry_get_max_length(GTK_ENTRY(e)), 80);
  EXPECT_FALSE(gtk_widget_get_can_focus(e));
  gui_focus_widget(e);
  EXPECT_TRUE(gtk_widget_get_can_focus(e));

  GtkWidget* missing = add(gui_pixmap_new("./graphics/not-there.xpm"));
  EXPECT_EQ(gtk_image_get_storage_type(GTK_IMAGE(missing)), GTK_IMAGE_EMPTY);
  EXPECT_EQ(gtk_image_get_storage_type(GTK_IMAGE(add(gui_pixmap_new(nullptr)))), GTK_IMAGE_EMPTY);
}

TEST_F(GuiBuildTest, PackingAndTables) {
  GtkWidget* hbox = add(gui_hbox_new());
  GtkWidget* a = gui_label_new(0, "a");
  GtkWidget* b = gui_label_new(0, "b");
  gui_pack(hbox, a, 0);
  gui_pack(hbox, b, 1);
  gboolean expand, fill;
  guint padding;
  GtkPackType pack;
  gtk_box_query_child_packing(GTK_BOX(hbox), b, &expand, &fill, &padding, &pack);
  EXPECT_TRUE(expand);
  EXPECT_TRUE(fill);
  EXPECT_EQ(padding, 0u);
  GList* children = gtk_container_get_children(GTK_CONTAINER(hbox));
  EXPECT_EQ(children->data, a);
  g_list_free(children);
  EXPECT_EQ(gtk_orientable_get_orientation(GTK_ORIENTABLE(add(gui_vbox_new()))), GTK_ORIENTATION_VERTICAL);

  GtkWidget* table = add(gui_table_new(2, 2));
  GtkWidget* wide = gui_label_new(0, "wide");
  gui_table_attach(table, wide, 0, 3, 1, 2, 1);
  gint left, top, width, height;
  gtk_container_child_get(GTK_CONTAINER(table), wide, "left-attach", &left, "top-attach", &top, "width",
                          &width, "height", &height, nullptr);
  EXPECT_EQ(left, 0);
  EXPECT_EQ(top, 1);
  EXPECT_EQ(width, 3) << "the table grows beyond its size";
  EXPECT_EQ(height, 1);
  EXPECT_TRUE(gtk_widget_get_hexpand(wide));

  GtkWidget* frame = add(gui_frame_new("f"));
  GtkWidget* inner = gui_vbox_new();
  gui_pack(frame, inner, 0);
  EXPECT_EQ(gtk_bin_get_child(GTK_BIN(frame)), inner);

  GtkWidget* nb = add(gtk_notebook_new());
  gtk_notebook_append_page(GTK_NOTEBOOK(nb), gui_vbox_new(), nullptr);
  gtk_notebook_append_page(GTK_NOTEBOOK(nb), gui_vbox_new(), nullptr);
  GtkWidget* tab = gui_label_new(1, "Line");
  gui_notebook_move_page(nb, 1, tab);
  EXPECT_EQ(gtk_notebook_get_tab_label(GTK_NOTEBOOK(nb), gtk_notebook_get_nth_page(GTK_NOTEBOOK(nb), 1)),
            tab);

  gui_set_insensitive(a);
  EXPECT_FALSE(gtk_widget_get_sensitive(a));
  gui_set_sensitive(a);
  EXPECT_TRUE(gtk_widget_get_sensitive(a));
  gui_set_sensitive(nullptr);
  gui_set_insensitive(nullptr);
}

TEST_F(GuiBuildTest, CommandButtonsPostTheirKeys) {
  WaitBackend* previous = wait_set_backend(wait_gtk_backend());
  cmd_install_shell_hooks();
  cmd_buttons_use_gtk();
  active_b_button = CmdButtonSlot{};

  GtkWidget* tool = add(gui_command_button_new(1, "b_line_line", "Line"));
  GtkWidget* push = add(gui_command_button_new(0, "p_file_save", "Save"));
  GtkWidget* picture = add(gui_command_button_new(3, "z_anything", "./graphics/not-there.xpm"));
  GtkWidget* bare = add(gui_command_button_new(4, "z_d_textsize", ""));
  EXPECT_TRUE(GTK_IS_TOGGLE_BUTTON(tool));
  EXPECT_FALSE(GTK_IS_TOGGLE_BUTTON(push));
  EXPECT_FALSE(gtk_widget_get_can_focus(tool));
  EXPECT_FALSE(gtk_widget_get_can_focus(push));
  EXPECT_TRUE(GTK_IS_LABEL(gtk_bin_get_child(GTK_BIN(tool))));
  EXPECT_EQ(gtk_label_get_xalign(GTK_LABEL(gtk_bin_get_child(GTK_BIN(tool)))), 0.5f);
  EXPECT_TRUE(GTK_IS_IMAGE(gtk_bin_get_child(GTK_BIN(picture))));
  EXPECT_EQ(gtk_bin_get_child(GTK_BIN(bare)), nullptr);

  gtk_button_clicked(GTK_BUTTON(tool));
  EXPECT_STREQ(command_key.c_str(), "b_line_line");
  EXPECT_EQ(active_b_button.widget, tool);
  gtk_button_clicked(GTK_BUTTON(push));
  EXPECT_STREQ(command_key.c_str(), "p_file_save");
  EXPECT_EQ(active_b_button.widget, nullptr) << "a program command releases the tool";

  GdkEvent* ev = gdk_event_new(GDK_BUTTON_PRESS);
  ev->button.button = 3;
  ev->button.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(push)));
  gtk_widget_event(push, ev);
  gdk_event_free(ev);
  EXPECT_STREQ(command_key.c_str(), "p_nop");

  cmd_button_ops_install(CmdButtonOps{});
  active_b_button = CmdButtonSlot{};
  wait_set_backend(previous);
}

}  // namespace
