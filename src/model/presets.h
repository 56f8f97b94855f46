#pragma once

// The current creation parameters of the ten object kinds. Each group begins
// with the name of its current preset; the dialogs edit them, the preset
// files store them, and the tools read them when they create elements.

#include <cstdint>

#include "model/consts.h"
#include "model/fixed_text.h"

struct TextPreset {
  FixedText<NAME_LEN> name;
  FixedText<FONT_NAME_LEN> font;
  double spacing = 0.0;
  double width = 0.0;
  double line_spacing = 0.0;
  int32_t pen = 0;
  int32_t line_type = 0;
};

struct WallPreset {
  FixedText<NAME_LEN> name;
  FixedText<MATERIAL_NAME_LEN> material;
  double thickness = 0.0;
  double base = 0.0;
  double height = 0.0;
  int32_t pen = 0;
  int32_t line_type = 0;
};

struct RoomPreset {
  FixedText<NAME_LEN> name;
  int32_t pen = 0;
  int32_t line_type = 0;
  int32_t show_area = 0;
  int32_t show_volume = 0;
  int32_t show_description = 0;
  int32_t show_number = 0;
  double base = 0.0;
  double height = 0.0;
  double factor = 0.0;
};

// One layout for plain openings, windows and doors.
struct OpeningPreset {
  FixedText<NAME_LEN> name;
  int32_t symbol_variant = 0;
  double base = 0.0;  // sill height
  double height = 0.0;
  double stop_width = 0.0;
  double stop_depth = 0.0;
};

struct MaterialPreset {
  FixedText<NAME_LEN> name;
  double r = 0.0, g = 0.0, b = 0.0;
  double transparency = 0.0;
  double reflection = 0.0;
  double highlight = 0.0;
  double ambience = 0.0;
  int32_t refraction = 0;
  int32_t metallic = 0;
  int32_t texture_mode = 0;  // 0..6
  FixedText<PATH_LEN> image_file;
  int32_t repeat = 0;
  double size_x = 0.0, size_y = 0.0;
  double offset_x = 0.0, offset_y = 0.0;
  int32_t special = 0;
  FixedText<PATH_LEN> special_text;
};

struct DimPreset {
  FixedText<NAME_LEN> name;
  FixedText<FONT_NAME_LEN> font;
  int32_t chain_pen = 0;
  int32_t chain_line_type = 0;
  int32_t figure_pen = 0;
  int32_t figure_line_type = 0;
  double figure_size = 0.0;  // paper mm
  double figure_space = 0.0;
  double figure_width = 0.0;
  double chain_space = 0.0;
  double help_line_length = 0.0;
  int32_t display_format = 0;  // 0..12
  int32_t end_mark = 0;        // 0 line, 1 circle, 2 arrow
};

struct LightPreset {
  FixedText<NAME_LEN> name;
  double size = 0.0;
  double angle = 0.0;  // degrees
  double shadow_intensity = 0.0;
  double r = 0.0, g = 0.0, b = 0.0;
  int32_t shadow = 0;
  int32_t type = 0;  // 0 point, 1 spot
};

struct PatternPreset {
  FixedText<NAME_LEN> name;
  int32_t pen1 = 0, line_type1 = 0;
  int32_t pen2 = 0, line_type2 = 0;
  double spacing1 = 0.0;
  double angle1 = 0.0;
  double spacing2 = 0.0;
  double angle2 = 0.0;
  double r = 0.0, g = 0.0, b = 0.0;
  int32_t type = 0;  // 0 one line, 1 two lines, 2 points, 3 filling
};

extern TextPreset text_preset;
extern WallPreset wall_preset;
extern RoomPreset room_preset;
extern OpeningPreset opening_preset;
extern OpeningPreset window_preset;
extern OpeningPreset door_preset;
extern MaterialPreset material_preset;
extern DimPreset dim_preset;
extern LightPreset light_preset;
extern PatternPreset pattern_preset;
extern FixedText<MATERIAL_NAME_LEN> glazing_material;
