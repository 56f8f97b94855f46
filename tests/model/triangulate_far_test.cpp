// Faces whose reflex corner lies exactly on the diagonal across them (an
// L of equal arms): the triangles tile the face wherever it lies and
// whatever its size, a millimetre's L a kilometre from the origin as a
// metre's L at it.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "model/triangulate.h"

namespace {

// The L of equal arms in unit steps: the square (0,0)-(2,2) without the
// square (0,0)-(1,1); its corner (1,1) lies on the diagonal (2,0)-(0,2).
// Area 3.
const std::array<std::array<double, 2>, 6> kL = {{{1, 1}, {1, 0}, {2, 0}, {2, 2}, {0, 2}, {0, 1}}};

bool in_l(double u, double w) { return u > 0 && u < 2 && w > 0 && w < 2 && (u > 1 || w > 1); }

}  // namespace

TEST(TriangulateFar, AnLWithItsCornerOnTheDiagonalIsTiledAnywhere) {
  // The plane the L is drawn in: the unit coordinates (u, w) go to the
  // axes a and b, the third axis holds the offset alone.
  const int planes[3][2] = {{0, 1}, {0, 2}, {1, 2}};
  for (double offset : {0.0, 10.0, 1000.0, 1000.001, -1000.5, 2500.003, 12345.678, 100000.0})
    for (double step : {0.001, 0.01, 1.0})
      for (const auto& axes : planes)
        for (int turn = 0; turn < 4; ++turn)
          for (bool reversed : {false, true}) {
            SCOPED_TRACE("offset " + std::to_string(offset) + " step " + std::to_string(step) + " axes " +
                         std::to_string(axes[0]) + std::to_string(axes[1]) + " turn " + std::to_string(turn) +
                         (reversed ? " reversed" : ""));
            MeshElem m;
            for (int k = 0; k < 6; ++k) {
              // Turned about the L's centre (1, 1) by quarter turns, so the
              // start corner moves round the face.
              double u = kL[static_cast<std::size_t>(k)][0] - 1, w = kL[static_cast<std::size_t>(k)][1] - 1;
              for (int q = 0; q < turn; ++q) {
                const double t = u;
                u = -w;
                w = t;
              }
              double c[3] = {offset, offset, offset};
              c[axes[0]] += (u + 1) * step;
              c[axes[1]] += (w + 1) * step;
              m.vertices.push_back(Point3{c[0], c[1], c[2], 0});
            }
            m.face_sizes = {6};
            m.indices =
                reversed ? std::vector<int32_t>{5, 4, 3, 2, 1, 0} : std::vector<int32_t>{0, 1, 2, 3, 4, 5};
            FaceList* t = tri_faces_new(&m);
            tri_triangulate_faces(t, 0);
            ASSERT_EQ(t->triangle_count, 4);
            double area = 0;
            for (int k = 0; k < t->triangle_count; ++k) {
              // Back in unit steps, turned back: each triangle's centre
              // lies in the L, and the areas add up to its 3.
              std::array<std::array<double, 2>, 3> p{};
              const int32_t corner[3] = {t->t0[k], t->t1[k], t->t2[k]};
              for (int j = 0; j < 3; ++j) {
                const Point3& v = m.vertices[static_cast<std::size_t>(corner[j])];
                const double c[3] = {v.x, v.y, v.z};
                double u = (c[axes[0]] - offset) / step - 1, w = (c[axes[1]] - offset) / step - 1;
                for (int q = 0; q < turn; ++q) {
                  const double s = u;
                  u = w;
                  w = -s;
                }
                p[static_cast<std::size_t>(j)] = {u + 1, w + 1};
              }
              const double cu = (p[0][0] + p[1][0] + p[2][0]) / 3, cw = (p[0][1] + p[1][1] + p[2][1]) / 3;
              EXPECT_TRUE(in_l(cu, cw)) << "triangle " << k << " centred at " << cu << ", " << cw;
              area += std::fabs((p[1][0] - p[0][0]) * (p[2][1] - p[0][1]) -
                                (p[2][0] - p[0][0]) * (p[1][1] - p[0][1])) /
                      2;
            }
            EXPECT_NEAR(area, 3, 1e-6);
            tri_faces_free(t);
          }
}
