// Boxes over a plan rectangle between two heights.

#include <utility>

#include "building/solid_tools.h"
#include "building/tool_3d_common.h"
#include "display/view.h"
#include "model/geom.h"
#include "model/nls.h"
#include "model/settings.h"
#include "tools/tool_common.h"

namespace {

void preview_3d_cuboid(InputRequest* r, double x, double y) { draw_xor_rect(x, y, r->x[0], r->y[0]); }
void preview_3d_cuboid_confirm(InputRequest* r, double, double) {
  draw_xor_rect(r->x[0], r->y[0], r->x[1], r->y[1]);
}

// Asks "Height:" on top of zb; false when cancelled.
bool ask_height(InputRequest& r, double zb, double& zt) {
  if (tool_ask(r, {{STEP_LENGTH, nls_mark("Height:")}}) != INPUT_DONE) return false;
  zt = zb + r.length;
  return true;
}

}  // namespace

void tool_3d_cuboid() {
  InputRequest r;
  for (;;) {
    for (int k = 0; k < 2; ++k) r.x[k] = r.y[k] = r.z[k] = 0.0;
    const bool plan = solid_plan_view();
    if (tool_ask(
            r, {{STEP_POINT, nls_mark("1st Corner point:")},
                {STEP_NEXT_POINT, nls_mark("Move XYZ/2nd Corner point:"), plan ? preview_3d_cuboid : nullptr},
                {STEP_CONFIRM, nls_mark("Move XYZ/Confirm:"), plan ? preview_3d_cuboid_confirm : nullptr}}) !=
        INPUT_DONE)
      return;
    input_normalize_corners(&r);
    const double x0 = r.x[0], y0 = r.y[0], x1 = r.x[1], y1 = r.y[1];
    double zb = r.z[0], zt = r.z[1];
    if (plan) {
      if (geom_eq(zb, 0.0) && geom_eq(zt, 0.0)) {
        if (tool_ask(r, {{STEP_LENGTH, nls_mark("Base:")}}) != INPUT_DONE) return;
        zb = r.length;
        if (!ask_height(r, zb, zt)) return;
      }
    } else if (geom_eq(zb, zt)) {
      if (!ask_height(r, zb, zt)) return;
    }
    if (zt < zb) std::swap(zb, zt);
    solid_append(solid_cuboid(x0, y0, x1, y1, zb, zt), cur_pen, 0);
  }
}
