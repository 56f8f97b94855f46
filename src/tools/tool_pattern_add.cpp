// Contours added to a picked pattern: a polygon or a rectangle after its
// points, as a hole when it lies inside, as a further area when outside.
// Each addition is one undo step.

#include <cstdio>
#include <vector>

#include "display/draw.h"
#include "display/pick.h"
#include "display/poly_input.h"
#include "model/nls.h"
#include "model/ui.h"
#include "model/undo.h"
#include "tools/pattern_tools.h"
#include "tools/tool_common.h"

namespace {

void draw(PatternElem* p, int mode) {
  ToolCursorOff off;
  draw_element(static_cast<uint8_t>(mode), p);
}

// The contour of the next addition into poly_input; false when cancelled.
using ContourInput = bool (*)();

bool polygon_contour() {
  for (;;) {
    const int n = input_polygon();
    if (n == POLY_INPUT_CANCELLED) return false;
    if (n != 0) return true;
  }
}

bool rectangle_contour() { return input_rectangle() != POLY_INPUT_CANCELLED; }

void run_add_tool(ContourInput input, bool report) {
  for (;;) {
    PatternElem* p = pick_pattern();
    if (!p) return;
    if (!input()) {
      p->mark = 0;
      draw(p, DRAW_NORMAL);
      return;
    }
    const int old_n = static_cast<int>(p->points.size());
    const int new_n = static_cast<int>(poly_input.points.size());
    if (report) std::printf("alt: %d * neu: %d * gesamt: %d\n", old_n, new_n, old_n + new_n);
    std::vector<Point2> joined = pattern_added_contour(*p, new_n, poly_input.points.data());
    poly_input_free();
    if (joined.empty()) {
      ui().msgbox_error(nls_translate("To many points in polygon!"));
      p->mark = 0;
      draw(p, DRAW_NORMAL);
      continue;
    }
    // The polygon input ends with the selection cleared: mark it again.
    p->mark = 1;
    undo_record(UNDO_CHANGE, 0);
    draw(p, DRAW_ERASE);
    p->points = std::move(joined);
    elem_update_size(*p);
    elem_touch();
    drawing_modified = 1;
    p->mark = 0;
    draw(p, DRAW_NORMAL);
  }
}

}  // namespace

std::vector<Point2> pattern_added_contour(const PatternElem& p, int n, const Point2* contour) {
  std::vector<Point2> out;
  if (n < 0 || static_cast<long>(p.points.size()) + n > PATTERN_MAX_POINTS) return out;
  out.reserve(p.points.size() + static_cast<std::size_t>(n));
  out = p.points;
  out.insert(out.end(), contour, contour + n);
  for (Point2& q : out) q.mark = 0;
  return out;
}

void tool_pattern_add_poly() { run_add_tool(polygon_contour, true); }

void tool_pattern_add_range() { run_add_tool(rectangle_contour, false); }
