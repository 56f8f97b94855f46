// Hidden lines of solids that pass into each other, checked against a ray
// caster written here: every piece of an edge, or of a line where the
// surfaces of two solids cut each other, from which the way to the eye runs
// inside no solid must be drawn, and every drawn line must be such a piece.
// The solids are given twice: as the meshes the renderer sees and as unions
// of convex pieces (half-spaces) that the ray caster sees.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "building/solid/hlr.h"
#include "building/solid/solid_mesh.h"
#include "building/solid/wall_mesh.h"
#include "model/consts.h"
#include "model/geom.h"
#include "model/settings.h"
#include "model/view_rec.h"
#include "support/model_fixture.h"
#include "support/wall_fixture.h"

namespace {

struct V3 {
  double x = 0, y = 0, z = 0;
};
V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
V3 operator-(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
V3 operator*(V3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }
double dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
V3 cross(V3 a, V3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double norm(V3 a) { return std::sqrt(dot(a, a)); }
V3 unit(V3 a) { return a * (1.0 / norm(a)); }

// n . x <= d; a convex piece is the set inside all of its planes.
struct Plane {
  V3 n;
  double d = 0;
};
using Piece = std::vector<Plane>;

struct Solid {
  SolidMesh mesh;
  std::vector<Piece> pieces;  // the solid is their union
};

Piece box_piece(V3 lo, V3 hi) {
  return {{{-1, 0, 0}, -lo.x}, {{1, 0, 0}, hi.x},   {{0, -1, 0}, -lo.y},
          {{0, 1, 0}, hi.y},   {{0, 0, -1}, -lo.z}, {{0, 0, 1}, hi.z}};
}

Solid box(V3 lo, V3 hi) { return {solid_cuboid(lo.x, lo.y, hi.x, hi.y, lo.z, hi.z), {box_piece(lo, hi)}}; }

// The prism swept by a convex polygon along a vector.
Solid prism(const std::vector<V3>& base, V3 along) {
  std::vector<Point3> bottom, top;
  V3 centre;
  for (const V3& p : base) {
    bottom.push_back({p.x, p.y, p.z, 0});
    const V3 q = p + along;
    top.push_back({q.x, q.y, q.z, 0});
    centre = centre + p * (1.0 / static_cast<double>(base.size()));
  }
  centre = centre + along * 0.5;
  Piece piece;
  auto add = [&](V3 n, V3 p) {
    n = unit(n);
    double d = dot(n, p);
    if (dot(n, centre) > d) n = n * -1.0, d = -d;
    piece.push_back({n, d});
  };
  for (size_t i = 0; i < base.size(); ++i) add(cross(base[(i + 1) % base.size()] - base[i], along), base[i]);
  const V3 normal = cross(base[1] - base[0], base[2] - base[1]);
  add(normal, base[0]);
  add(normal, base[0] + along);
  return {solid_prism(bottom, top), {piece}};
}

// A box over a plan rectangle of the given half sizes, turned about z.
Solid turned_box(double cx, double cy, double hx, double hy, double angle, double z0, double z1) {
  const double c = std::cos(angle), s = std::sin(angle);
  std::vector<V3> base;
  for (auto [a, b] : {std::pair{-hx, -hy}, {hx, -hy}, {hx, hy}, {-hx, hy}})
    base.push_back({cx + a * c - b * s, cy + a * s + b * c, z0});
  return prism(base, {0, 0, z1 - z0});
}

// A wall along x from x0 to x1, 0.3 thick about y = 0 and 2.75 high, with
// an opening from xa to xb at the sill and height given, as the walls' own
// mesh; the ray caster sees the wall beside, below and above the opening.
Solid wall_with_opening(double x0, double x1, int kind, double xa, double xb, double sill, double height) {
  WallElem* w = new_axis_wall(x0, 0, x1, 0, 0.15, "brick");
  w = cut_axis_opening(w, kind, xa, xb, sill, height);
  wall_to_mesh(*w, 0);
  const auto* m = elem_as<MeshElem>(elem_list_tail);
  Solid s;
  s.mesh.vertices = m->vertices;
  s.mesh.face_sizes = m->face_sizes;
  s.mesh.indices = m->indices;
  const double h = 0.15;
  s.pieces = {box_piece({x0, -h, 0}, {xa, h, 2.75}), box_piece({xb, -h, 0}, {x1, h, 2.75}),
              box_piece({xa, -h, sill + height}, {xb, h, 2.75})};
  if (sill > 0) s.pieces.push_back(box_piece({xa, -h, 0}, {xb, h, sill}));
  return s;
}

// A window from xa to xb, sill 0.9 and 1.3 high.
Solid wall_with_window(double x0, double x1, double xa, double xb) {
  return wall_with_opening(x0, x1, OPENING_WINDOW, xa, xb, 0.9, 1.3);
}

// A parallel view looking against `towards` (the direction to the viewer),
// or a perspective view from an eye; u to the right, v up on the screen.
struct View {
  bool perspective = false;
  V3 towards;  // unit, from the scene to the viewer
  V3 eye;
  V3 u_axis, v_axis;
};

View make_view(V3 towards, bool perspective = false, V3 eye = {}) {
  View view;
  view.perspective = perspective;
  view.towards = unit(towards);
  view.eye = eye;
  const V3 up = std::fabs(view.towards.z) > 0.99 ? V3{0, 1, 0} : V3{0, 0, 1};
  view.u_axis = unit(cross(up, view.towards));
  view.v_axis = cross(view.towards, view.u_axis);
  return view;
}

View perspective_view(V3 eye, V3 target) { return make_view(eye - target, true, eye); }

HlrUvd project(const View& view, V3 p) {
  if (!view.perspective) return {dot(p, view.u_axis), dot(p, view.v_axis), -dot(p, view.towards)};
  const V3 r = p - view.eye;
  const double f = -dot(r, view.towards);
  return {dot(r, view.u_axis) / f, dot(r, view.v_axis) / f, -1.0 / f};
}

// Whether the way from p to the eye runs inside the piece for some length.
bool ray_enters(const Piece& piece, V3 p, V3 dir, double tmax) {
  double lo = 0, hi = tmax;
  for (const Plane& pl : piece) {
    const double a = dot(pl.n, dir), b = pl.d - 1e-9 - dot(pl.n, p);
    if (std::fabs(a) < 1e-15) {
      if (b <= 0) return false;
      continue;
    }
    if (a > 0)
      hi = std::min(hi, b / a);
    else
      lo = std::max(lo, b / a);
  }
  return hi - lo > 1e-9;
}

bool visible(const View& view, const std::vector<Solid>& solids, V3 p) {
  const V3 dir = view.perspective ? view.eye - p : view.towards;
  const double tmax = view.perspective ? 1.0 : 1e9;
  for (const Solid& s : solids)
    for (const Piece& piece : s.pieces)
      if (ray_enters(piece, p, dir, tmax)) return false;
  return true;
}

struct Seg {
  V3 a, b;
};

V3 v3(const Point3& p) { return {p.x, p.y, p.z}; }

// The lines a solid picture may have: the edges of every mesh (bridge edges
// that a face runs both ways left out) and, with `cuts`, the lines where a
// face plane of a piece of one solid cuts a face plane of a piece of
// another, within both pieces.
std::vector<Seg> candidate_lines(const std::vector<Solid>& solids, bool cuts) {
  std::vector<Seg> out;
  for (const Solid& s : solids) {
    const SolidMesh& m = s.mesh;
    std::vector<std::pair<int, int>> seen;
    size_t at = 0;
    for (int32_t n : m.face_sizes) {
      for (int i = 0; i < n; ++i) {
        const int p = m.indices[at + i], q = m.indices[at + (i + 1) % n];
        bool bridge = false;
        for (int j = 0; j < n; ++j) bridge |= m.indices[at + j] == q && m.indices[at + (j + 1) % n] == p;
        const std::pair<int, int> key{std::min(p, q), std::max(p, q)};
        if (bridge || p == q || std::find(seen.begin(), seen.end(), key) != seen.end()) continue;
        seen.push_back(key);
        out.push_back({v3(m.vertices[p]), v3(m.vertices[q])});
      }
      at += n;
    }
  }
  for (size_t i = 0; i < solids.size() && cuts; ++i)
    for (size_t j = i + 1; j < solids.size(); ++j)
      for (const Piece& pa : solids[i].pieces)
        for (const Piece& pb : solids[j].pieces)
          for (const Plane& f : pa)
            for (const Plane& g : pb) {
              const V3 dir = cross(f.n, g.n);
              const double s2 = dot(dir, dir);
              if (s2 < 1e-12) continue;
              const double c = dot(f.n, g.n);
              const V3 base = f.n * ((f.d - g.d * c) / s2) + g.n * ((g.d - f.d * c) / s2);
              const V3 u = unit(dir);
              double lo = -1e9, hi = 1e9;
              for (const Piece* piece : {&pa, &pb})
                for (const Plane& pl : *piece) {
                  const double a = dot(pl.n, u), b = pl.d + 1e-9 - dot(pl.n, base);
                  if (std::fabs(a) < 1e-15) {
                    if (b < 0) lo = 1, hi = 0;
                    continue;
                  }
                  if (a > 0)
                    hi = std::min(hi, b / a);
                  else
                    lo = std::max(lo, b / a);
                }
              if (hi - lo > 1e-7) out.push_back({base + u * lo, base + u * hi});
            }
  return out;
}

double dist_to_segment(double px, double py, const HlrUvd& a, const HlrUvd& b, double* along = nullptr) {
  const double dx = b.u - a.u, dy = b.v - a.v, len2 = dx * dx + dy * dy;
  double t = len2 > 0 ? ((px - a.u) * dx + (py - a.v) * dy) / len2 : 0.0;
  t = std::clamp(t, 0.0, 1.0);
  if (along) *along = t;
  return std::hypot(px - a.u - t * dx, py - a.v - t * dy);
}

// The point of seg whose picture lies at the fraction tau of the picture
// of seg (a perspective picture does not keep fractions).
V3 point_at_picture_fraction(const View& view, const Seg& seg, double tau) {
  if (!view.perspective) return seg.a + (seg.b - seg.a) * tau;
  const HlrUvd a = project(view, seg.a), b = project(view, seg.b);
  double lo = 0, hi = 1;
  for (int k = 0; k < 60; ++k) {
    const double mid = 0.5 * (lo + hi);
    const HlrUvd m = project(view, seg.a + (seg.b - seg.a) * mid);
    double t = 0;
    dist_to_segment(m.u, m.v, a, b, &t);
    (t < tau ? lo : hi) = mid;
  }
  return seg.a + (seg.b - seg.a) * (0.5 * (lo + hi));
}

std::string str(V3 p) {
  std::ostringstream s;
  s << "(" << p.x << ", " << p.y << ", " << p.z << ")";
  return s.str();
}

class Recorder : public HlrSink {
 public:
  std::vector<HlrLine> lines;
  bool clip(HlrLine&) override { return true; }
  void line_new(const HlrLine& l) override { lines.push_back(l); }
  void line_extend(double x2, double y2) override {
    lines.back().x2 = x2;
    lines.back().y2 = y2;
  }
};

std::vector<HlrLine> render(const std::vector<Solid>& solids,
                            const std::function<HlrUvd(const Point3&)>& proj,
                            const HlrOptions& options = {}) {
  std::vector<HlrMeshInput> in;
  for (const Solid& s : solids) in.push_back({&s.mesh.vertices, &s.mesh.face_sizes, &s.mesh.indices, 1, 0});
  HlrScene scene = hlr_build(in, proj);
  Recorder sink;
  hlr_render(scene, options, sink);
  return sink.lines;
}

// Compares the drawing of the solids in the view with the ray caster, both
// ways, and checks that no piece is drawn twice. Solids that only touch
// have no lines where they meet but their edges, and an edge they share is
// drawn by each. Returns the faults found.
std::vector<std::string> faults(const std::vector<Solid>& solids, const View& view, bool touching = false) {
  const std::vector<HlrLine> lines = render(solids, [&](const Point3& p) { return project(view, v3(p)); });
  const std::vector<Seg> candidates = candidate_lines(solids, !touching);
  std::vector<std::string> out;
  constexpr double kTol = 1e-7;
  constexpr int kSamples = 40;
  auto on_drawing = [&](double u, double v) {
    return std::any_of(lines.begin(), lines.end(), [&](const HlrLine& l) {
      return dist_to_segment(u, v, {l.x1, l.y1, 0}, {l.x2, l.y2, 0}) < kTol;
    });
  };
  // Every visible piece is drawn; the samples keep clear of round fractions
  // where pieces tend to end.
  for (const Seg& c : candidates)
    for (int k = 0; k < kSamples; ++k) {
      const V3 p = c.a + (c.b - c.a) * ((k + 0.5) / kSamples + 0.0013);
      if (!visible(view, solids, p)) continue;
      const HlrUvd q = project(view, p);
      if (!on_drawing(q.u, q.v)) out.push_back("visible point not drawn: " + str(p));
    }
  // Every drawn point is the picture of a visible point of some line.
  std::vector<std::pair<HlrUvd, HlrUvd>> pictures;
  for (const Seg& c : candidates) pictures.emplace_back(project(view, c.a), project(view, c.b));
  for (const HlrLine& l : lines)
    for (int k = 0; k < kSamples; ++k) {
      const double f = (k + 0.5) / kSamples;
      const double u = l.x1 + f * (l.x2 - l.x1), v = l.y1 + f * (l.y2 - l.y1);
      bool explained = false;
      for (size_t i = 0; i < candidates.size() && !explained; ++i) {
        const auto& [a, b] = pictures[i];
        double tau = 0;
        if (std::hypot(b.u - a.u, b.v - a.v) < 1e-12 || dist_to_segment(u, v, a, b, &tau) >= kTol) continue;
        explained = visible(view, solids, point_at_picture_fraction(view, candidates[i], tau));
      }
      if (!explained) {
        std::ostringstream s;
        s << "drawn point of no visible line: (" << u << ", " << v << ") on the line (" << l.x1 << ", "
          << l.y1 << ")-(" << l.x2 << ", " << l.y2 << ")";
        out.push_back(s.str());
      }
    }
  // No piece twice: collinear lines do not overlap.
  for (size_t i = 0; i < lines.size() && !touching; ++i)
    for (size_t j = i + 1; j < lines.size(); ++j) {
      const HlrLine &a = lines[i], &b = lines[j];
      const double dx = a.x2 - a.x1, dy = a.y2 - a.y1, len = std::hypot(dx, dy);
      if (len < 1e-12) continue;
      auto off = [&](double x, double y) { return std::fabs((x - a.x1) * dy - (y - a.y1) * dx) / len; };
      if (off(b.x1, b.y1) > 1e-9 || off(b.x2, b.y2) > 1e-9) continue;
      const double t1 = ((b.x1 - a.x1) * dx + (b.y1 - a.y1) * dy) / len;
      const double t2 = ((b.x2 - a.x1) * dx + (b.y2 - a.y1) * dy) / len;
      const double overlap = std::min(len, std::max(t1, t2)) - std::max(0.0, std::min(t1, t2));
      if (overlap > 1e-6)
        out.push_back("drawn twice: lines " + std::to_string(i) + " and " + std::to_string(j));
    }
  return out;
}

class HlrMeetTest : public ModelTest {};

// Five parallel views from several sides, from behind and from below too,
// and a perspective view of the whole scene.
std::vector<View> views_of(const std::vector<Solid>& solids) {
  V3 lo{1e9, 1e9, 1e9}, hi{-1e9, -1e9, -1e9};
  for (const Solid& s : solids)
    for (const Point3& p : s.mesh.vertices) {
      lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
      hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    }
  const V3 centre = (lo + hi) * 0.5;
  const double size = norm(hi - lo);
  return {
      make_view({-1, -1, 1}),      make_view({-0.6, -1, 0.8}),
      make_view({1, -0.45, 0.7}),  make_view({-0.35, 0.9, -0.5}),
      make_view({0.4, 0.9, 0.45}), perspective_view(centre + unit({-0.7, -1.2, 0.9}) * (2.5 * size), centre)};
}

double length(const HlrLine& l) { return std::hypot(l.x2 - l.x1, l.y2 - l.y1); }

// Whether (u, v) lies on one of the lines of the given line type.
bool on_lines(const std::vector<HlrLine>& lines, int line_type, double u, double v) {
  return std::any_of(lines.begin(), lines.end(), [&](const HlrLine& l) {
    return l.line_type == line_type && dist_to_segment(u, v, {l.x1, l.y1, 0}, {l.x2, l.y2, 0}) < 1e-9;
  });
}

// The two boxes of a user's report in the program's isometric view, with
// the visible lines worked out by hand: the edges of each box, stopped
// where they enter the other box, and the two lines of the notch that the
// second box cuts into the top of the first.
TEST_F(HlrMeetTest, TwoBoxesInTheIsometricViewShowTheNotch) {
  const std::vector<Solid> solids = {box({0, 0, 0}, {1, 1, 1}), box({0.5, 0.5, 0.5}, {1.5, 1.5, 1.5})};
  auto iso = [](V3 p) {
    view_type = VIEW_ISO_FRONT_LEFT;
    view_project(p.x, p.y, p.z);
    view_type = VIEW_PLAN;
    return HlrUvd{geo_result.view_u, geo_result.view_v, geo_result.view_depth};
  };
  const std::vector<Seg> visible_lines = {
      // The first box: its front edges whole, the two top edges that run
      // into the second box up to where they enter it.
      {{0, 0, 0}, {1, 0, 0}},
      {{0, 0, 0}, {0, 1, 0}},
      {{0, 0, 0}, {0, 0, 1}},
      {{1, 0, 0}, {1, 0, 1}},
      {{0, 1, 0}, {0, 1, 1}},
      {{0, 0, 1}, {1, 0, 1}},
      {{0, 0, 1}, {0, 1, 1}},
      {{1, 0, 1}, {1, 0.5, 1}},
      {{0, 1, 1}, {0.5, 1, 1}},
      // The second box: its top, two outline edges whole, and its front
      // edge above the first box.
      {{0.5, 0.5, 1.5}, {1.5, 0.5, 1.5}},
      {{1.5, 0.5, 1.5}, {1.5, 1.5, 1.5}},
      {{1.5, 1.5, 1.5}, {0.5, 1.5, 1.5}},
      {{0.5, 1.5, 1.5}, {0.5, 0.5, 1.5}},
      {{1.5, 0.5, 0.5}, {1.5, 0.5, 1.5}},
      {{0.5, 1.5, 0.5}, {0.5, 1.5, 1.5}},
      {{0.5, 0.5, 1}, {0.5, 0.5, 1.5}},
      // The notch in the top of the first box.
      {{0.5, 0.5, 1}, {0.5, 1, 1}},
      {{0.5, 0.5, 1}, {1, 0.5, 1}},
  };
  const std::vector<HlrLine> lines = render(solids, [&](const Point3& p) { return iso(v3(p)); });
  double drawn = 0, expected = 0;
  for (const HlrLine& l : lines) {
    EXPECT_EQ(l.line_type, 0);
    drawn += length(l);
    for (int k = 0; k < 20; ++k) {
      const double f = (k + 0.5) / 20, u = l.x1 + f * (l.x2 - l.x1), v = l.y1 + f * (l.y2 - l.y1);
      const bool on = std::any_of(visible_lines.begin(), visible_lines.end(), [&](const Seg& s) {
        return dist_to_segment(u, v, iso(s.a), iso(s.b)) < 1e-9;
      });
      EXPECT_TRUE(on) << "(" << u << ", " << v << ") on no visible line";
    }
  }
  for (const Seg& s : visible_lines) {
    const HlrUvd a = iso(s.a), b = iso(s.b);
    expected += std::hypot(b.u - a.u, b.v - a.v);
    for (int k = 0; k <= 20; ++k) {
      const HlrUvd q = iso(s.a + (s.b - s.a) * (k / 20.0));
      EXPECT_TRUE(on_lines(lines, 0, q.u, q.v)) << str(s.a) << "-" << str(s.b) << " at " << k / 20.0;
    }
  }
  // Nothing drawn twice.
  EXPECT_NEAR(drawn, expected, 1e-9);

  // With hidden edges the pieces inside the other box come dashed, and the
  // full lines stay as they were.
  HlrOptions hidden;
  hidden.hidden_edges = 1;
  const std::vector<HlrLine> all = render(
      solids, [&](const Point3& p) { return iso(v3(p)); }, hidden);
  double full = 0;
  for (const HlrLine& l : all) full += l.line_type == 0 ? length(l) : 0.0;
  EXPECT_NEAR(full, expected, 1e-9);
  const std::vector<Seg> dashed = {{{1, 0.5, 1}, {1, 1, 1}},         {{0.5, 1, 1}, {1, 1, 1}},
                                   {{0.5, 0.5, 0.5}, {0.5, 0.5, 1}}, {{1, 0.5, 0.5}, {1, 0.5, 1}},
                                   {{0.5, 1, 0.5}, {0.5, 1, 1}},     {{1, 0.5, 0.5}, {1, 1, 0.5}},
                                   {{0.5, 1, 0.5}, {1, 1, 0.5}}};
  for (const Seg& s : dashed) {
    for (int k = 1; k < 10; ++k) {
      const HlrUvd q = iso(s.a + (s.b - s.a) * (k / 10.0));
      EXPECT_TRUE(on_lines(all, 1, q.u, q.v)) << str(s.a) << "-" << str(s.b) << " at " << k / 10.0;
      EXPECT_FALSE(on_lines(all, 0, q.u, q.v)) << str(s.a) << "-" << str(s.b) << " at " << k / 10.0;
    }
  }
}

// The pairs and triples of solids that pass into each other, each seen from
// several sides and in perspective.
TEST_F(HlrMeetTest, DrawingMatchesRayCastingForSolidsThatPassIntoEachOther) {
  struct Scene {
    const char* name;
    std::vector<Solid> solids;
  };
  const Solid a = box({0, 0, 0}, {1, 1, 1});
  std::vector<Scene> scenes;
  scenes.push_back({"two boxes", {a, box({0.5, 0.5, 0.5}, {1.5, 1.5, 1.5})}});
  scenes.push_back({"flat box through a side, listed first", {box({-0.3, 0.2, 0.4}, {0.6, 2, 0.8}), a}});
  scenes.push_back(
      {"three boxes", {a, box({0.5, 0.5, 0.5}, {1.5, 1.5, 1.5}), box({0.7, 0.3, 0.8}, {1.2, 0.8, 1.3})}});
  scenes.push_back({"turned beam and a roof prism through a box",
                    {a, turned_box(0.5, 0.5, 1.2, 0.25, 0.6, 0.3, 0.7),
                     prism({{-0.5, -0.4, 0.2}, {1.5, -0.4, 0.2}, {0.5, -0.4, 1.4}}, {0, 1.7, 0.1})}});
  scenes.push_back({"beams through a wall, one through its lintel",
                    {wall_with_window(0, 6, 1, 2.2), box({3, -1, 2.2}, {3.3, 1.5, 2.5}),
                     box({1.5, -0.8, 2.1}, {1.8, 0.7, 2.4})}});
  scenes.push_back({"wall through a slab level with its window sill",
                    {wall_with_window(0, 6, 1, 2.2), box({-0.5, -2, 0.65}, {4, 2, 0.9})}});
  scenes.push_back({"wall through a slab that passes its window",
                    {box({-0.5, -2, 1.1}, {4, 2, 1.35}), wall_with_window(0, 6, 1, 2.2)}});

  for (const Scene& scene : scenes) {
    const std::vector<View> views = views_of(scene.solids);
    for (size_t v = 0; v < views.size(); ++v) {
      const std::vector<std::string> found = faults(scene.solids, views[v]);
      EXPECT_TRUE(found.empty()) << scene.name << ", view " << v << ": " << found.size() << " faults, first "
                                 << found.front();
    }
  }
}

// Solids that stand on or lie against each other meet along their own
// edges or over whole faces: nothing is cut there, and no edge is lost.
TEST_F(HlrMeetTest, SolidsThatOnlyTouchGainNoLines) {
  const std::vector<std::vector<Solid>> scenes = {
      // A box on a slab, a beam against the box and on the slab, a block on
      // the box flush with two of its sides.
      {box({-0.5, -0.5, 0}, {1.5, 1.5, 0.25}), box({0.2, 0.2, 0.25}, {0.8, 0.8, 1}),
       box({0.8, 0.3, 0.25}, {1.3, 0.6, 0.5}), box({0.2, 0.5, 1}, {0.5, 0.8, 1.4})},
      // A wall with a window on a floor slab, a box standing against it.
      {box({-1, -1, -0.25}, {7, 2, 0}), wall_with_window(0, 6, 1, 2.2), box({3, 0.15, 0}, {3.6, 0.9, 0.8})},
      // A wall with a door down to the floor slab it stands on, and a
      // ceiling slab lying on it.
      {box({-1, -1, -0.25}, {7, 2, 0}), wall_with_opening(0, 6, OPENING_DOOR, 2, 3, 0, 2.1),
       box({-0.5, -0.5, 2.75}, {6.5, 1.5, 3})},
  };
  for (size_t i = 0; i < scenes.size(); ++i) {
    const std::vector<View> views = views_of(scenes[i]);
    for (size_t v = 0; v < views.size(); ++v) {
      const std::vector<std::string> found = faults(scenes[i], views[v], true);
      EXPECT_TRUE(found.empty()) << "scene " << i << ", view " << v << ": " << found.size()
                                 << " faults, first " << found.front();
    }
  }
}

}  // namespace
