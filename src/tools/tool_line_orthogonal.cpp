// Perpendiculars: the initial line (a line or a wall's base edge) is picked
// once, then each perpendicular gets a through point, which fixes its foot
// on the initial line, and an end point, which is brought onto it.

#include "display/draw.h"
#include "display/pick.h"
#include "display/view.h"
#include "model/geom.h"
#include "model/nls.h"
#include "model/undo.h"
#include "tools/line_tools.h"
#include "tools/tool_common.h"

namespace {

// The initial line of the run. A copy: picked_edge belongs to whoever picks
// next, the intersection snap included.
LineSegment edge;

void preview(double tx, double ty, double ex, double ey) {
  const LineSegment p = line_perpendicular(edge, tx, ty, ex, ey);
  draw_xor_line(p.p1.x, p.p1.y, p.p2.x, p.p2.y);
}

void preview_line_orthogonal_through(InputRequest*, double x, double y) {
  const Point2 f = geom_foot(x, y, edge.p1.x, edge.p1.y, edge.p2.x, edge.p2.y);
  draw_xor_line(f.x, f.y, x, y);
}

void preview_line_orthogonal_end(InputRequest* r, double x, double y) { preview(r->x[0], r->y[0], x, y); }

void preview_line_orthogonal_confirm(InputRequest* r, double, double) {
  preview(r->x[0], r->y[0], r->x[1], r->y[1]);
}

}  // namespace

LineSegment line_perpendicular(const LineSegment& e, double tx, double ty, double ex, double ey) {
  const Point2 f = geom_foot(tx, ty, e.p1.x, e.p1.y, e.p2.x, e.p2.y);
  const double vx = e.p2.x - e.p1.x, vy = e.p2.y - e.p1.y;
  const Point2 g = geom_foot(ex, ey, f.x, f.y, f.x - vy, f.y + vx);
  return {f, g};
}

void tool_line_orthogonal() {
  InputRequest r;
  if (!tool_pick_until(r, nls_mark("Initial Line:"), pick_line_edge)) return;
  edge = {{picked_edge.x1, picked_edge.y1, 0}, {picked_edge.x2, picked_edge.y2, 0}};
  for (;;) {
    const int res = tool_ask(r, {{STEP_POINT, nls_mark("Through point:"), preview_line_orthogonal_through},
                                 {STEP_NEXT_POINT, nls_mark("Move/End point:"), preview_line_orthogonal_end},
                                 {STEP_CONFIRM, nls_mark("Move/Confirm:"), preview_line_orthogonal_confirm}});
    if (res != INPUT_DONE) return;
    const LineSegment p = line_perpendicular(edge, r.x[0], r.y[0], r.x[1], r.y[1]);
    ToolCursorOff off;
    tool_new_line(tool_pen(), p.p1.x, p.p1.y, p.p2.x, p.p2.y);
    undo_record(UNDO_CREATED, 1);
    draw_last_element(DRAW_NORMAL);
  }
}
