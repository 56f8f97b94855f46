#include "building/solid/gts_file.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cinttypes>
#include <cmath>
#include <cstdlib>
#include <unordered_map>

#include "model/geom.h"
#include "model/import_range.h"
#include "model/layers.h"
#include "model/nls.h"
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

// repair3d puts a point into an edge A-B when its foot lies between A and
// B, farther than this share of the edge's length from both, and it is
// closer to the edge than that share of the edge's length: on
// the edge for the edge's own size, so that a point a fraction of a
// millimetre beside an edge of a centimetre stays out of it, while one
// that a face lost as a straight corner goes back.
constexpr double REPAIR_SHARE = 1e-6;

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

// The words of a GTS text, read from a stream one by one, with the line
// each begins on. A word longer than any number is read whole and is no
// number.
class Words {
 public:
  explicit Words(FILE* f) : f_(f) {}

  // The next word; false at the end of the file.
  bool next() {
    int c = getc_unlocked(f_);
    while (c != EOF && std::isspace(c)) {
      if (c == '\n') ++line_;
      c = getc_unlocked(f_);
    }
    size_ = 0;
    // At the end the fault is told at the last word.
    if (c == EOF) return false;
    word_line_ = line_;
    while (c != EOF && !std::isspace(c)) {
      if (size_ < sizeof word_) word_[size_] = static_cast<char>(c);
      ++size_;
      c = getc_unlocked(f_);
    }
    // The white space after the word belongs to the next one.
    if (c != EOF) ungetc(c, f_);
    return true;
  }
  bool number(double& out) { return next() && parse(out); }
  bool number(long long& out) { return next() && parse(out); }
  // The line the last word began on.
  long long line() const { return word_line_; }
  bool at_end() const { return size_ == 0; }

 private:
  template <class T>
  bool parse(T& out) const {
    if (size_ == 0 || size_ > sizeof word_) return false;
    const char* first = word_;
    const char* last = word_ + size_;
    if (*first == '+' && size_ > 1 && first[1] != '-') ++first;
    const auto [end, ec] = std::from_chars(first, last, out);
    return ec == std::errc() && end == last;
  }

  FILE* f_;
  char word_[64];
  size_t size_ = 0;
  long long line_ = 1, word_line_ = 1;
};

// Bytes left in f from its position, or -1 when it cannot be told.
long long bytes_left(FILE* f) {
  const long here = std::ftell(f);
  if (here < 0 || std::fseek(f, 0, SEEK_END) != 0) return -1;
  const long end = std::ftell(f);
  if (std::fseek(f, here, SEEK_SET) != 0 || end < here) return -1;
  return end - here;
}

// Puts every point no triangle uses into the edge of the first triangle
// it lies on (closer than GTS_LEFTOVER_DISTANCE, its foot within the edge),
// splitting that triangle in two with its winding kept; the points are
// taken in order, the triangles in order with those split off at the end.
// A point may come to lie on an edge that a later point made, so the round
// is repeated until it puts in none. Returns the points no triangle used
// and the triangles made.
std::pair<int, int> insert_leftover_points(const std::vector<Point3>& points, std::vector<int32_t>& tris) {
  std::vector<char> used(points.size(), 0);
  for (int32_t x : tris) used[static_cast<size_t>(x)] = 1;
  std::vector<int> waiting;
  for (size_t p = 0; p < points.size(); ++p)
    if (!used[p]) waiting.push_back(static_cast<int>(p));
  const int unused = static_cast<int>(waiting.size());
  if (waiting.empty()) return {0, 0};

  // The triangles near each waiting point, found through a tree of the
  // waiting points by the edges of every triangle as it is made or changed:
  // a superset of those the point lies on, in which the first by number
  // is looked for.
  std::vector<Point3> spots;
  for (int p : waiting) spots.push_back(points[static_cast<size_t>(p)]);
  const PointTree tree(spots);
  std::vector<std::vector<int>> near(waiting.size());
  std::vector<char> placed(waiting.size(), 0);
  const double reach = GTS_LEFTOVER_DISTANCE * (1 + 1e-6);
  auto place = [&](int k) {
    const size_t at = 3 * static_cast<size_t>(k);
    for (int c = 0; c < 3; ++c)
      tree.near_segment(points[static_cast<size_t>(tris[at + c])],
                        points[static_cast<size_t>(tris[at + (c + 1) % 3])], reach, [&](int w) {
                          if (placed[static_cast<size_t>(w)]) return;
                          auto& list = near[static_cast<size_t>(w)];
                          if (list.empty() || list.back() != k) list.push_back(k);
                        });
  };
  for (size_t k = 0; k < tris.size() / 3; ++k) place(static_cast<int>(k));

  int created = 0;
  for (bool again = true; again;) {
    again = false;
    for (size_t w = 0; w < waiting.size(); ++w) {
      if (placed[w]) continue;
      const int p = waiting[w];
      const Point3 pp = points[static_cast<size_t>(p)];
      auto on_edge = [&](int a, int b) {
        Point3 foot{};
        const double d = vec3_project_on_segment(pp, points[static_cast<size_t>(a)],
                                                 points[static_cast<size_t>(b)], &foot);
        return foot.mark == 1 && d < GTS_LEFTOVER_DISTANCE;
      };
      std::vector<int>& candidates = near[w];
      std::sort(candidates.begin(), candidates.end());
      candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
      for (int k : candidates) {
        const size_t at = 3 * static_cast<size_t>(k);
        const int t0 = tris[at], t1 = tris[at + 1], t2 = tris[at + 2];
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
        std::copy(keep, keep + 3, tris.begin() + static_cast<std::ptrdiff_t>(at));
        tris.insert(tris.end(), added, added + 3);
        placed[w] = 1;
        place(k);
        place(static_cast<int>(tris.size() / 3) - 1);
        ++created;
        again = true;
        break;
      }
    }
  }
  return {unused, created};
}

using Tri3 = std::array<int32_t, 3>;

// The triangles a mesh is written as: faces of more corners split as the
// exporters split them, in the faces' order; a triangle of three distinct
// vertices as it is, however thin, since leaving it out would open the
// surface and the reader keeps it.
std::vector<Tri3> gts_triangles(const MeshElem& mesh) {
  FaceList* split = tri_faces_new(&mesh);
  tri_triangulate_faces(split, 0);
  std::vector<Tri3> out;
  out.reserve(static_cast<size_t>(split->triangle_count));
  const int v = mesh.vertex_count();
  size_t at = 0, k = 0;
  for (int32_t face = 0; face < mesh.face_count(); ++face) {
    const int32_t n = mesh.face_sizes[static_cast<size_t>(face)];
    if (n < 0 || at + static_cast<size_t>(n) > mesh.indices.size()) break;
    const int32_t* c = mesh.indices.data() + at;
    at += static_cast<size_t>(n);
    const bool whole = n == 3 && c[0] != c[1] && c[1] != c[2] && c[2] != c[0] &&
                       std::all_of(c, c + 3, [v](int32_t i) { return i >= 0 && i < v; });
    // The split's triangles of this face, taken either way.
    const size_t from = k;
    while (k < split->face_of.size() && split->face_of[k] == face) ++k;
    if (whole) {
      out.push_back({c[0], c[1], c[2]});
      continue;
    }
    for (size_t i = from; i < k; ++i) out.push_back({split->t0[i], split->t1[i], split->t2[i]});
  }
  tri_faces_free(split);
  return out;
}

// Writes c with a blank after it and returns the characters written: with
// the fifteen decimals of the format where they give c back exactly, and
// otherwise with the digits that do, so that a file read back holds the
// very points that were written.
int write_exact(double c, char* out) {
  int n = std::snprintf(out, 40, "%.15f", c);
  if (n <= 0 || n >= 39 || std::strtod(out, nullptr) != c) n = std::snprintf(out, 40, "%.17g", c);
  out[n] = ' ';
  return n + 1;
}

}  // namespace

std::string gts_read_error_message(const GtsReadError& error) {
  const char* reason = "";
  switch (error.kind) {
    case GtsReadError::NONE:
    case GtsReadError::CANCELLED:
      return "";
    case GtsReadError::EMPTY:
      return "***ERROR***\nGTS file is empty\n";
    case GtsReadError::HEADER:
      reason = nls_mark("Line %lld of the GTS file holds no surface header: three counts and four words.");
      break;
    case GtsReadError::NEGATIVE_COUNT:
      reason = nls_mark(
          "The GTS file counts %lld points, %lld edges and %lld triangles: no count can be below zero.");
      break;
    case GtsReadError::COUNTS_BEYOND_FILE:
      reason = nls_mark(
          "The GTS file counts %lld points, %lld edges and %lld triangles: more than the file holds.");
      break;
    case GtsReadError::POINT:
      reason = nls_mark("Line %lld of the GTS file: point %lld is not three numbers.");
      break;
    case GtsReadError::POINT_NOT_FINITE:
      reason = nls_mark("Line %lld of the GTS file: point %lld has a coordinate that is no finite number.");
      break;
    case GtsReadError::POINT_OUT_OF_RANGE:
      reason =
          nls_mark("Line %lld of the GTS file: point %lld has a coordinate beyond what a drawing can hold.");
      break;
    case GtsReadError::ENDS_IN_POINTS:
      reason = nls_mark("The GTS file ends at line %lld, before point %lld of %lld.");
      break;
    case GtsReadError::EDGE:
      reason = nls_mark("Line %lld of the GTS file: edge %lld is not two point numbers.");
      break;
    case GtsReadError::EDGE_POINT:
      reason = nls_mark("Line %lld of the GTS file: edge %lld names point %lld; there are points 1 to %lld.");
      break;
    case GtsReadError::ENDS_IN_EDGES:
      reason = nls_mark("The GTS file ends at line %lld, before edge %lld of %lld.");
      break;
    case GtsReadError::TRIANGLE:
      reason = nls_mark("Line %lld of the GTS file: triangle %lld is not three edge numbers.");
      break;
    case GtsReadError::TRIANGLE_EDGE:
      reason =
          nls_mark("Line %lld of the GTS file: triangle %lld names edge %lld; there are edges 1 to %lld.");
      break;
    case GtsReadError::ENDS_IN_TRIANGLES:
      reason = nls_mark("The GTS file ends at line %lld, before triangle %lld of %lld.");
      break;
    case GtsReadError::NO_AREA:
      reason = nls_mark("No triangle of the GTS file has an area.");
      break;
  }
  char text[512];
  switch (error.kind) {
    case GtsReadError::NEGATIVE_COUNT:
    case GtsReadError::COUNTS_BEYOND_FILE:
      std::snprintf(text, sizeof text, nls_translate(reason), error.counts[0], error.counts[1],
                    error.counts[2]);
      break;
    case GtsReadError::ENDS_IN_POINTS:
      std::snprintf(text, sizeof text, nls_translate(reason), error.line, error.item, error.counts[0]);
      break;
    case GtsReadError::ENDS_IN_EDGES:
      std::snprintf(text, sizeof text, nls_translate(reason), error.line, error.item, error.counts[1]);
      break;
    case GtsReadError::ENDS_IN_TRIANGLES:
      std::snprintf(text, sizeof text, nls_translate(reason), error.line, error.item, error.counts[2]);
      break;
    default:
      std::snprintf(text, sizeof text, nls_translate(reason), error.line, error.item, error.value,
                    error.limit);
      break;
  }
  return std::string("***ERROR***\nLoading .gts file failed\n") + text;
}

std::string gts_left_out_message(const GtsReadError& error) {
  if (error.unjoined + error.collapsed == 0) return "";
  char text[512];
  std::snprintf(text, sizeof text,
                nls_translate("%lld triangles of the GTS file were left out: %lld whose two edges share no "
                              "point, %lld whose corners lie within a micrometre of each other."),
                error.unjoined + error.collapsed, error.unjoined, error.collapsed);
  return text;
}

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
    const std::vector<Tri3> tris = gts_triangles(*mesh);
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
    for (const Tri3& t : tris) {
      add(t[2], t[1]);
      add(t[1], t[0]);
      add(t[0], t[2]);
    }
    if (std::fprintf(f, "%d %d %d GtsSurface GtsFace GtsEdge GtsVertex\n", mesh->vertex_count(),
                     static_cast<int>(first.size()), static_cast<int>(tris.size())) < 0)
      ok = false;
    for (const Point3& p : mesh->vertices) {
      char line[3 * 40];
      int at = 0;
      for (double c : {p.x, p.y, p.z}) at += write_exact(c, line + at);
      line[at - 1] = '\n';
      std::fwrite(line, 1, static_cast<size_t>(at), f);
    }
    for (size_t i = 0; i < first.size(); ++i) std::fprintf(f, "%d %d\n", first[i] + 1, second[i] + 1);
    for (const Tri3& t : tris)
      std::fprintf(f, "%d %d %d\n", edge_of[pair_key(t[2], t[0])], edge_of[pair_key(t[1], t[2])],
                   edge_of[pair_key(t[0], t[1])]);
  }
  if (std::fflush(f) != 0 || std::ferror(f)) ok = false;
  return ok ? 1 : 0;
}

int mesh_triangle_degenerate(const Point3* vertices, int i, int j, int k) {
  const Point3 ab = vec3_sub(vertices[j], vertices[i]), ac = vec3_sub(vertices[k], vertices[i]);
  const Point3 bc = vec3_sub(vertices[k], vertices[j]);
  const Point3 n = vec3_cross(ab, ac);
  const double longest = std::max({vec3_dot(ab, ab), vec3_dot(ac, ac), vec3_dot(bc, bc)});
  // Not above: a triangle whose corners are one point is degenerate too.
  return !((std::fabs(n.x) + std::fabs(n.y) + std::fabs(n.z)) / 2.0 > MESH_DEGENERATE_SHARE * longest) ? 1
                                                                                                       : 0;
}

int translate_gts_kavro(FILE* f, int flip, const std::function<bool()>& step, GtsReadError* why) {
  GtsReadError error_store;
  GtsReadError& error = why ? *why : error_store;
  error = GtsReadError{};
  if (!f) return 0;
  Words in(f);
  auto fail = [&](GtsReadError::Kind kind, long long item = 0, long long value = 0, long long limit = 0) {
    error.kind = kind;
    error.line = in.line();
    error.item = item;
    error.value = value;
    error.limit = limit;
    return 0;
  };
  long long counts[3] = {0, 0, 0};
  for (long long& c : counts)
    if (!in.number(c)) return fail(GtsReadError::HEADER);
  for (int k = 0; k < 4; ++k)
    if (!in.next()) return fail(GtsReadError::HEADER);
  const long long v = counts[0], e = counts[1], t = counts[2];
  error.counts[0] = v, error.counts[1] = e, error.counts[2] = t;
  if (v < 0 || e < 0 || t < 0) return fail(GtsReadError::NEGATIVE_COUNT);
  if (v == 0 || e == 0 || t == 0) return fail(GtsReadError::EMPTY);
  // Every line holds at least one character per number and a separator, so
  // counts the rest of the file cannot hold are refused before allocating.
  const long long left = bytes_left(f);
  if (v > 100000000 || e > 100000000 || t > 100000000 || (left >= 0 && v * 6 + e * 4 + t * 6 - 1 > left))
    return fail(GtsReadError::COUNTS_BEYOND_FILE, 0, left);
  auto cancelled = [&] {
    if (step && !step()) {
      error.kind = GtsReadError::CANCELLED;
      return true;
    }
    return false;
  };

  std::vector<Point3> retained;
  std::vector<int> map(static_cast<size_t>(v));
  PointGrid grid;
  for (long long i = 0; i < v; ++i) {
    if (cancelled()) return 0;
    Point3 p{};
    if (!in.number(p.x) || !in.number(p.y) || !in.number(p.z))
      return fail(in.at_end() ? GtsReadError::ENDS_IN_POINTS : GtsReadError::POINT, i + 1);
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
      return fail(GtsReadError::POINT_NOT_FINITE, i + 1);
    // Farther out, a cross product of two edges would not stay finite.
    if (!import_in_range(p.x) || !import_in_range(p.y) || !import_in_range(p.z))
      return fail(GtsReadError::POINT_OUT_OF_RANGE, i + 1);
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
    if (cancelled()) return 0;
    long long ends[2] = {0, 0};
    for (long long& x : ends) {
      if (!in.number(x)) return fail(in.at_end() ? GtsReadError::ENDS_IN_EDGES : GtsReadError::EDGE, i + 1);
      if (x < 1 || x > v) return fail(GtsReadError::EDGE_POINT, i + 1, x, v);
    }
    ea[static_cast<size_t>(i)] = static_cast<int>(ends[0] - 1);
    eb[static_cast<size_t>(i)] = static_cast<int>(ends[1] - 1);
  }
  std::vector<int32_t> tris;
  int dropped = 0;
  bool any_area = false;
  for (long long k = 0; k < t; ++k) {
    if (cancelled()) return 0;
    long long n[3] = {0, 0, 0};
    for (long long& x : n) {
      if (!in.number(x))
        return fail(in.at_end() ? GtsReadError::ENDS_IN_TRIANGLES : GtsReadError::TRIANGLE, k + 1);
      if (x < 1 || x > e) return fail(GtsReadError::TRIANGLE_EDGE, k + 1, x, e);
    }
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
      ++error.unjoined;
      continue;
    }
    for (int& x : c) x = map[static_cast<size_t>(x)];
    // Only a triangle whose corners became one vertex goes: its edge
    // collapsed with the points, and so did the edge of its neighbour
    // across it, which goes too, so a closed surface stays closed. A thin
    // triangle stays, however small: taking it out would open the surface.
    if (c[0] == c[1] || c[1] == c[2] || c[2] == c[0]) {
      ++dropped;
      ++error.collapsed;
      continue;
    }
    any_area = any_area || !mesh_triangle_degenerate(retained.data(), c[0], c[1], c[2]);
    tris.insert(tris.end(), c, c + 3);
  }
  const int u = static_cast<int>(retained.size());
  std::printf(
      "STATS: ### translate_gts_kavro ###\n%d points read\n%d duplicate points removed\n%d triangles "
      "read\n%d "
      "degenerated triangles removed\n",
      static_cast<int>(v), static_cast<int>(v) - u, static_cast<int>(t), dropped);

  const auto [unused, created] = insert_leftover_points(retained, tris);
  std::printf("%d unused points\n%d triangles created\n", unused, created);
  if (created < unused) std::printf("%d unused points left !!!!!\n", unused - created);

  if (!any_area || u <= 2) return fail(GtsReadError::NO_AREA);
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

bool clean3d(const MeshElem& mesh, const TriProgress& progress) {
  std::vector<Point3> vertices = mesh.vertices;
  std::vector<int32_t> sizes, indices;
  auto faces = valid_faces(mesh);
  size_t done = 0;
  for (auto& face : faces) {
    if (progress && (++done & 4095) == 0 && !progress(static_cast<double>(done) / faces.size())) return false;
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
  return true;
}

bool repair3d(const MeshElem& mesh, const TriProgress& progress) {
  std::vector<Point3> vertices = mesh.vertices;
  const PointTree tree(vertices);
  const auto faces = valid_faces(mesh);
  std::vector<int32_t> sizes, indices;
  int inserted = 0, old_total = 0;
  std::vector<std::pair<double, int>> on;
  // A corner of the face itself, or of a face running along the edge the
  // other way, is no point the edge lost: the apex of a thin triangle
  // along the edge (a few micrometres from a corner, where fine curved
  // surfaces cut each other) put into it would fold that triangle onto
  // itself and open the closed edge.
  auto key = [](int32_t a, int32_t b) {
    return (static_cast<uint64_t>(static_cast<uint32_t>(a)) << 32) | static_cast<uint32_t>(b);
  };
  std::unordered_multimap<uint64_t, size_t> face_along;
  for (size_t f = 0; f < faces.size(); ++f)
    for (size_t c = 0; c < faces[f].size(); ++c)
      face_along.emplace(key(faces[f][c], faces[f][(c + 1) % faces[f].size()]), f);
  auto corner_of = [&faces](size_t f, int p) {
    return std::find(faces[f].begin(), faces[f].end(), p) != faces[f].end();
  };
  size_t done = 0;
  for (size_t f = 0; f < faces.size(); ++f) {
    const auto& face = faces[f];
    if (progress && (++done & 4095) == 0 && !progress(static_cast<double>(done) / faces.size())) return false;
    old_total += static_cast<int>(face.size());
    const size_t start = indices.size();
    for (size_t c = 0; c < face.size(); ++c) {
      const int a = face[c], b = face[(c + 1) % face.size()];
      const Point3 pa = vertices[static_cast<size_t>(a)], pb = vertices[static_cast<size_t>(b)];
      indices.push_back(a);
      const Point3 d = vec3_sub(pb, pa);
      const double ab2 = vec3_dot(d, d);
      const double reach = REPAIR_SHARE * std::sqrt(ab2);
      on.clear();
      const auto across = face_along.equal_range(key(b, a));
      if (ab2 > 0)
        tree.near_segment(pa, pb, reach, [&](int p) {
          if (p == a || p == b || corner_of(f, p)) return;
          for (auto it = across.first; it != across.second; ++it)
            if (corner_of(it->second, p)) return;
          const Point3 ap = vec3_sub(vertices[static_cast<size_t>(p)], pa);
          const double t = vec3_dot(ap, d) / ab2;
          // A point by an end is at that end, not on the edge.
          if (!(t > REPAIR_SHARE && t < 1 - REPAIR_SHARE)) return;
          const Point3 off = vec3_cross(ap, d);
          // |AP x AB| / |AB| is the distance from the line.
          if (vec3_dot(off, off) < reach * reach * ab2) on.emplace_back(t, p);
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
  return true;
}

namespace {

// Replaces the last mesh by what step appends for it; false when step
// was stopped and appended nothing.
template <class Step>
bool replace_last(Step step) {
  auto* m = elem_as<MeshElem>(elem_list_tail);
  if (!m) return true;
  if (!step(*m)) return false;
  if (elem_list_tail == m) return true;
  m->mark = 1;
  elem_purge_marked();
  return true;
}

}  // namespace

bool mesh_clean_up_last(const TriProgress& progress, double off_plane) {
  // The shares of the bar follow the time each step takes.
  auto part = [&progress](double from, double to) -> TriProgress {
    if (!progress) return {};
    return [&progress, from, to](double done) { return progress(from + (to - from) * done); };
  };
  return replace_last(
             [&](const MeshElem& m) { return tri_merge_triangles(&m, part(0.0, 0.5), off_plane); }) &&
         (!progress || progress(0.5)) &&
         replace_last([&](const MeshElem& m) { return clean3d(m, part(0.5, 0.6)); }) &&
         (!progress || progress(0.6)) &&
         replace_last([&](const MeshElem& m) { return repair3d(m, part(0.6, 1.0)); });
}
