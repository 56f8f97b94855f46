#include <signal.h>
#include <sys/resource.h>

#include <vector>

#include "nls_fixture.h"

namespace {

const char* const two_languages =
    "2\n"
    "C.UTF-8\nenglish\n"
    "de_DE.UTF-8\ngerman\n"
    "5\n"
    "\nLayer\nEbene\n"
    "\nDrawing is altered and not saved!|Really quit without saving?\n"
    "Zeichnung ist geändert!|Wirklich beenden?\n"
    "-\nKAVRO  File: %s  Layer: %s  Scale: 1:%.0f\nKAVRO  Datei: %s  Ebene: %s  Maßstab: 1:%.0f\n"
    "\nLayer\nSchicht\n"
    "\nMove to %s :\nNach %s %s :\n";

TEST_F(NlsTest, LooksUpTheChosenLanguage) {
  struct Case {
    const char* home_language;     // null: no file in HOME
    const char* install_language;  // null: no ./nls/language
    int index;
    const char* layer;
  };
  const Case cases[] = {
      {"german", nullptr, 1, "Ebene"},   {nullptr, "german", 1, "Ebene"},
      {"english", "german", 0, "Layer"},                                   // the file in HOME wins
      {nullptr, nullptr, 0, "Layer"},    {"french", nullptr, 0, "Layer"},  // not in the table: English
  };
  for (const Case& c : cases) {
    std::filesystem::remove_all(dir_ / "home" / ".kavro3");
    std::filesystem::remove(dir_ / "nls" / "language");
    if (c.home_language) choose_language(c.home_language);
    if (c.install_language) write_file(dir_ / "nls" / "language", std::string(c.install_language) + "\r\n");
    write_table(two_languages);

    printed([] { nls_load(); });

    EXPECT_EQ(language_count, 2);
    EXPECT_EQ(languages, (std::vector<std::string>{"english", "german"}));
    EXPECT_EQ(language_locales, (std::vector<std::string>{"C.UTF-8", "de_DE.UTF-8"}));
    EXPECT_EQ(nls_entry_count, 5);
    EXPECT_EQ(language_index, c.index);
    EXPECT_EQ(nls_text_language, c.index);
    EXPECT_STREQ(nls_translate("Layer"), c.layer);  // the first of two equal keys
  }
}

TEST_F(NlsTest, TextWithNewlineIsFoundByItsBarForm) {
  write_table(two_languages);
  choose_language("german");
  nls_load();
  EXPECT_STREQ(nls_translate("Drawing is altered and not saved!\nReally quit without saving?"),
               "Zeichnung ist geändert!\nWirklich beenden?");
}

TEST_F(NlsTest, SwapBarsBothWays) {
  char text[] = "a|b\nc||";
  nls_swap_bars(text);
  EXPECT_STREQ(text, "a\nb|c\n\n");
  std::string s = text;
  nls_swap_bars(s);
  EXPECT_EQ(s, "a|b\nc||");
}

TEST_F(NlsTest, TranslationWithOtherConversionsFallsBackToEnglish) {
  write_table(two_languages);
  choose_language("german");
  std::string out = printed([] { nls_load(); });
  EXPECT_NE(out.find("Move to %s :"), std::string::npos) << out;
  EXPECT_STREQ(nls_translate("Move to %s :"), "Move to %s :");
  EXPECT_STREQ(nls_translate("KAVRO  File: %s  Layer: %s  Scale: 1:%.0f"),
               "KAVRO  Datei: %s  Ebene: %s  Maßstab: 1:%.0f");

  struct Case {
    const char* text;
    std::vector<std::string> conversions;
  };
  const Case cases[] = {
      {"plain", {}},           {"100%% done", {}},
      {"%s %d", {"%s", "%d"}}, {"1:%.0f and %-10ld and %5.2lf", {"%.0f", "%-10ld", "%5.2lf"}},
      {"50 %", {"%"}},         {"%*d", {"%*d"}},
  };
  for (const Case& c : cases) EXPECT_EQ(nls_conversions(c.text), c.conversions) << c.text;
}

TEST_F(NlsTest, MissingTextIsAppendedOnceAndFoundAgainAfterARestart) {
  write_table(two_languages);
  nls_load();
  const std::string before = table();
  const char* text = "Really dissolve\nthe pattern?";

  std::string out = printed([&] { EXPECT_STREQ(nls_translate(text), text); });
  EXPECT_EQ(out, "nls entry *Really dissolve|the pattern?* added ... num = 6\n");
  EXPECT_EQ(table(), before + "\nReally dissolve|the pattern?\n*Really dissolve|the pattern?\n");
  EXPECT_EQ(nls_appended, 1);

  out = printed([&] { nls_translate(text); });
  EXPECT_EQ(out, "nls entry *Really dissolve\nthe pattern?* _NOT_ added ... num = 6\n");
  const std::string after = table();

  nls_load();  // a restart: the count line was not changed, so it is not loaded
  out = printed([&] { EXPECT_STREQ(nls_translate(text), text); });
  EXPECT_EQ(out, "nls entry *Really dissolve\nthe pattern?* _NOT_ added ... num = 5\n");
  EXPECT_EQ(table(), after);

  // A line of any language counts as present.
  out = printed([] { nls_translate("Ebene"); });
  EXPECT_NE(out.find("_NOT_ added"), std::string::npos) << out;
}

TEST_F(NlsTest, AppendStartsOnItsOwnLineWhenTheFileLacksTheLastLineFeed) {
  write_table("1\nC.UTF-8\nenglish\n1\n\nLayer");
  nls_load();
  printed([] { nls_translate("Yes"); });
  EXPECT_EQ(table(), "1\nC.UTF-8\nenglish\n1\n\nLayer\n\nYes\n");
  nls_load();
  EXPECT_EQ(nls_entry_count, 1);
}

TEST_F(NlsTest, TableThatCannotBeWrittenIsNotReportedAsAdded) {
  write_table(two_languages);
  nls_load();
  const std::string before = table();
  // Even root cannot grow a file past the size limit.
  signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit limit = old;
  limit.rlim_cur = before.size();
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  std::string out = printed([] { nls_translate("Cannot open file"); });
  setrlimit(RLIMIT_FSIZE, &old);

  EXPECT_EQ(out, "nls entry *Cannot open file* NOT written (table not writable)\n");
  EXPECT_EQ(nls_appended, 0);
  EXPECT_EQ(table(), before);
}

TEST_F(NlsTest, NoTableReportsEveryLookupAndAppendsNothing) {
  nls_load();
  std::string out = printed([] {
    EXPECT_STREQ(nls_translate("Layer"), "Layer");
    EXPECT_STREQ(nls_translate("Layer"), "Layer");
  });
  EXPECT_EQ(out, "nls is not active!\nnls is not active!\n");
  EXPECT_FALSE(std::filesystem::exists(dir_ / "nls" / "kav.nls"));
}

TEST_F(NlsTest, DamagedCounts) {
  struct Case {
    const char* table;
    bool active;
    int entries;
  };
  const Case cases[] = {
      {"", false, 0},
      {"abc\nC\nenglish\n0\n", false, 0},
      {"0\n1\n", false, 0},
      {"-3\nC\nenglish\n", false, 0},
      {"2\nC\nenglish\n", false, 0},                                        // ends within the languages
      {"1\nC\nenglish\n-5\n\nLayer\n", true, 0},                            // negative entry count
      {"1\nC\nenglish\n1000000000\n\nLayer\n\nList\n", true, 2},            // ends early
      {"2\nC\nenglish\nde\ngerman\n3\n\nLayer\nEbene\n\nList\n", true, 1},  // entry cut off
      {"1\r\nC\r\nenglish\r\n1\r\n\r\nLayer\r\n", true, 1},
  };
  for (const Case& c : cases) {
    write_table(c.table);
    printed([] { nls_load(); });
    EXPECT_EQ(nls_entry_count, c.entries) << c.table;
    std::string out = printed([] { nls_translate("Layer"); });
    EXPECT_EQ(out.find("nls is not active!") != std::string::npos, !c.active) << c.table << ": " << out;
  }
  EXPECT_STREQ(nls_translate("Layer"), "Layer");
}

TEST_F(NlsTest, AtMostTwentyLanguagesAreKept) {
  std::string t = "22\n";
  for (int i = 0; i < 22; ++i) t += "loc" + std::to_string(i) + "\nlang" + std::to_string(i) + "\n";
  t += "1\n\n";
  for (int i = 0; i < 22; ++i) t += "text" + std::to_string(i) + "\n";
  write_table(t);

  choose_language("lang21");
  std::string out = printed([] { nls_load(); });
  EXPECT_NE(out.find("more than 20 languages"), std::string::npos) << out;
  EXPECT_EQ(language_count, 20);
  EXPECT_EQ(language_index, 0);
  EXPECT_EQ(nls_entry_count, 1);
  EXPECT_STREQ(nls_translate("text0"), "text0");

  choose_language("lang19");
  printed([] { nls_load(); });
  EXPECT_EQ(language_index, 19);
  EXPECT_STREQ(nls_translate("text0"), "text19");

  // An appended entry has a line for every language of the file.
  printed([] { nls_translate("new"); });
  std::string expected = t + "\nnew\n";
  for (int i = 1; i < 22; ++i) expected += "*new\n";
  EXPECT_EQ(table(), expected);
}

TEST_F(NlsTest, Latin1LinesAreReadAsUtf8) {
  write_table(
      "2\nC\nenglish\nde\ngerman\n1\n\nArea\nFl\xe4"
      "che\n");
  choose_language("german");
  nls_load();
  EXPECT_STREQ(nls_translate("Area"),
               "Fl\xc3\xa4"
               "che");
}

TEST_F(NlsTest, ChosenLanguageIsWrittenBackOnlyWhenChanged) {
  const auto file = dir_ / "home" / ".kavro3" / "language";
  write_table(two_languages);

  choose_language("german");
  nls_load();
  auto stamp = std::filesystem::last_write_time(file);
  nls_save_language();
  EXPECT_EQ(read_file(file), "german\n");
  EXPECT_EQ(std::filesystem::last_write_time(file), stamp);

  nls_load();
  language_index = 0;
  nls_save_language();
  EXPECT_EQ(read_file(file), "english\n");
  EXPECT_STREQ(nls_translate("Layer"), "Layer");  // released

  // Without a language file the folder is made for it.
  std::filesystem::remove_all(dir_ / "home" / ".kavro3");
  nls_load();
  language_index = 1;
  nls_save_language();
  EXPECT_EQ(read_file(file), "german\n");
}

}  // namespace
