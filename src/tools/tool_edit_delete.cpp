// Deleting the selection.

#include "display/draw.h"
#include "display/select.h"
#include "model/elem.h"
#include "model/undo.h"
#include "model/wall_outline.h"
#include "tools/edit_tools.h"

void tool_edit_delete() {
  if (select_elements(0) != 1) return;
  // The walls left behind are closed where a deleted wall met them, and
  // keep their joints with each other.
  WallJointPlan joints = wall_joints_of_marked();
  wall_joints_drop_marked(joints);
  undo_record(UNDO_DELETE, 0);
  draw_selected(DRAW_ERASE);
  elem_purge_marked();
  wall_joints_refit(joints);
}
