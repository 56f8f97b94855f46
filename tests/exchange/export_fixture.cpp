#include "export_fixture.h"

#include "model/wall_outline.h"

namespace {

DimPoint dim_point(double x, double y, double mx, double my, double length) {
  DimPoint p;
  p.line_point = Point2{x, y, 0};
  p.measured = Point2{mx, my, 0};
  p.segment_length = length;
  return p;
}

// A wall along y = 0 from x 0 to 6, 0.3 thick, with a door and a window.
void wall_with_door_and_window() {
  const double c[24] = {0, 0, 0,    6, 0, 0,    6, 0.3, 0,    0, 0.3, 0,
                        0, 0, 2.75, 6, 0, 2.75, 6, 0.3, 2.75, 0, 0.3, 2.75};
  WallSegment quad[4];
  wall_outline_quad(0, 0, 6, 0, 6, 0.3, 0, 0.3, quad);
  elem_new_wall(0, 1, 0, c, 4, quad, 0, nullptr, "Default", 0, 0, 0, 0, 0, 0, 0);
  WallElem* w = elem_as<WallElem>(elem_list_tail);
  struct Opening {
    double x0, x1;
    int kind, style;
  };
  for (const Opening& o : {Opening{1, 2, OPENING_DOOR, 1}, Opening{3.5, 5, OPENING_WINDOW, 2}}) {
    Point3 box[8];
    const double xs[4] = {o.x0, o.x1, o.x1, o.x0}, ys[4] = {0, 0, 0.3, 0.3};
    for (int i = 0; i < 4; ++i) {
      box[i] = {xs[i], ys[i], 0.9, 0};
      box[i + 4] = {xs[i], ys[i], 2.1, 0};
    }
    WallElem* next = opening_cut_wall(box, o.kind, o.style, 0.9, 1.2, 0.05, 0.1, 0, w);
    if (next != w) {
      elem_unlink(w);
      elem_destroy(w);
      w = next;
    }
  }
}

}  // namespace

void every_kind_drawing() {
  elem_new_line(0, 0, 0, 0, -2, 8, -2);
  elem_new_line(0, 2, 1, 0, -2.5, 8, -2.5);
  elem_new_line(0, 3, 3, 0, -3, 8, -3);
  elem_new_arc(0, 0, 0, 1, 3, 1, 1, GEOM_TWO_PI, 0, 0);
  elem_new_arc(0, 3, 0, 4, 3, 1.5, 1.5, GEOM_PI / 2, 0.5, 0);
  elem_new_arc(0, 1, 0, 7, 3, 1.5, 0.8, GEOM_PI, 0.5, 0.25);
  elem_new_spline(0, 4, 0, 9, 2, 10, 5, 12, 0, 13, 3);
  elem_new_text(0, 5, 0, 0, 6, 0.1, 5, 1, 0.1, 1.5,
                "Plan (A)\nK\xFC"
                "che \xE4\xF6\xDF",
                0, "Simpel", TEXT_LEFT);
  DimPoint chain[3] = {dim_point(0, 8, 0, 7, 0), dim_point(2, 8, 2, 7, 2), dim_point(5, 8, 5, 7, 3)};
  elem_new_dim(0, 0, 1, 2, 0, 0, 2.5, 1, 0.1, 0.5, 1, "Simpel", 0, DIM_MARK_ARROW, DIM_CHAIN, 3, chain);
  DimPoint radius[3] = {dim_point(8, 8, 0, 0, 0), dim_point(9, 8, 0, 0, 0), dim_point(10, 9, 0, 0, 0)};
  elem_new_dim(0, 0, 0, 1, 0, 0, 2.5, 1, 0.1, 0.5, 1, "Simpel", 1, DIM_MARK_LINE, DIM_RADIUS, 3, radius);
  wall_with_door_and_window();
  Point2 hatch[5] = {{0, 10, 0}, {2, 10, 0}, {2, 12, 0}, {0, 12, 0}, CONTOUR_END};
  elem_new_pattern(0, 6, 2, 0, 10, 0.3, 0.5, 0, 0, 0, 10, 0, 0.5, 5, hatch, 0, 0, 0, PATTERN_ONE_LINE);
  Point2 filled[10] = {{4, 10, 0},     {6, 10, 0},     {6, 12, 0},     {4, 12, 0},     CONTOUR_END,
                       {4.5, 10.5, 0}, {4.5, 11.5, 0}, {5.5, 11.5, 0}, {5.5, 10.5, 0}, CONTOUR_END};
  elem_new_pattern(0, 0, 0, 4, 10, 0, 0.5, 0, 0, 4, 10, 0, 0.5, 10, filled, 0.9, 0.6, 0.2, PATTERN_FILLING);
  Point2 room[10] = {{14, 0, 0},   {20, 0, 0},   {20, 4, 0},   {14, 4, 0},   CONTOUR_END,
                     {16, 1.5, 0}, {16, 2.5, 0}, {17, 2.5, 0}, {17, 1.5, 0}, CONTOUR_END};
  elem_new_room(0, 2, 0, 17.5, 3.5, "Simpel", 0, 3.5, 1, 0.1, 1.5, "Living", "1.01", 1, 0, 2.5, 1, 1, 0, 1,
                10, room);
  elem_new_line(0, PEN_GUIDE, 0, 0, 14, 20, 14);
}

void tread_mesh(double x) {
  Point3 v[8] = {{x, 0, 0, 0},   {x + 1, 0, 0, 0},   {x + 1, 1, 0, 0},   {x, 1, 0, 0},
                 {x, 0, 0.2, 0}, {x + 1, 0, 0.2, 0}, {x + 1, 1, 0.2, 0}, {x, 1, 0.2, 0}};
  const int32_t sizes[6] = {4, 4, 4, 4, 4, 4};
  const int32_t idx[24] = {0, 1, 2, 3, 7, 6, 5, 4, 0, 4, 5, 1, 1, 5, 6, 2, 2, 6, 7, 3, 3, 7, 4, 0};
  elem_new_mesh(0, 0, 0, 8, 6, sizes, v, idx, "Default", 0);
}

void primitives_drawing() {
  elem_new_line(0, 1, 0, 0, 0, 1, 0);
  elem_new_line(0, 2, 1, 0, 0.5, 1, 0.5);
  elem_new_line(0, 0, 0, 2, 2, 2, 2);  // no length: a dot
  elem_new_line(0, 9, 9, 0, 1, 1, 1);  // outside the tables: pen 1, line type 1
  elem_new_line(0, PEN_GUIDE, 0, 0, 0.2, 1, 0.2);
  elem_new_arc(0, 3, 0, 3, 1, 0.5, 0.5, GEOM_TWO_PI, 0, 0);
  elem_new_arc(0, 3, 2, 3, 1, 0.8, 0.8, GEOM_PI / 2, -1.0, -0.5);  // start moves into 0..360
  elem_new_arc(0, 4, 0, 1, 2.5, 0.4, 0.2, GEOM_PI / 2, 0, 0.3);    // an ellipse arc: chords
  elem_new_spline(0, 5, 0, 4, 0, 4.5, 1, 5, -1, 5.5, 0);
  Point2 holed[10] = {{0, 3, 0},     {1, 3, 0},     {1, 4, 0},     {0, 4, 0},     CONTOUR_END,
                      {0.2, 3.2, 0}, {0.2, 3.8, 0}, {0.8, 3.8, 0}, {0.8, 3.2, 0}, CONTOUR_END};
  elem_new_pattern(0, PEN_GUIDE, 0, 0, 3, 0, 0.5, 0, 0, 0, 3, 0, 0.5, 10, holed, 1, 0, 0, PATTERN_FILLING);
  elem_new_text(0, 6, 0, 5, 4, 0.5, 3.5, 1, 0.1, 1.5, "a(b\\c)\n\xE4 2", 0, "Simpel", TEXT_RIGHT);
  elem_new_text(0, PEN_GUIDE, 0, 2, 4, 0, 3.5, 1, 0.1, 1.5, "guide", 0, "Simpel", TEXT_LEFT);
}
