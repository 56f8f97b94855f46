// The cut and join tools through the command loop: the tool keys, the
// picks, the selection, saving, undo; another tool's key in the middle of
// the selection starts that tool. The saved files are read back through the
// chunk dump.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "programs/kavdump.h"
#include "shell_fixture.h"
#include "support/temp_folder.h"

namespace {

using Lines = std::vector<std::string>;

class TrimToolsLoopTest : public LoopWithViewTest {
 protected:
  // The LINE chunks of a saved file, from "pen=" on.
  static Lines line_chunks(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    EXPECT_FALSE(bytes.empty()) << file;
    std::istringstream dump(kavdump(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()));
    Lines out;
    for (std::string line; std::getline(dump, line);)
      if (line.rfind("LINE ", 0) == 0) out.push_back(line.substr(line.find("pen=")));
    return out;
  }

  TempFolder dir;
};

TEST_F(TrimToolsLoopTest, CutSaveUndoSaveLeavesNoGuideLine) {
  elem_new_line(0, 3, 0, 0, 0, 10, 0);
  elem_new_line(0, 3, 0, 0, 2, 5, 2);
  elem_new_line(0, 1, 0, 5, -10, 5, 10);
  const std::string cut = dir / "cut.kav", undone = dir / "undone.kav";
  ui.paths = {cut, undone};
  script.key("b_line_cut", &button_line).click_world(1, 5, 7).key("s_deffi_all").key("s_deffi_ok");
  script.key("p_nop").key("p_file_save").key("p_undo").key("p_file_save").key("p_file_quit");
  run_loop();

  EXPECT_EQ(line_chunks(cut), (Lines{"pen=3 line_type=0 p1.x=0 p1.y=0 p2.x=5 p2.y=0",
                                     "pen=3 line_type=0 p1.x=0 p1.y=2 p2.x=5 p2.y=2",
                                     "pen=1 line_type=0 p1.x=5 p1.y=-10 p2.x=5 p2.y=10",
                                     "pen=3 line_type=0 p1.x=5 p1.y=0 p2.x=10 p2.y=0"}));
  const Lines after_undo = line_chunks(undone);
  ASSERT_EQ(after_undo.size(), 3u);
  EXPECT_NE(std::find(after_undo.begin(), after_undo.end(), "pen=3 line_type=0 p1.x=0 p1.y=0 p2.x=10 p2.y=0"),
            after_undo.end());
}

TEST_F(TrimToolsLoopTest, AnotherToolsKeyDuringTheCutSelectionStartsThatTool) {
  elem_new_line(0, 0, 0, 0, 0, 10, 0);
  elem_new_line(0, 0, 0, 5, -10, 5, 10);
  const std::string file = dir / "after.kav";
  ui.paths = {file};
  script.key("b_line_cut", &button_line).click_world(1, 5, 7).key("b_line_line", &button_line);
  script.key("z_abs").value("20;20").key("z_abs").value("21;20").key("z_enter");
  script.key("p_nop").key("p_file_save").key("p_file_quit");
  run_loop();

  const Lines saved = line_chunks(file);
  ASSERT_EQ(saved.size(), 3u);
  EXPECT_NE(saved[2].find("p1.x=20 p1.y=20 p2.x=21 p2.y=20"), std::string::npos) << saved[2];
  for (const std::string& l : saved) EXPECT_EQ(l.find("pen=99"), std::string::npos) << l;
}

}  // namespace
