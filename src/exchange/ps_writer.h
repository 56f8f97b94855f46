#pragma once

// PostScript: printing one sheet (p_file_print) and EPS files
// (p_file_export_eps).
//
// Printing draws every visible element on one sheet of the print paper
// that the user places in the drawing; the PostScript goes to the print
// command or to a file. Landscape lays the drawing turned by +90 degrees on
// the upright sheet. EPS writes the marked elements at the reference scale
// on a page that just holds them, texts as strokes or, in text mode, as
// Helvetica texts in the Latin-1 encoding.

#include <cstdio>
#include <string>

#include "exchange/export_2d.h"

enum class PsKind { PRINT, EPS };

// Everything a PostScript file is made from besides the drawing and the
// pen and line-type tables.
struct PsJob {
  PsKind kind = PsKind::EPS;
  std::string title;  // %%Title
  bool text_mode = false;
  ExportPage page;                        // what is tested before output
  double origin_x = 0.0, origin_y = 0.0;  // subtracted before converting
  double box_w = 0.0, box_h = 0.0;        // bounding box (and printed page size), points
  double pt_per_metre = 0.0;              // drawing to points
  double paper_factor = 1.0;              // pen widths and dashes: N_draw / N_print when printing
  bool colour_pens = false;               // pen procedures in colour
  bool grey_fills = false;                // fills as grey (printing without colour)
  bool landscape = false;                 // turn every point by +90 degrees about the frame corner
  double frame_x = 0.0, frame_y = 0.0;
};

// The print of the sheet whose lower left corner is at (fx, fy), by the
// print settings.
PsJob ps_print_job(double fx, double fy);
// The EPS of the marked elements on their extents page.
PsJob eps_job(const std::string& title, bool text_mode);

// Header and prolog, the drawing pass (printing: every element; EPS: the
// marked ones) and the trailer. False when a write failed.
bool ps_write(std::FILE* f, const PsJob& job);

// The commands.
void ps_print();
void eps_export();
// Printing after the frame: the output method, the file, the print command.
void ps_print_at(double fx, double fy);

// The rubber bands of the print frame: the sheet and its printable area at
// the pointer, and at the entered point.
void preview_print_frame(InputRequest* request, double x, double y);
void preview_print_frame_confirm(InputRequest* request, double x, double y);
