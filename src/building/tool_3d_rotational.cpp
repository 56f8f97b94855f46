// Tubes, cones and cut cones. In the plan view each solid stands upright on
// a clicked centre with its radii, base, height and divisions asked per
// solid; in a 3D view the radii and divisions are asked once and each solid
// runs between two entered points.

#include "building/solid_tools.h"
#include "building/tool_3d_common.h"
#include "model/geom.h"
#include "model/nls.h"
#include "tools/tool_common.h"

namespace {

enum class Kind { tube, cone, cutcone };

// A radius as the plan distance of a point from solid_centre or a typed
// length; false when cancelled.
bool ask_radius(InputRequest& r, const char* prompt, double& radius) {
  const bool plan = solid_plan_view();
  const int res = tool_ask(
      r, {{STEP_POINT_OR_LENGTH, prompt, plan ? preview_3d_radius : nullptr},
          {STEP_CONFIRM, nls_mark("Move XYZ/Confirm:"), plan ? preview_3d_radius_confirm : nullptr}});
  if (res == INPUT_DONE)
    radius = geom_dist(solid_centre.x, solid_centre.y, r.x[0], r.y[0]);
  else if (res == INPUT_VALUE)
    radius = r.length;
  else
    return false;
  return true;
}

bool ask_divisions(InputRequest& r, int& n) {
  if (tool_ask(r, {{STEP_INTEGER, nls_mark("Number of divisions:")}}) != INPUT_DONE) return false;
  n = solid_clamp_divisions(r.integer);
  return true;
}

bool ask_length(InputRequest& r, const char* prompt, double& value) {
  if (tool_ask(r, {{STEP_LENGTH, prompt}}) != INPUT_DONE) return false;
  value = r.length;
  return true;
}

const char* base_radius_prompt(Kind kind) {
  return kind == Kind::cutcone ? nls_mark("Base Radius:") : nls_mark("Radius/Circle point:");
}

// One solid in the plan view; false when the tool ends.
bool plan_pass(InputRequest& r, Kind kind) {
  for (;;) {
    if (tool_ask(r, {{STEP_POINT, nls_mark("Center:")}, {STEP_CONFIRM, nls_mark("Move XYZ/Confirm:")}}) !=
        INPUT_DONE)
      return false;
    solid_centre = {r.x[0], r.y[0], r.z[0], 0};
    if (!ask_radius(r, base_radius_prompt(kind), solid_radius)) return false;
    solid_top_radius = kind == Kind::tube ? solid_radius : 0.0;
    if (solid_radius > 1e-7) break;
  }
  if (kind == Kind::cutcone && !ask_radius(r, nls_mark("Top Radius:"), solid_top_radius)) return false;
  if (solid_centre.z == 0.0 && !ask_length(r, nls_mark("Base:"), solid_centre.z)) return false;
  double height = 0.0;
  if (!ask_length(r, nls_mark("Height:"), height)) return false;
  solid_top = {solid_centre.x, solid_centre.y, solid_centre.z + height, 0};
  int n = 0;
  if (!ask_divisions(r, n)) return false;
  solid_add_frustum(solid_centre, solid_top, solid_radius, solid_top_radius, n);
  return true;
}

void run_in_view(InputRequest& r, Kind kind) {
  if (kind == Kind::cutcone) {
    if (!ask_length(r, nls_mark("Base Radius:"), solid_radius)) return;
    if (!ask_length(r, nls_mark("Top Radius:"), solid_top_radius)) return;
  } else {
    if (!ask_length(r, nls_mark("Radius:"), solid_radius)) return;
    solid_top_radius = kind == Kind::tube ? solid_radius : 0.0;
  }
  int n = 0;
  if (!ask_divisions(r, n)) return;
  for (;;) {
    if (tool_ask(r, {{STEP_POINT, nls_mark("Start point:")},
                     {STEP_NEXT_POINT, nls_mark("Move XYZ/End point:"), preview_3d_line},
                     {STEP_CONFIRM, nls_mark("Move XYZ/Confirm:"), preview_3d_line_confirm}}) != INPUT_DONE)
      return;
    solid_centre = {r.x[0], r.y[0], r.z[0], 0};
    solid_top = {r.x[1], r.y[1], r.z[1], 0};
    solid_add_frustum(solid_centre, solid_top, solid_radius, solid_top_radius, n);
  }
}

void run(Kind kind) {
  InputRequest r;
  if (!solid_plan_view()) return run_in_view(r, kind);
  while (plan_pass(r, kind)) {
  }
}

}  // namespace

void tool_3d_tube() { run(Kind::tube); }
void tool_3d_cone() { run(Kind::cone); }
void tool_3d_cutcone() { run(Kind::cutcone); }
