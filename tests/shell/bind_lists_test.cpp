// The name lists of combos: folder scans, their limits, order and filters.

#include "shell/bind_lists.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "display/font.h"
#include "display/font_fixture.h"
#include "model/settings.h"
#include "support/model_fixture.h"
#include "support/temp_folder.h"

namespace {

class BindListsTest : public ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    saved_fonts_ = font_stroke_dir;
    base_dir = (dir / "base").string();
    dialog_path = (dir / "dia/").string();
    font_stroke_dir = (dir / "fonts").string();
  }
  void TearDown() override {
    font_stroke_dir = saved_fonts_;
    ModelTest::TearDown();
  }

  template <class F>
  static std::string printed(F f) {
    testing::internal::CaptureStdout();
    f();
    return testing::internal::GetCapturedStdout();
  }

  static std::vector<std::string> sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
  }

  TempFolder dir;
  std::string saved_fonts_;
};

TEST_F(BindListsTest, AFolderOfOnlyDotEntriesGivesAnEmptyList) {
  dir.make_folder("dia/wall");
  auto names = bind_scan_folder(bind_preset_folder("wall"));
  ASSERT_TRUE(names);
  EXPECT_TRUE(names->empty());
}

TEST_F(BindListsTest, AFolderThatCannotBeReadSaysSo) {
  std::optional<std::vector<std::string>> names;
  EXPECT_EQ(printed([&] { names = bind_scan_folder(bind_preset_folder("door")); }), "Error scanning DIR\n");
  EXPECT_FALSE(names);
  dir.write("dia/plain");
  EXPECT_EQ(printed([&] { names = bind_scan_folder(bind_preset_folder("plain")); }), "Error scanning DIR\n");
  EXPECT_FALSE(names);
}

TEST_F(BindListsTest, EveryNameOfAFullFolderIsListed) {
  std::vector<std::string> made;
  for (int i = 0; i < 250; ++i) {
    made.push_back("preset" + std::to_string(i));
    dir.write("dia/wall/" + made.back(), "1\n");
  }
  auto names = bind_scan_folder(bind_preset_folder("wall"));
  ASSERT_TRUE(names);
  EXPECT_EQ(sorted(*names), sorted(made));
}

TEST_F(BindListsTest, NamesTooLongForTheirBufferAreLeftOut) {
  std::string fits(39, 'a');
  std::string too_long(40, 'b');
  dir.write("dia/text/" + fits);
  dir.write("dia/text/" + too_long);
  dir.make_folder("dia/text/sub");  // folders are entries too
  std::optional<std::vector<std::string>> names;
  std::string out = printed([&] { names = bind_scan_folder(bind_preset_folder("text")); });
  ASSERT_TRUE(names);
  EXPECT_EQ(sorted(*names), sorted({fits, "sub"}));
  EXPECT_NE(out.find(too_long), std::string::npos) << out;
}

TEST_F(BindListsTest, NamesSortInByteOrder) {
  std::vector<std::string> names = {"b", "\xE4rger", "B", "a", "A", "Ab", "\x7F"};
  bind_sort_names(names);
  EXPECT_EQ(names, (std::vector<std::string>{"A", "Ab", "B", "a", "b", "\x7F", "\xE4rger"}));
  EXPECT_LT(bind_name_compare("Z", "a"), 0);
  EXPECT_GT(bind_name_compare("\xE4", "z"), 0);
  EXPECT_EQ(bind_name_compare("wall", "wall"), 0);
}

TEST_F(BindListsTest, SlotsAreReadUpToTheirEnd) {
  char slots[3 * BIND_NAME_SLOT] = {};
  std::string full(BIND_NAME_SLOT, 'x');  // no terminator inside its slot
  std::copy(full.begin(), full.end(), slots + BIND_NAME_SLOT);
  std::copy_n("Wand", 4, slots);
  std::copy_n("T\xFCr", 3, slots + 2 * BIND_NAME_SLOT);
  EXPECT_EQ(bind_names_from_slots(slots, 3), (std::vector<std::string>{"Wand", full, "T\xFCr"}));
  EXPECT_TRUE(bind_names_from_slots(nullptr, 3).empty());
  EXPECT_TRUE(bind_names_from_slots(slots, 0).empty());
}

// The font folder's other files (its README, a font cut short, an outline
// font put there by mistake) are no fonts; the listing prints nothing.
TEST_F(BindListsTest, FontsAreStrokeFontsThenTheUsersOutlineFonts) {
  for (const char* f : {"Simpel", "Roman"}) dir.write(std::string("fonts/") + f, stroke_font_text());
  dir.write("fonts/README", "The stroke fonts of the installation.\n");
  dir.write("fonts/Cut", stroke_font_text().substr(0, 100));
  dir.write("fonts/serif.ttf", stroke_font_text());
  for (const char* f : {"arial.ttf", "DEJAVU.TTF", "abcttf", "x.ttf", "mixed.Ttf", "type1.pfb", "notes.txt"})
    dir.write(std::string("base/ttf/") + f);
  std::vector<std::string> names;
  std::string out = printed([&] { names = bind_font_names(); });
  ASSERT_EQ(names.size(), 5u);
  EXPECT_EQ(sorted({names[0], names[1]}), sorted({"Simpel", "Roman"}));
  EXPECT_EQ(sorted({names[2], names[3], names[4]}), sorted({"arial.ttf", "DEJAVU.TTF", "abcttf"}));
  EXPECT_EQ(out, "");
}

TEST_F(BindListsTest, MissingFontFoldersLeaveTheirPartOut) {
  dir.write("base/ttf/serif.ttf");
  std::vector<std::string> names;
  std::string out = printed([&] { names = bind_font_names(); });
  EXPECT_EQ(names, (std::vector<std::string>{"serif.ttf"}));
  EXPECT_EQ(out, "Error scanning DIR\n");
}

TEST_F(BindListsTest, TexturesAreEveryEntryOfTheTexFolder) {
  EXPECT_TRUE(bind_texture_names().empty());
  dir.write("base/tex/brick.png");
  dir.write("base/tex/wood.jpg");
  EXPECT_EQ(sorted(bind_texture_names()), sorted({"brick.png", "wood.jpg"}));
}

TEST(BindListsNames, OutlineFontNames) {
  struct Case {
    const char* name;
    bool listed;
  };
  const Case cases[] = {{"a.ttf", false},    {"ab.ttf", true},    {"abcttf", true}, {"FONT.TTF", true},
                        {"font.Ttf", false}, {"font.pfb", false}, {"ttf", false},   {"", false}};
  for (const Case& c : cases) EXPECT_EQ(bind_is_ttf_name(c.name), c.listed) << c.name;
}

}  // namespace
