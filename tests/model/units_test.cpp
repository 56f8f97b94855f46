#include "model/units.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "model/settings.h"

namespace {

constexpr double PI = UNITS_PI;
constexpr double INCH = UNITS_INCH;

// Every test starts from the start-up units and leaves them so.
class Units : public ::testing::Test {
 protected:
  void SetUp() override { reset(); }
  void TearDown() override { reset(); }
  static void reset() {
    length_unit = 0;
    angle_unit = 1;
    size_unit = 0;
    paper_unit = 0;
  }
};

TEST_F(Units, FormatLengthInEveryUnit) {
  struct Case {
    int unit;
    double metres;
    const char* text;
  } cases[] = {
      {0, 1.5, "1.5000m"},    {0, -0.00004, "-0.0000m"}, {1, 0.015, "1.500cm"},    {2, 0.0123, "12.30mm"},
      {3, 0.0254, "1.000\""}, {4, 0.3048, "1.0000'"},    {4, -0.1524, "-0.5000'"},
  };
  for (const Case& c : cases) {
    length_unit = c.unit;
    EXPECT_EQ(units_format_length(c.metres), c.text) << c.unit;
  }
}

TEST_F(Units, FeetAndInches) {
  length_unit = 5;
  struct Case {
    double metres;
    const char* text;
  } cases[] = {
      {0.0254, "1\""},
      {0.3048, "1'-0\""},
      {0.0127, "1/2\""},
      {-0.4572, "-1'-6\""},
      {0.0, "0\""},
      {1.0, "3'-3 3/8\""},
      {0.001, "3/64\""},
      {(3 * 12 + 4.5) * INCH, "3'-4 1/2\""},
      {(3 * 12 + 0.5) * INCH, "3'-1/2\""},
      {4.5 * INCH, "4 1/2\""},
      {(1 - 0.2 / 64) * INCH, "1\""},       // rounds to 64/64: the next inch
      {(11 + 63.6 / 64) * INCH, "1'-0\""},  // ... and 12 inches: the next foot
      {(2 * 12 + 11 + 63.7 / 64) * INCH, "3'-0\""},
      {-0.0001, "-0\""},  // kept as it always was
  };
  for (const Case& c : cases) EXPECT_EQ(units_format_length(c.metres), c.text) << c.metres;
}

TEST_F(Units, FormatAngleSizePaperNumber) {
  struct Case {
    int32_t* unit;
    int code;
    std::string (*format)(double);
    double value;
    const char* text;
  } cases[] = {
      {&angle_unit, 0, units_format_angle, PI / 2, "1.571r"},
      {&angle_unit, 1, units_format_angle, PI / 2, "90.000"},
      {&angle_unit, 2, units_format_angle, PI / 2, "100.000g"},
      {&size_unit, 0, units_format_size, 3.5, "3.50mm"},
      {&size_unit, 1, units_format_size, 3.5, "0.35cm"},
      {&size_unit, 2, units_format_size, 25.4, "1.00\""},
      {&size_unit, 3, units_format_size, 3.5, "0.83pi"},
      {&size_unit, 4, units_format_size, 3.5, "9.92pt"},
      {&paper_unit, 0, units_format_paper, 21, "21.00cm"},
      {&paper_unit, 1, units_format_paper, 21, "8.27\""},
  };
  for (const Case& c : cases) {
    *c.unit = c.code;
    EXPECT_EQ(c.format(c.value), c.text) << c.text;
  }
  struct Number {
    double v;
    const char* text;
  } numbers[] = {{12.5, "12.50"}, {0.5, "0.500"}, {0.05, "0.0500"}, {-3, "-3.0000"}, {1, "1.00"}};
  for (const Number& n : numbers) EXPECT_EQ(units_format_number(n.v), n.text);
}

TEST_F(Units, FixedRoundsAsTheDecimalTextReads) {
  struct Case {
    double value;
    int decimals;
    const char* text;
  } cases[] = {
      {0.365 + 12.5475, 3, "12.913"},  // 12.91249999... in binary
      {2.0625, 3, "2.063"},            // an exact binary half goes away from zero
      {-2.0625, 3, "-2.063"},
      {9.9995, 3, "10.000"},   // the carry runs through every digit
      {-0.0004, 3, "-0.000"},  // a negative value keeps its sign, as printf's
      {0.5, 0, "1"},
      {1e-10, 2, "0.00"},
      {1.23456789012, 11, "1.23456789012"},  // more decimals than the snap: as stored
  };
  for (const Case& c : cases) EXPECT_EQ(units_fixed(c.value, c.decimals), c.text) << c.value;
  length_unit = 0;
  EXPECT_EQ(units_format_length(0.365 + 12.54745), "12.9125m");
}

TEST_F(Units, CodesOutOfRangeWriteNothing) {
  char buf[16] = "untouched";
  for (int code : {-1, 6}) {
    length_unit = code;
    EXPECT_EQ(units_format_length(1.0), "");
    units_format_length(1.0, buf, sizeof buf);
    EXPECT_STREQ(buf, "untouched");
  }
  angle_unit = 3;
  units_format_angle(1.0, buf, sizeof buf);
  size_unit = 5;
  units_format_size(1.0, buf, sizeof buf);
  paper_unit = 2;
  units_format_paper(1.0, buf, sizeof buf);
  EXPECT_STREQ(buf, "untouched");
}

TEST_F(Units, HugeValuesAreCutToTheCallersBuffer) {
  length_unit = 0;
  const std::string huge = units_format_length(1e300);
  EXPECT_GT(huge.size(), 300u);
  EXPECT_EQ(huge.back(), 'm');
  char buf[80];
  std::memset(buf, 'x', sizeof buf);
  units_format_length(1e300, buf, sizeof buf);
  EXPECT_EQ(std::strlen(buf), sizeof buf - 1);
  length_unit = 5;
  EXPECT_EQ(units_format_length(1e300).back(), '"');
  units_format_number(-1e300, buf, 8);
  EXPECT_STREQ(buf, "-100000");
}

TEST_F(Units, ParseLengthInEveryUnit) {
  struct Case {
    int unit;
    const char* text;
    double metres;
  } cases[] = {
      {0, "1.5", 1.5},
      {0, "  -2,25m", -2.25},
      {1, "1,5", 0.015},
      {1, "2,5", 0.025},
      {2, "12.3", 0.0123},
      {3, "2", 2 * INCH},
      {4, "1,5", 1.5 * 0.3048},
      {5, "3'-4 1/2", (3 * 12 + 4.5) * INCH},
      {5, "3'-4 1/2\"", (3 * 12 + 4.5) * INCH},
      {5, "3' 4.5", (3 * 12 + 4.5) * INCH},
      {5, "-1/2", -0.5 * INCH},
      {5, "4,5", 4.5 * INCH},
      {5, " - 1'-6\"", -0.4572},
      {5, "2'", 2 * 0.3048},
      {5, "7", 7 * INCH},
      {5, "", 0.0},
  };
  for (const Case& c : cases) {
    length_unit = c.unit;
    EXPECT_NEAR(units_parse_length(c.text), c.metres, 1e-12) << c.unit << " " << c.text;
  }
}

// What is shown can be typed back in every length unit.
TEST_F(Units, LengthRoundTrip) {
  const double precision[] = {1e-4, 1e-5, 1e-5, 0.001 * INCH, 1e-4 * 0.3048, INCH / 128};
  for (int unit = 0; unit <= 5; ++unit) {
    length_unit = unit;
    for (double m : {0.0, 0.0127, 1.0, 2.345, -0.4572, 12.3456}) {
      const std::string shown = units_format_length(m);
      EXPECT_NEAR(units_parse_length(shown), m, precision[unit]) << unit << " " << shown;
    }
  }
}

TEST_F(Units, ParseAngleSizePaper) {
  struct Case {
    int32_t* unit;
    int code;
    double (*parse)(std::string_view);
    const char* text;
    double value;
  } cases[] = {
      {&angle_unit, 0, units_parse_angle, "1,5", 1.5},    {&angle_unit, 1, units_parse_angle, "90", PI / 2},
      {&angle_unit, 2, units_parse_angle, "100", PI / 2}, {&size_unit, 0, units_parse_size, "3.5", 3.5},
      {&size_unit, 1, units_parse_size, "0,35", 3.5},     {&size_unit, 2, units_parse_size, "1", 25.4},
      {&size_unit, 3, units_parse_size, "6", 25.4},       {&size_unit, 4, units_parse_size, "72", 25.4},
      {&paper_unit, 0, units_parse_paper, "21", 21},      {&paper_unit, 1, units_parse_paper, "1", 2.54},
  };
  for (const Case& c : cases) {
    *c.unit = c.code;
    EXPECT_NEAR(c.parse(c.text), c.value, 1e-12) << c.code << " " << c.text;
  }
  angle_unit = 1;
  EXPECT_TRUE(std::isfinite(units_parse_angle("1e300")));  // huge, but a number
}

TEST_F(Units, DecimalAndFraction) {
  struct Case {
    const char* text;
    double value;
  } decimals[] = {
      {"1.5", 1.5}, {"1,5", 1.5}, {"  -2,25", -2.25}, {"+3", 3},     {"1.5xyz", 1.5},
      {"abc", 0},   {"", 0},      {".5", 0.5},        {"1e3", 1000}, {"1e999", 0},
      {"--5", 0},   {"inf", 0},   {"nan", 0},         {"\t7", 7},    {"- 4", 0},
  };
  for (const Case& c : decimals) {
    EXPECT_EQ(units_parse_decimal(c.text), c.value) << c.text;
    EXPECT_EQ(units_parse_number(c.text), c.value) << c.text;
  }
  const Case fractions[] = {
      {"1/0", 0}, {"2 1/0", 2},    {"3 5", 5},     {"4 1/2", 4.5}, {"1/2", 0.5},
      {" 7 ", 7}, {"3/4\"", 0.75}, {"-1/4", 0.25}, {"2,5", 2.5},   {"1 1e300/0.00000000001", 1},
  };
  for (const Case& c : fractions) EXPECT_EQ(units_parse_fraction(c.text), c.value) << c.text;
}

TEST_F(Units, ParseXyz) {
  struct Case {
    int unit;
    const char* text;
    double x, y, z;
  } cases[] = {
      {0, "1;2", 1, 2, 0}, {0, "5", 5, 0, 0},           {0, "1;2;3", 1, 2, 3},
      {0, ";;4", 0, 0, 4}, {1, "100;200;300", 1, 2, 3}, {5, "1';6;-1/2", 0.3048, 6 * INCH, -0.5 * INCH},
  };
  for (const Case& c : cases) {
    length_unit = c.unit;
    double x = 9, y = 9, z = 9;
    units_parse_xyz(c.text, &x, &y, &z);
    EXPECT_NEAR(x, c.x, 1e-12) << c.text;
    EXPECT_NEAR(y, c.y, 1e-12) << c.text;
    EXPECT_NEAR(z, c.z, 1e-12) << c.text;
  }
}

}  // namespace
