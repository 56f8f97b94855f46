// A 3DS round trip through the real window: two walls and a block exported
// through Project > Export > 3DS, then the file imported through Project >
// Import > 3DS onto a layer of its own, looked at in the isometric view and
// taken back with one undo; assimp reads the file.

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "building/solid/solid_mesh.h"
#include "building/tool_3d_common.h"
#include "display/command_buffer.h"
#include "display/view.h"
#include "gui_steps.h"
#include "model/elem.h"
#include "model/layers.h"
#include "model/settings.h"
#include "model/wall_outline.h"
#include "platform/process.h"
#include "shell/dlg_table.h"
#include "shell/gtk/mainwin.h"
#include "shell/gtk/startup.h"
#include "support/wall_fixture.h"

namespace {

namespace fs = std::filesystem;
using gui_steps::prompt;

// A wall 0.3 thick and 2.75 high along the axis from (x0, y0) to (x1, y1).
void wall(double x0, double y0, double x1, double y1) { new_axis_wall(x0, y0, x1, y1, 0.15, "Default"); }

class M3dsRoadTest : public GuiProgramTest {
 protected:
  static int meshes_on(int layer) {
    int n = 0;
    for (ElemHeader* e = elem_list_head; e; e = e->next) n += e->kind == ELEM_MESH && e->layer == layer;
    return n;
  }
};

TEST_F(M3dsRoadTest, WallsAndABlockOutAndBackIn) {
  const fs::path file = folder_ / "house.3ds";
  int imported = 0, triangles_only = 1, marked = 0, after_undo = -1;
  then([] { return idle() && about_shown(); }, close_about);
  then(gui_steps::steadily([] { return idle() && !about_shown(); }), [] {
    wall(0, 0, 6, 0);
    wall(6, 0, 6, 4);
    solid_append(solid_cuboid(1, 1, 3, 2.5, 0, 1.2), 2, 0);
    mainwin_select_view(VIEW_ISO_FRONT_LEFT);
  });
  then(gui_steps::steadily(idle), [] {
    gui_steps::screenshot("m3ds_road_model.png");
    choose_submenu("Export", "3DS");
  });
  answer("All objects");
  save_file("house.3ds");
  then([file] { return idle() && !dlg_slots[DLG_FILESEL] && fs::exists(file); },
       [&marked] {
         for (ElemHeader* e = elem_list_head; e; e = e->next) marked += e->mark;
         // The import alone on a layer of its own.
         for (LayerRec& l : layers) l.shown = 0;
         cur_layer = 20;
         choose_submenu("Import", "3DS");
       });
  // The chooser starts at the file just written (import and export share
  // the name); the file is selected again until its folder has loaded.
  choose_file(file);
  then(gui_steps::steadily([] { return idle() && !dlg_slots[DLG_FILESEL] && meshes_on(20) > 0; }),
       [&imported, &triangles_only] {
         mainwin_select_view(VIEW_ISO_FRONT_LEFT);
         imported = meshes_on(20);
         for (ElemHeader* e = elem_list_head; e; e = e->next)
           if (auto* m = elem_as<MeshElem>(e); m && e->layer == 20)
             for (int32_t s : m->face_sizes) triangles_only &= s == 3;
       });
  then(gui_steps::steadily(idle), [] {
    gui_steps::screenshot("m3ds_road_imported.png");
    cmd_put_key("p_undo");
  });
  then(gui_steps::steadily(idle), [&after_undo] {
    after_undo = meshes_on(20);
    drawing_modified = 0;
    choose_menu("Quit");
  });

  std::string out;
  EXPECT_EQ(run_program({}, &out), 0);
  EXPECT_EQ(marked, 0);
  // Two walls and the block.
  EXPECT_EQ(imported, 3) << out;
  EXPECT_EQ(triangles_only, 1);
  EXPECT_EQ(after_undo, 0);
  EXPECT_NE(out.find("name = KAVRO_ob3_0 np="), std::string::npos) << out;

  ProcessRequest r;
  r.argv = {"assimp", "info", file.string()};
  r.stdout_path = (folder_ / "assimp.out").string();
  r.stderr_path = (folder_ / "assimp.err").string();
  const ProcessResult result = process_start(r);
  std::ostringstream said;
  said << std::ifstream(folder_ / "assimp.out").rdbuf() << std::ifstream(folder_ / "assimp.err").rdbuf();
  EXPECT_TRUE(result.started) << "assimp is not installed (scripts/lib/setup.sh installs it)";
  EXPECT_EQ(result.exit_status, 0) << said.str();
  EXPECT_NE(said.str().find("Meshes:             3\n"), std::string::npos) << said.str();
}

}  // namespace
