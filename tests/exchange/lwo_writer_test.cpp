// LightWave object export: the chunks, sizes and numbers of the file, what
// an independent reader makes of it, the 16-bit vertex limit, and every way
// out of the command leaving no marks and no temporary meshes behind.

#include "exchange/lwo_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>
#include <filesystem>
#include <limits>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "../display/input_fixture.h"
#include "exchange/material_table.h"
#include "export_fixture.h"
#include "model/consts.h"
#include "support/wall_fixture.h"

namespace {

namespace fs = std::filesystem;

// Lines: r g b transparency 1 reflection highlight refraction metallic
// ambience texture image repeat sizes offsets special path.
constexpr const char* GLAS = "0.5\n0.6\n0.7\n0.8\n1.000000\n0.2\n0.3\n0\n0\n0.1\n0\n\n0\n1\n1\n0\n0\n0\n\n";

MeshElem* add_mesh(const char* material, std::vector<Point3> vertices,
                   const std::vector<std::vector<int32_t>>& faces) {
  std::vector<int32_t> sizes, indices;
  for (const auto& f : faces) {
    sizes.push_back(static_cast<int32_t>(f.size()));
    indices.insert(indices.end(), f.begin(), f.end());
  }
  elem_new_mesh(0, 1, 0, static_cast<int>(vertices.size()), static_cast<int>(sizes.size()), sizes.data(),
                vertices.data(), indices.data(), material, 0);
  return elem_as<MeshElem>(elem_list_tail);
}

// A box of 8 vertices and 6 quads from (x, y, z) with sides 1, 2 and 3.
MeshElem* add_box(const char* material, double x = 0, double y = 0, double z = 0) {
  std::vector<Point3> v;
  for (int k = 0; k < 8; ++k) v.push_back({x + (k & 1), y + 2.0 * ((k >> 1) & 1), z + 3.0 * (k >> 2), 0});
  return add_mesh(material, v,
                  {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}});
}

// Reads the big-endian items of a file in order.
struct Reader {
  std::string bytes;
  std::size_t at = 0;
  bool left(std::size_t n) const { return at + n <= bytes.size(); }
  std::string tag() {
    if (!left(4)) return "";
    at += 4;
    return bytes.substr(at - 4, 4);
  }
  uint32_t u32() {
    uint32_t v = 0;
    for (int i = 0; i < 4 && left(1); ++i) v = v << 8 | static_cast<uint8_t>(bytes[at++]);
    return v;
  }
  uint16_t u16() {
    uint16_t v = 0;
    for (int i = 0; i < 2 && left(1); ++i)
      v = static_cast<uint16_t>(v << 8 | static_cast<uint8_t>(bytes[at++]));
    return v;
  }
  float f32() {
    const uint32_t u = u32();
    float f;
    std::memcpy(&f, &u, 4);
    return f;
  }
  std::string raw(std::size_t n) {
    if (!left(n)) n = bytes.size() - at;
    at += n;
    return bytes.substr(at - n, n);
  }
};

// The file's outline: "FORM <size> LWOB", then "<tag> <size>" per chunk.
std::string outline(const std::string& bytes) {
  Reader r{bytes};
  std::string s = r.tag();
  s += " " + std::to_string(r.u32());
  s += " " + r.tag();
  while (r.left(8)) {
    const std::string tag = r.tag();
    const uint32_t size = r.u32();
    s += " " + tag + " " + std::to_string(size);
    r.raw(size);
  }
  return s;
}

// The body of the first chunk with this tag.
std::string chunk(const std::string& bytes, const std::string& tag) {
  Reader r{bytes};
  r.raw(12);
  while (r.left(8)) {
    const std::string t = r.tag();
    const std::string body = r.raw(r.u32());
    if (t == tag) return body;
  }
  return "";
}

std::vector<float> points(const std::string& bytes) {
  Reader r{chunk(bytes, "PNTS")};
  std::vector<float> v;
  while (r.left(4)) v.push_back(r.f32());
  return v;
}

// The polygons as "n: i i i / s" lines.
std::vector<std::string> polygons(const std::string& bytes) {
  Reader r{chunk(bytes, "POLS")};
  std::vector<std::string> out;
  while (r.left(2)) {
    const int n = r.u16();
    std::string s = std::to_string(n) + ":";
    for (int k = 0; k < n; ++k) s += " " + std::to_string(r.u16());
    s += " / " + std::to_string(r.u16());
    out.push_back(s);
  }
  return out;
}

class LwoExport : public InputTest {
 protected:
  void SetUp() override {
    InputTest::SetUp();
    snap_on = 0;
    dialog_path = dir.path().string();
    base_dir = dir.path().string();
    export_path = dir.path().string() + "/";
    export_file = "";
    dir.write("mat/Glas", GLAS);
  }

  // The command with the scope "All objects", the reference point clicked
  // at (x, y) and confirmed, the file out.lwo and then these answers to the
  // material questions.
  void export_all(double x, double y, std::deque<int> material_answers = {}) {
    ui.answers = {1};
    ui.answers.insert(ui.answers.end(), material_answers.begin(), material_answers.end());
    ui.paths = {out()};
    script.click_world(1, x, y).click_world(1, x, y);
    lwo_export();
    EXPECT_EQ(script.remaining(), 0u);
  }
  std::string out() const { return (dir / "out.lwo").string(); }
  std::string written() const { return read_file(out()); }

  static bool nothing_marked() {
    for (ElemHeader* e : elements())
      if (e->mark) return false;
    return true;
  }
  static int temporary_elements() {
    int n = 0;
    for (ElemHeader* e : elements()) n += e->layer == LAYER_TEMP_3D;
    return n;
  }

  TempFolder dir;
};

TEST_F(LwoExport, CubeOfGlasHasTheChunkSizesOfTheFormat) {
  add_box("Glas");
  redraw();
  export_all(-5, -5);
  const std::string file = written();
  EXPECT_EQ(file.size(), 258u);
  EXPECT_EQ(outline(file), "FORM 250 LWOB PNTS 96 SRFS 6 POLS 72 SURF 40");
  EXPECT_EQ(chunk(file, "SRFS"), std::string("Glas\0\0", 6));
  // Colour, transparency and highlight times 255, cut toward zero: 0.7 is
  // 178.5, 0.3 is 76.5.
  EXPECT_EQ(chunk(file, "SURF"), std::string("Glas\0\0"
                                             "COLR\0\x04\x7f\x99\xb2\0"
                                             "TRAN\0\x02\0\xcc"
                                             "SPEC\0\x02\0\x4c"
                                             "DIFF\0\x02\0\xff",
                                             40));
  EXPECT_EQ(polygons(file).front(), "4: 0 2 3 1 / 1");
  EXPECT_EQ(polygons(file).size(), 6u);
  EXPECT_EQ(export_file.view(), out());
  EXPECT_TRUE(nothing_marked());
  EXPECT_EQ(temporary_elements(), 0);
  expect_clean_surface();
}

TEST_F(LwoExport, CoordinatesAreRelativeToTheReferencePointWithHeightSecond) {
  add_mesh("Glas", {{12, 13, 1, 0}, {14, 13, 1, 0}, {12, 15, 7, 0}}, {{0, 1, 2}});
  export_all(1, 1);
  const std::vector<float> expected = {11, 1, 12, 13, 1, 12, 11, 7, 14};
  EXPECT_EQ(points(written()), expected);
  EXPECT_EQ(polygons(written()), std::vector<std::string>{"3: 0 1 2 / 1"});
}

// Vertex numbers count on across objects; a face finds its surface by the
// material name, while the file names surfaces by identifiers.
TEST_F(LwoExport, LaterObjectsNumberTheirVerticesAfterTheEarlierOnes) {
  add_box("Glas");
  add_mesh("Red brick", {{0, 0, 0, 0}, {1, 0, 0, 0}, {1, 1, 0, 0}, {0, 1, 0, 0}}, {{0, 1, 2, 3}});
  add_mesh("Glas", {{0, 0, 0, 0}, {1, 0, 0, 0}, {1, 1, 0, 0}}, {{2, 1, 0}});
  export_all(-5, -5, {1});  // "Red brick" has no preset: the default grey
  const std::string file = written();
  EXPECT_EQ(outline(file), "FORM 418 LWOB PNTS 180 SRFS 16 POLS 94 SURF 40 SURF 44");
  EXPECT_EQ(chunk(file, "SRFS"), std::string("Glas\0\0Red_brick\0", 16));
  const std::vector<std::string> p = polygons(file);
  ASSERT_EQ(p.size(), 8u);
  EXPECT_EQ(p[5], "4: 1 3 7 5 / 1");
  EXPECT_EQ(p[6], "4: 8 9 10 11 / 2");
  EXPECT_EQ(p[7], "3: 14 13 12 / 1");
  Reader surf{file.substr(file.rfind("SURF"))};
  surf.raw(8 + 10 + 6);
  EXPECT_EQ(surf.raw(4), std::string("\xbf\xbf\xbf\0", 4));  // 0.75 grey
}

TEST_F(LwoExport, SixteenBitVertexNumbersLimitTheExport) {
  const struct {
    int vertices;
    bool written;
  } cases[] = {{65536, true}, {65537, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.vertices);
    dir.write("out.lwo", "old");
    ui.calls.clear();
    std::vector<Point3> v(static_cast<std::size_t>(c.vertices));
    for (int k = 0; k < c.vertices; ++k) v[static_cast<std::size_t>(k)] = {k * 0.001, 0, 0, 0};
    add_mesh("Glas", v, {{0, 1, c.vertices - 1}});
    export_all(-5, -5);
    const std::string file = written();
    if (c.written) {
      EXPECT_EQ(chunk(file, "PNTS").size(), 12u * 65536);
      EXPECT_EQ(polygons(file), std::vector<std::string>{"3: 0 1 65535 / 1"});
      EXPECT_TRUE(ui.calls_starting("error").empty());
    } else {
      EXPECT_EQ(file, "old");
      EXPECT_EQ(
          ui.calls_starting("error"),
          std::vector<std::string>{"error A LightWave object holds at most 65536 points; these are 65537."});
    }
    EXPECT_TRUE(nothing_marked());
    undo_record(UNDO_CLEAR, 0);
    drawing_free();
  }
}

// A cube and a wall: wherever the command ends, nothing stays marked (a
// mark keeps an element out of the next save), the wall's temporary mesh is
// gone and a file the user had stays as it was.
// The file's points are single precision floats: one that is no number or
// lies beyond the largest float (3.4e38) from the reference point would be
// written as NaN or infinity. The export says why and the file of the name
// stays as it was.
TEST_F(LwoExport, PointsNoFloatHoldsWriteNothing) {
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  const struct {
    double x;
    bool written;
  } cases[] = {{nan, false}, {-inf, false}, {1e39, false}, {-1e308, false}, {3.4e38, true}, {1e30, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.x);
    drawing_free();
    drawing_init();
    ui.calls.clear();
    MeshElem* m = add_box("Glas");
    m->vertices[7].z = c.x;
    dir.write("out.lwo", "old");
    export_all(0, 0);
    EXPECT_TRUE(nothing_marked());
    if (c.written) {
      EXPECT_TRUE(ui.calls_starting("error").empty());
      EXPECT_EQ(points(written()).at(3 * 7 + 1), static_cast<float>(c.x));
    } else {
      EXPECT_EQ(written(), "old");
      EXPECT_EQ(
          ui.calls_starting("error"),
          std::vector<std::string>{"error The drawing has coordinates or sizes that LightWave files cannot "
                                   "hold.\nNothing was written."});
    }
  }
  int files = 0;
  for ([[maybe_unused]] const auto& f : fs::directory_iterator(dir.path())) ++files;
  EXPECT_EQ(files, 2) << "out.lwo and the material folder, no temporary file";
}

TEST_F(LwoExport, EveryWayOutClearsTheMarks) {
  const struct {
    const char* what;
    std::deque<int> answers;
    int clicks;
    std::vector<std::string> paths;
    const char* error;
  } cases[] = {
      {"scope cancelled", {4}, 0, {}, nullptr},
      {"point cancelled", {1}, -1, {}, nullptr},
      {"chooser cancelled", {1}, 2, {}, nullptr},
      {"material cancelled", {1, 2}, 2, {"out.lwo"}, nullptr},
      {"folder missing", {1, 1}, 2, {"none/out.lwo"}, "error Cannot open file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    pending_command = "nop";
    add_box("Glas");
    new_axis_wall();
    dir.write("out.lwo", "old");
    ui.calls.clear();
    ui.answers = c.answers;
    ui.paths.clear();
    for (const std::string& p : c.paths) ui.paths.push_back((dir / p).string());
    if (c.clicks < 0) script.key("p_nop");
    for (int k = 0; k < c.clicks; ++k) script.click_world(1, -5, -5);
    lwo_export();
    EXPECT_EQ(script.remaining(), 0u);
    EXPECT_EQ(written(), "old");
    EXPECT_EQ(ui.calls_starting("error"),
              c.error ? std::vector<std::string>{c.error} : std::vector<std::string>{});
    EXPECT_TRUE(nothing_marked());
    EXPECT_EQ(temporary_elements(), 0);
    EXPECT_EQ(elements().size(), 2u);
    undo_record(UNDO_CLEAR, 0);
    drawing_free();
  }
}

TEST_F(LwoExport, MarkedWallsGoAsMeshes) {
  add_box("Glas");
  new_axis_wall();
  export_all(-5, -5, {1});
  const std::string file = written();
  EXPECT_GT(chunk(file, "PNTS").size(), 96u);
  EXPECT_EQ(chunk(file, "SRFS"), std::string("Glas\0\0brick\0", 12));
  // The wall's faces come after the cube's, number the wall's vertices
  // from 8 on and use the wall's surface.
  const std::size_t vertices = chunk(file, "PNTS").size() / 12;
  Reader r{chunk(file, "POLS")};
  int faces = 0;
  std::size_t lowest = vertices, highest = 0;
  while (r.left(2)) {
    const int n = r.u16();
    for (int k = 0; k < n; ++k) {
      const std::size_t i = r.u16();
      if (faces >= 6) {
        lowest = std::min(lowest, i);
        highest = std::max(highest, i);
      }
    }
    EXPECT_EQ(r.u16(), faces < 6 ? 1 : 2);
    ++faces;
  }
  EXPECT_GT(faces, 6);
  EXPECT_EQ(lowest, 8u);
  EXPECT_EQ(highest, vertices - 1);
  EXPECT_EQ(temporary_elements(), 0);
  EXPECT_EQ(elements().size(), 2u);
}

// What independent readers make of the file: OpenSceneGraph's converter
// reads LWOB objects whole; assimp 5.2 parses them but then fails to build
// its node graph for every file without layers (LWOB has none), so of it
// only its log is read.
class LwoFile : public ExportTest {
 protected:
  void SetUp() override {
    ExportTest::SetUp();
    dialog_path = dir.path().string();
    dir.write("mat/Glas", GLAS);
    mat_table_init();
  }
  void TearDown() override {
    mat_table_free();
    ExportTest::TearDown();
  }
  // The marked meshes written relative to ref into name.
  std::string write(const std::string& name, const Point3& ref) {
    ElemHeader* e;
    for (elem_first(&e); e; elem_next(&e)) {
      if (e->mark && e->kind == ELEM_MESH) {
        EXPECT_EQ(mat_register(elem_as<MeshElem>(e)->material.view()), 1);
      }
    }
    const std::string path = file(name);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    EXPECT_TRUE(f);
    if (!f) return path;
    EXPECT_TRUE(lwo_write(f, ref));
    std::fclose(f);
    return path;
  }
};

// One drawable of the converted scene: its primitive mode, its vertices
// ("x y z" as written) and its overall colour.
struct OsgGeometry {
  std::string mode;
  std::vector<std::string> vertices;
  std::string colour;
};

// The "vector N { ... }" list that follows the first occurrence of key at
// or after from.
std::vector<std::string> osg_vector(const std::string& text, const std::string& key, std::size_t from) {
  std::vector<std::string> out;
  std::size_t at = text.find(key, from);
  if (at == std::string::npos) return out;
  at = text.find("vector ", at);
  const std::size_t open = text.find('{', at), close = text.find('}', at);
  if (open == std::string::npos || close == std::string::npos) return out;
  std::istringstream lines(text.substr(open + 1, close - open - 1));
  for (std::string line; std::getline(lines, line);) {
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.pop_back();
    const std::size_t first = line.find_first_not_of(' ');
    if (first != std::string::npos) out.push_back(line.substr(first));
  }
  return out;
}

std::vector<OsgGeometry> osg_geometries(const std::string& text) {
  std::vector<OsgGeometry> out;
  for (std::size_t at = text.find("osg::Geometry {"); at != std::string::npos;
       at = text.find("osg::Geometry {", at + 1)) {
    OsgGeometry g;
    const std::size_t mode = text.find("Mode ", at);
    if (mode != std::string::npos) g.mode = text.substr(mode + 5, text.find(' ', mode + 5) - mode - 5);
    g.vertices = osg_vector(text, "VertexArray", at);
    const std::vector<std::string> colour = osg_vector(text, "ColorArray", at);
    if (!colour.empty()) g.colour = colour.front();
    out.push_back(g);
  }
  return out;
}

TEST_F(LwoFile, OpenSceneGraphReadsTheFacesWithTheirSurfaces) {
  add_box("Glas", 4, 5, 6)->mark = 1;
  add_mesh("Red brick", {{4, 5, 6, 0}, {5, 5, 6, 0}, {5, 5, 8, 0}, {4, 5, 8, 0}}, {{0, 1, 2, 3}})->mark = 1;
  ui.answers = {1};  // "Red brick" has no preset: the default grey
  const std::string path = write("two.lwo", Point3{4, 5, 6, 0});
  const std::string scene = file("two.osgt");
  const ToolRun run = tool({"osgconv", path, scene});
  ASSERT_EQ(run.status, 0) << run.out;
  const std::vector<OsgGeometry> g = osg_geometries(read_file(scene));
  ASSERT_EQ(g.size(), 2u) << read_file(scene);
  // The reader turns the file's height axis back into z. The box's six
  // quads have the surface of Glas, colour bytes 127, 153, 178.
  EXPECT_EQ(g[0].mode, "QUADS");
  EXPECT_EQ(g[0].vertices.size(), 24u);
  EXPECT_EQ(std::set<std::string>(g[0].vertices.begin(), g[0].vertices.end()),
            (std::set<std::string>{"0 0 0", "1 0 0", "0 2 0", "1 2 0", "0 0 3", "1 0 3", "0 2 3", "1 2 3"}));
  EXPECT_EQ(g[0].colour, "0.498039 0.6 0.698039 1");
  // The second object's quad, numbered after the box's vertices, has the
  // second surface.
  EXPECT_EQ(g[1].mode, "QUADS");
  EXPECT_EQ(std::set<std::string>(g[1].vertices.begin(), g[1].vertices.end()),
            (std::set<std::string>{"0 0 0", "1 0 0", "1 0 2", "0 0 2"}));
  EXPECT_EQ(g[1].colour, "0.74902 0.74902 0.74902 1");
}

TEST_F(LwoFile, AssimpParsesTheCubeWithoutComplaint) {
  add_box("Glas", 4, 5, 6)->mark = 1;
  const std::string path = write("cube.lwo", Point3{4, 5, 6, 0});
  const ToolRun run = tool({"assimp", "info", path, "-l"});
  EXPECT_NE(run.out.find("LWO file format: LWOB"), std::string::npos) << run.out;
  EXPECT_TRUE(lines_with(run.out, "Warn").empty()) << run.out;
  if (run.status == 0) {
    EXPECT_EQ(lines_with(run.out, "Faces:").at(0), "Faces:             6") << run.out;
    EXPECT_EQ(count_of(run.out, "'Glas'"), 1) << run.out;
  } else {
    EXPECT_EQ(lines_with(run.out, "Error").size(), 1u) << run.out;
    EXPECT_NE(run.out.find("Unable to build a valid node graph"), std::string::npos) << run.out;
  }
}

}  // namespace
