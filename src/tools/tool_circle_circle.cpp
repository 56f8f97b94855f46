// Circles by centre and radius: the centre is confirmed first, then the
// radius is typed or given by a point on the circle.

#include <cmath>

#include "display/draw.h"
#include "display/outdev_screen.h"
#include "model/geom.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/settings.h"
#include "model/undo.h"
#include "tools/curve_tools.h"
#include "tools/tool_common.h"

namespace {

// The centre of the circle being drawn.
Point2 centre;

void preview_circle(double px, double py) {
  const CurveShape c = curve_circle(centre.x, centre.y, px, py);
  draw_xor_ellipse_arc(c.cx, c.cy, c.rx, c.ry, c.sweep, c.start, c.rotation);
}

void preview_circle_circle(InputRequest*, double x, double y) { preview_circle(x, y); }

void preview_circle_circle_confirm(InputRequest* r, double, double) { preview_circle(r->x[0], r->y[0]); }

}  // namespace

bool curve_has_size(const CurveShape& c) {
  // A typed radius may be anything; infinite or undefined ones make nothing.
  for (double v : {c.cx, c.cy, c.rx, c.ry, c.sweep, c.start, c.rotation})
    if (!std::isfinite(v)) return false;
  return c.rx > CURVE_MIN_RADIUS && c.ry > CURVE_MIN_RADIUS;
}

void curve_create(const CurveShape& c) {
  elem_new_arc(cur_layer, tool_pen(), cur_line_type, c.cx, c.cy, c.rx, c.ry, c.sweep, c.start, c.rotation);
  ElemHeader* e = elem_list_tail;
  undo_record(UNDO_CREATED, 1);
  ToolCursorOff off;
  draw_element(DRAW_NORMAL, e);
}

CurveShape curve_circle(double cx, double cy, double px, double py) {
  const double r = geom_dist(cx, cy, px, py);
  return {cx, cy, r, r, GEOM_TWO_PI, 0.0, 0.0};
}

CurveShape curve_of(const ArcElem& a) {
  return {a.centre.x, a.centre.y, a.radius_x, a.radius_y, a.sweep, a.start, a.rotation};
}

void tool_circle_circle() {
  InputRequest r;
  for (;;) {
    if (tool_ask(r, {{STEP_POINT, nls_mark("Center:")}, {STEP_CONFIRM, nls_mark("Move/Confirm:")}}) !=
        INPUT_DONE)
      return;
    centre = {r.x[0], r.y[0], 0};
    const int res =
        tool_ask(r, {{STEP_POINT_OR_LENGTH, nls_mark("Radius/Circle point:"), preview_circle_circle},
                     {STEP_CONFIRM, nls_mark("Move/Confirm:"), preview_circle_circle_confirm}});
    CurveShape c;
    if (res == INPUT_DONE)
      c = curve_circle(centre.x, centre.y, r.x[0], r.y[0]);
    else if (res == INPUT_VALUE)
      c = {centre.x, centre.y, r.length, r.length, GEOM_TWO_PI, 0.0, 0.0};
    else
      return;
    if (curve_has_size(c)) curve_create(c);
  }
}
