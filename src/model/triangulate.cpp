#include "model/triangulate.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
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
// Ear qualities closer than this count as equal, so that congruent ears are
// not told apart by the last bit of acos.
constexpr double QUALITY_TIE = 1e-9;

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
  const Point2 mid{(a.x + c.x) / 2.0, (a.y + c.y) / 2.0, 0};
  if (!inside_remaining(l, mid)) return false;
  for (int j = 0; j < n; ++j) {
    const int32_t v = l.remaining[j];
    if (v == vp || v == vi || v == vq) continue;
    if (inside_triangle(l.work[v], a, b, c)) return false;
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

void split_face(FaceList& l) {
  while (l.remaining_count > 3) {
    const int n = l.remaining_count;
    l.ear_flags.assign(n, 0);
    l.ear_quality.assign(n, 0.0);
    int best = -1;
    for (int i = 0; i < n; ++i) {
      if (!is_ear(l, i)) continue;
      l.ear_flags[i] = 1;
      const Point2& a = l.work[l.remaining[(i + n - 1) % n]];
      const Point2& b = l.work[l.remaining[i]];
      const Point2& c = l.work[l.remaining[(i + 1) % n]];
      l.ear_quality[i] = tri_min_angle(a, b, c);
      if (best < 0 || l.ear_quality[i] > l.ear_quality[best] + QUALITY_TIE) best = i;
    }
    tri_cut_ear(&l, best < 0 ? 0 : best);
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
  for (int32_t size : l.face_sizes) {
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

void tri_merge_triangles(const MeshElem* mesh) {
  if (!mesh) return;
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

  // The triangles at each edge. A triangle joins the polygon only through
  // an edge of one that joined before, so the only candidates are those
  // reached from the first triangle across edges through triangles in its
  // plane: the search never looks at the rest of the mesh.
  std::unordered_map<uint64_t, std::vector<int>> at_edge;
  auto edge_key = [](int32_t a, int32_t b) {
    return (static_cast<uint64_t>(static_cast<uint32_t>(std::min(a, b))) << 32) |
           static_cast<uint32_t>(std::max(a, b));
  };
  for (int j = 0; j < f; ++j) {
    if (offset[j] < 0) continue;
    for (int k = 0; k < 3; ++k) at_edge[edge_key(corner(j, k), corner(j, (k + 1) % 3))].push_back(j);
  }

  enum : uint8_t { FREE = 0, USED = 1, CANDIDATE = 2 };
  std::vector<uint8_t> state(f, FREE);
  std::vector<int32_t> out_sizes;
  std::vector<int32_t> out_indices;
  std::vector<int32_t> poly;
  std::vector<int> candidates;
  for (int j = 0; j < f; ++j) {
    if (offset[j] < 0 || state[j] != FREE) continue;
    poly.assign({corner(j, 0), corner(j, 1), corner(j, 2)});
    state[j] = USED;
    candidates.clear();
    for (size_t from = 0; from <= candidates.size(); ++from) {
      const int t = from == 0 ? j : candidates[from - 1];
      for (int e = 0; e < 3; ++e)
        for (int k : at_edge[edge_key(corner(t, e), corner(t, (e + 1) % 3))]) {
          if (state[k] != FREE) continue;
          if (vec3_same_plane(point(j, 0), point(j, 1), point(j, 2), point(k, 0), point(k, 1), point(k, 2))) {
            state[k] = CANDIDATE;
            candidates.push_back(k);
          }
        }
    }
    // In the order of the list, as the passes below depend on it.
    std::sort(candidates.begin(), candidates.end());
    // Each pass offers every candidate again, so a strip joins whatever the
    // order its triangles are listed in; a pass that joins none ends it.
    for (bool joined = true; joined;) {
      joined = false;
      for (int k : candidates) {
        if (state[k] != CANDIDATE) continue;
        const int n = static_cast<int>(poly.size());
        poly.push_back(0);
        if (tri_insert_shared_vertex(poly.data(), n, corner(k, 0), corner(k, 1), corner(k, 2))) {
          state[k] = USED;
          joined = true;
        } else {
          poly.pop_back();
        }
      }
    }
    for (int k : candidates) {
      if (state[k] == CANDIDATE) state[k] = FREE;
    }
    out_sizes.push_back(static_cast<int32_t>(poly.size()));
    out_indices.insert(out_indices.end(), poly.begin(), poly.end());
  }
  std::vector<Point3> vertices = mesh->vertices;
  elem_new_mesh(cur_layer, cur_pen, cur_line_type, vertex_count, static_cast<int>(out_sizes.size()),
                out_sizes.data(), vertices.data(), out_indices.data(), "Default", 0);
}
