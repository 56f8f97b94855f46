// Picking on a drawing of a million elements of many kinds: one pick must
// cost no more than 5 ms, whatever the filter.
#include "display/pick.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "bench_drawings.h"
#include "display/font.h"
#include "display/snap.h"
#include "model/defaults.h"
#include "model/elem.h"
#include "model/layers.h"
#include "model/settings.h"
#include "model/view_rec.h"

namespace {

constexpr int ELEMENTS = 1000000;
constexpr double AREA = 2000.0;  // metres square
constexpr double PI = 3.141592653589793;

// A font held in memory, so that texts have widths without font files: 0.6
// of the height per character.
void install_font() {
  FontSlot& f = font_slots[0];
  f.name = "Simpel";
  f.codes = {GLYPH_END};
  f.advance.fill(60);
}

// Lines, arcs, walls, texts, dimensions, patterns, Bezier curves, meshes,
// lights and cameras spread over the area, one in fifty of them in a denser
// patch around the origin where the clicks go.
void build_drawing() {
  static bool built = false;
  if (built) return;
  built = true;
  main_init_defaults();
  install_font();
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> pos(-AREA / 2, AREA / 2), near(-30, 30), len(-4, 4), r(0.3, 3),
      angle(0, 2 * PI);
  std::uniform_int_distribution<int> chars(3, 20);
  for (int i = 0; i < ELEMENTS; ++i) {
    const bool dense = i % 50 == 0;
    const double x = dense ? near(rng) : pos(rng), y = dense ? near(rng) : pos(rng);
    switch (i % 20) {
      case 1:
      case 11:
        elem_new_arc(0, 0, 0, x, y, r(rng), r(rng), angle(rng), angle(rng), angle(rng));
        break;
      case 3:
      case 13: {
        bench_drawings::small_wall(x, y);
        break;
      }
      case 5:
      case 15:
        elem_new_text(0, 0, 0, x, y, angle(rng), 2.5, 1.0, 0.0, 0.0, std::string(chars(rng), 'x'), 0.0,
                      "Simpel", i % 4);
        break;
      case 7: {
        DimPoint p[3];
        p[0].line_point = {x, y, 0};
        p[1].line_point = {x + r(rng), y, 0};
        p[2].line_point = {x, y + r(rng), 0};
        for (DimPoint& d : p) d.measured = d.line_point;
        elem_new_dim(0, 0, 0, 0, 0, 0, 2.5, 1, 0, 0, 0, "Simpel", 0, 0, i % 40 == 7 ? DIM_ANGLE : DIM_CHAIN,
                     3, p);
        break;
      }
      case 9: {
        const double s = r(rng);
        Point2 p[5] = {{x, y, 0}, {x + s, y, 0}, {x + s, y + s, 0}, {x, y + s, 0}, CONTOUR_END};
        elem_new_pattern(0, 0, 0, x, y, 0, 0.2, 0, 0, 0, 0, 0, 0.2, 5, p, 0, 0, 0, PATTERN_ONE_LINE);
        break;
      }
      case 17:
        elem_new_spline(0, 0, 0, x, y, x + len(rng), y + len(rng), x + len(rng), y + len(rng), x + len(rng),
                        y + len(rng));
        break;
      case 19:
        if (i % 40 == 19)
          elem_new_light(0, 0, 0, LIGHT_POINT, 0, 0, 30, 0, x, y, 2, x, y, 0, 1, 1, 1);
        else
          elem_new_camera(0, 0, 0, x, y, 1.6, x + 1, y, 1.6, 60, 0);
        break;
      default:
        if (i % 100 == 2) {
          // Meshes only outside the patch: a pick of them there finds none
          // within 100 m.
          const double mx = x < 0 ? x - 150 : x + 150;
          Point3 v[3] = {{mx, y, 0, 0}, {mx + 1, y, 0, 0}, {mx, y + 1, 1, 0}};
          const int32_t sizes[1] = {3}, idx[3] = {0, 1, 2};
          elem_new_mesh(0, 0, 0, 3, 1, sizes, v, idx, "", 0);
        } else {
          elem_new_line(0, 0, 0, x, y, x + len(rng), y + len(rng));
        }
        break;
    }
  }
  cur_view = 0;
  views[0] = ViewRec{0, 0, 600, 400, -50.0, -200.0 / 6.0, 50.0, 200.0 / 6.0, 1.0 / 6.0, 1.0 / 6.0};
  view_type = 0;
  cur_layer = 0;
  snap_index_threshold = 20000;
}

std::vector<std::pair<double, double>> clicks(int n) {
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> near(-30, 30);
  std::vector<std::pair<double, double>> out;
  for (int i = 0; i < n; ++i) out.emplace_back(near(rng), near(rng));
  return out;
}

// One pick with a filter code, at clicks in the dense patch. The first
// pick, which builds the grid, is made before the clock runs.
void BM_PickNearest(benchmark::State& state) {
  build_drawing();
  const auto filter = static_cast<uint8_t>(state.range(0));
  const auto where = clicks(1000);
  pick_nearest_element(0, 0, filter);
  std::size_t i = 0;
  int found = 0;
  for (auto _ : state) {
    const auto [x, y] = where[i++ % where.size()];
    found += pick_nearest_element(x, y, filter) != nullptr;
  }
  state.counters["found"] = benchmark::Counter(found, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_PickNearest)
    ->Arg(PICK_ANY)
    ->Arg(PICK_LINE)
    ->Arg(PICK_TEXT)
    ->Arg(PICK_WALL)
    ->Arg(PICK_LIGHT)
    ->Arg(PICK_MESH)  // none near the patch: the window grows to 100 m
    ->Unit(benchmark::kMicrosecond);

void BM_PickEdges(benchmark::State& state) {
  build_drawing();
  const auto where = clicks(1000);
  pick_line_edge(0, 0);
  std::size_t i = 0;
  for (auto _ : state) {
    const auto [x, y] = where[i++ % where.size()];
    benchmark::DoNotOptimize(pick_line_edge(x, y));
    benchmark::DoNotOptimize(pick_snap_edge(x, y));
  }
}
BENCHMARK(BM_PickEdges)->Unit(benchmark::kMicrosecond);

// For comparison: the same pick walking the whole list.
void BM_PickNearestWalk(benchmark::State& state) {
  build_drawing();
  snap_index_threshold = 1 << 30;
  const auto where = clicks(1000);
  std::size_t i = 0;
  for (auto _ : state) {
    const auto [x, y] = where[i++ % where.size()];
    benchmark::DoNotOptimize(pick_nearest_element(x, y, PICK_ANY));
  }
  snap_index_threshold = 20000;
}
BENCHMARK(BM_PickNearestWalk)->Unit(benchmark::kMillisecond)->Iterations(10);

// The first pick after a text changed in place: the picks take the change
// in (the text may reach farther now).
void BM_PickAfterChange(benchmark::State& state) {
  build_drawing();
  pick_nearest_element(0, 0, PICK_ANY);
  static TextElem* text = [] {
    elem_new_text(0, 0, 0, 2, 2, 0, 2.5, 1.0, 0.0, 0.0, "changed", 0.0, "Simpel", 0);
    return static_cast<TextElem*>(elem_list_tail);
  }();
  int i = 0;
  for (auto _ : state) {
    state.PauseTiming();
    text->text += i++ % 2 ? "x" : "y";
    elem_touch(text);
    state.ResumeTiming();
    benchmark::DoNotOptimize(pick_nearest_element(1, 1, PICK_ANY));
  }
}
BENCHMARK(BM_PickAfterChange)->Unit(benchmark::kMicrosecond)->Iterations(200);

// For comparison: after a change in place of elements nobody named, the
// grid is built again and how far the texts reach is measured anew.
void BM_PickAfterUnknownChange(benchmark::State& state) {
  build_drawing();
  for (auto _ : state) {
    elem_touch();
    benchmark::DoNotOptimize(pick_nearest_element(1, 1, PICK_ANY));
  }
}
BENCHMARK(BM_PickAfterUnknownChange)->Unit(benchmark::kMillisecond)->Iterations(5);

// A new element is only taken in.
void BM_PickAfterAppend(benchmark::State& state) {
  build_drawing();
  pick_nearest_element(0, 0, PICK_ANY);
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> near(-30, 30);
  for (auto _ : state) {
    state.PauseTiming();
    elem_new_text(0, 0, 0, near(rng), near(rng), 0, 2.5, 1.0, 0.0, 0.0, "appended", 0.0, "Simpel", 0);
    state.ResumeTiming();
    benchmark::DoNotOptimize(pick_nearest_element(near(rng), near(rng), PICK_ANY));
  }
}
BENCHMARK(BM_PickAfterAppend)->Unit(benchmark::kMicrosecond)->Iterations(2000);

}  // namespace
