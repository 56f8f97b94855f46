#include "display/text_mode.h"

#include <cmath>
#include <cstdint>
#include <string_view>

#include "display/text_layout.h"
#include "model/settings.h"

namespace {

// GLYPHS and HULL_POINTS, generated at build time from the installed
// standard fonts: the printable Latin-1 characters 32..126 and 160..255 of
// Helvetica in the encoding both writers use (the apostrophe, hyphen and
// grave accent as themselves, not as typographic quotes or a minus sign),
// in thousandths of the font size: each character's advance, which is the
// font's published width, and the convex hull of its outline, curves
// flattened, nowhere more than a thousandth of the size inside it,
// counter-clockwise (none for a blank).
struct StandardGlyph {
  int16_t advance;
  int16_t first, count;  // its hull's points in HULL_POINTS
};
struct HullPoint {
  int16_t x, y;
};

#include "display/text_mode_font.inc"

const StandardGlyph& glyph(unsigned char code) { return GLYPHS[code < 127 ? code - 32 : code - 160 + 95]; }

}  // namespace

double text_mode_font_size_mm(double height) { return height * 1.25; }

bool text_mode_writes(unsigned char code) { return (code >= 32 && code < 127) || code >= 160; }

std::vector<TextModeLine> text_mode_lines(const OutdevText& t) {
  const char* text = t.text ? t.text : "";
  const double c = std::cos(t.angle), s = std::sin(t.angle);
  double x = t.x, y = t.y;
  if (t.alignment == TEXT_RIGHT || t.alignment == TEXT_CENTRED) {
    double width =
        font_text_width(t.height, t.width_factor, t.spacing, t.font ? t.font : "", text, t.alignment, 0.0);
    if (t.alignment == TEXT_CENTRED) width /= 2.0;
    x -= c * width;
    y -= s * width;
  }
  const double pitch = text_world_height(t.height) * t.line_spacing;
  std::vector<TextModeLine> lines;
  for (std::string_view line : text_split_lines(text)) {
    TextModeLine& l = lines.emplace_back();
    l.x = x;
    l.y = y;
    for (const char ch : line)
      if (text_mode_writes(static_cast<unsigned char>(ch))) l.text.push_back(ch);
    x += s * pitch;
    y -= c * pitch;
  }
  return lines;
}

void ink_add_text_mode(InkBox& box, const OutdevText& t) {
  const double em = text_world_height(text_mode_font_size_mm(t.height)) / 1000.0;
  const double c = std::cos(t.angle), s = std::sin(t.angle);
  for (const TextModeLine& line : text_mode_lines(t)) {
    int along = 0;  // thousandths of the size from the line's start
    for (const char ch : line.text) {
      const StandardGlyph& g = glyph(static_cast<unsigned char>(ch));
      for (int i = g.first; i < g.first + g.count; ++i) {
        const double gx = along + HULL_POINTS[i].x, gy = HULL_POINTS[i].y;
        box.add(line.x + em * (c * gx - s * gy), line.y + em * (s * gx + c * gy));
      }
      along += g.advance;
    }
  }
}
