// libFuzzer target for the DXF reader. Each input is read with each layer
// mode and with 3D lines; what a read makes is handed to the drawing and
// freed again. A crash, a sanitizer report, a leak or a hang fails.
#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>

#include "exchange/dxf_reader.h"
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
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (int variant = 0; variant < 3; ++variant) {
    DxfImportOptions options;
    options.unit = variant;
    options.layer_mode = variant == 1;
    options.line_mode = variant == 2;
    options.first_layer = variant == 1 ? 998 : 0;
    std::istringstream in(text);
    DxfImport result = dxf_read(in, options);
    if (result.error != DxfError::NONE && !result.elements.empty()) __builtin_trap();
    if (variant == 0) {
      dxf_import_commit(result);
      undo_record(UNDO_CLEAR, 0);
      drawing_free();
      drawing_init();
    }
  }
  return 0;
}
