// Straight stairways between two points: the treads as boxes and the plan
// symbol (a small circle at the start, the walking line and an arrowhead at
// the end), all one undo step and one group.

#include "building/solid/archgen_mesh.h"
#include "building/tool_unit_common.h"
#include "building/unit_tools.h"
#include "display/draw.h"
#include "display/outdev_screen.h"
#include "display/view.h"
#include "model/geom.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/presets.h"
#include "model/settings.h"
#include "model/undo.h"
#include "tools/tool_common.h"

namespace {

// The radius of the circle that marks the start of the walking line.
constexpr double START_MARK_RADIUS = 0.05;

// The stairway's half width, for the rubber bands.
double stair_half_width = 0.0;

void xor_stair(double sx, double sy, double ex, double ey) {
  const ArchgenStairOutline o = archgen_stair_outline({sx, sy, 0}, {ex, ey, 0}, stair_half_width);
  for (int i = 0; i < 4; ++i)
    draw_xor_line(o.band[i].x, o.band[i].y, o.band[(i + 1) % 4].x, o.band[(i + 1) % 4].y);
  draw_xor_line(sx, sy, ex, ey);
  draw_xor_line(ex, ey, o.a1.x, o.a1.y);
  draw_xor_line(ex, ey, o.a2.x, o.a2.y);
  draw_xor_line(o.a1.x, o.a1.y, o.a2.x, o.a2.y);
  draw_xor_ellipse_arc(sx, sy, START_MARK_RADIUS, START_MARK_RADIUS, GEOM_TWO_PI, 0.0, 0.0);
}

void preview_unit_stairway(InputRequest* r, double x, double y) { xor_stair(r->x[0], r->y[0], x, y); }
void preview_unit_stairway_confirm(InputRequest* r, double, double) {
  xor_stair(r->x[0], r->y[0], r->x[1], r->y[1]);
}

void draw_new() {
  ToolCursorOff off;
  draw_last_element(DRAW_NORMAL);
}

// Appends the treads and the symbol, each drawn when made; returns how many
// elements were made.
int make_stairway(Point2 s, Point2 e, const ArchgenStair& stair) {
  int made = 0;
  for (const SolidMesh& m : archgen_stair_steps(s, e, stair)) {
    archgen_append(m, material_preset.name.view());
    ++made;
  }
  const ArchgenStairOutline o = archgen_stair_outline(s, e, stair.width / 2.0);
  elem_new_arc(cur_layer, cur_pen, cur_line_type, s.x, s.y, START_MARK_RADIUS, START_MARK_RADIUS, GEOM_TWO_PI,
               0.0, 0.0);
  draw_new();
  const Point2 lines[4][2] = {{s, e}, {e, o.a1}, {e, o.a2}, {o.a1, o.a2}};
  for (const auto& l : lines) {
    elem_new_line(cur_layer, cur_pen, cur_line_type, l[0].x, l[0].y, l[1].x, l[1].y);
    draw_new();
  }
  return made + 5;
}

}  // namespace

void tool_unit_stairway() {
  ArchgenStair stair;
  double height = 0.0;
  if (!archgen_ask_real(nls_mark("Width of stairway:"), stair.width)) return;
  if (!archgen_ask_real(nls_mark("Steps thickness:"), stair.thickness)) return;
  if (!archgen_ask_real(nls_mark("Nosing:"), stair.nosing)) return;
  if (!archgen_ask_int(nls_mark("Number of steps:"), stair.steps)) return;
  if (stair.steps > ARCHGEN_MAX_PARTS) return archgen_show_too_many_parts();
  if (!archgen_ask_real(nls_mark("Base:"), stair.base)) return;
  if (!archgen_ask_real(nls_mark("Height:"), height)) return;
  stair.top = stair.base + height;
  stair_half_width = stair.width / 2.0;
  InputRequest r;
  for (;;) {
    if (tool_ask(r, {{STEP_POINT, nls_mark("Start point:")},
                     {STEP_NEXT_POINT, nls_mark("Move/End point:"), preview_unit_stairway},
                     {STEP_CONFIRM, nls_mark("Move/Confirm:"), preview_unit_stairway_confirm}}) != INPUT_DONE)
      return;
    const int made = make_stairway({r.x[0], r.y[0], 0}, {r.x[1], r.y[1], 0}, stair);
    undo_record(UNDO_CREATED, made);
    group_last_created(made);
  }
}
