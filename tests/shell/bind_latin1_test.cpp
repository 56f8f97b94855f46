// Texts between the program's ISO-8859-1 buffers and the toolkit's UTF-8.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "shell/latin1.h"

namespace {

TEST(BindLatin1, Utf8ToLatin1MapsWhatFitsAndMarksTheRest) {
  struct Case {
    const char* utf8;
    const char* latin1;
  };
  const Case cases[] = {
      {"Wall 2", "Wall 2"},
      {"K\xC3\xBC"
       "che",
       "K\xFC"
       "che"},               // ü
      {"\xC3\xBF", "\xFF"},  // U+00FF, the last that fits
      {"\xE2\x82\xAC"
       "5",
       "?5"},                       // the euro sign is beyond U+00FF
      {"\xF0\x9F\x98\x80!", "?!"},  // four bytes, one character
      {"a\xFF"
       "b",
       "a?b"},                  // a byte no sequence starts with
      {"a\xC3", "a?"},          // a sequence cut at the end
      {"\xC3(", "?("},          // a lead without its continuation
      {"\xC0\xAF", "??"},       // an overlong form
      {"\xED\xA0\x80", "???"},  // a surrogate
  };
  for (const Case& c : cases) EXPECT_EQ(utf8_to_latin1(c.utf8), c.latin1) << c.utf8;
}

TEST(BindLatin1, EveryByteSurvivesTheRoundTrip) {
  std::string all;
  for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
  std::string utf8 = latin1_to_utf8(all);
  EXPECT_TRUE(utf8_valid(utf8));
  EXPECT_EQ(utf8.size(), 127u + 2u * 128u);
  EXPECT_EQ(utf8_to_latin1(utf8), all);
}

TEST(BindLatin1, CopiesAreBoundedByBytes) {
  // 39 characters of two UTF-8 bytes each: a 39-character widget limit
  // would be 78 bytes, the buffer holds 40.
  std::string wide;
  for (int i = 0; i < 39; ++i) wide += "\xC3\xA4";
  struct {
    char buf[40];
    char canary[8];
  } store;
  std::memset(&store, 'x', sizeof store);
  EXPECT_EQ(utf8_to_latin1(wide, store.buf, sizeof store.buf), 39u);
  EXPECT_EQ(std::string(store.buf), std::string(39, '\xE4'));
  EXPECT_EQ(std::string(store.canary, 8), std::string(8, 'x'));

  // A longer text is cut to the buffer and terminated.
  char small[5];
  EXPECT_EQ(utf8_to_latin1("M\xC3\xB6"
                           "belhaus",
                           small, sizeof small),
            4u);
  EXPECT_STREQ(small,
               "M\xF6"
               "be");

  char one[1] = {'x'};
  EXPECT_EQ(utf8_to_latin1("abc", one, 1), 0u);
  EXPECT_EQ(one[0], '\0');
  char none = 'x';
  EXPECT_EQ(utf8_to_latin1("abc", &none, 0), 0u);
  EXPECT_EQ(none, 'x');
}

TEST(BindLatin1, InterfaceTextsPassWhenTheyAreUtf8) {
  EXPECT_EQ(gui_utf8("Ma\xC3\x9F"
                     "stab"),
            "Ma\xC3\x9F"
            "stab");  // a translated text
  EXPECT_EQ(gui_utf8("Ma\xDF"
                     "stab"),
            "Ma\xC3\x9F"
            "stab");  // a text from a buffer
  EXPECT_EQ(gui_utf8(nullptr), "");
  EXPECT_FALSE(utf8_valid("\xE2\x82"));
  EXPECT_TRUE(utf8_valid(""));
}

}  // namespace
