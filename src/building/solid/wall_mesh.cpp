#include "building/solid/wall_mesh.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <iterator>
#include <map>
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

// A face of the mesh as first built: its outer loop, the loops of the holes
// through it and, per hole, the bridge that joins it to the outer loop (a
// point of the base edge and the hole's corner straight above it).
struct LoopFace {
  std::vector<int32_t> outer;
  std::vector<std::vector<int32_t>> holes;
  std::vector<std::pair<int32_t, int32_t>> bridges;
};

Point3 newell(const std::vector<Point3>& v, const std::vector<int32_t>& loop) {
  Point3 n{0, 0, 0, 0};
  for (std::size_t i = 0; i < loop.size(); ++i) {
    const Point3& p = v[static_cast<std::size_t>(loop[i])];
    const Point3& q = v[static_cast<std::size_t>(loop[(i + 1) % loop.size()])];
    n.x += (p.y - q.y) * (p.z + q.z);
    n.y += (p.z - q.z) * (p.x + q.x);
    n.z += (p.x - q.x) * (p.y + q.y);
  }
  return n;
}

// Where a door stands on the floor, an opening reaches the top or an end of
// the wall, or two openings meet, the faces built for the wall body and for
// the opening boxes lie on one another. Taken as signed areas, the faces of
// one plane add up to the wall less its openings: edges met both ways
// cancel, and what is left, chained into loops, are the faces the solid
// really has, each edge shared by exactly two of them. Faces that nothing
// touches come out as they went in.
class WallFaces {
 public:
  WallFaces(std::vector<Point3>& v, const std::vector<LoopFace>& faces) : v_(v), faces_(faces) {
    double extent = 0;
    for (const Point3& p : v) extent = std::max({extent, std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)});
    eps_ = 1e-9 * (1 + extent);
  }

  // The closed faces as sizes and indices, vertices no face uses dropped.
  void build(std::vector<int32_t>& sizes, std::vector<int32_t>& indices) {
    weld();
    std::vector<int> plane(faces_.size(), -1);
    std::vector<std::vector<std::size_t>> groups;
    for (std::size_t i = 0; i < faces_.size(); ++i) {
      if (plane[i] >= 0) continue;
      plane[i] = static_cast<int>(groups.size());
      groups.push_back({i});
      for (std::size_t j = i + 1; j < faces_.size(); ++j)
        if (plane[j] < 0 && coplanar(i, j)) {
          plane[j] = plane[i];
          groups.back().push_back(j);
        }
    }
    std::vector<std::vector<int32_t>> out;
    for (const auto& group : groups) {
      auto made = sum_plane(group);
      out.insert(out.end(), made.begin(), made.end());
    }
    compact(out, sizes, indices);
  }

 private:
  // Points closer than eps_ are one: the first of them.
  void weld() {
    map_.resize(v_.size());
    for (std::size_t i = 0; i < v_.size(); ++i) {
      map_[i] = static_cast<int32_t>(i);
      for (std::size_t j = 0; j < i; ++j)
        if (map_[j] == static_cast<int32_t>(j) && vec3_distance(v_[i], v_[j]) < eps_) {
          map_[i] = static_cast<int32_t>(j);
          break;
        }
    }
  }
  std::vector<int32_t> welded(const std::vector<int32_t>& loop) const {
    std::vector<int32_t> out;
    for (int32_t i : loop) {
      const int32_t w = map_[static_cast<std::size_t>(i)];
      if (out.empty() || out.back() != w) out.push_back(w);
    }
    while (out.size() > 1 && out.front() == out.back()) out.pop_back();
    return out;
  }

  bool coplanar(std::size_t i, std::size_t j) const {
    Point3 a = newell(v_, faces_[i].outer), b = newell(v_, faces_[j].outer);
    const double la = vec3_length(a.x, a.y, a.z), lb = vec3_length(b.x, b.y, b.z);
    if (!(la > 0) || !(lb > 0)) return false;
    if (std::fabs(vec3_dot(a, b)) < (1 - 1e-9) * la * lb) return false;
    const Point3& p = v_[static_cast<std::size_t>(faces_[i].outer[0])];
    for (int32_t k : faces_[j].outer)
      if (std::fabs(vec3_dot(a, vec3_sub(v_[static_cast<std::size_t>(k)], p))) / la > eps_) return false;
    return true;
  }

  // The faces of one plane, summed.
  std::vector<std::vector<int32_t>> sum_plane(const std::vector<std::size_t>& group) {
    std::vector<std::vector<int32_t>> loops;
    for (std::size_t f : group) {
      loops.push_back(welded(faces_[f].outer));
      for (const auto& h : faces_[f].holes) loops.push_back(welded(h));
    }
    // Every edge split at the points that lie on it, so that edges lying on
    // each other meet point for point.
    std::map<std::pair<int32_t, int32_t>, int> net;
    bool changed = group.size() > 1 || !faces_[group[0]].holes.empty();
    for (const auto& loop : loops) {
      if (loop.size() != faces_[group[0]].outer.size() && loops.size() == 1) changed = true;
      for (std::size_t k = 0; k < loop.size(); ++k) {
        const std::vector<int32_t> piece = split(loop[k], loop[(k + 1) % loop.size()]);
        if (piece.size() > 2) changed = true;
        for (std::size_t s = 0; s + 1 < piece.size(); ++s) {
          const int32_t a = piece[s], b = piece[s + 1];
          if (a < b)
            ++net[{a, b}];
          else
            --net[{b, a}];
        }
      }
    }
    if (!changed) return {loops[0]};
    std::multimap<int32_t, int32_t> next;
    for (const auto& [e, n] : net)
      for (int k = 0; k < std::abs(n); ++k) {
        if (n > 0) next.emplace(e.first, e.second);
        if (n < 0) next.emplace(e.second, e.first);
      }
    frame(group[0]);
    // Loops start where the faces started, so that untouched faces keep
    // their first corner.
    std::vector<std::vector<int32_t>> made;
    for (const auto& loop : loops)
      for (int32_t start : loop)
        while (next.count(start)) made.push_back(chain(start, next));
    return assemble(made, group);
  }

  // The points strictly inside the edge a-b, in order from a, between a
  // and b.
  std::vector<int32_t> split(int32_t a, int32_t b) const {
    const Point3 &pa = v_[static_cast<std::size_t>(a)], &pb = v_[static_cast<std::size_t>(b)];
    const Point3 ab = vec3_sub(pb, pa);
    const double len = vec3_length(ab.x, ab.y, ab.z);
    std::vector<std::pair<double, int32_t>> on;
    if (len > 2 * eps_)
      for (std::size_t i = 0; i < v_.size(); ++i) {
        const auto q = static_cast<int32_t>(i);
        if (map_[i] != q || q == a || q == b) continue;
        const Point3 aq = vec3_sub(v_[i], pa);
        const double t = vec3_dot(aq, ab) / len;
        if (t <= eps_ || t >= len - eps_) continue;
        const Point3 off = vec3_cross(aq, ab);
        if (vec3_length(off.x, off.y, off.z) / len < eps_) on.emplace_back(t, q);
      }
    std::sort(on.begin(), on.end());
    std::vector<int32_t> out{a};
    for (const auto& [t, q] : on) out.push_back(q);
    out.push_back(b);
    return out;
  }

  // A basis of the plane of face f, its normal third.
  void frame(std::size_t f) {
    Point3 n = newell(v_, faces_[f].outer);
    vec3_normalize(&n);
    const Point3 axis = std::fabs(n.x) < 0.6 ? Point3{1, 0, 0, 0} : Point3{0, 1, 0, 0};
    e1_ = vec3_cross(n, axis);
    vec3_normalize(&e1_);
    e2_ = vec3_cross(n, e1_);
  }
  std::pair<double, double> flat(int32_t i) const {
    const Point3& p = v_[static_cast<std::size_t>(i)];
    return {vec3_dot(p, e1_), vec3_dot(p, e2_)};
  }
  double area(const std::vector<int32_t>& loop) const {
    double a = 0;
    for (std::size_t k = 0; k < loop.size(); ++k) {
      const auto [x0, y0] = flat(loop[k]);
      const auto [x1, y1] = flat(loop[(k + 1) % loop.size()]);
      a += x0 * y1 - x1 * y0;
    }
    return a / 2;
  }
  bool inside(const std::pair<double, double>& p, const std::vector<int32_t>& loop) const {
    bool in = false;
    for (std::size_t k = 0; k < loop.size(); ++k) {
      const auto [x0, y0] = flat(loop[k]);
      const auto [x1, y1] = flat(loop[(k + 1) % loop.size()]);
      if ((y0 > p.second) != (y1 > p.second) && p.first < x0 + (p.second - y0) * (x1 - x0) / (y1 - y0))
        in = !in;
    }
    return in;
  }

  // One loop from start along the edges left; where two leave one point
  // (faces that touch in a corner), the one turning hardest away from the
  // way back.
  std::vector<int32_t> chain(int32_t start, std::multimap<int32_t, int32_t>& next) const {
    std::vector<int32_t> loop;
    int32_t at = start, from = -1;
    while (true) {
      auto [lo, hi] = next.equal_range(at);
      if (lo == hi) break;
      auto pick = lo;
      if (from >= 0 && std::next(lo) != hi) {
        const auto [fx, fy] = flat(from);
        const auto [ax, ay] = flat(at);
        const double back = std::atan2(fy - ay, fx - ax);
        double best = 10;
        for (auto it = lo; it != hi; ++it) {
          const auto [bx, by] = flat(it->second);
          double turn = std::atan2(by - ay, bx - ax) - back;
          while (turn <= 0) turn += 2 * M_PI;
          if (turn < best) best = turn, pick = it;
        }
      }
      loop.push_back(at);
      from = at;
      at = pick->second;
      next.erase(pick);
      if (at == start) break;
    }
    return loop;
  }

  // Outer loops with their holes, each hole joined by the bridge the wall
  // has for it; loops of other faces stay faces of their own.
  std::vector<std::vector<int32_t>> assemble(const std::vector<std::vector<int32_t>>& loops,
                                             const std::vector<std::size_t>& group) const {
    std::vector<double> a(loops.size());
    for (std::size_t i = 0; i < loops.size(); ++i) a[i] = area(loops[i]);
    std::vector<int> holder(loops.size(), -1);
    for (std::size_t i = 0; i < loops.size(); ++i) {
      double best = 0;
      for (std::size_t j = 0; j < loops.size(); ++j) {
        if (i == j || a[i] * a[j] >= 0 || std::fabs(a[j]) <= std::fabs(a[i])) continue;
        if (best && std::fabs(a[j]) >= best) continue;
        const auto& outer = loops[j];
        const auto off = std::find_if(loops[i].begin(), loops[i].end(), [&](int32_t q) {
          return std::find(outer.begin(), outer.end(), q) == outer.end();
        });
        if (off != loops[i].end() && inside(flat(*off), outer))
          holder[i] = static_cast<int>(j), best = std::fabs(a[j]);
      }
    }
    std::vector<std::pair<int32_t, int32_t>> bridges;
    for (std::size_t f : group)
      for (const auto& [root, corner] : faces_[f].bridges)
        bridges.emplace_back(map_[static_cast<std::size_t>(root)], map_[static_cast<std::size_t>(corner)]);
    std::vector<std::vector<int32_t>> out;
    for (std::size_t j = 0; j < loops.size(); ++j) {
      if (holder[j] >= 0) continue;
      std::vector<int32_t> face = loops[j];
      for (std::size_t i = 0; i < loops.size(); ++i)
        if (holder[i] == static_cast<int>(j)) join(face, loops[i], bridges);
      out.push_back(std::move(face));
    }
    return out;
  }

  // Runs the outer loop up a bridge, once round the hole and back down.
  // A bridge serves one hole: openings side by side make one hole of
  // several, which takes the first of their bridges.
  void join(std::vector<int32_t>& face, const std::vector<int32_t>& hole,
            std::vector<std::pair<int32_t, int32_t>>& bridges) const {
    auto at_root = face.end();
    auto at_corner = hole.end();
    for (auto& [root, corner] : bridges) {
      at_root = std::find(face.begin(), face.end(), root);
      at_corner = std::find(hole.begin(), hole.end(), corner);
      if (at_root != face.end() && at_corner != hole.end()) {
        root = corner = -1;
        break;
      }
    }
    if (at_root == face.end() || at_corner == hole.end()) {
      // No bridge of the wall's: the nearest pair of points.
      double best = 1e300;
      for (auto f = face.begin(); f != face.end(); ++f)
        for (auto h = hole.begin(); h != hole.end(); ++h) {
          const double d = vec3_distance(v_[static_cast<std::size_t>(*f)], v_[static_cast<std::size_t>(*h)]);
          if (d < best) best = d, at_root = f, at_corner = h;
        }
    }
    std::vector<int32_t> detour;
    const auto k = static_cast<std::size_t>(at_corner - hole.begin());
    for (std::size_t s = 0; s <= hole.size(); ++s) detour.push_back(hole[(k + s) % hole.size()]);
    detour.push_back(*at_root);
    face.insert(at_root + 1, detour.begin(), detour.end());
  }

  // True when the corner k of the face lies on the straight line between
  // its neighbours.
  bool straight(const std::vector<int32_t>& f, std::size_t k) const {
    const Point3& p = v_[static_cast<std::size_t>(f[(k + f.size() - 1) % f.size()])];
    const Point3& q = v_[static_cast<std::size_t>(f[k])];
    const Point3& r = v_[static_cast<std::size_t>(f[(k + 1) % f.size()])];
    const Point3 pr = vec3_sub(r, p), pq = vec3_sub(q, p);
    const double len = vec3_length(pr.x, pr.y, pr.z);
    if (!(len > 0)) return false;
    const Point3 off = vec3_cross(pq, pr);
    const double t = vec3_dot(pq, pr) / len;
    return vec3_length(off.x, off.y, off.z) / len < eps_ && t > eps_ && t < len - eps_;
  }

  // Drops the points that every face using them passes straight through,
  // such as the bridge point of an opening that came to nothing: no face
  // turns there, so leaving them out of all faces keeps the edges paired.
  void drop_straight_points(std::vector<std::vector<int32_t>>& faces) const {
    std::vector<char> corner(v_.size(), 0);
    for (const auto& f : faces)
      for (std::size_t k = 0; k < f.size(); ++k)
        if (!straight(f, k)) corner[static_cast<std::size_t>(f[k])] = 1;
    for (auto& f : faces) std::erase_if(f, [&](int32_t i) { return !corner[static_cast<std::size_t>(i)]; });
  }

  void compact(std::vector<std::vector<int32_t>>& faces, std::vector<int32_t>& sizes,
               std::vector<int32_t>& indices) {
    drop_straight_points(faces);
    std::vector<int32_t> number(v_.size(), -1);
    for (const auto& f : faces)
      for (int32_t i : f) number[static_cast<std::size_t>(i)] = 0;
    std::vector<Point3> kept;
    for (std::size_t i = 0; i < v_.size(); ++i)
      if (number[i] == 0) {
        number[i] = static_cast<int32_t>(kept.size());
        kept.push_back(v_[i]);
      }
    sizes.clear();
    indices.clear();
    for (const auto& f : faces) {
      if (f.size() < 3) continue;
      sizes.push_back(static_cast<int32_t>(f.size()));
      for (int32_t i : f) indices.push_back(number[static_cast<std::size_t>(i)]);
    }
    v_ = std::move(kept);
  }

  std::vector<Point3>& v_;
  const std::vector<LoopFace>& faces_;
  std::vector<int32_t> map_;
  double eps_ = 0;
  Point3 e1_{}, e2_{};
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

  std::vector<LoopFace> faces;
  auto face = [&](std::initializer_list<int32_t> idx) { faces.push_back({idx, {}, {}}); };
  if (o == 0) {
    face({0, 1, 2, 3});
    face({1, 5, 6, 2});
    face({3, 7, 4, 0});
    if (gable) {
      face({4, 7, 9, 8});
      face({8, 9, 6, 5});
      face({0, 4, 8, 5, 1});
      face({2, 6, 9, 7, 3});
    } else {
      face({4, 7, 6, 5});
      face({0, 4, 5, 1});
      face({2, 6, 7, 3});
    }
  } else {
    // Face 0-1: its bridges are passed going back along the base, from the
    // wall's end to its start; face 2-3 from the start to the end.
    LoopFace f01{{0, 4}, {}, {}}, f23{{2, 6}, {}, {}};
    if (gable) f01.outer.push_back(8), f23.outer.push_back(9);
    f01.outer.insert(f01.outer.end(), {5, 1});
    f23.outer.insert(f23.outer.end(), {7, 3});
    for (int k = o - 1; k >= 0; --k) {
      const int b = base_of(k);
      f01.holes.push_back({b + 0, b + 1, b + 5, b + 4});
      f01.bridges.emplace_back(b + 8, b + 0);
    }
    for (int k = 0; k < o; ++k) {
      const int b = base_of(k);
      f23.holes.push_back({b + 2, b + 3, b + 7, b + 6});
      f23.bridges.emplace_back(b + 9, b + 2);
    }
    faces.push_back(std::move(f01));
    faces.push_back(std::move(f23));
    face({0, 1, 2, 3});
    face({0, 3, 7, 4});
    face({1, 5, 6, 2});
    if (gable) {
      face({4, 7, 9, 8});
      face({8, 9, 6, 5});
    } else {
      face({4, 7, 6, 5});
    }
    for (int k = 0; k < o; ++k) {
      const int b = base_of(k);
      face({b + 0, b + 3, b + 2, b + 1});  // sill
      face({b + 4, b + 5, b + 6, b + 7});  // lintel
      face({b + 0, b + 4, b + 7, b + 3});  // jamb at the corner-0 end
      face({b + 1, b + 2, b + 6, b + 5});  // jamb at the corner-1 end
    }
  }
  std::vector<int32_t> sizes, indices;
  WallFaces(v, faces).build(sizes, indices);
  // A wall whose top lies below its base (given a negative height) would
  // otherwise come out inside out.
  solid_wind_outward(v, sizes, indices);
  elem_new_mesh(layer, w.pen, w.line_type, static_cast<int>(v.size()), static_cast<int>(sizes.size()),
                sizes.data(), v.data(), indices.data(), w.material.view(), 0);
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
