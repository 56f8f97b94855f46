#pragma once

// Element records filled by name with the values most tests use. A test
// changes the fields it is about and appends the record with elem_append.
// Layer, pens and line types are 0; nothing is marked or grouped.

#include <cstdint>
#include <string_view>
#include <vector>

#include "model/elem.h"

// Left-aligned text at (x, y) in the "Simpel" font, 2.5 mm high, width
// factor 1, letter spacing 0.1, line spacing 1.5, no fit length.
TextElem test_text(double x, double y, std::string_view text);

// An entry of a dimension: its point on the dimension line, the point it
// measures and the length of the segment up to it.
DimPoint test_dim_point(double x, double y, double mx, double my, double length);

// A chain dimension through points with figures in the "Simpel" font,
// 2.5 mm high, width factor 1, spacing 0.1; chain space 0.5, help lines 1;
// direction 0, architecture format, line end marks.
DimElem test_dim(std::vector<DimPoint> points);

// A pattern of the given type over contours (each ended by CONTOUR_END):
// both line families 0.5 apart at angle 0 through the origin, black.
PatternElem test_pattern(uint8_t type, std::vector<Point2> contours);

// A room over contours (counter-clockwise adds, clockwise is a hole),
// labelled at (x, y) in the "Simpel" font, 2.5 mm high, width factor 1,
// spacing 0.1, line spacing 1.5; from 0 to 2.5 high, area factor 1, no
// inscription line shown and no description or number.
RoomElem test_room(double label_x, double label_y, std::vector<Point2> contours);
