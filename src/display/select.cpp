#include "display/select.h"

#include "display/draw.h"
#include "model/elem.h"

uint8_t select_points_marked = 0;

namespace {

// Clears the opening marks of a wall and redraws it once per mark cleared.
void clear_opening_marks(ElemHeader* e) {
  auto* w = elem_as<WallElem>(e);
  if (!w) return;
  for (WallOpening& o : w->openings) {
    if (o.reserved != 1) continue;
    o.reserved = 0;
    draw_element(DRAW_NORMAL, w);
  }
}

}  // namespace

void select_clear(uint8_t mode) {
  const bool whole_view = (mode == 1 || mode == 2) && select_points_marked == 1;
  if (!whole_view) draw_selected(DRAW_PLAIN);
  for (ElemHeader* e = elem_list_head; e; e = e->next) {
    const bool points = mode == 2 || (mode == 1 && e->kind == ELEM_WALL);
    if (points) {
      elem_clear_point_marks(e);
      clear_opening_marks(e);
    }
    if (e->mark == 1) e->mark = 0;
  }
  if (whole_view) draw_all(DRAW_CLEAR);
}
