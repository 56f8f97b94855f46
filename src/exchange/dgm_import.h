#pragma once

// Terrain grid import (p_file_import_dgm): a text file of grid points, one
// "x y z" per line, ordered by x (all points of one x value, then the next
// x value), becomes one mesh of two triangles per grid cell. The mesh is
// moved so that the smallest x and y become 0; heights stay as they are.
//
// The data ends at the end of the file (a last line needs no line end) or
// at the first line after the first that has 5 characters or fewer (an
// empty line) or only blanks. A grid that cannot make a mesh is refused
// with a message and leaves the drawing as it was: a point line without
// three finite numbers, a coordinate beyond the import's range, fewer than two x values or fewer than two
// points per x value, x values with differing numbers of points, x values that go back, or more points than
// memory can hold (dgm_point_limit). The reading stops at the first line that shows the fault, so a large
// faulty file is not read to its end.

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "model/elem.h"

enum class DgmError {
  NONE,
  NOT_A_POINT,   // a point line that does not hold three finite numbers (line number in error_line)
  TOO_SMALL,     // fewer than two x values or fewer than two points per x value
  IRREGULAR,     // the x values do not all have the same number of points
  TOO_MANY,      // more points than the limit (in limit)
  OUT_OF_RANGE,  // a coordinate beyond what a drawing holds (import_range.h; line number in error_line)
  CANCELLED,     // the reading was stopped (Cancel in the progress window): no error
};

struct DgmGrid {
  DgmError error = DgmError::NONE;
  int64_t error_line = 0;
  int64_t limit = 0;           // the most points the reading took
  std::vector<Point3> points;  // in file order, as read
  int64_t xnum = 0;            // the number of x values (1 + the x changes)
  int64_t ynum = 0;            // points per x value (points / xnum)
  Point3 min, max;             // of the points read
  // The line that ended the data before the file's end, and how many lines
  // after it hold more than blanks: they are not read, and the import says so.
  int64_t end_line = 0;
  int64_t unread_lines = 0;
};

// The most points a grid may have: what a quarter of the machine's memory
// holds at 128 bytes a point (the points read, then the mesh's vertices and
// faces), and never more than the 32-bit face numbers of a mesh address.
int64_t dgm_point_limit();

// First pass: reads the points and counts the grid. step, when given, is
// called once per line read (the import shows its progress by it); when it
// returns false the reading stops with CANCELLED and no points. max_points
// (dgm_point_limit() when 0) bounds the points; since a grid has two x
// values at least, a first x value of more than half as many points is
// refused at once. On an error the counts are those of the points read.
DgmGrid dgm_read(std::FILE* f, const std::function<bool()>& step = {}, int64_t max_points = 0);

// The summary of a grid as the import prints it: the counts, the ranges of
// x, y and z and the grid spacing.
std::string dgm_summary(const DgmGrid& grid);

// The mesh of a grid without error.
struct DgmMesh {
  std::vector<Point3> vertices;  // the points moved by (-min x, -min y, 0)
  std::vector<int32_t> indices;  // three per triangle
};
// Second pass: the vertices and the triangles. The cell of x column i and
// y row k, with a = i * ynum + k, gives (a, a + 1, a + ynum + 1) and
// (a, a + ynum + 1, a + ynum), x column by x column.
DgmMesh dgm_mesh(const DgmGrid& grid);
// The same, taking the grid's points over as the vertices.
DgmMesh dgm_mesh(DgmGrid&& grid);

// The message for a refused grid, in English (translate it to show it), and
// the line number where it has one.
const char* dgm_error_text(DgmError error);
// The translated message for a refused grid, its number filled in.
std::string dgm_error_message(const DgmGrid& grid);
// The translated message for the lines after the data's end that were not
// read; empty when there are none.
std::string dgm_unread_message(const DgmGrid& grid);

// The command: asks for the file ("Import DGM..." on import_file and
// import_path), prints the summary, appends the mesh on the current layer
// with the current pen, line type and material as one undo step and draws
// it; a refused grid shows its message.
void dgm_import();
