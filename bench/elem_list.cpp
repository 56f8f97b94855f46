// Building and purging a large drawing: the list operations every tool and
// undo step run over.
#include <benchmark/benchmark.h>

#include "model/defaults.h"
#include "model/elem.h"
#include "model/layers.h"

static void BM_AppendAndPurgeHalf(benchmark::State& state) {
  main_init_defaults();
  const int n = static_cast<int>(state.range(0));
  for (auto _ : state) {
    for (int i = 0; i < n; ++i) elem_new_line(0, 0, 0, i, 0, i, 1);
    int k = 0;
    for (ElemHeader* e = elem_list_head; e; e = e->next) e->mark = (k++ & 1);
    elem_purge_marked();
    benchmark::DoNotOptimize(elem_count());
    drawing_free();
  }
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_AppendAndPurgeHalf)->Arg(1000)->Arg(100000);
