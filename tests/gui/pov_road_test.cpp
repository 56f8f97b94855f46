// A small house rendered with POV-Ray through the real window: the scene
// exported through the menu's POV item with its questions and the file
// chooser, and the render command (the render settings' button) starting a
// stand-in povray on the scene in the private folder. Both scenes then go
// through the real POV-Ray.

#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "display/command_buffer.h"
#include "display/view.h"
#include "gui_steps.h"
#include "model/camera.h"
#include "model/defaults.h"
#include "model/elem.h"
#include "model/files/kavfile.h"
#include "model/files/load_save.h"
#include "model/layers.h"
#include "model/settings.h"
#include "model/wall_outline.h"
#include "platform/process.h"
#include "shell/dlg_table.h"
#include "shell/gtk/mainwin.h"

namespace {

namespace fs = std::filesystem;
using gui_steps::prompt;

class PovRoadTest : public GuiProgramTest {
 protected:
  void SetUp() override {
    GuiProgramTest::SetUp();
    if (const char* p = getenv("PATH")) old_path_ = p;
    // The stand-in povray keeps a copy of the scene it was given and its
    // arguments, the list last, so the list is there only when all is.
    const fs::path bin = folder_ / "bin";
    fs::create_directories(bin);
    std::ofstream(bin / "povray") << "#!/bin/sh\n"
                                  << "out='" << folder_.path().string() << "'\n"
                                  << "for a in \"$@\"; do\n"
                                  << "  printf '%s\\n' \"$a\" >> \"$out/args.part\"\n"
                                  << "  case \"$a\" in +I*) s=${a#+I}; s=${s#\\\"}; s=${s%\\\"}; "
                                     "cp \"$s\" \"$out/render.pov\";; esac\n"
                                  << "done\n"
                                  << "pwd > \"$out/where\"\n"
                                  << "mv \"$out/args.part\" \"$out/args\"\n";
    chmod((bin / "povray").c_str(), 0755);
    setenv("PATH", (bin.string() + ":" + old_path_).c_str(), 1);
  }
  void TearDown() override {
    setenv("PATH", old_path_.c_str(), 1);
    GuiProgramTest::TearDown();
  }

  // Two walls, the front one with a window, a glass cuboid before them on a
  // floor, a spotlight and a point light, and the camera looking at it all.
  std::string make_house() {
    main_init_defaults();
    auto wall = [](double x0, double y0, double x1, double y1, double x2, double y2, double x3, double y3) {
      const double c[24] = {x0, y0, 0,   x1, y1, 0,   x2, y2, 0,   x3, y3, 0,
                            x0, y0, 2.5, x1, y1, 2.5, x2, y2, 2.5, x3, y3, 2.5};
      WallSegment quad[4];
      wall_outline_quad(x0, y0, x1, y1, x2, y2, x3, y3, quad);
      elem_new_wall(0, 1, 0, c, 4, quad, 0, nullptr, "Default", 0, 0, 0, 0, 0, 0, 0);
      return elem_as<WallElem>(elem_list_tail);
    };
    WallElem* front = wall(0, 0, 4, 0, 4, 0.3, 0, 0.3);
    Point3 box[8];
    const double xs[4] = {1, 2.5, 2.5, 1}, ys[4] = {0, 0, 0.3, 0.3};
    for (int i = 0; i < 4; ++i) {
      box[i] = {xs[i], ys[i], 0.9, 0};
      box[i + 4] = {xs[i], ys[i], 2.1, 0};
    }
    WallElem* cut = opening_cut_wall(box, OPENING_WINDOW, 1, 0.9, 1.2, 0.05, 0.1, 0, front);
    EXPECT_NE(cut, front);
    elem_unlink(front);
    elem_destroy(front);
    wall(0, 0.3, 0.3, 0.3, 0.3, 3, 0, 3);
    auto cuboid = [](double x, double y, double z, double dx, double dy, double dz, const char* material) {
      std::vector<Point3> v;
      for (double zz : {z, z + dz})
        for (auto [px, py] : {std::pair{x, y}, {x + dx, y}, {x + dx, y + dy}, {x, y + dy}})
          v.push_back({px, py, zz, 0});
      const int32_t sizes[6] = {4, 4, 4, 4, 4, 4};
      const int32_t idx[24] = {0, 3, 2, 1, 4, 5, 6, 7, 0, 1, 5, 4, 1, 2, 6, 5, 2, 3, 7, 6, 3, 0, 4, 7};
      elem_new_mesh(0, 1, 0, 8, 6, sizes, v.data(), idx, material, 0);
    };
    cuboid(1.5, -2.5, 0, 1, 1, 1, "Glas");
    cuboid(-3, -4, -0.2, 10, 8, 0.2, "Default");
    elem_new_light(0, 1, 0, LIGHT_SPOT, 1, 15, 40, 0.7, 3, -5, 5, 2, 0, 0, 1, 1, 1);
    elem_new_light(0, 1, 0, LIGHT_POINT, 0, 12, 0, 1, -2, -6, 3, 0, 0, 0, 0.5, 0.5, 0.5);
    elem_new_camera(0, 1, 0, 7, -8, 3.5, 1.5, 0, 1, 50, 1);
    const std::string path = (folder_ / "house.kav").string();
    EXPECT_EQ(kavfile_write_file(path, kavfile_write_drawing, "open", "write"), 1);
    drawing_free();
    drawing_modified = 0;
    return path;
  }

  // Renders a scene with the real POV-Ray into the test output folder;
  // returns what it printed, with its exit status.
  std::string render(const fs::path& scene, const std::string& png, int* status) {
    fs::create_directories(KAVRO_TEST_OUTPUT_DIR);
    return tool({"/usr/bin/povray", "+I" + scene.string(), "+W320", "+H240", "-D",
                 "+O" + std::string(KAVRO_TEST_OUTPUT_DIR) + "/" + png},
                status);
  }

  std::string old_path_;
};

TEST_F(PovRoadTest, ExportAndRenderAHouse) {
  ASSERT_TRUE(fs::exists("/usr/bin/povray")) << "povray is not installed (scripts/lib/setup.sh installs it)";
  const std::string house = make_house();
  const fs::path folder = folder_.path();
  then([] { return idle() && about_shown(); }, close_about);
  then(gui_steps::steadily([] { return idle() && !about_shown(); }), [] { choose_menu("POV"); });
  answer("Perspective");
  then(
      [] {
        GtkWidget* b = nullptr;
        return gui_steps::other_window("All objects", &b) != nullptr;
      },
      [] {
        if (GdkPixbuf* shot = gui_steps::screenshot("pov_road_scope.png")) g_object_unref(shot);
        GtkWidget* b = nullptr;
        gui_steps::other_window("All objects", &b);
        ASSERT_NE(b, nullptr);
        gtk_button_clicked(GTK_BUTTON(b));
      });
  save_file("house.pov");
  // The render settings' button posts the render command.
  then(idle, [] { cmd_put_key("b_3d_pov"); });
  answer("Perspective");
  then([folder] { return idle() && fs::exists(folder / "args"); },
       [] {
         if (GdkPixbuf* shot = gui_steps::screenshot("pov_road_rendered.png")) g_object_unref(shot);
         choose_menu("Quit");
       });
  // Quitting asks nothing: the exports changed nothing in the drawing.
  std::string out;
  EXPECT_EQ(run_program({house}, &out), 0);
  for (ElemHeader* e = elem_list_head; e; e = e->next) EXPECT_EQ(e->mark, 0);

  std::ifstream args_file(folder / "args");
  std::vector<std::string> args;
  for (std::string a; std::getline(args_file, a);) args.push_back(a);
  ASSERT_GE(args.size(), 2u);
  EXPECT_EQ(args[0].substr(0, 3), "+I\"");
  EXPECT_EQ(args[0].substr(args[0].size() - 11), "/kavro.pov\"");
  std::string where;
  std::getline(std::ifstream(folder / "where"), where);
  EXPECT_EQ(fs::path(args[0].substr(3, args[0].size() - 4)).parent_path(), fs::path(where));

  for (const auto& [scene, png] : {std::pair{folder / "house.pov", "pov_road_export.png"},
                                   std::pair{folder / "render.pov", "pov_road_render.png"}}) {
    int status = -1;
    const std::string said = render(scene, png, &status);
    EXPECT_EQ(status, 0) << scene << "\n" << said;
    EXPECT_EQ(said.find("Parse Error"), std::string::npos) << said;
  }
}

}  // namespace
