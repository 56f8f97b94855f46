// Lines at a fixed angle: the angle is typed or shown by two points once,
// then each line gets a start point and a typed length or an end point,
// which is brought onto the line through the start point at the angle.

#include <cmath>

#include "display/draw.h"
#include "display/view.h"
#include "model/geom.h"
#include "model/nls.h"
#include "model/undo.h"
#include "tools/line_tools.h"
#include "tools/tool_common.h"

namespace {

// The run's angle and the start point of the line being drawn.
double fixed_angle = 0.0;
Point2 start;

void preview_line_a(InputRequest*, double x, double y) {
  const Point2 e = line_angle_end_at(start.x, start.y, fixed_angle, x, y);
  draw_xor_line(start.x, start.y, e.x, e.y);
}

void preview_line_a_confirm(InputRequest* r, double, double) { preview_line_a(r, r->x[0], r->y[0]); }

}  // namespace

Point2 line_angle_end_by_length(double sx, double sy, double angle, double length) {
  return {sx + length * std::cos(angle), sy + length * std::sin(angle), 0};
}

Point2 line_angle_end_at(double sx, double sy, double angle, double px, double py) {
  return geom_foot(px, py, sx, sy, sx + 100.0 * std::cos(angle), sy + 100.0 * std::sin(angle));
}

void tool_line_a() {
  InputRequest r;
  const std::optional<double> angle = tool_ask_direction(r);
  if (!angle) return;
  fixed_angle = *angle;
  for (;;) {
    if (tool_ask(r, {{STEP_POINT, nls_mark("Start point:")}, {STEP_CONFIRM, nls_mark("Move/Confirm:")}}) !=
        INPUT_DONE)
      return;
    start = {r.x[0], r.y[0], 0};
    const int pen = tool_pen();
    const int res = tool_ask(r, {{STEP_POINT_OR_LENGTH, nls_mark("Length/End point:"), preview_line_a},
                                 {STEP_CONFIRM, nls_mark("Move/Confirm:"), preview_line_a_confirm}});
    Point2 end;
    if (res == INPUT_VALUE)
      end = line_angle_end_by_length(start.x, start.y, fixed_angle, r.length);
    else if (res == INPUT_DONE)
      end = line_angle_end_at(start.x, start.y, fixed_angle, r.x[0], r.y[0]);
    else
      return;
    ElemHeader* line = tool_new_line(pen, start.x, start.y, end.x, end.y);
    undo_record(UNDO_CREATED, 1);
    ToolCursorOff off;
    draw_element(DRAW_NORMAL, line);
  }
}
