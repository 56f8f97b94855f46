#include "model/wall_outline.h"

#include <cmath>
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
