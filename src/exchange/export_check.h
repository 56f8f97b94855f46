#pragma once

// What every writer checks of what it writes, so that no file comes out
// that the programs reading it refuse: a scale that is no scale, pens and
// line types outside their ranges, dash patterns of no length, coordinates
// beyond what the format's numbers hold. Where no sound file can be
// written, the writer says why and writes nothing.

#include <initializer_list>
#include <limits>
#include <string>

#include "model/settings.h"

// The shortest dash or gap a writer writes, millimetres on the paper it
// writes for: readers refuse a pattern of no length, and shorter elements
// come out as 0 in the two decimals the formats carry.
inline constexpr double EXPORT_DASH_MIN = 0.01;
// The dash and gap pairs a writer writes of a line type (0..3) when its
// paper shows line-type millimetres paper_factor times as long: none where
// a dash or gap would be shorter than EXPORT_DASH_MIN, and every writer
// draws such a line solid.
int export_dash_pairs(const LineTypeDef& t, double paper_factor = 1.0);
// The length of those pairs together, line-type millimetres: the line
// type's period, or the sum of its pairs where the stored period does not
// match.
double export_dash_period(const LineTypeDef& t, double paper_factor = 1.0);

// Before a writer asks for its file: whether the scale denominators it
// converts with, the pens' widths and the line types' dashes lie in their
// ranges. Otherwise the error box says what is wrong and false is returned.
bool export_settings_ok(std::initializer_list<double> scales);
// The same for the sheet of printing and plotting (width and height,
// centimetres) and for the plotter's resolution (centimetres per unit).
bool export_sheet_ok(double width, double height);
bool export_plot_resolution_ok(double resolution);

// Output coordinates checked while a writer writes: within its life, every
// coordinate passed through export_coordinate must lie within the limit
// (output units either way of 0). One that does not spoils the file: ok()
// turns false, and export_write_file keeps no file and says why.
class ExportCoordinates {
 public:
  // format: the format's name in the message ("PDF", "PostScript" ...);
  // scaled: the writer converts by a scale, which the message then names
  // as the cause.
  ExportCoordinates(double limit, const char* format, bool scaled = true);
  ~ExportCoordinates();
  ExportCoordinates(const ExportCoordinates&) = delete;
  ExportCoordinates& operator=(const ExportCoordinates&) = delete;
  bool ok() const { return ok_; }

 private:
  friend double export_coordinate(double v);
  ExportCoordinates* outer_;
  double limit_;
  const char* format_;
  bool scaled_;
  bool ok_ = true;
};
// v itself when the writing in progress can hold it (or when none is in
// progress); otherwise 0, and the writing fails.
double export_coordinate(double v);

// What a format's numbers hold, in its output units: PostScript and EPS,
// SVG, PDF 1.3 reals, HPGL/2 plotter units, DXF.
// PostScript interpreters and printers compute in single precision, 24
// bits: beyond 100,000 pt (35 m of paper) the hundredths of a point written
// are lost.
inline constexpr double EXPORT_PS_LIMIT = 100000.0;
inline constexpr double EXPORT_SVG_LIMIT = 1e9;
inline constexpr double EXPORT_PDF_LIMIT = 32767.0;
inline constexpr double EXPORT_HPGL_LIMIT = 1073741823.0;
// The 3D formats, metres: LightWave and 3DS store single precision floats;
// GTS files any finite double, which its reader takes. POV-Ray counts a
// distance from 1e7 on as infinite, so a scene reaching beyond renders
// wrong; Radiance scenes keep the same limit, 10,000 km beyond any
// building.
inline constexpr double EXPORT_FLOAT_LIMIT = std::numeric_limits<float>::max();
inline constexpr double EXPORT_RENDER_LIMIT = 1e7;
// DXF reals hold any finite double: values too large for six decimals to
// mean anything are written in exponent form, as CAD programs write their
// own extents, so whatever an import keeps can be written back.
inline constexpr double EXPORT_DXF_LIMIT = std::numeric_limits<double>::max();

// Why the last writing was refused, translated; empty when it was not.
// export_write_file clears it before it writes and shows it instead of
// keeping the file.
const std::string& export_refused();
void export_refused_clear();
// For writers that keep their file themselves: shows why the writing just
// done was refused and returns true; false when it was not.
bool export_refusal_shown();
