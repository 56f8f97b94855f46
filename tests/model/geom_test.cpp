#include "model/geom.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

constexpr double PI = GEOM_PI;
constexpr double NEAR = 1e-9;

Point2 pt(double x, double y) { return Point2{x, y, 0}; }

// Marks the intersection fields so a test can see that a routine left them.
void poison_results() {
  geo_result.ix = geo_result.iy = 42.0;
  geo_result.found = 7;
}

TEST(GeomScalars, AngleDirections) {
  struct Case {
    double x2, y2, expected;
  } cases[] = {
      {0, 0, 0.0}, {1e-6, 1, PI / 2},   {-1, -1, 5 * PI / 4}, {0, -1, 3 * PI / 2}, {1, 0, 0.0},
      {-1, 0, PI}, {1, -1, 7 * PI / 4}, {1, 1, PI / 4},       {-1, 1, 3 * PI / 4}, {1e-6, -3, 3 * PI / 2},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(geom_angle(0, 0, c.x2, c.y2), c.expected, NEAR) << c.x2 << "," << c.y2;
  }
  EXPECT_NEAR(geom_angle(5, 5, 6, 6), PI / 4, NEAR);  // relative to the first point
}

TEST(GeomScalars, NormAngleKeepsTwoPiAndSurvivesHugeValues) {
  struct Case {
    double in, expected;
  } cases[] = {
      {2 * PI, 2 * PI}, {-0.1, 2 * PI - 0.1}, {0.0, 0.0}, {7.0, 7.0 - 2 * PI}, {-13.0, -13.0 + 6 * PI},
  };
  for (const Case& c : cases) {
    double a = c.in;
    EXPECT_EQ(geom_norm_angle(&a), &a);
    EXPECT_NEAR(a, c.expected, NEAR) << c.in;
  }
  // A typed 1e300 must not hang the loops, and nothing non-finite survives.
  for (double huge : {1e300, -1e300, 1e17, std::numeric_limits<double>::infinity(),
                      std::numeric_limits<double>::quiet_NaN()}) {
    double a = huge;
    geom_norm_angle(&a);
    EXPECT_TRUE(std::isfinite(a)) << huge;
    EXPECT_GE(a, 0.0) << huge;
    EXPECT_LE(a, 2 * PI) << huge;
  }
}

TEST(GeomScalars, SmallHelpers) {
  EXPECT_EQ(geom_is_end_marker(999, 999), 1);
  EXPECT_EQ(geom_is_end_marker(999 + 0.9e-6, 999 - 0.9e-6), 1);
  EXPECT_EQ(geom_is_end_marker(999 + 2e-6, 999), 0);
  EXPECT_EQ(geom_is_end_marker(999, 0), 0);
  for (double d : {0.0, 0.5e-6, 2e-6}) {
    EXPECT_EQ(geom_is_end_marker(999 + d, 999), point_is_contour_end(999 + d, 999) ? 1 : 0);
  }
  EXPECT_EQ(geom_is_odd(3), 1);
  EXPECT_EQ(geom_is_odd(-3), 1);
  EXPECT_EQ(geom_is_odd(-4), 0);
  EXPECT_EQ(geom_eq(1.0, 1.0 + 0.5e-9), 1);
  EXPECT_EQ(geom_eq(1.0, 1.0 + 2e-9), 0);
  EXPECT_EQ(geom_eq3(Point3{1, 2, 3, 0}, Point3{1, 2, 3 + 0.5e-9, 1}), 1);  // marks ignored
  EXPECT_EQ(geom_eq3(Point3{1, 2, 3, 0}, Point3{1, 2 + 2e-9, 3, 0}), 0);
  EXPECT_EQ(geom_min(2, 1), 1);
  EXPECT_EQ(geom_max(2, 1), 2);
  double a = 1, b = 2;
  geom_swap_double(&a, &b);
  EXPECT_EQ(a, 2);
  EXPECT_EQ(b, 1);
  int i = 1, j = 2;
  geom_swap_int(&i, &j);
  EXPECT_EQ(i, 2);
  EXPECT_EQ(j, 1);
  EXPECT_DOUBLE_EQ(geom_dist(0, 0, 3, 4), 5.0);
  EXPECT_DOUBLE_EQ(geom_dist3(1, 1, 1, 2, 3, 3), 3.0);
  EXPECT_GT(geom_cross(0, 0, 1, 0, 1, 1), 0.0);  // left turn
  EXPECT_LT(geom_cross(0, 0, 1, 0, 1, -1), 0.0);
  EXPECT_EQ(geom_cross(0, 0, 1, 0, 2, 0), 0.0);
}

TEST(GeomConstructions, RotationIsExactAtQuarterTurns) {
  struct Case {
    double angle, x, y;
  } cases[] = {
      {0.0, 3, 1}, {PI / 2, 1, 3}, {PI, -1, 1}, {3 * PI / 2, 1, -1}, {2 * PI, 3, 1},
  };
  for (const Case& c : cases) {
    geom_rotate_point(1, 1, 3, 1, c.angle);
    EXPECT_EQ(geo_result.rot_x, c.x) << c.angle;
    EXPECT_EQ(geo_result.rot_y, c.y) << c.angle;
  }
  geom_rotate_point(1, 1, 3, 1, PI / 2 + 1e-15);  // trigonometry: close, not exact
  EXPECT_NEAR(geo_result.rot_x, 1.0, 1e-12);
  EXPECT_NE(geo_result.rot_x, 1.0);
  geom_rotate_point(0, 0, 1, 0, PI / 6);
  EXPECT_NEAR(geo_result.rot_x, std::sqrt(3.0) / 2, NEAR);
  EXPECT_NEAR(geo_result.rot_y, 0.5, NEAR);
  const Point2 r = geom_rotated(0, 0, 2, 0, PI / 2);
  EXPECT_EQ(r.x, 0.0);
  EXPECT_EQ(r.y, 2.0);
}

TEST(GeomConstructions, LineIntersections) {
  poison_results();
  EXPECT_EQ(geom_intersect_lines(0, 0, 2, 2, 0, 2, 2, 0), 1);
  EXPECT_EQ(geo_result.found, 1);
  EXPECT_NEAR(geo_result.ix, 1, NEAR);
  EXPECT_NEAR(geo_result.iy, 1, NEAR);

  // Nearly parallel: the unnormalised determinant is below 1e-5.
  poison_results();
  EXPECT_EQ(geom_intersect_lines(0, 0, 1, 0, 0, 0, 1, 0.000001), 0);
  EXPECT_EQ(geo_result.found, 0);
  EXPECT_EQ(geo_result.ix, 42.0);
  EXPECT_EQ(geo_result.iy, 42.0);
  EXPECT_FALSE(geom_line_intersection(0, 0, 1, 0, 5, 1, 6, 1).has_value());
  const auto hit = geom_line_intersection(0, 0, 4, 0, 1, -1, 1, 1);
  ASSERT_TRUE(hit.has_value());
  EXPECT_NEAR(hit->x, 1, NEAR);
  EXPECT_NEAR(hit->y, 0, NEAR);

  geom_hline_x_line(1, 0, 0, 2, 2);
  EXPECT_EQ(geo_result.found, 1);
  EXPECT_NEAR(geo_result.ix, 1, NEAR);
  EXPECT_EQ(geo_result.iy, 1);
  geom_hline_x_line(1, 0, 0, 5, 0.000001);
  EXPECT_EQ(geo_result.found, 0);
  geom_vline_x_line(3, 0, 0, 6, 3);
  EXPECT_EQ(geo_result.found, 1);
  EXPECT_EQ(geo_result.ix, 3);
  EXPECT_NEAR(geo_result.iy, 1.5, NEAR);
  geom_vline_x_line(3, 1, 0, 1, 5);
  EXPECT_EQ(geo_result.found, 0);
}

TEST(GeomConstructions, FootAndMirror) {
  struct Case {
    double px, py, ax, ay, bx, by, fx, fy, mx, my;
  } cases[] = {
      {2, 0, 0, 0, 2, 2, 1, 1, 0, 2},              // general
      {5, 1, 2, 0, 2, 7, 2, 1, -1, 1},             // vertical
      {5, 1, 0, 3, 9, 3, 5, 3, 5, 5},              // horizontal
      {1, 0, 0, 0, 0.001, 0.001, 0.5, 0.5, 0, 1},  // short line: too short for the determinant
  };
  for (const Case& c : cases) {
    geom_foot_point(c.px, c.py, c.ax, c.ay, c.bx, c.by);
    EXPECT_NEAR(geo_result.foot_x, c.fx, 1e-9) << c.px << "," << c.py;
    EXPECT_NEAR(geo_result.foot_y, c.fy, 1e-9);
    const Point2 m = geom_mirrored(c.px, c.py, c.ax, c.ay, c.bx, c.by);
    EXPECT_NEAR(m.x, c.mx, 1e-9);
    EXPECT_NEAR(m.y, c.my, 1e-9);
  }
  geom_foot_point(4, 4, 1, 2, 1, 2);  // no line at all: the foot is A
  EXPECT_EQ(geo_result.foot_x, 1);
  EXPECT_EQ(geo_result.foot_y, 2);
}

TEST(GeomConstructions, ProjectionOnSegmentCasesInOrder) {
  struct Case {
    const char* what;
    double px, py, ax, ay, bx, by, x, y, t;
  } cases[] = {
      {"on A", 1, 1, 1, 1, 4, 5, 1, 1, 0.0},
      {"on B", 4, 5, 1, 1, 4, 5, 4, 5, 1.0},
      {"ends coincide", 3, 3, 1, 1, 1, 1, 1, 1, 0.5},
      {"ends coincide, P on them", 1, 1, 1, 1, 1, 1, 1, 1, 0.0},
      {"vertical", 5, 1, 0, 0, 0, 2, 0, 1, 0.5},
      {"vertical beyond", 5, -2, 0, 0, 0, 2, 0, -2, -1.0},
      {"general", 2, 0, 0, 0, 2, 2, 1, 1, 0.5},
      {"general steep", 0, 4, 0, 0, 1, 3, 1.2, 3.6, 1.2},
      {"horizontal beyond B", 6, 1, 0, 0, 4, 0, 6, 0, 1.5},
      {"short diagonal", 1, 0, 0, 0, 0.001, 0.001, 0.5, 0.5, 500.0},
  };
  for (const Case& c : cases) {
    const GeomProjection p = geom_projection(c.px, c.py, c.ax, c.ay, c.bx, c.by);
    EXPECT_NEAR(p.x, c.x, 1e-9) << c.what;
    EXPECT_NEAR(p.y, c.y, 1e-9) << c.what;
    EXPECT_NEAR(p.t, c.t, 1e-9) << c.what;
    EXPECT_EQ(geo_result.proj_t, p.t) << c.what;
  }
  EXPECT_DOUBLE_EQ(geom_dist_to_line(0, 1, -1, 0, 1, 0), 1.0);
  EXPECT_DOUBLE_EQ(geo_result.line_t, 0.5);
  EXPECT_NEAR(geom_dist_to_line(0, 2, 0, 0, 2, 2), std::sqrt(2.0), NEAR);
}

// Every cut of two circles lies on both, and the two cuts are the two
// different points unless the circles touch.
TEST(GeomCircles, CircleCircleCutsLieOnBothCircles) {
  struct Case {
    double x1, y1, r1, x2, y2, r2;
  } cases[] = {
      {0, 0, 2, 1, 1, 2},
      {0, 0, 2, -1, -1, 2},
      {0, 0, 2, 1, -1, 2},
      {0, 0, 2, -1, 1, 2},
      {0, 0, 1, 1, 0, 1},
      {0, 0, 1, 0, 1, 1},
      {5, 3, 1.5, 6.2, 4.1, 0.9},
      {0.1, 0.3, 0.7, 0.9, 0.3, 0.5},  // centres level: no swap, no lost cut
      {0.3, 0.1, 0.7, 0.3, 0.9, 0.5},  // centres above each other
  };
  for (const Case& c : cases) {
    const auto cuts = geom_circle_cuts(c.x1, c.y1, c.r1, c.x2, c.y2, c.r2);
    ASSERT_TRUE(cuts.has_value()) << c.x2 << "," << c.y2;
    for (const Point2& p : {cuts->first, cuts->second}) {
      EXPECT_NEAR(geom_dist(c.x1, c.y1, p.x, p.y), c.r1, 1e-9) << c.x2 << "," << c.y2;
      EXPECT_NEAR(geom_dist(c.x2, c.y2, p.x, p.y), c.r2, 1e-9) << c.x2 << "," << c.y2;
    }
    EXPECT_GT(geom_dist(cuts->first.x, cuts->first.y, cuts->second.x, cuts->second.y), 1e-6);
  }
}

TEST(GeomCircles, CircleCircleDegenerateCases) {
  geom_circle_circle(0, 0, 1, 2, 0, 1);  // touching: two equal points
  EXPECT_EQ(geo_result.found, 1);
  EXPECT_NEAR(geo_result.cut1_x, 1, NEAR);
  EXPECT_NEAR(geo_result.cut1_y, 0, NEAR);
  EXPECT_NEAR(geo_result.cut2_x, 1, NEAR);
  EXPECT_NEAR(geo_result.cut2_y, 0, NEAR);
  geom_circle_circle(0, 0, 3, 0, 0, 1);  // concentric
  EXPECT_EQ(geo_result.found, 0);
  geom_circle_circle(0, 0, 3, 0.5, 0, 1);  // one inside the other
  EXPECT_EQ(geo_result.found, 0);
  geom_circle_circle(0, 0, 1, 3, 0, 1);  // apart
  EXPECT_EQ(geo_result.found, 0);
  geom_circle_circle(0, 0, 0, 1, 0, 1);  // radius 0 on the other circle
  EXPECT_EQ(geo_result.found, 1);
  EXPECT_NEAR(geo_result.cut1_x, 0, NEAR);
  EXPECT_NEAR(geo_result.cut2_y, 0, NEAR);
}

TEST(GeomCircles, LineCircle) {
  geom_line_circle(0, 0, 2, 2, -5, 2, 5);  // vertical tangent
  EXPECT_EQ(geo_result.found, 1);
  EXPECT_EQ(geo_result.cut1_x, 2);
  EXPECT_EQ(geo_result.cut1_y, 0);
  EXPECT_EQ(geo_result.cut2_x, 2);
  EXPECT_EQ(geo_result.cut2_y, 0);
  geom_line_circle(1, 1, 2, 1.5, 0, 1.5, 9);  // vertical secant
  EXPECT_EQ(geo_result.found, 1);
  EXPECT_NEAR(geo_result.cut1_y, 1 + std::sqrt(3.75), NEAR);
  EXPECT_NEAR(geo_result.cut2_y, 1 - std::sqrt(3.75), NEAR);
  geom_line_circle(0, 0, 2, 3, -5, 3, 5);  // vertical, outside
  EXPECT_EQ(geo_result.found, 0);
  geom_line_circle(10, 0, 2, -5, 0, 5, 0);  // through the centre
  EXPECT_EQ(geo_result.found, 1);
  EXPECT_NEAR(geo_result.cut1_x, 12, NEAR);
  EXPECT_NEAR(geo_result.cut2_x, 8, NEAR);
  geom_line_circle(0, 0, 1, 0, 5, 1, 5);  // misses
  EXPECT_EQ(geo_result.found, 0);
  const auto slanted = geom_line_circle_cuts(1, 2, 3, -4, -1, 5, 3);
  ASSERT_TRUE(slanted.has_value());
  for (const Point2& p : {slanted->first, slanted->second}) {
    EXPECT_NEAR(geom_dist(1, 2, p.x, p.y), 3, NEAR);
    EXPECT_NEAR(geom_cross(-4, -1, 5, 3, p.x, p.y), 0, 1e-9);
  }
  geom_line_circle(0, 0, 0, -1, -1, 1, 1);  // radius 0: the centre, defined
  EXPECT_EQ(geo_result.found, 1);
  EXPECT_NEAR(geo_result.cut1_x, 0, NEAR);
}

TEST(GeomCircles, LineEllipse) {
  auto on_ellipse = [](const Point2& p, double cx, double cy, double rx, double ry, double rot) {
    const double c = std::cos(rot), s = std::sin(rot);
    const double u = (p.x - cx) * c + (p.y - cy) * s;
    const double v = (p.y - cy) * c - (p.x - cx) * s;
    return u * u / (rx * rx) + v * v / (ry * ry);
  };
  struct Case {
    double cx, cy, rx, ry, rot, x1, y1, x2, y2;
  } cases[] = {
      {0, 0, 2, 1, 0, -5, 0, 5, 0},      {0, 0, 2, 1, 0, 0, -5, 0, 5},     {0, 0, 2, 1, PI / 2, -5, 0, 5, 0},
      {3, -1, 4, 1.5, 0.7, 0, 0, 5, -2}, {1, 1, 1, 3, -0.3, -2, 3, 4, -1},
  };
  for (const Case& c : cases) {
    const auto cuts = geom_line_ellipse_cuts(c.cx, c.cy, c.rx, c.ry, c.rot, c.x1, c.y1, c.x2, c.y2);
    ASSERT_TRUE(cuts.has_value()) << c.rot;
    for (const Point2& p : {cuts->first, cuts->second}) {
      EXPECT_NEAR(on_ellipse(p, c.cx, c.cy, c.rx, c.ry, c.rot), 1.0, 1e-9);
      EXPECT_NEAR(geom_cross(c.x1, c.y1, c.x2, c.y2, p.x, p.y), 0, 1e-9);
    }
  }
  geom_line_ellipse(0, 0, 2, 1, 0, -5, 0, 5, 0);
  EXPECT_NEAR(std::fabs(geo_result.cut1_x), 2, NEAR);
  // A flat ellipse finds nothing and leaves no NaN behind.
  for (double ry : {0.0, 1e-12}) {
    geom_line_ellipse(0, 0, 2, ry, 0, -5, 0, 5, 0);
    EXPECT_EQ(geo_result.found, 0);
  }
  geom_line_ellipse(0, 0, 0, 2, 0, 0, -5, 0, 5);
  EXPECT_EQ(geo_result.found, 0);
}

TEST(GeomCircles, EllipseArcTest) {
  struct Case {
    double px, py, rx, ry, sweep, start, rotation, angle, inside;
  } cases[] = {
      {1, 1, 1, 1, PI / 2, 0, 0, PI / 4, 1},      {-1, 0, 1, 1, PI / 2, 0, 0, PI, 0},
      {1, 0, 1, 1, PI, 3 * PI / 2, 0, PI / 2, 1},  // sweep across the start of the circle
      {0, 1, 2, 1, PI / 2, 0, 0, PI / 2, 1},       // parametric angle of the ellipse
      {2, 1, 2, 1, PI / 2, 0, 0, PI / 4, 1},       // (2, 1) has eccentric angle 45 degrees
      {0, 1, 1, 1, PI / 4, 0, PI / 2, 0, 1},       // rotated frame
      {0, 0, 1, 1, 2 * PI, 0, 0, 0, 1},            // centre: angle 0
  };
  for (const Case& c : cases) {
    geom_ellipse_arc_test(c.px, c.py, 0, 0, c.rx, c.ry, c.sweep, c.start, c.rotation);
    EXPECT_NEAR(geo_result.arc_angle, c.angle, NEAR) << c.px << "," << c.py;
    EXPECT_EQ(geo_result.arc_inside, c.inside) << c.px << "," << c.py;
  }
  geom_ellipse_arc_test(1, 1, 0, 0, 2, 0, PI, 0, 0);  // flat ellipse
  EXPECT_EQ(geo_result.arc_inside, 0.0);
  EXPECT_TRUE(std::isfinite(geo_result.arc_angle));
  geom_ellipse_arc_test(1, 1, 0, 0, 1, 1, PI, 1e300, 0);  // absurd start angle: still defined
  EXPECT_TRUE(std::isfinite(geo_result.arc_angle));
}

TEST(GeomPolygons, RayCrossesOnlySegmentInteriors) {
  EXPECT_EQ(geom_ray_crosses(0, 0, 1, -1, 1, 1), 1);
  EXPECT_EQ(geom_ray_crosses(2, 0, 1, -1, 1, 1), 0);  // segment left of P
  EXPECT_EQ(geom_ray_crosses(0, 1, 1, -1, 1, 1), 0);  // through the end
  EXPECT_EQ(geom_ray_crosses(0, -1, 1, -1, 1, 1), 0);
  EXPECT_EQ(geom_ray_crosses(0, 0, 1, 0, 5, 0), 0);  // horizontal
  EXPECT_EQ(geom_ray_crosses(0, 0.5, 1, 0, 3, 1), 1);
}

TEST(GeomPolygons, PointInContoursWithHoleAndVertexRays) {
  const std::vector<Point2> square_with_hole = {
      pt(0, 0), pt(4, 0), pt(4, 4), pt(0, 4), CONTOUR_END,
      pt(1, 1), pt(1, 3), pt(3, 3), pt(3, 1), CONTOUR_END,
  };
  const int n = static_cast<int>(square_with_hole.size());
  struct Case {
    double x, y;
    int inside;
  } cases[] = {
      {2, 2, 0},   {0.5, 2, 1}, {3.5, 2, 1},
      {5, 2, 0},   {-1, 2, 0},  {0.5, 1, 1},  // the ray passes through two hole corners
      {-1, 1, 0},                             // ... and through them from outside
      {2, 0.5, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(geom_point_in_contours(c.x, c.y, n, square_with_hole.data()), c.inside) << c.x << "," << c.y;
  }
  // A diamond: the ray from its centre runs through the vertex (1, 0).
  const std::vector<Point2> diamond = {pt(0, -1), pt(1, 0), pt(0, 1), pt(-1, 0), CONTOUR_END};
  EXPECT_EQ(geom_point_in_contours(0, 0, 5, diamond.data()), 1);
  EXPECT_EQ(geom_point_in_contours(-2, 0, 5, diamond.data()), 0);
  EXPECT_EQ(geom_point_in_contours(2, 0, 5, diamond.data()), 0);
  EXPECT_EQ(geom_point_in_polygon(0, 0, 4, diamond.data()), 1);
  EXPECT_EQ(geom_point_in_polygon(-2, 0, 4, diamond.data()), 0);
  EXPECT_EQ(geom_point_in_polygon(0.5, 0.2, 4, diamond.data()), 1);
  EXPECT_EQ(geom_point_in_polygon(0.9, 0.9, 4, diamond.data()), 0);
}

TEST(GeomPolygons, ContourListWithoutFinalMarkerIsClosedAtTheEnd) {
  // Sized exactly, so reading past the end would be caught by the sanitizer.
  auto open_end = std::make_unique<Point2[]>(4);
  open_end[0] = pt(0, 0);
  open_end[1] = pt(2, 0);
  open_end[2] = pt(2, 2);
  open_end[3] = pt(0, 2);
  EXPECT_EQ(geom_point_in_contours(1, 1, 4, open_end.get()), 1);
  EXPECT_EQ(geom_point_in_contours(3, 1, 4, open_end.get()), 0);
  EXPECT_EQ(geom_point_in_contours(1, 1, 0, open_end.get()), 0);
}

TEST(GeomPolygons, SegmentsOverlap) {
  struct Case {
    double x1, y1, x2, y2, x3, y3, x4, y4;
    int expected;
  } cases[] = {
      {0, 0, 1, 0, 1, 0, 2, 0, 0},          // touch at an end
      {0, 0, 1, 0, 0.5, 0.0005, 2, 0, 1},   // within the collinearity limit
      {0, 0, 1, 0, 0.5, 0.01, 2, 0.01, 0},  // parallel, apart
      {0, 0, 1, 0, 2, 0, 0.5, 0, 1},        // reversed
      {0, 0, 0, 3, 0, 1, 0, 5, 1},          // vertical, y axis
      {0, 0, 0, 3, 0, 4, 0, 5, 0},
      {0, 0, 0.00005, 0.00005, 0, 0, 1, 1, 0},  // first segment too short
      {0, 0, 2, 2, 1, 1, 3, 3, 1},
      {0, 0, 2, 2, 1, 1, 1.00005, 1.00005, 0},  // second too short
  };
  for (const Case& c : cases) {
    EXPECT_EQ(geom_segments_overlap(c.x1, c.y1, c.x2, c.y2, c.x3, c.y3, c.x4, c.y4), c.expected)
        << c.x3 << "," << c.y3 << " " << c.x4 << "," << c.y4;
  }
}

TEST(GeomPolygons, Areas) {
  const std::vector<Point2> ccw = {pt(0, 0), pt(1, 0), pt(1, 1), pt(0, 1)};
  EXPECT_DOUBLE_EQ(geom_polygon_area(4, ccw.data()), 1.0);
  const std::vector<Point2> cw = {pt(0, 0), pt(0, 1), pt(1, 1), pt(1, 0)};
  EXPECT_DOUBLE_EQ(geom_polygon_area(4, cw.data()), -1.0);
  EXPECT_EQ(geom_polygon_area(2, ccw.data()), 0.0);
  const std::vector<Point2> with_hole = {
      pt(0, 0),       pt(1, 0),       pt(1, 1),    pt(0, 1), CONTOUR_END, pt(0.25, 0.25), pt(0.25, 0.75),
      pt(0.75, 0.75), pt(0.75, 0.25), CONTOUR_END, pt(5, 5), pt(9, 5),  // after the last marker: ignored
  };
  EXPECT_DOUBLE_EQ(geom_contours_area(static_cast<int>(with_hole.size()), with_hole.data()), 0.75);
  EXPECT_EQ(geom_point_in_contours(0.5, 0.5, 10, with_hole.data()), 0);
}

TEST(GeomPolygons, ReverseKeepsTheMarkerAtTheEnd) {
  std::vector<Point2> list = {pt(1, 1), pt(2, 2), pt(3, 3), CONTOUR_END};
  geom_reverse_polygon(4, list.data());
  EXPECT_EQ(list[0].x, 3);
  EXPECT_EQ(list[1].x, 2);
  EXPECT_EQ(list[2].x, 1);
  EXPECT_EQ(geom_is_end_marker(list[3].x, list[3].y), 1);

  std::vector<Point2> plain = {pt(1, 1), pt(2, 2), pt(3, 3)};
  plain[0].mark = 1;
  geom_reverse_polygon(3, plain.data());
  EXPECT_EQ(plain[0].x, 3);
  EXPECT_EQ(plain[2].y, 1);
  EXPECT_EQ(plain[0].mark, 1);  // marks stay where they were

  std::vector<Point3> list3 = {{1, 1, 1, 0}, {2, 2, 2, 0}, {999, 999, 999, 0}};
  geom_reverse_polygon3(3, list3.data());
  EXPECT_EQ(list3[0].z, 2);
  EXPECT_EQ(list3[1].z, 1);
  EXPECT_EQ(list3[2].x, 999);
  EXPECT_EQ(list3[2].z, 999);
}

}  // namespace
