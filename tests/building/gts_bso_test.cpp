// The mesh boolean tool on operand files as the program writes them: the
// four parts, their volumes, touching and coplanar faces, nested and
// disjoint solids, a wall with an opening, and operands it must refuse.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "building/solid/gts_file.h"
#include "building/solid/solid_mesh.h"
#include "building/solid/wall_mesh.h"
#include "gts_bso/bso_mesh.h"
#include "platform/process.h"
#include "support/temp_folder.h"
#include "wall_tool_fixture.h"

namespace {

const char* const kParts[4] = {"1in2.gts", "1out2.gts", "2in1.gts", "2out1.gts"};

// The GTS text of one mesh as the program writes it.
std::string gts_text(MeshElem* m) {
  m->mark = 1;
  FILE* f = std::tmpfile();
  EXPECT_EQ(gts_write_marked(f), 1);
  m->mark = 0;
  std::rewind(f);
  std::string text;
  for (int c; (c = std::fgetc(f)) != EOF;) text += static_cast<char>(c);
  std::fclose(f);
  return text;
}

MeshElem* cuboid(double x0, double y0, double z0, double x1, double y1, double z1) {
  SolidMesh s = solid_cuboid(x0, y0, x1, y1, z0, z1);
  elem_new_mesh(0, 1, 0, s.vertex_count(), s.face_count(), s.face_sizes.data(), s.vertices.data(),
                s.indices.data(), "Oak", 0);
  return elem_as<MeshElem>(elem_list_tail);
}

BsoMesh parse(const std::filesystem::path& p) {
  std::ifstream in(p);
  std::stringstream s;
  s << in.rdbuf();
  BsoMesh m;
  std::string why;
  EXPECT_TRUE(bso_parse(s.str(), m, why)) << p << ": " << why;
  return m;
}

class GtsBsoTest : public WallToolTest {
 protected:
  TempFolder dir;

  // Runs the tool on the two operand texts; its exit status.
  int run(const std::string& a, const std::string& b) {
    dir.write("kav1.gts", a);
    dir.write("kav2.gts", b);
    return process_run({KAVRO_GTS_BSO, "inter", (dir / "kav1.gts").string(), (dir / "kav2.gts").string(),
                        dir.path().string() + "/"});
  }
  int results() const {
    int n = 0;
    for (const char* p : kParts) n += std::filesystem::exists(dir / p);
    return n;
  }
  // Signed volume of the parts (GTS orientation, outward positive); a part
  // is flipped with a minus sign.
  double volume(std::initializer_list<std::pair<const char*, int>> parts) {
    double v = 0;
    for (const auto& [name, sign] : parts) v += sign * bso_volume(parse(dir / name));
    return v;
  }
  int triangles(const char* name) { return static_cast<int>(parse(dir / name).triangles.size()); }

  // Checks union, difference and intersection volumes of operands of the
  // given volumes and overlap.
  void expect_volumes(double v1, double v2, double overlap) {
    EXPECT_NEAR(volume({{"1out2.gts", 1}, {"2out1.gts", 1}}), v1 + v2 - overlap, 1e-9);
    EXPECT_NEAR(volume({{"1out2.gts", 1}, {"2in1.gts", -1}}), v1 - overlap, 1e-9);
    EXPECT_NEAR(volume({{"1in2.gts", 1}, {"2in1.gts", 1}}), overlap, 1e-9);
  }
};

TEST_F(GtsBsoTest, OverlappingCuboidsGiveFourConsistentParts) {
  const struct {
    const char* what;
    double b[6];
    double overlap;
  } cases[] = {
      {"offset in x, y and z", {1, 1, 1, 3, 3, 3}, 1.0},
      {"coplanar bases", {1, 1, 0, 3, 3, 2}, 2.0},
      {"coplanar base and side", {1, 0, 0, 3, 3, 2}, 4.0},
      {"coplanar tops, one through the other", {0.5, -1, 0, 1.5, 3, 2}, 4.0},
      // Surfaces that touch without crossing: three faces in common, or
      // one face and nothing inside.
      {"inside in the corner at the origin", {0, 0, 0, 1, 1, 1}, 1.0},
      {"inside in the far corner", {1, 1, 1, 2, 2, 2}, 1.0},
      {"sharing a face", {2, 0, 0, 3, 2, 2}, 0.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string a = gts_text(cuboid(0, 0, 0, 2, 2, 2));
    const std::string b = gts_text(cuboid(c.b[0], c.b[1], c.b[2], c.b[3], c.b[4], c.b[5]));
    ASSERT_EQ(run(a, b), 0);
    ASSERT_EQ(results(), 4);
    const double v2 = (c.b[3] - c.b[0]) * (c.b[4] - c.b[1]) * (c.b[5] - c.b[2]);
    expect_volumes(8.0, v2, c.overlap);
  }
}

TEST_F(GtsBsoTest, DisjointAndNestedSolidsGiveWholeAndEmptyParts) {
  const std::string big = gts_text(cuboid(0, 0, 0, 2, 2, 2));
  ASSERT_EQ(run(big, gts_text(cuboid(5, 5, 5, 6, 6, 6))), 0);
  EXPECT_EQ(triangles("1in2.gts"), 0);
  EXPECT_EQ(triangles("2in1.gts"), 0);
  EXPECT_EQ(triangles("1out2.gts"), 12);
  EXPECT_EQ(triangles("2out1.gts"), 12);
  EXPECT_NEAR(volume({{"1out2.gts", 1}}), 8.0, 1e-9);

  ASSERT_EQ(run(big, gts_text(cuboid(0.5, 0.5, 0.5, 1, 1, 1))), 0);
  EXPECT_EQ(triangles("1in2.gts"), 0);
  EXPECT_EQ(triangles("1out2.gts"), 12);
  EXPECT_EQ(triangles("2in1.gts"), 12);
  EXPECT_EQ(triangles("2out1.gts"), 0);
  EXPECT_NEAR(volume({{"1out2.gts", 1}, {"2in1.gts", -1}}), 8.0 - 0.125, 1e-9);
}

TEST_F(GtsBsoTest, WallWithAnOpeningIsMadeWatertightAndCut) {
  // A wall 4 long, 0.3 thick, 2.75 high with an opening from x 1 to 2 and
  // z 1 to 2: its mesh has T-junctions on the base edge.
  WallElem* w = with_opening(axis_wall(0, 0, 4, 0), 1, 2);
  ASSERT_NE(w, nullptr);
  wall_to_mesh(*w, 0);
  const std::string wall = gts_text(elem_as<MeshElem>(elem_list_tail));
  dir.write("wall.gts", wall);
  testing::internal::CaptureStdout();
  EXPECT_EQ(process_run({KAVRO_GTS_BSO, "--check", (dir / "wall.gts").string()}), 0);
  const std::string check = testing::internal::GetCapturedStdout();
  EXPECT_NE(check.find("closed 1\nmanifold 1\norientable 1\nvolume 3.0000"), std::string::npos) << check;
  // A window-shaped box through the wall beside the opening.
  ASSERT_EQ(run(wall, gts_text(cuboid(2.5, -1, 1, 3.5, 1, 2))), 0);
  expect_volumes(4 * 0.3 * 2.75 - 0.3, 2.0, 0.3);
}

TEST_F(GtsBsoTest, RefusedOperandsLeaveNoFiles) {
  const std::string box = gts_text(cuboid(0, 0, 0, 2, 2, 2));
  // A cuboid without its top: open.
  std::string open = box;
  open.replace(0, open.find('\n'), "8 18 10 GtsSurface GtsFace GtsEdge GtsVertex");
  for (int line = 0; line < 2; ++line) open.erase(open.rfind('\n', open.size() - 2) + 1);
  const struct {
    const char* what;
    std::string a, b;
  } cases[] = {
      {"open first operand", open, box},
      {"open second operand", box, open},
      {"empty operand", "0 0 0 GtsSurface GtsFace GtsEdge GtsVertex\n", box},
      {"edge number out of range",
       "3 3 1 GtsSurface GtsFace GtsEdge GtsVertex\n0 0 0\n1 0 0\n0 1 0\n1 2\n2 3\n3 1\n1 2 9\n", box},
      {"not a file of surfaces", "hello", box},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_NE(run(c.a, c.b), 0);
    EXPECT_EQ(results(), 0);
  }
  // A folder that cannot be written: no results, a failure.
  ASSERT_EQ(run(box, gts_text(cuboid(1, 1, 1, 3, 3, 3))), 0);
  EXPECT_NE(process_run({KAVRO_GTS_BSO, "inter", (dir / "kav1.gts").string(), (dir / "kav2.gts").string(),
                         (dir / "missing").string() + "/"}),
            0);
  EXPECT_NE(process_run({KAVRO_GTS_BSO, "union"}), 0);
}

TEST(GtsBsoMesh, ParserReadsTheProgramsWindingAndRefusesMalformedBlocks) {
  // The program's triangle (0, 1, 2) written as {2,0}, {1,2}, {0,1} is read
  // reversed: (0, 2, 1).
  BsoMesh m;
  std::string why;
  ASSERT_TRUE(bso_parse(
      "3 3 1 GtsSurface GtsFace GtsEdge GtsVertex\n0 0 0\n1 0 0\n0 1 0\n3 1\n2 3\n1 2\n1 2 3\n", m, why));
  ASSERT_EQ(m.triangles.size(), 1u);
  EXPECT_EQ(m.triangles[0], (std::array<int, 3>{0, 2, 1}));
  // What it writes it reads back unchanged.
  BsoMesh again;
  ASSERT_TRUE(bso_parse(bso_format(m), again, why));
  EXPECT_EQ(again.triangles, m.triangles);
  EXPECT_EQ(again.vertices, m.vertices);

  for (const char* bad :
       {"3 3 1 GtsSurface GtsFace GtsEdge\n", "3 3 1 a b c d\n0 0 0\n1 0 0\n0 1 0\n1 2\n2 3\n",
        "3 3 1 a b c d\n0 0 0\n1 0 nan\n0 1 0\n1 2\n2 3\n3 1\n1 2 3\n",
        "3 3 1 a b c d\n0 0 0\n1 0 0\n0 1 0\n1 2\n2 4\n3 1\n1 2 3\n", "999999999 3 1 a b c d\n0 0 0\n"})
    EXPECT_FALSE(bso_parse(bad, m, why)) << bad;
}

TEST(GtsBsoMesh, TJunctionsAreSplitAlongTheEdgeKeepingOrientation) {
  // Triangle (0, 1, 2) with vertices 3 and 4 inside its edge 0-1, 4 nearer
  // to 0; the pieces cover it with the same orientation.
  BsoMesh m;
  m.vertices = {{0, 0, 0}, {4, 0, 0}, {0, 4, 0}, {3, 0, 0}, {1, 0, 0}};
  m.triangles = {{0, 1, 2}};
  EXPECT_EQ(bso_repair_t_junctions(m), 2);
  ASSERT_EQ(m.triangles.size(), 3u);
  double area = 0;
  for (const auto& t : m.triangles) {
    const auto& a = m.vertices[t[0]];
    const auto& b = m.vertices[t[1]];
    const auto& c = m.vertices[t[2]];
    const double z = (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0]);
    EXPECT_GT(z, 0);
    area += z / 2;
  }
  EXPECT_NEAR(area, 8.0, 1e-12);
}

}  // namespace
