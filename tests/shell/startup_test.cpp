// Start-up without a display: the base folder, the drawing argument, the
// autobackup timer and its decision, and the main window's tables and texts.

#include "shell/gtk/startup.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>

#include "model/elem.h"
#include "model/files/load_save.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/settings.h"
#include "shell/cmd_keys.h"
#include "shell/fontchange.h"
#include "shell/mainwin_tables.h"
#include "shell/mainwin_text.h"
#include "support/model_fixture.h"
#include "support/recording_ui.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

TEST(StartupBaseDir, FirstCompleteLineOrTheDefault) {
  const std::string home = "/home/u";
  const std::string fallback = "/home/u/KAVRO3/";
  struct Case {
    std::optional<std::string> file;
    std::string expected;
    bool said = false;  // a line on standard output says why the default is used
  };
  const Case cases[] = {
      {std::nullopt, fallback},
      {"/data/kb/\n", "/data/kb/"},
      {"/data/kb/\r\n", "/data/kb/"},
      {"/data/kb/\nsecond line\n", "/data/kb/"},
      {"/data/kb\n", "/data/kb/"},  // the folder ends in "/" either way
      {"/data/kb/", fallback},      // no complete line
      {"", fallback},
      {"\n/data/kb/\n", fallback},  // an empty first line names no folder
      {std::string(254, 'a') + "/\n", std::string(254, 'a') + "/"},
      {std::string(255, 'a') + "/\n", fallback, true},  // too long for a path: refused, not cut
  };
  for (const Case& c : cases) {
    testing::internal::CaptureStdout();
    EXPECT_EQ(startup_base_dir(home, c.file), c.expected) << (c.file ? *c.file : "(no file)");
    EXPECT_EQ(!testing::internal::GetCapturedStdout().empty(), c.said);
  }
}

TEST(StartupBaseDir, ReadsTheUsersFile) {
  TempFolder home;
  EXPECT_EQ(startup_read_base_dir(home.path().string()), home.path().string() + "/KAVRO3/");
  home.write(".kavro3/kavro.base", "/tmp/kb/\n");
  EXPECT_EQ(startup_read_base_dir(home.path().string()), "/tmp/kb/");
}

TEST(StartupArgument, AbsolutePathsOfAcceptableLength) {
  EXPECT_EQ(startup_drawing_argument(nullptr), std::string());
  EXPECT_EQ(startup_drawing_argument(""), std::string());
  EXPECT_EQ(startup_drawing_argument("/abs/plan.kav"), std::string("/abs/plan.kav"));
  EXPECT_EQ(startup_drawing_argument("plan.kav"), (fs::current_path() / "plan.kav").string());

  std::string longest = "/" + std::string(PATH_LEN - 2, 'p');
  EXPECT_EQ(startup_drawing_argument(longest.c_str()), longest);
  const std::string too_long = longest + "x";
  testing::internal::CaptureStdout();
  EXPECT_EQ(startup_drawing_argument(too_long.c_str()), std::nullopt);
  EXPECT_NE(testing::internal::GetCapturedStdout().find("too long"), std::string::npos);
}

TEST(StartupBackup, IntervalsBecomeSecondsWithinADay) {
  struct Case {
    int minutes;
    unsigned seconds;
  };
  for (Case c : {Case{0, 0}, Case{-5, 0}, Case{INT_MIN, 0}, Case{1, 60}, Case{5, 300}, Case{1440, 86400},
                 Case{1441, 86400}, Case{INT_MAX, 86400}})
    EXPECT_EQ(startup_backup_seconds(c.minutes), c.seconds) << c.minutes;
}

class StartupTimerTest : public ModelTest {
 protected:
  void TearDown() override {
    backup_interval = 5;
    mainwin_stop();
    ModelTest::TearDown();
  }
};

// A setting of 0 minutes (or less) must not turn into a timer that writes the
// backup on every pass of the main loop.
TEST_F(StartupTimerTest, NoTimerForAnIntervalOfZero) {
  for (int minutes : {0, -1}) {
    backup_interval = minutes;
    mainwin_restart_autobackup();
    EXPECT_EQ(backup_timer_id, 0u) << minutes;
  }
  backup_interval = 2;
  mainwin_restart_autobackup();
  EXPECT_NE(backup_timer_id, 0u);
  const guint first = backup_timer_id;
  mainwin_restart_autobackup();
  EXPECT_NE(backup_timer_id, 0u);
  EXPECT_EQ(g_main_context_find_source_by_id(nullptr, first), nullptr) << "the old timer runs on";
  mainwin_stop();
  EXPECT_EQ(backup_timer_id, 0u);
  EXPECT_EQ(hover_timer_id, 0u);
}

TEST_F(StartupTimerTest, TheBackupIsWrittenOnlyForAChangedDrawing) {
  RecordingUi ui;
  TempFolder dir;
  drawing_file = (dir / "plan.kav").string();
  const fs::path backup = dir / "plan.kav.bak";

  EXPECT_TRUE(mainwin_on_autobackup(nullptr));
  EXPECT_FALSE(fs::exists(backup)) << "an unchanged drawing needs no backup";

  elem_new_line(0, 1, 0, 0, 0, 1, 1);
  ASSERT_EQ(drawing_modified, 1);
  autobackup = 0;
  EXPECT_TRUE(mainwin_on_autobackup(nullptr));
  EXPECT_FALSE(fs::exists(backup)) << "autobackup is off";

  autobackup = 1;
  EXPECT_TRUE(mainwin_on_autobackup(nullptr));
  EXPECT_TRUE(fs::exists(backup));
  EXPECT_EQ(drawing_modified, 1) << "a backup does not count as saving";
  EXPECT_FALSE(fs::exists(dir / "plan.kav"));
}

TEST(MainwinTitle, FormatsWholeTextsAndRoundsTheScale) {
  const char* format = "KAVRO  File: %s  Layer: %s  Scale: 1:%.0f";
  struct Case {
    double scale;
    const char* shown;
  };
  for (Case c : {Case{99.6, "1:100"}, Case{100.0, "1:100"}, Case{50.0, "1:50"}, Case{1.4, "1:1"}}) {
    std::string t = mainwin_title_format(format, "/d/a.kav", "Layer 0", c.scale);
    EXPECT_EQ(t, std::string("KAVRO  File: /d/a.kav  Layer: Layer 0  Scale: ") + c.shown);
  }
  // The longest path and layer name are shown whole.
  const std::string path = "/" + std::string(PATH_LEN - 2, 'p');
  const std::string layer(NAME_LEN - 1, 'l');
  const std::string t = mainwin_title_format(format, path.c_str(), layer.c_str(), 1000);
  EXPECT_EQ(t, "KAVRO  File: " + path + "  Layer: " + layer + "  Scale: 1:1000");
  EXPECT_EQ(mainwin_title_format("Datei: %s  Ebene: %s  Ma\xC3\x9F"
                                 "stab: 1:%.0f",
                                 "x", "y", 20.0),
            "Datei: x  Ebene: y  Ma\xC3\x9Fstab: 1:20");
}

TEST(MainwinTables, EveryKeyIsOneTheCommandLoopKnows) {
  auto known = [](const char* key) { return cmd_key_known(key) || cmd_key_only_ends_wait(key); };
  int keys = 0;
  for (const ToolPage& page : mainwin_tool_pages())
    for (const PageItem& item : page.items)
      if (item.key) {
        ++keys;
        EXPECT_TRUE(known(item.key)) << item.key << " on page " << page.title;
      }
  for (const MenuItem& m : mainwin_menu_items())
    if (m.key) {
      ++keys;
      EXPECT_TRUE(known(m.key)) << m.key;
    }
  EXPECT_GT(keys, 200);
}

TEST(MainwinTables, PagesAreWellFormed) {
  ASSERT_EQ(mainwin_tool_pages().size(), static_cast<std::size_t>(TOOL_PAGE_COUNT));
  for (const ToolPage& page : mainwin_tool_pages()) {
    int depth = 0;
    std::set<const int32_t*> radio_vars;
    for (const PageItem& item : page.items) {
      switch (item.kind) {
        case ItemKind::FRAME:
        case ItemKind::ROW:
        case ItemKind::GRID:
          ++depth;
          break;
        case ItemKind::END:
          --depth;
          EXPECT_GE(depth, 0) << page.title;
          break;
        case ItemKind::BUTTON:
        case ItemKind::PICTURE:
        case ItemKind::SIZE:
        case ItemKind::PRESET:
          EXPECT_NE(item.key, nullptr) << page.title;
          break;
        case ItemKind::TOGGLE:
        case ItemKind::RADIO:
          EXPECT_NE(item.var, nullptr) << page.title;
          break;
        default:
          break;
      }
    }
    EXPECT_EQ(depth, 0) << page.title << ": a frame, row or table is not closed";
  }
  int depth = 0;
  for (const MenuItem& m : mainwin_menu_items())
    depth += m.kind == MenuKind::SUBMENU ? 1 : m.kind == MenuKind::END ? -1 : 0;
  EXPECT_EQ(depth, 0);
}

TEST(MainwinTables, PageNamesAndTheViewRule) {
  struct Case {
    const char* name;
    int page;
    bool keeps_view;
  };
  const Case cases[] = {{"symbol", 0, false}, {"line", 1, false},    {"circle", 2, false},
                        {"wall", 3, false},   {"opening", 4, false}, {"dim", 5, false},
                        {"text", 6, false},   {"room", 7, false},    {"pattern", 8, false},
                        {"3d", 9, true},      {"unit", 10, false},   {"edit", 11, true},
                        {"Line", -1, false},  {"select", -1, false}, {"", -1, false}};
  for (const Case& c : cases) {
    EXPECT_EQ(mainwin_page_of(c.name), c.page) << c.name;
    EXPECT_EQ(mainwin_page_keeps_view(c.name), c.keeps_view) << c.name;
  }
  EXPECT_EQ(mainwin_page_of(nullptr), -1);
  // Every category button names a page.
  for (const CategoryButton& c : mainwin_categories()) EXPECT_GE(mainwin_page_of(c.name), 0) << c.name;
}

}  // namespace

namespace {

// The installation's style file is the one the font change writes, so the
// first start and a later font change read it alike.
TEST(StartupStyleFile, TheShippedFileIsWhatTheFontChangeWrites) {
  const std::string path = std::string(KAVRO_SOURCE_DIR) + "/kavro.gtkrc";
  const std::string font = gui_style_read_font(path);
  EXPECT_EQ(font, "Sans 10");
  std::ifstream in(path, std::ios::binary);
  const std::string text(std::istreambuf_iterator<char>(in), {});
  EXPECT_EQ(text, gui_style_css(font.c_str()));
}

}  // namespace
