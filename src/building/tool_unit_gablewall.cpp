// Gable walls by rectangle: the shorter side is the thickness, the gable
// rises over the length from the wall's top to the ridge.

#include "building/tool_unit_common.h"
#include "building/tool_wall_common.h"
#include "building/unit_tools.h"
#include "display/draw.h"
#include "display/view.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/presets.h"
#include "model/settings.h"
#include "model/undo.h"
#include "model/wall_outline.h"
#include "tools/tool_common.h"

namespace {

void preview_unit_gablewall(InputRequest* r, double x, double y) { draw_xor_rect(r->x[0], r->y[0], x, y); }
void preview_unit_gablewall_confirm(InputRequest* r, double, double) {
  draw_xor_rect(r->x[0], r->y[0], r->x[1], r->y[1]);
}

void create_and_draw(const GableWall& g) {
  double c[24];
  for (int i = 0; i < 8; ++i) {
    c[3 * i] = g.c.c[i].x;
    c[3 * i + 1] = g.c.c[i].y;
    c[3 * i + 2] = g.c.c[i].z;
  }
  WallSegment quad[4];
  wall_outline_quad(c[0], c[1], c[3], c[4], c[6], c[7], c[9], c[10], quad);
  elem_new_wall(cur_layer, tool_pen(), cur_line_type, c, 4, quad, 0, nullptr, material_preset.name.view(), 1,
                g.a.x, g.a.y, g.a.z, g.b.x, g.b.y, g.b.z);
  undo_record(UNDO_CREATED, 1);
  ToolCursorOff off;
  draw_last_element(DRAW_NORMAL);
}

}  // namespace

std::optional<GableWall> archgen_gable_wall(double x0, double y0, double x1, double y1, double base,
                                            double top, double ridge) {
  const std::optional<WallPlan> plan = wall_rect_plan(x0, y0, x1, y1);
  if (!plan) return std::nullopt;
  GableWall g;
  for (int i = 0; i < 4; ++i) {
    g.c.c[i] = {plan->c[i].x, plan->c[i].y, base, 0};
    g.c.c[i + 4] = {plan->c[i].x, plan->c[i].y, top, 0};
  }
  // Mid-length of face 0-1 and of face 2-3.
  const Point2* c = plan->c;
  g.a = {(c[0].x + c[1].x) / 2.0, (c[0].y + c[1].y) / 2.0, ridge, 0};
  g.b = {(c[2].x + c[3].x) / 2.0, (c[2].y + c[3].y) / 2.0, ridge, 0};
  return g;
}

void tool_unit_gablewall() {
  double base = 0.0, wall_height = 0.0, gable_height = 0.0;
  if (!archgen_ask_real(nls_mark("Base:"), base)) return;
  if (!archgen_ask_real(nls_mark("Height of wall:"), wall_height)) return;
  if (!archgen_ask_real(nls_mark("Height of gable wall:"), gable_height)) return;
  const double top = base + wall_height, ridge = top + gable_height;
  InputRequest r;
  for (;;) {
    if (tool_ask(r, {{STEP_POINT, nls_mark("1st Corner point:")},
                     {STEP_NEXT_POINT, nls_mark("Move/2nd Corner point:"), preview_unit_gablewall},
                     {STEP_CONFIRM, nls_mark("Move/Confirm:"), preview_unit_gablewall_confirm}}) !=
        INPUT_DONE)
      return;
    input_normalize_corners(&r);
    if (const std::optional<GableWall> g =
            archgen_gable_wall(r.x[0], r.y[0], r.x[1], r.y[1], base, top, ridge))
      create_and_draw(*g);
    else
      wall_show_no_thickness();
  }
}
