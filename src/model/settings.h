#pragma once

// The program's settings: the values the settings chunks store, the folders,
// the pen, line-type and paper tables, and the unstored working values the
// tools share. Their start values are set by defaults_init_settings and
// defaults_init_pens_line_types (model/defaults.h). Dialogs bind widgets to
// these addresses; readers of tables go through the safe accessors below.

#include <cstdint>

#include "model/consts.h"
#include "model/fixed_text.h"

struct Rgb {
  double r = 0.0, g = 0.0, b = 0.0;
};

struct PenDef {
  FixedText<NAME_LEN> name;
  double width = 0.0;  // paper mm
  double r = 0.0, g = 0.0, b = 0.0;
};

struct LineTypeDef {
  FixedText<NAME_LEN> name;
  double period = 0.0;  // paper mm, the sum of the used dashes and gaps
  uint8_t pairs = 0;    // 0 = continuous
  double dash[3] = {};
  double gap[3] = {};
};

struct PaperSize {
  FixedText<20> display_name;
  FixedText<20> media_name;
  double width = 0.0;   // PostScript points
  double height = 0.0;  // PostScript points
  double width_cm = 0.0;
  double height_cm = 0.0;
};
inline constexpr int PAPER_SIZE_COUNT = 14;

extern PenDef pens[PEN_COUNT];
extern LineTypeDef line_types[LINE_TYPE_COUNT];
extern PaperSize paper_sizes[PAPER_SIZE_COUNT];

// The pen of a pen number: the guide pen for PEN_GUIDE and pen 0 for any
// other number outside 0..7.
const PenDef& pen_def(int pen);
// The line type of a number: continuous for the pattern codes 100 and 101
// and for any other number outside 0..7.
const LineTypeDef& line_type_def(int line_type);

// The length one repetition of a line type's pattern covers: the dashes and
// gaps of its used pairs (0 for a continuous line).
double line_type_period(const LineTypeDef& t);

struct DisplayColors {
  Rgb background;
  Rgb active;  // marked elements
  Rgb guide;
};
extern DisplayColors display_colors;

// Object snap (PSNP, PMS2).
extern int32_t snap_size;  // pixels, also the pick box
extern int32_t snap_use_end_points;
extern int32_t snap_use_line_intersections;
extern int32_t snap_use_center_points;
extern int32_t snap_use_text_points;
extern int32_t snap_use_circle_centers;
extern int32_t snap_use_arc_points;
extern int32_t snap_use_polygon_points;
extern int32_t snap_use_measuring_points;
extern int32_t snap_stored_tenth;  // kept only to write it back
extern int32_t snap_use_circle_intersections;
extern int32_t snap_on;
extern int32_t snap_preview_on;

struct PovSettings {
  int32_t resolution = 0;
  int32_t save_image = 0;
  int32_t output_format = 0;
  int32_t quality = 0;
  int32_t antialias = 0;
  int32_t sky = 0;
  int32_t clouds = 0;
  FixedText<80> command;
  FixedText<PATH_LEN> output_file;
  Rgb background;
  int32_t ambient = 0;
};
extern PovSettings pov_settings;

struct RadSettings {
  int32_t save_image = 0;
  FixedText<PATH_LEN> output_file;
  int32_t resolution = 1;  // render_sizes index
  int32_t quality = 1;     // 0 low, 1 medium, 2 high, as the next three
  int32_t detail = 1;
  int32_t variability = 1;
  int32_t indirect = 1;
  int32_t shadows = 0;  // 0 sharp, 1 soft
  int32_t scene = 0;    // 0 interior, 1 exterior
  int32_t sky = 0;      // sky and sun: 0 off, 1 sunny with sun ... 6 uniform
  int32_t sun = 0;
  double latitude = 50.0;
  double time = 12.0;
  // The image viewer a rendered picture is shown in: a command split into
  // words, the picture's path added as one more argument.
  FixedText<PATH_LEN> viewer{"xdg-open"};
};
extern RadSettings rad_settings;

struct PrintSettings {
  double paper_width = 0.0;  // cm
  double paper_height = 0.0;
  double scale = 0.0;  // denominator
  double margin_left = 0.0, margin_right = 0.0, margin_top = 0.0, margin_bottom = 0.0;
  int32_t orientation = 0;  // 0 portrait, 1 landscape
  int32_t colour = 0;
  FixedText<128> command;
  FixedText<128> printer_name;
  int32_t paper_index = 0;
};
extern PrintSettings print_settings;

struct PlotSettings {
  int32_t origin_centred = 0;
  int32_t orientation = 0;
  int32_t plotter_type = 0;  // 0 HPGL, 1 HPGL/2 mono, 2 HPGL/2 colour
  double paper_width = 0.0;  // cm
  double paper_height = 0.0;
  double scale = 0.0;
  double resolution = 0.0;  // cm per plotter unit
  FixedText<PATH_LEN> file;
  FixedText<PATH_LEN> start_sequence;
  FixedText<PATH_LEN> end_sequence;
  FixedText<PATH_LEN> command;
  FixedText<128> plotter_name;
  int32_t paper_index = 0;
};
extern PlotSettings plot_settings;

struct DxfSettings {
  int32_t export_mode = 0;   // 0 2D, 1 2D entities only, 2 3D, 3 3D entities only
  int32_t export_scope = 0;  // 0 selected, 1 current and visible layers, 2 all
  int32_t import_unit = 0;   // 0 m, 1 cm, 2 mm, 3 inch, 4 feet
  int32_t export_unit = 0;
  int32_t import_line_mode = 0;   // not stored
  int32_t import_layer_mode = 0;  // not stored
};
extern DxfSettings dxf_settings;

struct SelectFilter {
  int32_t on = 0;
  int32_t mode = 0;  // 0 pen, 1 line type, 2 both, 3 element kind
  int32_t pen = 0;
  int32_t line_type = 0;
  int32_t kind_choice = 0;
};
extern SelectFilter select_filter;

// Use a separate editor for b_text_text, b_text_x, b_text_y, b_text_alter_content.
extern int32_t text_use_editor[4];

struct ViewOptions {
  int32_t exact_line_thickness = 0;
  int32_t all_black = 0;
  int32_t show_patterns = 0;
  int32_t show_guide_points = 0;
  int32_t show_room_borders = 0;
};
extern ViewOptions view_options;

struct RoomUnits {
  int32_t area_unit = 0;
  FixedText<40> area_text;
  int32_t volume_unit = 0;
  FixedText<40> volume_text;
};
extern RoomUnits room_units;

struct DimSettings {
  int32_t link = 0;  // link new measuring points to elements
  int32_t move_figures = 0;
  int32_t accuracy = 0;
  int32_t accuracy_architecture = 0;
};
extern DimSettings dim_settings;

// Scale and units (PMSC, PMS2).
extern double drawing_scale;  // reference scale denominator N
extern int32_t view_type;     // 0 plan, 2 4 6 8 elevations, 1 3 7 9 axonometric, 5 perspective
extern int32_t angle_unit;    // 0 rad, 1 deg, 2 grad
extern int32_t length_unit;   // 0 m, 1 cm, 2 mm, 3 inch, 4 feet, 5 feet-inch
extern int32_t size_unit;     // 0 mm, 1 cm, 2 inch, 3 pica, 4 pt
extern int32_t paper_unit;    // 0 cm, 1 inch

struct ScreenAspect {
  double width = 0.0;  // cm that 300 pixels measure
  double height = 0.0;
};
extern ScreenAspect screen_aspect;

extern int32_t autobackup;
extern int32_t backup_interval;  // minutes

// Folders and files.
extern FixedText<PATH_LEN> base_dir;
extern FixedText<PATH_LEN> draw_path;
extern FixedText<PATH_LEN> import_path;
extern FixedText<PATH_LEN> symbol_path;
extern FixedText<PATH_LEN> export_path;
extern FixedText<PATH_LEN> dialog_path;
extern FixedText<PATH_LEN> prefs_path;
extern FixedText<PATH_LEN> tmp_dir;
extern FixedText<PATH_LEN> help_browser;
extern FixedText<PATH_LEN> import_file;
extern FixedText<PATH_LEN> export_file;
extern FixedText<PATH_LEN> symbol_file;
extern FixedText<PATH_LEN> symbol_save_file;  // last symbol file chosen, start of the next chooser
extern double symbol_angle;                   // radians

// Working values of the tools, not stored.
extern int32_t cur_pen;
extern int32_t cur_line_type;
extern double text_size;     // paper mm
extern double profile_size;  // window frame profile, m
extern double window_width;
extern double door_width;
extern double opening_width;
extern int32_t window_width_fixed;
extern int32_t door_width_fixed;
extern int32_t opening_width_fixed;
extern int32_t select_type;        // 0 range, 1 element, 2 opening, 3 group, 4 point
extern int32_t select_mode;        // 0 select, 1 deselect, 2 toggle
extern int32_t select_all_layers;  // 1: the shown layers too, not only the current one
extern int32_t text_format;        // alignment of new texts: 0 left, 1 right, 2 centred, 3 justified
extern int32_t room_add_area[2];   // polygon, area: an added contour adds area instead of a hole
extern int32_t rotate_copy;        // 1: rotating works on copies
extern int32_t mirror_copy;        // 1: mirroring works on copies
