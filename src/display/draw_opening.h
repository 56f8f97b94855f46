#pragma once

// Door, window and plain-opening symbols in the plan view. A symbol is built
// from lines and quarter arcs in a frame attached to the opening: u runs
// along the outer face from corner 0 to corner 1, n from the outer face into
// the wall. Sizes are world metres; pens and line types are fixed (pen 0,
// line type 0 or 1; the axis pen 1, line type 3).

#include <cstdint>

#include "model/elem.h"

struct OpeningSymbol {
  uint8_t mode = 0;  // 2: inverted rubber band; otherwise through the line and arc slots
  uint16_t layer = 0;
  uint8_t kind = 0;   // OPENING_PLAIN, OPENING_DOOR, OPENING_WINDOW; others draw nothing
  uint8_t style = 0;  // symbol style of the kind
  // Plan corners: 0 and 1 on the outer face, 3 opposite 0 and 2 opposite 1
  // on the other face.
  Point2 corner[4];
  double stop_width = 0.0;  // rebate, world metres
  double stop_depth = 0.0;
  uint8_t quadrant = 0;  // door leaf: 0, 1 open inwards at the start and end side, 2, 3 outwards
};

// Draws the symbol when its layer is the current or a shown one.
void draw_opening_symbol(const OpeningSymbol& s);
// The same with the values one by one; `unused` is not read.
void draw_opening_symbol(uint8_t mode, uint16_t layer, uint8_t unused, uint8_t kind, uint8_t style,
                         double c0x, double c0y, double c1x, double c1y, double c2x, double c2y, double c3x,
                         double c3y, double stop_width, double stop_depth, uint8_t quadrant);
