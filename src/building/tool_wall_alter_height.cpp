// Base and height of the selected walls: their lower corners go to the base,
// their upper corners to base + height. Opening boxes and gable points keep
// their heights; selected elements of other kinds are only deselected.

#include "building/tool_wall_common.h"
#include "display/draw.h"
#include "display/select.h"
#include "model/nls.h"
#include "model/undo.h"
#include "model/wall_outline.h"
#include "tools/tool_common.h"

void tool_wall_alter_height() {
  if (select_elements(0) != 1) return;
  InputRequest r;
  if (tool_ask(r, {{STEP_LENGTH, nls_mark("Base:")}}) != INPUT_DONE) {
    select_clear(0);
    return;
  }
  const double base = r.length;
  if (tool_ask(r, {{STEP_LENGTH, nls_mark("Height:")}}) != INPUT_DONE) {
    select_clear(0);
    return;
  }
  const double height = r.length;
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
      if (auto* w = elem_as<WallElem>(e)) {
        // Erased first: a view other than the plan shows the heights.
        repair.add(*w);
        draw_element(DRAW_ERASE, w);
        for (int i = 0; i < 4; ++i) {
          w->corner[i].z = base;
          w->corner[i + 4].z = base + height;
        }
        drawing_modified = 1;
      }
      draw_element(DRAW_NORMAL, e);
    }
  }
  elem_touch();
  wall_joints_refit(joints);
  repair.draw_touching();
}
