// Dimension figures: every display format by its accuracies, the carries of
// feet and inches, and values that must not print "-0" or overrun.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "display/draw_dim.h"
#include "display_fixture.h"
#include "support/comma_locale.h"

namespace {

class DimFormat : public DisplayTest {
 protected:
  static std::string figure(uint8_t format, double value, std::string* raised = nullptr) {
    std::string text = "stale", r = "stale";
    draw_dim_format_value(format, text, r, value);
    if (raised) *raised = r;
    return text;
  }
};

TEST_F(DimFormat, FiguresInEveryFormatAndAccuracy) {
  struct Case {
    double value;
    int format;
    int accuracy;      // accuracy for 1 to 5, architecture accuracy for 0; -1 for 6 to 12
    const char* text;  // without the inch mark of formats 6 to 12
    const char* raised;
  };
  const Case cases[] = {
      {2.3456, 0, 3, "2.34", "56"},
      {2.3456, 0, 2, "2.34", "6"},
      {2.3456, 0, 1, "2.34", "5"},
      {2.3456, 0, 0, "2.35", ""},
      {2.34, 0, 3, "2.34", ""},
      {2.34, 0, 2, "2.34", ""},
      {2.34, 0, 1, "2.34", ""},
      {2.34, 0, 0, "2.34", ""},
      {2.348, 0, 1, "2.35", ""},
      {2.3405, 0, 3, "2.34", "05"},
      {2.3450, 0, 3, "2.34", "5"},
      {0.2456, 0, 3, "24", "56"},
      {0.2456, 0, 2, "24", "6"},
      {0.2456, 0, 1, "24", "5"},
      {0.2456, 0, 0, "25", ""},
      {0.05, 0, 2, "5", ""},
      {1.0, 0, 2, "1.00", ""},
      {0.999, 0, 2, "99", "9"},
      {2.3456, 1, 0, "2", ""},
      {2.3456, 1, 1, "2.3", ""},
      {2.3456, 1, 2, "2.35", ""},
      {2.3456, 1, 3, "2.346", ""},
      {2.3456, 1, 4, "2.3456", ""},
      {2.5, 1, 2, "2.5", ""},
      {2.5, 1, 3, "2.5", ""},
      {2.5, 1, 4, "2.5", ""},
      {2.0, 1, 4, "2.0", ""},
      {2.0, 1, 0, "2", ""},
      {2.3456, 2, 4, "234.56", ""},
      {2.3456, 3, 4, "2345.6", ""},
      {2.3456, 4, 4, "92.3465", ""},
      {2.3456, 5, 4, "7.6955", ""},
      {1.0, 6, -1, "3'-3 1/2", ""},
      {1.0, 7, -1, "3'-3 1/4", ""},
      {1.0, 8, -1, "3'-3 3/8", ""},
      {1.0, 12, -1, "3'-3", ""},
      {2.3456, 10, -1, "7'-8 11/32", ""},
      {0.9271, 6, -1, "3'-1/2", ""},
      {1.0, 13, -1, "3'-3 1/2", ""},   // above 12: halves
      {1.0, 200, -1, "3'-3 1/2", ""},  // any code above 12
      {3.6575, 6, -1, "12'-0", ""},    // 11'-11 and a whole inch carry into the next foot
      {0.0254 * 5.6, 12, -1, "6", ""},
      {0.0254 * 2.25, 9, -1, "2 1/4", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.value << " in format " << c.format << ", accuracy " << c.accuracy);
    if (c.format == 0) dim_settings.accuracy_architecture = c.accuracy;
    if (c.format >= 1 && c.format <= 5) dim_settings.accuracy = c.accuracy;
    std::string raised;
    const std::string text = figure(static_cast<uint8_t>(c.format), c.value, &raised);
    const std::string inch = c.format >= 6 ? "\"" : "";
    EXPECT_EQ(text, c.text + inch);
    EXPECT_EQ(raised, c.raised);
  }
  // Exactly half an inch, a foot and nothing in every feet-and-inches format.
  for (int format = 6; format <= 12; ++format) {
    SCOPED_TRACE(format);
    EXPECT_EQ(figure(format, 0.0127), format == 12 ? "1\"" : "1/2\"");
    EXPECT_EQ(figure(format, 0.3048), "1'-0\"");
    EXPECT_EQ(figure(format, 0.0), "0\"");
  }
}

// Chains along walls of 36.5 and 11.5 cm: equal sizes must show equal
// figures however the binary value came out of the sums and differences of
// corner points, and halves go away from zero.
TEST_F(DimFormat, EqualSizesShowEqualFiguresWhateverTheirBinaryValue) {
  struct Case {
    const char* what;
    double value;
    int accuracy;  // architecture
    const char* text;
    const char* raised;
  };
  const Case cases[] = {
      {"4.1825 typed", 4.1825, 2, "4.18", "3"},
      {"8.73 - 4.5475", 8.73 - 4.5475, 2, "4.18", "3"},
      {"0.365 + 12.5475", 0.365 + 12.5475, 2, "12.91", "3"},
      {"8.365 - 7.1725", 8.365 - 7.1725, 2, "1.19", "3"},
      {"2.0625, a binary half", 2.0625, 2, "2.06", "3"},
      {"half a 36.5 cm wall", 0.365 / 2, 2, "18", "3"},
      {"half an 11.5 cm wall", 0.115 / 2, 2, "5", "8"},
      {"0.365 + 12.5475 to the centimetre", 0.365 + 12.5475, 0, "12.91", ""},
      {"0.365 + 12.5475 to 5 mm", 0.365 + 12.5475, 1, "12.91", "5"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    dim_settings.accuracy_architecture = c.accuracy;
    std::string raised;
    EXPECT_EQ(figure(DIM_FORMAT_ARCHITECTURE, c.value, &raised), c.text);
    EXPECT_EQ(raised, c.raised);
  }
  dim_settings.accuracy = 3;
  EXPECT_EQ(figure(1, 0.365 + 12.5475), "12.913");
  EXPECT_EQ(figure(1, -(0.365 + 12.5475)), "-12.913");
}

TEST_F(DimFormat, ValuesRoundingToZeroShowNoMinusSign) {
  struct Case {
    double value;
    int format;
    int accuracy;
    const char* text;
    const char* raised;
  };
  const Case cases[] = {
      {-0.0001, 1, 0, "0", ""},         {-0.0001, 1, 2, "0.0", ""},
      {-0.00001, 1, 4, "0.0", ""},      {-0.0001, 1, 4, "-0.0001", ""},
      {-0.00001, 3, 1, "0.0", ""},      {-0.0004, 0, 2, "0", ""},
      {0.001, 0, 1, "0", ""},  // "5 mm": the value less 2.5 mm is below zero
      {0.004, 0, 1, "0", "5"},          {-0.00001, 10, -1, "0\"", ""},
      {-0.25, 1, 2, "-0.25", ""},  // a real negative value keeps its sign
      {-0.004, 0, 3, "-0", "4"},   // minus four millimetres
      {-1.0, 6, -1, "-3'-3 1/2\"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.value << " in format " << c.format);
    if (c.format == 0) dim_settings.accuracy_architecture = c.accuracy;
    if (c.format >= 1 && c.format <= 5) dim_settings.accuracy = c.accuracy;
    std::string raised;
    EXPECT_EQ(figure(static_cast<uint8_t>(c.format), c.value, &raised), c.text);
    EXPECT_EQ(raised, c.raised);
  }
}

TEST_F(DimFormat, BadAccuraciesAndValuesLeaveTheFigureEmpty) {
  std::string raised;
  dim_settings.accuracy_architecture = 4;
  EXPECT_EQ(figure(0, 2.3456, &raised), "");
  EXPECT_EQ(raised, "");
  EXPECT_EQ(figure(0, 0.5), "");
  dim_settings.accuracy_architecture = 2;
  for (int acc : {-1, 5}) {
    dim_settings.accuracy = acc;
    EXPECT_EQ(figure(1, 2.3456), "");
  }
  dim_settings.accuracy = 4;
  for (double v : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()})
    for (int format : {0, 1, 6, 12}) EXPECT_EQ(figure(format, v, &raised), "") << format;
}

TEST_F(DimFormat, HugeValuesMakeLongFiguresAndNothingElse) {
  dim_settings.accuracy = 4;
  const std::string mm = figure(3, 1e40);
  EXPECT_EQ(mm.size(), 46u);  // 44 digits and ".0"
  EXPECT_EQ(mm.substr(0, 4), "1000");
  EXPECT_EQ(figure(1, 1e300).size(), 303u);  // 301 digits and ".0"
  const std::string feet = figure(6, 1e30);
  EXPECT_EQ(feet.back(), '"');
  EXPECT_NE(feet.find("'-"), std::string::npos);
  dim_settings.accuracy_architecture = 3;
  EXPECT_EQ(figure(0, 1e20), "100000000000000000000.00");
}

TEST_F(DimFormat, StripZeroTakesOneZeroOrPoint) {
  struct Case {
    const char* in;
    const char* out;
  };
  const Case cases[] = {{"2.500", "2.50"}, {"2.", "2"}, {"25", "25"}, {"0", ""}, {"", ""}, {"10", "1"}};
  for (const Case& c : cases) {
    std::string s = c.in;
    draw_dim_strip_zero(s);
    EXPECT_EQ(s, c.out) << c.in;
  }
}

TEST_F(DimFormat, FiguresDoNotFollowTheNumericLocale) {
  DecimalCommaLocale comma;
  if (!comma.active()) GTEST_SKIP() << "no comma locale";
  dim_settings.accuracy = 4;
  EXPECT_EQ(figure(1, 2.3456), "2.3456");
  EXPECT_EQ(draw_fixed(20.0, 2), "20.00");
}

}  // namespace
