// The arithmetic of the line tools, without any input: frame corners,
// polygon corners, the side rule of the parallel, the fixed-angle end point,
// the perpendicular; and the cut of a translated prompt.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "tools/line_tools.h"
#include "tools/tool_common.h"

namespace {

constexpr double EPS = 1e-9;

void expect_segment(const LineSegment& s, double x1, double y1, double x2, double y2, double eps = EPS) {
  EXPECT_NEAR(s.p1.x, x1, eps);
  EXPECT_NEAR(s.p1.y, y1, eps);
  EXPECT_NEAR(s.p2.x, x2, eps);
  EXPECT_NEAR(s.p2.y, y2, eps);
}

TEST(LineFrame, SidesRunCounterClockwiseFromTheUpperRightWhateverCornersAreGiven) {
  // Every order of the two corners gives the same frame.
  const double corners[4][4] = {{0, 0, 2, 1}, {2, 1, 0, 0}, {0, 1, 2, 0}, {2, 0, 0, 1}};
  for (const auto& c : corners) {
    SCOPED_TRACE(testing::Message() << c[0] << "," << c[1] << " " << c[2] << "," << c[3]);
    const auto s = line_frame_sides(c[0], c[1], c[2], c[3], 0.0);
    expect_segment(s[0], 2, 1, 0, 1);  // top
    expect_segment(s[1], 0, 1, 0, 0);  // left
    expect_segment(s[2], 0, 0, 2, 0);  // bottom
    expect_segment(s[3], 2, 0, 2, 1);  // right
  }
}

TEST(LineFrame, DistanceMovesEverySideOutwardOrInward) {
  auto s = line_frame_sides(0, 0, 2, 1, -0.1);
  expect_segment(s[0], 1.9, 0.9, 0.1, 0.9);
  expect_segment(s[1], 0.1, 0.9, 0.1, 0.1);
  expect_segment(s[2], 0.1, 0.1, 1.9, 0.1);
  expect_segment(s[3], 1.9, 0.1, 1.9, 0.9);
  s = line_frame_sides(0, 0, 2, 1, 0.5);
  expect_segment(s[0], 2.5, 1.5, -0.5, 1.5);
  expect_segment(s[2], -0.5, -0.5, 2.5, -0.5);
  // Equal corners: four lines of no length.
  for (const LineSegment& side : line_frame_sides(3, 3, 3, 3, 0.0)) expect_segment(side, 3, 3, 3, 3);
}

TEST(LinePolygon, CornersTurnCounterClockwiseFromTheCornerPoint) {
  const auto c = line_polygon_corners(0, 0, 1, 0, 6);
  ASSERT_EQ(c.size(), 6u);
  EXPECT_NEAR(c[1].x, 0.5, 1e-6);
  EXPECT_NEAR(c[1].y, 0.866025, 1e-6);
  for (std::size_t k = 0; k < c.size(); ++k) {
    EXPECT_NEAR(c[k].x, std::cos(k * M_PI / 3), 1e-12) << k;
    EXPECT_NEAR(c[k].y, std::sin(k * M_PI / 3), 1e-12) << k;
  }
  // About another centre, a triangle through the corner point.
  const auto t = line_polygon_corners(5, 5, 5, 7, 3);
  ASSERT_EQ(t.size(), 3u);
  EXPECT_DOUBLE_EQ(t[0].x, 5);
  EXPECT_DOUBLE_EQ(t[0].y, 7);
  EXPECT_NEAR(t[1].x, 5 - std::sqrt(3.0), 1e-12);
  EXPECT_NEAR(t[1].y, 4, 1e-12);
  EXPECT_TRUE(line_polygon_corners(0, 0, 1, 0, 0).empty());
}

TEST(LineParallel, GoesToTheSideOfTheClickAndATieGoesRight) {
  const LineSegment edge{{0, 0, 0}, {10, 0, 0}};
  struct Case {
    double d, cx, cy, y;
  } cases[] = {
      {1, 5, 3, 1},    // left of the edge
      {1, 5, -3, -1},  // right of it
      {1, 5, 0, -1},   // on the edge's line: the right-hand side
      {1, 50, 0, -1},  // on the line beyond the end too
      {-1, 5, 3, 1},   // a negative distance still follows the click
      {-1, 5, 0, 1},   // and its tie lands on the other side
      {0, 5, 3, 0},    // no distance: the edge itself
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "d " << c.d << " click " << c.cx << "," << c.cy);
    expect_segment(line_parallel_at(edge, c.d, c.cx, c.cy), 0, c.y, 10, c.y);
  }
  // A vertical edge upwards: its left is -x.
  const LineSegment up{{0, 0, 0}, {0, 4, 0}};
  expect_segment(line_parallel_at(up, 2, -1, 1), -2, 0, -2, 4);
  expect_segment(line_parallel_at(up, 2, 0, 1), 2, 0, 2, 4);
  // Slanted: the offset is at right angles to the edge.
  const LineSegment slant{{0, 0, 0}, {3, 4, 0}};
  expect_segment(line_parallel_at(slant, 5, 0, 10), -4, 3, -1, 7);
}

TEST(LineParallel, ThroughAPointKeepsTheEdgesLength) {
  const LineSegment edge{{1, 1, 0}, {4, 1, 0}};
  expect_segment(line_parallel_through(edge, 20, 3), 1, 3, 4, 3);
  expect_segment(line_parallel_through(edge, 2, -1), 1, -1, 4, -1);
  const LineSegment slant{{0, 0, 0}, {1, 1, 0}};
  expect_segment(line_parallel_through(slant, 0, 2), -1, 1, 0, 2);
}

TEST(LinePerpendicular, RunsFromTheFootOfTheThroughPointToTheFootOfTheEnd) {
  const LineSegment edge{{0, 0, 0}, {10, 0, 0}};
  expect_segment(line_perpendicular(edge, 3, 2, 7, 5), 3, 0, 3, 5);
  expect_segment(line_perpendicular(edge, 3, 2, 0, -4), 3, 0, 3, -4);
  const LineSegment slant{{0, 0, 0}, {2, 2, 0}};
  expect_segment(line_perpendicular(slant, 2, 0, 0, 2), 1, 1, 0, 2);
}

TEST(LineAngle, EndByLengthOrByTheFootOfAPoint) {
  const double a30 = M_PI / 6;
  const Point2 back = line_angle_end_by_length(0, 0, a30, -2);
  EXPECT_NEAR(back.x, -1.732051, 1e-6);
  EXPECT_NEAR(back.y, -1, 1e-12);
  const Point2 fwd = line_angle_end_by_length(1, 1, M_PI / 2, 3);
  EXPECT_NEAR(fwd.x, 1, 1e-12);
  EXPECT_NEAR(fwd.y, 4, 1e-12);
  // A point beside the line lands on its foot, also behind the start.
  Point2 e = line_angle_end_at(0, 0, 0, 5, 3);
  EXPECT_NEAR(e.x, 5, 1e-12);
  EXPECT_NEAR(e.y, 0, 1e-12);
  e = line_angle_end_at(1, 1, M_PI / 4, 0, -2);
  EXPECT_NEAR(e.x, -1, 1e-12);
  EXPECT_NEAR(e.y, -1, 1e-12);
}

TEST(ToolPrompt, ALongPromptIsCutOnACharacterBoundary) {
  FixedText<INPUT_PROMPT_LEN> field;
  tool_set_prompt(field, "Start point:");
  EXPECT_EQ(field, "Start point:");
  // 78 ASCII bytes and then a two-byte character: the character would be
  // split at byte 79, so it goes.
  const std::string ascii(78, 'a');
  tool_set_prompt(field, (ascii + "\xC3\xA4" + "b").c_str());
  EXPECT_EQ(field.view(), ascii);
  // A three-byte character that fits whole stays.
  const std::string fits(76, 'a');
  tool_set_prompt(field, (fits + "\xE2\x82\xAC" + "xyz").c_str());
  EXPECT_EQ(field.view(), fits + "\xE2\x82\xAC");
  tool_set_prompt(field, nullptr);
  EXPECT_TRUE(field.empty());
}

}  // namespace
