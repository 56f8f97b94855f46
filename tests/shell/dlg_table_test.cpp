// The dialog dispatch with stand-in widgets: when a dialog is built, shown,
// hidden or destroyed, and that every posted key reaches it first.

#include "shell/dlg_table.h"

#include <set>
#include <string>
#include <vector>

#include "shell/cmd_keys.h"
#include "shell/shell_platform.h"
#include "shell_fixture.h"

namespace {

std::vector<std::string> log_lines;
int widgets_built = 0;

// A stand-in widget: a number that names the build it came from.
struct FakeWidget {
  int number;
};
std::vector<FakeWidget*> alive;

std::string widget_name(void* w) { return "w" + std::to_string(static_cast<FakeWidget*>(w)->number); }

void* build() {
  auto w = new FakeWidget{++widgets_built};
  alive.push_back(w);
  log_lines.push_back("build " + widget_name(w));
  return w;
}

class DlgTableTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    log_lines.clear();
    widgets_built = 0;
    saved_rows_ = dlg_rows();
    for (void*& s : dlg_slots) s = nullptr;
    ShellPlatform p = shell_platform();
    p.dlg_present = [](void* w) { log_lines.push_back("present " + widget_name(w)); };
    p.dlg_hide = [](void* w) { log_lines.push_back("hide " + widget_name(w)); };
    p.dlg_destroy = [](void* w) { log_lines.push_back("destroy " + widget_name(w)); };
    p.dlg_watch = [](void* w, void**) { log_lines.push_back("watch " + widget_name(w)); };
    previous_platform_ = shell_platform_install(p);
  }
  void TearDown() override {
    dlg_rows() = saved_rows_;
    shell_platform_install(previous_platform_);
    for (void*& s : dlg_slots) s = nullptr;
    for (FakeWidget* w : alive) delete w;
    alive.clear();
    ShellTest::TearDown();
  }

  static void run(const char* key) { cmd_dispatch_dialog(key); }
  // Runs key and returns what it did.
  static std::vector<std::string> did(const char* key) {
    log_lines.clear();
    run(key);
    return log_lines;
  }

  std::vector<DlgRow> saved_rows_;
  ShellPlatform previous_platform_;
};

using Lines = std::vector<std::string>;

TEST_F(DlgTableTest, OpenRebuildHideAndDestroyKeepTheirSlots) {
  auto& rows = dlg_rows();
  rows.push_back({"z_d_wall", DlgAct::OPEN, DLG_WALL, build});
  rows.push_back({"z_c_wall", DlgAct::HIDE, DLG_WALL});
  rows.push_back({"z_d_textsize", DlgAct::REBUILD, DLG_TEXTSIZE, build});
  rows.push_back({"z_c_textsize", DlgAct::DESTROY, DLG_TEXTSIZE});
  rows.push_back({"z_d_mat", DlgAct::OPEN, DLG_MAT, build});
  rows.push_back({"z_c_mat", DlgAct::DESTROY, DLG_MAT});

  // A close key before its dialog was built changes nothing.
  EXPECT_EQ(did("z_c_wall"), Lines{});
  EXPECT_EQ(did("z_c_textsize"), Lines{});

  // Built once, raised again, hidden with its values, raised again.
  EXPECT_EQ(did("z_d_wall"), (Lines{"build w1", "watch w1", "present w1"}));
  EXPECT_EQ(did("z_d_wall"), Lines{"present w1"});
  EXPECT_EQ(did("z_c_wall"), Lines{"hide w1"});
  EXPECT_EQ(did("z_d_wall"), Lines{"present w1"});

  // Rebuilt on every opening.
  EXPECT_EQ(did("z_d_textsize"), (Lines{"build w2", "watch w2", "present w2"}));
  EXPECT_EQ(did("z_d_textsize"), (Lines{"destroy w2", "build w3", "watch w3", "present w3"}));
  EXPECT_EQ(did("z_c_textsize"), Lines{"destroy w3"});
  EXPECT_EQ(dlg_slots[DLG_TEXTSIZE], nullptr);

  // Destroyed on closing, so the next opening builds from the current values.
  EXPECT_EQ(did("z_d_mat"), (Lines{"build w4", "watch w4", "present w4"}));
  EXPECT_EQ(did("z_c_mat"), Lines{"destroy w4"});
  EXPECT_EQ(did("z_d_mat"), (Lines{"build w5", "watch w5", "present w5"}));

  EXPECT_EQ(did("z_d_no_such_dialog"), Lines{});
}

TEST_F(DlgTableTest, SpecialsRunAfterTheActionAndTheFirstRowWins) {
  Lines order;
  auto& rows = dlg_rows();
  rows.insert(rows.begin(),
              {"z_c_gauge", DlgAct::RUN, DLG_COUNT, nullptr, [&order] { order.push_back("first"); }});
  rows.push_back({"z_d_layer", DlgAct::OPEN, DLG_LAYER, build,
                  [&order] { order.push_back("refill " + widget_name(dlg_slots[DLG_LAYER])); }});
  // A row whose work changes the table.
  rows.push_back({"z_c_layer", DlgAct::HIDE, DLG_LAYER, nullptr, [] { dlg_rows().clear(); }});

  run("z_c_gauge");
  EXPECT_EQ(order, Lines{"first"});
  EXPECT_EQ(did("z_d_layer"), (Lines{"build w1", "watch w1", "present w1"}));
  EXPECT_EQ(order, (Lines{"first", "refill w1"}));
  EXPECT_EQ(did("z_c_layer"), Lines{"hide w1"});
  EXPECT_TRUE(dlg_rows().empty());
}

TEST_F(DlgTableTest, ShippedRowsCloseTheirBoxes) {
  struct Close {
    const char* key;
    DlgId slot;
    const char* action;
  };
  const Close closes[] = {
      {"z_c_gauge", DLG_GAUGE, "hide"},
      {"z_c_error", DLG_ERROR, "hide"},
      {"z_c_about", DLG_ABOUT, "hide"},
  };
  for (const Close& c : closes) {
    dlg_store(c.slot, build());
    std::string widget = widget_name(dlg_slots[c.slot]);
    EXPECT_EQ(did(c.key), Lines{std::string(c.action) + " " + widget}) << c.key;
  }

  std::set<std::string> keys;
  for (const DlgRow& r : dlg_rows()) {
    EXPECT_TRUE(keys.insert(r.key).second) << "two rows for " << r.key;
    EXPECT_TRUE(cmd_key_only_ends_wait(r.key)) << r.key << " would also be dispatched";
    if (r.action == DlgAct::OPEN || r.action == DlgAct::REBUILD) {
      EXPECT_NE(r.build, nullptr) << r.key;
    }
    if (r.action == DlgAct::RUN) {
      EXPECT_TRUE(bool(r.then)) << r.key;
    }
  }
}

// Owners add their rows more than once (a builder at every build): a key
// keeps one row, the latest, in its place; a new key comes last.
TEST_F(DlgTableTest, SettingARowReplacesTheRowOfItsKey) {
  const std::size_t shipped = dlg_rows().size();
  Lines order;
  dlg_row_set({"z_c_snap", DlgAct::RUN, DLG_SNAP, nullptr, [&order] { order.push_back("first"); }});
  dlg_row_set({"z_c_snap", DlgAct::RUN, DLG_SNAP, nullptr, [&order] { order.push_back("second"); }});
  ASSERT_EQ(dlg_rows().size(), shipped + 1);
  EXPECT_STREQ(dlg_rows().back().key, "z_c_snap");
  run("z_c_snap");
  EXPECT_EQ(order, Lines{"second"});

  dlg_row_set({"z_c_gauge", DlgAct::DESTROY, DLG_GAUGE});
  ASSERT_EQ(dlg_rows().size(), shipped + 1);
  EXPECT_STREQ(dlg_rows().front().key, "z_c_gauge");
  dlg_store(DLG_GAUGE, build());
  EXPECT_EQ(did("z_c_gauge"), Lines{"destroy w1"});
}

TEST_F(DlgTableTest, DestroyAndPresentTolerateEmptySlots) {
  void* slot = nullptr;
  dlg_destroy(&slot);
  dlg_destroy(nullptr);
  dlg_present(nullptr);
  gui_widget_hide(nullptr);
  EXPECT_EQ(log_lines, Lines{});

  slot = build();
  log_lines.clear();
  dlg_destroy(&slot);
  EXPECT_EQ(log_lines, Lines{"destroy w1"});
  EXPECT_EQ(slot, nullptr);
}

// A button's key opens its dialog before anyone reads the key, and the key
// still ends the wait.
TEST_F(DlgTableTest, PostedKeysPassTheDialogDispatchFirst) {
  dlg_rows().push_back({"z_d_snap", DlgAct::OPEN, DLG_SNAP, build});
  script.key("z_d_snap");
  std::string key;
  try {
    key = cmd_wait_key();
  } catch (const WaitScriptDry& e) {
    ADD_FAILURE() << e.what();
  }
  EXPECT_EQ(key, "z_d_snap");
  EXPECT_EQ(log_lines, (Lines{"build w1", "watch w1", "present w1"}));
}

TEST(DlgTable, NamesCoverEverySlot) {
  std::set<std::string> names;
  for (int id = 0; id < DLG_COUNT; ++id)
    EXPECT_TRUE(names.insert(dlg_name(static_cast<DlgId>(id))).second) << id;
  EXPECT_EQ(DLG_FONT_CHANGE_COUNT, 35);
  EXPECT_STREQ(dlg_name(DLG_WINDOW), "window");
  EXPECT_STREQ(dlg_name(DLG_LAYERENTRY), "layerentry");
}

}  // namespace
