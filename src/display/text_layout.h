#pragma once

// Text layout: where each character of a text goes, how wide a text is, the
// frame around it, and the interpretation of one character's glyph commands
// into strokes, arcs and filled contours.
//
// A text's height is in paper millimetres; at the reference scale its world
// height is h = height * drawing_scale / 1000. A character advances by
// h * spacing + h * width factor * advance / 100. Line k starts k line
// pitches (h * line spacing) below the insertion point in the text's own
// frame. Texts are ISO-8859-1 bytes; a newline starts a new line.

#include <string_view>
#include <vector>

#include "display/font.h"
#include "model/elem.h"

// World height of a text line for a height in paper millimetres.
double text_world_height(double height);

// Advance of one character code in world units (codes below 32 advance by
// the spacing only).
double text_char_advance(const FontSlot& font, unsigned char code, double h, double wf, double spacing);

// The lines of a text, split at newlines (a text of n newlines has n + 1
// lines, some maybe empty).
std::vector<std::string_view> text_split_lines(std::string_view text);

// Sum of the advances of a line, the spacing after its last character included.
double text_line_width(const FontSlot& font, std::string_view line, double h, double wf, double spacing);

// One character placed by the alignment: its line (from 0) and its origin's
// distance from the line origin along the unrotated baseline.
struct TextPlacement {
  unsigned char code = 0;
  int line = 0;
  double offset = 0.0;
};

// The characters of a text in drawing order for an alignment (TEXT_LEFT,
// TEXT_RIGHT, TEXT_CENTRED, TEXT_JUSTIFIED fitted to fit length); none for
// any other alignment. Newlines are not placed.
std::vector<TextPlacement> text_place(const FontSlot& font, std::string_view text, double h, double wf,
                                      double spacing, double fit, int alignment);
// The same into a vector kept by the caller, so that measuring many texts
// allocates nothing.
void text_place_into(std::vector<TextPlacement>& out, const FontSlot& font, std::string_view text, double h,
                     double wf, double spacing, double fit, int alignment);

// The origin of line k of a text at (x, y) with a line pitch.
Point2 text_line_origin(double x, double y, double angle, double pitch, int k);

// (px, py) rotated about (cx, cy) by the angle of the sine and cosine; a
// sine of exactly 0 leaves the point as it is.
Point2 text_draw_rotate_point(double cx, double cy, double px, double py, double sine, double cosine);

// The width of the widest line in world units (spacing after the last
// character included); the fit length for TEXT_JUSTIFIED; 0 when the font
// and its fallback cannot be had.
double font_text_width(double height, double wf, double spacing, const char* font, const char* text,
                       int alignment, double fit);

// The corners of the last laid-out text: left-bottom, right-bottom,
// right-top, left-top of the unrotated text, rotated about the insertion point.
extern thread_local constinit Point2 text_frame[4];

// Lays a text's frame out into text_frame. The frame reaches from the
// baseline of the last line to one height above the first; a fitted text
// is one line high. When no font can be had the frame shrinks to the
// insertion point, so no earlier text's frame is taken for this one.
void text_draw_layout_frame(double x, double y, double angle, double height, double wf, double spacing,
                            double line_spacing, const char* text, double fit, const char* font,
                            int alignment);

// The points of the glyph being drawn: every point reached by a move, line
// or curve; a close appends CONTOUR_END; at most GLYPH_CONTOUR_MAX. Filled
// and emptied by fills. One per thread: the screen is drawn by several.
inline constexpr int GLYPH_CONTOUR_MAX = 20000;
struct GlyphContour {
  std::vector<Point2> points;
  int count() const { return static_cast<int>(points.size()); }
};
extern thread_local GlyphContour glyph_contour;

// Where one character goes.
struct GlyphPlace {
  double x = 0.0, y = 0.0;  // the character's origin on the unrotated baseline
  double angle = 0.0;       // radians
  double h = 0.0;           // world height
  double wf = 1.0;          // width factor
  double sine = 0.0, cosine = 1.0;
  double cx = 0.0, cy = 0.0;  // the line origin, centre of the rotation
};

// Receives what a glyph draws, in world units.
class GlyphSink {
 public:
  virtual ~GlyphSink() = default;
  // A straight stroke: lines, closes and curve chords.
  virtual void stroke(double x1, double y1, double x2, double y2) = 0;
  // An arc with the radii along its rotated axes and angles in radians.
  virtual void arc(double cx, double cy, double rx, double ry, double sweep, double start,
                   double rotation) = 0;
  // The contours collected so far (CONTOUR_END between them).
  virtual void fill(const Point2* points, int count) = 0;
};

// Interprets one character's glyph commands. fine = output other than the
// screen (twice the chords per curve). Codes below 32 draw nothing. Arcs of
// outline fonts are skipped, and so are the chords of their cubic curves;
// a stroke font's cubic chords are stroked.
void glyph_interpret(const FontSlot& font, unsigned char code, const GlyphPlace& place, bool fine,
                     GlyphSink& sink);

// Places every character of a text by its alignment and interprets it.
void text_trace_glyphs(const FontSlot& font, double x, double y, double angle, double h, double wf,
                       double spacing, double line_spacing, std::string_view text, double fit, int alignment,
                       bool fine, GlyphSink& sink);
