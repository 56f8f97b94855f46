// Printing and exporting a plan through the real window, as an architect
// does it: Print with the sheet placed by two clicks and "To File", then
// PDF (texts as texts), SVG and a plot, each through its menu item, its
// questions and the file chooser; the files then go through Ghostscript,
// qpdf, poppler, xmllint and hp2xx.

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

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

}  // namespace
