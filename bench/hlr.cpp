// Hidden-line rendering in an isometric view: a terrain grid of 200 x 200
// points (79,202 triangles) within 3 s, and a house of 40 walls with two
// windows each within 0.3 s, collection of the faces included; the same
// house with floor slabs that pass into its walls, columns through the
// slabs and a ball on the roof, where solids meet.
#include "building/solid/hlr.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "building/solid/solid_mesh.h"
#include "building/solid/wall_mesh.h"
#include "model/elem.h"
#include "model/geom.h"
#include "model/settings.h"
#include "model/view_rec.h"
#include "model/wall_outline.h"

namespace {

class CountingSink : public HlrSink {
 public:
  bool clip(HlrLine&) override { return true; }
  void line_new(const HlrLine&) override {}
  void line_extend(double, double) override {}
};

struct Meshes {
  std::vector<std::vector<Point3>> vertices;
  std::vector<std::vector<int32_t>> sizes, indices;
  std::vector<HlrMeshInput> inputs() const {
    std::vector<HlrMeshInput> in;
    for (size_t i = 0; i < vertices.size(); ++i) in.push_back({&vertices[i], &sizes[i], &indices[i], 1, 0});
    return in;
  }
};

// Steep hills on a 1 m grid, so that slopes hide each other, triangles clockwise from above.
Meshes terrain(int n) {
  Meshes m;
  m.vertices.emplace_back();
  m.sizes.emplace_back();
  m.indices.emplace_back();
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i)
      m.vertices[0].push_back(
          {double(i), double(j),
           8 * std::sin(i * 0.15) * std::cos(j * 0.12) + 0.5 * std::sin(i * 0.3 + j * 0.2), 0});
  for (int j = 0; j + 1 < n; ++j)
    for (int i = 0; i + 1 < n; ++i) {
      const int a = j * n + i, b = a + 1, c = a + n, d = c + 1;
      m.sizes[0].insert(m.sizes[0].end(), {3, 3});
      m.indices[0].insert(m.indices[0].end(), {a, c, d, a, d, b});
    }
  return m;
}

WallElem* wall(double x0, double y0, double x1, double y1, double z) {
  wall_corners_from_axis(x0, y0, x1, y1, 0.15);
  double c[24];
  for (int i = 0; i < 4; ++i) {
    c[3 * i] = c[3 * (i + 4)] = wall_corner_bank[2 * i];
    c[3 * i + 1] = c[3 * (i + 4) + 1] = wall_corner_bank[2 * i + 1];
    c[3 * i + 2] = z;
    c[3 * (i + 4) + 2] = z + 2.75;
  }
  WallSegment quad[4];
  wall_outline_quad(c[0], c[1], c[3], c[4], c[6], c[7], c[9], c[10], quad);
  elem_new_wall(0, 1, 0, c, 4, quad, 0, nullptr, "brick", 0, 0, 0, 0, 0, 0, 0);
  return elem_as<WallElem>(elem_list_tail);
}

// Cuts a window from a to b along the x axis of a wall running along x.
WallElem* window(WallElem* w, double a, double b) {
  const double y0 = w->corner[0].y, y1 = w->corner[3].y, z0 = w->corner[0].z + 0.9, z1 = z0 + 1.3;
  const Point2 p[4] = {{a, y0, 0}, {b, y0, 0}, {b, y1, 0}, {a, y1, 0}};
  Point3 box[8];
  for (int i = 0; i < 4; ++i) {
    box[i] = {p[i].x, p[i].y, z0, 0};
    box[i + 4] = {p[i].x, p[i].y, z1, 0};
  }
  WallElem* n = opening_cut_wall(box, OPENING_WINDOW, 1, 0.9, 1.3, 0.05, 0.1, 0, w);
  if (n != w) {
    w->mark = 1;
    elem_purge_marked();
  }
  return n;
}

// Five storeys of eight walls along x, each 6 m long with two windows, as
// the meshes the renderer collects from walls.
Meshes house() {
  for (int storey = 0; storey < 5; ++storey)
    for (int k = 0; k < 8; ++k) {
      const double x = (k % 2) * 6.0, y = (k / 2) * 4.0, z = storey * 3.0;
      WallElem* w = wall(x, y, x + 6, y, z);
      w = window(w, x + 1, x + 2.2);
      window(w, x + 3.5, x + 4.7);
    }
  Meshes m;
  for (ElemHeader* e = elem_list_head; e; e = e->next) {
    if (auto* w = elem_as<WallElem>(e)) w->mark = 1;
  }
  wall_marked_to_temp_meshes();
  for (ElemHeader* e = elem_list_head; e; e = e->next) {
    if (e->layer != LAYER_TEMP_3D) continue;
    if (auto* mesh = elem_as<MeshElem>(e)) {
      m.vertices.push_back(mesh->vertices);
      m.sizes.push_back(mesh->face_sizes);
      m.indices.push_back(mesh->indices);
    }
  }
  wall_temp_meshes_drop();
  return m;
}

void add(Meshes& m, const SolidMesh& s) {
  m.vertices.push_back(s.vertices);
  m.sizes.push_back(s.face_sizes);
  m.indices.push_back(s.indices);
}

// The house with a slab under each storey's ceiling that reaches into the
// walls, four columns of 16 sides through all slabs and a ball on the
// roof.
Meshes house_with_slabs() {
  Meshes m = house();
  for (int storey = 0; storey < 5; ++storey)
    add(m, solid_cuboid(-0.5, -0.5, 12.5, 12.5, storey * 3.0 + 2.6, storey * 3.0 + 2.9));
  for (double x : {3.0, 9.0})
    for (double y : {2.0, 10.0}) add(m, solid_frustum({x, y, 0, 0}, {x, y, 15, 0}, 0.2, 0.2, 16));
  add(m, solid_sphere({6, 6, 15.5, 0}, 0.8));
  return m;
}

HlrUvd iso(const Point3& p) {
  view_project(p.x, p.y, p.z);
  return {geo_result.view_u, geo_result.view_v, geo_result.view_depth};
}

void render(benchmark::State& state, const Meshes& meshes) {
  view_type = VIEW_ISO_FRONT_LEFT;
  HlrCounts counts;
  for (auto _ : state) {
    HlrScene scene = hlr_build(meshes.inputs(), iso);
    CountingSink sink;
    HlrOptions options;
    counts = hlr_render(scene, options, sink);
    benchmark::DoNotOptimize(counts);
  }
  state.counters["lines"] = counts.lines;
  state.counters["joins"] = counts.joins;
}

void BM_HlrTerrain200(benchmark::State& state) {
  static const Meshes meshes = terrain(200);
  render(state, meshes);
}
BENCHMARK(BM_HlrTerrain200)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_HlrHouse40Walls(benchmark::State& state) {
  static const Meshes meshes = house();
  state.counters["walls"] = static_cast<double>(meshes.vertices.size());
  render(state, meshes);
}
BENCHMARK(BM_HlrHouse40Walls)->Unit(benchmark::kMillisecond);

void BM_HlrHouseWithSlabs(benchmark::State& state) {
  static const Meshes meshes = house_with_slabs();
  state.counters["meshes"] = static_cast<double>(meshes.vertices.size());
  render(state, meshes);
}
BENCHMARK(BM_HlrHouseWithSlabs)->Unit(benchmark::kMillisecond);

}  // namespace
