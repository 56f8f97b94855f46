// The mesh builders of the 3D element tools: their sizes, the exact
// vertices and faces where the tools' users rely on them, and one winding
// check over every builder (each edge used once in each direction, faces
// clockwise from outside).

#include "building/solid/solid_mesh.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "mesh_winding.h"
#include "model/vec3.h"

namespace {

Point3 P(double x, double y, double z) { return Point3{x, y, z, 0}; }

std::vector<std::vector<int32_t>> faces(const SolidMesh& m) { return mesh_faces(m); }

struct Case {
  std::string name;
  SolidMesh mesh;
  int v, f;
  bool closed;  // a solid: the face normals point inwards
};

std::vector<Case> all_cases() {
  const std::vector<Point3> l_shape = {P(0, 0, 0), P(0, 2, 0), P(1, 2, 0),
                                       P(1, 1, 0), P(2, 1, 0), P(2, 0, 0)};
  std::vector<Point3> l_top = l_shape, l_below = l_shape;
  for (Point3& p : l_top) p.z = 3;
  for (Point3& p : l_below) p.z = -3;
  const std::vector<Point3> l_reversed(l_shape.rbegin(), l_shape.rend());
  const std::vector<Point3> l_reversed_top(l_top.rbegin(), l_top.rend());
  return {
      {"cuboid", solid_cuboid(0, 0, 2, 1, 0, 3), 8, 6, true},
      {"flat polygon", solid_flat_polygon(l_shape), 6, 2, false},
      {"prism", solid_prism(l_shape, l_top), 12, 8, true},
      {"tube along z", solid_frustum(P(0, 0, 0), P(0, 0, 2), 1, 1, 12), 24, 14, true},
      {"cut cone along x", solid_frustum(P(0, 1, 1), P(4, 1, 1), 2, 0.5, 7), 14, 9, true},
      {"cut cone slanted", solid_frustum(P(1, 2, 3), P(-2, 0, 5), 1, 1e-9, 5), 10, 7, true},
      {"cone", solid_frustum(P(0, 0, 0), P(0, 0, 2), 1, 0, 12), 13, 13, true},
      {"cone upside down", solid_frustum(P(0, 0, 2), P(0, 0, 0), 1, 0, 3), 4, 4, true},
      {"sphere", solid_sphere(P(1, 2, 3), 0.5), 266, 288, true},
      {"big sphere", solid_sphere(P(0, 0, 0), 1000), 266, 288, true},
      // Negative and mirrored sizes keep their geometry and are wound
      // outward all the same.
      {"cuboid with its top below its base", solid_cuboid(0, 0, 2, 1, 3, 0), 8, 6, true},
      {"cuboid mirrored in x", solid_cuboid(2, 0, 0, 1, 0, 3), 8, 6, true},
      {"prism with a negative height", solid_prism(l_shape, l_below), 12, 8, true},
      {"prism over a counter-clockwise outline", solid_prism(l_reversed, l_reversed_top), 12, 8, true},
      {"cone of negative radius", solid_frustum(P(0, 0, 0), P(0, 0, 2), -1, 0, 6), 7, 7, true},
      {"cut cone of radii of both signs", solid_frustum(P(0, 0, 0), P(0, 0, 2), 1, -0.5, 6), 12, 8, true},
      {"sphere of negative radius", solid_sphere(P(1, 2, 3), -0.5), 266, 288, true},
  };
}

TEST(SolidMesh, SizesOfEveryBuilder) {
  for (const Case& c : all_cases()) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.mesh.vertex_count(), c.v);
    EXPECT_EQ(c.mesh.face_count(), c.f);
    int32_t sum = 0;
    for (int32_t n : c.mesh.face_sizes) sum += n;
    ASSERT_EQ(static_cast<std::size_t>(sum), c.mesh.indices.size());
    for (int32_t i : c.mesh.indices) {
      EXPECT_GE(i, 0);
      EXPECT_LT(i, c.v);
    }
    for (const Point3& p : c.mesh.vertices) EXPECT_TRUE(std::isfinite(p.x + p.y + p.z));
  }
}

TEST(SolidMesh, EveryEdgeOnceEachWayAndFacesClockwiseFromOutside) {
  for (const Case& c : all_cases()) {
    SCOPED_TRACE(c.name);
    expect_edges_paired(c.mesh);
    // The prisms over the L are the solids that are not convex.
    if (c.closed) expect_faces_inward(c.mesh, c.name.find("prism") == std::string::npos);
  }
}

TEST(SolidMesh, VolumeIsPositiveForSolidsWoundOutward) {
  const std::vector<Point3> l_shape = {P(0, 0, 5), P(0, 2, 5), P(1, 2, 5),
                                       P(1, 1, 5), P(2, 1, 5), P(2, 0, 5)};
  std::vector<Point3> l_top = l_shape;
  for (Point3& p : l_top) p.z = 8;
  SolidMesh inside_out = solid_cuboid(0, 0, 2, 1, 0, 3);
  for (std::size_t k = 0; k < inside_out.indices.size(); k += 4)
    std::reverse(inside_out.indices.begin() + static_cast<std::ptrdiff_t>(k),
                 inside_out.indices.begin() + static_cast<std::ptrdiff_t>(k + 4));
  const struct {
    const char* what;
    SolidMesh mesh;
    double volume;
  } rows[] = {
      {"cuboid", solid_cuboid(0, 0, 2, 1, 0, 3), 6.0},
      {"cuboid far from the origin", solid_cuboid(1e6, 1e6, 1e6 + 2, 1e6 + 1, 100, 103), 6.0},
      {"the same faces reversed", inside_out, -6.0},
      {"prism over an L, faces not convex", solid_prism(l_shape, l_top), 9.0},
      {"flat polygon", solid_flat_polygon(l_shape), 0.0},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    EXPECT_NEAR(solid_volume(r.mesh), r.volume, 1e-6);
  }
  // The inside-out cuboid is turned round; its vertices stay.
  SolidMesh turned = inside_out;
  solid_wind_outward(turned);
  EXPECT_EQ(turned.indices, solid_cuboid(0, 0, 2, 1, 0, 3).indices);
  EXPECT_EQ(turned.vertices.size(), 8u);
  // An index out of range leaves its face out rather than reading past
  // the vertices.
  SolidMesh bad = solid_cuboid(0, 0, 2, 1, 0, 3);
  bad.indices[0] = 99;
  EXPECT_TRUE(std::isfinite(solid_volume(bad)));
}

TEST(SolidMesh, CuboidVerticesAndFaceOrder) {
  const SolidMesh m = solid_cuboid(0, 0, 2, 1, 0, 3);
  const std::vector<Point3> v = {P(0, 0, 0), P(2, 0, 0), P(2, 1, 0), P(0, 1, 0),
                                 P(0, 0, 3), P(2, 0, 3), P(2, 1, 3), P(0, 1, 3)};
  for (int k = 0; k < 8; ++k) EXPECT_TRUE(vec3_equal(m.vertices[k], v[k])) << k;
  EXPECT_EQ(faces(m),
            (std::vector<std::vector<int32_t>>{
                {0, 1, 2, 3}, {4, 7, 6, 5}, {0, 4, 5, 1}, {1, 5, 6, 2}, {2, 6, 7, 3}, {3, 7, 4, 0}}));
}

TEST(SolidMesh, ConeBaseRunsAgainstItsSides) {
  const auto f = faces(solid_frustum(P(0, 0, 0), P(0, 0, 2), 1, 0, 4));
  EXPECT_EQ(f, (std::vector<std::vector<int32_t>>{{0, 1, 4}, {1, 2, 4}, {2, 3, 4}, {3, 0, 4}, {3, 2, 1, 0}}));
}

TEST(SolidMesh, FrustumCirclesLieOnTheirRadiiAroundTheAxis) {
  struct Axis {
    Point3 p1, p2;
  };
  for (const Axis& a :
       {Axis{P(0, 0, 0), P(0, 0, 3)}, Axis{P(0, 5, 5), P(3, 5, 5)}, Axis{P(1, 2, 3), P(4, -1, 0)}}) {
    const SolidMesh m = solid_frustum(a.p1, a.p2, 2, 0.5, 9);
    Point3 axis = vec3_sub(a.p2, a.p1);
    vec3_normalize(&axis);
    for (int k = 0; k < 18; ++k) {
      const Point3 c = k < 9 ? a.p1 : a.p2;
      const Point3 d = vec3_sub(m.vertices[k], c);
      EXPECT_NEAR(vec3_length(d.x, d.y, d.z), k < 9 ? 2 : 0.5, 1e-12) << k;
      EXPECT_NEAR(vec3_dot(d, axis), 0.0, 1e-12) << k;
    }
  }
}

// A radius below 0 gives the same circle: with radii of both signs the top
// point k still stands straight above the base point k, not across the axis.
TEST(SolidMesh, FrustumRadiiOfBothSignsDoNotTwistTheSides) {
  const SolidMesh m = solid_frustum(P(0, 0, 0), P(0, 0, 2), 1, -0.5, 6);
  const SolidMesh plain = solid_frustum(P(0, 0, 0), P(0, 0, 2), 1, 0.5, 6);
  ASSERT_EQ(m.vertex_count(), 12);
  for (int k = 0; k < 12; ++k) EXPECT_TRUE(vec3_equal(m.vertices[k], plain.vertices[k])) << k;
}

TEST(SolidMesh, ZeroAxisGivesCentresNotNaN) {
  const SolidMesh m = solid_frustum(P(1, 1, 1), P(1, 1, 1), 2, 1, 5);
  for (const Point3& p : m.vertices) EXPECT_TRUE(vec3_equal(p, P(1, 1, 1)));
}

TEST(SolidMesh, SpherePolesAndRings) {
  const SolidMesh m = solid_sphere(P(1, 2, 3), 2);
  EXPECT_TRUE(vec3_equal(m.vertices[0], P(1, 2, 1)));
  EXPECT_TRUE(vec3_equal(m.vertices[265], P(1, 2, 5)));
  for (const Point3& p : m.vertices) EXPECT_NEAR(vec3_distance(p, P(1, 2, 3)), 2.0, 1e-12);
  // Ring 6 (vertices 121 .. 144) is the equator, segment 0 along +x.
  EXPECT_NEAR(m.vertices[121].x, 3.0, 1e-12);
  EXPECT_NEAR(m.vertices[121].z, 3.0, 1e-12);
  const auto f = faces(m);
  EXPECT_EQ(f[24], (std::vector<int32_t>{1, 25, 26, 2}));
  EXPECT_EQ(f[47], (std::vector<int32_t>{24, 48, 25, 1}));
  EXPECT_EQ(f[287], (std::vector<int32_t>{241, 264, 265}));
}

// The square in the plane y = 0 with its normal along +y: a point on the
// -y side gives a positive height, one on the +y side a negative one, and
// the top lands in the point's plane either way.
TEST(SolidMesh, PrismHeightToAPointAndItsTop) {
  const std::vector<Point3> square = {P(0, 0, 0), P(0, 0, 1), P(1, 0, 1), P(1, 0, 0)};
  struct Row {
    Point3 point;
    double h;
  };
  for (const Row& r : {Row{P(7, -3, 9), 3}, Row{P(-4, 2, 0.5), -2}, Row{P(0.5, -1e-3, 0.5), 1e-3}}) {
    const double h = solid_prism_height_to(square, r.point);
    EXPECT_NEAR(h, r.h, 1e-12);
    std::vector<Point3> bottom = square;
    const std::vector<Point3> top = solid_prism_top(bottom, h);
    ASSERT_EQ(top.size(), 4u);
    for (const Point3& t : top) EXPECT_NEAR(t.y, r.point.y, 1e-12);
    // A negative height turns the polygon round, so the prism stays closed
    // and wound like every other solid.
    EXPECT_EQ(h < 0, bottom[1].x == 1.0);
  }
}

TEST(SolidMesh, DivisionClamp) {
  for (auto [in, out] :
       std::vector<std::pair<int, int>>{{-5, 3}, {0, 3}, {2, 3}, {3, 3}, {17, 17}, {120, 120}, {500, 120}})
    EXPECT_EQ(solid_clamp_divisions(in), out) << in;
}

TEST(SolidMesh, PlanPolygonClockwiseFromAConvexCorner) {
  struct Row {
    std::vector<Point2> in, out;
  };
  const std::vector<Row> rows = {
      // Counter-clockwise square: reversed.
      {{{0, 0}, {1, 0}, {1, 1}, {0, 1}}, {{0, 1}, {1, 1}, {1, 0}, {0, 0}}},
      // Clockwise L whose first point is the reflex corner (1, 1).
      {{{1, 1}, {1, 2}, {2, 2}, {2, 0}, {0, 0}, {0, 1}}, {{1, 2}, {2, 2}, {2, 0}, {0, 0}, {0, 1}, {1, 1}}},
      // Collinear first point: no left turn, kept.
      {{{1, 0}, {0, 0}, {0, 1}, {2, 1}, {2, 0}}, {{1, 0}, {0, 0}, {0, 1}, {2, 1}, {2, 0}}},
  };
  for (const Row& r : rows) {
    std::vector<Point2> p = r.in;
    solid_orient_plan(p);
    ASSERT_EQ(p.size(), r.out.size());
    for (std::size_t k = 0; k < p.size(); ++k) {
      EXPECT_EQ(p[k].x, r.out[k].x) << k;
      EXPECT_EQ(p[k].y, r.out[k].y) << k;
    }
  }
}

}  // namespace
