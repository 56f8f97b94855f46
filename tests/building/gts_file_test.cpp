// GTS surface files written and read back, the reader's statistics and
// its refusal of malformed files, and the mesh clean-up steps.

#include "building/solid/gts_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "building/gts_tools.h"
#include "building/solid/solid_mesh.h"
#include "mesh_winding.h"
#include "model/files/fio_read.h"
#include "model/undo.h"
#include "model/vec3.h"
#include "platform/process.h"
#include "solid_tool_fixture.h"
#include "support/model_fixture.h"
#include "support/temp_folder.h"
#include "test_solids.h"

namespace {

MeshElem* add_mesh(SolidMesh s) {
  elem_new_mesh(0, 1, 0, s.vertex_count(), s.face_count(), s.face_sizes.data(), s.vertices.data(),
                s.indices.data(), "Oak", 0);
  return elem_as<MeshElem>(elem_list_tail);
}

// The text f holds from its start.
std::string whole(FILE* f) {
  std::rewind(f);
  std::string out;
  for (int c; (c = std::fgetc(f)) != EOF;) out += static_cast<char>(c);
  return out;
}

std::string write_marked() {
  FILE* f = std::tmpfile();
  EXPECT_EQ(gts_write_marked(f), 1);
  std::string text = whole(f);
  std::fclose(f);
  return text;
}

// Reads text as a GTS file; the return value of the reader and what it
// printed.
std::pair<int, std::string> read_text(const std::string& text, int flip = 1) {
  FILE* f = std::tmpfile();
  std::fputs(text.c_str(), f);
  std::rewind(f);
  testing::internal::CaptureStdout();
  const int ok = translate_gts_kavro(f, flip);
  std::string out = testing::internal::GetCapturedStdout();
  std::fclose(f);
  return {ok, out};
}

Point3 face_normal(const MeshElem& m, size_t first, int n) {
  // Newell's normal: fine for any planar loop.
  Point3 s{};
  for (int i = 0; i < n; ++i) {
    const Point3 a = m.vertices[static_cast<size_t>(m.indices[first + static_cast<size_t>(i)])];
    const Point3 b = m.vertices[static_cast<size_t>(m.indices[first + static_cast<size_t>((i + 1) % n)])];
    s.x += (a.y - b.y) * (a.z + b.z);
    s.y += (a.z - b.z) * (a.x + b.x);
    s.z += (a.x - b.x) * (a.y + b.y);
  }
  vec3_normalize(&s);
  return s;
}

// Each face's unit normal keyed by the face's centre, so two meshes of the
// same solid cut into different faces can be compared.
std::vector<std::pair<Point3, Point3>> centred_normals(const MeshElem& m) {
  std::vector<std::pair<Point3, Point3>> out;
  size_t pos = 0;
  for (int32_t n : m.face_sizes) {
    Point3 c{};
    for (int i = 0; i < n; ++i)
      c = vec3_add(c, m.vertices[static_cast<size_t>(m.indices[pos + static_cast<size_t>(i)])]);
    vec3_scale(&c, 1.0 / n);
    out.emplace_back(c, face_normal(m, pos, n));
    pos += static_cast<size_t>(n);
  }
  return out;
}

// The normal of the face of m (a convex solid) on the plane facing the
// direction dir: the face whose centre lies farthest along dir.
Point3 normal_towards(const MeshElem& m, Point3 dir) {
  double best = -1e300;
  Point3 n{};
  for (const auto& [c, fn] : centred_normals(m))
    if (vec3_dot(c, dir) > best + 1e-9) best = vec3_dot(c, dir), n = fn;
  return n;
}

class GtsFileTest : public ModelTest {};
// The commands draw, so they run on the tools' view.
class GtsCommandTest : public SolidToolTest {};

TEST_F(GtsFileTest, CuboidIsWrittenAsEightVerticesEighteenEdgesTwelveTriangles) {
  MeshElem* box = add_mesh(solid_cuboid(0, 0, 2, 1, 0, 3));
  box->mark = 1;
  const std::string text = write_marked();
  const std::string head =
      "8 18 12 GtsSurface GtsFace GtsEdge GtsVertex\n"
      "0.000000000000000 0.000000000000000 0.000000000000000\n"
      "2.000000000000000 0.000000000000000 0.000000000000000\n"
      "2.000000000000000 1.000000000000000 0.000000000000000\n"
      "0.000000000000000 1.000000000000000 0.000000000000000\n"
      "0.000000000000000 0.000000000000000 3.000000000000000\n"
      "2.000000000000000 0.000000000000000 3.000000000000000\n"
      "2.000000000000000 1.000000000000000 3.000000000000000\n"
      "0.000000000000000 1.000000000000000 3.000000000000000\n";
  ASSERT_EQ(text.substr(0, head.size()), head);
  int lines = 0;
  for (char c : text) lines += c == '\n';
  EXPECT_EQ(lines, 1 + 8 + 18 + 12);
  // An unmarked mesh is not written.
  box->mark = 0;
  EXPECT_EQ(write_marked(), "");
}

TEST_F(GtsFileTest, ReadBackKeepsTheWindingWithFlipAndReversesItWithout) {
  MeshElem* box = add_mesh(solid_cuboid(0, 0, 2, 1, 0, 3));
  box->mark = 1;
  const std::string text = write_marked();
  box->mark = 0;
  for (int flip : {1, 0}) {
    SCOPED_TRACE(flip);
    const auto [ok, out] = read_text(text, flip);
    ASSERT_EQ(ok, 1);
    MeshElem* back = elem_as<MeshElem>(elem_list_tail);
    ASSERT_NE(back, box);
    EXPECT_EQ(back->vertex_count(), 8);
    EXPECT_EQ(back->face_count(), 12);
    EXPECT_EQ(back->material.view(), "Default");
    for (const auto& [c, n] : centred_normals(*back)) {
      // Every triangle's normal is that of the cuboid face it lies on,
      // reversed without the flip.
      Point3 dir{};
      if (std::abs(c.x) < 1e-9) dir.x = -1;
      if (std::abs(c.x - 2) < 1e-9) dir.x = 1;
      if (std::abs(c.y) < 1e-9) dir.y = -1;
      if (std::abs(c.y - 1) < 1e-9) dir.y = 1;
      if (std::abs(c.z) < 1e-9) dir.z = -1;
      if (std::abs(c.z - 3) < 1e-9) dir.z = 1;
      Point3 want = normal_towards(*box, dir);
      if (!flip) vec3_scale(&want, -1);
      EXPECT_NEAR(vec3_dot(n, want), 1.0, 1e-9);
    }
    back->mark = 1;
    elem_purge_marked();
  }
}

TEST_F(GtsFileTest, StatisticsReportDuplicatesDegenerateTrianglesAndLeftoverVertices) {
  // Vertex 4 lies 5e-7 from vertex 1; vertex 5 halves the edge 1-2 and no
  // triangle uses it; triangle 2 repeats a vertex through the duplicate.
  const std::string text =
      "5 4 2 GtsSurface GtsFace GtsEdge GtsVertex\n"
      "0 0 0\n1 0 0\n0 1 0\n0.0000005 0 0\n0.5 0 0\n"
      "1 2\n2 3\n3 1\n4 1\n"
      "1 2 3\n4 1 1\n";
  const auto [ok, out] = read_text(text);
  EXPECT_EQ(ok, 1);
  EXPECT_EQ(
      out,
      "STATS: ### translate_gts_kavro ###\n5 points read\n1 duplicate points removed\n2 triangles read\n"
      "1 degenerated triangles removed\n1 unused points\n1 triangles created\n");
  const MeshElem* m = elem_as<MeshElem>(elem_list_tail);
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->vertex_count(), 4);
  EXPECT_EQ(m->face_count(), 2);
}

TEST_F(GtsFileTest, VertexOnNoEdgeIsReportedAsLeft) {
  const auto [ok, out] = read_text(
      "4 3 1 GtsSurface GtsFace GtsEdge GtsVertex\n0 0 0\n1 0 0\n0 1 0\n5 5 5\n1 2\n2 3\n3 1\n1 2 3\n");
  EXPECT_EQ(ok, 1);
  EXPECT_NE(out.find("1 unused points\n0 triangles created\n1 unused points left !!!!!\n"), std::string::npos)
      << out;
  EXPECT_EQ(elem_as<MeshElem>(elem_list_tail)->vertex_count(), 4);
}

TEST_F(GtsFileTest, UnusedPointsGoIntoTheFirstEdgeTheyLieOnEvenOneMadeLater) {
  // Triangles over a grid and points no triangle uses, on edges, beside
  // them by less or more than the tolerance, or on an edge that only a
  // later point's split makes. Each point in turn splits the first
  // triangle (in order, those split off included) that has it on an edge,
  // round after round until no point is placed: what looking at every
  // triangle for every point gives.
  {
    // Point 3 lies on no edge until point 4 splits the edge 0-1 of the
    // triangle 0 1 2 into 0 4 2 and 4 1 2; then it lies on the edge 4-2 of
    // both halves and splits the first into 0 4 3 and 3 2 0. Thirty points
    // about point 3 on no edge keep it apart from the first edges.
    std::string text =
        "35 3 1 GtsSurface GtsFace GtsEdge GtsVertex\n0 0 0\n100 0 0\n0 100 0\n25 50 0\n50 0 0\n";
    for (int i = 0; i < 30; ++i)
      text += std::to_string(20 + i % 6 * 2) + " " + std::to_string(41 + i / 6 * 2) + " 0\n";
    ASSERT_EQ(read_text(text + "1 2\n2 3\n3 1\n3 2 1\n").first, 1);
    EXPECT_EQ(elem_as<MeshElem>(elem_list_tail)->indices, (std::vector<int32_t>{0, 4, 3, 4, 1, 2, 3, 2, 0}));
    drawing_free();
  }
  std::mt19937 random(17);
  for (int round = 0; round < 40; ++round) {
    SCOPED_TRACE(round);
    std::vector<Point3> v;
    for (int j = 0; j < 5; ++j)
      for (int i = 0; i < 5; ++i) v.push_back({i * 1.0, j * 1.0, 0, 0});
    std::vector<int32_t> tris;
    for (int k = 0; k < 12; ++k) {
      const int a = static_cast<int>(random() % 25), b = static_cast<int>(random() % 25),
                c = static_cast<int>(random() % 25);
      const Point3 n = vec3_cross(vec3_sub(v[b], v[a]), vec3_sub(v[c], v[a]));
      if (n.z == 0) continue;
      tris.insert(tris.end(), {a, b, c});
    }
    if (tris.empty()) continue;
    for (int k = 0; k < 15; ++k) {
      const double off[] = {0, 5e-6, 3e-5};
      v.push_back({(random() % 17) * 0.25, (random() % 17) * 0.25, off[random() % 3], 0});
    }
    // Points closer than the reader's duplicate distance would be one.
    bool apart = true;
    for (size_t i = 0; i < v.size(); ++i)
      for (size_t j = 0; j < i; ++j) apart = apart && vec3_distance(v[i], v[j]) > 1e-3;
    if (!apart) continue;

    std::vector<int32_t> want = tris;
    std::vector<bool> in_use(v.size(), false);
    for (int32_t x : want) in_use[static_cast<size_t>(x)] = true;
    for (bool again = true; again;) {
      again = false;
      for (int p = 0; p < static_cast<int>(v.size()); ++p) {
        if (in_use[static_cast<size_t>(p)]) continue;
        auto on = [&](int a, int b) {
          Point3 foot{};
          const double d = vec3_project_on_segment(v[p], v[a], v[b], &foot);
          return foot.mark == 1 && d < 1e-5;
        };
        for (size_t k = 0; k < want.size(); k += 3) {
          const int t0 = want[k], t1 = want[k + 1], t2 = want[k + 2];
          std::vector<int32_t> keep, added;
          if (on(t0, t1))
            keep = {t0, p, t2}, added = {p, t1, t2};
          else if (on(t1, t2))
            keep = {t0, t1, p}, added = {p, t2, t0};
          else if (on(t2, t0))
            keep = {p, t1, t2}, added = {p, t0, t1};
          else
            continue;
          std::copy(keep.begin(), keep.end(), want.begin() + static_cast<std::ptrdiff_t>(k));
          want.insert(want.end(), added.begin(), added.end());
          in_use[static_cast<size_t>(p)] = again = true;
          break;
        }
      }
    }

    // The block as the program writes one: each triangle as its edges.
    SolidMesh s;
    s.vertices = v;
    for (size_t k = 0; k < tris.size(); k += 3) {
      s.face_sizes.push_back(3);
      s.indices.insert(s.indices.end(), tris.begin() + static_cast<std::ptrdiff_t>(k),
                       tris.begin() + static_cast<std::ptrdiff_t>(k + 3));
    }
    add_mesh(s)->mark = 1;
    const std::string text = write_marked();
    drawing_free();
    ASSERT_EQ(read_text(text).first, 1);
    EXPECT_EQ(elem_as<MeshElem>(elem_list_tail)->indices, want);
    drawing_free();
  }
}

TEST_F(GtsFileTest, MalformedFilesAreRefusedAndAppendNothing) {
  const std::string tri = "0 0 0\n1 0 0\n0 1 0\n";
  const struct {
    const char* what;
    std::string text;
  } cases[] = {
      {"zero counts", "0 0 0 GtsSurface GtsFace GtsEdge GtsVertex\n"},
      {"negative counts", "-3 3 1 GtsSurface GtsFace GtsEdge GtsVertex\n" + tri + "1 2\n2 3\n3 1\n1 2 3\n"},
      {"edge number 99", "3 3 1 GtsSurface GtsFace GtsEdge GtsVertex\n" + tri + "1 2\n2 3\n3 1\n1 99 3\n"},
      {"edge number 0", "3 3 1 GtsSurface GtsFace GtsEdge GtsVertex\n" + tri + "1 2\n2 3\n3 1\n0 2 3\n"},
      {"vertex number 4", "3 3 1 GtsSurface GtsFace GtsEdge GtsVertex\n" + tri + "1 2\n2 4\n3 1\n1 2 3\n"},
      {"vertex number -1", "3 3 1 GtsSurface GtsFace GtsEdge GtsVertex\n" + tri + "1 2\n2 -1\n3 1\n1 2 3\n"},
      {"short file", "3 3 1 GtsSurface GtsFace GtsEdge GtsVertex\n" + tri + "1 2\n2 3\n"},
      {"truncated vertex", "3 3 1 GtsSurface GtsFace GtsEdge GtsVertex\n0 0 0\n1 0"},
      {"counts beyond the file",
       "2000000000 2000000000 2000000000 GtsSurface GtsFace GtsEdge GtsVertex\n0 0 0\n"},
      {"short file padded",
       "3 3 1 GtsSurface GtsFace GtsEdge GtsVertex\n" + tri + "1 2\n2 3\n" + std::string(40, ' ')},
      {"not a number",
       "3 3 1 GtsSurface GtsFace GtsEdge GtsVertex\n0 0 0\n1 x 0\n0 1 0\n1 2\n2 3\n3 1\n1 2 3\n"},
      {"edges sharing no vertex",
       "4 2 1 GtsSurface GtsFace GtsEdge GtsVertex\n" + tri + "1 1 0\n1 2\n3 4\n1 2 1\n"},
      {"only a degenerate triangle",
       "3 3 1 GtsSurface GtsFace GtsEdge GtsVertex\n0 0 0\n1 0 0\n2 0 0\n"
       "1 2\n2 3\n3 1\n1 2 3\n"},
      {"empty file", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(read_text(c.text).first, 0);
    EXPECT_EQ(elem_list_head, nullptr);
  }
}

TEST_F(GtsFileTest, ARefusedFileSaysWhatIsWrongAndOnWhichLine) {
  const std::string head = "3 3 1 GtsSurface GtsFace GtsEdge GtsVertex\n";
  const std::string tri = "0 0 0\n1 0 0\n0 1 0\n";
  const std::string edges = "1 2\n2 3\n3 1\n";
  const std::string failed = "***ERROR***\nLoading .gts file failed\n";
  const struct {
    const char* what;
    std::string text;
    std::string said;
  } cases[] = {
      {"zero counts", "0 0 0 GtsSurface GtsFace GtsEdge GtsVertex\n", "***ERROR***\nGTS file is empty\n"},
      {"garbage", "\n\nPK\3\4 zip",
       failed + "Line 3 of the GTS file holds no surface header: three counts and four words."},
      {"header without its words", "3 3 1\n",
       failed + "Line 1 of the GTS file holds no surface header: three counts and four words."},
      {"count beyond a number", "99999999999999999999 3 1 GtsSurface GtsFace GtsEdge GtsVertex\n",
       failed + "Line 1 of the GTS file holds no surface header: three counts and four words."},
      {"2^31 points", "2147483648 3 1 GtsSurface GtsFace GtsEdge GtsVertex\n" + tri + edges + "1 2 3\n",
       failed + "The GTS file counts 2147483648 points, 3 edges and 1 triangles: more than the file holds."},
      {"negative count", "3 -3 1 GtsSurface GtsFace GtsEdge GtsVertex\n",
       failed + "The GTS file counts 3 points, -3 edges and 1 triangles: no count can be below zero."},
      {"a word for a coordinate", head + "0 0 0\n1 x 0\n0 1 0\n" + edges + "1 2 3\n",
       failed + "Line 3 of the GTS file: point 2 is not three numbers."},
      {"NaN", head + "0 0 0\n1 0 nan\n0 1 0\n" + edges + "1 2 3\n",
       failed + "Line 3 of the GTS file: point 2 has a coordinate that is no finite number."},
      {"infinity", head + "0 0 0\n1 0 0\n0 -inf 0\n" + edges + "1 2 3\n",
       failed + "Line 4 of the GTS file: point 3 has a coordinate that is no finite number."},
      {"beyond a double", head + "0 0 0\n1 0 0\n0 1e999 0\n" + edges + "1 2 3\n",
       failed + "Line 4 of the GTS file: point 3 is not three numbers."},
      // Finite but so far out that a cross product of two edges would not be.
      {"beyond the drawing's range", head + "0 0 0\n1 0 0\n0 1e101 0\n" + edges + "1 2 3\n",
       failed + "Line 4 of the GTS file: point 3 has a coordinate beyond what a drawing can hold."},
      {"far below", head + "0 0 0\n-1.5e300 0 0\n0 1 0\n" + edges + "1 2 3\n",
       failed + "Line 3 of the GTS file: point 2 has a coordinate beyond what a drawing can hold."},
      {"edge to point 4", head + tri + "1 2\n2 4\n3 1\n1 2 3\n",
       failed + "Line 6 of the GTS file: edge 2 names point 4; there are points 1 to 3."},
      {"edge to point 0", head + tri + "1 2\n2 3\n0 1\n1 2 3\n",
       failed + "Line 7 of the GTS file: edge 3 names point 0; there are points 1 to 3."},
      {"edge of one number", head + tri + "1 2\n2 -\n3 1\n1 2 3\n",
       failed + "Line 6 of the GTS file: edge 2 is not two point numbers."},
      {"triangle to edge 99", head + tri + edges + "1 99 3\n",
       failed + "Line 8 of the GTS file: triangle 1 names edge 99; there are edges 1 to 3."},
      {"triangle to edge -2147483648", head + tri + edges + "1 2 -2147483648\n",
       failed + "Line 8 of the GTS file: triangle 1 names edge -2147483648; there are edges 1 to 3."},
      {"triangle of a fraction", head + tri + edges + "1 2.5 3\n",
       failed + "Line 8 of the GTS file: triangle 1 is not three edge numbers."},
      {"ends in the points", "3 3 1 GtsSurface GtsFace GtsEdge GtsVertex\n0 0 0\n1 0" + std::string(40, ' '),
       failed + "The GTS file ends at line 3, before point 2 of 3."},
      {"ends in the edges", head + tri + "1 2\n2 3\n" + std::string(40, ' '),
       failed + "The GTS file ends at line 6, before edge 3 of 3."},
      {"ends in the triangles",
       "3 3 2 GtsSurface GtsFace GtsEdge GtsVertex\n" + tri + edges + "1 2 3\n" + std::string(40, '\n'),
       failed + "The GTS file ends at line 8, before triangle 2 of 2."},
      {"only a triangle on a line", head + "0 0 0\n1 0 0\n2 0 0\n" + edges + "1 2 3\n",
       failed + "No triangle of the GTS file has an area."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FILE* f = std::tmpfile();
    std::fputs(c.text.c_str(), f);
    std::rewind(f);
    GtsReadError why;
    testing::internal::CaptureStdout();
    EXPECT_EQ(translate_gts_kavro(f, 1, {}, &why), 0);
    testing::internal::GetCapturedStdout();
    std::fclose(f);
    EXPECT_EQ(gts_read_error_message(why), c.said);
    EXPECT_EQ(elem_list_head, nullptr);
  }
}

// The signed volume of a mesh of triangles and polygons, each face fanned
// from its first corner, about the mesh's first point (so that a small
// solid far from the origin keeps its digits): negative for the program's
// inward winding.
double fanned_volume(const MeshElem& m) {
  const Point3 o = m.vertices[0];
  auto at = [&](int32_t i) { return vec3_sub(m.vertices[static_cast<size_t>(i)], o); };
  double v = 0;
  for (const auto& f : mesh_faces(m))
    for (size_t k = 1; k + 1 < f.size(); ++k)
      v += vec3_dot(at(f[0]), vec3_cross(at(f[k]), at(f[k + 1]))) / 6.0;
  return v;
}

TEST_F(GtsFileTest, SmallAndFineSolidsComeBackClosedWithTheirVolume) {
  // Solids whose triangles are below a square millimetre: cubes of a
  // millimetre or less, near the origin and 100 m away, turned; spheres of
  // fine triangles. Written, read back and cleaned, each stays closed with
  // every face and its volume.
  struct Case {
    const char* what;
    SolidMesh solid;
    double volume;  // by hand: the cube's edge cubed; the sphere's from its own triangles
  };
  std::vector<Case> cases;
  for (double s : {1e-3, 5e-4, 2e-3})
    for (Point3 at : {Point3{0, 0, 0, 0}, Point3{100, -50, 3, 0}}) {
      SolidMesh cube = solid_cuboid(at.x, at.y, at.x + s, at.y + s, at.z, at.z + s);
      cases.push_back({"cube", cube, s * s * s});
    }
  {
    // The same millimetre cube turned about a slanting axis.
    SolidMesh cube = solid_cuboid(0, 0, 1e-3, 1e-3, 0, 1e-3);
    for (Point3& p : cube.vertices) {
      const double x = p.x * std::cos(0.3) - p.y * std::sin(0.3),
                   y = p.x * std::sin(0.3) + p.y * std::cos(0.3);
      const double y2 = y * std::cos(0.7) - p.z * std::sin(0.7), z2 = y * std::sin(0.7) + p.z * std::cos(0.7);
      p = {x + 12.5, y2 - 7, z2 + 1, 0};
    }
    cases.push_back({"turned cube", cube, 1e-9});
  }
  // A sphere of a centimetre, all its triangles below a square millimetre,
  // and one of a metre.
  for (double r : {0.01, 1.0}) {
    SolidMesh sphere = uv_sphere({3, 4, 5, 0}, r, 24, 40, 0.2, 0.9);
    MeshElem as_mesh;
    as_mesh.vertices = sphere.vertices;
    as_mesh.face_sizes = sphere.face_sizes;
    as_mesh.indices = sphere.indices;
    cases.push_back({"sphere", sphere, -fanned_volume(as_mesh)});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.what << " of volume " << c.volume);
    MeshElem* solid = add_mesh(c.solid);
    ASSERT_LT(fanned_volume(*solid), 0.0);
    solid->mark = 1;
    const std::string text = write_marked();
    solid->mark = 1;
    elem_purge_marked();
    ASSERT_EQ(read_text(text).first, 1);
    const MeshElem* read = elem_as<MeshElem>(elem_list_tail);
    expect_edges_paired(*read);
    EXPECT_NEAR(-fanned_volume(*read), c.volume, 1e-9 * c.volume);
    testing::internal::CaptureStdout();
    ASSERT_TRUE(mesh_clean_up_last());
    testing::internal::GetCapturedStdout();
    const MeshElem* clean = elem_as<MeshElem>(elem_list_tail);
    ASSERT_EQ(elements().size(), 1u);
    expect_edges_paired(*clean);
    // Triangles whose normals differ by less than a hundredth join into one
    // face, which bends the sphere's faces a little.
    EXPECT_NEAR(-fanned_volume(*clean), c.volume, 1e-6 * c.volume);
    drawing_free();
  }
}

TEST_F(GtsFileTest, WhatIsWrittenIsReadBackWhole) {
  // Meshes the fifteen decimals of the format do not hold: points 1e-6
  // apart and a hair more, far from the origin and near it, a triangle
  // whose third corner lies a rounding off the line of the other two, and
  // points that need all their digits. Written and read back three times,
  // the points and triangles stay the same, to the last bit.
  const struct {
    const char* what;
    std::vector<Point3> points;
    std::vector<std::vector<int32_t>> faces;
  } cases[] = {
      {"points a hair more than 1e-6 apart",
       {{0.1234567890123456, 0, 0, 0},
        {0.1234567890123456 + 1.0000000001e-6, 0, 0, 0},
        {0.12, 0.5, 0, 0},
        {0.13, 0.4, 0.3, 0}},
       {{0, 1, 2}, {1, 0, 3}, {0, 2, 3}, {1, 3, 2}}},
      {"far from the origin",
       {{123456.78901234567, 0, 0, 0},
        {123456.78901334568, 0, 0, 0},
        {123456.7890123, 1e-3, 0, 0},
        {123456.7890123, 0, 1e-3, 0}},
       {{0, 1, 2}, {1, 0, 3}, {0, 2, 3}, {1, 3, 2}}},
      {"a sliver and digits past the fifteenth",
       {{0, 0, 0, 0},
        {2, 0, 0, 0},
        {1, 1.0000000000000002e-9, 0, 0},
        {1, 1, 0, 0},
        {1, -1, 0, 0},
        {1.0000000000000002, 0.5, 1e-17, 0},
        {3e-16, 7e-8, 0.3333333333333333, 0},
        {-1e-7, 5e-7, 2, 0},
        {0.7, -0.2, 1.0000000000000004, 0}},
       {{0, 2, 1}, {0, 1, 4}, {0, 3, 2}, {2, 3, 1}, {5, 6, 7}, {6, 8, 7}, {5, 7, 8}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SolidMesh s;
    s.vertices = c.points;
    for (const auto& f : c.faces) {
      s.face_sizes.push_back(static_cast<int32_t>(f.size()));
      s.indices.insert(s.indices.end(), f.begin(), f.end());
    }
    const MeshElem* mesh = add_mesh(s);
    for (int round = 0; round < 3; ++round) {
      SCOPED_TRACE(round);
      elem_list_tail->mark = 1;
      const std::string text = write_marked();
      elem_list_tail->mark = 0;
      ASSERT_EQ(read_text(text).first, 1);
      const MeshElem* back = elem_as<MeshElem>(elem_list_tail);
      ASSERT_EQ(back->vertices.size(), c.points.size());
      for (size_t i = 0; i < c.points.size(); ++i) {
        EXPECT_EQ(back->vertices[i].x, c.points[i].x) << i;
        EXPECT_EQ(back->vertices[i].y, c.points[i].y) << i;
        EXPECT_EQ(back->vertices[i].z, c.points[i].z) << i;
      }
      EXPECT_EQ(back->face_sizes, mesh->face_sizes);
      EXPECT_EQ(back->indices, mesh->indices);
    }
    drawing_free();
  }
}

TEST_F(GtsFileTest, RepairLeavesAPointBesideAShortEdgeOutside) {
  // A closed tetrahedron A B P T whose corner P lies beside the edge A-B:
  // no T-junction, nothing to put in, at every size and turned. Putting P
  // into A-B would fold the thin face and open the solid. P a twentieth of
  // the edge away, then well within a millionth of it (beside its middle,
  // and 23 millionths of its length from A, as the seam of fine spheres
  // leaves a thin triangle): the edge already has its two faces, one each
  // way, and stays as it is.
  const Point3 besides[] = {{0.5, 0.05, 0, 0}, {0.5, 1e-8, 0, 0}, {2.3e-5, 8e-8, 0, 0}};
  for (const Point3& beside : besides)
    for (double size : {0.01, 1.0, 100.0})
      for (double turn : {0.0, 0.8}) {
        SCOPED_TRACE(testing::Message() << beside.x << " " << beside.y << " " << size << " " << turn);
        std::vector<Point3> v = {{0, 0, 0, 0}, {1, 0, 0, 0}, beside, {0.5, 0.2, 1, 0}};
        for (Point3& p : v) {
          const double x = p.x * std::cos(turn) - p.z * std::sin(turn),
                       z = p.x * std::sin(turn) + p.z * std::cos(turn);
          p = {size * x + 3, size * p.y - 2, size * z + 1, 0};
        }
        const int32_t sizes[] = {3, 3, 3, 3};
        const int32_t idx[] = {0, 1, 2, 0, 3, 1, 1, 3, 2, 2, 3, 0};
        elem_new_mesh(0, 1, 0, 4, 4, sizes, v.data(), idx, "Oak", 0);
        testing::internal::CaptureStdout();
        repair3d(*elem_as<MeshElem>(elem_list_tail));
        EXPECT_EQ(testing::internal::GetCapturedStdout(),
                  "repair3d: inserted 0 new vertices (old: 12 new: 12)\n");
        expect_edges_paired(*elem_as<MeshElem>(elem_list_tail));
        drawing_free();
      }
}

TEST_F(GtsFileTest, PartsOfOverlappingSpheresStayClosedThroughTheCleanUp) {
  // Two spheres of 960 triangles each, overlapping in three placements:
  // the boolean tool's parts for each operation, read and joined as the 3D
  // booleans read them, then cleaned, are one closed surface whose volume
  // lies within what the operation can give.
  const Point3 placements[] = {{0.3, 0, 0, 0}, {0.8, 0.25, 0.1, 0}, {0.5, 0.1, 0.04, 0}};
  const struct {
    const char* first;
    int first_flip;
    const char* second;
    int second_flip;
  } modes[] = {
      {"1out2.gts", 1, "2out1.gts", 1}, {"1out2.gts", 1, "2in1.gts", 0}, {"1in2.gts", 1, "2in1.gts", 1}};
  for (int k = 0; k < 3; ++k) {
    SCOPED_TRACE(k);
    TempFolder dir;
    const SolidMesh a = uv_sphere({0, 0, 0, 0}, 1.0, 16, 32, 0, 0);
    const SolidMesh b = uv_sphere(placements[k], 0.8 + 0.02 * k, 16, 32, 0, 0);
    for (const auto& [name, solid] : {std::pair{"kav1.gts", a}, std::pair{"kav2.gts", b}}) {
      add_mesh(solid)->mark = 1;
      dir.write(name, write_marked());
      drawing_free();
    }
    ASSERT_EQ(process_run({KAVRO_GTS_BSO, "inter", (dir / "kav1.gts").string(), (dir / "kav2.gts").string(),
                           dir.path().string() + "/"}),
              0);
    MeshElem ma, mb;
    ma.vertices = a.vertices, ma.face_sizes = a.face_sizes, ma.indices = a.indices;
    mb.vertices = b.vertices, mb.face_sizes = b.face_sizes, mb.indices = b.indices;
    const double va = -fanned_volume(ma), vb = -fanned_volume(mb);
    // What the union, difference and intersection can hold.
    const double least[] = {std::max(va, vb), va - vb, 0}, most[] = {va + vb, va, std::min(va, vb)};
    for (int mode = 0; mode < 3; ++mode) {
      SCOPED_TRACE(mode);
      std::ifstream first(dir / modes[mode].first), second(dir / modes[mode].second);
      const std::string t1((std::istreambuf_iterator<char>(first)), {}),
          t2((std::istreambuf_iterator<char>(second)), {});
      ASSERT_EQ(read_text(t1, modes[mode].first_flip).first, 1);
      ASSERT_EQ(read_text(t2, modes[mode].second_flip).first, 1);
      const std::vector<ElemHeader*> parts = elements();
      ASSERT_EQ(parts.size(), 2u);
      testing::internal::CaptureStdout();
      merge3d(*elem_as<MeshElem>(parts[0]), *elem_as<MeshElem>(parts[1]));
      parts[0]->mark = parts[1]->mark = 1;
      elem_purge_marked();
      ASSERT_TRUE(mesh_clean_up_last());
      testing::internal::GetCapturedStdout();
      const MeshElem* result = elem_as<MeshElem>(elem_list_tail);
      expect_edges_paired(*result);
      const double v = -fanned_volume(*result);
      EXPECT_GT(v, least[mode]);
      EXPECT_LT(v, most[mode]);
      drawing_free();
    }
  }
}

TEST_F(GtsFileTest, OnlyTheFirstBlockIsRead) {
  const std::string block =
      "3 3 1 GtsSurface GtsFace GtsEdge GtsVertex\n0 0 0\n1 0 0\n0 1 0\n1 2\n2 3\n3 1\n1 2 3\n";
  EXPECT_EQ(read_text(block + block).first, 1);
  EXPECT_EQ(elements().size(), 1u);
  EXPECT_EQ(elem_as<MeshElem>(elem_list_tail)->face_count(), 1);
}

TEST_F(GtsFileTest, MergeOfAMeshWithItselfSharesEveryVertex) {
  MeshElem* box = add_mesh(solid_cuboid(0, 0, 1, 1, 0, 1));
  testing::internal::CaptureStdout();
  merge3d(*box, *box);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "merge3d: removed 8 duplicate points\n");
  const MeshElem* m = elem_as<MeshElem>(elem_list_tail);
  EXPECT_EQ(m->vertex_count(), 8);
  EXPECT_EQ(m->face_count(), 12);
  EXPECT_EQ(std::vector<int32_t>(m->indices.begin() + 24, m->indices.end()), box->indices);
}

TEST_F(GtsFileTest, CleanDropsStraightCornersShrunkFacesAndUnusedVertices) {
  // A square with a corner on its bottom edge, a face that shrinks to two
  // corners, and a vertex no face uses.
  Point3 v[] = {{0, 0, 0, 0}, {1, 0, 0, 0}, {2, 0, 0, 0}, {2, 2, 0, 0}, {0, 2, 0, 0}, {9, 9, 9, 0}};
  const int32_t sizes[] = {5, 3};
  const int32_t idx[] = {0, 1, 2, 3, 4, 0, 1, 2};
  elem_new_mesh(0, 1, 0, 6, 2, sizes, v, idx, "Oak", 0);
  const MeshElem* in = elem_as<MeshElem>(elem_list_tail);
  testing::internal::CaptureStdout();
  clean3d(*in);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "clean3d: removed 2 unused points\n");
  const MeshElem* m = elem_as<MeshElem>(elem_list_tail);
  ASSERT_NE(m, in);
  EXPECT_EQ(m->face_sizes, std::vector<int32_t>({4}));
  EXPECT_EQ(m->indices, std::vector<int32_t>({0, 1, 2, 3}));
  ASSERT_EQ(m->vertex_count(), 4);
  EXPECT_EQ(m->vertices[1].x, 2.0);
}

TEST_F(GtsFileTest, CleanRemovesCornersInTheOrderOfRepeatedSingleRemovals) {
  // Faces of up to 40 corners on a 3 x 3 grid of points, so that many are
  // straight, doubled back or repeated: clean3d keeps what removing the
  // first degenerate corner again and again keeps.
  std::mt19937 random(11);
  std::vector<Point3> v;
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) v.push_back({x * 1.0, y * 1.0, 0, 0});
  for (int round = 0; round < 300; ++round) {
    SCOPED_TRACE(round);
    std::vector<int32_t> face(3 + random() % 38);
    for (int32_t& c : face) c = static_cast<int32_t>(random() % v.size());
    std::vector<int32_t> want = face;
    int n = static_cast<int>(want.size());
    while (n > 2 && mesh_face_drop_degenerate_vertex(n, want.data(), v.data())) --n;
    want.resize(n < 3 ? 0 : static_cast<size_t>(n));

    const int32_t size = static_cast<int32_t>(face.size());
    elem_new_mesh(0, 1, 0, static_cast<int>(v.size()), 1, &size, v.data(), face.data(), "Oak", 0);
    testing::internal::CaptureStdout();
    clean3d(*elem_as<MeshElem>(elem_list_tail));
    testing::internal::GetCapturedStdout();
    const MeshElem* m = elem_as<MeshElem>(elem_list_tail);
    // The vertices are renumbered by their first use: compare points.
    std::vector<std::pair<double, double>> got, expected;
    for (int32_t i : m->indices)
      got.emplace_back(m->vertices[static_cast<size_t>(i)].x, m->vertices[static_cast<size_t>(i)].y);
    for (int32_t i : want) expected.emplace_back(v[static_cast<size_t>(i)].x, v[static_cast<size_t>(i)].y);
    EXPECT_EQ(got, expected);
    drawing_free();
  }
}

TEST_F(GtsFileTest, RepairInsertsVerticesOnAnEdgeInOrderAlongIt) {
  // The bottom face's edge 0-1 carries two vertices of the other face, the
  // farther one first in vertex order.
  Point3 v[] = {{0, 0, 0, 0}, {3, 0, 0, 0},  {3, 3, 0, 0}, {2, 0, 0, 0},
                {1, 0, 0, 0}, {1, -1, 0, 0}, {2, -1, 0, 0}};
  const int32_t sizes[] = {3, 4};
  const int32_t idx[] = {0, 1, 2, 4, 3, 6, 5};
  elem_new_mesh(0, 1, 0, 7, 2, sizes, v, idx, "Oak", 0);
  const MeshElem* in = elem_as<MeshElem>(elem_list_tail);
  testing::internal::CaptureStdout();
  repair3d(*in);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "repair3d: inserted 2 new vertices (old: 7 new: 9)\n");
  const MeshElem* m = elem_as<MeshElem>(elem_list_tail);
  EXPECT_EQ(m->face_sizes, std::vector<int32_t>({5, 4}));
  EXPECT_EQ(m->indices, std::vector<int32_t>({0, 4, 3, 1, 2, 4, 3, 6, 5}));
}

TEST_F(GtsFileTest, RepairFindsEveryPointOnEveryEdgeWhereverThePointsLie) {
  // Points on a grid, some nudged off it by less or more than a millionth
  // of the edges near them, some standing in one plane of x; faces of three
  // to five corners, short and long, across them. Every point that lies on
  // an edge for the edge's size, found by looking at all points, is put in,
  // in order along the edge.
  std::mt19937 random(5);
  for (int round = 0; round < 16; ++round) {
    SCOPED_TRACE(round);
    std::vector<Point3> v;
    for (int i = 0; i < 300; ++i) {
      Point3 p{static_cast<double>(random() % 9), static_cast<double>(random() % 9),
               round % 2 ? 0.0 : static_cast<double>(random() % 9), 0};
      // Far within or far beyond a millionth of any edge that can hold a
      // point of the grid between its ends (two units or longer).
      const double nudge[] = {1e-9, 5e-7, 3e-4};
      if (random() % 4 == 0) p.y += nudge[random() % 3] * (random() % 2 ? 1 : -1);
      v.push_back(p);
    }
    std::vector<int32_t> sizes, idx;
    for (int f = 0; f < 60; ++f) {
      const int n = 3 + static_cast<int>(random() % 3);
      sizes.push_back(n);
      for (int k = 0; k < n; ++k) idx.push_back(static_cast<int32_t>(random() % v.size()));
    }
    // The faces by their corners: a corner of the face itself, or of a face
    // running along the edge the other way, is never put in.
    std::vector<std::vector<int32_t>> face_list;
    for (size_t at = 0, f = 0; f < sizes.size(); at += static_cast<size_t>(sizes[f++]))
      face_list.emplace_back(idx.begin() + static_cast<std::ptrdiff_t>(at),
                             idx.begin() + static_cast<std::ptrdiff_t>(at + static_cast<size_t>(sizes[f])));
    auto runs_along = [](const std::vector<int32_t>& face, int a, int b) {
      for (size_t k = 0; k < face.size(); ++k)
        if (face[k] == a && face[(k + 1) % face.size()] == b) return true;
      return false;
    };
    std::vector<int32_t> want;
    size_t at = 0;
    for (size_t f = 0; f < sizes.size(); ++f) {
      const int32_t n = sizes[f];
      for (int32_t k = 0; k < n; ++k) {
        const int a = idx[at + static_cast<size_t>(k)], b = idx[at + static_cast<size_t>((k + 1) % n)];
        want.push_back(a);
        std::vector<std::pair<double, int>> on;
        for (int p = 0; p < static_cast<int>(v.size()); ++p) {
          if (p == a || p == b) continue;
          const auto has_p = [p](const std::vector<int32_t>& face) {
            return std::find(face.begin(), face.end(), p) != face.end();
          };
          if (has_p(face_list[f]) || std::any_of(face_list.begin(), face_list.end(), [&](const auto& other) {
                return runs_along(other, b, a) && has_p(other);
              }))
            continue;
          // The foot's place along the edge and the distance from its line.
          const double length = vec3_distance(v[a], v[b]);
          const double t = vec3_dot(vec3_sub(v[p], v[a]), vec3_sub(v[b], v[a])) / (length * length);
          const Point3 foot{v[a].x + t * (v[b].x - v[a].x), v[a].y + t * (v[b].y - v[a].y),
                            v[a].z + t * (v[b].z - v[a].z), 0};
          if (t > 1e-6 && t < 1 - 1e-6 && vec3_distance(foot, v[p]) < 1e-6 * length) on.emplace_back(t, p);
        }
        std::sort(on.begin(), on.end());
        for (const auto& [d, p] : on) want.push_back(p);
      }
      at += static_cast<size_t>(n);
    }
    elem_new_mesh(0, 1, 0, static_cast<int>(v.size()), static_cast<int>(sizes.size()), sizes.data(), v.data(),
                  idx.data(), "Oak", 0);
    testing::internal::CaptureStdout();
    repair3d(*elem_as<MeshElem>(elem_list_tail));
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(elem_as<MeshElem>(elem_list_tail)->indices, want);
    drawing_free();
  }
}

TEST_F(GtsCommandTest, ImportShowsTheErrorsAndCleansAGoodFile) {
  TempFolder dir;
  dir.write("empty.gts", "0 0 0 GtsSurface GtsFace GtsEdge GtsVertex\n");
  dir.write("bad.gts",
            "3 3 1 GtsSurface GtsFace GtsEdge GtsVertex\n0 0 0\n1 0 0\n0 1 0\n1 2\n2 3\n3 1\n1 99 3\n");
  MeshElem* box = add_mesh(solid_cuboid(0, 0, 2, 1, 0, 3));
  box->mark = 1;
  dir.write("box.gts", write_marked());
  box->mark = 1;
  elem_purge_marked();

  ui.paths = {(dir / "missing.gts").string(), (dir / "empty.gts").string(), (dir / "bad.gts").string(),
              (dir / "box.gts").string()};
  testing::internal::CaptureStdout();
  for (int i = 0; i < 4; ++i) cmd_p_file_import_gts();
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(ui.calls_starting("error"),
            std::vector<std::string>({"error ***ERROR***\nLoading .gts file failed\nThe file does not exist.",
                                      "error ***ERROR***\nGTS file is empty\n",
                                      "error ***ERROR***\nLoading .gts file failed\nLine 8 of the GTS file: "
                                      "triangle 1 names edge 99; there are edges 1 to 3."}));
  // The box comes back as one mesh of six quads over its eight corners.
  ASSERT_EQ(elements().size(), 1u);
  const MeshElem* m = elem_as<MeshElem>(elem_list_tail);
  EXPECT_EQ(m->vertex_count(), 8);
  EXPECT_EQ(m->face_count(), 6);
  undo_step_back();
  EXPECT_EQ(elem_list_head, nullptr);
}

// Triangles the reader cannot take are said in a message after the import:
// one whose first two edges share no point and one whose corners fall
// together (point 5 lies half a micrometre from point 1).
TEST_F(GtsCommandTest, ImportSaysWhichTrianglesItLeftOut) {
  TempFolder dir;
  dir.write("left.gts",
            "5 8 4 GtsSurface GtsFace GtsEdge GtsVertex\n"
            "0 0 0\n1 0 0\n0 1 0\n1 1 0\n0.0000005 0 0\n"
            "1 2\n2 3\n3 1\n2 4\n4 3\n3 4\n1 5\n5 2\n"
            "1 2 3\n4 5 2\n1 6 1\n1 8 7\n");
  dir.write("whole.gts",
            "3 3 1 GtsSurface GtsFace GtsEdge GtsVertex\n0 0 0\n1 0 0\n0 1 0\n1 2\n2 3\n3 1\n1 2 3\n");
  ui.paths = {(dir / "left.gts").string(), (dir / "whole.gts").string()};
  testing::internal::CaptureStdout();
  cmd_p_file_import_gts();
  cmd_p_file_import_gts();
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(ui.calls_starting("error"), std::vector<std::string>{});
  // Only the first file left anything out.
  EXPECT_EQ(
      ui.calls_starting("message"),
      std::vector<std::string>{"message Message: 2 triangles of the GTS file were left out: 1 whose two "
                               "edges share no point, 1 whose corners lie within a micrometre of each "
                               "other."});
  EXPECT_EQ(elements().size(), 2u);
}

// The export writes a block per mesh; the import reads the first and says
// that the file holds more. Blanks after the block are nothing more.
TEST_F(GtsCommandTest, ImportSaysWhenTheFileHoldsMoreThanOneSurface) {
  TempFolder dir;
  MeshElem* box = add_mesh(solid_cuboid(0, 0, 2, 1, 0, 3));
  MeshElem* other = add_mesh(solid_cuboid(5, 0, 6, 1, 0, 1));
  box->mark = other->mark = 1;
  dir.write("two.gts", write_marked());
  other->mark = 0;
  dir.write("one.gts", write_marked() + "\n \t\n");
  drawing_free();
  ui.paths = {(dir / "two.gts").string(), (dir / "one.gts").string()};
  testing::internal::CaptureStdout();
  cmd_p_file_import_gts();
  cmd_p_file_import_gts();
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(ui.calls_starting("error"), std::vector<std::string>{});
  EXPECT_EQ(
      ui.calls_starting("message"),
      std::vector<std::string>{"message Message: Only the first surface of the GTS file was read; the file "
                               "holds more after it."});
  ASSERT_EQ(elements().size(), 2u);
  for (const ElemHeader* e : elements()) EXPECT_EQ(elem_as<MeshElem>(e)->vertex_count(), 8);
}

// A grid of n x n squares, each cut into two triangles, its points raised
// in a pattern so that no two triangles lie in one plane.
std::string bumpy_grid_gts(int n) {
  std::string points, edges, triangles;
  int edge_count = 0;
  std::map<std::pair<int, int>, int> edge_of;
  auto p = [n](int i, int j) { return j * (n + 1) + i + 1; };
  auto edge = [&](int a, int b) {
    auto [it, added] = edge_of.emplace(std::make_pair(std::min(a, b), std::max(a, b)), edge_count + 1);
    if (added) {
      ++edge_count;
      edges += std::to_string(a) + " " + std::to_string(b) + "\n";
    }
    return it->second;
  };
  for (int j = 0; j <= n; ++j)
    for (int i = 0; i <= n; ++i)
      points += std::to_string(i) + " " + std::to_string(j) + " " +
                std::to_string((i * i + 3 * j) % 7 * 0.1) + "\n";
  auto tri = [&](int a, int b, int c) {
    triangles += std::to_string(edge(c, a)) + " " + std::to_string(edge(b, c)) + " " +
                 std::to_string(edge(a, b)) + "\n";
  };
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i) {
      tri(p(i, j), p(i, j + 1), p(i + 1, j));
      tri(p(i + 1, j), p(i, j + 1), p(i + 1, j + 1));
    }
  return std::to_string((n + 1) * (n + 1)) + " " + std::to_string(edge_count) + " " +
         std::to_string(2 * n * n) + " GtsSurface GtsFace GtsEdge GtsVertex\n" + points + edges + triangles;
}

// A large import keeps its window open while the mesh is cleaned after the
// reading, shows how far that is, and its Cancel there leaves the drawing,
// its undo steps and its modified flag as they were.
TEST_F(GtsCommandTest, CancelWhileTheMeshIsCleanedLeavesTheDrawingAsItWas) {
  TempFolder dir;
  dir.write("grid.gts", bumpy_grid_gts(64));
  // Padded after the block, which is all that is read, to the size that
  // shows the window.
  std::filesystem::resize_file(dir / "grid.gts", FIO_PROGRESS_FROM + 1);
  elem_new_line(0, 1, 0, 5, 5, 6, 6);
  undo_record(UNDO_CREATED, 1);
  drawing_modified = 0;
  const std::vector<ElemHeader*> before = elements();

  ui.paths = {(dir / "grid.gts").string()};
  testing::internal::CaptureStdout();
  cmd_p_file_import_gts();
  testing::internal::GetCapturedStdout();
  ASSERT_EQ(elements().size(), 2u);
  std::vector<double> shown;
  for (const std::string& c : ui.calls_starting("progress ")) shown.push_back(std::stod(c.substr(9)));
  // The reading fills a fifth of the bar; the clean-up the rest, step by step.
  const auto cleaning = std::find_if(shown.begin(), shown.end(), [](double f) { return f >= 0.2; });
  ASSERT_NE(cleaning, shown.begin());
  EXPECT_GE(shown.end() - cleaning, 3);
  EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end()));
  EXPECT_EQ(ui.calls_starting("progress").back(), "progress_close");
  undo_step_back();
  ASSERT_EQ(elements(), before);

  const uint8_t steps = undo_used;
  drawing_modified = 0;
  ui.calls.clear();
  ui.paths = {(dir / "grid.gts").string()};
  ui.cancel_after_updates = static_cast<int>(cleaning - shown.begin()) + 2;
  testing::internal::CaptureStdout();
  cmd_p_file_import_gts();
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(elements(), before);
  EXPECT_EQ(undo_used, steps);
  EXPECT_EQ(drawing_modified, 0);
  EXPECT_TRUE(ui.calls_starting("error").empty());
  EXPECT_NE(out.find("Import cancelled."), std::string::npos);
  EXPECT_EQ(ui.calls_starting("progress ").size(), static_cast<size_t>(ui.cancel_after_updates));
  EXPECT_EQ(ui.calls.back(), "progress_close");
}

// A large file shows the progress window while it is read; a folder is
// refused with what it is.
TEST_F(GtsCommandTest, LargeImportShowsProgress) {
  TempFolder dir;
  // 400000 points of one triangle and its edges, duplicates of three.
  std::string text = "400000 3 1 GtsSurface GtsFace GtsEdge GtsVertex\n";
  const char* corners[3] = {"0.000000 0.000000 0.000000\n", "1.500000 0.000000 0.000000\n",
                            "0.000000 1.250000 0.000000\n"};
  for (int i = 0; i < 400000; ++i) text += corners[i % 3];
  text += "1 2\n2 3\n3 1\n1 2 3\n";
  ASSERT_GE(text.size(), FIO_PROGRESS_FROM);
  dir.write("large.gts", text);
  dir.make_folder("folder.gts");
  ui.paths = {(dir / "folder.gts").string(), (dir / "large.gts").string()};
  testing::internal::CaptureStdout();
  cmd_p_file_import_gts();
  cmd_p_file_import_gts();
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(ui.calls_starting("error"), std::vector<std::string>{"error ***ERROR***\nLoading .gts file "
                                                                 "failed\nThis is a folder, not a file."});
  ASSERT_EQ(elements().size(), 1u);
  const std::vector<std::string> shown = ui.calls_starting("progress");
  ASSERT_GE(shown.size(), 3u);
  EXPECT_EQ(shown.front(), "progress_open_cancel Import GTS...");
  EXPECT_EQ(shown.back(), "progress_close");
  EXPECT_GE(shown.size(), 2 + 400000 / 4096);
}

// A point that is no number would go out as "nan", which the GTS reader
// refuses: the export says why and the file of the name stays as it was.
// Any finite point, however far, is written as it is read back.
TEST_F(GtsCommandTest, ExportRefusesPointsThatAreNoNumber) {
  TempFolder dir;
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  const struct {
    double z;
    bool written;
  } cases[] = {{nan, false}, {inf, false}, {-inf, false}, {-1e308, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.z);
    drawing_free();
    drawing_init();
    ui.calls.clear();
    add_mesh(solid_cuboid(0, 0, 2, 1, 0, 3));
    elem_as<MeshElem>(elem_list_tail)->vertices[5].z = c.z;
    dir.write("far.gts", "old");
    ui.answers = {1};  // all objects
    ui.paths = {(dir / "far.gts").string()};
    cmd_p_file_export_gts();
    for (ElemHeader* e : elements()) EXPECT_EQ(e->mark, 0);
    std::ifstream in(dir / "far.gts");
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (c.written) {
      EXPECT_TRUE(errors().empty());
      EXPECT_NE(text.find(" -1e+308\n"), std::string::npos) << text;
    } else {
      EXPECT_EQ(text, "old");
      EXPECT_EQ(errors(),
                std::vector<std::string>{"error The drawing has coordinates or sizes that GTS files "
                                         "cannot hold.\nNothing was written."});
    }
  }
}

TEST_F(GtsCommandTest, ExportWritesMarkedMeshesAndWallsAndLeavesNothingBehind) {
  TempFolder dir;
  add_mesh(solid_cuboid(0, 0, 2, 1, 0, 3));
  axis_wall(0, 5, 4, 5);
  elem_new_line(0, 1, 0, 0, 0, 1, 1);
  const size_t before = elements().size();
  ui.answers = {1};  // all objects
  ui.paths = {(dir / "out.gts").string()};
  cmd_p_file_export_gts();
  std::ifstream in(dir / "out.gts");
  std::vector<std::string> headers;
  for (std::string line; std::getline(in, line);)
    if (line.find("GtsSurface") != std::string::npos) headers.push_back(line);
  // The cuboid, then the wall's box: one block each, the line skipped.
  ASSERT_EQ(headers.size(), 2u);
  EXPECT_EQ(headers[0], "8 18 12 GtsSurface GtsFace GtsEdge GtsVertex");
  EXPECT_EQ(elements().size(), before);
  for (ElemHeader* e : elements()) EXPECT_EQ(e->mark, 0);
  EXPECT_TRUE(errors().empty());

  // A folder that does not exist: nothing written, said so, marks cleared.
  ui.answers = {1};
  ui.paths = {(dir / "no" / "out.gts").string()};
  cmd_p_file_export_gts();
  EXPECT_EQ(errors().size(), 1u);
  EXPECT_EQ(elements().size(), before);
  for (ElemHeader* e : elements()) EXPECT_EQ(e->mark, 0);
}

}  // namespace
