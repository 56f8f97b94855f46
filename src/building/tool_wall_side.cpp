// Walls with one face on a drawn line: both candidates are shown in the
// guide colour until the user picks the side the wall goes to.

#include <cmath>

#include "building/tool_wall_common.h"
#include "display/draw.h"
#include "display/view.h"
#include "model/geom.h"
#include "model/nls.h"
#include "model/presets.h"
#include "model/undo.h"
#include "model/wall_outline.h"
#include "tools/tool_common.h"

namespace {

// A band of the full thickness on both sides of the line, covering both
// candidates, and the line itself.
void preview_wall_side(InputRequest* r, double x, double y) {
  const double sx = r->x[0], sy = r->y[0];
  wall_band_corners(sx, sy, x, y, wall_preset.thickness);
  WallPlan band;
  for (int i = 0; i < 4; ++i) band.c[i] = {wall_corner_bank[2 * i], wall_corner_bank[2 * i + 1], 0};
  wall_xor_plan(band);
  draw_xor_line(sx, sy, x, y);
}
void preview_wall_side_confirm(InputRequest* r, double, double) { preview_wall_side(r, r->x[1], r->y[1]); }

// Erases and removes candidates, and draws again what they met.
void erase_and_remove(std::initializer_list<WallElem*> walls) {
  WallTouchRepair repair;
  {
    ToolCursorOff off;
    for (WallElem* w : walls) {
      repair.add(*w);
      draw_element(DRAW_ERASE, w);
    }
  }
  for (WallElem* w : walls) w->mark = 1;
  elem_purge_marked();
  repair.draw_touching();
}

}  // namespace

WallSideCandidates wall_side_plans(double sx, double sy, double ex, double ey, double t) {
  const double a = geom_angle(sx, sy, ex, ey);
  const double nx = -std::sin(a) * t, ny = std::cos(a) * t;  // the left normal, thickness long
  WallSideCandidates c;
  c.left = WallPlan{{{sx, sy, 0}, {ex, ey, 0}, {ex + nx, ey + ny, 0}, {sx + nx, sy + ny, 0}}};
  c.right = WallPlan{{{ex, ey, 0}, {sx, sy, 0}, {sx - nx, sy - ny, 0}, {ex - nx, ey - ny, 0}}};
  return c;
}

bool wall_side_keeps_left(const WallSideCandidates& c, double cx, double cy) {
  const Point2 *l = c.left.c, *r = c.right.c;
  const double dl = geom_dist_to_line(cx, cy, l[0].x, l[0].y, l[2].x, l[2].y);
  const double dr = geom_dist_to_line(cx, cy, r[1].x, r[1].y, r[3].x, r[3].y);
  return dr > dl;
}

void tool_wall_side() {
  InputRequest r;
  for (;;) {
    const int res = tool_ask(r, {{STEP_POINT, nls_mark("Start point:")},
                                 {STEP_NEXT_POINT, nls_mark("Move/End point:"), preview_wall_side},
                                 {STEP_CONFIRM, nls_mark("Move/Confirm:"), preview_wall_side_confirm}});
    if (res != INPUT_DONE) return;
    if (wall_preset.thickness == 0.0) {
      wall_show_no_thickness();
      continue;
    }
    const WallSideCandidates c = wall_side_plans(r.x[0], r.y[0], r.x[1], r.y[1], wall_preset.thickness);
    WallElem* left = wall_create(c.left, PEN_GUIDE);
    WallElem* right = wall_create(c.right, PEN_GUIDE);
    {
      ToolCursorOff off;
      draw_element(DRAW_NORMAL, left);
      draw_element(DRAW_NORMAL, right);
    }
    if (tool_ask(r, {{STEP_PICK, nls_mark("Select side:")}}) != INPUT_DONE) {
      erase_and_remove({left, right});
      return;
    }
    const bool keep_left = wall_side_keeps_left(c, r.x[0], r.y[0]);
    WallElem* kept = keep_left ? left : right;
    kept->pen = static_cast<uint8_t>(elem_pen_or_guide(static_cast<unsigned>(wall_preset.pen)));
    // The kept wall shares its face with the removed one, so it is drawn
    // again with the rest of what the removed one met.
    erase_and_remove({keep_left ? right : left});
    undo_record(UNDO_CREATED, 1);
  }
}
