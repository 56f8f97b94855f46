#include "model/triangulate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <set>
#include <vector>

#include "model/geom.h"
#include "model/layers.h"
#include "model/settings.h"
#include "model/vec3.h"
#include "support/model_fixture.h"

namespace {

using Tri = std::array<int32_t, 3>;

MeshElem make_mesh(const std::vector<Point3>& vertices, const std::vector<std::vector<int32_t>>& faces) {
  MeshElem m;
  m.vertices = vertices;
  for (const auto& f : faces) {
    m.face_sizes.push_back(static_cast<int32_t>(f.size()));
    m.indices.insert(m.indices.end(), f.begin(), f.end());
  }
  return m;
}

std::vector<Point3> flat(const std::vector<Point2>& pts) {
  std::vector<Point3> out;
  for (const Point2& p : pts) out.push_back(Point3{p.x, p.y, 0, 0});
  return out;
}

std::vector<int32_t> iota_face(int n) {
  std::vector<int32_t> f(n);
  for (int i = 0; i < n; ++i) f[i] = i;
  return f;
}

std::vector<Tri> triangulate(const MeshElem& mesh) {
  FaceList* list = tri_faces_new(&mesh);
  tri_triangulate_faces(list, 0);
  std::vector<Tri> out;
  EXPECT_EQ(list->triangle_count, static_cast<int32_t>(list->t0.size()));
  for (int k = 0; k < list->triangle_count; ++k) out.push_back({list->t0[k], list->t1[k], list->t2[k]});
  tri_faces_free(list);
  return out;
}

double signed_area_xy(const std::vector<Point3>& v, const Tri& t) {
  return geom_cross(v[t[0]].x, v[t[0]].y, v[t[1]].x, v[t[1]].y, v[t[2]].x, v[t[2]].y) / 2.0;
}

// The triangles tile the polygon: their areas add up to its area, each keeps
// its turning sense, and the centre of each lies inside the polygon.
void expect_tiling(const std::vector<Point2>& poly) {
  const int n = static_cast<int>(poly.size());
  const std::vector<Point3> v = flat(poly);
  const std::vector<Tri> tris = triangulate(make_mesh(v, {iota_face(n)}));
  ASSERT_EQ(static_cast<int>(tris.size()), n - 2);
  const double area = geom_polygon_area(n, poly.data());
  double sum = 0.0;
  for (const Tri& t : tris) {
    const double a = signed_area_xy(v, t);
    EXPECT_GT(a * area, 0.0) << "triangle turns against the face";
    sum += a;
    const double cx = (v[t[0]].x + v[t[1]].x + v[t[2]].x) / 3.0;
    const double cy = (v[t[0]].y + v[t[1]].y + v[t[2]].y) / 3.0;
    EXPECT_EQ(geom_point_in_polygon(cx, cy, n, poly.data()), 1) << "triangle outside at " << cx << "," << cy;
  }
  EXPECT_NEAR(sum, area, 1e-9);
}

TEST(Triangulate, TriangleAndUnitSquare) {
  const auto one = triangulate(make_mesh(flat({{0, 0}, {1, 0}, {0, 1}}), {{0, 1, 2}}));
  ASSERT_EQ(one.size(), 1u);
  EXPECT_EQ(one[0], (Tri{0, 1, 2}));
  // All four ears of the square are equally good: position 0 is cut first.
  const auto square = triangulate(make_mesh(flat({{0, 0}, {1, 0}, {1, 1}, {0, 1}}), {{0, 1, 2, 3}}));
  ASSERT_EQ(square.size(), 2u);
  EXPECT_EQ(square[0], (Tri{3, 0, 1}));
  EXPECT_EQ(square[1], (Tri{1, 2, 3}));
}

TEST(Triangulate, ConcaveFacesAreTiled) {
  expect_tiling({{0, 0}, {2, 0}, {2, 1}, {1, 1}, {1, 2}, {0, 2}});  // L shape
  expect_tiling({{0, 2}, {1, 2}, {1, 1}, {2, 1}, {2, 0}, {0, 0}});  // the same, clockwise
  // A comb: the long diagonals across the teeth must be refused.
  expect_tiling({{0, 0},
                 {7, 0},
                 {7, 3},
                 {6, 3},
                 {6, 1},
                 {5, 1},
                 {5, 3},
                 {4, 3},
                 {4, 1},
                 {3, 1},
                 {3, 3},
                 {2, 3},
                 {2, 1},
                 {1, 1},
                 {1, 3},
                 {0, 3}});
  // A face of the union of two turned boxes, its corners as the boolean
  // gives them: a notch 4-5-6-7 whose last corner lies on the diagonal
  // 4-6 across its mouth, to within rounding. The diagonal's middle lies
  // on the side 6-7, where the ray test can take it for inside: the notch
  // must still not be cut as an ear. The area is the exact sum over the
  // corners' binary values (python's fractions).
  const std::vector<Point2> notch = {
      {121.15322461585605, -72.02447367395057}, {117.91557582391674, -73.96563490826661},
      {123.31924267882935, -78.58579798402592}, {126.55689147076866, -76.64463674970987},
      {122.88619269821396, -76.89102053485917}, {121.66636115318339, -76.95079621066118},
      {122.40921492795451, -76.4108758306259},  {122.69684062247039, -76.70041124010231}};
  EXPECT_NEAR(geom_polygon_area(8, notch.data()), 15.699863485031413, 1e-9);
  expect_tiling(notch);
  // A star with sharp inner corners.
  std::vector<Point2> star;
  for (int i = 0; i < 10; ++i) {
    const double r = i % 2 ? 1.0 : 3.0;
    const double a = i * GEOM_PI / 5;
    star.push_back({r * std::cos(a), r * std::sin(a)});
  }
  expect_tiling(star);
  // Faces of hundreds of corners, as joining the triangles of a fine flat
  // mesh makes them: a comb of 150 teeth of uneven length and a spiral.
  std::vector<Point2> comb = {{0, 0}, {300, 0}};
  for (int t = 149; t >= 0; --t) {
    const double tip = 3 + (t * 7 % 5);
    comb.insert(comb.end(), {{2.0 * t + 2, tip}, {2.0 * t + 1, tip}, {2.0 * t + 1, 1}, {2.0 * t, 1}});
  }
  expect_tiling(comb);
  std::vector<Point2> spiral;
  for (int i = 0; i < 300; ++i)
    spiral.push_back({(1 + i * 0.05) * std::cos(i * 0.1), (1 + i * 0.05) * std::sin(i * 0.1)});
  for (int i = 299; i >= 0; --i)
    spiral.push_back({(1.5 + i * 0.05) * std::cos(i * 0.1), (1.5 + i * 0.05) * std::sin(i * 0.1)});
  expect_tiling(spiral);
}

TEST(Triangulate, ProjectionFollowsTheFace) {
  // A vertical face in x-z, one in y-z, and one collapsed to a line.
  const std::vector<Point3> v = {
      {0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1},  // y = 0
      {5, 0, 0}, {5, 1, 0}, {5, 1, 1}, {5, 0, 1},  // x = 5
      {0, 0, 9}, {1, 1, 9}, {2, 2, 9}, {3, 3, 9},  // on one line
  };
  const auto tris = triangulate(make_mesh(v, {{0, 1, 2, 3}, {4, 5, 6, 7}, {8, 9, 10, 11}}));
  ASSERT_EQ(tris.size(), 4u);
  EXPECT_EQ(tris[0], (Tri{3, 0, 1}));  // faces keep their order
  EXPECT_EQ(tris[1], (Tri{1, 2, 3}));
  EXPECT_EQ(tris[2], (Tri{7, 4, 5}));
  EXPECT_EQ(tris[3], (Tri{5, 6, 7}));
}

TEST(Triangulate, SmallFacesAreFacesAndCollapsedOnesAreNot) {
  // The faces of ProjectionFollowsTheFace and a tilted triangle, scaled down
  // to the size of a fine mesh's faces: each still yields its triangles in
  // its own plane, and the one on a line still yields none.
  for (double s : {1.0, 1e-2, 3e-3, 1e-3}) {
    SCOPED_TRACE(s);
    const std::vector<Point3> v = {
        {0, 0, 0},
        {s, 0, 0},
        {s, 0, s},
        {0, 0, s},  // y = 0
        {5 * s, 0, 0},
        {5 * s, s, 0},
        {5 * s, s, s},
        {5 * s, 0, s},  // x = 5s
        {0, 0, 9 * s},
        {s, s, 9 * s},
        {2 * s, 2 * s, 9 * s},
        {3 * s, 3 * s, 9 * s},  // a line
        {0, 0, 20 * s},
        {s, 0, 20.1 * s},
        {0, s, 21 * s},  // tilted
    };
    const auto tris = triangulate(make_mesh(v, {{0, 1, 2, 3}, {4, 5, 6, 7}, {8, 9, 10, 11}, {12, 13, 14}}));
    ASSERT_EQ(tris.size(), 5u);
    EXPECT_EQ(tris[0], (Tri{3, 0, 1}));
    EXPECT_EQ(tris[1], (Tri{1, 2, 3}));
    EXPECT_EQ(tris[2], (Tri{7, 4, 5}));
    EXPECT_EQ(tris[3], (Tri{5, 6, 7}));
    EXPECT_EQ(tris[4], (Tri{12, 13, 14}));
  }
  // A sliver whose third corner lies off the line by rounding only.
  const std::vector<Point3> sliver = {{0, 0, 0}, {1e-3, 1e-3, 0}, {2e-3, 2e-3 + 1e-18, 0}};
  EXPECT_TRUE(triangulate(make_mesh(sliver, {{0, 1, 2}})).empty());
}

TEST(Triangulate, UntrustedIndicesYieldNoTriangles) {
  const std::vector<Point3> v = flat({{0, 0}, {1, 0}, {1, 1}, {0, 1}});
  // Out of range, too few corners, and a negative index read as its absolute value.
  auto tris = triangulate(make_mesh(v, {{0, 1, 99}, {0, 1}, {0, -1, -2}}));
  ASSERT_EQ(tris.size(), 1u);
  EXPECT_EQ(tris[0], (Tri{0, 1, 2}));
  MeshElem short_indices = make_mesh(v, {{0, 1, 2}});
  short_indices.face_sizes = {3, 4};  // sizes beyond the index list
  EXPECT_EQ(triangulate(short_indices).size(), 1u);
  MeshElem empty;
  EXPECT_TRUE(triangulate(empty).empty());
}

TEST(Triangulate, MinAngleAndSubpolygonArea) {
  EXPECT_NEAR(tri_min_angle({0, 0}, {1, 0}, {0, 1}), 45.0, 1e-9);
  EXPECT_NEAR(tri_min_angle({0, 0}, {2, 0}, {1, std::sqrt(3.0)}), 60.0, 1e-6);
  EXPECT_EQ(tri_min_angle({0, 0}, {0, 0}, {0, 1}), 0.0);
  const std::vector<Point2> pts = {{0, 0}, {9, 9}, {2, 0}, {2, 2}};
  const int32_t idx[] = {0, 2, 3};
  EXPECT_DOUBLE_EQ(tri_subpolygon_area(3, idx, pts.data()), 2.0);
}

class TriMerge : public ModelTest {
 protected:
  // The faces of the mesh the last merge appended.
  std::vector<std::vector<int32_t>> merged_faces() {
    const MeshElem* m = elem_as<MeshElem>(elem_list_tail);
    EXPECT_NE(m, nullptr);
    std::vector<std::vector<int32_t>> faces;
    if (!m) return faces;
    size_t pos = 0;
    for (int32_t size : m->face_sizes) {
      faces.emplace_back(m->indices.begin() + pos, m->indices.begin() + pos + size);
      pos += size;
    }
    return faces;
  }
};

TEST_F(TriMerge, TwoTrianglesSharingAnEdgeBecomeAQuad) {
  cur_layer = 12;
  cur_pen = 3;
  cur_line_type = 2;
  const MeshElem mesh = make_mesh(flat({{0, 0}, {1, 0}, {1, 1}, {0, 1}}), {{0, 1, 2}, {0, 2, 3}});
  tri_merge_triangles(&mesh);
  const MeshElem* out = elem_as<MeshElem>(elem_list_tail);
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(elem_count(), 1);
  EXPECT_EQ(out->layer, 12);
  EXPECT_EQ(out->pen, 3);
  EXPECT_EQ(out->line_type, 2);
  EXPECT_EQ(out->material, "Default");
  EXPECT_EQ(out->flag, 0);
  EXPECT_EQ(out->vertices.size(), 4u);
  const auto faces = merged_faces();
  ASSERT_EQ(faces.size(), 1u);
  EXPECT_EQ(faces[0], (std::vector<int32_t>{0, 1, 2, 3}));
}

TEST_F(TriMerge, SeparateWhenNotCoplanarOrOnlyTouching) {
  std::vector<Point3> v = flat({{0, 0}, {1, 0}, {1, 1}, {0, 1}});
  for (Point3 p : flat({{0, 0}, {1, 0}, {1, 1}})) {
    p.z = 0.2;
    v.push_back(p);
  }
  v.push_back({2, 1, 0, 0});
  v.push_back({2, 2, 0, 0});
  // Parallel planes 0.2 apart, and a coplanar triangle meeting at a vertex only.
  const MeshElem mesh = make_mesh(v, {{0, 1, 2}, {4, 5, 6}, {2, 7, 8}});
  tri_merge_triangles(&mesh);
  EXPECT_EQ(merged_faces().size(), 3u);
}

// Neighbours of a fine curved mesh are nearly coplanar: the loose
// judgement joins them into a polygon whose corners are not in one plane.
// Asked for flat polygons, the merge keeps them apart, yet still joins
// triangles of one plane whose corners carry rounding.
TEST_F(TriMerge, FlatPolygonsOnlyWhenAsked) {
  // The square's corner 2 lifted by 5 mm: a fold along the diagonal 0-2
  // of about a third of a degree.
  const std::vector<Point3> folded = {{0, 0, 0, 0}, {1, 0, 0, 0}, {1, 1, 0.005, 0}, {0, 1, 0, 0}};
  // A square in the plane x + y + z = 1, its corners as rounded decimals.
  const std::vector<Point3> tilted = {
      {0.1, 0.2, 0.7, 0}, {0.7, 0.2, 0.1, 0}, {0.6, -0.3, 0.7, 0}, {0.0, -0.3, 1.3, 0}};
  const struct {
    const char* what;
    const std::vector<Point3>& vertices;
    double off_plane;
    size_t faces;
  } cases[] = {
      {"folded, loose", folded, -1, 1},
      {"folded, flat to a micrometre", folded, 1e-6, 2},
      {"folded, flat to a centimetre", folded, 0.01, 1},
      {"tilted plane, flat to a micrometre", tilted, 1e-6, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const MeshElem mesh = make_mesh(c.vertices, {{0, 1, 2}, {0, 2, 3}});
    ASSERT_TRUE(tri_merge_triangles(&mesh, {}, c.off_plane));
    EXPECT_EQ(merged_faces().size(), c.faces);
    elem_free_all();
  }
}

TEST_F(TriMerge, StripInAnyOrderBecomesOnePolygon) {
  // Triangles 1, 2, 3 along a strip, listed 1, 3, 2.
  const MeshElem mesh =
      make_mesh(flat({{0, 0}, {1, 0}, {0, 1}, {1, 1}, {2, 1}}), {{0, 1, 2}, {1, 4, 3}, {1, 3, 2}});
  tri_merge_triangles(&mesh);
  const auto faces = merged_faces();
  ASSERT_EQ(faces.size(), 1u);
  ASSERT_EQ(faces[0].size(), 5u);
  std::vector<Point2> poly;
  for (int32_t i : faces[0]) poly.push_back({mesh.vertices[i].x, mesh.vertices[i].y});
  EXPECT_NEAR(geom_polygon_area(5, poly.data()), 1.5, 1e-12);
}

TEST_F(TriMerge, ClosedFanNeverVisitsAVertexTwice) {
  // A square cut into four triangles around its centre (vertex 4).
  const MeshElem mesh =
      make_mesh(flat({{0, 0}, {2, 0}, {2, 2}, {0, 2}, {1, 1}}), {{4, 0, 1}, {4, 1, 2}, {4, 2, 3}, {4, 3, 0}});
  tri_merge_triangles(&mesh);
  double area = 0.0;
  for (const auto& f : merged_faces()) {
    EXPECT_EQ(std::set<int32_t>(f.begin(), f.end()).size(), f.size()) << "a face repeats a vertex";
    std::vector<Point2> poly;
    for (int32_t i : f) poly.push_back({mesh.vertices[i].x, mesh.vertices[i].y});
    area += geom_polygon_area(static_cast<int>(poly.size()), poly.data());
  }
  EXPECT_NEAR(area, 4.0, 1e-12);
}

TEST_F(TriMerge, OtherFaceSizesAreSkippedWithoutShiftingTheRest) {
  const MeshElem mesh = make_mesh(flat({{0, 0}, {1, 0}, {1, 1}, {0, 1}, {5, 5}, {6, 5}, {6, 6}}),
                                  {{4, 5, 6, 4}, {0, 1, 2}, {0, 2, 3}});
  tri_merge_triangles(&mesh);
  const auto faces = merged_faces();
  ASSERT_EQ(faces.size(), 1u);
  EXPECT_EQ(faces[0], (std::vector<int32_t>{0, 1, 2, 3}));
}

// The joining as described, pass by pass over every coplanar free
// triangle, without an index: what the merge must give, however it finds
// its candidates.
std::vector<std::vector<int32_t>> reference_merge(const MeshElem& m) {
  const int f = m.face_count();
  auto c = [&](int face, int k) { return m.indices[3 * face + k]; };
  auto p = [&](int face, int k) { return m.vertices[c(face, k)]; };
  std::vector<int> state(f, 0);
  std::vector<std::vector<int32_t>> out;
  for (int j = 0; j < f; ++j) {
    if (state[j]) continue;
    state[j] = 1;
    std::vector<int32_t> poly = {c(j, 0), c(j, 1), c(j, 2)};
    std::vector<int> candidates;
    for (int k = 0; k < f; ++k)
      if (!state[k] && vec3_same_plane(p(j, 0), p(j, 1), p(j, 2), p(k, 0), p(k, 1), p(k, 2)))
        candidates.push_back(k);
    for (bool joined = true; joined;) {
      joined = false;
      for (int k : candidates) {
        if (state[k]) continue;
        const int n = static_cast<int>(poly.size());
        poly.push_back(0);
        if (tri_insert_shared_vertex(poly.data(), n, c(k, 0), c(k, 1), c(k, 2))) {
          state[k] = 1;
          joined = true;
        } else {
          poly.pop_back();
        }
      }
    }
    out.push_back(poly);
  }
  return out;
}

TEST_F(TriMerge, GivesThePolygonsOfThePassesOverAllCandidates) {
  // Grids of squares cut into two triangles each, in two planes (the floor
  // and a wall that shares its edge), each triangle begun at a random
  // corner, listed in a random order; some triangles tilted out of the
  // plane so that the polygons must go round them.
  std::mt19937 random(7);
  for (int round = 0; round < 40; ++round) {
    SCOPED_TRACE(round);
    const int n = 2 + round % 6;
    std::vector<Point3> v;
    for (int j = 0; j <= n; ++j)
      for (int i = 0; i <= n; ++i) v.push_back({i * 1.0, j * 1.0, 0, 0});
    for (int j = 1; j <= n; ++j)
      for (int i = 0; i <= n; ++i) v.push_back({i * 1.0, 0, j * 1.0, 0});
    auto floor_at = [n](int i, int j) { return j * (n + 1) + i; };
    auto wall_at = [n, floor_at](int i, int j) { return j == 0 ? floor_at(i, 0) : (n + 1) * (n + j) + i; };
    std::vector<std::vector<int32_t>> faces;
    for (int j = 0; j < n; ++j)
      for (int i = 0; i < n; ++i) {
        faces.push_back({floor_at(i, j), floor_at(i + 1, j + 1), floor_at(i + 1, j)});
        faces.push_back({floor_at(i, j), floor_at(i, j + 1), floor_at(i + 1, j + 1)});
        faces.push_back({wall_at(i, j), wall_at(i + 1, j), wall_at(i + 1, j + 1)});
        faces.push_back({wall_at(i, j), wall_at(i + 1, j + 1), wall_at(i, j + 1)});
      }
    // Lifting a few inner points of the floor tilts the triangles around them.
    for (int k = 0; k < round % 4; ++k) {
      const int i = 1 + static_cast<int>(random() % (n - 1 > 0 ? n - 1 : 1));
      const int j = 1 + static_cast<int>(random() % (n - 1 > 0 ? n - 1 : 1));
      if (i < n && j < n) v[floor_at(i, j)].z = 0.5;
    }
    std::shuffle(faces.begin(), faces.end(), random);
    for (auto& t : faces) std::rotate(t.begin(), t.begin() + random() % 3, t.end());
    const MeshElem mesh = make_mesh(v, faces);
    const auto want = reference_merge(mesh);
    ASSERT_TRUE(tri_merge_triangles(&mesh));
    EXPECT_EQ(merged_faces(), want);
    elem_remove_last();
  }
}

TEST_F(TriMerge, RepeatedTrianglesGoAndReversedOnesStay) {
  // The triangle 0-1-2 four times, begun at different corners, beside its
  // neighbour 0-2-3; a copy wound the other way is another face.
  const MeshElem mesh = make_mesh(flat({{0, 0}, {1, 0}, {1, 1}, {0, 1}}),
                                  {{0, 1, 2}, {1, 2, 0}, {0, 2, 3}, {2, 0, 1}, {0, 1, 2}, {2, 1, 0}});
  tri_merge_triangles(&mesh);
  EXPECT_EQ(merged_faces(), (std::vector<std::vector<int32_t>>{{0, 1, 2, 3}, {2, 1, 0}}));
}

TEST_F(TriMerge, StopsWithNothingAppendedWhenTold) {
  // A strip of 10000 triangles: asked now and then, and stopped at the
  // second question.
  std::vector<Point3> v;
  for (int i = 0; i <= 5000; ++i) {
    v.push_back({i * 1.0, 0, 0, 0});
    v.push_back({i * 1.0, 1, 0, 0});
  }
  std::vector<std::vector<int32_t>> faces;
  for (int i = 0; i < 5000; ++i) {
    faces.push_back({2 * i, 2 * i + 1, 2 * i + 2});
    faces.push_back({2 * i + 1, 2 * i + 3, 2 * i + 2});
  }
  const MeshElem mesh = make_mesh(v, faces);
  std::vector<double> asked;
  EXPECT_FALSE(tri_merge_triangles(&mesh, [&asked](double done) {
    asked.push_back(done);
    return asked.size() < 2;
  }));
  EXPECT_EQ(elem_list_head, nullptr);
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_GT(asked[0], 0.0);
  EXPECT_LT(asked[0], asked[1]);
  EXPECT_LT(asked[1], 1.0);
  // Let run, the strip becomes one polygon of every point.
  EXPECT_TRUE(tri_merge_triangles(&mesh, [](double) { return true; }));
  ASSERT_EQ(merged_faces().size(), 1u);
  EXPECT_EQ(merged_faces()[0].size(), v.size());
}

TEST(TriInsert, ThirdVertexGoesBetweenTheSharedEdgeEnds) {
  int32_t poly[5] = {0, 1, 2};
  EXPECT_EQ(tri_insert_shared_vertex(poly, 3, 2, 1, 7), 1);  // edge 1-2 shared, 7 inserted
  EXPECT_EQ((std::vector<int32_t>(poly, poly + 4)), (std::vector<int32_t>{0, 1, 7, 2}));
  EXPECT_EQ(tri_insert_shared_vertex(poly, 4, 0, 2, 9), 1);  // the closing edge 2-0
  EXPECT_EQ((std::vector<int32_t>(poly, poly + 5)), (std::vector<int32_t>{0, 1, 7, 2, 9}));
  int32_t other[4] = {0, 1, 2};
  EXPECT_EQ(tri_insert_shared_vertex(other, 3, 5, 6, 7), 0);
  EXPECT_EQ(tri_insert_shared_vertex(other, 3, 1, 0, 2), 0);  // third vertex already there
}

}  // namespace
