// Connecting walls that meet and separating them again: the outline
// segments each wall keeps and gains, which walls count as touching, the
// pen rule and order of connecting all walls of a layer, and exact undo.

#include "house_fixture.h"
#include "model/layers.h"
#include "wall_tool_fixture.h"

namespace {

class WallConnectTest : public WallToolTest {
 protected:
  // A T: wall B along x from (0, 0) to (10, 0), 0.3 thick; wall A comes
  // down from (5, 5) and ends with its end face on B's upper face, 1.2 thick.
  void SetUp() override {
    WallToolTest::SetUp();
    b = axis_wall(0, 0, 10, 0, 0.3);
    a = axis_wall(5, 5, 5, 0.15, 1.2);
    redraw();
  }
  WallElem *a = nullptr, *b = nullptr;
};

// A's outline after the T is connected: its end face is gone.
const std::vector<Seg> a_connected = {{4.4, 5, 4.4, 0.15}, {5.6, 0.15, 5.6, 5}, {5.6, 5, 4.4, 5}};
// B's: the upper face is replaced by two pieces that end at A's corners.
const std::vector<Seg> b_connected = {{0, -0.15, 10, -0.15},
                                      {10, -0.15, 10, 0.15},
                                      {0, 0.15, 0, -0.15},
                                      {0, 0.15, 4.4, 0.15},
                                      {10, 0.15, 5.6, 0.15}};

TEST_F(WallConnectTest, TJunctionLosesTheEndFaceAndSplitsTheFaceItMeets) {
  const auto before = drawing_state();
  script.click_world(1, 5, 3).click_world(1, 2, 0).key("p_nop");
  run_tool(tool_wall_connect);

  const auto w = walls();
  ASSERT_EQ(w.size(), 2u);
  expect_segments(w[0], a_connected);
  expect_segments(w[1], b_connected);
  // Corners, openings, group and the rest stay.
  EXPECT_EQ(elem_count_marked(), 0);
  EXPECT_EQ(prompts(),
            (std::vector<std::string>{"prompt 1st Wall:", "prompt 2nd Wall:", "prompt 1st Wall:"}));
  expect_clean_surface();

  EXPECT_EQ(undo_used, 1);
  undo_step_back();
  EXPECT_EQ(drawing_state(), before);
}

TEST_F(WallConnectTest, ConnectingTwiceChangesNothingMoreAndTheOrderOfPicksDoesNotMatter) {
  script.click_world(1, 2, 0).click_world(1, 5, 3);
  script.click_world(1, 5, 3).click_world(1, 2, 0).key("p_nop");
  run_tool(tool_wall_connect);
  const auto w = walls();
  ASSERT_EQ(w.size(), 2u);
  // B, picked first, was replaced first.
  expect_segments(w[0], b_connected);
  expect_segments(w[1], a_connected);
  expect_clean_surface();
}

TEST_F(WallConnectTest, TheFirstWallAgainOrAMissAsksForTheSecondAgainAndCancelLeavesBoth) {
  const auto before = drawing_state();
  int mark_while_asking = -1;
  rows()["z_look"] = [&] { mark_while_asking = a->mark; };
  script.click_world(1, 5, 3).click_world(1, 5, 4).click_world(1, 40, 30).key("z_look").key("p_nop");
  run_tool(tool_wall_connect);
  EXPECT_EQ(mark_while_asking, 1);
  // The look shows the prompt again.
  EXPECT_EQ(prompts(), (std::vector<std::string>{"prompt 1st Wall:", "prompt 2nd Wall:", "prompt 2nd Wall:",
                                                 "prompt 2nd Wall:", "prompt 2nd Wall:"}));
  EXPECT_EQ(drawing_state(), before);
  EXPECT_EQ(elem_count_marked(), 0);
  EXPECT_EQ(undo_used, 0);
  expect_clean_surface();
}

TEST_F(WallToolTest, WallsTouchWithinTheGrownBoxesAndWhereTheirHeightsOverlap) {
  WallElem* base = axis_wall(0, 0, 4, 0, 0.3);  // y from -0.15 to 0.15
  struct Case {
    double gap;     // between the boxes in y
    double z0, z1;  // base and top of the second wall
    int apart;
  } cases[] = {
      {0.015, 0, 2.75, 0}, {0.025, 0, 2.75, 1},
      {0.0, 2.75, 5, 1},  // standing on top: at or above counts as apart
      {0.0, 2.7, 5, 0},    {0.0, -3, 0, 1},
      {0.0, -3, 0.1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "gap " << c.gap << ", z " << c.z0 << " to " << c.z1);
    WallElem* other = axis_wall(0, 0.3 + c.gap, 4, 0.3 + c.gap, 0.3);
    for (int k = 0; k < 4; ++k) {
      other->corner[k].z = c.z0;
      other->corner[k + 4].z = c.z1;
    }
    EXPECT_EQ(wall_pair_apart(*base, *other), c.apart);
    EXPECT_EQ(wall_pair_apart(*other, *base), c.apart);
  }
  // Side by side and 0.015 apart they touch, but no segment lies on a side
  // of the other: nothing to connect.
  WallElem* near = axis_wall(0, 0.315, 4, 0.315, 0.3);
  EXPECT_FALSE(wall_connected_outline(*base, *near).has_value());
}

TEST_F(WallToolTest, AWallWithThirteenStoppedOpeningsConnectsWhole) {
  WallElem* long_wall = axis_wall(0, 0, 40, 0, 0.4);
  for (int i = 0; i < 13; ++i) {
    long_wall = with_opening(long_wall, 1.0 + 3 * i, 2.0 + 3 * i, 0.05, 0.1);
    ASSERT_NE(long_wall, nullptr) << "opening " << i;
  }
  ASSERT_EQ(long_wall->segments.size(), 108u);
  ASSERT_EQ(long_wall->openings.size(), 13u);
  // A wall across the long wall's end face.
  axis_wall(40.2, -3, 40.2, 3, 0.4);
  const std::vector<WallSegment> old = long_wall->segments;
  redraw();

  script.click_world(1, 20, 0.2).click_world(1, 40.2, 2).key("p_nop");
  run_tool(tool_wall_connect);
  const auto w = walls();
  ASSERT_EQ(w.size(), 2u);
  const WallElem* connected = w[0]->openings.size() == 13 ? w[0] : w[1];
  // The end face is gone; the faces that end on it already reach the other wall.
  ASSERT_EQ(connected->segments.size(), 107u);
  std::size_t kept = 0;
  for (const WallSegment& g : old)
    if (!(g.start.x == 40 && g.end.x == 40)) {
      EXPECT_EQ(connected->segments[kept].start.x, g.start.x);
      EXPECT_EQ(connected->segments[kept].end.y, g.end.y);
      ++kept;
    }
  EXPECT_EQ(kept, 107u);
  expect_clean_surface();
}

TEST_F(WallToolTest, ConnectAllJoinsWallsOfOnePenAndPutsThemLastInTurnOrder) {
  // An L of pen 1 at the origin, and a wall of pen 2 meeting the L's
  // vertical wall; a line and a wall on another layer stay where they are.
  axis_wall(0, 0, 6, 0, 0.4, 1);
  axis_wall(6.2, -0.2, 6.2, 5, 0.4, 1);
  WallElem* other_pen = axis_wall(6.4, 3, 9, 3, 0.4, 2);
  elem_new_line(0, 0, 0, -5, -5, -4, -4);
  WallElem* other_layer = axis_wall(0, 10, 5, 10, 0.4, 1);
  other_layer->layer = 3;
  const auto before = drawing_state();
  const std::vector<WallSegment> pen2 = other_pen->segments;
  redraw();

  run_tool(tool_wall_connect_all);

  const auto e = elements();
  ASSERT_EQ(e.size(), 5u);
  EXPECT_EQ(e[0]->kind, ELEM_LINE);
  EXPECT_EQ(e[1], other_layer);
  const auto* h = elem_as<WallElem>(e[2]);
  const auto* v = elem_as<WallElem>(e[3]);
  const auto* p = elem_as<WallElem>(e[4]);
  ASSERT_TRUE(h && v && p);
  // The horizontal wall's end face lies on the vertical wall's face 2-3;
  // the vertical wall's face is split at the horizontal wall's corners.
  expect_segments(h, {{0, -0.2, 6, -0.2}, {6, 0.2, 0, 0.2}, {0, 0.2, 0, -0.2}}, 1e-12);
  expect_segments(v, {{6.4, -0.2, 6.4, 5}, {6.4, 5, 6, 5}, {6, -0.2, 6.4, -0.2}, {6, 5, 6, 0.2}}, 1e-12);
  EXPECT_EQ(p->pen, 2);
  ASSERT_EQ(p->segments.size(), pen2.size());
  for (std::size_t i = 0; i < pen2.size(); ++i) EXPECT_EQ(p->segments[i].start.x, pen2[i].start.x);
  EXPECT_EQ(elem_count_marked(), 0);
  EXPECT_EQ(undo_used, 1);
  expect_clean_surface();

  undo_step_back();
  EXPECT_EQ(drawing_state(), before);
}

TEST_F(WallConnectTest, SeparateRestoresTheSidesAndTheOpeningsOneUndoBringsTheConnectionBack) {
  b = with_opening(b, 1, 2);
  ASSERT_NE(b, nullptr);
  redraw();
  script.click_world(1, 5, 3).click_world(1, 8, 0).key("p_nop");
  run_tool(tool_wall_connect);
  const auto connected = drawing_state();

  script.click_world(1, 8, 0).click_world(1, 20, 20).key("p_nop");
  run_tool(tool_wall_separate);
  const auto w = walls();
  ASSERT_EQ(w.size(), 2u);
  const WallElem* sep = w[1];
  ASSERT_EQ(sep->openings.size(), 1u);
  expect_segments(sep, {{0, -0.15, 1, -0.15},
                        {2, -0.15, 10, -0.15},
                        {10, -0.15, 10, 0.15},
                        {0, 0.15, 1, 0.15},
                        {2, 0.15, 10, 0.15},
                        {1, -0.15, 1, 0.15},
                        {2, -0.15, 2, 0.15},
                        {0, 0.15, 0, -0.15}});
  EXPECT_EQ(prompts().back(), "prompt Select Wall:");
  EXPECT_EQ(undo_used, 2);
  expect_clean_surface();
  undo_step_back();
  EXPECT_EQ(drawing_state(), connected);
}

TEST_F(WallConnectTest, SeparateAllRebuildsTheWallsOfTheCurrentLayerOnly) {
  WallElem* elsewhere = axis_wall(5, 5, 5, 0.15, 1.2);
  elsewhere->layer = 2;
  script.click_world(1, 5, 3).click_world(1, 2, 0).key("p_nop");
  run_tool(tool_wall_connect);
  elsewhere->segments.pop_back();
  const auto connected = drawing_state();

  run_tool(tool_wall_separate_all);
  const auto e = elements();
  ASSERT_EQ(e.size(), 3u);
  EXPECT_EQ(e[0], elsewhere);
  EXPECT_EQ(elsewhere->segments.size(), 3u);
  for (int i : {1, 2}) EXPECT_EQ(elem_as<WallElem>(e[i])->segments.size(), 4u);
  EXPECT_EQ(undo_used, 2);
  EXPECT_EQ(ui.calls_starting("message"), std::vector<std::string>{});
  expect_clean_surface();
  undo_step_back();
  EXPECT_EQ(drawing_state(), connected);
}

// Axis walls meeting at their axis points overlap without sharing a face:
// there is nothing to connect, and nothing to separate afterwards. Both
// commands say so instead of doing nothing without a word.
TEST_F(WallToolTest, ConnectAndSeparateAllSayWhenThereIsNothingToDo) {
  axis_wall(0, 0, 5, 0, 0.3);
  axis_wall(5, 0, 5, 5, 0.3);
  redraw();
  const auto before = drawing_state();

  run_tool(tool_wall_connect_all);
  EXPECT_EQ(drawing_state(), before);
  EXPECT_EQ(undo_used, 0);
  EXPECT_EQ(ui.calls_starting("message"), std::vector<std::string>{"message Message: No walls to connect"});

  ui.calls.clear();
  run_tool(tool_wall_separate_all);
  const auto w = walls();
  ASSERT_EQ(w.size(), 2u);
  expect_segments(w[0], {{0, -0.15, 5, -0.15}, {5, -0.15, 5, 0.15}, {5, 0.15, 0, 0.15}, {0, 0.15, 0, -0.15}});
  EXPECT_EQ(ui.calls_starting("message"), std::vector<std::string>{"message Message: No walls to separate"});
  expect_clean_surface();
}

// A door's stop leaves short steps in the outline: in a wall t thick with a
// stop t - s deep, the step from the stop to the inner face is s long and
// runs across the wall. Such a step near the end that stands on another
// wall is parallel to that wall's face, 2 cm from it: it does not lie on
// it, however short it is. Only the end face goes, and every outline stays
// closed. The wall W runs along y from the face y = 0.15 of a wall B along
// x (0.3 thick, x 0 to 10) up to y = 4: in its middle at x = 5 (a T), or at
// B's end with its face x = 0 flush with B's end face (a corner). The door
// is cut into W's face 0-1 (x = xo) from y 0.2325 to 1.1325 with a stop
// 0.0625 wide, so that the steps lie at y 0.17 and 1.195.
TEST_F(WallToolTest, ShortStopStepsNearAJointAreNotTakenForTheJoint) {
  struct Case {
    const char* name;
    bool corner;
    double t, s;  // W's thickness; the step's length
  } cases[] = {
      {"T, thin, 1 mm", false, 0.12, 0.001},       {"T, thin, 5 mm", false, 0.12, 0.005},
      {"T, thin, 2 cm", false, 0.12, 0.02},        {"T, thick, 1 mm", false, 0.365, 0.001},
      {"T, thick, 5 mm", false, 0.365, 0.005},     {"T, thick, 2 cm", false, 0.365, 0.02},
      {"corner, thin, 1 mm", true, 0.12, 0.001},   {"corner, thin, 5 mm", true, 0.12, 0.005},
      {"corner, thin, 2 cm", true, 0.12, 0.02},    {"corner, thick, 1 mm", true, 0.365, 0.001},
      {"corner, thick, 5 mm", true, 0.365, 0.005}, {"corner, thick, 2 cm", true, 0.365, 0.02},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    drawing_free();
    axis_wall(0, 0, 10, 0, 0.3);
    const double axis = c.corner ? c.t / 2 : 5.0;
    WallElem* w = axis_wall(axis, 0.15, axis, 4, c.t);
    const double xo = axis + c.t / 2, xi = axis - c.t / 2;  // W's faces 0-1 and 2-3
    const double y0 = 0.2325, y1 = 1.1325, sw = 0.0625, sd = c.t - c.s;
    Point3 box[8] = {{xo, y0, 0, 0},   {xo, y1, 0, 0},   {xi, y1, 0, 0},   {xi, y0, 0, 0},
                     {xo, y0, 2.1, 0}, {xo, y1, 2.1, 0}, {xi, y1, 2.1, 0}, {xi, y0, 2.1, 0}};
    WallElem* cut = opening_cut_wall(box, OPENING_DOOR, 0, 0.0, 2.1, sw, sd, 0, w);
    ASSERT_NE(cut, w);
    w->mark = 1;
    elem_purge_marked();
    redraw();

    run_tool(tool_wall_connect_all);

    const auto ws = walls();
    ASSERT_EQ(ws.size(), 2u);
    const WallElem* door_wall = ws[0]->openings.empty() ? ws[1] : ws[0];
    const WallElem* base = ws[0]->openings.empty() ? ws[0] : ws[1];
    // The steps' x: the stop lies s in front of the inner face.
    const double xs = xi + c.s, yw0 = 0.17, yw1 = 1.195;
    // Everything but the end face on B: no piece is added, W's faces end on
    // B's face.
    EXPECT_EQ(wall_outline_of(door_wall->segments), outline({{xo, 0.15, xo, y0},
                                                             {xo, y1, xo, 4},
                                                             {xo, 4, xi, 4},
                                                             {xi, 0.15, xi, yw0},
                                                             {xi, yw1, xi, 4},
                                                             {xo, y0, xs, y0},
                                                             {xs, y0, xs, yw0},
                                                             {xs, yw0, xi, yw0},
                                                             {xo, y1, xs, y1},
                                                             {xs, y1, xs, yw1},
                                                             {xs, yw1, xi, yw1}}));
    // B's face y = 0.15 is cut at W's corners; at the corner it starts at W's.
    std::vector<Seg> b_outline = {
        {0, -0.15, 10, -0.15}, {10, -0.15, 10, 0.15}, {0, 0.15, 0, -0.15}, {10, 0.15, xo, 0.15}};
    if (!c.corner) b_outline.push_back({0, 0.15, xi, 0.15});
    EXPECT_EQ(wall_outline_of(base->segments), outline(b_outline));
    EXPECT_EQ(wall_open_ends(), std::vector<std::string>{});
  }
}

// A wall ending near the face of another, e above it: within a tenth of a
// millimetre (the rounding of typed and turned walls) the two are joined
// both ways; a millimetre or more off, neither is, and both stay closed,
// instead of the short end face alone being taken as lying on the face.
TEST_F(WallToolTest, AWallEndingNearAFaceIsJoinedBothWaysOrNotAtAll) {
  struct Case {
    double e;
    bool joined;
  } cases[] = {{0.0, true}, {0.00005, true}, {0.001, false}, {0.005, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "e " << c.e);
    drawing_free();
    ui.calls.clear();
    axis_wall(0, 0, 10, 0, 0.3);
    axis_wall(5, 0.15 + c.e, 5, 4, 0.12);
    redraw();

    run_tool(tool_wall_connect_all);

    const auto ws = walls();
    ASSERT_EQ(ws.size(), 2u);
    const WallElem* base = ws[0]->corner[0].y < 0 ? ws[0] : ws[1];
    const WallElem* upright = base == ws[0] ? ws[1] : ws[0];
    const double y = 0.15 + c.e;
    if (c.joined) {
      EXPECT_EQ(wall_outline_of(upright->segments),
                outline({{5.06, y, 5.06, 4}, {5.06, 4, 4.94, 4}, {4.94, 4, 4.94, y}}));
      EXPECT_EQ(wall_outline_of(base->segments), outline({{0, -0.15, 10, -0.15},
                                                          {10, -0.15, 10, 0.15},
                                                          {0, 0.15, 0, -0.15},
                                                          {0, 0.15, 4.94, y},
                                                          {10, 0.15, 5.06, y}}));
    } else {
      EXPECT_EQ(wall_outline_of(upright->segments),
                outline({{5.06, y, 5.06, 4}, {5.06, 4, 4.94, 4}, {4.94, 4, 4.94, y}, {4.94, y, 5.06, y}}));
      EXPECT_EQ(
          wall_outline_of(base->segments),
          outline({{0, -0.15, 10, -0.15}, {10, -0.15, 10, 0.15}, {10, 0.15, 0, 0.15}, {0, 0.15, 0, -0.15}}));
      EXPECT_EQ(ui.calls_starting("message"),
                std::vector<std::string>{"message Message: No walls to connect"});
    }
    EXPECT_EQ(wall_open_ends(), std::vector<std::string>{});
  }
}

}  // namespace
