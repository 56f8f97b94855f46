// The Radiance render end to end with stand-in tools first on PATH: each
// records its arguments, working folder and input and writes what the real
// one would leave for the next step. The starter waits for the background
// chain here, so every step has run when the command returns.

#include "exchange/rad_render.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "exchange/material_table.h"
#include "export_fixture.h"
#include "model/consts.h"
#include "model/settings.h"
#include "platform/process.h"
#include "platform/temp_folder.h"
#include "rad_scene_check.h"
#include "support/test_records.h"
#include "support/wall_fixture.h"

namespace {

namespace fs = std::filesystem;

ProcessResult start_and_wait(const ProcessRequest& request) {
  ProcessRequest waited = request;
  waited.wait = true;
  return process_start_real(waited);
}

constexpr const char* SKY =
    "# sky of the stand-in\nvoid brightfunc skyfunc\n2 skybr skybright.cal\n0\n7 1 2 3 4 5 6 7\n";

class RadRender : public ExportTest {
 protected:
  void SetUp() override {
    ExportTest::SetUp();
    const char* path = std::getenv("PATH");
    saved_path_ = path ? path : "";
    setenv("PATH", (file("bin") + ":" + saved_path_).c_str(), 1);
    previous_starter_ = process_starter_install(start_and_wait);

    dialog_path = file("dia");
    base_dir = file("base") + "/";
    // Lines: r g b transparency 1 reflection highlight refraction metallic
    // ambience texture image repeat sizes offsets special path.
    dir.write("dia/mat/brick", "0.7\n0.3\n0.2\n0\n1.000000\n0.1\n0.2\n0\n0\n0\n0\n\n0\n1\n1\n0\n0\n0\n\n");
    dir.write("dia/mat/3ds box", "0.5\n0.5\n0.5\n0\n1.000000\n0\n0\n0\n0\n0\n0\n\n0\n1\n1\n0\n0\n0\n\n");
    dir.write("dia/mat/Tint", "0.2\n0.4\n0.6\n0.5\n1.000000\n0.5\n0.2\n0\n0\n0\n0\n\n0\n1\n1\n0\n0\n0\n\n");
    dir.write("dia/mat/Glas", "0.5\n0.6\n0.7\n0.8\n1.000000\n0.2\n0.3\n1\n1\n0\n0\n\n0\n1\n1\n0\n0\n0\n\n");
    for (int mode = 1; mode <= 6; ++mode)
      dir.write("dia/mat/Wood" + std::to_string(mode), "0.8\n0.6\n0.4\n0\n1.000000\n0\n0\n0\n0\n0\n" +
                                                           std::to_string(mode) +
                                                           "\noak.png\n1\n2\n2\n0\n0\n0\n\n");
    dir.write("base/tex/oak.png", "picture");

    stub("gensky", std::string("printf '") + escaped(SKY) + "'");
    stub("oconv", "printf 'octree of %s\\n' \"$1\"");
    stub("rzoconv", "printf 'z octree of %s\\n' \"$1\"");
    stub("rad", "printf 'picture\\n' > kavro_a.pic");
    stub("radz", "printf 'picture\\n' > kavro_a.pic");
    stub("ra_ppm", "printf 'P3 of %s\\n' \"$1\"");
    stub("viewer", "");

    rad_settings = RadSettings{};
    rad_settings.viewer = "viewer --new-window";
    view_camera = ViewCamera{};
    folder_ = rad_work_folder();
    ASSERT_FALSE(folder_.empty());
  }
  void TearDown() override {
    process_starter_install(previous_starter_);
    setenv("PATH", saved_path_.c_str(), 1);
    temp_folder_remove();
    ExportTest::TearDown();
  }

  static std::string escaped(const std::string& s) {
    std::string out;
    for (char c : s) out += c == '\n' ? std::string("\\n") : std::string(1, c);
    return out;
  }

  // A stand-in: one log line "name args | cwd=... | stdin=...", then body.
  void stub(const std::string& name, const std::string& body) const {
    dir.write("bin/" + name, "#!/bin/sh\n{ printf '%s' " + name +
                                 "; for a in \"$@\"; do printf ' %s' \"$a\"; done; "
                                 "printf ' | cwd=%s | stdin=%s\\n' \"$(pwd)\" \"$(cat)\"; } >> '" +
                                 file("log") + "'\n" + body + "\n");
    ::chmod(file("bin/" + name).c_str(), 0700);
  }

  std::vector<std::string> log() const {
    std::vector<std::string> lines;
    std::istringstream in(read_file(dir / "log"));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  std::string in_folder(const std::string& call) const { return call + " | cwd=" + folder_ + " | stdin="; }
  std::string scene() const { return read_file(fs::path(folder_) / "kavro.rad"); }
  std::string control() const { return read_file(fs::path(folder_) / "kavro.rif"); }

  // Two triangles of the material at z 0..h over x 0..w, y 0..d.
  static void two_triangles(const char* material, double w = 2.0, double d = 1.0, double h = 0.5,
                            int layer = 0) {
    int32_t sizes[] = {3, 3};
    Point3 v[] = {{0, 0, 0}, {w, 0, 0}, {w, d, h}, {0, d, h}};
    int32_t idx[] = {0, 1, 2, 2, 3, 0};
    elem_new_mesh(layer, 1, 0, 4, 2, sizes, v, idx, material, 0);
  }
  static void white_light(double x, double y, double z) {
    elem_new_light(0, 1, 0, 0, 0, 0.5, 20, 0, x, y, z, x, y, z - 1, 1, 1, 1);
  }
  static void room(double x0, double y0, double x1, double y1, double base, double top) {
    RoomElem r = test_room(x0, y0, {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}, CONTOUR_END});
    r.base_z = base;
    r.top_z = top;
    elem_append(r);
  }
  static bool no_temporary_meshes() {
    for (ElemHeader* e : elements())
      if (e->layer == LAYER_TEMP_3D) return false;
    return true;
  }

  std::string saved_path_;
  ProcessStartFn previous_starter_ = nullptr;
  std::string folder_;
};

TEST_F(RadRender, RunsTheToolsInTurnOnTheScene) {
  rad_settings.sky = 5;  // cloudy
  rad_settings.time = 12.0;
  rad_settings.latitude = 50.0;
  two_triangles("3ds box");
  white_light(1, 1, 2.5);
  new_axis_wall();
  ui.answers = {1};  // perspective

  rad_render(0);

  const std::string ppm = folder_ + "/kavro_a.ppm";
  EXPECT_EQ(log(), (std::vector<std::string>{
                       in_folder("gensky 7 1 12:00 -a 50 -c"),
                       in_folder("oconv kavro.rad"),
                       in_folder("rad kavro.rif"),
                       in_folder("ra_ppm kavro_a.pic"),
                       in_folder("viewer --new-window " + ppm),
                   }));
  EXPECT_EQ(ui.calls_starting("error"), std::vector<std::string>{});
  // The redirections: the sky after the header, the octree and the pixmap
  // from the tools' output.
  const std::string text = scene();
  std::ofstream(output("radiance_scene.rad")) << text;
  std::ofstream(output("radiance_scene.rif")) << control();
  EXPECT_EQ(
      text.rfind(std::string("#Radiance file written by Kavro\n\n") + SKY + "skyfunc glow skyglow\n", 0), 0u)
      << text;
  EXPECT_EQ(read_file(fs::path(folder_) / "kavro.oct"), "octree of kavro.rad\n");
  EXPECT_EQ(read_file(ppm), "P3 of kavro_a.pic\n");

  EXPECT_EQ(rad_check_scene(text), std::vector<std::string>{}) << text;
  EXPECT_NE(text.find("void plastic mat_3ds_box\n"), std::string::npos);
  EXPECT_NE(text.find("mat_3ds_box polygon poly.0\n0\n0\n9\n"), std::string::npos);
  EXPECT_NE(text.find("mat_3ds_box polygon poly.1\n0\n0\n9\n"), std::string::npos);
  EXPECT_NE(text.find("void plastic brick\n"), std::string::npos);
  EXPECT_NE(text.find("brick polygon poly.2\n"), std::string::npos) << "the wall as polygons";
  EXPECT_NE(text.find("void light bright.0\n0\n0\n3 7.500000 7.500000 7.500000\n"), std::string::npos);
  EXPECT_NE(text.find("bright.0 sphere lamp.0\n0\n0\n4 1.0000 1.0000 2.5000 0.1\n"), std::string::npos);
  EXPECT_NE(control().find("view= a -vp 0.00 -100.00 2.00 -vd 0.00 100.00 0.00 -vh 60.00 -vv 45.00\n"),
            std::string::npos)
      << control();
  EXPECT_EQ(control().find("PICTURE="), std::string::npos);
  // Saving writes the unmarked elements: nothing may stay marked.
  EXPECT_TRUE(nothing_marked());
  EXPECT_TRUE(no_temporary_meshes());
}

TEST_F(RadRender, RadzillaUsesItsToolsAndLinearView) {
  two_triangles("3ds box");
  ui.answers = {2};  // linear

  rad_render(1);

  EXPECT_EQ(log(), (std::vector<std::string>{
                       in_folder("rzoconv kavro.rad"),
                       in_folder("radz kavro.rif"),
                       in_folder("ra_ppm kavro_a.pic"),
                       in_folder("viewer --new-window " + folder_ + "/kavro_a.ppm"),
                   }));
  const std::string rif = control();
  EXPECT_EQ(rif.rfind("OCTREE= kavro.oct\nview= a -vtl -vp ", 0), 0u) << rif;
  EXPECT_NE(rif.find("PICTURE= kavro\nrender= -ab 2 -ad 4 -Dc on\npfilt= -1 -b -x /2 -y /2\n"),
            std::string::npos);
  // No sky: no generator and no glow.
  EXPECT_EQ(scene().find("glow"), std::string::npos);
}

// Every material kind and texture mode, walls, lights and meshes: the
// scene reads as Radiance primitives with the counts each type takes.
TEST_F(RadRender, EveryPrimitiveHasItsCounts) {
  rad_settings.sky = 1;
  for (const char* m :
       {"3ds box", "Tint", "Glas", "Wood1", "Wood2", "Wood3", "Wood4", "Wood5", "Wood6", "nowhere"})
    two_triangles(m);
  new_axis_wall();
  white_light(0, 0, 3);
  white_light(4, 0, 3);
  ui.answers = {1, 1};  // perspective; the missing material's default

  rad_render(0);

  const std::string text = scene();
  EXPECT_EQ(rad_check_scene(text), std::vector<std::string>{}) << text;
  EXPECT_NE(text.find("void trans Tint\n0\n0\n7 0.20 0.40 0.60 0.10 0.40 0.50 0.20 \n"), std::string::npos);
  EXPECT_NE(text.find(base_dir.c_str() + std::string("tex/oak.png picture.cal tile_u tile_v")),
            std::string::npos);
  EXPECT_EQ(ui.calls_starting("ask Material  > nowhere <  not found!").size(), 1u);
  EXPECT_EQ(log().size(), 5u);
}

TEST_F(RadRender, ZoneOfTheLaterRoomElseOfTheRenderedElements) {
  struct Case {
    const char* name;
    bool rooms;
    int scene;
    const char* zone;
  };
  const Case cases[] = {
      {"two rooms", true, 0, "ZONE= I 3.00 6.00 1.00 2.00 0.50 3.00\n"},
      {"exterior", true, 1, "ZONE= E 3.00 6.00 1.00 2.00 0.50 3.00\n"},
      // Without a room: the box of the mesh, the wall and the light (with
      // its target), not of the hidden layer's mesh.
      {"no room", false, 0, "ZONE= I 0.00 5.00 -0.12 1.50 0.00 4.00\n"},
  };
  for (const Case& c : cases) {
    elem_free_all();
    std::filesystem::remove(file("log"));
    two_triangles("3ds box", 2.0, 1.5, 0.5);
    new_axis_wall();
    white_light(1, 1, 4);
    layers[5].shown = 0;
    two_triangles("3ds box", 50.0, 50.0, 50.0, 5);
    if (c.rooms) {
      room(0, 0, 4, 4, 0, 2.5);
      room(3, 1, 6, 2, 0.5, 3);
    }
    rad_settings.scene = c.scene;
    ui.answers = {1};
    rad_render(0);
    EXPECT_NE(control().find(c.zone), std::string::npos) << c.name << "\n" << control();
    EXPECT_TRUE(nothing_marked()) << c.name;
    EXPECT_EQ(log().size(), 4u) << c.name;
  }
}

// Each way out before the tools run leaves no mark, no temporary mesh and
// no tool started.
TEST_F(RadRender, CancelledQuestionsEndWithoutTools) {
  const struct {
    const char* name;
    std::deque<int> answers;
    const char* material;
  } cases[] = {
      {"view cancelled", {3}, "3ds box"},
      {"view closed", {0}, "3ds box"},
      {"material cancelled", {1, 2}, "nowhere"},
  };
  for (const auto& c : cases) {
    elem_free_all();
    two_triangles(c.material);
    new_axis_wall();
    ui.answers = c.answers;
    rad_render(0);
    EXPECT_TRUE(ui.answers.empty()) << c.name;
    EXPECT_FALSE(fs::exists(dir / "log")) << c.name;
    EXPECT_TRUE(nothing_marked()) << c.name;
    EXPECT_TRUE(no_temporary_meshes()) << c.name;
    EXPECT_EQ(mat_count, 0) << c.name;
  }
}

// A missing tool is named before anything is asked or written; the sky
// generator is needed only with a sky.
TEST_F(RadRender, MissingToolsAreNamedBeforeAnythingHappens) {
  const struct {
    const char* missing;
    int sky;
    int mode;
    bool renders;
  } cases[] = {
      {"oconv", 0, 0, false}, {"rad", 0, 0, false},    {"ra_ppm", 0, 0, false}, {"viewer", 0, 0, false},
      {"radz", 0, 1, false},  {"gensky", 3, 0, false}, {"gensky", 0, 0, true},  {"rzoconv", 0, 0, true},
  };
  two_triangles("3ds box");
  for (const auto& c : cases) {
    fs::rename(dir / "bin" / c.missing, dir / "hidden");
    ui.calls.clear();
    std::filesystem::remove(file("log"));
    rad_settings.sky = c.sky;
    ui.answers = {1};
    rad_render(c.mode);
    const auto errors = ui.calls_starting("error");
    if (c.renders) {
      EXPECT_EQ(errors, std::vector<std::string>{}) << c.missing;
      EXPECT_TRUE(fs::exists(dir / "log")) << c.missing;
    } else {
      ASSERT_EQ(errors.size(), 1u) << c.missing;
      EXPECT_NE(errors[0].find(std::string("Cannot find the program ") + c.missing + "."), std::string::npos)
          << errors[0];
      EXPECT_EQ(ui.calls_starting("ask"), std::vector<std::string>{}) << c.missing;
      EXPECT_FALSE(fs::exists(dir / "log")) << c.missing;
    }
    EXPECT_TRUE(nothing_marked()) << c.missing;
    fs::rename(dir / "hidden", dir / "bin" / c.missing);
  }
}

// A point that is no number went out as 0, a scene of another shape, and
// Radiance takes distances this far out as infinite: the render says why,
// leaves no scene and starts no tool. A lamp whose power overflows is the
// same.
TEST_F(RadRender, PointsAndSizesRadianceCannotHoldRenderNothing) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    const char* what;
    double x;          // of a corner of the mesh
    double lamp_x;     // of the lamp's position
    double lamp_size;  // its power grows with the square
    bool rendered;
  } cases[] = {
      {"a corner at no number", nan, 1, 0.5, false},   {"a corner at 2e7 m", 2e7, 1, 0.5, false},
      {"a corner at -1e308 m", -1e308, 1, 0.5, false}, {"a lamp at no number", 0, nan, 0.5, false},
      {"a lamp of size 1e200", 0, 1, 1e200, false},    {"a corner at 9e6 m", 9e6, 1, 0.5, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    drawing_free();
    drawing_init();
    std::filesystem::remove(file("log"));
    ui.calls.clear();
    two_triangles("3ds box", c.x);
    white_light(c.lamp_x, 1, 2.5);
    elem_as<LightElem>(elem_list_tail)->light_size = c.lamp_size;
    ui.answers = {1};  // perspective
    rad_render(0);
    EXPECT_TRUE(nothing_marked());
    if (c.rendered) {
      EXPECT_EQ(ui.calls_starting("error"), std::vector<std::string>{});
      EXPECT_NE(scene().find("9000000.00000000 0.00000000 0.00000000\n"), std::string::npos) << scene();
      continue;
    }
    EXPECT_EQ(
        ui.calls_starting("error"),
        std::vector<std::string>{"error The drawing has coordinates or sizes that Radiance files cannot "
                                 "hold.\nNothing was written."});
    EXPECT_EQ(log(), std::vector<std::string>{});
    EXPECT_FALSE(fs::exists(fs::path(folder_) / "kavro.rad"));
  }
}

TEST_F(RadRender, AFailingStepStopsTheRest) {
  two_triangles("3ds box");
  stub("oconv", "exit 3");
  ui.answers = {1};
  rad_render(0);
  EXPECT_EQ(log(), std::vector<std::string>{in_folder("oconv kavro.rad")});
  EXPECT_EQ(ui.calls_starting("error"), std::vector<std::string>{"error oconv ended with an error"});

  // A failing render: no conversion and no viewer.
  stub("oconv", "printf 'octree\\n'");
  stub("rad", "exit 1");
  std::filesystem::remove(file("log"));
  ui.answers = {1};
  rad_render(0);
  EXPECT_EQ(log(), (std::vector<std::string>{in_folder("oconv kavro.rad"), in_folder("rad kavro.rif")}));
}

// The next render starts without the files of the one before; other files
// in the folder stay.
TEST_F(RadRender, RemovesOnlyTheFilesOfTheRenderBefore) {
  for (const char* name : {"kavro.amb", "kavro_a.pic", "kavro_a.ppm", "notes.txt"})
    std::ofstream(fs::path(folder_) / name) << "old";
  two_triangles("3ds box");
  stub("rad", "");
  stub("ra_ppm", "");
  ui.answers = {3};  // cancelled: the old files are gone all the same
  rad_render(0);
  EXPECT_FALSE(fs::exists(fs::path(folder_) / "kavro.amb"));
  EXPECT_FALSE(fs::exists(fs::path(folder_) / "kavro_a.pic"));
  EXPECT_FALSE(fs::exists(fs::path(folder_) / "kavro_a.ppm"));
  EXPECT_EQ(read_file(fs::path(folder_) / "notes.txt"), "old");
}

}  // namespace
