// The dialogs' preview drawings, drawn into off-screen views: what each
// scene hands to the drawers, that the pixels follow the parameters, and
// that a preview leaves the drawing, the main view and every borrowed
// global as they were.

#include "display/preview.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "display/draw.h"
#include "display/outdev.h"
#include "display_fixture.h"
#include "model/layers.h"
#include "model/presets.h"
#include "pixels.h"

namespace {

constexpr double PI = 3.141592653589793;

// The views whose changes were shown, in order.
std::vector<int>& presented_views() {
  static std::vector<int> v;
  return v;
}

class Preview : public DisplayTest {
 protected:
  static void store(int k, int size) { ASSERT_TRUE(view_offscreen(k, size, size)); }

  static uint32_t pen_pixel(int pen) {
    const PenDef& p = pens[pen];
    return view_rgb_pixel(p.r, p.g, p.b);
  }
  static uint32_t background() {
    const Rgb& c = display_colors.background;
    return view_rgb_pixel(c.r, c.g, c.b);
  }
  // The pixels of view k that differ from the background.
  static int drawn(int k) { return static_cast<int>(view_pixels(k).size()) - view_count(k, background()); }
};

TEST_F(Preview, FillingColoursTheWholeView) {
  store(PREVIEW_PATTERN, 150);
  pattern_preset.type = PATTERN_FILLING;
  pattern_preset.r = 1.0;
  pattern_preset.g = pattern_preset.b = 0.0;
  view_options.show_patterns = 0;
  preview_draw(PREVIEW_PATTERN);
  EXPECT_EQ(view_count(PREVIEW_PATTERN, 0xFF0000), 150 * 150);
  EXPECT_EQ(view_options.show_patterns, 0);
}

TEST_F(Preview, DoorWithoutStopHasStraightWallEnds) {
  store(PREVIEW_DOOR, 200);
  door_preset.stop_width = 0.0;
  preview_draw(PREVIEW_DOOR);
  // 2 m shown at 1:50 on 200 pixels of 1/30 cm: the window spans 3.333 m.
  EXPECT_NEAR(views[PREVIEW_DOOR].xmin, -2.0 / 3.0, 1e-9);
  EXPECT_NEAR(views[PREVIEW_DOOR].xmax, 8.0 / 3.0, 1e-9);
  // The wall ends run straight up at x 0.3 and 1.7 over the whole wall.
  const uint32_t wall = pen_pixel(2);
  std::vector<int> tall;
  for (int x = 0; x < 200; ++x) {
    int n = 0;
    for (int y = 0; y < 200; ++y) n += view_pixel(PREVIEW_DOOR, x, y) == wall;
    if (n >= 20) tall.push_back(x);
  }
  EXPECT_EQ(tall, (std::vector<int>{58, 142}));
}

TEST_F(Preview, StopsStepTheWallEndsOutwards) {
  const std::array<PreviewLine, 10> l = preview_wall_lines(PREVIEW_WINDOW);
  const double y1 = 0.4 + 0.115, y2 = y1 + 0.24;
  EXPECT_DOUBLE_EQ(l[3].x1, 0.3 - 0.0625);
  EXPECT_DOUBLE_EQ(l[3].y2, y2);
  EXPECT_DOUBLE_EQ(l[8].x1, 1.7 + 0.0625);
  EXPECT_DOUBLE_EQ(l[9].x2, 3.0);
  const OpeningSymbol s = preview_opening_symbol(PREVIEW_WINDOW);
  EXPECT_EQ(s.kind, OPENING_WINDOW);
  EXPECT_EQ(preview_opening_symbol(PREVIEW_DOOR).kind, OPENING_DOOR);
  EXPECT_EQ(preview_opening_symbol(PREVIEW_OPENING).kind, OPENING_PLAIN);
  EXPECT_DOUBLE_EQ(s.corner[2].y, y2);
  EXPECT_EQ(s.style, window_preset.symbol_variant);
}

TEST_F(Preview, ScenesTakeTheirStyleFromThePresets) {
  dim_preset.figure_size = 2.5;
  dim_preset.end_mark = DIM_MARK_ARROW;
  const DimElem d = preview_dimension(30.0);
  EXPECT_NEAR(d.figure_size, 8.333333333333334, 1e-12);
  EXPECT_EQ(d.end_mark, DIM_MARK_ARROW);
  EXPECT_EQ(d.pen, dim_preset.chain_pen);
  EXPECT_EQ(d.figure_pen, dim_preset.figure_pen);
  ASSERT_EQ(d.points.size(), 3u);
  EXPECT_DOUBLE_EQ(d.points[1].segment_length, 0.365);
  EXPECT_DOUBLE_EQ(d.points[2].line_point.x, 1.2);
  EXPECT_DOUBLE_EQ(d.points[2].measured.y, 0.2);
  EXPECT_DOUBLE_EQ(d.points[2].second_value, 1.26);

  text_preset.line_spacing = 2.0;
  text_preset.font = "Rund";
  const std::vector<OutdevText> lines = preview_text_lines(50.0);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_DOUBLE_EQ(lines[2].y, 5.5);
  EXPECT_DOUBLE_EQ(lines[0].height, 20.0);
  EXPECT_STREQ(lines[1].text, "ABCDEF");
  EXPECT_STREQ(lines[1].font, "Rund");
}

// Each preview draws something, and something else when one of its values
// changes.
TEST_F(Preview, PixelsFollowTheValues) {
  struct Case {
    int k;
    void (*change)();
  };
  const Case cases[] = {
      {PREVIEW_TEXT, [] { text_preset.width = 2.0; }},
      {PREVIEW_DIM, [] { dim_preset.end_mark = DIM_MARK_CIRCLE; }},
      {PREVIEW_PATTERN, [] { pattern_preset.angle1 = PI / 4; }},
      {PREVIEW_OPENING, [] { opening_preset.stop_depth = 0.3; }},
      {PREVIEW_WINDOW, [] { window_preset.symbol_variant = 4; }},
      {PREVIEW_DOOR, [] { door_preset.symbol_variant = 3; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.k);
    store(c.k, 150);
    preview_draw(c.k);
    const std::vector<uint32_t> before = view_pixels(c.k);
    EXPECT_GT(drawn(c.k), 50);
    c.change();
    preview_draw(c.k);
    EXPECT_NE(view_pixels(c.k), before);
    // Drawn again unchanged, a preview gives the same pixels.
    const std::vector<uint32_t> again = view_pixels(c.k);
    preview_draw(c.k);
    EXPECT_EQ(view_pixels(c.k), again);
  }
}

TEST_F(Preview, LeavesTheMainViewAndTheGlobalsAsTheyWere) {
  offscreen(300, 200);
  elem_new_line(0, 3, 0, -5, -5, 5, 5);
  elem_new_arc(0, 1, 0, 0, 0, 3, 3, 2 * PI, 0, 0);
  draw_all(DRAW_CLEAR);
  const std::vector<uint8_t> main_view = view_bytes(0);
  const ViewRec main_rec = views[0];
  for (int k = 1; k <= 7; ++k) store(k, 120);
  view_scale = 200.0;
  drawing_scale = 75.0;
  view_options.show_patterns = 0;
  view_dirty = DirtyRect{1, 2, 3, 4, true};
  display_hooks.present = [](int k, int, int, int, int) { presented_views().push_back(k); };
  presented_views().clear();
  RecordingOutdev rec;  // as while an exporter's slots are installed
  outdev.draw_mode = DRAWMODE_ERASE;
  const OutputDevice device = outdev;

  for (int k = 1; k <= 6; ++k) {
    pattern_preset.type = k % 4;
    preview_draw(k);
  }
  preview_draw_symbol([] { elem_new_line(0, 0, 0, 0, 0, 1, 1); });

  EXPECT_EQ(cur_view, 0);
  EXPECT_EQ(view_scale, 200.0);
  EXPECT_EQ(drawing_scale, 75.0);
  EXPECT_EQ(view_options.show_patterns, 0);
  EXPECT_TRUE(view_dirty.dirty && view_dirty.xmin == 1 && view_dirty.ymax == 4);
  EXPECT_EQ(outdev.draw_mode, DRAWMODE_ERASE);
  EXPECT_EQ(outdev.line, device.line);
  EXPECT_EQ(outdev.context.writer, device.context.writer);
  EXPECT_TRUE(rec.calls.empty()) << rec.slots();
  EXPECT_EQ(presented_views(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(view_bytes(0), main_view);
  EXPECT_EQ(views[0].xmin, main_rec.xmin);
  EXPECT_EQ(views[0].xscale, main_rec.xscale);
  EXPECT_EQ(elem_count(), 2);
}

TEST_F(Preview, WithoutAStoreNothingIsDrawn) {
  for (int k = 0; k <= 8; ++k) preview_draw(k);
  preview_draw_symbol([] { elem_new_line(0, 0, 0, 0, 0, 1, 1); });
  EXPECT_EQ(elem_count(), 0);
  EXPECT_EQ(cur_view, 0);
}

TEST_F(Preview, SymbolLeavesTheDrawingsElementsAlone) {
  store(PREVIEW_SYMBOL, 150);
  elem_new_line(4, 1, 2, 0, 0, 2, 0);
  ElemHeader* first = elem_list_tail;
  elem_new_line(5, 1, 2, 0, 0, 0, 3);
  ElemHeader* second = elem_list_tail;
  first->mark = second->mark = 1;
  drawing_modified = 0;
  group_counter = 7;
  cur_layer = 3;
  symbol_angle = PI / 2;
  const double scale = view_scale;

  preview_draw_symbol([] {
    elem_new_line(0, 0, 0, -1, 0, 1, 0);
    elem_list_tail->mark = 1;
    elem_new_arc(0, 2, 0, 0, 0, 0.5, 0.5, 2 * PI, 0, 0);
    ++group_counter;
  });

  ASSERT_EQ(elements(), (std::vector<ElemHeader*>{first, second}));
  EXPECT_EQ(first->mark, 1);
  EXPECT_EQ(second->mark, 1);
  EXPECT_EQ(first->layer, 4);
  EXPECT_EQ(second->layer, 5);
  const LineElem* line = elem_as<LineElem>(first);
  EXPECT_EQ(line->p2.x, 2.0);
  EXPECT_EQ(line->p2.y, 0.0);
  EXPECT_EQ(drawing_modified, 0);
  EXPECT_EQ(group_counter, 7);
  EXPECT_EQ(cur_layer, 3);
  EXPECT_EQ(view_scale, scale);
  // The turned symbol stands upright and fills 80 % of the view's height.
  int top = 150, bottom = -1;
  const uint32_t ink = pen_pixel(0);
  for (int y = 0; y < 150; ++y)
    for (int x = 0; x < 150; ++x)
      if (view_pixel(PREVIEW_SYMBOL, x, y) == ink) {
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
  EXPECT_NEAR(bottom - top, 120, 2);
}

TEST_F(Preview, EmptySymbolShowsOnlyTheInsertionPoint) {
  store(PREVIEW_SYMBOL, 150);
  preview_draw_symbol([] {});
  const ViewRec& v = views[PREVIEW_SYMBOL];
  EXPECT_TRUE(std::isfinite(v.xscale) && v.xscale > 0.0);
  EXPECT_NEAR(v.xmin + v.xmax, 0.0, 1e-12);
  // The square of +-0.1 m at 1:50: 12 pixels a side, drawn in pen 1.
  const int square = view_count(PREVIEW_SYMBOL, pen_pixel(1));
  EXPECT_GT(square, 30);
  EXPECT_EQ(drawn(PREVIEW_SYMBOL), square);
}

}  // namespace
