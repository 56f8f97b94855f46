#pragma once

// PDF export (p_file_export_pdf): the marked elements at the reference
// scale on one page that just holds them, as a PDF 1.3 file whose content
// stream is compressed while it is written, so memory stays the same
// whatever the size of the drawing. Texts go in as strokes (each glyph of a
// stroke font once, as a form placed for every character) or, in text
// mode, as texts in the standard Helvetica font with the Windows Latin
// encoding (which holds the Latin-1 letters at their codes).

#include <cstdio>

#include "exchange/export_2d.h"

struct PdfJob {
  bool text_mode = false;
  ExtentsPage page;
};

// The job of the marked elements on their extents page.
PdfJob pdf_job(bool text_mode);

// The whole file. False when a write or the compressor failed.
bool pdf_write(std::FILE* f, const PdfJob& job);

void pdf_export();
