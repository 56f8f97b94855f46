#pragma once

// SVG export (p_file_export_svg): the marked elements at the reference
// scale as one SVG 1.0 document whose canvas just holds them: its size in
// millimetres on paper over a view box in pixels of 1/90 inch, y measured
// down from the top edge. Texts, dimensions and rooms arrive as strokes and
// fills; strokes of one pen and line type that follow each other share a
// path element. The stroke of each pen and line type is a rule of the
// document's style sheet, which a stroked element names by its class
// ("s" with the pen and the line type, as s12); fills carry their colour.

#include <cstdio>

#include "exchange/export_2d.h"

// The job of the marked elements on their extents page (in pixels).
ExtentsPage svg_job();

// The whole document. False when a write failed.
bool svg_write(std::FILE* f, const ExtentsPage& page);

void svg_export();
