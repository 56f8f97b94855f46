#pragma once

// What every 2D writer shares (PostScript printing and EPS, PDF, SVG,
// HPGL): the page window and its tests, the page around the marked
// elements, units, pens and line types held to their tables, the marks of
// an export, and the steps around the file: the questions, the chooser,
// writing through a temporary file, handing a file to the print or plot
// command.
//
// A writer installs its slots through an OutdevInstall guard carrying its
// own state, sets active and runs draw_scope with DRAW_PLAIN; the guard
// puts the screen's slots back on every way out. The slots it leaves alone
// break texts, dimensions, rooms (and ellipses and curves, where it leaves
// those) down into its line, arc and fill slots.

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

#include "display/input.h"
#include "display/outdev.h"
#include "model/elem.h"
#include "model/settings.h"

class OutText;

// The part of the drawing that falls on the page, in view coordinates
// (world metres in the plan view). A writer writes what passes its test
// whole, also where it reaches beyond the page.
struct ExportPage {
  double x = 0.0, y = 0.0, w = 0.0, h = 0.0;

  // The box of the two points overlaps the window; touching counts.
  bool segment_visible(double x1, double y1, double x2, double y2) const;
  bool point_visible(double px, double py) const;
  // The box of the end points, else the box of the two inner control points.
  bool bezier_visible(double x0, double y0, double x1, double y1, double x2, double y2, double x3,
                      double y3) const;
  // The square of the centre +- the larger radius.
  bool arc_visible(double cx, double cy, double rx, double ry) const;
  // At least one point other than a contour's end marker lies in the window.
  bool fill_visible(int32_t n, const Point2* points) const;
  // A text as the text mode writes it: its ink overlaps the window, or, for
  // a text without ink, its insertion point lies in it. The ink of a large
  // text may begin well away from its insertion point, which the page,
  // measured from the ink, then need not hold.
  bool written_text_visible(const OutdevText& t) const;
};

// Output units per world metre at the scale 1:n: points, and SVG pixels
// (1/90 inch, 1.25 to the point).
double export_pt_per_metre(double n);
inline constexpr double SVG_PX_PER_PT = 1.25;
// Paper millimetres and centimetres to points.
inline double export_mm_to_pt(double mm) { return mm * 7.2 / 2.54; }
inline double export_cm_to_pt(double cm) { return cm * 72.0 / 2.54; }

// The page of an export: the box of what is printed of the marked elements
// at the reference scale, grown by 2 output units on every side (written back into the
// display's extents), with texts as the text mode writes them when asked.
// Its lower left corner is the output origin.
struct ExtentsPage {
  double xmin = 0.0, ymin = 0.0, xmax = 0.0, ymax = 0.0;  // grown, view coordinates
  double width = 0.0, height = 0.0;                       // output units
  ExportPage window;
};
ExtentsPage export_extents_page(double units_per_metre, bool text_mode = false);

// Pens and line types outside the tables (0..7) take entry 0 in every
// writer; callers have turned the guide pen away before.
int export_pen(uint8_t pen);
int export_line_type(uint8_t line_type);
const PenDef& export_pen_def(uint8_t pen);
const LineTypeDef& export_line_type_def(uint8_t line_type);

// A text inside the parentheses of a PostScript or PDF string: backslash
// and parentheses escaped, bytes outside printable ASCII as octal escapes
// (a Latin-1 letter reaches the font's encoding unchanged).
void export_string_literal(OutText& out, std::string_view text);

// Clears the mark of every element when the export ends, whatever way it
// ends, and redraws the view: a mark left behind would keep the element
// out of the next save.
class ExportMarks {
 public:
  ExportMarks() = default;
  ~ExportMarks();
  ExportMarks(const ExportMarks&) = delete;
  ExportMarks& operator=(const ExportMarks&) = delete;
};

// "Text export:" with graphics (1), text (2) and Cancel: 1 or 2, 0 when
// cancelled or closed.
int export_ask_text_mode();
// "Output method:" with the printer or plotter answer, "To File" and
// Cancel: 1 device, 2 file, 0 when cancelled or closed.
int export_ask_output_method(const char* device_label);
// The save chooser with the title, export_file (its suffix made suffix, as
// ".pdf") and export_path; suffix is added to a chosen name without one.
// Empty when cancelled.
std::string export_choose_file(const char* title, const char* suffix);
// The hand-off file for the print or plot command in the program's private
// temporary folder; empty when there is none.
std::string export_spool_path(const char* name);

// Writes the file through a temporary file beside it, renamed over the
// target when write returned true and every byte reached the disk; the old
// file stays otherwise. An unopenable file shows "Cannot open file", a
// failed write "Cannot write file", a writer that refused to write an
// unsound file its reason (exchange/export_check.h). Copies the path into
// export_file once the file is open. Returns whether the file was written.
bool export_write_file(const std::string& path, const std::function<bool(std::FILE*)>& write);

// Starts the configured print or plot command in the background with the
// file as one more argument of its own, never through a shell. A command
// that cannot be split or started shows the error text (translated).
bool export_spool(const char* command, const std::string& path, const char* error_text);

// The frame request of printing and plotting: "Set frame:" with the first
// rubber band, "Move/Confirm:" with the second; true with the first point
// when both steps were done.
bool export_frame_request(InputPreviewFn set_preview, InputPreviewFn confirm_preview, double* x, double* y);
