// The arithmetic of the curve tools, without any input: centres through
// three points, arcs and their complements, concentric copies, and the
// refusal of curves without size.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "model/geom.h"
#include "tools/curve_tools.h"

namespace {

constexpr double PI = GEOM_PI;

void expect_shape(const CurveShape& c, double cx, double cy, double rx, double ry, double sweep,
                  double start) {
  EXPECT_NEAR(c.cx, cx, 1e-9);
  EXPECT_NEAR(c.cy, cy, 1e-9);
  EXPECT_NEAR(c.rx, rx, 1e-9);
  EXPECT_NEAR(c.ry, ry, 1e-9);
  EXPECT_NEAR(c.sweep, sweep, 1e-9);
  EXPECT_NEAR(c.start, start, 1e-9);
}

TEST(CurveThrough, CentreOfThreePointsOrNoneForPointsTooCloseOrOnALine) {
  const auto c = curve_circle_through({0, 1, 0}, {1, 0, 0}, {0, -1, 0});
  ASSERT_TRUE(c);
  expect_shape(*c, 0, 0, 1, 1, 2 * PI, 0);

  const Point2 none[][3] = {
      {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}},        // one line
      {{0, 0, 0}, {0.00005, 0, 0}, {0, 1, 0}},  // the first two within 1e-4
      {{0, 0, 0}, {1, 1, 0}, {1.00009, 1, 0}},  // the last two
      {{0, 0, 0}, {1, 1, 0}, {0, 0.0001, 0}},   // the third on the first
  };
  for (const auto& p : none) {
    EXPECT_FALSE(curve_centre_through(p[0], p[1], p[2]));
    EXPECT_FALSE(curve_arc_through(p[0], p[1], p[2]));
  }
}

TEST(CurveThrough, ArcRunsThroughTheMiddlePointEitherWay) {
  // Counter-clockwise from the first point through the second.
  auto a = curve_arc_through({1, 0, 0}, {0, 1, 0}, {-1, 0, 0});
  ASSERT_TRUE(a);
  expect_shape(*a, 0, 0, 1, 1, PI, 0);
  // Clockwise: stored counter-clockwise from the third point, start negative.
  a = curve_arc_through({1, 0, 0}, {0, -1, 0}, {-1, 0, 0});
  ASSERT_TRUE(a);
  expect_shape(*a, 0, 0, 1, 1, PI, -PI);
  // Three quarters the short way round when the middle point says so.
  a = curve_arc_through({0, 1, 0}, {-1, 0, 0}, {1, 0, 0});
  ASSERT_TRUE(a);
  expect_shape(*a, 0, 0, 1, 1, 3 * PI / 2, PI / 2);
}

TEST(CurveArc, ByCentreAndTheSideOfTheDirectionPoint) {
  const CurveShape q = curve_arc_by_centre({0, 0, 0}, {0, 2, 0}, {5, 0, 0});  // from 90 degrees to 0
  expect_shape(q, 0, 0, 2, 2, 3 * PI / 2, PI / 2);
  expect_shape(curve_arc_towards(q, -1, 0), 0, 0, 2, 2, 3 * PI / 2, PI / 2);
  // The complement starts at the end: it may lie beyond 2 pi.
  expect_shape(curve_arc_towards(q, 1, 1), 0, 0, 2, 2, PI / 2, 2 * PI);
}

TEST(CurveCopies, OffsetByTheXRadiusAndThroughAPointWithTheAxisRatio) {
  const CurveShape e{0, 0, 2, 1, 2 * PI, 0, 0};
  expect_shape(*curve_offset(e, 0.5, 3, 0), 0, 0, 2.5, 1.5, 2 * PI, 0);
  // Inside by the x radius, though outside the y radius.
  expect_shape(*curve_offset(e, 0.5, 0, 1.5), 0, 0, 1.5, 0.5, 2 * PI, 0);
  EXPECT_FALSE(curve_offset(e, 1.0, 0.1, 0));  // no height left
  EXPECT_FALSE(curve_offset(e, -2.5, 5, 0));   // a negative distance outside shrinks
  expect_shape(*curve_through(e, 0, 4), 0, 0, 4, 2, 2 * PI, 0);
  EXPECT_FALSE(curve_through(e, 0, 0));                           // through the centre
  EXPECT_FALSE(curve_through({0, 0, 0, 1, 2 * PI, 0, 0}, 3, 0));  // no axis ratio
}

TEST(CurveSize, RadiiAboveTheLimitAndFiniteNumbers) {
  const double inf = std::numeric_limits<double>::infinity(), nan = std::nan("");
  EXPECT_TRUE(curve_has_size({0, 0, 1e-5, 1e-5, 2 * PI, 0, 0}));
  EXPECT_FALSE(curve_has_size({0, 0, 1e-6, 1, 2 * PI, 0, 0}));
  EXPECT_FALSE(curve_has_size({0, 0, 1, 0, 2 * PI, 0, 0}));
  EXPECT_FALSE(curve_has_size({0, 0, inf, inf, 2 * PI, 0, 0}));
  EXPECT_FALSE(curve_has_size({0, 0, nan, 1, 2 * PI, 0, 0}));
  expect_shape(curve_ellipse_in_frame(4, 0, 0, 2), 2, 1, 2, 1, 2 * PI, 0);
  expect_shape(curve_ellipse_by_corner(1, 1, -3, 3), 1, 1, 4, 2, 2 * PI, 0);
}

}  // namespace
