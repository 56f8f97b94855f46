// The Radiance texts one by one: materials with their formulas, lights,
// polygons, the control file and the sky generator's arguments.

#include "exchange/rad_writer.h"

#include <gtest/gtest.h>

#include "exchange/out_text.h"
#include "rad_scene_check.h"

namespace {

MaterialDef material(const char* id, double r, double g, double b) {
  MaterialDef m;
  m.name = id;
  m.identifier = id;
  m.r = r;
  m.g = g;
  m.b = b;
  return m;
}

std::string material_text(const MaterialDef& m) {
  StringOut out;
  rad_write_material(out, m, "/home/u/KAVRO3/tex/");
  return out.text();
}

TEST(RadMaterial, EachKindWithItsFormulas) {
  MaterialDef plastic = material("Wall", 1.0, 0.5, 0.25);
  plastic.reflection = 0.5;
  plastic.highlight = 0.2;
  MaterialDef tinted = plastic;
  tinted.identifier = "Tint";
  tinted.transparency = 0.5;
  MaterialDef glass = material("Glas", 0.5, 0.6, 0.7);
  glass.transparency = 0.8;
  glass.refraction = 1;
  MaterialDef steel = material("Steel", 0.3, 0.3, 0.4);
  steel.metallic = 1;
  steel.reflection = 0.5;
  steel.highlight = 0.2;
  MaterialDef both = glass;
  both.identifier = "Both";
  both.metallic = 1;
  const struct {
    MaterialDef m;
    const char* text;
  } cases[] = {
      {plastic, "void plastic Wall\n0\n0\n5 1.00 0.50 0.25 0.10 0.40\n\n\n"},
      // Transparent, neither glass nor metal: seven values, the sixth the
      // transparency.
      {tinted, "void trans Tint\n0\n0\n7 1.00 0.50 0.25 0.10 0.40 0.50 0.20 \n\n\n"},
      {glass, "void glass Glas\n0\n0\n3 0.90 0.92 0.94\n\n\n"},
      {steel, "void metal Steel\n0\n0\n5 0.30 0.30 0.40 0.75 0.40\n\n\n"},
      {both,
       "void glass Both\n0\n0\n3 0.90 0.92 0.94\n\nvoid metal Both\n0\n0\n5 0.50 0.60 0.70 0.50 0.50\n\n\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(material_text(c.m), c.text) << c.m.identifier.c_str();
}

// A textured material puts a picture pattern under its definition; every
// texture mode writes the four orientation words the count announces.
TEST(RadMaterial, PicturePatternByTextureMode) {
  MaterialDef m = material("Wood", 0.8, 0.6, 0.4);
  m.image_file = "oak.png";
  m.size_x = 2.0;
  m.offset_x = 0.5;
  m.offset_y = 0.25;
  m.repeat = 1;
  m.texture_mode = 2;
  EXPECT_EQ(material_text(m),
            "void colorpict Wood_pattern\n"
            "17 clip_r clip_g clip_b /home/u/KAVRO3/tex/oak.png picture.cal tile_u tile_v -s 2.000000 "
            "-t 0.500000 0.250000 0.0 -rx 90 -rz 90 0\n"
            "1 1\n\n"
            "Wood_pattern\n plastic Wood\n0\n0\n5 0.80 0.60 0.40 0.00 0.50\n\n\n");

  const struct {
    int mode;
    const char* words;
  } modes[] = {{1, "-rx 0 -rz 0"}, {2, "-rx 90 -rz 90"}, {3, "-rx 90 -rz 0"},
               {4, "-rx 0 -rz 0"}, {5, "-rx 0 -rz 0"},   {6, "-rx 0 -rz 0"}};
  m.repeat = 0;
  for (const auto& c : modes) {
    m.texture_mode = c.mode;
    const std::string text = material_text(m);
    EXPECT_NE(text.find(std::string(" 0.0 ") + c.words + " 0\n"), std::string::npos) << c.mode << "\n"
                                                                                     << text;
    EXPECT_NE(text.find(" pic_u pic_v "), std::string::npos) << c.mode;
    EXPECT_EQ(rad_check_scene(text), std::vector<std::string>{}) << c.mode << "\n" << text;
  }

  // A picture whose path holds a blank cannot be one word: no pattern.
  m.image_file = "old oak.png";
  EXPECT_EQ(material_text(m), "void plastic Wood\n0\n0\n5 0.80 0.60 0.40 0.00 0.50\n\n\n");
}

TEST(RadMaterial, PicturesComeFromTheUsersTextureFolder) {
  const struct {
    const char* base;
    const char* dir;
  } cases[] = {{"/home/u/KAVRO3/", "/home/u/KAVRO3/tex/"}, {"/home/u/KAVRO3", "/home/u/KAVRO3/tex/"}};
  for (const auto& c : cases) {
    base_dir = c.base;
    EXPECT_EQ(rad_texture_dir(), c.dir) << c.base;
  }
  base_dir = "";
}

TEST(RadScene, LightIsAGlowingSphereOfItsPosition) {
  LightElem light;
  light.light_size = 0.5;
  light.position = Point3{1.0, 2.0, 3.25};
  StringOut out;
  rad_write_light(out, 3, light);
  EXPECT_EQ(out.text(),
            "void light bright.3\n0\n0\n3 7.500000 7.500000 7.500000\n\n"
            "bright.3 sphere lamp.3\n0\n0\n4 1.0000 2.0000 3.2500 0.1\n\n");
}

TEST(RadScene, EveryFaceIsAPolygonNumberedAcrossMeshes) {
  MeshElem mesh;
  mesh.vertices = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0.5}, {0, 1, 0.5}};
  mesh.face_sizes = {3, 3};
  mesh.indices = {0, 1, 2, 2, 3, 0};
  StringOut out;
  int next = 0;
  rad_write_polygons(out, mesh, "mat_3ds_box", &next);
  EXPECT_EQ(out.text(),
            "mat_3ds_box polygon poly.0\n0\n0\n9\n"
            "0.00000000 0.00000000 0.00000000\n1.00000000 0.00000000 0.00000000\n"
            "1.00000000 1.00000000 0.50000000\n\n"
            "mat_3ds_box polygon poly.1\n0\n0\n9\n"
            "1.00000000 1.00000000 0.50000000\n0.00000000 1.00000000 0.50000000\n"
            "0.00000000 0.00000000 0.00000000\n\n");
  EXPECT_EQ(next, 2);

  // A quad stays one polygon; a face with a corner outside the vertices or
  // with two corners is left out, and the numbering goes on.
  MeshElem broken;
  broken.vertices = mesh.vertices;
  broken.face_sizes = {4, 3, 2, 3};
  broken.indices = {0, 1, 2, 3, 0, 1, 9, 0, 1, 1, 2, 3};
  StringOut more;
  rad_write_polygons(more, broken, "Glas", &next);
  EXPECT_EQ(next, 4);
  const std::string text = more.text();
  EXPECT_NE(text.find("Glas polygon poly.2\n0\n0\n12\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Glas polygon poly.3\n0\n0\n9\n1.00000000 0.00000000"), std::string::npos) << text;
}

TEST(RadControl, LinesOfBothCommandsAndViews) {
  RadJob job;
  job.camera.eye_x = 1.0;
  job.camera.eye_y = -10.0;
  job.camera.eye_z = 1.7;
  job.camera.target_x = 2.0;
  job.camera.target_y = 0.0;
  job.camera.target_z = 1.2;
  job.camera.view_angle = 60.0;
  job.zone = RadZone{-1, 5, -2, 4, 0, 2.75};
  job.settings.resolution = 2;
  job.settings.quality = 2;
  job.settings.detail = 0;
  job.settings.variability = 1;
  job.settings.indirect = 1;
  StringOut out;
  rad_write_rif(out, job);
  EXPECT_EQ(out.text(),
            "OCTREE= kavro.oct\n"
            "view= a -vp 1.00 -10.00 1.70 -vd 1.00 10.00 -0.50 -vh 60.00 -vv 45.00\n"
            "ZONE= I -1.00 5.00 -2.00 4.00 0.00 2.75\n"
            "AMBFILE=kavro.amb\n"
            "REPORT= 0.1666\n"
            "RESOLUTION= 640 480 0\n"
            "QUALITY= HIGH\n"
            "INDIRECT= 1\n"
            "DETAIL= LOW\n"
            "VARIABILITY= MEDIUM\n");

  // The Radzilla command names the picture and its options; a linear view,
  // an exterior scene, soft shadows and the largest picture.
  job.mode = 1;
  job.view_type = RAD_VIEW_LINEAR;
  job.settings.scene = 1;
  job.settings.shadows = 1;
  job.settings.resolution = 7;
  StringOut z;
  rad_write_rif(z, job);
  const std::string text = z.text();
  for (const char* line : {"view= a -vtl -vp 1.00 -10.00 1.70 ", "ZONE= E -1.00", "RESOLUTION= 8192 6144 0\n",
                           "PENUMBRAS= TRUE\n",
                           "VARIABILITY= MEDIUM\nPICTURE= kavro\nrender= -ab 2 -ad 4 -Dc on\n"
                           "pfilt= -1 -b -x /2 -y /2\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
}

TEST(RadSky, GeneratorArgumentsBySkyHourAndLatitude) {
  using Argv = std::vector<std::string>;
  const struct {
    int sky;
    double time, latitude;
    Argv argv;
  } cases[] = {
      {5, 12.0, 50.0, {"gensky", "7", "1", "12:00", "-a", "50", "-c"}},
      {1, 9.6, -33.4, {"gensky", "7", "1", "10:00", "-a", "-33", "+s"}},
      {2, 8.0, 0.0, {"gensky", "7", "1", "8:00", "-a", "0", "-s"}},
      {3, 8.0, 10.0, {"gensky", "7", "1", "8:00", "-a", "10", "+i"}},
      {4, 8.0, 10.0, {"gensky", "7", "1", "8:00", "-a", "10", "-i"}},
      {6, 8.0, 10.0, {"gensky", "7", "1", "8:00", "-a", "10", "-u"}},
      {0, 12.0, 50.0, {}},
      {7, 12.0, 50.0, {}},
  };
  for (const auto& c : cases) {
    RadSettings s;
    s.sky = c.sky;
    s.time = c.time;
    s.latitude = c.latitude;
    EXPECT_EQ(rad_gensky_argv(s), c.argv) << c.sky;
  }
}

// The checker itself must see a miscount: a pattern announcing 17 words
// that holds 15 shifts everything after it.
TEST(RadSceneCheck, FindsMiscountedAndUndefinedPrimitives) {
  const std::string sound =
      "# comment\nvoid plastic a\n0\n0\n5 1 1 1 0 0\n\na polygon p\n0\n0\n9 0 0 0 1 0 0 1 1 0\n";
  EXPECT_EQ(rad_check_scene(sound), std::vector<std::string>{});
  const struct {
    const char* text;
    const char* problem;
  } cases[] = {
      {"void colorpict a_pattern\n17 clip_r clip_g clip_b x.png picture.cal pic_u pic_v -s 1 -t 0 0 0.0 0\n"
       "1 1\n\na_pattern\n plastic a\n0\n0\n5 1 1 1 0 0\n",
       "a_pattern"},
      {"void trans t\n0\n0\n5 1 1 1 0 0\n", "trans t"},
      {"b polygon p\n0\n0\n9 0 0 0 1 0 0 1 1 0\n", "undefined modifier b"},
      {"void plastic a\n0\n0\n5 1 1 1 0 x\n", "real argument"},
      {"void cone c\n0\n0\n8 0 0 0 0 0 1 1 0\n", "unknown type cone"},
  };
  for (const auto& c : cases) {
    const std::vector<std::string> problems = rad_check_scene(c.text);
    ASSERT_FALSE(problems.empty()) << c.text;
    EXPECT_NE(problems[0].find(c.problem), std::string::npos) << problems[0];
  }
}

}  // namespace
