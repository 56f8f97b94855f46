// Single lines from a start point to an end point, and the same with the
// line held horizontal or vertical through the start point.

#include "display/draw.h"
#include "display/view.h"
#include "model/nls.h"
#include "model/undo.h"
#include "tools/line_tools.h"
#include "tools/tool_common.h"

namespace {

// Where the line from point 0 ends for an end point (x, y).
using EndRule = Point2 (*)(const InputRequest& r, double x, double y);

Point2 free_end(const InputRequest&, double x, double y) { return {x, y, 0}; }
Point2 horizontal_end(const InputRequest& r, double x, double) { return {x, r.y[0], 0}; }
Point2 vertical_end(const InputRequest& r, double, double y) { return {r.x[0], y, 0}; }

void preview(const InputRequest* r, EndRule rule, double x, double y) {
  const Point2 e = rule(*r, x, y);
  draw_xor_line(r->x[0], r->y[0], e.x, e.y);
}

void run_two_point_tool(EndRule rule, InputPreviewFn move, InputPreviewFn confirm) {
  InputRequest r;
  for (;;) {
    const int res = tool_ask(r, {{STEP_POINT, nls_mark("Start point:")},
                                 {STEP_NEXT_POINT, nls_mark("Move/End point:"), move},
                                 {STEP_CONFIRM, nls_mark("Move/Confirm:"), confirm}});
    if (res != INPUT_DONE) return;
    const Point2 e = rule(r, r.x[1], r.y[1]);
    ElemHeader* line = tool_new_line(tool_pen(), r.x[0], r.y[0], e.x, e.y);
    undo_record(UNDO_CREATED, 1);
    ToolCursorOff off;
    draw_element(DRAW_NORMAL, line);
  }
}

void preview_line_line(InputRequest* r, double x, double y) { preview(r, free_end, x, y); }
void preview_line_line_confirm(InputRequest* r, double, double) { preview(r, free_end, r->x[1], r->y[1]); }
void preview_line_x(InputRequest* r, double x, double y) { preview(r, horizontal_end, x, y); }
void preview_line_x_confirm(InputRequest* r, double, double) { preview(r, horizontal_end, r->x[1], r->y[1]); }
void preview_line_y(InputRequest* r, double x, double y) { preview(r, vertical_end, x, y); }
void preview_line_y_confirm(InputRequest* r, double, double) { preview(r, vertical_end, r->x[1], r->y[1]); }

}  // namespace

void tool_line_line() { run_two_point_tool(free_end, preview_line_line, preview_line_line_confirm); }
void tool_line_x() { run_two_point_tool(horizontal_end, preview_line_x, preview_line_x_confirm); }
void tool_line_y() { run_two_point_tool(vertical_end, preview_line_y, preview_line_y_confirm); }
