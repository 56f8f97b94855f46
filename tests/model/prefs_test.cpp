// Settings chunks, settings files and the first start.

#include "model/files/prefs.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <limits>

#include "model/file_test_util.h"
#include "model/files/kavfile.h"
#include "model/files/load_save.h"
#include "model/layers.h"
#include "model/scale_ladder.h"
#include "model/settings.h"
#include "support/model_fixture.h"
#include "support/recording_ui.h"

namespace fs = std::filesystem;

namespace {

using Prefs = ModelTest;

// The built-in defaults and an empty drawing, as at start-up.
void fresh_defaults() {
  drawing_free();
  main_init_defaults();
}

ByteVec operator+(ByteVec a, const ByteVec& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// The tags and sizes of a chunk file after its header.
std::vector<std::pair<std::string, uint32_t>> chunk_list(const ByteVec& file) {
  std::vector<std::pair<std::string, uint32_t>> out;
  for (std::size_t at = 12; at + 8 <= file.size();) {
    const uint32_t size = (file[at + 4] << 24) | (file[at + 5] << 16) | (file[at + 6] << 8) | file[at + 7];
    out.emplace_back(
        std::string(file.begin() + static_cast<long>(at), file.begin() + static_cast<long>(at) + 4), size);
    at += 8 + size;
  }
  return out;
}

TEST_F(Prefs, SettingsFileHoldsTheChunksInOrder) {
  std::vector<std::pair<std::string, uint32_t>> expected = {{"PSNP", 40}};
  for (int i = 0; i < 8; ++i) expected.emplace_back("PPEN", 113);
  for (int i = 0; i < 8; ++i) expected.emplace_back("PLIN", 138);
  const std::pair<const char*, uint32_t> rest[] = {
      {"PPO2", 392}, {"PPR3", 324}, {"PHP3", 1200}, {"PDXF", 16}, {"PFLT", 12},
      {"PTEE", 16},  {"PVIW", 20},  {"PROD", 88},   {"PMSC", 32}, {"PMS2", 12},
      {"PDI2", 8},   {"PCOL", 72},  {"PLOP", 1536}, {"PASR", 16}, {"PBAK", 8}};
  for (auto [tag, size] : rest) expected.emplace_back(tag, size);
  const ByteVec file = written_by(prefs_write_settings_file);
  EXPECT_EQ(hex(file, 0, 12), hex(kavw_header()));
  EXPECT_EQ(chunk_list(file), expected);
  std::size_t total = 12;
  for (auto& [tag, size] : expected) total += 8 + size;
  EXPECT_EQ(file.size(), total);

  // The installation's default settings are exactly these bytes.
  const fs::path shipped = fs::path(KAVRO_GENERATED_DIR) / "dat/prefs/default.prefs";
  EXPECT_EQ(file_bytes(shipped), file) << shipped;
}

TEST_F(Prefs, SettingsChunkLayouts) {
  pens[2].name = "Thin";
  pens[2].width = 0.2;
  pens[2].r = 0.5;
  const LineTypeDef& t = line_types[3];  // DASHDOT: dashes and gaps alternate
  // clang-format off
  const ByteVec pen = Bytes().chunk("PPEN", 113).at(0).u8(2).at(1).text("Thin", 80).at(81).f64(0.2)
                          .at(89).f64(0.5).at(97).f64(0.06).at(105).f64(0.06).at(113);
  const ByteVec line = Bytes().chunk("PLIN", 138).at(0).u8(3).at(1).text("DASHDOT", 80).at(81).f64(t.period)
                           .at(89).u8(2).at(90).f64(3.9).at(98).f64(1.5).at(106).f64(0.1).at(114).f64(1.5)
                           .at(122).f64(0).at(130).f64(0).at(138);
  drawing_scale = 50;
  cur_layer = 12;
  view_type = 2;
  length_unit = 3;
  const ByteVec pmsc = Bytes().chunk("PMSC", 32).at(0).f64(50).at(8).i32(12).at(12).i32(2).at(16).i32(1)
                           .at(20).i32(3).at(24).i32(1).at(28).i32(1).at(32);
  // clang-format on
  const ByteVec file = written_by(kavfile_write_settings);
  auto contains = [&file](const ByteVec& part) {
    return std::search(file.begin(), file.end(), part.begin(), part.end()) != file.end();
  };
  EXPECT_TRUE(contains(pen));
  EXPECT_TRUE(contains(line));
  EXPECT_TRUE(contains(pmsc));
}

// Changes a setting of every settings chunk away from its default.
void change_every_setting() {
  snap_size = 9;
  snap_use_arc_points = 0;
  pens[5].width = 0.66;
  line_types[7].name = "DOTTY";
  line_types[7].pairs = 1;
  line_types[7].dash[0] = 0.2;
  pov_settings.quality = 3;
  pov_settings.command = "povray +P";
  pov_settings.output_file = "scene.tga";
  pov_settings.ambient = 2;
  print_settings.margin_top = 1.25;
  print_settings.command = "lp -d office";
  print_settings.printer_name = "office";
  print_settings.paper_index = 6;
  plot_settings.plotter_type = 2;
  plot_settings.command = "lp -d plotter";
  plot_settings.file = "out.hpgl";
  plot_settings.plotter_name = "big";
  dxf_settings.export_unit = 2;
  select_filter.mode = 3;
  text_use_editor[2] = 1;
  view_options.all_black = 1;
  room_units.volume_text = "m3";
  drawing_scale = 20;
  angle_unit = 2;
  size_unit = 3;
  dim_settings.accuracy_architecture = 3;
  display_colors.guide.g = 0.5;
  draw_path = "/home/u/plans/";
  help_browser = "firefox";
  screen_aspect.width = 12.5;
  backup_interval = 15;
}

TEST_F(Prefs, SettingsFileRoundTrip) {
  change_every_setting();
  const ByteVec file = written_by(prefs_write_settings_file);
  fresh_defaults();
  const ReadResult r = read_file_bytes(file, 0, KAV_READ_SETTINGS_FILE);
  EXPECT_EQ(r.report.damaged + r.report.unknown, 0);
  EXPECT_EQ(written_by(prefs_write_settings_file), file);
  EXPECT_EQ(print_settings.command, "lp -d office");
  EXPECT_EQ(draw_path, "/home/u/plans/");
  EXPECT_EQ(backup_interval, 15);
}

TEST_F(Prefs, DrawingsLendSettingsButNoCommandsFoldersOrBackup) {
  change_every_setting();
  print_settings.command = "touch /tmp/pwned";
  const ByteVec settings = written_by(prefs_write_settings_file);
  ByteVec drawing = settings;
  drawing.insert(drawing.end(), {'L', 'I', 'N', 'E', 0, 0, 0, 38});
  drawing.insert(drawing.end(), 38, 0);
  fresh_defaults();
  const ReadResult r = read_file_bytes(drawing);  // read as a drawing
  EXPECT_EQ(r.report.damaged + r.report.unknown, 0);
  EXPECT_EQ(elem_count(), 1);
  // Taken: pens, line types, snap and the other settings.
  EXPECT_DOUBLE_EQ(pens[5].width, 0.66);
  EXPECT_EQ(line_types[7].name, "DOTTY");
  EXPECT_EQ(snap_size, 9);
  EXPECT_EQ(print_settings.printer_name, "office");
  EXPECT_EQ(plot_settings.plotter_name, "big");
  EXPECT_DOUBLE_EQ(drawing_scale, 20);
  // Not taken: what the program runs or writes to, the folders, screen and backup.
  EXPECT_EQ(print_settings.command, "lpr");
  EXPECT_EQ(plot_settings.command, "lpr -Pgeneric_hpgl");
  EXPECT_EQ(plot_settings.file, "kavro.hpgl");
  EXPECT_EQ(pov_settings.command, "x-povray");
  EXPECT_EQ(pov_settings.output_file, "kavro.tga");
  EXPECT_EQ(draw_path, "./dat/draw/");
  EXPECT_EQ(help_browser, "");
  EXPECT_DOUBLE_EQ(screen_aspect.width, 10);
  EXPECT_EQ(backup_interval, 5);

  // A settings file lends no elements.
  drawing_reset();
  read_file_bytes(drawing, 0, KAV_READ_SETTINGS_FILE);
  EXPECT_EQ(elem_count(), 0);
  EXPECT_EQ(print_settings.command, "touch /tmp/pwned");  // the user's own file is trusted
}

TEST_F(Prefs, OutOfRangeValuesKeepTheCurrentOnes) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  ByteVec file = kavw_header();
  file = file + Bytes().chunk("PMSC", 32).f64(0).i32(5000).i32(12).i32(3).i32(9).i32(0).i32(0).bytes();
  file = file + Bytes().chunk("PMS2", 12).i32(0).i32(5).i32(2).bytes();
  file = file + Bytes().chunk("PLIN", 138).u8(1).text("X", 80).f64(1).u8(4).zeros(48).bytes();
  file = file + Bytes().chunk("PPEN", 113).u8(9).text("Nine", 80).f64(9).f64(1).f64(1).f64(1).bytes();
  file = file + Bytes().chunk("PDXF", 16).i32(4).i32(3).i32(-1).i32(5).bytes();
  file = file + Bytes().chunk("PDI2", 8).i32(5).i32(-1).bytes();
  file = file + Bytes().chunk("PROD", 88).i32(5).text("A", 40).i32(2).text("V", 40).bytes();
  Bytes ppr3;
  ppr3.chunk("PPR3", 324);
  for (int i = 0; i < 7; ++i) ppr3.f64(nan);
  ppr3.i32(2).i32(1).text("x", 128).text("p", 128).i32(14);
  file = file + ppr3.bytes();
  file = file + Bytes().chunk("PBAK", 8).i32(0).i32(0).bytes();
  read_file_bytes(file, 0, KAV_READ_SETTINGS_FILE);
  EXPECT_DOUBLE_EQ(drawing_scale, 100);
  EXPECT_EQ(cur_layer, 0);
  EXPECT_EQ(view_type, 0);
  EXPECT_EQ(angle_unit, 1);
  EXPECT_EQ(length_unit, 0);
  EXPECT_EQ(dim_settings.link, 0);  // the valid neighbours are read
  EXPECT_EQ(size_unit, 0);
  EXPECT_EQ(paper_unit, 0);
  EXPECT_EQ(line_types[1].name, "X");
  EXPECT_EQ(line_types[1].pairs, 1);
  for (int i = 0; i < PEN_COUNT; ++i) EXPECT_NE(pens[i].name, "Nine");
  EXPECT_EQ(dxf_settings.export_mode, 0);
  EXPECT_EQ(dxf_settings.export_scope, 0);
  EXPECT_EQ(dxf_settings.import_unit, 0);
  EXPECT_EQ(dxf_settings.export_unit, 0);
  EXPECT_EQ(dim_settings.accuracy, 4);
  EXPECT_EQ(dim_settings.accuracy_architecture, 2);
  EXPECT_EQ(room_units.area_unit, 0);
  EXPECT_EQ(room_units.volume_unit, 2);
  EXPECT_EQ(print_settings.orientation, 0);
  EXPECT_EQ(print_settings.colour, 1);
  EXPECT_EQ(print_settings.paper_index, 0);
  // Measures that are no number take their usual value.
  EXPECT_EQ(print_settings.margin_top, 0.0);
  EXPECT_EQ(print_settings.paper_width, 21.0);
  EXPECT_EQ(print_settings.scale, 100.0);
  EXPECT_EQ(autobackup, 0);
  EXPECT_EQ(backup_interval, 5);
}

TEST_F(Prefs, LengthUnitChoosesTheScaleLadder) {
  auto pmsc = [](int unit) {
    return kavw_header() +
           Bytes().chunk("PMSC", 32).f64(100).i32(0).i32(0).i32(1).i32(unit).i32(1).i32(1).bytes();
  };
  read_file_bytes(pmsc(5));
  EXPECT_DOUBLE_EQ(scale_ladder[12], 1.0 / 6.0);  // the imperial steps
  read_file_bytes(pmsc(2));
  EXPECT_DOUBLE_EQ(scale_ladder[12], 0.1);  // the metric steps
}

TEST_F(Prefs, OldSettingsChunksFillWhatTheyLack) {
  print_settings.printer_name = "office";
  print_settings.paper_index = 5;
  print_settings.colour = 1;
  plot_settings.plotter_name = "big";
  plot_settings.paper_index = 3;
  pov_settings.ambient = 4;
  dim_settings.accuracy_architecture = 3;

  Bytes ppov;
  ppov.chunk("PPOV", 388)
      .i32(2)
      .i32(1)
      .i32(3)
      .i32(2)
      .i32(2)
      .i32(1)
      .i32(1)
      .text("povray", 80)
      .text("o.tga", 256);
  ppov.f64(0.1).f64(0.2).f64(0.3);
  Bytes ppri;
  ppri.chunk("PPRI", 188);
  for (int i = 0; i < 7; ++i) ppri.f64(i + 1);
  ppri.i32(1).text("lp", 128);
  Bytes phpg;
  phpg.chunk("PHPG", 1068).i32(1).i32(1).i32(1);
  for (int i = 0; i < 4; ++i) phpg.f64(i + 1);
  phpg.text("p.hpgl", 256).text("IN;", 256).text("PG;", 256).text("lp -d hp", 256);
  read_file_bytes(
      kavw_header() + ppov.bytes() + ppri.bytes() + phpg.bytes() + Bytes().chunk("PDIP", 4).i32(2).bytes(), 0,
      KAV_READ_SETTINGS_FILE);
  EXPECT_EQ(pov_settings.resolution, 2);
  EXPECT_EQ(pov_settings.command, "povray");
  EXPECT_DOUBLE_EQ(pov_settings.background.b, 0.3);
  EXPECT_EQ(pov_settings.ambient, 1);
  EXPECT_DOUBLE_EQ(print_settings.margin_bottom, 7);
  EXPECT_EQ(print_settings.orientation, 1);
  EXPECT_EQ(print_settings.command, "lp");
  EXPECT_EQ(print_settings.colour, 0);
  EXPECT_EQ(print_settings.printer_name, "office");  // the older chunks keep the printer
  EXPECT_EQ(print_settings.paper_index, 5);
  EXPECT_EQ(plot_settings.start_sequence, "IN;");
  EXPECT_EQ(plot_settings.command, "lp -d hp");
  EXPECT_EQ(plot_settings.plotter_name, "Default");
  EXPECT_EQ(plot_settings.paper_index, 0);
  EXPECT_EQ(dim_settings.accuracy, 2);
  EXPECT_EQ(dim_settings.accuracy_architecture, 3);

  Bytes ppr2;
  ppr2.chunk("PPR2", 192);
  for (int i = 0; i < 7; ++i) ppr2.f64(1);
  ppr2.i32(0).i32(1).text("lpr", 128);
  read_file_bytes(kavw_header() + ppr2.bytes());
  EXPECT_EQ(print_settings.colour, 1);
  EXPECT_EQ(print_settings.printer_name, "Default");
  EXPECT_EQ(print_settings.paper_index, 0);
}

// A fake installation folder (the working folder while the program runs)
// and an empty home folder.
class FirstStart : public ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    const fs::path inst = install.path();
    put_file(inst / "kavro.version", {'3'});
    put_file(inst / "kavro.gtkrc", {'s'});
    put_file(inst / "dat/prefs/default.prefs", written_by(prefs_write_settings_file));
    for (const char* d : {"draw", "sym", "dia", "tex"}) put_file(inst / "dat" / d / "sample", {'x'});
    put_file(inst / "dat/dia/wall/Default", {'w'});
    old_cwd = fs::current_path();
    fs::current_path(inst);
    const char* h = std::getenv("HOME");
    old_home = h ? h : "";
    ::setenv("HOME", home.path().c_str(), 1);
    base_dir = "";
    ui.calls.clear();
  }
  void TearDown() override {
    fs::current_path(old_cwd);
    ::setenv("HOME", old_home.c_str(), 1);
    ModelTest::TearDown();
  }
  fs::path h(const std::string& rel) const { return home.path() / rel; }

  TempDir install, home;
  fs::path old_cwd;
  std::string old_home;
  RecordingUi ui;
};

TEST_F(FirstStart, SetsUpTheUserFoldersOnce) {
  EXPECT_EQ(prefs_load(0), 1);
  for (const char* f :
       {".kavro3/kavro.version", ".kavro3/kavro.gtkrc", "KAVRO3/prefs/default.prefs", "KAVRO3/draw/sample",
        "KAVRO3/sym/sample", "KAVRO3/dia/sample", "KAVRO3/dia/wall/Default", "KAVRO3/tex/sample"})
    EXPECT_TRUE(fs::is_regular_file(h(f))) << f;
  for (const char* d : {".kavro3/tmp", "KAVRO3/ttf"}) EXPECT_TRUE(fs::is_directory(h(d))) << d;
  EXPECT_EQ(ui.calls, std::vector<std::string>{});
  const std::string hs = home.path().string();
  EXPECT_EQ(tmp_dir, hs + "/.kavro3/tmp/");
  EXPECT_EQ(prefs_path, hs + "/KAVRO3/prefs/");
  EXPECT_EQ(draw_path, hs + "/KAVRO3/draw/");
  EXPECT_EQ(symbol_path, hs + "/KAVRO3/sym/");
  EXPECT_EQ(dialog_path, hs + "/KAVRO3/dia/");
  EXPECT_EQ(import_path, hs + "/");
  EXPECT_EQ(export_path, hs + "/");
  // The user's default settings now name the user's folders.
  fresh_defaults();
  read_file_bytes(file_bytes(h("KAVRO3/prefs/default.prefs")), 0, KAV_READ_SETTINGS_FILE);
  EXPECT_EQ(draw_path, hs + "/KAVRO3/draw/");

  // A second start asks nothing and copies nothing.
  fs::remove(h("KAVRO3/draw/sample"));
  backup_interval = 33;
  const ByteVec prefs_before = written_by(prefs_write_settings_file);
  put_file(h("KAVRO3/prefs/default.prefs"), prefs_before);
  fresh_defaults();
  ui.calls.clear();
  EXPECT_EQ(prefs_load(0), 1);
  EXPECT_FALSE(fs::exists(h("KAVRO3/draw/sample")));
  EXPECT_EQ(backup_interval, 33);
  EXPECT_EQ(file_bytes(h("KAVRO3/prefs/default.prefs")), prefs_before);
  EXPECT_EQ(ui.calls, std::vector<std::string>{});
}

TEST_F(FirstStart, OffersThePreviousVersionsFiles) {
  put_file(h(".kavro2/kavro.version"), {'2'});
  put_file(h(".kavro2/ttf/font.ttf"), {'f'});
  put_file(h(".kavro2/dia/door/Old"), {'d'});
  put_file(h(".kavro2/draw/house/plan.kav"), {'p'});
  put_file(h(".kavro2/sym/chair.sym"), {'c'});
  ui.answers = {1, 2, 1};  // settings yes, drawings no, symbols yes
  prefs_load(0);
  EXPECT_EQ(ui.calls_starting("ask"),
            (std::vector<std::string>{"ask Copy settings from KAVRO 2.40 ? [Yes] [No]",
                                      "ask Copy drawings from KAVRO 2.40 ? [Yes] [No]",
                                      "ask Copy symbols from KAVRO 2.40 ? [Yes] [No]"}));
  EXPECT_TRUE(fs::exists(h("KAVRO3/ttf/font.ttf")));
  EXPECT_TRUE(fs::exists(h("KAVRO3/dia/door/Old")));
  EXPECT_FALSE(fs::exists(h("KAVRO3/draw/house")));
  EXPECT_TRUE(fs::exists(h("KAVRO3/sym/chair.sym")));
}

TEST_F(FirstStart, MissingInstallationFilesAreReported) {
  fs::remove_all(install.path() / "dat/tex");
  fs::remove(install.path() / "kavro.gtkrc");
  EXPECT_EQ(prefs_load(0), 1);
  const auto errors = ui.calls_starting("error");
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("Setting up the user folders failed:"), std::string::npos);
  EXPECT_NE(errors[0].find("dat/tex: missing in the installation"), std::string::npos);
  EXPECT_NE(errors[0].find("kavro.gtkrc: missing in the installation"), std::string::npos);
  EXPECT_TRUE(fs::exists(h("KAVRO3/draw/sample")));  // the rest was set up
}

TEST_F(FirstStart, LoadAndSaveSettingsOnRequest) {
  prefs_load(0);
  ui.calls.clear();
  snap_size = 11;
  const std::string saved = (home.path() / "mine.prefs").string();
  ui.paths = {saved};
  EXPECT_EQ(cmd_z_save_settings(), 1);
  EXPECT_EQ(ui.calls_starting("choose"),
            std::vector<std::string>{"choose Save Settings... " + home.path().string() +
                                     "/KAVRO3/prefs/ 1 path " + home.path().string() + "/KAVRO3/prefs/"});
  snap_size = 3;
  view_type = 4;
  ui.calls.clear();
  ui.paths = {saved};
  EXPECT_EQ(prefs_load(1), 1);
  EXPECT_EQ(snap_size, 11);
  EXPECT_EQ(view_type, 0);
  const std::vector<std::string> expected = {"choose Load Settings... " + home.path().string() +
                                                 "/KAVRO3/prefs/default.prefs 0 path " +
                                                 home.path().string() + "/KAVRO3/prefs/",
                                             "toolbar_toggles_refresh",
                                             "dlg_dxf_refresh",
                                             "gui_reset_after_load",
                                             "gui_reset_dialogs_after_settings",
                                             "select_view 0",
                                             "zoom_to_extents 0"};
  EXPECT_EQ(ui.calls, expected);

  ui.calls.clear();
  ui.paths = {"cancel"};
  EXPECT_EQ(prefs_load(1), 0);
  ui.paths = {(home.path() / "nothing.prefs").string()};
  EXPECT_EQ(prefs_load(1), 0);
  EXPECT_EQ(ui.calls_starting("error"),
            std::vector<std::string>{"error Cannot open local settings!\nThe file does not exist."});
}

// A settings file cut or broken halfway is applied not at all: every
// setting, the folders and the backup values stay as they were, whether the
// damage is in the first chunk, between chunks, in the last one or a few
// stray bytes at the end.
TEST_F(FirstStart, DamagedSettingsFileChangesNothing) {
  prefs_load(0);
  snap_size = 11;
  backup_interval = 33;
  pens[3].width = 0.7;
  draw_path = "/elsewhere/draw/";
  cur_layer = 205;
  const ByteVec other = written_by(prefs_write_settings_file);
  fresh_defaults();
  snap_size = 4;
  backup_interval = 5;
  cur_layer = 3;
  const ByteVec before = written_by(prefs_write_settings_file);
  ByteVec stray = other;
  stray.insert(stray.end(), {'P', 'S'});
  const ByteVec cases[] = {ByteVec(other.begin(), other.begin() + 20),
                           ByteVec(other.begin(), other.begin() + static_cast<long>(other.size() / 2)),
                           ByteVec(other.begin(), other.end() - 3), stray};
  const std::string path = (home.path() / "cut.prefs").string();
  for (const ByteVec& body : cases) {
    SCOPED_TRACE(body.size());
    put_file(path, body);
    ui.calls.clear();
    ui.paths = {path};
    EXPECT_EQ(prefs_load(1), 0);
    EXPECT_EQ(written_by(prefs_write_settings_file), before);
    EXPECT_EQ(ui.calls_starting("error"),
              std::vector<std::string>{"error The settings file is damaged; no setting was changed."});
    EXPECT_TRUE(ui.calls_starting("gui_reset").empty());
  }
  // The whole file is applied.
  put_file(path, other);
  ui.paths = {path};
  EXPECT_EQ(prefs_load(1), 1);
  EXPECT_EQ(snap_size, 11);
  EXPECT_EQ(backup_interval, 33);
  EXPECT_EQ(draw_path, "/elsewhere/draw/");
}

TEST_F(FirstStart, HomeFallsBackToTheAccount) {
  ::unsetenv("HOME");
  EXPECT_FALSE(prefs_home().empty());
  EXPECT_NE(prefs_home(), ".");
}

}  // namespace
