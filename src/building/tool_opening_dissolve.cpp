// Dissolving an opening's plan symbol into line and arc elements: the
// opening keeps its kind, box and cut and draws no symbol afterwards.

#include "building/opening_tools.h"
#include "display/draw.h"
#include "display/draw_opening.h"
#include "display/outdev.h"
#include "display/outdev_explode.h"
#include "display/pick.h"
#include "model/nls.h"
#include "model/settings.h"
#include "model/ui.h"
#include "model/undo.h"
#include "tools/tool_common.h"

namespace {

bool confirm_dissolve(WallElem* w) {
  {
    ToolCursorOff off;
    draw_element(DRAW_HIGHLIGHT, w);
  }
  const char* labels[] = {nls_translate(nls_mark("Yes")), nls_translate(nls_mark("Cancel"))};
  const int answer =
      ui().msgbox_ask(nls_translate(nls_mark("Really dissolve the symbol into single objects?")), 2, labels);
  ToolCursorOff off;
  draw_element(DRAW_NORMAL, w);
  return answer == 1;
}

// Draws the symbol of o into new elements; returns how many were made.
int explode_symbol(const WallElem& w, const WallOpening& o) {
  const int before = elem_count();
  OpeningSymbol s;
  s.mode = 0;
  s.layer = w.layer;
  s.kind = o.kind;
  s.style = o.symbol_style;
  opening_plan_corners(o, s.corner);
  s.stop_width = o.stop_width;
  s.stop_depth = o.stop_depth;
  s.quadrant = o.leaf_quadrant;
  {
    OutdevInstall guard;
    outdev.line = outdev_explode_line;
    outdev.arc = outdev_explode_arc;
    outdev.active = 1;
    draw_opening_symbol(s);
  }
  return elem_count() - before;
}

}  // namespace

void tool_opening_dissolve() {
  for (;;) {
    WallOpening* o = pick_opening();
    if (!o) return;
    WallElem* w = picked_wall;
    if (!confirm_dissolve(w)) continue;
    const int added = explode_symbol(*w, *o);
    w->mark = 1;
    undo_record(UNDO_CHANGE, 0);
    w->mark = 0;
    o->reserved = 0;
    o->symbol_style = 0;
    o->leaf_quadrant = 0;
    elem_touch();
    drawing_modified = 1;
    ElemHeader* e = elem_list_tail;
    for (int i = 0; i < added && e; ++i, e = e->previous) undo_mark_element(e);
  }
}
