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

// Reads the first block of text. Vertices closer than 1e-6 become one;
// triangles with a repeated vertex, a tiny area or first two edges that
// share no vertex are dropped. A triangle is (end of its first edge not
// shared with the second, the shared vertex, end of the second not shared).
// Returns false, with a reason, when the block is malformed (a short read,
// a number out of range, counts the text cannot hold); an empty block
// (a count of 0 or less) is not malformed and gives an empty mesh.
bool bso_parse(std::string_view text, BsoMesh& out, std::string& why);

// Splits every triangle that has another vertex strictly inside one of its
// edges, until none has; the pieces keep the triangle's orientation.
// Returns the number of splits.
int bso_repair_t_junctions(BsoMesh& mesh);

// Drops pairs of triangles over the same three vertices in opposite
// orientation (the two sides of a sheet of no thickness) and repeated
// copies of one triangle. Returns the number dropped.
int bso_drop_duplicate_triangles(BsoMesh& mesh);

// Drops vertices no triangle uses and renumbers the triangles.
void bso_compact(BsoMesh& mesh);

// The signed volume the triangles enclose (positive when they face
// outward).
double bso_volume(const BsoMesh& mesh);

// The block text of a mesh: header, vertices, edges in first-seen order and
// direction, and for every triangle (a, b, c) the edges {a, b}, {b, c},
// {c, a}, which bso_parse reads back as (a, b, c).
std::string bso_format(const BsoMesh& mesh);
