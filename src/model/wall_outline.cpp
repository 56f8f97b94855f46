#include "model/wall_outline.h"

#include <cmath>
#include <cstddef>
#include <new>
#include <utility>
#include <vector>

#include "model/geom.h"
#include "model/redraw.h"

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

WallElem* cut(const Point3 (&box)[8], int kind, int style, double sill, double height, double sw, double sd,
              int quadrant, WallElem* w) {
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

  std::vector<WallOpening> ops = w->openings;
  if (w->segments.empty()) return w;
  std::vector<WallSegment> segs;
  segs.reserve(w->segments.size() + 8);
  bool outer_split = false, inner_split = false;
  for (WallSegment g : w->segments) {
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
  if (!outer_split || !inner_split) return w;

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
