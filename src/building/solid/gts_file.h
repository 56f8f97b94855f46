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
#include <string>
#include <vector>

#include "model/elem.h"
#include "model/triangulate.h"

// Vertices read closer than this are one vertex.
inline constexpr double GTS_DUPLICATE_DISTANCE = 1e-6;
// A triangle whose summed projected areas are below this share of the
// square of its longest side is degenerate: its corners lie on one line
// within the rounding of its own size, however small or large it is.
inline constexpr double MESH_DEGENERATE_SHARE = 1e-9;
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

// Why a block was not read, and where.
struct GtsReadError {
  enum Kind {
    NONE,
    CANCELLED,           // step said stop
    HEADER,              // no three counts and four words
    NEGATIVE_COUNT,      // a count below zero
    EMPTY,               // a count of zero
    COUNTS_BEYOND_FILE,  // more lines counted than the file holds
    POINT,               // point item is no three numbers
    POINT_NOT_FINITE,    // point item has a coordinate that is NaN or infinite
    POINT_OUT_OF_RANGE,  // point item has a coordinate beyond IMPORT_RANGE
    ENDS_IN_POINTS,      // the file ends before point item
    EDGE,                // edge item is no two numbers
    EDGE_POINT,          // edge item names point value, beyond limit points
    ENDS_IN_EDGES,
    TRIANGLE,       // triangle item is no three numbers
    TRIANGLE_EDGE,  // triangle item names edge value, beyond limit edges
    ENDS_IN_TRIANGLES,
    NO_AREA,  // no triangle with an area, or fewer than three points
  };
  Kind kind = NONE;
  long long line = 0;  // the line the fault is on, from 1
  long long item = 0;  // the number of the point, edge or triangle, from 1
  long long value = 0;
  long long limit = 0;
  long long counts[3] = {0, 0, 0};  // the header's counts, once read
  // Also of a block that was read: the triangles left out of it, those
  // whose two edges share no point and those whose corners became fewer
  // than three vertices.
  long long unjoined = 0, collapsed = 0;
};

// What the user is told of a refused block: the error box's text, the
// reason translated. A cancelled reading has none.
std::string gts_read_error_message(const GtsReadError& error);
// What the user is told of the triangles left out of a block that was
// read; empty when none was.
std::string gts_left_out_message(const GtsReadError& error);

// Reads one block from the current position and appends it as one mesh of
// triangles. flip 1 keeps the written winding. Returns 1 after appending a
// mesh, 0 when the block is empty, malformed or holds nothing usable (the
// drawing is then unchanged; why, when given, says what is wrong). step,
// when given, is called once per point, edge and triangle read (the import
// shows its progress by it); when it returns false the reading stops there
// and 0 is returned. Only a triangle whose corners became fewer than three
// vertices is left out: a closed surface stays closed.
int translate_gts_kavro(FILE* f, int flip, const std::function<bool()>& step = {},
                        GtsReadError* why = nullptr);

// 1 when the triangle of vertices i, j, k is degenerate for its size.
int mesh_triangle_degenerate(const Point3* vertices, int i, int j, int k);
// Removes the first corner of the face (n corners in corners) that forms a
// degenerate triangle with its neighbours and returns 1; 0 when none does.
int mesh_face_drop_degenerate_vertex(int n, int32_t* corners, const Point3* vertices);
// Keeps only the vertices a face uses, in their order, renumbers the indices
// and returns the new vertex count.
int mesh_compact_points(int v, int f, const int32_t* face_sizes, Point3* vertices, int32_t* indices);

// Append the union of a and b, the cleaned mesh, the repaired mesh. The
// last two are told how far they are and return false, appending nothing,
// when progress says stop. repair3d puts into each edge, in order along
// it, every vertex that lies on it for the edge's size (its foot between
// the ends and its distance from the edge's line below a millionth of the
// edge's length, its foot no nearer than that to either end).
void merge3d(const MeshElem& a, const MeshElem& b);
bool clean3d(const MeshElem& mesh, const TriProgress& progress = {});
bool repair3d(const MeshElem& mesh, const TriProgress& progress = {});

// Passes the last element of the list, a mesh, through tri_merge_triangles,
// clean3d and repair3d, each result replacing the one before (the mesh
// itself included): what an import or a boolean result goes through, in
// about linear time. Every other element must be unmarked. progress is
// told how far the three steps are (0..1); when it says stop, false is
// returned and the last mesh is the one of the step reached, for the
// caller to remove. off_plane goes to tri_merge_triangles.
bool mesh_clean_up_last(const TriProgress& progress = {}, double off_plane = -1);
