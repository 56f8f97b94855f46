// Cutting the selected lines where an infinite cutting line crosses them,
// and attaching the selected lines to an infinite boundary line. A guide
// line shows the picked line while the user selects.

#include "display/draw.h"
#include "display/pick.h"
#include "display/select.h"
#include "model/geom.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/undo.h"
#include "tools/tool_common.h"
#include "tools/trim_tools.h"

std::optional<Point2> line_cut_point(const LineSegment& cutter, const LineSegment& line) {
  const std::optional<Point2> i = geom_line_intersection(cutter.p1.x, cutter.p1.y, cutter.p2.x, cutter.p2.y,
                                                         line.p1.x, line.p1.y, line.p2.x, line.p2.y);
  if (!i) return std::nullopt;
  const double t = geom_projection(i->x, i->y, line.p1.x, line.p1.y, line.p2.x, line.p2.y).t;
  if (!(t > 0.0 && t < 1.0)) return std::nullopt;
  return i;
}

std::optional<LineSegment> line_attach_geometry(const LineSegment& boundary, const LineSegment& line) {
  const std::optional<Point2> i = geom_line_intersection(
      boundary.p1.x, boundary.p1.y, boundary.p2.x, boundary.p2.y, line.p1.x, line.p1.y, line.p2.x, line.p2.y);
  if (!i) return std::nullopt;
  const double t = geom_projection(i->x, i->y, line.p1.x, line.p1.y, line.p2.x, line.p2.y).t;
  if (!(t < 0.0 || t > 1.0)) return std::nullopt;
  LineSegment out = line;
  if (geom_dist(i->x, i->y, line.p2.x, line.p2.y) > geom_dist(i->x, i->y, line.p1.x, line.p1.y))
    out.p1 = *i;
  else
    out.p2 = *i;
  return out;
}

namespace {

// What one pass does to a marked line with the picked edge a - b; the
// line's mark is already cleared.
using LineAction = void (*)(LineElem& line, const LineSegment& edge, ToolRepair& repair);

void cut_one(LineElem& l, const LineSegment& cutter, ToolRepair& repair) {
  const std::optional<Point2> i = line_cut_point(cutter, {l.p1, l.p2});
  if (!i) return;
  repair.add(&l);
  draw_element(DRAW_ERASE, &l);
  elem_new_line(cur_layer, l.pen, l.line_type, i->x, i->y, l.p2.x, l.p2.y);
  ElemHeader* half = elem_list_tail;
  l.p2 = *i;
  elem_touch();
  undo_mark_element(half);
  draw_element(DRAW_NORMAL, &l);
  draw_element(DRAW_NORMAL, half);
  repair.add(half);
}

void attach_one(LineElem& l, const LineSegment& boundary, ToolRepair& repair) {
  const std::optional<LineSegment> s = line_attach_geometry(boundary, {l.p1, l.p2});
  if (!s) return;
  repair.add(&l);
  draw_element(DRAW_ERASE, &l);
  l.p1 = s->p1;
  l.p2 = s->p2;
  elem_touch();
  drawing_modified = 1;
  draw_element(DRAW_NORMAL, &l);
  repair.add(&l);
}

// Asks for an edge with the prompt, shows it and runs the selection; on OK acts on every
// marked line as one undo step. Returns false when the tool is to end.
bool edge_round(InputRequest& r, const char* prompt, LineAction act, bool again_when_cancelled) {
  ElemHeader* picked = tool_pick_until(r, prompt, pick_line_edge);
  if (!picked) return false;
  const LineSegment edge{{picked_edge.x1, picked_edge.y1, 0}, {picked_edge.x2, picked_edge.y2, 0}};
  ToolGuideLine guide(edge.p1, edge.p2, picked);
  if (select_elements(0) != 1) return again_when_cancelled && !tool_command_waits();
  // A window may have caught the guide line: it must not join the step.
  guide.elem()->mark = 0;
  undo_record(UNDO_CHANGE, 0);
  ToolRepair repair;
  {
    ToolCursorOff off;
    ElemHeader* it;
    for (ElemHeader* e = elem_first(&it); e; e = elem_next(&it)) {
      if (e->mark != 1) continue;
      e->mark = 0;
      draw_element(DRAW_NORMAL, e);
      if (auto* l = elem_as<LineElem>(e)) act(*l, edge, repair);
    }
  }
  repair.draw();
  return true;
}

}  // namespace

void tool_line_cut() {
  InputRequest r;
  while (edge_round(r, nls_mark("Select Line of interesection:"), cut_one, true)) {
  }
}

void tool_line_attach() {
  InputRequest r;
  while (edge_round(r, nls_mark("Select Line:"), attach_one, false)) {
  }
}
