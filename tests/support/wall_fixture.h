#pragma once

// A plain wall as the axis wall tool makes it: from (0, 0) to (5, 0),
// thickness 0.24, base 0, height 2.75, pen 1, material "brick".

#include "model/elem.h"

WallElem* new_axis_wall();
