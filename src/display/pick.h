#pragma once

// Finding the element the user points at.

#include <cstdint>

#include "model/elem.h"

// Filter codes of pick_nearest_element (not element kinds).
enum : uint8_t {
  PICK_ANY = 0,
  PICK_LINE = 1,
  PICK_ARC = 2,
  PICK_TEXT = 3,
  PICK_DIM = 4,
  PICK_WALL = 5,
  PICK_PATTERN = 6,
  PICK_BEZIER = 7,
  PICK_ANY_VISIBLE = 8,
  PICK_LIGHT = 9,
  PICK_CAMERA = 10,
  PICK_MESH = 11,
  PICK_SOLID = 12,
};

// The end points of the last edge found by pick_snap_edge or pick_line_edge;
// found is written by pick_line_edge only.
struct PickedEdge {
  double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0;
  uint8_t found = 0;
};
extern PickedEdge picked_edge;

// The element nearest to world (x, y) among those the filter allows, on the
// current layer (and the shown layers for PICK_ANY_VISIBLE and
// PICK_CAMERA), nearer than 100 m; the first of equally near ones; null
// when none counts.
ElemHeader* pick_nearest_element(double x, double y, uint8_t filter);

// The line, arc or wall nearest to (x, y) on the current and the shown
// layers, plan view only (null elsewhere). For a line or a wall the nearest
// segment's ends go to picked_edge.
ElemHeader* pick_snap_edge(double x, double y);

// The line, or the wall with the base edge (corners 0-1, 1-2, 2-3, 3-0),
// nearest to (x, y) on the current and the shown layers, plan view only,
// nearer than 100 m and with the foot strictly inside the segment; null when
// none. Clears picked_edge.found first; the edge found goes to picked_edge
// in the element's order with found 1.
ElemHeader* pick_line_edge(double x, double y);
