// Door, window and plain-opening symbols: the strokes of each kind, style
// and quadrant, the frame with and without a stop, layers and rubber bands.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "display/draw_opening.h"
#include "display_fixture.h"
#include "model/geom.h"
#include "model/layers.h"
#include "pixels.h"

namespace {

constexpr double PI = 3.141592653589793;

// An opening from (0, 0) to (w, 0) in a wall along x whose inner face is at
// y = 0.3.
OpeningSymbol opening(uint8_t kind, uint8_t style, uint8_t quadrant, double w = 1.0, double sw = 0.0,
                      double sd = 0.0) {
  OpeningSymbol s;
  s.kind = kind;
  s.style = style;
  s.quadrant = quadrant;
  s.corner[0] = Point2{0, 0, 0};
  s.corner[1] = Point2{w, 0, 0};
  s.corner[2] = Point2{w, 0.3, 0};
  s.corner[3] = Point2{0, 0.3, 0};
  s.stop_width = sw;
  s.stop_depth = sd;
  return s;
}

void expect_line(const SlotCall& c, double x1, double y1, double x2, double y2) {
  ASSERT_EQ(c.slot, "line");
  EXPECT_NEAR(c.v[0], x1, 1e-12);
  EXPECT_NEAR(c.v[1], y1, 1e-12);
  EXPECT_NEAR(c.v[2], x2, 1e-12);
  EXPECT_NEAR(c.v[3], y2, 1e-12);
}

void expect_arc(const SlotCall& c, double cx, double cy, double r, double start) {
  ASSERT_EQ(c.slot, "arc");
  EXPECT_NEAR(c.v[0], cx, 1e-12);
  EXPECT_NEAR(c.v[1], cy, 1e-12);
  EXPECT_NEAR(c.v[2], r, 1e-12);
  EXPECT_EQ(c.v[3], c.v[2]);
  EXPECT_NEAR(c.v[4], PI / 2, 1e-15);
  EXPECT_NEAR(c.v[5], start, 1e-12);
  EXPECT_EQ(c.v[6], 0.0);
}

using OpeningSymbolTest = DisplayTest;

TEST_F(OpeningSymbolTest, SingleDoorWithoutStopHangsAtTheInnerFaceWhenItOpensInwards) {
  struct Case {
    uint8_t quadrant;
    double x1, y1, x2, y2;  // the leaf
    double start;
  };
  const Case cases[] = {
      {0, 0, 0.3, 0, 1.3, 0.0},      // inwards, start side: at the inner face
      {1, 1, 0.3, 1, 1.3, PI / 2},   // inwards, end side
      {2, 0, 0, 0, -1, 3 * PI / 2},  // outwards, start side: at the outer face
      {3, 1, 0, 1, -1, PI},          // outwards, end side
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.quadrant));
    RecordingOutdev rec;
    draw_opening_symbol(opening(OPENING_DOOR, 1, c.quadrant));
    ASSERT_EQ(rec.slots(), "line arc");
    expect_line(rec.calls[0], c.x1, c.y1, c.x2, c.y2);
    expect_arc(rec.calls[1], c.x1, c.y1, 1.0, c.start);
    EXPECT_EQ(rec.calls[0].pen, 0);
    EXPECT_EQ(rec.calls[0].lt, 0);
    EXPECT_EQ(rec.calls[1].lt, 0);
  }
}

TEST_F(OpeningSymbolTest, AStopMovesTheLeafAndTheFrameBehindIt) {
  // Stop width 0.05, depth 0.1: the leaf hangs at the stop corner.
  RecordingOutdev rec;
  draw_opening_symbol(opening(OPENING_DOOR, 1, 0, 1.0, 0.05, 0.1));
  expect_line(rec.calls.at(0), 0, 0.1, 0, 1.1);
  expect_arc(rec.calls.at(1), 0, 0.1, 1.0, 0.0);

  // The window frame starts behind the stop at x = -0.05.
  rec.calls.clear();
  draw_opening_symbol(opening(OPENING_WINDOW, 1, 0, 1.0, 0.05, 0.1));
  ASSERT_EQ(rec.slots(), "line line line line line line");
  expect_line(rec.calls[0], 0, 0, 1, 0);               // outer line
  expect_line(rec.calls[1], 0, 0.1, 1, 0.1);           // stop corner to stop corner
  expect_line(rec.calls[2], -0.05, 0.18, 1.05, 0.18);  // back of the band
  expect_line(rec.calls[3], 0.03, 0.1, 0.03, 0.18);    // end pieces
  expect_line(rec.calls[4], 0.97, 0.1, 0.97, 0.18);
  expect_line(rec.calls[5], 0.03, 0.14, 0.97, 0.14);  // the glass
}

TEST_F(OpeningSymbolTest, WindowOfThreePanesHasItsMullionsAtThirds) {
  RecordingOutdev rec;
  draw_opening_symbol(opening(OPENING_WINDOW, 5, 0, 1.4, 0.05, 0.1));  // L = 1.5
  ASSERT_EQ(rec.calls.size(), 5u + 3u + 4u);
  const double x2 = -0.05, y2 = 0.1;  // point 2
  const double mullions[4] = {0.46, 0.54, 0.96, 1.04};
  for (int i = 0; i < 4; ++i)
    expect_line(rec.calls[8 + i], x2 + mullions[i], y2, x2 + mullions[i], y2 + 0.08);
  expect_line(rec.calls[5], x2 + 0.08, y2 + 0.04, x2 + 0.46, y2 + 0.04);
  expect_line(rec.calls[6], x2 + 0.54, y2 + 0.04, x2 + 0.96, y2 + 0.04);
  expect_line(rec.calls[7], 1.45 - 0.08, y2 + 0.04, 1.45 - 0.46, y2 + 0.04);
}

TEST_F(OpeningSymbolTest, PlainOpeningAxisReachesBeyondTheJambs) {
  RecordingOutdev rec;
  draw_opening_symbol(opening(OPENING_PLAIN, 2, 0));
  ASSERT_EQ(rec.slots(), "line line");
  expect_line(rec.calls[0], 0, 0, 1, 0);
  expect_line(rec.calls[1], -0.1, 0.15, 1.1, 0.15);
  EXPECT_EQ(rec.calls[1].pen, 1);
  EXPECT_EQ(rec.calls[1].lt, 3);
  rec.calls.clear();
  draw_opening_symbol(opening(OPENING_PLAIN, 6, 0));
  ASSERT_EQ(rec.slots(), "line line line");
  expect_line(rec.calls[0], 0, 0.3, 1, 0.3);  // inner line first
  EXPECT_EQ(rec.calls[0].lt, 1);
  EXPECT_EQ(rec.calls[1].lt, 1);
  EXPECT_EQ(rec.calls[2].lt, 3);
}

TEST_F(OpeningSymbolTest, StrokeCountsOfEveryKindStyleAndQuadrant) {
  struct Case {
    uint8_t kind, style, quadrant;
    int lines, arcs;
  };
  const Case cases[] = {
      {OPENING_PLAIN, 0, 0, 0, 0},
      {OPENING_PLAIN, 1, 0, 1, 0},
      {OPENING_PLAIN, 3, 0, 2, 0},
      {OPENING_PLAIN, 4, 0, 3, 0},
      {OPENING_PLAIN, 5, 0, 2, 0},
      {OPENING_PLAIN, 7, 0, 0, 0},
      {OPENING_WINDOW, 0, 0, 0, 0},
      {OPENING_WINDOW, 2, 0, 7, 0},
      {OPENING_WINDOW, 3, 0, 9, 0},
      {OPENING_WINDOW, 4, 0, 10, 0},
      {OPENING_WINDOW, 6, 0, 13, 0},
      {OPENING_WINDOW, 7, 0, 5, 0},
      {OPENING_WINDOW, 250, 0, 5, 0},
      {OPENING_DOOR, 1, 4, 0, 0},
      {OPENING_DOOR, 2, 1, 2, 2},
      {OPENING_DOOR, 2, 3, 2, 2},
      {OPENING_DOOR, 2, 4, 0, 0},
      {OPENING_DOOR, 3, 0, 3, 2},
      {OPENING_DOOR, 3, 2, 3, 2},
      {OPENING_DOOR, 3, 9, 0, 0},
      {OPENING_DOOR, 4, 1, 7, 1},
      {OPENING_DOOR, 4, 5, 6, 0},
      {OPENING_DOOR, 5, 3, 11, 2},
      {OPENING_DOOR, 5, 8, 11, 2},
      {OPENING_DOOR, 6, 2, 11, 1},
      {OPENING_DOOR, 6, 1, 11, 1},
      {OPENING_DOOR, 6, 4, 3, 0},
      {OPENING_DOOR, 0, 0, 0, 0},
      {OPENING_DOOR, 7, 0, 0, 0},
      {OPENING_REMOVED, 1, 0, 0, 0},
      {0, 1, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "kind " << int(c.kind) << " style " << int(c.style) << " quadrant "
                                    << int(c.quadrant));
    RecordingOutdev rec;
    draw_opening_symbol(opening(c.kind, c.style, c.quadrant, 1.6, 0.05, 0.1));
    EXPECT_EQ(rec.of("line").size(), std::size_t(c.lines));
    EXPECT_EQ(rec.of("arc").size(), std::size_t(c.arcs));
  }
}

TEST_F(OpeningSymbolTest, DoorLeavesInPairsBothWaysAndGlazed) {
  RecordingOutdev rec;
  draw_opening_symbol(opening(OPENING_DOOR, 2, 3));  // a pair opening outwards
  expect_line(rec.calls.at(0), 0, 0, 0, -0.5);
  expect_arc(rec.calls.at(1), 0, 0, 0.5, 3 * PI / 2);
  expect_line(rec.calls.at(2), 1, 0, 1, -0.5);
  expect_arc(rec.calls.at(3), 1, 0, 0.5, PI);

  rec.calls.clear();
  draw_opening_symbol(opening(OPENING_DOOR, 3, 0));  // one leaf each way, with the line between
  expect_line(rec.calls.at(0), 0, 0.3, 0, 0.8);
  expect_line(rec.calls.at(2), 1, 0, 1, -0.5);
  expect_line(rec.calls.at(4), 0.5, 0, 0.5, 0.3);

  // Glazed leaf behind a stop: leaf and swing in line type 1 from the frame.
  rec.calls.clear();
  draw_opening_symbol(opening(OPENING_DOOR, 4, 2, 1.0, 0.05, 0.1));  // L = 1.1
  ASSERT_EQ(rec.slots(), "line line line line line line line arc");
  expect_line(rec.calls[6], 0.03, 0.18, 0.03, 1.12);
  expect_arc(rec.calls[7], 0.03, 0.18, 1.1 - 0.16, 0.0);
  EXPECT_EQ(rec.calls[6].lt, 1);
  EXPECT_EQ(rec.calls[7].lt, 1);
  EXPECT_EQ(rec.calls[5].lt, 0);

  // Leaf with a side light at the end side: a 1.0 leaf hung at the end.
  rec.calls.clear();
  draw_opening_symbol(opening(OPENING_DOOR, 6, 1, 1.6, 0.05, 0.1));
  expect_line(rec.calls.at(5), 1.65 - 1.08, 0.1, -0.05, 0.1);
  expect_line(rec.calls.at(10), 1.65 - 0.08, 0.18, 1.65 - 0.08, 1.18);
  expect_arc(rec.calls.at(11), 1.65 - 0.08, 0.18, 1.0, PI / 2);
}

TEST_F(OpeningSymbolTest, TheFrameTurnsWithTheOpening) {
  // Along -y: theta = 3 pi / 2, so u = (0, -1) and n = (1, 0).
  OpeningSymbol s = opening(OPENING_DOOR, 1, 2);
  s.corner[0] = Point2{0, 0, 0};
  s.corner[1] = Point2{0, -1, 0};
  s.corner[2] = Point2{0.3, -1, 0};
  s.corner[3] = Point2{0.3, 0, 0};
  RecordingOutdev rec;
  draw_opening_symbol(s);
  expect_line(rec.calls.at(0), 0, 0, -1, 0);
  expect_arc(rec.calls.at(1), 0, 0, 1.0, PI);  // 3 pi / 2 + 3 pi / 2, less 2 pi
}

TEST_F(OpeningSymbolTest, LayersAndRubberBands) {
  OpeningSymbol s = opening(OPENING_DOOR, 1, 0);
  s.layer = 5;  // hidden
  RecordingOutdev rec;
  draw_opening_symbol(s);
  EXPECT_TRUE(rec.calls.empty());
  layers[5].shown = 1;
  draw_opening_symbol(s);
  EXPECT_EQ(rec.slots(), "line arc");
  layers[5].shown = 0;
  cur_layer = 5;
  rec.calls.clear();
  draw_opening_symbol(s);
  EXPECT_EQ(rec.slots(), "line arc");
  cur_layer = 0;

  // The rubber band inverts pixels instead: nothing reaches the slots, and
  // drawing it twice restores the view.
  offscreen(200, 200);
  const std::vector<uint32_t> before = view_pixels(0);
  s.layer = 0;
  s.mode = 2;
  rec.calls.clear();
  draw_opening_symbol(s);
  EXPECT_TRUE(rec.calls.empty());
  EXPECT_NE(view_pixels(0), before);
  draw_opening_symbol(s);
  EXPECT_EQ(view_pixels(0), before);
}

TEST_F(OpeningSymbolTest, WallsDrawTheirOpeningsInThePlanView) {
  const double c[24] = {0, 0, 0,   4, 0, 0,   4, 0.3, 0,   0, 0.3, 0,
                        0, 0, 2.5, 4, 0, 2.5, 4, 0.3, 2.5, 0, 0.3, 2.5};
  WallSegment seg[4];
  const double px[4] = {0, 4, 4, 0}, py[4] = {0, 0, 0.3, 0.3};
  for (int i = 0; i < 4; ++i) seg[i] = WallSegment{{px[i], py[i], 0}, {px[(i + 1) % 4], py[(i + 1) % 4], 0}};
  WallOpening o[2];
  const double xs[2][4] = {{1, 2, 2, 1}, {2.5, 3.5, 3.5, 2.5}};
  for (int k = 0; k < 2; ++k) {
    for (int i = 0; i < 8; ++i)
      o[k].corner[i] = Point3{xs[k][i % 4], (i % 4 >= 2) * 0.3, i < 4 ? 0.0 : 2.0, 0};
  }
  o[0].kind = OPENING_DOOR;
  o[0].symbol_style = 1;
  o[0].leaf_quadrant = 2;
  o[1].kind = OPENING_WINDOW;
  o[1].symbol_style = 1;
  elem_new_wall(0, 1, 0, c, 4, seg, 2, o, "Default", 0, 0, 0, 0, 0, 0, 0);
  ElemHeader* wall = elem_list_tail;
  wall->mark = 1;
  RecordingOutdev rec;
  draw_element(DRAW_NORMAL, wall);
  ASSERT_EQ(rec.slots(), "line line line line line arc line line line line line line");
  expect_line(rec.calls[4], 1, 0, 1, -1);
  EXPECT_EQ(rec.calls[4].pen, 0);
  EXPECT_EQ(rec.calls[4].draw_mode, DRAWMODE_SELECTED);
}

}  // namespace
