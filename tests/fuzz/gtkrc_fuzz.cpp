// libFuzzer target for the interface style file ("kavro.gtkrc"). The font
// name read from it must be one the style file can carry, and a file whose
// first line names it, as the program writes it, must read back as the same
// name.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "shell/fontchange.h"

namespace {

char folder[] = "/tmp/kavro-gtkrc-fuzz-XXXXXX";

std::string style_file() {
  if (!::mkdtemp(folder)) std::abort();
  std::atexit([] {
    std::remove((std::string(folder) + "/kavro.gtkrc").c_str());
    ::rmdir(folder);
  });
  return std::string(folder) + "/kavro.gtkrc";
}

void put(const std::string& path, const void* data, std::size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  if (size && std::fwrite(data, 1, size, f) != size) std::abort();
  std::fclose(f);
}

}  // namespace

// The rule below the first line comes from the toolkit's font parser, which
// lives with the toolkit; the reader only ever looks at the first line.
std::string gui_style_css(const char* font) {
  return std::string(GUI_STYLE_HEADER) + (gui_font_name_ok(font) ? font : "") + GUI_STYLE_HEADER_END + "\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const std::string path = style_file();
  put(path, data, size);
  const std::string name = gui_style_read_font(path);
  if (name.empty()) return 0;
  if (!gui_font_name_ok(name.c_str())) __builtin_trap();
  const std::string css = gui_style_css(name.c_str());
  put(path, css.data(), css.size());
  if (gui_style_read_font(path) != name) __builtin_trap();
  return 0;
}
