// Dimensions and hatches in the real window: the program started as a
// person starts it, a wall drawn with the Wall tool, dimensioned through by
// the Auto dimension tool with clicks (a vertical direction, the position,
// a cut line across the wall), a rectangle hatched with the pattern tool;
// the drawing saved, loaded again through the menu and saved once more,
// and the two files compared byte for byte.

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "display/view.h"
#include "gui_steps.h"
#include "model/elem.h"
#include "model/files/load_save.h"
#include "model/geom.h"
#include "saved_chunks.h"
#include "shell/dlg_table.h"
#include "shell/gtk/mainwin.h"
#include "shell/gtk/startup.h"
#include "shell/mainwin_tables.h"

namespace {

namespace fs = std::filesystem;
using gui_steps::prompt;

std::string file_bytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

// The numbers after each key (such as " direction=") in a dump line, in order.
std::vector<double> fields(const std::string& line, const std::string& key) {
  std::vector<double> out;
  for (std::size_t at = line.find(key); at != std::string::npos; at = line.find(key, at + 1))
    out.push_back(std::stod(line.substr(at + key.size())));
  return out;
}

// The button labelled text on the tool page of that title.
GtkWidget* page_button(const char* page, const char* text) {
  GtkNotebook* book = GTK_NOTEBOOK(mainwin_widgets.notebook);
  const auto pages = mainwin_tool_pages();
  for (std::size_t i = 0; i < pages.size(); ++i)
    if (std::string(pages[i].title) == page)
      if (GtkWidget* child = gtk_notebook_get_nth_page(book, static_cast<int>(i)))
        return gui_steps::find_labelled_button(child, text);
  return nullptr;
}

class DimPatternRoadTest : public GuiProgramTest {
 protected:
  static void press(const char* page, const char* text) {
    GtkWidget* b = page_button(page, text);
    ASSERT_NE(b, nullptr) << page << " " << text;
    gtk_button_clicked(GTK_BUTTON(b));
  }
  static void enter_at(const char* when) {
    const std::string p = when;
    then([p] { return prompt() == p; }, [] { gui_steps::press_key(GDK_KEY_Return); });
  }
  void load(const std::string& name) {
    const std::string path = (folder_ / name).string();
    then(idle, [] { choose_menu("Load"); });
    open_file(path);
    then([path] { return idle() && !dlg_slots[DLG_FILESEL] && drawing_file == path; }, [] {});
  }
};

TEST_F(DimPatternRoadTest, AWallDimensionedAndARectangleHatchedSurviveSaveLoadSave) {
  // The wall from pixel (100, 200) to (350, 220); the cut at x = 200 from
  // above to below it; the hatch from (400, 60) to (520, 140).
  double wall_low = 0, wall_high = 0, cut_x = 0, line_x = 0;
  std::vector<double> hatch;

  then([] { return idle() && about_shown(); }, close_about);
  then(gui_steps::steadily([] { return idle() && !about_shown(); }), [&] {
    wall_low = view_sy_to_wy(220);
    wall_high = view_sy_to_wy(200);
    cut_x = view_sx_to_wx(200);
    line_x = view_sx_to_wx(60);
    hatch = {view_sx_to_wx(400), view_sy_to_wy(140), view_sx_to_wx(520), view_sy_to_wy(60)};
    press("Wall", "Wall");
  });
  click_at("1st Corner point:", 100, 200);
  click_at("Move/2nd Corner point:", 350, 220);
  enter_at("Move/Confirm:");
  then([] { return prompt() == "1st Corner point:" && elem_count() == 1; },
       [] { gui_steps::press_key(GDK_KEY_Escape); });

  then(idle, [] { press("Dimension", "Auto"); });
  click_at("Angle/1st Direction point:", 450, 300);
  click_at("Move/2nd Direction point:", 450, 200);
  enter_at("Move/Confirm:");
  click_at("Position of dimension:", 60, 150);
  enter_at("Move/Confirm:");
  click_at("Start point:", 200, 170);
  click_at("Move/End point:", 200, 260);
  then(gui_steps::steadily([] { return prompt() == "Move/Confirm:"; }), [] {
    if (GdkPixbuf* shot = gui_steps::screenshot("dim_road_cut.png")) g_object_unref(shot);
    gui_steps::press_key(GDK_KEY_Return);
  });
  then([] { return prompt() == "Position of dimension:" && elem_count() == 2; },
       [] { gui_steps::press_key(GDK_KEY_Escape); });

  then(idle, [] { press("Pattern", "Area"); });
  click_at("1st Corner point:", 400, 60);
  click_at("Move/2nd Corner point:", 520, 140);
  enter_at("Move/Confirm:");
  then([] { return prompt() == "1st Corner point:" && elem_count() == 3; },
       [] { gui_steps::press_key(GDK_KEY_Escape); });
  then(gui_steps::steadily(idle), [] {
    if (GdkPixbuf* shot = gui_steps::screenshot("dim_road_done.png")) g_object_unref(shot);
  });
  save_as("first.kav");
  load("first.kav");
  save_as("second.kav");
  then(idle, [] { choose_menu("Quit"); });

  std::string out;
  EXPECT_EQ(run_program({}, &out), 0);

  const fs::path first = folder_ / "first.kav", second = folder_ / "second.kav";
  const auto dims = saved_chunks(first, "DIM3");
  ASSERT_EQ(dims.size(), 1u) << out;
  EXPECT_NE(dims[0].find(" dim_kind=0 points=2["), std::string::npos) << dims[0];
  EXPECT_EQ(fields(dims[0], " direction="), (std::vector<double>{HALF_PI})) << dims[0];
  EXPECT_EQ(fields(dims[0], "line_point.x="), (std::vector<double>{line_x, line_x})) << dims[0];
  for (double x : fields(dims[0], "measured.x=")) EXPECT_NEAR(x, cut_x, 1e-9) << dims[0];
  const std::vector<double> ys = fields(dims[0], "measured.y=");
  ASSERT_EQ(ys.size(), 2u);
  EXPECT_NEAR(ys[0], wall_low, 1e-9);
  EXPECT_NEAR(ys[1], wall_high, 1e-9);
  EXPECT_NEAR(fields(dims[0], "segment_length=").at(1), wall_high - wall_low, 1e-9) << dims[0];

  const auto pats = saved_chunks(first, "PAT2");
  ASSERT_EQ(pats.size(), 1u);
  EXPECT_EQ(fields(pats[0], "{x="), (std::vector<double>{hatch[0], hatch[2], hatch[2], hatch[0], 999}))
      << pats[0];
  EXPECT_EQ(fields(pats[0], " y="), (std::vector<double>{hatch[1], hatch[1], hatch[3], hatch[3], 999}))
      << pats[0];

  ASSERT_TRUE(fs::exists(second));
  EXPECT_EQ(file_bytes(first), file_bytes(second)) << "the drawing changed by loading and saving it again";
}

}  // namespace
