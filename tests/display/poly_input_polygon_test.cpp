// input_polygon run end to end: closing, take-back, the guide lines while
// the points are asked and nothing of them afterwards, cancel at every
// step, the point limit and the drawing's modified flag.

#include "display/select.h"
#include "poly_input_fixture.h"

namespace {

using PolygonTest = PolyInputTest;

TEST_F(PolygonTest, ClosingOnTheFirstPointGivesTheOutlineAndTakesTheGuideLinesAway) {
  // A line the guide lines cross: erasing them must not leave gaps in it.
  ElemHeader* crossed = line(-5, 4, 20, 4);
  drawing_modified = 0;
  cur_layer = 0;
  redraw();

  std::vector<Seen> seen;
  int modified_while_asking = -1;
  on_look([&] {
    seen = seen_elements();
    modified_while_asking = drawing_modified;
    expect_clean_surface();
  });
  point(0, 0);
  point(10, 0);
  point(10, 8);
  look();
  point(0, 0);
  EXPECT_EQ(run_input(input_polygon), 4);

  // The line, then one guide line per edge.
  ASSERT_EQ(seen.size(), 3u);
  for (int k = 1; k < 3; ++k) {
    EXPECT_EQ(seen[k].kind, ELEM_LINE);
    EXPECT_EQ(seen[k].pen, PEN_GUIDE);
    EXPECT_EQ(seen[k].line_type, 0);
    EXPECT_EQ(seen[k].layer, 0);
  }
  EXPECT_EQ(modified_while_asking, 1);
  expect_point3(seen[2].p1, 10, 0, 0);
  expect_point3(seen[2].p2, 10, 8, 0);

  ASSERT_EQ(poly_input.count, 4);
  ASSERT_EQ(poly_input.points.size(), 4u);
  expect_point(poly_input.points[0], 0, 0);
  expect_point(poly_input.points[1], 10, 0);
  expect_point(poly_input.points[2], 10, 8);
  EXPECT_TRUE(is_end_marker(poly_input.points[3]));
  EXPECT_EQ(poly_input.z, 0.0);

  EXPECT_EQ(elements(), std::vector<ElemHeader*>{crossed});
  EXPECT_EQ(drawing_modified, 0);
  std::vector<std::string> expected;
  for (int k = 0; k < 4; ++k) {
    expected.push_back("prompt Polygon point:");
    if (k == 3) expected.push_back("prompt Polygon point:");  // asked again after the look
    expected.push_back("prompt Move/Confirm:");
  }
  EXPECT_EQ(prompts(), expected);
  EXPECT_TRUE(errors().empty());
  expect_clean_surface();
}

TEST_F(PolygonTest, GuideLinesGoToTheCurrentLayerAndStayTheLastElements) {
  layers[3].shown = 1;
  cur_layer = 3;
  line(30, 30, 40, 30, 3);
  redraw();
  std::vector<Seen> all;
  on_look([&] { all = seen_elements(); });
  point(0, 0);
  point(5, 0);
  point(5, 5);
  look();
  point(0, 0);
  EXPECT_EQ(run_input(input_polygon), 4);
  ASSERT_EQ(all.size(), 3u);
  EXPECT_NE(all[0].pen, PEN_GUIDE);
  EXPECT_EQ(all[1].pen, PEN_GUIDE);
  EXPECT_EQ(all[2].pen, PEN_GUIDE);
  EXPECT_EQ(all[1].layer, 3);
  EXPECT_EQ(elements().size(), 1u);
  expect_clean_surface();
}

TEST_F(PolygonTest, TheFirstPointsHeightIsKept) {
  typed("1;1;2.5");
  point(6, 1);
  point(6, 5);
  point(1, 1);
  EXPECT_EQ(run_input(input_polygon), 4);
  EXPECT_EQ(poly_input.z, 2.5);
  expect_point(poly_input.points[0], 1, 1);
  expect_clean_surface();
}

TEST_F(PolygonTest, ClosingWithFewerThanThreePointsGivesNothing) {
  const std::vector<std::vector<Point2>> cases = {
      {{0, 0, 0}, {0, 0, 0}},
      {{0, 0, 0}, {5, 0, 0}, {0, 0, 0}},
      // Closing needs the first point within 0.001, not exactly.
      {{0, 0, 0}, {5, 0, 0}, {0.0009, -0.0009, 0}},
  };
  for (const auto& clicks : cases) {
    poly_input.points.assign(3, Point2{1, 1, 0});
    for (const Point2& p : clicks) point(p.x, p.y);
    EXPECT_EQ(run_input(input_polygon), 0);
    EXPECT_EQ(poly_input.count, 0);
    EXPECT_TRUE(poly_input.points.empty());
    EXPECT_TRUE(elements().empty());
    EXPECT_EQ(drawing_modified, 0);
    expect_clean_surface();
  }
}

TEST_F(PolygonTest, EnteringTheLastPointAgainTakesItBackWithItsEdge) {
  // The edge taken back crosses this line; the view must show it whole.
  line(5, 4, 15, 4);
  redraw();
  std::vector<std::vector<Seen>> seen;
  on_look([&] {
    seen.push_back(seen_elements());
    expect_clean_surface();
  });
  point(0, 0);
  point(10, 0);
  point(10, 8);
  look();
  point(10, 8);  // takes (10, 8) back
  look();
  point(10, 0);  // and (10, 0)
  look();
  point(8, 0);
  point(8, 6);
  point(0, 0);
  EXPECT_EQ(run_input(input_polygon), 4);

  // The line and the guide lines left at each look.
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].size(), 3u);
  ASSERT_EQ(seen[1].size(), 2u);
  expect_point3(seen[1][1].p1, 0, 0, 0);
  expect_point3(seen[1][1].p2, 10, 0, 0);
  EXPECT_EQ(seen[2].size(), 1u);
  ASSERT_EQ(poly_input.points.size(), 4u);
  expect_point(poly_input.points[0], 0, 0);
  expect_point(poly_input.points[1], 8, 0);
  expect_point(poly_input.points[2], 8, 6);
  EXPECT_EQ(elements().size(), 1u);
  expect_clean_surface();
}

TEST_F(PolygonTest, TheFirstPointAloneCannotBeTakenBack) {
  // Without an edge, entering the first point again closes the outline.
  point(3, 3);
  point(3, 3);
  EXPECT_EQ(run_input(input_polygon), 0);
  EXPECT_EQ(prompts().size(), 4u);
}

TEST_F(PolygonTest, CancelAtEveryStepLeavesNothingBehind) {
  struct Case {
    const char* name;
    int points;        // confirmed before the key
    bool clicked;      // a further point clicked, not confirmed
    const char* key;   // what ends the input
    int was_modified;  // drawing_modified before
  } cases[] = {
      {"first point", 0, false, "p_nop", 0},        {"first confirm", 0, true, "p_nop", 1},
      {"third point", 2, false, "p_nop", 0},        {"third confirm", 2, true, "p_nop", 1},
      {"another tool", 3, false, "b_line_line", 0}, {"another tool at confirm", 3, true, "b_pattern_poly", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    drawing_free();
    drawing_init();
    ElemHeader* kept = line(-4, 2, 12, 2);
    drawing_modified = c.was_modified;
    pending_command = "nop";
    redraw();
    const Point2 corners[] = {{0, 0, 0}, {10, 0, 0}, {10, 8, 0}};
    for (int k = 0; k < c.points; ++k) point(corners[k].x, corners[k].y);
    if (c.clicked) script.click_world(1, 2, 7);
    script.key(c.key);
    EXPECT_EQ(run_input(input_polygon), POLY_INPUT_CANCELLED);
    EXPECT_EQ(poly_input.count, 0);
    EXPECT_TRUE(poly_input.points.empty());
    EXPECT_EQ(elements(), std::vector<ElemHeader*>{kept});
    EXPECT_EQ(drawing_modified, c.was_modified);
    EXPECT_EQ(pending_command, c.key);
    expect_clean_surface();
  }
}

TEST_F(PolygonTest, SelectedElementsEndUnmarkedAndDrawnPlain) {
  ElemHeader* l = line(-10, -10, -2, -3);
  l->mark = 1;
  redraw();
  point(0, 0);
  point(4, 0);
  point(4, 4);
  point(0, 0);
  EXPECT_EQ(run_input(input_polygon), 4);
  EXPECT_EQ(l->mark, 0);
  expect_clean_surface();
}

TEST_F(PolygonTest, SnapOntoTheFirstGuideLinesEndCloses) {
  snap_on = 1;
  point(0, 0);
  point(10, 0);
  point(10, 8);
  // Two pixels beside the first point: snap catches the guide line's end.
  point(2 * PX, -PX);
  EXPECT_EQ(run_input(input_polygon), 4);
  ASSERT_EQ(poly_input.points.size(), 4u);
  expect_point(poly_input.points[2], 10, 8);
  EXPECT_TRUE(is_end_marker(poly_input.points[3]));
  expect_clean_surface();
}

TEST_F(PolygonTest, InAnElevationThereIsNoRubberBand) {
  view_type = VIEW_FRONT;
  redraw();
  std::vector<InputPreviewFn> bands;
  on_look([&] {
    bands.push_back(active_request->preview[0]);
    bands.push_back(active_request->preview[1]);
  });
  point(0, 0);
  point(5, 0);
  look();
  script.key("p_nop");
  EXPECT_EQ(run_input(input_polygon), POLY_INPUT_CANCELLED);
  EXPECT_EQ(bands, (std::vector<InputPreviewFn>{nullptr, nullptr}));
  expect_clean_surface();
}

TEST_F(PolygonTest, InThePlanTheRubberBandRunsFromTheLastPoint) {
  std::vector<InputPreviewFn> bands;
  on_look([&] {
    bands.push_back(active_request->preview[0]);
    bands.push_back(active_request->preview[1]);
  });
  sample_at_prompt("Move/Confirm:", px(0), py(5));
  point(-20, 5);
  script.click_world(1, 20, 5);
  look();  // at "Move/Confirm:": the band from (-20, 5) to (20, 5)
  script.key("z_enter");
  script.key("p_nop");
  EXPECT_EQ(run_input(input_polygon), POLY_INPUT_CANCELLED);
  EXPECT_EQ(bands, (std::vector<InputPreviewFn>{preview_polygon_edge, preview_polygon_confirm}));
  // No band for the first point; then shown with the prompt, and again after the look.
  const uint32_t background = view_palettes[0][PAL_BACKGROUND];
  ASSERT_EQ(samples.size(), 3u);
  EXPECT_EQ(samples[0], background);
  EXPECT_NE(samples[1], background);
  EXPECT_NE(samples[2], background);
  expect_clean_surface();
}

// Bezier curves from (5k, 0) to (5k + 5, 0): each click on the next end
// adds 72 points along the curve and the clicked point again.
class PolygonLimitTest : public PolygonTest {
 protected:
  void SetUp() override {
    PolygonTest::SetUp();
    for (int k = 0; k < 7; ++k) {
      const double x = 5.0 * k;
      elem_new_spline(0, 0, 0, x, 0, x + 1, 3, x + 4, 3, x + 5, 0);
    }
    redraw();
  }
};

TEST_F(PolygonLimitTest, AClickThatDoesNotFitIsRefusedAndTheInputGoesOn) {
  point(0, 0);
  for (int k = 1; k <= 6; ++k) point(5.0 * k, 0);    // 1 + 6 x 73 = 439 entries
  point(35, 0);                                      // 73 more do not fit
  for (int k = 0; k < 60; ++k) point(-40 + k, -20);  // 499 entries
  point(25, -25);                                    // a 500th point leaves no room for the end marker
  point(0, 0);                                       // closing needs none
  EXPECT_EQ(run_input(input_polygon), POLY_INPUT_MAX);

  EXPECT_EQ(errors(), (std::vector<std::string>{"error To many points in polygon!",
                                                "error To many points in polygon!"}));
  ASSERT_EQ(poly_input.points.size(), static_cast<std::size_t>(POLY_INPUT_MAX));
  expect_point(poly_input.points[438], 30, 0);
  expect_point(poly_input.points[439], -40, -20);
  expect_point(poly_input.points[498], 19, -20);
  EXPECT_TRUE(is_end_marker(poly_input.points[499]));
  EXPECT_TRUE(guides().empty());
  EXPECT_EQ(elements().size(), 7u);
  expect_clean_surface();
}

TEST_F(PolygonLimitTest, TheClosingClickFitsWhereAFurtherPointWouldNot) {
  // 1 + 6 x 73 + 59 = 498 entries: one more point and the marker fit.
  point(0, 0);
  for (int k = 1; k <= 6; ++k) point(5.0 * k, 0);
  for (int k = 0; k < 59; ++k) point(-40 + k, -20);
  point(25, -25);
  point(26, -25);
  point(0, 0);
  EXPECT_EQ(run_input(input_polygon), POLY_INPUT_MAX);
  EXPECT_EQ(errors().size(), 1u);
  expect_point(poly_input.points[498], 25, -25);
}

}  // namespace
