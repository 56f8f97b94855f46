// Preset files: the bytes each kind writes, how lines are read back, the
// names that stay inside their folder, saving, loading and deleting.

#include "model/files/preset_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>

#include "model/settings.h"
#include "support/comma_locale.h"
#include "support/model_fixture.h"
#include "support/recording_ui.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

constexpr double PI = 3.141592653589793;

std::string read_file(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class PresetFiles : public ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    for (PresetKind k : preset_kinds) dia.make_folder(preset_kind_name(k));
    dialog_path = dia.path().string() + "/";
  }

  // Writes a preset file of the kind under the temporary dialog folder.
  void put(PresetKind kind, const std::string& name, const std::string& bytes) {
    dia.write(std::string(preset_kind_name(kind)) + "/" + name, bytes);
  }
  std::string file(PresetKind kind, const std::string& name) {
    return read_file(dia / (std::string(preset_kind_name(kind)) + "/" + name));
  }

  TempFolder dia;
};

struct DefaultFile {
  PresetKind kind;
  const char* bytes;
};

// The "Default" file of every kind, byte for byte.
const DefaultFile default_files[] = {
    {PresetKind::WALL, "Default\n0.365000\n0.000000\n2.750000\n0\n0\n"},
    {PresetKind::ROOM, "1.000000\n0.000000\n2.750000\n1\n1\n1\n1\n0\n0\n"},
    {PresetKind::TEXT, "Simpel\n1.500000\n1.000000\n0.100000\n0\n0\n"},
    {PresetKind::DIM, "Simpel\n0\n0\n1\n0\n2.500000\n0.100000\n1.000000\n1.500000\n1.000000\n0\n0\n"},
    {PresetKind::OPENING, "1\n1.000000\n1.510000\n0.062500\n0.115000\n"},
    {PresetKind::WINDOW, "1\n1.000000\n1.510000\n0.062500\n0.115000\n"},
    {PresetKind::DOOR, "1\n0.000000\n2.510000\n0.062500\n0.115000\n"},
    {PresetKind::MAT,
     "1.000000\n1.000000\n1.000000\n0.000000\n1.000000\n0.000000\n0.000000\n0\n0\n0.000000\n0\n\n0\n0."
     "000000\n"
     "0.000000\n0.000000\n0.000000\n0\n\n"},
    {PresetKind::PATTERN,
     "0\n0\n0\n0\n0.500000\n0.000000\n0.000000\n0.000000\n0\n0.000000\n0.000000\n0.000000\n"},
    {PresetKind::LIGHT, "0\n1\n6.000000\n20.000000\n1.000000\n1.000000\n1.000000\n0.000000\n"},
};

TEST_F(PresetFiles, DefaultsWriteTheShippedBytes) {
  for (const DefaultFile& d : default_files) {
    SCOPED_TRACE(preset_kind_name(d.kind));
    EXPECT_EQ(preset_format(preset_fields(d.kind)), d.bytes);
    const fs::path shipped = fs::path(KAVRO_GENERATED_DIR) / "dat/dia" / preset_kind_name(d.kind) / "Default";
    EXPECT_EQ(read_file(shipped), d.bytes) << shipped;
  }
}

TEST_F(PresetFiles, ShippedGlassIsATransparentRefractingMaterial) {
  const std::string bytes =
      read_file(fs::path(KAVRO_GENERATED_DIR) / "dat/dia/mat" / glazing_material.c_str());
  ASSERT_FALSE(bytes.empty());
  MaterialPreset m;
  m.special_text = "unchanged";
  EXPECT_EQ(preset_parse(bytes, preset_fields(m)), 19);
  EXPECT_GT(m.transparency, 0.5);
  EXPECT_EQ(m.refraction, 1);
  EXPECT_GT(m.b, m.r);
  EXPECT_EQ(m.special_text, "");
  EXPECT_EQ(preset_format(preset_fields(m)), bytes);
}

TEST_F(PresetFiles, WritersKeepThePointUnderACommaLocale) {
  DecimalCommaLocale comma;
  if (!comma.active()) GTEST_SKIP() << "no locale with a decimal comma";
  wall_preset.thickness = 0.24;
  EXPECT_EQ(preset_format(preset_fields(PresetKind::WALL)), "Default\n0.240000\n0.000000\n2.750000\n0\n0\n");
  put(PresetKind::WALL, "W", "Default\n0.5\n");
  wall_preset.name = "W";
  ASSERT_EQ(preset_load(PresetKind::WALL), 1);
  EXPECT_EQ(wall_preset.thickness, 0.5);
}

TEST_F(PresetFiles, PatternAnglesAreDegreesInTheFile) {
  pattern_preset.angle1 = PI / 4;
  pattern_preset.angle2 = -PI / 2;
  const std::string bytes = preset_format(preset_fields(pattern_preset));
  EXPECT_EQ(bytes,
            "0\n0\n0\n0\n0.500000\n45.000000\n0.000000\n-90.000000\n0\n0.000000\n0.000000\n0.000000\n");
  PatternPreset back;
  preset_parse(bytes, preset_fields(back));
  EXPECT_EQ(back.angle1, PI / 4);  // exactly
  EXPECT_EQ(back.angle2, -PI / 2);
}

// What reading a file gives, field by field, from groups holding other
// values first.
TEST_F(PresetFiles, ReadingLineByLine) {
  struct Case {
    const char* what;
    PresetKind kind;
    const char* bytes;
    void (*before)();
    void (*check)();
  };
  const Case cases[] = {
      {"a material without an image keeps its later lines in place", PresetKind::MAT,
       "0.5\n0.5\n0.5\n0\n1.000000\n0\n0\n0\n0\n0\n0\n\n1\n2.500000\n1.500000\n0.250000\n0.125000\n1\n\n",
       [] { material_preset.image_file = "old.png"; },
       [] {
         EXPECT_EQ(material_preset.image_file, "");
         EXPECT_EQ(material_preset.repeat, 1);
         EXPECT_EQ(material_preset.size_x, 2.5);
         EXPECT_EQ(material_preset.size_y, 1.5);
         EXPECT_EQ(material_preset.offset_x, 0.25);
         EXPECT_EQ(material_preset.offset_y, 0.125);
         EXPECT_EQ(material_preset.special, 1);
         EXPECT_EQ(material_preset.special_text, "");
       }},
      {"an 18-line material gives the special folder", PresetKind::MAT,
       "1\n1\n1\n0\n1\n0\n0\n0\n0\n0\n2\nwood.png\n0\n1\n1\n0\n0\n0\n",
       [] { material_preset.special_text = "x"; },
       [] {
         EXPECT_EQ(material_preset.texture_mode, 2);
         EXPECT_EQ(material_preset.image_file, "wood.png");
         EXPECT_EQ(material_preset.special_text, "dat/special/");
       }},
      {"the fifth material line is read and dropped", PresetKind::MAT, "0.1\n0.2\n0.3\n0.4\n7\n0.6\n", [] {},
       [] {
         EXPECT_EQ(material_preset.transparency, 0.4);
         EXPECT_EQ(material_preset.reflection, 0.6);
       }},
      {"a seven-line light gives full shadow intensity", PresetKind::LIGHT, "1\n0\n3\n45\n0.5\n0.25\n0.125\n",
       [] { light_preset.shadow_intensity = 0.3; },
       [] {
         EXPECT_EQ(light_preset.type, 1);
         EXPECT_EQ(light_preset.angle, 45.0);
         EXPECT_EQ(light_preset.b, 0.125);
         EXPECT_EQ(light_preset.shadow_intensity, 1.0);
       }},
      {"a bad number line stops the reading there", PresetKind::WALL, "Brick\n0.24\nabc\n3\n2\n1\n",
       [] {
         wall_preset.base = 0.5;
         wall_preset.pen = 4;
       },
       [] {
         EXPECT_EQ(wall_preset.material, "Brick");
         EXPECT_EQ(wall_preset.thickness, 0.24);
         EXPECT_EQ(wall_preset.base, 0.5);
         EXPECT_EQ(wall_preset.height, 2.75);
         EXPECT_EQ(wall_preset.pen, 4);
         EXPECT_EQ(wall_preset.line_type, 0);
       }},
      {"a number with more after it is no number", PresetKind::OPENING, "3\n1.5m\n2\n", [] {},
       [] {
         EXPECT_EQ(opening_preset.symbol_variant, 3);
         EXPECT_EQ(opening_preset.base, 1.0);
         EXPECT_EQ(opening_preset.height, 1.51);
       }},
      {"a broken light keeps its intensity", PresetKind::LIGHT, "1\nx\n",
       [] { light_preset.shadow_intensity = 0.3; },
       [] {
         EXPECT_EQ(light_preset.type, 1);
         EXPECT_EQ(light_preset.shadow, 1);
         EXPECT_EQ(light_preset.shadow_intensity, 0.3);
       }},
      {"CR LF line ends", PresetKind::TEXT, "Rund\r\n2.0\r\n0.8\r\n0.2\r\n3\r\n1\r\n", [] {},
       [] {
         EXPECT_EQ(text_preset.font, "Rund");
         EXPECT_EQ(text_preset.line_spacing, 2.0);
         EXPECT_EQ(text_preset.width, 0.8);
         EXPECT_EQ(text_preset.pen, 3);
         EXPECT_EQ(text_preset.line_type, 1);
       }},
      {"CRs at a line's end are no part of its text", PresetKind::WALL, "Brick\r\r\n0.3\r\r\n", [] {},
       [] {
         EXPECT_EQ(wall_preset.material, "Brick");
         EXPECT_EQ(wall_preset.thickness, 0.3);
       }},
      {"a font is one word of at most 20 bytes", PresetKind::DIM, "  Averyveryverylongfontname extra\n2\n",
       [] {},
       [] {
         EXPECT_EQ(dim_preset.font, "Averyveryverylongfon");
         EXPECT_EQ(dim_preset.chain_pen, 2);
       }},
      {"an empty font line is no font", PresetKind::TEXT, "\n9\n", [] {},
       [] {
         EXPECT_EQ(text_preset.font, "Simpel");
         EXPECT_EQ(text_preset.line_spacing, 1.5);
       }},
      {"a wall material is cut to 39 bytes", PresetKind::WALL,
       "Stone with a rather long name of many bytes\n", [] {},
       [] { EXPECT_EQ(wall_preset.material, "Stone with a rather long name of many b"); }},
      {"the last line may lack its line end", PresetKind::ROOM, "2\n0.1\n3\n0\n0\n0\n0\n5\n6", [] {},
       [] {
         EXPECT_EQ(room_preset.factor, 2.0);
         EXPECT_EQ(room_preset.show_area, 0);
         EXPECT_EQ(room_preset.pen, 5);
         EXPECT_EQ(room_preset.line_type, 6);
       }},
      {"an integer out of range is no number", PresetKind::DOOR, "99999999999\n0.5\n", [] {},
       [] {
         EXPECT_EQ(door_preset.symbol_variant, 1);
         EXPECT_EQ(door_preset.base, 0.0);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    model_state_reset();
    c.before();
    preset_parse(c.bytes, preset_fields(c.kind));
    c.check();
  }
  // A NUL byte ends a text: a font that is empty before it is no font (kept,
  // it would be saved as an empty line that stops the next reading).
  model_state_reset();
  preset_parse(std::string_view("\0Rund\n9\n", 8), preset_fields(PresetKind::TEXT));
  EXPECT_EQ(text_preset.font, "Simpel");
  EXPECT_EQ(text_preset.line_spacing, 1.5);
  preset_parse(std::string_view("Ru\0nd\n9\n", 8), preset_fields(PresetKind::TEXT));
  EXPECT_EQ(text_preset.font, "Ru");
  EXPECT_EQ(text_preset.line_spacing, 9.0);
  preset_parse(std::string_view("Tile\r\0x\n0.5\n", 12), preset_fields(PresetKind::WALL));
  EXPECT_EQ(wall_preset.material, "Tile");
  EXPECT_EQ(wall_preset.thickness, 0.5);
}

TEST_F(PresetFiles, MaterialRoundTripKeepsEmptyTexts) {
  material_preset.texture_mode = 0;
  material_preset.image_file = "";
  material_preset.size_x = 2.5;
  material_preset.name = "M1";
  ASSERT_EQ(preset_save(PresetKind::MAT), 1);
  const std::string bytes = file(PresetKind::MAT, "M1");
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 19);
  EXPECT_EQ(bytes.substr(0, 36), "1.000000\n1.000000\n1.000000\n0.000000\n");
  EXPECT_EQ(bytes.substr(36, 9), "1.000000\n");

  model_state_reset();
  dialog_path = dia.path().string() + "/";
  material_preset.image_file = "stale.png";
  material_preset.name = "M1";
  ASSERT_EQ(preset_load(PresetKind::MAT), 1);
  EXPECT_EQ(material_preset.size_x, 2.5);
  EXPECT_EQ(material_preset.image_file, "");
  EXPECT_EQ(material_preset.special_text, "");
}

TEST_F(PresetFiles, NamesStayInsideTheirFolder) {
  struct Case {
    const char* name;
    bool ok;
  };
  const Case cases[] = {
      {"W1", true},
      {"with blanks", true},
      {"Default", true},
      {"ä-ö", true},
      {"", false},
      {".", false},
      {"..", false},
      {"../x", false},
      {"a/b", false},
      {"/etc", false},
      {"...", true},
      {"123456789012345678901234567890123456789", true},
      {"1234567890123456789012345678901234567890", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(preset_name_ok(c.name), c.ok);
    EXPECT_EQ(preset_path(PresetKind::WALL, c.name).empty(), !c.ok);
  }
  dialog_path = "./dat/dia/";
  EXPECT_EQ(preset_path(PresetKind::MAT, "Glas"), "./dat/dia//mat/Glas");
}

TEST_F(PresetFiles, SaveWritesTheFileOfTheCurrentName) {
  RecordingUi ui;
  wall_preset.name = "W1";
  wall_preset.thickness = 0.24;
  ASSERT_EQ(preset_save(PresetKind::WALL), 1);
  EXPECT_EQ(file(PresetKind::WALL, "W1"), "Default\n0.240000\n0.000000\n2.750000\n0\n0\n");
  // Saving again replaces the file whole, leaving nothing beside it.
  wall_preset.thickness = 0.3;
  ASSERT_EQ(preset_save(PresetKind::WALL), 1);
  EXPECT_EQ(file(PresetKind::WALL, "W1"), "Default\n0.300000\n0.000000\n2.750000\n0\n0\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dia / "wall"), fs::directory_iterator()), 1);
  EXPECT_TRUE(ui.calls.empty());
}

TEST_F(PresetFiles, SaveRefusesWhatItCannotWrite) {
  RecordingUi ui;
  testing::internal::CaptureStdout();
  pattern_preset.name = "../escape";
  EXPECT_EQ(preset_save(PresetKind::PATTERN), 0);
  fs::remove_all(dia / "light");
  light_preset.name = "L";
  EXPECT_EQ(preset_save(PresetKind::LIGHT), 0);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_FALSE(fs::exists(dia / "escape"));
  EXPECT_NE(out.find("*" + dia.path().string() + "//pattern/../escape* error\n"), std::string::npos) << out;
  EXPECT_NE(out.find("*" + dia.path().string() + "//light/L* error\n"), std::string::npos) << out;
  EXPECT_EQ(ui.calls, (std::vector<std::string>{"error Cannot open file", "error Cannot open file"}));
}

TEST_F(PresetFiles, LoadChangesNothingWithoutAFile) {
  door_preset.height = 3.0;
  for (const char* name : {"missing", "", "../door/Default", "folder"}) {
    SCOPED_TRACE(name);
    dia.make_folder("door/folder");
    door_preset.name = name;
    EXPECT_EQ(preset_load(PresetKind::DOOR), 0);
    EXPECT_EQ(door_preset.height, 3.0);
  }
  put(PresetKind::MAT, "con", "0\n0\n0\n");
  material_preset.name = "con";
  EXPECT_EQ(preset_load(PresetKind::MAT), 0);
  EXPECT_EQ(material_preset.r, 1.0);
}

TEST_F(PresetFiles, StartUpLoadsEveryKindsCurrentPreset) {
  for (const DefaultFile& d : default_files) put(d.kind, "Default", d.bytes);
  put(PresetKind::WALL, "Default", "Lehm\n0.5\n");
  put(PresetKind::LIGHT, "Default", "1\n0\n2\n30\n1\n0\n0\n0.5\n");
  const WallPreset wall_before = wall_preset;
  preset_load_all();
  EXPECT_EQ(wall_preset.material, "Lehm");
  EXPECT_EQ(wall_preset.thickness, 0.5);
  EXPECT_EQ(wall_preset.height, wall_before.height);
  EXPECT_EQ(light_preset.type, 1);
  EXPECT_EQ(light_preset.g, 0.0);
  EXPECT_EQ(light_preset.shadow_intensity, 0.5);
  EXPECT_EQ(preset_format(preset_fields(PresetKind::DIM)), default_files[3].bytes);
}

// A preset file made by hand or by an older program may hold values no
// dialog takes: each is brought into its variable's range (to the nearer
// limit, or to the fallback where the range lies above a limit) and one
// note per file counts them. 0 stays where it means none.
TEST_F(PresetFiles, ValuesOutsideTheirRangeAreBroughtIntoItWithANote) {
  RecordingUi ui;
  struct Case {
    PresetKind kind;
    const char* bytes;
    std::function<std::vector<double>()> values;
    std::vector<double> expected;
    const char* note;  // empty: none
  };
  const Case cases[] = {
      {PresetKind::WALL,
       "Default\n-1\n-2000\n2000\n0\n0\n",
       [] {
         return std::vector<double>{wall_preset.thickness, wall_preset.base, wall_preset.height};
       },
       {1.0, -1000.0, 1000.0},
       "error Preset wall/P: 3 values lay outside their range and were brought into it."},
      {PresetKind::TEXT,
       "Simpel\n0\n1\n0.1\n0\n0\n",
       [] { return std::vector<double>{text_preset.line_spacing}; },
       {1.5},
       "error Preset text/P: 1 value lay outside its range and was brought into it."},
      {PresetKind::DIM,
       "Simpel\n0\n0\n1\n0\n1e9\n0.1\n-4\n1.5\n1\n0\n0\n",
       [] {
         return std::vector<double>{dim_preset.figure_size, dim_preset.figure_width};
       },
       {1000.0, 1.0},
       "error Preset dim/P: 2 values lay outside their range and were brought into it."},
      {PresetKind::PATTERN,
       "0\n0\n0\n0\n0\n720\n0\n-45\n0\n0\n0\n0\n",
       [] {
         return std::vector<double>{pattern_preset.spacing1, pattern_preset.angle1, pattern_preset.spacing2,
                                    pattern_preset.angle2};
       },
       {0.001, 2 * PI, 0.0, -PI / 4},
       "error Preset pattern/P: 2 values lay outside their range and were brought into it."},
      {PresetKind::LIGHT,
       "0\n1\n-6\n20\n1\n1\n1\n0\n",
       [] { return std::vector<double>{light_preset.size}; },
       {0.0},
       "error Preset light/P: 1 value lay outside its range and was brought into it."},
      {PresetKind::MAT,
       "1\n1\n1\n0\n1\n0\n0\n0\n0\n0\n0\n\n0\n0\n-2\n5000\n0\n0\n\n",
       [] {
         return std::vector<double>{material_preset.size_x, material_preset.size_y, material_preset.offset_x};
       },
       {0.0, 0.001, 1000.0},
       "error Preset mat/P: 2 values lay outside their range and were brought into it."},
      {PresetKind::DOOR,
       "1\n0\n2.01\n0\n0.1\n",
       [] {
         return std::vector<double>{door_preset.height, door_preset.stop_width};
       },
       {2.01, 0.0},
       ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(preset_kind_name(c.kind));
    ui.calls.clear();
    put(c.kind, "P", c.bytes);
    preset_name(c.kind) = "P";
    ASSERT_EQ(preset_load(c.kind), 1);
    EXPECT_EQ(c.values(), c.expected);
    EXPECT_EQ(ui.calls, c.note[0] ? std::vector<std::string>{c.note} : std::vector<std::string>{});
  }
}

// The presets shipped with the program hold what their fields take, or 0
// where it means none: loading them says nothing and changes nothing.
TEST_F(PresetFiles, ShippedPresetsLoadWithoutANote) {
  RecordingUi ui;
  const fs::path shipped = fs::path(KAVRO_GENERATED_DIR) / "dat/dia";
  for (const auto& folder : fs::directory_iterator(shipped))
    for (const auto& entry : fs::directory_iterator(folder.path())) {
      const std::string name = entry.path().filename().string();
      const std::optional<PresetKind> kind = preset_kind_of(folder.path().filename().string());
      ASSERT_TRUE(kind.has_value()) << folder.path();
      SCOPED_TRACE(entry.path().string());
      const std::string bytes = read_file(entry.path());
      put(*kind, name, bytes);
      preset_name(*kind) = name;
      ASSERT_EQ(preset_load(*kind), 1);
      EXPECT_EQ(preset_format(preset_fields(*kind)), bytes);
    }
  EXPECT_TRUE(ui.calls.empty()) << ui.calls[0];
}

// A dialog takes any size above 0, however small; six decimals would save
// it as 0, which the next loading refuses. Such a value is saved with the
// digits that read back as itself; values six decimals hold keep them.
TEST_F(PresetFiles, TinyValuesADialogTakesAreSavedLoadable) {
  RecordingUi ui;
  wall_preset.name = "W";
  wall_preset.thickness = 4e-7;
  wall_preset.height = 1e-12;
  wall_preset.base = 1e-9;  // a base may be 0: six decimals do
  ASSERT_EQ(preset_save(PresetKind::WALL), 1);
  EXPECT_EQ(file(PresetKind::WALL, "W"), "Default\n0.0000004\n0.000000\n0.000000000001\n0\n0\n");
  wall_preset.thickness = wall_preset.height = 5;
  ASSERT_EQ(preset_load(PresetKind::WALL), 1);
  EXPECT_EQ(wall_preset.thickness, 4e-7);
  EXPECT_EQ(wall_preset.height, 1e-12);
  EXPECT_EQ(wall_preset.base, 0.0);
  EXPECT_TRUE(ui.calls.empty());
}

TEST_F(PresetFiles, DeleteRemovesOnlyThatFile) {
  put(PresetKind::ROOM, "Default", default_files[1].bytes);
  put(PresetKind::ROOM, "R1", "2\n");
  dia.write("R1", "outside");
  room_preset.name = "Default";
  EXPECT_EQ(preset_delete(PresetKind::ROOM), PresetDelete::KEPT);
  EXPECT_TRUE(fs::exists(dia / "room/Default"));
  room_preset.name = "../R1";
  EXPECT_EQ(preset_delete(PresetKind::ROOM), PresetDelete::REFUSED);
  EXPECT_TRUE(fs::exists(dia / "R1"));
  room_preset.name = "R1";
  EXPECT_EQ(preset_delete(PresetKind::ROOM), PresetDelete::REMOVED);
  EXPECT_FALSE(fs::exists(dia / "room/R1"));
  EXPECT_TRUE(fs::exists(dia / "R1"));
  // A name whose file is gone already is deleted all the same.
  EXPECT_EQ(preset_delete(PresetKind::ROOM), PresetDelete::REMOVED);
}

}  // namespace
