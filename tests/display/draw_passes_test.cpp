// Element drawing: pass order, colours by mode and layer, markers, the 3D
// views and the drag preview.

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "display/draw.h"
#include "display_fixture.h"
#include "model/geom.h"
#include "model/layers.h"
#include "pixels.h"
#include "support/recording_device.h"
#include "support/test_records.h"

namespace {

class DrawPasses : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    view_options.show_guide_points = 0;
  }

  static ElemHeader* line(int layer, int pen, double x1, double y1, double x2, double y2) {
    elem_new_line(layer, pen, 0, x1, y1, x2, y2);
    return elem_list_tail;
  }
  // A filled square whose red channel tells it apart.
  static ElemHeader* filling(int layer, double red) {
    PatternElem p = test_pattern(PATTERN_FILLING, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, CONTOUR_END});
    p.layer = static_cast<uint16_t>(layer);
    p.r = red;
    elem_append(p);
    return elem_list_tail;
  }
  static void wall(double x0, double y0, double x1, double y1, double z1, int openings = 0) {
    const double c[24] = {x0, y0, 0,  x1, y0, 0,  x1, y1, 0,  x0, y1, 0,
                          x0, y0, z1, x1, y0, z1, x1, y1, z1, x0, y1, z1};
    WallSegment s[4];
    const double px[4] = {x0, x1, x1, x0}, py[4] = {y0, y0, y1, y1};
    for (int i = 0; i < 4; ++i) s[i] = WallSegment{{px[i], py[i], 0}, {px[(i + 1) % 4], py[(i + 1) % 4], 0}};
    WallOpening o;
    for (int i = 0; i < 8; ++i)
      o.corner[i] =
          Point3{x0 + 1 + (i % 4 == 1 || i % 4 == 2), y0 + (i % 4 >= 2) * (y1 - y0), i < 4 ? 1.0 : 2.0, 0};
    elem_new_wall(0, 1, 0, c, 4, s, openings, &o, "Default", 0, 0, 0, 0, 0, 0, 0);
  }
};

TEST_F(DrawPasses, FillingsFirstAndTheCurrentLayerOverTheOthers) {
  layers[2].shown = 1;
  line(0, 0, 0, 0, 1, 1);  // L1: current layer
  filling(2, 0.2);         // F1: other shown layer
  line(2, 1, 0, 0, 2, 2);  // L2
  filling(0, 0.4);         // F0
  line(3, 0, 0, 0, 3, 3);  // L3: hidden layer
  elem_new_spline(0, 0, 0, 0, 0, 1, 1, 2, 1, 3, 0);
  RecordingDevice rec(RecordingDevice::ALL, 0);
  draw_all(DRAW_NORMAL);
  EXPECT_EQ(rec.text(),
            "fill rgb=0.2,0,0 0,0 1,0 1,1 0,1 end [other layer]\n"  // F1
            "fill rgb=0.4,0,0 0,0 1,0 1,1 0,1 end\n"                // F0
            "line 1/0 0,0 2,2 [other layer]\n"                      // L2 before L1
            "line 0/0 0,0 1,1\n"
            "bezier 0/0 0,0 1,1 2,1 3,0\n");
  EXPECT_EQ(draw_refresh_now, 1);
}

TEST_F(DrawPasses, DrawModeFromLayerMarkAndMode) {
  layers[2].shown = 1;
  struct Case {
    const char* what;
    int layer;
    int mark;
    uint8_t mode;
    int draw_mode;
  };
  const Case cases[] = {
      {"current layer", 0, 0, DRAW_NORMAL, DRAWMODE_NORMAL},
      {"other shown layer", 2, 0, DRAW_NORMAL, DRAWMODE_OTHER_LAYER},
      {"marked on another layer", 2, 1, DRAW_NORMAL, DRAWMODE_SELECTED},
      {"highlighted", 0, 0, DRAW_HIGHLIGHT, DRAWMODE_SELECTED},
      {"plain: marked, other layer, full colour", 2, 1, DRAW_PLAIN, DRAWMODE_NORMAL},
      {"erase whatever the mark", 0, 1, DRAW_ERASE, DRAWMODE_ERASE},
      {"clear acts as normal for one element", 2, 0, DRAW_CLEAR, DRAWMODE_OTHER_LAYER},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ElemHeader* e = line(c.layer, 3, 0, 0, 1, 1);
    e->mark = static_cast<uint8_t>(c.mark);
    RecordingOutdev rec;
    draw_element(c.mode, e);
    ASSERT_EQ(rec.calls.size(), 1u);
    EXPECT_EQ(rec.calls[0].draw_mode, c.draw_mode);
  }
}

TEST_F(DrawPasses, HiddenAndTemporaryLayersOnlyWhenCurrent) {
  ElemHeader* hidden = line(5, 0, 0, 0, 1, 1);
  ElemHeader* temp = line(LAYER_TEMP_3D, 0, 0, 0, 1, 1);
  ElemHeader* symbol = line(LAYER_TEMP_SYMBOL, 0, 0, 0, 1, 1);
  RecordingOutdev rec;
  for (ElemHeader* e : {hidden, temp, symbol}) draw_element(DRAW_NORMAL, e);
  draw_all(DRAW_NORMAL);
  EXPECT_TRUE(rec.calls.empty());
  for (int layer : {5, int(LAYER_TEMP_3D), int(LAYER_TEMP_SYMBOL)}) {
    cur_layer = layer;
    rec.calls.clear();
    draw_all(DRAW_NORMAL);
    ASSERT_EQ(rec.calls.size(), 1u) << layer;
    EXPECT_EQ(rec.calls[0].draw_mode, DRAWMODE_NORMAL);
  }
}

TEST_F(DrawPasses, SelectedTakesMarkedElementsAndMarkedPoints) {
  layers[2].shown = 1;
  line(0, 0, 0, 0, 1, 1);                                       // neither
  line(2, 0, 0, 0, 2, 2)->mark = 1;                             // marked
  static_cast<LineElem*>(line(0, 0, 0, 0, 3, 3))->p2.mark = 1;  // a marked point
  line(7, 0, 0, 0, 4, 4)->mark = 1;                             // marked, but on a hidden layer
  offscreen(200, 200);
  RecordingOutdev rec;
  draw_selected(DRAW_NORMAL);
  std::vector<double> ends;
  for (const SlotCall& c : rec.of("line"))
    if (c.pen == 0) ends.push_back(c.v[2]);
  EXPECT_EQ(ends, (std::vector<double>{2, 3}));
  EXPECT_EQ(rec.of("line").size(), 4u);  // plus the marker cross at the marked point
}

TEST_F(DrawPasses, MarkersAtMarkedPointsInTheModesColour) {
  offscreen(200, 200);
  LineElem* l = static_cast<LineElem*>(line(0, 4, 0, 0, 3, 1));
  l->p1.mark = 1;
  struct Case {
    uint8_t mode;
    int active;
    std::string slots;
    int marker_mode;
  };
  const Case cases[] = {
      {DRAW_NORMAL, 0, "line line line", DRAWMODE_SELECTED},
      {DRAW_PLAIN, 0, "line line line", DRAWMODE_SELECTED},
      {DRAW_ERASE, 0, "line line line", DRAWMODE_ERASE},
      {DRAW_NORMAL, 1, "line", 0},
  };
  for (const Case& c : cases) {
    RecordingOutdev rec;
    outdev.active = static_cast<uint8_t>(c.active);
    draw_element(c.mode, l);
    ASSERT_EQ(rec.slots(), c.slots) << int(c.mode);
    if (rec.calls.size() == 3) {
      EXPECT_EQ(rec.calls[1].pen, PEN_GUIDE);
      EXPECT_EQ(rec.calls[1].draw_mode, c.marker_mode);
      EXPECT_NEAR(rec.calls[2].v[0], 0, views[0].xscale);
    }
  }
}

TEST_F(DrawPasses, IsometricViewShowsOnlyTheSpatialKinds) {
  line(0, 0, 0, 0, 1, 1);
  elem_new_arc(0, 0, 0, 0, 0, 1, 1, GEOM_TWO_PI, 0, 0);
  elem_new_spline(0, 0, 0, 0, 0, 1, 1, 2, 1, 3, 0);
  elem_append(test_text(0, 0, "T"));
  filling(0, 0.5);
  wall(0, 0, 4, 0.3, 2.5, 1);
  // A square face with a square hole joined by a bridge there and back.
  Point3 v[8] = {{0, 0, 0, 0}, {4, 0, 0, 0}, {4, 4, 0, 0}, {0, 4, 0, 0},
                 {1, 1, 0, 0}, {3, 1, 0, 0}, {3, 3, 0, 0}, {1, 3, 0, 0}};
  const int32_t sizes[1] = {10};
  const int32_t idx[10] = {0, 1, 2, 3, 0, 4, 7, 6, 5, 4};
  elem_new_mesh(0, 2, 0, 8, 1, sizes, v, idx, "Default", 0);
  view_type = VIEW_ISO_FRONT_LEFT;
  RecordingOutdev rec;
  draw_all(DRAW_NORMAL);
  const auto lines = rec.of("line");
  ASSERT_EQ(rec.calls.size(), lines.size());
  ASSERT_EQ(lines.size(), 12u + 12u + 8u);  // wall, opening, mesh without the bridge
  view_project(0, 0, 0);
  EXPECT_EQ(lines[0].v[0], geo_result.view_u);
  view_project(4, 0, 0);
  EXPECT_EQ(lines[0].v[2], geo_result.view_u);
  EXPECT_EQ(lines[0].v[3], geo_result.view_v);
  view_project(4, 0.3, 2.5);  // the vertical edge c2-c6 is the wall's eleventh
  EXPECT_EQ(lines[10].v[3], geo_result.view_v);
  // Every mesh edge is a side of the outline or of the hole.
  for (size_t i = 24; i < lines.size(); ++i) {
    const double du = lines[i].v[2] - lines[i].v[0], dv = lines[i].v[3] - lines[i].v[1];
    const double len = std::hypot(du, dv);
    view_project(0, 0, 0);
    const double u0 = geo_result.view_u, v0 = geo_result.view_v;
    view_project(4, 0, 0);
    const double side = std::hypot(geo_result.view_u - u0, geo_result.view_v - v0);
    EXPECT_TRUE(std::fabs(len - side) < 1e-9 || std::fabs(len - side / 2) < 1e-9) << i;
  }
}

TEST_F(DrawPasses, GableWallEdgesInTheirOrder) {
  const double c[24] = {0, 0, 0, 4, 0, 0, 4, 1, 0, 0, 1, 0, 0, 0, 2, 4, 0, 2, 4, 1, 2, 0, 1, 2};
  elem_new_wall(0, 1, 0, c, 0, nullptr, 0, nullptr, "Default", 1, 0, 0.5, 4, 4, 0.5, 4);
  static_cast<WallElem*>(elem_list_tail)->gable_a.mark = 1;
  view_type = VIEW_FRONT;  // (x, z)
  offscreen(200, 200);
  RecordingOutdev rec;
  draw_element(DRAW_NORMAL, elem_list_tail);
  std::vector<std::vector<double>> edges;
  for (const SlotCall& c : rec.of("line"))
    if (c.pen == 1) edges.push_back(c.v);
  ASSERT_EQ(edges.size(), 15u);
  EXPECT_EQ(edges[4], (std::vector<double>{0, 2, 0, 4}));  // c4 to A
  EXPECT_EQ(edges[5], (std::vector<double>{0, 4, 4, 2}));  // A to c5
  EXPECT_EQ(edges[8], (std::vector<double>{0, 4, 4, 4}));  // the ridge A-B
  EXPECT_EQ(rec.of("line").size(), 15u + 2u);              // and A's marker
  EXPECT_EQ(rec.calls[9].pen, PEN_GUIDE);                  // right after the ridge
}

// An edge seen end-on (a wall's, an opening's, a face's or a 3D line's
// vertical edge in the plan, a horizontal one from the front) has no
// length: every export leaves it out, while the screen shows its pixel. A
// dot that is meant, a point hatch's, stays.
TEST_F(DrawPasses, ExportsLeaveOutEdgesSeenEndOn) {
  wall(0, 0, 4, 0.3, 2.5, 1);
  // A stair's tread: a box of six faces.
  Point3 v[8] = {{5, 0, 0, 0},   {6, 0, 0, 0},   {6, 1, 0, 0},   {5, 1, 0, 0},
                 {5, 0, 0.2, 0}, {6, 0, 0.2, 0}, {6, 1, 0.2, 0}, {5, 1, 0.2, 0}};
  const int32_t sizes[6] = {4, 4, 4, 4, 4, 4};
  const int32_t idx[24] = {0, 1, 2, 3, 7, 6, 5, 4, 0, 4, 5, 1, 1, 5, 6, 2, 2, 6, 7, 3, 3, 7, 4, 0};
  elem_new_mesh(0, 2, 0, 8, 6, sizes, v, idx, "Default", 0);
  elem_new_line3d(0, 3, 0, 8, 0, 0, 8, 0, 3);  // vertical
  elem_new_line3d(0, 3, 0, 9, 0, 0, 9, 2, 0);  // along y
  PatternElem dots =
      test_pattern(PATTERN_POINTS, {{10, 0, 0}, {11, 0, 0}, {11, 1, 0}, {10, 1, 0}, CONTOUR_END});
  elem_append(dots);
  struct Case {
    uint8_t view;
    std::size_t on_screen;  // the edges of no length the screen draws
  };
  // Plan: the wall and its opening are drawn as outlines; the 8 vertical
  // edges of the tread's side faces and the vertical 3D line. Front (x, z):
  // the wall's 4 and the opening's 4 edges along y, the tread's 8 and the
  // line along y.
  for (const Case c : {Case{VIEW_PLAN, 8 + 1}, Case{VIEW_FRONT, 4 + 4 + 8 + 1}}) {
    SCOPED_TRACE(static_cast<int>(c.view));
    view_type = c.view;
    for (const uint8_t active : {0, 1}) {
      RecordingOutdev rec;
      outdev.active = active;
      draw_all(DRAW_PLAIN);
      std::size_t none = 0, dots_drawn = 0;
      for (const SlotCall& l : rec.of("line")) {
        if (l.v[0] != l.v[2] || l.v[1] != l.v[3]) continue;
        if (l.v[0] >= 10 && l.v[0] <= 11 && c.view == VIEW_PLAN)
          ++dots_drawn;
        else
          ++none;
      }
      EXPECT_EQ(none, active ? 0u : c.on_screen) << "active " << int(active);
      if (c.view == VIEW_PLAN && active) {
        EXPECT_GT(dots_drawn, 0u);
      }
    }
  }
}

TEST_F(DrawPasses, CamerasDrawTheirViewConeOnTheScreenOnly) {
  elem_new_camera(0, 3, 0, 0, 0, 1.5, 10, 0, 1.5, 60, 0);
  CameraElem* cam = static_cast<CameraElem*>(elem_list_tail);
  RecordingOutdev rec;
  draw_element(DRAW_NORMAL, cam);
  ASSERT_EQ(rec.calls.size(), 3u);
  const double w = 10 * std::tan(GEOM_PI / 6);
  EXPECT_EQ(rec.calls[0].lt, 1);
  EXPECT_NEAR(rec.calls[0].v[2], 10, 1e-9);
  EXPECT_NEAR(rec.calls[0].v[3], w, 1e-9);
  EXPECT_NEAR(rec.calls[1].v[3], -w, 1e-9);
  EXPECT_EQ(rec.calls[2].lt, 0);
  EXPECT_EQ(rec.calls[2].v, (std::vector<double>{0, 0, 10, 0}));
  EXPECT_EQ(rec.calls[2].pen, 3);

  rec.calls.clear();
  cam->active = 1;
  draw_element(DRAW_NORMAL, cam);
  EXPECT_EQ(rec.calls.at(0).pen, PEN_GUIDE);

  rec.calls.clear();
  outdev.active = 1;
  draw_element(DRAW_NORMAL, cam);
  EXPECT_TRUE(rec.calls.empty());

  // Looking straight down in the plan view the cone has no direction.
  outdev.active = 0;
  cam->target = Point3{0, 0, 0, 0};
  cam->eye = Point3{0, 0, 5, 0};
  rec.calls.clear();
  draw_element(DRAW_NORMAL, cam);
  EXPECT_EQ(rec.slots(), "line");
}

TEST_F(DrawPasses, LightsCrossCircleAndSpot) {
  LightElem light;
  light.light_size = 2.0;
  light.angle = 20;
  light.position = Point3{1, 2, 3, 0};
  light.target = Point3{1, 2, 0, 0};
  elem_append(light);
  ElemHeader* point = elem_list_tail;
  light.type = LIGHT_SPOT;
  light.angle = 90;
  light.position = Point3{0, 0, 3, 0};
  light.target = Point3{10, 0, 0, 0};
  elem_append(light);
  ElemHeader* spot = elem_list_tail;
  RecordingOutdev rec;
  draw_element(DRAW_NORMAL, point);
  const auto lines = rec.of("line");
  EXPECT_EQ(lines.size(), 3u + 18u);  // the cross, then the circle's chords through the line slot
  EXPECT_EQ(lines[0].v, (std::vector<double>{0.5, 2, 1.5, 2}));
  for (const SlotCall& c : lines) EXPECT_EQ(c.pen, PEN_GUIDE);

  rec.calls.clear();
  view_type = VIEW_PERSPECTIVE;
  view_camera.eye_y = -100;
  draw_element(DRAW_NORMAL, point);
  EXPECT_EQ(rec.of("line").size(), 3u);

  rec.calls.clear();
  view_type = VIEW_PLAN;
  draw_element(DRAW_NORMAL, spot);
  ASSERT_EQ(rec.calls.size(), 5u);
  EXPECT_NEAR(rec.calls[3].v[2], 10 * std::cos(GEOM_PI / 4), 1e-9);
  EXPECT_NEAR(rec.calls[3].v[3], 10 * std::sin(GEOM_PI / 4), 1e-9);
  EXPECT_NEAR(rec.calls[4].v[3], -10 * std::sin(GEOM_PI / 4), 1e-9);
}

TEST_F(DrawPasses, RoomsGoToTheRoomSlotWithMarkersAtBothHeights) {
  RoomElem room = test_room(2, 1.5, {{0, 0, 0}, {4, 0, 0}, {4, 3, 0}, {0, 3, 0}, CONTOUR_END});
  room.pen = 2;
  room.line_type = 1;
  room.description = "Kitchen";
  room.number = "1.01";
  room.base_z = 0.5;
  room.top_z = 3.0;
  room.show_area = room.show_volume = room.show_description = room.show_number = 1;
  elem_append(room);
  RoomElem* r = static_cast<RoomElem*>(elem_list_tail);
  r->points[1].mark = 1;
  r->label.mark = 1;
  offscreen(200, 200);
  RecordingOutdev rec;
  draw_element(DRAW_NORMAL, r);
  ASSERT_EQ(rec.slots(), "room line line line line line line");  // label, then base and top
  EXPECT_EQ(rec.calls[0].text, "Simpel|Kitchen|1.01");
  EXPECT_EQ(rec.calls[0].v[14], 5);
  view_type = VIEW_FRONT;  // the marker heights show
  rec.calls.clear();
  draw_element(DRAW_NORMAL, r);
  ASSERT_EQ(rec.slots(), "room line line line line");
  EXPECT_NEAR(rec.calls[1].v[1], 0.5, views[0].yscale);  // the horizontal strokes
  EXPECT_NEAR(rec.calls[3].v[1], 3.0, views[0].yscale);
}

TEST_F(DrawPasses, BatchFlagAndCursorAreBalancedEvenWhenAWriterThrows) {
  line(0, 0, 0, 0, 1, 1);
  offscreen(100, 100);
  static int toggles;
  toggles = 0;
  display_hooks.cursor_toggle = [] { ++toggles; };
  draw_all(DRAW_CLEAR);
  EXPECT_EQ(toggles, 3);  // drawn once after the clear, then hidden and shown
  draw_all(DRAW_NORMAL);
  EXPECT_EQ(toggles, 5);

  OutdevInstall guard;
  outdev.line = [](uint8_t, uint8_t, double, double, double, double) {
    EXPECT_EQ(draw_refresh_now, 0);
    throw std::runtime_error("write failed");
  };
  EXPECT_THROW(draw_all(DRAW_PLAIN), std::runtime_error);
  EXPECT_EQ(draw_refresh_now, 1);
}

TEST_F(DrawPasses, LastElementOnlyWhenThereIsOne) {
  RecordingOutdev rec;
  draw_last_element(DRAW_NORMAL);
  EXPECT_TRUE(rec.calls.empty());
  line(0, 0, 0, 0, 1, 1);
  line(0, 0, 0, 0, 2, 2);
  draw_last_element(DRAW_NORMAL);
  ASSERT_EQ(rec.calls.size(), 1u);
  EXPECT_EQ(rec.calls[0].v[2], 2);
}

TEST_F(DrawPasses, OtherLayersDimmedAndMarkedWhiteOnTheScreen) {
  layers[1].shown = 1;
  line(1, 3, -5, 1, 5, 1);
  line(1, 3, -5, -1, 5, -1)->mark = 1;
  offscreen(120, 120);
  draw_all(DRAW_CLEAR);
  EXPECT_EQ(view_pixel(0, 60, view_wy_to_sy(1)), 0x5A62B5u);  // 90, 98, 181
  EXPECT_EQ(view_pixel(0, 60, view_wy_to_sy(-1)), 0xFFFFFFu);
  cur_layer = 1;
  draw_all(DRAW_CLEAR);
  EXPECT_EQ(view_pixel(0, 60, view_wy_to_sy(1)), view_palettes[0][PAL_PEN_0 + 3]);
  draw_all(DRAW_ERASE);
  EXPECT_EQ(view_count(0, view_palettes[0][PAL_BACKGROUND]), 120 * 120);
}

TEST_F(DrawPasses, DragTransformTurnsAboutTheReferenceAndMovesToTheTarget) {
  draw_drag_preview(DragPreview{1, 1, 0, 5, 5, 0, GEOM_PI / 2});
  EXPECT_NEAR(draw_drag_x(2, 1), 5, 1e-12);
  EXPECT_NEAR(draw_drag_y(2, 1), 6, 1e-12);
  EXPECT_NEAR(draw_drag_x(1, 1), 5, 1e-12);
  EXPECT_NEAR(draw_drag_y(1, 1), 5, 1e-12);
}

TEST_F(DrawPasses, DragPreviewShowsOutlinesBelowFiftyAndTheBoxFromFiftyOn) {
  offscreen(160, 160);
  view_clear();
  ElemHeader* l = line(0, 0, 0, 0, 2, 0);
  l->mark = 1;
  const std::vector<uint8_t> before = view_bytes(0);
  const uint32_t bg = view_palettes[0][PAL_BACKGROUND];
  auto inverted = [&](double x, double y) { return view_pixel(0, view_wx_to_sx(x), view_wy_to_sy(y)) != bg; };

  DragPreview p{0, 0, 0, 1, 1, 0, 0, 49, -5, -5, 5, 5};
  draw_drag_preview(p);
  EXPECT_TRUE(inverted(2, 1));    // the moved line
  EXPECT_FALSE(inverted(-4, 0));  // no box
  draw_drag_preview(p);
  EXPECT_EQ(view_bytes(0), before);

  p.count = 50;
  draw_drag_preview(p);
  EXPECT_FALSE(inverted(2, 1));
  EXPECT_TRUE(inverted(-4, 0));  // the box's left side, moved
  EXPECT_TRUE(inverted(0, 6));   // its top
  draw_drag_preview(p);
  EXPECT_EQ(view_bytes(0), before);

  // A mesh turned by a right angle shows as the rectangle of its mapped corners.
  l->mark = 0;
  Point3 v[3] = {{0, 0, 0, 0}, {4, 0, 0, 0}, {4, 2, 0, 0}};
  const int32_t sizes[1] = {3};
  const int32_t idx[3] = {0, 1, 2};
  elem_new_mesh(0, 0, 0, 3, 1, sizes, v, idx, "Default", 0);
  elem_list_tail->mark = 1;
  DragPreview turn{0, 0, 0, 0, 0, 0, GEOM_PI / 2, 3};
  draw_drag_preview(turn);
  EXPECT_TRUE(inverted(0, 2));  // (0, 0) and (4, 2) map to (0, 0) and (-2, 4)
  EXPECT_TRUE(inverted(-2, 2));
  EXPECT_TRUE(inverted(-1, 4));
  EXPECT_FALSE(inverted(1, 1));
  draw_drag_preview(turn);
  EXPECT_EQ(view_bytes(0), before);

  view_type = VIEW_PERSPECTIVE;
  draw_drag_preview(p);
  EXPECT_EQ(view_bytes(0), before);
}

TEST_F(DrawPasses, DragPreviewOfTheBoxInOtherViews) {
  offscreen(160, 160);
  view_clear();
  const std::vector<uint8_t> before = view_bytes(0);
  const uint32_t bg = view_palettes[0][PAL_BACKGROUND];
  DragPreview p{0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, -2, -2, 0, 2, 2, 3};
  view_type = VIEW_FRONT;  // the outline of the rectangle x -2..2, z 1..4
  draw_drag_preview(p);
  EXPECT_NE(view_pixel(0, view_wx_to_sx(0), view_wy_to_sy(4)), bg);
  EXPECT_NE(view_pixel(0, view_wx_to_sx(-2), view_wy_to_sy(2)), bg);
  EXPECT_EQ(view_pixel(0, view_wx_to_sx(0), view_wy_to_sy(2)), bg);
  draw_drag_preview(p);
  EXPECT_EQ(view_bytes(0), before);
  view_type = VIEW_ISO_FRONT_RIGHT;
  draw_drag_preview(p);
  EXPECT_NE(view_bytes(0), before);
  draw_drag_preview(p);
  EXPECT_EQ(view_bytes(0), before);
}

}  // namespace
