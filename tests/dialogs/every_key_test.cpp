// Every key the interface can post reaches a handler: the keys of the menus,
// the tool pages and the keyboard, and the whole vocabulary of the five
// dispatchers and the dialog dispatch. Only the keys that end a wait and
// are never run are left without one.

#include <gdk/gdkkeysyms.h>

#include <algorithm>
#include <iostream>
#include <set>
#include <string>

#include "dialog_fixture.h"
#include "shell/cmd_dispatch.h"
#include "shell/cmd_keys.h"
#include "shell/fontchange.h"
#include "shell/gtk/keymap.h"
#include "shell/mainwin_tables.h"

namespace {

class EveryKey : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    // The start-up adds the font dialog's row beside the others.
    gui_font_add_rows();
  }
  static bool has_dialog_row(const std::string& key) {
    const std::vector<DlgRow>& rows = dlg_rows();
    return std::any_of(rows.begin(), rows.end(), [&](const DlgRow& r) { return key == r.key; });
  }
  // Whether a posted key reaches a handler, or is one that only ends a wait.
  static bool handled(const std::string& key) {
    if (cmd_key_is_dialog(key.c_str())) return has_dialog_row(key);
    return cmd_key_has_row(key.c_str()) || has_dialog_row(key) || cmd_key_only_ends_wait(key.c_str());
  }

  // The keys a menu item, a tool page's button or a key press posts.
  static std::set<std::string> interface_keys() {
    std::set<std::string> keys;
    for (const MenuItem& m : mainwin_menu_items())
      if (m.kind == MenuKind::ITEM && m.key) keys.insert(m.key);
    for (const ToolPage& page : mainwin_tool_pages())
      for (const PageItem& item : page.items)
        if ((item.kind == ItemKind::BUTTON || item.kind == ItemKind::PICTURE ||
             item.kind == ItemKind::SIZE) &&
            item.key && *item.key)
          keys.insert(item.key);
    const unsigned states[] = {0, KEYMAP_SHIFT, KEYMAP_CONTROL, KEYMAP_CONTROL | KEYMAP_SHIFT};
    auto press = [&](uint32_t keyval) {
      for (unsigned s : states)
        for (bool snap : {false, true})
          for (bool idle : {false, true}) {
            const KeyAction a = keymap_action(keyval, s, snap, idle, false);
            if (a.kind == KeyActKind::POST && a.text) keys.insert(a.text);
          }
    };
    for (uint32_t k = 0x20; k < 0x7f; ++k) press(k);
    for (uint32_t k = GDK_KEY_F1; k <= GDK_KEY_F12; ++k) press(k);
    for (uint32_t k = GDK_KEY_KP_0; k <= GDK_KEY_KP_9; ++k) press(k);
    for (uint32_t k :
         {GDK_KEY_KP_Home,     GDK_KEY_KP_End,      GDK_KEY_KP_Up,        GDK_KEY_KP_Down,   GDK_KEY_KP_Left,
          GDK_KEY_KP_Right,    GDK_KEY_KP_Page_Up,  GDK_KEY_KP_Page_Down, GDK_KEY_KP_Begin,  GDK_KEY_Up,
          GDK_KEY_Down,        GDK_KEY_Left,        GDK_KEY_Right,        GDK_KEY_Return,    GDK_KEY_KP_Enter,
          GDK_KEY_Escape,      GDK_KEY_Delete,      GDK_KEY_BackSpace,    GDK_KEY_Tab,       GDK_KEY_Insert,
          GDK_KEY_Home,        GDK_KEY_End,         GDK_KEY_Page_Up,      GDK_KEY_Page_Down, GDK_KEY_KP_Add,
          GDK_KEY_KP_Subtract, GDK_KEY_KP_Multiply, GDK_KEY_KP_Divide,    GDK_KEY_KP_Decimal})
      press(k);
    return keys;
  }
};

TEST_F(EveryKey, EveryPostedKeyHasAHandler) {
  const std::set<std::string> keys = interface_keys();
  ASSERT_GT(keys.size(), 200u);
  std::vector<std::string> missing;
  for (const std::string& k : keys)
    if (!handled(k)) missing.push_back(k);
  // Standard output is captured by the fixture; the list goes to the error stream.
  if (!missing.empty()) std::cerr << "posted but not handled: " << ::testing::PrintToString(missing) << "\n";
  EXPECT_TRUE(missing.empty());
}

TEST_F(EveryKey, EveryKeyOfTheVocabularyHasAHandler) {
  std::vector<std::string> missing;
  for (char family : {'p', 'b', 'f', 's', 'z'})
    for (const char* k : cmd_keys(family))
      if (!handled(k)) missing.push_back(k);
  for (const char* k : cmd_keys_dialog())
    if (!handled(k)) missing.push_back(k);
  if (!missing.empty()) std::cerr << "no handler: " << ::testing::PrintToString(missing) << "\n";
  EXPECT_TRUE(missing.empty());
}

// Posting a key runs its handler: none of them says "no handler" (the keys
// that open windows are posted and the windows closed again).
TEST_F(EveryKey, PostingTheDialogKeysPrintsNoNoHandlerLine) {
  stdout_text();
  for (const char* k : cmd_keys_dialog()) {
    if (std::string(k).rfind("z_d_", 0) != 0) continue;
    cmd_post_key(nullptr, k);
    settle();
  }
  for (int id = 0; id < DLG_COUNT; ++id) dlg_destroy(static_cast<DlgId>(id));
  settle();
  const std::string out = stdout_text();
  if (out.find("no handler") != std::string::npos) std::cerr << out;
  EXPECT_EQ(out.find("no handler"), std::string::npos);
}

}  // namespace
