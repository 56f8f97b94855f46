#include "model/vec3.h"

#include <cmath>

#include "model/geom.h"

namespace {

constexpr double AXIS_ALONG_X = 1e-6;  // below this y-z length the axis runs along x
constexpr double PARALLEL_TO_PLANE = 1e-7;

Point3 make(double x, double y, double z) { return Point3{x, y, z, 0}; }

// The frame of an axis: d its unit direction, L the length of d's y-z part.
struct AxisFrame {
  Point3 d;
  double l = 0.0;
};

AxisFrame axis_frame(Point3 a, Point3 b) {
  AxisFrame f;
  f.d = vec3_sub(b, a);
  vec3_normalize(&f.d);
  f.l = std::sqrt(f.d.y * f.d.y + f.d.z * f.d.z);
  return f;
}

// Steps 1 to 3 of the axis rotation: p (relative to the axis start) turned so
// that the axis becomes +z. Gives x'', y' and z''.
void to_axis_frame(const AxisFrame& f, Point3 p, double* x2, double* y1, double* z2) {
  const Point3& d = f.d;
  double y = p.y;
  double z = p.z;
  if (f.l > AXIS_ALONG_X) {
    y = (p.y * d.z - d.y * p.z) / f.l;
    z = (p.z * d.z + p.y * d.y) / f.l;
  }
  *x2 = p.x * f.l - d.x * z;
  *y1 = y;
  *z2 = p.x * d.x + z * f.l;
}

}  // namespace

int geom_is_zero_eps(double x) { return std::fabs(x) < TOL_DEGENERATE ? 1 : 0; }
int geom_eq_eps(double a, double b) { return std::fabs(a - b) < TOL_DEGENERATE ? 1 : 0; }

Point3* vec3_set(Point3* p, double x, double y, double z) {
  p->x = x;
  p->y = y;
  p->z = z;
  return p;
}

Point3* vec3_make(Point3* p, double x, double y, double z) { return vec3_set(p, x, y, z); }

void vec3_scale(Point3* p, double s) {
  p->x *= s;
  p->y *= s;
  p->z *= s;
}

Point3 vec3_add(Point3 a, Point3 b) { return make(a.x + b.x, a.y + b.y, a.z + b.z); }
Point3 vec3_sub(Point3 a, Point3 b) { return make(a.x - b.x, a.y - b.y, a.z - b.z); }
Point3 vec3_cross(Point3 a, Point3 b) {
  return make(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

// The out forms write x, y, z only, like vec3_set.
void vec3_add(Point3* out, Point3 a, Point3 b) {
  const Point3 r = vec3_add(a, b);
  vec3_set(out, r.x, r.y, r.z);
}
void vec3_sub(Point3* out, Point3 a, Point3 b) {
  const Point3 r = vec3_sub(a, b);
  vec3_set(out, r.x, r.y, r.z);
}
void vec3_cross(Point3* out, Point3 a, Point3 b) {
  const Point3 r = vec3_cross(a, b);
  vec3_set(out, r.x, r.y, r.z);
}

double vec3_dot(Point3 a, Point3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

int vec3_coord_is_zero(double x) { return std::fabs(x) < TOL_POINT ? 1 : 0; }

int vec3_parallel(Point3 a, Point3 b) {
  const Point3 c = vec3_cross(a, b);
  return (vec3_coord_is_zero(c.x) && vec3_coord_is_zero(c.y) && vec3_coord_is_zero(c.z)) ? 1 : 0;
}

int vec3_perpendicular(Point3 a, Point3 b) { return geom_is_zero_eps(vec3_dot(a, b)); }

double vec3_length(double x, double y, double z) { return std::sqrt(x * x + y * y + z * z); }

double vec3_distance(Point3 a, Point3 b) {
  const Point3 d = vec3_sub(a, b);
  return vec3_length(d.x, d.y, d.z);
}

void vec3_normalize(Point3* p) {
  const double len = vec3_length(p->x, p->y, p->z);
  if (!(len >= TOL_DEGENERATE)) return;
  p->x /= len;
  p->y /= len;
  p->z /= len;
}

int vec3_coord_eq_loose(double a, double b) { return std::fabs(a - b) < 0.01 ? 1 : 0; }

int vec3_equal(Point3 a, Point3 b) {
  return (geom_eq_eps(a.x, b.x) && geom_eq_eps(a.y, b.y) && geom_eq_eps(a.z, b.z)) ? 1 : 0;
}

void vec3_plane_from_points(Plane3* plane, Point3 p1, Point3 p2, Point3 p3) {
  Point3 n = vec3_cross(vec3_sub(p2, p1), vec3_sub(p3, p2));
  vec3_normalize(&n);
  plane->nx = n.x;
  plane->ny = n.y;
  plane->nz = n.z;
  plane->d = vec3_dot(n, p1);
}

int vec3_same_plane(Point3 p1, Point3 p2, Point3 p3, Point3 q1, Point3 q2, Point3 q3) {
  Plane3 a, b;
  vec3_plane_from_points(&a, p1, p2, p3);
  vec3_plane_from_points(&b, q1, q2, q3);
  if (!(std::fabs(a.d - b.d) <= 0.1)) return 0;
  return (vec3_coord_eq_loose(a.nx, b.nx) && vec3_coord_eq_loose(a.ny, b.ny) &&
          vec3_coord_eq_loose(a.nz, b.nz))
             ? 1
             : 0;
}

double vec3_project_on_segment(Point3 p, Point3 a, Point3 b, Point3* out) {
  const Point3 ab = vec3_sub(b, a);
  const double len2 = vec3_dot(ab, ab);
  double t = 0.0;
  if (len2 >= TOL_DEGENERATE * TOL_DEGENERATE) t = vec3_dot(vec3_sub(p, a), ab) / len2;
  vec3_set(out, a.x + t * ab.x, a.y + t * ab.y, a.z + t * ab.z);
  out->mark = (t >= 0.0 && t <= 1.0) ? 1 : 0;
  return vec3_distance(p, *out);
}

int vec3_line_plane_intersect(Point3 p, Point3 q, Point3 a, Point3 b, Point3 c) {
  Plane3 pl;
  vec3_plane_from_points(&pl, a, b, c);
  const Point3 n = make(pl.nx, pl.ny, pl.nz);
  const Point3 dir = vec3_sub(q, p);
  const double den = vec3_dot(n, dir);
  if (!(std::fabs(den) >= PARALLEL_TO_PLANE)) return 0;
  const double t = (pl.d - vec3_dot(n, p)) / den;
  vec3_set(&geo_result.isect3, p.x + t * dir.x, p.y + t * dir.y, p.z + t * dir.z);
  return 1;
}

int vec3_ray_plane_intersect(Point3 p, Point3 a, Point3 b, Point3 c) {
  Plane3 pl;
  vec3_plane_from_points(&pl, a, b, c);
  const Point3 n = make(pl.nx, pl.ny, pl.nz);
  const double nn = vec3_dot(n, n);
  if (!(std::fabs(nn) >= PARALLEL_TO_PLANE)) return 0;
  const double s = (pl.d - vec3_dot(n, p)) / nn;
  vec3_set(&geo_result.isect3, p.x + s * n.x, p.y + s * n.y, p.z + s * n.z);
  return 1;
}

void vec3_mirror_point_plane(Point3 p, Point3 a, Point3 b, Point3 c) {
  Plane3 pl;
  vec3_plane_from_points(&pl, a, b, c);
  const Point3 beyond = make(p.x + pl.nx, p.y + pl.ny, p.z + pl.nz);
  if (!vec3_line_plane_intersect(p, beyond, a, b, c)) {
    vec3_set(&geo_result.mirror3, p.x, p.y, p.z);
    return;
  }
  const Point3& f = geo_result.isect3;
  vec3_set(&geo_result.mirror3, p.x + 2.0 * (f.x - p.x), p.y + 2.0 * (f.y - p.y), p.z + 2.0 * (f.z - p.z));
}

void vec3_rotate_about_axis(Point3 p, double angle, Point3 a, Point3 b) {
  // Without a direction there is nothing to turn about.
  if (vec3_distance(a, b) < TOL_DEGENERATE) {
    vec3_set(&geo_result.rot3, p.x, p.y, p.z);
    return;
  }
  const AxisFrame f = axis_frame(a, b);
  const Point3& d = f.d;
  double x2, y1, z2;
  to_axis_frame(f, vec3_sub(p, a), &x2, &y1, &z2);
  const double c = std::cos(angle);
  const double s = std::sin(angle);
  const double x3 = x2 * c - y1 * s;
  const double y3 = x2 * s + y1 * c;
  const double x4 = f.l * x3 + d.x * z2;
  const double z4 = z2 * f.l - x3 * d.x;
  double y5 = y3;
  double z5 = z4;
  if (f.l > AXIS_ALONG_X) {
    y5 = (d.z * y3 + d.y * z4) / f.l;
    z5 = (d.z * z4 - d.y * y3) / f.l;
  }
  vec3_set(&geo_result.rot3, x4 + a.x, y5 + a.y, z5 + a.z);
}

double vec3_angle_about_axis(Point3 a, Point3 b, Point3 p, Point3 q) {
  const AxisFrame f = axis_frame(a, b);
  double px, py, pz, qx, qy, qz;
  to_axis_frame(f, vec3_sub(p, a), &px, &py, &pz);
  to_axis_frame(f, vec3_sub(q, a), &qx, &qy, &qz);
  return geom_angle(0.0, 0.0, qx, qy) - geom_angle(0.0, 0.0, px, py);
}

double geom_angle_diff(Point2 p1, Point2 c, Point2 p2) {
  double a = geom_angle(c.x, c.y, p2.x, p2.y) - geom_angle(c.x, c.y, p1.x, p1.y);
  if (a < 0.0) a += GEOM_TWO_PI;
  if (a >= GEOM_TWO_PI) a -= GEOM_TWO_PI;
  if (a > GEOM_PI) a -= GEOM_PI;
  return a;
}

void mat4_translation(double x, double y, double z, Mat4* out) {
  *out = Mat4{};
  for (int i = 0; i < 4; ++i) out->m[i][i] = 1.0;
  out->m[0][3] = -x;
  out->m[1][3] = -y;
  out->m[2][3] = -z;
}

void mat4_axis_rotation(int16_t k, double angle, Mat4* out) {
  *out = Mat4{};
  out->m[3][3] = 1.0;
  if (k < 0 || k > 2) k = 2;
  const int i = (k + 1) % 3;
  const int j = (i + 1) % 3;
  const double c = std::cos(angle);
  const double s = std::sin(angle);
  out->m[k][k] = 1.0;
  out->m[i][i] = c;
  out->m[j][j] = c;
  out->m[i][j] = s;
  out->m[j][i] = -s;
}

void mat4_mul(const Mat4* a, const Mat4* b, Mat4* out) {
  Mat4 r;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      double sum = 0.0;
      for (int k = 0; k < 4; ++k) sum += a->m[i][k] * b->m[k][j];
      r.m[i][j] = sum;
    }
  }
  *out = r;
}

void mat4_rotate_point_about_axis(Point3 p, double angle, Point3 a, Point3 b) {
  if (vec3_distance(a, b) < TOL_DEGENERATE) {
    vec3_set(&geo_result.rot3, p.x, p.y, p.z);
    return;
  }
  Point3 d = vec3_sub(b, a);
  vec3_normalize(&d);
  // Turning by -azimuth about z brings the axis into the x-z plane, turning by
  // -polar about y then lays it onto +z; mat4_axis_rotation turns by -angle.
  const double azimuth = std::atan2(d.y, d.x);
  const double polar = std::acos(d.z < -1.0 ? -1.0 : (d.z > 1.0 ? 1.0 : d.z));
  Mat4 steps[7];
  mat4_translation(-a.x, -a.y, -a.z, &steps[0]);
  mat4_axis_rotation(2, -azimuth, &steps[1]);
  mat4_axis_rotation(1, -polar, &steps[2]);
  mat4_axis_rotation(2, -angle, &steps[3]);
  mat4_axis_rotation(1, polar, &steps[4]);
  mat4_axis_rotation(2, azimuth, &steps[5]);
  mat4_translation(a.x, a.y, a.z, &steps[6]);
  Mat4 m = steps[0];
  for (int i = 1; i < 7; ++i) mat4_mul(&m, &steps[i], &m);
  const double v[4] = {p.x, p.y, p.z, 1.0};
  double r[3];
  for (int i = 0; i < 3; ++i) {
    r[i] = 0.0;
    for (int k = 0; k < 4; ++k) r[i] += m.m[i][k] * v[k];
  }
  vec3_set(&geo_result.rot3, r[0], r[1], r[2]);
}
