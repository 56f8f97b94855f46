#pragma once

// Closed outlines from the user, for patterns, rooms, ceilings and the 3D
// polygon and prism tools.
//
// input_polygon takes points one by one. Every edge shows at once as a
// temporary guide line (a real line in the guide pen, so that snap catches
// its ends and the outline can be closed by snapping onto its first point).
// Entering the last point again takes it back with its edge. An edge between
// the two ends of a Bezier curve or a circular arc follows the curve. The
// outline closes when a point lands on the first one. input_rectangle takes
// two corners, input_polygon_simple 3D points on the plane of the first
// three, input_trace_outline follows connected lines.
//
// All of them leave the outline in poly_input, whose buffer the calling
// tool takes and frees.

#include <cstdint>
#include <vector>

#include "model/elem.h"

struct InputRequest;

// Entries an outline buffer holds at most, the end marker included.
inline constexpr int POLY_INPUT_MAX = 500;
// The result of a cancelled input.
inline constexpr int POLY_INPUT_CANCELLED = 999;
// The longest outline input_trace_outline builds, in points.
inline constexpr int POLY_TRACE_MAX = 498;

// The shared result. After a successful input the buffer holds count
// entries, the last of them the end marker (CONTOUR_END, or (999, 999, 999)
// in the 3D buffer); after a cancel or a too short outline the buffer is
// empty and count 0. The caller takes the buffer (moves it out or calls
// poly_input_free when done); the next input starts a new one. Neither
// buffer ever holds more than POLY_INPUT_MAX entries.
struct PolyInput {
  int32_t count = 0;
  double z = 0.0;               // of the first point of input_polygon
  std::vector<Point2> points;   // input_polygon, input_rectangle, input_trace_outline
  std::vector<Point3> points3;  // input_polygon_simple
};
extern PolyInput poly_input;

// Frees both buffers and sets the count to 0.
void poly_input_free();

// Left by input_edge_follows_bezier: the curve's control points ordered
// from the edge's first point to its second.
struct EdgeFollowBezier {
  Point2 b[4];
};
extern EdgeFollowBezier edge_follow_bezier;

// Left by input_edge_follows_arc: the centre, the signed angle of one step
// (radians, counter-clockwise positive) and the number of steps from the
// edge's first point to its second.
struct EdgeFollowArc {
  double cx = 0.0, cy = 0.0;
  double step = 0.0;
  int32_t count = 0;
};
extern EdgeFollowArc edge_follow_arc;

// Asks "Polygon point:" and "Move/Confirm:" for each point. Returns
// POLY_INPUT_CANCELLED when a request was cancelled, 0 when the outline
// closed with fewer than 3 points, else the count (at least 4). A click
// whose entries and the end marker would not fit into POLY_INPUT_MAX
// entries is refused with a message, and the input goes on. At the end the
// selection is cleared, the guide lines are gone and drawing_modified is as
// it was before the input.
int input_polygon();

// Asks two corners; POLY_INPUT_CANCELLED (poly_input left as it was), or 5:
// the four corners counter-clockwise from the lower left, then the end
// marker, whatever the order the corners were given in.
int input_rectangle();

// As input_polygon with 3D points into points3 and 3D guide lines, without
// curve following; from the fourth point on each point is moved onto the
// plane through the first three, and whether that succeeded is printed on
// standard output ("1" or "0", one line).
int input_polygon_simple();

// 1 when a Bezier curve on a visible layer runs between the two points
// (either way round, ends within 0.001), with its control points in
// edge_follow_bezier; the first such curve in list order.
int input_edge_follows_bezier(double x1, double y1, double x2, double y2);

// 1 when a circular arc on a visible layer runs between the two points, or
// the two points coincide on a quadrant point of a circle (a full turn), with
// the steps in edge_follow_arc: 5 degrees each, at least 8 for an arc.
int input_edge_follows_arc(double x1, double y1, double x2, double y2);

// The closed outline of connected lines around the first line that the
// horizontal line through (x, y) crosses nearest to it. Returns the number
// of points (the last coinciding with the first; the end marker follows
// them in the buffer and is counted in poly_input.count), or 0 when the
// chain does not close, has no more than 3 points or would pass
// POLY_TRACE_MAX points.
int input_trace_outline(double x, double y);

// Rubber bands: from the last point to the pointer, and to the point
// entered in the request; the rectangle from the first corner to the
// pointer, and to the second corner; the 3D pair projected into the view.
void preview_polygon_edge(InputRequest* request, double x, double y);
void preview_polygon_confirm(InputRequest* request, double x, double y);
void preview_rectangle(InputRequest* request, double x, double y);
void preview_rectangle_confirm(InputRequest* request, double x, double y);
void preview_polygon_simple_edge(InputRequest* request, double x, double y);
void preview_polygon_simple_confirm(InputRequest* request, double x, double y);
