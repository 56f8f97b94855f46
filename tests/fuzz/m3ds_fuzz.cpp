// libFuzzer target for the 3DS import. The bytes are read as lib3ds reads a
// whole file and, as the import does, mesh by mesh; both must refuse the
// same files and make the same objects with the same lines. Every face index
// must name a point of its object; the objects are handed to the drawing
// and freed again. A crash, a sanitizer report, a leak or a hang fails.
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <utility>

#include "exchange/m3ds.h"
#include "model/defaults.h"
#include "model/layers.h"
#include "model/settings.h"
#include "model/undo.h"

namespace {

bool same(const Point3& a, const Point3& b) {
  // Both come from the same floats: equal, or both the same not-a-number.
  return (a.x == b.x || (a.x != a.x && b.x != b.x)) && (a.y == b.y || (a.y != a.y && b.y != b.y)) &&
         (a.z == b.z || (a.z != a.z && b.z != b.z));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const bool once = [] {
    std::freopen("/dev/null", "w", stdout);
    main_init_defaults();
    // No preset file is written anywhere.
    dialog_path = "/nonexistent";
    return true;
  }();
  (void)once;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  M3dsError whole_error = M3dsError::NONE;
  M3dsFilePtr file = m3ds_read(bytes, &whole_error);
  M3dsImport parts;
  const M3dsError parts_error = m3ds_import_bytes(std::string(bytes), material_preset, parts);
  if (parts_error != whole_error) __builtin_trap();
  if (!file) return 0;
  const M3dsImport import = m3ds_import_objects(*file, material_preset);
  if (import.log != parts.log || import.objects.size() != parts.objects.size()) __builtin_trap();
  for (std::size_t k = 0; k < import.objects.size(); ++k) {
    const M3dsObject& a = import.objects[k];
    const M3dsObject& b = parts.objects[k];
    if (a.material != b.material || a.indices != b.indices || a.vertices.size() != b.vertices.size() ||
        a.preset.has_value() != b.preset.has_value())
      __builtin_trap();
    for (std::size_t i = 0; i < a.vertices.size(); ++i)
      if (!same(a.vertices[i], b.vertices[i])) __builtin_trap();
    for (int32_t i : a.indices)
      if (i < 0 || static_cast<std::size_t>(i) >= a.vertices.size()) __builtin_trap();
  }
  m3ds_import_commit(std::move(parts), {});
  undo_record(UNDO_CLEAR, 0);
  drawing_free();
  drawing_init();
  return 0;
}
