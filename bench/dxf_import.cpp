// Importing DXF files: 1,000,000 LINE entities (R12, about 120 MB), a
// small file of about 1 KB and a
// mixed architectural file of 200,000 entities (lines, arcs, circles,
// bulged polylines, texts, 2,000 block inserts, hatches); and the first of
// them turned into a PDF. Each is written
// once into the temporary folder. Reported beside the time: the ratio to a
// plain read of the same file in large blocks, and the process's peak
// memory.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "display/outdev.h"
#include "display/view.h"
#include "exchange/dxf_reader.h"
#include "exchange/pdf_writer.h"
#include "model/defaults.h"
#include "model/elem.h"
#include "model/layers.h"
#include "model/undo.h"

namespace {

namespace fs = std::filesystem;

struct File {
  fs::path path;
  explicit File(const char* name) : path(fs::temp_directory_path() / name) {}
  ~File() {
    std::error_code ec;
    fs::remove(path, ec);
  }
};

void tables(std::FILE* f) {
  std::fputs("  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1009\n  0\nENDSEC\n", f);
  std::fputs("  0\nSECTION\n  2\nTABLES\n  0\nTABLE\n  2\nLAYER\n 70\n10\n", f);
  for (int i = 0; i < 10; ++i)
    std::fprintf(f, "  0\nLAYER\n  2\nL%d\n 70\n0\n 62\n%d\n  6\nCONTINUOUS\n", i, i + 1);
  std::fputs("  0\nENDTAB\n  0\nENDSEC\n", f);
}

const File& lines_file() {
  static const File file = [] {
    File out("kavro-bench-lines.dxf");
    std::FILE* f = std::fopen(out.path.c_str(), "w");
    tables(f);
    std::fputs("  0\nSECTION\n  2\nENTITIES\n", f);
    for (int i = 0; i < 1000000; ++i) {
      const double x = (i % 1000) * 1.25, y = (i / 1000) * 0.75;
      std::fprintf(
          f,
          "  0\nLINE\n  8\nL%d\n  6\nBYLAYER\n 62\n256\n 10\n%.10f\n 20\n%.10f\n 30\n0.0\n 11\n%.10f\n 21\n"
          "%.10f\n 31\n0.0\n",
          i % 10, x, y, x + 1.0625, y + 0.5);
    }
    std::fputs("  0\nENDSEC\n  0\nEOF\n", f);
    std::fclose(f);
    return out;
  }();
  return file;
}

const File& mixed_file() {
  static const File file = [] {
    File out("kavro-bench-mixed.dxf");
    std::FILE* f = std::fopen(out.path.c_str(), "w");
    tables(f);
    std::fputs("  0\nSECTION\n  2\nBLOCKS\n", f);
    for (int b = 0; b < 4; ++b) {
      std::fprintf(f, "  0\nBLOCK\n  8\n0\n  2\nDOOR%d\n 70\n0\n 10\n0.0\n 20\n0.0\n 30\n0.0\n", b);
      std::fputs("  0\nLINE\n  8\n0\n 10\n0.0\n 20\n0.0\n 11\n0.0\n 21\n0.9\n", f);
      std::fputs("  0\nARC\n  8\n0\n 10\n0.0\n 20\n0.0\n 40\n0.9\n 50\n0.0\n 51\n90.0\n", f);
      std::fputs("  0\nLINE\n  8\n0\n 10\n-0.1\n 20\n0.0\n 11\n1.0\n 21\n0.0\n", f);
      std::fputs("  0\nENDBLK\n  8\n0\n", f);
    }
    std::fputs("  0\nENDSEC\n  0\nSECTION\n  2\nENTITIES\n", f);
    int n = 0;
    for (int i = 0; n < 200000; ++i) {
      const double x = (i % 300) * 4.0, y = (i / 300) * 3.0;
      const int layer = i % 10;
      switch (i % 10) {
        case 0:
        case 1:
        case 2:
        case 3:
          std::fprintf(f, "  0\nLINE\n  8\nL%d\n 10\n%.3f\n 20\n%.3f\n 11\n%.3f\n 21\n%.3f\n", layer, x, y,
                       x + 3.5, y + 0.25);
          break;
        case 4:
          std::fprintf(f, "  0\nARC\n  8\nL%d\n 10\n%.3f\n 20\n%.3f\n 40\n0.8\n 50\n15.0\n 51\n165.0\n",
                       layer, x, y);
          break;
        case 5:
          std::fprintf(f, "  0\nCIRCLE\n  8\nL%d\n 10\n%.3f\n 20\n%.3f\n 40\n0.3\n", layer, x, y);
          break;
        case 6:
          std::fprintf(
              f,
              "  0\nLWPOLYLINE\n  8\nL%d\n 90\n4\n 70\n1\n 10\n%.3f\n 20\n%.3f\n 42\n0.4\n 10\n%.3f\n 20\n"
              "%.3f\n 10\n%.3f\n 20\n%.3f\n 42\n-0.25\n 10\n%.3f\n 20\n%.3f\n",
              layer, x, y, x + 2, y, x + 2, y + 1.5, x, y + 1.5);
          break;
        case 7:
          std::fprintf(f, "  0\nTEXT\n  8\nL%d\n 10\n%.3f\n 20\n%.3f\n 40\n0.25\n  1\nRoom %d %%%%c12\n",
                       layer, x, y, i);
          break;
        case 8:
          if (i % 100 == 8) {
            std::fprintf(f,
                         "  0\nHATCH\n  8\nL%d\n  2\nSOLID\n 70\n1\n 91\n1\n 92\n2\n 72\n1\n 73\n1\n 93\n4\n "
                         "10\n%.3f\n"
                         " 20\n%.3f\n 10\n%.3f\n 20\n%.3f\n 42\n0.5\n 10\n%.3f\n 20\n%.3f\n 10\n%.3f\n "
                         "20\n%.3f\n 97\n0\n"
                         " 75\n0\n 76\n1\n 98\n0\n",
                         layer, x, y, x + 1, y, x + 1, y + 1, x, y + 1);
          } else {
            std::fprintf(f, "  0\nLINE\n  8\nL%d\n 10\n%.3f\n 20\n%.3f\n 11\n%.3f\n 21\n%.3f\n", layer, x, y,
                         x, y + 2.0);
          }
          break;
        default:
          if (i % 100 == 9) {
            std::fprintf(f, "  0\nINSERT\n  8\nL%d\n  2\nDOOR%d\n 10\n%.3f\n 20\n%.3f\n 41\n%s\n 50\n90.0\n",
                         layer, (i / 100) % 4, x, y, (i / 100) % 2 ? "-1.0" : "1.0");
          } else {
            std::fprintf(f, "  0\nPOINT\n  8\nL%d\n 10\n%.3f\n 20\n%.3f\n", layer, x, y);
          }
          break;
      }
      ++n;
    }
    std::fputs("  0\nENDSEC\n  0\nEOF\n", f);
    std::fclose(f);
    return out;
  }();
  return file;
}

// About 1 KB: a header, a line, a circle, a polyline and a text, as small
// drawings and symbols come.
const File& small_file() {
  static const File file = [] {
    File out("kavro-bench-small.dxf");
    std::FILE* f = std::fopen(out.path.c_str(), "w");
    std::fputs(
        "  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1009\n  9\n$EXTMIN\n 10\n0.0\n 20\n0.0\n"
        "  9\n$EXTMAX\n 10\n10.0\n 20\n10.0\n  0\nENDSEC\n",
        f);
    std::fputs("  0\nSECTION\n  2\nENTITIES\n", f);
    std::fputs("  0\nLINE\n  8\n0\n 10\n0.0\n 20\n0.0\n 30\n0.0\n 11\n10.0\n 21\n10.0\n 31\n0.0\n", f);
    std::fputs("  0\nCIRCLE\n  8\n0\n 10\n5.0\n 20\n5.0\n 30\n0.0\n 40\n2.5\n", f);
    std::fputs(
        "  0\nLWPOLYLINE\n  8\n0\n 90\n4\n 70\n1\n 10\n1.0\n 20\n1.0\n 10\n9.0\n 20\n1.0\n 42\n0.5\n"
        " 10\n9.0\n 20\n9.0\n 10\n1.0\n 20\n9.0\n",
        f);
    std::fputs("  0\nTEXT\n  8\n0\n 10\n2.0\n 20\n2.0\n 30\n0.0\n 40\n0.5\n  1\nA small drawing\n", f);
    std::fputs("  0\nENDSEC\n  0\nEOF\n", f);
    std::fclose(f);
    return out;
  }();
  return file;
}

double peak_mib() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss / 1024.0;
}

// Seconds to read the file in 1 MiB blocks, the best of three.
double plain_read_seconds(const fs::path& path) {
  std::vector<char> buf(std::size_t{1} << 20);
  double best = 1e9;
  for (int k = 0; k < 3; ++k) {
    const auto t0 = std::chrono::steady_clock::now();
    std::ifstream in(path, std::ios::binary);
    std::size_t sum = 0;
    while (in.read(buf.data(), static_cast<std::streamsize>(buf.size())) || in.gcount() > 0)
      sum += static_cast<std::size_t>(in.gcount()) + static_cast<unsigned char>(buf[0]);
    benchmark::DoNotOptimize(sum);
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
  }
  return best;
}

void import_file(benchmark::State& state, const File& file) {
  main_init_defaults();
  const double plain = plain_read_seconds(file.path);
  double total = 0.0;
  int64_t made = 0;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    std::ifstream in(file.path, std::ios::binary);
    DxfImport r = dxf_read(in, dxf_import_options());
    made = dxf_import_commit(r);
    total += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    state.PauseTiming();
    if (r.error != DxfError::NONE) state.SkipWithError("the file was refused");
    undo_record(UNDO_CLEAR, 0);
    drawing_free();
    drawing_init();
    state.ResumeTiming();
  }
  const double seconds = total / static_cast<double>(state.iterations());
  state.counters["seconds"] = seconds;
  state.counters["elements"] = static_cast<double>(made);
  state.counters["plain_read_s"] = plain;
  state.counters["ratio_to_read"] = seconds / plain;
  state.counters["peak_MiB"] = peak_mib();
  state.SetBytesProcessed(static_cast<int64_t>(fs::file_size(file.path)) * state.iterations());
}

void BM_DxfImportMillionLines(benchmark::State& state) { import_file(state, lines_file()); }
BENCHMARK(BM_DxfImportMillionLines)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_DxfImportMixedPlan(benchmark::State& state) { import_file(state, mixed_file()); }
BENCHMARK(BM_DxfImportMixedPlan)->Unit(benchmark::kMillisecond)->Iterations(3);

// A small file costs what its few lines cost, not a large buffer's making.
void BM_DxfImportSmallFile(benchmark::State& state) { import_file(state, small_file()); }
BENCHMARK(BM_DxfImportSmallFile)->Unit(benchmark::kMicrosecond)->Iterations(200);

// The whole conversion of the 1,000,000-line DXF to PDF: import, then the
// PDF of every element, to a file that discards its bytes.
void BM_DxfImportThenPdf(benchmark::State& state) {
  main_init_defaults();
  outdev_init_screen_slots();
  view_init(0);
  const File& file = lines_file();
  std::FILE* sink = std::fopen("/dev/null", "wb");
  double total = 0.0;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    std::ifstream in(file.path, std::ios::binary);
    DxfImport r = dxf_read(in, dxf_import_options());
    dxf_import_commit(r);
    for (ElemHeader* e = elem_list_head; e; e = e->next) e->mark = 1;
    if (!pdf_write(sink, pdf_job(false))) state.SkipWithError("the PDF could not be written");
    total += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    state.PauseTiming();
    if (r.error != DxfError::NONE) state.SkipWithError("the file was refused");
    undo_record(UNDO_CLEAR, 0);
    drawing_free();
    drawing_init();
    state.ResumeTiming();
  }
  std::fclose(sink);
  state.counters["seconds"] = total / static_cast<double>(state.iterations());
}
BENCHMARK(BM_DxfImportThenPdf)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
