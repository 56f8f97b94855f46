#include "model/wall_outline.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <memory>
#include <new>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "model/geom.h"
#include "model/redraw.h"
#include "model/undo.h"
#include "model/wall_index.h"

double wall_corner_bank[8];

namespace {

struct Xy {
  double x, y;
};

WallSegment segment(Xy a, Xy b) { return WallSegment{{a.x, a.y, 0}, {b.x, b.y, 0}}; }
WallSegment segment(const Point2& a, Xy b) { return segment(Xy{a.x, a.y}, b); }
WallSegment segment(Xy a, const Point2& b) { return segment(a, Xy{b.x, b.y}); }

bool overlaps(Xy p, Xy q, const WallSegment& g) {
  return geom_segments_overlap(p.x, p.y, q.x, q.y, g.start.x, g.start.y, g.end.x, g.end.y) == 1;
}

double param_on(Xy p, const WallSegment& g) {
  geom_project_on_segment(p.x, p.y, g.start.x, g.start.y, g.end.x, g.end.y);
  return geo_result.proj_t;
}

bool within(double t) { return t >= 0.0 && t <= 1.0; }

void corners_of(const WallElem& w, double c[24]) {
  for (int i = 0; i < 8; ++i) {
    c[3 * i] = w.corner[i].x;
    c[3 * i + 1] = w.corner[i].y;
    c[3 * i + 2] = w.corner[i].z;
  }
}

// Appends a wall with w's header, corners, material and gable and the given
// outline and openings; returns it.
WallElem* append_like(const WallElem& w, std::vector<WallSegment>& segs, std::vector<WallOpening>& ops) {
  double c[24];
  corners_of(w, c);
  elem_new_wall(w.layer, w.pen, w.line_type, c, static_cast<int>(segs.size()), segs.data(),
                static_cast<int>(ops.size()), ops.data(), w.material.c_str(), w.gable, w.gable_a.x,
                w.gable_a.y, w.gable_a.z, w.gable_b.x, w.gable_b.y, w.gable_b.z);
  auto* fresh = static_cast<WallElem*>(elem_list_tail);
  fresh->group = w.group;
  return fresh;
}

void remove_element(ElemHeader* e) {
  elem_unlink(e);
  elem_destroy(e);
  drawing_modified = 1;
}

// The outline segs with the opening of plan box b0..b3 cut in (stop width sw,
// stop depth sd); false when either face has no segment that holds it.
bool cut_outline(const Point3 (&box)[8], double sw, double sd, const std::vector<WallSegment>& in,
                 std::vector<WallSegment>& segs) {
  const Xy b0{box[0].x, box[0].y}, b1{box[1].x, box[1].y};
  const Xy b2{box[2].x, box[2].y}, b3{box[3].x, box[3].y};
  const double a = geom_angle(b0.x, b0.y, b1.x, b1.y);
  const double dx = std::cos(a), dy = std::sin(a);  // along the outer face
  const double nx = -dy, ny = dx;                   // from the outer face into the wall
  // The inner face's gap is wider by the stop width at both ends; the stop's
  // steps lie at the stop depth behind the outer face.
  const Xy p3{b3.x - sw * dx, b3.y - sw * dy}, p2{b2.x + sw * dx, b2.y + sw * dy};
  const Xy s0{b0.x + sd * nx, b0.y + sd * ny}, s1{b1.x + sd * nx, b1.y + sd * ny};
  const Xy s0w{s0.x - sw * dx, s0.y - sw * dy}, s1w{s1.x + sw * dx, s1.y + sw * dy};
  const bool stop = !(sw == 0.0 && sd == 0.0);

  if (in.empty()) return false;
  segs.clear();
  segs.reserve(in.size() + 8);
  bool outer_split = false, inner_split = false;
  for (WallSegment g : in) {
    if (overlaps(b0, b1, g)) {
      const double t0 = param_on(b0, g), t1 = param_on(b1, g);
      if (!within(t0) || !within(t1)) continue;
      if (t0 > t1) std::swap(g.start, g.end);
      segs.push_back(segment(g.start, b0));
      segs.push_back(segment(b1, g.end));
      outer_split = true;
    } else if (overlaps(b2, b3, g)) {
      const double t0 = param_on(p3, g), t1 = param_on(p2, g);
      if (!within(t0) || !within(t1)) continue;
      if (t0 > t1) std::swap(g.start, g.end);
      segs.push_back(segment(g.start, p3));
      segs.push_back(segment(p2, g.end));
      if (stop) {
        segs.push_back(segment(b0, s0));
        segs.push_back(segment(s0, s0w));
        segs.push_back(segment(s0w, p3));
        segs.push_back(segment(b1, s1));
        segs.push_back(segment(s1, s1w));
        segs.push_back(segment(s1w, p2));
      } else {
        segs.push_back(segment(b0, b3));
        segs.push_back(segment(b1, b2));
      }
      inner_split = true;
    } else {
      segs.push_back(g);
    }
  }
  return outer_split && inner_split;
}

WallElem* cut(const Point3 (&box)[8], int kind, int style, double sill, double height, double sw, double sd,
              int quadrant, WallElem* w) {
  std::vector<WallSegment> segs;
  if (!cut_outline(box, sw, sd, w->segments, segs)) return w;
  std::vector<WallOpening> ops = w->openings;

  WallOpening o;
  for (int i = 0; i < 8; ++i) o.corner[i] = box[i];
  o.reserved = 0;
  o.kind = static_cast<uint8_t>(kind);
  o.symbol_style = static_cast<uint8_t>(style);
  o.leaf_quadrant = static_cast<uint8_t>(quadrant);
  o.sill = sill;
  o.height = height;
  o.stop_width = sw;
  o.stop_depth = sd;
  ops.push_back(o);
  return append_like(*w, segs, ops);
}

// How near an outline end must lie to one of an opening's plan points to
// belong to its gap. A move carries the ends and the corners by the same
// sums, so they agree to rounding.
constexpr double GAP_TOLERANCE = 1e-6;

// The plan points at which the outline meets an opening's gap, as the cut
// makes them: the box corners, the steps of the stop and the ends of the
// widened gap in the inner face (those two last).
std::vector<Xy> gap_points(const WallOpening& o) {
  const Point3* c = o.corner;
  const double a = geom_angle(c[0].x, c[0].y, c[1].x, c[1].y);
  const double dx = std::cos(a), dy = std::sin(a);
  const double nx = -dy, ny = dx;
  const double sw = o.stop_width, sd = o.stop_depth;
  const Xy s0{c[0].x + sd * nx, c[0].y + sd * ny}, s1{c[1].x + sd * nx, c[1].y + sd * ny};
  return {{c[0].x, c[0].y},
          {c[1].x, c[1].y},
          {c[2].x, c[2].y},
          {c[3].x, c[3].y},
          s0,
          s1,
          {s0.x - sw * dx, s0.y - sw * dy},
          {s1.x + sw * dx, s1.y + sw * dy},
          {c[3].x - sw * dx, c[3].y - sw * dy},
          {c[2].x + sw * dx, c[2].y + sw * dy}};
}

bool near(const Point2& p, Xy q) { return std::hypot(p.x - q.x, p.y - q.y) < GAP_TOLERANCE; }

// Takes the opening o out of the outline segs: the segments that run
// between points of its gap (the jambs) go, and on each face the two pieces
// that end at the gap become one segment from the far end of the one to the
// far end of the other. A piece the cut left with no length is dropped;
// the joined segment starts at the gap's end instead. False
// when a face shows no piece at the gap; segs may be changed then.
bool uncut(std::vector<WallSegment>& segs, const WallOpening& o, const WallElem& wall) {
  const std::vector<Xy> pts = gap_points(o);
  auto on_gap = [&pts](const Point2& p) {
    for (const Xy& q : pts)
      if (near(p, q)) return true;
    return false;
  };
  // The jambs as the cut makes them, by their gap points: straight without a
  // stop, stepped with one. Each goes once: at a wall's end a jamb may lie
  // on the end face, which stays.
  const bool stop = !(o.stop_width == 0.0 && o.stop_depth == 0.0);
  std::vector<std::pair<int, int>> jambs;
  if (stop)
    jambs = {{0, 4}, {4, 6}, {6, 8}, {1, 5}, {5, 7}, {7, 9}};
  else
    jambs = {{0, 3}, {1, 2}};
  std::vector<WallSegment> kept = segs;
  for (const auto& [i, j] : jambs) {
    for (auto it = kept.begin(); it != kept.end(); ++it) {
      if ((near(it->start, pts[i]) && near(it->end, pts[j])) ||
          (near(it->start, pts[j]) && near(it->end, pts[i]))) {
        kept.erase(it);
        break;
      }
    }
  }
  // Face pieces the cut left without length.
  std::erase_if(kept, [&](const WallSegment& g) {
    return on_gap(g.start) && std::hypot(g.end.x - g.start.x, g.end.y - g.start.y) < GAP_TOLERANCE;
  });

  constexpr std::size_t NONE = static_cast<std::size_t>(-1);
  // The index of the piece along the face from a to b with an end at q, and
  // its other end.
  auto piece_at = [&kept](Xy q, Xy a, Xy b, Point2& far) {
    const double len = std::hypot(b.x - a.x, b.y - a.y);
    for (std::size_t i = 0; i < kept.size(); ++i) {
      const bool at_start = near(kept[i].start, q);
      if (!at_start && !near(kept[i].end, q)) continue;
      const Point2& f = at_start ? kept[i].end : kept[i].start;
      const double off = std::fabs((b.x - a.x) * (f.y - a.y) - (b.y - a.y) * (f.x - a.x));
      if (!(off <= GAP_TOLERANCE * len)) continue;
      far = f;
      return i;
    }
    return NONE;
  };
  // Any other end at the gap, unless it lies on one of the wall's corners,
  // was dragged along with the gap's points (an end face at a corner that
  // the opening meets): the outline no longer shows the gap as the cut made
  // it.
  auto at_corner = [&wall](const Point2& p) {
    for (int k = 0; k < 4; ++k)
      if (p.x == wall.corner[k].x && p.y == wall.corner[k].y) return true;
    return false;
  };
  int at_gap = 0;
  for (const WallSegment& g : kept)
    at_gap += (on_gap(g.start) && !at_corner(g.start)) || (on_gap(g.end) && !at_corner(g.end));
  int pieces = 0;
  auto join = [&](Xy a, Xy b) {
    Point2 far_a{a.x, a.y, 0}, far_b{b.x, b.y, 0};
    const std::size_t ia = piece_at(a, a, b, far_a), ib = piece_at(b, a, b, far_b);
    if (ia == NONE && ib == NONE) return false;
    auto counts = [&](std::size_t i, const Point2& far) {
      // A piece ending on a wall corner at the gap was not counted above.
      if (i == NONE) return 0;
      const Point2& q = near(kept[i].start, Xy{far.x, far.y}) ? kept[i].end : kept[i].start;
      return at_corner(q) ? 0 : 1;
    };
    pieces += counts(ia, far_a) + counts(ib, far_b);
    const WallSegment joined = segment(Xy{far_a.x, far_a.y}, far_b);
    if (ia == NONE) {
      kept[ib] = joined;
    } else {
      kept[ia] = joined;
      if (ib != NONE) kept.erase(kept.begin() + static_cast<std::ptrdiff_t>(ib));
    }
    return true;
  };
  if (!join(pts[0], pts[1]) || !join(pts[8], pts[9]) || pieces != at_gap) return false;
  segs = std::move(kept);
  return true;
}

WallElem* recut(WallElem* w, const std::vector<bool>& flags) {
  std::vector<WallSegment> segs = w->segments;
  std::vector<WallOpening> kept, again;
  for (std::size_t i = 0; i < w->openings.size(); ++i) {
    const WallOpening& o = w->openings[i];
    if (!flags[i]) {
      kept.push_back(o);
      continue;
    }
    if (!uncut(segs, o, *w)) return w;
    if (o.kind != OPENING_REMOVED) again.push_back(o);
  }
  WallElem* current = append_like(*w, segs, kept);
  for (const WallOpening& o : again) {
    Point3 box[8];
    for (int i = 0; i < 8; ++i) box[i] = {o.corner[i].x, o.corner[i].y, o.corner[i].z, 0};
    WallElem* next = opening_cut_wall(box, o.kind, o.symbol_style, o.sill, o.height, o.stop_width,
                                      o.stop_depth, o.leaf_quadrant, current);
    if (next != current) {
      remove_element(current);
      current = next;
    }
  }
  return current;
}

// The plan box of the lower corners, grown by d on every side.
WallBox grown_box(const WallElem& w, double d) {
  const WallBox b = wall_plan_box(w);
  return {b.xmin - d, b.ymin - d, b.xmax + d, b.ymax + d};
}

// Four times the average height of the lower (first 0) or upper corners.
double z_sum(const WallElem& w, int first) {
  double s = 0.0;
  for (int i = first; i < first + 4; ++i) s += w.corner[i].z;
  return s;
}

WallSegment side_segment(const Point2& a, const Point3& b) {
  return WallSegment{{a.x, a.y, 0}, {b.x, b.y, 0}};
}

double param_on_side(const Point2& p, const Point3& a, const Point3& b) {
  geom_project_on_segment(p.x, p.y, a.x, a.y, b.x, b.y);
  return geo_result.proj_t;
}

// The plan thickness of w: how far its face 2-3 lies from its face 0-1.
double plan_thickness(const WallElem& w) {
  const Point3 &a = w.corner[0], &b = w.corner[1];
  const double len = std::hypot(b.x - a.x, b.y - a.y);
  if (!(len > 0.0)) return 0.0;
  auto off = [&](const Point3& p) {
    return std::fabs((b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x)) / len;
  };
  return std::max(off(w.corner[2]), off(w.corner[3]));
}

// How far the ends of a side may lie from the line of an outline segment
// for the segment to lie on that side: a share of the thinner wall's
// thickness, the scale of the walls' own features, and never a share of
// the segment's length. A tolerance that grows as the segment gets
// shorter takes the few millimetres a door's stop leaves at the inner face
// as lying on any face parallel to it and some centimetres away.
constexpr double ON_SIDE_SHARE = 1e-3;
// The least of it, for walls with next to no thickness: rounding only.
constexpr double ON_SIDE_LEAST = 1e-6;

double on_side_tolerance(const WallElem& a, const WallElem& b) {
  return std::max(ON_SIDE_SHARE * std::min(plan_thickness(a), plan_thickness(b)), ON_SIDE_LEAST);
}

// Whether the segment p-q lies on the side c-d within tol: c and d lie no
// farther than tol from the segment's line, and the two overlap along the
// segment's main axis by more than a point.
bool lies_on_side(const Point2& p, const Point2& q, const Point3& c, const Point3& d, double tol) {
  if (std::fabs(q.x - p.x) < TOL_POINT && std::fabs(q.y - p.y) < TOL_POINT) return false;
  if (std::fabs(d.x - c.x) < TOL_POINT && std::fabs(d.y - c.y) < TOL_POINT) return false;
  const double len = std::hypot(q.x - p.x, q.y - p.y);
  auto off = [&](const Point3& r) {
    return std::fabs((q.x - p.x) * (r.y - p.y) - (q.y - p.y) * (r.x - p.x));
  };
  if (off(c) > tol * len || off(d) > tol * len) return false;
  const bool on_y = std::fabs(q.x - p.x) <= std::fabs(q.y - p.y);
  const double s1 = on_y ? p.y : p.x, e1 = on_y ? q.y : q.x;
  const double s2 = on_y ? c.y : c.x, e2 = on_y ? d.y : d.x;
  return std::min(s2, e2) < std::max(s1, e1) && std::min(s1, e1) < std::max(s2, e2);
}

std::vector<WallSegment> quad_of(const WallElem& w) {
  std::vector<WallSegment> quad(4);
  wall_outline_quad(w.corner[0].x, w.corner[0].y, w.corner[1].x, w.corner[1].y, w.corner[2].x, w.corner[2].y,
                    w.corner[3].x, w.corner[3].y, quad.data());
  return quad;
}

// A work copy of w, outside the list.
std::unique_ptr<WallElem> work_copy(const WallElem& w) {
  return std::unique_ptr<WallElem>(static_cast<WallElem*>(w.clone().release()));
}

// Cuts the openings of w that are not removed into segs, in order; those
// that fit are added to ops when given.
void cut_openings(const WallElem& w, std::vector<WallSegment>& segs, std::vector<WallOpening>* ops) {
  std::vector<WallSegment> next;
  for (const WallOpening& o : w.openings) {
    if (o.kind == OPENING_REMOVED) continue;
    if (!cut_outline(o.corner, o.stop_width, o.stop_depth, segs, next)) continue;
    segs.swap(next);
    if (ops) ops->push_back(o);
  }
}

// a's outline was joined to b: its own outline (its corners' with its
// openings cut in) would lose a segment on a side of b, its present one
// has none left there. An opening's gap facing b is no joint.
bool joined_towards(const WallElem& a, const WallElem& b) {
  if (wall_connected_outline(a, b)) return false;
  std::unique_ptr<WallElem> plain = work_copy(a);
  plain->segments = quad_of(a);
  cut_openings(a, plain->segments, nullptr);
  return wall_connected_outline(*plain, b).has_value();
}

bool joined(const WallElem& a, const WallElem& b) {
  if (wall_pair_apart(a, b) == 1) return false;
  return joined_towards(a, b) || joined_towards(b, a);
}

// Whether every opening of w that is not removed can be cut into segs.
bool openings_fit(const WallElem& w, std::vector<WallSegment> segs) {
  std::vector<WallSegment> next;
  for (const WallOpening& o : w.openings) {
    if (o.kind == OPENING_REMOVED) continue;
    if (!cut_outline(o.corner, o.stop_width, o.stop_depth, segs, next)) return false;
    segs.swap(next);
  }
  return true;
}

// A partner of a wall being fitted: the wall it names and the shape it has
// now (a work copy when the edit's fits change its corners).
struct Partner {
  const WallElem* id;
  const WallElem* shape;
};

// The outline of w made anew: its corners' outline joined to every partner
// it still touches, then its openings cut in. A joint that would leave no
// room for an opening that fits the wall's own outline (a wall moved in
// front of a window) is not made, and the partner goes into refused: the
// opening is kept and both walls stay closed there. Partners in skip are
// not joined. Openings that fit nowhere are left out of ops.
void joined_outline(const WallElem& w, const std::vector<Partner>& partners,
                    const std::vector<const WallElem*>& skip, std::vector<WallSegment>& segs,
                    std::vector<WallOpening>& ops, std::vector<const WallElem*>& refused) {
  std::unique_ptr<WallElem> work = work_copy(w);
  work->segments = quad_of(w);
  const bool all_fit = openings_fit(w, work->segments);
  for (const Partner& p : partners) {
    if (std::find(skip.begin(), skip.end(), p.id) != skip.end()) continue;
    std::optional<std::vector<WallSegment>> s = wall_connected_outline(*work, *p.shape);
    if (!s) continue;
    if (all_fit && !openings_fit(w, *s)) {
      refused.push_back(p.id);
      continue;
    }
    work->segments = std::move(*s);
  }
  segs = std::move(work->segments);
  ops.clear();
  cut_openings(w, segs, &ops);
}

// ---- Fitting the ends of joined walls after an edit ----

// Plan points closer than this are one point: a fit that would move a
// corner by less keeps it as it is.
constexpr double FIT_SAME = 1e-9;
// How close two walls must come to count as touching: the distance the
// connection's box test allows.
constexpr double TOUCH = 0.01;

Xy xy(const Point3& p) { return {p.x, p.y}; }

std::optional<Xy> lines_cross(Xy a, Xy b, Xy c, Xy d) {
  const std::optional<Point2> x = geom_line_intersection(a.x, a.y, b.x, b.y, c.x, c.y, d.x, d.y);
  if (!x || !std::isfinite(x->x) || !std::isfinite(x->y)) return std::nullopt;
  return Xy{x->x, x->y};
}

double dist_to_segment(Xy p, Xy a, Xy b) {
  const double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
  double t = len2 > 0.0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0.0;
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

double cross_z(Xy o, Xy a, Xy b) { return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x); }

bool segments_cross(Xy a, Xy b, Xy c, Xy d) {
  const double d1 = cross_z(c, d, a), d2 = cross_z(c, d, b), d3 = cross_z(a, b, c), d4 = cross_z(a, b, d);
  return ((d1 > 0) != (d2 > 0)) && ((d3 > 0) != (d4 > 0)) && d1 != 0 && d2 != 0 && d3 != 0 && d4 != 0;
}

double segment_gap(Xy a, Xy b, Xy c, Xy d) {
  if (segments_cross(a, b, c, d)) return 0.0;
  return std::min({dist_to_segment(a, c, d), dist_to_segment(b, c, d), dist_to_segment(c, a, b),
                   dist_to_segment(d, a, b)});
}

// Whether p lies inside the plan of w (its four lower corners).
bool inside(Xy p, const WallElem& w) {
  bool in = false;
  for (int i = 0, j = 3; i < 4; j = i++) {
    const Xy a = xy(w.corner[i]), b = xy(w.corner[j]);
    if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) in = !in;
  }
  return in;
}

// Whether the plans of a and b overlap or come within TOUCH of each other,
// at heights that meet.
bool walls_touch(const WallElem& a, const WallElem& b) {
  if (wall_pair_apart(a, b) == 1) return false;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      if (segment_gap(xy(a.corner[i]), xy(a.corner[(i + 1) % 4]), xy(b.corner[j]),
                      xy(b.corner[(j + 1) % 4])) <= TOUCH)
        return true;
  return inside(xy(a.corner[0]), b) || inside(xy(b.corner[0]), a);
}

// The midpoints of a wall's start face (corners 3 and 0) and end face
// (corners 1 and 2).
Xy start_mid(const WallElem& w) {
  return {(w.corner[0].x + w.corner[3].x) / 2, (w.corner[0].y + w.corner[3].y) / 2};
}
Xy end_mid(const WallElem& w) {
  return {(w.corner[1].x + w.corner[2].x) / 2, (w.corner[1].y + w.corner[2].y) / 2};
}

// Sets the plan point of corner k and of the corner above it; a point
// within FIT_SAME of the present one leaves it.
void set_plan(WallElem& w, int k, Xy p) {
  if (std::hypot(p.x - w.corner[k].x, p.y - w.corner[k].y) < FIT_SAME) return;
  w.corner[k].x = w.corner[k + 4].x = p.x;
  w.corner[k].y = w.corner[k + 4].y = p.y;
}

bool same_plan(const WallElem& a, const WallElem& b) {
  for (int k = 0; k < 8; ++k)
    if (a.corner[k].x != b.corner[k].x || a.corner[k].y != b.corner[k].y) return false;
  return true;
}

// Twice the signed area of the plan: positive when its corners run
// counter-clockwise.
double plan_area2(const WallElem& w) {
  double a = 0.0;
  for (int i = 0; i < 4; ++i) a += cross_z({0, 0}, xy(w.corner[i]), xy(w.corner[(i + 1) % 4]));
  return a;
}

// A fitted plan is kept only when the wall still runs the way it did, is
// not folded, and still holds every opening its own outline held.
bool fit_sound(const WallElem& before, const WallElem& after) {
  if (!(plan_area2(after) > 0.0) || (plan_area2(before) > 0.0) != (plan_area2(after) > 0.0)) return false;
  const Xy s0 = start_mid(before), e0 = end_mid(before), s1 = start_mid(after), e1 = end_mid(after);
  if ((e0.x - s0.x) * (e1.x - s1.x) + (e0.y - s0.y) * (e1.y - s1.y) <= 0.0) return false;
  return !openings_fit(before, quad_of(before)) || openings_fit(after, quad_of(after));
}

// The end of x nearer to p: true for the start end.
bool start_nearer(const WallElem& x, Xy target) {
  const Xy s = start_mid(x), e = end_mid(x);
  return std::hypot(s.x - target.x, s.y - target.y) < std::hypot(e.x - target.x, e.y - target.y);
}

// x's end that met a face of p, put onto the first of p's long faces that
// its axis meets from its other end: a wall that a moved partner left
// poking into it is trimmed there, one that stops just short reaches it.
// False when nothing changes.
bool fit_t(WallElem& x, const WallElem& p) {
  const Xy pm0 = start_mid(p), pm1 = end_mid(p);
  const Xy s = start_mid(x), e = end_mid(x);
  const bool at_start = dist_to_segment(s, pm0, pm1) < dist_to_segment(e, pm0, pm1);
  const Xy stay = at_start ? e : s, joint = at_start ? s : e;
  const double len2 = (joint.x - stay.x) * (joint.x - stay.x) + (joint.y - stay.y) * (joint.y - stay.y);
  if (!(len2 > 0.0)) return false;
  const std::pair<Xy, Xy> faces[2] = {{xy(p.corner[0]), xy(p.corner[1])}, {xy(p.corner[3]), xy(p.corner[2])}};
  std::optional<std::pair<Xy, Xy>> face;
  double best = 0.0;
  for (const auto& f : faces) {
    const std::optional<Xy> c = lines_cross(stay, joint, f.first, f.second);
    if (!c) continue;
    const double t = ((c->x - stay.x) * (joint.x - stay.x) + (c->y - stay.y) * (joint.y - stay.y)) / len2;
    if (t > 0.0 && (!face || t < best)) {
      face = f;
      best = t;
    }
  }
  if (!face) return false;
  const std::optional<Xy> q1 = lines_cross(xy(x.corner[0]), xy(x.corner[1]), face->first, face->second);
  const std::optional<Xy> q2 = lines_cross(xy(x.corner[3]), xy(x.corner[2]), face->first, face->second);
  if (!q1 || !q2) return false;
  std::unique_ptr<WallElem> fitted = work_copy(x);
  set_plan(*fitted, at_start ? 0 : 1, *q1);
  set_plan(*fitted, at_start ? 3 : 2, *q2);
  if (same_plan(*fitted, x) || !fit_sound(x, *fitted)) return false;
  for (int k = 0; k < 8; ++k) x.corner[k] = fitted->corner[k];
  return true;
}

// The corner of two walls whose ends met end to end, mitred again: each
// keeps its other end and runs to the points where its faces meet the
// other's. False when nothing changes or the axes run parallel.
bool fit_mitre(WallElem& x, WallElem& p) {
  const std::optional<Xy> c = lines_cross(start_mid(x), end_mid(x), start_mid(p), end_mid(p));
  if (!c) return false;
  const bool xs = start_nearer(x, *c), ps = start_nearer(p, *c);
  // Seen from the staying end towards the corner: the face on the right
  // and the one on the left.
  auto right = [](const WallElem& w, bool joint_at_start) {
    return joint_at_start ? std::pair{xy(w.corner[2]), xy(w.corner[3])}
                          : std::pair{xy(w.corner[0]), xy(w.corner[1])};
  };
  auto left = [](const WallElem& w, bool joint_at_start) {
    return joint_at_start ? std::pair{xy(w.corner[1]), xy(w.corner[0])}
                          : std::pair{xy(w.corner[3]), xy(w.corner[2])};
  };
  const auto xr = right(x, xs), xl = left(x, xs), pr = right(p, ps), pl = left(p, ps);
  const std::optional<Xy> z1 = lines_cross(xr.first, xr.second, pl.first, pl.second);
  const std::optional<Xy> z2 = lines_cross(xl.first, xl.second, pr.first, pr.second);
  if (!z1 || !z2) return false;
  // The right face's corner at the joint gets the point on it.
  auto fitted = [](const WallElem& w, bool joint_at_start, Xy on_right, Xy on_left) {
    std::unique_ptr<WallElem> f = work_copy(w);
    set_plan(*f, joint_at_start ? 3 : 1, on_right);
    set_plan(*f, joint_at_start ? 0 : 2, on_left);
    return f;
  };
  std::unique_ptr<WallElem> fx = fitted(x, xs, *z1, *z2), fp = fitted(p, ps, *z2, *z1);
  if (same_plan(*fx, x) && same_plan(*fp, p)) return false;
  if (!fit_sound(x, *fx) || !fit_sound(p, *fp)) return false;
  for (int k = 0; k < 8; ++k) {
    x.corner[k] = fx->corner[k];
    p.corner[k] = fp->corner[k];
  }
  return true;
}

// Whether an end of a lay on a side of b, and on which: a long face (a T
// joint) or an end face (a corner).
std::optional<bool> end_on_face(const WallElem& a, const WallElem& b) {
  const int ends[2][2] = {{3, 0}, {1, 2}};
  const double tol = on_side_tolerance(a, b);
  for (const auto& e : ends) {
    const Point3 &s = a.corner[e[0]], &t = a.corner[e[1]];
    for (int side = 0; side < 4; ++side) {
      const Point3 &c = b.corner[side], &d = b.corner[(side + 1) % 4];
      if (lies_on_side(Point2{s.x, s.y, 0}, Point2{t.x, t.y, 0}, c, d, tol)) return side % 2 == 0;
    }
  }
  return std::nullopt;
}

// Whether q lies in the plan of w or within TOUCH of it.
bool in_or_at(Xy q, const WallElem& w) {
  if (inside(q, w)) return true;
  for (int i = 0; i < 4; ++i)
    if (dist_to_segment(q, xy(w.corner[i]), xy(w.corner[(i + 1) % 4])) <= TOUCH) return true;
  return false;
}

// Whether an end face of x lies wholly in or at the plan of p.
bool end_within(const WallElem& x, const WallElem& p) {
  const Point3* c = x.corner;
  return (in_or_at(xy(c[0]), p) && in_or_at(xy(c[3]), p)) || (in_or_at(xy(c[1]), p) && in_or_at(xy(c[2]), p));
}

bool any_corner_marked(const WallElem& w) {
  for (const Point3& c : w.corner)
    if (c.mark == 1) return true;
  return false;
}

}  // namespace

void wall_corners_from_axis(double sx, double sy, double ex, double ey, double h) {
  const double a = geom_angle(sx, sy, ex, ey);
  const double rx = std::sin(a), ry = -std::cos(a);  // right-hand normal of the direction
  wall_corner_bank[0] = sx + h * rx;
  wall_corner_bank[1] = sy + h * ry;
  wall_corner_bank[2] = ex + h * rx;
  wall_corner_bank[3] = ey + h * ry;
  wall_corner_bank[4] = ex - h * rx;
  wall_corner_bank[5] = ey - h * ry;
  wall_corner_bank[6] = sx - h * rx;
  wall_corner_bank[7] = sy - h * ry;
}

void wall_band_corners(double sx, double sy, double ex, double ey, double h) {
  wall_corners_from_axis(sx, sy, ex, ey, h);
}

void wall_outline_quad(double x0, double y0, double x1, double y1, double x2, double y2, double x3, double y3,
                       WallSegment out[4]) {
  const Xy c[4] = {{x0, y0}, {x1, y1}, {x2, y2}, {x3, y3}};
  for (int i = 0; i < 4; ++i) out[i] = segment(c[i], c[(i + 1) % 4]);
}

WallElem* opening_cut_wall(const Point3 (&box)[8], int kind, int style, double sill, double height,
                           double stop_width, double stop_depth, int quadrant, WallElem* wall) {
  if (!wall) return wall;
  try {
    return cut(box, kind, style, sill, height, stop_width, stop_depth, quadrant, wall);
  } catch (const std::bad_alloc&) {
    return wall;
  }
}

WallElem* wall_recut_openings(WallElem* wall, const std::vector<bool>& recut_flags) {
  if (!wall || recut_flags.size() != wall->openings.size()) return wall;
  try {
    return recut(wall, recut_flags);
  } catch (const std::bad_alloc&) {
    return wall;
  }
}

bool wall_outline_close_gaps(const WallElem& w, const std::vector<bool>& flags,
                             std::vector<WallSegment>& segs) {
  if (flags.size() != w.openings.size()) return false;
  try {
    std::vector<WallSegment> work = w.segments;
    for (std::size_t i = 0; i < flags.size(); ++i)
      if (flags[i] && !uncut(work, w.openings[i], w)) return false;
    segs = std::move(work);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool wall_outline_cut_box(const Point3 (&box)[8], double stop_width, double stop_depth,
                          std::vector<WallSegment>& segs) {
  try {
    std::vector<WallSegment> next;
    if (!cut_outline(box, stop_width, stop_depth, segs, next)) return false;
    segs = std::move(next);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

WallElem* wall_rebuild_outline(WallElem* wall) {
  std::vector<WallSegment> quad(4);
  wall_outline_quad(wall->corner[0].x, wall->corner[0].y, wall->corner[1].x, wall->corner[1].y,
                    wall->corner[2].x, wall->corner[2].y, wall->corner[3].x, wall->corner[3].y, quad.data());
  std::vector<WallOpening> none;
  WallElem* current = nullptr;
  try {
    current = append_like(*wall, quad, none);
  } catch (const std::bad_alloc&) {
    return wall;  // no memory for the copy: the wall stays as it was
  }
  for (const WallOpening& o : wall->openings) {
    if (o.kind == OPENING_REMOVED) continue;
    WallElem* next = opening_cut_wall(o.corner, o.kind, o.symbol_style, o.sill, o.height, o.stop_width,
                                      o.stop_depth, o.leaf_quadrant, current);
    if (next != current) {
      // Only the intermediate wall goes: other records keep their marks.
      remove_element(current);
      current = next;
    }
  }
  redraw().input_cursor_toggle();
  redraw().draw_element(DRAW_ERASE, wall);
  remove_element(wall);
  redraw().draw_last_element(DRAW_NORMAL);
  redraw().input_cursor_toggle();
  return current;
}

int wall_pair_apart(const WallElem& a, const WallElem& b) {
  const WallBox p = grown_box(a, 0.01), q = grown_box(b, 0.01);
  if (p.xmin > q.xmax || q.xmin > p.xmax || p.ymin > q.ymax || q.ymin > p.ymax) return 1;
  const double a_low = z_sum(a, 0), a_high = z_sum(a, 4);
  const double b_low = z_sum(b, 0), b_high = z_sum(b, 4);
  if (a_low >= b_high || a_high <= b_low) return 1;
  return 0;
}

std::optional<std::vector<WallSegment>> wall_connected_outline(const WallElem& a, const WallElem& b) {
  if (wall_pair_apart(a, b) == 1 || a.segments.empty()) return std::nullopt;
  std::size_t match = a.segments.size();
  int k = 0;
  const double tol = on_side_tolerance(a, b);
  for (std::size_t i = 0; i < a.segments.size() && match == a.segments.size(); ++i) {
    const WallSegment& g = a.segments[i];
    for (int side = 0; side < 4; ++side) {
      const Point3 &c = b.corner[side], &d = b.corner[(side + 1) % 4];
      if (lies_on_side(g.start, g.end, c, d, tol)) {
        match = i;
        k = side;
        break;
      }
    }
  }
  if (match == a.segments.size()) return std::nullopt;

  // A vector, not a fixed list: a wall with many openings has many segments.
  std::vector<WallSegment> out;
  out.reserve(a.segments.size() + 1);
  for (std::size_t i = 0; i < a.segments.size(); ++i)
    if (i != match) out.push_back(a.segments[i]);
  const WallSegment& g = a.segments[match];
  const Point3 &ck = b.corner[k], &cn = b.corner[(k + 1) % 4];
  const double t0 = param_on_side(g.start, ck, cn), t1 = param_on_side(g.end, ck, cn);
  // The end with the smaller parameter is low; on a tie the segment's end.
  const bool start_low = t0 < t1;
  const Point2& low = start_low ? g.start : g.end;
  const Point2& high = start_low ? g.end : g.start;
  const double t_low = start_low ? t0 : t1, t_high = start_low ? t1 : t0;
  // The face runs on past the side to b's corners; an end within the side
  // gets nothing, so the outline stays open towards b there.
  if (t_low < 0.0) out.push_back(side_segment(low, ck));
  if (t_high > 1.0) out.push_back(side_segment(high, cn));
  return out;
}

bool wall_joined(const WallElem& a, const WallElem& b) {
  try {
    return joined(a, b);
  } catch (const std::bad_alloc&) {
    return false;
  }
}

namespace {

// The walls of the drawing in list order.
std::vector<WallElem*> all_walls() {
  std::vector<WallElem*> walls;
  for (ElemHeader* e = elem_list_head; e; e = e->next)
    if (auto* w = elem_as<WallElem>(e)) walls.push_back(w);
  return walls;
}

// wall_joints_of_marked over walls, all walls of the drawing in list order.
WallJointPlan joints_of_marked(const std::vector<WallElem*>& walls) {
  WallJointPlan plan;
  // What the edit does to each wall: carries it whole (marked), moves some
  // of its corners (a stretch), or leaves it. Walls carried together keep
  // their joints as they are; every other joint of a wall the edit changes
  // is fitted again.
  enum Change : uint8_t { STILL, CARRIED, STRETCHED };
  std::vector<uint8_t> change(walls.size(), STILL);
  bool any = false;
  for (std::size_t i = 0; i < walls.size(); ++i) {
    if (walls[i]->mark == 1)
      change[i] = CARRIED;
    else if (any_corner_marked(*walls[i]))
      change[i] = STRETCHED;
    any = any || change[i] != STILL;
  }
  // Walls carried together keep their joints: with nothing left behind
  // and nothing stretched there is nothing to fit.
  if (!any || std::all_of(change.begin(), change.end(), [](uint8_t c) { return c == CARRIED; })) return plan;
  // The pairs of walls to look at, (i, j) with i changed, in the order of
  // a walk over i and then j: where nothing is stretched, only a carried
  // wall and one left behind; the smaller of the two sets is indexed and
  // the other asks it, so that walls carried together are never compared.
  const bool stretch = std::any_of(change.begin(), change.end(), [](uint8_t c) { return c == STRETCHED; });
  std::optional<WallIndex> all_index;
  auto index_of_all = [&]() -> const WallIndex& {
    if (!all_index) all_index.emplace(walls);
    return *all_index;
  };
  std::vector<std::pair<std::size_t, std::size_t>> pairs;
  if (stretch) {
    for (std::size_t i = 0; i < walls.size(); ++i) {
      if (change[i] == STILL) continue;
      for (std::size_t j : index_of_all().near(*walls[i], TOUCH)) {
        if (j == i || (change[i] == CARRIED && change[j] == CARRIED)) continue;
        // A pair of changed walls is looked at from the first of them.
        if (change[j] != STILL && j < i) continue;
        pairs.emplace_back(i, j);
      }
    }
  } else {
    std::vector<std::size_t> carried, still;
    for (std::size_t i = 0; i < walls.size(); ++i) (change[i] == CARRIED ? carried : still).push_back(i);
    const bool ask_still = carried.size() < still.size();
    const std::vector<std::size_t>& indexed = ask_still ? carried : still;
    const std::vector<std::size_t>& asking = ask_still ? still : carried;
    std::vector<WallElem*> subset;
    subset.reserve(indexed.size());
    for (std::size_t k : indexed) subset.push_back(walls[k]);
    const WallIndex index(subset);
    for (std::size_t a : asking)
      for (std::size_t k : index.near(*walls[a], TOUCH)) {
        const std::size_t b = indexed[k];
        pairs.push_back(ask_still ? std::pair{b, a} : std::pair{a, b});
      }
    std::sort(pairs.begin(), pairs.end());
  }
  // A stretched wall gets the outline of its new corners in any case.
  std::vector<bool> affected(walls.size(), false);
  for (std::size_t i = 0; i < walls.size(); ++i) affected[i] = change[i] == STRETCHED;
  for (const auto& [i, j] : pairs) {
    if (!wall_joined(*walls[i], *walls[j])) continue;
    affected[i] = affected[j] = true;
    for (const auto& [a, b] : {std::pair{walls[i], walls[j]}, std::pair{walls[j], walls[i]}}) {
      const std::optional<bool> face = end_on_face(*a, *b);
      // A corner is fitted once, from either wall.
      if (face && (*face || a == walls[i])) plan.ends.push_back({a, b, *face});
    }
  }
  for (std::size_t i = 0; i < walls.size(); ++i) {
    if (!affected[i]) continue;
    WallJointPlan::Wall entry{walls[i], {}};
    for (std::size_t j : index_of_all().near(*walls[i], TOUCH))
      if (j != i && wall_joined(*walls[i], *walls[j])) entry.partners.push_back(walls[j]);
    plan.walls.push_back(std::move(entry));
  }
  return plan;
}

}  // namespace

WallJointPlan wall_joints_of_marked() { return joints_of_marked(all_walls()); }

void wall_joints_drop_marked(WallJointPlan& plan) {
  std::erase_if(plan.walls, [](const WallJointPlan::Wall& w) { return w.wall->mark == 1; });
  for (WallJointPlan::Wall& w : plan.walls)
    std::erase_if(w.partners, [](const WallElem* p) { return p->mark == 1; });
  std::erase_if(plan.ends,
                [](const WallJointPlan::End& e) { return e.wall->mark == 1 || e.partner->mark == 1; });
}

void wall_joints_replace(WallJointPlan& plan, WallElem* old, const std::vector<WallElem*>& by) {
  std::vector<WallJointPlan::Wall> walls;
  for (WallJointPlan::Wall& w : plan.walls) {
    std::vector<WallElem*> partners;
    for (WallElem* p : w.partners)
      if (p == old)
        partners.insert(partners.end(), by.begin(), by.end());
      else
        partners.push_back(p);
    if (w.wall != old) {
      walls.push_back({w.wall, std::move(partners)});
      continue;
    }
    for (WallElem* n : by) walls.push_back({n, partners});
  }
  plan.walls = std::move(walls);
  std::vector<WallJointPlan::End> ends;
  for (const WallJointPlan::End& e : plan.ends) {
    if (e.wall != old && e.partner != old) {
      ends.push_back(e);
      continue;
    }
    for (WallElem* n : by) {
      WallJointPlan::End f = e;
      if (f.wall == old) f.wall = n;
      if (f.partner == old) f.partner = n;
      if (f.changed == old) f.changed = n;
      ends.push_back(f);
    }
  }
  plan.ends = std::move(ends);
}

void wall_joints_settle(WallJointPlan& plan, const std::vector<WallElem*>& changed, bool fit_changed) {
  plan.fit_changed = fit_changed;
  auto is_changed = [&changed](const WallElem* w) {
    return std::find(changed.begin(), changed.end(), w) != changed.end();
  };
  // A joint between two changed walls is what the tool made of it.
  std::erase_if(plan.ends,
                [&](const WallJointPlan::End& e) { return is_changed(e.wall) && is_changed(e.partner); });
  for (WallJointPlan::End& e : plan.ends)
    if (is_changed(e.wall))
      e.changed = e.wall;
    else if (is_changed(e.partner))
      e.changed = e.partner;
}

WallCopyJoints wall_copy_joints() {
  WallCopyJoints j;
  // One walk over the list serves both: on a large drawing the walk costs
  // more than everything else here when the walls are carried together.
  const std::vector<WallElem*> walls = all_walls();
  for (WallElem* w : walls)
    if (w->mark == 1) j.originals.push_back(w);
  if (!j.originals.empty()) j.plan = joints_of_marked(walls);
  return j;
}

WallJointPlan wall_joints_of_copies(const WallCopyJoints& joints,
                                    const std::vector<std::vector<WallElem*>>& sets) {
  WallJointPlan plan;
  plan.copies = true;
  if (joints.plan.walls.empty()) return plan;
  std::unordered_map<const WallElem*, std::size_t> original;
  for (std::size_t i = 0; i < joints.originals.size(); ++i) original[joints.originals[i]] = i;
  std::vector<const std::vector<WallElem*>*> usable;
  for (const std::vector<WallElem*>& s : sets)
    if (s.size() == joints.originals.size()) usable.push_back(&s);
  // The walls the originals were joined to keep the joints they have now
  // (with the originals, with earlier copies, with each other).
  std::vector<WallElem*> walls;
  for (ElemHeader* e = elem_list_head; e; e = e->next)
    if (auto* w = elem_as<WallElem>(e)) walls.push_back(w);
  const WallIndex index(walls);
  // Each copy is joined to the walls its original was joined to and to the
  // copies of them made with it; those walls to every copy.
  for (const WallJointPlan::Wall& w : joints.plan.walls) {
    auto it = original.find(w.wall);
    if (it != original.end()) {
      for (const std::vector<WallElem*>* s : usable) {
        WallJointPlan::Wall entry{(*s)[it->second], {}};
        for (WallElem* p : w.partners) {
          auto q = original.find(p);
          entry.partners.push_back(q == original.end() ? p : (*s)[q->second]);
        }
        plan.walls.push_back(std::move(entry));
      }
      continue;
    }
    WallJointPlan::Wall entry{w.wall, {}};
    for (std::size_t j : index.near(*w.wall, TOUCH))
      if (walls[j] != w.wall && walls[j]->mark != 1 && wall_joined(*w.wall, *walls[j]))
        entry.partners.push_back(walls[j]);
    for (const std::vector<WallElem*>* s : usable)
      for (WallElem* p : w.partners)
        if (auto q = original.find(p); q != original.end()) entry.partners.push_back((*s)[q->second]);
    plan.walls.push_back(std::move(entry));
  }
  // Only the copies may be fitted: the walls they meet stay joined to the
  // originals as they are.
  for (const WallJointPlan::End& e : joints.plan.ends) {
    auto it = original.find(e.wall);
    if (it == original.end() || original.count(e.partner)) continue;
    for (const std::vector<WallElem*>* s : usable)
      plan.ends.push_back({(*s)[it->second], e.partner, e.on_face});
  }
  return plan;
}

void wall_joints_refit(const WallJointPlan& plan) {
  if (plan.walls.empty()) return;
  // Work copies of the walls whose corners the fits change; the drawing is
  // changed only once every outline is worked out.
  std::unordered_map<const WallElem*, std::unique_ptr<WallElem>> fitted;
  auto shape = [&fitted](const WallElem* w) -> const WallElem* {
    auto it = fitted.find(w);
    return it == fitted.end() ? w : it->second.get();
  };
  auto editable = [&fitted](const WallElem* w) -> WallElem& {
    std::unique_ptr<WallElem>& f = fitted[w];
    if (!f) f = work_copy(*w);
    return *f;
  };
  struct Fit {
    WallElem* wall;
    std::vector<WallSegment> segs;
    std::vector<WallOpening> ops;
  };
  std::vector<Fit> fits;
  try {
    // The ends first: a joined end that the edit left poking into its
    // partner or just short of it, or a corner turned the wrong way round,
    // is fitted to the partner again while the two still touch. Copies
    // change only themselves.
    for (const WallJointPlan::End& e : plan.ends) {
      if (plan.copies && e.wall->mark != 1) continue;
      if (!walls_touch(*shape(e.wall), *shape(e.partner))) continue;
      if (e.changed) {
        // A joint the tool left as it was needs no fit.
        WallElem a = *shape(e.wall), b = *shape(e.partner);
        if (e.on_face ? !fit_t(a, b) : !fit_mitre(a, b)) continue;
        WallElem* changed = e.changed == e.wall ? e.wall : e.partner;
        WallElem* other = changed == e.wall ? e.partner : e.wall;
        WallElem trial = *shape(other);
        if (end_within(trial, *shape(changed)) && fit_t(trial, *shape(changed))) {
          for (int k = 0; k < 8; ++k) editable(other).corner[k] = trial.corner[k];
          continue;
        }
        // The partner cannot stop at the changed wall (it runs through, or
        // an opening of its own is in the way).
        trial = *shape(changed);
        if (plan.fit_changed && fit_t(trial, *shape(other)))
          for (int k = 0; k < 8; ++k) editable(changed).corner[k] = trial.corner[k];
        continue;
      }
      if (e.on_face) {
        WallElem trial = *shape(e.wall);
        if (fit_t(trial, *shape(e.partner)))
          for (int k = 0; k < 8; ++k) editable(e.wall).corner[k] = trial.corner[k];
      } else if (!plan.copies) {
        WallElem x = *shape(e.wall), p = *shape(e.partner);
        if (fit_mitre(x, p))
          for (int k = 0; k < 8; ++k) {
            editable(e.wall).corner[k] = x.corner[k];
            editable(e.partner).corner[k] = p.corner[k];
          }
      }
    }
    // Every outline is worked out from the walls' new corners: a wall's
    // joints depend on its partners' corners only. A joint one wall refuses
    // for its openings is left out on both sides.
    std::vector<std::vector<Partner>> partners;
    for (const WallJointPlan::Wall& entry : plan.walls) {
      std::vector<Partner> ps;
      for (WallElem* p : entry.partners) ps.push_back({p, shape(p)});
      partners.push_back(std::move(ps));
    }
    std::vector<std::pair<const WallElem*, const WallElem*>> refused_pairs;
    for (std::size_t i = 0; i < plan.walls.size(); ++i) {
      Fit f{plan.walls[i].wall, {}, {}};
      std::vector<const WallElem*> refused;
      joined_outline(*shape(f.wall), partners[i], {}, f.segs, f.ops, refused);
      for (const WallElem* p : refused) refused_pairs.emplace_back(f.wall, p);
      fits.push_back(std::move(f));
    }
    if (!refused_pairs.empty())
      for (std::size_t i = 0; i < fits.size(); ++i) {
        std::vector<const WallElem*> skip, refused;
        for (const auto& [a, b] : refused_pairs) {
          if (a == fits[i].wall) skip.push_back(b);
          if (b == fits[i].wall) skip.push_back(a);
        }
        if (!skip.empty())
          joined_outline(*shape(fits[i].wall), partners[i], skip, fits[i].segs, fits[i].ops, refused);
      }
  } catch (const std::bad_alloc&) {
    return;  // no memory: the walls stay as the edit left them
  }
  redraw().input_cursor_toggle();
  for (Fit& f : fits) {
    WallElem* w = f.wall;
    // The calling tool redraws what it carried or stretched.
    const bool tool_draws = w->mark == 1 || elem_has_marked_point(w);
    // A wall the edit left is not in its undo step yet; it is changed only
    // once it is, so that undo brings it back as it was.
    if (w->mark != 1 && !undo_save_element(w)) continue;
    if (!tool_draws) redraw().draw_element(DRAW_ERASE, w);
    if (auto it = fitted.find(w); it != fitted.end())
      for (int k = 0; k < 8; ++k) {
        // The corner keeps its point mark: a stretch goes on from it.
        const uint8_t mark = w->corner[k].mark;
        w->corner[k] = it->second->corner[k];
        w->corner[k].mark = mark;
      }
    w->segments = std::move(f.segs);
    w->openings = std::move(f.ops);
    elem_update_size(*w);
    elem_touch(w);
    drawing_modified = 1;
    if (!tool_draws) redraw().draw_element(DRAW_NORMAL, w);
  }
  redraw().input_cursor_toggle();
}

void wall_clear_outline_point_marks(WallElem& w) {
  if (!any_corner_marked(w)) return;
  for (Point3& c : w.corner) c.mark = 0;
  w.gable_a.mark = w.gable_b.mark = 0;
  for (WallSegment& g : w.segments) g.start.mark = g.end.mark = 0;
}
