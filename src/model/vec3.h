#pragma once

// 3D vectors on Point3 (x, y, z; the point mark is left alone), planes
// through three points, line and plane intersection, mirroring about a plane,
// rotation about an axis and a few 4x4 matrix operations. Point results of
// the intersection, mirror and rotation routines go to geo_result.isect3,
// .mirror3 and .rot3 (model/geom.h).

#include <cstdint>

#include "model/elem.h"

// Unit normal n and offset d: the plane n . X = d.
struct Plane3 {
  double nx = 0.0, ny = 0.0, nz = 0.0;
  double d = 0.0;
};

// Row-major; points are column vectors, so a translation sits in the last column.
struct Mat4 {
  double m[4][4] = {};
};

int geom_is_zero_eps(double x);       // |x| < 1e-10
int geom_eq_eps(double a, double b);  // |a - b| < 1e-10

// Write x, y, z and keep the mark; the two names are one operation.
Point3* vec3_set(Point3* p, double x, double y, double z);
Point3* vec3_make(Point3* p, double x, double y, double z);
void vec3_scale(Point3* p, double s);
// Each comes in two forms, returning the result or writing it to out.
Point3 vec3_add(Point3 a, Point3 b);
Point3 vec3_sub(Point3 a, Point3 b);
Point3 vec3_cross(Point3 a, Point3 b);
void vec3_add(Point3* out, Point3 a, Point3 b);
void vec3_sub(Point3* out, Point3 a, Point3 b);
void vec3_cross(Point3* out, Point3 a, Point3 b);
double vec3_dot(Point3 a, Point3 b);
int vec3_coord_is_zero(double x);  // |x| < 1e-4
int vec3_parallel(Point3 a, Point3 b);
int vec3_perpendicular(Point3 a, Point3 b);
double vec3_length(double x, double y, double z);
double vec3_distance(Point3 a, Point3 b);
// Divides by the length; a vector shorter than 1e-10 is left unchanged.
void vec3_normalize(Point3* p);
int vec3_coord_eq_loose(double a, double b);  // |a - b| < 0.01
int vec3_equal(Point3 a, Point3 b);

// n = normalised (p2 - p1) x (p3 - p2), d = n . p1: counter-clockwise points
// seen from above give +z. Collinear points leave the near-zero cross product.
void vec3_plane_from_points(Plane3* plane, Point3 p1, Point3 p2, Point3 p3);
// Offsets within 0.1 and normal components within 0.01; opposite
// orientations of one plane do not match.
int vec3_same_plane(Point3 p1, Point3 p2, Point3 p3, Point3 q1, Point3 q2, Point3 q3);
// Distance from P to its foot A + t(B - A) on the line AB; out gets the foot
// with mark 1 when 0 <= t <= 1, else 0. A and B coinciding give the foot A.
double vec3_project_on_segment(Point3 p, Point3 a, Point3 b, Point3* out);
// The line PQ against the plane through A, B, C: 1 and isect3, or 0 (isect3
// unchanged) when the line runs parallel to the plane or the plane is degenerate.
int vec3_line_plane_intersect(Point3 p, Point3 q, Point3 a, Point3 b, Point3 c);
// Foot of the perpendicular from P on the plane through A, B, C -> isect3.
int vec3_ray_plane_intersect(Point3 p, Point3 a, Point3 b, Point3 c);
// P mirrored about the plane through A, B, C -> mirror3 (overwrites isect3).
// A degenerate plane leaves P as it is.
void vec3_mirror_point_plane(Point3 p, Point3 a, Point3 b, Point3 c);
// P turned by the angle about the axis A -> B (right-hand rule) -> rot3.
void vec3_rotate_about_axis(Point3 p, double angle, Point3 a, Point3 b);
// Q's angle minus P's angle about the axis A -> B, in (-2 pi, 2 pi).
double vec3_angle_about_axis(Point3 a, Point3 b, Point3 p, Point3 q);
// Counter-clockwise angle from C->P1 to C->P2 in [0, 2 pi), less pi above pi.
double geom_angle_diff(Point2 p1, Point2 c, Point2 p2);

// The identity with -x, -y, -z in the last column.
void mat4_translation(double x, double y, double z, Mat4* out);
// Turns by -angle about the coordinate axis k (0 x, 1 y, 2 z).
void mat4_axis_rotation(int16_t k, double angle, Mat4* out);
void mat4_mul(const Mat4* a, const Mat4* b, Mat4* out);
// The matrix form of vec3_rotate_about_axis -> rot3.
void mat4_rotate_point_about_axis(Point3 p, double angle, Point3 a, Point3 b);
