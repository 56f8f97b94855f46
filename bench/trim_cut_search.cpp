// The cut search of the trim and extend tools on drawings of a thousand
// and of a million lines, arcs and walls, with the same patch of elements
// around the searched line and circle: the grid keeps the cost to what lies
// near them, so both sizes cost about the same.
#include <benchmark/benchmark.h>

#include <random>

#include "bench_drawings.h"
#include "display/snap.h"
#include "display/snap_grid.h"
#include "model/defaults.h"
#include "model/elem.h"
#include "model/layers.h"
#include "model/view_rec.h"
#include "tools/trim_tools.h"

namespace {

constexpr double PI = 3.141592653589793;

struct Searched {
  ElemHeader* line = nullptr;
  ElemHeader* circle = nullptr;
};

// The patch: 200 short lines and 40 circles within 10 m of the origin;
// the rest spread over 2 km, as lines, arcs and walls.
Searched build_drawing(int elements) {
  elem_free_all();
  main_init_defaults();
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> patch(-10, 10), far(-1000, 1000), len(-4, 4), r(0.3, 3),
      angle(0, 2 * PI);
  for (int i = 0; i < 200; ++i) {
    const double x = patch(rng), y = patch(rng);
    elem_new_line(0, 0, 0, x, y, x + len(rng), y + len(rng));
  }
  for (int i = 0; i < 40; ++i) elem_new_arc(0, 0, 0, patch(rng), patch(rng), r(rng), r(rng), 2 * PI, 0, 0);
  for (int i = 240; i < elements; ++i) {
    const double x = far(rng), y = far(rng);
    if (std::abs(x) < 30 && std::abs(y) < 30) continue;
    switch (i % 10) {
      case 1:
        elem_new_arc(0, 0, 0, x, y, r(rng), r(rng), angle(rng), angle(rng), 0);
        break;
      case 3: {
        bench_drawings::small_wall(x, y);
        break;
      }
      default:
        elem_new_line(0, 0, 0, x, y, x + len(rng), y + len(rng));
        break;
    }
  }
  Searched s;
  elem_new_line(0, 0, 0, -8, 0, 8, 0);
  s.line = elem_list_tail;
  elem_new_arc(0, 0, 0, 0, 0, 6, 6, 2 * PI, 0, 0);
  s.circle = elem_list_tail;
  cur_view = 0;
  views[0] = ViewRec{0, 0, 600, 400, -50.0, -200.0 / 6.0, 50.0, 200.0 / 6.0, 1.0 / 6.0, 1.0 / 6.0};
  cur_layer = 0;
  snap_index_threshold = 20000;
  elem_grid_reset();
  return s;
}

// The search over the line's own box, as the piece deletion runs it; the
// first search, which builds the grid, is made before the clock runs.
void BM_CutSearchLine(benchmark::State& state) {
  const Searched s = build_drawing(static_cast<int>(state.range(0)));
  const auto* l = elem_as<LineElem>(s.line);
  const CutWindow w{-8, 0, 8, 0};
  std::size_t cuts = cut_search_line(s.line, l->p1, l->p2, w).size();
  for (auto _ : state) cuts = cut_search_line(s.line, l->p1, l->p2, w).size();
  state.counters["cuts"] = static_cast<double>(cuts);
}
BENCHMARK(BM_CutSearchLine)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

void BM_CutSearchCircle(benchmark::State& state) {
  const Searched s = build_drawing(static_cast<int>(state.range(0)));
  const CurveShape c = curve_of(*elem_as<ArcElem>(s.circle));
  std::size_t cuts = cut_search_curve(s.circle, c).size();
  for (auto _ : state) cuts = cut_search_curve(s.circle, c).size();
  state.counters["cuts"] = static_cast<double>(cuts);
}
BENCHMARK(BM_CutSearchCircle)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

}  // namespace
