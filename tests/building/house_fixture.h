#pragma once

// A house of joined walls for the edit tests, its outlines worked out by
// hand: the walls by their group numbers, 1 south, 2 north, 3 west, 4 east,
// 5 an inner wall from south to north at x 6 to 6.115, joined by the
// program's Connect -All (T joints for the inner wall, the side walls
// standing between south and north). The outer walls are 0.365 thick:
// south y 0 to 0.365, north 7.635 to 8, west x 0 to 0.365, east 9.635 to
// 10.

#include <map>
#include <vector>

#include "support/wall_fixture.h"
#include "wall_tool_fixture.h"

enum HouseWall { SOUTH = 1, NORTH, WEST, EAST, INNER };

// The undirected outline of segments given as (x1, y1, x2, y2).
inline WallOutline outline(const std::vector<Seg>& segs) {
  std::vector<WallSegment> out;
  for (const Seg& s : segs) out.push_back({{s.x1, s.y1, 0}, {s.x2, s.y2, 0}});
  return wall_outline_of(out);
}

class HouseTest : public WallToolTest {
 protected:
  void SetUp() override {
    WallToolTest::SetUp();
    cur_layer = 0;
    const struct {
      double x0, y0, x1, y1, thick;
    } axes[] = {{0, 0.1825, 10, 0.1825, 0.365},
                {0, 7.8175, 10, 7.8175, 0.365},
                {0.1825, 0.365, 0.1825, 7.635, 0.365},
                {9.8175, 0.365, 9.8175, 7.635, 0.365},
                {6.0575, 0.365, 6.0575, 7.635, 0.115}};
    int group = SOUTH;
    for (const auto& a : axes) axis_wall(a.x0, a.y0, a.x1, a.y1, a.thick)->group = group++;
    tool_wall_connect_all();
  }

  static WallElem* wall(int name) {
    for (WallElem* w : walls())
      if (w->group == name) return w;
    return nullptr;
  }

  static std::map<int, std::size_t> opening_counts() {
    std::map<int, std::size_t> out;
    for (WallElem* w : walls()) out[w->group] = w->openings.size();
    return out;
  }
};
