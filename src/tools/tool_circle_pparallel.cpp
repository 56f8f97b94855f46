// Concentric copies through points: the circle, arc or ellipse is picked
// once, then every point given gets a copy through it with the same axis
// ratio.

#include "display/outdev_screen.h"
#include "model/geom.h"
#include "model/nls.h"
#include "tools/curve_tools.h"
#include "tools/tool_common.h"

namespace {

// The picked curve of the run.
CurveShape picked_curve;

void preview(double x, double y) {
  const std::optional<CurveShape> c = curve_through(picked_curve, x, y);
  if (c) draw_xor_ellipse_arc(c->cx, c->cy, c->rx, c->ry, c->sweep, c->start, c->rotation);
}

void preview_circle_pparallel(InputRequest*, double x, double y) { preview(x, y); }

void preview_circle_pparallel_confirm(InputRequest* r, double, double) { preview(r->x[0], r->y[0]); }

}  // namespace

std::optional<CurveShape> curve_through(const CurveShape& c, double px, double py) {
  if (!(c.rx > CURVE_MIN_PICKED_RADIUS)) return std::nullopt;
  CurveShape out = c;
  out.rx = geom_dist(px, py, c.cx, c.cy);
  out.ry = out.rx * c.ry / c.rx;
  if (!curve_has_size(out)) return std::nullopt;
  return out;
}

void tool_circle_pparallel() {
  InputRequest r;
  ElemHeader* picked = tool_pick_until(r, nls_mark("Initial Circle/Arc:"), curve_pick);
  if (!picked) return;
  picked_curve = curve_of(*elem_as<ArcElem>(picked));
  for (;;) {
    const int res =
        tool_ask(r, {{STEP_POINT, nls_mark("Through point:"), preview_circle_pparallel},
                     {STEP_CONFIRM, nls_mark("Move/Confirm:"), preview_circle_pparallel_confirm}});
    if (res != INPUT_DONE) return;
    if (const std::optional<CurveShape> c = curve_through(picked_curve, r.x[0], r.y[0])) curve_create(*c);
  }
}
