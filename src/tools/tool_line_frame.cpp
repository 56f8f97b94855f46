// Rectangular frames from two opposite corners, plain or with every side
// moved outward (or inward) by a distance asked once.

#include <utility>

#include "display/draw.h"
#include "display/view.h"
#include "model/nls.h"
#include "model/undo.h"
#include "tools/line_tools.h"
#include "tools/tool_common.h"

namespace {

// The frame's outline in inverted pixels.
void preview_frame(double x1, double y1, double x2, double y2, double d) {
  const std::array<LineSegment, 4> sides = line_frame_sides(x1, y1, x2, y2, d);
  draw_xor_rect(sides[0].p1.x, sides[0].p1.y, sides[2].p1.x, sides[2].p1.y);
}

void preview_line_frame(InputRequest* r, double x, double y) {
  preview_frame(r->x[0], r->y[0], x, y, r->length);
}

void preview_line_frame_confirm(InputRequest* r, double, double) {
  preview_frame(r->x[0], r->y[0], r->x[1], r->y[1], r->length);
}

// Asks for frames until cancelled. The distance rides in r.length, where
// the rubber bands read it; it is put there before every run.
void run_frames(InputRequest& r, double distance) {
  for (;;) {
    r.length = distance;
    const int res = tool_ask(r, {{STEP_POINT, nls_mark("1st Corner point:")},
                                 {STEP_NEXT_POINT, nls_mark("Move/2nd Corner point:"), preview_line_frame},
                                 {STEP_CONFIRM, nls_mark("Move/Confirm:"), preview_line_frame_confirm}});
    if (res != INPUT_DONE) return;
    line_make_frame(r.x[0], r.y[0], r.x[1], r.y[1], r.length);
  }
}

}  // namespace

std::array<LineSegment, 4> line_frame_sides(double x1, double y1, double x2, double y2, double d) {
  if (x1 < x2) std::swap(x1, x2);
  if (y1 < y2) std::swap(y1, y2);
  x1 += d;
  y1 += d;
  x2 -= d;
  y2 -= d;
  return {{{{x1, y1, 0}, {x2, y1, 0}},
           {{x2, y1, 0}, {x2, y2, 0}},
           {{x2, y2, 0}, {x1, y2, 0}},
           {{x1, y2, 0}, {x1, y1, 0}}}};
}

void line_make_frame(double x1, double y1, double x2, double y2, double d) {
  const std::array<LineSegment, 4> sides = line_frame_sides(x1, y1, x2, y2, d);
  {
    ToolCursorOff off;
    const int pen = tool_pen();
    for (const LineSegment& s : sides) {
      tool_new_line(pen, s.p1.x, s.p1.y, s.p2.x, s.p2.y);
      draw_last_element(DRAW_NORMAL);
    }
  }
  undo_record(UNDO_CREATED, 4);
}

void tool_line_frame() {
  InputRequest r;
  run_frames(r, 0.0);
}

void tool_line_oframe() {
  InputRequest r;
  if (tool_ask(r, {{STEP_LENGTH, nls_mark("Distance:")}}) != INPUT_DONE) return;
  run_frames(r, r.length);
}
