// What the screen's drawing leaves out changes no pixel: texts too far off
// the view to reach into it are not laid out, and a curve whose every chord
// falls into one pixel inside the view is drawn as that pixel. Each case is
// drawn both ways, the second as the full break-down draws it, on a clean
// view, and the views must be the same byte for byte.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "display/outdev_breakdown.h"
#include "display/outdev_screen.h"
#include "display/text_draw.h"
#include "display/text_layout.h"
#include "display_fixture.h"
#include "model/geom.h"
#include "pixels.h"

namespace {

constexpr double PI = 3.141592653589793;

class DrawSkipsTest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    view_scale = 200;
    offscreen(240, 160, 0, 0);
  }

  std::mt19937 rng{9};
  double uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); }
  int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

  // The view after drawing with draw, from a clean view.
  template <class Draw>
  static std::vector<uint8_t> drawn(Draw draw) {
    view_clear();
    draw();
    return view_bytes(0);
  }

  // Some pens wide, some line types dashed, guide points shown or not.
  void vary_the_pens() {
    view_options.exact_line_thickness = pick(0, 1);
    view_options.show_guide_points = pick(0, 1);
    for (int p = 0; p < PEN_COUNT; ++p) pens[p].width = uniform(0.1, 2.0);
  }
};

// A text the old way: laid out and drawn whatever its place.
void text_in_full(const OutdevText& t) {
  const uint8_t slot = font_find_or_load(t.font);
  if (slot == FONT_NONE) return;
  if (view_options.show_guide_points) draw_point_marker_small(t.x, t.y);
  GuidePointsOff guide_off;
  const double h = text_world_height(t.height);
  if (view_len_to_px(h) <= 4) {
    text_draw_layout_frame(t.x, t.y, t.angle, t.height, t.width_factor, t.spacing, t.line_spacing, t.text,
                           t.fit_length, t.font, t.alignment);
    text_draw_frame(t.pen, t.lt);
    return;
  }
  const double s = std::sin(t.angle), c = std::cos(t.angle);
  for (const TextPlacement& tp : text_place(font_slots[slot], t.text ? t.text : "", h, t.width_factor,
                                            t.spacing, t.fit_length, t.alignment)) {
    const Point2 o = text_line_origin(t.x, t.y, t.angle, h * t.line_spacing, tp.line);
    text_draw_glyph(t.pen, t.lt, slot, o.x + tp.offset, o.y, t.angle, tp.code, h, t.width_factor, s, c, o.x,
                    o.y);
  }
}

TEST_F(DrawSkipsTest, TextsNearAndFarOffTheViewShowAsLaidOut) {
  const ViewRec& v = views[0];
  const char* fonts[] = {"Simpel", "Rund", "Freihand", "SimpelProp"};
  const char* words[] = {"Wall", "gjpqy", "Room 12\nKitchen", "AVAVAVAV", "W", "\xC4\xD6\xDC", "a\n\nb"};
  int drawn_somewhere = 0, left_out = 0;
  for (int i = 0; i < 600; ++i) {
    SCOPED_TRACE(i);
    vary_the_pens();
    OutdevText t;
    t.pen = static_cast<uint8_t>(pick(0, 7));
    t.lt = static_cast<uint8_t>(pick(0, 3));
    t.angle = pick(0, 3) ? uniform(-PI, PI) : 0.0;
    t.height = pick(0, 4) ? uniform(1.0, 30.0) : uniform(0.05, 1.0);  // some of them a frame only
    t.width_factor = uniform(0.3, 3.0) * (pick(0, 9) ? 1 : -1);
    t.spacing = uniform(-0.3, 0.6);
    t.line_spacing = uniform(0.5, 2.5);
    t.alignment = static_cast<uint8_t>(pick(TEXT_LEFT, TEXT_JUSTIFIED));
    t.fit_length = t.alignment == TEXT_JUSTIFIED ? uniform(0.5, 40.0) : 0.0;
    t.font = fonts[pick(0, 3)];
    t.text = words[pick(0, 6)];
    const double w = v.xmax - v.xmin, h = v.ymax - v.ymin;
    if (i % 2) {
      // Around the view, up to twice the text's size off it.
      const double size = text_world_height(t.height) * 8.0 * std::fabs(t.width_factor) + t.fit_length;
      t.x = pick(0, 1) ? uniform(v.xmin - 2 * size, v.xmin + w / 2)
                       : uniform(v.xmax - w / 2, v.xmax + 2 * size);
      t.y = pick(0, 1) ? uniform(v.ymin - 2 * size, v.ymin + h / 2)
                       : uniform(v.ymax - h / 2, v.ymax + 2 * size);
    } else {
      // Outside one side, the near edge of its frame a few pixels from the view.
      text_draw_layout_frame(0, 0, t.angle, t.height, t.width_factor, t.spacing, t.line_spacing, t.text,
                             t.fit_length, t.font, t.alignment);
      double x0 = text_frame[0].x, x1 = x0, y0 = text_frame[0].y, y1 = y0;
      for (const Point2& p : text_frame) {
        x0 = std::min(x0, p.x), x1 = std::max(x1, p.x);
        y0 = std::min(y0, p.y), y1 = std::max(y1, p.y);
      }
      const double d = uniform(-3, 3) * v.xscale;
      t.x = uniform(v.xmin, v.xmax);
      t.y = uniform(v.ymin, v.ymax);
      switch (pick(0, 3)) {
        case 0:
          t.x = v.xmin + d - x1;
          break;
        case 1:
          t.x = v.xmax + d - x0;
          break;
        case 2:
          t.y = v.ymin + d - y1;
          break;
        default:
          t.y = v.ymax + d - y0;
          break;
      }
    }
    const std::vector<uint8_t> full = drawn([&] { text_in_full(t); });
    const std::vector<uint8_t> clean = drawn([] {});
    (full == clean ? left_out : drawn_somewhere)++;
    EXPECT_TRUE(drawn([&] { outdev_screen_text(t); }) == full);
  }
  // Both kinds came up often.
  EXPECT_GT(drawn_somewhere, 100);
  EXPECT_GT(left_out, 100);
}

TEST_F(DrawSkipsTest, TinyCurvesShowAsTheirChordsDo) {
  const ViewRec& v = views[0];
  const double px = v.xscale;
  for (int i = 0; i < 2000; ++i) {
    SCOPED_TRACE(i);
    vary_the_pens();
    const uint8_t pen = static_cast<uint8_t>(pick(0, 7)), lt = static_cast<uint8_t>(pick(0, 3));
    // Within a pixel or two, some on the view's border.
    const double x = pick(0, 9) ? uniform(v.xmin, v.xmax) : v.xmin + uniform(-px, px);
    const double y = pick(0, 9) ? uniform(v.ymin, v.ymax) : v.ymax + uniform(-px, px);
    const double rx = uniform(0, 1.5) * px, ry = pick(0, 1) ? rx : uniform(0, 1.5) * px;
    const double start = uniform(-PI, PI), sweep = pick(0, 1) ? 2 * PI : uniform(0.01, 2 * PI);
    const double rotation = uniform(-PI, PI);
    const std::vector<uint8_t> chords = drawn([&] {
      if (outdev_arc_outside_view(x, y, rx, ry)) return;
      const int n = outdev_arc_chord_count(rx, ry, sweep);
      EllipseWalk walk(x, y, rx, ry, start, sweep / n, rotation);
      Point2 prev = walk.point();
      for (int k = 0; k < n; ++k) {
        walk.next();
        const Point2 p = walk.point();
        outdev_screen_line(pen, lt, prev.x, prev.y, p.x, p.y);
        prev = p;
      }
      if (view_options.show_guide_points) draw_point_marker_small(x, y);
    });
    EXPECT_TRUE(drawn([&] { outdev_screen_arc(pen, lt, x, y, rx, ry, sweep, start, rotation); }) == chords);

    Point2 c[4];
    for (Point2& p : c) p = {x + uniform(-1, 1) * px, y + uniform(-1, 1) * px, 0};
    const std::vector<uint8_t> bezier = drawn([&] {
      const double k = outdev_bezier_k(c[0].x, c[0].y, c[1].x, c[1].y, c[2].x, c[2].y, c[3].x, c[3].y, 120.0);
      Point2 prev = c[0];
      for (int j = 1; j < k; ++j) {
        const Point2 p =
            outdev_bezier_point(j / k, c[0].x, c[0].y, c[1].x, c[1].y, c[2].x, c[2].y, c[3].x, c[3].y);
        outdev_screen_line(pen, lt, prev.x, prev.y, p.x, p.y);
        prev = p;
      }
      outdev_screen_line(pen, lt, prev.x, prev.y, c[3].x, c[3].y);
      if (view_options.show_guide_points) {
        draw_point_marker_small(c[1].x, c[1].y);
        draw_point_marker_small(c[2].x, c[2].y);
      }
    });
    EXPECT_TRUE(drawn([&] {
                  outdev_screen_bezier(pen, lt, c[0].x, c[0].y, c[1].x, c[1].y, c[2].x, c[2].y, c[3].x,
                                       c[3].y);
                }) == bezier);
  }
}

}  // namespace
