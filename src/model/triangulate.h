#pragma once

// Splitting mesh faces into triangles by ear clipping, for the writers that
// take triangles only, and joining the coplanar triangles of a triangle mesh
// back into polygons.
//
// An exporter runs tri_faces_new(mesh), tri_triangulate_faces, reads
// triangle_count and the corner arrays t0, t1, t2, and ends with
// tri_faces_free. Triangles follow the faces' order and keep each face's
// turning sense: triangle k is (t0[k], t1[k], t2[k]) = (vertex before the
// cut vertex, cut vertex, vertex after it).

#include <cstdint>
#include <functional>
#include <vector>

#include "model/elem.h"

struct FaceList {
  int32_t vertex_count = 0;
  int32_t face_count = 0;
  std::vector<Point3> vertices;
  std::vector<int32_t> face_sizes;
  std::vector<int32_t> indices;  // face after face, 0-based vertex numbers

  // Work state while a face is split; indexed by vertex number (work) or by
  // position in the unsplit rest of the face (the others).
  std::vector<Point2> work;
  int32_t remaining_count = 0;
  std::vector<int32_t> remaining;
  std::vector<int32_t> ear_flags;   // 1 = valid ear
  std::vector<double> ear_quality;  // smallest interior angle, degrees

  int32_t triangle_count = 0;
  std::vector<int32_t> t0, t1, t2;
  std::vector<int32_t> face_of;  // per triangle, the number of its face
};

// A new list holding copies of the mesh's vertices, face sizes and indices.
FaceList* tri_faces_new(const MeshElem* mesh);
// Splits every face and appends its triangles. The int is accepted for the
// callers that pass a mode; it changes nothing. A face that is degenerate in
// every projection, has fewer than three corners or names a vertex that does
// not exist yields no triangle.
void tri_triangulate_faces(FaceList* list, int mode);
void tri_faces_free(FaceList* list);

// Signed area of the polygon through pts[idx[0]], ..., pts[idx[n-1]].
double tri_subpolygon_area(int n, const int32_t* idx, const Point2* pts);
// Appends (remaining[i-1], remaining[i], remaining[i+1]), positions wrapping,
// and removes position i.
void tri_cut_ear(FaceList* list, int i);
// Smallest interior angle of the triangle in degrees; 0 when it has a side of
// length 0.
double tri_min_angle(Point2 a, Point2 b, Point2 c);

// Told how far long work is (0..1) now and then; false stops the work.
using TriProgress = std::function<bool(double fraction)>;

// Appends a new mesh (cur_layer, cur_pen, cur_line_type, material "Default",
// flag 0) whose faces are the coplanar, edge-sharing triangles of mesh joined
// into polygons, and returns true. Faces of another size than 3 contribute
// nothing, nor does a triangle that repeats an earlier one corner for
// corner; one with a repeated vertex comes out alone. The time grows about
// linearly with the triangles. When progress says stop, nothing is
// appended and false is returned. The given mesh is left to the caller.
// "Coplanar" is vec3_same_plane's loose judgement; with off_plane at 0 or
// more, a triangle also joins only when its corners lie within off_plane
// of the plane of the triangle the polygon grew from, so that every
// polygon is flat to that distance and splits into triangles that follow
// the surface (a fine curved mesh's neighbours are nearly coplanar).
bool tri_merge_triangles(const MeshElem* mesh, const TriProgress& progress = {}, double off_plane = -1);
// poly holds n vertex numbers and has room for one more. When the triangle
// (a, b, c) shares an edge with the polygon, its third vertex is inserted
// between that edge's ends and 1 is returned. A triangle whose third vertex
// already belongs to the polygon is refused (0), so no polygon visits a
// vertex twice.
int tri_insert_shared_vertex(int32_t* poly, int n, int32_t a, int32_t b, int32_t c);
