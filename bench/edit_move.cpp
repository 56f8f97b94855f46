// Moving the selection on a drawing of 100,000 elements, all selected and
// all in view: one move with its undo step (record the step, erase, move,
// draw) must cost no more than 150 ms. Also the whole tool as the user
// drives it: select all, two clicks, Enter, Escape, the selection ended.
#include <benchmark/benchmark.h>

#include <random>
#include <utility>

#include "bench_drawings.h"
#include "display/command_buffer.h"
#include "display/draw.h"
#include "display/input.h"
#include "display/outdev.h"
#include "display/select.h"
#include "display/shell_hooks.h"
#include "display/view.h"
#include "display/view_commands.h"
#include "display/wait_script.h"
#include "model/defaults.h"
#include "model/elem.h"
#include "model/settings.h"
#include "model/undo.h"
#include "model/view_rec.h"
#include "model/xform.h"
#include "tools/edit_tools.h"

namespace {

constexpr int ELEMENTS = 100000;
constexpr double AREA = 200.0;  // metres square

// Short lines, circles and walls over the area, the view zoomed to them.
void build_drawing() {
  static bool built = false;
  if (built) return;
  built = true;
  main_init_defaults();
  std::mt19937 rng(23);
  std::uniform_real_distribution<double> pos(-AREA / 2, AREA / 2), len(-2, 2), r(0.2, 1.5);
  for (int i = 0; i < ELEMENTS; ++i) {
    const double x = pos(rng), y = pos(rng);
    bench_drawings::scattered(
        i, x, y, [&] { return r(rng); },
        [&] {
          return std::pair{x + len(rng), y + len(rng)};
        });
  }
  bench_drawings::show_plan(800, 600);
}

void mark_all() {
  for (ElemHeader* e = elem_list_head; e; e = e->next) e->mark = 1;
}

// One move of the marked elements as the move tool makes it.
void move_step(double dx) {
  undo_record(UNDO_CHANGE_POINTS, 0);
  draw_selected(DRAW_ERASE);
  xform_move_marked(dx, 0, 0);
  draw_selected(DRAW_NORMAL);
}

void BM_MoveWithUndoStep(benchmark::State& state) {
  build_drawing();
  mark_all();
  double dx = 1.0;
  for (auto _ : state) {
    move_step(dx);
    dx = -dx;
    state.PauseTiming();
    undo_record(UNDO_CLEAR, 0);  // frees the copies; a full history would hold 32 steps of them
    state.ResumeTiming();
  }
  select_clear_flags();
  state.counters["elements"] = elem_count();
}
BENCHMARK(BM_MoveWithUndoStep)->Unit(benchmark::kMillisecond)->Iterations(20);

// Taking the move back.
void BM_UndoTheMove(benchmark::State& state) {
  build_drawing();
  for (auto _ : state) {
    state.PauseTiming();
    mark_all();
    move_step(1.0);
    select_clear_flags();
    state.ResumeTiming();
    undo_step_back();
    view_redraw();
    state.PauseTiming();
    undo_record(UNDO_CLEAR, 0);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_UndoTheMove)->Unit(benchmark::kMillisecond)->Iterations(10);

// The whole tool: select all, one vector, Escape; the selection drawn
// highlighted and plain again.
void BM_MoveToolRun(benchmark::State& state) {
  build_drawing();
  double dx = 2.0;
  for (auto _ : state) {
    bench_drawings::Scripted s;
    s.script.key("s_deffi_all").key("s_deffi_ok");
    s.script.click_world(1, 0.05, 0.05).click_world(1, 0.05 + dx, 0.05).key("z_enter").key("p_nop");
    tool_edit_move();
    pending_command = "nop";
    dx = -dx;
    state.PauseTiming();
    undo_record(UNDO_CLEAR, 0);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_MoveToolRun)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
