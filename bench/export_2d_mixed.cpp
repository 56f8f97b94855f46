// Writing the 2D exports (PDF, SVG, EPS) of a mixed site plan of 1,000,000
// elements, everything marked, to a file that counts and discards its
// bytes: the size of each file, the elements of the SVG document and the
// time it takes. A second plan holds more circles, ellipses and arcs and
// fewer lines. With KAVRO_BENCH_KEEP=<folder> the files are written there
// as well, to be rendered by the outside tools.
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
// Blocks of 6 walls, 10 texts, 24 arcs and circles, 16 ellipses and
// ellipse arcs, 4 Bezier curves, 4 3D lines, a light, 21 lines and, as
// above, 3 rooms, 5 chain dimensions, 3 hatches and 3 meshes.
constexpr bench_drawings::Mix ARCS_MIX{6, 10, 24, 4, 4, 1, false, 21, 16};

const bench_drawings::Mix* built = nullptr;
void build(const bench_drawings::Mix& mix) {
  if (built == &mix) return;
  if (built) drawing_free();
  built = &mix;
  main_init_defaults();
  outdev_init_screen_slots();
  view_init(0);
  bench_drawings::use_staged_fonts();
  bench_drawings::mixed(ELEMENTS, mix);
  for (ElemHeader* e = elem_list_head; e; e = e->next) e->mark = 1;
}

// A stream that counts what is written to it, and the XML elements in it:
// each "<" that no "/" follows (the document's few declarations count too).
struct Counted {
  long long bytes = 0, elements = 0;
  bool open = false;  // the last byte was "<"
};
ssize_t count_bytes(void* cookie, const char* data, size_t n) {
  Counted& c = *static_cast<Counted*>(cookie);
  c.bytes += static_cast<long long>(n);
  for (size_t i = 0; i < n; ++i) {
    if (c.open && data[i] != '/') ++c.elements;
    c.open = data[i] == '<';
  }
  return static_cast<ssize_t>(n);
}

void run(benchmark::State& state, const char* name, const std::function<bool(std::FILE*)>& write,
         const bench_drawings::Mix& mix = EXPORT_MIX) {
  build(mix);
  Counted counted;
  for (auto _ : state) {
    counted = Counted{};
    cookie_io_functions_t io{nullptr, count_bytes, nullptr, nullptr};
    std::FILE* f = fopencookie(&counted, "w", io);
    if (!write(f)) state.SkipWithError("the file could not be written");
    std::fclose(f);
  }
  state.counters["file_MB"] = static_cast<double>(counted.bytes) / 1e6;
  state.counters["xml_elements"] = static_cast<double>(counted.elements);
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
void BM_SvgOfArcs(benchmark::State& state) {
  run(
      state, "arcs.svg", [](std::FILE* f) { return svg_write(f, svg_job()); }, ARCS_MIX);
}
BENCHMARK(BM_PdfOfMixed)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SvgOfMixed)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_EpsOfMixed)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SvgOfArcs)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
