// A Radiance render through the real window, with stand-in tools first on
// PATH (Radiance is not packaged for Debian): the view question answered
// by its button, the octree built while the program waits, then rendering,
// conversion and the default image viewer in the background.

#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "display/command_buffer.h"
#include "display/view.h"
#include "gui_steps.h"
#include "model/elem.h"
#include "model/settings.h"
#include "model/view_rec.h"
#include "model/wall_outline.h"
#include "shell/dlg_table.h"
#include "shell/gtk/mainwin.h"
#include "shell/gtk/startup.h"
#include "support/wall_fixture.h"

namespace {

namespace fs = std::filesystem;
using gui_steps::prompt;

std::string read_file(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class RadianceRoadTest : public GuiProgramTest {
 protected:
  void SetUp() override {
    GuiProgramTest::SetUp();
    const char* path = std::getenv("PATH");
    saved_path_ = path ? path : "";
    bin_ = folder_ / "bin";
    log_ = folder_ / "tools.log";
    fs::create_directories(bin_);
    stub("gensky", "printf 'void brightfunc skyfunc\\n2 skybr skybright.cal\\n0\\n7 1 2 3 4 5 6 7\\n'");
    stub("oconv", "printf 'octree\\n'");
    stub("rad", "printf 'picture\\n' > kavro_a.pic");
    stub("ra_ppm", "printf 'P3\\n1 1\\n255\\n200 180 120\\n'");
    stub("xdg-open", "");
    setenv("PATH", (bin_.string() + ":" + saved_path_).c_str(), 1);
  }
  void TearDown() override {
    setenv("PATH", saved_path_.c_str(), 1);
    GuiProgramTest::TearDown();
  }

  // A stand-in that logs "name args" and then does body.
  void stub(const std::string& name, const std::string& body) const {
    const fs::path p = bin_ / name;
    std::ofstream(p) << "#!/bin/sh\n{ printf '%s' " << name
                     << "; for a in \"$@\"; do printf ' %s' \"$a\"; done; "
                     << "printf '\\n'; } >> '" << log_.string() << "'\n"
                     << body << "\n";
    ::chmod(p.c_str(), 0700);
  }

  static void press(const char* label) {
    GtkWidget* button = nullptr;
    gui_steps::other_window(label, &button);
    ASSERT_NE(button, nullptr) << label;
    gtk_button_clicked(GTK_BUTTON(button));
  }

  // Two walls, a floor of two triangles and a light.
  static void build_scene() {
    const double axes[2][4] = {{0, 0, 6, 0}, {0, 4, 0, 0}};
    for (const auto& axis : axes) new_axis_wall(axis[0], axis[1], axis[2], axis[3], 0.12, "Default");
    int32_t sizes[] = {3, 3};
    Point3 v[] = {{0, 0, 0}, {6, 0, 0}, {6, 4, 0}, {0, 4, 0}};
    int32_t idx[] = {0, 1, 2, 2, 3, 0};
    elem_new_mesh(0, 1, 0, 4, 2, sizes, v, idx, "Default", 0);
    elem_new_light(0, 1, 0, 0, 0, 0.5, 20, 0, 3, 2, 2.5, 3, 2, 1.5, 1, 1, 1);
  }

  std::string saved_path_;
  fs::path bin_, log_;
};

TEST_F(RadianceRoadTest, RendersTheShownLayersWithTheToolsOnPath) {
  bool all_unmarked = false;
  then([] { return idle() && about_shown(); }, [] { press("Close"); });
  then(gui_steps::steadily([] { return idle() && !about_shown(); }), [] {
    build_scene();
    rad_settings.sky = 5;
    mainwin_select_view(VIEW_ISO_FRONT_LEFT);
  });
  then(gui_steps::steadily(idle), [] { cmd_put_key("b_3d_ray"); });
  then(
      [] {
        GtkWidget* button = nullptr;
        return gui_steps::other_window("Perspective", &button) != nullptr;
      },
      [] {
        gui_steps::screenshot("radiance_road_question.png");
        press("Perspective");
      });
  // The viewer is the last of the background chain.
  then([this] { return idle() && read_file(log_).find("xdg-open") != std::string::npos; },
       [&all_unmarked] {
         gui_steps::screenshot("radiance_road_after.png");
         all_unmarked = true;
         for (ElemHeader* e = elem_list_head; e; e = e->next) all_unmarked = all_unmarked && e->mark == 0;
         drawing_modified = 0;
         GtkWidget* item = gui_steps::find_menu_item(main_window, "Quit");
         ASSERT_NE(item, nullptr);
         gtk_menu_item_activate(GTK_MENU_ITEM(item));
       });

  std::string out;
  EXPECT_EQ(run_program({}, &out), 0);
  const std::string log = read_file(log_);
  std::istringstream lines(log);
  std::vector<std::string> calls;
  for (std::string line; std::getline(lines, line);) calls.push_back(line.substr(0, line.find(' ')));
  EXPECT_EQ(calls, (std::vector<std::string>{"gensky", "oconv", "rad", "ra_ppm", "xdg-open"})) << log;
  EXPECT_NE(log.find("gensky 7 1 12:00 -a 50 -c\n"), std::string::npos) << log;
  EXPECT_NE(log.find("/radiance/kavro_a.ppm\n"), std::string::npos) << log;
  EXPECT_TRUE(all_unmarked);
}

// Without the tools the user is told which one is missing, before any
// question.
TEST_F(RadianceRoadTest, AMissingToolIsNamed) {
  fs::remove(bin_ / "oconv");
  bool asked = true;
  then([] { return idle() && about_shown(); }, [] { press("Close"); });
  then(gui_steps::steadily([] { return idle() && !about_shown(); }), [] {
    build_scene();
    cmd_put_key("b_3d_ray");
  });
  then(gui_steps::steadily([] { return idle() && dlg_slots[DLG_ERROR] != nullptr; }), [&asked] {
    gui_steps::screenshot("radiance_road_missing_tool.png");
    GtkWidget* button = nullptr;
    asked = gui_steps::other_window("Perspective", &button) != nullptr;
    drawing_modified = 0;
    choose_menu("Quit");
  });

  std::string out;
  EXPECT_EQ(run_program({}, &out), 0);
  EXPECT_FALSE(asked);
  EXPECT_FALSE(fs::exists(log_));
}

}  // namespace
