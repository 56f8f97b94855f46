// Triangles of no area in the boolean tool's parts: they go without
// opening the surface.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "gts_bso/bso_mesh.h"

namespace {

double doubled_area(const BsoMesh& m, const std::array<int, 3>& t) {
  const auto& a = m.vertices[static_cast<size_t>(t[0])];
  const auto& b = m.vertices[static_cast<size_t>(t[1])];
  const auto& c = m.vertices[static_cast<size_t>(t[2])];
  const double u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]}, w[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
  return std::hypot(u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2], u[0] * w[1] - u[1] * w[0]);
}

// A pyramid over the square [0, 1] x [-0.5, 0.5] at z = 1, its apex at
// (0.5, 0, -1): a volume of 1 x 2 / 3. The top is cut along a chain
// A = (0, 0), B = (0.5, h), C = (0.55, 1.1 h), P = (1, 0) with h = 2e-6:
// above it, triangles meet the chain in A-B, B-C and C-P; below it, one
// thin triangle A-P-B spans it, so C lies on its edge P-B (0.4 um off it)
// as a T-junction. B lies on the line A-C: splitting A-P-B at C leaves a
// piece C-B-A of no area along the split's own diagonal.
BsoMesh pyramid_with_a_thin_cut() {
  const double h = 2e-6;
  BsoMesh m;
  enum { A, B, C, P, Q1, Q2, Q3, Q4, Z };
  m.vertices = {{0, 0, 1},    {0.5, h, 1}, {0.55, 1.1 * h, 1}, {1, 0, 1},   {0, -0.5, 1},
                {1, -0.5, 1}, {1, 0.5, 1}, {0, 0.5, 1},        {0.5, 0, -1}};
  // The top, counter-clockwise seen from above.
  m.triangles = {{A, P, B}, {P, Q3, C}, {C, Q3, Q4}, {C, Q4, B}, {B, Q4, A}, {A, Q1, Q2}, {A, Q2, P}};
  // The sides down to the apex, one for each edge of the top's outline.
  const int outline[] = {Q1, Q2, P, Q3, Q4, A};
  for (int k = 0; k < 6; ++k) m.triangles.push_back({outline[(k + 1) % 6], outline[k], Z});
  return m;
}

TEST(GtsBsoDegenerate, APieceOfNoAreaGoesAndTheSurfaceStaysClosed) {
  BsoMesh m = pyramid_with_a_thin_cut();
  ASSERT_EQ(bso_edge_report(m).unmatched, 1 + 2);  // P-B one way, P-C and C-B the other
  const double tol = 1e-6, limit = bso_degenerate_limit(m.vertices);
  EXPECT_EQ(bso_repair_t_junctions(m, tol), 1);
  // The split closed the surface, but with a piece of no area in it; the
  // top is now flat and covers the square once.
  EXPECT_EQ(bso_edge_report(m).unmatched, 0);
  EXPECT_NEAR(bso_volume(m), 2.0 / 3.0, 1e-12);
  EXPECT_EQ(bso_drop_degenerate_closed({&m}, limit), 1);
  const BsoEdgeReport report = bso_edge_report(m);
  EXPECT_EQ(report.unmatched, 0);
  EXPECT_EQ(report.crowded, 0);
  EXPECT_EQ(bso_surface_fault(m, "first"), "");
  EXPECT_NEAR(bso_volume(m), 2.0 / 3.0, 1e-12);
  for (const auto& t : m.triangles) EXPECT_GE(doubled_area(m, t), limit);
  // Nothing degenerate, nothing dropped.
  const size_t before = m.triangles.size();
  EXPECT_EQ(bso_drop_degenerate_closed({&m}, limit), 0);
  EXPECT_EQ(m.triangles.size(), before);
}

}  // namespace
