#pragma once

// Openings moved on their own. The Opening selection marks an opening's
// corners and the outline ends at its gap; a move carries those points, and
// afterwards the opening must find a wall that holds it where it landed.

#include <vector>

#include "model/elem.h"

// The walls whose openings are about to move without them (some opening
// corners marked, none of the wall's own points), as they are before the
// move. The pointers must stay valid until the placement.
struct WallOpeningsMoved {
  struct Held {
    WallElem* wall;
    std::vector<WallSegment> segments;
    std::vector<WallOpening> openings;
  };
  std::vector<Held> walls;
};
WallOpeningsMoved wall_openings_before_move();

// After the move: every moved opening of those walls is taken out of its
// wall's outline where it was and cut in where it now is, into the same wall
// when it fits there, else into another wall of the layer that holds it (it
// then belongs to that wall). An opening that fits nowhere stays where it
// was, exactly, and an error box says why. The walls keep their joints to
// other walls; each changes in place within the newest undo step, and the
// point marks of the walls that held moved openings are cleared, so that the
// stretch re-fit leaves them alone.
void wall_place_moved_openings(const WallOpeningsMoved& before);

// Before a move of the marked points by (dx, dy, dz): false, after an error
// box that says why, when a wall whose corners would move (a stretch) would
// no longer hold one of its openings in its own outline, which the re-fit
// would drop. The move of that vector is then not made.
bool wall_stretch_keeps_openings(double dx, double dy, double dz);
// The same before a scale of the marked elements about (x0, y0, z0) by
// the factors given: false, after the same error box, when a marked wall
// would no longer hold one of its openings. The scale is then not made.
bool wall_scale_keeps_openings(double x0, double y0, double z0, double fx, double fy, double fz);
