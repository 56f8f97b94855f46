#include "shell/fontchange.h"

#include <pango/pango.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

FixedText<GUI_FONT_LEN> gui_font;

namespace {

constexpr const char* HEADER = "/* Kavro interface font: ";
constexpr const char* HEADER_END = " */";

std::string number(double v) {
  char buf[32];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
  return ec == std::errc() ? std::string(buf, end) : std::string("0");
}

std::string trim(const std::string& s) {
  std::size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  std::size_t e = s.find_last_not_of(" \t\r");
  return s.substr(b, e - b + 1);
}

std::vector<std::string> split(const std::string& s, char sep) {
  std::vector<std::string> out(1);
  for (char c : s) {
    if (c == sep)
      out.emplace_back();
    else
      out.back() += c;
  }
  return out;
}

// An X font name "-foundry-family-weight-slant-width-style-pixels-points-..."
// as a Pango name: family, bold, italic or oblique, size in points.
std::string pango_name_of_xlfd(const std::string& xlfd) {
  std::vector<std::string> f = split(xlfd, '-');
  if (f.size() < 9) return "";
  std::string name = f[2] == "*" ? "" : f[2];
  if (f[3] == "bold" || f[3] == "demibold") name += " Bold";
  if (f[4] == "i") name += " Italic";
  if (f[4] == "o") name += " Oblique";
  int decipoints = std::atoi(f[8].c_str());
  if (decipoints > 0) name += " " + number(decipoints / 10.0);
  return trim(name);
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

std::string gui_style_css(const char* font) {
  bool ok = gui_font_name_ok(font);
  std::string css = std::string(HEADER) + (ok ? font : "") + HEADER_END + "\n";
  if (!ok) return css;
  std::string name = font[0] == '-' ? pango_name_of_xlfd(font) : std::string(font);
  PangoFontDescription* desc = pango_font_description_from_string(name.c_str());
  PangoFontMask set = pango_font_description_get_set_fields(desc);
  std::string rule;
  if (set & PANGO_FONT_MASK_FAMILY) {
    std::string families;
    for (const std::string& f : split(pango_font_description_get_family(desc), ',')) {
      std::string t = trim(f);
      if (t.empty()) continue;
      families += (families.empty() ? "\"" : ", \"") + t + "\"";
    }
    if (!families.empty()) rule += "  font-family: " + families + ";\n";
  }
  if (set & PANGO_FONT_MASK_STYLE) {
    PangoStyle style = pango_font_description_get_style(desc);
    if (style == PANGO_STYLE_ITALIC) rule += "  font-style: italic;\n";
    if (style == PANGO_STYLE_OBLIQUE) rule += "  font-style: oblique;\n";
  }
  if (set & PANGO_FONT_MASK_WEIGHT) {
    int weight = pango_font_description_get_weight(desc);
    // CSS knows the hundreds from 100 to 900.
    weight = (weight + 50) / 100 * 100;
    weight = weight < 100 ? 100 : weight > 900 ? 900 : weight;
    if (weight != 400) rule += "  font-weight: " + std::to_string(weight) + ";\n";
  }
  if ((set & PANGO_FONT_MASK_SIZE) && pango_font_description_get_size(desc) > 0) {
    double size = static_cast<double>(pango_font_description_get_size(desc)) / PANGO_SCALE;
    bool px = pango_font_description_get_size_is_absolute(desc);
    rule += "  font-size: " + number(size) + (px ? "px" : "pt") + ";\n";
  }
  pango_font_description_free(desc);
  if (!rule.empty()) css += "* {\n" + rule + "}\n";
  return css;
}

std::string gui_style_read_font(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string line;
  for (int n = 0; n < 64 && std::getline(in, line); ++n) {
    std::string t = trim(line);
    std::string name;
    const std::size_t h = std::strlen(HEADER), e = std::strlen(HEADER_END);
    if (n == 0 && t.size() >= h + e && t.compare(0, h, HEADER) == 0 &&
        t.compare(t.size() - e, e, HEADER_END) == 0) {
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
    return gui_font_name_ok(name.c_str()) ? name : std::string();
  }
  return "";
}

bool gui_style_write(const std::string& path, const char* font) {
  std::string css = gui_style_css(font);
  std::string tmp = path + ".XXXXXX";
  std::vector<char> name(tmp.begin(), tmp.end());
  name.push_back('\0');
  int fd = mkstemp(name.data());
  if (fd < 0) return false;
  const char* p = css.data();
  std::size_t left = css.size();
  bool ok = true;
  while (ok && left) {
    ssize_t n = write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) {
      p += n;
      left -= static_cast<std::size_t>(n);
    }
  }
  // The permissions a plainly created file gets, not mkstemp's private ones.
  mode_t mask = umask(0);
  umask(mask);
  ok = ok && fchmod(fd, 0666 & ~mask) == 0 && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  if (ok) ok = std::rename(name.data(), path.c_str()) == 0;
  if (!ok) unlink(name.data());
  return ok;
}

std::string gui_style_find() {
  if (const char* home = std::getenv("HOME")) {
    std::string user = std::string(home) + "/.kavro3/kavro.gtkrc";
    if (access(user.c_str(), R_OK) == 0) return user;
  }
  if (access("kavro.gtkrc", R_OK) == 0) return "./kavro.gtkrc";
  return "";
}
