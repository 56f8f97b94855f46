#include "model/defaults.h"

#include <initializer_list>

#include "model/layers.h"
#include "model/presets.h"
#include "model/settings.h"

namespace {

void set_opening(OpeningPreset& p, double sill, double height) {
  p.name = "Default";
  p.symbol_variant = 1;
  p.base = sill;
  p.height = height;
  p.stop_width = 0.0625;
  p.stop_depth = 0.115;
}

// The period is given as written, so that stored files hold the exact
// decimal and not the rounding of a sum.
void set_line_type(int i, const char* name, double period, std::initializer_list<double> dash_gap) {
  LineTypeDef& t = line_types[i];
  t = LineTypeDef{};
  t.name = name;
  t.period = period;
  int k = 0;
  for (auto it = dash_gap.begin(); it != dash_gap.end(); it += 2, ++k) {
    t.dash[k] = it[0];
    t.gap[k] = it[1];
  }
  t.pairs = static_cast<uint8_t>(k);
}

}  // namespace

int main_init_defaults() {
  defaults_init_settings();
  defaults_init_pens_line_types();
  drawing_init();
  return 1;
}

void defaults_init_settings() {
  text_preset = TextPreset{};
  text_preset.name = "Default";
  text_preset.font = "Simpel";
  text_preset.spacing = 0.1;
  text_preset.width = 1.0;
  text_preset.line_spacing = 1.5;

  wall_preset = WallPreset{};
  wall_preset.name = "Default";
  wall_preset.material = "Default";
  wall_preset.thickness = 0.365;
  wall_preset.base = 0.0;
  wall_preset.height = 2.75;

  room_preset = RoomPreset{};
  room_preset.name = "Default";
  room_preset.show_area = room_preset.show_volume = 1;
  room_preset.show_description = room_preset.show_number = 1;
  room_preset.base = 0.0;
  room_preset.height = 2.75;
  room_preset.factor = 1.0;

  set_opening(opening_preset, 1.0, 1.51);
  set_opening(window_preset, 1.0, 1.51);
  set_opening(door_preset, 0.0, 2.51);

  material_preset = MaterialPreset{};
  material_preset.name = "Default";
  material_preset.r = material_preset.g = material_preset.b = 1.0;

  dim_preset = DimPreset{};
  dim_preset.name = "Default";
  dim_preset.font = "Simpel";
  dim_preset.figure_pen = 1;
  dim_preset.figure_size = 2.5;
  dim_preset.figure_space = 0.1;
  dim_preset.figure_width = 1.0;
  dim_preset.chain_space = 1.5;
  dim_preset.help_line_length = 1.0;

  light_preset = LightPreset{};
  light_preset.name = "Default";
  light_preset.size = 6.0;
  light_preset.angle = 20.0;
  light_preset.r = light_preset.g = light_preset.b = 1.0;
  light_preset.shadow = 1;

  pattern_preset = PatternPreset{};
  pattern_preset.name = "Default";
  pattern_preset.spacing1 = 0.5;

  glazing_material = "Glas";

  draw_path = "./dat/draw/";
  import_path = "./";
  symbol_path = "./dat/sym/";
  export_path = "./";
  dialog_path = "./dat/dia/";
  prefs_path = "./dat/prefs/";
  tmp_dir = "./dat/tmp/";
  help_browser = "";

  print_settings = PrintSettings{};
  print_settings.command = "lpr";
  print_settings.printer_name = "Default";
  print_settings.paper_width = 21.0;
  print_settings.paper_height = 29.7;
  print_settings.scale = 100.0;
  print_settings.margin_left = 0.25;
  print_settings.margin_right = 0.25;
  print_settings.margin_top = 0.25;
  print_settings.margin_bottom = 1.75;

  plot_settings = PlotSettings{};
  plot_settings.file = "kavro.hpgl";
  plot_settings.start_sequence = "LT; SP0;";
  plot_settings.end_sequence = "LT; SP0; PU 0,0;";
  plot_settings.command = "lpr -Pgeneric_hpgl";
  plot_settings.paper_width = 21.0;
  plot_settings.paper_height = 29.7;
  plot_settings.scale = 100.0;
  plot_settings.resolution = 0.0025;

  pov_settings = PovSettings{};
  pov_settings.command = "x-povray";
  pov_settings.output_file = "kavro.tga";
  pov_settings.background = {0.5, 0.5, 0.8};
  pov_settings.resolution = 1;
  pov_settings.quality = 1;
  pov_settings.antialias = 1;
  pov_settings.ambient = 1;

  rad_settings = RadSettings{};

  room_units = RoomUnits{};
  room_units.area_text = "QM";
  room_units.volume_text = "CBM";

  snap_size = 7;
  snap_use_end_points = snap_use_line_intersections = snap_use_center_points = 1;
  snap_use_text_points = snap_use_circle_centers = snap_use_arc_points = 1;
  snap_use_polygon_points = snap_use_measuring_points = snap_stored_tenth = 1;
  snap_use_circle_intersections = 1;
  snap_preview_on = 1;

  view_options = ViewOptions{};
  view_options.show_patterns = 1;
  view_options.show_guide_points = 1;
  view_options.show_room_borders = 1;

  dxf_settings = DxfSettings{};
  select_filter = SelectFilter{};
  for (int32_t& v : text_use_editor) v = 0;

  drawing_scale = 100.0;
  cur_layer = 0;
  view_type = 0;
  angle_unit = 1;
  length_unit = 0;
  size_unit = 0;
  paper_unit = 0;

  dim_settings = DimSettings{};
  dim_settings.link = 1;
  dim_settings.move_figures = 1;
  dim_settings.accuracy = 4;
  dim_settings.accuracy_architecture = 2;

  screen_aspect = {10.0, 10.0};
  autobackup = 1;
  backup_interval = 5;

  text_size = 2.5;
  profile_size = 0.08;
  window_width = door_width = opening_width = 1.01;
  window_width_fixed = door_width_fixed = opening_width_fixed = 1;
  select_type = 1;
  select_mode = 0;
  select_all_layers = 0;
  text_format = 0;
  room_add_area[0] = room_add_area[1] = 0;
  rotate_copy = mirror_copy = 0;
}

void defaults_init_pens_line_types() {
  set_line_type(0, "CONTINUOUS", 0.0, {});
  set_line_type(1, "SHORTDASH", 4.0, {2.5, 1.5});
  set_line_type(2, "KAVLONGDASH", 5.5, {4.0, 1.5});
  set_line_type(3, "DASHDOT", 7.0, {3.9, 1.5, 0.1, 1.5});
  set_line_type(4, "DOT", 1.1, {0.1, 1.0});
  set_line_type(5, "DASHDASHDOT", 8.6, {3.9, 1.5, 0.1, 1.5, 0.1, 1.5});
  set_line_type(6, "CONTINUOUS", 0.0, {});
  set_line_type(7, "CONTINUOUS", 0.0, {});

  static constexpr double widths[PEN_COUNT] = {0.13, 0.18, 0.25, 0.35, 0.5, 0.7, 1.0, 1.5};
  static constexpr Rgb colours[4] = {{0, 0, 0}, {0.9, 0.8, 0.1}, {0.53, 0.06, 0.06}, {0.06, 0.06, 0.8}};
  for (int i = 0; i < PEN_COUNT; ++i) {
    char name[8] = {'P', static_cast<char>('1' + i), '\0'};
    pens[i].name = name;
    pens[i].width = widths[i];
    pens[i].r = colours[i % 4].r;
    pens[i].g = colours[i % 4].g;
    pens[i].b = colours[i % 4].b;
  }

  display_colors.background = {0.55, 0.6, 0.65};
  display_colors.active = {1, 1, 1};
  display_colors.guide = {1, 0, 1};
}

void defaults_init_paper_sizes() {
  struct Row {
    const char* display;
    const char* media;
    double w, h;
  };
  static constexpr Row rows[PAPER_SIZE_COUNT] = {
      {"Custom", "", 595, 842},          {"DIN - A4", "a4", 595, 842},      {"DIN - A3", "a3", 842, 1190},
      {"DIN - A2", "a2", 1190, 1684},    {"DIN - A1", "a1", 1684, 2380},    {"DIN - A0", "a0", 2380, 3368},
      {"Letter", "letter", 612, 792},    {"Legal", "legal", 612, 1008},     {"Tabloid", "11x17", 792, 1224},
      {"U.S. - A", "archA", 648, 864},   {"U.S. - B", "archB", 864, 1296},  {"U.S. - C", "archC", 1296, 1728},
      {"U.S. - D", "archD", 1728, 2592}, {"U.S. - E", "archE", 2592, 3456},
  };
  for (int i = 0; i < PAPER_SIZE_COUNT; ++i) {
    PaperSize& p = paper_sizes[i];
    p = PaperSize{};
    p.display_name = rows[i].display;
    p.media_name = rows[i].media;
    p.width = rows[i].w;
    p.height = rows[i].h;
  }
}
