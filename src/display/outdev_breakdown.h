#pragma once

// The break-downs every writer uses: the slot functions that turn a
// composite element into calls of the other slots of the output device.
// Start-up puts them into the text, dimension, room, arc and Bezier slots
// (outdev_init_screen_slots); a writer that leaves such a slot alone, or
// calls one of them directly, receives the element as plain lines, arcs,
// texts and fills:
//   text       strokes to the line slot, arcs to the arc slot, filled glyphs
//              to the fill slot (display/text_draw.cpp)
//   dimension  lines, arcs, filled arrowheads and figure texts
//              (display/draw_dim.cpp)
//   room       outline lines and inscription texts (display/draw_room.cpp)
//   arc        chords to the line slot
//   Bezier     chords to the line slot
// They keep to the slots: no cursor, no flushing, no palette. What differs
// on the screen (output active 0): guide-point marks, culling of what lies
// outside the view, frames for texts too small to read and the screen's own
// tracing of outline fonts; while active, curves get twice the chords.

#include <cmath>
#include <cstdint>

#include "display/outdev.h"
#include "model/elem.h"

void outdev_screen_text(const OutdevText& text);
void outdev_screen_dimension(const DimElem& dim);
void outdev_screen_room(const RoomElem& room);

// The arc slot: hands its arguments unchanged to draw_ellipse_arc_poly.
void outdev_screen_arc(uint8_t pen, uint8_t lt, double cx, double cy, double rx, double ry, double sweep,
                       double start, double rotation);
// An ellipse arc as chords through the line slot; the chord count follows
// the radii and view_scale, doubled for output other than the screen. On
// the screen an arc wholly outside the view is skipped.
void draw_ellipse_arc_poly(uint8_t pen, uint8_t lt, double cx, double cy, double rx, double ry, double sweep,
                           double start, double rotation);
// The number of chords draw_ellipse_arc_poly draws.
int outdev_arc_chord_count(double rx, double ry, double sweep);

// The Bezier slot: chords through the line slot, the last one ending
// exactly at the end point.
void outdev_screen_bezier(uint8_t pen, uint8_t lt, double x0, double y0, double x1, double y1, double x2,
                          double y2, double x3, double y3);
// The number of chords outdev_screen_bezier draws.
int outdev_bezier_chord_count(double x0, double y0, double x1, double y1, double x2, double y2, double x3,
                              double y3);

// Holds the guide points off on this thread for its lifetime, whatever the
// view option "Show guide points" says: texts, dimensions and rooms draw
// their arcs and curves without centre and control-point marks. The option
// itself is left alone, since several threads draw the screen at once.
class GuidePointsOff {
 public:
  GuidePointsOff();
  ~GuidePointsOff();
  GuidePointsOff(const GuidePointsOff&) = delete;
  GuidePointsOff& operator=(const GuidePointsOff&) = delete;
};
// Whether centre and control-point marks are drawn here and now: the view
// option, unless a GuidePointsOff holds them off on this thread.
bool guide_points_shown();

// A cross of +-half pixels about the point's pixel of the current view,
// through the line slot with the guide pen and line type 0, in the current
// draw mode: horizontal stroke first, then the vertical one.
void draw_point_cross(double x, double y, int half);
// The guide-point mark of a centre or control point: a +-1 pixel cross,
// without flushing; nothing while active.
void draw_point_marker_small(double x, double y);

// Curve geometry shared with the screen's rubber bands.

// The points of an ellipse at t, t + step, t + 2 step, ...: the angle's
// cosine and sine are turned on by the step instead of being computed anew
// for every chord (the drift over a few hundred steps stays far below a
// micrometre).
class EllipseWalk {
 public:
  EllipseWalk(double cx, double cy, double rx, double ry, double start, double step, double rotation)
      : cx_(cx),
        cy_(cy),
        rx_(rx),
        ry_(ry),
        ct_(std::cos(start)),
        st_(std::sin(start)),
        cs_(std::cos(step)),
        ss_(std::sin(step)),
        cr_(std::cos(rotation)),
        sr_(std::sin(rotation)) {}
  Point2 point() const {
    return Point2{cx_ + rx_ * ct_ * cr_ - ry_ * st_ * sr_, cy_ + rx_ * ct_ * sr_ + ry_ * st_ * cr_, 0};
  }
  void next() {
    const double c = ct_ * cs_ - st_ * ss_;
    st_ = st_ * cs_ + ct_ * ss_;
    ct_ = c;
  }

 private:
  double cx_, cy_, rx_, ry_, ct_, st_, cs_, ss_, cr_, sr_;
};

// Whether the square centre +- the larger radius misses the current view's window.
bool outdev_arc_outside_view(double cx, double cy, double rx, double ry);
// Chords of a Bezier curve on the screen: (|P0P3| + |P1P2|) / 22 pixels of
// the current view, at least 12 (also for a view without a scale) and at
// most `most`; a real number.
double outdev_bezier_k(double x0, double y0, double x1, double y1, double x2, double y2, double x3, double y3,
                       double most);
// The curve's point at t in 0..1.
Point2 outdev_bezier_point(double t, double x0, double y0, double x1, double y1, double x2, double y2,
                           double x3, double y3);
