// input_rectangle and input_polygon_simple run end to end: the corner
// order, the plane of the first three points, take-back in 3D, cancel at
// every step and the rubber bands.

#include "poly_input_fixture.h"

namespace {

using RectangleTest = PolyInputTest;

TEST_F(RectangleTest, TheCornersRunCounterClockwiseFromTheLowerLeftWhateverTheOrder) {
  struct Case {
    double x0, y0, x1, y1;
  } cases[] = {{1, 2, 7, 5}, {7, 5, 1, 2}, {1, 5, 7, 2}, {7, 2, 1, 5}};
  for (const Case& c : cases) {
    poly_input.z = 4.5;
    script.click_world(1, c.x0, c.y0).click_world(1, c.x1, c.y1).key("z_enter");
    EXPECT_EQ(run_input(input_rectangle), 5);
    const auto& p = poly_input.points;
    ASSERT_EQ(p.size(), 5u);
    EXPECT_EQ(poly_input.count, 5);
    expect_point(p[0], 1, 2);
    expect_point(p[1], 7, 2);
    expect_point(p[2], 7, 5);
    expect_point(p[3], 1, 5);
    EXPECT_TRUE(is_end_marker(p[4]));
    EXPECT_EQ(poly_input.z, 4.5);
    expect_clean_surface();
  }
  EXPECT_EQ(prompts().size(), 12u);
  EXPECT_EQ(prompts()[0], "prompt 1st Corner point:");
  EXPECT_EQ(prompts()[1], "prompt Move/2nd Corner point:");
  EXPECT_EQ(prompts()[2], "prompt Move/Confirm:");
}

TEST_F(RectangleTest, CancelAtEveryStepLeavesTheBufferAsItWas) {
  for (int clicks = 0; clicks < 3; ++clicks) {
    SCOPED_TRACE(clicks);
    poly_input.points.assign(2, Point2{3, 4, 0});
    poly_input.count = 2;
    for (int k = 0; k < clicks; ++k) script.click_world(1, 2.0 * k, 3.0 * k);
    script.key("p_nop");
    EXPECT_EQ(run_input(input_rectangle), POLY_INPUT_CANCELLED);
    EXPECT_EQ(poly_input.count, 2);
    ASSERT_EQ(poly_input.points.size(), 2u);
    expect_point(poly_input.points[1], 3, 4);
    expect_clean_surface();
  }
}

TEST_F(RectangleTest, TheRubberBandIsTheRectangleToThePointerThenToTheSecondCorner) {
  // The middle of the bottom side, far from the cursor at the second corner.
  sample_at_prompt("Move/Confirm:", px(0), py(-10));
  script.click_world(1, -20, -10).click_world(1, 20, 10).key("z_enter");
  EXPECT_EQ(run_input(input_rectangle), 5);
  ASSERT_EQ(samples.size(), 1u);
  EXPECT_NE(samples[0], view_palettes[0][PAL_BACKGROUND]);
  expect_clean_surface();
}

using SimplePolygonTest = PolyInputTest;

TEST_F(SimplePolygonTest, PointsFromTheFourthOnLandOnThePlaneOfTheFirstThree) {
  // The plane z = y / 2.
  typed("0;0;0");
  typed("10;0;0");
  typed("10;10;5");
  typed("0;10;0");  // its foot on the plane is (0, 8, 4)
  point(0, 0);      // the first point, z 0 from the view: already on the plane
  testing::internal::CaptureStdout();
  const int result = run_input(input_polygon_simple);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "1\n1\n");
  EXPECT_EQ(result, 5);

  const auto& p = poly_input.points3;
  ASSERT_EQ(p.size(), 5u);
  EXPECT_EQ(poly_input.count, 5);
  expect_point3(p[0], 0, 0, 0);
  expect_point3(p[1], 10, 0, 0);
  expect_point3(p[2], 10, 10, 5);
  expect_point3(p[3], 0, 8, 4, 1e-12);
  expect_point3(p[4], 999, 999, 999);
  EXPECT_EQ(poly_input.z, 0.0);
  EXPECT_TRUE(poly_input.points.empty());
  EXPECT_TRUE(elements().empty());
  EXPECT_EQ(drawing_modified, 0);
  expect_clean_surface();
}

TEST_F(SimplePolygonTest, GuideLinesAre3DLinesAndTakeBackComparesTheHeightToo) {
  std::vector<Seen> seen;
  on_look([&] { seen = seen_elements(); });
  typed("0;0;0");
  typed("10;0;0");
  typed("10;0;2");  // above the last point: a point of its own
  look();
  typed("10;0;2");  // the same again: taken back
  typed("10;10;0");
  typed("0;10;0");
  point(0, 0);
  testing::internal::CaptureStdout();
  EXPECT_EQ(run_input(input_polygon_simple), 5);
  // The point taken back was the fourth, and was brought onto the plane too.
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "1\n1\n1\n");

  ASSERT_EQ(seen.size(), 2u);
  for (const Seen& s : seen) {
    EXPECT_EQ(s.kind, ELEM_LINE3D);
    EXPECT_EQ(s.pen, PEN_GUIDE);
    EXPECT_EQ(s.line_type, 0);
  }
  expect_point3(seen[1].p1, 10, 0, 0);
  expect_point3(seen[1].p2, 10, 0, 2);
  const auto& p = poly_input.points3;
  ASSERT_EQ(p.size(), 5u);
  expect_point3(p[1], 10, 0, 0);
  expect_point3(p[2], 10, 10, 0);
  expect_point3(p[3], 0, 10, 0);
  EXPECT_TRUE(elements().empty());
  expect_clean_surface();
}

TEST_F(SimplePolygonTest, WithoutAPlaneThePointStaysWhereItWasEntered) {
  typed("0;0;0");
  typed("5;0;0");
  typed("10;0;0");  // on one line with the first two
  typed("10;5;3");
  point(0, 0);
  testing::internal::CaptureStdout();
  EXPECT_EQ(run_input(input_polygon_simple), 5);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "0\n0\n");
  expect_point3(poly_input.points3[3], 10, 5, 3);
}

TEST_F(SimplePolygonTest, ClosingNeedsTheHeightOfTheFirstPointToo) {
  typed("0;0;0");
  typed("10;0;0");
  typed("0;0;0.002");  // above the first point: not closing
  typed("0;0;0.0009");
  testing::internal::CaptureStdout();
  EXPECT_EQ(run_input(input_polygon_simple), 4);
  testing::internal::GetCapturedStdout();
  expect_point3(poly_input.points3[2], 0, 0, 0.002);
}

TEST_F(SimplePolygonTest, TooFewPointsOrCancelFreeTheBuffer) {
  struct Case {
    std::vector<const char*> points;
    bool click;  // a further point clicked, not confirmed
    const char* key;
    int result;
  } cases[] = {
      {{"1;1;1", "1;1;1"}, false, nullptr, 0},
      {{"1;1;1", "4;1;1", "1;1;1"}, false, nullptr, 0},
      {{}, false, "p_nop", POLY_INPUT_CANCELLED},
      {{}, true, "p_nop", POLY_INPUT_CANCELLED},
      {{"1;1;1", "4;1;1"}, false, "p_nop", POLY_INPUT_CANCELLED},
      {{"1;1;1", "4;1;1", "4;4;1"}, true, "b_3d_polygon", POLY_INPUT_CANCELLED},
  };
  for (const Case& c : cases) {
    poly_input.points3.assign(3, Point3{});
    drawing_modified = 1;
    pending_command = "nop";
    for (const char* p : c.points) typed(p);
    if (c.click) script.click_world(1, 8, 8);
    if (c.key) script.key(c.key);
    EXPECT_EQ(run_input(input_polygon_simple), c.result);
    EXPECT_TRUE(poly_input.points3.empty());
    EXPECT_EQ(poly_input.count, 0);
    EXPECT_TRUE(elements().empty());
    EXPECT_EQ(drawing_modified, 1);
    expect_clean_surface();
  }
}

TEST_F(SimplePolygonTest, InAnElevationTheRubberBandIsProjected) {
  view_type = VIEW_FRONT;
  redraw();
  std::vector<InputPreviewFn> bands;
  on_look([&] {
    bands.push_back(active_request->preview[0]);
    bands.push_back(active_request->preview[1]);
  });
  // In the front view the band from (-20, y, 5) runs at height 5.
  sample_at_prompt("Move/Confirm:", px(0), py(5));
  typed("-20;3;5");
  look();
  script.click_world(1, 20, 5);
  script.key("p_nop");
  EXPECT_EQ(run_input(input_polygon_simple), POLY_INPUT_CANCELLED);
  EXPECT_EQ(bands,
            (std::vector<InputPreviewFn>{preview_polygon_simple_edge, preview_polygon_simple_confirm}));
  ASSERT_EQ(samples.size(), 2u);
  EXPECT_EQ(samples[0], view_palettes[0][PAL_BACKGROUND]);
  EXPECT_NE(samples[1], view_palettes[0][PAL_BACKGROUND]);
  expect_clean_surface();
}

TEST_F(SimplePolygonTest, AClickThatLeavesNoRoomForTheEndMarkerIsRefused) {
  // 499 points on the plane z = 0 along a zigzag, one more refused, then closing.
  for (int k = 0; k < 499; ++k) point(-45 + 0.18 * k, k % 2 ? -10 : -20);
  point(30, 25);
  point(-45, -20);
  testing::internal::CaptureStdout();
  EXPECT_EQ(run_input(input_polygon_simple), POLY_INPUT_MAX);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(errors(), std::vector<std::string>{"error To many points in polygon!"});
  ASSERT_EQ(poly_input.points3.size(), static_cast<std::size_t>(POLY_INPUT_MAX));
  expect_point3(poly_input.points3[498], -45 + 0.18 * 498, -20, 0, 1e-9);
  expect_point3(poly_input.points3[499], 999, 999, 999);
  EXPECT_TRUE(elements().empty());
  expect_clean_surface();
}

}  // namespace
