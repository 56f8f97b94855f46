// The font developer tools: a font drawn as elements and written back, the
// cell test, and the conversion of a font description.

#include "display/font_tools.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>
#include <string>
#include <vector>

#include "display/outdev.h"
#include "display/text_layout.h"
#include "display_fixture.h"
#include "font_fixture.h"
#include "model/defaults.h"
#include "model/elem.h"
#include "model/layers.h"
#include "model/undo.h"
#include "support/comma_locale.h"
#include "support/recording_ui.h"

namespace {

namespace fs = std::filesystem;

const fs::path stage_fonts = fs::path(KAVRO_STAGE_DIR) / "dat" / "fonts";
const fs::path description =
    fs::path(KAVRO_SOURCE_DIR) / "tests" / "display" / "data" / "font_description.txt";

std::string read_text(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// What one glyph draws, in heights from its origin.
struct Drawn {
  std::vector<std::array<double, 4>> strokes;
  std::vector<std::array<double, 5>> arcs;  // cx cy r start sweep (degrees, start in 0..360)
};

class DrawnSink : public GlyphSink {
 public:
  explicit DrawnSink(Drawn& d) : d_(d) {}
  void stroke(double x1, double y1, double x2, double y2) override { d_.strokes.push_back({x1, y1, x2, y2}); }
  void arc(double cx, double cy, double rx, double, double sweep, double start, double) override {
    double s = start * 180 / std::numbers::pi, w = sweep * 180 / std::numbers::pi;
    if (w < 0) {
      s += w;
      w = -w;
    }
    s = std::fmod(s, 360.0);
    if (s < 0) s += 360.0;
    d_.arcs.push_back({cx, cy, rx, s, w});
  }
  void fill(const Point2*, int) override {}

 private:
  Drawn& d_;
};

Drawn drawn(const FontSlot& font, int code) {
  Drawn d;
  DrawnSink sink(d);
  GlyphPlace place{0, 0, 0.0, 1.0, 1.0, 0.0, 1.0, 0, 0};
  glyph_interpret(font, static_cast<unsigned char>(code), place, true, sink);
  return d;
}

class FontTools : public FontTest {
 protected:
  void SetUp() override {
    FontTest::SetUp();
    undo_record(UNDO_CLEAR, 0);
    drawing_free();
    main_init_defaults();
    outdev_init_screen_slots();
  }
  void TearDown() override {
    undo_record(UNDO_CLEAR, 0);
    drawing_free();
    FontTest::TearDown();
  }
  static std::vector<ElemHeader*> elements() {
    std::vector<ElemHeader*> out;
    ElemHeader* it;
    for (elem_first(&it); it; elem_next(&it)) out.push_back(it);
    return out;
  }
};

TEST_F(FontTools, SimpelDrawnAsElementsAndWrittenBackIsTheSameFont) {
  // A desktop with a decimal comma must not leak into the written numbers.
  DecimalCommaLocale comma;
  fs::copy_file(stage_fonts / "Simpel", fonts_ / "Simpel");
  cur_layer = 5;
  ASSERT_TRUE(font_sample_sheet("Simpel"));
  ASSERT_GT(elem_count(), 224);
  for (ElemHeader* e : elements()) EXPECT_EQ(e->layer, 5);
  // Elements on another layer are not part of the font.
  elem_new_line(6, 0, 0, 0.0, -4.0, 1.0, -3.0);

  RecordingUi ui;
  RecordingOutdev highlighted;
  ASSERT_TRUE(font_write_from_drawing());
  EXPECT_TRUE(ui.calls_starting("error").empty());
  // Every element taken into the font is drawn highlighted, once.
  EXPECT_EQ(highlighted.calls.size(), static_cast<size_t>(elem_count() - 1));
  for (const SlotCall& c : highlighted.calls) EXPECT_EQ(c.draw_mode, DRAWMODE_SELECTED) << c.slot;
  EXPECT_TRUE(fs::exists(fonts_ / "newfont"));
  for (const auto& entry : fs::directory_iterator(fonts_))  // no temporary file left
    EXPECT_TRUE(entry.path().filename() == "Simpel" || entry.path().filename() == "newfont") << entry.path();

  const FontSlot& simpel = font_slots[font_find_or_load("Simpel")];
  uint8_t slot = font_find_or_load("newfont");
  ASSERT_NE(slot, FONT_NONE);
  ASSERT_EQ(font_slots[slot].name, "newfont") << "the written file does not load";
  const FontSlot& written = font_slots[slot];
  const double tol = 0.001 + 1e-9;  // 0.01 tenths of the height
  for (int code = 32; code < 256; ++code) {
    EXPECT_NEAR(written.advance[code], simpel.advance[code], 1) << code;
    Drawn a = drawn(simpel, code), b = drawn(written, code);
    ASSERT_EQ(a.strokes.size(), b.strokes.size()) << code;
    for (size_t i = 0; i < a.strokes.size(); ++i)
      for (int k = 0; k < 4; ++k) EXPECT_NEAR(a.strokes[i][k], b.strokes[i][k], tol) << code << " " << i;
    ASSERT_EQ(a.arcs.size(), b.arcs.size()) << code;
    for (size_t i = 0; i < a.arcs.size(); ++i) {
      for (int k = 0; k < 3; ++k) EXPECT_NEAR(a.arcs[i][k], b.arcs[i][k], tol) << code;
      EXPECT_NEAR(a.arcs[i][3], b.arcs[i][3], 0.1) << code;
      EXPECT_NEAR(a.arcs[i][4], b.arcs[i][4], 0.1) << code;
    }
  }
}

TEST_F(FontTools, SheetRecordsReadTheirCellOnly) {
  // Code 33 ('!') has its cell at (2, -4): a move and a joined line, a
  // separate line, an advance, a clockwise arc, and strays around it.
  cur_layer = 0;
  elem_new_line(0, 0, 0, 2.0, -4.0, 2.5, -3.0);
  elem_new_line(0, 0, 0, 2.5, -3.0, 3.0, -4.0);
  elem_new_line(0, 0, 0, 2.1, -3.5, 2.9, -3.5);
  elem_new_line(0, 3, 0, 2.0, -4.4, 2.8, -4.4);
  elem_new_arc(0, 1, 0, 2.5, -3.8, 0.1, 0.1, -std::numbers::pi / 2, std::numbers::pi, 0.0);
  elem_new_line(0, 1, 0, 2.0, -4.0, 3.0, -3.0);  // another pen: ignored
  elem_new_line(0, 0, 0, 2.0, -4.0, 3.6, -4.0);  // reaches out of the cell
  RecordingUi ui;
  ASSERT_TRUE(font_write_from_drawing());
  std::string text = read_text(fonts_ / "newfont");
  std::string expected_33 =
      "0.80\n1 0.00 0.00\n2 5.00 10.00\n2 10.00 0.00\n1 1.00 5.00\n2 9.00 5.00\n"
      "3 5.00 2.00 1.00 90.00 90.00\n0\n";
  EXPECT_NE(text.find("0.00\n0\n" + expected_33 + "0.00\n0\n"), std::string::npos) << text.substr(0, 200);
  FontSlot slot;
  std::string why;
  EXPECT_TRUE(font_parse_stroke(text, slot, &why)) << why;
}

TEST(FontRect, ContainsItsEdgesAndNothingBeyond) {
  struct Case {
    double x, y;
    bool in;
  };
  const Case cases[] = {
      {0.5, 0.5, true},     {-0.5, 0.5, true},     {1.5, 0.5, true},     {0.5, -0.5, true},
      {0.5, 1.5, true},     {-0.5, -0.5, true},    {1.5, 1.5, true},     {-0.5001, 0.5, false},
      {1.5001, 0.5, false}, {0.5, -0.5001, false}, {0.5, 1.5001, false}, {2.0, 2.0, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(font_rect_contains(-0.5, -0.5, 1.5, 1.5, c.x, c.y), c.in) << c.x << " " << c.y;
  EXPECT_TRUE(font_rect_contains(1, 1, 1, 1, 1, 1));
  EXPECT_FALSE(font_rect_contains(2, 2, 1, 1, 1.5, 1.5));  // an inverted rectangle holds nothing
}

TEST_F(FontTools, ConvertsADescriptionIntoAStrokeFont) {
  DecimalCommaLocale comma;
  fs::path target = fonts_ / "Tiny";
  RecordingUi ui;
  ui.paths = {description.string(), target.string()};
  ASSERT_TRUE(font_convert_metrics());
  EXPECT_TRUE(ui.calls_starting("error").empty());
  auto chooser = ui.calls_starting("choose");
  ASSERT_EQ(chooser.size(), 2u);
  EXPECT_EQ(chooser[0], "choose Quelle: / 0");
  EXPECT_EQ(chooser[1], "choose Ziel: " + fonts_.string() + "/ 1");

  std::string text = read_text(target);
  EXPECT_EQ(text.substr(0, 11), "0.300000\n0\n");
  EXPECT_NE(text.find("\n0.700000\n1 0.000000 0.000000\n2 5.000000 10.000000\n2 10.000000 0.000000\n0\n"),
            std::string::npos);
  EXPECT_NE(text.find("\n1.00\n0\n"), std::string::npos);  // code 127

  FontSlot font;
  std::string why;
  ASSERT_TRUE(font_parse_stroke(text, font, &why)) << why;
  EXPECT_EQ(font.advance[32], 30);
  EXPECT_EQ(font.advance[65], 70);
  EXPECT_EQ(font.advance[66], 80);
  EXPECT_EQ(font.advance[67], 0);  // beyond the description
  EXPECT_EQ(font.advance[127], 100);
  const std::vector<int16_t> b = {1, 0, 0, 2, 0, 1000, 4, 500, 1000, 500, 500, 0, 500, 6, 5, 0};
  EXPECT_EQ(std::vector<int16_t>(font.glyph_codes(66), font.glyph_codes(66) + b.size()), b);

  // The strokes for inspection, on the font sheet: 'A' at (2, -8), 'B' at (4, -8).
  int lines = 0, splines = 0;
  for (ElemHeader* e : elements()) {
    lines += e->kind == ELEM_LINE;
    splines += e->kind == ELEM_SPLINE;
  }
  EXPECT_EQ(lines, 4);  // two of 'A', the stem and the close of 'B'
  EXPECT_EQ(splines, 1);
  auto* first = static_cast<LineElem*>(elements().at(0));
  EXPECT_DOUBLE_EQ(first->p1.x, 2.0);
  EXPECT_DOUBLE_EQ(first->p1.y, -8.0);
  EXPECT_DOUBLE_EQ(first->p2.x, 2.5);
  EXPECT_DOUBLE_EQ(first->p2.y, -7.0);
}

TEST_F(FontTools, AMalformedDescriptionWritesNothing) {
  std::string many_paths = "/Metrics 500 /CharDefs";
  for (int i = 0; i < 256; ++i) many_paths += " { }";
  const std::string cases[] = {
      "/Metrics 500 600",                            // no /CharDefs
      "/CharDefs { 0 0 m }",                         // no /Metrics
      "/Metrics 500 /CharDefs { 0 0 m 1 1 l",        // the path never ends
      "/Metrics 500 /CharDefs { 0 0 q }",            // unknown operator
      "/Metrics 500 /CharDefs { 0 m }",              // too few values
      "/Metrics 500 /CharDefs { 1 2 3 4 5 6 7 c }",  // too many values
      "/Metrics 500 /CharDefs { 0 0 m 1 1 }",        // values left over
      "/Metrics 500 /CharDefs { 0 99999 m }",        // beyond a 16-bit word
      "/Metrics 5x0 /CharDefs { }",                  // not a number
      "/Metrics -5 /CharDefs { }",                   // negative width
      "/Metrics 500 /CharDefs 0 0 m",                // a path without braces
      "/Metrics 500 /CharDefs { { } }",              // nested braces
      "/Metrics 500 /Metrics 500 /CharDefs { }",     // a section twice
      "/Metrics 500 /CharDefs { nan nan m }",        // not finite
      many_paths,
  };
  write_file(root_ / "old", "old font\n");
  for (const std::string& c : cases) {
    write_file(root_ / "bad.txt", c);
    RecordingUi ui;
    ui.paths = {(root_ / "bad.txt").string(), (root_ / "old").string()};
    EXPECT_FALSE(font_convert_metrics()) << c;
    auto errors = ui.calls_starting("error Not a valid font description:");
    EXPECT_EQ(errors.size(), 1u) << c;
    EXPECT_EQ(read_text(root_ / "old"), "old font\n") << c;
    EXPECT_EQ(elem_count(), 0) << c;
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(root_), fs::directory_iterator()), 4);  // fonts base old bad

  RecordingUi ui;  // a missing source and a cancelled chooser
  ui.paths = {(root_ / "missing.txt").string(), (root_ / "new").string()};
  EXPECT_FALSE(font_convert_metrics());
  EXPECT_EQ(ui.calls_starting("error Cannot read the font description").size(), 1u);
  ui.paths = {description.string()};
  EXPECT_FALSE(font_convert_metrics());
  EXPECT_FALSE(fs::exists(root_ / "new"));
}

}  // namespace
