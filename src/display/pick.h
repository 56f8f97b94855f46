#pragma once

// Finding the element the user points at: the nearest element by filter,
// the prompt loops that ask until an element of one kind is hit, the
// segment of a dimension under the pointer and the edge finders of the line
// tools and the intersection snap.
//
// On a drawing of snap_index_threshold elements or more, the plan-view
// picks look only at the elements the snap's grid finds near the point,
// widening the window until nothing outside it can be nearer, and a pick of
// kinds the drawing holds few of looks at those alone; the result is the one
// a walk over the whole list gives. Otherwise the other views walk the list.

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

// On such a drawing, a filter whose kinds have no more than this many
// elements each looks at those alone instead of around the point. The
// result is the same either way.
extern int pick_kind_list_max;

// The end points of the last edge found by pick_snap_edge or pick_line_edge;
// found is written by pick_line_edge only.
struct PickedEdge {
  double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0;
  uint8_t found = 0;
};
extern PickedEdge picked_edge;

// The wall that holds the opening pick_opening returned last; null when it
// returned none.
extern WallElem* picked_wall;

// The element nearest to world (x, y) among those the filter allows, nearer
// than 100 m; the first of equally near ones; null when none counts. The
// current layer is searched, and the shown layers too for PICK_ANY_VISIBLE,
// for PICK_CAMERA and while select_all_layers is 1. Rooms and 3D lines need
// PICK_ANY or PICK_ANY_VISIBLE. In the plan view each kind has its own
// distance; segments count only where the foot falls strictly inside them,
// lights, cameras and level and angle dimensions count 5 pixels nearer
// than they are, a pattern holding the point is 2 snap sizes away, a room
// holding it 3 snap sizes or the distance to its label. In the other views
// only lights, cameras, 3D lines, meshes and walls count, projected.
// Marks and draws nothing.
ElemHeader* pick_nearest_element(double x, double y, uint8_t filter);

// The smallest distance from the view point (x, y) to the twelve edges of a
// box (rings 0-1-2-3 and 4-5-6-7, posts 0-4 .. 3-7) projected into the
// current view, an edge counting only where the foot falls strictly inside
// it; 100000 when none counts.
double pick_box3d_distance(double x, double y, const Point3* corners);

// The prompt loops. Each runs a transparent request of one STEP_PICK step
// with its prompt, translated, until the click finds a fitting element, and
// returns it; null when the request is cancelled. A click that finds
// nothing, and any other end of the request, asks again.
LightElem* pick_light();    // "Select Light:", by PICK_LIGHT
CameraElem* pick_camera();  // "Select Camera:", by PICK_CAMERA
WallElem* pick_wall();      // "Select Wall:", by PICK_WALL
// "Select Pattern:" and "Select Room:": the first pattern or room of the
// current layer whose contours hold the point (even-odd, holes included),
// returned marked and drawn highlighted; the caller unmarks it.
PatternElem* pick_pattern();
RoomElem* pick_room();
// "Select Opening:": of the openings of the walls on the current layer, the
// one whose plan segment from corner 0 to corner 2 passes nearest, when
// that is less than 1 m (foot strictly inside). Sets picked_wall to its
// wall; null, with picked_wall null, when cancelled.
WallOpening* pick_opening();

// The entry of dim that a pointer at (x, y) changes. For a chain: entry k
// for the first segment from entry k - 1 to entry k (dimension-line points)
// whose projection parameter of the point lies in [0, 1]; null when no
// segment holds the point, and the caller asks again. For the other kinds:
// entry 2 wherever the point is; null when the dimension has fewer entries.
DimPoint* pick_dim_segment(DimElem& dim, double x, double y);

// The line, arc or wall nearest to (x, y) on the current and the shown
// layers, plan view only (null elsewhere). For a line or a wall the nearest
// segment's ends go to picked_edge; an arc leaves picked_edge as it was.
ElemHeader* pick_snap_edge(double x, double y);

// The line, or the wall with the base edge (corners 0-1, 1-2, 2-3, 3-0),
// nearest to (x, y) on the current and the shown layers, plan view only,
// nearer than 100 m and with the foot strictly inside the segment; null when
// none. Clears picked_edge.found first; the edge found goes to picked_edge
// in the element's order with found 1.
ElemHeader* pick_line_edge(double x, double y);
