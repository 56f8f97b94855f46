// A terrain grid through the real window: imported from the Import menu's
// DGM item, looked at in the plan and the isometric view, then exported
// from the Export menu's LWO item relative to a clicked point; the file is
// read back by OpenSceneGraph's converter.

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "display/command_buffer.h"
#include "display/view.h"
#include "gui_steps.h"
#include "model/elem.h"
#include "model/files/load_save.h"
#include "model/view_rec.h"
#include "platform/process.h"
#include "shell/dlg_table.h"
#include "shell/gtk/mainwin.h"
#include "shell/gtk/startup.h"

namespace {

namespace fs = std::filesystem;
using gui_steps::prompt;

class TerrainRoadTest : public GuiProgramTest {};

TEST_F(TerrainRoadTest, AGridImportedAndExportedAsALightWaveObject) {
  // 20 x 15 points 2 m apart from the corner (3000, 5000): a hill on a
  // slope, ordered by x.
  const std::string grid = (folder_ / "hill.xyz").string();
  {
    std::ofstream out(grid);
    for (int i = 0; i < 20; ++i)
      for (int k = 0; k < 15; ++k) {
        const double x = 2.0 * i, y = 2.0 * k;
        const double z = 120 + 0.1 * x + 6 * std::exp(-((x - 20) * (x - 20) + (y - 14) * (y - 14)) / 60);
        char line[80];
        std::snprintf(line, sizeof line, "%.1f %.1f %.3f\n", 3000 + x, 5000 + y, z);
        out << line;
      }
  }
  int meshes = 0, marked = 0;
  then([] { return idle() && about_shown(); }, close_about);
  then(gui_steps::steadily([] { return idle() && !about_shown(); }), [] { choose_menu("DGM"); });
  open_file(grid);
  then(
      [] { return idle() && !dlg_slots[DLG_FILESEL] && elem_list_tail && elem_list_tail->kind == ELEM_MESH; },
      [] { cmd_put_key("s_alles"); });
  then(gui_steps::steadily(idle), [] {
    gui_steps::screenshot("terrain_road_plan.png");
    mainwin_select_view(VIEW_ISO_FRONT_LEFT);
  });
  then(gui_steps::steadily(idle), [] {
    gui_steps::screenshot("terrain_road_iso.png");
    mainwin_select_view(VIEW_PLAN);
  });
  then(gui_steps::steadily(idle), [] { choose_menu("LWO"); });
  answer("All objects");
  click_at("Point:", 40, 360);
  then(gui_steps::steadily([] { return prompt() == "Move/Confirm:"; }), [] {
    // The reference point's marker, to look at.
    gui_steps::screenshot("terrain_road_lwo_point.png");
    gui_steps::click_view(40, 360);
  });
  save_file("hill.lwo");
  const fs::path lwo = folder_ / "hill.lwo";
  then([lwo] { return idle() && !dlg_slots[DLG_FILESEL] && fs::exists(lwo); },
       [&] {
         for (ElemHeader* e = elem_list_head; e; e = e->next) {
           meshes += e->kind == ELEM_MESH;
           marked += e->mark != 0;
         }
         drawing_modified = 0;
         choose_menu("Quit");
       });

  std::string printed;
  EXPECT_EQ(run_program({}, &printed), 0);
  EXPECT_NE(printed.find("num:  300\nxnum: 20\nynum: 15\n"), std::string::npos) << printed;
  EXPECT_EQ(meshes, 1);
  EXPECT_EQ(marked, 0);

  // 19 x 14 cells of two triangles each, read back whole.
  int status = -1;
  const std::string scene = (folder_ / "hill.osgt").string();
  const std::string said = tool({"osgconv", lwo.string(), scene}, &status);
  ASSERT_EQ(status, 0) << said;
  std::ostringstream text;
  text << std::ifstream(scene).rdbuf();
  EXPECT_NE(text.str().find("Mode TRIANGLES"), std::string::npos) << text.str().substr(0, 400);
  EXPECT_NE(text.str().find("Count 1596"), std::string::npos) << text.str().substr(0, 400);
}

}  // namespace
