#include "model/cleanup.h"

#include <cstdio>

#include "model/elem.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/redraw.h"
#include "model/ui.h"
#include "model/undo.h"

namespace {

void clear_all_marks() {
  for (ElemHeader* e = elem_list_head; e; e = e->next) e->mark = 0;
}

bool same_point(const Point2& a, const Point2& b) { return a.x == b.x && a.y == b.y; }

bool duplicate_line(const LineElem& e, const LineElem& f) {
  return (same_point(e.p1, f.p1) && same_point(e.p2, f.p2)) ||
         (same_point(e.p1, f.p2) && same_point(e.p2, f.p1));
}

bool duplicate_arc(const ArcElem& e, const ArcElem& f) {
  return e.centre.x == f.centre.x && e.centre.y == f.centre.y && e.radius_x == f.radius_x &&
         e.radius_y == f.radius_y && e.sweep == f.sweep && e.start == f.start && e.rotation == f.rotation;
}

bool on_current_layer(const ElemHeader* e) { return e->layer == cur_layer; }

// Records the marked elements as one deletion step and frees them. With
// nothing marked no step is recorded, so the redo history survives.
void remove_marked(int count) {
  if (count == 0) return;
  undo_record(UNDO_DELETE, 0);
  elem_purge_marked();
}

}  // namespace

void cmd_p_glminus() {
  clear_all_marks();
  redraw().input_cursor_toggle();
  int count = 0;
  for (ElemHeader* e = elem_list_head; e; e = e->next) {
    if (e->pen != PEN_GUIDE || !on_current_layer(e)) continue;
    redraw().draw_element(DRAW_ERASE, e);
    e->mark = 1;
    ++count;
  }
  remove_marked(count);
  redraw().input_cursor_toggle();
}

void cmd_p_tools_remdup() {
  clear_all_marks();
  int lines = 0;
  int arcs = 0;
  for (ElemHeader* e = elem_list_head; e; e = e->next) {
    if (!on_current_layer(e) || e->mark == 1) continue;
    if (e->kind != ELEM_LINE && e->kind != ELEM_ARC) continue;
    for (ElemHeader* f = e->next; f; f = f->next) {
      if (!on_current_layer(f) || f->mark == 1 || f->kind != e->kind) continue;
      if (auto* l = elem_as<LineElem>(e)) {
        if (!duplicate_line(*l, *static_cast<LineElem*>(f))) continue;
        ++lines;
      } else {
        if (!duplicate_arc(*elem_as<ArcElem>(e), *static_cast<ArcElem*>(f))) continue;
        ++arcs;
      }
      f->mark = 1;
    }
  }
  char text[256];
  std::snprintf(text, sizeof text, "%s %d\n%s %d\n", nls_translate("Number of removed lines:"), lines,
                nls_translate("Number of removed arcs:"), arcs);
  ui().msgbox_message(nls_translate("Message"), text);
  // Every removed element lies exactly on a kept one: nothing to redraw.
  remove_marked(lines + arcs);
}
