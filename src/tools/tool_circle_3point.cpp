// Circles and arcs through three points. The arc runs from the first point
// through the second to the third.

#include <optional>

#include "display/outdev_screen.h"
#include "model/geom.h"
#include "model/nls.h"
#include "tools/curve_tools.h"
#include "tools/tool_common.h"

namespace {

using Through = std::optional<CurveShape> (*)(Point2 p0, Point2 p1, Point2 p2);

void preview(const InputRequest* r, Through through, double x, double y) {
  const std::optional<CurveShape> c = through({r->x[0], r->y[0], 0}, {r->x[1], r->y[1], 0}, {x, y, 0});
  if (c) draw_xor_ellipse_arc(c->cx, c->cy, c->rx, c->ry, c->sweep, c->start, c->rotation);
}

void preview_circle_3point(InputRequest* r, double x, double y) { preview(r, curve_circle_through, x, y); }
void preview_circle_3point_confirm(InputRequest* r, double, double) {
  preview(r, curve_circle_through, r->x[2], r->y[2]);
}
void preview_circle_arc3point(InputRequest* r, double x, double y) { preview(r, curve_arc_through, x, y); }
void preview_circle_arc3point_confirm(InputRequest* r, double, double) {
  preview(r, curve_arc_through, r->x[2], r->y[2]);
}

void run_three_point_tool(Through through, InputPreviewFn third, InputPreviewFn confirm) {
  InputRequest r;
  for (;;) {
    const int res = tool_ask(r, {{STEP_POINT, nls_mark("1st Circle point:")},
                                 {STEP_NEXT_POINT, nls_mark("Move/2nd Circle point:")},
                                 {STEP_NEXT_POINT_3, nls_mark("Move/3rd Circle point:"), third},
                                 {STEP_CONFIRM, nls_mark("Move/Confirm:"), confirm}});
    if (res != INPUT_DONE) return;
    const std::optional<CurveShape> c =
        through({r.x[0], r.y[0], 0}, {r.x[1], r.y[1], 0}, {r.x[2], r.y[2], 0});
    if (c && curve_has_size(*c)) curve_create(*c);
  }
}

}  // namespace

std::optional<Point2> curve_centre_through(Point2 p0, Point2 p1, Point2 p2) {
  if (geom_dist(p0.x, p0.y, p1.x, p1.y) <= CURVE_MIN_POINT_DISTANCE ||
      geom_dist(p1.x, p1.y, p2.x, p2.y) <= CURVE_MIN_POINT_DISTANCE ||
      geom_dist(p2.x, p2.y, p0.x, p0.y) <= CURVE_MIN_POINT_DISTANCE)
    return std::nullopt;
  const double m01x = (p0.x + p1.x) / 2.0, m01y = (p0.y + p1.y) / 2.0;
  const double m12x = (p1.x + p2.x) / 2.0, m12y = (p1.y + p2.y) / 2.0;
  return geom_line_intersection(m01x, m01y, m01x - (p1.y - p0.y), m01y + (p1.x - p0.x), m12x, m12y,
                                m12x - (p2.y - p1.y), m12y + (p2.x - p1.x));
}

std::optional<CurveShape> curve_circle_through(Point2 p0, Point2 p1, Point2 p2) {
  const std::optional<Point2> m = curve_centre_through(p0, p1, p2);
  if (!m) return std::nullopt;
  return curve_circle(m->x, m->y, p1.x, p1.y);
}

std::optional<CurveShape> curve_arc_through(Point2 p0, Point2 p1, Point2 p2) {
  const std::optional<Point2> m = curve_centre_through(p0, p1, p2);
  if (!m) return std::nullopt;
  const double a1 = geom_angle(m->x, m->y, p0.x, p0.y);
  double a2 = geom_angle(m->x, m->y, p2.x, p2.y);
  if (a1 > a2) a2 += GEOM_TWO_PI;
  const double r = geom_dist(m->x, m->y, p1.x, p1.y);
  CurveShape c{m->x, m->y, r, r, a2 - a1, a1, 0.0};
  geom_ellipse_arc_test(p1.x, p1.y, c.cx, c.cy, c.rx, c.ry, c.sweep, c.start, c.rotation);
  if (geo_result.arc_inside == 0.0) {
    // The other way round: counter-clockwise from the third point to the first.
    c.sweep = GEOM_TWO_PI - c.sweep;
    c.start = a1 - c.sweep;
  }
  return c;
}

void tool_circle_3point() {
  run_three_point_tool(curve_circle_through, preview_circle_3point, preview_circle_3point_confirm);
}

void tool_circle_arc3point() {
  run_three_point_tool(curve_arc_through, preview_circle_arc3point, preview_circle_arc3point_confirm);
}
