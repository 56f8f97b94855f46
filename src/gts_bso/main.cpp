// gts_bso: the mesh boolean tool the main program starts.
//
//   gts_bso inter FILE1 FILE2 FOLDER
//     reads two closed surfaces (one GTS block each) and writes into FOLDER
//     the four parts "1in2.gts", "1out2.gts", "2in1.gts" and "2out1.gts":
//     the part of surface 1 inside solid 2, outside it, and the same for
//     surface 2. Triangles keep the orientation of their surface, made to
//     face outward. A face lying on the other surface goes where one copy
//     of it stays in the union and the intersection and none in the
//     difference where the solids agree (the first's into 1in2, the
//     second's into 2out1), and where they meet from outside into 1in2 and
//     2in1. The parts share their points exactly, so that union (1out2 +
//     2out1), difference (1out2 + 2in1 turned over) and intersection (1in2 +
//     2in1) each close up; a part with nothing in it has no triangles.
//     Either all four files appear or none does; the exit status is 0 only
//     then, and otherwise the reason goes to standard error as one line
//     "gts_bso: SENTENCE", or "gts_bso: SENTENCE (DETAIL)": the sentence is
//     one of a fixed few, which the program translates, the detail (counts,
//     paths, the library's trouble) is not.
//   gts_bso --check FILE
//     prints whether the surface is closed, manifold and orientable, and
//     its volume; exit status 0 when it is all three.

#include <gts.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "gts_bso/bso_mesh.h"

namespace {

// Vertices closer than this are one, for this tool as for the main
// program's reader; faces of the operands closer than this to each other's
// planes count as lying in them.
constexpr double kTol = BSO_MERGE_DISTANCE;
// How far a point the library makes may stray from where it belongs when
// faces are moved by far less than kTol to make them cross: more than the
// move itself where nearly parallel faces meet.
constexpr double kReach = 10 * kTol;

using Vec = std::array<double, 3>;

bool read_file(const char* path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

// Reads, repairs and cleans one operand, its faces made to face outward;
// false with a message on failure.
bool load(const char* path, const char* which, BsoMesh& mesh) {
  std::string text, why;
  if (!read_file(path, text)) {
    std::fprintf(stderr, "gts_bso: The %s solid cannot be read. (%s)\n", which, path);
    return false;
  }
  if (!bso_parse(text, mesh, why)) {
    std::fprintf(stderr, "gts_bso: The %s solid cannot be read. (%s: %s)\n", which, path, why.c_str());
    return false;
  }
  bso_repair_t_junctions(mesh);
  bso_drop_duplicate_triangles(mesh);
  bso_compact(mesh);
  const std::string fault = bso_surface_fault(mesh, which);
  if (!fault.empty()) {
    std::fprintf(stderr, "gts_bso: %s\n", fault.c_str());
    return false;
  }
  if (bso_volume(mesh) < 0) bso_reverse(mesh);
  return true;
}

// A surface built from a mesh, each vertex moved by its own displacement.
struct Surface {
  GtsSurface* s = nullptr;
  GNode* tree = nullptr;
  Surface() = default;
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;
  ~Surface() {
    if (tree) gts_bb_tree_destroy(tree, TRUE);
    if (s) gts_object_destroy(GTS_OBJECT(s));
  }
};

// Builds out from mesh with vertex i moved by move(i); origin learns the
// pool number (first + i) of every vertex made.
template <class Move>
void build(const BsoMesh& mesh, Move&& move, int first, Surface& out,
           std::unordered_map<GtsVertex*, int>& origin) {
  out.s = gts_surface_new(gts_surface_class(), gts_face_class(), gts_edge_class(), gts_vertex_class());
  std::vector<GtsVertex*> v;
  v.reserve(mesh.vertices.size());
  for (size_t i = 0; i < mesh.vertices.size(); ++i) {
    const Vec& p = mesh.vertices[i];
    const Vec d = move(i);
    v.push_back(gts_vertex_new(gts_vertex_class(), p[0] + d[0], p[1] + d[1], p[2] + d[2]));
    origin[v.back()] = first + static_cast<int>(i);
  }
  std::unordered_map<uint64_t, GtsEdge*> edges;
  auto edge = [&](int a, int b) {
    const uint64_t key =
        (static_cast<uint64_t>(std::max(a, b)) << 32) | static_cast<uint32_t>(std::min(a, b));
    GtsEdge*& e = edges[key];
    if (!e) e = gts_edge_new(gts_edge_class(), v[static_cast<size_t>(a)], v[static_cast<size_t>(b)]);
    return e;
  };
  for (const auto& t : mesh.triangles) {
    GtsFace* f = gts_face_new(gts_face_class(), edge(t[0], t[1]), edge(t[1], t[2]), edge(t[2], t[0]));
    gts_surface_add_face(out.s, f);
  }
}

bool is_solid(GtsSurface* s) {
  return gts_surface_is_manifold(s) && gts_surface_is_closed(s) && gts_surface_is_orientable(s);
}

// True when libgts finds faces of the surface crossing each other.
bool intersects_itself(GtsSurface* s) {
  GtsSurface* crossing = gts_surface_is_self_intersecting(s);
  if (!crossing) return false;
  gts_object_destroy(GTS_OBJECT(crossing));
  return true;
}

gint face_to_list(gpointer face, gpointer list) {
  static_cast<std::vector<GtsTriangle*>*>(list)->push_back(GTS_TRIANGLE(face));
  return 0;
}

// Where the surface self lies against the solid of the other surface:
// 1 inside, 0 outside, decided at the centre of a face farther than the
// tolerance from the other surface (a face lying on it would say either);
// -1 when every face lies on it, so that the two surfaces coincide.
int side_of(GtsSurface* self, GNode* other) {
  std::vector<GtsTriangle*> faces;
  gts_surface_foreach_face(self, face_to_list, &faces);
  int side = -1;
  for (GtsTriangle* t : faces) {
    GtsVertex *a, *b, *c;
    gts_triangle_vertices(t, &a, &b, &c);
    GtsPoint* centre =
        gts_point_new(gts_point_class(), (GTS_POINT(a)->x + GTS_POINT(b)->x + GTS_POINT(c)->x) / 3,
                      (GTS_POINT(a)->y + GTS_POINT(b)->y + GTS_POINT(c)->y) / 3,
                      (GTS_POINT(a)->z + GTS_POINT(b)->z + GTS_POINT(c)->z) / 3);
    if (gts_bb_tree_point_distance(other, centre,
                                   reinterpret_cast<GtsBBoxDistFunc>(gts_point_triangle_distance),
                                   nullptr) > 4 * kTol)
      side = gts_point_is_inside_surface(centre, other, FALSE) ? 1 : 0;
    gts_object_destroy(GTS_OBJECT(centre));
    if (side >= 0) break;
  }
  return side;
}

// The operands and what is known of where they touch: the push of the
// second one's vertices, and the edges of the faces lying on the other's.
struct Job {
  BsoMesh m1, m2;
  // Whether faces of the two lie on each other at all.
  bool touching = false;
  std::vector<Vec> push;
  std::vector<std::array<Vec, 2>> contact_edges;
};

// One way of trying: the second operand's vertices pushed along the
// normals of its faces that lie on faces of the first (so that they cross
// instead), and the whole moved by shift; both far below kTol.
struct Way {
  double push = 0;
  Vec shift{0, 0, 0};
  // The first try also makes sure neither operand crosses itself.
  bool first = false;
  // Whether the weld drops what has no area without opening the parts
  // (see weld).
  bool keep_closed = false;
};

// What became of a try.
enum TryResult : int { kWritten = 0, kFailed = 1, kNotWritten = 2, kRefused = 3, kEnded = 4 };

// The pool of all vertices of the parts, the operands' own first (at their
// own places, however they were moved for the library), and the parts as
// triangles over it: 0 1in2, 1 1out2, 2 2in1, 3 2out1.
struct Parts {
  std::vector<Vec> pool;
  std::vector<char> fixed;
  BsoMesh part[4];
};

// The result of a mode from the parts: union 1out2 + 2out1, difference
// 1out2 + 2in1 reversed, intersection 1in2 + 2in1.
BsoMesh joined(const Parts& p, int mode) {
  static const int kRows[3][2] = {{1, 3}, {1, 2}, {0, 2}};
  BsoMesh out;
  out.vertices = p.pool;
  BsoMesh second = p.part[kRows[mode][1]];
  if (mode == 1) bso_reverse(second);
  out.triangles = p.part[kRows[mode][0]].triangles;
  out.triangles.insert(out.triangles.end(), second.triangles.begin(), second.triangles.end());
  return out;
}

// Puts the points the library made where pushed faces cross back onto the
// operands' edges they lie within kTol of: such a point belongs on that
// edge, and was off it only by the push.
void snap(Parts& p, const std::vector<std::array<Vec, 2>>& edges) {
  size_t made = 0;
  for (char f : p.fixed) made += !f;
  // Contacts are few faces; a pathological count is left unsnapped, which
  // costs no more than a point a push's width off its place.
  if (made * edges.size() > 50'000'000) return;
  for (size_t i = 0; i < p.pool.size(); ++i) {
    if (p.fixed[i]) continue;
    Vec& q = p.pool[i];
    double best = kTol;
    Vec to = q;
    for (const auto& [a, b] : edges) {
      const Vec ab{b[0] - a[0], b[1] - a[1], b[2] - a[2]}, aq{q[0] - a[0], q[1] - a[1], q[2] - a[2]};
      const double len2 = ab[0] * ab[0] + ab[1] * ab[1] + ab[2] * ab[2];
      if (len2 == 0) continue;
      const double t = std::clamp((aq[0] * ab[0] + aq[1] * ab[1] + aq[2] * ab[2]) / len2, 0.0, 1.0);
      const Vec foot{a[0] + t * ab[0], a[1] + t * ab[1], a[2] + t * ab[2]};
      const double d = std::sqrt((q[0] - foot[0]) * (q[0] - foot[0]) + (q[1] - foot[1]) * (q[1] - foot[1]) +
                                 (q[2] - foot[2]) * (q[2] - foot[2]));
      if (d < best) best = d, to = foot;
    }
    q = to;
  }
}

// Makes the parts one watertight whole: vertices closer than kTol become
// one (the pieces a push left thinner than that vanish), and a vertex lying
// inside an edge of any part splits it, so that the parts meet edge to edge.
// Triangles left without area go; with keep_closed, the triangle across
// each is split at its corner so that no seam opens.
void weld(Parts& p, bool keep_closed) {
  // Where big curved surfaces cross near an operand's vertex, the points
  // made can lie a few micrometres from it, a hair for the size of such
  // solids, and leave a speck of a triangle no part pairs up. The tries
  // that keep the seams closed, made only when every other way failed,
  // weld at a ten-millionth of the size, never below kTol.
  double weld_tol = kTol;
  if (keep_closed && !p.pool.empty()) {
    Vec lo = p.pool.front(), hi = p.pool.front();
    for (const Vec& q : p.pool)
      for (size_t k = 0; k < 3; ++k) lo[k] = std::min(lo[k], q[k]), hi[k] = std::max(hi[k], q[k]);
    const Vec span{hi[0] - lo[0], hi[1] - lo[1], hi[2] - lo[2]};
    weld_tol = std::max(kTol, 2e-7 * std::sqrt(span[0] * span[0] + span[1] * span[1] + span[2] * span[2]));
  }
  const std::vector<int> map = bso_weld_map(p.pool, weld_tol, p.fixed);
  // Only the points that stay may split edges: one of those that went
  // would split an edge a hair beside the point that took its place.
  std::vector<int> compact(p.pool.size(), -1), back;
  std::vector<Vec> kept;
  for (size_t i = 0; i < map.size(); ++i)
    if (map[i] == static_cast<int>(i)) {
      compact[i] = static_cast<int>(kept.size());
      back.push_back(static_cast<int>(i));
      kept.push_back(p.pool[i]);
    }
  std::vector<int> to_kept(map.size());
  for (size_t i = 0; i < map.size(); ++i) to_kept[i] = compact[static_cast<size_t>(map[i])];
  // What a reader drops as degenerate goes now, so that the checks see the
  // parts as they will be read; the whole pool's size gives a limit no
  // smaller than that of any part alone.
  const double degenerate = bso_degenerate_limit(kept);
  for (BsoMesh& m : p.part) {
    bso_renumber(m, to_kept);
    m.vertices = kept;
    bso_repair_t_junctions(m, kTol);
    if (!keep_closed) bso_drop_degenerate(m, degenerate);
  }
  if (keep_closed) bso_drop_degenerate_closed({&p.part[0], &p.part[1], &p.part[2], &p.part[3]}, degenerate);
  for (BsoMesh& m : p.part) {
    bso_renumber(m, back);
    m.vertices.clear();
  }
}

// Why the parts would give a wrong solid, or empty when every mode's result
// is closed, wound alike, free of two-sided skins, and of a volume the
// operands' volumes allow.
std::string fault_of(const Parts& p, double v1, double v2, double area, bool touching) {
  static const char* const kModes[3] = {"union", "difference", "intersection"};
  double volume[3];
  for (int mode = 0; mode < 3; ++mode) {
    const BsoMesh r = joined(p, mode);
    const BsoEdgeReport edges = bso_edge_report(r);
    if (edges.unmatched) return std::string("the ") + kModes[mode] + " is not closed";
    // Solids that only cross each other, nowhere lying on each other, give
    // no edge of four faces: one is a sliver of the seam turned over.
    if (edges.crowded && !touching)
      return std::string("the ") + kModes[mode] + " has edges of more than two faces";
    // The intersection of solids touching in a face is that face twice,
    // once each way: nothing, as the reader sees it.
    // Only faces lying on each other can make a skin.
    if (mode < 2 && touching && bso_double_skin(r, kTol))
      return std::string("the ") + kModes[mode] + " has a two-sided skin";
    volume[mode] = bso_volume(r);
  }
  const double slack = kTol * area + 1e-9;
  if (volume[2] < -slack || volume[1] < -slack || volume[2] > std::min(v1, v2) + slack ||
      volume[0] < std::max(v1, v2) - slack || std::fabs(volume[0] - volume[1] - v2) > slack + 1e-9 * v2)
    return "the volumes do not add up";
  return {};
}

double area_of(const BsoMesh& m) {
  double area = 0;
  for (const auto& t : m.triangles) {
    const Vec& a = m.vertices[static_cast<size_t>(t[0])];
    const Vec& b = m.vertices[static_cast<size_t>(t[1])];
    const Vec& c = m.vertices[static_cast<size_t>(t[2])];
    const Vec u{b[0] - a[0], b[1] - a[1], b[2] - a[2]}, w{c[0] - a[0], c[1] - a[1], c[2] - a[2]};
    const Vec n{u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2], u[0] * w[1] - u[1] * w[0]};
    area += std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]) / 2;
  }
  return area;
}

// The four parts of one try, welded and checked: kFailed with the reason
// when the library fails or the parts would give a wrong solid, kRefused
// when an operand crosses itself.
TryResult boolean_parts(const Job& job, const Way& way, Parts& out, std::string& why) {
  const BsoMesh &m1 = job.m1, &m2 = job.m2;
  const std::vector<Vec>& push = job.push;
  out.pool = m1.vertices;
  out.pool.insert(out.pool.end(), m2.vertices.begin(), m2.vertices.end());
  out.fixed.assign(out.pool.size(), 1);
  const int base = static_cast<int>(m1.vertices.size());
  std::unordered_map<GtsVertex*, int> origin;
  Surface s1, s2;
  build(
      m1,
      [](size_t) {
        return Vec{0, 0, 0};
      },
      0, s1, origin);
  build(
      m2,
      [&](size_t i) {
        return Vec{way.push * push[i][0] + way.shift[0], way.push * push[i][1] + way.shift[1],
                   way.push * push[i][2] + way.shift[2]};
      },
      base, s2, origin);
  if (way.first) {
    // Crossing itself, a surface still looks closed, but what is inside it
    // is no longer clear: the result would have a wrong volume.
    // The second operand as it is, when this try moves it; its points
    // are numbered apart, as they go with it when the check is done.
    Surface plain;
    std::unordered_map<GtsVertex*, int> plain_origin;
    if (way.push != 0 || way.shift != Vec{0, 0, 0})
      build(
          m2,
          [](size_t) {
            return Vec{0, 0, 0};
          },
          base, plain, plain_origin);
    const char* const which[2] = {"first", "second"};
    GtsSurface* const surfaces[2] = {s1.s, plain.s ? plain.s : s2.s};
    for (int k = 0; k < 2; ++k)
      if (intersects_itself(surfaces[k]))
        return why = std::string("The ") + which[k] + " solid intersects itself.", kRefused;
  }
  for (Surface* s : {&s1, &s2}) {
    if (!is_solid(s->s)) return why = "a solid is not closed", kFailed;
    s->tree = gts_bb_tree_surface(s->s);
  }
  GtsSurfaceInter* si =
      gts_surface_inter_new(gts_surface_inter_class(), s1.s, s2.s, s1.tree, s2.tree, FALSE, FALSE);
  gboolean closed = FALSE;
  // Without an intersection curve there is nothing to check; with one it
  // must close.
  const bool crossing = si->edges != nullptr;
  if (crossing && !(gts_surface_inter_check(si, &closed) && closed)) {
    gts_object_destroy(GTS_OBJECT(si));
    return why = "the surfaces' intersection does not close", kFailed;
  }
  // The operands whole as parts: the first inside the second or outside
  // it, and the same for the second.
  auto whole = [&](bool in1, bool in2) {
    BsoMesh whole1 = m1, whole2 = m2;
    for (auto& t : whole2.triangles)
      for (int& x : t) x += base;
    whole1.vertices.clear(), whole2.vertices.clear();
    for (BsoMesh& part : out.part) part.triangles.clear();
    out.part[in1 ? 0 : 1] = std::move(whole1);
    out.part[in2 ? 2 : 3] = std::move(whole2);
  };
  if (!crossing) {
    // The surfaces do not cross: each lies wholly inside or outside the
    // other. Where a whole surface lies on the other, the two coincide: the
    // first counts as inside the second, the second as outside the first,
    // which keeps one copy in the union and in the intersection.
    const int side1 = side_of(s1.s, s2.tree), side2 = side_of(s2.s, s1.tree);
    whole(side1 != 0, side2 == 1);
  } else {
    const GtsBooleanOperation ops[4] = {GTS_1_IN_2, GTS_1_OUT_2, GTS_2_IN_1, GTS_2_OUT_1};
    for (int k = 0; k < 4; ++k) {
      GtsSurface* surface =
          gts_surface_new(gts_surface_class(), gts_face_class(), gts_edge_class(), gts_vertex_class());
      gts_surface_inter_boolean(si, surface, ops[k]);
      std::vector<GtsTriangle*> faces;
      gts_surface_foreach_face(surface, face_to_list, &faces);
      for (GtsTriangle* t : faces) {
        GtsVertex* v[3];
        gts_triangle_vertices(t, &v[0], &v[1], &v[2]);
        std::array<int, 3> tri{};
        for (int j = 0; j < 3; ++j) {
          const GtsPoint* q = GTS_POINT(v[j]);
          auto [it, added] = origin.emplace(v[j], static_cast<int>(out.pool.size()));
          // A point of an operand is where the operand has it, give or
          // take this try's move; one that is not took over the memory of
          // a point the library let go, and is new.
          if (!added) {
            const Vec& p = out.pool[static_cast<size_t>(it->second)];
            if (std::fabs(p[0] - q->x) + std::fabs(p[1] - q->y) + std::fabs(p[2] - q->z) > 3 * kTol) {
              it->second = static_cast<int>(out.pool.size());
              added = true;
            }
          }
          if (added) {
            out.pool.push_back({q->x, q->y, q->z});
            out.fixed.push_back(0);
          }
          tri[static_cast<size_t>(j)] = it->second;
        }
        out.part[k].triangles.push_back(tri);
      }
      gts_object_destroy(GTS_OBJECT(surface));
    }
  }
  gts_object_destroy(GTS_OBJECT(si));
  if (way.push != 0) snap(out, job.contact_edges);
  // Every point made where moved faces cross goes back to where the
  // operands as they are put it.
  if (way.push != 0 || way.shift != Vec{0, 0, 0})
    bso_snap_to_planes(out.pool, out.fixed, {&job.m1, &job.m2}, kReach);
  weld(out, way.keep_closed);
  // Nothing of either surface inside the other: the solids only touch,
  // along a line or at points, whatever the library made of it (slivers
  // along the line that the weld took away, a face split along an edge of
  // the other solid lying across it). The parts are then the surfaces
  // whole, as for solids apart, so that such a face is split in neither
  // order of the operands rather than in one of them.
  if (crossing && out.part[0].triangles.empty() && out.part[2].triangles.empty()) whole(false, false);
  why = fault_of(out, bso_volume(m1), bso_volume(m2), area_of(m1) + area_of(m2), job.touching);
  return why.empty() ? kWritten : kFailed;
}

const char* const kNames[4] = {"1in2.gts", "1out2.gts", "2in1.gts", "2out1.gts"};

// Writes the four files under temporary names and renames them only when
// all four were written; on failure none is left. Each part holds only the
// vertices it uses, at the pool's places, so parts meet in equal points.
bool write_parts(const std::string& folder, const Parts& parts) {
  std::string finals[4], temps[4];
  bool ok = true;
  for (int k = 0; k < 4; ++k) {
    finals[k] = folder + "/" + kNames[k];
    temps[k] = folder + "/." + kNames[k] + "." + std::to_string(getpid()) + ".tmp";
    if (!ok) continue;
    FILE* f = std::fopen(temps[k].c_str(), "w");
    if (!f) {
      ok = false;
      continue;
    }
    BsoMesh part = parts.part[k];
    part.vertices = parts.pool;
    bso_compact(part);
    // Every part that has faces starts with the same point, the first
    // operand's first: a reader that takes the volume of each part about
    // its first point (to keep the digits of far coordinates) then sums
    // volumes about one point, which only makes sense for them together.
    if (!part.triangles.empty() && !parts.pool.empty() && part.vertices.front() != parts.pool.front()) {
      part.vertices.insert(part.vertices.begin(), parts.pool.front());
      for (auto& t : part.triangles)
        for (int& x : t) ++x;
    }
    const std::string text = bso_format(part);
    const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    ok = (std::fclose(f) == 0) && written;
  }
  for (int k = 0; k < 4 && ok; ++k) ok = std::rename(temps[k].c_str(), finals[k].c_str()) == 0;
  if (!ok) {
    for (int k = 0; k < 4; ++k) {
      std::remove(temps[k].c_str());
      std::remove(finals[k].c_str());
    }
    std::fprintf(stderr, "gts_bso: The results cannot be written. (%s)\n", folder.c_str());
  }
  return ok;
}

// One try, writing the parts when they pass (why says how it failed).
int try_here(const Job& job, const Way& way, const std::string& folder, std::string& why) {
  Parts parts;
  const TryResult result = boolean_parts(job, way, parts, why);
  if (result != kWritten) return result;
  return write_parts(folder, parts) ? kWritten : kNotWritten;
}

// One try in a child process: the library ends the process on some
// inputs (faces lying in one another's planes can fail one of its
// assertions), and that must leave the next try possible. The child sends
// the reason of a failure back through a pipe.
int try_in_child(const Job& job, const Way& way, const std::string& folder, std::string& why) {
  std::fflush(nullptr);
  int channel[2];
  if (pipe(channel) != 0) return try_here(job, way, folder, why);
  const pid_t child = fork();
  if (child < 0) {
    close(channel[0]);
    close(channel[1]);
    return try_here(job, way, folder, why);
  }
  if (child == 0) {
    close(channel[0]);
    // A try the library ends leaves no core file in the working folder.
    const rlimit no_core{0, 0};
    setrlimit(RLIMIT_CORE, &no_core);
    std::string reason;
    const int result = try_here(job, way, folder, reason);
    if (!reason.empty() && write(channel[1], reason.data(), reason.size()) < 0) reason.clear();
    _exit(result);
  }
  close(channel[1]);
  why.clear();
  char buffer[256];
  for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) != 0;) {
    if (n < 0) {
      if (errno == EINTR) continue;
      break;
    }
    why.append(buffer, static_cast<size_t>(n));
  }
  close(channel[0]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0)
    if (errno != EINTR) return 1;
  if (WIFEXITED(status)) return WEXITSTATUS(status) <= kRefused ? WEXITSTATUS(status) : kFailed;
  // Ended by a signal, perhaps while writing: nothing of it may stay.
  for (const char* name : kNames) {
    std::remove((folder + "/." + name + "." + std::to_string(child) + ".tmp").c_str());
    std::remove((folder + "/" + name).c_str());
  }
  if (why.empty()) why = "the geometry library gave up";
  return kEnded;
}

int run_inter(const char* file1, const char* file2, const char* folder) {
  Job job;
  BsoMesh &m1 = job.m1, &m2 = job.m2;
  if (!load(file1, "first", m1) || !load(file2, "second", m2)) return 1;
  // Faces of the second solid lying on faces of the first (a box on the
  // floor of another, a door flush with the foot of a wall) are pushed
  // outward, by far less than the distance at which points become one, so
  // that the library sees surfaces that cross: a face of either then falls
  // on the side that keeps one copy of it where the solids agree and none
  // where they meet from outside. The pushed faces go back to their places
  // and what was thinner than that distance vanishes. Other ways follow
  // when the library gives up or a result is unsound; every try is checked.
  const BsoContacts contacts = bso_contacts(m1, m2, kTol);
  job.push = bso_push_along(m2, contacts.b);
  const std::vector<Vec>& push = job.push;
  for (const auto& [mesh, flags] : {std::pair{&m1, &contacts.a}, std::pair{&m2, &contacts.b}})
    for (size_t i = 0; i < flags->size(); ++i)
      if ((*flags)[i])
        for (int k = 0; k < 3; ++k)
          job.contact_edges.push_back(
              {mesh->vertices[static_cast<size_t>(mesh->triangles[i][static_cast<size_t>(k)])],
               mesh->vertices[static_cast<size_t>(mesh->triangles[i][static_cast<size_t>((k + 1) % 3)])]});
  const bool pushed = std::any_of(push.begin(), push.end(), [](const Vec& p) { return p != Vec{0, 0, 0}; });
  job.touching = !job.contact_edges.empty();
  const Vec there{0.7e-8, 1.3e-8, 1.9e-8}, back{-1.1e-8, -0.5e-8, -1.7e-8}, aside{2.9e-8, -2.3e-8, 1.7e-8},
      across{-2.1e-8, 3.1e-8, -2.6e-8};
  std::vector<Way> ways;
  if (pushed) ways.push_back({1e-8, {0, 0, 0}});
  ways.push_back({0, {0, 0, 0}});
  if (pushed) ways.push_back({3e-8, {0, 0, 0}});
  for (const Vec& shift : {there, back, aside, across}) {
    if (pushed) ways.push_back({1e-8, shift});
    ways.push_back({0, shift});
  }
  // Dropping what has no area can open a seam: a piece of no area along a
  // cut across nearly parallel faces (fine curved meshes), its corner on
  // the seam. When every way fails, each is tried again with the triangle
  // across such a piece split at its corner instead; ways that already
  // give a sound result are left as they were.
  const size_t plain = ways.size();
  for (size_t k = 0; k < plain; ++k) {
    ways.push_back(ways[k]);
    ways.back().keep_closed = true;
  }
  std::string why;
  bool checked = false;
  for (Way way : ways) {
    // Until a try got as far as the intersection, the next one checks.
    way.first = !checked;
    const int result = try_in_child(job, way, folder, why);
    checked = checked || result != kEnded;
    if (result == kRefused) std::fprintf(stderr, "gts_bso: %s\n", why.c_str());
    if (result != kFailed && result != kEnded) return result == kWritten ? 0 : 1;
  }
  std::fprintf(stderr, "gts_bso: No sound result could be computed. (%s)\n", why.c_str());
  return 1;
}

int run_check(const char* file) {
  BsoMesh m;
  std::string text, why;
  if (!read_file(file, text) || !bso_parse(text, m, why)) {
    std::fprintf(stderr, "gts_bso: cannot read %s %s\n", file, why.c_str());
    return 1;
  }
  bso_repair_t_junctions(m);
  bso_drop_duplicate_triangles(m);
  bso_compact(m);
  Surface s;
  std::unordered_map<GtsVertex*, int> origin;
  build(
      m,
      [](size_t) {
        return Vec{0, 0, 0};
      },
      0, s, origin);
  const bool manifold = gts_surface_is_manifold(s.s), closed = gts_surface_is_closed(s.s),
             orientable = gts_surface_is_orientable(s.s);
  std::printf("closed %d\nmanifold %d\norientable %d\nvolume %.9f\n", closed, manifold, orientable,
              gts_surface_volume(s.s));
  return manifold && closed && orientable ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::string(argv[1]) == "inter") return run_inter(argv[2], argv[3], argv[4]);
  if (argc == 3 && std::string(argv[1]) == "--check") return run_check(argv[2]);
  std::fprintf(stderr, "usage: gts_bso inter FILE1 FILE2 FOLDER\n       gts_bso --check FILE\n");
  return 2;
}
