// HPGL plotting: the header, plotter units, pen passes, chained lines, line
// types, arcs, the HPGL/2 palette and filled polygons, the plot command,
// and what hp2xx makes of the files.

#include "exchange/hpgl_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "../display/input_fixture.h"
#include "export_fixture.h"
#include "support/golden_file.h"
#include "support/recording_process.h"

namespace {

namespace fs = std::filesystem;

class HpglPlot : public ExportTest {
 protected:
  void SetUp() override {
    ExportTest::SetUp();
    plot_settings.start_sequence = "";
    plot_settings.end_sequence = "";
  }
  // Plots every element on the sheet centred at (fx, fy) into name; returns
  // the file's text.
  std::string plot(const std::string& name, double fx = 0.0, double fy = 0.0) {
    mark_all();
    ui.answers = {2};
    ui.paths = {file(name)};
    hpgl_plot_at(fx, fy);
    return read_file(file(name));
  }
  // The text between the header and the end: the pen passes.
  static std::string passes(const std::string& text) {
    const std::size_t from = text.find("SP1;\n");
    return from == std::string::npos ? "" : text.substr(from);
  }
};

// The escape bytes of HPGL/2 made visible.
std::string visible(std::string text) {
  for (std::size_t at = text.find('\x1b'); at != std::string::npos; at = text.find('\x1b', at))
    text.replace(at, 1, "<ESC>");
  return text;
}

TEST_F(HpglPlot, HeaderOfTheSheet) {
  EXPECT_EQ(plot("bl.hpgl").substr(0, 21), "IN;IP0,0,8400,11880;\n");
  plot_settings.origin_centred = 1;
  EXPECT_EQ(plot("c.hpgl").substr(0, 28), "IN;IP-4200,-5940,4200,5940;\n");
  plot_settings.orientation = 1;  // the sheet is described upright all the same
  EXPECT_EQ(plot("cl.hpgl").substr(0, 28), "IN;IP-4200,-5940,4200,5940;\n");
  plot_settings.plotter_type = 1;
  EXPECT_EQ(visible(plot("c2.hpgl")).substr(0, 52), "<ESC>E<ESC>%0BIN;WU0;NP256;IP-4200,-5940,4200,5940;\n");
}

// 1 m at 1:100 is 1 cm on the sheet, 400 units of 0.0025 cm.
TEST_F(HpglPlot, PlotterUnits) {
  struct Case {
    bool centred, landscape;
    double x, y;
    int px, py;
  };
  const Case cases[] = {
      {false, false, 1, 0, 4200 + 400, 5940},
      {true, false, 1, 0, 400, 0},
      {true, false, -1.0001, 0.5, -400, 200},
      {true, true, 1, 0, 0, 400},
      {true, true, 0, 1, -400, 0},
      {false, true, 0, 1, 4200 - 400, 5940},
  };
  for (const Case& c : cases) {
    HpglJob job;
    job.centred = c.centred;
    job.landscape = c.landscape;
    job.paper_w = 21;
    job.paper_h = 29.7;
    job.frame_x = 100;
    job.frame_y = 50;
    const HpglPoint p = hpgl_to_plotter_units(job, 100 + c.x, 50 + c.y);
    EXPECT_EQ(p.x, c.px) << c.x << "," << c.y << (c.landscape ? " landscape" : "")
                         << (c.centred ? " centred" : "");
    EXPECT_EQ(p.y, c.py) << c.x << "," << c.y << (c.landscape ? " landscape" : "")
                         << (c.centred ? " centred" : "");
  }
}

// Lines that meet end to start are one pen-down run, also drawn backwards;
// a circle or arc in between lifts the pen.
TEST_F(HpglPlot, ChainedLinesStayDown) {
  plot_settings.origin_centred = 1;
  elem_new_line(0, 0, 0, 0, 0, 1, 0);
  elem_new_line(0, 0, 0, 1, 0, 1, 1);
  elem_new_line(0, 0, 0, 0, 1, 1, 1);  // backwards from where the pen stands
  elem_new_arc(0, 0, 0, 0, 0, 0.5, 0.5, GEOM_TWO_PI, 0, 0);
  elem_new_line(0, 0, 0, 0, 1, 0, 0);
  elem_new_arc(0, 0, 0, 0, 0, 1, 1, GEOM_PI / 2, -GEOM_PI, GEOM_PI / 2);  // starts at J = 3 pi / 2
  EXPECT_EQ(passes(plot("chain.hpgl")),
            "SP1;\n"
            "LT;\n"
            "PU; PA 0,0; PD 400,0;\n"
            "PD 400,400;\n"
            "PD 0,400;\n"
            "PU; PA 0,0; CI 200;\n"
            "PU; PA 0,400; PD 0,0;\n"
            "PU; PA 0,-400; PD; AA 0 0 90.0000;\n"
            "PU;\nSP2;\nPU;\nSP3;\nPU;\nSP4;\nPU;\nSP5;\nPU;\nSP6;\nPU;\nSP7;\nPU;\nSP8;\nPU;\n\n");
}

// No pen-down move goes to where the pen stands: a stair's tread and a
// vertical 3D line have no vertical edges in the plan, and a piece shorter
// than a plotter unit after another adds nothing.
TEST_F(HpglPlot, NoPieceOfNoLength) {
  tread_mesh(5);
  elem_new_line3d(0, 0, 0, 8, 0, 0, 8, 0, 3);
  elem_new_line(0, 0, 0, 0, 0, 1, 0);
  elem_new_line(0, 0, 0, 1, 0, 1.000001, 0);
  const std::string text = passes(plot("pieces.hpgl"));
  ASSERT_FALSE(text.empty());
  int none = 0, down = 0;
  long x = 0, y = 0;
  std::istringstream in(text);
  for (std::string cmd; std::getline(in, cmd, ';');) {
    cmd.erase(0, cmd.find_first_not_of(" \n"));
    long px = 0, py = 0;
    if (std::sscanf(cmd.c_str(), "PA %ld,%ld", &px, &py) == 2) {
      x = px, y = py;
    } else if (std::sscanf(cmd.c_str(), "PD %ld,%ld", &px, &py) == 2) {
      ++down;
      if (px == x && py == y) ++none;
      x = px, y = py;
    }
  }
  EXPECT_GE(down, 12 + 1);  // the tread's outline edges, each face's, and the line
  EXPECT_EQ(none, 0) << text;
}

// Each pen in its own pass; the guide pen in none; a line type only when it
// changes, the plotter's own types for plain HPGL.
TEST_F(HpglPlot, PenPassesAndLineTypes) {
  plot_settings.origin_centred = 1;
  elem_new_line(0, 3, 1, 0, 0, 1, 0);
  elem_new_line(0, 3, 1, 0, 1, 1, 1);
  elem_new_line(0, 3, 9, 0, 2, 1, 2);
  elem_new_line(0, PEN_GUIDE, 0, 0, 3, 1, 3);
  elem_new_line(0, 0, 5, 0, 4, 1, 4);
  EXPECT_EQ(passes(plot("pens.hpgl")),
            "SP1;\nLT 6,2.0;\nPU; PA 0,1600; PD 400,1600;\nPU;\n"
            "SP2;\nPU;\nSP3;\nPU;\n"
            "SP4;\nLT 2,1.5;\nPU; PA 0,0; PD 400,0;\nPU; PA 0,400; PD 400,400;\nLT;\nPU; PA 0,800; PD "
            "400,800;\nPU;\n"
            "SP5;\nPU;\nSP6;\nPU;\nSP7;\nPU;\nSP8;\nPU;\n\n");
  // HPGL/2: the user line types defined in the header, lengths relative to
  // the sheet's diagonal.
  plot_settings.plotter_type = 2;
  const std::string text = plot("pens2.hpgl");
  EXPECT_NE(text.find("\nUL1;\nUL2,2.500,1.500;\nUL3,4.000,1.500;\nUL4,3.900,1.500,0.100,1.500;\n"),
            std::string::npos);
  // Line type 1 repeats every 4 mm: 1.1 % of the 36.4 cm diagonal.
  EXPECT_NE(text.find("SP4;\nLT2,1.100;\n"), std::string::npos);
}

// The palette holds the pens and each new colour of a filled pattern; a
// filling is plotted once, in the first pass, with the palette pen of its
// colour, black with pen 0.
TEST_F(HpglPlot, PaletteAndFilledPolygons) {
  plot_settings.plotter_type = 2;
  plot_settings.origin_centred = 1;
  Point2 sq[5] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, CONTOUR_END};
  const PenDef& pen2 = pens[2];
  elem_new_pattern(0, 4, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 5, sq, pen2.r, pen2.g, pen2.b, PATTERN_FILLING);
  Point2 holed[10] = {{2, 0, 0},     {4, 0, 0},     {4, 2, 0},     {2, 2, 0},     CONTOUR_END,
                      {2.5, 0.5, 0}, {2.5, 1.5, 0}, {3.5, 1.5, 0}, {3.5, 0.5, 0}, CONTOUR_END};
  elem_new_pattern(0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 10, holed, 0.25, 0.5, 1, PATTERN_FILLING);
  elem_new_pattern(0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 5, sq, 0, 0, 0, PATTERN_FILLING);
  elem_new_pattern(0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 5, sq, 0.25, 0.5, 1, PATTERN_FILLING);
  const std::string text = plot("fills.hpgl");
  EXPECT_NE(text.find("\nPC3,135,15,15;PW0.250,3;\n"), std::string::npos);
  EXPECT_NE(text.find("\nPC9,64,128,255;PW0.100,9;\nPC10,0,0,0;PW0.000,10;\n"), std::string::npos);
  EXPECT_EQ(lines_with(text, "PC").size(), 256u);
  EXPECT_EQ(
      passes(text).substr(0, passes(text).find("SP2;\n")),
      "SP1;\n"
      "PU;SP3;PA0,0;FT1;\nPM0;\nPD 400,0;\nPD 400,400;\nPD 0,400;\nPM2;FP;\nSP1;\n"
      "PU;SP9;PA800,0;FT1;\nPM0;\nPD 1600,0;\nPD 1600,800;\nPD 800,800;\nPM1;\nPU 1000,200;\nPD 1000,600;\n"
      "PD 1400,600;\nPD 1400,200;\nPM2;FP;\nSP1;\n"
      "PU;SP0;PA0,0;FT1;\nPM0;\nPD 400,0;\nPD 400,400;\nPD 0,400;\nPM2;FP;\nSP1;\n"
      "PU;SP9;PA0,0;FT1;\nPM0;\nPD 400,0;\nPD 400,400;\nPD 0,400;\nPM2;FP;\nSP1;\n"
      "PU;\n");
  // The last pass, the (empty) end text, the end of the plot; no line feed.
  const std::string tail =
      "SP8;\nPU;\n\nSP0;PU0,0;PG;\x1b%0A\x1b"
      "E";
  EXPECT_EQ(visible(text.substr(text.size() - tail.size())), visible(tail));
  // Mono: the pens black, so pen 2's colour needs an entry of its own;
  // fillings grey. Plain HPGL plots no fillings.
  plot_settings.plotter_type = 1;
  const std::string mono = plot("mono.hpgl");
  EXPECT_NE(mono.find("\nPC3,0,0,0;PW0.250,3;\n"), std::string::npos);
  EXPECT_NE(mono.find("\nPC10,149,149,149;PW0.100,10;\n"), std::string::npos);
  EXPECT_NE(mono.find("PU;SP9;PA0,0;FT1;\n"), std::string::npos);
  plot_settings.plotter_type = 0;
  EXPECT_EQ(plot("plain.hpgl").find("FP"), std::string::npos);
}

TEST_F(HpglPlot, PlainFileAsWritten) {
  primitives_drawing();
  plot_settings.start_sequence = "LT; SP0;";
  plot_settings.end_sequence = "LT; SP0; PU 0,0;";
  EXPECT_TRUE(golden_text_matches(plot("primitives.hpgl", 3, 2), KAVRO_TEST_DATA_DIR "/hpgl_primitives.txt",
                                  KAVRO_TEST_OUTPUT_DIR));
}

// hp2xx draws the plain file, and the HPGL/2 file without its PCL wrapper;
// the pictures stay in the test output folder to be looked at.
TEST_F(HpglPlot, Hp2xxDrawsEveryKind) {
  every_kind_drawing();
  plot_settings.scale = 200;
  for (int type : {0, 2}) {
    plot_settings.plotter_type = type;
    std::string text = plot("every.hpgl", 10, 5);
    if (type == 2) {
      text = text.substr(text.find("IN;"));
      text = text.substr(0, text.rfind('\x1b', text.rfind('\x1b') - 1));
    }
    dir.write("every_plain.hpgl", text);
    const std::string png = output("every_kind_hpgl" + std::to_string(type) + ".png");
    const ToolRun run =
        tool({"hp2xx", "-q", "-m", "png", "-c", "12345671", "-f", png, file("every_plain.hpgl")});
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_TRUE(fs::exists(png)) << run.out;
    EXPECT_GT(fs::file_size(png), 1000u);
  }
}

// To Plotter: the file in the private temporary folder goes to the plot
// command as one argument of its own.
TEST_F(HpglPlot, ToPlotterHandsTheFileToTheCommand) {
  elem_new_line(0, 0, 0, 0, 0, 1, 0);
  plot_settings.command = "lpr -P'HP 7475'";
  RecordingProcess spooler;
  mark_all();
  ui.answers = {1};
  hpgl_plot_at(0, 0);
  ASSERT_EQ(spooler.requests().size(), 1u);
  const ProcessRequest& r = spooler.requests()[0];
  ASSERT_EQ(r.argv.size(), 3u);
  EXPECT_EQ(r.argv[0], "lpr");
  EXPECT_EQ(r.argv[1], "-PHP 7475");
  EXPECT_EQ(fs::path(r.argv[2]).filename(), "plot.hpgl");
  EXPECT_FALSE(r.wait);
  EXPECT_EQ(read_file(r.argv[2]).substr(0, 3), "IN;");
}

class HpglPlotCommand : public InputTest {
 protected:
  TempFolder dir;
};

// The whole command: the scope, the sheet placed by its centre, the file;
// every way out clears the marks.
TEST_F(HpglPlotCommand, ScopeFrameAndFile) {
  plot_settings.origin_centred = 1;
  plot_settings.start_sequence = "";
  plot_settings.end_sequence = "";
  elem_new_line(0, 0, 0, 1, 1, 2, 1);
  elem_new_line(5, 0, 0, 1, 2, 2, 2);  // on a hidden layer: not visible
  redraw();
  const std::string path = (dir / "plot.hpgl").string();
  ui.answers = {2, 2};
  ui.paths = {path};
  script.click_world(1, 1, 1).click_world(1, 20, 20);
  hpgl_plot();
  EXPECT_EQ(script.remaining(), 0u);
  EXPECT_NE(read_file(path).find("SP1;\nLT;\nPU; PA 0,0; PD 400,0;\nPU;\n"), std::string::npos);
  for (ElemHeader* e : elements()) EXPECT_EQ(e->mark, 0);
  expect_clean_surface();

  // Cancelled at the frame or the output method: nothing written, nothing left marked.
  fs::remove(path);
  ui.answers = {1};
  script.key("p_nop");
  hpgl_plot();
  ui.answers = {1, 3};
  script.click_world(1, 1, 1).click_world(1, 1, 1);
  hpgl_plot();
  EXPECT_FALSE(fs::exists(path));
  for (ElemHeader* e : elements()) EXPECT_EQ(e->mark, 0);
}

}  // namespace
