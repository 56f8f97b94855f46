#include "building/solid/solid_mesh.h"

#include <algorithm>
#include <cmath>

#include "model/geom.h"
#include "model/vec3.h"

namespace {

void add_face(SolidMesh& m, std::initializer_list<int32_t> idx) {
  m.face_sizes.push_back(static_cast<int32_t>(idx.size()));
  m.indices.insert(m.indices.end(), idx);
}

// The face first, first + step, ... of count vertices.
void add_run(SolidMesh& m, int32_t first, int32_t step, int32_t count) {
  m.face_sizes.push_back(count);
  for (int32_t k = 0; k < count; ++k) m.indices.push_back(first + k * step);
}

Point3 pt(double x, double y, double z) { return Point3{x, y, z, 0}; }

}  // namespace

double solid_volume(const std::vector<Point3>& v, const std::vector<int32_t>& face_sizes,
                    const std::vector<int32_t>& indices) {
  const auto nv = static_cast<int64_t>(v.size());
  // About the first vertex, so that a solid far from the origin keeps its
  // digits.
  const Point3 o = v.empty() ? Point3{} : v[0];
  auto at = [&](int32_t i) { return vec3_sub(v[static_cast<size_t>(i)], o); };
  double six = 0.0;
  size_t start = 0;
  for (int32_t n : face_sizes) {
    if (n < 0 || start + static_cast<size_t>(n) > indices.size()) break;
    const int32_t* f = indices.data() + start;
    start += static_cast<size_t>(n);
    if (n < 3 || std::any_of(f, f + n, [&](int32_t i) { return i < 0 || i >= nv; })) continue;
    const Point3 p0 = at(f[0]);
    for (int32_t k = 1; k + 1 < n; ++k) six += vec3_dot(p0, vec3_cross(at(f[k]), at(f[k + 1])));
  }
  // Clockwise from outside is the negative orientation.
  return -six / 6.0;
}

void solid_wind_outward(std::vector<Point3>& vertices, std::vector<int32_t>& face_sizes,
                        std::vector<int32_t>& indices) {
  if (solid_volume(vertices, face_sizes, indices) >= 0.0) return;
  size_t start = 0;
  for (int32_t n : face_sizes) {
    if (n < 0 || start + static_cast<size_t>(n) > indices.size()) return;
    std::reverse(indices.begin() + static_cast<std::ptrdiff_t>(start),
                 indices.begin() + static_cast<std::ptrdiff_t>(start + static_cast<size_t>(n)));
    start += static_cast<size_t>(n);
  }
}

int solid_clamp_divisions(int n) { return std::clamp(n, SOLID_MIN_DIVISIONS, SOLID_MAX_DIVISIONS); }

SolidMesh solid_cuboid(double x0, double y0, double x1, double y1, double zb, double zt) {
  SolidMesh m;
  for (double z : {zb, zt})
    for (Point3 p : {pt(x0, y0, z), pt(x1, y0, z), pt(x1, y1, z), pt(x0, y1, z)}) m.vertices.push_back(p);
  add_face(m, {0, 1, 2, 3});
  add_face(m, {4, 7, 6, 5});
  add_face(m, {0, 4, 5, 1});
  add_face(m, {1, 5, 6, 2});
  add_face(m, {2, 6, 7, 3});
  add_face(m, {3, 7, 4, 0});
  solid_wind_outward(m);
  return m;
}

void solid_orient_plan(std::vector<Point2>& pts) {
  const int n = static_cast<int>(pts.size());
  if (n < 3) return;
  if (geom_polygon_area(n, pts.data()) > 0.0) geom_reverse_polygon(n, pts.data());
  // Rotate until the turn at the first point is a right turn; a polygon
  // without one would rotate for ever, so at most one full round.
  for (int round = 0; round < n; ++round) {
    const Point2 &a = pts[n - 1], &b = pts[0], &c = pts[1];
    if (geom_cross(a.x, a.y, b.x, b.y, c.x, c.y) <= 0.0) return;
    std::rotate(pts.begin(), pts.begin() + 1, pts.end());
  }
}

SolidMesh solid_flat_polygon(const std::vector<Point3>& pts) {
  SolidMesh m;
  m.vertices = pts;
  for (Point3& p : m.vertices) p.mark = 0;
  const int32_t v = static_cast<int32_t>(pts.size());
  add_run(m, 0, 1, v);
  add_run(m, v - 1, -1, v);
  return m;
}

SolidMesh solid_prism(const std::vector<Point3>& bottom, const std::vector<Point3>& top) {
  SolidMesh m;
  const int32_t v = static_cast<int32_t>(bottom.size());
  m.vertices = bottom;
  m.vertices.insert(m.vertices.end(), top.begin(), top.end());
  for (Point3& p : m.vertices) p.mark = 0;
  for (int32_t k = 0; k + 1 < v; ++k) add_face(m, {k, k + 1, v + k + 1, v + k});
  add_face(m, {v - 1, 0, v, 2 * v - 1});
  add_run(m, v - 1, -1, v);
  add_run(m, v, 1, v);
  solid_wind_outward(m);
  return m;
}

SolidMesh solid_frustum(Point3 p1, Point3 p2, double r1, double r2, int n) {
  // Radii of opposite signs would twist the sides through the axis.
  r1 = std::fabs(r1);
  r2 = std::fabs(r2);
  Point3 a = vec3_sub(p1, p2);
  const Point3 h = geom_eq(p1.y, p2.y) && geom_eq(p1.z, p2.z) ? pt(0, 1, 0) : pt(1, 0, 0);
  Point3 u = vec3_cross(a, h);
  Point3 v = vec3_cross(a, u);
  vec3_normalize(&u);
  vec3_normalize(&v);
  const double s = GEOM_TWO_PI / n;

  SolidMesh m;
  auto circle = [&](Point3 c, double r) {
    for (int k = 0; k < n; ++k) {
      const double cs = r * std::cos(k * s), sn = r * std::sin(k * s);
      m.vertices.push_back(
          pt(c.x + cs * u.x + sn * v.x, c.y + cs * u.y + sn * v.y, c.z + cs * u.z + sn * v.z));
    }
  };
  circle(p1, r1);
  if (r2 == 0.0) {
    m.vertices.push_back(pt(p2.x, p2.y, p2.z));
    for (int32_t k = 0; k + 1 < n; ++k) add_face(m, {k, k + 1, n});
    add_face(m, {n - 1, 0, n});
    // The base runs like every other face (clockwise from outside), so its
    // edges pair with the sides' and the cone is a closed surface.
    add_run(m, n - 1, -1, n);
    return m;
  }
  circle(p2, r2);
  for (int32_t k = 0; k + 1 < n; ++k) add_face(m, {k, k + 1, n + k + 1, n + k});
  add_face(m, {n - 1, 0, n, 2 * n - 1});
  add_run(m, n - 1, -1, n);
  add_run(m, n, 1, n);
  return m;
}

SolidMesh solid_sphere(Point3 c, double r) {
  // A negative radius would mirror every point through the centre and turn
  // the sphere inside out.
  r = std::fabs(r);
  constexpr int SEG = 24, RINGS = 11;
  SolidMesh m;
  m.vertices.push_back(pt(c.x, c.y, c.z - r));
  for (int i = 1; i <= RINGS; ++i) {
    const double phi = i * GEOM_PI / 12.0;
    for (int j = 0; j < SEG; ++j) {
      const double theta = j * GEOM_PI / 12.0;
      m.vertices.push_back(pt(c.x + r * std::cos(theta) * std::sin(phi),
                              c.y + r * std::sin(theta) * std::sin(phi), c.z - r * std::cos(phi)));
    }
  }
  m.vertices.push_back(pt(c.x, c.y, c.z + r));
  for (int32_t j = 1; j <= 23; ++j) add_face(m, {j, j + 1, 0});
  add_face(m, {24, 1, 0});
  for (int32_t s = 25; s <= 241; s += 24) {
    for (int32_t k = 0; k <= 22; ++k) add_face(m, {s + k - 24, s + k, s + k + 1, s + k - 23});
    add_face(m, {s - 1, s + 23, s, s - 24});
  }
  for (int32_t j = 0; j <= 22; ++j) add_face(m, {242 + j, 241 + j, 265});
  add_face(m, {241, 264, 265});
  return m;
}

double solid_prism_height_to(const std::vector<Point3>& p, Point3 point) {
  Plane3 plane;
  vec3_plane_from_points(&plane, p[0], p[1], p[2]);
  const Point3 n = pt(plane.nx, plane.ny, plane.nz);
  vec3_ray_plane_intersect(point, p[0], p[1], p[2]);
  const double d = vec3_distance(point, geo_result.isect3);
  // Move the plane by -d n: P lies on the -n side when it lies on the moved
  // plane.
  auto moved = [&](Point3 q) { return pt(q.x - d * n.x, q.y - d * n.y, q.z - d * n.z); };
  vec3_ray_plane_intersect(point, moved(p[0]), moved(p[1]), moved(p[2]));
  return vec3_distance(point, geo_result.isect3) <= 0.00001 ? d : -d;
}

std::vector<Point3> solid_prism_top(std::vector<Point3>& p, double h) {
  if (h < 0.0) {
    h = -h;
    geom_reverse_polygon3(static_cast<int>(p.size()), p.data());
  }
  Plane3 plane;
  vec3_plane_from_points(&plane, p[0], p[1], p[2]);
  std::vector<Point3> top;
  for (const Point3& q : p) top.push_back(pt(q.x - h * plane.nx, q.y - h * plane.ny, q.z - h * plane.nz));
  return top;
}
