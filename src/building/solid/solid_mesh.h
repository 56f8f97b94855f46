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

// The volume the faces enclose, with faces fanned from their first vertex
// (any planar polygon, convex or not, counts with its true area): positive
// for a closed mesh wound as above, negative for one that is inside out,
// about 0 for a flat or open one. Faces with an index outside the vertices
// are left out.
double solid_volume(const std::vector<Point3>& vertices, const std::vector<int32_t>& face_sizes,
                    const std::vector<int32_t>& indices);
inline double solid_volume(const SolidMesh& m) { return solid_volume(m.vertices, m.face_sizes, m.indices); }

// Reverses every face of a mesh that encloses a negative volume, so that a
// solid built from a negative height or a mirrored outline is still wound
// clockwise seen from outside. The vertices keep their places.
void solid_wind_outward(std::vector<Point3>& vertices, std::vector<int32_t>& face_sizes,
                        std::vector<int32_t>& indices);
inline void solid_wind_outward(SolidMesh& m) { solid_wind_outward(m.vertices, m.face_sizes, m.indices); }

// The fewest and most divisions of a rotational solid.
inline constexpr int SOLID_MIN_DIVISIONS = 3;
inline constexpr int SOLID_MAX_DIVISIONS = 120;
// A number of divisions brought into SOLID_MIN_DIVISIONS .. SOLID_MAX_DIVISIONS.
int solid_clamp_divisions(int n);

// The box over the plan rectangle (x0, y0) - (x1, y1) (x0 <= x1, y0 <= y1)
// from zb up to zt: vertices 0-3 the lower corners counter-clockwise from
// (x0, y0), 4-7 the upper ones; bottom, top, then the four sides. Other
// corners or zt below zb give the same faces, each reversed where that
// winds the box outward.
SolidMesh solid_cuboid(double x0, double y0, double x1, double y1, double zb, double zt);

// Brings a plan polygon (no end marker) into clockwise order seen from
// above, with its first point at a convex corner. A polygon with no convex
// corner to the right (a degenerate one) is left in its clockwise order.
void solid_orient_plan(std::vector<Point2>& pts);

// The flat polygon as two faces, [0 .. V-1] and [V-1 .. 0].
SolidMesh solid_flat_polygon(const std::vector<Point3>& pts);

// The prism between the bottom and top polygons (equal sizes, point k of
// the top above point k of the bottom): bottom points, then top points; the
// side quads, the bottom [V-1 .. 0], the top [V .. 2V-1]. Where the top lies
// on the other side (a negative height) or the bottom runs the other way,
// every face is reversed, so the prism is still wound outward.
SolidMesh solid_prism(const std::vector<Point3>& bottom, const std::vector<Point3>& top);

// The solid between circles of radius r1 about p1 and r2 about p2 with n
// divisions (n at least 1): a cone (apex p2) when r2 is exactly 0, else a
// frustum. A zero axis gives every circle point at its centre. A negative
// radius is taken as its size: the circle is the same either way.
SolidMesh solid_frustum(Point3 p1, Point3 p2, double r1, double r2, int n);

// The sphere of 24 segments and 12 rings: 266 vertices, 288 faces. A
// negative radius is taken as its size.
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
