// The generated building parts as plain data: the gable wall's corners and
// gable points, the exact pillar vertices, the spans of the stairway's
// treads, the boxes of a window frame and where they lie in the opening,
// the ceiling's orientation, and the winding rule over every mesh.

#include "building/solid/archgen_mesh.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "building/unit_tools.h"
#include "mesh_winding.h"
#include "model/geom.h"

namespace {

Point2 Q(double x, double y) { return {x, y, 0}; }

struct Box3 {
  double x0 = 1e300, y0 = 1e300, z0 = 1e300, x1 = -1e300, y1 = -1e300, z1 = -1e300;
  void add(const Point3& p) {
    x0 = std::min(x0, p.x), y0 = std::min(y0, p.y), z0 = std::min(z0, p.z);
    x1 = std::max(x1, p.x), y1 = std::max(y1, p.y), z1 = std::max(z1, p.z);
  }
};
Box3 extent(const SolidMesh& m) {
  Box3 b;
  for (const Point3& p : m.vertices) b.add(p);
  return b;
}
void expect_extent(const Box3& b, Box3 want, double eps = 1e-12) {
  EXPECT_NEAR(b.x0, want.x0, eps);
  EXPECT_NEAR(b.y0, want.y0, eps);
  EXPECT_NEAR(b.z0, want.z0, eps);
  EXPECT_NEAR(b.x1, want.x1, eps);
  EXPECT_NEAR(b.y1, want.y1, eps);
  EXPECT_NEAR(b.z1, want.z1, eps);
}

double plan_area(const std::vector<Point3>& v, int n) {
  double a = 0.0;
  for (int i = 0; i < n; ++i) a += v[i].x * v[(i + 1) % n].y - v[(i + 1) % n].x * v[i].y;
  return a / 2.0;
}

// An opening of a wall whose outer face runs from (x0, y0) in direction
// (dx, dy) (a unit vector) and whose inner face lies 0.3 to its left: from
// a to b along the face, sill 1 and head 2.
WallOpening opening(double x0, double y0, double dx, double dy, double a, double b, double sw, double sd) {
  WallOpening o;
  const double nx = -dy * 0.3, ny = dx * 0.3;
  const Point2 plan[4] = {Q(x0 + a * dx, y0 + a * dy), Q(x0 + b * dx, y0 + b * dy),
                          Q(x0 + b * dx + nx, y0 + b * dy + ny), Q(x0 + a * dx + nx, y0 + a * dy + ny)};
  for (int k = 0; k < 4; ++k) {
    o.corner[k] = {plan[k].x, plan[k].y, 1.0, 0};
    o.corner[k + 4] = {plan[k].x, plan[k].y, 2.0, 0};
  }
  o.stop_width = sw;
  o.stop_depth = sd;
  return o;
}

TEST(ArchgenMesh, GableWallCornersAndGablePoints) {
  struct Case {
    const char* name;
    double x0, y0, x1, y1;
    std::vector<Point2> corners;
    Point2 a, b;
  };
  const std::vector<Case> cases = {
      {"long along x", 0, 0, 6, 4, {Q(0, 0), Q(6, 0), Q(6, 4), Q(0, 4)}, Q(3, 0), Q(3, 4)},
      {"long along x, corners backwards", 6, 4, 0, 0, {Q(0, 0), Q(6, 0), Q(6, 4), Q(0, 4)}, Q(3, 0), Q(3, 4)},
      {"long along y", 0, 0, 4, 6, {Q(4, 0), Q(4, 6), Q(0, 6), Q(0, 0)}, Q(4, 3), Q(0, 3)},
      {"square runs along y", 1, 1, 3, 3, {Q(3, 1), Q(3, 3), Q(1, 3), Q(1, 1)}, Q(3, 2), Q(1, 2)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto g = archgen_gable_wall(c.x0, c.y0, c.x1, c.y1, 0.0, 2.5, 4.0);
    ASSERT_TRUE(g);
    for (int k = 0; k < 4; ++k) {
      SCOPED_TRACE(k);
      for (int level : {0, 4}) {
        EXPECT_DOUBLE_EQ(g->c.c[k + level].x, c.corners[k].x);
        EXPECT_DOUBLE_EQ(g->c.c[k + level].y, c.corners[k].y);
        EXPECT_DOUBLE_EQ(g->c.c[k + level].z, level ? 2.5 : 0.0);
      }
    }
    EXPECT_DOUBLE_EQ(g->a.x, c.a.x);
    EXPECT_DOUBLE_EQ(g->a.y, c.a.y);
    EXPECT_DOUBLE_EQ(g->a.z, 4.0);
    EXPECT_DOUBLE_EQ(g->b.x, c.b.x);
    EXPECT_DOUBLE_EQ(g->b.y, c.b.y);
    EXPECT_DOUBLE_EQ(g->b.z, 4.0);
  }
  EXPECT_FALSE(archgen_gable_wall(0, 1, 5, 1, 0, 2.5, 4));
  EXPECT_FALSE(archgen_gable_wall(2, 0, 2, 5, 0, 2.5, 4));
}

TEST(ArchgenMesh, RoundPillarRunsClockwiseFromPlusXWithExactQuarterPoints) {
  const SolidMesh m = archgen_round_pillar(1, 1, 0.2, 0.5, 3);
  ASSERT_EQ(m.vertex_count(), 24);
  ASSERT_EQ(m.face_count(), 14);
  // The quarter points lie exactly on the axes through the centre.
  const Point3 quarter[4] = {{1.2, 1, 0.5, 0}, {1, 0.8, 0.5, 0}, {0.8, 1, 0.5, 0}, {1, 1.2, 0.5, 0}};
  for (int q = 0; q < 4; ++q) {
    SCOPED_TRACE(q);
    EXPECT_EQ(m.vertices[3 * q].x, quarter[q].x);
    EXPECT_EQ(m.vertices[3 * q].y, quarter[q].y);
    EXPECT_EQ(m.vertices[3 * q].z, 0.5);
    EXPECT_EQ(m.vertices[12 + 3 * q].x, quarter[q].x);
    EXPECT_EQ(m.vertices[12 + 3 * q].y, quarter[q].y);
    EXPECT_EQ(m.vertices[12 + 3 * q].z, 3.0);
  }
  // Vertex 1 is 30 degrees clockwise of vertex 0.
  EXPECT_NEAR(m.vertices[1].x, 1 + 0.2 * std::cos(GEOM_PI / 6), 1e-15);
  EXPECT_NEAR(m.vertices[1].y, 1 - 0.2 * std::sin(GEOM_PI / 6), 1e-15);
  for (const Point3& p : m.vertices) EXPECT_NEAR(geom_dist(p.x, p.y, 1, 1), 0.2, 1e-15);
  const auto f = mesh_faces(m);
  EXPECT_EQ(f[0], (std::vector<int32_t>{0, 1, 13, 12}));
  EXPECT_EQ(f[11], (std::vector<int32_t>{11, 0, 12, 23}));
  EXPECT_EQ(f[12], (std::vector<int32_t>{11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0}));
  EXPECT_EQ(f[13], (std::vector<int32_t>{12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23}));
}

TEST(ArchgenMesh, BoxesOverPlanQuadrilaterals) {
  struct Case {
    const char* name;
    SolidMesh mesh;
    std::vector<Point2> lower;
  };
  const double h = 0.1 / std::sqrt(2.0);
  const std::vector<Case> cases = {
      {"pillar: width along x, thickness along y",
       archgen_pillar(0, 0, 0.3, 0.2, 0, 3),
       {Q(-0.15, -0.1), Q(0.15, -0.1), Q(0.15, 0.1), Q(-0.15, 0.1)}},
      {"beam along x",
       archgen_beam(Q(0, 0), Q(4, 0), 0.2, 0, 3),
       {Q(0, -0.1), Q(4, -0.1), Q(4, 0.1), Q(0, 0.1)}},
      {"beam backwards",
       archgen_beam(Q(4, 1), Q(0, 1), 0.2, 0, 3),
       {Q(4, 1.1), Q(0, 1.1), Q(0, 0.9), Q(4, 0.9)}},
      {"beam slanted",
       archgen_beam(Q(0, 0), Q(2, 2), 0.2, 0, 3),
       {Q(h, -h), Q(2 + h, 2 - h), Q(2 - h, 2 + h), Q(-h, h)}},
      {"box turned a quarter about (1, 1)",
       archgen_rotated_box(GEOM_PI / 2.0, 1, 1, 1, 1, 2, 0.5, 0, 3),
       {Q(1, 1), Q(1, 3), Q(0.5, 3), Q(0.5, 1)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(c.mesh.vertex_count(), 8);
    for (int k = 0; k < 4; ++k) {
      SCOPED_TRACE(k);
      EXPECT_NEAR(c.mesh.vertices[k].x, c.lower[k].x, 1e-12);
      EXPECT_NEAR(c.mesh.vertices[k].y, c.lower[k].y, 1e-12);
      EXPECT_EQ(c.mesh.vertices[k].z, 0.0);
      EXPECT_EQ(c.mesh.vertices[k + 4].x, c.mesh.vertices[k].x);
      EXPECT_EQ(c.mesh.vertices[k + 4].y, c.mesh.vertices[k].y);
      EXPECT_EQ(c.mesh.vertices[k + 4].z, 3.0);
    }
    EXPECT_EQ(mesh_faces(c.mesh), mesh_faces(solid_cuboid(0, 0, 1, 1, 0, 1)));
  }
}

TEST(ArchgenMesh, StairOutlineArrowAtTheEnd) {
  const ArchgenStairOutline o = archgen_stair_outline(Q(0, 0), Q(3, 0), 0.5);
  EXPECT_NEAR(o.a1.x, 2.9, 1e-15);
  EXPECT_NEAR(o.a1.y, 0.1, 1e-15);
  EXPECT_NEAR(o.a2.x, 2.9, 1e-15);
  EXPECT_NEAR(o.a2.y, -0.1, 1e-15);
  EXPECT_NEAR(o.band[0].y, -0.5, 1e-15);
  EXPECT_NEAR(o.band[2].x, 3, 1e-15);
  EXPECT_NEAR(o.band[2].y, 0.5, 1e-15);
}

TEST(ArchgenMesh, StairTreadsRiseAndReachBackByTheNosing) {
  struct Case {
    const char* name;
    Point2 s, e;
    // The tread's extent for step k.
    Box3 (*tread)(int k);
  };
  const std::vector<Case> cases = {
      {"along +x", Q(0, 0), Q(3, 0),
       [](int k) {
         return Box3{0.3 * k - 0.03, -0.5, (k + 1) * 0.175 - 0.2, 0.3 * (k + 1), 0.5, (k + 1) * 0.175};
       }},
      {"along -y", Q(1, 3), Q(1, 0), [](int k) {
         return Box3{0.5, 3 - 0.3 * (k + 1), (k + 1) * 0.175 - 0.2, 1.5, 3 - 0.3 * k + 0.03, (k + 1) * 0.175};
       }}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ArchgenStair st{1.0, 0.2, 0.03, 10, 0.0, 1.75};
    const std::vector<SolidMesh> steps = archgen_stair_steps(c.s, c.e, st);
    ASSERT_EQ(steps.size(), 10u);
    for (int k = 0; k < 10; ++k) {
      SCOPED_TRACE(k);
      expect_extent(extent(steps[k]), c.tread(k));
      // Four lower corners counter-clockwise, the upper ones above.
      EXPECT_GT(plan_area(steps[k].vertices, 4), 0.0);
    }
  }
  // A stairway on a base: the last tread lies at the top.
  const auto raised = archgen_stair_steps(Q(0, 0), Q(3, 0), {1.0, 0.2, 0.0, 4, 1.0, 2.0});
  ASSERT_EQ(raised.size(), 4u);
  EXPECT_NEAR(extent(raised[0]).z1, 1.25, 1e-15);
  EXPECT_NEAR(extent(raised[3]).z1, 2.0, 1e-15);
  // No step, no tread (and no division by the count).
  for (int n : {0, -3})
    EXPECT_TRUE(archgen_stair_steps(Q(0, 0), Q(3, 0), {1.0, 0.2, 0.03, n, 0.0, 1.75}).empty());
}

TEST(ArchgenMesh, WindowFrameBoxCountsAndPanes) {
  struct Case {
    int mullions, transoms;
    int boxes, panes;
  };
  const WallOpening o = opening(0, 0, 1, 0, 1, 2.2, 0.05, 0.1);
  for (const Case& c :
       std::vector<Case>{{0, 0, 5, 1}, {1, 1, 13, 4}, {2, 0, 13, 3}, {0, 3, 11, 4}, {3, 2, 33, 12}}) {
    SCOPED_TRACE(std::to_string(c.mullions) + " mullions, " + std::to_string(c.transoms) + " transoms");
    const auto parts = archgen_window_frame(o, c.mullions, c.transoms, 0.08);
    EXPECT_EQ(static_cast<int>(parts.size()), c.boxes);
    EXPECT_EQ(archgen_frame_box_count(c.mullions, c.transoms), c.boxes);
    EXPECT_EQ(std::count_if(parts.begin(), parts.end(), [](const ArchgenFramePart& p) { return p.glazing; }),
              c.panes);
  }
  EXPECT_EQ(archgen_frame_box_count(2147483647, 0), 1 + 2147483648LL * 4);
  EXPECT_EQ(archgen_frame_box_count(2147483647, 2147483647), INT64_MAX);
}

TEST(ArchgenMesh, WindowFrameFillsTheWidenedOpeningBehindTheStop) {
  // Opening from 1 to 2.2 along the face, stop width 0.05 and depth 0.1,
  // profile 0.08: the frame runs 1.3 along the face from 0.95, 0.08 deep
  // from 0.1 behind the outer face, from the sill 1 to the head 2.
  struct Case {
    const char* name;
    WallOpening o;
    Box3 frame, first_pane;
  };
  const std::vector<Case> cases = {
      {"face along +x",
       opening(0, 0, 1, 0, 1, 2.2, 0.05, 0.1),
       {0.95, 0.1, 1, 2.25, 0.18, 2},
       {1.03, 0.135, 1.08, 1.56, 0.145, 1.46}},
      {"face along +y",
       opening(0, 0, 0, 1, 1, 2.2, 0.05, 0.1),
       {-0.18, 0.95, 1, -0.1, 2.25, 2},
       {-0.145, 1.03, 1.08, -0.135, 1.56, 1.46}},
      {"face along -x",
       opening(5, 0, -1, 0, 1, 2.2, 0.05, 0.1),
       {2.75, -0.18, 1, 4.05, -0.1, 2},
       {3.44, -0.145, 1.08, 3.97, -0.135, 1.46}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto parts = archgen_window_frame(c.o, 1, 1, 0.08);
    ASSERT_EQ(parts.size(), 13u);
    Box3 all;
    for (const ArchgenFramePart& p : parts)
      for (const Point3& v : p.mesh.vertices) all.add(v);
    expect_extent(all, c.frame);
    // The boxes in order: post, then per field rail, post, transom, pane,
    // transom (head rail), pane.
    for (int k : {4, 6, 10, 12}) EXPECT_TRUE(parts[k].glazing) << k;
    expect_extent(extent(parts[4].mesh), c.first_pane);
  }
}

TEST(ArchgenMesh, CeilingIsStoredClockwiseFromAConvexCorner) {
  struct Case {
    const char* name;
    std::vector<Point2> plan;
    std::vector<Point2> stored;
  };
  const std::vector<Case> cases = {
      {"counter-clockwise square",
       {Q(0, 0), Q(4, 0), Q(4, 4), Q(0, 4)},
       {Q(0, 4), Q(4, 4), Q(4, 0), Q(0, 0)}},
      {"clockwise square", {Q(0, 0), Q(0, 4), Q(4, 4), Q(4, 0)}, {Q(0, 0), Q(0, 4), Q(4, 4), Q(4, 0)}},
      {"L from its reflex corner",
       {Q(1, 1), Q(0, 1), Q(0, 0), Q(2, 0), Q(2, 2), Q(1, 2)},
       {Q(1, 2), Q(2, 2), Q(2, 0), Q(0, 0), Q(0, 1), Q(1, 1)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const SolidMesh m = archgen_ceiling(c.plan, 2.75, 2.95);
    const int n = static_cast<int>(c.plan.size());
    ASSERT_EQ(m.vertex_count(), 2 * n);
    EXPECT_EQ(m.face_count(), n + 2);
    for (int k = 0; k < n; ++k) {
      SCOPED_TRACE(k);
      EXPECT_EQ(m.vertices[k].x, c.stored[k].x);
      EXPECT_EQ(m.vertices[k].y, c.stored[k].y);
      EXPECT_EQ(m.vertices[k].z, 2.75);
      EXPECT_EQ(m.vertices[n + k].z, 2.95);
    }
    EXPECT_LT(plan_area(m.vertices, n), 0.0);
  }
  // A polygon with no corner to turn at ends its search for one.
  EXPECT_EQ(archgen_ceiling({Q(0, 0), Q(1, 0), Q(2, 0)}, 0, 1).vertex_count(), 6);
}

TEST(ArchgenMesh, EveryGeneratedSolidIsClosedAndWoundInwards) {
  struct Case {
    std::string name;
    SolidMesh mesh;
    bool convex;
  };
  std::vector<Case> cases = {
      {"round pillar", archgen_round_pillar(1, 1, 0.2, 0, 3), true},
      {"pillar", archgen_pillar(0, 0, 0.3, 0.2, 0, 3), true},
      {"beam slanted", archgen_beam(Q(0, 0), Q(-2, 3), 0.2, 2.5, 2.8), true},
      {"ceiling square", archgen_ceiling({Q(0, 0), Q(4, 0), Q(4, 4), Q(0, 4)}, 2.75, 2.95), true},
      {"ceiling L", archgen_ceiling({Q(1, 1), Q(0, 1), Q(0, 0), Q(2, 0), Q(2, 2), Q(1, 2)}, 0, 0.2), false},
  };
  // Negative sizes: each typed value below 0 mirrors the part or puts its
  // top below its base, and the part is still wound outward.
  const std::vector<Case> negative = {
      {"round pillar of negative height", archgen_round_pillar(1, 1, 0.2, 0, -3), true},
      {"round pillar of negative diameter", archgen_round_pillar(1, 1, -0.2, 0, 3), true},
      {"pillar of negative width", archgen_pillar(0, 0, -0.3, 0.2, 0, 3), true},
      {"pillar of negative thickness and height", archgen_pillar(0, 0, 0.3, -0.2, 0, -3), true},
      {"beam of negative width", archgen_beam(Q(0, 0), Q(-2, 3), -0.2, 2.5, 2.8), true},
      {"beam of negative height", archgen_beam(Q(0, 0), Q(-2, 3), 0.2, 2.8, 2.5), true},
      {"ceiling of negative height", archgen_ceiling({Q(0, 0), Q(4, 0), Q(4, 4), Q(0, 4)}, 2.95, 2.75), true},
      {"ceiling L of negative height",
       archgen_ceiling({Q(1, 1), Q(0, 1), Q(0, 0), Q(2, 0), Q(2, 2), Q(1, 2)}, 0, -0.2), false},
  };
  cases.insert(cases.end(), negative.begin(), negative.end());
  const struct {
    const char* what;
    ArchgenStair stair;
  } stairs[] = {
      {"step ", {1.0, 0.2, 0.03, 7, 0.0, 1.2}},
      {"step going down ", {1.0, 0.2, 0.03, 3, 1.2, 0.0}},
      {"step of negative width ", {-1.0, 0.2, 0.03, 3, 0.0, 1.2}},
      {"step of negative thickness ", {1.0, -0.2, 0.03, 3, 0.0, 1.2}},
  };
  for (const auto& st : stairs) {
    const auto steps = archgen_stair_steps(Q(0, 0), Q(2, 2), st.stair);
    for (std::size_t k = 0; k < steps.size(); ++k)
      cases.push_back({st.what + std::to_string(k), steps[k], true});
  }
  const struct {
    const char* what;
    double profile;
  } frames[] = {{"frame box ", 0.08}, {"frame of negative profile, box ", -0.08}};
  for (const auto& fr : frames) {
    const auto frame = archgen_window_frame(opening(1, 1, 0.6, 0.8, 0.5, 2, 0.05, 0.1), 2, 1, fr.profile);
    for (std::size_t k = 0; k < frame.size(); ++k)
      cases.push_back({fr.what + std::to_string(k), frame[k].mesh, true});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    expect_edges_paired(c.mesh);
    expect_faces_inward(c.mesh, c.convex);
  }
}

}  // namespace
