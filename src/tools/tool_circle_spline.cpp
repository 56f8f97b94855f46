// Cubic Bezier splines: start and end point first, then the two control
// points, each shown on the curve as it will be.

#include "display/draw.h"
#include "display/outdev_screen.h"
#include "display/view.h"
#include "model/elem.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/settings.h"
#include "model/undo.h"
#include "tools/curve_tools.h"
#include "tools/tool_common.h"

namespace {

// Points 0 and 1 are the start and the end, 2 and 3 the control points.
void preview_circle_spline_end(InputRequest* r, double x, double y) { draw_xor_line(r->x[0], r->y[0], x, y); }

void preview_circle_spline_ctrl1(InputRequest* r, double x, double y) {
  draw_xor_bezier(r->x[0], r->y[0], x, y, r->x[1], r->y[1], r->x[1], r->y[1]);
}

void preview_circle_spline_ctrl2(InputRequest* r, double x, double y) {
  draw_xor_bezier(r->x[0], r->y[0], r->x[2], r->y[2], x, y, r->x[1], r->y[1]);
}

void preview_circle_spline_confirm(InputRequest* r, double, double) {
  draw_xor_bezier(r->x[0], r->y[0], r->x[2], r->y[2], r->x[3], r->y[3], r->x[1], r->y[1]);
}

}  // namespace

void tool_circle_spline() {
  InputRequest r;
  for (;;) {
    const int res =
        tool_ask(r, {{STEP_POINT, nls_mark("Start point:")},
                     {STEP_NEXT_POINT, nls_mark("Move/End point:"), preview_circle_spline_end},
                     {STEP_NEXT_POINT_3, nls_mark("Move/1st control point:"), preview_circle_spline_ctrl1},
                     {STEP_NEXT_POINT_4, nls_mark("Move/2nd control point:"), preview_circle_spline_ctrl2},
                     {STEP_CONFIRM, nls_mark("Move/Confirm:"), preview_circle_spline_confirm}});
    if (res != INPUT_DONE) return;
    elem_new_spline(cur_layer, tool_pen(), cur_line_type, r.x[0], r.y[0], r.x[2], r.y[2], r.x[3], r.y[3],
                    r.x[1], r.y[1]);
    ElemHeader* e = elem_list_tail;
    undo_record(UNDO_CREATED, 1);
    ToolCursorOff off;
    draw_element(DRAW_NORMAL, e);
  }
}
