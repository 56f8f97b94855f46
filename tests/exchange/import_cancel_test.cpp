// Cancel in the progress window of every import that reads a large file
// piece by piece: the reading stops, and the drawing, its undo steps, its
// modified flag and the user's folders stay as they were, without an error
// box.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "building/gts_tools.h"
#include "display/font.h"
#include "exchange/dgm_import.h"
#include "exchange/m3ds.h"
#include "export_fixture.h"
#include "model/files/fio_read.h"
#include "model/files/kavfile.h"
#include "model/files/symbol_file.h"
#include "model/undo.h"

namespace {

namespace fs = std::filesystem;

// Files of at least this size open the progress window.
constexpr std::uintmax_t LARGE = std::uintmax_t{9} << 20;
static_assert(LARGE > FIO_PROGRESS_FROM);

std::string le16(unsigned v) { return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)}; }
std::string le32(uint32_t v) { return le16(v & 0xFFFF) + le16(v >> 16); }
std::string chunk_3ds(unsigned id, const std::string& content) {
  return le16(id) + le32(static_cast<uint32_t>(6 + content.size())) + content;
}

class ImportCancel : public ExportTest {
 protected:
  void SetUp() override {
    ExportTest::SetUp();
    base_dir = dir.path().string();
    dialog_path = dir.path().string();
    import_path = dir.path().string() + "/";
    import_file = "";
    tmp_dir = (dir / "tmp").string() + "/";
    dir.make_folder("tmp");
  }

  // A file of size bytes that begins with head; the rest reads as zeros.
  void sparse(const std::string& name, const std::string& head, std::uintmax_t size) const {
    dir.write(name, head);
    fs::resize_file(dir / name, size);
  }

  // A 3DS file of one triangle mesh and a key-frame block that makes it large.
  void large_3ds(const std::string& name) const {
    std::string points = le16(3);
    const float corners[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    for (float c : corners) points += std::string(reinterpret_cast<const char*>(&c), 4);
    const std::string faces = le16(1) + le16(0) + le16(1) + le16(2) + le16(0);
    const std::string mesh =
        chunk_3ds(0x4000, std::string("X", 2) +
                              chunk_3ds(0x4100, chunk_3ds(0x4110, points) + chunk_3ds(0x4120, faces)));
    dir.write(name, chunk_3ds(0x4D4D, chunk_3ds(0x3D3D, mesh) + chunk_3ds(0xB000, std::string(LARGE, '\0'))));
  }

  // A GTS block of many points whose edges and triangle come after the
  // zeros: Cancel comes long before them.
  void large_gts(const std::string& name) const {
    std::string text = "400000 3 1 GtsSurface GtsFace GtsEdge GtsVertex\n";
    for (int i = 0; i < 20000; ++i) text += std::to_string(i) + " 0.5 0.25\n";
    sparse(name, text, LARGE);
  }

  // A terrain grid of 100 rows of 100 points, then zeros.
  void large_grid(const std::string& name) const {
    std::string text;
    for (int x = 0; x < 100; ++x)
      for (int y = 0; y < 100; ++y) text += std::to_string(x) + " " + std::to_string(y) + " 1.5\n";
    sparse(name, text, LARGE);
  }

  // A symbol of lines, large enough for the window.
  void large_symbol(const std::string& name) {
    elem_new_line(0, 1, 0, 0, 0, 1, 0);
    elem_list_tail->mark = 1;
    const fs::path small = dir / "small.sym";
    ASSERT_EQ(symbol_write_marked(small.string(), 0, 0, 0), 1);
    elem_free_all();
    std::ifstream in(small, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    const std::size_t line = bytes.rfind("LINE");
    ASSERT_NE(line, std::string::npos);
    std::string large = bytes;
    while (large.size() < LARGE) large += bytes.substr(line);
    dir.write(name, large);
  }
};

// Each reader is cancelled after a few updates of its window; the symbol
// reader has put elements into the drawing by then, which must go again.
TEST_F(ImportCancel, StopsTheReadingAndLeavesEverythingAsItWas) {
  const struct Case {
    const char* name;
    std::function<void(const std::string&)> make;
    std::function<void()> run;
    const char* title;
    int cancel_after;
  } cases[] = {
      {"model.3ds", [this](const std::string& n) { large_3ds(n); }, m3ds_import, "Import 3DS...", 2},
      {"font.ttf", [this](const std::string& n) { sparse(n, std::string("\0\1\0\0", 4), LARGE); },
       cmd_p_file_import_truetype, "Import TTF Font file", 2},
      {"mesh.gts", [this](const std::string& n) { large_gts(n); }, cmd_p_file_import_gts, "Import GTS...", 2},
      {"grid.xyz", [this](const std::string& n) { large_grid(n); }, dgm_import, "Import DGM...", 1},
      {"lines.sym", [this](const std::string& n) { large_symbol(n); },
       [this] { EXPECT_EQ(symbol_read_file(file("lines.sym")), 0); }, "Load Symbol...", 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.make(c.name);
    elem_new_line(0, 1, 0, 5, 5, 6, 6);
    undo_record(UNDO_CREATED, 1);
    drawing_modified = 0;
    const std::vector<ElemHeader*> before = elements();
    const uint8_t steps = undo_used;
    ui.calls.clear();
    ui.cancel_after_updates = c.cancel_after;
    ui.paths = {file(c.name)};

    testing::internal::CaptureStdout();
    c.run();
    testing::internal::GetCapturedStdout();

    EXPECT_EQ(elements(), before);
    EXPECT_EQ(undo_used, steps);
    EXPECT_EQ(drawing_modified, 0);
    EXPECT_EQ(loaded_count, 0);
    EXPECT_TRUE(ui.calls_starting("error").empty());
    const std::vector<std::string> shown = ui.calls_starting("progress");
    ASSERT_GE(shown.size(), 2u);
    EXPECT_EQ(shown.front(), std::string("progress_open_cancel ") + c.title);
    EXPECT_EQ(shown.back(), "progress_close");
    // Stopped at the press, not at the end of the file.
    EXPECT_EQ(static_cast<int>(shown.size()), 2 + c.cancel_after);
    // Nothing was copied into the user's folders.
    EXPECT_FALSE(fs::exists(dir / "ttf") && !fs::is_empty(dir / "ttf"));
    EXPECT_FALSE(fs::exists(dir / "mat") && !fs::is_empty(dir / "mat"));
    undo_record(UNDO_CLEAR, 0);
    drawing_free();
  }
}

// A 3DS file is read, then its meshes are read and then appended and drawn:
// Cancel is answered in each phase, and what a later phase had appended
// goes again.
TEST_F(ImportCancel, LaterPhasesOf3dsImportStopToo) {
  // 20 meshes of 60000 faces, the first with a material of its name.
  std::string objects;
  for (int m = 0; m < 20; ++m) {
    std::string points = le16(3);
    const float corners[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    for (float c : corners) points += std::string(reinterpret_cast<const char*>(&c), 4);
    std::string faces = le16(60000);
    for (int k = 0; k < 60000; ++k) faces += le16(0) + le16(1) + le16(2) + le16(0);
    objects += chunk_3ds(0x4000, "M" + std::to_string(m) + std::string(1, '\0') +
                                     chunk_3ds(0x4100, chunk_3ds(0x4110, points) + chunk_3ds(0x4120, faces)));
  }
  const std::string material = chunk_3ds(
      0xAFFF, chunk_3ds(0xA000, std::string("M0", 3)) + chunk_3ds(0xA020, chunk_3ds(0x0011, "abc")));
  dir.write("many.3ds", chunk_3ds(0x4D4D, chunk_3ds(0x3D3D, material + objects)));
  ASSERT_GT(fs::file_size(dir / "many.3ds"), LARGE);

  const auto run = [this](int cancel_after) {
    ui.calls.clear();
    ui.cancel_after_updates = cancel_after;
    ui.paths = {file("many.3ds")};
    testing::internal::CaptureStdout();
    m3ds_import();
    testing::internal::GetCapturedStdout();
  };
  const auto updates = [this] { return static_cast<int>(ui.calls_starting("progress ").size()); };
  // Uncancelled: the window stays open after the bytes are read (one update
  // a piece) and while the objects are drawn, and is looked at meanwhile.
  run(-1);
  ASSERT_EQ(elements().size(), 20u);
  const int pieces =
      static_cast<int>((fs::file_size(dir / "many.3ds") + FIO_READ_PIECE - 1) / FIO_READ_PIECE);
  EXPECT_GT(updates(), pieces + 2);
  int drawn_at = -1;  // the updates shown before the first object was drawn
  int seen = 0;
  for (const std::string& c : ui.calls) {
    if (c.rfind("progress ", 0) == 0) ++seen;
    if (c.rfind("draw_last_element", 0) == 0 && drawn_at < 0) drawn_at = seen;
  }
  ASSERT_GT(drawn_at, pieces);
  EXPECT_GT(updates(), drawn_at + 2);
  EXPECT_EQ(ui.calls.back(), "progress_close");
  undo_step_back();
  undo_record(UNDO_CLEAR, 0);
  drawing_free();
  fs::remove_all(dir / "mat");

  // Cancel once every byte was read, and once objects were drawn.
  for (const int after : {pieces + 1, drawn_at + 1}) {
    SCOPED_TRACE(after);
    elem_new_line(0, 1, 0, 5, 5, 6, 6);
    undo_record(UNDO_CREATED, 1);
    drawing_modified = 0;
    const std::vector<ElemHeader*> before = elements();
    run(after);
    EXPECT_EQ(updates(), after);  // stopped at the press
    EXPECT_EQ(elements(), before);
    EXPECT_EQ(undo_used, 1);
    EXPECT_EQ(drawing_modified, 0);
    EXPECT_TRUE(ui.calls_starting("error").empty());
    EXPECT_EQ(ui.calls.back(), "progress_close");
    EXPECT_FALSE(fs::exists(dir / "mat") && !fs::is_empty(dir / "mat"));
    undo_record(UNDO_CLEAR, 0);
    drawing_free();
  }
}

}  // namespace
