// The dimensions of three entries: radius and diameter of a picked circle
// or arc, the angle between two directions about a centre, and level marks
// against a zero height. Each dimension is one undo step; the tools go on
// until a request is cancelled.

#include <cmath>

#include "display/draw.h"
#include "display/input.h"
#include "display/outdev_screen.h"
#include "display/pick.h"
#include "display/view.h"
#include "model/geom.h"
#include "model/nls.h"
#include "model/presets.h"
#include "model/settings.h"
#include "model/undo.h"
#include "tools/dim_tools.h"
#include "tools/tool_common.h"

namespace {

DimPoint entry(double x, double y) {
  DimPoint d;
  d.line_point = Point2{x, y, 0};
  return d;
}

// The unit vector at right angles to c -> t, clockwise of it.
Point2 across(Point2 c, Point2 t) {
  const double b = geom_angle(c.x, c.y, t.x, t.y) - HALF_PI;
  return Point2{std::cos(b), std::sin(b), 0};
}

// What the running tool has picked or been given, for its rubber bands.
Point2 circle_centre;
double circle_size = 0.0;  // the radius, or the diameter
double level_x = 0.0;

void preview_radius_to(double x, double y) {
  const auto e = dim_radius_entries(circle_centre, circle_size, Point2{x, y, 0});
  draw_xor_line(e[1].line_point.x, e[1].line_point.y, x, y);
}
void preview_dim_r(InputRequest*, double x, double y) { preview_radius_to(x, y); }
void preview_dim_r_confirm(InputRequest* r, double, double) { preview_radius_to(r->x[0], r->y[0]); }

void preview_diameter_to(double x, double y) {
  const Point2 c = circle_centre, t{x, y, 0};
  const Point2 u = across(c, t);
  const double h = circle_size / 2.0;
  draw_xor_line(c.x + h * u.x, c.y + h * u.y, t.x + h * u.x, t.y + h * u.y);
  draw_xor_line(t.x + h * u.x, t.y + h * u.y, t.x - h * u.x, t.y - h * u.y);
  draw_xor_line(t.x - h * u.x, t.y - h * u.y, c.x - h * u.x, c.y - h * u.y);
}
void preview_dim_d(InputRequest*, double x, double y) { preview_diameter_to(x, y); }
void preview_dim_d_confirm(InputRequest* r, double, double) { preview_diameter_to(r->x[0], r->y[0]); }

void preview_dim_a_start(InputRequest* r, double x, double y) { draw_xor_line(r->x[0], r->y[0], x, y); }
void preview_angle_to(const InputRequest* r, double x, double y) {
  const double cx = r->x[0], cy = r->y[0];
  draw_xor_line(cx, cy, r->x[1], r->y[1]);
  draw_xor_line(cx, cy, x, y);
  const double start = geom_angle(cx, cy, r->x[1], r->y[1]);
  double sweep = geom_angle(cx, cy, x, y) - start;
  if (sweep < 0.0) sweep += GEOM_TWO_PI;
  const double radius = geom_dist(cx, cy, x, y);
  draw_xor_ellipse_arc(cx, cy, radius, radius, sweep, start, 0.0);
}
void preview_dim_a_end(InputRequest* r, double x, double y) { preview_angle_to(r, x, y); }
void preview_dim_a_confirm(InputRequest* r, double, double) { preview_angle_to(r, r->x[2], r->y[2]); }

// The level mark at height y: a triangle on its apex with the top line
// running on to the right, as large as the figures.
void preview_level_at(double y) {
  const double s = drawing_scale * dim_preset.figure_size / 1000.0;
  const double x = level_x, top = y + s * std::sin(2.0943951023931953), half = s / 2.0;
  draw_xor_line(x, y, x + half, top);
  draw_xor_line(x, y, x - half, top);
  draw_xor_line(x - half, top, x + 5.5 * s, top);
}
void preview_dim_h(InputRequest*, double, double y) { preview_level_at(y); }
void preview_dim_h_confirm(InputRequest* r, double, double) { preview_level_at(r->y[0]); }

// Appends the dimension, records it and draws it.
void make(int kind, double direction, const std::array<DimPoint, 3>& e) {
  DimElem* d = dim_new_from_preset(kind, direction, 3, e.data(), dim_preset.font.view(), true);
  undo_record(UNDO_CREATED, 1);
  ToolCursorOff off;
  draw_element(DRAW_NORMAL, d);
}

ElemHeader* pick_arc(double x, double y) {
  return elem_as<ArcElem>(pick_nearest_element(x, y, PICK_ANY_VISIBLE));
}

// The radius and diameter tools; the size they measure is the radius times
// radius_factor.
void run_circle_tool(int kind, double radius_factor, InputPreviewFn move, InputPreviewFn confirm) {
  InputRequest r;
  for (;;) {
    const auto* a = static_cast<ArcElem*>(tool_pick_until(r, nls_mark("Select Circle/Arc:"), pick_arc));
    if (!a) return;
    const double radius = a->radius_x;
    circle_centre = Point2{a->centre.x, a->centre.y, 0};
    circle_size = radius_factor * radius;
    if (tool_ask(r, {{STEP_POINT, nls_mark("Through point:"), move},
                     {STEP_CONFIRM, nls_mark("Move/Confirm:"), confirm}}) != INPUT_DONE)
      return;
    if (!(radius > DIM_MIN_RADIUS)) continue;
    const Point2 t{r.x[0], r.y[0], 0};
    make(kind, 0.0,
         kind == DIM_RADIUS ? dim_radius_entries(circle_centre, circle_size, t)
                            : dim_diameter_entries(circle_centre, circle_size, t));
  }
}

}  // namespace

std::array<DimPoint, 3> dim_radius_entries(Point2 c, double r, Point2 t) {
  const double a = geom_angle(c.x, c.y, t.x, t.y);
  return {entry(c.x, c.y), entry(c.x + r * std::cos(a), c.y + r * std::sin(a)), entry(t.x, t.y)};
}

std::array<DimPoint, 3> dim_diameter_entries(Point2 c, double d, Point2 t) {
  const Point2 u = across(c, t);
  const double h = d / 2.0;
  return {entry(c.x, c.y), entry(t.x - h * u.x, t.y - h * u.y), entry(t.x + h * u.x, t.y + h * u.y)};
}

std::array<DimPoint, 3> dim_angle_entries(Point2 c, Point2 start, Point2 end) {
  const double s = geom_angle(c.x, c.y, start.x, start.y);
  const double r = geom_dist(c.x, c.y, end.x, end.y);
  return {entry(c.x, c.y), entry(c.x + r * std::cos(s), c.y + r * std::sin(s)), entry(end.x, end.y)};
}

std::array<DimPoint, 3> dim_level_entries(Point2 pos, double zero_y, double y) {
  return {entry(pos.x, pos.y), entry(pos.x, zero_y), entry(pos.x, y)};
}

void tool_dim_r() { run_circle_tool(DIM_RADIUS, 1.0, preview_dim_r, preview_dim_r_confirm); }

void tool_dim_d() { run_circle_tool(DIM_DIAMETER, 2.0, preview_dim_d, preview_dim_d_confirm); }

void tool_dim_a() {
  InputRequest r;
  for (;;) {
    if (tool_ask(r, {{STEP_POINT, nls_mark("Center:")},
                     {STEP_NEXT_POINT, nls_mark("Move/Start point:"), preview_dim_a_start},
                     {STEP_NEXT_POINT_3, nls_mark("Move/End point:"), preview_dim_a_end},
                     {STEP_CONFIRM, nls_mark("Move/Confirm:"), preview_dim_a_confirm}}) != INPUT_DONE)
      return;
    make(DIM_ANGLE, 0.0,
         dim_angle_entries(Point2{r.x[0], r.y[0], 0}, Point2{r.x[1], r.y[1], 0}, Point2{r.x[2], r.y[2], 0}));
  }
}

void tool_dim_h() {
  InputRequest r;
  if (tool_ask(r, {{STEP_POINT, nls_mark("Position of dimension:")},
                   {STEP_CONFIRM, nls_mark("Move/Confirm:")}}) != INPUT_DONE)
    return;
  const Point2 pos{r.x[0], r.y[0], 0};
  level_x = pos.x;
  if (tool_ask(r, {{STEP_POINT, nls_mark("Point at zero height:")},
                   {STEP_CONFIRM, nls_mark("Move/Confirm:")}}) != INPUT_DONE)
    return;
  const double zero = r.y[0];
  for (;;) {
    if (tool_ask(r, {{STEP_POINT, nls_mark("Measuring point:"), preview_dim_h},
                     {STEP_CONFIRM, nls_mark("Move/Confirm:"), preview_dim_h_confirm}}) != INPUT_DONE)
      return;
    make(DIM_LEVEL, HALF_PI, dim_level_entries(pos, zero, r.y[0]));
  }
}
