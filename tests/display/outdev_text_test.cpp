// The screen text slot: frames for texts too small to read, glyphs through
// the line, arc and fill slots, outline fonts traced on the screen only.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "display/font.h"
#include "display/outdev_breakdown.h"
#include "display/text_draw.h"
#include "display/text_layout.h"
#include "display_fixture.h"
#include "font_fixture.h"
#include "model/geom.h"
#include "pixels.h"

namespace {

class TextSlot : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    char pattern[] = "/tmp/kavro-text-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    std::filesystem::create_directories(root_ / "fonts");
    std::filesystem::create_directories(root_ / "base" / "ttf");
    saved_base_ = base_dir.c_str();
    font_stroke_dir = (root_ / "fonts").string();
    base_dir = (root_ / "base").string();
    // A: a stroke and a circle; F: a filled square. Coordinates in tenths of the height.
    std::ofstream(root_ / "fonts" / "Simpel") << stroke_font_text(
        {{'A', "0.6 1 0 0 2 6 10 3 3 5 2 0 360"}, {'F', "0.6 1 0 0 2 5 0 2 5 5 2 0 5 6 5"}});
    std::filesystem::copy_file("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
                               root_ / "base" / "ttf" / "DejaVuSans.ttf");
    view_scale = 50;  // 1/60 m per pixel: a 2.5 mm text at 1:100 is 15 pixels high
    offscreen(300, 200);
    view_clear();
  }
  void TearDown() override {
    base_dir = saved_base_;
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
    DisplayTest::TearDown();
  }

  static void text(const char* t, double height, const char* font = "Simpel", uint8_t pen = 2) {
    outdev.text(OutdevText{.pen = pen,
                           .lt = 1,
                           .x = 1.0,
                           .y = 0.5,
                           .height = height,
                           .width_factor = 1.0,
                           .spacing = 0.1,
                           .line_spacing = 1.5,
                           .text = t,
                           .font = font});
  }

  std::filesystem::path root_;
  std::string saved_base_;
};

TEST_F(TextSlot, TinyTextsShowTheirFrameOnTheScreenOnly) {
  view_options.show_guide_points = 0;
  RecordingOutdev rec;
  outdev.text = outdev_screen_text;
  text("AF", 0.6);  // 0.06 m = 3.6 px
  ASSERT_EQ(rec.slots(), "line line line line");
  text_draw_layout_frame(1.0, 0.5, 0.0, 0.6, 1.0, 0.1, 1.5, "AF", 0.0, "Simpel", TEXT_LEFT);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(rec.calls[i].v[0], text_frame[i].x);
    EXPECT_EQ(rec.calls[i].v[3], text_frame[(i + 1) % 4].y);
    EXPECT_EQ(rec.calls[i].pen, 2);
    EXPECT_EQ(rec.calls[i].lt, 1);
  }
  // Printed or exported, the same text is stroked.
  rec.calls.clear();
  outdev.active = 1;
  text("AF", 0.6);
  EXPECT_EQ(rec.slots(), "line arc line line line line fill");
}

TEST_F(TextSlot, GlyphsGoThroughTheLineArcAndFillSlots) {
  RecordingOutdev rec;
  outdev.text = outdev_screen_text;
  view_options.show_guide_points = 1;
  text("AF", 2.5);
  // The marker at the insertion point, then A's stroke and circle, F's sides and fill.
  ASSERT_EQ(rec.slots(), "line line line arc line line line line fill");
  EXPECT_EQ(rec.calls[0].pen, PEN_GUIDE);
  const double h = 0.25;
  const SlotCall& stroke = rec.calls[2];
  EXPECT_DOUBLE_EQ(stroke.v[0], 1.0);
  EXPECT_DOUBLE_EQ(stroke.v[3], 0.5 + h);
  const SlotCall& circle = rec.calls[3];
  EXPECT_DOUBLE_EQ(circle.v[0], 1.0 + 0.3 * h);
  EXPECT_DOUBLE_EQ(circle.v[2], 0.2 * h);
  EXPECT_DOUBLE_EQ(circle.v[4], GEOM_TWO_PI);
  // F starts one advance (0.6 h + 0.1 h spacing) further.
  EXPECT_DOUBLE_EQ(rec.calls[4].v[0], 1.0 + 0.7 * h);
  const SlotCall& fill = rec.calls[8];
  EXPECT_DOUBLE_EQ(fill.v[0], pens[2].r);
  EXPECT_DOUBLE_EQ(fill.v[3], 5);  // four corners and the contour's end

  // "Show guide points" is off while the glyphs draw (no centre mark for the
  // circle) and on again afterwards.
  EXPECT_EQ(view_options.show_guide_points, 1);
  rec.calls.clear();
  outdev.arc = outdev_screen_arc;
  text("A", 2.5);
  int guide = 0;
  for (const SlotCall& c : rec.of("line")) guide += c.pen == PEN_GUIDE;
  EXPECT_EQ(guide, 2);

  // All black fills black.
  rec.calls.clear();
  view_options.all_black = 1;
  text("F", 2.5);
  EXPECT_EQ(rec.of("fill").at(0).v[0], 0.0);
}

TEST_F(TextSlot, MissingFontDrawsNothing) {
  std::filesystem::remove(root_ / "fonts" / "Simpel");
  RecordingOutdev rec;
  outdev.text = outdev_screen_text;
  testing::internal::CaptureStdout();
  text("AF", 2.5, "Nowhere");
  testing::internal::GetCapturedStdout();
  EXPECT_TRUE(rec.calls.empty());
}

TEST_F(TextSlot, OutlineFontsTraceOnTheScreenAndSendOnlyFillsElsewhere) {
  RecordingOutdev rec;
  outdev.text = outdev_screen_text;
  view_options.show_guide_points = 0;
  const std::vector<uint32_t> before = view_pixels(0);
  text("o", 2.5, "DejaVuSans.ttf");
  EXPECT_TRUE(rec.of("line").empty());
  EXPECT_FALSE(rec.of("fill").empty());
  EXPECT_NE(view_pixels(0), before);  // the outline, traced in the pen's colour
  EXPECT_GT(view_count(0, view_palettes[0][PAL_PEN_0 + 2]), 10);

  rec.calls.clear();
  view_clear();
  outdev.active = 1;
  const std::vector<uint32_t> cleared = view_pixels(0);
  text("o", 2.5, "DejaVuSans.ttf");
  EXPECT_TRUE(rec.of("line").empty());
  EXPECT_EQ(rec.of("fill").size(), rec.calls.size());
  EXPECT_EQ(view_pixels(0), cleared);
}

TEST_F(TextSlot, InvertedFrameRestoresThePixels) {
  const std::vector<uint8_t> before = view_bytes(0);
  text_draw_xor_frame(0, 0, 0.4, 2.5, 1.0, 0.1, 1.5, "AF\nFA", 0.0, "Simpel", TEXT_CENTRED);
  EXPECT_NE(view_bytes(0), before);
  text_draw_xor_frame(0, 0, 0.4, 2.5, 1.0, 0.1, 1.5, "AF\nFA", 0.0, "Simpel", TEXT_CENTRED);
  EXPECT_EQ(view_bytes(0), before);
}

}  // namespace
