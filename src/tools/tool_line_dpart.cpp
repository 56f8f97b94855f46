// Deleting the piece of a line or curve between the nearest cuts on either
// side of a pick.

#include <algorithm>
#include <cmath>

#include "display/draw.h"
#include "display/pick.h"
#include "model/geom.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/undo.h"
#include "tools/tool_common.h"
#include "tools/trim_tools.h"

namespace {

constexpr double END_GUARD = 1e-5;

CutWindow window_of(const LineElem& l) {
  return {std::min(l.p1.x, l.p2.x), std::min(l.p1.y, l.p2.y), std::max(l.p1.x, l.p2.x),
          std::max(l.p1.y, l.p2.y)};
}

}  // namespace

CutInterval line_dpart_interval(double t0, const std::vector<double>& cuts) {
  CutInterval iv{0.0, 1.0};
  for (double t : cuts) {
    if (!(t > iv.lo + END_GUARD && t < iv.hi - END_GUARD)) continue;
    if (t > t0)
      iv.hi = t;
    else
      iv.lo = t;
  }
  return iv;
}

CutInterval curve_dpart_interval(double p, double sweep, bool closed, const std::vector<double>& cuts) {
  CutInterval iv{0.0, sweep};
  if (closed) {
    // Round a closed curve the start is no cut: the piece under the pick may
    // run over it.
    if (cuts.size() < 2) return iv;
    const auto [lowest, highest] = std::minmax_element(cuts.begin(), cuts.end());
    double lo = *highest - GEOM_TWO_PI, hi = *lowest + GEOM_TWO_PI;
    for (double q : cuts) {
      if (q > p)
        hi = std::min(hi, q);
      else
        lo = std::max(lo, q);
    }
    return {lo, hi};
  }
  for (double q : cuts) {
    if (q > p)
      iv.hi = std::min(iv.hi, q);
    else
      iv.lo = std::max(iv.lo, q);
  }
  return iv;
}

namespace {

ElemHeader* pick_line(double x, double y) { return pick_nearest_element(x, y, PICK_LINE); }
ElemHeader* pick_curve(double x, double y) { return pick_nearest_element(x, y, PICK_ARC); }

void remove_line_piece(LineElem* l, const CutInterval& iv);

void delete_line_piece(LineElem* l, double x, double y) {
  const Point2 a = l->p1, b = l->p2;
  const double t0 = geom_projection(x, y, a.x, a.y, b.x, b.y).t;
  std::vector<double> ts;
  for (const Point2& c : cut_search_line(l, a, b, window_of(*l)))
    ts.push_back(geom_projection(c.x, c.y, a.x, a.y, b.x, b.y).t);
  const CutInterval iv = line_dpart_interval(t0, ts);
  ToolRepair repair;
  repair.add(l);
  remove_line_piece(l, iv);
  repair.draw();
}

void remove_line_piece(LineElem* l, const CutInterval& iv) {
  const Point2 a = l->p1, b = l->p2;
  const auto at = [&](double t) { return Point2{a.x + t * (b.x - a.x), a.y + t * (b.y - a.y), 0}; };
  ToolCursorOff off;
  draw_element(DRAW_ERASE, l);
  l->mark = 1;
  const bool below = iv.lo > 0.0, above = iv.hi < 1.0;
  if (!below && !above) {
    undo_record(UNDO_DELETE, 0);
    elem_purge_marked();
    return;
  }
  undo_record(UNDO_CHANGE, 0);
  l->mark = 0;
  if (below && above) {
    const Point2 h = at(iv.hi);
    elem_new_line(cur_layer, l->pen, l->line_type, h.x, h.y, b.x, b.y);
    undo_mark_element(elem_list_tail);
    draw_element(DRAW_NORMAL, elem_list_tail);
    l->p2 = at(iv.lo);
  } else if (above) {
    l->p1 = at(iv.hi);
  } else {
    l->p2 = at(iv.lo);
  }
  elem_touch();
  drawing_modified = 1;
  draw_element(DRAW_NORMAL, l);
}

void delete_curve_piece(ArcElem* arc, double x, double y) {
  const CurveShape c = curve_of(*arc);
  geom_ellipse_arc_test(x, y, c.cx, c.cy, c.rx, c.ry, c.sweep, c.start, c.rotation);
  const double p = geo_result.arc_angle;
  std::vector<double> qs;
  for (const Point2& k : cut_search_curve(arc, c)) {
    geom_ellipse_arc_test(k.x, k.y, c.cx, c.cy, c.rx, c.ry, c.sweep, c.start, c.rotation);
    if (geo_result.arc_inside == 1.0) qs.push_back(geo_result.arc_angle);
  }
  const CutInterval iv = curve_dpart_interval(p, c.sweep, curve_is_closed(c), qs);
  circle_erase_angles(arc, c.start + iv.lo, c.start + iv.hi);
}

}  // namespace

void tool_line_dpart() {
  InputRequest r;
  for (;;) {
    auto* l = elem_as<LineElem>(tool_pick_until(r, nls_mark("Select Line segment:"), pick_line));
    if (!l) return;
    delete_line_piece(l, r.x[0], r.y[0]);
  }
}

void tool_circle_dpart() {
  InputRequest r;
  for (;;) {
    auto* arc = elem_as<ArcElem>(tool_pick_until(r, nls_mark("Select segment:"), pick_curve));
    if (!arc) return;
    delete_curve_piece(arc, r.x[0], r.y[0]);
  }
}
