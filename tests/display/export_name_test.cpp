// The names of exported files: what the save chooser proposes, the suffix
// added to a typed name without one, and the question before a name so
// completed replaces a file.

#include "display/export_name.h"

#include <gtest/gtest.h>

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
      {"/out/house.PDF", "/out/house.PDF"}, {"/out/house.eps", "/out/house.eps"},
      {"/out.d/house", "/out.d/house.pdf"}, {"/out/", "/out/"},
  };
  for (const Case& c : completed) EXPECT_EQ(export_name_completed(c.start, ".pdf"), c.proposed) << c.start;
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
