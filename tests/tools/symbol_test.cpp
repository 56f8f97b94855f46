// Symbols and the clipboard run end to end by scripts: what the files hold,
// where placed symbols land and how they are grouped, cut and undo, every
// way a placement is cancelled, a drawing read as a symbol, and the library
// folders made and removed without a shell.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "edit_tool_fixture.h"
#include "model/files/load_save.h"
#include "model/files/symbol_file.h"
#include "model/model_state.h"
#include "model/settings.h"
#include "model/view_rec.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

constexpr double PI = 3.141592653589793;

class SymbolTest : public EditToolTest {
 protected:
  void SetUp() override {
    EditToolTest::SetUp();
    tmp_dir = (dir / "tmp").string() + "/";
    symbol_path = (dir / "sym").string() + "/";
    symbol_save_file = symbol_path.view();
    dir.make_folder("tmp");
    dir.make_folder("sym");
  }

  // Two grouped lines, (0, 0) - (1, 0) and (0, 1) - (1, 1).
  void two_lines() {
    elem_new_line(0, 1, 0, 0, 0, 1, 0);
    elem_new_line(0, 1, 0, 0, 1, 1, 1);
    group_last_created(2);
    redraw();
  }

  // Saves (mode 0) or copies (1) or cuts (2) all with the origin (ox, oy).
  void save_all(int mode, double ox, double oy) {
    select_all();
    script.click_world(1, ox, oy).key("z_enter");
    run_tool([mode] { tool_symbol_save(mode); });
  }
  // Places the clipboard (or mode 0's chosen file) at (x, y) with a typed angle.
  void place(int mode, double x, double y, const char* angle) {
    script.click_world(1, x, y).key("z_enter").value(angle);
    run_tool([mode] { symbol_load(mode); });
  }

  // The chunk tags of a file in order, the header first.
  static std::vector<std::string> tags(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::string b((std::istreambuf_iterator<char>(in)), {});
    std::vector<std::string> out;
    std::size_t at = 0;
    while (at + 8 <= b.size()) {
      out.push_back(b.substr(at, 4));
      const auto byte = [&](std::size_t k) {
        return static_cast<uint32_t>(static_cast<unsigned char>(b[k]));
      };
      const uint32_t size = byte(at + 4) << 24 | byte(at + 5) << 16 | byte(at + 6) << 8 | byte(at + 7);
      at += 8 + size;
    }
    return out;
  }

  std::vector<std::string> errors() const { return ui.calls_starting("error "); }

  TempFolder dir;
};

TEST_F(SymbolTest, CopyAtAnOriginPastedElsewhereMovesByTheDifferenceInAGroupOfItsOwn) {
  two_lines();
  save_all(1, 2, 3);
  EXPECT_TRUE(fs::exists(dir / "tmp" / "sym.tmp"));
  EXPECT_EQ(undo_used, 0);
  EXPECT_TRUE(nothing_marked());

  place(1, 10, 10, "0");
  place(1, 10, 10, "0");
  const auto l = lines();
  ASSERT_EQ(l.size(), 6u);
  for (int copy : {1, 2}) {
    expect_line(l[2 * copy], 8, 7, 9, 7);
    expect_line(l[2 * copy + 1], 8, 8, 9, 8);
    EXPECT_EQ(l[2 * copy]->group, l[2 * copy + 1]->group);
    EXPECT_EQ(l[2 * copy]->layer, cur_layer);
  }
  EXPECT_NE(l[2]->group, l[0]->group);
  EXPECT_NE(l[4]->group, l[0]->group);
  EXPECT_NE(l[4]->group, l[2]->group);
  EXPECT_EQ(undo_used, 2);
  EXPECT_TRUE(nothing_marked());
  expect_clean_surface();
  undo_step_back();
  EXPECT_EQ(lines().size(), 4u);
}

TEST_F(SymbolTest, CopyingChangesNothingInTheDrawing) {
  // Coordinates that an offset there and back would not all keep.
  for (int i = 0; i < 20; ++i) elem_new_line(0, 0, 0, 0.1 * i, 0.7 + 0.01 * i, 0.3 * i, -0.9 - 0.013 * i);
  redraw();
  drawing_modified = 0;
  const auto before = chunks();
  save_all(1, 2.3, 3.7);
  EXPECT_EQ(chunks(), before);
  EXPECT_EQ(drawing_modified, 0);
  // What was written is relative to the origin.
  drawing_free();
  drawing_init();
  symbol_file = symbol_clipboard_path();
  symbol_preview_load();
  ASSERT_EQ(lines().size(), 20u);
  EXPECT_DOUBLE_EQ(lines()[0]->p1.x, -2.3);
  EXPECT_DOUBLE_EQ(lines()[0]->p1.y, 0.7 - 3.7);
}

TEST_F(SymbolTest, ASymbolFileHoldsTheHeaderAndTheElementsOnly) {
  two_lines();
  const std::string file = (dir / "sym" / "two.sym").string();
  ui.paths = {file};
  save_all(0, 2, 3);
  EXPECT_EQ(tags(file), (std::vector<std::string>{"KAVW", "LINE", "LINE"}));
  EXPECT_EQ(symbol_save_file, file);
  EXPECT_EQ(ui.calls_starting("choose ").at(0).rfind("choose Save Symbol...", 0), 0u);

  // Placed from the file: a new group for all of it, turned by the
  // direction from the insertion point to a second point.
  ui.paths = {file};
  script.click_world(1, 10, 10).key("z_enter").click_world(1, 10, 20).key("z_enter");
  run_tool([] { symbol_load(0); });
  const auto l = lines();
  ASSERT_EQ(l.size(), 4u);
  // (x, y) relative to (2, 3), turned a quarter, at (10, 10).
  expect_line(l[2], 13, 8, 13, 9);
  expect_line(l[3], 12, 8, 12, 9);
  EXPECT_GT(l[2]->group, l[0]->group);
  EXPECT_EQ(undo_used, 1);
  expect_clean_surface();
}

TEST_F(SymbolTest, ATypedAngleTurnsAboutTheOrigin) {
  two_lines();
  save_all(1, 0, 0);
  angle_unit = 1;  // degrees
  place(1, 20, 20, "90");
  const auto l = lines();
  ASSERT_EQ(l.size(), 4u);
  expect_line(l[2], 20, 20, 20, 21);
  expect_line(l[3], 19, 20, 19, 21);
}

TEST_F(SymbolTest, CutRemovesTheSelectionAndUndoBringsItBack) {
  two_lines();
  const auto before = chunks();
  save_all(2, 2, 3);
  EXPECT_TRUE(elements().empty());
  EXPECT_EQ(undo_used, 1);
  EXPECT_EQ(tags(dir / "tmp" / "sym.tmp"), (std::vector<std::string>{"KAVW", "LINE", "LINE"}));
  expect_clean_surface();
  undo_step_back();
  EXPECT_EQ(chunks(), before);
}

TEST_F(SymbolTest, ACutThatCannotBeWrittenDeletesNothing) {
  two_lines();
  const auto before = chunks();
  // The temporary folder's place is taken by a file.
  dir.write("blocked", "x");
  tmp_dir = (dir / "blocked" / "tmp").string();
  save_all(2, 2, 3);
  EXPECT_EQ(chunks(), before);
  EXPECT_EQ(undo_used, 0);
  EXPECT_EQ(errors(), (std::vector<std::string>{"error Cannot open file"}));
  EXPECT_TRUE(nothing_marked());
  expect_clean_surface();
}

TEST_F(SymbolTest, NoOriginNoSymbol) {
  two_lines();
  select_all();
  script.key("p_nop");
  run_tool([] { tool_symbol_save(1); });
  EXPECT_FALSE(fs::exists(dir / "tmp" / "sym.tmp"));
  EXPECT_EQ(
      errors(),
      (std::vector<std::string>{"error Could not save the symbol because the origin point is missing!"}));
  EXPECT_TRUE(nothing_marked());
  expect_clean_surface();
}

TEST_F(SymbolTest, ACancelledPlacementLeavesNothingBehind) {
  struct Case {
    const char* name;
    bool at_angle;  // else at the origin
  } cases[] = {{"at the origin", false}, {"at the angle", true}};
  two_lines();
  save_all(1, 0, 0);
  undo_record(UNDO_CREATED, 2);  // some earlier step
  const auto before = chunks();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    pending_command = "nop";
    if (c.at_angle) script.click_world(1, 10, 10).key("z_enter");
    script.key("p_nop");
    run_tool([] { symbol_load(1); });
    EXPECT_EQ(chunks(), before);
    EXPECT_EQ(undo_used, 1);
    EXPECT_TRUE(nothing_marked());
    expect_clean_surface();
  }
}

TEST_F(SymbolTest, PlacingDoesNotTakeAlongWhatWasMarkedBefore) {
  two_lines();
  save_all(1, 0, 0);
  elem_new_line(0, 0, 0, -10, -10, -5, -10);
  elem_list_tail->mark = 1;
  place(1, 10, 10, "0");
  expect_line(lines()[2], -10, -10, -5, -10);
  EXPECT_EQ(lines().size(), 5u);
}

TEST_F(SymbolTest, TheBrowsersSymbolIsPlacedAtItsAngleWithoutAsking) {
  two_lines();
  const std::string file = (dir / "sym" / "two.sym").string();
  ui.paths = {file};
  save_all(0, 0, 0);
  symbol_file = file;
  symbol_angle = PI / 2;
  script.click_world(1, 20, 20).key("z_enter");
  run_tool([] { symbol_load(2); });
  const auto l = lines();
  ASSERT_EQ(l.size(), 4u);
  expect_line(l[2], 20, 20, 20, 21);
  EXPECT_NE(l[2]->group, l[0]->group);
  EXPECT_EQ(undo_used, 1);
}

TEST_F(SymbolTest, ADrawingReadAsASymbolLendsItsElementsOnly) {
  // A drawing with other pens, a named layer and an active camera.
  two_lines();
  elem_new_camera(0, 0, 0, 0, -10, 1.7, 0, 0, 1.7, 50, 1);
  pens[2].width = 1.75;
  layers[0].name = "Walls";
  const std::string file = (dir / "drawing.kav").string();
  ASSERT_EQ(kavfile_write_file(file, kavfile_write_drawing, "Cannot open file", "Cannot write file"), 1);
  drawing_free();
  model_state_reset();
  const double pen_width = pens[2].width;
  const std::string layer_name(layers[0].name.view());
  redraw();

  ui.paths = {file};
  script.click_world(1, 0, 0).key("z_enter").value("0");
  run_tool([] { symbol_load(0); });
  EXPECT_EQ(elements().size(), 3u);
  EXPECT_EQ(pens[2].width, pen_width);
  EXPECT_EQ(layers[0].name.view(), layer_name);
  const auto* cam = elem_as<CameraElem>(elements()[2]);
  ASSERT_NE(cam, nullptr);
  EXPECT_EQ(cam->active, 0);
  EXPECT_EQ(view_type, VIEW_PLAN);
}

TEST_F(SymbolTest, AFileThatIsNoDrawingIsReportedAndNothingIsPlaced) {
  dir.write("sym/junk.sym", "not a drawing at all");
  dir.make_folder("sym/folder.sym");
  struct Case {
    const char* file;
    const char* error;
  } cases[] = {{"junk.sym", "error This is not a Kavro file!"},
               {"none.sym", "error Cannot open file\nThe file does not exist."},
               {"folder.sym", "error Cannot open file\nThis is a folder, not a file."}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    ui.calls.clear();
    ui.paths = {(dir / "sym" / c.file).string()};
    run_tool([] { symbol_load(0); });
    EXPECT_TRUE(elements().empty());
    EXPECT_EQ(undo_used, 0);
    EXPECT_TRUE(ui.calls_starting("prompt ").empty());
    EXPECT_EQ(errors(), (std::vector<std::string>{c.error}));
  }
}

// A large symbol file shows the progress window while it is read.
TEST_F(SymbolTest, ALargeSymbolShowsProgress) {
  two_lines();
  for (ElemHeader* e = elem_list_head; e; e = e->next) e->mark = 1;
  const fs::path small = dir / "sym" / "small.sym";
  ASSERT_EQ(symbol_write_marked(small.string(), 0, 0, 0), 1);
  std::ifstream in(small, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), {});
  // The last chunk, a line, again and again.
  const std::vector<std::string> chunks = tags(small);
  ASSERT_EQ(chunks.back(), "LINE");
  const std::size_t last = bytes.rfind("LINE");
  std::string large = bytes;
  while (large.size() < (std::size_t{9} << 20)) large += bytes.substr(last);
  dir.write("sym/large.sym", large);
  elem_free_all();
  ui.calls.clear();
  ASSERT_EQ(symbol_read_file((dir / "sym" / "large.sym").string()), 1);
  const std::vector<std::string> shown = ui.calls_starting("progress");
  ASSERT_GE(shown.size(), 3u);
  EXPECT_EQ(shown.front(), "progress_open_cancel Load Symbol...");
  EXPECT_EQ(shown[shown.size() - 2], "progress 1");
  EXPECT_EQ(shown.back(), "progress_close");
  EXPECT_TRUE(errors().empty());
}

TEST_F(SymbolTest, PreviewReadsTheBrowsersFile) {
  two_lines();
  save_all(1, 0, 0);
  drawing_free();
  drawing_init();
  symbol_file = symbol_clipboard_path();
  symbol_preview_load();
  EXPECT_EQ(elements().size(), 2u);
  EXPECT_EQ(elem_count_marked(), 2);
  testing::internal::CaptureStdout();
  symbol_file = (dir / "missing").string();
  symbol_preview_load();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "empty file\n");

  // A file that is no drawing is said once, however often the preview is
  // drawn, and again when it is chosen anew after another file.
  const std::string other = (dir / "notes.txt").string();
  std::ofstream(other) << "not a drawing\n";
  symbol_file = other;
  for (int i = 0; i < 3; ++i) symbol_preview_load();
  EXPECT_EQ(errors(), (std::vector<std::string>{"error This is not a Kavro file!"}));
  symbol_file = symbol_clipboard_path();
  symbol_preview_load();
  symbol_file = other;
  symbol_preview_load();
  EXPECT_EQ(errors().size(), 2u);
}

TEST_F(SymbolTest, LibraryFoldersAreMadeAndRemovedWithoutAShell) {
  const fs::path cwd = fs::current_path();
  fs::current_path(dir.path());
  const std::string odd = (dir / "sym" / "a b;touch x").string();
  ui.paths = {odd};
  tool_symbol_library_new();
  EXPECT_EQ(ui.calls_starting("choose ").at(0), "choose Create Directory... " +
                                                    std::string(symbol_path.view()) + " 1 path " +
                                                    std::string(symbol_path.view()));
  EXPECT_TRUE(fs::is_directory(odd));
  EXPECT_FALSE(fs::exists(dir / "x"));
  EXPECT_FALSE(fs::exists(dir / "sym" / "x"));
  int entries = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir / "sym")) ++entries;
  EXPECT_EQ(entries, 1);

  dir.write("sym/a b;touch x/door.sym", "x");
  dir.write("sym/keep.sym", "x");
  ui.paths = {(dir / "sym" / "keep.sym").string()};
  tool_symbol_remove();
  EXPECT_FALSE(fs::exists(dir / "sym" / "keep.sym"));
  // Choosers answered "cancel" remove nothing.
  ui.paths = {"cancel", "cancel"};
  tool_symbol_remove();
  tool_symbol_library_remove();
  EXPECT_TRUE(fs::exists(odd + "/door.sym"));

  ui.paths = {odd + "/"};
  tool_symbol_library_remove();
  EXPECT_FALSE(fs::exists(odd));
  EXPECT_TRUE(fs::is_directory(dir / "sym"));
  fs::current_path(cwd);
}

TEST_F(SymbolTest, TheSampleSymbolsAreSymbolFilesAboutTheirInsertionPoint) {
  const fs::path library = fs::path(KAVRO_GENERATED_DIR) / "dat" / "sym";
  std::vector<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(library)) {
    if (!entry.is_regular_file()) continue;
    const fs::path file = entry.path();
    names.push_back(fs::relative(file, library).string());
    SCOPED_TRACE(names.back());
    const auto t = tags(file);
    ASSERT_FALSE(t.empty());
    EXPECT_EQ(t[0], "KAVW");
    for (std::size_t i = 1; i < t.size(); ++i) EXPECT_TRUE(t[i] == "LINE" || t[i] == "CIRC") << t[i];

    drawing_free();
    drawing_init();
    undo_record(UNDO_CLEAR, 0);
    redraw();
    ui.paths = {file.string()};
    pending_command = "nop";
    script.click_world(1, 20, 20).key("z_enter").value("0");
    run_tool([] { symbol_load(0); });
    ASSERT_GE(elements().size(), 1u);
    EXPECT_EQ(static_cast<std::size_t>(t.size() - 1), elements().size());
    // Placed at (20, 20): every point within 2.5 m of it, all in one group.
    for (ElemHeader* e : elements()) {
      for (const Point3& p : points_of(e)) {
        EXPECT_LT(std::fabs(p.x - 20), 2.5);
        EXPECT_LT(std::fabs(p.y - 20), 2.5);
      }
      EXPECT_EQ(e->group, elements()[0]->group);
      EXPECT_NE(e->group, 0);
    }
    expect_clean_surface();
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"building/door.sym", "building/window.sym", "furniture/bed.sym",
                                             "furniture/chair.sym", "furniture/table.sym",
                                             "sanitary/toilet.sym", "sanitary/washbasin.sym"}));
}

}  // namespace
