// Saving and loading a drawing of 1,000,000 mixed elements (lines, arcs,
// texts, walls with openings, meshes): bytes and elements per second, and
// the memory the loaded drawing holds per byte of its file.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "model/defaults.h"
#include "model/elem.h"
#include "model/files/kavfile.h"
#include "model/layers.h"

namespace {

constexpr int ELEMENTS = 1000000;

void build_drawing() {
  double corners[24];
  for (int i = 0; i < 24; ++i) corners[i] = i * 0.25;
  Point3 cube[8];
  for (int i = 0; i < 8; ++i) cube[i] = {double(i & 1), double((i >> 1) & 1), double((i >> 2) & 1), 0};
  const int32_t sizes[6] = {4, 4, 4, 4, 4, 4};
  const int32_t idx[24] = {0, 1, 3, 2, 4, 6, 7, 5, 0, 4, 5, 1, 2, 3, 7, 6, 0, 2, 6, 4, 1, 5, 7, 3};
  TextElem text;
  text.font = "Simpel";
  text.height = 2.5;
  text.width_factor = 1;
  text.spacing = 0.1;
  text.line_spacing = 1.5;
  for (int i = 0; i < ELEMENTS; ++i) {
    const double x = i % 1000, y = i / 1000;
    const int layer = i % 50;
    switch (i % 10) {
      case 0:
      case 1:
      case 2:
      case 3:
        elem_new_line(layer, 1, 0, x, y, x + 1, y + 0.5);
        break;
      case 4:
      case 5:
        elem_new_arc(layer, 2, 0, x, y, 0.5, 0.5, 6.283185307179586, 0, 0);
        break;
      case 6:
      case 7:
        text.layer = static_cast<uint16_t>(layer);
        text.pos = Point2{x, y, 0};
        text.text = "Room " + std::to_string(i);
        elem_append(text);
        break;
      case 8: {
        WallSegment seg[4];
        for (int k = 0; k < 4; ++k) seg[k] = {{x + k, y, 0}, {x + k + 1, y, 0}};
        WallOpening op[1];
        op[0].kind = OPENING_WINDOW;
        op[0].sill = 1.0;
        op[0].height = 1.51;
        elem_new_wall(layer, 3, 0, corners, 4, seg, 1, op, "Brick", 0, 0, 0, 0, 0, 0, 0);
        break;
      }
      default:
        elem_new_mesh(layer, 4, 0, 8, 6, sizes, cube, idx, "Glas", 0);
        break;
    }
  }
}

std::string file_path() {
  static const std::string path =
      (std::filesystem::temp_directory_path() / ("kavro-bench-" + std::to_string(::getpid()) + ".kav"))
          .string();
  return path;
}

std::size_t allocated() { return mallinfo2().uordblks; }

void BM_SaveDrawing(benchmark::State& state) {
  main_init_defaults();
  build_drawing();
  long bytes = 0;
  for (auto _ : state) {
    std::FILE* f = std::fopen(file_path().c_str(), "wb");
    if (!f || !kavfile_write_drawing(f)) state.SkipWithError("cannot write the drawing");
    bytes = std::ftell(f);
    std::fclose(f);
  }
  state.SetBytesProcessed(state.iterations() * bytes);
  state.SetItemsProcessed(state.iterations() * ELEMENTS);
  state.counters["file_MB"] = bytes / 1e6;
  drawing_free();
}
BENCHMARK(BM_SaveDrawing)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadDrawing(benchmark::State& state) {
  const auto bytes = static_cast<long>(std::filesystem::file_size(file_path()));
  double memory_ratio = 0;
  for (auto _ : state) {
    state.PauseTiming();
    drawing_free();
    main_init_defaults();
    const std::size_t before = allocated();
    state.ResumeTiming();
    std::FILE* f = std::fopen(file_path().c_str(), "rb");
    if (!f || kavfile_read_header(f) != KAV_FILE_VERSION) state.SkipWithError("cannot read the drawing");
    kavfile_read_chunks(f, 0);
    std::fclose(f);
    state.PauseTiming();
    if (elem_count() != ELEMENTS) state.SkipWithError("elements lost");
    memory_ratio = double(allocated() - before) / double(bytes);
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * bytes);
  state.SetItemsProcessed(state.iterations() * ELEMENTS);
  state.counters["memory_per_file_byte"] = memory_ratio;
  drawing_free();
  std::filesystem::remove(file_path());
}
BENCHMARK(BM_LoadDrawing)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
