// Joining two lines at the crossing of their infinite lines: a plain
// corner, a chamfer line of a given length or a fillet arc of a given
// radius between them.

#include <cmath>

#include "display/draw.h"
#include "display/pick.h"
#include "model/geom.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/undo.h"
#include "tools/tool_common.h"
#include "tools/trim_tools.h"

namespace {

constexpr double FAR_CORNER = 10000.0;
constexpr double AT_CORNER = 1e-5;

double dist(Point2 a, Point2 b) { return geom_dist(a.x, a.y, b.x, b.y); }

double param(Point2 p, const LineSegment& s) {
  return geom_projection(p.x, p.y, s.p1.x, s.p1.y, s.p2.x, s.p2.y).t;
}

// The picked part of the line stays, its other end goes to the corner t;
// afterwards the line starts at the corner.
void to_corner(LineSegment& s, Point2 k, Point2 t) {
  if (dist(t, s.p1) > AT_CORNER && dist(t, s.p2) > AT_CORNER) {
    const double u = geom_projection(k.x, k.y, s.p1.x, s.p1.y, t.x, t.y).t;
    if (u > 0.0 && u < 1.0)
      s.p2 = t;
    else
      s.p1 = t;
  }
  if (dist(s.p2, t) < dist(s.p1, t)) std::swap(s.p1, s.p2);
}

Point2 along(Point2 p, double angle, double d) {
  return {p.x + d * std::cos(angle), p.y + d * std::sin(angle), 0};
}

bool strictly_inside(Point2 p, const LineSegment& s) {
  const double t = param(p, s);
  return t > 0.0 && t < 1.0;
}

}  // namespace

std::optional<JoinResult> line_join_geometry(int mode, double length, LineSegment first, Point2 k1,
                                             LineSegment second, Point2 k2) {
  const std::optional<Point2> t = geom_line_intersection(first.p1.x, first.p1.y, first.p2.x, first.p2.y,
                                                         second.p1.x, second.p1.y, second.p2.x, second.p2.y);
  if (!t || !(dist(*t, first.p1) < FAR_CORNER)) return std::nullopt;
  JoinResult res;
  res.first = first;
  res.second = second;
  to_corner(res.first, k1, *t);
  to_corner(res.second, k2, *t);
  if (mode == 0) return res;

  const double a1 = geom_angle(res.first.p1.x, res.first.p1.y, res.first.p2.x, res.first.p2.y);
  const double a2 = geom_angle(res.second.p1.x, res.second.p1.y, res.second.p2.x, res.second.p2.y);
  double n = (a1 + a2) / 2.0;
  double o = std::fabs(a2 - a1);
  if (o > GEOM_PI) {
    n += GEOM_PI;
    o = GEOM_TWO_PI - o;
  }
  const double h = o / 2.0;
  const double sin_h = std::sin(h);
  // Lines that run on in one direction leave no room between them.
  if (!(std::fabs(sin_h) > 1e-12) || !(length > 0.0)) return res;

  const double d = mode == 1 ? length / (2.0 * sin_h) : length * std::cos(h) / sin_h;
  const Point2 a = along(res.first.p1, a1, d);
  const Point2 b = along(res.second.p1, a2, d);
  if (!strictly_inside(a, res.first) || !strictly_inside(b, res.second)) return res;
  res.first.p1 = a;
  res.second.p1 = b;
  res.applied = true;
  if (mode == 1) {
    res.chamfer = LineSegment{a, b};
    return res;
  }
  const Point2 c = along(*t, n, length / sin_h);
  double alpha = geom_angle(c.x, c.y, a.x, a.y);
  double beta = geom_angle(c.x, c.y, b.x, b.y);
  if (beta < alpha) std::swap(alpha, beta);
  if (beta - alpha > GEOM_PI) std::swap(alpha, beta);
  if (beta < alpha) beta += GEOM_TWO_PI;
  res.fillet = CurveShape{c.x, c.y, length, length, beta - alpha, alpha, 0.0};
  return res;
}

namespace {

LineSegment segment_of(const LineElem& l) { return {l.p1, l.p2}; }

void set_segment(LineElem& l, const LineSegment& s) {
  l.p1 = s.p1;
  l.p2 = s.p2;
}

ElemHeader* pick_line(double x, double y) { return pick_nearest_element(x, y, PICK_LINE); }

ToolRepair apply_join(LineElem& first, LineElem& second, const JoinResult& j) {
  ToolRepair repair;
  repair.add(&first);
  repair.add(&second);
  ToolCursorOff off;
  draw_element(DRAW_ERASE, &first);
  draw_element(DRAW_ERASE, &second);
  first.mark = second.mark = 1;
  undo_record(UNDO_CHANGE, 0);
  first.mark = second.mark = 0;
  set_segment(first, j.first);
  set_segment(second, j.second);
  elem_touch();
  drawing_modified = 1;
  ElemHeader* piece = nullptr;
  if (j.chamfer) {
    elem_new_line(cur_layer, first.pen, first.line_type, j.chamfer->p1.x, j.chamfer->p1.y, j.chamfer->p2.x,
                  j.chamfer->p2.y);
    piece = elem_list_tail;
  } else if (j.fillet) {
    const CurveShape& c = *j.fillet;
    elem_new_arc(cur_layer, first.pen, first.line_type, c.cx, c.cy, c.rx, c.ry, c.sweep, c.start, c.rotation);
    piece = elem_list_tail;
  }
  draw_element(DRAW_NORMAL, &first);
  draw_element(DRAW_NORMAL, &second);
  if (piece) {
    undo_mark_element(piece);
    draw_element(DRAW_NORMAL, piece);
  }
  repair.add(&first);
  repair.add(&second);
  repair.add(piece);
  return repair;
}

}  // namespace

void line_join(int mode) {
  InputRequest r;
  double length = 0.0;
  if (mode != 0) {
    const char* prompt = mode == 1 ? nls_mark("Length:") : nls_mark("Radius:");
    if (tool_ask(r, {{STEP_LENGTH, prompt}}) != INPUT_DONE) return;
    length = r.length;
  }
  for (;;) {
    auto* first = elem_as<LineElem>(tool_pick_until(r, nls_mark("1st Line:"), pick_line));
    if (!first) return;
    const Point2 k1{r.x[0], r.y[0], 0};
    LineElem* second = nullptr;
    {
      ToolHighlight shown(first);
      for (;;) {
        second = elem_as<LineElem>(tool_pick_until(r, nls_mark("2nd Line:"), pick_line));
        if (!second || second != first) break;
      }
    }
    if (!second) return;
    const Point2 k2{r.x[0], r.y[0], 0};
    const std::optional<JoinResult> j =
        line_join_geometry(mode, length, segment_of(*first), k1, segment_of(*second), k2);
    if (!j) continue;
    ToolRepair repair = apply_join(*first, *second, *j);
    repair.draw();
  }
}

void tool_line_join() { line_join(0); }
void tool_line_join_line() { line_join(1); }
void tool_line_join_arc() { line_join(2); }
