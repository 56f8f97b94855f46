// The option dialogs of the exporters and renderers and the information
// windows, on a virtual display: their values reach the settings and the
// files the commands write.

#include <algorithm>
#include <cmath>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "building/hlr_tools.h"
#include "dialog_fixture.h"
#include "dialogs/dlg_info.h"
#include "model/files/prefs.h"
#include "shell/cmd_dispatch.h"

namespace {

constexpr double INCHES_PER_METRE = 39.3700787;

class OptionDialogs : public DialogTest {
 protected:
  static std::vector<GtkWidget*> all_of(GtkWidget* w, GType type) {
    std::vector<GtkWidget*> out;
    collect(w, type, out);
    return out;
  }
  static GtkWidget* button_labelled(GtkWidget* w, const char* label) {
    for (GtkWidget* b : all_of(w, GTK_TYPE_BUTTON)) {
      GtkWidget* child = gtk_bin_get_child(GTK_BIN(b));
      if (child && GTK_IS_LABEL(child) && std::string(gtk_label_get_text(GTK_LABEL(child))) == label)
        return b;
    }
    ADD_FAILURE() << "no button " << label;
    return nullptr;
  }
  // The option menu in the frame titled title.
  static GtkWidget* menu_in(GtkWidget* w, const char* title) {
    for (GtkWidget* f : all_of(w, GTK_TYPE_FRAME)) {
      const char* t = gtk_frame_get_label(GTK_FRAME(f));
      if (!t || std::string(t) != title) continue;
      std::vector<GtkWidget*> menus = all_of(f, GTK_TYPE_COMBO_BOX);
      if (!menus.empty()) return menus.front();
    }
    ADD_FAILURE() << "no menu in " << title;
    return nullptr;
  }
  static std::string shown(GtkWidget* menu) {
    gchar* t = gtk_combo_box_text_get_active_text(GTK_COMBO_BOX_TEXT(menu));
    std::string out = t ? t : "";
    g_free(t);
    return out;
  }
  static void choose(GtkWidget* menu, int i) {
    gtk_combo_box_set_active(GTK_COMBO_BOX(menu), i);
    settle();
  }
  // The entries of the window's table, top row first.
  static std::vector<GtkWidget*> table_entries(GtkWidget* w) {
    std::vector<GtkWidget*> entries = all_of(w, GTK_TYPE_ENTRY);
    auto top = [](GtkWidget* e) {
      int row = 0;
      gtk_container_child_get(GTK_CONTAINER(gtk_widget_get_parent(e)), e, "top-attach", &row, nullptr);
      return row;
    };
    std::sort(entries.begin(), entries.end(), [&](GtkWidget* a, GtkWidget* b) { return top(a) < top(b); });
    return entries;
  }
  static bool visible(GtkWidget* w) { return w && gtk_widget_get_visible(w); }
  // The window's picture in the test output folder, to look at.
  static void picture(GtkWidget* window, const std::string& name) {
    settle();
    GdkWindow* gw = gtk_widget_get_window(window);
    if (!gw) return;
    GdkPixbuf* p = gdk_pixbuf_get_from_window(gw, 0, 0, gdk_window_get_width(gw), gdk_window_get_height(gw));
    if (!p) return;
    std::filesystem::create_directories(KAVRO_TEST_OUTPUT_DIR);
    gdk_pixbuf_save(p, (std::string(KAVRO_TEST_OUTPUT_DIR) + "/" + name + ".png").c_str(), "png", nullptr,
                    nullptr);
    g_object_unref(p);
  }
  // Runs the program command a dialog button posted, as the command loop does.
  static void run_posted(const char* expected) {
    ASSERT_STREQ(command_key.c_str(), expected);
    cmd_dispatch(expected);
    command_key = "nop";
    settle();
  }
};

// Opened from their keys, closed by their buttons (hidden, kept) and built
// once; the resolution menus list all eight sizes.
TEST_F(OptionDialogs, EachOpensClosesAndIsKept) {
  struct Case {
    const char* open;
    DlgId slot;
    const char* title;
    const char* close_label;
  };
  const Case cases[] = {
      {"z_d_dxf_out", DLG_DXF_OUT, "Export DXF...", "Close"},
      {"z_d_dxf_in", DLG_DXF_IN, "Import DXF...", "Close"},
      {"z_d_hlr", DLG_HLR, "HLR options:", "Close"},
      {"z_d_pov", DLG_POV, "Render settings:", "Close"},
      {"z_d_ray", DLG_RAY, "Radiance settings:", "Close"},
  };
  for (const Case& c : cases) {
    GtkWidget* w = key(c.open, c.slot);
    ASSERT_TRUE(w) << c.open;
    EXPECT_TRUE(visible(w)) << c.open;
    EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(w)), c.title);
    EXPECT_FALSE(gtk_window_get_resizable(GTK_WINDOW(w))) << c.open;
    picture(w, c.open + 4);
    click(button_labelled(w, c.close_label));
    EXPECT_FALSE(visible(w)) << c.open;
    EXPECT_EQ(key(c.open, c.slot), w) << c.open;
    EXPECT_TRUE(visible(w)) << c.open;
    click(button_labelled(w, c.close_label));
  }
  for (DlgId slot : {DLG_POV, DLG_RAY}) {
    GtkWidget* sizes = menu_in(static_cast<GtkWidget*>(dlg_slots[slot]), "Resolution");
    std::vector<std::string> items = listed(sizes);
    ASSERT_EQ(items.size(), 8u) << dlg_name(slot);
    EXPECT_EQ(items.front(), "160 x 120");
    EXPECT_EQ(items.back(), "8192 x 6144");
  }
  EXPECT_EQ(stdout_text().find("no handler"), std::string::npos);
}

// Export > DXF opens the dialog; its Export writes the file in the unit
// chosen there.
TEST_F(OptionDialogs, ExportWritesTheScaleChosenInTheDialog) {
  elem_new_line(0, 0, 0, 1, 2, 3, 4);
  GtkWidget* w = key("z_d_dxf_out", DLG_DXF_OUT);
  ASSERT_TRUE(w);
  choose(menu_in(w, "Objects"), 2);
  choose(menu_in(w, "Scale"), 3);
  EXPECT_EQ(shown(menu_in(w, "Scale")), "inch");
  EXPECT_EQ(dxf_settings.export_scope, 2);
  EXPECT_EQ(dxf_settings.export_unit, 3);

  const std::string file = (home.path() / "out.dxf").string();
  ui().paths = {file};
  click(button_labelled(w, "Export"));
  run_posted("p_file_export_dxf");

  // Every coordinate of the entities is one of the line's, in inches.
  std::ifstream in(file);
  ASSERT_TRUE(in) << file;
  std::string code, value;
  bool entities = false;
  std::set<long> found;
  while (std::getline(in, code) && std::getline(in, value)) {
    const int c = std::stoi(code);
    if (c == 2 && value.rfind("ENTITIES", 0) == 0) entities = true;
    if (!entities || !((c >= 10 && c <= 11) || (c >= 20 && c <= 21))) continue;
    const double metres = std::stod(value) / INCHES_PER_METRE;
    EXPECT_NEAR(metres, std::round(metres), 1e-6) << value;
    found.insert(std::lround(metres));
  }
  EXPECT_EQ(found, (std::set<long>{1, 2, 3, 4}));
}

TEST_F(OptionDialogs, ImportReadsTheScaleAndLineModeChosenInTheDialog) {
  const std::string file = (home.path() / "in.dxf").string();
  std::ofstream(file) << "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n0\n10\n1000\n20\n2000\n30\n500\n11\n3000\n21\n"
                         "0\n31\n500\n0\nENDSEC\n0\nEOF\n";
  GtkWidget* w = key("z_d_dxf_in", DLG_DXF_IN);
  ASSERT_TRUE(w);
  choose(menu_in(w, "Scale"), 2);
  choose(menu_in(w, "DXF Line mode"), 1);
  EXPECT_EQ(shown(menu_in(w, "DXF Line mode")), "Import 3D lines");
  ui().paths = {file};
  click(button_labelled(w, "Import"));
  run_posted("p_file_import_dxf");

  std::vector<ElemHeader*> all = elements();
  ASSERT_EQ(all.size(), 1u);
  const auto* l = elem_as<Line3dElem>(all[0]);
  ASSERT_TRUE(l);
  EXPECT_DOUBLE_EQ(l->p1.x, 1.0);
  EXPECT_DOUBLE_EQ(l->p1.y, 2.0);
  EXPECT_DOUBLE_EQ(l->p2.z, 0.5);
}

// A settings file read while the dialogs are built: the POV-Ray dialog is
// built again with the file's resolution, the DXF export and Filter dialogs
// stay and show the file's mode and pen.
TEST_F(OptionDialogs, LoadedSettingsShowInTheDialogs) {
  const std::string file = (home.path() / "other.prefs").string();
  pov_settings.resolution = 4;
  dxf_settings.export_mode = 2;
  select_filter.pen = 3;
  {
    std::FILE* f = std::fopen(file.c_str(), "wb");
    ASSERT_TRUE(f);
    ASSERT_TRUE(prefs_write_settings_file(f));
    std::fclose(f);
  }
  pov_settings.resolution = 1;
  dxf_settings.export_mode = 0;
  select_filter.pen = 0;
  GtkWidget* pov = key("z_d_pov", DLG_POV);
  GtkWidget* dxf = key("z_d_dxf_out", DLG_DXF_OUT);
  GtkWidget* filter = key("z_d_filter", DLG_FILTER);
  ASSERT_TRUE(pov && dxf && filter);
  GtkWidget* pen = nullptr;
  for (GtkWidget* m : all_of(filter, GTK_TYPE_COMBO_BOX))
    if (bind_variable(m) == &select_filter.pen) pen = m;
  ASSERT_TRUE(pen);
  EXPECT_EQ(gtk_combo_box_get_active(GTK_COMBO_BOX(pen)), 0);
  EXPECT_EQ(shown(menu_in(pov, "Resolution")), "320 x 240");
  EXPECT_EQ(shown(menu_in(dxf, "Mode")), "2D");

  ui().paths = {file};
  ASSERT_EQ(prefs_load(1), 1);
  settle();
  EXPECT_EQ(dlg_slots[DLG_POV], nullptr);
  EXPECT_EQ(dlg_slots[DLG_DXF_OUT], dxf);
  EXPECT_EQ(shown(menu_in(dxf, "Mode")), "3D");
  EXPECT_EQ(dxf_settings.export_mode, 2);  // showing it stored nothing else
  EXPECT_EQ(gtk_combo_box_get_active(GTK_COMBO_BOX(pen)), 3);
  pov = key("z_d_pov", DLG_POV);
  ASSERT_TRUE(pov);
  EXPECT_EQ(shown(menu_in(pov, "Resolution")), "1024 x 768");
}

TEST_F(OptionDialogs, RadianceWidgetsStoreTheirValues) {
  GtkWidget* w = key("z_d_ray", DLG_RAY);
  ASSERT_TRUE(w);
  // What a fresh start offers.
  EXPECT_EQ(shown(menu_in(w, "Resolution")), "320 x 240");
  for (const char* medium : {"Quality", "Detail", "Variability", "Indirect light"})
    EXPECT_EQ(shown(menu_in(w, medium)), "Medium") << medium;
  EXPECT_EQ(shown(menu_in(w, "Sky and Sun")), "Off");
  std::vector<GtkWidget*> scales = all_of(w, GTK_TYPE_SCALE);
  ASSERT_EQ(scales.size(), 2u);
  EXPECT_DOUBLE_EQ(gtk_range_get_value(GTK_RANGE(scales[0])), 50.0);
  EXPECT_DOUBLE_EQ(gtk_range_get_value(GTK_RANGE(scales[1])), 12.0);
  gtk_range_set_value(GTK_RANGE(scales[0]), -90);
  gtk_range_set_value(GTK_RANGE(scales[1]), 18.5);
  choose(menu_in(w, "Sky and Sun"), 5);
  choose(menu_in(w, "Resolution"), 7);
  choose(menu_in(w, "Indirect light"), 2);
  EXPECT_DOUBLE_EQ(rad_settings.latitude, -90.0);
  EXPECT_DOUBLE_EQ(rad_settings.time, 18.5);
  EXPECT_EQ(rad_settings.sky, 5);
  EXPECT_EQ(rad_settings.resolution, 7);
  EXPECT_EQ(rad_settings.indirect, 2);
  EXPECT_EQ(shown(menu_in(w, "Sky and Sun")), "Cloudy");

  // "..." chooses the image file; setting and entry follow.
  ui().paths = {"/tmp/room.pic"};
  click(button_labelled(w, "..."));
  run_posted("p_ray_out");
  EXPECT_EQ(rad_settings.output_file, "/tmp/room.pic");
  GtkWidget* entry = all_of(w, GTK_TYPE_ENTRY).at(0);
  EXPECT_STREQ(gtk_entry_get_text(GTK_ENTRY(entry)), "/tmp/room.pic");

  click(button_labelled(w, "Radzilla"));
  EXPECT_STREQ(command_key.c_str(), "b_3d_raz");
  click(button_labelled(w, "Radiance"));
  EXPECT_STREQ(command_key.c_str(), "b_3d_ray");
}

TEST_F(OptionDialogs, PovAndHlrWidgetsStoreTheirValuesAndPostTheirCommands) {
  GtkWidget* pov = key("z_d_pov", DLG_POV);
  ASSERT_TRUE(pov);
  std::vector<GtkWidget*> entries = all_of(pov, GTK_TYPE_ENTRY);
  type_and_enter(entries.at(0), "povray +Q9");
  EXPECT_EQ(pov_settings.command, "povray +Q9");
  choose(menu_in(pov, "Antialias"), 3);
  choose(menu_in(pov, "Ambient light"), 4);
  EXPECT_EQ(pov_settings.antialias, 3);
  EXPECT_EQ(pov_settings.ambient, 4);
  click(button_labelled(pov, "Color"));
  EXPECT_STREQ(command_key.c_str(), "z_d_colorsel_povbg");
  click(button_labelled(pov, "Render"));
  EXPECT_STREQ(command_key.c_str(), "b_3d_pov");

  GtkWidget* hlr = key("z_d_hlr", DLG_HLR);
  ASSERT_TRUE(hlr);
  choose(menu_in(hlr, "Colors"), 1);
  choose(menu_in(hlr, "Smoothing"), 1);
  type_and_enter(all_of(hlr, GTK_TYPE_ENTRY).at(0), "30");  // degrees, the angle unit
  EXPECT_EQ(hlr_options.single_colour, 1);
  EXPECT_EQ(hlr_options.smoothing, 1);
  EXPECT_NEAR(hlr_options.smoothing_angle, 30.0 / 180.0 * M_PI, 1e-12);
  click(button_labelled(hlr, "Render"));
  EXPECT_STREQ(command_key.c_str(), "b_3d_hlr");
  hlr_options = HlrOptions{};
}

// A right click between commands shows the element under it; empty space
// makes no window, and leaves one already made as it was.
TEST_F(OptionDialogs, ElementInformationFollowsTheRightClick) {
  elem_new_line(0, 0, 0, 0, 0, 10, 0);
  cursor_world = {50, 50};
  cmd_dispatch("z_mb3");
  settle();
  EXPECT_EQ(dlg_slots[DLG_OINFO], nullptr);

  cursor_world = {5, 0.01};
  cmd_dispatch("z_mb3");
  settle();
  auto w = static_cast<GtkWidget*>(dlg_slots[DLG_OINFO]);
  ASSERT_TRUE(w);
  EXPECT_TRUE(visible(w));
  EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(w)), "Element information:");
  std::vector<GtkWidget*> values = table_entries(w);
  ASSERT_EQ(values.size(), 10u);
  EXPECT_STREQ(gtk_entry_get_text(GTK_ENTRY(values[0])), "Line");
  EXPECT_STREQ(gtk_entry_get_text(GTK_ENTRY(values[4])), "10.0000m");
  picture(w, "oinfo");
  click(button_labelled(w, "Close"));
  EXPECT_FALSE(visible(w));

  cursor_world = {50, 50};
  cmd_dispatch("z_mb3");
  settle();
  EXPECT_EQ(dlg_slots[DLG_OINFO], w);
  EXPECT_TRUE(visible(w));
  EXPECT_STREQ(gtk_entry_get_text(GTK_ENTRY(values[0])), "Line");
}

TEST_F(OptionDialogs, ProjectInformationCountsAgainOnUpdate) {
  elem_new_line(0, 0, 0, 0, 0, 10, 0);
  elem_new_camera(0, 0, 0, 0, -10, 2, 0, 0, 2, 60, 1);
  cmd_dispatch("p_file_info");
  settle();
  auto w = static_cast<GtkWidget*>(dlg_slots[DLG_INFO]);
  ASSERT_TRUE(w);
  EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(w)), "Project information:");
  std::vector<GtkWidget*> counts = table_entries(w);
  ASSERT_EQ(counts.size(), 11u);
  std::string before;
  for (GtkWidget* e : counts) before += gtk_entry_get_text(GTK_ENTRY(e));
  EXPECT_EQ(before, "10000000000");
  picture(w, "info");

  elem_new_light(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 1, 1, 1);
  click(button_labelled(w, "Update"));
  EXPECT_STREQ(gtk_entry_get_text(GTK_ENTRY(counts[10])), "1");
  click(button_labelled(w, "Close"));
  EXPECT_FALSE(visible(w));
}

}  // namespace
