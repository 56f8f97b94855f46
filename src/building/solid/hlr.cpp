#include "building/solid/hlr.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "model/ui.h"

namespace {

constexpr double kNormalEps = 1e-11;
constexpr double kPointEps = 1e-9;
// Depths closer than this are a tie, as in hlr_which_in_front.
constexpr double kDepthTie = 1e-7;
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

// Whether the projected boxes of two faces, depth included, come within tol.
bool boxes_meet(const HlrFace& p, const HlrFace& q, double tol) {
  return q.umin <= p.umax + tol && p.umin <= q.umax + tol && q.vmin <= p.vmax + tol &&
         p.vmin <= q.vmax + tol && q.dmin <= p.dmax + tol && p.dmin <= q.dmax + tol;
}

// A box in the world, of a face's corners or of a whole mesh.
struct WorldBox {
  double xmin = 0, xmax = 0, ymin = 0, ymax = 0, zmin = 0, zmax = 0;
};

void extend(WorldBox& b, const Point3& p) {
  b.xmin = std::min(b.xmin, p.x), b.xmax = std::max(b.xmax, p.x);
  b.ymin = std::min(b.ymin, p.y), b.ymax = std::max(b.ymax, p.y);
  b.zmin = std::min(b.zmin, p.z), b.zmax = std::max(b.zmax, p.z);
}

// Whether two world boxes come within tol.
bool world_boxes_meet(const WorldBox& p, const WorldBox& q, double tol) {
  return q.xmin <= p.xmax + tol && p.xmin <= q.xmax + tol && q.ymin <= p.ymax + tol &&
         p.ymin <= q.ymax + tol && q.zmin <= p.zmax + tol && p.zmin <= q.zmax + tol;
}

// The chosen faces registered in the cells of a uniform grid by their boxes
// widened by a tolerance, so that boxes that only touch share a cell: the
// projected boxes, or the plan of the given world boxes.
class FaceGrid {
 public:
  template <typename Include>
  FaceGrid(const HlrScene& scene, Include include, double widen, const std::vector<WorldBox>* world = nullptr)
      : scene_(scene), stamp_(scene.faces.size(), 0), widen_(widen), world_(world) {
    std::vector<int> members;
    bool any = false;
    for (int i = 0; i < static_cast<int>(scene.faces.size()); ++i) {
      if (!include(i)) continue;
      members.push_back(i);
      const Span f = span(scene.faces[i]);
      if (!any) {
        u0_ = f.a0, u1_ = f.a1, v0_ = f.b0, v1_ = f.b1;
        any = true;
      }
      u0_ = std::min(u0_, f.a0), u1_ = std::max(u1_, f.a1);
      v0_ = std::min(v0_, f.b0), v1_ = std::max(v1_, f.b1);
    }
    const double side = std::ceil(std::sqrt(static_cast<double>(members.size())));
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
    for (int i : members) for_cells(scene.faces[i], [&](int c) { ++start_[c + 1]; });
    for (size_t c = 1; c < start_.size(); ++c) start_[c] += start_[c - 1];
    cells_.resize(start_.back());
    std::vector<int> fill(start_.begin(), start_.end() - 1);
    for (int i : members) for_cells(scene.faces[i], [&](int c) { cells_[fill[c]++] = i; });
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

  // The faces whose world boxes come within the widening of f's box.
  void world_neighbours(int f, std::vector<int>& out) {
    out.clear();
    ++query_;
    for_cells(scene_.faces[f], [&](int c) {
      for (int k = start_[c]; k < start_[c + 1]; ++k) {
        const int g = cells_[k];
        if (stamp_[g] == query_) continue;
        stamp_[g] = query_;
        if (world_boxes_meet((*world_)[f], (*world_)[g], widen_)) out.push_back(g);
      }
    });
  }

 private:
  struct Span {
    double a0, a1, b0, b1;
  };
  Span span(const HlrFace& f) const {
    if (!world_) return Span{f.umin, f.umax, f.vmin, f.vmax};
    const WorldBox& w = (*world_)[&f - scene_.faces.data()];
    return Span{w.xmin, w.xmax, w.ymin, w.ymax};
  }

  int cell_index(double x, double origin, double size, int count) const {
    const double t = std::floor((x - origin) / size);
    if (!(t >= 0)) return 0;
    if (t >= count - 1) return count - 1;
    return static_cast<int>(t);
  }

  template <typename Fn>
  void for_cells(const HlrFace& face, Fn fn) const {
    const Span f = span(face);
    const int c0 = cell_index(f.a0 - widen_, u0_, cw_, cols_);
    const int c1 = cell_index(f.a1 + widen_, u0_, cw_, cols_);
    const int r0 = cell_index(f.b0 - widen_, v0_, ch_, rows_);
    const int r1 = cell_index(f.b1 + widen_, v0_, ch_, rows_);
    for (int r = r0; r <= r1; ++r)
      for (int c = c0; c <= c1; ++c) fn(r * cols_ + c);
  }

  const HlrScene& scene_;
  std::vector<int> start_;
  std::vector<int> cells_;
  std::vector<unsigned> stamp_;
  double widen_;
  const std::vector<WorldBox>* world_;
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

// The pairs of meshes whose world boxes come within tol: only their faces
// can pass through each other.
std::vector<std::pair<int, int>> meshes_that_meet(const std::vector<WorldBox>& box,
                                                  const std::vector<char>& has, double tol) {
  std::vector<int> order;
  for (int b = 0; b < static_cast<int>(box.size()); ++b)
    if (has[b]) order.push_back(b);
  std::sort(order.begin(), order.end(), [&](int x, int y) { return box[x].xmin < box[y].xmin; });
  std::vector<std::pair<int, int>> pairs;
  for (size_t i = 0; i < order.size(); ++i)
    for (size_t j = i + 1; j < order.size() && box[order[j]].xmin <= box[order[i]].xmax + tol; ++j)
      if (world_boxes_meet(box[order[i]], box[order[j]], tol)) pairs.emplace_back(order[i], order[j]);
  return pairs;
}

double plane_distance(const HlrFace& f, const HlrUvd& p) {
  return f.a * p.u + f.b * p.v + f.c * p.depth + f.d;
}

// Whether the corners of f lie on both sides of g's plane, further than tol.
bool straddles(const HlrScene& scene, const HlrFace& f, const HlrFace& g, double tol) {
  bool above = false, below = false;
  for (int i = 0; i < f.n; ++i) {
    const double d = plane_distance(g, scene.uvd[scene.corners[f.first + i]]);
    above = above || d > tol;
    below = below || d < -tol;
  }
  return above && below;
}

struct Crossing {
  double t;  // position along the cut line
  HlrUvd p;
};

// Where the outline of f crosses g's plane, sorted along dir. A corner within
// tol of the plane counts as lying on its positive side, so that a loop
// through it crosses there once or not at all and the crossings pair up.
void plane_crossings(const HlrScene& scene, const HlrFace& f, const HlrFace& g, const double dir[3],
                     double tol, std::vector<Crossing>& out) {
  out.clear();
  const int* c = scene.corners.data() + f.first;
  auto distance = [&](int i) {
    const double d = plane_distance(g, scene.uvd[c[i]]);
    return std::fabs(d) <= tol ? 0.0 : d;
  };
  for (int i = 0; i < f.n; ++i) {
    const int j = i + 1 == f.n ? 0 : i + 1;
    const double da = distance(i), db = distance(j);
    if ((da >= 0) == (db >= 0)) continue;
    const HlrUvd& pa = scene.uvd[c[i]];
    const HlrUvd& pb = scene.uvd[c[j]];
    const double k = da / (da - db);
    const HlrUvd x{pa.u + k * (pb.u - pa.u), pa.v + k * (pb.v - pa.v), pa.depth + k * (pb.depth - pa.depth)};
    out.push_back({x.u * dir[0] + x.v * dir[1] + x.depth * dir[2], x});
  }
  std::stable_sort(out.begin(), out.end(), [](const Crossing& x, const Crossing& y) { return x.t < y.t; });
}

// The stretches of the cut line inside the polygon: its crossings taken in
// pairs, stretches that meet (as at a bridge edge, crossed twice) made one.
void stretches(const std::vector<Crossing>& x, double tol, std::vector<std::pair<Crossing, Crossing>>& out) {
  out.clear();
  for (size_t k = 0; k + 1 < x.size(); k += 2) {
    if (!out.empty() && x[k].t <= out.back().second.t + tol) {
      if (x[k + 1].t > out.back().second.t) out.back().second = x[k + 1];
      continue;
    }
    out.emplace_back(x[k], x[k + 1]);
  }
}

// The distance of p from the line through a and b.
double distance_to_line(const HlrUvd& p, const HlrUvd& a, const HlrUvd& b) {
  const double dx = b.u - a.u, dy = b.v - a.v, dz = b.depth - a.depth;
  const double len2 = dx * dx + dy * dy + dz * dz;
  const double t = len2 > 0 ? ((p.u - a.u) * dx + (p.v - a.v) * dy + (p.depth - a.depth) * dz) / len2 : 0.0;
  const double ex = p.u - a.u - t * dx, ey = p.v - a.v - t * dy, ez = p.depth - a.depth - t * dz;
  return std::sqrt(ex * ex + ey * ey + ez * ez);
}

// Appends to `along` the stretches (positions along dir) of the line a-b
// that edges of f run along within tol.
void edges_along(const HlrScene& scene, const HlrFace& f, const HlrUvd& a, const HlrUvd& b,
                 const double dir[3], double tol, std::vector<std::pair<double, double>>& along) {
  const int* c = scene.corners.data() + f.first;
  for (int i = 0; i < f.n; ++i) {
    const HlrUvd& p = scene.uvd[c[i]];
    const HlrUvd& q = scene.uvd[c[i + 1 == f.n ? 0 : i + 1]];
    if (distance_to_line(p, a, b) > tol || distance_to_line(q, a, b) > tol) continue;
    const double tp = p.u * dir[0] + p.v * dir[1] + p.depth * dir[2];
    const double tq = q.u * dir[0] + q.v * dir[1] + q.depth * dir[2];
    along.emplace_back(std::min(tp, tq), std::max(tp, tq));
  }
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
    find_cuts();
    FaceGrid grid(
        scene_, [&](int i) { return scene_.faces[i].front != 0; }, kPointEps);
    for (int p = 0; p < nf; ++p) {
      if (++progress_counter >= 100) {
        ui().gui_progress_update(static_cast<double>(p + 1) / nf);
        sink_.flush();
        progress_counter = 0;
      }
      if (!scene_.faces[p].front) continue;
      grid.candidates(p, candidates_);
      // The nearer faces an edge of p may pass through: of another mesh and
      // reaching into p's box in the world.
      others_.clear();
      if (meets_[scene_.faces[p].body])
        for (int q : candidates_)
          if (scene_.faces[q].body != scene_.faces[p].body && meets_[scene_.faces[q].body] &&
              world_boxes_meet(face_box_[p], face_box_[q], scene_.world_tolerance))
            others_.push_back(q);
      face_pieces(p);
    }
    if (options_.hidden_edges) {
      back_edges(table);
      back_cuts();
    }
    return counts_;
  }

 private:
  // The lines where faces of different meshes pass through each other,
  // grouped by the face that draws them; those between two faces turned
  // away only when hidden edges are drawn.
  void find_cuts() {
    const int nf = static_cast<int>(scene_.faces.size());
    const int nb = static_cast<int>(scene_.bodies.size());
    const double tol = scene_.world_tolerance;
    cuts_.clear();
    cut_start_.assign(nf + 1, 0);
    meets_.assign(nb, 0);
    if (nb < 2) return;
    std::vector<WorldBox> box(nb);
    std::vector<char> has(nb, 0);
    for (int b = 0; b < nb; ++b) {
      const HlrBody& body = scene_.bodies[b];
      for (int v = body.vertex_base; v < body.vertex_base + body.vertex_count; ++v) {
        const Point3& p = scene_.world[v];
        if (!std::isfinite(p.x + p.y + p.z)) continue;
        if (!has[b]) box[b] = {p.x, p.x, p.y, p.y, p.z, p.z};
        has[b] = 1;
        extend(box[b], p);
      }
    }
    const std::vector<std::pair<int, int>> pairs = meshes_that_meet(box, has, tol);
    if (pairs.empty()) return;
    // The faces of the meshes that meet another one, with their world boxes.
    for (auto [a, b] : pairs) meets_[a] = meets_[b] = 1;
    std::vector<std::vector<int>> faces_of(nb);
    face_box_.assign(nf, WorldBox{});
    for (int f = 0; f < nf; ++f) {
      const HlrFace& ff = scene_.faces[f];
      if (!meets_[ff.body]) continue;
      const int* c = scene_.corners.data() + ff.first;
      const Point3& p0 = scene_.world[c[0]];
      face_box_[f] = {p0.x, p0.x, p0.y, p0.y, p0.z, p0.z};
      for (int i = 1; i < ff.n; ++i) extend(face_box_[f], scene_.world[c[i]]);
      if (!ff.behind) faces_of[ff.body].push_back(f);
    }
    std::vector<int> near_b, near_a, found;
    for (auto [a, b] : pairs) {
      // Only the faces of each mesh that reach into the other's box.
      auto reaching = [&](int from, int into, std::vector<int>& out) {
        out.clear();
        for (int f : faces_of[from])
          if (world_boxes_meet(face_box_[f], box[into], tol)) out.push_back(f);
      };
      reaching(a, b, near_a);
      reaching(b, a, near_b);
      if (near_a.size() * near_b.size() <= 4096) {
        for (int f : near_a)
          for (int g : near_b)
            if (world_boxes_meet(face_box_[f], face_box_[g], tol)) cut_pair(f, g);
        continue;
      }
      // Big meshes: a grid over the plan of one side.
      std::vector<char> in_b(nf, 0);
      for (int g : near_b) in_b[g] = 1;
      FaceGrid grid(
          scene_, [&](int i) { return in_b[i] != 0; }, tol, &face_box_);
      for (int f : near_a) {
        grid.world_neighbours(f, found);
        for (int g : found) cut_pair(f, g);
      }
    }
    // In the order of the faces that draw them; the two faces settle the
    // order of their own cuts.
    std::sort(cuts_.begin(), cuts_.end(), [](const HlrCut& x, const HlrCut& y) {
      return x.owner != y.owner ? x.owner < y.owner : x.other < y.other;
    });
    for (const HlrCut& c : cuts_) ++cut_start_[c.owner + 1];
    for (int f = 0; f < nf; ++f) cut_start_[f + 1] += cut_start_[f];
  }

  // The cuts of two faces, taken in list order as everywhere.
  void cut_pair(int f, int g) {
    if (!scene_.faces[f].front && !scene_.faces[g].front && !options_.hidden_edges) return;
    hlr_face_cuts(scene_, std::min(f, g), std::max(f, g), cuts_);
  }

  void face_pieces(int p) {
    const HlrFace& pf = scene_.faces[p];
    for (int i = 0; i < pf.n; ++i) {
      const int cls = scene_.classes[pf.first + i];
      if (cls != 1 && cls != 2) continue;
      const HlrUvd& s = scene_.uvd[scene_.corners[pf.first + i]];
      const HlrUvd& e = scene_.uvd[scene_.corners[pf.first + (i + 1 == pf.n ? 0 : i + 1)]];
      line_pieces(p, -1, cls, s, e);
    }
    for (int k = cut_start_[p]; k < cut_start_[p + 1]; ++k)
      line_pieces(p, cuts_[k].other, 1, cuts_[k].a, cuts_[k].b);
  }

  // Splits the line s-e in P's plane where it crosses the outline of a
  // nearer face or passes through one, and draws the pieces. The face
  // `other` (the second face of a cut) holds the line too and is not
  // looked at. The ends come by value, so that the breaks pushed during
  // the scan cannot alias them.
  void line_pieces(int p, int other, int cls, const HlrUvd s, const HlrUvd e) {
    const HlrFace& pf = scene_.faces[p];
    breaks_.assign({s, e});
    // A face whose box keeps clear of the line's box can neither cross nor
    // hold it (crossings are taken within kPointEps of an edge).
    const double u0 = std::min(s.u, e.u) - 2 * kPointEps, u1 = std::max(s.u, e.u) + 2 * kPointEps;
    const double v0 = std::min(s.v, e.v) - 2 * kPointEps, v1 = std::max(s.v, e.v) + 2 * kPointEps;
    auto clear_of_line = [&](const HlrFace& qf) {
      return qf.umax < u0 || qf.umin > u1 || qf.vmax < v0 || qf.vmin > v1;
    };
    for (int q : candidates_) {
      if (q == other) continue;
      const HlrFace& qf = scene_.faces[q];
      if (clear_of_line(qf)) continue;
      for (int k = 0; k < qf.n; ++k) {
        if (scene_.classes[qf.first + k] != 2) continue;
        const HlrUvd& a = scene_.uvd[scene_.corners[qf.first + k]];
        const HlrUvd& b = scene_.uvd[scene_.corners[qf.first + (k + 1 == qf.n ? 0 : k + 1)]];
        const auto x = hlr_crossing(s, e, a, b);
        if (x && hlr_which_in_front(pf, qf, x->u, x->v) != 1) breaks_.push_back(*x);
      }
    }
    for (int q : others_) {
      if (q == other || clear_of_line(scene_.faces[q])) continue;
      if (const auto x = hlr_pierce(scene_, pf, scene_.faces[q], s, e)) breaks_.push_back(*x);
    }
    // Most lines are not broken at all: [s, e] is in order already.
    if (breaks_.size() > 2)
      std::stable_sort(breaks_.begin(), breaks_.end(), [&](const HlrUvd& m, const HlrUvd& n) {
        const double dm = (m.u - s.u) * (m.u - s.u) + (m.v - s.v) * (m.v - s.v);
        const double dn = (n.u - s.u) * (n.u - s.u) + (n.v - s.v) * (n.v - s.v);
        return dm < dn;
      });
    for (size_t k = 0; k + 1 < breaks_.size(); ++k) piece(p, other, cls, breaks_[k], breaks_[k + 1]);
  }

  bool hidden(int p, int other, double mu, double mv) const {
    const HlrFace& pf = scene_.faces[p];
    for (int q : candidates_) {
      if (q == other) continue;
      const HlrFace& qf = scene_.faces[q];
      const bool in_box = qf.umin - kPointEps <= mu && mu <= qf.umax + kPointEps &&
                          qf.vmin - kPointEps <= mv && mv <= qf.vmax + kPointEps;
      if (!in_box) continue;
      if (hlr_inside_face(scene_, qf, mu, mv) && hlr_which_in_front(pf, qf, mu, mv) == -1) return true;
    }
    return false;
  }

  void piece(int p, int other, int cls, const HlrUvd& a, const HlrUvd& b) {
    const HlrFace& pf = scene_.faces[p];
    const HlrBody& body = scene_.bodies[pf.body];
    const bool is_hidden = hidden(p, other, (a.u + b.u) * 0.5, (a.v + b.v) * 0.5);
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
        hidden_line(scene_.bodies[rf.body], s, e);
      }
    }
  }

  // The cuts between two faces turned away lie behind their own solids.
  void back_cuts() {
    for (const HlrCut& c : cuts_) {
      const HlrFace& owner = scene_.faces[c.owner];
      if (!owner.front) hidden_line(scene_.bodies[owner.body], c.a, c.b);
    }
  }

  // A hidden line drawn whole, tested against nothing and never joined.
  void hidden_line(const HlrBody& body, const HlrUvd& s, const HlrUvd& e) {
    if (!(std::sqrt((e.u - s.u) * (e.u - s.u) + (e.v - s.v) * (e.v - s.v)) > kPointEps)) return;
    HlrLine seg{s.u, s.v, e.u, e.v, static_cast<uint8_t>(options_.single_colour ? 0 : body.pen), 1};
    if (!sink_.clip(seg)) return;
    sink_.line_new(seg);
    ++counts_.lines;
  }

  HlrScene& scene_;
  const HlrOptions& options_;
  HlrSink& sink_;
  HlrCounts counts_;
  std::vector<int> candidates_;
  std::vector<int> others_;         // the candidates of other meshes, which an edge may pass through
  std::vector<char> meets_;         // per mesh: its world box meets another mesh's
  std::vector<WorldBox> face_box_;  // per face of such a mesh: the box of its world corners
  std::vector<HlrUvd> breaks_;
  std::vector<HlrCut> cuts_;    // sorted by the face that draws them
  std::vector<int> cut_start_;  // a face's cuts: cut_start_[f] .. cut_start_[f + 1]
  HlrLine join_;
  bool join_valid_ = false;
};

}  // namespace

HlrScene hlr_build(const std::vector<HlrMeshInput>& meshes,
                   const std::function<HlrUvd(const Point3&)>& project) {
  HlrScene scene;
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
      scene.world.push_back(p);
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
          f.n, [&](int i) { return scene.world[c[i]]; }, f.wx, f.wy, f.wz, f.woffset);
      newell_plane(
          f.n,
          [&](int i) {
            const HlrUvd& p = scene.uvd[c[i]];
            return Point3{p.u, p.v, p.depth};
          },
          f.a, f.b, f.c, f.d);
      f.front = f.c < -kNormalEps && !behind ? 1 : 0;
      f.behind = behind ? 1 : 0;
      scene.faces.push_back(f);
    }
  }
  double size = 1.0, world_size = 1.0;
  for (const HlrUvd& p : scene.uvd)
    if (std::isfinite(p.u) && std::isfinite(p.v) && std::isfinite(p.depth) && !behind_camera(p))
      size = std::max({size, std::fabs(p.u), std::fabs(p.v), std::fabs(p.depth)});
  for (const Point3& p : scene.world)
    if (std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z))
      world_size = std::max({world_size, std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)});
  scene.tolerance = 1e-9 * size;
  scene.world_tolerance = 1e-9 * world_size;
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
  if (std::fabs(dp - dq) < kDepthTie) return 0;
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

void hlr_face_cuts(const HlrScene& scene, int f, int g, std::vector<HlrCut>& out) {
  const HlrFace& ff = scene.faces[f];
  const HlrFace& gf = scene.faces[g];
  const double tol = scene.tolerance;
  if (ff.body == gf.body || ff.behind || gf.behind || !boxes_meet(ff, gf, tol)) return;
  // Planes left unnormalised belong to faces without area.
  auto unit = [](const HlrFace& x) { return x.a * x.a + x.b * x.b + x.c * x.c > 0.25; };
  if (!unit(ff) || !unit(gf)) return;
  double dir[3] = {ff.b * gf.c - ff.c * gf.b, ff.c * gf.a - ff.a * gf.c, ff.a * gf.b - ff.b * gf.a};
  const double len = std::sqrt(dir[0] * dir[0] + dir[1] * dir[1] + dir[2] * dir[2]);
  if (len < 1e-9) return;  // parallel planes: the faces lie against each other or apart
  if (!straddles(scene, ff, gf, tol) || !straddles(scene, gf, ff, tol)) return;
  for (double& d : dir) d /= len;
  std::vector<Crossing> cross;
  std::vector<std::pair<Crossing, Crossing>> in_f, in_g;
  plane_crossings(scene, ff, gf, dir, tol, cross);
  stretches(cross, tol, in_f);
  plane_crossings(scene, gf, ff, dir, tol, cross);
  stretches(cross, tol, in_g);
  const int owner = ff.front || !gf.front ? f : g;
  const int other = owner == f ? g : f;
  // Points that lie on an edge within this are on it: they come from
  // crossings worked out on the other face.
  const double on_edge = 16.0 * tol;
  std::vector<std::pair<double, double>> along;
  auto emit = [&](const Crossing& lo, const Crossing& hi, double t0, double t1) {
    auto at = [&](double t) {
      const double k = (t - lo.t) / (hi.t - lo.t);
      return HlrUvd{lo.p.u + k * (hi.p.u - lo.p.u), lo.p.v + k * (hi.p.v - lo.p.v),
                    lo.p.depth + k * (hi.p.depth - lo.p.depth)};
    };
    if (t1 - t0 > tol) out.push_back({owner, other, t0 == lo.t ? lo.p : at(t0), t1 == hi.t ? hi.p : at(t1)});
  };
  for (size_t i = 0, j = 0; i < in_f.size() && j < in_g.size();) {
    const Crossing& lo = in_f[i].first.t >= in_g[j].first.t ? in_f[i].first : in_g[j].first;
    const Crossing& hi = in_f[i].second.t <= in_g[j].second.t ? in_f[i].second : in_g[j].second;
    if (hi.t - lo.t > tol) {
      // Where an edge of either face runs along the line the faces only
      // touch: the edge is drawn anyway.
      along.clear();
      edges_along(scene, ff, lo.p, hi.p, dir, on_edge, along);
      edges_along(scene, gf, lo.p, hi.p, dir, on_edge, along);
      std::sort(along.begin(), along.end());
      double from = lo.t;
      for (const auto& [a0, a1] : along) {
        if (a0 > from) emit(lo, hi, from, std::min(a0, hi.t));
        from = std::max(from, a1);
        if (from >= hi.t) break;
      }
      if (from < hi.t) emit(lo, hi, from, hi.t);
    }
    if (in_f[i].second.t < in_g[j].second.t)
      ++i;
    else
      ++j;
  }
}

std::optional<HlrUvd> hlr_pierce(const HlrScene& scene, const HlrFace& p, const HlrFace& q, const HlrUvd& s,
                                 const HlrUvd& e) {
  // A mesh is taken as one surface that does not pass through itself.
  if (p.body == q.body || p.dmin > q.dmax || q.dmin > p.dmax) return std::nullopt;
  // A line wholly nearer or farther than Q cannot pass through it.
  if (q.dmax < std::min(s.depth, e.depth) - kDepthTie || q.dmin > std::max(s.depth, e.depth) + kDepthTie)
    return std::nullopt;
  // How far the line lies behind Q's plane at both ends; it passes through
  // the plane where that changes sign.
  const double ds = s.depth - hlr_plane_depth_at(q, s.u, s.v);
  const double de = e.depth - hlr_plane_depth_at(q, e.u, e.v);
  if (!(std::fabs(ds) >= kDepthTie && std::fabs(de) >= kDepthTie) || (ds < 0) == (de < 0))
    return std::nullopt;
  const double t = ds / (ds - de);
  const HlrUvd x{s.u + t * (e.u - s.u), s.v + t * (e.v - s.v), s.depth + t * (e.depth - s.depth)};
  if (x.u < q.umin - kPointEps || x.u > q.umax + kPointEps || x.v < q.vmin - kPointEps ||
      x.v > q.vmax + kPointEps)
    return std::nullopt;
  if (!hlr_inside_face(scene, q, x.u, x.v)) return std::nullopt;
  if (hlr_points_equal(x.u, x.v, s.u, s.v) || hlr_points_equal(x.u, x.v, e.u, e.v)) return std::nullopt;
  return x;
}
