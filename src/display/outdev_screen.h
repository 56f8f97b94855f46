#pragma once

// The screen device: the slots that paint into the current view's backing
// store (lines and fills), the colour and width of a pen there, point
// markers, inverting rubber bands of curves, and clipped lines. Its other
// slots are the break-downs of display/outdev_breakdown.h; start-up puts
// all seven into the table (outdev_init_screen_slots in display/outdev.h).

#include <cstdint>

#include "model/elem.h"

// Whether this thread's table holds the seven screen slots that
// outdev_init_screen_slots puts there, with no writer active.
bool outdev_screen_installed();

// Palette index of a pen in the current draw mode.
uint8_t outdev_palette_index(uint8_t pen);
// Screen width of a pen in pixels: its paper width at the reference scale,
// 0 (a hairline) for the guide pen, with "Show exact line thickness" off or
// outside the plan view; at most 255.
uint8_t outdev_pen_width_px(uint8_t pen);

// The line slot: clipped to the view, in the pen's width and colour, dashed
// by the line type.
void outdev_screen_line(uint8_t pen, uint8_t lt, double x1, double y1, double x2, double y2);
// The fill slot: pixel rows in the colour of the draw mode; nothing while
// active. It shares the scan of the hatches (display/draw_hatch.cpp).
void outdev_screen_fill(double r, double g, double b, int32_t n, const Point2* points);

// Point markers: a cross of +-2 pixels through the line slot with the guide
// pen, marker mode 0 in the background colour (erasing), 1 in the selection
// colour, any other in the current draw mode; shown at once while
// draw_refresh_now is 1. Nothing while active.
void draw_point_marker(uint8_t marker_mode, double x, double y);
void draw_point_marker_3d(uint8_t marker_mode, double x, double y, double z);

// Inverting rubber bands: an ellipse arc in 24 chords, a Bezier curve in 12
// to 36 chords with its two control points marked.
void draw_xor_ellipse_arc(double cx, double cy, double rx, double ry, double sweep, double start,
                          double rotation);
void draw_xor_bezier(double x0, double y0, double x1, double y1, double x2, double y2, double x3, double y3);

// A world segment clipped and drawn one pixel wide in the colour of the
// output device's draw mode.
void draw_clipped_line(uint8_t pen, double x1, double y1, double x2, double y2);
// A rectangle as four screen lines: bottom, right, top, left side.
void draw_rect_lines(uint8_t pen, uint8_t line_type, double x1, double y1, double x2, double y2);
