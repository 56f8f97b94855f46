// Builds the installation's stroke fonts from the Hershey vector fonts
// (".jhf" files) at build time.
//
//   hershey2kav HERSHEY_DIR OUT_DIR
//
// Writes one stroke-font file per font into OUT_DIR: 224 records for the
// codes 32..255, each an advance in text heights followed by commands
// ("1 x y" move, "2 x y" line, "3 cx cy r start sweep" arc, "4 ..." cubic)
// in tenths of the height from the character's origin on the baseline, and
// "0". Capital height is 10, the baseline 0. The Hershey sets hold ASCII
// only; the Latin-1 characters 160..255 are composed here from base letters
// and accents, scaled and turned glyphs, and a few small drawings.

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Pt {
  double x = 0.0, y = 0.0;
};

// A pen-down run: a start point and lines or cubic curves from there.
struct Seg {
  bool cubic = false;
  Pt c1, c2, p;
};
struct Path {
  Pt start;
  std::vector<Seg> segs;
};
// Degrees; a sweep of 0 is a full circle.
struct Arc {
  Pt c;
  double r = 0.0, start = 0.0, sweep = 0.0;
};

// A glyph in tenths of the height, y up. In the raw form its origin is the
// Hershey left bearing and the advance the full Hershey width.
struct Glyph {
  std::vector<Path> paths;
  std::vector<Arc> arcs;
  double advance = 0.0;  // tenths

  bool empty() const { return paths.empty() && arcs.empty(); }

  // A small drawing language for the composed characters.
  Glyph& M(double x, double y) {
    paths.push_back(Path{{x, y}, {}});
    return *this;
  }
  Glyph& L(double x, double y) {
    paths.back().segs.push_back(Seg{false, {}, {}, {x, y}});
    return *this;
  }
  Glyph& C(double x1, double y1, double x2, double y2, double x3, double y3) {
    paths.back().segs.push_back(Seg{true, {x1, y1}, {x2, y2}, {x3, y3}});
    return *this;
  }
  Glyph& A(double cx, double cy, double r, double start = 0.0, double sweep = 0.0) {
    arcs.push_back(Arc{{cx, cy}, r, start, sweep});
    return *this;
  }
};

struct Box {
  double x0 = 1e9, y0 = 1e9, x1 = -1e9, y1 = -1e9;
  bool valid() const { return x0 <= x1; }
  void add(Pt p) {
    x0 = std::min(x0, p.x);
    y0 = std::min(y0, p.y);
    x1 = std::max(x1, p.x);
    y1 = std::max(y1, p.y);
  }
  double cx() const { return (x0 + x1) / 2; }
  double cy() const { return (y0 + y1) / 2; }
  double w() const { return x1 - x0; }
};

void for_each_point(const Glyph& g, const std::function<void(Pt)>& f) {
  for (const Path& p : g.paths) {
    f(p.start);
    for (const Seg& s : p.segs) {
      if (s.cubic) {
        f(s.c1);
        f(s.c2);
      }
      f(s.p);
    }
  }
}

Box ink(const Glyph& g) {
  Box b;
  for_each_point(g, [&](Pt p) { b.add(p); });
  for (const Arc& a : g.arcs) {
    b.add({a.c.x - a.r, a.c.y - a.r});
    b.add({a.c.x + a.r, a.c.y + a.r});
  }
  return b;
}

// Applies a point map to every point; arcs get their centre mapped and their
// radius scaled by r_scale and start turned by turn degrees.
Glyph map_points(const Glyph& g, const std::function<Pt(Pt)>& f, double r_scale = 1.0, double turn = 0.0) {
  Glyph out = g;
  for (Path& p : out.paths) {
    p.start = f(p.start);
    for (Seg& s : p.segs) {
      if (s.cubic) {
        s.c1 = f(s.c1);
        s.c2 = f(s.c2);
      }
      s.p = f(s.p);
    }
  }
  for (Arc& a : out.arcs) {
    a.c = f(a.c);
    a.r *= r_scale;
    a.start += turn;
  }
  return out;
}

Glyph shifted(const Glyph& g, double dx, double dy) {
  return map_points(g, [&](Pt p) { return Pt{p.x + dx, p.y + dy}; });
}

// Uniform scale about the origin; the advance scales too.
Glyph scaled(const Glyph& g, double s) {
  auto scale = [&](Pt p) { return Pt{p.x * s, p.y * s}; };
  Glyph out = map_points(g, scale, s);
  out.advance = g.advance * s;
  return out;
}

// Half a turn about (cx, cy).
Glyph turned(const Glyph& g, double cx, double cy) {
  auto turn = [&](Pt p) { return Pt{2 * cx - p.x, 2 * cy - p.y}; };
  return map_points(g, turn, 1.0, 180.0);
}

void append(Glyph& to, const Glyph& g) {
  to.paths.insert(to.paths.end(), g.paths.begin(), g.paths.end());
  to.arcs.insert(to.arcs.end(), g.arcs.begin(), g.arcs.end());
}

// Places a drawing made from x = 0 between side bearings of its own.
Glyph with_bearings(Glyph g, double bearing) {
  Box b = ink(g);
  g = shifted(g, bearing - b.x0, 0);
  g.advance = b.w() + 2 * bearing;
  return g;
}

// ---------------------------------------------------------------- Hershey

struct HersheyGlyph {
  int left = 0, right = 0;
  std::vector<std::vector<std::pair<int, int>>> strokes;  // y grows downwards
};

[[noreturn]] void fail(const std::string& what) { throw std::runtime_error(what); }

// A ".jhf" file: per glyph a 5-column number, a 3-column count of vertex
// pairs, then the pairs as characters relative to 'R' (the first pair is the
// left and right bearing, " R" lifts the pen). Long records may wrap over
// several lines.
std::vector<HersheyGlyph> read_jhf(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) fail("cannot open " + path.string());
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<HersheyGlyph> glyphs;
  std::size_t i = 0;
  auto skip_line_ends = [&] {
    while (i < text.size() && (text[i] == '\n' || text[i] == '\r')) ++i;
  };
  for (;;) {
    skip_line_ends();
    if (i >= text.size()) break;
    if (i + 8 > text.size()) fail(path.string() + ": truncated glyph header");
    std::string count_field = text.substr(i + 5, 3);
    int count = 0;
    std::size_t b = count_field.find_first_not_of(' ');
    if (b == std::string::npos) fail(path.string() + ": missing vertex count");
    auto [ptr, ec] = std::from_chars(count_field.data() + b, count_field.data() + count_field.size(), count);
    if (ec != std::errc() || ptr != count_field.data() + count_field.size() || count < 1)
      fail(path.string() + ": bad vertex count");
    i += 8;
    std::string pairs;
    while (static_cast<int>(pairs.size()) < 2 * count) {
      if (i >= text.size()) fail(path.string() + ": truncated glyph");
      char c = text[i++];
      if (c == '\n' || c == '\r') continue;
      pairs.push_back(c);
    }
    HersheyGlyph g;
    g.left = pairs[0] - 'R';
    g.right = pairs[1] - 'R';
    bool pen_up = true;
    for (int k = 1; k < count; ++k) {
      char cx = pairs[2 * k], cy = pairs[2 * k + 1];
      if (cx == ' ' && cy == 'R') {
        pen_up = true;
        continue;
      }
      if (pen_up) g.strokes.emplace_back();
      pen_up = false;
      g.strokes.back().emplace_back(cx - 'R', cy - 'R');
    }
    glyphs.push_back(std::move(g));
  }
  return glyphs;
}

// A Hershey set in ASCII order (codes 32..127) with its scale: capital
// height and baseline measured on its 'H'.
struct HersheySet {
  std::vector<HersheyGlyph> glyphs;
  double scale = 1.0;
  int baseline = 0;

  explicit HersheySet(const fs::path& path) : glyphs(read_jhf(path)) {
    if (glyphs.size() < 95) fail(path.string() + ": fewer than 95 glyphs");
    const HersheyGlyph& h = glyphs['H' - 32];
    int top = 1 << 20, bottom = -(1 << 20);
    for (const auto& s : h.strokes)
      for (auto [x, y] : s) {
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
    if (bottom <= top) fail(path.string() + ": 'H' has no height");
    scale = 10.0 / (bottom - top);
    baseline = bottom;
  }

  bool has(int code) const { return code >= 32 && code - 32 < static_cast<int>(glyphs.size()); }

  // The raw glyph: origin at the left bearing, advance the full width.
  Glyph raw(int code) const {
    Glyph g;
    if (!has(code)) return g;
    const HersheyGlyph& h = glyphs[code - 32];
    auto pt = [&](std::pair<int, int> v) {
      return Pt{(v.first - h.left) * scale, (baseline - v.second) * scale};
    };
    for (const auto& s : h.strokes) {
      g.M(pt(s[0]).x, pt(s[0]).y);
      if (s.size() == 1) {  // a lone point: a dot
        g.L(pt(s[0]).x, pt(s[0]).y);
        continue;
      }
      for (std::size_t k = 1; k < s.size(); ++k) g.L(pt(s[k]).x, pt(s[k]).y);
    }
    g.advance = (h.right - h.left) * scale;
    return g;
  }
};

// ------------------------------------------------------------ composition

// Accents are drawn about a centre x and on a base height b.
enum Accent { GRAVE, ACUTE, CIRCUMFLEX, TILDE, DIERESIS, RING };

Glyph accent(Accent a, double cx, double b) {
  Glyph g;
  switch (a) {
    case GRAVE:
      g.M(cx - 0.9, b + 1.8).L(cx + 0.6, b);
      break;
    case ACUTE:
      g.M(cx - 0.6, b).L(cx + 0.9, b + 1.8);
      break;
    case CIRCUMFLEX:
      g.M(cx - 1.4, b).L(cx, b + 1.5).L(cx + 1.4, b);
      break;
    case TILDE:
      g.M(cx - 1.8, b + 0.4).C(cx - 0.6, b + 2.0, cx + 0.6, b - 0.6, cx + 1.8, b + 1.0);
      break;
    case DIERESIS:
      g.A(cx - 1.2, b + 0.5, 0.45).A(cx + 1.2, b + 0.5, 0.45);
      break;
    case RING:
      g.A(cx, b + 1.0, 1.0);
      break;
  }
  return g;
}

Glyph cedilla(double cx) {
  Glyph g;
  g.M(cx + 0.1, 0.0).L(cx - 0.2, -0.9).C(cx + 1.3, -0.9, cx + 1.3, -2.6, cx - 1.0, -2.4);
  return g;
}

// The x centre of the upper half of a glyph's ink, where an accent sits
// (for slanted letters the top is not above the middle of the whole).
double top_centre(const Glyph& g) {
  Box all = ink(g);
  double mid = all.cy();
  Box upper;
  for_each_point(g, [&](Pt p) {
    if (p.y >= mid) upper.add(p);
  });
  return upper.valid() ? upper.cx() : all.cx();
}

struct Composer {
  const HersheySet& set;
  const HersheySet& greek;
  const HersheySet& roman;  // for the section sign of faces whose 's' does not suit it
  double xh = 0.0;          // x-height, from 'x'
  double axis = 0.0;        // height of the hyphen, the middle of operators

  Composer(const HersheySet& s, const HersheySet& g, const HersheySet& r) : set(s), greek(g), roman(r) {
    xh = ink(set.raw('x')).y1;
    axis = ink(set.raw('-')).cy();
  }

  Glyph raw(int code) const { return set.raw(code); }

  bool is_upper(char base) const { return base >= 'A' && base <= 'Z'; }
  double accent_base(char base, Accent a) const {
    if (is_upper(base)) return a == RING ? 10.4 : 11.0;
    return a == RING ? xh + 0.8 : xh + 1.0;
  }

  Glyph dotless_i() const {
    Glyph i = raw('i');
    std::vector<Path> keep;
    for (const Path& p : i.paths) {
      Glyph one;
      one.paths.push_back(p);
      if (ink(one).y0 <= xh + 0.5) keep.push_back(p);
    }
    i.paths = keep;
    return i;
  }

  Glyph accented(char base, Accent a) const {
    Glyph g = base == 'i' ? dotless_i() : raw(static_cast<unsigned char>(base));
    append(g, accent(a, top_centre(g), accent_base(base, a)));
    return g;
  }

  Glyph with_cedilla(char base) const {
    Glyph g = raw(static_cast<unsigned char>(base));
    Box b = ink(g);
    append(g, cedilla(b.cx()));
    return g;
  }

  Glyph slashed(char base) const {
    Glyph g = raw(static_cast<unsigned char>(base));
    Box b = ink(g);
    append(g, Glyph().M(b.x0 - 0.4, b.y0 - 0.5).L(b.x1 + 0.4, b.y1 + 0.5));
    return g;
  }

  // A glyph scaled and moved so that its ink starts at x and its bottom at y.
  Glyph small(int code, double s, double x, double y) const {
    Glyph g = scaled(raw(code), s);
    Box b = ink(g);
    return shifted(g, x - b.x0, y - b.y0);
  }

  Glyph superscript(int code) const {
    Glyph g = with_bearings(small(code, 0.55, 0, 4.6), 1.0);
    return g;
  }

  Glyph fraction(int num, int den) const {
    Glyph g = small(num, 0.5, 0.0, 5.0);
    append(g, Glyph().M(0.6, -0.2).L(6.4, 10.2));
    append(g, small(den, 0.5, 3.6, 0.0));
    return with_bearings(g, 1.2);
  }

  Glyph ordinal(int code) const {
    Glyph g = small(code, 0.6, 0.0, 5.0);
    Box b = ink(g);
    append(g, Glyph().M(b.x0, 4.0).L(b.x1, 4.0));
    return with_bearings(g, 1.2);
  }

  Glyph guillemets(int code) const {
    Glyph one = scaled(raw(code), 0.6);
    Box b = ink(one);
    one = shifted(one, -b.x0, xh / 2 - b.cy());
    Glyph g = one;
    append(g, shifted(one, b.w() * 0.8, 0));
    return with_bearings(g, 1.2);
  }

  // Half a turn of '!' or '?', hanging from the x-height.
  Glyph inverted(int code) const {
    Glyph g = raw(code);
    Box b = ink(g);
    g = turned(g, b.cx(), (xh + b.y0) / 2);
    g.advance = raw(code).advance;
    return g;
  }

  Glyph circled(int code) const {
    Glyph g;
    g.A(5.0, 5.0, 5.0);
    Glyph letter = scaled(raw(code), 0.5);
    Box b = ink(letter);
    append(g, shifted(letter, 5.0 - b.cx(), 5.0 - b.cy()));
    return with_bearings(g, 1.0);
  }

  Glyph compose(int code) const;
};

Glyph Composer::compose(int code) const {
  switch (code) {
    case 160: {  // no-break space
      Glyph g;
      g.advance = raw(' ').advance;
      return g;
    }
    case 161:
      return inverted('!');
    case 162: {  // cent
      Glyph g = raw('c');
      Box b = ink(g);
      append(g, Glyph().M(b.cx(), -1.2).L(b.cx(), xh + 1.2));
      return g;
    }
    case 163: {  // pound
      Glyph g;
      g.M(7.0, 8.4).C(6.5, 10.3, 2.6, 10.6, 2.6, 7.6).L(2.6, 2.2).C(2.6, 0.8, 1.6, 0.0, 0.0, 0.0).L(7.4, 0.0);
      g.M(0.6, 5.0).L(5.2, 5.0);
      return with_bearings(g, 1.2);
    }
    case 164: {  // currency sign
      Glyph g;
      double c = axis, r = 2.2, d = 0.7071;
      g.A(3.4, c, r);
      for (int sx : {-1, 1})
        for (int sy : {-1, 1})
          g.M(3.4 + sx * r * d, c + sy * r * d).L(3.4 + sx * (r + 1.2) * d, c + sy * (r + 1.2) * d);
      return with_bearings(g, 1.2);
    }
    case 165: {  // yen
      Glyph g = raw('Y');
      Box b = ink(g);
      append(g, Glyph().M(b.cx() - 2.6, 2.2).L(b.cx() + 2.6, 2.2).M(b.cx() - 2.6, 4.0).L(b.cx() + 2.6, 4.0));
      return g;
    }
    case 166: {  // broken bar
      Glyph bar = raw('|');
      Box b = ink(bar);
      Glyph g;
      g.M(b.cx(), b.y0).L(b.cx(), b.cy() - 0.8).M(b.cx(), b.cy() + 0.8).L(b.cx(), b.y1);
      g.advance = bar.advance;
      return g;
    }
    case 167: {  // section: two s, one above the other
      Glyph lower = scaled(roman.raw('s'), 0.9);
      Box sb = ink(lower);
      lower = shifted(lower, -sb.x0, -1.6 - sb.y0);
      Box lb = ink(lower);
      Glyph g = lower;
      append(g, shifted(lower, 0.0, lb.y1 - lb.y0 - 1.0));
      return with_bearings(g, 1.2);
    }
    case 168:
      return with_bearings(accent(DIERESIS, 0.0, xh + 1.0), 1.0);
    case 169:
      return circled('C');
    case 170:
      return ordinal('a');
    case 171:
      return guillemets('<');
    case 172: {  // not sign
      Glyph g;
      g.M(0.0, axis + 0.8).L(6.0, axis + 0.8).L(6.0, axis - 1.2);
      return with_bearings(g, 1.2);
    }
    case 173:  // soft hyphen
      return raw('-');
    case 174:
      return circled('R');
    case 175: {  // macron
      Glyph g;
      g.M(0.0, xh + 1.8).L(4.0, xh + 1.8);
      return with_bearings(g, 1.0);
    }
    case 176: {  // degree
      Glyph g;
      g.A(1.3, 8.7, 1.3);
      return with_bearings(g, 1.0);
    }
    case 177: {  // plus-minus
      Glyph plus = scaled(raw('+'), 0.7);
      Box b = ink(plus);
      Glyph g = shifted(plus, -b.x0, 1.6 - b.y0);
      b = ink(g);
      append(g, Glyph().M(b.x0, 0.4).L(b.x1, 0.4));
      return with_bearings(g, 1.2);
    }
    case 178:
      return superscript('2');
    case 179:
      return superscript('3');
    case 180:
      return with_bearings(accent(ACUTE, 0.0, xh + 1.0), 1.0);
    case 181: {  // micro: the Greek mu
      Glyph g = greek.raw('m');
      return g.empty() ? raw('u') : g;
    }
    case 182: {  // pilcrow
      Glyph g;
      g.M(4.0, 10.0).L(4.0, -2.0).M(6.0, 10.0).L(6.0, -2.0);
      g.M(7.0, 10.0).L(2.8, 10.0).C(-0.6, 10.0, -0.6, 4.8, 2.8, 4.8).L(4.0, 4.8);
      return with_bearings(g, 1.2);
    }
    case 183: {  // middle dot
      Glyph g;
      g.A(0.0, xh / 2, 0.45);
      return with_bearings(g, 1.2);
    }
    case 184:
      return with_bearings(cedilla(0.0), 1.0);
    case 185:
      return superscript('1');
    case 186:
      return ordinal('o');
    case 187:
      return guillemets('>');
    case 188:
      return fraction('1', '4');
    case 189:
      return fraction('1', '2');
    case 190:
      return fraction('3', '4');
    case 191:
      return inverted('?');
    case 192:
      return accented('A', GRAVE);
    case 193:
      return accented('A', ACUTE);
    case 194:
      return accented('A', CIRCUMFLEX);
    case 195:
      return accented('A', TILDE);
    case 196:
      return accented('A', DIERESIS);
    case 197:
      return accented('A', RING);
    case 198: {  // AE
      Glyph g;
      g.M(0.0, 0.0).L(5.0, 10.0).L(11.0, 10.0);
      g.M(5.0, 10.0).L(5.0, 0.0).L(11.0, 0.0);
      g.M(5.0, 5.2).L(10.0, 5.2);
      g.M(1.8, 3.6).L(5.0, 3.6);
      return with_bearings(g, 1.6);
    }
    case 199:
      return with_cedilla('C');
    case 200:
      return accented('E', GRAVE);
    case 201:
      return accented('E', ACUTE);
    case 202:
      return accented('E', CIRCUMFLEX);
    case 203:
      return accented('E', DIERESIS);
    case 204:
      return accented('I', GRAVE);
    case 205:
      return accented('I', ACUTE);
    case 206:
      return accented('I', CIRCUMFLEX);
    case 207:
      return accented('I', DIERESIS);
    case 208: {  // Eth: D with a bar through its stem
      Glyph g = raw('D');
      Box b = ink(g);
      append(g, Glyph().M(b.x0 - 1.0, 5.0).L(b.x0 + 2.6, 5.0));
      return g;
    }
    case 209:
      return accented('N', TILDE);
    case 210:
      return accented('O', GRAVE);
    case 211:
      return accented('O', ACUTE);
    case 212:
      return accented('O', CIRCUMFLEX);
    case 213:
      return accented('O', TILDE);
    case 214:
      return accented('O', DIERESIS);
    case 215: {  // multiplication sign
      Glyph g;
      g.M(0.0, axis - 2.2).L(4.4, axis + 2.2).M(0.0, axis + 2.2).L(4.4, axis - 2.2);
      return with_bearings(g, 1.6);
    }
    case 216:
      return slashed('O');
    case 217:
      return accented('U', GRAVE);
    case 218:
      return accented('U', ACUTE);
    case 219:
      return accented('U', CIRCUMFLEX);
    case 220:
      return accented('U', DIERESIS);
    case 221:
      return accented('Y', ACUTE);
    case 222: {  // Thorn
      Glyph g;
      g.M(0.0, 0.0).L(0.0, 10.0);
      g.M(0.0, 7.6).L(3.4, 7.6).A(3.4, 5.2, 2.4, 270.0, 180.0).M(3.4, 2.8).L(0.0, 2.8);
      return with_bearings(g, 1.8);
    }
    case 223: {  // sharp s
      Glyph g;
      g.M(0.0, 0.0).L(0.0, 7.6).A(2.0, 7.6, 2.0, 0.0, 180.0);
      g.M(4.0, 7.6).C(4.0, 6.2, 3.2, 5.6, 2.0, 5.4).C(5.8, 5.0, 5.8, 0.0, 2.0, 0.2);
      return with_bearings(g, 1.4);
    }
    case 224:
      return accented('a', GRAVE);
    case 225:
      return accented('a', ACUTE);
    case 226:
      return accented('a', CIRCUMFLEX);
    case 227:
      return accented('a', TILDE);
    case 228:
      return accented('a', DIERESIS);
    case 229:
      return accented('a', RING);
    case 230: {  // ae: a and e sharing the middle
      Glyph a = raw('a');
      Glyph e = raw('e');
      Box ab = ink(a), eb = ink(e);
      Glyph g = a;
      double dx = ab.x1 - eb.x0 - 0.4;
      append(g, shifted(e, dx, 0));
      g.advance = dx + e.advance;
      return g;
    }
    case 231:
      return with_cedilla('c');
    case 232:
      return accented('e', GRAVE);
    case 233:
      return accented('e', ACUTE);
    case 234:
      return accented('e', CIRCUMFLEX);
    case 235:
      return accented('e', DIERESIS);
    case 236:
      return accented('i', GRAVE);
    case 237:
      return accented('i', ACUTE);
    case 238:
      return accented('i', CIRCUMFLEX);
    case 239:
      return accented('i', DIERESIS);
    case 240: {  // eth: o with a crossed stroke rising from it
      Glyph g = raw('o');
      Box b = ink(g);
      append(g, Glyph()
                    .M(b.x1 - 0.3, b.cy() + 0.6)
                    .C(b.x1 - 0.3, b.y1 + 1.4, b.cx(), 9.2, b.x0 + 1.0, 10.0)
                    .M(b.cx() - 1.4, 8.2)
                    .L(b.x1 + 0.2, 9.6));
      return g;
    }
    case 241:
      return accented('n', TILDE);
    case 242:
      return accented('o', GRAVE);
    case 243:
      return accented('o', ACUTE);
    case 244:
      return accented('o', CIRCUMFLEX);
    case 245:
      return accented('o', TILDE);
    case 246:
      return accented('o', DIERESIS);
    case 247: {  // division sign
      Glyph g = raw('-');
      Box b = ink(g);
      append(g, Glyph().A(b.cx(), axis + 2.0, 0.45).A(b.cx(), axis - 2.0, 0.45));
      return g;
    }
    case 248:
      return slashed('o');
    case 249:
      return accented('u', GRAVE);
    case 250:
      return accented('u', ACUTE);
    case 251:
      return accented('u', CIRCUMFLEX);
    case 252:
      return accented('u', DIERESIS);
    case 253:
      return accented('y', ACUTE);
    case 254: {  // thorn: p with a stem from its lowest point up to the capital height
      Glyph g = raw('p');
      Pt low{0, 1e9};
      for_each_point(g, [&](Pt p) {
        if (p.y < low.y) low = p;
      });
      append(g, Glyph().M(low.x, low.y).L(low.x, 10.0));
      return g;
    }
    case 255:
      return accented('y', DIERESIS);
  }
  return Glyph{};
}

// ------------------------------------------------------------------ faces

struct Face {
  const char* name;
  const char* file;
  const char* roman;  // the upright set the section sign is made from
  bool fixed;         // every character the same advance
  double trim;        // taken off each side bearing of proportional faces, tenths
};

// Fixed pitch: every character is centred in a cell of this advance and
// squeezed sideways when its ink is wider than the cell allows.
constexpr double CELL = 7.6;
constexpr double CELL_INK = 6.6;

Glyph finish(const Glyph& g, const Face& face) {
  if (!face.fixed) {
    Glyph out = shifted(g, -face.trim, 0);
    out.advance = std::max(0.0, g.advance - 2 * face.trim);
    return out;
  }
  Glyph out = g;
  Box b = ink(g);
  if (b.valid()) {
    double s = b.w() > CELL_INK ? CELL_INK / b.w() : 1.0;
    double cx = b.cx();
    out = map_points(g, [&](Pt p) { return Pt{CELL / 2 + (p.x - cx) * s, p.y}; });
  }
  out.advance = CELL;
  return out;
}

std::string number(double v, int decimals) {
  double scale = decimals == 2 ? 100.0 : 10.0;
  v = std::round(v * scale) / scale;
  if (v == 0.0) v = 0.0;  // no "-0.00"
  char buf[32];
  auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
  if (ec != std::errc()) fail("number out of range");
  return std::string(buf, ptr);
}

void write_record(std::ostream& out, const Glyph& g) {
  out << number(g.advance / 10.0, 2) << '\n';
  auto xy = [](Pt p) { return number(p.x, 2) + " " + number(p.y, 2); };
  for (const Path& p : g.paths) {
    out << "1 " << xy(p.start) << '\n';
    for (const Seg& s : p.segs) {
      if (s.cubic)
        out << "4 " << xy(s.c1) << ' ' << xy(s.c2) << ' ' << xy(s.p) << '\n';
      else
        out << "2 " << xy(s.p) << '\n';
    }
  }
  for (const Arc& a : g.arcs) {
    double start = std::fmod(a.start, 360.0);
    if (start < 0) start += 360.0;
    out << "3 " << xy(a.c) << ' ' << number(a.r, 2) << ' ' << number(start, 1) << ' ' << number(a.sweep, 1)
        << '\n';
  }
  out << "0\n";
}

void write_font(const Face& face, const fs::path& hershey_dir, const fs::path& out_dir) {
  HersheySet set(hershey_dir / face.file);
  HersheySet greek(hershey_dir / "greek.jhf");
  HersheySet roman(hershey_dir / face.roman);
  Composer composer(set, greek, roman);

  std::ostringstream out;
  Glyph space = finish(set.raw(' '), face);
  for (int code = 32; code <= 255; ++code) {
    Glyph g;
    if (code < 127)
      g = finish(set.raw(code), face);
    else if (code < 160)
      g = space;  // control codes: nothing to draw
    else
      g = finish(composer.compose(code), face);
    if (code == 160) g = space;
    write_record(out, g);
  }

  fs::path target = out_dir / face.name;
  fs::path temp = out_dir / (std::string(".").append(face.name).append(".tmp"));
  {
    std::ofstream file(temp, std::ios::binary | std::ios::trunc);
    file << out.str();
    file.close();
    if (!file) fail("cannot write " + temp.string());
  }
  fs::rename(temp, target);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: hershey2kav HERSHEY_DIR OUT_DIR\n";
    return 2;
  }
  const Face faces[] = {
      {"Simpel", "futural.jhf", "futural.jhf", true, 1.0},
      {"SimpelProp", "futural.jhf", "futural.jhf", false, 1.0},
      {"Rund", "futuram.jhf", "futuram.jhf", true, 1.0},
      {"RundProp", "futuram.jhf", "futuram.jhf", false, 1.0},
      {"Freihand", "scripts.jhf", "futural.jhf", false, 0.5},
  };
  try {
    fs::path out_dir(argv[2]);
    fs::create_directories(out_dir);
    for (const Face& f : faces) write_font(f, argv[1], out_dir);
  } catch (const std::exception& e) {
    std::cerr << "hershey2kav: " << e.what() << '\n';
    return 1;
  }
  return 0;
}
