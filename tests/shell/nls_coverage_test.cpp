// The shipped translation table against the sources: every literal text the
// program translates has an entry, and every entry has its German text with
// the same printf conversions.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "nls_fixture.h"
#include "shell/mainwin_tables.h"
#include "support/german_table.h"

namespace {

namespace fs = std::filesystem;

std::string read_all(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The C++ escapes used in interface texts.
std::string unescape(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\' || i + 1 == s.size()) {
      out += s[i];
      continue;
    }
    char c = s[++i];
    out += c == 'n' ? '\n' : c == 't' ? '\t' : c;
  }
  return out;
}

// Every literal passed to nls_translate or nls_mark in src/, with where it
// stands; the sources are scanned once.
std::map<std::string, std::string> scan_translated_literals();
const std::map<std::string, std::string>& translated_literals() {
  static const std::map<std::string, std::string> found = scan_translated_literals();
  return found;
}
std::map<std::string, std::string> scan_translated_literals() {
  const std::regex call(R"re(\b(?:nls_translate|nls_mark)\s*\(\s*((?:"(?:[^"\\]|\\.)*"\s*)+)\))re");
  const std::regex piece(R"re("((?:[^"\\]|\\.)*)")re");
  std::map<std::string, std::string> found;
  for (const auto& entry : fs::recursive_directory_iterator(fs::path(KAVRO_SOURCE_DIR) / "src")) {
    auto ext = entry.path().extension();
    if (ext != ".cpp" && ext != ".h") continue;
    std::string text = read_all(entry.path());
    for (std::sregex_iterator it(text.begin(), text.end(), call), end; it != end; ++it) {
      std::string literal;
      std::string pieces = (*it)[1];
      for (std::sregex_iterator p(pieces.begin(), pieces.end(), piece); p != end; ++p) literal += (*p)[1];
      found.emplace(unescape(literal), fs::relative(entry.path(), KAVRO_SOURCE_DIR).string());
    }
  }
  return found;
}

struct ShippedEntry {
  std::string english, german;
};

std::vector<ShippedEntry> shipped_entries(int& languages_out, std::string& names) {
  std::ifstream in(fs::path(KAVRO_SOURCE_DIR) / "nls" / "kav.nls", std::ios::binary);
  std::string line;
  std::getline(in, line);
  int n = std::stoi(line);
  languages_out = n;
  for (int i = 0; i < 2 * n; ++i) {
    std::getline(in, line);
    names += line + "\n";
  }
  std::getline(in, line);
  int m = std::stoi(line);
  std::vector<ShippedEntry> out;
  for (int k = 0; k < m; ++k) {
    std::vector<std::string> texts(n);
    std::getline(in, line);
    for (auto& t : texts) std::getline(in, t);
    if (!in) break;
    for (auto& t : texts) nls_swap_bars(t);
    out.push_back({texts[0], n > 1 ? texts[1] : ""});
  }
  std::string rest;
  EXPECT_FALSE(std::getline(in, rest)) << "lines after the last counted entry: " << rest;
  return out;
}

TEST(NlsCoverage, EveryTranslatedLiteralHasAnEntryWithGerman) {
  int n = 0;
  std::string names;
  std::vector<ShippedEntry> entries = shipped_entries(n, names);
  ASSERT_EQ(n, 2);
  EXPECT_EQ(names, "C.UTF-8\nenglish\nde_DE.UTF-8\ngerman\n");

  std::set<std::string> keys;
  for (const ShippedEntry& e : entries) {
    EXPECT_TRUE(keys.insert(e.english).second) << "two entries for: " << e.english;
    EXPECT_FALSE(e.german.empty()) << "no German text for: " << e.english;
    EXPECT_NE(e.german[0], '*') << "German text not written yet for: " << e.english;
    EXPECT_EQ(nls_conversions(e.english), nls_conversions(e.german)) << e.english;
  }

  auto literals = translated_literals();
  EXPECT_GT(literals.size(), 0u);
  for (const auto& [text, file] : literals)
    EXPECT_TRUE(keys.count(text)) << "no entry in nls/kav.nls for \"" << text << "\" (" << file << ")";
}

// The labels of the menus, the category buttons and the tool pages, with
// their tips and whether each is shown untranslated.
struct Label {
  std::string text;
  bool raw;
};
std::vector<Label> window_labels() {
  std::vector<Label> out;
  for (const MenuItem& m : mainwin_menu_items())
    if (m.label) out.push_back({m.label, (m.flags & ITEM_RAW) != 0});
  for (const CategoryButton& c : mainwin_categories()) out.push_back({c.label, false});
  for (const ToolPage& page : mainwin_tool_pages()) {
    if (page.title) out.push_back({page.title, false});
    for (const PageItem& item : page.items) {
      const bool label = item.kind == ItemKind::BUTTON || item.kind == ItemKind::FRAME ||
                         item.kind == ItemKind::TOGGLE || item.kind == ItemKind::RADIO;
      if (label && item.text) out.push_back({item.text, (item.flags & ITEM_RAW) != 0});
      if (item.tip) out.push_back({item.tip, false});
    }
  }
  return out;
}

// What a German user sees in English: every text of the interface (the
// table's, the literals the program translates, the window's labels, even
// those shown as written) without a German text of its own, unless the
// word reads the same in German.
TEST(NlsCoverage, EveryInterfaceTextHasItsGermanText) {
  const GermanTable& de = german_table();
  std::set<std::string> texts;
  for (const auto& [english, german] : de.by_english) texts.insert(english);
  for (const auto& [text, file] : translated_literals()) texts.insert(text);
  for (const Label& l : window_labels()) texts.insert(l.text);
  // Signs and names shown as written on buttons and in the export menu.
  const std::set<std::string> signs = {"?",   " E ", " + ", "!",   "EPS", "SVG", "PDF",
                                       "LWO", "POV", "3DS", "GTS", "DXF", "DGM", "-S"};
  std::vector<std::string> english_only;
  for (const std::string& t : texts) {
    auto it = de.by_english.find(t);
    const bool has_german = it != de.by_english.end() && it->second != t;
    if (!has_german && !german_same_words().count(t) && !signs.count(t)) english_only.push_back(t);
  }
  std::string listed;
  for (const std::string& t : english_only) listed += "  \"" + t + "\"\n";
  EXPECT_TRUE(english_only.empty()) << "shown in English to a German user:\n" << listed;
}

// Two different buttons of one tool page never read the same in German.
TEST(NlsCoverage, ButtonsOfAPageReadDifferentlyInGerman) {
  for (const ToolPage& page : mainwin_tool_pages()) {
    std::map<std::string, std::string> english_of;
    for (const PageItem& item : page.items) {
      if (item.kind != ItemKind::BUTTON || !item.text || (item.flags & ITEM_RAW)) continue;
      const std::string german = german_lookup(item.text);
      auto [it, added] = english_of.emplace(german, item.text);
      EXPECT_TRUE(added || it->second == item.text)
          << "page " << (page.title ? page.title : "?") << ": \"" << it->second << "\" and \"" << item.text
          << "\" both read \"" << german << "\"";
    }
  }
}

// The shipped table loads whole and quietly in German.
TEST_F(NlsTest, ShippedTableLoads) {
  fs::copy_file(fs::path(KAVRO_SOURCE_DIR) / "nls" / "kav.nls", dir_ / "nls" / "kav.nls");
  choose_language("german");
  std::string out = printed([] { nls_load(); });
  EXPECT_EQ(out, "");
  EXPECT_EQ(nls_text_language, 1);
  EXPECT_STREQ(nls_translate("Select function:"), "Funktion wählen:");
  EXPECT_EQ(printed([] { nls_translate("Layer"); }), "");
}

}  // namespace
