#include "display/text_layout.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "model/consts.h"
#include "model/settings.h"

thread_local constinit Point2 text_frame[4];
thread_local GlyphContour glyph_contour;

namespace {

// Chords per curve: on the screen, and twice as many for other output.
constexpr int CUBIC_CHORDS_SCREEN = 6;
constexpr int QUAD_CHORDS_SCREEN = 3;

void contour_append(const Point2& p) {
  if (glyph_contour.count() < GLYPH_CONTOUR_MAX) glyph_contour.points.push_back(p);
}

class GlyphReader {
 public:
  GlyphReader(const FontSlot& font, const int16_t* at)
      : at_(at), end_(font.codes.data() + font.codes.size()) {}

  bool more() const { return at_ < end_; }
  int16_t word() { return at_ < end_ ? *at_++ : int16_t{GLYPH_END}; }

 private:
  const int16_t* at_;
  const int16_t* end_;
};

}  // namespace

double text_world_height(double height) { return height * drawing_scale / 1000.0; }

double text_char_advance(const FontSlot& font, unsigned char code, double h, double wf, double spacing) {
  return h * spacing + h * wf * font.advance[code] / 100.0;
}

std::vector<std::string_view> text_split_lines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (;;) {
    std::size_t nl = text.find('\n', start);
    if (nl == std::string_view::npos) {
      lines.push_back(text.substr(start));
      return lines;
    }
    lines.push_back(text.substr(start, nl - start));
    start = nl + 1;
  }
}

double text_line_width(const FontSlot& font, std::string_view line, double h, double wf, double spacing) {
  double sum = 0.0;
  for (char c : line) sum += text_char_advance(font, static_cast<unsigned char>(c), h, wf, spacing);
  return sum;
}

void text_place_into(std::vector<TextPlacement>& out, const FontSlot& font, std::string_view text, double h,
                     double wf, double spacing, double fit, int alignment) {
  out.clear();
  if (alignment < TEXT_LEFT || alignment > TEXT_JUSTIFIED) return;
  auto advance = [&](char c) {
    return text_char_advance(font, static_cast<unsigned char>(c), h, wf, spacing);
  };
  out.reserve(text.size());
  std::size_t start = 0;
  for (int k = 0;; ++k) {
    const std::size_t nl = text.find('\n', start);
    std::string_view line =
        text.substr(start, nl == std::string_view::npos ? std::string_view::npos : nl - start);
    int n = static_cast<int>(line.size());
    switch (alignment) {
      case TEXT_LEFT: {
        double pos = 0.0;
        for (char c : line) {
          out.push_back({static_cast<unsigned char>(c), k, pos});
          pos += advance(c);
        }
        break;
      }
      case TEXT_RIGHT: {
        // From the last character back, so that the advances end at the origin.
        double pos = 0.0;
        for (int i = n - 1; i >= 0; --i) {
          pos -= advance(line[i]);
          out.push_back({static_cast<unsigned char>(line[i]), k, pos});
        }
        break;
      }
      case TEXT_CENTRED: {
        double pos = -text_line_width(font, line, h, wf, spacing) / 2.0;
        for (char c : line) {
          out.push_back({static_cast<unsigned char>(c), k, pos});
          pos += advance(c);
        }
        break;
      }
      case TEXT_JUSTIFIED: {
        if (n == 0) break;
        // The last character's advance, without spacing, ends at the fit length.
        double step = 0.0;
        if (n >= 2) {
          unsigned char last = static_cast<unsigned char>(line[n - 1]);
          step = (fit - h * wf * font.advance[last] / 100.0) / (n - 1);
        }
        for (int i = 0; i < n; ++i) out.push_back({static_cast<unsigned char>(line[i]), k, i * step});
        break;
      }
    }
    if (nl == std::string_view::npos) return;
    start = nl + 1;
  }
}

std::vector<TextPlacement> text_place(const FontSlot& font, std::string_view text, double h, double wf,
                                      double spacing, double fit, int alignment) {
  std::vector<TextPlacement> out;
  text_place_into(out, font, text, h, wf, spacing, fit, alignment);
  return out;
}

Point2 text_line_origin(double x, double y, double angle, double pitch, int k) {
  return Point2{x + k * pitch * std::sin(angle), y - k * pitch * std::cos(angle), 0};
}

Point2 text_draw_rotate_point(double cx, double cy, double px, double py, double sine, double cosine) {
  if (sine == 0.0) return Point2{px, py, 0};
  double dx = px - cx;
  double dy = py - cy;
  return Point2{cx + cosine * dx - sine * dy, cy + sine * dx + cosine * dy, 0};
}

double font_text_width(double height, double wf, double spacing, const char* font, const char* text,
                       int alignment, double fit) {
  if (alignment == TEXT_JUSTIFIED) return fit;
  uint8_t slot = font_find_or_load(font);
  if (slot == FONT_NONE) return 0.0;
  double h = text_world_height(height);
  double widest = 0.0;
  for (std::string_view line : text_split_lines(text ? text : ""))
    widest = std::max(widest, text_line_width(font_slots[slot], line, h, wf, spacing));
  return widest;
}

void text_draw_layout_frame(double x, double y, double angle, double height, double wf, double spacing,
                            double line_spacing, const char* text, double fit, const char* font,
                            int alignment) {
  uint8_t slot = font_find_or_load(font);
  if (slot == FONT_NONE) {
    for (Point2& p : text_frame) p = Point2{x, y, 0};
    return;
  }
  double h = text_world_height(height);
  std::string_view t(text ? text : "");
  double left, right, bottom;
  if (alignment == TEXT_JUSTIFIED) {
    left = x;
    right = x + fit;
    bottom = y;
  } else {
    double w = 0.0;
    std::vector<std::string_view> lines = text_split_lines(t);
    for (std::string_view line : lines)
      w = std::max(w, text_line_width(font_slots[slot], line, h, wf, spacing));
    if (alignment == TEXT_RIGHT) {
      left = x - w;
      right = x;
    } else if (alignment == TEXT_CENTRED) {
      left = x - w / 2.0;
      right = x + w / 2.0;
    } else {
      left = x;
      right = x + w;
    }
    bottom = y - static_cast<double>(lines.size() - 1) * h * line_spacing;
  }
  double top = y + h;
  double s = std::sin(angle);
  double c = std::cos(angle);
  text_frame[0] = text_draw_rotate_point(x, y, left, bottom, s, c);
  text_frame[1] = text_draw_rotate_point(x, y, right, bottom, s, c);
  text_frame[2] = text_draw_rotate_point(x, y, right, top, s, c);
  text_frame[3] = text_draw_rotate_point(x, y, left, top, s, c);
}

void glyph_interpret(const FontSlot& font, unsigned char code, const GlyphPlace& place, bool fine,
                     GlyphSink& sink) {
  glyph_contour.points.clear();
  if (code < FONT_FIRST_CODE) return;
  const int16_t* start = font.glyph_codes(code);
  if (!start) return;

  auto map = [&](int16_t gx, int16_t gy) {
    double px = place.x + place.h * place.wf * gx / 1000.0;
    double py = place.y + place.h * gy / 1000.0;
    if (place.angle == 0.0) return Point2{px, py, 0};
    return text_draw_rotate_point(place.cx, place.cy, px, py, place.sine, place.cosine);
  };
  bool stroke_font = font.outline == 0;
  int cubic_chords = fine ? 2 * CUBIC_CHORDS_SCREEN : CUBIC_CHORDS_SCREEN;
  int quad_chords = fine ? 2 * QUAD_CHORDS_SCREEN : QUAD_CHORDS_SCREEN;

  Point2 current = map(0, 0);
  Point2 first = current;
  bool open = false;
  GlyphReader r(font, start);
  while (r.more()) {
    int16_t cmd = r.word();
    switch (cmd) {
      case GLYPH_END:
        return;
      case GLYPH_MOVE: {
        int16_t gx = r.word(), gy = r.word();
        current = map(gx, gy);
        if (!open) {
          first = current;
          open = true;
        }
        contour_append(current);
        break;
      }
      case GLYPH_LINE: {
        int16_t gx = r.word(), gy = r.word();
        Point2 p = map(gx, gy);
        sink.stroke(current.x, current.y, p.x, p.y);
        current = p;
        contour_append(p);
        break;
      }
      case GLYPH_ARC: {
        int16_t gx = r.word(), gy = r.word(), gr = r.word(), start_angle = r.word(), sweep = r.word();
        if (!stroke_font) break;
        Point2 c = map(gx, gy);
        double radius = place.h * gr / 1000.0;
        sink.arc(c.x, c.y, place.wf * radius, radius, sweep * std::numbers::pi / 1800.0,
                 start_angle * std::numbers::pi / 1800.0, place.angle);
        break;
      }
      case GLYPH_CUBIC: {
        int16_t w[6];
        for (int16_t& v : w) v = r.word();
        Point2 p0 = current, p1 = map(w[0], w[1]), p2 = map(w[2], w[3]), p3 = map(w[4], w[5]);
        Point2 prev = p0;
        for (int i = 1; i <= cubic_chords; ++i) {
          Point2 p = p3;
          if (i < cubic_chords) {
            double t = static_cast<double>(i) / cubic_chords, u = 1.0 - t;
            double a = u * u * u, b = 3 * u * u * t, cc = 3 * u * t * t, d = t * t * t;
            p = Point2{a * p0.x + b * p1.x + cc * p2.x + d * p3.x, a * p0.y + b * p1.y + cc * p2.y + d * p3.y,
                       0};
          }
          if (stroke_font) sink.stroke(prev.x, prev.y, p.x, p.y);
          contour_append(p);
          prev = p;
        }
        current = p3;
        break;
      }
      case GLYPH_QUAD: {
        int16_t w[4];
        for (int16_t& v : w) v = r.word();
        Point2 p0 = current, c = map(w[0], w[1]), e = map(w[2], w[3]);
        Point2 prev = p0;
        for (int i = 1; i <= quad_chords; ++i) {
          Point2 p = e;
          if (i < quad_chords) {
            double t = static_cast<double>(i) / quad_chords, u = 1.0 - t;
            p = Point2{u * u * p0.x + 2 * t * u * c.x + t * t * e.x,
                       u * u * p0.y + 2 * t * u * c.y + t * t * e.y, 0};
          }
          sink.stroke(prev.x, prev.y, p.x, p.y);
          contour_append(p);
          prev = p;
        }
        current = e;
        break;
      }
      case GLYPH_FILL:
        if (glyph_contour.count() > 0) sink.fill(glyph_contour.points.data(), glyph_contour.count());
        glyph_contour.points.clear();
        break;
      case GLYPH_CLOSE:
        sink.stroke(current.x, current.y, first.x, first.y);
        contour_append(CONTOUR_END);
        current = first;
        open = false;
        break;
      default:
        break;  // unknown codes are skipped one word at a time
    }
  }
}

void text_trace_glyphs(const FontSlot& font, double x, double y, double angle, double h, double wf,
                       double spacing, double line_spacing, std::string_view text, double fit, int alignment,
                       bool fine, GlyphSink& sink) {
  double s = std::sin(angle), c = std::cos(angle);
  double pitch = h * line_spacing;
  for (const TextPlacement& tp : text_place(font, text, h, wf, spacing, fit, alignment)) {
    Point2 o = text_line_origin(x, y, angle, pitch, tp.line);
    GlyphPlace place{o.x + tp.offset, o.y, angle, h, wf, s, c, o.x, o.y};
    glyph_interpret(font, tp.code, place, fine, sink);
  }
}
