// Erasing the part of a line or of a curve between two points.

#include <cmath>

#include "display/draw.h"
#include "display/pick.h"
#include "model/geom.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/undo.h"
#include "tools/tool_common.h"
#include "tools/trim_tools.h"

bool curve_is_closed(const CurveShape& c) { return std::fabs(c.sweep - GEOM_TWO_PI) < 1e-4; }

double curve_point_angle(const CurveShape& c, double x, double y) {
  const double dx = x - c.cx, dy = y - c.cy;
  const double cr = std::cos(c.rotation), sr = std::sin(c.rotation);
  const double u = cr * dx + sr * dy;
  const double v = (cr * dy - sr * dx) * (std::fabs(c.ry) > TOL_DEGENERATE ? c.rx / c.ry : 1.0);
  return geom_angle(0.0, 0.0, u, v);
}

CurveErase curve_erase_plan(const CurveShape& c, double a, double b) {
  CurveErase out;
  if (a > b) b += GEOM_TWO_PI;
  if (curve_is_closed(c)) {
    if (b - a >= c.sweep) {
      out.remove = true;
    } else {
      CurveShape k = c;
      k.start = b > GEOM_TWO_PI ? b - GEOM_TWO_PI : b;
      k.sweep = c.sweep - (b - a);
      out.changed = k;
    }
    return out;
  }
  const double h = c.start, l = c.start + c.sweep;
  if (a < h && b < h) {
    a += GEOM_TWO_PI;
    b += GEOM_TWO_PI;
    if (a > l && b > l) {
      a -= GEOM_TWO_PI;
      b -= GEOM_TWO_PI;
    }
  } else if (a > l && b > l) {
    a -= GEOM_TWO_PI;
    b -= GEOM_TWO_PI;
  }
  if (h < a && a < l) {
    CurveShape p = c;
    p.sweep = a - h;
    out.pieces.push_back(p);
  }
  if (h < b && b < l) {
    CurveShape p = c;
    p.start = b;
    p.sweep = l - b;
    out.pieces.push_back(p);
  }
  out.remove = !out.pieces.empty() || (a <= h && b >= l);
  return out;
}

void circle_erase_angles(ArcElem* arc, double a, double b) {
  const CurveErase plan = curve_erase_plan(curve_of(*arc), a, b);
  if (!plan.remove && !plan.changed) return;
  arc->mark = 1;
  undo_record(UNDO_CHANGE, 0);
  arc->mark = 0;
  ToolRepair repair;
  repair.add(arc);
  {
    ToolCursorOff off;
    draw_element(DRAW_ERASE, arc);
    if (plan.changed) {
      arc->start = plan.changed->start;
      arc->sweep = plan.changed->sweep;
      elem_touch();
      drawing_modified = 1;
      draw_element(DRAW_NORMAL, arc);
    } else {
      for (const CurveShape& p : plan.pieces) {
        elem_new_arc(arc->layer, arc->pen, arc->line_type, p.cx, p.cy, p.rx, p.ry, p.sweep, p.start,
                     p.rotation);
        undo_mark_element(elem_list_tail);
        draw_element(DRAW_NORMAL, elem_list_tail);
      }
      arc->mark = 1;
      elem_purge_marked();
    }
  }
  repair.draw();
}

void circle_erase_points(ArcElem* arc, double x1, double y1, double x2, double y2) {
  const CurveShape c = curve_of(*arc);
  circle_erase_angles(arc, curve_point_angle(c, x1, y1), curve_point_angle(c, x2, y2));
}

namespace {

ElemHeader* pick_line(double x, double y) { return pick_nearest_element(x, y, PICK_LINE); }
ElemHeader* pick_curve(double x, double y) { return pick_nearest_element(x, y, PICK_ARC); }

int ask_two_points(InputRequest& r) {
  return tool_ask(r, {{STEP_POINT, nls_mark("Start point:")},
                      {STEP_NEXT_POINT, nls_mark("Move/End point:")},
                      {STEP_CONFIRM, nls_mark("Move/Confirm:")}});
}

void change_line_part(LineElem* l, const GeomProjection& f1, const GeomProjection& f2);

// Erases the part of l between the feet of p and q.
void erase_line_part(LineElem* l, Point2 p, Point2 q) {
  GeomProjection f1 = geom_projection(p.x, p.y, l->p1.x, l->p1.y, l->p2.x, l->p2.y);
  GeomProjection f2 = geom_projection(q.x, q.y, l->p1.x, l->p1.y, l->p2.x, l->p2.y);
  if (f1.t > f2.t) std::swap(f1, f2);
  if (f1.t >= 1.0 || f2.t <= 0.0) return;
  ToolRepair repair;
  repair.add(l);
  change_line_part(l, f1, f2);
  repair.draw();
}

void change_line_part(LineElem* l, const GeomProjection& f1, const GeomProjection& f2) {
  ToolCursorOff off;
  draw_element(DRAW_ERASE, l);
  l->mark = 1;
  if (f1.t <= 0.0 && f2.t >= 1.0) {
    undo_record(UNDO_DELETE, 0);
    elem_purge_marked();
    return;
  }
  undo_record(UNDO_CHANGE, 0);
  l->mark = 0;
  if (f1.t <= 0.0) {
    l->p1 = {f2.x, f2.y, 0};
  } else if (f2.t >= 1.0) {
    l->p2 = {f1.x, f1.y, 0};
  } else {
    elem_new_line(cur_layer, l->pen, l->line_type, f2.x, f2.y, l->p2.x, l->p2.y);
    undo_mark_element(elem_list_tail);
    draw_element(DRAW_NORMAL, elem_list_tail);
    l->p2 = {f1.x, f1.y, 0};
  }
  elem_touch();
  drawing_modified = 1;
  draw_element(DRAW_NORMAL, l);
}

}  // namespace

void tool_line_erase() {
  InputRequest r;
  for (;;) {
    auto* l = elem_as<LineElem>(tool_pick_until(r, nls_mark("Select Line:"), pick_line));
    if (!l) return;
    int res;
    {
      ToolHighlight shown(l);
      res = ask_two_points(r);
    }
    if (res != INPUT_DONE) {
      if (tool_command_waits()) return;
      continue;
    }
    erase_line_part(l, {r.x[0], r.y[0], 0}, {r.x[1], r.y[1], 0});
  }
}

void tool_circle_erase() {
  InputRequest r;
  for (;;) {
    auto* arc = elem_as<ArcElem>(tool_pick_until(r, nls_mark("Select Circle/Arc:"), pick_curve));
    if (!arc) return;
    int res;
    {
      ToolHighlight shown(arc);
      res = ask_two_points(r);
    }
    if (res != INPUT_DONE) return;
    circle_erase_points(arc, r.x[0], r.y[0], r.x[1], r.y[1]);
  }
}
