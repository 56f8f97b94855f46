// The hatch pattern tools end to end: new patterns from polygons and
// rectangles, added contours and their limit, the alter tools, and the
// dissolve into lines; what they store, one undo step per pattern or change,
// and a clean view afterwards.

#include "tools/pattern_tools.h"

#include <cmath>
#include <string>

#include "display/draw_hatch.h"
#include "display/outdev.h"
#include "display/snap.h"
#include "line_tool_fixture.h"
#include "model/geom.h"
#include "model/presets.h"
#include "model/settings.h"

namespace {

using Strings = std::vector<std::string>;

class PatternToolTest : public LineToolTest {
 protected:
  void SetUp() override {
    LineToolTest::SetUp();
    snap_on = 0;
    view_options.show_patterns = 1;
    pattern_preset.spacing1 = 0.5;
  }

  static std::vector<PatternElem*> patterns() {
    std::vector<PatternElem*> out;
    for (ElemHeader* e : elements())
      if (auto* p = elem_as<PatternElem>(e)) out.push_back(p);
    return out;
  }

  // A pattern of the contour list from the preset, on layer 0.
  static PatternElem* pattern(std::vector<Point2> pts) {
    elem_append(pattern_from_preset(static_cast<int>(pts.size()), pts.data()));
    return static_cast<PatternElem*>(elem_list_tail);
  }
  // A rectangle from (x0, y0) to (x1, y1) as one contour.
  static std::vector<Point2> box(double x0, double y0, double x1, double y1) {
    return {{x0, y0, 0}, {x1, y0, 0}, {x1, y1, 0}, {x0, y1, 0}, CONTOUR_END};
  }
  // A contour list of n entries: a polygon of n - 1 corners on a circle.
  static std::vector<Point2> ring(int n) {
    std::vector<Point2> pts;
    for (int k = 0; k + 1 < n; ++k) {
      const double a = 2 * GEOM_PI * k / (n - 1);
      pts.push_back({5 * std::cos(a), 5 * std::sin(a), 0});
    }
    pts.push_back(CONTOUR_END);
    return pts;
  }

  void corner(double x, double y) { script.click_world(1, x, y); }
  void polygon_point(double x, double y) { script.click_world(1, x, y).key("z_enter"); }

  Strings prompts_of() const { return ui.calls_starting("prompt "); }
};

void expect_points(const std::vector<Point2>& got, const std::vector<Point2>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t k = 0; k < got.size(); ++k) {
    EXPECT_EQ(got[k].x, want[k].x) << "point " << k;
    EXPECT_EQ(got[k].y, want[k].y) << "point " << k;
    EXPECT_EQ(got[k].mark, 0);
  }
}

TEST_F(PatternToolTest, RangeGivesTheSameCounterClockwiseRectangleFromEitherCorner) {
  cur_layer = 2;
  corner(1, 1);
  corner(0, 0);
  script.key("z_enter");
  corner(0, 0);
  corner(1, 1);
  script.key("z_enter").key("p_nop");
  run_tool(tool_pattern_range);

  ASSERT_EQ(patterns().size(), 2u);
  for (const PatternElem* p : patterns()) {
    expect_points(p->points, box(0, 0, 1, 1));
    EXPECT_EQ(p->layer, 2);
    EXPECT_EQ(p->origin.x, 0);
    EXPECT_EQ(p->origin.y, 0);
  }
  EXPECT_EQ(prompts_of(),
            (Strings{"prompt 1st Corner point:", "prompt Move/2nd Corner point:", "prompt Move/Confirm:",
                     "prompt 1st Corner point:", "prompt Move/2nd Corner point:", "prompt Move/Confirm:",
                     "prompt 1st Corner point:"}));
  EXPECT_EQ(undo_used, 2);
  expect_clean_surface();
  undo_step_back();
  EXPECT_EQ(patterns().size(), 1u);
}

TEST_F(PatternToolTest, ANewPatternTakesThePresetByItsType) {
  pattern_preset = PatternPreset{};
  pattern_preset.pen1 = 2;
  pattern_preset.line_type1 = 3;
  pattern_preset.pen2 = 4;
  pattern_preset.line_type2 = 5;
  pattern_preset.spacing1 = 0.1;
  pattern_preset.spacing2 = 0.1;
  pattern_preset.r = 0.25;
  struct Case {
    int type;
    int guide;
    int pen, pen2, line_type;
    double spacing2;
  } cases[] = {
      {PATTERN_ONE_LINE, 0, 2, 4, 3, 0.0},
      {PATTERN_TWO_LINES, 0, 2, 4, 3, 0.1},
      {PATTERN_POINTS, 0, 2, 4, LINE_TYPE_PATTERN_POINTS, 0.0},
      {PATTERN_FILLING, 0, 2, 4, LINE_TYPE_PATTERN_FILLING, 0.0},
      {PATTERN_TWO_LINES, 1, PEN_GUIDE, PEN_GUIDE, 3, 0.1},
  };
  const std::vector<Point2> tri = {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}, CONTOUR_END};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    pattern_preset.type = c.type;
    guide_mode = c.guide;
    cur_layer = 7;
    const PatternElem p = pattern_from_preset(4, tri.data());
    EXPECT_EQ(p.layer, 7);
    EXPECT_EQ(p.type, c.type);
    EXPECT_EQ(p.pen, c.pen);
    EXPECT_EQ(p.pen2, c.pen2);
    EXPECT_EQ(p.line_type, c.line_type);
    EXPECT_EQ(p.line_type2, 5);
    EXPECT_EQ(p.spacing1, 0.1);
    EXPECT_EQ(p.spacing2, c.spacing2);
    EXPECT_EQ(p.r, 0.25);
    // Half of the set spacing 2 across angle 2, whatever is stored.
    EXPECT_NEAR(p.offset.x, 0, 1e-15);
    EXPECT_EQ(p.offset.y, 0.05);
    expect_points(p.points, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, CONTOUR_END});
  }
}

TEST_F(PatternToolTest, PolygonPatternsUntilCancelled) {
  for (double x : {0.0, 20.0}) {
    polygon_point(x, 0);
    polygon_point(x + 4, 0);
    polygon_point(x + 4, 3);
    polygon_point(x, 0);
  }
  script.key("p_nop");
  run_tool(tool_pattern_poly);
  ASSERT_EQ(patterns().size(), 2u);
  expect_points(patterns()[1]->points, {{20, 0, 0}, {24, 0, 0}, {24, 3, 0}, CONTOUR_END});
  EXPECT_EQ(undo_used, 2);
  EXPECT_TRUE(lines().empty()) << "no guide line left";
  expect_clean_surface();
}

TEST_F(PatternToolTest, AnAddedRectangleFollowsTheOldContourUpToTheLimit) {
  PatternElem* tri = pattern({{0, 0, 0}, {6, 0, 0}, {0, 6, 0}, CONTOUR_END});
  redraw();
  script.click_world(1, 1, 1);
  corner(8, 1);
  corner(10, 4);
  script.key("z_enter").key("p_nop");
  run_tool(tool_pattern_add_range);
  std::vector<Point2> want = {{0, 0, 0}, {6, 0, 0}, {0, 6, 0}, CONTOUR_END};
  for (const Point2& p : box(8, 1, 10, 4)) want.push_back(p);
  expect_points(tri->points, want);
  EXPECT_EQ(tri->mark, 0);
  EXPECT_EQ(undo_used, 1);
  expect_clean_surface();
  undo_step_back();
  ASSERT_EQ(patterns().size(), 1u);
  EXPECT_EQ(patterns()[0]->points.size(), 4u);
}

TEST_F(PatternToolTest, MoreThanTheLimitIsRefusedWithAMessage) {
  for (int n : {495, 494}) {
    SCOPED_TRACE(n);
    drawing_free();
    drawing_init();
    undo_record(UNDO_CLEAR, 0);
    ui.calls.clear();
    PatternElem* p = pattern(ring(n));
    redraw();
    script.click_world(1, 0, 0);
    corner(-1, -1);
    corner(1, 1);
    script.key("z_enter").key("p_nop");
    run_tool(tool_pattern_add_range);
    const bool refused = n == 495;
    EXPECT_EQ(p->points.size(), refused ? 495u : 499u);
    EXPECT_EQ(ui.calls_starting("error "), refused ? Strings{"error To many points in polygon!"} : Strings{});
    EXPECT_EQ(undo_used, refused ? 0 : 1);
    EXPECT_EQ(p->mark, 0);
    expect_clean_surface();
  }
}

TEST_F(PatternToolTest, AnAddedPolygonIsReportedAndMakesAHole) {
  PatternElem* p = pattern(box(0, 0, 10, 10));
  redraw();
  script.click_world(1, 1, 1);
  polygon_point(4, 4);
  polygon_point(6, 4);
  polygon_point(5, 6);
  polygon_point(4, 4);
  script.key("p_nop");
  testing::internal::CaptureStdout();
  run_tool(tool_pattern_add_poly);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "alt: 5 * neu: 4 * gesamt: 9\n");
  EXPECT_EQ(p->points.size(), 9u);
  EXPECT_TRUE(geom_point_in_contours(1, 1, 9, p->points.data()));
  EXPECT_FALSE(geom_point_in_contours(5, 5, 9, p->points.data()));
  EXPECT_EQ(elem_count(), 1);
  EXPECT_EQ(undo_used, 1);
  expect_clean_surface();
}

TEST_F(PatternToolTest, OriginAngleAndSpacing) {
  PatternElem* p = pattern(box(0, 0, 10, 10));
  p->spacing1 = 0.1;
  p->spacing2 = 0.3;
  p->angle1 = 0;
  p->angle2 = HALF_PI;
  redraw();
  // Zero, below zero: refused with a message and asked again.
  script.click_world(1, 5, 5).value("0").value("-1").value("0.2").key("p_nop");
  run_tool(tool_pattern_alter_space);
  EXPECT_EQ(p->spacing1, 0.2);
  EXPECT_NEAR(p->spacing2, 0.6, 1e-15);
  EXPECT_EQ(ui.calls_starting("error ").size(), 2u);
  EXPECT_EQ(undo_used, 1);

  script.click_world(1, 5, 5).value("30").key("p_nop");
  run_tool(tool_pattern_alter_angle);
  EXPECT_NEAR(p->angle1, GEOM_PI / 6, 1e-15);
  EXPECT_NEAR(p->angle2, GEOM_PI * 2 / 3, 1e-15);

  // Different angles: the second family passes through the origin.
  script.click_world(1, 5, 5).click_world(1, 1, 1).key("z_enter").key("p_nop");
  run_tool(tool_pattern_alter_origin);
  EXPECT_EQ(p->origin.x, 1);
  EXPECT_EQ(p->offset.x, 1);
  EXPECT_EQ(p->offset.y, 1);

  // Equal angles: half a spacing 2 beside it.
  p->angle1 = p->angle2 = 0;
  p->spacing2 = 0.1;
  redraw();
  script.click_world(1, 5, 5).click_world(1, 1, 1).key("z_enter").key("p_nop");
  run_tool(tool_pattern_alter_origin);
  EXPECT_EQ(p->offset.x, 1);
  EXPECT_EQ(p->offset.y, 1.05);
  EXPECT_EQ(undo_used, 4);
  expect_clean_surface();

  undo_step_back();
  undo_step_back();
  undo_step_back();
  ASSERT_EQ(patterns().size(), 1u);
  EXPECT_EQ(patterns()[0]->spacing1, 0.2);
  EXPECT_EQ(patterns()[0]->angle1, 0);
}

TEST_F(PatternToolTest, CancelAtTheValueLeavesThePatternUnmarked) {
  PatternElem* p = pattern(box(0, 0, 10, 10));
  redraw();
  for (void (*tool)() : {tool_pattern_alter_space, tool_pattern_alter_angle, tool_pattern_alter_origin}) {
    script.click_world(1, 5, 5).key("p_nop");
    run_tool(tool);
    EXPECT_EQ(p->mark, 0);
    expect_clean_surface();
  }
  EXPECT_EQ(undo_used, 0);
  EXPECT_EQ(p->spacing1, 0.5);
}

TEST_F(PatternToolTest, ThePresetOntoPickedAndSelectedPatterns) {
  PatternElem* a = pattern(box(0, 0, 4, 4));
  a->origin = {1, 2, 0};
  PatternElem* b = pattern(box(10, 0, 14, 4));
  redraw();
  pattern_preset.type = PATTERN_POINTS;
  pattern_preset.spacing1 = 0.7;
  pattern_preset.spacing2 = 0.4;
  pattern_preset.angle1 = 0.3;
  pattern_preset.pen1 = 3;
  pattern_preset.line_type1 = 2;
  pattern_preset.pen2 = 5;
  guide_mode = 1;  // not applied
  script.click_world(1, 1, 1).key("p_nop");
  run_tool(tool_pattern_alter_pattern);
  EXPECT_EQ(a->type, PATTERN_POINTS);
  EXPECT_EQ(a->spacing1, 0.7);
  EXPECT_EQ(a->spacing2, 0.4);
  EXPECT_EQ(a->angle1, 0.3);
  EXPECT_EQ(a->pen, 3);
  EXPECT_EQ(a->line_type, 2) << "the line-1 type, whatever the type";
  EXPECT_EQ(a->pen2, 5);
  EXPECT_EQ(a->origin.x, 1) << "origin stays";
  EXPECT_EQ(b->spacing1, 0.5);

  pattern_preset.spacing1 = 0.9;
  a->mark = b->mark = 1;
  pending_command = "nop";  // as the command loop leaves it
  script.key("s_deffi_ok");
  run_tool(tool_pattern_alter_pattern_b);
  EXPECT_EQ(a->spacing1, 0.9);
  EXPECT_EQ(b->spacing1, 0.9);
  EXPECT_EQ(elem_count_marked(), 0);
  EXPECT_EQ(undo_used, 2);
  expect_clean_surface();
}

TEST_F(PatternToolTest, OneColourOntoEveryFillOfThePickedColourOnTheLayer) {
  pattern_preset.type = PATTERN_FILLING;
  pattern_preset.r = 0.5;
  PatternElem* picked = pattern(box(0, 0, 4, 4));
  PatternElem* same = pattern(box(10, 0, 14, 4));
  PatternElem* other_layer = pattern(box(20, 0, 24, 4));
  other_layer->layer = 3;
  pattern_preset.r = 0.5000001;
  PatternElem* other_colour = pattern(box(30, 0, 34, 4));
  redraw();
  pattern_preset.r = 0.1;
  pattern_preset.g = 0.2;
  pattern_preset.b = 0.3;
  script.click_world(1, 1, 1).key("p_nop");
  run_tool(tool_pattern_alter_pattern_a);
  for (const PatternElem* p : {picked, same}) {
    EXPECT_EQ(p->r, 0.1);
    EXPECT_EQ(p->g, 0.2);
    EXPECT_EQ(p->b, 0.3);
  }
  EXPECT_EQ(other_layer->r, 0.5);
  EXPECT_EQ(other_colour->r, 0.5000001);
  EXPECT_EQ(elem_count_marked(), 0);
  EXPECT_EQ(undo_used, 1);
  undo_step_back();
  for (const PatternElem* p : patterns()) EXPECT_NE(p->r, 0.1);
}

class PatternDissolveTest : public PatternToolTest {
 protected:
  // The hatch lines of p as an export receives them.
  static Strings exported_lines(const PatternElem& p) {
    static Strings out;
    out.clear();
    OutdevInstall guard;
    outdev.active = 1;
    outdev.line = [](uint8_t pen, uint8_t lt, double x1, double y1, double x2, double y2) {
      out.push_back(line_text(pen, lt, x1, y1, x2, y2));
    };
    pattern_draw_lines(p);
    return out;
  }
  static std::string line_text(int pen, int lt, double x1, double y1, double x2, double y2) {
    char buf[160];
    std::snprintf(buf, sizeof buf, "%d %d %.9f %.9f %.9f %.9f", pen, lt, x1, y1, x2, y2);
    return buf;
  }
  static Strings line_texts() {
    Strings out;
    for (const LineElem* l : lines())
      out.push_back(line_text(l->pen, l->line_type, l->p1.x, l->p1.y, l->p2.x, l->p2.y));
    return out;
  }
};

TEST_F(PatternDissolveTest, ALinePatternBecomesItsLinesInOneUndoStepWhateverTheView) {
  pattern_preset.pen1 = 2;
  pattern_preset.line_type1 = 4;
  pattern_preset.spacing1 = 0.01;  // well below a pixel
  PatternElem* p = pattern(box(0, 0, 1, 1));
  const Strings want = exported_lines(*p);
  ASSERT_EQ(want.size(), 100u);
  // Hidden patterns, a view far away: the lines are the pattern's own.
  view_options.show_patterns = 0;
  redraw();
  ui.answers = {1};
  script.click_world(1, 0.5, 0.5).key("p_nop");
  run_tool(tool_pattern_dissolve);

  EXPECT_TRUE(patterns().empty());
  EXPECT_EQ(line_texts(), want);
  EXPECT_EQ(ui.calls_starting("ask "),
            (Strings{"ask Really dissolve the pattern into single lines? [Yes] [Cancel]"}));
  EXPECT_EQ(undo_used, 1);
  expect_clean_surface();
  undo_step_back();
  EXPECT_TRUE(lines().empty());
  ASSERT_EQ(patterns().size(), 1u);
  EXPECT_EQ(patterns()[0]->spacing1, 0.01);
}

TEST_F(PatternDissolveTest, PointsTwoFamiliesFillsGuidesAndCancel) {
  pattern_preset.type = PATTERN_POINTS;
  Strings want = exported_lines(*pattern(box(0, 0, 1, 1)));
  pattern_preset.type = PATTERN_TWO_LINES;
  pattern_preset.spacing2 = 0.25;
  pattern_preset.angle2 = HALF_PI;
  for (const std::string& l : exported_lines(*pattern(box(10, 0, 11, 1)))) want.push_back(l);
  pattern_preset.type = PATTERN_FILLING;
  pattern(box(20, 0, 21, 1));
  pattern_preset.type = PATTERN_ONE_LINE;
  guide_mode = 1;
  pattern(box(30, 0, 31, 1));
  guide_mode = 0;
  pattern(box(40, 0, 41, 1));
  redraw();
  ui.answers = {1, 1, 1, 2};
  for (double x : {0.5, 10.5, 20.5, 30.5, 40.5}) script.click_world(1, x, 0.5);
  script.key("p_nop");
  run_tool(tool_pattern_dissolve);

  // Dots as lines of no length and line type 0; both families; the fill
  // asked nothing and stays; guide lines are not made, so the guide
  // pattern stays; the last one was cancelled.
  EXPECT_EQ(ui.calls_starting("ask ").size(), 4u);
  EXPECT_EQ(line_texts(), want);
  const auto l = lines();
  ASSERT_GE(l.size(), 4u);
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(l[k]->p1.x, l[k]->p2.x);
    EXPECT_EQ(l[k]->p1.y, l[k]->p2.y);
    EXPECT_EQ(l[k]->line_type, 0);
  }
  const auto p = patterns();
  ASSERT_EQ(p.size(), 3u);
  EXPECT_EQ(p[0]->type, PATTERN_FILLING);
  EXPECT_EQ(p[1]->pen, PEN_GUIDE);
  EXPECT_EQ(p[2]->points[0].x, 40);
  EXPECT_EQ(undo_used, 2);
  expect_clean_surface();
}

TEST_F(PatternDissolveTest, AskedAgainBeforeAMillionLines) {
  pattern_preset.spacing1 = 0.001;
  pattern(box(0, 0, 150, 1));   // 1000 lines of 150 m: fine
  pattern(box(0, 2, 1, 1000));  // a million
  redraw();
  ui.answers = {1, 1, 2};
  script.click_world(1, 5, 0.5).click_world(1, 0.5, 5).key("p_nop");
  run_tool(tool_pattern_dissolve);
  const Strings asked = ui.calls_starting("ask ");
  ASSERT_EQ(asked.size(), 3u);
  EXPECT_EQ(asked[2].rfind("ask The pattern becomes 99", 0), 0u) << asked[2];
  EXPECT_NE(asked[2].find(" lines. Dissolve it all the same? [Yes] [Cancel]"), std::string::npos) << asked[2];
  EXPECT_EQ(lines().size(), 1000u);
  ASSERT_EQ(patterns().size(), 1u);
}

}  // namespace
