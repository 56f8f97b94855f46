// Writing the PDF of a drawing of 1,000,000 lines: the drawing pass, the
// content text and its compression, to a file that discards its bytes.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <random>

#include "display/outdev.h"
#include "display/view.h"
#include "exchange/pdf_writer.h"
#include "model/defaults.h"
#include "model/elem.h"
#include "model/geom.h"
#include "model/layers.h"

namespace {

// n marked lines of 0.5 to 4 m over a square of about 3 m per line, pens
// and line types 0 to 7 changing every `run` lines (1: every line, as bad
// as it gets; a drawing's lines mostly come in runs of one pen, as the
// tools draw them).
void build_drawing(int n, int run) {
  drawing_reset();
  std::mt19937 rng(42);
  const double side = std::sqrt(3.0 * n);
  std::uniform_real_distribution<double> pos(0.0, side), len(0.5, 4.0), turn(0.0, GEOM_TWO_PI);
  for (int i = 0; i < n; ++i) {
    const double x = pos(rng), y = pos(rng), a = turn(rng), l = len(rng);
    const int k = i / run;
    elem_new_line(0, k % 8, (k / 8) % 8, x, y, x + l * std::cos(a), y + l * std::sin(a));
    elem_list_tail->mark = 1;
  }
}

void BM_PdfOfLines(benchmark::State& state) {
  main_init_defaults();
  outdev_init_screen_slots();
  view_init(0);
  build_drawing(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  std::FILE* sink = std::fopen("/dev/null", "wb");
  for (auto _ : state) {
    const PdfJob job = pdf_job(false);
    if (!pdf_write(sink, job)) state.SkipWithError("the PDF could not be written");
  }
  std::fclose(sink);
  // The file's size, outside the timing.
  if (std::FILE* f = std::tmpfile()) {
    pdf_write(f, pdf_job(false));
    state.counters["file_MB"] = static_cast<double>(std::ftell(f)) / 1e6;
    std::fclose(f);
  }
  drawing_free();
}
BENCHMARK(BM_PdfOfLines)->Args({1000000, 1})->Args({1000000, 100})->Unit(benchmark::kMillisecond);

}  // namespace
