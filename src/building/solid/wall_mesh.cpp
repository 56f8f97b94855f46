#include "building/solid/wall_mesh.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

#include "building/solid/solid_mesh.h"
#include "model/consts.h"
#include "model/geom.h"
#include "model/vec3.h"

namespace {

struct MeshOpening {
  std::array<Point3, 8> box;
  Point3 a, b;  // bridge points on the base plane below box corners 0 and 2
  double key = 0.0;
};

// Where the line through p and q meets the plane through a, b and c; none
// when it runs parallel to the plane, the points coincide or the plane is
// degenerate.
std::optional<Point3> line_plane(Point3 p, Point3 q, Point3 a, Point3 b, Point3 c) {
  if (!vec3_line_plane_intersect(p, q, a, b, c)) return std::nullopt;
  Point3 r = geo_result.isect3;
  r.mark = 0;
  return r;
}

// The point of the base plane (through a, b, c) below box corner `top`
// along the line to `bottom`. A box of no height gives no line: then the
// point of the plane straight below the corner, or the corner itself when
// the plane stands upright or is degenerate.
Point3 bridge_point(Point3 top, Point3 bottom, Point3 a, Point3 b, Point3 c) {
  if (auto r = line_plane(top, bottom, a, b, c)) return *r;
  Point3 below = bottom;
  below.z -= 1.0;
  if (auto r = line_plane(bottom, below, a, b, c)) return *r;
  Point3 r = bottom;
  r.mark = 0;
  return r;
}

std::vector<MeshOpening> sorted_openings(const WallElem& w) {
  const Point3 &c0 = w.corner[0], &c1 = w.corner[1], &c2 = w.corner[2];
  std::vector<MeshOpening> out;
  out.reserve(w.openings.size());
  for (const WallOpening& o : w.openings) {
    MeshOpening m;
    for (int i = 0; i < 8; ++i) m.box[i] = {o.corner[i].x, o.corner[i].y, o.corner[i].z, 0};
    // Corners 0 and 1 go on face 0-1, running from the wall's corner 0: a
    // box made from face 2-3 runs backwards along the wall and is turned.
    if (geom_dist(m.box[1].x, m.box[1].y, c0.x, c0.y) < geom_dist(m.box[0].x, m.box[0].y, c0.x, c0.y)) {
      static constexpr int turn[8] = {2, 3, 0, 1, 6, 7, 4, 5};
      const std::array<Point3, 8> old = m.box;
      for (int i = 0; i < 8; ++i) m.box[i] = old[turn[i]];
    }
    m.key = geom_projection(m.box[0].x, m.box[0].y, c0.x, c0.y, c1.x, c1.y).t;
    m.a = bridge_point(m.box[4], m.box[0], c0, c1, c2);
    m.b = bridge_point(m.box[6], m.box[2], c0, c1, c2);
    out.push_back(m);
  }
  std::stable_sort(out.begin(), out.end(),
                   [](const MeshOpening& x, const MeshOpening& y) { return x.key < y.key; });
  return out;
}

class FaceList {
 public:
  void face(std::initializer_list<int32_t> idx) {
    sizes.push_back(static_cast<int32_t>(idx.size()));
    indices.insert(indices.end(), idx);
  }
  void begin() { sizes.push_back(0); }
  void add(int32_t i) {
    ++sizes.back();
    indices.push_back(i);
  }
  std::vector<int32_t> sizes, indices;
};

}  // namespace

void wall_to_mesh(const WallElem& w, int layer) {
  const bool gable = w.gable == 1;
  const int g = gable ? 1 : 0;
  const std::vector<MeshOpening> ops = sorted_openings(w);
  const int o = static_cast<int>(ops.size());

  std::vector<Point3> v;
  v.reserve(8 + 2 * g + 10 * o);
  for (const Point3& c : w.corner) v.push_back({c.x, c.y, c.z, 0});
  if (gable) {
    v.push_back({w.gable_a.x, w.gable_a.y, w.gable_a.z, 0});
    v.push_back({w.gable_b.x, w.gable_b.y, w.gable_b.z, 0});
  }
  for (const MeshOpening& m : ops) {
    v.insert(v.end(), m.box.begin(), m.box.end());
    v.push_back(m.a);
    v.push_back(m.b);
  }
  auto base_of = [&](int k) { return 8 + 2 * g + 10 * k; };

  FaceList f;
  if (o == 0) {
    f.face({0, 1, 2, 3});
    f.face({1, 5, 6, 2});
    f.face({3, 7, 4, 0});
    if (gable) {
      f.face({4, 7, 9, 8});
      f.face({8, 9, 6, 5});
      f.face({0, 4, 8, 5, 1});
      f.face({2, 6, 9, 7, 3});
    } else {
      f.face({4, 7, 6, 5});
      f.face({0, 4, 5, 1});
      f.face({2, 6, 7, 3});
    }
  } else {
    // Face 0-1: its bridges are passed going back along the base, from the
    // wall's end to its start.
    f.begin();
    for (int i : {0, 4}) f.add(i);
    if (gable) f.add(8);
    for (int i : {5, 1}) f.add(i);
    for (int k = o - 1; k >= 0; --k) {
      const int b = base_of(k);
      for (int i : {8, 0, 1, 5, 4, 0, 8}) f.add(b + i);
    }
    // Face 2-3: from the start to the end.
    f.begin();
    for (int i : {2, 6}) f.add(i);
    if (gable) f.add(9);
    for (int i : {7, 3}) f.add(i);
    for (int k = 0; k < o; ++k) {
      const int b = base_of(k);
      for (int i : {9, 2, 3, 7, 6, 2, 9}) f.add(b + i);
    }
    f.face({0, 1, 2, 3});
    f.face({0, 3, 7, 4});
    f.face({1, 5, 6, 2});
    if (gable) {
      f.face({4, 7, 9, 8});
      f.face({8, 9, 6, 5});
    } else {
      f.face({4, 7, 6, 5});
    }
    for (int k = 0; k < o; ++k) {
      const int b = base_of(k);
      f.face({b + 0, b + 3, b + 2, b + 1});  // sill
      f.face({b + 4, b + 5, b + 6, b + 7});  // lintel
      f.face({b + 0, b + 4, b + 7, b + 3});  // jamb at the corner-0 end
      f.face({b + 1, b + 2, b + 6, b + 5});  // jamb at the corner-1 end
    }
  }
  // A wall whose top lies below its base (given a negative height) would
  // otherwise come out inside out.
  solid_wind_outward(v, f.sizes, f.indices);
  elem_new_mesh(layer, w.pen, w.line_type, static_cast<int>(v.size()), static_cast<int>(f.sizes.size()),
                f.sizes.data(), v.data(), f.indices.data(), w.material.view(), 0);
}

void wall_marked_to_temp_meshes() {
  // The meshes go after the last element there was: they are no walls, but
  // the walk must not go on into them.
  std::vector<const WallElem*> walls;
  ElemHeader* it;
  for (ElemHeader* e = elem_first(&it); e; e = elem_next(&it))
    if (e->mark == 1)
      if (const auto* w = elem_as<WallElem>(e)) walls.push_back(w);
  // Temporary meshes are never saved: the drawing is not modified by them.
  const int modified = drawing_modified;
  for (const WallElem* w : walls) wall_to_mesh(*w, LAYER_TEMP_3D);
  drawing_modified = modified;
}

void wall_temp_meshes_drop() {
  // The purge frees every marked element: the marks of the others are kept
  // aside meanwhile, so that a caller that forgot to clear them loses nothing.
  std::vector<std::pair<ElemHeader*, uint8_t>> marked;
  ElemHeader* it;
  for (ElemHeader* e = elem_first(&it); e; e = elem_next(&it)) {
    if (e->layer == LAYER_TEMP_3D) {
      e->mark = 1;
    } else if (e->mark) {
      marked.emplace_back(e, e->mark);
      e->mark = 0;
    }
  }
  const int modified = drawing_modified;
  elem_purge_marked();
  drawing_modified = modified;
  for (auto& [e, mark] : marked) e->mark = mark;
}
