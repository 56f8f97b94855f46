#include "display/draw_room.h"

#include <cmath>

#include "display/draw_dim.h"
#include "display/outdev.h"
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

void outdev_screen_room(uint8_t pen, uint8_t lt, double label_x, double label_y, const char* font,
                        double angle, double height, double width_factor, double spacing, double line_spacing,
                        const char* description, const char* number, double area_factor, double base_z,
                        double top_z, int32_t show_area, int32_t show_volume, int32_t show_description,
                        int32_t show_number, int32_t n, const Point2* points) {
  if (view_type != VIEW_PLAN) return;
  if (!points) n = 0;
  if (view_options.show_room_borders) outline(room_outline_pen(pen), lt, n, points);
  GuidePointsOff guide_off;
  const double hw = height * drawing_scale / 1000.0;
  const double step_x = std::sin(angle) * line_spacing * hw;
  const double step_y = -std::cos(angle) * line_spacing * hw;
  double x = label_x, y = label_y;
  // Lines switched off take no room: the following ones move up.
  auto put = [&](int32_t shown, const std::string& text) {
    if (shown != 1) return;
    outdev.text(pen, lt, x, y, angle, height, width_factor, spacing, line_spacing, text.c_str(), 0.0,
                font ? font : "", TEXT_LEFT);
    x += step_x;
    y += step_y;
  };
  put(show_description, description ? description : "");
  put(show_number, number ? number : "");
  put(show_area, room_area_text(n, points, area_factor));
  put(show_volume, room_volume_text(n, points, area_factor, base_z, top_z));
}
