// A chain dimension and a hatch pattern through the command loop: the
// tools' keys, the clicks, Escape, saving, undo and saving again; the saved
// files are read back through the chunk dump.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "display/input.h"
#include "display/snap.h"
#include "model/settings.h"
#include "programs/kavdump.h"
#include "shell_fixture.h"
#include "support/temp_folder.h"

namespace {

using Lines = std::vector<std::string>;

class DimPatternLoopTest : public LoopWithViewTest {
 protected:
  void SetUp() override {
    LoopWithViewTest::SetUp();
    snap_on = 0;
  }
  // The chunks of a saved file whose dump line starts with tag.
  static Lines chunks(const std::filesystem::path& file, const std::string& tag) {
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    EXPECT_FALSE(bytes.empty()) << file;
    std::istringstream dump(kavdump(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()));
    Lines out;
    for (std::string line; std::getline(dump, line);)
      if (line.rfind(tag + " ", 0) == 0) out.push_back(line);
    return out;
  }
  void click(double x, double y) { script.click_world(1, x, y); }

  TempFolder dir;
};

TEST_F(DimPatternLoopTest, ChainAndRectangleSavedThenUndone) {
  const std::string both = dir / "both.kav", none = dir / "none.kav";
  ui.paths = {both, none};
  script.key("b_dim_x", &button_line);
  click(0, -1);
  script.key("z_enter");
  for (double x : {0.0, 3.0, 1.0}) {
    click(x, 0);
    script.key("z_enter");
  }
  script.key("b_pattern_range", &button_circle);
  click(10, 10);
  click(12, 11);
  script.key("z_enter").key("p_nop");
  script.key("p_file_save").key("p_undo").key("p_undo").key("p_file_save").key("p_file_quit");
  run_loop();

  const Lines dims = chunks(both, "DIM3"), pats = chunks(both, "PAT2");
  ASSERT_EQ(dims.size(), 1u);
  ASSERT_EQ(pats.size(), 1u);
  EXPECT_NE(dims[0].find(" layer=0 group=0 pen=0 "), std::string::npos) << dims[0];
  EXPECT_NE(dims[0].find(" dim_kind=0 points=3[{line_point.x=0 line_point.y=-1 measured.x=0 measured.y=0 "
                         "segment_length=0 "),
            std::string::npos)
      << dims[0];
  EXPECT_NE(dims[0].find("{line_point.x=3 line_point.y=-1 measured.x=3 measured.y=0 segment_length=2 "),
            std::string::npos)
      << dims[0];
  EXPECT_NE(pats[0].find(" points=5[{x=10 y=10} {x=12 y=10} {x=12 y=11} {x=10 y=11} {x=999 y=999}]"),
            std::string::npos)
      << pats[0];
  EXPECT_TRUE(chunks(none, "DIM3").empty());
  EXPECT_TRUE(chunks(none, "PAT2").empty());
  // The pattern key ended the chain and started the pattern tool.
  EXPECT_EQ(button_log(), (Lines{"line off b_dim_x", "circle off b_pattern_range"}));
}

}  // namespace
