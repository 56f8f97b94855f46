#pragma once

// The generators of building parts: gable walls, round and rectangular
// pillars, beams, straight stairways, window frames in openings and ceiling
// slabs, each from a few values asked once and then one or two picks per
// part, until cancelled.
//
// The gable wall is a wall with its gable points; everything else is made
// of meshes (building/solid/archgen_mesh.h) on the current layer with the
// current pen (never the guide pen) and line type and the current
// material's name; window panes get the glazing material. Every part is one
// undo step; a stairway (its treads and plan symbol) and a window frame are
// one undo step and one group each.

#include <optional>

#include "building/wall_tools.h"

// The handlers of the b_unit_ keys.
void tool_unit_gablewall();
void tool_unit_rpillar();
void tool_unit_pillar();
void tool_unit_beam();
void tool_unit_stairway();
void tool_unit_profile();
void tool_unit_ceiling();

// The gable wall between two opposite corners (any order): the longer side
// of the rectangle is its length (along y for a square), its corners stand
// from base to top, and the gable points lie at mid-length of its two long
// faces at the ridge. None when the rectangle is flat.
struct GableWall {
  WallCorners c;
  Point3 a, b;
};
std::optional<GableWall> archgen_gable_wall(double x0, double y0, double x1, double y1, double base,
                                            double top, double ridge);
