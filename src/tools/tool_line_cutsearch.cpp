// The cut search: where other lines, curves and wall outlines cut a line
// or a curve. The trim, extend and erase tools stop at these points.

#include <algorithm>
#include <cmath>

#include "display/snap.h"
#include "display/snap_grid.h"
#include "model/geom.h"
#include "model/layers.h"
#include "tools/trim_tools.h"

namespace {

// Radii at or below this make no curve to cut with or against.
constexpr double MIN_RADIUS = TOL_DEGENERATE;

bool has_radii(double rx, double ry) { return std::fabs(rx) > MIN_RADIUS && std::fabs(ry) > MIN_RADIUS; }

bool in_window(double t) { return t > TOL_PARAM_LOW && t < TOL_PARAM_HIGH; }

// The crossing of the infinite line a - b with the segment p - q.
void segment_on_line(Point2 p, Point2 q, Point2 a, Point2 b, std::vector<Point2>& out) {
  const std::optional<Point2> x = geom_line_intersection(a.x, a.y, b.x, b.y, p.x, p.y, q.x, q.y);
  if (!x) return;
  if (in_window(geom_projection(x->x, x->y, p.x, p.y, q.x, q.y).t)) out.push_back(*x);
}

// The points where the segment p - q meets the ellipse of c.
void segment_on_curve(Point2 p, Point2 q, const CurveShape& c, std::vector<Point2>& out) {
  const std::optional<GeomCuts> cuts =
      geom_line_ellipse_cuts(c.cx, c.cy, c.rx, c.ry, c.rotation, p.x, p.y, q.x, q.y);
  if (!cuts) return;
  for (const Point2& x : {cuts->first, cuts->second})
    if (in_window(geom_projection(x.x, x.y, p.x, p.y, q.x, q.y).t)) out.push_back(x);
}

bool inside_arc(const ArcElem& e, Point2 x) {
  geom_ellipse_arc_test(x.x, x.y, e.centre.x, e.centre.y, e.radius_x, e.radius_y, e.sweep, e.start,
                        e.rotation);
  return geo_result.arc_inside == 1.0;
}

bool is_circle(double rx, double ry) { return geom_eq(rx, ry) != 0; }

template <typename Fn>
void each_wall_segment(const WallElem& w, Fn fn) {
  for (const WallSegment& s : w.segments) fn(s.start, s.end);
}

bool counts(const ElemHeader* e, const ElemHeader* self) { return e != self && layer_visible(e->layer); }

// The elements whose plan box meets the window, widened a little: a cut at
// the very end of a cutter may lie just outside its box.
std::vector<const ElemHeader*> near_window(double xmin, double ymin, double xmax, double ymax) {
  const double pad = 1e-4 + 1e-5 * std::max(xmax - xmin, ymax - ymin);
  std::vector<const ElemHeader*> near;
  elem_grid_query(xmin - pad, ymin - pad, xmax + pad, ymax + pad,
                  static_cast<std::size_t>(std::max(snap_index_threshold, 0)), near);
  return near;
}

}  // namespace

void cut_points_on_line(const ElemHeader& cutter, Point2 a, Point2 b, std::vector<Point2>& out) {
  if (const auto* l = elem_as<LineElem>(&cutter)) {
    segment_on_line(l->p1, l->p2, a, b, out);
  } else if (const auto* w = elem_as<WallElem>(&cutter)) {
    each_wall_segment(*w, [&](Point2 p, Point2 q) { segment_on_line(p, q, a, b, out); });
  } else if (const auto* arc = elem_as<ArcElem>(&cutter)) {
    if (!has_radii(arc->radius_x, arc->radius_y)) return;
    const std::optional<GeomCuts> cuts = geom_line_ellipse_cuts(
        arc->centre.x, arc->centre.y, arc->radius_x, arc->radius_y, arc->rotation, a.x, a.y, b.x, b.y);
    if (!cuts) return;
    for (const Point2& x : {cuts->first, cuts->second})
      if (inside_arc(*arc, x)) out.push_back(x);
  }
}

void cut_points_on_curve(const ElemHeader& cutter, const CurveShape& c, std::vector<Point2>& out) {
  if (!has_radii(c.rx, c.ry)) return;
  if (const auto* l = elem_as<LineElem>(&cutter)) {
    segment_on_curve(l->p1, l->p2, c, out);
  } else if (const auto* w = elem_as<WallElem>(&cutter)) {
    each_wall_segment(*w, [&](Point2 p, Point2 q) { segment_on_curve(p, q, c, out); });
  } else if (const auto* arc = elem_as<ArcElem>(&cutter)) {
    if (!has_radii(arc->radius_x, arc->radius_y)) return;
    if (!is_circle(c.rx, c.ry) || !is_circle(arc->radius_x, arc->radius_y)) return;
    const std::optional<GeomCuts> cuts =
        geom_circle_cuts(c.cx, c.cy, c.rx, arc->centre.x, arc->centre.y, arc->radius_x);
    if (!cuts) return;
    for (const Point2& x : {cuts->first, cuts->second})
      if (inside_arc(*arc, x)) out.push_back(x);
  }
}

std::vector<Point2> cut_search_line(const ElemHeader* self, Point2 a, Point2 b, const CutWindow& w) {
  std::vector<Point2> out;
  for (const ElemHeader* e : near_window(w.xmin, w.ymin, w.xmax, w.ymax))
    if (counts(e, self)) cut_points_on_line(*e, a, b, out);
  return out;
}

std::vector<Point2> cut_search_curve(const ElemHeader* self, const CurveShape& c) {
  const double r = std::max(std::fabs(c.rx), std::fabs(c.ry));
  std::vector<Point2> out;
  for (const ElemHeader* e : near_window(c.cx - r, c.cy - r, c.cx + r, c.cy + r))
    if (counts(e, self)) cut_points_on_curve(*e, c, out);
  return out;
}
