// The stroke fonts the installation ships: every file loads whole, every
// printable character has strokes, the capital height is the text height,
// and a sample sheet of each font is written as a PNG for a look.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "display/font.h"
#include "display/sample_sheet.h"
#include "display/text_layout.h"
#include "model/consts.h"
#include "model/settings.h"

namespace {

namespace fs = std::filesystem;

const std::string stage_fonts = std::string(KAVRO_STAGE_DIR) + "/dat/fonts";

std::vector<std::string> shipped_font_names() {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(stage_fonts)) {
    std::string n = e.path().filename().string();
    if (e.is_regular_file() && n != "README" && n[0] != '.') names.push_back(n);
  }
  std::sort(names.begin(), names.end());
  return names;
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
