#include "display/snap.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "display/input.h"
#include "display/snap_grid.h"
#include "model/geom.h"
#include "model/layers.h"
#include "model/settings.h"
#include "model/view_rec.h"

SnapWindow snap_window;
Point2 snap_click;
double snap_near_radius = 0.0;
Point3 snap_point;
int snap_index_threshold = 20000;

namespace {

// Segment parameters strictly inside this range lie on the segment.
constexpr double PARAM_LOW = -0.00001;
constexpr double PARAM_HIGH = 1.00001;
// A full turn, for telling closed curves from arcs.
constexpr double SWEEP_FULL_TOL = 0.0001;

bool visible(const ElemHeader* e) { return layer_visible(e->layer) != 0; }

// The elements whose plan box meets the catch window, in list order. Every
// plan-view test can only succeed for those (each catch lies in the window,
// each crossing on segments that reach into it), so the passes walk them
// instead of the list. Kept while the window and the list stay the same.
struct WindowElements {
  bool valid = false;
  SnapWindow window;
  uint32_t generation = 0;
  const ElemHeader* tail = nullptr;
  std::vector<const ElemHeader*> elems;
};
WindowElements window_cache;

const std::vector<const ElemHeader*>& window_elements() {
  const SnapWindow& w = snap_window;
  if (!window_cache.valid || window_cache.generation != elem_list_generation ||
      window_cache.tail != elem_list_tail || window_cache.window.xmin != w.xmin ||
      window_cache.window.xmax != w.xmax || window_cache.window.ymin != w.ymin ||
      window_cache.window.ymax != w.ymax) {
    elem_grid_query(w.xmin, w.ymin, w.xmax, w.ymax,
                    static_cast<std::size_t>(std::max(snap_index_threshold, 0)), window_cache.elems);
    window_cache.valid = true;
    window_cache.window = w;
    window_cache.generation = elem_list_generation;
    window_cache.tail = elem_list_tail;
  }
  return window_cache.elems;
}

int outcode(double x, double y) {
  int c = 0;
  if (x < snap_window.xmin)
    c = 1;
  else if (x > snap_window.xmax)
    c = 2;
  if (y < snap_window.ymin)
    c |= 4;
  else if (y > snap_window.ymax)
    c |= 8;
  return c;
}

double param_on(double px, double py, double ax, double ay, double bx, double by) {
  geom_project_on_segment(px, py, ax, ay, bx, by);
  return geo_result.proj_t;
}

// Distance from the click to the infinite line through a segment.
double click_to_line(double x1, double y1, double x2, double y2) {
  geom_foot_point(snap_click.x, snap_click.y, x1, y1, x2, y2);
  return geom_dist(snap_click.x, snap_click.y, geo_result.foot_x, geo_result.foot_y);
}

bool on_arc(const ArcElem& a, double x, double y) {
  geom_ellipse_arc_test(x, y, a.centre.x, a.centre.y, a.radius_x, a.radius_y, a.sweep, a.start, a.rotation);
  return geo_result.arc_inside == 1.0;
}

bool is_circle(const ArcElem& a) { return geom_eq(a.radius_x, a.radius_y) != 0; }

bool full_turn(const ArcElem& a) { return !(std::fabs(a.sweep - GEOM_TWO_PI) > SWEEP_FULL_TOL); }

// The click lies near the curve: in the ring between the smaller radius
// less the near radius and the larger one plus it.
bool click_near_curve(const ArcElem& a) {
  const double d = geom_dist(snap_click.x, snap_click.y, a.centre.x, a.centre.y);
  const double rmin = std::min(a.radius_x, a.radius_y);
  const double rmax = std::max(a.radius_x, a.radius_y);
  return !(d < rmin - snap_near_radius) && !(d > rmax + snap_near_radius);
}

// The point of a rotated ellipse at parameter t.
Point2 ellipse_point(const ArcElem& a, double t) {
  const double c = std::cos(a.rotation), s = std::sin(a.rotation);
  const double ct = std::cos(t), st = std::sin(t);
  return {a.centre.x + a.radius_x * ct * c - a.radius_y * st * s,
          a.centre.y + a.radius_x * ct * s + a.radius_y * st * c, 0};
}

// Calls f(x1, y1, x2, y2) for every face edge of a mesh in the view plane
// (the closing edge included) until f returns true.
template <class F>
bool for_each_mesh_edge(const MeshElem& m, F&& f) {
  std::size_t base = 0;
  const std::size_t nv = m.vertices.size();
  for (int32_t size : m.face_sizes) {
    if (size <= 0) continue;
    const std::size_t n = static_cast<std::size_t>(size);
    if (base + n > m.indices.size()) return false;
    for (std::size_t i = 0; i < n; ++i) {
      const int32_t a = m.indices[base + i];
      const int32_t b = m.indices[base + (i + 1) % n];
      if (a < 0 || b < 0 || static_cast<std::size_t>(a) >= nv || static_cast<std::size_t>(b) >= nv) continue;
      const Point3& p = m.vertices[a];
      const Point3& q = m.vertices[b];
      view_project(p.x, p.y, p.z);
      const double u1 = geo_result.view_u, v1 = geo_result.view_v;
      view_project(q.x, q.y, q.z);
      if (f(u1, v1, geo_result.view_u, geo_result.view_v)) return true;
    }
    base += n;
  }
  return false;
}

// The crossing of segment s with segment f, caught when it lies in the
// window and strictly inside both parameter ranges.
bool catch_crossing(double sx1, double sy1, double sx2, double sy2, double fx1, double fy1, double fx2,
                    double fy2) {
  if (!geom_intersect_lines(sx1, sy1, sx2, sy2, fx1, fy1, fx2, fy2)) return false;
  const double ix = geo_result.ix, iy = geo_result.iy;
  if (!snap_point_inside(ix, iy)) return false;
  const double ts = param_on(ix, iy, sx1, sy1, sx2, sy2);
  if (!(ts > PARAM_LOW && ts < PARAM_HIGH)) return false;
  const double tf = param_on(ix, iy, fx1, fy1, fx2, fy2);
  if (!(tf > PARAM_LOW && tf < PARAM_HIGH)) return false;
  snap_point = {ix, iy, 0.0, 0};
  return true;
}

// The crossings of arc a with a segment, caught in the window, on the arc
// and on the segment with its ends included.
bool catch_arc_segment(const ArcElem& a, double x1, double y1, double x2, double y2) {
  geom_line_ellipse(a.centre.x, a.centre.y, a.radius_x, a.radius_y, a.rotation, x1, y1, x2, y2);
  if (!geo_result.found) return false;
  const Point2 cuts[2] = {{geo_result.cut1_x, geo_result.cut1_y, 0},
                          {geo_result.cut2_x, geo_result.cut2_y, 0}};
  for (const Point2& c : cuts) {
    if (!snap_point_inside(c.x, c.y) || !on_arc(a, c.x, c.y)) continue;
    const double t = param_on(c.x, c.y, x1, y1, x2, y2);
    if (t >= 0.0 && t <= 1.0) {
      snap_point = {c.x, c.y, 0.0, 0};
      return true;
    }
  }
  return false;
}

// The points of one element in the plan view, in their order: 1 for a
// point, 2 for a circle crossing, 3 for a quadrant point; 0 when none is
// caught.
int plan_points(const ElemHeader* e) {
  switch (e->kind) {
    case ELEM_LINE: {
      const auto* l = static_cast<const LineElem*>(e);
      if (snap_use_end_points == 1 &&
          (snap_catch_point(l->p1.x, l->p1.y) || snap_catch_point(l->p2.x, l->p2.y)))
        return HOVER_POINT;
      return HOVER_NONE;
    }
    case ELEM_ARC: {
      const auto* a = static_cast<const ArcElem*>(e);
      if (snap_use_circle_centers == 1 && snap_catch_point(a->centre.x, a->centre.y)) return HOVER_POINT;
      if ((snap_use_circle_intersections != 1 && snap_use_arc_points != 1) ||
          snap_circle_outside(a->centre.x, a->centre.y, a->radius_x, a->radius_y))
        return HOVER_NONE;
      if (snap_use_circle_intersections == 1 && snap_circle_intersections(e)) return HOVER_INTERSECTION;
      if (snap_use_arc_points != 1) return HOVER_NONE;
      if (!full_turn(*a)) {
        const Point2 s = ellipse_point(*a, a->start);
        const Point2 t = ellipse_point(*a, a->start + a->sweep);
        if (snap_catch_point(s.x, s.y) || snap_catch_point(t.x, t.y)) return HOVER_POINT;
        return HOVER_NONE;
      }
      // The quadrant points are taken without the rotation.
      const double cx = a->centre.x, cy = a->centre.y;
      if (snap_catch_point(cx + a->radius_x, cy) || snap_catch_point(cx - a->radius_x, cy) ||
          snap_catch_point(cx, cy + a->radius_y) || snap_catch_point(cx, cy - a->radius_y))
        return HOVER_MIDPOINT;
      return HOVER_NONE;
    }
    case ELEM_TEXT: {
      const auto* t = static_cast<const TextElem*>(e);
      return snap_use_text_points == 1 && snap_catch_point(t->pos.x, t->pos.y) ? HOVER_POINT : HOVER_NONE;
    }
    case ELEM_DIM:
      if (snap_use_measuring_points == 1)
        for (const DimPoint& p : static_cast<const DimElem*>(e)->points)
          if (snap_catch_point(p.line_point.x, p.line_point.y)) return HOVER_POINT;
      return HOVER_NONE;
    case ELEM_WALL:
      if (snap_use_end_points == 1)
        for (const WallSegment& s : static_cast<const WallElem*>(e)->segments)
          if (snap_catch_point(s.start.x, s.start.y) || snap_catch_point(s.end.x, s.end.y))
            return HOVER_POINT;
      return HOVER_NONE;
    case ELEM_PATTERN:
      if (snap_use_polygon_points == 1)
        for (const Point2& p : static_cast<const PatternElem*>(e)->points)
          if (!point_is_contour_end(p.x, p.y) && snap_catch_point(p.x, p.y)) return HOVER_POINT;
      return HOVER_NONE;
    case ELEM_SPLINE: {
      const auto* s = static_cast<const SplineElem*>(e);
      if (snap_use_arc_points == 1 &&
          (snap_catch_point(s->p0.x, s->p0.y) || snap_catch_point(s->p1.x, s->p1.y) ||
           snap_catch_point(s->p2.x, s->p2.y) || snap_catch_point(s->p3.x, s->p3.y)))
        return HOVER_POINT;
      return HOVER_NONE;
    }
    case ELEM_LINE3D: {
      const auto* l = static_cast<const Line3dElem*>(e);
      return snap_catch_point(l->p1.x, l->p1.y) || snap_catch_point(l->p2.x, l->p2.y) ? HOVER_POINT
                                                                                      : HOVER_NONE;
    }
    case ELEM_CAMERA: {
      const auto* c = static_cast<const CameraElem*>(e);
      return snap_catch_point(c->eye.x, c->eye.y) || snap_catch_point(c->target.x, c->target.y) ? HOVER_POINT
                                                                                                : HOVER_NONE;
    }
    case ELEM_LIGHT: {
      const auto* l = static_cast<const LightElem*>(e);
      return snap_catch_point(l->position.x, l->position.y) || snap_catch_point(l->target.x, l->target.y)
                 ? HOVER_POINT
                 : HOVER_NONE;
    }
    case ELEM_MESH:
      for (const Point3& v : static_cast<const MeshElem*>(e)->vertices)
        if (snap_catch_point(v.x, v.y)) return HOVER_POINT;
      return HOVER_NONE;
    case ELEM_ROOM: {
      const auto* r = static_cast<const RoomElem*>(e);
      if (snap_use_polygon_points == 1)
        for (const Point2& p : r->points)
          if (!point_is_contour_end(p.x, p.y) && snap_catch_point(p.x, p.y)) return HOVER_POINT;
      if (snap_use_text_points == 1 && snap_catch_point(r->label.x, r->label.y)) return HOVER_POINT;
      return HOVER_NONE;
    }
  }
  return HOVER_NONE;
}

// The crossings of a line's or a wall's segments with later elements.
bool plan_crossings(const ElemHeader* e) {
  if (const auto* l = elem_as<LineElem>(e)) {
    return snap_outcode(l->p1.x, l->p1.y, l->p2.x, l->p2.y) == 0 &&
           snap_line_intersections(e, l->p1.x, l->p1.y, l->p2.x, l->p2.y);
  }
  if (const auto* w = elem_as<WallElem>(e)) {
    for (const WallSegment& s : w->segments)
      if (snap_outcode(s.start.x, s.start.y, s.end.x, s.end.y) == 0 &&
          snap_line_intersections(e, s.start.x, s.start.y, s.end.x, s.end.y))
        return true;
    return false;
  }
  if (const auto* m = elem_as<MeshElem>(e)) {
    return for_each_mesh_edge(*m, [&](double x1, double y1, double x2, double y2) {
      return snap_outcode(x1, y1, x2, y2) == 0 && snap_line_intersections(e, x1, y1, x2, y2);
    });
  }
  return false;
}

bool catch_midpoint(double x1, double y1, double x2, double y2) {
  return snap_outcode(x1, y1, x2, y2) == 0 && snap_catch_point((x1 + x2) / 2.0, (y1 + y2) / 2.0);
}

// The midpoints of a line or of a wall's outline segments.
bool plan_midpoints(const ElemHeader* e) {
  if (const auto* l = elem_as<LineElem>(e)) return catch_midpoint(l->p1.x, l->p1.y, l->p2.x, l->p2.y);
  if (const auto* w = elem_as<WallElem>(e)) {
    for (const WallSegment& s : w->segments)
      if (catch_midpoint(s.start.x, s.start.y, s.end.x, s.end.y)) return true;
  }
  return false;
}

// The projected points of a wall: corners, gable points, opening corners.
bool wall_points_3d(const WallElem& w) {
  for (const Point3& c : w.corner)
    if (snap_catch_point_3d(c.x, c.y, c.z)) return true;
  if (w.gable == 1 && (snap_catch_point_3d(w.gable_a.x, w.gable_a.y, w.gable_a.z) ||
                       snap_catch_point_3d(w.gable_b.x, w.gable_b.y, w.gable_b.z)))
    return true;
  for (const WallOpening& o : w.openings)
    for (const Point3& c : o.corner)
      if (snap_catch_point_3d(c.x, c.y, c.z)) return true;
  return false;
}

// The projected points of the other 3D kinds (rooms at both heights).
bool other_points_3d(const ElemHeader* e) {
  auto catch3 = [](const Point3& p) { return snap_catch_point_3d(p.x, p.y, p.z) != 0; };
  switch (e->kind) {
    case ELEM_LINE3D: {
      const auto* l = static_cast<const Line3dElem*>(e);
      return catch3(l->p1) || catch3(l->p2);
    }
    case ELEM_CAMERA: {
      const auto* c = static_cast<const CameraElem*>(e);
      return catch3(c->eye) || catch3(c->target);
    }
    case ELEM_LIGHT: {
      const auto* l = static_cast<const LightElem*>(e);
      return catch3(l->position) || catch3(l->target);
    }
    case ELEM_MESH:
      for (const Point3& v : static_cast<const MeshElem*>(e)->vertices)
        if (catch3(v)) return true;
      return false;
    case ELEM_ROOM: {
      const auto* r = static_cast<const RoomElem*>(e);
      if (snap_use_polygon_points != 1) return false;
      for (const Point2& p : r->points) {
        if (point_is_contour_end(p.x, p.y)) continue;
        if (snap_catch_point_3d(p.x, p.y, r->base_z) || snap_catch_point_3d(p.x, p.y, r->top_z)) return true;
      }
      return false;
    }
    case ELEM_LINE:
    case ELEM_ARC:
    case ELEM_TEXT:
    case ELEM_DIM:
    case ELEM_WALL:
    case ELEM_PATTERN:
    case ELEM_SPLINE:
      break;
  }
  return false;
}

// The point a click gives when nothing is caught: on the view plane through
// the origin, or none in the isometric and perspective views.
int free_point(double x, double y) {
  switch (view_type) {
    case VIEW_PLAN:
      snap_point = {x, y, 0.0, 0};
      return SNAP_FREE;
    case VIEW_FRONT:
      snap_point = {x, 0.0, y, 0};
      return SNAP_FREE;
    case VIEW_BACK:
      snap_point = {-x, 0.0, y, 0};
      return SNAP_FREE;
    case VIEW_LEFT:
      snap_point = {0.0, -x, y, 0};
      return SNAP_FREE;
    case VIEW_RIGHT:
      snap_point = {0.0, x, y, 0};
      return SNAP_FREE;
    default:
      return SNAP_IGNORE;
  }
}

bool find_plan() {
  const std::vector<const ElemHeader*>& elems = window_elements();
  for (const ElemHeader* e : elems)
    if (visible(e) && plan_points(e)) return true;
  if (snap_use_line_intersections == 1)
    for (const ElemHeader* e : elems)
      if (visible(e) && plan_crossings(e)) return true;
  if (snap_use_center_points == 1)
    for (const ElemHeader* e : elems)
      if (visible(e) && plan_midpoints(e)) return true;
  return false;
}

bool find_projected() {
  for (const ElemHeader* e = elem_list_head; e; e = e->next)
    if (visible(e) && e->kind == ELEM_WALL && wall_points_3d(*static_cast<const WallElem*>(e))) return true;
  for (const ElemHeader* e = elem_list_head; e; e = e->next)
    if (visible(e) && other_points_3d(e)) return true;
  return false;
}

}  // namespace

void snap_set_window(int sx, int sy, double x, double y) {
  snap_window.xmin = view_sx_to_wx(sx - snap_size);
  snap_window.xmax = view_sx_to_wx(sx + snap_size);
  snap_window.ymin = view_sy_to_wy(sy + snap_size);
  snap_window.ymax = view_sy_to_wy(sy - snap_size);
  snap_click = {x, y, 0};
  snap_near_radius = 1.5 * snap_size * view_current().xscale;
}

int snap_find_point(const InputRequest* request, double x, double y) {
  snap_set_window(view_wx_to_sx(x), view_wy_to_sy(y), x, y);
  if (snap_on != 1) return free_point(x, y);
  if (request) {
    const int n = std::clamp<int>(request->npoints, 0, INPUT_MAX_POINTS);
    for (int k = 0; k < n; ++k) {
      // Outside the plan view the points are compared where the view shows them.
      const bool caught = view_type == VIEW_PLAN
                              ? snap_catch_point(request->x[k], request->y[k])
                              : snap_catch_point_3d(request->x[k], request->y[k], request->z[k]);
      if (caught) return SNAP_CAUGHT;
    }
  }
  if (view_type == VIEW_PLAN ? find_plan() : find_projected()) return SNAP_CAUGHT;
  return free_point(x, y);
}

int snap_hover_test(double px, double py, const ElemHeader* e) {
  const int sx = static_cast<int>(px), sy = static_cast<int>(py);
  snap_set_window(sx, sy, view_sx_to_wx(sx), view_sy_to_wy(sy));
  if (!e) return HOVER_NONE;
  if (view_type != VIEW_PLAN) {
    if (const auto* w = elem_as<WallElem>(e)) return wall_points_3d(*w) ? HOVER_POINT : HOVER_NONE;
    return other_points_3d(e) ? HOVER_POINT : HOVER_NONE;
  }
  if (const int code = plan_points(e)) return code;
  if (const auto* a = elem_as<ArcElem>(e)) {
    return snap_use_circle_centers == 1 && snap_catch_point(a->centre.x, a->centre.y) ? HOVER_POINT
                                                                                      : HOVER_NONE;
  }
  if (e->kind == ELEM_LINE || e->kind == ELEM_WALL) {
    if (snap_use_center_points == 1 && plan_midpoints(e)) return HOVER_MIDPOINT;
    if (snap_use_line_intersections == 1 && plan_crossings(e)) return HOVER_INTERSECTION;
  }
  return HOVER_NONE;
}

int snap_point_inside(double x, double y) {
  return x >= snap_window.xmin && x <= snap_window.xmax && y >= snap_window.ymin && y <= snap_window.ymax;
}

int snap_catch_point(double x, double y) {
  if (!snap_point_inside(x, y)) return 0;
  snap_point = {x, y, 0.0, 0};
  return 1;
}

int snap_point_inside_3d(double x, double y, double z) {
  view_project(x, y, z);
  return snap_point_inside(geo_result.view_u, geo_result.view_v);
}

int snap_catch_point_3d(double x, double y, double z) {
  if (!snap_point_inside_3d(x, y, z)) return 0;
  snap_point = {x, y, view_type == VIEW_PLAN ? 0.0 : z, 0};
  return 1;
}

int snap_outcode(double x1, double y1, double x2, double y2) { return outcode(x1, y1) & outcode(x2, y2); }

int snap_circle_outside(double cx, double cy, double rx, double ry) {
  const double r = std::max(rx, ry);
  return cx + r < snap_window.xmin || cx - r > snap_window.xmax || cy + r < snap_window.ymin ||
         cy - r > snap_window.ymax;
}

int snap_line_intersections(const ElemHeader* e, double x1, double y1, double x2, double y2) {
  if (std::fabs(x1 - x2) < TOL_GEOM && std::fabs(y1 - y2) < TOL_GEOM) return 0;
  if (click_to_line(x1, y1, x2, y2) > snap_near_radius) return 0;
  const std::vector<const ElemHeader*>& elems = window_elements();
  // Only elements after e: a crossing with an earlier element is found when
  // that one is tested. Elements outside the window cannot cross in it.
  auto it = std::find(elems.begin(), elems.end(), e);
  if (it == elems.end()) return 0;
  for (++it; it != elems.end(); ++it) {
    const ElemHeader* f = *it;
    if (!visible(f)) continue;
    if (const auto* l = elem_as<LineElem>(f)) {
      const Point2 &a = l->p1, &b = l->p2;
      if (snap_outcode(a.x, a.y, b.x, b.y) == 0 && !(click_to_line(a.x, a.y, b.x, b.y) > snap_near_radius) &&
          catch_crossing(x1, y1, x2, y2, a.x, a.y, b.x, b.y))
        return 1;
    } else if (const auto* w = elem_as<WallElem>(f)) {
      for (const WallSegment& s : w->segments)
        if (snap_outcode(s.start.x, s.start.y, s.end.x, s.end.y) == 0 &&
            catch_crossing(x1, y1, x2, y2, s.start.x, s.start.y, s.end.x, s.end.y))
          return 1;
    } else if (const auto* m = elem_as<MeshElem>(f)) {
      if (for_each_mesh_edge(*m, [&](double u1, double v1, double u2, double v2) {
            return snap_outcode(u1, v1, u2, v2) == 0 && !(click_to_line(u1, v1, u2, v2) > snap_near_radius) &&
                   catch_crossing(x1, y1, x2, y2, u1, v1, u2, v2);
          }))
        return 1;
    }
  }
  return 0;
}

int snap_circle_intersections(const ElemHeader* e) {
  const auto* a = elem_as<ArcElem>(e);
  if (!a) return 0;
  if (snap_circle_outside(a->centre.x, a->centre.y, a->radius_x, a->radius_y) || !click_near_curve(*a))
    return 0;
  for (const ElemHeader* f : window_elements()) {
    if (!visible(f)) continue;
    if (const auto* b = elem_as<ArcElem>(f)) {
      if (b == a || !is_circle(*a) || !is_circle(*b)) continue;
      if (snap_circle_outside(b->centre.x, b->centre.y, b->radius_x, b->radius_y) || !click_near_curve(*b))
        continue;
      geom_circle_circle(a->centre.x, a->centre.y, a->radius_x, b->centre.x, b->centre.y, b->radius_x);
      if (!geo_result.found) continue;
      const Point2 cuts[2] = {{geo_result.cut1_x, geo_result.cut1_y, 0},
                              {geo_result.cut2_x, geo_result.cut2_y, 0}};
      for (const Point2& c : cuts) {
        if (snap_point_inside(c.x, c.y) && on_arc(*a, c.x, c.y) && on_arc(*b, c.x, c.y)) {
          snap_point = {c.x, c.y, 0.0, 0};
          return 1;
        }
      }
    } else if (const auto* l = elem_as<LineElem>(f)) {
      if (snap_outcode(l->p1.x, l->p1.y, l->p2.x, l->p2.y) == 0 &&
          catch_arc_segment(*a, l->p1.x, l->p1.y, l->p2.x, l->p2.y))
        return 1;
    } else if (const auto* w = elem_as<WallElem>(f)) {
      for (const WallSegment& s : w->segments)
        if (snap_outcode(s.start.x, s.start.y, s.end.x, s.end.y) == 0 &&
            catch_arc_segment(*a, s.start.x, s.start.y, s.end.x, s.end.y))
          return 1;
    } else if (const auto* m = elem_as<MeshElem>(f)) {
      if (for_each_mesh_edge(*m, [&](double x1, double y1, double x2, double y2) {
            return snap_outcode(x1, y1, x2, y2) == 0 && catch_arc_segment(*a, x1, y1, x2, y2);
          }))
        return 1;
    }
  }
  return 0;
}
