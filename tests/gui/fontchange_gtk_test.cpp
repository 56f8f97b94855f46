// The interface font change on a real display: the style file it writes, the
// font the widgets then use, and what it tears down for the rebuild.

#include <gtk/gtk.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "display/key_state.h"
#include "gui_steps.h"
#include "shell/cmd_buttons.h"
#include "shell/cmd_loop.h"
#include "shell/fontchange.h"
#include "shell/gtk/cmd_gtk.h"
#include "shell/mainwin_hooks.h"
#include "shell/value_entry.h"

namespace {

namespace fs = std::filesystem;

int rebuilds = 0;

std::string read_all(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class FontchangeTest : public GuiBoxTest {
 protected:
  void SetUp() override {
    GuiBoxTest::SetUp();
    char tmpl[] = "/tmp/kavro-font-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    fs::create_directories(dir_ / "home" / ".kavro3");
    fs::create_directories(dir_ / "install");
    const char* home = std::getenv("HOME");
    old_home_ = home ? home : "";
    setenv("HOME", (dir_ / "home").c_str(), 1);
    old_cwd_ = fs::current_path();
    fs::current_path(dir_ / "install");
    rebuilds = 0;
    MainwinHooks h;
    h.rebuild = [] { ++rebuilds; };
    previous_hooks_ = mainwin_hooks_install(h);
    cmd_install_shell_hooks();
    cmd_buttons_use_gtk();
  }
  void TearDown() override {
    mainwin_value_entry_close();
    mainwin_hooks_install(previous_hooks_);
    cmd_button_ops_install(CmdButtonOps{});
    active_b_button = CmdButtonSlot{};
    fs::current_path(old_cwd_);
    setenv("HOME", old_home_.c_str(), 1);
    gui_style_load("");
    GuiBoxTest::TearDown();
    fs::remove_all(dir_);
  }

  static GtkWidget* window(const char* title) {
    GtkWidget* w = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(w), title);
    return w;
  }

  // The font a label in a window uses now.
  static std::string label_font() {
    GtkWidget* w = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    GtkWidget* label = gtk_label_new("x");
    gtk_container_add(GTK_CONTAINER(w), label);
    PangoFontDescription* desc = nullptr;
    gtk_style_context_get(gtk_widget_get_style_context(label), GTK_STATE_FLAG_NORMAL, "font", &desc, nullptr);
    std::string out = desc ? pango_font_description_get_family(desc) + std::string(" ") +
                                 std::to_string(pango_font_description_get_size(desc) / PANGO_SCALE)
                           : "";
    if (desc) pango_font_description_free(desc);
    gtk_widget_destroy(w);
    return out;
  }

  fs::path dir_, old_cwd_;
  std::string old_home_;
  MainwinHooks previous_hooks_;
};

TEST_F(FontchangeTest, WritesTheUsersStyleFileAndTearsDownForTheRebuild) {
  // A kept dialog the change destroys and one it keeps.
  dlg_store(DLG_WALL, window("Wall"));
  dlg_store(DLG_CAMERA, window("Camera"));
  GtkWidget* camera = static_cast<GtkWidget*>(dlg_slots[DLG_CAMERA]);
  // The running tool's button and an open value entry.
  GtkWidget* tool = gtk_toggle_button_new_with_label("Line");
  g_object_ref_sink(tool);
  cmd_connect(tool, "b_line_line");
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(tool), TRUE);
  ASSERT_EQ(active_b_button.widget, tool);
  mainwin_value_entry_open("");
  ASSERT_EQ(value_entry_open, 1);

  gui_font = "DejaVu Sans 12";
  gui_font_apply();

  fs::path file = dir_ / "home" / ".kavro3" / "kavro.gtkrc";
  EXPECT_EQ(read_all(file), gui_style_css("DejaVu Sans 12"));
  EXPECT_FALSE(fs::exists(dir_ / "install" / "kavro.gtkrc"));
  EXPECT_EQ(label_font(), "DejaVu Sans 12");
  EXPECT_EQ(rebuilds, 1);
  EXPECT_EQ(dlg_slots[DLG_WALL], nullptr);
  EXPECT_EQ(dlg_slots[DLG_CAMERA], camera);
  EXPECT_EQ(value_entry_open, 0);
  // Forgotten, not released: the button goes with the old main window.
  EXPECT_EQ(active_b_button.widget, nullptr);
  EXPECT_TRUE(gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(tool)));
  g_object_unref(tool);
}

TEST_F(FontchangeTest, WritesTheInstallationsStyleFileWithoutAUserFolder) {
  fs::remove_all(dir_ / "home" / ".kavro3");
  gui_font = "DejaVu Serif 9";
  gui_font_apply();
  EXPECT_EQ(gui_style_read_font((dir_ / "install" / "kavro.gtkrc").string()), "DejaVu Serif 9");
  EXPECT_EQ(label_font(), "DejaVu Serif 9");
  EXPECT_EQ(rebuilds, 1);
}

TEST_F(FontchangeTest, NowhereToWriteChangesNothing) {
  // Folders in the way of both files: no renaming succeeds, as root neither.
  fs::create_directories(dir_ / "home" / ".kavro3" / "kavro.gtkrc" / "in");
  fs::create_directories(dir_ / "install" / "kavro.gtkrc" / "in");
  dlg_store(DLG_WALL, window("Wall"));
  gui_font = "DejaVu Serif 9";
  testing::internal::CaptureStdout();
  gui_font_apply();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Cannot open file");
  EXPECT_EQ(rebuilds, 0);
  EXPECT_NE(dlg_slots[DLG_WALL], nullptr);
}

// The font dialog's "Use" posts z_c_font: the chosen font is taken and applied.
TEST_F(FontchangeTest, UseButtonOfTheFontDialogAppliesItsFont) {
  GtkWidget* dialog = window("Font setting:");
  GtkWidget* chooser = gtk_font_chooser_widget_new();
  gtk_container_add(GTK_CONTAINER(dialog), chooser);
  gtk_font_chooser_set_font(GTK_FONT_CHOOSER(chooser), "DejaVu Sans Mono 14");
  dlg_store(DLG_FONT, dialog);
  gui_font = "Sans 10";

  cmd_post_key(nullptr, "z_c_font");

  EXPECT_STREQ(gui_font.c_str(), "DejaVu Sans Mono 14");
  EXPECT_EQ(gui_style_read_font((dir_ / "home" / ".kavro3" / "kavro.gtkrc").string()), "DejaVu Sans Mono 14");
  EXPECT_EQ(dlg_slots[DLG_FONT], nullptr);  // rebuilt when opened next
  EXPECT_EQ(rebuilds, 1);
}

// A question that waits when the font changes ends as if it were closed.
TEST_F(FontchangeTest, AWaitingQuestionEndsWithZero) {
  const char* labels[] = {"Yes", "No"};
  gui_font = "Sans 10";
  when_shown(DLG_ASK, [](GtkWidget*) { cmd_post_key(nullptr, "z_c_font"); });
  EXPECT_EQ(msgbox_ask("Still there?", 2, labels), 0);
  EXPECT_EQ(rebuilds, 1);
}

}  // namespace
