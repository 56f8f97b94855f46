#pragma once

// Dimensions: the dimension break-down (outdev_screen_dimension in
// display/outdev_breakdown.h) and its parts. A dimension is drawn only
// through the line, arc, text and fill slots, so printers and exporters
// that keep the screen dimension slot receive it as plain strokes, filled
// arrowheads and texts. Sizes given in paper millimetres become world units
// through the reference scale; S below is the figure size in world units,
// the size unit of every mark and symbol.

#include <cstdint>
#include <string>

#include "model/elem.h"

// A number with a fixed count of decimals, always with "." whatever the C
// locale, rounded as its decimal text reads (units_fixed); a value that rounds to zero never
// keeps its minus sign ("0.00", not "-0.00"). Empty for a value that is not
// finite.
std::string draw_fixed(double value, int decimals);

// Removes one trailing "0" or "." from a non-empty text, nothing else.
void draw_dim_strip_zero(std::string& text);

// The figure of a value in a display format (0 architecture, 1 to 5 metres,
// centimetres, millimetres, inches and decimal feet, 6 to 12 feet and inches
// with halves to sixty-fourths or whole inches, above 12 as halves), by the
// accuracies in dim_settings. raised gets the digits shown raised after the
// figure (format 0 only). Both stay empty for an accuracy out of range or a
// value that is not finite.
void draw_dim_format_value(uint8_t format, std::string& text, std::string& raised, double value);

// A filled arrowhead with its tip at (tip_x, tip_y), its body towards
// (from_x, from_y), wings length long at 7.5 degrees either side.
void draw_dim_arrow(uint8_t pen, uint8_t lt, double from_x, double from_y, double tip_x, double tip_y,
                    double length);

// The end mark of one dimension-line point (x, y) in a style (DIM_MARK_LINE,
// DIM_MARK_CIRCLE, DIM_MARK_ARROW; others none) and its extension line
// (x, y) -+ (half_x, -half_y). before and after (1 = yes) put an arrowhead on
// the segment before or after the point along the angle.
void draw_dim_terminator(uint8_t style, uint8_t pen, uint8_t lt, double size, double half_x, double half_y,
                         double x, double y, uint8_t before, uint8_t after, double angle);

// Places the up to four strings of one figure at the anchor (x, y) on the
// dimension line: the main figure chain_space figure heights above the line,
// its raised digits after it, a second figure centred below the line. Mode 0
// normal, 1 with degree marks, 2 never turned upright. text_width is the
// main figure's world width; (dx, dy) shifts the figure along and across the
// line.
void draw_dim_text(uint8_t mode, uint8_t figure_pen, uint8_t figure_lt, double angle, double figure_size,
                   double figure_width, double figure_space, double chain_space, const char* font,
                   const char* figure, const char* raised, const char* second, const char* second_raised,
                   double x, double y, double text_width, double dx, double dy);

// The kinds other than chains. Each needs three points (fewer draw nothing).
void draw_dim_radius(const DimElem& dim);
void draw_dim_diameter(const DimElem& dim);
void draw_dim_level(const DimElem& dim);
void draw_dim_angle(const DimElem& dim);
