// The hidden-line renderer on small scenes with known results, and the fast
// renderer against the plain reference on random scenes.

#include "building/solid/hlr.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "building/solid/solid_mesh.h"
#include "hlr_reference.h"
#include "model/geom.h"
#include "model/settings.h"
#include "model/view_rec.h"

namespace {

// Keeps every line; clips to an optional window (Liang-Barsky).
class RecordingSink : public HlrSink {
 public:
  std::vector<HlrLine> lines;
  bool windowed = false;
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  int flushes = 0;

  bool clip(HlrLine& l) override {
    if (!windowed) return true;
    double t0 = 0, t1 = 1;
    const double dx = l.x2 - l.x1, dy = l.y2 - l.y1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {l.x1 - x0, x1 - l.x1, l.y1 - y0, y1 - l.y1};
    for (int i = 0; i < 4; ++i) {
      if (p[i] == 0) {
        if (q[i] < 0) return false;
        continue;
      }
      const double t = q[i] / p[i];
      if (p[i] < 0)
        t0 = std::max(t0, t);
      else
        t1 = std::min(t1, t);
    }
    if (t0 > t1) return false;
    const HlrLine in = l;
    l.x1 = in.x1 + t0 * dx, l.y1 = in.y1 + t0 * dy;
    l.x2 = in.x1 + t1 * dx, l.y2 = in.y1 + t1 * dy;
    return true;
  }
  void line_new(const HlrLine& l) override { lines.push_back(l); }
  void line_extend(double x2, double y2) override {
    lines.back().x2 = x2;
    lines.back().y2 = y2;
  }
  void flush() override { ++flushes; }
};

struct Mesh {
  SolidMesh mesh;
  uint8_t pen = 1;
  uint8_t line_type = 0;
};

// Projects through view_project in the given view type.
HlrScene build(const std::vector<Mesh>& meshes, int type) {
  std::vector<HlrMeshInput> in;
  for (const Mesh& m : meshes)
    in.push_back({&m.mesh.vertices, &m.mesh.face_sizes, &m.mesh.indices, m.pen, m.line_type});
  const int32_t saved = view_type;
  view_type = type;
  HlrScene scene = hlr_build(in, [](const Point3& p) {
    view_project(p.x, p.y, p.z);
    return HlrUvd{geo_result.view_u, geo_result.view_v, geo_result.view_depth};
  });
  view_type = saved;
  return scene;
}

struct Result {
  HlrCounts counts;
  std::vector<HlrLine> lines;
};

Result render(const std::vector<Mesh>& meshes, int type, const HlrOptions& options = {}) {
  HlrScene scene = build(meshes, type);
  RecordingSink sink;
  Result r;
  r.counts = hlr_render(scene, options, sink);
  r.lines = sink.lines;
  return r;
}

int count_type(const Result& r, int lt) {
  return static_cast<int>(
      std::count_if(r.lines.begin(), r.lines.end(), [&](const HlrLine& l) { return l.line_type == lt; }));
}

// A quad mesh from plan corners given clockwise seen from above, at heights z.
SolidMesh quads(const std::vector<Point3>& v, const std::vector<std::vector<int32_t>>& faces) {
  SolidMesh m;
  m.vertices = v;
  for (const auto& f : faces) {
    m.face_sizes.push_back(static_cast<int32_t>(f.size()));
    m.indices.insert(m.indices.end(), f.begin(), f.end());
  }
  return m;
}

// Bit for bit, so the two renderers must compute every number alike.
bool identical(const HlrLine& a, const HlrLine& b) {
  return std::memcmp(&a.x1, &b.x1, sizeof(double)) == 0 && std::memcmp(&a.y1, &b.y1, sizeof(double)) == 0 &&
         std::memcmp(&a.x2, &b.x2, sizeof(double)) == 0 && std::memcmp(&a.y2, &b.y2, sizeof(double)) == 0 &&
         a.pen == b.pen && a.line_type == b.line_type;
}

bool same_segment(const HlrLine& l, double x1, double y1, double x2, double y2) {
  auto eq = [](double a, double b) { return std::fabs(a - b) < 1e-9; };
  return (eq(l.x1, x1) && eq(l.y1, y1) && eq(l.x2, x2) && eq(l.y2, y2)) ||
         (eq(l.x1, x2) && eq(l.y1, y2) && eq(l.x2, x1) && eq(l.y2, y1));
}

TEST(Hlr, CuboidInIsometricViewShowsEachVisibleEdgeOnce) {
  const std::vector<Mesh> cuboid = {{solid_cuboid(0, 0, 2, 1, 0, 3), 3, 0}};
  const Result plain = render(cuboid, VIEW_ISO_FRONT_LEFT);
  EXPECT_EQ(plain.counts.lines, 9);
  EXPECT_EQ(plain.counts.joins, 0);
  ASSERT_EQ(plain.lines.size(), 9u);
  EXPECT_EQ(count_type(plain, 0), 9);
  for (size_t i = 0; i < plain.lines.size(); ++i)
    for (size_t j = i + 1; j < plain.lines.size(); ++j) {
      const HlrLine& b = plain.lines[j];
      EXPECT_FALSE(same_segment(plain.lines[i], b.x1, b.y1, b.x2, b.y2)) << i << " " << j;
    }

  HlrOptions hidden;
  hidden.hidden_edges = 1;
  const Result all = render(cuboid, VIEW_ISO_FRONT_LEFT, hidden);
  EXPECT_EQ(all.counts.lines, 12);
  EXPECT_EQ(count_type(all, 1), 3);
  // The visible lines come first and are the same as without the option.
  for (size_t i = 0; i < 9; ++i) EXPECT_TRUE(identical(all.lines[i], plain.lines[i]));
  // The three hidden edges meet in the far lower corner (2, 1, 0), hidden
  // behind the box.
  view_type = VIEW_ISO_FRONT_LEFT;
  view_project(2, 1, 0);
  view_type = VIEW_PLAN;
  const double cu = geo_result.view_u, cv = geo_result.view_v;
  for (size_t i = 9; i < 12; ++i) {
    const HlrLine& l = all.lines[i];
    EXPECT_TRUE(hlr_points_equal(l.x1, l.y1, cu, cv) || hlr_points_equal(l.x2, l.y2, cu, cv)) << i;
  }
}

// A prism drawn with a negative height (its top below its base) shows the
// same visible edges as the box over the same span, not its bottom and back.
TEST(Hlr, PrismOfNegativeHeightShowsItsTopAndFront) {
  const std::vector<Point3> base = {{0, 0, 3, 0}, {0, 1, 3, 0}, {2, 1, 3, 0}, {2, 0, 3, 0}};
  std::vector<Point3> top = base;
  for (Point3& p : top) p.z = 0;
  const Result box = render({{solid_cuboid(0, 0, 2, 1, 0, 3), 3, 0}}, VIEW_ISO_FRONT_LEFT);
  const Result prism = render({{solid_prism(base, top), 3, 0}}, VIEW_ISO_FRONT_LEFT);
  ASSERT_EQ(prism.lines.size(), box.lines.size());
  for (const HlrLine& l : prism.lines)
    EXPECT_TRUE(std::any_of(box.lines.begin(), box.lines.end(),
                            [&](const HlrLine& b) { return same_segment(l, b.x1, b.y1, b.x2, b.y2); }))
        << l.x1 << "," << l.y1 << " " << l.x2 << "," << l.y2;
}

TEST(Hlr, SilhouettePenIsOneHigherOnTheOutlineWithinThePenTable) {
  struct Case {
    uint8_t pen;
    int single, silhouettes;
    uint8_t outline, inner;
  };
  const Case cases[] = {
      {3, 0, 0, 3, 3}, {3, 0, 1, 4, 3}, {3, 1, 1, 0, 0}, {7, 0, 1, 7, 7}, {99, 0, 1, 99, 99},
  };
  for (const Case& c : cases) {
    HlrOptions o;
    o.single_colour = c.single;
    o.silhouettes = c.silhouettes;
    const Result r = render({{solid_cuboid(0, 0, 2, 1, 0, 3), c.pen, 0}}, VIEW_ISO_FRONT_LEFT, o);
    ASSERT_EQ(r.lines.size(), 9u);
    int outline = 0, inner = 0;
    for (const HlrLine& l : r.lines) {
      if (l.pen == c.outline) ++outline;
      if (l.pen == c.inner) ++inner;
    }
    if (c.outline != c.inner) {
      EXPECT_EQ(outline, 6) << int(c.pen);
      EXPECT_EQ(inner, 3) << int(c.pen);
    } else {
      EXPECT_EQ(outline, 9) << int(c.pen);
    }
  }
}

// Two quads of one mesh meeting along x = 1, seen from above; the second
// one tilts up by the given height at its far side.
Mesh roof(double rise) {
  return {quads({{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}, {2, 1, rise}, {2, 0, rise}},
                {{0, 1, 2, 3}, {3, 2, 4, 5}}),
          1, 0};
}

TEST(Hlr, SmoothingHidesTheSharedEdgeOnlyBelowTheAngle) {
  HlrOptions smooth;
  smooth.smoothing = 1;
  struct Case {
    double rise;
    int smoothing;
    bool shared_drawn;
  };
  // 0.2 over 1 is about 11 degrees, 1 over 1 is 45 degrees.
  const Case cases[] = {{0.2, 0, true}, {0.2, 1, false}, {1.0, 1, true}};
  for (const Case& c : cases) {
    HlrOptions o;
    o.smoothing = c.smoothing;
    const Result r = render({roof(c.rise)}, VIEW_PLAN, o);
    int shared = 0;
    for (const HlrLine& l : r.lines) shared += same_segment(l, 1, 0, 1, 1) ? 1 : 0;
    EXPECT_EQ(shared, c.shared_drawn ? 1 : 0) << c.rise << " " << c.smoothing;
    // The outline: two sides at x = 0 and x = 2, and the long edges at
    // y = 0 and y = 1 in two pieces each.
    int total = r.counts.lines;
    EXPECT_EQ(total + r.counts.joins, (c.shared_drawn ? 7 : 6)) << c.rise << " " << c.smoothing;
  }
}

TEST(Hlr, EdgeSharedByTwoMeshesIsDrawnByEach) {
  const Mesh left{quads({{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}}, {{0, 1, 2, 3}}), 1, 0};
  const Mesh right{quads({{1, 0, 0}, {1, 1, 0}, {2, 1, 0}, {2, 0, 0}}, {{0, 1, 2, 3}}), 1, 0};
  const Result r = render({left, right}, VIEW_PLAN);
  int shared = 0;
  for (const HlrLine& l : r.lines) shared += same_segment(l, 1, 0, 1, 1) ? 1 : 0;
  EXPECT_EQ(shared, 2);
}

TEST(Hlr, PartlyCoveredEdgeIsCutAtTheNearerOutline) {
  // A 4 x 4 square at z 0 and a 2 x 2 square at z 1 over its middle of the
  // lower edge: the lower edge y = 0 shows from 0 to 1 and from 3 to 4.
  const Mesh back{quads({{0, 0, 0}, {0, 4, 0}, {4, 4, 0}, {4, 0, 0}}, {{0, 1, 2, 3}}), 1, 0};
  const Mesh front{quads({{1, -1, 1}, {1, 1, 1}, {3, 1, 1}, {3, -1, 1}}, {{0, 1, 2, 3}}), 2, 0};
  HlrOptions o;
  const Result r = render({back, front}, VIEW_PLAN, o);
  std::vector<HlrLine> lower;
  for (const HlrLine& l : r.lines)
    if (l.pen == 1 && std::fabs(l.y1) < 1e-12 && std::fabs(l.y2) < 1e-12) lower.push_back(l);
  ASSERT_EQ(lower.size(), 2u);
  EXPECT_TRUE(same_segment(lower[0], 4, 0, 3, 0) || same_segment(lower[0], 0, 0, 1, 0));
  EXPECT_TRUE(same_segment(lower[1], 4, 0, 3, 0) || same_segment(lower[1], 0, 0, 1, 0));
  // No line of the back square ends inside the front square.
  for (const HlrLine& l : r.lines) {
    if (l.pen != 1) continue;
    for (auto [x, y] : {std::pair{l.x1, l.y1}, std::pair{l.x2, l.y2}})
      EXPECT_FALSE(x > 1 + 1e-9 && x < 3 - 1e-9 && y > -1 + 1e-9 && y < 1 - 1e-9) << x << " " << y;
  }

  // With hidden edges the covered piece comes back in line type 1.
  o.hidden_edges = 1;
  const Result h = render({back, front}, VIEW_PLAN, o);
  int dashed = 0;
  for (const HlrLine& l : h.lines) dashed += l.line_type == 1 && same_segment(l, 1, 0, 3, 0) ? 1 : 0;
  EXPECT_EQ(dashed, 1);
}

TEST(Hlr, CollinearVisiblePiecesBecomeOneLine) {
  // Two coplanar squares overlapping: the crossing of the other square's
  // outline splits the edge, but neither square hides the other, so the two
  // pieces are joined again.
  const Mesh a{quads({{0, 0, 0}, {0, 2, 0}, {2, 2, 0}, {2, 0, 0}}, {{0, 1, 2, 3}}), 1, 0};
  const Mesh b{quads({{1, 1, 0}, {1, 3, 0}, {3, 3, 0}, {3, 1, 0}}, {{0, 1, 2, 3}}), 1, 0};
  const Result r = render({a, b}, VIEW_PLAN);
  EXPECT_EQ(r.counts.lines, 8);
  EXPECT_EQ(r.counts.joins, 4);
  // Each square's two edges crossed by the other's outline are whole.
  int whole = 0;
  for (const HlrLine& l : r.lines)
    whole += same_segment(l, 0, 2, 2, 2) || same_segment(l, 2, 2, 2, 0) || same_segment(l, 1, 1, 1, 3) ||
                     same_segment(l, 1, 1, 3, 1)
                 ? 1
                 : 0;
  EXPECT_EQ(whole, 4);
}

// Pieces are joined only where one goes on along the line of the other:
// the sides of a square meet at right angles at its corners however small
// or large the square is and wherever it lies.
TEST(Hlr, OnlyPiecesOnOneLineAreJoined) {
  struct Case {
    double x, y, side;
  };
  for (const Case& c : {Case{0, 0, 0.001}, Case{0.2, -0.1, 0.003}, Case{0, 0, 1}, Case{-400, 300, 250}}) {
    const double x0 = c.x, y0 = c.y, x1 = c.x + c.side, y1 = c.y + c.side;
    const Mesh square{quads({{x0, y0, 0}, {x0, y1, 0}, {x1, y1, 0}, {x1, y0, 0}}, {{0, 1, 2, 3}}), 1, 0};
    const Result r = render({square}, VIEW_PLAN);
    EXPECT_EQ(r.counts.lines, 4) << c.side;
    EXPECT_EQ(r.counts.joins, 0) << c.side;
    ASSERT_EQ(r.lines.size(), 4u) << c.side;
    EXPECT_TRUE(same_segment(r.lines[0], x0, y0, x0, y1)) << c.side;
    EXPECT_TRUE(same_segment(r.lines[1], x0, y1, x1, y1)) << c.side;
    EXPECT_TRUE(same_segment(r.lines[2], x1, y1, x1, y0)) << c.side;
    EXPECT_TRUE(same_segment(r.lines[3], x1, y0, x0, y0)) << c.side;
  }
}

TEST(Hlr, FacesBehindThePerspectiveCameraHideNothing) {
  // A face with a corner behind the camera is a back face; the one in
  // front of the camera is drawn in full.
  const SolidMesh m =
      quads({{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}, {0, 0, 1}, {0, 1, 1}, {1, 1, 1}, {1, 0, 1}},
            {{0, 1, 2, 3}, {4, 5, 6, 7}});
  std::vector<HlrMeshInput> in = {{&m.vertices, &m.face_sizes, &m.indices, 1, 0}};
  HlrScene scene = hlr_build(in, [](const Point3& p) {
    return p.z > 0.5 ? HlrUvd{999, 999, 999} : HlrUvd{p.x, p.y, -p.z};
  });
  RecordingSink sink;
  const HlrCounts c = hlr_render(scene, HlrOptions{}, sink);
  EXPECT_EQ(c.lines, 4);
  ASSERT_TRUE(hlr_front_window(scene));
  EXPECT_EQ(hlr_front_window(scene)->umax, 1.0);
}

TEST(Hlr, ClippedLinesStayInTheWindowAndEmptySceneGivesNothing) {
  HlrScene empty = build({}, VIEW_ISO_FRONT_LEFT);
  RecordingSink none;
  EXPECT_EQ(hlr_render(empty, HlrOptions{}, none).lines, 0);
  EXPECT_FALSE(hlr_front_window(empty));

  HlrScene scene = build({{solid_cuboid(0, 0, 2, 1, 0, 3), 1, 0}}, VIEW_ISO_FRONT_LEFT);
  RecordingSink sink;
  sink.windowed = true;
  sink.x0 = -0.5, sink.y0 = 0, sink.x1 = 3, sink.y1 = 2;
  hlr_render(scene, HlrOptions{}, sink);
  EXPECT_GT(sink.lines.size(), 0u);
  EXPECT_LT(sink.lines.size(), 9u);
  for (const HlrLine& l : sink.lines)
    for (double x : {l.x1, l.x2}) EXPECT_TRUE(x >= -0.5 - 1e-12 && x <= 3 + 1e-12);
}

TEST(Hlr, BadCornerIndicesLeaveTheFaceOut) {
  SolidMesh m = solid_cuboid(0, 0, 1, 1, 0, 1);
  m.indices[0] = 8;           // past the vertices: the bottom face goes
  m.indices[5] = -6;          // a negative index stands for 6
  m.face_sizes.push_back(4);  // past the end of the indices
  std::vector<HlrMeshInput> in = {{&m.vertices, &m.face_sizes, &m.indices, 1, 0}};
  HlrScene scene = hlr_build(in, [](const Point3& p) { return HlrUvd{p.x, p.y, -p.z}; });
  EXPECT_EQ(scene.faces.size(), 5u);
  EXPECT_EQ(scene.corners[1], 6);  // the top face comes first now

  // A corner that does not project to a number leaves its faces out.
  m = solid_cuboid(0, 0, 1, 1, 0, 1);
  m.vertices[7].z = std::nan("");
  m.vertices[6].x = HUGE_VAL;
  HlrScene bad = hlr_build(in, [](const Point3& p) { return HlrUvd{p.x, p.y, -p.z}; });
  // The bottom and the side along y = 0 keep clear of both.
  EXPECT_EQ(bad.faces.size(), 2u);
  EXPECT_EQ(bad.corners.size(), 8u);
  RecordingSink sink;
  EXPECT_EQ(hlr_render(bad, HlrOptions{}, sink).lines, 0);  // neither faces the viewer
}

// Random boxes and slanted triangles in a small space, so that many faces
// overlap, touch and share depths.
std::vector<Mesh> random_scene(unsigned seed, int boxes, int triangles) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> pos(0, 6), size(0.2, 2.5);
  std::uniform_int_distribution<int> grid(0, 12), pen(0, 7);
  std::vector<Mesh> out;
  for (int i = 0; i < boxes; ++i) {
    // Half of the boxes on a half-unit grid, so edges meet and line up.
    double x, y, z;
    if (i % 2)
      x = grid(rng) * 0.5, y = grid(rng) * 0.5, z = grid(rng) * 0.25;
    else
      x = pos(rng), y = pos(rng), z = pos(rng) * 0.5;
    out.push_back({solid_cuboid(x, y, x + size(rng), y + size(rng), z, z + size(rng)),
                   static_cast<uint8_t>(pen(rng)), static_cast<uint8_t>(i % 3)});
  }
  Mesh tris;
  for (int i = 0; i < triangles; ++i) {
    const int base = static_cast<int>(tris.mesh.vertices.size());
    for (int k = 0; k < 3; ++k) tris.mesh.vertices.push_back({pos(rng), pos(rng), pos(rng)});
    tris.mesh.face_sizes.push_back(3);
    tris.mesh.indices.insert(tris.mesh.indices.end(), {base, base + 1, base + 2});
  }
  // A strip of triangles sharing edges, some of them folded only slightly.
  const int base = static_cast<int>(tris.mesh.vertices.size());
  for (int k = 0; k < 10; ++k) {
    tris.mesh.vertices.push_back({k * 0.6, 0, (k % 3) * 0.05});
    tris.mesh.vertices.push_back({k * 0.6, 2, (k % 2) * 0.3});
  }
  for (int k = 0; k + 1 < 10; ++k) {
    const int a = base + 2 * k;
    tris.mesh.face_sizes.insert(tris.mesh.face_sizes.end(), {3, 3});
    tris.mesh.indices.insert(tris.mesh.indices.end(), {a, a + 1, a + 3, a, a + 3, a + 2});
  }
  out.push_back(tris);
  return out;
}

// A hilly grid of n x n points, triangles clockwise from above: many shared
// edges, smooth and sharp folds, slopes hiding slopes.
Mesh hills(int n, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> jitter(-0.3, 0.3);
  Mesh m;
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i)
      m.mesh.vertices.push_back(
          {double(i), double(j), 2.5 * std::sin(i * 0.9) * std::cos(j * 0.7) + jitter(rng)});
  for (int j = 0; j + 1 < n; ++j)
    for (int i = 0; i + 1 < n; ++i) {
      const int a = j * n + i, b = a + 1, c = a + n, d = c + 1;
      m.mesh.face_sizes.insert(m.mesh.face_sizes.end(), {3, 3});
      m.mesh.indices.insert(m.mesh.indices.end(), {a, c, d, a, d, b});
    }
  return m;
}

TEST(Hlr, FastRendererMatchesTheReferenceOnRandomScenes) {
  const int views[] = {VIEW_PLAN, VIEW_ISO_FRONT_LEFT, 3 /* iso front right */, 6 /* left elevation */};
  int compared = 0;
  for (unsigned seed = 1; seed <= 8; ++seed) {
    // Odd seeds: boxes and loose triangles; even seeds: hills.
    const std::vector<Mesh> scene =
        seed % 2 ? random_scene(seed, 30, 80) : std::vector<Mesh>{hills(14, seed)};
    for (int view : views) {
      HlrOptions o;
      o.hidden_edges = (seed / 2) % 2;
      o.smoothing = (seed / 4) % 2;
      o.silhouettes = (seed / 4) % 2;
      o.single_colour = seed == 7;
      HlrScene a = build(scene, view);
      HlrScene b = build(scene, view);
      ASSERT_GT(a.faces.size(), 250u);
      RecordingSink fast, plain;
      fast.windowed = plain.windowed = seed % 3 == 0;
      fast.x0 = plain.x0 = -2, fast.y0 = plain.y0 = -1, fast.x1 = plain.x1 = 3, fast.y1 = plain.y1 = 4;
      const HlrCounts cf = hlr_render(a, o, fast);
      const HlrCounts cp = hlr_render_reference(b, o, plain);
      EXPECT_EQ(cf.lines, cp.lines) << seed << " " << view;
      EXPECT_EQ(cf.joins, cp.joins) << seed << " " << view;
      ASSERT_EQ(fast.lines.size(), plain.lines.size()) << seed << " " << view;
      for (size_t i = 0; i < fast.lines.size(); ++i)
        ASSERT_TRUE(identical(fast.lines[i], plain.lines[i])) << seed << " " << view << " " << i;
      compared += cp.lines;
    }
  }
  EXPECT_GT(compared, 1000);
}

}  // namespace
