// Ceiling slabs over entered outlines.

#include "building/solid/archgen_mesh.h"
#include "building/tool_3d_common.h"
#include "building/tool_unit_common.h"
#include "building/unit_tools.h"
#include "display/poly_input.h"
#include "model/nls.h"
#include "model/settings.h"

void tool_unit_ceiling() {
  double base = 0.0, height = 0.0;
  if (!archgen_ask_real(nls_mark("Base:"), base)) return;
  if (!archgen_ask_real(nls_mark("Height:"), height)) return;
  for (;;) {
    const int count = input_polygon();
    if (count == POLY_INPUT_CANCELLED) break;
    // An outline closed with fewer than three points is asked again.
    if (count < 4) continue;
    std::vector<Point2> plan(poly_input.points.begin(), poly_input.points.begin() + (count - 1));
    poly_input_free();
    solid_append(archgen_ceiling(std::move(plan), base, base + height), cur_pen, 0);
  }
  poly_input_free();
}
