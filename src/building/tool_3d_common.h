#pragma once

// What the 3D element tools share: appending a built mesh, and the rubber
// bands of a 3D point pair and of a radius about solid_centre.

#include "building/solid/solid_mesh.h"
#include "display/input.h"

// Appends m on cur_layer with pen, cur_line_type, the current material's
// name and flag; records it as one undo step and draws it.
void solid_append(const SolidMesh& m, int pen, int flag);

// True in the plan view, where the plan rubber bands are shown.
bool solid_plan_view();

// From the projection of the first entered point to the pointer, and to the
// projection of the second.
void preview_3d_line(InputRequest* r, double x, double y);
void preview_3d_line_confirm(InputRequest* r, double x, double y);
// The circle about the plan position of solid_centre through the pointer,
// and through the entered point.
void preview_3d_radius(InputRequest* r, double x, double y);
void preview_3d_radius_confirm(InputRequest* r, double x, double y);
