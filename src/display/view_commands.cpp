#include "display/view_commands.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>
#include <vector>

#include "display/draw.h"
#include "display/draw_parallel.h"
#include "display/ink_box.h"
#include "display/input.h"
#include "display/text_layout.h"
#include "display/view.h"
#include "model/geom.h"
#include "model/layers.h"
#include "model/scale_ladder.h"
#include "model/settings.h"
#include "model/ui.h"
#include "model/view_rec.h"
#include "platform/work_pool.h"

ViewExtents extents;
ViewExtents marked_extents;
int extents_parallel_min_elements = EXTENTS_PARALLEL_MIN_ELEMENTS;
ViewRec view_saved;
double view_saved_scale = 500.0;

namespace {

// The 3D box has a start of its own: a 2D point added first must not leave
// the 3D box growing from the zeros it was cleared to.
int32_t started_3d = 0;

bool is_2d_kind(uint8_t kind) {
  return kind == ELEM_ROOM || kind == ELEM_LINE || kind == ELEM_ARC || kind == ELEM_SPLINE ||
         kind == ELEM_TEXT || kind == ELEM_DIM || kind == ELEM_PATTERN;
}

// What one run over elements gathers: the 2D box (points and ink), the 3D
// box of the 3D points and the weights. Runs over parts of the list, each
// on its own thread, are merged afterwards.
struct Gather {
  InkBox flat;
  bool solid = false;
  double x0 = 0.0, x1 = 0.0, y0 = 0.0, y1 = 0.0, z0 = 0.0, z1 = 0.0;
  int32_t count = 0;

  void add_2d(const Point2& p) { flat.add(p.x, p.y); }
  void add_3d(const Point3& p) {
    view_project(p.x, p.y, p.z);
    flat.add(geo_result.view_u, geo_result.view_v);
    add_solid(p.x, p.y, p.z, p.x, p.y, p.z);
  }
  void add_solid(double ax, double ay, double az, double bx, double by, double bz) {
    if (!solid) {
      x0 = ax, y0 = ay, z0 = az, x1 = bx, y1 = by, z1 = bz;
      solid = true;
      return;
    }
    x0 = std::min(x0, ax), y0 = std::min(y0, ay), z0 = std::min(z0, az);
    x1 = std::max(x1, bx), y1 = std::max(y1, by), z1 = std::max(z1, bz);
  }
  void merge(const Gather& o) {
    flat.add(o.flat);
    if (o.solid) add_solid(o.x0, o.y0, o.z0, o.x1, o.y1, o.z1);
    count += o.count;
  }
};

// Every contour point but the end markers; the weight counts the markers too.
int32_t add_contours(Gather& g, const std::vector<Point2>& pts) {
  for (const Point2& p : pts)
    if (!geom_is_end_marker(p.x, p.y)) g.add_2d(p);
  return static_cast<int32_t>(pts.size());
}

// Kinds whose drawing reaches beyond their points: texts (glyphs below the
// baseline, wider than their frame), dimensions (figures and terminators),
// rooms (inscriptions), walls (door and window symbols) and Bezier curves,
// whose control points lie off the curve.
bool ink_reaches_beyond_points(uint8_t kind) {
  return kind == ELEM_TEXT || kind == ELEM_DIM || kind == ELEM_ROOM || kind == ELEM_WALL ||
         kind == ELEM_SPLINE;
}

// Adds the element's points and, where its drawing reaches beyond them, its
// ink; returns its weight, 0 when it is not counted.
int32_t add_element(ElemHeader* e, InkPass& ink, Gather& g) {
  if (view_type != VIEW_PLAN && is_2d_kind(e->kind)) return 0;
  if (ink_reaches_beyond_points(e->kind)) ink.add(e);
  switch (e->kind) {
    case ELEM_WALL: {
      const WallElem& w = *static_cast<const WallElem*>(e);
      for (const Point3& c : w.corner) g.add_3d(c);
      if (w.gable == 1) {
        g.add_3d(w.gable_a);
        g.add_3d(w.gable_b);
      }
      return 8;
    }
    case ELEM_LINE3D: {
      const Line3dElem& l = *static_cast<const Line3dElem*>(e);
      g.add_3d(l.p1);
      g.add_3d(l.p2);
      return 1;
    }
    case ELEM_LIGHT: {
      const LightElem& l = *static_cast<const LightElem*>(e);
      g.add_3d(l.position);
      g.add_3d(l.target);
      return 1;
    }
    case ELEM_CAMERA: {
      const CameraElem& c = *static_cast<const CameraElem*>(e);
      g.add_3d(c.eye);
      g.add_3d(c.target);
      return 3;
    }
    case ELEM_MESH: {
      const MeshElem& m = *static_cast<const MeshElem*>(e);
      for (const Point3& v : m.vertices) g.add_3d(v);
      return 3 * m.face_count();
    }
    case ELEM_ROOM:
      return add_contours(g, static_cast<const RoomElem*>(e)->points);
    case ELEM_PATTERN:
      return add_contours(g, static_cast<const PatternElem*>(e)->points);
    case ELEM_LINE: {
      const LineElem& l = *static_cast<const LineElem*>(e);
      g.add_2d(l.p1);
      g.add_2d(l.p2);
      return 1;
    }
    case ELEM_ARC: {
      const ArcElem& a = *static_cast<const ArcElem*>(e);
      ink_add_ellipse_arc(g.flat, a.centre.x, a.centre.y, a.radius_x, a.radius_y, a.sweep, a.start,
                          a.rotation);
      return 12;
    }
    case ELEM_SPLINE:  // the curve, from its ink
      return 12;
    case ELEM_TEXT: {
      const TextElem& t = *static_cast<const TextElem*>(e);
      text_draw_layout_frame(t.pos.x, t.pos.y, t.angle, t.height, t.width_factor, t.spacing, t.line_spacing,
                             t.text.c_str(), t.fit_length, t.font.c_str(), t.alignment);
      for (const Point2& p : text_frame) g.add_2d(p);
      return 4;
    }
    case ELEM_DIM:
      for (const DimPoint& p : static_cast<const DimElem*>(e)->points) g.add_2d(p.line_point);
      return 3;
  }
  return 0;
}

// Runs over the chosen elements of the list: with their points (modes 0 and 1) or only
// their ink of a scope. A long list is cut into pieces that run on every
// core; a piece that needs the interface's thread (a font to load) or
// fails runs again.
Gather gather(const std::vector<ElemHeader*>& list, bool (*chosen)(const ElemHeader*), bool points,
              InkScope scope, InkTexts texts = InkTexts::STROKED) {
  auto run = [&](Gather& g, std::size_t from, std::size_t to) {
    InkPass ink(g.flat, scope, texts);
    for (std::size_t i = from; i < to; ++i) {
      ElemHeader* e = list[i];
      if (!chosen(e)) continue;
      if (points)
        g.count += add_element(e, ink, g);
      else
        ink.add(e);
    }
  };
  Gather all;
  const std::size_t n = list.size();
  const int threads = work_pool_threads();
  if (threads < 2 || n < static_cast<std::size_t>(std::max(extents_parallel_min_elements, 1)) ||
      work_pool_in_piece()) {
    run(all, 0, n);
    return all;
  }
  const std::size_t pieces = static_cast<std::size_t>(threads) * 4;
  const std::size_t per = (n + pieces - 1) / pieces;
  const int count = static_cast<int>((n + per - 1) / per);
  std::vector<Gather> parts(count);
  work_pool_run_again_where_needed(count, [&](int p, bool alone) {
    parts[p] = Gather{};
    if (alone) {
      run(parts[p], p * per, std::min(n, (p + 1) * per));
      return true;
    }
    try {
      run(parts[p], p * per, std::min(n, (p + 1) * per));
      return true;
    } catch (...) {
      return false;
    }
  });
  for (const Gather& part : parts) all.merge(part);
  return all;
}

// Metres one pixel of the current view covers at 1:1, across and up.
double calibration_x() { return screen_aspect.width / SCREEN_SCALE_DIVISOR; }
double calibration_y() { return screen_aspect.height / SCREEN_SCALE_DIVISOR; }

double window_aspect(const ViewRec& v) {
  const double h = v.ymax - v.ymin;
  return h > 0.0 ? (v.xmax - v.xmin) / h : 1.0;
}

// The scale that shows w x h metres in the view, the deciding direction
// chosen by the window's aspect before the change; 0 when the view has no
// pixel box.
double fitting_scale(const ViewRec& v, double aspect, double w, double h) {
  const double pw = std::abs(v.right - v.left);
  const double ph = std::abs(v.bottom - v.top);
  if (pw <= 0.0 || ph <= 0.0) return 0.0;
  if (w > aspect * h) return w / (pw * calibration_x());
  return h / (ph * calibration_y());
}

void apply_redraw_show() {
  view_apply_scale(cur_view);
  view_redraw();
  view_show_scale();
}

}  // namespace

void view_show_scale() {
  char text[64];
  if (view_scale >= 1.0)
    std::snprintf(text, sizeof text, " 1:%.0f ", view_scale);
  else
    std::snprintf(text, sizeof text, " %.0f:1 ", 1.0 / view_scale);
  ui().mainwin_set_scale_label(text);
}

void view_scale_step_up() {
  const int n = scale_ladder_count;
  if (n <= 0 || !(scale_ladder[n - 1] > view_scale)) return;
  for (int i = 0; i < n; ++i) {
    if (scale_ladder[i] > view_scale) {
      view_scale = scale_ladder[i];
      break;
    }
  }
  view_show_scale();
  view_apply_scale(cur_view);
  view_redraw();
}

void view_scale_step_down() {
  const int n = scale_ladder_count;
  if (n <= 0 || !(view_scale > scale_ladder[0])) return;
  for (int i = n - 1; i >= 0; --i) {
    if (scale_ladder[i] < view_scale) {
      view_scale = scale_ladder[i];
      break;
    }
  }
  view_show_scale();
  view_apply_scale(cur_view);
  view_redraw();
}

void view_remember() {
  view_saved = view_current();
  view_saved_scale = view_scale;
}

void view_back() {
  ViewRec& v = view_current();
  v.xmin = view_saved.xmin;
  v.ymin = view_saved.ymin;
  v.xmax = view_saved.xmax;
  v.ymax = view_saved.ymax;
  view_scale = view_saved_scale;
  apply_redraw_show();
}

void view_default() {
  view_scale = 500.0;
  ViewRec& v = view_current();
  v.xmin = -10.0;
  v.ymin = -10.0;
  v.xmax = 10.0;
  v.ymax = 10.0;
  apply_redraw_show();
}

void view_center_on_cursor() {
  ViewRec& v = view_current();
  v.xmin = v.xmax = pointer_world.x;
  v.ymin = v.ymax = pointer_world.y;
  view_apply_scale(cur_view);
  view_redraw();
}

void view_scroll_quarter(double dx, double dy) {
  ViewRec& v = view_current();
  const double sx = 0.25 * (v.xmax - v.xmin) * dx;
  const double sy = 0.25 * (v.ymax - v.ymin) * dy;
  v.xmin += sx;
  v.xmax += sx;
  v.ymin += sy;
  v.ymax += sy;
  view_apply_scale(cur_view);
  view_redraw();
}

void view_extents_add_2d(double x, double y) {
  ViewExtents& x2 = extents;
  if (!x2.started) {
    x2.xmin = x2.xmax = x;
    x2.ymin = x2.ymax = y;
    x2.started = 1;
    return;
  }
  x2.xmin = std::min(x2.xmin, x);
  x2.xmax = std::max(x2.xmax, x);
  x2.ymin = std::min(x2.ymin, y);
  x2.ymax = std::max(x2.ymax, y);
}

void view_extents_add_3d(double x, double y, double z) {
  view_project(x, y, z);
  const double u = geo_result.view_u, v = geo_result.view_v;
  ViewExtents& b = extents;
  if (!started_3d || !b.started) {
    b.xmin3 = b.xmax3 = x;
    b.ymin3 = b.ymax3 = y;
    b.zmin3 = b.zmax3 = z;
    started_3d = 1;
  } else {
    b.xmin3 = std::min(b.xmin3, x);
    b.xmax3 = std::max(b.xmax3, x);
    b.ymin3 = std::min(b.ymin3, y);
    b.ymax3 = std::max(b.ymax3, y);
    b.zmin3 = std::min(b.zmin3, z);
    b.zmax3 = std::max(b.zmax3, z);
  }
  view_extents_add_2d(u, v);
}

void view_zoom_to_extents(uint8_t mode) {
  const int32_t saved_count = marked_extents.count;
  marked_extents.count = 0;
  if (mode == 1) marked_extents = ViewExtents{};
  extents = ViewExtents{};
  started_3d = 0;

  // Chosen in the pieces, which read every element anyway.
  const std::vector<ElemHeader*>& list = draw_list_in_order();
  Gather g;
  if (mode == 2 || mode == 3 || mode == 4) {
    // Exactly what a writer's pass over the marked elements draws.
    auto marked = [](const ElemHeader* e) {
      return (e->mark == 1 || elem_has_marked_point(e)) && layer_visible(e->layer);
    };
    g = gather(list, marked, false, mode == 3 ? InkScope::WRITTEN : InkScope::PRINTED,
               mode == 4 ? InkTexts::WRITTEN : InkTexts::STROKED);
  } else {
    auto counted = [](const ElemHeader* e) {
      return e->layer == cur_layer || layer_shown(e->layer) || e->mark == 1;
    };
    auto counted_marked = [](const ElemHeader* e) {
      return e->mark == 1;  // a marked element counts on any layer
    };
    g = gather(list, mode == 0 ? +counted : +counted_marked, true, InkScope::SHOWN);
  }
  if (g.flat.started) {
    extents.started = 1;
    extents.xmin = g.flat.xmin;
    extents.xmax = g.flat.xmax;
    extents.ymin = g.flat.ymin;
    extents.ymax = g.flat.ymax;
  }
  if (g.solid) {
    extents.xmin3 = g.x0, extents.xmax3 = g.x1;
    extents.ymin3 = g.y0, extents.ymax3 = g.y1;
    extents.zmin3 = g.z0, extents.zmax3 = g.z1;
    started_3d = 1;
  }
  marked_extents.count = g.count;
  if (mode == 2 || mode == 3 || mode == 4) {
    marked_extents.count = saved_count;
    return;
  }

  if (mode == 1) {
    const int32_t count = marked_extents.count;
    marked_extents = extents;
    marked_extents.started = 0;
    marked_extents.count = count;
    return;
  }
  marked_extents.count = saved_count;
  if (!extents.started) {
    view_default();
    return;
  }
  ViewRec& v = view_current();
  const double aspect = window_aspect(v);
  double w = extents.xmax - extents.xmin;
  double h = extents.ymax - extents.ymin;
  double xmin = extents.xmin, ymin = extents.ymin, xmax = extents.xmax, ymax = extents.ymax;
  if (view_type == VIEW_PERSPECTIVE) {
    const double a = view_camera.view_angle;
    xmin = ymin = -0.01 * a;
    xmax = ymax = 0.01 * a;
    w = h = a / 50.0;
  }
  if (v.right == v.left || v.bottom == v.top) return;
  w += w / 10.0;
  h += h / 10.0;
  double scale = fitting_scale(v, aspect, w, h);
  // Everything at one point: keep the scale and centre on it.
  if (!(scale > 0.0) || !std::isfinite(scale)) scale = view_scale;
  v.xmin = xmin;
  v.ymin = ymin;
  v.xmax = xmax;
  v.ymax = ymax;
  view_scale = scale;
  apply_redraw_show();
}

void view_zoom_to_window(double x0, double y0, double x1, double y1) {
  ViewRec& v = view_current();
  const double aspect = window_aspect(v);
  if (x0 > x1) std::swap(x0, x1);
  if (y0 > y1) std::swap(y0, y1);
  const double w = x1 - x0, h = y1 - y0;
  if (w <= 0.001 && h <= 0.001) return;
  const double scale = fitting_scale(v, aspect, w, h);
  if (!(scale > 0.0) || !std::isfinite(scale)) return;
  v.xmin = x0;
  v.ymin = y0;
  v.xmax = x1;
  v.ymax = y1;
  view_scale = scale;
  view_apply_scale(cur_view);
  view_redraw();
  view_show_scale();
}

void view_pan_by(double from_x, double from_y, double to_x, double to_y) {
  ViewRec& v = view_current();
  const double dx = to_x - from_x, dy = to_y - from_y;
  v.xmin += dx;
  v.xmax += dx;
  v.ymin += dy;
  v.ymax += dy;
  view_redraw();
}

void view_zoom_center_at(double x, double y) {
  ViewRec& v = view_current();
  v.xmin = v.xmax = x;
  v.ymin = v.ymax = y;
  view_apply_scale(cur_view);
  view_redraw();
}
