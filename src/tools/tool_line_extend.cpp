// Extending the picked end of a line or an arc to the nearest cut beyond
// it; an arc that nothing meets is closed to a full curve.

#include <algorithm>
#include <cmath>

#include "display/draw.h"
#include "display/pick.h"
#include "model/geom.h"
#include "model/nls.h"
#include "model/undo.h"
#include "tools/tool_common.h"
#include "tools/trim_tools.h"

namespace {

// A line end moves at most this many line lengths.
constexpr double REACH = 10000.0;

}  // namespace

std::optional<double> line_extend_parameter(const std::vector<double>& cuts) {
  double w = REACH;
  for (double t : cuts)
    if (t > TOL_PARAM_HIGH && t < w - 1e-5) w = t;
  if (!(w < REACH - 1e-5)) return std::nullopt;
  return w;
}

std::optional<CurveShape> curve_extend(const CurveShape& c, bool at_start,
                                       const std::vector<double>& outside_cuts) {
  if (!(c.sweep < GEOM_TWO_PI) || curve_is_closed(c)) return std::nullopt;
  double h = c.sweep, e = 99.0;
  for (double q : outside_cuts) {
    h = std::max(h, q);
    e = std::min(e, q);
  }
  CurveShape out = c;
  if (h == c.sweep && e == 99.0) {
    out.sweep = GEOM_TWO_PI;
  } else if (at_start) {
    out.start = c.start - (GEOM_TWO_PI - h);
    out.sweep = c.sweep + GEOM_TWO_PI - h;
  } else {
    out.sweep = e;
  }
  return out;
}

namespace {

ElemHeader* pick_any(double x, double y) {
  ElemHeader* e = pick_nearest_element(x, y, PICK_ANY);
  return elem_as<LineElem>(e) || elem_as<ArcElem>(e) ? e : nullptr;
}

// The window along the line from n on to the parameter span [from, to] of
// the line from f to n.
CutWindow span_window(Point2 f, Point2 n, double from, double to) {
  const double x1 = f.x + from * (n.x - f.x), y1 = f.y + from * (n.y - f.y);
  const double x2 = f.x + to * (n.x - f.x), y2 = f.y + to * (n.y - f.y);
  return {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

void extend_line(LineElem* l, double x, double y) {
  if (geom_projection(x, y, l->p1.x, l->p1.y, l->p2.x, l->p2.y).t < 0.5) std::swap(l->p1, l->p2);
  const Point2 f = l->p1, n = l->p2;
  // The nearest cut first: windows of growing length along the line beyond
  // the picked end, until one holds a cut. A cut beyond a window lies in
  // the window that covers its parameter, so no nearer cut is missed.
  std::optional<double> w;
  for (double from = 1.0, to = 2.0; !w && from < REACH; from = to, to = std::min(2.0 * to, REACH)) {
    std::vector<double> ts;
    for (const Point2& c : cut_search_line(l, f, n, span_window(f, n, from, to)))
      ts.push_back(geom_projection(c.x, c.y, f.x, f.y, n.x, n.y).t);
    w = line_extend_parameter(ts);
    if (w && *w > to + 1e-5) w.reset();  // a cut of a later window: look there in order
    if (to >= REACH) break;
  }
  if (!w) return;
  ToolRepair repair;
  repair.add(l);
  {
    ToolCursorOff off;
    draw_element(DRAW_ERASE, l);
    l->mark = 1;
    undo_record(UNDO_CHANGE, 0);
    l->mark = 0;
    l->p2 = {f.x + *w * (n.x - f.x), f.y + *w * (n.y - f.y), 0};
    elem_touch();
    drawing_modified = 1;
    draw_element(DRAW_NORMAL, l);
  }
  repair.add(l);
  repair.draw();
}

void extend_arc(ArcElem* arc, double x, double y) {
  const CurveShape c = curve_of(*arc);
  if (curve_is_closed(c)) return;
  geom_ellipse_arc_test(x, y, c.cx, c.cy, c.rx, c.ry, c.sweep, c.start, c.rotation);
  const bool at_start = geo_result.arc_angle < c.sweep / 2.0;
  std::vector<double> qs;
  for (const Point2& k : cut_search_curve(arc, c)) {
    geom_ellipse_arc_test(k.x, k.y, c.cx, c.cy, c.rx, c.ry, c.sweep, c.start, c.rotation);
    if (geo_result.arc_inside == 0.0) qs.push_back(geo_result.arc_angle);
  }
  const std::optional<CurveShape> k = curve_extend(c, at_start, qs);
  if (!k) return;
  ToolRepair repair;
  repair.add(arc);
  {
    ToolCursorOff off;
    draw_element(DRAW_ERASE, arc);
    arc->mark = 1;
    undo_record(UNDO_CHANGE, 0);
    arc->mark = 0;
    arc->start = k->start;
    arc->sweep = k->sweep;
    elem_touch();
    drawing_modified = 1;
    draw_element(DRAW_NORMAL, arc);
  }
  repair.add(arc);
  repair.draw();
}

}  // namespace

void tool_line_extend() {
  InputRequest r;
  for (;;) {
    ElemHeader* e = tool_pick_until(r, nls_mark("Select end of Line:"), pick_any);
    if (!e) return;
    if (auto* l = elem_as<LineElem>(e))
      extend_line(l, r.x[0], r.y[0]);
    else if (auto* a = elem_as<ArcElem>(e))
      extend_arc(a, r.x[0], r.y[0]);
  }
}

void tool_circle_extend() { tool_line_extend(); }
