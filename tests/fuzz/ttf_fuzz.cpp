// libFuzzer target for the outline-font import (TrueType and Type 1 through
// FreeType). Each input is written to a file in a private folder and
// converted as the import does; a font it takes must give a slot whose every
// glyph is a complete command list.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "display/font.h"
#include "font_check.h"

namespace {

char folder[] = "/tmp/kavro-ttf-fuzz-XXXXXX";

std::string font_file() {
  if (!::mkdtemp(folder)) std::abort();
  std::atexit([] {
    std::remove((std::string(folder) + "/font.ttf").c_str());
    ::rmdir(folder);
  });
  return std::string(folder) + "/font.ttf";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const std::string path = [] {
    std::freopen("/dev/null", "w", stdout);  // the converter's reasons
    return font_file();
  }();
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  if (size && std::fwrite(data, 1, size, f) != size) std::abort();
  std::fclose(f);
  FontSlot slot;
  if (font_convert_outline(path, slot)) font_check_slot(slot);
  return 0;
}
