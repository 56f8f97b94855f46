// Loading a drawing whose cameras were all saved active, as some drawings
// are: each one read becomes the active camera in turn. The time must grow
// with the file, not with cameras times elements. Arguments: cameras, lines.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "model/defaults.h"
#include "model/elem.h"
#include "model/files/kavfile.h"
#include "model/layers.h"

namespace {

std::string file_path() {
  static const std::string path = (std::filesystem::temp_directory_path() /
                                   ("kavro-bench-cameras-" + std::to_string(::getpid()) + ".kav"))
                                      .string();
  return path;
}

// Cameras spread among the lines, every one of them active.
bool write_drawing(int cameras, int lines) {
  drawing_free();
  main_init_defaults();
  const int every = cameras > 0 ? 1 + lines / cameras : 1;
  int made = 0;
  for (int i = 0; made < cameras || i < lines; ++i) {
    if (i < lines) elem_new_line(i % 50, 1, 0, i, 0, i + 1, 1);
    if (made < cameras && i % every == 0) {
      elem_new_camera(0, 0, 0, made, -10, 1.7, made, 0, 1.7, 45, 1);
      ++made;
    }
  }
  std::FILE* f = std::fopen(file_path().c_str(), "wb");
  const bool ok = f && kavfile_write_drawing(f);
  if (f) std::fclose(f);
  drawing_free();
  return ok;
}

void BM_LoadActiveCameras(benchmark::State& state) {
  const int cameras = static_cast<int>(state.range(0));
  const int lines = static_cast<int>(state.range(1));
  if (!write_drawing(cameras, lines)) state.SkipWithError("cannot write the drawing");
  for (auto _ : state) {
    state.PauseTiming();
    drawing_free();
    main_init_defaults();
    state.ResumeTiming();
    std::FILE* f = std::fopen(file_path().c_str(), "rb");
    if (!f || kavfile_read_header(f) != KAV_FILE_VERSION) state.SkipWithError("cannot read the drawing");
    kavfile_read_chunks(f, 0);
    std::fclose(f);
    state.PauseTiming();
    int active = 0;
    for (const ElemHeader* e = elem_list_head; e; e = e->next)
      if (const auto* c = elem_as<CameraElem>(e)) active += c->active;
    if (elem_count() != cameras + lines || active != (cameras > 0 ? 1 : 0))
      state.SkipWithError("wrong drawing loaded");
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * (cameras + lines));
  drawing_free();
  std::filesystem::remove(file_path());
}
BENCHMARK(BM_LoadActiveCameras)
    ->Args({1000, 0})
    ->Args({10000, 0})
    ->Args({10000, 100000})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
