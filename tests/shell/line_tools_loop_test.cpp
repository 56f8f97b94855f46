// The road of one request through the command loop: the line tool's key,
// the points, Escape, saving the drawing, undo and saving again; the saved
// files are read back through the chunk dump.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "display/input.h"
#include "display/view.h"
#include "model/view_rec.h"
#include "programs/kavdump.h"
#include "shell_fixture.h"
#include "support/temp_folder.h"

namespace {

using Lines = std::vector<std::string>;

class LineToolLoopTest : public LoopWithViewTest {
 protected:
  // The LINE chunks of a saved file, one dump line each.
  static std::vector<std::string> line_chunks(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    EXPECT_FALSE(bytes.empty()) << file;
    std::istringstream dump(kavdump(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()));
    std::vector<std::string> out;
    for (std::string line; std::getline(dump, line);)
      if (line.rfind("LINE ", 0) == 0) out.push_back(line);
    return out;
  }

  TempFolder dir;
};

TEST_F(LineToolLoopTest, DrawSaveUndoSave) {
  cur_pen = 4;
  cur_line_type = 6;
  const std::string first = dir / "line.kav", second = dir / "undone.kav";
  ui.paths = {first, second};
  script.key("b_line_line", &button_line);
  script.key("z_abs").value("0;0").key("z_abs").value("3;4").key("z_enter");
  script.key("p_nop").key("p_file_save").key("p_undo").key("p_file_save").key("p_file_quit");
  run_loop();

  const auto saved = line_chunks(first);
  ASSERT_EQ(saved.size(), 1u);
  EXPECT_NE(saved[0].find(" layer=0 group=0 pen=4 line_type=6 p1.x=0 p1.y=0 p2.x=3 p2.y=4"),
            std::string::npos)
      << saved[0];
  EXPECT_TRUE(line_chunks(second).empty());
  // Escape let the tool's button go and brought the loop back.
  EXPECT_EQ(button_log(), (Lines{"line off b_line_line"}));
  EXPECT_EQ(active_b_button.widget, nullptr);
  const auto prompts = ui.calls_starting("prompt ");
  EXPECT_EQ(std::count(prompts.begin(), prompts.end(), "prompt Start point:"), 2);
  EXPECT_EQ(prompts.back(), "prompt Select function:");
}

TEST_F(LineToolLoopTest, GuideModeSavesTheGuidePen) {
  guide_mode = 1;
  const std::string file = dir / "guide.kav";
  ui.paths = {file};
  script.key("b_line_polygon", &button_line).value("3").click_world(1, 0, 0).click_world(1, 5, 0);
  script.key("z_enter").key("p_file_save").key("p_file_quit");
  run_loop();
  const auto saved = line_chunks(file);
  ASSERT_EQ(saved.size(), 3u);
  for (const std::string& line : saved) EXPECT_NE(line.find(" pen=99 "), std::string::npos) << line;
  // The save key ended the tool before it ran.
  EXPECT_EQ(button_log(), (Lines{"line off b_line_polygon"}));
}

}  // namespace
