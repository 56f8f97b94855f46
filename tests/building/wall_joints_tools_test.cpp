// The joints of the 12 m x 9 m house under the Wall page's own tools that
// change walls: erasing part of a wall, extending and attaching an end,
// joining two walls in a mitre, separating a wall, and changing heights or
// cutting the tops. After each, every outline is closed, no outline runs
// across another wall, a wall that still touches a former partner is
// joined to it as Connect joins walls (a separated one is joined to none),
// a wall that no longer touches it is closed, and one undo step gives back
// the drawing as it was. Expected corners and outlines are worked out by
// hand from the house's measures.

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "joined_house_fixture.h"

namespace {

using namespace joined_house;

// The south wall of either house between x0 and x1 with the window (x 2
// to 3.01, stop 0.05 wide and 0.1 deep): its outer face, the window's
// stepped jambs and its inner face from the west wall's face (x = 0.365)
// to the window's gap; then the segments given.
std::vector<Seg> south(double x0, double x1, const std::vector<Seg>& more) {
  std::vector<Seg> s = {{x0, 0, 2, 0},          {3.01, 0, x1, 0},     {2, 0, 2, 0.1},
                        {2, 0.1, 1.95, 0.1},    {1.95, 0.1, 1.95, T}, {3.01, 0, 3.01, 0.1},
                        {3.01, 0.1, 3.06, 0.1}, {3.06, 0.1, 3.06, T}, {T, T, 1.95, T}};
  s.insert(s.end(), more.begin(), more.end());
  return s;
}

// The south wall from x0 on, joined to the east and the inner wall; its
// own end face at x = 12 where given.
std::vector<Seg> south_from(double x0, bool east_face) {
  std::vector<Seg> s = south(x0, 12, {{3.06, T, 6 - IW, T}, {6 + IW, T, 12 - T, T}});
  if (east_face) s.push_back({12, 0, 12, T});
  return s;
}

// The inner wall alone between y0 and y1, closed at both ends, the cross
// wall's gap in its east face where it still meets it.
std::vector<Seg> inner_closed(double y0, double y1, bool cross) {
  std::vector<Seg> s = {{6 - IW, y0, 6 - IW, y1}, {6 - IW, y0, 6 + IW, y0}, {6 - IW, y1, 6 + IW, y1}};
  if (cross) {
    s.push_back({6 + IW, y0, 6 + IW, 4.5 - IW});
    s.push_back({6 + IW, 4.5 + IW, 6 + IW, y1});
  } else {
    s.push_back({6 + IW, y0, 6 + IW, y1});
  }
  return s;
}

class WallJointsToolTest : public JoinedHouseTest {
 protected:
  // The wall of the group name whose plan reaches x (or y) at.
  static WallElem* piece(int name, double at, bool along_y = false) {
    for (WallElem* w : walls()) {
      if (w->group != name) continue;
      double lo = 1e9, hi = -1e9;
      for (int k = 0; k < 4; ++k) {
        const double v = along_y ? w->corner[k].y : w->corner[k].x;
        lo = std::min(lo, v);
        hi = std::max(hi, v);
      }
      if (lo <= at && at <= hi) return w;
    }
    return nullptr;
  }
  // Adds the lines of the steps, draws the view, and queues the events.
  void play(const std::vector<std::string>& steps) {
    for (const std::string& st : steps) {
      double a, b, c, d;
      if (std::sscanf(st.c_str(), "l %lf %lf %lf %lf", &a, &b, &c, &d) == 4)
        elem_new_line(0, 1, 0, a, b, c, d);
    }
    redraw();
    for (const std::string& st : steps) {
      double a, b, c, d;
      const std::string rest = st.substr(2);
      switch (st[0]) {
        case 'c':
          if (std::sscanf(rest.c_str(), "%lf %lf", &a, &b) == 2) script.click_world(1, a, b);
          break;
        case 'p':
          point(rest);
          break;
        case 'v':
          script.value(rest.c_str());
          break;
        case 'k':
          script.key(rest.c_str());
          break;
        case 'w':
          if (std::sscanf(rest.c_str(), "%lf %lf %lf %lf", &a, &b, &c, &d) == 4) select_window_of(a, b, c, d);
          break;
        default:
          break;
      }
    }
  }
  static std::vector<WallOutline> outlines() {
    std::vector<WallOutline> out;
    for (WallElem* w : walls()) out.push_back(wall_outline_of(w->segments));
    std::sort(out.begin(), out.end());
    return out;
  }
};

// One run of a wall tool on the house and what it must leave.
struct ToolEdit {
  const char* name;
  bool mitred;
  void (*tool)();
  // The events, as typed: "c X Y" a click at a world point, "p X;Y" a
  // typed point, "v TEXT" a value, "k KEY" a command key, "w X0 Y0 X1 Y1"
  // a Range window and OK, "l X0 Y0 X1 Y1" a line added first.
  std::vector<std::string> steps;
  // The walls of this group may be joined to none (a separated wall).
  int alone;
  std::function<void()> check;
};

class WallJointsToolTable : public WallJointsToolTest {
 public:
  void run(const ToolEdit& e) {
    SCOPED_TRACE(e.name);
    house(e.mitred);
    if (HasFatalFailure()) return;
    play(e.steps);
    const auto before = drawing_state();
    run_tool(e.tool);
    EXPECT_EQ(undo_used, 1);
    EXPECT_EQ(open_ends(), std::vector<std::string>{});
    EXPECT_EQ(crossings(), 0);
    std::vector<std::pair<int, int>> left;
    for (const auto& p : connectable())
      if (p.first != e.alone && p.second != e.alone) left.push_back(p);
    EXPECT_EQ(left, (std::vector<std::pair<int, int>>{}));
    e.check();
    undo_step_back();
    EXPECT_EQ(drawing_state(), before);
    undo_record(UNDO_CLEAR, 0);
    elem_free_all();
  }
};

TEST_F(WallJointsToolTable, ErasingPartOfAJoinedWallKeepsThePiecesJoinedAndClosesTheRest) {
  const ToolEdit edits[] = {
      {"the south wall from x 4 to 5: both pieces keep their joints and the group",
       false,
       tool_wall_erase,
       {"c 8 0.1", "p 4;0.18", "p 5;0.18", "k z_enter", "k p_nop"},
       0,
       [] {
         EXPECT_EQ(walls().size(), 7u);
         WallElem *a = piece(SOUTH, 1), *b = piece(SOUTH, 8);
         expect_plan(a, {{0, 0}, {4, 0}, {4, T}, {0, T}});
         expect_outline(a, south(0, 4, {{3.06, T, 4, T}, {4, 0, 4, T}, {0, T, 0, 0}}));
         expect_outline(
             b, {{5, 0, 12, 0}, {12, 0, 12, T}, {5, T, 5, 0}, {5, T, 6 - IW, T}, {6 + IW, T, 12 - T, T}});
       }},
      {"the south wall from x 5.5 to 6.5, under the inner wall: the inner wall is closed",
       false,
       tool_wall_erase,
       {"c 8 0.1", "p 5.5;0.18", "p 6.5;0.18", "k z_enter", "k p_nop"},
       0,
       [] {
         expect_outline(piece(SOUTH, 8),
                        {{6.5, 0, 12, 0}, {12, 0, 12, T}, {6.5, T, 6.5, 0}, {6.5, T, 12 - T, T}});
         expect_outline(wall(INNER), {{6 - IW, T, 6 - IW, 9 - T},
                                      {6 + IW, T, 6 + IW, 4.5 - IW},
                                      {6 + IW, 4.5 + IW, 6 + IW, 9 - T},
                                      {6 - IW, T, 6 + IW, T}});
       }},
      {"the inner wall from y 4 to 5, across the cross wall's joint: the cross wall is closed",
       false,
       tool_wall_erase,
       {"c 6 2", "p 6;4", "p 6;5", "k z_enter", "k p_nop"},
       0,
       [] {
         expect_outline(piece(INNER, 1, true),
                        {{6 - IW, T, 6 - IW, 4}, {6 + IW, T, 6 + IW, 4}, {6 - IW, 4, 6 + IW, 4}});
         expect_outline(piece(INNER, 8, true),
                        {{6 - IW, 5, 6 - IW, 9 - T}, {6 + IW, 5, 6 + IW, 9 - T}, {6 - IW, 5, 6 + IW, 5}});
         expect_outline(wall(CROSS), cross_from(6 + IW, true));
       }},
      {"the whole cross wall: the inner and the east wall are closed",
       false,
       tool_wall_erase,
       {"c 9 4.5", "p 5;4.5", "p 13;4.5", "k z_enter", "k p_nop"},
       0,
       [] {
         EXPECT_EQ(wall(CROSS), nullptr);
         expect_outline(wall(INNER), {{6 - IW, T, 6 - IW, 9 - T}, {6 + IW, T, 6 + IW, 9 - T}});
         expect_outline(wall(EAST), {{12, T, 12, 9 - T}, {12 - T, T, 12 - T, 9 - T}});
       }},
      {"the mitred west wall from y 3 to 4: both pieces keep their mitres",
       true,
       tool_wall_erase,
       {"c 0.1 6", "p 0.18;4", "p 0.18;3", "k z_enter", "k p_nop"},
       0,
       [] {
         expect_outline(piece(WEST, 8, true), {{0, 9, 0, 4}, {0, 4, T, 4}, {T, 4, T, 9 - T}});
         expect_outline(piece(WEST, 1, true), {{0, 3, 0, 0}, {T, T, T, 3}, {0, 3, T, 3}});
         EXPECT_EQ(piece(WEST, 8, true)->group, WEST);
       }},
  };
  for (const ToolEdit& e : edits) run(e);
}

TEST_F(WallJointsToolTable, AnEndExtendedOrAttachedSettlesItsJoint) {
  const ToolEdit edits[] = {
      {"the west wall's south end extended to the south face: the south wall now stops at it",
       false,
       tool_wall_extend,
       {"c 0.2 0.6", "k p_nop"},
       0,
       [] {
         expect_plan(wall(WEST), {{T, 0}, {T, 9 - T}, {0, 9 - T}, {0, 0}});
         expect_plan(wall(SOUTH), {{T, 0}, {12, 0}, {12, T}, {T, T}});
         expect_outline(wall(WEST), {{0, 9 - T, 0, 0}, {0, 0, T, 0}, {T, T, T, 9 - T}});
         expect_outline(wall(SOUTH), south_from(T, true));
       }},
      {"the mitred west wall's south end extended: the south wall now stops at it",
       true,
       tool_wall_extend,
       {"c 0.2 0.6", "k p_nop"},
       0,
       [] {
         expect_plan(wall(WEST), {{0, 9}, {0, 0}, {T, 0}, {T, 9 - T}});
         expect_plan(wall(SOUTH), {{T, 0}, {12, 0}, {12 - T, T}, {T, T}});
         expect_outline(wall(WEST), {{0, 9, 0, 0}, {0, 0, T, 0}, {T, T, T, 9 - T}});
         expect_outline(wall(SOUTH), south_from(T, false));
       }},
      {"the west wall attached to a line 1 m south of the house: it runs past the south wall",
       false,
       tool_wall_attach,
       {"l -2 -1 14 -1", "c 3 -1", "w -0.2 0.2 0.6 8.8", "k p_nop"},
       0,
       [] {
         expect_plan(wall(WEST), {{T, -1}, {T, 9 - T}, {0, 9 - T}, {0, -1}});
         expect_outline(wall(WEST), {{0, 9 - T, 0, -1}, {0, -1, T, -1}, {T, -1, T, 0}, {T, T, T, 9 - T}});
         expect_outline(wall(SOUTH), south_from(T, true));
       }},
  };
  for (const ToolEdit& e : edits) run(e);
}

TEST_F(WallJointsToolTest, AJoinedEndDrivenIntoItsPartnerStaysOnThePartnersFace) {
  // The inner wall's south end extended goes through the south wall to its
  // outer face, and attached to a line north of the house through the
  // north wall: a wall cannot pass through a wall it stands on, so the
  // house stays as it was.
  for (const bool attach : {false, true}) {
    SCOPED_TRACE(attach ? "attach" : "extend");
    house(false);
    if (attach) {
      elem_new_line(0, 1, 0, -2, 10, 14, 10);
      redraw();
      script.click_world(1, 3, 10);
      select_window_of(5.8, 0.2, 6.3, 8.8);
      script.key("p_nop");
    } else {
      redraw();
      script.click_world(1, 6, 0.6).key("p_nop");
    }
    const auto before = outlines();
    run_tool(attach ? tool_wall_attach : tool_wall_extend);
    EXPECT_EQ(outlines(), before);
    expect_plan(wall(INNER), {{6 + IW, T}, {6 + IW, 9 - T}, {6 - IW, 9 - T}, {6 - IW, T}});
    undo_record(UNDO_CLEAR, 0);
    elem_free_all();
  }
}

TEST_F(WallJointsToolTable, JoinedWallsStayJoinedAfterAMitre) {
  const ToolEdit edits[] = {
      {"the west and the south wall of the T house mitred",
       false,
       tool_wall_join,
       {"c 0.2 2", "c 2 0.2", "k p_nop"},
       0,
       [] {
         expect_plan(wall(WEST), {{0, 9 - T}, {0, 0}, {T, T}, {T, 9 - T}});
         expect_plan(wall(SOUTH), {{12, T}, {T, T}, {0, 0}, {12, 0}});
         expect_outline(wall(WEST), {{0, 9 - T, 0, 0}, {T, T, T, 9 - T}});
         expect_outline(wall(SOUTH), south_from(0, true));
       }},
      {"the cross and the inner wall mitred: the inner wall leaves the north wall",
       false,
       tool_wall_join,
       {"c 9 4.5", "c 6 2", "k p_nop"},
       0,
       [] {
         expect_plan(wall(INNER), {{6 + IW, T}, {6 + IW, 4.5 - IW}, {6 - IW, 4.5 + IW}, {6 - IW, T}});
         expect_outline(wall(INNER), {{6 + IW, T, 6 + IW, 4.5 - IW}, {6 - IW, 4.5 + IW, 6 - IW, T}});
         std::vector<Seg> cross = cross_from(6 - IW, false);
         cross[0].x1 = 6 + IW;
         expect_outline(wall(CROSS), cross);
         expect_outline(wall(NORTH),
                        {{T, 9 - T, 12 - T, 9 - T}, {12, 9 - T, 12, 9}, {12, 9, 0, 9}, {0, 9, 0, 9 - T}});
         EXPECT_EQ(wall(CROSS)->openings.size(), 1u);
       }},
  };
  for (const ToolEdit& e : edits) run(e);
}

TEST_F(WallJointsToolTest, JoiningAMitredCornerAgainChangesNoOutline) {
  house(true);
  redraw();
  const auto before = outlines();
  script.click_world(1, 6, 0.1).click_world(1, 0.1, 4.5).key("p_nop");
  run_tool(tool_wall_join);
  EXPECT_EQ(outlines(), before);
  ASSERT_NE(wall(SOUTH), nullptr);
  EXPECT_EQ(wall(SOUTH)->openings.size(), 1u);
}

TEST_F(WallJointsToolTable, SeparatingAndChangingHeightsCloseThePartners) {
  // The inner wall stands alone afterwards: closed all round, the cross
  // wall closed at its west end, the south and north walls' inner faces
  // running through.
  auto alone = [] {
    expect_outline(wall(INNER), inner_closed(T, 9 - T, false));
    expect_outline(wall(CROSS), cross_from(6 + IW, true));
    expect_outline(wall(SOUTH), south(0, 12, {{3.06, T, 12 - T, T}, {12, 0, 12, T}, {0, T, 0, 0}}));
    expect_outline(wall(NORTH),
                   {{T, 9 - T, 12 - T, 9 - T}, {12, 9 - T, 12, 9}, {12, 9, 0, 9}, {0, 9, 0, 9 - T}});
  };
  const ToolEdit edits[] = {
      {"the inner wall separated", false, tool_wall_separate, {"c 6 2", "k p_nop"}, INNER, alone},
      {"the inner wall put a storey up",
       false,
       tool_wall_alter_height,
       {"w 5.8 0.2 6.3 8.8", "v 3", "v 2.75"},
       0,
       alone},
      {"the inner wall's top cut below its base",
       false,
       tool_wall_attach_3d,
       {"k z_abs", "v 0;0;-1", "k z_abs", "v 10;0;-1", "k z_abs", "v 0;10;-1", "k z_enter",
        "w 5.8 0.2 6.3 8.8"},
       0,
       alone},
  };
  for (const ToolEdit& e : edits) run(e);
}

TEST_F(WallJointsToolTest, HeightsThatStillMeetKeepEveryJoint) {
  house(false);
  redraw();
  const auto before = outlines();
  script.key("s_deffi_all").key("s_deffi_ok").value("0.5").value("2");
  run_tool(tool_wall_alter_height);
  EXPECT_EQ(outlines(), before);
}

}  // namespace
