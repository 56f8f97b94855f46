// The GTS import command on two files that once kept the program busy for
// minutes: a flat grid of n x n squares (2 n^2 triangles, one plane; 200 x
// 200 is a file of 2.5 MB) and one triangle repeated n times; and files
// made to find the slow paths. The whole command: reading, joining the
// coplanar triangles, cleaning and repairing the mesh.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "building/gts_tools.h"
#include "building/solid/gts_file.h"
#include "display/outdev.h"
#include "display/view.h"
#include "model/defaults.h"
#include "model/elem.h"
#include "model/layers.h"
#include "model/ui.h"
#include "model/undo.h"
#include "platform/temp_folder.h"

namespace {

std::string grid_file(int n, bool upright, bool jittered = false) {
  std::string text;
  const int points = (n + 1) * (n + 1);
  // Per square: its bottom and left edge and its diagonal; the top row and
  // the right column close the grid.
  const int edges = 3 * n * n + 2 * n;
  text += std::to_string(points) + " " + std::to_string(edges) + " " + std::to_string(2 * n * n) +
          " GtsSurface GtsFace GtsEdge GtsVertex\n";
  char line[128];
  for (int j = 0; j <= n; ++j)
    for (int i = 0; i <= n; ++i) {
      if (upright)
        std::snprintf(line, sizeof line, "%g %g %g\n", (i * 7 + j * 13) % 5 * 0.04, i * 0.5, j * 0.5);
      else if (jittered)
        std::snprintf(line, sizeof line, "%g %g 0\n", i * 0.5 + (i * 7 + j * 3) % 11 * 0.01,
                      j * 0.5 + (i * 5 + j * 13) % 7 * 0.01);
      else
        std::snprintf(line, sizeof line, "%g %g 0\n", i * 0.5, j * 0.5);
      text += line;
    }
  auto p = [n](int i, int j) { return j * (n + 1) + i + 1; };
  int count = 0;
  auto edge = [&](int a, int b) {
    std::snprintf(line, sizeof line, "%d %d\n", a, b);
    text += line;
    return ++count;
  };
  // Edge numbers: bottom (i, j), left (i, j), diagonal (i, j) of each
  // square; the grid's top and right edges after them.
  std::vector<int> bottom((n + 1) * (n + 1)), left((n + 1) * (n + 1)), diagonal(n * n);
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i) {
      bottom[j * (n + 1) + i] = edge(p(i, j), p(i + 1, j));
      left[j * (n + 1) + i] = edge(p(i, j), p(i, j + 1));
      diagonal[j * n + i] = edge(p(i + 1, j), p(i, j + 1));
    }
  for (int i = 0; i < n; ++i) bottom[n * (n + 1) + i] = edge(p(i, n), p(i + 1, n));
  for (int j = 0; j < n; ++j) left[j * (n + 1) + n] = edge(p(n, j), p(n, j + 1));
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i) {
      const int d = diagonal[j * n + i];
      std::snprintf(line, sizeof line, "%d %d %d\n%d %d %d\n", bottom[j * (n + 1) + i], d,
                    left[j * (n + 1) + i], bottom[(j + 1) * (n + 1) + i], d, left[j * (n + 1) + i + 1]);
      text += line;
    }
  return text;
}

std::string repeated_triangle_file(int n) {
  std::string text = "3 3 " + std::to_string(n) + " GtsSurface GtsFace GtsEdge GtsVertex\n";
  text += "0 0 0\n1 0 0\n0 1 0\n1 2\n2 3\n3 1\n";
  for (int k = 0; k < n; ++k) text += "1 2 3\n";
  return text;
}

// n long thin triangles across a box of 100 m and n points that no
// triangle uses, each looked for on the triangles' edges.
std::string points_beside_triangles_file(int n) {
  std::string text = std::to_string(4 * n) + " " + std::to_string(3 * n) + " " + std::to_string(n) +
                     " GtsSurface GtsFace GtsEdge GtsVertex\n";
  uint64_t state = 88172645463325252ull;
  auto next = [&state] {
    state ^= state << 13, state ^= state >> 7, state ^= state << 17;
    return static_cast<double>(state % 1000000) / 10000.0;
  };
  char line[128];
  for (int i = 0; i < 4 * n; ++i) {
    const double x = next(), y = next(), z = next();
    std::snprintf(line, sizeof line, "%.4f %.4f %.4f\n", x, y, z);
    text += line;
  }
  for (int k = 0; k < n; ++k) {
    std::snprintf(line, sizeof line, "%d %d\n%d %d\n%d %d\n", 3 * k + 1, 3 * k + 2, 3 * k + 2, 3 * k + 3,
                  3 * k + 3, 3 * k + 1);
    text += line;
  }
  for (int k = 0; k < n; ++k) {
    std::snprintf(line, sizeof line, "%d %d %d\n", 3 * k + 1, 3 * k + 2, 3 * k + 3);
    text += line;
  }
  return text;
}

// n triangles in one plane that all share one edge: a crowd no surface
// holds, which the joining of coplanar triangles must not look at again
// for every polygon.
std::string triangles_on_one_edge_file(int n) {
  std::string text = std::to_string(n + 2) + " " + std::to_string(2 * n + 1) + " " + std::to_string(n) +
                     " GtsSurface GtsFace GtsEdge GtsVertex\n0 0 0\n1 0 0\n";
  char line[128];
  for (int k = 0; k < n; ++k) {
    std::snprintf(line, sizeof line, "%.6f %.6f 0\n", 0.5 + 0.001 * (k % 997),
                  k % 2 ? 1.0 + k * 1e-4 : -1.0 - k * 1e-4);
    text += line;
  }
  text += "1 2\n";
  for (int k = 0; k < n; ++k) {
    std::snprintf(line, sizeof line, "2 %d\n%d 1\n", k + 3, k + 3);
    text += line;
  }
  for (int k = 0; k < n; ++k) {
    std::snprintf(line, sizeof line, "1 %d %d\n", 2 + 2 * k, 3 + 2 * k);
    text += line;
  }
  return text;
}

std::string chosen;
std::string choose(const char*, const char*, int, const char*) { return chosen; }

// The import command set up on a file of text, as the program runs it: the
// file chooser answers with the file, the result is drawn in the main view,
// and what the reader and the clean-up print is no part of the measure.
class ImportSetup {
 public:
  explicit ImportSetup(const std::string& text) {
    chosen = temp_folder() + "/bench.gts";
    std::ofstream(chosen) << text;
    table_.filesel_choose = choose;
    ui_install(table_);
    main_init_defaults();
    outdev_init_screen_slots();
    view_init(0);
    std::fflush(stdout);
    saved_stdout_ = dup(1);
    quiet_ = open("/dev/null", O_WRONLY);
    dup2(quiet_, 1);
  }
  ~ImportSetup() {
    std::fflush(stdout);
    dup2(saved_stdout_, 1);
    close(saved_stdout_);
    close(quiet_);
    undo_record(UNDO_CLEAR, 0);
    drawing_free();
  }
  ImportSetup(const ImportSetup&) = delete;
  ImportSetup& operator=(const ImportSetup&) = delete;

 private:
  UiTable table_;
  int saved_stdout_ = -1;
  int quiet_ = -1;
};

void import(benchmark::State& state, const std::string& text) {
  ImportSetup setup(text);
  int faces = 0;
  for (auto _ : state) {
    state.PauseTiming();
    undo_record(UNDO_CLEAR, 0);
    drawing_free();
    state.ResumeTiming();
    cmd_p_file_import_gts();
    const auto* m = elem_as<MeshElem>(elem_list_tail);
    faces = m ? m->face_count() : 0;
  }
  state.counters["faces"] = faces;
  state.counters["bytes"] = static_cast<double>(text.size());
}

void BM_ImportFlatGrid(benchmark::State& state) {
  import(state, grid_file(static_cast<int>(state.range(0)), false));
}
BENCHMARK(BM_ImportFlatGrid)->Arg(50)->Arg(200)->Unit(benchmark::kMillisecond);

// The same grid standing upright, its points a few centimetres off one
// plane of x, so that no two triangles join and all points lie within a
// narrow range of x.
void BM_ImportUprightGrid(benchmark::State& state) {
  import(state, grid_file(static_cast<int>(state.range(0)), true));
}
BENCHMARK(BM_ImportUprightGrid)->Arg(200)->Unit(benchmark::kMillisecond);

void BM_ImportRepeatedTriangle(benchmark::State& state) {
  import(state, repeated_triangle_file(static_cast<int>(state.range(0))));
}
BENCHMARK(BM_ImportRepeatedTriangle)->Arg(200)->Arg(2000)->Unit(benchmark::kMillisecond);

}  // namespace

void BM_ImportPointsBesideLongTriangles(benchmark::State& state) {
  import(state, points_beside_triangles_file(static_cast<int>(state.range(0))));
}
BENCHMARK(BM_ImportPointsBesideLongTriangles)->Arg(30000)->Unit(benchmark::kMillisecond);

void BM_ImportTrianglesOnOneEdge(benchmark::State& state) {
  import(state, triangles_on_one_edge_file(static_cast<int>(state.range(0))));
}
BENCHMARK(BM_ImportTrianglesOnOneEdge)->Arg(20000)->Unit(benchmark::kMillisecond);

// The mesh that importing a flat grid with its points a little off the
// lines makes (its triangles joined into faces of thousands of corners),
// written again as GTS: each face split into triangles again.
void BM_WriteJoinedUnevenGrid(benchmark::State& state) {
  ImportSetup setup(grid_file(static_cast<int>(state.range(0)), false, true));
  cmd_p_file_import_gts();
  auto* m = elem_as<MeshElem>(elem_list_tail);
  int corners = 0;
  for (int32_t n : m->face_sizes) corners = std::max(corners, static_cast<int>(n));
  m->mark = 1;
  FILE* out = std::fopen("/dev/null", "w");
  for (auto _ : state) gts_write_marked(out);
  std::fclose(out);
  state.counters["largest face"] = corners;
}
BENCHMARK(BM_WriteJoinedUnevenGrid)->Arg(60)->Unit(benchmark::kMillisecond);
