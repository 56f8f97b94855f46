#pragma once

// The wall tools: drawing walls (by rectangle, axis, face side and fixed
// angle), setting the heights of selected walls, connecting the plan
// outlines of walls that meet and separating them again, and changing the
// extent of walls (erasing a part, attaching to a boundary line, extending
// to the next target, joining two walls in a mitre, cutting the tops by a
// plane).
//
// New walls take their thickness, base, height, pen, line type and material
// from wall_preset, go on the current layer, and get the guide pen while
// guide mode is on. Every action is one undo step. Erase, attach, extend and
// join leave gable walls alone.
//
// The arithmetic of each tool is a plain function below, so that it can be
// checked without the input engine; the handlers add the requests, the
// drawing and the undo steps.

#include <optional>
#include <vector>

#include "model/elem.h"
#include "model/wall_outline.h"

// The handlers of the b_wall_ keys.
void tool_wall_wall();
void tool_wall_axis();
void tool_wall_side();
void tool_wall_angle();
void tool_wall_alter_height();
void tool_wall_connect();
void tool_wall_connect_all();
void tool_wall_separate();
void tool_wall_separate_all();
void tool_wall_erase();
void tool_wall_attach();
void tool_wall_extend();
void tool_wall_join();
void tool_wall_attach_3d();

// Plan corners 0..3 of a wall, counter-clockwise, face 0-1 first.
struct WallPlan {
  Point2 c[4];
};
// All eight corners of a wall.
struct WallCorners {
  Point3 c[8];
};

// ---- Drawing ----

// The wall between two opposite corners: the longer side is its length
// (along y for a square, face 0-1 then at the larger x). None when the
// rectangle is flat.
std::optional<WallPlan> wall_rect_plan(double x0, double y0, double x1, double y1);
// Centred on the axis S -> E with half thickness h on each side.
WallPlan wall_axis_plan(double sx, double sy, double ex, double ey, double h);
// The two walls of thickness t that have the line S -> E as a face: left
// of it (face 0-1 from S to E) and right of it (face 0-1 from E to S).
struct WallSideCandidates {
  WallPlan left, right;
};
WallSideCandidates wall_side_plans(double sx, double sy, double ex, double ey, double t);
// Whether a click at (cx, cy) chooses the left candidate: only when it lies
// strictly nearer to the left candidate's diagonal line through S than to
// the right one's; a tie keeps the right candidate.
bool wall_side_keeps_left(const WallSideCandidates& c, double cx, double cy);
// The direction a typed angle stands for, in [0, 2 pi).
double wall_angle_direction(double typed);
// The end of a wall from S in direction a: at a length (negative goes
// backwards) or at the foot of P on the line through S in that direction.
Point2 wall_angle_end_by_length(double sx, double sy, double a, double length);
Point2 wall_angle_end_at(double sx, double sy, double a, double px, double py);
// The wall from S to E in direction a (in [0, 2 pi)) with half thickness h.
// An E behind S along the direction makes E the start, so that the wall
// runs in direction a with its corners counter-clockwise.
WallPlan wall_angle_plan(Point2 s, Point2 e, double a, double h);
// Appends a wall with these plan corners and the preset's settings (the
// given pen), the plain outline and no openings, on the current layer;
// returns it (the list's tail).
WallElem* wall_create(const WallPlan& p, int pen);

// ---- Connection ----

// wall_pair_apart and wall_connected_outline: model/wall_outline.h.
// Connects a to b: when a's outline changes, a's replacement is appended
// (with a's group and undo mask, and given to the newest undo step), drawn,
// and a is marked for the caller's purge. Otherwise nothing happens.
void wall_connect_to(WallElem* a, WallElem* b);

// ---- Editing ----

// The axis of a wall: M0 the midpoint of corners 0 and 3, M1 of 1 and 2.
struct WallAxis {
  Point2 m0, m1;
};
WallAxis wall_axis(const WallElem& w);

// The walls left when the part between P0 and P1 (taken along the axis) is
// erased: the piece before the range and the piece after it, either
// missing. misses is true when the range lies wholly beyond the wall.
struct WallErase {
  bool misses = false;
  std::optional<WallCorners> before, after;
};
WallErase wall_erase_range(const WallElem& w, Point2 p0, Point2 p1);

// One end of a wall moved to new corners: Q1 on the line of face 0-1, Q2 on
// that of face 2-3.
struct WallEndMove {
  bool start = false;  // the start end (corners 0 and 3), else the end end
  Point2 q1, q2;
};
// Moves the end: its lower and upper corners get Q1 and Q2 in plan, and
// every outline segment end that equals one of its corners exactly (corner
// 0 tested before 3, 1 before 2) moves with it. Heights stay.
void wall_move_end(WallElem& w, const WallEndMove& m);
// The move that brings w's end nearer the boundary A-B onto it; none when
// the boundary is parallel to the axis, already crosses the wall between
// its end faces, or misses a face line.
std::optional<WallEndMove> wall_attach_move(const WallElem& w, Point2 a, Point2 b);
// The move that extends the end of w nearer to P (the picked point) to the
// nearest line or wall face ahead of it among the visible elements; none
// when nothing lies ahead or the nearest target misses a face line.
std::optional<WallEndMove> wall_extend_move(const WallElem& w, Point2 p);
// The corners of two walls joined in a mitre, each keeping the end on the
// side of its picked point (P for the first, Q for the second); none when
// their axes are parallel or a mitre point is missing.
struct WallMitre {
  WallCorners first, second;
};
std::optional<WallMitre> wall_join_mitre(const WallElem& first, Point2 p, const WallElem& second, Point2 q);
// Moves each upper corner along the line from the lower corner below it to
// the plane through the three points; a line parallel to the plane leaves
// its corner.
void wall_attach_to_plane(WallElem& w, Point3 a, Point3 b, Point3 c);
