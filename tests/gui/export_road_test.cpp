// Printing and exporting a plan through the real window, as an architect
// does it: Print with the sheet placed by two clicks and "To File", then
// PDF (texts as texts), SVG and a plot, each through its menu item, its
// questions and the file chooser; the files then go through Ghostscript,
// qpdf, poppler, xmllint and hp2xx.

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "display/view.h"
#include "gui_steps.h"
#include "model/defaults.h"
#include "model/elem.h"
#include "model/files/kavfile.h"
#include "model/files/load_save.h"
#include "model/layers.h"
#include "model/settings.h"
#include "platform/process.h"
#include "shell/dlg_table.h"
#include "shell/gtk/mainwin.h"
#include "shell/gtk/startup.h"
#include "support/render_fixture.h"

namespace {

namespace fs = std::filesystem;
using gui_steps::prompt;

class ExportRoadTest : public GuiProgramTest {
 protected:
  // The plan: walls with doors and windows, dimensions, a room and
  // hatches, written as the program writes drawings.
  std::string make_plan() {
    main_init_defaults();
    EXPECT_TRUE(render_fixture_build("symbols"));
    const std::string path = (folder_ / "plan.kav").string();
    EXPECT_EQ(kavfile_write_file(path, kavfile_write_drawing, "open", "write"), 1);
    drawing_free();
    drawing_modified = 0;
    return path;
  }

  // Types name into the save chooser's name field, key by key as a user
  // does over the name it proposes, and presses OK.
  void type_name(const std::string& name) const {
    in_folder(
        [name] { gui_steps::type_text(name.c_str(), static_cast<GtkWidget*>(dlg_slots[DLG_FILESEL])); });
    then(
        [name] {
          if (!dlg_slots[DLG_FILESEL]) return false;
          gchar* typed = gtk_file_chooser_get_current_name(chooser());
          const bool done = typed && std::string(typed).rfind(name, 0) == 0;
          g_free(typed);
          return done;
        },
        ok);
  }

  // Two clicks place a sheet: the point, then the confirmation.
  static void place_sheet(int x, int y, const std::string& picture) {
    then([] { return prompt() == "Set frame:"; }, [x, y] { gui_steps::click_view(x, y); });
    then(gui_steps::steadily([] { return prompt() == "Move/Confirm:"; }), [x, y, picture] {
      // The sheet's rubber band, to look at.
      if (GdkPixbuf* shot = gui_steps::screenshot(picture)) g_object_unref(shot);
      gui_steps::click_view(x, y);
    });
  }
};

TEST_F(ExportRoadTest, PrintPdfSvgAndPlotOfAPlan) {
  const std::string plan = make_plan();
  then([] { return idle() && about_shown(); }, close_about);
  // Printing: the sheet's lower left corner at a click, to a file.
  then(gui_steps::steadily([] { return idle() && !about_shown(); }), [] {
    print_settings.scale = 50;
    choose_menu("Print");
  });
  place_sheet(20, 380, "export_road_print_frame.png");
  answer("To File");
  save_file("plan.ps");
  // PDF of all objects with its texts as texts.
  then(idle, [] { choose_menu("PDF"); });
  answer("All objects");
  answer("Export text(For later editing)");
  save_file("plan.pdf");
  then(idle, [] { choose_menu("SVG"); });
  answer("All objects");
  save_file("plan.svg");
  // A plot on a sheet centred in the view.
  then(idle, [] {
    plot_settings.scale = 50;
    plot_settings.orientation = 1;
    choose_menu("Plot");
  });
  answer("All objects");
  place_sheet(300, 200, "export_road_plot_frame.png");
  answer("To File");
  save_file("plan.hpgl");
  then(idle, [] { choose_menu("Quit"); });

  std::string out;
  EXPECT_EQ(run_program({plan}, &out), 0);

  int status = -1;
  std::string said =
      tool({"gs", "-q", "-dBATCH", "-dNOPAUSE", "-dSAFER", "-sDEVICE=png16m", "-r36",
            "-sOutputFile=" KAVRO_TEST_OUTPUT_DIR "/export_road_print.png", (folder_ / "plan.ps").string()},
           &status);
  EXPECT_EQ(status, 0) << said;
  EXPECT_EQ(said, "");
  said = tool({"qpdf", "--check", (folder_ / "plan.pdf").string()}, &status);
  EXPECT_EQ(status, 0) << said;
  said = tool({"pdftotext", (folder_ / "plan.pdf").string(), "-"}, &status);
  EXPECT_NE(said.find("23.00 QM"), std::string::npos) << said;
  said = tool({"xmllint", "--noout", "--nonet", (folder_ / "plan.svg").string()}, &status);
  EXPECT_EQ(status, 0) << said;
  said = tool({"hp2xx", "-q", "-m", "png", "-f", KAVRO_TEST_OUTPUT_DIR "/export_road_plot.png",
               (folder_ / "plan.hpgl").string()},
              &status);
  EXPECT_EQ(status, 0) << said;
  // Nothing stays marked: a mark would keep an element out of the next save.
  for (ElemHeader* e = elem_list_head; e; e = e->next) EXPECT_EQ(e->mark, 0);
}

// The file gets the name that was typed: the chooser proposes the format's
// suffix, a typed suffix stays (whatever its case), a name without one gets
// the format's, and that name, already there, is asked about first.
TEST_F(ExportRoadTest, ExportedFilesHaveTheTypedNames) {
  const std::string plan = make_plan();
  then([] { return idle() && about_shown(); }, close_about);
  auto pdf = [this](const std::string& typed) {
    then(gui_steps::steadily([] { return idle() && !about_shown(); }), [] { choose_menu("PDF"); });
    answer("All objects");
    answer("Export graphics(WYSIWYG)");
    type_name(typed);
  };
  pdf("house.pdf");
  then([this] { return idle() && !dlg_slots[DLG_FILESEL] && fs::exists(folder_ / "house.pdf"); },
       [this] { fs::rename(folder_ / "house.pdf", folder_ / "first.pdf"); });
  pdf("house");
  then([this] { return idle() && !dlg_slots[DLG_FILESEL] && fs::exists(folder_ / "house.pdf"); }, [] {});
  pdf("house");
  answer("Overwrite");
  pdf("house.PDF");
  then([this] { return idle() && !dlg_slots[DLG_FILESEL] && fs::exists(folder_ / "house.PDF"); },
       [] { choose_menu("SVG"); });
  answer("All objects");
  type_name("house.svg");
  then([this] { return idle() && !dlg_slots[DLG_FILESEL] && fs::exists(folder_ / "house.svg"); },
       [] { choose_menu("Quit"); });

  std::string out;
  EXPECT_EQ(run_program({plan}, &out), 0);
  std::vector<std::string> names;
  for (const fs::directory_entry& e : fs::directory_iterator(folder_.path()))
    if (e.is_regular_file() && e.path().extension() != ".kav" &&
        e.path().filename().string().rfind("tool.", 0) != 0)
      names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"first.pdf", "house.PDF", "house.pdf", "house.svg"}));
  int status = -1;
  for (const char* name : {"first.pdf", "house.pdf", "house.PDF"}) {
    const std::string said = tool({"qpdf", "--check", (folder_ / name).string()}, &status);
    EXPECT_EQ(status, 0) << name << ": " << said;
  }
}

}  // namespace
