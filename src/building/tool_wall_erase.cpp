// Erasing the part of a wall between two points: the pieces before and
// after the range become walls of their own, each keeping the openings that
// lie wholly in it.

#include "building/tool_wall_common.h"
#include "display/draw.h"
#include "model/geom.h"
#include "model/nls.h"
#include "model/undo.h"
#include "model/wall_outline.h"
#include "tools/tool_common.h"

namespace {

Point3 at(const Point2& p, double z) { return {p.x, p.y, z, 0}; }
Point2 foot(const Point2& p, const Point3& a, const Point3& b) {
  return geom_foot(p.x, p.y, a.x, a.y, b.x, b.y);
}

}  // namespace

WallErase wall_erase_range(const WallElem& w, Point2 p0, Point2 p1) {
  const WallAxis ax = wall_axis(w);
  double t0 = geom_projection(p0.x, p0.y, ax.m0.x, ax.m0.y, ax.m1.x, ax.m1.y).t;
  double t1 = geom_projection(p1.x, p1.y, ax.m0.x, ax.m0.y, ax.m1.x, ax.m1.y).t;
  if (t1 < t0) {
    std::swap(t0, t1);
    std::swap(p0, p1);
  }
  WallErase out;
  if (!(t0 < 1.0 && t1 > 0.0)) {
    out.misses = true;
    return out;
  }
  const Point3* c = w.corner;
  if (t0 > 0.0) {
    // The feet of the range's start on the lines of the two long faces.
    const Point2 a1 = foot(p0, c[0], c[1]), a2 = foot(p0, c[3], c[2]);
    out.before =
        WallCorners{{c[0], at(a1, c[1].z), at(a2, c[2].z), c[3], c[4], at(a1, c[5].z), at(a2, c[6].z), c[7]}};
  }
  if (t1 < 1.0) {
    const Point2 b1 = foot(p1, c[0], c[1]), b2 = foot(p1, c[3], c[2]);
    out.after =
        WallCorners{{at(b1, c[1].z), c[1], c[2], at(b2, c[2].z), at(b1, c[5].z), c[5], c[6], at(b2, c[6].z)}};
  }
  return out;
}

void tool_wall_erase() {
  InputRequest r;
  for (;;) {
    WallElem* w = wall_pick_until(r, nls_mark("Select Wall:"), WallPickRule::NOT_GABLE);
    if (!w) return;
    int res;
    {
      ToolHighlight lit(w);
      res = tool_ask(r, {{STEP_POINT, nls_mark("Start point:")},
                         {STEP_NEXT_POINT, nls_mark("Move/End point:")},
                         {STEP_CONFIRM, nls_mark("Move/Confirm:")}});
    }
    if (res != INPUT_DONE) return;
    const WallErase e = wall_erase_range(*w, {r.x[0], r.y[0], 0}, {r.x[1], r.y[1], 0});
    if (e.misses) continue;
    WallTouchRepair repair;
    repair.add(*w);
    {
      ToolCursorOff off;
      draw_element(DRAW_ERASE, w);
    }
    w->mark = 1;
    // The pieces keep the wall's joints where they still meet its
    // partners; a partner the range took away is closed.
    WallJointPlan joints = wall_joints_of_marked();
    undo_record(UNDO_CHANGE, 0);
    w->mark = 0;
    std::vector<WallElem*> pieces;
    if (e.before) pieces.push_back(wall_append_rebuilt(*w, *e.before, false));
    if (e.after) pieces.push_back(wall_append_rebuilt(*w, *e.after, false));
    for (WallElem* p : pieces) undo_mark_element(p);
    wall_joints_replace(joints, w, pieces);
    w->mark = 1;
    elem_purge_marked();
    wall_joints_refit(joints);
    repair.draw_touching();
  }
}
