// The union of two spheres of about 100,000 triangles each through the
// mesh boolean tool: writing the operands, the tool, reading the parts
// back, joining, the clean-up steps and the checks of the result.
#include "building/solid/mesh_boolean.h"

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "building/solid/solid_mesh.h"
#include "model/elem.h"
#include "model/layers.h"
#include "model/ui.h"
#include "model/undo.h"
#include "platform/temp_folder.h"

namespace {

// Metres, as an architect draws: faces under a square centimetre count as
// degenerate where the operands are written.
//
// A sphere of rings x segments quads, split into triangles, the two poles
// fanned: 2 segments (rings - 1) triangles.
SolidMesh sphere(Point3 c, double r, int rings, int segments) {
  SolidMesh m;
  m.vertices.push_back({c.x, c.y, c.z - r, 0});
  for (int i = 1; i < rings; ++i) {
    const double phi = M_PI * i / rings - M_PI / 2;
    for (int j = 0; j < segments; ++j) {
      const double theta = 2 * M_PI * j / segments;
      m.vertices.push_back({c.x + r * std::cos(phi) * std::cos(theta),
                            c.y + r * std::cos(phi) * std::sin(theta), c.z + r * std::sin(phi), 0});
    }
  }
  m.vertices.push_back({c.x, c.y, c.z + r, 0});
  const int top = m.vertex_count() - 1;
  auto at = [segments](int ring, int j) { return 1 + (ring - 1) * segments + (j % segments); };
  auto tri = [&m](int a, int b, int d) {
    m.face_sizes.push_back(3);
    m.indices.insert(m.indices.end(), {a, b, d});
  };
  for (int j = 0; j < segments; ++j) {
    tri(0, at(1, j), at(1, j + 1));
    tri(top, at(rings - 1, j + 1), at(rings - 1, j));
    for (int i = 1; i + 1 < rings; ++i) {
      tri(at(i, j), at(i + 1, j), at(i + 1, j + 1));
      tri(at(i, j), at(i + 1, j + 1), at(i, j + 1));
    }
  }
  solid_wind_outward(m);
  return m;
}

std::string said;
void keep(const char* text) { said = text; }
void keep_message(const char*, const char* text) { said = text; }

ElemHeader* add(SolidMesh s) {
  elem_new_mesh(0, 1, 1, s.vertex_count(), s.face_count(), s.face_sizes.data(), s.vertices.data(),
                s.indices.data(), "Default", 0);
  return elem_list_tail;
}

void BM_UnionOfTwoSpheres(benchmark::State& state) {
  mesh_boolean_tool = KAVRO_BENCH_GTS_BSO;
  UiTable table;
  table.msgbox_error = keep;
  table.msgbox_message = keep_message;
  ui_install(table);
  const SolidMesh a = sphere({0, 0, 0, 0}, 10.0, 224, 224);
  const SolidMesh b = sphere({7, 3, 2, 0}, 9.0, 224, 224);
  // What the clean-up steps print is no part of the measure.
  std::fflush(stdout);
  const int saved_stdout = dup(1);
  const int quiet = open("/dev/null", O_WRONLY);
  dup2(quiet, 1);
  int made = 0;
  for (auto _ : state) {
    state.PauseTiming();
    undo_record(UNDO_CLEAR, 0);
    drawing_free();
    ElemHeader* first = add(a);
    ElemHeader* second = add(b);
    state.ResumeTiming();
    made = mesh_boolean(MESH_BOOLEAN_UNION, first, second, temp_folder());
  }
  std::fflush(stdout);
  dup2(saved_stdout, 1);
  close(saved_stdout);
  close(quiet);
  state.counters["triangles"] = static_cast<double>(a.face_count() + b.face_count());
  state.counters["made"] = made;
  // A refused result still finishes; the label says which it was.
  state.SetLabel(made ? "a result" : "no result: " + said);
  undo_record(UNDO_CLEAR, 0);
  drawing_free();
}
BENCHMARK(BM_UnionOfTwoSpheres)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
