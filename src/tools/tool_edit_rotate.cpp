// Turning the selection: repeated rotations about a centre (plan and
// elevations) or an axis (the other views), and the polar series.

#include "building/solid/solid_marked.h"
#include "display/draw.h"
#include "display/input.h"
#include "display/select.h"
#include "display/view_commands.h"
#include "model/elem.h"
#include "model/geom.h"
#include "model/nls.h"
#include "model/settings.h"
#include "model/undo.h"
#include "model/vec3.h"
#include "model/view_rec.h"
#include "model/wall_outline.h"
#include "model/xform.h"
#include "tools/edit_tools.h"
#include "tools/tool_common.h"

namespace {

// The centre of the running rotation; the axis is in xform_axis.
Point3 centre;

// The rubber bands turn the selection about the centre in the plan view
// only: the first direction point to the pointer, then to the second point.
void preview_edit_rotate(InputRequest* r, double x, double y) {
  if (view_type != VIEW_PLAN) return;
  const double a = geom_angle(centre.x, centre.y, x, y) - geom_angle(centre.x, centre.y, r->x[0], r->y[0]);
  edit_drag_preview(centre.x, centre.y, centre.z, centre.x, centre.y, centre.z, a);
}

void preview_edit_rotate_confirm(InputRequest* r, double, double) {
  preview_edit_rotate(r, r->x[1], r->y[1]);
}

// Asks for the centre (plan and elevations) or for the axis by two points
// (the other views) and stores centre and axis. False when cancelled.
bool ask_centre_or_axis(InputRequest& r) {
  int res;
  if (edit_view_has_centre(view_type))
    res = tool_ask(r, {{STEP_POINT, nls_mark("Center:")}, {STEP_CONFIRM, nls_mark("Move/Confirm:")}});
  else
    res = tool_ask(r, {{STEP_POINT, nls_mark("Rotation axis 1st point:")},
                       {STEP_NEXT_POINT, nls_mark("Move/2nd point:")},
                       {STEP_CONFIRM, nls_mark("Move/Confirm:")}});
  if (res != INPUT_DONE) return false;
  centre = Point3{r.x[0], r.y[0], r.z[0], 0};
  xform_axis.a = centre;
  xform_axis.b =
      edit_view_has_centre(view_type) ? edit_axis_end(view_type, centre) : Point3{r.x[1], r.y[1], r.z[1], 0};
  return true;
}

// The angle between the two direction points: about the centre in the
// plan view, about the axis in every other view.
double angle_between(const InputRequest& r) {
  if (view_type == VIEW_PLAN)
    return geom_angle(centre.x, centre.y, r.x[1], r.y[1]) - geom_angle(centre.x, centre.y, r.x[0], r.y[0]);
  return vec3_angle_about_axis(xform_axis.a, xform_axis.b, Point3{r.x[0], r.y[0], r.z[0], 0},
                               Point3{r.x[1], r.y[1], r.z[1], 0});
}

int ask_angle(InputRequest& r) {
  return tool_ask(r, {{STEP_POINT_OR_ANGLE, nls_mark("Angle/1st Direction point:")},
                      {STEP_NEXT_POINT, nls_mark("Move/2nd Direction point:"), preview_edit_rotate},
                      {STEP_CONFIRM, nls_mark("Move/Confirm:"), preview_edit_rotate_confirm}});
}

// The joints the rotation changes. Only a turn in the plan carries the
// outlines with the corners; about other axes the outlines stay.
WallJointPlan plan_joints() { return view_type == VIEW_PLAN ? wall_joints_of_marked() : WallJointPlan{}; }

}  // namespace

void tool_edit_rotate() {
  if (select_elements(0) != 1) return;
  InputRequest r;
  if (ask_centre_or_axis(r)) {
    double angle = 1.0;  // what a stray answer turns by before the first rotation
    bool rotated = false, copies = false;
    WallCopyJoints copy_joints;
    for (;;) {
      view_zoom_to_extents(1);
      const int res = ask_angle(r);
      if (res == INPUT_CANCEL) break;
      if (res == INPUT_VALUE)
        angle = r.angle;
      else if (res == INPUT_DONE)
        angle = angle_between(r);
      if (angle == 0.0) break;
      WallJointPlan joints;
      if (rotate_copy == 1 && !rotated) {
        draw_selected(DRAW_PLAIN);
        // The copies are joined where they land to the walls the selection
        // was joined to; later turns take them further.
        if (view_type == VIEW_PLAN) copy_joints = wall_copy_joints();
        undo_record(UNDO_CREATED, clone());
        copies = true;
      } else {
        if (!copies) joints = plan_joints();
        draw_selected(DRAW_ERASE);
        undo_record(UNDO_CHANGE, 0);
      }
      xform_rotate_marked(centre.x, centre.y, angle);
      if (copies) joints = edit_joints_of_marked_copies(copy_joints);
      wall_joints_refit(joints);
      draw_selected(DRAW_HIGHLIGHT);
      rotated = true;
    }
  }
  select_clear(0);
}

void tool_edit_pseries() {
  if (select_elements(0) != 1) return;
  InputRequest r;
  const int n = edit_ask_copies(r);
  if (n > 1 && tool_ask(r, {{STEP_POINT, nls_mark("Center:")}, {STEP_CONFIRM, nls_mark("Move/Confirm:")}}) ==
                   INPUT_DONE) {
    // The axis is set here, not left from an earlier rotation: vertical
    // through the centre, or perpendicular to an elevation.
    centre = Point3{r.x[0], r.y[0], r.z[0], 0};
    xform_axis.a = centre;
    xform_axis.b = edit_axis_end(view_type, centre);
    view_zoom_to_extents(1);
    const int res = ask_angle(r);
    double step = 0.0;
    if (res == INPUT_VALUE) step = r.angle / n;  // the typed angle is the whole turn
    if (res == INPUT_DONE) step = angle_between(r);
    bool go = step != 0.0;
    double dz = 0.0;
    if (go && solid_any_marked()) {
      go = tool_ask(r, {{STEP_LENGTH, nls_mark("Z-Offset:")}}) == INPUT_DONE;
      dz = r.length;
    }
    if (go) {
      draw_selected(DRAW_PLAIN);
      // Copy k is turned by k steps and raised by k times the offset.
      edit_make_series(n, [step, dz](ElemHeader* e, int) {
        xform_rotate_element(e, centre.x, centre.y, step);
        if (dz != 0.0) xform_move_element(e, 0.0, 0.0, dz);
      });
    }
  }
  select_clear(0);
}
