#include "exchange/pov_export.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <iostream>
#include <optional>

#include "exchange/out_text.h"
#include "model/settings.h"
#include "model/ui.h"
#include "platform/process.h"
#include "platform/temp_folder.h"

uint8_t pov_found = 0;

namespace {

// A number as printf's "%.<decimals>f" writes it in the "C" locale; values
// that are not finite as 0, so the scene always parses.
void num(OutText& out, double v, int decimals) {
  if (!std::isfinite(v)) v = 0.0;
  char buf[340];
  const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
  out << std::string_view(buf, static_cast<std::size_t>(r.ptr - buf));
}

// The inside of a POV-Ray string literal: backslash and double quote
// escaped, so a file name cannot end the string early.
std::string string_literal(std::string_view text) {
  std::string s;
  for (char c : text) {
    if (c == '\\' || c == '"') s += '\\';
    s += c;
  }
  return s;
}

// A folder and a name below it, with one slash between them.
std::string join(std::string_view folder, std::string_view name) {
  std::string s(folder);
  while (!s.empty() && s.back() == '/') s.pop_back();
  s += '/';
  s += name;
  return s;
}

std::string temp_file(const char* name) {
  const std::string& dir = temp_folder();
  return dir.empty() ? std::string() : join(dir, name);
}

// The image map of a textured material: empty when the material has none
// (no texture mode, a name too short to have a type, an unknown type).
std::string image_map_text(const MaterialDef& def) {
  const std::string_view image = def.image_file.view();
  if (def.texture_mode == 0 || image.size() <= 5) return {};
  const std::string_view ending = image.substr(image.size() - 3);
  const char* type = ending == "tga" ? "sys" : ending == "jpg" ? "jpeg" : ending == "png" ? "png" : nullptr;
  if (!type) return {};
  const char* map_type = "0";
  const char* rotation = " ";
  switch (def.texture_mode) {
    case 1:
    case 4:
      rotation = "rotate 90*x ";
      break;
    case 2:
      rotation = "rotate 90*y ";
      break;
    case 5:
      map_type = "1";
      break;
    case 6:
      map_type = "2";
      break;
    default:
      break;
  }
  StringOut s;
  s << "pigment { image_map { " << type << " \"" << string_literal(join(base_dir.view(), "tex")) << '/'
    << string_literal(image) << "\" map_type " << map_type << ' '
    << (ending == "png" ? "transmit 0, 1.0 " : " ") << ' ' << (def.repeat ? " " : "once ") << "} scale <";
  num(s, def.size_x, 2);
  s << ", ";
  num(s, def.size_y, 2);
  s << "> translate <";
  num(s, def.offset_x, 2);
  s << ", ";
  num(s, def.offset_y, 2);
  s << "> " << rotation << "}\n";
  return s.text();
}

}  // namespace

int pov_find_command() {
  pov_found = 0;
  // The configured command may carry options ("povray +P"); its first word
  // is the program.
  const std::optional<std::vector<std::string>> words = process_split_command(pov_settings.command.c_str());
  if (words && !words->empty() && !process_find_program(words->front()).empty()) {
    pov_found = 1;
  } else {
    for (const char* name : {"povray", "x-povray"}) {
      if (!process_find_program(name).empty()) {
        pov_settings.command = name;
        pov_found = 1;
        break;
      }
    }
  }
  if (!pov_found) {
    std::string text = "Error: Can not execute the \"";
    text += pov_settings.command.view();
    text +=
        "\" command!\nThe command is wrong or POV-Ray is not installed properly on this system.\n"
        "Please download and install POV-Ray from\nhttps://www.povray.org/download/\n";
    ui().msgbox_error(text.c_str());
  }
  return pov_found;
}

std::string pov_render_scene_path() { return temp_file("kavro.pov"); }
std::string pov_scene_path() { return temp_file("kavrop.pov"); }

void pov_write_texture(OutText& out, const MaterialDef& def, std::string_view identifier) {
  out << "\n#declare " << identifier << " =\ntexture {\n";
  out << "pigment { color rgbt <";
  num(out, def.r, 6);
  out << ',';
  num(out, def.g, 6);
  out << ',';
  num(out, def.b, 6);
  out << ',';
  num(out, def.transparency, 6);
  out << "> }\n";
  if (const std::string map = image_map_text(def); !map.empty()) {
    out << map;
    std::cout << map << std::flush;
  }
  out << "finish {\n";
  out << "diffuse ";
  num(out, 0.9, 6);
  out << "\nspecular ";
  num(out, def.highlight, 6);
  out << "\nreflection ";
  num(out, def.reflection, 6);
  out << "\nambient ";
  // Without radiosity the scene has no light bouncing between surfaces; a
  // little ambient stands in for it.
  const bool raytracing_only = pov_settings.quality == 0 || pov_settings.quality == 1;
  num(out, def.ambience * 0.5 + (raytracing_only ? 0.1 : 0.0), 6);
  out << '\n';
  if (def.refraction) out << "refraction 1 ior 1.40\n";
  if (def.metallic) out << "brilliance 4\nmetallic\n";
  out << "}\n";
  if (def.special && !def.special_path.empty()) {
    std::ifstream in(def.special_path.c_str(), std::ios::binary);
    std::string line;
    while (in && std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      out << line << '\n';
    }
  }
  out << "}\n";
}

void pov_write_texture(std::FILE* f, const MaterialDef& def, std::string_view identifier) {
  FileOut out(f);
  pov_write_texture(out, def, identifier);
}
