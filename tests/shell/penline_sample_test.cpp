// The pictures of the pen and line-type menus: dash geometry and pixels.

#include "shell/penline_sample.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "support/model_fixture.h"

namespace {

LineTypeDef type_of(std::vector<std::pair<double, double>> pairs, std::optional<double> period = {}) {
  LineTypeDef t;
  t.pairs = static_cast<uint8_t>(pairs.size());
  double sum = 0;
  for (std::size_t j = 0; j < pairs.size(); ++j) {
    t.dash[j] = pairs[j].first;
    t.gap[j] = pairs[j].second;
    sum += pairs[j].first + pairs[j].second;
  }
  t.period = period.value_or(sum);
  return t;
}

using Segments = std::vector<PenlineSegment>;

std::string show(const Segments& s) {
  std::string out;
  for (const PenlineSegment& p : s) out += "[" + std::to_string(p.x0) + "," + std::to_string(p.x1) + "]";
  return out;
}

TEST(PenlineSample, DashesOfALineType) {
  struct Case {
    const char* what;
    LineTypeDef type;
    Segments expected;
  };
  const Case cases[] = {
      {"continuous", type_of({}), {{0, 99}}},
      {"dash 5 gap 2", type_of({{5, 2}}), {{0, 15}, {21, 36}, {42, 57}, {63, 78}, {84, 99}}},
      {"two pairs", type_of({{10, 2}, {1, 2}}), {{0, 30}, {36, 39}, {45, 75}, {81, 84}, {90, 99}}},
      // 3.3 and 6.6 pixel steps: every x is cut to a whole pixel (the sixteenth
      // start adds up to just below 99).
      {"fractions",
       type_of({{1.1, 1.1}}),
       {{0, 3},
        {6, 9},
        {13, 16},
        {19, 23},
        {26, 29},
        {33, 36},
        {39, 42},
        {46, 49},
        {52, 56},
        {59, 62},
        {66, 69},
        {72, 75},
        {79, 82},
        {85, 89},
        {92, 95},
        {98, 99}}},
      // The rounds run out before the edge: the last dash covers the rest.
      {"too few rounds", type_of({{2, 8}}, 20), {{0, 6}, {30, 36}, {60, 99}}},
      {"period 0", type_of({{5, 2}}, 0), {{0, 99}}},
      {"negative period", type_of({{5, 2}}, -3), {{0, 99}}},
      {"not a number", type_of({{5, 2}}, std::numeric_limits<double>::quiet_NaN()), {{0, 99}}},
  };
  for (const Case& c : cases) EXPECT_EQ(show(penline_linetype_segments(c.type)), show(c.expected)) << c.what;
}

TEST(PenlineSample, ATinyPeriodStillEnds) {
  Segments s = penline_linetype_segments(type_of({{1e-9, 1e-9}}));
  EXPECT_EQ(s.size(), 101u + 1u);  // at most 100 rounds, one dash each, and the last dash
  EXPECT_EQ(s.back(), (PenlineSegment{0, 99}));
  Segments zero = penline_linetype_segments(type_of({{0, 0}}, 1));
  EXPECT_EQ(zero.back(), (PenlineSegment{0, 99}));
}

class PenlinePicture : public ModelTest {
 protected:
  static uint32_t pixel(cairo_surface_t* s, int x, int y) {
    const unsigned char* row = cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s);
    return reinterpret_cast<const uint32_t*>(row)[x] & 0xFFFFFF;
  }
};

TEST_F(PenlinePicture, PenSwatchesAreFilledWithThePenColour) {
  pens[2].r = 1.0, pens[2].g = 0.0, pens[2].b = 1.0;
  cairo_surface_t* s = penline_picture_render(2);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(cairo_image_surface_get_width(s), 100);
  EXPECT_EQ(cairo_image_surface_get_height(s), 10);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 100; ++x) ASSERT_EQ(pixel(s, x, y), 0xFF00FFu) << x << "," << y;
  cairo_surface_destroy(s);
  EXPECT_EQ(penline_pen_rgb(-1).r, pens[0].r);
  EXPECT_EQ(penline_pen_rgb(8).g, pens[0].g);
}

TEST_F(PenlinePicture, LineTypeSamplesAreBlackDashesOnWhite) {
  line_types[3] = type_of({{5, 2}});
  cairo_surface_t* s = penline_picture_render(8 + 3);
  ASSERT_NE(s, nullptr);
  std::string row5, others;
  for (int x = 0; x < 100; ++x) row5 += pixel(s, x, 5) == 0 ? '#' : pixel(s, x, 5) == 0xFFFFFF ? '.' : '?';
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 100; ++x)
      if (y != 5 && pixel(s, x, y) != 0xFFFFFF)
        others += "(" + std::to_string(x) + "," + std::to_string(y) + ")";
  std::string expected;
  for (int x = 0; x < 100; ++x) {
    bool on = (x <= 15) || (x >= 21 && x <= 36) || (x >= 42 && x <= 57) || (x >= 63 && x <= 78) || x >= 84;
    expected += on ? '#' : '.';
  }
  EXPECT_EQ(row5, expected);
  EXPECT_EQ(others, "");
  cairo_surface_destroy(s);
  EXPECT_EQ(penline_picture_render(16), nullptr);
  EXPECT_EQ(penline_picture_render(-1), nullptr);
}

}  // namespace
