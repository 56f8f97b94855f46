// The staged help pages: the four pages the help keys open exist in both
// languages, every link between them leads to a file, and the shortcut
// table was laid into the shortcut page.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string read_all(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

const fs::path doc = fs::path(KAVRO_STAGE_DIR) / "doc";

TEST(HelpPages, EveryPageOfTheHelpKeysExistsAndItsLinksLeadSomewhere) {
  for (const char* folder : {"", "de"}) {
    for (const char* page : {"index.html", "tut.html", "readme.html", "8.html"}) {
      const fs::path p = doc / folder / page;
      ASSERT_TRUE(fs::exists(p)) << p;
      const std::string text = read_all(p);
      const std::regex link(R"re((?:href)="([^"#:]+)(#([^"]*))?")re");
      for (auto it = std::sregex_iterator(text.begin(), text.end(), link); it != std::sregex_iterator();
           ++it) {
        const fs::path target = p.parent_path() / (*it)[1].str();
        EXPECT_TRUE(fs::exists(target)) << p << " links to " << (*it)[1].str();
        if ((*it)[3].matched) {
          EXPECT_NE(read_all(target).find("id=\"" + (*it)[3].str() + "\""), std::string::npos)
              << p << " links to the missing anchor " << (*it)[0].str();
        }
      }
    }
  }
  EXPECT_FALSE(fs::exists(doc / "8.html.in")) << "page templates are not installed";
}

TEST(HelpPages, ShortcutPageHoldsTheGeneratedTable) {
  for (const char* folder : {"", "de"}) {
    const std::string text = read_all(doc / folder / "8.html");
    EXPECT_NE(text.find("id=\"8-2\""), std::string::npos) << folder;
    EXPECT_EQ(text.find("<!-- shortcuts -->"), std::string::npos) << folder;
    // Keys of several kinds: a posted command, a page letter, a pen key.
    for (const char* key : {"<kbd>F1</kbd>", "<kbd>w</kbd>", "F8</kbd>", "<kbd>Escape</kbd>"})
      EXPECT_NE(text.find(key), std::string::npos) << folder << " lacks " << key;
  }
}

// The row of the shortcut table that lists key, from "<tr>" to "</tr>".
std::string row_of(const std::string& page, const std::string& key) {
  const std::size_t table = page.find("<table");
  const std::size_t at = table == std::string::npos ? table : page.find("<kbd>" + key + "</kbd>", table);
  if (at == std::string::npos) return "";
  const std::size_t start = page.rfind("<tr>", at);
  return page.substr(start, page.find("</tr>", at) - start);
}

TEST(HelpPages, ShortcutPageSaysWhatTheKeysDo) {
  // + steps the scale number up (1:100 to 1:200), which shows the drawing
  // smaller; Shift+M remembers the view; a asks for a typed point.
  struct Case {
    const char *folder, *key, *words;
  };
  for (const Case& c :
       {Case{"", "+", "Zoom out"}, Case{"", "-", "Zoom in"}, Case{"", "Shift+M", "Remember the current view"},
        Case{"", "a", "Type a point"}, Case{"", "x", "Move the last point along X"},
        Case{"de", "+", "Verkleinern"}, Case{"de", "-", "Vergrößern"},
        Case{"de", "Umschalt+M", "Aktuelle Ansicht merken"}, Case{"de", "a", "Punkt eintippen"}}) {
    const std::string row = row_of(read_all(doc / c.folder / "8.html"), c.key);
    EXPECT_NE(row.find(c.words), std::string::npos) << c.folder << " " << c.key << ": " << row;
  }
}

}  // namespace
