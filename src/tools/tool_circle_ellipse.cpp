// Axis-parallel ellipses: by centre and a corner of their bounding box, or
// inscribed in a frame given by two opposite corners.

#include <cmath>

#include "display/outdev_screen.h"
#include "model/geom.h"
#include "model/nls.h"
#include "tools/curve_tools.h"
#include "tools/tool_common.h"

namespace {

using Rule = CurveShape (*)(double x0, double y0, double x1, double y1);

void preview(Rule rule, const InputRequest* r, double x, double y) {
  const CurveShape c = rule(r->x[0], r->y[0], x, y);
  draw_xor_ellipse_arc(c.cx, c.cy, c.rx, c.ry, c.sweep, c.start, c.rotation);
}

void preview_circle_ellipsefame(InputRequest* r, double x, double y) {
  preview(curve_ellipse_in_frame, r, x, y);
}
void preview_circle_ellipsefame_confirm(InputRequest* r, double, double) {
  preview(curve_ellipse_in_frame, r, r->x[1], r->y[1]);
}
void preview_circle_ellipse(InputRequest* r, double x, double y) {
  preview(curve_ellipse_by_corner, r, x, y);
}
void preview_circle_ellipse_confirm(InputRequest* r, double, double) {
  preview(curve_ellipse_by_corner, r, r->x[1], r->y[1]);
}

void run_ellipse_tool(Rule rule, const char* first, const char* second, InputPreviewFn move,
                      InputPreviewFn confirm) {
  InputRequest r;
  for (;;) {
    const int res = tool_ask(r, {{STEP_POINT, first},
                                 {STEP_NEXT_POINT, second, move},
                                 {STEP_CONFIRM, nls_mark("Move/Confirm:"), confirm}});
    if (res != INPUT_DONE) return;
    // An ellipse without height or width would be a line that picking,
    // snapping and cutting cannot handle: nothing is made.
    const CurveShape c = rule(r.x[0], r.y[0], r.x[1], r.y[1]);
    if (curve_has_size(c)) curve_create(c);
  }
}

}  // namespace

CurveShape curve_ellipse_in_frame(double x0, double y0, double x1, double y1) {
  return {(x0 + x1) / 2.0,
          (y0 + y1) / 2.0,
          std::fabs(x1 - x0) / 2.0,
          std::fabs(y1 - y0) / 2.0,
          GEOM_TWO_PI,
          0.0,
          0.0};
}

CurveShape curve_ellipse_by_corner(double cx, double cy, double px, double py) {
  return {cx, cy, std::fabs(cx - px), std::fabs(cy - py), GEOM_TWO_PI, 0.0, 0.0};
}

void tool_circle_ellipsefame() {
  run_ellipse_tool(curve_ellipse_in_frame, nls_mark("1st Corner point:"), nls_mark("Move/2nd Corner point:"),
                   preview_circle_ellipsefame, preview_circle_ellipsefame_confirm);
}

void tool_circle_ellipse() {
  run_ellipse_tool(curve_ellipse_by_corner, nls_mark("Center:"), nls_mark("Move/Corner point:"),
                   preview_circle_ellipse, preview_circle_ellipse_confirm);
}
