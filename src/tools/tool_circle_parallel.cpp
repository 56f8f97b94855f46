// Concentric copies at a distance asked once: each one needs a pick of its
// circle, arc or ellipse and a click on the side it goes to.

#include "display/outdev_screen.h"
#include "display/pick.h"
#include "model/geom.h"
#include "model/nls.h"
#include "tools/curve_tools.h"
#include "tools/tool_common.h"

namespace {

// The run's distance and the picked curve of the copy being made.
double distance = 0.0;
CurveShape picked_curve;

void preview_circle_parallel(InputRequest*, double x, double y) {
  const std::optional<CurveShape> c = curve_offset(picked_curve, distance, x, y);
  if (c) draw_xor_ellipse_arc(c->cx, c->cy, c->rx, c->ry, c->sweep, c->start, c->rotation);
}

}  // namespace

ElemHeader* curve_pick(double x, double y) {
  ElemHeader* e = pick_nearest_element(x, y, PICK_ANY_VISIBLE);
  return elem_as<ArcElem>(e) ? e : nullptr;
}

std::optional<CurveShape> curve_offset(const CurveShape& c, double d, double px, double py) {
  // Inside or outside by the x radius alone: an ellipse's offset is taken as
  // the concentric ellipse with both radii changed by d.
  const double change = geom_dist(px, py, c.cx, c.cy) < c.rx ? -d : d;
  CurveShape out = c;
  out.rx += change;
  out.ry += change;
  if (!curve_has_size(out)) return std::nullopt;
  return out;
}

void tool_circle_parallel() {
  InputRequest r;
  if (tool_ask(r, {{STEP_LENGTH, nls_mark("Distance:")}}) != INPUT_DONE) return;
  distance = r.length;
  for (;;) {
    ElemHeader* picked = tool_pick_until(r, nls_mark("Initial Circle/Arc:"), curve_pick);
    if (!picked) return;
    picked_curve = curve_of(*elem_as<ArcElem>(picked));
    ToolHighlight lit(picked);
    if (tool_ask(r, {{STEP_PICK, nls_mark("Select side:"), preview_circle_parallel}}) != INPUT_DONE) return;
    if (const std::optional<CurveShape> c = curve_offset(picked_curve, distance, r.x[0], r.y[0]))
      curve_create(*c);
  }
}
