// Placing plain openings, doors and windows: the extent along the wall by
// two points or by one point and a direction, the outer side, the cut, and
// for doors the quadrant the leaf opens into.

#include <cmath>

#include "building/opening_tools.h"
#include "building/tool_wall_common.h"
#include "display/draw.h"
#include "display/draw_opening.h"
#include "display/pick.h"
#include "display/view.h"
#include "model/geom.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/presets.h"
#include "model/settings.h"
#include "model/ui.h"
#include "model/undo.h"
#include "model/wall_outline.h"
#include "tools/tool_common.h"

namespace {

// What the rubber bands of a placement need; overwritten by each placement.
struct PlaceState {
  const WallElem* wall = nullptr;
  Point2 p0;
  double width = 0.0;
  OpeningSpan span;
  double stop_width = 0.0, stop_depth = 0.0;
  OpeningBox box;  // the door's box, for the leaf's rubber band
  int door_variant = 0;
};
PlaceState place;

Point2 foot(Point2 p, const Point3& a, const Point3& b) { return geom_foot(p.x, p.y, a.x, a.y, b.x, b.y); }

Point2 plus(Point2 p, double dx, double dy) { return {p.x + dx, p.y + dy, 0}; }

double dist(Point2 a, Point2 b) { return geom_dist(a.x, a.y, b.x, b.y); }

// The feet a0, b0 of P0 and a1, b1 ordered along face 0-1.
OpeningSpan ordered(const WallElem& w, OpeningSpan s) {
  const Point3 &c0 = w.corner[0], &c1 = w.corner[1];
  const double t0 = geom_projection(s.a0.x, s.a0.y, c0.x, c0.y, c1.x, c1.y).t;
  const double t1 = geom_projection(s.a1.x, s.a1.y, c0.x, c0.y, c1.x, c1.y).t;
  if (t0 > t1) {
    std::swap(s.a0, s.a1);
    std::swap(s.b0, s.b1);
  }
  return s;
}

void preview_opening_direction(InputRequest*, double x, double y) {
  const WallElem& w = *place.wall;
  const Point2 a0 = foot(place.p0, w.corner[0], w.corner[1]);
  const Point2 b0 = foot(place.p0, w.corner[3], w.corner[2]);
  const double d = opening_fixed_direction(w, place.p0, {x, y, 0});
  const double dx = place.width * std::cos(d), dy = place.width * std::sin(d);
  const Point2 a1 = plus(a0, dx, dy), b1 = plus(b0, dx, dy);
  draw_xor_line(a0.x, a0.y, b0.x, b0.y);
  draw_xor_line(a1.x, a1.y, b1.x, b1.y);
  draw_xor_line(a1.x, a1.y, b0.x, b0.y);
  draw_xor_line(b1.x, b1.y, a0.x, a0.y);
}

// The two stepped jambs the cut would give with the outer side at the cursor.
void preview_opening_side(InputRequest*, double x, double y) {
  const OpeningBox b = opening_box(*place.wall, place.span, {x, y, 0});
  const Point2* o = b.c;
  const double a = geom_angle(o[0].x, o[0].y, o[1].x, o[1].y);
  const double dx = std::cos(a), dy = std::sin(a), nx = -dy, ny = dx;
  const double sw = place.stop_width, sd = place.stop_depth;
  const Point2 s0 = plus(o[0], sd * nx, sd * ny), s1 = plus(o[1], sd * nx, sd * ny);
  const Point2 s0w = plus(s0, -sw * dx, -sw * dy), s1w = plus(s1, sw * dx, sw * dy);
  const Point2 p3 = plus(o[3], -sw * dx, -sw * dy), p2 = plus(o[2], sw * dx, sw * dy);
  draw_xor_line(o[0].x, o[0].y, s0.x, s0.y);
  draw_xor_line(s0.x, s0.y, s0w.x, s0w.y);
  draw_xor_line(s0w.x, s0w.y, p3.x, p3.y);
  draw_xor_line(o[1].x, o[1].y, s1.x, s1.y);
  draw_xor_line(s1.x, s1.y, s1w.x, s1w.y);
  draw_xor_line(s1w.x, s1w.y, p2.x, p2.y);
}

OpeningSymbol door_symbol(const OpeningBox& b, uint8_t mode, uint8_t style, uint8_t quadrant) {
  OpeningSymbol s;
  s.mode = mode;
  s.layer = static_cast<uint16_t>(cur_layer);
  s.kind = OPENING_DOOR;
  s.style = style;
  for (int i = 0; i < 4; ++i) s.corner[i] = b.c[i];
  s.stop_width = place.stop_width;
  s.stop_depth = place.stop_depth;
  s.quadrant = quadrant;
  return s;
}

void preview_opening_doorleaf(InputRequest*, double x, double y) {
  draw_opening_symbol(door_symbol(place.box, 2, static_cast<uint8_t>(place.door_variant),
                                  opening_leaf_quadrant(place.box.c, {x, y, 0})));
}

struct KindSettings {
  uint8_t kind;
  const OpeningPreset& preset;
  double width;
  int32_t fixed;
};

// One run of a placing tool: until "Select Wall:" is cancelled, a wall
// already full of openings is met, or a door's leaf is not given.
void place_openings(const KindSettings& k) {
  InputRequest r;
  Point2 leaf{0, 0, 0};  // the last leaf point of this run
  for (;;) {
    WallElem* w = pick_wall();
    if (!w) return;
    if (w->openings.size() >= static_cast<std::size_t>(WALL_MAX_OPENINGS)) {
      ui().msgbox_error(nls_translate(nls_mark("To many openings in this wall!")));
      w->mark = 0;
      ToolCursorOff off;
      draw_element(DRAW_NORMAL, w);
      return;
    }
    const OpeningPreset& p = k.preset;
    WallElem* n = opening_place(w, p.stop_width, p.stop_depth, k.width, k.fixed == 1);
    if (!n) continue;
    WallOpening& o = n->openings.back();
    o.reserved = 0;
    o.kind = k.kind;
    o.leaf_quadrant = 0;
    o.symbol_style = k.kind == OPENING_DOOR ? 0 : static_cast<uint8_t>(p.symbol_variant);
    o.sill = p.base;
    o.height = p.height;
    const double z = n->corner[0].z + p.base;
    for (int i = 0; i < 4; ++i) {
      o.corner[i].z = z;
      o.corner[i + 4].z = z + p.height;
    }
    bool leaf_given = true;
    if (k.kind == OPENING_DOOR) {
      Point2 c[4];
      opening_plan_corners(o, c);
      if (p.symbol_variant != 0) {
        if (opening_ask_leaf(r, c, p.stop_width, p.stop_depth, p.symbol_variant) == INPUT_DONE)
          leaf = {r.x[0], r.y[0], 0};
        else
          leaf_given = false;
      }
      if (leaf_given) {
        o.leaf_quadrant = opening_leaf_quadrant(c, leaf);
        o.symbol_style = static_cast<uint8_t>(p.symbol_variant);
      }
    }
    {
      ToolCursorOff off;
      draw_element(DRAW_NORMAL, n);
    }
    if (!leaf_given) return;
  }
}

}  // namespace

void opening_plan_corners(const WallOpening& o, Point2 (&c)[4]) {
  for (int i = 0; i < 4; ++i) c[i] = {o.corner[i].x, o.corner[i].y, 0};
}

int opening_ask_leaf(InputRequest& r, const Point2 (&c)[4], double stop_width, double stop_depth,
                     int variant) {
  for (int i = 0; i < 4; ++i) place.box.c[i] = c[i];
  place.stop_width = stop_width;
  place.stop_depth = stop_depth;
  place.door_variant = variant;
  return tool_ask(r, {{STEP_PICK, nls_mark("Doorleaf:"), preview_opening_doorleaf}});
}

OpeningSpan opening_span_two_points(const WallElem& w, Point2 p0, Point2 p1) {
  const Point3* c = w.corner;
  return ordered(w, {foot(p0, c[0], c[1]), foot(p1, c[0], c[1]), foot(p0, c[3], c[2]), foot(p1, c[3], c[2])});
}

double opening_fixed_direction(const WallElem& w, Point2 p0, Point2 q) {
  const Point3 &c0 = w.corner[0], &c1 = w.corner[1];
  const double d0 = geom_angle(c0.x, c0.y, c1.x, c1.y);
  // Measured from the foot of P0 towards corner 1: behind it lies the
  // corner-0 side.
  const Point2 a0 = foot(p0, c0, c1);
  if (geom_projection(q.x, q.y, a0.x, a0.y, c1.x, c1.y).t < 0.0) {
    double d = d0 + GEOM_PI;
    if (d >= 2.0 * GEOM_PI) d -= 2.0 * GEOM_PI;
    return d;
  }
  return d0;
}

OpeningSpan opening_span_fixed(const WallElem& w, Point2 p0, Point2 q, double width) {
  const Point3* c = w.corner;
  const double d = opening_fixed_direction(w, p0, q);
  const double dx = width * std::cos(d), dy = width * std::sin(d);
  const Point2 a0 = foot(p0, c[0], c[1]), b0 = foot(p0, c[3], c[2]);
  return ordered(w, {a0, plus(a0, dx, dy), b0, plus(b0, dx, dy)});
}

OpeningBox opening_box(const WallElem& w, const OpeningSpan& s, Point2 q) {
  const Point3* c = w.corner;
  const double da = geom_dist_to_line(q.x, q.y, c[0].x, c[0].y, c[1].x, c[1].y);
  const double db = geom_dist_to_line(q.x, q.y, c[2].x, c[2].y, c[3].x, c[3].y);
  if (db < da) return {{s.b1, s.b0, s.a0, s.a1}};
  return {{s.a0, s.a1, s.b1, s.b0}};
}

uint8_t opening_leaf_quadrant(const Point2 (&c)[4], Point2 p) {
  uint8_t q = 0;
  if (!(dist(p, c[1]) > dist(p, c[0]))) q += 1;
  if (dist(p, c[3]) > dist(p, c[0])) q += 2;
  return q;
}

WallElem* opening_place(WallElem* w, double stop_width, double stop_depth, double width, bool fixed) {
  InputRequest r;
  int res;
  {
    ToolHighlight lit(w);
    if (fixed)
      res = tool_ask(r, {{STEP_POINT, nls_mark("Start point:")}, {STEP_CONFIRM, nls_mark("Move/Confirm:")}});
    else
      res = tool_ask(r, {{STEP_POINT, nls_mark("Start point:")},
                         {STEP_NEXT_POINT, nls_mark("Move/End point:")},
                         {STEP_CONFIRM, nls_mark("Move/Confirm:")}});
  }
  if (res != INPUT_DONE) return nullptr;
  place.wall = w;
  place.p0 = {r.x[0], r.y[0], 0};
  place.width = width;
  place.stop_width = stop_width;
  place.stop_depth = stop_depth;
  if (fixed) {
    if (tool_ask(r, {{STEP_PICK, nls_mark("Direction:"), preview_opening_direction}}) != INPUT_DONE)
      return nullptr;
    place.span = opening_span_fixed(*w, place.p0, {r.x[0], r.y[0], 0}, width);
  } else {
    place.span = opening_span_two_points(*w, place.p0, {r.x[1], r.y[1], 0});
  }
  if (tool_ask(r, {{STEP_PICK, nls_mark("Outer side:"), preview_opening_side}}) != INPUT_DONE) return nullptr;
  const OpeningBox b = opening_box(*w, place.span, {r.x[0], r.y[0], 0});
  Point3 box[8];
  for (int i = 0; i < 4; ++i) box[i] = box[i + 4] = {b.c[i].x, b.c[i].y, 0, 0};
  WallElem* n = opening_cut_wall(box, OPENING_PLAIN, 0, 1.0, 1.0, stop_width, stop_depth, 0, w);
  if (n == w) return nullptr;
  WallTouchRepair repair;
  repair.add(*w);
  {
    ToolCursorOff off;
    draw_element(DRAW_ERASE, w);
  }
  w->mark = 1;
  undo_record(UNDO_CHANGE, 0);
  undo_mark_element(n);
  elem_purge_marked();
  repair.draw_touching();
  return n;
}

void tool_opening_opening() {
  place_openings({OPENING_PLAIN, opening_preset, opening_width, opening_width_fixed});
}
void tool_opening_door() { place_openings({OPENING_DOOR, door_preset, door_width, door_width_fixed}); }
void tool_opening_window() {
  place_openings({OPENING_WINDOW, window_preset, window_width, window_width_fixed});
}
