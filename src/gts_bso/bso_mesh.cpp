#include "gts_bso/bso_mesh.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <unordered_map>
#include <unordered_set>

namespace {

using Vec = std::array<double, 3>;

constexpr double kMergeDistance = BSO_MERGE_DISTANCE;
// A triangle is degenerate when twice its area is below this share of the
// square of the mesh's size (at least 1 m): no more than the rounding of
// its coordinates, whatever the fineness of the mesh. A triangle of sides
// at the merge distance is still a triangle.
constexpr double kDegenerateShare = 1e-14;

Vec sub(const Vec& a, const Vec& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
Vec cross(const Vec& a, const Vec& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double dot(const Vec& a, const Vec& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

double length(const Vec& a) { return std::sqrt(dot(a, a)); }

// The diagonal of the box around the points.
double span_of(const std::vector<Vec>& p) {
  if (p.empty()) return 0;
  Vec lo = p[0], hi = p[0];
  for (const Vec& q : p)
    for (int k = 0; k < 3; ++k) lo[k] = std::min(lo[k], q[k]), hi[k] = std::max(hi[k], q[k]);
  return length(sub(hi, lo));
}

// Words separated by white space, numbers read locale-free.
class Words {
 public:
  explicit Words(std::string_view text) : text_(text) {}

  bool word(std::string_view& out) {
    skip();
    const size_t start = pos_;
    while (pos_ < text_.size() && !space(text_[pos_])) ++pos_;
    out = text_.substr(start, pos_ - start);
    return !out.empty();
  }
  template <class T>
  bool number(T& out) {
    std::string_view w;
    if (!word(w)) return false;
    const char* first = w.data();
    if (*first == '+') ++first;
    const auto [end, ec] = std::from_chars(first, w.data() + w.size(), out);
    return ec == std::errc() && end == w.data() + w.size();
  }
  size_t left() const { return text_.size() - pos_; }

 private:
  static bool space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
  }
  void skip() {
    while (pos_ < text_.size() && space(text_[pos_])) ++pos_;
  }
  std::string_view text_;
  size_t pos_ = 0;
};

uint64_t pair_key(int a, int b) {
  return (static_cast<uint64_t>(static_cast<uint32_t>(std::max(a, b))) << 32) |
         static_cast<uint32_t>(std::min(a, b));
}

// Points kept by number in cubic cells of one size: every kept point closer
// to p than that size lies in the 27 cells around p's own.
class PointGrid {
 public:
  explicit PointGrid(double size) : size_(size) {}
  // Calls f(number) for every point kept in the cells around p.
  template <class F>
  void near(const Vec& p, F&& f) const {
    const int64_t cx = cell(p[0]), cy = cell(p[1]), cz = cell(p[2]);
    for (int64_t dx = -1; dx <= 1; ++dx)
      for (int64_t dy = -1; dy <= 1; ++dy)
        for (int64_t dz = -1; dz <= 1; ++dz) {
          auto it = cells_.find(key(cx + dx, cy + dy, cz + dz));
          if (it == cells_.end()) continue;
          for (int r : it->second) f(r);
        }
  }
  void add(const Vec& p, int number) { cells_[key(cell(p[0]), cell(p[1]), cell(p[2]))].push_back(number); }

 private:
  int64_t cell(double x) const { return static_cast<int64_t>(std::floor(x / size_)); }
  static uint64_t key(int64_t x, int64_t y, int64_t z) {
    return static_cast<uint64_t>(x) * 73856093u ^ static_cast<uint64_t>(y) * 19349663u ^
           static_cast<uint64_t>(z) * 83492791u;
  }
  double size_;
  std::unordered_map<uint64_t, std::vector<int>> cells_;
};

}  // namespace

double bso_degenerate_limit(const std::vector<Vec>& points) {
  const double size = std::max(1.0, span_of(points));
  return kDegenerateShare * size * size;
}

int bso_drop_degenerate(BsoMesh& mesh, double limit) {
  const auto& p = mesh.vertices;
  const size_t before = mesh.triangles.size();
  std::erase_if(mesh.triangles, [&](const std::array<int, 3>& t) {
    const Vec& a = p[static_cast<size_t>(t[0])];
    return length(cross(sub(p[static_cast<size_t>(t[1])], a), sub(p[static_cast<size_t>(t[2])], a))) < limit;
  });
  return static_cast<int>(before - mesh.triangles.size());
}

int bso_drop_degenerate_closed(const std::vector<BsoMesh*>& parts, double limit) {
  if (parts.empty()) return 0;
  const auto& p = parts.front()->vertices;
  auto point = [&](int v) -> const Vec& { return p[static_cast<size_t>(v)]; };
  auto directed = [](int a, int b) {
    return (static_cast<uint64_t>(static_cast<uint32_t>(a)) << 32) | static_cast<uint32_t>(b);
  };
  // A split can leave a piece of no area along the edge it makes (a
  // corner of the mesh on that edge, as where nearly parallel faces were
  // cut), which the next round takes away.
  constexpr int kRounds = 4;
  int total = 0;
  for (int round = 0;; ++round) {
    // Per part, for each triangle that goes: the corner that lies on its
    // longest edge, for that edge of the triangle across it.
    std::vector<std::unordered_map<uint64_t, std::vector<int>>> into(parts.size());
    int dropped = 0;
    for (size_t m = 0; m < parts.size(); ++m) {
      auto& triangles = parts[m]->triangles;
      const size_t before = triangles.size();
      std::erase_if(triangles, [&](const std::array<int, 3>& t) {
        const Vec& a = point(t[0]);
        if (length(cross(sub(point(t[1]), a), sub(point(t[2]), a))) >= limit) return false;
        int k = 0;
        double longest = -1;
        for (int e = 0; e < 3; ++e) {
          const double len =
              length(sub(point(t[static_cast<size_t>((e + 1) % 3)]), point(t[static_cast<size_t>(e)])));
          if (len > longest) longest = len, k = e;
        }
        into[m][directed(t[static_cast<size_t>((k + 1) % 3)], t[static_cast<size_t>(k)])].push_back(
            t[static_cast<size_t>((k + 2) % 3)]);
        return true;
      });
      dropped += static_cast<int>(before - triangles.size());
    }
    total += dropped;
    if (!dropped || round == kRounds) break;
    // A corner that no triangle left uses anywhere went with all its
    // triangles (caps of no area on each side of a seam): the seam runs
    // along the long edge now, and nothing is split.
    std::vector<char> used(p.size(), 0);
    for (const BsoMesh* part : parts)
      for (const auto& t : part->triangles)
        for (int v : t) used[static_cast<size_t>(v)] = 1;
    for (size_t m = 0; m < parts.size(); ++m) {
      // The triangles across: their edge runs to -> from, and takes the
      // corners in order along it.
      std::vector<std::array<int, 3>> split;
      std::erase_if(parts[m]->triangles, [&](const std::array<int, 3>& t) {
        for (int e = 0; e < 3; ++e) {
          const int a = t[static_cast<size_t>(e)], b = t[static_cast<size_t>((e + 1) % 3)],
                    c = t[static_cast<size_t>((e + 2) % 3)];
          auto it = into[m].find(directed(a, b));
          if (it == into[m].end()) continue;
          std::vector<int> along;
          for (int q : it->second)
            if (used[static_cast<size_t>(q)]) along.push_back(q);
          into[m].erase(it);
          if (along.empty()) return false;
          const Vec ab = sub(point(b), point(a));
          std::sort(along.begin(), along.end(), [&](int l, int r) {
            return dot(sub(point(l), point(a)), ab) < dot(sub(point(r), point(a)), ab);
          });
          along.erase(std::unique(along.begin(), along.end()), along.end());
          int last = a;
          for (int q : along) {
            split.push_back({last, q, c});
            last = q;
          }
          split.push_back({last, b, c});
          return true;
        }
        return false;
      });
      parts[m]->triangles.insert(parts[m]->triangles.end(), split.begin(), split.end());
    }
  }
  return total;
}

bool bso_parse(std::string_view text, BsoMesh& out, std::string& why) {
  out = {};
  Words in(text);
  long long v = 0, e = 0, t = 0;
  std::string_view w;
  if (!in.number(v) || !in.number(e) || !in.number(t)) return why = "bad header", false;
  for (int k = 0; k < 4; ++k)
    if (!in.word(w)) return why = "bad header", false;
  if (v <= 0 || e <= 0 || t <= 0) return true;
  // Each number takes at least two characters with its separator.
  if (v > static_cast<long long>(in.left() / 6) || e > static_cast<long long>(in.left() / 4) ||
      t > static_cast<long long>(in.left() / 6))
    return why = "counts beyond the file", false;

  // Vertices: those closer than kMergeDistance are one, found through a
  // grid of that cell size.
  std::vector<int> map(static_cast<size_t>(v));
  PointGrid grid(kMergeDistance);
  for (long long i = 0; i < v; ++i) {
    Vec p{};
    for (double& c : p)
      if (!in.number(c) || !std::isfinite(c) || std::fabs(c) > 1e12) return why = "bad vertex", false;
    int hit = -1;
    grid.near(p, [&](int r) {
      const Vec d = sub(p, out.vertices[static_cast<size_t>(r)]);
      if (r > hit && std::sqrt(dot(d, d)) < kMergeDistance) hit = r;
    });
    if (hit < 0) {
      hit = static_cast<int>(out.vertices.size());
      grid.add(p, hit);
      out.vertices.push_back(p);
    }
    map[static_cast<size_t>(i)] = hit;
  }
  std::vector<std::array<int, 2>> edges(static_cast<size_t>(e));
  for (auto& edge : edges)
    for (int& x : edge) {
      if (!in.number(x) || x < 1 || x > v) return why = "bad edge", false;
      x = map[static_cast<size_t>(x - 1)];
    }
  const double degenerate = bso_degenerate_limit(out.vertices);
  for (long long k = 0; k < t; ++k) {
    int n[3];
    for (int& x : n)
      if (!in.number(x) || x < 1 || x > e) return why = "bad triangle", false;
    const auto [a1, a2] = edges[static_cast<size_t>(n[0] - 1)];
    const auto [b1, b2] = edges[static_cast<size_t>(n[1] - 1)];
    std::array<int, 3> c{-1, -1, -1};
    if (a1 == b1) c = {a2, a1, b2};
    if (a1 == b2) c = {a2, a1, b1};
    if (a2 == b1) c = {a1, a2, b2};
    if (a2 == b2) c = {a1, a2, b1};
    if (c[0] < 0 || c[0] == c[1] || c[1] == c[2] || c[0] == c[2]) continue;
    const auto& p = out.vertices;
    const Vec& a = p[static_cast<size_t>(c[0])];
    if (length(cross(sub(p[static_cast<size_t>(c[1])], a), sub(p[static_cast<size_t>(c[2])], a))) <
        degenerate)
      continue;
    out.triangles.push_back(c);
  }
  return true;
}

int bso_repair_t_junctions(BsoMesh& mesh, double tol) {
  const auto& p = mesh.vertices;
  if (p.empty()) return 0;
  Vec lo = p[0], hi = p[0];
  for (const Vec& q : p)
    for (int k = 0; k < 3; ++k) lo[k] = std::min(lo[k], q[k]), hi[k] = std::max(hi[k], q[k]);
  const Vec span = sub(hi, lo);
  if (tol <= 0) tol = 1e-6 * std::max(1.0, std::sqrt(dot(span, span)));

  // Vertices by x, so an edge looks only at those within its x range.
  std::vector<int> by_x(p.size());
  for (size_t i = 0; i < by_x.size(); ++i) by_x[i] = static_cast<int>(i);
  std::sort(by_x.begin(), by_x.end(),
            [&](int l, int r) { return p[static_cast<size_t>(l)][0] < p[static_cast<size_t>(r)][0]; });
  std::vector<double> xs(by_x.size());
  for (size_t i = 0; i < xs.size(); ++i) xs[i] = p[static_cast<size_t>(by_x[i])][0];

  // True when q lies strictly inside the edge a-b (t its place along it).
  auto on_edge = [&](int q, int a, int b, double& t) {
    const Vec& pa = p[static_cast<size_t>(a)];
    const Vec ab = sub(p[static_cast<size_t>(b)], pa);
    const double len2 = dot(ab, ab);
    if (len2 <= 4 * tol * tol) return false;
    const double len = std::sqrt(len2);
    const Vec aq = sub(p[static_cast<size_t>(q)], pa);
    t = dot(aq, ab) / len2;
    if (t * len <= tol || (1 - t) * len <= tol) return false;
    const Vec off = cross(aq, ab);
    return std::sqrt(dot(off, off)) / len < tol;
  };
  // The vertex strictly inside the edge a-b nearest to a, or -1.
  auto inside = [&](int a, int b) {
    const Vec& pa = p[static_cast<size_t>(a)];
    const Vec& pb = p[static_cast<size_t>(b)];
    int best = -1;
    double best_t = 2.0, t = 0;
    const double x0 = std::min(pa[0], pb[0]) - tol, x1 = std::max(pa[0], pb[0]) + tol;
    for (auto it = std::lower_bound(xs.begin(), xs.end(), x0); it != xs.end() && *it <= x1; ++it) {
      const int q = by_x[static_cast<size_t>(it - xs.begin())];
      if (q == a || q == b || !on_edge(q, a, b, t)) continue;
      if (t < best_t) best_t = t, best = q;
    }
    return best;
  };

  // A corner on its opposite edge: a sliver of no area, whose place the
  // neighbour across that edge takes once split there.
  // Along any edge at first; later only along edges not in paired.
  std::unordered_set<uint64_t> paired;
  auto sliver = [&](const std::array<int, 3>& t) {
    double along = 0;
    for (int k = 0; k < 3; ++k) {
      const int a = t[static_cast<size_t>(k)], b = t[static_cast<size_t>((k + 1) % 3)],
                c = t[static_cast<size_t>((k + 2) % 3)];
      if (!paired.count(pair_key(a, b)) && on_edge(c, a, b, along)) return true;
    }
    return false;
  };
  std::erase_if(mesh.triangles, sliver);

  // Only edges the triangles do not pair up (one way as often as the
  // other) need a split; the edges a split makes inside a triangle pair up
  // between its two pieces. Edges that already pair up are left alone, so
  // that near-collinear points elsewhere cannot set off splits of sound
  // faces.
  std::unordered_map<uint64_t, int> balance;
  for (const auto& t : mesh.triangles)
    for (int k = 0; k < 3; ++k) {
      const int a = t[static_cast<size_t>(k)], b = t[static_cast<size_t>((k + 1) % 3)];
      balance[pair_key(a, b)] += a < b ? 1 : -1;
    }
  for (const auto& [edge, n] : balance)
    if (n == 0) paired.insert(edge);
  auto open = [&](int a, int b) { return !paired.count(pair_key(a, b)); };

  int splits = 0;
  std::vector<std::array<int, 3>> done;
  std::vector<std::array<int, 3>> work(mesh.triangles.rbegin(), mesh.triangles.rend());
  // Every split uses up one vertex inside an edge, so this ends; the cap
  // only guards against near-collinear points that the tolerance judges
  // differently from each edge.
  const int cap = static_cast<int>(std::min<size_t>(4 * (mesh.triangles.size() + p.size()) + 1024, 1u << 30));
  while (!work.empty()) {
    const auto t = work.back();
    work.pop_back();
    // A piece can be a sliver along an open edge.
    if (sliver(t)) continue;
    bool split = false;
    for (int k = 0; k < 3 && splits < cap; ++k) {
      const int a = t[static_cast<size_t>(k)], b = t[static_cast<size_t>((k + 1) % 3)],
                c = t[static_cast<size_t>((k + 2) % 3)];
      if (!open(a, b)) continue;
      const int q = inside(a, b);
      if (q < 0) continue;
      paired.insert(pair_key(q, c));
      work.push_back({q, b, c});
      work.push_back({a, q, c});
      ++splits;
      split = true;
      break;
    }
    if (!split) done.push_back(t);
  }
  mesh.triangles = std::move(done);
  return splits;
}

int bso_drop_duplicate_triangles(BsoMesh& mesh) {
  // Keyed by the sorted vertices; the value lists the triangles with their
  // orientation (the parity of the sorting).
  std::map<std::array<int, 3>, std::vector<size_t>> by_set;
  for (size_t i = 0; i < mesh.triangles.size(); ++i) {
    auto s = mesh.triangles[i];
    std::sort(s.begin(), s.end());
    by_set[s].push_back(i);
  }
  auto parity = [](std::array<int, 3> t) {
    // Rotate the smallest to the front: then (s, m, l) is even.
    while (t[0] > t[1] || t[0] > t[2]) t = {t[1], t[2], t[0]};
    return t[1] < t[2] ? 1 : -1;
  };
  std::vector<bool> keep(mesh.triangles.size(), false);
  for (const auto& [set, list] : by_set) {
    int sum = 0;
    for (size_t i : list) sum += parity(mesh.triangles[i]);
    // What remains after opposite pairs cancel: one triangle of the
    // majority's orientation, or none.
    if (sum == 0) continue;
    for (size_t i : list)
      if (parity(mesh.triangles[i]) == (sum > 0 ? 1 : -1)) {
        keep[i] = true;
        break;
      }
  }
  std::vector<std::array<int, 3>> kept;
  for (size_t i = 0; i < keep.size(); ++i)
    if (keep[i]) kept.push_back(mesh.triangles[i]);
  const int dropped = static_cast<int>(mesh.triangles.size() - kept.size());
  mesh.triangles = std::move(kept);
  return dropped;
}

void bso_compact(BsoMesh& mesh) {
  std::vector<int> renumber(mesh.vertices.size(), -1);
  for (const auto& t : mesh.triangles)
    for (int x : t) renumber[static_cast<size_t>(x)] = 0;
  int n = 0;
  for (size_t i = 0; i < renumber.size(); ++i)
    if (renumber[i] == 0) {
      renumber[i] = n;
      mesh.vertices[static_cast<size_t>(n++)] = mesh.vertices[i];
    }
  mesh.vertices.resize(static_cast<size_t>(n));
  for (auto& t : mesh.triangles)
    for (int& x : t) x = renumber[static_cast<size_t>(x)];
}

double bso_volume(const BsoMesh& mesh) {
  if (mesh.triangles.empty()) return 0;
  // About a corner of the surface, not the origin: far from the origin the
  // products of whole coordinates would drown a small solid's volume in
  // their rounding.
  const Vec o = mesh.vertices[static_cast<size_t>(mesh.triangles.front()[0])];
  double v = 0;
  for (const auto& t : mesh.triangles) {
    const Vec a = sub(mesh.vertices[static_cast<size_t>(t[0])], o);
    v += dot(a, cross(sub(mesh.vertices[static_cast<size_t>(t[1])], o),
                      sub(mesh.vertices[static_cast<size_t>(t[2])], o)));
  }
  return v / 6.0;
}

std::string bso_format(const BsoMesh& mesh) {
  std::vector<std::array<int, 2>> edges;
  std::unordered_map<uint64_t, int> edge_of;
  auto edge = [&](int a, int b) {
    auto [it, added] = edge_of.emplace(pair_key(a, b), static_cast<int>(edges.size()) + 1);
    if (added) edges.push_back({a, b});
    return it->second;
  };
  std::vector<std::array<int, 3>> tri_edges;
  for (const auto& t : mesh.triangles)
    tri_edges.push_back({edge(t[0], t[1]), edge(t[1], t[2]), edge(t[2], t[0])});
  std::string out;
  char line[128];
  std::snprintf(line, sizeof line, "%zu %zu %zu GtsSurface GtsFace GtsEdge GtsVertex\n", mesh.vertices.size(),
                edges.size(), mesh.triangles.size());
  out += line;
  // Fifteen decimals where they give the coordinate back exactly, and
  // otherwise the digits that do: an operand's point must read back as the
  // very point the main program wrote, not one rounded beside it.
  for (const Vec& q : mesh.vertices) {
    for (int k = 0; k < 3; ++k) {
      int n = std::snprintf(line, sizeof line, "%.15f", q[static_cast<size_t>(k)]);
      if (n <= 0 || n >= static_cast<int>(sizeof line) - 1 ||
          std::strtod(line, nullptr) != q[static_cast<size_t>(k)])
        std::snprintf(line, sizeof line, "%.17g", q[static_cast<size_t>(k)]);
      out += line;
      out += k < 2 ? ' ' : '\n';
    }
  }
  for (const auto& ed : edges) {
    std::snprintf(line, sizeof line, "%d %d\n", ed[0] + 1, ed[1] + 1);
    out += line;
  }
  for (const auto& te : tri_edges) {
    std::snprintf(line, sizeof line, "%d %d %d\n", te[0], te[1], te[2]);
    out += line;
  }
  return out;
}

void bso_reverse(BsoMesh& mesh) {
  for (auto& t : mesh.triangles) std::swap(t[1], t[2]);
}

BsoEdgeReport bso_edge_report(const BsoMesh& mesh) {
  // Per edge (smaller vertex first): uses from the smaller to the larger
  // vertex and back.
  std::unordered_map<uint64_t, std::array<int, 2>> uses;
  uses.reserve(mesh.triangles.size() * 2);
  for (const auto& t : mesh.triangles)
    for (int k = 0; k < 3; ++k) {
      const int a = t[static_cast<size_t>(k)], b = t[static_cast<size_t>((k + 1) % 3)];
      ++uses[pair_key(a, b)][a < b ? 0 : 1];
    }
  BsoEdgeReport report;
  for (const auto& [edge, n] : uses) {
    if (n[0] != n[1]) ++report.unmatched;
    if (n[0] + n[1] > 2) ++report.crowded;
  }
  return report;
}

std::string bso_surface_fault(const BsoMesh& mesh, const char* which) {
  char text[200];
  if (mesh.triangles.empty()) {
    std::snprintf(text, sizeof text, "The %s solid has no faces.", which);
    return text;
  }
  // An edge met twice the same way is two faces wound against each other;
  // an edge met once is a crack.
  std::unordered_map<uint64_t, std::array<int, 2>> uses;
  for (const auto& t : mesh.triangles)
    for (int k = 0; k < 3; ++k) {
      const int a = t[static_cast<size_t>(k)], b = t[static_cast<size_t>((k + 1) % 3)];
      ++uses[pair_key(a, b)][a < b ? 0 : 1];
    }
  int open = 0, crowded = 0, against = 0;
  for (const auto& [edge, n] : uses) {
    if (n[0] + n[1] == 1)
      ++open;
    else if (n[0] + n[1] > 2)
      ++crowded;
    else if (n[0] != n[1])
      ++against;
  }
  if (open)
    std::snprintf(text, sizeof text, "The %s solid is not closed. (%d open edges)", which, open);
  else if (crowded)
    std::snprintf(text, sizeof text, "The %s solid has edges in more than two faces. (%d edges)", which,
                  crowded);
  else if (against)
    std::snprintf(text, sizeof text, "The faces of the %s solid are not wound alike. (%d edges)", which,
                  against);
  else
    return {};
  return text;
}

std::vector<int> bso_weld_map(const std::vector<Vec>& points, double tol, const std::vector<char>& fixed) {
  std::vector<int> map(points.size(), -1);
  PointGrid grid(tol);
  auto place = [&](size_t i) {
    const Vec& p = points[i];
    int hit = -1;
    double best = tol;
    grid.near(p, [&](int r) {
      const double d = length(sub(p, points[static_cast<size_t>(r)]));
      if (d < best) best = d, hit = r;
    });
    if (hit < 0) {
      hit = static_cast<int>(i);
      grid.add(p, hit);
    }
    map[i] = hit;
  };
  for (size_t i = 0; i < points.size(); ++i)
    if (i < fixed.size() && fixed[i]) place(i);
  for (size_t i = 0; i < points.size(); ++i)
    if (map[i] < 0) place(i);
  return map;
}

int bso_renumber(BsoMesh& mesh, const std::vector<int>& map) {
  std::vector<std::array<int, 3>> kept;
  kept.reserve(mesh.triangles.size());
  for (auto t : mesh.triangles) {
    for (int& x : t) x = map[static_cast<size_t>(x)];
    if (t[0] != t[1] && t[1] != t[2] && t[0] != t[2]) kept.push_back(t);
  }
  const int dropped = static_cast<int>(mesh.triangles.size() - kept.size());
  mesh.triangles = std::move(kept);
  return dropped;
}

namespace {

// Triangles by the plane they lie in, so that those in one plane are found
// without comparing every pair.
class PlaneIndex {
 public:
  struct Info {
    Vec n{};       // unit normal, its largest component made positive
    double d = 0;  // n . p on the plane
    int sign = 0;  // +1 when n is the triangle's own normal, -1 when flipped
    int axis = 0;  // the axis dropped when drawing the triangle flat
  };

  explicit PlaneIndex(const BsoMesh& mesh) : mesh_(mesh), info_(mesh.triangles.size()) {
    for (size_t i = 0; i < mesh.triangles.size(); ++i) {
      const auto& t = mesh.triangles[i];
      const Vec& a = point(t[0]);
      Vec n = cross(sub(point(t[1]), a), sub(point(t[2]), a));
      const double len = length(n);
      Info& f = info_[i];
      if (len == 0) continue;
      for (double& c : n) c /= len;
      f.axis = 0;
      for (int k = 1; k < 3; ++k)
        if (std::fabs(n[static_cast<size_t>(k)]) > std::fabs(n[static_cast<size_t>(f.axis)])) f.axis = k;
      f.sign = n[static_cast<size_t>(f.axis)] < 0 ? -1 : 1;
      for (double& c : n) c *= f.sign;
      f.n = n;
      f.d = dot(n, a);
    }
  }
  const Info& info(size_t i) const { return info_[i]; }
  const Vec& point(int v) const { return mesh_.vertices[static_cast<size_t>(v)]; }
  const BsoMesh& mesh() const { return mesh_; }

  // Files every triangle under the cell of its plane, with the normal both
  // ways: where two components are nearly equal the largest is a matter of
  // rounding.
  void fill() {
    for (size_t i = 0; i < info_.size(); ++i) {
      Info f = info_[i];
      if (!f.sign) continue;
      buckets_[keys(f, false).front()].push_back(static_cast<int>(i));
      for (double& c : f.n) c = -c;
      f.d = -f.d;
      buckets_[keys(f, false).front()].push_back(static_cast<int>(i));
    }
  }
  // Calls f(j) for every filed triangle j whose plane cell is near that of
  // the plane f_info (then compare the triangles exactly).
  template <class F>
  void near(const Info& of, F&& f) const {
    for (uint64_t k : keys(of, true)) {
      auto it = buckets_.find(k);
      if (it == buckets_.end()) continue;
      for (int j : it->second) f(j);
    }
  }

  // True when the triangles i (of this index) and j (of other) lie in one
  // plane within tol.
  bool coplanar(size_t i, const PlaneIndex& other, size_t j, double tol) const {
    const Info &f = info_[i], &g = other.info_[j];
    if (!f.sign || !g.sign || std::fabs(dot(f.n, g.n)) < 1 - 1e-6) return false;
    for (int v : other.mesh_.triangles[j])
      if (std::fabs(dot(f.n, other.point(v)) - f.d) > tol) return false;
    for (int v : mesh_.triangles[i])
      if (std::fabs(dot(g.n, point(v)) - g.d) > tol) return false;
    return true;
  }

  // The triangle i drawn flat on the plane its normal is nearest to.
  std::array<std::array<double, 2>, 3> flat(size_t i, int axis) const {
    std::array<std::array<double, 2>, 3> out{};
    const int u = (axis + 1) % 3, w = (axis + 2) % 3;
    for (size_t k = 0; k < 3; ++k) {
      const Vec& p = point(mesh_.triangles[i][k]);
      out[k] = {p[static_cast<size_t>(u)], p[static_cast<size_t>(w)]};
    }
    return out;
  }

 private:
  // The plane's cell, and with near also the cells beside it that a plane
  // within the tolerance may have fallen into.
  static std::vector<uint64_t> keys(const Info& f, bool near) {
    const double q[4] = {1e-2, 1e-2, 1e-2, 1e-4};
    const double x[4] = {f.n[0], f.n[1], f.n[2], f.d};
    std::vector<uint64_t> out{0};
    for (int k = 0; k < 4; ++k) {
      const double r = x[k] / q[k];
      const int64_t c = static_cast<int64_t>(std::llround(r));
      const double frac = r - static_cast<double>(c);
      std::vector<uint64_t> next;
      auto add = [&](int64_t cell) {
        for (uint64_t h : out)
          next.push_back((h ^ static_cast<uint64_t>(cell)) * 0x9E3779B97F4A7C15ull + 0x632BE5AB);
      };
      add(c);
      if (near && frac > 0.25) add(c + 1);
      if (near && frac < -0.25) add(c - 1);
      out = std::move(next);
    }
    return out;
  }

  const BsoMesh& mesh_;
  std::vector<Info> info_;
  std::unordered_map<uint64_t, std::vector<int>> buckets_;
};

using Flat = std::array<std::array<double, 2>, 3>;

// True when the flat triangles overlap by more than tol across every
// direction that could separate them: they share some area.
bool overlap_with_area(const Flat& p, const Flat& q, double tol) {
  for (const Flat* t : {&p, &q})
    for (size_t k = 0; k < 3; ++k) {
      const auto& a = (*t)[k];
      const auto& b = (*t)[(k + 1) % 3];
      double ax = a[1] - b[1], ay = b[0] - a[0];
      const double len = std::hypot(ax, ay);
      if (len == 0) return false;
      ax /= len, ay /= len;
      double lo[2] = {1e300, 1e300}, hi[2] = {-1e300, -1e300};
      for (int s = 0; s < 2; ++s)
        for (const auto& c : s ? q : p) {
          const double x = c[0] * ax + c[1] * ay;
          lo[s] = std::min(lo[s], x), hi[s] = std::max(hi[s], x);
        }
      if (std::min(hi[0], hi[1]) - std::max(lo[0], lo[1]) <= tol) return false;
    }
  return true;
}

// True when the flat boxes of the triangles meet, or come within tol.
bool boxes_meet(const Flat& p, const Flat& q, double tol) {
  for (size_t k = 0; k < 2; ++k) {
    double lo[2] = {1e300, 1e300}, hi[2] = {-1e300, -1e300};
    for (int s = 0; s < 2; ++s)
      for (const auto& c : s ? q : p) lo[s] = std::min(lo[s], c[k]), hi[s] = std::max(hi[s], c[k]);
    if (lo[0] > hi[1] + tol || lo[1] > hi[0] + tol) return false;
  }
  return true;
}

}  // namespace

BsoContacts bso_contacts(const BsoMesh& a, const BsoMesh& b, double tol) {
  PlaneIndex ia(a), ib(b);
  ia.fill();
  BsoContacts out{std::vector<char>(a.triangles.size(), 0), std::vector<char>(b.triangles.size(), 0)};
  for (size_t j = 0; j < b.triangles.size(); ++j) {
    const auto& g = ib.info(j);
    if (!g.sign) continue;
    const Flat q = ib.flat(j, g.axis);
    ia.near(g, [&](int i) {
      if (!ib.coplanar(j, ia, static_cast<size_t>(i), tol)) return;
      if (!boxes_meet(q, ia.flat(static_cast<size_t>(i), g.axis), tol)) return;
      out.a[static_cast<size_t>(i)] = out.b[j] = 1;
    });
  }
  return out;
}

std::vector<Vec> bso_push_along(const BsoMesh& mesh, const std::vector<char>& flagged) {
  std::vector<std::vector<Vec>> normals(mesh.vertices.size());
  for (size_t j = 0; j < mesh.triangles.size(); ++j) {
    if (!flagged[j]) continue;
    const auto& t = mesh.triangles[j];
    const Vec& a = mesh.vertices[static_cast<size_t>(t[0])];
    Vec n = cross(sub(mesh.vertices[static_cast<size_t>(t[1])], a),
                  sub(mesh.vertices[static_cast<size_t>(t[2])], a));
    const double len = length(n);
    if (len == 0) continue;
    for (double& c : n) c /= len;
    for (int v : t) {
      auto& list = normals[static_cast<size_t>(v)];
      if (std::none_of(list.begin(), list.end(), [&](const Vec& m) { return dot(m, n) > 1 - 1e-9; }))
        list.push_back(n);
    }
  }
  std::vector<Vec> push(mesh.vertices.size(), Vec{0, 0, 0});
  for (size_t v = 0; v < push.size(); ++v)
    for (const Vec& n : normals[v])
      for (int k = 0; k < 3; ++k) push[v][static_cast<size_t>(k)] += n[static_cast<size_t>(k)];
  return push;
}

int bso_double_skin(const BsoMesh& mesh, double tol) {
  PlaneIndex index(mesh);
  index.fill();
  std::vector<char> hit(mesh.triangles.size(), 0);
  for (size_t i = 0; i < mesh.triangles.size(); ++i) {
    const auto& f = index.info(i);
    if (!f.sign) continue;
    const Flat p = index.flat(i, f.axis);
    index.near(f, [&](int j) {
      const auto& g = index.info(static_cast<size_t>(j));
      // Only triangles facing the other way.
      if (f.sign * g.sign * dot(f.n, g.n) >= 0 || !index.coplanar(i, index, static_cast<size_t>(j), tol))
        return;
      if (overlap_with_area(p, index.flat(static_cast<size_t>(j), f.axis), tol))
        hit[i] = hit[static_cast<size_t>(j)] = 1;
    });
  }
  return static_cast<int>(std::count(hit.begin(), hit.end(), 1));
}

int bso_snap_to_planes(std::vector<Vec>& points, const std::vector<char>& fixed,
                       const std::vector<const BsoMesh*>& surfaces, double reach) {
  struct Plane {
    Vec n;
    double d;
    Vec a, b, c;
  };
  std::vector<Plane> planes;
  for (const BsoMesh* m : surfaces)
    for (const auto& t : m->triangles) {
      const Vec& a = m->vertices[static_cast<size_t>(t[0])];
      const Vec& b = m->vertices[static_cast<size_t>(t[1])];
      const Vec& c = m->vertices[static_cast<size_t>(t[2])];
      Vec n = cross(sub(b, a), sub(c, a));
      const double len = length(n);
      if (!(len > 0)) continue;
      for (double& x : n) x /= len;
      planes.push_back({n, dot(n, a), a, b, c});
    }
  if (planes.empty()) return 0;
  // Triangles by the cells their boxes, grown by reach, cover.
  double cell = 0;
  for (const Plane& p : planes)
    for (int k = 0; k < 3; ++k)
      cell = std::max(
          {cell, std::fabs(p.a[k] - p.b[k]), std::fabs(p.b[k] - p.c[k]), std::fabs(p.c[k] - p.a[k])});
  cell = std::max(cell / 4, 4 * reach);
  auto at = [&](double x) { return static_cast<int64_t>(std::floor(x / cell)); };
  auto key = [](int64_t x, int64_t y, int64_t z) {
    return static_cast<uint64_t>(x) * 73856093u ^ static_cast<uint64_t>(y) * 19349663u ^
           static_cast<uint64_t>(z) * 83492791u;
  };
  std::unordered_map<uint64_t, std::vector<int>> grid;
  for (size_t i = 0; i < planes.size(); ++i) {
    const Plane& p = planes[i];
    int64_t lo[3], hi[3];
    for (int k = 0; k < 3; ++k) {
      lo[k] = at(std::min({p.a[k], p.b[k], p.c[k]}) - reach);
      hi[k] = at(std::max({p.a[k], p.b[k], p.c[k]}) + reach);
    }
    for (int64_t x = lo[0]; x <= hi[0]; ++x)
      for (int64_t y = lo[1]; y <= hi[1]; ++y)
        for (int64_t z = lo[2]; z <= hi[2]; ++z) grid[key(x, y, z)].push_back(static_cast<int>(i));
  }
  // Within reach of the triangle itself, not only of its plane.
  auto near_triangle = [&](const Vec& q, const Plane& p) {
    const Vec e[3] = {sub(p.b, p.a), sub(p.c, p.b), sub(p.a, p.c)};
    const Vec* corner[3] = {&p.a, &p.b, &p.c};
    for (int k = 0; k < 3; ++k) {
      // Outside the edge's side by more than reach: too far.
      const Vec out = cross(e[k], p.n);
      const double len = length(out);
      if (len > 0 && dot(sub(q, *corner[k]), out) / len > reach) return false;
    }
    return true;
  };
  int moved = 0;
  for (size_t i = 0; i < points.size(); ++i) {
    if (i < fixed.size() && fixed[i]) continue;
    const Vec q = points[i];
    auto it = grid.find(key(at(q[0]), at(q[1]), at(q[2])));
    if (it == grid.end()) continue;
    std::vector<std::pair<double, int>> found;
    for (int j : it->second) {
      const Plane& p = planes[static_cast<size_t>(j)];
      const double off = std::fabs(dot(p.n, q) - p.d);
      if (off < reach && near_triangle(q, p)) found.emplace_back(off, j);
    }
    std::sort(found.begin(), found.end());
    // Up to three planes that cross each other: the point goes where they
    // meet, or onto the line or the plane of fewer.
    std::vector<const Plane*> use;
    for (const auto& [off, j] : found) {
      const Plane& p = planes[static_cast<size_t>(j)];
      if (use.size() == 1 && length(cross(use[0]->n, p.n)) < 1e-3) continue;
      if (use.size() == 2 && std::fabs(dot(cross(use[0]->n, use[1]->n), p.n)) < 1e-3) continue;
      use.push_back(&p);
      if (use.size() == 3) break;
    }
    if (use.empty()) continue;
    // The smallest move that puts q on every plane used: q + sum of
    // a_k n_k with the Gram system G a = r.
    const size_t m = use.size();
    double g[3][3] = {}, r[3] = {}, a[3] = {};
    for (size_t x = 0; x < m; ++x) {
      r[x] = use[x]->d - dot(use[x]->n, q);
      for (size_t y = 0; y < m; ++y) g[x][y] = dot(use[x]->n, use[y]->n);
    }
    // Gaussian elimination with partial pivoting on the small system.
    for (size_t c = 0; c < m; ++c) {
      size_t piv = c;
      for (size_t x = c + 1; x < m; ++x)
        if (std::fabs(g[x][c]) > std::fabs(g[piv][c])) piv = x;
      std::swap(g[c], g[piv]);
      std::swap(r[c], r[piv]);
      for (size_t x = c + 1; x < m; ++x) {
        const double f = g[x][c] / g[c][c];
        for (size_t y = c; y < m; ++y) g[x][y] -= f * g[c][y];
        r[x] -= f * r[c];
      }
    }
    for (size_t c = m; c-- > 0;) {
      double s = r[c];
      for (size_t y = c + 1; y < m; ++y) s -= g[c][y] * a[y];
      a[c] = s / g[c][c];
    }
    Vec to = q;
    for (size_t x = 0; x < m; ++x)
      for (int k = 0; k < 3; ++k) to[static_cast<size_t>(k)] += a[x] * use[x]->n[static_cast<size_t>(k)];
    if (!(length(sub(to, q)) < reach)) continue;
    if (to != q) ++moved;
    points[i] = to;
  }
  return moved;
}
