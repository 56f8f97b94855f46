// Dissolving splines into straight lines: the picked spline, once the user
// confirms, is replaced by the chords the screen draws it with at the
// current zoom (12 to 120 of them), in one undo step.

#include "display/draw.h"
#include "display/outdev.h"
#include "display/outdev_breakdown.h"
#include "display/outdev_explode.h"
#include "display/pick.h"
#include "model/elem.h"
#include "model/nls.h"
#include "model/ui.h"
#include "model/undo.h"
#include "tools/curve_tools.h"
#include "tools/tool_common.h"

namespace {

ElemHeader* pick_spline(double x, double y) {
  ElemHeader* e = pick_nearest_element(x, y, PICK_BEZIER);
  return elem_as<SplineElem>(e) ? e : nullptr;
}

bool really_dissolve(ElemHeader* spline) {
  ToolHighlight lit(spline);
  const char* const labels[] = {nls_translate("Yes"), nls_translate("Cancel")};
  return ui().msgbox_ask(nls_translate("Really dissolve the spline into single lines?"), 2, labels) == 1;
}

}  // namespace

void curve_dissolve_spline(ElemHeader* e) {
  const SplineElem* s = elem_as<SplineElem>(e);
  if (!s) return;
  const int before = elem_count();
  {
    // Every chord the curve is drawn with becomes a line on the current
    // layer; the guide pen's chords are dropped.
    OutdevInstall guard;
    outdev.line = outdev_explode_line;
    outdev_screen_bezier(s->pen, s->line_type, s->p0.x, s->p0.y, s->p1.x, s->p1.y, s->p2.x, s->p2.y, s->p3.x,
                         s->p3.y);
  }
  const int n = elem_count() - before;
  ToolCursorOff off;
  draw_element(DRAW_ERASE, e);
  e->mark = 1;
  undo_record(UNDO_DELETE, 0);
  elem_purge_marked();
  // The lines go to the same step: one undo brings the spline back and
  // takes them away.
  ElemHeader* line = elem_list_tail;
  for (int k = 0; k < n && line; ++k, line = line->previous) {
    undo_mark_element(line);
    draw_element(DRAW_NORMAL, line);
  }
}

void tool_circle_splinedissolve() {
  InputRequest r;
  for (;;) {
    ElemHeader* spline = tool_pick_until(r, nls_mark("Select Spline:"), pick_spline);
    if (!spline) return;
    if (really_dissolve(spline)) curve_dissolve_spline(spline);
  }
}
