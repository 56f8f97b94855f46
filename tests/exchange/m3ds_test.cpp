// 3DS import and export: the commands end to end against assimp (an
// independent reader and writer, assimp-utils), the names, windings, bad
// face indices and the 16-bit limits of the format.

#include "exchange/m3ds.h"

#include <lib3ds/file.h>
#include <lib3ds/material.h>
#include <lib3ds/mesh.h>

#include <algorithm>
#include <cstring>
#include <regex>

#include "building/solid/wall_mesh.h"
#include "display/export_scope.h"
#include "exchange/material_table.h"
#include "export_fixture.h"
#include "model/files/fio_read.h"
#include "model/files/preset_files.h"
#include "model/presets.h"
#include "support/wall_fixture.h"

namespace {

namespace fs = std::filesystem;

// A mesh of a 3DS file written by lib3ds for the test: faces as given.
struct FileMesh {
  std::string name;
  std::vector<std::array<float, 3>> points;
  std::vector<std::array<int, 3>> faces;
};
struct FileMaterial {
  std::string name;
  float diffuse[3];
  float ambient[3];
  float shininess;
  float transparency;
};

void write_3ds(const std::string& path, const std::vector<FileMesh>& meshes,
               const std::vector<FileMaterial>& materials = {}) {
  Lib3dsFile* f = lib3ds_file_new();
  for (const FileMaterial& fm : materials) {
    Lib3dsMaterial* m = lib3ds_material_new();
    std::strncpy(m->name, fm.name.c_str(), sizeof m->name - 1);
    for (int c = 0; c < 3; ++c) {
      m->diffuse[c] = fm.diffuse[c];
      m->ambient[c] = fm.ambient[c];
    }
    m->shininess = fm.shininess;
    m->transparency = fm.transparency;
    lib3ds_file_insert_material(f, m);
  }
  for (const FileMesh& fm : meshes) {
    Lib3dsMesh* m = lib3ds_mesh_new(fm.name.c_str());
    lib3ds_mesh_new_point_list(m, static_cast<Lib3dsDword>(fm.points.size()));
    for (std::size_t i = 0; i < fm.points.size(); ++i)
      for (int c = 0; c < 3; ++c) m->pointL[i].pos[c] = fm.points[i][c];
    lib3ds_mesh_new_face_list(m, static_cast<Lib3dsDword>(fm.faces.size()));
    for (std::size_t k = 0; k < fm.faces.size(); ++k)
      for (int c = 0; c < 3; ++c) m->faceL[k].points[c] = static_cast<Lib3dsWord>(fm.faces[k][c]);
    lib3ds_file_insert_mesh(f, m);
  }
  ASSERT_TRUE(lib3ds_file_save(f, path.c_str()));
  lib3ds_file_free(f);
}

// The unit cube moved by dx: 8 points, 6 quads.
void new_cube(const char* material, double dx = 0.0) {
  Point3 v[8];
  for (int i = 0; i < 8; ++i)
    v[i] = Point3{dx + ((i & 1) ^ ((i >> 1) & 1)), double((i >> 1) & 1), double(i >> 2), 0};
  const int32_t sizes[6] = {4, 4, 4, 4, 4, 4};
  const int32_t idx[24] = {0, 3, 2, 1, 4, 5, 6, 7, 0, 1, 5, 4, 1, 2, 6, 5, 2, 3, 7, 6, 3, 0, 4, 7};
  elem_new_mesh(0, 1, 0, 8, 6, sizes, v, idx, material, 0);
}

// What assimp's dump says of a file: per mesh its material's name and its
// faces as the positions of their corners.
struct DumpMesh {
  std::string material;
  std::vector<std::vector<std::array<double, 3>>> faces;
};

class M3ds : public ExportTest {
 protected:
  void SetUp() override {
    ExportTest::SetUp();
    dialog_path = dir.path().string();
    base_dir = dir.path().string();
    import_path = dir.path().string() + "/";
    import_file = "";
    // Lines: r g b transparency 1 reflection highlight refraction metallic
    // ambience texture image repeat sizes offsets special path.
    dir.write("mat/Glas", "0.5\n0.6\n0.7\n0.8\n1.000000\n0.2\n0.3\n1\n0\n0.1\n0\n\n0\n1\n1\n0\n0\n0\n\n");
    dir.make_folder("out");
    saved_select_ = export_scope_select;
  }
  void TearDown() override {
    export_scope_select = saved_select_;
    ExportTest::TearDown();
  }

  // The export of every element into name, the scope answered "All objects";
  // the recorded output lines.
  std::string export_all(const std::string& name) {
    ui.answers.push_front(1);
    ui.paths = {file(name)};
    testing::internal::CaptureStdout();
    m3ds_export();
    return testing::internal::GetCapturedStdout();
  }
  // The import of the file at path; what it printed.
  std::string import(const std::string& path) {
    ui.paths = {path};
    testing::internal::CaptureStdout();
    m3ds_import();
    return testing::internal::GetCapturedStdout();
  }

  std::string assimp_info(const std::string& path) {
    const ToolRun run = tool({"assimp", "info", path});
    EXPECT_EQ(run.status, 0) << run.out;
    return run.out;
  }

  std::vector<DumpMesh> assimp_dump(const std::string& path) {
    const std::string xml = path + ".xml";
    const ToolRun run = tool({"assimp", "dump", path, xml});
    EXPECT_EQ(run.status, 0) << run.out;
    const std::string text = read_file(xml);
    std::vector<std::string> material_names;
    const std::regex name_re(R"re(key="\?mat\.name"[^>]*>\s*"([^"]*)")re");
    for (std::sregex_iterator it(text.begin(), text.end(), name_re), end; it != end; ++it)
      material_names.push_back((*it)[1]);
    std::vector<DumpMesh> out;
    const std::regex mesh_re(R"re(<Mesh types="[^"]*" material_index="(\d+)">([\s\S]*?)</Mesh>)re");
    const std::regex face_re(R"re(<Face num="(\d+)">([^<]*)</Face>)re");
    const std::regex pos_re(R"re(<Positions[^>]*>([^<]*)</Positions>)re");
    for (std::sregex_iterator it(text.begin(), text.end(), mesh_re), end; it != end; ++it) {
      DumpMesh m;
      const std::size_t mi = std::stoul((*it)[1]);
      if (mi < material_names.size()) m.material = material_names[mi];
      const std::string body = (*it)[2];
      std::smatch pm;
      std::vector<std::array<double, 3>> positions;
      if (std::regex_search(body, pm, pos_re)) {
        std::istringstream in(pm[1].str());
        for (std::array<double, 3> p; in >> p[0] >> p[1] >> p[2];) positions.push_back(p);
      }
      for (std::sregex_iterator f(body.begin(), body.end(), face_re); f != end; ++f) {
        std::istringstream in((*f)[2].str());
        std::vector<std::array<double, 3>> corners;
        for (std::size_t i; in >> i;)
          corners.push_back(i < positions.size() ? positions[i] : std::array<double, 3>{});
        m.faces.push_back(corners);
      }
      out.push_back(m);
    }
    return out;
  }

  static std::vector<MeshElem*> meshes() {
    std::vector<MeshElem*> out;
    for (ElemHeader* e : elements())
      if (auto* m = elem_as<MeshElem>(e)) out.push_back(m);
    return out;
  }
  static int on_layer(int layer) {
    int n = 0;
    for (ElemHeader* e : elements()) n += e->layer == layer;
    return n;
  }

  int (*saved_select_)(int) = nullptr;
};

// The corners of a face turned so that the smallest index comes first.
std::array<int32_t, 3> rotated(std::array<int32_t, 3> f) {
  std::rotate(f.begin(), std::min_element(f.begin(), f.end()), f.end());
  return f;
}

TEST_F(M3ds, TwoObjectsOfOneMaterialAsAssimpReadsThem) {
  new_cube("Glas");
  new_cube("Glas", 3.0);
  const std::string printed = export_all("two.3ds");
  EXPECT_EQ(printed, "");
  EXPECT_TRUE(ui.calls_starting("error").empty());
  EXPECT_TRUE(nothing_marked());
  EXPECT_EQ(elements().size(), 2u);

  const std::string info = assimp_info(file("two.3ds"));
  EXPECT_NE(info.find("KAVRO_ob3_0"), std::string::npos) << info;
  EXPECT_NE(info.find("KAVRO_ob3_1"), std::string::npos) << info;
  EXPECT_NE(info.find("Primitive Types:    triangles\n"), std::string::npos) << info;
  EXPECT_EQ(count_of(info, "'Glas'"), 1) << info;
  const std::vector<DumpMesh> dumped = assimp_dump(file("two.3ds"));
  ASSERT_EQ(dumped.size(), 2u);
  for (const DumpMesh& m : dumped) {
    EXPECT_EQ(m.material, "Glas");
    EXPECT_EQ(m.faces.size(), 12u);
    for (const auto& f : m.faces) EXPECT_EQ(f.size(), 3u);
  }

  // Read back: the same objects and counts.
  const std::string again = import(file("two.3ds"));
  EXPECT_EQ(again, "name = KAVRO_ob3_0 np=8 nf=12\nname = KAVRO_ob3_1 np=8 nf=12\n");
  const std::vector<MeshElem*> all = meshes();
  ASSERT_EQ(all.size(), 4u);
  for (int i = 2; i < 4; ++i) {
    EXPECT_EQ(all[i]->vertex_count(), 8);
    EXPECT_EQ(all[i]->face_count(), 12);
    for (int v = 0; v < 8; ++v) {
      const Point3 &a = all[i - 2]->vertices[v], &b = all[i]->vertices[v];
      EXPECT_TRUE(a.x == b.x && a.y == b.y && a.z == b.z) << "object " << i << " point " << v;
    }
  }
  EXPECT_EQ(all[2]->material, "3ds_KAVRO_ob3_0");
}

TEST_F(M3ds, CubeWrittenByAssimpImportsAsOneUndoableObject) {
  dir.write("cube.obj",
            "o Cube\nv 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0 0 1\nv 1 0 1\nv 1 1 1\nv 0 1 1\n"
            "f 1 4 3 2\nf 5 6 7 8\nf 1 2 6 5\nf 2 3 7 6\nf 3 4 8 7\nf 4 1 5 8\n");
  const ToolRun made = tool({"assimp", "export", file("cube.obj"), file("cube.3ds")});
  ASSERT_EQ(made.status, 0) << made.out;
  new_cube("Glas", 5.0);
  undo_record(UNDO_CREATED, 1);

  const std::string printed = import(file("cube.3ds"));
  std::smatch m;
  ASSERT_TRUE(std::regex_match(printed, m, std::regex("name = (.+) np=(8|24) nf=12\n"))) << printed;
  const std::vector<MeshElem*> all = meshes();
  ASSERT_EQ(all.size(), 2u);
  const MeshElem& cube = *all[1];
  EXPECT_EQ(cube.material, "3ds_" + m[1].str());
  EXPECT_EQ(cube.face_count(), 12);
  EXPECT_EQ(cube.vertex_count(), std::stoi(m[2]));
  EXPECT_EQ(cube.layer, cur_layer);
  EXPECT_NE(cube.group, 0);
  for (int32_t s : cube.face_sizes) EXPECT_EQ(s, 3);
  // The points as the file holds them: a box of 1 m each way.
  for (double Point3::*axis : {&Point3::x, &Point3::y, &Point3::z}) {
    const auto [lo, hi] =
        std::minmax_element(cube.vertices.begin(), cube.vertices.end(),
                            [axis](const Point3& a, const Point3& b) { return a.*axis < b.*axis; });
    EXPECT_DOUBLE_EQ((*hi).*axis - (*lo).*axis, 1.0);
  }
  EXPECT_EQ(import_file.view(), file("cube.3ds"));

  undo_step_back();
  ASSERT_EQ(meshes().size(), 1u);
  EXPECT_EQ(meshes()[0]->material, "Glas");
}

TEST_F(M3ds, MaterialNamedLikeAMeshBecomesItsPreset) {
  const std::vector<std::array<float, 3>> tri = {{{0, 0, 0}}, {{1, 0, 0}}, {{0, 1, 0}}};
  write_3ds(file("in.3ds"), {{"Box", tri, {{{0, 1, 2}}}}, {"Lid", tri, {{{0, 1, 2}}}}},
            {{"Box", {0.2f, 0.4f, 0.8f}, {0.2f, 0.4f, 0.6f}, 0.4f, 0.3f}});
  material_preset.texture_mode = 3;
  material_preset.image_file = "wood.png";
  material_preset.special_text = "dat/special/x";

  import(file("in.3ds"));
  const std::vector<MeshElem*> all = meshes();
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[0]->material, "3ds_Box");
  EXPECT_EQ(all[1]->material, "3ds_Lid");
  EXPECT_EQ(all[0]->group, all[1]->group);
  EXPECT_NE(all[0]->group, 0);
  // Each drawn as it comes, the cursor off the screen meanwhile.
  std::vector<std::string> drawn;
  for (const std::string& c : ui.calls)
    if (c == "cursor_toggle" || c.starts_with("draw_last_element")) drawn.push_back(c);
  const std::vector<std::string> once = {"cursor_toggle", "draw_last_element 0", "cursor_toggle"};
  std::vector<std::string> twice = once;
  twice.insert(twice.end(), once.begin(), once.end());
  EXPECT_EQ(drawn, twice);
  EXPECT_TRUE(fs::exists(dir / "mat/3ds_Box"));
  EXPECT_FALSE(fs::exists(dir / "mat/3ds_Lid"));
  // Colour, transparency, 1, no reflection, the shininess, no refraction or
  // metal, the mean ambience; the rest from the current material.
  EXPECT_EQ(read_file(dir / "mat/3ds_Box"),
            "0.200000\n0.400000\n0.800000\n0.300000\n1.000000\n0.000000\n0.400000\n0\n0\n0.400000\n"
            "3\nwood.png\n0\n0.000000\n0.000000\n0.000000\n0.000000\n0\ndat/special/x\n");

  undo_step_back();
  EXPECT_TRUE(elements().empty());
}

TEST_F(M3ds, FaceTurnsOnImportAndBackOnExport) {
  const std::vector<std::array<float, 3>> tri = {{{0, 0, 0}}, {{2, 0, 0}}, {{0, 1, 0.5f}}};
  write_3ds(file("tri.3ds"), {{"T", tri, {{{0, 1, 2}}}}});
  import(file("tri.3ds"));
  ASSERT_EQ(meshes().size(), 1u);
  EXPECT_EQ(meshes()[0]->indices, (std::vector<int32_t>{2, 1, 0}));

  ui.answers = {1};  // the material 3ds_T has no preset: use the default
  export_all("back.3ds");
  const std::vector<DumpMesh> original = assimp_dump(file("tri.3ds"));
  const std::vector<DumpMesh> back = assimp_dump(file("back.3ds"));
  ASSERT_EQ(original.size(), 1u);
  ASSERT_EQ(back.size(), 1u);
  ASSERT_EQ(back[0].faces.size(), 1u);
  // The same corners in the same turning sense, whichever comes first.
  std::vector<std::array<double, 3>> corners = back[0].faces[0];
  std::rotate(corners.begin(), std::find(corners.begin(), corners.end(), original[0].faces[0][0]),
              corners.end());
  EXPECT_EQ(corners, original[0].faces[0]);

  M3dsFilePtr read = m3ds_read(read_file(file("back.3ds")));
  ASSERT_TRUE(read && read->meshes && read->meshes->faces == 1);
  const Lib3dsWord* p = read->meshes->faceL[0].points;
  EXPECT_EQ(rotated({p[0], p[1], p[2]}), (std::array<int32_t, 3>{0, 1, 2}));
}

TEST_F(M3ds, MarkedWallGoesAsTrianglesAndLeavesNothingBehind) {
  WallElem* wall = new_axis_wall();
  auto corners = [wall] {
    std::vector<double> out;
    for (const Point3& p : wall->corner) out.insert(out.end(), {p.x, p.y, p.z});
    return out;
  };
  const std::vector<double> before = corners();
  ui.answers = {1};  // "brick" has no preset
  export_all("wall.3ds");
  EXPECT_EQ(on_layer(LAYER_TEMP_3D), 0);
  ASSERT_EQ(elements().size(), 1u);
  EXPECT_EQ(elements()[0], wall);
  EXPECT_EQ(corners(), before);
  EXPECT_TRUE(nothing_marked());

  const std::string info = assimp_info(file("wall.3ds"));
  EXPECT_NE(info.find("Primitive Types:    triangles\n"), std::string::npos) << info;
  const std::vector<DumpMesh> dumped = assimp_dump(file("wall.3ds"));
  ASSERT_EQ(dumped.size(), 1u);
  EXPECT_EQ(dumped[0].material, "brick");
  // A box: six sides of two triangles at least.
  EXPECT_GE(dumped[0].faces.size(), 12u);
}

TEST_F(M3ds, CancelledExportsClearTheMarks) {
  new_cube("Glas");
  const struct {
    const char* what;
    std::deque<int> answers;
    std::deque<std::string> paths;
  } cases[] = {
      {"scope cancelled", {4}, {}},
      {"chooser cancelled", {1}, {"cancel"}},
  };
  for (const auto& c : cases) {
    elements()[0]->mark = 1;
    ui.answers = c.answers;
    ui.paths = c.paths;
    m3ds_export();
    EXPECT_TRUE(nothing_marked()) << c.what;
    EXPECT_TRUE(fs::is_empty(dir / "out")) << c.what;
  }
}

TEST_F(M3ds, AFileThatCannotBeWrittenIsReported) {
  new_cube("Glas");
  const std::string printed = export_all("no/such/folder/x.3ds");
  EXPECT_EQ(printed, "lib3ds error: Writing " + file("no/such/folder/x.3ds") + "\n");
  EXPECT_EQ(ui.calls_starting("error Cannot write file").size(), 1u);
  EXPECT_TRUE(nothing_marked());
  EXPECT_EQ(import_file.view(), "");
}

TEST_F(M3ds, ObjectsBeyondSixteenBitsAreRefusedBeforeWriting) {
  const struct {
    int vertices, faces;
    bool written;
  } cases[] = {
      {65535, 1, true},
      {65536, 1, false},
      {3, 65535, true},
      {3, 65536, false},
  };
  for (const auto& c : cases) {
    drawing_free();
    drawing_init();
    ui.calls.clear();
    std::vector<Point3> v(c.vertices);
    for (int i = 0; i < c.vertices; ++i) v[i] = Point3{double(i), 5.0, 0.0, 0};
    v[0] = Point3{0, 0, 0, 0};
    v[1] = Point3{1, 0, 0, 0};
    v[2] = Point3{0, 1, 0, 0};
    const std::vector<int32_t> sizes(c.faces, 3);
    std::vector<int32_t> idx;
    for (int k = 0; k < c.faces; ++k) idx.insert(idx.end(), {0, 1, 2});
    elem_new_mesh(0, 1, 0, c.vertices, c.faces, sizes.data(), v.data(), idx.data(), "Glas", 0);
    const std::string name = "out/big" + std::to_string(c.vertices) + "_" + std::to_string(c.faces) + ".3ds";
    export_all(name);
    EXPECT_EQ(fs::exists(dir / name), c.written) << name;
    EXPECT_EQ(ui.calls_starting("error An object has more than 65535").size(), c.written ? 0u : 1u) << name;
    EXPECT_TRUE(nothing_marked());
  }
}

// A 3DS file stores single precision floats: a point that is no number or
// lies beyond the largest float (3.4e38) would come out as NaN or infinity,
// which readers refuse. The export says why, and a file of the name stays
// as it was; the largest float itself is written.
TEST_F(M3ds, PointsNoFloatHoldsWriteNothing) {
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  const struct {
    double x;
    bool written;
  } cases[] = {{nan, false}, {inf, false}, {-1e39, false}, {1e308, false}, {3.4e38, true}, {-1e30, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.x);
    drawing_free();
    drawing_init();
    ui.calls.clear();
    new_cube("Glas");
    elem_as<MeshElem>(elem_list_tail)->vertices[3].x = c.x;
    dir.write("out/far.3ds", "old");
    export_all("out/far.3ds");
    EXPECT_TRUE(nothing_marked());
    if (c.written) {
      EXPECT_TRUE(ui.calls_starting("error").empty());
      EXPECT_NE(read_file(file("out/far.3ds")), "old");
    } else {
      EXPECT_EQ(read_file(file("out/far.3ds")), "old");
      EXPECT_EQ(
          ui.calls_starting("error"),
          std::vector<std::string>{"error The drawing has coordinates or sizes that 3DS files cannot hold.\n"
                                   "Nothing was written."});
    }
  }
  EXPECT_EQ(fs::directory_iterator(dir / "out")->path().filename(), "far.3ds") << "no temporary file stays";
}

// Faces naming points that are missing, repeated or no finite position are
// left out, and so are such points (never kept as the origin); the user is
// told how many in a message, not only on standard output.
// A mesh of points without any face makes nothing; the user is told, as
// of faces left out.
TEST_F(M3ds, MeshesWithoutFacesAreSaid) {
  const std::vector<std::array<float, 3>> tri = {{{0, 0, 0}}, {{1, 0, 0}}, {{0, 1, 0}}};
  write_3ds(file("dots.3ds"), {{"Dots", tri, {}}, {"Good", tri, {{{0, 1, 2}}}}, {"More", tri, {}}});
  import(file("dots.3ds"));
  EXPECT_EQ(ui.calls_starting("message"),
            std::vector<std::string>{
                "message Message: 2 meshes of the file hold points but no faces; they were left out."});
  EXPECT_EQ(meshes().size(), 1u);

  ui.calls.clear();
  write_3ds(file("both.3ds"), {{"Dots", tri, {}}, {"Some", tri, {{{0, 1, 2}}, {{0, 1, 7}}}}});
  import(file("both.3ds"));
  EXPECT_EQ(
      ui.calls_starting("message"),
      std::vector<std::string>{"message Message: 1 faces and 0 points of the file were left out: the faces "
                               "named points that are missing, repeated or no finite position.\n1 meshes of "
                               "the file hold points but no faces; they were left out."});
}

TEST_F(M3ds, BadFacesAreDroppedAndCounted) {
  const std::vector<std::array<float, 3>> tri = {{{0, 0, 0}}, {{1, 0, 0}}, {{0, 1, 0}}};
  const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
  write_3ds(file("bad.3ds"), {{"Some", tri, {{{0, 1, 2}}, {{0, 1, 3}}, {{7, 1, 2}}}},
                              {"None", tri, {{{3, 4, 5}}}},
                              {"Two", {{{0, 0, 0}}, {{1, 0, 0}}}, {{{0, 1, 1}}}},
                              {"Wild",
                               {{{5, 5, 5}}, {{nan, 0, 0}}, {{6, 5, 5}}, {{0, inf, 0}}, {{5, 6, 5}}},
                               {{{0, 1, 2}}, {{0, 2, 4}}, {{3, 2, 4}}}}});
  const std::string printed = import(file("bad.3ds"));
  EXPECT_EQ(printed,
            "name = None np=3 nf=1 dropped=1\n"
            "name = Some np=3 nf=3 dropped=2\n"
            "name = Two np=2 nf=1 dropped=1\n"
            "name = Wild np=5 nf=3 dropped=2\n");
  EXPECT_EQ(
      ui.calls_starting("message"),
      std::vector<std::string>{"message Message: 6 faces and 2 points of the file were left out: the faces "
                               "named points that are missing, repeated or no finite position."});
  const std::vector<MeshElem*> all = meshes();
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[0]->indices, (std::vector<int32_t>{2, 1, 0}));
  // The wild mesh: its three finite points, the one face between them.
  ASSERT_EQ(all[1]->vertices.size(), 3u);
  for (const Point3& v : all[1]->vertices) EXPECT_GE(v.x + v.y + v.z, 15.0);
  EXPECT_EQ(all[1]->indices, (std::vector<int32_t>{2, 1, 0}));

  // Not a 3DS file at all, and one cut short: a message, nothing changes.
  dir.write("junk.3ds", "MM\x06\x00\x00\x00garbage");
  const std::string cut = read_file(file("bad.3ds")).substr(0, 40);
  dir.write("cut.3ds", cut);
  for (const char* name : {"junk.3ds", "cut.3ds", "missing.3ds"}) {
    ui.calls.clear();
    import(file(name));
    EXPECT_EQ(ui.calls_starting("error ***ERROR***\nLoading .3ds file failed\n").size(), 1u) << name;
    EXPECT_EQ(meshes().size(), 2u) << name;
  }
}

// Chunks built byte by byte, for files no writer would make.
std::string le(uint32_t v, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i) out += static_cast<char>(v >> (8 * i) & 0xff);
  return out;
}
std::string chunk(uint16_t id, const std::string& content, int extra_size = 0) {
  return le(id, 2) + le(static_cast<uint32_t>(content.size() + 6 + extra_size), 4) + content;
}
std::string points_chunk(int n, int claimed) {
  std::string content = le(claimed, 2);
  for (int i = 0; i < n; ++i) {
    const float p[3] = {float(i == 1), float(i == 2), 0.0f};
    content.append(reinterpret_cast<const char*>(p), sizeof p);
  }
  return chunk(0x4110, content);
}
std::string faces_chunk(const std::vector<std::array<int, 3>>& faces, const std::string& inner = "") {
  std::string content = le(static_cast<uint32_t>(faces.size()), 2);
  for (const auto& f : faces) content += le(f[0], 2) + le(f[1], 2) + le(f[2], 2) + le(7, 2);
  return chunk(0x4120, content + inner);
}
std::string file_of(const std::string& mesh_chunks) {
  return chunk(0x4D4D, chunk(0x3D3D, chunk(0x4000, std::string("X", 2) + chunk(0x4100, mesh_chunks))));
}

TEST(M3dsRead, BrokenCountsAndIndicesNeverReachLib3ds) {
  const std::string group_bad = chunk(0x4130, std::string("M", 2) + le(2, 2) + le(0, 2) + le(5, 2));
  const std::string group_ok = chunk(0x4130, std::string("M", 2) + le(1, 2) + le(0, 2));
  const struct {
    const char* what;
    std::string bytes;
    const char* log;  // null: the file is refused
    std::size_t faces;
    M3dsError error = M3dsError::NONE;
  } cases[] = {
      {"sound", file_of(points_chunk(3, 3) + faces_chunk({{0, 1, 2}}, group_ok)), "name = X np=3 nf=1\n", 1},
      {"point out of range", file_of(points_chunk(3, 3) + faces_chunk({{0, 1, 2}, {2, 1, 900}})),
       "name = X np=3 nf=2 dropped=1\n", 1},
      {"faces before points", file_of(faces_chunk({{0, 1, 2}}) + points_chunk(3, 3)), "name = X np=3 nf=0\n",
       0},
      {"material group naming face 5 of 1", file_of(points_chunk(3, 3) + faces_chunk({{0, 1, 2}}, group_bad)),
       "name = X np=3 nf=1\n", 1},
      {"more points than the chunk holds", file_of(points_chunk(3, 300) + faces_chunk({{0, 1, 2}})), nullptr,
       0, M3dsError::BAD_COUNT},
      {"face list longer than its chunk", file_of(points_chunk(3, 3) + chunk(0x4120, le(40, 2))), nullptr, 0,
       M3dsError::BAD_COUNT},
      {"chunk reaching past its parent", chunk(0x4D4D, chunk(0x3D3D, chunk(0x4000, std::string("X", 2), 50))),
       nullptr, 0, M3dsError::OUTSIDE},
      {"file shorter than its chunk", file_of(points_chunk(3, 3)).substr(0, 30), nullptr, 0,
       M3dsError::CUT_SHORT},
      {"not a 3DS file", chunk(0x1234, "abc"), nullptr, 0, M3dsError::NOT_3DS},
      {"empty", "", nullptr, 0, M3dsError::EMPTY},
      // A later point list replaces the one the faces were checked against.
      {"fewer points after the faces",
       file_of(points_chunk(3, 3) + faces_chunk({{0, 1, 2}}) + points_chunk(1, 1)),
       "name = X np=1 nf=1 dropped=1\n", 0},
      {"no points after the faces",
       file_of(points_chunk(3, 3) + faces_chunk({{0, 1, 2}}) + points_chunk(0, 0)), "name = X np=0 nf=0\n",
       0},
      // lib3ds would step through these for ever.
      {"chunk of size 0", chunk(0x4D4D, chunk(0x3D3D, chunk(0xAFFF, le(0xA000, 2) + le(0, 4)))), nullptr, 0,
       M3dsError::BAD_SIZE},
      {"texture map holding a chunk of size 0",
       chunk(0x4D4D, chunk(0x3D3D, chunk(0xAFFF, chunk(0xA200, le(0x0030, 2) + le(0, 4))))), "", 0},
  };
  for (const auto& c : cases) {
    M3dsError error = M3dsError::REFUSED;
    M3dsFilePtr file = m3ds_read(c.bytes, &error);
    ASSERT_EQ(file != nullptr, c.log != nullptr) << c.what;
    EXPECT_EQ(error, c.error) << c.what;
    if (!file) continue;
    // lib3ds took every face's points for its normals while it read: none
    // named a point that is not there.
    for (const Lib3dsMesh* m = file->meshes; m; m = m->next)
      for (Lib3dsDword k = 0; k < m->faces; ++k)
        for (Lib3dsWord i : m->faceL[k].points) EXPECT_LT(i, m->points) << c.what;
    const M3dsImport import = m3ds_import_objects(*file, MaterialPreset{});
    EXPECT_EQ(import.log, c.log) << c.what;
    const std::size_t faces = import.objects.empty() ? 0 : import.objects[0].indices.size() / 3;
    EXPECT_EQ(faces, c.faces) << c.what;
  }
}

// Reading mesh by mesh makes what lib3ds makes of the whole file: the same
// objects with the same points, faces and presets, the same lines in the
// same order (by name, a later mesh of a name after an earlier one), the
// same refusals.
TEST(M3dsRead, MeshByMeshMakesWhatTheWholeFileMakes) {
  const auto object = [](const char* name, int points, const std::vector<std::array<int, 3>>& faces) {
    return chunk(0x4000,
                 std::string(name) + '\0' + chunk(0x4100, points_chunk(points, points) + faces_chunk(faces)));
  };
  const std::string material =
      chunk(0xAFFF, chunk(0xA000, std::string("Box", 4)) + chunk(0xA020, chunk(0x0011, "\x80\x40\x20")));
  const std::string meshes = object("Lid", 3, {{0, 1, 2}}) + object("Box", 4, {{0, 1, 2}, {1, 2, 3}}) +
                             object("Box", 3, {{2, 1, 0}}) + object("Alpha", 3, {{0, 1, 1}}) +
                             object("Empty", 0, {});
  std::vector<std::pair<std::string, std::string>> cases = {
      {"meshes out of order, material last", chunk(0x4D4D, chunk(0x3D3D, meshes + material))},
      {"two data blocks",
       chunk(0x4D4D, chunk(0x3D3D, object("Zed", 3, {{0, 1, 2}})) + chunk(0x3D3D, meshes))},
      {"data block alone", chunk(0x3D3D, material + meshes)},
      {"mesh of two triangle lists",
       chunk(0x4D4D,
             chunk(0x3D3D, chunk(0x4000, std::string("Two", 4) +
                                             chunk(0x4100, points_chunk(3, 3) + faces_chunk({{0, 1, 2}})) +
                                             chunk(0x4100, points_chunk(3, 3) + faces_chunk({{2, 1, 0}})))))},
      {"a broken one", chunk(0x4D4D, chunk(0x3D3D, meshes + chunk(0x4000, std::string("X", 2), 50)))},
      {"no mesh", chunk(0x4D4D, chunk(0x3D3D, chunk(0xAFFF, chunk(0xA200, le(0x0030, 2) + le(0, 4)))))},
  };
  for (const auto& entry : fs::directory_iterator(fs::path(KAVRO_SOURCE_DIR) / "tests/fuzz/m3ds_corpus"))
    cases.emplace_back(entry.path().filename().string(), read_file(entry.path().string()));
  MaterialPreset base;
  base.texture_mode = 1;
  for (const auto& [what, bytes] : cases) {
    SCOPED_TRACE(what);
    M3dsError whole_error = M3dsError::NONE;
    M3dsFilePtr file = m3ds_read(bytes, &whole_error);
    M3dsImport whole;
    if (file) whole = m3ds_import_objects(*file, base);
    M3dsImport parts;
    const M3dsError parts_error = m3ds_import_bytes(bytes, base, parts);
    EXPECT_EQ(parts_error, whole_error);
    EXPECT_EQ(parts.log, whole.log);
    ASSERT_EQ(parts.objects.size(), whole.objects.size());
    for (std::size_t i = 0; i < whole.objects.size(); ++i) {
      const M3dsObject& a = parts.objects[i];
      const M3dsObject& b = whole.objects[i];
      EXPECT_EQ(a.material, b.material);
      EXPECT_EQ(a.indices, b.indices);
      ASSERT_EQ(a.vertices.size(), b.vertices.size());
      for (std::size_t k = 0; k < a.vertices.size(); ++k)
        EXPECT_TRUE(a.vertices[k].x == b.vertices[k].x && a.vertices[k].y == b.vertices[k].y &&
                    a.vertices[k].z == b.vertices[k].z);
      ASSERT_EQ(a.preset.has_value(), b.preset.has_value());
      if (!a.preset) continue;
      const MaterialPreset &pa = *a.preset, &pb = *b.preset;
      EXPECT_EQ(pa.name.view(), pb.name.view());
      EXPECT_TRUE(pa.r == pb.r && pa.g == pb.g && pa.b == pb.b && pa.transparency == pb.transparency &&
                  pa.highlight == pb.highlight && pa.ambience == pb.ambience &&
                  pa.texture_mode == pb.texture_mode);
    }
  }
  M3dsImport out;
  EXPECT_EQ(m3ds_import_bytes(cases[0].second, base, out), M3dsError::NONE);
  EXPECT_EQ(out.log,
            "name = Alpha np=3 nf=1 dropped=1\nname = Box np=4 nf=2\nname = Box np=3 nf=1\n"
            "name = Empty np=0 nf=0\nname = Lid np=3 nf=1\n");
  ASSERT_EQ(out.objects.size(), 3u);
  EXPECT_TRUE(out.objects[0].preset && out.objects[1].preset && !out.objects[2].preset);
}

// A file that passes every check but holds no mesh to import says so.
TEST_F(M3ds, FileWithoutAMeshSaysSo) {
  const std::vector<std::array<float, 3>> tri = {{{0, 0, 0}}, {{1, 0, 0}}, {{0, 1, 0}}};
  dir.write("texture_only.3ds",
            chunk(0x4D4D, chunk(0x3D3D, chunk(0xAFFF, chunk(0xA200, le(0x0030, 2) + le(0, 4))))));
  write_3ds(file("faceless.3ds"), {{"Flat", tri, {}}, {"Line", {{{0, 0, 0}}, {{1, 0, 0}}}, {{{0, 1, 1}}}}});
  dir.write("no_data.3ds", chunk(0x4D4D, chunk(0xB000, std::string(20, '\0'))));
  for (const char* name : {"texture_only.3ds", "faceless.3ds", "no_data.3ds"}) {
    SCOPED_TRACE(name);
    ui.calls.clear();
    import(file(name));
    EXPECT_EQ(
        ui.calls_starting("error "),
        std::vector<std::string>{"error ***ERROR***\nLoading .3ds file failed\nThe file holds no mesh."});
    EXPECT_TRUE(meshes().empty());
    EXPECT_EQ(undo_used, 0);
  }
}

TEST_F(M3ds, ImportSaysWhyAFileCannotBeRead) {
  const std::vector<std::array<float, 3>> tri = {{{0, 0, 0}}, {{1, 0, 0}}, {{0, 1, 0}}};
  write_3ds(file("sound.3ds"), {{"Box", tri, {{{0, 1, 2}}}}});
  dir.write("empty.3ds", "");
  dir.write("text.3ds", "solid cube\nfacet normal 0 0 1\n");
  dir.write("cut.3ds", read_file(file("sound.3ds")).substr(0, 40));
  dir.write("damaged.3ds", chunk(0x4D4D, chunk(0x3D3D, chunk(0x4000, std::string("X", 2), 50))));
  dir.make_folder("folder.3ds");
  const struct {
    const char* name;
    const char* reason;
  } cases[] = {
      {"empty.3ds", "The file is empty."},
      {"text.3ds", "This is not a 3DS file."},
      {"cut.3ds", "The file is cut short."},
      {"damaged.3ds", "The file is damaged: a chunk reaches past the chunk holding it."},
      {"missing.3ds", "The file does not exist."},
      {"folder.3ds", "This is a folder, not a file."},
  };
  for (const auto& c : cases) {
    ui.calls.clear();
    import(file(c.name));
    EXPECT_EQ(
        ui.calls_starting("error "),
        std::vector<std::string>{std::string("error ***ERROR***\nLoading .3ds file failed\n") + c.reason})
        << c.name;
    EXPECT_TRUE(meshes().empty()) << c.name;
  }
  import(file("sound.3ds"));
  EXPECT_EQ(meshes().size(), 1u);
}

// A file whose size or head shows it cannot be a 3DS file is refused before
// it is read; a large one is read in pieces with the progress window.
TEST_F(M3ds, HugeFilesAreRefusedAtOnceAndLargeOnesShowProgress) {
  const auto sparse = [this](const std::string& name, const std::string& head, std::uintmax_t size) {
    dir.write(name, head);
    fs::resize_file(dir / name, size);
  };
  sparse("zeros.3ds", "", std::uintmax_t{2} << 30);
  sparse("over_4_gib.3ds", chunk(0x4D4D, ""), std::uintmax_t{5} << 30);
  for (const auto& [name, reason] :
       {std::pair{"zeros.3ds", "This is not a 3DS file."},
        std::pair{"over_4_gib.3ds", "The file is larger than a 3DS file can be."}}) {
    ui.calls.clear();
    import(file(name));
    EXPECT_EQ(ui.calls, (std::vector<std::string>{
                            std::string("choose Import 3DS... ") + import_file.c_str() + " 0 path " +
                                import_path.c_str(),
                            std::string("error ***ERROR***\nLoading .3ds file failed\n") + reason}))
        << name;
  }

  // A mesh and a key-frame block of 9 MB that the import passes over.
  const std::string keyframes = chunk(0xB000, std::string(9 << 20, '\0'));
  dir.write(
      "large.3ds",
      chunk(0x4D4D,
            chunk(0x3D3D, chunk(0x4000, std::string("X", 2) +
                                            chunk(0x4100, points_chunk(3, 3) + faces_chunk({{0, 1, 2}})))) +
                keyframes));
  ui.calls.clear();
  import(file("large.3ds"));
  EXPECT_EQ(meshes().size(), 1u);
  const std::vector<std::string> shown = ui.calls_starting("progress");
  ASSERT_GE(shown.size(), 4u);
  EXPECT_EQ(shown.front(), "progress_open_cancel Import 3DS...");
  EXPECT_EQ(shown[shown.size() - 2], "progress 1");
  EXPECT_EQ(shown.back(), "progress_close");
  // Pieces small enough that the window answers between them.
  EXPECT_GE(shown.size(), 2 + (9u << 20) / FIO_READ_PIECE);
}

TEST(M3dsMaterialName, StaysInsideTheMaterialFolder) {
  const struct {
    const char *mesh, *material;
  } cases[] = {
      {"Box", "3ds_Box"},
      {"../../.profile", "3ds__._.._.profile"},
      {".hidden", "3ds__hidden"},
      {"a/b", "3ds_a_b"},
      {"line\nbreak\x7f", "3ds_line_break_"},
      {"", "3ds_"},
      {"abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyz", "3ds_abcdefghijklmnopqrstuvwxyzabcdefghi"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(m3ds_material_name(c.mesh), c.material) << c.mesh;
    EXPECT_FALSE(preset_path(PresetKind::MAT, c.material).empty()) << c.mesh;
  }
}

}  // namespace
