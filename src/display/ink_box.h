#pragma once

// The box of the ink elements leave, found without drawing them: the same
// break-downs the drawing uses (dimensions, rooms, door and window symbols,
// hatch scans, the projection of 3D elements) run into slots that only grow
// a box, and the pieces that cost to draw are measured from their geometry:
// an arc or ellipse arc and a Bezier curve by their exact extremes (every
// chord the drawing cuts them into lies inside), a text by the convex hull
// of each glyph's ink, found once per font, placed where the text layout
// puts the character. For what is printed, each stroke reaches half its
// pen's width further.

#include <cstdint>

#include "display/outdev.h"
#include "model/elem.h"

// A 2D box in the coordinates of the current view; empty until the first
// point. Points that are not finite are ignored.
struct InkBox {
  bool started = false;
  double xmin = 0.0, xmax = 0.0, ymin = 0.0, ymax = 0.0;
  void add(double x, double y);
  void add(const InkBox& other);
};

// The exact box of an ellipse arc (a full turn or more is the whole ellipse).
void ink_add_ellipse_arc(InkBox& box, double cx, double cy, double rx, double ry, double sweep, double start,
                         double rotation);
// The exact box of a cubic Bezier curve.
void ink_add_bezier(InkBox& box, double x0, double y0, double x1, double y1, double x2, double y2, double x3,
                    double y3);
// The glyph ink of a text as the text break-down draws it for output other
// than the screen; a text without a printable character has none.
void ink_add_text(InkBox& box, const OutdevText& text);

// Whose ink counts.
enum class InkScope : uint8_t {
  SHOWN,    // what the screen shows: every pen, cameras and lights included
  PRINTED,  // what printers and the PDF, SVG and EPS writers print: no guide
            // pen (fillings have no pen and count), no cameras, no lights;
            // strokes as wide as their pens
  WRITTEN,  // what the DXF writer writes: every pen, no cameras
};

// How texts count: as the strokes and fills of their fonts, or as the PDF
// and EPS text mode writes them, in the standard font (display/text_mode.h).
enum class InkTexts : uint8_t { STROKED, WRITTEN };

// Grows a box by the ink of elements as the current view draws them (plan
// or projection), whatever their layer. The slots are installed while the
// pass lives; it must not outlive the box.
class InkPass {
 public:
  InkPass(InkBox& box, InkScope scope, InkTexts texts = InkTexts::STROKED);
  ~InkPass();
  InkPass(const InkPass&) = delete;
  InkPass& operator=(const InkPass&) = delete;
  void add(ElemHeader* e);

  struct Slots;

 private:
  struct Impl;
  Impl* impl_;
};
