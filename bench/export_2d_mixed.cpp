// Writing the 2D exports (PDF, SVG, EPS) of a mixed site plan of 1,000,000
// elements, everything marked, to a file that counts and discards its
// bytes: the size of each file and the time it takes.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>

#include "bench_drawings.h"
#include "display/outdev.h"
#include "display/view.h"
#include "exchange/pdf_writer.h"
#include "exchange/ps_writer.h"
#include "exchange/svg_writer.h"
#include "model/defaults.h"
#include "model/elem.h"

namespace {

constexpr int ELEMENTS = 1000000;

bool built = false;
void build() {
  if (built) return;
  built = true;
  main_init_defaults();
  outdev_init_screen_slots();
  view_init(0);
  bench_drawings::use_staged_fonts();
  bench_drawings::mixed(ELEMENTS);
  for (ElemHeader* e = elem_list_head; e; e = e->next) e->mark = 1;
}

// A stream that only counts what is written to it.
ssize_t count_bytes(void* cookie, const char*, size_t n) {
  *static_cast<long long*>(cookie) += static_cast<long long>(n);
  return static_cast<ssize_t>(n);
}

void run(benchmark::State& state, const std::function<bool(std::FILE*)>& write) {
  build();
  long long bytes = 0;
  for (auto _ : state) {
    bytes = 0;
    cookie_io_functions_t io{nullptr, count_bytes, nullptr, nullptr};
    std::FILE* f = fopencookie(&bytes, "w", io);
    if (!write(f)) state.SkipWithError("the file could not be written");
    std::fclose(f);
  }
  state.counters["file_MB"] = static_cast<double>(bytes) / 1e6;
}

void BM_PdfOfMixed(benchmark::State& state) {
  run(state, [](std::FILE* f) { return pdf_write(f, pdf_job(false)); });
}
void BM_SvgOfMixed(benchmark::State& state) {
  run(state, [](std::FILE* f) { return svg_write(f, svg_job()); });
}
void BM_EpsOfMixed(benchmark::State& state) {
  run(state, [](std::FILE* f) { return ps_write(f, eps_job("mixed.eps", false)); });
}
BENCHMARK(BM_PdfOfMixed)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SvgOfMixed)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_EpsOfMixed)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
