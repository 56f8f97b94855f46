// The main window's life: started with its timers, rebuilt after a font
// change, stopped; and what the keyboard and the close button of the
// window do.

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <filesystem>

#include "display/command_buffer.h"
#include "display/display_init.h"
#include "display/gtk/view_gtk.h"
#include "display/gtk/wait_gtk.h"
#include "display/key_state.h"
#include "display/view.h"
#include "display/view_commands.h"
#include "display/wait.h"
#include "model/redraw.h"
#include "model/ui.h"
#include "shell/cmd_buttons.h"
#include "shell/cmd_loop.h"
#include "shell/gtk/box_wait.h"
#include "shell/gtk/cmd_gtk.h"
#include "shell/gtk/mainwin.h"
#include "shell/gtk/startup.h"
#include "shell/shell_platform.h"
#include "support/model_fixture.h"

namespace {

class StartupGtkTest : public ModelTest {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(gtk_init_check(nullptr, nullptr)) << "needs a display (run under xvfb-run)";
    gui_style_install_builtin();
  }

  void SetUp() override {
    ModelTest::SetUp();
    old_dir_ = std::filesystem::current_path();
    std::filesystem::current_path(KAVRO_STAGE_DIR);
    previous_ui_ = ui_install(UiTable{});
    previous_redraw_ = redraw_install(RedrawTable{});
    previous_platform_ = shell_platform_install(ShellPlatform{});
    previous_backend_ = wait_set_backend(wait_gtk_backend());
    display_init();
    cmd_install_shell_hooks();
    cmd_buttons_use_gtk();
    mainwin_install_ui();
    view_init(0);
    mainwin_start();
    settle();
  }

  void TearDown() override {
    mainwin_stop();
    settle();
    view_free_all();
    wait_set_backend(previous_backend_);
    shell_platform_install(previous_platform_);
    redraw_install(previous_redraw_);
    ui_install(previous_ui_);
    std::filesystem::current_path(old_dir_);
    ModelTest::TearDown();
  }

  static void settle() {
    for (int i = 0; i < 10; ++i) {
      while (gtk_events_pending()) gtk_main_iteration();
      g_usleep(2000);
    }
  }

  std::filesystem::path old_dir_;
  UiTable previous_ui_;
  RedrawTable previous_redraw_;
  ShellPlatform previous_platform_;
  WaitBackend* previous_backend_ = nullptr;
};

TEST_F(StartupGtkTest, StartRebuildAndStop) {
  ASSERT_NE(main_window, nullptr);
  EXPECT_TRUE(gtk_widget_get_visible(main_window));
  EXPECT_NE(backup_timer_id, 0u);
  EXPECT_NE(hover_timer_id, 0u);
  ASSERT_NE(view_widgets[0], nullptr);
  EXPECT_EQ(gtk_widget_get_toplevel(view_widgets[0]), main_window);
  EXPECT_NE(view_surface(0), nullptr) << "view 0 has no store after its first configure";
  // Boxes stay above the main window.
  GtkWidget* box = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  box_place(box, "Box", 0);
  EXPECT_EQ(gtk_window_get_transient_for(GTK_WINDOW(box)), GTK_WINDOW(main_window));
  gtk_widget_destroy(box);

  // The font change builds the window again, with new timers and a new view;
  // the new status line shows the scale the view kept.
  view_scale = 160.0;
  view_show_scale();
  const guint hover = hover_timer_id;
  shell_platform().mainwin_rebuild();
  settle();
  EXPECT_EQ(view_scale, 160.0);
  EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(mainwin_widgets.scale_label)), " 1:160 ");
  ASSERT_NE(main_window, nullptr);
  EXPECT_EQ(mainwin_widgets.window, main_window);
  EXPECT_NE(hover_timer_id, 0u);
  EXPECT_EQ(g_main_context_find_source_by_id(nullptr, hover), nullptr) << "the old hover timer runs on";
  ASSERT_NE(view_widgets[0], nullptr);
  EXPECT_EQ(gtk_widget_get_toplevel(view_widgets[0]), main_window);
  EXPECT_NE(view_surface(0), nullptr);

  mainwin_stop();
  settle();
  EXPECT_EQ(main_window, nullptr);
  EXPECT_EQ(mainwin_widgets.window, nullptr);
  EXPECT_EQ(view_widgets[0], nullptr);
  EXPECT_EQ(backup_timer_id, 0u);
  EXPECT_EQ(hover_timer_id, 0u);
  mainwin_set_title("no window");
}

// Closing the window asks the quit command; the window stays until it decides.
TEST_F(StartupGtkTest, ClosingTheWindowPostsQuit) {
  command_key = "nop";
  GdkEvent* ev = gdk_event_new(GDK_DELETE);
  ev->any.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(main_window)));
  gtk_main_do_event(ev);
  gdk_event_free(ev);
  EXPECT_STREQ(command_key.c_str(), "p_file_quit");
  EXPECT_NE(main_window, nullptr);
  EXPECT_TRUE(gtk_widget_get_visible(main_window));
}

// A page letter typed into the window shows that tool page.
TEST_F(StartupGtkTest, PageLettersSwitchThePage) {
  GdkEvent* ev = gdk_event_new(GDK_KEY_PRESS);
  ev->key.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(main_window)));
  ev->key.keyval = GDK_KEY_d;
  command_key = "nop";
  gtk_widget_event(main_window, ev);
  gdk_event_free(ev);
  EXPECT_EQ(gtk_notebook_get_current_page(GTK_NOTEBOOK(mainwin_widgets.notebook)), 5);
  EXPECT_STREQ(command_key.c_str(), "p_newmenue");
}

}  // namespace

namespace {

void press(GtkWidget* window, guint keyval, GdkModifierType state) {
  GdkEvent* ev = gdk_event_new(GDK_KEY_PRESS);
  ev->key.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(window)));
  ev->key.keyval = keyval;
  ev->key.state = state;
  gdk_event_set_device(ev, gdk_seat_get_keyboard(gdk_display_get_default_seat(gdk_display_get_default())));
  gtk_widget_event(window, ev);
  gdk_event_free(ev);
}

// The Control keys the menus show choose their items; with Num Lock on too.
TEST_F(StartupGtkTest, MenuControlKeysChooseTheirItems) {
  struct Case {
    guint keyval;
    const char* key;
  };
  for (Case c :
       {Case{GDK_KEY_s, "p_file_save"}, Case{GDK_KEY_l, "p_file_load"}, Case{GDK_KEY_q, "p_file_quit"},
        Case{GDK_KEY_comma, "z_d_settings"}, Case{GDK_KEY_v, "p_symbol_paste"}}) {
    command_key = "nop";
    press(main_window, c.keyval, GdkModifierType(GDK_CONTROL_MASK | GDK_MOD2_MASK));
    EXPECT_STREQ(command_key.c_str(), c.key);
  }
  // Control with a key no menu shows, and a plain letter, choose nothing.
  command_key = "nop";
  press(main_window, GDK_KEY_k, GDK_CONTROL_MASK);
  EXPECT_STREQ(command_key.c_str(), "nop");
}

// While a value is typed, Control+V belongs to the entry.
TEST_F(StartupGtkTest, TheValueEntryKeepsItsControlKeys) {
  ui().mainwin_value_entry_open("12");
  ASSERT_EQ(value_entry_open, 1);
  command_key = "nop";
  press(main_window, GDK_KEY_v, GDK_CONTROL_MASK);
  EXPECT_STREQ(command_key.c_str(), "nop");
  ui().mainwin_value_entry_close();
}

}  // namespace

namespace {

// Control+F3 and Shift+F5 set the pen and the line type; every Pen/Line
// selector of the tool pages shows them.
TEST_F(StartupGtkTest, PenKeysShowInEverySelector) {
  press(main_window, GDK_KEY_F3, GDK_CONTROL_MASK);
  press(main_window, GDK_KEY_F5, GDK_SHIFT_MASK);
  EXPECT_EQ(cur_pen, 2);
  EXPECT_EQ(cur_line_type, 4);
  int selectors = 0;
  for (int page = 0; page < TOOL_PAGE_COUNT; ++page) {
    GtkWidget* pen = mainwin_widgets.pen_menus[page];
    GtkWidget* type = mainwin_widgets.line_type_menus[page];
    if (!pen) continue;
    ++selectors;
    EXPECT_EQ(gtk_combo_box_get_active(GTK_COMBO_BOX(pen)), 2) << page;
    EXPECT_EQ(gtk_combo_box_get_active(GTK_COMBO_BOX(type)), 4) << page;
  }
  EXPECT_EQ(selectors, 6);
}

}  // namespace
