#pragma once

// Walls as face meshes, for whatever needs a wall as a solid: the body with
// the openings as holes through it, the four reveals of every opening, and
// for a gable wall its two roof faces. The stop of an opening is not
// modelled.
//
// Every face loop runs clockwise seen from outside the body (its normal
// points into the body) for walls whose corners run counter-clockwise in
// plan; a wall whose top lies below its base gets every face reversed, so
// its mesh faces outward too. A long face is one polygon: its loop runs
// along the face's edges and back along the base edge, reaching each hole
// by a bridge edge from the base up to the hole and back down. The base
// face passes through the bridge points too, so that every edge lies in
// exactly two faces. Where an opening stands on the floor, reaches the top
// or an end of the wall, or meets another opening, the faces lying on each
// other are merged or cut away: the mesh stays closed, a point never comes
// twice, and faces may be split into several (the base beside a door).
//
// Most users need the meshes for one operation only: they mark the walls,
// make the meshes on LAYER_TEMP_3D, work on them and drop them again; a
// WallTempMeshes object does the last step on every way out.

#include "model/elem.h"

// Appends the mesh of w on the layer; it becomes elem_list_tail. The wall
// is not changed.
void wall_to_mesh(const WallElem& w, int layer);

// One mesh on LAYER_TEMP_3D for every marked wall, in list order, appended
// unmarked after all other elements.
void wall_marked_to_temp_meshes();

// Deletes every element on LAYER_TEMP_3D, whatever its kind. Elements on
// other layers stay, marked or not, with their marks as they were. Draws
// nothing.
void wall_temp_meshes_drop();

// Makes the temporary meshes of the marked walls when built and drops
// everything on LAYER_TEMP_3D when it goes, however the scope is left.
class WallTempMeshes {
 public:
  WallTempMeshes() { wall_marked_to_temp_meshes(); }
  ~WallTempMeshes() { wall_temp_meshes_drop(); }
  WallTempMeshes(const WallTempMeshes&) = delete;
  WallTempMeshes& operator=(const WallTempMeshes&) = delete;
};
