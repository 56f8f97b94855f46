// The wall drawing tools run end to end by scripts: the corners of the
// walls they create, the preset's settings, the message for a wall without
// thickness, one undo step per wall, and a view with nothing of the cursor
// or the rubber bands left behind.

#include <cmath>

#include "display/select.h"
#include "model/geom.h"
#include "model/layers.h"
#include "model/settings.h"
#include "wall_tool_fixture.h"

namespace {

TEST_F(WallToolTest, RectangleRunsAlongItsLongerSideASquareAlongY) {
  cur_layer = 4;
  wall_preset.pen = 3;
  wall_preset.line_type = 2;
  wall_preset.material = "brick";
  wall_preset.base = 0.5;
  wall_preset.height = 2.5;
  wall_preset.thickness = 0.0;  // not used by this tool
  script.click_world(1, 4, 0.3).click_world(1, 0, 0).key("z_enter");
  script.click_world(1, 10, 10).click_world(1, 11, 11).key("z_enter");
  script.key("p_nop");
  run_tool(tool_wall_wall);

  const auto w = walls();
  ASSERT_EQ(w.size(), 2u);
  expect_plan(w[0], {{0, 0}, {4, 0}, {4, 0.3}, {0, 0.3}});
  expect_plan(w[1], {{11, 10}, {11, 11}, {10, 11}, {10, 10}});
  for (const WallElem* e : w) {
    EXPECT_EQ(e->layer, 4);
    EXPECT_EQ(e->pen, 3);
    EXPECT_EQ(e->line_type, 2);
    EXPECT_EQ(e->group, 0);
    EXPECT_EQ(e->material, "brick");
    EXPECT_EQ(e->gable, 0);
    EXPECT_TRUE(e->openings.empty());
    EXPECT_GT(plan_area(e), 0.0);
    for (int k = 0; k < 4; ++k) {
      EXPECT_EQ(e->corner[k].z, 0.5);
      EXPECT_EQ(e->corner[k + 4].z, 3.0);
      // The plain outline: corner k to corner k + 1, exact copies.
      ASSERT_EQ(e->segments.size(), 4u);
      EXPECT_EQ(e->segments[k].start.x, e->corner[k].x);
      EXPECT_EQ(e->segments[k].start.y, e->corner[k].y);
      EXPECT_EQ(e->segments[k].end.x, e->corner[(k + 1) % 4].x);
      EXPECT_EQ(e->segments[k].end.y, e->corner[(k + 1) % 4].y);
    }
  }
  EXPECT_EQ(prompts(), (std::vector<std::string>{"prompt 1st Corner point:", "prompt Move/2nd Corner point:",
                                                 "prompt Move/Confirm:", "prompt 1st Corner point:",
                                                 "prompt Move/2nd Corner point:", "prompt Move/Confirm:",
                                                 "prompt 1st Corner point:"}));
  expect_clean_surface();

  EXPECT_EQ(undo_used, 2);
  undo_step_back();
  ASSERT_EQ(walls().size(), 1u);
  undo_step_back();
  EXPECT_TRUE(walls().empty());
}

TEST_F(WallToolTest, FlatRectangleAndNoThicknessMakeNoWall) {
  // Two corners on one horizontal line, then on one vertical line.
  script.click_world(1, 0, 1).click_world(1, 5, 1).key("z_enter");
  script.click_world(1, 2, 0).click_world(1, 2, 3).key("z_enter").key("p_nop");
  run_tool(tool_wall_wall);
  wall_preset.thickness = 0.0;
  script.click_world(1, 0, 0).click_world(1, 5, 0).key("z_enter").key("p_nop");
  run_tool(tool_wall_axis);
  script.click_world(1, 0, 0).click_world(1, 5, 0).key("z_enter").key("p_nop");
  run_tool(tool_wall_side);
  script.value("0").click_world(1, 0, 0).key("z_enter").value("3").key("p_nop");
  run_tool(tool_wall_angle);

  EXPECT_TRUE(walls().empty());
  EXPECT_EQ(errors(), std::vector<std::string>(5, "error Wallthickness is not defined"));
  EXPECT_EQ(undo_used, 0);
  expect_clean_surface();
}

TEST_F(WallToolTest, AxisWallIsCentredAndAZeroLengthOneIsMade) {
  wall_preset.thickness = 0.4;
  script.click_world(1, 0, 0).click_world(1, 0, 5).key("z_enter");
  script.click_world(1, 3, 3).key("z_enter").key("z_enter").key("p_nop");
  run_tool(tool_wall_axis);

  const auto w = walls();
  ASSERT_EQ(w.size(), 2u);
  // Going up, face 0-1 lies on the right (at +x).
  expect_plan(w[0], {{0.2, 0}, {0.2, 5}, {-0.2, 5}, {-0.2, 0}});
  // No length: the corners of the direction 0.
  expect_plan(w[1], {{3, 2.8}, {3, 2.8}, {3, 3.2}, {3, 3.2}});
  EXPECT_EQ(w[0]->pen, wall_preset.pen);
  EXPECT_EQ(undo_used, 2);
  expect_clean_surface();
}

TEST_F(WallToolTest, GuideModeGivesEveryNewWallTheGuidePen) {
  guide_mode = 1;
  wall_preset.pen = 5;
  script.click_world(1, 0, 0).click_world(1, 4, 1).key("z_enter").key("p_nop");
  run_tool(tool_wall_wall);
  script.click_world(1, 0, 5).click_world(1, 4, 5).key("z_enter").key("p_nop");
  run_tool(tool_wall_axis);
  script.click_world(1, 0, 10).click_world(1, 4, 10).key("z_enter").click_world(1, 2, 11).key("p_nop");
  run_tool(tool_wall_side);
  script.value("0").click_world(1, 0, -5).key("z_enter").value("4").key("p_nop");
  run_tool(tool_wall_angle);
  guide_mode = 0;
  const auto w = walls();
  ASSERT_EQ(w.size(), 4u);
  for (const WallElem* e : w) EXPECT_EQ(e->pen, PEN_GUIDE);
}

class WallSideTest : public WallToolTest {
 protected:
  // Draws the line (0, 0) -> (4, 0) and picks at (x, y).
  void side_at(double x, double y) {
    script.click_world(1, 0, 0).click_world(1, 4, 0).key("z_enter").click_world(1, x, y).key("p_nop");
    run_tool(tool_wall_side);
  }
};

TEST_F(WallSideTest, ThePickedSideGetsTheWallAPickOnTheLineTheRightOne) {
  wall_preset.thickness = 0.5;
  wall_preset.pen = 2;
  struct Case {
    double x, y;
    std::vector<Point2> plan;
  } cases[] = {
      // Left of the line: face 0-1 runs from the start to the end.
      {2, 1, {{0, 0}, {4, 0}, {4, 0.5}, {0, 0.5}}},
      // Right of it, and exactly on it: face 0-1 runs from the end back to the start.
      {2, -1, {{4, 0}, {0, 0}, {0, -0.5}, {4, -0.5}}},
      {2, 0, {{4, 0}, {0, 0}, {0, -0.5}, {4, -0.5}}},
      // Near the start on the left, where the diagonals decide.
      {0.05, 0.04, {{0, 0}, {4, 0}, {4, 0.5}, {0, 0.5}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "pick at " << c.x << ", " << c.y);
    drawing_free();
    drawing_init();
    undo_record(UNDO_CLEAR, 0);
    redraw();
    side_at(c.x, c.y);
    const auto w = walls();
    ASSERT_EQ(w.size(), 1u);
    expect_plan(w[0], c.plan);
    EXPECT_EQ(w[0]->pen, 2);
    EXPECT_GT(plan_area(w[0]), 0.0);
    EXPECT_EQ(undo_used, 1);
    expect_clean_surface();
    undo_step_back();
    EXPECT_TRUE(walls().empty());
  }
}

TEST_F(WallSideTest, BothCandidatesShowInTheGuidePenAndGoOnCancel) {
  std::vector<int> pens;
  rows()["z_look"] = [&] {
    for (const WallElem* w : walls()) pens.push_back(w->pen);
  };
  script.click_world(1, 0, 0).click_world(1, 4, 0).key("z_enter").key("z_look").key("p_nop");
  run_tool(tool_wall_side);
  EXPECT_EQ(pens, (std::vector<int>{PEN_GUIDE, PEN_GUIDE}));
  EXPECT_TRUE(walls().empty());
  EXPECT_EQ(undo_used, 0);
  EXPECT_EQ(prompts().back(), "prompt Select side:");
  expect_clean_surface();
}

TEST_F(WallToolTest, AngleWallsRunInTheDirectionWhereverTheEndLies) {
  wall_preset.thickness = 0.2;
  struct Case {
    const char* angle;  // degrees
    double sx, sy;
    const char* length;  // typed, or null for the end point (ex, ey)
    double ex, ey;
    std::vector<Point2> plan;
  } cases[] = {
      // A negative length: the wall lies behind the start, numbered from its end.
      {"90", 0, 0, "-2", 0, 0, {{0.1, -2}, {0.1, 0}, {-0.1, 0}, {-0.1, -2}}},
      {"90", 0, 0, "2", 0, 0, {{0.1, 0}, {0.1, 2}, {-0.1, 2}, {-0.1, 0}}},
      // Angles outside [0, 360) stand for the same direction.
      {"-90", 0, 0, "2", 0, 0, {{-0.1, 0}, {-0.1, -2}, {0.1, -2}, {0.1, 0}}},
      {"450", 0, 0, "2", 0, 0, {{0.1, 0}, {0.1, 2}, {-0.1, 2}, {-0.1, 0}}},
      // An end point is brought onto the line; behind the start it swaps the ends.
      {"0", 1, 1, nullptr, 4, 3, {{1, 0.9}, {4, 0.9}, {4, 1.1}, {1, 1.1}}},
      {"0", 1, 1, nullptr, -2, 7, {{-2, 0.9}, {1, 0.9}, {1, 1.1}, {-2, 1.1}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.angle << " degrees, length " << (c.length ? c.length : "by point"));
    drawing_free();
    drawing_init();
    undo_record(UNDO_CLEAR, 0);
    redraw();
    script.value(c.angle).click_world(1, c.sx, c.sy).key("z_enter");
    if (c.length)
      script.value(c.length);
    else
      script.click_world(1, c.ex, c.ey).key("z_enter");
    script.key("p_nop");
    run_tool(tool_wall_angle);
    const auto w = walls();
    ASSERT_EQ(w.size(), 1u);
    expect_plan(w[0], c.plan, 1e-9);
    EXPECT_GT(plan_area(w[0]), 0.0);
    EXPECT_EQ(undo_used, 1);
    expect_clean_surface();
  }
}

TEST_F(WallToolTest, AngleIsAskedOnceForEveryWallOfTheRun) {
  wall_preset.thickness = 0.2;
  script.click_world(1, 0, 0).click_world(1, 1, 1).key("z_enter");
  script.click_world(1, 0, 0).key("z_enter").value("1");
  script.click_world(1, 5, 0).key("z_enter").value("1").key("p_nop");
  run_tool(tool_wall_angle);
  const auto w = walls();
  ASSERT_EQ(w.size(), 2u);
  const double d = std::sqrt(0.5);
  expect_corner(w[1], 1, 5 + d + 0.1 * d, d - 0.1 * d);
  EXPECT_EQ(
      prompts(),
      (std::vector<std::string>{
          "prompt Angle/1st Direction point:", "prompt Move/2nd Direction point:", "prompt Move/Confirm:",
          "prompt Start point:", "prompt Move/Confirm:", "prompt Length/End point:", "prompt Start point:",
          "prompt Move/Confirm:", "prompt Length/End point:", "prompt Start point:"}));
  EXPECT_EQ(undo_used, 2);
}

class WallHeightTest : public WallToolTest {
 protected:
  void SetUp() override {
    WallToolTest::SetUp();
    first = axis_wall(0, 0, 5, 0);
    // An opening box and gable points keep their heights.
    WallOpening o;
    for (int i = 0; i < 8; ++i) o.corner[i] = {1.0 + (i % 2), 0, i < 4 ? 1.0 : 2.0, 0};
    first->openings.push_back(o);
    first->gable_a = {2.5, 0, 4, 0};
    elem_new_line(0, 0, 0, 0, 1, 5, 1);
    line = elem_as<LineElem>(elem_list_tail);
    second = axis_wall(0, 3, 5, 3);
    outside = axis_wall(20, 0, 25, 0);
    redraw();
  }
  // Selects the window around the first two walls and the line, then types
  // base and height.
  void select_and_type(const char* base, const char* height) {
    select_window_of(-1, -1, 6, 4);
    script.value(base);
    if (height) script.value(height);
  }
  WallElem *first = nullptr, *second = nullptr, *outside = nullptr;
  LineElem* line = nullptr;
};

TEST_F(WallHeightTest, OnlySelectedWallsTakeBaseAndHeightInOneUndoStep) {
  select_and_type("1", "2.5");
  run_tool(tool_wall_alter_height);
  for (const WallElem* w : {first, second}) {
    for (int k = 0; k < 4; ++k) {
      EXPECT_EQ(w->corner[k].z, 1.0);
      EXPECT_EQ(w->corner[k + 4].z, 3.5);
    }
  }
  EXPECT_EQ(outside->corner[4].z, 2.75);
  EXPECT_EQ(first->openings[0].corner[0].z, 1.0);
  EXPECT_EQ(first->openings[0].corner[4].z, 2.0);
  EXPECT_EQ(first->gable_a.z, 4.0);
  EXPECT_EQ(line->p1.y, 1.0);
  EXPECT_EQ(elem_count_marked(), 0);
  EXPECT_EQ(prompts().back(), "prompt Height:");
  EXPECT_EQ(undo_used, 1);
  expect_clean_surface();

  undo_step_back();
  for (const WallElem* w : walls()) {
    EXPECT_EQ(w->corner[0].z, 0.0);
    EXPECT_EQ(w->corner[7].z, 2.75);
  }
  EXPECT_EQ(walls().size(), 3u);
}

TEST_F(WallHeightTest, CancelledHeightDeselectsAndChangesNothing) {
  select_and_type("1", nullptr);
  script.key("p_nop");
  run_tool(tool_wall_alter_height);
  EXPECT_EQ(first->corner[0].z, 0.0);
  EXPECT_EQ(second->corner[4].z, 2.75);
  EXPECT_EQ(elem_count_marked(), 0);
  EXPECT_EQ(undo_used, 0);
  expect_clean_surface();
}

}  // namespace
