// A hidden-line view in the real window: a small house of four walls with
// a door and windows, an outside stair of steps and a few solids, turned
// into its visible edges in the isometric view, the result stored on
// another layer and looked at alone in the plan.

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <string>
#include <vector>

#include "building/solid/solid_mesh.h"
#include "building/tool_3d_common.h"
#include "display/command_buffer.h"
#include "display/view.h"
#include "display/view_commands.h"
#include "gui_steps.h"
#include "model/elem.h"
#include "model/layers.h"
#include "model/settings.h"
#include "model/view_rec.h"
#include "model/wall_outline.h"
#include "shell/gtk/keymap_gtk.h"
#include "shell/gtk/mainwin.h"
#include "shell/gtk/startup.h"
#include "support/wall_fixture.h"

namespace {

using gui_steps::prompt;

// A wall 0.3 thick and 2.75 high along the axis from (x0, y0) to (x1, y1).
WallElem* wall(double x0, double y0, double x1, double y1) {
  return new_axis_wall(x0, y0, x1, y1, 0.15, "brick");
}

void build_house() {
  WallElem* south = wall(0, 0, 8, 0);
  south = cut_axis_opening(south, OPENING_DOOR, 1, 2, 0, 2.1);
  south = cut_axis_opening(south, OPENING_WINDOW, 3.5, 5, 0.9, 1.3);
  cut_axis_opening(south, OPENING_WINDOW, 6, 7.2, 0.9, 1.3);
  WallElem* north = wall(8, 6, 0, 6);
  cut_axis_opening(north, OPENING_WINDOW, 2, 3.5, 0.9, 1.3);
  wall(8, 0, 8, 6);
  wall(0, 6, 0, 0);
  // An outside stair up the east wall, ten steps.
  for (int k = 0; k < 10; ++k)
    solid_append(solid_cuboid(8.2 + 0.28 * k, 0.5, 8.48 + 0.28 * k, 1.5, 0, 0.18 * (k + 1)), 2, 0);
  // A column, a ball on a plinth and a flat roof slab over half the house.
  solid_append(solid_frustum({-1.5, -1.5, 0, 0}, {-1.5, -1.5, 3, 0}, 0.25, 0.25, 16), 3, 0);
  solid_append(solid_cuboid(10, 4, 11, 5, 0, 0.8), 4, 0);
  solid_append(solid_sphere({10.5, 4.5, 1.3, 0}, 0.5), 4, 0);
  solid_append(solid_cuboid(-0.3, 3, 8.3, 6.3, 2.75, 3.0), 5, 0);
}

class HlrRoadTest : public GuiProgramTest {
 protected:
};

TEST_F(HlrRoadTest, AHouseAsItsVisibleEdgesOnALayerOfItsOwn) {
  int lines = 0, on_layer = 0, groups = 0;
  then([] { return idle() && about_shown(); }, close_about);
  then(gui_steps::steadily([] { return idle() && !about_shown(); }), [] {
    build_house();
    mainwin_select_view(VIEW_ISO_FRONT_LEFT);
  });
  then(gui_steps::steadily(idle), [] {
    gui_steps::screenshot("hlr_road_model.png");
    cmd_put_key("b_3d_hlr");
  });
  then(
      [] {
        GtkWidget* other = nullptr;
        return gui_steps::other_window("Other layer", &other) != nullptr;
      },
      [] {
        GtkWidget* other = nullptr;
        gui_steps::other_window("Other layer", &other);
        gtk_button_clicked(GTK_BUTTON(other));
      });
  then([] { return prompt() == "Layer:" && mainwin_value_entry_widget(); },
       [] {
         gui_steps::type_text("12");
         gui_steps::press_key(GDK_KEY_Return);
       });
  then(gui_steps::steadily(idle), [&] {
    gui_steps::screenshot("hlr_road_result_in_view.png");
    uint16_t group = 0;
    for (ElemHeader* e = elem_list_head; e; e = e->next) {
      if (!elem_as<LineElem>(e)) continue;
      ++lines;
      on_layer += e->layer == 12;
      if (e->group != group) ++groups, group = e->group;
    }
    // The result alone, in the plan.
    for (LayerRec& l : layers) l.shown = 0;
    cur_layer = 12;
    mainwin_select_view(VIEW_PLAN);
  });
  then(gui_steps::steadily(idle), [] {
    gui_steps::screenshot("hlr_road_result.png");
    drawing_modified = 0;
    choose_menu("Quit");
  });

  std::string out;
  EXPECT_EQ(run_program({}, &out), 0);
  EXPECT_NE(out.find("hlr render time: "), std::string::npos) << out;
  EXPECT_GT(lines, 100);
  EXPECT_EQ(on_layer, lines);
  EXPECT_EQ(groups, 1);
}

}  // namespace
