#pragma once

// Rooms: the room break-down (outdev_screen_room in
// display/outdev_breakdown.h) draws a room's outline and its inscription
// (description, number, floor area and volume) through the line and text
// slots only, and only in the plan view. Area and volume are computed from
// the contours at every drawing.

#include <cstdint>
#include <string>

#include "model/elem.h"

// The pen of a room's outline. The walls already draw a room's borders, so
// the outline is a guide line for every pen: shown on the screen while
// "Show room borders" is on, never printed.
uint8_t room_outline_pen(uint8_t pen);

// The area and volume lines: the signed area of the ended contours times
// the factor (and the height top - base), in the units and with the unit
// texts of room_units, as "%.2f %s".
std::string room_area_text(int32_t n, const Point2* points, double area_factor);
std::string room_volume_text(int32_t n, const Point2* points, double area_factor, double base_z,
                             double top_z);
