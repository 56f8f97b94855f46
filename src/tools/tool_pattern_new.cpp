// New patterns from a polygon or a rectangle, in the current pattern
// settings; each pattern is one undo step.

#include <cmath>

#include "display/draw.h"
#include "display/input.h"
#include "display/poly_input.h"
#include "display/view.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/presets.h"
#include "model/undo.h"
#include "tools/pattern_tools.h"
#include "tools/tool_common.h"

namespace {

// Appends the pattern of the contour, records it and draws it.
void make(int n, const Point2* points) {
  elem_append(pattern_from_preset(n, points));
  undo_record(UNDO_CREATED, 1);
  ToolCursorOff off;
  draw_last_element(DRAW_NORMAL);
}

void preview_pattern_range(InputRequest* r, double x, double y) { draw_xor_rect(r->x[0], r->y[0], x, y); }
void preview_pattern_range_confirm(InputRequest* r, double, double) {
  draw_xor_rect(r->x[0], r->y[0], r->x[1], r->y[1]);
}

}  // namespace

Point2 pattern_offset_for(Point2 o, double angle2, double spacing2) {
  return Point2{o.x - 0.5 * spacing2 * std::sin(angle2), o.y + 0.5 * spacing2 * std::cos(angle2), 0};
}

PatternElem pattern_from_preset(int n, const Point2* points) {
  const PatternPreset& s = pattern_preset;
  PatternElem p;
  p.layer = static_cast<uint16_t>(cur_layer);
  p.pen = static_cast<uint8_t>(elem_pen_or_guide(static_cast<unsigned>(s.pen1)));
  p.pen2 = static_cast<uint8_t>(elem_pen_or_guide(static_cast<unsigned>(s.pen2)));
  p.type = static_cast<uint8_t>(s.type);
  p.line_type = p.type == PATTERN_POINTS    ? LINE_TYPE_PATTERN_POINTS
                : p.type == PATTERN_FILLING ? LINE_TYPE_PATTERN_FILLING
                                            : static_cast<uint8_t>(s.line_type1);
  p.line_type2 = static_cast<uint8_t>(s.line_type2);
  p.origin = Point2{0, 0, 0};
  // Half a spacing beside the first family, whether a second one is drawn
  // or not: the families interleave when their angles are equal.
  p.offset = pattern_offset_for(p.origin, s.angle2, s.spacing2);
  p.angle1 = s.angle1;
  p.spacing1 = s.spacing1;
  p.angle2 = s.angle2;
  p.spacing2 = p.type == PATTERN_TWO_LINES ? s.spacing2 : 0.0;
  p.r = s.r;
  p.g = s.g;
  p.b = s.b;
  if (points && n > 0) p.points.assign(points, points + n);
  for (Point2& q : p.points) q.mark = 0;
  return p;
}

void tool_pattern_poly() {
  for (;;) {
    const int n = input_polygon();
    if (n == POLY_INPUT_CANCELLED) return;
    if (n == 0) continue;
    make(n, poly_input.points.data());
    poly_input_free();
  }
}

void tool_pattern_range() {
  InputRequest r;
  for (;;) {
    if (tool_ask(r, {{STEP_POINT, nls_mark("1st Corner point:")},
                     {STEP_NEXT_POINT, nls_mark("Move/2nd Corner point:"), preview_pattern_range},
                     {STEP_CONFIRM, nls_mark("Move/Confirm:"), preview_pattern_range_confirm}}) != INPUT_DONE)
      return;
    input_normalize_corners(&r);
    const Point2 contour[5] = {
        {r.x[0], r.y[0], 0}, {r.x[1], r.y[0], 0}, {r.x[1], r.y[1], 0}, {r.x[0], r.y[1], 0}, CONTOUR_END};
    make(5, contour);
  }
}
