#include <gtest/gtest.h>

#include <clocale>

#include "model/geom.h"
#include "model/settings.h"
#include "model/units.h"
#include "support/comma_locale.h"

namespace {

// On a desktop with a decimal comma the program still reads and writes "1.5".
TEST(UnitsLocale, DecimalCommaLocaleChangesNothing) {
  DecimalCommaLocale comma;
  if (!comma.active()) GTEST_SKIP() << "no decimal-comma locale installed and localedef could not make one";
  const int32_t saved_length = length_unit, saved_angle = angle_unit, saved_size = size_unit;
  length_unit = 0;
  EXPECT_EQ(units_format_length(1.5), "1.5000m");
  EXPECT_EQ(units_parse_length("1.5"), 1.5);
  EXPECT_EQ(units_parse_length("1,5"), 1.5);
  EXPECT_EQ(units_parse_decimal("1.5"), 1.5);
  EXPECT_EQ(units_parse_fraction("1.5"), 1.5);
  EXPECT_EQ(units_format_number(1.5), "1.50");
  length_unit = 5;
  EXPECT_EQ(units_format_length(0.0127), "1/2\"");
  EXPECT_NEAR(units_parse_length("1.5"), 1.5 * UNITS_INCH, 1e-15);
  angle_unit = 1;
  EXPECT_EQ(units_format_angle(GEOM_PI / 2), "90.000");
  size_unit = 0;
  EXPECT_EQ(units_format_size(1.5), "1.50mm");
  length_unit = saved_length;
  angle_unit = saved_angle;
  size_unit = saved_size;
}

}  // namespace
