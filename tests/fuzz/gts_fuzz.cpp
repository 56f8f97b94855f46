// libFuzzer target for both readers of GTS surface files: the boolean
// tool's (with its repair, and what it writes read back the same) and the
// program's import reader (what it makes is handed to the drawing and
// freed again). A crash, a sanitizer report, a leak or a hang fails.
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "building/solid/gts_file.h"
#include "gts_bso/bso_mesh.h"
#include "model/defaults.h"
#include "model/layers.h"
#include "model/undo.h"

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
  FILE* f = fmemopen(const_cast<uint8_t*>(data), size, "r");
  if (size > 0 && f) {
    if (translate_gts_kavro(f, 1)) mesh_clean_up_last();
    std::fclose(f);
  }
  undo_record(UNDO_CLEAR, 0);
  drawing_free();
  drawing_init();
  return 0;
}
