#include "display/draw_room.h"

#include <cmath>

#include "display/draw_dim.h"
#include "display/outdev.h"
#include "display/outdev_breakdown.h"
#include "model/geom.h"
#include "model/settings.h"
#include "model/view_rec.h"

namespace {

// Metres to the unit of room_units: 0 m, 1 cm, 2 mm, 3 inch, 4 feet (any
// other code metres), raised to the power of the dimension.
double in_unit(double value, int32_t unit, int power) {
  for (int i = 0; i < power; ++i) {
    if (unit == 1) value *= 100.0;
    if (unit == 2) value *= 1000.0;
    if (unit == 3) value /= 0.0254;
    if (unit == 4) value /= 0.3048;
  }
  return value;
}

void outline(uint8_t pen, uint8_t lt, int32_t n, const Point2* p) {
  int32_t first = 0;
  for (int32_t i = 1; i < n; ++i) {
    if (geom_is_end_marker(p[i - 1].x, p[i - 1].y)) {
      first = i;
    } else if (geom_is_end_marker(p[i].x, p[i].y)) {
      outdev.line(pen, lt, p[i - 1].x, p[i - 1].y, p[first].x, p[first].y);
    } else {
      outdev.line(pen, lt, p[i - 1].x, p[i - 1].y, p[i].x, p[i].y);
    }
  }
}

}  // namespace

uint8_t room_outline_pen(uint8_t) { return PEN_GUIDE; }

std::string room_area_text(int32_t n, const Point2* points, double area_factor) {
  const double area = geom_contours_area(points ? n : 0, points) * area_factor;
  return draw_fixed(in_unit(area, room_units.area_unit, 2), 2) + " " + room_units.area_text.c_str();
}

std::string room_volume_text(int32_t n, const Point2* points, double area_factor, double base_z,
                             double top_z) {
  const double volume = geom_contours_area(points ? n : 0, points) * area_factor * (top_z - base_z);
  return draw_fixed(in_unit(volume, room_units.volume_unit, 3), 2) + " " + room_units.volume_text.c_str();
}

void outdev_screen_room(const RoomElem& room) {
  if (view_type != VIEW_PLAN) return;
  const int32_t n = static_cast<int32_t>(room.points.size());
  const Point2* points = room.points.data();
  if (view_options.show_room_borders) outline(room_outline_pen(room.pen), room.line_type, n, points);
  GuidePointsOff guide_off;
  const double hw = room.height * drawing_scale / 1000.0;
  const double step_x = std::sin(room.angle) * room.line_spacing * hw;
  const double step_y = -std::cos(room.angle) * room.line_spacing * hw;
  OutdevText line{.pen = room.pen,
                  .lt = room.line_type,
                  .x = room.label.x,
                  .y = room.label.y,
                  .angle = room.angle,
                  .height = room.height,
                  .width_factor = room.width_factor,
                  .spacing = room.spacing,
                  .line_spacing = room.line_spacing,
                  .font = room.font.c_str()};
  // Lines switched off take no room: the following ones move up.
  auto put = [&](uint8_t shown, const std::string& text) {
    if (shown != 1) return;
    line.text = text.c_str();
    outdev.text(line);
    line.x += step_x;
    line.y += step_y;
  };
  put(room.show_description, room.description.c_str());
  put(room.show_number, room.number.c_str());
  put(room.show_area, room_area_text(n, points, room.area_factor));
  put(room.show_volume, room_volume_text(n, points, room.area_factor, room.base_z, room.top_z));
}
