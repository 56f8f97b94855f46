#include "display/poly_input.h"

#include <cfloat>
#include <cmath>
#include <cstdio>

#include "display/draw.h"
#include "display/input.h"
#include "display/select.h"
#include "display/snap.h"
#include "display/snap_grid.h"
#include "display/view.h"
#include "model/geom.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/ui.h"
#include "model/vec3.h"
#include "model/view_rec.h"

PolyInput poly_input;
EdgeFollowBezier edge_follow_bezier;
EdgeFollowArc edge_follow_arc;

namespace {

// A point entered on the first one closes the outline.
constexpr double CLOSE_TOL = 0.001;
// How near a curve's ends must lie to the edge's points.
constexpr double FOLLOW_TOL = 0.001;
// Circles and circular arcs only: radii this close count as equal.
constexpr double RADII_TOL = 0.0001;
// A sweep this close to a full turn is a circle.
constexpr double FULL_TURN_TOL = 0.0001;
// Arcs are followed in steps of 5 degrees (pi / 36), short arcs in at
// least 8. From the rightmost point of a circle the turn is divided by the
// rounded 0.087, which gives 72 steps as well.
constexpr double ARC_STEP = 0.08726646259971647;
constexpr double ARC_STEP_ROUNDED = 0.087;
constexpr int ARC_MIN_STEPS = 8;
constexpr int BEZIER_SAMPLES = 72;
// Line ends this close are connected.
constexpr double TRACE_TOL = 0.0001;

constexpr Point3 CONTOUR_END_3D{CONTOUR_END_X, CONTOUR_END_Y, CONTOUR_END_X, 0};

// The elements whose plan box meets the square of half-side `margin` about
// (x, y), in list order, on every layer.
const std::vector<const ElemHeader*>& elements_near(double x, double y, double margin) {
  static std::vector<const ElemHeader*> found;
  const auto threshold = static_cast<std::size_t>(snap_index_threshold > 0 ? snap_index_threshold : 0);
  elem_grid_query(x - margin, y - margin, x + margin, y + margin, threshold, found);
  return found;
}

bool within(double x1, double y1, double x2, double y2, double tol) {
  return geom_dist(x1, y1, x2, y2) < tol;
}

// The point of a circular arc at angle a from its x radius.
Point2 arc_point(const ArcElem& arc, double a) {
  geom_rotate_point(arc.centre.x, arc.centre.y, arc.centre.x + arc.radius_x, arc.centre.y, a + arc.rotation);
  return {geo_result.rot_x, geo_result.rot_y, 0};
}

Point2 bezier_point(const Point2* b, double t) {
  const double s = 1.0 - t;
  const double k0 = s * s * s, k1 = 3.0 * t * s * s, k2 = 3.0 * t * t * s, k3 = t * t * t;
  return {k0 * b[0].x + k1 * b[1].x + k2 * b[2].x + k3 * b[3].x,
          k0 * b[0].y + k1 * b[1].y + k2 * b[2].y + k3 * b[3].y, 0};
}

// The step count of a full turn starting at (x, y) on the circle, or 0 when
// the point is no quadrant point.
int full_turn_steps(const ArcElem& arc, double x, double y) {
  const double cx = arc.centre.x, cy = arc.centre.y, r = arc.radius_x;
  if (within(x, y, cx + r, cy, FOLLOW_TOL)) return static_cast<int>(arc.sweep / ARC_STEP_ROUNDED);
  if (within(x, y, cx - r, cy, FOLLOW_TOL) || within(x, y, cx, cy + r, FOLLOW_TOL) ||
      within(x, y, cx, cy - r, FOLLOW_TOL))
    return static_cast<int>(arc.sweep / ARC_STEP);
  return 0;
}

// The temporary guide lines of the edges entered so far: real elements on
// the current layer in the guide pen, appended one per edge and drawn at
// once. The input keeps them in order and takes them away newest first.
class GuideLines {
 public:
  explicit GuideLines(bool three_d) : three_d_(three_d) {}
  GuideLines(const GuideLines&) = delete;
  GuideLines& operator=(const GuideLines&) = delete;
  ~GuideLines() { remove_all(); }

  int count() const { return static_cast<int>(lines_.size()); }

  // Appends and draws one; the cursor must be off the screen.
  void add(const Point3& a, const Point3& b) {
    if (three_d_)
      elem_new_line3d(cur_layer, PEN_GUIDE, 0, a.x, a.y, a.z, b.x, b.y, b.z);
    else
      elem_new_line(cur_layer, PEN_GUIDE, 0, a.x, a.y, b.x, b.y);
    lines_.push_back(elem_list_tail);
    ever_drawn_ = true;
    draw_element(DRAW_NORMAL, elem_list_tail);
  }
  void add(const Point2& a, const Point2& b) { add(Point3{a.x, a.y, 0.0, 0}, Point3{b.x, b.y, 0.0, 0}); }

  // Takes the newest away and shows the view without it.
  void take_back() {
    {
      CursorHidden off;
      erase_newest();
    }
    repaint();
  }

  // Takes all away and shows the view without them.
  void remove_all() {
    if (lines_.empty()) return;
    {
      CursorHidden off;
      while (!lines_.empty()) erase_newest();
    }
    repaint();
  }

 private:
  void erase_newest() {
    ElemHeader* e = lines_.back();
    lines_.pop_back();
    draw_element(DRAW_ERASE, e);
    // By pointer: whatever was appended after the guide lines stays.
    elem_unlink(e);
    elem_destroy(e);
  }

  // Erasing paints the background over whatever the guide line crossed: the
  // elements the outline follows or snaps to, and the neighbouring guide
  // line's end. Only a fresh drawing gives those pixels back.
  void repaint() {
    if (ever_drawn_) view_redraw();
  }

  bool three_d_;
  bool ever_drawn_ = false;
  std::vector<ElemHeader*> lines_;
};

// One point of a polygon: a point step and its confirmation, transparent,
// the rubber bands as given.
int ask_polygon_point(InputRequest& r, InputPreviewFn edge, InputPreviewFn confirm) {
  r = InputRequest{};
  r.transparent = 1;
  input_set_step(&r, 0, STEP_POINT, nls_translate("Polygon point:"), edge);
  input_set_step(&r, 1, STEP_CONFIRM, nls_translate("Move/Confirm:"), confirm);
  return input_run_request(&r);
}

// Whether a click that adds `added` entries fits with the end marker
// behind them; says so when it does not.
bool room_for(std::size_t entries, std::size_t added) {
  if (entries + added + 1 <= static_cast<std::size_t>(POLY_INPUT_MAX)) return true;
  ui().msgbox_error(nls_translate("To many points in polygon!"));
  return false;
}

// The end of both polygon inputs: the outline as the result, or the buffer
// freed.
template <class Point>
int finish(std::vector<Point>& points, bool cancelled, const Point& end_marker) {
  if (cancelled || points.size() <= 2) {
    poly_input_free();
    return cancelled ? POLY_INPUT_CANCELLED : 0;
  }
  points.push_back(end_marker);
  poly_input.count = static_cast<int32_t>(points.size());
  return poly_input.count;
}

void start_buffer(std::vector<Point2>& points) {
  poly_input_free();
  points.reserve(POLY_INPUT_MAX);
}

}  // namespace

void poly_input_free() {
  poly_input.count = 0;
  std::vector<Point2>().swap(poly_input.points);
  std::vector<Point3>().swap(poly_input.points3);
}

int input_edge_follows_bezier(double x1, double y1, double x2, double y2) {
  for (const ElemHeader* e : elements_near(x1, y1, FOLLOW_TOL)) {
    const auto* s = elem_as<SplineElem>(e);
    if (!s || !layer_visible(s->layer)) continue;
    if (within(s->p0.x, s->p0.y, x1, y1, FOLLOW_TOL) && within(s->p3.x, s->p3.y, x2, y2, FOLLOW_TOL)) {
      edge_follow_bezier = {{s->p0, s->p1, s->p2, s->p3}};
      return 1;
    }
    if (within(s->p3.x, s->p3.y, x1, y1, FOLLOW_TOL) && within(s->p0.x, s->p0.y, x2, y2, FOLLOW_TOL)) {
      edge_follow_bezier = {{s->p3, s->p2, s->p1, s->p0}};
      return 1;
    }
  }
  return 0;
}

int input_edge_follows_arc(double x1, double y1, double x2, double y2) {
  for (const ElemHeader* e : elements_near(x1, y1, FOLLOW_TOL)) {
    const auto* a = elem_as<ArcElem>(e);
    if (!a || !layer_visible(a->layer)) continue;
    if (!(std::fabs(a->radius_x - a->radius_y) < RADII_TOL)) continue;
    double sweep = 0.0;
    int n = 0;
    if (!(std::fabs(a->sweep - GEOM_TWO_PI) < FULL_TURN_TOL)) {
      const Point2 s = arc_point(*a, a->start);
      const Point2 t = arc_point(*a, a->start + a->sweep);
      if (within(s.x, s.y, x1, y1, FOLLOW_TOL) && within(t.x, t.y, x2, y2, FOLLOW_TOL))
        sweep = a->sweep;
      else if (within(s.x, s.y, x2, y2, FOLLOW_TOL) && within(t.x, t.y, x1, y1, FOLLOW_TOL))
        sweep = -a->sweep;
      else
        continue;
      n = static_cast<int>(a->sweep / ARC_STEP);
      if (n < ARC_MIN_STEPS) n = ARC_MIN_STEPS;
    } else {
      if (!(std::fabs(x1 - x2) < FOLLOW_TOL && std::fabs(y1 - y2) < FOLLOW_TOL)) continue;
      n = full_turn_steps(*a, x1, y1);
      if (n <= 0) continue;
      sweep = a->sweep;
    }
    edge_follow_arc = {a->centre.x, a->centre.y, sweep / n, n};
    return 1;
  }
  return 0;
}

int input_polygon() {
  std::vector<Point2>& pts = poly_input.points;
  start_buffer(pts);
  poly_input.z = 0.0;
  const int saved_modified = drawing_modified;
  bool cancelled = false;
  {
    GuideLines guides(false);
    InputRequest r;
    for (;;) {
      const bool bands = !pts.empty() && view_type == VIEW_PLAN;
      if (ask_polygon_point(r, bands ? preview_polygon_edge : nullptr,
                            bands ? preview_polygon_confirm : nullptr) != INPUT_DONE) {
        cancelled = true;
        break;
      }
      const Point2 p{r.x[0], r.y[0], 0};
      if (pts.empty()) {
        poly_input.z = r.z[0];
        pts.push_back(p);
        continue;
      }
      if (guides.count() > 0 && geom_eq(p.x, pts.back().x) && geom_eq(p.y, pts.back().y)) {
        guides.take_back();
        pts.pop_back();
        continue;
      }

      // The points along a followed curve, worked out before anything is
      // stored, so that a click that does not fit changes nothing.
      std::vector<Point2> along;
      Point2 from = pts.back();
      if (input_edge_follows_bezier(from.x, from.y, p.x, p.y)) {
        double t = 0.0;
        for (int k = 1; k <= BEZIER_SAMPLES; ++k) {
          t += 1.0 / BEZIER_SAMPLES;
          along.push_back(bezier_point(edge_follow_bezier.b, t));
        }
        from = along.back();
      }
      if (input_edge_follows_arc(from.x, from.y, p.x, p.y)) {
        const EdgeFollowArc arc = edge_follow_arc;
        for (int k = 1; k < arc.count; ++k) {
          geom_rotate_point(arc.cx, arc.cy, from.x, from.y, arc.step);
          from = {geo_result.rot_x, geo_result.rot_y, 0};
          along.push_back(from);
        }
      }
      const bool closing = std::fabs(p.x - pts[0].x) < CLOSE_TOL && std::fabs(p.y - pts[0].y) < CLOSE_TOL;
      if (!room_for(pts.size(), along.size() + (closing ? 0 : 1))) continue;

      CursorHidden off;
      for (const Point2& a : along) {
        guides.add(pts.back(), a);
        pts.push_back(a);
      }
      if (closing) break;
      guides.add(pts.back(), p);
      pts.push_back(p);
    }
    select_clear(0);
  }
  drawing_modified = saved_modified;
  return finish(pts, cancelled, CONTOUR_END);
}

int input_polygon_simple() {
  poly_input_free();
  std::vector<Point3>& pts = poly_input.points3;
  pts.reserve(POLY_INPUT_MAX);
  poly_input.z = 0.0;
  const int saved_modified = drawing_modified;
  bool cancelled = false;
  {
    GuideLines guides(true);
    InputRequest r;
    for (;;) {
      const bool bands = !pts.empty();
      if (ask_polygon_point(r, bands ? preview_polygon_simple_edge : nullptr,
                            bands ? preview_polygon_simple_confirm : nullptr) != INPUT_DONE) {
        cancelled = true;
        break;
      }
      Point3 p{r.x[0], r.y[0], r.z[0], 0};
      if (pts.size() >= 3) {
        const int onto_plane = vec3_ray_plane_intersect(p, pts[0], pts[1], pts[2]);
        std::printf("%d\n", onto_plane);
        std::fflush(stdout);
        // Without a plane (the first three points on one line) the point
        // stays where it was entered.
        if (onto_plane) p = {geo_result.isect3.x, geo_result.isect3.y, geo_result.isect3.z, 0};
      }
      if (pts.empty()) {
        pts.push_back(p);
        continue;
      }
      const Point3& last = pts.back();
      if (guides.count() > 0 && geom_eq(p.x, last.x) && geom_eq(p.y, last.y) && geom_eq(p.z, last.z)) {
        guides.take_back();
        pts.pop_back();
        continue;
      }
      const Point3& first = pts[0];
      const bool closing = std::fabs(p.x - first.x) < CLOSE_TOL && std::fabs(p.y - first.y) < CLOSE_TOL &&
                           std::fabs(p.z - first.z) < CLOSE_TOL;
      if (!room_for(pts.size(), closing ? 0 : 1)) continue;
      if (closing) break;
      {
        CursorHidden off;
        guides.add(pts.back(), p);
      }
      pts.push_back(p);
    }
    select_clear(0);
  }
  drawing_modified = saved_modified;
  return finish(pts, cancelled, CONTOUR_END_3D);
}

int input_rectangle() {
  InputRequest r;
  r.transparent = 1;
  input_set_step(&r, 0, STEP_POINT, nls_translate("1st Corner point:"));
  input_set_step(&r, 1, STEP_NEXT_POINT, nls_translate("Move/2nd Corner point:"), preview_rectangle);
  input_set_step(&r, 2, STEP_CONFIRM, nls_translate("Move/Confirm:"), preview_rectangle_confirm);
  if (input_run_request(&r) != INPUT_DONE) return POLY_INPUT_CANCELLED;
  input_normalize_corners(&r);
  std::vector<Point2>& pts = poly_input.points;
  start_buffer(pts);
  const double x0 = r.x[0], y0 = r.y[0], x1 = r.x[1], y1 = r.y[1];
  pts = {{x0, y0, 0}, {x1, y0, 0}, {x1, y1, 0}, {x0, y1, 0}, CONTOUR_END};
  poly_input.count = static_cast<int32_t>(pts.size());
  return poly_input.count;
}

int input_trace_outline(double x, double y) {
  std::vector<Point2>& pts = poly_input.points;
  start_buffer(pts);
  poly_input.z = 0.0;
  auto fail = [] {
    poly_input_free();
    return 0;
  };
  auto traced = [](const ElemHeader* e) {
    const auto* l = elem_as<LineElem>(e);
    return l && layer_visible(l->layer) ? l : nullptr;
  };

  // The line the horizontal line through the point crosses nearest to it.
  const LineElem* used = nullptr;
  double best = DBL_MAX;
  std::vector<const ElemHeader*> row;
  const auto threshold = static_cast<std::size_t>(snap_index_threshold > 0 ? snap_index_threshold : 0);
  elem_grid_query(-DBL_MAX, y, DBL_MAX, y, threshold, row);
  for (const ElemHeader* e : row) {
    const LineElem* l = traced(e);
    if (!l || !geom_intersect_lines(x, y, x + 1.0, y, l->p1.x, l->p1.y, l->p2.x, l->p2.y)) continue;
    const double ix = geo_result.ix, iy = geo_result.iy;
    geom_project_on_segment(ix, iy, l->p1.x, l->p1.y, l->p2.x, l->p2.y);
    if (geo_result.proj_t < TOL_PARAM_LOW || geo_result.proj_t > TOL_PARAM_HIGH) continue;
    const double d = geom_dist(x, y, ix, iy);
    if (d < best) {
      best = d;
      used = l;
    }
  }
  if (!used) return fail();
  pts.push_back({used->p1.x, used->p1.y, 0});
  pts.push_back({used->p2.x, used->p2.y, 0});

  for (;;) {
    const Point2 end = pts.back();
    const LineElem* next = nullptr;
    Point2 other;
    for (const ElemHeader* e : elements_near(end.x, end.y, TRACE_TOL)) {
      const LineElem* l = traced(e);
      if (!l || l == used) continue;
      if (within(l->p1.x, l->p1.y, end.x, end.y, TRACE_TOL)) {
        other = l->p2;
      } else if (within(l->p2.x, l->p2.y, end.x, end.y, TRACE_TOL)) {
        other = l->p1;
      } else {
        continue;
      }
      next = l;
      break;
    }
    if (!next || pts.size() + 1 > static_cast<std::size_t>(POLY_TRACE_MAX)) return fail();
    used = next;
    pts.push_back({other.x, other.y, 0});
    if (within(other.x, other.y, pts[0].x, pts[0].y, TRACE_TOL)) break;
  }
  const int points = static_cast<int>(pts.size());
  if (points <= 3) return fail();
  pts.push_back(CONTOUR_END);
  poly_input.count = static_cast<int32_t>(pts.size());
  return points;
}

void preview_polygon_edge(InputRequest*, double x, double y) {
  if (poly_input.points.empty()) return;
  const Point2& last = poly_input.points.back();
  draw_xor_line(last.x, last.y, x, y);
}

void preview_polygon_confirm(InputRequest* r, double, double) {
  if (r) preview_polygon_edge(r, r->x[0], r->y[0]);
}

void preview_rectangle(InputRequest* r, double x, double y) {
  if (r) draw_xor_rect(r->x[0], r->y[0], x, y);
}

void preview_rectangle_confirm(InputRequest* r, double, double) {
  if (r) draw_xor_rect(r->x[0], r->y[0], r->x[1], r->y[1]);
}

void preview_polygon_simple_edge(InputRequest*, double x, double y) {
  if (poly_input.points3.empty()) return;
  const Point3& last = poly_input.points3.back();
  view_project(last.x, last.y, last.z);
  draw_xor_line(geo_result.view_u, geo_result.view_v, x, y);
}

void preview_polygon_simple_confirm(InputRequest* r, double, double) {
  if (!r) return;
  view_project(r->x[0], r->y[0], r->z[0]);
  preview_polygon_simple_edge(r, geo_result.view_u, geo_result.view_v);
}
