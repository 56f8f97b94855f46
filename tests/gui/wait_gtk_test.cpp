// The toolkit side under a real (virtual) display: nested gtk_main levels,
// command buttons and their groups, and the main window's event handlers.

#include "display/gtk/wait_gtk.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <string>
#include <vector>

#include "display/command_buffer.h"
#include "display/wait.h"
#include "shell/cmd_buttons.h"
#include "shell/cmd_loop.h"
#include "shell/gtk/cmd_gtk.h"

namespace {

class GtkShellTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(gtk_init_check(nullptr, nullptr)) << "needs a display (run under xvfb-run)";
    // A critical from GLib or GTK (such as quitting a main loop that does not
    // run) fails the test.
    g_log_set_always_fatal(static_cast<GLogLevelFlags>(G_LOG_FATAL_MASK | G_LOG_LEVEL_CRITICAL));
  }
  void SetUp() override {
    previous_ = wait_set_backend(wait_gtk_backend());
    cmd_install_shell_hooks();
    cmd_buttons_use_gtk();
    active_b_button = CmdButtonSlot{};
    active_f_button = CmdButtonSlot{};
    command_key = "nop";
  }
  void TearDown() override {
    wait_set_backend(previous_);
    cmd_button_ops_install(CmdButtonOps{});
  }

  // A toggle button owned by the test; released by unref.
  static GtkWidget* toggle(const char* key) {
    GtkWidget* b = gtk_toggle_button_new_with_label(key);
    g_object_ref_sink(b);
    cmd_connect(b, key);
    return b;
  }
  static bool pressed(GtkWidget* b) { return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(b)); }

  WaitBackend* previous_ = nullptr;
};

struct Nesting {
  std::vector<std::string> trace;
  GtkWidget* button = nullptr;  // a push button posting "z_def"
};
Nesting nesting;

std::string at_depth(const std::string& what) { return what + " at " + std::to_string(wait_depth()); }

gboolean last_post(gpointer) {
  nesting.trace.push_back(at_depth("second timeout"));
  cmd_put_key("z_space");
  return G_SOURCE_REMOVE;
}

gboolean middle_post(gpointer) {
  // Level 2 still runs long after level 3 ended.
  nesting.trace.push_back(at_depth("first timeout"));
  g_timeout_add(30, last_post, nullptr);
  cmd_put_key("z_pap");
  return G_SOURCE_REMOVE;
}

gboolean innermost_click(gpointer) {
  g_timeout_add(30, middle_post, nullptr);
  gtk_button_clicked(GTK_BUTTON(nesting.button));
  return G_SOURCE_REMOVE;
}

gboolean start_level3(gpointer) {
  g_idle_add(innermost_click, nullptr);
  std::string key = cmd_wait_key();
  nesting.trace.push_back(at_depth("level 3 got " + key));
  return G_SOURCE_REMOVE;
}

gboolean start_level2(gpointer) {
  g_idle_add(start_level3, nullptr);
  std::string key = cmd_wait_key();
  nesting.trace.push_back(at_depth("level 2 got " + key));
  return G_SOURCE_REMOVE;
}

gboolean give_up(gpointer) {
  nesting.trace.push_back(at_depth("gave up"));
  while (wait_depth() > 0 && !wait_ended(wait_depth())) wait_end();
  return G_SOURCE_CONTINUE;
}

TEST_F(GtkShellTest, PostEndsOnlyTheInnermostOfThreeNestedWaits) {
  nesting = Nesting{};
  nesting.button = gtk_button_new_with_label("Remember");
  g_object_ref_sink(nesting.button);
  cmd_connect(nesting.button, "z_def");
  guint guard = g_timeout_add(5000, give_up, nullptr);
  g_idle_add(start_level2, nullptr);

  std::string outer = cmd_wait_key();

  g_source_remove(guard);
  EXPECT_EQ(outer, "z_space");
  EXPECT_EQ(wait_depth(), 0);
  EXPECT_EQ(gtk_main_level(), 0u);
  EXPECT_EQ(nesting.trace, (std::vector<std::string>{"level 3 got z_def at 2", "first timeout at 2",
                                                     "level 2 got z_pap at 1", "second timeout at 1"}));
  g_object_unref(nesting.button);
}

TEST_F(GtkShellTest, PostWithNoWaitRunningQuitsNothing) {
  cmd_put_key("p_nop");
  EXPECT_STREQ(command_key.c_str(), "p_nop");
  EXPECT_EQ(gtk_main_level(), 0u);
}

TEST_F(GtkShellTest, ToolButtonsFormOneGroupAndProgramChangesPostNothing) {
  GtkWidget* line = toggle("b_line_line");
  GtkWidget* circle = toggle("b_circle_circle");

  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(line), TRUE);  // the user presses Line
  EXPECT_STREQ(command_key.c_str(), "b_line_line");
  EXPECT_EQ(active_b_button.widget, line);

  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(circle), TRUE);  // then Circle
  EXPECT_STREQ(command_key.c_str(), "b_circle_circle");           // releasing Line posted nothing
  EXPECT_FALSE(pressed(line));
  EXPECT_TRUE(pressed(circle));

  command_key = "nop";
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(circle), FALSE);  // Circle pressed again
  EXPECT_TRUE(pressed(circle));
  EXPECT_STREQ(command_key.c_str(), "b_circle_circle");  // the tool starts again

  command_key = "nop";
  mainwin_release_b_button();
  EXPECT_FALSE(pressed(circle));
  EXPECT_STREQ(command_key.c_str(), "nop");
  EXPECT_EQ(active_b_button.widget, nullptr);

  // A destroyed active button leaves the group; releasing later touches nothing.
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(line), TRUE);
  EXPECT_EQ(active_b_button.widget, line);
  gtk_widget_destroy(line);
  EXPECT_EQ(active_b_button.widget, nullptr);
  g_object_unref(line);
  mainwin_release_b_button();

  g_object_unref(circle);
}

TEST_F(GtkShellTest, RightClickCancelsOnlyOnASinglePressOfButtonThree) {
  struct Case {
    GdkEventType type;
    guint button;
    gboolean stops;
  };
  const Case cases[] = {
      {GDK_BUTTON_PRESS, 3, TRUE},
      {GDK_BUTTON_PRESS, 1, FALSE},  // the button's own handling must go on
      {GDK_2BUTTON_PRESS, 3, FALSE},
      {GDK_BUTTON_RELEASE, 3, FALSE},
  };
  for (const Case& c : cases) {
    command_key = "nop";
    GdkEventButton event{};
    event.type = c.type;
    event.button = c.button;
    EXPECT_EQ(mainwin_on_right_click(nullptr, &event, nullptr), c.stops) << c.type << " " << c.button;
    EXPECT_STREQ(command_key.c_str(), c.stops ? "p_nop" : "nop");
  }
  EXPECT_TRUE(mainwin_on_delete(nullptr, nullptr, nullptr));
  EXPECT_STREQ(command_key.c_str(), "p_file_quit");
}

}  // namespace
