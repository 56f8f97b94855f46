// libFuzzer target for both readers of GTS surface files: the boolean
// tool's (with its repair, and what it writes read back the same) and the
// program's import. What the import reads, written by the program's own GTS
// export and read again, must come back whole: the very same points and the
// same triangles over them (each may start at another corner). The
// clean-up the import command runs after the reading then runs on it, and
// the drawing is freed again. A crash, a sanitizer report, a leak or a hang
// fails.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "building/solid/gts_file.h"
#include "gts_bso/bso_mesh.h"
#include "model/defaults.h"
#include "model/layers.h"
#include "model/undo.h"

namespace {

// What the import reads from a GTS text: the mesh appended last, or null.
const MeshElem* read(const void* data, std::size_t size) {
  FILE* f = fmemopen(const_cast<void*>(data), size, "r");
  if (!f) return nullptr;
  const int ok = translate_gts_kavro(f, 1);
  std::fclose(f);
  return ok ? elem_as<MeshElem>(elem_list_tail) : nullptr;
}

// The export of the mesh, as the program writes it.
std::string exported(const MeshElem* mesh) {
  for (ElemHeader* e = elem_list_head; e; e = e->next) e->mark = e == mesh ? 1 : 0;
  char* buf = nullptr;
  std::size_t len = 0;
  FILE* f = open_memstream(&buf, &len);
  if (!f) std::abort();
  if (!gts_write_marked(f)) std::abort();
  std::fclose(f);
  std::string out(buf, len);
  std::free(buf);
  for (ElemHeader* e = elem_list_head; e; e = e->next) e->mark = 0;
  return out;
}

using Rings = std::vector<std::vector<int32_t>>;

// A face as a ring of vertex numbers begun at its smallest.
void add_ring(Rings& rings, std::vector<int32_t> ring) {
  std::rotate(ring.begin(), std::min_element(ring.begin(), ring.end()), ring.end());
  rings.push_back(std::move(ring));
}

// The faces of a mesh as rings, sorted.
Rings rings(const MeshElem& m) {
  Rings out;
  std::size_t at = 0;
  for (const int32_t n : m.face_sizes) {
    add_ring(out, std::vector<int32_t>(m.indices.begin() + static_cast<long>(at),
                                       m.indices.begin() + static_cast<long>(at) + n));
    at += static_cast<std::size_t>(n);
  }
  std::sort(out.begin(), out.end());
  return out;
}

bool same_mesh(const MeshElem& read, const MeshElem& read_again) {
  if (read.vertices.size() != read_again.vertices.size()) return false;
  for (std::size_t i = 0; i < read.vertices.size(); ++i) {
    const Point3 &a = read.vertices[i], &b = read_again.vertices[i];
    if (a.x != b.x || a.y != b.y || a.z != b.z) return false;
  }
  return rings(read) == rings(read_again);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const bool once = [] {
    std::freopen("/dev/null", "w", stdout);
    main_init_defaults();
    return true;
  }();
  (void)once;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  BsoMesh mesh;
  std::string why;
  if (bso_parse(text, mesh, why)) {
    bso_repair_t_junctions(mesh);
    bso_drop_duplicate_triangles(mesh);
    bso_compact(mesh);
    BsoMesh again;
    if (!bso_parse(bso_format(mesh), again, why) || again.triangles.size() > mesh.triangles.size())
      __builtin_trap();
  }
  if (size > 0) {
    if (const MeshElem* first = read(data, size)) {
      const std::string written = exported(first);
      const MeshElem* second = read(written.data(), written.size());
      if (!second || second == first || !same_mesh(*first, *second)) __builtin_trap();
      if (second && second != first) elem_remove_last();
      mesh_clean_up_last();
    }
  }
  undo_record(UNDO_CLEAR, 0);
  drawing_free();
  drawing_init();
  return 0;
}
