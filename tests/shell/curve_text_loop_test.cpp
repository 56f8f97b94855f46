// Curves and texts through the command loop: the tools' keys, points,
// values and answers, the separate editor's Apply arriving while a tool
// waits, saving and undo; the saved files read back through the chunk dump.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "display/font.h"
#include "display/input.h"
#include "model/settings.h"
#include "programs/kavdump.h"
#include "shell_fixture.h"
#include "support/temp_folder.h"

namespace {

class CurveTextLoopTest : public LoopWithViewTest {
 protected:
  void SetUp() override {
    LoopWithViewTest::SetUp();
    font_stroke_dir = std::string(KAVRO_STAGE_DIR) + "/dat/fonts";
  }
  void TearDown() override {
    font_slots_clear();
    LoopWithViewTest::TearDown();
  }
  // The dump lines of a saved file whose chunk tag is tag.
  static std::vector<std::string> chunks(const std::filesystem::path& file, const std::string& tag) {
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    EXPECT_FALSE(bytes.empty()) << file;
    std::istringstream dump(kavdump(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()));
    std::vector<std::string> out;
    for (std::string line; std::getline(dump, line);)
      if (line.rfind(tag + " ", 0) == 0) out.push_back(line);
    return out;
  }

  TempFolder dir;
};

TEST_F(CurveTextLoopTest, CircleDissolvedSplineAndLabelSavedThenUndone) {
  const std::string drawn = dir / "drawn.kav", undone = dir / "undone.kav";
  ui.paths = {drawn, undone};
  ui.answers = {1};
  script.key("b_circle_circle", &button_circle).click_world(1, 0, 0).key("z_enter").value("3");
  script.key("b_circle_spline", &button_circle).click_world(1, 10, 0).click_world(1, 40, 0);
  script.click_world(1, 15, 20).click_world(1, 35, 20).key("z_enter");
  script.key("b_circle_splinedissolve", &button_circle).click_world(1, 19, 15.2);
  script.key("b_text_x", &button_line).click_world(1, -5, -5).key("z_enter").value("Kreis");
  script.key("p_nop").key("p_file_save").key("p_undo").key("p_undo").key("p_file_save").key("p_file_quit");
  run_loop();

  ASSERT_EQ(chunks(drawn, "CIRC").size(), 1u);
  EXPECT_NE(chunks(drawn, "CIRC")[0].find(" radius_x=3 radius_y=3 "), std::string::npos)
      << chunks(drawn, "CIRC")[0];
  EXPECT_TRUE(chunks(drawn, "SPLI").empty());
  EXPECT_GE(chunks(drawn, "LINE").size(), 12u);
  ASSERT_EQ(chunks(drawn, "TEX2").size(), 1u);
  EXPECT_NE(chunks(drawn, "TEX2")[0].find("\"Kreis\""), std::string::npos) << chunks(drawn, "TEX2")[0];

  EXPECT_EQ(chunks(undone, "CIRC").size(), 1u);
  EXPECT_EQ(chunks(undone, "SPLI").size(), 1u);
  EXPECT_TRUE(chunks(undone, "LINE").empty());
  EXPECT_TRUE(chunks(undone, "TEX2").empty());
}

TEST_F(CurveTextLoopTest, TheEditorsApplyWhileTheToolWaitsMakesTheText) {
  text_use_editor[1] = 1;
  const std::string file = dir / "editor.kav";
  ui.paths = {file};
  ui.editor_texts = {"zwei\nZeilen \xe4"};
  script.key("b_text_x", &button_line).click_world(1, 3, 4).key("z_enter");
  // The editor's Apply, while the tool asks for the next start point.
  script.key("z_c_textedit_apply");
  script.key("p_nop").key("p_file_save").key("p_file_quit");
  run_loop();

  EXPECT_EQ(ui.calls_starting("text_editor"), (std::vector<std::string>{"text_editor ", "text_editor_get"}));
  const auto texts = chunks(file, "TEX2");
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_NE(texts[0].find(" pos.x=3 pos.y=4 "), std::string::npos) << texts[0];
  EXPECT_NE(texts[0].find("\"zwei\\x0aZeilen \\xe4\""), std::string::npos) << texts[0];
}

TEST_F(CurveTextLoopTest, TheEditorsCancelPutsAChangedTextBack) {
  elem_new_text(0, 0, 0, 2, 2, 0, 25, 1, 0.1, 1.5, "eins\nzwei", 0, "Simpel", TEXT_LEFT);
  elem_list_tail->group = 4;
  const std::string file = dir / "cancel.kav";
  ui.paths = {file};
  script.key("b_text_alter_content", &button_line).click_world(1, 3, 2.5);
  script.key("z_c_textedit_cancel").key("p_nop").key("p_file_save").key("p_file_quit");
  run_loop();
  const auto texts = chunks(file, "TEX2");
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_NE(texts[0].find(" group=4 "), std::string::npos) << texts[0];
  EXPECT_NE(texts[0].find("\"eins\\x0azwei\""), std::string::npos) << texts[0];
}

}  // namespace
