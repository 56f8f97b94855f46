// Edges that follow a Bezier curve or a circular arc: which curves count,
// the step counts, the direction, and the points the polygon input puts
// along them. Every case runs with the list walked and with the grid of
// element boxes, which must find the same curves.

#include <cmath>

#include "display/snap.h"
#include "model/geom.h"
#include "poly_input_fixture.h"

namespace {

class FollowTest : public PolyInputTest, public ::testing::WithParamInterface<int> {
 protected:
  void SetUp() override {
    PolyInputTest::SetUp();
    snap_index_threshold = GetParam();
  }
  static ElemHeader* arc(double cx, double cy, double r, double start, double sweep, int layer = 0) {
    elem_new_arc(layer, 0, 0, cx, cy, r, r, sweep, start, 0.0);
    return elem_list_tail;
  }
  static ElemHeader* spline(double x0, double y0, double x1, double y1, double x2, double y2, double x3,
                            double y3, int layer = 0) {
    elem_new_spline(layer, 0, 0, x0, y0, x1, y1, x2, y2, x3, y3);
    return elem_list_tail;
  }
};

// 20000: the list is walked; 1: the grid answers.
INSTANTIATE_TEST_SUITE_P(ListAndGrid, FollowTest, ::testing::Values(20000, 1));

constexpr double FIVE_DEGREES = GEOM_PI / 36.0;

TEST_P(FollowTest, AnArcBetweenTheEdgesPointsEitherWayRound) {
  arc(0, 0, 1, 0, HALF_PI);  // (1, 0) to (0, 1)
  struct Case {
    double x1, y1, x2, y2;
    double step;
  } cases[] = {
      {1, 0, 0, 1, HALF_PI / 18},
      {0, 1, 1, 0, -HALF_PI / 18},
      // Ends within 0.001 count.
      {1.0009, 0, 0, 0.9991, HALF_PI / 18},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(input_edge_follows_arc(c.x1, c.y1, c.x2, c.y2), 1);
    EXPECT_EQ(edge_follow_arc.cx, 0.0);
    EXPECT_EQ(edge_follow_arc.cy, 0.0);
    EXPECT_EQ(edge_follow_arc.count, 18);
    EXPECT_DOUBLE_EQ(edge_follow_arc.step, c.step);
  }
  EXPECT_EQ(input_edge_follows_arc(1.0011, 0, 0, 1), 0);
  EXPECT_EQ(input_edge_follows_arc(1, 0, -1, 0), 0);
}

TEST_P(FollowTest, ArcStepsAreFiveDegreesAndAtLeastEight) {
  struct Case {
    double sweep;
    int steps;
  } cases[] = {
      {GEOM_PI, 36}, {HALF_PI, 18}, {HALF_PI + 0.01, 18}, {2.0, 22}, {0.35, 8}, {0.01, 8},
  };
  for (const Case& c : cases) {
    drawing_free();
    drawing_init();
    arc(2, 3, 4, 0.3, c.sweep);
    const double x1 = 2 + 4 * std::cos(0.3), y1 = 3 + 4 * std::sin(0.3);
    const double x2 = 2 + 4 * std::cos(0.3 + c.sweep), y2 = 3 + 4 * std::sin(0.3 + c.sweep);
    ASSERT_EQ(input_edge_follows_arc(x1, y1, x2, y2), 1) << c.sweep;
    EXPECT_EQ(edge_follow_arc.count, c.steps) << c.sweep;
    EXPECT_DOUBLE_EQ(edge_follow_arc.step, c.sweep / c.steps);
  }
}

TEST_P(FollowTest, ARotatedArcIsFollowedFromWhereItIsDrawn) {
  elem_new_arc(0, 0, 0, 0, 0, 2, 2, HALF_PI, 0.0, HALF_PI);  // (0, 2) to (-2, 0)
  EXPECT_EQ(input_edge_follows_arc(0, 2, -2, 0), 1);
  EXPECT_EQ(input_edge_follows_arc(2, 0, 0, 2), 0);
}

TEST_P(FollowTest, AFullCircleFromEachQuadrantPoint) {
  arc(3, 2, 4, 0, GEOM_TWO_PI);
  const Point2 quadrants[] = {{7, 2, 0}, {3, 6, 0}, {-1, 2, 0}, {3, -2, 0}};
  for (const Point2& q : quadrants) {
    ASSERT_EQ(input_edge_follows_arc(q.x, q.y, q.x, q.y), 1) << q.x << " " << q.y;
    EXPECT_EQ(edge_follow_arc.count, 72);
    EXPECT_DOUBLE_EQ(edge_follow_arc.step, GEOM_TWO_PI / 72);
  }
  // Elsewhere on the circle, or two points apart: no full turn.
  EXPECT_EQ(input_edge_follows_arc(3 + 4 * std::cos(1.0), 2 + 4 * std::sin(1.0), 3 + 4 * std::cos(1.0),
                                   2 + 4 * std::sin(1.0)),
            0);
  EXPECT_EQ(input_edge_follows_arc(7, 2, 3, 6), 0);
}

TEST_P(FollowTest, OnlyCircularArcsOnVisibleLayersCount) {
  layers[4].shown = 0;
  layers[5].shown = 1;
  elem_new_arc(0, 0, 0, 0, 0, 1, 1.5, HALF_PI, 0, 0);  // an elliptic arc
  arc(0, 0, 1, 0, HALF_PI, 4);                         // on a hidden layer
  EXPECT_EQ(input_edge_follows_arc(1, 0, 0, 1), 0);
  // Radii differing by less than 0.0001 make a circle.
  elem_new_arc(5, 0, 0, 0, 0, 1, 1.00009, HALF_PI, 0, 0);
  EXPECT_EQ(input_edge_follows_arc(1, 0, 0, 1), 1);
  drawing_free();
  drawing_init();
  layers[5].shown = 1;
  arc(0, 0, 1, 0, HALF_PI, 5);
  EXPECT_EQ(input_edge_follows_arc(1, 0, 0, 1), 1);
}

TEST_P(FollowTest, ABezierCurveBetweenTheEdgesPointsEitherWayRoundTheFirstInTheList) {
  layers[4].shown = 0;
  spline(0, 0, 9, 9, 9, 9, 8, 0, 4);  // hidden
  spline(0, 0, 2, 4, 6, 4, 8, 0);
  spline(0, 0, 2, -4, 6, -4, 8, 0);
  ASSERT_EQ(input_edge_follows_bezier(0, 0, 8, 0), 1);
  const Point2* b = edge_follow_bezier.b;
  expect_point(b[0], 0, 0);
  expect_point(b[1], 2, 4);
  expect_point(b[2], 6, 4);
  expect_point(b[3], 8, 0);
  ASSERT_EQ(input_edge_follows_bezier(8.0007, 0.0007, 0, 0), 1);
  expect_point(b[0], 8, 0);
  expect_point(b[1], 6, 4);
  expect_point(b[2], 2, 4);
  expect_point(b[3], 0, 0);
  EXPECT_EQ(input_edge_follows_bezier(0, 0, 8.0011, 0), 0);
  EXPECT_EQ(input_edge_follows_bezier(0, 0, 2, 4), 0);
}

// The polygon input putting the points along the curves.

Point2 bernstein(const Point2* b, double t) {
  const double s = 1 - t;
  return {s * s * s * b[0].x + 3 * t * s * s * b[1].x + 3 * t * t * s * b[2].x + t * t * t * b[3].x,
          s * s * s * b[0].y + 3 * t * s * s * b[1].y + 3 * t * t * s * b[2].y + t * t * t * b[3].y, 0};
}

TEST_P(FollowTest, AQuarterCircleOfRadiusOneGetsSeventeenPointsAlongIt) {
  arc(0, 0, 1, 0, HALF_PI);
  redraw();
  point(0, 0);
  point(1, 0);
  point(0, 1);
  point(0, 0);
  EXPECT_EQ(run_input(input_polygon), 21);

  const auto& p = poly_input.points;
  ASSERT_EQ(p.size(), 21u);
  expect_point(p[0], 0, 0);
  expect_point(p[1], 1, 0);
  for (int k = 1; k <= 17; ++k)
    expect_point(p[1 + k], std::cos(k * FIVE_DEGREES), std::sin(k * FIVE_DEGREES));
  expect_point(p[19], 0, 1);
  EXPECT_TRUE(is_end_marker(p[20]));
  // A quarter of the unit circle less the chords' segments.
  EXPECT_NEAR(std::fabs(geom_polygon_area(20, p.data())), 9 * std::sin(FIVE_DEGREES), 1e-9);
  EXPECT_EQ(elements().size(), 1u);
  expect_clean_surface();
}

TEST_P(FollowTest, AnArcEnteredFromItsEndIsFollowedBackwards) {
  arc(0, 0, 10, 0, HALF_PI);
  redraw();
  point(0, 0);
  point(0, 10);
  point(10, 0);
  point(0, 0);
  EXPECT_EQ(run_input(input_polygon), 21);
  const auto& p = poly_input.points;
  for (int k = 1; k <= 17; ++k)
    expect_point(p[1 + k], 10 * std::cos((18 - k) * FIVE_DEGREES), 10 * std::sin((18 - k) * FIVE_DEGREES));
  expect_point(p[19], 10, 0);
  expect_clean_surface();
}

TEST_P(FollowTest, ACirclesQuadrantPointTwiceGivesItsOutline) {
  arc(3, 2, 10, 0, GEOM_TWO_PI);
  redraw();
  struct Case {
    double x, y, a0;
  } cases[] = {{13, 2, 0}, {3, 12, HALF_PI}, {-7, 2, GEOM_PI}};
  for (const Case& c : cases) {
    point(c.x, c.y);
    point(c.x, c.y);
    EXPECT_EQ(run_input(input_polygon), 73);
    const auto& p = poly_input.points;
    ASSERT_EQ(p.size(), 73u);
    for (int k = 0; k < 72; ++k)
      expect_point(p[k], 3 + 10 * std::cos(c.a0 + k * FIVE_DEGREES),
                   2 + 10 * std::sin(c.a0 + k * FIVE_DEGREES), 1e-9);
    EXPECT_TRUE(is_end_marker(p[72]));
    EXPECT_EQ(elements().size(), 1u);
    expect_clean_surface();
  }
}

TEST_P(FollowTest, ABezierEdgeGetsItsSeventyTwoSamplesAndTheClickedPointAgain) {
  spline(0, 0, 2, 4, 6, 4, 8, 0);
  redraw();
  struct Case {
    Point2 from, to;
    Point2 b[4];
  } cases[] = {
      {{0, 0, 0}, {8, 0, 0}, {{0, 0, 0}, {2, 4, 0}, {6, 4, 0}, {8, 0, 0}}},
      {{8, 0, 0}, {0, 0, 0}, {{8, 0, 0}, {6, 4, 0}, {2, 4, 0}, {0, 0, 0}}},
  };
  for (const Case& c : cases) {
    point(c.from.x, c.from.y);
    point(c.to.x, c.to.y);
    point(4, -5);
    point(c.from.x, c.from.y);
    EXPECT_EQ(run_input(input_polygon), 76);
    const auto& p = poly_input.points;
    ASSERT_EQ(p.size(), 76u);
    expect_point(p[0], c.from.x, c.from.y);
    for (int k = 1; k <= 72; ++k) {
      const Point2 q = bernstein(c.b, k / 72.0);
      expect_point(p[k], q.x, q.y, 1e-12);
    }
    expect_point(p[73], c.to.x, c.to.y);
    expect_point(p[74], 4, -5);
    EXPECT_TRUE(is_end_marker(p[75]));
    expect_clean_surface();
  }
}

TEST_P(FollowTest, TakingBackAfterFollowingRemovesOnePointAtATime) {
  arc(0, 0, 10, 0, HALF_PI);
  redraw();
  point(0, 0);
  point(10, 0);
  point(0, 10);  // 17 points along the arc, then (0, 10)
  point(0, 10);  // takes (0, 10) back
  point(0, 0);
  EXPECT_EQ(run_input(input_polygon), 20);
  expect_point(poly_input.points[18], 10 * std::cos(17 * FIVE_DEGREES), 10 * std::sin(17 * FIVE_DEGREES));
  expect_clean_surface();
}

// The outline of connected lines.

class TraceTest : public FollowTest {
 protected:
  // Lines through the points in turn, the last back to the first; each
  // odd one drawn the other way round.
  static void ring(const std::vector<Point2>& pts, int layer = 0) {
    for (std::size_t k = 0; k < pts.size(); ++k) {
      const Point2& a = pts[k];
      const Point2& b = pts[(k + 1) % pts.size()];
      if (k % 2)
        line(b.x, b.y, a.x, a.y, layer);
      else
        line(a.x, a.y, b.x, b.y, layer);
    }
  }
  static std::vector<Point2> regular(int n, double r) {
    std::vector<Point2> out;
    for (int k = 0; k < n; ++k)
      out.push_back({r * std::cos(GEOM_TWO_PI * k / n), r * std::sin(GEOM_TWO_PI * k / n), 0});
    return out;
  }
};

INSTANTIATE_TEST_SUITE_P(ListAndGrid, TraceTest, ::testing::Values(20000, 1));

TEST_P(TraceTest, FollowsTheLinesAroundFromTheNearestCrossedOne) {
  // The square's left side is crossed nearest; the far square not at all.
  ring({{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}});
  ring({{20, 20, 0}, {30, 20, 0}, {30, 30, 0}, {20, 30, 0}});
  EXPECT_EQ(input_trace_outline(3, 5), 5);
  const auto& p = poly_input.points;
  ASSERT_EQ(p.size(), 6u);
  EXPECT_EQ(poly_input.count, 6);
  // The left side runs from (0, 0) to (0, 10), being the fourth line.
  expect_point(p[0], 0, 0);
  expect_point(p[1], 0, 10);
  expect_point(p[2], 10, 10);
  expect_point(p[3], 10, 0);
  expect_point(p[4], 0, 0);
  EXPECT_TRUE(is_end_marker(p[5]));
}

TEST_P(TraceTest, OutlinesThatDoNotCloseOrAreTooShortGiveNothing) {
  struct Case {
    const char* name;
    std::vector<std::vector<Point2>> lines;
    double x, y;
  } cases[] = {
      {"open chain", {{{0, 0, 0}, {0, 10, 0}}, {{0, 10, 0}, {10, 10, 0}}, {{10, 10, 0}, {10, 0, 0}}}, 3, 5},
      {"gap wider than 0.0001",
       {{{0, 0, 0}, {0, 10, 0}}, {{0, 10, 0}, {5, 5, 0}}, {{5, 5, 0}, {0.0002, 0, 0}}},
       -3,
       5},
      {"two lines", {{{0, 0, 0}, {0, 10, 0}}, {{0, 10, 0}, {0, 0, 0}}}, -3, 5},
      {"nothing crossed", {{{0, 0, 0}, {0, 10, 0}}, {{0, 10, 0}, {5, 5, 0}}, {{5, 5, 0}, {0, 0, 0}}}, -3, 12},
      {"only horizontal lines", {{{-5, 5, 0}, {5, 5, 0}}}, 0, 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    drawing_free();
    drawing_init();
    for (const auto& l : c.lines) line(l[0].x, l[0].y, l[1].x, l[1].y);
    poly_input.points.assign(3, Point2{});
    EXPECT_EQ(input_trace_outline(c.x, c.y), 0);
    EXPECT_TRUE(poly_input.points.empty());
    EXPECT_EQ(poly_input.count, 0);
  }
}

TEST_P(TraceTest, ATriangleAndAGapWithinTheTolerance) {
  line(0, 0, 0, 10);
  line(0, 10, 5, 5);
  line(5, 5.00005, 0.00005, 0);
  EXPECT_EQ(input_trace_outline(-3, 5), 4);
  expect_point(poly_input.points[2], 5, 5);
  expect_point(poly_input.points[3], 0.00005, 0);
}

TEST_P(TraceTest, LinesOnHiddenLayersAreNotTraced) {
  layers[4].shown = 0;
  layers[5].shown = 1;
  ring({{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}}, 4);
  EXPECT_EQ(input_trace_outline(3, 5), 0);
  ring({{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}}, 5);
  EXPECT_EQ(input_trace_outline(3, 5), 5);
}

TEST_P(TraceTest, AnOutlineOfMoreThan498PointsFails) {
  ring(regular(497, 20));
  EXPECT_EQ(input_trace_outline(0, 0.01), 498);
  EXPECT_EQ(poly_input.points.size(), 499u);
  drawing_free();
  drawing_init();
  ring(regular(498, 20));
  EXPECT_EQ(input_trace_outline(0, 0.01), 0);
  EXPECT_TRUE(poly_input.points.empty());
}

}  // namespace
