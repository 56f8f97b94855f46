#pragma once

// The meshes of the generated building parts as plain data: pillars,
// beams, the steps of a stairway, the boxes of a window frame and ceiling
// slabs. Nothing is drawn or appended here. Every solid is closed and wound
// like the 3D element tools' (solid_mesh.h): clockwise seen from outside.
//
// The box of the pillar, beam, stairway and window frame has 8 vertices,
// 0-3 a quadrilateral at the lower level counter-clockwise seen from above
// and 4-7 the same corners at the upper level, and the faces [0 1 2 3],
// [4 7 6 5], [0 4 5 1], [1 5 6 2], [2 6 7 3], [3 7 4 0] (as solid_cuboid).
// A negative size (a height, width, thickness or profile below 0) keeps
// the corners where it puts them and reverses the faces instead, so each
// solid is still wound outward.

#include <array>
#include <cstdint>
#include <vector>

#include "building/solid/solid_mesh.h"
#include "model/elem.h"

// The four plan corners of a box or band, counter-clockwise.
using ArchgenQuad = std::array<Point2, 4>;

// The box over the plan quadrilateral q (counter-clockwise) from zb to zt.
SolidMesh archgen_box(const ArchgenQuad& q, double zb, double zt);

// The band of half width w along P1 -> P2 (direction a): C0 = P1 + w (sin a,
// -cos a), C1 = P2 + w (sin a, -cos a), C2 = P2 - w (sin a, -cos a),
// C3 = P1 - w (sin a, -cos a); C0-C1 on the right of the line.
ArchgenQuad archgen_beam_corners(Point2 p1, Point2 p2, double w);

// The plan symbol of a stairway from S to E: the band of half width w and
// the two back points of the arrowhead at E, 0.1 back along the line and
// 0.1 to its left (a1) and right (a2).
struct ArchgenStairOutline {
  ArchgenQuad band;
  Point2 a1, a2;
};
ArchgenStairOutline archgen_stair_outline(Point2 s, Point2 e, double w);

// The box whose lower corners are (x, y), (x + w, y), (x + w, y + d),
// (x, y + d), each turned by angle about (cx, cy), at z0, the upper corners
// the same at z1.
SolidMesh archgen_rotated_box(double angle, double cx, double cy, double x, double y, double w, double d,
                              double z0, double z1);

// The round pillar of radius r about (cx, cy): a 12-sided prism whose
// vertex k lies at the angle 2 pi - k pi / 6 (30 degrees apart, clockwise
// from +x) at zb and vertex 12 + k above it at zt; the 12 side quads, the
// bottom and the top. 24 vertices, 14 faces.
SolidMesh archgen_round_pillar(double cx, double cy, double r, double zb, double zt);

// The rectangular pillar centred on (cx, cy): width along x, thickness
// along y.
SolidMesh archgen_pillar(double cx, double cy, double width, double thickness, double zb, double zt);

// The beam of the given width centred on S -> E.
SolidMesh archgen_beam(Point2 s, Point2 e, double width, double zb, double zt);

// A straight stairway from S to E.
struct ArchgenStair {
  double width = 0.0;
  double thickness = 0.0;  // of each tread
  double nosing = 0.0;     // how far a tread reaches back over the one below
  int steps = 0;
  double base = 0.0, top = 0.0;
};
// Its treads, first to last: tread k (0-based) rises to base + (k + 1) h
// (h = (top - base) / steps), is thickness thick and spans the band from
// k runs minus the nosing to k + 1 runs along the line (a run being
// 1 / steps of the length). None when steps is below 1.
std::vector<SolidMesh> archgen_stair_steps(Point2 s, Point2 e, const ArchgenStair& stair);

// The most boxes one stairway or window frame may be made of: far beyond
// any real one, and few enough that a mistyped count cannot exhaust the
// memory.
inline constexpr int64_t ARCHGEN_MAX_PARTS = 100000;

// One box of a window frame; glazing marks the panes.
struct ArchgenFramePart {
  SolidMesh mesh;
  bool glazing = false;
};
// The window frame in opening o for the given numbers of mullions and
// transoms and the profile size p: posts, rails and transoms p square and
// panes 0.01 thick in the middle of the profile depth. It spans the
// opening widened by the stop width at both ends, starting at the stop
// depth behind the outer face (corners 0-1), from the sill (corner 0) to
// the head (corner 4). The boxes, in order: the first post, then per field
// its bottom rail, the post at its end and for each row the transom above
// it (the last is the head rail) and the pane below it;
// 1 + (mullions + 1) (2 transoms + 4) in all.
// The number of boxes of a frame: 1 + (mullions + 1) (2 transoms + 4), for
// counts of 0 or more; INT64_MAX when that would not fit.
int64_t archgen_frame_box_count(int mullions, int transoms);
std::vector<ArchgenFramePart> archgen_window_frame(const WallOpening& o, int mullions, int transoms,
                                                   double p);

// The slab over a plan polygon (no end marker, at least 3 points) from zb
// to zt: the polygon made clockwise and started at a convex corner
// (solid_orient_plan), then the prism over it; 2N vertices, N + 2 faces.
SolidMesh archgen_ceiling(std::vector<Point2> plan, double zb, double zt);
