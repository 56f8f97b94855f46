#pragma once

// A house of joined walls for the edit tests, its outlines worked out by
// hand: the walls by their group numbers, 1 south, 2 north, 3 west, 4 east,
// 5 an inner wall from south to north at x 6 to 6.115, joined by the
// program's Connect -All (T joints for the inner wall, the side walls
// standing between south and north). The outer walls are 0.365 thick:
// south y 0 to 0.365, north 7.635 to 8, west x 0 to 0.365, east 9.635 to
// 10.

#include <map>
#include <utility>
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

// The house joined, without openings: the side walls stand between south
// and north, whose faces on the room side run from side wall to side wall,
// cut where the inner wall meets them.
inline const std::vector<Seg> south_joined = {{0, 0, 10, 0},
                                              {10, 0, 10, 0.365},
                                              {0, 0.365, 0, 0},
                                              {9.635, 0.365, 6.115, 0.365},
                                              {6, 0.365, 0.365, 0.365}};
inline const std::vector<Seg> north_joined = {{10, 7.635, 10, 8},
                                              {0, 8, 10, 8},
                                              {0, 8, 0, 7.635},
                                              {0.365, 7.635, 6, 7.635},
                                              {6.115, 7.635, 9.635, 7.635}};
inline const std::vector<Seg> west_joined = {{0.365, 0.365, 0.365, 7.635}, {0, 7.635, 0, 0.365}};
inline const std::vector<Seg> east_joined = {{10, 0.365, 10, 7.635}, {9.635, 7.635, 9.635, 0.365}};
inline const std::vector<Seg> inner_joined = {{6.115, 0.365, 6.115, 7.635}, {6, 7.635, 6, 0.365}};

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

  // A door with a stop 0.05 wide and 0.1 deep from x = 2 to 3.01 on the
  // south wall's outer face y = 0, windows from 2.5 to 3.51 and 7.5 to 8.51
  // on the north wall's face y = 7.635 (its inner face, face 0-1).
  void add_openings() {
    with_opening(wall(SOUTH), 2, 3.01, 0.05, 0.1);
    with_opening(wall(NORTH), 2.5, 3.51);
    with_opening(wall(NORTH), 7.5, 8.51);
  }

  static WallElem* wall(int name) {
    for (WallElem* w : walls())
      if (w->group == name) return w;
    return nullptr;
  }

  // The plan drawn by all walls together has no open end: every outline
  // end meets another one (ends rounded far below what a user sees).
  static void expect_no_open_ends() {
    std::map<std::pair<long long, long long>, int> ends;
    for (WallElem* w : walls())
      for (const auto& s : wall_outline_of(w->segments)) {
        ++ends[{s[0], s[1]}];
        ++ends[{s[2], s[3]}];
      }
    for (const auto& [p, n] : ends)
      EXPECT_EQ(n % 2, 0) << "an open end at (" << p.first * 1e-8 << ", " << p.second * 1e-8 << ")";
  }

  static std::map<int, std::size_t> opening_counts() {
    std::map<int, std::size_t> out;
    for (WallElem* w : walls()) out[w->group] = w->openings.size();
    return out;
  }
};
