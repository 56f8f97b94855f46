#pragma once

// The tools that draw straight lines: single, horizontal and vertical lines,
// lines at a fixed angle, frames, parallels at a distance and through a
// point, perpendiculars and regular polygons. Each runs from its b_line_ key
// until its input is cancelled; every line, frame or polygon it creates is
// one undo step. New lines go on the current layer with the current line
// type and the current pen, or the guide pen while guide mode is on.
//
// The rubber bands draw with inverting primitives only, from the request,
// the pointer and what the running tool has remembered (the fixed angle, the
// picked line, the distance, the corner count).

#include <array>
#include <vector>

#include "model/elem.h"

struct InputRequest;

// A straight segment from p1 to p2.
struct LineSegment {
  Point2 p1, p2;
};

// The handlers of the b_line_ keys.
void tool_line_line();
void tool_line_x();
void tool_line_y();
void tool_line_a();
void tool_line_frame();
void tool_line_oframe();
void tool_line_parallel();
void tool_line_pparallel();
void tool_line_orthogonal();
void tool_line_polygon();

// The four lines of a frame with opposite corners (x1, y1) and (x2, y2),
// every side moved outward by d (inward when d is negative), appended and
// drawn as one undo step: top, left, bottom, right, counter-clockwise from
// the upper right corner.
void line_make_frame(double x1, double y1, double x2, double y2, double d);

// The geometry of the tools.
// The sides of that frame in that order.
std::array<LineSegment, 4> line_frame_sides(double x1, double y1, double x2, double y2, double d);
// The end of a line from (sx, sy) at the angle: at the typed length (a
// negative length points backwards), or at the foot of (px, py) on the line
// through the start at the angle, which may lie behind the start.
Point2 line_angle_end_by_length(double sx, double sy, double angle, double length);
Point2 line_angle_end_at(double sx, double sy, double angle, double px, double py);
// The parallel to edge at distance d on the side where (cx, cy) lies; a
// point on the edge's line gives the right-hand side seen from p1 to p2.
LineSegment line_parallel_at(const LineSegment& edge, double d, double cx, double cy);
// The edge moved so that it passes through (px, py).
LineSegment line_parallel_through(const LineSegment& edge, double px, double py);
// The perpendicular to edge through (tx, ty): from the foot of that point on
// the edge's line to the foot of (ex, ey) on the perpendicular.
LineSegment line_perpendicular(const LineSegment& edge, double tx, double ty, double ex, double ey);
// The corners of the regular polygon of n corners about (cx, cy) whose
// first corner is (px, py), counter-clockwise, each turned from the one
// before it.
std::vector<Point2> line_polygon_corners(double cx, double cy, double px, double py, int n);

// The most corners a polygon gets; a larger typed count is held to this.
inline constexpr int LINE_POLYGON_MAX_CORNERS = 10000;
// A corner point this near to the centre makes no polygon.
inline constexpr double LINE_POLYGON_MIN_RADIUS = 1e-5;
