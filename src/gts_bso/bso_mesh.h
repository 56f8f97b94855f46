#pragma once

// The boolean tool's own view of a surface: vertices and oriented
// triangles, read tolerantly from one GTS block as the main program writes
// it, and made watertight where one face's corner lies on another face's
// edge. Nothing here knows the geometry library, so the parser can be
// fuzzed and tested alone.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct BsoMesh {
  std::vector<std::array<double, 3>> vertices;
  // Each triangle (a, b, c) runs counter-clockwise seen from the side its
  // normal (b - a) x (c - a) points to.
  std::vector<std::array<int, 3>> triangles;
};

// Distance below which two vertices are one: the main program's reader
// merges at the same distance, so what this tool writes reads back as
// written.
inline constexpr double BSO_MERGE_DISTANCE = 1e-6;

// Reads the first block of text. Vertices closer than BSO_MERGE_DISTANCE
// become one; triangles with a repeated vertex, no area for the size of the
// whole mesh or first two edges that share no vertex are dropped. A triangle is (end of its first edge not
// shared with the second, the shared vertex, end of the second not shared).
// Returns false, with a reason, when the block is malformed (a short read,
// a number out of range, counts the text cannot hold); an empty block
// (a count of 0 or less) is not malformed and gives an empty mesh.
bool bso_parse(std::string_view text, BsoMesh& out, std::string& why);

// Below this doubled area a triangle over points like these is degenerate
// (bso_parse drops such triangles).
double bso_degenerate_limit(const std::vector<std::array<double, 3>>& points);
// Drops the triangles whose doubled area is below limit; returns how many.
int bso_drop_degenerate(BsoMesh& mesh, double limit);
// The same without opening the surfaces, for parts over one vertex list
// that meet along seams: a triangle of no area has its third corner on its
// longest edge, and the triangle across that edge is split there (at every
// such corner, in order along the edge), unless no triangle left in any
// part uses that corner (the seam then runs along the long edge). Pieces
// of no area go the same way, a few rounds deep. Returns how many
// triangles were dropped.
int bso_drop_degenerate_closed(const std::vector<BsoMesh*>& parts, double limit);

// Splits every triangle that has another vertex strictly inside one of its
// edges that the triangles do not pair up (run one way as often as the
// other), until none has; the pieces keep the triangle's orientation. A
// triangle whose own corner lies on such an edge of its own has no area
// and goes. A point is on an edge within tol of it and farther than tol
// from its ends; a tol of 0 means 1e-6 of the mesh's size (at least 1 m).
// Returns the number of splits.
int bso_repair_t_junctions(BsoMesh& mesh, double tol = 0);

// Drops pairs of triangles over the same three vertices in opposite
// orientation (the two sides of a sheet of no thickness) and repeated
// copies of one triangle. Returns the number dropped.
int bso_drop_duplicate_triangles(BsoMesh& mesh);

// Drops vertices no triangle uses and renumbers the triangles.
void bso_compact(BsoMesh& mesh);

// Reverses every triangle.
void bso_reverse(BsoMesh& mesh);

// How the triangles meet along their edges. An edge is unmatched when it
// runs more often one way than the other (an open crack or faces wound
// against their neighbours), crowded when more than two triangles share
// it.
struct BsoEdgeReport {
  int unmatched = 0;
  int crowded = 0;
};
BsoEdgeReport bso_edge_report(const BsoMesh& mesh);

// Why a surface cannot bound a solid (no faces, open, more than two faces
// on an edge, faces wound against each other) as a sentence about the
// "first" or "second" solid (which), the count of faulty edges after it in
// parentheses; empty when it can.
std::string bso_surface_fault(const BsoMesh& mesh, const char* which);

// Puts every point not marked in fixed back onto the planes of the
// triangles of surfaces it lies within reach of (of the triangle, not only
// of its plane): onto the point where three such planes meet, the line
// where two meet, or the one plane. A point the library made where moved
// faces cross lies within a hair of where it belongs; this puts it there.
// Returns the number of points moved.
int bso_snap_to_planes(std::vector<std::array<double, 3>>& points, const std::vector<char>& fixed,
                       const std::vector<const BsoMesh*>& surfaces, double reach);

// For every point, the point it becomes when points closer than tol are
// made one. A point marked in fixed (an operand's own vertex) is preferred
// as the one the others become.
std::vector<int> bso_weld_map(const std::vector<std::array<double, 3>>& points, double tol,
                              const std::vector<char>& fixed);

// Renumbers the triangles through map and drops those left with a repeated
// vertex. Returns the number dropped.
int bso_renumber(BsoMesh& mesh, const std::vector<int>& map);

// The triangles of a and of b that lie in the plane of a triangle of the
// other (within tol) and touch it.
struct BsoContacts {
  std::vector<char> a, b;
};
BsoContacts bso_contacts(const BsoMesh& a, const BsoMesh& b, double tol);

// For every vertex, the sum of the distinct unit normals of the flagged
// triangles at it; zero where none meets. Pushing a solid's faces that lie
// on another's along these makes the two surfaces cross instead.
std::vector<std::array<double, 3>> bso_push_along(const BsoMesh& mesh, const std::vector<char>& flagged);

// The number of triangles that cover part of a triangle of the opposite
// orientation in the same plane: the two sides of a skin of no thickness,
// which no sound solid has.
int bso_double_skin(const BsoMesh& mesh, double tol);

// The signed volume the triangles enclose (positive when they face
// outward).
double bso_volume(const BsoMesh& mesh);

// The block text of a mesh: header, vertices, edges in first-seen order and
// direction, and for every triangle (a, b, c) the edges {a, b}, {b, c},
// {c, a}, which bso_parse reads back as (a, b, c).
std::string bso_format(const BsoMesh& mesh);
