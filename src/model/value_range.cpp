#include "model/value_range.h"

#include <cmath>
#include <vector>

#include "model/presets.h"
#include "model/settings.h"
#include "model/settings_edit.h"

bool ValueRange::holds(double v) const {
  if (!std::isfinite(v) || v > hi) return false;
  return above ? v > lo : v >= lo;
}

double ValueRange::clamp(double v) const {
  if (holds(v)) return v;
  if (!std::isfinite(v)) return fallback;
  if (v > hi) return hi;
  return above ? fallback : lo;
}

// A 1:10,000,000 map is the smallest scale anyone draws at; enlargements
// stay possible down to any positive denominator.
const ValueRange RANGE_SCALE{0.0, 1e7, true, 100.0};
// From a label to a 5 m plotter roll.
const ValueRange RANGE_PAPER{1.0, 500.0, false, 21.0};
const ValueRange RANGE_MARGIN{0.0, 100.0, false, 0.0};
const ValueRange RANGE_PEN_WIDTH{0.0, 10.0, false, 0.25};
const ValueRange RANGE_DASH{0.0, 100.0, false, 0.0};
const ValueRange RANGE_DASH_PERIOD{0.0, 600.0, false, 0.0};
const ValueRange RANGE_COLOUR{0.0, 1.0, false, 0.0};
// The limits of the Plot Setup's spin button.
const ValueRange RANGE_PLOT_RESOLUTION{0.00001, 0.01, false, 0.0025};
const ValueRange RANGE_SCREEN_ASPECT{1.0, 100.0, false, 10.0};

namespace {

constexpr double PI = 3.141592653589793;

// Building parts and everything else measured in metres: a kilometre
// either way is more than any building holds.
constexpr ValueRange SIZE_M{0.0, 1000.0, true, 1.0};         // thicknesses, heights, widths
constexpr ValueRange OFFSET_M{-1000.0, 1000.0, false, 0.0};  // bases, offsets
constexpr ValueRange DEPTH_M{0.0, 1000.0, false, 0.0};       // may be 0: left out
// Hatch spacings and texture tiles: below a millimetre a region would take
// millions of lines or tiles.
constexpr ValueRange FINE_M{0.001, 1000.0, false, 0.5};
constexpr ValueRange ANGLE{-2.0 * PI, 2.0 * PI, false, 0.0};
// Heights on paper, millimetres.
constexpr ValueRange HEIGHT_MM{0.0, 1000.0, true, 2.5};
// Factors of a text's or a figure's height.
constexpr ValueRange WIDTH_FACTOR{0.0, 100.0, true, 1.0};
constexpr ValueRange SPACING_FACTOR{-1.0, 10.0, false, 0.1};
constexpr ValueRange LINE_SPACING{0.0, 100.0, true, 1.5};
constexpr ValueRange CHAIN_SPACE{-100.0, 100.0, false, 1.5};
constexpr ValueRange HELP_LINE{0.0, 1000.0, false, 1.0};
constexpr ValueRange AREA_FACTOR{0.0, 10.0, false, 1.0};

struct Bound {
  const void* var;
  const ValueRange* range;
};

void add_opening(std::vector<Bound>& to, const OpeningPreset& p) {
  to.push_back({&p.base, &OFFSET_M});
  to.push_back({&p.height, &SIZE_M});
  to.push_back({&p.stop_width, &DEPTH_M});
  to.push_back({&p.stop_depth, &DEPTH_M});
}

// Every number variable a dialog binds to a value entry or a spin button of
// doubles.
std::vector<Bound> bound_table() {
  std::vector<Bound> to = {
      {&drawing_scale, &RANGE_SCALE},
      {&print_settings.scale, &RANGE_SCALE},
      {&print_settings.paper_width, &RANGE_PAPER},
      {&print_settings.paper_height, &RANGE_PAPER},
      {&print_settings.margin_left, &RANGE_MARGIN},
      {&print_settings.margin_right, &RANGE_MARGIN},
      {&print_settings.margin_top, &RANGE_MARGIN},
      {&print_settings.margin_bottom, &RANGE_MARGIN},
      {&plot_settings.scale, &RANGE_SCALE},
      {&plot_settings.paper_width, &RANGE_PAPER},
      {&plot_settings.paper_height, &RANGE_PAPER},
      {&plot_settings.resolution, &RANGE_PLOT_RESOLUTION},
      {&screen_aspect.width, &RANGE_SCREEN_ASPECT},
      {&screen_aspect.height, &RANGE_SCREEN_ASPECT},
      {&settings_pen_edit.width, &RANGE_PEN_WIDTH},
      {&settings_linetype_edit.line[0], &RANGE_DASH},
      {&settings_linetype_edit.line[1], &RANGE_DASH},
      {&settings_linetype_edit.line[2], &RANGE_DASH},
      {&settings_linetype_edit.space[0], &RANGE_DASH},
      {&settings_linetype_edit.space[1], &RANGE_DASH},
      {&settings_linetype_edit.space[2], &RANGE_DASH},
      {&text_size, &HEIGHT_MM},
      {&opening_width, &SIZE_M},
      {&window_width, &SIZE_M},
      {&door_width, &SIZE_M},
      {&profile_size, &SIZE_M},
      {&symbol_angle, &ANGLE},
      {&text_preset.spacing, &SPACING_FACTOR},
      {&text_preset.width, &WIDTH_FACTOR},
      {&text_preset.line_spacing, &LINE_SPACING},
      {&wall_preset.thickness, &SIZE_M},
      {&wall_preset.base, &OFFSET_M},
      {&wall_preset.height, &SIZE_M},
      {&room_preset.base, &OFFSET_M},
      {&room_preset.height, &SIZE_M},
      {&room_preset.factor, &AREA_FACTOR},
      {&material_preset.size_x, &FINE_M},
      {&material_preset.size_y, &FINE_M},
      {&material_preset.offset_x, &OFFSET_M},
      {&material_preset.offset_y, &OFFSET_M},
      {&dim_preset.figure_size, &HEIGHT_MM},
      {&dim_preset.figure_space, &SPACING_FACTOR},
      {&dim_preset.figure_width, &WIDTH_FACTOR},
      {&dim_preset.chain_space, &CHAIN_SPACE},
      {&dim_preset.help_line_length, &HELP_LINE},
      {&light_preset.size, &DEPTH_M},
      {&pattern_preset.spacing1, &FINE_M},
      {&pattern_preset.spacing2, &FINE_M},
      {&pattern_preset.angle1, &ANGLE},
      {&pattern_preset.angle2, &ANGLE},
  };
  add_opening(to, opening_preset);
  add_opening(to, window_preset);
  add_opening(to, door_preset);
  return to;
}

}  // namespace

const ValueRange* value_range_of(const void* var) {
  static const std::vector<Bound> table = bound_table();
  for (const Bound& b : table)
    if (var && b.var == var) return b.range;
  return nullptr;
}

bool value_zero_means_none(const void* var) {
  return var && (var == &pattern_preset.spacing2 || var == &material_preset.size_x ||
                 var == &material_preset.size_y);
}
