// Walls by rectangle (the shorter side is the thickness) and walls centred
// on an axis line with the preset's thickness.

#include <cmath>

#include "building/tool_wall_common.h"
#include "display/draw.h"
#include "display/view.h"
#include "model/elem.h"
#include "model/nls.h"
#include "model/presets.h"
#include "model/undo.h"
#include "model/wall_outline.h"
#include "tools/tool_common.h"

namespace {

void preview_wall_wall(InputRequest* r, double x, double y) { draw_xor_rect(r->x[0], r->y[0], x, y); }
void preview_wall_wall_confirm(InputRequest* r, double, double) {
  draw_xor_rect(r->x[0], r->y[0], r->x[1], r->y[1]);
}

void preview_wall_axis(InputRequest* r, double x, double y) {
  wall_xor_plan(wall_axis_plan(r->x[0], r->y[0], x, y, wall_preset.thickness * 0.5));
}
void preview_wall_axis_confirm(InputRequest* r, double, double) { preview_wall_axis(r, r->x[1], r->y[1]); }

// Appends the wall, records it as one undo step and draws it.
void create_and_draw(const WallPlan& p) {
  wall_create(p, elem_pen_or_guide(static_cast<unsigned>(wall_preset.pen)));
  undo_record(UNDO_CREATED, 1);
  ToolCursorOff off;
  draw_last_element(DRAW_NORMAL);
}

// Asks for two points until cancelled; make gives the wall's plan, or
// nothing when the wall would have no thickness.
template <class Make>
void run_two_point_tool(const char* first, const char* second, InputPreviewFn move, InputPreviewFn confirm,
                        Make make) {
  InputRequest r;
  for (;;) {
    const int res = tool_ask(r, {{STEP_POINT, first},
                                 {STEP_NEXT_POINT, second, move},
                                 {STEP_CONFIRM, nls_mark("Move/Confirm:"), confirm}});
    if (res != INPUT_DONE) return;
    if (const std::optional<WallPlan> p = make(r))
      create_and_draw(*p);
    else
      wall_show_no_thickness();
  }
}

}  // namespace

std::optional<WallPlan> wall_rect_plan(double x0, double y0, double x1, double y1) {
  if (x0 > x1) std::swap(x0, x1);
  if (y0 > y1) std::swap(y0, y1);
  if (x0 == x1 || y0 == y1) return std::nullopt;
  if (x1 - x0 > y1 - y0) return WallPlan{{{x0, y0, 0}, {x1, y0, 0}, {x1, y1, 0}, {x0, y1, 0}}};
  return WallPlan{{{x1, y0, 0}, {x1, y1, 0}, {x0, y1, 0}, {x0, y0, 0}}};
}

WallPlan wall_axis_plan(double sx, double sy, double ex, double ey, double h) {
  wall_corners_from_axis(sx, sy, ex, ey, h);
  WallPlan p;
  for (int i = 0; i < 4; ++i) p.c[i] = {wall_corner_bank[2 * i], wall_corner_bank[2 * i + 1], 0};
  return p;
}

void tool_wall_wall() {
  run_two_point_tool(nls_mark("1st Corner point:"), nls_mark("Move/2nd Corner point:"), preview_wall_wall,
                     preview_wall_wall_confirm, [](InputRequest& r) {
                       input_normalize_corners(&r);
                       return wall_rect_plan(r.x[0], r.y[0], r.x[1], r.y[1]);
                     });
}

void tool_wall_axis() {
  run_two_point_tool(nls_mark("Start point:"), nls_mark("Move/End point:"), preview_wall_axis,
                     preview_wall_axis_confirm, [](InputRequest& r) -> std::optional<WallPlan> {
                       // A wall of no length is made all the same; one of no thickness is not.
                       if (wall_preset.thickness == 0.0) return std::nullopt;
                       return wall_axis_plan(r.x[0], r.y[0], r.x[1], r.y[1], wall_preset.thickness * 0.5);
                     });
}
