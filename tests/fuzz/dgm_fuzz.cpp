// libFuzzer target for the terrain grid reader and its mesher. A grid read
// without error must make a mesh whose every face number addresses one of
// its points, with two triangles per cell; a crash, a sanitizer report, a
// leak or a hang fails.
#include <cstdint>
#include <cstdio>
#include <string>

#include "exchange/dgm_import.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  std::string text(reinterpret_cast<const char*>(data), size);
  std::FILE* f = fmemopen(text.data(), text.size(), "r");
  if (!f) return 0;
  const DgmGrid grid = dgm_read(f);
  std::fclose(f);
  (void)dgm_summary(grid);
  const DgmMesh mesh = dgm_mesh(grid);
  if (grid.error != DgmError::NONE) {
    if (!mesh.indices.empty() || !mesh.vertices.empty()) __builtin_trap();
    return 0;
  }
  const auto points = static_cast<int64_t>(grid.points.size());
  if (grid.xnum < 2 || grid.ynum < 2 || grid.xnum * grid.ynum != points) __builtin_trap();
  if (static_cast<int64_t>(mesh.indices.size()) != 6 * (grid.xnum - 1) * (grid.ynum - 1)) __builtin_trap();
  if (static_cast<int64_t>(mesh.vertices.size()) != points) __builtin_trap();
  for (int32_t i : mesh.indices)
    if (i < 0 || i >= points) __builtin_trap();
  return 0;
}
