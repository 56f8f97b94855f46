#include "display/pick.h"

#include <cmath>

#include "display/text_layout.h"
#include "model/geom.h"
#include "model/layers.h"
#include "model/settings.h"
#include "model/view_rec.h"

PickedEdge picked_edge;

namespace {

constexpr double START_DISTANCE = 100.0;
constexpr double BOX_NONE = 100000.0;
// Point-like elements win within this many pixels over any edge.
constexpr int POINT_BONUS_PX = 5;

// A distance that does not count (the foot beyond a segment's end, a point
// outside an arc's sweep, a kind the view does not show). Point-like
// elements have negative distances near them, so no sign can mean that.
const double NONE = std::nan("");

// Distance to the segment AB, counted only when the foot of the
// perpendicular lies strictly inside it.
double segment_distance(double px, double py, double ax, double ay, double bx, double by) {
  const double d = geom_dist_to_line(px, py, ax, ay, bx, by);
  const double t = geo_result.line_t;
  return t > 0.0 && t < 1.0 ? d : NONE;
}

// Keeps the smaller of best and a counted distance d.
void keep(double& best, double d) {
  if (!std::isnan(d) && (std::isnan(best) || d < best)) best = d;
}

// Whether the angle theta lies strictly inside an arc's sweep.
bool inside_sweep(double theta, double start, double sweep) {
  geom_norm_angle(&start);
  const double end = start + sweep;
  if (end > GEOM_TWO_PI && theta < start) theta += GEOM_TWO_PI;
  return start < theta && theta < end;
}

double arc_distance(const ArcElem& a, double x, double y) {
  if (a.radius_y == 0.0) return NONE;
  const double dx = x - a.centre.x, dy = y - a.centre.y;
  const double c = std::cos(a.rotation), s = std::sin(a.rotation);
  const double u = dx * c + dy * s;
  const double v = -dx * s + dy * c;
  const double theta = geom_angle(0.0, 0.0, u, v * a.radius_x / a.radius_y);
  if (!inside_sweep(theta, a.start, a.sweep)) return NONE;
  return geom_dist(u, v, a.radius_x * std::cos(theta), a.radius_y * std::sin(theta));
}

double text_distance(const TextElem& t, double x, double y) {
  const double a = t.angle;
  const double cx = std::cos(a), sx = std::sin(a);
  double x1 = t.pos.x, y1 = t.pos.y, x2 = x1, y2 = y1;
  const int align = t.alignment <= TEXT_CENTRED ? static_cast<int>(t.alignment) : static_cast<int>(TEXT_LEFT);
  const double len = t.alignment == TEXT_JUSTIFIED
                         ? t.fit_length
                         : font_text_width(t.height, t.width_factor, t.spacing, t.font.c_str(),
                                           t.text.c_str(), align, t.fit_length);
  switch (t.alignment) {
    case TEXT_RIGHT:
      x2 = x1 - len * cx;
      y2 = y1 - len * sx;
      break;
    case TEXT_CENTRED:
      x1 = t.pos.x - len / 2.0 * cx;
      y1 = t.pos.y - len / 2.0 * sx;
      x2 = t.pos.x + len / 2.0 * cx;
      y2 = t.pos.y + len / 2.0 * sx;
      break;
    default:
      x2 = x1 + len * cx;
      y2 = y1 + len * sx;
      break;
  }
  return segment_distance(x, y, x1, y1, x2, y2);
}

double dim_distance(const DimElem& d, double x, double y) {
  const auto& p = d.points;
  const double bonus = view_px_to_len_x(POINT_BONUS_PX);
  switch (d.dim_kind) {
    case DIM_CHAIN:
      if (p.size() < 2) return NONE;
      return segment_distance(x, y, p[0].line_point.x, p[0].line_point.y, p.back().line_point.x,
                              p.back().line_point.y);
    case DIM_RADIUS:
    case DIM_DIAMETER:
      if (p.size() < 3) return NONE;
      return segment_distance(x, y, p[1].line_point.x, p[1].line_point.y, p[2].line_point.x,
                              p[2].line_point.y);
    case DIM_LEVEL:
      if (p.size() < 3) return NONE;
      return geom_dist(x, y, p[2].line_point.x, p[2].line_point.y) - bonus;
    case DIM_ANGLE: {
      if (p.size() < 3) return NONE;
      const Point2 &c = p[0].line_point, &q1 = p[1].line_point, &q2 = p[2].line_point;
      const double r = geom_dist(c.x, c.y, q2.x, q2.y);
      const double a1 = geom_angle(c.x, c.y, q1.x, q1.y);
      double a2 = geom_angle(c.x, c.y, q2.x, q2.y);
      if (a2 < a1) a2 += GEOM_TWO_PI;
      double b = geom_angle(c.x, c.y, x, y);
      if (b < a1) b += GEOM_TWO_PI;
      if (a1 <= b && b <= a2) return std::fabs(geom_dist(c.x, c.y, x, y) - r) - bonus;
      return NONE;
    }
    default:
      return NONE;
  }
}

// The cubic Bezier point at t.
Point2 bezier_point(const SplineElem& s, double t) {
  const double u = 1.0 - t;
  const double b0 = u * u * u, b1 = 3.0 * u * u * t, b2 = 3.0 * u * t * t, b3 = t * t * t;
  return {b0 * s.p0.x + b1 * s.p1.x + b2 * s.p2.x + b3 * s.p3.x,
          b0 * s.p0.y + b1 * s.p1.y + b2 * s.p2.y + b3 * s.p3.y, 0};
}

// Calls f(x1, y1, x2, y2) for each projected face edge of a mesh.
template <class F>
void mesh_edges(const MeshElem& m, F&& f) {
  std::size_t base = 0;
  const std::size_t nv = m.vertices.size();
  for (int32_t size : m.face_sizes) {
    if (size <= 0) continue;
    const std::size_t n = static_cast<std::size_t>(size);
    if (base + n > m.indices.size()) return;
    for (std::size_t i = 0; i < n; ++i) {
      const int32_t a = m.indices[base + i], b = m.indices[base + (i + 1) % n];
      if (a < 0 || b < 0 || static_cast<std::size_t>(a) >= nv || static_cast<std::size_t>(b) >= nv) continue;
      view_project(m.vertices[a].x, m.vertices[a].y, m.vertices[a].z);
      const double u1 = geo_result.view_u, v1 = geo_result.view_v;
      view_project(m.vertices[b].x, m.vertices[b].y, m.vertices[b].z);
      f(u1, v1, geo_result.view_u, geo_result.view_v);
    }
    base += n;
  }
}

Point2 projected(const Point3& p) {
  view_project(p.x, p.y, p.z);
  return {geo_result.view_u, geo_result.view_v, 0};
}

double box3d_distance(double x, double y, const Point3* corners) {
  static constexpr int edges[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                                       {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
  double best = NONE;
  for (const auto& e : edges) {
    const Point2 a = projected(corners[e[0]]), b = projected(corners[e[1]]);
    keep(best, segment_distance(x, y, a.x, a.y, b.x, b.y));
  }
  return std::isnan(best) ? BOX_NONE : best;
}

bool allows(uint8_t filter, uint8_t kind) {
  switch (filter) {
    case PICK_ANY:
    case PICK_ANY_VISIBLE:
      return true;
    case PICK_LINE:
      return kind == ELEM_LINE;
    case PICK_ARC:
      return kind == ELEM_ARC;
    case PICK_TEXT:
      return kind == ELEM_TEXT;
    case PICK_DIM:
      return kind == ELEM_DIM;
    case PICK_WALL:
      return kind == ELEM_WALL;
    case PICK_PATTERN:
      return kind == ELEM_PATTERN;
    case PICK_BEZIER:
      return kind == ELEM_SPLINE;
    case PICK_LIGHT:
      return kind == ELEM_LIGHT;
    case PICK_CAMERA:
      return kind == ELEM_CAMERA;
    case PICK_MESH:
      return kind == ELEM_MESH;
    case PICK_SOLID:
      return kind == ELEM_WALL || kind == ELEM_MESH;
    default:
      return false;
  }
}

// The pick distance of e in the plan view; NONE when e does not count.
double plan_distance(const ElemHeader* e, double x, double y, uint8_t filter) {
  const double bonus = view_px_to_len_x(POINT_BONUS_PX);
  const bool any = filter == PICK_ANY || filter == PICK_ANY_VISIBLE;
  switch (e->kind) {
    case ELEM_LINE: {
      const auto* l = static_cast<const LineElem*>(e);
      return segment_distance(x, y, l->p1.x, l->p1.y, l->p2.x, l->p2.y);
    }
    case ELEM_LINE3D: {
      if (!any) return NONE;
      const auto* l = static_cast<const Line3dElem*>(e);
      return segment_distance(x, y, l->p1.x, l->p1.y, l->p2.x, l->p2.y);
    }
    case ELEM_ARC:
      return arc_distance(*static_cast<const ArcElem*>(e), x, y);
    case ELEM_TEXT:
      return text_distance(*static_cast<const TextElem*>(e), x, y);
    case ELEM_DIM:
      return dim_distance(*static_cast<const DimElem*>(e), x, y);
    case ELEM_WALL: {
      const auto* w = static_cast<const WallElem*>(e);
      double best = NONE;
      for (const WallSegment& s : w->segments)
        keep(best, segment_distance(x, y, s.start.x, s.start.y, s.end.x, s.end.y));
      for (int i = 0; i < 4; ++i) {
        const Point3 &a = w->corner[i], &b = w->corner[(i + 1) % 4];
        keep(best, segment_distance(x, y, a.x, a.y, b.x, b.y));
      }
      return best;
    }
    case ELEM_PATTERN: {
      const auto* p = static_cast<const PatternElem*>(e);
      if (p->points.empty() ||
          !geom_point_in_contours(x, y, static_cast<int>(p->points.size()), p->points.data()))
        return NONE;
      return view_px_to_len_x(2 * snap_size);
    }
    case ELEM_ROOM: {
      if (!any) return NONE;
      const auto* r = static_cast<const RoomElem*>(e);
      if (r->points.empty() ||
          !geom_point_in_contours(x, y, static_cast<int>(r->points.size()), r->points.data()))
        return NONE;
      return std::min(view_px_to_len_x(3 * snap_size), geom_dist(x, y, r->label.x, r->label.y));
    }
    case ELEM_SPLINE: {
      const auto* s = static_cast<const SplineElem*>(e);
      double best = NONE;
      Point2 a = bezier_point(*s, 0.0);
      for (int k = 1; k <= 8; ++k) {
        const Point2 b = bezier_point(*s, k / 8.0);
        keep(best, segment_distance(x, y, a.x, a.y, b.x, b.y));
        a = b;
      }
      return best;
    }
    case ELEM_LIGHT: {
      const auto* l = static_cast<const LightElem*>(e);
      return geom_dist(x, y, l->position.x, l->position.y) - bonus;
    }
    case ELEM_CAMERA: {
      const auto* c = static_cast<const CameraElem*>(e);
      return geom_dist(x, y, c->eye.x, c->eye.y) - bonus;
    }
    case ELEM_MESH: {
      double best = NONE;
      mesh_edges(*static_cast<const MeshElem*>(e), [&](double x1, double y1, double x2, double y2) {
        keep(best, segment_distance(x, y, x1, y1, x2, y2));
      });
      return best;
    }
  }
  return NONE;
}

// The pick distance of e in the other views: only the 3D kinds count.
double projected_distance(const ElemHeader* e, double x, double y) {
  const double bonus = view_px_to_len_x(POINT_BONUS_PX);
  switch (e->kind) {
    case ELEM_LIGHT: {
      const Point2 p = projected(static_cast<const LightElem*>(e)->position);
      return geom_dist(x, y, p.x, p.y) - bonus;
    }
    case ELEM_CAMERA: {
      const Point2 p = projected(static_cast<const CameraElem*>(e)->eye);
      return geom_dist(x, y, p.x, p.y) - bonus;
    }
    case ELEM_LINE3D: {
      const auto* l = static_cast<const Line3dElem*>(e);
      const Point2 a = projected(l->p1), b = projected(l->p2);
      return segment_distance(x, y, a.x, a.y, b.x, b.y);
    }
    case ELEM_MESH: {
      double best = NONE;
      mesh_edges(*static_cast<const MeshElem*>(e), [&](double x1, double y1, double x2, double y2) {
        keep(best, segment_distance(x, y, x1, y1, x2, y2));
      });
      return best;
    }
    case ELEM_WALL: {
      const auto* w = static_cast<const WallElem*>(e);
      double best = box3d_distance(x, y, w->corner);
      if (w->gable == 1) {
        const Point2 ga = projected(w->gable_a), gb = projected(w->gable_b);
        const int to_a[2] = {4, 5}, to_b[2] = {6, 7};
        for (int c : to_a) {
          const Point2 p = projected(w->corner[c]);
          const double d = segment_distance(x, y, p.x, p.y, ga.x, ga.y);
          if (d < best) best = d;
        }
        for (int c : to_b) {
          const Point2 p = projected(w->corner[c]);
          const double d = segment_distance(x, y, p.x, p.y, gb.x, gb.y);
          if (d < best) best = d;
        }
      }
      for (const WallOpening& o : w->openings) best = std::min(best, box3d_distance(x, y, o.corner));
      return best;
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
  return NONE;
}

}  // namespace

ElemHeader* pick_nearest_element(double x, double y, uint8_t filter) {
  const bool shown_too = filter == PICK_ANY_VISIBLE || filter == PICK_CAMERA;
  ElemHeader* found = nullptr;
  double best = START_DISTANCE;
  for (ElemHeader* e = elem_list_head; e; e = e->next) {
    if (!(e->layer == cur_layer || (shown_too && layer_visible(e->layer)))) continue;
    if (!allows(filter, e->kind)) continue;
    const double d = view_type == VIEW_PLAN ? plan_distance(e, x, y, filter) : projected_distance(e, x, y);
    if (d < best) {
      best = d;
      found = e;
    }
  }
  return found;
}

ElemHeader* pick_snap_edge(double x, double y) {
  if (view_type != VIEW_PLAN) return nullptr;
  ElemHeader* found = nullptr;
  double best = START_DISTANCE;
  for (ElemHeader* e = elem_list_head; e; e = e->next) {
    if (!layer_visible(e->layer)) continue;
    if (const auto* l = elem_as<LineElem>(e)) {
      const double d = segment_distance(x, y, l->p1.x, l->p1.y, l->p2.x, l->p2.y);
      if (d < best) {
        best = d;
        found = e;
        picked_edge.x1 = l->p1.x;
        picked_edge.y1 = l->p1.y;
        picked_edge.x2 = l->p2.x;
        picked_edge.y2 = l->p2.y;
      }
    } else if (const auto* a = elem_as<ArcElem>(e)) {
      const Point2 r = geom_rotated(a->centre.x, a->centre.y, x, y, -a->rotation);
      const double theta = geom_angle(a->centre.x, a->centre.y, r.x, r.y);
      if (!inside_sweep(theta, a->start, a->sweep)) continue;
      const double d = geom_dist(r.x, r.y, a->centre.x + a->radius_x * std::cos(theta),
                                 a->centre.y + a->radius_y * std::sin(theta));
      if (d < best) {
        best = d;
        found = e;
      }
    } else if (const auto* w = elem_as<WallElem>(e)) {
      for (const WallSegment& s : w->segments) {
        const double d = segment_distance(x, y, s.start.x, s.start.y, s.end.x, s.end.y);
        if (d < best) {
          best = d;
          found = e;
          picked_edge.x1 = s.start.x;
          picked_edge.y1 = s.start.y;
          picked_edge.x2 = s.end.x;
          picked_edge.y2 = s.end.y;
        }
      }
    }
  }
  return found;
}

ElemHeader* pick_line_edge(double x, double y) {
  picked_edge.found = 0;
  if (view_type != VIEW_PLAN) return nullptr;
  ElemHeader* found = nullptr;
  double best = START_DISTANCE;
  auto consider = [&](ElemHeader* e, double x1, double y1, double x2, double y2) {
    const double d = segment_distance(x, y, x1, y1, x2, y2);
    if (!(d < best)) return;
    best = d;
    found = e;
    picked_edge = PickedEdge{x1, y1, x2, y2, 1};
  };
  for (ElemHeader* e = elem_list_head; e; e = e->next) {
    if (!layer_visible(e->layer)) continue;
    if (const auto* l = elem_as<LineElem>(e)) {
      consider(e, l->p1.x, l->p1.y, l->p2.x, l->p2.y);
    } else if (const auto* w = elem_as<WallElem>(e)) {
      for (int i = 0; i < 4; ++i) {
        const Point3 &a = w->corner[i], &b = w->corner[(i + 1) % 4];
        consider(e, a.x, a.y, b.x, b.y);
      }
    }
  }
  return found;
}
