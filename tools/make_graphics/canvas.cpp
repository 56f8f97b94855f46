#include "canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <stdexcept>

namespace {

struct Colour {
  char key;
  const char* value;
};

// The shared palette, in the order the colours are written.
constexpr Colour palette[] = {
    {ink::clear, "None"},     {ink::black, "#1E1E1E"}, {ink::dark, "#5A5A5A"}, {ink::grey, "#9A9A9A"},
    {ink::light, "#D2D2D2"},  {ink::white, "#FFFFFF"}, {ink::blue, "#2F66B8"}, {ink::pale, "#A9C6EC"},
    {ink::mid, "#6E95D2"},    {ink::navy, "#1D3F7A"},  {ink::red, "#C8322A"},  {ink::green, "#2F8F3A"},
    {ink::yellow, "#F2C23A"},
};

const char* colour_of(char key) {
  for (const Colour& c : palette)
    if (c.key == key) return c.value;
  return nullptr;
}

// 5 x 7 letters, one row a string, '#' set.
struct Glyph {
  char ch;
  const char* rows[7];
};

constexpr Glyph glyphs[] = {
    {'A', {" ### ", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"}},
    {'B', {"#### ", "#   #", "#   #", "#### ", "#   #", "#   #", "#### "}},
    {'C', {" ####", "#    ", "#    ", "#    ", "#    ", "#    ", " ####"}},
    {'D', {"#### ", "#   #", "#   #", "#   #", "#   #", "#   #", "#### "}},
    {'E', {"#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#####"}},
    {'F', {"#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#    "}},
    {'G', {" ####", "#    ", "#    ", "#  ##", "#   #", "#   #", " ####"}},
    {'H', {"#   #", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"}},
    {'I', {" ### ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", " ### "}},
    {'J', {"  ###", "   # ", "   # ", "   # ", "   # ", "#  # ", " ##  "}},
    {'K', {"#   #", "#  # ", "# #  ", "##   ", "# #  ", "#  # ", "#   #"}},
    {'L', {"#    ", "#    ", "#    ", "#    ", "#    ", "#    ", "#####"}},
    {'M', {"#   #", "## ##", "# # #", "# # #", "#   #", "#   #", "#   #"}},
    {'N', {"#   #", "##  #", "# # #", "#  ##", "#   #", "#   #", "#   #"}},
    {'O', {" ### ", "#   #", "#   #", "#   #", "#   #", "#   #", " ### "}},
    {'P', {"#### ", "#   #", "#   #", "#### ", "#    ", "#    ", "#    "}},
    {'Q', {" ### ", "#   #", "#   #", "#   #", "# # #", "#  # ", " ## #"}},
    {'R', {"#### ", "#   #", "#   #", "#### ", "# #  ", "#  # ", "#   #"}},
    {'S', {" ####", "#    ", "#    ", " ### ", "    #", "    #", "#### "}},
    {'T', {"#####", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  "}},
    {'U', {"#   #", "#   #", "#   #", "#   #", "#   #", "#   #", " ### "}},
    {'V', {"#   #", "#   #", "#   #", "#   #", " # # ", " # # ", "  #  "}},
    {'W', {"#   #", "#   #", "#   #", "# # #", "# # #", "## ##", "#   #"}},
    {'X', {"#   #", " # # ", " # # ", "  #  ", " # # ", " # # ", "#   #"}},
    {'Y', {"#   #", " # # ", " # # ", "  #  ", "  #  ", "  #  ", "  #  "}},
    {'Z', {"#####", "    #", "   # ", "  #  ", " #   ", "#    ", "#####"}},
    {'0', {" ### ", "#   #", "#  ##", "# # #", "##  #", "#   #", " ### "}},
    {'1', {"  #  ", " ##  ", "  #  ", "  #  ", "  #  ", "  #  ", " ### "}},
    {'2', {" ### ", "#   #", "    #", "   # ", "  #  ", " #   ", "#####"}},
    {'3', {"#####", "   # ", "  #  ", "   # ", "    #", "#   #", " ### "}},
    {'4', {"   # ", "  ## ", " # # ", "#  # ", "#####", "   # ", "   # "}},
    {'5', {"#####", "#    ", "#### ", "    #", "    #", "#   #", " ### "}},
    {'6', {"  ## ", " #   ", "#    ", "#### ", "#   #", "#   #", " ### "}},
    {'7', {"#####", "    #", "   # ", "  #  ", " #   ", " #   ", " #   "}},
    {'8', {" ### ", "#   #", "#   #", " ### ", "#   #", "#   #", " ### "}},
    {'9', {" ### ", "#   #", "#   #", " ####", "    #", "   # ", " ##  "}},
    {'.', {"     ", "     ", "     ", "     ", "     ", " ##  ", " ##  "}},
    {':', {"     ", " ##  ", " ##  ", "     ", " ##  ", " ##  ", "     "}},
    {'-', {"     ", "     ", "     ", "#####", "     ", "     ", "     "}},
    {' ', {"     ", "     ", "     ", "     ", "     ", "     ", "     "}},
};

const Glyph* glyph_of(char ch) {
  for (const Glyph& g : glyphs)
    if (g.ch == ch) return &g;
  return nullptr;
}

}  // namespace

Canvas::Canvas(int w, int h) : w_(w), h_(h), px_(static_cast<std::size_t>(w) * h, ink::clear) {}

char Canvas::at(int x, int y) const {
  if (x < 0 || y < 0 || x >= w_ || y >= h_) return ink::clear;
  return px_[static_cast<std::size_t>(y) * w_ + x];
}

void Canvas::put(int x, int y, char c) {
  if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
  if (!colour_of(c)) throw std::runtime_error(std::string("no colour for key '") + c + "'");
  px_[static_cast<std::size_t>(y) * w_ + x] = c;
}

void Canvas::line(int x0, int y0, int x1, int y1, char c) { dashed(x0, y0, x1, y1, c, 1, 0); }

void Canvas::dashed(int x0, int y0, int x1, int y1, char c, int on, int off) {
  int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
  int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
  int err = dx + dy;
  int step = 0;
  for (;;) {
    if (step % (on + off) < on) put(x0, y0, c);
    ++step;
    if (x0 == x1 && y0 == y1) break;
    int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x0 += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y0 += sy;
    }
  }
}

void Canvas::rect(int x0, int y0, int x1, int y1, char c) {
  line(x0, y0, x1, y0, c);
  line(x1, y0, x1, y1, c);
  line(x1, y1, x0, y1, c);
  line(x0, y1, x0, y0, c);
}

void Canvas::fill_rect(int x0, int y0, int x1, int y1, char c) {
  for (int y = std::min(y0, y1); y <= std::max(y0, y1); ++y)
    for (int x = std::min(x0, x1); x <= std::max(x0, x1); ++x) put(x, y, c);
}

void Canvas::polyline(const std::vector<Pt>& p, char c, bool closed) {
  for (std::size_t i = 0; i + 1 < p.size(); ++i)
    line(std::lround(p[i].x), std::lround(p[i].y), std::lround(p[i + 1].x), std::lround(p[i + 1].y), c);
  if (closed && p.size() > 2)
    line(std::lround(p.back().x), std::lround(p.back().y), std::lround(p[0].x), std::lround(p[0].y), c);
}

void Canvas::fill_polygon(const std::vector<Pt>& p, char c) {
  for (int y = 0; y < h_; ++y) {
    for (int x = 0; x < w_; ++x) {
      bool in = false;
      for (std::size_t i = 0, j = p.size() - 1; i < p.size(); j = i++) {
        if ((p[i].y > y) != (p[j].y > y) && x < (p[j].x - p[i].x) * (y - p[i].y) / (p[j].y - p[i].y) + p[i].x)
          in = !in;
      }
      if (in) put(x, y, c);
    }
  }
}

void Canvas::polygon(const std::vector<Pt>& p, char edge, char fill) {
  // Corners on whole pixels, so that the fill stays inside the edges.
  std::vector<Pt> q;
  for (const Pt& v : p) q.push_back({std::round(v.x), std::round(v.y)});
  fill_polygon(q, fill);
  polyline(q, edge, true);
}

void Canvas::solid(const std::vector<Pt>& p, char edge, char fill) {
  Canvas mask(w_, h_);
  mask.fill_polygon(p, ink::black);
  for (int y = 0; y < h_; ++y)
    for (int x = 0; x < w_; ++x) {
      if (mask.at(x, y) == ink::clear) continue;
      bool rim = mask.at(x + 1, y) == ink::clear || mask.at(x - 1, y) == ink::clear ||
                 mask.at(x, y + 1) == ink::clear || mask.at(x, y - 1) == ink::clear;
      put(x, y, rim ? edge : fill);
    }
}

bool Canvas::inside_ellipse(double x, double y, double cx, double cy, double rx, double ry) const {
  double u = (x - cx) / rx, v = (y - cy) / ry;
  return u * u + v * v <= 1.0 + 1e-9;
}

void Canvas::ellipse(double cx, double cy, double rx, double ry, char c) { arc(cx, cy, rx, ry, 0, 360, c); }

void Canvas::fill_ellipse(double cx, double cy, double rx, double ry, char c) {
  for (int y = 0; y < h_; ++y)
    for (int x = 0; x < w_; ++x)
      if (inside_ellipse(x, y, cx, cy, rx, ry)) put(x, y, c);
}

void Canvas::arc(double cx, double cy, double rx, double ry, double from, double to, char c) {
  while (to < from) to += 360;
  for (int y = 0; y < h_; ++y) {
    for (int x = 0; x < w_; ++x) {
      if (!inside_ellipse(x, y, cx, cy, rx, ry)) continue;
      bool edge = !inside_ellipse(x + 1, y, cx, cy, rx, ry) || !inside_ellipse(x - 1, y, cx, cy, rx, ry) ||
                  !inside_ellipse(x, y + 1, cx, cy, rx, ry) || !inside_ellipse(x, y - 1, cx, cy, rx, ry);
      if (!edge) continue;
      double a = std::atan2(-(y - cy) / ry, (x - cx) / rx) * 180.0 / M_PI;
      while (a < from) a += 360;
      while (a >= from + 360) a -= 360;
      if (a <= to + 1e-9) put(x, y, c);
    }
  }
}

void Canvas::arrow_head(double tx, double ty, double dx, double dy, double length, double half_width,
                        char c) {
  double n = std::hypot(dx, dy);
  dx /= n;
  dy /= n;
  double bx = tx - dx * length, by = ty - dy * length;
  std::vector<Pt> tri = {
      {tx, ty}, {bx - dy * half_width, by + dx * half_width}, {bx + dy * half_width, by - dx * half_width}};
  fill_polygon(tri, c);
  put(std::lround(tx), std::lround(ty), c);
}

void Canvas::thick_line(double x0, double y0, double x1, double y1, double width, char c) {
  double dx = x1 - x0, dy = y1 - y0, len2 = dx * dx + dy * dy;
  for (int y = 0; y < h_; ++y) {
    for (int x = 0; x < w_; ++x) {
      double t = len2 > 0 ? ((x - x0) * dx + (y - y0) * dy) / len2 : 0;
      t = std::clamp(t, 0.0, 1.0);
      if (std::hypot(x - (x0 + t * dx), y - (y0 + t * dy)) <= width / 2 + 1e-9) put(x, y, c);
    }
  }
}

void Canvas::ring(double cx, double cy, double rx, double ry, double width, double from, double to, char c) {
  while (to < from) to += 360;
  for (int y = 0; y < h_; ++y) {
    for (int x = 0; x < w_; ++x) {
      if (!inside_ellipse(x, y, cx, cy, rx, ry) || inside_ellipse(x, y, cx, cy, rx - width, ry - width))
        continue;
      double a = std::atan2(-(y - cy) / ry, (x - cx) / rx) * 180.0 / M_PI;
      while (a < from) a += 360;
      while (a >= from + 360) a -= 360;
      if (a <= to + 1e-9) put(x, y, c);
    }
  }
}

void Canvas::flood(int x, int y, char c) {
  char from = at(x, y);
  if (from == c || x < 0 || y < 0 || x >= w_ || y >= h_) return;
  std::vector<std::pair<int, int>> todo = {{x, y}};
  while (!todo.empty()) {
    auto [px, py] = todo.back();
    todo.pop_back();
    if (px < 0 || py < 0 || px >= w_ || py >= h_ || at(px, py) != from) continue;
    put(px, py, c);
    todo.push_back({px + 1, py});
    todo.push_back({px - 1, py});
    todo.push_back({px, py + 1});
    todo.push_back({px, py - 1});
  }
}

void Canvas::rim(char edge) {
  Canvas before = *this;
  for (int y = 0; y < h_; ++y)
    for (int x = 0; x < w_; ++x) {
      if (before.at(x, y) == ink::clear) continue;
      if (before.at(x + 1, y) == ink::clear || before.at(x - 1, y) == ink::clear ||
          before.at(x, y + 1) == ink::clear || before.at(x, y - 1) == ink::clear)
        put(x, y, edge);
    }
}

void Canvas::paste(const Canvas& src, int x0, int y0, bool mirror) {
  for (int y = 0; y < src.h_; ++y)
    for (int x = 0; x < src.w_; ++x) {
      char k = src.at(mirror ? src.w_ - 1 - x : x, y);
      if (k != ink::clear) put(x0 + x, y0 + y, k);
    }
}

void Canvas::art(int x0, int y0, const std::vector<std::string_view>& rows) {
  for (std::size_t r = 0; r < rows.size(); ++r)
    for (std::size_t i = 0; i < rows[r].size(); ++i)
      if (rows[r][i] != ' ') put(x0 + static_cast<int>(i), y0 + static_cast<int>(r), rows[r][i]);
}

int Canvas::text_width(std::string_view s, int scale) {
  return s.empty() ? 0 : static_cast<int>(s.size()) * 6 * scale - scale;
}

int Canvas::text(int x, int y, std::string_view s, char c, int scale) {
  int cx = x;
  for (char ch : s) {
    const Glyph* g = glyph_of(ch);
    if (!g) throw std::runtime_error(std::string("no letter for '") + ch + "'");
    for (int r = 0; r < 7; ++r)
      for (int i = 0; i < 5; ++i)
        if (g->rows[r][i] == '#')
          fill_rect(cx + i * scale, y + r * scale, cx + i * scale + scale - 1, y + r * scale + scale - 1, c);
    cx += 6 * scale;
  }
  return text_width(s, scale);
}

std::string Canvas::to_xpm(std::string_view symbol) const {
  std::vector<char> used;
  for (const Colour& c : palette)
    if (std::find(px_.begin(), px_.end(), c.key) != px_.end()) used.push_back(c.key);
  std::string out = "/* XPM */\nstatic const char *" + std::string(symbol) + "[] = {\n";
  char buf[64];
  std::snprintf(buf, sizeof buf, "\"%d %d %zu 1\",\n", w_, h_, used.size());
  out += buf;
  for (char k : used) {
    std::snprintf(buf, sizeof buf, "\"%c c %s\",\n", k, colour_of(k));
    out += buf;
  }
  for (int y = 0; y < h_; ++y) {
    out += '"';
    out.append(px_.begin() + static_cast<std::ptrdiff_t>(y) * w_,
               px_.begin() + static_cast<std::ptrdiff_t>(y + 1) * w_);
    out += y + 1 < h_ ? "\",\n" : "\"\n";
  }
  out += "};\n";
  return out;
}
