// Spheres of 24 segments and 12 rings about a clicked centre.

#include "building/solid_tools.h"
#include "building/tool_3d_common.h"
#include "model/geom.h"
#include "model/nls.h"
#include "model/settings.h"
#include "tools/tool_common.h"

namespace {

// One sphere; false when the tool ends.
bool pass(InputRequest& r) {
  const bool plan = solid_plan_view();
  do {
    if (tool_ask(r, {{STEP_POINT, nls_mark("Center:")}, {STEP_CONFIRM, nls_mark("Move XYZ/Confirm:")}}) !=
        INPUT_DONE)
      return false;
    solid_centre = {r.x[0], r.y[0], r.z[0], 0};
    const int res = tool_ask(
        r, {{STEP_POINT_OR_LENGTH, nls_mark("Radius/Circle point:"), plan ? preview_3d_radius : nullptr},
            {STEP_CONFIRM, nls_mark("Move XYZ/Confirm:"), plan ? preview_3d_radius_confirm : nullptr}});
    if (res == INPUT_DONE)
      solid_radius = geom_dist(solid_centre.x, solid_centre.y, r.x[0], r.y[0]);
    else if (res == INPUT_VALUE)
      solid_radius = r.length;
    else
      return false;
  } while (!(solid_radius > 1e-7));
  if (solid_centre.z == 0.0) {
    if (tool_ask(r, {{STEP_LENGTH, nls_mark("Base:")}}) != INPUT_DONE) return false;
    solid_centre.z = r.length;
  }
  solid_append(solid_sphere(solid_centre, solid_radius), cur_pen, 0);
  return true;
}

}  // namespace

void tool_3d_sphere() {
  InputRequest r;
  while (pass(r)) {
  }
}
