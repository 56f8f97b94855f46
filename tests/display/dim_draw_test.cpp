// Dimension drawing through the output-device slots: chain marks and
// figures, turning, edited figures, the other four kinds, and what the
// screen does differently from other output.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "display/draw_dim.h"
#include "display/outdev_breakdown.h"
#include "display/text_layout.h"
#include "display_fixture.h"
#include "model/geom.h"
#include "pixels.h"

namespace {

constexpr double S = 0.25;  // figure size 2.5 mm at 1:100
constexpr double PI = 3.141592653589793;

DimPoint entry(double x, double y, double length = 0.0, double mx = 0.0, double my = 0.0) {
  DimPoint p;
  p.line_point = Point2{x, y, 0};
  p.measured = Point2{mx, my, 0};
  p.segment_length = length;
  return p;
}

class DimDraw : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    drawing_scale = 100;
    dim_settings.accuracy = 4;
    dim_settings.accuracy_architecture = 2;
  }

  // A dimension in line type 2 with figures in pen 1, line type 3, figure
  // size 2.5, width 1, spacing 0.1, chain space 0.5.
  static DimElem dim(const std::vector<DimPoint>& pts, uint8_t kind, double direction = 0.0,
                     uint8_t end_mark = DIM_MARK_LINE, double help = 1.0, uint8_t format = 0,
                     uint8_t pen = 0) {
    DimElem d;
    d.pen = pen;
    d.line_type = 2;
    d.figure_pen = 1;
    d.figure_line_type = 3;
    d.direction = direction;
    d.figure_size = 2.5;
    d.figure_width = 1.0;
    d.figure_space = 0.1;
    d.chain_space = 0.5;
    d.help_line_length = help;
    d.font = "Simpel";
    d.format = format;
    d.end_mark = end_mark;
    d.dim_kind = kind;
    d.points = pts;
    return d;
  }
  // Draws through the screen slot.
  static void draw(const std::vector<DimPoint>& pts, uint8_t kind, double direction = 0.0,
                   uint8_t end_mark = DIM_MARK_LINE, double help = 1.0, uint8_t format = 0, uint8_t pen = 0) {
    outdev_screen_dimension(dim(pts, kind, direction, end_mark, help, format, pen));
  }
  static double width(const std::string& text) {
    return font_text_width(2.5, 1.0, 0.1, "Simpel", text.c_str(), 0, 0);
  }
  static std::string figure(const SlotCall& c) { return c.text.substr(0, c.text.find('|')); }
  static std::vector<std::string> figures(const RecordingOutdev& rec) {
    std::vector<std::string> out;
    for (const SlotCall& c : rec.of("text")) out.push_back(figure(c));
    return out;
  }
};

void expect_point(const std::vector<double>& v, std::size_t at, double x, double y) {
  EXPECT_NEAR(v[at], x, 1e-9);
  EXPECT_NEAR(v[at + 1], y, 1e-9);
}

TEST_F(DimDraw, ChainMarksStandWhereTheSegmentLengthsPutThem) {
  // The second stored point is off by 0.1: marks follow the lengths 2 and 3.
  const std::vector<DimPoint> pts = {entry(0, 0), entry(1.9, 0, 2.0), entry(5, 0, 3.0)};
  RecordingOutdev rec;
  draw(pts, DIM_CHAIN);
  ASSERT_EQ(rec.slots(), "line line line line line line line text text");
  EXPECT_EQ(rec.calls[0].v, (std::vector<double>{0, 0, 5, 0}));  // the dimension line
  EXPECT_EQ(rec.calls[0].pen, 0);
  EXPECT_EQ(rec.calls[0].lt, 2);
  const double t = S / 2 * std::sqrt(0.5);  // the tick: half the extension line, turned 45 degrees clockwise
  for (int k = 0; k < 3; ++k) {
    SCOPED_TRACE(k);
    const double x = k == 0 ? 0.0 : k == 1 ? 2.0 : 5.0;
    const std::vector<double>& tick = rec.calls[1 + 2 * k].v;
    expect_point(tick, 0, x + t, t);
    expect_point(tick, 2, x - t, -t);
    EXPECT_EQ(rec.calls[2 + 2 * k].v, (std::vector<double>{x, S, x, -S}));  // extension line, 2 h S long
  }
  // Figures centred on their segments, chain space figure heights above the line.
  const auto texts = rec.of("text");
  EXPECT_EQ(figure(texts[0]), "2.00");
  EXPECT_EQ(figure(texts[1]), "3.00");
  EXPECT_NEAR(texts[0].v[0], 1.0 - width("2.00") / 2, 1e-9);
  EXPECT_NEAR(texts[1].v[0], 3.5 - width("3.00") / 2, 1e-9);
  EXPECT_NEAR(texts[0].v[1], 0.5 * S, 1e-9);
  EXPECT_EQ(texts[0].pen, 1);
  EXPECT_EQ(texts[0].lt, 3);
  EXPECT_EQ(texts[0].v[2], 0.0);  // angle
  EXPECT_EQ(texts[0].v[3], 2.5);  // height in paper mm
  EXPECT_EQ(texts[0].text, "2.00|Simpel");
}

TEST_F(DimDraw, ChainArrowsPointOutwardsAtTheEndsAndBackToBackInside) {
  const std::vector<DimPoint> pts = {entry(0, 0), entry(2, 0, 2.0), entry(5, 0, 3.0)};
  RecordingOutdev rec;
  draw(pts, DIM_CHAIN, 0.0, DIM_MARK_ARROW);
  const auto fills = rec.of("fill");
  ASSERT_EQ(fills.size(), 4u);  // one at each end, two at the inner point
  EXPECT_EQ(rec.of("line").size(), 1u + 4 * 3 + 3);
  // The fill follows the three lines of its arrowhead; its tip is the point
  // and its wings lie on the segment beside it.
  std::vector<double> wing_x;
  for (std::size_t i = 0; i < rec.calls.size(); ++i)
    if (rec.calls[i].slot == "fill") wing_x.push_back(rec.calls[i - 3].v[0]);  // wing 1 of "wing 1 to tip"
  const double w = S / 2 * std::cos(0.1308996938995747);
  ASSERT_EQ(wing_x.size(), 4u);
  EXPECT_NEAR(wing_x[0], w, 1e-9);
  EXPECT_NEAR(wing_x[1], 2 + w, 1e-9);
  EXPECT_NEAR(wing_x[2], 2 - w, 1e-9);
  EXPECT_NEAR(wing_x[3], 5 - w, 1e-9);
  EXPECT_EQ(fills[0].v, (std::vector<double>{pens[0].r, pens[0].g, pens[0].b, 4}));

  // The guide pen fills in the guide colour, "Show all colored black" in black.
  rec.calls.clear();
  draw(pts, DIM_CHAIN, 0.0, DIM_MARK_ARROW, 1.0, 0, PEN_GUIDE);
  EXPECT_EQ(rec.of("fill")[0].v, (std::vector<double>{1, 0, 1, 4}));
  view_options.all_black = 1;
  rec.calls.clear();
  draw(pts, DIM_CHAIN, 0.0, DIM_MARK_ARROW, 1.0, 0, 3);
  EXPECT_EQ(rec.of("fill")[0].v, (std::vector<double>{0, 0, 0, 4}));

  // Circles of S / 7.5; an unknown mark draws only the extension lines.
  rec.calls.clear();
  draw(pts, DIM_CHAIN, 0.0, DIM_MARK_CIRCLE);
  ASSERT_EQ(rec.of("arc").size(), 3u);
  EXPECT_NEAR(rec.of("arc")[1].v[2], S / 7.5, 1e-12);
  EXPECT_EQ(rec.of("arc")[1].v[4], 2 * PI);
  rec.calls.clear();
  draw(pts, DIM_CHAIN, 0.0, 7);
  EXPECT_EQ(rec.slots(), "line line line line text text");
}

TEST_F(DimDraw, HelpLineLengthZeroDrawsFullExtensionLines) {
  const std::vector<DimPoint> pts = {entry(0, 0, 0, 0, 2), entry(3, 0, 3.0, 3, 1.5)};
  RecordingOutdev rec;
  draw(pts, DIM_CHAIN, 0.0, DIM_MARK_LINE, 0.0);
  // line; per entry: tick, short extension line, full extension line.
  ASSERT_EQ(rec.slots(), "line line line line line line line text");
  EXPECT_EQ(rec.calls[2].v, (std::vector<double>{0, 0.4 * S, 0, -0.4 * S}));
  EXPECT_EQ(rec.calls[3].v, (std::vector<double>{0, 0, 0, 2}));
  EXPECT_EQ(rec.calls[6].v, (std::vector<double>{3, 0, 3, 1.5}));
}

TEST_F(DimDraw, FiguresReadUprightAndTurnAboutTheirMiddle) {
  struct Case {
    double direction;
    bool turned;
  };
  const Case cases[] = {{0.0, false},    {PI / 2, false},    {PI / 2 + 0.01, true},
                        {PI, true},      {3 * PI / 2, true}, {3 * PI / 2 + 0.01, false},
                        {-PI / 2, true}, {2 * PI + PI, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.direction);
    const double ca = std::cos(c.direction), sa = std::sin(c.direction);
    const std::vector<DimPoint> pts = {entry(0, 0), entry(4 * ca, 4 * sa, 4.0)};
    RecordingOutdev rec;
    draw(pts, DIM_CHAIN, c.direction);
    const auto texts = rec.of("text");
    ASSERT_EQ(texts.size(), 1u);
    const double w = width("4.00");
    const double up = 0.5 * S;
    // The anchor before turning: along the line to the figure's start, up across it.
    double x = (2 - w / 2) * ca - up * sa, y = (2 - w / 2) * sa + up * ca;
    double angle = c.direction;
    if (c.turned) {
      const double mx = 2 * ca, my = 2 * sa;  // the middle of the figure on the line
      x = 2 * mx - x;
      y = 2 * my - y;
      angle += PI;
    }
    EXPECT_NEAR(texts[0].v[0], x, 1e-9);
    EXPECT_NEAR(texts[0].v[1], y, 1e-9);
    EXPECT_NEAR(texts[0].v[2], angle, 1e-12);
  }
  // Right to left: the figure stands upright above the line, centred.
  const std::vector<DimPoint> pts = {entry(0, 0), entry(-4, 0, 4.0)};
  RecordingOutdev rec;
  draw(pts, DIM_CHAIN, PI);
  const SlotCall t = rec.of("text").at(0);
  EXPECT_NEAR(std::cos(t.v[2]), 1.0, 1e-12);
  EXPECT_NEAR(t.v[0], -2 - width("4.00") / 2, 1e-9);
  EXPECT_NEAR(t.v[1], 0.5 * S, 1e-9);
}

TEST_F(DimDraw, RaisedDigitsSecondFiguresAndMovedFigures) {
  std::vector<DimPoint> pts = {entry(0, 0), entry(2.015, 0, 2.015), entry(2.315, 0, 0.3)};
  pts[1].second_value = 0.885;
  pts[1].text_dx = 0.1;
  pts[1].text_dy = 0.2;
  RecordingOutdev rec;
  draw(pts, DIM_CHAIN);
  ASSERT_EQ(figures(rec), (std::vector<std::string>{"2.01", "5", "88", "5", "30"}));
  const auto t = rec.of("text");
  const double w = width("2.01"), w2 = width("88"), h = S;
  const double x = 2.015 / 2 - w / 2;
  expect_point(t[0].v, 0, x + 0.1, 0.5 * h + 0.2);
  expect_point(t[1].v, 0, x + 0.1 + w + h * 0.1, 0.5 * h + 0.2 + h / 2);  // raised after the figure
  EXPECT_DOUBLE_EQ(t[1].v[3], 0.7 * 2.5);
  expect_point(t[2].v, 0, x + (w - w2) / 2 + 0.1, -0.5 * h - h + 0.2);  // centred under the line
  expect_point(t[3].v, 0, x + (w - w2) / 2 + 0.1 + w2 + h * 0.1, -0.5 * h - h + 0.2 + h / 2);
  // The segment shorter than 0.4 sits twice as far from the line.
  EXPECT_NEAR(t[4].v[1], 2 * 0.5 * h, 1e-9);
  dim_settings.move_figures = 0;
  rec.calls.clear();
  draw(pts, DIM_CHAIN);
  EXPECT_NEAR(rec.of("text").back().v[1], 0.5 * h, 1e-9);
}

TEST_F(DimDraw, EditedFiguresAreStarredOnTheScreenOnly) {
  std::vector<DimPoint> chain = {entry(0, 0), entry(2, 0, 2.0)};
  chain[1].override_value = 2.5;
  std::vector<DimPoint> radius = {entry(0, 0), entry(1, 0), entry(2, 0)};
  radius[2].override_value = 1.5;
  std::vector<DimPoint> diameter = {entry(0, 0), entry(-1, 0), entry(1, 0)};
  diameter[2].override_value = 2.25;
  std::vector<DimPoint> level = {entry(0, 0), entry(0, 1), entry(0, 3)};
  level[2].override_value = -2.0;
  std::vector<DimPoint> angle = {entry(0, 0), entry(1, 0), entry(0, 1)};
  angle[2].override_value = 45;
  struct Case {
    const std::vector<DimPoint>* pts;
    uint8_t kind;
    double direction;
    const char* screen;
    const char* output;
  };
  const Case cases[] = {
      {&chain, DIM_CHAIN, 0.0, "*2.50", "2.50"},           {&radius, DIM_RADIUS, 0.0, "R *1.50", "R 1.50"},
      {&diameter, DIM_DIAMETER, 0.0, "D *2.25", "D 2.25"}, {&level, DIM_LEVEL, PI / 2, "*- 2.00", "- 2.00"},
      {&angle, DIM_ANGLE, 0.0, "*45.00", "45.00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.screen);
    RecordingOutdev rec;
    draw(*c.pts, c.kind, c.direction);
    EXPECT_EQ(figure(rec.of("text").at(0)), c.screen);
    rec.calls.clear();
    outdev.active = 1;
    draw(*c.pts, c.kind, c.direction);
    outdev.active = 0;
    EXPECT_EQ(figure(rec.of("text").at(0)), c.output);
  }
}

TEST_F(DimDraw, RadiusAndDiameter) {
  // Radius 1.2 at 0.6435 rad; the text point lies beyond the circle, so the
  // figure ends there.
  std::vector<DimPoint> r = {entry(3, 1), entry(3 + 0.96, 1 + 0.72), entry(5, 2.5)};
  r[2].second_value = 0.5;
  RecordingOutdev rec;
  draw(r, DIM_RADIUS, 0.0, DIM_MARK_LINE, 1.0, 1);
  ASSERT_EQ(rec.slots(), "line fill line line line text text");
  EXPECT_EQ(rec.calls[0].v, (std::vector<double>{3.96, 1.72, 5, 2.5}));  // the leader
  EXPECT_EQ(rec.calls[2].v[0], 3.96);                                    // the arrow's tip on the circle
  EXPECT_EQ(rec.calls[2].v[1], 1.72);
  EXPECT_EQ(figures(rec), (std::vector<std::string>{"R 1.2", "R 0.5"}));
  const double a = std::atan2(0.72, 0.96), w = width("R 1.2");
  const SlotCall t = rec.of("text")[0];
  EXPECT_NEAR(t.v[2], a, 1e-12);
  expect_point(t.v, 0, 5 - w * std::cos(a) - 0.5 * S * std::sin(a),
               2.5 - w * std::sin(a) + 0.5 * S * std::cos(a));
  // A text point inside the circle keeps the figure starting there.
  r[2] = entry(3.48, 1.36);
  rec.calls.clear();
  draw(r, DIM_RADIUS, 0.0, DIM_MARK_LINE, 1.0, 1);
  expect_point(rec.of("text")[0].v, 0, 3.48 - 0.5 * S * std::sin(a), 1.36 + 0.5 * S * std::cos(a));

  // Diameter: arrows at both ends, the figure centred on the middle.
  const std::vector<DimPoint> d = {entry(0, 0), entry(-1.2, 0.5), entry(1.2, 0.5)};
  rec.calls.clear();
  draw(d, DIM_DIAMETER, 0.0, DIM_MARK_LINE, 1.0, 1);
  ASSERT_EQ(rec.slots(), "line fill line line line fill line line line line line text");
  EXPECT_EQ(rec.calls[2].v, (std::vector<double>{-1.2, 0.5, rec.calls[2].v[2], rec.calls[2].v[3]}));
  EXPECT_EQ(rec.calls[6].v[0], 1.2);
  // Extension lines from the circle's centre line (0.5 below) to h S above.
  EXPECT_NEAR(rec.calls[9].v[1], 0.0, 1e-12);
  EXPECT_NEAR(rec.calls[9].v[3], 0.5 + S, 1e-12);
  EXPECT_EQ(figures(rec), (std::vector<std::string>{"D 2.4"}));
  EXPECT_NEAR(rec.of("text")[0].v[0], -width("D 2.4") / 2, 1e-9);
}

TEST_F(DimDraw, LevelsShowTheSignedHeightAndAreNeverTurned) {
  struct Case {
    double y;
    const char* figure;
  };
  const Case cases[] = {{3.2, "+ 2.20"}, {1.0, "+/- 0.00"}, {0.0, "- 1.00"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.figure);
    const std::vector<DimPoint> pts = {entry(5, 5), entry(2, 1), entry(2, c.y)};
    RecordingOutdev rec;
    draw(pts, DIM_LEVEL, PI / 2);
    ASSERT_EQ(rec.slots(), "line line line text");
    // The mark: a triangle standing on the measured point with a tail to the right.
    const double ax = 2 - S / 2, ay = c.y + S * std::sqrt(3.0) / 2;
    expect_point(rec.calls[0].v, 0, ax + S, ay);
    expect_point(rec.calls[0].v, 2, 2, c.y);
    expect_point(rec.calls[1].v, 0, ax, ay);
    expect_point(rec.calls[2].v, 2, ax + 5 * S, ay);
    EXPECT_EQ(figure(rec.calls[3]), c.figure);
    EXPECT_NEAR(rec.calls[3].v[2], 0.0, 1e-12);
    expect_point(rec.calls[3].v, 0, ax, ay + 0.5 * S);
  }
  // A direction whose text would stand on its head stays as it is.
  const std::vector<DimPoint> pts = {entry(0, 0), entry(0, 0), entry(-1, 0)};
  RecordingOutdev rec;
  draw(pts, DIM_LEVEL, PI + 1.0);
  EXPECT_NEAR(rec.of("text").at(0).v[2], PI + 1.0 - PI / 2, 1e-12);
  EXPECT_EQ(figure(rec.of("text")[0]), "+ 1.00");
}

TEST_F(DimDraw, AnglesRunCounterClockwiseFromTheFirstLeg) {
  // The second leg 90 degrees clockwise from the first: 270 degrees.
  std::vector<DimPoint> pts = {entry(0, 0), entry(0, 2), entry(2, 0)};
  pts[2].second_value = 12.5;
  RecordingOutdev rec;
  draw(pts, DIM_ANGLE, 0.0, DIM_MARK_LINE, 1.0);
  ASSERT_EQ(rec.slots(), "line line arc fill line line line fill line line line text arc text arc");
  expect_point(rec.calls[0].v, 0, 0, 2 + S);  // along the first leg
  expect_point(rec.calls[0].v, 2, 0, 2 - S);
  const std::vector<double> arc = rec.calls[2].v;
  EXPECT_EQ(arc[2], 2.0);
  EXPECT_NEAR(arc[4], 1.5 * PI, 1e-12);  // sweep
  EXPECT_NEAR(arc[5], PI / 2, 1e-12);    // start
  EXPECT_EQ(figures(rec), (std::vector<std::string>{"270.00", "12.50"}));
  // Centred on the middle of the arc (225 degrees) across the bisector; at
  // 135 degrees it would stand on its head, so it is turned about the
  // middle of the arc and reads at 315 degrees.
  const double m = 1.25 * PI, w = width("270.00");
  const SlotCall t = rec.of("text")[0];
  EXPECT_NEAR(t.v[2], m + PI / 2, 1e-12);
  const double tx = 2 * std::cos(m), ty = 2 * std::sin(m);
  expect_point(t.v, 0, tx + w / 2 * std::cos(m - PI / 2) - 0.5 * S * std::cos(m),
               ty + w / 2 * std::sin(m - PI / 2) - 0.5 * S * std::sin(m));
  // The degree mark: a circle of H / 4 after the figure and H up from it.
  const SlotCall mark = rec.of("arc")[1];
  const double drawn = m + PI / 2;
  EXPECT_NEAR(mark.v[2], S / 4, 1e-12);
  expect_point(mark.v, 0, t.v[0] + (w + 4 * 0.1 * S) * std::cos(drawn) + S * std::cos(drawn + PI / 2),
               t.v[1] + (w + 4 * 0.1 * S) * std::sin(drawn) + S * std::sin(drawn + PI / 2));
  EXPECT_EQ(mark.pen, 1);
  EXPECT_EQ(mark.lt, 3);

  // Counter-clockwise the other way round: 90 degrees, not turned.
  std::swap(pts[1], pts[2]);
  rec.calls.clear();
  draw(pts, DIM_ANGLE);
  EXPECT_EQ(figure(rec.of("text").at(0)), "90.00");
  EXPECT_NEAR(rec.of("text")[0].v[2], PI / 4 - PI / 2, 1e-12);
}

TEST_F(DimDraw, ChainsOutsideTheViewAreSkippedOnTheScreenOnly) {
  const std::vector<DimPoint> pts = {entry(100, 100), entry(102, 100, 2.0)};
  RecordingOutdev rec;
  draw(pts, DIM_CHAIN);
  EXPECT_TRUE(rec.calls.empty());
  outdev.active = 1;
  draw(pts, DIM_CHAIN);
  EXPECT_EQ(rec.slots(), "line line line line line text");
}

TEST_F(DimDraw, GuidePointsAreOffDuringTheCallAndRestoredOnEveryPath) {
  static int seen;
  seen = -1;
  RecordingOutdev rec;
  outdev.arc = [](uint8_t, uint8_t, double, double, double, double, double, double, double) {
    seen = guide_points_shown();
  };
  view_options.show_guide_points = 1;
  draw({entry(0, 0), entry(2, 0, 2.0)}, DIM_CHAIN, 0.0, DIM_MARK_CIRCLE);
  EXPECT_EQ(seen, 0);
  EXPECT_TRUE(guide_points_shown());
  draw({entry(100, 0), entry(102, 0, 2.0)}, DIM_CHAIN, 0.0, DIM_MARK_CIRCLE);  // culled
  EXPECT_TRUE(guide_points_shown());
  EXPECT_EQ(view_options.show_guide_points, 1);
}

TEST_F(DimDraw, UnusualKindsAndCounts) {
  // A kind beyond the four is a chain; one entry is a point with one mark.
  RecordingOutdev rec;
  draw({entry(0, 0), entry(2, 0, 2.0)}, 9);
  EXPECT_EQ(rec.slots(), "line line line line line text");
  rec.calls.clear();
  draw({entry(1, 1)}, DIM_CHAIN);
  EXPECT_EQ(rec.slots(), "line line line");
  EXPECT_EQ(rec.calls[0].v, (std::vector<double>{1, 1, 1, 1}));
  // The three-entry kinds with fewer entries draw nothing.
  rec.calls.clear();
  for (uint8_t kind : {DIM_RADIUS, DIM_DIAMETER, DIM_LEVEL, DIM_ANGLE})
    draw({entry(0, 0), entry(1, 0)}, kind);
  EXPECT_TRUE(rec.calls.empty());
}

TEST_F(DimDraw, GuidePenAndPatternLineTypesDrawOnTheScreen) {
  offscreen(200, 200);
  view_clear();
  DimElem chain = dim({entry(-3, 0), entry(0, 0, 3.0), entry(4, 0, 4.0)}, DIM_CHAIN, 0.0, DIM_MARK_ARROW, 1.0,
                      0, PEN_GUIDE);
  chain.line_type = LINE_TYPE_PATTERN_FILLING;
  chain.figure_pen = PEN_GUIDE;
  chain.figure_line_type = LINE_TYPE_PATTERN_POINTS;
  outdev_screen_dimension(chain);
  for (uint8_t kind : {DIM_RADIUS, DIM_DIAMETER, DIM_LEVEL, DIM_ANGLE}) {
    DimElem d = dim({entry(0, -3), entry(2, -3), entry(0, -1)}, kind, 0.0, DIM_MARK_ARROW, 1.0, 0, PEN_GUIDE);
    d.line_type = LINE_TYPE_PATTERN_POINTS;
    d.figure_pen = 200;
    d.figure_line_type = 250;
    outdev_screen_dimension(d);
  }
  EXPECT_GT(view_count(0, view_rgb_pixel(1, 0, 1)), 100);  // the guide colour
}

}  // namespace
