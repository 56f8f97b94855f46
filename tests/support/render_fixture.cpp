#include "support/render_fixture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "model/elem.h"
#include "model/layers.h"
#include "model/settings.h"
#include "model/wall_outline.h"
#include "support/test_records.h"

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
  TextElem title = test_text(1, 10.2, "Kavro 3");
  title.height = 10;
  elem_append(title);
  TextElem rotated = test_text(11, 1.5, "rotated\nsecond line");
  rotated.pen = 2;
  rotated.angle = 0.3;
  rotated.height = 5;
  elem_append(rotated);
  TextElem centred = test_text(10, 4.5, "centred");
  centred.pen = 3;
  centred.height = 4;
  centred.alignment = TEXT_CENTRED;
  elem_append(centred);
  wall_box(12, 3, 18, 3.3, 0, 2.75);
  elem_new_line3d(0, 3, 0, 1, 1, 0, 3, 3, 4);
  pyramid(16.5, 10, 1, 3);
  LightElem light;
  light.shadow = 1;
  light.light_size = 1.0;
  light.angle = 20;
  light.shadow_intensity = 0.5;
  light.position = Point3{8, 10, 2, 0};
  light.target = Point3{8, 10, 0, 0};
  elem_append(light);
  elem_new_line(0, 99, 0, 0.5, 5, 19.5, 5);  // guide line
  elem_new_line(1, 3, 0, 0.5, 2, 9, 2);      // on another shown layer: dimmed
  elem_new_line(0, 0, 0, 0.5, 2.5, 9, 2.5);  // marked: selection colour
  elem_list_tail->mark = 1;
}

// A straight wall from x0 to x1 with its outer face on y and its inner face
// on y + thickness, 2.75 high, with the openings cut in.
struct OpeningSpec {
  double x0, x1;
  int kind, style, quadrant;
  double stop_width, stop_depth;
};

void wall_with_openings(double x0, double x1, double y, double thickness,
                        const std::vector<OpeningSpec>& os) {
  const double c[24] = {x0, y, 0,    x1, y, 0,    x1, y + thickness, 0,    x0, y + thickness, 0,
                        x0, y, 2.75, x1, y, 2.75, x1, y + thickness, 2.75, x0, y + thickness, 2.75};
  WallSegment quad[4];
  wall_outline_quad(c[0], c[1], c[3], c[4], c[6], c[7], c[9], c[10], quad);
  elem_new_wall(0, 1, 0, c, 4, quad, 0, nullptr, "Default", 0, 0, 0, 0, 0, 0, 0);
  WallElem* w = elem_as<WallElem>(elem_list_tail);
  for (const OpeningSpec& o : os) {
    Point3 box[8];
    const double xs[4] = {o.x0, o.x1, o.x1, o.x0}, ys[4] = {y, y, y + thickness, y + thickness};
    for (int i = 0; i < 4; ++i) {
      box[i] = {xs[i], ys[i], 0.9, 0};
      box[i + 4] = {xs[i], ys[i], 2.1, 0};
    }
    WallElem* next =
        opening_cut_wall(box, o.kind, o.style, 0.9, 1.2, o.stop_width, o.stop_depth, o.quadrant, w);
    if (next != w) {
      elem_unlink(w);
      elem_destroy(w);
      w = next;
    }
  }
}

// A chain along the direction through the given distances from its start,
// measuring points `reach` away across the line.
void chain(double x, double y, double direction, const std::vector<double>& at, double reach, uint8_t format,
           uint8_t end_mark, double help, double chain_space) {
  std::vector<DimPoint> pts;
  const double c = std::cos(direction), s = std::sin(direction);
  const double nx = -s * reach, ny = c * reach;
  for (std::size_t i = 0; i < at.size(); ++i) {
    const double px = x + at[i] * c, py = y + at[i] * s;
    pts.push_back(test_dim_point(px, py, px + nx, py + ny, i == 0 ? 0.0 : at[i] - at[i - 1]));
  }
  DimElem d = test_dim(std::move(pts));
  d.figure_pen = 1;
  d.direction = direction;
  d.chain_space = chain_space;
  d.help_line_length = help;
  d.format = format;
  d.end_mark = end_mark;
  elem_append(d);
}

void three_point_dim(uint8_t kind, double direction, Point2 a, Point2 b, Point2 c,
                     double override_value = 0.0, double second = 0.0) {
  DimElem d = test_dim({test_dim_point(a.x, a.y, 0, 0, 0), test_dim_point(b.x, b.y, 0, 0, 0),
                        test_dim_point(c.x, c.y, 0, 0, 0)});
  d.points[2].override_value = override_value;
  d.points[2].second_value = second;
  d.dim_kind = kind;
  d.figure_pen = 1;
  d.direction = direction;
  d.end_mark = DIM_MARK_ARROW;
  elem_append(d);
}

void pattern(uint8_t type, double x0, double y0, double x1, double y1, double angle, double spacing,
             uint8_t pen, double r, double g, double b) {
  // A rectangle with a clockwise square hole in its middle.
  const double mx = (x0 + x1) / 2, my = (y0 + y1) / 2, h = std::min(x1 - x0, y1 - y0) / 5;
  const std::vector<Point2> holed = {
      {x0, y0, 0},         {x1, y0, 0},         {x1, y1, 0},         {x0, y1, 0},         CONTOUR_END,
      {mx - h, my - h, 0}, {mx - h, my + h, 0}, {mx + h, my + h, 0}, {mx + h, my - h, 0}, CONTOUR_END};
  PatternElem p = test_pattern(type, holed);
  p.pen = pen;
  p.origin = p.offset = Point2{x0, y0, 0};
  p.angle1 = angle;
  p.angle2 = angle + 1.5707963267948966;
  p.spacing1 = p.spacing2 = spacing;
  p.pen2 = 2;
  p.r = r;
  p.g = g;
  p.b = b;
  elem_append(p);
}

// Walls with every door, window and plain-opening symbol, dimension chains
// of every end mark and several formats, the four other dimension kinds, a
// room with a hole and the four pattern types.
void symbols() {
  drawing_scale = 100;
  // Doors: styles 1 to 3 without a stop in every quadrant, 4 to 6 with one.
  wall_with_openings(0, 24, 10, 0.3,
                     {{0.5, 1.5, OPENING_DOOR, 1, 0, 0, 0},
                      {2.5, 3.5, OPENING_DOOR, 1, 1, 0, 0},
                      {4.5, 5.5, OPENING_DOOR, 1, 2, 0, 0},
                      {6.5, 7.5, OPENING_DOOR, 1, 3, 0, 0},
                      {8.5, 10.0, OPENING_DOOR, 2, 0, 0, 0},
                      {11.0, 12.5, OPENING_DOOR, 3, 1, 0, 0},
                      {13.5, 14.5, OPENING_DOOR, 4, 0, 0.05, 0.1},
                      {15.5, 17.1, OPENING_DOOR, 5, 0, 0.05, 0.1},
                      {18.0, 19.6, OPENING_DOOR, 6, 0, 0.05, 0.1},
                      {20.6, 22.2, OPENING_DOOR, 6, 3, 0.05, 0.1}});
  // Windows 1 to 6, then plain openings 2, 4 and 6.
  wall_with_openings(0, 24, 6, 0.3,
                     {{0.5, 2.0, OPENING_WINDOW, 1, 0, 0.05, 0.1},
                      {3.0, 4.5, OPENING_WINDOW, 2, 0, 0.05, 0.1},
                      {5.5, 7.0, OPENING_WINDOW, 3, 0, 0.05, 0.1},
                      {8.0, 9.5, OPENING_WINDOW, 4, 0, 0.05, 0.1},
                      {10.5, 12.0, OPENING_WINDOW, 5, 0, 0.05, 0.1},
                      {13.0, 14.5, OPENING_WINDOW, 6, 0, 0.05, 0.1},
                      {15.5, 16.5, OPENING_PLAIN, 2, 0, 0, 0},
                      {17.5, 18.5, OPENING_PLAIN, 4, 0, 0, 0},
                      {19.5, 21.0, OPENING_PLAIN, 6, 0, 0, 0}});
  // Chains: architecture figures with arrows and full extension lines, metres
  // with ticks, an imperial one with circles, and one running right to left.
  chain(0, 5, 0, {0, 0.5, 2.015, 3.0, 4.535, 5.5, 5.8, 7.0}, 1.0, 0, DIM_MARK_ARROW, 0.0, 0.5);
  // An edited figure and one with a second figure under the line.
  DimElem* first = elem_as<DimElem>(elem_list_tail);
  first->points[3].override_value = 1.0;
  first->points[4].second_value = 0.885;
  chain(8, 5, 0, {0, 2.5, 4.0, 6.5}, 1.0, 1, DIM_MARK_LINE, 1.0, 0.5);
  chain(15.5, 5, 0, {0, 2.2, 4.4}, 1.0, 10, DIM_MARK_CIRCLE, 1.0, 0.5);
  chain(24, 12, 3.141592653589793, {0, 1.8, 3.4, 6.0}, -1.7, 0, DIM_MARK_LINE, 1.0, 0.5);
  chain(-1, 6, 1.5707963267948966, {0, 0.3, 4.0}, 1.0, 0, DIM_MARK_ARROW, 1.0, 0.5);
  // A circle with a radius and a diameter, an angle and two levels.
  elem_new_arc(0, 0, 0, 3, 1.5, 1.2, 1.2, 6.283185307179586, 0, 0);
  three_point_dim(DIM_RADIUS, 0, {3, 1.5, 0}, {3 + 1.2 * 0.8, 1.5 + 1.2 * 0.6, 0}, {5.2, 3.3, 0});
  three_point_dim(DIM_DIAMETER, 0, {3, 1.5, 0}, {1.8, 1.5, 0}, {4.2, 1.5, 0});
  three_point_dim(DIM_ANGLE, 0, {7, 0.5, 0}, {9.5, 0.5, 0}, {8.5, 2.5, 0});
  three_point_dim(DIM_LEVEL, 1.5707963267948966, {11, 3, 0}, {11, 1, 0}, {11, 3.2, 0});
  three_point_dim(DIM_LEVEL, 1.5707963267948966, {12.5, 3, 0}, {12.5, 1, 0}, {12.5, 1, 0});
  // A room with a pillar hole.
  const std::vector<Point2> pillared = {{14, 0, 0},   {20, 0, 0},   {20, 4, 0},   {14, 4, 0},   CONTOUR_END,
                                        {16, 1.5, 0}, {16, 2.5, 0}, {17, 2.5, 0}, {17, 1.5, 0}, CONTOUR_END};
  RoomElem room = test_room(17.5, 3.5, pillared);
  room.pen = 2;
  room.height = 3.5;
  room.description = "Living";
  room.number = "1.01";
  room.show_area = room.show_volume = room.show_description = room.show_number = 1;
  elem_append(room);
  // Patterns below: one family, two families, points and a filling.
  pattern(PATTERN_ONE_LINE, 0, -6, 5, -1, 0.7853981633974483, 0.25, 0, 0, 0, 0);
  pattern(PATTERN_TWO_LINES, 6, -6, 11, -1, 0.0, 0.3, 0, 0, 0, 0);
  pattern(PATTERN_POINTS, 12, -6, 17, -1, 0.3, 0.3, 3, 0, 0, 0);
  pattern(PATTERN_FILLING, 18, -6, 23, -1, 0, 0.5, 0, 0.9, 0.6, 0.2);
}

}  // namespace

bool render_fixture_build(const std::string& name) {
  drawing_reset();
  if (name == "basic") {
    basic();
    return true;
  }
  if (name == "symbols") {
    symbols();
    return true;
  }
  return false;
}
