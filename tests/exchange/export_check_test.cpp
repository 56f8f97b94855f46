// Every writer fed the values a loaded file can hold: dash patterns of no
// length, scales and coordinates whose output no format holds, and
// settings no dialog takes. A writer either writes a file its readers take
// or says why and writes nothing.

#include "exchange/export_check.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "display/export_scope.h"
#include "exchange/dxf_common.h"
#include "exchange/dxf_writer.h"
#include "exchange/hpgl_writer.h"
#include "exchange/pdf_writer.h"
#include "exchange/ps_writer.h"
#include "exchange/svg_writer.h"
#include "export_fixture.h"
#include "model/defaults.h"
#include "model/nls.h"

namespace {

namespace fs = std::filesystem;

// One writer run as its command runs, answering its questions: all
// objects, graphics, the file name.
struct Writer {
  const char* name;
  const char* suffix;
  std::vector<int> answers;
  std::function<void()> run;
};

const std::vector<Writer>& writers() {
  static const std::vector<Writer> all = {
      {"EPS", ".eps", {1, 1}, [] { eps_export(); }},
      {"PostScript print", ".ps", {2}, [] { ps_print_at(-0.5, -0.5); }},
      {"PDF", ".pdf", {1, 1}, [] { pdf_export(); }},
      {"SVG", ".svg", {1}, [] { svg_export(); }},
      {"HPGL/2",
       ".plt",
       {2},
       [] {
         for (ElemHeader* e = elem_list_head; e; e = e->next) e->mark = 1;
         hpgl_plot_at(0, 0);
       }},
      {"DXF", ".dxf", {}, [] { dxf_export(); }},
  };
  return all;
}

class ExportCheck : public ExportTest {
 protected:
  void SetUp() override {
    ExportTest::SetUp();
    saved_dxf_ = dxf_settings;
    import_path = export_path;
    import_file = "";
    dxf_settings.export_scope = DXF_OBJECTS_ALL;
    dxf_settings.export_mode = DXF_OUT_2D;
    dxf_settings.export_unit = DXF_UNIT_M;
    dxf_set_unit(DXF_UNIT_M);
    plot_settings.plotter_type = 1;
    plot_settings.start_sequence = "";
    plot_settings.end_sequence = "";
  }
  void TearDown() override {
    dxf_settings = saved_dxf_;
    ExportTest::TearDown();
  }

  // Runs a writer into a file named after it; its text, empty when none was written.
  std::string write(const Writer& w, const std::string& stem) {
    const std::string name = stem + w.suffix;
    ui.calls.clear();
    ui.answers.assign(w.answers.begin(), w.answers.end());
    ui.paths = {file(name)};
    w.run();
    return fs::exists(file(name)) ? read_file(file(name)) : std::string();
  }

  // The page content of a PDF file, inflated.
  static std::string pdf_content(const std::string& pdf) {
    const std::size_t from = pdf.find("stream\n") + 7, to = pdf.find("\nendstream", from);
    if (from < 7 || to == std::string::npos) return "";
    uLongf n = 1 << 20;
    std::string out(n, '\0');
    if (uncompress(reinterpret_cast<Bytef*>(out.data()), &n,
                   reinterpret_cast<const Bytef*>(pdf.data() + from), static_cast<uLong>(to - from)) != Z_OK)
      return "";
    out.resize(n);
    return out;
  }

  // The settings as at a fresh start, the folders of the test kept.
  void reset_settings() {
    defaults_init_settings();
    defaults_init_pens_line_types();
    export_path = dir.path().string() + "/";
    import_path = export_path;
  }

  // Ghostscript reads a PostScript file to its end without an error.
  testing::AssertionResult ghostscript_takes(const std::string& name) {
    const ToolRun gs = tool({"gs", "-q", "-dBATCH", "-dNOPAUSE", "-dSAFER", "-sDEVICE=nullpage", file(name)});
    if (gs.status == 0 && gs.out.empty()) return testing::AssertionSuccess();
    return testing::AssertionFailure() << gs.out;
  }

  // What the format's own readers make of a written file: Ghostscript,
  // qpdf, rsvg-convert, hp2xx (on the HPGL between its wrapper), ezdxf's
  // audit. Empty when they take it.
  std::string readers_complaint(const std::string& suffix, const std::string& name) {
    std::vector<std::string> argv;
    const std::string path = file(name);
    if (suffix == ".eps")
      argv = {"gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-dEPSCrop", "-sDEVICE=nullpage", path};
    else if (suffix == ".ps")
      argv = {"gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sDEVICE=nullpage", path};
    else if (suffix == ".pdf")
      argv = {"qpdf", "--check", path};
    else if (suffix == ".svg")
      argv = {"rsvg-convert", "-o", file("reader.png"), path};
    else if (suffix == ".plt") {
      std::string text = read_file(path);
      text = text.substr(text.find("IN;"));
      text = text.substr(0, text.find('\x1b'));
      std::ofstream(file("plain.hpgl"), std::ios::binary) << text;
      argv = {"hp2xx", "-q", "-m", "png", "-f", file("reader.png"), file("plain.hpgl")};
    } else {
      argv = {"/usr/bin/python3", "-c",
              "import sys, ezdxf\ndoc = ezdxf.readfile(sys.argv[1])\n"
              "sys.exit(1 if doc.audit().has_errors else 0)\n",
              path};
    }
    const ToolRun run = tool(argv);
    // qpdf says a sound file is sound; gs and the others say nothing.
    if (run.status == 0 && (suffix == ".pdf" || run.out.empty())) return "";
    return argv[0] + " (" + std::to_string(run.status) + "): " + run.out;
  }

 private:
  DxfSettings saved_dxf_;
};

// A line type whose dashes and gaps are all 0 is within every range, and
// no format can draw it; one with a dash or gap below a hundredth of a
// millimetre comes out as 0 in the formats' decimals, or as a pattern no
// one sees. Every writer draws them solid.
TEST_F(ExportCheck, ADashPatternOfNoLengthIsWrittenSolid) {
  struct Pattern {
    const char* what;
    double dash0, gap0, dash1, gap1;
  };
  const Pattern patterns[] = {
      {"all 0", 0, 0, 0, 0},
      {"a dash of 0.005 mm", 3, 1, 0.005, 2},
      {"a gap of 0.009 mm", 3, 0.009, 1, 2},
      {"no gap", 3, 0, 3, 0},
  };
  elem_new_line(0, 0, 1, 0, 0, 1, 0);
  elem_new_line(0, 0, 1, 0, 0.5, 1, 0.5);
  for (const Pattern& p : patterns)
    for (const Writer& w : writers()) {
      SCOPED_TRACE(std::string(w.name) + ", " + p.what);
      LineTypeDef& t = line_types[1];
      t = LineTypeDef{};
      t.name = "SHORTDASH";
      t.pairs = 2;
      t.dash[0] = p.dash0;
      t.gap[0] = p.gap0;
      t.dash[1] = p.dash1;
      t.gap[1] = p.gap1;
      t.period = p.dash0 + p.gap0 + p.dash1 + p.gap1;
      const std::string text = write(w, "nodash");
      ASSERT_FALSE(text.empty());
      EXPECT_TRUE(ui.calls_starting("error").empty()) << ui.calls_starting("error")[0];
      const std::string kind = w.suffix;
      if (kind == ".eps" || kind == ".ps") {
        EXPECT_EQ(lines_with(text, "/lt2 "), std::vector<std::string>{"/lt2 {[] 0 setdash} bdef"});
        EXPECT_TRUE(ghostscript_takes(std::string("nodash") + w.suffix));
      } else if (kind == ".pdf") {
        const std::string content = pdf_content(text);
        ASSERT_FALSE(content.empty());
        EXPECT_EQ(lines_with(content, " d"), std::vector<std::string>{"[] 0 d"});
      } else if (kind == ".svg") {
        EXPECT_EQ(count_of(text, "stroke-dasharray"), count_of(text, "stroke-dasharray:"));
        for (const std::string& rule : lines_with(text, ".s01{"))
          EXPECT_EQ(rule.find("dasharray"), std::string::npos) << rule;
      } else if (kind == ".plt") {
        EXPECT_EQ(lines_with(text, "UL2"), std::vector<std::string>{"UL2;"});
        EXPECT_EQ(count_of(text, "LT2,"), 0);
      } else {
        // The line type's table entry has no elements and no length.
        const std::size_t at = text.find("\n73\n", text.find("LTYPE\n2\nSHORTDASH"));
        ASSERT_NE(at, std::string::npos);
        EXPECT_EQ(text.substr(at, 16), "\n73\n0\n40\n0.00000");
      }
    }
}

// Printed at a scale far smaller than the drawing's, the dots of a dotted
// line shrink below a hundredth of a millimetre on the paper: they would
// come out as "0.00" dashes, which Ghostscript refuses, and are drawn
// solid. The drawing's own scale keeps them.
TEST_F(ExportCheck, DashesTooShortOnThePrintedPaperAreDrawnSolid) {
  elem_new_line(0, 0, 4, -1, -1, 1, 1);  // line type 5, the dotted line
  drawing_scale = 100;
  print_settings.scale = plot_settings.scale = 100000;
  const std::string ps = write(writers()[1], "small");
  EXPECT_TRUE(ui.calls_starting("error").empty());
  EXPECT_EQ(lines_with(ps, "/lt5 "), std::vector<std::string>{"/lt5 {[] 0 setdash} bdef"});
  EXPECT_TRUE(ghostscript_takes("small.ps"));
  const std::string plt = write(writers()[4], "small");
  EXPECT_EQ(lines_with(plt, "UL5"), std::vector<std::string>{"UL5;"});
  EXPECT_EQ(count_of(plt, "LT5,"), 0);

  // At 1:200 the dot of 0.1 mm is 0.05 mm on the paper, 0.14 pt.
  print_settings.scale = plot_settings.scale = 200;
  const std::string kept = write(writers()[1], "kept");
  EXPECT_EQ(lines_with(kept, "/lt5 "), std::vector<std::string>{"/lt5 {[0.14 1.42 ] 0 setdash} bdef"});
  EXPECT_TRUE(ghostscript_takes("kept.ps"));
  EXPECT_EQ(lines_with(write(writers()[4], "kept"), "UL5"), std::vector<std::string>{"UL5,0.100,1.000;"});
}

// HPGL/2 gives a pattern's length in percent of the sheet's diagonal, with
// three decimals. Dashes and gaps of 0.01 mm on a 5 m square sheet make a
// pattern of 0.02 / 70710.7 * 100 = 0.0000283 %, written as 0.000, which
// plotters ignore: such a line is drawn solid. On A4 (a diagonal of
// 363.7 mm) the same pattern is 0.0055 % and written.
TEST_F(ExportCheck, AnHpglPatternTooShortForItsSheetIsDrawnSolid) {
  LineTypeDef& t = line_types[1];
  t.pairs = 1;
  t.dash[0] = t.gap[0] = 0.01;
  t.period = 0.02;
  elem_new_line(0, 0, 1, -1, -1, 1, 1);
  plot_settings.paper_width = plot_settings.paper_height = 500;
  const std::string big = write(writers()[4], "big");
  EXPECT_TRUE(ui.calls_starting("error").empty());
  EXPECT_EQ(count_of(big, "LT2,"), 0);
  EXPECT_EQ(count_of(big, "LT;"), count_of(big, "LT"));
  plot_settings.paper_width = 21;
  plot_settings.paper_height = 29.7;
  EXPECT_EQ(lines_with(write(writers()[4], "a4"), "LT2,"), std::vector<std::string>{"LT2,0.005;"});
}

// Output no format's numbers hold: a scale so small, or an element so far
// away, that the coordinates run beyond the limits. The writer says why and
// leaves no file; a file of the name that was there stays.
TEST_F(ExportCheck, CoordinatesNoFormatHoldsWriteNothing) {
  struct Case {
    const char* what;
    std::function<void()> make;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Case cases[] = {
      {"an element a light year away", [] { elem_new_line(0, 0, 0, -1, -1, 9.5e15, 0); }},
      {"an element at no number", [nan] { elem_new_line(0, 0, 0, -1, -1, 1, nan); }},
      {"the smallest scale any field takes",
       [] {
         elem_new_line(0, 0, 0, -1, -1, 1, 1);
         drawing_scale = print_settings.scale = plot_settings.scale = 1e-12;
       }},
  };
  for (const Case& c : cases) {
    for (const Writer& w : writers()) {
      SCOPED_TRACE(std::string(c.what) + ", " + w.name);
      if (std::string(w.suffix) == ".dxf" && std::string(c.what).find("number") == std::string::npos)
        continue;  // DXF writes drawing units in any double: only no number is refused
      drawing_free();
      drawing_scale = print_settings.scale = plot_settings.scale = 100;
      c.make();
      dir.write(std::string("old") + w.suffix, "old");
      write(w, "old");
      EXPECT_EQ(read_file(file(std::string("old") + w.suffix)), "old");
      const auto errors = ui.calls_starting("error");
      ASSERT_EQ(errors.size(), 1u);
      EXPECT_NE(errors[0].find("files cannot hold.\nNothing was written."), std::string::npos) << errors[0];
    }
  }
}

// PostScript and EPS hold coordinates up to 100,000 pt either way of the
// page's corner. At 1:1 a line from the printed page to 30 m reaches at
// most 31 m (87,874 pt) and is written; one to 40 m reaches at least 39.5 m
// (111,969 pt) and nothing is written.
TEST_F(ExportCheck, PostScriptCoordinatesStayWithinAHundredThousandPoints) {
  struct Case {
    double reach;  // metres
    bool written;
  };
  for (const Case c : {Case{30, true}, Case{40, false}, Case{-40, false}}) {
    for (const Writer& w : {writers()[0], writers()[1]}) {
      SCOPED_TRACE(std::string(w.name) + " to " + std::to_string(c.reach) + " m");
      drawing_free();
      drawing_scale = print_settings.scale = 1;
      elem_new_line(0, 0, 0, -0.5, -0.5, c.reach, -0.5);
      const std::string name = std::string("far") + w.suffix;
      fs::remove(file(name));
      write(w, "far");
      if (c.written) {
        EXPECT_TRUE(ui.calls_starting("error").empty());
        EXPECT_TRUE(ghostscript_takes(name));
      } else {
        EXPECT_FALSE(fs::exists(file(name)));
        EXPECT_EQ(ui.calls_starting("error"),
                  std::vector<std::string>{"error At this scale the drawing has coordinates that PostScript "
                                           "files cannot hold.\nNothing was written."});
      }
    }
  }
}

// Every writer fed what a drawing file made by hand or another program can
// hold: sizes of 0, negative sizes, values near the largest double, values
// that are no number. Each writes a file its readers take, or says why and
// writes nothing.
TEST_F(ExportCheck, EveryWriterWritesASoundFileOrNothingWhateverTheDrawingHolds) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    const char* what;
    std::function<void()> make;
  };
  auto text = [](double height, double width) {
    elem_new_text(0, 0, 0, 0, 0, 0, height, width, 0.1, 1.5, "Kavro", 0, "Simpel", 0);
  };
  const Case cases[] = {
      {"a line of no length", [] { elem_new_line(0, 0, 1, 0.2, 0.2, 0.2, 0.2); }},
      {"a circle of radius 0", [] { elem_new_arc(0, 0, 0, 0.2, 0.2, 0, 0, 2 * M_PI, 0, 0); }},
      {"a circle of radius -1", [] { elem_new_arc(0, 0, 0, 0.2, 0.2, -1, -1, 2 * M_PI, 0, 0); }},
      {"an arc of radius 1e308", [] { elem_new_arc(0, 0, 0, 0.2, 0.2, 1e308, 1e308, 1, 0, 0); }},
      {"an arc sweeping no number", [nan] { elem_new_arc(0, 0, 0, 0.2, 0.2, 1, 1, nan, 0, 0); }},
      {"a line to 1e308", [] { elem_new_line(0, 0, 0, 0.2, 0.2, 1e308, -1e308); }},
      {"a text of height 0", [text] { text(0, 1); }},
      {"a text of height -2.5", [text] { text(-2.5, 1); }},
      {"a text of height 1e308", [text] { text(1e308, 1); }},
      {"a text of height no number", [text, nan] { text(nan, 1); }},
      {"a text of width factor 0", [text] { text(2.5, 0); }},
      {"a text of width factor -1e308", [text] { text(2.5, -1e308); }},
  };
  for (const Case& c : cases) {
    for (const Writer& w : writers()) {
      SCOPED_TRACE(std::string(c.what) + ", " + w.name);
      drawing_free();
      drawing_scale = print_settings.scale = plot_settings.scale = 100;
      elem_new_line(0, 0, 0, 0, 0, 0.4, 0.4);
      c.make();
      const std::string name = std::string("held") + w.suffix;
      fs::remove(file(name));
      write(w, "held");
      const auto errors = ui.calls_starting("error");
      if (fs::exists(file(name))) {
        EXPECT_TRUE(errors.empty()) << errors[0];
        EXPECT_EQ(readers_complaint(w.suffix, name), "");
      } else {
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_NE(errors[0].find("\nNothing was written."), std::string::npos) << errors[0];
      }
    }
  }
}

// Settings no dialog takes and no file loads (set by other means): every
// writer refuses before it asks anything, and names what is wrong.
TEST_F(ExportCheck, SettingsOutsideTheirRangeAreRefusedBeforeAnyQuestion) {
  struct Case {
    std::function<void()> set;
    const char* error;  // for the writers of the drawing scale
  };
  const Case cases[] = {
      {[] { drawing_scale = 0; },
       "error The scale 1:0 cannot be written: a scale lies above 1:0 and at most 1:10000000.\n"
       "Nothing was written."},
      {[] { drawing_scale = -50; },
       "error The scale 1:-50 cannot be written: a scale lies above 1:0 and at most 1:10000000.\n"
       "Nothing was written."},
      {[] { pens[3].width = -1; },
       "error Pen 4 has the width -1 mm; a pen is 0 to 10 mm wide.\nNothing was written."},
      {[] { pens[0].width = 1e9; },
       "error Pen 1 has the width 1000000000 mm; a pen is 0 to 10 mm wide.\nNothing was written."},
      {[] { line_types[2].dash[0] = -5; },
       "error Line type 3 has a dash or gap outside 0 to 100 mm.\nNothing was written."},
  };
  elem_new_line(0, 0, 0, 0, 0, 1, 0);
  for (const Case& c : cases) {
    for (const Writer& w : writers()) {
      SCOPED_TRACE(std::string(w.name) + ": " + c.error);
      reset_settings();
      c.set();
      const bool scale_only = drawing_scale != 100;
      if (scale_only && std::string(w.suffix) == ".dxf") continue;
      EXPECT_EQ(write(w, "refused"), "");
      EXPECT_TRUE(ui.calls_starting("ask").empty());
      EXPECT_TRUE(ui.calls_starting("choose").empty());
      EXPECT_EQ(ui.calls_starting("error"), std::vector<std::string>{c.error});
    }
  }
  // The sheets of printing and plotting.
  reset_settings();
  print_settings.paper_width = -10;
  EXPECT_EQ(write(writers()[1], "sheet"), "");
  EXPECT_EQ(
      ui.calls_starting("error"),
      std::vector<std::string>{"error The paper -10 x 29.7 cm cannot be written: paper is 1 to 500 cm wide "
                               "and high.\nNothing was written."});
  plot_settings.resolution = 0;
  EXPECT_EQ(write(writers()[4], "sheet"), "");
  EXPECT_EQ(
      ui.calls_starting("error"),
      std::vector<std::string>{"error The plotter resolution 0 cm cannot be written: it lies from 0.00001 "
                               "to 0.01 cm.\nNothing was written."});
  EXPECT_TRUE(fs::is_empty(dir.path()));
}

// The question of the two exports that write texts goes through the
// translation, like its answers (the table's German entry is checked with
// every other text by the shell's coverage test).
const char* marked(const char* english) {
  static std::map<std::string, std::string> seen;
  return seen.emplace(english, std::string("<") + english + ">").first->second.c_str();
}

TEST_F(ExportCheck, TheTextModeQuestionIsTranslated) {
  elem_new_line(0, 0, 0, 0, 0, 1, 0);
  nls_set_lookup(marked);
  for (const Writer& w : {writers()[0], writers()[2]}) {
    SCOPED_TRACE(w.name);
    ui.calls.clear();
    ui.answers = {1, 3};  // all objects, then Cancel
    w.run();
    EXPECT_EQ(ui.calls_starting("ask <Text export:>"),
              std::vector<std::string>{"ask <Text export:> [<Export graphics(WYSIWYG)>] "
                                       "[<Export text(For later editing)>] [<Cancel>]"});
  }
  nls_set_lookup(nullptr);
}

}  // namespace
