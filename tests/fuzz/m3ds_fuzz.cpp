// libFuzzer target for the 3DS import: the bytes as lib3ds reads them, the
// meshes converted with their face indices checked, handed to the drawing
// and freed again. A crash, a sanitizer report, a leak or a hang fails.
#include <cstdint>
#include <cstdio>
#include <string_view>

#include "exchange/m3ds.h"
#include "model/defaults.h"
#include "model/layers.h"
#include "model/settings.h"
#include "model/undo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const bool once = [] {
    std::freopen("/dev/null", "w", stdout);
    main_init_defaults();
    // No preset file is written anywhere.
    dialog_path = "/nonexistent";
    return true;
  }();
  (void)once;
  M3dsFilePtr file = m3ds_read(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!file) return 0;
  const M3dsImport import = m3ds_import_objects(*file, material_preset);
  for (const M3dsObject& obj : import.objects)
    for (int32_t i : obj.indices)
      if (i < 0 || static_cast<std::size_t>(i) >= obj.vertices.size()) __builtin_trap();
  m3ds_import_commit(import);
  undo_record(UNDO_CLEAR, 0);
  drawing_free();
  drawing_init();
  return 0;
}
