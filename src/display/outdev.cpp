#include "display/outdev.h"

#include <algorithm>
#include <cmath>

#include "display/draw.h"
#include "display/text_draw.h"
#include "display/view.h"
#include "model/geom.h"
#include "model/layers.h"
#include "model/settings.h"
#include "model/view_rec.h"

OutputDevice outdev;
int32_t hpgl_pen_pass = -1;

namespace {

// Chords of one curve are capped, so that a corrupt sweep cannot stall the
// drawing; far above anything a real arc needs (188 for a full circle).
constexpr int MAX_CHORDS = 100000;

// World metres per paper millimetre at the reference scale.
double paper_mm() { return drawing_scale / 1000.0; }

void pen_line_px(uint8_t width, uint8_t colour) {
  view_draw_pen_line(width, colour, clip_result.sx1, clip_result.sy1, clip_result.sx2, clip_result.sy2);
}

void marker_cross(double x, double y, int half) {
  const int sx = view_wx_to_sx(x);
  const int sy = view_wy_to_sy(y);
  const double wy = view_sy_to_wy(sy);
  const double wx = view_sx_to_wx(sx);
  outdev.line(PEN_GUIDE, 0, view_sx_to_wx(sx - half), wy, view_sx_to_wx(sx + half), wy);
  outdev.line(PEN_GUIDE, 0, wx, view_sy_to_wy(sy + half), wx, view_sy_to_wy(sy - half));
}

// The points of an ellipse at t, t + step, t + 2 step, ...: the angle's
// cosine and sine are turned on by the step instead of being computed anew
// for every chord (the drift over a few hundred steps stays far below a
// micrometre).
class EllipseWalk {
 public:
  EllipseWalk(double cx, double cy, double rx, double ry, double start, double step, double rotation)
      : cx_(cx),
        cy_(cy),
        rx_(rx),
        ry_(ry),
        ct_(std::cos(start)),
        st_(std::sin(start)),
        cs_(std::cos(step)),
        ss_(std::sin(step)),
        cr_(std::cos(rotation)),
        sr_(std::sin(rotation)) {}
  Point2 point() const {
    return Point2{cx_ + rx_ * ct_ * cr_ - ry_ * st_ * sr_, cy_ + rx_ * ct_ * sr_ + ry_ * st_ * cr_, 0};
  }
  void next() {
    const double c = ct_ * cs_ - st_ * ss_;
    st_ = st_ * cs_ + ct_ * ss_;
    ct_ = c;
  }

 private:
  double cx_, cy_, rx_, ry_, ct_, st_, cs_, ss_, cr_, sr_;
};

// Whether the square centre +- the larger radius misses the current window.
bool arc_outside_view(double cx, double cy, double rx, double ry) {
  const ViewRec& v = view_current();
  const double r = std::max(rx, ry);
  return cx - r > v.xmax || cx + r < v.xmin || cy - r > v.ymax || cy + r < v.ymin;
}

// Chords per full turn: (rx + ry) x 50 / view_scale decides.
double arc_density(double rx, double ry) {
  const double k = (rx + ry) * 50.0 / view_scale;
  if (!(k >= 0.5)) return 12.0;  // NaN counts as small
  if (k < 1.0) return 24.0;
  return std::min(120.0, std::trunc(4.0 * k + 24.0));
}

double bezier_k(double x0, double y0, double x1, double y1, double x2, double y2, double x3, double y3,
                double hi) {
  const double xs = view_current().xscale;
  double k = (geom_dist(x0, y0, x3, y3) + geom_dist(x1, y1, x2, y2)) / 22.0 / xs;
  if (!(xs > 0.0) || !(k >= 12.0)) k = 12.0;  // also NaN and a view without a scale
  return std::min(k, hi);
}

Point2 bezier_point(double t, double x0, double y0, double x1, double y1, double x2, double y2, double x3,
                    double y3) {
  const double u = 1.0 - t;
  const double a = u * u * u, b = 3.0 * t * u * u, c = 3.0 * t * t * u, d = t * t * t;
  return Point2{a * x0 + b * x1 + c * x2 + d * x3, a * y0 + b * y1 + c * y2 + d * y3, 0};
}

}  // namespace

void outdev_init_screen_slots() {
  outdev.dimension = outdev_screen_dimension;
  outdev.room = outdev_screen_room;
  outdev.bezier = outdev_screen_bezier;
  outdev.text = outdev_screen_text;
  outdev.arc = outdev_screen_arc;
  outdev.line = outdev_screen_line;
  outdev.fill = outdev_screen_fill;
  outdev.active = 0;
  outdev.draw_mode = DRAWMODE_NORMAL;
}

GuidePointsOff::GuidePointsOff() : saved_(view_options.show_guide_points) {
  view_options.show_guide_points = 0;
}

GuidePointsOff::~GuidePointsOff() { view_options.show_guide_points = saved_; }

uint8_t outdev_palette_index(uint8_t pen) {
  const bool guide = pen == PEN_GUIDE;
  const uint8_t p = pen < PEN_COUNT ? pen : 0;
  switch (outdev.draw_mode) {
    case DRAWMODE_SELECTED:
      return PAL_SELECTED;
    case DRAWMODE_ERASE:
      return PAL_BACKGROUND;
    case DRAWMODE_OTHER_LAYER:
      return guide ? PAL_GUIDE : PAL_DIMMED_PEN_0 + p;
    default:
      return guide ? PAL_GUIDE : PAL_PEN_0 + p;
  }
}

uint8_t outdev_pen_width_px(uint8_t pen) {
  if (pen == PEN_GUIDE || !view_options.exact_line_thickness || view_type != VIEW_PLAN) return 0;
  const int px = view_len_to_px_x(paper_mm() * pen_def(pen).width);
  return static_cast<uint8_t>(std::clamp(px, 0, 255));
}

void outdev_screen_line(uint8_t pen, uint8_t lt, double x1, double y1, double x2, double y2) {
  // In the perspective view an end behind the eye projects to the end marker.
  if (view_type == VIEW_PERSPECTIVE && (geom_is_end_marker(x1, y1) || geom_is_end_marker(x2, y2))) return;
  if (!view_clip_line(x1, y1, x2, y2)) return;
  const uint8_t width = outdev_pen_width_px(pen);
  const uint8_t colour = outdev_palette_index(pen);
  const LineTypeDef& type = line_type_def(lt);
  if (type.pairs == 0) {
    pen_line_px(width, colour);
    return;
  }
  const double s = paper_mm();
  const double period = s * type.period;
  const double length = geom_dist(x1, y1, x2, y2);
  const double periods = length / period;
  if (view_len_to_px_x(period) <= 5 || !(periods >= 1.0)) {
    pen_line_px(width, colour);
    return;
  }
  const double n = std::trunc(periods);
  const double a = geom_angle(x1, y1, x2, y2);
  const double ca = std::cos(a), sa = std::sin(a);
  const int pairs = std::min<int>(type.pairs, 3);
  double step = 0.0;  // what one period advances: its dashes and gaps
  for (int i = 0; i < pairs; ++i) step += s * (type.dash[i] + type.gap[i]);
  // Periods wholly before or after the visible part touch no pixel: start at
  // the one the visible part begins in and stop after the one it ends in.
  const double t0 = geom_dist(x1, y1, clip_result.x1, clip_result.y1);
  const double t1 = geom_dist(x1, y1, clip_result.x2, clip_result.y2);
  double first = 0.0, last = n;
  if (step > 0.0) {
    first = std::clamp(std::floor(std::min(t0, t1) / step) - 1.0, 0.0, n);
    last = std::clamp(std::ceil(std::max(t0, t1) / step) + 1.0, 0.0, n);
  }
  for (double j = first; j < last; j += 1.0) {
    double px = x1 + ca * step * j, py = y1 + sa * step * j;
    for (int i = 0; i < pairs; ++i) {
      const double dash = s * type.dash[i], gap = s * type.gap[i];
      const double ex = px + ca * dash, ey = py + sa * dash;
      if (view_clip_line(px, py, ex, ey)) pen_line_px(width, colour);
      px = ex + ca * gap;
      py = ey + sa * gap;
    }
  }
  // The rest, shorter than a period, is solid so that the line reaches its end.
  const double rx = x1 + ca * step * n, ry = y1 + sa * step * n;
  if (view_clip_line(rx, ry, x2, y2)) pen_line_px(width, colour);
}

void outdev_screen_arc(uint8_t pen, uint8_t lt, double cx, double cy, double rx, double ry, double sweep,
                       double start, double rotation) {
  draw_ellipse_arc_poly(pen, lt, cx, cy, rx, ry, sweep, start, rotation);
}

int outdev_arc_chord_count(double rx, double ry, double sweep) {
  const double w = arc_density(rx, ry);
  const double n = std::trunc(w * sweep * 0.25);
  int count = n >= 1.0 ? static_cast<int>(std::min(n, double{MAX_CHORDS})) : 1;
  if (outdev.active) count *= 2;
  return count;
}

void draw_ellipse_arc_poly(uint8_t pen, uint8_t lt, double cx, double cy, double rx, double ry, double sweep,
                           double start, double rotation) {
  if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(rx) || !std::isfinite(ry) ||
      !std::isfinite(sweep) || !std::isfinite(start) || !std::isfinite(rotation))
    return;
  if (!outdev.active && arc_outside_view(cx, cy, rx, ry)) return;
  const int n = outdev_arc_chord_count(rx, ry, sweep);
  EllipseWalk walk(cx, cy, rx, ry, start, sweep / n, rotation);
  Point2 prev = walk.point();
  for (int i = 0; i < n; ++i) {
    walk.next();
    const Point2 p = walk.point();
    outdev.line(pen, lt, prev.x, prev.y, p.x, p.y);
    prev = p;
  }
  if (view_options.show_guide_points) draw_point_marker_small(cx, cy);
}

int outdev_bezier_chord_count(double x0, double y0, double x1, double y1, double x2, double y2, double x3,
                              double y3) {
  double k = bezier_k(x0, y0, x1, y1, x2, y2, x3, y3, 120.0);
  if (outdev.active) k *= 2.0;
  return static_cast<int>(std::ceil(k));
}

void outdev_screen_bezier(uint8_t pen, uint8_t lt, double x0, double y0, double x1, double y1, double x2,
                          double y2, double x3, double y3) {
  double k = bezier_k(x0, y0, x1, y1, x2, y2, x3, y3, 120.0);
  if (outdev.active) k *= 2.0;
  Point2 prev{x0, y0, 0};
  for (int i = 1; i < k; ++i) {
    const Point2 p = bezier_point(i / k, x0, y0, x1, y1, x2, y2, x3, y3);
    outdev.line(pen, lt, prev.x, prev.y, p.x, p.y);
    prev = p;
  }
  outdev.line(pen, lt, prev.x, prev.y, x3, y3);
  if (view_options.show_guide_points) {
    draw_point_marker_small(x1, y1);
    draw_point_marker_small(x2, y2);
  }
}

void draw_point_marker(uint8_t marker_mode, double x, double y) {
  if (outdev.active) return;
  const uint8_t saved = outdev.draw_mode;
  if (marker_mode == 0) outdev.draw_mode = DRAWMODE_ERASE;
  if (marker_mode == 1) outdev.draw_mode = DRAWMODE_SELECTED;
  marker_cross(x, y, 2);
  outdev.draw_mode = saved;
  if (draw_refresh_now) view_flush_dirty();
}

void draw_point_marker_3d(uint8_t marker_mode, double x, double y, double z) {
  view_project(x, y, z);
  draw_point_marker(marker_mode, geo_result.view_u, geo_result.view_v);
}

void draw_point_marker_small(double x, double y) {
  if (outdev.active) return;
  marker_cross(x, y, 1);
}

void draw_xor_ellipse_arc(double cx, double cy, double rx, double ry, double sweep, double start,
                          double rotation) {
  if (arc_outside_view(cx, cy, rx, ry)) return;
  constexpr int n = 24;
  EllipseWalk walk(cx, cy, rx, ry, start, sweep / n, rotation);
  Point2 prev = walk.point();
  for (int i = 0; i < n; ++i) {
    walk.next();
    const Point2 p = walk.point();
    draw_xor_line(prev.x, prev.y, p.x, p.y);
    prev = p;
  }
}

void draw_xor_bezier(double x0, double y0, double x1, double y1, double x2, double y2, double x3, double y3) {
  const double k = bezier_k(x0, y0, x1, y1, x2, y2, x3, y3, 36.0);
  Point2 prev{x0, y0, 0};
  for (int i = 1; i < k; ++i) {
    const Point2 p = bezier_point(i / k, x0, y0, x1, y1, x2, y2, x3, y3);
    draw_xor_line(prev.x, prev.y, p.x, p.y);
    prev = p;
  }
  draw_xor_line(prev.x, prev.y, x3, y3);
  draw_xor_line(x1, y1, x1, y1);
  draw_xor_line(x2, y2, x2, y2);
}

void outdev_explode_line(uint8_t pen, uint8_t lt, double x1, double y1, double x2, double y2) {
  if (pen == PEN_GUIDE) return;
  elem_new_line(cur_layer, pen, lt, x1, y1, x2, y2);
}

void outdev_explode_arc(uint8_t pen, uint8_t lt, double cx, double cy, double rx, double ry, double sweep,
                        double start, double rotation) {
  elem_new_arc(cur_layer, pen, lt, cx, cy, rx, ry, sweep, start, rotation);
}

int hpgl_pen_in_pass(uint8_t pen) { return static_cast<int32_t>(pen) == hpgl_pen_pass ? 1 : 0; }
