// POV-Ray scenes: the text of meshes, walls, lights and settings for small
// fixtures, the commands around it (camera question, scope, chooser, the
// render's argument vector), and a real render by POV-Ray.

#include <cairo.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <deque>
#include <fstream>
#include <limits>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "exchange/out_text.h"
#include "exchange/pov_export.h"
#include "export_fixture.h"
#include "model/camera.h"
#include "model/files/load_save.h"
#include "model/wall_outline.h"
#include "platform/temp_folder.h"
#include "support/golden_file.h"
#include "support/recording_process.h"

namespace {

// Corners of a wall along the x axis from 0 to len, 0.3 thick, base z0 and
// top z1; counter-clockwise in plan unless turned.
std::vector<double> wall_corners(double len, double z0, double z1, bool turned = false) {
  double xy[4][2] = {{0, 0}, {len, 0}, {len, 0.3}, {0, 0.3}};
  if (turned) {
    std::swap(xy[1][0], xy[3][0]);
    std::swap(xy[1][1], xy[3][1]);
  }
  std::vector<double> c;
  for (double z : {z0, z1})
    for (auto& p : xy) c.insert(c.end(), {p[0], p[1], z});
  return c;
}

WallElem* add_wall(std::vector<double> c, const char* material = "brick", int gable = 0, Point3 a = {},
                   Point3 b = {}) {
  WallSegment quad[4];
  wall_outline_quad(c[0], c[1], c[3], c[4], c[6], c[7], c[9], c[10], quad);
  elem_new_wall(0, 1, 0, c.data(), 4, quad, 0, nullptr, material, gable, a.x, a.y, a.z, b.x, b.y, b.z);
  return elem_as<WallElem>(elem_list_tail);
}

// Cuts an opening from x0 to x1, z from sill to top, through a wall along
// the x axis; the wall is replaced by the cut one, which is returned.
WallElem* cut_opening(WallElem* w, double x0, double x1, double y0, double y1, double sill, double top) {
  Point3 box[8];
  const double xs[4] = {x0, x1, x1, x0}, ys[4] = {y0, y0, y1, y1};
  for (int i = 0; i < 4; ++i) {
    box[i] = {xs[i], ys[i], sill, 0};
    box[i + 4] = {xs[i], ys[i], top, 0};
  }
  WallElem* next = opening_cut_wall(box, OPENING_WINDOW, 1, sill, top - sill, 0.05, 0.1, 0, w);
  EXPECT_NE(next, w) << "the opening does not fit";
  if (next != w) {
    elem_unlink(w);
    elem_destroy(w);
  }
  return next;
}

void add_mesh(std::vector<Point3> v, std::vector<int32_t> sizes, std::vector<int32_t> idx,
              const char* material = "Red") {
  elem_new_mesh(0, 1, 0, static_cast<int>(v.size()), static_cast<int>(sizes.size()), sizes.data(), v.data(),
                idx.data(), material, 0);
}

// A cuboid from (x, y, z) with the sizes given, six quads.
void add_cuboid(double x, double y, double z, double dx, double dy, double dz, const char* material = "Red") {
  std::vector<Point3> v;
  for (double zz : {z, z + dz})
    for (auto [px, py] : {std::pair{x, y}, {x + dx, y}, {x + dx, y + dy}, {x, y + dy}})
      v.push_back({px, py, zz, 0});
  add_mesh(v, {4, 4, 4, 4, 4, 4}, {0, 3, 2, 1, 4, 5, 6, 7, 0, 1, 5, 4, 1, 2, 6, 5, 2, 3, 7, 6, 3, 0, 4, 7},
           material);
}

// Every brace opened once is closed once, never before it was opened
// (texts in double quotes left out).
bool balanced(const std::string& text) {
  int depth = 0;
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '\\') ++i;
      if (c == '"') quoted = false;
      continue;
    }
    if (c == '"') quoted = true;
    if (c == '{') ++depth;
    if (c == '}' && --depth < 0) return false;
  }
  return depth == 0 && !quoted;
}

class PovScene : public ExportTest {
 protected:
  void SetUp() override {
    ExportTest::SetUp();
    dialog_path = dir.path().string();
    base_dir = dir.path().string() + "/";
    // Lines: r g b transparency 1 reflection highlight refraction metallic
    // ambience texture image repeat sizes offsets special path.
    dir.write("mat/Red", "0.8\n0.1\n0.1\n0\n1.000000\n0\n0.4\n0\n0\n0.2\n0\n\n0\n1\n1\n0\n0\n0\n\n");
    dir.write("mat/brick", "0.7\n0.5\n0.3\n0\n1.000000\n0\n0\n0\n0\n0.2\n0\n\n0\n1\n1\n0\n0\n0\n\n");
    dir.write("mat/plane", "0.8\n0.1\n0.1\n0\n1.000000\n0\n0.4\n0\n0\n0.2\n0\n\n0\n1\n1\n0\n0\n0\n\n");
    dir.write("mat/Glas", "0.6\n0.8\n0.9\n0.7\n1.000000\n0.1\n0.8\n1\n0\n0\n0\n\n0\n1\n1\n0\n0\n0\n\n");
    pov_settings.quality = 1;
    pov_settings.ambient = 1;
    pov_settings.background = {0.5, 0.5, 0.8};
  }

  // The scene of every element, each material registered (a missing
  // preset answered with the default).
  static std::string scene(bool orthographic = false) {
    mark_all();
    mat_table_init();
    for (ElemHeader* e : elements()) {
      if (const auto* m = elem_as<MeshElem>(e)) mat_register(m->material.view());
      if (const auto* w = elem_as<WallElem>(e)) mat_register(w->material.view());
    }
    StringOut out;
    pov_write_scene(out, orthographic);
    mat_table_free();
    for (ElemHeader* e : elements()) e->mark = 0;
    const std::string text = out.text();
    EXPECT_TRUE(balanced(text)) << text;
    return text;
  }
  // The text from the first line holding start to the first line holding
  // end after it (both included).
  static std::string block(const std::string& text, const std::string& start, const std::string& end) {
    const std::size_t a = text.find(start);
    if (a == std::string::npos) return {};
    const std::size_t b = text.find(end, a + start.size());
    return text.substr(a, b == std::string::npos ? std::string::npos : b + end.size() - a);
  }
};

TEST_F(PovScene, MeshVerticesSwapAxesAndQuadsSplit) {
  add_mesh({{1, 2, 3, 0}, {4, 2, 3, 0}, {4, 5, 3, 0}, {1, 5, 3, 0}}, {4}, {0, 1, 2, 3});
  const std::string text = scene();
  EXPECT_NE(
      text.find("\nmesh2\n{\n vertex_vectors\n {\n  4  ,\n<1.000000000000,3.000000000000,2.000000000000>  ,\n"
                "<4.000000000000,3.000000000000,2.000000000000>"),
      std::string::npos)
      << text;
  EXPECT_NE(
      text.find(" }\n face_indices\n {\n  2  ,\n< 0 , 1 , 2 >  ,\n< 2 , 3 , 0 > }\ntexture {Red\n}\n}\n"),
      std::string::npos)
      << text;
}

TEST_F(PovScene, FacesOtherThanTrianglesAndQuadsAreTriangulated) {
  const struct {
    const char* what;
    std::vector<Point3> v;
    std::vector<int32_t> sizes, idx;
    const char* faces;  // nullptr: no mesh at all
  } cases[] = {
      {"pentagon",
       {{0, 0, 0, 0}, {2, 0, 0, 0}, {3, 1, 0, 0}, {1, 2, 0, 0}, {-1, 1, 0, 0}},
       {5},
       {0, 1, 2, 3, 4},
       "face_indices\n {\n  3  ,"},
      {"triangle and pentagon",
       {{0, 0, 0, 0}, {2, 0, 0, 0}, {3, 1, 0, 0}, {1, 2, 0, 0}, {-1, 1, 0, 0}},
       {3, 5},
       {0, 1, 2, 0, 1, 2, 3, 4},
       "face_indices\n {\n  4  ,"},
      {"corner beyond the vertices", {{0, 0, 0, 0}, {1, 0, 0, 0}, {0, 1, 0, 0}}, {3}, {0, 1, 7}, nullptr},
      {"a line", {{0, 0, 0, 0}, {1, 0, 0, 0}}, {2}, {0, 1}, nullptr},
  };
  for (const auto& c : cases) {
    drawing_free();
    add_mesh(c.v, c.sizes, c.idx);
    const std::string text = scene();
    if (c.faces)
      EXPECT_NE(text.find(c.faces), std::string::npos) << c.what << "\n" << text;
    else
      EXPECT_EQ(text.find("mesh2"), std::string::npos) << c.what << "\n" << text;
  }
}

TEST_F(PovScene, FlatWallsArePrismsOthersIntersectionsOfPlanes) {
  const struct {
    const char* what;
    double dz;  // added to corner 2's base z
    int gable;
    int planes;  // 0: a prism
  } cases[] = {
      {"flat", 0.0, 0, 0},
      {"within the flatness", 0.00005, 0, 0},
      {"beyond the flatness", 0.001, 0, 6},
      {"gable", 0.0, 1, 7},
  };
  for (const auto& c : cases) {
    drawing_free();
    std::vector<double> corners = wall_corners(4, 0, 2.5);
    corners[8] += c.dz;
    add_wall(corners, "brick", c.gable, {2, 0, 4, 0}, {2, 0.3, 4, 0});
    const std::string text = scene();
    if (c.planes == 0) {
      EXPECT_NE(text.find("\nprism { linear_sweep linear_spline 0.000000000000, 2.500000000000, 5,\n"
                          "<0.000000000000,0.000000000000>,<4.000000000000,0.000000000000>,"
                          "<4.000000000000,0.300000000000>,<0.000000000000,0.300000000000>,"
                          "<0.000000000000,0.000000000000>\ntexture {mat_brick\n}\n}\n"),
                std::string::npos)
          << c.what << "\n"
          << text;
      EXPECT_EQ(count_of(text, "plane {"), 0) << c.what;
    } else {
      EXPECT_NE(text.find("\nintersection {\nplane {"), std::string::npos) << c.what << "\n" << text;
      EXPECT_EQ(count_of(text, "plane {"), c.planes) << c.what << "\n" << text;
      EXPECT_EQ(count_of(text, "prism"), 0) << c.what;
    }
  }
}

// The planes of a box-shaped wall must enclose it whichever way round its
// corners run: each plane's offset is positive for the outward normal of a
// box around the origin, so the centre lies inside every half-space.
TEST_F(PovScene, PlanesFaceOutwardsEitherWayRound) {
  for (bool turned : {false, true}) {
    drawing_free();
    // Around the origin, tilted a little so the planes are written.
    std::vector<double> c = wall_corners(4, -1, 1, turned);
    for (std::size_t i = 0; i < c.size(); i += 3) {
      c[i] -= 2;
      c[i + 1] -= 0.15;
    }
    c[8] += 0.01;
    add_wall(c);
    const std::string text = scene();
    const std::vector<std::string> planes = lines_with(text, "plane {");
    ASSERT_EQ(planes.size(), 6u) << text;
    for (const std::string& p : planes) {
      const double d = std::stod(p.substr(p.rfind(',') + 1));
      EXPECT_GT(d, 0.0) << (turned ? "clockwise: " : "counter-clockwise: ") << p;
    }
  }
}

TEST_F(PovScene, TiltedWallWithAZeroEdgeIsWrittenAsItsMesh) {
  std::vector<double> c = wall_corners(4, 0, 2.5);
  c[8] += 0.01;
  // Corner 7 on top of corner 6.
  c[21] = c[18];
  c[22] = c[19];
  add_wall(c);
  const std::string text = scene();
  EXPECT_EQ(count_of(text, "plane {"), 0) << text;
  EXPECT_EQ(count_of(text, "\nmesh2\n"), 1) << text;
  EXPECT_NE(text.find("texture {mat_brick\n}\n}\n"), std::string::npos) << text;
  EXPECT_EQ(elements().size(), 1u) << "the mesh is dropped again";
}

TEST_F(PovScene, OpeningsCutByPrismsBeyondTheWall) {
  WallElem* w = add_wall(wall_corners(4, 0, 2.5));
  w = cut_opening(w, 1, 2.5, 0, 0.3, 0.9, 2.1);  // a window
  cut_opening(w, 3, 3.8, 0, 0.3, 0, 2);          // a door on the base
  const std::string text = scene();
  EXPECT_EQ(
      text.rfind("\ndifference {\n\nprism { linear_sweep linear_spline 0.000000000000, 2.500000000000, 5,\n",
                 text.find("\ndifference")),
      text.find("\ndifference"))
      << text;
  EXPECT_NE(text.find("\nprism { linear_sweep linear_spline 0.900000000000, 2.100000000000, 5,\n"
                      "<1.000000000000,-1.000000000000>,<2.500000000000,-1.000000000000>,"
                      "<2.500000000000,1.300000000000>,<1.000000000000,1.300000000000>,"
                      "<1.000000000000,-1.000000000000>\n}\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("\nprism { linear_sweep linear_spline -1.000000000000, 2.000000000000, 5,\n"
                      "<3.000000000000,-1.000000000000>,"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find(">\n}\ntexture {mat_brick\n}\n}\n"), std::string::npos) << text;
}

TEST_F(PovScene, LightsWithAndWithoutShadowShares) {
  const struct {
    int type, shadow;
    double intensity, size;
    const char* text;
  } cases[] = {
      {LIGHT_POINT, 1, 0.7, 0,
       "light_source { <1.000000000000,3.000000000000,2.000000000000> color rgb <0.700000000000, "
       "0.350000000000, 0.000000000000> }\n"
       "light_source { <1.000000000000,3.000000000000,2.000000000000> color rgb <0.300000000000, "
       "0.150000000000, 0.000000000000>shadowless }\n"},
      {LIGHT_POINT, 1, 1.0, 0,
       "light_source { <1.000000000000,3.000000000000,2.000000000000> color rgb <1.000000000000, "
       "0.500000000000, 0.000000000000> }\n"},
      {LIGHT_POINT, 0, 0.7, 0,
       "light_source { <1.000000000000,3.000000000000,2.000000000000> color rgb <1.000000000000, "
       "0.500000000000, 0.000000000000> shadowless }\n"},
      {LIGHT_SPOT, 1, 1.0, 2.5,
       "light_source { <1.000000000000,3.000000000000,2.000000000000> color rgb <1.000000000000, "
       "0.500000000000, 0.000000000000> spotlight radius 20.000000000000 falloff 30.000000000000 tightness "
       "10 point_at <4.000000000000,0.000000000000,5.000000000000> fade_distance 2.500000000000 fade_power "
       "1 }\n"},
  };
  for (const auto& c : cases) {
    drawing_free();
    elem_new_light(0, 1, 0, c.type, c.shadow, c.size, 20, c.intensity, 1, 2, 3, 4, 5, 0, 1, 0.5, 0);
    const std::string text = scene();
    EXPECT_EQ(text.substr(text.find("light_source")), c.text);
  }
}

TEST_F(PovScene, GlobalSettingsByQuality) {
  const struct {
    int quality, ambient;
    const char* text;
  } cases[] = {
      {0, 3, "global_settings {\n max_trace_level 12\n ambient_light 3\n}\n"},
      {1, 0, "global_settings {\n max_trace_level 12\n ambient_light 0\n}\n"},
      {2, 2,
       "global_settings {\n max_trace_level 12\n radiosity { count 50 brightness 1.25 gray_threshold 0.65 }\n"
       " ambient_light 0\n}\n"},
      {3, 4,
       "global_settings {\n max_trace_level 12\n radiosity { count 200 brightness 1.50 gray_threshold 0.65 "
       "}\n"
       " ambient_light 0\n}\n"},
  };
  for (const auto& c : cases) {
    pov_settings.quality = c.quality;
    pov_settings.ambient = c.ambient;
    EXPECT_EQ(scene().substr(0, std::string(c.text).size()), c.text) << c.quality;
  }
}

// Materials named like POV-Ray keywords, or alike once made identifiers,
// are declared and used under names of their own.
TEST_F(PovScene, MaterialIdentifiersAreDeclaredOnceAndUsedAsDeclared) {
  ui.answers = {1, 1, 1, 1, 1};
  const char* names[] = {"box", "mat_box", "a b", "a-b", "Red"};
  double x = 0;
  for (const char* n : names) {
    add_cuboid(x, 0, 0, 1, 1, 1, n);
    x += 2;
  }
  const std::string text = scene();
  for (const char* id : {"mat_box_2", "mat_box", "a_b", "a_b_2", "Red"}) {
    EXPECT_EQ(count_of(text, std::string("\n#declare ") + id + " =\n"), 1) << id << "\n" << text;
    EXPECT_EQ(count_of(text, std::string("texture {") + id + "\n"), 1) << id << "\n" << text;
  }
  EXPECT_EQ(count_of(text, "#declare box "), 0);
}

// A textured material whose picture is missing is asked about once per
// export, and a missing preset once; both are then written plainly.
TEST_F(PovScene, MissingPictureAndPresetAskedOnceAndWrittenPlain) {
  dir.write("mat/Tiles", "1\n0\n0\n0\n1.000000\n0\n0\n0\n0\n0\n2\nmissing.png\n1\n0.5\n0.25\n0\n0\n0\n\n");
  add_cuboid(0, 0, 0, 1, 1, 1, "Tiles");
  add_cuboid(2, 0, 0, 1, 1, 1, "Nowhere");
  add_cuboid(4, 0, 0, 1, 1, 1, "Tiles");
  add_cuboid(6, 0, 0, 1, 1, 1, "Nowhere");
  pov_settings.command = "povray";
  ui.answers = {1, 1, 1, 1};  // perspective, all objects, then both questions
  ui.paths = {file("tiles.pov")};
  pov_export_file();
  EXPECT_TRUE(ui.answers.empty());
  EXPECT_EQ(ui.calls_starting("ask Image  > missing.png <  not found!").size(), 1u);
  EXPECT_EQ(ui.calls_starting("ask Material  > Nowhere <  not found!").size(), 1u);
  const std::string text = read_file(file("tiles.pov"));
  EXPECT_EQ(count_of(text, "image_map"), 0) << text;
  EXPECT_NE(
      text.find(
          "#declare Tiles =\ntexture {\npigment { color rgbt <1.000000,0.000000,0.000000,0.000000> }\n"),
      std::string::npos)
      << text;
  EXPECT_NE(
      text.find(
          "#declare Nowhere =\ntexture {\npigment { color rgbt <0.750000,0.750000,0.750000,0.000000> }\n"),
      std::string::npos)
      << text;
  EXPECT_EQ(count_of(text, "texture {Tiles\n"), 2);
  EXPECT_EQ(count_of(text, "texture {Nowhere\n"), 2);
}

TEST_F(PovScene, KeywordsGetThePrefix) {
  const struct {
    const char* name;
    const char* id;
  } cases[] = {{"aa_level", "mat_aa_level"}, {"z", "mat_z"},     {"plane", "mat_plane"},
               {"texture", "mat_texture"},   {"Plane", "Plane"}, {"planes", "planes"},
               {"xyz", "mat_xyz"},           {"box x", "box_x"}};
  mat_table_init();
  for (const auto& c : cases) {
    ui.answers = {1};
    mat_register(c.name);
  }
  const std::vector<std::string> ids = pov_identifiers();
  mat_table_free();
  ASSERT_EQ(ids.size(), std::size(cases));
  for (std::size_t i = 0; i < ids.size(); ++i) EXPECT_EQ(ids[i], cases[i].id);
}

TEST_F(PovScene, TexturesPlacedByMode) {
  add_cuboid(1, 2, 3, 2, 2, 2);
  add_wall(wall_corners(4, 0, 2.5), "brick");
  const struct {
    int mode;
    const char* mesh;
    const char* wall;
  } cases[] = {
      {0, "texture {Red\n}\n", "texture {mat_brick\n}\n"},
      {1, "texture {Red\ntranslate <1.000000000000,0.0,2.000000000000>\n}\n",
       "texture {mat_brick\nrotate -90*x\nrotate -0.000000*y\ntranslate "
       "<0.000000000000,0.000000000000,0.000000000000>\n}"},
      {5, "texture {Red\ntranslate <2.000000000000,4.000000000000,3.000000000000>\n}\n",
       "texture {mat_brick\ntranslate <2.000000000000,1.250000000000,0.150000000000>\n}\n"},
      {6, "translate <2.000000000000,4.000000000000,3.000000000000>\n}\n",
       "translate <2.000000000000,1.250000000000,0.150000000000>\n}\n"},
      {3, "texture {Red\n}\n", "texture {mat_brick\n}\n"},
  };
  for (const auto& c : cases) {
    mark_all();
    mat_table_init();
    mat_register("Red");
    mat_register("brick");
    for (int i = 0; i < mat_count; ++i) mat_table[i].texture_mode = c.mode;
    StringOut out;
    pov_write_scene(out, false);
    mat_table_free();
    const std::string text = out.text();
    EXPECT_NE(text.find(c.mesh), std::string::npos) << c.mode << "\n" << text;
    EXPECT_NE(text.find(c.wall), std::string::npos) << c.mode << "\n" << text;
  }
}

// The fixture scene of the render: two walls, one with a window and one
// (a little out of level) with a door, a glass cuboid, a spotlight whose
// shadow is 0.7 strong, a point light, the camera looking at them.
void render_fixture() {
  WallElem* w = add_wall(wall_corners(4, 0, 2.5), "brick");
  cut_opening(w, 1, 2.5, 0, 0.3, 0.9, 2.1);
  // Mirrored onto the y axis, so its corners run clockwise.
  std::vector<double> side = wall_corners(3, 0, 2.5);
  for (std::size_t i = 0; i < side.size(); i += 3) std::swap(side[i], side[i + 1]);
  side[2] += 0.002;
  add_wall(side, "brick");
  add_cuboid(1.5, -2.5, 0, 1, 1, 1, "Glas");
  add_cuboid(-3, -4, -0.2, 10, 8, 0.2, "plane");  // the floor, named like a keyword
  elem_new_light(0, 1, 0, LIGHT_SPOT, 1, 15, 40, 0.7, 3, -5, 5, 2, 0, 0, 1, 1, 1);
  elem_new_light(0, 1, 0, LIGHT_POINT, 0, 12, 0, 1, -2, -6, 3, 0, 0, 0, 0.5, 0.5, 0.5);
  elem_new_camera(0, 1, 0, 7, -8, 3.5, 1.5, 0, 1, 50, 0);
  camera_activate(elem_as<CameraElem>(elem_list_tail));
}

TEST_F(PovScene, FixtureSceneAsWritten) {
  render_fixture();
  pov_settings.sky = 1;
  pov_settings.clouds = 1;
  EXPECT_TRUE(golden_text_matches(scene(), KAVRO_TEST_DATA_DIR "/pov_scene.txt", KAVRO_TEST_OUTPUT_DIR));
  const std::string ortho = scene(true);
  EXPECT_NE(ortho.find("\ncamera\n{\n orthographic\n location <7.000000,3.500000,-8.000000>\n"),
            std::string::npos)
      << ortho;
}

// The exported fixture rendered by POV-Ray itself: it parses, ends well and
// draws something other than the background.
TEST_F(PovScene, RealPovRayRendersTheExport) {
  ASSERT_FALSE(process_find_program("povray").empty())
      << "povray is not installed (scripts/lib/setup.sh installs it)";
  render_fixture();
  pov_settings.sky = 1;
  pov_settings.clouds = 1;
  pov_settings.command = "povray";
  // The walls tiled with a picture from the user's texture folder.
  dir.write("mat/brick",
            "0.7\n0.5\n0.3\n0\n1.000000\n0\n0\n0\n0\n0.2\n1\ntiles.png\n1\n0.5\n0.5\n0\n0\n0\n\n");
  dir.make_folder("tex");
  cairo_surface_t* tiles = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 16, 16);
  cairo_t* cr = cairo_create(tiles);
  cairo_set_source_rgb(cr, 0.9, 0.85, 0.7);
  cairo_paint(cr);
  cairo_set_source_rgb(cr, 0.3, 0.3, 0.6);
  cairo_rectangle(cr, 0, 0, 8, 8);
  cairo_rectangle(cr, 8, 8, 8, 8);
  cairo_fill(cr);
  cairo_destroy(cr);
  ASSERT_EQ(cairo_surface_write_to_png(tiles, file("tex/tiles.png").c_str()), CAIRO_STATUS_SUCCESS);
  cairo_surface_destroy(tiles);
  ui.answers = {1, 1};  // perspective, all objects
  ui.paths = {file("house.pov")};
  pov_export(1);
  EXPECT_TRUE(nothing_marked());
  EXPECT_EQ(ui.calls_starting("error"), std::vector<std::string>{});
  ASSERT_TRUE(std::filesystem::exists(file("house.pov")));

  const std::string png = output("pov_house.png");
  std::filesystem::remove(png);
  const ToolRun run = tool({"povray", "+I" + file("house.pov"), "+W160", "+H120", "-D", "+O" + png});
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(run.out.find("Parse Error"), std::string::npos) << run.out;
  EXPECT_EQ(run.out.find("Possible Parse Error"), std::string::npos) << run.out;
  EXPECT_EQ(count_of(read_file(file("house.pov")), "image_map { png \"" + file("tex/tiles.png") + "\""), 1);

  cairo_surface_t* s = cairo_image_surface_create_from_png(png.c_str());
  ASSERT_EQ(cairo_surface_status(s), CAIRO_STATUS_SUCCESS) << png;
  EXPECT_EQ(cairo_image_surface_get_width(s), 160);
  EXPECT_EQ(cairo_image_surface_get_height(s), 120);
  cairo_surface_flush(s);
  const unsigned char* data = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  std::set<uint32_t> colours;
  for (int y = 0; y < 120; ++y)
    for (int x = 0; x < 160; ++x)
      colours.insert(*reinterpret_cast<const uint32_t*>(data + y * stride + 4 * x) & 0xFFFFFF);
  cairo_surface_destroy(s);
  EXPECT_GT(colours.size(), 20u) << "the picture is nearly one colour: " << png;
}

// PATH holds a private folder with a povray that writes its arguments, one
// a line, and its working folder into a pipe the test reads: reading waits
// for the program to end writing, without any timing.
class StubPovray {
 public:
  explicit StubPovray(const TempFolder& dir) : pipe_((dir / "args").string()) {
    if (const char* p = getenv("PATH")) saved_ = p;
    const std::string bin = (dir / "bin").string();
    std::filesystem::create_directories(bin);
    std::ofstream(bin + "/povray") << "#!/bin/sh\n{ pwd; printf '%s\\n' \"$@\"; } > '" << pipe_ << "'\n";
    chmod((bin + "/povray").c_str(), 0755);
    EXPECT_EQ(mkfifo(pipe_.c_str(), 0600), 0);
    setenv("PATH", (bin + ":/usr/bin:/bin").c_str(), 1);
  }
  ~StubPovray() { setenv("PATH", saved_.c_str(), 1); }
  StubPovray(const StubPovray&) = delete;
  StubPovray& operator=(const StubPovray&) = delete;

  // The working folder and the arguments, once the program has written them.
  std::vector<std::string> lines() const {
    std::ifstream in(pipe_);
    std::vector<std::string> out;
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
  }

 private:
  std::string pipe_;
  std::string saved_;
};

// Whether the words follow one another somewhere in the vector.
bool holds(const std::vector<std::string>& v, const std::string& words) {
  std::vector<std::string> w;
  std::istringstream in(words);
  for (std::string s; in >> s;) w.push_back(s);
  return std::search(v.begin(), v.end(), w.begin(), w.end()) != v.end();
}

TEST_F(PovScene, RenderStartsPovrayOnTheSceneInThePrivateFolder) {
  StubPovray stub(dir);
  add_cuboid(0, 0, 0, 1, 1, 1);
  elem_new_line(0, 1, 0, 0, 0, 5, 5);
  pov_settings.command = "x-povray";  // not there: povray takes its place
  pov_settings.resolution = 2;
  pov_settings.antialias = 1;
  pov_settings.save_image = 0;
  pov_settings.quality = 1;
  ui.answers = {1, 1};  // perspective; render without a light all the same
  pov_render();
  ASSERT_EQ(ui.calls_starting("error"), std::vector<std::string>{});
  EXPECT_EQ(ui.calls_starting("ask The scene"),
            std::vector<std::string>{"ask The scene has no light [OK] [Cancel]"});
  const std::vector<std::string> lines = stub.lines();
  ASSERT_GE(lines.size(), 2u);
  const std::string folder = temp_folder();
  EXPECT_EQ(lines[0], std::filesystem::canonical(folder).string());
  const std::vector<std::string> args(lines.begin() + 1, lines.end());
  EXPECT_EQ(args,
            (std::vector<std::string>{"+I\"" + folder + "/kavro.pov\"", "+P", "+D0", "+X100", "-V", "+SP32",
                                      "+EP4", "+W640", "+H480", "-F", "+Q9", "+R1", "+AM2", "+A0.3", "-J"}));
  EXPECT_TRUE(holds(args, "+W640 +H480") && holds(args, "+R1 +AM2 +A0.3 -J"));
  EXPECT_EQ(pov_settings.command.view(), "povray");
  EXPECT_TRUE(nothing_marked());
  const std::string text = read_file(folder + "/kavro.pov");
  EXPECT_EQ(count_of(text, "mesh2"), 1) << "the cuboid on the current layer";
}

// A scene without a light renders black: the render asks first, and Cancel
// starts nothing; with a light on a shown layer it does not ask.
TEST_F(PovScene, RenderOfASceneWithoutALightAsksFirst) {
  StubPovray stub(dir);
  add_cuboid(0, 0, 0, 1, 1, 1);
  pov_settings.save_image = 0;
  const std::string scene_file = temp_folder() + "/kavro.pov";
  std::filesystem::remove(scene_file);
  ui.answers = {1, 2};  // perspective; Cancel at the question
  pov_render();
  EXPECT_EQ(ui.calls_starting("ask The scene"),
            std::vector<std::string>{"ask The scene has no light [OK] [Cancel]"});
  EXPECT_FALSE(std::filesystem::exists(scene_file)) << "the scene was written for a render";
  EXPECT_TRUE(nothing_marked());

  ui.calls.clear();
  elem_new_light(0, 1, 0, LIGHT_POINT, 0, 12, 0, 1, -2, -6, 3, 0, 0, 0, 0.5, 0.5, 0.5);
  ui.answers = {1};
  pov_render();
  EXPECT_EQ(ui.calls_starting("ask The scene"), std::vector<std::string>{});
  EXPECT_FALSE(stub.lines().empty());  // waits for POV-Ray to write them
  EXPECT_TRUE(std::filesystem::exists(scene_file));
}

TEST_F(PovScene, RenderArgumentsBySettings) {
  pov_settings.command = "povray +L/usr/share/povray-3.7/include";
  const struct {
    int resolution, save, format, quality, antialias;
    const char* file;
    const char* words;  // after the fixed options
  } cases[] = {
      {0, 1, 0, 0, 0, "/out/a b.tga", "+W160 +H120 +FC +O\"/out/a b.tga\" +Q2"},
      {7, 1, 5, 3, 3, "/o.tga", "+W8192 +H6144 +FC +UA +O\"/o.tga\" +Q9 +R4 +AM2 +A0.1"},
      {3, 1, 6, 2, 2, "/o.ppm", "+W800 +H600 +FS +O\"/o.ppm\" +Q9 +R2 +AM2 +A0.1"},
      {1, 1, 3, 1, 0, "/o.png", "+W320 +H240 +FN16 +O\"/o.png\" +Q9"},
      {4, 0, 3, 1, 0, "/o.png", "+W1024 +H768 -F +Q9"},
  };
  for (const auto& c : cases) {
    pov_settings.resolution = c.resolution;
    pov_settings.save_image = c.save;
    pov_settings.output_format = c.format;
    pov_settings.quality = c.quality;
    pov_settings.antialias = c.antialias;
    pov_settings.output_file = c.file;
    const std::vector<std::string> argv = pov_run_argv("/t/kavro.pov");
    ASSERT_GE(argv.size(), 9u);
    EXPECT_EQ(std::vector<std::string>(argv.begin(), argv.begin() + 9),
              (std::vector<std::string>{"povray", "+L/usr/share/povray-3.7/include", "+I\"/t/kavro.pov\"",
                                        "+P", "+D0", "+X100", "-V", "+SP32", "+EP4"}));
    std::string rest;
    for (std::size_t i = 9; i < argv.size(); ++i) rest += (i > 9 ? " " : "") + argv[i];
    EXPECT_EQ(rest, c.words);
  }
  // A relative image name lies beside the drawing; without a drawing name,
  // in the folder the program was started in.
  pov_settings.save_image = 1;
  pov_settings.output_file = "kavro.tga";
  drawing_file = "/plans/house.kav";
  EXPECT_TRUE(holds(pov_run_argv("/t/kavro.pov"), "+O\"/plans/kavro.tga\""));
  drawing_file = "";
  const std::vector<std::string> argv = pov_run_argv("/t/kavro.pov");
  EXPECT_TRUE(holds(argv, "+O\"" + std::filesystem::current_path().string() + "/kavro.tga\"")) << argv.back();
  // A double quote cannot be passed.
  pov_settings.output_file = "/o/\"x\".tga";
  EXPECT_EQ(pov_run_argv("/t/kavro.pov"), std::vector<std::string>{});
}

// Where the rendered picture goes, with the real POV-Ray: a relative name
// beside the drawing, in a folder below it, without a suffix (POV-Ray adds
// its format's), or a whole path; each time the user is told where the
// picture is once the render has ended. A picture that cannot be written
// is said at once, with the reason, and nothing is rendered; one POV-Ray
// did not write is said after the render.
TEST_F(PovScene, RenderedPictureLandsBesideTheDrawingAndIsNamed) {
  ASSERT_FALSE(process_find_program("povray").empty())
      << "povray is not installed (scripts/lib/setup.sh installs it)";
  // The real POV-Ray, without the pause at the end that waits for the user.
  std::string saved_path;
  if (const char* p = getenv("PATH")) saved_path = p;
  const std::string bin = (dir / "bin").string();
  std::filesystem::create_directories(bin);
  std::ofstream(bin + "/povray") << "#!/bin/sh\nexec " << process_find_program("povray") << " \"$@\" -P -D\n";
  chmod((bin + "/povray").c_str(), 0755);
  setenv("PATH", (bin + ":" + saved_path).c_str(), 1);

  add_cuboid(0, 0, 0, 1, 1, 1);
  elem_new_light(0, 1, 0, LIGHT_POINT, 0, 12, 0, 1, -2, -6, 3, 0, 0, 0, 1, 1, 1);
  pov_settings.command = "povray";
  pov_settings.save_image = 1;
  pov_settings.resolution = 0;
  pov_settings.quality = 0;
  pov_settings.antialias = 0;
  dir.make_folder("plans/renders");
  dir.make_folder("elsewhere");
  const std::string plans = file("plans");
  struct Case {
    const char* what;
    std::string drawing, image;
    int format;
    std::string picture;  // where it lands; empty: nowhere
    std::string said;     // the start of the message or error
  };
  const Case cases[] = {
      {"beside the drawing", plans + "/house.kav", "kavro.tga", 0, plans + "/kavro.tga",
       "message Message: The rendered picture is saved as:\n" + plans + "/kavro.tga"},
      {"below the drawing", plans + "/house.kav", "renders/Haus 1.OG.png", 3,
       plans + "/renders/Haus 1.OG.png",
       "message Message: The rendered picture is saved as:\n" + plans + "/renders/Haus 1.OG.png"},
      {"without a suffix", plans + "/house.kav", "view", 2, plans + "/view.ppm",
       "message Message: The rendered picture is saved as:\n" + plans + "/view.ppm"},
      {"a whole path", plans + "/house.kav", file("elsewhere/a.tga"), 1, file("elsewhere/a.tga"),
       "message Message: The rendered picture is saved as:\n" + file("elsewhere/a.tga")},
      {"a missing folder", plans + "/house.kav", "missing/kavro.tga", 0, "",
       "error The rendered picture cannot be saved as:\n" + plans +
           "/missing/kavro.tga\nThe folder does not exist."},
      {"a folder's name", plans + "/house.kav", "renders", 0, "",
       "error The rendered picture cannot be saved as:\n" + plans +
           "/renders\nThis is a folder, not a file."},
      {"a folder POV-Ray cannot write", plans + "/house.kav", "/proc/kavro.tga", 0, "", "error "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    drawing_file = c.drawing;
    pov_settings.output_file = c.image;
    pov_settings.output_format = c.format;
    ui.calls.clear();
    ui.polls.clear();
    ui.answers = {1};  // perspective
    pov_render();
    // The main loop looks after the render until it has ended.
    if (!ui.polls.empty()) {
      bool done = false;
      for (int i = 0; i < 1200 && !done; ++i) {
        done = ui.polls.back()();
        if (!done) std::this_thread::sleep_for(std::chrono::milliseconds(50));
      }
      EXPECT_TRUE(done) << "the render did not end within a minute";
    }
    std::vector<std::string> said = ui.calls_starting("message");
    for (const std::string& e : ui.calls_starting("error")) said.push_back(e);
    ASSERT_EQ(said.size(), 1u) << ui.calls.size();
    EXPECT_EQ(said[0].rfind(c.said, 0), 0u) << said[0];
    if (!c.picture.empty()) {
      EXPECT_TRUE(std::filesystem::is_regular_file(c.picture));
      EXPECT_EQ(said[0], c.said);
    } else {
      EXPECT_TRUE(said[0].find(c.image.front() == '/' ? c.image : plans + "/" + c.image) != std::string::npos)
          << said[0];
    }
  }
  EXPECT_FALSE(std::filesystem::exists("/proc/kavro.tga"));
  setenv("PATH", saved_path.c_str(), 1);
}

TEST_F(PovScene, CancelsLeaveNoMarksAndWriteNothing) {
  StubPovray stub(dir);
  add_cuboid(0, 0, 0, 1, 1, 1);
  add_wall(wall_corners(4, 0, 2.5));
  elem_new_line(0, 1, 0, 0, 0, 5, 5);
  const std::string drawing = file("plan.kav");
  const struct {
    const char* what;
    std::deque<int> answers;
    std::deque<std::string> paths;
  } cases[] = {
      {"camera question", {3}, {}},
      {"camera question closed", {0}, {}},
      {"scope", {1, 4}, {}},
      {"chooser", {2, 1}, {"cancel"}},
      {"material question", {1, 1, 2}, {file("out.pov")}},
  };
  for (const auto& c : cases) {
    ui.answers = c.answers;
    ui.paths = c.paths;
    if (std::string(c.what) == "material question") std::filesystem::remove(dir / "mat/Red");
    pov_export_file();
    EXPECT_TRUE(ui.answers.empty() && ui.paths.empty()) << c.what;
    EXPECT_TRUE(nothing_marked()) << c.what;
    EXPECT_FALSE(std::filesystem::exists(file("out.pov"))) << c.what;
    // What a save writes comes back whole.
    ui.paths = {drawing};
    ASSERT_EQ(kavfile_save_drawing(0), 1) << c.what;
    ASSERT_EQ(kavfile_load_drawing(1, drawing.c_str()), 1) << c.what;
    EXPECT_EQ(elements().size(), 3u) << c.what;
  }
}

// POV-Ray takes a distance from 1e7 on as infinite, and a point that is no
// number was written as 0, a scene of another shape. Both the export and
// the render say why and write no scene: an exported file of the name
// stays as it was, and POV-Ray is not started.
TEST_F(PovScene, PointsPovRayCannotRenderWriteNoScene) {
  StubPovray stub(dir);
  pov_settings.command = "povray";
  pov_settings.save_image = 0;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    double x;
    bool written;
  } cases[] = {{nan, false}, {2e7, false}, {-1e308, false}, {5e6, true}};
  const std::string rendered = temp_folder() + "/kavro.pov";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.x);
    drawing_free();
    drawing_init();
    add_mesh({{1, 2, 3, 0}, {c.x, 2, 3, 0}, {4, 5, 3, 0}}, {3}, {0, 1, 2});
    elements()[0]->layer = cur_layer;
    const std::vector<std::string> refused = {
        "error The drawing has coordinates or sizes that POV-Ray files cannot hold.\nNothing was written."};
    dir.write("far.pov", "old");
    ui.calls.clear();
    ui.answers = {1, 1};  // perspective, all objects
    ui.paths = {file("far.pov")};
    pov_export_file();
    EXPECT_TRUE(nothing_marked());
    if (c.written) {
      EXPECT_TRUE(ui.calls_starting("error").empty());
      EXPECT_NE(read_file(file("far.pov")).find("<5000000.000000000000,3.000000000000,2.000000000000>"),
                std::string::npos);
      continue;
    }
    EXPECT_EQ(read_file(file("far.pov")), "old");
    EXPECT_EQ(ui.calls_starting("error"), refused);

    std::filesystem::remove(rendered);
    ui.calls.clear();
    ui.answers = {1, 1};  // perspective; render without a light all the same
    pov_render();
    EXPECT_TRUE(nothing_marked());
    EXPECT_EQ(ui.calls_starting("error"), refused);
    EXPECT_FALSE(std::filesystem::exists(rendered));
  }
}

TEST_F(PovScene, NoPovRayNoScene) {
  TempFolder empty;
  const std::string saved = getenv("PATH");
  setenv("PATH", empty.path().c_str(), 1);
  add_cuboid(0, 0, 0, 1, 1, 1);
  pov_settings.command = "povray";
  ui.answers = {1};
  pov_export_file();
  setenv("PATH", saved.c_str(), 1);
  EXPECT_EQ(ui.calls_starting("error").size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(file("out.pov")));
  EXPECT_EQ(ui.calls_starting("choose"), std::vector<std::string>{});
  EXPECT_TRUE(nothing_marked());
}

}  // namespace
