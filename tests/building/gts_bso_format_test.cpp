// The boolean tool's surface text: what it writes reads back as the very
// points it holds.

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
