#pragma once

// Which groups of the Pattern dialog a pattern type uses: one line family
// and points use line 1, two lines both line families, a filling only its
// colour.

#include "model/consts.h"

struct PatternGroups {
  bool line1 = false;
  bool line2 = false;
  bool filling = false;
};

constexpr PatternGroups pattern_type_groups(int type) {
  switch (type) {
    case PATTERN_TWO_LINES:
      return {true, true, false};
    case PATTERN_FILLING:
      return {false, false, true};
    default:
      return {true, false, false};
  }
}
