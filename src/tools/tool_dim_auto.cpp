// Chains through walls: a direction kept from run to run, then for each
// chain a position and a cut line; where the cut crosses the faces of the
// walls on the current layer the chain gets its measuring points.

#include <cmath>
#include <vector>

#include "display/draw.h"
#include "display/input.h"
#include "display/view.h"
#include "model/geom.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/presets.h"
#include "model/settings.h"
#include "model/undo.h"
#include "model/xform.h"
#include "tools/dim_tools.h"
#include "tools/tool_common.h"

double dim_auto_angle = 0.0;

namespace {

// Where the line from s at the direction meets the foot of (x, y).
Point2 foot_on_direction(Point2 s, double x, double y) {
  const double a = dim_auto_angle;
  return geom_foot(x, y, s.x, s.y, s.x + 100.0 * std::cos(a), s.y + 100.0 * std::sin(a));
}

void preview_dim_auto_start(InputRequest*, double x, double y) {
  const double dx = 10000.0 * std::cos(dim_auto_angle), dy = 10000.0 * std::sin(dim_auto_angle);
  draw_xor_line(x - dx, y - dy, x + dx, y + dy);
}

void preview_dim_auto_end(InputRequest* r, double x, double y) {
  const Point2 s{r->x[0], r->y[0], 0};
  const Point2 f = foot_on_direction(s, x, y);
  draw_xor_line(s.x, s.y, f.x, f.y);
}

void preview_dim_auto_confirm(InputRequest* r, double, double) { preview_dim_auto_end(r, r->x[1], r->y[1]); }

// Where the cut s -> f crosses the line a -> b, both ends of both included.
bool crossing(Point2 s, Point2 f, Point2 a, Point2 b, Point2& x) {
  if (!geom_intersect_lines(s.x, s.y, f.x, f.y, a.x, a.y, b.x, b.y)) return false;
  x = Point2{geo_result.ix, geo_result.iy, 0};
  const double on_cut = geom_projection(x.x, x.y, s.x, s.y, f.x, f.y).t;
  if (on_cut < 0.0 || on_cut > 1.0) return false;
  const double on_face = geom_projection(x.x, x.y, a.x, a.y, b.x, b.y).t;
  return on_face >= 0.0 && on_face <= 1.0;
}

Point2 plan(const Point3& p) { return Point2{p.x, p.y, 0}; }

}  // namespace

std::vector<Point2> dim_wall_crossings(Point2 s, Point2 f, int limit) {
  std::vector<Point2> out;
  auto test = [&](Point2 a, Point2 b) {
    Point2 x;
    if (static_cast<int>(out.size()) < limit && crossing(s, f, a, b, x)) out.push_back(x);
  };
  ElemHeader* it = nullptr;
  for (ElemHeader* e = elem_first(&it); e; e = elem_next(&it)) {
    const auto* w = elem_as<WallElem>(e);
    if (!w || w->layer != cur_layer) continue;
    // The long faces whole, even where an opening breaks the outline.
    test(plan(w->corner[0]), plan(w->corner[1]));
    test(plan(w->corner[2]), plan(w->corner[3]));
    for (const WallSegment& g : w->segments) test(g.start, g.end);
  }
  return out;
}

int tool_dim_auto() {
  InputRequest r;
  const int direction = dim_ask_direction(r, dim_auto_angle);
  if (direction == INPUT_CANCEL) return direction;
  for (;;) {
    int res = tool_ask(
        r, {{STEP_POINT, nls_mark("Position of dimension:")}, {STEP_CONFIRM, nls_mark("Move/Confirm:")}});
    if (res != INPUT_DONE) return res;
    const double a = dim_auto_angle;
    const Point2 p{r.x[0], r.y[0], 0};
    const Point2 q = dim_line_second_point(p, a);
    res = tool_ask(r, {{STEP_POINT, nls_mark("Start point:"), preview_dim_auto_start},
                       {STEP_NEXT_POINT, nls_mark("Move/End point:"), preview_dim_auto_end},
                       {STEP_CONFIRM, nls_mark("Move/Confirm:"), preview_dim_auto_confirm}});
    if (res != INPUT_DONE) return res;
    Point2 start{r.x[0], r.y[0], 0}, end{r.x[1], r.y[1], 0};
    if (geom_projection(start.x, start.y, p.x, p.y, q.x, q.y).t >
        geom_projection(end.x, end.y, p.x, p.y, q.x, q.y).t)
      std::swap(start, end);
    // The cut runs parallel to the dimension line.
    const Point2 f = foot_on_direction(start, end.x, end.y);

    std::vector<DimPoint> work;
    for (const Point2& x : dim_wall_crossings(start, f, DIM_MAX_POINTS)) {
      DimPoint d;
      d.line_point = geom_foot(x.x, x.y, p.x, p.y, q.x, q.y);
      d.line_point.mark = 0;
      d.measured = dim_settings.link ? x : d.line_point;
      work.push_back(d);
    }
    if (work.empty()) continue;
    // A face found through its corner line and its outline segment gives
    // the same point twice; the sort keeps one.
    const int n =
        elem_dim_sort_chain_points(p.x, p.y, q.x, q.y, static_cast<int>(work.size()), work.data(), DIM_CHAIN);
    DimElem* chain = dim_new_from_preset(DIM_CHAIN, a, n, work.data(), dim_preset.font.view(), false);
    undo_record(UNDO_CREATED, 1);
    ToolCursorOff off;
    draw_element(DRAW_NORMAL, chain);
  }
}
