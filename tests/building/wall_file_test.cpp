// Walls made by the tools are saved and read back byte for byte: the
// drawing saved, loaded and saved again gives the same file.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "model/files/load_save.h"
#include "programs/kavdump.h"
#include "support/temp_folder.h"
#include "wall_tool_fixture.h"

namespace {

std::string file_bytes(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The dump lines of the WALL chunks of a file.
std::vector<std::string> wall_chunks(const std::string& bytes) {
  std::istringstream dump(kavdump(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()));
  std::vector<std::string> out;
  for (std::string line; std::getline(dump, line);)
    if (line.rfind("WALL ", 0) == 0) out.push_back(line);
  return out;
}

TEST_F(WallToolTest, WallsOfEveryToolReadBackByteForByte) {
  // A rectangle of four walls, connected all round, one with an opening
  // with a stop, a wall joined in a mitre to another, a wall with a sloping
  // top, and guide walls.
  script.click_world(1, 0, 0).click_world(1, 10, 0.3).key("z_enter");
  script.click_world(1, 0, 8).click_world(1, 10, 8.3).key("z_enter");
  script.click_world(1, 0, 0.3).click_world(1, 0.3, 8).key("z_enter");
  script.click_world(1, 9.7, 0.3).click_world(1, 10, 8).key("z_enter").key("p_nop");
  run_tool(tool_wall_wall);
  WallElem* south = with_opening(walls()[0], 2, 3, 0.05, 0.1);
  ASSERT_NE(south, nullptr);
  run_tool(tool_wall_connect_all);
  script.click_world(1, 20, 0).click_world(1, 30, 0).key("z_enter");
  script.click_world(1, 25, -5).click_world(1, 25, 5).key("z_enter").key("p_nop");
  run_tool(tool_wall_axis);
  script.click_world(1, 22, 0).click_world(1, 25, 3).key("p_nop");
  run_tool(tool_wall_join);
  guide_mode = 1;
  script.value("30").click_world(1, 0, 20).key("z_enter").value("5").key("p_nop");
  run_tool(tool_wall_angle);
  guide_mode = 0;
  script.key("z_abs").value("0;0;3").key("z_abs").value("10;0;3").key("z_abs").value("0;10;4").key("z_enter");
  select_window_of(-1, 15, 10, 25);
  run_tool(tool_wall_attach_3d);
  ASSERT_EQ(walls().size(), 7u);

  TempFolder dir;
  const std::filesystem::path first = dir / "walls.kav", second = dir / "again.kav";
  ui.paths = {first.string()};
  ASSERT_EQ(kavfile_save_drawing(0), 1);
  ASSERT_EQ(kavdump_resave(first.c_str(), second.c_str()), 0);
  const std::string a = file_bytes(first), b = file_bytes(second);
  ASSERT_FALSE(a.empty());
  EXPECT_TRUE(a == b) << "the file read back and saved again differs";
  const auto chunks = wall_chunks(a);
  ASSERT_EQ(chunks.size(), 7u);
  EXPECT_NE(chunks.back().find(" pen=99 "), std::string::npos) << chunks.back();
}

}  // namespace
