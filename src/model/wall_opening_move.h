#pragma once

// Openings moved on their own. The Opening selection marks an opening's
// corners and the outline ends at its gap; a move carries those points, and
// afterwards the opening must find a wall that holds it where it landed.

#include <vector>

#include "model/elem.h"

// The walls that hold openings and have marked points, as they are before
// a move: those whose openings are about to move without them (some
// opening corners marked, none of the wall's own points) and those about to
// be stretched (corners marked). The pointers must stay valid until the
// placement.
struct WallOpeningsMoved {
  struct Held {
    WallElem* wall;
    Point3 corner[8];
    Point3 gable_a, gable_b;
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
// stretch re-fit leaves them alone. A wall stretched so far that one of its
// openings no longer fits in it goes back to how it was, with the same
// message, rather than lose the opening in the re-fit.
void wall_place_moved_openings(const WallOpeningsMoved& before);
