// The model's reset gives every later test the state of a fresh start,
// whatever the tests before it changed. Checked in a process of its own,
// started anew, so that "fresh" is the program's real start state.

#include "model/model_state.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "model/defaults.h"
#include "model/file_test_util.h"
#include "model/files/kavfile.h"
#include "model/files/load_save.h"
#include "model/files/prefs.h"
#include "model/geom.h"
#include "model/layers.h"
#include "model/settings.h"
#include "model/undo.h"
#include "model/view_rec.h"
#include "support/state_diff.h"

namespace {

// What the writers see (settings, folders, layers, layer sets, elements),
// as hex, and then what no file holds, one value a line.
std::string observe() {
  std::ostringstream o;
  o << "settings " << hex(written_by(prefs_write_settings_file)) << '\n'
    << "drawing " << hex(written_by(kavfile_write_drawing)) << '\n'
    << "elements " << (elem_list_head != nullptr) << '\n'
    << "undo " << int(undo_used) << ' ' << int(undo_undone) << ' ' << int(undo_capacity) << '\n'
    << "pen " << cur_pen << " line type " << cur_line_type << " snap " << snap_on << '\n'
    << "modified " << drawing_modified << " guide " << guide_mode << " group " << group_counter << '\n'
    << "view " << cur_view << ' ' << views[0].xmin << ' ' << views[3].right << ' ' << view_camera.eye_z
    << '\n'
    << "geo " << geo_result.ix << '\n'
    << "layer 12 " << int(layers[12].shown) << ' ' << layers[12].reserved << '\n'
    << "file " << file_version << ' ' << layer_remap_old << ' ' << loaded_count << " '" << drawing_file
    << "'\n"
    << "folders '" << base_dir.view() << "' '" << symbol_file.view() << "'\n";
  return o.str();
}

void change_what_tests_change() {
  add_one_of_each_kind();
  undo_record(UNDO_CREATED, 12);
  pens[3].width = 0.4;
  line_types[6].name = "MINE";
  drawing_scale = 50;
  print_settings.command = "lp";
  draw_path = "/home/u/plans/";
  backup_interval = 15;
  layers[12].name = "Walls";
  layers[12].shown = 1;
  layers[12].reserved = 2.5;
  layer_sets->shown[3] = 1;
  cur_layer = 12;
  cur_pen = 7;
  cur_line_type = 3;
  snap_on = 1;
  drawing_modified = 1;
  guide_mode = 1;
  group_counter = 9;
  cur_view = 3;
  views[0].xmin = 5;
  views[3].right = 200;
  view_camera.eye_z = 9;
  geo_result.ix = 4;
  file_version = 200;
  layer_remap_old = 1;
  loaded_count = 4;
  drawing_file = "/home/u/plans/house.kav";
  base_dir = "/home/u/";
  symbol_file = "door.sym";
}

TEST(ModelState, ResetGivesTheStateOfAFreshStart) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");  // the child runs in a new process
  EXPECT_EXIT(
      {
        main_init_defaults();  // as the program's start does
        const std::string fresh = observe();
        change_what_tests_change();
        if (observe() == fresh) {
          std::fputs("the changes changed nothing\n", stderr);
          std::exit(2);
        }
        model_state_reset();
        const std::string again = observe();
        drawing_free();
        std::fputs(differing_lines(fresh, again).c_str(), stderr);
        std::exit(again == fresh ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

}  // namespace
