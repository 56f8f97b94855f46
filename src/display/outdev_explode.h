#pragma once

// Dissolving slots: installed in the line (and arc) slot for one drawing of
// an element, they turn what would be drawn into new elements on the
// current layer instead of pixels: a Bezier curve becomes its chords, a
// hatch its hatch lines, an opening symbol its lines and arcs.

#include <cstdint>

// A line of any pen but the guide pen becomes a line element.
void outdev_explode_line(uint8_t pen, uint8_t lt, double x1, double y1, double x2, double y2);
// Every arc becomes an arc element, the guide pen's too.
void outdev_explode_arc(uint8_t pen, uint8_t lt, double cx, double cy, double rx, double ry, double sweep,
                        double start, double rotation);
