#pragma once

// Solids the boolean tests and the boolean bench share: a UV sphere built
// as other programs export it, and the volume and closure of a mesh as its
// triangles give them.

#include <cmath>
#include <map>
#include <utility>

#include "building/solid/solid_mesh.h"
#include "model/elem.h"
#include "model/triangulate.h"
#include "model/vec3.h"

// A sphere of rings x segments quads, the quads cut into triangles and the
// poles fanned (2 segments (rings - 1) triangles), turned by the rotation
// about z by a and about x by b, then moved to c. Its winding is as built:
// callers that need the program's turn it with solid_wind_outward.
inline SolidMesh uv_sphere(Point3 c, double r, int rings, int segments, double a = 0, double b = 0) {
  SolidMesh m;
  auto place = [&](double x, double y, double z) {
    const double x1 = x * std::cos(a) - y * std::sin(a), y1 = x * std::sin(a) + y * std::cos(a);
    const double y2 = y1 * std::cos(b) - z * std::sin(b), z2 = y1 * std::sin(b) + z * std::cos(b);
    m.vertices.push_back({c.x + x1, c.y + y2, c.z + z2, 0});
  };
  place(0, 0, -r);
  for (int i = 1; i < rings; ++i) {
    const double phi = M_PI * i / rings - M_PI / 2;
    for (int j = 0; j < segments; ++j) {
      const double theta = 2 * M_PI * j / segments;
      place(r * std::cos(phi) * std::cos(theta), r * std::cos(phi) * std::sin(theta), r * std::sin(phi));
    }
  }
  place(0, 0, r);
  const int top = m.vertex_count() - 1;
  auto at = [segments](int ring, int j) { return 1 + (ring - 1) * segments + (j % segments); };
  auto tri = [&m](int p, int q, int t) {
    m.face_sizes.push_back(3);
    m.indices.insert(m.indices.end(), {p, q, t});
  };
  for (int j = 0; j < segments; ++j) {
    tri(0, at(1, j), at(1, j + 1));
    tri(top, at(rings - 1, j + 1), at(rings - 1, j));
    for (int i = 1; i + 1 < rings; ++i) {
      tri(at(i, j), at(i + 1, j), at(i + 1, j + 1));
      tri(at(i, j), at(i + 1, j + 1), at(i, j + 1));
    }
  }
  return m;
}

// m turned, where needed, to the program's winding.
inline SolidMesh wound(SolidMesh m) {
  solid_wind_outward(m);
  return m;
}

// The volume of a mesh as the program winds it (clockwise seen from
// outside), and whether its triangulated surface is closed: every directed
// edge met once, its reverse once. area, when given, receives the
// surface's area: a skin left inside or across an opening adds to it.
inline std::pair<double, bool> volume_and_closed(const MeshElem& m, double* area = nullptr) {
  FaceList* t = tri_faces_new(&m);
  tri_triangulate_faces(t, 0);
  double v = 0;
  std::map<std::pair<int, int>, int> edges;
  if (area) *area = 0;
  for (int k = 0; k < t->triangle_count; ++k) {
    const int c[3] = {t->t0[k], t->t1[k], t->t2[k]};
    const Point3 a = m.vertices[c[0]], b = m.vertices[c[1]], d = m.vertices[c[2]];
    v += a.x * (b.y * d.z - b.z * d.y) - a.y * (b.x * d.z - b.z * d.x) + a.z * (b.x * d.y - b.y * d.x);
    for (int i = 0; i < 3; ++i) ++edges[{c[i], c[(i + 1) % 3]}];
    if (area) {
      const Point3 n = vec3_cross(vec3_sub(b, a), vec3_sub(d, a));
      *area += vec3_length(n.x, n.y, n.z) / 2;
    }
  }
  tri_faces_free(t);
  bool closed = !edges.empty();
  for (const auto& [e, n] : edges) {
    auto back = edges.find({e.second, e.first});
    closed = closed && n == 1 && back != edges.end() && back->second == 1;
  }
  return {-v / 6.0, closed};
}
