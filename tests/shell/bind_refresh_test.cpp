// The refresh keys of bound widgets and what they reach through the shell
// platform table.

#include "shell/bind_refresh.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/shell_platform.h"

namespace {

std::vector<std::string> calls;
bool built = false;

class BindRefreshTest : public ::testing::Test {
 protected:
  void SetUp() override {
    calls.clear();
    built = false;
    ShellPlatform h;
    h.dlg_preview_draw = [](int k) { calls.push_back("draw " + std::to_string(k)); };
    h.dlg_preview_built = [](int k) {
      calls.push_back("built? " + std::to_string(k));
      return built;
    };
    h.gui_layerentry_closed = [] { calls.push_back("layerentry closed"); };
    h.mainwin_size_labels_refresh = [] { calls.push_back("size labels"); };
    previous_ = shell_platform_install(h);
  }
  void TearDown() override { shell_platform_install(previous_); }
  ShellPlatform previous_;
};

TEST_F(BindRefreshTest, TheTableNamesEachKeysAction) {
  struct Case {
    const char* key;
    BindRefresh what;
    int preview;
  };
  const Case cases[] = {
      {"symbol", BindRefresh::PREVIEW, 7},
      {"dim", BindRefresh::PREVIEW, 2},
      {"pattern", BindRefresh::PREVIEW, 3},
      {"text", BindRefresh::PREVIEW, 1},
      {"opening", BindRefresh::PREVIEW, 4},
      {"window", BindRefresh::PREVIEW, 5},
      {"door", BindRefresh::PREVIEW, 6},
      {"main", BindRefresh::MAIN, 0},
      {"layerentry", BindRefresh::LAYERENTRY, 0},
      {"wall", BindRefresh::NONE, 0},
      {"room", BindRefresh::NONE, 0},
      {"mat", BindRefresh::NONE, 0},
      {"", BindRefresh::NONE, 0},
      {"Dim", BindRefresh::NONE, 0},
      {"dims", BindRefresh::NONE, 0},
      {nullptr, BindRefresh::NONE, 0},
  };
  for (const Case& c : cases) {
    BindRefreshAction a = bind_refresh_action(c.key);
    EXPECT_EQ(a.what, c.what) << (c.key ? c.key : "null");
    EXPECT_EQ(a.preview, c.preview) << (c.key ? c.key : "null");
  }
}

TEST_F(BindRefreshTest, APreviewIsDrawnOnlyWhileItsDialogIsBuilt) {
  bind_refresh_run("door");
  EXPECT_EQ(calls, (std::vector<std::string>{"built? 6"}));
  calls.clear();
  built = true;
  bind_refresh_run("door");
  EXPECT_EQ(calls, (std::vector<std::string>{"built? 6", "draw 6"}));
}

TEST_F(BindRefreshTest, MainLayerEntryAndOtherKeys) {
  bind_refresh_run("main");
  bind_refresh_run("layerentry");
  bind_refresh_run("light");
  bind_refresh_run(nullptr);
  EXPECT_EQ(calls, (std::vector<std::string>{"draw 0", "layerentry closed"}));
}

TEST(BindRefreshSilent, TheDefaultHooksDoNothing) {
  ShellPlatform previous = shell_platform_install(ShellPlatform{});
  bind_refresh_run("main");
  bind_refresh_run("text");
  bind_refresh_run("layerentry");
  EXPECT_FALSE(shell_platform().dlg_preview_built(1));
  shell_platform_install(previous);
}

}  // namespace
