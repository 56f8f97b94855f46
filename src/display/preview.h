#pragma once

// The small drawings inside the dialogs: views 1 to 6 show what the current
// text, dimension, hatch pattern, plain opening, window and door parameters
// produce, view 7 a symbol. Each preview draws into its view's store with
// the screen device at the fixed scale 1:50, whatever the main view shows,
// and puts every global it borrows back before it returns: the current
// view, view_scale, drawing_scale, the output device (slots and draw mode),
// the dirty rectangle, and for the symbol also the current layer, the
// refresh flag, the view type, the extents, the drawing's marks, its
// modified flag and the group counter. A view without a store draws nothing.
//
// The scenes are data first, so that what a preview hands to the drawers
// can be checked without pixels.

#include <array>
#include <functional>
#include <vector>

#include "display/draw_opening.h"
#include "display/outdev.h"
#include "model/elem.h"

// The preview views.
enum : int {
  PREVIEW_TEXT = 1,
  PREVIEW_DIM = 2,
  PREVIEW_PATTERN = 3,
  PREVIEW_OPENING = 4,
  PREVIEW_WINDOW = 5,
  PREVIEW_DOOR = 6,
  PREVIEW_SYMBOL = 7,
};

// "abcdef", "ABCDEF" and "012345" in the text preset's style, 1000 /
// scale paper millimetres high (1 m at the scale), left aligned at x 0.5,
// from y 1.5 up by the preset's line spacing.
std::vector<OutdevText> preview_text_lines(double scale);
// One chain of three points in the dimension preset's style, its figure
// size taken to the scale (preset size x 100 / scale).
DimElem preview_dimension(double scale);
// The closed contour the hatch preview fills (four corners and the end).
std::array<Point2, 5> preview_pattern_area();
// The opening symbol of preview 4, 5 or 6 and the wall around it (ten
// lines with pen 2, line type 0), from that kind's preset.
OpeningSymbol preview_opening_symbol(int k);
struct PreviewLine {
  double x1, y1, x2, y2;
};
std::array<PreviewLine, 10> preview_wall_lines(int k);

// Draws preview k (1..6) into view k's store; any other k draws nothing.
void preview_draw(int k);

// Draws the symbol preview into view 7: append_symbol appends the
// symbol's elements (a symbol file read into the drawing). Only those
// elements are taken: put on the current layer, turned by symbol_angle
// about (0, 0), fitted into 80 % of the view, drawn and removed again; the
// drawing's own elements, marks and modified flag stay as they were. With
// nothing appended, or all at one point, the scale stays 1:50. The
// insertion point (0, 0) is marked by a small square.
void preview_draw_symbol(const std::function<void()>& append_symbol);
