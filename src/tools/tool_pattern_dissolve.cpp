// A picked hatch pattern dissolved into line elements: its hatch lines (a
// point grid's dots as lines of no length) at their true spacing, whatever
// the view shows. The pattern goes and the lines come in one undo step.
// Fillings are never dissolved.

#include <cstdio>
#include <string>

#include "display/draw.h"
#include "display/draw_hatch.h"
#include "display/outdev.h"
#include "display/outdev_explode.h"
#include "display/pick.h"
#include "model/nls.h"
#include "model/ui.h"
#include "model/undo.h"
#include "tools/pattern_tools.h"
#include "tools/tool_common.h"

namespace {

void draw(ElemHeader* e, int mode) {
  ToolCursorOff off;
  draw_element(static_cast<uint8_t>(mode), e);
}

long counted_lines = 0;
void count_line(uint8_t, uint8_t, double, double, double, double) { ++counted_lines; }

// How many lines pattern_draw_lines gives for p.
long line_count(const PatternElem& p) {
  OutdevInstall guard;
  outdev.line = count_line;
  outdev.active = 1;
  counted_lines = 0;
  pattern_draw_lines(p);
  return counted_lines;
}

bool ask(const std::string& question) {
  const char* labels[] = {nls_translate("Yes"), nls_translate("Cancel")};
  return ui().msgbox_ask(question.c_str(), 2, labels) == 1;
}

// The lines of p appended on the current layer; returns how many.
int explode(const PatternElem& p) {
  const int before = elem_count();
  {
    OutdevInstall guard;
    outdev.line = outdev_explode_line;
    outdev.active = 1;
    pattern_draw_lines(p);
  }
  return elem_count() - before;
}

}  // namespace

void pattern_draw_lines(const PatternElem& p) {
  const int32_t n = static_cast<int32_t>(p.points.size());
  const Point2* pts = p.points.data();
  switch (p.type) {
    case PATTERN_ONE_LINE:
    case PATTERN_TWO_LINES:
      draw_hatch_lines(p.pen, p.line_type, p.origin.x, p.origin.y, p.angle1, p.spacing1, n, pts);
      if (p.type == PATTERN_TWO_LINES)
        draw_hatch_lines(p.pen2, p.line_type2, p.offset.x, p.offset.y, p.angle2, p.spacing2, n, pts);
      break;
    case PATTERN_POINTS:
      draw_hatch_points(p.pen, p.line_type, p.origin.x, p.origin.y, p.angle1, p.spacing1, n, pts);
      break;
    default:
      break;
  }
}

void tool_pattern_dissolve() {
  for (;;) {
    PatternElem* p = pick_pattern();
    if (!p) return;
    p->mark = 0;
    if (p->type == PATTERN_FILLING) {
      draw(p, DRAW_NORMAL);
      continue;
    }
    const bool yes = ask(nls_translate("Really dissolve the pattern into single lines?"));
    draw(p, DRAW_NORMAL);
    if (!yes) continue;
    const long lines = line_count(*p);
    if (lines > PATTERN_DISSOLVE_ASK_LINES) {
      char question[200];
      std::snprintf(question, sizeof question,
                    nls_translate("The pattern becomes %ld lines. Dissolve it all the same?"), lines);
      if (!ask(question)) continue;
    }
    const int k = explode(*p);
    // Nothing came of it (a guide pattern, say): the pattern stays.
    if (k == 0) continue;
    p->mark = 1;
    undo_record(UNDO_DELETE, 0);
    ElemHeader* e = elem_list_tail;
    for (int i = 0; i < k && e; ++i, e = e->previous) undo_mark_element(e);
    draw(p, DRAW_ERASE);
    elem_purge_marked();
    ToolCursorOff off;
    e = elem_list_tail;
    for (int i = 0; i < k && e; ++i, e = e->previous) draw_element(DRAW_NORMAL, e);
  }
}
