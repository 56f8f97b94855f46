// Key presses on a real window: the mapping while a tool waits, and the
// inline value entry getting its keys. The main view is drawn off screen, so
// panning and fitting show in its world window.

#include "shell/gtk/keymap_gtk.h"

#include <gdk/gdkkeysyms.h>
#include <gtk/gtk.h>

#include <string>
#include <vector>

#include "display/command_buffer.h"
#include "display/gtk/view_gtk.h"
#include "display/key_state.h"
#include "display/outdev.h"
#include "display/view.h"
#include "display/view_commands.h"
#include "gui_steps.h"
#include "model/defaults.h"
#include "model/settings.h"
#include "model/view_rec.h"
#include "shell/cmd_loop.h"
#include "shell/value_entry.h"

namespace {

class KeymapGtkTest : public GuiBoxTest {
 protected:
  void SetUp() override {
    GuiBoxTest::SetUp();
    cmd_install_shell_hooks();
    // A main window with the view bar's grid: the prompt field in (0, 1), the
    // main view's drawing area in (0, 0) and a button that has the focus.
    window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    grid_ = gtk_grid_new();
    gtk_container_add(GTK_CONTAINER(window_), grid_);
    gtk_grid_attach(GTK_GRID(grid_), gtk_label_new("Select function:"), 0, 1, 1, 1);
    area_ = gtk_drawing_area_new();
    gtk_widget_set_can_focus(area_, TRUE);
    gtk_widget_set_size_request(area_, 60, 40);
    gtk_grid_attach(GTK_GRID(grid_), area_, 0, 0, 1, 1);
    other_ = gtk_button_new_with_label("Other");
    gtk_grid_attach(GTK_GRID(grid_), other_, 1, 0, 1, 1);
    view_widgets[0] = area_;
    g_signal_connect(window_, "key-press-event", G_CALLBACK(mainwin_on_key_press), nullptr);
    mainwin_value_entry_set_grid(GTK_GRID(grid_));
    gtk_widget_show_all(window_);
    settle();
    gtk_widget_grab_focus(other_);
    // The view's store is made here, not by the drawing area's size.
    main_init_defaults();
    outdev_init_screen_slots();
    view_free_all();
    cur_view = 0;
    view_init(0);
    ASSERT_TRUE(view_offscreen(0, 600, 400));
    cur_pen = 0;
    cur_line_type = 0;
    snap_keys_enabled = 0;
    select_idle = 1;
  }
  void TearDown() override {
    mainwin_value_entry_close();
    mainwin_value_entry_set_grid(nullptr);
    view_widgets[0] = nullptr;
    gtk_widget_destroy(window_);
    view_free_all();
    GuiBoxTest::TearDown();
  }

  // The main view's world window.
  static std::vector<double> window_of_view() {
    const ViewRec& v = views[0];
    return {v.xmin, v.ymin, v.xmax, v.ymax};
  }
  // The window moved by a quarter of its size in x and y.
  static std::vector<double> moved_by_quarter(std::vector<double> w, int dx, int dy) {
    const double sx = 0.25 * (w[2] - w[0]) * dx, sy = 0.25 * (w[3] - w[1]) * dy;
    return {w[0] + sx, w[1] + sy, w[2] + sx, w[3] + sy};
  }
  static void expect_window(const std::vector<double>& actual, const std::vector<double>& expected) {
    for (std::size_t i = 0; i < 4; ++i) EXPECT_NEAR(actual[i], expected[i], 1e-9) << "edge " << i;
  }
  static GtkWidget* focus_of(GtkWidget* window) { return gtk_window_get_focus(GTK_WINDOW(window)); }

  // A key press as the display delivers it to the main window.
  void press(guint keyval, guint state = 0) {
    GdkEvent* ev = gdk_event_new(GDK_KEY_PRESS);
    ev->key.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(window_)));
    ev->key.send_event = TRUE;
    ev->key.time = GDK_CURRENT_TIME;
    ev->key.keyval = keyval;
    ev->key.state = state;
    GdkKeymapKey* keys = nullptr;
    gint n = 0;
    if (gdk_keymap_get_entries_for_keyval(gdk_keymap_get_for_display(gdk_display_get_default()), keyval,
                                          &keys, &n) &&
        n > 0)
      ev->key.hardware_keycode = static_cast<guint16>(keys[0].keycode);
    g_free(keys);
    gdk_event_set_device(ev, gdk_seat_get_keyboard(gdk_display_get_default_seat(gdk_display_get_default())));
    gtk_main_do_event(ev);
    gdk_event_free(ev);
  }

  static std::string entry_text() {
    GtkWidget* e = mainwin_value_entry_widget();
    return e ? gtk_entry_get_text(GTK_ENTRY(e)) : "<no entry>";
  }

  GtkWidget* window_ = nullptr;
  GtkWidget* grid_ = nullptr;
  GtkWidget* area_ = nullptr;
  GtkWidget* other_ = nullptr;
};

TEST_F(KeymapGtkTest, PenKeysAndPanningActWithoutEndingTheWait) {
  // The fitted window, then the view somewhere else.
  view_zoom_to_extents(0);
  const std::vector<double> fitted = window_of_view();
  view_zoom_to_window(100, 100, 140, 130);
  ASSERT_NE(window_of_view(), fitted);

  then([] { return wait_depth() == 1; },
       [this] {
         press(GDK_KEY_F3, GDK_CONTROL_MASK | GDK_MOD2_MASK);
         press(GDK_KEY_F5, GDK_SHIFT_MASK);
         press(GDK_KEY_KP_Begin);
         press(GDK_KEY_KP_9, GDK_MOD2_MASK);
       });
  then([] { return true; }, [] { cmd_put_key("z_mb1"); });
  EXPECT_EQ(std::string(cmd_wait_key()), "z_mb1");
  EXPECT_EQ(cur_pen, 2);
  EXPECT_EQ(cur_line_type, 4);
  // Fitted, then moved by a quarter up and right.
  expect_window(window_of_view(), moved_by_quarter(fitted, 1, 1));
}

TEST_F(KeymapGtkTest, EscapeAndEnterEndTheWaitFromTheDrawingArea) {
  for (guint key : {GDK_KEY_Escape, GDK_KEY_Return}) {
    gtk_widget_grab_focus(other_);
    ASSERT_EQ(focus_of(window_), other_);
    then([] { return wait_depth() == 1; }, [this, key] { press(key); });
    EXPECT_EQ(std::string(cmd_wait_key()), key == GDK_KEY_Escape ? "p_nop" : "z_enter");
    EXPECT_EQ(focus_of(window_), area_) << "the drawing area did not take the focus";
  }
}

TEST_F(KeymapGtkTest, TypedKeysReachTheOpenEntryAndEnterPostsTheValue) {
  const std::vector<double> before = window_of_view();
  mainwin_value_entry_open("");
  ASSERT_EQ(value_entry_open, 1);
  EXPECT_EQ(gtk_window_get_focus(GTK_WINDOW(window_)), mainwin_value_entry_widget());
  then([] { return wait_depth() == 1; },
       [this] {
         press(GDK_KEY_5);
         press(GDK_KEY_KP_5, GDK_MOD2_MASK);
         press(GDK_KEY_d);
         EXPECT_EQ(entry_text(), "55d");
         press(GDK_KEY_BackSpace);
         press(GDK_KEY_Return);
       });
  EXPECT_EQ(std::string(cmd_wait_key()), "z_eini");
  EXPECT_STREQ(input_text.c_str(), "55");
  EXPECT_EQ(value_entry_open, 0);
  EXPECT_EQ(mainwin_value_entry_widget(), nullptr);
  EXPECT_EQ(window_of_view(), before) << "digits in the entry moved the view";
}

// The entry holds at most 255 characters, and each becomes one byte of the
// program's text however many bytes it takes in UTF-8.
TEST_F(KeymapGtkTest, EnteredTextIsBoundedByTheProgramsBuffer) {
  mainwin_value_entry_open(std::string(300, '\xe4').c_str());  // ISO-8859-1 a-umlaut
  EXPECT_EQ(g_utf8_strlen(entry_text().c_str(), -1), INPUT_TEXT_LEN - 1);
  then([] { return wait_depth() == 1; }, [this] { press(GDK_KEY_Return); });
  EXPECT_EQ(std::string(cmd_wait_key()), "z_eini");
  EXPECT_EQ(input_text.view(), std::string(INPUT_TEXT_LEN - 1, '\xe4'));
}

TEST_F(KeymapGtkTest, OpeningAgainReplacesTheEntryAndClosingDropsIt) {
  mainwin_value_entry_open("1");
  mainwin_value_entry_open("2");
  EXPECT_NE(mainwin_value_entry_widget(), nullptr);
  EXPECT_EQ(entry_text(), "2");
  EXPECT_EQ(gtk_grid_get_child_at(GTK_GRID(grid_), 1, 1), mainwin_value_entry_widget());
  mainwin_value_entry_close();
  EXPECT_EQ(value_entry_open, 0);
  EXPECT_EQ(gtk_grid_get_child_at(GTK_GRID(grid_), 1, 1), nullptr);

  // The entry dies with its window.
  mainwin_value_entry_open("3");
  gtk_widget_destroy(grid_);
  EXPECT_EQ(value_entry_open, 0);
  EXPECT_EQ(mainwin_value_entry_widget(), nullptr);
  mainwin_value_entry_set_grid(nullptr);
}

}  // namespace
