#include "display/outdev_screen.h"

#include <algorithm>
#include <cmath>

#include "display/outdev.h"
#include "display/outdev_breakdown.h"
#include "display/view.h"
#include "model/geom.h"
#include "model/layers.h"
#include "model/settings.h"
#include "model/view_rec.h"

namespace {

// World metres per paper millimetre at the reference scale.
double paper_mm() { return drawing_scale / 1000.0; }

void pen_line_px(uint8_t width, uint8_t colour) {
  view_draw_pen_line(width, colour, clip_result.sx1, clip_result.sy1, clip_result.sx2, clip_result.sy2);
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
  outdev.context = OutdevContext{};
}

bool outdev_screen_installed() {
  return !outdev.active && outdev.line == outdev_screen_line && outdev.arc == outdev_screen_arc &&
         outdev.bezier == outdev_screen_bezier && outdev.text == outdev_screen_text &&
         outdev.fill == outdev_screen_fill && outdev.dimension == outdev_screen_dimension &&
         outdev.room == outdev_screen_room;
}

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

void draw_point_marker(uint8_t marker_mode, double x, double y) {
  if (outdev.active) return;
  const uint8_t saved = outdev.draw_mode;
  if (marker_mode == 0) outdev.draw_mode = DRAWMODE_ERASE;
  if (marker_mode == 1) outdev.draw_mode = DRAWMODE_SELECTED;
  draw_point_cross(x, y, 2);
  outdev.draw_mode = saved;
  if (draw_refresh_now) view_flush_dirty();
}

void draw_point_marker_3d(uint8_t marker_mode, double x, double y, double z) {
  view_project(x, y, z);
  draw_point_marker(marker_mode, geo_result.view_u, geo_result.view_v);
}

void draw_xor_ellipse_arc(double cx, double cy, double rx, double ry, double sweep, double start,
                          double rotation) {
  if (outdev_arc_outside_view(cx, cy, rx, ry)) return;
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
  const double k = outdev_bezier_k(x0, y0, x1, y1, x2, y2, x3, y3, 36.0);
  Point2 prev{x0, y0, 0};
  for (int i = 1; i < k; ++i) {
    const Point2 p = outdev_bezier_point(i / k, x0, y0, x1, y1, x2, y2, x3, y3);
    draw_xor_line(prev.x, prev.y, p.x, p.y);
    prev = p;
  }
  draw_xor_line(prev.x, prev.y, x3, y3);
  draw_xor_line(x1, y1, x1, y1);
  draw_xor_line(x2, y2, x2, y2);
}

void draw_clipped_line(uint8_t pen, double x1, double y1, double x2, double y2) {
  if (!view_clip_line(x1, y1, x2, y2)) return;
  view_draw_pen_line(0, outdev_palette_index(pen), clip_result.sx1, clip_result.sy1, clip_result.sx2,
                     clip_result.sy2);
}

void draw_rect_lines(uint8_t pen, uint8_t line_type, double x1, double y1, double x2, double y2) {
  outdev_screen_line(pen, line_type, x1, y1, x2, y1);
  outdev_screen_line(pen, line_type, x2, y1, x2, y2);
  outdev_screen_line(pen, line_type, x2, y2, x1, y2);
  outdev_screen_line(pen, line_type, x1, y2, x1, y1);
}
