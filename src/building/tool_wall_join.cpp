// Joining two walls in a mitre: each keeps the end on the side of its pick
// and runs to the two points where its faces meet the other wall's faces.

#include "building/tool_wall_common.h"
#include "display/draw.h"
#include "model/geom.h"
#include "model/nls.h"
#include "model/undo.h"
#include "model/wall_outline.h"
#include "tools/tool_common.h"

namespace {

struct FaceLine {
  Point2 a, b;
};

Point2 xy(const Point3& p) { return {p.x, p.y, 0}; }

// The staying end of a wall, seen from it towards the junction: the corner
// on the right face and its line, and the corner on the left face and its
// line.
struct StayingEnd {
  bool start = false;
  Point2 kr, kl;
  FaceLine right, left;
};

StayingEnd staying_end(const WallElem& w, Point2 pick, Point2 x) {
  const WallAxis ax = wall_axis(w);
  const Point2 foot = geom_foot(pick.x, pick.y, ax.m0.x, ax.m0.y, ax.m1.x, ax.m1.y);
  // M0 behind the pick's foot, seen from the junction: the start end stays.
  const bool start = geom_projection(ax.m0.x, ax.m0.y, foot.x, foot.y, x.x, x.y).t < 0.0;
  const Point3* c = w.corner;
  StayingEnd s;
  s.start = start;
  if (start) {
    s.kr = xy(c[0]);
    s.kl = xy(c[3]);
    s.right = {xy(c[0]), xy(c[1])};
    s.left = {xy(c[3]), xy(c[2])};
  } else {
    s.kr = xy(c[2]);
    s.kl = xy(c[1]);
    s.right = {xy(c[2]), xy(c[3])};
    s.left = {xy(c[1]), xy(c[0])};
  }
  return s;
}

std::optional<Point2> cross(const FaceLine& f, const FaceLine& g) {
  return geom_line_intersection(f.a.x, f.a.y, f.b.x, f.b.y, g.a.x, g.a.y, g.b.x, g.b.y);
}

// The new corners: the plan points given, each at the z of the old corner
// of its number.
WallCorners mitred(const WallElem& w, Point2 k0, Point2 k1, Point2 k2, Point2 k3) {
  const Point2 plan[4] = {k0, k1, k2, k3};
  WallCorners c;
  for (int i = 0; i < 8; ++i) c.c[i] = {plan[i % 4].x, plan[i % 4].y, w.corner[i].z, 0};
  return c;
}

}  // namespace

std::optional<WallMitre> wall_join_mitre(const WallElem& first, Point2 p, const WallElem& second, Point2 q) {
  const WallAxis f = wall_axis(first), g = wall_axis(second);
  const std::optional<Point2> x =
      geom_line_intersection(f.m0.x, f.m0.y, f.m1.x, f.m1.y, g.m0.x, g.m0.y, g.m1.x, g.m1.y);
  if (!x) return std::nullopt;
  const StayingEnd a = staying_end(first, p, *x), b = staying_end(second, q, *x);
  const std::optional<Point2> z1 = cross(a.right, b.left), z2 = cross(a.left, b.right);
  // Without both mitre points (faces that no longer run along the axis)
  // the walls stay as they are.
  if (!z1 || !z2) return std::nullopt;
  return WallMitre{mitred(first, a.kr, *z1, *z2, a.kl), mitred(second, b.kr, *z2, *z1, b.kl)};
}

void tool_wall_join() {
  InputRequest r;
  for (;;) {
    WallElem* first = wall_pick_until(r, nls_mark("1st Wall:"), WallPickRule::NOT_GABLE);
    if (!first) return;
    const Point2 p{r.x[0], r.y[0], 0};
    WallElem* second = nullptr;
    {
      ToolHighlight lit(first);
      second = wall_pick_until(r, nls_mark("2nd Wall:"), WallPickRule::NOT_GABLE, first);
    }
    if (!second) return;
    const Point2 q{r.x[0], r.y[0], 0};
    const std::optional<WallMitre> m = wall_join_mitre(*first, p, *second, q);
    if (!m) continue;
    WallTouchRepair repair;
    repair.add(*first);
    repair.add(*second);
    {
      ToolCursorOff off;
      draw_element(DRAW_ERASE, first);
      draw_element(DRAW_ERASE, second);
    }
    first->mark = second->mark = 1;
    WallJointPlan joints = wall_joints_of_marked();
    undo_record(UNDO_CHANGE, 0);
    first->mark = second->mark = 0;
    WallElem* a = wall_append_rebuilt(*first, m->first, true);
    WallElem* b = wall_append_rebuilt(*second, m->second, true);
    undo_mark_element(a);
    undo_mark_element(b);
    wall_joints_replace(joints, first, {a});
    wall_joints_replace(joints, second, {b});
    // The mitre is what the user asked for: the two walls keep it, and the
    // walls they met settle around them.
    wall_joints_settle(joints, {a, b}, false);
    first->mark = second->mark = 1;
    elem_purge_marked();
    wall_joints_refit(joints);
    repair.add(*a);
    repair.add(*b);
    repair.draw_touching();
  }
}
