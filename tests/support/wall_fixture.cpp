#include "support/wall_fixture.h"

#include "model/wall_outline.h"

WallElem* new_axis_wall() {
  wall_corners_from_axis(0, 0, 5, 0, 0.12);
  double c[24];
  for (int i = 0; i < 4; ++i) {
    c[3 * i] = c[3 * (i + 4)] = wall_corner_bank[2 * i];
    c[3 * i + 1] = c[3 * (i + 4) + 1] = wall_corner_bank[2 * i + 1];
    c[3 * i + 2] = 0;
    c[3 * (i + 4) + 2] = 2.75;
  }
  WallSegment quad[4];
  wall_outline_quad(c[0], c[1], c[3], c[4], c[6], c[7], c[9], c[10], quad);
  elem_new_wall(0, 1, 0, c, 4, quad, 0, nullptr, "brick", 0, 0, 0, 0, 0, 0, 0);
  return elem_as<WallElem>(elem_list_tail);
}
