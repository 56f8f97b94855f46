// Loading fonts into the table: the stroke-font format and its rejection of
// malformed files, the lookup with its fallback, outline fonts through
// FreeType, and the import of a font file into the user's ttf folder.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "display/font.h"
#include "display/font_fixture.h"
#include "display/sample_sheet.h"
#include "support/recording_ui.h"

namespace {

namespace fs = std::filesystem;

std::vector<int16_t> glyph_words(const FontSlot& font, int code) {
  std::vector<int16_t> words;
  const int16_t* p = font.glyph_codes(code);
  const int16_t* end = font.codes.data() + font.codes.size();
  // Operands per command code, to find the end code.
  const int operands[8] = {0, 2, 2, 5, 6, 0, 0, 4};
  while (p < end) {
    int16_t cmd = *p++;
    words.push_back(cmd);
    if (cmd == GLYPH_END) break;
    for (int k = 0; k < operands[cmd]; ++k) words.push_back(*p++);
  }
  return words;
}

std::string captured_lines(const std::function<void()>& f) {
  testing::internal::CaptureStdout();
  f();
  return testing::internal::GetCapturedStdout();
}

using FontStroke = FontTest;

TEST_F(FontStroke, ParsesEveryCommandWithItsConversion) {
  FontSlot font;
  std::string error;
  std::string text = stroke_font_text({
      {'A', "0.567 1 0 0 2 3.57 10 3 5 5 2.5 90 0 3 1 1 1 45.55 -90"},
      {'B', "1.0 4 1 2 3 4 5 6 6 5"},
      {'C', "+0.25\t1 -1.239 1e1\n\n  2 0.001 -0"},
  });
  ASSERT_TRUE(font_parse_stroke(text, font, &error)) << error;

  // Decimal values such as 3.57 come out whole; negative ones truncate toward zero.
  EXPECT_EQ(glyph_words(font, 'A'), (std::vector<int16_t>{1, 0, 0, 2, 357, 1000, 3, 500, 500, 250, 900, 3600,
                                                          3, 100, 100, 100, 455, -900, 0}));
  EXPECT_EQ(font.advance['A'], 56);
  EXPECT_EQ(glyph_words(font, 'B'), (std::vector<int16_t>{4, 100, 200, 300, 400, 500, 600, 6, 5, 0}));
  EXPECT_EQ(glyph_words(font, 'C'), (std::vector<int16_t>{1, -123, 1000, 2, 0, 0, 0}));
  EXPECT_EQ(font.advance['C'], 25);
  EXPECT_EQ(glyph_words(font, ' '), (std::vector<int16_t>{0}));
  EXPECT_EQ(glyph_words(font, 255), (std::vector<int16_t>{0}));
  for (int code = 0; code < 32; ++code) {
    EXPECT_EQ(font.glyph_codes(code), nullptr);
    EXPECT_EQ(font.advance[code], 0);
  }
}

TEST_F(FontStroke, MalformedFilesAreRejectedWhole) {
  std::string good = stroke_font_text();
  std::string without_last = good.substr(0, good.rfind("0.5\n0\n"));
  struct Case {
    const char* what;
    std::string text;
  };
  const Case cases[] = {
      {"empty file", ""},
      {"223 records", without_last},
      {"ends inside a record", without_last + "0.5 1 2"},
      {"ends inside a command", stroke_font_text({{255, "0.5 1 2"}}).substr(0, without_last.size() + 7)},
      {"unknown command code", stroke_font_text({{'A', "0.5 8"}})},
      {"negative command code", stroke_font_text({{'A', "0.5 -1"}})},
      {"command code with a fraction", stroke_font_text({{'A', "0.5 1.0 2 2"}})},
      {"decimal comma", stroke_font_text({{'A', "0.5 1 1,5 2"}})},
      {"word instead of a number", stroke_font_text({{'A', "0.5 2 x 2"}})},
      {"advance not a number", stroke_font_text({{'A', "wide 1 1 1"}})},
      {"coordinate beyond 16 bits", stroke_font_text({{'A', "0.5 1 327.68 0"}})},
      {"angle beyond 16 bits", stroke_font_text({{'A', "0.5 3 0 0 1 3276.8 0"}})},
      {"advance beyond 16 bits", stroke_font_text({{'A', "400 1 0 0"}})},
      {"not finite", stroke_font_text({{'A', "0.5 1 nan 0"}})},
      {"infinite", stroke_font_text({{'A', "0.5 1 inf 0"}})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FontSlot font;
    font.name = "untouched";
    std::string error;
    EXPECT_FALSE(font_parse_stroke(c.text, font, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(font.in_use());
    EXPECT_EQ(font.name, "untouched");
  }
  // The limits themselves are fine, and so is text after the last record.
  FontSlot font;
  EXPECT_TRUE(font_parse_stroke(stroke_font_text({{'A', "327.67 1 327.67 -327.68"}}) + "junk 1 2", font));
  EXPECT_EQ(glyph_words(font, 'A'), (std::vector<int16_t>{1, 32767, -32768, 0}));
}

TEST_F(FontStroke, BrokenFontFallsBackToSimpelAndStaysUnloaded) {
  write_font("Simpel", stroke_font_text());
  write_font("Broken", stroke_font_text({{'A', "0.5 9"}}));
  uint8_t slot = FONT_NONE;
  std::string out = captured_lines([&] { slot = font_find_or_load("Broken"); });
  EXPECT_NE(out.find("Font Broken is not a valid stroke font (character 65: unknown command code)!"),
            std::string::npos)
      << out;
  ASSERT_NE(slot, FONT_NONE);
  EXPECT_EQ(font_slots[slot].name, "Simpel");
  // Nothing is remembered: the next lookup tries again and says so again.
  out = captured_lines([&] { EXPECT_EQ(font_find_or_load("Broken"), slot); });
  EXPECT_NE(out.find("Broken"), std::string::npos);
  EXPECT_EQ(slot, 0);
  EXPECT_FALSE(font_slots[1].in_use());
}

using FontLookup = FontTest;

TEST_F(FontLookup, LoadsOnceAndComparesNamesExactly) {
  write_font("Simpel", stroke_font_text({}, "0.5"));
  write_font("Other", stroke_font_text({}, "0.7"));
  uint8_t other = font_find_or_load("Other");
  EXPECT_EQ(other, 0);
  fs::remove(fonts_ / "Other");  // loaded fonts are never read again
  EXPECT_EQ(font_find_or_load("Other"), other);
  EXPECT_EQ(font_slots[other].advance['x'], 70);

  struct Case {
    const char* name;
    const char* message;
  };
  const Case falls_back[] = {
      {"simpel", "Font simpel is missing!\n"},
      {"Foo.Ttf", "Font Foo.Ttf is missing!\n"},  // mixed case: a stroke-font name
      {"", "Font  is missing!\n"},
      {"../fonts/Other", "Font ../fonts/Other is missing!\n"},
      {"..", "Font .. is missing!\n"},
      {"/etc/passwd", "Font /etc/passwd is missing!\n"},
  };
  for (const Case& c : falls_back) {
    SCOPED_TRACE(c.name);
    uint8_t slot = FONT_NONE;
    std::string out = captured_lines([&] { slot = font_find_or_load(c.name); });
    EXPECT_EQ(out, c.message);
    ASSERT_NE(slot, FONT_NONE);
    EXPECT_EQ(font_slots[slot].name, "Simpel");
  }
  // Simpel was loaded once, into the slot after Other.
  EXPECT_EQ(font_find_or_load("Simpel"), 1);
  EXPECT_FALSE(font_slots[2].in_use());
}

TEST_F(FontLookup, NameOutsideTheFontFolderIsNotRead) {
  write_font("Simpel", stroke_font_text({}, "0.5"));
  write_file(root_ / "Outside", stroke_font_text({}, "0.9"));
  write_file(fonts_ / "sub" / "Inner", stroke_font_text({}, "0.9"));
  for (const char* name : {"../Outside", "sub/Inner"}) {
    SCOPED_TRACE(name);
    testing::internal::CaptureStdout();
    uint8_t slot = font_find_or_load(name);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(font_slots[slot].name, "Simpel");
  }
}

TEST_F(FontLookup, FullTableAndMissingSimpel) {
  for (int i = 0; i < FONT_SLOT_COUNT; ++i) write_font("F" + std::to_string(i), stroke_font_text());
  write_font("Extra", stroke_font_text());
  for (int i = 0; i < FONT_SLOT_COUNT; ++i)
    ASSERT_EQ(font_find_or_load(("F" + std::to_string(i)).c_str()), i);

  // 50 fonts without Simpel: nothing can be had for a 51st name.
  std::string out = captured_lines([] { EXPECT_EQ(font_find_or_load("Extra"), FONT_NONE); });
  EXPECT_EQ(out, "Cant find Simpel-Font!\n");

  // With Simpel among the 50, a 51st name resolves to it.
  font_slots_clear();
  write_font("Simpel", stroke_font_text());
  EXPECT_EQ(font_find_or_load("Simpel"), 0);
  for (int i = 1; i < FONT_SLOT_COUNT; ++i)
    ASSERT_EQ(font_find_or_load(("F" + std::to_string(i)).c_str()), i);
  EXPECT_EQ(font_find_or_load("Extra"), 0);

  // No Simpel file at all.
  font_slots_clear();
  fs::remove(fonts_ / "Simpel");
  out = captured_lines([] { EXPECT_EQ(font_find_or_load("Nix"), FONT_NONE); });
  EXPECT_EQ(out, "Font Nix is missing!\nFont Simpel is missing!\nCant find Simpel-Font!\n");
  for (const FontSlot& s : font_slots) EXPECT_FALSE(s.in_use());
}

using FontOutline = FontTest;

TEST(FontOutlineNames, LastThreeCharactersDecide) {
  EXPECT_TRUE(font_is_outline_name("DejaVuSans.ttf"));
  EXPECT_TRUE(font_is_outline_name("ARIAL.TTF"));
  EXPECT_TRUE(font_is_outline_name("times.pfb"));
  EXPECT_TRUE(font_is_outline_name("ttf"));
  EXPECT_FALSE(font_is_outline_name("Foo.Ttf"));
  EXPECT_FALSE(font_is_outline_name("times.PFB"));
  EXPECT_FALSE(font_is_outline_name("tf"));
  EXPECT_FALSE(font_is_outline_name("Simpel"));
}

TEST_F(FontOutline, TrueTypeGlyphsBecomeMovesLinesCurvesCloseAndFill) {
  copy_ttf("DejaVuSans.ttf");
  copy_ttf("UPPER.TTF");
  uint8_t slot = font_find_or_load("DejaVuSans.ttf");
  ASSERT_NE(slot, FONT_NONE);
  const FontSlot& font = font_slots[slot];
  EXPECT_EQ(font.name, "DejaVuSans.ttf");
  EXPECT_EQ(font.outline, 1);

  // 'H': one contour of 12 on-curve points, shifted left by its bearing of
  // 201 units, 0.6 thousandths of the height per unit.
  std::vector<int16_t> h = glyph_words(font, 'H');
  std::vector<int16_t> expected_h = {1,   0,   895, 2,   121, 895, 2,   121, 528, 2,   561, 528, 2,
                                     561, 895, 2,   682, 895, 2,   682, 0,   2,   561, 0,   2,   561,
                                     426, 2,   121, 426, 2,   121, 0,   2,   0,   0,   6,   5,   0};
  EXPECT_EQ(h, expected_h);
  EXPECT_EQ(font.advance['H'], 80);  // trunc((1540 - 201) * 0.6 / 10)

  // 'O' starts on the curve, then two off-curve points with their implied
  // midpoint; the contour's last point is off the curve and closes back to
  // the first.
  std::vector<int16_t> o = glyph_words(font, 'O');
  std::vector<int16_t> o_start = {1, 415, 813, 7, 283, 813, 205, 715, 7, 127, 616, 127, 447};
  ASSERT_GE(o.size(), o_start.size());
  EXPECT_EQ(std::vector<int16_t>(o.begin(), o.begin() + o_start.size()), o_start);
  int closes = 0;
  for (std::size_t i = 0; i < o.size(); ++i) closes += o[i] == GLYPH_CLOSE;
  EXPECT_EQ(closes, 2);
  EXPECT_EQ(std::vector<int16_t>(o.end() - 3, o.end()), (std::vector<int16_t>{6, 5, 0}));

  // A code without a glyph: nothing to draw and no advance.
  EXPECT_EQ(glyph_words(font, 127), (std::vector<int16_t>{0}));
  EXPECT_EQ(font.advance[127], 0);
  // Space: no contours, a fill of nothing.
  EXPECT_EQ(glyph_words(font, ' '), (std::vector<int16_t>{5, 0}));
  // Latin-1 codes map to the same Unicode characters.
  EXPECT_GT(glyph_words(font, 0xE4).size(), 20u);

  // Upper-case TTF is an outline name too.
  uint8_t upper = font_find_or_load("UPPER.TTF");
  EXPECT_EQ(font_slots[upper].name, "UPPER.TTF");
  EXPECT_EQ(font_slots[upper].codes, font.codes);

  write_sample_sheet(font, std::string(KAVRO_TEST_OUTPUT_DIR) + "/sample-DejaVuSans.ttf.png");
}

TEST_F(FontOutline, UnusableFilesSayWhyAndFallBack) {
  write_font("Simpel", stroke_font_text());
  write_file(root_ / "base" / "ttf" / "junk.ttf", "this is not a font");
  struct Case {
    const char* name;
    const char* message;
  };
  const Case cases[] = {
      {"junk.ttf", "Font Format unsupported!\nTrueTypeFont junk.ttf not loaded!\n"},
      {"none.ttf", "Font File could not be opened or read!\nTrueTypeFont none.ttf not loaded!\n"},
      {"../ttf/junk.ttf", "TrueTypeFont ../ttf/junk.ttf not loaded!\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    uint8_t slot = FONT_NONE;
    std::string out = captured_lines([&] { slot = font_find_or_load(c.name); });
    EXPECT_EQ(out, c.message);
    ASSERT_NE(slot, FONT_NONE);
    EXPECT_EQ(font_slots[slot].name, "Simpel");
  }
}

using FontImport = FontTest;

TEST_F(FontImport, CopiesTheChosenFileUnderItsOwnName) {
  // A name with blanks and shell characters is just a name.
  fs::path source = root_ / "my font;touch x.ttf";
  fs::copy_file(dejavu, source);
  RecordingUi ui;
  ui.paths.push_back(source.string());
  fs::path cwd = fs::current_path();
  fs::current_path(root_);
  cmd_p_file_import_truetype();
  fs::current_path(cwd);

  ASSERT_EQ(ui.calls.size(), 1u);
  EXPECT_EQ(ui.calls[0], "choose Import TTF Font file  0");
  fs::path copied = root_ / "base" / "ttf" / "my font;touch x.ttf";
  EXPECT_TRUE(fs::exists(copied));
  EXPECT_EQ(fs::file_size(copied), fs::file_size(dejavu));
  EXPECT_FALSE(fs::exists(root_ / "x.ttf"));
  EXPECT_FALSE(fs::exists(root_ / "base" / "ttf" / "x.ttf"));
  std::vector<std::string> left;
  for (const auto& e : fs::directory_iterator(root_ / "base" / "ttf")) left.push_back(e.path().filename());
  EXPECT_EQ(left, std::vector<std::string>{"my font;touch x.ttf"});

  uint8_t slot = font_find_or_load("my font;touch x.ttf");
  EXPECT_EQ(font_slots[slot].outline, 1);

  // Importing again overwrites the copy.
  ui.paths.push_back(source.string());
  cmd_p_file_import_truetype();
  EXPECT_TRUE(ui.calls_starting("error").empty());
}

TEST_F(FontImport, CancelCreatesNothingAndFailuresAreReported) {
  RecordingUi ui;
  cmd_p_file_import_truetype();  // the chooser answers "cancel"
  EXPECT_FALSE(fs::exists(root_ / "base" / "ttf"));
  EXPECT_TRUE(ui.calls_starting("error").empty());

  ui.paths.push_back((root_ / "no such file.ttf").string());
  cmd_p_file_import_truetype();
  ASSERT_EQ(ui.calls_starting("error").size(), 1u);
  EXPECT_NE(ui.calls_starting("error")[0].find("no such file.ttf"), std::string::npos);
  EXPECT_FALSE(fs::exists(root_ / "base" / "ttf" / "no such file.ttf"));
}

// What cannot be a font is refused before it is read; a large font is
// copied with the progress window.
TEST_F(FontImport, RefusesWhatCannotBeAFontAndShowsProgressOnLargeOnes) {
  const auto make = [this](const std::string& name, const std::string& head, std::uintmax_t size) {
    std::ofstream(root_ / name, std::ios::binary) << head;
    fs::resize_file(root_ / name, size);
  };
  make("huge.ttf", "true", std::uintmax_t{5} << 30);
  make("zeros.ttf", "", std::uintmax_t{2} << 30);
  make("notes.ttf", "some text", 9);
  fs::create_directories(root_ / "folder.ttf");
  const struct {
    const char* name;
    std::string error;
  } cases[] = {
      {"huge.ttf", "Cannot read the font file " + (root_ / "huge.ttf").string() +
                       "\nThe file is larger than a file of its kind can be."},
      {"zeros.ttf", "Not a font file: " + (root_ / "zeros.ttf").string()},
      {"notes.ttf", "Not a font file: " + (root_ / "notes.ttf").string()},
      {"folder.ttf",
       "Cannot read the font file " + (root_ / "folder.ttf").string() + "\nThis is a folder, not a file."},
  };
  for (const auto& c : cases) {
    RecordingUi ui;
    ui.paths.push_back((root_ / c.name).string());
    cmd_p_file_import_truetype();
    EXPECT_EQ(ui.calls_starting("error"), std::vector<std::string>{"error " + c.error}) << c.name;
    EXPECT_TRUE(ui.calls_starting("progress").empty()) << c.name;
    EXPECT_FALSE(fs::exists(root_ / "base" / "ttf" / c.name)) << c.name;
  }

  make("large.ttf", std::string("\0\1\0\0", 4), 9u << 20);
  RecordingUi ui;
  ui.paths.push_back((root_ / "large.ttf").string());
  cmd_p_file_import_truetype();
  EXPECT_TRUE(ui.calls_starting("error").empty());
  EXPECT_EQ(fs::file_size(root_ / "base" / "ttf" / "large.ttf"), 9u << 20);
  const std::vector<std::string> shown = ui.calls_starting("progress");
  ASSERT_GE(shown.size(), 3u);
  EXPECT_EQ(shown.front(), "progress_open_cancel Import TTF Font file");
  EXPECT_EQ(shown[shown.size() - 2], "progress 1");
  EXPECT_EQ(shown.back(), "progress_close");
}

}  // namespace
