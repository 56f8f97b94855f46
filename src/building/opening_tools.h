#pragma once

// The opening tools: placing plain openings, doors and windows into a wall
// (by two points, or by one point and a direction when the kind's fixed
// width is on), turning an opening into another kind, setting the heights
// of openings, dissolving an opening's symbol into lines and arcs, and
// removing an opening with the wall closed again.
//
// Every action is one undo step. The geometry of the placement is a plain
// function below, so that it can be checked without the input engine.

#include <cstdint>
#include <optional>

#include "model/elem.h"

// The handlers of the b_opening_ keys.
void tool_opening_opening();
void tool_opening_door();
void tool_opening_window();
void tool_opening_alter_opening();
void tool_opening_alter_door();
void tool_opening_alter_window();
void tool_opening_alter_height();
void tool_opening_dissolve();
void tool_opening_remove();

// The feet of an opening's ends on the lines of the wall's long faces: a0
// and a1 on face 0-1, b0 opposite a0 and b1 opposite a1 on face 2-3, with
// a0 nearer the wall's corner 0 than a1 (or level with it).
struct OpeningSpan {
  Point2 a0, a1, b0, b1;
};

// The span between the feet of P0 and P1.
OpeningSpan opening_span_two_points(const WallElem& w, Point2 p0, Point2 p1);
// The direction of a fixed-width opening from P0: towards the wall's corner
// 1 unless the direction pick Q lies behind the foot of P0 as seen along
// the face 0-1 (then towards corner 0). In [0, 2 pi).
double opening_fixed_direction(const WallElem& w, Point2 p0, Point2 q);
// The span of a fixed width from P0 in the direction of Q.
OpeningSpan opening_span_fixed(const WallElem& w, Point2 p0, Point2 q, double width);

// The plan corners of the opening's box: corners 0 and 1 on the outer face,
// counter-clockwise. The outer face is face 2-3 only when the side pick Q
// lies strictly nearer to it than to face 0-1.
struct OpeningBox {
  Point2 c[4];
};
OpeningBox opening_box(const WallElem& w, const OpeningSpan& s, Point2 q);

// The door-leaf quadrant a point P gives for the box corners c: +1 at the
// corner-1 end (a tie counts there), +2 on the outer side (a tie counts as
// inner).
uint8_t opening_leaf_quadrant(const Point2 (&c)[4], Point2 p);

// The plan corners 0..3 of an opening's box.
void opening_plan_corners(const WallOpening& o, Point2 (&c)[4]);

struct InputRequest;
// Asks "Doorleaf:" with the leaf of the door variant following the cursor
// over the box c (stops as given); returns the input result, the point in r.
int opening_ask_leaf(InputRequest& r, const Point2 (&c)[4], double stop_width, double stop_depth,
                     int variant);

// Asks for the opening's extent and its outer side and cuts a placeholder
// opening into w (one undo step: w is replaced by the result). Returns the
// new wall, whose last opening is the new one, or null when the user
// cancelled or the opening did not fit (w is then left as it was).
WallElem* opening_place(WallElem* w, double stop_width, double stop_depth, double width, bool fixed);
