// The geometry under the join, cut, erase, extend and attach tools: the
// corner, chamfer and fillet of two lines, the cut search, the erasing of
// angle intervals of curves, and the interval rules of the piece deletion
// and the extension.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "../display/input_fixture.h"
#include "model/geom.h"
#include "tools/trim_tools.h"

namespace {

constexpr double PI = GEOM_PI;

LineSegment seg(double x1, double y1, double x2, double y2) { return {{x1, y1, 0}, {x2, y2, 0}}; }
Point2 pt(double x, double y) { return {x, y, 0}; }

void expect_seg(const LineSegment& s, double x1, double y1, double x2, double y2, double eps = 1e-9) {
  EXPECT_NEAR(s.p1.x, x1, eps);
  EXPECT_NEAR(s.p1.y, y1, eps);
  EXPECT_NEAR(s.p2.x, x2, eps);
  EXPECT_NEAR(s.p2.y, y2, eps);
}

TEST(LineJoinGeometry, CornersExtendOrTrimToThePickedSideAndStartAtTheCorner) {
  struct Case {
    const char* what;
    LineSegment a;
    Point2 k1;
    LineSegment b;
    Point2 k2;
    LineSegment ea, eb;
  } cases[] = {
      {"apart", seg(0, 0, 2, 0), pt(1, 0), seg(3, 1, 3, 3), pt(3, 2), seg(3, 0, 0, 0), seg(3, 0, 3, 3)},
      {"crossing, picks left and up", seg(0, 0, 10, 0), pt(2, 0), seg(5, -5, 5, 5), pt(5, 3), seg(5, 0, 0, 0),
       seg(5, 0, 5, 5)},
      {"crossing, picks right and down", seg(0, 0, 10, 0), pt(8, 0), seg(5, -5, 5, 5), pt(5, -3),
       seg(5, 0, 10, 0), seg(5, 0, 5, -5)},
      {"one already ends at the corner", seg(0, 0, 4, 0), pt(1, 0), seg(6, 3, 4, 0), pt(5, 1.5),
       seg(4, 0, 0, 0), seg(4, 0, 6, 3)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto j = line_join_geometry(0, 0, c.a, c.k1, c.b, c.k2);
    ASSERT_TRUE(j);
    expect_seg(j->first, c.ea.p1.x, c.ea.p1.y, c.ea.p2.x, c.ea.p2.y);
    expect_seg(j->second, c.eb.p1.x, c.eb.p1.y, c.eb.p2.x, c.eb.p2.y);
    EXPECT_FALSE(j->chamfer || j->fillet);
  }
}

TEST(LineJoinGeometry, ParallelOrFarLinesGiveNothing) {
  EXPECT_FALSE(line_join_geometry(0, 0, seg(0, 0, 5, 0), pt(1, 0), seg(0, 1, 5, 1), pt(1, 1)));
  // Nearly parallel: the corner lies more than 10000 away.
  EXPECT_FALSE(line_join_geometry(0, 0, seg(0, 0, 5, 0), pt(1, 0), seg(0, 1, 5, 1.0004), pt(1, 1)));
}

TEST(LineJoinGeometry, ChamferAndFilletOnPerpendicularLines) {
  const auto ch = line_join_geometry(1, 1, seg(0, 0, 5, 0), pt(2, 0), seg(0, 0, 0, 5), pt(0, 2));
  ASSERT_TRUE(ch && ch->applied && ch->chamfer);
  const double d = 1 / (2 * std::sin(PI / 4));
  expect_seg(*ch->chamfer, d, 0, 0, d, 1e-6);
  expect_seg(ch->first, d, 0, 5, 0, 1e-9);
  expect_seg(ch->second, 0, d, 0, 5, 1e-9);

  const auto fi = line_join_geometry(2, 1, seg(0, 0, 5, 0), pt(2, 0), seg(0, 0, 0, 5), pt(0, 2));
  ASSERT_TRUE(fi && fi->applied && fi->fillet);
  expect_seg(fi->first, 1, 0, 5, 0);
  expect_seg(fi->second, 0, 1, 0, 5);
  EXPECT_NEAR(fi->fillet->cx, 1, 1e-9);
  EXPECT_NEAR(fi->fillet->cy, 1, 1e-9);
  EXPECT_EQ(fi->fillet->rx, 1);
  EXPECT_NEAR(fi->fillet->start, PI, 1e-9);
  EXPECT_NEAR(fi->fillet->sweep, PI / 2, 1e-9);
}

TEST(LineJoinGeometry, FilletArcsTurnCounterClockwiseLessThanHalfATurnInEveryQuadrant) {
  // The corner at the origin, the kept parts along the given directions.
  const double dirs[][2] = {{0, PI / 2},     {PI / 2, PI}, {PI, 3 * PI / 2},
                            {3 * PI / 2, 0}, {0.3, 2.0},   {5.9, 1.0}};
  for (const auto& d : dirs) {
    SCOPED_TRACE(d[0]);
    const LineSegment a = seg(0, 0, 8 * std::cos(d[0]), 8 * std::sin(d[0]));
    const LineSegment b = seg(0, 0, 8 * std::cos(d[1]), 8 * std::sin(d[1]));
    const auto j = line_join_geometry(2, 1, a, a.p2, b, b.p2);
    ASSERT_TRUE(j && j->fillet);
    const CurveShape& c = *j->fillet;
    EXPECT_GT(c.sweep, 0);
    EXPECT_LT(c.sweep, PI);
    // Both ends of the arc are the new starts of the lines, the tangent points.
    const Point2 s{c.cx + std::cos(c.start), c.cy + std::sin(c.start), 0};
    const Point2 e{c.cx + std::cos(c.start + c.sweep), c.cy + std::sin(c.start + c.sweep), 0};
    const double d1 = std::min(geom_dist(s.x, s.y, j->first.p1.x, j->first.p1.y),
                               geom_dist(e.x, e.y, j->first.p1.x, j->first.p1.y));
    const double d2 = std::min(geom_dist(s.x, s.y, j->second.p1.x, j->second.p1.y),
                               geom_dist(e.x, e.y, j->second.p1.x, j->second.p1.y));
    EXPECT_NEAR(d1, 0, 1e-9);
    EXPECT_NEAR(d2, 0, 1e-9);
  }
}

TEST(LineJoinGeometry, ATooLargeChamferOrFilletLeavesOnlyTheCorner) {
  for (int mode : {1, 2}) {
    const auto j = line_join_geometry(mode, 5, seg(0, 0, 2, 0), pt(1, 0), seg(0, 1, 0, 3), pt(0, 2));
    ASSERT_TRUE(j);
    EXPECT_FALSE(j->applied);
    EXPECT_FALSE(j->chamfer || j->fillet);
    expect_seg(j->first, 0, 0, 2, 0);
    expect_seg(j->second, 0, 0, 0, 3);
  }
}

TEST(LineCutGeometry, CutsOnlyStrictlyInsideAndAttachMovesTheNearerEnd) {
  EXPECT_TRUE(line_cut_point(seg(5, -10, 5, 10), seg(0, 0, 10, 0)));
  EXPECT_FALSE(line_cut_point(seg(5, -10, 5, 10), seg(0, 2, 5, 2)));  // at the end
  EXPECT_FALSE(line_cut_point(seg(5, -10, 5, 10), seg(6, 2, 9, 2)));
  EXPECT_FALSE(line_cut_point(seg(0, 1, 10, 1), seg(0, 0, 10, 0)));  // parallel

  const auto a = line_attach_geometry(seg(10, -5, 10, 5), seg(0, 0, 5, 0));
  ASSERT_TRUE(a);
  expect_seg(*a, 0, 0, 10, 0);
  const auto b = line_attach_geometry(seg(-3, -5, -3, 5), seg(0, 0, 5, 0));
  ASSERT_TRUE(b);
  expect_seg(*b, -3, 0, 5, 0);
  EXPECT_FALSE(line_attach_geometry(seg(10, -5, 10, 5), seg(0, 1, 12, 1)));
  EXPECT_FALSE(line_attach_geometry(seg(10, -5, 10, 5), seg(0, 1, 10, 1)));
}

class CutSearchTest : public PlanViewTest {
 protected:
  static std::vector<Point2> sorted(std::vector<Point2> v) {
    std::sort(v.begin(), v.end(), [](Point2 a, Point2 b) { return a.x != b.x ? a.x < b.x : a.y < b.y; });
    return v;
  }
  static void expect_points(const std::vector<Point2>& got, std::vector<Point2> want) {
    const std::vector<Point2> g = sorted(got);
    want = sorted(want);
    ASSERT_EQ(g.size(), want.size());
    for (std::size_t i = 0; i < g.size(); ++i) {
      EXPECT_NEAR(g[i].x, want[i].x, 1e-9);
      EXPECT_NEAR(g[i].y, want[i].y, 1e-9);
    }
  }
  static ElemHeader* arc(double cx, double cy, double rx, double ry, double sweep, double start,
                         int layer = 0) {
    elem_new_arc(layer, 0, 0, cx, cy, rx, ry, sweep, start, 0);
    return elem_list_tail;
  }
  static CutWindow all() { return {-100, -100, 100, 100}; }
};

TEST_F(CutSearchTest, WhatCutsALine) {
  ElemHeader* w = line(0, 0, 10, 0);
  line(3, -1, 3, 1);                    // crosses
  line(7, 0, 7, 4);                     // ends on the line: counts
  line(12, -1, 12, 1);                  // beyond the line's end: counts on its infinite line
  line(5, 1, 5, 3);                     // stops short of the line
  line(0, 2, 10, 2);                    // parallel
  arc(1, 0, 0.5, 0.5, PI + 0.2, -0.1);  // a bit more than the upper half: meets the line twice
  arc(8, 0, 1, 2, PI, PI / 2);          // left half of an ellipse: one point
  arc(20, 0, 0, 0, GEOM_TWO_PI, 0);     // no size: no cut, no trap
  wall({pt(-2, -1), pt(-1, -1), pt(-1, 1), pt(-2, 1)});
  expect_points(cut_search_line(w, pt(0, 0), pt(10, 0), all()),
                {pt(3, 0), pt(7, 0), pt(12, 0), pt(0.5, 0), pt(1.5, 0), pt(7, 0), pt(-1, 0), pt(-2, 0)});
}

TEST_F(CutSearchTest, WhatCutsACurve) {
  ElemHeader* c = circle(0, 0, 2);
  line(-5, 0, 5, 0);                                   // two points
  circle(3, 0, 2);                                     // two points
  arc(0, 3, 2, 2, PI, PI);                             // lower half of a circle: two points
  arc(0, -3, 2, 2, PI, PI);                            // lower half: the crossings lie off it
  arc(0, 0, 3, 1, GEOM_TWO_PI, 0);                     // an ellipse never cuts a circle
  wall({pt(-1, -3), pt(1, -3), pt(1, 3), pt(-1, 3)});  // its long sides cross twice each
  const std::vector<Point2> got = cut_search_curve(c, curve_of(*elem_as<ArcElem>(c)));
  const double h = std::sqrt(3.0);
  const double hx = std::sqrt(4 - 2.25);
  expect_points(got, {pt(-2, 0), pt(2, 0), pt(1.5, hx), pt(1.5, -hx), pt(-hx, 1.5), pt(hx, 1.5), pt(1, h),
                      pt(1, -h), pt(-1, h), pt(-1, -h)});
}

TEST_F(CutSearchTest, HiddenLayersOtherThanTheCurrentOneNeverCut) {
  cur_layer = 2;
  layers[5].shown = 0;
  layers[6].shown = 1;
  ElemHeader* w = line(0, 0, 10, 0, 2);
  line(2, -1, 2, 1, 2);
  line(4, -1, 4, 1, 5);
  line(6, -1, 6, 1, 6);
  expect_points(cut_search_line(w, pt(0, 0), pt(10, 0), all()), {pt(2, 0), pt(6, 0)});
  layers[6].shown = 0;
  cur_layer = 0;
}

TEST_F(CutSearchTest, TheGridFindsTheSameCutsAsTheWalk) {
  ElemHeader* w = line(0, 0, 10, 0);
  for (int i = 0; i < 60; ++i) line(i * 0.5 - 5, -1, i * 0.5 - 5, 1);
  circle(5, 0, 1);
  const std::vector<Point2> walked = cut_search_line(w, pt(0, 0), pt(10, 0), {0, 0, 10, 0});
  snap_index_threshold = 10;
  elem_grid_reset();
  const std::vector<Point2> gridded = cut_search_line(w, pt(0, 0), pt(10, 0), {0, 0, 10, 0});
  expect_points(gridded, walked);
  // The lines from x = 0 to x = 10 (ends included) and the circle twice.
  EXPECT_EQ(walked.size(), 23u);
}

CurveShape circle_shape() { return {0, 0, 1, 1, GEOM_TWO_PI, 0, 0}; }
CurveShape arc_shape(double start, double sweep) { return {0, 0, 1, 1, sweep, start, 0}; }

TEST(CurveErasePlan, ClosedOpenAndWrapAround) {
  struct Piece {
    double start, sweep;
  };
  struct Case {
    const char* what;
    CurveShape c;
    double a, b;
    bool remove;
    std::optional<Piece> changed;
    std::vector<Piece> pieces;
  } cases[] = {
      {"closed, a quarter", circle_shape(), 0, PI / 2, false, Piece{PI / 2, 3 * PI / 2}, {}},
      {"closed, over the start", circle_shape(), 3 * PI / 2, PI / 2, false, Piece{PI / 2, PI}, {}},
      {"closed, all of it", circle_shape(), 0, GEOM_TWO_PI, true, std::nullopt, {}},
      {"open, the middle", arc_shape(0, PI), 1, 2, true, std::nullopt, {{0, 1}, {2, PI - 2}}},
      {"open, the start part", arc_shape(0.5, 2), 0.2, 1, true, std::nullopt, {{1, 1.5}}},
      {"open, the end part", arc_shape(0.5, 2), 2, 3, true, std::nullopt, {{0.5, 1.5}}},
      {"open, covering it", arc_shape(0.5, 2), 0.2, 3, true, std::nullopt, {}},
      {"open, in the gap", arc_shape(0.5, 2), 3, 5, false, std::nullopt, {}},
      {"open over 0, middle",
       arc_shape(5, 2),
       6,
       0.5,
       true,
       std::nullopt,
       {{5, 1}, {0.5 + GEOM_TWO_PI, 6.5 - GEOM_TWO_PI}}},
      {"open over 0, both angles past 0",
       arc_shape(5, 2),
       0.2,
       0.5,
       true,
       std::nullopt,
       {{5, 0.2 + GEOM_TWO_PI - 5}, {0.5 + GEOM_TWO_PI, 7 - 0.5 - GEOM_TWO_PI}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const CurveErase e = curve_erase_plan(c.c, c.a, c.b);
    EXPECT_EQ(e.remove, c.remove);
    ASSERT_EQ(e.changed.has_value(), c.changed.has_value());
    if (c.changed) {
      EXPECT_NEAR(e.changed->start, c.changed->start, 1e-12);
      EXPECT_NEAR(e.changed->sweep, c.changed->sweep, 1e-12);
    }
    ASSERT_EQ(e.pieces.size(), c.pieces.size());
    for (std::size_t i = 0; i < c.pieces.size(); ++i) {
      EXPECT_NEAR(e.pieces[i].start, c.pieces[i].start, 1e-12);
      EXPECT_NEAR(e.pieces[i].sweep, c.pieces[i].sweep, 1e-12);
    }
  }
}

TEST(CurveErasePlan, PointAnglesAreTheCurvesOwnParametricAngles) {
  // An ellipse 2 by 1 turned a quarter: its x axis points up.
  const CurveShape e{1, 1, 2, 1, GEOM_TWO_PI, 0, PI / 2};
  EXPECT_NEAR(curve_point_angle(e, 1, 3), 0, 1e-12);
  EXPECT_NEAR(curve_point_angle(e, 0, 1), PI / 2, 1e-12);
  // Half way along the axes in the curve's frame: 45 degrees parametric.
  EXPECT_NEAR(curve_point_angle(e, 1 - std::sqrt(0.5), 1 + 2 * std::sqrt(0.5)), PI / 4, 1e-12);
}

TEST(DpartInterval, LineTakesTheNearestCutsOnEachSideAndIgnoresItsEnds) {
  EXPECT_EQ(line_dpart_interval(0.5, {0.7, 0.3, 0.9, 0.1}).lo, 0.3);
  EXPECT_EQ(line_dpart_interval(0.5, {0.7, 0.3, 0.9, 0.1}).hi, 0.7);
  EXPECT_EQ(line_dpart_interval(0.5, {0.1, 0.3, 0.9, 0.7}).lo, 0.3);
  EXPECT_EQ(line_dpart_interval(0.5, {0.1, 0.3, 0.9, 0.7}).hi, 0.7);
  const CutInterval ends = line_dpart_interval(0.5, {0.0, 1.0, 0.000001, -0.3, 1.5});
  EXPECT_EQ(ends.lo, 0.0);
  EXPECT_EQ(ends.hi, 1.0);
}

TEST(DpartInterval, ClosedCurvesTakeTheirCutsRoundTheCircle) {
  struct Case {
    const char* what;
    double p;
    std::vector<double> cuts;
    double lo, hi;
  } cases[] = {
      {"pick between the cuts", PI, {PI / 2, 3 * PI / 2}, PI / 2, 3 * PI / 2},
      {"pick in the piece over the start", 0.2, {PI / 2, 3 * PI / 2}, 3 * PI / 2 - GEOM_TWO_PI, PI / 2},
      {"pick before the start, above the last cut",
       6,
       {PI / 2, 3 * PI / 2},
       3 * PI / 2,
       PI / 2 + GEOM_TWO_PI},
      {"one cut: the whole curve", 1, {2}, 0, GEOM_TWO_PI},
      {"no cut: the whole curve", 1, {}, 0, GEOM_TWO_PI},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const CutInterval iv = curve_dpart_interval(c.p, GEOM_TWO_PI, true, c.cuts);
    EXPECT_NEAR(iv.lo, c.lo, 1e-12);
    EXPECT_NEAR(iv.hi, c.hi, 1e-12);
  }
  const CutInterval open = curve_dpart_interval(0.2, 3, false, {1, 2});
  EXPECT_EQ(open.lo, 0);
  EXPECT_EQ(open.hi, 1);
}

TEST(ExtendRules, LineEndsGoToTheNearestCutBeyondThemWithinReach) {
  EXPECT_EQ(line_extend_parameter({0.5, 3.0, 2.5, 1.0, -4.0}), 2.5);
  EXPECT_FALSE(line_extend_parameter({0.5, 1.000001, -2.0}));
  EXPECT_FALSE(line_extend_parameter({10000.5}));
}

TEST(ExtendRules, ArcsGrowToTheNearestOutsideCutOrClose) {
  const CurveShape a = arc_shape(1, 2);
  const auto far = curve_extend(a, false, {4, 5});
  ASSERT_TRUE(far);
  EXPECT_EQ(far->start, 1);
  EXPECT_EQ(far->sweep, 4);
  const auto near_start = curve_extend(a, true, {4, 5});
  ASSERT_TRUE(near_start);
  EXPECT_NEAR(near_start->start, 1 - (GEOM_TWO_PI - 5), 1e-12);
  EXPECT_NEAR(near_start->sweep, 2 + GEOM_TWO_PI - 5, 1e-12);
  const auto closed = curve_extend(a, true, {});
  ASSERT_TRUE(closed);
  EXPECT_EQ(closed->sweep, GEOM_TWO_PI);
  EXPECT_FALSE(curve_extend(circle_shape(), false, {}));
}

}  // namespace
