// POV-Ray textures and the search for the POV-Ray program: the declaration
// text of a material, and which program is found with what on PATH.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <string>

#include "exchange/out_text.h"
#include "exchange/pov_export.h"
#include "model/settings.h"
#include "support/model_fixture.h"
#include "support/recording_ui.h"
#include "support/temp_folder.h"

namespace {

class PovTexture : public ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    base_dir = "/home/u/KAVRO3/";
    pov_settings.quality = 1;
  }
  static std::string texture(const MaterialDef& def, const char* id = "Glas") {
    StringOut out;
    pov_write_texture(out, def, id);
    return out.text();
  }
  static MaterialDef textured(int mode, const char* image, int repeat = 0) {
    MaterialDef def;
    def.texture_mode = mode;
    def.image_file = image;
    def.repeat = repeat;
    def.size_x = 2;
    def.size_y = 0.5;
    def.offset_x = 0.25;
    def.offset_y = -1;
    return def;
  }
  // The image map line of a declaration, empty when there is none.
  static std::string image_map(const std::string& text) {
    const std::size_t at = text.find("pigment { image_map");
    return at == std::string::npos ? std::string() : text.substr(at, text.find('\n', at) - at);
  }
};

TEST_F(PovTexture, PlainMaterialDeclaration) {
  MaterialDef def;
  def.r = 0.5;
  def.g = 0.25;
  def.b = 1;
  def.transparency = 0.8;
  def.highlight = 0.3;
  def.reflection = 0.2;
  def.ambience = 0.4;
  def.refraction = 1;
  EXPECT_EQ(texture(def),
            "\n#declare Glas =\ntexture {\n"
            "pigment { color rgbt <0.500000,0.250000,1.000000,0.800000> }\n"
            "finish {\ndiffuse 0.900000\nspecular 0.300000\nreflection 0.200000\nambient 0.300000\n"
            "refraction 1 ior 1.40\n}\n}\n");
}

TEST_F(PovTexture, AmbientByQualityAndMetallic) {
  MaterialDef def;
  def.ambience = 0.5;
  def.metallic = 1;
  const struct {
    int quality;
    const char* ambient;
  } cases[] = {{0, "ambient 0.350000\n"},
               {1, "ambient 0.350000\n"},
               {2, "ambient 0.250000\n"},
               {3, "ambient 0.250000\n"}};
  for (const auto& c : cases) {
    pov_settings.quality = c.quality;
    const std::string text = texture(def);
    EXPECT_NE(text.find(std::string(c.ambient) + "brilliance 4\nmetallic\n}\n}\n"), std::string::npos)
        << c.quality << "\n"
        << text;
  }
}

TEST_F(PovTexture, ImageMapByTypeAndMode) {
  const struct {
    MaterialDef def;
    const char* map;  // "" for none
  } cases[] = {
      {textured(2, "wood.jpg"),
       "pigment { image_map { jpeg \"/home/u/KAVRO3/tex/wood.jpg\" map_type 0   once } scale <2.00, 0.50> "
       "translate <0.25, -1.00> rotate 90*y }"},
      {textured(1, "wall.tga", 1),
       "pigment { image_map { sys \"/home/u/KAVRO3/tex/wall.tga\" map_type 0    } scale <2.00, 0.50> "
       "translate <0.25, -1.00> rotate 90*x }"},
      {textured(4, "wall.tga"),
       "map_type 0   once } scale <2.00, 0.50> translate <0.25, -1.00> rotate 90*x }"},
      {textured(3, "leaf.png"),
       "pigment { image_map { png \"/home/u/KAVRO3/tex/leaf.png\" map_type 0 transmit 0, 1.0  once } "
       "scale <2.00, 0.50> translate <0.25, -1.00>  }"},
      {textured(5, "ball.jpg"), "map_type 1   once } scale <2.00, 0.50> translate <0.25, -1.00>  }"},
      {textured(6, "tube.jpg"), "map_type 2   once } scale <2.00, 0.50> translate <0.25, -1.00>  }"},
      // Too short to hold a type, an unknown type, or untextured: no map.
      {textured(2, "a.jpg"), ""},
      {textured(2, "wood.gif"), ""},
      {textured(0, "wood.jpg"), ""},
      // A quote in the name cannot end the string.
      {textured(3, "my \"best\".png"), "\"/home/u/KAVRO3/tex/my \\\"best\\\".png\" map_type 0"},
  };
  for (const auto& c : cases) {
    const std::string map = image_map(texture(c.def));
    if (*c.map == '\0')
      EXPECT_EQ(map, "") << c.def.image_file.c_str();
    else
      EXPECT_NE(map.find(c.map), std::string::npos) << c.def.image_file.c_str() << "\n" << map;
  }
}

TEST_F(PovTexture, SpecialFileLinesCopiedBeforeTheEnd) {
  TempFolder dir;
  dir.write("special.inc", "normal { bumps 0.4 scale 0.2 }\r\nfinish { phong 1 }");
  MaterialDef def;
  def.special = 1;
  def.special_path = (dir / "special.inc").string();
  const std::string text = texture(def, "Stone");
  EXPECT_NE(text.find("}\nnormal { bumps 0.4 scale 0.2 }\nfinish { phong 1 }\n}\n"), std::string::npos)
      << text;
  EXPECT_EQ(text.substr(text.size() - 21), "finish { phong 1 }\n}\n") << text;

  // A special file that does not open adds nothing; special 0 ignores it.
  def.special_path = (dir / "missing.inc").string();
  EXPECT_EQ(texture(def, "Stone"), texture(MaterialDef{}, "Stone"));
  def.special = 0;
  def.special_path = (dir / "special.inc").string();
  EXPECT_EQ(texture(def, "Stone"), texture(MaterialDef{}, "Stone"));
}

// PATH holds only a private folder of stub programs while the object lives.
class StubPath {
 public:
  StubPath() {
    if (const char* p = getenv("PATH")) saved_ = p;
    setenv("PATH", dir_.path().c_str(), 1);
  }
  ~StubPath() { setenv("PATH", saved_.c_str(), 1); }
  void program(const std::string& name) const {
    dir_.write(name, "#!/bin/sh\nexit 0\n");
    chmod((dir_ / name).c_str(), 0755);
  }
  std::string path(const std::string& name) const { return (dir_ / name).string(); }

 private:
  TempFolder dir_;
  std::string saved_;
};

class PovFind : public ModelTest {
 protected:
  RecordingUi ui;
  StubPath path;
};

TEST_F(PovFind, ConfiguredThenPovrayThenXPovray) {
  const struct {
    const char* configured;
    std::vector<std::string> on_path;
    int found;
    const char* command_after;
  } cases[] = {
      {"mypov +P", {"mypov", "povray"}, 1, "mypov +P"},
      {"mypov", {"povray", "x-povray"}, 1, "povray"},
      {"x-povray", {"povray"}, 1, "povray"},
      {"povray", {"x-povray"}, 1, "x-povray"},
      {"mypov 'open", {"povray"}, 1, "povray"},
      {"", {"x-povray"}, 1, "x-povray"},
      {"mypov", {}, 0, "mypov"},
  };
  for (const auto& c : cases) {
    StubPath stubs;
    for (const std::string& name : c.on_path) stubs.program(name);
    pov_settings.command = c.configured;
    ui.calls.clear();
    pov_found = 7;
    EXPECT_EQ(pov_find_command(), c.found) << c.configured;
    EXPECT_EQ(pov_found, c.found) << c.configured;
    EXPECT_EQ(pov_settings.command.view(), c.command_after) << c.configured;
    EXPECT_EQ(ui.calls_starting("error").size(), c.found ? 0u : 1u) << c.configured;
  }
  ASSERT_EQ(ui.calls_starting("error").size(), 1u);
  EXPECT_EQ(ui.calls_starting("error")[0].rfind("error Error: Can not execute the \"mypov\" command!\n", 0),
            0u)
      << ui.calls_starting("error")[0];
}

TEST_F(PovFind, ConfiguredPathIsFoundWhereItIs) {
  TempFolder elsewhere;
  elsewhere.write("bin/pov37", "#!/bin/sh\nexit 0\n");
  const std::string program = (elsewhere / "bin/pov37").string();
  chmod(program.c_str(), 0755);
  pov_settings.command = program;
  EXPECT_EQ(pov_find_command(), 1);
  EXPECT_EQ(pov_settings.command.view(), program);

  // Not executable: not a program, and nothing else is on PATH.
  chmod(program.c_str(), 0644);
  EXPECT_EQ(pov_find_command(), 0);
}

TEST_F(PovFind, ScenePathsInThePrivateFolder) {
  const std::string scene = pov_scene_path();
  const std::string render = pov_render_scene_path();
  ASSERT_FALSE(scene.empty());
  EXPECT_EQ(scene.substr(scene.rfind('/')), "/kavrop.pov");
  EXPECT_EQ(render.substr(render.rfind('/')), "/kavro.pov");
  EXPECT_EQ(scene.substr(0, scene.rfind('/')), render.substr(0, render.rfind('/')));
  struct stat st {};
  ASSERT_EQ(stat(scene.substr(0, scene.rfind('/')).c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 077, 0u) << "the folder is private";
}

}  // namespace
