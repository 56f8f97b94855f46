#include "model/xform.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <utility>
#include <vector>

#include "model/camera.h"
#include "model/elem_points.h"
#include "model/geom.h"
#include "model/layers.h"
#include "model/redraw.h"
#include "model/settings.h"
#include "model/undo.h"
#include "model/vec3.h"
#include "model/view_rec.h"
#include "model/wall_outline.h"

XformAxis xform_axis;

namespace {

constexpr double TWO_PI = GEOM_TWO_PI;

// State of the running scale and move, for the per-point operations.
double scale_x0 = 0.0, scale_y0 = 0.0, scale_z0 = 0.0;
double scale_fx = 1.0, scale_fy = 1.0, scale_fz = 1.0;
double move_dx = 0.0, move_dy = 0.0, move_dz = 0.0;

double normalised(double a) {
  geom_norm_angle(&a);
  return a;
}

bool is_ellipse(const ArcElem& a) { return std::fabs(a.radius_x - a.radius_y) > 1e-6; }
bool is_full_curve(const ArcElem& a) { return !(std::fabs(a.sweep - TWO_PI) > 1e-6); }

void apply_if_active(CameraElem* c) {
  if (c->active == 1) camera_apply_view(c);
}

// Exchanges the coordinates of two points; their point marks stay.
void swap_xyz(Point3& a, Point3& b) {
  std::swap(a.x, b.x);
  std::swap(a.y, b.y);
  std::swap(a.z, b.z);
}

// A mirrored wall keeps its corners counter-clockwise in plan.
void swap_mirrored_corners(Point3 (&c)[8]) {
  swap_xyz(c[0], c[3]);
  swap_xyz(c[1], c[2]);
  swap_xyz(c[4], c[7]);
  swap_xyz(c[5], c[6]);
}

// A mirrored opening keeps its outer face (corners 0 and 1) on the wall's
// face it was on and its rebate on that side: the two ends of the box trade
// places, so that it stays counter-clockwise, and only the door's hinge goes
// to the other end (quadrant 0 <-> 1, 2 <-> 3).
void swap_mirrored_opening(WallOpening& o) {
  swap_xyz(o.corner[0], o.corner[1]);
  swap_xyz(o.corner[2], o.corner[3]);
  swap_xyz(o.corner[4], o.corner[5]);
  swap_xyz(o.corner[6], o.corner[7]);
  if (o.leaf_quadrant < 4) o.leaf_quadrant ^= 1;
}

// The points the plan transforms carry along with an element; contour ends
// never move.
template <class F2, class F3>
void for_each_point(ElemHeader* e, F2&& f2, F3&& f3) {
  elem_for_each_point(e, 0, f2, f3);
}

// The height at (x, y) of the plane through a wall's base corners 0, 1 and
// 3; the height of corner 0 when that plane stands vertical.
double base_height(const Point3 (&c)[4], double x, double y) {
  const double ux = c[1].x - c[0].x, uy = c[1].y - c[0].y, uz = c[1].z - c[0].z;
  const double vx = c[3].x - c[0].x, vy = c[3].y - c[0].y, vz = c[3].z - c[0].z;
  const double nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
  const double len = std::sqrt(nx * nx + ny * ny + nz * nz);
  if (!(std::fabs(nz) > 1e-9 * len)) return c[0].z;
  return c[0].z - (nx * (x - c[0].x) + ny * (y - c[0].y)) / nz;
}

// The kinds that turn and mirror in the 3D views, with the point operation
// f (in place on a Point3). The plan outline of a wall follows its corners:
// an end on a lower corner takes that corner's new place exactly, any other
// end is carried as the point of the wall's base below it. mirror exchanges
// the corners afterwards so that the wall stays counter-clockwise.
template <class F>
void transform_3d(ElemHeader* e, F&& f, bool mirror) {
  switch (e->kind) {
    case ELEM_LINE3D: {
      auto* l = static_cast<Line3dElem*>(e);
      f(l->p1);
      f(l->p2);
      break;
    }
    case ELEM_LIGHT: {
      auto* l = static_cast<LightElem*>(e);
      f(l->position);
      f(l->target);
      break;
    }
    case ELEM_CAMERA: {
      auto* c = static_cast<CameraElem*>(e);
      f(c->eye);
      f(c->target);
      apply_if_active(c);
      break;
    }
    case ELEM_MESH:
      for (Point3& v : static_cast<MeshElem*>(e)->vertices) f(v);
      break;
    case ELEM_WALL: {
      auto* w = static_cast<WallElem*>(e);
      Point3 old[4] = {w->corner[0], w->corner[1], w->corner[2], w->corner[3]};
      for (Point3& c : w->corner) f(c);
      if (w->gable == 1) {
        f(w->gable_a);
        f(w->gable_b);
      }
      for (WallOpening& o : w->openings)
        for (Point3& c : o.corner) f(c);
      auto carry = [&](Point2& p) {
        for (int i = 0; i < 4; ++i) {
          if (p.x == old[i].x && p.y == old[i].y) {
            p.x = w->corner[i].x;
            p.y = w->corner[i].y;
            return;
          }
        }
        Point3 q{p.x, p.y, base_height(old, p.x, p.y), 0};
        f(q);
        p.x = q.x;
        p.y = q.y;
      };
      for (WallSegment& s : w->segments) {
        carry(s.start);
        carry(s.end);
      }
      if (mirror) {
        swap_mirrored_corners(w->corner);
        if (w->gable == 1) swap_xyz(w->gable_a, w->gable_b);
        for (WallOpening& o : w->openings) swap_mirrored_opening(o);
      }
      break;
    }
    case ELEM_LINE:
    case ELEM_ARC:
    case ELEM_TEXT:
    case ELEM_DIM:
    case ELEM_PATTERN:
    case ELEM_SPLINE:
    case ELEM_ROOM:
      break;
  }
}

// Re-sorts a dimension after its points changed: chains are ordered along
// the line through their first two dimension-line points.
void resort_dimension(DimElem* d) {
  int n = static_cast<int>(d->points.size());
  if (n == 0) return;
  const Point2& a = d->points[0].line_point;
  const Point2& b = d->points[n > 1 ? 1 : 0].line_point;
  int kept = elem_dim_sort_chain_points(a.x, a.y, b.x, b.y, n, d->points.data(), d->dim_kind);
  if (kept >= 0 && kept < n) d->points.resize(static_cast<size_t>(kept));
  elem_update_size(*d);
}

void scale_arc(ArcElem* a) {
  const double cx = a->centre.x, cy = a->centre.y;
  const double r = a->rotation;
  const double p1x = cx + a->radius_x * std::cos(r), p1y = cy + a->radius_x * std::sin(r);
  const double p2x = cx + (a->radius_x * std::cos(HALF_PI) * std::cos(r) - a->radius_y * std::sin(r));
  const double p2y = cy + (a->radius_x * std::cos(HALF_PI) * std::sin(r) + a->radius_y * std::cos(r));
  const Point3 c = xform_scale_point(cx, cy, 0);
  const Point3 p1 = xform_scale_point(p1x, p1y, 0);
  const Point3 p2 = xform_scale_point(p2x, p2y, 0);
  a->centre.x = c.x;
  a->centre.y = c.y;
  a->radius_x = geom_dist(c.x, c.y, p1.x, p1.y);
  a->radius_y = geom_dist(c.x, c.y, p2.x, p2.y);
  a->rotation = normalised(geom_angle(c.x, c.y, p1.x, p1.y));
  double a2 = normalised(geom_angle(c.x, c.y, p2.x, p2.y));
  while (a2 < a->rotation) a2 += TWO_PI;
  // The second half-axis ended up clockwise of the first: the scale
  // mirrored the curve, so the arc runs the other way round.
  if (a2 - a->rotation > GEOM_PI) a->start = normalised(-(a->start + a->sweep));
}

void mirror_text(TextElem* t, double ax, double ay, double bx, double by, double theta) {
  double px = t->pos.x, py = t->pos.y;
  if (t->alignment == TEXT_JUSTIFIED) {
    // A justified text runs from its far end after the mirror.
    px += t->fit_length * std::cos(t->angle);
    py += t->fit_length * std::sin(t->angle);
  }
  geom_mirror_point(px, py, ax, ay, bx, by);
  t->pos.x = geo_result.mirror_x;
  t->pos.y = geo_result.mirror_y;
  // Turned by half a turn, so the glyphs never read in mirror image.
  t->angle = normalised(2 * theta - t->angle + GEOM_PI);
  if (t->alignment == TEXT_LEFT)
    t->alignment = TEXT_RIGHT;
  else if (t->alignment == TEXT_RIGHT)
    t->alignment = TEXT_LEFT;
}

// A mirrored chain runs the other way: points are reversed, and the values
// that belong to a segment travel with it.
void reverse_chain(DimElem* d) {
  const std::vector<DimPoint> old = d->points;
  const size_t n = old.size();
  for (size_t i = 0; i < n; ++i) {
    const DimPoint& src = old[n - 1 - i];
    DimPoint& dst = d->points[i];
    dst.line_point.x = src.line_point.x;
    dst.line_point.y = src.line_point.y;
    dst.measured.x = src.measured.x;
    dst.measured.y = src.measured.y;
    if (i + 1 < n) {
      DimPoint& next = d->points[i + 1];
      next.segment_length = src.segment_length;
      next.override_value = src.override_value;
      next.second_value = src.second_value;
      next.sixth_value = src.sixth_value;
    }
  }
}

void mirror_dim(DimElem* d, double theta) {
  d->direction = normalised(2 * theta - d->direction + GEOM_PI);
  switch (d->dim_kind) {
    case DIM_LEVEL:
      d->direction = normalised(d->direction + GEOM_PI);
      break;
    case DIM_DIAMETER:
    case DIM_ANGLE:
      if (d->points.size() >= 3) {
        std::swap(d->points[1].line_point.x, d->points[2].line_point.x);
        std::swap(d->points[1].line_point.y, d->points[2].line_point.y);
      }
      break;
    case DIM_CHAIN:
      reverse_chain(d);
      break;
    default:
      break;
  }
}

void rotate_plan(ElemHeader* e, double cx, double cy, double angle) {
  auto turn2 = [&](Point2& p) {
    geom_rotate_point(cx, cy, p.x, p.y, angle);
    p.x = geo_result.rot_x;
    p.y = geo_result.rot_y;
  };
  auto turn3 = [&](Point3& p) {
    geom_rotate_point(cx, cy, p.x, p.y, angle);
    p.x = geo_result.rot_x;
    p.y = geo_result.rot_y;
  };
  for_each_point(e, turn2, turn3);
  switch (e->kind) {
    case ELEM_ARC: {
      auto* a = static_cast<ArcElem*>(e);
      if (is_ellipse(*a))
        a->rotation = normalised(a->rotation + angle);
      else if (!is_full_curve(*a))
        a->start = normalised(a->start + angle);
      break;
    }
    case ELEM_TEXT: {
      auto* t = static_cast<TextElem*>(e);
      t->angle = normalised(t->angle + angle);
      break;
    }
    case ELEM_DIM: {
      auto* d = static_cast<DimElem*>(e);
      d->direction = normalised(d->direction + angle);
      break;
    }
    case ELEM_PATTERN: {
      auto* p = static_cast<PatternElem*>(e);
      p->angle1 = normalised(p->angle1 + angle);
      p->angle2 = normalised(p->angle2 + angle);
      break;
    }
    case ELEM_ROOM: {
      auto* r = static_cast<RoomElem*>(e);
      r->angle = normalised(r->angle + angle);
      break;
    }
    case ELEM_CAMERA:
      apply_if_active(static_cast<CameraElem*>(e));
      break;
    case ELEM_LINE:
    case ELEM_WALL:
    case ELEM_SPLINE:
    case ELEM_LINE3D:
    case ELEM_MESH:
    case ELEM_LIGHT:
      break;
  }
}

void mirror_plan(ElemHeader* e, double ax, double ay, double bx, double by, double theta) {
  auto flip2 = [&](Point2& p) {
    geom_mirror_point(p.x, p.y, ax, ay, bx, by);
    p.x = geo_result.mirror_x;
    p.y = geo_result.mirror_y;
  };
  auto flip3 = [&](Point3& p) {
    geom_mirror_point(p.x, p.y, ax, ay, bx, by);
    p.x = geo_result.mirror_x;
    p.y = geo_result.mirror_y;
  };
  switch (e->kind) {
    case ELEM_MESH:
      xform_mirror_mesh_faces(static_cast<MeshElem*>(e), ax, ay, bx, by);
      return;
    case ELEM_TEXT:
      mirror_text(static_cast<TextElem*>(e), ax, ay, bx, by, theta);
      return;
    case ELEM_LINE:
    case ELEM_ARC:
    case ELEM_DIM:
    case ELEM_WALL:
    case ELEM_PATTERN:
    case ELEM_SPLINE:
    case ELEM_LINE3D:
    case ELEM_CAMERA:
    case ELEM_ROOM:
    case ELEM_LIGHT:
      break;
  }
  for_each_point(e, flip2, flip3);
  switch (e->kind) {
    case ELEM_ARC: {
      auto* a = static_cast<ArcElem*>(e);
      if (is_ellipse(*a)) {
        a->rotation = normalised(2 * theta - a->rotation);
        a->start = normalised(-(a->start + a->sweep));
      } else if (!is_full_curve(*a)) {
        a->start = normalised(2 * theta - 2 * a->rotation - a->start - a->sweep);
      }
      break;
    }
    case ELEM_DIM:
      mirror_dim(static_cast<DimElem*>(e), theta);
      break;
    case ELEM_WALL: {
      auto* w = static_cast<WallElem*>(e);
      swap_mirrored_corners(w->corner);
      if (w->gable == 1) swap_xyz(w->gable_a, w->gable_b);
      for (WallOpening& o : w->openings) swap_mirrored_opening(o);
      break;
    }
    case ELEM_PATTERN: {
      auto* p = static_cast<PatternElem*>(e);
      p->angle1 = normalised(2 * theta - p->angle1);
      p->angle2 = normalised(2 * theta - p->angle2);
      break;
    }
    case ELEM_ROOM: {
      auto* r = static_cast<RoomElem*>(e);
      r->angle = normalised(2 * theta - r->angle + GEOM_PI);
      // Outlines keep their turning sense: areas stay areas, holes holes.
      geom_reverse_polygon(static_cast<int>(r->points.size()), r->points.data());
      break;
    }
    case ELEM_CAMERA:
      apply_if_active(static_cast<CameraElem*>(e));
      break;
    case ELEM_LINE:
    case ELEM_TEXT:
    case ELEM_SPLINE:
    case ELEM_LINE3D:
    case ELEM_MESH:
    case ELEM_LIGHT:
      break;
  }
}

// Appends the re-fitted chain. Returns false when it could not be made.
bool append_refit_dim(const DimElem& d, std::vector<DimPoint>& pts, int n) {
  try {
    elem_new_dim(d.layer, d.pen, d.line_type, d.figure_pen, d.figure_line_type, d.direction, d.figure_size,
                 d.figure_width, d.figure_space, d.chain_space, d.help_line_length, d.font.c_str(), d.format,
                 d.end_mark, d.dim_kind, n, pts.data());
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

bool append_plain_wall(const WallElem& w) {
  WallSegment quad[4];
  wall_outline_quad(w.corner[0].x, w.corner[0].y, w.corner[1].x, w.corner[1].y, w.corner[2].x, w.corner[2].y,
                    w.corner[3].x, w.corner[3].y, quad);
  double c[24];
  for (int i = 0; i < 8; ++i) {
    c[3 * i] = w.corner[i].x;
    c[3 * i + 1] = w.corner[i].y;
    c[3 * i + 2] = w.corner[i].z;
  }
  try {
    elem_new_wall(w.layer, w.pen, w.line_type, c, 4, quad, 0, nullptr, w.material.c_str(), w.gable,
                  w.gable_a.x, w.gable_a.y, w.gable_a.z, w.gable_b.x, w.gable_b.y, w.gable_b.z);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

// Marks the replaced element for the caller's purge, swaps the two on the
// screen and gives the replacement to the current undo step.
void replace_on_screen(ElemHeader* old, ElemHeader* fresh) {
  fresh->group = old->group;
  undo_mark_element(fresh);
  old->mark = 1;
  redraw().input_cursor_toggle();
  redraw().draw_element(DRAW_ERASE, old);
  redraw().draw_last_element(DRAW_NORMAL);
  redraw().input_cursor_toggle();
}

void refit_chain(DimElem* d) {
  std::vector<DimPoint> pts = d->points;
  int n = static_cast<int>(pts.size());
  if (n > 0) {
    const double bx = pts[0].line_point.x, by = pts[0].line_point.y;
    const double ex = bx + 10 * std::cos(d->direction), ey = by + 10 * std::sin(d->direction);
    for (DimPoint& p : pts) {
      geom_foot_point(p.measured.x, p.measured.y, bx, by, ex, ey);
      p.line_point.x = geo_result.foot_x;
      p.line_point.y = geo_result.foot_y;
    }
    n = elem_dim_sort_chain_points(bx, by, ex, ey, n, pts.data(), d->dim_kind);
  }
  if (!append_refit_dim(*d, pts, n)) return;
  replace_on_screen(d, elem_list_tail);
}

bool any_marked(const Point3* p, int n) {
  for (int i = 0; i < n; ++i)
    if (p[i].mark == 1) return true;
  return false;
}

// A wall of which only openings were moved keeps its outline, the joints to
// other walls with it: the moved openings are taken out of it and cut in
// again where they now are. False when that does not apply or the outline
// does not show their gaps.
bool refit_moved_openings(WallElem* w) {
  if (any_marked(w->corner, 8) || (w->gable == 1 && (w->gable_a.mark == 1 || w->gable_b.mark == 1)))
    return false;
  std::vector<bool> moved;
  bool any = false;
  for (const WallOpening& o : w->openings) {
    moved.push_back(any_marked(o.corner, 8));
    any = any || moved.back();
  }
  if (!any) return false;
  WallElem* fresh = wall_recut_openings(w, moved);
  if (fresh == w) return false;
  replace_on_screen(w, fresh);
  return true;
}

void refit_wall(WallElem* w) {
  if (refit_moved_openings(w)) return;
  if (!append_plain_wall(*w)) return;
  auto* current = static_cast<WallElem*>(elem_list_tail);
  current->group = w->group;
  for (const WallOpening& o : w->openings) {
    if (o.kind == OPENING_REMOVED) continue;
    WallElem* cut = opening_cut_wall(o.corner, o.kind, o.symbol_style, o.sill, o.height, o.stop_width,
                                     o.stop_depth, o.leaf_quadrant, current);
    if (cut != current) {
      current->mark = 1;  // an intermediate wall, purged by the caller
      current = cut;
    }
  }
  replace_on_screen(w, current);
}

}  // namespace

Point3 xform_scale_point(double x, double y, double z) {
  return Point3{scale_x0 + (x - scale_x0) * scale_fx, scale_y0 + (y - scale_y0) * scale_fy,
                scale_z0 + (z - scale_z0) * scale_fz, 0};
}

void xform_scale_marked(double x0, double y0, double z0, double fx, double fy, double fz, int keep_text) {
  scale_x0 = x0;
  scale_y0 = y0;
  scale_z0 = z0;
  scale_fx = fx;
  scale_fy = fy;
  scale_fz = fz;
  auto scale2 = [](Point2& p) {
    Point3 q = xform_scale_point(p.x, p.y, 0);
    p.x = q.x;
    p.y = q.y;
  };
  auto scale3 = [](Point3& p) {
    Point3 q = xform_scale_point(p.x, p.y, p.z);
    p.x = q.x;
    p.y = q.y;
    p.z = q.z;
  };
  for (ElemHeader* e = elem_list_head; e; e = e->next) {
    if (e->mark != 1) continue;
    drawing_modified = 1;
    elem_touch(e);
    switch (e->kind) {
      case ELEM_ARC:
        scale_arc(static_cast<ArcElem*>(e));
        break;
      case ELEM_TEXT: {
        auto* t = static_cast<TextElem*>(e);
        scale2(t->pos);
        t->fit_length *= fx;
        if (keep_text == 0) t->height *= fx;
        break;
      }
      case ELEM_DIM:
        for_each_point(e, scale2, scale3);
        resort_dimension(static_cast<DimElem*>(e));
        break;
      case ELEM_ROOM: {
        auto* r = static_cast<RoomElem*>(e);
        for_each_point(e, scale2, scale3);
        r->base_z = z0 + (r->base_z - z0) * fz;
        r->top_z = z0 + (r->top_z - z0) * fz;
        break;
      }
      case ELEM_CAMERA:
        for_each_point(e, scale2, scale3);
        apply_if_active(static_cast<CameraElem*>(e));
        break;
      case ELEM_LINE:
      case ELEM_WALL:
      case ELEM_PATTERN:
      case ELEM_SPLINE:
      case ELEM_LINE3D:
      case ELEM_MESH:
      case ELEM_LIGHT:
        for_each_point(e, scale2, scale3);
        break;
    }
  }
}

void xform_move_point2_if_marked(Point2* p) {
  if (p->mark != 1) return;
  p->x += move_dx;
  p->y += move_dy;
}

void xform_move_point3_if_marked(Point3* p) {
  if (p->mark != 1) return;
  p->x += move_dx;
  p->y += move_dy;
  p->z += move_dz;
}

namespace {

// Moves e by the offset in move_dx, move_dy, move_dz: whole, or only its
// marked points.
void move_one(ElemHeader* e, bool whole) {
  auto whole2 = [](Point2& p) {
    p.x += move_dx;
    p.y += move_dy;
  };
  auto whole3 = [](Point3& p) {
    p.x += move_dx;
    p.y += move_dy;
    p.z += move_dz;
  };
  auto marked2 = [](Point2& p) { xform_move_point2_if_marked(&p); };
  auto marked3 = [](Point3& p) { xform_move_point3_if_marked(&p); };
  if (whole || elem_has_marked_point(e)) elem_touch(e);
  if (whole)
    for_each_point(e, whole2, whole3);
  else
    for_each_point(e, marked2, marked3);
  if (auto* c = elem_as<CameraElem>(e)) {
    if (whole || c->eye.mark == 1 || c->target.mark == 1) apply_if_active(c);
  }
}

}  // namespace

void xform_move_marked(double dx, double dy, double dz) {
  move_dx = dx;
  move_dy = dy;
  move_dz = dz;
  drawing_modified = 1;
  for (ElemHeader* e = elem_list_head; e; e = e->next) move_one(e, e->mark == 1);
}

void xform_move_element(ElemHeader* e, double dx, double dy, double dz) {
  move_dx = dx;
  move_dy = dy;
  move_dz = dz;
  drawing_modified = 1;
  move_one(e, true);
}

void xform_stretch_marked_points() {
  // The stretched chains and walls are replaced, not changed in place.
  elem_restart_scans();
  ElemHeader* last = elem_list_tail;
  for (ElemHeader* e = elem_list_head; e; e = e->next) {
    if (auto* d = elem_as<DimElem>(e)) {
      if (d->dim_kind == DIM_CHAIN && elem_has_marked_point(d)) refit_chain(d);
    } else if (auto* w = elem_as<WallElem>(e)) {
      if (elem_has_marked_point(w)) refit_wall(w);
    }
    if (e == last) break;
  }
}

void xform_rotate_element(ElemHeader* e, double cx, double cy, double angle) {
  drawing_modified = 1;
  elem_touch(e);
  if (view_type == VIEW_PLAN) {
    rotate_plan(e, cx, cy, angle);
  } else {
    auto turn = [angle](Point3& p) {
      vec3_rotate_about_axis(p, angle, xform_axis.a, xform_axis.b);
      p.x = geo_result.rot3.x;
      p.y = geo_result.rot3.y;
      p.z = geo_result.rot3.z;
    };
    transform_3d(e, turn, false);
  }
}

void xform_rotate_marked(double cx, double cy, double angle) {
  for (ElemHeader* e = elem_list_head; e; e = e->next)
    if (e->mark == 1) xform_rotate_element(e, cx, cy, angle);
}

void xform_rotate_axis(double ax, double ay, double az, double bx, double by, double bz, double angle) {
  xform_axis.a.x = ax;
  xform_axis.a.y = ay;
  xform_axis.a.z = az;
  xform_axis.b.x = bx;
  xform_axis.b.y = by;
  xform_axis.b.z = bz;
  const int32_t saved = view_type;
  view_type = VIEW_AXIS_ROTATION;
  xform_rotate_marked(0, 0, angle);
  view_type = saved;
}

void xform_mirror_mesh_faces(MeshElem* m, double ax, double ay, double bx, double by) {
  size_t offset = 0;
  for (int32_t size : m->face_sizes) {
    if (size <= 0) continue;
    const size_t n = static_cast<size_t>(size);
    if (offset + n > m->indices.size()) break;
    std::reverse(m->indices.begin() + static_cast<std::ptrdiff_t>(offset),
                 m->indices.begin() + static_cast<std::ptrdiff_t>(offset + n));
    offset += n;
  }
  for (Point3& v : m->vertices) {
    if (view_type == VIEW_PLAN) {
      geom_mirror_point(v.x, v.y, ax, ay, bx, by);
      v.x = geo_result.mirror_x;
      v.y = geo_result.mirror_y;
    } else {
      vec3_mirror_point_plane(v, xform_axis.a, xform_axis.b, xform_axis.c);
      v.x = geo_result.mirror3.x;
      v.y = geo_result.mirror3.y;
      v.z = geo_result.mirror3.z;
    }
  }
}

void xform_mirror_marked(double ax, double ay, double bx, double by) {
  double theta = geom_angle(ax, ay, bx, by);
  if (theta > GEOM_PI) theta -= GEOM_PI;
  for (ElemHeader* e = elem_list_head; e; e = e->next) {
    if (e->mark != 1) continue;
    drawing_modified = 1;
    elem_touch(e);
    if (view_type == VIEW_PLAN) {
      mirror_plan(e, ax, ay, bx, by, theta);
    } else if (auto* m = elem_as<MeshElem>(e)) {
      xform_mirror_mesh_faces(m, ax, ay, bx, by);
    } else {
      auto flip = [](Point3& p) {
        vec3_mirror_point_plane(p, xform_axis.a, xform_axis.b, xform_axis.c);
        p.x = geo_result.mirror3.x;
        p.y = geo_result.mirror3.y;
        p.z = geo_result.mirror3.z;
      };
      transform_3d(e, flip, true);
    }
  }
}

int clone() {
  ElemHeader* last = elem_list_tail;
  int copies = 0;
  bool grouped = false;
  for (ElemHeader* e = elem_list_head; e; e = e->next) {
    if (e->mark == 1) {
      elem_append_copy(e);
      e->mark = 0;
      ++copies;
      if (elem_list_tail->group != 0) grouped = true;
    }
    if (e == last) break;
  }
  if (grouped) group_renumber_marked();
  return copies;
}

void xform_set_pen_line_type(int pen, int line_type) {
  for (ElemHeader* e = elem_list_head; e; e = e->next) {
    if (e->mark != 1) continue;
    drawing_modified = 1;
    if ((pen & 0xFF) != 255) e->pen = static_cast<uint8_t>(pen);
    if ((line_type & 0xFF) != 255) e->line_type = static_cast<uint8_t>(line_type);
  }
}

int elem_dim_sort_chain_points(double x1, double y1, double x2, double y2, int n, DimPoint* p, int dim_kind) {
  if (dim_kind != DIM_CHAIN || !p || n <= 0) return n;
  auto param = [&](const DimPoint& d) {
    geom_project_on_segment(d.line_point.x, d.line_point.y, x1, y1, x2, y2);
    return geo_result.proj_t;
  };
  for (int pass = 0; pass < n; ++pass)
    for (int i = 1; i < n; ++i)
      if (param(p[i]) < param(p[i - 1])) std::swap(p[i - 1], p[i]);

  DimPoint& first = p[0];
  first.segment_length = 0;
  first.override_value = 0;
  first.second_value = 0;
  first.sixth_value = 0;
  first.text_dx = 0;
  first.text_dy = 0;
  if (n <= 1) return n;

  int w = 1;
  for (int r = 1; r < n; ++r) {
    const DimPoint src = p[r];
    DimPoint& dst = p[w];
    dst.line_point.x = src.line_point.x;
    dst.line_point.y = src.line_point.y;
    dst.measured.x = src.measured.x;
    dst.measured.y = src.measured.y;
    dst.segment_length =
        geom_dist(p[w - 1].line_point.x, p[w - 1].line_point.y, dst.line_point.x, dst.line_point.y);
    dst.override_value = 0;
    dst.sixth_value = 0;
    dst.text_dx = 0;
    dst.text_dy = 0;
    dst.second_value = src.second_value;
    if (dst.segment_length >= 1e-4) ++w;
  }
  return w;
}
