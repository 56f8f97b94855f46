#pragma once

// The tools that make lines and curves meet, and cut them back: joining two
// lines at their corner, with a chamfer or with a fillet arc; cutting the
// selected lines at a cutting line; erasing the part of a line or curve
// between two points or between the nearest cuts around a pick; extending a
// line end or an arc end to the nearest cut; attaching the selected lines to
// a boundary line. Each runs from its b_line_ or b_circle_ key until its
// input is cancelled; every change is one undo step.
//
// What cuts a line or curve: lines, circles, arcs and ellipses and the
// outline segments of walls on the current layer or on a shown layer. A
// curve is cut by another curve only when both are circles.

#include <optional>
#include <vector>

#include "tools/curve_tools.h"
#include "tools/line_tools.h"

// The handlers of the keys.
void tool_line_join();
void tool_line_join_line();
void tool_line_join_arc();
void tool_line_cut();
void tool_line_erase();
void tool_circle_erase();
void tool_line_dpart();
void tool_circle_dpart();
void tool_line_extend();
void tool_circle_extend();
void tool_line_attach();

// The shared body of the join tools: mode 0 corner, 1 chamfer (asks
// "Length:"), 2 fillet (asks "Radius:").
void line_join(int mode);

// Erases the part of the curve from parametric angle a counter-clockwise
// to b (radians in the curve's own frame, not from its start) as one undo
// step: a closed curve becomes the arc from b to a or goes, an arc keeps
// the pieces outside the interval, on its own layer.
void circle_erase_angles(ArcElem* arc, double a, double b);
// The same with the angles of two points.
void circle_erase_points(ArcElem* arc, double x1, double y1, double x2, double y2);

// The geometry of the tools.

// A corner, chamfer or fillet of two lines picked at k1 and k2. Both lines
// start at the corner end afterwards. applied tells whether the chamfer or
// fillet fitted inside both lines; otherwise the lines only meet.
struct JoinResult {
  LineSegment first, second;
  bool applied = false;
  std::optional<LineSegment> chamfer;
  std::optional<CurveShape> fillet;
};
// Nothing when the lines are parallel or meet 10000 or more from the first
// line's p1.
std::optional<JoinResult> line_join_geometry(int mode, double length, LineSegment first, Point2 k1,
                                             LineSegment second, Point2 k2);

// Where the infinite cutting line crosses line strictly inside it.
std::optional<Point2> line_cut_point(const LineSegment& cutter, const LineSegment& line);

// The end of line moved onto the infinite boundary, when the boundary
// crosses the line's extension outside it.
std::optional<LineSegment> line_attach_geometry(const LineSegment& boundary, const LineSegment& line);

// The points where one element cuts the infinite line through a and b, or
// the full ellipse of curve c, appended to out. Nothing for other kinds.
void cut_points_on_line(const ElemHeader& cutter, Point2 a, Point2 b, std::vector<Point2>& out);
void cut_points_on_curve(const ElemHeader& cutter, const CurveShape& c, std::vector<Point2>& out);

// The cut search: the points where the elements on the current or a shown
// layer whose plan box meets the window cut the line through a and b (or
// the curve c); self never cuts. The grid index keeps the search to the
// elements near the window on large drawings.
struct CutWindow {
  double xmin = 0.0, ymin = 0.0, xmax = 0.0, ymax = 0.0;
};
std::vector<Point2> cut_search_line(const ElemHeader* self, Point2 a, Point2 b, const CutWindow& w);
std::vector<Point2> cut_search_curve(const ElemHeader* self, const CurveShape& c);

// What erasing the angles a to b (see circle_erase_angles) does to c: the
// curve goes (remove), changes in place (changed), or is replaced by the
// pieces (remove with pieces); none of these when the interval misses it.
struct CurveErase {
  bool remove = false;
  std::optional<CurveShape> changed;
  std::vector<CurveShape> pieces;
};
CurveErase curve_erase_plan(const CurveShape& c, double a, double b);
// The parametric angle of (x, y) in the frame of c, in [0, 2 pi).
double curve_point_angle(const CurveShape& c, double x, double y);

// The interval [lo, hi] between the nearest cuts around parameter t0 of a
// line (0 and 1 where there is none; cuts at the ends do not count).
struct CutInterval {
  double lo = 0.0, hi = 0.0;
};
CutInterval line_dpart_interval(double t0, const std::vector<double>& cuts);
// The same for angle p from a curve's start, with cuts as angles from its
// start within its extent. An open arc: 0 and sweep where there is none. A
// closed curve takes its cuts round the circle; with fewer than two it is
// erased whole (0, sweep).
CutInterval curve_dpart_interval(double p, double sweep, bool closed, const std::vector<double>& cuts);

// The parameter on the line from the far end F to the picked end N of the
// nearest cut beyond N (parameters of the cuts from F to N); nothing when
// none lies below 10000.
std::optional<double> line_extend_parameter(const std::vector<double>& cuts);
// The arc extended at its start end (at_start) or its far end to the
// nearest cut outside it (angles from its start, in (sweep, 2 pi)), or
// closed to a full curve when there is no such cut. Nothing for a closed
// curve.
std::optional<CurveShape> curve_extend(const CurveShape& c, bool at_start,
                                       const std::vector<double>& outside_cuts);

// A closed curve: its sweep is 2 pi.
bool curve_is_closed(const CurveShape& c);
