// Edits that keep walls joined, on large drawings: each wall's partners are
// looked up near it, so the work grows with the walls an edit touches.
// Goals, each within 1 s: moving a Range-selected half and copying all of
// a mixed site plan of 1,000,000 elements (80,000 walls); Connect -All of
// 30,000 walls; a series of 1,000 copies of 1,000 lines. The whole tool as
// the user drives it, through the scripted input, the view drawn.
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

#include "bench_drawings.h"
#include "building/wall_tools.h"
#include "display/command_buffer.h"
#include "display/draw.h"
#include "display/input.h"
#include "display/outdev.h"
#include "display/shell_hooks.h"
#include "display/view.h"
#include "display/view_commands.h"
#include "display/wait_script.h"
#include "model/defaults.h"
#include "model/elem.h"
#include "model/layers.h"
#include "model/settings.h"
#include "model/undo.h"
#include "model/view_rec.h"
#include "model/wall_index.h"
#include "tools/edit_tools.h"

namespace {

int built_kind = -1;
int built_size = 0;

// The drawing of a kind and size, built once and kept while the
// benchmarks that want it run.
void build(int kind, int n, void (*make)(int)) {
  if (built_kind == kind && built_size == n) return;
  undo_record(UNDO_CLEAR, 0);
  elem_free_all();
  main_init_defaults();
  bench_drawings::use_staged_fonts();
  make(n);
  built_kind = kind;
  built_size = n;
  bench_drawings::show_plan(800, 600);
}

// The site plan with eight walls a block.
void mixed(int n) {
  bench_drawings::Mix mix;
  mix.walls = 8;
  bench_drawings::mixed(n, mix);
}

// Houses of eight walls side by side on layer 0, one pen: the outline of
// 14 x 10 m and four inner walls, each wall ending on another's face.
void houses(int walls) {
  const double wx[8][4] = {{2.85, 4, 17.15, 4},    {17, 4.15, 17, 13.85},    {17.15, 14, 2.85, 14},
                           {3, 13.85, 3, 4.15},    {10, 4.15, 10, 13.85},    {3.15, 9, 9.85, 9},
                           {10.15, 11, 16.85, 11}, {13.5, 4.15, 13.5, 10.85}};
  const int blocks = (walls + 7) / 8;
  const int side = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(blocks))));
  int made = 0;
  for (int b = 0; b < blocks; ++b) {
    const double bx = 20.0 * (b % side), by = 20.0 * (b / side);
    for (int k = 0; k < 8 && made < walls; ++k, ++made) {
      const double x1 = bx + wx[k][0], y1 = by + wx[k][1], x2 = bx + wx[k][2], y2 = by + wx[k][3];
      const double dx = x2 - x1, dy = y2 - y1, l = std::hypot(dx, dy);
      const double nx = -dy / l * 0.15, ny = dx / l * 0.15;
      const double c[24] = {x1 - nx, y1 - ny, 0,       x2 - nx, y2 - ny, 0,       x2 + nx, y2 + ny,
                            0,       x1 + nx, y1 + ny, 0,       x1 - nx, y1 - ny, 2.7,     x2 - nx,
                            y2 - ny, 2.7,     x2 + nx, y2 + ny, 2.7,     x1 + nx, y1 + ny, 2.7};
      WallSegment s[4] = {{{c[0], c[1], 0}, {c[3], c[4], 0}},
                          {{c[3], c[4], 0}, {c[6], c[7], 0}},
                          {{c[6], c[7], 0}, {c[9], c[10], 0}},
                          {{c[9], c[10], 0}, {c[0], c[1], 0}}};
      elem_new_wall(0, 3, 0, c, 4, s, 0, nullptr, "Brick", 0, 0, 0, 0, 0, 0, 0);
    }
  }
}

// The Select page's All layers button.
void all_layers(const char* key) {
  if (std::string(key) == "z_all_layers") select_all_layers = 1;
}

// Takes the tool's step back and forgets it, outside the timing.
void undo_outside(benchmark::State& state) {
  state.PauseTiming();
  pending_command = "nop";
  undo_step_back();
  undo_record(UNDO_CLEAR, 0);
  state.ResumeTiming();
}

void BM_MoveHalfOfMixedPlan(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  build(1, n, mixed);
  const double side = 20.0 * std::ceil(std::sqrt(n / 100.0));
  for (auto _ : state) {
    // The western half marked as a Range window would mark it; the
    // selection keeps marks set before it and is confirmed at once.
    state.PauseTiming();
    int marked = 0;
    for (ElemHeader* e = elem_list_head; e; e = e->next) {
      const WallBox b = e->kind == ELEM_WALL ? wall_plan_box(*static_cast<WallElem*>(e)) : WallBox{};
      const bool west = e->kind == ELEM_WALL ? b.xmax < side / 2 : (e->order % 2 == 0);
      if (west) {
        e->mark = 1;
        ++marked;
      }
    }
    state.counters["marked"] = marked;
    state.ResumeTiming();
    bench_drawings::Scripted s(all_layers);
    s.script.key("s_deffi_ok");
    s.script.click_world(1, 0.05, 0.05).click_world(1, 0.35, 0.05).key("z_enter").key("p_nop");
    tool_edit_move();
    undo_outside(state);
  }
  state.counters["elements"] = elem_count();
}
BENCHMARK(BM_MoveHalfOfMixedPlan)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CopyAllOfMixedPlan(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  build(1, n, mixed);
  for (auto _ : state) {
    bench_drawings::Scripted s(all_layers);
    s.script.key("z_all_layers").key("s_deffi_all").key("s_deffi_ok");
    s.script.click_world(1, 0.05, 0.05).click_world(1, 4.05, 0.05).key("z_enter").key("p_nop");
    tool_edit_copy();
    undo_outside(state);
  }
}
BENCHMARK(BM_CopyAllOfMixedPlan)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ConnectAllWalls(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  build(2, n, houses);
  cur_layer = 0;
  for (auto _ : state) {
    tool_wall_connect_all();
    undo_outside(state);
  }
}
BENCHMARK(BM_ConnectAllWalls)->Arg(10000)->Arg(30000)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SeriesOfLines(benchmark::State& state) {
  const int copies = static_cast<int>(state.range(0));
  build(3, 1000, bench_drawings::lines);
  // The lines lie on 20 layers: all shown, so that All layers selects all
  // of them, whichever benchmark ran before.
  for (int l = 0; l < 20; ++l) layers[l].shown = 1;
  for (auto _ : state) {
    bench_drawings::Scripted s(all_layers);
    s.script.key("z_all_layers")
        .key("s_deffi_all")
        .key("s_deffi_ok")
        .value(std::to_string(copies + 1).c_str());
    s.script.click_world(1, 0, 0).click_world(1, 0, 0.5).key("z_enter");
    tool_edit_series();
    state.PauseTiming();
    state.counters["elements"] = elem_count();
    state.ResumeTiming();
    undo_outside(state);
  }
}
BENCHMARK(BM_SeriesOfLines)->Arg(999)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
