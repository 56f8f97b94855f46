// The wall tools through the command loop: their keys start them, Escape
// ends them, and the saved drawing holds the walls they made, read back
// through the chunk dump.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "model/presets.h"
#include "programs/kavdump.h"
#include "shell_fixture.h"
#include "support/temp_folder.h"

namespace {

using Lines = std::vector<std::string>;

class WallToolLoopTest : public LoopWithViewTest {
 protected:
  // The WALL chunks of a saved file, one dump line each.
  static std::vector<std::string> wall_chunks(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    EXPECT_FALSE(bytes.empty()) << file;
    std::istringstream dump(kavdump(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()));
    std::vector<std::string> out;
    for (std::string line; std::getline(dump, line);)
      if (line.rfind("WALL ", 0) == 0) out.push_back(line);
    return out;
  }

  TempFolder dir;
};

TEST_F(WallToolLoopTest, GuideWallsSaveTheGuidePen) {
  guide_mode = 1;
  wall_preset.pen = 4;
  const std::string file = dir / "guide.kav";
  ui.paths = {file};
  script.key("b_wall_axis", &button_line).key("z_abs").value("0;0").key("z_abs").value("5;0").key("z_enter");
  script.key("p_file_save").key("p_file_quit");
  run_loop();
  const auto saved = wall_chunks(file);
  ASSERT_EQ(saved.size(), 1u);
  EXPECT_NE(saved[0].find(" pen=99 "), std::string::npos) << saved[0];
  // The save key ended the tool.
  EXPECT_EQ(button_log(), (Lines{"line off b_wall_axis"}));
}

TEST_F(WallToolLoopTest, NoThicknessShowsTheErrorAndSavesNoWall) {
  wall_preset.thickness = 0.0;
  const std::string file = dir / "none.kav";
  ui.paths = {file};
  script.key("b_wall_axis", &button_line).key("z_abs").value("0;0").key("z_abs").value("5;0").key("z_enter");
  script.key("p_nop").key("p_file_save").key("p_file_quit");
  run_loop();
  EXPECT_TRUE(wall_chunks(file).empty());
  EXPECT_EQ(ui.calls_starting("error "), (Lines{"error Wallthickness is not defined"}));
  EXPECT_EQ(ui.calls_starting("prompt ").back(), "prompt Select function:");
}

TEST_F(WallToolLoopTest, ATJunctionConnectedThroughTheLoop) {
  const std::string file = dir / "t.kav";
  ui.paths = {file};
  script.key("b_wall_wall", &button_line).click_world(1, 0, 0).click_world(1, 10, 0.3).key("z_enter");
  script.click_world(1, 4.85, 0.3).click_world(1, 5.15, 5).key("z_enter");
  script.key("b_wall_connect", &button_line).click_world(1, 5, 3).click_world(1, 2, 0).key("p_nop");
  script.key("p_file_save").key("p_file_quit");
  run_loop();
  const auto saved = wall_chunks(file);
  ASSERT_EQ(saved.size(), 2u);
  // The wall coming in loses its start face; the other's face is split.
  EXPECT_NE(saved[0].find(" segments=3["), std::string::npos) << saved[0];
  EXPECT_NE(saved[1].find(" segments=5["), std::string::npos) << saved[1];
}

}  // namespace
