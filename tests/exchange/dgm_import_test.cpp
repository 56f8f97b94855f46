// Terrain grid import: the meshes of the grid fixtures, where the data ends,
// the grids that are refused, and the command's chooser, summary, element
// and undo step.

#include "exchange/dgm_import.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "export_fixture.h"
#include "model/files/fio_read.h"
#include "model/presets.h"
#include "model/undo.h"

namespace {

std::string fixture(const std::string& name) {
  return read_file(std::string(KAVRO_TEST_DATA_DIR) + "/" + name);
}

DgmGrid read_text(const std::string& text) {
  std::FILE* f = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
  if (!f) return {};
  DgmGrid g = dgm_read(f);
  std::fclose(f);
  return g;
}

// Twice the signed plan area of a triangle: negative when it runs
// clockwise seen from above.
double twice_area(const Point3& a, const Point3& b, const Point3& c) {
  return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

class DgmImport : public ExportTest {
 protected:
  void SetUp() override {
    ExportTest::SetUp();
    import_path = dir.path().string() + "/";
    import_file = "";
    cur_layer = 3;
    cur_pen = 2;
    cur_line_type = 1;
    material_preset.name = "Grass";
  }
  // Runs the command on a file holding text; returns what it printed.
  std::string import_text(const std::string& text) {
    dir.write("grid.xyz", text);
    ui.paths = {file("grid.xyz")};
    testing::internal::CaptureStdout();
    dgm_import();
    return testing::internal::GetCapturedStdout();
  }
  static MeshElem* only_mesh() {
    const std::vector<ElemHeader*> all = elements();
    if (all.size() != 1 || all[0]->kind != ELEM_MESH) return nullptr;
    return elem_as<MeshElem>(all[0]);
  }
};

// Every triangle joins grid neighbours: it covers half a cell, runs
// clockwise seen from above, and each cell is covered by two of them.
void expect_regular_surface(const MeshElem& m, int xnum, int ynum, double dx, double dy) {
  ASSERT_EQ(m.face_count(), 2 * (xnum - 1) * (ynum - 1));
  std::multiset<std::pair<long, long>> cells;
  for (int f = 0; f < m.face_count(); ++f) {
    ASSERT_EQ(m.face_sizes[f], 3);
    const Point3& a = m.vertices.at(m.indices.at(3 * f));
    const Point3& b = m.vertices.at(m.indices.at(3 * f + 1));
    const Point3& c = m.vertices.at(m.indices.at(3 * f + 2));
    EXPECT_NEAR(twice_area(a, b, c), -dx * dy, 1e-9) << "triangle " << f;
    const double x = std::min({a.x, b.x, c.x}), y = std::min({a.y, b.y, c.y});
    EXPECT_NEAR(std::max({a.x, b.x, c.x}) - x, dx, 1e-9) << "triangle " << f;
    EXPECT_NEAR(std::max({a.y, b.y, c.y}) - y, dy, 1e-9) << "triangle " << f;
    cells.insert({std::lround(x / dx), std::lround(y / dy)});
  }
  for (long i = 0; i < xnum - 1; ++i)
    for (long k = 0; k < ynum - 1; ++k) EXPECT_EQ(cells.count({i, k}), 2u) << i << " " << k;
}

TEST_F(DgmImport, GridFixturesBecomeRegularSurfaces) {
  const struct {
    const char* file;
    int num, xnum, ynum;
    double dx, dy;
    Point3 first, last;
    const char* summary;
  } cases[] = {
      {"terrain_3x3.xyz",
       9,
       3,
       3,
       10,
       10,
       {0, 0, 350, 0},
       {20, 20, 360, 0},
       "\nDGM import:\nnum:  9\nxnum: 3\nynum: 3\n"
       "divx: 1000.00000000 -> 1020.00000000\ndivy: 2000.00000000 -> 2020.00000000\n"
       "divz: 350.00000000 -> 360.00000000\ngrid: 10.00000000 -> 10.00000000\n"},
      {"terrain_4x3.xyz",
       12,
       4,
       3,
       5,
       4,
       {0, 0, 12.5, 0},
       {15, 8, 14.5, 0},
       "\nDGM import:\nnum:  12\nxnum: 4\nynum: 3\n"
       "divx: 500.00000000 -> 515.00000000\ndivy: 100.00000000 -> 108.00000000\n"
       "divz: 12.50000000 -> 14.50000000\ngrid: 5.00000000 -> 4.00000000\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    EXPECT_EQ(import_text(fixture(c.file)), c.summary);
    const MeshElem* m = only_mesh();
    ASSERT_TRUE(m);
    ASSERT_EQ(m->vertex_count(), c.num);
    EXPECT_EQ(m->vertices.front().x, c.first.x);
    EXPECT_EQ(m->vertices.front().y, c.first.y);
    EXPECT_EQ(m->vertices.front().z, c.first.z);
    EXPECT_EQ(m->vertices.back().x, c.last.x);
    EXPECT_EQ(m->vertices.back().y, c.last.y);
    EXPECT_EQ(m->vertices.back().z, c.last.z);
    expect_regular_surface(*m, c.xnum, c.ynum, c.dx, c.dy);
    EXPECT_EQ(m->layer, 3);
    EXPECT_EQ(m->pen, 2);
    EXPECT_EQ(m->line_type, 1);
    EXPECT_EQ(m->material.view(), "Grass");
    EXPECT_EQ(m->flag, 0);
    EXPECT_EQ(import_file.view(), file("grid.xyz"));
    // One undo step takes the whole grid back.
    undo_step_back();
    EXPECT_TRUE(elements().empty());
    undo_record(UNDO_CLEAR, 0);
    drawing_free();
  }
}

// The data ends at the end of the file, also without a last line end, or
// at the first line of 5 characters or fewer after the first line.
TEST_F(DgmImport, WhereTheDataEnds) {
  const std::string grid = fixture("terrain_3x3.xyz");
  const std::string no_end = grid.substr(0, grid.size() - 1);
  std::string crlf;
  for (char ch : grid) crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
  // The lines after the data's end that hold more than blanks are counted:
  // they are not read, and the import says so.
  const struct {
    const char* what;
    std::string text;
    int64_t end_line, unread;
  } cases[] = {
      {"no line end after the last point", no_end, 0, 0},
      {"CR LF line ends", crlf, 0, 0},
      {"an empty line", grid + "\n1030 2000 350\n1030 2010 350\n1030 2020 350\n", 10, 3},
      {"a line of 5 characters", grid + "1 2 3\n1030 2000 350\n1030 2010 350\n1030 2020 350\n", 10, 3},
      {"a line of blanks", grid + "        \t \n1030 2000 350\n1030 2010 350\n1030 2020 350\n", 10, 3},
      {"empty lines and blanks at the end", grid + "\n\n  \t\n\r\n", 10, 0},
      {"CR LF lines after an empty one", crlf + "\r\n1030 2000 350\r\n\r\nend\r\n", 10, 2},
      {"a line longer than a line buffer", grid + "\n" + std::string(600, '7') + "\n", 10, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const DgmGrid g = read_text(c.text);
    EXPECT_EQ(g.error, DgmError::NONE);
    EXPECT_EQ(g.points.size(), 9u);
    EXPECT_EQ(g.xnum, 3);
    EXPECT_EQ(g.ynum, 3);
    EXPECT_EQ(g.points.back().z, 360);
    EXPECT_EQ(g.end_line, c.end_line);
    EXPECT_EQ(g.unread_lines, c.unread);
  }
  // The import makes the grid and tells of the lines it did not read.
  import_text(grid + "\n1030 2000 350\n1030 2010 350\n");
  EXPECT_NE(only_mesh(), nullptr);
  EXPECT_EQ(ui.calls_starting("message"),
            std::vector<std::string>{
                "message Message: Terrain grid: the data ends at line 10; 2 lines after it were not read."});
  ui.calls.clear();
  import_text(grid + "\n");
  EXPECT_TRUE(ui.calls_starting("message").empty());
}

TEST_F(DgmImport, MalformedGridsAreRefusedWithAMessage) {
  const std::string grid = fixture("terrain_3x3.xyz");
  std::string y_major;  // the same points, row by row of y
  for (int k = 0; k < 3; ++k)
    for (int i = 0; i < 3; ++i)
      y_major += std::to_string(1000 + 10 * i) + " " + std::to_string(2000 + 10 * k) + " 350\n";
  const struct {
    const char* what;
    std::string text;
    const char* error;
    bool summary;
  } cases[] = {
      {"a word", "0 0 1.5\n0 1 2.5\nhello world\n", "Terrain grid: line 3 does not hold three numbers.",
       false},
      {"no height", "0 0 1\n0 10.5\n", "Terrain grid: line 2 does not hold three numbers.", false},
      {"commas", "0,0,1\n0,1,1\n1,0,1\n1,1,1\n", "Terrain grid: line 1 does not hold three numbers.", false},
      {"not a number", "0 0 1\n0 1 nan\n1 0 1\n1 1 1\n", "Terrain grid: line 2 does not hold three numbers.",
       false},
      {"an empty first line", "\n0 0 1\n0 1 1\n", "Terrain grid: line 1 does not hold three numbers.", false},
      {"a line longer than a line can be", grid + "1030 2000 " + std::string(300, '1') + "\n",
       "Terrain grid: line 10 does not hold three numbers.", false},
      {"an empty file", "", "Terrain grid: at least two x values with two points each are needed.", true},
      {"one x value", "5 0 1.0\n5 1 1.0\n5 2 1.0\n",
       "Terrain grid: at least two x values with two points each are needed.", true},
      {"ordered by y", y_major, "Terrain grid: at least two x values with two points each are needed.", true},
      {"a short last column", grid.substr(0, grid.rfind("1020 2020")),
       "Terrain grid: the points do not form a regular grid ordered by x.", true},
      {"x going back", "0 0 1.0\n0 1 1.0\n1 0 1.0\n1 1 1.0\n0 0 1.0\n0 1 1.0\n",
       "Terrain grid: the points do not form a regular grid ordered by x.", true},
      // Coordinates whose differences or squares would not stay finite.
      {"x at both ends of the numbers", "-1e308 0 1\n-1e308 1 1\n1e308 0 1\n1e308 1 1\n",
       "Terrain grid: line 1 holds a coordinate beyond what a drawing can hold.", false},
      {"a height far out", "0 0 1.0\n0 1 1.0\n1 0 1e200\n1 1 1.0\n",
       "Terrain grid: line 3 holds a coordinate beyond what a drawing can hold.", false},
      {"y far out", "0 0 1.0\n0 -1e101 1\n",
       "Terrain grid: line 2 holds a coordinate beyond what a drawing can hold.", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ui.calls.clear();
    const std::string printed = import_text(c.text);
    EXPECT_EQ(ui.calls_starting("error"), std::vector<std::string>{std::string("error ") + c.error});
    EXPECT_EQ(printed.find("DGM import:") != std::string::npos, c.summary) << printed;
    EXPECT_TRUE(elements().empty());
    EXPECT_EQ(undo_used, 0);
  }
  // Read by y, the first x value has a single point: the reading stops at
  // the second.
  EXPECT_EQ(read_text(y_major).points.size(), 1u);
}

// A faulty grid is refused at the line that shows the fault: the lines after
// it, here as many again as a large file would have, are not read.
TEST_F(DgmImport, FaultsAreRefusedWhereTheyShow) {
  std::string tail;
  for (int i = 0; i < 1000; ++i) tail += "9 " + std::to_string(i) + " 1.0\n";
  std::string one_x;  // one x value, as long as the limit allows
  for (int i = 0; i < 6; ++i) one_x += "5 " + std::to_string(i) + " 1.0\n";
  const struct {
    const char* what;
    std::string head;  // the lines up to the one that shows the fault
    int64_t limit;
    DgmError error;
    const char* message;
  } cases[] = {
      {"x going back", "0 0 1.0\n0 1 1.0\n1 0 1.0\n1 1 1.0\n0 0 1.0\n", 0, DgmError::IRREGULAR,
       "Terrain grid: the points do not form a regular grid ordered by x."},
      {"a short x value in the middle", "0 0 1.0\n0 1 1.0\n0 2 1.0\n1 0 1.0\n1 1 1.0\n2 0 1.0\n", 0,
       DgmError::IRREGULAR, "Terrain grid: the points do not form a regular grid ordered by x."},
      {"a long second x value", "0 0 1.0\n0 1 1.0\n1 0 1.0\n1 1 1.0\n1 2 1.0\n", 0, DgmError::IRREGULAR,
       "Terrain grid: the points do not form a regular grid ordered by x."},
      {"a first x value of one point", "0 0 1.0\n1 0 1.0\n", 0, DgmError::TOO_SMALL,
       "Terrain grid: at least two x values with two points each are needed."},
      {"one x value past half the limit", one_x, 10, DgmError::TOO_MANY,
       "Terrain grid: too many points; at most 10 fit into memory."},
      {"more points than the limit", "0 0 1.0\n0 1 1.0\n1 0 1.0\n1 1 1.0\n2 0 1.0\n", 4, DgmError::TOO_MANY,
       "Terrain grid: too many points; at most 4 fit into memory."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string text = c.head + tail;
    std::FILE* f = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    ASSERT_TRUE(f);
    int lines = 0;
    const DgmGrid g = dgm_read(
        f,
        [&lines] {
          ++lines;
          return true;
        },
        c.limit);
    std::fclose(f);
    EXPECT_EQ(g.error, c.error);
    EXPECT_EQ(lines, std::count(c.head.begin(), c.head.end(), '\n'));
    EXPECT_EQ(dgm_error_message(g), c.message);
  }
}

TEST_F(DgmImport, ChooserAndFile) {
  ui.paths = {};
  dgm_import();
  EXPECT_EQ(ui.calls_starting("choose").size(), 1u);
  EXPECT_EQ(ui.calls_starting("choose Import DGM...").size(), 1u);
  EXPECT_TRUE(ui.calls_starting("error").empty());

  dir.make_folder("folder.xyz");
  ui.paths = {file("missing.xyz"), file("folder.xyz")};
  dgm_import();
  dgm_import();
  EXPECT_EQ(ui.calls_starting("error"),
            (std::vector<std::string>{"error Cannot open file\nThe file does not exist.",
                                      "error Cannot open file\nThis is a folder, not a file."}));
  EXPECT_TRUE(elements().empty());
  EXPECT_EQ(import_file.view(), "");
}

// A large file shows the progress window while it is read, also when it is
// refused in the end.
TEST_F(DgmImport, LargeFileShowsProgress) {
  std::string text;
  for (int i = 0; text.size() < FIO_PROGRESS_FROM; ++i) text += "0 " + std::to_string(i) + " 1.0\n";
  import_text(text);
  EXPECT_EQ(
      ui.calls_starting("error"),
      std::vector<std::string>{"error Terrain grid: at least two x values with two points each are needed."});
  const std::vector<std::string> shown = ui.calls_starting("progress");
  ASSERT_GE(shown.size(), 3u);
  EXPECT_EQ(shown.front(), "progress_open_cancel Import DGM...");
  EXPECT_EQ(shown.back(), "progress_close");
  EXPECT_TRUE(elements().empty());
}

}  // namespace
