#include "model/units.h"
#include "shell/dlg_boxes.h"

std::array<std::string, 5> gauge_texts;

void gauge_format(double dx, double dy, double dz, double length, double angle) {
  gauge_texts = {units_format_length(dx), units_format_length(dy), units_format_length(dz),
                 units_format_length(length), units_format_angle(angle)};
}
