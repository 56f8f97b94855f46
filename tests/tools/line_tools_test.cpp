// Each line tool run end to end by a script of clicks, typed values and
// keys: the lines it creates, one undo step per line, frame or polygon, the
// prompts it asks, and a view with nothing of the cursor, the rubber bands or
// the highlight left behind.

#include <functional>
#include <string>

#include "line_tool_fixture.h"

namespace {

std::vector<std::string> prompts_of(const RecordingUi& ui) { return ui.calls_starting("prompt "); }

TEST_F(LineToolTest, SingleLinesUntilEscapeEachItsOwnUndoStep) {
  cur_layer = 5;
  cur_pen = 3;
  cur_line_type = 2;
  script.click_world(1, 0, 0).click_world(1, 3, 4).click_world(1, 3, 4);
  // The same point twice: a line of no length is made all the same.
  script.click_world(1, -10, 8).key("z_enter").key("z_enter");
  script.key("p_nop");
  run_tool(tool_line_line);

  const auto l = lines();
  ASSERT_EQ(l.size(), 2u);
  expect_line(l[0], 0, 0, 3, 4);
  expect_line(l[1], -10, 8, -10, 8);
  for (const LineElem* e : l) {
    EXPECT_EQ(e->layer, 5);
    EXPECT_EQ(e->pen, 3);
    EXPECT_EQ(e->line_type, 2);
    EXPECT_EQ(e->group, 0);
  }
  EXPECT_EQ(prompts_of(ui),
            (std::vector<std::string>{"prompt Start point:", "prompt Move/End point:", "prompt Move/Confirm:",
                                      "prompt Start point:", "prompt Move/End point:", "prompt Move/Confirm:",
                                      "prompt Start point:"}));
  EXPECT_EQ(pending_command, "p_nop");
  expect_clean_surface();

  EXPECT_EQ(undo_used, 2);
  undo_step_back();
  ASSERT_EQ(lines().size(), 1u);
  expect_line(lines()[0], 0, 0, 3, 4);
  undo_step_back();
  EXPECT_TRUE(lines().empty());
}

TEST_F(LineToolTest, TypedCoordinatesAndEnterMakeTheLine) {
  script.key("z_abs").value("0;0").key("z_abs").value("3;4").key("z_enter").key("p_nop");
  run_tool(tool_line_line);
  ASSERT_EQ(lines().size(), 1u);
  expect_line(lines()[0], 0, 0, 3, 4);
  EXPECT_EQ(lines()[0]->layer, 0);
  EXPECT_EQ(lines()[0]->pen, cur_pen);
  EXPECT_EQ(lines()[0]->line_type, cur_line_type);
  expect_clean_surface();
}

TEST_F(LineToolTest, HorizontalAndVerticalLinesKeepTheStartPointsLine) {
  struct Case {
    void (*tool)();
    double x2, y2;
  } cases[] = {{tool_line_x, 4, 1}, {tool_line_y, 1, 5}};
  for (const Case& c : cases) {
    drawing_free();
    drawing_init();
    undo_record(UNDO_CLEAR, 0);
    redraw();
    script.click_world(1, 1, 1).click_world(1, 4, 5).click_world(1, 9, 9).key("p_nop");
    run_tool(c.tool);
    ASSERT_EQ(lines().size(), 1u);
    expect_line(lines()[0], 1, 1, c.x2, c.y2);
    EXPECT_EQ(undo_used, 1);
    expect_clean_surface();
  }
}

TEST_F(LineToolTest, AnotherToolsKeyEndsTheToolWithoutALine) {
  script.click_world(1, 1, 1).key("b_line_x");
  run_tool(tool_line_line);
  EXPECT_TRUE(lines().empty());
  EXPECT_EQ(undo_used, 0);
  EXPECT_EQ(pending_command, "b_line_x");
  EXPECT_EQ(log(), (std::vector<std::string>{"release_f"}));  // the tool button stays pressed
  expect_clean_surface();
}

TEST_F(LineToolTest, FixedAngleTypedAndANegativeLength) {
  script.value("30");  // degrees, the angle unit
  script.click_world(1, 0, 0).key("z_enter").value("-2");
  script.click_world(1, 10, 0).click_world(1, 10, 0).value("4");
  script.key("p_nop");
  run_tool(tool_line_a);

  const auto l = lines();
  ASSERT_EQ(l.size(), 2u);
  expect_line(l[0], 0, 0, -1.732051, -1, 1e-6);
  expect_line(l[1], 10, 0, 10 + 2 * std::sqrt(3.0), 2, 1e-12);
  EXPECT_EQ(undo_used, 2);
  EXPECT_EQ(prompts_of(ui), (std::vector<std::string>{
                                "prompt Angle/1st Direction point:", "prompt Start point:",
                                "prompt Move/Confirm:", "prompt Length/End point:", "prompt Start point:",
                                "prompt Move/Confirm:", "prompt Length/End point:", "prompt Start point:"}));
  expect_clean_surface();
}

TEST_F(LineToolTest, FixedAngleFromTwoPointsAndAnEndPointBehindTheStart) {
  script.click_world(1, 0, 0).click_world(1, 2, 2).click_world(1, 2, 2);
  // The end point beside the 45-degree line through (12, 0) lands on its
  // foot, behind the start.
  script.click_world(1, 12, 0).click_world(1, 12, 0).click_world(1, 9, -5).click_world(1, 9, -5);
  script.key("p_nop");
  run_tool(tool_line_a);
  ASSERT_EQ(lines().size(), 1u);
  expect_line(lines()[0], 12, 0, 8, -4);
  expect_clean_surface();
}

TEST_F(LineToolTest, FrameIsFourLinesInOneUndoStep) {
  script.click_world(1, 2, 1).click_world(1, 0, 0).click_world(1, 5, 5).key("p_nop");
  run_tool(tool_line_frame);
  const auto l = lines();
  ASSERT_EQ(l.size(), 4u);
  expect_line(l[0], 2, 1, 0, 1);
  expect_line(l[1], 0, 1, 0, 0);
  expect_line(l[2], 0, 0, 2, 0);
  expect_line(l[3], 2, 0, 2, 1);
  EXPECT_EQ(undo_used, 1);
  expect_clean_surface();
  undo_step_back();
  EXPECT_TRUE(lines().empty());
}

TEST_F(LineToolTest, OffsetFrameKeepsItsDistanceForEveryFrame) {
  script.value("-0.1");
  script.click_world(1, 0, 0).click_world(1, 2, 1).key("z_enter");
  script.click_world(1, 10, 10).click_world(1, 14, 12).key("z_enter");
  script.key("p_nop");
  run_tool(tool_line_oframe);
  const auto l = lines();
  ASSERT_EQ(l.size(), 8u);
  expect_line(l[0], 1.9, 0.9, 0.1, 0.9);
  expect_line(l[1], 0.1, 0.9, 0.1, 0.1);
  expect_line(l[2], 0.1, 0.1, 1.9, 0.1);
  expect_line(l[3], 1.9, 0.1, 1.9, 0.9);
  expect_line(l[4], 13.9, 11.9, 10.1, 11.9);
  expect_line(l[6], 10.1, 10.1, 13.9, 10.1);
  EXPECT_EQ(undo_used, 2);
  expect_clean_surface();
  undo_step_back();
  EXPECT_EQ(lines().size(), 4u);
}

TEST_F(LineToolTest, CancelledDistanceEndsTheOffsetFrame) {
  script.key("p_nop");
  run_tool(tool_line_oframe);
  EXPECT_EQ(prompts_of(ui), (std::vector<std::string>{"prompt Distance:"}));
  EXPECT_TRUE(lines().empty());
}

class ParallelTest : public LineToolTest {
 protected:
  void SetUp() override {
    LineToolTest::SetUp();
    elem_new_line(0, 0, 0, 0, 0, 10, 0);
    initial = elem_list_tail;
    redraw();
  }
  ElemHeader* initial = nullptr;
};

TEST_F(ParallelTest, AtADistanceOnTheClickedSideTheLineItselfGivesTheRight) {
  script.value("1");
  script.click_world(1, 5, 0.1).click_world(1, 5, 3);
  // A click whose foot lies beyond the line's ends picks nothing.
  script.click_world(1, 50, 0).click_world(1, 5, -0.1).click_world(1, 5, 0);
  script.key("p_nop");
  run_tool(tool_line_parallel);

  const auto l = lines();
  ASSERT_EQ(l.size(), 3u);
  expect_line(l[1], 0, 1, 10, 1);
  expect_line(l[2], 0, -1, 10, -1);
  EXPECT_EQ(undo_used, 2);
  EXPECT_TRUE(nothing_marked());
  EXPECT_EQ(prompts_of(ui),
            (std::vector<std::string>{
                "prompt Distance:", "prompt Initial Line:", "prompt Select side:", "prompt Initial Line:",
                "prompt Initial Line:", "prompt Select side:", "prompt Initial Line:"}));
  expect_clean_surface();
}

TEST_F(ParallelTest, CancelAtTheSideTakesTheHighlightAway) {
  int mark_while_asking = -1;
  rows()["z_look"] = [&] { mark_while_asking = initial->mark; };
  script.value("2").click_world(1, 5, 0.1).key("z_look").key("p_nop");
  run_tool(tool_line_parallel);
  EXPECT_EQ(ui.last_prompt, "Select side:");
  EXPECT_EQ(mark_while_asking, 1);
  EXPECT_TRUE(nothing_marked());
  EXPECT_EQ(lines().size(), 1u);
  EXPECT_EQ(undo_used, 0);
  expect_clean_surface();
}

TEST_F(ParallelTest, ThroughPointsKeepTheInitialLine) {
  script.click_world(1, 5, 0.1);
  script.click_world(1, 20, 3).click_world(1, 20, 3);
  script.click_world(1, -4, -2).key("z_enter");
  script.key("p_nop");
  run_tool(tool_line_pparallel);
  const auto l = lines();
  ASSERT_EQ(l.size(), 3u);
  expect_line(l[1], 0, 3, 10, 3);
  expect_line(l[2], 0, -2, 10, -2);
  EXPECT_EQ(undo_used, 2);
  EXPECT_TRUE(nothing_marked());
  EXPECT_EQ(prompts_of(ui).front(), "prompt Initial Line:");
  EXPECT_EQ(ui.calls_starting("prompt Initial Line:").size(), 1u);
  expect_clean_surface();
}

TEST_F(ParallelTest, AWallsBaseEdgeServesAsTheInitialLine) {
  auto w = std::make_unique<WallElem>();
  const Point2 outline[4] = {{0, 5, 0}, {10, 5, 0}, {10, 6, 0}, {0, 6, 0}};
  for (int i = 0; i < 4; ++i) {
    w->corner[i] = {outline[i].x, outline[i].y, 0, 0};
    w->corner[i + 4] = {outline[i].x, outline[i].y, 3, 0};
    w->segments.push_back({outline[i], outline[(i + 1) % 4]});
  }
  elem_adopt(std::move(w));
  redraw();
  script.click_world(1, 4, 6.2).click_world(1, 3, 9).click_world(1, 3, 9).key("p_nop");
  run_tool(tool_line_pparallel);
  ASSERT_EQ(lines().size(), 2u);
  expect_line(lines()[1], 10, 9, 0, 9);  // the edge from corner 2 to corner 3
  expect_clean_surface();
}

TEST_F(ParallelTest, PerpendicularsFromTheInitialLine) {
  script.click_world(1, 5, 0.1);
  script.click_world(1, 3, 2).click_world(1, 7, 5).click_world(1, 7, 5);
  script.click_world(1, 8, 4).click_world(1, 0, -3).key("z_enter");
  script.key("p_nop");
  run_tool(tool_line_orthogonal);
  const auto l = lines();
  ASSERT_EQ(l.size(), 3u);
  expect_line(l[1], 3, 0, 3, 5);
  expect_line(l[2], 8, 0, 8, -3);
  EXPECT_EQ(undo_used, 2);
  expect_clean_surface();
}

TEST_F(ParallelTest, AnIntersectionSnapDoesNotChangeThePerpendicularsInitialLine) {
  // Two lines crossing at (4, 3); the snap picks both, the slanted one last.
  elem_new_line(0, 0, 0, 4, 1, 4, 5);
  elem_new_line(0, 0, 0, 1, 6, 7, 0);
  redraw();
  script.click_world(1, 5, 0.1);
  script.key("z_snap_i").click_world(1, 4, 4.5).click_world(1, 6.5, 0.5);
  script.click_world(1, 9, 8).click_world(1, 9, 8);
  script.key("p_nop");
  run_tool(tool_line_orthogonal);
  ASSERT_EQ(lines().size(), 4u);
  expect_line(lines()[3], 4, 0, 4, 8);
  expect_clean_surface();
}

TEST_F(ParallelTest, PickingOutsideThePlanViewFindsNothing) {
  view_type = VIEW_FRONT;
  script.value("1").click_world(1, 5, 0.1).click_world(1, 5, 0.1).key("p_nop");
  run_tool(tool_line_parallel);
  EXPECT_EQ(ui.calls_starting("prompt Initial Line:").size(), 3u);
  EXPECT_EQ(lines().size(), 1u);
}

TEST_F(LineToolTest, HexagonIsSixLinesInOneUndoStep) {
  script.value("6").key("z_abs").value("0;0").key("z_abs").value("1;0").key("z_enter").key("p_nop");
  run_tool(tool_line_polygon);
  const auto l = lines();
  ASSERT_EQ(l.size(), 6u);
  for (std::size_t k = 0; k < l.size(); ++k) {
    EXPECT_EQ(l[k]->p2.x, l[(k + 1) % 6]->p1.x) << k;
    EXPECT_EQ(l[k]->p2.y, l[(k + 1) % 6]->p1.y) << k;
  }
  expect_line(l[0], 1, 0, 0.5, 0.866025, 1e-6);
  EXPECT_EQ(l[5]->p2.x, 1.0);  // closed exactly on the corner point
  EXPECT_EQ(l[5]->p2.y, 0.0);
  EXPECT_EQ(undo_used, 1);
  expect_clean_surface();
  undo_step_back();
  EXPECT_TRUE(lines().empty());
}

TEST_F(LineToolTest, PolygonCornerCountsAndACornerOnTheCentre) {
  // Two corners or fewer end the tool at once.
  script.value("2");
  run_tool(tool_line_polygon);
  EXPECT_EQ(prompts_of(ui), (std::vector<std::string>{"prompt Number of corners:"}));

  // A corner on the centre makes nothing and asks for the next polygon.
  ui.calls.clear();
  script.value("3").click_world(1, 3, 3).key("z_enter").key("z_enter");
  script.key("z_abs").value("0;0").key("z_abs").value("0;2").key("z_enter").key("p_nop");
  run_tool(tool_line_polygon);
  const auto l = lines();
  ASSERT_EQ(l.size(), 3u);
  expect_line(l[1], -std::sqrt(3.0), -1, std::sqrt(3.0), -1, 1e-12);
  EXPECT_EQ(ui.calls_starting("prompt Center:").size(), 3u);
  EXPECT_EQ(undo_used, 1);
  expect_clean_surface();
}

TEST_F(LineToolTest, AHugeCornerCountIsHeldToTheLimit) {
  script.value("2000000000").key("z_abs").value("0;0").key("z_abs").value("20;0").key("z_enter").key("p_nop");
  run_tool(tool_line_polygon);
  EXPECT_EQ(lines().size(), static_cast<std::size_t>(LINE_POLYGON_MAX_CORNERS));
  EXPECT_EQ(undo_used, 1);
}

// Every tool once: the lines it creates go on the current layer with the
// current line type, and with the current pen or, in guide mode, the guide pen.
TEST_F(LineToolTest, EveryToolUsesTheCurrentLayerLineTypeAndPenOrTheGuidePen) {
  struct Case {
    const char* name;
    void (*tool)();
    std::function<void(ScriptedWait&)> script;
    std::size_t created;
  };
  const std::vector<Case> cases = {
      {"line", tool_line_line,
       [](ScriptedWait& s) { s.click_world(1, 20, 20).click_world(1, 25, 20).key("z_enter"); }, 1},
      {"x", tool_line_x,
       [](ScriptedWait& s) { s.click_world(1, 20, 20).click_world(1, 25, 22).key("z_enter"); }, 1},
      {"y", tool_line_y,
       [](ScriptedWait& s) { s.click_world(1, 20, 20).click_world(1, 25, 22).key("z_enter"); }, 1},
      {"a", tool_line_a,
       [](ScriptedWait& s) { s.value("45").click_world(1, 20, 20).key("z_enter").value("3"); }, 1},
      {"frame", tool_line_frame,
       [](ScriptedWait& s) { s.click_world(1, 20, 20).click_world(1, 25, 22).key("z_enter"); }, 4},
      {"oframe", tool_line_oframe,
       [](ScriptedWait& s) { s.value("1").click_world(1, 20, 20).click_world(1, 25, 22).key("z_enter"); }, 4},
      {"parallel", tool_line_parallel,
       [](ScriptedWait& s) { s.value("1").click_world(1, 5, 0.1).click_world(1, 5, 2); }, 1},
      {"pparallel", tool_line_pparallel,
       [](ScriptedWait& s) { s.click_world(1, 5, 0.1).click_world(1, 5, 7).key("z_enter"); }, 1},
      {"orthogonal", tool_line_orthogonal,
       [](ScriptedWait& s) {
         s.click_world(1, 5, 0.1).click_world(1, 2, 2).click_world(1, 2, 9).key("z_enter");
       },
       1},
      {"polygon", tool_line_polygon,
       [](ScriptedWait& s) { s.value("5").click_world(1, 20, 20).click_world(1, 24, 20).key("z_enter"); }, 5},
  };
  for (int guide = 0; guide <= 1; ++guide) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (guide ? " in guide mode" : ""));
      undo_record(UNDO_CLEAR, 0);
      drawing_free();
      drawing_init();
      cur_layer = 7;
      cur_pen = 2;
      cur_line_type = 3;
      guide_mode = guide;
      elem_new_line(7, 0, 0, 0, 0, 10, 0);  // the initial line of the tools that pick one
      redraw();
      c.script(script);
      script.key("p_nop");
      run_tool(c.tool);
      const auto l = lines();
      ASSERT_EQ(l.size(), c.created + 1);
      for (std::size_t k = 1; k < l.size(); ++k) {
        EXPECT_EQ(l[k]->layer, 7);
        EXPECT_EQ(l[k]->line_type, 3);
        EXPECT_EQ(l[k]->pen, guide ? PEN_GUIDE : 2);
      }
      EXPECT_EQ(undo_used, 1);
      expect_clean_surface();
      undo_step_back();
      EXPECT_EQ(lines().size(), 1u);
    }
  }
}

}  // namespace
