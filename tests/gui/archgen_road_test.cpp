// Generated building parts in the real window: in a house of four walls
// whose south wall has a window opening, a stairway is generated from its
// typed values and two clicks, and a window frame with one mullion and one
// transom in the opening by a pick; the result is looked at in the plan and
// in the axonometric view.

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <set>
#include <string>
#include <vector>

#include "display/command_buffer.h"
#include "display/view.h"
#include "gui_steps.h"
#include "model/elem.h"
#include "model/geom.h"
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
  return new_axis_wall(x0, y0, x1, y1, 0.15, "Default");
}

// The house: 8 x 6 m, a window opening from 3 to 5.5 m in the south wall,
// sill 0.9, 1.3 high, with a stop 0.05 wide and 0.1 deep.
void build_house() {
  WallElem* south = wall(0, 0, 8, 0);
  cut_axis_opening(south, OPENING_WINDOW, 3, 5.5, 0.9, 1.3);
  wall(8, 6, 0, 6);
  wall(8, 0, 8, 6);
  wall(0, 6, 0, 0);
}

// The tool button labelled text on whichever tool page holds it.
GtkWidget* tool_button(const char* text) {
  GtkNotebook* book = GTK_NOTEBOOK(mainwin_widgets.notebook);
  for (int i = 0; i < gtk_notebook_get_n_pages(book); ++i)
    if (GtkWidget* b = gui_steps::find_labelled_button(gtk_notebook_get_nth_page(book, i), text)) return b;
  return nullptr;
}

void click_world(double x, double y) { gui_steps::click_view(view_wx_to_sx(x), view_wy_to_sy(y)); }

class ArchgenRoadTest : public GuiProgramTest {
 protected:
  static void press(const char* label) {
    GtkWidget* b = tool_button(label);
    ASSERT_NE(b, nullptr) << label;
    gtk_button_clicked(GTK_BUTTON(b));
  }
  // Types the value into the entry once the prompt shows.
  static void answer(const std::string& question, const std::string& value) {
    then([question] { return prompt() == question && mainwin_value_entry_widget(); },
         [value] {
           gui_steps::type_text(value.c_str());
           gui_steps::press_key(GDK_KEY_Return);
         });
  }
};

TEST_F(ArchgenRoadTest, AStairwayAndAWindowFrameInAHouse) {
  int before = 0;
  // What the tools made, in order (the elements go when the program ends).
  struct Made {
    bool mesh;
    uint16_t group;
    std::string material;
  };
  std::vector<Made> made;
  then([] { return idle() && about_shown(); }, close_about);
  then(gui_steps::steadily([] { return idle() && !about_shown(); }), [] {
    build_house();
    cmd_put_key("s_alles");
  });
  then(gui_steps::steadily(idle), [&] {
    before = elem_count();
    press("Stairway");
  });
  answer("Width of stairway:", "1.2");
  answer("Steps thickness:", "0.2");
  answer("Nosing:", "0.03");
  answer("Number of steps:", "12");
  answer("Base:", "0");
  answer("Height:", "2.75");
  then([] { return prompt() == "Start point:"; }, [] { click_world(6.5, 1.5); });
  then([] { return prompt() == "Move/End point:"; }, [] { click_world(6.5, 5); });
  then([] { return prompt() == "Move/Confirm:"; }, [] { gui_steps::press_key(GDK_KEY_Return); });
  then([&] { return prompt() == "Start point:" && elem_count() == before + 17; },
       [] { gui_steps::press_key(GDK_KEY_Escape); });
  then(gui_steps::steadily(idle), [] { press("Profile"); });
  answer("Number of monials:", "1");
  answer("Number of transoms:", "1");
  then([] { return prompt() == "Select Opening:"; }, [] { click_world(4.25, 0); });
  then([&] { return prompt() == "Select Opening:" && elem_count() == before + 30; },
       [] { gui_steps::press_key(GDK_KEY_Escape); });
  then(gui_steps::steadily(idle), [&] {
    gui_steps::screenshot("archgen_road_plan.png");
    int k = 0;
    for (ElemHeader* e = elem_list_head; e; e = e->next)
      if (k++ >= before) {
        const auto* m = elem_as<MeshElem>(e);
        made.push_back({m != nullptr, e->group, m ? std::string(m->material.c_str()) : ""});
      }
    mainwin_select_view(VIEW_ISO_FRONT_LEFT);
  });
  then(gui_steps::steadily(idle), [] {
    gui_steps::screenshot("archgen_road_axonometric.png");
    drawing_modified = 0;
    choose_menu("Quit");
  });

  std::string out;
  EXPECT_EQ(run_program({}, &out), 0);
  ASSERT_EQ(made.size(), 30u) << out;
  // The stairway: 12 treads, then its circle and four lines, one group.
  std::set<int> stair_groups, frame_groups;
  int treads = 0, glass = 0;
  for (int k = 0; k < 17; ++k) {
    stair_groups.insert(made[k].group);
    treads += made[k].mesh;
  }
  for (int k = 17; k < 30; ++k) {
    frame_groups.insert(made[k].group);
    EXPECT_TRUE(made[k].mesh) << k;
    glass += made[k].material == "Glas";
  }
  EXPECT_EQ(treads, 12);
  EXPECT_EQ(glass, 4);
  ASSERT_EQ(stair_groups.size(), 1u);
  ASSERT_EQ(frame_groups.size(), 1u);
  EXPECT_NE(*stair_groups.begin(), 0);
  EXPECT_NE(*frame_groups.begin(), 0);
  EXPECT_NE(*stair_groups.begin(), *frame_groups.begin());
}

}  // namespace
