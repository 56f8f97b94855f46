// Removing a picked opening: its gap in the wall's outline is closed; the
// rest of the outline, the joints to other walls with it, stays.

#include <cstddef>
#include <vector>

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
    std::vector<bool> gone(w->openings.size(), false);
    gone[static_cast<std::size_t>(o - w->openings.data())] = true;
    WallElem* closed = wall_recut_openings(w, gone);
    if (closed == w) {
      // The outline does not show the opening's gap: the wall is built anew.
      closed = wall_rebuild_outline(w);
    } else {
      w->mark = 1;
      elem_purge_marked();
      ToolCursorOff off;
      draw_element(DRAW_NORMAL, closed);
    }
    undo_mark_element(closed);
    repair.draw_touching();
  }
}
