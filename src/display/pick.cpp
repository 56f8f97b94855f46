#include "display/pick.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "display/draw.h"
#include "display/font.h"
#include "display/input.h"
#include "display/snap.h"
#include "display/snap_grid.h"
#include "display/text_layout.h"
#include "display/view.h"
#include "model/geom.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/settings.h"
#include "model/view_rec.h"

PickedEdge picked_edge;
WallElem* picked_wall = nullptr;
int pick_kind_list_max = 4096;

namespace {

constexpr double START_DISTANCE = 100.0;
constexpr double BOX_NONE = 100000.0;
// Point-like elements win within this many pixels over any edge.
constexpr int POINT_BONUS_PX = 5;
// An opening is taken when its segment passes nearer than this.
constexpr double OPENING_CATCH = 1.0;

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

double bonus() { return view_px_to_len_x(POINT_BONUS_PX); }

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

// The segment a text is picked by: its baseline as its alignment lays it
// out from the insertion point, a justified text over its fit length.
void text_baseline(const TextElem& t, Point2* from, Point2* to) {
  const double cx = std::cos(t.angle), sx = std::sin(t.angle);
  const int align = t.alignment <= TEXT_CENTRED ? static_cast<int>(t.alignment) : static_cast<int>(TEXT_LEFT);
  const double len = t.alignment == TEXT_JUSTIFIED
                         ? t.fit_length
                         : font_text_width(t.height, t.width_factor, t.spacing, t.font.c_str(),
                                           t.text.c_str(), align, t.fit_length);
  *from = t.pos;
  *to = t.pos;
  switch (t.alignment) {
    case TEXT_RIGHT:
      to->x -= len * cx;
      to->y -= len * sx;
      break;
    case TEXT_CENTRED:
      from->x -= len / 2.0 * cx;
      from->y -= len / 2.0 * sx;
      to->x += len / 2.0 * cx;
      to->y += len / 2.0 * sx;
      break;
    default:
      to->x += len * cx;
      to->y += len * sx;
      break;
  }
}

double text_distance(const TextElem& t, double x, double y) {
  Point2 a, b;
  text_baseline(t, &a, &b);
  return segment_distance(x, y, a.x, a.y, b.x, b.y);
}

double dim_distance(const DimElem& d, double x, double y) {
  const auto& p = d.points;
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
      return geom_dist(x, y, p[2].line_point.x, p[2].line_point.y) - bonus();
    case DIM_ANGLE: {
      if (p.size() < 3) return NONE;
      const Point2 &c = p[0].line_point, &q1 = p[1].line_point, &q2 = p[2].line_point;
      const double r = geom_dist(c.x, c.y, q2.x, q2.y);
      const double a1 = geom_angle(c.x, c.y, q1.x, q1.y);
      double a2 = geom_angle(c.x, c.y, q2.x, q2.y);
      if (a2 < a1) a2 += GEOM_TWO_PI;
      double b = geom_angle(c.x, c.y, x, y);
      if (b < a1) b += GEOM_TWO_PI;
      if (a1 <= b && b <= a2) return std::fabs(geom_dist(c.x, c.y, x, y) - r) - bonus();
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

// Calls f(x1, y1, x2, y2) for each projected face edge of a mesh, the
// closing edge of each face included; faces that name missing vertices
// give no edges there.
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

double mesh_distance(const MeshElem& m, double x, double y) {
  double best = NONE;
  mesh_edges(m, [&](double x1, double y1, double x2, double y2) {
    keep(best, segment_distance(x, y, x1, y1, x2, y2));
  });
  return best;
}

Point2 projected(const Point3& p) {
  view_project(p.x, p.y, p.z);
  return {geo_result.view_u, geo_result.view_v, 0};
}

bool contains(const std::vector<Point2>& contours, double x, double y) {
  return !contours.empty() &&
         geom_point_in_contours(x, y, static_cast<int>(contours.size()), contours.data()) != 0;
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
    case ELEM_PATTERN:
      if (!contains(static_cast<const PatternElem*>(e)->points, x, y)) return NONE;
      return view_px_to_len_x(2 * snap_size);
    case ELEM_ROOM: {
      if (!any) return NONE;
      const auto* r = static_cast<const RoomElem*>(e);
      if (!contains(r->points, x, y)) return NONE;
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
      return geom_dist(x, y, l->position.x, l->position.y) - bonus();
    }
    case ELEM_CAMERA: {
      const auto* c = static_cast<const CameraElem*>(e);
      return geom_dist(x, y, c->eye.x, c->eye.y) - bonus();
    }
    case ELEM_MESH:
      return mesh_distance(*static_cast<const MeshElem*>(e), x, y);
  }
  return NONE;
}

// The pick distance of e in the other views: only the 3D kinds count.
double projected_distance(const ElemHeader* e, double x, double y) {
  switch (e->kind) {
    case ELEM_LIGHT: {
      const Point2 p = projected(static_cast<const LightElem*>(e)->position);
      return geom_dist(x, y, p.x, p.y) - bonus();
    }
    case ELEM_CAMERA: {
      const Point2 p = projected(static_cast<const CameraElem*>(e)->eye);
      return geom_dist(x, y, p.x, p.y) - bonus();
    }
    case ELEM_LINE3D: {
      const auto* l = static_cast<const Line3dElem*>(e);
      const Point2 a = projected(l->p1), b = projected(l->p2);
      return segment_distance(x, y, a.x, a.y, b.x, b.y);
    }
    case ELEM_MESH:
      return mesh_distance(*static_cast<const MeshElem*>(e), x, y);
    case ELEM_WALL: {
      const auto* w = static_cast<const WallElem*>(e);
      double best = pick_box3d_distance(x, y, w->corner);
      if (w->gable == 1) {
        const Point2 ga = projected(w->gable_a), gb = projected(w->gable_b);
        // Corners 4 and 5 rise to gable point A, corners 6 and 7 to B.
        const Point2 apex[4] = {ga, ga, gb, gb};
        for (int i = 0; i < 4; ++i) {
          const Point2 p = projected(w->corner[4 + i]);
          const double d = segment_distance(x, y, p.x, p.y, apex[i].x, apex[i].y);
          if (d < best) best = d;
        }
      }
      for (const WallOpening& o : w->openings) best = std::min(best, pick_box3d_distance(x, y, o.corner));
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

std::size_t grid_threshold() { return static_cast<std::size_t>(std::max(snap_index_threshold, 0)); }

// Beyond this many, only the longest-reaching texts and angle dimensions
// are looked at one by one.
constexpr std::size_t FAR_MAX = 256;
// A window that held this many elements and nothing near enough is widened
// to the bound at once: a wider one would hold many times as many again.
constexpr std::size_t CROWDED_WINDOW = 1024;

// An element and its place in list order.
struct Placed {
  const ElemHeader* e;  // null once it left the list (texts_and_dims only)
  uint32_t order;
};

// The entry of an order in a list of placed elements in list order.
std::vector<Placed>::iterator placed_at(std::vector<Placed>& v, uint32_t order) {
  const auto it =
      std::lower_bound(v.begin(), v.end(), order, [](const Placed& p, uint32_t o) { return p.order < o; });
  return it != v.end() && it->order == order ? it : v.end();
}

// What the picks know of the list beyond the snap's grid, kept up to date
// with the list through its journal (appended elements are taken in as
// they come):
// - its length, for choosing between a walk and the grid;
// - the elements of each kind while there are few of them, so that a pick
//   of such a kind looks at them alone instead of searching the area;
// - how far texts and angle dimensions reach beyond their box in the grid,
//   which holds a text's insertion point only (its baseline runs on from
//   there) and an angle dimension's points (its arc swings around the
//   first). All but the longest few reach no farther than near_reach, by
//   which the window is widened; the longest few (far) are looked at on
//   every pick. A text's reach depends on its font and the drawing scale,
//   so a new font or scale measures again.
struct ListShape {
  bool valid = false;
  uint32_t epoch = 0;
  uint64_t journal_at = 0;  // the journal is taken in up to here
  uint32_t newest = 0;      // the order of the last element taken in
  std::size_t length = 0;
  std::array<std::vector<Placed>, ELEM_KIND_COUNT + 1> few;  // by kind, in list order
  std::array<bool, ELEM_KIND_COUNT + 1> crowded{};           // more than pick_kind_list_max: none in few
  std::vector<Placed> texts_and_dims;                        // in list order
  std::size_t texts_gone = 0;                                // entries of texts_and_dims that left
  bool measured = false;
  double scale = 0.0;
  std::size_t fonts = 0;
  double near_reach = 0.0;
  std::vector<Placed> far;  // in list order
};
ListShape shape;

std::size_t font_stamp() {
  std::size_t h = 0;
  auto mix = [&h](std::size_t v) { h = (h ^ v) * 1099511628211ull + 0x9e3779b97f4a7c15ull; };
  for (int i = 0; i < FONT_SLOT_COUNT; ++i) {
    const FontSlot& s = font_slots[i];
    if (!s.in_use()) continue;
    mix(static_cast<std::size_t>(i));
    mix(std::hash<std::string>{}(s.name));
    mix(s.codes.size());
    mix(reinterpret_cast<std::size_t>(s.codes.data()));
  }
  return h;
}

// How far beyond its grid box e can be picked; 0 for the kinds whose pick
// geometry lies inside their box (the bonus of point-like kinds aside).
double reach_of(const ElemHeader* e) {
  if (const auto* t = elem_as<TextElem>(e)) {
    Point2 a, b;
    text_baseline(*t, &a, &b);
    return std::max(geom_dist(t->pos.x, t->pos.y, a.x, a.y), geom_dist(t->pos.x, t->pos.y, b.x, b.y));
  }
  if (const auto* d = elem_as<DimElem>(e)) {
    if (d->dim_kind != DIM_ANGLE || d->points.size() < 3) return 0.0;
    const Point2 &c = d->points[0].line_point, &q = d->points[2].line_point;
    return geom_dist(c.x, c.y, q.x, q.y);
  }
  return 0.0;
}

void add_far(const ElemHeader* e) {
  const auto at = std::lower_bound(shape.far.begin(), shape.far.end(), e->order,
                                   [](const Placed& p, uint32_t o) { return p.order < o; });
  if (at == shape.far.end() || at->order != e->order) shape.far.insert(at, Placed{e, e->order});
}

void measure_all() {
  struct Reaching {
    const ElemHeader* e;
    double reach;
  };
  std::vector<Reaching> reaching;
  for (const Placed& p : shape.texts_and_dims) {
    if (!p.e) continue;
    const double r = reach_of(p.e);
    if (!(r <= 0.0)) reaching.push_back({p.e, r});
  }
  shape.far.clear();
  shape.near_reach = 0.0;
  std::vector<double> finite;
  for (const Reaching& r : reaching)
    if (std::isfinite(r.reach)) finite.push_back(r.reach);
  if (finite.size() > FAR_MAX) {
    auto kth = finite.end() - static_cast<std::ptrdiff_t>(FAR_MAX);
    std::nth_element(finite.begin(), kth, finite.end());
    shape.near_reach = *kth;
  }
  for (const Reaching& r : reaching)
    if (!(r.reach <= shape.near_reach)) shape.far.push_back({r.e, r.e->order});
  shape.measured = true;
  shape.scale = drawing_scale;
  shape.fonts = font_stamp();
}

bool reaches(uint8_t kind) { return kind == ELEM_TEXT || kind == ELEM_DIM; }

// Takes in the journal since the shape last looked: elements that left the
// list, then texts and dimensions changed in place, which may reach
// farther now. False when the journal no longer holds all of it.
bool follow_journal() {
  if (elem_journal_end - shape.journal_at > ELEM_JOURNAL_SIZE) return false;
  ElemJournalEntry j;
  for (uint64_t p = shape.journal_at; p < elem_journal_end; ++p) {
    if (!elem_journal_entry(p, &j)) return false;
    if (!j.removed || j.order > shape.newest) continue;
    --shape.length;
    if (j.kind >= 1 && j.kind <= ELEM_KIND_COUNT && !shape.crowded[j.kind]) {
      auto& few = shape.few[j.kind];
      const auto it = placed_at(few, j.order);
      if (it != few.end()) few.erase(it);
    }
    if (!reaches(j.kind)) continue;
    const auto t = placed_at(shape.texts_and_dims, j.order);
    if (t != shape.texts_and_dims.end() && t->e) {
      t->e = nullptr;
      ++shape.texts_gone;
    }
    const auto f = placed_at(shape.far, j.order);
    if (f != shape.far.end()) shape.far.erase(f);
  }
  if (shape.measured) {
    for (uint64_t p = shape.journal_at; p < elem_journal_end; ++p) {
      if (!elem_journal_entry(p, &j)) return false;
      if (j.removed || j.order > shape.newest || !reaches(j.kind)) continue;
      const auto t = placed_at(shape.texts_and_dims, j.order);
      if (t == shape.texts_and_dims.end() || !t->e) continue;  // gone since
      if (!(reach_of(t->e) <= shape.near_reach)) add_far(t->e);
    }
  }
  shape.journal_at = elem_journal_end;
  if (shape.texts_gone > shape.texts_and_dims.size() / 2) {
    std::erase_if(shape.texts_and_dims, [](const Placed& p) { return !p.e; });
    shape.texts_gone = 0;
  }
  return true;
}

// Brings the shape up to date with the list.
void update_shape() {
  const std::size_t threshold = grid_threshold();
  if (!shape.valid || shape.epoch != elem_list_epoch || !follow_journal()) {
    shape = ListShape{};
    shape.valid = true;
    shape.epoch = elem_list_epoch;
    shape.journal_at = elem_journal_end;
  }
  const std::size_t fonts_before = font_stamp();
  // The elements appended since: a run at the end of the list.
  const ElemHeader* first = nullptr;
  for (const ElemHeader* e = elem_list_tail; e && e->order > shape.newest; e = e->previous) first = e;
  for (const ElemHeader* e = first; e; e = e->next) {
    ++shape.length;
    shape.newest = e->order;
    if (reaches(e->kind)) shape.texts_and_dims.push_back({e, e->order});
    if (e->kind >= 1 && e->kind <= ELEM_KIND_COUNT && !shape.crowded[e->kind]) {
      auto& few = shape.few[e->kind];
      few.push_back({e, e->order});
      if (few.size() > static_cast<std::size_t>(std::max(pick_kind_list_max, 0))) {
        shape.crowded[e->kind] = true;
        few = {};
      }
    }
    if (!shape.measured) continue;
    const double r = reach_of(e);
    if (!(r <= shape.near_reach)) add_far(e);
  }
  if (shape.length < threshold) return;
  if (!shape.measured || shape.scale != drawing_scale || shape.fonts != fonts_before ||
      font_stamp() != fonts_before || shape.far.size() > 4 * FAR_MAX)
    measure_all();
}

// Whether a comes before b in the list (both in it).
bool comes_before(const ElemHeader* a, const ElemHeader* b) { return a->order < b->order; }

// The whole list as a range.
struct ListElements {
  struct Iter {
    const ElemHeader* e;
    const ElemHeader* operator*() const { return e; }
    Iter& operator++() {
      e = e->next;
      return *this;
    }
    bool operator!=(const Iter& o) const { return e != o.e; }
  };
  Iter begin() const { return {elem_list_head}; }
  Iter end() const { return {nullptr}; }
};

// The elements of the kinds the filter takes, in list order, when there
// are few of each; nothing when one of them is crowded.
std::optional<std::vector<const ElemHeader*>> few_of_kinds(uint8_t filter) {
  std::vector<Placed> few;
  for (uint8_t k = 1; k <= ELEM_KIND_COUNT; ++k) {
    if (!allows(filter, k)) continue;
    if (shape.crowded[k] || shape.few[k].size() > static_cast<std::size_t>(std::max(pick_kind_list_max, 0)))
      return std::nullopt;
    few.insert(few.end(), shape.few[k].begin(), shape.few[k].end());
  }
  std::sort(few.begin(), few.end(), [](const Placed& a, const Placed& b) { return a.order < b.order; });
  std::vector<const ElemHeader*> out;
  out.reserve(few.size());
  for (const Placed& p : few) out.push_back(p.e);
  return out;
}

std::vector<const ElemHeader*> window_elems;
std::vector<const ElemHeader*> far_elems;

// The element dist puts nearest to a plan-view pick at (x, y), nearer than
// 100 m; the first of equally near ones; null when none. Its distance goes
// to *best. dist gives NONE for an element that does not count; no element
// may count nearer than its grid box's distance less slack. Below the
// grid's threshold the list is walked. Otherwise only the elements whose
// box meets a square about the point are looked at, the square widening
// until it holds the nearest one found, or the caller's bound if that is
// nearer, plus slack: four times at a step while it holds few elements.
// The shape is up to date.
template <class Dist>
const ElemHeader* plan_nearest(double x, double y, double slack, double bound, Dist&& dist, double* best) {
  const ElemHeader* found = nullptr;
  *best = START_DISTANCE;
  auto consider = [&](const ElemHeader* e) {
    const double d = dist(e);
    if (d < *best) {
      *best = d;
      found = e;
    }
  };
  const std::size_t threshold = grid_threshold();
  if (shape.length < threshold) {
    for (const ElemHeader* e = elem_list_head; e; e = e->next) consider(e);
    return found;
  }
  bound = std::min(bound, START_DISTANCE);
  const double first = view_px_to_len_x(3 * std::max(snap_size, 1));
  double r = std::min((first > 0.0 ? first : 0.0) + slack, bound + slack);
  for (;;) {
    elem_grid_query(x - r, y - r, x + r, y + r, threshold, window_elems);
    found = nullptr;
    *best = START_DISTANCE;
    for (const ElemHeader* e : window_elems) consider(e);
    const double need = std::min(*best, bound) + slack;
    if (r >= need) return found;
    // A miss among many widens to the bound at once: a wider square would
    // hold many times as many again.
    r = found || !(r > 0.0) || window_elems.size() > CROWDED_WINDOW ? need : std::min(4.0 * r, need);
  }
}

ElemHeader* unconst(const ElemHeader* e) { return const_cast<ElemHeader*>(e); }

// Runs one transparent STEP_PICK request with the prompt (a literal the
// caller marked for translation); the point is in r.x[0], r.y[0].
int ask_pick(InputRequest& r, const char* prompt) {
  r = InputRequest{};
  r.transparent = 1;
  input_set_step(&r, 0, STEP_PICK, nls_translate(prompt));
  return input_run_request(&r);
}

template <class T>
T* pick_kind_loop(const char* prompt, uint8_t filter) {
  for (;;) {
    InputRequest r;
    const int result = ask_pick(r, prompt);
    if (result == INPUT_CANCEL) return nullptr;
    if (result != INPUT_DONE) continue;
    if (T* e = elem_as<T>(pick_nearest_element(r.x[0], r.y[0], filter))) return e;
  }
}

template <class T>
T* first_containing(double x, double y) {
  elem_grid_query(x, y, x, y, grid_threshold(), window_elems);
  for (const ElemHeader* e : window_elems) {
    const T* c = elem_as<T>(e);
    if (c && c->layer == cur_layer && contains(c->points, x, y)) return static_cast<T*>(unconst(e));
  }
  return nullptr;
}

template <class T>
T* pick_containing_loop(const char* prompt) {
  for (;;) {
    InputRequest r;
    const int result = ask_pick(r, prompt);
    if (result == INPUT_CANCEL) return nullptr;
    if (result != INPUT_DONE) continue;
    if (T* e = first_containing<T>(r.x[0], r.y[0])) {
      e->mark = 1;
      CursorHidden hidden;
      draw_element(DRAW_NORMAL, e);
      return e;
    }
  }
}

}  // namespace

double pick_box3d_distance(double x, double y, const Point3* corners) {
  static constexpr int edges[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                                       {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
  double best = NONE;
  for (const auto& e : edges) {
    const Point2 a = projected(corners[e[0]]), b = projected(corners[e[1]]);
    keep(best, segment_distance(x, y, a.x, a.y, b.x, b.y));
  }
  return std::isnan(best) ? BOX_NONE : best;
}

ElemHeader* pick_nearest_element(double x, double y, uint8_t filter) {
  const bool shown_too = filter == PICK_ANY_VISIBLE || filter == PICK_CAMERA || select_all_layers == 1;
  const bool plan = view_type == VIEW_PLAN;
  auto dist = [&](const ElemHeader* e) {
    if (!(e->layer == cur_layer || (shown_too && layer_visible(e->layer))) || !allows(filter, e->kind))
      return NONE;
    return plan ? plan_distance(e, x, y, filter) : projected_distance(e, x, y);
  };
  auto nearest_of = [&](auto&& elements) {
    const ElemHeader* found = nullptr;
    double best = START_DISTANCE;
    for (const ElemHeader* e : elements) {
      const double d = dist(e);
      if (d < best) {
        best = d;
        found = e;
      }
    }
    return unconst(found);
  };

  update_shape();
  const bool indexed = shape.length >= grid_threshold();
  if (indexed && filter != PICK_ANY && filter != PICK_ANY_VISIBLE) {
    if (const auto few = few_of_kinds(filter)) return nearest_of(*few);
  }
  if (!plan || !indexed) return nearest_of(ListElements{});

  // The far-reaching elements first: the nearest of them bounds the window,
  // which then leaves them out.
  double far_best = START_DISTANCE;
  far_elems.clear();
  for (const Placed& p : shape.far) far_elems.push_back(p.e);
  const ElemHeader* far_found = nearest_of(far_elems);
  if (far_found) far_best = dist(far_found);
  auto is_far = [&](const ElemHeader* e) {
    if (!reaches(e->kind)) return false;
    const auto f = placed_at(shape.far, e->order);
    return f != shape.far.end() && f->e == e;
  };
  // How much nearer than their grid box the kinds the filter takes count.
  const bool reaching = allows(filter, ELEM_TEXT) || allows(filter, ELEM_DIM);
  const bool point_like =
      allows(filter, ELEM_LIGHT) || allows(filter, ELEM_CAMERA) || allows(filter, ELEM_DIM);
  const double slack = (reaching ? shape.near_reach : 0.0) + (point_like ? bonus() : 0.0);
  double best = START_DISTANCE;
  const ElemHeader* found = plan_nearest(
      x, y, slack, far_best, [&](const ElemHeader* e) { return is_far(e) ? NONE : dist(e); }, &best);
  if (far_found && (!found || far_best < best || (far_best == best && comes_before(far_found, found))))
    found = far_found;
  return unconst(found);
}

LightElem* pick_light() { return pick_kind_loop<LightElem>(nls_mark("Select Light:"), PICK_LIGHT); }

CameraElem* pick_camera() { return pick_kind_loop<CameraElem>(nls_mark("Select Camera:"), PICK_CAMERA); }

WallElem* pick_wall() { return pick_kind_loop<WallElem>(nls_mark("Select Wall:"), PICK_WALL); }

PatternElem* pick_pattern() { return pick_containing_loop<PatternElem>(nls_mark("Select Pattern:")); }

RoomElem* pick_room() { return pick_containing_loop<RoomElem>(nls_mark("Select Room:")); }

WallOpening* pick_opening() {
  picked_wall = nullptr;
  for (;;) {
    InputRequest r;
    const int result = ask_pick(r, nls_mark("Select Opening:"));
    if (result == INPUT_CANCEL) return nullptr;
    if (result != INPUT_DONE) continue;
    const double x = r.x[0], y = r.y[0];
    // An opening lies inside its wall, so only walls whose box comes
    // within the catch distance can hold one near enough.
    elem_grid_query(x - OPENING_CATCH, y - OPENING_CATCH, x + OPENING_CATCH, y + OPENING_CATCH,
                    grid_threshold(), window_elems);
    WallOpening* found = nullptr;
    double best = START_DISTANCE;
    for (const ElemHeader* e : window_elems) {
      auto* w = elem_as<WallElem>(unconst(e));
      if (!w || w->layer != cur_layer) continue;
      for (WallOpening& o : w->openings) {
        const double d = segment_distance(x, y, o.corner[0].x, o.corner[0].y, o.corner[2].x, o.corner[2].y);
        if (d < best) {
          best = d;
          found = &o;
          picked_wall = w;
        }
      }
    }
    if (found && best < OPENING_CATCH) return found;
    picked_wall = nullptr;
  }
}

DimPoint* pick_dim_segment(DimElem& dim, double x, double y) {
  auto& p = dim.points;
  if (dim.dim_kind != DIM_CHAIN) return p.size() >= 3 ? &p[2] : nullptr;
  for (std::size_t k = 1; k < p.size(); ++k) {
    geom_project_on_segment(x, y, p[k - 1].line_point.x, p[k - 1].line_point.y, p[k].line_point.x,
                            p[k].line_point.y);
    const double t = geo_result.proj_t;
    if (t >= 0.0 && t <= 1.0) return &p[k];
  }
  return nullptr;
}

ElemHeader* pick_snap_edge(double x, double y) {
  if (view_type != VIEW_PLAN) return nullptr;
  // The distance of e and, for a line or a wall, its nearest segment.
  auto measure = [&](const ElemHeader* e, PickedEdge* edge) {
    if (!layer_visible(e->layer)) return NONE;
    if (const auto* l = elem_as<LineElem>(e)) {
      *edge = {l->p1.x, l->p1.y, l->p2.x, l->p2.y, edge->found};
      return segment_distance(x, y, l->p1.x, l->p1.y, l->p2.x, l->p2.y);
    }
    if (const auto* a = elem_as<ArcElem>(e)) {
      const Point2 r = geom_rotated(a->centre.x, a->centre.y, x, y, -a->rotation);
      const double theta = geom_angle(a->centre.x, a->centre.y, r.x, r.y);
      if (!inside_sweep(theta, a->start, a->sweep)) return NONE;
      return geom_dist(r.x, r.y, a->centre.x + a->radius_x * std::cos(theta),
                       a->centre.y + a->radius_y * std::sin(theta));
    }
    if (const auto* w = elem_as<WallElem>(e)) {
      double best = NONE;
      for (const WallSegment& s : w->segments) {
        const double d = segment_distance(x, y, s.start.x, s.start.y, s.end.x, s.end.y);
        if (!std::isnan(d) && (std::isnan(best) || d < best)) {
          best = d;
          *edge = {s.start.x, s.start.y, s.end.x, s.end.y, edge->found};
        }
      }
      return best;
    }
    return NONE;
  };
  PickedEdge edge = picked_edge;
  update_shape();
  double best = START_DISTANCE;
  const ElemHeader* found = plan_nearest(
      x, y, 0.0, START_DISTANCE, [&](const ElemHeader* e) { return measure(e, &edge); }, &best);
  if (found && found->kind != ELEM_ARC) {
    measure(found, &edge);
    picked_edge = edge;
  }
  return unconst(found);
}

ElemHeader* pick_line_edge(double x, double y) {
  picked_edge.found = 0;
  if (view_type != VIEW_PLAN) return nullptr;
  auto measure = [&](const ElemHeader* e, PickedEdge* edge) {
    if (!layer_visible(e->layer)) return NONE;
    if (const auto* l = elem_as<LineElem>(e)) {
      *edge = {l->p1.x, l->p1.y, l->p2.x, l->p2.y, 1};
      return segment_distance(x, y, l->p1.x, l->p1.y, l->p2.x, l->p2.y);
    }
    if (const auto* w = elem_as<WallElem>(e)) {
      double best = NONE;
      for (int i = 0; i < 4; ++i) {
        const Point3 &a = w->corner[i], &b = w->corner[(i + 1) % 4];
        const double d = segment_distance(x, y, a.x, a.y, b.x, b.y);
        if (!std::isnan(d) && (std::isnan(best) || d < best)) {
          best = d;
          *edge = {a.x, a.y, b.x, b.y, 1};
        }
      }
      return best;
    }
    return NONE;
  };
  PickedEdge edge;
  update_shape();
  double best = START_DISTANCE;
  const ElemHeader* found = plan_nearest(
      x, y, 0.0, START_DISTANCE, [&](const ElemHeader* e) { return measure(e, &edge); }, &best);
  if (found) {
    measure(found, &edge);
    picked_edge = edge;
  }
  return unconst(found);
}
