#pragma once

// The large drawings several benchmarks share, built the same way each time
// (fixed seeds), and the staged stroke fonts for the ones that draw texts.

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>

#include "display/command_buffer.h"
#include "display/draw.h"
#include "display/font.h"
#include "display/input.h"
#include "display/outdev.h"
#include "display/shell_hooks.h"
#include "display/view.h"
#include "display/view_commands.h"
#include "display/wait_script.h"
#include "model/elem.h"
#include "model/layers.h"
#include "model/view_rec.h"

namespace bench_drawings {

// A 3 x 0.3 m wall of 3 m height with its corner at (x, y), on layer 0.
inline void small_wall(double x, double y) {
  const double c[24] = {x, y, 0, x + 3, y, 0, x + 3, y + 0.3, 0, x, y + 0.3, 0,
                        x, y, 3, x + 3, y, 3, x + 3, y + 0.3, 3, x, y + 0.3, 3};
  WallSegment s[4] = {{{x, y, 0}, {x + 3, y, 0}},
                      {{x + 3, y, 0}, {x + 3, y + 0.3, 0}},
                      {{x + 3, y + 0.3, 0}, {x, y + 0.3, 0}},
                      {{x, y + 0.3, 0}, {x, y, 0}}};
  elem_new_wall(0, 0, 0, c, 4, s, 0, nullptr, "", 0, 0, 0, 0, 0, 0, 0);
}

// Element i of a plan scattered at random: at (x, y) every tenth (i % 10
// == 7) a circle of radius(), every tenth (3) a small wall, else a line to
// line_end(). The callables draw from the caller's generator only when
// their element needs them, so each plan keeps its sequence.
template <typename Radius, typename LineEnd>
void scattered(int i, double x, double y, Radius radius, LineEnd line_end) {
  if (i % 10 == 7) {
    const double r = radius();
    elem_new_arc(0, 0, 0, x, y, r, r, 6.283185307179586, 0, 0);
  } else if (i % 10 == 3) {
    small_wall(x, y);
  } else {
    const auto [ex, ey] = line_end();
    elem_new_line(0, 0, 0, x, y, ex, ey);
  }
}

// View 0 as the plan, width x height pixels off screen, zoomed to the
// drawing and drawn.
inline void show_plan(int width, int height) {
  outdev_init_screen_slots();
  cur_view = 0;
  view_init(0);
  view_type = VIEW_PLAN;
  view_offscreen(0, width, height);
  view_zoom_to_extents(0);
  draw_refresh_now = 1;
  draw_all(DRAW_CLEAR);
}

// n lines of 0.5 to 4 m on a square of about 3 m per line.
inline void lines(int n) {
  std::mt19937 rng(42);
  const double side = std::sqrt(3.0 * n);
  std::uniform_real_distribution<double> pos(0.0, side), len(0.5, 4.0), turn(0.0, 6.283185307179586);
  for (int i = 0; i < n; ++i) {
    const double x = pos(rng), y = pos(rng), a = turn(rng), l = len(rng);
    elem_new_line(i % 20, i % 8, 0, x, y, x + l * std::cos(a), y + l * std::sin(a));
  }
}

// How many of each kind one block of the mixed site plan holds; the rest
// of its 100 elements are 3 rooms, 5 chain dimensions of 3 entries, 3
// hatches and 3 meshes.
struct Mix {
  int walls = 7;  // at most 8
  int texts = 14;
  int arcs = 12;
  int splines = 6;
  int lines3d = 6;
  int lights = 1;
  // A camera of its own in every block, beside the 40 lines; otherwise one
  // in ten blocks gives a line to a camera.
  bool camera_each_block = false;
  int lines = 40;
  // Ellipses, turned ones and ellipse arcs, after the arcs and circles.
  int ellipses = 0;
};

// An architect's site plan of n elements of all twelve kinds (n a multiple
// of 100): square blocks of 20 m, each a small building of 100 elements,
// side by side. Per block by default: 7 walls with an opening each, 3
// rooms, 5 chain dimensions of 3 entries, 14 texts, 3 hatches, 12 arcs and
// circles, 6 Bezier curves, 6 3D lines, 3 meshes, a light, and 40 lines of
// which one in ten blocks gives one to a camera. About 146 bytes an element
// on file. The blocks lie on 40 layers, all shown.
inline void mixed(int n, const Mix& mix) {
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
    for (int k = 0; k < mix.walls && k < 8; ++k) {
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
    for (int k = 0; k < mix.texts; ++k) {
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
    for (int k = 0; k < mix.arcs; ++k) {
      const double x = bx + 4 + 12.0 * u(rng), y = by + 5 + 8.0 * u(rng);
      if (k % 2)
        elem_new_arc(layer, 5, 0, x, y, 0.9, 0.9, 1.5707963267948966, 0, 0);
      else
        elem_new_arc(layer, 5, 0, x, y, 0.4, 0.4, 6.283185307179586, 0, 0);
    }
    // Ellipses: oval tables, turned, and the arcs of bay windows.
    for (int k = 0; k < mix.ellipses; ++k) {
      const double x = bx + 4 + 12.0 * u(rng), y = by + 5 + 8.0 * u(rng), turn = 3.14159 * u(rng);
      if (k % 2)
        elem_new_arc(layer, 5, 0, x, y, 1.2, 0.5, 3.0, 1.6, turn);
      else
        elem_new_arc(layer, 5, 0, x, y, 0.8, 0.45, 6.283185307179586, 0, turn);
    }
    // Bezier curves: garden paths.
    for (int k = 0; k < mix.splines; ++k) {
      const double x = bx + 3.0 * k, y = by + 0.5;
      elem_new_spline(layer, 6, 0, x, y, x + 1, y + 2, x + 2, y - 1, x + 3, y + 0.5);
    }
    // 3D lines: the roof ridge and its slopes.
    for (int k = 0; k < mix.lines3d; ++k)
      elem_new_line3d(layer, 7, 0, bx + 3 + 2.0 * k, by + 4, 2.7, bx + 3 + 2.0 * k, by + 9, 5.0);
    // Meshes: boxes of furniture.
    for (int k = 0; k < 3; ++k) {
      const double x = bx + 11 + 2.0 * k, y = by + 12;
      Point3 v[8];
      for (int q = 0; q < 8; ++q) v[q] = {x + (q & 1), y + ((q >> 1) & 1) * 0.6, 0.8 * ((q >> 2) & 1), 0};
      elem_new_mesh(layer, 7, 0, 8, 6, cube_sizes, v, cube_idx, "Wood", 0);
    }
    // Lights 4 m apart about the middle.
    for (int k = 0; k < mix.lights; ++k) {
      const double x = bx + 10 + 4.0 * (k - (mix.lights - 1) / 2.0);
      elem_new_light(layer, 0, 0, LIGHT_POINT, 0, 0.5, 30, 0, x, by + 9, 2.4, x, by + 9, 0, 1, 1, 1);
    }
    if (mix.camera_each_block) elem_new_camera(layer, 0, 0, bx - 5, by - 5, 1.6, bx + 10, by + 9, 1.6, 60, 0);
    // Lines: furniture, kerbs and the plot's fence.
    for (int k = 0; k < mix.lines; ++k) {
      if (!mix.camera_each_block && k == 0 && b % 10 == 0) {
        elem_new_camera(layer, 0, 0, bx - 5, by - 5, 1.6, bx + 10, by + 9, 1.6, 60, 0);
        continue;
      }
      const double x = bx + 20.0 * u(rng), y = by + 20.0 * u(rng), a = 6.283185307179586 * u(rng);
      const double l = 0.5 + 2.5 * u(rng);
      elem_new_line(layer, k % 8, k % 5 == 0 ? 1 : 0, x, y, x + l * std::cos(a), y + l * std::sin(a));
    }
  }
}

inline void mixed(int n) { mixed(n, Mix{}); }

// Points the stroke fonts at the staged installation of this build.
inline void use_staged_fonts() { font_stroke_dir = std::string(KAVRO_BENCH_STAGE_DIR) + "/dat/fonts"; }

// The scripted wait backend in place for a benchmark's tools, as long as
// this lives: command keys go to the command buffer, the z_ keys of the
// tool pages to dispatch_z where one is given.
struct Scripted {
  ScriptedWait script;
  WaitBackend* previous = nullptr;
  explicit Scripted(void (*dispatch_z)(const char*) = nullptr) {
    ShellHooks h;
    h.cmd_post_key = [](void*, const char* key) { cmd_put_key(key); };
    if (dispatch_z) h.cmd_dispatch_z = dispatch_z;
    shell_hooks_install(h);
    input_install_script_targets();
    previous = wait_set_backend(&script);
  }
  ~Scripted() { wait_set_backend(previous); }
};

}  // namespace bench_drawings
