#pragma once

// Plane geometry on doubles (metres, radians) and the mapping between world
// coordinates, the pixels of the current view and the projection planes of
// view_type.
//
// The construction routines do not return their points: they leave them in
// the one global record geo_result, which the caller reads right after the
// call, before it calls any other routine that writes the same fields. The
// value-returning wrappers at the end of this header do exactly that.

#include <cstdint>
#include <optional>

#include "model/elem.h"

// Tolerances; comparisons are strict unless a routine says otherwise.
inline constexpr double TOL_DEGENERATE = 1e-10;  // coincident points, zero lengths
inline constexpr double TOL_EQUAL = 1e-9;        // geom_eq, geom_eq3
inline constexpr double TOL_PLANE = 1e-7;        // strict interior of a ray crossing
inline constexpr double TOL_FINE = 1e-6;         // recognising CONTOUR_END
inline constexpr double TOL_GEOM = 1e-5;         // parallel, horizontal, vertical lines
inline constexpr double TOL_POINT = 1e-4;        // degenerate segments
inline constexpr double TOL_COARSE = 0.001;      // collinearity in geom_segments_overlap
// A segment parameter from TOL_PARAM_LOW to TOL_PARAM_HIGH counts as lying on
// the segment, ends included.
inline constexpr double TOL_PARAM_LOW = -1e-5;
inline constexpr double TOL_PARAM_HIGH = 1.00001;

inline constexpr double GEOM_PI = 3.141592653589793;
inline constexpr double GEOM_TWO_PI = 2.0 * GEOM_PI;

struct GeoResult {
  double ix = 0.0, iy = 0.0;  // intersection of two lines
  int32_t found = 0;          // 1 when the last intersection routine found a point
  double rot_x = 0.0, rot_y = 0.0;
  double foot_x = 0.0, foot_y = 0.0;
  double proj_x = 0.0, proj_y = 0.0, proj_t = 0.0;  // t: 0 at A, 1 at B, not clamped
  double line_t = 0.0;
  double cut1_x = 0.0, cut1_y = 0.0, cut2_x = 0.0, cut2_y = 0.0;
  double arc_angle = 0.0;   // from the arc's start, [0, 2 pi]
  double arc_inside = 0.0;  // 1.0 within the sweep, else 0.0
  double view_u = 0.0, view_v = 0.0, view_depth = 0.0;
  double world_x = 0.0, world_y = 0.0, world_z = 0.0;
  double mirror_x = 0.0, mirror_y = 0.0;
  Point3 isect3, mirror3, rot3;  // 3D results (model/vec3.h)
};
extern thread_local constinit GeoResult geo_result;

// Scalars. Results named bool are int 1 or 0.
int geom_is_end_marker(double x, double y);
// While above 2 pi subtract 2 pi, then while below 0 add 2 pi: 2 pi stays.
// Huge angles are reduced first; NaN and infinities become 0.
double* geom_norm_angle(double* angle);
int geom_is_odd(int n);
void geom_swap_double(double* a, double* b);
void geom_swap_int(int* a, int* b);
int geom_eq(double a, double b);
int geom_eq3(Point3 a, Point3 b);  // point marks ignored
double geom_min(double a, double b);
double geom_max(double a, double b);
double geom_dist(double x1, double y1, double x2, double y2);
double geom_dist3(double x1, double y1, double z1, double x2, double y2, double z2);
// Direction of (x1, y1) -> (x2, y2) in [0, 2 pi); 0 for a zero vector.
double geom_angle(double x1, double y1, double x2, double y2);
// Positive when the path turns left at the middle point.
double geom_cross(double x1, double y1, double x2, double y2, double x3, double y3);

// Conversions by the current view (view_current()). Pixel results are
// rounded by adding 0.5 and truncating toward zero, then held to +-32767 so
// that points far off screen stay on their side instead of wrapping.
double view_sx_to_wx(int sx);
double view_sy_to_wy(int sy);
double view_px_to_len_x(int n);
double view_px_to_len_y(int n);
int16_t view_len_to_px_x(double len);
int16_t view_len_to_px(double len);
int16_t view_len_to_px_y(double len);
int16_t view_wx_to_sx(double x);
int16_t view_wy_to_sy(double y);

// Intersections and constructions; results in geo_result.
void geom_hline_x_line(double y0, double x1, double y1, double x2, double y2);
void geom_vline_x_line(double x0, double x1, double y1, double x2, double y2);
// Infinite line P1 P2 against P3 P4. Returns found; when the unnormalised
// determinant is below 1e-5 the lines count as parallel and ix, iy stay.
int geom_intersect_lines(double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                         double y4);
void geom_rotate_point(double cx, double cy, double px, double py, double angle);
void geom_foot_point(double px, double py, double ax, double ay, double bx, double by);
void geom_mirror_point(double px, double py, double ax, double ay, double bx, double by);
void geom_project_on_segment(double px, double py, double ax, double ay, double bx, double by);
double geom_dist_to_line(double px, double py, double ax, double ay, double bx, double by);
void geom_circle_circle(double x1, double y1, double r1, double x2, double y2, double r2);
void geom_line_circle(double cx, double cy, double r, double x1, double y1, double x2, double y2);
void geom_line_ellipse(double cx, double cy, double rx, double ry, double rotation, double x1, double y1,
                       double x2, double y2);
void geom_ellipse_arc_test(double px, double py, double cx, double cy, double rx, double ry, double sweep,
                           double start, double rotation);

// Polygons: arrays of n Point2; contour lists end each contour with CONTOUR_END.
// The ray from P towards +x crosses AB strictly inside it: crossings at or
// within 1e-7 of an end, and horizontal segments, never count.
int geom_ray_crosses(double px, double py, double ax, double ay, double bx, double by);
// Even-odd tests. An edge counts when its ends lie on different sides of P's
// level (an end exactly level counts as below) and it passes right of P, so
// a ray through a vertex is counted once, not twice or never.
int geom_point_in_polygon(double px, double py, int n, const Point2* pts);
// Over all contours of a list: holes and islands alternate. n counts every
// entry, markers included; the end of the array closes a contour as well.
int geom_point_in_contours(double px, double py, int n, const Point2* pts);
int geom_segments_overlap(double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                          double y4);
double geom_polygon_area(int n, const Point2* pts);
double geom_contours_area(int n, const Point2* pts);
void geom_reverse_polygon(int n, Point2* pts);
void geom_reverse_polygon3(int n, Point3* pts);

// Projection by view_type into view_u, view_v, view_depth (larger depth is
// farther away), and back from the view plane into world_x, world_y, world_z.
// A view type outside 0..9 writes nothing.
void view_project(double x, double y, double z);
void view_unproject(double u, double v);

// Value-returning forms of the routines above. Each calls its routine, so
// geo_result is written just the same.
struct GeomProjection {
  double x = 0.0, y = 0.0, t = 0.0;
};
struct GeomCuts {
  Point2 first, second;
};
std::optional<Point2> geom_line_intersection(double x1, double y1, double x2, double y2, double x3, double y3,
                                             double x4, double y4);
Point2 geom_rotated(double cx, double cy, double px, double py, double angle);
Point2 geom_foot(double px, double py, double ax, double ay, double bx, double by);
Point2 geom_mirrored(double px, double py, double ax, double ay, double bx, double by);
GeomProjection geom_projection(double px, double py, double ax, double ay, double bx, double by);
std::optional<GeomCuts> geom_circle_cuts(double x1, double y1, double r1, double x2, double y2, double r2);
std::optional<GeomCuts> geom_line_circle_cuts(double cx, double cy, double r, double x1, double y1, double x2,
                                              double y2);
std::optional<GeomCuts> geom_line_ellipse_cuts(double cx, double cy, double rx, double ry, double rotation,
                                               double x1, double y1, double x2, double y2);
