// One step of the mouse wheel on a site plan of a million elements of all
// kinds (texts, dimensions, hatches, walls with openings, rooms, ...) in a
// 1600 x 1000 view: the scale steps along the ladder and the whole view is
// drawn again. Zoomed out the whole site shows, every element a few pixels
// at most; zoomed in a few houses fill the view.
#include <benchmark/benchmark.h>

#include "bench_drawings.h"
#include "display/draw.h"
#include "display/outdev.h"
#include "display/view.h"
#include "display/view_commands.h"
#include "model/defaults.h"
#include "model/elem.h"
#include "model/layers.h"
#include "model/view_rec.h"

namespace {

constexpr int ELEMENTS = 1000000;

void set_up() {
  static bool built = false;
  if (built) return;
  built = true;
  main_init_defaults();
  bench_drawings::use_staged_fonts();
  outdev_init_screen_slots();
  view_init(0);
  view_offscreen(0, 1600, 1000);
  bench_drawings::mixed(ELEMENTS);
}

// Alternately one step in and one step out, from the view fitted to the
// whole drawing.
void BM_WheelZoomStep(benchmark::State& state) {
  set_up();
  view_zoom_to_extents(0);
  int i = 0;
  for (auto _ : state) {
    if (i++ % 2)
      view_scale_step_up();
    else
      view_scale_step_down();
  }
  state.counters["scale"] = view_scale;
}
BENCHMARK(BM_WheelZoomStep)->Unit(benchmark::kMillisecond)->Iterations(10);

// The same about a few houses: 1:100, about 53 x 33 m of a site of 2 km.
void BM_WheelZoomStepClose(benchmark::State& state) {
  set_up();
  view_scale = 100;
  views[0].xmin = views[0].xmax = 1010;
  views[0].ymin = views[0].ymax = 1010;
  view_apply_scale(0);
  int i = 0;
  for (auto _ : state) {
    if (i++ % 2)
      view_scale_step_up();
    else
      view_scale_step_down();
  }
  state.counters["scale"] = view_scale;
}
BENCHMARK(BM_WheelZoomStepClose)->Unit(benchmark::kMillisecond)->Iterations(10);

// Zoom to extents (keypad 5) from a view about a few houses: the box of
// all the ink, then the redraw of the whole site it ends with.
void BM_ZoomToExtents(benchmark::State& state) {
  set_up();
  for (auto _ : state) {
    state.PauseTiming();
    view_scale = 100;
    views[0].xmin = views[0].xmax = 1010;
    views[0].ymin = views[0].ymax = 1010;
    view_apply_scale(0);
    state.ResumeTiming();
    view_zoom_to_extents(0);
  }
  state.counters["scale"] = view_scale;
}
BENCHMARK(BM_ZoomToExtents)->Unit(benchmark::kMillisecond)->Iterations(5);

// The box alone, without the redraw: the extents of every element marked,
// as a move of everything or an export of all objects asks for it (arg 1:
// as shown on the screen, 2: as printed).
void BM_ExtentsOfAll(benchmark::State& state) {
  set_up();
  for (ElemHeader* e = elem_list_head; e; e = e->next) e->mark = 1;
  for (auto _ : state) view_zoom_to_extents(static_cast<uint8_t>(state.range(0)));
  for (ElemHeader* e = elem_list_head; e; e = e->next) e->mark = 0;
  state.counters["width"] = extents.xmax - extents.xmin;
}
BENCHMARK(BM_ExtentsOfAll)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(5);

// The same on one thread: what the pass costs a single core.
void BM_ExtentsOfAllOneThread(benchmark::State& state) {
  extents_parallel_min_elements = 1 << 30;
  BM_ExtentsOfAll(state);
  extents_parallel_min_elements = EXTENTS_PARALLEL_MIN_ELEMENTS;
}
BENCHMARK(BM_ExtentsOfAllOneThread)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
