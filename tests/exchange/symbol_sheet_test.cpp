// The symbol sheet (every door, window and opening symbol, every dimension
// kind, a room with a hole, the four pattern types) through every 2D
// writer, each file accepted by its format's tool. The pictures stay in the
// test output folder, beside kav-render's picture of the same sheet
// (kav-render @symbols), to be looked at.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "exchange/hpgl_writer.h"
#include "exchange/pdf_writer.h"
#include "exchange/ps_writer.h"
#include "exchange/svg_writer.h"
#include "export_fixture.h"
#include "support/render_fixture.h"

namespace {

namespace fs = std::filesystem;

class SymbolSheet : public ExportTest {
 protected:
  void SetUp() override {
    ExportTest::SetUp();
    ASSERT_TRUE(render_fixture_build("symbols"));
  }
  // Runs an exporter on all objects in graphics mode into name.
  void run(void (*exporter)(), const std::string& name, bool asks_text_mode) {
    ui.answers = {1};
    if (asks_text_mode) ui.answers.push_back(1);
    ui.paths = {file(name)};
    exporter();
    ASSERT_TRUE(fs::exists(file(name))) << name;
  }
  void expect_picture(const ToolRun& run, const std::string& png) {
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.out, "");
    EXPECT_GT(fs::file_size(png), 2000u) << png;
  }
};

TEST_F(SymbolSheet, Eps) {
  run(eps_export, "sheet.eps", true);
  const std::string png = output("symbol_sheet_eps.png");
  expect_picture(tool({"gs", "-q", "-dBATCH", "-dNOPAUSE", "-dSAFER", "-dEPSCrop", "-sDEVICE=png16m", "-r36",
                       "-sOutputFile=" + png, file("sheet.eps")}),
                 png);
}

TEST_F(SymbolSheet, Pdf) {
  run(pdf_export, "sheet.pdf", true);
  const ToolRun check = tool({"qpdf", "--check", file("sheet.pdf")});
  EXPECT_EQ(check.status, 0) << check.out;
  const std::string png = output("symbol_sheet_pdf");
  expect_picture(tool({"pdftoppm", "-png", "-r", "36", "-singlefile", file("sheet.pdf"), png}), png + ".png");
}

TEST_F(SymbolSheet, Svg) {
  run(svg_export, "sheet.svg", false);
  const ToolRun lint = tool({"xmllint", "--noout", "--nonet", file("sheet.svg")});
  EXPECT_EQ(lint.status, 0) << lint.out;
  const std::string png = output("symbol_sheet_svg.png");
  expect_picture(tool({"rsvg-convert", "-b", "white", "-z", "0.5", file("sheet.svg"), "-o", png}), png);
}

// Printed on one A4 sheet placed at the sheet's lower left corner, at 1:200
// in landscape so that it fits.
TEST_F(SymbolSheet, Print) {
  print_settings.scale = 200;
  print_settings.orientation = 1;
  print_settings.colour = 1;
  ui.answers = {2};
  ui.paths = {file("sheet.ps")};
  ps_print_at(-2, -2);
  const std::string png = output("symbol_sheet_print.png");
  expect_picture(tool({"gs", "-q", "-dBATCH", "-dNOPAUSE", "-dSAFER", "-sDEVICE=png16m", "-r36",
                       "-sOutputFile=" + png, file("sheet.ps")}),
                 png);
}

// Plotted in plain HPGL on an A4 sheet centred on the symbols at 1:200.
TEST_F(SymbolSheet, Hpgl) {
  plot_settings.scale = 200;
  plot_settings.orientation = 1;
  for (ElemHeader* e : elements()) e->mark = 1;
  ui.answers = {2};
  ui.paths = {file("sheet.hpgl")};
  hpgl_plot_at(12, 5);
  const std::string png = output("symbol_sheet_hpgl.png");
  const ToolRun run = tool({"hp2xx", "-q", "-m", "png", "-c", "12345671", "-f", png, file("sheet.hpgl")});
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_GT(fs::file_size(png), 2000u) << png;
}

}  // namespace
