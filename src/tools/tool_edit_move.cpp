// Moving the selection by vectors, one undo step each. Besides whole
// elements the selection may hold single vertices (Point type) and openings;
// an unmarked element moves only its marked vertices, and the walls and
// chain dimensions stretched that way are fitted anew at the end.

#include "display/draw.h"
#include "display/input.h"
#include "display/select.h"
#include "display/view_commands.h"
#include "model/elem.h"
#include "model/undo.h"
#include "model/wall_opening_move.h"
#include "model/wall_outline.h"
#include "model/xform.h"
#include "tools/edit_tools.h"

void tool_edit_move() {
  if (select_elements(2) != 1) return;
  const bool points = select_points_marked == 1;
  InputRequest r;
  bool moved = false;
  Point3 d;
  // Openings moved without their walls are placed as soon as they are
  // moved, from where they were: in a wall that holds them where they land,
  // or back. Until then their walls' outline ends at the gaps move with
  // them, which is no plan to show or to save. Only the Point and Opening
  // selections mark corners and openings: after any other no opening moves
  // without its wall and no wall is stretched, and the list need not be
  // searched for them.
  const WallOpeningsMoved openings = points ? wall_openings_before_move() : WallOpeningsMoved{};
  for (;;) {
    view_zoom_to_extents(1);
    if (!edit_ask_vector(r, d)) break;
    // A stretch that would leave an opening outside its wall is not made.
    if (points && !wall_stretch_keeps_openings(d.x, d.y, d.z)) continue;
    // Walls moved away from walls that stay are joined to them again where
    // they still meet, and closed where they no longer do.
    const WallJointPlan joints = wall_joints_of_marked();
    // Elements with marked points go into the step too; without any, the
    // list need not be searched for them.
    undo_record(points ? UNDO_CHANGE_POINTS : UNDO_CHANGE, 0);
    draw_selected(DRAW_ERASE);
    xform_move_marked(d.x, d.y, d.z);
    wall_joints_refit(joints);
    draw_selected(DRAW_NORMAL);
    moved = true;
    // The placement takes the openings' marks, so a further vector would
    // find nothing of them to move: the run ends with this one.
    if (!openings.walls.empty()) {
      wall_place_moved_openings(openings);
      break;
    }
  }
  select_clear(0);
  // Only what this run moved is fitted anew: the re-fit replaces records
  // inside the newest undo step, which is this run's last move. Walls whose
  // corners were stretched got their outlines, joints included, with each
  // vector; the re-fit would rebuild them without their joints. Only the
  // Point and Opening selections mark single points: after any other there
  // is nothing to fit, and no point mark to clear.
  if (!points) return;
  if (moved) {
    for (ElemHeader* e = elem_list_head; e; e = e->next)
      if (auto* w = elem_as<WallElem>(e)) wall_clear_outline_point_marks(*w);
    xform_stretch_marked_points();
    elem_purge_marked();
  }
  select_clear(2);
}
