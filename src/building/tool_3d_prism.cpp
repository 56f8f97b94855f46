// Prisms over an entered polygon: in the plan view upright between a base
// and a typed height, in a 3D view perpendicular to the polygon's plane up
// to a typed height or to the plane through a given point.

#include <cstdio>

#include "building/solid_tools.h"
#include "building/tool_3d_common.h"
#include "display/poly_input.h"
#include "model/nls.h"
#include "model/settings.h"
#include "tools/tool_common.h"

namespace {

// Runs one outline input and reports its count on standard output.
int ask_outline(bool plan) {
  const int count = plan ? input_polygon() : input_polygon_simple();
  std::printf("%d\n", count);
  std::fflush(stdout);
  return count;
}

// One prism in the plan view; false when the tool ends.
bool plan_pass(InputRequest& r) {
  int count = 0;
  do {
    count = ask_outline(true);
    if (count == POLY_INPUT_CANCELLED) return false;
  } while (count < 3);
  std::vector<Point2> plan(poly_input.points.begin(), poly_input.points.begin() + (count - 1));
  double zb = poly_input.z;
  poly_input_free();
  if (zb == 0.0) {
    if (tool_ask(r, {{STEP_LENGTH, nls_mark("Base:")}}) != INPUT_DONE) return false;
    zb = r.length;
  }
  if (tool_ask(r, {{STEP_LENGTH, nls_mark("Height:")}}) != INPUT_DONE) return false;
  // A negative height puts the top below the base as it is.
  const double zt = zb + r.length;
  solid_orient_plan(plan);
  std::vector<Point3> bottom, top;
  for (const Point2& p : plan) {
    bottom.push_back({p.x, p.y, zb, 0});
    top.push_back({p.x, p.y, zt, 0});
  }
  solid_append(solid_prism(bottom, top), cur_pen, 0);
  return true;
}

// One prism in a 3D view; false when the tool ends.
bool view_pass(InputRequest& r) {
  int count = 0;
  do {
    count = ask_outline(false);
    if (count == POLY_INPUT_CANCELLED) return false;
  } while (count < 3);
  std::vector<Point3> bottom(poly_input.points3.begin(), poly_input.points3.begin() + (count - 1));
  poly_input_free();
  const int res = tool_ask(
      r, {{STEP_POINT_OR_LENGTH, nls_mark("Height:")}, {STEP_CONFIRM, nls_mark("Move XYZ/Confirm:")}});
  double h = 0.0;
  if (res == INPUT_VALUE)
    h = r.length;
  else if (res == INPUT_DONE)
    h = solid_prism_height_to(bottom, {r.x[0], r.y[0], r.z[0], 0});
  else
    return false;
  const std::vector<Point3> top = solid_prism_top(bottom, h);
  solid_append(solid_prism(bottom, top), cur_pen, 0);
  return true;
}

}  // namespace

void tool_3d_prism() {
  InputRequest r;
  while (solid_plan_view() ? plan_pass(r) : view_pass(r)) {
  }
  poly_input_free();
}
