#pragma once

// The 3D element tools: 3D lines, cuboids, flat 3D polygons, prisms, tubes,
// cones, cut cones and spheres, and giving marked meshes and walls the
// current material. Every solid goes on the current layer with the current
// pen and line type and the current material's name; each is one undo
// step. The meshes themselves come from building/solid/solid_mesh.h.

#include "model/elem.h"

// The handlers of the b_3d_ keys.
void tool_3d_line();
void tool_3d_cuboid();
void tool_3d_polygon();
void tool_3d_prism();
void tool_3d_tube();
void tool_3d_cone();
void tool_3d_cutcone();
void tool_3d_sphere();
void tool_3d_material();
// Union, difference (first minus second) and intersection of two picked
// meshes or walls.
void tool_3d_union();
void tool_3d_difference();
void tool_3d_intersection();

// What the rotational solids and the sphere keep between passes and runs:
// the centre of the base circle (or of the sphere), the centre of the top
// circle, and the two radii.
extern Point3 solid_centre;
extern Point3 solid_top;
extern double solid_radius;
extern double solid_top_radius;

// Appends the solid between the circle of radius r1 about p1 and that of
// radius r2 about p2 with n divisions (a cone when r2 is exactly 0), records
// its undo step and draws it.
void solid_add_frustum(Point3 p1, Point3 p2, double r1, double r2, int n);
