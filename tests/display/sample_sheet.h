#pragma once

// A PNG sheet of a font for a look: all 224 characters in a grid with their
// advances, then a few lines of sample text. Also ISO-8859-1 literals.

#include <cairo.h>

#include <filesystem>
#include <string>

#include "display/font.h"
#include "display/text_layout.h"
#include "model/consts.h"

// Texts are ISO-8859-1: converts the two-byte UTF-8 sequences of a literal.
inline std::string latin1(const char* utf8) {
  std::string out;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(utf8); *p; ++p) {
    if ((*p == 0xC2 || *p == 0xC3) && p[1]) {
      out.push_back(static_cast<char>(((*p & 0x03) << 6) | (p[1] & 0x3F)));
      ++p;
    } else {
      out.push_back(static_cast<char>(*p));
    }
  }
  return out;
}

// Draws glyphs into a cairo context whose user space is world units.
class CairoSink : public GlyphSink {
 public:
  explicit CairoSink(cairo_t* cr) : cr_(cr) {}
  void stroke(double x1, double y1, double x2, double y2) override {
    cairo_move_to(cr_, x1, y1);
    cairo_line_to(cr_, x2, y2);
    cairo_stroke(cr_);
  }
  void arc(double cx, double cy, double rx, double ry, double sweep, double start, double rotation) override {
    if (rx <= 0 || ry <= 0) return;
    cairo_save(cr_);
    cairo_translate(cr_, cx, cy);
    cairo_rotate(cr_, rotation);
    cairo_scale(cr_, rx, ry);
    cairo_new_sub_path(cr_);
    cairo_arc(cr_, 0, 0, 1, start, start + sweep);
    cairo_restore(cr_);
    cairo_stroke(cr_);
  }
  void fill(const Point2* points, int count) override {
    bool start = true;
    for (int i = 0; i < count; ++i) {
      if (point_is_contour_end(points[i].x, points[i].y)) {
        cairo_close_path(cr_);
        start = true;
        continue;
      }
      if (start)
        cairo_move_to(cr_, points[i].x, points[i].y);
      else
        cairo_line_to(cr_, points[i].x, points[i].y);
      start = false;
    }
    cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_WINDING);
    cairo_fill(cr_);
  }

 private:
  cairo_t* cr_;
};

// All 224 characters in a 16 x 14 grid, then sample lines.
inline void write_sample_sheet(const FontSlot& font, const std::string& path) {
  const double cell = 1.8, px = 40.0;  // world units per cell, pixels per world unit
  const int width = static_cast<int>(16 * cell * px + 40), height = static_cast<int>((14 * cell + 8) * px);
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  cairo_translate(cr, 20, height - 20);
  cairo_scale(cr, px, -px);
  cairo_set_line_width(cr, 0.05);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);

  CairoSink sink(cr);
  double top = 14 * cell + 7.6;
  for (int code = 32; code < 256; ++code) {
    int row = (code - 32) / 16, col = (code - 32) % 16;
    double x = col * cell + 0.3, y = top - (row + 1) * cell + 0.5;
    cairo_set_source_rgb(cr, 0.75, 0.85, 1.0);
    cairo_move_to(cr, x, y);
    cairo_line_to(cr, x + font.advance[code] / 100.0, y);
    cairo_move_to(cr, x, y + 1.0);
    cairo_line_to(cr, x + font.advance[code] / 100.0, y + 1.0);
    cairo_stroke(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    GlyphPlace place{x, y, 0.0, 1.0, 1.0, 0.0, 1.0, x, y};
    glyph_interpret(font, static_cast<unsigned char>(code), place, true, sink);
  }
  const char* lines[] = {
      "Grundriss Erdgeschoss M 1:100 - Wohnen 24,50 m\xC2\xB2",
      "\xC3\x84pfel \xC3\x96l \xC3\x9C"
      "bergr\xC3\xB6\xC3\x9F"
      "e \xC3\xA4\xC3\xB6\xC3\xBC \xC3\xA0\xC3\xA9\xC3\xAE\xC3\xB5 "
      "\xC3\x86\xC3\x98\xC3\x85 \xC3\xA6\xC3\xB8\xC3\xA5 \xC3\xB1 \xC3\xA7",
      "\xC2\xBF\xC2\xA1 \xC2\xAB\xC2\xBB \xC2\xA9 \xC2\xAE 90\xC2\xB0 \xC2\xB1 \xC3\x97 \xC3\xB7 \xC2\xB5m "
      "\xC2\xBD \xC2\xBC \xC2\xBE \xC2\xA7 \xC2\xB6 \xC2\xA3 \xC2\xA5 \xC2\xA2 \xC3\x9E\xC3\xBE "
      "\xC3\x90\xC3\xB0",
      "The quick brown fox jumps over the lazy dog 0123456789",
  };
  cairo_set_source_rgb(cr, 0, 0, 0);
  for (int i = 0; i < 4; ++i) {
    std::string text = latin1(lines[i]);
    text_trace_glyphs(font, 0.3, 5.6 - 1.8 * i, 0.0, 0.8, 1.0, 0.1, 1.5, text, 0.0, TEXT_LEFT, true, sink);
  }
  cairo_destroy(cr);
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  cairo_surface_write_to_png(surface, path.c_str());
  cairo_surface_destroy(surface);
}
