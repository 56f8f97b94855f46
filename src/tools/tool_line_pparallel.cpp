// Parallels through points: the initial line (a line or a wall's base edge)
// is picked once, then every point given gets a parallel through it.

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

void preview(double x, double y) {
  const LineSegment p = line_parallel_through(edge, x, y);
  draw_xor_line(p.p1.x, p.p1.y, p.p2.x, p.p2.y);
}

void preview_line_pparallel(InputRequest*, double x, double y) { preview(x, y); }

void preview_line_pparallel_confirm(InputRequest* r, double, double) { preview(r->x[0], r->y[0]); }

}  // namespace

LineSegment line_parallel_through(const LineSegment& e, double px, double py) {
  const Point2 f = geom_foot(px, py, e.p1.x, e.p1.y, e.p2.x, e.p2.y);
  const double dx = px - f.x, dy = py - f.y;
  return {{e.p1.x + dx, e.p1.y + dy, 0}, {e.p2.x + dx, e.p2.y + dy, 0}};
}

void tool_line_pparallel() {
  InputRequest r;
  if (!tool_pick_until(r, nls_mark("Initial Line:"), pick_line_edge)) return;
  edge = {{picked_edge.x1, picked_edge.y1, 0}, {picked_edge.x2, picked_edge.y2, 0}};
  for (;;) {
    const int res = tool_ask(r, {{STEP_POINT, nls_mark("Through point:"), preview_line_pparallel},
                                 {STEP_CONFIRM, nls_mark("Move/Confirm:"), preview_line_pparallel_confirm}});
    if (res != INPUT_DONE) return;
    const LineSegment p = line_parallel_through(edge, r.x[0], r.y[0]);
    ToolCursorOff off;
    tool_new_line(tool_pen(), p.p1.x, p.p1.y, p.p2.x, p.p2.y);
    undo_record(UNDO_CREATED, 1);
    draw_last_element(DRAW_NORMAL);
  }
}
