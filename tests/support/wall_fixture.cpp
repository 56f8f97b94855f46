#include "support/wall_fixture.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <utility>

#include "model/wall_outline.h"

WallElem* new_axis_wall() { return new_axis_wall(0, 0, 5, 0, 0.12, "brick"); }

WallElem* new_axis_wall(double x0, double y0, double x1, double y1, double half_thickness,
                        const char* material) {
  wall_corners_from_axis(x0, y0, x1, y1, half_thickness);
  double c[24];
  for (int i = 0; i < 4; ++i) {
    c[3 * i] = c[3 * (i + 4)] = wall_corner_bank[2 * i];
    c[3 * i + 1] = c[3 * (i + 4) + 1] = wall_corner_bank[2 * i + 1];
    c[3 * i + 2] = 0;
    c[3 * (i + 4) + 2] = 2.75;
  }
  WallSegment quad[4];
  wall_outline_quad(c[0], c[1], c[3], c[4], c[6], c[7], c[9], c[10], quad);
  elem_new_wall(0, 1, 0, c, 4, quad, 0, nullptr, material, 0, 0, 0, 0, 0, 0, 0);
  return elem_as<WallElem>(elem_list_tail);
}

WallElem* cut_axis_opening(WallElem* w, int kind, double a, double b, double sill, double height) {
  const double y0 = w->corner[0].y, y1 = w->corner[3].y;
  const Point2 p[4] = {{a, y0, 0}, {b, y0, 0}, {b, y1, 0}, {a, y1, 0}};
  Point3 box[8];
  for (int i = 0; i < 4; ++i) {
    box[i] = {p[i].x, p[i].y, sill, 0};
    box[i + 4] = {p[i].x, p[i].y, sill + height, 0};
  }
  WallElem* n = opening_cut_wall(box, kind, 1, sill, height, 0.05, 0.1, 0, w);
  if (n != w) {
    w->mark = 1;
    elem_purge_marked();
  }
  return n;
}

WallOutline wall_outline_of(const std::vector<WallSegment>& segments) {
  auto r = [](double v) { return std::llround(v * 1e8); };
  WallOutline out;
  for (const WallSegment& g : segments) {
    std::array<long long, 4> s{r(g.start.x), r(g.start.y), r(g.end.x), r(g.end.y)};
    if (s[0] == s[2] && s[1] == s[3]) continue;
    if (std::make_pair(s[2], s[3]) < std::make_pair(s[0], s[1])) s = {s[2], s[3], s[0], s[1]};
    out.push_back(s);
  }
  std::sort(out.begin(), out.end());
  return out;
}

std::vector<std::string> wall_open_ends() {
  std::map<std::pair<long long, long long>, int> ends;
  auto key = [](const Point2& p) { return std::make_pair(std::llround(p.x * 1e6), std::llround(p.y * 1e6)); };
  for (ElemHeader* e = elem_list_head; e; e = e->next)
    if (auto* w = elem_as<WallElem>(e))
      for (const WallSegment& g : w->segments) {
        if (key(g.start) == key(g.end)) continue;
        ++ends[key(g.start)];
        ++ends[key(g.end)];
      }
  std::vector<std::string> out;
  for (const auto& [p, n] : ends)
    if (n % 2 == 1) out.push_back(std::to_string(p.first * 1e-6) + ";" + std::to_string(p.second * 1e-6));
  return out;
}
