// Separating walls: a wall gets back the plain outline of its corners with
// its openings cut in again, which undoes its connections to other walls.

#include "building/tool_wall_common.h"
#include "display/draw.h"
#include "display/pick.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/ui.h"
#include "model/undo.h"
#include "model/wall_outline.h"

void tool_wall_separate() {
  for (;;) {
    WallElem* w = pick_wall();
    if (!w) return;
    w->mark = 1;
    // The walls it was joined to are closed where they met it.
    WallJointPlan joints = wall_joints_of_marked();
    wall_joints_drop_marked(joints);
    undo_record(UNDO_CHANGE, 0);
    w->mark = 0;
    WallTouchRepair repair;
    repair.add(*w);
    undo_mark_element(wall_rebuild_outline(w));
    wall_joints_refit(joints);
    repair.draw_touching();
  }
}

void tool_wall_separate_all() {
  std::vector<WallElem*> ws;
  ElemHeader* it;
  for (ElemHeader* e = elem_first(&it); e; e = elem_next(&it))
    if (auto* w = elem_as<WallElem>(e); w && w->layer == cur_layer) ws.push_back(w);
  if (ws.empty()) {
    ui().msgbox_message(nls_translate("Message"), nls_translate(nls_mark("No walls to separate")));
    return;
  }
  for (WallElem* w : ws) w->mark = 1;
  undo_record(UNDO_CHANGE, 0);
  for (WallElem* w : ws) w->mark = 0;
  // Each rebuilt wall is appended at the end, in the order of the old ones.
  // Whether any was connected shows only once it is rebuilt.
  bool changed = false;
  for (WallElem* w : ws) {
    const std::vector<WallSegment> before = w->segments;
    WallElem* rebuilt = wall_rebuild_outline(w);
    changed = changed || !wall_same_outline(before, rebuilt->segments);
    undo_mark_element(rebuilt);
  }
  view_redraw();
  if (!changed)
    ui().msgbox_message(nls_translate("Message"), nls_translate(nls_mark("No walls to separate")));
}
