#pragma once

// The winding rule of the solids the program builds, for any mesh with
// vertices, face_sizes and indices (a SolidMesh or a MeshElem): every edge
// is used once in each direction, and each face runs clockwise seen from
// outside, so that its normal (p1 - p0) x (p2 - p1) points into the solid.

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "model/elem.h"
#include "model/vec3.h"

template <class Mesh>
std::vector<std::vector<int32_t>> mesh_faces(const Mesh& m) {
  std::vector<std::vector<int32_t>> out;
  std::size_t at = 0;
  for (int32_t n : m.face_sizes) {
    out.emplace_back(m.indices.begin() + at, m.indices.begin() + at + n);
    at += n;
  }
  return out;
}

// Each directed edge once, and its reverse once.
template <class Mesh>
void expect_edges_paired(const Mesh& m) {
  std::map<std::pair<int32_t, int32_t>, int> used;
  for (const auto& f : mesh_faces(m))
    for (std::size_t k = 0; k < f.size(); ++k) ++used[{f[k], f[(k + 1) % f.size()]}];
  for (const auto& [edge, count] : used) {
    EXPECT_EQ(count, 1) << edge.first << "-" << edge.second;
    EXPECT_EQ(used.count({edge.second, edge.first}), 1u) << edge.first << "-" << edge.second << " unpaired";
  }
}

// A closed solid whose faces point inwards: its signed volume (faces fanned
// from their first vertex) is negative. For a convex solid each face's
// normal must also point towards the centre of the vertices.
template <class Mesh>
void expect_faces_inward(const Mesh& m, bool convex) {
  Point3 centre{0, 0, 0, 0};
  for (const Point3& p : m.vertices) centre = vec3_add(centre, p);
  vec3_scale(&centre, 1.0 / static_cast<double>(m.vertices.size()));
  double volume = 0.0;
  for (const auto& f : mesh_faces(m)) {
    const Point3 &p0 = m.vertices[f[0]], &p1 = m.vertices[f[1]], &p2 = m.vertices[f[2]];
    for (std::size_t k = 1; k + 1 < f.size(); ++k)
      volume += vec3_dot(vec3_sub(m.vertices[f[k]], centre),
                         vec3_cross(vec3_sub(m.vertices[f[k + 1]], centre), vec3_sub(p0, centre))) /
                6.0;
    if (!convex) continue;
    const Point3 n = vec3_cross(vec3_sub(p1, p0), vec3_sub(p2, p1));
    EXPECT_GT(vec3_dot(n, vec3_sub(centre, p0)), 0.0) << "face at " << f[0];
  }
  EXPECT_LT(volume, 0.0) << "faces wound outwards";
}
