#pragma once

// Object snap: turns a click into the point the user meant, an end point,
// centre, intersection or other characteristic point of a visible element
// within snap_size pixels of the click, else a free point in the plane of the
// current view. Candidates are tried in a fixed order and the first one in
// the catch window wins; a nearer candidate later in the order never does.
//
// The working values below belong to the last snap or hover test and are
// overwritten by the next one.

#include <cstdint>

#include "model/elem.h"

struct InputRequest;

// The catch window in view-plane world coordinates, borders included.
struct SnapWindow {
  double xmin = 0.0, xmax = 0.0, ymin = 0.0, ymax = 0.0;
};
extern SnapWindow snap_window;
// The click (or pointer) in world coordinates of the view plane.
extern Point2 snap_click;
// 1.5 x snap_size pixels as a world length: lines and circles farther from
// the click than this are not intersected.
extern double snap_near_radius;
// The point found: caught, or the free point.
extern Point3 snap_point;

// Results of snap_find_point.
enum : int { SNAP_IGNORE = 0, SNAP_FREE = 1, SNAP_CAUGHT = 2 };
// Codes of snap_hover_test: what kind of point the pick box holds.
enum : int { HOVER_NONE = 0, HOVER_POINT = 1, HOVER_INTERSECTION = 2, HOVER_MIDPOINT = 3 };

// The snap of a click at world (x, y) of the current view: 2 when a point
// was caught, 1 for the free point, 0 when the click is to be ignored (no
// catch in an isometric or perspective view). The point is in snap_point.
// request may be null; its entered points are tried first.
int snap_find_point(const InputRequest* request, double x, double y);

// Tests the one element e at the pointer (px, py) in pixels of the current
// view: 0 nothing, 1 a point of it, 2 an intersection, 3 a midpoint or
// quadrant point. A caught point is left in snap_point.
int snap_hover_test(double px, double py, const ElemHeader* e);

// Sets snap_window, snap_click and snap_near_radius for a click at the pixel
// (sx, sy) whose world position is (x, y).
void snap_set_window(int sx, int sy, double x, double y);

// Tests against the catch window. The catch forms store the point in
// snap_point; the 3D forms test the point's projection into the view and
// keep the 3D point (z 0 in the plan view).
int snap_catch_point(double x, double y);
int snap_catch_point_3d(double x, double y, double z);
int snap_point_inside(double x, double y);
int snap_point_inside_3d(double x, double y, double z);
// The AND of both ends' outcodes (1 left, 2 right, 4 below, 8 above): not 0
// when the segment lies wholly on one outer side of the window.
int snap_outcode(double x1, double y1, double x2, double y2);
// 1 when the square of half-side max(rx, ry) about the centre misses the window.
int snap_circle_outside(double cx, double cy, double rx, double ry);

// 1 when the segment (an edge of e, view-plane coordinates) crosses an edge
// of an element after e within the window; the crossing is in snap_point.
int snap_line_intersections(const ElemHeader* e, double x1, double y1, double x2, double y2);
// 1 when the circle or arc e crosses another element within the window.
int snap_circle_intersections(const ElemHeader* e);

// From this many elements on, the plan-view tests look up the elements near
// the window in a grid of element boxes instead of walking the whole list.
// The result is the same either way.
extern int snap_index_threshold;
