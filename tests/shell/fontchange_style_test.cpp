// The style file of the interface font: its text for a font name, reading the
// name back, and writing it without ever leaving a half-written file.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "shell/fontchange.h"

namespace {

namespace fs = std::filesystem;

std::string read_all(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(FontchangeStyle, NamesThatCanBeUsed) {
  struct Case {
    std::string name;
    bool ok;
  };
  const Case cases[] = {
      {"DejaVu Sans 12", true},
      {"Sans Bold Italic 10.5", true},
      {"Überschrift, Sans 9", true},
      {"", false},
      {"Evil\" 12", false},  // would end the quoted family
      {"Back\\slash 10", false},
      {"Two\nlines 10", false},
      {"Carriage\r 10", false},
      {"Tab\tname 10", false},
      {"Comment */ 10", false},  // would end the file's first line early
      {std::string(GUI_FONT_LEN - 1, 'a'), true},
      {std::string(GUI_FONT_LEN, 'a'), false},  // refused, never cut
  };
  for (const Case& c : cases) EXPECT_EQ(gui_font_name_ok(c.name.c_str()), c.ok) << c.name;
  EXPECT_FALSE(gui_font_name_ok(nullptr));
}

TEST(FontchangeStyle, CssForPangoAndOldXNames) {
  struct Case {
    const char* font;
    const char* css;
  };
  const Case cases[] = {
      {"DejaVu Sans 12",
       "/* Kavro interface font: DejaVu Sans 12 */\n"
       "* {\n  font-family: \"DejaVu Sans\";\n  font-size: 12pt;\n}\n"},
      {"Sans Bold Italic 10.5",
       "/* Kavro interface font: Sans Bold Italic 10.5 */\n"
       "* {\n  font-family: \"Sans\";\n  font-style: italic;\n  font-weight: 700;\n  font-size: "
       "10.5pt;\n}\n"},
      {"Monospace,Serif Light 9px",
       "/* Kavro interface font: Monospace,Serif Light 9px */\n"
       "* {\n  font-family: \"Monospace\", \"Serif\";\n  font-weight: 300;\n  font-size: 9px;\n}\n"},
      {"-adobe-helvetica-bold-o-normal--12-120-75-75-p-70-iso8859-1",
       "/* Kavro interface font: -adobe-helvetica-bold-o-normal--12-120-75-75-p-70-iso8859-1 */\n"
       "* {\n  font-family: \"helvetica\";\n  font-style: oblique;\n  font-weight: 700;\n  font-size: "
       "12pt;\n}\n"},
      {"Evil\" 12", "/* Kavro interface font:  */\n"},
      {"", "/* Kavro interface font:  */\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(gui_style_css(c.font), c.css) << c.font;
}

class StyleFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/kavro-style-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override { fs::remove_all(dir_); }
  // Files in the folder other than the style file.
  int strays() const {
    int n = 0;
    for (const auto& e : fs::directory_iterator(dir_))
      if (e.path().filename() != "kavro.gtkrc") ++n;
    return n;
  }
  fs::path dir_;
};

TEST_F(StyleFileTest, WrittenFileNamesItsFontAndReplacesTheOldOne) {
  fs::path file = dir_ / "kavro.gtkrc";
  ASSERT_TRUE(gui_style_write(file.string(), "DejaVu Sans 12"));
  EXPECT_EQ(read_all(file), gui_style_css("DejaVu Sans 12"));
  EXPECT_EQ(gui_style_read_font(file.string()), "DejaVu Sans 12");

  ASSERT_TRUE(gui_style_write(file.string(), "DejaVu Serif Bold 14"));
  EXPECT_EQ(gui_style_read_font(file.string()), "DejaVu Serif Bold 14");
  EXPECT_EQ(strays(), 0);
  auto perms = fs::status(file).permissions();
  EXPECT_NE(perms & fs::perms::owner_read, fs::perms::none);
}

TEST_F(StyleFileTest, FailedWriteKeepsTheOldFileAndLeavesNothingBehind) {
  EXPECT_FALSE(gui_style_write((dir_ / "missing" / "kavro.gtkrc").string(), "Sans 10"));
  fs::path file = dir_ / "kavro.gtkrc";
  ASSERT_TRUE(gui_style_write(file.string(), "Sans 10"));
  // A folder in the way of the rename.
  fs::path blocked = dir_ / "blocked";
  fs::create_directories(blocked / "inside");
  EXPECT_FALSE(gui_style_write(blocked.string(), "Sans 11"));
  EXPECT_EQ(gui_style_read_font(file.string()), "Sans 10");
  int others = 0;
  for (const auto& e : fs::directory_iterator(dir_))
    others += e.path().filename() != "kavro.gtkrc" && e.path() != blocked;
  EXPECT_EQ(others, 0);
}

TEST_F(StyleFileTest, ReadsOlderStyleFilesAndRefusesBadNames) {
  struct Case {
    std::string text;
    std::string font;
  };
  const Case cases[] = {
      {"style \"window\"\n{\nfont = \"DejaVu Sans 12\"\n}\nwidget_class \"*\" style \"window\"\n",
       "DejaVu Sans 12"},
      {"style \"window\"\n{\nfont = \"-adobe-helvetica-medium-r-normal--12-*\"\n}\n",
       "-adobe-helvetica-medium-r-normal--12-*"},
      {"/* Kavro interface font: Sans 9 */\n* { font-size: 30pt; }\n", "Sans 9"},
      {"/* Kavro interface font:  */\n", ""},
      {"font = \"a\\\" 10\"\n", ""},
      {"* { font-family: \"Sans\"; }\n", ""},
      {"", ""},
      // A NUL byte would hide the control characters after it from the check.
      {std::string("/* Kavro interface font: Sans\0\x01 10 */\n", 38), ""},
      {std::string("font = \"Sans\0\x01 10\"\n", 19), ""},
  };
  fs::path file = dir_ / "kavro.gtkrc";
  for (const Case& c : cases) {
    std::ofstream(file, std::ios::binary) << c.text;
    EXPECT_EQ(gui_style_read_font(file.string()), c.font) << c.text;
  }
  EXPECT_EQ(gui_style_read_font((dir_ / "none").string()), "");
}

}  // namespace
