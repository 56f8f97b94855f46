// The hidden-line command on the scripted view: what it collects, the lines
// it appends, and the three answers to where the result goes.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "building/hlr_tools.h"
#include "building/solid/solid_mesh.h"
#include "building/tool_3d_common.h"
#include "model/layers.h"
#include "model/view_rec.h"
#include "solid_tool_fixture.h"

namespace {

class HlrToolTest : public SolidToolTest {
 protected:
  void SetUp() override {
    SolidToolTest::SetUp();
    saved_options_ = hlr_options;
    hlr_options = HlrOptions{};
  }
  void TearDown() override {
    hlr_options = saved_options_;
    SolidToolTest::TearDown();
  }

  // Runs the command in the isometric view and returns its statistics line.
  std::string render() {
    view_type = VIEW_ISO_FRONT_LEFT;
    testing::internal::CaptureStdout();
    run_tool(tool_3d_hlr);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(view_type, VIEW_ISO_FRONT_LEFT) << "the view type comes back";
    view_type = 0;
    return out;
  }

  static std::vector<LineElem*> lines() { return all<LineElem>(); }

  HlrOptions saved_options_;
};

std::string stats_tail(const std::string& out) { return out.substr(out.find("sec")); }

TEST_F(HlrToolTest, CuboidKeptOnTheCurrentLayerInOneGroupAsOneUndoStep) {
  solid_append(solid_cuboid(0, 0, 2, 1, 0, 3), 1, 0);
  ui.answers = {1};
  const std::string out = render();
  EXPECT_EQ(stats_tail(out), "sec  lines:9 joins:0\n");
  EXPECT_EQ(out.rfind("hlr render time: ", 0), 0u);
  const auto result = lines();
  ASSERT_EQ(result.size(), 9u);
  for (LineElem* l : result) {
    EXPECT_EQ(l->layer, cur_layer);
    EXPECT_EQ(l->group, 1);
    EXPECT_EQ(l->line_type, 0);
  }
  const std::vector<std::string> progress = {"progress_open Hidden line rendering:", "progress 0",
                                             "progress_close"};
  EXPECT_EQ(ui.calls_starting("progress"), progress);
  undo_step_back();
  EXPECT_EQ(lines().size(), 0u);
  EXPECT_EQ(all<MeshElem>().size(), 1u);
}

TEST_F(HlrToolTest, HiddenEdgesAndWallsOfShownLayers) {
  hlr_options.hidden_edges = 1;
  solid_append(solid_cuboid(0, 0, 2, 1, 0, 3), 1, 0);
  // A wall on a shown layer counts; one on a hidden layer does not.
  WallElem* shown = axis_wall(10, 0, 14, 0);
  shown->layer = 5;
  layers[5].shown = 1;
  WallElem* hidden = axis_wall(20, 0, 24, 0);
  hidden->layer = 6;
  layers[6].shown = 0;
  ui.answers = {1};
  render();
  int dashed = 0;
  for (LineElem* l : lines()) dashed += l->line_type == 1;
  // The cuboid's three hidden edges and three of the wall box.
  EXPECT_EQ(dashed, 6);
  EXPECT_EQ(lines().size(), 24u);
  // The temporary wall meshes are gone and no mark is left.
  for (ElemHeader* e : elements()) {
    EXPECT_NE(e->layer, LAYER_TEMP_3D);
    EXPECT_EQ(e->mark, 0);
  }
  layers[5].shown = 0;
}

// A slab passing through a wall, worked out by hand: the line where the
// slab's top meets the wall's front face is drawn, and the wall's front
// corner shows only above the slab, not inside it.
TEST_F(HlrToolTest, AWallThroughASlabShowsWhereTheyMeet) {
  axis_wall(0, 0, 6, 0);  // faces at y = -0.15 and 0.15, 2.75 high
  solid_append(solid_cuboid(-1, -2, 7, 2, 1.2, 1.45), 1, 0);
  ui.answers = {1};
  render();
  const auto result = lines();
  // The isometric view maps (x, y, z) to (0.866 (x - y), z + (x + y) / 2).
  auto drawn = [&](double x, double y, double z) {
    const double u = 0.866 * (x - y), v = z + 0.5 * (x + y);
    return std::any_of(result.begin(), result.end(), [&](const LineElem* l) {
      const double dx = l->p2.x - l->p1.x, dy = l->p2.y - l->p1.y;
      const double t = std::clamp(((u - l->p1.x) * dx + (v - l->p1.y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
      return std::hypot(u - l->p1.x - t * dx, v - l->p1.y - t * dy) < 1e-6;
    });
  };
  for (int k = 1; k < 20; ++k) EXPECT_TRUE(drawn(0.3 * k, -0.15, 1.45)) << 0.3 * k;
  for (double z : {1.25, 1.3, 1.4}) EXPECT_FALSE(drawn(0, -0.15, z)) << z;
  for (double z : {1.6, 2.0, 2.5}) EXPECT_TRUE(drawn(0, -0.15, z)) << z;
}

TEST_F(HlrToolTest, CancelLeavesTheDrawingAsItWas) {
  solid_append(solid_cuboid(0, 0, 2, 1, 0, 3), 1, 0);
  // An ungrouped line that a purge by group number 0 would take away.
  elem_new_line(cur_layer, 1, 0, 5, 5, 6, 6);
  const auto before = drawing_state();
  const uint8_t steps = undo_used;
  drawing_modified = 0;
  for (int answer : {3, 0}) {  // Cancel, and the box closed
    ui.answers = {answer};
    render();
    EXPECT_EQ(drawing_state(), before) << answer;
    EXPECT_EQ(undo_used, steps) << answer;
    EXPECT_EQ(drawing_modified, 0) << answer;
  }
}

TEST_F(HlrToolTest, OtherLayerAsksAgainUntilTheNumberIsALayer) {
  solid_append(solid_cuboid(0, 0, 2, 1, 0, 3), 1, 0);
  ui.answers = {2};
  script.value("1500").value("12");
  render();
  EXPECT_EQ(std::count(ui.calls.begin(), ui.calls.end(), "prompt Layer:"), 2);
  const auto result = lines();
  ASSERT_EQ(result.size(), 9u);
  for (LineElem* l : result) EXPECT_EQ(l->layer, 12);
  undo_step_back();
  EXPECT_EQ(lines().size(), 0u);
}

TEST_F(HlrToolTest, OtherLayerCancelledKeepsTheLinesOnTheCurrentLayer) {
  solid_append(solid_cuboid(0, 0, 2, 1, 0, 3), 1, 0);
  ui.answers = {2};
  script.key("p_nop");
  render();
  const auto result = lines();
  ASSERT_EQ(result.size(), 9u);
  for (LineElem* l : result) EXPECT_EQ(l->layer, cur_layer);
}

TEST_F(HlrToolTest, NoGroupNumberLeftLeavesOtherElementsAlone) {
  solid_append(solid_cuboid(0, 0, 2, 1, 0, 3), 1, 0);
  elem_new_line(cur_layer, 1, 0, 5, 5, 6, 6);  // ungrouped
  elem_new_line(cur_layer, 1, 0, 7, 5, 8, 6);
  elem_list_tail->group = 65535;
  const auto before = drawing_state();
  ui.answers = {3};
  render();
  EXPECT_EQ(drawing_state(), before);

  ui.answers = {2};
  script.value("12");
  render();
  int moved = 0;
  for (LineElem* l : lines()) moved += l->layer == 12;
  EXPECT_EQ(moved, 9);
  EXPECT_EQ(lines().size(), 11u);
}

TEST_F(HlrToolTest, PerspectiveResultStaysInItsWindow) {
  view_camera.view_angle = 60.0;
  solid_append(solid_cuboid(-2, 0, 2, 1, 0, 3), 1, 0);
  ui.answers = {1};
  view_type = VIEW_PERSPECTIVE;
  testing::internal::CaptureStdout();
  run_tool(tool_3d_hlr);
  testing::internal::GetCapturedStdout();
  view_type = 0;
  const auto result = lines();
  EXPECT_GT(result.size(), 0u);
  for (LineElem* l : result)
    for (double c : {l->p1.x, l->p1.y, l->p2.x, l->p2.y}) EXPECT_LE(std::fabs(c), 6.0 + 1e-9);
}

TEST_F(HlrToolTest, EmptyModelStillAsks) {
  ui.answers = {1};
  const std::string out = render();
  EXPECT_EQ(stats_tail(out), "sec  lines:0 joins:0\n");
  EXPECT_EQ(ui.answers.size(), 0u);
}

}  // namespace
