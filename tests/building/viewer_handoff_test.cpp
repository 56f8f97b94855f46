// The 3D viewer's hand-off file: the header and the meshes the viewer
// shows, nothing else; the drawing itself is left as it was.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "../display/display_fixture.h"
#include "building/viewer_tools.h"
#include "model/files/kavfile.h"
#include "model/layers.h"
#include "model/undo.h"
#include "programs/kavdump.h"
#include "support/model_fixture.h"
#include "support/recording_process.h"
#include "support/recording_ui.h"
#include "support/temp_folder.h"
#include "support/wall_fixture.h"

namespace {

std::string file_bytes(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The tags of the chunks of a file, in order.
std::vector<std::string> chunk_tags(const std::string& bytes) {
  std::istringstream dump(kavdump(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()));
  std::vector<std::string> out;
  for (std::string line; std::getline(dump, line);)
    if (line.size() > 4 && line[4] == ' ' && std::isupper(static_cast<unsigned char>(line[0])))
      out.push_back(line.substr(0, 4));
  return out;
}

// A unit cube's six faces on layer.
void new_cube(int layer, const char* material) {
  Point3 v[8];
  for (int i = 0; i < 8; ++i) v[i] = Point3{double(i & 1), double((i >> 1) & 1), double(i >> 2)};
  const int32_t sizes[6] = {4, 4, 4, 4, 4, 4};
  const int32_t idx[24] = {0, 1, 3, 2, 4, 6, 7, 5, 0, 4, 5, 1, 2, 3, 7, 6, 0, 2, 6, 4, 1, 5, 7, 3};
  elem_new_mesh(layer, 3, 0, 8, 6, sizes, v, idx, material, 0);
}

class ViewerHandoffTest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    offscreen(200, 200);
  }

  std::string save_drawing(const std::string& name) {
    const std::filesystem::path p = tmp_ / name;
    std::FILE* f = std::fopen(p.c_str(), "wb");
    EXPECT_TRUE(f && kavfile_write_drawing(f));
    if (f) std::fclose(f);
    return file_bytes(p);
  }

  RecordingUi ui_;
  TempFolder tmp_;
};

// The walls of the shown layers go as meshes made for the write and dropped
// after it.
TEST_F(ViewerHandoffTest, HoldsTheHeaderAndTheMeshesOfShownMeshesAndWallsOnly) {
  cur_layer = 0;
  layers[5].shown = 1;
  layers[6].shown = 0;
  new_axis_wall()->material = "wallshown";  // current layer
  WallElem* hidden_wall = new_axis_wall();  // hidden layer
  hidden_wall->layer = 6;
  hidden_wall->material = "wallhidden";
  new_cube(5, "shown");   // shown layer
  new_cube(6, "hidden");  // hidden layer
  const std::string before = save_drawing("before.kav");
  elem_list_head->mark = 1;  // a selection: neither handed over nor kept

  const std::filesystem::path handoff = tmp_ / "gl.kav";
  ASSERT_EQ(viewer_write_handoff(handoff.string()), 1);
  const std::string bytes = file_bytes(handoff);
  EXPECT_EQ(chunk_tags(bytes), (std::vector<std::string>{"KAVW", "OBJ3", "OBJ3"}));
  const std::string dump = kavdump(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
  EXPECT_NE(dump.find("shown"), std::string::npos);
  EXPECT_NE(dump.find("wallshown"), std::string::npos);
  EXPECT_EQ(dump.find("hidden"), std::string::npos);

  for (ElemHeader* e : elements()) EXPECT_EQ(e->mark, 0);
  EXPECT_TRUE(save_drawing("after.kav") == before) << "the drawing changed";
  EXPECT_TRUE(ui_.calls_starting("error").empty());
}

TEST_F(ViewerHandoffTest, ToolStartsTheViewerWithTheFileAndSaysWhenItCannot) {
  new_cube(0, "brick");
  RecordingProcess starter;
  tool_3d_gl();
  ASSERT_EQ(starter.requests().size(), 1u);
  const ProcessRequest& r = starter.requests()[0];
  ASSERT_EQ(r.argv.size(), 2u);
  EXPECT_EQ(std::filesystem::path(r.argv[0]).filename(), "viewgl");
  EXPECT_EQ(r.argv[1], viewer_handoff_path());
  EXPECT_FALSE(r.wait);
  EXPECT_EQ(chunk_tags(file_bytes(r.argv[1])), (std::vector<std::string>{"KAVW", "OBJ3"}));
  EXPECT_TRUE(ui_.calls_starting("error").empty());

  starter.answer(false);
  tool_3d_gl();
  ASSERT_EQ(ui_.calls_starting("error").size(), 1u);
  EXPECT_NE(ui_.calls_starting("error")[0].find("Cannot start"), std::string::npos);
}

}  // namespace
