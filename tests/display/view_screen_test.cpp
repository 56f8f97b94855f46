// Views: scale and window, palette, clipping, the dirty rectangle and the
// pixel primitives on an image store.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "display/outdev_breakdown.h"
#include "display/outdev_screen.h"
#include "display/view.h"
#include "display_fixture.h"
#include "model/geom.h"
#include "pixels.h"

namespace {

using ViewScreen = DisplayTest;

constexpr uint32_t WHITE = 0xFFFFFF;

TEST_F(ViewScreen, ScaleSetsTheWindowFromPixelsAndKeepsTheCentre) {
  // 1:500, 10 cm per 300 px: one pixel is 1/6 m.
  offscreen(300, 150, 4.0, -2.0);
  const ViewRec& v = views[0];
  EXPECT_DOUBLE_EQ(v.xmax - v.xmin, 50.0);
  EXPECT_DOUBLE_EQ(v.ymax - v.ymin, 25.0);
  EXPECT_DOUBLE_EQ(v.xscale, 1.0 / 6.0);
  EXPECT_DOUBLE_EQ((v.xmin + v.xmax) / 2, 4.0);
  EXPECT_DOUBLE_EQ((v.ymin + v.ymax) / 2, -2.0);

  // A resize keeps centre and scale; only the extent changes.
  ASSERT_TRUE(view_offscreen(0, 600, 150));
  EXPECT_DOUBLE_EQ(v.xmax - v.xmin, 100.0);
  EXPECT_DOUBLE_EQ(v.xscale, 1.0 / 6.0);
  EXPECT_DOUBLE_EQ((v.xmin + v.xmax) / 2, 4.0);

  // Another calibration changes what a pixel covers.
  screen_aspect = {20.0, 10.0};
  view_apply_scale(0);
  EXPECT_DOUBLE_EQ(v.xscale, 1.0 / 3.0);
  EXPECT_DOUBLE_EQ(v.yscale, 1.0 / 6.0);
}

TEST_F(ViewScreen, ViewWithoutPixelsKeepsItsWindowAndDrawsNothing) {
  views[0].xmin = 1;
  views[0].xmax = 3;
  view_apply_scale(0);  // no pixel box: nothing to divide by
  EXPECT_EQ(views[0].xmin, 1);
  EXPECT_EQ(views[0].xmax, 3);
  EXPECT_EQ(views[0].xscale, 0);

  view_clear();
  view_draw_pen_line(3, PAL_PEN_0, 0, 0, 10, 10);
  view_xor_line_px(0, 0, 10, 10);
  outdev_screen_line(0, 1, -5, -5, 5, 5);
  outdev_screen_bezier(0, 0, 0, 0, 1, 1, 2, 1, 3, 0);
  EXPECT_FALSE(view_dirty.dirty);
  EXPECT_EQ(view_surface(0), nullptr);
  EXPECT_FALSE(view_offscreen(0, 0, 10));
  EXPECT_FALSE(view_offscreen(0, 40000, 10));
}

TEST_F(ViewScreen, PaletteFromDisplayColoursAndPens) {
  offscreen(20, 20);
  const uint32_t* pal = view_palettes[0];
  EXPECT_EQ(pal[PAL_BACKGROUND], 0x8C99A6u);  // 140, 153, 166
  EXPECT_EQ(pal[PAL_SELECTED], WHITE);
  EXPECT_EQ(pal[PAL_GUIDE], 0xFF00FFu);
  EXPECT_EQ(pal[PAL_PEN_0 + 3], view_rgb_pixel(0.06, 0.06, 0.8));
  EXPECT_EQ(pal[PAL_DIMMED_PEN_0 + 3], 0x5A62B5u);  // 90, 98, 181
  EXPECT_DOUBLE_EQ(palette_rgb[PAL_DIMMED_PEN_0].r, 3 * 0.55 / 5);

  // The store starts white; clearing paints the background.
  EXPECT_EQ(view_pixel(0, 5, 5), WHITE);
  view_clear();
  EXPECT_EQ(view_pixel(0, 5, 5), pal[PAL_BACKGROUND]);
}

TEST_F(ViewScreen, AllBlackDrawsEveryPenAsTheFirst) {
  offscreen(20, 20);
  view_options.all_black = 1;
  view_draw_pen_line(0, PAL_PEN_0 + 4, 1, 1, 10, 1);
  view_draw_pen_line(0, PAL_DIMMED_PEN_0 + 4, 1, 3, 10, 3);
  view_draw_pen_line(0, PAL_GUIDE, 1, 5, 10, 5);
  EXPECT_EQ(view_pixel(0, 5, 1), view_palettes[0][PAL_PEN_0]);
  EXPECT_EQ(view_pixel(0, 5, 3), view_palettes[0][PAL_DIMMED_PEN_0]);
  EXPECT_EQ(view_pixel(0, 5, 5), view_palettes[0][PAL_GUIDE]);
}

TEST_F(ViewScreen, ClippingAgainstTheWorldWindow) {
  views[0] = ViewRec{0, 0, 200, 200, 0.0, 0.0, 2.0, 2.0, 0.01, 0.01};
  struct Case {
    const char* what;
    double x1, y1, x2, y2;
    int visible;
    double cx1, cy1, cx2, cy2;
  };
  const Case cases[] = {
      {"diagonal through the window", -5, -5, 5, 5, 1, 0, 0, 2, 2},
      {"wholly left", -3, 0.5, -1, 1.5, 0, 0, 0, 0, 0},
      {"wholly above", 0.5, 3, 1.5, 4, 0, 0, 0, 0, 0},
      {"inside", 0.5, 0.5, 1.5, 1, 1, 0.5, 0.5, 1.5, 1},
      {"vertical across", 1, -1, 1, 3, 1, 1, 0, 1, 2},
      {"horizontal across, right to left", 3, 1, -1, 1, 1, 2, 1, 0, 1},
      {"corner to corner outside, missing", -1, 1.5, 0.5, 3, 0, 0, 0, 0, 0},
      {"nearly horizontal above the top", -1, 2.000001, 3, 2.000002, 0, 0, 0, 0, 0},
      {"nearly horizontal crossing the top", -1, 1.999999, 3, 2.000001, 1, -1, 1.999999, 1.0, 2.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(view_clip_line(c.x1, c.y1, c.x2, c.y2), c.visible);
    if (!c.visible) continue;
    if (std::string(c.what).find("nearly") != std::string::npos) {
      EXPECT_NEAR(clip_result.x1, 0.0, 1e-9);
      EXPECT_NEAR(clip_result.x2, 1.0, 1e-6);
      continue;
    }
    EXPECT_NEAR(clip_result.x1, c.cx1, 1e-12);
    EXPECT_NEAR(clip_result.y1, c.cy1, 1e-12);
    EXPECT_NEAR(clip_result.x2, c.cx2, 1e-12);
    EXPECT_NEAR(clip_result.y2, c.cy2, 1e-12);
  }
  view_clip_line(-5, -5, 5, 5);
  EXPECT_EQ(clip_result.sx1, 0);
  EXPECT_EQ(clip_result.sy1, 200);
  EXPECT_EQ(clip_result.sx2, 200);
  EXPECT_EQ(clip_result.sy2, 0);

  EXPECT_EQ(view_clip_outcode(-1, 3), 1 + 8);
  EXPECT_EQ(view_clip_outcode(3, -1), 2 + 4);
  EXPECT_EQ(view_clip_outcode(1, 1), 0);
  EXPECT_EQ(view_clip_line(0, 0, std::nan(""), 1), 0);
}

TEST_F(ViewScreen, InvertedFiguresDrawnTwiceLeaveTheStoreAsItWas) {
  offscreen(64, 48);
  view_clear();
  view_draw_pen_line(0, PAL_PEN_0 + 1, 5, 40, 60, 2);  // something under the figures
  view_flush_dirty();
  const std::vector<uint8_t> before = view_bytes(0);

  struct Figure {
    const char* what;
    bool rect;
    double x1, y1, x2, y2;
  };
  const Figure figures[] = {
      {"diagonal", false, 3, 4, 50, 41},          {"steep", false, 10, 1, 13, 47},
      {"partly outside", false, -20, 10, 90, 30}, {"one pixel", false, 7, 7, 7, 7},
      {"rectangle", true, 50, 40, 4, 5},          {"rectangle off the edge", true, -10, -10, 30, 30},
  };
  auto draw = [](const Figure& f) {
    if (f.rect)
      view_xor_rect_px(f.x1, f.y1, f.x2, f.y2);
    else
      view_xor_line_px(f.x1, f.y1, f.x2, f.y2);
  };
  for (const Figure& f : figures) {
    SCOPED_TRACE(f.what);
    draw(f);
    EXPECT_NE(view_bytes(0), before);
    draw(f);
    EXPECT_EQ(view_bytes(0), before);
  }
  // An inverted pixel is the complement of what was there.
  view_xor_line_px(20, 20, 20, 20);
  EXPECT_EQ(view_pixel(0, 20, 20), 0xFFFFFFu - view_palettes[0][PAL_BACKGROUND]);
  view_xor_line_px(20, 20, 20, 20);
  EXPECT_FALSE(view_dirty.dirty);  // rubber bands leave the rectangle alone

  // Over a wide pen line the pixels come back as well.
  view_draw_pen_line(5, PAL_PEN_0 + 2, 2, 2, 60, 45);
  const std::vector<uint32_t> pixels = view_pixels(0);
  for (const Figure& f : figures) draw(f);
  for (const Figure& f : figures) draw(f);
  EXPECT_EQ(view_pixels(0), pixels);
}

TEST_F(ViewScreen, WorldRubberBandsInvertAndRestore) {
  offscreen(100, 100);
  view_clear();
  const std::vector<uint8_t> before = view_bytes(0);
  draw_xor_line(-20, -20, 30, 5);
  draw_xor_rect(-5, -5, 5, 3);
  EXPECT_NE(view_bytes(0), before);
  draw_xor_rect(-5, -5, 5, 3);
  draw_xor_line(-20, -20, 30, 5);
  EXPECT_EQ(view_bytes(0), before);
}

// The rows a horizontal line of a pen width covers in one column.
TEST_F(ViewScreen, PenWidthLinesCoverTheirWidth) {
  struct Case {
    uint8_t width;
    std::vector<int> rows;
  };
  const Case cases[] = {{0, {20}},
                        {1, {20}},
                        {2, {19, 20}},
                        {3, {19, 20, 21}},
                        {4, {18, 19, 20, 21}},
                        {5, {18, 19, 20, 21, 22}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.width));
    offscreen(60, 40);
    view_clear();
    const uint32_t ink = view_palettes[0][PAL_PEN_0];
    view_draw_pen_line(c.width, PAL_PEN_0, 10, 20, 40, 20);
    std::vector<int> rows;
    for (int y = 0; y < 40; ++y)
      if (view_pixel(0, 25, y) == ink) rows.push_back(y);
    EXPECT_EQ(rows, c.rows);
  }
  // A one-pixel line covers both end pixels and nothing beyond.
  offscreen(60, 40);
  view_clear();
  view_draw_pen_line(0, PAL_PEN_0, 10, 5, 40, 5);
  EXPECT_EQ(view_count(0, view_palettes[0][PAL_PEN_0]), 31);
  EXPECT_EQ(view_pixel(0, 10, 5), view_palettes[0][PAL_PEN_0]);
  EXPECT_EQ(view_pixel(0, 40, 5), view_palettes[0][PAL_PEN_0]);
  // Negative positions truncate toward zero, and pixels off the store are skipped.
  view_draw_pen_line(0, PAL_PEN_0, -1.7, 30, 8.9, 30);
  EXPECT_EQ(view_count(0, view_palettes[0][PAL_PEN_0]),
            31 + 9);  // pixels -1 .. 8, of which 0 .. 8 on the store
  view_draw_pen_line(0, PAL_PEN_0, -1.7, 35, -50, 35);
  EXPECT_EQ(view_count(0, view_palettes[0][PAL_PEN_0]),
            31 + 9);  // pixels -1 .. 8, of which 0 .. 8 on the store
}

TEST_F(ViewScreen, DrawingTheSameLineInTheBackgroundErasesIt) {
  offscreen(80, 60);
  view_clear();
  const std::vector<uint32_t> before = view_pixels(0);
  for (uint8_t width : {0, 4}) {
    view_draw_pen_line(width, PAL_PEN_0 + 2, 3, 57, 71, 9);
    EXPECT_NE(view_pixels(0), before);
    view_draw_pen_line(width, PAL_BACKGROUND, 3, 57, 71, 9);
    EXPECT_EQ(view_pixels(0), before);
  }
  view_draw_rgb_line(0.25, 0.5, 1.0, 0, 0, 79, 59);
  EXPECT_EQ(view_pixel(0, 40, 30), view_rgb_pixel(0.25, 0.5, 1.0));
}

TEST_F(ViewScreen, DirtyRectangleGrowsAndIsPresentedClipped) {
  offscreen(100, 80);
  std::vector<std::vector<int>> shown;
  static std::vector<std::vector<int>>* out;
  out = &shown;
  display_hooks.present = [](int k, int x, int y, int w, int h) { out->push_back({k, x, y, w, h}); };

  view_add_dirty(-30, 5, -1, 9);   // wholly left of the store
  view_add_dirty(10, 90, 20, 95);  // wholly below
  EXPECT_FALSE(view_dirty.dirty);
  view_flush_dirty();
  EXPECT_TRUE(shown.empty());

  view_draw_pen_line(2, PAL_PEN_0, 10, 10, 30, 20);  // grows by width + 1
  EXPECT_TRUE(view_dirty.dirty);
  EXPECT_EQ(view_dirty.xmin, 7);
  EXPECT_EQ(view_dirty.ymax, 23);
  view_add_dirty(-5, 50, 200, 60);
  view_flush_dirty();
  EXPECT_FALSE(view_dirty.dirty);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], (std::vector<int>{0, 0, 7, 100, 53}));

  // Rubber bands show their own box at once.
  view_xor_line_px(10, 10, 20, 30);
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[1], (std::vector<int>{0, 8, 8, 14, 24}));
  EXPECT_FALSE(view_dirty.dirty);
}

TEST_F(ViewScreen, RectangleLinesGoThroughTheScreenLineInOrder) {
  RecordingOutdev rec;
  outdev.line = outdev_screen_line;  // the recorder must not see them
  offscreen(100, 100);
  view_clear();
  draw_rect_lines(0, 0, -2, -2, 2, 2);
  const uint32_t ink = view_palettes[0][PAL_PEN_0];
  const int x1 = view_wx_to_sx(-2), x2 = view_wx_to_sx(2), y1 = view_wy_to_sy(-2), y2 = view_wy_to_sy(2);
  for (int x : {x1, x2})
    for (int y : {y1, y2}) EXPECT_EQ(view_pixel(0, x, y), ink);
  EXPECT_EQ(view_count(0, ink), 4 * (x2 - x1));
  EXPECT_TRUE(rec.calls.empty());
}

}  // namespace
