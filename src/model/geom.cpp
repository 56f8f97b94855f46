#include "model/geom.h"

#include <cmath>
#include <vector>

#include "model/settings.h"
#include "model/view_rec.h"

thread_local constinit GeoResult geo_result;

namespace {

constexpr double HALF_PI_EXACT = GEOM_PI / 2.0;
constexpr double THREE_HALF_PI = 3.0 * GEOM_PI / 2.0;
// Above this many turns the angle is reduced with fmod before the loops,
// which would otherwise run for ever once subtracting 2 pi changes nothing.
constexpr double NORM_LOOP_LIMIT = 64.0 * GEOM_TWO_PI;
constexpr double PIXEL_LIMIT = 32767.0;

// Rounds a pixel offset by adding 0.5 and truncating toward zero. NaN counts
// as 0; infinities stay for to_pixel to hold.
double pixel_round(double v) {
  if (std::isnan(v)) return 0.0;
  return std::trunc(v + 0.5);
}

// Holds a pixel position in the 16-bit range, so that points far off screen
// stay on their side instead of wrapping around.
int16_t to_pixel(double v) {
  if (std::isnan(v)) return 0;
  if (v > PIXEL_LIMIT) v = PIXEL_LIMIT;
  if (v < -PIXEL_LIMIT) v = -PIXEL_LIMIT;
  return static_cast<int16_t>(v);
}

// A world length in pixels at the given scale; a view without a scale yet
// maps everything to 0.
double len_to_px(double len, double scale) {
  if (!(std::fabs(scale) > 0.0)) return 0.0;
  return pixel_round(len / scale);
}

// Foot of P on the infinite line AB, which the caller knows is neither
// vertical nor horizontal: the crossing with the perpendicular through P.
// For a short AB the unnormalised determinant falls below the parallel limit,
// so the foot is then computed directly and stored as the crossing.
void general_foot(double px, double py, double ax, double ay, double bx, double by, double* fx, double* fy) {
  if (geom_intersect_lines(ax, ay, bx, by, px, py, px - (by - ay), py + (bx - ax))) {
    *fx = geo_result.ix;
    *fy = geo_result.iy;
    return;
  }
  const double dx = bx - ax;
  const double dy = by - ay;
  const double t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy);
  *fx = ax + t * dx;
  *fy = ay + t * dy;
  geo_result.ix = *fx;
  geo_result.iy = *fy;
  geo_result.found = 1;
}

// Normalises an angle difference like geom_norm_angle.
double norm_angle(double a) {
  geom_norm_angle(&a);
  return a;
}

// Takes a point into the frame of a rotated ellipse, with v scaled by rx/ry
// so that the ellipse becomes the circle of radius rx about the origin.
void to_ellipse_frame(double x, double y, double cx, double cy, double c, double s, double k, double* u,
                      double* v) {
  *u = (x - cx) * c + (y - cy) * s;
  *v = ((y - cy) * c - (x - cx) * s) * k;
}

// The half-open crossing rule: the edge counts when its ends lie on
// different sides of the ray's line (an end on the line counts as below), so
// a ray through a vertex counts exactly one of the two edges meeting there.
int half_open_crosses(double px, double py, const Point2& a, const Point2& b) {
  if ((a.y > py) == (b.y > py)) return 0;
  const double x = a.x + (py - a.y) * (b.x - a.x) / (b.y - a.y);
  return px < x ? 1 : 0;
}

template <class P>
void reverse_points(int n, P* pts) {
  if (n <= 0 || !pts) return;
  std::vector<P> copy(pts, pts + n);
  for (int i = 0; i < n; ++i) {
    pts[i].x = copy[n - 1 - i].x;
    pts[i].y = copy[n - 1 - i].y;
    if constexpr (requires { pts[i].z; }) pts[i].z = copy[n - 1 - i].z;
  }
  if (geom_is_end_marker(pts[0].x, pts[0].y)) {
    for (int i = 0; i + 1 < n; ++i) pts[i] = pts[i + 1];
    pts[n - 1].x = CONTOUR_END_X;
    pts[n - 1].y = CONTOUR_END_Y;
    if constexpr (requires { pts[n - 1].z; }) pts[n - 1].z = CONTOUR_END_X;
  }
}

}  // namespace

// ---- Scalars ----

int geom_is_end_marker(double x, double y) { return point_is_contour_end(x, y) ? 1 : 0; }

double* geom_norm_angle(double* angle) {
  double a = *angle;
  if (!std::isfinite(a)) {
    a = 0.0;
  } else if (std::fabs(a) > NORM_LOOP_LIMIT) {
    a = std::fmod(a, GEOM_TWO_PI);
  }
  while (a > GEOM_TWO_PI) a -= GEOM_TWO_PI;
  while (a < 0.0) a += GEOM_TWO_PI;
  *angle = a;
  return angle;
}

int geom_is_odd(int n) { return n % 2 != 0 ? 1 : 0; }

void geom_swap_double(double* a, double* b) {
  const double t = *a;
  *a = *b;
  *b = t;
}

void geom_swap_int(int* a, int* b) {
  const int t = *a;
  *a = *b;
  *b = t;
}

int geom_eq(double a, double b) { return std::fabs(a - b) < TOL_EQUAL ? 1 : 0; }

int geom_eq3(Point3 a, Point3 b) {
  if (std::fabs(a.x - b.x) > TOL_EQUAL) return 0;
  if (std::fabs(a.y - b.y) > TOL_EQUAL) return 0;
  if (std::fabs(a.z - b.z) > TOL_EQUAL) return 0;
  return 1;
}

double geom_min(double a, double b) { return a < b ? a : b; }
double geom_max(double a, double b) { return a > b ? a : b; }

double geom_dist(double x1, double y1, double x2, double y2) {
  const double dx = x2 - x1;
  const double dy = y2 - y1;
  return std::sqrt(dx * dx + dy * dy);
}

double geom_dist3(double x1, double y1, double z1, double x2, double y2, double z2) {
  const double dx = x2 - x1;
  const double dy = y2 - y1;
  const double dz = z2 - z1;
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

double geom_angle(double x1, double y1, double x2, double y2) {
  const double dx = x2 - x1;
  const double dy = y2 - y1;
  if (std::fabs(dx) < TOL_GEOM) {
    if (std::fabs(dy) < TOL_GEOM) return 0.0;
    return dy > 0.0 ? HALF_PI_EXACT : THREE_HALF_PI;
  }
  double a = std::atan(dy / dx);
  if (dx < 0.0) a += GEOM_PI;
  if (a < 0.0) a += GEOM_TWO_PI;
  return a;
}

double geom_cross(double x1, double y1, double x2, double y2, double x3, double y3) {
  return (x2 - x1) * (y3 - y2) - (y2 - y1) * (x3 - x2);
}

// ---- View conversions ----

double view_sx_to_wx(int sx) {
  const ViewRec& v = view_current();
  return (sx - v.left) * v.xscale + v.xmin;
}

double view_sy_to_wy(int sy) {
  const ViewRec& v = view_current();
  return (v.bottom - sy) * v.yscale + v.ymin;
}

double view_px_to_len_x(int n) { return n * view_current().xscale; }
double view_px_to_len_y(int n) { return n * view_current().yscale; }

int16_t view_len_to_px_x(double len) { return to_pixel(len_to_px(len, view_current().xscale)); }
int16_t view_len_to_px(double len) { return view_len_to_px_x(len); }
int16_t view_len_to_px_y(double len) { return to_pixel(len_to_px(len, view_current().yscale)); }

int16_t view_wx_to_sx(double x) {
  const ViewRec& v = view_current();
  return to_pixel(v.left + len_to_px(x - v.xmin, v.xscale));
}

int16_t view_wy_to_sy(double y) {
  const ViewRec& v = view_current();
  return to_pixel(v.bottom - len_to_px(y - v.ymin, v.yscale));
}

// ---- Intersections and constructions ----

void geom_hline_x_line(double y0, double x1, double y1, double x2, double y2) {
  if (std::fabs(y2 - y1) < TOL_GEOM) {
    geo_result.found = 0;
    return;
  }
  const double t = (y2 - y0) / (y2 - y1);
  geo_result.ix = x1 * t + x2 * (1.0 - t);
  geo_result.iy = y0;
  geo_result.found = 1;
}

void geom_vline_x_line(double x0, double x1, double y1, double x2, double y2) {
  if (std::fabs(x1 - x2) < TOL_GEOM) {
    geo_result.found = 0;
    return;
  }
  const double t = (x0 - x2) / (x1 - x2);
  geo_result.iy = y1 * t + y2 * (1.0 - t);
  geo_result.ix = x0;
  geo_result.found = 1;
}

int geom_intersect_lines(double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                         double y4) {
  geo_result.found = 0;
  const double det = (x1 - x2) * (y4 - y3) - (y1 - y2) * (x4 - x3);
  if (!(std::fabs(det) >= TOL_GEOM)) return 0;
  const double t = ((x4 - x2) * (y4 - y3) - (x4 - x3) * (y4 - y2)) / det;
  geo_result.ix = x1 * t + x2 * (1.0 - t);
  geo_result.iy = y1 * t + y2 * (1.0 - t);
  geo_result.found = 1;
  return 1;
}

void geom_rotate_point(double cx, double cy, double px, double py, double angle) {
  const double dx = px - cx;
  const double dy = py - cy;
  if (angle == 0.0 || angle == GEOM_TWO_PI) {
    geo_result.rot_x = px;
    geo_result.rot_y = py;
  } else if (angle == HALF_PI_EXACT) {
    geo_result.rot_x = cx - dy;
    geo_result.rot_y = cy + dx;
  } else if (angle == GEOM_PI) {
    geo_result.rot_x = cx - dx;
    geo_result.rot_y = cy - dy;
  } else if (angle == THREE_HALF_PI) {
    geo_result.rot_x = cx + dy;
    geo_result.rot_y = cy - dx;
  } else {
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    geo_result.rot_x = cx + dx * c - dy * s;
    geo_result.rot_y = cy + dy * c + dx * s;
  }
}

void geom_foot_point(double px, double py, double ax, double ay, double bx, double by) {
  if (ax == bx && ay == by) {
    geo_result.foot_x = ax;
    geo_result.foot_y = ay;
  } else if (ax == bx) {
    geo_result.foot_x = ax;
    geo_result.foot_y = py;
  } else if (ay == by) {
    geo_result.foot_x = px;
    geo_result.foot_y = ay;
  } else {
    general_foot(px, py, ax, ay, bx, by, &geo_result.foot_x, &geo_result.foot_y);
  }
}

void geom_mirror_point(double px, double py, double ax, double ay, double bx, double by) {
  if (ax == bx) {
    geo_result.mirror_x = 2.0 * ax - px;
    geo_result.mirror_y = py;
  } else if (ay == by) {
    geo_result.mirror_x = px;
    geo_result.mirror_y = 2.0 * ay - py;
  } else {
    geom_foot_point(px, py, ax, ay, bx, by);
    geom_rotate_point(geo_result.foot_x, geo_result.foot_y, px, py, GEOM_PI);
    geo_result.mirror_x = geo_result.rot_x;
    geo_result.mirror_y = geo_result.rot_y;
  }
}

void geom_project_on_segment(double px, double py, double ax, double ay, double bx, double by) {
  constexpr double eps = TOL_DEGENERATE;
  GeoResult& r = geo_result;
  if (std::fabs(px - ax) < eps && std::fabs(py - ay) < eps) {
    r.proj_x = ax;
    r.proj_y = ay;
    r.proj_t = 0.0;
  } else if (std::fabs(px - bx) < eps && std::fabs(py - by) < eps) {
    r.proj_x = bx;
    r.proj_y = by;
    r.proj_t = 1.0;
  } else if (std::fabs(ax - bx) < eps) {
    if (std::fabs(ay - by) < eps) {
      r.proj_x = ax;
      r.proj_y = ay;
      r.proj_t = 0.5;
    } else {
      r.proj_x = ax;
      r.proj_y = py;
      if (std::fabs(py - ay) < eps) {
        r.proj_t = 0.0;
      } else if (std::fabs(py - by) < eps) {
        r.proj_t = 1.0;
      } else {
        r.proj_t = (py - ay) / (by - ay);
      }
    }
  } else if (std::fabs(ay - by) >= eps) {
    double fx = 0.0;
    double fy = 0.0;
    general_foot(px, py, ax, ay, bx, by, &fx, &fy);
    r.proj_x = fx;
    r.proj_y = fy;
    if (std::fabs(by - ay) < std::fabs(bx - ax)) {
      r.proj_t = (fx - ax) / (bx - ax);
    } else {
      r.proj_t = (fy - ay) / (by - ay);
    }
  } else {
    r.proj_x = px;
    r.proj_y = ay;
    if (std::fabs(px - ax) < eps) {
      r.proj_t = 0.0;
    } else if (std::fabs(px - bx) < eps) {
      r.proj_t = 1.0;
    } else {
      r.proj_t = (px - ax) / (bx - ax);
    }
  }
}

double geom_dist_to_line(double px, double py, double ax, double ay, double bx, double by) {
  geom_project_on_segment(px, py, ax, ay, bx, by);
  geo_result.line_t = geo_result.proj_t;
  return geom_dist(px, py, geo_result.proj_x, geo_result.proj_y);
}

void geom_circle_circle(double x1, double y1, double r1, double x2, double y2, double r2) {
  GeoResult& r = geo_result;
  r.found = 0;
  const double d = geom_dist(x1, y1, x2, y2);
  if (d < TOL_DEGENERATE || d > r1 + r2) return;
  const double dx = x2 - x1;
  const double dy = y2 - y1;
  const double k = r2 * r2 - r1 * r1 - dx * dx - dy * dy;
  const double a = 4.0 * dx * dx + 4.0 * dy * dy;
  // Both discriminants share the factor 4 d^2 r1^2 - K^2, written here as the
  // product of its four linear factors: it is exactly 0 for touching circles
  // and cannot come out slightly negative for circles side by side.
  const double q = (d + r1 + r2) * (d + r1 - r2) * (d - r1 + r2) * (r1 + r2 - d);
  if (q < 0.0) return;
  const double root_x = std::sqrt(16.0 * dy * dy * q);
  const double root_y = std::sqrt(16.0 * dx * dx * q);
  r.cut1_x = (-4.0 * dx * k + root_x) / (2.0 * a);
  r.cut2_x = (-4.0 * dx * k - root_x) / (2.0 * a);
  r.cut1_y = (-4.0 * dy * k + root_y) / (2.0 * a);
  r.cut2_y = (-4.0 * dy * k - root_y) / (2.0 * a);
  if ((dx < 0.0 && dy < 0.0) || (dx > 0.0 && dy > 0.0)) geom_swap_double(&r.cut1_y, &r.cut2_y);
  r.cut1_x += x1;
  r.cut2_x += x1;
  r.cut1_y += y1;
  r.cut2_y += y1;
  r.found = 1;
}

void geom_line_circle(double cx, double cy, double rad, double x1, double y1, double x2, double y2) {
  GeoResult& r = geo_result;
  r.found = 0;
  const double ax = x1 - cx;
  const double ay = y1 - cy;
  const double bx = x2 - cx;
  const double by = y2 - cy;
  if (geom_eq(ax, bx)) {
    const double d = ax;
    if (!(std::fabs(d) <= rad)) return;
    const double h = std::sqrt(rad * rad - d * d);
    r.cut1_x = cx + d;
    r.cut1_y = cy + h;
    r.cut2_x = cx + d;
    r.cut2_y = cy - h;
    r.found = 1;
    return;
  }
  const double m = (by - ay) / (bx - ax);
  const double b = ay - ax * m;
  const double qa = m * m + 1.0;
  const double qb = 2.0 * b * m;
  const double disc = qb * qb - 4.0 * qa * (b * b - rad * rad);
  if (!(disc >= 0.0)) return;
  const double root = std::sqrt(disc);
  const double u1 = (-qb + root) / (2.0 * qa);
  const double u2 = (-qb - root) / (2.0 * qa);
  r.cut1_x = u1 + cx;
  r.cut1_y = m * u1 + b + cy;
  r.cut2_x = u2 + cx;
  r.cut2_y = m * u2 + b + cy;
  r.found = 1;
}

void geom_line_ellipse(double cx, double cy, double rx, double ry, double rotation, double x1, double y1,
                       double x2, double y2) {
  GeoResult& r = geo_result;
  // A flat ellipse has no circle to solve against.
  if (std::fabs(rx) < TOL_DEGENERATE || std::fabs(ry) < TOL_DEGENERATE) {
    r.found = 0;
    return;
  }
  const double c = std::cos(rotation);
  const double s = std::sin(rotation);
  double u1, v1, u2, v2;
  to_ellipse_frame(x1, y1, cx, cy, c, s, rx / ry, &u1, &v1);
  to_ellipse_frame(x2, y2, cx, cy, c, s, rx / ry, &u2, &v2);
  geom_line_circle(0.0, 0.0, rx, u1, v1, u2, v2);
  if (!r.found) return;
  const double k = ry / rx;
  const double a1 = r.cut1_x, b1 = r.cut1_y * k;
  const double a2 = r.cut2_x, b2 = r.cut2_y * k;
  r.cut1_x = cx + a1 * c - b1 * s;
  r.cut1_y = cy + b1 * c + a1 * s;
  r.cut2_x = cx + a2 * c - b2 * s;
  r.cut2_y = cy + b2 * c + a2 * s;
}

void geom_ellipse_arc_test(double px, double py, double cx, double cy, double rx, double ry, double sweep,
                           double start, double rotation) {
  GeoResult& r = geo_result;
  if (std::fabs(ry) < TOL_DEGENERATE) {
    r.arc_angle = 0.0;
    r.arc_inside = 0.0;
    return;
  }
  double u, v;
  to_ellipse_frame(px, py, cx, cy, std::cos(rotation), std::sin(rotation), rx / ry, &u, &v);
  r.arc_angle = norm_angle(geom_angle(0.0, 0.0, u, v) - start);
  r.arc_inside = (r.arc_angle >= 0.0 && r.arc_angle <= sweep) ? 1.0 : 0.0;
}

// ---- Polygons ----

int geom_ray_crosses(double px, double py, double ax, double ay, double bx, double by) {
  geom_hline_x_line(py, ax, ay, bx, by);
  if (!geo_result.found || !(px < geo_result.ix)) return 0;
  geom_project_on_segment(geo_result.ix, geo_result.iy, ax, ay, bx, by);
  return (geo_result.proj_t > TOL_PLANE && geo_result.proj_t < 0.9999999) ? 1 : 0;
}

int geom_point_in_polygon(double px, double py, int n, const Point2* pts) {
  if (n < 3 || !pts) return 0;
  int count = 0;
  for (int i = 0; i < n; ++i) count += half_open_crosses(px, py, pts[i], pts[(i + 1) % n]);
  return count % 2;
}

int geom_point_in_contours(double px, double py, int n, const Point2* pts) {
  if (n <= 0 || !pts) return 0;
  int count = 0;
  int first = 0;
  for (int i = 0; i < n; ++i) {
    if (geom_is_end_marker(pts[i].x, pts[i].y)) {
      first = i + 1;
      continue;
    }
    // The end of the array closes the contour as a marker would.
    const bool last = i + 1 >= n || geom_is_end_marker(pts[i + 1].x, pts[i + 1].y);
    count += half_open_crosses(px, py, pts[i], last ? pts[first] : pts[i + 1]);
  }
  return count % 2;
}

int geom_segments_overlap(double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                          double y4) {
  if (std::fabs(x2 - x1) < TOL_POINT && std::fabs(y2 - y1) < TOL_POINT) return 0;
  if (std::fabs(x4 - x3) < TOL_POINT && std::fabs(y4 - y3) < TOL_POINT) return 0;
  const double a = -(y2 - y1);
  const double b = x2 - x1;
  const double c = y2 * x1 - y1 * x2;
  if (std::fabs(a * x3 + b * y3 + c) > TOL_COARSE) return 0;
  if (std::fabs(a * x4 + b * y4 + c) > TOL_COARSE) return 0;
  const bool on_y = std::fabs(x2 - x1) <= std::fabs(y2 - y1);
  const double s1 = on_y ? y1 : x1, e1 = on_y ? y2 : x2;
  const double s2 = on_y ? y3 : x3, e2 = on_y ? y4 : x4;
  const double lo1 = geom_min(s1, e1), hi1 = geom_max(s1, e1);
  const double lo2 = geom_min(s2, e2), hi2 = geom_max(s2, e2);
  return (lo2 < hi1 && lo1 < hi2) ? 1 : 0;
}

double geom_polygon_area(int n, const Point2* pts) {
  if (n < 3 || !pts) return 0.0;
  double sum = 0.0;
  for (int i = 0; i < n; ++i) {
    const Point2& next = pts[(i + 1) % n];
    const Point2& prev = pts[(i + n - 1) % n];
    sum += pts[i].x * (next.y - prev.y);
  }
  return sum / 2.0;
}

double geom_contours_area(int n, const Point2* pts) {
  if (n <= 0 || !pts) return 0.0;
  double area = 0.0;
  int first = 0;
  for (int i = 0; i < n; ++i) {
    if (geom_is_end_marker(pts[i].x, pts[i].y)) {
      area += geom_polygon_area(i - first, pts + first);
      first = i + 1;
    }
  }
  return area;
}

void geom_reverse_polygon(int n, Point2* pts) { reverse_points(n, pts); }
void geom_reverse_polygon3(int n, Point3* pts) { reverse_points(n, pts); }

// ---- Projection ----

void view_project(double x, double y, double z) {
  GeoResult& r = geo_result;
  auto set_view = [](double u, double v, double depth) {
    geo_result.view_u = u;
    geo_result.view_v = v;
    geo_result.view_depth = depth;
  };
  switch (view_type) {
    case VIEW_PLAN:
      set_view(x, y, -z);
      break;
    case VIEW_FRONT:
      set_view(x, z, y);
      break;
    case VIEW_LEFT:
      set_view(-y, z, x);
      break;
    case VIEW_RIGHT:
      set_view(y, z, -x);
      break;
    case VIEW_BACK:
      set_view(-x, z, -y);
      break;
    case VIEW_ISO_FRONT_LEFT:
      set_view(0.866 * x - 0.866 * y, z + 0.5 * y + 0.5 * x, 0.5 * x + 0.5 * y - z);
      break;
    case VIEW_ISO_FRONT_RIGHT:
      set_view(0.866 * y + 0.866 * x, z + 0.5 * y - 0.5 * x, 0.5 * y - 0.5 * x - z);
      break;
    case VIEW_ISO_BACK_LEFT:
      set_view(-0.866 * y - 0.866 * x, z - 0.5 * y + 0.5 * x, 0.5 * x - 0.5 * y - z);
      break;
    case VIEW_ISO_BACK_RIGHT:
      set_view(-0.866 * x + 0.866 * y, z - 0.5 * y - 0.5 * x, -0.5 * x - 0.5 * y - z);
      break;
    case VIEW_PERSPECTIVE: {
      const ViewCamera& cam = view_camera;
      geom_rotate_point(0.0, 0.0, x - cam.eye_x, y - cam.eye_y, cam.azimuth);
      const double r1 = r.rot_x;
      const double r2 = r.rot_y;
      geom_rotate_point(0.0, 0.0, r2, z - cam.eye_z, -cam.elevation);
      const double f = r.rot_x;
      const double h = r.rot_y;
      // Level with the eye or behind it; the tiny margin keeps the division
      // finite for points on the camera plane.
      if (!(f > TOL_DEGENERATE)) {
        set_view(999.0, 999.0, 999.0);
      } else {
        set_view(r1 / f, h / f, -1.0 / f);
      }
      break;
    }
    default:
      break;
  }
}

void view_unproject(double u, double v) {
  auto set_world = [](double x, double y, double z) {
    geo_result.world_x = x;
    geo_result.world_y = y;
    geo_result.world_z = z;
  };
  switch (view_type) {
    case VIEW_PLAN:
      set_world(u, v, 0.0);
      break;
    case VIEW_FRONT:
    case VIEW_PERSPECTIVE:
      set_world(u, 0.0, v);
      break;
    case VIEW_LEFT:
      set_world(0.0, -u, v);
      break;
    case VIEW_RIGHT:
      set_world(0.0, u, v);
      break;
    case VIEW_BACK:
      set_world(-u, 0.0, v);
      break;
    case VIEW_ISO_FRONT_LEFT:
      set_world(0.577 * u, -0.577 * u, v);
      break;
    case VIEW_ISO_FRONT_RIGHT:
      set_world(0.577 * u, 0.577 * u, v);
      break;
    case VIEW_ISO_BACK_LEFT:
      set_world(-0.577 * u, -0.577 * u, v);
      break;
    case VIEW_ISO_BACK_RIGHT:
      set_world(-0.577 * u, 0.577 * u, v);
      break;
    default:
      break;
  }
}

// ---- Value-returning forms ----

std::optional<Point2> geom_line_intersection(double x1, double y1, double x2, double y2, double x3, double y3,
                                             double x4, double y4) {
  if (!geom_intersect_lines(x1, y1, x2, y2, x3, y3, x4, y4)) return std::nullopt;
  return Point2{geo_result.ix, geo_result.iy, 0};
}

Point2 geom_rotated(double cx, double cy, double px, double py, double angle) {
  geom_rotate_point(cx, cy, px, py, angle);
  return Point2{geo_result.rot_x, geo_result.rot_y, 0};
}

Point2 geom_foot(double px, double py, double ax, double ay, double bx, double by) {
  geom_foot_point(px, py, ax, ay, bx, by);
  return Point2{geo_result.foot_x, geo_result.foot_y, 0};
}

Point2 geom_mirrored(double px, double py, double ax, double ay, double bx, double by) {
  geom_mirror_point(px, py, ax, ay, bx, by);
  return Point2{geo_result.mirror_x, geo_result.mirror_y, 0};
}

GeomProjection geom_projection(double px, double py, double ax, double ay, double bx, double by) {
  geom_project_on_segment(px, py, ax, ay, bx, by);
  return GeomProjection{geo_result.proj_x, geo_result.proj_y, geo_result.proj_t};
}

namespace {
std::optional<GeomCuts> cuts_if_found() {
  if (!geo_result.found) return std::nullopt;
  return GeomCuts{{geo_result.cut1_x, geo_result.cut1_y, 0}, {geo_result.cut2_x, geo_result.cut2_y, 0}};
}
}  // namespace

std::optional<GeomCuts> geom_circle_cuts(double x1, double y1, double r1, double x2, double y2, double r2) {
  geom_circle_circle(x1, y1, r1, x2, y2, r2);
  return cuts_if_found();
}

std::optional<GeomCuts> geom_line_circle_cuts(double cx, double cy, double r, double x1, double y1, double x2,
                                              double y2) {
  geom_line_circle(cx, cy, r, x1, y1, x2, y2);
  return cuts_if_found();
}

std::optional<GeomCuts> geom_line_ellipse_cuts(double cx, double cy, double rx, double ry, double rotation,
                                               double x1, double y1, double x2, double y2) {
  geom_line_ellipse(cx, cy, rx, ry, rotation, x1, y1, x2, y2);
  return cuts_if_found();
}
