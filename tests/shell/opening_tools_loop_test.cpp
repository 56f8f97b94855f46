// The opening tools through the command loop: their keys start them, the
// saved drawing holds the openings they made, read back through the chunk
// dump.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "model/presets.h"
#include "model/settings.h"
#include "programs/kavdump.h"
#include "shell_fixture.h"
#include "support/temp_folder.h"

namespace {

class OpeningToolLoopTest : public LoopWithViewTest {
 protected:
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

TEST_F(OpeningToolLoopTest, ADoorAndAWindowPlacedTheWindowRemovedAndSaved) {
  door_preset.symbol_variant = 1;
  door_preset.base = 0.0;
  door_preset.height = 2.01;
  window_preset.symbol_variant = 2;
  door_width_fixed = window_width_fixed = 1;
  door_width = 1.01;
  window_width = 1.5;
  const std::string file = dir / "openings.kav";
  ui.paths = {file};
  script.key("b_wall_axis", &button_line).key("z_abs").value("0;0").key("z_abs").value("8;0").key("z_enter");
  script.key("b_opening_door", &button_line).click_world(1, 4, 0).click_world(1, 1, 0).key("z_enter");
  script.click_world(1, 3, 0).click_world(1, 3, -1).click_world(1, 1.9, -0.6).key("p_nop");
  script.key("b_opening_window", &button_line).click_world(1, 4, 0).click_world(1, 5, 0).key("z_enter");
  script.click_world(1, 7, 0).click_world(1, 6, 1).key("p_nop");
  script.key("b_opening_remove", &button_line).click_world(1, 5.5, 0).key("p_nop");
  script.key("p_file_save").key("p_file_quit");
  run_loop();
  const auto saved = wall_chunks(file);
  ASSERT_EQ(saved.size(), 1u);
  EXPECT_NE(saved[0].find(" openings=1["), std::string::npos) << saved[0];
  // The door from the start point by the fixed width, its leaf at the
  // box's corner 1 on the outer side; the sill and height of the door preset.
  EXPECT_NE(saved[0].find("{corner[0].x=1 corner[0].y=-0.1825 corner[0].z=0 corner[1].x=2.01 "),
            std::string::npos)
      << saved[0];
  EXPECT_NE(saved[0].find(" kind=2 symbol_style=1 leaf_quadrant=3 sill=0 height=2.01 "), std::string::npos)
      << saved[0];
}

}  // namespace
