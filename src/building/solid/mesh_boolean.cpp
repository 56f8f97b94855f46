#include "building/solid/mesh_boolean.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <map>
#include <numeric>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "building/solid/gts_file.h"
#include "building/solid/solid_mesh.h"
#include "building/solid/wall_mesh.h"
#include "display/select.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/settings.h"
#include "model/triangulate.h"
#include "model/ui.h"
#include "model/undo.h"
#include "model/vec3.h"
#include "platform/process.h"

std::string mesh_boolean_tool = "./gts_bso";

namespace {

constexpr const char* kFailed = "***ERROR*** Boolean operation failed\n";

struct ResultFile {
  const char* name;
  int flip;
};
// The two parts each mode reads, in the order they are joined.
constexpr ResultFile kParts[3][2] = {
    {{"1out2.gts", 1}, {"2out1.gts", 1}},
    {{"1out2.gts", 1}, {"2in1.gts", 0}},
    {{"1in2.gts", 1}, {"2in1.gts", 1}},
};
constexpr const char* kResults[4] = {"1in2.gts", "1out2.gts", "2in1.gts", "2out1.gts"};
// Where the tool's words go, to be shown when it refuses.
constexpr const char* kToolSays = "gts_bso.txt";

// The sentences the tool gives its reasons in; what follows one in
// parentheses (counts, paths) stays as it is.
constexpr const char* kReasons[] = {
    nls_mark("The first solid cannot be read."),
    nls_mark("The second solid cannot be read."),
    nls_mark("The first solid has no faces."),
    nls_mark("The second solid has no faces."),
    nls_mark("The first solid is not closed."),
    nls_mark("The second solid is not closed."),
    nls_mark("The first solid has edges in more than two faces."),
    nls_mark("The second solid has edges in more than two faces."),
    nls_mark("The faces of the first solid are not wound alike."),
    nls_mark("The faces of the second solid are not wound alike."),
    nls_mark("The first solid intersects itself."),
    nls_mark("The second solid intersects itself."),
    nls_mark("No sound result could be computed."),
    nls_mark("The results cannot be written."),
};

// The tool's reason for refusing, from what it wrote to path, its sentence
// translated; empty when it gave none. What the tool wrote goes on to
// standard error, where it went before it was caught.
std::string tool_reason(const std::string& path) {
  std::string text, reason;
  if (FILE* f = std::fopen(path.c_str(), "r")) {
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) text.append(buffer, n);
    std::fclose(f);
  }
  std::fputs(text.c_str(), stderr);
  constexpr std::string_view kPrefix = "gts_bso: ";
  for (std::size_t at = 0; at < text.size();) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    const std::string_view line(text.data() + at, end - at);
    if (line.substr(0, kPrefix.size()) == kPrefix) reason = line.substr(kPrefix.size());
    at = end + 1;
  }
  std::string sentence = reason, detail;
  if (const std::size_t open = reason.find(" ("); open != std::string::npos && reason.back() == ')') {
    sentence = reason.substr(0, open);
    detail = reason.substr(open);
  }
  for (const char* known : kReasons)
    if (sentence == known) sentence = nls_translate(known);
  return sentence + detail;
}

// Triangles of one plane that come closer than this to overlapping only
// touch: the distance at which points are one. Where fine curved surfaces
// cut each other at a shallow angle, a sliver of the seam can fold over
// its neighbour by a fraction of that, which is no skin.
constexpr double kTouch = GTS_DUPLICATE_DISTANCE;

std::string path_in(const std::string& folder, const char* name) { return folder + "/" + name; }

uint64_t edge_key(int32_t a, int32_t b) {
  return (static_cast<uint64_t>(static_cast<uint32_t>(a)) << 32) | static_cast<uint32_t>(b);
}

// Writes the one mesh e to path; false unless the whole file was written.
bool write_operand(ElemHeader* e, const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "w");
  if (!f) return false;
  e->mark = 1;
  const int ok = gts_write_marked(f);
  e->mark = 0;
  return (std::fclose(f) == 0) && ok;
}

// True when the file at path holds one complete surface block: a header
// and as many vertex, edge and triangle lines as it counts, every number
// in range. A block without triangles is complete.
bool block_complete(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "r");
  if (!f) return false;
  long long v = 0, e = 0, t = 0;
  char words[4][64];
  bool ok = std::fscanf(f, "%lld %lld %lld %63s %63s %63s %63s", &v, &e, &t, words[0], words[1], words[2],
                        words[3]) == 7;
  if (ok && v > 0 && e > 0 && t > 0) {
    for (long long i = 0; ok && i < v; ++i) {
      double x = 0, y = 0, z = 0;
      ok = std::fscanf(f, "%lf %lf %lf", &x, &y, &z) == 3 && std::isfinite(x) && std::isfinite(y) &&
           std::isfinite(z);
    }
    for (long long i = 0; ok && i < e; ++i) {
      long long a = 0, b = 0;
      ok = std::fscanf(f, "%lld %lld", &a, &b) == 2 && a >= 1 && b >= 1 && a <= v && b <= v;
    }
    for (long long i = 0; ok && i < t; ++i) {
      long long a = 0, b = 0, c = 0;
      ok = std::fscanf(f, "%lld %lld %lld", &a, &b, &c) == 3 && a >= 1 && b >= 1 && c >= 1 && a <= e &&
           b <= e && c <= e;
    }
  }
  std::fclose(f);
  return ok;
}

// Appends the mesh read from path into part, or leaves it null for a
// surface without area: none at all, or only triangles that the reader
// drops as degenerate (two solids that share only an edge meet in such
// slivers). False when the file cannot be read or is not a complete block.
bool read_part(const std::string& path, int flip, MeshElem*& part) {
  part = nullptr;
  FILE* f = std::fopen(path.c_str(), "r");
  if (!f) return false;
  ElemHeader* before = elem_list_tail;
  const int ok = translate_gts_kavro(f, flip);
  std::fclose(f);
  if (ok && elem_list_tail != before) part = elem_as<MeshElem>(elem_list_tail);
  return part != nullptr || block_complete(path);
}

double surface_area(const MeshElem& m) {
  double area = 0.0;
  std::size_t at = 0;
  for (int32_t n : m.face_sizes) {
    auto corner = [&](int32_t k) {
      return m.vertices[static_cast<std::size_t>(m.indices[at + static_cast<std::size_t>(k)])];
    };
    // Fanned from the first corner: the face's area vector.
    Point3 sum{0, 0, 0, 0};
    for (int32_t k = 1; k + 1 < n; ++k)
      sum = vec3_add(sum, vec3_cross(vec3_sub(corner(k), corner(0)), vec3_sub(corner(k + 1), corner(0))));
    area += vec3_length(sum.x, sum.y, sum.z) / 2.0;
    at += static_cast<std::size_t>(n);
  }
  return area;
}

// The faces of a mesh, each a list of vertex numbers; empty when an index
// lies outside the vertices.
std::vector<std::vector<int32_t>> faces_of(const MeshElem& m) {
  std::vector<std::vector<int32_t>> faces;
  std::size_t at = 0;
  for (int32_t n : m.face_sizes) {
    if (n < 0 || at + static_cast<std::size_t>(n) > m.indices.size()) return {};
    faces.emplace_back(m.indices.begin() + static_cast<std::ptrdiff_t>(at),
                       m.indices.begin() + static_cast<std::ptrdiff_t>(at + static_cast<std::size_t>(n)));
    at += static_cast<std::size_t>(n);
    for (int32_t i : faces.back())
      if (i < 0 || i >= m.vertex_count()) return {};
  }
  return faces;
}

// The plane of the triangle a, b, c as a key, the same for both windings,
// and in side the winding: 0 or 1. False for a triangle without area.
bool plane_key(Point3 a, Point3 b, Point3 c, std::array<long long, 4>& key, int& side) {
  Point3 n = vec3_cross(vec3_sub(b, a), vec3_sub(c, a));
  const double len = vec3_length(n.x, n.y, n.z);
  if (!(len > 1e-12)) return false;
  n = Point3{n.x / len, n.y / len, n.z / len, 0};
  const double big = std::fabs(n.x) >= std::fabs(n.y) && std::fabs(n.x) >= std::fabs(n.z) ? n.x
                     : std::fabs(n.y) >= std::fabs(n.z)                                   ? n.y
                                                                                          : n.z;
  side = big < 0 ? 1 : 0;
  if (side) n = Point3{-n.x, -n.y, -n.z, 0};
  key = {std::llround(n.x * 1e6), std::llround(n.y * 1e6), std::llround(n.z * 1e6),
         std::llround(vec3_dot(n, a) * 1e6)};
  return true;
}

// True when the triangles p and q of one plane overlap in more than an
// edge or a corner: no edge direction of either separates them.
bool overlap_in_plane(const Point3 p[3], const Point3 q[3]) {
  // In the coordinate plane the triangles' plane is least slanted to.
  const Point3 n = vec3_cross(vec3_sub(p[1], p[0]), vec3_sub(p[2], p[0]));
  const int drop = std::fabs(n.x) >= std::fabs(n.y) && std::fabs(n.x) >= std::fabs(n.z) ? 0
                   : std::fabs(n.y) >= std::fabs(n.z)                                   ? 1
                                                                                        : 2;
  auto flat = [drop](const Point3& v) {
    return drop == 0 ? std::pair{v.y, v.z} : drop == 1 ? std::pair{v.z, v.x} : std::pair{v.x, v.y};
  };
  std::pair<double, double> a[3], b[3];
  for (int k = 0; k < 3; ++k) a[k] = flat(p[k]), b[k] = flat(q[k]);
  for (const auto* tri : {a, b})
    for (int k = 0; k < 3; ++k) {
      const double ex = tri[(k + 1) % 3].first - tri[k].first, ey = tri[(k + 1) % 3].second - tri[k].second;
      const double len = std::hypot(ex, ey);
      if (!(len > 0)) continue;
      const double nx = -ey / len, ny = ex / len;
      double lo[2] = {1e300, 1e300}, hi[2] = {-1e300, -1e300};
      for (int j = 0; j < 3; ++j) {
        const double da = a[j].first * nx + a[j].second * ny, db = b[j].first * nx + b[j].second * ny;
        lo[0] = std::min(lo[0], da), hi[0] = std::max(hi[0], da);
        lo[1] = std::min(lo[1], db), hi[1] = std::max(hi[1], db);
      }
      if (hi[0] <= lo[1] + kTouch || hi[1] <= lo[0] + kTouch) return false;
    }
  return true;
}

// True when the mesh is a closed surface wound one way throughout, judged
// on its faces as written: every edge lies in faces that run along it once
// each way, and no face has fewer than three corners or a corner twice in
// a row. A face folded onto itself ([a, b, c, b]) or of no area counts as
// it stands, so it cannot slip through unseen as a face the triangulation
// leaves out. And no two triangles of one plane facing opposite ways
// overlap: that would be a skin of no thickness, two-sided, however well
// its edges pair up.
bool closed_and_consistent(const MeshElem& m) {
  const auto faces = faces_of(m);
  if (faces.empty()) return false;
  std::unordered_map<uint64_t, int> uses;
  for (const auto& f : faces) {
    if (f.size() < 3) return false;
    for (std::size_t k = 0; k < f.size(); ++k) {
      const int32_t a = f[k], b = f[(k + 1) % f.size()];
      if (a == b) return false;
      ++uses[edge_key(a, b)];
    }
  }
  for (const auto& [key, count] : uses) {
    if (count != 1) return false;
    const auto back = uses.find((key << 32) | (key >> 32));
    if (back == uses.end() || back->second != 1) return false;
  }

  FaceList* t = tri_faces_new(&m);
  tri_triangulate_faces(t, 0);
  const int n = t->triangle_count;
  std::vector<std::array<int32_t, 3>> tris(static_cast<std::size_t>(n));
  for (int k = 0; k < n; ++k) tris[static_cast<std::size_t>(k)] = {t->t0[k], t->t1[k], t->t2[k]};
  tri_faces_free(t);
  // The triangles every export writes close up as well: a face whose
  // split repeats, the other way round, a triangle of a face beside it
  // gives an edge of four triangles, however well the faces pair up.
  uses.clear();
  for (const auto& tri : tris)
    for (std::size_t k = 0; k < 3; ++k) ++uses[edge_key(tri[k], tri[(k + 1) % 3])];
  for (const auto& [key, count] : uses) {
    const auto back = uses.find((key << 32) | (key >> 32));
    if (count != 1 || back == uses.end() || back->second != 1) return false;
  }

  std::map<std::array<long long, 4>, std::array<std::vector<int>, 2>> planes;
  auto at = [&](int tri, int k) {
    return m
        .vertices[static_cast<std::size_t>(tris[static_cast<std::size_t>(tri)][static_cast<std::size_t>(k)])];
  };
  for (int k = 0; k < n; ++k) {
    std::array<long long, 4> key{};
    int side = 0;
    if (plane_key(at(k, 0), at(k, 1), at(k, 2), key, side))
      planes[key][static_cast<std::size_t>(side)].push_back(k);
  }
  for (const auto& [key, side] : planes)
    for (int i : side[0])
      for (int j : side[1]) {
        const Point3 p[3] = {at(i, 0), at(i, 1), at(i, 2)}, q[3] = {at(j, 0), at(j, 1), at(j, 2)};
        if (overlap_in_plane(p, q)) return false;
      }
  return true;
}

// Where two solids meet in a face, each brings its own copy of it, wound
// oppositely: inside the joined surface those copies are no surface at
// all. Finds, plane by plane, connected patches of triangles of the one
// winding and of the other whose outlines run along the same vertices in
// opposite directions, whatever the triangles in between, and returns
// which faces to drop.
std::vector<bool> double_faces(const MeshElem& m, const std::vector<std::vector<int32_t>>& faces) {
  std::vector<bool> drop(faces.size(), false);
  // Triangles by plane, the normal's sign made unique; the winding is
  // the side the triangle faces.
  struct Side {
    std::vector<int> tris[2];
  };
  std::map<std::array<long long, 4>, Side> planes;
  for (std::size_t k = 0; k < faces.size(); ++k) {
    const auto& f = faces[k];
    if (f.size() != 3) continue;
    std::array<long long, 4> key{};
    int side = 0;
    if (!plane_key(m.vertices[static_cast<std::size_t>(f[0])], m.vertices[static_cast<std::size_t>(f[1])],
                   m.vertices[static_cast<std::size_t>(f[2])], key, side))
      continue;
    planes[key].tris[side].push_back(static_cast<int>(k));
  }
  for (auto& [key, plane] : planes) {
    if (plane.tris[0].empty() || plane.tris[1].empty()) continue;
    // Only triangles all of whose corners the other side uses as well can
    // lie under a copy of the other side.
    std::unordered_set<int32_t> corners[2];
    for (int s = 0; s < 2; ++s)
      for (int t : plane.tris[s])
        for (int32_t i : faces[static_cast<std::size_t>(t)]) corners[s].insert(i);
    std::map<std::vector<std::pair<int32_t, int32_t>>, std::vector<int>> outlines[2];
    for (int s = 0; s < 2; ++s) {
      std::vector<int> cand;
      for (int t : plane.tris[s]) {
        const auto& f = faces[static_cast<std::size_t>(t)];
        if (std::all_of(f.begin(), f.end(), [&](int32_t i) { return corners[1 - s].count(i) != 0; }))
          cand.push_back(t);
      }
      // Patches: triangles joined through shared edges.
      std::vector<std::size_t> parent(cand.size());
      std::iota(parent.begin(), parent.end(), 0);
      auto root = [&](std::size_t x) {
        while (parent[x] != x) x = parent[x] = parent[parent[x]];
        return x;
      };
      std::unordered_map<uint64_t, std::size_t> by_edge;
      for (std::size_t c = 0; c < cand.size(); ++c) {
        const auto& f = faces[static_cast<std::size_t>(cand[c])];
        for (int j = 0; j < 3; ++j) {
          const int32_t a = f[static_cast<std::size_t>(j)], b = f[static_cast<std::size_t>((j + 1) % 3)];
          const auto [it, added] = by_edge.emplace(edge_key(std::min(a, b), std::max(a, b)), c);
          if (!added) parent[root(c)] = root(it->second);
        }
      }
      std::map<std::size_t, std::vector<int>> patches;
      for (std::size_t c = 0; c < cand.size(); ++c) patches[root(c)].push_back(cand[c]);
      for (auto& [r, tris] : patches) {
        std::unordered_set<uint64_t> directed;
        for (int t : tris) {
          const auto& f = faces[static_cast<std::size_t>(t)];
          for (int j = 0; j < 3; ++j)
            directed.insert(
                edge_key(f[static_cast<std::size_t>(j)], f[static_cast<std::size_t>((j + 1) % 3)]));
        }
        // The outline: edges not met the other way inside the patch, the
        // other side's turned round so that matching outlines compare equal.
        std::vector<std::pair<int32_t, int32_t>> outline;
        for (uint64_t e : directed) {
          const auto a = static_cast<int32_t>(e >> 32), b = static_cast<int32_t>(e & 0xffffffffu);
          if (directed.count(edge_key(b, a))) continue;
          outline.emplace_back(s ? b : a, s ? a : b);
        }
        std::sort(outline.begin(), outline.end());
        outlines[s].emplace(std::move(outline), std::move(tris));
      }
    }
    for (const auto& [outline, tris] : outlines[0]) {
      const auto other = outlines[1].find(outline);
      if (outline.empty() || other == outlines[1].end()) continue;
      for (int t : tris) drop[static_cast<std::size_t>(t)] = true;
      for (int t : other->second) drop[static_cast<std::size_t>(t)] = true;
    }
  }
  return drop;
}

// Replaces the last element, a mesh, by one without its double faces;
// false when no face is left.
bool drop_double_faces_of_last() {
  auto* m = elem_as<MeshElem>(elem_list_tail);
  if (!m) return false;
  const auto faces = faces_of(*m);
  const std::vector<bool> drop = double_faces(*m, faces);
  if (std::none_of(drop.begin(), drop.end(), [](bool d) { return d; })) return !faces.empty();
  std::vector<int32_t> sizes, indices;
  for (std::size_t k = 0; k < faces.size(); ++k) {
    if (drop[k]) continue;
    sizes.push_back(static_cast<int32_t>(faces[k].size()));
    indices.insert(indices.end(), faces[k].begin(), faces[k].end());
  }
  std::vector<Point3> vertices = m->vertices;
  m->mark = 1;
  elem_purge_marked();
  if (sizes.empty()) return false;
  elem_new_mesh(cur_layer, cur_pen, cur_line_type, static_cast<int>(vertices.size()),
                static_cast<int>(sizes.size()), sizes.data(), vertices.data(), indices.data(), "Default", 0);
  return true;
}

// A mesh as the triangles its export gives, for telling where a point
// lies.
using Triangle = std::array<Point3, 3>;
std::vector<Triangle> triangles_of(const MeshElem& m) {
  FaceList* t = tri_faces_new(&m);
  tri_triangulate_faces(t, 0);
  std::vector<Triangle> out;
  out.reserve(static_cast<std::size_t>(t->triangle_count));
  for (int k = 0; k < t->triangle_count; ++k)
    out.push_back({m.vertices[static_cast<std::size_t>(t->t0[k])],
                   m.vertices[static_cast<std::size_t>(t->t1[k])],
                   m.vertices[static_cast<std::size_t>(t->t2[k])]});
  tri_faces_free(t);
  return out;
}

// The distance from p to the triangle t.
double distance_to(const Point3& p, const Triangle& t) {
  const Point3 a = t[0], b = t[1], c = t[2];
  const Point3 ab = vec3_sub(b, a), ac = vec3_sub(c, a), ap = vec3_sub(p, a);
  const double d1 = vec3_dot(ab, ap), d2 = vec3_dot(ac, ap);
  auto at = [&](const Point3& q) { return vec3_distance(p, q); };
  auto along = [](const Point3& o, const Point3& d, double f) {
    return Point3{o.x + f * d.x, o.y + f * d.y, o.z + f * d.z, 0};
  };
  if (d1 <= 0 && d2 <= 0) return at(a);
  const Point3 bp = vec3_sub(p, b);
  const double d3 = vec3_dot(ab, bp), d4 = vec3_dot(ac, bp);
  if (d3 >= 0 && d4 <= d3) return at(b);
  const double vc = d1 * d4 - d3 * d2;
  if (vc <= 0 && d1 >= 0 && d3 <= 0) return at(along(a, ab, d1 / (d1 - d3)));
  const Point3 cp = vec3_sub(p, c);
  const double d5 = vec3_dot(ab, cp), d6 = vec3_dot(ac, cp);
  if (d6 >= 0 && d5 <= d6) return at(c);
  const double vb = d5 * d2 - d1 * d6;
  if (vb <= 0 && d2 >= 0 && d6 <= 0) return at(along(a, ac, d2 / (d2 - d6)));
  const double va = d3 * d6 - d5 * d4;
  if (va <= 0 && (d4 - d3) >= 0 && (d5 - d6) >= 0)
    return at(along(b, vec3_sub(c, b), (d4 - d3) / ((d4 - d3) + (d5 - d6))));
  const double den = va + vb + vc;
  if (!(std::fabs(den) > 0)) return at(a);
  const double v = vb / den, w = vc / den;
  return at(Point3{a.x + ab.x * v + ac.x * w, a.y + ab.y * v + ac.y * w, a.z + ab.z * v + ac.z * w, 0});
}

enum class Where { inside, on, outside, unknown };

// Where p lies with respect to the closed surface tris: on it (closer than
// GTS_LEFTOVER_DISTANCE, the distance at which the reader puts a point
// into an edge), or inside or outside by the number of times a ray from p
// crosses it. A ray that grazes an edge or a corner is no answer; another
// direction is tried.
Where where_is(const Point3& p, const std::vector<Triangle>& tris) {
  for (const Triangle& t : tris)
    if (distance_to(p, t) < GTS_LEFTOVER_DISTANCE) return Where::on;
  const Point3 rays[3] = {
      {0.5773, 0.6123, 0.5403, 0}, {-0.3301, 0.7071, -0.6253, 0}, {0.8011, -0.1937, 0.5663, 0}};
  for (const Point3& d : rays) {
    int crossings = 0;
    bool grazed = false;
    for (const Triangle& t : tris) {
      const Point3 e1 = vec3_sub(t[1], t[0]), e2 = vec3_sub(t[2], t[0]);
      const Point3 h = vec3_cross(d, e2);
      const double det = vec3_dot(e1, h);
      if (std::fabs(det) < 1e-15) continue;
      const Point3 s = vec3_sub(p, t[0]);
      const double u = vec3_dot(s, h) / det;
      const Point3 q = vec3_cross(s, e1);
      const double v = vec3_dot(d, q) / det;
      const double dist = vec3_dot(e2, q) / det;
      if (u < -1e-9 || v < -1e-9 || u + v > 1 + 1e-9 || dist <= 0) continue;
      if (u < 1e-9 || v < 1e-9 || u + v > 1 - 1e-9) {
        grazed = true;
        break;
      }
      ++crossings;
    }
    if (!grazed) return crossings % 2 ? Where::inside : Where::outside;
  }
  return Where::unknown;
}

// At most about count points of the mesh's vertices, spread over them.
std::vector<Point3> sample_vertices(const MeshElem& m, std::size_t count) {
  std::vector<Point3> out;
  const std::size_t step = std::max<std::size_t>(1, m.vertices.size() / count);
  for (std::size_t i = 0; i < m.vertices.size(); i += step) out.push_back(m.vertices[i]);
  return out;
}

// Whether the result lies where the operation puts it, judged on some of
// the vertices: a union holds every point of both solids, a difference
// lies within the first and not within the second, an intersection within
// both. A part taken for inside the other solid, or outside, when it is
// not, breaks one of these even where the volume looks right.
bool result_where_it_belongs(int mode, const MeshElem& result, const MeshElem& first,
                             const MeshElem& second) {
  constexpr std::size_t kSamples = 48;
  auto all = [](const std::vector<Point3>& points, const std::vector<Triangle>& tris, auto ok) {
    return std::all_of(points.begin(), points.end(), [&](const Point3& p) {
      const Where w = where_is(p, tris);
      return w == Where::unknown || ok(w);
    });
  };
  auto in_or_on = [](Where w) { return w != Where::outside; };
  if (mode == MESH_BOOLEAN_UNION) {
    const auto tris = triangles_of(result);
    return all(sample_vertices(first, kSamples), tris, in_or_on) &&
           all(sample_vertices(second, kSamples), tris, in_or_on);
  }
  const auto points = sample_vertices(result, kSamples);
  if (!all(points, triangles_of(first), in_or_on)) return false;
  if (mode == MESH_BOOLEAN_DIFFERENCE)
    return all(points, triangles_of(second), [](Where w) { return w != Where::inside; });
  return all(points, triangles_of(second), in_or_on);
}

// The box around some triangles, and whether two such boxes overlap by
// more than tol on every axis.
struct Bounds {
  Point3 lo{1e300, 1e300, 1e300, 0}, hi{-1e300, -1e300, -1e300, 0};
  void add(const Point3& p) {
    lo = Point3{std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z), 0};
    hi = Point3{std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z), 0};
  }
  bool overlaps(const Bounds& o, double tol) const {
    return std::min(hi.x, o.hi.x) - std::max(lo.x, o.lo.x) > tol &&
           std::min(hi.y, o.hi.y) - std::max(lo.y, o.lo.y) > tol &&
           std::min(hi.z, o.hi.z) - std::max(lo.z, o.lo.z) > tol;
  }
};
Bounds bounds_of(const std::vector<Triangle>& tris) {
  Bounds b;
  for (const Triangle& t : tris)
    for (const Point3& p : t) b.add(p);
  return b;
}

// Whether the boxes around the two meshes overlap by more than the
// rounding of their coordinates: solids whose boxes do not share nothing,
// which needs no closer look.
bool boxes_share_volume(const MeshElem& a, const MeshElem& b) {
  Bounds box[2];
  for (int k = 0; k < 2; ++k)
    for (const Point3& p : (k ? b : a).vertices) box[k].add(p);
  Bounds all = box[0];
  all.add(box[1].lo), all.add(box[1].hi);
  const Point3 span = vec3_sub(all.hi, all.lo);
  return box[0].overlaps(box[1], 1e-9 * std::max(1.0, vec3_length(span.x, span.y, span.z)));
}

// The triangles of tris whose boxes meet box (grown by tol), every step-th
// of them when there are more than most: a sample, where only a sign is
// sought, keeps the search within a fixed time on large meshes.
std::vector<Triangle> within(const std::vector<Triangle>& tris, const Bounds& box, double tol,
                             std::size_t most) {
  std::vector<Triangle> out;
  for (const Triangle& t : tris) {
    Bounds b;
    for (const Point3& p : t) b.add(p);
    if (b.overlaps(box, -tol)) out.push_back(t);
  }
  if (out.size() <= most) return out;
  std::vector<Triangle> some;
  const std::size_t step = (out.size() + most - 1) / most;
  for (std::size_t i = 0; i < out.size(); i += step) some.push_back(out[i]);
  return some;
}

// True when an edge of a triangle of a passes through a triangle of b:
// its ends lie on either side of b's plane, farther than tol, and it
// meets the plane strictly inside the triangle. A boundary of the one
// solid passing through the other's shows that each has some of itself
// inside the other and some outside. Edges that only lie in a face or
// touch it at its rim prove nothing and are passed over.
bool edge_passes_through(const std::vector<Triangle>& a, const std::vector<Triangle>& b, double tol) {
  for (const Triangle& t : b) {
    const Point3 n = vec3_cross(vec3_sub(t[1], t[0]), vec3_sub(t[2], t[0]));
    const double len = vec3_length(n.x, n.y, n.z);
    if (!(len > 0)) continue;
    const Point3 u{n.x / len, n.y / len, n.z / len, 0};
    const double d = vec3_dot(u, t[0]);
    for (const Triangle& s : a)
      for (int k = 0; k < 3; ++k) {
        const Point3 &p = s[static_cast<std::size_t>(k)], &q = s[static_cast<std::size_t>((k + 1) % 3)];
        const double dp = vec3_dot(u, p) - d, dq = vec3_dot(u, q) - d;
        if (!((dp > tol && dq < -tol) || (dp < -tol && dq > tol))) continue;
        const double f = dp / (dp - dq);
        const Point3 x{p.x + f * (q.x - p.x), p.y + f * (q.y - p.y), p.z + f * (q.z - p.z), 0};
        // Strictly inside the triangle: farther than tol inside each edge.
        bool inside = true;
        for (int j = 0; j < 3 && inside; ++j) {
          const Point3 &e0 = t[static_cast<std::size_t>(j)], &e1 = t[static_cast<std::size_t>((j + 1) % 3)];
          const Point3 w = vec3_cross(u, vec3_sub(e1, e0));
          const double wl = vec3_length(w.x, w.y, w.z);
          inside = wl > 0 && vec3_dot(w, vec3_sub(x, e0)) / wl > tol;
        }
        if (inside) return true;
      }
  }
  return false;
}

// True when some of the solid a certainly lies inside the solid b (inside
// true) or outside it (inside false): a vertex of a strictly on that side
// of b's surface, or an edge of either passing through the other's
// surface. False when no such sign was found, which is the answer for
// solids that only touch.
bool part_lies(const MeshElem& a, const MeshElem& b, bool inside) {
  const auto ta = triangles_of(a), tb = triangles_of(b);
  if (ta.empty() || tb.empty()) return false;
  const Bounds box_a = bounds_of(ta), box_b = bounds_of(tb);
  Bounds all = box_a;
  all.add(box_b.lo), all.add(box_b.hi);
  const Point3 span = vec3_sub(all.hi, all.lo);
  // Far below the smallest feature a model of that size holds, far above
  // the rounding of its coordinates.
  const double tol = 1e-9 * std::max(1.0, vec3_length(span.x, span.y, span.z));
  // Boxes that share no volume: nothing of a is inside b, all of it is
  // outside.
  if (!box_a.overlaps(box_b, tol)) return !inside;
  // Only the corners of faces: a point no face uses is no part of the solid.
  std::vector<char> used(a.vertices.size(), 0);
  for (int32_t i : a.indices) {
    // A negative index names the vertex of its absolute value.
    const int64_t v = i < 0 ? -static_cast<int64_t>(i) : i;
    if (static_cast<uint64_t>(v) < used.size()) used[static_cast<std::size_t>(v)] = 1;
  }
  std::vector<Point3> near_b;
  for (std::size_t i = 0; i < a.vertices.size(); ++i) {
    if (!used[i]) continue;
    const Point3& p = a.vertices[i];
    if (p.x > box_b.lo.x - tol && p.x < box_b.hi.x + tol && p.y > box_b.lo.y - tol &&
        p.y < box_b.hi.y + tol && p.z > box_b.lo.z - tol && p.z < box_b.hi.z + tol)
      near_b.push_back(p);
    else if (!inside)
      return true;
  }
  // Samples, spread over the mesh, keep the search within about a fixed
  // time however large the meshes (each point costs a pass over the
  // triangles); what a sample misses is only a sign not found.
  const std::size_t samples = std::clamp<std::size_t>(2'000'000 / (ta.size() + tb.size()), 8, 200);
  const std::size_t step = near_b.size() / samples + 1;
  for (std::size_t i = 0; i < near_b.size(); i += step)
    if (where_is(near_b[i], tb) == (inside ? Where::inside : Where::outside)) return true;
  // Points a little within a's faces, found inside a: where the two solids
  // overlap only between faces lying in each other's planes (boxes moved
  // along one axis), no corner or edge shows it, but such a point does.
  // Only faces near b can give a point inside it. The winding says which
  // side is a's inside (clockwise seen from outside: the normal of the
  // corners' order points in); the point is still checked.
  const double inward = solid_volume(a.vertices, a.face_sizes, a.indices) > 0 ? 1 : -1;
  const std::vector<Triangle> faces = inside ? within(ta, box_b, tol, ta.size()) : ta;
  const std::size_t face_step = faces.size() / (samples / 2) + 1;
  for (std::size_t i = 0; i < faces.size(); i += face_step) {
    const Triangle& t = faces[i];
    const Point3 n = vec3_cross(vec3_sub(t[1], t[0]), vec3_sub(t[2], t[0]));
    const double len = vec3_length(n.x, n.y, n.z);
    if (!(len > 0)) continue;
    const Point3 c{(t[0].x + t[1].x + t[2].x) / 3, (t[0].y + t[1].y + t[2].y) / 3,
                   (t[0].z + t[1].z + t[2].z) / 3, 0};
    for (double depth : {0.2, 0.02}) {
      const double f = inward * depth * std::sqrt(len) / len;
      const Point3 p{c.x + f * n.x, c.y + f * n.y, c.z + f * n.z, 0};
      if (where_is(p, ta) == Where::inside && where_is(p, tb) == (inside ? Where::inside : Where::outside))
        return true;
    }
  }
  // Only triangles within both boxes can cross.
  Bounds common;
  common.add(Point3{std::max(box_a.lo.x, box_b.lo.x), std::max(box_a.lo.y, box_b.lo.y),
                    std::max(box_a.lo.z, box_b.lo.z), 0});
  common.add(Point3{std::min(box_a.hi.x, box_b.hi.x), std::min(box_a.hi.y, box_b.hi.y),
                    std::min(box_a.hi.z, box_b.hi.z), 0});
  const auto sa = within(ta, common, tol, 1000), sb = within(tb, common, tol, 1000);
  return edge_passes_through(sa, sb, tol) || edge_passes_through(sb, sa, tol);
}

// Whether "The result is empty" is true of the mode for these operands: an
// intersection is empty only where neither solid has anything inside the
// other, a difference only where nothing of the first lies outside the
// second. What the tool gave is not trusted for this: a part it took for
// outside when it is not would say nothing is shared where something is.
bool truly_empty(int mode, const MeshElem& first, const MeshElem& second) {
  if (mode == MESH_BOOLEAN_UNION) return false;
  if (mode == MESH_BOOLEAN_DIFFERENCE) return !part_lies(first, second, false);
  return !part_lies(first, second, true) && !part_lies(second, first, true);
}

void remove_marked_with_undo(std::initializer_list<ElemHeader*> elems) {
  for (ElemHeader* e : elems) e->mark = 1;
  undo_record(UNDO_DELETE, 0);
  elem_purge_marked();
}

int ask_yes_no(const char* question) {
  const char* labels[] = {nls_translate(nls_mark("Yes")), nls_translate(nls_mark("No"))};
  return ui().msgbox_ask(nls_translate(question), 2, labels);
}

// The walls that became meshes for a pass: where the pass gives no
// result, they come back as they were and the two undo steps of their
// conversion are forgotten.
class WallOperands {
 public:
  // Turns the wall operands into meshes on cur_layer.
  explicit WallOperands(ElemHeader* operand[2]) {
    for (int k = 0; k < 2; ++k)
      if (const auto* w = elem_as<WallElem>(operand[k])) {
        wall_to_mesh(*w, cur_layer);
        operand[k]->mark = 1;
        operand[k] = elem_list_tail;
        ++converted_;
      }
    if (converted_) {
      undo_record(UNDO_DELETE, 0);
      elem_purge_marked();
      undo_record(UNDO_CREATED, converted_);
    }
  }
  void give_back() {
    if (!converted_) return;
    // A mode above the recording ones only drops the steps taken back.
    undo_step_back();
    undo_step_back();
    undo_record(UNDO_CHANGE_POINTS + 1, 0);
    converted_ = 0;
  }

 private:
  int converted_ = 0;
};

}  // namespace

bool mesh_boolean_result_sound(const MeshElem& m) { return closed_and_consistent(m); }

int mesh_boolean(int mode, ElemHeader* first, ElemHeader* second, const std::string& folder) {
  if (mode < 0 || mode > 2 || !first || !second || first == second) return 0;
  select_clear_flags();
  const int pen = first->pen, line_type = first->line_type;

  ElemHeader* operand[2] = {first, second};
  WallOperands walls(operand);
  ElemHeader* const last_operand = elem_list_tail;
  // Whatever goes wrong, the operands stay as they were: nothing this pass
  // appended is kept, and the walls come back.
  auto drop_marked_and = [&](auto say) {
    for (ElemHeader* e = last_operand ? last_operand->next : elem_list_head; e; e = e->next) e->mark = 1;
    elem_purge_marked();
    walls.give_back();
    say();
    return 0;
  };
  std::string reason;
  auto fail = [&] {
    return drop_marked_and([&reason] {
      // The tool's reason, when it gave one, on a line of its own.
      const std::string text = reason.empty() ? kFailed : kFailed + reason + "\n";
      ui().msgbox_error(text.c_str());
    });
  };
  auto empty = [&] {
    return drop_marked_and([] {
      ui().msgbox_message(nls_translate("Message"), nls_translate(nls_mark("The result is empty")));
    });
  };
  auto broken = [&] {
    return drop_marked_and([] {
      ui().msgbox_error(nls_translate(
          nls_mark("The boolean operation gave no closed solid; the elements are left as they were.")));
    });
  };

  auto* m1 = elem_as<MeshElem>(operand[0]);
  auto* m2 = elem_as<MeshElem>(operand[1]);
  if (!m1 || !m2) return fail();
  const FixedText<MATERIAL_NAME_LEN> material = m1->material;

  if (folder.empty()) return fail();
  // Nothing of an earlier pass may stand in for this one's files.
  const std::string kav1 = path_in(folder, "kav1.gts"), kav2 = path_in(folder, "kav2.gts");
  for (const std::string& p : {kav1, kav2}) ::unlink(p.c_str());
  for (const char* name : kResults) ::unlink(path_in(folder, name).c_str());
  if (!write_operand(m1, kav1) || !write_operand(m2, kav2)) return fail();

  ProcessRequest run;
  run.argv = {mesh_boolean_tool, "inter", kav1, kav2, folder + "/"};
  run.stderr_path = path_in(folder, kToolSays);
  ::unlink(run.stderr_path.c_str());
  const ProcessResult ran = process_start(run);
  if (!ran.started || ran.exit_status != 0) {
    reason = tool_reason(run.stderr_path);
    return fail();
  }
  for (const char* name : kResults)
    if (::access(path_in(folder, name).c_str(), R_OK) != 0) return fail();

  // What the result can hold: no solid made of two holds more than both,
  // a union no less than the larger, a difference no more than the first
  // and no less than what the second cannot take away, an intersection no
  // more than the smaller. A result beyond these bounds, or nothing where
  // something must be left, took some part for inside that is not.
  const double v1 = solid_volume(m1->vertices, m1->face_sizes, m1->indices);
  const double v2 = solid_volume(m2->vertices, m2->face_sizes, m2->indices);
  const double least = mode == MESH_BOOLEAN_UNION        ? std::max(v1, v2)
                       : mode == MESH_BOOLEAN_DIFFERENCE ? std::max(0.0, v1 - v2)
                                                         : 0.0;
  const double most = mode == MESH_BOOLEAN_UNION        ? v1 + v2
                      : mode == MESH_BOOLEAN_DIFFERENCE ? v1
                                                        : std::min(v1, v2);
  // A millionth of the operands' volumes, far above the rounding of
  // volumes taken about a corner: a share, not a fixed amount, which would
  // be as large as a millimetre's solid itself.
  const double slack = 1e-6 * (std::fabs(v1) + std::fabs(v2));
  auto nothing = [&] { return least > slack || !truly_empty(mode, *m1, *m2) ? broken() : empty(); };

  // One part may be without area where one solid lies wholly inside the
  // other, apart from it, or touches it only in a face or an edge: the
  // result is then the other part alone.
  MeshElem* part[2] = {nullptr, nullptr};
  bool read = true;
  for (int k = 0; k < 2; ++k)
    read = read_part(path_in(folder, kParts[mode][k].name), kParts[mode][k].flip, part[k]) && read;
  if (!read) return fail();
  if (!part[0] && !part[1]) return nothing();

  // The joined result, cleaned; the parts go.
  if (part[0] && part[1]) {
    merge3d(*part[0], *part[1]);
    part[0]->mark = part[1]->mark = 1;
    elem_purge_marked();
  }
  if (!drop_double_faces_of_last()) return nothing();
  // Only flat polygons: joining the nearly coplanar neighbours of a fine
  // curved part would give faces that split into other triangles than the
  // tool's, no longer closed against the faces beside them. Flat for the
  // operands' size, not to a fixed distance: where two fine curved
  // surfaces cut each other at a shallow angle, the points of the seam
  // stand off one of the faces by a fraction of a micrometre, and a
  // polygon joined across them splits along another diagonal into a
  // sliver folded over the other solid's face, a skin of no thickness.
  Bounds operands;
  for (const MeshElem* m : {m1, m2})
    for (const Point3& p : m->vertices) operands.add(p);
  const Point3 span = vec3_sub(operands.hi, operands.lo);
  const auto* joined = elem_as<MeshElem>(elem_list_tail);
  if (!joined) return nothing();
  std::vector<Point3> tool_vertices = joined->vertices;
  std::vector<int32_t> tool_sizes = joined->face_sizes, tool_indices = joined->indices;
  mesh_clean_up_last({}, std::min(GTS_DUPLICATE_DISTANCE, 1e-9 * vec3_length(span.x, span.y, span.z)));
  auto* result = elem_as<MeshElem>(elem_list_tail);
  if (!result || result == last_operand || result->face_sizes.empty()) return nothing();
  // Where the seam of two curved surfaces runs along a face's corner, a
  // polygon joined there can split into a triangle the other solid has
  // too, turned over. The tool's own triangles then make the result,
  // through the same clean-up but for the joining, and the same check.
  if (!closed_and_consistent(*result)) {
    result->mark = 1;
    elem_purge_marked();
    elem_new_mesh(cur_layer, cur_pen, cur_line_type, static_cast<int>(tool_vertices.size()),
                  static_cast<int>(tool_sizes.size()), tool_sizes.data(), tool_vertices.data(),
                  tool_indices.data(), "Default", 0);
    for (bool (*step)(const MeshElem&, const TriProgress&) : {clean3d, repair3d}) {
      auto* before = elem_as<MeshElem>(elem_list_tail);
      step(*before, {});
      before->mark = 1;
      elem_purge_marked();
    }
    result = elem_as<MeshElem>(elem_list_tail);
  }
  if (!result || result == last_operand || !closed_and_consistent(*result)) return broken();
  // Judged on the joined surface, about one origin: a closed surface
  // thinner than the distance at which read vertices become one encloses
  // nothing (solids that share only a face meet in such a sheet).
  const double volume = solid_volume(result->vertices, result->face_sizes, result->indices);
  if (std::fabs(volume) <= GTS_DUPLICATE_DISTANCE * surface_area(*result)) return nothing();
  if (volume < least - slack || volume > most + slack) return broken();
  // A result as large as both solids together, or as the first untouched,
  // is right only where they share nothing, which its volume cannot tell:
  // a millimetre's overlap hardly changes it. What the result holds is
  // checked against the operands then: nothing inside an operand may lie
  // outside a union, nothing of a difference inside the second.
  if (mode == MESH_BOOLEAN_UNION && volume > (v1 + v2) * (1 - 1e-6) && boxes_share_volume(*m1, *m2) &&
      (part_lies(*m1, *result, false) || part_lies(*m2, *result, false)))
    return broken();
  if (mode == MESH_BOOLEAN_DIFFERENCE && volume > v1 * (1 - 1e-6) && part_lies(*result, *m2, true))
    return broken();
  if (!result_where_it_belongs(mode, *result, *m1, *m2)) return broken();

  if (mode == MESH_BOOLEAN_UNION) {
    remove_marked_with_undo({m1, m2});
  } else if (mode == MESH_BOOLEAN_DIFFERENCE) {
    if (ask_yes_no(nls_mark("Keep intersection element?")) == 2)
      remove_marked_with_undo({m1, m2});
    else
      remove_marked_with_undo({m1});
  } else if (ask_yes_no(nls_mark("Keep original elements?")) == 2) {
    remove_marked_with_undo({m1, m2});
  }

  result->pen = static_cast<uint8_t>(pen);
  result->line_type = static_cast<uint8_t>(line_type);
  result->material = material.view();
  undo_record(UNDO_CREATED, 1);
  return 1;
}
