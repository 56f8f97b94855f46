#pragma once

// The tools that draw curves: circles by centre and radius or through three
// points, arcs by centre, start and end point or through three points,
// axis-parallel ellipses by centre and corner or inscribed in a frame,
// concentric copies of circles, arcs and ellipses at a distance or through a
// point, cubic Bezier splines, and the dissolving of a spline into straight
// lines. Each runs from its b_circle_ key until its input is cancelled;
// every curve it creates is one undo step. New curves go on the current
// layer with the current line type and the current pen, or the guide pen
// while guide mode is on.
//
// Input that would give a curve without size (a radius or axis at or below
// the limits below, three points on one line or too close together) creates
// nothing and the tool asks again.

#include <optional>

#include "model/elem.h"

// The handlers of the b_circle_ keys.
void tool_circle_circle();
void tool_circle_arc();
void tool_circle_3point();
void tool_circle_arc3point();
void tool_circle_ellipsefame();
void tool_circle_ellipse();
void tool_circle_parallel();
void tool_circle_pparallel();
void tool_circle_spline();
void tool_circle_splinedissolve();

// A curve as an arc element holds it: centre, x and y radius, the sweep
// counter-clockwise from the start angle, and the turn of the x radius
// (radians). A closed curve has sweep 2 pi and start 0.
struct CurveShape {
  double cx = 0.0, cy = 0.0;
  double rx = 0.0, ry = 0.0;
  double sweep = 0.0;
  double start = 0.0;
  double rotation = 0.0;
};

// A circle radius or ellipse axis at or below this makes no curve.
inline constexpr double CURVE_MIN_RADIUS = 1e-6;
// The radius at or below which the arc by centre, start and end makes nothing.
inline constexpr double CURVE_MIN_ARC_RADIUS = 1e-4;
// Two of three construction points at most this far apart make nothing.
inline constexpr double CURVE_MIN_POINT_DISTANCE = 1e-4;
// A picked curve with an x radius at or below this has no axis ratio to keep.
inline constexpr double CURVE_MIN_PICKED_RADIUS = 1e-9;

// Whether both radii of c are above CURVE_MIN_RADIUS and all its numbers
// are finite.
bool curve_has_size(const CurveShape& c);

// Appends c as an arc element on cur_layer with cur_line_type and the pen of
// new elements, records it as one undo step and draws it with the cursor off
// the screen.
void curve_create(const CurveShape& c);

// Replaces the spline e by the chords the screen draws it with at the
// current zoom, as lines on the current layer with the spline's pen and
// line type (none for the guide pen), in one undo step; the spline is
// erased from the view and the lines drawn.
void curve_dissolve_spline(ElemHeader* e);

// The circle, arc or ellipse nearest to (x, y) on the current and the shown
// layers; null when the nearest element there is of another kind.
ElemHeader* curve_pick(double x, double y);

// The geometry of the tools.
// The full circle about (cx, cy) through (px, py).
CurveShape curve_circle(double cx, double cy, double px, double py);
// The arc about m from the ray through s counter-clockwise to the ray
// through e, with the radius |m s|; a sweep in [0, 2 pi).
CurveShape curve_arc_by_centre(Point2 m, Point2 s, Point2 e);
// The arc itself when (dx, dy) lies within its sweep, else its complement:
// from the end of arc on round to its start.
CurveShape curve_arc_towards(const CurveShape& arc, double dx, double dy);
// The centre of the circle through three points: the crossing of the
// perpendicular bisectors of p0 p1 and p1 p2. Nothing when two of the points
// are within CURVE_MIN_POINT_DISTANCE or the bisectors are parallel.
std::optional<Point2> curve_centre_through(Point2 p0, Point2 p1, Point2 p2);
// The full circle through three points, and the arc from p0 through p1 to
// p2; nothing where curve_centre_through gives nothing. When p1 does not lie
// on the counter-clockwise arc from p0 to p2, the arc runs counter-clockwise
// from p2 to p0 and its start is the angle of p2 less 2 pi, which may be
// negative.
std::optional<CurveShape> curve_circle_through(Point2 p0, Point2 p1, Point2 p2);
std::optional<CurveShape> curve_arc_through(Point2 p0, Point2 p1, Point2 p2);
// The axis-parallel ellipse inscribed in the frame with opposite corners
// (x0, y0) and (x1, y1), and the one about (cx, cy) whose bounding box has
// the corner (px, py).
CurveShape curve_ellipse_in_frame(double x0, double y0, double x1, double y1);
CurveShape curve_ellipse_by_corner(double cx, double cy, double px, double py);
// The concentric copy of c at distance d: both radii smaller by d when
// (px, py) lies nearer to the centre than the x radius, else larger by d.
// Nothing when a radius would not stay above CURVE_MIN_RADIUS.
std::optional<CurveShape> curve_offset(const CurveShape& c, double d, double px, double py);
// The concentric copy of c through (px, py): the x radius is the distance to
// the centre, the y radius keeps the axis ratio. Nothing when c's x radius
// is at or below CURVE_MIN_PICKED_RADIUS or a new radius would not stay
// above CURVE_MIN_RADIUS.
std::optional<CurveShape> curve_through(const CurveShape& c, double px, double py);
// The shape of an arc element.
CurveShape curve_of(const ArcElem& a);
