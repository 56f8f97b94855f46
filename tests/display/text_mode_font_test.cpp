// Text mode measures a written text with the standard font's table: each
// character's advance and the hull of its outline. Checked here against
// the installed font itself, read through FreeType: its advances, and the
// exact box of each outline turned to many angles.

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BBOX_H
#include FT_OUTLINE_H

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "display/text_layout.h"
#include "display/text_mode.h"
#include "display_fixture.h"
#include "model/geom.h"

namespace {

class TextModeFont : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    ASSERT_EQ(FT_Init_FreeType(&lib_), 0);
    ASSERT_EQ(FT_New_Face(lib_, KAVRO_URW_FONT_DIR "/NimbusSans-Regular.t1", 0, &face_), 0)
        << "the standard fonts are missing (scripts/lib/setup.sh installs fonts-urw-base35)";
    ASSERT_EQ(FT_Select_Charmap(face_, FT_ENCODING_UNICODE), 0);
    ASSERT_EQ(face_->units_per_EM, 1000);
  }
  void TearDown() override {
    if (face_) FT_Done_Face(face_);
    if (lib_) FT_Done_FreeType(lib_);
    DisplayTest::TearDown();
  }

  // The glyph of a Latin-1 byte, loaded in font units.
  bool load(unsigned char code) {
    const FT_UInt index = FT_Get_Char_Index(face_, code);
    return index != 0 && FT_Load_Glyph(face_, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP) == 0;
  }

  FT_Library lib_ = nullptr;
  FT_Face face_ = nullptr;
};

// A text of one character at the origin, measured as text mode writes it.
InkBox written_ink(unsigned char code, double height, double angle) {
  const char text[2] = {static_cast<char>(code), 0};
  OutdevText t;
  t.height = height;
  t.angle = angle;
  t.text = text;
  t.font = "Simpel";
  InkBox box;
  ink_add_text_mode(box, t);
  return box;
}

std::vector<unsigned char> printable_codes() {
  std::vector<unsigned char> codes;
  for (int c = 32; c < 256; ++c)
    if (text_mode_writes(static_cast<unsigned char>(c))) codes.push_back(static_cast<unsigned char>(c));
  return codes;
}

// A written "xy" places the y one advance of the x further along: the
// advance is the font's own.
TEST_F(TextModeFont, AdvancesAreTheFontsOwn) {
  const double height = 8.0;  // a font size of 10 mm: 1 m at 1:100, a unit 1 mm
  const double unit = text_world_height(text_mode_font_size_mm(height)) / 1000.0;
  for (const unsigned char code : printable_codes()) {
    SCOPED_TRACE(static_cast<int>(code));
    ASSERT_TRUE(load(code));
    const double advance = static_cast<double>(face_->glyph->metrics.horiAdvance);
    // After a character, an "l" (a plain bar from 67 to 152 in x) shows
    // where the next one starts.
    const char pair[3] = {static_cast<char>(code), 'l', 0};
    OutdevText t;
    t.height = height;
    t.text = pair;
    t.font = "Simpel";
    InkBox both;
    ink_add_text_mode(both, t);
    EXPECT_NEAR(both.xmax / unit, advance + 152.0, 0.01);
  }
}

// Every character's ink at 28 angles is the exact box of its outline,
// turned, within the unit and a half (of the size's thousand) that the
// table's whole units and its flattened, thinned curves cost: no flank of
// the outline is left out.
TEST_F(TextModeFont, InkHoldsEachOutlineAtEveryAngle) {
  const double height = 8.0;
  const double unit = text_world_height(text_mode_font_size_mm(height)) / 1000.0;
  std::vector<double> angles;
  for (int k = 0; k < 24; ++k) angles.push_back(k * GEOM_PI / 12.0);
  // Angles at which a thinned hull once missed a curve's flank.
  for (const double a : {-0.122, -0.17, 0.05, 2.9}) angles.push_back(a);
  for (const unsigned char code : printable_codes()) {
    ASSERT_TRUE(load(code));
    if (face_->glyph->outline.n_points == 0) {
      EXPECT_FALSE(written_ink(code, height, 0.0).started)
          << "a blank has no ink: " << static_cast<int>(code);
      continue;
    }
    for (const double angle : angles) {
      // FreeType turns the outline in 1/64 units, with 16.16 factors.
      FT_Outline turned;
      ASSERT_EQ(FT_Outline_New(lib_, static_cast<FT_UInt>(face_->glyph->outline.n_points),
                               face_->glyph->outline.n_contours, &turned),
                0);
      FT_Outline_Copy(&face_->glyph->outline, &turned);
      const double c = std::cos(angle) * 64.0 * 65536.0, s = std::sin(angle) * 64.0 * 65536.0;
      FT_Matrix m{std::lround(c), std::lround(-s), std::lround(s), std::lround(c)};
      FT_Outline_Transform(&turned, &m);
      FT_BBox exact;
      FT_Outline_Get_BBox(&turned, &exact);
      FT_Outline_Done(lib_, &turned);
      const InkBox ink = written_ink(code, height, angle);
      ASSERT_TRUE(ink.started);
      const double sides[4][2] = {{ink.xmin / unit, exact.xMin / 64.0},
                                  {ink.xmax / unit, exact.xMax / 64.0},
                                  {ink.ymin / unit, exact.yMin / 64.0},
                                  {ink.ymax / unit, exact.yMax / 64.0}};
      for (const auto& side : sides)
        EXPECT_NEAR(side[0], side[1], 1.6) << "code " << static_cast<int>(code) << " at " << angle;
    }
  }
}

}  // namespace
