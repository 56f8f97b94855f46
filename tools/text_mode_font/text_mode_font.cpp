// Builds, at build time, the table text mode measures written texts with:
// for each printable Latin-1 character of the standard sans-serif font the
// PDF and PostScript readers draw, its advance and the convex hull of its
// outline.
//
//   text_mode_font AFM_FILE FONT_FILE OUT_FILE
//
// AFM_FILE gives the advances (the font's published widths, by glyph name),
// FONT_FILE the outlines (read through FreeType, glyphs found by their
// Unicode code, which for Latin-1 is the character's byte). OUT_FILE
// becomes C++ source holding GLYPHS (advance, first hull point, hull point
// count per character: 32..126, then 160..255) and HULL_POINTS, all in
// thousandths of the font size; the including file defines both structs.
//
// A hull is that of the outline with every curve flattened in 32 equal
// steps of its parameter, counter-clockwise from its lowest-left point,
// thinned so that it lies nowhere more than a thousandth of the size
// inside the outline.

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Pt {
  double x = 0.0, y = 0.0;
  bool operator<(const Pt& o) const { return x < o.x || (x == o.x && y < o.y); }
  bool operator==(const Pt& o) const { return x == o.x && y == o.y; }
};

constexpr int CURVE_STEPS = 32;
constexpr double THIN_TOLERANCE = 1.0;

// "C code ; WX width ; N name ; ..." lines: width by glyph name.
std::map<std::string, int> read_afm_widths(const std::string& path) {
  std::ifstream in(path);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::map<std::string, int> widths;
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("C ", 0) != 0) continue;
    int width = -1;
    std::string name;
    std::istringstream fields(line);
    std::string field;
    while (std::getline(fields, field, ';')) {
      std::istringstream words(field);
      std::string key;
      words >> key;
      if (key == "WX") words >> width;
      if (key == "N") words >> name;
    }
    if (width >= 0 && !name.empty()) widths[name] = width;
  }
  if (widths.empty()) throw std::runtime_error("no character metrics in " + path);
  return widths;
}

// The outline's points with every curve flattened.
struct Flattener {
  std::vector<Pt> pts;
  Pt cur;
  double scale = 1.0;  // font units to thousandths of the size

  Pt at(const FT_Vector* v) const { return {v->x * scale, v->y * scale}; }

  static int move_to(const FT_Vector* to, void* user) {
    auto* f = static_cast<Flattener*>(user);
    f->cur = f->at(to);
    f->pts.push_back(f->cur);
    return 0;
  }
  static int line_to(const FT_Vector* to, void* user) { return move_to(to, user); }
  static int conic_to(const FT_Vector* control, const FT_Vector* to, void* user) {
    auto* f = static_cast<Flattener*>(user);
    const Pt a = f->cur, b = f->at(control), c = f->at(to);
    for (int k = 1; k <= CURVE_STEPS; ++k) {
      const double t = static_cast<double>(k) / CURVE_STEPS, u = 1.0 - t;
      f->pts.push_back(
          {u * u * a.x + 2 * u * t * b.x + t * t * c.x, u * u * a.y + 2 * u * t * b.y + t * t * c.y});
    }
    f->cur = c;
    return 0;
  }
  static int cubic_to(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
    auto* f = static_cast<Flattener*>(user);
    const Pt a = f->cur, b = f->at(c1), c = f->at(c2), d = f->at(to);
    for (int k = 1; k <= CURVE_STEPS; ++k) {
      const double t = static_cast<double>(k) / CURVE_STEPS, u = 1.0 - t;
      const double wa = u * u * u, wb = 3 * u * u * t, wc = 3 * u * t * t, wd = t * t * t;
      f->pts.push_back(
          {wa * a.x + wb * b.x + wc * c.x + wd * d.x, wa * a.y + wb * b.y + wc * c.y + wd * d.y});
    }
    f->cur = d;
    return 0;
  }
};

double cross(const Pt& o, const Pt& a, const Pt& b) {
  return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// Counter-clockwise, from the lowest-left point; collinear points left out.
std::vector<Pt> convex_hull(std::vector<Pt> p) {
  std::sort(p.begin(), p.end());
  p.erase(std::unique(p.begin(), p.end()), p.end());
  if (p.size() < 3) return p;
  std::vector<Pt> h;
  for (int pass = 0; pass < 2; ++pass) {
    const size_t floor = h.size();
    for (const Pt& q : p) {
      while (h.size() >= floor + 2 && cross(h[h.size() - 2], h.back(), q) <= 0) h.pop_back();
      h.push_back(q);
    }
    h.pop_back();
    std::reverse(p.begin(), p.end());
  }
  return h;
}

double off_line(const Pt& a, const Pt& p, const Pt& b) {
  const double len = std::hypot(b.x - a.x, b.y - a.y);
  return len > 0.0 ? std::fabs(cross(a, p, b)) / len : std::hypot(p.x - a.x, p.y - a.y);
}

// Leaves out the points of each run that lies within the tolerance of the
// chord over it, so that the long runs of near-collinear points of a
// flattened curve do not fill the table. Each point left out stays within
// the tolerance outside the thinned hull: the hull never cuts a flank.
std::vector<Pt> thin(const std::vector<Pt>& h) {
  const size_t n = h.size();
  if (n <= 3) return h;
  std::vector<Pt> kept{h[0]};
  size_t from = 0;
  while (true) {
    // The furthest end (n wraps round to the first point) whose chord from
    // the point kept last holds every point between.
    size_t end = from + 1;
    while (end < n) {
      const Pt& to = h[(end + 1) % n];
      bool holds = true;
      for (size_t k = from + 1; k <= end && holds; ++k) holds = off_line(h[from], h[k], to) <= THIN_TOLERANCE;
      if (!holds) break;
      ++end;
    }
    if (end >= n) break;
    kept.push_back(h[end]);
    from = end;
  }
  return kept;
}

long round_unit(double v) { return std::lround(v); }

struct Entry {
  int advance = 0;
  std::vector<Pt> hull;
};

Entry glyph_entry(FT_Face face, unsigned code, const std::map<std::string, int>& widths) {
  const FT_UInt index = FT_Get_Char_Index(face, code);
  if (index == 0) throw std::runtime_error("the font has no glyph for code " + std::to_string(code));
  char name[128] = {};
  if (FT_Get_Glyph_Name(face, index, name, sizeof name) != 0)
    throw std::runtime_error("no glyph name for code " + std::to_string(code));
  const auto w = widths.find(name);
  if (w == widths.end()) throw std::runtime_error(std::string("no width for glyph ") + name);
  if (FT_Load_Glyph(face, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP | FT_LOAD_IGNORE_TRANSFORM) != 0)
    throw std::runtime_error(std::string("cannot load glyph ") + name);
  Flattener f;
  f.scale = 1000.0 / face->units_per_EM;
  FT_Outline_Funcs funcs{};
  funcs.move_to = &Flattener::move_to;
  funcs.line_to = &Flattener::line_to;
  funcs.conic_to = &Flattener::conic_to;
  funcs.cubic_to = &Flattener::cubic_to;
  if (FT_Outline_Decompose(&face->glyph->outline, &funcs, &f) != 0)
    throw std::runtime_error(std::string("cannot read the outline of ") + name);
  return {w->second, thin(convex_hull(f.pts))};
}

void write_table(std::ostream& out, const std::vector<unsigned>& codes, const std::vector<Entry>& entries,
                 const std::string& font) {
  out << "// Generated at build time by text_mode_font from " << font << "; do not edit.\n\n";
  out << "constexpr StandardGlyph GLYPHS[" << entries.size() << "] = {\n";
  size_t first = 0;
  for (size_t i = 0; i < entries.size(); ++i) {
    out << "    {" << entries[i].advance << ", " << first << ", " << entries[i].hull.size() << "},  // "
        << codes[i] << '\n';
    first += entries[i].hull.size();
  }
  // The table's indices are 16-bit.
  if (first > 32767) throw std::runtime_error("too many hull points for the table");
  out << "};\n\nconstexpr HullPoint HULL_POINTS[" << first << "] = {\n";
  for (const Entry& e : entries) {
    if (e.hull.empty()) continue;
    out << "   ";
    for (const Pt& p : e.hull) out << " {" << round_unit(p.x) << ", " << round_unit(p.y) << "},";
    out << '\n';
  }
  out << "};\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: text_mode_font AFM_FILE FONT_FILE OUT_FILE\n";
    return 2;
  }
  FT_Library lib = nullptr;
  FT_Face face = nullptr;
  try {
    const auto widths = read_afm_widths(argv[1]);
    if (FT_Init_FreeType(&lib) != 0) throw std::runtime_error("cannot start FreeType");
    if (FT_New_Face(lib, argv[2], 0, &face) != 0)
      throw std::runtime_error(std::string("cannot read ") + argv[2]);
    if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) != 0)
      throw std::runtime_error(std::string("no Unicode character map in ") + argv[2]);
    std::vector<unsigned> codes;
    for (unsigned c = 32; c < 127; ++c) codes.push_back(c);
    for (unsigned c = 160; c < 256; ++c) codes.push_back(c);
    std::vector<Entry> entries;
    for (const unsigned c : codes) entries.push_back(glyph_entry(face, c, widths));
    std::ostringstream text;
    write_table(text, codes, entries, face->family_name ? face->family_name : "the font");
    const std::string tmp = std::string(argv[3]) + ".tmp";
    {
      std::ofstream out(tmp);
      out << text.str();
      if (!out.flush()) throw std::runtime_error("cannot write " + tmp);
    }
    if (std::rename(tmp.c_str(), argv[3]) != 0)
      throw std::runtime_error(std::string("cannot write ") + argv[3]);
  } catch (const std::exception& e) {
    std::cerr << "text_mode_font: " << e.what() << '\n';
    if (face) FT_Done_Face(face);
    if (lib) FT_Done_FreeType(lib);
    return 1;
  }
  FT_Done_Face(face);
  FT_Done_FreeType(lib);
  return 0;
}
