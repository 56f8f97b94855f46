// Scaling the selection about a fixed point by a factor per axis, given by a
// drag or typed.

#include <cmath>

#include "building/solid/solid_marked.h"
#include "display/draw.h"
#include "display/input.h"
#include "display/select.h"
#include "model/elem.h"
#include "model/nls.h"
#include "model/undo.h"
#include "model/wall_opening_move.h"
#include "model/wall_outline.h"
#include "model/xform.h"
#include "tools/edit_tools.h"
#include "tools/tool_common.h"

namespace {

struct Factors {
  double x = 1.0, y = 1.0, z = 1.0;
};

// The factors by a drag from a start to an end point about the fixed
// point, or typed one by one (z only when a solid is marked). False when a
// request ends otherwise.
bool ask_factors(InputRequest& r, const Point3& fixed, Factors& f) {
  const int res = tool_ask(r, {{STEP_POINT_OR_NUMBER, nls_mark("X-Factor/Start point:")},
                               {STEP_NEXT_POINT, nls_mark("Move XYZ/End point:")},
                               {STEP_CONFIRM, nls_mark("Move XYZ/Confirm:")}});
  if (res == INPUT_DONE) {
    f.x = edit_stretch_factor(fixed.x, r.x[0], r.x[1]);
    f.y = edit_stretch_factor(fixed.y, r.y[0], r.y[1]);
    f.z = edit_stretch_factor(fixed.z, r.z[0], r.z[1]);
    return true;
  }
  if (res != INPUT_VALUE) return false;
  f.x = r.length;
  if (tool_ask(r, {{STEP_NUMBER, nls_mark("Y-Factor:")}}) != INPUT_DONE) return false;
  f.y = r.length;
  if (solid_any_marked()) {
    if (tool_ask(r, {{STEP_NUMBER, nls_mark("Z-Factor:")}}) != INPUT_DONE) return false;
    f.z = r.length;
  }
  return true;
}

}  // namespace

void tool_edit_stretch(int keep_text) {
  if (select_elements(0) != 1) return;
  InputRequest r;
  Factors f;
  if (tool_ask(r, {{STEP_POINT, nls_mark("Fixed point:")}, {STEP_CONFIRM, nls_mark("Move XYZ/Confirm:")}}) ==
      INPUT_DONE) {
    const Point3 fixed{r.x[0], r.y[0], r.z[0], 0};
    if (ask_factors(r, fixed, f) &&
        wall_scale_keeps_openings(fixed.x, fixed.y, fixed.z, edit_usable_factor(f.x), edit_usable_factor(f.y),
                                  edit_usable_factor(f.z))) {
      // Walls scaled away from the walls they were joined to are closed
      // there, and joined again where they still meet.
      const WallJointPlan joints = wall_joints_of_marked();
      draw_selected(DRAW_ERASE);
      undo_record(UNDO_CHANGE, 0);
      xform_scale_marked(fixed.x, fixed.y, fixed.z, edit_usable_factor(f.x), edit_usable_factor(f.y),
                         edit_usable_factor(f.z), keep_text);
      wall_joints_refit(joints);
      draw_selected(DRAW_HIGHLIGHT);
    }
  }
  select_clear(0);
}
