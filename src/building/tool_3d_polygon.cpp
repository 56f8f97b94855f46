// Flat 3D polygons: a mesh of two faces, one in each winding, so that it
// shows from both sides.

#include "building/solid_tools.h"
#include "building/tool_3d_common.h"
#include "display/poly_input.h"
#include "model/nls.h"
#include "model/settings.h"
#include "tools/tool_common.h"

namespace {

// One polygon in the plan view, at the height of its first point or at a
// typed base; false when cancelled.
bool plan_pass(InputRequest& r) {
  int count = 0;
  do {
    count = input_polygon();
    if (count == POLY_INPUT_CANCELLED) return false;
  } while (count < 3);
  std::vector<Point2> plan(poly_input.points.begin(), poly_input.points.begin() + (count - 1));
  double z = poly_input.z;
  poly_input_free();
  if (z == 0.0) {
    if (tool_ask(r, {{STEP_LENGTH, nls_mark("Base:")}}) != INPUT_DONE) return false;
    z = r.length;
  }
  solid_orient_plan(plan);
  std::vector<Point3> pts;
  for (const Point2& p : plan) pts.push_back({p.x, p.y, z, 0});
  solid_append(solid_flat_polygon(pts), tool_pen(), 1);
  return true;
}

// One polygon in a 3D view, its points as entered.
bool view_pass() {
  int count = 0;
  do {
    count = input_polygon_simple();
    if (count == POLY_INPUT_CANCELLED) return false;
  } while (count < 3);
  std::vector<Point3> pts(poly_input.points3.begin(), poly_input.points3.begin() + (count - 1));
  poly_input_free();
  solid_append(solid_flat_polygon(pts), tool_pen(), 1);
  return true;
}

}  // namespace

void tool_3d_polygon() {
  InputRequest r;
  while (solid_plan_view() ? plan_pass(r) : view_pass()) {
  }
  poly_input_free();
}
