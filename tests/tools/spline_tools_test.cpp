// The spline tools run by scripts: a spline from its start, end and control
// points, and its dissolving into the chords of the screen, one undo step
// each, with the view equal to a clean redraw afterwards.

#include <string>

#include "curve_tool_fixture.h"
#include "display/outdev_breakdown.h"
#include "model/view_rec.h"

namespace {

TEST_F(CurveToolTest, SplineAsksEndsBeforeControlPointsAndStoresThemInCurveOrder) {
  cur_pen = 2;
  cur_line_type = 1;
  script.click_world(1, 0, 0)
      .click_world(1, 30, 0)
      .click_world(1, 5, 15)
      .click_world(1, 25, -15)
      .key("z_enter");
  script.key("p_nop");
  run_tool(tool_circle_spline);
  const auto s = splines();
  ASSERT_EQ(s.size(), 1u);
  const Point2 expected[4] = {{0, 0, 0}, {5, 15, 0}, {25, -15, 0}, {30, 0, 0}};
  const Point2 got[4] = {s[0]->p0, s[0]->p1, s[0]->p2, s[0]->p3};
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(got[k].x, expected[k].x) << k;
    EXPECT_EQ(got[k].y, expected[k].y) << k;
  }
  EXPECT_EQ(s[0]->pen, 2);
  EXPECT_EQ(s[0]->line_type, 1);
  EXPECT_EQ(ui.calls_starting("prompt ").size(), 6u);
  EXPECT_EQ(ui.calls_starting("prompt Move/1st control point:").size(), 1u);
  EXPECT_EQ(undo_used, 1);
  expect_clean_surface();
}

class DissolveTest : public CurveToolTest {
 protected:
  void SetUp() override {
    CurveToolTest::SetUp();
    elem_new_spline(0, 3, 0, 0, 0, 10, 20, 30, 20, 40, 0);
    spline = elem_list_tail;
    redraw();
  }
  ElemHeader* spline = nullptr;
};

TEST_F(DissolveTest, YesReplacesTheSplineByItsChordsInOneUndoStepCancelKeepsIt) {
  const int chords = outdev_bezier_chord_count(0, 0, 10, 20, 30, 20, 40, 0);
  ui.answers = {2, 1};
  // Empty space first; then Cancel, then Yes.
  script.click_world(1, 20, -20).click_world(1, 19, 15.2).click_world(1, 19, 15.2).key("p_nop");
  run_tool(tool_circle_splinedissolve);

  EXPECT_EQ(ui.calls_starting("ask Really dissolve the spline into single lines? [Yes] [Cancel]").size(), 2u);
  EXPECT_TRUE(splines().empty());
  const auto l = lines();
  ASSERT_EQ(l.size(), static_cast<std::size_t>(chords));
  EXPECT_GE(chords, 12);
  expect_line(l.front(), 0, 0, l.front()->p2.x, l.front()->p2.y);
  expect_line(l.back(), l.back()->p1.x, l.back()->p1.y, 40, 0);
  for (std::size_t k = 0; k + 1 < l.size(); ++k) {
    EXPECT_EQ(l[k]->p2.x, l[k + 1]->p1.x) << k;
    EXPECT_EQ(l[k]->p2.y, l[k + 1]->p1.y) << k;
  }
  for (const LineElem* e : l) EXPECT_EQ(e->pen, 3);
  EXPECT_TRUE(nothing_marked());
  expect_clean_surface();

  EXPECT_EQ(undo_used, 1);
  undo_step_back();
  EXPECT_TRUE(lines().empty());
  ASSERT_EQ(splines().size(), 1u);
  EXPECT_EQ(splines()[0]->p3.x, 40);
  undo_step_forward();
  EXPECT_TRUE(splines().empty());
  EXPECT_EQ(lines().size(), static_cast<std::size_t>(chords));
}

TEST_F(DissolveTest, TheChordCountFollowsTheZoomUpToOneHundredAndTwenty) {
  struct Case {
    double scale;  // metres per pixel
    std::size_t chords;
  } cases[] = {{PX, 17}, {PX / 4, 66}, {PX / 10, 120}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.scale);
    views[0].xscale = views[0].yscale = c.scale;
    curve_dissolve_spline(spline);
    EXPECT_EQ(lines().size(), c.chords);
    undo_step_back();
    ASSERT_EQ(splines().size(), 1u);
    spline = elem_list_tail;
  }
}

TEST_F(DissolveTest, ASplineOfTheGuidePenIsRemovedWithoutLinesAndComesBackByUndo) {
  spline->pen = PEN_GUIDE;
  redraw();
  ui.answers = {1};
  script.click_world(1, 19, 15.2).key("p_nop");
  run_tool(tool_circle_splinedissolve);
  EXPECT_TRUE(elements().empty());
  expect_clean_surface();
  undo_step_back();
  EXPECT_EQ(splines().size(), 1u);
}

}  // namespace
