#pragma once

// Hidden-line rendering of face meshes: the visible edges of the meshes as
// seen through a projection, as flat line segments in projected (u, v)
// coordinates. Pure computation: the caller supplies the projection and a
// sink that clips and stores the lines, so the same core runs in the drawing
// command and in tests without a view.
//
// Faces are sorted by nearest depth; an edge is split where it crosses the
// outline of a nearer face and where it passes through a nearer face (so
// goes into or comes out of another solid), and each piece is kept or
// dropped by testing its midpoint against the nearer faces. Where faces of
// two meshes pass through each other, the line they cut is drawn like an
// edge. The nearer faces of a face come from a uniform grid over the
// projected plane and its edge partners from a sorted edge table, so a run
// costs about O(F k) for F faces with k overlapping nearer faces each.
//
// The projection keeps planes flat and lines straight in every view (the
// perspective one divides all three coordinates by the distance), so all
// of this is worked out in (u, v, depth).

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "model/elem.h"

struct HlrOptions {
  int single_colour = 0;
  int silhouettes = 0;
  int hidden_edges = 0;
  int smoothing = 0;
  double smoothing_angle = 0.4363323129985824;  // radians, 25 degrees
};

// One mesh to render: its vertices, face sizes and concatenated corner
// indices (a negative index stands for its absolute value), pen and line
// type. The vectors must outlive hlr_build.
struct HlrMeshInput {
  const std::vector<Point3>* vertices = nullptr;
  const std::vector<int32_t>* face_sizes = nullptr;
  const std::vector<int32_t>* indices = nullptr;
  uint8_t pen = 0;
  uint8_t line_type = 0;
};

// A projected vertex; depth grows away from the viewer.
struct HlrUvd {
  double u = 0.0, v = 0.0, depth = 0.0;
};

struct HlrBody {
  int vertex_base = 0;  // first of its vertices in HlrScene::uvd
  int vertex_count = 0;
  uint8_t pen = 0;
  uint8_t line_type = 0;
};

struct HlrFace {
  int body = 0;
  int first = 0;  // first corner in HlrScene::corners (and edge class)
  int n = 0;
  double umin = 0, umax = 0, vmin = 0, vmax = 0, dmin = 0, dmax = 0;
  double wx = 0, wy = 0, wz = 0, woffset = 0;  // world plane
  double a = 0, b = 0, c = 0, d = 0;           // projected plane
  int front = 0;
  int behind = 0;  // a corner lies behind the perspective camera
};

// The work records of one run. Corners hold indices into uvd (the body's
// vertex base already added); classes run parallel to corners: -1 unset,
// 0 not drawn, 1 inner edge, 2 outline edge (edge i runs from corner i to
// corner i+1, the last back to corner 0).
struct HlrScene {
  std::vector<HlrBody> bodies;
  std::vector<HlrUvd> uvd;
  std::vector<Point3> world;  // the vertices in the world, parallel to uvd
  std::vector<int> corners;
  std::vector<int8_t> classes;
  std::vector<HlrFace> faces;  // sorted by nearest depth
  // Lengths and plane distances below this count as zero: a billionth of
  // the size of the projected scene, so a millimetre still counts in a
  // model a hundred metres across.
  double tolerance = 1e-9;
  double world_tolerance = 1e-9;  // the same for the size of the world model
};

// Projects every vertex, builds the faces with their boxes and planes and
// sorts them by nearest depth (stable, so equal depths keep mesh order).
// Faces with a corner index outside their mesh's vertices, corners past the
// end of the index list, or a corner that does not project to finite
// numbers are left out: no depth order or box holds for them.
HlrScene hlr_build(const std::vector<HlrMeshInput>& meshes,
                   const std::function<HlrUvd(const Point3&)>& project);

// The (u, v) box of the corners of all front faces; empty without one.
struct HlrWindow {
  double umin = 0, vmin = 0, umax = 0, vmax = 0;
};
std::optional<HlrWindow> hlr_front_window(const HlrScene& scene);

struct HlrLine {
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  uint8_t pen = 0;
  uint8_t line_type = 0;
};

// Where the result goes. clip cuts a segment to the visible window and
// returns false when nothing of it is visible; line_new stores a line,
// line_extend moves the end of the last stored line; flush is called with
// the progress every 100 faces.
class HlrSink {
 public:
  virtual ~HlrSink() = default;
  virtual bool clip(HlrLine& line) = 0;
  virtual void line_new(const HlrLine& line) = 0;
  virtual void line_extend(double x2, double y2) = 0;
  virtual void flush() {}
};

struct HlrCounts {
  int lines = 0;
  int joins = 0;
};

// Classifies the edges, emits the visible pieces (and with the hidden-edges
// option the hidden pieces and the edges between back faces, in line type
// 1) into the sink, and reports the progress through ui().
HlrCounts hlr_render(HlrScene& scene, const HlrOptions& options, HlrSink& sink);

// A line where a face of one mesh passes through a face of another: it lies
// in both. The face of the two that faces the viewer draws it (the earlier
// in the list when both do), as an inner edge of its mesh; between two
// faces turned away it is only ever drawn as a hidden edge. a and b run
// along the line.
struct HlrCut {
  int owner = 0;  // list positions of the two faces
  int other = 0;
  HlrUvd a, b;
};

// Appends the lines where the faces at list positions f and g (of different
// meshes) pass through each other, in order along the line. Faces that
// only touch (one lies against the other, or an edge of one lies in the
// other) give none: where they meet runs along an edge that is drawn
// anyway.
void hlr_face_cuts(const HlrScene& scene, int f, int g, std::vector<HlrCut>& out);

// Where the line s-e (an edge of P or a cut that P draws) passes through
// Q's plane inside Q's polygon and away from s and e, Q being of another
// mesh: there the line goes behind Q or comes out in front of it.
std::optional<HlrUvd> hlr_pierce(const HlrScene& scene, const HlrFace& p, const HlrFace& q, const HlrUvd& s,
                                 const HlrUvd& e);

// The small geometric rules the renderer is made of.
int hlr_boxes_overlap(const HlrFace& p, const HlrFace& q);
double hlr_plane_depth_at(const HlrFace& f, double u, double v);
int hlr_which_in_front(const HlrFace& p, const HlrFace& q, double u, double v);
int hlr_points_equal(double ua, double va, double ub, double vb);
// Whether the piece a-b goes on along the line `last` from its end: a at
// that end, b further on and off the line by no more than tol. Only such
// pieces are joined to the line, so that lines meeting at an angle stay
// apart however short they are.
bool hlr_continues(const HlrLine& last, const HlrUvd& a, const HlrUvd& b, double tol);
// Whether the edge between two faces with these world normals is smooth.
bool hlr_smooth(const HlrFace& r, const HlrFace& s, const HlrOptions& options);
// The pen of a piece of an edge of the given class: 0 in single colour,
// else the body's pen, one higher for outline edges with silhouettes (but
// never past the last pen of the table; the guide pen stays as it is).
uint8_t hlr_pen(const HlrBody& body, int edge_class, const HlrOptions& options);
// Even-odd test of (u, v) against the projected polygon of f.
bool hlr_inside_face(const HlrScene& scene, const HlrFace& f, double u, double v);
// The crossing of P's edge s-e with Q's edge a-b, as the renderer accepts
// it (on both edges, not at s or e).
std::optional<HlrUvd> hlr_crossing(const HlrUvd& s, const HlrUvd& e, const HlrUvd& a, const HlrUvd& b);
