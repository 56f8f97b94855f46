// The opening tools run end to end by scripts on a 6 m wall along x (0.3
// thick, face 0-1 at y = -0.15, face 2-3 at y = 0.15): placing by two
// points and by a fixed width in both directions, the outer side, door
// leaves, the limit of openings per wall, altering, dissolving and removing;
// every action one undo step.

#include "building/opening_tools.h"

#include "../display/pixels.h"
#include "model/layers.h"
#include "wall_tool_fixture.h"

namespace {

class OpeningToolTest : public WallToolTest {
 protected:
  void SetUp() override {
    WallToolTest::SetUp();
    for (OpeningPreset* p : {&opening_preset, &door_preset, &window_preset}) {
      p->symbol_variant = 1;
      p->base = 0.8;
      p->height = 1.2;
      p->stop_width = 0.0;
      p->stop_depth = 0.0;
    }
    opening_width = door_width = window_width = 1.01;
    opening_width_fixed = door_width_fixed = window_width_fixed = 0;
    wall = axis_wall(0, 0, 6, 0, 0.3);
    undo_record(UNDO_CLEAR, 0);
    redraw();
  }

  // The only wall's openings.
  std::vector<WallOpening>& openings() {
    const auto w = walls();
    EXPECT_EQ(w.size(), 1u);
    return w[0]->openings;
  }

  // After one action: one undo step, which brings back the drawing before.
  void expect_one_undo_step(const std::vector<std::string>& before) {
    expect_clean_surface();
    EXPECT_EQ(undo_used, 1);
    undo_step_back();
    EXPECT_EQ(drawing_state(), before);
    redraw();
  }

  WallElem* wall = nullptr;
};

void expect_box(const WallOpening& o, std::vector<Point2> plan, double z0, double z1) {
  for (int k = 0; k < 4; ++k) {
    for (int up : {0, 4}) {
      EXPECT_NEAR(o.corner[k + up].x, plan[k].x, 1e-9) << "box corner " << k + up;
      EXPECT_NEAR(o.corner[k + up].y, plan[k].y, 1e-9) << "box corner " << k + up;
      EXPECT_NEAR(o.corner[k + up].z, up ? z1 : z0, 1e-9) << "box corner " << k + up;
    }
  }
}

TEST_F(OpeningToolTest, PlacementByTwoPointsOrAFixedWidthWithTheOuterSide) {
  struct Case {
    const char* name;
    bool fixed;
    Point2 p0, p1;  // the end point, or the direction pick
    Point2 side;
    std::vector<Point2> box;
  } cases[] = {
      {"fixed width towards corner 1",
       true,
       {1, 0.1},
       {3, 0},
       {3, -1},
       {{1, -0.15}, {2.01, -0.15}, {2.01, 0.15}, {1, 0.15}}},
      {"fixed width towards corner 0",
       true,
       {3, 0},
       {2, 0.4},
       {3, -1},
       {{1.99, -0.15}, {3, -0.15}, {3, 0.15}, {1.99, 0.15}}},
      {"two points", false, {1, 0}, {2.5, 0.1}, {3, -1}, {{1, -0.15}, {2.5, -0.15}, {2.5, 0.15}, {1, 0.15}}},
      {"two points backwards",
       false,
       {2.5, 0.1},
       {1, 0},
       {3, -1},
       {{1, -0.15}, {2.5, -0.15}, {2.5, 0.15}, {1, 0.15}}},
      {"outer side 2-3", false, {1, 0}, {2.5, 0}, {3, 1}, {{2.5, 0.15}, {1, 0.15}, {1, -0.15}, {2.5, -0.15}}},
      {"side pick on the middle line",
       false,
       {1, 0},
       {2.5, 0},
       {3, 0},
       {{1, -0.15}, {2.5, -0.15}, {2.5, 0.15}, {1, 0.15}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    elem_free_all();
    undo_record(UNDO_CLEAR, 0);
    wall = axis_wall(0, 0, 6, 0, 0.3);
    wall->corner[0].z = 0.25;  // the box stands on corner 0's z
    redraw();
    const auto before = drawing_state();
    opening_width_fixed = c.fixed ? 1 : 0;
    ui.calls.clear();
    script.click_world(1, 3, 0.1).click_world(1, c.p0.x, c.p0.y);
    if (c.fixed)
      script.key("z_enter").click_world(1, c.p1.x, c.p1.y);
    else
      script.click_world(1, c.p1.x, c.p1.y).key("z_enter");
    script.click_world(1, c.side.x, c.side.y).key("p_nop");
    run_tool(tool_opening_opening);

    ASSERT_EQ(openings().size(), 1u);
    const WallOpening& o = openings()[0];
    expect_box(o, c.box, 1.05, 2.25);
    EXPECT_EQ(o.kind, OPENING_PLAIN);
    EXPECT_EQ(o.symbol_style, 1);
    EXPECT_EQ(o.leaf_quadrant, 0);
    EXPECT_EQ(o.sill, 0.8);
    EXPECT_EQ(o.height, 1.2);
    EXPECT_EQ(walls()[0]->segments.size(), 8u);
    EXPECT_EQ(walls()[0]->mark, 0);
    const std::vector<std::string> expected_prompts =
        c.fixed
            ? std::vector<std::string>{"prompt Select Wall:", "prompt Start point:", "prompt Move/Confirm:",
                                       "prompt Direction:",   "prompt Outer side:",  "prompt Select Wall:"}
            : std::vector<std::string>{
                  "prompt Select Wall:",  "prompt Start point:", "prompt Move/End point:",
                  "prompt Move/Confirm:", "prompt Outer side:",  "prompt Select Wall:"};
    EXPECT_EQ(prompts(), expected_prompts);
    expect_one_undo_step(before);
  }
}

TEST_F(OpeningToolTest, RubberBandsFollowThePointer) {
  // A wall 3 m thick, so that the lines of the rubber bands lie apart.
  elem_free_all();
  wall = axis_wall(0, 0, 6, 0, 3.0);
  redraw();
  door_width_fixed = 1;
  // A row that draws the rubber band of the waiting step for a pointer at
  // (x, y) and keeps which pixels it inverted, then draws it again to take
  // it off.
  auto look_at = [&](std::vector<bool>& out, double x, double y) {
    return [&out, x, y] {
      InputRequest* r = active_request;
      ASSERT_NE(r->preview[r->step], nullptr);
      const std::vector<uint32_t> before = view_pixels(0);
      r->preview[r->step](r, x, y);
      const std::vector<uint32_t> now = view_pixels(0);
      r->preview[r->step](r, x, y);
      EXPECT_EQ(view_pixels(0), before);
      out.resize(now.size());
      for (std::size_t i = 0; i < now.size(); ++i) out[i] = now[i] != before[i];
    };
  };
  auto inverted = [&](const std::vector<bool>& band, double x, double y) {
    return bool(band[static_cast<std::size_t>(py(y)) * 600 + static_cast<std::size_t>(px(x))]);
  };
  std::vector<bool> direction, side, leaf;
  rows()["z_look"] = look_at(direction, 2, 0);
  rows()["z_look2"] = look_at(side, 2.5, -2);
  rows()["z_look3"] = look_at(leaf, 3, -2);
  script.click_world(1, 3, 0.1).click_world(1, 3, 0).key("z_enter");
  script.key("z_look").click_world(1, 2, 0).key("z_look2").click_world(1, 3, -2);
  script.key("z_look3").click_world(1, 2.9, -2).key("p_nop");
  run_tool(tool_opening_door);
  ASSERT_FALSE(direction.empty());
  // At "Direction:" the box from the start point towards corner 0, where
  // the pointer is, and nothing on the other side.
  EXPECT_TRUE(inverted(direction, 1.99, 1.0));
  EXPECT_TRUE(inverted(direction, 3.0, 1.0));
  EXPECT_FALSE(inverted(direction, 4.01, 1.0));
  // At "Outer side:" the jambs of the box 1.99 .. 3, not its diagonals.
  EXPECT_TRUE(inverted(side, 1.99, 1.0));
  EXPECT_TRUE(inverted(side, 3.0, 1.0));
  EXPECT_FALSE(inverted(side, 2.5, 0.0));
  // At "Doorleaf:" a leaf swinging out beyond the wall's outer face.
  int below = 0;
  for (std::size_t i = 0; i < leaf.size(); ++i)
    if (static_cast<int>(i / 600) > py(-1.7) && leaf[i]) ++below;
  EXPECT_GT(below, 5);
  ASSERT_EQ(openings().size(), 1u);
  EXPECT_NEAR(openings()[0].corner[0].x, 1.99, 1e-9);
  EXPECT_EQ(openings()[0].leaf_quadrant, 3);
  expect_clean_surface();
}

TEST_F(OpeningToolTest, CancelledOrUnfittingPlacementLeavesTheWall) {
  const auto before = drawing_state();
  // Escape at "Outer side:", then an opening reaching past the wall's end.
  script.click_world(1, 3, 0).click_world(1, 1, 0).click_world(1, 2, 0).key("z_enter").key("p_nop");
  script.click_world(1, 3, 0).click_world(1, 5.5, 0).click_world(1, 7, 0).key("z_enter").click_world(1, 3,
                                                                                                     -1);
  script.key("p_nop");
  run_tool(tool_opening_window);
  EXPECT_EQ(drawing_state(), before);
  EXPECT_EQ(undo_used, 0);
  EXPECT_TRUE(errors().empty());
  expect_clean_surface();
}

TEST_F(OpeningToolTest, DoorLeafQuadrants) {
  const Point2 box[4] = {{1, -0.15, 0}, {2, -0.15, 0}, {2, 0.15, 0}, {1, 0.15, 0}};
  struct Case {
    Point2 p;
    uint8_t quadrant;
  } cases[] = {
      {{1.1, 0.1}, 0},  {{1.9, 0.1}, 1}, {{1.1, -0.5}, 2},
      {{1.9, -0.5}, 3}, {{1.5, 0.1}, 1},  // equally far from both ends: the corner-1 end
      {{1.2, 0.0}, 0},                    // on the middle line: the inner side
  };
  for (const Case& c : cases)
    EXPECT_EQ(opening_leaf_quadrant(box, c.p), c.quadrant) << c.p.x << ", " << c.p.y;
}

TEST_F(OpeningToolTest, ADoorAsksForItsLeafOnlyWithASymbol) {
  const auto before = drawing_state();
  script.click_world(1, 3, 0).click_world(1, 1, 0).click_world(1, 2, 0).key("z_enter").click_world(1, 3, -1);
  script.click_world(1, 1.9, -0.6).key("p_nop");
  run_tool(tool_opening_door);
  ASSERT_EQ(openings().size(), 1u);
  EXPECT_EQ(openings()[0].kind, OPENING_DOOR);
  EXPECT_EQ(openings()[0].leaf_quadrant, 3);
  EXPECT_EQ(openings()[0].symbol_style, 1);
  EXPECT_EQ(prompts()[5], "prompt Doorleaf:");
  expect_one_undo_step(before);

  // Variant 0: no question; Escape at "Doorleaf:" keeps the door bare and
  // ends the tool.
  for (int variant : {0, 2}) {
    SCOPED_TRACE(variant);
    door_preset.symbol_variant = variant;
    ui.calls.clear();
    script.click_world(1, 3, 0).click_world(1, 1, 0).click_world(1, 2, 0).key("z_enter").click_world(1, 3,
                                                                                                     -1);
    script.key("p_nop");
    run_tool(tool_opening_door);
    ASSERT_EQ(openings().size(), 1u);
    EXPECT_EQ(openings()[0].kind, OPENING_DOOR);
    EXPECT_EQ(openings()[0].symbol_style, 0);
    EXPECT_EQ(prompts().back(), variant ? "prompt Doorleaf:" : "prompt Select Wall:");
    expect_clean_surface();
    undo_step_back();
    redraw();
  }
}

TEST_F(OpeningToolTest, AWallWithFifteenOpeningsTakesNoMore) {
  for (int k = 0; k < WALL_MAX_OPENINGS; ++k) {
    wall = with_opening(wall, 0.1 + 0.35 * k, 0.3 + 0.35 * k);
    ASSERT_NE(wall, nullptr) << k;
  }
  undo_record(UNDO_CLEAR, 0);
  redraw();
  const auto before = drawing_state();
  script.click_world(1, 3, 0);
  run_tool(tool_opening_opening);
  EXPECT_EQ(errors(), (std::vector<std::string>{"error To many openings in this wall!"}));
  EXPECT_EQ(drawing_state(), before);
  EXPECT_EQ(walls()[0]->mark, 0);
  EXPECT_EQ(undo_used, 0);
  expect_clean_surface();
}

class OpeningEditTest : public OpeningToolTest {
 protected:
  // Two openings: 1..2 a door (quadrant 3, stop 0.05 x 0.1), 4..5 plain.
  void SetUp() override {
    OpeningToolTest::SetUp();
    wall = with_opening(with_opening(wall, 1, 2, 0.05, 0.1), 4, 5);
    wall->openings[0].kind = OPENING_DOOR;
    wall->openings[0].symbol_style = 1;
    wall->openings[0].leaf_quadrant = 3;
    undo_record(UNDO_CLEAR, 0);
    redraw();
  }
};

TEST_F(OpeningEditTest, AlterKindKeepsTheBoxAndStop) {
  const auto before = drawing_state();
  window_preset.symbol_variant = 2;
  script.click_world(1, 1.5, 0).key("p_nop");
  run_tool(tool_opening_alter_window);
  const WallOpening& o = openings()[0];
  EXPECT_EQ(o.kind, OPENING_WINDOW);
  EXPECT_EQ(o.symbol_style, 2);
  EXPECT_EQ(o.leaf_quadrant, 0);
  EXPECT_EQ(o.stop_width, 0.05);
  expect_box(o, {{1, -0.15}, {2, -0.15}, {2, 0.15}, {1, 0.15}}, 1, 2);
  EXPECT_EQ(walls()[0]->segments.size(), 16u);
  expect_one_undo_step(before);

  // To a door: the leaf at the corner-0 end, inner side.
  script.click_world(1, 4.5, 0).click_world(1, 4.1, 0.1).key("p_nop");
  run_tool(tool_opening_alter_door);
  EXPECT_EQ(openings()[1].kind, OPENING_DOOR);
  EXPECT_EQ(openings()[1].leaf_quadrant, 0);
  EXPECT_EQ(openings()[1].symbol_style, 1);
  expect_one_undo_step(before);
}

TEST_F(OpeningEditTest, AlterHeightMovesOnlyTheBox) {
  wall->corner[0].z = 0.2;
  const auto before = drawing_state();
  script.value("0.5").value("1").click_world(1, 4.5, 0).key("p_nop");
  run_tool(tool_opening_alter_height);
  const WallOpening& o = openings()[1];
  expect_box(o, {{4, -0.15}, {5, -0.15}, {5, 0.15}, {4, 0.15}}, 0.7, 1.7);
  EXPECT_EQ(o.sill, 1.0);
  EXPECT_EQ(o.height, 1.0);
  EXPECT_EQ(openings()[0].corner[0].z, 1.0);
  expect_clean_surface();
  EXPECT_EQ(undo_used, 1);
  undo_step_back();
  EXPECT_EQ(openings()[1].corner[0].z, 1.0);
  EXPECT_EQ(drawing_state(), before);
}

TEST_F(OpeningEditTest, DissolveMakesLinesAndArcsOfTheSymbol) {
  const auto before = drawing_state();
  ui.answers = {2, 1};  // Cancel first, then Yes
  script.click_world(1, 1.5, 0).click_world(1, 1.5, 0).key("p_nop");
  run_tool(tool_opening_dissolve);
  EXPECT_EQ(ui.calls_starting("ask ").size(), 2u);
  int lines = 0, arcs = 0;
  for (ElemHeader* e : elements()) {
    lines += elem_as<LineElem>(e) != nullptr;
    arcs += elem_as<ArcElem>(e) != nullptr;
  }
  EXPECT_GT(lines, 0);
  EXPECT_EQ(arcs, 1);  // the door's swing
  EXPECT_EQ(openings()[0].symbol_style, 0);
  EXPECT_EQ(openings()[0].leaf_quadrant, 0);
  EXPECT_EQ(openings()[0].kind, OPENING_DOOR);
  expect_one_undo_step(before);

  // A symbol-less opening: no elements, the unchanged wall recorded.
  ui.answers = {1};
  script.click_world(1, 4.5, 0).key("p_nop");
  wall = walls()[0];
  wall->openings[1].symbol_style = 0;
  const auto bare = drawing_state();
  run_tool(tool_opening_dissolve);
  EXPECT_EQ(drawing_state(), bare);
  EXPECT_EQ(undo_used, 1);
}

TEST_F(OpeningEditTest, RemoveClosesTheWallAndKeepsTheOtherOpening) {
  const auto before = drawing_state();
  script.click_world(1, 1.5, 0).key("p_nop");
  run_tool(tool_opening_remove);
  ASSERT_EQ(openings().size(), 1u);
  EXPECT_EQ(openings()[0].corner[0].x, 4);
  expect_segments(walls()[0], {{0, -0.15, 4, -0.15},
                               {5, -0.15, 6, -0.15},
                               {6, -0.15, 6, 0.15},
                               {0, 0.15, 4, 0.15},
                               {5, 0.15, 6, 0.15},
                               {4, -0.15, 4, 0.15},
                               {5, -0.15, 5, 0.15},
                               {0, 0.15, 0, -0.15}});
  expect_one_undo_step(before);
}

}  // namespace
