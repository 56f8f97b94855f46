#pragma once

// Hatch lines, point grids and solid fills of an area given as contours
// (each ended by CONTOUR_END; inside by the even-odd rule, so a contour
// within another is a hole). All three scan the area: turned so that the
// scan lines lie horizontal, each scan line is cut with the contour edges
// and the sorted crossings are taken in pairs. Hatches and grids go through
// the line slot and so reach every output device; the screen fill slot
// (outdev_screen_fill in display/outdev_screen.h) paints pixel rows into
// the current view.
//
// A line family: pen, line type, reference point (ox, oy), angle and
// spacing; its lines run at the angle through (ox, oy) + k spacing
// (-sin angle, cos angle) for every whole k. A negative spacing counts as
// its magnitude; 0 draws nothing.

#include <cstdint>

#include "model/elem.h"

void draw_hatch_lines(uint8_t pen, uint8_t lt, double ox, double oy, double angle, double spacing, int32_t n,
                      const Point2* points);

// A dot (a line of zero length, line type 0) at every point of the grid of
// the family's lines and of the same spacing along them that lies inside.
void draw_hatch_points(uint8_t pen, uint8_t lt, double ox, double oy, double angle, double spacing, int32_t n,
                       const Point2* points);
