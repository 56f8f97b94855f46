// The join, cut, erase, delete-piece, extend and attach tools run end to
// end by scripts of clicks, typed values and keys: what they change, one
// undo step per action, the temporary guide line gone afterwards, and a
// view with nothing of the cursor or the highlight left behind.

#include "tools/trim_tools.h"

#include <cmath>

#include "edit_tool_fixture.h"
#include "model/geom.h"

namespace {

constexpr double PI = GEOM_PI;

class TrimToolTest : public EditToolTest {
 protected:
  // Clicks land where they are, not on a nearby element point.
  void SetUp() override {
    EditToolTest::SetUp();
    snap_on = 0;
  }
  std::vector<std::string> prompts() const { return ui.calls_starting("prompt "); }
  static ElemHeader* line(double x1, double y1, double x2, double y2) {
    elem_new_line(0, 0, 0, x1, y1, x2, y2);
    return elem_list_tail;
  }
  // A wall whose plan outline is the given quadrilateral.
  static ElemHeader* wall(std::vector<Point2> outline) {
    auto w = std::make_unique<WallElem>();
    for (std::size_t i = 0; i < outline.size(); ++i) {
      w->segments.push_back({outline[i], outline[(i + 1) % outline.size()]});
      w->corner[i] = {outline[i].x, outline[i].y, 0.0, 0};
      w->corner[i + 4] = {outline[i].x, outline[i].y, 3.0, 0};
    }
    elem_adopt(std::move(w));
    return elem_list_tail;
  }
  static std::vector<const ArcElem*> arcs() {
    std::vector<const ArcElem*> out;
    for (ElemHeader* e : elements())
      if (const auto* a = elem_as<ArcElem>(e)) out.push_back(a);
    return out;
  }
  static ArcElem* arc(double cx, double cy, double r, double sweep, double start, int layer = 0) {
    elem_new_arc(layer, 4, 2, cx, cy, r, r, sweep, start, 0);
    return elem_as<ArcElem>(elem_list_tail);
  }
  static bool has_guide_pen() {
    for (ElemHeader* e : elements())
      if (e->pen == PEN_GUIDE) return true;
    return false;
  }
  static void expect_arc(const ArcElem* a, double start, double sweep) {
    ASSERT_NE(a, nullptr);
    EXPECT_NEAR(a->start, start, 1e-9);
    EXPECT_NEAR(a->sweep, sweep, 1e-9);
  }
};

TEST_F(TrimToolTest, JoinMakesACornerAndBothLinesStartThere) {
  line(0, 0, 2, 0);
  line(3, 1, 3, 3);
  redraw();
  script.click_world(1, 1, 0).click_world(1, 3, 2).key("p_nop");
  run_tool(tool_line_join);
  ASSERT_EQ(lines().size(), 2u);
  expect_line(lines()[0], 3, 0, 0, 0);
  expect_line(lines()[1], 3, 0, 3, 3);
  EXPECT_EQ(prompts(),
            (std::vector<std::string>{"prompt 1st Line:", "prompt 2nd Line:", "prompt 1st Line:"}));
  EXPECT_TRUE(nothing_marked());
  expect_clean_surface();
  EXPECT_EQ(undo_used, 1);
  undo_step_back();
  ASSERT_EQ(lines().size(), 2u);
}

TEST_F(TrimToolTest, PickingTheFirstLineAgainAsksForTheSecondAgain) {
  line(0, 0, 2, 0);
  line(3, 1, 3, 3);
  redraw();
  script.click_world(1, 1, 0).click_world(1, 1.5, 0).click_world(1, 3, 2).key("p_nop");
  run_tool(tool_line_join);
  expect_line(lines()[0], 3, 0, 0, 0);
  EXPECT_EQ(prompts(), (std::vector<std::string>{
                           "prompt 1st Line:", "prompt 2nd Line:", "prompt 2nd Line:", "prompt 1st Line:"}));
}

TEST_F(TrimToolTest, FilletAndChamferAddTheirPieceToTheJoinsUndoStep) {
  struct Case {
    void (*tool)();
    const char* prompt;
  } cases[] = {{tool_line_join_arc, "prompt Radius:"}, {tool_line_join_line, "prompt Length:"}};
  for (const Case& c : cases) {
    drawing_free();
    drawing_init();
    undo_record(UNDO_CLEAR, 0);
    cur_layer = 3;
    elem_new_line(3, 5, 1, 0, 0, 5, 0);
    elem_new_line(3, 6, 2, 0, 0, 0, 5);
    const auto before = chunks();
    redraw();
    ui.calls.clear();
    script.value("1").click_world(1, 3, 0).click_world(1, 0, 3).key("p_nop");
    run_tool(c.tool);
    EXPECT_EQ(prompts().front(), c.prompt);
    ASSERT_EQ(elements().size(), 3u);
    ElemHeader* piece = elements()[2];
    EXPECT_EQ(piece->layer, 3);
    EXPECT_EQ(piece->pen, 5);
    EXPECT_EQ(piece->line_type, 1);
    if (c.tool == tool_line_join_arc) {
      expect_line(lines()[0], 1, 0, 5, 0);
      expect_line(lines()[1], 0, 1, 0, 5);
      const auto* a = elem_as<ArcElem>(piece);
      ASSERT_NE(a, nullptr);
      EXPECT_NEAR(a->centre.x, 1, 1e-9);
      EXPECT_NEAR(a->centre.y, 1, 1e-9);
      EXPECT_EQ(a->radius_x, 1);
      expect_arc(a, PI, PI / 2);
    } else {
      ASSERT_EQ(lines().size(), 3u);
      expect_line(lines()[2], std::sqrt(0.5), 0, 0, std::sqrt(0.5), 1e-6);
    }
    expect_clean_surface();
    EXPECT_EQ(undo_used, 1);
    undo_step_back();
    EXPECT_EQ(chunks(), before);
    cur_layer = 0;
  }
}

TEST_F(TrimToolTest, JoiningParallelLinesRecordsNothing) {
  line(0, 0, 5, 0);
  line(0, 2, 5, 2);
  redraw();
  const auto before = chunks();
  script.click_world(1, 2, 0).click_world(1, 2, 2).key("p_nop");
  run_tool(tool_line_join);
  EXPECT_EQ(chunks(), before);
  EXPECT_EQ(undo_used, 0);
  expect_clean_surface();
}

class CutToolTest : public TrimToolTest {
 protected:
  void SetUp() override {
    TrimToolTest::SetUp();
    cur_layer = 0;
    elem_new_line(0, 7, 3, 0, 0, 10, 0);
    elem_new_line(0, 7, 3, 0, 2, 5, 2);
    arc(5, -3, 1, 2 * PI, 0);
    elem_new_line(0, 1, 0, 5, -10, 5, 10);
    redraw();
  }
};

TEST_F(CutToolTest, SplitsTheSelectedLinesTheCutterCrossesInsideInOneStep) {
  const auto before = chunks();
  script.click_world(1, 5, 7);
  select_all();
  script.key("p_nop");
  run_tool(tool_line_cut);
  ASSERT_EQ(lines().size(), 4u);
  expect_line(lines()[0], 0, 0, 5, 0);
  expect_line(lines()[1], 0, 2, 5, 2);
  expect_line(lines()[3], 5, 0, 10, 0);
  EXPECT_EQ(lines()[3]->pen, 7);
  EXPECT_EQ(lines()[3]->line_type, 3);
  EXPECT_EQ(arcs().size(), 1u);
  EXPECT_FALSE(has_guide_pen());
  EXPECT_TRUE(nothing_marked());
  EXPECT_EQ(prompts().front(), "prompt Select Line of interesection:");
  EXPECT_EQ(prompts().back(), "prompt Select Line of interesection:");
  expect_clean_surface();
  EXPECT_EQ(undo_used, 1);
  undo_step_back();
  EXPECT_EQ(chunks(), before);
}

TEST_F(CutToolTest, EscapeInTheSelectionAsksForANewCutterAnotherToolEndsIt) {
  const auto before = chunks();
  script.click_world(1, 5, 7).key("p_nop").key("p_nop");
  run_tool(tool_line_cut);
  EXPECT_EQ(prompts(), (std::vector<std::string>{"prompt Select Line of interesection:", "prompt Element:",
                                                 "prompt Select Line of interesection:"}));
  EXPECT_EQ(chunks(), before);

  ui.calls.clear();
  script.click_world(1, 5, 7).key("b_line_line");
  run_tool(tool_line_cut);
  EXPECT_EQ(pending_command, "b_line_line");
  EXPECT_EQ(prompts(), (std::vector<std::string>{"prompt Select Line of interesection:", "prompt Element:"}));
  EXPECT_EQ(chunks(), before);
  EXPECT_EQ(undo_used, 0);
  expect_clean_surface();
}

TEST_F(TrimToolTest, EraseShortensSplitsOrDeletesALine) {
  cur_layer = 2;
  elem_new_line(2, 7, 3, 0, 0, 10, 0);
  redraw();
  script.click_world(1, 1, 0).click_world(1, 3, 1).click_world(1, 6, -1).key("z_enter");
  script.click_world(1, 8, 0).click_world(1, 6.5, 1).click_world(1, 12, 1).key("z_enter");
  script.key("p_nop");
  run_tool(tool_line_erase);
  ASSERT_EQ(lines().size(), 2u);
  expect_line(lines()[0], 0, 0, 3, 0);
  expect_line(lines()[1], 6, 0, 6.5, 0);
  EXPECT_EQ(lines()[1]->layer, 2);
  EXPECT_EQ(lines()[1]->pen, 7);
  expect_clean_surface();
  EXPECT_EQ(undo_used, 2);
  undo_step_back();
  ASSERT_EQ(lines().size(), 2u);
  undo_step_back();
  ASSERT_EQ(lines().size(), 1u);
  expect_line(lines()[0], 0, 0, 10, 0);

  script.click_world(1, 5, 0).click_world(1, -1, 1).click_world(1, 11, 1).key("z_enter").key("p_nop");
  run_tool(tool_line_erase);
  EXPECT_TRUE(lines().empty());
  cur_layer = 0;
}

TEST_F(TrimToolTest, EraseGoesBackToThePickOnEscapeAndEndsForAnotherTool) {
  line(0, 0, 10, 0);
  redraw();
  const auto before = chunks();
  script.click_world(1, 5, 0).key("p_nop").key("p_nop");
  run_tool(tool_line_erase);
  EXPECT_EQ(prompts(),
            (std::vector<std::string>{"prompt Select Line:", "prompt Start point:", "prompt Select Line:"}));
  ui.calls.clear();
  script.click_world(1, 5, 0).click_world(1, 3, 1).key("b_line_cut");
  run_tool(tool_line_erase);
  EXPECT_EQ(pending_command, "b_line_cut");
  EXPECT_EQ(prompts().back(), "prompt Move/End point:");
  EXPECT_EQ(chunks(), before);
  EXPECT_TRUE(nothing_marked());
  expect_clean_surface();
}

TEST_F(TrimToolTest, CircleEraseLeavesTheArcOutsideThePoints) {
  arc(0, 0, 2, 2 * PI, 0);
  redraw();
  script.click_world(1, 0, -2).click_world(1, 3, 0).click_world(1, 0, 3).key("z_enter").key("p_nop");
  run_tool(tool_circle_erase);
  ASSERT_EQ(arcs().size(), 1u);
  expect_arc(arcs()[0], PI / 2, 3 * PI / 2);
  expect_clean_surface();
  EXPECT_EQ(undo_used, 1);
}

TEST_F(TrimToolTest, ErasingTheMiddleOfAnArcLeavesTwoArcsOnItsLayerUndoneTogether) {
  arc(0, 0, 2, PI, 0, 4);
  cur_layer = 4;
  redraw();
  const auto before = chunks();
  // From 60 to 120 degrees.
  script.click_world(1, 0, 2)
      .click_world(1, 1.5, 1.5 * std::sqrt(3.0))
      .click_world(1, -1.5, 1.5 * std::sqrt(3.0));
  script.key("z_enter").key("p_nop");
  cur_layer = 0;
  run_tool(tool_circle_erase);
  ASSERT_EQ(arcs().size(), 1u);  // the arc is on layer 4, the tool picks on the current layer
  cur_layer = 4;
  script.click_world(1, 0, 2)
      .click_world(1, 1.5, 1.5 * std::sqrt(3.0))
      .click_world(1, -1.5, 1.5 * std::sqrt(3.0));
  script.key("z_enter").key("p_nop");
  run_tool(tool_circle_erase);
  ASSERT_EQ(arcs().size(), 2u);
  expect_arc(arcs()[0], 0, PI / 3);
  expect_arc(arcs()[1], 2 * PI / 3, PI / 3);
  for (const ArcElem* a : arcs()) {
    EXPECT_EQ(a->layer, 4);
    EXPECT_EQ(a->pen, 4);
  }
  expect_clean_surface();
  undo_step_back();
  EXPECT_EQ(chunks(), before);
  cur_layer = 0;
}

TEST_F(TrimToolTest, DpartRemovesThePieceBetweenTheNearestCuts) {
  line(0, 0, 10, 0);
  line(3, -2, 3, 2);
  line(7, -2, 7, 2);
  line(10, -2, 10, 2);  // at the line's end: no cut
  line(0, 5, 10, 5);
  redraw();
  script.click_world(1, 5, 0).click_world(1, 8.5, 0).click_world(1, 5, 5).key("p_nop");
  run_tool(tool_line_dpart);
  // The middle went, then the piece beyond x = 7 (no cut inside it: the
  // crossings lie at its ends), then the line without any cut.
  ASSERT_EQ(lines().size(), 4u);
  expect_line(lines()[0], 0, 0, 3, 0);
  for (std::size_t i = 1; i < 4; ++i) EXPECT_EQ(lines()[i]->p1.y, -2);
  expect_clean_surface();
  EXPECT_EQ(undo_used, 3);
  undo_step_back();
  undo_step_back();
  ASSERT_EQ(lines().size(), 6u);
  expect_line(lines()[5], 7, 0, 10, 0);
  undo_step_back();
  ASSERT_EQ(lines().size(), 5u);
  expect_line(lines().back(), 0, 0, 10, 0);
}

TEST_F(TrimToolTest, DpartOnACircleTakesItsCutsRoundTheStart) {
  ArcElem* c = arc(0, 0, 2, 2 * PI, 0);
  line(0, -3, 0, 3);  // cuts at 90 and 270 degrees
  redraw();
  script.click_world(1, 2 * std::cos(0.17), 2 * std::sin(0.17)).key("p_nop");
  run_tool(tool_circle_dpart);
  ASSERT_EQ(arcs().size(), 1u);
  EXPECT_EQ(arcs()[0], c);
  expect_arc(c, PI / 2, PI);
  expect_clean_surface();
  EXPECT_EQ(undo_used, 1);
  undo_step_back();
  ASSERT_EQ(arcs().size(), 1u);
  expect_arc(arcs()[0], 0, 2 * PI);
  redraw();

  // With no cut the curve goes as a whole.
  arc(20, 0, 2, 2 * PI, 0);
  redraw();
  script.click_world(1, 20, -2).key("p_nop");
  run_tool(tool_circle_dpart);
  EXPECT_EQ(arcs().size(), 1u);
}

TEST_F(TrimToolTest, ExtendMovesThePickedLineEndToTheNearestCutBeyondIt) {
  line(0, 0, 2, 0);
  line(5, -2, 5, 2);
  line(8, -2, 8, 2);
  line(-3, -2, -3, 2);
  redraw();
  script.click_world(1, 1.8, 0).key("p_nop");
  run_tool(tool_line_extend);
  expect_line(lines()[0], 0, 0, 5, 0);
  script.click_world(1, 0.2, 0).key("p_nop");
  run_tool(tool_line_extend);
  expect_line(lines()[0], 5, 0, -3, 0);
  EXPECT_EQ(undo_used, 2);
  expect_clean_surface();
}

TEST_F(TrimToolTest, ExtendStopsAtAWallsNearerOutlineSide) {
  line(0, 0, 2, 0);
  wall({{6, -1, 0}, {6.4, -1, 0}, {6.4, 1, 0}, {6, 1, 0}});
  redraw();
  script.click_world(1, 1.8, 0).key("p_nop");
  run_tool(tool_line_extend);
  expect_line(lines()[0], 0, 0, 6, 0);
}

TEST_F(TrimToolTest, ExtendClosesALoneArcAndLeavesAFullCircle) {
  ArcElem* a = arc(0, 0, 2, PI / 2, 0);
  ArcElem* full = arc(10, 0, 2, 2 * PI, 0);
  redraw();
  script.click_world(1, 2 * std::cos(1.4), 2 * std::sin(1.4)).click_world(1, 10, -2).key("p_nop");
  run_tool(tool_circle_extend);
  expect_arc(a, 0, 2 * PI);
  expect_arc(full, 0, 2 * PI);
  EXPECT_EQ(undo_used, 1);
}

TEST_F(TrimToolTest, ExtendGrowsAnArcToTheNearestCutAtThePickedEnd) {
  ArcElem* a = arc(0, 0, 2, PI / 2, 0);
  line(-3, 0.5, 3, 0.5);  // meets the circle at the angles asin(1/4) and pi - asin(1/4), and below
  line(-3, -1, 3, -1);
  redraw();
  const double q = std::asin(0.25);
  script.click_world(1, 2 * std::cos(1.4), 2 * std::sin(1.4)).key("p_nop");
  run_tool(tool_line_extend);
  expect_arc(a, 0, PI - q);
  script.click_world(1, 2 * std::cos(0.1), 2 * std::sin(0.1)).key("p_nop");
  run_tool(tool_line_extend);
  // Backwards from 0 to the crossing at -30 degrees.
  expect_arc(a, -PI / 6, PI - q + PI / 6);
}

TEST_F(TrimToolTest, AttachMovesTheNearerEndOfLinesThatDoNotReachTheBoundary) {
  line(0, 0, 5, 0);
  line(0, 1, 12, 1);
  line(10, -5, 10, 5);
  redraw();
  const auto before = chunks();
  script.click_world(1, 10, 3);
  select_all();
  script.key("p_nop");
  run_tool(tool_line_attach);
  expect_line(lines()[0], 0, 0, 10, 0);
  expect_line(lines()[1], 0, 1, 12, 1);
  EXPECT_FALSE(has_guide_pen());
  EXPECT_EQ(prompts().front(), "prompt Select Line:");
  expect_clean_surface();
  EXPECT_EQ(undo_used, 1);
  undo_step_back();
  EXPECT_EQ(chunks(), before);
  redraw();

  // A cancelled selection ends the tool.
  ui.calls.clear();
  script.click_world(1, 10, 3).key("p_nop");
  run_tool(tool_line_attach);
  EXPECT_EQ(prompts(), (std::vector<std::string>{"prompt Select Line:", "prompt Element:"}));
  EXPECT_EQ(chunks(), before);
  expect_clean_surface();
}

}  // namespace
