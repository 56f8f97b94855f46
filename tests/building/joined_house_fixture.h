#pragma once

// A 12 m x 9 m house of joined walls for the tests of edits that must keep
// walls joined, and the checks every such edit must pass: no outline left
// open, no outline running across another wall, nothing that Connect would
// still join. The walls are told apart by their group numbers, which the
// edits keep (copies get new ones).

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "display/command_buffer.h"
#include "model/settings.h"
#include "model/wall_index.h"
#include "support/wall_fixture.h"
#include "wall_tool_fixture.h"

namespace joined_house {

enum Name { SOUTH = 1, NORTH, WEST, EAST, INNER, CROSS };

// Outer walls 0.365 thick; the inner wall runs along x = 6 between the
// south and the north wall, the cross wall (both 0.115 thick) along
// y = 4.5 from the inner wall's east face to the east wall.
constexpr double T = 0.365, IW = 0.0575;

struct Xy {
  double x, y;
};

class JoinedHouseTest : public WallToolTest {
 protected:
  void SetUp() override {
    WallToolTest::SetUp();
    cur_layer = 0;
  }

  // A wall with the plan corners c (counter-clockwise), base 0, height
  // 2.75, the plain outline, pen 1, on layer 0.
  static WallElem* plan_wall(const std::vector<Xy>& c, int group) {
    double cc[24];
    for (int i = 0; i < 4; ++i) {
      cc[3 * i] = cc[3 * (i + 4)] = c[i].x;
      cc[3 * i + 1] = cc[3 * (i + 4) + 1] = c[i].y;
      cc[3 * i + 2] = 0;
      cc[3 * (i + 4) + 2] = 2.75;
    }
    WallSegment q[4];
    wall_outline_quad(c[0].x, c[0].y, c[1].x, c[1].y, c[2].x, c[2].y, c[3].x, c[3].y, q);
    elem_new_wall(0, 1, 0, cc, 4, q, 0, nullptr, "Default", 0, 0, 0, 0, 0, 0, 0);
    auto* w = elem_as<WallElem>(elem_list_tail);
    w->group = static_cast<uint16_t>(group);
    return w;
  }

  // The house with T joints at its corners (the south and north walls run
  // the full width) or with mitred corners; the inner and the cross wall in
  // either case. Connect -All joins them; a window sits in the south wall
  // (x 2 to 3.01, with a stop) and a door in the cross wall (x 10 to 11).
  void house(bool mitred) {
    if (mitred) {
      plan_wall({{0, 0}, {12, 0}, {12 - T, T}, {T, T}}, SOUTH);
      plan_wall({{12, 9}, {0, 9}, {T, 9 - T}, {12 - T, 9 - T}}, NORTH);
      plan_wall({{0, 9}, {0, 0}, {T, T}, {T, 9 - T}}, WEST);
      plan_wall({{12, 0}, {12, 9}, {12 - T, 9 - T}, {12 - T, T}}, EAST);
    } else {
      plan_wall({{0, 0}, {12, 0}, {12, T}, {0, T}}, SOUTH);
      plan_wall({{0, 9 - T}, {12, 9 - T}, {12, 9}, {0, 9}}, NORTH);
      plan_wall({{T, T}, {T, 9 - T}, {0, 9 - T}, {0, T}}, WEST);
      plan_wall({{12, T}, {12, 9 - T}, {12 - T, 9 - T}, {12 - T, T}}, EAST);
    }
    plan_wall({{6 + IW, T}, {6 + IW, 9 - T}, {6 - IW, 9 - T}, {6 - IW, T}}, INNER);
    plan_wall({{6 + IW, 4.5 - IW}, {12 - T, 4.5 - IW}, {12 - T, 4.5 + IW}, {6 + IW, 4.5 + IW}}, CROSS);
    tool_wall_connect_all();
    ASSERT_NE(with_opening(wall(SOUTH), 2, 3.01, 0.05, 0.1), nullptr);
    ASSERT_NE(with_opening(wall(CROSS), 10, 11), nullptr);
    undo_record(UNDO_CLEAR, 0);
    pending_command = "nop";
  }

  static WallElem* wall(int name) {
    for (WallElem* w : walls())
      if (w->group == name) return w;
    return nullptr;
  }

  // Outline ends that no other segment meets: an outline that is not
  // closed.
  static std::vector<std::string> open_ends() { return wall_open_ends(); }

  // Outline segments of two walls that cross each other inside both: a
  // wall's face running across another wall.
  static int crossings() {
    auto side = [](const Point2& o, const Point2& a, const Point2& b) {
      return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
    };
    int n = 0;
    const std::vector<WallElem*> ws = walls();
    for (std::size_t i = 0; i < ws.size(); ++i)
      for (std::size_t j = i + 1; j < ws.size(); ++j)
        for (const WallSegment& g : ws[i]->segments)
          for (const WallSegment& h : ws[j]->segments) {
            const double d1 = side(h.start, h.end, g.start), d2 = side(h.start, h.end, g.end);
            const double d3 = side(g.start, g.end, h.start), d4 = side(g.start, g.end, h.end);
            if (d1 * d2 < -1e-9 && d3 * d4 < -1e-9) ++n;
          }
    return n;
  }

  // Pairs of walls that Connect would still join.
  static std::vector<std::pair<int, int>> connectable() {
    std::vector<std::pair<int, int>> out;
    for (WallElem* a : walls())
      for (WallElem* b : walls())
        if (a != b && wall_connected_outline(*a, *b)) out.emplace_back(a->group, b->group);
    return out;
  }

  static std::map<int, std::size_t> opening_counts() {
    std::map<int, std::size_t> out;
    for (WallElem* w : walls()) out[w->group] += w->openings.size();
    return out;
  }

  void point(const std::string& xy) { script.key("z_abs").value(xy.c_str()); }

  // A Range window around each wall's plan (a pixel is 1/6 m), or all
  // elements.
  void select(const std::vector<int>& names) {
    if (names.empty()) {
      script.key("s_deffi_all").key("s_deffi_ok");
      return;
    }
    rows()["z_toggle"] = [] { select_type = 0; };
    script.key("z_toggle");
    for (int n : names) {
      const WallBox b = wall_plan_box(*wall(n));
      script.click_world(1, b.xmin - 0.1, b.ymin - 0.1).click_world(1, b.xmax + 0.1, b.ymax + 0.1);
    }
    script.key("s_deffi_ok");
  }
};

// The cross wall from x0 to the east wall with its door (x 10 to 11, no
// stop), its west end face closed or not.
inline std::vector<Seg> cross_from(double x0, bool closed) {
  std::vector<Seg> s = {{x0, 4.5 - IW, 10, 4.5 - IW}, {11, 4.5 - IW, 12 - T, 4.5 - IW},
                        {x0, 4.5 + IW, 10, 4.5 + IW}, {11, 4.5 + IW, 12 - T, 4.5 + IW},
                        {10, 4.5 - IW, 10, 4.5 + IW}, {11, 4.5 - IW, 11, 4.5 + IW}};
  if (closed) s.push_back({x0, 4.5 - IW, x0, 4.5 + IW});
  return s;
}

// A wall's outline against segments given as (x1, y1, x2, y2), in any
// order and direction.
inline void expect_outline(const WallElem* w, const std::vector<Seg>& segs) {
  ASSERT_NE(w, nullptr);
  std::vector<WallSegment> want;
  for (const Seg& s : segs) want.push_back(WallSegment{{s.x1, s.y1, 0}, {s.x2, s.y2, 0}});
  EXPECT_EQ(wall_outline_of(w->segments), wall_outline_of(want)) << "wall " << w->group;
}

}  // namespace joined_house
