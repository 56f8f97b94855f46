// Loading, saving, the backup and the hand-off file, with the questions and
// messages they show.

#include "model/files/load_save.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <string_view>

#include "model/file_test_util.h"
#include "model/files/kavfile.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/settings.h"
#include "model/undo.h"
#include "support/model_fixture.h"
#include "support/recording_ui.h"

namespace fs = std::filesystem;

namespace {

class LoadSave : public ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    drawing_file = dir / "current.kav";
    ui.calls.clear();
  }
  // The recorded calls other than the undo buttons a new drawing sets.
  std::vector<std::string> interface_calls() const {
    std::vector<std::string> out;
    for (const std::string& c : ui.calls)
      if (c.rfind("undo_button", 0) != 0 && c.rfind("redo_button", 0) != 0 &&
          c.rfind("cursor_toggle", 0) != 0 && c.rfind("draw_element", 0) != 0 &&
          c.rfind("camera_angle", 0) != 0)
        out.push_back(c);
    return out;
  }
  // A drawing file with one element of each kind, in groups up to 9.
  std::string every_kind_file() {
    const std::string path = dir / "every.kav";
    put_file(path, file_bytes(fs::path(KAVRO_TEST_DATA_DIR) / "every_kind.kav"));
    return path;
  }
  // The open drawing: two lines, modified.
  void open_drawing() {
    elem_new_line(1, 0, 0, 0, 0, 1, 1);
    elem_new_line(2, 0, 0, 0, 0, 2, 2);
    drawing_modified = 1;
  }
  TempDir dir;
  RecordingUi ui;
};

TEST_F(LoadSave, LoadReplacesTheDrawingAndRefreshesTheInterface) {
  open_drawing();
  drawing_modified = 0;
  view_type = 5;
  const std::string path = every_kind_file();
  EXPECT_EQ(kavfile_load_drawing(1, path.c_str()), 1);
  EXPECT_EQ(elem_count(), 12);
  EXPECT_EQ(drawing_file, path);
  EXPECT_EQ(drawing_modified, 0);
  EXPECT_EQ(view_type, 0);
  EXPECT_EQ(group_counter, 9);  // a new group gets 10
  EXPECT_EQ(cur_layer, 7);
  // The fixture's camera was the active one: it sets the perspective view again.
  EXPECT_EQ(ui.calls_starting("camera_angle").size(), 1u);
  EXPECT_EQ(interface_calls(), (std::vector<std::string>{"toolbar_toggles_refresh", "dlg_dxf_refresh",
                                                         "gui_reset_after_load", "select_view 0", "title"}));
}

const char* german_names(const char* key) {
  const std::string_view k(key);
  return k == "Layer" ? "Ebene" : k == "List" ? "Liste" : key;
}

// A drawing saved from the English interface opened in the German one: the
// default names of layers and lists read as the German defaults, the names
// the user gave stay.
TEST_F(LoadSave, DefaultLayerNamesReadInTheLanguageShown) {
  elem_new_line(3, 0, 0, 0, 0, 1, 1);  // a layer in use keeps its record
  layers[4].name = "Keller";
  layer_list_names[2] = "Obergeschoss";
  const std::string path = dir / "english.kav";
  put_file(path, written_by(kavfile_write_drawing));
  drawing_modified = 0;
  nls_set_lookup(german_names);
  EXPECT_EQ(kavfile_load_drawing(1, path.c_str()), 1);
  nls_set_lookup(nullptr);
  EXPECT_EQ(layer_list_names[0], "Liste 0");
  EXPECT_EQ(layer_list_names[9], "Liste 9");
  EXPECT_EQ(layer_list_names[2], "Obergeschoss");
  EXPECT_EQ(layers[3].name, "Ebene 3");
  EXPECT_EQ(layers[4].name, "Keller");
}

TEST_F(LoadSave, ModifiedDrawingAsksFirst) {
  const std::string path = every_kind_file();
  for (int answer : {2, 0}) {  // Cancel, or the box closed
    open_drawing();
    ui.calls.clear();
    ui.answers = {answer};
    EXPECT_EQ(kavfile_load_drawing(1, path.c_str()), 0);
    EXPECT_EQ(ui.calls, (std::vector<std::string>{
                            "ask Drawing is altered and not saved!\nReally delete all? [Yes] [Cancel]"}));
    EXPECT_EQ(elem_count(), 2);
    EXPECT_EQ(drawing_modified, 1);
    EXPECT_EQ(drawing_file, dir / "current.kav");
    drawing_reset();
  }
  open_drawing();
  ui.answers = {1};
  ui.paths = {path};
  EXPECT_EQ(kavfile_load_drawing(0, ""), 1);  // Yes, then the chooser
  EXPECT_EQ(ui.calls_starting("choose").front(),
            "choose Load Drawing... " + (dir / "current.kav") + " 0 path ./dat/draw/");
  EXPECT_EQ(elem_count(), 12);
}

TEST_F(LoadSave, FilesThatAreNoDrawingLeaveTheDrawingAlone) {
  put_file(dir / "notes.txt", ByteVec{'h', 'e', 'l', 'l', 'o', '\n'});
  put_file(dir / "empty.kav", ByteVec{});
  struct Case {
    std::string path;
    std::string message;
  } cases[] = {{dir / "notes.txt", "error This is not a Kavro file!"},
               {dir / "empty.kav", "error Cannot open file\n" + (dir / "empty.kav") + "\nThe file is empty."},
               {dir / "missing.kav",
                "error Cannot open file\n" + (dir / "missing.kav") + "\nThe file does not exist."},
               {dir.path().string(),
                "error Cannot open file\n" + dir.path().string() + "\nThis is a folder, not a file."}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    open_drawing();
    drawing_modified = 0;
    ui.calls.clear();
    EXPECT_EQ(kavfile_load_drawing(1, c.path.c_str()), 0);
    EXPECT_EQ(ui.calls, std::vector<std::string>{c.message});
    EXPECT_EQ(elem_count(), 2);
    EXPECT_EQ(drawing_file, dir / "current.kav");
    drawing_reset();
  }
  ui.paths = {"cancel"};
  EXPECT_EQ(kavfile_load_drawing(0, ""), 0);
}

// The drawing named at start-up: a file that is there but cannot be loaded
// (damaged, empty, no drawing, a folder) leaves the drawing unnamed, so the
// next save does not go over it; a name no file has yet names the new
// drawing; a drawing that loads takes its name.
TEST_F(LoadSave, StartUpDrawingThatCannotBeLoadedLeavesTheDrawingUnnamed) {
  const ByteVec whole = file_bytes(fs::path(KAVRO_TEST_DATA_DIR) / "every_kind.kav");
  put_file(dir / "cut.kav", ByteVec(whole.begin(), whole.begin() + static_cast<long>(whole.size() / 2)));
  put_file(dir / "empty.kav", ByteVec{});
  put_file(dir / "notes.kav", ByteVec{'h', 'e', 'l', 'l', 'o', '\n'});
  fs::create_directory(dir / "folder.kav");
  const std::string unnamed = dir / "Unnamed.kav";
  const struct {
    std::string path;
    int loaded;
    std::string name;
  } cases[] = {
      {dir / "cut.kav", 0, unnamed},
      {dir / "empty.kav", 0, unnamed},
      {dir / "notes.kav", 0, unnamed},
      {dir / "folder.kav", 0, unnamed},
      {dir / "missing.kav", 0, dir / "missing.kav"},
      {every_kind_file(), 1, dir / "every.kav"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    drawing_reset();
    drawing_modified = 0;
    drawing_file = unnamed;
    ui.calls.clear();
    EXPECT_EQ(kavfile_load_start_drawing(c.path), c.loaded);
    EXPECT_EQ(drawing_file, c.name);
    EXPECT_EQ(ui.calls_starting("error").size(), c.loaded ? 0u : 1u);
    EXPECT_EQ(drawing_modified, 0);
  }
}

TEST_F(LoadSave, NewerFilesAreConvertedWithAMessage) {
  ByteVec body = file_bytes(fs::path(KAVRO_TEST_DATA_DIR) / "every_kind.kav");
  for (int version : {310, 300}) {
    body[11] = static_cast<unsigned char>(version & 0xFF);  // the version's low byte
    body[10] = static_cast<unsigned char>(version >> 8);
    put_file(dir / "v.kav", body);
    ui.calls.clear();
    EXPECT_EQ(kavfile_load_drawing(1, (dir / "v.kav").c_str()), 1);
    EXPECT_EQ(ui.calls_starting("message"),
              version == 310 ? std::vector<std::string>{"message Kavro: File format 3.10 converted to 3.00"}
                             : std::vector<std::string>{});
  }
}

// A file that cannot be read to its end (cut inside the settings, inside a
// layer set, between elements, inside the last element, a few stray bytes
// at the end) loads nothing: the open drawing, its settings, layers, name,
// modified flag and undo history stay exactly as they were.
TEST_F(LoadSave, DamagedFileLeavesTheOpenDrawingAsItWas) {
  const ByteVec whole = file_bytes(fs::path(KAVRO_TEST_DATA_DIR) / "every_kind.kav");
  ByteVec stray = whole;
  stray.insert(stray.end(), {'L', 'I'});
  const ByteVec cases[] = {ByteVec(whole.begin(), whole.begin() + 40),
                           ByteVec(whole.begin(), whole.begin() + 3000),
                           ByteVec(whole.begin(), whole.begin() + static_cast<long>(whole.size() / 2)),
                           ByteVec(whole.begin(), whole.end() - 50), stray};
  open_drawing();
  undo_record(UNDO_CREATED, 1);  // the second line, as a step of its own
  snap_size = 77;                // settings, layers and sets the file holds others of
  layers[5].shown = 0;
  layers[5].name = "kept";
  layer_list_names[3] = "List kept";
  cur_layer = 5;
  LayerSet set;
  set.name = "Mine";
  layer_set_append(set);
  const ElemHeader* first = elem_list_head;
  const ElemHeader* last = elem_list_tail;
  const auto saved = [] {
    char* buf = nullptr;
    std::size_t len = 0;
    std::FILE* f = open_memstream(&buf, &len);
    EXPECT_EQ(kavfile_write_drawing(f), 1);
    std::fclose(f);
    std::string bytes(buf, len);
    std::free(buf);
    return bytes;
  };
  const std::string before = saved();
  for (const ByteVec& body : cases) {
    SCOPED_TRACE(body.size());
    put_file(dir / "cut.kav", body);
    ui.calls.clear();
    ui.answers = {1};  // Yes, the modified drawing may go
    EXPECT_EQ(kavfile_load_drawing(1, (dir / "cut.kav").c_str()), 0);
    EXPECT_EQ(ui.calls_starting("error"),
              std::vector<std::string>{"error The file is damaged; the drawing was not loaded."});
    EXPECT_EQ(saved(), before);
    EXPECT_EQ(elem_list_head, first);
    EXPECT_EQ(elem_list_tail, last);
    EXPECT_EQ(elem_count(), 2);
    EXPECT_EQ(snap_size, 77);
    EXPECT_EQ(layers[5].shown, 0);
    EXPECT_STREQ(layers[5].name.c_str(), "kept");
    EXPECT_EQ(cur_layer, 5);
    EXPECT_EQ(drawing_file, dir / "current.kav");
    EXPECT_EQ(drawing_modified, 1);
    EXPECT_EQ(undo_used, 1);
  }
  // The undo history still belongs to the drawing: the step takes the second
  // line back.
  undo_step_back();
  EXPECT_EQ(elem_count(), 1);
  EXPECT_EQ(elem_list_head, first);
}

// A hand-made or old drawing whose settings hold values no dialog takes
// loads with each brought into its range (the nearest limit, or the usual
// value where none is near: a scale of 0, a value that is no number), and
// one note says how many were.
TEST_F(LoadSave, SettingsOutsideTheirRangeLoadBroughtIntoItWithANote) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  Bytes file;
  file.append(kavw_header());
  file.chunk("PPEN", 113).u8(1).text("Minus", 80).f64(-1).f64(0.5).f64(2.0).f64(-0.5);
  file.chunk("PPEN", 113).u8(2).text("Huge", 80).f64(1e9).f64(0).f64(0).f64(0);
  file.chunk("PLIN", 138).u8(1).text("Neg", 80).f64(-3).u8(1).f64(-5).f64(nan).zeros(32);
  file.chunk("PMSC", 32).f64(0).i32(0).i32(0).i32(1).i32(0).i32(0).i32(0);
  file.chunk("PPR3", 324).f64(-10).f64(1e9).f64(0).f64(-1).f64(2000).f64(nan).f64(0.5);
  file.i32(0).i32(1).text("lp", 128).text("Default", 128).i32(0);
  file.chunk("PHP3", 1200).i32(0).i32(0).i32(0).f64(42).f64(0).f64(1e9).f64(0);
  file.zeros(256 * 4 + 128).i32(0);
  put_file(dir / "wild.kav", file.bytes());
  ASSERT_EQ(kavfile_load_drawing(1, (dir / "wild.kav").c_str()), 1);

  struct Case {
    const char* what;
    double loaded, expected;
  };
  const Case cases[] = {
      {"pen width -1", pens[1].width, 0.0},
      {"pen green 2", pens[1].g, 1.0},
      {"pen blue -0.5", pens[1].b, 0.0},
      {"pen red in range", pens[1].r, 0.5},
      {"pen width 1e9", pens[2].width, 10.0},
      {"line period -3", line_types[1].period, 0.0},
      {"dash -5", line_types[1].dash[0], 0.0},
      {"gap NaN", line_types[1].gap[0], 0.0},
      {"drawing scale 0", drawing_scale, 100.0},
      {"paper width -10", print_settings.paper_width, 1.0},
      {"paper height 1e9", print_settings.paper_height, 500.0},
      {"print scale 0", print_settings.scale, 100.0},
      {"margin -1", print_settings.margin_left, 0.0},
      {"margin 2000", print_settings.margin_right, 100.0},
      {"margin NaN", print_settings.margin_top, 0.0},
      {"margin in range", print_settings.margin_bottom, 0.5},
      {"plot paper 42", plot_settings.paper_width, 42.0},
      {"plot paper 0", plot_settings.paper_height, 1.0},
      {"plot scale 1e9", plot_settings.scale, 1e7},
      {"plot resolution 0", plot_settings.resolution, 0.00001},
  };
  for (const Case& c : cases) EXPECT_EQ(c.loaded, c.expected) << c.what;
  EXPECT_EQ(ui.calls_starting("error"),
            std::vector<std::string>{"error 17 settings lay outside their range and were brought into it."});
}

TEST_F(LoadSave, OlderFormatFileLoadsWhole) {
  // Written as the older writer did: a TEXT chunk whose size field counts
  // more bytes than it holds, then DIMC, PATT, ROOM, LIGT and LIGH.
  const std::string path = dir / "old.kav";
  put_file(path, file_bytes(fs::path(KAVRO_TEST_DATA_DIR) / "older_format.kav"));
  EXPECT_EQ(kavfile_load_drawing(1, path.c_str()), 1);
  std::vector<int> kinds;
  for (const ElemHeader* e : elements()) kinds.push_back(e->kind);
  EXPECT_EQ(kinds, (std::vector<int>{ELEM_TEXT, ELEM_DIM, ELEM_PATTERN, ELEM_PATTERN, ELEM_ROOM, ELEM_LIGHT,
                                     ELEM_LIGHT}));
  EXPECT_EQ(ui.calls_starting("error"), std::vector<std::string>{});
  EXPECT_EQ(dim_settings.accuracy, 1);  // the settings chunk after the last element
}

TEST_F(LoadSave, SaveWritesTheUnmarkedElementsAndClearsModified) {
  add_one_of_each_kind();
  elem_list_head->mark = 1;  // held by a running tool: not saved
  drawing_modified = 1;
  const std::string path = dir / "plan.kav";
  put_file(path + ".tmp", {'m', 'i', 'n', 'e'});  // the user's own file survives the save
  ui.paths = {path};
  EXPECT_EQ(kavfile_save_drawing(0), 1);
  EXPECT_EQ(
      ui.calls_starting("choose"),
      std::vector<std::string>{"choose Save Drawing... " + (dir / "current.kav") + " 1 path ./dat/draw/"});
  EXPECT_EQ(drawing_modified, 0);
  EXPECT_EQ(drawing_file, path);
  EXPECT_EQ(file_bytes(path), written_by(kavfile_write_drawing));
  EXPECT_EQ(file_bytes(path + ".tmp"), (ByteVec{'m', 'i', 'n', 'e'}));
  EXPECT_EQ(names_in(dir.path()), (std::vector<std::string>{"plan.kav", "plan.kav.tmp"}));
  drawing_reset();
  read_file_bytes(file_bytes(path));
  EXPECT_EQ(elem_count(), 11);

  ui.paths = {"cancel"};
  drawing_modified = 1;
  EXPECT_EQ(kavfile_save_drawing(0), 0);
  EXPECT_EQ(drawing_modified, 1);
}

TEST_F(LoadSave, FailedSaveKeepsTheOldFileAndTheModifiedDrawing) {
  open_drawing();
  // A folder that does not exist: nothing can be opened.
  ui.paths = {dir / "no/such/folder/plan.kav"};
  EXPECT_EQ(kavfile_save_drawing(0), 0);
  EXPECT_EQ(ui.calls_starting("error"), std::vector<std::string>{"error Cannot open file"});
  EXPECT_EQ(drawing_modified, 1);
  EXPECT_EQ(drawing_file, dir / "current.kav");

  // A target that cannot be replaced: the write fails at the end.
  fs::create_directories(dir / "taken.kav/inside");
  ui.calls.clear();
  ui.paths = {dir / "taken.kav"};
  EXPECT_EQ(kavfile_save_drawing(0), 0);
  EXPECT_EQ(ui.calls_starting("error"), std::vector<std::string>{"error Cannot write file"});
  EXPECT_EQ(drawing_modified, 1);
  EXPECT_TRUE(fs::is_directory(dir / "taken.kav/inside"));
  EXPECT_EQ(names_in(dir.path()), std::vector<std::string>{"taken.kav"});  // no temporary file left
}

TEST_F(LoadSave, BackupHoldsMarkedElementsAndLeavesTheDrawingModified) {
  drawing_file = dir / "plan.kav";
  elem_new_line(1, 0, 0, 0, 0, 1, 1);
  elem_new_line(2, 0, 0, 0, 0, 2, 2);
  elem_list_tail->mark = 1;                            // selected while the timer fires
  elem_new_line(LAYER_TEMP_SYMBOL, 0, 0, 0, 0, 3, 3);  // a symbol being placed is no part of it
  elem_list_tail->mark = 1;
  drawing_modified = 1;
  EXPECT_EQ(kavfile_save_drawing(1), 1);
  EXPECT_TRUE(ui.calls.empty());
  EXPECT_EQ(drawing_modified, 1);
  EXPECT_EQ(drawing_file, dir / "plan.kav");
  EXPECT_FALSE(fs::exists(dir / "plan.kav"));
  drawing_reset();
  read_file_bytes(file_bytes(dir / "plan.kav.bak"));
  ASSERT_EQ(elem_count(), 2);
  EXPECT_EQ(elem_list_tail->layer, 2);

  drawing_file = dir / "gone/plan.kav";
  EXPECT_EQ(kavfile_save_drawing(1), 0);
  EXPECT_EQ(ui.calls_starting("error"), std::vector<std::string>{"error Cannot open Backup File"});
}

TEST_F(LoadSave, HandOffFileHoldsTheMarkedElementsOnly) {
  Point3 v[3] = {{0, 0, 0, 0}, {1, 0, 0, 0}, {0, 1, 0, 0}};
  const int32_t sizes[1] = {3};
  const int32_t idx[3] = {0, 1, 2};
  elem_new_mesh(0, 0, 0, 3, 1, sizes, v, idx, "A", 0);
  elem_list_tail->mark = 1;
  elem_new_line(0, 0, 0, 0, 0, 1, 1);
  elem_new_mesh(0, 0, 0, 3, 1, sizes, v, idx, "B", 0);
  elem_list_tail->mark = 1;
  // Someone else's link at the hand-off name is replaced, never written through.
  const std::string path = dir / "gl.kav";
  put_file(dir / "victim", {'v'});
  fs::create_symlink(dir / "victim", path);
  EXPECT_EQ(kavfile_write_marked(path.c_str()), 1);
  EXPECT_EQ(file_bytes(dir / "victim"), ByteVec{'v'});
  const ByteVec file = file_bytes(path);
  EXPECT_EQ(hex(file, 0, 12), "4B 41 56 57 00 00 00 04 00 00 01 2C");
  EXPECT_EQ(hex(file, 12, 4), "4F 42 4A 33");
  drawing_reset();
  read_file_bytes(file);
  ASSERT_EQ(elem_count(), 2);
  EXPECT_EQ(elem_as<MeshElem>(elem_list_tail)->material, "B");

  EXPECT_EQ(kavfile_write_marked((dir / "no/folder/gl.kav").c_str()), 0);
  EXPECT_EQ(ui.calls_starting("error"), std::vector<std::string>{"error Cannot open file"});
}

}  // namespace
