// Union, difference and intersection of two solids through the real mesh
// boolean tool, and what happens when the tool fails or is not there.

#include "building/solid/mesh_boolean.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <utility>

#include "building/solid/solid_mesh.h"
#include "building/solid_tools.h"
#include "model/triangulate.h"
#include "support/recording_process.h"
#include "support/temp_folder.h"
#include "wall_tool_fixture.h"

namespace {

MeshElem* cuboid(double x0, double y0, double z0, double x1, double y1, double z1, int pen,
                 const char* material) {
  SolidMesh s = solid_cuboid(x0, y0, x1, y1, z0, z1);
  elem_new_mesh(0, pen, pen, s.vertex_count(), s.face_count(), s.face_sizes.data(), s.vertices.data(),
                s.indices.data(), material, 0);
  return elem_as<MeshElem>(elem_list_tail);
}

// The volume a mesh wound clockwise from outside encloses, and whether its
// triangulated surface is closed: every directed edge met once, its reverse
// once.
std::pair<double, bool> volume_and_closed(const MeshElem& m) {
  FaceList* t = tri_faces_new(&m);
  tri_triangulate_faces(t, 0);
  double v = 0;
  std::map<std::pair<int, int>, int> edges;
  for (int k = 0; k < t->triangle_count; ++k) {
    const int c[3] = {t->t0[k], t->t1[k], t->t2[k]};
    const Point3 a = m.vertices[c[0]], b = m.vertices[c[1]], d = m.vertices[c[2]];
    v += a.x * (b.y * d.z - b.z * d.y) - a.y * (b.x * d.z - b.z * d.x) + a.z * (b.x * d.y - b.y * d.x);
    for (int i = 0; i < 3; ++i) ++edges[{c[i], c[(i + 1) % 3]}];
  }
  tri_faces_free(t);
  bool closed = !edges.empty();
  for (const auto& [e, n] : edges) {
    auto back = edges.find({e.second, e.first});
    closed = closed && n == 1 && back != edges.end() && back->second == 1;
  }
  return {-v / 6.0, closed};
}

class MeshBooleanTest : public WallToolTest {
 protected:
  void SetUp() override {
    WallToolTest::SetUp();
    saved_tool_ = mesh_boolean_tool;
    mesh_boolean_tool = KAVRO_GTS_BSO;
  }
  void TearDown() override {
    mesh_boolean_tool = saved_tool_;
    WallToolTest::TearDown();
  }
  // The files go to a folder whose name holds a space.
  std::string folder() const { return (dir / "tmp dir").string(); }
  void SetUpFolder() const { dir.make_folder("tmp dir"); }

  TempFolder dir;

 private:
  std::string saved_tool_;
};

TEST_F(MeshBooleanTest, TwoCuboidsCombineIntoOneClosedMeshOfTheExpectedVolume) {
  SetUpFolder();
  const struct {
    const char* what;
    int mode;
    int answer;  // to the question of the mode; 0 when none is asked
    double volume;
    int left;  // elements left besides the result
  } cases[] = {
      {"union", MESH_BOOLEAN_UNION, 0, 8 + 8 - 1, 0},
      {"difference keeping the second", MESH_BOOLEAN_DIFFERENCE, 1, 8 - 1, 1},
      {"difference removing both", MESH_BOOLEAN_DIFFERENCE, 2, 8 - 1, 0},
      {"intersection keeping both", MESH_BOOLEAN_INTERSECTION, 1, 1, 2},
      {"intersection removing both", MESH_BOOLEAN_INTERSECTION, 2, 1, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MeshElem* a = cuboid(0, 0, 0, 2, 2, 2, 3, "Oak");
    MeshElem* b = cuboid(1, 1, 1, 3, 3, 3, 5, "Brick");
    if (c.answer) ui.answers = {c.answer};
    testing::internal::CaptureStdout();
    ASSERT_EQ(mesh_boolean(c.mode, a, b, folder()), 1);
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(errors().empty());
    EXPECT_EQ(ui.calls_starting("ask").size(), c.answer ? 1u : 0u);
    const auto* r = elem_as<MeshElem>(elem_list_tail);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(static_cast<int>(elements().size()), c.left + 1);
    const auto [v, closed] = volume_and_closed(*r);
    EXPECT_NEAR(v, c.volume, 1e-6);
    EXPECT_TRUE(closed);
    EXPECT_EQ(r->pen, 3);
    EXPECT_EQ(r->line_type, 3);
    EXPECT_EQ(r->material.view(), "Oak");
    EXPECT_EQ(r->layer, cur_layer);
    ui.calls.clear();
    undo_record(UNDO_CLEAR, 0);
    drawing_free();
  }
}

TEST_F(MeshBooleanTest, UnionOfCuboidsOnOneFloorIsOneUndoStepAfterTheOperands) {
  SetUpFolder();
  MeshElem* a = cuboid(0, 0, 0, 2, 2, 2, 1, "Oak");
  MeshElem* b = cuboid(1, 1, 0, 3, 3, 2, 1, "Oak");
  const auto before = drawing_state();
  testing::internal::CaptureStdout();
  ASSERT_EQ(mesh_boolean(MESH_BOOLEAN_UNION, a, b, folder()), 1);
  testing::internal::GetCapturedStdout();
  ASSERT_EQ(elements().size(), 1u);
  const auto [v, closed] = volume_and_closed(*elem_as<MeshElem>(elem_list_tail));
  EXPECT_NEAR(v, 8 + 8 - 2, 1e-6);
  EXPECT_TRUE(closed);
  undo_step_back();
  EXPECT_TRUE(elements().empty());
  undo_step_back();
  EXPECT_EQ(drawing_state(), before);
}

TEST_F(MeshBooleanTest, DisjointCuboidsUniteButDoNotIntersect) {
  SetUpFolder();
  MeshElem* a = cuboid(0, 0, 0, 1, 1, 1, 1, "Oak");
  MeshElem* b = cuboid(5, 5, 5, 6, 6, 6, 1, "Oak");
  testing::internal::CaptureStdout();
  EXPECT_EQ(mesh_boolean(MESH_BOOLEAN_INTERSECTION, a, b, folder()), 0);
  EXPECT_TRUE(errors().empty());
  EXPECT_EQ(ui.calls_starting("message"), std::vector<std::string>({"message Message: The result is empty"}));
  EXPECT_EQ(elements().size(), 2u);
  EXPECT_EQ(mesh_boolean(MESH_BOOLEAN_UNION, a, b, folder()), 1);
  testing::internal::GetCapturedStdout();
  ASSERT_EQ(elements().size(), 1u);
  EXPECT_NEAR(volume_and_closed(*elem_as<MeshElem>(elem_list_tail)).first, 2.0, 1e-6);
}

// Solids nested, apart, or touching only in a face: the surfaces do not
// cross, so the result is the whole of one solid, or nothing, which is said
// and leaves the drawing as it was.
TEST_F(MeshBooleanTest, NestedApartAndTouchingSolidsGiveAWholeSolidOrNothing) {
  SetUpFolder();
  struct Box {
    double x0, y0, z0, x1, y1, z1;
  };
  const Box big{0, 0, 0, 2, 2, 2}, inner{0.5, 0.5, 0.5, 1, 1, 1}, apart{5, 5, 5, 6, 6, 6},
      unit{0, 0, 0, 1, 1, 1}, beside{1, 0, 0, 2, 1, 1}, far_corner{1, 1, 1, 2, 2, 2};
  constexpr double kEmpty = -1;
  const struct {
    const char* what;
    int mode;
    Box a, b;
    double volume;  // of the result, kEmpty for none
  } cases[] = {
      {"union with a solid inside", MESH_BOOLEAN_UNION, big, inner, 8},
      {"union with a solid around", MESH_BOOLEAN_UNION, inner, big, 8},
      {"union of solids sharing a face", MESH_BOOLEAN_UNION, unit, beside, 2},
      {"difference of a solid apart", MESH_BOOLEAN_DIFFERENCE, unit, apart, 1},
      {"difference of a solid sharing a face", MESH_BOOLEAN_DIFFERENCE, unit, beside, 1},
      {"difference of a solid around", MESH_BOOLEAN_DIFFERENCE, inner, big, kEmpty},
      {"intersection with a solid inside", MESH_BOOLEAN_INTERSECTION, big, inner, 0.125},
      {"intersection with a solid around", MESH_BOOLEAN_INTERSECTION, inner, big, 0.125},
      {"intersection with a solid inside in a corner", MESH_BOOLEAN_INTERSECTION, big, unit, 1},
      {"intersection with a solid inside in the far corner", MESH_BOOLEAN_INTERSECTION, big, far_corner, 1},
      {"union with a solid inside in a corner", MESH_BOOLEAN_UNION, unit, big, 8},
      {"intersection of solids apart", MESH_BOOLEAN_INTERSECTION, unit, apart, kEmpty},
      {"intersection of solids sharing a face", MESH_BOOLEAN_INTERSECTION, unit, beside, kEmpty},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MeshElem* a = cuboid(c.a.x0, c.a.y0, c.a.z0, c.a.x1, c.a.y1, c.a.z1, 3, "Oak");
    MeshElem* b = cuboid(c.b.x0, c.b.y0, c.b.z0, c.b.x1, c.b.y1, c.b.z1, 5, "Brick");
    const auto before = drawing_state();
    const bool empty = c.volume == kEmpty;
    // "No": neither operand is kept.
    if (!empty && c.mode != MESH_BOOLEAN_UNION) ui.answers = {2};
    testing::internal::CaptureStdout();
    const int made = mesh_boolean(c.mode, a, b, folder());
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(errors().empty());
    if (empty) {
      EXPECT_EQ(made, 0);
      EXPECT_EQ(ui.calls_starting("message"),
                std::vector<std::string>({"message Message: The result is empty"}));
      EXPECT_TRUE(ui.calls_starting("ask").empty());
      EXPECT_EQ(elements(), (std::vector<ElemHeader*>{a, b}));
      EXPECT_EQ(drawing_state(), before);
    } else {
      ASSERT_EQ(made, 1);
      ASSERT_EQ(elements().size(), 1u);
      const auto* r = elem_as<MeshElem>(elem_list_tail);
      ASSERT_NE(r, nullptr);
      const auto [v, closed] = volume_and_closed(*r);
      EXPECT_NEAR(v, c.volume, 1e-6);
      EXPECT_TRUE(closed);
      EXPECT_EQ(r->pen, 3);
      EXPECT_EQ(r->material.view(), "Oak");
    }
    ui.calls.clear();
    undo_record(UNDO_CLEAR, 0);
    drawing_free();
  }
}

TEST_F(MeshBooleanTest, AWindowShapedBoxIsCutOutOfAWall) {
  SetUpFolder();
  WallElem* w = axis_wall(0, 0, 4, 0);
  MeshElem* box = cuboid(1, -1, 1, 2, 1, 2, 1, "Glass");
  ui.answers = {2};
  testing::internal::CaptureStdout();
  ASSERT_EQ(mesh_boolean(MESH_BOOLEAN_DIFFERENCE, w, box, folder()), 1);
  testing::internal::GetCapturedStdout();
  ASSERT_EQ(elements().size(), 1u);
  const auto [v, closed] = volume_and_closed(*elem_as<MeshElem>(elem_list_tail));
  EXPECT_NEAR(v, 4 * 0.3 * 2.75 - 0.3, 1e-6);
  EXPECT_TRUE(closed);
}

TEST_F(MeshBooleanTest, TheToolStartsFromAnArgumentVectorOnFreshFiles) {
  SetUpFolder();
  WallElem* w = axis_wall(0, 0, 4, 0);
  MeshElem* box = cuboid(1, -1, 1, 2, 1, 2, 1, "Glass");
  const auto before = drawing_state();
  // Results of an earlier pass must not pass for this one's.
  for (const char* p : {"1in2.gts", "1out2.gts", "2in1.gts", "2out1.gts"})
    dir.write(std::string("tmp dir/") + p, "0 0 0 x x x x\n");
  RecordingProcess tool;
  tool.answer(true, 0);
  EXPECT_EQ(mesh_boolean(MESH_BOOLEAN_UNION, w, box, folder()), 0);
  ASSERT_EQ(tool.requests().size(), 1u);
  EXPECT_EQ(tool.requests()[0].argv, std::vector<std::string>({KAVRO_GTS_BSO, "inter", folder() + "/kav1.gts",
                                                               folder() + "/kav2.gts", folder() + "/"}));
  EXPECT_TRUE(std::filesystem::exists(dir / "tmp dir" / "kav1.gts"));
  EXPECT_FALSE(std::filesystem::exists(dir / "tmp dir" / "1in2.gts"));
  EXPECT_EQ(errors(), std::vector<std::string>({"error ***ERROR*** Boolean operation failed\n"}));
  // The wall is a mesh now; two undos bring it back.
  ASSERT_EQ(elements().size(), 2u);
  for (ElemHeader* e : elements()) EXPECT_EQ(e->kind, ELEM_MESH);
  undo_step_back();
  undo_step_back();
  EXPECT_EQ(drawing_state(), before);

  // A tool that is missing or fails, and a folder that cannot take the
  // operands, fail the same way.
  ui.calls.clear();
  MeshElem* a = cuboid(0, 0, 0, 2, 2, 2, 1, "Oak");
  MeshElem* b = cuboid(1, 1, 1, 3, 3, 3, 1, "Oak");
  tool.answer(false, -1);
  EXPECT_EQ(mesh_boolean(MESH_BOOLEAN_UNION, a, b, folder()), 0);
  tool.answer(true, 1);
  EXPECT_EQ(mesh_boolean(MESH_BOOLEAN_UNION, a, b, folder()), 0);
  EXPECT_EQ(mesh_boolean(MESH_BOOLEAN_UNION, a, b, (dir / "missing").string()), 0);
  EXPECT_EQ(tool.requests().size(), 3u);
  EXPECT_EQ(errors().size(), 3u);
  EXPECT_EQ(elements().size(), 4u);
}

TEST_F(MeshBooleanTest, TheToolPicksTwoDifferentSolidsAndLoops) {
  cuboid(0, 0, 0, 2, 2, 2, 1, "Oak");
  cuboid(1, 1, 1, 3, 3, 3, 1, "Oak");
  elem_new_line(0, 1, 0, 50, 50, 52, 52);
  // The first cuboid again is no second operand.
  script.click_world(1, 0, 1).click_world(1, 0, 1.2).click_world(1, 3, 2);
  script.key("p_nop");
  testing::internal::CaptureStdout();
  run_tool(tool_3d_union);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(prompts(), std::vector<std::string>({"prompt 1st 3D Element:", "prompt 2nd 3D Element:",
                                                 "prompt 2nd 3D Element:", "prompt 1st 3D Element:"}));
  EXPECT_TRUE(errors().empty());
  ASSERT_EQ(elements().size(), 2u);
  EXPECT_EQ(elements()[0]->kind, ELEM_LINE);
  EXPECT_NEAR(volume_and_closed(*elem_as<MeshElem>(elem_list_tail)).first, 15.0, 1e-6);
  for (ElemHeader* e : elements()) EXPECT_EQ(e->mark, 0);
}

}  // namespace
