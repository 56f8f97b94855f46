#pragma once

// What the information windows show, without the windows: the ten
// label/value rows of one element, and the element counts of the drawing.

#include <array>
#include <string>

#include "model/elem.h"

struct InfoRow {
  std::string label;  // translated, ISO-8859-1
  std::string value;
};
inline constexpr int ELEMENT_INFO_ROWS = 10;
using ElementInfo = std::array<InfoRow, ELEMENT_INFO_ROWS>;

// The rows of e as seen at the click point (world, plan): rows 0..3 the
// type, layer, pen and line type, the others by kind; unused rows are empty.
// Clicked over an opening of a wall, the rows describe that opening (the
// first one whose corners 0..1 span the click point along the wall), with
// "---" as layer and pen. Lengths, angles, paper sizes and plain numbers are
// in the current units.
ElementInfo element_info_rows(const ElemHeader& e, Point2 click);

// Lines, circles and arcs, texts, dimensions, walls, splines, patterns,
// 3D lines, 3D objects, rooms and lights in the drawing, in this order (the
// captions' order); cameras are not counted.
inline constexpr int PROJECT_COUNT_ROWS = 11;
extern const char* const project_count_captions[PROJECT_COUNT_ROWS];  // English, to translate
std::array<int, PROJECT_COUNT_ROWS> project_counts();
