// Cutting the tops of the selected walls by a plane through three points:
// each upper corner moves along the line from the lower corner below it.

#include "building/tool_wall_common.h"
#include "display/draw.h"
#include "display/select.h"
#include "model/geom.h"
#include "model/nls.h"
#include "model/undo.h"
#include "model/vec3.h"
#include "model/wall_outline.h"
#include "tools/tool_common.h"

void wall_attach_to_plane(WallElem& w, Point3 a, Point3 b, Point3 c) {
  for (int i = 0; i < 4; ++i) {
    // A line parallel to the plane leaves its corner.
    if (vec3_line_plane_intersect(w.corner[i], w.corner[i + 4], a, b, c) != 1) continue;
    w.corner[i + 4].x = geo_result.isect3.x;
    w.corner[i + 4].y = geo_result.isect3.y;
    w.corner[i + 4].z = geo_result.isect3.z;
  }
  elem_touch();
  drawing_modified = 1;
}

void tool_wall_attach_3d() {
  InputRequest r;
  if (tool_ask(r, {{STEP_POINT, nls_mark("Plane 1st point:")},
                   {STEP_NEXT_POINT, nls_mark("Move XYZ/2nd point:")},
                   {STEP_NEXT_POINT_3, nls_mark("Move XYZ/3rd point:")},
                   {STEP_CONFIRM, nls_mark("Move XYZ/Confirm:")}}) != INPUT_DONE)
    return;
  const Point3 a{r.x[0], r.y[0], r.z[0], 0}, b{r.x[1], r.y[1], r.z[1], 0}, c{r.x[2], r.y[2], r.z[2], 0};
  if (select_elements(0) != 1) {
    select_clear(0);
    return;
  }
  // Walls whose heights no longer meet are no longer joined.
  const WallJointPlan joints = wall_joints_of_marked();
  undo_record(UNDO_CHANGE, 0);
  WallTouchRepair repair;
  {
    ToolCursorOff off;
    ElemHeader* it;
    for (ElemHeader* e = elem_first(&it); e; e = elem_next(&it)) {
      if (e->mark != 1) continue;
      e->mark = 0;
      draw_element(DRAW_ERASE, e);
      if (auto* w = elem_as<WallElem>(e)) {
        repair.add(*w);
        wall_attach_to_plane(*w, a, b, c);
      }
      draw_element(DRAW_NORMAL, e);
    }
  }
  wall_joints_refit(joints);
  repair.draw_touching();
}
