#pragma once

// SVG export (p_file_export_svg): the marked elements at the reference
// scale as one SVG 1.0 document whose canvas just holds them, in pixels of
// 1/90 inch with y measured down from the top edge. Texts, dimensions and
// rooms arrive as strokes and fills.

#include <cstdio>

#include "exchange/export_2d.h"

// The job of the marked elements on their extents page (in pixels).
ExtentsPage svg_job();

// The whole document. False when a write failed.
bool svg_write(std::FILE* f, const ExtentsPage& page);

void svg_export();
