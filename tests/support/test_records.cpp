#include "support/test_records.h"

#include <utility>

TextElem test_text(double x, double y, std::string_view text) {
  TextElem t;
  t.pos = Point2{x, y, 0};
  t.font = "Simpel";
  t.alignment = TEXT_LEFT;
  t.height = 2.5;
  t.width_factor = 1.0;
  t.spacing = 0.1;
  t.line_spacing = 1.5;
  t.text = text;
  return t;
}

DimPoint test_dim_point(double x, double y, double mx, double my, double length) {
  DimPoint p;
  p.line_point = Point2{x, y, 0};
  p.measured = Point2{mx, my, 0};
  p.segment_length = length;
  return p;
}

DimElem test_dim(std::vector<DimPoint> points) {
  DimElem d;
  d.font = "Simpel";
  d.format = DIM_FORMAT_ARCHITECTURE;
  d.end_mark = DIM_MARK_LINE;
  d.dim_kind = DIM_CHAIN;
  d.figure_size = 2.5;
  d.figure_width = 1.0;
  d.figure_space = 0.1;
  d.chain_space = 0.5;
  d.help_line_length = 1.0;
  d.points = std::move(points);
  return d;
}

PatternElem test_pattern(uint8_t type, std::vector<Point2> contours) {
  PatternElem p;
  p.type = type;
  p.spacing1 = 0.5;
  p.spacing2 = 0.5;
  p.points = std::move(contours);
  return p;
}

RoomElem test_room(double label_x, double label_y, std::vector<Point2> contours) {
  RoomElem r;
  r.label = Point2{label_x, label_y, 0};
  r.font = "Simpel";
  r.height = 2.5;
  r.width_factor = 1.0;
  r.spacing = 0.1;
  r.line_spacing = 1.5;
  r.area_factor = 1.0;
  r.base_z = 0.0;
  r.top_z = 2.5;
  r.points = std::move(contours);
  return r;
}
