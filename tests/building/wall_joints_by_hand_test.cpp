// Joints between walls against outlines worked out by hand from the walls'
// measures, not by the functions that make them: Connect -All of a house,
// the inner wall moved, turned and taken out of it, and an opening moved
// along and removed in a wall another one meets.

#include <vector>

#include "building/opening_tools.h"
#include "display/command_buffer.h"
#include "house_fixture.h"
#include "model/settings.h"
#include "model/xform.h"
#include "tools/edit_tools.h"

namespace {

class WallJointsByHandTest : public HouseTest {
 protected:
  void SetUp() override {
    HouseTest::SetUp();
    undo_record(UNDO_CLEAR, 0);
    redraw();
    rows()["z_toggle"] = [] { select_type = 0; };
  }

  void expect_outlines(const std::vector<Seg>& south, const std::vector<Seg>& north,
                       const std::vector<Seg>& inner) {
    EXPECT_EQ(wall_outline_of(wall(SOUTH)->segments), outline(south)) << "south";
    EXPECT_EQ(wall_outline_of(wall(NORTH)->segments), outline(north)) << "north";
    EXPECT_EQ(wall_outline_of(wall(WEST)->segments), outline(west_joined)) << "west";
    EXPECT_EQ(wall_outline_of(wall(EAST)->segments), outline(east_joined)) << "east";
    EXPECT_EQ(wall_outline_of(wall(INNER)->segments), outline(inner)) << "inner";
  }
};

TEST_F(WallJointsByHandTest, ConnectAllJoinsTheHouse) {
  expect_outlines(south_joined, north_joined, inner_joined);
}

// The inner wall, picked by a window around it, edited with the tools.
TEST_F(WallJointsByHandTest, TheInnerWallMovedTurnedOrTakenOut) {
  struct Case {
    const char* name;
    void (*tool)();
    std::vector<const char*> points;
    const char* angle;
    std::vector<Seg> south, north, inner;
  } cases[] = {
      {"moved 1.5 to the west",
       tool_edit_move,
       {"6;4", "4.5;4"},
       nullptr,
       {{0, 0, 10, 0},
        {10, 0, 10, 0.365},
        {0, 0.365, 0, 0},
        {9.635, 0.365, 4.615, 0.365},
        {4.5, 0.365, 0.365, 0.365}},
       {{10, 7.635, 10, 8},
        {0, 8, 10, 8},
        {0, 8, 0, 7.635},
        {0.365, 7.635, 4.5, 7.635},
        {4.615, 7.635, 9.635, 7.635}},
       {{4.615, 0.365, 4.615, 7.635}, {4.5, 7.635, 4.5, 0.365}}},
      {"turned half about its middle",
       tool_edit_rotate,
       {"6.0575;4"},
       "180",
       south_joined,
       north_joined,
       inner_joined},
      {"moved out of the house",
       tool_edit_move,
       {"6;4", "30;4"},
       nullptr,
       {{0, 0, 10, 0}, {10, 0, 10, 0.365}, {0, 0.365, 0, 0}, {9.635, 0.365, 0.365, 0.365}},
       {{10, 7.635, 10, 8}, {0, 8, 10, 8}, {0, 8, 0, 7.635}, {0.365, 7.635, 9.635, 7.635}},
       {{30.115, 0.365, 30.115, 7.635},
        {30.115, 7.635, 30, 7.635},
        {30, 7.635, 30, 0.365},
        {30, 0.365, 30.115, 0.365}}},
  };
  const auto before = drawing_state();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    pending_command = "nop";
    script.key("z_toggle").click_world(1, 5.5, 0.3).click_world(1, 6.5, 7.7).key("s_deffi_ok");
    for (std::size_t i = 0; i < c.points.size(); ++i) {
      script.key("z_abs").value(c.points[i]);
      if (c.tool == tool_edit_move && i % 2 == 1) script.key("z_enter");
    }
    if (c.tool != tool_edit_move) script.key("z_enter");
    if (c.angle) script.value(c.angle);
    script.key("p_nop");
    run_tool(c.tool);
    expect_outlines(c.south, c.north, c.inner);
    undo_step_back();
    EXPECT_EQ(drawing_state(), before);
    undo_record(UNDO_CLEAR, 0);
  }
}

// A wall along x from 0 to 10, 0.3 thick (y -0.15 to 0.15), and one 1.2
// thick coming down onto its face y = 0.15 between x 4.4 and 5.6, joined to
// it, with a window from x 1 to 2 cut in: moved 1.5 along, or removed.
TEST_F(WallJointsByHandTest, AnOpeningMovedOrRemovedBesideAJoint) {
  drawing_free();
  WallElem* b = axis_wall(0, 0, 10, 0, 0.3);
  WallElem* a = axis_wall(5, 5, 5, 0.15, 1.2);
  wall_connect_to(b, a);
  elem_purge_marked();
  b = with_opening(walls().back(), 1, 2);
  ASSERT_NE(b, nullptr);
  const std::vector<Seg> joined = {{0, -0.15, 10, -0.15},
                                   {10, -0.15, 10, 0.15},
                                   {0, 0.15, 0, -0.15},
                                   {0, 0.15, 4.4, 0.15},
                                   {10, 0.15, 5.6, 0.15}};
  std::vector<Seg> with_window = {{0, -0.15, 1, -0.15},  {2, -0.15, 10, -0.15}, {10, -0.15, 10, 0.15},
                                  {0, 0.15, 0, -0.15},   {0, 0.15, 1, 0.15},    {2, 0.15, 4.4, 0.15},
                                  {10, 0.15, 5.6, 0.15}, {1, -0.15, 1, 0.15},   {2, -0.15, 2, 0.15}};
  EXPECT_EQ(wall_outline_of(b->segments), outline(with_window));

  // Moved along as Edit > Move with the Opening selection does it.
  WallOpening& o = b->openings.back();
  for (Point3& p : o.corner) p.mark = 1;
  for (WallSegment& g : b->segments)
    for (Point2* p : {&g.start, &g.end})
      for (int k = 0; k < 4; ++k)
        if (p->x == o.corner[k].x && p->y == o.corner[k].y) p->mark = 1;
  undo_record(UNDO_CHANGE_POINTS, 0);
  xform_move_marked(1.5, 0, 0);
  xform_stretch_marked_points();
  elem_purge_marked();
  b = walls().back();
  EXPECT_EQ(wall_outline_of(b->segments), outline({{0, -0.15, 2.5, -0.15},
                                                   {3.5, -0.15, 10, -0.15},
                                                   {10, -0.15, 10, 0.15},
                                                   {0, 0.15, 0, -0.15},
                                                   {0, 0.15, 2.5, 0.15},
                                                   {3.5, 0.15, 4.4, 0.15},
                                                   {10, 0.15, 5.6, 0.15},
                                                   {2.5, -0.15, 2.5, 0.15},
                                                   {3.5, -0.15, 3.5, 0.15}}));

  // Removed: the wall is closed where it was, the joint stays.
  b->openings[0].kind = OPENING_REMOVED;
  WallElem* closed = wall_recut_openings(b, {true});
  ASSERT_NE(closed, b);
  EXPECT_EQ(wall_outline_of(closed->segments), outline(joined));
  EXPECT_TRUE(closed->openings.empty());
}

}  // namespace
