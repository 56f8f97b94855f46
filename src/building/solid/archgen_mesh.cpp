#include "building/solid/archgen_mesh.h"

#include <cmath>
#include <cstdint>

#include "model/geom.h"

namespace {

Point2 at(Point2 p, double dx, double dy) { return {p.x + dx, p.y + dy, 0}; }

// The thickness of a pane, centred in the profile's depth.
constexpr double PANE_THICKNESS = 0.01;

}  // namespace

SolidMesh archgen_box(const ArchgenQuad& q, double zb, double zt) {
  std::vector<Point3> bottom, top;
  for (const Point2& p : q) {
    bottom.push_back({p.x, p.y, zb, 0});
    top.push_back({p.x, p.y, zt, 0});
  }
  // A quadrilateral prism has the box's vertex order; only the faces are
  // put into the box's order.
  SolidMesh m;
  m.vertices = bottom;
  m.vertices.insert(m.vertices.end(), top.begin(), top.end());
  m.face_sizes.assign(6, 4);
  m.indices = {0, 1, 2, 3, 4, 7, 6, 5, 0, 4, 5, 1, 1, 5, 6, 2, 2, 6, 7, 3, 3, 7, 4, 0};
  solid_wind_outward(m);
  return m;
}

ArchgenQuad archgen_beam_corners(Point2 p1, Point2 p2, double w) {
  const double a = geom_angle(p1.x, p1.y, p2.x, p2.y);
  const double rx = w * std::sin(a), ry = -w * std::cos(a);
  return {at(p1, rx, ry), at(p2, rx, ry), at(p2, -rx, -ry), at(p1, -rx, -ry)};
}

ArchgenStairOutline archgen_stair_outline(Point2 s, Point2 e, double w) {
  const double a = geom_angle(s.x, s.y, e.x, e.y);
  const double c = std::cos(a), sn = std::sin(a);
  const Point2 back = at(e, -0.1 * c, -0.1 * sn);
  return {archgen_beam_corners(s, e, w), at(back, -0.1 * sn, 0.1 * c), at(back, 0.1 * sn, -0.1 * c)};
}

SolidMesh archgen_rotated_box(double angle, double cx, double cy, double x, double y, double w, double d,
                              double z0, double z1) {
  ArchgenQuad q;
  const Point2 plain[4] = {{x, y, 0}, {x + w, y, 0}, {x + w, y + d, 0}, {x, y + d, 0}};
  for (int k = 0; k < 4; ++k) {
    geom_rotate_point(cx, cy, plain[k].x, plain[k].y, angle);
    q[k] = {geo_result.rot_x, geo_result.rot_y, 0};
  }
  return archgen_box(q, z0, z1);
}

SolidMesh archgen_round_pillar(double cx, double cy, double r, double zb, double zt) {
  std::vector<Point3> bottom, top;
  for (int k = 0; k < 12; ++k) {
    // 2 pi - k pi / 6 hits the quarter turns exactly, which the rotation
    // takes without rounding: vertices 0, 3, 6 and 9 lie exactly on the axes.
    geom_rotate_point(cx, cy, cx + r, cy, GEOM_TWO_PI - k * GEOM_PI / 6.0);
    bottom.push_back({geo_result.rot_x, geo_result.rot_y, zb, 0});
    top.push_back({geo_result.rot_x, geo_result.rot_y, zt, 0});
  }
  return solid_prism(bottom, top);
}

SolidMesh archgen_pillar(double cx, double cy, double width, double thickness, double zb, double zt) {
  const double hw = width / 2.0, ht = thickness / 2.0;
  return archgen_box({Point2{cx - hw, cy - ht, 0}, Point2{cx + hw, cy - ht, 0}, Point2{cx + hw, cy + ht, 0},
                      Point2{cx - hw, cy + ht, 0}},
                     zb, zt);
}

SolidMesh archgen_beam(Point2 s, Point2 e, double width, double zb, double zt) {
  return archgen_box(archgen_beam_corners(s, e, width / 2.0), zb, zt);
}

std::vector<SolidMesh> archgen_stair_steps(Point2 s, Point2 e, const ArchgenStair& st) {
  std::vector<SolidMesh> out;
  // Without a step there is no run to divide into.
  if (st.steps < 1) return out;
  const ArchgenQuad c = archgen_beam_corners(s, e, st.width / 2.0);
  const double n = st.steps;
  const double run_x = (c[1].x - c[0].x) / n, run_y = (c[1].y - c[0].y) / n;
  const double rise = (st.top - st.base) / n;
  const double a = geom_angle(s.x, s.y, e.x, e.y);
  const double nx = -st.nosing * std::cos(a), ny = -st.nosing * std::sin(a);
  for (int k = 0; k < st.steps; ++k) {
    const double level = st.base + (k + 1) * rise;
    out.push_back(
        archgen_box({at(c[0], k * run_x + nx, k * run_y + ny), at(c[0], (k + 1) * run_x, (k + 1) * run_y),
                     at(c[3], (k + 1) * run_x, (k + 1) * run_y), at(c[3], k * run_x + nx, k * run_y + ny)},
                    level - st.thickness, level));
  }
  return out;
}

int64_t archgen_frame_box_count(int mullions, int transoms) {
  const int64_t fields = int64_t{mullions} + 1, per_field = 2 * int64_t{transoms} + 4;
  // The largest counts would pass the range of the result.
  if (fields > (INT64_MAX - 1) / per_field) return INT64_MAX;
  return 1 + fields * per_field;
}

std::vector<ArchgenFramePart> archgen_window_frame(const WallOpening& o, int mullions, int transoms,
                                                   double p) {
  const Point3 &c0 = o.corner[0], &c1 = o.corner[1];
  const double a = geom_angle(c0.x, c0.y, c1.x, c1.y);
  const double length = geom_dist(c0.x, c0.y, c1.x, c1.y);
  const double sill = c0.z, head = o.corner[4].z;
  const double sw = o.stop_width, sd = o.stop_depth;
  const double hx = c0.x - sw * std::cos(a) - sd * std::sin(a);
  const double hy = c0.y - sw * std::sin(a) + sd * std::cos(a);
  const double v = (2.0 * sw + length - p) / (mullions + 1);
  const double u = (head - sill - p) / (transoms + 1);

  std::vector<ArchgenFramePart> out;
  auto box = [&](double x, double y, double w, double d, double z0, double z1, bool glazing = false) {
    out.push_back({archgen_rotated_box(a, hx, hy, x, y, w, d, z0, z1), glazing});
  };
  box(hx, hy, p, p, sill, head);
  for (int i = 0; i <= mullions; ++i) {
    const double c = hx + i * v;
    box(c + p, hy, v - p, p, sill, sill + p);
    box(hx + (i + 1) * v, hy, p, p, sill, head);
    for (int j = 0; j <= transoms; ++j) {
      const double z = sill + (j + 1) * u;
      box(c + p, hy, v - p, p, z, z + p);
      box(c + p, hy + p / 2.0 - PANE_THICKNESS / 2.0, v - p, PANE_THICKNESS, sill + p + j * u, z, true);
    }
  }
  return out;
}

SolidMesh archgen_ceiling(std::vector<Point2> plan, double zb, double zt) {
  solid_orient_plan(plan);
  std::vector<Point3> bottom, top;
  for (const Point2& p : plan) {
    bottom.push_back({p.x, p.y, zb, 0});
    top.push_back({p.x, p.y, zt, 0});
  }
  return solid_prism(bottom, top);
}
