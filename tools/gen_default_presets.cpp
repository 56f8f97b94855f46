// Writes the installation's preset files from the built-in defaults, with
// the program's own preset writer: OUTPUT/<kind>/Default for every object
// kind, and the materials the program names itself (the window panes'
// glazing material).
//   gen_default_presets OUTPUT
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "model/defaults.h"
#include "model/files/preset_files.h"
#include "model/layers.h"
#include "model/presets.h"

namespace {

// A clear, slightly blue glass that refracts.
MaterialPreset glass() {
  MaterialPreset m;
  m.name = glazing_material.view();
  m.r = 0.75;
  m.g = 0.85;
  m.b = 0.95;
  m.transparency = 0.85;
  m.reflection = 0.1;
  m.highlight = 0.8;
  m.refraction = 1;
  return m;
}

bool write(const std::filesystem::path& dir, PresetKind kind, const char* name, const PresetFields& fields) {
  const std::filesystem::path folder = dir / preset_kind_name(kind);
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  const std::string path = (folder / name).string();
  if (!ec && preset_write_file(path, fields)) return true;
  std::fprintf(stderr, "gen_default_presets: cannot write %s\n", path.c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT\n", argv[0]);
    return 2;
  }
  main_init_defaults();
  const std::filesystem::path dir = argv[1];
  bool ok = true;
  for (PresetKind k : preset_kinds) ok = write(dir, k, PRESET_DEFAULT, preset_fields(k)) && ok;
  MaterialPreset pane = glass();
  ok = write(dir, PresetKind::MAT, glazing_material.c_str(), preset_fields(pane)) && ok;
  drawing_free();
  return ok ? 0 : 1;
}
