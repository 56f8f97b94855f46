#include "model/settings_edit.h"

PenEdit settings_pen_edit;
LineTypeEdit settings_linetype_edit;
int32_t settings_color_target = 0;

namespace {

int checked(int32_t& number, int count) {
  if (number < 0 || number >= count) number = 0;
  return number;
}

}  // namespace

void pen_edit_revert(PenEdit& edit) {
  const PenDef& p = pens[checked(edit.number, PEN_COUNT)];
  edit.width = p.width;
  edit.name = p.name;
  edit.colour = {p.r, p.g, p.b};
}

void pen_edit_apply(PenEdit& edit) {
  PenDef& p = pens[checked(edit.number, PEN_COUNT)];
  p.width = edit.width;
  p.name = edit.name;
  p.r = edit.colour.r;
  p.g = edit.colour.g;
  p.b = edit.colour.b;
}

void linetype_edit_revert(LineTypeEdit& edit) {
  const LineTypeDef& t = line_types[checked(edit.number, LINE_TYPE_COUNT)];
  edit.name = t.name;
  edit.sections = t.pairs;
  for (int i = 0; i < 3; ++i) {
    edit.line[i] = t.dash[i];
    edit.space[i] = t.gap[i];
  }
}

void linetype_edit_apply(LineTypeEdit& edit) {
  LineTypeDef& t = line_types[checked(edit.number, LINE_TYPE_COUNT)];
  t.name = edit.name;
  t.pairs = static_cast<uint8_t>(edit.sections < 0 ? 0 : edit.sections > 3 ? 3 : edit.sections);
  for (int i = 0; i < 3; ++i) {
    t.dash[i] = edit.line[i];
    t.gap[i] = edit.space[i];
  }
  t.period = line_type_period(t);
}

Rgb& display_color_of(int target) {
  switch (target) {
    case 1:
      return display_colors.active;
    case 2:
      return display_colors.guide;
    default:
      return display_colors.background;
  }
}
