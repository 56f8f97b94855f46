// Removing a picked opening: the wall is rebuilt without it, which closes
// the gap and cuts its other openings in again.

#include "building/opening_tools.h"
#include "building/tool_wall_common.h"
#include "display/draw.h"
#include "display/pick.h"
#include "model/undo.h"
#include "model/wall_outline.h"
#include "tools/tool_common.h"

void tool_opening_remove() {
  for (;;) {
    WallOpening* o = pick_opening();
    if (!o) return;
    WallElem* w = picked_wall;
    WallTouchRepair repair;
    repair.add(*w);
    {
      // While the opening is still of its kind, so that its symbol goes too.
      ToolCursorOff off;
      draw_element(DRAW_ERASE, w);
    }
    w->mark = 1;
    undo_record(UNDO_CHANGE, 0);
    w->mark = 0;
    o->kind = OPENING_REMOVED;
    undo_mark_element(wall_rebuild_outline(w));
    repair.draw_touching();
  }
}
