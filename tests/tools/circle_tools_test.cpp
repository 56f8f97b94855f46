// The circle and arc tools run end to end by scripts: the curves they
// create, one undo step each, input without size refused, the prompts, and a
// view with nothing of the cursor or the rubber bands left behind.

#include <cmath>
#include <functional>
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

namespace {

TEST_F(CurveToolTest, EllipsesByCentreOrFrameAndEllipsesWithoutHeightRefused) {
  struct Case {
    const char* name;
    void (*tool)();
    double x0, y0, x1, y1;  // the two points given
    double cx, cy, rx, ry;  // the ellipse expected; rx 0 for none
  } cases[] = {
      {"centre", tool_circle_ellipse, 0, 0, -6, 3, 0, 0, 6, 3},
      {"frame", tool_circle_ellipsefame, 20, 6, 10, 0, 15, 3, 5, 3},
      {"centre, no height", tool_circle_ellipse, 0, 0, 6, 0, 0, 0, 0, 0},
      {"frame, no width", tool_circle_ellipsefame, 10, 0, 10, 6, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fresh_drawing();
    ui.calls.clear();
    script.click_world(1, c.x0, c.y0).click_world(1, c.x1, c.y1).key("z_enter").key("p_nop");
    run_tool(c.tool);
    if (c.rx == 0) {
      EXPECT_TRUE(arcs().empty());
      EXPECT_EQ(undo_used, 0);
      // Asked for the next ellipse.
      EXPECT_EQ(ui.calls_starting("prompt " + prompts_of(ui).front().substr(7)).size(), 2u);
    } else {
      ASSERT_EQ(arcs().size(), 1u);
      expect_curve(arcs()[0], c.cx, c.cy, c.rx, c.ry, 2 * PI, 0);
      EXPECT_EQ(undo_used, 1);
    }
    expect_clean_surface();
  }
}

class ConcentricTest : public CurveToolTest {
 protected:
  void SetUp() override {
    CurveToolTest::SetUp();
    // An ellipse of radii 12 and 6, and a line just above its top.
    elem_new_arc(0, 0, 0, 0, 0, 12, 6, 2 * PI, 0, 0);
    ellipse = elem_list_tail;
    elem_new_line(0, 0, 0, -5, 7, 5, 7);
    redraw();
  }
  ElemHeader* ellipse = nullptr;
};

TEST_F(ConcentricTest, AtADistanceOnTheClickedSide) {
  int mark_while_asking = -1;
  rows()["z_look"] = [&] { mark_while_asking = ellipse->mark; };
  script.value("3");
  // Outside by the x radius: both radii grow by the distance.
  script.click_world(1, 12.2, 0.5).key("z_look").click_world(1, 20, 20);
  // Inside: both shrink.
  script.click_world(1, -12.2, 0.5).click_world(1, 1, 1);
  // The line is nearer: asked again. Then the ellipse, and Escape at the side.
  script.click_world(1, 0, 6.8).click_world(1, 0, 6.2).key("p_nop");
  run_tool(tool_circle_parallel);

  const auto a = arcs();
  ASSERT_EQ(a.size(), 3u);
  expect_curve(a[1], 0, 0, 15, 9, 2 * PI, 0);
  expect_curve(a[2], 0, 0, 9, 3, 2 * PI, 0);
  EXPECT_EQ(mark_while_asking, 1);
  EXPECT_TRUE(nothing_marked());
  EXPECT_EQ(undo_used, 2);
  EXPECT_EQ(ui.calls_starting("prompt Initial Circle/Arc:").size(), 4u);
  EXPECT_EQ(ui.last_prompt, "Select side:");
  expect_clean_surface();
}

TEST_F(ConcentricTest, AnInnerCopyAsWideAsAnAxisIsRefusedANegativeDistanceShrinks) {
  script.value("6").click_world(1, 12.2, 0.5).click_world(1, 1, 1).key("p_nop");
  run_tool(tool_circle_parallel);
  EXPECT_EQ(arcs().size(), 1u);
  EXPECT_EQ(undo_used, 0);
  EXPECT_EQ(ui.last_prompt, "Initial Circle/Arc:");

  script.value("-3").click_world(1, 12.2, 0.5).click_world(1, 20, 20).key("p_nop");
  run_tool(tool_circle_parallel);
  ASSERT_EQ(arcs().size(), 2u);
  expect_curve(arcs()[1], 0, 0, 9, 3, 2 * PI, 0);
  expect_clean_surface();
}

TEST_F(ConcentricTest, ThroughPointsKeepTheAxisRatioAndTheArc) {
  // An arc, turned: its sweep, start and turn go to every copy.
  elem_new_arc(0, 0, 0, 30, 0, 4, 2, PI, 0.5, 0.25);
  redraw();
  script.click_world(1, 0, -6.2);
  script.click_world(1, 0, 24).key("z_enter");
  // Through the centre (caught by the snap): no size, nothing made.
  script.click_world(1, 0, 0).key("z_enter");
  script.click_world(1, 18, 0).key("z_enter").key("p_nop");
  run_tool(tool_circle_pparallel);
  auto a = arcs();
  ASSERT_EQ(a.size(), 4u);
  expect_curve(a[2], 0, 0, 24, 12, 2 * PI, 0);
  expect_curve(a[3], 0, 0, 18, 9, 2 * PI, 0);
  EXPECT_EQ(ui.calls_starting("prompt Initial Circle/Arc:").size(), 1u);
  EXPECT_EQ(undo_used, 2);
  expect_clean_surface();

  undo_record(UNDO_CLEAR, 0);
  ui.calls.clear();
  // A point of the turned arc, at 1 radian of its own frame.
  const Point2 on = geom_rotated(30, 0, 30 + 4 * std::cos(1.0), 2 * std::sin(1.0), 0.25);
  script.click_world(1, on.x, on.y).click_world(1, 30, 8).key("z_enter").key("p_nop");
  run_tool(tool_circle_pparallel);
  a = arcs();
  ASSERT_EQ(a.size(), 5u);
  EXPECT_NEAR(a[4]->radius_x, 8, 1e-9);
  EXPECT_NEAR(a[4]->radius_y, 4, 1e-9);
  EXPECT_EQ(a[4]->sweep, PI);
  EXPECT_EQ(a[4]->start, 0.5);
  EXPECT_EQ(a[4]->rotation, 0.25);
}

}  // namespace

namespace {

// Every tool once: the curve it creates goes on the current layer with the
// current line type, and with the current pen or, in guide mode, the guide
// pen; another tool's key in place of the last event ends it without a curve.
TEST_F(CurveToolTest, EveryToolUsesTheCurrentLayerLineTypeAndPenOrTheGuidePen) {
  using Events = std::function<void(ScriptedWait&)>;
  struct Case {
    const char* name;
    void (*tool)();
    Events head, last;
  };
  const Events enter = [](ScriptedWait& s) { s.key("z_enter"); };
  const std::vector<Case> cases = {
      {"circle", tool_circle_circle, [](ScriptedWait& s) { s.click_world(1, 20, 20).key("z_enter"); },
       [](ScriptedWait& s) { s.value("3"); }},
      {"arc", tool_circle_arc,
       [](ScriptedWait& s) {
         s.click_world(1, 20, 20).click_world(1, 25, 20).click_world(1, 20, 25).key("z_enter");
       },
       [](ScriptedWait& s) { s.click_world(1, 21, 21); }},
      {"3point", tool_circle_3point,
       [](ScriptedWait& s) { s.click_world(1, 20, 20).click_world(1, 25, 25).click_world(1, 30, 20); },
       enter},
      {"arc3point", tool_circle_arc3point,
       [](ScriptedWait& s) { s.click_world(1, 20, 20).click_world(1, 25, 25).click_world(1, 30, 20); },
       enter},
      {"ellipse", tool_circle_ellipse,
       [](ScriptedWait& s) { s.click_world(1, 20, 20).click_world(1, 26, 23); }, enter},
      {"ellipsefame", tool_circle_ellipsefame,
       [](ScriptedWait& s) { s.click_world(1, 20, 20).click_world(1, 26, 23); }, enter},
      {"parallel", tool_circle_parallel, [](ScriptedWait& s) { s.value("1").click_world(1, -10, 5.1); },
       [](ScriptedWait& s) { s.click_world(1, -10, 10); }},
      {"pparallel", tool_circle_pparallel,
       [](ScriptedWait& s) { s.click_world(1, -10, 5.1).click_world(1, -10, 12); }, enter},
      {"spline", tool_circle_spline,
       [](ScriptedWait& s) {
         s.click_world(1, 20, 20).click_world(1, 30, 20).click_world(1, 22, 25).click_world(1, 28, 25);
       },
       enter},
  };
  for (int guide = 0; guide <= 1; ++guide) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (guide ? " in guide mode" : ""));
      fresh_drawing();
      cur_layer = 7;
      cur_pen = 2;
      cur_line_type = 3;
      guide_mode = guide;
      elem_new_arc(7, 0, 0, -10, 0, 5, 5, 2 * PI, 0, 0);  // the curve of the tools that pick one
      redraw();
      c.head(script);
      c.last(script);
      script.key("p_nop");
      run_tool(c.tool);
      const auto e = elements();
      ASSERT_EQ(e.size(), 2u);
      EXPECT_EQ(e[1]->layer, 7);
      EXPECT_EQ(e[1]->line_type, 3);
      EXPECT_EQ(e[1]->pen, guide ? PEN_GUIDE : 2);
      EXPECT_EQ(undo_used, 1);
      EXPECT_TRUE(nothing_marked());
      expect_clean_surface();
      undo_step_back();
      EXPECT_EQ(elements().size(), 1u);
      redraw();

      c.head(script);
      script.key("b_line_line");
      run_tool(c.tool);
      EXPECT_EQ(elements().size(), 1u);
      EXPECT_EQ(pending_command, "b_line_line");
      EXPECT_TRUE(nothing_marked());
      expect_clean_surface();
    }
  }
}

}  // namespace
