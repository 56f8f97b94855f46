// Window selection on a drawing of a million elements: a window that holds
// 1000 of them must be selected (found, marked and drawn highlighted)
// within 5 ms. The selection runs whole, as the user drives it: the Range
// button, two corner clicks and OK, through the scripted wait backend.
#include "display/select.h"

#include <benchmark/benchmark.h>
#include <cairo.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <utility>

#include "bench_drawings.h"
#include "display/command_buffer.h"
#include "display/draw.h"
#include "display/input.h"
#include "display/outdev.h"
#include "display/shell_hooks.h"
#include "display/snap.h"
#include "display/snap_grid.h"
#include "display/view.h"
#include "display/wait_script.h"
#include "model/defaults.h"
#include "model/elem.h"
#include "model/settings.h"
#include "model/view_rec.h"

namespace {

constexpr int ELEMENTS = 1000000;
constexpr int CAUGHT = 1000;
constexpr double AREA = 2000.0;  // metres square
// The window: 40 x 25 short lines inside it, nothing else wholly inside.
constexpr double WX1 = 100.0, WY1 = 100.0, WX2 = 180.0, WY2 = 150.0;

// Elements placed at random keep this far from the window, so that none of
// them lies wholly inside it.
bool near_window(double x, double y) { return x > WX1 - 5 && x < WX2 + 5 && y > WY1 - 5 && y < WY2 + 5; }

// Short lines, circles and walls over the area, none wholly inside the
// window, and the window's own 1000 lines among them.
void build_drawing() {
  static bool built = false;
  if (built) return;
  built = true;
  main_init_defaults();
  std::mt19937 rng(17);
  std::uniform_real_distribution<double> pos(-AREA / 2, AREA / 2), len(-4, 4), r(0.3, 3);
  int placed = 0;
  for (int i = 0; i < ELEMENTS - CAUGHT; ++i) {
    if (i % 999 == 500 && placed < CAUGHT) {
      const double x = WX1 + 1 + 2 * (placed % 40), y = WY1 + 1 + 2 * (placed / 40);
      elem_new_line(0, 0, 0, x, y, x + 1, y + 1);
      ++placed;
    }
    double x, y, dx, dy;
    do {
      x = pos(rng);
      y = pos(rng);
      dx = len(rng);
      dy = len(rng);
    } while (near_window(x, y));
    bench_drawings::scattered(
        i, x, y, [&] { return r(rng); },
        [&] {
          return std::pair{x + dx, y + dy};
        });
  }
  while (placed < CAUGHT) {
    const double x = WX1 + 1 + 2 * (placed % 40), y = WY1 + 1 + 2 * (placed / 40);
    elem_new_line(0, 0, 0, x, y, x + 1, y + 1);
    ++placed;
  }
  // View 0: 800 x 600 pixels around the window, drawn off screen.
  outdev_init_screen_slots();
  cur_view = 0;
  view_init(0);
  view_type = VIEW_PLAN;
  view_scale = 400;
  views[0].xmin = views[0].xmax = (WX1 + WX2) / 2;
  views[0].ymin = views[0].ymax = (WY1 + WY2) / 2;
  view_offscreen(0, 800, 600);
  draw_refresh_now = 1;
  draw_all(DRAW_CLEAR);
  snap_on = 1;
  snap_index_threshold = 20000;
}

// The radio button "Range": stores the type, then its z_toggle ends the step.
void dispatch_z(const char* key) {
  if (std::string(key) == "z_toggle") select_type = 0;
}

// One whole window selection.
int select_window_once(double x1, double y1, double x2, double y2) {
  bench_drawings::Scripted s(dispatch_z);
  s.script.key("z_toggle").click_world(1, x1, y1).click_world(1, x2, y2).key("s_deffi_ok");
  return select_elements(0);
}

// Pixels of view 0 in the selection colour: the highlight was drawn.
int highlighted_pixels() {
  cairo_surface_t* s = view_surface(0);
  if (!s) return 0;
  const uint8_t* data = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  int n = 0;
  for (int y = 0; y < cairo_image_surface_get_height(s); ++y)
    for (int x = 0; x < cairo_image_surface_get_width(s); ++x) {
      uint32_t v;
      std::memcpy(&v, data + y * stride + x * 4, 4);
      n += (v & 0xFFFFFF) == view_palettes[0][PAL_SELECTED];
    }
  return n;
}

int count_marked() {
  int n = 0;
  for (const ElemHeader* e = elem_list_head; e; e = e->next) n += e->mark == 1;
  return n;
}

void BM_WindowSelection(benchmark::State& state) {
  build_drawing();
  select_window_once(WX1, WY1, WX2, WY2);  // the grid is built before the clock runs
  int caught = count_marked();
  for (auto _ : state) {
    state.PauseTiming();
    select_clear_flags();
    state.ResumeTiming();
    select_window_once(WX1, WY1, WX2, WY2);
  }
  state.counters["caught"] = caught;
  state.counters["highlighted_px"] = highlighted_pixels();
}
BENCHMARK(BM_WindowSelection)->Unit(benchmark::kMicrosecond)->Iterations(200);

// The same window where nothing is drawn: what finding and marking cost.
void BM_WindowSelectionUndrawn(benchmark::State& state) {
  build_drawing();
  view_release(0);
  select_window_once(WX1, WY1, WX2, WY2);
  for (auto _ : state) {
    state.PauseTiming();
    select_clear_flags();
    state.ResumeTiming();
    select_window_once(WX1, WY1, WX2, WY2);
  }
  state.counters["caught"] = count_marked();
  view_offscreen(0, 800, 600);
  draw_all(DRAW_CLEAR);
}
BENCHMARK(BM_WindowSelectionUndrawn)->Unit(benchmark::kMicrosecond)->Iterations(200);

// Ending a selection walks the whole list to clear the marks.
void BM_ClearAfterWindowSelection(benchmark::State& state) {
  build_drawing();
  for (auto _ : state) {
    state.PauseTiming();
    select_window_once(WX1, WY1, WX2, WY2);
    state.ResumeTiming();
    select_clear(0);
  }
}
BENCHMARK(BM_ClearAfterWindowSelection)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace
