// Writing the 2D exports (PDF, SVG, EPS) of a mixed site plan of 1,000,000
// elements, everything marked, to a file that counts and discards its
// bytes: the size of each file and the time it takes. With
// KAVRO_BENCH_KEEP=<folder> the files are written there as well, to be
// rendered by the outside tools.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "bench_drawings.h"
#include "display/outdev.h"
#include "display/view.h"
#include "exchange/pdf_writer.h"
#include "exchange/ps_writer.h"
#include "exchange/svg_writer.h"
#include "model/defaults.h"
#include "model/elem.h"
#include "model/layers.h"

namespace {

constexpr int ELEMENTS = 1000000;

// A site plan of blocks of 100 elements: 40 lines, 15 arcs and circles,
// 10 texts, 5 chain dimensions, 8 walls, 3 hatches, 4 Bezier curves, 5 3D
// lines, 3 meshes, a camera, 3 rooms and 3 lights.
constexpr bench_drawings::Mix EXPORT_MIX{8, 10, 15, 4, 5, 3, true};

bool built = false;
void build() {
  if (built) return;
  built = true;
  main_init_defaults();
  outdev_init_screen_slots();
  view_init(0);
  bench_drawings::use_staged_fonts();
  bench_drawings::mixed(ELEMENTS, EXPORT_MIX);
  for (ElemHeader* e = elem_list_head; e; e = e->next) e->mark = 1;
}

// A stream that only counts what is written to it.
ssize_t count_bytes(void* cookie, const char*, size_t n) {
  *static_cast<long long*>(cookie) += static_cast<long long>(n);
  return static_cast<ssize_t>(n);
}

void run(benchmark::State& state, const char* name, const std::function<bool(std::FILE*)>& write) {
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
  // The file itself, outside the timing, for the outside tools.
  if (const char* keep = std::getenv("KAVRO_BENCH_KEEP")) {
    if (std::FILE* f = std::fopen((std::string(keep) + "/" + name).c_str(), "w")) {
      write(f);
      std::fclose(f);
    }
  }
}

void BM_PdfOfMixed(benchmark::State& state) {
  run(state, "mixed.pdf", [](std::FILE* f) { return pdf_write(f, pdf_job(false)); });
}
void BM_SvgOfMixed(benchmark::State& state) {
  run(state, "mixed.svg", [](std::FILE* f) { return svg_write(f, svg_job()); });
}
void BM_EpsOfMixed(benchmark::State& state) {
  run(state, "mixed.eps", [](std::FILE* f) { return ps_write(f, eps_job("mixed.eps", false)); });
}
BENCHMARK(BM_PdfOfMixed)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SvgOfMixed)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_EpsOfMixed)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
