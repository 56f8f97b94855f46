// Drawing on several threads leaves every pixel as drawing on one does:
// the same drawing is drawn both ways, cut into pieces of a few elements so
// that overlapping elements of different colours fall into different pieces
// and bands, and the stores are compared byte for byte.

#include "display/draw_parallel.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>
#include <vector>

#include "display/draw.h"
#include "display/font.h"
#include "display/view.h"
#include "display/view_commands.h"
#include "display_fixture.h"
#include "model/camera.h"
#include "model/elem.h"
#include "model/layers.h"
#include "model/settings.h"
#include "pixels.h"
#include "support/render_fixture.h"

namespace {

class DrawParallel : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    draw_refresh_now = 1;
    draw_parallel_piece_elements = 3;
  }

  // The whole view drawn again as a redraw does, on one thread or on many.
  static std::vector<uint32_t> redrawn(bool parallel, bool fresh_fonts) {
    draw_parallel_min_elements = parallel ? 1 : INT_MAX;
    if (fresh_fonts) font_slots_clear();
    draw_all(DRAW_CLEAR);
    return view_pixels(0);
  }

  // Whether the many-thread drawing takes this drawing at all: the lists in
  // one, drawn on a cleared view.
  static bool taken_in_parallel() {
    std::vector<ElemHeader*> all;
    for (ElemHeader* e = elem_list_head; e; e = e->next) all.push_back(e);
    draw_parallel_min_elements = 1;
    view_clear();
    draw_refresh_now = 0;
    const bool taken = draw_in_parallel(DRAW_NORMAL, {ElemSpan{all.data(), all.size()}});
    draw_refresh_now = 1;
    return taken;
  }

  static int non_background(const std::vector<uint32_t>& pixels) {
    int n = 0;
    for (uint32_t p : pixels) n += p != view_palettes[0][PAL_BACKGROUND];
    return n;
  }
};

// Lines, arcs, fillings and large texts of every pen, crossing each other
// and the bands of the view, dots of another pen on line ends, texts in a
// font that has to be loaded first and in one that does not exist.
void overlapping_sheet() {
  elem_new_camera(0, 2, 0, 1, 1, 1.6, 12, 8, 1.6, 50, 0);
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> u(0.0, 1.0);
  for (int i = 0; i < 150; ++i) {
    const double x = -2 + 24 * u(rng), y = -2 + 16 * u(rng);
    const double ex = x + 12 * (u(rng) - 0.5), ey = y + 12 * (u(rng) - 0.5);
    elem_new_line(i % 3, i % 8, i % 4 == 0 ? 1 : 0, x, y, ex, ey);
    // A circle far smaller than a pixel is one dot, here on the line's end.
    if (i % 2) elem_new_arc(i % 3, (i + 1) % 8, 0, ex, ey, 0.001, 0.001, 6.3, 0, 0);
    if (i % 5 == 0) elem_new_arc(i % 3, (i + 3) % 8, 0, x, y, 1 + u(rng), 0.5 + u(rng), 6.0, u(rng), u(rng));
    if (i % 7 == 0) {
      Point2 p[5] = {{x, y, 0}, {x + 3, y, 0}, {x + 3, y + 2, 0}, {x, y + 2, 0}, CONTOUR_END};
      elem_new_pattern(i % 3, 1, 0, x, y, 0, 0.1, 1, 0, x, y, 0, 0.1, 5, p, u(rng), u(rng), u(rng),
                       i % 2 ? PATTERN_FILLING : PATTERN_ONE_LINE);
    }
    if (i % 11 == 0)
      elem_new_text(i % 3, i % 8, 0, x, y, u(rng), 40 + 60 * u(rng), 1, 0.1, 1.5,
                    "Parallel 0123\nsecond line", 0, i % 2 ? "Simpel" : "no-such-font", i % 3);
  }
}

struct Case {
  const char* name;
  const char* fixture;
  int view;
  bool marked, other_layer, black, guide_points, fresh_fonts, sheet;
};

TEST_F(DrawParallel, EveryPixelAsDrawnOnOneThread) {
  const Case cases[] = {
      {"basic plan", "basic", VIEW_PLAN, false, false, false, true, false, false},
      {"basic axonometric", "basic", VIEW_ISO_FRONT_LEFT, false, false, false, false, false, false},
      {"basic elevation", "basic", 2, false, false, false, false, false, false},
      {"basic perspective", "basic", VIEW_PERSPECTIVE, false, false, false, false, false, false},
      {"symbols plan", "symbols", VIEW_PLAN, false, false, false, true, false, false},
      {"symbols marked, other layer", "symbols", VIEW_PLAN, true, true, false, false, false, false},
      {"symbols all black", "symbols", VIEW_PLAN, false, false, true, false, false, false},
      {"sheet, fonts loaded while drawing", "symbols", VIEW_PLAN, false, true, false, false, true, true},
      {"sheet marked, axonometric", "symbols", VIEW_ISO_FRONT_LEFT, true, false, false, false, true, true},
  };
  ASSERT_NE(font_find_or_load("Simpel"), FONT_NONE) << "the texts need the installation's fonts";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(render_fixture_build(c.fixture));
    if (c.sheet) overlapping_sheet();
    for (int l = 0; l < 3; ++l) layers[l].shown = 1;
    int k = 0;
    for (ElemHeader* e = elem_list_head; e; e = e->next, ++k)
      if (c.marked && k % 3 == 0) e->mark = 1;
    cur_layer = c.other_layer ? 1 : 0;
    view_options.all_black = c.black;
    view_options.show_guide_points = c.guide_points;
    view_type = c.view;
    view_camera = ViewCamera{10, -12, 6, 10, 6, 0, 60};
    view_camera_update_angles();
    offscreen(320, 200);
    view_zoom_to_extents(0);

    ASSERT_TRUE(taken_in_parallel());
    const std::vector<uint32_t> one = redrawn(false, c.fresh_fonts);
    const std::vector<uint32_t> many = redrawn(true, c.fresh_fonts);
    EXPECT_GT(non_background(one), 300);
    EXPECT_TRUE(one == many) << "the pictures differ";
    EXPECT_TRUE(view_dirty.dirty == false);  // shown at the end of the redraw
  }
}

TEST_F(DrawParallel, LeftToOneThreadWhereItCannotApply) {
  ASSERT_TRUE(render_fixture_build("basic"));
  offscreen(320, 200);
  view_zoom_to_extents(0);
  ASSERT_TRUE(taken_in_parallel());

  // Lines wider than a pixel: drawn through cairo, which one thread owns.
  view_options.exact_line_thickness = 1;
  drawing_scale = 100000;
  EXPECT_FALSE(taken_in_parallel());
  view_options.exact_line_thickness = 0;
  EXPECT_TRUE(taken_in_parallel());

  // Another output device's slots, and drawing shown element by element.
  {
    RecordingOutdev rec;
    EXPECT_FALSE(taken_in_parallel());
  }
  const std::vector<ElemSpan> first{ElemSpan{&elem_list_head, 1}};
  draw_refresh_now = 1;
  EXPECT_FALSE(draw_in_parallel(DRAW_NORMAL, first));

  // Fewer elements than the least.
  draw_parallel_min_elements = 1000;
  draw_refresh_now = 0;
  EXPECT_FALSE(draw_in_parallel(DRAW_NORMAL, first));
  draw_refresh_now = 1;
}

// The passes keep a copy of the list between drawings; after each change
// of the list the drawing on several threads (first, so that it meets the
// copy as the change left it) gives the pixels of the drawing on one.
TEST_F(DrawParallel, TheKeptCopyOfTheListFollowsEveryChange) {
  ASSERT_TRUE(render_fixture_build("symbols"));
  overlapping_sheet();
  for (int l = 0; l < 3; ++l) layers[l].shown = 1;
  offscreen(320, 200);
  view_zoom_to_extents(0);
  auto same_both_ways = [](const char* after) {
    SCOPED_TRACE(after);
    const std::vector<uint32_t> many = redrawn(true, false);
    const std::vector<uint32_t> one = redrawn(false, false);
    EXPECT_TRUE(one == many) << "the pictures differ";
  };
  same_both_ways("the first drawing");

  elem_new_line(0, 3, 0, 0, 0, 20, 12);
  elem_new_line(1, 4, 0, 0, 12, 20, 0);
  same_both_ways("appending");

  ElemHeader* gone = elem_list_head->next->next;
  elem_unlink(gone);
  elem_destroy(gone);
  same_both_ways("unlinking and freeing");

  int k = 0;
  for (ElemHeader* e = elem_list_head; e; e = e->next) e->mark = k++ % 4 == 0;
  elem_purge_marked();
  same_both_ways("purging the marked");

  layers[1].shown = 0;
  same_both_ways("hiding a layer");
  cur_layer = 2;
  same_both_ways("another current layer");

  elem_free_all();
  ASSERT_TRUE(render_fixture_build("basic"));
  same_both_ways("another drawing");

  // The marked elements alone, drawn over what is there.
  k = 0;
  for (ElemHeader* e = elem_list_head; e; e = e->next) e->mark = k++ % 2;
  auto highlighted = [](bool parallel) {
    redrawn(false, false);
    draw_parallel_min_elements = parallel ? 1 : INT_MAX;
    draw_selected(DRAW_HIGHLIGHT);
    return view_pixels(0);
  };
  EXPECT_TRUE(highlighted(true) == highlighted(false)) << "the marked elements differ";
}

// Whether the kept copy holds the list as it is, which lets a walk over
// every record use the copy instead of the links: only after it was asked
// for since the last change.
TEST_F(DrawParallel, TheKeptCopyIsCurrentOnlyUntilTheListChanges) {
  elem_free_all();
  auto in_list = [] {
    std::vector<ElemHeader*> all;
    for (ElemHeader* e = elem_list_head; e; e = e->next) all.push_back(e);
    return all;
  };
  EXPECT_TRUE(draw_list_in_order().empty());
  EXPECT_TRUE(draw_list_in_order_is_current()) << "an empty list";
  for (int i = 0; i < 5; ++i) elem_new_line(0, 1, 0, i, 0, i, 1);
  EXPECT_FALSE(draw_list_in_order_is_current()) << "appended to";
  EXPECT_EQ(draw_list_in_order(), in_list());
  EXPECT_TRUE(draw_list_in_order_is_current());
  elem_new_line(0, 1, 0, 9, 0, 9, 1);
  EXPECT_FALSE(draw_list_in_order_is_current()) << "one appended";
  EXPECT_EQ(draw_list_in_order(), in_list());
  ElemHeader* gone = elem_list_head->next;
  elem_unlink(gone);
  elem_destroy(gone);
  EXPECT_FALSE(draw_list_in_order_is_current()) << "one taken out";
  EXPECT_EQ(draw_list_in_order(), in_list());
  EXPECT_TRUE(draw_list_in_order_is_current());
  elem_free_all();
  EXPECT_FALSE(draw_list_in_order_is_current()) << "emptied";
}

}  // namespace
