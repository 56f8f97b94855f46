// The joints of a 12 m x 9 m house under every edit tool: walls moved,
// turned, mirrored, scaled, stretched at a corner, deleted and copied (once,
// to targets, in a series and a polar series, by a turn or a mirror). After
// each edit every outline is closed, no outline runs across another wall,
// every wall that still touches a former partner is joined to it as
// Connect joins walls, a wall that no longer touches it is closed, and one
// undo step gives back the drawing as it was. The expected corners and
// outlines are worked out by hand from the house's measures.

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "joined_house_fixture.h"
#include "model/layers.h"
#include "tools/edit_tools.h"

namespace {

using namespace joined_house;

class WallJointsFitTest : public JoinedHouseTest {
 protected:
  // The walls that are not the house's own: copies.
  static std::vector<WallElem*> copies() {
    std::vector<WallElem*> out;
    for (WallElem* w : walls())
      if (w->group < SOUTH || w->group > CROSS) out.push_back(w);
    return out;
  }

  // A copy of the inner wall whose axis lies at x: joined at both ends, its
  // two long faces are its whole outline.
  static void expect_inner_copy_at(double x);
};

void WallJointsFitTest::expect_inner_copy_at(double x) {
  for (WallElem* w : copies())
    if (std::fabs((w->corner[0].x + w->corner[2].x) / 2 - x) < 1e-9) {
      expect_outline(w, {{x - IW, T, x - IW, 9 - T}, {x + IW, T, x + IW, 9 - T}});
      return;
    }
  ADD_FAILURE() << "no copy at " << x;
}

// One edit of the house and what it must leave.
struct Edit {
  const char* name;
  bool mitred;
  void (*tool)();
  std::vector<int> selected;  // empty: everything
  // After the selection, as typed: "p X;Y" a point, "v TEXT" a value,
  // "k KEY" a command key.
  std::vector<std::string> steps;
  int undo_steps;
  void (*check)(WallJointsFitTest*);
};

class WallJointsFitTable : public WallJointsFitTest {
 public:
  void run(const Edit& e) {
    SCOPED_TRACE(e.name);
    house(e.mitred);
    if (HasFatalFailure()) return;
    const auto before = drawing_state();
    const auto counts = opening_counts();
    select(e.selected);
    for (const std::string& s : e.steps) {
      if (s.rfind("p ", 0) == 0) point(s.substr(2));
      if (s.rfind("v ", 0) == 0) script.value(s.substr(2).c_str());
      if (s.rfind("k ", 0) == 0) script.key(s.substr(2).c_str());
    }
    run_tool(e.tool);
    EXPECT_EQ(undo_used, e.undo_steps);
    EXPECT_EQ(open_ends(), std::vector<std::string>{});
    EXPECT_EQ(crossings(), 0);
    EXPECT_EQ(connectable(), (std::vector<std::pair<int, int>>{}));
    if (e.tool != tool_edit_delete) {
      // Copies carry their originals' openings.
      std::size_t n = 0, m = 0;
      for (const auto& [name, k] : counts) n += k;
      for (const auto& [name, k] : opening_counts()) m += k;
      EXPECT_GE(m, n);
    }
    e.check(this);
    for (int k = 0; k < e.undo_steps; ++k) undo_step_back();
    EXPECT_EQ(drawing_state(), before);
    undo_record(UNDO_CLEAR, 0);
    elem_free_all();
  }
};

// The south wall's inner face with the gaps of the walls that meet it, in
// the T house: pieces between x = 0.365 and 11.635 around each gap.
std::vector<Seg> south_inner(std::vector<std::pair<double, double>> gaps) {
  std::vector<Seg> out;
  double from = T;
  std::sort(gaps.begin(), gaps.end());
  for (const auto& [a, b] : gaps) {
    out.push_back({from, T, a, T});
    from = b;
  }
  out.push_back({from, T, 12 - T, T});
  return out;
}

// The south wall of the T house: outer face split by the window (x 2 to
// 3.01, stop 0.05 wide, 0.1 deep), its end faces, and the inner face
// pieces given.
std::vector<Seg> south_with(std::vector<Seg> inner) {
  std::vector<Seg> s = {{0, 0, 2, 0},         {3.01, 0, 12, 0},     {12, 0, 12, T},
                        {0, T, 0, 0},         {2, 0, 2, 0.1},       {2, 0.1, 1.95, 0.1},
                        {1.95, 0.1, 1.95, T}, {3.01, 0, 3.01, 0.1}, {3.01, 0.1, 3.06, 0.1},
                        {3.06, 0.1, 3.06, T}};
  // The inner face's gap is the window's widened by the stop.
  std::vector<std::pair<double, double>> cut;
  for (const Seg& g : inner) s.push_back(g);
  std::vector<Seg> split;
  for (const Seg& g : s) {
    if (g.y1 == T && g.y2 == T && std::min(g.x1, g.x2) < 1.95 && std::max(g.x1, g.x2) > 3.06) {
      split.push_back({std::min(g.x1, g.x2), T, 1.95, T});
      split.push_back({3.06, T, std::max(g.x1, g.x2), T});
    } else {
      split.push_back(g);
    }
  }
  return split;
}

TEST_F(WallJointsFitTable, EveryEditLeavesTheHouseJoinedAndClosed) {
  const Edit edits[] = {
      {"the inner wall moved 0.3 east: the cross wall's end follows it",
       false,
       tool_edit_move,
       {INNER},
       {"p 6;4", "p 6.3;4", "k z_enter", "k p_nop"},
       1,
       [](WallJointsFitTest*) {
         expect_plan(wall(CROSS), {{6.3 + IW, 4.5 - IW, 0},
                                   {12 - T, 4.5 - IW, 0},
                                   {12 - T, 4.5 + IW, 0},
                                   {6.3 + IW, 4.5 + IW, 0}});
         expect_outline(wall(CROSS), cross_from(6.3 + IW, false));
         expect_outline(wall(INNER), {{6.3 - IW, T, 6.3 - IW, 9 - T},
                                      {6.3 + IW, T, 6.3 + IW, 4.5 - IW},
                                      {6.3 + IW, 4.5 + IW, 6.3 + IW, 9 - T}});
         expect_outline(wall(SOUTH), south_with(south_inner({{6.3 - IW, 6.3 + IW}})));
       }},
      {"the inner wall moved 0.05 east: the cross wall's end inside it is trimmed",
       false,
       tool_edit_move,
       {INNER},
       {"p 6;4", "p 6.05;4", "k z_enter", "k p_nop"},
       1,
       [](WallJointsFitTest*) {
         expect_corner(wall(CROSS), 0, 6.05 + IW, 4.5 - IW);
         expect_corner(wall(CROSS), 3, 6.05 + IW, 4.5 + IW);
         expect_outline(wall(CROSS), cross_from(6.05 + IW, false));
       }},
      {"the inner wall moved 0.3 west: the cross wall no longer meets it and is closed",
       false,
       tool_edit_move,
       {INNER},
       {"p 6;4", "p 5.7;4", "k z_enter", "k p_nop"},
       1,
       [](WallJointsFitTest*) {
         expect_corner(wall(CROSS), 0, 6 + IW, 4.5 - IW);
         expect_outline(wall(CROSS), cross_from(6 + IW, true));
         expect_outline(wall(INNER), {{5.7 - IW, T, 5.7 - IW, 9 - T}, {5.7 + IW, T, 5.7 + IW, 9 - T}});
       }},
      {"the inner wall moved 0.2 north: its end in the north wall is trimmed, the south end closed",
       false,
       tool_edit_move,
       {INNER},
       {"p 6;4", "p 6;4.2", "k z_enter", "k p_nop"},
       1,
       [](WallJointsFitTest*) {
         expect_plan(wall(INNER),
                     {{6 + IW, T + 0.2, 0}, {6 + IW, 9 - T, 0}, {6 - IW, 9 - T, 0}, {6 - IW, T + 0.2, 0}});
         expect_outline(wall(INNER), {{6 - IW, T + 0.2, 6 - IW, 9 - T},
                                      {6 + IW, T + 0.2, 6 + IW, 4.5 - IW},
                                      {6 + IW, 4.5 + IW, 6 + IW, 9 - T},
                                      {6 - IW, T + 0.2, 6 + IW, T + 0.2}});
         expect_outline(wall(SOUTH), south_with(south_inner({})));
       }},
      {"the inner wall deleted: the south and north walls and the cross wall are closed",
       false,
       tool_edit_delete,
       {INNER},
       {},
       1,
       [](WallJointsFitTest*) {
         EXPECT_EQ(wall(INNER), nullptr);
         expect_outline(wall(SOUTH), south_with(south_inner({})));
         expect_outline(wall(CROSS), cross_from(6 + IW, true));
       }},
      {"the cross wall deleted: the inner and the east wall are closed",
       false,
       tool_edit_delete,
       {CROSS},
       {},
       1,
       [](WallJointsFitTest*) {
         expect_outline(wall(INNER), {{6 - IW, T, 6 - IW, 9 - T}, {6 + IW, T, 6 + IW, 9 - T}});
         expect_outline(wall(EAST), {{12, T, 12, 9 - T}, {12 - T, T, 12 - T, 9 - T}});
       }},
      {"the inner wall scaled to 0.4 of its length: it leaves the north and the cross wall",
       false,
       [] { tool_edit_stretch(0); },
       {INNER},
       {"p 6;0.365", "k z_enter", "v 1", "v 0.4", "v 1"},
       1,
       [](WallJointsFitTest*) {
         const double top = T + 0.4 * (9 - 2 * T);
         expect_outline(wall(INNER),
                        {{6 - IW, T, 6 - IW, top}, {6 + IW, T, 6 + IW, top}, {6 - IW, top, 6 + IW, top}});
         expect_outline(wall(CROSS), cross_from(6 + IW, true));
       }},
      {"the mitred south wall turned half round about its middle: its corners are mitred again",
       true,
       tool_edit_rotate,
       {SOUTH},
       {"p 6;0.1825", "k z_enter", "v 180", "k p_nop"},
       1,
       [](WallJointsFitTest*) {
         expect_plan(wall(SOUTH), {{12 - T, T, 0}, {T, T, 0}, {0, 0, 0}, {12, 0, 0}});
         expect_plan(wall(WEST), {{0, 9, 0}, {0, 0, 0}, {T, T, 0}, {T, 9 - T, 0}});
         expect_outline(wall(WEST), {{0, 9, 0, 0}, {T, T, T, 9 - T}});
       }},
      {"the mitred south wall mirrored about its axis: its corners are mitred again",
       true,
       tool_edit_mirror,
       {SOUTH},
       {"p 0;0.1825", "p 1;0.1825", "k z_enter"},
       1,
       [](WallJointsFitTest*) {
         expect_plan(wall(SOUTH), {{0, 0, 0}, {12, 0, 0}, {12 - T, T, 0}, {T, T, 0}});
         expect_outline(wall(EAST),
                        {{12, 0, 12, 9}, {12 - T, T, 12 - T, 4.5 - IW}, {12 - T, 4.5 + IW, 12 - T, 9 - T}});
       }},
      {"the mitred south wall moved 0.3 into the house: the corners follow it",
       true,
       tool_edit_move,
       {SOUTH},
       {"p 1;1", "p 1;1.3", "k z_enter", "k p_nop"},
       1,
       [](WallJointsFitTest*) {
         expect_plan(wall(SOUTH), {{0, 0.3, 0}, {12, 0.3, 0}, {12 - T, 0.3 + T, 0}, {T, 0.3 + T, 0}});
         expect_plan(wall(WEST), {{0, 9, 0}, {0, 0.3, 0}, {T, 0.3 + T, 0}, {T, 9 - T, 0}});
         expect_plan(wall(EAST), {{12, 0.3, 0}, {12, 9, 0}, {12 - T, 9 - T, 0}, {12 - T, 0.3 + T, 0}});
       }},
      {"the mitred west wall moved 0.2 into the house: the corners follow it",
       true,
       tool_edit_move,
       {WEST},
       {"p 1;1", "p 1.2;1", "k z_enter", "k p_nop"},
       1,
       [](WallJointsFitTest*) {
         expect_plan(wall(SOUTH), {{0.2, 0, 0}, {12, 0, 0}, {12 - T, T, 0}, {T + 0.2, T, 0}});
         expect_plan(wall(NORTH), {{12, 9, 0}, {0.2, 9, 0}, {T + 0.2, 9 - T, 0}, {12 - T, 9 - T, 0}});
         expect_plan(wall(WEST), {{0.2, 9, 0}, {0.2, 0, 0}, {T + 0.2, T, 0}, {T + 0.2, 9 - T, 0}});
       }},
      {"the mitred west wall moved 0.2 out of the house: it no longer meets the others, all are closed",
       true,
       tool_edit_move,
       {WEST},
       {"p 1;1", "p 0.8;1", "k z_enter", "k p_nop"},
       1,
       [](WallJointsFitTest*) {
         expect_plan(wall(SOUTH), {{0, 0, 0}, {12, 0, 0}, {12 - T, T, 0}, {T, T, 0}});
         expect_plan(wall(WEST), {{-0.2, 9, 0}, {-0.2, 0, 0}, {T - 0.2, T, 0}, {T - 0.2, 9 - T, 0}});
         expect_outline(wall(WEST), {{-0.2, 9, -0.2, 0},
                                     {-0.2, 0, T - 0.2, T},
                                     {T - 0.2, T, T - 0.2, 9 - T},
                                     {T - 0.2, 9 - T, -0.2, 9}});
       }},
  };
  for (const Edit& e : edits) run(e);
}

}  // namespace

namespace {

TEST_F(WallJointsFitTable, CopiesAreJoinedWhereTheyLandToTheWallsTheirOriginalWasJoinedTo) {
  const Edit edits[] = {
      {"copied to x = 4, then moved on to x = 5",
       false,
       tool_edit_copy,
       {INNER},
       {"p 6;4", "p 4;4", "k z_enter", "p 4;4", "p 5;4", "k z_enter", "k p_nop"},
       1,
       [](WallJointsFitTest*) {
         expect_inner_copy_at(5);
         expect_outline(wall(SOUTH), south_with(south_inner({{5 - IW, 5 + IW}, {6 - IW, 6 + IW}})));
       }},
      {"copied to a point outside, then to x = 4",
       false,
       tool_edit_mcopy,
       {INNER},
       {"p 6;4", "k z_enter", "p 30;4", "k z_enter", "p 4;4", "k z_enter", "k p_nop"},
       2,
       [](WallJointsFitTest*) {
         expect_inner_copy_at(4);
         expect_outline(wall(SOUTH), south_with(south_inner({{4 - IW, 4 + IW}, {6 - IW, 6 + IW}})));
         for (WallElem* w : copies())
           if (w->corner[0].x > 20) {
             EXPECT_EQ(w->segments.size(), 4u);
           }
       }},
      {"a series of three at 1 m west",
       false,
       tool_edit_series,
       {INNER},
       {"v 3", "p 6;4", "p 5;4", "k z_enter"},
       1,
       [](WallJointsFitTest*) {
         expect_inner_copy_at(5);
         expect_inner_copy_at(4);
         expect_outline(wall(SOUTH),
                        south_with(south_inner({{4 - IW, 4 + IW}, {5 - IW, 5 + IW}, {6 - IW, 6 + IW}})));
       }},
      {"mirrored with a copy about x = 5",
       false,
       tool_edit_mirror,
       {INNER},
       {"p 5;0", "p 5;1", "k z_enter"},
       1,
       [](WallJointsFitTest*) {
         expect_inner_copy_at(4);
         expect_outline(wall(SOUTH), south_with(south_inner({{4 - IW, 4 + IW}, {6 - IW, 6 + IW}})));
       }},
      {"turned with a copy half round about (5, 4.5)",
       false,
       tool_edit_rotate,
       {INNER},
       {"p 5;4.5", "k z_enter", "v 180", "k p_nop"},
       1,
       [](WallJointsFitTest*) {
         expect_inner_copy_at(4);
         expect_outline(wall(SOUTH), south_with(south_inner({{4 - IW, 4 + IW}, {6 - IW, 6 + IW}})));
       }},
  };
  rotate_copy = 1;
  mirror_copy = 1;
  for (const Edit& e : edits) run(e);
  rotate_copy = 0;
  mirror_copy = 0;
}

TEST_F(WallJointsFitTest, APolarSeriesOfARadialWallIsJoinedRoundTheCore) {
  // A square core 2 m wide and a wall from its east face out to x = 5,
  // joined; three copies at 90, 180 and 270 degrees about the core's
  // middle stand on its other faces.
  plan_wall({{-1, -1}, {1, -1}, {1, 1}, {-1, 1}}, 1);
  plan_wall({{1, -0.1}, {5, -0.1}, {5, 0.1}, {1, 0.1}}, 2);
  tool_wall_connect_all();
  undo_record(UNDO_CLEAR, 0);
  pending_command = "nop";
  const auto before = drawing_state();
  rows()["z_toggle"] = [] { select_type = 0; };
  script.key("z_toggle").click_world(1, 0.8, -0.4).click_world(1, 5.4, 0.4).key("s_deffi_ok");
  script.value("4");
  point("0;0");
  script.key("z_enter").value("360").value("0");
  run_tool(tool_edit_pseries);
  EXPECT_EQ(walls().size(), 5u);
  EXPECT_EQ(open_ends(), std::vector<std::string>{});
  EXPECT_EQ(crossings(), 0);
  EXPECT_EQ(connectable(), (std::vector<std::pair<int, int>>{}));
  WallElem* core = nullptr;
  for (WallElem* w : walls())
    if (w->group == 1) core = w;
  expect_outline(core, {{-1, -1, -0.1, -1},
                        {0.1, -1, 1, -1},
                        {1, -1, 1, -0.1},
                        {1, 0.1, 1, 1},
                        {1, 1, 0.1, 1},
                        {-0.1, 1, -1, 1},
                        {-1, 1, -1, 0.1},
                        {-1, -0.1, -1, -1}});
  // Each radial wall is open towards the core only.
  for (WallElem* w : walls())
    if (w != core) {
      EXPECT_EQ(w->segments.size(), 3u);
    }
  undo_step_back();
  EXPECT_EQ(drawing_state(), before);
}

TEST_F(WallJointsFitTest, AStretchedCornerKeepsItsJointsAndThePartnersFollow) {
  // The Point type and a window round the inner wall's north end: its two
  // corners there go 1 m east, along the north wall's face. The cross wall,
  // which stands on the inner wall's east face, follows that face.
  house(false);
  rows()["z_toggle"] = [] { select_type = 4; };
  script.key("z_toggle").click_world(1, 5.8, 8.5).click_world(1, 6.2, 8.8).key("s_deffi_ok");
  point("6;8");
  point("7;8");
  script.key("z_enter").key("p_nop");
  const auto before = drawing_state();
  run_tool(tool_edit_move);
  EXPECT_EQ(undo_used, 1);
  EXPECT_EQ(open_ends(), std::vector<std::string>{});
  EXPECT_EQ(crossings(), 0);
  EXPECT_EQ(connectable(), (std::vector<std::pair<int, int>>{}));
  expect_plan(wall(INNER), {{6 + IW, T, 0}, {7 + IW, 9 - T, 0}, {7 - IW, 9 - T, 0}, {6 - IW, T, 0}});
  // The east face runs from (6.0575, 0.365) to (7.0575, 8.635): x grows by
  // 1 / 8.27 for each metre north.
  const double q1 = 6 + IW + (4.5 - IW - T) / 8.27, q2 = 6 + IW + (4.5 + IW - T) / 8.27;
  expect_plan(wall(CROSS),
              {{q1, 4.5 - IW, 0}, {12 - T, 4.5 - IW, 0}, {12 - T, 4.5 + IW, 0}, {q2, 4.5 + IW, 0}});
  EXPECT_EQ(wall(CROSS)->openings.size(), 1u);
  expect_outline(wall(INNER),
                 {{6 - IW, T, 7 - IW, 9 - T}, {6 + IW, T, q1, 4.5 - IW}, {q2, 4.5 + IW, 7 + IW, 9 - T}});
  expect_outline(wall(NORTH), {{0, 9 - T, 0, 9},
                               {12, 9, 0, 9},
                               {12, 9 - T, 12, 9},
                               {T, 9 - T, 7 - IW, 9 - T},
                               {7 + IW, 9 - T, 12 - T, 9 - T}});
  for (WallElem* w : walls())
    for (const Point3& c : w->corner) EXPECT_EQ(c.mark, 0);
  undo_step_back();
  EXPECT_EQ(drawing_state(), before);
}

}  // namespace
