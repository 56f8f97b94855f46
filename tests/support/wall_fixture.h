#pragma once

// A plain wall as the axis wall tool makes it: from (0, 0) to (5, 0),
// thickness 0.24, base 0, height 2.75, pen 1, material "brick".

#include <array>
#include <string>
#include <vector>

#include "model/elem.h"

WallElem* new_axis_wall();

// The same along the axis from (x0, y0) to (x1, y1), half_thickness to
// each side, of material.
WallElem* new_axis_wall(double x0, double y0, double x1, double y1, double half_thickness,
                        const char* material);

// An opening of kind (door, window) cut into w, a wall that runs along x,
// from x = a to x = b, sill above the base and height high, with a stop
// 0.05 wide and 0.1 deep. The cut wall replaces w in the drawing (w is gone
// unless nothing was cut); it comes back.
WallElem* cut_axis_opening(WallElem* w, int kind, double a, double b, double sill, double height);

// A wall's plan outline as undirected segments, rounded far below what a
// user sees, in a fixed order; segments without length left out. Two
// outlines that draw the same compare equal.
using WallOutline = std::vector<std::array<long long, 4>>;
WallOutline wall_outline_of(const std::vector<WallSegment>& segments);

// Outline ends of the drawing's walls that no other outline end meets, as
// "x;y" (ends rounded to a micrometre, segments without length left out):
// an outline left open, or a face running on where another wall stands. In
// a drawing of connected walls every end meets another.
std::vector<std::string> wall_open_ends();
