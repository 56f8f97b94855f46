#include <gtest/gtest.h>

#include <cmath>

#include "model/presets.h"
#include "model/settings.h"
#include "support/model_fixture.h"

namespace {

using Defaults = ModelTest;

TEST_F(Defaults, PensLineTypesAndPaper) {
  struct PenRow {
    const char* name;
    double width, r, g, b;
  };
  const PenRow pen_rows[8] = {{"P1", 0.13, 0, 0, 0},          {"P2", 0.18, 0.9, 0.8, 0.1},
                              {"P3", 0.25, 0.53, 0.06, 0.06}, {"P4", 0.35, 0.06, 0.06, 0.8},
                              {"P5", 0.5, 0, 0, 0},           {"P6", 0.7, 0.9, 0.8, 0.1},
                              {"P7", 1.0, 0.53, 0.06, 0.06},  {"P8", 1.5, 0.06, 0.06, 0.8}};
  for (int i = 0; i < 8; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(pens[i].name, pen_rows[i].name);
    EXPECT_DOUBLE_EQ(pens[i].width, pen_rows[i].width);
    EXPECT_DOUBLE_EQ(pens[i].r, pen_rows[i].r);
    EXPECT_DOUBLE_EQ(pens[i].g, pen_rows[i].g);
    EXPECT_DOUBLE_EQ(pens[i].b, pen_rows[i].b);
  }

  const char* names[8] = {"CONTINUOUS", "SHORTDASH",   "KAVLONGDASH", "DASHDOT",
                          "DOT",        "DASHDASHDOT", "CONTINUOUS",  "CONTINUOUS"};
  const int pairs[8] = {0, 1, 1, 2, 1, 3, 0, 0};
  const double periods[8] = {0, 4.0, 5.5, 7.0, 1.1, 8.6, 0, 0};
  for (int i = 0; i < 8; ++i) {
    SCOPED_TRACE(i);
    const LineTypeDef& t = line_types[i];
    EXPECT_EQ(t.name, names[i]);
    EXPECT_EQ(t.pairs, pairs[i]);
    EXPECT_DOUBLE_EQ(t.period, periods[i]);
    double sum = 0;
    for (int k = 0; k < t.pairs; ++k) sum += t.dash[k] + t.gap[k];
    EXPECT_NEAR(t.period, sum, 1e-12);
  }

  EXPECT_EQ(paper_sizes[0].display_name, "Custom");
  EXPECT_EQ(paper_sizes[8].media_name, "11x17");
  EXPECT_DOUBLE_EQ(paper_sizes[13].height, 3456);
  paper_sizes[0].width = 1000;
  drawing_reset();  // a new drawing puts "Custom" back
  EXPECT_DOUBLE_EQ(paper_sizes[0].width, 595);
  EXPECT_DOUBLE_EQ(paper_sizes[0].height, 842);
}

TEST_F(Defaults, SettingsAndCreationParameters) {
  EXPECT_DOUBLE_EQ(drawing_scale, 100);
  EXPECT_EQ(angle_unit, 1);
  EXPECT_EQ(length_unit, 0);
  EXPECT_EQ(snap_size, 7);
  EXPECT_EQ(snap_use_circle_intersections, 1);
  EXPECT_EQ(snap_preview_on, 1);
  EXPECT_EQ(view_options.exact_line_thickness, 0);
  EXPECT_EQ(view_options.show_room_borders, 1);
  EXPECT_EQ(dim_settings.accuracy, 4);
  EXPECT_EQ(dim_settings.accuracy_architecture, 2);
  EXPECT_DOUBLE_EQ(print_settings.margin_bottom, 1.75);
  EXPECT_EQ(print_settings.command, "lpr");
  EXPECT_EQ(plot_settings.end_sequence, "LT; SP0; PU 0,0;");
  EXPECT_DOUBLE_EQ(plot_settings.resolution, 0.0025);
  EXPECT_EQ(pov_settings.command, "x-povray");
  EXPECT_DOUBLE_EQ(pov_settings.background.b, 0.8);
  EXPECT_EQ(pov_settings.ambient, 1);
  EXPECT_EQ(room_units.volume_text, "CBM");
  EXPECT_EQ(draw_path, "./dat/draw/");
  EXPECT_EQ(tmp_dir, "./dat/tmp/");
  EXPECT_DOUBLE_EQ(screen_aspect.width, 10);
  EXPECT_EQ(autobackup, 1);
  EXPECT_EQ(backup_interval, 5);
  EXPECT_DOUBLE_EQ(display_colors.background.g, 0.6);

  EXPECT_EQ(text_preset.font, "Simpel");
  EXPECT_DOUBLE_EQ(wall_preset.thickness, 0.365);
  EXPECT_DOUBLE_EQ(wall_preset.height, 2.75);
  EXPECT_DOUBLE_EQ(door_preset.base, 0);
  EXPECT_DOUBLE_EQ(door_preset.height, 2.51);
  EXPECT_DOUBLE_EQ(window_preset.stop_depth, 0.115);
  EXPECT_EQ(dim_preset.figure_pen, 1);
  EXPECT_DOUBLE_EQ(dim_preset.figure_size, 2.5);
  EXPECT_DOUBLE_EQ(light_preset.angle, 20);
  EXPECT_DOUBLE_EQ(pattern_preset.spacing1, 0.5);
  EXPECT_EQ(glazing_material, "Glas");
  EXPECT_DOUBLE_EQ(text_size, 2.5);
  EXPECT_DOUBLE_EQ(profile_size, 0.08);
  EXPECT_EQ(select_type, 1);
}

TEST_F(Defaults, SafeAccessorsForCodesWithoutARecord) {
  EXPECT_EQ(&pen_def(3), &pens[3]);
  const PenDef& guide = pen_def(PEN_GUIDE);
  EXPECT_DOUBLE_EQ(guide.r, 1);
  EXPECT_DOUBLE_EQ(guide.g, 0);
  EXPECT_EQ(&pen_def(200), &pens[0]);
  EXPECT_EQ(line_type_def(LINE_TYPE_PATTERN_POINTS).pairs, 0);
  EXPECT_EQ(line_type_def(LINE_TYPE_PATTERN_FILLING).name, "CONTINUOUS");
  EXPECT_EQ(&line_type_def(2), &line_types[2]);
}

}  // namespace
