// View commands: scale steps along the ladders, the scale label, zoom to
// extents and the extents boxes, zoom window, pan, remember and back.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "display/draw.h"
#include "display/font.h"
#include "display/view_commands.h"
#include "display_fixture.h"
#include "model/geom.h"
#include "model/layers.h"
#include "model/scale_ladder.h"
#include "support/recording_ui.h"
#include "support/render_fixture.h"
#include "support/test_records.h"

namespace {

class ExtentsView : public DisplayTest {
 protected:
  // View 0 with a pixel box of w x h and no store: the commands need only the box.
  static void box(int w, int h) {
    views[0].left = views[0].top = 0;
    views[0].right = static_cast<int16_t>(w);
    views[0].bottom = static_cast<int16_t>(h);
    view_apply_scale(0);
  }
  static double centre_x() { return (views[0].xmin + views[0].xmax) / 2; }
  static double centre_y() { return (views[0].ymin + views[0].ymax) / 2; }
  static double height() { return views[0].ymax - views[0].ymin; }
};

TEST_F(ExtentsView, ScaleStepsMoveAlongTheLadder) {
  box(300, 300);
  RecordingUi ui;
  struct Case {
    const char* what;
    bool imperial;
    double from;
    bool up;
    double to;
  };
  const Case cases[] = {
      {"metric up from 1:500", false, 500, true, 1000},
      {"metric down from 1:500", false, 500, false, 1000.0 / 3.0},
      {"between two values, up", false, 740, true, 1000},
      {"between two values, down", false, 740, false, 500},
      {"first value, down: nothing", false, 0.0001, false, 0.0001},
      {"last value, up: nothing", false, 500000, true, 500000},
      {"imperial up from 1:500", true, 500, true, 768},
      {"imperial down from 1:500", true, 500, false, 384},
      {"imperial 10/3, not 3", true, 4, false, 10.0 / 3.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.imperial)
      view_scale_ladder_imperial();
    else
      view_scale_ladder_metric();
    view_scale = c.from;
    if (c.up)
      view_scale_step_up();
    else
      view_scale_step_down();
    EXPECT_EQ(view_scale, c.to);
  }
  // Each step shows the new scale and applies it to the window.
  view_scale_ladder_metric();
  view_scale = 500;
  ui.calls.clear();
  view_scale_step_up();
  EXPECT_EQ(ui.calls_starting("scale_label"), (std::vector<std::string>{"scale_label  1:1000 "}));
  EXPECT_DOUBLE_EQ(views[0].xmax - views[0].xmin, 100);
  view_scale_step_down();
  view_scale_step_down();
  EXPECT_EQ(ui.calls_starting("scale_label").back(), "scale_label  1:333 ");
}

TEST_F(ExtentsView, ScaleLabel) {
  RecordingUi ui;
  for (double s : {500.0, 1.0, 0.25, 1000.0 / 3.0, 0.3}) {
    view_scale = s;
    view_show_scale();
  }
  EXPECT_EQ(ui.calls,
            (std::vector<std::string>{"scale_label  1:500 ", "scale_label  1:1 ", "scale_label  4:1 ",
                                      "scale_label  1:333 ", "scale_label  3:1 "}));
}

TEST_F(ExtentsView, ZoomToExtentsCentresWithAMargin) {
  box(200, 100);
  elem_new_line(0, 0, 0, 0, 0, 10, 5);
  view_zoom_to_extents(0);
  EXPECT_DOUBLE_EQ(centre_x(), 5);
  EXPECT_DOUBLE_EQ(centre_y(), 2.5);
  EXPECT_NEAR(height(), 5.5, 1e-12);  // the height decides: 5 plus 10 %
  EXPECT_NEAR(view_scale, 165, 1e-9);

  // A wide drawing in the same view: the width decides.
  elem_new_line(0, 0, 0, 0, 0, 40, 0);
  view_zoom_to_extents(0);
  EXPECT_NEAR(views[0].xmax - views[0].xmin, 44, 1e-9);
  EXPECT_DOUBLE_EQ(centre_x(), 20);
}

TEST_F(ExtentsView, WhatZoomToExtentsCounts) {
  box(100, 100);
  elem_new_line(0, 0, 0, 0, 0, 1, 1);      // current layer
  elem_new_line(3, 0, 0, 50, 50, 51, 51);  // hidden, unmarked: not counted
  elem_new_line(4, 0, 0, -20, 0, -19, 0);  // hidden but marked: counted
  elem_list_tail->mark = 1;
  view_zoom_to_extents(0);
  EXPECT_DOUBLE_EQ(extents.xmin, -20);
  EXPECT_DOUBLE_EQ(extents.xmax, 1);
  EXPECT_DOUBLE_EQ(extents.ymax, 1);

  // The 2D kinds do not count outside the plan view; with nothing else the
  // default view shows.
  view_scale = 123;
  view_type = VIEW_ISO_FRONT_LEFT;
  view_zoom_to_extents(0);
  EXPECT_EQ(view_scale, 500);
  EXPECT_DOUBLE_EQ(centre_x(), 0);
  EXPECT_FALSE(extents.started);
}

TEST_F(ExtentsView, MarkedExtentsAndWeights) {
  box(100, 100);
  view_scale = 250;
  view_apply_scale(0);
  const ViewRec before = views[0];
  view_zoom_to_extents(1);
  EXPECT_EQ(marked_extents.count, 0);
  EXPECT_EQ(marked_extents.xmax, 0);
  EXPECT_EQ(marked_extents.zmax3, 0);
  EXPECT_EQ(views[0].xmin, before.xmin);
  EXPECT_EQ(view_scale, 250);

  elem_new_line(0, 0, 0, 0, 0, 1, 1);
  elem_new_arc(0, 0, 0, 5, 5, 2, 2, GEOM_TWO_PI, 0, 0);
  elem_new_spline(0, 0, 0, 0, 0, 1, 1, 2, 1, 3, 0);
  elem_new_line3d(0, 0, 0, 10, 10, 10, 11, 11, 12);
  LightElem light;
  light.light_size = 1;
  light.angle = 20;
  light.position = Point3{1, 1, 1, 0};
  light.target = Point3{1, 1, 0, 0};
  elem_append(light);
  elem_new_camera(0, 0, 0, 0, -5, 1.5, 0, 0, 1.5, 60, 0);
  Point3 v[4] = {{0, 0, 0, 0}, {1, 0, 0, 0}, {1, 1, 0, 0}, {0, 1, 0, 0}};
  const int32_t sizes[2] = {3, 3};
  const int32_t idx[6] = {0, 1, 2, 0, 2, 3};
  elem_new_mesh(0, 0, 0, 4, 2, sizes, v, idx, "Default", 0);
  elem_append(test_pattern(PATTERN_ONE_LINE, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, CONTOUR_END, {7, 7, 0}}));
  elem_new_line(0, 0, 0, 90, 90, 91, 91);  // not marked
  for (ElemHeader* e : elements())
    if (e != elem_list_tail) e->mark = 1;
  view_zoom_to_extents(1);
  EXPECT_EQ(marked_extents.count, 1 + 12 + 12 + 1 + 1 + 3 + 6 + 5);
  EXPECT_DOUBLE_EQ(marked_extents.xmin, -0.0);
  EXPECT_DOUBLE_EQ(marked_extents.ymin, -5);  // the camera's eye
  EXPECT_DOUBLE_EQ(marked_extents.xmax, 11);
  EXPECT_DOUBLE_EQ(marked_extents.ymax, 11);
  EXPECT_DOUBLE_EQ(marked_extents.zmin3, 0);
  EXPECT_DOUBLE_EQ(marked_extents.zmax3, 12);
  EXPECT_DOUBLE_EQ(marked_extents.xmin3, 0);
  EXPECT_EQ(marked_extents.xmin, extents.xmin);
  EXPECT_EQ(views[0].xmin, before.xmin);

  // Zooming keeps the count of the last marked pass.
  view_zoom_to_extents(0);
  EXPECT_EQ(marked_extents.count, 41);
}

TEST_F(ExtentsView, ThreeDBoxIgnoresTwoDPointsCountedFirst) {
  elem_new_line(0, 0, 0, 0, 0, 1, 1);
  elem_new_line3d(0, 0, 0, 5, 6, 7, 8, 9, 10);
  for (ElemHeader* e : elements()) e->mark = 1;
  view_zoom_to_extents(1);
  EXPECT_DOUBLE_EQ(marked_extents.xmin3, 5);
  EXPECT_DOUBLE_EQ(marked_extents.ymin3, 6);
  EXPECT_DOUBLE_EQ(marked_extents.zmin3, 7);
  EXPECT_DOUBLE_EQ(marked_extents.xmin, 0);
  EXPECT_DOUBLE_EQ(marked_extents.xmax, 8);
}

TEST_F(ExtentsView, ArcsTextsAndDimensionsGrowTheBox) {
  struct Case {
    const char* what;
    double rx, ry, sweep, start, rotation;
    double xmin, xmax, ymin, ymax;
  };
  const Case cases[] = {
      {"full circle: its square", 2, 2, GEOM_TWO_PI, 1, 0, -2, 2, -2, 2},
      {"quarter arc: nine samples", 2, 2, GEOM_PI / 2, 0, 0, 0, 2, 0, 2},
      {"full ellipse, turned a right angle", 2, 1, GEOM_TWO_PI, 0, GEOM_PI / 2, -1, 1, -2, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    drawing_reset();
    elem_new_arc(0, 0, 0, 0, 0, c.rx, c.ry, c.sweep, c.start, c.rotation);
    elem_list_tail->mark = 1;
    view_zoom_to_extents(1);
    EXPECT_NEAR(marked_extents.xmin, c.xmin, 1e-12);
    EXPECT_NEAR(marked_extents.xmax, c.xmax, 1e-12);
    EXPECT_NEAR(marked_extents.ymin, c.ymin, 1e-12);
    EXPECT_NEAR(marked_extents.ymax, c.ymax, 1e-12);
  }

  drawing_reset();
  TextElem text = test_text(3, 4, "Wide text");
  text.height = 10;
  text.alignment = TEXT_RIGHT;
  elem_append(text);
  elem_list_tail->mark = 1;
  view_zoom_to_extents(1);
  EXPECT_DOUBLE_EQ(marked_extents.xmax, 3);
  EXPECT_LT(marked_extents.xmin, 3 - 1.0);
  EXPECT_DOUBLE_EQ(marked_extents.ymin, 4);
  // One height of 10 mm at 1:100, and the glyph strokes reaching over it.
  EXPECT_GE(marked_extents.ymax, 5);
  EXPECT_LT(marked_extents.ymax, 5.1);
  EXPECT_EQ(marked_extents.count, 4);

  drawing_reset();
  DimElem dim = test_dim({test_dim_point(1, 2, 1, -50, 0), test_dim_point(6, 2, 0, 0, 0)});
  dim.chain_space = 1.5;
  elem_append(dim);
  elem_list_tail->mark = 1;
  view_zoom_to_extents(1);
  // The terminators reach below the dimension line, the figure above it.
  EXPECT_LT(marked_extents.ymin, 2);
  EXPECT_GT(marked_extents.ymax, 2 + 0.25);
  EXPECT_GE(marked_extents.xmax, 6);
  EXPECT_EQ(marked_extents.count, 3);
}

// What every stroke, arc, curve and fill of a drawing pass reaches beyond
// a box, in metres.
struct Overshoot {
  double xmin, ymin, xmax, ymax;
  bool printed_only;  // guide-pen strokes are not printed
  double most = 0.0;
  void point(double x, double y) { most = std::max({most, xmin - x, x - xmax, ymin - y, y - ymax}); }
};
Overshoot* overshoot = nullptr;

void check_line(uint8_t pen, uint8_t, double x1, double y1, double x2, double y2) {
  if (overshoot->printed_only && pen == PEN_GUIDE) return;
  overshoot->point(x1, y1);
  overshoot->point(x2, y2);
}
void check_fill(double, double, double, int32_t n, const Point2* p) {
  for (int32_t i = 0; i < n; ++i)
    if (!geom_is_end_marker(p[i].x, p[i].y)) overshoot->point(p[i].x, p[i].y);
}

// How far the ink of the marked elements, as a writer receives it (arcs and
// curves as chords, texts as glyph strokes), reaches beyond extents.
double ink_beyond_extents(bool printed_only) {
  Overshoot o{extents.xmin, extents.ymin, extents.xmax, extents.ymax, printed_only};
  overshoot = &o;
  {
    OutdevInstall guard;
    outdev.line = check_line;
    outdev.fill = check_fill;
    outdev.active = 1;
    draw_scope(DRAW_PLAIN, DrawScope::MARKED);
  }
  overshoot = nullptr;
  return o.most;
}

// Figures and terminators of every dimension kind, room inscriptions, door
// and window symbols, hatches and texts with descenders, each alone at the
// edge of its drawing: the box holds all they draw, in both modes.
TEST_F(ExtentsView, ExtentsHoldAllInkOfEveryKind) {
  ASSERT_TRUE(render_fixture_build("symbols"));
  elem_new_text(0, 0, 0, -3, -9, 0.4, 5, 1, 0.1, 1.5, "gjpqy,", 0, "Simpel", TEXT_LEFT);
  std::vector<ElemHeader*> all;
  for (ElemHeader* e = elem_list_head; e; e = e->next) all.push_back(e);
  for (ElemHeader* e : all) {
    SCOPED_TRACE(std::to_string(e->kind));
    for (ElemHeader* other : all) other->mark = other == e;
    for (uint8_t mode : {1, 2}) {
      view_zoom_to_extents(mode);
      if (!extents.started) continue;
      EXPECT_LE(ink_beyond_extents(mode == 2), 1e-9) << "mode " << int(mode);
    }
  }
}

// The box of the ink a writer receives of the marked elements: every
// stroke (arcs, curves and texts come as chords and glyph strokes) and
// every filling, leaving out the guide pen when printed only.
struct DrawnInk {
  bool printed_only;
  bool any = false;
  double xmin = 0, xmax = 0, ymin = 0, ymax = 0;
  void point(double x, double y) {
    if (!any) {
      xmin = xmax = x;
      ymin = ymax = y;
      any = true;
    }
    xmin = std::min(xmin, x);
    xmax = std::max(xmax, x);
    ymin = std::min(ymin, y);
    ymax = std::max(ymax, y);
  }
};
DrawnInk* drawn = nullptr;

DrawnInk drawn_ink(bool printed_only) {
  DrawnInk ink{printed_only};
  drawn = &ink;
  {
    OutdevInstall guard;
    outdev.line = [](uint8_t pen, uint8_t, double x1, double y1, double x2, double y2) {
      if (drawn->printed_only && pen == PEN_GUIDE) return;
      drawn->point(x1, y1);
      drawn->point(x2, y2);
    };
    outdev.fill = [](double, double, double, int32_t n, const Point2* p) {
      for (int32_t i = 0; i < n; ++i)
        if (!geom_is_end_marker(p[i].x, p[i].y)) drawn->point(p[i].x, p[i].y);
    };
    outdev.active = 1;
    draw_scope(DRAW_PLAIN, DrawScope::MARKED);
  }
  drawn = nullptr;
  return ink;
}

// One element alone, of every kind and shape, in the plan and in a
// projection: the printed box (mode 2) and the written one (mode 3) are
// the box of the ink the writers receive, no larger (beyond the chords a
// curve is cut into) and never smaller; an element that prints nothing
// gives no box.
TEST_F(ExtentsView, PrintedExtentsAreTheDrawnInk) {
  ASSERT_TRUE(render_fixture_build("symbols"));
  std::vector<std::unique_ptr<ElemHeader>> kinds;
  for (ElemHeader* e = elem_list_head; e; e = e->next) kinds.push_back(e->clone());
  auto text = [&](double x, double y, double angle, uint8_t alignment, const char* s, double width = 1.0,
                  double fit = 0.0) {
    TextElem t = test_text(x, y, s);
    t.angle = angle;
    t.alignment = alignment;
    t.width_factor = width;
    t.fit_length = fit;
    t.height = 5;
    kinds.push_back(t.clone());
  };
  SplineElem spline;
  spline.p0 = Point2{0, 0, 0};
  spline.p1 = Point2{1, 10, 0};
  spline.p2 = Point2{3, -10, 0};
  spline.p3 = Point2{4, 0, 0};
  kinds.push_back(spline.clone());
  spline.p1 = Point2{-3, 2, 0};
  spline.p2 = Point2{7, 2, 0};
  kinds.push_back(spline.clone());
  text(1, 2, 0.0, TEXT_LEFT, "gjpqy,");
  text(1, 2, 0.7, TEXT_RIGHT, "Turned\nTwo lines", 0.6);
  text(1, 2, 2.5, TEXT_CENTRED, "W\xe4gen\n\n(x)", 1.8);
  text(1, 2, -1.2, TEXT_JUSTIFIED, "Fitted", 1.0, 3.0);
  text(1, 2, GEOM_PI, TEXT_LEFT, "Upside down");
  text(1, 2, 0.3, TEXT_LEFT, "");
  text(1, 2, 0.0, TEXT_CENTRED, "   ");
  RoomElem room = test_room(2, 2, {{0, 0, 0}, {8, 0, 0}, {8, 6, 0}, {0, 6, 0}, CONTOUR_END});
  kinds.push_back(room.clone());  // no inscription: prints nothing
  room.show_number = 1;
  room.number = "A.12";
  room.angle = 0.4;
  kinds.push_back(room.clone());
  LineElem guide;
  guide.pen = PEN_GUIDE;
  guide.p2 = Point2{5, 5, 0};
  kinds.push_back(guide.clone());
  PatternElem filling = test_pattern(PATTERN_FILLING, {{-1, -1, 0}, {2, -1, 0}, {0, 3, 0}, CONTOUR_END});
  filling.pen = PEN_GUIDE;  // a filling has no pen: printed all the same
  kinds.push_back(filling.clone());
  PatternElem sparse =
      test_pattern(PATTERN_ONE_LINE, {{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}, CONTOUR_END});
  sparse.spacing1 = 1.7;
  sparse.origin = Point2{0, 0.5, 0};
  kinds.push_back(sparse.clone());
  Line3dElem line3d;
  line3d.p1 = Point3{1, 2, 3, 0};
  line3d.p2 = Point3{-4, 5, 9, 0};
  kinds.push_back(line3d.clone());
  drawing_reset();
  elem_new_camera(0, 0, 0, 0, -12, 2, 0, 0, 2, 50, 0);
  elem_new_light(0, 0, 0, LIGHT_SPOT, 0, 1, 30, 0.5, -20, -20, 3, -15, -15, 0, 1, 1, 1);
  elem_new_light(0, 0, 0, LIGHT_POINT, 0, 1, 30, 0.5, 20, 20, 3, 0, 0, 0, 1, 1, 1);
  for (ElemHeader* e = elem_list_head; e; e = e->next) kinds.push_back(e->clone());

  for (uint8_t view : {uint8_t{VIEW_PLAN}, uint8_t{VIEW_ISO_FRONT_LEFT}}) {
    view_type = view;
    for (const auto& kind : kinds) {
      drawing_reset();
      elem_append(*kind);
      ElemHeader* e = elem_list_tail;
      SCOPED_TRACE("view " + std::to_string(view) + ", kind " + std::to_string(e->kind) + ", pen " +
                   std::to_string(e->pen));
      e->mark = 1;
      for (uint8_t mode : {2, 3}) {
        SCOPED_TRACE("mode " + std::to_string(mode));
        const DrawnInk ink = drawn_ink(mode == 2);
        view_zoom_to_extents(mode);
        ASSERT_EQ(bool(extents.started), ink.any);
        if (!ink.any) continue;
        // Chords lie inside their curve; 1 % of the size allows for them.
        const double slack = 0.01 * std::max(ink.xmax - ink.xmin, ink.ymax - ink.ymin) + 1e-9;
        EXPECT_LE(extents.xmin, ink.xmin + 1e-9);
        EXPECT_LE(extents.ymin, ink.ymin + 1e-9);
        EXPECT_GE(extents.xmax, ink.xmax - 1e-9);
        EXPECT_GE(extents.ymax, ink.ymax - 1e-9);
        EXPECT_GE(extents.xmin, ink.xmin - slack);
        EXPECT_GE(extents.ymin, ink.ymin - slack);
        EXPECT_LE(extents.xmax, ink.xmax + slack);
        EXPECT_LE(extents.ymax, ink.ymax + slack);
      }
    }
  }
  view_type = VIEW_PLAN;
}

// A long list is measured on every core: the boxes and the count are
// those of one run over it, in every mode and in a projection, also when a
// piece has to load a font on the interface's thread.
TEST_F(ExtentsView, ExtentsOnEveryCoreAreThoseOfOneRun) {
  ASSERT_TRUE(render_fixture_build("symbols"));
  elem_new_line3d(0, 0, 0, -7, 2, -3, 4, 40, 9);
  elem_new_camera(0, 0, 0, 0, -60, 2, 0, 0, 2, 50, 0);
  for (ElemHeader* e = elem_list_head; e; e = e->next) e->mark = 1;
  TextElem other_font = test_text(30, 30, "Font loaded late");
  other_font.font = "Rund";
  elem_append(other_font);
  elem_list_tail->mark = 1;
  struct Saved {
    ~Saved() { extents_parallel_min_elements = EXTENTS_PARALLEL_MIN_ELEMENTS; }
  } saved;
  for (uint8_t view : {uint8_t{VIEW_PLAN}, uint8_t{VIEW_ISO_FRONT_RIGHT}}) {
    view_type = view;
    for (uint8_t mode : {1, 2, 3}) {
      SCOPED_TRACE("view " + std::to_string(view) + ", mode " + std::to_string(mode));
      font_slots_clear();
      extents_parallel_min_elements = 1 << 30;
      view_zoom_to_extents(mode);
      const ViewExtents one = extents;
      const int32_t count = marked_extents.count;
      font_slots_clear();
      extents_parallel_min_elements = 1;
      view_zoom_to_extents(mode);
      EXPECT_EQ(extents.started, one.started);
      EXPECT_EQ(extents.xmin, one.xmin);
      EXPECT_EQ(extents.xmax, one.xmax);
      EXPECT_EQ(extents.ymin, one.ymin);
      EXPECT_EQ(extents.ymax, one.ymax);
      EXPECT_EQ(extents.xmin3, one.xmin3);
      EXPECT_EQ(extents.zmax3, one.zmax3);
      EXPECT_EQ(extents.ymin3, one.ymin3);
      EXPECT_EQ(marked_extents.count, count);
    }
  }
  view_type = VIEW_PLAN;
}

// The curve, not its control points: the spline through (0, 0), (1, 10),
// (3, -10), (4, 0) reaches 30 t (1 - t) (1 - 2 t) up and down, at most
// 5 / sqrt 3, in every mode; printed (mode 2), half the 0.13 mm of pen 0
// at 1:100 (6.5 mm) further.
TEST_F(ExtentsView, ASplineCountsByItsCurve) {
  box(100, 100);
  elem_new_spline(0, 0, 0, 0, 0, 1, 10, 3, -10, 4, 0);
  elem_list_tail->mark = 1;
  for (uint8_t mode : {0, 1, 2, 3}) {
    SCOPED_TRACE(int(mode));
    const double pen = mode == 2 ? 0.0065 : 0.0;
    const double reach = 5.0 / std::sqrt(3.0) + pen;
    view_zoom_to_extents(mode);
    EXPECT_NEAR(extents.ymax, reach, 1e-12);
    EXPECT_NEAR(extents.ymin, -reach, 1e-12);
    EXPECT_NEAR(extents.xmin, -pen, 1e-12);
    EXPECT_NEAR(extents.xmax, 4 + pen, 1e-12);
  }
}

// The printed box leaves out what no writer prints: cameras, lights and
// the guide pen, far away from the one printed line, whose pen of 0.13 mm
// at 1:100 reaches 6.5 mm round it.
TEST_F(ExtentsView, PrintedExtentsLeaveOutWhatIsNotPrinted) {
  elem_new_line(0, 0, 0, 0, 0, 4, 1);
  elem_new_camera(0, 0, 0, 100, 100, 2, 90, 90, 2, 50, 0);
  elem_new_light(0, 0, 0, 0, 0, 1, 30, 0.5, -50, -50, 3, -40, -40, 0, 1, 1, 1);
  elem_new_line(0, PEN_GUIDE, 0, -80, 0, 80, 0);
  elem_new_text(0, PEN_GUIDE, 0, 0, 60, 0, 5, 1, 0.1, 1.5, "guide", 0, "Simpel", TEXT_LEFT);
  for (ElemHeader* e = elem_list_head; e; e = e->next) e->mark = 1;
  view_zoom_to_extents(2);
  EXPECT_NEAR(extents.xmin, -0.0065, 1e-12);
  EXPECT_NEAR(extents.ymin, -0.0065, 1e-12);
  EXPECT_NEAR(extents.xmax, 4.0065, 1e-12);
  EXPECT_NEAR(extents.ymax, 1.0065, 1e-12);
  // The screen's box still shows them all.
  view_zoom_to_extents(1);
  EXPECT_LE(extents.xmin, -80);
  EXPECT_GE(extents.xmax, 100);
  EXPECT_GE(extents.ymax, 60);
}

TEST_F(ExtentsView, EverythingAtOnePointKeepsTheScale) {
  box(120, 90);
  view_scale = 200;
  LightElem light;
  light.light_size = 1;
  light.angle = 20;
  light.position = light.target = Point3{7, 3, 2, 0};
  elem_append(light);
  view_zoom_to_extents(0);
  EXPECT_EQ(view_scale, 200);
  EXPECT_DOUBLE_EQ(centre_x(), 7);
  EXPECT_DOUBLE_EQ(centre_y(), 3);
  EXPECT_GT(views[0].xscale, 0);
}

TEST_F(ExtentsView, PerspectiveFillsTheViewAngle) {
  box(100, 100);
  view_type = VIEW_PERSPECTIVE;
  view_camera.view_angle = 50;
  elem_new_line3d(0, 0, 0, -1, 10, 0, 1, 10, 2);
  view_zoom_to_extents(0);
  EXPECT_NEAR(height(), 1.0 * 1.1, 1e-12);
  EXPECT_NEAR(centre_x(), 0, 1e-12);
}

TEST_F(ExtentsView, ViewWithoutPixelsIsLeftAlone) {
  elem_new_line(0, 0, 0, 0, 0, 10, 5);
  views[0].xmin = -3;
  view_zoom_to_extents(0);
  view_zoom_to_window(0, 0, 10, 5);
  EXPECT_EQ(views[0].xmin, -3);
  EXPECT_EQ(view_scale, 500);
  EXPECT_EQ(views[0].xscale, 0);
}

TEST_F(ExtentsView, ZoomWindow) {
  struct Case {
    const char* what;
    double x0, y0, x1, y1;
    double scale;
    double cx, cy;
  };
  // A 300 x 150 view, twice as wide as high: at 1:N it shows N / 10 m across.
  const Case cases[] = {
      {"upper left to lower right", -4, 3, 6, -1, 100, 1, 1},
      {"lower right to upper left", 6, -1, -4, 3, 100, 1, 1},
      {"half a millimetre both ways: nothing", 1, 1, 1.0005, 1.0005, 500, 0, 0},
      {"half a millimetre by 2 m: the height decides", 1, 1, 1.0005, 3, 40, 1.00025, 2},
      {"a box that gives 1:740", 0, 0, 74, 1, 740, 37, 0.5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    view_scale = 500;
    views[0] = ViewRec{};
    box(300, 150);
    view_zoom_to_window(c.x0, c.y0, c.x1, c.y1);
    EXPECT_NEAR(view_scale, c.scale, 1e-9);
    EXPECT_NEAR(centre_x(), c.cx, 1e-12);
    EXPECT_NEAR(centre_y(), c.cy, 1e-12);
  }
  view_scale_ladder_metric();
  view_scale_step_up();
  EXPECT_EQ(view_scale, 1000);
}

TEST_F(ExtentsView, PanRememberBackDefaultScrollAndCentre) {
  box(300, 300);  // 50 x 50 m around the origin
  view_pan_by(0, 0, 1, 0);
  EXPECT_DOUBLE_EQ(views[0].xmin, -24);
  EXPECT_DOUBLE_EQ(views[0].xmax, 26);

  view_remember();
  view_scale = 1000;
  view_scroll_quarter(1, -1);
  EXPECT_DOUBLE_EQ(centre_x(), 1 + 12.5);  // a quarter of the 50 m shown
  EXPECT_DOUBLE_EQ(centre_y(), -12.5);
  EXPECT_DOUBLE_EQ(views[0].xmax - views[0].xmin, 100);
  view_back();
  EXPECT_EQ(view_scale, 500);
  EXPECT_DOUBLE_EQ(centre_x(), 1);
  EXPECT_DOUBLE_EQ(views[0].xmax - views[0].xmin, 50);

  pointer_world = Point2{-7, 8, 0};
  view_center_on_cursor();
  EXPECT_DOUBLE_EQ(centre_x(), -7);
  EXPECT_DOUBLE_EQ(centre_y(), 8);
  view_zoom_center_at(3, 4);
  EXPECT_DOUBLE_EQ(centre_y(), 4);
  EXPECT_DOUBLE_EQ(views[0].xmax - views[0].xmin, 50);

  RecordingUi ui;
  view_scale = 42;
  view_default();
  EXPECT_EQ(view_scale, 500);
  EXPECT_DOUBLE_EQ(centre_x(), 0);
  EXPECT_DOUBLE_EQ(views[0].xmax - views[0].xmin, 50);
  EXPECT_EQ(ui.calls_starting("scale_label"), (std::vector<std::string>{"scale_label  1:500 "}));
}

TEST_F(ExtentsView, RedrawClearsAndDrawsTheWholeDrawing) {
  offscreen(100, 100);
  elem_new_line(0, 0, 0, -5, 0, 5, 0);
  static int markers;
  markers = 0;
  display_hooks.request_markers_toggle = [] { ++markers; };
  view_redraw();
  EXPECT_EQ(markers, 1);
  RecordingOutdev rec;
  view_redraw();
  EXPECT_EQ(rec.slots(), "line");
}

}  // namespace
