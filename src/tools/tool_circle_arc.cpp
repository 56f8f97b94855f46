// Arcs by centre, start and end point: the start point gives the radius,
// the end point only a direction; a click on the side the arc is to take
// chooses between the arc from start to end and its complement.

#include "display/outdev_screen.h"
#include "display/view.h"
#include "model/geom.h"
#include "model/nls.h"
#include "tools/curve_tools.h"
#include "tools/tool_common.h"

namespace {

// The arc from the start to the end point, while the side is asked.
CurveShape arc;

void xor_curve(const CurveShape& c) {
  draw_xor_ellipse_arc(c.cx, c.cy, c.rx, c.ry, c.sweep, c.start, c.rotation);
}

void preview_circle_arc_start(InputRequest* r, double x, double y) {
  xor_curve(curve_circle(r->x[0], r->y[0], x, y));
}

// The circle through the start point with its radius to the start point and
// one of the same length towards (x, y).
void preview_end(const InputRequest* r, double x, double y) {
  const double mx = r->x[0], my = r->y[0];
  const CurveShape c = curve_circle(mx, my, r->x[1], r->y[1]);
  xor_curve(c);
  draw_xor_line(mx, my, r->x[1], r->y[1]);
  const double a = geom_angle(mx, my, x, y);
  const Point2 e = geom_rotated(mx, my, mx + c.rx, my, a);
  draw_xor_line(mx, my, e.x, e.y);
}

void preview_circle_arc_end(InputRequest* r, double x, double y) { preview_end(r, x, y); }

void preview_circle_arc_confirm(InputRequest* r, double, double) { preview_end(r, r->x[2], r->y[2]); }

void preview_circle_arc_direction(InputRequest*, double x, double y) {
  xor_curve(curve_arc_towards(arc, x, y));
}

}  // namespace

CurveShape curve_arc_by_centre(Point2 m, Point2 s, Point2 e) {
  const double r = geom_dist(m.x, m.y, s.x, s.y);
  const double a1 = geom_angle(m.x, m.y, s.x, s.y);
  double a2 = geom_angle(m.x, m.y, e.x, e.y);
  if (a1 > a2) a2 += GEOM_TWO_PI;
  return {m.x, m.y, r, r, a2 - a1, a1, 0.0};
}

CurveShape curve_arc_towards(const CurveShape& c, double dx, double dy) {
  geom_ellipse_arc_test(dx, dy, c.cx, c.cy, c.rx, c.ry, c.sweep, c.start, c.rotation);
  if (geo_result.arc_inside != 0.0) return c;
  CurveShape other = c;
  other.start = c.start + c.sweep;
  other.sweep = GEOM_TWO_PI - c.sweep;
  return other;
}

void tool_circle_arc() {
  InputRequest r;
  for (;;) {
    const int res = tool_ask(r, {{STEP_POINT, nls_mark("Center:")},
                                 {STEP_NEXT_POINT, nls_mark("Move/Start point:"), preview_circle_arc_start},
                                 {STEP_NEXT_POINT_3, nls_mark("Move/End point:"), preview_circle_arc_end},
                                 {STEP_CONFIRM, nls_mark("Move/Confirm:"), preview_circle_arc_confirm}});
    if (res != INPUT_DONE) return;
    arc = curve_arc_by_centre({r.x[0], r.y[0], 0}, {r.x[1], r.y[1], 0}, {r.x[2], r.y[2], 0});
    if (tool_ask(r, {{STEP_PICK, nls_mark("Direction:"), preview_circle_arc_direction}}) != INPUT_DONE)
      return;
    if (arc.rx <= CURVE_MIN_ARC_RADIUS || !curve_has_size(arc)) continue;
    curve_create(curve_arc_towards(arc, r.x[0], r.y[0]));
  }
}
