// Writing the 2D exports (PDF, SVG, EPS) of a mixed site plan of 1,000,000
// elements, everything marked, to a file that counts and discards its
// bytes: the size of each file and the time it takes. With
// KAVRO_BENCH_KEEP=<folder> the files are written there as well, to be
// rendered by the outside tools.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
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

// A site plan of n elements (n a multiple of 100) in blocks of 20 m, each a
// small building of 100 elements: 40 lines, 15 arcs and circles, 10 texts,
// 5 chain dimensions of 3 entries, 8 walls with an opening each, 3 hatches,
// 4 Bezier curves, 5 3D lines, 3 meshes, a camera, 3 rooms and 3 lights,
// on 40 layers, all shown.
void export_mix(int n) {
  for (int l = 0; l < 40; ++l) layers[l].shown = 1;
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> u(0.0, 1.0);
  const int blocks = n / 100;
  const int side = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(blocks))));
  TextElem text;
  text.font = "Simpel";
  text.height = 2.5;
  text.width_factor = 1.0;
  text.spacing = 0.1;
  text.line_spacing = 1.5;
  const int32_t cube_sizes[6] = {4, 4, 4, 4, 4, 4};
  const int32_t cube_idx[24] = {0, 1, 3, 2, 4, 6, 7, 5, 0, 4, 5, 1, 2, 3, 7, 6, 0, 2, 6, 4, 1, 5, 7, 3};
  for (int b = 0; b < blocks; ++b) {
    const double bx = 20.0 * (b % side), by = 20.0 * (b / side);
    const int layer = b % 40;
    // Walls: the outline of a 14 x 10 m house and three inner walls.
    const double wx[8][4] = {{3, 4, 17, 4},   {17, 4, 17, 14}, {17, 14, 3, 14},  {3, 14, 3, 4},
                             {10, 4, 10, 14}, {3, 9, 10, 9},   {10, 11, 17, 11}, {13.5, 4, 13.5, 11}};
    for (int k = 0; k < 8; ++k) {
      const double x1 = bx + wx[k][0], y1 = by + wx[k][1], x2 = bx + wx[k][2], y2 = by + wx[k][3];
      const double dx = x2 - x1, dy = y2 - y1, l = std::hypot(dx, dy);
      const double nx = -dy / l * 0.3, ny = dx / l * 0.3;
      const double c[24] = {x1, y1, 0,   x2, y2, 0,   x2 + nx, y2 + ny, 0,   x1 + nx, y1 + ny, 0,
                            x1, y1, 2.7, x2, y2, 2.7, x2 + nx, y2 + ny, 2.7, x1 + nx, y1 + ny, 2.7};
      WallSegment seg[4] = {{{x1, y1, 0}, {x2, y2, 0}},
                            {{x2, y2, 0}, {x2 + nx, y2 + ny, 0}},
                            {{x2 + nx, y2 + ny, 0}, {x1 + nx, y1 + ny, 0}},
                            {{x1 + nx, y1 + ny, 0}, {x1, y1, 0}}};
      WallOpening op[1];
      const double t0 = 0.3 + 0.2 * u(rng), t1 = t0 + 1.0 / l;
      const double ox0 = x1 + dx * t0, oy0 = y1 + dy * t0, ox1 = x1 + dx * t1, oy1 = y1 + dy * t1;
      const Point3 base[4] = {
          {ox0, oy0, 0, 0}, {ox1, oy1, 0, 0}, {ox1 + nx, oy1 + ny, 0, 0}, {ox0 + nx, oy0 + ny, 0, 0}};
      op[0].kind = k < 4 ? OPENING_WINDOW : OPENING_DOOR;
      op[0].sill = k < 4 ? 0.9 : 0.0;
      op[0].height = k < 4 ? 1.26 : 2.01;
      for (int q = 0; q < 8; ++q) {
        op[0].corner[q] = base[q % 4];
        op[0].corner[q].z = op[0].sill + (q < 4 ? 0.0 : op[0].height);
      }
      elem_new_wall(layer, 3, 0, c, 4, seg, 1, op, "Brick", 0, 0, 0, 0, 0, 0, 0);
    }
    // Rooms: the three spaces the inner walls leave.
    const double rooms[3][4] = {{3.3, 4.3, 10, 9}, {3.3, 9.3, 10, 14}, {10.3, 4.3, 17, 11}};
    for (const auto& r : rooms) {
      Point2 p[5] = {{bx + r[0], by + r[1], 0},
                     {bx + r[2], by + r[1], 0},
                     {bx + r[2], by + r[3], 0},
                     {bx + r[0], by + r[3], 0},
                     CONTOUR_END};
      elem_new_room(layer, 1, 0, bx + (r[0] + r[2]) / 2, by + (r[1] + r[3]) / 2, "Simpel", 0, 2.5, 1, 0.1,
                    1.5, "Living", std::to_string(b % 1000), 1, 0, 2.6, 1, 0, 1, 1, 5, p);
    }
    // Dimensions along the outline.
    for (int k = 0; k < 5; ++k) {
      DimPoint p[3];
      const double y = by + 1.0 + 0.4 * k;
      const double xs[3] = {bx + 3, bx + 10, bx + 17};
      for (int q = 0; q < 3; ++q) {
        p[q].line_point = {xs[q], y, 0};
        p[q].measured = {xs[q], by + 4, 0};
        p[q].segment_length = q == 0 ? 0 : xs[q] - xs[q - 1];
      }
      elem_new_dim(layer, 2, 0, 2, 0, 0, 2.5, 1, 0.1, 0.5, 1, "Simpel", DIM_FORMAT_ARCHITECTURE,
                   DIM_MARK_LINE, DIM_CHAIN, 3, p);
    }
    // Texts: room names, notes and labels.
    for (int k = 0; k < 10; ++k) {
      text.layer = static_cast<uint16_t>(layer);
      text.pen = 1;
      text.pos = Point2{bx + 3.5 + 13.0 * u(rng), by + 4.5 + 9.0 * u(rng), 0};
      text.angle = k % 5 == 0 ? 1.5707963267948966 : 0.0;
      text.alignment = static_cast<uint8_t>(k % 3);
      text.text = "Block " + std::to_string(b) + " note " + std::to_string(k);
      elem_append(text);
    }
    // Hatches: the wall cross-section of a chimney, a terrace and a garden bed.
    for (int k = 0; k < 3; ++k) {
      const double x = bx + 1 + 6.0 * k, y = by + 15.5;
      Point2 p[9] = {{x, y, 0},         {x + 4, y, 0},       {x + 4, y + 2, 0},
                     {x + 2, y + 2, 0}, {x + 2, y + 3.5, 0}, {x, y + 3.5, 0},
                     {x, y, 0},         CONTOUR_END,         CONTOUR_END};
      elem_new_pattern(layer, 4, 0, x, y, 0.785, 0.25, 4, 0, x, y, 2.356, 0.25, 8, p, 0.8, 0.8, 0.8,
                       k == 2 ? PATTERN_TWO_LINES : PATTERN_ONE_LINE);
    }
    // Arcs: door swings and round tables.
    for (int k = 0; k < 15; ++k) {
      const double x = bx + 4 + 12.0 * u(rng), y = by + 5 + 8.0 * u(rng);
      if (k % 2)
        elem_new_arc(layer, 5, 0, x, y, 0.9, 0.9, 1.5707963267948966, 0, 0);
      else
        elem_new_arc(layer, 5, 0, x, y, 0.4, 0.4, 6.283185307179586, 0, 0);
    }
    // Bezier curves: garden paths.
    for (int k = 0; k < 4; ++k) {
      const double x = bx + 3.0 * k, y = by + 0.5;
      elem_new_spline(layer, 6, 0, x, y, x + 1, y + 2, x + 2, y - 1, x + 3, y + 0.5);
    }
    // 3D lines: the roof ridge and its slopes.
    for (int k = 0; k < 5; ++k)
      elem_new_line3d(layer, 7, 0, bx + 3 + 2.0 * k, by + 4, 2.7, bx + 3 + 2.0 * k, by + 9, 5.0);
    // Meshes: boxes of furniture.
    for (int k = 0; k < 3; ++k) {
      const double x = bx + 11 + 2.0 * k, y = by + 12;
      Point3 v[8];
      for (int q = 0; q < 8; ++q) v[q] = {x + (q & 1), y + ((q >> 1) & 1) * 0.6, 0.8 * ((q >> 2) & 1), 0};
      elem_new_mesh(layer, 7, 0, 8, 6, cube_sizes, v, cube_idx, "Wood", 0);
    }
    for (int k = 0; k < 3; ++k)
      elem_new_light(layer, 0, 0, LIGHT_POINT, 0, 0.5, 30, 0, bx + 6 + 4.0 * k, by + 9, 2.4, bx + 6 + 4.0 * k,
                     by + 9, 0, 1, 1, 1);
    elem_new_camera(layer, 0, 0, bx - 5, by - 5, 1.6, bx + 10, by + 9, 1.6, 60, 0);
    // Lines: furniture, kerbs and the plot's fence.
    for (int k = 0; k < 40; ++k) {
      const double x = bx + 20.0 * u(rng), y = by + 20.0 * u(rng), a = 6.283185307179586 * u(rng);
      const double l = 0.5 + 2.5 * u(rng);
      elem_new_line(layer, k % 8, k % 5 == 0 ? 1 : 0, x, y, x + l * std::cos(a), y + l * std::sin(a));
    }
  }
}

bool built = false;
void build() {
  if (built) return;
  built = true;
  main_init_defaults();
  outdev_init_screen_slots();
  view_init(0);
  bench_drawings::use_staged_fonts();
  export_mix(ELEMENTS);
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
