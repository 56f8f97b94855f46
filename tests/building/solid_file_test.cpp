// Solids, lights and cameras made by the tools are saved as the file
// format defines them and read back byte for byte.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "building/light_camera_tools.h"
#include "display/display_init.h"
#include "model/files/load_save.h"
#include "model/redraw.h"
#include "programs/kavdump.h"
#include "solid_tool_fixture.h"
#include "support/temp_folder.h"

namespace {

std::string file_bytes(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The dump lines of the chunks with this tag.
std::vector<std::string> chunks(const std::string& bytes, const std::string& tag) {
  std::istringstream dump(kavdump(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()));
  std::vector<std::string> out;
  for (std::string line; std::getline(dump, line);)
    if (line.rfind(tag + " ", 0) == 0) out.push_back(line);
  return out;
}

TEST_F(SolidToolTest, SolidsLightsAndCamerasReadBackByteForByte) {
  const RedrawTable previous = redraw_install(RedrawTable{});
  display_init();
  script.click_world(1, 0, 0).click_world(1, 2, 1).key("z_enter").value("0").value("3").key("p_nop");
  run_tool(tool_3d_cuboid);
  script.click_world(1, 5, 5).key("z_enter").value("1").value("2").key("p_nop");
  run_tool(tool_3d_sphere);
  script.click_world(1, 10, 0).key("z_enter").value("1").value("0").value("2").value("12").key("p_nop");
  run_tool(tool_3d_cone);
  script.click_world(1, 3, 3).key("z_enter").value("2.5").key("p_nop");
  run_tool(tool_3d_light);
  for (int k = 0; k < 2; ++k) {
    script.click_world(1, -5, k).key("z_enter").click_world(1, 5, k).key("z_enter").value("1.6");
    run_tool(tool_3d_camera);
  }
  redraw_install(previous);

  TempFolder dir;
  const std::filesystem::path first = dir / "solids.kav", second = dir / "again.kav";
  ui.paths = {first.string()};
  ASSERT_EQ(kavfile_save_drawing(0), 1);
  ASSERT_EQ(kavdump_resave(first.c_str(), second.c_str()), 0);
  const std::string a = file_bytes(first), b = file_bytes(second);
  ASSERT_FALSE(a.empty());
  EXPECT_TRUE(a == b) << "the file read back and saved again differs";
  // Chunk sizes as the format defines them: the box, the sphere, the cone
  // of 12 divisions (13 vertices, 13 faces).
  const auto meshes = chunks(a, "OBJ3");
  ASSERT_EQ(meshes.size(), 3u);
  EXPECT_EQ(meshes[0].rfind("OBJ3 367 ", 0), 0u) << meshes[0];
  EXPECT_EQ(meshes[1].rfind("OBJ3 12007 ", 0), 0u) << meshes[1];
  EXPECT_NE(meshes[2].find(" face_sizes=13["), std::string::npos);
  EXPECT_NE(meshes[2].find(" vertices=13["), std::string::npos);
  const auto cameras = chunks(a, "OCAM");
  ASSERT_EQ(cameras.size(), 2u);
  EXPECT_NE(cameras[0].find(" eye.z=1.6 target.x=5 target.y=0 target.z=1.6 "), std::string::npos)
      << cameras[0];
  EXPECT_NE(cameras[0].find(" active=0"), std::string::npos) << cameras[0];
  EXPECT_NE(cameras[1].find(" active=1"), std::string::npos) << cameras[1];
  const auto lights = chunks(a, "LIG2");
  ASSERT_EQ(lights.size(), 1u);
}

}  // namespace
