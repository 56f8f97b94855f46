// The pen and line-type selector under the toolkit, and a picture of a
// window holding it and a few bound widgets for a person to look at.

#include "shell/gtk/penline_selector.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bind_fixture.h"
#include "shell/gtk/gui_build.h"
#include "shell/penline_sample.h"

namespace {

using Trace = std::vector<std::string>;

class PenlineGtkTest : public BindGtkTest {
 protected:
  // The pixel (x, y) of picture row i of a menu, as 0xRRGGBB.
  static unsigned row_pixel(GtkWidget* menu, int i, int x, int y) {
    GtkTreeModel* model = gtk_combo_box_get_model(GTK_COMBO_BOX(menu));
    GtkTreeIter it;
    if (!gtk_tree_model_iter_nth_child(model, &it, nullptr, i)) return 0xDEAD;
    GdkPixbuf* p = nullptr;
    gtk_tree_model_get(model, &it, 0, &p, -1);
    if (!p) return 0xDEAD;
    const guchar* px =
        gdk_pixbuf_get_pixels(p) + y * gdk_pixbuf_get_rowstride(p) + x * gdk_pixbuf_get_n_channels(p);
    unsigned v = px[0] << 16 | px[1] << 8 | px[2];
    g_object_unref(p);
    return v;
  }
};

TEST_F(PenlineGtkTest, ChoosingAnItemStoresItAndRunsTheKey) {
  int pen = 2, type = 5;
  GtkWidget *pen_menu = nullptr, *type_menu = nullptr;
  GtkWidget* frame = add(penline_selector_new(&pen, &type, "pattern", &pen_menu, &type_menu));
  EXPECT_STREQ(gtk_frame_get_label(GTK_FRAME(frame)), "Pen/Line");
  ASSERT_NE(pen_menu, nullptr);
  ASSERT_NE(type_menu, nullptr);
  EXPECT_EQ(gtk_combo_box_get_active(GTK_COMBO_BOX(pen_menu)), 2);
  EXPECT_EQ(gtk_combo_box_get_active(GTK_COMBO_BOX(type_menu)), 5);
  EXPECT_EQ(gtk_tree_model_iter_n_children(gtk_combo_box_get_model(GTK_COMBO_BOX(pen_menu)), nullptr), 8);
  EXPECT_FALSE(gtk_widget_get_can_focus(pen_menu));
  EXPECT_EQ(taken(), Trace{});

  gtk_combo_box_set_active(GTK_COMBO_BOX(pen_menu), 3);
  EXPECT_EQ(pen, 3);
  EXPECT_EQ(taken(), (Trace{"draw 3"}));
  gtk_combo_box_set_active(GTK_COMBO_BOX(type_menu), 7);
  EXPECT_EQ(type, 7);
  EXPECT_EQ(taken(), (Trace{"draw 3"}));

  pen = 6, type = 0;
  bind_refresh_option_menu_pair(pen_menu, type_menu);
  EXPECT_EQ(gtk_combo_box_get_active(GTK_COMBO_BOX(pen_menu)), 6);
  EXPECT_EQ(gtk_combo_box_get_active(GTK_COMBO_BOX(type_menu)), 0);
  EXPECT_EQ(pen, 6);
  EXPECT_EQ(type, 0);
  EXPECT_EQ(taken(), Trace{});

  // Null menus are fine.
  GtkWidget* alone = add(penline_selector_new(&pen, &type, "", nullptr, nullptr));
  EXPECT_NE(alone, nullptr);
}

TEST_F(PenlineGtkTest, PicturesFollowThePenAndLineTypeTables) {
  int pen = 0, type = 0;
  GtkWidget *pen_menu = nullptr, *type_menu = nullptr;
  add(penline_selector_new(&pen, &type, "", &pen_menu, &type_menu));
  pens[1].r = 0.0, pens[1].g = 0.0, pens[1].b = 1.0;
  EXPECT_NE(row_pixel(pen_menu, 1, 50, 5), 0x0000FFu);
  bind_refresh_option_menu(pen_menu);
  EXPECT_EQ(row_pixel(pen_menu, 1, 50, 5), 0x0000FFu) << "a changed colour shows after a refresh";

  line_types[2].pairs = 1;
  line_types[2].dash[0] = 5;
  line_types[2].gap[0] = 2;
  line_types[2].period = 7;
  penline_menu_redraw(type_menu);
  for (int x : {0, 15, 21, 84, 99}) EXPECT_EQ(row_pixel(type_menu, 2, x, 5), 0x000000u) << x;
  for (int x : {16, 20, 79, 83}) EXPECT_EQ(row_pixel(type_menu, 2, x, 5), 0xFFFFFFu) << x;
  EXPECT_EQ(row_pixel(type_menu, 2, 0, 4), 0xFFFFFFu);
}

// Not a check of pixels: writes the picture of a test window for a person
// to look at, bind_showcase.png in the test output folder.
TEST_F(PenlineGtkTest, ShowcaseWindowRenders) {
  pens[1].r = 0.9, pens[1].g = 0.1, pens[1].b = 0.1;
  line_types[1].pairs = 1, line_types[1].dash[0] = 5, line_types[1].gap[0] = 2, line_types[1].period = 7;
  line_types[2].pairs = 2, line_types[2].dash[0] = 8, line_types[2].gap[0] = 1.5, line_types[2].dash[1] = 1;
  line_types[2].gap[1] = 1.5, line_types[2].period = 12;
  static int pen = 1, type = 2, snap = 1, mode = 1, count = 12, variant = 2;
  static double thickness = 0.3, factor = 1.5, light = 0.6;
  static FixedText<40> name("Brick wall");
  length_unit = 1;

  GtkWidget* hbox = add(gui_hbox_new());
  gui_pack(hbox, penline_selector_new(&pen, &type, "", nullptr, nullptr), 0);
  GtkWidget* table = gui_table_new(4, 2);
  gui_pack(hbox, table, 1);
  gui_table_attach(table, gui_label_new(0, "Thickness"), 0, 1, 0, 1, 0);
  gui_table_attach(table, bind_ventry_new(&thickness, ""), 1, 2, 0, 1, 0);
  gui_table_attach(table, gui_label_new(0, "Factor"), 0, 1, 1, 2, 0);
  gui_table_attach(table, bind_fentry_new(&factor, ""), 1, 2, 1, 2, 0);
  gui_table_attach(table, gui_label_new(0, "Name"), 0, 1, 2, 3, 0);
  gui_table_attach(table, bind_entry_new(name, 0, ""), 1, 2, 2, 3, 0);
  gui_table_attach(table, gui_label_new(0, "Count"), 0, 1, 3, 4, 0);
  gui_table_attach(table, bind_spin_long_new(&count, 0, 100, 1, 0, ""), 1, 2, 3, 4, 0);
  char labels[3 * 20] = "Single";
  std::strcpy(labels + 20, "Double");
  std::strcpy(labels + 40, "Sliding");
  gui_table_attach(table, bind_option_menu_new(&variant, labels, 3, "", nullptr), 0, 2, 4, 5, 0);

  GtkWidget* row = add(gui_hbox_new());
  gui_pack(row, bind_check_new("Snap", &snap, ""), 0);
  GSList* group = nullptr;
  gui_pack(row, bind_radio_new("Range", &mode, 0, &group, ""), 0);
  gui_pack(row, bind_radio_new("Element", &mode, 1, &group, ""), 0);
  gui_pack(row, bind_toggle_new(" E ", &snap, ""), 0);
  gui_pack(row, bind_slider_new(&light, 0, 1, 0.01, 2, "", nullptr), 1);

  GtkWidget* pictures = add(gtk_grid_new());
  gtk_grid_set_row_spacing(GTK_GRID(pictures), 2);
  gtk_grid_set_column_spacing(GTK_GRID(pictures), 4);
  for (int n = 0; n < PENLINE_PICTURES; ++n) {
    GdkPixbuf* p = penline_picture_pixbuf(n);
    gtk_grid_attach(GTK_GRID(pictures), gtk_image_new_from_pixbuf(p), n / 8, n % 8, 1, 1);
    g_object_unref(p);
  }
  gtk_widget_show_all(window);
  for (int i = 0; i < 20; ++i) {
    settle();
    g_usleep(5000);
  }
  GdkPixbuf* shot = gtk_offscreen_window_get_pixbuf(GTK_OFFSCREEN_WINDOW(window));
  ASSERT_NE(shot, nullptr);
  EXPECT_GT(gdk_pixbuf_get_width(shot), 200);
  std::filesystem::create_directories(KAVRO_TEST_OUTPUT_DIR);
  std::string path = std::string(KAVRO_TEST_OUTPUT_DIR) + "/bind_showcase.png";
  EXPECT_TRUE(gdk_pixbuf_save(shot, path.c_str(), "png", nullptr, nullptr)) << path;
  g_object_unref(shot);
  taken();
}

}  // namespace
