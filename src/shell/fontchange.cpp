#include "shell/fontchange.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

#include "model/files/fio.h"

FixedText<GUI_FONT_LEN> gui_font;

namespace {

std::string trim(const std::string& s) {
  std::size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  std::size_t e = s.find_last_not_of(" \t\r");
  return s.substr(b, e - b + 1);
}

}  // namespace

bool gui_font_name_ok(const char* name) {
  if (!name || !*name) return false;
  std::size_t n = std::strlen(name);
  if (n >= GUI_FONT_LEN) return false;
  for (const char* p = name; *p; ++p) {
    auto c = static_cast<unsigned char>(*p);
    if (c < 0x20 || c == 0x7F || c == '"' || c == '\\') return false;
  }
  return std::strstr(name, "*/") == nullptr;
}

std::string gui_style_read_font(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string line;
  for (int n = 0; n < 64 && std::getline(in, line); ++n) {
    std::string t = trim(line);
    std::string name;
    const std::size_t h = std::strlen(GUI_STYLE_HEADER), e = std::strlen(GUI_STYLE_HEADER_END);
    if (n == 0 && t.size() >= h + e && t.compare(0, h, GUI_STYLE_HEADER) == 0 &&
        t.compare(t.size() - e, e, GUI_STYLE_HEADER_END) == 0) {
      name = t.substr(h, t.size() - h - e);
    } else if (t.rfind("font", 0) == 0) {
      // An older style file: font = "name"
      std::size_t open = t.find('"'), close = t.rfind('"');
      std::string between = trim(t.substr(4, open == std::string::npos ? 0 : open - 4));
      if (between != "=" || close == open) continue;
      name = t.substr(open + 1, close - open - 1);
    } else {
      continue;
    }
    // The whole name is checked: a NUL byte would end the check early.
    const bool whole = name.find('\0') == std::string::npos;
    return whole && gui_font_name_ok(name.c_str()) ? name : std::string();
  }
  return "";
}

bool gui_style_write(const std::string& path, const char* font) {
  const std::string css = gui_style_css(font);
  FioSafeWriter out(path);
  return out.stream() && std::fwrite(css.data(), 1, css.size(), out.stream()) == css.size() && out.commit();
}

std::string gui_style_find() {
  if (const char* home = std::getenv("HOME")) {
    std::string user = std::string(home) + "/.kavro3/kavro.gtkrc";
    if (access(user.c_str(), R_OK) == 0) return user;
  }
  if (access("kavro.gtkrc", R_OK) == 0) return "./kavro.gtkrc";
  return "";
}
