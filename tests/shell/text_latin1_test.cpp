// Typed text on its way from a widget into the drawing: only what ISO-8859-1
// holds is accepted, anything else is refused with a message, not mangled.

#include <gtest/gtest.h>

#include "shell/text_utf8.h"
#include "support/recording_ui.h"

namespace {

TEST(TextLatin1, OnlyCharactersOfIso88591FitAndTheRestIsRefusedWithAMessage) {
  struct Case {
    const char* utf8;
    bool fits;
  } cases[] = {
      {"", true},
      {"Stra\xc3\x9f"
       "e \xc3\x84\xc3\xb6\xc3\xbc \xc3\xbf",
       true},                     // up to U+00FF
      {"1 \xe2\x82\xac", false},  // the euro sign
      {"\xc4\x80", false},        // U+0100, the first beyond
      {"Gr\xfc\xdf"
       "e",
       false},                      // ISO-8859-1 bytes are not UTF-8
      {"\xf0\x9f\x99\x82", false},  // beyond the basic plane
  };
  for (const Case& c : cases) EXPECT_EQ(gui_utf8_fits_latin1(c.utf8), c.fits) << c.utf8;
  EXPECT_TRUE(gui_utf8_fits_latin1(nullptr));

  RecordingUi ui;
  EXPECT_TRUE(gui_accept_latin1("\xc3\xa4"));
  EXPECT_TRUE(ui.calls_starting("error").empty());
  EXPECT_FALSE(gui_accept_latin1("\xe2\x82\xac"));
  ASSERT_EQ(ui.calls_starting("error").size(), 1u);
  EXPECT_NE(ui.calls_starting("error")[0].find("ISO-8859-1"), std::string::npos);
}

}  // namespace
