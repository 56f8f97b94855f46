// The keyboard mapping: every step of the mapping as one table, then what
// running an action does inside a wait.

#include "shell/gtk/keymap.h"

#include <gdk/gdkkeysyms.h>

#include <set>
#include <string>
#include <vector>

#include "display/key_state.h"
#include "display/view_commands.h"
#include "model/settings.h"
#include "model/view_rec.h"
#include "shell/cmd_keys.h"
#include "shell/dlg_table.h"
#include "shell/shell_platform.h"
#include "shell_fixture.h"

namespace {

constexpr unsigned SHIFT = KEYMAP_SHIFT, CONTROL = KEYMAP_CONTROL, LOCK = KEYMAP_LOCK;
constexpr unsigned NUMLOCK = 1u << 4;  // Mod2
constexpr unsigned ALT = 1u << 3;      // Mod1

std::string describe(const KeyAction& a) {
  if (a.propagate) return "to entry";
  std::string focus = a.focus_view ? " focus" : "";
  switch (a.kind) {
    case KeyActKind::NONE:
      return "none";
    case KeyActKind::POST:
      return std::string("post ") + a.text + focus + (a.show_coordinates ? " coords" : "") +
             (a.close_entry ? " close" : "");
    case KeyActKind::PAGE:
      return std::string("page ") + a.text;
    case KeyActKind::PAN:
      return "pan " + std::to_string(a.dx) + " " + std::to_string(a.dy);
    case KeyActKind::FIT:
      return "fit";
    case KeyActKind::PEN:
      return "pen " + (a.pen < 0 ? std::string("-") : std::to_string(a.pen)) + " line " +
             (a.line_type < 0 ? std::string("-") : std::to_string(a.line_type));
    case KeyActKind::LAYERS:
      return "layers";
  }
  return "?";
}

struct Case {
  unsigned keyval;
  unsigned state;
  const char* expected;
  bool snap = false;   // a point step waits
  bool idle = true;    // no selection runs
  bool entry = false;  // the value entry is open
};

TEST(Keymap, EveryStepInOrder) {
  const Case cases[] = {
      // The open entry takes every key, pen keys included, but Escape,
      // which closes it.
      {GDK_KEY_5, 0, "to entry", false, true, true},
      {GDK_KEY_Escape, 0, "post z_eesc focus close", true, true, true},
      {GDK_KEY_Escape, 0, "post z_eesc focus close", false, false, true},
      {GDK_KEY_Return, 0, "to entry", true, true, true},
      {GDK_KEY_a, 0, "to entry", true, true, true},
      {GDK_KEY_F3, CONTROL, "to entry", false, true, true},
      // Control alone: only F1..F8 set the pen; Lock and Num Lock do not count.
      {GDK_KEY_F3, CONTROL, "pen 2 line -"},
      {GDK_KEY_F8, CONTROL | LOCK | NUMLOCK, "pen 7 line -"},
      {GDK_KEY_F1, CONTROL, "pen 0 line -"},
      {GDK_KEY_u, CONTROL, "none"},
      {GDK_KEY_u, CONTROL | NUMLOCK, "none"},
      {GDK_KEY_d, CONTROL, "none", true},
      {GDK_KEY_Return, CONTROL, "none"},
      {GDK_KEY_F9, CONTROL, "none"},
      // View memory.
      {GDK_KEY_M, SHIFT, "post z_def"},
      {GDK_KEY_R, SHIFT, "post s_back"},
      // Snap letters while a point step waits, else i and m do nothing and
      // d and t switch pages.
      {GDK_KEY_i, 0, "post z_snap_i", true},
      {GDK_KEY_m, 0, "post z_snap_m", true},
      {GDK_KEY_d, 0, "post z_snap_d", true},
      {GDK_KEY_t, 0, "post z_snap_t", true},
      {GDK_KEY_i, 0, "none"},
      {GDK_KEY_m, 0, "none"},
      {GDK_KEY_d, 0, "page dim"},
      {GDK_KEY_t, 0, "page text"},
      {GDK_KEY_D, SHIFT, "page dim", true},
      {GDK_KEY_M, SHIFT, "post z_def", true},
      // Enter, Tab, Escape take the focus to the drawing first.
      {GDK_KEY_Return, 0, "post z_enter focus"},
      {GDK_KEY_KP_Enter, NUMLOCK, "post z_enter focus"},
      {GDK_KEY_Tab, 0, "post z_enter focus"},
      {GDK_KEY_Tab, 0, "post s_deffi_ok focus", false, false},
      {GDK_KEY_Escape, 0, "post p_nop focus"},
      // The Layers dialog.
      {GDK_KEY_asterisk, SHIFT, "layers"},
      {GDK_KEY_KP_Multiply, 0, "layers"},
      // Axis keys.
      {GDK_KEY_x, 0, "post z_cx"},
      {GDK_KEY_X, SHIFT, "post z_cx"},
      {GDK_KEY_y, 0, "post z_cy"},
      {GDK_KEY_Y, SHIFT, "post z_cy"},
      {GDK_KEY_z, 0, "post z_cz"},
      {GDK_KEY_Z, SHIFT, "post z_cz"},
      {GDK_KEY_a, 0, "post z_abs"},
      {GDK_KEY_A, SHIFT, "post z_abs"},
      // Keypad with and without Num Lock, and the digit keys: pan or fit.
      {GDK_KEY_KP_1, NUMLOCK, "pan -1 -1"},
      {GDK_KEY_KP_End, 0, "pan -1 -1"},
      {GDK_KEY_1, 0, "pan -1 -1"},
      {GDK_KEY_KP_2, NUMLOCK, "pan 0 -1"},
      {GDK_KEY_KP_Down, 0, "pan 0 -1"},
      {GDK_KEY_KP_Next, 0, "pan 1 -1"},
      {GDK_KEY_3, 0, "pan 1 -1"},
      {GDK_KEY_KP_Left, 0, "pan -1 0"},
      {GDK_KEY_KP_5, NUMLOCK, "fit"},
      {GDK_KEY_KP_Begin, 0, "fit"},
      {GDK_KEY_5, 0, "fit", true},
      {GDK_KEY_KP_Right, 0, "pan 1 0"},
      {GDK_KEY_6, 0, "pan 1 0"},
      {GDK_KEY_KP_Home, 0, "pan -1 1"},
      {GDK_KEY_KP_8, NUMLOCK, "pan 0 1"},
      {GDK_KEY_KP_Up, 0, "pan 0 1"},
      {GDK_KEY_KP_Prior, 0, "pan 1 1"},
      {GDK_KEY_9, 0, "pan 1 1"},
      {GDK_KEY_0, 0, "none"},
      {GDK_KEY_KP_0, NUMLOCK, "none"},
      // Gauge, arrows, space, undo and the guide.
      {GDK_KEY_slash, 0, "post b_gauge"},
      {GDK_KEY_KP_Divide, 0, "post b_gauge"},
      {GDK_KEY_Up, 0, "post z_cup"},
      {GDK_KEY_Down, 0, "post z_cdown"},
      {GDK_KEY_Left, 0, "post z_cleft"},
      {GDK_KEY_Right, 0, "post z_cright"},
      {GDK_KEY_space, 0, "post z_space coords"},
      {GDK_KEY_u, 0, "post p_undo"},
      {GDK_KEY_u, NUMLOCK, "post p_undo"},
      {GDK_KEY_U, SHIFT, "post z_help_guide"},
      // Scale keys.
      {GDK_KEY_minus, 0, "post s_maminus"},
      {GDK_KEY_KP_Subtract, 0, "post s_maminus"},
      {GDK_KEY_plus, SHIFT, "post s_maplus"},
      {GDK_KEY_KP_Add, 0, "post s_maplus"},
      // Function keys: delete, guide (F1 alone), nothing.
      {GDK_KEY_F9, 0, "post b_edit_delete"},
      {GDK_KEY_F1, 0, "post z_help_guide"},
      {GDK_KEY_F1, SHIFT, "pen - line 0"},
      {GDK_KEY_F1, CONTROL | SHIFT, "pen 0 line 0"},
      {GDK_KEY_F12, 0, "post z_pnull"},
      // Tool page letters; "r" is the room page, "R" went back above.
      {GDK_KEY_e, 0, "page edit"},
      {GDK_KEY_E, LOCK, "page edit"},
      {GDK_KEY_l, 0, "page line"},
      {GDK_KEY_L, SHIFT, "page line"},
      {GDK_KEY_c, 0, "page circle"},
      {GDK_KEY_C, SHIFT, "page circle"},
      {GDK_KEY_T, SHIFT, "page text"},
      {GDK_KEY_p, 0, "page pattern"},
      {GDK_KEY_P, SHIFT, "page pattern"},
      {GDK_KEY_w, 0, "page wall"},
      {GDK_KEY_W, SHIFT, "page wall"},
      {GDK_KEY_s, 0, "page symbol"},
      {GDK_KEY_S, SHIFT, "page symbol"},
      {GDK_KEY_r, 0, "page room"},
      {GDK_KEY_o, 0, "page opening"},
      {GDK_KEY_O, SHIFT, "page opening"},
      {GDK_KEY_h, 0, "page 3d"},
      {GDK_KEY_H, SHIFT, "page 3d"},
      {GDK_KEY_b, 0, "page unit"},
      {GDK_KEY_B, SHIFT, "page unit"},
      // Shift (and Control with Shift) with F1..F8.
      {GDK_KEY_F3, SHIFT, "pen - line 2"},
      {GDK_KEY_F3, CONTROL | SHIFT, "pen 2 line 2"},
      {GDK_KEY_F8, SHIFT | NUMLOCK, "pen - line 7"},
      {GDK_KEY_F3, 0, "none"},
      {GDK_KEY_F3, ALT, "none"},
      // Everything else.
      {GDK_KEY_q, 0, "none"},
      {GDK_KEY_Q, SHIFT, "none"},
      {GDK_KEY_F10, 0, "none"},
      {GDK_KEY_BackSpace, 0, "none"},
  };
  for (const Case& c : cases) {
    std::string got = describe(keymap_action(c.keyval, c.state, c.snap, c.idle, c.entry));
    std::string expected = c.expected;
    EXPECT_EQ(got, expected) << "key 0x" << std::hex << c.keyval << " state 0x" << c.state << " snap "
                             << c.snap << " idle " << c.idle;
  }
}

// Every key the map can post is a key of a dispatcher or one that only ends
// a wait, in every state the map distinguishes.
TEST(Keymap, EveryPostedKeyIsKnown) {
  std::set<std::string> posted;
  for (unsigned k = 0; k <= 0xffff; ++k) {
    for (unsigned s : {0u, SHIFT, CONTROL, CONTROL | SHIFT}) {
      for (bool snap : {false, true}) {
        for (bool idle : {false, true}) {
          KeyAction a = keymap_action(k, s, snap, idle, false);
          if (a.kind == KeyActKind::POST) posted.insert(a.text);
        }
      }
    }
  }
  EXPECT_EQ(posted.size(), 25u);
  for (const std::string& key : posted)
    EXPECT_TRUE(cmd_key_known(key.c_str()) || cmd_key_only_ends_wait(key.c_str())) << key;
}

// The main window's side, recorded.
std::vector<std::string> hook_log;

// The main view is drawn off screen: panning and fitting show in its window.
class KeymapRunTest : public LoopWithViewTest {
 protected:
  void SetUp() override {
    LoopWithViewTest::SetUp();
    hook_log.clear();
    ShellPlatform p = shell_platform();
    p.mainwin_show_tool_page = [](const char* name) { hook_log.push_back(std::string("page ") + name); };
    p.mainwin_refresh_pen_menus = [] { hook_log.push_back("pen menus"); };
    p.mainwin_refresh_linetype_menus = [] { hook_log.push_back("line menus"); };
    previous_platform_ = shell_platform_install(p);
    ScriptTargets t;
    t.key_press = keymap_script_press;
    previous_targets_ = script_targets_install(t);
    saved_dlg_rows_ = dlg_rows();
    value_entry_open = 0;
    snap_keys_enabled = 0;
    select_idle = 1;
  }
  void TearDown() override {
    shell_platform_install(previous_platform_);
    script_targets_install(previous_targets_);
    dlg_rows() = saved_dlg_rows_;
    value_entry_open = 0;
    snap_keys_enabled = 0;
    LoopWithViewTest::TearDown();
  }

  // The main view's world window.
  static std::vector<double> window_of_view() {
    const ViewRec& v = views[0];
    return {v.xmin, v.ymin, v.xmax, v.ymax};
  }
  static void expect_window(const std::vector<double>& actual, const std::vector<double>& expected) {
    for (std::size_t i = 0; i < 4; ++i) EXPECT_NEAR(actual[i], expected[i], 1e-9) << "edge " << i;
  }

  // One wait of a running tool: the key that ended it.
  std::string wait_for_key() {
    try {
      return cmd_wait_key();
    } catch (const WaitScriptDry& e) {
      ADD_FAILURE() << e.what();
      return "";
    }
  }

  ShellPlatform previous_platform_;
  ScriptTargets previous_targets_;
  std::vector<DlgRow> saved_dlg_rows_;
};

TEST_F(KeymapRunTest, PenPanAndFitActAtOnceWithoutEndingTheWait) {
  elem_new_line(0, 0, 0, 2.0, 3.0, 12.0, 8.0);
  // The fitted window, then the view somewhere else.
  view_zoom_to_extents(0);
  const std::vector<double> fitted = window_of_view();
  view_zoom_to_window(100, 100, 140, 130);
  ASSERT_GT(window_of_view()[0], fitted[2]);
  cur_pen = 0;
  cur_line_type = 0;
  script.press("<Control>F3")
      .press("<Shift>F5")
      .press("<Control><Shift>F8")
      .press("KP_5")
      .press("KP_End")
      .press("F2");
  script.key("z_mb1");

  EXPECT_EQ(wait_for_key(), "z_mb1");
  EXPECT_EQ(cur_pen, 7);
  EXPECT_EQ(cur_line_type, 7);
  EXPECT_EQ(hook_log, (std::vector<std::string>{"pen menus", "line menus", "pen menus", "line menus"}));
  // Fitted, then moved by a quarter down and left.
  const double qx = 0.25 * (fitted[2] - fitted[0]), qy = 0.25 * (fitted[3] - fitted[1]);
  expect_window(window_of_view(), {fitted[0] - qx, fitted[1] - qy, fitted[2] - qx, fitted[3] - qy});
}

TEST_F(KeymapRunTest, PostedKeysEndTheWait) {
  struct Post {
    const char* press;
    const char* key;
    bool coordinates;  // the coordinate fields are refreshed first
  };
  const Post posts[] = {
      {"Escape", "p_nop", false},   {"Return", "z_enter", false},   {"space", "z_space", true},
      {"U", "z_help_guide", false}, {"F9", "b_edit_delete", false},
  };
  for (const Post& p : posts) {
    ui.calls.clear();
    script.press(p.press);
    EXPECT_EQ(wait_for_key(), p.key) << p.press;
    EXPECT_TRUE(hook_log.empty()) << p.press;
    EXPECT_EQ(ui.calls_starting("coord_x ").size(), p.coordinates ? 1u : 0u) << p.press;
    EXPECT_EQ(ui.calls_starting("coord_y ").size(), p.coordinates ? 1u : 0u) << p.press;
  }
  // Tab ends a running selection like its OK button.
  select_idle = 0;
  script.press("Tab");
  EXPECT_EQ(wait_for_key(), "s_deffi_ok");
}

TEST_F(KeymapRunTest, PageLetterCancelsTheWaitAndShowsThePage) {
  script.press("d");
  EXPECT_EQ(wait_for_key(), "p_nop");
  EXPECT_EQ(hook_log, std::vector<std::string>{"page dim"});

  // A page switch that posts its own key: that key stands.
  ShellPlatform p = shell_platform();
  p.mainwin_show_tool_page = [](const char*) { cmd_put_key("p_newmenue"); };
  shell_platform_install(p);
  script.press("w");
  EXPECT_EQ(wait_for_key(), "p_newmenue");

  // While a point step waits, d is the division snap.
  snap_keys_enabled = 1;
  script.press("d");
  EXPECT_EQ(wait_for_key(), "z_snap_d");
}

TEST_F(KeymapRunTest, StarOpensTheLayersDialogAndPostsItsKey) {
  std::vector<std::string> ran;
  dlg_rows().push_back({"z_d_layer", DlgAct::RUN, DLG_LAYER, nullptr, [&ran] { ran.push_back("layers"); }});
  script.press("asterisk");
  EXPECT_EQ(wait_for_key(), "z_d_layer");
  EXPECT_EQ(ran, std::vector<std::string>{"layers"});
}

TEST_F(KeymapRunTest, NothingHappensWhileTheValueEntryIsOpen) {
  const std::vector<double> before = window_of_view();
  value_entry_open = 1;
  EXPECT_FALSE(keymap_press(GDK_KEY_5, 0));
  EXPECT_FALSE(keymap_press(GDK_KEY_F3, KEYMAP_CONTROL));
  EXPECT_TRUE(hook_log.empty());
  EXPECT_EQ(window_of_view(), before);
  EXPECT_STREQ(command_key.c_str(), "nop");
  EXPECT_EQ(cur_pen, 0);

  value_entry_open = 0;
  EXPECT_TRUE(keymap_press(GDK_KEY_q, 0));  // an unmapped key is still the map's
}

// Escape is the one key the open entry does not keep: the entry goes and
// the waiting step hears of it.
TEST_F(KeymapRunTest, EscapeClosesTheOpenEntryAndPostsItsKey) {
  value_entry_open = 1;
  script.press("Escape");
  EXPECT_EQ(wait_for_key(), "z_eesc");
  EXPECT_EQ(value_entry_open, 0);
  // Closed, Escape cancels as everywhere.
  script.press("Escape");
  EXPECT_EQ(wait_for_key(), "p_nop");
}

TEST_F(KeymapRunTest, TypedValueLeavesItsTextAndPostsEini) {
  ScriptTargets t = script_targets();
  t.value = value_entry_take;
  script_targets_install(t);
  script.value("2.5;1");
  EXPECT_EQ(wait_for_key(), "z_eini");
  EXPECT_STREQ(input_text.c_str(), "2.5;1");

  script.value(std::string(300, '7').c_str());
  EXPECT_EQ(wait_for_key(), "z_eini");
  EXPECT_EQ(input_text.view(), std::string(INPUT_TEXT_LEN - 1, '7'));
}

}  // namespace
