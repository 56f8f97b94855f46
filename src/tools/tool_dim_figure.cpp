// The figure edits on picked dimensions of any kind: a second value beside
// a figure, a value shown in place of the measured one, back to the
// measured values, and a figure's text moved. A click beside every segment
// of a chain names no figure and asks again. Every change is one undo step.

#include <cstddef>

#include "display/draw.h"
#include "display/input.h"
#include "display/pick.h"
#include "model/nls.h"
#include "model/undo.h"
#include "tools/dim_tools.h"
#include "tools/tool_common.h"

namespace {

ElemHeader* pick_dim(double x, double y) { return elem_as<DimElem>(pick_nearest_element(x, y, PICK_DIM)); }

ElemHeader* pick_dim_with_figure(double x, double y) {
  auto* d = elem_as<DimElem>(pick_nearest_element(x, y, PICK_DIM));
  return d && pick_dim_segment(*d, x, y) ? d : nullptr;
}

// A picked dimension and the index of its figure's entry.
struct Figure {
  DimElem* dim = nullptr;
  std::size_t entry = 0;
};

// Asks "Select dimension figure:" until a click names a figure; shows the
// dimension highlighted. Null dim when the request was cancelled.
Figure pick_figure(InputRequest& r) {
  Figure f;
  f.dim =
      static_cast<DimElem*>(tool_pick_until(r, nls_mark("Select dimension figure:"), pick_dim_with_figure));
  if (!f.dim) return f;
  f.entry = static_cast<std::size_t>(pick_dim_segment(*f.dim, r.x[0], r.y[0]) - f.dim->points.data());
  ToolCursorOff off;
  draw_element(DRAW_HIGHLIGHT, f.dim);
  return f;
}

// Records the dimension's undo step and erases it; the caller changes it
// and draws it again.
void begin_change(DimElem* d) {
  d->mark = 1;
  undo_record(UNDO_CHANGE, 0);
  d->mark = 0;
  ToolCursorOff off;
  draw_element(DRAW_ERASE, d);
}

void end_change(DimElem* d, int mode) {
  drawing_modified = 1;
  ToolCursorOff off;
  draw_element(static_cast<uint8_t>(mode), d);
}

void draw_plain(DimElem* d) {
  ToolCursorOff off;
  draw_element(DRAW_NORMAL, d);
}

// The two value tools: the typed length goes into the field of the figure.
void run_value_tool(double DimPoint::*field) {
  InputRequest r;
  for (;;) {
    const Figure f = pick_figure(r);
    if (!f.dim) return;
    if (tool_ask(r, {{STEP_LENGTH, nls_mark("Value:")}}) != INPUT_DONE) {
      draw_plain(f.dim);
      return;
    }
    begin_change(f.dim);
    f.dim->points[f.entry].*field = r.length;
    end_change(f.dim, DRAW_NORMAL);
  }
}

}  // namespace

void tool_dim_height() { run_value_tool(&DimPoint::second_value); }

void tool_dim_alter_value() { run_value_tool(&DimPoint::override_value); }

void tool_dim_original() {
  InputRequest r;
  for (;;) {
    auto* d = static_cast<DimElem*>(tool_pick_until(r, nls_mark("Select dimension:"), pick_dim));
    if (!d) return;
    begin_change(d);
    for (DimPoint& p : d->points) {
      p.override_value = 0.0;
      p.text_dx = 0.0;
      p.text_dy = 0.0;
    }
    end_change(d, DRAW_NORMAL);
  }
}

void tool_dim_alter_move() {
  InputRequest r;
  const Figure f = pick_figure(r);
  if (!f.dim) return;
  for (;;) {
    const int res = tool_ask(r, {{STEP_POINT_3D, nls_mark("Move/Start point:")},
                                 {STEP_NEXT_POINT, nls_mark("Move/End point:")},
                                 {STEP_CONFIRM, nls_mark("Move/Confirm:")}});
    const double dx = r.x[1] - r.x[0], dy = r.y[1] - r.y[0];
    if ((res != INPUT_DONE && res != INPUT_VALUE) || (dx == 0.0 && dy == 0.0)) {
      draw_plain(f.dim);
      return;
    }
    begin_change(f.dim);
    const Point2 v = dim_displacement(dx, dy, f.dim->direction);
    DimPoint& p = f.dim->points[f.entry];
    p.text_dx += v.x;
    p.text_dy += v.y;
    end_change(f.dim, DRAW_HIGHLIGHT);
  }
}
