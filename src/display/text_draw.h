#pragma once

// Texts through the output device: the text break-down (outdev_screen_text
// in display/outdev_breakdown.h), one character at a time, and the frame of
// a text. Strokes of stroke fonts go to the line slot, their arcs to the arc
// slot, filled glyph contours to the fill slot; outline fonts trace their
// outlines on the screen only and send nothing but their fills to other
// output. A text at most 4 pixels high shows as its frame on the screen;
// other output always gets the glyphs.

#include <cstdint>

// One character of font slot `slot` with its origin at (x, y) on the
// unrotated baseline, h the world height, rotated about the line origin
// (cx, cy) by the angle whose sine and cosine are given.
void text_draw_glyph(uint8_t pen, uint8_t lt, uint8_t slot, double x, double y, double angle, uint8_t code,
                     double h, double width_factor, double sine, double cosine, double cx, double cy);

// The four sides of text_frame through the line slot: 0-1, 1-2, 2-3, 3-0.
void text_draw_frame(uint8_t pen, uint8_t lt);

// Lays a text's frame out (text_draw_layout_frame) and draws its four sides
// inverted.
void text_draw_xor_frame(double x, double y, double angle, double height, double width_factor, double spacing,
                         double line_spacing, const char* text, double fit_length, const char* font,
                         int alignment);
