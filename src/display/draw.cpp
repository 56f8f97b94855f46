#include "display/draw.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "display/draw_hatch.h"
#include "display/draw_opening.h"
#include "display/draw_parallel.h"
#include "display/input.h"
#include "display/outdev.h"
#include "display/outdev_breakdown.h"
#include "display/outdev_screen.h"
#include "display/text_draw.h"
#include "display/view.h"
#include "model/geom.h"
#include "model/layers.h"
#include "model/settings.h"
#include "model/view_rec.h"

uint32_t draw_full_count = 0;

namespace {

int redraw_holds = 0;
bool redraw_due = false;

struct DragTransform {
  double rx = 0.0, ry = 0.0, tx = 0.0, ty = 0.0;
  double sine = 0.0, cosine = 1.0;
};
DragTransform drag;

// draw_refresh_now is 0 for one batch and `after` again when it ends, also
// when a writer's slot throws out of the batch.
class RefreshBatch {
 public:
  explicit RefreshBatch(uint8_t after = 1) : after_(after) { draw_refresh_now = 0; }
  ~RefreshBatch() { draw_refresh_now = after_; }
  RefreshBatch(const RefreshBatch&) = delete;
  RefreshBatch& operator=(const RefreshBatch&) = delete;

 private:
  uint8_t after_;
};

void cursor_toggle() {
  if (display_hooks.cursor_toggle) display_hooks.cursor_toggle();
}

void flush_if_refreshing() {
  if (draw_refresh_now) view_flush_dirty();
}

void marker_2d(uint8_t marker_mode, const Point2& p) {
  if (p.mark == 1) draw_point_marker(marker_mode, p.x, p.y);
}

void marker_3d(uint8_t marker_mode, const Point3& p) {
  if (p.mark == 1) draw_point_marker_3d(marker_mode, p.x, p.y, p.z);
}

Point2 project(double x, double y, double z) {
  view_project(x, y, z);
  return Point2{geo_result.view_u, geo_result.view_v, 0};
}

void draw_line_2d(uint8_t pen, uint8_t lt, const Point2& a, const Point2& b) {
  outdev.line(pen, lt, a.x, a.y, b.x, b.y);
}

// An edge of a 3D element as the view shows it. Seen end-on (a vertical
// edge in the plan) it has no length: an export leaves it out instead of
// writing a piece of nothing; the screen still shows its pixel.
void draw_edge_2d(uint8_t pen, uint8_t lt, const Point2& a, const Point2& b) {
  if (outdev.active && a.x == b.x && a.y == b.y) return;
  outdev.line(pen, lt, a.x, a.y, b.x, b.y);
}

void draw_openings_3d(uint8_t pen, uint8_t marker_mode, uint8_t lt, const WallElem& w) {
  for (const WallOpening& o : w.openings) draw_3d_box_edges(pen, marker_mode, lt, o.corner);
}

void draw_gable_wall_3d(uint8_t pen, uint8_t lt, const WallElem& w, uint8_t marker_mode) {
  const Point3* c = w.corner;
  const Point3& a = w.gable_a;
  const Point3& b = w.gable_b;
  auto line = [&](const Point3& p, const Point3& q) { draw_3d_line(pen, lt, p.x, p.y, p.z, q.x, q.y, q.z); };
  line(c[0], c[1]);
  line(c[1], c[2]);
  line(c[2], c[3]);
  line(c[3], c[0]);
  line(c[4], a);
  line(a, c[5]);
  line(c[6], b);
  line(b, c[7]);
  line(a, b);
  marker_3d(marker_mode, a);
  marker_3d(marker_mode, b);
  line(c[5], c[6]);
  line(c[7], c[4]);
  line(c[0], c[4]);
  line(c[1], c[5]);
  line(c[2], c[6]);
  line(c[3], c[7]);
  for (int i = 0; i < 8; ++i) marker_3d(marker_mode, c[i]);
}

// Face edges of a mesh, leaving out an edge whose reverse is in the same
// face: the bridge that joins a hole to its outline.
void draw_mesh_3d(uint8_t pen, uint8_t lt, const MeshElem& m, uint8_t marker_mode) {
  std::vector<Point2> uv(m.vertices.size());
  for (std::size_t i = 0; i < m.vertices.size(); ++i) {
    const Point3& v = m.vertices[i];
    uv[i] = project(v.x, v.y, v.z);
    uv[i].mark = v.mark;
  }
  const int nv = m.vertex_count();
  const std::size_t ni = m.indices.size();
  std::size_t at = 0;
  for (int32_t size : m.face_sizes) {
    if (size <= 0) continue;
    if (at + size > ni) break;
    const int32_t* f = m.indices.data() + at;
    at += size;
    for (int j = 0; j < size; ++j) {
      const int32_t a = f[j], b = f[(j + 1) % size];
      if (a < 0 || a >= nv || b < 0 || b >= nv) continue;
      bool bridge = false;
      for (int q = 0; q < size && !bridge; ++q) bridge = f[q] == b && f[(q + 1) % size] == a;
      if (!bridge) draw_edge_2d(pen, lt, uv[a], uv[b]);
    }
  }
  for (const Point2& p : uv) marker_2d(marker_mode, p);
}

void draw_camera_3d(uint8_t pen, const CameraElem& cam, uint8_t marker_mode) {
  if (outdev.active) return;
  if (cam.active) pen = PEN_GUIDE;
  const Point2 e = project(cam.eye.x, cam.eye.y, cam.eye.z);
  const Point2 t = project(cam.target.x, cam.target.y, cam.target.z);
  // Looking straight along the view axis the cone has no direction.
  if (geom_dist(e.x, e.y, t.x, t.y) >= TOL_GEOM) {
    const double half = cam.view_angle / 360.0 * GEOM_PI;
    for (double turn : {half, -half}) {
      geom_rotate_point(e.x, e.y, t.x, t.y, turn);
      const double rx = geo_result.rot_x, ry = geo_result.rot_y;
      if (geom_intersect_lines(e.x, e.y, rx, ry, t.x, t.y, t.x - (t.y - e.y), t.y + (t.x - e.x)))
        outdev.line(pen, 1, e.x, e.y, geo_result.ix, geo_result.iy);
    }
  }
  outdev.line(pen, 0, e.x, e.y, t.x, t.y);
  marker_3d(marker_mode, cam.eye);
  marker_3d(marker_mode, cam.target);
}

void draw_room_3d(uint8_t pen, uint8_t lt, const RoomElem& r, uint8_t marker_mode) {
  if (pen == r.pen && lt == r.line_type) {
    outdev.room(r);
  } else {  // asked for in another pen than its own
    RoomElem drawn = r;
    drawn.pen = pen;
    drawn.line_type = lt;
    outdev.room(drawn);
  }
  if (view_type == VIEW_PLAN && r.label.mark == 1)
    draw_point_marker_3d(marker_mode, r.label.x, r.label.y, 0.0);
  for (const Point2& p : r.points) {
    if (p.mark != 1 || point_is_contour_end(p.x, p.y)) continue;
    draw_point_marker_3d(marker_mode, p.x, p.y, r.base_z);
    draw_point_marker_3d(marker_mode, p.x, p.y, r.top_z);
  }
}

void draw_light_3d(const LightElem& l, uint8_t marker_mode) {
  const Point3& p = l.position;
  draw_3d_line(PEN_GUIDE, 0, p.x - 0.5, p.y, p.z, p.x + 0.5, p.y, p.z);
  draw_3d_line(PEN_GUIDE, 0, p.x, p.y - 0.5, p.z, p.x, p.y + 0.5, p.z);
  draw_3d_line(PEN_GUIDE, 0, p.x, p.y, p.z - 0.5, p.x, p.y, p.z + 0.5);
  marker_3d(marker_mode, l.position);
  marker_3d(marker_mode, l.target);
  const Point2 c = project(p.x, p.y, p.z);
  if (l.type == LIGHT_POINT && view_type != VIEW_PERSPECTIVE) {
    outdev_screen_arc(PEN_GUIDE, 0, c.x, c.y, l.light_size, l.light_size, GEOM_TWO_PI, 0.0, 0.0);
  } else if (l.type == LIGHT_SPOT) {
    const Point2 t = project(l.target.x, l.target.y, l.target.z);
    const double half = l.angle / 360.0 * GEOM_PI;
    for (double turn : {half, -half}) {
      geom_rotate_point(c.x, c.y, t.x, t.y, turn);
      outdev.line(PEN_GUIDE, 0, c.x, c.y, geo_result.rot_x, geo_result.rot_y);
    }
  }
}

void draw_plan_element(ElemHeader* e, uint8_t marker_mode) {
  const uint8_t pen = e->pen, lt = e->line_type;
  switch (e->kind) {
    case ELEM_LINE3D:
    case ELEM_MESH:
    case ELEM_CAMERA:
    case ELEM_ROOM:
    case ELEM_LIGHT:
      draw_3d_element(pen, lt, e, marker_mode);
      break;
    case ELEM_LINE: {
      const LineElem& l = *static_cast<LineElem*>(e);
      draw_line_2d(pen, lt, l.p1, l.p2);
      marker_2d(marker_mode, l.p1);
      marker_2d(marker_mode, l.p2);
      break;
    }
    case ELEM_ARC: {
      const ArcElem& a = *static_cast<ArcElem*>(e);
      outdev.arc(pen, lt, a.centre.x, a.centre.y, a.radius_x, a.radius_y, a.sweep, a.start, a.rotation);
      marker_2d(marker_mode, a.centre);
      break;
    }
    case ELEM_SPLINE: {
      const SplineElem& s = *static_cast<SplineElem*>(e);
      outdev.bezier(pen, lt, s.p0.x, s.p0.y, s.p1.x, s.p1.y, s.p2.x, s.p2.y, s.p3.x, s.p3.y);
      for (const Point2* p : {&s.p0, &s.p1, &s.p2, &s.p3}) marker_2d(marker_mode, *p);
      break;
    }
    case ELEM_WALL: {
      const WallElem& w = *static_cast<WallElem*>(e);
      if (w.gable == 1) {
        if (w.gable_a.mark == 1) draw_point_marker(marker_mode, w.gable_a.x, w.gable_a.y);
        if (w.gable_b.mark == 1) draw_point_marker(marker_mode, w.gable_b.x, w.gable_b.y);
      }
      for (const WallSegment& s : w.segments) {
        draw_edge_2d(pen, lt, s.start, s.end);
        marker_2d(marker_mode, s.start);
        marker_2d(marker_mode, s.end);
      }
      for (const WallOpening& o : w.openings) {
        const Point3* c = o.corner;
        draw_opening_symbol(w.mark == 1 ? 1 : 0, w.layer, outdev.draw_mode, o.kind, o.symbol_style, c[0].x,
                            c[0].y, c[1].x, c[1].y, c[2].x, c[2].y, c[3].x, c[3].y, o.stop_width,
                            o.stop_depth, o.leaf_quadrant);
      }
      break;
    }
    case ELEM_TEXT: {
      const TextElem& t = *static_cast<TextElem*>(e);
      outdev.text(OutdevText{.pen = pen,
                             .lt = lt,
                             .x = t.pos.x,
                             .y = t.pos.y,
                             .angle = t.angle,
                             .height = t.height,
                             .width_factor = t.width_factor,
                             .spacing = t.spacing,
                             .line_spacing = t.line_spacing,
                             .text = t.text.c_str(),
                             .fit_length = t.fit_length,
                             .font = t.font.c_str(),
                             .alignment = t.alignment});
      marker_2d(marker_mode, t.pos);
      break;
    }
    case ELEM_DIM: {
      const DimElem& d = *static_cast<DimElem*>(e);
      outdev.dimension(d);
      for (const DimPoint& p : d.points) {
        if (p.line_point.mark != 1 && p.measured.mark != 1) continue;
        draw_point_marker(marker_mode, p.line_point.x, p.line_point.y);
        draw_point_marker(marker_mode, p.measured.x, p.measured.y);
      }
      break;
    }
    case ELEM_PATTERN: {
      const PatternElem& p = *static_cast<PatternElem*>(e);
      const int32_t n = static_cast<int32_t>(p.points.size());
      const Point2* pts = p.points.data();
      switch (p.type) {
        case PATTERN_ONE_LINE:
        case PATTERN_TWO_LINES:
          draw_hatch_lines(pen, lt, p.origin.x, p.origin.y, p.angle1, p.spacing1, n, pts);
          if (p.type == PATTERN_TWO_LINES)
            draw_hatch_lines(p.pen2, p.line_type2, p.offset.x, p.offset.y, p.angle2, p.spacing2, n, pts);
          break;
        case PATTERN_POINTS:
          draw_hatch_points(pen, lt, p.origin.x, p.origin.y, p.angle1, p.spacing1, n, pts);
          break;
        case PATTERN_FILLING:
          outdev.fill(p.r, p.g, p.b, n, pts);
          break;
        default:
          break;
      }
      for (const Point2& q : p.points)
        if (!point_is_contour_end(q.x, q.y)) marker_2d(marker_mode, q);
      break;
    }
  }
}

bool chosen_marked(const ElemHeader* e) { return e->mark == 1 || elem_has_marked_point(e); }

// The four passes: fillings under everything, the current layer over the
// others, each in list order (draw_pass_of). A large drawing is drawn on
// every core; otherwise one walk over the list sorts the elements into the
// passes and the passes then draw them.
void four_passes(uint8_t mode, const DrawPassRule& rule) {
  if (draw_passes_in_parallel(mode, rule)) return;
  static std::vector<ElemHeader*> passes[4];
  for (auto& p : passes) p.clear();
  for (ElemHeader* e = elem_list_head; e; e = e->next) {
    const int k = draw_pass_of(e, rule);
    if (k >= 0) passes[k].push_back(e);
  }
  for (auto& p : passes)
    for (ElemHeader* e : p) draw_element(mode, e);
}

void scope_passes(uint8_t mode, DrawScope which) {
  switch (which) {
    case DrawScope::ALL:
      four_passes(mode, DrawPassRule{true, nullptr});
      break;
    case DrawScope::MARKED:
      four_passes(mode, DrawPassRule{false, chosen_marked});
      break;
  }
}

Point2 drag_map(double x, double y) { return Point2{draw_drag_x(x, y), draw_drag_y(x, y), 0}; }

void xor_line(const Point2& a, const Point2& b) { draw_xor_line(a.x, a.y, b.x, b.y); }

// Each contour as a closed polyline, under the drag transform.
void xor_contours(const std::vector<Point2>& pts) {
  std::size_t first = 0;
  for (std::size_t i = 0; i < pts.size(); ++i) {
    if (point_is_contour_end(pts[i].x, pts[i].y)) {
      first = i + 1;
      continue;
    }
    const bool last = i + 1 == pts.size() || point_is_contour_end(pts[i + 1].x, pts[i + 1].y);
    const Point2& next = last ? pts[first] : pts[i + 1];
    xor_line(drag_map(pts[i].x, pts[i].y), drag_map(next.x, next.y));
  }
}

void drag_element_outline(const ElemHeader* e, double a) {
  switch (e->kind) {
    case ELEM_LINE: {
      const LineElem& l = *static_cast<const LineElem*>(e);
      xor_line(drag_map(l.p1.x, l.p1.y), drag_map(l.p2.x, l.p2.y));
      break;
    }
    case ELEM_SPLINE: {
      const SplineElem& s = *static_cast<const SplineElem*>(e);
      const Point2 p0 = drag_map(s.p0.x, s.p0.y), p1 = drag_map(s.p1.x, s.p1.y);
      const Point2 p2 = drag_map(s.p2.x, s.p2.y), p3 = drag_map(s.p3.x, s.p3.y);
      draw_xor_bezier(p0.x, p0.y, p1.x, p1.y, p2.x, p2.y, p3.x, p3.y);
      break;
    }
    case ELEM_ARC: {
      const ArcElem& c = *static_cast<const ArcElem*>(e);
      const Point2 m = drag_map(c.centre.x, c.centre.y);
      draw_xor_ellipse_arc(m.x, m.y, c.radius_x, c.radius_y, c.sweep, c.start, c.rotation + a);
      break;
    }
    case ELEM_TEXT: {
      const TextElem& t = *static_cast<const TextElem*>(e);
      const Point2 p = drag_map(t.pos.x, t.pos.y);
      text_draw_xor_frame(p.x, p.y, t.angle + a, t.height, t.width_factor, t.spacing, t.line_spacing,
                          t.text.c_str(), t.fit_length, t.font.c_str(), t.alignment);
      break;
    }
    case ELEM_WALL:
      for (const WallSegment& s : static_cast<const WallElem*>(e)->segments)
        xor_line(drag_map(s.start.x, s.start.y), drag_map(s.end.x, s.end.y));
      break;
    case ELEM_PATTERN:
      xor_contours(static_cast<const PatternElem*>(e)->points);
      break;
    case ELEM_ROOM:
      xor_contours(static_cast<const RoomElem*>(e)->points);
      break;
    case ELEM_DIM: {
      const std::vector<DimPoint>& p = static_cast<const DimElem*>(e)->points;
      const DimElem& d = *static_cast<const DimElem*>(e);
      if (d.dim_kind == DIM_CHAIN && !p.empty())
        xor_line(drag_map(p.front().line_point.x, p.front().line_point.y),
                 drag_map(p.back().line_point.x, p.back().line_point.y));
      else if (d.dim_kind != DIM_CHAIN && p.size() >= 3)
        xor_line(drag_map(p[1].line_point.x, p[1].line_point.y),
                 drag_map(p[2].line_point.x, p[2].line_point.y));
      break;
    }
    case ELEM_MESH: {
      const MeshElem& m = *static_cast<const MeshElem*>(e);
      if (m.vertices.empty()) break;
      double x0 = m.vertices[0].x, y0 = m.vertices[0].y, x1 = x0, y1 = y0;
      for (const Point3& v : m.vertices) {
        x0 = std::min(x0, v.x);
        y0 = std::min(y0, v.y);
        x1 = std::max(x1, v.x);
        y1 = std::max(y1, v.y);
      }
      const Point2 lo = drag_map(x0, y0), hi = drag_map(x1, y1);
      draw_xor_rect(lo.x, lo.y, hi.x, hi.y);
      break;
    }
    case ELEM_LINE3D:
    case ELEM_CAMERA:
    case ELEM_LIGHT:
      break;  // 3D lines, cameras and lights have no outline here
  }
}

}  // namespace

void draw_element(uint8_t mode, ElemHeader* e) {
  if (!e || !layer_visible(e->layer)) return;
  uint8_t dm = e->layer != cur_layer ? DRAWMODE_OTHER_LAYER : DRAWMODE_NORMAL;
  if (e->mark == 1 || mode == DRAW_HIGHLIGHT) dm = DRAWMODE_SELECTED;
  if (mode == DRAW_ERASE) dm = DRAWMODE_ERASE;
  if (mode == DRAW_PLAIN) dm = DRAWMODE_NORMAL;
  outdev.draw_mode = dm;
  const uint8_t marker_mode = mode == DRAW_ERASE ? 0 : 1;
  if (view_type != VIEW_PLAN) {
    if (draw_3d_element(e->pen, e->line_type, e, marker_mode)) flush_if_refreshing();
    return;
  }
  draw_plan_element(e, marker_mode);
  flush_if_refreshing();
}

void draw_element_any_layer(ElemHeader* e) {
  outdev.draw_mode = DRAWMODE_NORMAL;
  if (view_type != VIEW_PLAN)
    draw_3d_element(e->pen, e->line_type, e, 1);
  else
    draw_plan_element(e, 1);
}

void draw_scope(uint8_t mode, DrawScope which) {
  RefreshBatch batch(draw_refresh_now);
  scope_passes(mode, which);
}

void draw_all(uint8_t mode) {
  if (elem_list_head) ++draw_full_count;
  if (mode == DRAW_CLEAR) {
    view_clear();
    cursor_toggle();
    mode = DRAW_NORMAL;
  }
  cursor_toggle();
  {
    RefreshBatch batch;
    scope_passes(mode, DrawScope::ALL);
    view_flush_dirty();
  }
  cursor_toggle();
}

void draw_selected(uint8_t mode) {
  cursor_toggle();
  {
    RefreshBatch batch;
    scope_passes(mode, DrawScope::MARKED);
    view_flush_dirty();
  }
  cursor_toggle();
}

void view_redraw() {
  if (redraw_holds > 0 && cur_view == 0) {
    redraw_due = true;
    return;
  }
  draw_all(DRAW_CLEAR);
  if (display_hooks.request_markers_toggle) display_hooks.request_markers_toggle();
  // Every change of the main view ends here: the pointer now stands over
  // another world point, though it has not moved.
  if (cur_view == 0) input_refresh_coordinates(active_request);
}

void view_redraw_hold() { ++redraw_holds; }

void view_redraw_release(bool drop) {
  if (redraw_holds == 0 || --redraw_holds > 0) return;
  const bool due = redraw_due;
  redraw_due = false;
  if (!due || drop) return;
  CurrentView main_view(0);
  view_redraw();
}

void draw_last_element(uint8_t mode) {
  if (elem_list_tail) draw_element(mode, elem_list_tail);
}

void draw_3d_line(uint8_t pen, uint8_t line_type, double x1, double y1, double z1, double x2, double y2,
                  double z2) {
  draw_edge_2d(pen, line_type, project(x1, y1, z1), project(x2, y2, z2));
}

void draw_3d_box_edges(uint8_t pen, uint8_t marker_mode, uint8_t line_type, const Point3* corners) {
  static constexpr int edges[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                                       {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
  Point2 uv[8];
  for (int i = 0; i < 8; ++i) {
    uv[i] = project(corners[i].x, corners[i].y, corners[i].z);
    uv[i].mark = corners[i].mark;
  }
  for (const auto& edge : edges) draw_edge_2d(pen, line_type, uv[edge[0]], uv[edge[1]]);
  for (const Point2& p : uv) marker_2d(marker_mode, p);
}

int draw_3d_element(uint8_t pen, uint8_t line_type, ElemHeader* e, uint8_t marker_mode) {
  switch (e->kind) {
    case ELEM_WALL: {
      const WallElem& w = *static_cast<WallElem*>(e);
      if (w.gable == 1)
        draw_gable_wall_3d(pen, line_type, w, marker_mode);
      else
        draw_3d_box_edges(pen, marker_mode, line_type, w.corner);
      draw_openings_3d(pen, marker_mode, line_type, w);
      return 1;
    }
    case ELEM_LINE3D: {
      const Line3dElem& l = *static_cast<Line3dElem*>(e);
      draw_3d_line(pen, line_type, l.p1.x, l.p1.y, l.p1.z, l.p2.x, l.p2.y, l.p2.z);
      marker_3d(marker_mode, l.p1);
      marker_3d(marker_mode, l.p2);
      return 1;
    }
    case ELEM_MESH:
      draw_mesh_3d(pen, line_type, *static_cast<MeshElem*>(e), marker_mode);
      return 1;
    case ELEM_CAMERA:
      draw_camera_3d(pen, *static_cast<CameraElem*>(e), marker_mode);
      return 1;
    case ELEM_ROOM:
      draw_room_3d(pen, line_type, *static_cast<RoomElem*>(e), marker_mode);
      return 1;
    case ELEM_LIGHT:
      draw_light_3d(*static_cast<LightElem*>(e), marker_mode);
      return 1;
    case ELEM_LINE:
    case ELEM_ARC:
    case ELEM_TEXT:
    case ELEM_DIM:
    case ELEM_PATTERN:
    case ELEM_SPLINE:
      break;
  }
  return 0;
}

double draw_drag_x(double x, double y) {
  return (x - drag.rx) * drag.cosine - (y - drag.ry) * drag.sine + drag.tx;
}

double draw_drag_y(double x, double y) {
  return (y - drag.ry) * drag.cosine + (x - drag.rx) * drag.sine + drag.ty;
}

void draw_drag_preview(const DragPreview& p) {
  drag = DragTransform{p.ref_x, p.ref_y, p.target_x, p.target_y, std::sin(p.angle), std::cos(p.angle)};
  if (view_type == VIEW_PERSPECTIVE) return;
  const double dz = p.target_z - p.ref_z;
  if (view_type != VIEW_PLAN) {
    const Point2 base[4] = {drag_map(p.xmin3, p.ymin3), drag_map(p.xmax3, p.ymin3),
                            drag_map(p.xmax3, p.ymax3), drag_map(p.xmin3, p.ymax3)};
    Point2 c[8];
    for (int i = 0; i < 8; ++i)
      c[i] = project(base[i % 4].x, base[i % 4].y, (i < 4 ? p.zmin3 : p.zmax3) + dz);
    const bool iso = view_type == VIEW_ISO_FRONT_LEFT || view_type == VIEW_ISO_FRONT_RIGHT ||
                     view_type == VIEW_ISO_BACK_LEFT || view_type == VIEW_ISO_BACK_RIGHT;
    static constexpr int all[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                                       {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
    static constexpr int outline[6][2] = {{0, 1}, {1, 2}, {6, 7}, {7, 4}, {0, 4}, {2, 6}};
    if (iso)
      for (const auto& edge : all) xor_line(c[edge[0]], c[edge[1]]);
    else
      for (const auto& edge : outline) xor_line(c[edge[0]], c[edge[1]]);
    return;
  }
  if (p.count >= 50) {
    const Point2 b[4] = {drag_map(p.xmin, p.ymin), drag_map(p.xmax, p.ymin), drag_map(p.xmax, p.ymax),
                         drag_map(p.xmin, p.ymax)};
    Point2 c[4];
    for (int i = 0; i < 4; ++i) c[i] = project(b[i].x, b[i].y, dz);
    for (int i = 0; i < 4; ++i) xor_line(c[i], c[(i + 1) % 4]);
    return;
  }
  for (ElemHeader* e = elem_list_head; e; e = e->next)
    if (e->mark == 1) drag_element_outline(e, p.angle);
}

void draw_drag_preview(double ref_x, double ref_y, double ref_z, double target_x, double target_y,
                       double target_z, double angle, uint32_t count, double xmin, double ymin, double xmax,
                       double ymax, double xmin3, double ymin3, double zmin3, double xmax3, double ymax3,
                       double zmax3) {
  draw_drag_preview(DragPreview{ref_x, ref_y, ref_z, target_x, target_y, target_z, angle, count, xmin, ymin,
                                xmax, ymax, xmin3, ymin3, zmin3, xmax3, ymax3, zmax3});
}
