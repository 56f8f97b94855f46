#include "model/settings.h"

PenDef pens[PEN_COUNT];
LineTypeDef line_types[LINE_TYPE_COUNT];
PaperSize paper_sizes[PAPER_SIZE_COUNT];
DisplayColors display_colors;

int32_t snap_size = 0;
int32_t snap_use_end_points = 0;
int32_t snap_use_line_intersections = 0;
int32_t snap_use_center_points = 0;
int32_t snap_use_text_points = 0;
int32_t snap_use_circle_centers = 0;
int32_t snap_use_arc_points = 0;
int32_t snap_use_polygon_points = 0;
int32_t snap_use_measuring_points = 0;
int32_t snap_stored_tenth = 0;
int32_t snap_use_circle_intersections = 0;
int32_t snap_on = 0;
int32_t snap_preview_on = 0;

PovSettings pov_settings;
RadSettings rad_settings;
PrintSettings print_settings;
PlotSettings plot_settings;
DxfSettings dxf_settings;
SelectFilter select_filter;
int32_t text_use_editor[4] = {};
ViewOptions view_options;
RoomUnits room_units;
DimSettings dim_settings;

double drawing_scale = 100.0;
int32_t view_type = 0;
int32_t angle_unit = 1;
int32_t length_unit = 0;
int32_t size_unit = 0;
int32_t paper_unit = 0;
ScreenAspect screen_aspect;
int32_t autobackup = 0;
int32_t backup_interval = 0;

FixedText<PATH_LEN> base_dir;
FixedText<PATH_LEN> draw_path;
FixedText<PATH_LEN> import_path;
FixedText<PATH_LEN> symbol_path;
FixedText<PATH_LEN> export_path;
FixedText<PATH_LEN> dialog_path;
FixedText<PATH_LEN> prefs_path;
FixedText<PATH_LEN> tmp_dir;
FixedText<PATH_LEN> help_browser;
FixedText<PATH_LEN> import_file;
FixedText<PATH_LEN> export_file;
FixedText<PATH_LEN> symbol_file;
FixedText<PATH_LEN> symbol_save_file;
double symbol_angle = 0.0;

int32_t cur_pen = 0;
int32_t cur_line_type = 0;
double text_size = 0.0;
double profile_size = 0.0;
double window_width = 0.0;
double door_width = 0.0;
double opening_width = 0.0;
int32_t window_width_fixed = 0;
int32_t door_width_fixed = 0;
int32_t opening_width_fixed = 0;
int32_t select_type = 0;
int32_t select_mode = 0;
int32_t select_all_layers = 0;
int32_t text_format = 0;
int32_t room_add_area[2] = {};
int32_t rotate_copy = 0;
int32_t mirror_copy = 0;

const PenDef& pen_def(int pen) {
  static PenDef guide;
  if (pen >= 0 && pen < PEN_COUNT) return pens[pen];
  if (pen == PEN_GUIDE) {
    // Guide elements are hairlines in the guide colour and never printed.
    guide.name = "Guide";
    guide.width = pens[0].width;
    guide.r = display_colors.guide.r;
    guide.g = display_colors.guide.g;
    guide.b = display_colors.guide.b;
    return guide;
  }
  return pens[0];
}

const LineTypeDef& line_type_def(int line_type) {
  static const LineTypeDef continuous{FixedText<NAME_LEN>("CONTINUOUS")};
  if (line_type >= 0 && line_type < LINE_TYPE_COUNT) return line_types[line_type];
  return continuous;
}

double line_type_period(const LineTypeDef& t) {
  double period = 0.0;
  for (int i = 0; i < t.pairs && i < 3; ++i) period += t.dash[i] + t.gap[i];
  return period;
}
