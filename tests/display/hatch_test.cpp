// Hatches, point grids and the screen fill: the even-odd scan with its
// carried vertex shift, holes, spacings that would never end, the screen's
// own rules, and fills painted into an image surface.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "display/draw_hatch.h"
#include "display/outdev_screen.h"
#include "display_fixture.h"
#include "model/geom.h"
#include "pixels.h"
#include "support/test_records.h"

namespace {

constexpr double PI = 3.141592653589793;

const std::vector<Point2> SQUARE = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, CONTOUR_END};
const std::vector<Point2> SQUARE_WITH_HOLE = {
    {0, 0, 0},       {1, 0, 0},       {1, 1, 0},       {0, 1, 0},       CONTOUR_END,
    {0.25, 0.25, 0}, {0.75, 0.25, 0}, {0.75, 0.75, 0}, {0.25, 0.75, 0}, CONTOUR_END};

class Hatch : public DisplayTest {
 protected:
  static void lines(const std::vector<Point2>& pts, double spacing, double angle = 0.0, double ox = 0.0,
                    double oy = 0.0) {
    draw_hatch_lines(3, 1, ox, oy, angle, spacing, static_cast<int32_t>(pts.size()), pts.data());
  }
  static void points(const std::vector<Point2>& pts, double spacing) {
    draw_hatch_points(3, 5, 0, 0, 0, spacing, static_cast<int32_t>(pts.size()), pts.data());
  }
  static std::vector<std::vector<double>> strokes(const RecordingOutdev& rec) {
    std::vector<std::vector<double>> out;
    for (const SlotCall& c : rec.of("line")) out.push_back(c.v);
    return out;
  }
};

void expect_strokes(const std::vector<std::vector<double>>& got,
                    const std::vector<std::vector<double>>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t i = 0; i < got.size(); ++i)
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(got[i][k], want[i][k], 1e-12) << i << " " << k;
}

TEST_F(Hatch, SquareGetsFourLinesWithTheCarriedVertexShift) {
  // The line at y = 0 touches the lower corners and is raised by 1e-5; the
  // raise carries over; the line above the top crosses nothing.
  const std::vector<std::vector<double>> want = {
      {0, 0.00001, 1, 0.00001}, {0, 0.25001, 1, 0.25001}, {0, 0.50001, 1, 0.50001}, {0, 0.75001, 1, 0.75001}};
  offscreen(200, 200);
  for (int active : {0, 1}) {
    SCOPED_TRACE(active);
    RecordingOutdev rec;
    outdev.active = static_cast<uint8_t>(active);
    lines(SQUARE, 0.25);
    expect_strokes(strokes(rec), want);
    EXPECT_EQ(rec.calls.at(0).pen, 3);
    EXPECT_EQ(rec.calls.at(0).lt, 1);
  }
  // A negative spacing is its magnitude; whole spacings across the lines
  // do not move them.
  RecordingOutdev rec;
  outdev.active = 1;
  lines(SQUARE, -0.25);
  expect_strokes(strokes(rec), want);
  rec.calls.clear();
  lines(SQUARE, 0.25, 0.0, 7.3, -2.0);
  expect_strokes(strokes(rec), want);
  rec.calls.clear();
  lines(SQUARE, 0.25, 0.0, 0.0, 0.1);
  EXPECT_NEAR(strokes(rec).at(0)[1], 0.1, 1e-12);
}

TEST_F(Hatch, HolesSplitTheLinesThroughThem) {
  outdev.active = 1;
  RecordingOutdev rec;
  lines(SQUARE_WITH_HOLE, 0.25);
  expect_strokes(strokes(rec), {{0, 0.00001, 1, 0.00001},
                                {0, 0.25001, 0.25, 0.25001},
                                {0.75, 0.25001, 1, 0.25001},
                                {0, 0.50001, 0.25, 0.50001},
                                {0.75, 0.50001, 1, 0.50001},
                                {0, 0.75001, 1, 0.75001}});
}

TEST_F(Hatch, TurnedFamiliesRunAtTheirAngle) {
  outdev.active = 1;
  RecordingOutdev rec;
  // Diagonals 0.25 apart along x, the reference point half a spacing off the
  // corners: eight lines, strips of one spacing each covering the square.
  const double s = std::sqrt(0.5) / 4;
  lines(SQUARE, s, PI / 4, 0.125, 0.0);
  const auto got = strokes(rec);
  ASSERT_EQ(got.size(), 8u);
  double length = 0.0;
  for (const auto& l : got) {
    EXPECT_NEAR(l[3] - l[1], l[2] - l[0], 1e-12);  // at 45 degrees
    EXPECT_GT(l[2], l[0]);
    for (int k = 0; k < 4; ++k) {
      EXPECT_GE(l[k], -1e-12);
      EXPECT_LE(l[k], 1 + 1e-12);
    }
    length += std::hypot(l[2] - l[0], l[3] - l[1]);
  }
  EXPECT_NEAR(length * s, 1.0, 1e-9);
}

TEST_F(Hatch, PointGridDotsWhereTheSpansBegin) {
  outdev.active = 1;
  RecordingOutdev rec;
  points(SQUARE, 0.5);
  expect_strokes(strokes(rec), {{0, 0.00001, 0, 0.00001},
                                {0.5, 0.00001, 0.5, 0.00001},
                                {0, 0.50001, 0, 0.50001},
                                {0.5, 0.50001, 0.5, 0.50001}});
  for (const SlotCall& c : rec.calls) {
    EXPECT_EQ(c.pen, 3);
    EXPECT_EQ(c.lt, 0);
  }
  // The grid starts at whole spacings from the reference point, not at the edge.
  rec.calls.clear();
  const std::vector<Point2> shifted = {{0.2, 0, 0}, {1.2, 0, 0}, {1.2, 1, 0}, {0.2, 1, 0}, CONTOUR_END};
  points(shifted, 0.5);
  ASSERT_EQ(rec.calls.size(), 4u);
  EXPECT_NEAR(rec.calls[0].v[0], 0.5, 1e-12);
  EXPECT_NEAR(rec.calls[1].v[0], 1.0, 1e-12);
}

TEST_F(Hatch, SpacingsThatWouldNeverEndDrawNothing) {
  outdev.active = 1;
  RecordingOutdev rec;
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  for (double s : {0.0, -0.0, nan, inf, 1e-12, 1e-300}) {
    lines(SQUARE, s);
    points(SQUARE, s);
  }
  // Far from the origin a tiny step would not move the scan line at all.
  const std::vector<Point2> far = {{0, 1e6, 0}, {1, 1e6, 0}, {1, 1e6 + 1, 0}, {0, 1e6 + 1, 0}, CONTOUR_END};
  lines(far, 1e-11);
  EXPECT_TRUE(rec.calls.empty());
  // A point that is not finite spoils the area.
  std::vector<Point2> bad = SQUARE;
  bad[2].x = nan;
  lines(bad, 0.25);
  EXPECT_TRUE(rec.calls.empty());
}

TEST_F(Hatch, OpenAndDegenerateAreasDrawNothing) {
  outdev.active = 1;
  RecordingOutdev rec;
  const std::vector<Point2> open(SQUARE.begin(), SQUARE.end() - 1);  // no end marker: no closing edge
  lines(open, 0.25);
  const std::vector<Point2> flat = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, CONTOUR_END};
  lines(flat, 0.25);
  lines({}, 0.25);
  lines({CONTOUR_END}, 0.25);
  EXPECT_TRUE(rec.calls.empty());
}

TEST_F(Hatch, OnTheScreenPatternsFollowTheViewOptionsAndTheView) {
  offscreen(200, 200);
  RecordingOutdev rec;
  view_options.show_patterns = 0;
  lines(SQUARE, 0.25);
  points(SQUARE, 0.25);
  EXPECT_TRUE(rec.calls.empty());
  outdev.active = 1;  // output other than the screen always gets them
  lines(SQUARE, 0.25);
  EXPECT_EQ(rec.calls.size(), 4u);

  // Closer than half a pixel on the screen: one pixel apart; other output
  // keeps the true spacing.
  view_options.show_patterns = 1;
  outdev.active = 0;
  rec.calls.clear();
  const double px = views[0].xscale;
  lines(SQUARE, px / 4);
  const auto got = strokes(rec);
  EXPECT_NEAR(double(got.size()), 1.0 / px, 2.0);
  EXPECT_NEAR(got[1][1] - got[0][1], px, 1e-9);
  rec.calls.clear();
  outdev.active = 1;
  lines(SQUARE, px / 4);
  EXPECT_NEAR(double(rec.calls.size()), 4.0 / px, 2.0);

  // An area wholly outside the view is skipped on the screen only.
  const std::vector<Point2> away = {{100, 0, 0}, {101, 0, 0}, {101, 1, 0}, {100, 1, 0}, CONTOUR_END};
  rec.calls.clear();
  lines(away, 0.25);
  EXPECT_EQ(rec.calls.size(), 4u);
  outdev.active = 0;
  rec.calls.clear();
  lines(away, 0.25);
  points(away, 0.25);
  EXPECT_TRUE(rec.calls.empty());
}

TEST_F(Hatch, PatternElementsDrawTheirFamiliesGridOrFilling) {
  PatternElem pattern =
      test_pattern(PATTERN_TWO_LINES, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, CONTOUR_END});
  pattern.pen = 2;
  pattern.line_type = 1;
  pattern.pen2 = 5;
  pattern.line_type2 = 3;
  pattern.spacing1 = 0.25;
  pattern.angle2 = PI / 2;
  elem_append(pattern);
  ElemHeader* two = elem_list_tail;
  pattern.type = PATTERN_POINTS;
  pattern.spacing1 = 0.5;
  pattern.angle2 = 0;
  elem_append(pattern);
  ElemHeader* grid = elem_list_tail;
  pattern.type = 9;  // no type the program knows
  elem_append(pattern);
  ElemHeader* unknown = elem_list_tail;
  offscreen(200, 200);
  RecordingOutdev rec;
  draw_element(DRAW_NORMAL, two);
  const auto got = rec.of("line");
  ASSERT_EQ(got.size(), 4u + 2u);
  EXPECT_EQ(got[0].pen, 2);
  EXPECT_EQ(got[0].lt, 1);
  EXPECT_EQ(got[4].pen, 5);  // the second family, across
  EXPECT_EQ(got[4].lt, 3);
  EXPECT_NEAR(got[4].v[0], got[4].v[2], 1e-12);
  rec.calls.clear();
  draw_element(DRAW_NORMAL, grid);
  EXPECT_EQ(rec.of("line").size(), 4u);
  rec.calls.clear();
  draw_element(DRAW_NORMAL, unknown);
  EXPECT_TRUE(rec.calls.empty());
}

TEST_F(Hatch, GuidePenAndPatternLineTypesDrawOnTheScreen) {
  PatternElem pattern =
      test_pattern(PATTERN_POINTS, {{-2, -2, 0}, {2, -2, 0}, {2, 2, 0}, {-2, 2, 0}, CONTOUR_END});
  pattern.pen = PEN_GUIDE;
  pattern.line_type = LINE_TYPE_PATTERN_POINTS;
  elem_append(pattern);
  ElemHeader* grid = elem_list_tail;
  pattern.type = PATTERN_TWO_LINES;
  pattern.line_type = LINE_TYPE_PATTERN_FILLING;
  pattern.angle1 = 0.3;
  pattern.pen2 = 99;
  pattern.line_type2 = 101;
  pattern.angle2 = 0.2;
  elem_append(pattern);
  ElemHeader* two = elem_list_tail;
  offscreen(200, 200);
  view_clear();
  draw_element(DRAW_NORMAL, grid);
  const int dots = view_count(0, view_rgb_pixel(1, 0, 1));
  EXPECT_GE(dots, 64);
  draw_element(DRAW_NORMAL, two);
  EXPECT_GT(view_count(0, view_rgb_pixel(1, 0, 1)), dots + 100);
}

// The screen fill on an image surface: a 4 x 4 square with a 2 x 2 hole.
class ScreenFill : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    view_scale = 100;  // the square about 150 pixels wide
    offscreen(200, 200);
    ASSERT_GT(views[0].xmax, 2.5);
    ASSERT_LT(views[0].xmax, 4.0);
    view_clear();
  }
  static void fill(double r, double g, double b) {
    const Point2 pts[10] = {{-2, -2, 0}, {2, -2, 0}, {2, 2, 0}, {-2, 2, 0}, CONTOUR_END,
                            {-1, -1, 0}, {-1, 1, 0}, {1, 1, 0}, {1, -1, 0}, CONTOUR_END};
    outdev_screen_fill(r, g, b, 10, pts);
  }
  static uint32_t at(double x, double y) { return view_pixel(0, view_wx_to_sx(x), view_wy_to_sy(y)); }
  static uint32_t background() {
    const Rgb& bg = display_colors.background;
    return view_rgb_pixel(bg.r, bg.g, bg.b);
  }
};

TEST_F(ScreenFill, PaintsTheAreaButNotTheHole) {
  const uint32_t colour = view_rgb_pixel(0.9, 0.6, 0.2);
  fill(0.9, 0.6, 0.2);
  // Every pixel whose centre lies clearly inside or outside is right.
  const double px = views[0].xscale;
  int painted = 0;
  for (int sy = 0; sy < 200; ++sy)
    for (int sx = 0; sx < 200; ++sx) {
      const double x = view_sx_to_wx(sx), y = view_sy_to_wy(sy);
      const double ax = std::fabs(x), ay = std::fabs(y);
      const double edge = std::min({std::fabs(ax - 2), std::fabs(ay - 2), std::fabs(std::max(ax, ay) - 1)});
      const uint32_t p = view_pixel(0, sx, sy);
      painted += p == colour;
      if (edge < 1.5 * px) continue;
      const bool inside = std::max(ax, ay) < 2 && std::max(ax, ay) > 1;
      EXPECT_EQ(p, inside ? colour : background()) << x << " " << y;
    }
  EXPECT_NEAR(painted * px * px, 12.0, 0.05 * 12.0);
  EXPECT_EQ(at(1.5, 0), colour);
  EXPECT_EQ(at(0, 0), background());
  EXPECT_EQ(at(3, 0), background());
}

TEST_F(ScreenFill, ColourFollowsTheDrawMode) {
  const Rgb& bg = display_colors.background;
  const Rgb& act = display_colors.active;
  struct Case {
    uint8_t mode;
    uint32_t colour;
  };
  const Case cases[] = {
      {DRAWMODE_NORMAL, view_rgb_pixel(0.9, 0.6, 0.2)},
      {DRAWMODE_SELECTED, view_rgb_pixel(act.r, act.g, act.b)},
      {DRAWMODE_OTHER_LAYER, view_rgb_pixel((0.9 + bg.r) / 2, (0.6 + bg.g) / 2, (0.2 + bg.b) / 2)},
      {DRAWMODE_ERASE, background()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.mode));
    outdev.draw_mode = c.mode;
    fill(0.9, 0.6, 0.2);
    EXPECT_EQ(at(1.5, 0), c.colour);
    EXPECT_EQ(at(0, 0), background());
  }
}

TEST_F(ScreenFill, NothingWhilePatternsAreHiddenOrAWriterIsActive) {
  const std::vector<uint32_t> before = view_pixels(0);
  view_options.show_patterns = 0;
  fill(0.9, 0.6, 0.2);
  EXPECT_EQ(view_pixels(0), before);
  view_options.show_patterns = 1;
  outdev.active = 1;
  fill(0.9, 0.6, 0.2);
  EXPECT_EQ(view_pixels(0), before);
  outdev.active = 0;
  const Point2 away[5] = {{100, 0, 0}, {101, 0, 0}, {101, 1, 0}, {100, 1, 0}, CONTOUR_END};
  outdev_screen_fill(0.9, 0.6, 0.2, 5, away);
  outdev_screen_fill(0.9, 0.6, 0.2, 0, nullptr);
  EXPECT_EQ(view_pixels(0), before);
  // Partly visible: only the rows in the view are scanned, and they are painted.
  const Point2 tall[5] = {{-1, -1000, 0}, {1, -1000, 0}, {1, 1000, 0}, {-1, 1000, 0}, CONTOUR_END};
  outdev_screen_fill(0.9, 0.6, 0.2, 5, tall);
  EXPECT_EQ(at(0, views[0].ymax - views[0].yscale), view_rgb_pixel(0.9, 0.6, 0.2));
  EXPECT_EQ(at(0, views[0].ymin + 2 * views[0].yscale), view_rgb_pixel(0.9, 0.6, 0.2));
}

}  // namespace
