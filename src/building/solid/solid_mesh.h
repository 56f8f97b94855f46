#pragma once

// The meshes of the 3D element tools as plain data: vertices and faces,
// nothing drawn, nothing appended. Every closed solid is wound so that,
// seen from outside, the vertices of each face run clockwise (the normal
// (p1 - p0) x (p2 - p1) points into the solid); each edge of a closed solid
// is used once in each direction. The flat polygon is the one open mesh:
// one face in each winding.

#include <vector>

#include "model/elem.h"

struct SolidMesh {
  std::vector<Point3> vertices;
  std::vector<int32_t> face_sizes;
  std::vector<int32_t> indices;  // all faces, concatenated, 0-based
  int vertex_count() const { return static_cast<int>(vertices.size()); }
  int face_count() const { return static_cast<int>(face_sizes.size()); }
};

// The fewest and most divisions of a rotational solid.
inline constexpr int SOLID_MIN_DIVISIONS = 3;
inline constexpr int SOLID_MAX_DIVISIONS = 120;
// A number of divisions brought into SOLID_MIN_DIVISIONS .. SOLID_MAX_DIVISIONS.
int solid_clamp_divisions(int n);

// The box over the plan rectangle (x0, y0) - (x1, y1) (x0 <= x1, y0 <= y1)
// from zb up to zt: vertices 0-3 the lower corners counter-clockwise from
// (x0, y0), 4-7 the upper ones; bottom, top, then the four sides.
SolidMesh solid_cuboid(double x0, double y0, double x1, double y1, double zb, double zt);

// Brings a plan polygon (no end marker) into clockwise order seen from
// above, with its first point at a convex corner. A polygon with no convex
// corner to the right (a degenerate one) is left in its clockwise order.
void solid_orient_plan(std::vector<Point2>& pts);

// The flat polygon as two faces, [0 .. V-1] and [V-1 .. 0].
SolidMesh solid_flat_polygon(const std::vector<Point3>& pts);

// The prism between the bottom and top polygons (equal sizes, point k of
// the top above point k of the bottom): bottom points, then top points; the
// side quads, the bottom [V-1 .. 0], the top [V .. 2V-1].
SolidMesh solid_prism(const std::vector<Point3>& bottom, const std::vector<Point3>& top);

// The solid between circles of radius r1 about p1 and r2 about p2 with n
// divisions (n at least 1): a cone (apex p2) when r2 is exactly 0, else a
// frustum. A zero axis gives every circle point at its centre.
SolidMesh solid_frustum(Point3 p1, Point3 p2, double r1, double r2, int n);

// The sphere of 24 segments and 12 rings: 266 vertices, 288 faces.
SolidMesh solid_sphere(Point3 centre, double r);

// The signed height of a prism over the polygon p (at least three points)
// whose top is to lie in the plane through P parallel to the polygon: the
// distance of P from the polygon's plane, positive when P lies on the side
// into which -n points (n the unit normal of (p1 - p0) x (p2 - p1)),
// negative on the side of n.
double solid_prism_height_to(const std::vector<Point3>& p, Point3 point);

// The top of a prism of height h over p: each point moved by -h n. A
// negative h first reverses p (which reverses n), so the top lies on the
// same side either way; p is left as the prism's bottom.
std::vector<Point3> solid_prism_top(std::vector<Point3>& p, double h);
