// Union, difference and intersection of two solids through the real mesh
// boolean tool, and what happens when the tool fails or is not there.

#include "building/solid/mesh_boolean.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "building/solid/solid_mesh.h"
#include "building/solid_tools.h"
#include "model/files/kavfile.h"
#include "model/files/load_save.h"
#include "model/nls.h"
#include "model/triangulate.h"
#include "model/vec3.h"
#include "platform/process.h"
#include "support/recording_process.h"
#include "support/temp_folder.h"
#include "test_solids.h"
#include "wall_tool_fixture.h"

namespace {

MeshElem* cuboid(double x0, double y0, double z0, double x1, double y1, double z1, int pen,
                 const char* material) {
  SolidMesh s = solid_cuboid(x0, y0, x1, y1, z0, z1);
  elem_new_mesh(0, pen, pen, s.vertex_count(), s.face_count(), s.face_sizes.data(), s.vertices.data(),
                s.indices.data(), material, 0);
  return elem_as<MeshElem>(elem_list_tail);
}

MeshElem* solid(SolidMesh s, int pen = 1, const char* material = "Oak") {
  elem_new_mesh(0, pen, pen, s.vertex_count(), s.face_count(), s.face_sizes.data(), s.vertices.data(),
                s.indices.data(), material, 0);
  return elem_as<MeshElem>(elem_list_tail);
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

// The volume of a pyramid of n sides (a cone for many) over a circle of
// radius r, of height h.
double pyramid_volume(int n, double r, double h) { return n / 2.0 * r * r * std::sin(2 * M_PI / n) * h / 3; }

// Other shapes than cuboids, cuts flush with a face, and solids that touch
// from inside, in an edge or in a face. Where the tool gives a surface that
// is no closed solid, the operation must say so and leave the operands
// (walls too) as they were, never keep a result that only has the right
// volume: rows marked "or refused" accept that; the others must give the
// solid.
TEST_F(MeshBooleanTest, ConesPyramidsFlushCutsAndTouchingSolidsGiveTheRightSolidOrSaySo) {
  SetUpFolder();
  const Point3 base{0, 0, 0, 0}, apex{0, 0, 10, 0};
  // A solid from z 0.5 up keeps the top 0.95 of a pyramid 10 high.
  const double kept = 0.95 * 0.95 * 0.95;
  constexpr double kEmpty = -1;
  constexpr bool kExact = true, kOrRefused = false;
  // The first operand "wall": a wall 10 x 0.3 x 3 along x from y 0 to 0.3.
  const SolidMesh wall_box = solid_cuboid(0, 0, 10, 0.3, 0, 3);
  const SolidMesh door = solid_cuboid(4, -1, 5, 1, 0, 2), notch = solid_cuboid(4, -1, 5, 1, 2, 3);
  const SolidMesh big = solid_cuboid(0, 0, 2, 2, 0, 2), pocket = solid_cuboid(0.5, 0.5, 1.5, 1.5, 1, 2);
  const SolidMesh corner = solid_cuboid(0, 0, 1.5, 1.5, 0, 1), by_edge = solid_cuboid(1.5, 1.5, 3, 3, 0, 1);
  const SolidMesh unit = solid_cuboid(0, 0, 1, 1, 0, 1);
  struct Row {
    const char* what;
    int mode;
    bool wall;  // the first operand is the wall, not a
    SolidMesh a, b;
    double volume;  // kEmpty: "The result is empty"
    double area;    // of the result's surface, 0 when not checked
    bool exact;
  };
  const std::vector<Row> rows = {
      {"cone of 12 sides cut by a slab", MESH_BOOLEAN_INTERSECTION, false,
       solid_frustum(base, apex, 1, 0, 12), solid_cuboid(-2, -2, 2, 2, 0.5, 20),
       pyramid_volume(12, 1, 10) * kept, 0, kExact},
      {"cone of 24 sides cut by a slab", MESH_BOOLEAN_INTERSECTION, false,
       solid_frustum(base, apex, 1, 0, 24), solid_cuboid(-2, -2, 2, 2, 0.5, 20),
       pyramid_volume(24, 1, 10) * kept, 0, kExact},
      {"cone of 12 sides less a box below", MESH_BOOLEAN_DIFFERENCE, false,
       solid_frustum(base, apex, 1, 0, 12), solid_cuboid(-2, -2, 2, 2, -1, 0.5),
       pyramid_volume(12, 1, 10) * kept, 0, kExact},
      {"cone of 24 sides less a box below", MESH_BOOLEAN_DIFFERENCE, false,
       solid_frustum(base, apex, 1, 0, 24), solid_cuboid(-2, -2, 2, 2, -1, 0.5),
       pyramid_volume(24, 1, 10) * kept, 0, kExact},
      {"slab cut by a cone, the slab first", MESH_BOOLEAN_INTERSECTION, false,
       solid_cuboid(-2, -2, 2, 2, 0.5, 20), solid_frustum(base, apex, 1, 0, 12),
       pyramid_volume(12, 1, 10) * kept, 0, kExact},
      {"pyramid cut by a slab", MESH_BOOLEAN_INTERSECTION, false, solid_frustum(base, apex, 1, 0, 4),
       solid_cuboid(-2, -2, 2, 2, 0.5, 20), pyramid_volume(4, 1, 10) * kept, 0, kExact},
      {"pyramid less a box below", MESH_BOOLEAN_DIFFERENCE, false, solid_frustum(base, apex, 1, 0, 4),
       solid_cuboid(-2, -2, 2, 2, -1, 0.5), pyramid_volume(4, 1, 10) * kept, 0, kExact},
      {"pyramid less its top half", MESH_BOOLEAN_DIFFERENCE, false, solid_frustum(base, apex, 1, 0, 4),
       solid_cuboid(-2, -2, 2, 2, 5, 20), pyramid_volume(4, 1, 10) * (1 - 0.125), 0, kExact},
      {"door box out of a wall mesh", MESH_BOOLEAN_DIFFERENCE, false, wall_box, door, 9 - 0.6, 65, kExact},
      {"door box out of a wall", MESH_BOOLEAN_DIFFERENCE, true, {}, door, 9 - 0.6, 65, kExact},
      {"notch flush with the top of a wall mesh", MESH_BOOLEAN_DIFFERENCE, false, wall_box, notch, 9 - 0.3,
       66.4, kExact},
      {"notch flush with the top of a wall", MESH_BOOLEAN_DIFFERENCE, true, {}, notch, 9 - 0.3, 66.4, kExact},
      {"pocket touching the top from inside", MESH_BOOLEAN_DIFFERENCE, false, big, pocket, 7, 28, kExact},
      {"intersection with a solid touching from inside", MESH_BOOLEAN_INTERSECTION, false, big, pocket, 1, 6,
       kExact},
      {"union with a solid touching from inside", MESH_BOOLEAN_UNION, false, big, pocket, 8, 24, kExact},
      {"difference of a solid sharing an edge", MESH_BOOLEAN_DIFFERENCE, false, corner, by_edge, 2.25, 10.5,
       kExact},
      {"intersection of solids sharing an edge", MESH_BOOLEAN_INTERSECTION, false, corner, by_edge, kEmpty, 0,
       kExact},
      // Two solids joined in one edge are no closed surface of two faces an
      // edge: this can only be refused.
      {"union of solids sharing an edge", MESH_BOOLEAN_UNION, false, corner, by_edge, 4.5, 0, kOrRefused},
      {"wall less a box sharing an edge",
       MESH_BOOLEAN_DIFFERENCE,
       true,
       {},
       solid_cuboid(10, 0.3, 11, 1, 0, 3),
       9,
       67.8,
       kExact},
      {"wall and a box sharing an edge",
       MESH_BOOLEAN_INTERSECTION,
       true,
       {},
       solid_cuboid(10, 0.3, 11, 1, 0, 3),
       kEmpty,
       0,
       kExact},
      {"cone standing on a box, the cone first", MESH_BOOLEAN_UNION, false,
       solid_frustum(apex, Point3{0, 0, 20, 0}, 1, 0, 12), solid_cuboid(-2, -2, 2, 2, 0, 10),
       160 + pyramid_volume(12, 1, 10), 0, kExact},
      {"cone standing on a box, the box first", MESH_BOOLEAN_UNION, false, solid_cuboid(-2, -2, 2, 2, 0, 10),
       solid_frustum(apex, Point3{0, 0, 20, 0}, 1, 0, 12), 160 + pyramid_volume(12, 1, 10), 0, kExact},
      {"union of solids sharing a face", MESH_BOOLEAN_UNION, false, unit, solid_cuboid(1, 0, 2, 1, 0, 1), 2,
       10, kExact},
      {"union of solids stacked", MESH_BOOLEAN_UNION, false, unit, solid_cuboid(0, 0, 1, 1, 1, 2), 2, 10,
       kExact},
      {"union with a larger face", MESH_BOOLEAN_UNION, false, unit, solid_cuboid(1, -1, 2, 2, 0, 1), 4, 18,
       kExact},
  };
  for (const Row& c : rows) {
    SCOPED_TRACE(c.what);
    ElemHeader* a = nullptr;
    if (c.wall) {
      WallElem* w = axis_wall(0, 0.15, 10, 0.15);
      for (int i = 4; i < 8; ++i) w->corner[i].z = 3;
      a = w;
    } else {
      a = solid(c.a, 3, "Oak");
    }
    MeshElem* b = solid(c.b, 5, "Brick");
    const auto before = drawing_state();
    const uint8_t steps = undo_used;
    // "No": neither operand is kept.
    if (c.mode != MESH_BOOLEAN_UNION) ui.answers = {2};
    testing::internal::CaptureStdout();
    const int made = mesh_boolean(c.mode, a, b, folder());
    testing::internal::GetCapturedStdout();
    auto unchanged = [&] {
      EXPECT_EQ(elements().size(), 2u);
      EXPECT_EQ(elements().back(), c.wall ? elem_list_tail : b);
      EXPECT_EQ(elements().back()->kind, c.wall ? ELEM_WALL : ELEM_MESH);
      EXPECT_EQ(drawing_state(), before);
      EXPECT_EQ(undo_used, steps);
      EXPECT_EQ(undo_undone, 0);
      EXPECT_TRUE(ui.calls_starting("ask").empty());
    };
    if (c.volume == kEmpty) {
      EXPECT_EQ(made, 0);
      EXPECT_TRUE(errors().empty());
      EXPECT_EQ(ui.calls_starting("message"),
                std::vector<std::string>({"message Message: The result is empty"}));
      unchanged();
    } else if (made) {
      ASSERT_EQ(elements().size(), 1u);
      const auto* r = elem_as<MeshElem>(elem_list_tail);
      ASSERT_NE(r, nullptr);
      double area = 0;
      const auto [v, closed] = volume_and_closed(*r, &area);
      EXPECT_NEAR(v, c.volume, 1e-6);
      EXPECT_TRUE(closed);
      if (c.area) {
        EXPECT_NEAR(area, c.area, 1e-6);
      }
      EXPECT_EQ(r->pen, c.wall ? 1 : 3);
      EXPECT_TRUE(errors().empty());
    } else {
      EXPECT_FALSE(c.exact) << "refused";
      EXPECT_EQ(errors().size(), 1u);
      EXPECT_TRUE(ui.calls_starting("message").empty());
      unchanged();
    }
    ui.calls.clear();
    ui.answers.clear();
    undo_record(UNDO_CLEAR, 0);
    drawing_free();
  }
}

// Boxes lying face to face (slabs stacked, offset sideways, side by side),
// thin slabs and cuts a millimetre wide, small and in a large model: the
// result is the exact solid, every point of it where the boxes put it (no
// point left where the tool moved faces apart to make them cross), or
// "The result is empty" where they only touch.
TEST_F(MeshBooleanTest, BoxesFaceToFaceAndThinCutsGiveExactSolids) {
  SetUpFolder();
  struct Box {
    double x0, y0, z0, x1, y1, z1;
  };
  constexpr double kEmpty = -1;
  const Box slab{0, 0, 0, 10, 10, 0.3}, on_it{0, 0, 0.3, 10, 10, 0.6}, offset{3, 4, 0.3, 13, 14, 0.6},
      beside{0, 10, 0, 10, 20, 0.3}, cube{0, 0, 0, 1, 1, 1}, thin{-1, -1, 0.5, 2, 2, 0.501},
      field{0, 0, 0, 100, 100, 1}, cut{50, -1, 0.5, 50.001, 101, 2};
  const struct {
    const char* what;
    int mode;
    Box a, b;
    double volume;
  } cases[] = {
      {"slabs stacked, union", MESH_BOOLEAN_UNION, slab, on_it, 60},
      {"slabs stacked, the upper first, union", MESH_BOOLEAN_UNION, on_it, slab, 60},
      {"slabs stacked, difference", MESH_BOOLEAN_DIFFERENCE, slab, on_it, 30},
      {"slabs stacked, intersection", MESH_BOOLEAN_INTERSECTION, slab, on_it, kEmpty},
      {"slabs offset, union", MESH_BOOLEAN_UNION, slab, offset, 60},
      {"slabs offset, difference", MESH_BOOLEAN_DIFFERENCE, offset, slab, 30},
      {"slabs offset, intersection", MESH_BOOLEAN_INTERSECTION, slab, offset, kEmpty},
      {"slabs side by side, union", MESH_BOOLEAN_UNION, beside, slab, 60},
      {"slabs side by side, difference", MESH_BOOLEAN_DIFFERENCE, slab, beside, 30},
      {"1 mm slab across a cube, union", MESH_BOOLEAN_UNION, cube, thin, 1 + 0.009 - 0.001},
      {"1 mm slab out of a cube", MESH_BOOLEAN_DIFFERENCE, cube, thin, 1 - 0.001},
      {"1 mm slab within a cube", MESH_BOOLEAN_INTERSECTION, thin, cube, 0.001},
      {"1 mm cut out of 100 m", MESH_BOOLEAN_DIFFERENCE, field, cut, 10000 - 0.001 * 100 * 0.5},
      {"1 mm cut and 100 m, union", MESH_BOOLEAN_UNION, field, cut, 10000 + 0.001 * 102 * 1.5 - 0.05},
      {"1 mm cut within 100 m", MESH_BOOLEAN_INTERSECTION, field, cut, 0.001 * 100 * 0.5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MeshElem* a = cuboid(c.a.x0, c.a.y0, c.a.z0, c.a.x1, c.a.y1, c.a.z1, 3, "Oak");
    MeshElem* b = cuboid(c.b.x0, c.b.y0, c.b.z0, c.b.x1, c.b.y1, c.b.z1, 5, "Brick");
    if (c.volume != kEmpty && c.mode != MESH_BOOLEAN_UNION) ui.answers = {2};
    testing::internal::CaptureStdout();
    const int made = mesh_boolean(c.mode, a, b, folder());
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(errors().empty()) << errors().front();
    if (c.volume == kEmpty) {
      EXPECT_EQ(made, 0);
      EXPECT_EQ(ui.calls_starting("message"),
                std::vector<std::string>({"message Message: The result is empty"}));
    } else {
      ASSERT_EQ(made, 1);
      const auto* r = elem_as<MeshElem>(elem_list_tail);
      const auto [v, closed] = volume_and_closed(*r);
      EXPECT_NEAR(v, c.volume, 1e-9 * c.volume);
      EXPECT_TRUE(closed);
      // No point a hair beside a plane of the boxes: a coordinate near
      // one of theirs is theirs.
      for (const Point3& p : r->vertices) {
        const auto clean = [](double x, std::initializer_list<double> planes) {
          for (double g : planes)
            if (x != g && std::fabs(x - g) < 1e-5) return false;
          return true;
        };
        EXPECT_TRUE(clean(p.x, {c.a.x0, c.a.x1, c.b.x0, c.b.x1})) << p.x;
        EXPECT_TRUE(clean(p.y, {c.a.y0, c.a.y1, c.b.y0, c.b.y1})) << p.y;
        EXPECT_TRUE(clean(p.z, {c.a.z0, c.a.z1, c.b.z0, c.b.z1})) << p.z;
      }
    }
    ui.calls.clear();
    ui.answers.clear();
    undo_record(UNDO_CLEAR, 0);
    drawing_free();
  }
}

// A wall is turned into a mesh for the operation; when nothing is left of
// it the wall comes back, and no undo step is left for the conversion.
TEST_F(MeshBooleanTest, AnEmptyResultGivesTheWallBack) {
  SetUpFolder();
  WallElem* w = axis_wall(0, 0, 4, 0);
  MeshElem* box = cuboid(10, 10, 0, 11, 11, 1, 1, "Glass");
  const auto before = drawing_state();
  const uint8_t steps = undo_used;
  testing::internal::CaptureStdout();
  EXPECT_EQ(mesh_boolean(MESH_BOOLEAN_INTERSECTION, w, box, folder()), 0);
  testing::internal::GetCapturedStdout();
  EXPECT_TRUE(errors().empty());
  EXPECT_EQ(ui.calls_starting("message"), std::vector<std::string>({"message Message: The result is empty"}));
  const auto e = elements();
  ASSERT_EQ(e.size(), 2u);
  EXPECT_EQ(e[0], box);
  EXPECT_EQ(e[1]->kind, ELEM_WALL);
  EXPECT_EQ(drawing_state(), before);
  EXPECT_EQ(undo_used, steps);
  EXPECT_EQ(undo_undone, 0);
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

// w (a wall along x) with a door from x = a to x = b standing on its floor,
// without a stop, so that it may reach an end of the wall or another
// opening; w itself is removed.
WallElem* with_door(WallElem* w, double a, double b, double height) {
  const double y0 = w->corner[0].y, y1 = w->corner[3].y, z0 = w->corner[0].z, z1 = z0 + height;
  Point3 box[8] = {{a, y0, z0, 0}, {b, y0, z0, 0}, {b, y1, z0, 0}, {a, y1, z0, 0},
                   {a, y0, z1, 0}, {b, y0, z1, 0}, {b, y1, z1, 0}, {a, y1, z1, 0}};
  WallElem* n = opening_cut_wall(box, OPENING_DOOR, 0, 0.0, height, 0.0, 0.0, 0, w);
  EXPECT_NE(n, w) << "the door " << a << " to " << b << " does not fit";
  w->mark = 1;
  elem_purge_marked();
  return n;
}

// A wall whose opening reaches the floor is an operand like any other: in
// the middle, at its end, beside another door, either operand.
TEST_F(MeshBooleanTest, WallsWithDoorsAreOperands) {
  SetUpFolder();
  // The wall: 4 x 0.3 x 2.75 = 3.3 along x from y -0.15 to 0.15.
  const struct {
    const char* what;
    int mode;
    std::vector<std::array<double, 3>> doors;  // from x, to x, height
    bool wall_second;
    std::array<double, 6> box;
    double volume;
  } cases[] = {
      {"door in the middle less a window",
       MESH_BOOLEAN_DIFFERENCE,
       {{1, 2, 2.1}},
       false,
       {2.5, -1, 1, 3.5, 1, 2},
       3.3 - 0.63 - 0.3},
      {"door at the end and a box across",
       MESH_BOOLEAN_UNION,
       {{3, 4, 2.1}},
       false,
       {0.5, -1, 0, 1.5, 1, 1},
       3.3 - 0.63 + 2 - 0.3},
      {"two doors side by side and a slab below the lintels",
       MESH_BOOLEAN_INTERSECTION,
       {{1, 2, 2.1}, {2, 3, 2.1}},
       false,
       {-1, -1, 0, 5, 1, 1},
       1.2 - 0.6},
      {"a box less a wall with a door",
       MESH_BOOLEAN_DIFFERENCE,
       {{1, 2, 2.1}},
       true,
       {0, -1, 0, 3, 0, 3},
       3 * 1 * 3 - 3 * 0.15 * 2.75 + 0.15 * 2.1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WallElem* w = axis_wall(0, 0, 4, 0);
    for (const auto& d : c.doors) w = with_door(w, d[0], d[1], d[2]);
    MeshElem* box = cuboid(c.box[0], c.box[1], c.box[2], c.box[3], c.box[4], c.box[5], 1, "Glass");
    if (c.mode != MESH_BOOLEAN_UNION) ui.answers = {2};
    testing::internal::CaptureStdout();
    const int made =
        c.wall_second ? mesh_boolean(c.mode, box, w, folder()) : mesh_boolean(c.mode, w, box, folder());
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(errors().empty()) << ui.calls.front();
    ASSERT_EQ(made, 1);
    ASSERT_EQ(elements().size(), 1u);
    const auto [v, closed] = volume_and_closed(*elem_as<MeshElem>(elem_list_tail));
    EXPECT_NEAR(v, c.volume, 1e-6);
    EXPECT_TRUE(closed);
    ui.calls.clear();
    ui.answers.clear();
    undo_record(UNDO_CLEAR, 0);
    drawing_free();
  }
}

// One mesh of the faces of both, as they are.
SolidMesh both(const SolidMesh& a, const SolidMesh& b) {
  SolidMesh m = a;
  const auto n = static_cast<int32_t>(a.vertices.size());
  m.vertices.insert(m.vertices.end(), b.vertices.begin(), b.vertices.end());
  m.face_sizes.insert(m.face_sizes.end(), b.face_sizes.begin(), b.face_sizes.end());
  for (int32_t i : b.indices) m.indices.push_back(i + n);
  return m;
}

const char* in_german(const char* key) {
  return std::string_view(key) == "The first solid intersects itself."
             ? "Der erste Körper durchdringt sich selbst."
             : key;
}

// When the tool refuses, the box says why, in the user's language where
// the program has the sentence; the details stay as the tool gave them.
TEST_F(MeshBooleanTest, TheToolsReasonIsShown) {
  SetUpFolder();
  SolidMesh open = solid_cuboid(1, 1, 3, 3, 1, 3);
  // Without its top face.
  open.indices.erase(open.indices.begin() + 4, open.indices.begin() + 8);
  open.face_sizes.erase(open.face_sizes.begin() + 1);
  const SolidMesh crossing = both(solid_cuboid(0, 0, 1, 1, 0, 1), solid_cuboid(0.5, 0.5, 1.5, 1.5, 0.5, 1.5));
  const struct {
    const char* what;
    SolidMesh a, b;
    NlsLookupFn lookup;
    const char* said;
  } cases[] = {
      {"first crossing itself", crossing, solid_cuboid(0, 0, 2, 2, 0, 2), nullptr,
       "error ***ERROR*** Boolean operation failed\nThe first solid intersects itself.\n"},
      {"first crossing itself, in German", crossing, solid_cuboid(0, 0, 2, 2, 0, 2), in_german,
       "error ***ERROR*** Boolean operation failed\nDer erste Körper durchdringt sich selbst.\n"},
      {"second open", solid_cuboid(0, 0, 2, 2, 0, 2), open, nullptr,
       "error ***ERROR*** Boolean operation failed\nThe second solid is not closed. (4 open edges)\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MeshElem* a = solid(c.a);
    MeshElem* b = solid(c.b);
    nls_set_lookup(c.lookup);
    testing::internal::CaptureStderr();
    EXPECT_EQ(mesh_boolean(MESH_BOOLEAN_UNION, a, b, folder()), 0);
    testing::internal::GetCapturedStderr();
    nls_set_lookup(nullptr);
    EXPECT_EQ(errors(), std::vector<std::string>({c.said}));
    EXPECT_EQ(elements(), (std::vector<ElemHeader*>{a, b}));
    ui.calls.clear();
    drawing_free();
  }
}

TEST_F(MeshBooleanTest, TheToolStartsFromAnArgumentVectorOnFreshFiles) {
  SetUpFolder();
  WallElem* w = axis_wall(0, 0, 4, 0);
  MeshElem* box = cuboid(1, -1, 1, 2, 1, 2, 1, "Glass");
  const auto before = drawing_state();
  const uint8_t steps = undo_used;
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
  // The wall comes back as it was, and no undo step is left of its
  // conversion.
  ASSERT_EQ(elements().size(), 2u);
  EXPECT_EQ(elements()[1]->kind, ELEM_WALL);
  EXPECT_EQ(drawing_state(), before);
  EXPECT_EQ(undo_used, steps);
  EXPECT_EQ(undo_undone, 0);

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

  // A wall as the second operand, and walls as both, come back from a
  // tool that fails or is missing, and from a folder that cannot take the
  // operands.
  undo_record(UNDO_CLEAR, 0);
  drawing_free();
  axis_wall(0, 0, 4, 0);
  axis_wall(0, 2, 4, 2);
  MeshElem* c = cuboid(1, -1, 1, 2, 1, 2, 1, "Glass");
  const auto walls_before = drawing_state();
  // A wall that comes back is a new element: look for it again each time.
  const auto wall = [](std::size_t k) {
    std::vector<ElemHeader*> out;
    for (ElemHeader* e : elements())
      if (e->kind == ELEM_WALL) out.push_back(e);
    return k < out.size() ? out[k] : nullptr;
  };
  tool.answer(true, 1);
  EXPECT_EQ(mesh_boolean(MESH_BOOLEAN_DIFFERENCE, c, wall(0), folder()), 0);
  EXPECT_EQ(drawing_state(), walls_before);
  tool.answer(false, -1);
  EXPECT_EQ(mesh_boolean(MESH_BOOLEAN_UNION, wall(0), wall(1), folder()), 0);
  EXPECT_EQ(drawing_state(), walls_before);
  EXPECT_EQ(mesh_boolean(MESH_BOOLEAN_UNION, wall(1), wall(0), (dir / "missing").string()), 0);
  EXPECT_EQ(drawing_state(), walls_before);
  EXPECT_EQ(undo_used, 0);
  EXPECT_EQ(undo_undone, 0);
}

// A tool that finds the surfaces apart: each operand whole on the outside
// of the other, nothing inside. Where solids share a face, that face then
// comes twice, once from each.
ProcessResult tool_finding_solids_apart(const ProcessRequest& r) {
  if (r.argv.size() != 5) return {};
  const std::string folder = r.argv[4];
  std::filesystem::copy_file(r.argv[2], folder + "1out2.gts");
  std::filesystem::copy_file(r.argv[3], folder + "2out1.gts");
  for (const char* name : {"1in2.gts", "2in1.gts"}) std::ofstream(folder + name) << "0 0 0 x x x x\n";
  return {true, 0, 1};
}

// A tool that takes surface 1 for inside solid 2 and surface 2 for
// outside solid 1, whatever they are.
ProcessResult tool_taking_the_first_for_inside(const ProcessRequest& r) {
  if (r.argv.size() != 5) return {};
  const std::string folder = r.argv[4];
  std::filesystem::copy_file(r.argv[2], folder + "1in2.gts");
  std::filesystem::copy_file(r.argv[3], folder + "2out1.gts");
  for (const char* name : {"1out2.gts", "2in1.gts"}) std::ofstream(folder + name) << "0 0 0 x x x x\n";
  return {true, 0, 1};
}

// Closed surfaces that no union, difference or intersection of the two
// solids can be: more than the smaller solid from an intersection, less
// than the larger from a union, nothing left of a difference that must
// leave most of the first. The operation refuses them and changes nothing.
TEST_F(MeshBooleanTest, AResultNoOperationOfTheTwoSolidsCanGiveIsRefused) {
  SetUpFolder();
  const ProcessStartFn previous = process_starter_install(tool_taking_the_first_for_inside);
  const Point3 top{0, 0, 10, 0}, apex{0, 0, 20, 0};
  const struct {
    const char* what;
    int mode;
    SolidMesh a, b;
  } cases[] = {
      {"union of solids apart", MESH_BOOLEAN_UNION, solid_cuboid(0, 0, 2, 2, 0, 2),
       solid_cuboid(5, 5, 6, 6, 5, 6)},
      {"difference of solids apart", MESH_BOOLEAN_DIFFERENCE, solid_cuboid(0, 0, 2, 2, 0, 2),
       solid_cuboid(5, 5, 6, 6, 5, 6)},
      {"intersection of solids apart", MESH_BOOLEAN_INTERSECTION, solid_cuboid(0, 0, 2, 2, 0, 2),
       solid_cuboid(5, 5, 6, 6, 5, 6)},
      // The box alone, as large as the larger solid: only where its
      // points lie tells that the cone's top is missing.
      {"union of a cone standing on a box", MESH_BOOLEAN_UNION, solid_frustum(top, apex, 1, 0, 12),
       solid_cuboid(-2, -2, 2, 2, 0, 10)},
      // The cone, no larger than the smaller solid, but not within the box.
      {"intersection of a cone standing on a box", MESH_BOOLEAN_INTERSECTION,
       solid_frustum(top, apex, 1, 0, 12), solid_cuboid(-2, -2, 2, 2, 0, 10)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MeshElem* a = solid(c.a, 3, "Oak");
    MeshElem* b = solid(c.b, 5, "Brick");
    const int mode = c.mode;
    ui.answers = {2};
    testing::internal::CaptureStdout();
    EXPECT_EQ(mesh_boolean(mode, a, b, folder()), 0);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(errors().size(), 1u);
    EXPECT_TRUE(ui.calls_starting("message").empty());
    EXPECT_TRUE(ui.calls_starting("ask").empty());
    EXPECT_EQ(elements(), (std::vector<ElemHeader*>{a, b}));
    ui.calls.clear();
    ui.answers.clear();
    undo_record(UNDO_CLEAR, 0);
    drawing_free();
  }
  process_starter_install(previous);
}

// A tool that finds solids meeting only in an edge: each whole on the
// outside of the other, and inside only slivers along the edge, triangles
// without area.
ProcessResult tool_finding_an_edge_in_common(const ProcessRequest& r) {
  if (r.argv.size() != 5) return {};
  const std::string folder = r.argv[4];
  std::filesystem::copy_file(r.argv[2], folder + "1out2.gts");
  std::filesystem::copy_file(r.argv[3], folder + "2out1.gts");
  for (const char* name : {"1in2.gts", "2in1.gts"})
    std::ofstream(folder + name) << "4 5 2 GtsSurface GtsFace GtsEdge GtsVertex\n"
                                    "1.5 1.5 0\n1.5 1.5 0.5\n1.5 1.5 1\n1.5 1.5 0.25\n"
                                    "1 2\n2 3\n3 1\n1 4\n4 2\n"
                                    "1 2 3\n4 5 1\n";
  return {true, 0, 1};
}

// Parts made only of triangles without area are no surface: what is left
// is the other part alone, or nothing, which is said.
TEST_F(MeshBooleanTest, PartsOfOnlySliversCountAsEmpty) {
  SetUpFolder();
  const ProcessStartFn previous = process_starter_install(tool_finding_an_edge_in_common);
  const struct {
    int mode;
    double volume;  // 0: "The result is empty"
  } cases[] = {{MESH_BOOLEAN_DIFFERENCE, 2.25}, {MESH_BOOLEAN_INTERSECTION, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    MeshElem* a = cuboid(0, 0, 0, 1.5, 1.5, 1, 3, "Oak");
    MeshElem* b = cuboid(1.5, 1.5, 0, 3, 3, 1, 5, "Brick");
    ui.answers = {2};
    testing::internal::CaptureStdout();
    const int made = mesh_boolean(c.mode, a, b, folder());
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(errors().empty());
    if (c.volume) {
      ASSERT_EQ(made, 1);
      ASSERT_EQ(elements().size(), 1u);
      const auto [v, closed] = volume_and_closed(*elem_as<MeshElem>(elem_list_tail));
      EXPECT_NEAR(v, c.volume, 1e-9);
      EXPECT_TRUE(closed);
    } else {
      EXPECT_EQ(made, 0);
      EXPECT_EQ(ui.calls_starting("message"),
                std::vector<std::string>({"message Message: The result is empty"}));
      EXPECT_EQ(elements(), (std::vector<ElemHeader*>{a, b}));
    }
    ui.calls.clear();
    ui.answers.clear();
    undo_record(UNDO_CLEAR, 0);
    drawing_free();
  }
  process_starter_install(previous);
}

// A tool that takes the first surface for outside the second and the
// second for inside the first, both whole: for a pocket cut from the top
// of a box, the box's top then still spans the pocket, over the pocket's
// own top turned over.
ProcessResult tool_keeping_both_whole(const ProcessRequest& r) {
  if (r.argv.size() != 5) return {};
  const std::string folder = r.argv[4];
  std::filesystem::copy_file(r.argv[2], folder + "1out2.gts");
  std::filesystem::copy_file(r.argv[3], folder + "2in1.gts");
  for (const char* name : {"1in2.gts", "2out1.gts"}) std::ofstream(folder + name) << "0 0 0 x x x x\n";
  return {true, 0, 1};
}

// Such a result is closed, wound one way, and of the right volume, but
// two faces lie on each other facing apart: a skin across the opening.
// It is refused and the operands stay, a wall too.
TEST_F(MeshBooleanTest, ASkinAcrossAnOpeningIsRefused) {
  SetUpFolder();
  const ProcessStartFn previous = process_starter_install(tool_keeping_both_whole);
  for (bool wall : {false, true}) {
    SCOPED_TRACE(wall ? "wall" : "box");
    if (wall) {
      WallElem* w = axis_wall(0, 0.15, 10, 0.15);
      for (int i = 4; i < 8; ++i) w->corner[i].z = 3;
    } else {
      cuboid(0, 0, 0, 10, 0.3, 3, 3, "Oak");
    }
    ElemHeader* a = elem_list_tail;
    // A pocket flush with the top.
    MeshElem* b = cuboid(4, 0.1, 2, 5, 0.2, 3, 5, "Brick");
    const auto before = drawing_state();
    const uint8_t steps = undo_used;
    ui.answers = {2};
    testing::internal::CaptureStdout();
    EXPECT_EQ(mesh_boolean(MESH_BOOLEAN_DIFFERENCE, a, b, folder()), 0);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(errors().size(), 1u);
    EXPECT_TRUE(ui.calls_starting("ask").empty());
    EXPECT_EQ(drawing_state(), before);
    EXPECT_EQ(undo_used, steps);
    EXPECT_EQ(elements().back()->kind, wall ? ELEM_WALL : ELEM_MESH);
    ui.calls.clear();
    ui.answers.clear();
    undo_record(UNDO_CLEAR, 0);
    drawing_free();
  }
  process_starter_install(previous);
}

// The face two joined solids share is no surface of the result: both its
// copies go, however each solid splits it into triangles.
TEST_F(MeshBooleanTest, AFaceSharedByTwoSolidsDoesNotStayInsideTheirUnion) {
  SetUpFolder();
  const ProcessStartFn previous = process_starter_install(tool_finding_solids_apart);
  struct Box {
    double x0, y0, z0, x1, y1, z1;
  };
  const struct {
    const char* what;
    Box a, b;
    double volume, area;
  } cases[] = {
      {"side by side", {0, 0, 0, 1, 1, 1}, {1, 0, 0, 2, 1, 1}, 2, 10},
      {"stacked", {0, 0, 0, 1, 1, 1}, {0, 0, 1, 1, 1, 2}, 2, 10},
      {"stacked, the upper one first", {0, 0, 1, 1, 1, 2}, {0, 0, 0, 1, 1, 1}, 2, 10},
      {"front to back, long", {0, 0, 0, 3, 1, 2}, {0, 1, 0, 3, 2, 2}, 12, 2 * (6 + 6 + 4)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MeshElem* a = cuboid(c.a.x0, c.a.y0, c.a.z0, c.a.x1, c.a.y1, c.a.z1, 3, "Oak");
    MeshElem* b = cuboid(c.b.x0, c.b.y0, c.b.z0, c.b.x1, c.b.y1, c.b.z1, 5, "Brick");
    testing::internal::CaptureStdout();
    const int made = mesh_boolean(MESH_BOOLEAN_UNION, a, b, folder());
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(errors().empty());
    ASSERT_EQ(made, 1);
    ASSERT_EQ(elements().size(), 1u);
    double area = 0;
    const auto [v, closed] = volume_and_closed(*elem_as<MeshElem>(elem_list_tail), &area);
    EXPECT_NEAR(v, c.volume, 1e-9);
    EXPECT_NEAR(area, c.area, 1e-9);
    EXPECT_TRUE(closed);
    ui.calls.clear();
    undo_record(UNDO_CLEAR, 0);
    drawing_free();
  }
  process_starter_install(previous);
}

// The test program runs the command's code on the first two walls or
// meshes of a drawing file and writes what the command leaves.
TEST_F(MeshBooleanTest, TheTestProgramOperatesOnTheFirstTwoSolidsOfAFile) {
  SetUpFolder();
  // A line, the wall, a box sharing an edge with it, and a mesh that is
  // no operand.
  elem_new_line(0, 1, 0, 50, 50, 52, 52);
  WallElem* w = axis_wall(0, 0.15, 10, 0.15);
  for (int i = 4; i < 8; ++i) w->corner[i].z = 3;
  solid(solid_cuboid(10, 0.3, 11, 1, 0, 3), 5, "Brick");
  solid(solid_cuboid(20, 20, 21, 21, 0, 1), 6, "Glass");
  const std::string in = (dir / "in.kav").string();
  {
    std::FILE* f = std::fopen(in.c_str(), "wb");
    ASSERT_TRUE(f && kavfile_write_drawing(f));
    std::fclose(f);
  }
  const std::string tool_dir = std::filesystem::path(KAVRO_GTS_BSO).parent_path().string();
  auto run = [&](const char* op, const std::string& out, std::string& said) {
    ProcessRequest r;
    r.argv = {KAVRO_BOOLEAN_PROGRAM, "--install", tool_dir, in, op, out};
    r.stdout_path = (dir / "said.txt").string();
    r.stderr_path = (dir / "stderr.txt").string();
    const int status = process_start_real(r).exit_status;
    std::ifstream said_in(r.stdout_path);
    said.assign(std::istreambuf_iterator<char>(said_in), std::istreambuf_iterator<char>());
    return status;
  };
  const struct {
    const char* op;
    int status;
    const char* said;
    std::vector<int> kinds;  // of the elements OUT holds, in order
    double volume;           // of the last one, 0 when it is no result
  } cases[] = {
      {"difference", 0, "", {ELEM_LINE, ELEM_MESH, ELEM_MESH}, 9},
      {"intersection", 1, "The result is empty\n", {ELEM_LINE, ELEM_MESH, ELEM_MESH, ELEM_WALL}, 0},
      {"union",
       1,
       "The boolean operation gave no closed solid; the elements are left as they were.\n",
       {ELEM_LINE, ELEM_MESH, ELEM_MESH, ELEM_WALL},
       0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.op);
    const std::string out = (dir / (std::string(c.op) + ".kav")).string();
    std::string said;
    EXPECT_EQ(run(c.op, out, said), c.status);
    EXPECT_EQ(said, c.said);
    // Whatever is open goes without asking.
    drawing_modified = 0;
    ASSERT_EQ(kavfile_load_drawing(1, out.c_str()), 1);
    std::vector<int> kinds;
    for (ElemHeader* e : elements()) kinds.push_back(e->kind);
    EXPECT_EQ(kinds, c.kinds);
    if (c.volume) {
      EXPECT_NEAR(volume_and_closed(*elem_as<MeshElem>(elem_list_tail)).first, c.volume, 1e-6);
    }
  }
  std::string said;
  EXPECT_EQ(run("xor", (dir / "xor.kav").string(), said), 2);
  EXPECT_FALSE(std::filesystem::exists(dir / "xor.kav"));
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
