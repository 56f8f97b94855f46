#include "support/render_fixture.h"

#include "model/elem.h"
#include "model/layers.h"

namespace {

void wall_box(double x0, double y0, double x1, double y1, double z0, double z1) {
  const double c[24] = {x0, y0, z0, x1, y0, z0, x1, y1, z0, x0, y1, z0,
                        x0, y0, z1, x1, y0, z1, x1, y1, z1, x0, y1, z1};
  WallSegment s[4];
  const double px[4] = {x0, x1, x1, x0}, py[4] = {y0, y0, y1, y1};
  for (int i = 0; i < 4; ++i) {
    s[i].start = Point2{px[i], py[i], 0};
    s[i].end = Point2{px[(i + 1) % 4], py[(i + 1) % 4], 0};
  }
  elem_new_wall(0, 1, 0, c, 4, s, 0, nullptr, "Default", 0, 0, 0, 0, 0, 0, 0);
}

void pyramid(double cx, double cy, double half, double height) {
  Point3 v[5] = {{cx - half, cy - half, 0, 0},
                 {cx + half, cy - half, 0, 0},
                 {cx + half, cy + half, 0, 0},
                 {cx - half, cy + half, 0, 0},
                 {cx, cy, height, 0}};
  const int32_t sizes[5] = {4, 3, 3, 3, 3};
  const int32_t idx[16] = {0, 3, 2, 1, 0, 1, 4, 1, 2, 4, 2, 3, 4, 3, 0, 4};
  elem_new_mesh(0, 3, 0, 5, 5, sizes, v, idx, "Default", 0);
}

void basic() {
  layers[1].shown = 1;
  for (double y : {0.0, 12.0}) elem_new_line(0, 0, 0, 0, y, 20, y);
  for (double x : {0.0, 20.0}) elem_new_line(0, 0, 0, x, 0, x, 12);
  elem_new_line(0, 3, 1, 1, 0.7, 19, 0.7);  // short dashes
  elem_new_line(0, 2, 3, 1, 0.4, 19, 0.4);  // dash-dot
  elem_new_line(0, 2, 0, 0.5, 11.5, 6, 6);
  elem_new_arc(0, 3, 0, 5, 8, 2, 2, 6.283185307179586, 0, 0);
  elem_new_arc(0, 2, 0, 14, 8, 3, 1.5, 6.283185307179586, 0, 0.5);
  elem_new_arc(0, 0, 0, 10, 6, 1.5, 1.5, 1.5707963267948966, 0.3, 0);
  elem_new_spline(0, 3, 0, 2, 3, 4, 6, 8, 0, 10, 3);
  elem_new_text(0, 0, 0, 1, 10.2, 0, 10, 1, 0.1, 1.5, "Kavro 3", 0, "Simpel", 0);
  elem_new_text(0, 2, 0, 11, 1.5, 0.3, 5, 1, 0.1, 1.5, "rotated\nsecond line", 0, "Simpel", 0);
  elem_new_text(0, 3, 0, 10, 4.5, 0, 4, 1, 0.1, 1.5, "centred", 0, "Simpel", 2);
  wall_box(12, 3, 18, 3.3, 0, 2.75);
  elem_new_line3d(0, 3, 0, 1, 1, 0, 3, 3, 4);
  pyramid(16.5, 10, 1, 3);
  elem_new_light(0, 0, 0, 0, 1, 1.0, 20, 0.5, 8, 10, 2, 8, 10, 0, 1, 1, 1);
  elem_new_line(0, 99, 0, 0.5, 5, 19.5, 5);  // guide line
  elem_new_line(1, 3, 0, 0.5, 2, 9, 2);      // on another shown layer: dimmed
  elem_new_line(0, 0, 0, 0.5, 2.5, 9, 2.5);  // marked: selection colour
  elem_list_tail->mark = 1;
}

}  // namespace

bool render_fixture_build(const std::string& name) {
  drawing_reset();
  if (name == "basic") {
    basic();
    return true;
  }
  return false;
}
