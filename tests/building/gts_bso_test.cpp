// The mesh boolean tool on operand files as the program writes them: the
// four parts, their volumes, touching and coplanar faces, nested and
// disjoint solids, a wall with an opening, and operands it must refuse.
// Every result the program can make of the parts (union, difference,
// intersection) must be a closed surface wound alike throughout.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
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

// The tool welds its parts at the distance the program's reader merges
// points at; were they to differ, parts would read back cracked.
static_assert(BSO_MERGE_DISTANCE == GTS_DUPLICATE_DISTANCE);

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

// The text of the surface with its triangles in another order and each
// started at another corner: the same solid as libgts gets it in another
// order.
std::string shuffled(const std::string& text, unsigned seed) {
  BsoMesh m;
  std::string why;
  EXPECT_TRUE(bso_parse(text, m, why)) << why;
  std::mt19937 random(seed);
  std::shuffle(m.triangles.begin(), m.triangles.end(), random);
  for (auto& t : m.triangles) std::rotate(t.begin(), t.begin() + random() % 3, t.end());
  return bso_format(m);
}

// A sphere of radius r about c, from an icosahedron split level times.
std::string sphere_text(double r, std::array<double, 3> c, int level) {
  const double g = (1 + std::sqrt(5.0)) / 2;
  BsoMesh m;
  m.vertices = {{-1, g, 0},  {1, g, 0},  {-1, -g, 0}, {1, -g, 0}, {0, -1, g},  {0, 1, g},
                {0, -1, -g}, {0, 1, -g}, {g, 0, -1},  {g, 0, 1},  {-g, 0, -1}, {-g, 0, 1}};
  m.triangles = {{0, 11, 5},  {0, 5, 1},  {0, 1, 7},  {0, 7, 10}, {0, 10, 11}, {1, 5, 9}, {5, 11, 4},
                 {11, 10, 2}, {10, 7, 6}, {7, 1, 8},  {3, 9, 4},  {3, 4, 2},   {3, 2, 6}, {3, 6, 8},
                 {3, 8, 9},   {4, 9, 5},  {2, 4, 11}, {6, 2, 10}, {8, 6, 7},   {9, 8, 1}};
  for (int k = 0; k < level; ++k) {
    std::map<std::pair<int, int>, int> middle;
    auto mid = [&](int a, int b) {
      auto [it, added] = middle.emplace(std::minmax(a, b), static_cast<int>(m.vertices.size()));
      if (added) {
        const auto &p = m.vertices[a], &q = m.vertices[b];
        m.vertices.push_back({(p[0] + q[0]) / 2, (p[1] + q[1]) / 2, (p[2] + q[2]) / 2});
      }
      return it->second;
    };
    std::vector<std::array<int, 3>> finer;
    for (const auto& t : m.triangles) {
      const int ab = mid(t[0], t[1]), bc = mid(t[1], t[2]), ca = mid(t[2], t[0]);
      finer.insert(finer.end(), {{t[0], ab, ca}, {t[1], bc, ab}, {t[2], ca, bc}, {ab, bc, ca}});
    }
    m.triangles = std::move(finer);
  }
  for (auto& p : m.vertices) {
    const double len = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
    for (int k = 0; k < 3; ++k) p[k] = c[k] + r * p[k] / len;
  }
  return bso_format(m);
}

// A cone of n sides standing on its base (centre c, radius r) of height h.
std::string cone_text(std::array<double, 3> c, double r, double h, int n) {
  BsoMesh m;
  for (int i = 0; i < n; ++i)
    m.vertices.push_back(
        {c[0] + r * std::cos(2 * M_PI * i / n), c[1] + r * std::sin(2 * M_PI * i / n), c[2]});
  m.vertices.push_back(c);
  m.vertices.push_back({c[0], c[1], c[2] + h});
  for (int i = 0; i < n; ++i) {
    const int j = (i + 1) % n;
    m.triangles.push_back({j, i, n});
    m.triangles.push_back({i, j, n + 1});
  }
  return bso_format(m);
}

// One closed surface made of two overlapping boxes: it crosses itself.
std::string two_crossing_boxes() {
  BsoMesh a, b;
  std::string why;
  EXPECT_TRUE(bso_parse(gts_text(cuboid(0, 0, 0, 1, 1, 1)), a, why));
  EXPECT_TRUE(bso_parse(gts_text(cuboid(0.5, 0.5, 0.5, 1.5, 1.5, 1.5)), b, why));
  const int n = static_cast<int>(a.vertices.size());
  a.vertices.insert(a.vertices.end(), b.vertices.begin(), b.vertices.end());
  for (auto t : b.triangles) a.triangles.push_back({t[0] + n, t[1] + n, t[2] + n});
  return bso_format(a);
}

// What the program makes of the parts of a mode: each part read on its
// own, then joined where points are equal.
enum Mode { kUnion, kDifference, kIntersection };

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

  // The triangle count a part's header gives.
  int written_triangles(const char* name) {
    std::ifstream in(dir / name);
    long long v = 0, e = 0, t = 0;
    in >> v >> e >> t;
    return static_cast<int>(t);
  }

  // The result of a mode as the program joins it: union 1out2 + 2out1,
  // difference 1out2 + 2in1 turned over, intersection 1in2 + 2in1.
  BsoMesh result(Mode mode) {
    static const char* const kRows[3][2] = {
        {"1out2.gts", "2out1.gts"}, {"1out2.gts", "2in1.gts"}, {"1in2.gts", "2in1.gts"}};
    BsoMesh out;
    std::map<std::array<double, 3>, int> number;
    for (int k = 0; k < 2; ++k) {
      const BsoMesh part = parse(dir / kRows[mode][k]);
      for (auto t : part.triangles) {
        if (mode == kDifference && k == 1) std::swap(t[1], t[2]);
        for (int& x : t) {
          auto [it, added] = number.emplace(part.vertices[x], static_cast<int>(out.vertices.size()));
          if (added) out.vertices.push_back(part.vertices[x]);
          x = it->second;
        }
        out.triangles.push_back(t);
      }
    }
    return out;
  }

  // Closed and wound alike: every edge runs as often one way as the other,
  // and, unless the solids may meet in a mere edge, in exactly two faces.
  static void expect_closed(const BsoMesh& m, bool edges_may_be_shared) {
    std::map<std::pair<int, int>, std::array<int, 2>> uses;
    for (const auto& t : m.triangles)
      for (int k = 0; k < 3; ++k) {
        const int a = t[k], b = t[(k + 1) % 3];
        ++uses[std::minmax(a, b)][a < b ? 0 : 1];
      }
    int unmatched = 0, crowded = 0;
    for (const auto& [edge, n] : uses) {
      unmatched += n[0] != n[1];
      crowded += n[0] + n[1] != 2;
    }
    EXPECT_EQ(unmatched, 0) << "edges open or wound against their neighbours";
    if (!edges_may_be_shared) {
      EXPECT_EQ(crowded, 0) << "edges in more than two faces";
    }
  }

  // Union, difference and intersection of the last run: their volumes, and
  // each a closed surface wound alike; no part holds a triangle the reader
  // would drop as degenerate. Solids touching from outside meet in a face
  // twice over in their intersection, which encloses nothing.
  void expect_results(double v1, double v2, double overlap, bool edges_may_be_shared = false,
                      double tolerance = 1e-9) {
    for (const char* name : kParts) EXPECT_EQ(triangles(name), written_triangles(name)) << name;
    const double expected[3] = {v1 + v2 - overlap, v1 - overlap, overlap};
    const char* const names[3] = {"union", "difference", "intersection"};
    for (int mode = 0; mode < 3; ++mode) {
      SCOPED_TRACE(names[mode]);
      const BsoMesh r = result(static_cast<Mode>(mode));
      EXPECT_NEAR(bso_volume(r), expected[mode], tolerance);
      expect_closed(r, edges_may_be_shared || mode == kIntersection);
    }
  }
};

TEST_F(GtsBsoTest, OverlappingCuboidsGiveFourConsistentParts) {
  const double kBox[6] = {0, 0, 0, 2, 2, 2};
  const double kWall[6] = {0, 0, 0, 10, 0.3, 3};
  const struct {
    const char* what;
    const double* a;
    double b[6];
    double overlap;
    // Meeting only in an edge or a corner: nothing of either lies in the
    // other, and the union may hold an edge four times.
    bool apart = false;
    bool edge_shared = false;
  } cases[] = {
      {"offset in x, y and z", kBox, {1, 1, 1, 3, 3, 3}, 1.0},
      {"coplanar bases", kBox, {1, 1, 0, 3, 3, 2}, 2.0},
      {"coplanar base and side", kBox, {1, 0, 0, 3, 3, 2}, 4.0},
      {"coplanar tops, one through the other", kBox, {0.5, -1, 0, 1.5, 3, 2}, 4.0},
      // Surfaces that touch without crossing: three faces in common, or
      // one face and nothing inside.
      {"inside in the corner at the origin", kBox, {0, 0, 0, 1, 1, 1}, 1.0},
      {"inside in the far corner", kBox, {1, 1, 1, 2, 2, 2}, 1.0},
      {"sharing a face", kBox, {2, 0, 0, 3, 2, 2}, 0.0},
      {"sharing part of a face", kBox, {1, 1, 2, 3, 3, 3}, 0.0},
      // Boxes cut out of a wall, flush with some of its faces.
      {"door box standing on the floor", kWall, {4, -1, 0, 5, 1, 2}, 0.3 * 2},
      {"notch flush with the top", kWall, {4, -1, 2, 5, 1, 3}, 0.3},
      {"notch flush with a side", kWall, {4, 0.1, 1, 5, 0.3, 2}, 0.2},
      {"notch flush with the end and the top", kWall, {9, -1, 2, 10, 1, 3}, 0.3},
      {"box flush with the floor and a side", kWall, {4, 0, 0, 5, 0.2, 1}, 0.2},
      {"slot through the whole height", kWall, {4, -1, 0, 5, 1, 3}, 0.9},
      // Solids meeting only in an edge or a corner.
      {"sharing an edge", nullptr, {1.5, 1.5, 0, 3, 3, 1}, 0.0, true, true},
      {"sharing a corner", kBox, {2, 2, 2, 3, 3, 3}, 0.0, true},
      {"sharing part of an edge", kBox, {2, 2, 0.5, 3, 3, 1.5}, 0.0, true, true},
  };
  const double kEdgeBox[6] = {0, 0, 0, 1.5, 1.5, 1};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const double* a = c.a ? c.a : kEdgeBox;
    ASSERT_EQ(run(gts_text(cuboid(a[0], a[1], a[2], a[3], a[4], a[5])),
                  gts_text(cuboid(c.b[0], c.b[1], c.b[2], c.b[3], c.b[4], c.b[5]))),
              0);
    ASSERT_EQ(results(), 4);
    const double v1 = (a[3] - a[0]) * (a[4] - a[1]) * (a[5] - a[2]);
    const double v2 = (c.b[3] - c.b[0]) * (c.b[4] - c.b[1]) * (c.b[5] - c.b[2]);
    expect_results(v1, v2, c.overlap, c.edge_shared);
    if (c.apart) {
      // Truly empty parts inside, whole solids outside.
      EXPECT_EQ(written_triangles("1in2.gts"), 0);
      EXPECT_EQ(written_triangles("2in1.gts"), 0);
      EXPECT_NEAR(bso_volume(parse(dir / "1out2.gts")), v1, 1e-9);
      EXPECT_NEAR(bso_volume(parse(dir / "2out1.gts")), v2, 1e-9);
    }
  }
}

TEST_F(GtsBsoTest, ContainmentDoesNotDependOnTheOrderOfFaces) {
  // One solid inside the other, touching its surface from inside or not at
  // all; each in several orders of its triangles.
  const struct {
    const char* what;
    double a[6], b[6];
    double overlap;
  } cases[] = {
      {"in the corner of the other", {0, 0, 0, 1, 1, 1}, {0, 0, 0, 2, 2, 2}, 1.0},
      {"on the other's floor", {0.5, 0.5, 0, 1.5, 1.5, 1}, {0, 0, 0, 2, 2, 2}, 1.0},
      {"along an edge of the other", {0, 0, 0.5, 1, 1, 1.5}, {0, 0, 0, 2, 2, 2}, 1.0},
      {"around a solid in its corner", {0, 0, 0, 2, 2, 2}, {0, 0, 0, 1, 1, 1}, 1.0},
      {"around a solid on its floor", {0, 0, 0, 2, 2, 2}, {0.5, 0.5, 0, 1.5, 1.5, 1}, 1.0},
      {"inside without touching", {0.5, 0.5, 0.5, 1, 1, 1}, {0, 0, 0, 2, 2, 2}, 0.125},
      {"the same solid twice", {0, 0, 0, 2, 2, 2}, {0, 0, 0, 2, 2, 2}, 8.0},
  };
  for (const auto& c : cases) {
    const std::string a = gts_text(cuboid(c.a[0], c.a[1], c.a[2], c.a[3], c.a[4], c.a[5]));
    const std::string b = gts_text(cuboid(c.b[0], c.b[1], c.b[2], c.b[3], c.b[4], c.b[5]));
    const double v1 = (c.a[3] - c.a[0]) * (c.a[4] - c.a[1]) * (c.a[5] - c.a[2]);
    const double v2 = (c.b[3] - c.b[0]) * (c.b[4] - c.b[1]) * (c.b[5] - c.b[2]);
    for (unsigned seed = 1; seed <= 6; ++seed) {
      SCOPED_TRACE(std::string(c.what) + ", order " + std::to_string(seed));
      ASSERT_EQ(run(shuffled(a, seed), shuffled(b, seed + 100)), 0);
      expect_results(v1, v2, c.overlap);
    }
  }
}

TEST_F(GtsBsoTest, ConeAndSlabMeetInSlopedAndFlatFaces) {
  // A cone of 24 sides, radius 1, height 2, on z = 0, and slabs through it,
  // under it and on its base: the common part is a frustum, or nothing.
  const int n = 24;
  const double base = n / 2.0 * std::sin(2 * M_PI / n), v1 = base * 2 / 3;
  // The cone's volume between heights z0 and z1 (0 <= z0 <= z1 <= 2).
  auto between = [&](double z0, double z1) {
    return v1 * (std::pow(1 - z0 / 2, 3) - std::pow(1 - z1 / 2, 3));
  };
  const struct {
    const char* what;
    double slab[6];
    double overlap;
  } cases[] = {
      {"standing on the slab", {-2, -2, -1, 2, 2, 0}, 0.0},
      {"base flush with the slab's foot", {-2, -2, 0, 2, 2, 1}, between(0, 1)},
      {"slab across the middle", {-2, -2, 0.5, 2, 2, 1}, between(0.5, 1)},
      {"half a slab on the base", {0, -2, 0, 2, 2, 1}, between(0, 1) / 2},
      {"apex through the slab's top", {-2, -2, 0.5, 2, 2, 2}, between(0.5, 2)},
  };
  const std::string cone = cone_text({0, 0, 0}, 1, 2, n);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const double* b = c.slab;
    ASSERT_EQ(run(cone, gts_text(cuboid(b[0], b[1], b[2], b[3], b[4], b[5]))), 0);
    ASSERT_EQ(results(), 4);
    expect_results(v1, (b[3] - b[0]) * (b[4] - b[1]) * (b[5] - b[2]), c.overlap);
  }
  // A box on the base of a coarser cone, cutting its rim: the cut leaves
  // triangles with sides near the merge distance, which must read back as
  // written. Points that close to an edge are put onto it, which moves the
  // volumes by a trace.
  BsoMesh coarse;
  std::string why;
  ASSERT_TRUE(bso_parse(cone_text({0.5, 0, -1}, 1, 1, 12), coarse, why));
  ASSERT_EQ(run(bso_format(coarse), gts_text(cuboid(1, -1, -1, 1.5, 1, -0.5))), 0);
  const double overlap = bso_volume(result(kIntersection));
  EXPECT_GT(overlap, 0.01);
  EXPECT_LT(overlap, 0.25);
  expect_results(bso_volume(coarse), 0.5, overlap, false, 1e-7);
}

TEST_F(GtsBsoTest, SphereWithCornersOnTheBoxFacesClosesUp) {
  // A coarse sphere whose corners lie on the planes of a box's faces and
  // whose top touches the box's top: the cut passes within a hair of those
  // corners, and points a little farther than the merge distance from
  // them must join the edges they lie on.
  BsoMesh ball;
  std::string why;
  ASSERT_TRUE(bso_parse(sphere_text(1, {1, 0.5, 0.5}, 2), ball, why));
  ASSERT_EQ(run(bso_format(ball), gts_text(cuboid(0.5, -1, 1, 1, 1, 1.5))), 0);
  ASSERT_EQ(results(), 4);
  const double overlap = bso_volume(result(kIntersection));
  EXPECT_GT(overlap, 0.01);
  EXPECT_LT(overlap, 0.5);
  expect_results(bso_volume(ball), 0.5, overlap, false, 1e-7);
}

TEST_F(GtsBsoTest, FineMeshesAreCutWhole) {
  // Spheres of 2 cm radius: every triangle far below a square millimetre,
  // yet a sound surface. A slab through one, and two that overlap.
  const std::string ball = sphere_text(0.02, {0, 0, 0}, 4);
  BsoMesh m;
  std::string why;
  ASSERT_TRUE(bso_parse(ball, m, why));
  ASSERT_EQ(m.triangles.size(), 5120u);
  const double v = bso_volume(m);
  const struct {
    const char* what;
    std::string other;
  } cases[] = {
      {"a slab", gts_text(cuboid(-1, -1, 0.00123, 1, 1, 1))},
      {"another sphere", sphere_text(0.02, {0.013, 0.007, 0.011}, 4)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(run(ball, c.other), 0);
    ASSERT_EQ(results(), 4);
    BsoMesh other;
    ASSERT_TRUE(bso_parse(c.other, other, why));
    const double v2 = bso_volume(other);
    const double overlap = bso_volume(result(kIntersection));
    EXPECT_GT(overlap, 0.2 * v);
    EXPECT_LT(overlap, 0.8 * v);
    expect_results(v, v2, overlap);
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
  // A window-shaped box through the wall beside the opening, a door box
  // standing on the floor, and a notch flush with the top and the end.
  const struct {
    const char* what;
    double b[6];
    double overlap;
  } cases[] = {
      {"window", {2.5, -1, 1, 3.5, 1, 2}, 0.3},
      {"door", {2.5, -1, 0, 3.5, 1, 2}, 0.6},
      {"notch", {3.5, -1, 2, 4, 1, 2.75}, 0.5 * 0.3 * 0.75},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(run(wall, gts_text(cuboid(c.b[0], c.b[1], c.b[2], c.b[3], c.b[4], c.b[5]))), 0);
    expect_results(4 * 0.3 * 2.75 - 0.3, (c.b[3] - c.b[0]) * (c.b[4] - c.b[1]) * (c.b[5] - c.b[2]),
                   c.overlap);
  }
}

TEST_F(GtsBsoTest, RefusedOperandsLeaveNoFilesAndSayWhy) {
  const std::string box = gts_text(cuboid(0, 0, 0, 2, 2, 2));
  // A cuboid without its top: open.
  std::string open = box;
  open.replace(0, open.find('\n'), "8 18 10 GtsSurface GtsFace GtsEdge GtsVertex");
  for (int line = 0; line < 2; ++line) open.erase(open.rfind('\n', open.size() - 2) + 1);
  const struct {
    const char* what;
    std::string a, b;
    std::string reason;
  } cases[] = {
      {"open first operand", open, box, "The first solid is not closed. ("},
      {"open second operand", box, open, "The second solid is not closed. ("},
      {"empty operand", "0 0 0 GtsSurface GtsFace GtsEdge GtsVertex\n", box, "The first solid has no faces."},
      {"edge number out of range",
       "3 3 1 GtsSurface GtsFace GtsEdge GtsVertex\n0 0 0\n1 0 0\n0 1 0\n1 2\n2 3\n3 1\n1 2 9\n", box,
       "The first solid cannot be read. (" + (dir / "kav1.gts").string() + ": bad triangle)"},
      {"not a file of surfaces", "hello", box,
       "The first solid cannot be read. (" + (dir / "kav1.gts").string() + ": bad header)"},
      {"first operand crossing itself", two_crossing_boxes(), box, "The first solid intersects itself."},
      {"second operand crossing itself", box, two_crossing_boxes(), "The second solid intersects itself."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    dir.write("kav1.gts", c.a);
    dir.write("kav2.gts", c.b);
    ProcessRequest request;
    request.argv = {KAVRO_GTS_BSO, "inter", (dir / "kav1.gts").string(), (dir / "kav2.gts").string(),
                    dir.path().string() + "/"};
    request.stderr_path = (dir / "stderr.txt").string();
    EXPECT_NE(process_start(request).exit_status, 0);
    EXPECT_EQ(results(), 0);
    std::ifstream in(dir / "stderr.txt");
    std::stringstream err;
    err << in.rdbuf();
    EXPECT_NE(err.str().find(c.reason), std::string::npos) << err.str();
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

TEST(GtsBsoMesh, NearlyCollinearPointsSplitAnEdgeOnceAndSliversGo) {
  // Points where a fine cut leaves them: the fourth lies within the
  // tolerance of the first edge and on the line of the second. One split,
  // not one after another without end.
  BsoMesh m;
  m.vertices = {{0.0034981016465199999, -0.0093684314258219992, 0.017320386181903999},
                {0.0040807378447130001, -0.0098884165113010004, 0.01688754642731},
                {0.0043679688040170004, -0.010100419604884, 0.016698673907079999},
                {0.0040725352567920004, -0.0098823833297539999, 0.016892875616375001}};
  m.triangles = {{0, 1, 2}};
  EXPECT_EQ(bso_repair_t_junctions(m), 1);
  EXPECT_EQ(m.triangles.size(), 2u);

  // A triangle whose corner lies on its opposite edge has no area: it
  // goes, and the neighbour across that edge is split at the corner, so
  // that the surface stays closed.
  BsoMesh flat;
  flat.vertices = {{0, 0, 0}, {2, 0, 0}, {1, 0, 0}, {1, 1, 0}, {1, -1, 0}};
  // (0, 1, 2) is the sliver; (1, 0, 4) below the edge 0-1, (0, 2, 3) and
  // (2, 1, 3) above the sliver's two short edges.
  flat.triangles = {{0, 1, 2}, {1, 0, 4}, {0, 2, 3}, {2, 1, 3}};
  bso_repair_t_junctions(flat);
  for (const auto& t : flat.triangles) EXPECT_FALSE(t[0] == 0 && t[1] == 1 && t[2] == 2);
  // What is left is an open sheet whose only unpaired edges are its rim.
  EXPECT_EQ(flat.triangles.size(), 4u);
  EXPECT_EQ(bso_edge_report(flat).unmatched, 4);
}

TEST(GtsBsoMesh, TwoSidedSkinsAreFoundAndSoundSurfacesPass) {
  // Faces wound counter-clockwise seen from outside.
  auto box = [](double x0, double y0, double z0, double x1, double y1, double z1) {
    BsoMesh m;
    m.vertices = {{x0, y0, z0}, {x1, y0, z0}, {x1, y1, z0}, {x0, y1, z0},
                  {x0, y0, z1}, {x1, y0, z1}, {x1, y1, z1}, {x0, y1, z1}};
    for (const auto& q : {std::array<int, 4>{0, 3, 2, 1},
                          {4, 5, 6, 7},
                          {0, 1, 5, 4},
                          {1, 2, 6, 5},
                          {2, 3, 7, 6},
                          {3, 0, 4, 7}}) {
      m.triangles.push_back({q[0], q[1], q[2]});
      m.triangles.push_back({q[0], q[2], q[3]});
    }
    EXPECT_GT(bso_volume(m), 0);
    return m;
  };
  auto join = [](BsoMesh a, const BsoMesh& b) {
    const int n = static_cast<int>(a.vertices.size());
    a.vertices.insert(a.vertices.end(), b.vertices.begin(), b.vertices.end());
    for (auto t : b.triangles) a.triangles.push_back({t[0] + n, t[1] + n, t[2] + n});
    return a;
  };
  // Closed and sound, even where two boxes meet in an edge.
  EXPECT_EQ(bso_double_skin(box(0, 0, 0, 1, 1, 1), 1e-6), 0);
  EXPECT_EQ(bso_double_skin(join(box(0, 0, 0, 1, 1, 1), box(1, 1, 0, 2, 2, 1)), 1e-6), 0);
  // Boxes side by side keep the face they share twice, once each way; a
  // skin also where the faces only partly cover each other, or lie a hair
  // apart.
  EXPECT_EQ(bso_double_skin(join(box(0, 0, 0, 1, 1, 1), box(1, 0, 0, 2, 1, 1)), 1e-6), 4);
  EXPECT_GT(bso_double_skin(join(box(0, 0, 0, 1, 1, 1), box(1, 0.5, 0.5, 2, 1.5, 1.5)), 1e-6), 0);
  EXPECT_GT(bso_double_skin(join(box(0, 0, 0, 1, 1, 1), box(1 + 3e-7, 0, 0, 2, 1, 1)), 1e-6), 0);
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
