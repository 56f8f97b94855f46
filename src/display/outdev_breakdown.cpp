#include "display/outdev_breakdown.h"

#include <algorithm>
#include <cmath>

#include "display/outdev_screen.h"
#include "display/view.h"
#include "model/geom.h"
#include "model/settings.h"
#include "model/view_rec.h"

namespace {

// Chords of one curve are capped, so that a corrupt sweep cannot stall the
// drawing; far above anything a real arc needs (188 for a full circle).
constexpr int MAX_CHORDS = 100000;

// Chords per full turn: (rx + ry) x 50 / view_scale decides.
double arc_density(double rx, double ry) {
  const double k = (rx + ry) * 50.0 / view_scale;
  if (!(k >= 0.5)) return 12.0;  // NaN counts as small
  if (k < 1.0) return 24.0;
  return std::min(120.0, std::trunc(4.0 * k + 24.0));
}

// Whether every point of the box lies inside the screen view, not clipped,
// in one and the same pixel: then every chord of a curve in it draws just
// that pixel, and one point drawn there shows the same. Only when the
// screen's own line slot draws the chords.
bool one_pixel_on_screen(double x0, double y0, double x1, double y1) {
  if (outdev.active || outdev.line != outdev_screen_line || view_type == VIEW_PERSPECTIVE) return false;
  const ViewRec& v = view_current();
  if (!(x0 >= v.xmin && x1 <= v.xmax && y0 >= v.ymin && y1 <= v.ymax)) return false;
  return view_wx_to_sx(x0) == view_wx_to_sx(x1) && view_wy_to_sy(y0) == view_wy_to_sy(y1);
}

}  // namespace

namespace {
thread_local int guide_points_held = 0;
}  // namespace

GuidePointsOff::GuidePointsOff() { ++guide_points_held; }

GuidePointsOff::~GuidePointsOff() { --guide_points_held; }

bool guide_points_shown() { return view_options.show_guide_points && guide_points_held == 0; }

void draw_point_cross(double x, double y, int half) {
  const int sx = view_wx_to_sx(x);
  const int sy = view_wy_to_sy(y);
  const double wy = view_sy_to_wy(sy);
  const double wx = view_sx_to_wx(sx);
  outdev.line(PEN_GUIDE, 0, view_sx_to_wx(sx - half), wy, view_sx_to_wx(sx + half), wy);
  outdev.line(PEN_GUIDE, 0, wx, view_sy_to_wy(sy + half), wx, view_sy_to_wy(sy - half));
}

void draw_point_marker_small(double x, double y) {
  if (outdev.active) return;
  draw_point_cross(x, y, 1);
}

bool outdev_arc_outside_view(double cx, double cy, double rx, double ry) {
  const ViewRec& v = view_current();
  const double r = std::max(rx, ry);
  return cx - r > v.xmax || cx + r < v.xmin || cy - r > v.ymax || cy + r < v.ymin;
}

double outdev_bezier_k(double x0, double y0, double x1, double y1, double x2, double y2, double x3, double y3,
                       double most) {
  const double xs = view_current().xscale;
  double k = (geom_dist(x0, y0, x3, y3) + geom_dist(x1, y1, x2, y2)) / 22.0 / xs;
  if (!(xs > 0.0) || !(k >= 12.0)) k = 12.0;  // also NaN and a view without a scale
  return std::min(k, most);
}

Point2 outdev_bezier_point(double t, double x0, double y0, double x1, double y1, double x2, double y2,
                           double x3, double y3) {
  const double u = 1.0 - t;
  const double a = u * u * u, b = 3.0 * t * u * u, c = 3.0 * t * t * u, d = t * t * t;
  return Point2{a * x0 + b * x1 + c * x2 + d * x3, a * y0 + b * y1 + c * y2 + d * y3, 0};
}

void outdev_screen_arc(uint8_t pen, uint8_t lt, double cx, double cy, double rx, double ry, double sweep,
                       double start, double rotation) {
  draw_ellipse_arc_poly(pen, lt, cx, cy, rx, ry, sweep, start, rotation);
}

int outdev_arc_chord_count(double rx, double ry, double sweep) {
  const double w = arc_density(rx, ry);
  // A negative sweep runs the other way round, as far.
  const double n = std::trunc(w * std::fabs(sweep) * 0.25);
  int count = n >= 1.0 ? static_cast<int>(std::min(n, double{MAX_CHORDS})) : 1;
  if (outdev.active) count *= 2;
  return count;
}

void draw_ellipse_arc_poly(uint8_t pen, uint8_t lt, double cx, double cy, double rx, double ry, double sweep,
                           double start, double rotation) {
  if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(rx) || !std::isfinite(ry) ||
      !std::isfinite(sweep) || !std::isfinite(start) || !std::isfinite(rotation))
    return;
  if (!outdev.active && outdev_arc_outside_view(cx, cy, rx, ry)) return;
  const double r = std::max(std::fabs(rx), std::fabs(ry));
  if (one_pixel_on_screen(cx - r, cy - r, cx + r, cy + r)) {
    outdev.line(pen, lt, cx, cy, cx, cy);
    if (guide_points_shown()) draw_point_marker_small(cx, cy);
    return;
  }
  const int n = outdev_arc_chord_count(rx, ry, sweep);
  EllipseWalk walk(cx, cy, rx, ry, start, sweep / n, rotation);
  Point2 prev = walk.point();
  for (int i = 0; i < n; ++i) {
    walk.next();
    const Point2 p = walk.point();
    outdev.line(pen, lt, prev.x, prev.y, p.x, p.y);
    prev = p;
  }
  if (guide_points_shown()) draw_point_marker_small(cx, cy);
}

int outdev_bezier_chord_count(double x0, double y0, double x1, double y1, double x2, double y2, double x3,
                              double y3) {
  double k = outdev_bezier_k(x0, y0, x1, y1, x2, y2, x3, y3, 120.0);
  if (outdev.active) k *= 2.0;
  return static_cast<int>(std::ceil(k));
}

void outdev_screen_bezier(uint8_t pen, uint8_t lt, double x0, double y0, double x1, double y1, double x2,
                          double y2, double x3, double y3) {
  double k = outdev_bezier_k(x0, y0, x1, y1, x2, y2, x3, y3, 120.0);
  if (outdev.active) k *= 2.0;
  // The curve stays within its control points.
  if (one_pixel_on_screen(std::min({x0, x1, x2, x3}), std::min({y0, y1, y2, y3}), std::max({x0, x1, x2, x3}),
                          std::max({y0, y1, y2, y3}))) {
    outdev.line(pen, lt, x0, y0, x0, y0);
  } else {
    Point2 prev{x0, y0, 0};
    for (int i = 1; i < k; ++i) {
      const Point2 p = outdev_bezier_point(i / k, x0, y0, x1, y1, x2, y2, x3, y3);
      outdev.line(pen, lt, prev.x, prev.y, p.x, p.y);
      prev = p;
    }
    outdev.line(pen, lt, prev.x, prev.y, x3, y3);
  }
  if (guide_points_shown()) {
    draw_point_marker_small(x1, y1);
    draw_point_marker_small(x2, y2);
  }
}
