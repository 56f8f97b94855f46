// The Material dialog in its window: the texture groups follow the texture
// mode (chosen or loaded), the colour and the sliders reach the current
// material at once, Close destroys the window, and "Preview" writes the
// preview scene and starts POV-Ray on it, or says that there is none.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "dialog_fixture.h"
#include "dialogs/dlg_mat.h"
#include "dialogs/mat_preview.h"
#include "exchange/out_text.h"
#include "exchange/pov_export.h"
#include "gui/gui_steps.h"
#include "model/presets.h"
#include "model/settings.h"
#include "platform/process.h"
#include "shell/cmd_dispatch.h"
#include "support/recording_process.h"

namespace {

class MaterialDialog : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    material_preset = MaterialPreset{};
    material_preset.name = "Default";
  }

  static GtkWidget* open_mat() { return key("z_d_mat", DLG_MAT); }
  static GtkWidget* widget(const void* var) { return dlg_widgets(PresetKind::MAT).of(var); }
  static bool sensitive(int group) {
    GtkWidget* g = dlg_widgets(PresetKind::MAT).groups[group];
    return g && gtk_widget_get_sensitive(g);
  }
  static std::vector<bool> groups() {
    return {sensitive(DLG_GROUP_IMAGE), sensitive(DLG_GROUP_SIZE), sensitive(DLG_GROUP_OFFSET)};
  }
  // The Default material's file with another texture mode (its eleventh line).
  std::string with_texture_mode(int mode) const {
    std::string text = preset_file(PresetKind::MAT, "Default");
    std::size_t at = 0;
    for (int line = 0; line < 10; ++line) at = text.find('\n', at) + 1;
    const std::size_t end = text.find('\n', at);
    return text.substr(0, at) + std::to_string(mode) + text.substr(end);
  }
  static std::string preview_message() {
    std::string out;
    for (const DlgWidgets::Bound& b : dlg_widgets(PresetKind::MAT).bound)
      if (b.item->kind == DlgItemKind::LABEL && !b.item->text) out = gtk_label_get_text(GTK_LABEL(b.widget));
    return out;
  }
  static GtkWidget* preview_button() {
    GtkWidget* window = static_cast<GtkWidget*>(dlg_slots[DLG_MAT]);
    std::vector<GtkWidget*> all;
    collect(window, all);
    for (GtkWidget* w : all) {
      GtkWidget* child = GTK_IS_BUTTON(w) ? gtk_bin_get_child(GTK_BIN(w)) : nullptr;
      if (child && GTK_IS_LABEL(child) && std::string(gtk_label_get_text(GTK_LABEL(child))) == "Preview")
        return w;
    }
    return nullptr;
  }
  static void collect(GtkWidget* root, std::vector<GtkWidget*>& out) {
    out.push_back(root);
    if (!GTK_IS_CONTAINER(root)) return;
    gtk_container_forall(
        GTK_CONTAINER(root),
        [](GtkWidget* w, gpointer data) { collect(w, *static_cast<std::vector<GtkWidget*>*>(data)); }, &out);
  }
  static std::string read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
};

TEST_F(MaterialDialog, TheTextureGroupsFollowTheTextureMode) {
  ASSERT_NE(open_mat(), nullptr);
  EXPECT_EQ(groups(), (std::vector<bool>{false, false, false}));
  GtkWidget* mode = widget(&material_preset.texture_mode);
  ASSERT_NE(mode, nullptr);
  gtk_combo_box_set_active(GTK_COMBO_BOX(mode), 2);  // Planar-X
  settle();
  EXPECT_EQ(material_preset.texture_mode, 2);
  EXPECT_EQ(groups(), (std::vector<bool>{true, true, true}));
  if (GdkPixbuf* shot = gui_steps::screenshot("material_dialog.png")) g_object_unref(shot);
  gtk_combo_box_set_active(GTK_COMBO_BOX(mode), 0);
  settle();
  EXPECT_EQ(groups(), (std::vector<bool>{false, false, false}));

  // A preset loaded while the dialog is open.
  put_preset(PresetKind::MAT, "Tiles", with_texture_mode(3));
  type_name(dlg_widgets(PresetKind::MAT).combo, "Tiles");
  EXPECT_EQ(material_preset.texture_mode, 3);
  EXPECT_EQ(gtk_combo_box_get_active(GTK_COMBO_BOX(mode)), 3);
  EXPECT_EQ(groups(), (std::vector<bool>{true, true, true}));
}

G_GNUC_BEGIN_IGNORE_DEPRECATIONS
TEST_F(MaterialDialog, ColourAndSlidersReachTheMaterialAtOnce) {
  ASSERT_NE(open_mat(), nullptr);
  GtkWidget* colour = widget(&material_preset.r);
  ASSERT_TRUE(colour && GTK_IS_COLOR_SELECTION(colour));
  const GdkRGBA red{1.0, 0.0, 0.0, 1.0};
  gtk_color_selection_set_current_rgba(GTK_COLOR_SELECTION(colour), &red);
  EXPECT_DOUBLE_EQ(material_preset.r, 1.0);
  EXPECT_DOUBLE_EQ(material_preset.g, 0.0);
  EXPECT_DOUBLE_EQ(material_preset.b, 0.0);

  struct Case {
    double* var;
    double value;
  };
  const Case cases[] = {{&material_preset.transparency, 0.25},
                        {&material_preset.reflection, 0.5},
                        {&material_preset.ambience, 0.75},
                        {&material_preset.highlight, 1.0}};
  for (const Case& c : cases) {
    GtkWidget* slider = widget(c.var);
    ASSERT_TRUE(slider && GTK_IS_RANGE(slider));
    gtk_range_set_value(GTK_RANGE(slider), c.value);
    settle();
    EXPECT_DOUBLE_EQ(*c.var, c.value);
  }
  // Nothing was saved on the way.
  EXPECT_EQ(preset_file(PresetKind::MAT, "Default").substr(0, 9), "1.000000\n");
}
G_GNUC_END_IGNORE_DEPRECATIONS

TEST_F(MaterialDialog, CloseDestroysTheDialogAndOpeningBuildsItAnew) {
  GtkWidget* first = open_mat();
  ASSERT_NE(first, nullptr);
  material_preset.transparency = 0.5;
  EXPECT_EQ(key("z_c_mat", DLG_MAT), nullptr);
  EXPECT_EQ(groups(), (std::vector<bool>{false, false, false}));
  GtkWidget* again = open_mat();
  ASSERT_NE(again, nullptr);
  EXPECT_DOUBLE_EQ(gtk_range_get_value(GTK_RANGE(widget(&material_preset.transparency))), 0.5);
  // The window manager's close destroys it too.
  gtk_window_close(GTK_WINDOW(again));
  settle();
  EXPECT_EQ(dlg_slots[DLG_MAT], nullptr);
  EXPECT_TRUE(stdout_text().find("no handler") == std::string::npos);
}

TEST_F(MaterialDialog, PreviewWritesTheSceneAndStartsPovRayOnIt) {
  // A program that would record its arguments; the recorder stands in for
  // starting it.
  home.write("bin/pov stub", "#!/bin/sh\necho \"$@\" > \"$0.args\"\n");
  const std::string stub = (home / "bin/pov stub").string();
  ASSERT_EQ(chmod(stub.c_str(), 0755), 0);
  pov_settings.command = "'" + stub + "'";
  material_preset.r = 0.5;
  RecordingProcess spawned;
  ASSERT_NE(open_mat(), nullptr);
  GtkWidget* preview = preview_button();
  ASSERT_NE(preview, nullptr);
  click(preview);

  const std::string scene = pov_scene_path();
  ASSERT_FALSE(scene.empty());
  EXPECT_TRUE(scene.ends_with("/kavrop.pov")) << scene;
  ASSERT_EQ(spawned.requests().size(), 1u);
  const ProcessRequest& r = spawned.requests()[0];
  EXPECT_FALSE(r.wait);
  EXPECT_EQ(r.argv, (std::vector<std::string>{stub, "-F", "+w140", "+h100", "+p", "+x", "+d0", "-v",
                                              "-i\"" + scene + "\""}));
  const std::string text = read(scene);
  EXPECT_EQ(text.rfind("\n#declare pre_mat =\ntexture {\npigment { color rgbt <0.5", 0), 0u) << text;
  const std::string tail =
      "light_source { <2,4,-3> color rgb <1,1,1> }\n"
      "camera { location <0,2,-3> look_at <0,1,2> }\n"
      "plane { <0, 1, 0>, -1 pigment { checker color rgb <0,0,0>, color rgb <1,1,1> } }\n"
      "sphere { <0, 1, 2>, 2\n"
      "texture {pre_mat}}\n";
  EXPECT_TRUE(text.ends_with(tail)) << text;
  EXPECT_EQ(preview_message(), "");
  EXPECT_TRUE(ui().calls_starting("error").empty());
}

TEST_F(MaterialDialog, WithoutPovRayThePreviewSaysSo) {
  TempFolder empty;
  const char* path = std::getenv("PATH");
  const std::string old_path = path ? path : "";
  setenv("PATH", empty.path().c_str(), 1);
  pov_settings.command = "";
  RecordingProcess spawned;
  ASSERT_NE(open_mat(), nullptr);
  ASSERT_NE(preview_button(), nullptr);
  click(preview_button());
  setenv("PATH", old_path.c_str(), 1);

  EXPECT_TRUE(spawned.requests().empty());
  EXPECT_EQ(preview_message(), "POV-Ray was not found: no preview.");
  EXPECT_EQ(ui().calls_starting("error").size(), 1u);
}

}  // namespace

namespace {

TEST_F(MaterialDialog, TheSpecialFileIsChosenIntoTheMaterialAndItsEntry) {
  ASSERT_NE(open_mat(), nullptr);
  GtkWidget* entry = widget(&material_preset.special_text);
  ASSERT_TRUE(entry && GTK_IS_ENTRY(entry));
  ui().paths = {"cancel", home.path().string() + "/marble.inc"};
  cmd_dispatch_p("p_path_special");
  EXPECT_STREQ(material_preset.special_text.c_str(), "");
  cmd_dispatch_p("p_path_special");
  EXPECT_EQ(std::string(material_preset.special_text.c_str()), home.path().string() + "/marble.inc");
  EXPECT_EQ(text_of(entry), home.path().string() + "/marble.inc");
  EXPECT_EQ(ui().calls_starting("choose").size(), 2u);
}

}  // namespace

namespace {

// The preview scene as POV-Ray itself reads it, from a folder with a blank
// in its name, named as the preview names it: rendered into a picture
// instead of a window, the sphere in the middle shows the material's colour.
TEST_F(MaterialDialog, PovRayRendersThePreviewScene) {
  ASSERT_FALSE(process_find_program("povray").empty())
      << "POV-Ray is missing: scripts/lib/setup.sh installs it";
  material_preset.r = 0.9;
  material_preset.g = material_preset.b = 0.1;
  material_preset.highlight = 0.0;
  home.make_folder("a scene");
  const std::string scene = (home / "a scene/kavrop.pov").string();
  const std::string picture = (home / "a scene/preview.png").string();
  {
    StringOut text;
    mat_preview_write_scene(text);
    home.write("a scene/kavrop.pov", text.text());
  }
  pov_settings.command = "povray";
  const std::vector<std::string> preview = mat_preview_argv(scene);
  ASSERT_FALSE(preview.empty());
  const std::vector<std::string> argv = {
      "povray", "-D", "+w140", "+h100", "-v", "+FN", "+O\"" + picture + "\"", preview.back()};
  EXPECT_EQ(process_run(argv), 0);
  GError* error = nullptr;
  GdkPixbuf* image = gdk_pixbuf_new_from_file(picture.c_str(), &error);
  ASSERT_NE(image, nullptr) << (error ? error->message : "no picture");
  EXPECT_EQ(gdk_pixbuf_get_width(image), 140);
  EXPECT_EQ(gdk_pixbuf_get_height(image), 100);
  const guchar* p = gdk_pixbuf_get_pixels(image) + 50 * gdk_pixbuf_get_rowstride(image) +
                    70 * gdk_pixbuf_get_n_channels(image);
  EXPECT_GT(p[0], 2 * p[1]) << int(p[0]) << " " << int(p[1]) << " " << int(p[2]);
  EXPECT_GT(p[0], 2 * p[2]);
  g_object_unref(image);
}

}  // namespace

namespace {

G_GNUC_BEGIN_IGNORE_DEPRECATIONS
TEST_F(MaterialDialog, SaveWritesTheMaterialUnderTheNameTyped) {
  ASSERT_NE(open_mat(), nullptr);
  const DlgWidgets& w = dlg_widgets(PresetKind::MAT);
  type_name(w.combo, "Brick");
  const GdkRGBA brick{0.75, 0.25, 0.0, 1.0};
  gtk_color_selection_set_current_rgba(GTK_COLOR_SELECTION(widget(&material_preset.r)), &brick);
  gtk_combo_box_set_active(GTK_COMBO_BOX(widget(&material_preset.texture_mode)), 5);
  settle();
  click(w.save);
  const std::string saved = preset_file(PresetKind::MAT, "Brick");
  EXPECT_EQ(saved.substr(0, 27), "0.750000\n0.250000\n0.000000\n") << saved;
  EXPECT_NE(saved.find("\n5\n"), std::string::npos) << saved;
  EXPECT_EQ(std::string(material_preset.name.c_str()), "Brick");
}
G_GNUC_END_IGNORE_DEPRECATIONS

}  // namespace
