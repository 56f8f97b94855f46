#include "building/solid/gts_file.h"

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdlib>
#include <unordered_map>

#include "model/geom.h"
#include "model/layers.h"
#include "model/settings.h"
#include "model/triangulate.h"
#include "model/vec3.h"

namespace {

uint64_t pair_key(int a, int b) {
  const auto lo = static_cast<uint32_t>(std::min(a, b));
  const auto hi = static_cast<uint32_t>(std::max(a, b));
  return (static_cast<uint64_t>(hi) << 32) | lo;
}

// Points bucketed in cubes of GTS_DUPLICATE_DISTANCE, so a search for
// points closer than that (or than anything smaller) looks at 27 buckets
// instead of every point. Candidates come back in insertion order.
class PointGrid {
 public:
  void add(const Point3& p, int index) { cells_[key(cell(p.x), cell(p.y), cell(p.z))].push_back(index); }

  // The largest index among the stored points for which near(index) holds,
  // or -1.
  template <class Near>
  int last_match(const Point3& p, Near near) const {
    const int64_t cx = cell(p.x), cy = cell(p.y), cz = cell(p.z);
    int best = -1;
    for (int64_t dx = -1; dx <= 1; ++dx)
      for (int64_t dy = -1; dy <= 1; ++dy)
        for (int64_t dz = -1; dz <= 1; ++dz) {
          auto it = cells_.find(key(cx + dx, cy + dy, cz + dz));
          if (it == cells_.end()) continue;
          for (int i : it->second)
            if (near(i) && i > best) best = i;
        }
    return best;
  }

 private:
  static int64_t cell(double v) {
    // Far or non-finite coordinates share the outermost buckets; the
    // distance test still decides.
    const double c = std::floor(v / GTS_DUPLICATE_DISTANCE);
    if (!(c > -1e15)) return -1000000000000000;
    if (c > 1e15) return 1000000000000000;
    return static_cast<int64_t>(c);
  }
  static uint64_t key(int64_t x, int64_t y, int64_t z) {
    uint64_t h = static_cast<uint64_t>(x) * 0x9E3779B97F4A7C15ull;
    h ^= static_cast<uint64_t>(y) * 0xC2B2AE3D27D4EB4Full + (h << 6) + (h >> 2);
    h ^= static_cast<uint64_t>(z) * 0x165667B19E3779F9ull + (h << 6) + (h >> 2);
    return h;
  }
  // Buckets are keyed by a hash of the cell; two cells sharing a hash only
  // add candidates, which the distance test sorts out.
  std::unordered_map<uint64_t, std::vector<int>> cells_;
};

void append_mesh(std::vector<Point3>& vertices, const std::vector<int32_t>& face_sizes,
                 const std::vector<int32_t>& indices) {
  elem_new_mesh(cur_layer, cur_pen, cur_line_type, static_cast<int>(vertices.size()),
                static_cast<int>(face_sizes.size()), face_sizes.data(), vertices.data(), indices.data(),
                "Default", 0);
}

// The faces of m whose indices all name a vertex, as corner lists.
std::vector<std::vector<int32_t>> valid_faces(const MeshElem& m) {
  std::vector<std::vector<int32_t>> faces;
  size_t pos = 0;
  const int v = m.vertex_count();
  for (int32_t n : m.face_sizes) {
    if (n < 0 || pos + static_cast<size_t>(n) > m.indices.size()) break;
    std::vector<int32_t> face(m.indices.begin() + static_cast<std::ptrdiff_t>(pos),
                              m.indices.begin() + static_cast<std::ptrdiff_t>(pos + n));
    pos += static_cast<size_t>(n);
    if (std::all_of(face.begin(), face.end(), [v](int32_t i) { return i >= 0 && i < v; }))
      faces.push_back(std::move(face));
  }
  return faces;
}

// repair3d puts a point into an edge A-B when |AP| + |PB| is below
// |AB| + this (and the points lie on one line as vec3_parallel tells).
constexpr double REPAIR_SLACK = 1e-4;

// Points in a tree of boxes, each halved across its widest side, so that
// the points near a segment are found among the few boxes it passes near,
// however the points are spread.
class PointTree {
 public:
  explicit PointTree(const std::vector<Point3>& points) : points_(points), order_(points.size()) {
    for (size_t i = 0; i < order_.size(); ++i) order_[i] = static_cast<int>(i);
    if (!order_.empty()) build(0, static_cast<int>(order_.size()));
  }

  // Calls take(i) for every point closer than reach to the segment a-b,
  // and for some a little farther.
  template <class Take>
  void near_segment(const Point3& a, const Point3& b, double reach, Take take) const {
    if (!nodes_.empty()) visit(0, a, b, reach, take);
  }

 private:
  static constexpr int LEAF = 8;
  struct Node {
    double lo[3], hi[3];
    int first, count;
    int left = -1, right = -1;
  };

  static double coord(const Point3& p, int axis) { return axis == 0 ? p.x : axis == 1 ? p.y : p.z; }

  int build(int first, int count) {
    Node n{};
    n.first = first;
    n.count = count;
    for (int k = 0; k < 3; ++k) n.lo[k] = HUGE_VAL, n.hi[k] = -HUGE_VAL;
    for (int i = first; i < first + count; ++i)
      for (int k = 0; k < 3; ++k) {
        const double c = coord(points_[static_cast<size_t>(order_[static_cast<size_t>(i)])], k);
        n.lo[k] = std::min(n.lo[k], c);
        n.hi[k] = std::max(n.hi[k], c);
      }
    const int at = static_cast<int>(nodes_.size());
    nodes_.push_back(n);
    if (count > LEAF) {
      int axis = 0;
      for (int k = 1; k < 3; ++k)
        if (n.hi[k] - n.lo[k] > n.hi[axis] - n.lo[axis]) axis = k;
      const int half = count / 2;
      std::nth_element(order_.begin() + first, order_.begin() + first + half, order_.begin() + first + count,
                       [&](int l, int r) {
                         return coord(points_[static_cast<size_t>(l)], axis) <
                                coord(points_[static_cast<size_t>(r)], axis);
                       });
      const int left = build(first, half);
      const int right = build(first + half, count - half);
      nodes_[static_cast<size_t>(at)].left = left;
      nodes_[static_cast<size_t>(at)].right = right;
    }
    return at;
  }

  // Whether the segment a-b meets the node's box grown by reach.
  bool meets(const Node& n, const Point3& a, const Point3& b, double reach) const {
    double t0 = 0, t1 = 1;
    for (int k = 0; k < 3; ++k) {
      const double from = coord(a, k), d = coord(b, k) - from;
      const double lo = n.lo[k] - reach, hi = n.hi[k] + reach;
      if (d == 0) {
        if (from < lo || from > hi) return false;
        continue;
      }
      double enter = (lo - from) / d, leave = (hi - from) / d;
      if (enter > leave) std::swap(enter, leave);
      t0 = std::max(t0, enter);
      t1 = std::min(t1, leave);
      if (t0 > t1) return false;
    }
    return true;
  }

  template <class Take>
  void visit(int at, const Point3& a, const Point3& b, double reach, Take& take) const {
    const Node& n = nodes_[static_cast<size_t>(at)];
    if (!meets(n, a, b, reach)) return;
    if (n.left < 0) {
      for (int i = n.first; i < n.first + n.count; ++i) take(order_[static_cast<size_t>(i)]);
      return;
    }
    visit(n.left, a, b, reach, take);
    visit(n.right, a, b, reach, take);
  }

  const std::vector<Point3>& points_;
  std::vector<int> order_;
  std::vector<Node> nodes_;
};

// What repeated mesh_face_drop_degenerate_vertex leaves of a face: the
// first corner in order that forms a degenerate triangle with its
// neighbours goes, again and again, while more than two are left. Only the
// neighbours of a corner that went change, so the search goes on from the
// one before it instead of from the start: linear in the corners.
void drop_degenerate_corners(std::vector<int32_t>& face, const Point3* vertices) {
  const int n = static_cast<int>(face.size());
  std::vector<int> next(static_cast<size_t>(n)), prev(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) next[i] = (i + 1) % n, prev[i] = (i + n - 1) % n;
  auto degenerate = [&](int i) {
    return mesh_triangle_degenerate(vertices, face[static_cast<size_t>(prev[i])],
                                    face[static_cast<size_t>(i)], face[static_cast<size_t>(next[i])]) != 0;
  };
  int head = 0, left = n, at = 0;
  while (left > 2) {
    // The first degenerate corner from at on; those before at are not.
    int found = -1;
    for (int i = at;;) {
      if (degenerate(i)) {
        found = i;
        break;
      }
      i = next[i];
      if (i == head) break;
    }
    if (found < 0) break;
    const int before = prev[found], after = next[found];
    const bool was_last = after == head;
    next[before] = after, prev[after] = before;
    --left;
    if (found == head) {
      head = at = after;
    } else if (was_last && degenerate(head)) {
      at = head;
    } else {
      at = before;
    }
  }
  std::vector<int32_t> kept;
  kept.reserve(static_cast<size_t>(left));
  for (int i = head, k = 0; k < left; ++k, i = next[i]) kept.push_back(face[static_cast<size_t>(i)]);
  face.swap(kept);
}

// Reads one count of the header; negative counts mean an empty block.
bool read_header(FILE* f, long long counts[3]) {
  char words[4][64];
  return std::fscanf(f, "%lld %lld %lld %63s %63s %63s %63s", &counts[0], &counts[1], &counts[2], words[0],
                     words[1], words[2], words[3]) == 7;
}

// Bytes left in f from its position, or -1 when it cannot be told.
long long bytes_left(FILE* f) {
  const long here = std::ftell(f);
  if (here < 0 || std::fseek(f, 0, SEEK_END) != 0) return -1;
  const long end = std::ftell(f);
  if (std::fseek(f, here, SEEK_SET) != 0 || end < here) return -1;
  return end - here;
}

}  // namespace

int gts_edge_add(std::vector<int32_t>& first, std::vector<int32_t>& second, int a, int b, int count) {
  if (gts_edge_find(first, second, a, b, count)) return count;
  first.resize(static_cast<size_t>(count) + 1);
  second.resize(static_cast<size_t>(count) + 1);
  first[static_cast<size_t>(count)] = a;
  second[static_cast<size_t>(count)] = b;
  return count + 1;
}

int gts_edge_find(const std::vector<int32_t>& first, const std::vector<int32_t>& second, int a, int b,
                  int count) {
  const int n = std::min({count, static_cast<int>(first.size()), static_cast<int>(second.size())});
  for (int i = 0; i < n; ++i)
    if ((first[i] == a && second[i] == b) || (first[i] == b && second[i] == a)) return i + 1;
  return 0;
}

int gts_write_marked(FILE* f) {
  bool ok = true;
  for (const ElemHeader* e = elem_list_head; e; e = e->next) {
    const auto* mesh = elem_as<MeshElem>(e);
    if (!mesh || e->mark != 1) continue;
    FaceList* tri = tri_faces_new(mesh);
    tri_triangulate_faces(tri, 0);
    // The edges in first-seen order and direction; the map stands in for
    // the linear search of gts_edge_find, with the same answers.
    std::vector<int32_t> first, second;
    std::unordered_map<uint64_t, int> edge_of;
    auto add = [&](int a, int b) {
      if (edge_of.emplace(pair_key(a, b), static_cast<int>(first.size()) + 1).second) {
        first.push_back(a);
        second.push_back(b);
      }
    };
    const int t = tri->triangle_count;
    for (int k = 0; k < t; ++k) {
      add(tri->t2[k], tri->t1[k]);
      add(tri->t1[k], tri->t0[k]);
      add(tri->t0[k], tri->t2[k]);
    }
    if (std::fprintf(f, "%d %d %d GtsSurface GtsFace GtsEdge GtsVertex\n", mesh->vertex_count(),
                     static_cast<int>(first.size()), t) < 0)
      ok = false;
    for (const Point3& p : mesh->vertices) std::fprintf(f, "%.15lf %.15lf %.15lf\n", p.x, p.y, p.z);
    for (size_t i = 0; i < first.size(); ++i) std::fprintf(f, "%d %d\n", first[i] + 1, second[i] + 1);
    for (int k = 0; k < t; ++k)
      std::fprintf(f, "%d %d %d\n", edge_of[pair_key(tri->t2[k], tri->t0[k])],
                   edge_of[pair_key(tri->t1[k], tri->t2[k])], edge_of[pair_key(tri->t0[k], tri->t1[k])]);
    tri_faces_free(tri);
  }
  if (std::fflush(f) != 0 || std::ferror(f)) ok = false;
  return ok ? 1 : 0;
}

int mesh_triangle_degenerate(const Point3* vertices, int i, int j, int k) {
  const Point3 n = vec3_cross(vec3_sub(vertices[j], vertices[i]), vec3_sub(vertices[k], vertices[i]));
  return (std::fabs(n.x) + std::fabs(n.y) + std::fabs(n.z)) / 2.0 < MESH_DEGENERATE_AREA ? 1 : 0;
}

int translate_gts_kavro(FILE* f, int flip, const std::function<bool()>& step) {
  long long counts[3] = {0, 0, 0};
  if (!f || !read_header(f, counts)) return 0;
  const long long v = counts[0], e = counts[1], t = counts[2];
  if (v <= 0 || e <= 0 || t <= 0) return 0;
  // Every line holds at least one character per number and a separator, so
  // counts the rest of the file cannot hold are refused before allocating.
  if (v > 100000000 || e > 100000000 || t > 100000000) return 0;
  const long long left = bytes_left(f);
  if (left >= 0 && v * 6 + e * 4 + t * 6 - 1 > left) return 0;

  std::vector<Point3> retained;
  std::vector<int> map(static_cast<size_t>(v));
  PointGrid grid;
  for (long long i = 0; i < v; ++i) {
    if (step && !step()) return 0;
    Point3 p{};
    if (std::fscanf(f, "%lf %lf %lf", &p.x, &p.y, &p.z) != 3) return 0;
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) return 0;
    const int hit = grid.last_match(p, [&](int r) {
      return geom_dist3(p.x, p.y, p.z, retained[r].x, retained[r].y, retained[r].z) < GTS_DUPLICATE_DISTANCE;
    });
    if (hit >= 0) {
      map[static_cast<size_t>(i)] = hit;
    } else {
      map[static_cast<size_t>(i)] = static_cast<int>(retained.size());
      grid.add(p, static_cast<int>(retained.size()));
      retained.push_back(p);
    }
  }
  std::vector<int> ea(static_cast<size_t>(e)), eb(static_cast<size_t>(e));
  for (long long i = 0; i < e; ++i) {
    if (step && !step()) return 0;
    int a = 0, b = 0;
    if (std::fscanf(f, "%d %d", &a, &b) != 2 || a < 1 || b < 1 || a > v || b > v) return 0;
    ea[static_cast<size_t>(i)] = a - 1;
    eb[static_cast<size_t>(i)] = b - 1;
  }
  std::vector<int32_t> tris;
  int dropped = 0;
  for (long long k = 0; k < t; ++k) {
    if (step && !step()) return 0;
    int n[3] = {0, 0, 0};
    if (std::fscanf(f, "%d %d %d", &n[0], &n[1], &n[2]) != 3) return 0;
    for (int x : n)
      if (x < 1 || x > e) return 0;
    if (flip) std::swap(n[0], n[2]);
    const int a1 = ea[n[0] - 1], a2 = eb[n[0] - 1], b1 = ea[n[1] - 1], b2 = eb[n[1] - 1];
    int c[3] = {-1, -1, -1};
    if (a1 == b1) c[0] = a2, c[1] = a1, c[2] = b2;
    if (a1 == b2) c[0] = a2, c[1] = a1, c[2] = b1;
    if (a2 == b1) c[0] = a1, c[1] = a2, c[2] = b2;
    if (a2 == b2) c[0] = a1, c[1] = a2, c[2] = b1;
    // Two edges that share no vertex describe no triangle.
    if (c[0] < 0) {
      ++dropped;
      continue;
    }
    for (int& x : c) x = map[static_cast<size_t>(x)];
    if (mesh_triangle_degenerate(retained.data(), c[0], c[1], c[2])) {
      ++dropped;
      continue;
    }
    tris.insert(tris.end(), c, c + 3);
  }
  const int u = static_cast<int>(retained.size());
  std::printf(
      "STATS: ### translate_gts_kavro ###\n%d points read\n%d duplicate points removed\n%d triangles "
      "read\n%d "
      "degenerated triangles removed\n",
      static_cast<int>(v), static_cast<int>(v) - u, static_cast<int>(t), dropped);

  std::vector<int> uses(static_cast<size_t>(u), 0);
  for (int32_t x : tris) ++uses[static_cast<size_t>(x)];
  int unused = 0, created = 0;
  for (int p = 0; p < u; ++p) {
    if (uses[static_cast<size_t>(p)]) continue;
    ++unused;
    const Point3 pp = retained[static_cast<size_t>(p)];
    auto on_edge = [&](int a, int b) {
      Point3 foot{};
      const double d = vec3_project_on_segment(pp, retained[static_cast<size_t>(a)],
                                               retained[static_cast<size_t>(b)], &foot);
      return foot.mark == 1 && d < GTS_LEFTOVER_DISTANCE;
    };
    for (size_t k = 0; k < tris.size(); k += 3) {
      const int t0 = tris[k], t1 = tris[k + 1], t2 = tris[k + 2];
      int32_t keep[3], added[3];
      if (on_edge(t0, t1)) {
        keep[0] = t0, keep[1] = p, keep[2] = t2;
        added[0] = p, added[1] = t1, added[2] = t2;
      } else if (on_edge(t1, t2)) {
        keep[0] = t0, keep[1] = t1, keep[2] = p;
        added[0] = p, added[1] = t2, added[2] = t0;
      } else if (on_edge(t2, t0)) {
        keep[0] = p, keep[1] = t1, keep[2] = t2;
        added[0] = p, added[1] = t0, added[2] = t1;
      } else {
        continue;
      }
      std::copy(keep, keep + 3, tris.begin() + static_cast<std::ptrdiff_t>(k));
      tris.insert(tris.end(), added, added + 3);
      ++created;
      break;
    }
  }
  std::printf("%d unused points\n%d triangles created\n", unused, created);
  if (created < unused) std::printf("%d unused points left !!!!!\n", unused - created);

  if (tris.empty() || u <= 2) return 0;
  const std::vector<int32_t> sizes(tris.size() / 3, 3);
  append_mesh(retained, sizes, tris);
  return 1;
}

int mesh_face_drop_degenerate_vertex(int n, int32_t* corners, const Point3* vertices) {
  for (int i = 0; i < n; ++i) {
    const int prev = corners[(i + n - 1) % n], next = corners[(i + 1) % n];
    if (mesh_triangle_degenerate(vertices, prev, corners[i], next)) {
      std::copy(corners + i + 1, corners + n, corners + i);
      return 1;
    }
  }
  return 0;
}

int mesh_compact_points(int v, int f, const int32_t* face_sizes, Point3* vertices, int32_t* indices) {
  long long total = 0;
  for (int k = 0; k < f; ++k) total += face_sizes[k];
  std::vector<int> renumber(static_cast<size_t>(v), -1);
  for (long long i = 0; i < total; ++i) renumber[static_cast<size_t>(indices[i])] = 0;
  int kept = 0;
  for (int i = 0; i < v; ++i) {
    if (renumber[static_cast<size_t>(i)] < 0) continue;
    renumber[static_cast<size_t>(i)] = kept;
    vertices[kept++] = vertices[i];
  }
  for (long long i = 0; i < total; ++i) indices[i] = renumber[static_cast<size_t>(indices[i])];
  return kept;
}

void merge3d(const MeshElem& a, const MeshElem& b) {
  std::vector<Point3> vertices = a.vertices;
  PointGrid grid;
  for (int i = 0; i < a.vertex_count(); ++i) grid.add(a.vertices[static_cast<size_t>(i)], i);
  std::vector<int32_t> map(b.vertices.size());
  int pairs = 0;
  for (size_t j = 0; j < b.vertices.size(); ++j) {
    const Point3 q = b.vertices[j];
    const int hit = grid.last_match(q, [&](int i) {
      const bool eq = vec3_equal(a.vertices[static_cast<size_t>(i)], q) == 1;
      pairs += eq ? 1 : 0;
      return eq;
    });
    if (hit >= 0) {
      map[j] = hit;
    } else {
      map[j] = static_cast<int32_t>(vertices.size());
      vertices.push_back(q);
    }
  }
  std::vector<int32_t> sizes, indices;
  for (const auto& face : valid_faces(a)) {
    sizes.push_back(static_cast<int32_t>(face.size()));
    indices.insert(indices.end(), face.begin(), face.end());
  }
  for (const auto& face : valid_faces(b)) {
    sizes.push_back(static_cast<int32_t>(face.size()));
    for (int32_t x : face) indices.push_back(map[static_cast<size_t>(x)]);
  }
  std::printf("merge3d: removed %d duplicate points\n", pairs);
  append_mesh(vertices, sizes, indices);
}

void clean3d(const MeshElem& mesh) {
  std::vector<Point3> vertices = mesh.vertices;
  std::vector<int32_t> sizes, indices;
  for (auto& face : valid_faces(mesh)) {
    drop_degenerate_corners(face, vertices.data());
    if (face.size() < 3) continue;
    sizes.push_back(static_cast<int32_t>(face.size()));
    indices.insert(indices.end(), face.begin(), face.end());
  }
  const int before = static_cast<int>(vertices.size());
  const int after = mesh_compact_points(before, static_cast<int>(sizes.size()), sizes.data(), vertices.data(),
                                        indices.data());
  vertices.resize(static_cast<size_t>(after));
  std::printf("clean3d: removed %d unused points\n", before - after);
  append_mesh(vertices, sizes, indices);
}

void repair3d(const MeshElem& mesh) {
  std::vector<Point3> vertices = mesh.vertices;
  const PointTree tree(vertices);
  const auto faces = valid_faces(mesh);
  std::vector<int32_t> sizes, indices;
  int inserted = 0, old_total = 0;
  std::vector<std::pair<double, int>> on;
  for (const auto& face : faces) {
    old_total += static_cast<int>(face.size());
    const size_t start = indices.size();
    for (size_t c = 0; c < face.size(); ++c) {
      const int a = face[c], b = face[(c + 1) % face.size()];
      const Point3 pa = vertices[static_cast<size_t>(a)], pb = vertices[static_cast<size_t>(b)];
      indices.push_back(a);
      const double ab = vec3_distance(pa, pb);
      // |AP| + |PB| < |AB| + t holds inside the ellipsoid about A and B
      // whose half axes are (|AB| + t) / 2 and sqrt(2 |AB| t + t^2) / 2:
      // no point farther from the segment can pass.
      const double t = REPAIR_SLACK;
      const double reach = std::sqrt(2 * ab * t + t * t) / 2 * (1 + 1e-6) + 1e-12;
      on.clear();
      tree.near_segment(pa, pb, reach, [&](int p) {
        if (p == a || p == b) return;
        const Point3 pp = vertices[static_cast<size_t>(p)];
        const double ap = vec3_distance(pa, pp);
        if (vec3_parallel(vec3_sub(pa, pb), vec3_sub(pp, pb)) && ab + t > ap + vec3_distance(pp, pb))
          on.emplace_back(ap, p);
      });
      // Along the edge from A, so several points on one edge keep the
      // boundary from folding back on itself.
      std::sort(on.begin(), on.end());
      for (const auto& [d, p] : on) indices.push_back(p);
      inserted += static_cast<int>(on.size());
    }
    sizes.push_back(static_cast<int32_t>(indices.size() - start));
  }
  std::printf("repair3d: inserted %d new vertices (old: %d new: %d)\n", inserted, old_total,
              static_cast<int>(indices.size()));
  append_mesh(vertices, sizes, indices);
}

namespace {

// Replaces the last mesh by what step appends for it.
template <class Step>
void replace_last(Step step) {
  auto* m = elem_as<MeshElem>(elem_list_tail);
  if (!m) return;
  step(*m);
  if (elem_list_tail == m) return;
  m->mark = 1;
  elem_purge_marked();
}

}  // namespace

void mesh_clean_up_last() {
  replace_last([](const MeshElem& m) { tri_merge_triangles(&m); });
  replace_last([](const MeshElem& m) { clean3d(m); });
  replace_last([](const MeshElem& m) { repair3d(m); });
}
