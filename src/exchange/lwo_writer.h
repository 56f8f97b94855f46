#pragma once

// LightWave object export (p_file_export_lwo): the marked meshes, with the
// marked walls turned into meshes, as one object file of the older "LWOB"
// kind: an IFF file of a point list, a surface name list, a polygon list and
// one surface description per material. Every number is big-endian.
// Coordinates are relative to a reference point the user clicks, with the
// drawing's height as the file's second axis. Faces are written as they are
// stored, with any number of vertices.

#include <cstdint>
#include <cstdio>

#include "model/elem.h"

// Polygons address their vertices by 16-bit numbers: one file holds at most
// this many vertices in all.
inline constexpr int64_t LWO_MAX_VERTICES = 65536;

// The vertices of all marked meshes together.
int64_t lwo_marked_vertex_count();

// Writes the file of the marked meshes, in list order, relative to ref. The
// material table holds every material the meshes name (mat_register was
// called for each); a mesh whose material is not in it gets the first
// surface. The caller keeps to LWO_MAX_VERTICES. False when a write failed.
bool lwo_write(std::FILE* f, const Point3& ref);

// The command: asks the scope, the reference point ("Point:",
// "Move/Confirm:") and the file ("Export LWOB..." on export_file and
// export_path), collects the materials, refuses an export of more than
// LWO_MAX_VERTICES vertices, writes through a temporary file and clears
// every mark on the way out.
void lwo_export();
