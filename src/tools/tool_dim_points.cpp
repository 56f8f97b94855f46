// Measuring points added to and taken from a picked chain. The chain shows
// highlighted while the tool works on it and stays where it is in the
// drawing, on its own layer and in its own group; every added or removed
// point is one undo step. Each change sorts the chain again, which also
// resets its figure overrides and text moves.

#include <vector>

#include "display/draw.h"
#include "display/input.h"
#include "display/pick.h"
#include "model/geom.h"
#include "model/nls.h"
#include "model/settings.h"
#include "model/undo.h"
#include "model/xform.h"
#include "tools/dim_tools.h"
#include "tools/tool_common.h"

namespace {

// Points of the dimension line this near to an entered point are removed.
constexpr double MINUS_CATCH = 0.001;

ElemHeader* pick_chain(double x, double y) {
  auto* d = elem_as<DimElem>(pick_nearest_element(x, y, PICK_DIM));
  return d && d->dim_kind == DIM_CHAIN && !d->points.empty() ? d : nullptr;
}

// The chain a tool has taken over, marked and highlighted, and its
// dimension line through p and q.
struct TakenChain {
  DimElem* dim = nullptr;
  Point2 p, q;
};

// Asks for a chain; null dim when the request was cancelled.
TakenChain take_chain(InputRequest& r) {
  TakenChain c;
  c.dim = static_cast<DimElem*>(tool_pick_until(r, nls_mark("Select dimension:"), pick_chain));
  if (!c.dim) return c;
  c.p = c.dim->points[0].line_point;
  c.p.mark = 0;
  c.q = dim_line_second_point(c.p, c.dim->direction);
  c.dim->mark = 1;
  ToolCursorOff off;
  draw_element(DRAW_NORMAL, c.dim);
  return c;
}

// The work entries sorted along the chain's line.
void sort_along(const TakenChain& c, std::vector<DimPoint>& work) {
  const int n = elem_dim_sort_chain_points(c.p.x, c.p.y, c.q.x, c.q.y, static_cast<int>(work.size()),
                                           work.data(), DIM_CHAIN);
  work.resize(static_cast<std::size_t>(n));
}

// Gives the chain the work entries, on screen too (still highlighted).
void rebuild(const TakenChain& c, const std::vector<DimPoint>& work) {
  ToolCursorOff off;
  draw_element(DRAW_ERASE, c.dim);
  c.dim->points = work;
  elem_update_size(*c.dim);
  elem_touch();
  drawing_modified = 1;
  draw_element(DRAW_NORMAL, c.dim);
}

void release(const TakenChain& c) {
  c.dim->mark = 0;
  ToolCursorOff off;
  draw_element(DRAW_NORMAL, c.dim);
}

int ask_point(InputRequest& r) {
  return tool_ask(r, {{STEP_POINT, nls_mark("Measuring point:")}, {STEP_CONFIRM, nls_mark("Move/Confirm:")}});
}

}  // namespace

int tool_dim_plus() {
  InputRequest r;
  const TakenChain c = take_chain(r);
  if (!c.dim) return INPUT_CANCEL;
  for (;;) {
    const int res = ask_point(r);
    if (res != INPUT_DONE || static_cast<int>(c.dim->points.size()) >= DIM_MAX_POINTS) {
      release(c);
      return res;
    }
    undo_record(UNDO_CHANGE, 0);
    std::vector<DimPoint> work = c.dim->points;
    work.push_back(dim_chain_entry(c.p, c.q, Point2{r.x[0], r.y[0], 0}, dim_settings.link));
    sort_along(c, work);
    rebuild(c, work);
  }
}

int tool_dim_minus() {
  InputRequest r;
  const TakenChain c = take_chain(r);
  if (!c.dim) return INPUT_CANCEL;
  for (;;) {
    const int res = ask_point(r);
    if (res != INPUT_DONE) {
      release(c);
      return res;
    }
    std::vector<DimPoint> work;
    for (const DimPoint& d : c.dim->points)
      if (!(geom_dist(d.line_point.x, d.line_point.y, r.x[0], r.y[0]) < MINUS_CATCH)) work.push_back(d);
    if (!work.empty()) {
      sort_along(c, work);
      undo_record(UNDO_CHANGE, 0);
      rebuild(c, work);
      continue;
    }
    // The last point gone: the dimension goes with it.
    undo_record(UNDO_DELETE, 0);
    {
      ToolCursorOff off;
      draw_element(DRAW_ERASE, c.dim);
    }
    elem_purge_marked();
    return 0;
  }
}
