#pragma once

// GTS surface files as this program writes and reads them, and the mesh
// clean-up steps every import and every boolean result passes through.
//
// The text format: a header "V E T GtsSurface GtsFace GtsEdge GtsVertex",
// then V lines of vertex coordinates, E lines of edges (two 1-based vertex
// numbers) and T lines of triangles (three 1-based edge numbers). A
// triangle (t0, t1, t2) is written as the edges {t2, t0}, {t1, t2},
// {t0, t1}; the reader builds it from its first two edges as (end of the
// first not shared, shared vertex, end of the second not shared). So a file
// read back with flip 1 (first and third edge swapped) keeps the written
// winding, and with flip 0 reverses it.
//
// The clean-up operations leave their input alone: each appends a new mesh
// on cur_layer (cur_pen, cur_line_type, material "Default", flag 0) and the
// caller removes the input. Their statistics lines go to standard output.

#include <cstdint>
#include <cstdio>
#include <functional>
#include <vector>

#include "model/elem.h"

// Vertices read closer than this are one vertex.
inline constexpr double GTS_DUPLICATE_DISTANCE = 1e-6;
// A triangle whose summed projected areas are below this is degenerate.
inline constexpr double MESH_DEGENERATE_AREA = 1e-6;
// A vertex no triangle uses is put into an edge closer than this.
inline constexpr double GTS_LEFTOVER_DISTANCE = 1e-5;

// Appends the edge (a, b) unless the pair is present in either direction;
// returns the new count. first and second are the edges' vertex numbers.
int gts_edge_add(std::vector<int32_t>& first, std::vector<int32_t>& second, int a, int b, int count);
// 1-based position of the pair (a, b) in either direction, 0 when absent.
int gts_edge_find(const std::vector<int32_t>& first, const std::vector<int32_t>& second, int a, int b,
                  int count);

// One block per marked MeshElem, in list order. Returns 1 when every byte
// reached the file, else 0.
int gts_write_marked(FILE* f);

// Reads one block from the current position and appends it as one mesh of
// triangles. flip 1 keeps the written winding. Returns 1 after appending a
// mesh, 0 when the block is empty, malformed or holds nothing usable (the
// drawing is then unchanged). step, when given, is called once per point,
// edge and triangle read (the import shows its progress by it); when it
// returns false the reading stops there and 0 is returned.
int translate_gts_kavro(FILE* f, int flip, const std::function<bool()>& step = {});

// 1 when the triangle of vertices i, j, k is degenerate.
int mesh_triangle_degenerate(const Point3* vertices, int i, int j, int k);
// Removes the first corner of the face (n corners in corners) that forms a
// degenerate triangle with its neighbours and returns 1; 0 when none does.
int mesh_face_drop_degenerate_vertex(int n, int32_t* corners, const Point3* vertices);
// Keeps only the vertices a face uses, in their order, renumbers the indices
// and returns the new vertex count.
int mesh_compact_points(int v, int f, const int32_t* face_sizes, Point3* vertices, int32_t* indices);

// Append the union of a and b, the cleaned mesh, the repaired mesh.
void merge3d(const MeshElem& a, const MeshElem& b);
void clean3d(const MeshElem& mesh);
void repair3d(const MeshElem& mesh);

// Passes the last element of the list, a mesh, through tri_merge_triangles,
// clean3d and repair3d, each result replacing the one before (the mesh
// itself included): what an import or a boolean result goes through. Every
// other element must be unmarked.
void mesh_clean_up_last();
