// Openings moved or removed in a wall that is connected to another: the
// wall keeps its joint, and its outline is the one that cutting the opening
// at its new place into the connected wall gives.

#include <algorithm>
#include <array>
#include <cmath>

#include "building/opening_tools.h"
#include "model/xform.h"
#include "support/wall_fixture.h"
#include "wall_tool_fixture.h"

namespace {

using Outline = WallOutline;
Outline outline_of(const WallElem* w) { return wall_outline_of(w->segments); }

struct Gap {
  double a, b;  // along the wall
  double stop_width, stop_depth;
};

class OpeningJointsTest : public WallToolTest {
 protected:
  // B along x from (0, 0) to (10, 0), 0.3 thick; A comes down from (5, 5)
  // onto B's upper face (x 4.4 to 5.6). B is connected to A.
  void SetUp() override {
    WallToolTest::SetUp();
    b_ = axis_wall(0, 0, 10, 0, 0.3);
    a_ = axis_wall(5, 5, 5, 0.15, 1.2);
    wall_connect_to(b_, a_);
    elem_purge_marked();
    b_ = walls().back();
  }
  // B as it is now, with the openings cut in, in order.
  WallElem* connected_with(const std::vector<Gap>& gaps) {
    WallElem* w = b_;
    for (const Gap& g : gaps) {
      w = with_opening(w, g.a, g.b, g.stop_width, g.stop_depth);
      if (!w) return nullptr;
    }
    b_ = w;
    return w;
  }
  // Outline of a fresh copy of B connected with the openings gaps.
  Outline expected(const std::vector<Gap>& gaps) {
    WallElem* plain = axis_wall(0, 0, 10, 0, 0.3);
    wall_connect_to(plain, a_);
    elem_purge_marked();
    WallElem* w = walls().back();
    for (const Gap& g : gaps) w = with_opening(w, g.a, g.b, g.stop_width, g.stop_depth);
    const Outline out = outline_of(w);
    w->mark = 1;
    elem_purge_marked();
    return out;
  }
  WallElem *a_ = nullptr, *b_ = nullptr;
};

TEST_F(OpeningJointsTest, ARemovedOpeningClosesItsGapAndTheJointStays) {
  // With and without a stop, at the wall's start, on either side of the
  // joint, alone and beside another opening.
  struct Case {
    std::vector<Gap> gaps;
    std::size_t removed;
  };
  const Case cases[] = {
      {{{1, 2, 0, 0}}, 0},
      {{{1, 2, 0.05, 0.1}}, 0},
      {{{0, 1, 0, 0}}, 0},
      {{{7, 8, 0.05, 0.1}}, 0},
      {{{1, 2, 0, 0}, {7, 8, 0.05, 0.1}}, 0},
      {{{1, 2, 0, 0}, {7, 8, 0.05, 0.1}}, 1},
      {{{1, 2, 0.05, 0.1}, {2.5, 3.5, 0, 0}}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.gaps.size() << " openings, removed " << c.removed << " from "
                                    << c.gaps[c.removed].a);
    WallElem* w = connected_with(c.gaps);
    ASSERT_NE(w, nullptr);
    std::vector<Gap> rest = c.gaps;
    rest.erase(rest.begin() + static_cast<std::ptrdiff_t>(c.removed));
    std::vector<bool> flags(w->openings.size(), false);
    flags[c.removed] = true;
    w->openings[c.removed].kind = OPENING_REMOVED;
    WallElem* closed = wall_recut_openings(w, flags);
    ASSERT_NE(closed, w);
    EXPECT_EQ(closed->openings.size(), rest.size());
    EXPECT_EQ(outline_of(closed), expected(rest));
    // The old record is left to the caller.
    EXPECT_EQ(walls().size(), 3u);
    for (WallElem* x : walls())
      if (x != a_) x->mark = 1;
    elem_purge_marked();
    b_ = axis_wall(0, 0, 10, 0, 0.3);
    wall_connect_to(b_, a_);
    elem_purge_marked();
    b_ = walls().back();
  }
}

TEST_F(OpeningJointsTest, AMovedOpeningIsCutInAgainWhereItIsAndTheJointStays) {
  // The opening selected as the Opening selection does it, moved along the
  // wall and fitted anew, as Edit > Move does.
  struct Case {
    Gap gap;
    double dx;
  };
  const Case cases[] = {{{1, 2, 0, 0}, 1.5}, {{3, 4, 0, 0}, -2}, {{7, 8, 0, 0}, -1}, {{6.5, 7.5, 0, 0}, 2.5}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "from " << c.gap.a << " by " << c.dx);
    WallElem* w = connected_with({c.gap});
    ASSERT_NE(w, nullptr);
    WallOpening& o = w->openings.back();
    for (Point3& p : o.corner) p.mark = 1;
    for (WallSegment& g : w->segments)
      for (Point2* p : {&g.start, &g.end})
        for (int k = 0; k < 4; ++k)
          if (p->x == o.corner[k].x && p->y == o.corner[k].y) p->mark = 1;
    const auto before = drawing_state();
    const int steps = undo_used;
    undo_record(UNDO_CHANGE_POINTS, 0);
    xform_move_marked(c.dx, 0, 0);
    xform_stretch_marked_points();
    elem_purge_marked();

    ASSERT_EQ(walls().size(), 2u);
    WallElem* moved = walls().back();
    ASSERT_EQ(moved->openings.size(), 1u);
    EXPECT_NEAR(moved->openings[0].corner[0].x, c.gap.a + c.dx, 1e-9);
    EXPECT_EQ(outline_of(moved), expected({{c.gap.a + c.dx, c.gap.b + c.dx, 0, 0}}));
    // One undo step takes the move back, the wall as it was.
    EXPECT_EQ(undo_used, steps + 1);
    undo_step_back();
    EXPECT_EQ(drawing_state(), before);
    undo_step_forward();
    moved = walls().back();
    moved->mark = 1;
    elem_purge_marked();
    b_ = axis_wall(0, 0, 10, 0, 0.3);
    wall_connect_to(b_, a_);
    elem_purge_marked();
    b_ = walls().back();
  }
}

}  // namespace
