// The drawing passes as printers and exporters run them: what a writer
// receives of every 2D kind, the scopes, nothing of the screen around the
// passes, the break-downs for a writer of strokes, and pen passes.

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "display/draw.h"
#include "display/outdev.h"
#include "display_fixture.h"
#include "model/geom.h"
#include "model/layers.h"
#include "model/wall_outline.h"
#include "pixels.h"
#include "support/golden_file.h"
#include "support/recording_device.h"
#include "support/test_records.h"

namespace {

// A wall along y = 0 from x 0 to 6, 0.3 thick, with a door and a window.
void wall_with_door_and_window() {
  const double c[24] = {0, 0, 0,    6, 0, 0,    6, 0.3, 0,    0, 0.3, 0,
                        0, 0, 2.75, 6, 0, 2.75, 6, 0.3, 2.75, 0, 0.3, 2.75};
  WallSegment quad[4];
  wall_outline_quad(0, 0, 6, 0, 6, 0.3, 0, 0.3, quad);
  elem_new_wall(0, 1, 0, c, 4, quad, 0, nullptr, "Default", 0, 0, 0, 0, 0, 0, 0);
  WallElem* w = elem_as<WallElem>(elem_list_tail);
  struct Opening {
    double x0, x1;
    int kind, style;
  };
  for (const Opening& o : {Opening{1, 2, OPENING_DOOR, 1}, Opening{3.5, 5, OPENING_WINDOW, 2}}) {
    Point3 box[8];
    const double xs[4] = {o.x0, o.x1, o.x1, o.x0}, ys[4] = {0, 0, 0.3, 0.3};
    for (int i = 0; i < 4; ++i) {
      box[i] = {xs[i], ys[i], 0.9, 0};
      box[i + 4] = {xs[i], ys[i], 2.1, 0};
    }
    WallElem* next = opening_cut_wall(box, o.kind, o.style, 0.9, 1.2, 0.05, 0.1, 0, w);
    ASSERT_NE(next, w);
    elem_unlink(w);
    elem_destroy(w);
    w = next;
  }
}

// One element of every 2D kind on the current layer 0 (the line marked),
// and before them a filling and a line on the shown layer 2 and a line on
// the hidden layer 3.
void every_2d_kind() {
  layers[2].shown = 1;
  PatternElem filling =
      test_pattern(PATTERN_FILLING, {{10, 0, 0}, {12, 0, 0}, {12, 2, 0}, {10, 2, 0}, CONTOUR_END});
  filling.layer = 2;
  filling.origin = filling.offset = Point2{10, 0, 0};
  filling.r = 0.2;
  filling.g = 0.4;
  filling.b = 0.6;
  elem_append(filling);
  elem_new_line(2, 1, 0, 10, -1, 12, -1);
  elem_new_line(3, 1, 0, 0, 0, 1, 1);
  elem_new_line(0, 2, 1, 0, -2, 4, -2);
  elem_list_tail->mark = 1;
  elem_new_arc(0, 0, 0, 1, 2, 1, 1, GEOM_TWO_PI, 0, 0);
  elem_new_arc(0, 3, 0, 5, 2, 2, 1, GEOM_PI / 2, 0.5, 0.25);
  elem_new_spline(0, 4, 0, 0, 4, 1, 5, 2, 3, 3, 4);
  TextElem text = test_text(0, 6, "Plan\n\"A\" \xE4");
  text.pen = 5;
  text.angle = 0.1;
  text.alignment = TEXT_CENTRED;
  elem_append(text);
  DimElem chain =
      test_dim({test_dim_point(0, 8, 0, 7, 0), test_dim_point(2, 8, 2, 7, 2), test_dim_point(5, 8, 5, 7, 3)});
  chain.points[1].override_value = 1.5;
  chain.points[2].text_dx = 0.2;
  chain.line_type = 1;
  chain.figure_pen = 2;
  chain.end_mark = DIM_MARK_ARROW;
  elem_append(chain);
  DimElem radius = test_dim(
      {test_dim_point(8, 8, 0, 0, 0), test_dim_point(9, 8, 0, 0, 0), test_dim_point(10, 9, 0, 0, 0)});
  radius.dim_kind = DIM_RADIUS;
  radius.figure_pen = 1;
  radius.format = 1;
  elem_append(radius);
  wall_with_door_and_window();
  const std::vector<Point2> holed = {
      {0, 10, 0},     {2, 10, 0},     {2, 12, 0},     {0, 12, 0},     CONTOUR_END,
      {0.5, 10.5, 0}, {0.5, 11.5, 0}, {1.5, 11.5, 0}, {1.5, 10.5, 0}, CONTOUR_END,
  };
  PatternElem hatch = test_pattern(PATTERN_ONE_LINE, holed);
  hatch.pen = 6;
  hatch.line_type = 2;
  hatch.origin = hatch.offset = Point2{0, 10, 0};
  hatch.angle1 = 0.3;
  elem_append(hatch);
  PatternElem cross =
      test_pattern(PATTERN_TWO_LINES, {{3, 10, 0}, {5, 10, 0}, {5, 12, 0}, {3, 12, 0}, CONTOUR_END});
  cross.pen = 6;
  cross.origin = cross.offset = Point2{3, 10, 0};
  cross.spacing1 = cross.spacing2 = 0.7;
  cross.pen2 = 7;
  cross.line_type2 = 1;
  cross.angle2 = GEOM_PI / 2;
  elem_append(cross);
  PatternElem grid =
      test_pattern(PATTERN_POINTS, {{6, 10, 0}, {7, 10, 0}, {7, 11, 0}, {6, 11, 0}, CONTOUR_END});
  grid.pen = 3;
  grid.origin = grid.offset = Point2{6, 10, 0};
  grid.spacing1 = grid.spacing2 = 0.4;
  elem_append(grid);
  const std::vector<Point2> holed2 = {
      {8, 10, 0},     {10, 10, 0},    {10, 12, 0},    {8, 12, 0},     CONTOUR_END,
      {8.5, 10.5, 0}, {8.5, 11.5, 0}, {9.5, 11.5, 0}, {9.5, 10.5, 0}, CONTOUR_END,
  };
  PatternElem filled = test_pattern(PATTERN_FILLING, holed2);
  filled.origin = filled.offset = Point2{8, 10, 0};
  filled.r = 0.9;
  filled.g = 0.6;
  filled.b = 0.2;
  elem_append(filled);
  const std::vector<Point2> pillared = {{14, 0, 0},   {20, 0, 0},   {20, 4, 0},   {14, 4, 0},   CONTOUR_END,
                                        {16, 1.5, 0}, {16, 2.5, 0}, {17, 2.5, 0}, {17, 1.5, 0}, CONTOUR_END};
  RoomElem room = test_room(17.5, 3.5, pillared);
  room.pen = 2;
  room.height = 3.5;
  room.description = "Living";
  room.number = "1.01";
  room.show_area = room.show_volume = room.show_number = 1;
  elem_append(room);
  elem_new_line(0, PEN_GUIDE, 0, 0, 14, 20, 14);
}

class ScopePasses : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    toggles = 0;
    presents = 0;
    display_hooks.cursor_toggle = [] { ++toggles; };
    display_hooks.present = [](int, int, int, int, int) { ++presents; };
  }
  static int toggles, presents;
};
int ScopePasses::toggles = 0;
int ScopePasses::presents = 0;

// The slots named at the start of the recorded lines.
std::vector<std::string> slots_of(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) out.push_back(line.substr(0, line.find(' ')));
  return out;
}

TEST_F(ScopePasses, AnExporterReceivesEveryTwoDKindInPassOrder) {
  every_2d_kind();
  RecordingDevice rec;
  draw_scope(DRAW_PLAIN, DrawScope::ALL);
  EXPECT_TRUE(golden_text_matches(rec.text(), KAVRO_TEST_DATA_DIR "/draw_scope_every_2d_kind.txt",
                                  KAVRO_TEST_OUTPUT_DIR));
}

TEST_F(ScopePasses, MarkedTakesMarkedElementsAndThoseWithAMarkedPoint) {
  layers[2].shown = 1;
  elem_new_line(0, 0, 0, 0, 0, 1, 0);  // neither
  elem_new_line(2, 1, 0, 0, 1, 1, 1);
  elem_list_tail->mark = 1;
  elem_new_line(0, 2, 0, 0, 2, 1, 2);
  static_cast<LineElem*>(elem_list_tail)->p2.mark = 1;
  elem_new_line(3, 3, 0, 0, 3, 1, 3);  // marked, but on a hidden layer
  elem_list_tail->mark = 1;
  PatternElem filling =
      test_pattern(PATTERN_FILLING, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, CONTOUR_END});
  filling.r = 0.5;
  elem_append(filling);
  elem_list_tail->mark = 1;
  RecordingDevice rec;
  draw_scope(DRAW_PLAIN, DrawScope::MARKED);
  EXPECT_EQ(rec.text(),
            "fill rgb=0.5,0,0 0,0 1,0 1,1 0,1 end\n"
            "line 1/0 0,1 1,1\n"
            "line 2/0 0,2 1,2\n");
  // The whole drawing in the screen's colours, hidden layer left out.
  rec.clear();
  draw_scope(DRAW_NORMAL, DrawScope::ALL);
  EXPECT_EQ(rec.text(),
            "fill rgb=0.5,0,0 0,0 1,0 1,1 0,1 end [selected]\n"
            "line 1/0 0,1 1,1 [selected]\n"
            "line 0/0 0,0 1,0\n"
            "line 2/0 0,2 1,2\n");
}

TEST_F(ScopePasses, NothingOfTheScreenAroundThePasses) {
  elem_new_line(0, 0, 0, -5, 0, 5, 0);
  static_cast<LineElem*>(elem_list_tail)->p1.mark = 1;  // its marker would show at once
  offscreen(100, 100);
  view_clear();
  const std::vector<uint8_t> cleared = view_bytes(0);
  for (uint8_t refresh : {uint8_t{1}, uint8_t{0}}) {
    draw_refresh_now = refresh;
    draw_scope(DRAW_NORMAL, DrawScope::ALL);
    EXPECT_EQ(draw_refresh_now, refresh);
  }
  EXPECT_NE(view_bytes(0), cleared);  // the screen slots drew
  EXPECT_EQ(toggles, 0);
  EXPECT_EQ(presents, 0);
  // The screen's pass hides and shows the cursor and shows the view once.
  draw_all(DRAW_NORMAL);
  EXPECT_EQ(toggles, 2);
  EXPECT_EQ(presents, 1);

  // A writer that fails leaves the flag as it found it.
  OutdevInstall guard;
  outdev.line = [](uint8_t, uint8_t, double, double, double, double) {
    throw std::runtime_error("disk full");
  };
  draw_refresh_now = 1;
  EXPECT_THROW(draw_scope(DRAW_PLAIN, DrawScope::ALL), std::runtime_error);
  EXPECT_EQ(draw_refresh_now, 1);
}

TEST_F(ScopePasses, AWriterOfStrokesGetsTheBreakDownsAndTheViewStaysUntouched) {
  every_2d_kind();
  offscreen(200, 200, 10, 5);
  view_clear();
  view_options.show_guide_points = 1;
  const std::vector<uint8_t> cleared = view_bytes(0);
  RecordingDevice rec(RecordingDevice::STROKES);
  draw_scope(DRAW_PLAIN, DrawScope::ALL);
  EXPECT_EQ(view_bytes(0), cleared);
  EXPECT_EQ(presents, 0);
  int lines = 0, arcs = 0, fills = 0, beziers = 0;
  for (const std::string& slot : slots_of(rec.text())) {
    lines += slot == "line";
    arcs += slot == "arc";
    fills += slot == "fill";
    beziers += slot == "bezier";
    EXPECT_TRUE(slot == "line" || slot == "arc" || slot == "fill" || slot == "bezier") << slot;
  }
  EXPECT_EQ(beziers, 1);
  EXPECT_EQ(fills, 2 + 4 + 1);  // the fillings, the chain's arrowheads and the radius's
  EXPECT_GT(arcs, 4);           // the circles, the door's leaf and the figures' round strokes
  EXPECT_GT(lines, 100);        // with the strokes of every text, figure and room line
}

// A plotter with one pen per pass: its line slot keeps only the strokes of
// the running pass, writing the pen of each into the pass's line.
struct Plotter {
  std::vector<std::string> passes;
};

TEST_F(ScopePasses, APlotterDrawsEveryPenInItsOwnPass) {
  elem_new_line(0, 3, 0, 0, 0, 1, 0);
  elem_new_line(0, PEN_GUIDE, 0, 0, 1, 1, 1);
  elem_new_line(0, 0, 0, 0, 2, 1, 2);
  DimElem chain = test_dim({test_dim_point(0, 4, 0, 3, 0), test_dim_point(2, 4, 2, 3, 2)});
  chain.pen = 1;
  chain.figure_pen = 2;
  chain.format = 1;
  elem_append(chain);
  Plotter plotter;
  {
    OutdevInstall guard(plotter);
    outdev.line = [](uint8_t pen, uint8_t, double, double, double, double) {
      Plotter* p = outdev_writer<Plotter>();
      if (outdev_pen_in_pass(pen) && p->passes.back().find(std::to_string(pen)) == std::string::npos)
        p->passes.back() += std::to_string(pen);
    };
    outdev.active = 1;
    for (int32_t pass = 0; pass < 8; ++pass) {
      outdev.context.pen_pass = pass;
      plotter.passes.emplace_back();
      draw_scope(DRAW_PLAIN, DrawScope::ALL);
    }
  }
  // The dimension's lines in its own pen, its figure in the figure pen; the
  // guide pen never.
  EXPECT_EQ(plotter.passes, (std::vector<std::string>{"0", "1", "2", "3", "", "", "", ""}));
}

}  // namespace
