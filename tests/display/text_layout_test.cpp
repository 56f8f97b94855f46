// Text layout: widths, the four alignments, frames, line origins and the
// interpretation of glyph commands.

#include "display/text_layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "display/font.h"
#include "display/font_fixture.h"
#include "model/consts.h"
#include "model/settings.h"

namespace {

constexpr double EPS = 1e-12;

// Advances in heights: 0.6 for most characters, i 0.2, W 1.0, ä 0.55, ü 0.45.
std::string layout_font_text() {
  return stroke_font_text({{'i', "0.2"}, {'W', "1.0"}, {0xE4, "0.55"}, {0xFC, "0.45"}}, "0.6");
}

class TextLayout : public FontTest {
 protected:
  void SetUp() override {
    FontTest::SetUp();
    saved_scale_ = drawing_scale;
    drawing_scale = 100;  // a 2.5 mm text is 0.25 m high
    write_font("Simpel", layout_font_text());
    font_ = &font_slots[font_find_or_load("Simpel")];
  }
  void TearDown() override {
    drawing_scale = saved_scale_;
    FontTest::TearDown();
  }
  const FontSlot* font_ = nullptr;

 private:
  double saved_scale_ = 0;
};

TEST_F(TextLayout, WidthOfTheWidestLineWithTrailingSpacing) {
  struct Case {
    const char* what;
    std::string text;
    double wf;
    double width;
  };
  // h = 0.25, spacing 0.1: every character adds 0.025 to h * wf * advance.
  const Case cases[] = {
      {"two letters", "AB", 1.0, 0.35},
      {"narrow and wide", "Wi", 1.0, 0.275 + 0.075},
      {"Latin-1 umlauts", "\xE4\xFC", 1.0, 0.1625 + 0.1375},
      {"widest of three lines", "AB\n\nWWW", 1.0, 0.825},
      {"a tab advances by the spacing", "A\tB", 1.0, 0.375},
      {"empty", "", 1.0, 0.0},
      {"width factor", "A", 2.0, 0.325},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (int alignment : {int{TEXT_LEFT}, int{TEXT_RIGHT}, int{TEXT_CENTRED}, 7})
      EXPECT_NEAR(font_text_width(2.5, c.wf, 0.1, "Simpel", c.text.c_str(), alignment, 9.0), c.width, EPS);
    EXPECT_DOUBLE_EQ(font_text_width(2.5, c.wf, 0.1, "Simpel", c.text.c_str(), TEXT_JUSTIFIED, 9.0), 9.0);
  }
}

TEST_F(TextLayout, WidthWithoutAnyFont) {
  font_slots_clear();
  std::filesystem::remove(fonts_ / "Simpel");
  testing::internal::CaptureStdout();
  EXPECT_EQ(font_text_width(2.5, 1.0, 0.1, "Simpel", "AB", TEXT_LEFT, 3.0), 0.0);
  EXPECT_EQ(font_text_width(2.5, 1.0, 0.1, "Simpel", "AB", TEXT_JUSTIFIED, 3.0), 3.0);
  testing::internal::GetCapturedStdout();
}

TEST_F(TextLayout, FourAlignments) {
  auto offsets = [&](const std::string& text, int alignment, double fit = 0.0) {
    std::vector<std::pair<char, double>> out;
    for (const TextPlacement& p : text_place(*font_, text, 0.25, 1.0, 0.1, fit, alignment))
      out.emplace_back(static_cast<char>(p.code), p.offset);
    return out;
  };
  auto expect = [](const std::vector<std::pair<char, double>>& got,
                   const std::vector<std::pair<char, double>>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].first, want[i].first) << i;
      EXPECT_NEAR(got[i].second, want[i].second, EPS) << i;
    }
  };
  // Advances: A 0.175, W 0.275, i 0.075; the line is 0.525 wide.
  expect(offsets("AWi", TEXT_LEFT), {{'A', 0.0}, {'W', 0.175}, {'i', 0.45}});
  // Right: drawn from the last character back; its spacing ends at the origin.
  expect(offsets("AWi", TEXT_RIGHT), {{'i', -0.075}, {'W', -0.35}, {'A', -0.525}});
  expect(offsets("AWi", TEXT_CENTRED), {{'A', -0.2625}, {'W', -0.0875}, {'i', 0.1875}});
  // Fitted to 2.0: the last character's advance without spacing ends there.
  expect(offsets("AWi", TEXT_JUSTIFIED, 2.0), {{'A', 0.0}, {'W', 0.975}, {'i', 1.95}});
  EXPECT_NEAR(1.95 + 0.25 * font_->advance['i'] / 100.0, 2.0, EPS);
  expect(offsets("W", TEXT_JUSTIFIED, 2.0), {{'W', 0.0}});
  expect(offsets("", TEXT_JUSTIFIED, 2.0), {});
  expect(offsets("AWi", 4), {});

  // Every line is aligned on its own; newlines are not placed.
  std::vector<TextPlacement> lines = text_place(*font_, "AW\n\ni", 0.25, 1.0, 0.1, 0.0, TEXT_RIGHT);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].line, 0);
  EXPECT_NEAR(lines[0].offset, -0.275, EPS);
  EXPECT_EQ(lines[2].line, 2);
  EXPECT_NEAR(lines[2].offset, -0.075, EPS);
}

TEST_F(TextLayout, FrameByAlignment) {
  struct Case {
    int alignment;
    double left, right, bottom;
  };
  // Three lines (two newlines) at (10, 20), h 0.25, line spacing 1.5.
  const Case cases[] = {
      {TEXT_LEFT, 10.0, 10.825, 19.25},
      {TEXT_RIGHT, 9.175, 10.0, 19.25},
      {TEXT_CENTRED, 9.5875, 10.4125, 19.25},
      {TEXT_JUSTIFIED, 10.0, 13.0, 20.0},  // one line high, as wide as the fit length
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.alignment);
    text_draw_layout_frame(10, 20, 0.0, 2.5, 1.0, 0.1, 1.5, "AB\n\nWWW", 3.0, "Simpel", c.alignment);
    const double want[4][2] = {{c.left, c.bottom}, {c.right, c.bottom}, {c.right, 20.25}, {c.left, 20.25}};
    for (int k = 0; k < 4; ++k) {
      EXPECT_NEAR(text_frame[k].x, want[k][0], 1e-9) << k;
      EXPECT_NEAR(text_frame[k].y, want[k][1], 1e-9) << k;
    }
  }

  // Turned by 90 degrees about the insertion point.
  text_draw_layout_frame(10, 20, std::numbers::pi / 2, 2.5, 1.0, 0.1, 1.5, "AB", 0.0, "Simpel", TEXT_LEFT);
  const double turned[4][2] = {{10, 20}, {10, 20.35}, {9.75, 20.35}, {9.75, 20}};
  for (int k = 0; k < 4; ++k) {
    EXPECT_NEAR(text_frame[k].x, turned[k][0], 1e-9) << k;
    EXPECT_NEAR(text_frame[k].y, turned[k][1], 1e-9) << k;
  }

  // Without a font the frame is the insertion point, not the last text's frame.
  font_slots_clear();
  std::filesystem::remove(fonts_ / "Simpel");
  testing::internal::CaptureStdout();
  text_draw_layout_frame(3, 4, 0.0, 2.5, 1.0, 0.1, 1.5, "AB", 0.0, "Simpel", TEXT_LEFT);
  testing::internal::GetCapturedStdout();
  for (const Point2& p : text_frame) {
    EXPECT_EQ(p.x, 3.0);
    EXPECT_EQ(p.y, 4.0);
  }
}

TEST(TextGeometry, LineOriginsAndRotation) {
  Point2 p = text_line_origin(1, 2, 0.0, 0.5, 2);
  EXPECT_DOUBLE_EQ(p.x, 1.0);
  EXPECT_DOUBLE_EQ(p.y, 1.0);
  p = text_line_origin(1, 2, std::numbers::pi / 2, 0.5, 2);  // lines go to the right of a text turned up
  EXPECT_NEAR(p.x, 2.0, EPS);
  EXPECT_NEAR(p.y, 2.0, EPS);

  p = text_draw_rotate_point(1, 1, 2, 1, 1.0, 0.0);
  EXPECT_DOUBLE_EQ(p.x, 1.0);
  EXPECT_DOUBLE_EQ(p.y, 2.0);
  p = text_draw_rotate_point(1, 1, 2, 1, 0.0, -1.0);  // a sine of exactly 0 leaves the point
  EXPECT_DOUBLE_EQ(p.x, 2.0);
  EXPECT_DOUBLE_EQ(p.y, 1.0);
}

// Records what a glyph draws.
struct Recorder : GlyphSink {
  std::vector<std::array<double, 4>> strokes;
  std::vector<std::array<double, 7>> arcs;
  std::vector<std::vector<Point2>> fills;
  void stroke(double x1, double y1, double x2, double y2) override { strokes.push_back({x1, y1, x2, y2}); }
  void arc(double cx, double cy, double rx, double ry, double sweep, double start, double rotation) override {
    arcs.push_back({cx, cy, rx, ry, sweep, start, rotation});
  }
  void fill(const Point2* points, int count) override { fills.emplace_back(points, points + count); }
};

FontSlot hand_font(std::vector<int16_t> words, uint8_t outline = 0) {
  FontSlot f;
  f.name = "hand";
  f.outline = outline;
  f.codes.push_back(GLYPH_END);  // every code but 'A' draws nothing
  for (int c = 32; c < 256; ++c) f.glyph[c] = 0;
  f.glyph['A'] = 1;
  f.codes.insert(f.codes.end(), words.begin(), words.end());
  return f;
}

// Placed at (5, 2), h 2, width factor 0.5: glyph (gx, gy) -> (5 + gx/1000, 2 + 2 gy/1000).
const GlyphPlace place{5, 2, 0.0, 2.0, 0.5, 0.0, 1.0, 5, 2};

TEST(GlyphInterpret, StrokesArcsCloseAndFill) {
  FontSlot f = hand_font({GLYPH_MOVE, 0,    0,           GLYPH_LINE, 1000,       0,   GLYPH_LINE,
                          1000,       1000, GLYPH_CLOSE, GLYPH_ARC,  500,        500, 250,
                          900,        3600, 99,          GLYPH_MOVE, 2000,       0,   GLYPH_FILL,
                          GLYPH_LINE, 2000, 500,         GLYPH_END,  GLYPH_LINE, 0,   0});
  Recorder r;
  glyph_interpret(f, 'A', place, false, r);
  ASSERT_EQ(r.strokes.size(), 4u);
  EXPECT_EQ(r.strokes[0], (std::array<double, 4>{5, 2, 6, 2}));
  EXPECT_EQ(r.strokes[1], (std::array<double, 4>{6, 2, 6, 4}));
  EXPECT_EQ(r.strokes[2], (std::array<double, 4>{6, 4, 5, 2}));  // close: back to the first point
  EXPECT_EQ(r.strokes[3], (std::array<double, 4>{7, 2, 7, 3}));  // after the fill, from the current point

  ASSERT_EQ(r.arcs.size(), 1u);
  const auto& a = r.arcs[0];
  EXPECT_DOUBLE_EQ(a[0], 5.5);
  EXPECT_DOUBLE_EQ(a[1], 3.0);
  EXPECT_DOUBLE_EQ(a[2], 0.25);  // the width factor narrows the arc
  EXPECT_DOUBLE_EQ(a[3], 0.5);
  EXPECT_DOUBLE_EQ(a[4], 2 * std::numbers::pi);
  EXPECT_DOUBLE_EQ(a[5], std::numbers::pi / 2);

  // The fill gets the contour with its end marker, then the buffer is empty;
  // the unknown word 99 was skipped by itself.
  ASSERT_EQ(r.fills.size(), 1u);
  const std::vector<Point2>& c = r.fills[0];
  ASSERT_EQ(c.size(), 5u);
  EXPECT_EQ(c[2].x, 6.0);
  EXPECT_EQ(c[2].y, 4.0);
  EXPECT_TRUE(point_is_contour_end(c[3].x, c[3].y));
  EXPECT_EQ(c[4].x, 7.0);
  EXPECT_EQ(glyph_contour.count(), 1);  // the last line's point
}

TEST(GlyphInterpret, CurveChordsOnScreenAndOnOtherOutput) {
  FontSlot f = hand_font({GLYPH_MOVE, 0, 0, GLYPH_CUBIC, 0, 1000, 1000, 1000, 1000, 0, GLYPH_QUAD, 1500, 500,
                          2000, 0, GLYPH_END});
  for (bool fine : {false, true}) {
    SCOPED_TRACE(fine);
    Recorder r;
    glyph_interpret(f, 'A', place, fine, r);
    std::size_t cubic = fine ? 12 : 6, quad = fine ? 6 : 3;
    ASSERT_EQ(r.strokes.size(), cubic + quad);
    EXPECT_EQ(r.strokes[cubic - 1][2], 6.0);  // the last chord ends on the end point
    EXPECT_EQ(r.strokes[cubic - 1][3], 2.0);
    EXPECT_NEAR(r.strokes[0][2],
                5 + 3 * (1.0 / cubic) * (1.0 / cubic) * (1 - 1.0 / cubic) + std::pow(1.0 / cubic, 3), 1e-12);
    EXPECT_EQ(r.strokes.back()[2], 7.0);
    EXPECT_EQ(r.strokes.back()[3], 2.0);
    EXPECT_EQ(glyph_contour.count(), static_cast<int>(1 + cubic + quad));
  }
}

TEST(GlyphInterpret, OutlineFontsSkipArcsAndDoNotStrokeCubics) {
  FontSlot f = hand_font(
      {GLYPH_MOVE, 0,    0, GLYPH_ARC,  0,    0,   100,  0, 3600,        GLYPH_CUBIC, 0,        1000, 1000,
       1000,       1000, 0, GLYPH_QUAD, 1500, 500, 2000, 0, GLYPH_CLOSE, GLYPH_FILL,  GLYPH_END},
      1);
  Recorder r;
  glyph_interpret(f, 'A', place, false, r);
  EXPECT_TRUE(r.arcs.empty());
  EXPECT_EQ(r.strokes.size(), 3u + 1u);  // the quadratic's chords and the close
  ASSERT_EQ(r.fills.size(), 1u);
  EXPECT_EQ(r.fills[0].size(), 1u + 6u + 3u + 1u);
}

TEST(GlyphInterpret, TurnedTextAndControlCodes) {
  FontSlot f = hand_font({GLYPH_MOVE, 0, 0, GLYPH_LINE, 0, 1000, GLYPH_END});
  GlyphPlace turned{6, 2, std::numbers::pi / 2, 2.0, 0.5, 1.0, 0.0, 5, 2};
  Recorder r;
  glyph_interpret(f, 'A', turned, false, r);
  ASSERT_EQ(r.strokes.size(), 1u);
  EXPECT_NEAR(r.strokes[0][0], 5.0, EPS);  // one unit along the baseline, turned about the line origin
  EXPECT_NEAR(r.strokes[0][1], 3.0, EPS);
  EXPECT_NEAR(r.strokes[0][2], 3.0, EPS);
  EXPECT_NEAR(r.strokes[0][3], 3.0, EPS);

  f.glyph[9] = f.glyph['A'];  // even a control code with commands draws nothing
  Recorder none;
  glyph_interpret(f, 9, place, false, none);
  EXPECT_TRUE(none.strokes.empty());
  EXPECT_EQ(glyph_contour.count(), 0);
}

TEST(GlyphInterpret, ContourBufferStopsWhenFull) {
  std::vector<int16_t> words = {GLYPH_MOVE, 0, 0};
  for (int i = 0; i < GLYPH_CONTOUR_MAX + 10; ++i)
    words.insert(words.end(), {GLYPH_LINE, int16_t(i % 1000), 0});
  words.insert(words.end(), {GLYPH_FILL, GLYPH_END});
  FontSlot f = hand_font(words, 1);
  Recorder r;
  glyph_interpret(f, 'A', place, false, r);
  ASSERT_EQ(r.fills.size(), 1u);
  EXPECT_EQ(r.fills[0].size(), static_cast<std::size_t>(GLYPH_CONTOUR_MAX));
  EXPECT_EQ(r.strokes.size(), static_cast<std::size_t>(GLYPH_CONTOUR_MAX + 10));
}

TEST_F(TextLayout, TracedLinesStepDownByTheLinePitch) {
  FontSlot f = hand_font({GLYPH_MOVE, 0, 0, GLYPH_LINE, 0, 1000, GLYPH_END});
  Recorder r;
  text_trace_glyphs(f, 1, 2, 0.0, 0.25, 1.0, 0.1, 2.0, "A\nxA", 0.0, TEXT_LEFT, false, r);
  ASSERT_EQ(r.strokes.size(), 2u);
  EXPECT_EQ(r.strokes[0], (std::array<double, 4>{1, 2, 1, 2.25}));
  EXPECT_NEAR(r.strokes[1][0], 1 + 0.025, EPS);  // after an 'x' without commands and advance 0
  EXPECT_NEAR(r.strokes[1][1], 1.5, EPS);
}

}  // namespace
