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

namespace {

namespace fs = std::filesystem;
using gui_steps::prompt;

void wall(double x0, double y0, double x1, double y1) {
  wall_corners_from_axis(x0, y0, x1, y1, 0.15);
  double c[24];
  for (int i = 0; i < 4; ++i) {
    c[3 * i] = c[3 * (i + 4)] = wall_corner_bank[2 * i];
    c[3 * i + 1] = c[3 * (i + 4) + 1] = wall_corner_bank[2 * i + 1];
    c[3 * i + 2] = 0;
    c[3 * (i + 4) + 2] = 2.75;
  }
  WallSegment quad[4];
  wall_outline_quad(c[0], c[1], c[3], c[4], c[6], c[7], c[9], c[10], quad);
  elem_new_wall(0, 1, 0, c, 4, quad, 0, nullptr, "Default", 0, 0, 0, 0, 0, 0, 0);
}

class M3dsRoadTest : public GuiProgramTest {
 protected:
  static bool idle() { return main_window && view_surface(0) && prompt() == "Select function:"; }
  static bool about_shown() {
    GtkWidget* close = nullptr;
    return gui_steps::other_window("Close", &close) != nullptr;
  }
  // The item of a submenu of the menu bar ("Import", "3DS").
  static void choose_submenu(const char* menu, const char* label) {
    GtkWidget* top = gui_steps::find_menu_item(main_window, menu);
    ASSERT_NE(top, nullptr) << menu;
    GtkWidget* item = gui_steps::find_menu_item(gtk_menu_item_get_submenu(GTK_MENU_ITEM(top)), label);
    ASSERT_NE(item, nullptr) << menu << " " << label;
    gtk_menu_item_activate(GTK_MENU_ITEM(item));
  }
  static void answer(const char* text) {
    then(
        [text] {
          GtkWidget* b = nullptr;
          return gui_steps::other_window(text, &b) != nullptr;
        },
        [text] {
          GtkWidget* b = nullptr;
          gui_steps::other_window(text, &b);
          ASSERT_NE(b, nullptr) << text;
          gtk_button_clicked(GTK_BUTTON(b));
        });
  }
  static void ok() {
    GtkWidget* ok = gui_steps::find_labelled_button(static_cast<GtkWidget*>(dlg_slots[DLG_FILESEL]), "OK");
    ASSERT_NE(ok, nullptr);
    gtk_button_clicked(GTK_BUTTON(ok));
  }
  // Waits in the chooser until it shows the test's folder, then acts.
  void in_folder(std::function<void()> act) {
    const fs::path folder = folder_.path();
    then([] { return dlg_slots[DLG_FILESEL] != nullptr; },
         [folder] { gtk_file_chooser_set_current_folder(chooser(), folder.c_str()); });
    then(
        [folder] {
          if (!dlg_slots[DLG_FILESEL]) return false;
          gchar* f = gtk_file_chooser_get_current_folder(chooser());
          const bool there = f && fs::path(f) == folder;
          g_free(f);
          return there;
        },
        std::move(act));
  }
  static int meshes_on(int layer) {
    int n = 0;
    for (ElemHeader* e = elem_list_head; e; e = e->next) n += e->kind == ELEM_MESH && e->layer == layer;
    return n;
  }
};

TEST_F(M3dsRoadTest, WallsAndABlockOutAndBackIn) {
  const fs::path file = folder_ / "house.3ds";
  int imported = 0, triangles_only = 1, marked = 0, after_undo = -1;
  then([] { return idle() && about_shown(); },
       [] {
         GtkWidget* close = nullptr;
         gui_steps::other_window("Close", &close);
         if (close) gtk_button_clicked(GTK_BUTTON(close));
       });
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
  in_folder([] {
    gtk_file_chooser_set_current_name(chooser(), "house.3ds");
    ok();
  });
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
  then(
      [file] {
        if (!dlg_slots[DLG_FILESEL]) return false;
        gchar* f = gtk_file_chooser_get_filename(chooser());
        const bool chosen = f && file == f;
        g_free(f);
        if (!chosen) gtk_file_chooser_select_filename(chooser(), file.c_str());
        return chosen;
      },
      ok);
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
    GtkWidget* item = gui_steps::find_menu_item(main_window, "Quit");
    ASSERT_NE(item, nullptr);
    gtk_menu_item_activate(GTK_MENU_ITEM(item));
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
