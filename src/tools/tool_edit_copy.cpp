// Copies of the selection: one copy moved on by further vectors, copies at
// target points each made from the one before, and a linear series.

#include <climits>
#include <cstdint>
#include <vector>

#include "display/draw.h"
#include "display/input.h"
#include "display/select.h"
#include "display/view_commands.h"
#include "model/elem.h"
#include "model/geom.h"
#include "model/nls.h"
#include "model/undo.h"
#include "model/wall_outline.h"
#include "model/xform.h"
#include "tools/edit_tools.h"
#include "tools/tool_common.h"

namespace {

// Where the running multiple copy takes its next copy from.
Point3 mcopy_from;

void preview_edit_mcopy(InputRequest*, double x, double y) {
  view_unproject(x, y);
  edit_drag_preview(mcopy_from.x, mcopy_from.y, mcopy_from.z, geo_result.world_x, geo_result.world_y,
                    geo_result.world_z, 0.0);
}

void preview_edit_mcopy_confirm(InputRequest* r, double, double) {
  edit_drag_preview(0.0, 0.0, 0.0, r->x[0] - mcopy_from.x, r->y[0] - mcopy_from.y, r->z[0] - mcopy_from.z,
                    0.0);
}

}  // namespace

int edit_ask_copies(InputRequest& r) {
  if (tool_ask(r, {{STEP_INTEGER, nls_mark("Number of copies:")}}) != INPUT_DONE) return 0;
  if (r.integer <= 1) return 0;
  return r.integer > EDIT_SERIES_MAX ? EDIT_SERIES_MAX : r.integer;
}

int edit_series_undo_count(int n, int per_copy) {
  const int64_t total = static_cast<int64_t>(n - 1) * per_copy;
  return total > INT_MAX ? INT_MAX : static_cast<int>(total);
}

void tool_edit_copy() {
  if (select_elements(0) != 1) return;
  InputRequest r;
  bool copied = false;
  WallCopyJoints originals;
  std::vector<ElemHeader*> copies;
  Point3 d;
  for (;;) {
    view_zoom_to_extents(1);
    if (!edit_ask_vector(r, d)) break;
    if (!copied) {
      // A copied wall is joined, where it lands, to the walls its original
      // was joined to; the originals keep their joints.
      originals = wall_copy_joints();
      ElemHeader* const before = elem_list_tail;
      undo_record(UNDO_CREATED, clone());
      // The copies follow the list's old end. The selection holds whole
      // elements and no single points, so only the copies move: the list
      // of originals need not be walked again for each vector.
      for (ElemHeader* e = before ? before->next : elem_list_head; e; e = e->next) copies.push_back(e);
      // The copies lie on the originals: this takes the highlight off them.
      draw_selected(DRAW_PLAIN);
      copied = true;
    } else {
      draw_selected(DRAW_ERASE);
    }
    for (ElemHeader* e : copies) xform_move_element(e, d.x, d.y, d.z);
    wall_joints_refit(edit_joints_of_marked_copies(originals));
    draw_selected(DRAW_HIGHLIGHT);
  }
  select_clear(0);
}

void tool_edit_mcopy() {
  if (select_elements(0) != 1) return;
  const int n = elem_count_marked();
  InputRequest r;
  if (tool_ask(r, {{STEP_POINT, nls_mark("Start point:")}, {STEP_CONFIRM, nls_mark("Move XYZ/Confirm:")}}) ==
      INPUT_DONE) {
    mcopy_from = Point3{r.x[0], r.y[0], r.z[0], 0};
    // Every copy is made from the one before, but joined to the walls the
    // selection was joined to, wherever the previous copy landed.
    const WallCopyJoints originals = wall_copy_joints();
    for (;;) {
      view_zoom_to_extents(1);
      if (tool_ask(r, {{STEP_POINT, nls_mark("Target point:"), preview_edit_mcopy},
                       {STEP_CONFIRM, nls_mark("Move XYZ/Confirm:"), preview_edit_mcopy_confirm}}) !=
          INPUT_DONE)
        break;
      const Point3 to{r.x[0], r.y[0], r.z[0], 0};
      clone();
      undo_record(UNDO_CREATED, n);
      draw_selected(DRAW_PLAIN);
      xform_move_marked(to.x - mcopy_from.x, to.y - mcopy_from.y, to.z - mcopy_from.z);
      wall_joints_refit(edit_joints_of_marked_copies(originals));
      mcopy_from = to;
      draw_selected(DRAW_HIGHLIGHT);
    }
  }
  select_clear(0);
}

void tool_edit_series() {
  if (select_elements(0) != 1) return;
  InputRequest r;
  const int n = edit_ask_copies(r);
  Point3 d;
  if (n > 1) {
    view_zoom_to_extents(1);
    if (edit_ask_vector(r, d)) {
      draw_selected(DRAW_PLAIN);
      // Copy k lies at k times the vector; select_clear draws them all.
      edit_make_series(n, [&d](ElemHeader* e, int) { xform_move_element(e, d.x, d.y, d.z); });
    }
  }
  select_clear(0);
}
