// Edit operations and the clipboard through the command loop: the tool and
// menu keys, the selection, the points, saving the drawing, undo; the saved
// files read back through the chunk dump.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "model/settings.h"
#include "programs/kavdump.h"
#include "shell_fixture.h"
#include "support/temp_folder.h"

namespace {

using Lines = std::vector<std::string>;

class EditToolsLoopTest : public LoopWithViewTest {
 protected:
  void SetUp() override {
    LoopWithViewTest::SetUp();
    tmp_dir = dir.path().string() + "/";
  }

  // The LINE chunks of a saved file, from "p1.x=" on.
  static Lines line_points(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    EXPECT_FALSE(bytes.empty()) << file;
    std::istringstream dump(kavdump(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()));
    Lines out;
    for (std::string line; std::getline(dump, line);)
      if (line.rfind("LINE ", 0) == 0) out.push_back(line.substr(line.find("p1.x=")));
    return out;
  }

  TempFolder dir;
};

TEST_F(EditToolsLoopTest, MoveCopyAndPasteThenUndoThePaste) {
  elem_new_line(0, 0, 0, 0, 0, 1, 0);
  const std::string moved = dir / "moved.kav", pasted = dir / "pasted.kav", undone = dir / "undone.kav";
  ui.paths = {moved, pasted, undone};
  script.key("b_edit_move", &button_line).key("s_deffi_all").key("s_deffi_ok");
  script.click_world(1, 5, 5).click_world(1, 7, 5).key("z_enter").key("p_nop");
  script.key("p_file_save");
  script.key("p_symbol_copy").key("s_deffi_all").key("s_deffi_ok").click_world(1, 2, 0).key("z_enter");
  script.key("p_symbol_paste").click_world(1, 5, 5).key("z_enter").value("0");
  script.key("p_file_save").key("p_undo").key("p_file_save").key("p_file_quit");
  run_loop();

  EXPECT_EQ(line_points(moved), (Lines{"p1.x=2 p1.y=0 p2.x=3 p2.y=0"}));
  EXPECT_EQ(line_points(pasted), (Lines{"p1.x=2 p1.y=0 p2.x=3 p2.y=0", "p1.x=5 p1.y=5 p2.x=6 p2.y=5"}));
  EXPECT_EQ(line_points(undone), (Lines{"p1.x=2 p1.y=0 p2.x=3 p2.y=0"}));
  EXPECT_TRUE(std::filesystem::exists(dir / "sym.tmp"));
  EXPECT_EQ(button_log(), (Lines{"line off b_edit_move"}));
}

}  // namespace
