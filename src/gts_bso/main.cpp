// gts_bso: the mesh boolean tool the main program starts.
//
//   gts_bso inter FILE1 FILE2 FOLDER
//     reads two closed surfaces (one GTS block each) and writes into FOLDER
//     the four parts "1in2.gts", "1out2.gts", "2in1.gts" and "2out1.gts":
//     the part of surface 1 inside solid 2, outside it, and the same for
//     surface 2. Triangles keep the orientation of their surface, made to
//     face outward. Either all four files appear or none does; the exit
//     status is 0 only then.
//   gts_bso --check FILE
//     prints whether the surface is closed, manifold and orientable, and
//     its volume; exit status 0 when it is all three.

#include <gts.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "gts_bso/bso_mesh.h"

namespace {

bool read_file(const char* path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

// Reads, repairs and cleans one operand; false with a message on failure.
bool load(const char* path, BsoMesh& mesh) {
  std::string text, why;
  if (!read_file(path, text)) {
    std::fprintf(stderr, "gts_bso: cannot read %s\n", path);
    return false;
  }
  if (!bso_parse(text, mesh, why)) {
    std::fprintf(stderr, "gts_bso: %s: %s\n", path, why.c_str());
    return false;
  }
  bso_repair_t_junctions(mesh);
  bso_drop_duplicate_triangles(mesh);
  bso_compact(mesh);
  if (mesh.triangles.empty()) {
    std::fprintf(stderr, "gts_bso: %s: no triangles\n", path);
    return false;
  }
  return true;
}

// A surface built from a mesh moved by offset, with the orientation of its
// triangles as given.
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

void build(const BsoMesh& mesh, const double offset[3], Surface& out) {
  out.s = gts_surface_new(gts_surface_class(), gts_face_class(), gts_edge_class(), gts_vertex_class());
  std::vector<GtsVertex*> v;
  v.reserve(mesh.vertices.size());
  for (const auto& p : mesh.vertices)
    v.push_back(gts_vertex_new(gts_vertex_class(), p[0] + offset[0], p[1] + offset[1], p[2] + offset[2]));
  std::map<std::pair<int, int>, GtsEdge*> edges;
  auto edge = [&](int a, int b) {
    const auto key = std::minmax(a, b);
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

gint face_to_list(gpointer face, gpointer list) {
  static_cast<std::vector<GtsTriangle*>*>(list)->push_back(GTS_TRIANGLE(face));
  return 0;
}

gint revert_face(gpointer face, gpointer) {
  gts_triangle_revert(GTS_TRIANGLE(face));
  return 0;
}

// The faces of s as a mesh, moved back by offset, each (v1, v2, v3) in the
// library's order, which its volume takes as outward.
BsoMesh to_mesh(GtsSurface* s, const double offset[3]) {
  std::vector<GtsTriangle*> faces;
  gts_surface_foreach_face(s, face_to_list, &faces);
  BsoMesh mesh;
  std::unordered_map<GtsVertex*, int> number;
  auto index = [&](GtsVertex* x) {
    auto [it, added] = number.emplace(x, static_cast<int>(mesh.vertices.size()));
    if (added) {
      const GtsPoint* p = GTS_POINT(x);
      mesh.vertices.push_back({p->x - offset[0], p->y - offset[1], p->z - offset[2]});
    }
    return it->second;
  };
  for (GtsTriangle* t : faces) {
    GtsVertex *a, *b, *c;
    gts_triangle_vertices(t, &a, &b, &c);
    mesh.triangles.push_back({index(a), index(b), index(c)});
  }
  return mesh;
}

// The four parts, in the order of kNames; false when the library finds the
// intersection unusable.
bool boolean_parts(const BsoMesh& m1, const BsoMesh& m2, const double offset[3], BsoMesh parts[4]) {
  const double none[3] = {0, 0, 0};
  Surface s1, s2;
  build(m1, none, s1);
  build(m2, offset, s2);
  for (Surface* s : {&s1, &s2}) {
    if (!is_solid(s->s)) {
      std::fprintf(stderr, "gts_bso: an operand is not a closed, manifold, orientable surface\n");
      return false;
    }
    if (gts_surface_volume(s->s) < 0) gts_surface_foreach_face(s->s, revert_face, nullptr);
    s->tree = gts_bb_tree_surface(s->s);
  }
  GtsSurfaceInter* si =
      gts_surface_inter_new(gts_surface_inter_class(), s1.s, s2.s, s1.tree, s2.tree, FALSE, FALSE);
  gboolean closed = FALSE;
  // Without an intersection curve there is nothing to check; with one it
  // must close.
  const bool ok = !si->edges || (gts_surface_inter_check(si, &closed) && closed);
  if (ok && !si->edges) {
    // The surfaces do not cross: each lies wholly inside or outside the
    // other. A face's centre decides, away from shared corners.
    Surface* pair[2][2] = {{&s1, &s2}, {&s2, &s1}};
    for (int k = 0; k < 2; ++k) {
      GtsSurface* self = pair[k][0]->s;
      std::vector<GtsTriangle*> faces;
      gts_surface_foreach_face(self, face_to_list, &faces);
      GtsVertex *a, *b, *c;
      gts_triangle_vertices(faces.front(), &a, &b, &c);
      GtsPoint* centre =
          gts_point_new(gts_point_class(), (GTS_POINT(a)->x + GTS_POINT(b)->x + GTS_POINT(c)->x) / 3,
                        (GTS_POINT(a)->y + GTS_POINT(b)->y + GTS_POINT(c)->y) / 3,
                        (GTS_POINT(a)->z + GTS_POINT(b)->z + GTS_POINT(c)->z) / 3);
      const bool in = gts_point_is_inside_surface(centre, pair[k][1]->tree, FALSE);
      gts_object_destroy(GTS_OBJECT(centre));
      const double* back = k == 0 ? none : offset;
      // parts: 0 1in2, 1 1out2, 2 2in1, 3 2out1
      parts[2 * k + (in ? 0 : 1)] = to_mesh(self, back);
      parts[2 * k + (in ? 1 : 0)] = BsoMesh{};
    }
  } else if (ok) {
    const GtsBooleanOperation ops[4] = {GTS_1_IN_2, GTS_1_OUT_2, GTS_2_IN_1, GTS_2_OUT_1};
    for (int k = 0; k < 4; ++k) {
      GtsSurface* out =
          gts_surface_new(gts_surface_class(), gts_face_class(), gts_edge_class(), gts_vertex_class());
      gts_surface_inter_boolean(si, out, ops[k]);
      parts[k] = to_mesh(out, k < 2 ? none : offset);
      gts_object_destroy(GTS_OBJECT(out));
    }
  }
  gts_object_destroy(GTS_OBJECT(si));
  return ok;
}

const char* const kNames[4] = {"1in2.gts", "1out2.gts", "2in1.gts", "2out1.gts"};

// Writes the four files under temporary names and renames them only when
// all four were written; on failure none is left.
bool write_parts(const std::string& folder, const BsoMesh parts[4]) {
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
    const std::string text = bso_format(parts[k]);
    const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    ok = (std::fclose(f) == 0) && written;
  }
  for (int k = 0; k < 4 && ok; ++k) ok = std::rename(temps[k].c_str(), finals[k].c_str()) == 0;
  if (!ok) {
    for (int k = 0; k < 4; ++k) {
      std::remove(temps[k].c_str());
      std::remove(finals[k].c_str());
    }
    std::fprintf(stderr, "gts_bso: cannot write the results into %s\n", folder.c_str());
  }
  return ok;
}

// One try in a child process: the library ends the process on some
// inputs (faces lying in one another's planes can fail one of its
// assertions), and that must leave the next try possible. 0 when the parts
// were written, 1 when this try failed, 2 when writing failed.
int try_in_child(const BsoMesh& m1, const BsoMesh& m2, const double offset[3], const std::string& folder) {
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child < 0) {
    BsoMesh parts[4];
    if (!boolean_parts(m1, m2, offset, parts)) return 1;
    return write_parts(folder, parts) ? 0 : 2;
  }
  if (child == 0) {
    // A try the library ends leaves no core file in the working folder.
    const rlimit no_core{0, 0};
    setrlimit(RLIMIT_CORE, &no_core);
    BsoMesh parts[4];
    if (!boolean_parts(m1, m2, offset, parts)) _exit(1);
    _exit(write_parts(folder, parts) ? 0 : 2);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0)
    if (errno != EINTR) return 1;
  if (WIFEXITED(status)) return WEXITSTATUS(status) <= 2 ? WEXITSTATUS(status) : 1;
  // Ended by a signal, perhaps while writing: nothing of it may stay.
  for (const char* name : kNames) {
    std::remove((folder + "/." + name + "." + std::to_string(child) + ".tmp").c_str());
    std::remove((folder + "/" + name).c_str());
  }
  return 1;
}

int run_inter(const char* file1, const char* file2, const char* folder) {
  BsoMesh m1, m2;
  if (!load(file1, m1) || !load(file2, m2)) return 1;
  // Faces lying in one plane (two boxes on one floor, a box in the corner
  // of another) can defeat the intersection; later tries move the second
  // operand by a distance far below what the main program's reader merges,
  // one way and then the other, and back when writing.
  const double offsets[3][3] = {{0, 0, 0}, {1.1e-7, 2.3e-7, 3.7e-7}, {-1.3e-7, -1.9e-7, -2.9e-7}};
  for (const auto& offset : offsets) {
    const int result = try_in_child(m1, m2, offset, folder);
    if (result != 1) return result == 0 ? 0 : 1;
  }
  std::fprintf(stderr, "gts_bso: the intersection of the surfaces could not be computed\n");
  return 1;
}

int run_check(const char* file) {
  BsoMesh m;
  if (!load(file, m)) return 1;
  const double none[3] = {0, 0, 0};
  Surface s;
  build(m, none, s);
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
