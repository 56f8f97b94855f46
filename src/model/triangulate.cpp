#include "model/triangulate.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

#include "model/geom.h"
#include "model/layers.h"
#include "model/settings.h"
#include "model/vec3.h"

namespace {

constexpr double MIN_FACE_AREA = TOL_POINT;
// Below this share of its size squared a face's area is rounding: its
// corners lie on one line.
constexpr double MIN_RELATIVE_FACE_AREA = 1e-9;
constexpr double CROSS_LOW = TOL_POINT;  // strict interior of a diagonal crossing
constexpr double CROSS_HIGH = 0.9999;
// Triangles joined into polygons across an edge shared by no more than this
// many (a surface has two at an edge, solids that touch along it four).
constexpr std::ptrdiff_t MAX_TRIANGLES_AT_EDGE = 16;
// Ear qualities closer than this count as equal, so that congruent ears are
// not told apart by the last bit of acos.
constexpr double QUALITY_TIE = 1e-9;

using Tri3 = std::array<int32_t, 3>;
struct Tri3Hash {
  size_t operator()(const Tri3& t) const {
    uint64_t h = static_cast<uint32_t>(t[0]);
    h = h * 0x9E3779B97F4A7C15ull ^ static_cast<uint32_t>(t[1]);
    h = h * 0x9E3779B97F4A7C15ull ^ static_cast<uint32_t>(t[2]);
    return static_cast<size_t>(h ^ (h >> 29));
  }
};

// A vertex number as faces are read: a negative index counts as its absolute
// value; -1 when it names no vertex of the list.
int32_t vertex_number(int32_t raw, int32_t vertex_count) {
  if (raw == INT32_MIN) return -1;
  const int32_t v = raw < 0 ? -raw : raw;
  return v < vertex_count ? v : -1;
}

// The half-open ray test towards +x: an edge counts when the point's y lies
// from its lower end (included) to its upper end (excluded) and the edge
// passes right of the point.
bool edge_crosses_ray(const Point2& m, const Point2& a, const Point2& b) {
  if (!((a.y <= m.y && m.y < b.y) || (b.y <= m.y && m.y < a.y))) return false;
  const double x = a.x + (m.y - a.y) * (b.x - a.x) / (b.y - a.y);
  return x > m.x;
}

bool inside_remaining(const FaceList& l, const Point2& m) {
  const int n = l.remaining_count;
  int count = 0;
  for (int j = 0; j < n; ++j) {
    const Point2& a = l.work[l.remaining[(j + n - 1) % n]];
    const Point2& b = l.work[l.remaining[j]];
    if (edge_crosses_ray(m, a, b)) ++count;
  }
  return count % 2 != 0;
}

bool inside_triangle(const Point2& m, const Point2& a, const Point2& b, const Point2& c) {
  int count = 0;
  if (edge_crosses_ray(m, a, b)) ++count;
  if (edge_crosses_ray(m, b, c)) ++count;
  if (edge_crosses_ray(m, c, a)) ++count;
  return count % 2 != 0;
}

// True when the diagonal p-q crosses the edge e1-e2 strictly inside both.
bool diagonal_crosses(const Point2& p, const Point2& q, const Point2& e1, const Point2& e2) {
  if (!geom_intersect_lines(p.x, p.y, q.x, q.y, e1.x, e1.y, e2.x, e2.y)) return false;
  const double ix = geo_result.ix;
  const double iy = geo_result.iy;
  geom_project_on_segment(ix, iy, q.x, q.y, p.x, p.y);
  const double t_diag = geo_result.proj_t;
  geom_project_on_segment(ix, iy, e1.x, e1.y, e2.x, e2.y);
  const double t_edge = geo_result.proj_t;
  return t_diag > CROSS_LOW && t_diag < CROSS_HIGH && t_edge > CROSS_LOW && t_edge < CROSS_HIGH;
}

bool is_ear(const FaceList& l, int i) {
  const int n = l.remaining_count;
  const int p = (i + n - 1) % n;
  const int q = (i + 1) % n;
  const int32_t vp = l.remaining[p], vi = l.remaining[i], vq = l.remaining[q];
  const Point2& a = l.work[vp];
  const Point2& b = l.work[vi];
  const Point2& c = l.work[vq];
  // A corner that turns against the winding of what is left of the face
  // is no ear: its triangle lies outside the face. The ray test alone can
  // take it for one where a side of the face runs along the diagonal (a
  // corner of the face on it), as the diagonal's middle then lies on that
  // side. A turn within rounding of a straight line is left to the tests
  // below.
  const double turn = (b.x - a.x) * (c.y - b.y) - (b.y - a.y) * (c.x - b.x);
  if (std::fabs(turn) > 1e-9 * geom_dist(a.x, a.y, b.x, b.y) * geom_dist(b.x, b.y, c.x, c.y)) {
    // About its first corner, to keep the digits of far coordinates.
    const Point2& o = l.work[l.remaining[0]];
    double twice_area = 0;
    for (int j = 1; j + 1 < n; ++j) {
      const Point2& u = l.work[l.remaining[j]];
      const Point2& v = l.work[l.remaining[j + 1]];
      twice_area += (u.x - o.x) * (v.y - o.y) - (v.x - o.x) * (u.y - o.y);
    }
    if (turn * twice_area < 0) return false;
  }
  const Point2 mid{(a.x + c.x) / 2.0, (a.y + c.y) / 2.0, 0};
  if (!inside_remaining(l, mid)) return false;
  // Another corner on the diagonal itself, strictly between its ends: which
  // side of the diagonal it falls on is a matter of rounding, and cutting
  // the ear would leave a face that touches itself there, which no later
  // ear test can read. A proper ear's diagonal meets no other corner.
  const double dx = c.x - a.x, dy = c.y - a.y, len2 = dx * dx + dy * dy, len = std::sqrt(len2);
  const double reach =
      1e-9 * len +
      4 * DBL_EPSILON * std::max({std::fabs(a.x), std::fabs(a.y), std::fabs(c.x), std::fabs(c.y)});
  for (int j = 0; j < n; ++j) {
    const int32_t v = l.remaining[j];
    if (v == vp || v == vi || v == vq) continue;
    const Point2& m = l.work[v];
    if (len2 > 0) {
      const double t = ((m.x - a.x) * dx + (m.y - a.y) * dy) / len2;
      const double off = std::fabs((m.x - a.x) * dy - (m.y - a.y) * dx) / len;
      const double from_end = std::min(t, 1 - t) * len;
      if (off <= reach && from_end > reach) return false;
    }
    if (inside_triangle(m, a, b, c)) return false;
  }
  if (n > 4) {
    for (int k = (q + 1) % n; k != (p + n - 1) % n; k = (k + 1) % n) {
      if (diagonal_crosses(a, c, l.work[l.remaining[k]], l.work[l.remaining[(k + 1) % n]])) return false;
    }
  }
  return true;
}

// Projects the face's vertices into the work points along the first of the
// planes xy, xz, yz in which the face has an area; false when it has none.
// "An area" is one of at least MIN_FACE_AREA, or for a face smaller than
// that a hundredth of its area in its best plane: a fine mesh's faces are
// small but no less faces, while one whose corners lie on a line (within
// rounding of its own size) has none.
bool project_face(FaceList& l) {
  double area[3] = {0, 0, 0};
  for (int plane = 0; plane < 3; ++plane) {
    for (int j = 0; j < l.remaining_count; ++j) {
      const Point3& v = l.vertices[l.remaining[j]];
      Point2& w = l.work[l.remaining[j]];
      w.x = plane == 2 ? v.y : v.x;
      w.y = plane == 0 ? v.y : v.z;
    }
    area[plane] = std::fabs(tri_subpolygon_area(l.remaining_count, l.remaining.data(), l.work.data()));
    if (area[plane] >= MIN_FACE_AREA) return true;
  }
  const double best = std::max({area[0], area[1], area[2]});
  double lo[3] = {HUGE_VAL, HUGE_VAL, HUGE_VAL}, hi[3] = {-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
  for (int j = 0; j < l.remaining_count; ++j) {
    const Point3& v = l.vertices[l.remaining[j]];
    const double c[3] = {v.x, v.y, v.z};
    for (int k = 0; k < 3; ++k) {
      lo[k] = std::min(lo[k], c[k]);
      hi[k] = std::max(hi[k], c[k]);
    }
  }
  const double size = std::max({hi[0] - lo[0], hi[1] - lo[1], hi[2] - lo[2]});
  if (!(best > MIN_RELATIVE_FACE_AREA * size * size)) return false;
  for (int plane = 0; plane < 3; ++plane) {
    if (area[plane] < best / 100) continue;
    for (int j = 0; j < l.remaining_count; ++j) {
      const Point3& v = l.vertices[l.remaining[j]];
      Point2& w = l.work[l.remaining[j]];
      w.x = plane == 2 ? v.y : v.x;
      w.y = plane == 0 ? v.y : v.z;
    }
    return true;
  }
  return false;
}

// The box of the work points of positions i - 1, i and i + 1.
struct Box {
  double lo_x, lo_y, hi_x, hi_y;
  bool meets(const Box& o) const {
    return lo_x <= o.hi_x && o.lo_x <= hi_x && lo_y <= o.hi_y && o.lo_y <= hi_y;
  }
};
Box ear_box(const FaceList& l, int i) {
  const int n = l.remaining_count;
  const Point2& a = l.work[l.remaining[(i + n - 1) % n]];
  const Point2& b = l.work[l.remaining[i]];
  const Point2& c = l.work[l.remaining[(i + 1) % n]];
  return {std::min({a.x, b.x, c.x}), std::min({a.y, b.y, c.y}), std::max({a.x, b.x, c.x}),
          std::max({a.y, b.y, c.y})};
}

void judge_ear(FaceList& l, int i) {
  const int n = l.remaining_count;
  l.ear_flags[i] = is_ear(l, i) ? 1 : 0;
  l.ear_quality[i] = 0.0;
  if (!l.ear_flags[i]) return;
  l.ear_quality[i] = tri_min_angle(l.work[l.remaining[(i + n - 1) % n]], l.work[l.remaining[i]],
                                   l.work[l.remaining[(i + 1) % n]]);
}

// Every cut takes the best ear of all positions, judged as the face is
// then. Cutting the ear (p, i, q) changes only what lies in its triangle:
// vertex i, the edges p-i and i-q and the new edge p-q. So a position whose
// ear triangle keeps clear of that triangle's box keeps its judgement (its
// diagonal's middle, its triangle and its diagonal meet none of them, and
// the ray from the middle crosses the triangle's edges an even number of
// times), and only the others are judged again: about n^2 for a face of n
// corners instead of n^3. With four corners left the diagonals are no
// longer tested against edges, so all are judged again.
void split_face(FaceList& l) {
  int n = l.remaining_count;
  l.ear_flags.assign(n, 0);
  l.ear_quality.assign(n, 0.0);
  for (int i = 0; i < n; ++i) judge_ear(l, i);
  while (l.remaining_count > 3) {
    n = l.remaining_count;
    int best = -1;
    for (int i = 0; i < n; ++i) {
      if (!l.ear_flags[i]) continue;
      if (best < 0 || l.ear_quality[i] > l.ear_quality[best] + QUALITY_TIE) best = i;
    }
    const int cut = best < 0 ? 0 : best;
    Box gone = ear_box(l, cut);
    // A hair wider, so that rounding at its border changes nothing.
    const double margin =
        1e-9 * (gone.hi_x - gone.lo_x + gone.hi_y - gone.lo_y) +
        1e-12 * (std::fabs(gone.lo_x) + std::fabs(gone.hi_x) + std::fabs(gone.lo_y) + std::fabs(gone.hi_y));
    gone = {gone.lo_x - margin, gone.lo_y - margin, gone.hi_x + margin, gone.hi_y + margin};
    tri_cut_ear(&l, cut);
    n = l.remaining_count;
    if (n <= 3) break;
    for (int i = 0; i < n; ++i)
      if (n == 4 || ear_box(l, i).meets(gone)) judge_ear(l, i);
  }
  if (l.remaining_count == 3) tri_cut_ear(&l, 1);
}

}  // namespace

FaceList* tri_faces_new(const MeshElem* mesh) {
  auto* l = new FaceList;
  if (!mesh) return l;
  l->vertices = mesh->vertices;
  l->face_sizes = mesh->face_sizes;
  l->indices = mesh->indices;
  l->vertex_count = static_cast<int32_t>(l->vertices.size());
  l->face_count = static_cast<int32_t>(l->face_sizes.size());
  return l;
}

void tri_triangulate_faces(FaceList* list, int /*mode*/) {
  if (!list) return;
  FaceList& l = *list;
  const int32_t vertex_count = static_cast<int32_t>(l.vertices.size());
  l.work.assign(vertex_count, Point2{});
  size_t offset = 0;
  for (int32_t face = 0; face < static_cast<int32_t>(l.face_sizes.size()); ++face) {
    const int32_t size = l.face_sizes[static_cast<size_t>(face)];
    if (size < 0 || offset + size > l.indices.size()) break;  // sizes beyond the indices
    const size_t first = offset;
    offset += size;
    l.remaining.clear();
    bool valid = size >= 3;
    for (size_t k = first; valid && k < offset; ++k) {
      const int32_t v = vertex_number(l.indices[k], vertex_count);
      valid = v >= 0;
      l.remaining.push_back(v);
    }
    if (!valid) continue;
    l.remaining_count = size;
    if (project_face(l)) split_face(l);
    l.face_of.resize(static_cast<size_t>(l.triangle_count), face);
  }
  l.remaining.clear();
  l.remaining_count = 0;
  l.ear_flags.clear();
  l.ear_quality.clear();
  l.work.clear();
}

void tri_faces_free(FaceList* list) { delete list; }

double tri_subpolygon_area(int n, const int32_t* idx, const Point2* pts) {
  if (n < 3) return 0.0;
  std::vector<Point2> poly(n);
  for (int i = 0; i < n; ++i) poly[i] = pts[idx[i]];
  return geom_polygon_area(n, poly.data());
}

void tri_cut_ear(FaceList* list, int i) {
  FaceList& l = *list;
  const int n = l.remaining_count;
  if (n < 3 || i < 0 || i >= n) return;
  l.t0.push_back(l.remaining[(i + n - 1) % n]);
  l.t1.push_back(l.remaining[i]);
  l.t2.push_back(l.remaining[(i + 1) % n]);
  ++l.triangle_count;
  l.remaining.erase(l.remaining.begin() + i);
  if (static_cast<int>(l.ear_flags.size()) > i) l.ear_flags.erase(l.ear_flags.begin() + i);
  if (static_cast<int>(l.ear_quality.size()) > i) l.ear_quality.erase(l.ear_quality.begin() + i);
  --l.remaining_count;
}

double tri_min_angle(Point2 a, Point2 b, Point2 c) {
  // Sides opposite the corners a, b, c.
  const double la = geom_dist(b.x, b.y, c.x, c.y);
  const double lb = geom_dist(a.x, a.y, c.x, c.y);
  const double lc = geom_dist(a.x, a.y, b.x, b.y);
  if (!(la > 0.0 && lb > 0.0 && lc > 0.0)) return 0.0;
  auto corner = [](double opposite, double s1, double s2) {
    double cosine = (s1 * s1 + s2 * s2 - opposite * opposite) / (2.0 * s1 * s2);
    if (cosine > 1.0) cosine = 1.0;
    if (cosine < -1.0) cosine = -1.0;
    return std::acos(cosine) * 180.0 / GEOM_PI;
  };
  const double angle_a = corner(la, lb, lc);
  const double angle_b = corner(lb, la, lc);
  const double angle_c = corner(lc, la, lb);
  return geom_min(angle_a, geom_min(angle_b, angle_c));
}

int tri_insert_shared_vertex(int32_t* poly, int n, int32_t a, int32_t b, int32_t c) {
  for (int k = 0; k < n; ++k) {
    const int32_t u = poly[k];
    const int32_t v = poly[(k + 1) % n];
    auto joins = [&](int32_t s, int32_t t) { return (u == s && v == t) || (u == t && v == s); };
    int32_t third = -1;
    bool shared = false;
    if (joins(a, c)) third = b, shared = true;
    if (joins(b, c)) third = a, shared = true;
    if (joins(a, b)) third = c, shared = true;
    if (!shared) continue;
    for (int j = 0; j < n; ++j) {
      if (poly[j] == third) return 0;
    }
    for (int j = n; j > k + 1; --j) poly[j] = poly[j - 1];
    poly[k + 1] = third;
    return 1;
  }
  return 0;
}

bool tri_merge_triangles(const MeshElem* mesh, const TriProgress& progress, double off_plane) {
  if (!mesh) return true;
  const int32_t vertex_count = mesh->vertex_count();
  const int f = mesh->face_count();
  // The three vertex numbers of every face that is a valid triangle.
  std::vector<int> offset(f, -1);
  size_t pos = 0;
  for (int j = 0; j < f; ++j) {
    const int32_t size = mesh->face_sizes[j];
    if (size < 0 || pos + size > mesh->indices.size()) break;
    if (size == 3) {
      bool valid = true;
      for (int k = 0; k < 3; ++k) valid = valid && vertex_number(mesh->indices[pos + k], vertex_count) >= 0;
      if (valid) offset[j] = static_cast<int>(pos);
    }
    pos += size;
  }
  auto corner = [&](int face, int k) { return vertex_number(mesh->indices[offset[face] + k], vertex_count); };
  auto point = [&](int face, int k) { return mesh->vertices[corner(face, k)]; };

  enum : uint8_t { FREE = 0, USED = 1, ALONE = 2 };
  std::vector<uint8_t> state(f, FREE);
  // A triangle that repeats an earlier one corner for corner, begun at any
  // corner, adds nothing: it goes. One that repeats a vertex has no edges
  // to join by: it stays as it is.
  {
    std::unordered_map<Tri3, int, Tri3Hash> first;
    for (int j = 0; j < f; ++j) {
      if (offset[j] < 0) continue;
      Tri3 t{corner(j, 0), corner(j, 1), corner(j, 2)};
      if (t[0] == t[1] || t[1] == t[2] || t[2] == t[0]) {
        state[j] = ALONE;
        continue;
      }
      std::rotate(t.begin(), std::min_element(t.begin(), t.end()), t.end());
      if (!first.emplace(t, j).second) offset[j] = -1;
    }
  }

  // The triangles at each edge, sorted by the edge.
  auto edge_key = [](int32_t a, int32_t b) {
    return (static_cast<uint64_t>(static_cast<uint32_t>(std::min(a, b))) << 32) |
           static_cast<uint32_t>(std::max(a, b));
  };
  std::vector<std::pair<uint64_t, int>> at_edge;
  for (int j = 0; j < f; ++j) {
    if (offset[j] < 0 || state[j] == ALONE) continue;
    for (int k = 0; k < 3; ++k) at_edge.emplace_back(edge_key(corner(j, k), corner(j, (k + 1) % 3)), j);
  }
  std::sort(at_edge.begin(), at_edge.end());

  // The polygon grown from triangle j is a ring of distinct vertices: next
  // and prev link those whose stamp is the polygon's. A triangle joins it
  // when one of its edges is an edge of the ring and its third vertex is
  // not on the ring, which no order of the ring's edges changes: the third
  // vertex goes between that edge's ends. A triangle can join only once one
  // of its edges is on the ring, so only the triangles at the edges a join
  // makes are looked at again. The passes over the candidates in list
  // order are kept: those behind the one that joined are looked at in this
  // pass, those before it in the next.
  std::vector<int32_t> next(vertex_count), prev(vertex_count);
  std::vector<int> stamp(vertex_count, -1);
  std::vector<int32_t> out_sizes;
  std::vector<int32_t> out_indices;
  std::vector<int> now, later;  // now: a min-heap of triangle numbers
  // Asked every few thousand triangles placed.
  int placed = 0;
  auto go_on = [&] {
    return !progress || (++placed & 4095) != 0 || progress(static_cast<double>(placed) / f);
  };
  for (int j = 0; j < f; ++j) {
    if (offset[j] < 0 || state[j] == USED) continue;
    if (!go_on()) return false;
    if (state[j] == ALONE) {
      out_sizes.push_back(3);
      for (int k = 0; k < 3; ++k) out_indices.push_back(corner(j, k));
      continue;
    }
    state[j] = USED;
    const int32_t c0 = corner(j, 0), c1 = corner(j, 1), c2 = corner(j, 2);
    stamp[c0] = stamp[c1] = stamp[c2] = j;
    next[c0] = c1, next[c1] = c2, next[c2] = c0;
    prev[c1] = c0, prev[c2] = c1, prev[c0] = c2;
    int32_t size = 3;
    // The plane of j, for the flatness off_plane asks for.
    Point3 normal = vec3_cross(vec3_sub(point(j, 1), point(j, 0)), vec3_sub(point(j, 2), point(j, 0)));
    const double normal_length = vec3_length(normal.x, normal.y, normal.z);
    const bool flat_only = off_plane >= 0;
    if (flat_only && normal_length > 0)
      normal = {normal.x / normal_length, normal.y / normal_length, normal.z / normal_length, 0};
    auto flat_with_j = [&](int k) {
      if (!flat_only) return true;
      if (!(normal_length > 0)) return false;
      for (int c = 0; c < 3; ++c)
        if (!(std::fabs(vec3_dot(normal, vec3_sub(point(k, c), point(j, 0)))) <= off_plane)) return false;
      return true;
    };
    auto on_ring = [&](int32_t a, int32_t b) {
      return stamp[a] == j && stamp[b] == j && (next[a] == b || next[b] == a);
    };
    // Offers the free triangles in j's plane at the edge a-b, after the
    // one numbered from (in this pass) or in the next pass.
    auto offer_at = [&](int32_t a, int32_t b, int from) {
      const uint64_t key = edge_key(a, b);
      const auto first = std::lower_bound(at_edge.begin(), at_edge.end(), std::make_pair(key, INT_MIN));
      auto end = first;
      while (end != at_edge.end() && end->first == key) ++end;
      // An edge that a crowd of triangles shares lies in no surface: none
      // joins across it, or each polygon would look at the whole crowd.
      if (end - first > MAX_TRIANGLES_AT_EDGE) return;
      for (auto it = first; it != end; ++it) {
        const int k = it->second;
        if (state[k] != FREE ||
            !vec3_same_plane(point(j, 0), point(j, 1), point(j, 2), point(k, 0), point(k, 1), point(k, 2)) ||
            !flat_with_j(k))
          continue;
        if (k > from) {
          now.push_back(k);
          std::push_heap(now.begin(), now.end(), std::greater<>());
        } else {
          later.push_back(k);
        }
      }
    };
    now.clear();
    later.clear();
    offer_at(c0, c1, j);
    offer_at(c1, c2, j);
    offer_at(c2, c0, j);
    while (!now.empty()) {
      int last = -1;
      while (!now.empty()) {
        std::pop_heap(now.begin(), now.end(), std::greater<>());
        const int k = now.back();
        now.pop_back();
        if (k == last || state[k] != FREE) continue;
        last = k;
        for (int e = 0; e < 3; ++e) {
          const int32_t a = corner(k, e), b = corner(k, (e + 1) % 3), third = corner(k, (e + 2) % 3);
          if (!on_ring(a, b)) continue;
          if (stamp[third] == j) break;
          const int32_t u = next[a] == b ? a : b, v = next[u];
          next[u] = third, prev[third] = u, next[third] = v, prev[v] = third;
          stamp[third] = j;
          ++size;
          state[k] = USED;
          offer_at(u, third, k);
          offer_at(third, v, k);
          if (!go_on()) return false;
          break;
        }
      }
      std::sort(later.begin(), later.end());
      later.erase(std::unique(later.begin(), later.end()), later.end());
      now.swap(later);
      later.clear();
      std::make_heap(now.begin(), now.end(), std::greater<>());
    }
    out_sizes.push_back(size);
    int32_t at = c0;
    for (int32_t k = 0; k < size; ++k, at = next[at]) out_indices.push_back(at);
  }
  std::vector<Point3> vertices = mesh->vertices;
  elem_new_mesh(cur_layer, cur_pen, cur_line_type, vertex_count, static_cast<int>(out_sizes.size()),
                out_sizes.data(), vertices.data(), out_indices.data(), "Default", 0);
  return true;
}
