// The stroke fonts the installation ships: every file loads whole, every
// printable character has strokes, the capital height is the text height,
// and a sample sheet of each font is written as a PNG for a look.

#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "display/font.h"
#include "display/text_layout.h"
#include "model/consts.h"
#include "model/settings.h"

namespace {

namespace fs = std::filesystem;

const std::string stage_fonts = std::string(KAVRO_STAGE_DIR) + "/dat/fonts";

// Texts are ISO-8859-1: converts the two-byte UTF-8 sequences of a literal.
std::string latin1(const char* utf8) {
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

std::vector<std::string> shipped_font_names() {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(stage_fonts)) {
    std::string n = e.path().filename().string();
    if (e.is_regular_file() && n != "README" && n[0] != '.') names.push_back(n);
  }
  std::sort(names.begin(), names.end());
  return names;
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
void write_sample_sheet(const FontSlot& font, const std::string& path) {
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
  fs::create_directories(fs::path(path).parent_path());
  cairo_surface_write_to_png(surface, path.c_str());
  cairo_surface_destroy(surface);
}

// The y extent of a glyph's points, in thousandths of the height.
struct Extent {
  int commands = 0;
  int ymin = 1 << 20, ymax = -(1 << 20);
};
Extent glyph_extent(const FontSlot& font, int code) {
  Extent e;
  const int16_t* p = font.glyph_codes(code);
  for (;;) {
    int16_t cmd = *p++;
    if (cmd == GLYPH_END) break;
    ++e.commands;
    int pairs = cmd == GLYPH_MOVE || cmd == GLYPH_LINE ? 1 : cmd == GLYPH_CUBIC ? 3 : 0;
    if (cmd == GLYPH_ARC) {
      e.ymin = std::min(e.ymin, p[1] - p[2]);
      e.ymax = std::max(e.ymax, p[1] + p[2]);
      p += 5;
    }
    for (int k = 0; k < pairs; ++k, p += 2) {
      e.ymin = std::min<int>(e.ymin, p[1]);
      e.ymax = std::max<int>(e.ymax, p[1]);
    }
  }
  return e;
}

TEST(FontShipped, EveryFontLoadsWithStrokesForEveryPrintableCharacter) {
  std::vector<std::string> names = shipped_font_names();
  for (const char* required : {"Simpel", "SimpelProp", "Rund", "RundProp", "Freihand"})
    EXPECT_NE(std::find(names.begin(), names.end(), required), names.end()) << required;

  font_slots_clear();
  font_stroke_dir = stage_fonts;
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    uint8_t slot = font_find_or_load(name.c_str());
    ASSERT_NE(slot, FONT_NONE);
    const FontSlot& font = font_slots[slot];
    ASSERT_EQ(font.name, name) << "fell back instead of loading";
    for (int code = 32; code < 256; ++code) {
      SCOPED_TRACE(code);
      ASSERT_NE(font.glyph_codes(code), nullptr);
      Extent e = glyph_extent(font, code);
      bool blank = code == 32 || (code >= 127 && code <= 160);
      if (blank)
        EXPECT_EQ(e.commands, 0);
      else
        EXPECT_GT(e.commands, 0) << "no strokes";
      EXPECT_GT(font.advance[code], 0);
      EXPECT_GE(e.ymin, -600);
      EXPECT_LE(e.ymax, 1500);
    }
    Extent h = glyph_extent(font, 'H');
    EXPECT_EQ(h.ymin, 0);
    EXPECT_EQ(h.ymax, 1000);
    write_sample_sheet(font, std::string(KAVRO_TEST_OUTPUT_DIR) + "/sample-" + name + ".png");
  }
  font_slots_clear();
  font_stroke_dir = "./dat/fonts";
}

TEST(FontShipped, FixedPitchFacesGiveEveryCharacterTheSameAdvance) {
  font_slots_clear();
  font_stroke_dir = stage_fonts;
  for (const char* name : {"Simpel", "Rund"}) {
    SCOPED_TRACE(name);
    const FontSlot& font = font_slots[font_find_or_load(name)];
    for (int code = 33; code < 256; ++code) EXPECT_EQ(font.advance[code], font.advance[32]) << code;
  }
  const FontSlot& prop = font_slots[font_find_or_load("SimpelProp")];
  EXPECT_LT(prop.advance['i'], prop.advance['m']);
  font_slots_clear();
  font_stroke_dir = "./dat/fonts";
}

// The extent of everything a text strokes.
struct ExtentSink : GlyphSink {
  double x0 = 1e9, y0 = 1e9, x1 = -1e9, y1 = -1e9;
  void add(double x, double y) {
    x0 = std::min(x0, x);
    y0 = std::min(y0, y);
    x1 = std::max(x1, x);
    y1 = std::max(y1, y);
  }
  void stroke(double ax, double ay, double bx, double by) override {
    add(ax, ay);
    add(bx, by);
  }
  void arc(double cx, double cy, double rx, double ry, double, double, double) override {
    add(cx - rx, cy - ry);
    add(cx + rx, cy + ry);
  }
  void fill(const Point2*, int) override {}
};

TEST(FontShipped, CapitalHeightIsTheTextHeightAndRightTextsEndBeforeTheirPoint) {
  font_slots_clear();
  font_stroke_dir = stage_fonts;
  double saved_scale = drawing_scale;
  drawing_scale = 100;
  double h = text_world_height(2.5);  // 2.5 mm at 1:100
  EXPECT_DOUBLE_EQ(h, 0.25);
  for (const std::string& name : shipped_font_names()) {
    SCOPED_TRACE(name);
    const FontSlot& font = font_slots[font_find_or_load(name.c_str())];
    ExtentSink left;
    text_trace_glyphs(font, 3, 4, 0.0, h, 1.0, 0.1, 1.5, "H", 0.0, TEXT_LEFT, true, left);
    EXPECT_NEAR(left.y0, 4.0, 1e-12);
    EXPECT_NEAR(left.y1, 4.25, 1e-12);

    // The strokes of a right-aligned text stop short of the insertion point
    // by the spacing and the last character's side bearing. (Script letters
    // reach out to join their neighbours.)
    if (name == "Freihand") continue;
    ExtentSink right;
    text_trace_glyphs(font, 3, 4, 0.0, h, 1.0, 0.1, 1.5,
                      latin1("Gr\xC3\xB6\xC3\x9F"
                             "e"),
                      0.0, TEXT_RIGHT, true, right);
    EXPECT_LT(right.x1, 3.0 - 0.1 * h);
    EXPECT_GT(right.x1, 3.0 - 0.4 * h);
    double width = font_text_width(2.5, 1.0, 0.1, name.c_str(),
                                   latin1("Gr\xC3\xB6\xC3\x9F"
                                          "e")
                                       .c_str(),
                                   TEXT_LEFT, 0.0);
    EXPECT_GT(right.x0, 3.0 - width);
  }
  drawing_scale = saved_scale;
  font_slots_clear();
  font_stroke_dir = "./dat/fonts";
}

}  // namespace
