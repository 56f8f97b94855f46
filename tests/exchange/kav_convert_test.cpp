// The converter program: a drawing written to every format through the
// menus' commands, each file accepted by its format's own tool or read back
// by the program's import; the imports' summaries; the failures it reports.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "export_fixture.h"
#include "model/files/load_save.h"

namespace {

class KavConvert : public ExportTest {
 protected:
  // kav-convert IN OUT, with what it printed.
  ToolRun convert(const std::string& in, const std::string& out) {
    return tool({KAVRO_CONVERT_TOOL, in, out});
  }
  // The drawing of every 2D kind (with a wall, so the 3D formats have a
  // mesh to write) saved as a drawing file.
  std::string saved_drawing() {
    every_kind_drawing();
    const std::string path = file("house.kav");
    ui.paths = {path};
    EXPECT_EQ(kavfile_save_drawing(0), 1);
    return path;
  }
};

// The number in the summary line "<IN>: <n> elements", -1 without one.
int summary_count(const std::string& printed, const std::string& in) {
  const std::string head = in + ": ";
  const std::size_t at = printed.find(head);
  if (at == std::string::npos) return -1;
  return std::atoi(printed.c_str() + at + head.size());
}

TEST_F(KavConvert, EveryFormatIsWrittenAndAcceptedByItsReader) {
  const std::string in = saved_drawing();
  const int elements = summary_count(convert(in, file("copy.kav")).out, in);
  ASSERT_GT(elements, 10);

  struct Case {
    std::string suffix;
    std::vector<std::string> check;  // the outside tool's argv before the file; empty: read back
    std::string starts;              // the file's first bytes, when nothing reads it
  };
  const std::string ezdxf =
      "import sys, ezdxf\n"
      "doc = ezdxf.readfile(sys.argv[1])\n"
      "sys.exit(1 if doc.audit().has_errors else 0)\n";
  const std::vector<Case> cases = {
      {".kav", {}, ""},
      {".dxf", {"/usr/bin/python3", "-c", ezdxf}, ""},
      {".dxf", {}, ""},
      {".eps",
       {"gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-dEPSCrop", "-sDEVICE=nullpage"},
       "%!PS-Adobe"},
      {".ps", {"gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sDEVICE=nullpage"}, "%!PS-Adobe"},
      {".pdf", {"qpdf", "--check"}, "%PDF-"},
      {".svg", {"xmllint", "--noout", "--nonet"}, ""},
      {".plt", {"hp2xx", "-q", "-m", "png", "-f", file("plot.png")}, "IN;"},
      {".pov", {}, "global_settings"},
      {".3ds", {}, "MM"},
      {".gts", {}, ""},
      {".lwo", {}, "FORM"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.suffix);
    const std::string out = file("house" + c.suffix);
    const ToolRun run = convert(in, out);
    ASSERT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(summary_count(run.out, in), elements);
    const std::string written = read_file(out);
    EXPECT_EQ(written.substr(0, c.starts.size()), c.starts);
    if (!c.check.empty()) {
      std::vector<std::string> argv = c.check;
      argv.push_back(out);
      const ToolRun check = tool(argv);
      EXPECT_EQ(check.status, 0) << check.out;
    } else if (c.suffix == ".kav" || c.suffix == ".dxf" || c.suffix == ".3ds" || c.suffix == ".gts") {
      const ToolRun back = convert(out, file("back.kav"));
      EXPECT_EQ(back.status, 0) << back.out;
      EXPECT_GT(summary_count(back.out, out), 0) << back.out;
      if (c.suffix == ".kav") {
        EXPECT_EQ(summary_count(back.out, out), elements);
      }
    }
  }
}

// --text answers the text export question with text: the PDF and EPS
// files show the texts in the format's own font instead of strokes.
TEST_F(KavConvert, TextOptionWritesTextsAsText) {
  const std::string in = saved_drawing();
  struct Case {
    std::string suffix;
    std::string text_operator;
  };
  const std::vector<Case> cases = {{".pdf", ") Tj"}, {".eps", ") show"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.suffix);
    const ToolRun graphics = convert(in, file("graphics" + c.suffix));
    ASSERT_EQ(graphics.status, 0) << graphics.out;
    const ToolRun text = tool({KAVRO_CONVERT_TOOL, "--text", in, file("text" + c.suffix)});
    ASSERT_EQ(text.status, 0) << text.out;
    std::string written = read_file(file("text" + c.suffix)),
                stroked = read_file(file("graphics" + c.suffix));
    if (c.suffix == ".pdf") {
      const ToolRun uncompressed = tool({"qpdf", "--qdf", "--object-streams=disable", file("text.pdf"), "-"});
      written = uncompressed.out;
      stroked = tool({"qpdf", "--qdf", "--object-streams=disable", file("graphics.pdf"), "-"}).out;
    }
    EXPECT_NE(written.find(c.text_operator), std::string::npos);
    EXPECT_EQ(stroked.find(c.text_operator), std::string::npos);
  }
  // The option goes before the files, with --fonts or alone.
  const ToolRun both = tool({KAVRO_CONVERT_TOOL, "--text", "--fonts",
                             std::string(KAVRO_STAGE_DIR) + "/dat/fonts", in, file("both.pdf")});
  EXPECT_EQ(both.status, 0) << both.out;
  EXPECT_NE(tool({KAVRO_CONVERT_TOOL, "--texts", in, file("bad.pdf")}).status, 0);
}

// Each import prints what it read before the summary line.
TEST_F(KavConvert, ImportsPrintTheirSummaries) {
  struct Case {
    std::string in;
    std::string printed;  // a piece of the import's own output
    int elements;
  };
  const std::string data = KAVRO_TEST_DATA_DIR;
  const std::vector<Case> cases = {
      {data + "/basic_r12.dxf", "LINE", -1},
      {data + "/terrain_3x3.xyz", "", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in);
    const ToolRun run = convert(c.in, file("imported.kav"));
    ASSERT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find(c.printed), std::string::npos) << run.out;
    const int n = summary_count(run.out, c.in);
    if (c.elements < 0) {
      EXPECT_GT(n, 0) << run.out;
    } else {
      EXPECT_EQ(n, c.elements) << run.out;
    }
  }
}

// A failure ends with a non-zero status and says why; an old file stays.
TEST_F(KavConvert, FailuresAreReported) {
  const std::string in = saved_drawing();
  dir.write("broken.dxf", "0\nSECTION\n2\nHEADER\n0\nENDSEC\n0\nEOF\n");
  dir.write("old.pdf", "old");
  struct Case {
    std::string in, out, says;
  };
  const std::vector<Case> cases = {
      {file("missing.kav"), file("old.pdf"), "Cannot open file"},
      {file("broken.dxf"), file("a.kav"), "ENTITIES"},
      {in, file("a.txt"), "no exporter"},
      {file("a.txt"), file("a.svg"), "no import"},
      {in, file("no/such/folder/a.svg"), "Cannot open file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in + " " + c.out);
    const ToolRun run = convert(c.in, c.out);
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.out.find(c.says), std::string::npos) << run.out;
  }
  const ToolRun usage = tool({KAVRO_CONVERT_TOOL, in});
  EXPECT_NE(usage.status, 0);
  EXPECT_EQ(read_file(file("old.pdf")), "old");
}

}  // namespace
