#pragma once

// Transforms of the marked elements.
//
// Each operation walks the element list once and changes every marked
// element in place, kind by kind. They neither draw nor record undo steps;
// the calling tool does that. The exception is the stretch re-fit, which
// replaces stretched chain dimensions and walls by new records, draws them and
// adds them to the current undo step.

#include "model/elem.h"

// The stored axis points: A and B are the rotation axis and A, B, C the
// mirror plane in every view other than plan.
struct XformAxis {
  Point3 a, b, c;
};
extern XformAxis xform_axis;

// Scales every marked element about (x0, y0, z0). keep_text 0 scales text
// heights by fx, any other value keeps them.
void xform_scale_marked(double x0, double y0, double z0, double fx, double fy, double fz, int keep_text);
// A point under the scale of the last xform_scale_marked call; 2D points pass
// z = 0 and use x and y.
Point3 xform_scale_point(double x, double y, double z);

// Moves every marked element, and the marked vertices of unmarked ones.
void xform_move_marked(double dx, double dy, double dz);
// Add the offset of the last xform_move_marked call when the point is marked.
void xform_move_point2_if_marked(Point2* p);
void xform_move_point3_if_marked(Point3* p);
// After a move: replaces every chain dimension and wall with a marked vertex
// by a re-fitted record. The replaced records are marked for the caller's
// purge; a record that cannot be replaced stays as it is, unmarked.
void xform_stretch_marked_points();

// Rotates the marked elements by angle (radians, counter-clockwise): in the
// plan view about (cx, cy), in every other view about xform_axis A->B.
void xform_rotate_marked(double cx, double cy, double angle);
// What the two operations above do to one element, marked or not: the
// series copies move and turn only the copies just made.
void xform_move_element(ElemHeader* e, double dx, double dy, double dz);
void xform_rotate_element(ElemHeader* e, double cx, double cy, double angle);
// Stores A and B as the axis and rotates the marked 3D elements about it.
void xform_rotate_axis(double ax, double ay, double az, double bx, double by, double bz, double angle);

// Mirrors the marked elements: in the plan view about the line through
// (ax, ay) and (bx, by), in every other view about the plane of xform_axis.
void xform_mirror_marked(double ax, double ay, double bx, double by);
// Reverses every face of m (so outward faces stay outward) and mirrors its
// vertices as xform_mirror_marked does.
void xform_mirror_mesh_faces(MeshElem* m, double ax, double ay, double bx, double by);

// Appends a marked copy of every marked element and unmarks the originals;
// copies that belong to groups get groups of their own. Returns the number
// of copies.
int clone();
// Sets pen and line type of the marked elements; 255 in the low 8 bits of
// either keeps that value.
void xform_set_pen_line_type(int pen, int line_type);

// Sorts the n entries of a chain along the line (x1, y1)->(x2, y2), resets
// the values that derive from the order and drops entries closer than 1e-4
// to the previous one. Returns the new count; other kinds keep their n.
int elem_dim_sort_chain_points(double x1, double y1, double x2, double y2, int n, DimPoint* points,
                               int dim_kind);
