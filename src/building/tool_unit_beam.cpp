// Beams centred on a line between two points.

#include "building/solid/archgen_mesh.h"
#include "building/tool_3d_common.h"
#include "building/tool_unit_common.h"
#include "building/unit_tools.h"
#include "display/view.h"
#include "model/nls.h"
#include "model/settings.h"
#include "tools/tool_common.h"

namespace {

// The beam's half width, for the rubber bands.
double beam_half_width = 0.0;

void xor_quad(const ArchgenQuad& q) {
  for (int i = 0; i < 4; ++i) draw_xor_line(q[i].x, q[i].y, q[(i + 1) % 4].x, q[(i + 1) % 4].y);
}

void preview_unit_beam(InputRequest* r, double x, double y) {
  xor_quad(archgen_beam_corners({r->x[0], r->y[0], 0}, {x, y, 0}, beam_half_width));
}
void preview_unit_beam_confirm(InputRequest* r, double, double) { preview_unit_beam(r, r->x[1], r->y[1]); }

}  // namespace

void tool_unit_beam() {
  double width = 0.0, base = 0.0, height = 0.0;
  if (!archgen_ask_real(nls_mark("Width:"), width)) return;
  if (!archgen_ask_real(nls_mark("Base:"), base)) return;
  if (!archgen_ask_real(nls_mark("Height:"), height)) return;
  beam_half_width = width / 2.0;
  InputRequest r;
  for (;;) {
    if (tool_ask(r, {{STEP_POINT, nls_mark("Start point:")},
                     {STEP_NEXT_POINT, nls_mark("Move/End point:"), preview_unit_beam},
                     {STEP_CONFIRM, nls_mark("Move/Confirm:"), preview_unit_beam_confirm}}) != INPUT_DONE)
      return;
    solid_append(archgen_beam({r.x[0], r.y[0], 0}, {r.x[1], r.y[1], 0}, width, base, base + height), cur_pen,
                 0);
  }
}
