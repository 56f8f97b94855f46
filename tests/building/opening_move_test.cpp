// Openings moved on their own with Edit > Move (the Opening selection) in a
// house whose walls are joined: an opening lands in the wall that holds it,
// its own or another, and belongs to it; one that fits nowhere stays where
// it was and the user is told why. Nothing is lost, the walls keep their
// joints, and one undo step takes the move back. The expected outlines are
// worked out by hand from the house's measures.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "display/command_buffer.h"
#include "house_fixture.h"
#include "model/geom.h"
#include "model/settings.h"
#include "tools/edit_tools.h"

namespace {

// The house of house_fixture.h with its door and windows.

// The south wall, joined, with the door's stepped gap.
const std::vector<Seg> south_with_door = {{0, 0, 2, 0},
                                          {3.01, 0, 10, 0},
                                          {10, 0, 10, 0.365},
                                          {0, 0.365, 0, 0},
                                          {9.635, 0.365, 6.115, 0.365},
                                          {0.365, 0.365, 1.95, 0.365},
                                          {3.06, 0.365, 6, 0.365},
                                          {2, 0, 2, 0.1},
                                          {2, 0.1, 1.95, 0.1},
                                          {1.95, 0.1, 1.95, 0.365},
                                          {3.01, 0, 3.01, 0.1},
                                          {3.01, 0.1, 3.06, 0.1},
                                          {3.06, 0.1, 3.06, 0.365}};
// The north wall, joined, with windows (no stop) from a to b on its face
// y = 7.635; the inner wall meets that face from x = 6 to 6.115.
std::vector<Seg> north_with(std::vector<std::pair<double, double>> windows) {
  std::vector<Seg> out = {{10, 7.635, 10, 8}, {0, 8, 0, 7.635}};
  std::vector<double> inner = {0.365}, outer = {0};
  for (const auto& [a, b] : windows) {
    inner.insert(inner.end(), {a, b});
    outer.insert(outer.end(), {a, b});
    out.push_back({a, 7.635, a, 8});
    out.push_back({b, 7.635, b, 8});
  }
  inner.push_back(9.635);
  outer.push_back(10);
  // The inner face is also cut by the T joint.
  std::vector<double> cuts = inner;
  cuts.insert(std::upper_bound(cuts.begin(), cuts.end(), 6.0), {6.0, 6.115});
  for (std::size_t i = 0; i + 1 < cuts.size(); i += 2) out.push_back({cuts[i], 7.635, cuts[i + 1], 7.635});
  for (std::size_t i = 0; i + 1 < outer.size(); i += 2) out.push_back({outer[i], 8, outer[i + 1], 8});
  return out;
}

const char* const across_text =
    "The opening was not moved: where it would go, it would reach across a joint of walls, another opening "
    "or the end of the wall.";
const char* const no_wall_text = "The opening was not moved: no wall lies where it would go.";

class OpeningMoveTest : public HouseTest {
 protected:
  void SetUp() override {
    HouseTest::SetUp();
    add_openings();
    undo_record(UNDO_CLEAR, 0);
    redraw();
    rows()["z_toggle"] = [] { select_type = 2; };
  }

  // Edit > Move, Type Opening, a click on the middle of each opening, OK,
  // the vector typed as two points. The openings are placed with that
  // vector and the run ends: no Escape is needed.
  void move_openings(const std::vector<Point2>& picks, const char* from, const char* to) {
    pending_command = "nop";
    script.key("z_toggle");
    for (const Point2& p : picks) script.click_world(1, p.x, p.y);
    script.key("s_deffi_ok");
    script.key("z_abs").value(from).key("z_abs").value(to).key("z_enter");
    run_tool(tool_edit_move);
  }
};

const Point2 door{2.505, 0.1825, 0}, window1{3.005, 7.8175, 0}, window2{8.005, 7.8175, 0};

TEST_F(OpeningMoveTest, TheHouseIsAsWorkedOutByHand) {
  EXPECT_EQ(wall_outline_of(wall(SOUTH)->segments), outline(south_with_door));
  EXPECT_EQ(wall_outline_of(wall(NORTH)->segments), outline(north_with({{2.5, 3.51}, {7.5, 8.51}})));
}

// Where the opening lands in a wall that holds it, it is cut in there and
// belongs to that wall; the wall it left is closed where it was.
TEST_F(OpeningMoveTest, AnOpeningLandsInTheWallThatHoldsIt) {
  struct Case {
    const char* name;
    std::vector<Point2> picks;
    const char *from, *to;
    std::map<int, std::size_t> counts;
    std::vector<Seg> south, north;
  } cases[] = {
      {"a window along its own wall",
       {window1},
       "0;0",
       "1.5;0",
       {{SOUTH, 1}, {NORTH, 2}, {WEST, 0}, {EAST, 0}, {INNER, 0}},
       south_with_door,
       north_with({{4, 5.01}, {7.5, 8.51}})},
      {"the door across the house into the north wall",
       {door},
       "1;1",
       "3;8.635",
       {{SOUTH, 0}, {NORTH, 3}, {WEST, 0}, {EAST, 0}, {INNER, 0}},
       south_joined,
       {}},
      {"a window into the south wall",
       {window2},
       "0;7.635",
       "-3;0",
       {{SOUTH, 2}, {NORTH, 1}, {WEST, 0}, {EAST, 0}, {INNER, 0}},
       {},
       north_with({{2.5, 3.51}})},
  };
  const auto before = drawing_state();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    move_openings(c.picks, c.from, c.to);
    EXPECT_EQ(errors(), std::vector<std::string>{});
    EXPECT_EQ(opening_counts(), c.counts);
    expect_no_open_ends();
    if (!c.south.empty()) {
      EXPECT_EQ(wall_outline_of(wall(SOUTH)->segments), outline(c.south));
    }
    if (!c.north.empty()) {
      EXPECT_EQ(wall_outline_of(wall(NORTH)->segments), outline(c.north));
    }
    EXPECT_EQ(undo_used, 1);
    undo_step_back();
    EXPECT_EQ(drawing_state(), before);
    undo_record(UNDO_CLEAR, 0);
    ui.calls.clear();
  }
}

// The door moved into the north wall: its stepped gap, worked out by hand,
// opens the north wall between the first window and the T joint.
TEST_F(OpeningMoveTest, TheDoorKeepsItsStopInTheWallItLandsIn) {
  move_openings({door}, "1;1", "3;8.635");
  std::vector<Seg> north = north_with({{2.5, 3.51}, {7.5, 8.51}});
  // The pieces of both faces between the window and the T joint are cut.
  std::erase_if(north, [](const Seg& s) {
    return (s.x1 == 3.51 && s.x2 == 6 && s.y1 == 7.635) || (s.x1 == 3.51 && s.x2 == 7.5 && s.y1 == 8);
  });
  north.insert(north.end(), {{3.51, 7.635, 4, 7.635},
                             {5.01, 7.635, 6, 7.635},
                             {3.51, 8, 3.95, 8},
                             {5.06, 8, 7.5, 8},
                             {4, 7.635, 4, 7.735},
                             {4, 7.735, 3.95, 7.735},
                             {3.95, 7.735, 3.95, 8},
                             {5.01, 7.635, 5.01, 7.735},
                             {5.01, 7.735, 5.06, 7.735},
                             {5.06, 7.735, 5.06, 8}});
  WallElem* n = wall(NORTH);
  EXPECT_EQ(wall_outline_of(n->segments), outline(north));
  ASSERT_EQ(n->openings.size(), 3u);
  const WallOpening& o = n->openings.back();
  EXPECT_EQ(o.kind, OPENING_PLAIN);
  EXPECT_DOUBLE_EQ(o.stop_width, 0.05);
  EXPECT_DOUBLE_EQ(o.stop_depth, 0.1);
  const double plan[4][2] = {{4, 7.635}, {5.01, 7.635}, {5.01, 8}, {4, 8}};
  for (int k = 0; k < 8; ++k) {
    EXPECT_NEAR(o.corner[k].x, plan[k % 4][0], 1e-9) << k;
    EXPECT_NEAR(o.corner[k].y, plan[k % 4][1], 1e-9) << k;
  }
}

// Where no wall can hold it, the opening stays where it was, nothing else
// changes, and an error box says why.
TEST_F(OpeningMoveTest, AnOpeningThatFitsNowhereStaysAndTheUserIsTold) {
  struct Case {
    const char* name;
    std::vector<Point2> picks;
    const char *from, *to;
    const char* told;
  } cases[] = {
      {"a window across the inner wall's T joint", {window2}, "0;0", "-2;0", across_text},
      {"a window onto the other window", {window1}, "0;0", "4.5;0", across_text},
      {"the door past the end of its wall", {door}, "0;0", "-2.5;0", across_text},
      {"the door into the room", {door}, "0;0", "0;3", no_wall_text},
      {"the door out of the house", {door}, "0;0", "0;-5", no_wall_text},
      {"a window into the south wall over the door", {window1}, "0;7.635", "0;0", across_text},
  };
  const auto before = drawing_state();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    move_openings(c.picks, c.from, c.to);
    EXPECT_EQ(errors(), std::vector<std::string>{std::string("error ") + c.told});
    EXPECT_EQ(drawing_state(), before);
    EXPECT_EQ(wall_outline_of(wall(SOUTH)->segments), outline(south_with_door));
    EXPECT_EQ(wall_outline_of(wall(NORTH)->segments), outline(north_with({{2.5, 3.51}, {7.5, 8.51}})));
    undo_step_back();
    EXPECT_EQ(drawing_state(), before);
    undo_record(UNDO_CLEAR, 0);
    ui.calls.clear();
  }
}

// The opening finds its place with the vector that moves it, not when the
// tool ends: until then its wall's outline ends at the gap would be carried
// off with it, a plan no one should see or save. The run ends there; a
// further vector is not asked for (the script would run dry).
TEST_F(OpeningMoveTest, AnOpeningIsPlacedWithItsVector) {
  struct Case {
    const char* name;
    const char* to;
    std::vector<std::string> told;
    std::size_t south, north;
  } cases[] = {
      {"into the room", "0;4", {std::string("error ") + no_wall_text}, 1, 2},
      {"into the north wall", "2;7.635", {}, 0, 3},
  };
  const auto before = drawing_state();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // A script that runs dry while the tool waits for more fails the run.
    move_openings({door}, "0;0", c.to);
    EXPECT_EQ(errors(), c.told);
    EXPECT_EQ(opening_counts(), (std::map<int, std::size_t>{
                                    {SOUTH, c.south}, {NORTH, c.north}, {WEST, 0}, {EAST, 0}, {INNER, 0}}));
    expect_no_open_ends();
    EXPECT_EQ(undo_used, 1);
    undo_step_back();
    EXPECT_EQ(drawing_state(), before);
    undo_record(UNDO_CLEAR, 0);
    ui.calls.clear();
  }
}

// Two windows moved together into the south wall: the one that meets the
// door stays, the other moves; neither is lost.
TEST_F(OpeningMoveTest, OpeningsMovedTogetherEachFindTheirPlace) {
  move_openings({window1, window2}, "0;7.635", "0;0");
  EXPECT_EQ(errors(), std::vector<std::string>{std::string("error ") + across_text});
  EXPECT_EQ(opening_counts(),
            (std::map<int, std::size_t>{{SOUTH, 2}, {NORTH, 1}, {WEST, 0}, {EAST, 0}, {INNER, 0}}));
  EXPECT_EQ(wall_outline_of(wall(NORTH)->segments), outline(north_with({{2.5, 3.51}})));
  ASSERT_EQ(wall(SOUTH)->openings.size(), 2u);
  EXPECT_DOUBLE_EQ(wall(SOUTH)->openings[1].corner[0].x, 7.5);
  EXPECT_DOUBLE_EQ(wall(SOUTH)->openings[1].corner[0].y, 0.0);
}

// The house turned by 30 degrees first: the door moved by the turned
// vector lands in the turned north wall as it does in the upright house.
TEST_F(OpeningMoveTest, AnOpeningLandsInAWallAtAnyAngle) {
  pending_command = "nop";
  script.key("s_deffi_all").key("s_deffi_ok").key("z_abs").value("0;0").key("z_enter").value("30");
  script.key("p_nop");
  run_tool(tool_edit_rotate);
  undo_record(UNDO_CLEAR, 0);
  const double c = std::cos(GEOM_PI / 6), s = std::sin(GEOM_PI / 6);
  auto turned = [&](double x, double y) { return Point2{c * x - s * y, s * x + c * y, 0}; };
  char to[64];
  const Point2 v = turned(2, 7.635);
  std::snprintf(to, sizeof to, "%.12f;%.12f", v.x, v.y);
  move_openings({turned(door.x, door.y)}, "0;0", to);
  EXPECT_EQ(errors(), std::vector<std::string>{});
  EXPECT_EQ(opening_counts(),
            (std::map<int, std::size_t>{{SOUTH, 0}, {NORTH, 3}, {WEST, 0}, {EAST, 0}, {INNER, 0}}));
  expect_no_open_ends();
}

// The door picked by the Opening type and its wall by a Range window in the
// same selection: the wall moves whole and carries the door along.
TEST_F(OpeningMoveTest, AnOpeningMovedWithItsWallGoesAlong) {
  static int toggles = 0;
  toggles = 0;
  rows()["z_toggle"] = [] { select_type = toggles++ == 0 ? 2 : 0; };
  pending_command = "nop";
  script.key("z_toggle").click_world(1, door.x, door.y);
  script.key("z_toggle").click_world(1, -0.5, -0.5).click_world(1, 10.5, 0.6).key("s_deffi_ok");
  script.key("z_abs").value("0;0").key("z_abs").value("0;-2").key("z_enter").key("p_nop");
  run_tool(tool_edit_move);
  EXPECT_EQ(errors(), std::vector<std::string>{});
  WallElem* south = wall(SOUTH);
  ASSERT_EQ(south->openings.size(), 1u);
  EXPECT_NEAR(south->corner[0].y, -2, 1e-9);
  EXPECT_NEAR(south->openings[0].corner[0].x, 2, 1e-9);
  EXPECT_NEAR(south->openings[0].corner[0].y, -2, 1e-9);
  std::vector<Seg> moved = south_with_door;
  for (Seg& g : moved) {
    g.y1 -= 2;
    g.y2 -= 2;
  }
  // Its inner face runs on where the walls it met stood (their joints are
  // the joint re-fit's), so only the door's pieces are compared.
  const WallOutline now = wall_outline_of(south->segments);
  for (const auto& g : outline({moved.begin() + 7, moved.end()}))
    EXPECT_NE(std::find(now.begin(), now.end(), g), now.end());
}

// The Point selection marks the same points when its window holds the
// opening's box and nothing of the wall's own corners: the window moves as
// with the Opening selection, into the south wall.
TEST_F(OpeningMoveTest, AnOpeningPickedByAPointWindowMovesTheSame) {
  rows()["z_toggle"] = [] { select_type = 4; };
  pending_command = "nop";
  script.key("z_toggle").click_world(1, 7.4, 7.5).click_world(1, 8.6, 8.1).key("s_deffi_ok");
  script.key("z_abs").value("0;7.635").key("z_abs").value("-3;0").key("z_enter");
  run_tool(tool_edit_move);
  EXPECT_EQ(errors(), std::vector<std::string>{});
  EXPECT_EQ(opening_counts(),
            (std::map<int, std::size_t>{{SOUTH, 2}, {NORTH, 1}, {WEST, 0}, {EAST, 0}, {INNER, 0}}));
  EXPECT_EQ(wall_outline_of(wall(NORTH)->segments), outline(north_with({{2.5, 3.51}})));
  expect_no_open_ends();
}

// A wall's end stretched with the Point selection: a window the wall still
// holds stays in it; a vector that would leave it outside the wall is not
// made, and the user is told.
TEST_F(OpeningMoveTest, AWallIsNotStretchedAwayFromItsOpening) {
  drawing_free();
  undo_record(UNDO_CLEAR, 0);
  WallElem* w = with_opening(axis_wall(0, 0, 10, 0, 0.3), 7.5, 8.5);
  ASSERT_NE(w, nullptr);
  redraw();
  rows()["z_toggle"] = [] { select_type = 4; };
  struct Case {
    const char* to;
    double end;  // of the wall along x afterwards
    std::vector<std::string> told;
  } cases[] = {
      {"-1;0", 9, {}},
      {"-1.5;0", 8.5, {}},  // the window's end on the wall's end
      {"-2;0", 10, {"error The wall was not stretched: one of its openings would not fit in it any more."}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.to);
    const auto before = drawing_state();
    pending_command = "nop";
    // A window around the wall's east end: its corners 1 and 2 and the
    // outline ends there.
    script.key("z_toggle").click_world(1, 9.8, -1).click_world(1, 10.2, 1).key("s_deffi_ok");
    script.key("z_abs").value("0;0").key("z_abs").value(c.to).key("z_enter").key("p_nop");
    run_tool(tool_edit_move);
    EXPECT_EQ(errors(), c.told);
    ASSERT_EQ(walls().size(), 1u);
    WallElem* now = walls().back();
    EXPECT_NEAR(now->corner[1].x, c.end, 1e-9);
    ASSERT_EQ(now->openings.size(), 1u);
    EXPECT_NEAR(now->openings[0].corner[0].x, 7.5, 1e-9);
    EXPECT_FALSE(elem_has_marked_point(now));
    undo_step_back();
    EXPECT_EQ(drawing_state(), before);
    undo_record(UNDO_CLEAR, 0);
    ui.calls.clear();
  }
}

// Scaled with its wall, an opening's box gets narrower, its stop does not:
// a scale that would leave the stop past the wall's end is not made, and
// the user is told; one that keeps it in the wall is made.
TEST_F(OpeningMoveTest, AWallIsNotScaledSoThatItsOpeningsStopLeavesIt) {
  drawing_free();
  undo_record(UNDO_CLEAR, 0);
  // The window's box runs from 9 to 9.85, its gap in the inner face 0.1
  // wider at both ends, to 9.95 on a wall that ends at 10: scaled by f
  // along x, the box's end lies 0.15 f before the wall's, so the stop
  // stays inside for f >= 2/3 only.
  ASSERT_NE(with_opening(axis_wall(0, 0, 10, 0, 0.3), 9, 9.85, 0.1, 0.05), nullptr);
  redraw();
  struct Case {
    const char* factor;
    double end;  // of the wall along x afterwards
    std::vector<std::string> told;
  } cases[] = {
      {"0.8", 8, {}},
      {"0.7", 7, {}},
      {"0.5", 10, {"error The wall was not stretched: one of its openings would not fit in it any more."}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.factor);
    const auto before = drawing_state();
    pending_command = "nop";
    script.key("s_deffi_all").key("s_deffi_ok").key("z_abs").value("0;0").key("z_enter");
    script.value(c.factor).value("1").value("1");
    run_tool([] { tool_edit_stretch(0); });
    EXPECT_EQ(errors(), c.told);
    ASSERT_EQ(walls().size(), 1u);
    WallElem* now = walls().back();
    EXPECT_NEAR(now->corner[1].x, c.end, 1e-9);
    ASSERT_EQ(now->openings.size(), 1u);
    EXPECT_NEAR(now->openings[0].corner[1].x, 9.85 * c.end / 10, 1e-9);
    if (c.told.empty()) {
      EXPECT_EQ(undo_used, 1);
      undo_step_back();
    } else {
      EXPECT_EQ(undo_used, 0);
    }
    EXPECT_EQ(drawing_state(), before);
    undo_record(UNDO_CLEAR, 0);
    ui.calls.clear();
  }
}

}  // namespace
