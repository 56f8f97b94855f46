#pragma once

// Tools for making and checking stroke fonts. No menu reaches them; a font
// developer calls them to edit a font as drawing elements and write it back.
//
// The font sheet: characters 32..255 in cells of 2 drawing units, 16 per row,
// the first cell's origin at (0, -4), each row 2 units below the last. One
// drawing unit is one text height. In a cell, lines of pen 0 are strokes, a
// line of pen 3 gives the advance (its x extent) and arcs of any pen are
// arcs.

#include "display/font.h"

// The origin of a character's cell on the font sheet.
void font_sheet_origin(int code, double& x, double& y);

// xmin <= x <= xmax and ymin <= y <= ymax.
bool font_rect_contains(double xmin, double ymin, double xmax, double ymax, double x, double y);

// Adds one character of a font to the current layer at (x, y): its strokes
// (moves, lines, closes, curve chords) as lines of pen 0, its arcs as arcs
// of pen 3, its advance as a line of pen 3 0.4 below the origin.
void font_glyph_to_elements(const FontSlot& font, int code, double x, double y);

// Draws characters 32..255 of a font (looked up as texts do it) on the font
// sheet of the current layer. False when no font can be had.
bool font_sample_sheet(const char* name);

// Writes the stroke-font file "newfont" in font_stroke_dir from the font
// sheet on the current layer, highlighting the elements it takes. False
// (after telling the user) when the file cannot be written.
bool font_write_from_drawing();

// Converts a text font description into a stroke-font file, asking for the
// source ("Quelle:") and the target ("Ziel:"), and adds the strokes to the
// current layer on the font sheet for inspection. The description holds a
// "/Metrics" section of integer advance widths in thousandths of the height
// and a "/CharDefs" section of brace-delimited paths, both for the codes 1,
// 2, 3, ... in order. A path is postfix: "x y m" move, "x y l" line,
// "x1 y1 x2 y2 x3 y3 c" curve, "e" close, "f" fill, coordinates in 1/850 of
// the height. A malformed description is reported and nothing is written.
// False when cancelled or on an error.
bool font_convert_metrics();
