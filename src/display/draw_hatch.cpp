#include "display/draw_hatch.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "display/outdev.h"
#include "display/outdev_screen.h"
#include "display/view.h"
#include "model/geom.h"
#include "model/settings.h"
#include "model/view_rec.h"

namespace {

constexpr double TOL_EDGE = 1e-5;    // horizontal edges, crossing range, span width, vertex shift
constexpr double TOL_VERTEX = 1e-6;  // a scan line through a vertex
// No real pattern comes near these; they keep an absurd spacing (a typing
// slip in an export, say 1e-12 m) from running for hours.
constexpr double MAX_SCAN_LINES = 1e7;
constexpr double MAX_GRID_POINTS = 1e7;

struct Edge {
  double lx, ly, ux, uy;  // lower end, upper end
};

struct Box {
  double xmin = 0.0, ymin = 0.0, xmax = 0.0, ymax = 0.0;
  bool any = false;
};

bool is_end(const Point2& p) { return geom_is_end_marker(p.x, p.y); }

// The box of the points, end markers excluded; none when a point is not finite.
Box bounds(int32_t n, const Point2* p) {
  Box b;
  for (int32_t i = 0; i < n; ++i) {
    if (is_end(p[i])) continue;
    if (!std::isfinite(p[i].x) || !std::isfinite(p[i].y)) return Box{};
    if (!b.any) b = Box{p[i].x, p[i].y, p[i].x, p[i].y, true};
    b.xmin = std::min(b.xmin, p[i].x);
    b.ymin = std::min(b.ymin, p[i].y);
    b.xmax = std::max(b.xmax, p[i].x);
    b.ymax = std::max(b.ymax, p[i].y);
  }
  return b;
}

bool outside_view(const Box& b) {
  const ViewRec& v = view_current();
  return b.xmax < v.xmin || b.xmin > v.xmax || b.ymax < v.ymin || b.ymin > v.ymax;
}

// The edges of the contours (points in scan coordinates, end markers told
// by the original list): each contour closed back to its first point,
// nearly horizontal edges left out, the lower end first.
std::vector<Edge> edges_of(int32_t n, const Point2* original, const std::vector<Point2>& p) {
  std::vector<Edge> edges;
  int32_t first = 0;
  for (int32_t k = 1; k < n; ++k) {
    if (is_end(original[k - 1])) {
      first = k;
      continue;
    }
    const Point2& a = p[k - 1];
    const Point2& b = is_end(original[k]) ? p[first] : p[k];
    if (std::fabs(a.y - b.y) <= TOL_EDGE) continue;
    if (a.y < b.y)
      edges.push_back(Edge{a.x, a.y, b.x, b.y});
    else
      edges.push_back(Edge{b.x, b.y, a.x, a.y});
  }
  return edges;
}

// Scan lines at g, g + step, ... while the last one lay below ymax. A scan
// line through a vertex is raised by TOL_EDGE, and the raise carries over
// to the lines after it. emit(g, x1, x2) gets every inside span.
template <class Emit>
void scan(const std::vector<Edge>& edges, double g, double ymax, double step, Emit emit) {
  std::vector<double> xs;
  xs.reserve(edges.size());
  for (;;) {
    for (const Edge& e : edges) {
      if (std::fabs(e.ly - g) <= TOL_VERTEX || std::fabs(e.uy - g) <= TOL_VERTEX) {
        g += TOL_EDGE;
        break;
      }
    }
    xs.clear();
    for (const Edge& e : edges) {
      if (!(e.ly < g && g < e.uy)) continue;
      const double t = (e.uy - g) / (e.uy - e.ly);
      const double x = t * e.lx + (1.0 - t) * e.ux;
      if (x >= std::min(e.lx, e.ux) - TOL_EDGE && x <= std::max(e.lx, e.ux) + TOL_EDGE) xs.push_back(x);
    }
    std::sort(xs.begin(), xs.end());
    // An unpaired last crossing (an open contour) is left out.
    for (std::size_t i = 0; i + 1 < xs.size(); i += 2)
      if (xs[i + 1] - xs[i] > TOL_EDGE) emit(g, xs[i], xs[i + 1]);
    if (!(g < ymax)) break;
    const double next = g + step;
    if (!(next > g)) break;
    g = next;
  }
}

// One family of scan lines over the area; span(x1, x2, y', cos, sin) gets
// the spans in the turned frame. Returns without drawing when there is
// nothing to draw or the family would be absurdly dense.
template <class Span>
void hatch_family(double ox, double oy, double angle, double spacing, int32_t n, const Point2* points,
                  bool grid, Span span) {
  if (!points || n < 2 || !std::isfinite(angle) || !std::isfinite(ox) || !std::isfinite(oy)) return;
  if (!std::isfinite(spacing) || spacing == 0.0) return;
  double s = std::fabs(spacing);
  const Box box = bounds(n, points);
  if (!box.any) return;
  if (!outdev.active) {
    if (!view_options.show_patterns) return;
    // Never closer than one pixel on the screen.
    if (view_len_to_px(s) <= 0) s = view_px_to_len_x(1);
    if (!(s > 0.0)) return;
    if (outside_view(box)) return;
  }
  const double ca = std::cos(angle), sa = std::sin(angle);
  std::vector<Point2> turned(points, points + n);
  for (int32_t i = 0; i < n; ++i) {
    if (is_end(points[i])) continue;
    turned[i] = Point2{points[i].x * ca + points[i].y * sa, -points[i].x * sa + points[i].y * ca, 0};
  }
  bool any = false;
  double ymin = 0.0, ymax = 0.0, xmin = 0.0, xmax = 0.0;
  for (int32_t i = 0; i + 1 < n; ++i) {
    if (is_end(points[i])) continue;
    const Point2& p = turned[i];
    ymin = any ? std::min(ymin, p.y) : p.y;
    ymax = any ? std::max(ymax, p.y) : p.y;
    xmin = any ? std::min(xmin, p.x) : p.x;
    xmax = any ? std::max(xmax, p.x) : p.x;
    any = true;
  }
  if (!any) return;
  const double yo = -ox * sa + oy * ca;
  const double g = yo + std::ceil((ymin - yo) / s) * s;
  const double lines = (ymax - g) / s;
  if (lines > MAX_SCAN_LINES || (grid && lines * ((xmax - xmin) / s) > MAX_GRID_POINTS)) return;
  scan(edges_of(n, points, turned), g, ymax, s,
       [&](double y, double x1, double x2) { span(x1, x2, y, ca, sa, s); });
}

}  // namespace

void draw_hatch_lines(uint8_t pen, uint8_t lt, double ox, double oy, double angle, double spacing, int32_t n,
                      const Point2* points) {
  hatch_family(ox, oy, angle, spacing, n, points, false,
               [&](double x1, double x2, double y, double ca, double sa, double) {
                 outdev.line(pen, lt, x1 * ca - y * sa, x1 * sa + y * ca, x2 * ca - y * sa, x2 * sa + y * ca);
               });
}

void draw_hatch_points(uint8_t pen, uint8_t, double ox, double oy, double angle, double spacing, int32_t n,
                       const Point2* points) {
  const double xo = ox * std::cos(angle) + oy * std::sin(angle);
  hatch_family(ox, oy, angle, spacing, n, points, true,
               [&](double x1, double x2, double y, double ca, double sa, double s) {
                 // The first grid value at or above x1, then every s before x2.
                 const double k = (x1 - xo) / s;
                 for (double x = x1 + s * (std::ceil(k) - k); x < x2;) {
                   const double wx = x * ca - y * sa, wy = x * sa + y * ca;
                   outdev.line(pen, 0, wx, wy, wx, wy);
                   const double next = x + s;
                   if (!(next > x)) break;
                   x = next;
                 }
               });
}

void outdev_screen_fill(double r, double g, double b, int32_t n, const Point2* points) {
  // Writers install their own fill; nothing of theirs goes into the view.
  if (outdev.active || !points || n < 2) return;
  if (!view_options.show_patterns) return;
  const Box box = bounds(n, points);
  if (!box.any || outside_view(box)) return;
  const ViewRec& v = view_current();
  const double ylo = std::max(box.ymin, v.ymin), yhi = std::min(box.ymax, v.ymax);
  const Rgb& bg = display_colors.background;
  switch (outdev.draw_mode) {
    case DRAWMODE_SELECTED:
      r = display_colors.active.r, g = display_colors.active.g, b = display_colors.active.b;
      break;
    case DRAWMODE_ERASE:
      r = bg.r, g = bg.g, b = bg.b;
      break;
    case DRAWMODE_OTHER_LAYER:
      r = (r + bg.r) / 2.0, g = (g + bg.g) / 2.0, b = (b + bg.b) / 2.0;
      break;
    default:
      break;
  }
  const double step = view_px_to_len_y(1);
  if (!(step > 0.0) || !(ylo < yhi)) return;
  const std::vector<Point2> world(points, points + n);
  scan(edges_of(n, points, world), ylo + step, yhi, step, [&](double y, double x1, double x2) {
    if (view_clip_line(x1, y, x2, y))
      view_draw_rgb_line(r, g, b, clip_result.sx1, clip_result.sy1, clip_result.sx2, clip_result.sy2);
  });
}
