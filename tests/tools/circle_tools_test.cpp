// The circle and arc tools run end to end by scripts: the curves they
// create, one undo step each, input without size refused, the prompts, and a
// view with nothing of the cursor or the rubber bands left behind.

#include <string>

#include "curve_tool_fixture.h"

namespace {

std::vector<std::string> prompts_of(const RecordingUi& ui) { return ui.calls_starting("prompt "); }

TEST_F(CurveToolTest, CircleByAPointOrATypedRadiusAndRadiusZeroRefused) {
  script.click_world(1, 1, 1).key("z_enter").click_world(1, 4, 5).key("z_enter");
  script.click_world(1, 20, 0).key("z_enter").value("2");
  // A typed radius of 0 creates nothing and asks for a new centre.
  script.click_world(1, -20, 0).key("z_enter").value("0");
  script.key("p_nop");
  run_tool(tool_circle_circle);

  const auto a = arcs();
  ASSERT_EQ(a.size(), 2u);
  expect_curve(a[0], 1, 1, 5, 5, 2 * PI, 0);
  expect_curve(a[1], 20, 0, 2, 2, 2 * PI, 0);
  EXPECT_EQ(prompts_of(ui),
            (std::vector<std::string>{"prompt Center:", "prompt Move/Confirm:", "prompt Radius/Circle point:",
                                      "prompt Move/Confirm:", "prompt Center:", "prompt Move/Confirm:",
                                      "prompt Radius/Circle point:", "prompt Center:", "prompt Move/Confirm:",
                                      "prompt Radius/Circle point:", "prompt Center:"}));
  expect_clean_surface();
  EXPECT_EQ(undo_used, 2);
  undo_step_back();
  ASSERT_EQ(arcs().size(), 1u);
  expect_curve(arcs()[0], 1, 1, 5, 5, 2 * PI, 0);
}

TEST_F(CurveToolTest, ArcByCentreTakesTheSideOfTheDirectionPoint) {
  // A quarter from (2, 0) to the ray through (0, 3), on the side clicked.
  script.click_world(1, 0, 0).click_world(1, 4, 0).click_world(1, 0, 6).key("z_enter").click_world(1, 1, 1);
  // The same quarter clicked on the far side: the three other quarters.
  script.click_world(1, 20, 0).click_world(1, 24, 0).click_world(1, 20, 6).key("z_enter");
  script.click_world(1, 18, -1);
  // Start and end at the same angle: no sweep, or with the direction
  // outside it a full turn.
  script.click_world(1, 0, -15).click_world(1, 4, -15).click_world(1, 10, -15).key("z_enter");
  script.click_world(1, 1, -14);
  // The start point on the centre: no radius, nothing made.
  script.click_world(1, -20, 0).key("z_enter").click_world(1, -20, 6).key("z_enter").click_world(1, -19, 1);
  script.key("p_nop");
  run_tool(tool_circle_arc);

  const auto a = arcs();
  ASSERT_EQ(a.size(), 3u);
  expect_curve(a[0], 0, 0, 4, 4, PI / 2, 0);
  expect_curve(a[1], 20, 0, 4, 4, 3 * PI / 2, PI / 2);
  expect_curve(a[2], 0, -15, 4, 4, 2 * PI, 0);
  EXPECT_EQ(undo_used, 3);
  EXPECT_EQ(ui.calls_starting("prompt Direction:").size(), 4u);
  EXPECT_EQ(ui.calls_starting("prompt Center:").size(), 5u);
  expect_clean_surface();
}

TEST_F(CurveToolTest, CircleThroughThreePointsAndPointsThatMakeNone) {
  script.click_world(1, 0, 5).click_world(1, 5, 0).click_world(1, 0, -5).key("z_enter");
  // Three points on one line, then two points on each other.
  script.click_world(1, 10, 0).click_world(1, 15, 0).click_world(1, 20, 0).key("z_enter");
  script.click_world(1, 30, 0).key("z_enter").click_world(1, 35, 5).key("z_enter");
  script.key("p_nop");
  run_tool(tool_circle_3point);

  const auto a = arcs();
  ASSERT_EQ(a.size(), 1u);
  expect_curve(a[0], 0, 0, 5, 5, 2 * PI, 0);
  EXPECT_EQ(undo_used, 1);
  EXPECT_EQ(ui.calls_starting("prompt 1st Circle point:").size(), 4u);
  expect_clean_surface();
}

TEST_F(CurveToolTest, ArcThroughThreePointsRunsFromTheFirstThroughTheSecond) {
  // The middle point on the clockwise side: the arc runs counter-clockwise
  // from the third point to the first, and its start is negative.
  script.click_world(1, 5, 0).click_world(1, 0, -5).click_world(1, -5, 0).key("z_enter");
  script.click_world(1, 25, 0).click_world(1, 20, 5).click_world(1, 15, 0).key("z_enter");
  script.click_world(1, 20, -10).click_world(1, 25, -10).click_world(1, 30, -10).key("z_enter");
  script.key("p_nop");
  run_tool(tool_circle_arc3point);

  const auto a = arcs();
  ASSERT_EQ(a.size(), 2u);
  expect_curve(a[0], 0, 0, 5, 5, PI, -PI);
  expect_curve(a[1], 20, 0, 5, 5, PI, 0);
  EXPECT_EQ(undo_used, 2);
  expect_clean_surface();
  undo_step_back();
  undo_step_back();
  EXPECT_TRUE(arcs().empty());
}

}  // namespace
