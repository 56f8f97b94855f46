// The wall editing tools run end to end by scripts: erasing part of a
// wall, attaching walls to a boundary, extending a wall end, joining two
// walls in a mitre and cutting the tops by a plane; gable walls refused,
// every action one undo step.

#include "model/layers.h"
#include "wall_tool_fixture.h"

namespace {

class WallEraseTest : public WallToolTest {
 protected:
  // A 6 m wall along x, 0.3 thick, with an opening from 0.5 to 1.5.
  void SetUp() override {
    WallToolTest::SetUp();
    wall = with_opening(axis_wall(0, 0, 6, 0, 0.3), 0.5, 1.5);
    ASSERT_NE(wall, nullptr);
    redraw();
  }
  void erase(double x0, double y0, double x1, double y1) {
    script.click_world(1, 3, 0.1).click_world(1, x0, y0).click_world(1, x1, y1).key("z_enter").key("p_nop");
    run_tool(tool_wall_erase);
  }
  WallElem* wall = nullptr;
};

TEST_F(WallEraseTest, ARangeInsideLeavesTwoWallsTheOpeningStaysInItsPiece) {
  wall->corner[1].z = 0.1;  // each piece corner takes the z of its old corner
  wall->corner[6].z = 3.0;
  const auto before = drawing_state();
  int mark_while_asking = -1;
  rows()["z_look"] = [&] { mark_while_asking = walls()[0]->mark; };
  // The points lie off the axis: their feet count.
  script.click_world(1, 3, 0.1).key("z_look").click_world(1, 3.5, -2).click_world(1, 2.5, 0.4).key("z_enter");
  script.key("p_nop");
  run_tool(tool_wall_erase);

  EXPECT_EQ(mark_while_asking, 1);
  const auto w = walls();
  ASSERT_EQ(w.size(), 2u);
  expect_plan(w[0], {{0, -0.15}, {2.5, -0.15}, {2.5, 0.15}, {0, 0.15}});
  expect_plan(w[1], {{3.5, -0.15}, {6, -0.15}, {6, 0.15}, {3.5, 0.15}});
  EXPECT_EQ(w[0]->corner[1].z, 0.1);
  EXPECT_EQ(w[0]->corner[6].z, 3.0);
  EXPECT_EQ(w[1]->corner[0].z, 0.1);
  EXPECT_EQ(w[1]->corner[7].z, 3.0);
  EXPECT_EQ(w[1]->corner[4].z, 2.75);
  ASSERT_EQ(w[0]->openings.size(), 1u);
  EXPECT_EQ(w[0]->segments.size(), 8u);
  EXPECT_TRUE(w[1]->openings.empty());
  EXPECT_EQ(w[1]->segments.size(), 4u);
  for (const WallElem* e : w) {
    EXPECT_EQ(e->pen, 1);
    EXPECT_EQ(e->material, "Default");
    EXPECT_EQ(e->mark, 0);
  }
  EXPECT_EQ(prompts(), (std::vector<std::string>{
                           "prompt Select Wall:", "prompt Start point:", "prompt Start point:",
                           "prompt Move/End point:", "prompt Move/Confirm:", "prompt Select Wall:"}));
  expect_clean_surface();
  EXPECT_EQ(undo_used, 1);
  undo_step_back();
  EXPECT_EQ(drawing_state(), before);
}

TEST_F(WallEraseTest, RangesAtTheEndsAcrossTheOpeningAndBeyondTheWall) {
  struct Case {
    const char* name;
    double x0, x1;
    std::vector<double> starts, ends;  // x of corner 0 and corner 1 of each wall left
    std::vector<std::size_t> openings;
  } cases[] = {
      {"before the start to inside", -1, 2, {2}, {6}, {0}},
      {"inside to beyond the end", 4, 9, {0}, {4}, {1}},
      {"the whole wall", -1, 7, {}, {}, {}},
      {"across the opening's end", 1, 3, {0, 3}, {1, 6}, {0, 0}},
      {"beyond the end", 7, 9, {0}, {6}, {1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    drawing_free();
    drawing_init();
    undo_record(UNDO_CLEAR, 0);
    wall = with_opening(axis_wall(0, 0, 6, 0, 0.3), 0.5, 1.5);
    redraw();
    erase(c.x0, 0, c.x1, 0);
    const auto w = walls();
    ASSERT_EQ(w.size(), c.starts.size());
    for (std::size_t i = 0; i < w.size(); ++i) {
      EXPECT_NEAR(w[i]->corner[0].x, c.starts[i], 1e-12);
      EXPECT_NEAR(w[i]->corner[1].x, c.ends[i], 1e-12);
      EXPECT_EQ(w[i]->openings.size(), c.openings[i]);
    }
    // A range that misses the wall changes nothing and records nothing.
    EXPECT_EQ(undo_used, c.x0 > 6 ? 0 : 1);
    expect_clean_surface();
  }
}

TEST_F(WallToolTest, GableWallsAreRefusedByEraseExtendAndJoin) {
  WallElem* gable = axis_wall(0, 0, 6, 0, 0.3);
  gable->gable = 1;
  axis_wall(8, -3, 8, 3, 0.3);
  redraw();
  const auto before = drawing_state();
  script.click_world(1, 3, 0).key("p_nop");
  run_tool(tool_wall_erase);
  script.click_world(1, 5.9, 0).key("p_nop");
  run_tool(tool_wall_extend);
  script.click_world(1, 3, 0).key("p_nop");
  run_tool(tool_wall_join);
  script.click_world(1, 8, 0).click_world(1, 3, 0).key("p_nop");
  run_tool(tool_wall_join);
  EXPECT_EQ(drawing_state(), before);
  EXPECT_EQ(undo_used, 0);
  EXPECT_EQ(prompts(), (std::vector<std::string>{
                           "prompt Select Wall:", "prompt Select Wall:", "prompt Select end of Wall:",
                           "prompt Select end of Wall:", "prompt 1st Wall:", "prompt 1st Wall:",
                           "prompt 1st Wall:", "prompt 2nd Wall:", "prompt 2nd Wall:"}));
  expect_clean_surface();
}

class WallExtendTest : public WallToolTest {
 protected:
  // A 4 m wall along x, 0.3 thick, and a wall across its way: axis x = 6.2,
  // 0.4 thick, so its face 2-3 lies at x = 6 and its face 0-1 at x = 6.4.
  void SetUp() override {
    WallToolTest::SetUp();
    wall = axis_wall(0, 0, 4, 0, 0.3);
    axis_wall(6.2, -3, 6.2, 3, 0.4);
    redraw();
  }
  WallElem* wall = nullptr;
};

TEST_F(WallExtendTest, TheEndGoesExactlyOntoTheNearerFaceAndTheOutlineFollows) {
  const auto before = drawing_state();
  script.click_world(1, 3.9, 0.1).key("p_nop");
  run_tool(tool_wall_extend);
  expect_plan(wall, {{0, -0.15}, {6, -0.15}, {6, 0.15}, {0, 0.15}}, 1e-12);
  // On the face line x = 6 exactly, and the outline's ends with the corners.
  for (int k : {1, 2, 5, 6}) EXPECT_EQ(wall->corner[k].x, 6.0);
  expect_segments(wall, {{0, -0.15, 6, -0.15}, {6, -0.15, 6, 0.15}, {6, 0.15, 0, 0.15}, {0, 0.15, 0, -0.15}},
                  1e-12);
  EXPECT_EQ(wall->segments[0].end.y, wall->corner[1].y);
  EXPECT_EQ(wall->segments[2].start.y, wall->corner[2].y);
  EXPECT_EQ(wall->corner[5].z, 2.75);
  EXPECT_EQ(wall->mark, 0);
  expect_clean_surface();
  EXPECT_EQ(undo_used, 1);
  undo_step_back();
  EXPECT_EQ(drawing_state(), before);
}

TEST_F(WallExtendTest, TargetsByDistanceEndsAndDirection) {
  struct Case {
    const char* name;
    double x1, y1, x2, y2;  // a line added before the pick
    double pick_x;
    double start_x, end_x;  // the wall afterwards
  } cases[] = {
      {"a line nearer than the wall", 5, -3, 5, 3, 3.9, 0, 5},
      {"a line that ends on the axis", 4.5, 0, 4.5, 5, 3.9, 0, 4.5},
      {"a line just past the axis", 4.5, 0.001, 4.5, 5, 3.9, 0, 6},
      {"a line through the picked end", 4, -3, 4, 3, 3.9, 0, 6},
      {"the start end, backwards", -2, -3, -2.5, 3, 0.1, -2.25, 4},
      {"nothing behind the start", 9, -3, 9, 3, 0.1, 0, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    drawing_free();
    drawing_init();
    undo_record(UNDO_CLEAR, 0);
    wall = axis_wall(0, 0, 4, 0, 0.3);
    axis_wall(6.2, -3, 6.2, 3, 0.4);
    elem_new_line(0, 0, 0, c.x1, c.y1, c.x2, c.y2);
    redraw();
    script.click_world(1, c.pick_x, 0.1).key("p_nop");
    run_tool(tool_wall_extend);
    EXPECT_NEAR((wall->corner[0].x + wall->corner[3].x) / 2, c.start_x, 1e-9);
    EXPECT_NEAR((wall->corner[1].x + wall->corner[2].x) / 2, c.end_x, 1e-9);
    expect_clean_surface();
  }
}

TEST_F(WallExtendTest, ATargetOnAnotherShownLayerCountsOnAHiddenOneNot) {
  elem_new_line(3, 0, 0, 5, -3, 5, 3);
  layers[3].shown = 0;
  script.click_world(1, 3.9, 0).key("p_nop");
  run_tool(tool_wall_extend);
  EXPECT_NEAR(wall->corner[1].x, 6, 1e-12);
  layers[3].shown = 1;
  script.click_world(1, 3.9, 0).key("p_nop");
  run_tool(tool_wall_extend);
  // Past the line already: the next target ahead is the wall's far face.
  EXPECT_NEAR(wall->corner[1].x, 6.4, 1e-12);
}

class WallAttachTest : public WallToolTest {
 protected:
  // Two walls along x ending before a slanted boundary line, a third that
  // the line crosses, a gable wall, all selected by one window.
  void SetUp() override {
    WallToolTest::SetUp();
    first = axis_wall(0, 0, 4, 0, 0.4);
    second = axis_wall(0, 3, 4, 3, 0.4);
    crossed = axis_wall(0, 6, 10, 6, 0.4);
    gable = axis_wall(0, -3, 4, -3, 0.4);
    gable->gable = 1;
    elem_new_line(0, 0, 0, 6, -5, 8, 10);
    boundary = elem_list_tail;
    redraw();
  }
  void attach() {
    script.click_world(1, 7, 2.5);  // on the boundary line
    select_window_of(-1, -5, 12, 12);
    script.key("p_nop");
    run_tool(tool_wall_attach);
  }
  WallElem *first = nullptr, *second = nullptr, *crossed = nullptr, *gable = nullptr;
  ElemHeader* boundary = nullptr;
};

// x on the line (6, -5) - (8, 10) at y.
double on_boundary(double y) { return 6 + (y + 5) * 2 / 15; }

TEST_F(WallAttachTest, EndsNearTheBoundaryMoveOntoItCrossedAndGableWallsStay) {
  const auto before = drawing_state();
  const std::vector<WallSegment> crossed_segments = crossed->segments;
  attach();
  expect_plan(first, {{0, -0.2}, {on_boundary(-0.2), -0.2}, {on_boundary(0.2), 0.2}, {0, 0.2}}, 1e-12);
  expect_plan(second, {{0, 2.8}, {on_boundary(2.8), 2.8}, {on_boundary(3.2), 3.2}, {0, 3.2}}, 1e-12);
  expect_segments(first,
                  {{0, -0.2, on_boundary(-0.2), -0.2},
                   {on_boundary(-0.2), -0.2, on_boundary(0.2), 0.2},
                   {on_boundary(0.2), 0.2, 0, 0.2},
                   {0, 0.2, 0, -0.2}},
                  1e-12);
  expect_corner(crossed, 1, 10, 5.8);
  EXPECT_EQ(crossed->segments.size(), crossed_segments.size());
  expect_corner(gable, 1, 4, -3.2);
  // The guide line showing the boundary is gone, the picked line stays.
  EXPECT_EQ(elements().size(), 5u);
  EXPECT_EQ(elem_count_marked(), 0);
  EXPECT_EQ(prompts().front(), "prompt Select Line:");
  EXPECT_EQ(prompts().back(), "prompt Select Line:");
  expect_clean_surface();

  EXPECT_EQ(undo_used, 1);
  undo_step_back();
  // The window held the guide line too: it must not come back.
  EXPECT_EQ(drawing_state(), before);
}

TEST_F(WallAttachTest, TheStartEndMovesWhenTheBoundaryLiesBehindIt) {
  elem_new_line(0, 0, 0, -3, -5, -2, 5);
  redraw();
  script.click_world(1, -2.5, 0);
  select_window_of(-1, -1, 5, 1);
  script.key("p_nop");
  run_tool(tool_wall_attach);
  // The line runs through (-2.52, -0.2) and (-2.48, 0.2).
  expect_plan(first, {{-2.52, -0.2}, {4, -0.2}, {4, 0.2}, {-2.48, 0.2}}, 1e-12);
  EXPECT_EQ(first->segments[3].start.x, first->corner[3].x);
  EXPECT_EQ(first->segments[3].end.x, first->corner[0].x);
}

TEST_F(WallAttachTest, ACancelledSelectionEndsTheToolAndTakesTheGuideLineAway) {
  const auto before = drawing_state();
  script.click_world(1, 7, 2.5).key("p_nop");
  run_tool(tool_wall_attach);
  EXPECT_EQ(drawing_state(), before);
  EXPECT_EQ(undo_used, 0);
  expect_clean_surface();
}

class WallJoinTest : public WallToolTest {
 protected:
  // Two walls crossing at right angles, 0.4 thick: A along x from (0, 0)
  // to (10, 0), B along y from (5, -5) to (5, 5).
  void SetUp() override {
    WallToolTest::SetUp();
    a = axis_wall(0, 0, 10, 0, 0.4);
    b = axis_wall(5, -5, 5, 5, 0.4);
    redraw();
  }
  void join(double px, double py, double qx, double qy) {
    script.click_world(1, px, py).click_world(1, qx, qy).key("p_nop");
    run_tool(tool_wall_join);
  }
  WallElem *a = nullptr, *b = nullptr;
};

TEST_F(WallJoinTest, CrossingWallsMeetInAMitreOnTheSidesOfThePicks) {
  const auto before = drawing_state();
  join(2, 0, 5, 4);
  const auto w = walls();
  ASSERT_EQ(w.size(), 2u);
  // Z1 = (5.2, -0.2) where A's right face meets B's left face (seen from
  // B's upper end), Z2 = (4.8, 0.2); corners 1 and 2 of each.
  expect_plan(w[0], {{0, -0.2}, {5.2, -0.2}, {4.8, 0.2}, {0, 0.2}}, 1e-12);
  expect_plan(w[1], {{4.8, 5}, {4.8, 0.2}, {5.2, -0.2}, {5.2, 5}}, 1e-12);
  for (const WallElem* e : w) {
    EXPECT_GT(plan_area(e), 0.0);
    EXPECT_EQ(e->segments.size(), 4u);
    EXPECT_EQ(e->corner[4].z, 2.75);
  }
  expect_clean_surface();
  EXPECT_EQ(undo_used, 1);
  undo_step_back();
  EXPECT_EQ(drawing_state(), before);
}

TEST_F(WallJoinTest, PickingTheOtherPartsKeepsThoseAndParallelAxesDoNothing) {
  join(8, 0, 5, -4);
  const auto w = walls();
  ASSERT_EQ(w.size(), 2u);
  // A's end part: its new start end is the old end end (corners 2 and 1).
  expect_plan(w[0], {{10, 0.2}, {4.8, 0.2}, {5.2, -0.2}, {10, -0.2}}, 1e-12);
  expect_plan(w[1], {{5.2, -5}, {5.2, -0.2}, {4.8, 0.2}, {4.8, -5}}, 1e-12);

  drawing_free();
  drawing_init();
  undo_record(UNDO_CLEAR, 0);
  axis_wall(0, 0, 10, 0, 0.4);
  axis_wall(0, 3, 10, 3, 0.4);
  redraw();
  const auto before = drawing_state();
  join(2, 0, 2, 3);
  EXPECT_EQ(drawing_state(), before);
  EXPECT_EQ(undo_used, 0);
  EXPECT_EQ(prompts().back(), "prompt 1st Wall:");
}

TEST_F(WallJoinTest, OpeningsThatNoLongerFitAreDropped) {
  a = with_opening(a, 1, 2);
  a = with_opening(a, 7, 8);
  ASSERT_NE(a, nullptr);
  redraw();
  join(2, 0, 5, 4);
  const auto w = walls();
  ASSERT_EQ(w.size(), 2u);
  ASSERT_EQ(w[0]->openings.size(), 1u);
  EXPECT_EQ(w[0]->openings[0].corner[0].x, 1);
  EXPECT_EQ(w[0]->segments.size(), 8u);
}

TEST_F(WallToolTest, TopsCutByAPlaneThroughThreeTypedPoints) {
  WallElem* w = axis_wall(0, 0, 4, 2, 0.3);
  WallElem* flat = axis_wall(0, 8, 4, 8, 0.3);
  for (int k = 0; k < 4; ++k) flat->corner[k + 4].z = flat->corner[k].z;  // no height: lines of no length
  elem_new_line(0, 0, 0, 0, -1, 4, -1);
  const auto lower = w->corner[0];
  redraw();
  script.key("z_abs").value("0;0;3").key("z_abs").value("10;0;3").key("z_abs").value("0;10;4").key("z_enter");
  select_window_of(-1, -2, 5, 9);
  run_tool(tool_wall_attach_3d);
  for (int k = 0; k < 4; ++k) {
    EXPECT_NEAR(w->corner[k + 4].z, 3 + w->corner[k].y / 10, 1e-12) << k;
    EXPECT_EQ(w->corner[k + 4].x, w->corner[k].x);
    EXPECT_EQ(w->corner[k].z, 0.0);
    EXPECT_EQ(flat->corner[k + 4].z, 0.0);
  }
  EXPECT_EQ(w->corner[0].x, lower.x);
  EXPECT_EQ(elem_count_marked(), 0);
  EXPECT_EQ(prompts().front(), "prompt Plane 1st point:");
  expect_clean_surface();
  EXPECT_EQ(undo_used, 1);
  undo_step_back();
  for (const WallElem* e : walls())
    if (e->corner[0].y < 5) {
      EXPECT_EQ(e->corner[4].z, 2.75);
    }
}

TEST_F(WallToolTest, AVerticalPlaneChangesNoCorner) {
  WallElem* w = axis_wall(0, 0, 4, 0, 0.3);
  redraw();
  script.key("z_abs").value("0;5;0").key("z_abs").value("10;5;0").key("z_abs").value("0;5;4").key("z_enter");
  select_window_of(-1, -1, 5, 1);
  run_tool(tool_wall_attach_3d);
  for (int k = 4; k < 8; ++k) EXPECT_EQ(w->corner[k].z, 2.75);
}

}  // namespace

namespace {

// A wall whose face 2-3 no longer runs along its axis, as earlier edits can
// leave it: face 0-1 along x, the axis slanting down.
WallElem* slanted_wall() {
  const double c[24] = {0, 0, 0, 4, 0, 0, 4, 1, 0, 0, 3, 0, 0, 0, 3, 4, 0, 3, 4, 1, 3, 0, 3, 3};
  WallSegment quad[4];
  wall_outline_quad(0, 0, 4, 0, 4, 1, 0, 3, quad);
  elem_new_wall(0, 1, 0, c, 4, quad, 0, nullptr, "Default", 0, 0, 0, 0, 0, 0, 0);
  return elem_as<WallElem>(elem_list_tail);
}

TEST_F(WallToolTest, AFaceParallelToTheBoundaryOrTargetLeavesTheWallAlone) {
  WallElem* w = slanted_wall();
  // The axis meets y = -5 at x = 26, but face 0-1 never does.
  EXPECT_FALSE(wall_attach_move(*w, {0, -5, 0}, {1, -5, 0}).has_value());
  EXPECT_TRUE(wall_attach_move(*w, {20, -10, 0}, {21, 10, 0}).has_value());
  elem_new_line(0, 0, 0, 20, -5, 30, -5);
  EXPECT_FALSE(wall_extend_move(*w, {3.9, 0.6, 0}).has_value());
  // Joined with a wall along x: the first wall's face 0-1 and the other's
  // faces never meet.
  WallElem* other = axis_wall(10, -3, 20, -3, 0.3);
  EXPECT_FALSE(wall_join_mitre(*w, {1, 1, 0}, *other, {15, -3, 0}).has_value());

  redraw();
  const auto before = drawing_state();
  script.click_world(1, 3.9, 0.6).key("p_nop");
  run_tool(tool_wall_extend);
  script.click_world(1, 1, 1).click_world(1, 15, -3).key("p_nop");
  run_tool(tool_wall_join);
  EXPECT_EQ(drawing_state(), before);
  EXPECT_EQ(undo_used, 0);
}

}  // namespace
