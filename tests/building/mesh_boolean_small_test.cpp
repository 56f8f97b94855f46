// Booleans of small features, thin slabs and solids far from the origin:
// the result is the exact solid, whatever the size of the operands, and
// "The result is empty" is said only where the solids share no volume.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "building/solid/gts_file.h"
#include "building/solid/mesh_boolean.h"
#include "building/solid/solid_mesh.h"
#include "model/triangulate.h"
#include "model/vec3.h"
#include "platform/process.h"
#include "support/temp_folder.h"
#include "wall_tool_fixture.h"

namespace {

struct Box {
  double x0, y0, z0, x1, y1, z1;
};

MeshElem* box_mesh(const Box& b, int pen) {
  SolidMesh s = solid_cuboid(b.x0, b.y0, b.x1, b.y1, b.z0, b.z1);
  elem_new_mesh(0, pen, pen, s.vertex_count(), s.face_count(), s.face_sizes.data(), s.vertices.data(),
                s.indices.data(), "Oak", 0);
  return elem_as<MeshElem>(elem_list_tail);
}

// The volume the mesh encloses (wound clockwise seen from outside), taken
// about its first vertex so that far coordinates keep their digits.
double volume_of(const MeshElem& m) {
  FaceList* t = tri_faces_new(&m);
  tri_triangulate_faces(t, 0);
  const Point3 o = m.vertices.front();
  double v = 0;
  for (int k = 0; k < t->triangle_count; ++k) {
    const Point3 a = vec3_sub(m.vertices[t->t0[k]], o), b = vec3_sub(m.vertices[t->t1[k]], o),
                 c = vec3_sub(m.vertices[t->t2[k]], o);
    v += vec3_dot(a, vec3_cross(b, c));
  }
  tri_faces_free(t);
  return -v / 6.0;
}

// True when the faces as written close up: every corner differs from the
// next, and every edge runs once each way.
bool faces_closed(const MeshElem& m) {
  std::map<std::pair<int32_t, int32_t>, int> uses;
  std::size_t at = 0;
  for (int32_t n : m.face_sizes) {
    if (n < 3) return false;
    for (int32_t k = 0; k < n; ++k) {
      const int32_t a = m.indices[at + static_cast<std::size_t>(k)],
                    b = m.indices[at + static_cast<std::size_t>((k + 1) % n)];
      if (a == b) return false;
      ++uses[{a, b}];
    }
    at += static_cast<std::size_t>(n);
  }
  if (uses.empty()) return false;
  for (const auto& [e, n] : uses) {
    const auto back = uses.find({e.second, e.first});
    if (n != 1 || back == uses.end() || back->second != 1) return false;
  }
  return true;
}

constexpr double kEmpty = -1;
constexpr int kUnion = MESH_BOOLEAN_UNION, kDifference = MESH_BOOLEAN_DIFFERENCE,
              kIntersection = MESH_BOOLEAN_INTERSECTION;

Box shifted(Box b, double dx, double dy, double dz) {
  return {b.x0 + dx, b.y0 + dy, b.z0 + dz, b.x1 + dx, b.y1 + dy, b.z1 + dz};
}

struct Case {
  std::string what;
  int mode;
  Box a, b;
  double volume;  // worked out by hand; kEmpty where nothing is shared
};

// The file a stand-in tool gives as the union, whatever the operands.
std::string given_union;

class MeshBooleanSmallTest : public WallToolTest {
 protected:
  void SetUp() override {
    WallToolTest::SetUp();
    saved_tool_ = mesh_boolean_tool;
    mesh_boolean_tool = KAVRO_GTS_BSO;
    dir.make_folder("work");
  }
  void TearDown() override {
    mesh_boolean_tool = saved_tool_;
    WallToolTest::TearDown();
  }
  std::string folder() const { return (dir / "work").string(); }

  // The newest element, written as a GTS file the stand-in tool gives as
  // its union, then taken out of the drawing.
  void give_last_as_union(const char* name) {
    given_union = (dir / name).string();
    std::FILE* f = std::fopen(given_union.c_str(), "w");
    ASSERT_NE(f, nullptr);
    elem_list_tail->mark = 1;
    EXPECT_EQ(gts_write_marked(f), 1);
    std::fclose(f);
    elem_purge_marked();
  }

  // Runs the operation on two boxes; the result's volume, or -1 when the
  // program said the result is empty. Fails the test on any other outcome
  // or on a result that is not closed or has a point a hair beside one of
  // the boxes' planes.
  double run(int mode, const Box& a, const Box& b) {
    box_mesh(a, 3);
    MeshElem* first = elem_as<MeshElem>(elem_list_tail);
    box_mesh(b, 5);
    MeshElem* second = elem_as<MeshElem>(elem_list_tail);
    ui.answers = {2};
    testing::internal::CaptureStdout();
    const int made = mesh_boolean(mode, first, second, folder());
    testing::internal::GetCapturedStdout();
    double volume = -2;
    if (!errors().empty()) {
      ADD_FAILURE() << errors().front();
    } else if (made == 0) {
      const auto said = ui.calls_starting("message");
      if (said == std::vector<std::string>({"message Message: The result is empty"}))
        volume = -1;
      else
        ADD_FAILURE() << "no result and no message";
    } else if (const auto* r = elem_as<MeshElem>(elem_list_tail)) {
      EXPECT_TRUE(faces_closed(*r));
      volume = volume_of(*r);
      // Rounding of the coordinates' size is no move; a point the tool
      // pushed and did not put back lies farther off.
      double size = 1;
      for (const Box& x : {a, b})
        for (double c : {x.x0, x.y0, x.z0, x.x1, x.y1, x.z1}) size = std::max(size, std::fabs(c));
      for (const Point3& p : r->vertices) {
        const auto clean = [size](double x, std::initializer_list<double> planes) {
          for (double g : planes)
            if (std::fabs(x - g) > 1e-13 * size && std::fabs(x - g) < 1e-4) return false;
          return true;
        };
        EXPECT_TRUE(clean(p.x, {a.x0, a.x1, b.x0, b.x1})) << p.x;
        EXPECT_TRUE(clean(p.y, {a.y0, a.y1, b.y0, b.y1})) << p.y;
        EXPECT_TRUE(clean(p.z, {a.z0, a.z1, b.z0, b.z1})) << p.z;
      }
    }
    ui.calls.clear();
    ui.answers.clear();
    undo_record(UNDO_CLEAR, 0);
    drawing_free();
    return volume;
  }

  // Runs every case, the volume to within a billionth of itself.
  void check(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.what);
      const double v = run(c.mode, c.a, c.b);
      if (c.volume == kEmpty)
        EXPECT_EQ(v, kEmpty);
      else
        EXPECT_NEAR(v, c.volume, 1e-9 * c.volume);
    }
  }

  TempFolder dir;

 private:
  std::string saved_tool_;
};

}  // namespace

TEST_F(MeshBooleanSmallTest, MillimetreCubesGiveTheirExactOverlap) {
  std::vector<Case> cases;
  // Cubes of 2 mm, the second moved by 1 mm along x (overlap 1 x 2 x 2 mm)
  // and along all three axes (overlap 1 mm cube).
  const Box c2{0, 0, 0, 0.002, 0.002, 0.002};
  const Box along_x = shifted(c2, 0.001, 0, 0), along_xyz = shifted(c2, 0.001, 0.001, 0.001);
  for (double far : {0.0, 100.0, -250.0, 1000.0, -1000.5}) {
    const std::string where = far == 0 ? " at the origin" : " at " + std::to_string(far) + " m";
    const Box a = shifted(c2, far, far, far), bx = shifted(along_x, far, far, far),
              bxyz = shifted(along_xyz, far, far, far);
    cases.push_back({"2 mm cubes along x, intersection" + where, kIntersection, a, bx, 4e-9});
    cases.push_back({"2 mm cubes along x, union" + where, kUnion, a, bx, 12e-9});
    cases.push_back({"2 mm cubes along x, difference" + where, kDifference, a, bx, 4e-9});
    cases.push_back({"2 mm cubes along xyz, intersection" + where, kIntersection, a, bxyz, 1e-9});
    cases.push_back({"2 mm cubes along xyz, union" + where, kUnion, a, bxyz, 15e-9});
    cases.push_back({"2 mm cubes along xyz, difference" + where, kDifference, bxyz, a, 7e-9});
  }
  // Cubes of s mm overlapping in a 1 mm cube: s - 1 mm apart on every axis.
  for (int s = 2; s <= 5; ++s) {
    const double side = s * 1e-3, off = (s - 1) * 1e-3;
    const Box a{0, 0, 0, side, side, side};
    const double cube = side * side * side;
    cases.push_back(
        {std::to_string(s) + " mm cubes, intersection", kIntersection, a, shifted(a, off, off, off), 1e-9});
    cases.push_back(
        {std::to_string(s) + " mm cubes, union", kUnion, a, shifted(a, off, off, off), 2 * cube - 1e-9});
    cases.push_back({std::to_string(s) + " mm cubes far away, intersection", kIntersection,
                     shifted(a, 100, 100, 0), shifted(a, 100 + off, 100 + off, off), 1e-9});
  }
  // Moved along y or z alone, the second first, at the origin and far.
  for (double far : {0.0, 1000.0}) {
    const Box a = shifted(c2, far, far, far);
    for (int axis : {1, 2}) {
      const Box b = shifted(a, 0, axis == 1 ? 0.001 : 0, axis == 2 ? 0.001 : 0);
      const std::string what =
          std::string("2 mm cubes along ") + (axis == 1 ? "y" : "z") + " at " + std::to_string(far) + " m, ";
      cases.push_back({what + "intersection", kIntersection, b, a, 4e-9});
      cases.push_back({what + "union", kUnion, b, a, 12e-9});
      cases.push_back({what + "difference", kDifference, b, a, 4e-9});
    }
  }
  // Cubes that only touch share no volume.
  cases.push_back({"2 mm cubes face to face", kIntersection, c2, shifted(c2, 0.002, 0, 0), kEmpty});
  cases.push_back({"2 mm cubes apart", kIntersection, c2, shifted(c2, 0.003, 0, 0), kEmpty});
  check(cases);
}

TEST_F(MeshBooleanSmallTest, NotchesAndThinSlabsInLargeBoxesGiveTheirExactVolume) {
  const Box metre{0, 0, 0, 1, 1, 1}, field{0, 0, 0, 100, 100, 1};
  // A groove 1 mm wide and 10 cm deep across the top of the metre box.
  const Box groove{0.5, -0.1, 0.9, 0.501, 1.1, 1.1};
  // A 1 mm cube cut from a corner.
  const Box corner{0.999, 0.999, 0.999, 1.1, 1.1, 1.1};
  // A slab 1 mm thick wholly inside the box: a hollow.
  const Box hollow{0.2, 0.2, 0.5, 0.8, 0.8, 0.501};
  // A 1 mm cube at a corner of a 100 m slab, half in it on every side.
  const Box speck{99.9995, 99.9995, 0.9995, 100.0005, 100.0005, 1.0005};
  // A 1 mm groove along the whole 100 m slab, 1 mm deep.
  const Box seam{-1, 40, 0.999, 101, 40.001, 2};
  // A 1 mm pit in the middle of the 100 m slab's top, and a 1 mm sheet
  // through the whole slab.
  const Box pit{50, 50, 0.999, 50.001, 50.001, 1.5}, sheet{-1, -1, 0.5, 101, 101, 0.501};
  const std::vector<Case> cases = {
      {"1 mm pit out of 100 m", kDifference, field, pit, 10000 - 1e-9},
      {"1 mm pit within 100 m", kIntersection, pit, field, 1e-9},
      {"1 mm sheet out of 100 m", kDifference, field, sheet, 10000 - 10},
      {"1 mm sheet within 100 m", kIntersection, field, sheet, 10},
      {"1 mm sheet and 100 m, union", kUnion, sheet, field, 10000 + 102 * 102 * 0.001 - 10},
      {"groove out of 1 m", kDifference, metre, groove, 1 - 0.001 * 0.1},
      {"groove within 1 m", kIntersection, groove, metre, 0.001 * 0.1},
      {"groove and 1 m, union", kUnion, metre, groove, 1 + 0.001 * 1.2 * 0.2 - 0.001 * 0.1},
      {"1 mm corner out of 1 m", kDifference, metre, corner, 1 - 1e-9},
      {"1 mm corner within 1 m", kIntersection, metre, corner, 1e-9},
      {"hollow in 1 m", kDifference, metre, hollow, 1 - 0.36 * 0.001},
      {"slab within 1 m", kIntersection, metre, hollow, 0.36 * 0.001},
      {"slab within 1 m, union", kUnion, metre, hollow, 1},
      {"1 mm speck within 100 m", kIntersection, field, speck, 0.125e-9},
      {"1 mm speck out of 100 m", kDifference, speck, field, 1e-9 - 0.125e-9},
      {"1 mm seam out of 100 m", kDifference, field, seam, 10000 - 100 * 0.001 * 0.001},
      {"1 mm seam within 100 m", kIntersection, seam, field, 100 * 0.001 * 0.001},
  };
  check(cases);
}

TEST_F(MeshBooleanSmallTest, SlabsFaceToFaceGiveTheExactSolidOrATrueEmpty) {
  const Box slab{0, 0, 0, 10, 10, 0.3}, on_it{0, 0, 0.3, 10, 10, 0.6};
  // Stacked and moved 3 m sideways; beside it on the floor, overlapping by
  // 7 m; lying 3 m beside it on top.
  const Box aside{3, 0, 0.3, 13, 10, 0.6}, overlapping{3, 0, 0, 13, 10, 0.3}, beyond{13, 0, 0.3, 23, 10, 0.6};
  const std::vector<Case> cases = {
      {"stacked, union", kUnion, slab, on_it, 60},
      {"stacked, difference", kDifference, slab, on_it, 30},
      {"stacked, intersection", kIntersection, slab, on_it, kEmpty},
      {"stacked, the upper first, difference", kDifference, on_it, slab, 30},
      {"3 m aside, union", kUnion, slab, aside, 60},
      {"3 m aside, difference", kDifference, slab, aside, 30},
      {"3 m aside, intersection", kIntersection, slab, aside, kEmpty},
      {"overlapping on one floor, union", kUnion, slab, overlapping, 13 * 10 * 0.3},
      {"overlapping on one floor, difference", kDifference, slab, overlapping, 3 * 10 * 0.3},
      {"overlapping on one floor, intersection", kIntersection, slab, overlapping, 7 * 10 * 0.3},
      {"apart, intersection", kIntersection, slab, beyond, kEmpty},
      {"apart, difference", kDifference, slab, beyond, 30},
  };
  check(cases);
  // The same on a site a kilometre from the origin, on the 12th floor.
  std::vector<Case> far;
  for (Case c : cases) {
    c.what += ", far";
    c.a = shifted(c.a, 1000.25, -1200.5, 36.3);
    c.b = shifted(c.b, 1000.25, -1200.5, 36.3);
    far.push_back(c);
  }
  check(far);
}

// Coordinates that no short decimal gives (a third, 0.1 + 0.2) come back
// bit for bit: a coordinate of the result near one of the boxes' is that
// one exactly.
TEST_F(MeshBooleanSmallTest, PointsOfTheOperandsComeBackBitForBit) {
  const double third = 1.0 / 3, tenths = 0.1 + 0.2, far = 100 + 1.0 / 7;
  const Box a{0, 0, 0, 1 + third, 1, tenths}, b{third, third, tenths, 2 + third, 2, 2 * tenths},
      c{far, far, third, far + third, far + 1, 1 + third},
      d{far + third / 2, far, 0, far + 1, far + third, 1};
  const struct {
    const char* what;
    int mode;
    Box a, b;
  } cases[] = {
      {"stacked, union", kUnion, a, b},
      {"stacked, difference", kDifference, a, b},
      {"far, union", kUnion, c, d},
      {"far, difference", kDifference, c, d},
      {"far, intersection", kIntersection, c, d},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.what);
    box_mesh(k.a, 3);
    MeshElem* first = elem_as<MeshElem>(elem_list_tail);
    box_mesh(k.b, 5);
    MeshElem* second = elem_as<MeshElem>(elem_list_tail);
    ui.answers = {2};
    testing::internal::CaptureStdout();
    ASSERT_EQ(mesh_boolean(k.mode, first, second, folder()), 1);
    testing::internal::GetCapturedStdout();
    const auto* r = elem_as<MeshElem>(elem_list_tail);
    const auto one_of = [](double x, std::initializer_list<double> planes) {
      for (double g : planes)
        if (x != g && std::fabs(x - g) < 1e-6) return false;
      return true;
    };
    for (const Point3& p : r->vertices) {
      EXPECT_TRUE(one_of(p.x, {k.a.x0, k.a.x1, k.b.x0, k.b.x1})) << std::hexfloat << p.x;
      EXPECT_TRUE(one_of(p.y, {k.a.y0, k.a.y1, k.b.y0, k.b.y1})) << std::hexfloat << p.y;
      EXPECT_TRUE(one_of(p.z, {k.a.z0, k.a.z1, k.b.z0, k.b.z1})) << std::hexfloat << p.z;
    }
    ui.calls.clear();
    ui.answers.clear();
    undo_record(UNDO_CLEAR, 0);
    drawing_free();
  }
}

namespace {

// Tools that take solids which overlap for apart (each wholly outside the
// other) or the first for wholly inside the second, as a tool that misses
// where small faces cross would.
ProcessResult write_parts(const ProcessRequest& r, bool first_inside) {
  if (r.argv.size() != 5) return {};
  const std::string folder = r.argv[4];
  std::filesystem::copy_file(r.argv[2], folder + (first_inside ? "1in2.gts" : "1out2.gts"));
  std::filesystem::copy_file(r.argv[3], folder + "2out1.gts");
  for (const char* name : {first_inside ? "1out2.gts" : "1in2.gts", "2in1.gts"})
    std::ofstream(folder + name) << "0 0 0 x x x x\n";
  return {true, 0, 1};
}
ProcessResult tool_taking_solids_for_apart(const ProcessRequest& r) { return write_parts(r, false); }
ProcessResult tool_taking_the_first_for_inside(const ProcessRequest& r) { return write_parts(r, true); }

}  // namespace

// "The result is empty" is said only where it is true, whatever the tool
// found: a corner of one solid inside the other, or an edge passing
// through the other's face, shows that something is shared, and a union
// as large as both solids together cannot be right then. The operation
// refuses such parts and leaves the elements alone.
TEST_F(MeshBooleanSmallTest, NothingIsCalledEmptyThatIsNot) {
  const Box c2{0, 0, 0, 0.002, 0.002, 0.002};
  const Box along_x = shifted(c2, 0.001, 0, 0), apart = shifted(c2, 0.003, 0, 0),
            face_to_face = shifted(c2, 0.002, 0, 0);
  // Beams crossing like a plus: no corner of either inside the other.
  const Box beam_x{0, 0.001, 0, 0.003, 0.002, 0.001}, beam_y{0.001, 0, -0.001, 0.002, 0.003, 0.002};
  // A small cube half inside a larger one, and wholly inside it.
  const Box large{0.001, 0.001, 0.001, 0.004, 0.004, 0.004}, within{0.002, 0.002, 0.002, 0.003, 0.003, 0.003};
  constexpr double kRefused = -2;
  const struct {
    const char* what;
    ProcessStartFn tool;
    int mode;
    Box a, b;
    double outcome;  // kRefused, kEmpty, or the volume of the result
  } cases[] = {
      {"overlapping, intersection", tool_taking_solids_for_apart, kIntersection, c2, along_x, kRefused},
      {"overlapping, union", tool_taking_solids_for_apart, kUnion, c2, along_x, kRefused},
      {"overlapping, difference", tool_taking_solids_for_apart, kDifference, c2, along_x, kRefused},
      {"crossing beams, intersection", tool_taking_solids_for_apart, kIntersection, beam_x, beam_y, kRefused},
      {"crossing beams, union", tool_taking_solids_for_apart, kUnion, beam_x, beam_y, kRefused},
      {"half inside, difference", tool_taking_the_first_for_inside, kDifference, c2, large, kRefused},
      // Where the tool is right, so is the program.
      {"apart, intersection", tool_taking_solids_for_apart, kIntersection, c2, apart, kEmpty},
      {"apart, union", tool_taking_solids_for_apart, kUnion, c2, apart, 16e-9},
      {"face to face, intersection", tool_taking_solids_for_apart, kIntersection, c2, face_to_face, kEmpty},
      {"wholly inside, difference", tool_taking_the_first_for_inside, kDifference, within, large, kEmpty},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const ProcessStartFn previous = process_starter_install(c.tool);
    MeshElem* first = box_mesh(c.a, 3);
    MeshElem* second = box_mesh(c.b, 5);
    ui.answers = {2};
    testing::internal::CaptureStdout();
    const int made = mesh_boolean(c.mode, first, second, folder());
    testing::internal::GetCapturedStdout();
    process_starter_install(previous);
    if (c.outcome == kRefused) {
      EXPECT_EQ(made, 0);
      EXPECT_EQ(errors().size(), 1u);
      EXPECT_TRUE(ui.calls_starting("message").empty());
      EXPECT_EQ(elements(), (std::vector<ElemHeader*>{first, second}));
    } else if (c.outcome == kEmpty) {
      EXPECT_EQ(made, 0);
      EXPECT_TRUE(errors().empty());
      EXPECT_EQ(ui.calls_starting("message"),
                std::vector<std::string>({"message Message: The result is empty"}));
    } else {
      ASSERT_EQ(made, 1);
      EXPECT_NEAR(volume_of(*elem_as<MeshElem>(elem_list_tail)), c.outcome, 1e-9 * c.outcome);
    }
    ui.calls.clear();
    ui.answers.clear();
    undo_record(UNDO_CLEAR, 0);
    drawing_free();
  }
  // A vertex that no face uses, far outside the second solid, is no part
  // of the first: the difference is still empty.
  SolidMesh s = solid_cuboid(within.x0, within.y0, within.x1, within.y1, within.z0, within.z1);
  s.vertices.push_back(Point3{1, 1, 1, 0});
  elem_new_mesh(0, 3, 3, s.vertex_count(), s.face_count(), s.face_sizes.data(), s.vertices.data(),
                s.indices.data(), "Oak", 0);
  MeshElem* first = elem_as<MeshElem>(elem_list_tail);
  MeshElem* second = box_mesh(large, 5);
  const ProcessStartFn previous = process_starter_install(tool_taking_the_first_for_inside);
  testing::internal::CaptureStdout();
  EXPECT_EQ(mesh_boolean(kDifference, first, second, folder()), 0);
  testing::internal::GetCapturedStdout();
  process_starter_install(previous);
  EXPECT_TRUE(errors().empty());
  EXPECT_EQ(ui.calls_starting("message"), std::vector<std::string>({"message Message: The result is empty"}));
}

namespace {

ProcessResult tool_giving_a_union(const ProcessRequest& r) {
  if (r.argv.size() != 5) return {};
  const std::string folder = r.argv[4];
  std::filesystem::copy_file(given_union, folder + "1out2.gts");
  for (const char* name : {"1in2.gts", "2in1.gts", "2out1.gts"})
    std::ofstream(folder + name) << "0 0 0 x x x x\n";
  return {true, 0, 1};
}

}  // namespace

// What a result may hold is bounded by the operands' volumes to within a
// share of them, however small the solids: a union of millimetre cubes
// that has lost a slot of a hundredth of their volume, every corner of
// both still in or on it, is refused.
TEST_F(MeshBooleanSmallTest, VolumeBoundsFollowTheSizeOfTheSolids) {
  for (double unit : {0.001, 1.0}) {
    SCOPED_TRACE(unit);
    // The 2 x 2 x 2 cube with a slot 0.2 wide and 0.1 deep up one side
    // (volume 8 - 0.04), in units.
    std::vector<Point3> bottom, top;
    for (const auto& [x, y] : std::vector<std::pair<double, double>>{
             {0, 0}, {0.9, 0}, {0.9, 0.1}, {1.1, 0.1}, {1.1, 0}, {2, 0}, {2, 2}, {0, 2}}) {
      bottom.push_back(Point3{x * unit, y * unit, 0, 0});
      top.push_back(Point3{x * unit, y * unit, 2 * unit, 0});
    }
    SolidMesh slotted = solid_prism(bottom, top);
    solid_wind_outward(slotted);
    ASSERT_NEAR(solid_volume(slotted), 7.96 * unit * unit * unit, 1e-9 * unit * unit * unit);
    elem_new_mesh(0, 1, 1, slotted.vertex_count(), slotted.face_count(), slotted.face_sizes.data(),
                  slotted.vertices.data(), slotted.indices.data(), "Oak", 0);
    give_last_as_union("slotted.gts");
    // The cube and a cube of half its side within it.
    MeshElem* first = box_mesh({0, 0, 0, 2 * unit, 2 * unit, 2 * unit}, 3);
    MeshElem* second = box_mesh({0.5 * unit, 0.5 * unit, 0.5 * unit, 1.5 * unit, 1.5 * unit, 1.5 * unit}, 5);
    const ProcessStartFn previous = process_starter_install(tool_giving_a_union);
    testing::internal::CaptureStdout();
    EXPECT_EQ(mesh_boolean(kUnion, first, second, folder()), 0);
    testing::internal::GetCapturedStdout();
    process_starter_install(previous);
    EXPECT_EQ(errors().size(), 1u);
    EXPECT_EQ(elements(), (std::vector<ElemHeader*>{first, second}));
    ui.calls.clear();
    undo_record(UNDO_CLEAR, 0);
    drawing_free();
    std::filesystem::remove(given_union);
  }
}

// A surface with a sliver a ten-millionth of its length thick between two
// faces, its apex within a millionth of the edge's length of the long edge
// both faces share: that edge has its two faces already, so the clean-up
// leaves the apex out of it. Put into it (and into the sliver's own edge)
// it would fold the sliver onto itself ([a, b, c, b]) and leave its edges
// used four times: the result, closed as the tool gave it, must come
// through closed, of its volume, 1 + h / 3 (the cube and the pyramid of
// its top square and the apex, worked out by hand and summed over the
// triangles in python), as the same cube without the sliver does.
TEST_F(MeshBooleanSmallTest, ASliverBesideAClosedEdgeStaysClosedThroughTheCleanUp) {
  for (double h : {0.0, 1e-7, 4e-7}) {
    SCOPED_TRACE(h);
    // The unit cube, corners 0-3 below, 4 (0,0,1), 5 (1,0,1), 6 (1,1,1),
    // 7 (0,1,1); the sliver's apex 8 lies beside the edge 4-5, out of the
    // planes of both faces at it. Triangles counter-clockwise from outside.
    std::vector<Point3> v = {{0, 0, 0, 0}, {1, 0, 0, 0}, {1, 1, 0, 0}, {0, 1, 0, 0},       {0, 0, 1, 0},
                             {1, 0, 1, 0}, {1, 1, 1, 0}, {0, 1, 1, 0}, {0.5, -h, 1 + h, 0}};
    std::vector<std::array<int32_t, 3>> t = {{0, 2, 1}, {0, 3, 2}, {0, 1, 5}, {0, 5, 4}, {1, 2, 6},
                                             {1, 6, 5}, {2, 3, 7}, {2, 7, 6}, {3, 0, 4}, {3, 4, 7}};
    if (h > 0) {
      // The top through the apex, and the sliver 4-5-8 closing the gap.
      t.insert(t.end(), {{4, 8, 7}, {8, 5, 6}, {8, 6, 7}, {4, 5, 8}});
    } else {
      v.pop_back();
      t.insert(t.end(), {{4, 5, 6}, {4, 6, 7}});
    }
    std::vector<int32_t> sizes, indices;
    for (const auto& tri : t) {
      // The program's meshes run clockwise seen from outside.
      sizes.push_back(3);
      indices.insert(indices.end(), {tri[0], tri[2], tri[1]});
    }
    elem_new_mesh(0, 1, 1, static_cast<int>(v.size()), static_cast<int>(sizes.size()), sizes.data(), v.data(),
                  indices.data(), "Oak", 0);
    give_last_as_union("folded.gts");
    // The unit cube and a smaller one within it: their union is the cube.
    MeshElem* first = box_mesh({0, 0, 0, 1, 1, 1}, 3);
    MeshElem* second = box_mesh({0.25, 0.25, 0.25, 0.75, 0.75, 0.75}, 5);
    const ProcessStartFn previous = process_starter_install(tool_giving_a_union);
    testing::internal::CaptureStdout();
    const int made = mesh_boolean(kUnion, first, second, folder());
    testing::internal::GetCapturedStdout();
    process_starter_install(previous);
    ASSERT_EQ(made, 1);
    EXPECT_TRUE(errors().empty());
    EXPECT_NEAR(volume_of(*elem_as<MeshElem>(elem_list_tail)), 1 + h / 3, 1e-12);
    EXPECT_TRUE(faces_closed(*elem_as<MeshElem>(elem_list_tail)));
    ui.calls.clear();
    undo_record(UNDO_CLEAR, 0);
    drawing_free();
    std::filesystem::remove(given_union);
  }
}

// The result check reads the faces as they are written, not only the
// triangles made of them: a face folded onto itself or with a corner twice
// in a row has no area, so the triangles leave it out and the rest of a
// unit cube closes up without it, yet the file holds it and its edges.
TEST_F(MeshBooleanSmallTest, TheResultCheckReadsTheFacesAsWritten) {
  struct Case {
    const char* name;
    void (*change)(SolidMesh&);
    bool sound;
  } cases[] = {
      {"the cube as it is", [](SolidMesh&) {}, true},
      {"a face folded onto itself [a, b, c, b]",
       [](SolidMesh& s) {
         const int32_t a = s.indices[0], b = s.indices[1], c = s.indices[2];
         s.face_sizes.push_back(4);
         s.indices.insert(s.indices.end(), {a, b, c, b});
       },
       false},
      {"a corner twice in a row",
       [](SolidMesh& s) {
         s.indices.insert(s.indices.begin(), s.indices[0]);
         ++s.face_sizes[0];
       },
       false},
      {"a face of two corners and its way back [a, b, a]",
       [](SolidMesh& s) {
         const int32_t a = s.indices[0], b = s.indices[1];
         s.face_sizes.push_back(3);
         s.indices.insert(s.indices.end(), {a, b, a});
       },
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SolidMesh s = solid_cuboid(0, 0, 1, 1, 0, 1);
    c.change(s);
    elem_new_mesh(0, 1, 1, s.vertex_count(), s.face_count(), s.face_sizes.data(), s.vertices.data(),
                  s.indices.data(), "Oak", 0);
    EXPECT_EQ(mesh_boolean_result_sound(*elem_as<MeshElem>(elem_list_tail)), c.sound);
  }
}

// Where fine curved surfaces cut each other at a shallow angle, a sliver
// of the seam can fold over its neighbour in their common plane by less
// than the distance at which points are one (a micrometre): the tool's
// own parts pair up, and no solid has a skin that thin. A cube of 0.1
// whose top is fanned about a point of its plane a little beyond the edge
// 4-5 (farther from it than a millionth of its length, so no edge takes
// it in): the triangle 4-5-apex is turned over, and the fan's triangles
// beside it cover it again. A fold of 0.3 micrometres is taken (the fan's
// triangles add up to the top's area: the volume stays 0.001); one of 20
// micrometres is a skin and is refused.
TEST_F(MeshBooleanSmallTest, AFoldNarrowerThanAPointIsNoSkin) {
  for (double h : {3e-7, 2e-5}) {
    SCOPED_TRACE(h);
    constexpr double u = 0.1;
    const std::vector<Point3> v = {{0, 0, 0, 0}, {u, 0, 0, 0}, {u, u, 0, 0}, {0, u, 0, 0},     {0, 0, u, 0},
                                   {u, 0, u, 0}, {u, u, u, 0}, {0, u, u, 0}, {u / 2, -h, u, 0}};
    // Counter-clockwise from outside.
    const std::vector<std::array<int32_t, 3>> t = {{0, 2, 1}, {0, 3, 2}, {0, 1, 5}, {0, 5, 4}, {1, 2, 6},
                                                   {1, 6, 5}, {2, 3, 7}, {2, 7, 6}, {3, 0, 4}, {3, 4, 7},
                                                   {4, 5, 8}, {5, 6, 8}, {6, 7, 8}, {7, 4, 8}};
    std::vector<int32_t> sizes, indices;
    for (const auto& tri : t) {
      // The program's meshes run clockwise seen from outside.
      sizes.push_back(3);
      indices.insert(indices.end(), {tri[0], tri[2], tri[1]});
    }
    std::vector<Point3> points = v;
    elem_new_mesh(0, 1, 1, static_cast<int>(points.size()), static_cast<int>(sizes.size()), sizes.data(),
                  points.data(), indices.data(), "Oak", 0);
    give_last_as_union("fold.gts");
    MeshElem* first = box_mesh({0, 0, 0, u, u, u}, 3);
    MeshElem* second = box_mesh({u / 4, u / 4, u / 4, 3 * u / 4, 3 * u / 4, 3 * u / 4}, 5);
    const ProcessStartFn previous = process_starter_install(tool_giving_a_union);
    testing::internal::CaptureStdout();
    const int made = mesh_boolean(kUnion, first, second, folder());
    testing::internal::GetCapturedStdout();
    process_starter_install(previous);
    if (h < 1e-6) {
      ASSERT_EQ(made, 1) << (errors().empty() ? "" : errors().front());
      EXPECT_NEAR(volume_of(*elem_as<MeshElem>(elem_list_tail)), u * u * u, 1e-12);
    } else {
      EXPECT_EQ(made, 0);
      EXPECT_EQ(errors().size(), 1u);
      EXPECT_EQ(elements(), (std::vector<ElemHeader*>{first, second}));
    }
    ui.calls.clear();
    undo_record(UNDO_CLEAR, 0);
    drawing_free();
    std::filesystem::remove(given_union);
  }
}
