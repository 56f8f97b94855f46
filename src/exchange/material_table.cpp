#include "exchange/material_table.h"

#include <cstdio>
#include <optional>

#include "model/files/preset_files.h"
#include "model/nls.h"
#include "model/presets.h"
#include "model/settings.h"
#include "model/ui.h"

std::vector<MaterialDef> mat_table;
int mat_count = 0;
int mat_capacity = 0;

namespace {

constexpr int GROWTH = 10;
constexpr std::size_t IDENTIFIER_MAX = 40;
constexpr std::size_t NAME_LIMIT = 79;

bool is_letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool is_word_char(char c) { return is_letter(c) || (c >= '0' && c <= '9') || c == '_'; }

bool identifier_taken(const std::string& id) {
  for (int i = 0; i < mat_count; ++i)
    if (mat_table[i].identifier == id) return true;
  return false;
}

// Two names can give one identifier ("a b" and "a-b"); a scene would then
// declare one material twice and lose the other. Later ones get "_2", "_3"...
std::string unique_identifier(std::string_view name) {
  const std::string base = mat_identifier(name);
  if (!identifier_taken(base)) return base;
  for (int n = 2;; ++n) {
    const std::string suffix = "_" + std::to_string(n);
    std::string id = base.substr(0, IDENTIFIER_MAX - suffix.size()) + suffix;
    if (!identifier_taken(id)) return id;
  }
}

bool image_exists(const char* image) {
  const std::string path = std::string(base_dir.c_str()) + "/tex/" + image;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  std::fclose(f);
  return true;
}

int ask(const char* format, const char* value, const char* use) {
  char message[600];
  std::snprintf(message, sizeof message, nls_translate(format), value);
  const char* labels[2] = {nls_translate(use), nls_translate("Cancel")};
  return ui().msgbox_ask(message, 2, labels);
}

// Reads the preset into def; 0 when the user cancelled.
int read_preset(MaterialDef& def) {
  const std::optional<std::string> text = preset_read_file(PresetKind::MAT, def.name.view());
  if (!text) {
    // The defaults of the fresh entry stay unless the user cancels.
    return ask("Material  > %s <  not found!", def.name.c_str(), "Use default material") == 2 ? 0 : 1;
  }
  // Values the file lacks read as 0, the image sizes as 1.
  MaterialPreset p;
  p.size_x = p.size_y = 1.0;
  preset_parse(*text, preset_fields(p));
  mat_take_preset(def, p);
  if (def.texture_mode != 0 && !image_exists(def.image_file.c_str())) {
    if (ask("Image  > %s <  not found!", def.image_file.c_str(), "Use material without texture") == 2)
      return 0;
    def.texture_mode = 0;
  }
  return 1;
}

}  // namespace

void mat_take_preset(MaterialDef& def, const MaterialPreset& p) {
  def.r = p.r;
  def.g = p.g;
  def.b = p.b;
  def.transparency = p.transparency;
  def.reflection = p.reflection;
  def.highlight = p.highlight;
  def.ambience = p.ambience;
  def.refraction = p.refraction;
  def.metallic = p.metallic;
  def.texture_mode = p.texture_mode;
  def.image_file = p.image_file.view();
  def.repeat = p.repeat;
  def.size_x = p.size_x;
  def.size_y = p.size_y;
  def.offset_x = p.offset_x;
  def.offset_y = p.offset_y;
  def.special = p.special;
  def.special_path = p.special_text.view();
}

void mat_table_init() {
  mat_table.assign(GROWTH, MaterialDef{});
  mat_count = 0;
  mat_capacity = GROWTH;
}

int mat_register(std::string_view name) {
  for (int i = 0; i < mat_count; ++i) {
    if (mat_table[i].name == name) {
      ++mat_table[i].use_count;
      return 1;
    }
  }
  if (mat_count >= mat_capacity) {
    mat_capacity += GROWTH;
    mat_table.resize(mat_capacity);
  }
  if (name.size() >= NAME_LIMIT) {
    // Such a name resolves to the first entry later on.
    if (mat_count > 0) ++mat_table[0].use_count;
    return 1;
  }
  MaterialDef& def = mat_table[mat_count];
  def = MaterialDef{};
  def.name = name;
  const std::string id = unique_identifier(name);
  def.identifier = id;
  def.identifier_length = static_cast<int16_t>(id.size());
  def.even = id.size() % 2 == 0 ? 1 : 0;
  def.use_count = 1;
  if (!read_preset(def)) return 0;
  ++mat_count;
  return 1;
}

int mat_index(std::string_view name) {
  for (int i = 0; i < mat_count; ++i)
    if (mat_table[i].name == name) return i;
  return 0;
}

std::string mat_identifier(std::string_view name) {
  std::string id(name.substr(0, name.find('\0')));
  if (id.empty() || !is_letter(id[0])) id.insert(0, "mat_");
  if (id.size() > IDENTIFIER_MAX) id.resize(IDENTIFIER_MAX);
  for (char& c : id)
    if (!is_word_char(c)) c = '_';
  return id;
}

void mat_table_free() {
  mat_table.clear();
  mat_table.shrink_to_fit();
  mat_count = 0;
  mat_capacity = 0;
}
