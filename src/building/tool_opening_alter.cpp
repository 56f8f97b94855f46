// Changing picked openings in place: their kind with the kind's current
// symbol (and for doors the leaf's quadrant), or the heights of their
// boxes. The cut in the wall's outline stays as it was.

#include "building/opening_tools.h"
#include "display/draw.h"
#include "display/pick.h"
#include "model/nls.h"
#include "model/presets.h"
#include "model/settings.h"
#include "model/undo.h"
#include "tools/tool_common.h"

namespace {

// Erases w, records it for the undo step and lets change alter it, then
// draws it again.
template <class Change>
void change_wall(WallElem* w, Change change) {
  {
    ToolCursorOff off;
    draw_element(DRAW_ERASE, w);
  }
  w->mark = 1;
  undo_record(UNDO_CHANGE, 0);
  w->mark = 0;
  change();
  elem_touch();
  drawing_modified = 1;
  ToolCursorOff off;
  draw_element(DRAW_NORMAL, w);
}

void alter_openings(uint8_t kind, const OpeningPreset& p) {
  InputRequest r;
  Point2 leaf{0, 0, 0};  // the last leaf point of this run
  for (;;) {
    WallOpening* o = pick_opening();
    if (!o) return;
    WallElem* w = picked_wall;
    uint8_t quadrant = 0;
    if (kind == OPENING_DOOR) {
      Point2 c[4];
      opening_plan_corners(*o, c);
      if (p.symbol_variant != 0) {
        if (opening_ask_leaf(r, c, o->stop_width, o->stop_depth, p.symbol_variant) != INPUT_DONE) return;
        leaf = {r.x[0], r.y[0], 0};
      }
      quadrant = opening_leaf_quadrant(c, leaf);
    }
    change_wall(w, [&] {
      o->kind = kind;
      o->leaf_quadrant = quadrant;
      o->symbol_style = static_cast<uint8_t>(p.symbol_variant);
    });
  }
}

}  // namespace

void tool_opening_alter_opening() { alter_openings(OPENING_PLAIN, opening_preset); }
void tool_opening_alter_door() { alter_openings(OPENING_DOOR, door_preset); }
void tool_opening_alter_window() { alter_openings(OPENING_WINDOW, window_preset); }

void tool_opening_alter_height() {
  InputRequest r;
  if (tool_ask(r, {{STEP_LENGTH, nls_mark("Base:")}}) != INPUT_DONE) return;
  const double base = r.length;
  if (tool_ask(r, {{STEP_LENGTH, nls_mark("Height:")}}) != INPUT_DONE) return;
  const double height = r.length;
  for (;;) {
    WallOpening* o = pick_opening();
    if (!o) return;
    WallElem* w = picked_wall;
    // The sill and height fields keep the values the opening was placed with.
    change_wall(w, [&] {
      const double z = w->corner[0].z + base;
      for (int i = 0; i < 4; ++i) {
        o->corner[i].z = z;
        o->corner[i + 4].z = z + height;
      }
    });
  }
}
