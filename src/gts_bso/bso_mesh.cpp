#include "gts_bso/bso_mesh.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <unordered_map>

namespace {

using Vec = std::array<double, 3>;

constexpr double kMergeDistance = 1e-6;
constexpr double kDegenerateArea = 1e-6;

Vec sub(const Vec& a, const Vec& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
Vec cross(const Vec& a, const Vec& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double dot(const Vec& a, const Vec& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

bool degenerate(const Vec& a, const Vec& b, const Vec& c) {
  const Vec n = cross(sub(b, a), sub(c, a));
  return (std::fabs(n[0]) + std::fabs(n[1]) + std::fabs(n[2])) / 2.0 < kDegenerateArea;
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

}  // namespace

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
  std::unordered_map<uint64_t, std::vector<int>> grid;
  auto cell = [](double x) { return static_cast<int64_t>(std::floor(x / kMergeDistance)); };
  auto key = [](int64_t x, int64_t y, int64_t z) {
    return static_cast<uint64_t>(x) * 73856093u ^ static_cast<uint64_t>(y) * 19349663u ^
           static_cast<uint64_t>(z) * 83492791u;
  };
  for (long long i = 0; i < v; ++i) {
    Vec p{};
    for (double& c : p)
      if (!in.number(c) || !std::isfinite(c) || std::fabs(c) > 1e12) return why = "bad vertex", false;
    const int64_t cx = cell(p[0]), cy = cell(p[1]), cz = cell(p[2]);
    int hit = -1;
    for (int64_t dx = -1; dx <= 1; ++dx)
      for (int64_t dy = -1; dy <= 1; ++dy)
        for (int64_t dz = -1; dz <= 1; ++dz) {
          auto it = grid.find(key(cx + dx, cy + dy, cz + dz));
          if (it == grid.end()) continue;
          for (int r : it->second) {
            const Vec d = sub(p, out.vertices[static_cast<size_t>(r)]);
            if (r > hit && std::sqrt(dot(d, d)) < kMergeDistance) hit = r;
          }
        }
    if (hit < 0) {
      hit = static_cast<int>(out.vertices.size());
      grid[key(cx, cy, cz)].push_back(hit);
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
    if (degenerate(p[static_cast<size_t>(c[0])], p[static_cast<size_t>(c[1])], p[static_cast<size_t>(c[2])]))
      continue;
    out.triangles.push_back(c);
  }
  return true;
}

int bso_repair_t_junctions(BsoMesh& mesh) {
  const auto& p = mesh.vertices;
  if (p.empty()) return 0;
  Vec lo = p[0], hi = p[0];
  for (const Vec& q : p)
    for (int k = 0; k < 3; ++k) lo[k] = std::min(lo[k], q[k]), hi[k] = std::max(hi[k], q[k]);
  const Vec span = sub(hi, lo);
  const double tol = 1e-6 * std::max(1.0, std::sqrt(dot(span, span)));

  // Vertices by x, so an edge looks only at those within its x range.
  std::vector<int> by_x(p.size());
  for (size_t i = 0; i < by_x.size(); ++i) by_x[i] = static_cast<int>(i);
  std::sort(by_x.begin(), by_x.end(),
            [&](int l, int r) { return p[static_cast<size_t>(l)][0] < p[static_cast<size_t>(r)][0]; });
  std::vector<double> xs(by_x.size());
  for (size_t i = 0; i < xs.size(); ++i) xs[i] = p[static_cast<size_t>(by_x[i])][0];

  // The vertex strictly inside the edge a-b nearest to a, or -1.
  auto inside = [&](int a, int b) {
    const Vec& pa = p[static_cast<size_t>(a)];
    const Vec ab = sub(p[static_cast<size_t>(b)], pa);
    const double len2 = dot(ab, ab);
    if (len2 <= 4 * tol * tol) return -1;
    const double len = std::sqrt(len2);
    int best = -1;
    double best_t = 2.0;
    const double x0 = std::min(pa[0], pa[0] + ab[0]) - tol, x1 = std::max(pa[0], pa[0] + ab[0]) + tol;
    for (auto it = std::lower_bound(xs.begin(), xs.end(), x0); it != xs.end() && *it <= x1; ++it) {
      const int q = by_x[static_cast<size_t>(it - xs.begin())];
      if (q == a || q == b) continue;
      const Vec aq = sub(p[static_cast<size_t>(q)], pa);
      const double t = dot(aq, ab) / len2;
      if (t * len <= tol || (1 - t) * len <= tol) continue;
      const Vec off = cross(aq, ab);
      if (std::sqrt(dot(off, off)) / len >= tol) continue;
      if (t < best_t) best_t = t, best = q;
    }
    return best;
  };

  int splits = 0;
  std::vector<std::array<int, 3>> done;
  std::vector<std::array<int, 3>> work(mesh.triangles.rbegin(), mesh.triangles.rend());
  // Every split uses up one vertex inside an edge, so this ends; the cap
  // only guards against a pathological input.
  const size_t cap = 64 * (mesh.triangles.size() + p.size()) + 1024;
  while (!work.empty()) {
    const auto t = work.back();
    work.pop_back();
    bool split = false;
    for (int k = 0; k < 3 && done.size() + work.size() < cap; ++k) {
      const int a = t[static_cast<size_t>(k)], b = t[static_cast<size_t>((k + 1) % 3)],
                c = t[static_cast<size_t>((k + 2) % 3)];
      const int q = inside(a, b);
      if (q < 0) continue;
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
  double v = 0;
  for (const auto& t : mesh.triangles) {
    const Vec& a = mesh.vertices[static_cast<size_t>(t[0])];
    v += dot(a, cross(mesh.vertices[static_cast<size_t>(t[1])], mesh.vertices[static_cast<size_t>(t[2])]));
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
  for (const Vec& q : mesh.vertices) {
    std::snprintf(line, sizeof line, "%.15f %.15f %.15f\n", q[0], q[1], q[2]);
    out += line;
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
