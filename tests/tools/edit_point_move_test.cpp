// Moving single vertices (the Point selection): only the marked vertices
// move, the walls whose corners moved get a fitted outline with their
// openings cut in again, and a move cancelled before any vector leaves every
// wall as it was and the undo history alone.

#include <string>
#include <vector>

#include "edit_tool_fixture.h"

namespace {

class PointMoveTest : public EditToolTest {
 protected:
  // The Point selection of what lies in the window, then OK.
  void select_points(double x1, double y1, double x2, double y2) {
    choose_type(4);
    script.click_world(1, x1, y1).click_world(1, x2, y2).key("s_deffi_ok");
  }
  static WallElem* the_wall() {
    for (ElemHeader* e : elements())
      if (auto* w = elem_as<WallElem>(e)) return w;
    return nullptr;
  }
};

TEST_F(PointMoveTest, OnlyTheMarkedEndOfALineMoves) {
  elem_new_line(0, 0, 0, 0, 0, 5, 0);
  elem_new_line(0, 0, 0, 0, 5, 5, 5);
  redraw();
  select_points(4, -1, 6, 1);
  script.click_world(1, 30, 25).click_world(1, 32, 25).key("z_enter").key("p_nop");
  run_tool(tool_edit_move);
  expect_line(lines()[0], 0, 0, 7, 0);
  expect_line(lines()[1], 0, 5, 5, 5);
  EXPECT_EQ(undo_used, 1);
  for (ElemHeader* e : elements()) EXPECT_EQ(elem_has_marked_point(e), 0);
  expect_clean_surface();
  undo_step_back();
  // What undo brings back comes last in the list.
  expect_line(lines().back(), 0, 0, 5, 0);
}

TEST_F(PointMoveTest, AWallWhoseEndMovedGetsAFittedOutlineWithItsDoor) {
  wall_with_door(-6, 0, 0);
  redraw();
  const auto before = chunks();
  // The end face: corners 1 and 2 at x = 0.
  select_points(-0.5, -1, 0.5, 1);
  script.click_world(1, 30, 25).click_world(1, 32, 25).key("z_enter").key("p_nop");
  run_tool(tool_edit_move);

  const WallElem* w = the_wall();
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(elements().size(), 1u);
  EXPECT_NEAR(w->corner[1].x, 2, 1e-12);
  EXPECT_NEAR(w->corner[2].x, 2, 1e-12);
  EXPECT_NEAR(w->corner[0].x, -6, 1e-12);
  ASSERT_EQ(w->openings.size(), 1u);
  EXPECT_NEAR(w->openings[0].corner[0].x, -5, 1e-12);
  // The outline reaches the moved end: a segment ends on each moved corner.
  int on_end = 0;
  for (const WallSegment& s : w->segments)
    for (const Point2* p : {&s.start, &s.end}) on_end += p->x == 2.0;
  EXPECT_EQ(on_end, 4);
  for (const WallSegment& s : w->segments) {
    EXPECT_LE(s.start.x, 2.0);
    EXPECT_LE(s.end.x, 2.0);
  }
  EXPECT_EQ(elem_has_marked_point(w), 0);
  EXPECT_EQ(undo_used, 1);
  expect_clean_surface();
  undo_step_back();
  EXPECT_EQ(chunks(), before);
}

TEST_F(PointMoveTest, ACancelledMoveLeavesWallsAndTheUndoHistoryAlone) {
  struct Case {
    const char* name;
    bool zero_vector;  // else cancelled at the start point
  } cases[] = {{"cancelled", false}, {"zero vector", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    drawing_free();
    drawing_init();
    undo_record(UNDO_CLEAR, 0);
    pending_command = "nop";
    wall_with_door(-6, 0, 0);
    // Joined to a wall beside it: its outline is not the plain one a
    // re-fit would make.
    WallElem* w = the_wall();
    w->segments[0].end.x = 0.3;
    redraw();
    // An earlier action of its own.
    elem_new_line(0, 0, 0, 10, 10, 15, 10);
    undo_record(UNDO_CREATED, 1);
    redraw();
    const auto before = chunks();
    const std::string wall = chunk_of(w);
    select_points(-0.5, -1, 0.5, 1);
    if (c.zero_vector)
      script.click_world(1, 30, 25).click_world(1, 30, 25).key("z_enter");
    else
      script.key("p_nop");
    run_tool(tool_edit_move);
    EXPECT_EQ(chunks(), before);
    EXPECT_EQ(undo_used, 1);
    for (ElemHeader* e : elements()) EXPECT_EQ(elem_has_marked_point(e), 0);
    expect_clean_surface();
    // Taking the earlier action back takes only its line.
    undo_step_back();
    ASSERT_EQ(elements().size(), 1u);
    EXPECT_EQ(chunk_of(elements()[0]), wall);
  }
}

}  // namespace
