// The writers' numbers: the text printf writes in the "C" locale, whatever
// the locale is, and never "nan" or "inf".

#include "exchange/out_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

#include "support/comma_locale.h"

namespace {

std::string fixed(double v, int decimals) {
  StringOut out;
  out.fixed(v, decimals);
  return out.text();
}

std::string printf_fixed(double v, int decimals) {
  char buf[400];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  return buf;
}

// The shortest forms hold the same value as the fixed ones: trailing
// zeros and a lone point go, and so does the sign of a zero.
TEST(OutText, ShortestFormsDropWhatAddsNoValue) {
  const struct {
    double v;
    int decimals;
    const char* text;
  } cases[] = {{2.0, 2, "2"},       {37.4, 2, "37.4"}, {37.43, 2, "37.43"}, {-0.001, 2, "0"},
               {-0.05, 2, "-0.05"}, {100.0, 2, "100"}, {0.0, 0, "0"},       {1.005, 2, "1"},
               {2.675, 2, "2.67"},  {NAN, 2, "0"},     {-12.5, 1, "-12.5"}, {1e15, 2, "1000000000000000"}};
  for (const auto& c : cases) {
    StringOut out;
    out.shortest(c.v, c.decimals);
    EXPECT_EQ(out.text(), c.text) << c.v << " with " << c.decimals;
  }
  const struct {
    long long v;
    const char* text;
  } hundredths[] = {{0, "0"},      {200, "2"},     {3740, "37.4"}, {3743, "37.43"},
                    {-5, "-0.05"}, {-120, "-1.2"}, {7, "0.07"},    {LLONG_MIN, "-92233720368547758.08"}};
  for (const auto& c : hundredths) {
    StringOut out;
    out.hundredths(c.v);
    EXPECT_EQ(out.text(), c.text) << c.v;
  }
  // Bare points: no zero before the point, and zero is still "0".
  const struct {
    long long v;
    const char* text;
  } bare[] = {{0, "0"}, {-5, "-.05"}, {7, ".07"}, {50, ".5"}, {-120, "-1.2"}, {100, "1"}, {-100, "-1"}};
  for (const auto& c : bare) {
    StringOut out;
    out.hundredths(c.v, true);
    EXPECT_EQ(out.text(), c.text) << c.v;
  }
}

TEST(OutText, FixedWritesWhatPrintfWritesInTheCLocale) {
  // Ties and near-ties, where a scaled rounding would go wrong, signs and
  // sizes.
  const double cases[] = {0.0,   -0.0,  0.125,  -0.125,   2.675,   1.005,  0.005, 0.015, 0.5,
                          1.5,   2.5,   -0.001, -0.0049,  99.995,  1e-300, 1e15,  -1e15, 123456789.125,
                          1e300, 0.045, 1.115,  28.34645, 841.889, 32.35,  4.0,   -2.5};
  for (const double v : cases)
    for (int d = 0; d <= 4; ++d) EXPECT_EQ(fixed(v, d), printf_fixed(v, d)) << v << " with " << d;
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
  std::uniform_int_distribution<int> exponent(-6, 12), decimals(0, 4);
  for (int i = 0; i < 200000; ++i) {
    const double v = mantissa(rng) * std::pow(10.0, exponent(rng));
    const int d = decimals(rng);
    ASSERT_EQ(fixed(v, d), printf_fixed(v, d)) << v << " with " << d;
  }
}

TEST(OutText, NumbersThatAreNotFiniteAreWrittenAsZero) {
  EXPECT_EQ(fixed(std::numeric_limits<double>::quiet_NaN(), 2), "0.00");
  EXPECT_EQ(fixed(std::numeric_limits<double>::infinity(), 2), "0.00");
  EXPECT_EQ(fixed(-std::numeric_limits<double>::infinity(), 0), "0");
  EXPECT_EQ(out_trunc(std::nan("")), 0);
  EXPECT_EQ(out_trunc(1e300), INT_MAX);
  EXPECT_EQ(out_trunc(-1e300), INT_MIN);
  EXPECT_EQ(out_trunc(-7.9), -7);
}

TEST(OutText, ADecimalCommaLocaleChangesNothing) {
  DecimalCommaLocale comma;
  ASSERT_TRUE(comma.active()) << "no locale with a decimal comma could be had";
  StringOut out;
  out.fixed(1234.5678, 2) << ' ';
  out.fixed(0.125, 3) << ' ';
  out.integer(-42);
  EXPECT_EQ(out.text(), "1234.57 0.125 -42");
}

}  // namespace
