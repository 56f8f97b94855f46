// Round and rectangular pillars standing on clicked positions.

#include "building/solid/archgen_mesh.h"
#include "building/tool_3d_common.h"
#include "building/tool_unit_common.h"
#include "building/unit_tools.h"
#include "display/outdev_screen.h"
#include "display/view.h"
#include "model/geom.h"
#include "model/nls.h"
#include "model/settings.h"
#include "tools/tool_common.h"

namespace {

// What the rubber bands draw: the round pillar's radius, the pillar's half
// width and half thickness.
double pillar_radius = 0.0;
double pillar_half_width = 0.0;
double pillar_half_thickness = 0.0;

// A round pillar of a smaller radius would have no size.
constexpr double MIN_RADIUS = 0.000001;

void preview_unit_rpillar(InputRequest*, double x, double y) {
  draw_xor_ellipse_arc(x, y, pillar_radius, pillar_radius, GEOM_TWO_PI, 0.0, 0.0);
}
void preview_unit_rpillar_confirm(InputRequest* r, double, double) {
  preview_unit_rpillar(r, r->x[0], r->y[0]);
}

void preview_unit_pillar(InputRequest*, double x, double y) {
  draw_xor_rect(x - pillar_half_width, y - pillar_half_thickness, x + pillar_half_width,
                y + pillar_half_thickness);
}
void preview_unit_pillar_confirm(InputRequest* r, double, double) {
  preview_unit_pillar(r, r->x[0], r->y[0]);
}

// Asks "Position:" until cancelled and appends make(x, y) for each position
// that make accepts.
template <class Make>
void place_each(InputPreviewFn move, InputPreviewFn confirm, Make make) {
  InputRequest r;
  for (;;) {
    if (tool_ask(r, {{STEP_POINT, nls_mark("Position:"), move},
                     {STEP_CONFIRM, nls_mark("Move/Confirm:"), confirm}}) != INPUT_DONE)
      return;
    make(r.x[0], r.y[0]);
  }
}

}  // namespace

void tool_unit_rpillar() {
  double diameter = 0.0, base = 0.0, height = 0.0;
  if (!archgen_ask_real(nls_mark("Diameter:"), diameter)) return;
  if (!archgen_ask_real(nls_mark("Base:"), base)) return;
  if (!archgen_ask_real(nls_mark("Height:"), height)) return;
  pillar_radius = diameter / 2.0;
  place_each(preview_unit_rpillar, preview_unit_rpillar_confirm, [&](double x, double y) {
    if (pillar_radius > MIN_RADIUS)
      solid_append(archgen_round_pillar(x, y, pillar_radius, base, base + height), cur_pen, 0);
  });
}

void tool_unit_pillar() {
  double width = 0.0, thickness = 0.0, base = 0.0, height = 0.0;
  if (!archgen_ask_real(nls_mark("Width:"), width)) return;
  if (!archgen_ask_real(nls_mark("Thickness:"), thickness)) return;
  if (!archgen_ask_real(nls_mark("Base:"), base)) return;
  if (!archgen_ask_real(nls_mark("Height:"), height)) return;
  pillar_half_width = width / 2.0;
  pillar_half_thickness = thickness / 2.0;
  place_each(preview_unit_pillar, preview_unit_pillar_confirm, [&](double x, double y) {
    solid_append(archgen_pillar(x, y, width, thickness, base, base + height), cur_pen, 0);
  });
}
