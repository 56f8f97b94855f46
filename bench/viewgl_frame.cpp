// One frame of the 3D viewer with 100,000 triangles, drawn by the software
// renderer off screen at 800 x 600: it must take no more than 50 ms, so
// that orbiting a large model stays smooth.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "model/defaults.h"
#include "model/elem.h"
#include "viewgl/viewgl_offscreen.h"
#include "viewgl/viewgl_render.h"
#include "viewgl/viewgl_scene.h"

namespace {

constexpr int GRID = 224;  // 224 x 224 quads: 100,352 triangles

// A rolling terrain of quads, one mesh.
ViewScene terrain() {
  std::vector<Point3> v;
  for (int j = 0; j <= GRID; ++j)
    for (int i = 0; i <= GRID; ++i)
      v.push_back({double(i), double(j), 3 * std::sin(i * 0.1) * std::cos(j * 0.13)});
  std::vector<int32_t> sizes, idx;
  for (int j = 0; j < GRID; ++j)
    for (int i = 0; i < GRID; ++i) {
      const int a = j * (GRID + 1) + i;
      sizes.push_back(4);
      idx.insert(idx.end(), {a, a + 1, a + GRID + 2, a + GRID + 1});
    }
  elem_new_mesh(0, 1, 0, static_cast<int>(v.size()), static_cast<int>(sizes.size()), sizes.data(), v.data(),
                idx.data(), "Default", 0);
  ViewScene scene;
  view_scene_add_mesh(scene, *elem_as<MeshElem>(elem_list_tail));
  return scene;
}

void BM_ViewerFrame(benchmark::State& state) {
  main_init_defaults();
  const ViewScene scene = terrain();
  OffscreenGl gl;
  if (std::string error = gl.open(800, 600); !error.empty()) {
    state.SkipWithError(error.c_str());
    return;
  }
  ViewRenderer renderer;
  if (std::string error = renderer.init(); !error.empty()) {
    state.SkipWithError(error.c_str());
    return;
  }
  renderer.upload(scene);
  OrbitCamera camera;
  view_camera_fit(scene, camera);
  for (auto _ : state) {
    view_camera_orbit(camera, 3, 0);
    renderer.draw(camera, 800, 600);
    gl.finish();
  }
  renderer.release();
  state.counters["triangles"] = static_cast<double>(scene.triangle_count());
}
BENCHMARK(BM_ViewerFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
