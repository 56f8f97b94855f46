#pragma once

// The pictures of the pen and line-type menus: a swatch of each pen's colour
// and a sample of each line type's dashes, 100 x 10 pixels, at 3 pixels per
// paper millimetre. The geometry is plain data; the pictures are cairo image
// surfaces, so neither needs a display.

#include <cairo.h>

#include <vector>

#include "model/settings.h"

inline constexpr int PENLINE_PICTURE_WIDTH = 100;
inline constexpr int PENLINE_PICTURE_HEIGHT = 10;
inline constexpr int PENLINE_SAMPLE_Y = 5;
// Pictures 0..7 are the pens, 8..15 the line types.
inline constexpr int PENLINE_PICTURES = 16;

// One dash of a sample, from x0 to x1, both pixels drawn.
struct PenlineSegment {
  int x0 = 0, x1 = 0;
  bool operator==(const PenlineSegment&) const = default;
};

// The dashes of a line type's sample: one line across the picture for a
// continuous type. Otherwise, scaled by 3, rounds = 100 / (period x 3) cut to
// a whole number (none for a period of 0 or less; at most 100); for
// rounds + 1 rounds each pair in turn adds [x, x + dash] while x + dash is
// below 99 and moves x on by dash + gap; a round ends at the first pair that
// does not fit. Last, the dash from x to 99. x is cut to whole pixels.
std::vector<PenlineSegment> penline_linetype_segments(const LineTypeDef& type);

// The swatch colour of pen 0..7 (pen 0 for any other number).
Rgb penline_pen_rgb(int pen);

// Draws the sample of a line type (0..7) in the current source colour at
// y = 5 of a 100 x 10 picture.
void penline_draw_linetype_sample(unsigned char line_type, cairo_t* cr);

// Renders picture n (0..15): the swatch of pen n, or the sample of line type
// n - 8 black on white. An RGB24 surface without antialiasing; the caller
// destroys it. Null for any other n.
cairo_surface_t* penline_picture_render(int n);
