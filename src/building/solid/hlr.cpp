#include "building/solid/hlr.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "model/ui.h"

namespace {

constexpr double kNormalEps = 1e-11;
constexpr double kPointEps = 1e-9;
constexpr uint8_t kLastPen = 7;

// The face counter of the progress bar runs on across runs, as the bar is
// only a sign of life.
int progress_counter = 0;

bool behind_camera(const HlrUvd& p) {
  return std::fabs(p.u - 999.0) <= kPointEps && std::fabs(p.v - 999.0) <= kPointEps &&
         std::fabs(p.depth - 999.0) <= kPointEps;
}

// Newell's normal of a polygon, unit length unless too short, and the plane
// offset through the first corner.
template <typename Corner>
void newell_plane(int n, Corner corner, double& nx, double& ny, double& nz, double& offset) {
  nx = ny = nz = 0.0;
  for (int i = 0; i < n; ++i) {
    const Point3 p = corner(i);
    const Point3 q = corner(i + 1 == n ? 0 : i + 1);
    nx += (p.y - q.y) * (p.z + q.z);
    ny += (p.z - q.z) * (p.x + q.x);
    nz += (p.x - q.x) * (p.y + q.y);
  }
  offset = 0.0;
  const double len2 = nx * nx + ny * ny + nz * nz;
  if (len2 > kNormalEps) {
    const double len = std::sqrt(len2);
    nx /= len;
    ny /= len;
    nz /= len;
    const Point3 p0 = corner(0);
    offset = -(nx * p0.x + ny * p0.y + nz * p0.z);
  }
}

// Front faces registered in the cells of a uniform grid by their boxes
// widened by the point tolerance, so that boxes that only touch share a
// cell.
class FaceGrid {
 public:
  explicit FaceGrid(const HlrScene& scene) : scene_(scene), stamp_(scene.faces.size(), 0) {
    std::vector<int> fronts;
    bool any = false;
    for (int i = 0; i < static_cast<int>(scene.faces.size()); ++i) {
      const HlrFace& f = scene.faces[i];
      if (!f.front) continue;
      fronts.push_back(i);
      if (!any) {
        u0_ = f.umin, u1_ = f.umax, v0_ = f.vmin, v1_ = f.vmax;
        any = true;
      }
      u0_ = std::min(u0_, f.umin), u1_ = std::max(u1_, f.umax);
      v0_ = std::min(v0_, f.vmin), v1_ = std::max(v1_, f.vmax);
    }
    const double side = std::ceil(std::sqrt(static_cast<double>(fronts.size())));
    cols_ = rows_ = static_cast<int>(std::clamp(side, 1.0, 1024.0));
    const double w = u1_ - u0_, h = v1_ - v0_;
    if (w > 0 && h > 0) {
      // Cells about square: share the cell count by the aspect of the window.
      const double total = static_cast<double>(cols_) * rows_;
      cols_ = static_cast<int>(std::clamp(std::round(std::sqrt(total * w / h)), 1.0, 2048.0));
      rows_ = static_cast<int>(std::clamp(std::round(total / cols_), 1.0, 2048.0));
    }
    cw_ = w > 0 ? w / cols_ : 1.0;
    ch_ = h > 0 ? h / rows_ : 1.0;
    // Two passes into one flat array: count per cell, then fill.
    start_.assign(static_cast<size_t>(cols_) * rows_ + 1, 0);
    for (int i : fronts) for_cells(scene.faces[i], [&](int c) { ++start_[c + 1]; });
    for (size_t c = 1; c < start_.size(); ++c) start_[c] += start_[c - 1];
    cells_.resize(start_.back());
    std::vector<int> fill(start_.begin(), start_.end() - 1);
    for (int i : fronts) for_cells(scene.faces[i], [&](int c) { cells_[fill[c]++] = i; });
  }

  // The front faces Q != P, in list order, with Q's nearest depth not past
  // P's farthest and with overlapping boxes: exactly the faces the plain
  // front-to-back scan of the list would test.
  void candidates(int p, std::vector<int>& out) {
    out.clear();
    ++query_;
    const HlrFace& pf = scene_.faces[p];
    auto take = [&](int q) {
      if (stamp_[q] == query_) return;
      stamp_[q] = query_;
      const HlrFace& qf = scene_.faces[q];
      if (q == p || qf.dmin > pf.dmax || !hlr_boxes_overlap(pf, qf)) return;
      out.push_back(q);
    };
    for_cells(pf, [&](int c) {
      for (int k = start_[c]; k < start_[c + 1]; ++k) take(cells_[k]);
    });
    std::sort(out.begin(), out.end());
  }

 private:
  int cell_index(double x, double origin, double size, int count) const {
    const double t = std::floor((x - origin) / size);
    if (!(t >= 0)) return 0;
    if (t >= count - 1) return count - 1;
    return static_cast<int>(t);
  }

  template <typename Fn>
  void for_cells(const HlrFace& f, Fn fn) const {
    const int c0 = cell_index(f.umin - kPointEps, u0_, cw_, cols_);
    const int c1 = cell_index(f.umax + kPointEps, u0_, cw_, cols_);
    const int r0 = cell_index(f.vmin - kPointEps, v0_, ch_, rows_);
    const int r1 = cell_index(f.vmax + kPointEps, v0_, ch_, rows_);
    for (int r = r0; r <= r1; ++r)
      for (int c = c0; c <= c1; ++c) fn(r * cols_ + c);
  }

  const HlrScene& scene_;
  std::vector<int> start_;
  std::vector<int> cells_;
  std::vector<unsigned> stamp_;
  unsigned query_ = 0;
  double u0_ = 0, u1_ = 0, v0_ = 0, v1_ = 0, cw_ = 1, ch_ = 1;
  int cols_ = 1, rows_ = 1;
};

// Every edge of every face by (from, to) vertex, then list position and
// edge number, so the partners of an edge are one sorted run.
struct EdgeEntry {
  uint64_t key;
  int pos;
  int edge;
  bool operator<(const EdgeEntry& o) const {
    if (key != o.key) return key < o.key;
    if (pos != o.pos) return pos < o.pos;
    return edge < o.edge;
  }
};

uint64_t edge_key(int from, int to) {
  return (static_cast<uint64_t>(static_cast<uint32_t>(from)) << 32) | static_cast<uint32_t>(to);
}

class EdgeTable {
 public:
  explicit EdgeTable(const HlrScene& scene) {
    entries_.reserve(scene.corners.size());
    for (int pos = 0; pos < static_cast<int>(scene.faces.size()); ++pos) {
      const HlrFace& f = scene.faces[pos];
      for (int i = 0; i < f.n; ++i) {
        const int from = scene.corners[f.first + i];
        const int to = scene.corners[f.first + (i + 1 == f.n ? 0 : i + 1)];
        entries_.push_back({edge_key(from, to), pos, i});
      }
    }
    std::sort(entries_.begin(), entries_.end());
  }

  // The edges running from `from` to `to`, in list and edge order.
  std::pair<const EdgeEntry*, const EdgeEntry*> find(int from, int to) const {
    const uint64_t key = edge_key(from, to);
    auto lo = std::lower_bound(entries_.begin(), entries_.end(), key,
                               [](const EdgeEntry& e, uint64_t k) { return e.key < k; });
    auto hi =
        std::upper_bound(lo, entries_.end(), key, [](uint64_t k, const EdgeEntry& e) { return k < e.key; });
    return {entries_.data() + (lo - entries_.begin()), entries_.data() + (hi - entries_.begin())};
  }

 private:
  std::vector<EdgeEntry> entries_;
};

// The class of edge i of face r, from its partners among the later faces
// with the given front flag (those partners' classes become 0). Vertex
// indices already carry the body's base, so partners are of the same body.
int classify_edge(HlrScene& scene, const EdgeTable& table, int r, int i, int front, bool same_face,
                  const HlrOptions& options) {
  const HlrFace& rf = scene.faces[r];
  const int p = scene.corners[rf.first + i];
  const int q = scene.corners[rf.first + (i + 1 == rf.n ? 0 : i + 1)];
  int a = 0;
  auto [lo, hi] = table.find(q, p);
  for (const EdgeEntry* e = lo; e != hi; ++e) {
    if (e->pos == r && same_face) a = 2;
  }
  int partner_a = 0;
  for (const EdgeEntry* e = lo; e != hi; ++e) {
    if (e->pos <= r) continue;
    const HlrFace& sf = scene.faces[e->pos];
    if (sf.front != front) continue;
    scene.classes[sf.first + e->edge] = 0;
    partner_a = hlr_smooth(rf, sf, options) ? 2 : 1;
  }
  if (a != 2) a = partner_a;
  return a == 0 ? 2 : a == 1 ? 1 : 0;
}

class Renderer {
 public:
  Renderer(HlrScene& scene, const HlrOptions& options, HlrSink& sink)
      : scene_(scene), options_(options), sink_(sink) {}

  HlrCounts run() {
    std::fill(scene_.classes.begin(), scene_.classes.end(), int8_t{-1});
    EdgeTable table(scene_);
    const int nf = static_cast<int>(scene_.faces.size());
    for (int r = 0; r < nf; ++r) {
      const HlrFace& rf = scene_.faces[r];
      if (!rf.front) continue;
      for (int i = 0; i < rf.n; ++i) {
        if (scene_.classes[rf.first + i] != -1) continue;
        scene_.classes[rf.first + i] =
            static_cast<int8_t>(classify_edge(scene_, table, r, i, 1, true, options_));
      }
    }
    FaceGrid grid(scene_);
    for (int p = 0; p < nf; ++p) {
      if (++progress_counter >= 100) {
        ui().gui_progress_update(static_cast<double>(p + 1) / nf);
        sink_.flush();
        progress_counter = 0;
      }
      if (!scene_.faces[p].front) continue;
      grid.candidates(p, candidates_);
      face_pieces(p);
    }
    if (options_.hidden_edges) back_edges(table);
    return counts_;
  }

 private:
  void face_pieces(int p) {
    const HlrFace& pf = scene_.faces[p];
    for (int i = 0; i < pf.n; ++i) {
      const int cls = scene_.classes[pf.first + i];
      if (cls != 1 && cls != 2) continue;
      const HlrUvd s = scene_.uvd[scene_.corners[pf.first + i]];
      const HlrUvd e = scene_.uvd[scene_.corners[pf.first + (i + 1 == pf.n ? 0 : i + 1)]];
      breaks_.assign({s, e});
      for (int q : candidates_) {
        const HlrFace& qf = scene_.faces[q];
        for (int k = 0; k < qf.n; ++k) {
          if (scene_.classes[qf.first + k] != 2) continue;
          const HlrUvd& a = scene_.uvd[scene_.corners[qf.first + k]];
          const HlrUvd& b = scene_.uvd[scene_.corners[qf.first + (k + 1 == qf.n ? 0 : k + 1)]];
          const auto x = hlr_crossing(s, e, a, b);
          if (x && hlr_which_in_front(pf, qf, x->u, x->v) != 1) breaks_.push_back(*x);
        }
      }
      std::stable_sort(breaks_.begin(), breaks_.end(), [&](const HlrUvd& m, const HlrUvd& n) {
        const double dm = (m.u - s.u) * (m.u - s.u) + (m.v - s.v) * (m.v - s.v);
        const double dn = (n.u - s.u) * (n.u - s.u) + (n.v - s.v) * (n.v - s.v);
        return dm < dn;
      });
      for (size_t k = 0; k + 1 < breaks_.size(); ++k) piece(p, cls, breaks_[k], breaks_[k + 1]);
    }
  }

  bool hidden(int p, double mu, double mv) const {
    const HlrFace& pf = scene_.faces[p];
    for (int q : candidates_) {
      const HlrFace& qf = scene_.faces[q];
      const bool in_box = qf.umin - kPointEps <= mu && mu <= qf.umax + kPointEps &&
                          qf.vmin - kPointEps <= mv && mv <= qf.vmax + kPointEps;
      if (!in_box) continue;
      if (hlr_inside_face(scene_, qf, mu, mv) && hlr_which_in_front(pf, qf, mu, mv) == -1) return true;
    }
    return false;
  }

  void piece(int p, int cls, const HlrUvd& a, const HlrUvd& b) {
    const HlrFace& pf = scene_.faces[p];
    const HlrBody& body = scene_.bodies[pf.body];
    const bool is_hidden = hidden(p, (a.u + b.u) * 0.5, (a.v + b.v) * 0.5);
    if (is_hidden && !options_.hidden_edges) return;
    const uint8_t pen = hlr_pen(body, cls, options_);
    const uint8_t lt = is_hidden ? 1 : body.line_type;
    if (join_valid_ && pen == join_.pen && lt == join_.line_type &&
        hlr_continues(join_, a, b, scene_.tolerance)) {
      HlrLine seg{join_.x2, join_.y2, b.u, b.v, pen, lt};
      if (sink_.clip(seg)) {
        ++counts_.joins;
        join_.x2 = seg.x2;
        join_.y2 = seg.y2;
        sink_.line_extend(seg.x2, seg.y2);
      }
      return;
    }
    if (!(std::sqrt((b.u - a.u) * (b.u - a.u) + (b.v - a.v) * (b.v - a.v)) > kPointEps)) return;
    HlrLine seg{a.u, a.v, b.u, b.v, pen, lt};
    if (!sink_.clip(seg)) return;
    sink_.line_new(seg);
    ++counts_.lines;
    join_ = seg;
    join_valid_ = true;
  }

  void back_edges(const EdgeTable& table) {
    std::fill(scene_.classes.begin(), scene_.classes.end(), int8_t{-1});
    for (int r = 0; r < static_cast<int>(scene_.faces.size()); ++r) {
      const HlrFace& rf = scene_.faces[r];
      if (rf.front) continue;
      for (int i = 0; i < rf.n; ++i) {
        if (scene_.classes[rf.first + i] != -1) continue;
        const int cls = classify_edge(scene_, table, r, i, 0, false, options_);
        scene_.classes[rf.first + i] = static_cast<int8_t>(cls);
        if (cls != 1) continue;
        const HlrUvd& s = scene_.uvd[scene_.corners[rf.first + i]];
        const HlrUvd& e = scene_.uvd[scene_.corners[rf.first + (i + 1 == rf.n ? 0 : i + 1)]];
        if (!(std::sqrt((e.u - s.u) * (e.u - s.u) + (e.v - s.v) * (e.v - s.v)) > kPointEps)) continue;
        const HlrBody& body = scene_.bodies[rf.body];
        HlrLine seg{s.u, s.v, e.u, e.v, static_cast<uint8_t>(options_.single_colour ? 0 : body.pen), 1};
        if (!sink_.clip(seg)) continue;
        sink_.line_new(seg);
        ++counts_.lines;
      }
    }
  }

  HlrScene& scene_;
  const HlrOptions& options_;
  HlrSink& sink_;
  HlrCounts counts_;
  std::vector<int> candidates_;
  std::vector<HlrUvd> breaks_;
  HlrLine join_;
  bool join_valid_ = false;
};

}  // namespace

HlrScene hlr_build(const std::vector<HlrMeshInput>& meshes,
                   const std::function<HlrUvd(const Point3&)>& project) {
  HlrScene scene;
  std::vector<Point3> world;  // parallel to uvd, only while the faces are built
  for (const HlrMeshInput& m : meshes) {
    HlrBody body;
    body.vertex_base = static_cast<int>(scene.uvd.size());
    body.vertex_count = static_cast<int>(m.vertices->size());
    body.pen = m.pen;
    body.line_type = m.line_type;
    const int b = static_cast<int>(scene.bodies.size());
    scene.bodies.push_back(body);
    for (const Point3& p : *m.vertices) {
      scene.uvd.push_back(project(p));
      world.push_back(p);
    }
    size_t at = 0;
    for (int32_t size : *m.face_sizes) {
      if (size <= 0 || at + static_cast<size_t>(size) > m.indices->size()) {
        at += size > 0 ? static_cast<size_t>(size) : 0;
        continue;
      }
      const size_t begin = at;
      at += static_cast<size_t>(size);
      bool ok = true;
      for (size_t k = begin; k < at; ++k) {
        const int64_t idx = std::llabs(static_cast<int64_t>((*m.indices)[k]));
        if (idx >= body.vertex_count) ok = false;
      }
      if (!ok) continue;
      HlrFace f;
      f.body = b;
      f.first = static_cast<int>(scene.corners.size());
      f.n = size;
      for (size_t k = begin; k < at; ++k)
        scene.corners.push_back(body.vertex_base +
                                static_cast<int>(std::llabs(static_cast<int64_t>((*m.indices)[k]))));
      const int* c = scene.corners.data() + f.first;
      bool behind = false, finite = true;
      for (int i = 0; i < f.n; ++i) {
        const HlrUvd& p = scene.uvd[c[i]];
        if (i == 0) {
          f.umin = f.umax = p.u, f.vmin = f.vmax = p.v, f.dmin = f.dmax = p.depth;
        }
        f.umin = std::min(f.umin, p.u), f.umax = std::max(f.umax, p.u);
        f.vmin = std::min(f.vmin, p.v), f.vmax = std::max(f.vmax, p.v);
        f.dmin = std::min(f.dmin, p.depth), f.dmax = std::max(f.dmax, p.depth);
        behind = behind || behind_camera(p);
        finite = finite && std::isfinite(p.u) && std::isfinite(p.v) && std::isfinite(p.depth);
      }
      if (!finite) {
        scene.corners.resize(f.first);
        continue;
      }
      newell_plane(
          f.n, [&](int i) { return world[c[i]]; }, f.wx, f.wy, f.wz, f.woffset);
      newell_plane(
          f.n,
          [&](int i) {
            const HlrUvd& p = scene.uvd[c[i]];
            return Point3{p.u, p.v, p.depth};
          },
          f.a, f.b, f.c, f.d);
      f.front = f.c < -kNormalEps && !behind ? 1 : 0;
      scene.faces.push_back(f);
    }
  }
  double size = 1.0;
  for (const HlrUvd& p : scene.uvd)
    if (std::isfinite(p.u) && std::isfinite(p.v) && std::isfinite(p.depth) && !behind_camera(p))
      size = std::max({size, std::fabs(p.u), std::fabs(p.v), std::fabs(p.depth)});
  scene.tolerance = 1e-9 * size;
  scene.classes.assign(scene.corners.size(), -1);
  std::stable_sort(scene.faces.begin(), scene.faces.end(),
                   [](const HlrFace& x, const HlrFace& y) { return x.dmin < y.dmin; });
  return scene;
}

std::optional<HlrWindow> hlr_front_window(const HlrScene& scene) {
  std::optional<HlrWindow> w;
  for (const HlrFace& f : scene.faces) {
    if (!f.front) continue;
    if (!w) w = HlrWindow{f.umin, f.vmin, f.umax, f.vmax};
    w->umin = std::min(w->umin, f.umin), w->umax = std::max(w->umax, f.umax);
    w->vmin = std::min(w->vmin, f.vmin), w->vmax = std::max(w->vmax, f.vmax);
  }
  return w;
}

HlrCounts hlr_render(HlrScene& scene, const HlrOptions& options, HlrSink& sink) {
  return Renderer(scene, options, sink).run();
}

int hlr_boxes_overlap(const HlrFace& p, const HlrFace& q) {
  if (q.umin > p.umax || p.umin > q.umax || q.vmin > p.vmax || p.vmin > q.vmax) return 0;
  return 1;
}

double hlr_plane_depth_at(const HlrFace& f, double u, double v) {
  if (std::fabs(f.c) < kNormalEps) return 1.0;
  return (-f.a * u - f.b * v - f.d) / f.c;
}

int hlr_which_in_front(const HlrFace& p, const HlrFace& q, double u, double v) {
  if (p.dmin > q.dmax) return -1;
  if (q.dmin > p.dmax) return 1;
  const double dp = hlr_plane_depth_at(p, u, v);
  const double dq = hlr_plane_depth_at(q, u, v);
  if (std::fabs(dp - dq) < 1e-7) return 0;
  return dq < dp ? -1 : 1;
}

int hlr_points_equal(double ua, double va, double ub, double vb) {
  return std::fabs(ua - ub) <= kPointEps && std::fabs(va - vb) <= kPointEps ? 1 : 0;
}

bool hlr_continues(const HlrLine& last, const HlrUvd& a, const HlrUvd& b, double tol) {
  if (!hlr_points_equal(a.u, a.v, last.x2, last.y2)) return false;
  const double dx = last.x2 - last.x1, dy = last.y2 - last.y1;
  const double off = dx * (b.v - a.v) - dy * (b.u - a.u);
  const double along = dx * (b.u - a.u) + dy * (b.v - a.v);
  return along >= 0 && std::fabs(off) <= tol * std::sqrt(dx * dx + dy * dy);
}

bool hlr_smooth(const HlrFace& r, const HlrFace& s, const HlrOptions& options) {
  if (!options.smoothing) return false;
  const double dot = r.wx * s.wx + r.wy * s.wy + r.wz * s.wz;
  const double lr = std::sqrt(r.wx * r.wx + r.wy * r.wy + r.wz * r.wz);
  const double ls = std::sqrt(s.wx * s.wx + s.wy * s.wy + s.wz * s.wz);
  return std::acos(dot / (lr * ls)) < options.smoothing_angle;
}

uint8_t hlr_pen(const HlrBody& body, int edge_class, const HlrOptions& options) {
  if (options.single_colour) return 0;
  uint8_t pen = body.pen;
  if (options.silhouettes && edge_class == 2 && pen < kLastPen) ++pen;
  return pen;
}

bool hlr_inside_face(const HlrScene& scene, const HlrFace& f, double u, double v) {
  bool inside = false;
  const int* c = scene.corners.data() + f.first;
  for (int i = 0, j = f.n - 1; i < f.n; j = i++) {
    const HlrUvd& pi = scene.uvd[c[i]];
    const HlrUvd& pj = scene.uvd[c[j]];
    if ((pi.v > v) != (pj.v > v) && u < pi.u + (v - pi.v) * (pj.u - pi.u) / (pj.v - pi.v)) inside = !inside;
  }
  return inside;
}

std::optional<HlrUvd> hlr_crossing(const HlrUvd& s, const HlrUvd& e, const HlrUvd& a, const HlrUvd& b) {
  const double dx = e.u - s.u, dy = e.v - s.v;
  const double qdx = b.u - a.u, qdy = b.v - a.v;
  const double det = dy * qdx - qdy * dx;
  if (std::fabs(det) < kNormalEps) return std::nullopt;
  const double c1 = e.u * s.v - e.v * s.u;
  const double c2 = b.u * a.v - b.v * a.u;
  const double x = (dx * c2 - qdx * c1) / det;
  const double y = (dy * c2 - qdy * c1) / det;
  if (std::fabs(dx) > std::fabs(dy)) {
    if (!(std::min(s.u, e.u) <= x && x <= std::max(s.u, e.u))) return std::nullopt;
  } else if (!(std::min(s.v, e.v) <= y && y <= std::max(s.v, e.v))) {
    return std::nullopt;
  }
  if (std::fabs(qdx) > std::fabs(qdy)) {
    if (!(std::min(a.u, b.u) - kPointEps <= x && x <= std::max(a.u, b.u) + kPointEps)) return std::nullopt;
  } else if (!(std::min(a.v, b.v) - kPointEps <= y && y <= std::max(a.v, b.v) + kPointEps)) {
    return std::nullopt;
  }
  if (hlr_points_equal(x, y, s.u, s.v) || hlr_points_equal(x, y, e.u, e.v)) return std::nullopt;
  return HlrUvd{x, y, 0.0};
}
