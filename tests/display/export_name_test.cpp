// The names of exported files: what the save chooser proposes, the suffix
// added to a typed name without one, and the question before a name so
// completed replaces a file.

#include "display/export_name.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "display_fixture.h"
#include "model/files/load_save.h"
#include "support/recording_ui.h"
#include "support/temp_folder.h"

namespace {

class ExportName : public DisplayTest {};

TEST_F(ExportName, ProposedAndCompletedNames) {
  drawing_file = "/home/u/KAVRO3/draw/house.kav";
  struct Case {
    const char* start;
    const char* proposed;
  };
  const Case proposed[] = {
      {"/out/plan.eps", "/out/plan.pdf"},        // another format's suffix is replaced
      {"/out/plan", "/out/plan.pdf"},            // none is added
      {"/out/", "/out/house.pdf"},               // a folder gets the drawing's name
      {"", "house.pdf"},                         //
      {"/out.d/plan", "/out.d/plan.pdf"},        // a dot in a folder is no suffix
      {"/out/.hidden", "/out/.hidden.pdf"},      // nor a leading dot
      {"/out/plan.v2.PDF", "/out/plan.v2.pdf"},  // only the last suffix goes
  };
  for (const Case& c : proposed) EXPECT_EQ(export_name_proposed(c.start, ".pdf"), c.proposed) << c.start;
  drawing_file = "";
  EXPECT_EQ(export_name_proposed("/out/", ".svg"), "/out/Unnamed.svg");

  const Case completed[] = {
      {"/out/house.pdf", "/out/house.pdf"}, {"/out/house", "/out/house.pdf"},
      {"/out/house.PDF", "/out/house.PDF"}, {"/out/house.eps", "/out/house.eps.pdf"},
      {"/out.d/house", "/out.d/house.pdf"}, {"/out/", "/out/"},
  };
  for (const Case& c : completed) EXPECT_EQ(export_name_completed(c.start, ".pdf"), c.proposed) << c.start;
}

// Every format's chooser: a typed name keeps its end only when that is the
// format's own suffix, in any case; every other name, with dots in it or
// with another format's suffix, gets the format's suffix behind it.
TEST_F(ExportName, TypedNamesGetTheFormatsSuffixUnlessTheyEndInIt) {
  const char* suffixes[] = {".pdf", ".eps", ".ps", ".svg", ".dxf", ".plt", ".pov", ".3ds", ".lwo", ".gts"};
  auto upper = [](std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
  };
  for (const char* suffix : suffixes) {
    const std::string s = suffix;
    SCOPED_TRACE(s);
    const std::string kept[] = {"/o/house" + s, "/o/house" + upper(s), "/o/Grundriss 1.OG" + s,
                                "/o/v1.2" + upper(s.substr(0, 2)) + s.substr(2)};
    for (const std::string& name : kept) EXPECT_EQ(export_name_completed(name, suffix), name);
    const std::string added[] = {"/o/house",  "/o/Grundriss 1.OG", "/o/plan v1.2",         "/o.d/house",
                                 "/o/house.", "/o/.hidden",        "/o/house" + s + ".bak"};
    for (const std::string& name : added) EXPECT_EQ(export_name_completed(name, suffix), name + s);
    // A name that ends in another format's suffix keeps it and gets this
    // one: the file's suffix tells what it holds.
    for (const char* other : suffixes) {
      if (s == other) continue;
      for (const std::string& name : {"/o/house" + std::string(other), "/o/house" + upper(other)})
        EXPECT_EQ(export_name_completed(name, suffix), name + s);
    }
  }
  // Other suffixes of the plotter format stay.
  for (const char* name : {"/o/plan.hpgl", "/o/plan.HPGL", "/o/plan.hpg", "/o/plan.hgl"})
    EXPECT_EQ(export_name_completed(name, ".plt"), name);
  EXPECT_EQ(export_name_completed("/o/plan.hpgl", ".pdf"), "/o/plan.hpgl.pdf");
  EXPECT_EQ(export_name_completed("/o/plan.epsf", ".eps"), "/o/plan.epsf");
}

// The proposal replaces only a suffix of a format the program knows: a dot
// that is part of the name stays.
TEST_F(ExportName, ProposalKeepsDotsThatArePartOfTheName) {
  drawing_file = "/d/Grundriss 1.OG.kav";
  const struct {
    const char* start;
    const char* suffix;
    const char* proposed;
  } cases[] = {
      {"/o/", ".pdf", "/o/Grundriss 1.OG.pdf"},
      {"/o/Grundriss 1.OG", ".svg", "/o/Grundriss 1.OG.svg"},
      {"/o/Grundriss 1.OG.pdf", ".eps", "/o/Grundriss 1.OG.eps"},
      {"/o/Haus v2.1.DXF", ".3ds", "/o/Haus v2.1.3ds"},
      {"/o/plan.hpgl", ".pdf", "/o/plan.pdf"},
      {"/o/plan.final", ".pdf", "/o/plan.final.pdf"},
  };
  for (const auto& c : cases) EXPECT_EQ(export_name_proposed(c.start, c.suffix), c.proposed) << c.start;
  drawing_file = "/d/Grundriss 1.OG";
  EXPECT_EQ(export_name_proposed("/o/", ".pdf"), "/o/Grundriss 1.OG.pdf");
}

// A name completed through the chooser: "Grundriss 1.OG" typed in the PDF
// chooser is written as "Grundriss 1.OG.pdf", and "house.pdf" typed in the
// SVG chooser as "house.pdf.svg".
TEST_F(ExportName, ChooserCompletesTheTypedName) {
  TempFolder dir;
  RecordingUi ui;
  ui.paths = {(dir / "Grundriss 1.OG").string(), (dir / "house.pdf").string(), (dir / "HOUSE.SVG").string()};
  EXPECT_EQ(export_name_choose("Export PDF...", "", "", ".pdf"), (dir / "Grundriss 1.OG.pdf").string());
  EXPECT_EQ(export_name_choose("Export SVG...", "", "", ".svg"), (dir / "house.pdf.svg").string());
  EXPECT_EQ(export_name_choose("Export SVG...", "", "", ".svg"), (dir / "HOUSE.SVG").string());
}

// The chooser asks before replacing the name it was given; a name that
// only its completion makes is asked about here.
TEST_F(ExportName, CompletedNameOfAnExistingFileIsAskedAbout) {
  TempFolder dir;
  RecordingUi ui;
  const std::string house = (dir / "house").string();
  dir.write("house.pdf", "old");

  ui.paths = {house};
  ui.answers = {2};
  EXPECT_EQ(export_name_choose("Export PDF...", (dir / "plan.eps").string(), "", ".pdf"), "cancel");
  ASSERT_EQ(ui.calls_starting("choose ").size(), 1u);
  EXPECT_EQ(
      ui.calls_starting("choose ")[0].rfind("choose Export PDF... " + (dir / "plan.pdf").string() + " 1", 0),
      0u);
  EXPECT_EQ(ui.calls_starting("ask ").size(), 1u);

  ui.paths = {house};
  ui.answers = {1};
  EXPECT_EQ(export_name_choose("Export PDF...", "", "", ".pdf"), house + ".pdf");
  // Given whole, or not there yet: the chooser's own question is enough.
  ui.paths = {house + ".pdf", (dir / "new").string()};
  EXPECT_EQ(export_name_choose("Export PDF...", "", "", ".pdf"), house + ".pdf");
  EXPECT_EQ(export_name_choose("Export PDF...", "", "", ".pdf"), (dir / "new.pdf").string());
  EXPECT_EQ(ui.calls_starting("ask ").size(), 2u);
  ui.paths = {};
  EXPECT_EQ(export_name_choose("Export PDF...", "", "", ".pdf"), "cancel");
}

}  // namespace
