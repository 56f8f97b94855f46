// Mirroring the selection about an axis in the plan view or a plane in the
// other views, in place or as a copy.

#include "display/draw.h"
#include "display/input.h"
#include "display/select.h"
#include "model/elem.h"
#include "model/nls.h"
#include "model/settings.h"
#include "model/undo.h"
#include "model/view_rec.h"
#include "model/wall_outline.h"
#include "model/xform.h"
#include "tools/edit_tools.h"
#include "tools/tool_common.h"

namespace {

// Asks for the axis or the plane; false when cancelled or when the three
// plane points span no plane (nothing can be mirrored about it then).
bool ask_axis_or_plane(InputRequest& r) {
  if (view_type == VIEW_PLAN) {
    if (tool_ask(r, {{STEP_POINT, nls_mark("Mirror axis 1st point:")},
                     {STEP_NEXT_POINT, nls_mark("Move/2nd point:")},
                     {STEP_CONFIRM, nls_mark("Move/Confirm:")}}) != INPUT_DONE)
      return false;
    // Both points on one spot: the horizontal axis through it.
    if (r.x[0] == r.x[1] && r.y[0] == r.y[1]) {
      r.x[1] = r.x[0] + 1.0;
      r.y[1] = r.y[0];
    }
    return true;
  }
  if (tool_ask(r, {{STEP_POINT, nls_mark("Mirror plane 1st point:")},
                   {STEP_NEXT_POINT, nls_mark("Move XYZ/2nd point:")},
                   {STEP_NEXT_POINT_3, nls_mark("Move XYZ/3rd point:")},
                   {STEP_CONFIRM, nls_mark("Move XYZ/Confirm:")}}) != INPUT_DONE)
    return false;
  const Point3 a{r.x[0], r.y[0], r.z[0], 0}, b{r.x[1], r.y[1], r.z[1], 0}, c{r.x[2], r.y[2], r.z[2], 0};
  if (!edit_plane_defined(a, b, c)) return false;
  xform_axis.a = a;
  xform_axis.b = b;
  xform_axis.c = c;
  return true;
}

}  // namespace

void tool_edit_mirror() {
  if (select_elements(0) != 1) return;
  InputRequest r;
  if (ask_axis_or_plane(r)) {
    WallJointPlan joints;
    WallCopyJoints copy_joints;
    // Only a mirror in the plan carries the outlines with the corners.
    const bool plan = view_type == VIEW_PLAN;
    if (mirror_copy == 1) {
      draw_selected(DRAW_PLAIN);
      // The copies are joined where they land to the walls the selection
      // was joined to.
      if (plan) copy_joints = wall_copy_joints();
      undo_record(UNDO_CREATED, clone());
    } else {
      if (plan) joints = wall_joints_of_marked();
      draw_selected(DRAW_ERASE);
      undo_record(UNDO_CHANGE, 0);
    }
    xform_mirror_marked(r.x[0], r.y[0], r.x[1], r.y[1]);
    if (mirror_copy == 1) joints = edit_joints_of_marked_copies(copy_joints);
    wall_joints_refit(joints);
  }
  select_clear(0);
}
