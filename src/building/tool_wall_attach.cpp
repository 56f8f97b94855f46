// Attaching walls to a boundary line: the end of each selected wall nearer
// the boundary is moved onto it, trimming or extending the wall. A guide
// line shows the boundary while the walls are selected.

#include "building/tool_wall_common.h"
#include "display/draw.h"
#include "display/pick.h"
#include "display/select.h"
#include "model/geom.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/undo.h"
#include "model/wall_outline.h"
#include "tools/tool_common.h"

namespace {

std::optional<Point2> cross(Point2 a, Point2 b, double x3, double y3, double x4, double y4) {
  return geom_line_intersection(a.x, a.y, b.x, b.y, x3, y3, x4, y4);
}

// Moves the ends of the selected walls onto the boundary; returns after
// the selection's marks are all cleared.
void attach_selected(Point2 a, Point2 b, WallTouchRepair& repair) {
  ToolCursorOff off;
  ElemHeader* it;
  for (ElemHeader* e = elem_first(&it); e; e = elem_next(&it)) {
    if (e->mark != 1) continue;
    e->mark = 0;
    draw_element(DRAW_NORMAL, e);
    auto* w = elem_as<WallElem>(e);
    if (!w || w->gable == 1) continue;
    const std::optional<WallEndMove> m = wall_attach_move(*w, a, b);
    if (!m) continue;
    repair.add(*w);
    draw_element(DRAW_ERASE, w);
    wall_move_end(*w, *m);
    repair.add(*w);
    draw_element(DRAW_NORMAL, w);
  }
}

}  // namespace

std::optional<WallEndMove> wall_attach_move(const WallElem& w, Point2 a, Point2 b) {
  const WallAxis ax = wall_axis(w);
  const std::optional<Point2> x = cross(a, b, ax.m0.x, ax.m0.y, ax.m1.x, ax.m1.y);
  if (!x) return std::nullopt;
  const double t = geom_projection(x->x, x->y, ax.m0.x, ax.m0.y, ax.m1.x, ax.m1.y).t;
  // The boundary crosses the wall between its end faces.
  if (t >= 0.0 && t <= 1.0) return std::nullopt;
  const Point3* c = w.corner;
  const std::optional<Point2> q1 = cross(a, b, c[0].x, c[0].y, c[1].x, c[1].y);
  const std::optional<Point2> q2 = cross(a, b, c[3].x, c[3].y, c[2].x, c[2].y);
  // A face need not run along the axis after earlier edits: without both
  // points the wall stays as it is.
  if (!q1 || !q2) return std::nullopt;
  const bool start = geom_dist(x->x, x->y, ax.m1.x, ax.m1.y) > geom_dist(x->x, x->y, ax.m0.x, ax.m0.y);
  return WallEndMove{start, *q1, *q2};
}

void tool_wall_attach() {
  InputRequest r;
  for (;;) {
    ElemHeader* picked = tool_pick_until(r, nls_mark("Select Line:"), pick_line_edge);
    if (!picked) return;
    const Point2 a{picked_edge.x1, picked_edge.y1, 0}, b{picked_edge.x2, picked_edge.y2, 0};
    elem_new_line(cur_layer, PEN_GUIDE, 0, a.x, a.y, b.x, b.y);
    ElemHeader* boundary = elem_list_tail;
    {
      ToolCursorOff off;
      draw_element(DRAW_NORMAL, boundary);
    }
    const bool confirmed = select_elements(0) == 1;
    // The boundary goes again at once: it must not come back with an undo.
    boundary->mark = 0;
    WallTouchRepair repair;
    if (confirmed) {
      // The joints of the walls whose ends move, taken while only those
      // are marked; the whole selection goes into the undo step.
      std::vector<ElemHeader*> selected;
      std::vector<WallElem*> moving;
      for (ElemHeader* e = elem_list_head; e; e = e->next) {
        if (e->mark != 1) continue;
        selected.push_back(e);
        auto* w = elem_as<WallElem>(e);
        if (w && w->gable != 1 && wall_attach_move(*w, a, b))
          moving.push_back(w);
        else
          e->mark = 0;
      }
      WallJointPlan joints = wall_joints_of_marked();
      for (ElemHeader* e : selected) e->mark = 1;
      undo_record(UNDO_CHANGE, 0);
      attach_selected(a, b, repair);
      wall_joints_settle(joints, moving, true);
      wall_joints_refit(joints);
      for (WallElem* w : moving) repair.add(*w);
    }
    {
      ToolCursorOff off;
      draw_element(DRAW_ERASE, boundary);
    }
    boundary->mark = 1;
    elem_purge_marked();
    {
      ToolCursorOff off;
      draw_element(DRAW_NORMAL, picked);
    }
    repair.draw_touching();
    if (!confirmed) return;
  }
}
