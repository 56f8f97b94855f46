// PostScript printing and EPS export: the file as written, the page and its
// tests, the print frame and sheet, and what Ghostscript and poppler make
// of the files.

#include "exchange/ps_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "../display/input_fixture.h"
#include "export_fixture.h"
#include "support/golden_file.h"
#include "support/recording_process.h"

namespace {

namespace fs = std::filesystem;

class EpsExport : public ExportTest {
 protected:
  // EPS of all objects in the text mode (1 graphics, 2 text) into name;
  // returns the file's text.
  std::string eps(const std::string& name, int text_mode = 1) {
    ui.answers = {1, text_mode};
    ui.paths = {file(name)};
    eps_export();
    EXPECT_TRUE(nothing_marked());
    return read_file(file(name));
  }
};

TEST_F(EpsExport, TextModeFileAsWritten) {
  primitives_drawing();
  std::string text = eps("primitives.eps", 2);
  const std::string folder = dir.path().string();
  text.replace(text.find(folder), folder.size(), "DIR");
  EXPECT_TRUE(golden_text_matches(text, KAVRO_TEST_DATA_DIR "/eps_text_mode.txt", KAVRO_TEST_OUTPUT_DIR));
}

// A 1 m line at 1:100 is 1 cm on paper: 28.35 points, with half of pen
// 0's 0.37 points at each end and 2 points of margin on each side.
TEST_F(EpsExport, BoundingBoxHoldsTheDrawingAsGhostscriptSeesIt) {
  elem_new_line(0, 0, 0, 0, 0, 1, 0);
  const std::string text = eps("line.eps");
  EXPECT_NE(text.find("\n%%BoundingBox: 0 0 33 5\n"), std::string::npos);
  const GsBox bbox = ghostscript_box("line.eps");
  EXPECT_EQ(bbox.run.status, 0) << bbox.run.out;
  ASSERT_EQ(bbox.found, 4) << bbox.run.out;
  EXPECT_GE(bbox.x0, 0.0);
  EXPECT_GE(bbox.y0, 0.0);
  EXPECT_LE(bbox.x1, 32.71);
  EXPECT_LE(bbox.y1, 4.37);
  EXPECT_GT(bbox.x1 - bbox.x0, 28.0);  // the line is there, end to end
  const ToolRun png = tool({"gs", "-q", "-dBATCH", "-dNOPAUSE", "-dSAFER", "-dEPSCrop", "-sDEVICE=png16m",
                            "-r72", "-sOutputFile=" + file("line.png"), file("line.eps")});
  EXPECT_EQ(png.status, 0) << png.out;
  EXPECT_TRUE(fs::exists(file("line.png")));
}

// The box is rounded outward: it holds the whole page, whatever fraction of
// a point the page ends in, and is less than a point larger.
TEST_F(EpsExport, BoundingBoxRoundsOutward) {
  struct Case {
    const char* what;
    double scale;
    std::function<void()> draw;
  };
  const Case cases[] = {
      {"horizontal line", 100, [] { elem_new_line(0, 0, 0, 0, 0, 1, 0); }},
      {"vertical line", 100, [] { elem_new_line(0, 0, 0, 2, 1, 2, 1.37); }},
      {"diagonal line at 1:50", 50, [] { elem_new_line(0, 0, 0, -1, -1, 1.345, 0.77); }},
      {"circle", 100, [] { elem_new_arc(0, 0, 0, 3, 3, 0.61, 0.61, GEOM_TWO_PI, 0, 0); }},
      {"line and arc at 1:200", 200,
       [] {
         elem_new_line(0, 0, 0, 0, 0, 7.91, 0.5);
         elem_new_arc(0, 0, 0, 4, 2, 1.13, 1.13, GEOM_PI / 3, 0.2, 0);
       }},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    drawing_free();
    drawing_scale = c.scale;
    c.draw();
    mark_all();
    const PsJob job = eps_job("x", false);
    for (ElemHeader* e : elements()) e->mark = 0;
    const std::string name = "box" + std::to_string(n++) + ".eps";
    const std::string text = eps(name);
    const auto box = lines_with(text, "%%BoundingBox:");
    ASSERT_EQ(box.size(), 1u);
    int x0 = -1, y0 = -1, x1 = -1, y1 = -1;
    ASSERT_EQ(std::sscanf(box[0].c_str(), "%%%%BoundingBox: %d %d %d %d", &x0, &y0, &x1, &y1), 4) << box[0];
    EXPECT_EQ(x0, 0);
    EXPECT_EQ(y0, 0);
    EXPECT_GE(x1, job.box_w - 1e-6) << box[0];
    EXPECT_GE(y1, job.box_h - 1e-6) << box[0];
    EXPECT_LT(x1, job.box_w + 1.0) << box[0];
    EXPECT_LT(y1, job.box_h + 1.0) << box[0];
    const GsBox ink = ghostscript_box(name);
    ASSERT_EQ(ink.found, 4) << ink.run.out;
    EXPECT_LE(ink.x1, x1);
    EXPECT_LE(ink.y1, y1);
  }
}

// Each glyph of a stroke font is defined once, as a procedure, where it is
// first used, and placed for every character after it: in EPS and in the
// printed file, upright and turned, in texts of one line and of several,
// and past the procedures' end still drawn in place. Ghostscript draws the
// files without a complaint.
TEST_F(EpsExport, StrokeFontGlyphsAreDefinedOnceAndPlaced) {
  for (int i = 0; i < 300; ++i)
    elem_new_text(0, 1 + i % 2, 0, (i % 20) * 2.0, (i / 20) * 1.0, 0, 2.5, 1, 0.1, 1.5, "HALLO", 0, "Simpel",
                  TEXT_LEFT);
  elem_new_text(0, 1, 0, 50, 0, 0.5, 2.5, 1, 0.1, 1.5, "HALLO\nOH", 0, "Simpel", TEXT_CENTRED);
  auto check = [this](const std::string& text, const std::string& name) {
    // H, A, L, O upright and turned, each defined once.
    int procs = 0;
    for (const std::string& line : lines_with(text, "/G")) procs += line.rfind("/G", 0) == 0 ? 1 : 0;
    EXPECT_EQ(procs, 8);
    for (int g = 0; g < 8; ++g) EXPECT_EQ(count_of(text, "/G" + std::to_string(g) + " {"), 1) << g;
    // Every character places its procedure: 301 HALLO and one OH.
    int placed = 0;
    for (int g = 0; g < 8; ++g) placed += count_of(text, " G" + std::to_string(g) + "\n");
    EXPECT_EQ(placed, 301 * 5 + 2);
    EXPECT_LT(text.size(), 40000u);
    const ToolRun gs = tool({"gs", "-q", "-dBATCH", "-dNOPAUSE", "-dSAFER", "-sDEVICE=nullpage", file(name)});
    EXPECT_EQ(gs.status, 0) << gs.out;
    EXPECT_EQ(gs.out, "");
  };
  check(eps("glyphs.eps"), "glyphs.eps");
  print_settings.paper_width = 21.0;
  print_settings.paper_height = 29.7;
  print_settings.scale = 500.0;
  for (int orientation : {0, 1}) {
    SCOPED_TRACE(orientation);
    print_settings.orientation = orientation;
    const std::string name = "glyphs" + std::to_string(orientation) + ".ps";
    ui.answers = {2};
    ui.paths = {file(name)};
    ps_print_at(-10, -40);
    check(read_file(file(name)), name);
  }
}

// Once the procedures are used up, further characters are stroked in place
// between placed ones, and the file is still sound.
TEST_F(EpsExport, GlyphsPastTheLastProcedureAreStrokedInPlace) {
  for (int i = 0; i < 20001; ++i)
    elem_new_text(0, 1, 0, 0, 0, i * 1e-5, 2.5, 1, 0.1, 1.5, "L", 0, "Simpel", TEXT_LEFT);
  elem_new_text(0, 1, 0, 0, 0, 1.0, 2.5, 1, 0.1, 1.5, "LL", 0, "Simpel", TEXT_LEFT);
  const std::string text = eps("many.eps");
  EXPECT_EQ(count_of(text, "\n/G"), 20000);
  EXPECT_EQ(count_of(text, " G19999\n"), 1);
  const ToolRun gs =
      tool({"gs", "-q", "-dBATCH", "-dNOPAUSE", "-dSAFER", "-sDEVICE=nullpage", file("many.eps")});
  EXPECT_EQ(gs.status, 0) << gs.out;
  EXPECT_EQ(gs.out, "");
}

TEST_F(EpsExport, TextsAsHelveticaInTextModeAndAsStrokesOtherwise) {
  elem_new_text(0, 0, 0, 0, 0, 0, 5, 1, 0.1, 1.5,
                "a(b K\xFC"
                "che\nzweite Zeile",
                0, "Simpel", TEXT_LEFT);
  const std::string strokes = eps("strokes.eps", 1);
  EXPECT_EQ(strokes.find("/Helvetica findfont"), std::string::npos);
  EXPECT_EQ(strokes.find("show"), std::string::npos);
  EXPECT_GT(count_of(strokes, " r\n"), 10);

  const std::string text = eps("text.eps", 2);
  EXPECT_NE(text.find("(a\\(b K\\374che) show\n"), std::string::npos);
  EXPECT_NE(text.find("(zweite Zeile) show\n"), std::string::npos);
  const ToolRun pdf = tool({"ps2pdf", "-dEPSCrop", file("text.eps"), file("text.pdf")});
  ASSERT_EQ(pdf.status, 0) << pdf.out;
  const ToolRun found = tool({"pdftotext", "-enc", "UTF-8", file("text.pdf"), "-"});
  EXPECT_EQ(found.status, 0);
  EXPECT_NE(found.out.find("a(b Küche"), std::string::npos) << found.out;
  EXPECT_NE(found.out.find("zweite Zeile"), std::string::npos) << found.out;
}

// The drawing of every kind passes Ghostscript without a complaint in both
// text modes. The pictures stay in the test output folder to be looked at.
TEST_F(EpsExport, EveryKindRendersInGhostscript) {
  every_kind_drawing();
  for (int mode : {1, 2}) {
    const std::string name = "every_kind_eps" + std::to_string(mode);
    eps(name + ".eps", mode);
    const ToolRun png = tool({"gs", "-q", "-dBATCH", "-dNOPAUSE", "-dSAFER", "-dEPSCrop", "-sDEVICE=png16m",
                              "-r72", "-sOutputFile=" + output(name + ".png"), file(name + ".eps")});
    EXPECT_EQ(png.status, 0) << png.out;
    EXPECT_EQ(png.out, "");
    EXPECT_GT(fs::file_size(output(name + ".png")), 1000u);
  }
}

TEST_F(EpsExport, EveryWayOutClearsTheMarksAndLeavesNoFile) {
  elem_new_line(0, 0, 0, 0, 0, 1, 0);
  struct Case {
    std::vector<int> answers;
    std::vector<std::string> paths;
    const char* error;  // the error box, if any
  };
  const std::string missing_folder = file("no/such/folder/x.eps");
  const Case cases[] = {
      {{1, 3}, {}, nullptr},                                 // text mode cancelled
      {{1, 0}, {}, nullptr},                                 // question closed
      {{1, 1}, {}, nullptr},                                 // chooser cancelled
      {{1, 1}, {missing_folder}, "error Cannot open file"},  // cannot be opened
  };
  for (const Case& c : cases) {
    ui.calls.clear();
    ui.answers.assign(c.answers.begin(), c.answers.end());
    ui.paths.assign(c.paths.begin(), c.paths.end());
    eps_export();
    EXPECT_TRUE(nothing_marked());
    EXPECT_EQ(ui.calls_starting("error").size(), c.error ? 1u : 0u);
    if (c.error) {
      EXPECT_EQ(ui.calls_starting("error").at(0), c.error);
    }
  }
  EXPECT_TRUE(fs::is_empty(dir.path()));
  // Cancelling the scope question marks nothing in the first place.
  ui.answers = {4};
  eps_export();
  EXPECT_TRUE(nothing_marked());
  EXPECT_EQ(export_file.view(), "");
}

// An existing file stays as it was when the new one cannot be written whole.
TEST_F(EpsExport, AWriteThatFailsKeepsTheOldFile) {
  elem_new_line(0, 0, 0, 0, 0, 1, 0);
  if (!fs::exists("/dev/full")) GTEST_FAIL() << "/dev/full is needed to make writes fail";
  std::FILE* full = std::fopen("/dev/full", "w");
  ASSERT_NE(full, nullptr);
  mark_all();
  const PsJob job = eps_job("x", false);
  EXPECT_FALSE(ps_write(full, job));
  std::fclose(full);
  // A job that fails after opening: the chosen file keeps its old bytes.
  dir.write("old.eps", "old");
  EXPECT_FALSE(export_write_file(file("old.eps"), [](std::FILE*) { return false; }));
  EXPECT_EQ(read_file(file("old.eps")), "old");
  EXPECT_EQ(ui.calls_starting("error"), std::vector<std::string>{"error Cannot write file"});
}

class PsPrint : public ExportTest {
 protected:
  void SetUp() override {
    ExportTest::SetUp();
    print_settings.paper_width = 21.0;
    print_settings.paper_height = 29.7;
    print_settings.scale = 100.0;
    print_settings.colour = 1;
  }
  // Prints the sheet at (fx, fy) to a file and returns its text.
  std::string print_to_file(double fx, double fy, const std::string& name) {
    ui.answers = {2};
    ui.paths = {file(name)};
    ps_print_at(fx, fy);
    return read_file(file(name));
  }
  // The page size Ghostscript and pdfinfo see.
  std::string page_size(const std::string& name) {
    const ToolRun pdf = tool({"ps2pdf", file(name), file(name + ".pdf")});
    EXPECT_EQ(pdf.status, 0) << pdf.out;
    const ToolRun info = tool({"pdfinfo", file(name + ".pdf")});
    const auto lines = lines_with(info.out, "Page size:");
    return lines.empty() ? info.out : lines[0];
  }
};

TEST_F(PsPrint, PortraitAndLandscapeSheetsAreA4Upright) {
  elem_new_line(0, 0, 0, 1, 1, 3, 2);
  for (int orientation : {0, 1}) {
    print_settings.orientation = orientation;
    const std::string name = "sheet" + std::to_string(orientation) + ".ps";
    const std::string text = print_to_file(0, 0, name);
    EXPECT_NE(text.find("%%BoundingBox: 0 0 595 841\n"), std::string::npos);
    EXPECT_NE(text.find("<< /PageSize [595 841] >> setpagedevice\n"), std::string::npos);
    EXPECT_NE(text.find("\nshowpage\n"), std::string::npos);
    EXPECT_NE(page_size(name).find("595 x 841 pts"), std::string::npos) << page_size(name);
  }
}

// In landscape a point at the frame corner plus (u, v) lands at
// (k W - v, u): the drawing lies turned by 90 degrees counter-clockwise.
TEST_F(PsPrint, LandscapeTurnsTheDrawingOnTheSheet) {
  print_settings.orientation = 1;
  const double fx = 10, fy = 20, k = 1.0;  // 1:100
  elem_new_line(0, 0, 0, fx + 1, fy + 2, fx + 3, fy + 2);
  elem_new_arc(0, 0, 0, fx + 5, fy + 5, 1, 1, GEOM_PI / 2, 0, 0);
  const std::string text = print_to_file(fx, fy, "land.ps");
  const double pt = 72.0 / 2.54;  // per centimetre on the sheet, per metre at 1:100
  char want[160];
  // Within a path, lines go from the current point.
  std::snprintf(want, sizeof want, "sp1\nlt1\n%.2f %.2f m 0 %.2f r\ns\n", (k * 21 - 2) * pt, 1 * pt,
                std::round(3 * pt * 100) / 100 - std::round(1 * pt * 100) / 100);
  EXPECT_NE(text.find(want), std::string::npos) << want;
  std::snprintf(want, sizeof want, "%.2f %.2f %.2f 90 180 a s\n", (k * 21 - 5) * pt, 5 * pt, pt);
  EXPECT_NE(text.find(want), std::string::npos) << want;
  // The frame in the drawing is k H wide and k W tall.
  elem_new_line(0, 0, 0, fx + 28, fy + 1, fx + 29, fy + 1);  // inside, near the right edge
  elem_new_line(0, 0, 0, fx + 1, fy + 22, fx + 2, fy + 22);  // above the frame
  const std::string more = print_to_file(fx, fy, "land2.ps");
  EXPECT_EQ(count_of(more, " r\n"), 2);
}

TEST_F(PsPrint, PageTestsDecideWhatIsWrittenAndWriteItWhole) {
  // The sheet covers (0, 0) to (21, 29.7) at 1:100.
  elem_new_line(0, 0, 0, 22, 1, 25, 1);         // beside the sheet: left out
  elem_new_line(0, 0, 0, 20, 1, 25, 1);         // across the edge: whole
  elem_new_line(0, 0, 0, -1, -1, 0, 0);         // touching the corner: written
  elem_new_arc(0, 0, 0, 23, 5, 2, 2, 1, 0, 0);  // its square touches the edge
  elem_new_arc(0, 0, 0, 23.5, 5, 2, 2, 1, 0, 0);
  Point2 outside[5] = {{30, 0, 0}, {31, 0, 0}, {31, 1, 0}, {30, 1, 0}, CONTOUR_END};
  elem_new_pattern(0, 0, 0, 30, 0, 0, 1, 0, 0, 30, 0, 0, 1, 5, outside, 0.1, 0.2, 0.3, PATTERN_FILLING);
  const std::string text = print_to_file(0, 0, "page.ps");
  EXPECT_EQ(count_of(text, " r\n"), 2);
  EXPECT_NE(text.find("566.93 28.35 m 141.73 0 r\n"), std::string::npos);
  EXPECT_EQ(count_of(text, " a s\n"), 1);
  EXPECT_EQ(text.find(" rgb\n"), std::string::npos);  // not even the fill's colour
}

TEST_F(PsPrint, ColourPrintingOffGreysFillsAndBlacksPens) {
  print_settings.colour = 0;
  Point2 red[10] = {{1, 1, 0},     {3, 1, 0},     {3, 3, 0},     {1, 3, 0},     CONTOUR_END,
                    {1.5, 1.5, 0}, {1.5, 2.5, 0}, {2.5, 2.5, 0}, {2.5, 1.5, 0}, CONTOUR_END};
  elem_new_pattern(0, 0, 0, 1, 1, 0, 1, 0, 0, 1, 1, 0, 1, 10, red, 1, 0, 0, PATTERN_FILLING);
  const std::string text = print_to_file(0, 0, "grey.ps");
  EXPECT_NE(text.find("0.33 0.33 0.33 rgb\n28.35 28.35 m\n85.04 28.35 l\n"), std::string::npos);
  EXPECT_EQ(count_of(text, "\ne\n"), 2);
  EXPECT_EQ(count_of(text, "\nf\n"), 1);
  EXPECT_EQ(lines_with(text, "/sp").size(), 8u);
  EXPECT_EQ(lines_with(text, "0.0 0.0 0.0 rgb} bdef").size(), 8u);
  // With colour the fill keeps its colour and pens theirs.
  print_settings.colour = 1;
  const std::string colour = print_to_file(0, 0, "colour.ps");
  EXPECT_NE(colour.find("1 0 0 rgb\n"), std::string::npos);
  EXPECT_EQ(lines_with(colour, "0.0 0.0 0.0 rgb} bdef").size(), 0u);
  view_options.all_black = 1;
  EXPECT_EQ(lines_with(print_to_file(0, 0, "black.ps"), "0.0 0.0 0.0 rgb} bdef").size(), 8u);
}

// Printed at 1:200, a drawing made for 1:100 keeps its pens and dashes in
// proportion to the drawing: half their millimetres.
TEST_F(PsPrint, AnotherPrintScaleScalesPensAndDashes) {
  print_settings.scale = 200;
  pens[0].width = 0.5;
  line_types[1].pairs = 1;
  line_types[1].dash[0] = 2.0;
  line_types[1].gap[0] = 1.0;
  const std::string text = print_to_file(0, 0, "half.ps");
  EXPECT_EQ(lines_with(text, "/sp1 ").at(0), "/sp1 {0.71 setlinewidth 0.00 0.00 0.00 rgb} bdef");
  EXPECT_EQ(lines_with(text, "/lt2 ").at(0), "/lt2 {[2.83 1.42 ] 0 setdash} bdef");
  EXPECT_EQ(lines_with(text, "/lt1 ").at(0), "/lt1 {[] 0 setdash} bdef");
}

// A zero-length line is printed as it is (EPS moves its end to show a dot).
TEST_F(PsPrint, ALineOfNoLengthIsPrintedUnchanged) {
  elem_new_line(0, 0, 0, 1, 1, 1, 1);
  EXPECT_NE(print_to_file(0, 0, "dot.ps").find("sp1\nlt1\n28.35 28.35 m 0 0 r\ns\n"), std::string::npos);
}

// To Printer: the file in the private temporary folder goes to the
// configured command as one argument of its own, the command's own words
// split as a shell would, nothing of it run by a shell.
TEST_F(PsPrint, ToPrinterHandsTheFileToTheCommandAsOneArgument) {
  elem_new_line(0, 0, 0, 1, 1, 3, 2);
  const std::string stub = file("stub.sh");
  dir.write("stub.sh", "cp \"$2\" \"$1\"\n");
  print_settings.command = "sh '" + stub + "' '" + file("received.ps") + "'";
  RecordingProcess spooler;
  ui.answers = {1};
  ps_print_at(0, 0);
  ASSERT_EQ(spooler.requests().size(), 1u);
  const ProcessRequest& r = spooler.requests()[0];
  EXPECT_FALSE(r.wait);
  ASSERT_EQ(r.argv.size(), 4u);
  EXPECT_EQ(r.argv[0], "sh");
  EXPECT_EQ(r.argv[1], stub);
  EXPECT_EQ(fs::path(r.argv[3]).filename(), "print.ps");
  EXPECT_EQ(export_file.view(), r.argv[3]);
  // What the spooler would run, run here to its end.
  process_starter_install(process_start_real);
  EXPECT_EQ(process_run(r.argv), 0);
  const ToolRun gs =
      tool({"gs", "-q", "-dBATCH", "-dNOPAUSE", "-dSAFER", "-sDEVICE=nullpage", file("received.ps")});
  EXPECT_EQ(gs.status, 0) << gs.out;
  EXPECT_EQ(gs.out, "");

  // A command with an open quote starts nothing and says so.
  print_settings.command = "lpr '-Poffice";
  ui.answers = {1};
  ps_print_at(0, 0);
  EXPECT_EQ(ui.calls_starting("error"), std::vector<std::string>{"error Cannot start the print command"});
}

// The frame is placed by a click and confirmed; cancelling either step or
// the output method writes nothing.
class PsPrintFrame : public InputTest {
 protected:
  TempFolder dir;
};

TEST_F(PsPrintFrame, TheClickedPointIsTheSheetCorner) {
  print_settings = PrintSettings{};
  print_settings.paper_width = 21.0;
  print_settings.paper_height = 29.7;
  print_settings.scale = 100.0;
  elem_new_line(0, 0, 0, 1, 1, 3, 2);
  redraw();
  ui.answers = {2};
  ui.paths = {(dir / "frame.ps").string()};
  script.click_world(1, -3, -6).click_world(1, 10, 10);
  ps_print();
  EXPECT_EQ(script.remaining(), 0u);
  const std::string text = read_file(dir / "frame.ps");
  EXPECT_NE(text.find("sp1\nlt1\n113.39 198.43 m 56.69 28.34 r\n"), std::string::npos);
  expect_clean_surface();

  script.key("p_nop");
  ps_print();
  EXPECT_TRUE(ui.calls_starting("ask").size() == 1u);  // only the first run asked
}

}  // namespace
