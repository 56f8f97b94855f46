#include <algorithm>
#include <string>
#include <vector>

#include "dialog_fixture.h"
#include "dialogs/dlg_small.h"
#include "display/draw.h"
#include "display/pixels.h"
#include "model/scale_ladder.h"
#include "model/settings_edit.h"
#include "model/view_rec.h"
#include "shell/cmd_dispatch.h"

namespace {

class SettingsDialog : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    settings = key("z_d_settings", DLG_SETTINGS);
    ASSERT_TRUE(settings);
    notebook = all_of(settings, GTK_TYPE_NOTEBOOK).at(0);
  }
  // The page of the notebook whose tab reads label.
  GtkWidget* page(const char* label) {
    for (int i = 0; i < gtk_notebook_get_n_pages(GTK_NOTEBOOK(notebook)); ++i) {
      GtkWidget* p = gtk_notebook_get_nth_page(GTK_NOTEBOOK(notebook), i);
      GtkWidget* tab = gtk_notebook_get_tab_label(GTK_NOTEBOOK(notebook), p);
      if (std::string(gtk_label_get_text(GTK_LABEL(tab))) == label) return p;
    }
    ADD_FAILURE() << "no page " << label;
    return nullptr;
  }
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
  static void spin_to(GtkWidget* spin, double v) {
    gtk_spin_button_set_value(GTK_SPIN_BUTTON(spin), v);
    settle();
  }
  GtkWidget* settings = nullptr;
  GtkWidget* notebook = nullptr;
};

TEST_F(SettingsDialog, HasItsPagesOnTheLeftAndHidesOnClose) {
  EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(settings)), "Settings");
  EXPECT_EQ(gtk_notebook_get_n_pages(GTK_NOTEBOOK(notebook)), 8);
  EXPECT_EQ(gtk_notebook_get_tab_pos(GTK_NOTEBOOK(notebook)), GTK_POS_LEFT);
  EXPECT_EQ(key("z_c_settings", DLG_SETTINGS), settings);
  EXPECT_FALSE(gtk_widget_get_visible(settings));
  EXPECT_EQ(key("z_d_settings", DLG_SETTINGS), settings);
}

TEST_F(SettingsDialog, AppliedPenColourReachesTheDrawing) {
  elem_new_line(cur_layer, 0, 0, -5, 0, 5, 0);
  view_redraw();
  settle();
  ASSERT_TRUE(view_surface(0));
  GtkWidget* pen = page("Pen");
  GtkWidget* chooser = all_of(pen, GTK_TYPE_COLOR_CHOOSER_WIDGET).at(0);
  const GdkRGBA green{0, 1, 0, 1};
  gtk_color_chooser_set_rgba(GTK_COLOR_CHOOSER(chooser), &green);
  std::vector<uint32_t> px = view_pixels(0);
  EXPECT_EQ(std::count(px.begin(), px.end(), 0x00FF00u), 0);
  click(button_labelled(pen, "Apply"));
  EXPECT_EQ(pens[0].g, 1.0);
  EXPECT_EQ(pens[0].r, 0.0);
  px = view_pixels(0);
  EXPECT_GT(std::count(px.begin(), px.end(), 0x00FF00u), 10);

  // Another pen and back, without Apply: the stored values come back.
  GtkWidget* number = all_of(pen, GTK_TYPE_SPIN_BUTTON).at(0);
  GtkWidget* width = all_of(pen, GTK_TYPE_ENTRY).at(1);
  const std::string stored = text_of(width);
  type_and_enter(width, "2");
  spin_to(number, 1);
  spin_to(number, 0);
  EXPECT_EQ(text_of(width), stored);
  EXPECT_EQ(settings_pen_edit.width, pens[0].width);
}

TEST_F(SettingsDialog, LineTypeApplyStoresLengthsAndPeriod) {
  GtkWidget* line = page("Line");
  std::vector<GtkWidget*> spins = all_of(line, GTK_TYPE_SPIN_BUTTON);
  spin_to(spins.at(0), 3);
  spin_to(spins.at(1), 2);
  GtkWidget* grid = all_of(line, GTK_TYPE_GRID).back();
  const char* lengths[] = {"1", "0.5", "2", "0.5", "9", "9"};
  for (int i = 0; i < 3; ++i) {
    type_and_enter(gtk_grid_get_child_at(GTK_GRID(grid), 1, i), lengths[2 * i]);
    type_and_enter(gtk_grid_get_child_at(GTK_GRID(grid), 3, i), lengths[2 * i + 1]);
  }
  click(button_labelled(line, "Apply"));
  EXPECT_DOUBLE_EQ(line_types[3].period, 4.0);
  EXPECT_DOUBLE_EQ(line_types[3].gap[2], 9.0);
}

TEST_F(SettingsDialog, FigureUnitSwapsTheLadderAndBackupRearms) {
  GtkWidget* input = page("Input");
  GtkWidget* figure = nullptr;
  for (GtkWidget* c : all_of(input, GTK_TYPE_COMBO_BOX))
    if (listed(c).size() == 6) figure = c;
  ASSERT_TRUE(figure);
  gtk_combo_box_set_active(GTK_COMBO_BOX(figure), 5);
  settle();
  EXPECT_EQ(length_unit, 5);
  EXPECT_DOUBLE_EQ(scale_ladder[SCALE_LADDER_SIZE - 1], 12.0 * 262144);
  gtk_combo_box_set_active(GTK_COMBO_BOX(figure), 0);
  settle();
  gtk_combo_box_set_active(GTK_COMBO_BOX(figure), 1);
  settle();
  EXPECT_DOUBLE_EQ(scale_ladder[SCALE_LADDER_SIZE - 1], 500000);

  const guint before = backup_timer_id;
  GtkWidget* interval = all_of(page("Local"), GTK_TYPE_SPIN_BUTTON).at(0);
  spin_to(interval, 1);
  EXPECT_EQ(backup_interval, 1);
  EXPECT_NE(backup_timer_id, 0u);
  EXPECT_NE(backup_timer_id, before);
  EXPECT_EQ(startup_backup_seconds(backup_interval), 60u);
  g_source_remove(backup_timer_id);
  backup_timer_id = 0;
}

TEST_F(SettingsDialog, AspectWidthScalesTheViewOnClose) {
  view_apply_scale(cur_view);
  const double before = views[cur_view].xscale;
  ASSERT_GT(before, 0.0);
  GtkWidget* aspect = key("z_d_aspect", DLG_ASPECT);
  ASSERT_TRUE(aspect);
  type_and_enter(all_of(aspect, GTK_TYPE_ENTRY).at(0), "20");
  EXPECT_EQ(screen_aspect.width, 20.0);
  EXPECT_EQ(key("z_c_aspect", DLG_ASPECT), aspect);
  EXPECT_FALSE(gtk_widget_get_visible(aspect));
  EXPECT_DOUBLE_EQ(views[cur_view].xscale, 2 * before);
}

TEST_F(SettingsDialog, FontDialogStartsAtTheStyleFilesFont) {
  home.make_folder(".kavro3");
  home.write(".kavro3/kavro.gtkrc",
             "style \"default\"\n{\nfont = \"Sans 12\"\n}\nwidget_class \"*\" style \"default\"\n");
  const std::string old_home = g_getenv("HOME") ? g_getenv("HOME") : "";
  g_setenv("HOME", home.path().c_str(), TRUE);
  GtkWidget* font = key("z_d_font", DLG_FONT);
  g_setenv("HOME", old_home.c_str(), TRUE);
  ASSERT_TRUE(font);
  GtkWidget* chooser = all_of(font, GTK_TYPE_FONT_CHOOSER_WIDGET).at(0);
  gchar* name = gtk_font_chooser_get_font(GTK_FONT_CHOOSER(chooser));
  EXPECT_STREQ(name, "Sans 12");
  g_free(name);
}

}  // namespace

namespace {

// A folder chosen with a path's "..." button shows in its entry, so that a
// later edit of the entry starts from it instead of writing the old path back.
TEST_F(SettingsDialog, ChosenFoldersShowInTheirEntries) {
  std::vector<GtkWidget*> entries;
  for (GtkWidget* e : all_of(page("Local"), GTK_TYPE_ENTRY))
    if (!GTK_IS_SPIN_BUTTON(e)) entries.push_back(e);
  ASSERT_EQ(entries.size(), 5u);
  const struct {
    const char* key;
    FixedText<PATH_LEN>* var;
  } rows[] = {{"p_path_draw", &draw_path},
              {"p_path_sym", &symbol_path},
              {"p_path_dxf", &import_path},
              {"p_path_export", &export_path},
              {"p_path_dia", &dialog_path}};
  for (std::size_t i = 0; i < 5; ++i) {
    const std::string chosen = "/srv/project " + std::to_string(i) + "/";
    ui().paths.push_back(chosen);
    cmd_dispatch_p(rows[i].key);
    settle();
    EXPECT_EQ(*rows[i].var, chosen) << rows[i].key;
    EXPECT_EQ(text_of(entries[i]), chosen) << rows[i].key;
  }
  // Built afresh, the dialog tracks its new entries.
  dlg_destroy(DLG_SETTINGS);
  settings = key("z_d_settings", DLG_SETTINGS);
  notebook = all_of(settings, GTK_TYPE_NOTEBOOK).at(0);
  ui().paths.push_back("/srv/again/");
  cmd_dispatch_p("p_path_draw");
  EXPECT_EQ(text_of(all_of(page("Local"), GTK_TYPE_ENTRY).at(0)), "/srv/again/");
}

}  // namespace
