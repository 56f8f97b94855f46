// Redrawing a whole drawing of lines and arcs into a 1600 x 1000 view: the
// cost of every view change. Zoomed to extents every element is drawn;
// zoomed into a corner most of them must be skipped before any stroking.
#include "display/draw.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

#include "display/outdev.h"
#include "display/view.h"
#include "display/view_commands.h"
#include "model/defaults.h"
#include "model/elem.h"
#include "model/geom.h"
#include "model/layers.h"

namespace {

// n elements over a square of about 3 m per element: two thirds lines of 0.5
// to 4 m, one third circles and arcs of 0.3 to 2 m radius, pens 0 to 7.
void build_drawing(int n) {
  drawing_reset();
  std::mt19937 rng(42);
  const double side = std::sqrt(3.0 * n);
  std::uniform_real_distribution<double> pos(0.0, side), len(0.5, 4.0), radius(0.3, 2.0),
      turn(0.0, GEOM_TWO_PI);
  for (int i = 0; i < n; ++i) {
    const double x = pos(rng), y = pos(rng), a = turn(rng);
    const int pen = i % 8;
    if (i % 3 != 2) {
      const double l = len(rng);
      elem_new_line(0, pen, 0, x, y, x + l * std::cos(a), y + l * std::sin(a));
    } else {
      const double r = radius(rng);
      const double sweep = i % 2 ? GEOM_TWO_PI : turn(rng);
      elem_new_arc(0, pen, 0, x, y, r, r, sweep, a, 0.0);
    }
  }
}

void set_up(int n) {
  main_init_defaults();
  outdev_init_screen_slots();
  view_init(0);
  view_offscreen(0, 1600, 1000);
  build_drawing(n);
}

void BM_RedrawZoomedToExtents(benchmark::State& state) {
  set_up(static_cast<int>(state.range(0)));
  view_zoom_to_extents(0);
  for (auto _ : state) draw_all(DRAW_CLEAR);
  state.counters["scale"] = view_scale;
  drawing_free();
  view_free_all();
}

void BM_RedrawZoomedIntoACorner(benchmark::State& state) {
  set_up(static_cast<int>(state.range(0)));
  view_scale = 200;  // about 107 x 67 m of a square of 550 or 1700 m
  views[0].xmin = views[0].xmax = 60;
  views[0].ymin = views[0].ymax = 40;
  view_apply_scale(0);
  for (auto _ : state) draw_all(DRAW_CLEAR);
  drawing_free();
  view_free_all();
}

BENCHMARK(BM_RedrawZoomedToExtents)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawZoomedIntoACorner)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace
