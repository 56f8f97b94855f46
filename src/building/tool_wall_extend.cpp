// Extending a wall end to the nearest line or wall face ahead of it.

#include "building/tool_wall_common.h"
#include "display/draw.h"
#include "model/geom.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/undo.h"
#include "model/wall_outline.h"
#include "tools/tool_common.h"

namespace {

struct Target {
  Point2 a, b;
};

// The targets an element offers: a line itself, a wall both long faces.
int targets_of(const ElemHeader* e, Target out[2]) {
  if (const auto* l = elem_as<LineElem>(e)) {
    out[0] = {l->p1, l->p2};
    return 1;
  }
  if (const auto* w = elem_as<WallElem>(e)) {
    const Point3* c = w->corner;
    out[0] = {{c[0].x, c[0].y, 0}, {c[1].x, c[1].y, 0}};
    out[1] = {{c[2].x, c[2].y, 0}, {c[3].x, c[3].y, 0}};
    return 2;
  }
  return 0;
}

}  // namespace

std::optional<WallEndMove> wall_extend_move(const WallElem& w, Point2 p) {
  const WallAxis ax = wall_axis(w);
  const bool start = geom_projection(p.x, p.y, ax.m0.x, ax.m0.y, ax.m1.x, ax.m1.y).t < 0.5;
  // The axis oriented towards the picked end: parameter 1 lies there.
  const Point2 from = start ? ax.m1 : ax.m0, to = start ? ax.m0 : ax.m1;
  const Point3* c = w.corner;
  double best = 10000.0;
  std::optional<Point2> q1, q2;
  ElemHeader* it;
  for (ElemHeader* e = elem_first(&it); e; e = elem_next(&it)) {
    if (!layer_visible(e->layer)) continue;
    Target t[2];
    const int n = targets_of(e, t);
    for (int k = 0; k < n; ++k) {
      const std::optional<Point2> x =
          geom_line_intersection(from.x, from.y, to.x, to.y, t[k].a.x, t[k].a.y, t[k].b.x, t[k].b.y);
      if (!x) continue;
      const double u = geom_projection(x->x, x->y, t[k].a.x, t[k].a.y, t[k].b.x, t[k].b.y).t;
      if (!(u > TOL_PARAM_LOW && u < TOL_PARAM_HIGH)) continue;
      const double v = geom_projection(x->x, x->y, from.x, from.y, to.x, to.y).t;
      if (!(v > TOL_PARAM_HIGH && v < best - 0.00001)) continue;
      q1 = geom_line_intersection(t[k].a.x, t[k].a.y, t[k].b.x, t[k].b.y, c[0].x, c[0].y, c[1].x, c[1].y);
      q2 = geom_line_intersection(t[k].a.x, t[k].a.y, t[k].b.x, t[k].b.y, c[3].x, c[3].y, c[2].x, c[2].y);
      best = v;
    }
  }
  if (best >= 9999.99999) return std::nullopt;
  // The nearest target misses a face line: the wall stays.
  if (!q1 || !q2) return std::nullopt;
  return WallEndMove{start, *q1, *q2};
}

void tool_wall_extend() {
  InputRequest r;
  for (;;) {
    WallElem* w = wall_pick_until(r, nls_mark("Select end of Wall:"), WallPickRule::NOT_GABLE);
    if (!w) return;
    const std::optional<WallEndMove> m = wall_extend_move(*w, {r.x[0], r.y[0], 0});
    if (!m) continue;
    WallTouchRepair repair;
    repair.add(*w);
    {
      ToolCursorOff off;
      draw_element(DRAW_ERASE, w);
    }
    w->mark = 1;
    WallJointPlan joints = wall_joints_of_marked();
    undo_record(UNDO_CHANGE, 0);
    w->mark = 0;
    wall_move_end(*w, *m);
    wall_joints_settle(joints, {w}, true);
    wall_joints_refit(joints);
    repair.add(*w);
    repair.draw_touching();
  }
}
