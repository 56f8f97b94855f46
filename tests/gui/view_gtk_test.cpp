// The drawing area of view 0 in the main window: what it shows, what the
// mouse posts, and what a resize does to the view and to a waiting question.

#include "display/gtk/view_gtk.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <string>

#include "display/draw.h"
#include "display/outdev.h"
#include "display/view.h"
#include "display/view_commands.h"
#include "mainwin_fixture.h"
#include "model/files/kavfile.h"
#include "model/files/load_save.h"
#include "model/geom.h"
#include "shell/cmd_dispatch.h"
#include "support/temp_folder.h"

namespace {

class ViewGtkTest : public MainwinTest {
 protected:
  void SetUp() override {
    MainwinTest::SetUp();
    view_init(0);
    area = view_widgets[0];
    ASSERT_NE(area, nullptr);
    view_reconfigure(0);
    settle();
    ASSERT_NE(view_surface(0), nullptr);
  }

  GdkEvent* button_event(GdkEventType type, guint button, double x, double y) {
    GdkEvent* ev = gdk_event_new(type);
    ev->button.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(area)));
    ev->button.button = button;
    ev->button.x = x;
    ev->button.y = y;
    return ev;
  }

  GtkWidget* area = nullptr;
};

TEST_F(ViewGtkTest, ButtonsAndTheWheelPostTheirKeys) {
  struct Case {
    GdkEventType type;
    guint button;
    const char* key;  // null: nothing posted
  };
  const Case cases[] = {
      {GDK_BUTTON_PRESS, 1, "z_mb1"},        {GDK_BUTTON_PRESS, 2, "z_space"},
      {GDK_BUTTON_PRESS, 3, "z_mb3"},        {GDK_BUTTON_PRESS, 4, "z_scrollup"},
      {GDK_BUTTON_PRESS, 5, "z_scrolldown"}, {GDK_2BUTTON_PRESS, 1, nullptr},
      {GDK_3BUTTON_PRESS, 1, nullptr},       {GDK_BUTTON_PRESS, 8, nullptr},
  };
  for (const Case& c : cases) {
    command_key = "nop";
    pointer_pixel = {};
    GdkEvent* ev = button_event(c.type, c.button, 40.7, 30.2);
    view_on_button_press(area, &ev->button, GINT_TO_POINTER(0));
    gdk_event_free(ev);
    EXPECT_STREQ(command_key.c_str(), c.key ? c.key : "nop") << c.button;
    if (!c.key) continue;
    EXPECT_EQ(pointer_pixel.x, 40.7);
    EXPECT_EQ(pointer_pixel.y, 30.2);
    // The world point of the whole pixel clicked.
    EXPECT_DOUBLE_EQ(cursor_world.x, view_sx_to_wx(40));
    EXPECT_DOUBLE_EQ(cursor_world.y, view_sy_to_wy(30));
  }

  for (auto [direction, key] :
       {std::pair{GDK_SCROLL_UP, "z_scrollup"}, std::pair{GDK_SCROLL_DOWN, "z_scrolldown"},
        std::pair{GDK_SCROLL_LEFT, "nop"}}) {
    command_key = "nop";
    GdkEvent* ev = gdk_event_new(GDK_SCROLL);
    ev->scroll.direction = direction;
    ev->scroll.x = 10;
    ev->scroll.y = 12;
    view_on_scroll(area, &ev->scroll, GINT_TO_POINTER(0));
    gdk_event_free(ev);
    EXPECT_STREQ(command_key.c_str(), key);
  }

  // The previews take no clicks.
  command_key = "nop";
  GdkEvent* ev = button_event(GDK_BUTTON_PRESS, 1, 5, 5);
  view_on_button_press(area, &ev->button, GINT_TO_POINTER(3));
  gdk_event_free(ev);
  EXPECT_STREQ(command_key.c_str(), "nop");
}

TEST_F(ViewGtkTest, ThePointerIsFollowedUntilItLeaves) {
  const std::string x_before = gtk_entry_get_text(GTK_ENTRY(mainwin_widgets.coord_x));
  GdkEvent* ev = gdk_event_new(GDK_MOTION_NOTIFY);
  ev->motion.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(area)));
  ev->motion.x = 120;
  ev->motion.y = 80;
  view_on_motion(area, &ev->motion, GINT_TO_POINTER(0));
  gdk_event_free(ev);
  EXPECT_EQ(pointer_pixel.x, 120);
  EXPECT_EQ(pointer_pixel.y, 80);
  // The coordinate fields show where the pointer is.
  EXPECT_DOUBLE_EQ(pointer_world.x, view_sx_to_wx(120));
  EXPECT_DOUBLE_EQ(pointer_world.y, view_sy_to_wy(80));
  EXPECT_NE(gtk_entry_get_text(GTK_ENTRY(mainwin_widgets.coord_x)), x_before);
  view_on_leave(area, nullptr, GINT_TO_POINTER(0));
  EXPECT_EQ(pointer_pixel.x, -1);
  EXPECT_EQ(pointer_pixel.y, -1);
}

// What is drawn into the view's store reaches the screen.
TEST_F(ViewGtkTest, TheScreenShowsTheStore) {
  cur_view = 0;
  view_clear();
  view_flush_dirty();
  view_draw_pen_line(3, PAL_PEN_0 + 3, 10, 20, 110, 20);
  view_flush_dirty();
  for (int i = 0; i < 20; ++i) {
    settle();
    g_usleep(5000);
  }
  GdkPixbuf* shot = gdk_pixbuf_get_from_window(gtk_widget_get_window(area), 0, 0, 200, 40);
  ASSERT_NE(shot, nullptr);
  auto pixel = [shot](int x, int y) {
    const guchar* p = gdk_pixbuf_get_pixels(shot) + y * gdk_pixbuf_get_rowstride(shot) +
                      x * gdk_pixbuf_get_n_channels(shot);
    return static_cast<uint32_t>(p[0] << 16 | p[1] << 8 | p[2]);
  };
  EXPECT_EQ(pixel(60, 20), view_palettes[0][PAL_PEN_0 + 3]);
  EXPECT_EQ(pixel(150, 5), view_palettes[0][PAL_BACKGROUND]);
  g_object_unref(shot);
}

TEST_F(ViewGtkTest, AResizeKeepsCentreAndScale) {
  const ViewRec before = views[0];
  const double cx = (before.xmin + before.xmax) / 2, cy = (before.ymin + before.ymax) / 2;
  gtk_window_resize(GTK_WINDOW(window), 1000, 760);
  for (int i = 0; i < 100 && views[0].right == before.right; ++i) {
    settle();
    g_usleep(5000);
  }
  const ViewRec& after = views[0];
  EXPECT_EQ(after.right, gtk_widget_get_allocated_width(area));
  EXPECT_EQ(after.bottom, gtk_widget_get_allocated_height(area));
  EXPECT_NE(after.right, before.right);
  EXPECT_DOUBLE_EQ((after.xmin + after.xmax) / 2, cx);
  EXPECT_DOUBLE_EQ((after.ymin + after.ymax) / 2, cy);
  EXPECT_DOUBLE_EQ(after.xscale, before.xscale);
  EXPECT_DOUBLE_EQ(after.yscale, before.yscale);
  cairo_surface_t* s = view_surface(0);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(cairo_image_surface_get_width(s), after.right);
}

struct QuestionWait {
  GtkWidget* window = nullptr;
  int depth_after_resize = -1;
  bool ended_by_answer = false;
};

// A resize while a question waits leaves the question waiting.
TEST_F(ViewGtkTest, AResizeDoesNotEndAWait) {
  static QuestionWait q;
  q = QuestionWait{};
  q.window = window;
  g_timeout_add(
      20,
      [](gpointer) -> gboolean {
        gtk_window_resize(GTK_WINDOW(q.window), 1000, 760);
        return G_SOURCE_REMOVE;
      },
      nullptr);
  g_timeout_add(
      600,
      [](gpointer) -> gboolean {
        q.depth_after_resize = wait_depth();
        q.ended_by_answer = true;
        wait_end();
        return G_SOURCE_REMOVE;
      },
      nullptr);
  const int right_before = views[0].right;
  gui_run_nested_loop();
  EXPECT_TRUE(q.ended_by_answer);
  EXPECT_EQ(q.depth_after_resize, 1);
  EXPECT_NE(views[0].right, right_before) << "the resize did not reach the view";
}

// A load through the menu refreshes the toolbars, the dialogs, every view
// and the plan view's toggle, and fits the view to the drawing: the drawing
// is drawn once, as it then stands, and shows as a clean redraw does.
TEST_F(ViewGtkTest, ALoadDrawsTheDrawingOnce) {
  outdev_init_screen_slots();
  static std::string path;
  TempFolder folder;
  path = (folder.path() / "plan.kav").string();
  for (int i = 0; i < 20; ++i) elem_new_line(0, 3, 0, i, 0, i + 40, 30);
  ASSERT_EQ(kavfile_write_file(path, kavfile_write_drawing, "open", "write"), 1);
  drawing_free();
  drawing_modified = 0;
  UiTable t = ui();
  t.filesel_choose = [](const char*, const char*, int, const char*) { return path; };
  ui_install(t);
  RedrawTable r = redraw();
  r.view_zoom_to_extents = [](int mode) { view_zoom_to_extents(static_cast<uint8_t>(mode)); };
  redraw_install(r);

  const uint32_t before = draw_full_count;
  cmd_dispatch_p("p_file_load");
  settle();
  EXPECT_EQ(elem_count(), 20);
  EXPECT_EQ(draw_full_count - before, 1u);
  const ViewRec& v = views[0];
  EXPECT_TRUE(v.xmin < 0 && v.xmax > 59 && v.ymin < 0 && v.ymax > 30) << "the view is not fitted";

  cairo_surface_t* s = view_surface(0);
  ASSERT_NE(s, nullptr);
  const int h = cairo_image_surface_get_height(s), stride = cairo_image_surface_get_stride(s);
  const std::string shown(reinterpret_cast<const char*>(cairo_image_surface_get_data(s)),
                          std::size_t(h) * stride);
  view_redraw();
  s = view_surface(0);
  EXPECT_TRUE(std::string(reinterpret_cast<const char*>(cairo_image_surface_get_data(s)),
                          std::size_t(h) * stride) == shown)
      << "the view after the load differs from a clean redraw";
}

}  // namespace
