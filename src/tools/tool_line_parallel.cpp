// Parallels at a distance asked once: each one needs a pick of its initial
// line (a line or a wall's base edge) and a click on the side it goes to.

#include <cmath>

#include "display/draw.h"
#include "display/pick.h"
#include "display/view.h"
#include "model/geom.h"
#include "model/nls.h"
#include "model/undo.h"
#include "tools/line_tools.h"
#include "tools/tool_common.h"

namespace {

// The run's distance and the picked edge of the parallel being drawn.
double distance = 0.0;
LineSegment edge;

void preview_line_parallel(InputRequest*, double x, double y) {
  const LineSegment p = line_parallel_at(edge, distance, x, y);
  draw_xor_line(p.p1.x, p.p1.y, p.p2.x, p.p2.y);
}

}  // namespace

LineSegment line_parallel_at(const LineSegment& e, double d, double cx, double cy) {
  // The left normal of the edge's direction.
  double n = geom_angle(e.p1.x, e.p1.y, e.p2.x, e.p2.y) + GEOM_PI / 2.0;
  if (n > GEOM_TWO_PI) n -= GEOM_TWO_PI;
  const double ox = d * std::cos(n), oy = d * std::sin(n);
  // Strictly nearer to the left offset point goes left; a tie goes right.
  const double left = geom_dist(cx, cy, e.p1.x + ox, e.p1.y + oy);
  const double right = geom_dist(cx, cy, e.p1.x - ox, e.p1.y - oy);
  const double s = left < right ? 1.0 : -1.0;
  return {{e.p1.x + s * ox, e.p1.y + s * oy, 0}, {e.p2.x + s * ox, e.p2.y + s * oy, 0}};
}

void tool_line_parallel() {
  InputRequest r;
  if (tool_ask(r, {{STEP_LENGTH, nls_mark("Distance:")}}) != INPUT_DONE) return;
  distance = r.length;
  for (;;) {
    ElemHeader* picked = tool_pick_until(r, nls_mark("Initial Line:"), pick_line_edge);
    if (!picked) return;
    edge = {{picked_edge.x1, picked_edge.y1, 0}, {picked_edge.x2, picked_edge.y2, 0}};
    ToolHighlight lit(picked);
    if (tool_ask(r, {{STEP_PICK, nls_mark("Select side:"), preview_line_parallel}}) != INPUT_DONE) return;
    const LineSegment p = line_parallel_at(edge, distance, r.x[0], r.y[0]);
    ToolCursorOff off;
    tool_new_line(tool_pen(), p.p1.x, p.p1.y, p.p2.x, p.p2.y);
    undo_record(UNDO_CREATED, 1);
    draw_last_element(DRAW_NORMAL);
  }
}
