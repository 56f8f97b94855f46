// Walls of a connected house moved, turned, mirrored or copied with the
// edit tools, alone or with their neighbours: every joint that can still
// exist is there afterwards (each wall's outline is what connecting it with
// every wall it touches and cutting its openings in gives), a wall taken away
// from its neighbours leaves them and itself closed, the openings go along,
// and one undo step brings back the drawing as it was.

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "display/command_buffer.h"
#include "house_fixture.h"
#include "model/layers.h"
#include "model/settings.h"
#include "model/wall_index.h"
#include "model/xform.h"
#include "tools/edit_tools.h"

namespace {

using Outline = WallOutline;
Outline outline_of(const std::vector<WallSegment>& segs) { return wall_outline_of(segs); }
Outline outline_of(const WallElem* w) { return wall_outline_of(w->segments); }

// The house of house_fixture.h with its door and windows; the walls are
// told apart by their group numbers, which every wall tool keeps.
class WallJointsEditTest : public HouseTest {
 protected:
  void SetUp() override {
    HouseTest::SetUp();
    add_openings();
    undo_record(UNDO_CLEAR, 0);
  }

  // What each wall's outline must be in the drawing as it is: the outline
  // of its corners connected with every other wall, then its openings cut
  // in, worked out on copies.
  static std::map<int, Outline> joined_outlines() {
    std::map<int, Outline> out;
    const std::vector<WallElem*> ws = walls();
    for (WallElem* w : ws) {
      elem_append_copy(w);
      auto* work = static_cast<WallElem*>(elem_list_tail);
      work->mark = 0;
      work->segments.resize(4);
      wall_outline_quad(w->corner[0].x, w->corner[0].y, w->corner[1].x, w->corner[1].y, w->corner[2].x,
                        w->corner[2].y, w->corner[3].x, w->corner[3].y, work->segments.data());
      work->openings.clear();
      for (WallElem* other : ws)
        if (other != w)
          if (auto s = wall_connected_outline(*work, *other)) work->segments = *s;
      for (const WallOpening& o : w->openings) {
        WallElem* cut = opening_cut_wall(o.corner, o.kind, o.symbol_style, o.sill, o.height, o.stop_width,
                                         o.stop_depth, o.leaf_quadrant, work);
        EXPECT_NE(cut, work) << "an opening of wall " << w->group << " does not fit";
        work->mark = 1;
        elem_purge_marked();
        work = cut;
      }
      out[w->group] = outline_of(work);
      work->mark = 1;
      elem_purge_marked();
    }
    return out;
  }

  // The pairs of walls whose outlines are joined, by name.
  static std::vector<std::pair<int, int>> joints() {
    std::vector<std::pair<int, int>> out;
    const std::vector<WallElem*> ws = walls();
    for (WallElem* a : ws)
      for (WallElem* b : ws)
        if (a->group < b->group && wall_joined(*a, *b)) out.emplace_back(a->group, b->group);
    std::sort(out.begin(), out.end());
    return out;
  }

  void point(const char* xy) { script.key("z_abs").value(xy); }
  void select_all() { script.key("s_deffi_all").key("s_deffi_ok"); }
  // A window around one wall, in a range selection.
  void window_around(int name) {
    const WallBox b = wall_plan_box(*wall(name));
    script.click_world(1, b.xmin - 0.4, b.ymin - 0.4).click_world(1, b.xmax + 0.4, b.ymax + 0.4);
  }
  // Selects the walls of names (all for an empty list), runs the edit
  // tool, and ends it. Multiple copy takes its start point and then each
  // target point with a confirmation.
  void run_edit(void (*tool)(), const std::vector<int>& names, const std::vector<const char*>& pts,
                const char* angle = nullptr) {
    // The key that ended the previous tool is not waiting for this one.
    pending_command = "nop";
    if (names.empty()) {
      select_all();
    } else {
      // The Range type on the Select page; each window adds to the
      // selection.
      rows()["z_toggle"] = [] { select_type = 0; };
      script.key("z_toggle");
      for (int n : names) window_around(n);
      script.key("s_deffi_ok");
    }
    if (tool == tool_edit_mcopy) {
      for (const char* p : pts) {
        point(p);
        script.key("z_enter");
      }
      script.key("p_nop");
      run_tool(tool);
      return;
    }
    const bool vectors = tool == tool_edit_move || tool == tool_edit_copy;
    // Each vector, the centre and the axis are confirmed; a typed angle is
    // taken at once.
    for (std::size_t i = 0; i < pts.size(); ++i) {
      point(pts[i]);
      if (vectors && i % 2 == 1) script.key("z_enter");
    }
    if (!vectors) script.key("z_enter");
    if (angle) script.value(angle);
    if (tool != tool_edit_mirror) script.key("p_nop");
    run_tool(tool);
  }
};

const std::vector<std::pair<int, int>> house_joints = {{SOUTH, WEST}, {SOUTH, EAST}, {SOUTH, INNER},
                                                       {NORTH, WEST}, {NORTH, EAST}, {NORTH, INNER}};

TEST_F(WallJointsEditTest, WallsMovedTurnedOrMirroredKeepEveryJointThatCanStillExist) {
  struct Case {
    const char* name;
    void (*tool)();
    std::vector<int> selected;  // empty: every element
    std::vector<const char*> points;
    const char* angle;
    std::vector<std::pair<int, int>> joints;  // after the edit
    Point2 (*rigid)(Point2) = nullptr;        // the whole drawing mapped by it, or none
  };
  const std::vector<std::pair<int, int>> no_inner = {
      {SOUTH, WEST}, {SOUTH, EAST}, {NORTH, WEST}, {NORTH, EAST}};
  const Case cases[] = {
      {"the whole house moved",
       tool_edit_move,
       {},
       {"1;1", "4;3"},
       nullptr,
       house_joints,
       [](Point2 p) {
         return Point2{p.x + 3, p.y + 2, 0};
       }},
      {"the whole house turned",
       tool_edit_rotate,
       {},
       {"5;4"},
       "90",
       house_joints,
       [](Point2 p) {
         return Point2{9 - p.y, p.x - 1, 0};
       }},
      {"the whole house mirrored",
       tool_edit_mirror,
       {},
       {"12;0", "12;1"},
       nullptr,
       house_joints,
       [](Point2 p) {
         return Point2{24 - p.x, p.y, 0};
       }},
      {"the inner wall moved sideways", tool_edit_move, {INNER}, {"6;4", "4.5;4"}, nullptr, house_joints},
      {"the inner wall moved sideways twice",
       tool_edit_move,
       {INNER},
       {"6;4", "6.5;4", "1;1", "1.7;1"},
       nullptr,
       house_joints},
      {"the inner wall turned about its middle",
       tool_edit_rotate,
       {INNER},
       {"6.0575;4"},
       "180",
       house_joints},
      {"the inner wall mirrored about its axis",
       tool_edit_mirror,
       {INNER},
       {"6.0575;1", "6.0575;5"},
       nullptr,
       house_joints},
      {"the inner wall mirrored to the other side",
       tool_edit_mirror,
       {INNER},
       {"5;1", "5;5"},
       nullptr,
       house_joints},
      {"the inner wall moved out of the house", tool_edit_move, {INNER}, {"6;4", "30;4"}, nullptr, no_inner},
      {"the inner wall lifted above the others",
       tool_edit_move,
       {INNER},
       {"6;4;0", "6;4;5"},
       nullptr,
       no_inner},
      {"the north wall turned about its middle",
       tool_edit_rotate,
       {NORTH},
       {"5;7.8175"},
       "180",
       house_joints},
      {"the north wall mirrored about its axis",
       tool_edit_mirror,
       {NORTH},
       {"0;7.8175", "1;7.8175"},
       nullptr,
       house_joints},
      {"the south wall mirrored about its axis",
       tool_edit_mirror,
       {SOUTH},
       {"0;0.1825", "1;0.1825"},
       nullptr,
       house_joints},
      {"the north wall moved away",
       tool_edit_move,
       {NORTH},
       {"0;0", "0;3"},
       nullptr,
       {{SOUTH, WEST}, {SOUTH, EAST}, {SOUTH, INNER}}},
      {"the north wall moved away with the inner wall",
       tool_edit_move,
       {NORTH, INNER},
       {"0;0", "0;1"},
       nullptr,
       {{SOUTH, WEST}, {SOUTH, EAST}, {NORTH, INNER}}},
      {"all but the south wall moved up",
       tool_edit_move,
       {NORTH, WEST, EAST, INNER},
       {"0;0", "0;2"},
       nullptr,
       {{NORTH, WEST}, {NORTH, EAST}, {NORTH, INNER}}},
      {"all but the south wall turned away",
       tool_edit_rotate,
       {NORTH, WEST, EAST, INNER},
       {"20;4"},
       "90",
       {{NORTH, WEST}, {NORTH, EAST}, {NORTH, INNER}}},
  };
  const auto before = drawing_state();
  const auto counts = opening_counts();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(joints(), house_joints);
    std::map<int, std::vector<WallSegment>> segments_before;
    for (WallElem* w : walls()) segments_before[w->group] = w->segments;
    run_edit(c.tool, c.selected, c.points, c.angle);
    // One undo step for each vector of a move, one for a turn or a mirror.
    const int steps = c.tool == tool_edit_move ? static_cast<int>(c.points.size() / 2) : 1;
    EXPECT_EQ(undo_used, steps);
    ASSERT_EQ(walls().size(), 5u);
    EXPECT_EQ(joints(), c.joints);
    EXPECT_EQ(opening_counts(), counts);
    // Walls carried together keep their outlines as they were, carried
    // along; the others have the outlines that connecting them gives.
    auto want = joined_outlines();
    if (c.rigid)
      for (auto& [name, segs] : segments_before) {
        for (WallSegment& g : segs) {
          g.start = c.rigid(g.start);
          g.end = c.rigid(g.end);
        }
        want[name] = outline_of(segs);
      }
    for (WallElem* w : walls()) EXPECT_EQ(outline_of(w), want.at(w->group)) << "wall " << w->group;
    // Nothing is left to connect.
    for (WallElem* a : walls())
      for (WallElem* b : walls())
        if (a != b) {
          EXPECT_FALSE(wall_connected_outline(*a, *b).has_value()) << "walls " << a->group << " " << b->group;
        }
    for (int k = 0; k < steps; ++k) undo_step_back();
    ASSERT_EQ(drawing_state(), before);
    undo_record(UNDO_CLEAR, 0);
  }
}

TEST_F(WallJointsEditTest, ACopiedWallIsJoinedWhereItLandsAndTheOriginalKeepsItsJoints) {
  const auto before = drawing_state();
  const Outline inner = outline_of(wall(INNER));
  struct Case {
    const char* name;
    void (*tool)();
    std::vector<const char*> points;
    const char* angle;
  };
  const Case cases[] = {
      {"copied sideways", tool_edit_copy, {"6;4", "4;4"}, nullptr},
      {"copied and moved on", tool_edit_copy, {"6;4", "8.8;4", "1;1", "1.3;1"}, nullptr},
      {"copied by a turn", tool_edit_rotate, {"3.5;4"}, "180"},
      {"copied by a mirror", tool_edit_mirror, {"3.5;0", "3.5;1"}, nullptr},
      {"copied to a target point", tool_edit_mcopy, {"6;4", "4;4"}, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    rotate_copy = 1;
    mirror_copy = 1;
    run_edit(c.tool, {INNER}, c.points, c.angle);
    rotate_copy = 0;
    mirror_copy = 0;
    ASSERT_EQ(walls().size(), 6u);
    EXPECT_EQ(undo_used, 1);
    std::vector<WallElem*> inners;
    for (WallElem* w : walls())
      if (w->group != SOUTH && w->group != NORTH && w->group != WEST && w->group != EAST) inners.push_back(w);
    ASSERT_EQ(inners.size(), 2u);
    const auto want = joined_outlines();
    for (WallElem* w : walls()) EXPECT_EQ(outline_of(w), want.at(w->group)) << "wall " << w->group;
    for (WallElem* w : inners) {
      SCOPED_TRACE(w->corner[0].x);
      EXPECT_TRUE(wall_joined(*w, *wall(NORTH)));
      EXPECT_TRUE(wall_joined(*w, *wall(SOUTH)));
      for (WallElem* b : walls())
        if (b != w) {
          EXPECT_FALSE(wall_connected_outline(*w, *b).has_value());
        }
    }
    // The original stays as it was.
    EXPECT_TRUE(
        std::any_of(inners.begin(), inners.end(), [&](WallElem* w) { return outline_of(w) == inner; }));
    undo_step_back();
    EXPECT_EQ(drawing_state(), before);
    undo_record(UNDO_CLEAR, 0);
  }
}

TEST_F(WallJointsEditTest, AWallMovedInFrontOfAWindowIsNotJoinedThereAndTheWindowStays) {
  // The inner wall moved, turned or copied to stand against a window of
  // the north wall: that joint is not made, so the window keeps its gap;
  // the inner wall still meets the south wall.
  struct Case {
    const char* name;
    void (*tool)();
    std::vector<const char*> points;
    const char* angle;
  };
  const Case cases[] = {
      {"moved", tool_edit_move, {"6;4", "3.2;4"}, nullptr},
      {"moved against the other window's end", tool_edit_move, {"6;4", "8.45;4"}, nullptr},
      {"mirrored", tool_edit_mirror, {"4.65;0", "4.65;1"}, nullptr},
  };
  const auto before = drawing_state();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    run_edit(c.tool, {INNER}, c.points, c.angle);
    WallElem *north = wall(NORTH), *south = wall(SOUTH), *inner = wall(INNER);
    ASSERT_TRUE(north && south && inner);
    EXPECT_EQ(north->openings.size(), 2u);
    EXPECT_FALSE(wall_joined(*north, *inner));
    EXPECT_TRUE(wall_joined(*south, *inner));
    EXPECT_TRUE(wall_joined(*north, *wall(WEST)));
    EXPECT_TRUE(wall_joined(*north, *wall(EAST)));
    // Both are closed where they meet: the inner wall's end face is there.
    EXPECT_EQ(outline_of(inner).size(), 3u);
    undo_step_back();
    EXPECT_EQ(drawing_state(), before);
    undo_record(UNDO_CLEAR, 0);
  }
}

}  // namespace
