// Loading a drawing of a million elements: a million lines (about 46 MB on
// file) and a million elements of all kinds (about 146 MB). Each load is set
// beside one plain read() of the same file into memory, so the ratio holds
// on a busy machine, and the memory the load needs beyond the loaded
// drawing is measured from the process's peak resident size.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench_drawings.h"
#include "model/defaults.h"
#include "model/elem.h"
#include "model/files/kavfile.h"
#include "model/layers.h"

namespace {

constexpr int ELEMENTS = 1000000;

std::string temp_file(const char* name) {
  return (std::filesystem::temp_directory_path() /
          ("kavro-bench-" + std::to_string(::getpid()) + "-" + name + ".kav"))
      .string();
}

// Builds a drawing and writes it into path, once per program run.
void write_drawing(std::string& path, const char* name, void (*build)(int)) {
  if (!path.empty()) return;
  path = temp_file(name);
  drawing_free();
  main_init_defaults();
  build(ELEMENTS);
  std::FILE* f = std::fopen(path.c_str(), "wb");
  const bool ok = f && kavfile_write_drawing(f);
  if (f) std::fclose(f);
  drawing_free();
  malloc_trim(0);
  if (!ok) std::fprintf(stderr, "cannot write %s\n", path.c_str());
}

std::string lines_file, mixed_file;
void remove_files() {
  for (const std::string* p : {&lines_file, &mixed_file})
    if (!p->empty()) std::filesystem::remove(*p);
}

// Kilobytes of a line of /proc/self/status ("VmRSS:", "VmHWM:").
long status_kb(const char* key) {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + std::strlen(key));
  return -1;
}

// Starts the peak resident size afresh from the current one.
void reset_peak() {
  if (std::FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
    std::fputs("5", f);
    std::fclose(f);
  }
}

double seconds_since(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// The whole file into fresh memory with one read(): the floor of any load.
double one_read_seconds(const std::string& path) {
  const auto size = static_cast<std::size_t>(std::filesystem::file_size(path));
  const auto t0 = std::chrono::steady_clock::now();
  const int fd = ::open(path.c_str(), O_RDONLY);
  auto* buf = static_cast<char*>(std::malloc(size));
  std::size_t got = 0;
  while (fd >= 0 && buf && got < size) {
    const ssize_t n = ::read(fd, buf + got, size - got);
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  benchmark::DoNotOptimize(buf);
  std::free(buf);
  if (fd >= 0) ::close(fd);
  return seconds_since(t0);
}

void load(benchmark::State& state, const std::string& path) {
  const auto bytes = static_cast<double>(std::filesystem::file_size(path));
  double load_s = 0, read_s = 0, drawing_mib = 0, extra_mib = 0;
  for (auto _ : state) {
    state.PauseTiming();
    drawing_free();
    main_init_defaults();
    malloc_trim(0);
    const long rss_before = status_kb("VmRSS:");
    read_s += one_read_seconds(path);
    malloc_trim(0);
    reset_peak();
    const auto t0 = std::chrono::steady_clock::now();
    state.ResumeTiming();
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f || kavfile_read_header(f) != KAV_FILE_VERSION) state.SkipWithError("cannot read the drawing");
    kavfile_read_chunks(f, 0);
    std::fclose(f);
    state.PauseTiming();
    load_s += seconds_since(t0);
    if (elem_count() != ELEMENTS) state.SkipWithError("elements lost");
    // What the load freed again goes back, so that the drawing's own memory is left.
    malloc_trim(0);
    const long rss_after = status_kb("VmRSS:"), peak = status_kb("VmHWM:");
    drawing_mib = (rss_after - rss_before) / 1024.0;
    extra_mib = (peak - rss_after) / 1024.0;
    state.ResumeTiming();
  }
  const double n = static_cast<double>(state.iterations());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
  state.counters["file_MB"] = bytes / 1e6;
  state.counters["read_ms"] = 1e3 * read_s / n;
  state.counters["load_per_read"] = load_s / read_s;
  state.counters["drawing_MiB"] = drawing_mib;
  state.counters["peak_over_drawing_MiB"] = extra_mib;
  drawing_free();
}

const int cleanup = std::atexit(remove_files);

void BM_LoadLines(benchmark::State& state) {
  write_drawing(lines_file, "lines", bench_drawings::lines);
  load(state, lines_file);
}
BENCHMARK(BM_LoadLines)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadMixed(benchmark::State& state) {
  write_drawing(mixed_file, "mixed", bench_drawings::mixed);
  load(state, mixed_file);
}
BENCHMARK(BM_LoadMixed)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
