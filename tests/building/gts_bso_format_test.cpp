// The boolean tool's surface text, which reads back as the very points it
// holds, and the volume it checks its parts by.

#include <gtest/gtest.h>

#include <string>

#include "gts_bso/bso_mesh.h"

TEST(GtsBsoFormat, PointsReadBackBitForBit) {
  BsoMesh m;
  // Coordinates that fifteen decimals do not give back, large and small,
  // and plain ones.
  m.vertices = {{1.0 / 3, 0.1 + 0.2, -2.0 / 3},
                {100 + 1.0 / 7, 1e-9 / 3, 0.5},
                {-250.0 - 1.0 / 3, 0, 1e6 + 1.0 / 3},
                {1, 2, 3}};
  m.triangles = {{0, 1, 2}, {0, 2, 3}, {0, 3, 1}, {1, 3, 2}};
  BsoMesh back;
  std::string why;
  ASSERT_TRUE(bso_parse(bso_format(m), back, why)) << why;
  EXPECT_EQ(back.vertices, m.vertices);
  EXPECT_EQ(back.triangles, m.triangles);
}

TEST(GtsBsoVolume, SmallSolidsFarFromTheOriginKeepTheirVolume) {
  // A tetrahedron of legs a (volume a^3 / 6) and a cube of side a (twelve
  // triangles, volume a^3), wound outward, moved to o.
  const struct {
    double a, o;
  } cases[] = {{1, 0}, {0.001, 0}, {0.001, 1000}, {0.002, -1000.5}, {0.001, 12345.678}, {2, 5000}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.a) + " at " + std::to_string(c.o));
    BsoMesh tet;
    tet.vertices = {{c.o, c.o, c.o}, {c.o + c.a, c.o, c.o}, {c.o, c.o + c.a, c.o}, {c.o, c.o, c.o + c.a}};
    tet.triangles = {{0, 2, 1}, {0, 1, 3}, {0, 3, 2}, {1, 2, 3}};
    EXPECT_NEAR(bso_volume(tet), c.a * c.a * c.a / 6, 1e-6 * c.a * c.a * c.a);
    BsoMesh cube;
    for (int k = 0; k < 8; ++k)
      cube.vertices.push_back({c.o + (k & 1) * c.a, c.o + (k >> 1 & 1) * c.a, c.o + (k >> 2 & 1) * c.a});
    // Corners numbered x + 2y + 4z; each side's quad runs counter-clockwise
    // seen from outside.
    const int quads[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                             {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
    for (const auto& q : quads) {
      cube.triangles.push_back({q[0], q[1], q[2]});
      cube.triangles.push_back({q[0], q[2], q[3]});
    }
    EXPECT_NEAR(bso_volume(cube), c.a * c.a * c.a, 1e-6 * c.a * c.a * c.a);
  }
}
