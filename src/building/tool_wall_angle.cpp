// Walls in one fixed direction: the direction is typed or shown once, then
// each wall gets a start point and a typed length or an end point, which is
// brought onto the line through the start point in that direction.

#include <cmath>

#include "building/tool_wall_common.h"
#include "display/draw.h"
#include "display/view.h"
#include "model/geom.h"
#include "model/nls.h"
#include "model/presets.h"
#include "model/undo.h"
#include "tools/tool_common.h"

namespace {

// The run's direction and the start point of the wall being drawn.
double direction = 0.0;
Point2 start;

void preview_end(Point2 e) {
  wall_xor_plan(wall_angle_plan(start, e, direction, wall_preset.thickness * 0.5));
}

void preview_wall_angle(InputRequest*, double x, double y) {
  preview_end(wall_angle_end_at(start.x, start.y, direction, x, y));
}
void preview_wall_angle_confirm(InputRequest* r, double, double) { preview_wall_angle(r, r->x[0], r->y[0]); }

}  // namespace

double wall_angle_direction(double typed) {
  double a = typed;
  geom_norm_angle(&a);
  return a >= GEOM_TWO_PI ? a - GEOM_TWO_PI : a;
}

Point2 wall_angle_end_by_length(double sx, double sy, double a, double length) {
  return {sx + length * std::cos(a), sy + length * std::sin(a), 0};
}

Point2 wall_angle_end_at(double sx, double sy, double a, double px, double py) {
  return geom_foot(px, py, sx, sy, sx + 100.0 * std::cos(a), sy + 100.0 * std::sin(a));
}

WallPlan wall_angle_plan(Point2 s, Point2 e, double a, double h) {
  const double dx = std::cos(a), dy = std::sin(a);
  // An end behind the start along the direction: number the wall from the
  // end, so that it still runs in the direction.
  if ((e.x - s.x) * dx + (e.y - s.y) * dy < 0.0) std::swap(s, e);
  const double rx = h * dy, ry = -h * dx;  // the right-hand normal
  return WallPlan{
      {{s.x + rx, s.y + ry, 0}, {e.x + rx, e.y + ry, 0}, {e.x - rx, e.y - ry, 0}, {s.x - rx, s.y - ry, 0}}};
}

void tool_wall_angle() {
  InputRequest r;
  const std::optional<double> a = tool_ask_direction(r);
  if (!a) return;
  direction = wall_angle_direction(*a);
  for (;;) {
    if (tool_ask(r, {{STEP_POINT, nls_mark("Start point:")}, {STEP_CONFIRM, nls_mark("Move/Confirm:")}}) !=
        INPUT_DONE)
      return;
    start = {r.x[0], r.y[0], 0};
    const int res = tool_ask(r, {{STEP_POINT_OR_LENGTH, nls_mark("Length/End point:"), preview_wall_angle},
                                 {STEP_CONFIRM, nls_mark("Move/Confirm:"), preview_wall_angle_confirm}});
    Point2 end;
    if (res == INPUT_VALUE)
      end = wall_angle_end_by_length(start.x, start.y, direction, r.length);
    else if (res == INPUT_DONE)
      end = wall_angle_end_at(start.x, start.y, direction, r.x[0], r.y[0]);
    else
      return;
    if (wall_preset.thickness == 0.0) {
      wall_show_no_thickness();
      continue;
    }
    wall_create(wall_angle_plan(start, end, direction, wall_preset.thickness * 0.5),
                elem_pen_or_guide(static_cast<unsigned>(wall_preset.pen)));
    undo_record(UNDO_CREATED, 1);
    ToolCursorOff off;
    draw_last_element(DRAW_NORMAL);
  }
}
