#pragma once

// The range of coordinates and sizes an import keeps. Beyond it the numbers
// would not stay finite in the drawing: a product of two of them (a
// radius squared, an area), a difference across the drawing squared, or a
// length in millimetres runs past what a double holds. Values that far out
// come only from damaged or hostile files.

#include <cmath>

inline constexpr double IMPORT_RANGE = 1e100;  // metres

// v is finite and within the range.
inline bool import_in_range(double v) { return std::fabs(v) <= IMPORT_RANGE; }
