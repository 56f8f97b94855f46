#include "model/vec3.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "model/geom.h"

namespace {

constexpr double PI = GEOM_PI;
constexpr double NEAR = 1e-9;

Point3 p3(double x, double y, double z) { return Point3{x, y, z, 0}; }

void expect_point(const Point3& got, double x, double y, double z, const char* what = "") {
  EXPECT_NEAR(got.x, x, NEAR) << what;
  EXPECT_NEAR(got.y, y, NEAR) << what;
  EXPECT_NEAR(got.z, z, NEAR) << what;
}

TEST(Vec3, ArithmeticInBothCallForms) {
  const Point3 a = p3(1, 2, 3);
  const Point3 b = p3(-4, 0.5, 2);
  struct Form {
    Point3 (*by_value)(Point3, Point3);
    void (*to_out)(Point3*, Point3, Point3);
    Point3 expected;
  } forms[] = {
      {vec3_add, vec3_add, p3(-3, 2.5, 5)},
      {vec3_sub, vec3_sub, p3(5, 1.5, 1)},
      {vec3_cross, vec3_cross, p3(2.5, -14, 8.5)},
  };
  for (const Form& f : forms) {
    const Point3 v = f.by_value(a, b);
    Point3 out{0, 0, 0, 1};
    f.to_out(&out, a, b);
    expect_point(v, f.expected.x, f.expected.y, f.expected.z);
    expect_point(out, f.expected.x, f.expected.y, f.expected.z);
    EXPECT_EQ(out.mark, 1);  // the out form writes coordinates only
  }
  EXPECT_DOUBLE_EQ(vec3_dot(a, b), -4 + 1 + 6);
  Point3 s{1, 2, 3, 1};
  vec3_scale(&s, -2);
  expect_point(s, -2, -4, -6);
  Point3 m{0, 0, 0, 1};
  EXPECT_EQ(vec3_make(&m, 4, 5, 6), &m);
  expect_point(m, 4, 5, 6);
  EXPECT_EQ(m.mark, 1);
  EXPECT_DOUBLE_EQ(vec3_length(2, 3, 6), 7.0);
  EXPECT_DOUBLE_EQ(vec3_distance(p3(1, 1, 1), p3(3, 4, 7)), 7.0);
}

TEST(Vec3, PredicatesAndNormalize) {
  Point3 tiny = p3(0, 0, 1e-11);
  vec3_normalize(&tiny);
  EXPECT_EQ(tiny.z, 1e-11);
  Point3 v = p3(0, 3, 4);
  vec3_normalize(&v);
  expect_point(v, 0, 0.6, 0.8);
  EXPECT_EQ(vec3_parallel(p3(1, 0, 0), p3(-2, 0, 0)), 1);
  EXPECT_EQ(vec3_parallel(p3(1, 0, 0), p3(1, 0.001, 0)), 0);
  EXPECT_EQ(vec3_perpendicular(p3(1, 0, 0), p3(0, 5, 5)), 1);
  EXPECT_EQ(vec3_equal(p3(1, 2, 3), p3(1, 2, 3 + 0.5e-10)), 1);
  EXPECT_EQ(vec3_equal(p3(1, 2, 3), p3(1, 2, 3 + 2e-10)), 0);
  EXPECT_EQ(vec3_coord_eq_loose(1.0, 1.009), 1);
  EXPECT_EQ(vec3_coord_eq_loose(1.0, 1.011), 0);
  EXPECT_EQ(vec3_coord_is_zero(0.99e-4), 1);
  EXPECT_EQ(geom_is_zero_eps(0.99e-10), 1);
  EXPECT_EQ(geom_eq_eps(1.0, 1.0 + 1e-9), 0);
}

TEST(Vec3, PlanesKeepTheirOrientation) {
  Plane3 pl;
  vec3_plane_from_points(&pl, p3(0, 0, 0), p3(1, 0, 0), p3(1, 1, 0));
  EXPECT_NEAR(pl.nz, 1, NEAR);
  EXPECT_NEAR(pl.d, 0, NEAR);
  vec3_plane_from_points(&pl, p3(1, 1, 0), p3(1, 0, 0), p3(0, 0, 0));
  EXPECT_NEAR(pl.nz, -1, NEAR);
  vec3_plane_from_points(&pl, p3(0, 0, 2), p3(3, 0, 2), p3(3, 3, 2));
  EXPECT_NEAR(pl.d, 2, NEAR);

  const Point3 a = p3(0, 0, 0), b = p3(1, 0, 0), c = p3(1, 1, 0);
  EXPECT_EQ(vec3_same_plane(a, b, c, p3(5, 5, 0), p3(6, 5, 0), p3(6, 7, 0)), 1);
  EXPECT_EQ(vec3_same_plane(a, b, c, c, b, a), 0);  // opposite turning order
  EXPECT_EQ(vec3_same_plane(a, b, c, p3(0, 0, 0.2), p3(1, 0, 0.2), p3(1, 1, 0.2)), 0);
  EXPECT_EQ(vec3_same_plane(a, b, c, p3(0, 0, 0.05), p3(1, 0, 0.05), p3(1, 1, 0.05)), 1);
}

TEST(Vec3, LineAndPlane) {
  const Point3 a = p3(0, 0, 0), b = p3(1, 0, 0), c = p3(1, 1, 0);
  geo_result.isect3 = p3(42, 42, 42);
  EXPECT_EQ(vec3_line_plane_intersect(p3(0, 0, 1), p3(5, 3, 1), a, b, c), 0);  // parallel
  expect_point(geo_result.isect3, 42, 42, 42);
  EXPECT_EQ(vec3_line_plane_intersect(p3(1, 1, 1), p3(3, 2, -1), a, b, c), 1);
  expect_point(geo_result.isect3, 2, 1.5, 0);
  EXPECT_EQ(vec3_line_plane_intersect(p3(1, 1, 1), p3(3, 2, -1), a, b, p3(2, 0, 0)), 0);  // no plane

  EXPECT_EQ(vec3_ray_plane_intersect(p3(2, 3, 5), a, b, c), 1);
  expect_point(geo_result.isect3, 2, 3, 0);
  EXPECT_EQ(vec3_ray_plane_intersect(p3(2, 3, 5), a, b, p3(3, 0, 0)), 0);

  vec3_mirror_point_plane(p3(1, 2, 3), a, b, c);
  expect_point(geo_result.mirror3, 1, 2, -3);
  vec3_mirror_point_plane(p3(3, 2, 1), p3(1, 0, 0), p3(1, 1, 0), p3(1, 1, 1));  // plane x = 1
  expect_point(geo_result.mirror3, -1, 2, 1);
  vec3_mirror_point_plane(p3(3, 2, 1), a, b, p3(2, 0, 0));  // no plane: P stays
  expect_point(geo_result.mirror3, 3, 2, 1);
}

TEST(Vec3, ProjectOnSegment) {
  struct Case {
    Point3 p, a, b;
    double fx, fy, fz, dist;
    int mark;
  } cases[] = {
      {p3(1, 1, 0), p3(0, 0, 0), p3(2, 0, 0), 1, 0, 0, 1, 1},
      {p3(5, 1, 0), p3(0, 0, 0), p3(2, 0, 0), 5, 0, 0, 1, 0},  // beyond B
      {p3(-1, 0, 2), p3(0, 0, 0), p3(2, 0, 0), -1, 0, 0, 2, 0},
      {p3(3, 4, 0), p3(0, 0, 0), p3(0, 0, 0), 0, 0, 0, 5, 1},  // A = B: the foot is A
  };
  for (const Case& c : cases) {
    Point3 out;
    const double d = vec3_project_on_segment(c.p, c.a, c.b, &out);
    expect_point(out, c.fx, c.fy, c.fz);
    EXPECT_NEAR(d, c.dist, NEAR);
    EXPECT_EQ(out.mark, c.mark);
  }
}

TEST(Vec3, RotationAboutAnAxis) {
  struct Case {
    const char* what;
    Point3 p;
    double angle;
    Point3 a, b, expected;
  } cases[] = {
      {"about z", p3(1, 0, 0), PI / 2, p3(0, 0, 0), p3(0, 0, 1), p3(0, 1, 0)},
      {"about x, no y-z part", p3(0, 1, 0), PI / 2, p3(0, 0, 0), p3(1, 0, 0), p3(0, 0, 1)},
      {"about -x", p3(0, 1, 0), PI / 2, p3(0, 0, 0), p3(-1, 0, 0), p3(0, 0, -1)},
      {"about y", p3(0, 0, 1), PI / 2, p3(0, 0, 0), p3(0, 1, 0), p3(1, 0, 0)},
      {"offset vertical axis", p3(2, 1, 5), PI, p3(1, 1, 1), p3(1, 1, 2), p3(0, 1, 5)},
      {"point on the axis", p3(2, 2, 2), 1.0, p3(0, 0, 0), p3(1, 1, 1), p3(2, 2, 2)},
      {"no axis", p3(2, 3, 4), 1.0, p3(1, 1, 1), p3(1, 1, 1), p3(2, 3, 4)},
  };
  for (const Case& c : cases) {
    vec3_rotate_about_axis(c.p, c.angle, c.a, c.b);
    expect_point(geo_result.rot3, c.expected.x, c.expected.y, c.expected.z, c.what);
  }
}

// On random axes the rotation keeps the distance to the axis, agrees with the
// matrix form, and the angle about the axis turns P into Q's half-plane.
TEST(Vec3, RotationAgreesWithMatrixAndAngle) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> coord(-5, 5);
  auto rnd = [&] { return p3(coord(rng), coord(rng), coord(rng)); };
  for (int i = 0; i < 200; ++i) {
    const Point3 a = rnd(), b = rnd(), p = rnd(), q = rnd();
    const double angle = coord(rng);
    vec3_rotate_about_axis(p, angle, a, b);
    const Point3 r = geo_result.rot3;
    mat4_rotate_point_about_axis(p, angle, a, b);
    expect_point(geo_result.rot3, r.x, r.y, r.z, "matrix form");
    Point3 foot_p, foot_r;
    EXPECT_NEAR(vec3_project_on_segment(p, a, b, &foot_p), vec3_project_on_segment(r, a, b, &foot_r), 1e-9);
    expect_point(foot_r, foot_p.x, foot_p.y, foot_p.z, "turns about the axis");

    const double to_q = vec3_angle_about_axis(a, b, p, q);
    EXPECT_GT(to_q, -2 * PI);
    EXPECT_LT(to_q, 2 * PI);
    vec3_rotate_about_axis(p, to_q, a, b);
    double rest = vec3_angle_about_axis(a, b, geo_result.rot3, q);
    geom_norm_angle(&rest);
    EXPECT_TRUE(rest < 1e-6 || rest > 2 * PI - 1e-6) << rest;
  }
}

TEST(Vec3, AngleAboutAxisSign) {
  const Point3 o = p3(0, 0, 0), z = p3(0, 0, 1);
  EXPECT_NEAR(vec3_angle_about_axis(o, z, p3(1, 0, 0), p3(0, 1, 0)), PI / 2, NEAR);
  EXPECT_NEAR(vec3_angle_about_axis(o, z, p3(0, 1, 0), p3(1, 0, 0)), -PI / 2, NEAR);
  EXPECT_NEAR(vec3_angle_about_axis(o, z, p3(1, 0, 5), p3(-1, 0, -3)), PI, NEAR);  // height ignored
}

TEST(Vec3, AngleDiffAndMatrices) {
  const Point2 c{0, 0, 0};
  EXPECT_NEAR(geom_angle_diff(Point2{1, 0, 0}, c, Point2{0, 1, 0}), PI / 2, NEAR);
  EXPECT_NEAR(geom_angle_diff(Point2{0, 1, 0}, c, Point2{1, 0, 0}), PI / 2, NEAR);  // 3 pi/2 less pi
  EXPECT_NEAR(geom_angle_diff(Point2{1, 0, 0}, c, Point2{1, 0, 0}), 0, NEAR);

  Mat4 t, r, out;
  mat4_translation(1, 2, 3, &t);
  EXPECT_EQ(t.m[0][3], -1);
  EXPECT_EQ(t.m[2][3], -3);
  EXPECT_EQ(t.m[3][3], 1);
  mat4_axis_rotation(2, PI / 2, &r);
  EXPECT_EQ(r.m[2][2], 1);
  EXPECT_NEAR(r.m[0][1], 1, NEAR);
  EXPECT_NEAR(r.m[1][0], -1, NEAR);
  mat4_mul(&r, &t, &out);  // translate first, then turn
  EXPECT_NEAR(out.m[0][3], -2, NEAR);
  EXPECT_NEAR(out.m[1][3], 1, NEAR);
  EXPECT_NEAR(out.m[2][3], -3, NEAR);
}

}  // namespace
