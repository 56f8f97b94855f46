// The picks the snap keys and the line tools use: the nearest element by
// filter, the nearest snap edge and the nearest line edge.

#include <gtest/gtest.h>

#include "display/pick.h"
#include "input_fixture.h"
#include "support/test_records.h"

namespace {

class PickTest : public PlanViewTest {};

TEST_F(PickTest, NearestElementRules) {
  ElemHeader* a = line(0, 0, 10, 0);
  ElemHeader* b = line(0, 2, 10, 2);
  EXPECT_EQ(pick_nearest_element(5, 1, PICK_ANY), a);  // equally near: the first
  EXPECT_EQ(pick_nearest_element(5, 1.5, PICK_LINE), b);
  EXPECT_EQ(pick_nearest_element(12, 0, PICK_ANY), nullptr);  // beyond the end
  EXPECT_EQ(pick_nearest_element(5, 0.1, PICK_ARC), nullptr);

  LightElem l;
  l.angle = 30;
  l.position = Point3{5, 0.5, 3, 0};
  elem_append(l);
  ElemHeader* light = elem_list_tail;
  // 3 pixels from the light and 1 from the line: the light wins.
  EXPECT_EQ(pick_nearest_element(5, 0.5 - 3 * PX, PICK_ANY), light);
  EXPECT_EQ(pick_nearest_element(5, 0.5 - 3 * PX, PICK_LINE), a);

  PatternElem p =
      test_pattern(PATTERN_ONE_LINE, {{20, 0, 0}, {30, 0, 0}, {30, 10, 0}, {20, 10, 0}, CONTOUR_END});
  p.spacing1 = p.spacing2 = 1;
  elem_append(p);
  ElemHeader* pattern = elem_list_tail;
  EXPECT_EQ(pick_nearest_element(25, 5, PICK_PATTERN), pattern);
  EXPECT_EQ(pick_nearest_element(25, 5, PICK_ANY), pattern);
  RoomElem r = test_room(45, 5, {{40, 0, 0}, {50, 0, 0}, {50, 10, 0}, {40, 10, 0}, CONTOUR_END});
  r.font = "Standard";
  r.height = 3;
  r.spacing = 0;
  r.line_spacing = 0;
  elem_append(r);
  ElemHeader* room = elem_list_tail;
  EXPECT_EQ(pick_nearest_element(42, 2, PICK_ANY), room);
  EXPECT_EQ(pick_nearest_element(42, 2, PICK_PATTERN), nullptr);

  elem_new_arc(0, 0, 0, 0, 30, 5, 5, 3.141592653589793, 0, 0);  // the upper half
  ElemHeader* arc = elem_list_tail;
  EXPECT_EQ(pick_nearest_element(0, 35.2, PICK_ARC), arc);
  EXPECT_EQ(pick_nearest_element(0, 24.8, PICK_ARC), nullptr);

  // Other layers count only for the widening codes.
  elem_new_camera(4, 0, 0, 260, 0, 2, 270, 0, 2, 60, 0);
  ElemHeader* camera = elem_list_tail;
  layers[4].shown = 1;
  EXPECT_EQ(pick_nearest_element(260, 0, PICK_CAMERA), camera);
  EXPECT_EQ(pick_nearest_element(260, 0, PICK_ANY), nullptr);  // nothing within 100 m on layer 0
  EXPECT_EQ(pick_nearest_element(260, 0, PICK_ANY_VISIBLE), camera);

  // In an elevation only the 3D kinds can be picked.
  view_type = VIEW_FRONT;
  EXPECT_EQ(pick_nearest_element(5, 0.05, PICK_LINE), nullptr);
  EXPECT_EQ(pick_nearest_element(5, 3, PICK_ANY), light);  // position (5, 0.5, 3) seen from the front
}

TEST_F(PickTest, SnapEdgeKeepsTheSegmentOfLinesAndWalls) {
  line(0, 0, 10, 0);
  wall({{0, 5}, {10, 5}, {10, 6}, {0, 6}});
  circle(30, 0, 5);
  ElemHeader* e = pick_snap_edge(4, 0.2);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->kind, ELEM_LINE);
  EXPECT_EQ(picked_edge.x2, 10);
  e = pick_snap_edge(10.2, 5.5);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->kind, ELEM_WALL);
  EXPECT_EQ(picked_edge.x1, 10);
  EXPECT_EQ(picked_edge.y1, 5);
  EXPECT_EQ(picked_edge.y2, 6);
  e = pick_snap_edge(35.1, 0.3);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->kind, ELEM_ARC);
  EXPECT_EQ(picked_edge.y2, 6);  // an arc leaves the edge alone
  view_type = VIEW_FRONT;
  EXPECT_EQ(pick_snap_edge(4, 0.2), nullptr);
}

TEST_F(PickTest, LineEdgeFindsLinesAndTheBaseEdgesOfWalls) {
  line(0, 0, 10, 0);
  wall({{0, 5}, {10, 5}, {10, 6}, {0, 6}});
  circle(30, 0, 5);
  ElemHeader* e = pick_line_edge(4, 0.2);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->kind, ELEM_LINE);
  EXPECT_EQ(picked_edge.found, 1);
  EXPECT_EQ(picked_edge.x2, 10);
  e = pick_line_edge(4, 6.1);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->kind, ELEM_WALL);
  // In the wall's order: from corner 2 to corner 3.
  EXPECT_EQ(picked_edge.x1, 10);
  EXPECT_EQ(picked_edge.y1, 6);
  EXPECT_EQ(picked_edge.x2, 0);
  EXPECT_EQ(picked_edge.y2, 6);
  // An arc is no edge, and no edge counts whose foot lies beyond its ends:
  // nothing is found and the found flag says so.
  EXPECT_EQ(pick_line_edge(35.1, 0.3), nullptr);
  EXPECT_EQ(picked_edge.found, 0);
  EXPECT_EQ(pick_line_edge(-3, 0), nullptr);

  // Other layers count while they are shown.
  line(20, 20, 30, 20, 3);
  layers[3].shown = 0;
  EXPECT_EQ(pick_line_edge(25, 20.1), nullptr);
  layers[3].shown = 1;
  e = pick_line_edge(25, 20.1);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->layer, 3);

  view_type = VIEW_FRONT;
  EXPECT_EQ(pick_line_edge(4, 0.2), nullptr);
  EXPECT_EQ(picked_edge.found, 0);
}

}  // namespace
