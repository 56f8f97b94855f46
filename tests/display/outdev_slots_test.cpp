// The output-device table: colours and widths by draw mode, dashes, chord
// counts of arcs and Bezier curves, markers, the dissolving slots and the
// guard that puts the table back.

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <utility>
#include <vector>

#include "display/outdev.h"
#include "display/outdev_breakdown.h"
#include "display/outdev_explode.h"
#include "display/outdev_screen.h"
#include "display_fixture.h"
#include "model/geom.h"
#include "pixels.h"

namespace {

using OutdevSlots = DisplayTest;

std::vector<SlotCall> lines_of_pen(const RecordingOutdev& rec, int pen) {
  std::vector<SlotCall> out;
  for (const SlotCall& c : rec.of("line"))
    if (c.pen == pen) out.push_back(c);
  return out;
}

// Runs of ink pixels along row y: first and last x of each.
std::vector<std::pair<int, int>> runs(int y, uint32_t ink, int width) {
  std::vector<std::pair<int, int>> out;
  for (int x = 0; x < width; ++x) {
    if (view_pixel(0, x, y) != ink) continue;
    if (!out.empty() && out.back().second == x - 1)
      out.back().second = x;
    else
      out.push_back({x, x});
  }
  return out;
}

TEST_F(OutdevSlots, PaletteIndexByDrawModeAndPen) {
  struct Case {
    uint8_t mode;
    uint8_t pen;
    uint8_t index;
  };
  const Case cases[] = {
      {DRAWMODE_NORMAL, 0, 3},   {DRAWMODE_NORMAL, 7, 10},      {DRAWMODE_NORMAL, 99, 2},
      {DRAWMODE_SELECTED, 4, 1}, {DRAWMODE_SELECTED, 99, 1},    {DRAWMODE_ERASE, 5, 0},
      {DRAWMODE_ERASE, 99, 0},   {DRAWMODE_OTHER_LAYER, 2, 13}, {DRAWMODE_OTHER_LAYER, 99, 2},
      {DRAWMODE_NORMAL, 42, 3},  // no such pen: drawn as pen 0, never past the palette
  };
  for (const Case& c : cases) {
    outdev.draw_mode = c.mode;
    EXPECT_EQ(outdev_palette_index(c.pen), c.index) << int(c.mode) << " " << int(c.pen);
  }
}

TEST_F(OutdevSlots, PenWidthInPixels) {
  offscreen(100, 100);
  view_scale = 50;  // 1/60 m per pixel; pen 4 is 0.5 mm = 0.05 m at 1:100
  view_apply_scale(0);
  EXPECT_EQ(outdev_pen_width_px(4), 0);  // "Show exact line thickness" off
  view_options.exact_line_thickness = 1;
  EXPECT_EQ(outdev_pen_width_px(4), 3);
  EXPECT_EQ(outdev_pen_width_px(0), 1);
  EXPECT_EQ(outdev_pen_width_px(PEN_GUIDE), 0);
  view_type = VIEW_FRONT;
  EXPECT_EQ(outdev_pen_width_px(4), 0);
  view_type = VIEW_PLAN;
  view_scale = 0.01;  // a very wide pen at extreme zoom stays at the byte's top
  view_apply_scale(0);
  EXPECT_EQ(outdev_pen_width_px(7), 255);
}

TEST_F(OutdevSlots, DashesHaveWholePeriodsThenASolidRest) {
  // 1 px = 2.5 cm; SHORTDASH at 1:100 is a 16 px period: 10 drawn, 6 gap.
  view_scale = 75;
  offscreen(200, 20, 2.5, 0);
  const uint32_t ink = view_palettes[0][PAL_PEN_0];
  struct Case {
    const char* what;
    double x1, x2;
    std::vector<std::pair<int, int>> runs;
  };
  const Case cases[] = {
      {"2.5 periods", 0.5, 1.5, {{20, 30}, {36, 46}, {52, 60}}},
      {"backwards", 1.5, 0.5, {{20, 28}, {34, 44}, {50, 60}}},
      {"shorter than a period", 0.5, 0.8, {{20, 32}}},
      {"from far outside, the pattern still counts from the start",
       -1000.0,
       1.0,
       {{0, 10}, {16, 26}, {32, 40}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    view_clear();
    outdev_screen_line(0, 1, c.x1, 0, c.x2, 0);
    EXPECT_EQ(runs(10, ink, 200), c.runs);
  }
  // Dash-dot: the dot is a pixel of its own between two gaps.
  view_clear();
  outdev_screen_line(0, 3, 0.5, 0, 1.5, 0);  // 7 mm period = 28 px: 15.6 dash, 6 gap, 0.4 dot, 6 gap
  const auto dd = runs(10, ink, 200);
  ASSERT_GE(dd.size(), 3u);
  EXPECT_EQ(dd[0], std::make_pair(20, 36));
  EXPECT_EQ(dd[1], std::make_pair(42, 42));

  // At 1:500 a period is 2.4 px: the line is drawn solid.
  view_scale = 500;
  view_apply_scale(0);
  view_clear();
  outdev_screen_line(0, 1, 0, 0, 5, 0);
  EXPECT_EQ(runs(10, ink, 200).size(), 1u);
}

TEST_F(OutdevSlots, PerspectiveLinesBehindTheEyeAreSkipped) {
  offscreen(100, 100);
  view_clear();
  view_type = VIEW_PERSPECTIVE;
  const std::vector<uint32_t> before = view_pixels(0);
  outdev_screen_line(0, 0, 0, 0, 999, 999);
  EXPECT_EQ(view_pixels(0), before);
  outdev_screen_line(0, 0, 0, 0, 998, 999);
  EXPECT_NE(view_pixels(0), before);
}

TEST_F(OutdevSlots, ArcChordCountsFollowSizeAndScale) {
  view_options.show_guide_points = 0;
  RecordingOutdev rec;
  outdev.arc = outdev_screen_arc;
  struct Case {
    const char* what;
    double rx, ry, sweep;
    int active;
    size_t chords;
  };
  const double two_pi = GEOM_TWO_PI;
  const Case cases[] = {
      {"circle r 1 at 1:500", 1, 1, two_pi, 0, 18},
      {"the same while exporting", 1, 1, two_pi, 1, 36},
      {"ellipse 1 by 0.5", 1, 0.5, two_pi, 0, 18},
      {"half circle", 1, 1, GEOM_PI, 0, 9},
      {"k between 0.5 and 1", 3, 3, two_pi, 0, 37},
      {"r 100", 100, 100, two_pi, 0, 163},
      {"density capped at 120", 5000, 5000, two_pi, 0, 188},
      {"tiny sweep", 1, 1, 0.01, 0, 1},
      // A negative sweep runs clockwise, in as many chords.
      {"half circle clockwise", 1, 1, -GEOM_PI, 0, 9},
      {"ellipse clockwise while exporting", 1, 0.5, -two_pi, 1, 36},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    rec.calls.clear();
    outdev.active = static_cast<uint8_t>(c.active);
    outdev.arc(2, 1, 0, 0, c.rx, c.ry, c.sweep, 0.5, 0.25);
    const auto chords = rec.of("line");
    ASSERT_EQ(chords.size(), c.chords);
    EXPECT_EQ(outdev_arc_chord_count(c.rx, c.ry, c.sweep), int(c.chords));
    // Chords join up from the start point to the end of the sweep.
    const double cr = std::cos(0.25), sr = std::sin(0.25);
    auto point = [&](double t) {
      return std::make_pair(c.rx * std::cos(t) * cr - c.ry * std::sin(t) * sr,
                            c.rx * std::cos(t) * sr + c.ry * std::sin(t) * cr);
    };
    EXPECT_NEAR(chords.front().v[0], point(0.5).first, 1e-12);
    EXPECT_NEAR(chords.back().v[2], point(0.5 + c.sweep).first, 1e-9);
    EXPECT_NEAR(chords.back().v[3], point(0.5 + c.sweep).second, 1e-9);
    for (size_t i = 1; i < chords.size(); ++i) EXPECT_EQ(chords[i].v[0], chords[i - 1].v[2]);
    EXPECT_EQ(chords.front().pen, 2);
    EXPECT_EQ(chords.front().lt, 1);
  }
}

TEST_F(OutdevSlots, ArcsOutsideTheViewAreSkippedWholeOnlyOnTheScreen) {
  view_options.show_guide_points = 0;
  RecordingOutdev rec;
  outdev.arc = outdev_screen_arc;
  outdev.arc(0, 0, 100, 0, 1, 1, GEOM_TWO_PI, 0, 0);  // window is -10 .. 10
  EXPECT_TRUE(rec.calls.empty());
  outdev.arc(0, 0, 10.5, 0, 1, 1, GEOM_TWO_PI, 0, 0);  // partly inside: every chord
  EXPECT_EQ(rec.calls.size(), 18u);
  rec.calls.clear();
  outdev.active = 1;
  outdev.arc(0, 0, 100, 0, 1, 1, GEOM_TWO_PI, 0, 0);
  EXPECT_EQ(rec.calls.size(), 36u);
}

TEST_F(OutdevSlots, BezierChordCountsAndTheExactEndPoint) {
  view_options.show_guide_points = 0;
  RecordingOutdev rec;
  outdev.bezier = outdev_screen_bezier;
  views[0].xscale = 1.0 / 6.0;
  struct Case {
    const char* what;
    double p[8];
    int active;
    size_t chords;
  };
  const Case cases[] = {
      {"tiny on screen", {0, 0, 0.1, 0.1, 0.2, 0.1, 0.3, 0}, 0, 12},
      {"tiny while exporting", {0, 0, 0.1, 0.1, 0.2, 0.1, 0.3, 0}, 1, 24},
      {"k = 54.5", {0, 0, 0, 50, 100, 50, 100, 0}, 0, 55},
      {"k = 109.1 while exporting", {0, 0, 0, 50, 100, 50, 100, 0}, 1, 110},
      {"capped at 120", {0, 0, 0, 500, 1000, 500, 1000, 0}, 0, 120},
      {"whole number k = 24", {0, 0, 0, 0, 0, 0, 88, 0}, 0, 24},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    rec.calls.clear();
    outdev.active = static_cast<uint8_t>(c.active);
    const double* p = c.p;
    outdev.bezier(1, 0, p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7]);
    const auto chords = rec.of("line");
    ASSERT_EQ(chords.size(), c.chords);
    EXPECT_EQ(outdev_bezier_chord_count(p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7]), int(c.chords));
    EXPECT_EQ(chords.front().v[0], p[0]);
    EXPECT_EQ(chords.back().v[2], p[6]);  // exactly, not nearly
    EXPECT_EQ(chords.back().v[3], p[7]);
  }
  // A view without a scale yet still gives the minimum, not a division by zero.
  views[0].xscale = 0;
  rec.calls.clear();
  outdev.active = 0;
  outdev.bezier(1, 0, 0, 0, 0, 50, 100, 50, 100, 0);
  EXPECT_EQ(rec.calls.size(), 12u);
}

TEST_F(OutdevSlots, GuideMarkersAtArcCentresAndControlPointsOnTheScreenOnly) {
  offscreen(120, 120);
  RecordingOutdev rec;
  outdev.arc = outdev_screen_arc;
  outdev.bezier = outdev_screen_bezier;
  outdev.arc(0, 0, 1, 2, 1, 1, GEOM_TWO_PI, 0, 0);
  auto guide = lines_of_pen(rec, PEN_GUIDE);
  ASSERT_EQ(guide.size(), 2u);  // a +-1 pixel cross at the centre
  EXPECT_NEAR(guide[0].v[0], 1 - views[0].xscale, 1e-9);
  EXPECT_NEAR(guide[0].v[2], 1 + views[0].xscale, 1e-9);
  EXPECT_NEAR(guide[1].v[1], 2 - views[0].yscale, 1e-9);

  rec.calls.clear();
  outdev.bezier(0, 0, 0, 0, 1, 1, 2, 1, 3, 0);
  EXPECT_EQ(lines_of_pen(rec, PEN_GUIDE).size(), 4u);

  rec.calls.clear();
  outdev.active = 1;
  outdev.arc(0, 0, 1, 2, 1, 1, GEOM_TWO_PI, 0, 0);
  outdev.bezier(0, 0, 0, 0, 1, 1, 2, 1, 3, 0);
  EXPECT_TRUE(lines_of_pen(rec, PEN_GUIDE).empty());
}

TEST_F(OutdevSlots, PointMarkersUseTheirOwnModeAndPutTheOldOneBack) {
  offscreen(100, 100);
  int presented = 0;
  static int* count;
  count = &presented;
  display_hooks.present = [](int, int, int, int, int) { ++*count; };
  RecordingOutdev rec;
  outdev.draw_mode = DRAWMODE_OTHER_LAYER;
  draw_point_marker(1, 0, 0);
  draw_point_marker(0, 0, 0);
  draw_point_marker(7, 0, 0);
  ASSERT_EQ(rec.calls.size(), 6u);
  const int modes[] = {DRAWMODE_SELECTED, DRAWMODE_ERASE, DRAWMODE_OTHER_LAYER};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(rec.calls[i].pen, PEN_GUIDE);
    EXPECT_EQ(rec.calls[i].lt, 0);
    EXPECT_EQ(rec.calls[i].draw_mode, modes[i / 2]);
  }
  EXPECT_EQ(outdev.draw_mode, DRAWMODE_OTHER_LAYER);
  // +-2 pixels about the point's pixel, horizontal then vertical.
  const double px = views[0].xscale;
  EXPECT_NEAR(rec.calls[0].v[0], view_sx_to_wx(view_wx_to_sx(0)) - 2 * px, 1e-9);
  EXPECT_NEAR(rec.calls[0].v[2], view_sx_to_wx(view_wx_to_sx(0)) + 2 * px, 1e-9);
  EXPECT_EQ(rec.calls[1].v[0], rec.calls[1].v[2]);

  // 3D markers sit at the projection.
  rec.calls.clear();
  view_type = VIEW_FRONT;
  draw_point_marker_3d(1, 3, 7, 2);  // front view: (x, z)
  EXPECT_NEAR(rec.calls[1].v[0], 3, px);
  EXPECT_NEAR((rec.calls[1].v[1] + rec.calls[1].v[3]) / 2, 2, px);

  // Nothing on other output.
  rec.calls.clear();
  outdev.active = 1;
  draw_point_marker(1, 0, 0);
  draw_point_marker_small(0, 0);
  EXPECT_TRUE(rec.calls.empty());
  EXPECT_EQ(presented, 0);  // the recorder drew nothing to show
}

TEST_F(OutdevSlots, DissolvingSlotsMakeElementsInsteadOfPixels) {
  cur_layer = 4;
  views[0].xscale = 1.0 / 6.0;
  {
    OutdevInstall guard;
    outdev.line = outdev_explode_line;
    outdev_screen_bezier(3, 2, 0, 0, 0, 50, 100, 50, 100, 0);
    outdev_screen_line(PEN_GUIDE, 0, 0, 0, 1, 1);  // not through the slot: nothing made
    outdev.line(PEN_GUIDE, 0, 0, 0, 1, 1);         // the guide pen never becomes an element
  }
  EXPECT_EQ(outdev.line, outdev_screen_line);
  const auto made = elements();
  ASSERT_EQ(made.size(), 55u);
  for (ElemHeader* e : made) {
    EXPECT_EQ(e->kind, ELEM_LINE);
    EXPECT_EQ(e->layer, 4);
    EXPECT_EQ(e->pen, 3);
    EXPECT_EQ(e->line_type, 2);
  }
  const LineElem* last = elem_as<LineElem>(made.back());
  EXPECT_EQ(last->p2.x, 100);
  EXPECT_EQ(last->p2.y, 0);

  drawing_free();
  drawing_init();
  {
    OutdevInstall guard;
    outdev.arc = outdev_explode_arc;
    outdev.arc(PEN_GUIDE, 1, 1, 2, 3, 4, 1.5, 0.5, 0.25);
  }
  ASSERT_EQ(elem_count(), 1);
  const ArcElem* a = elem_as<ArcElem>(elem_list_tail);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->pen, PEN_GUIDE);
  EXPECT_EQ(a->radius_y, 4);
  EXPECT_EQ(a->rotation, 0.25);
}

TEST_F(OutdevSlots, GuardPutsTheTableBackWhenAWriterThrows) {
  const OutputDevice screen = outdev;
  auto throwing_line = [](uint8_t, uint8_t, double, double, double, double) {
    throw std::runtime_error("disk full");
  };
  try {
    OutdevInstall outer;
    outdev.line = throwing_line;
    outdev.fill = nullptr;
    outdev.active = 1;
    {
      OutdevInstall inner;
      outdev.arc = outdev_explode_arc;
    }
    EXPECT_EQ(outdev.arc, outdev_screen_arc);  // the inner guard gave back the outer's table
    EXPECT_EQ(outdev.active, 1);
    outdev_screen_arc(0, 0, 0, 0, 1, 1, 1, 0, 0);
    FAIL() << "the writer did not throw";
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(outdev.line, screen.line);
  EXPECT_EQ(outdev.fill, screen.fill);
  EXPECT_EQ(outdev.arc, screen.arc);
  EXPECT_EQ(outdev.active, 0);
  EXPECT_EQ(outdev.text, outdev_screen_text);
  EXPECT_EQ(outdev.dimension, outdev_screen_dimension);
  EXPECT_EQ(outdev.room, outdev_screen_room);
  EXPECT_EQ(outdev.bezier, outdev_screen_bezier);
}

TEST_F(OutdevSlots, WriterContextHoldsTheWritersStateAndPenPassForTheGuardsLifetime) {
  struct Plotter {
    std::vector<int> strokes;
  };
  Plotter plotter;
  EXPECT_EQ(outdev_writer<Plotter>(), nullptr);
  {
    OutdevInstall guard(plotter);
    ASSERT_EQ(outdev_writer<Plotter>(), &plotter);
    EXPECT_EQ(outdev_writer<RecordingOutdev>(), nullptr);  // not a writer of that type
    outdev.line = [](uint8_t pen, uint8_t, double, double, double, double) {
      if (outdev_pen_in_pass(pen)) outdev_writer<Plotter>()->strokes.push_back(pen);
    };
    outdev.line(0, 0, 0, 0, 1, 1);  // before the first pass no pen matches
    for (int32_t pass = 0; pass < 8; ++pass) {
      outdev.context.pen_pass = pass;
      for (uint8_t pen : {uint8_t{3}, uint8_t{0}, PEN_GUIDE}) outdev.line(pen, 0, 0, 0, 1, 1);
    }
    {
      OutdevInstall dissolve;  // a guard without a writer keeps the context
      EXPECT_EQ(outdev_writer<Plotter>(), &plotter);
      EXPECT_EQ(outdev.context.pen_pass, 7);
    }
    RecordingOutdev nested;  // a nested writer starts without a pass
    EXPECT_EQ(outdev.context.pen_pass, -1);
    EXPECT_EQ(outdev_writer<Plotter>(), nullptr);
  }
  EXPECT_EQ(plotter.strokes, (std::vector<int>{0, 3}));  // each in its own pass, the guide pen never
  EXPECT_EQ(outdev_writer<Plotter>(), nullptr);
  EXPECT_EQ(outdev.context.pen_pass, -1);
  EXPECT_FALSE(outdev_pen_in_pass(0));
}

TEST_F(OutdevSlots, RubberBandArcsAndCurvesRestoreThePixels) {
  offscreen(160, 120);
  view_clear();
  const std::vector<uint8_t> before = view_bytes(0);
  draw_xor_ellipse_arc(0, 0, 6, 3, 5, 0.3, 0.2);
  draw_xor_bezier(-8, -5, -4, 6, 4, -6, 8, 5);
  EXPECT_NE(view_bytes(0), before);
  draw_xor_bezier(-8, -5, -4, 6, 4, -6, 8, 5);
  draw_xor_ellipse_arc(0, 0, 6, 3, 5, 0.3, 0.2);
  EXPECT_EQ(view_bytes(0), before);
  // The control points are marked by a pixel each.
  draw_xor_bezier(-8, -5, -4, 6, 4, -6, 8, 5);
  EXPECT_NE(view_pixel(0, view_wx_to_sx(-4), view_wy_to_sy(6)), view_palettes[0][PAL_BACKGROUND]);
  // An arc wholly outside is not drawn at all.
  draw_xor_bezier(-8, -5, -4, 6, 4, -6, 8, 5);
  draw_xor_ellipse_arc(500, 0, 6, 3, 5, 0.3, 0.2);
  EXPECT_EQ(view_bytes(0), before);
}

}  // namespace
