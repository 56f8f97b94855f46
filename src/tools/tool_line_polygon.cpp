// Regular polygons: the number of corners is asked once, then each polygon
// gets its centre and its first corner.

#include <algorithm>

#include "display/draw.h"
#include "display/view.h"
#include "model/geom.h"
#include "model/nls.h"
#include "model/undo.h"
#include "tools/line_tools.h"
#include "tools/tool_common.h"

namespace {

// The run's number of corners.
int corners = 0;

void preview(double cx, double cy, double px, double py) {
  if (geom_dist(cx, cy, px, py) <= LINE_POLYGON_MIN_RADIUS) return;
  const std::vector<Point2> c = line_polygon_corners(cx, cy, px, py, corners);
  for (std::size_t k = 0; k < c.size(); ++k) {
    const Point2& a = c[k];
    const Point2& b = c[(k + 1) % c.size()];
    draw_xor_line(a.x, a.y, b.x, b.y);
  }
}

void preview_line_polygon(InputRequest* r, double x, double y) { preview(r->x[0], r->y[0], x, y); }

void preview_line_polygon_confirm(InputRequest* r, double, double) {
  preview(r->x[0], r->y[0], r->x[1], r->y[1]);
}

}  // namespace

std::vector<Point2> line_polygon_corners(double cx, double cy, double px, double py, int n) {
  std::vector<Point2> c;
  if (n < 1) return c;
  c.reserve(static_cast<std::size_t>(n));
  c.push_back({px, py, 0});
  const double step = GEOM_TWO_PI / n;
  for (int k = 1; k < n; ++k) c.push_back(geom_rotated(cx, cy, c.back().x, c.back().y, step));
  return c;
}

void tool_line_polygon() {
  InputRequest r;
  if (tool_ask(r, {{STEP_INTEGER, nls_mark("Number of corners:")}}) != INPUT_DONE) return;
  if (r.integer <= 2) return;
  corners = std::min<int>(r.integer, LINE_POLYGON_MAX_CORNERS);
  for (;;) {
    const int res = tool_ask(r, {{STEP_POINT, nls_mark("Center:")},
                                 {STEP_NEXT_POINT, nls_mark("Move/Corner point:"), preview_line_polygon},
                                 {STEP_CONFIRM, nls_mark("Move/Confirm:"), preview_line_polygon_confirm}});
    if (res != INPUT_DONE) return;
    if (geom_dist(r.x[0], r.y[0], r.x[1], r.y[1]) <= LINE_POLYGON_MIN_RADIUS) continue;
    const std::vector<Point2> c = line_polygon_corners(r.x[0], r.y[0], r.x[1], r.y[1], corners);
    {
      ToolCursorOff off;
      const int pen = tool_pen();
      for (std::size_t k = 0; k < c.size(); ++k) {
        // The closing line goes back to the first corner exactly.
        const Point2& a = c[k];
        const Point2& b = c[(k + 1) % c.size()];
        tool_new_line(pen, a.x, a.y, b.x, b.y);
        draw_last_element(DRAW_NORMAL);
      }
    }
    undo_record(UNDO_CREATED, corners);
  }
}
