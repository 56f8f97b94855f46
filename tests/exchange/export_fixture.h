#pragma once

// Writer tests start from a fresh drawing in the plan view with the stroke
// fonts of the stage, a recording ui table, a private folder for the files
// and the formats' own tools (Ghostscript, poppler, qpdf, librsvg, xmllint,
// hp2xx, installed by scripts/lib/setup.sh) to check what was written. A
// missing tool fails the test and names it; nothing is skipped.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "../display/display_fixture.h"
#include "exchange/dxf_common.h"
#include "model/geom.h"
#include "model/layers.h"
#include "platform/process.h"
#include "support/recording_ui.h"
#include "support/temp_folder.h"

// What an outside tool said: its exit status and its output (standard
// output, then standard error).
struct ToolRun {
  int status = -1;
  std::string out;
};

inline std::string read_file(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class ExportTest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    export_path = dir.path().string() + "/";
    export_file = "";
    // The DXF writers write in the unit an import or export last set; a
    // test that calls them directly starts from metres.
    dxf_unit_factor = 1.0;
  }

  // Runs an outside tool and waits for it; a tool that is not installed
  // fails the test.
  ToolRun tool(const std::vector<std::string>& argv) {
    ToolRun run;
    if (process_find_program(argv.at(0)).empty()) {
      ADD_FAILURE() << argv[0] << " is not installed (scripts/lib/setup.sh installs it)";
      return run;
    }
    ProcessRequest r;
    r.argv = argv;
    r.stdout_path = (dir / "tool.out").string();
    r.stderr_path = (dir / "tool.err").string();
    const ProcessResult result = process_start(r);
    run.status = result.started ? result.exit_status : -1;
    run.out = read_file(dir / "tool.out") + read_file(dir / "tool.err");
    return run;
  }

  // Ghostscript's measure of the ink of a PostScript file in the test's
  // folder: the run, and its high-resolution box with the count of its
  // numbers found (4 when it was read).
  struct GsBox {
    ToolRun run;
    int found = 0;
    double x0 = -1, y0 = -1, x1 = 0, y1 = 0;
  };
  GsBox ghostscript_box(const std::string& name) {
    GsBox b;
    b.run = tool({"gs", "-q", "-dBATCH", "-dNOPAUSE", "-dSAFER", "-sDEVICE=bbox", file(name)});
    const std::size_t at = b.run.out.find("%%HiResBoundingBox:");
    if (at != std::string::npos)
      b.found = std::sscanf(b.run.out.c_str() + at, "%%%%HiResBoundingBox: %lf %lf %lf %lf", &b.x0, &b.y0,
                            &b.x1, &b.y1);
    return b;
  }

  // The path of a file in the test's folder.
  std::string file(const std::string& name) const { return (dir / name).string(); }
  // The path of a file in the build's test output folder, kept after the
  // test to be looked at.
  static std::string output(const std::string& name) {
    std::filesystem::create_directories(KAVRO_TEST_OUTPUT_DIR);
    return (std::filesystem::path(KAVRO_TEST_OUTPUT_DIR) / name).string();
  }

  // The lines of a text that contain a piece.
  static std::vector<std::string> lines_with(const std::string& text, const std::string& piece) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
      if (line.find(piece) != std::string::npos) out.push_back(line);
    return out;
  }
  static int count_of(const std::string& text, const std::string& piece) {
    int n = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + piece.size()))
      ++n;
    return n;
  }
  static bool nothing_marked() {
    for (ElemHeader* e : elements())
      if (e->mark) return false;
    return true;
  }
  static void mark_all() {
    for (ElemHeader* e : elements()) e->mark = 1;
  }

  TempFolder dir;
  RecordingUi ui;
};

// One element of every 2D kind, each on the current layer 0 and in view:
// lines of several pens and line types, a circle, an arc, an ellipse arc, a
// Bezier curve, a two-line text with Latin-1 letters and a parenthesis, a
// dimension chain and a radius dimension, a wall with a door and a window,
// a room with a hole, a hatch, a filling with a hole, and a guide line.
void every_kind_drawing();

// Every kind of primitive a writer receives once: lines of several pens and
// line types, a line of no length, a pen and a line type outside the
// tables, a circle, an arc whose start lies below 0, an ellipse arc, a
// Bezier curve, a red filling with a hole drawn with the guide pen, a
// right-aligned two-line text holding parentheses, a backslash and a
// Latin-1 letter, and a guide-pen line and text that never reach a file.
void primitives_drawing();

// A stair's tread: a box of six faces, 1 x 1 x 0.2 from (x, 0, 0), pen 0;
// its vertical edges have no length in the plan.
void tread_mesh(double x);
