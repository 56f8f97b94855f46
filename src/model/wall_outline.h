#pragma once

// The plan geometry of walls: corners from an axis, the plain outline of
// four corners, cutting an opening into a wall's outline, and rebuilding a
// wall from its corners and openings.
//
// Corners 0..3 run counter-clockwise at the base, 4..7 above them. Face 0-1
// lies on the right of the wall's direction, face 2-3 on the left; the start
// face joins 3 and 0, the end face 1 and 2. Outline segment ends that lie on
// a corner are exact copies of its x and y. A change that adds or removes
// segments or openings appends a new wall and leaves the old one to the
// caller.

#include <optional>
#include <vector>

#include "model/elem.h"

// x and y of plan corners 0..3, written by wall_corners_from_axis.
extern double wall_corner_bank[8];

// The plan corners of a wall on the axis S->E with half thickness h.
void wall_corners_from_axis(double sx, double sy, double ex, double ey, double h);
// The same operation under the name the face rubber band uses.
void wall_band_corners(double sx, double sy, double ex, double ey, double h);

// The closed outline 0->1, 1->2, 2->3, 3->0 of four plan corners.
void wall_outline_quad(double x0, double y0, double x1, double y1, double x2, double y2, double x3, double y3,
                       WallSegment out[4]);

// Cuts the opening with the box corners box (0 and 1 on the outer face,
// counter-clockwise in plan) into wall. Returns the new wall, appended at the
// end of the list with wall's group, or wall itself when the opening does not
// fit into one outline segment on each face. wall is never changed.
WallElem* opening_cut_wall(const Point3 (&box)[8], int kind, int style, double sill, double height,
                           double stop_width, double stop_depth, int quadrant, WallElem* wall);

// Appends a copy of wall in which the openings flagged in recut (one flag per
// opening) are taken out of the outline and cut in again at their present
// corners: their jambs go, the face pieces on both sides of each gap are
// joined again, and the rest of the outline, joints to other walls
// included, stays as it was. A flagged opening that is removed, or no longer
// fits where it now is, is dropped. Returns the copy (the list's tail, with
// wall's group), or wall itself when a flagged opening's gap is not found in
// the outline. wall is never changed; intermediate records are freed.
WallElem* wall_recut_openings(WallElem* wall, const std::vector<bool>& recut);

// segs becomes w's outline with the gaps of the flagged openings (one flag
// per opening) closed as wall_recut_openings closes them, joints kept.
// False when a flagged gap is not found; segs is then left alone.
bool wall_outline_close_gaps(const WallElem& w, const std::vector<bool>& flags,
                             std::vector<WallSegment>& segs);
// Cuts the opening box into the outline segs as opening_cut_wall does.
// False, segs unchanged, when it does not fit into one segment of each face.
bool wall_outline_cut_box(const Point3 (&box)[8], double stop_width, double stop_depth,
                          std::vector<WallSegment>& segs);

// Replaces wall by a copy with the plain outline of its corners and every
// opening that still fits cut in again (removed openings are dropped), with
// wall's group. The old record is erased on the screen and freed, the new
// one drawn; it is returned and is the list's tail. Records no undo step.
WallElem* wall_rebuild_outline(WallElem* wall);

// ---- Joints between walls ----

// 1 when the walls cannot touch: their plan boxes, grown by 0.01, do not
// overlap, or one stands wholly at or above the other; else 0.
int wall_pair_apart(const WallElem& a, const WallElem& b);
// The outline a gets when it is connected to b: the first segment of a (in
// order) that lies on a side of b (sides 0..3 in order) is taken out, and
// the face running past that side is continued to b's corners. None when
// the walls are apart, a has no segments or none lies on a side of b.
std::optional<std::vector<WallSegment>> wall_connected_outline(const WallElem& a, const WallElem& b);
// Whether the outlines of a and b are connected with each other: one of
// them lacks the segment on a side of the other that its plain outline has.
bool wall_joined(const WallElem& a, const WallElem& b);

// The walls whose joints an edit changes: each wall the edit carries
// (marked) or stretches (a marked corner) that is joined to a wall it
// leaves, or that it stretches, and that wall, each with every wall it is
// joined to; and the ends among them that lay on a side of the other wall.
// Taken before the edit; the pointers must stay valid until the refit.
struct WallJointPlan {
  struct Wall {
    WallElem* wall;
    std::vector<WallElem*> partners;
  };
  // An end of wall lay on a long face of partner (a T joint, on_face) or
  // on one of its end faces (a corner, once for the pair).
  struct End {
    WallElem* wall;
    WallElem* partner;
    bool on_face;
    // Set to wall or partner when a wall tool moved that one's end on
    // purpose: the joint is settled around it (wall_joints_settle).
    const WallElem* changed = nullptr;
  };
  std::vector<Wall> walls;
  std::vector<End> ends;
  // A plan for copies: only the marked walls (the copies) may be fitted;
  // the walls they land on keep their corners.
  bool copies = false;
  // Whether a settled joint may fit the changed wall itself when its
  // partner cannot be fitted to it.
  bool fit_changed = true;
};
WallJointPlan wall_joints_of_marked();
// Leaves the marked walls out of the plan: they are about to be deleted,
// and their partners are closed where they met them.
void wall_joints_drop_marked(WallJointPlan& plan);

// A wall tool replaced old by the walls in by (pieces of it, or its new
// record): each of them takes old's place in the plan, with old's partners
// and ends, and old's partners are joined to each of them that touches.
void wall_joints_replace(WallJointPlan& plan, WallElem* old, const std::vector<WallElem*>& by);
// A wall tool moved the ends of the walls in changed where the user asked:
// a joint of theirs that the move broke is not put back by fitting the
// changed wall to its partner as an edit's move is. The partner's end that
// now lies in or on the changed wall is fitted onto that wall's face as a
// T joint; where it cannot be (the partner runs through, or its openings
// leave no room), with fit_changed, the changed wall's end goes back onto
// the partner's face (a wall cannot pass through a partner it stands on);
// otherwise the joint is left as the move made it.
void wall_joints_settle(WallJointPlan& plan, const std::vector<WallElem*>& changed, bool fit_changed);

// The joints of the marked walls, taken before they are copied: the
// originals in list order and their plan.
struct WallCopyJoints {
  std::vector<WallElem*> originals;
  WallJointPlan plan;
};
WallCopyJoints wall_copy_joints();
// The plan that joins copies of the originals where they land: each set
// holds one copy of each original, in the originals' order. A copy is
// joined to the walls its original was joined to (to the copies of them in
// its own set where they were copied too), and those walls to every copy.
WallJointPlan wall_joints_of_copies(const WallCopyJoints& joints,
                                    const std::vector<std::vector<WallElem*>>& sets);

// After the edit. First the ends: a joined end that still touches its
// partner is fitted to it again, a T end onto the partner's face that its
// axis meets first from its other end (trimmed where it pokes in, carried
// on where it stops short), a corner mitred again; a fit that would fold a
// wall, turn it round or leave an opening no room is not made. Then every
// wall of the plan gets the outline of its corners connected again with
// those of its partners it still touches, and its openings cut in again. A
// joint that would leave no room for an opening (a wall moved in front of a
// window) is not made: both walls stay closed there and the opening stays.
// An opening that does not fit the wall's own outline either is dropped. A
// partner moved away leaves both walls closed at that end. The walls change
// in place; unmarked ones are first added to the newest undo step and
// redrawn unless a point of theirs is marked; marked ones and stretched
// ones are left for the tool to draw.
void wall_joints_refit(const WallJointPlan& plan);
// Clears the point marks of a wall's corners, gable points and outline
// when a corner is marked: a stretch that fitted the wall's outline with
// every vector leaves nothing for the re-fit at its end. Its openings'
// marks stay.
void wall_clear_outline_point_marks(WallElem& w);
