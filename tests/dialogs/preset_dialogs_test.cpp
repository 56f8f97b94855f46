// The object-kind dialogs in the real toolkit: opened and closed by their
// keys and by the window manager, edited, and their presets saved, loaded
// and deleted through the dialog's and the tool page's combos.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "dialog_fixture.h"
#include "dialogs/pattern_groups.h"
#include "model/presets.h"

namespace {

namespace fs = std::filesystem;

using PresetDialogs = DialogTest;

TEST_F(PresetDialogs, OpeningAgainShowsTheSameWindowWithItsValues) {
  GtkWidget* wall = open(wall_dialog);
  ASSERT_TRUE(wall);
  EXPECT_TRUE(gtk_widget_get_visible(wall));
  EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(wall)), "Wall");
  EXPECT_FALSE(gtk_window_get_resizable(GTK_WINDOW(wall)));
  GtkWidget* thickness = dlg_widgets(PresetKind::WALL).of(&wall_preset.thickness);
  type_and_enter(thickness, "0.24");
  EXPECT_EQ(wall_preset.thickness, 0.24);
  EXPECT_EQ(text_of(thickness), "0.2400m");

  EXPECT_EQ(key("z_c_wall", DLG_WALL), wall);
  EXPECT_FALSE(gtk_widget_get_visible(wall));
  EXPECT_EQ(open(wall_dialog), wall);
  EXPECT_TRUE(gtk_widget_get_visible(wall));
  EXPECT_EQ(text_of(thickness), "0.2400m");

  // The window manager's close hides it too.
  gtk_window_close(GTK_WINDOW(wall));
  settle();
  EXPECT_EQ(dlg_slots[DLG_WALL], wall);
  EXPECT_FALSE(gtk_widget_get_visible(wall));
}

TEST_F(PresetDialogs, TextAndDimAreDestroyedOnClosingAndForgetTheirPreview) {
  struct Case {
    const PresetDialog& dialog;
    int view;
  };
  for (const Case& c : {Case{text_dialog, 1}, Case{dim_dialog, 2}}) {
    SCOPED_TRACE(c.dialog.open_key);
    ASSERT_TRUE(open(c.dialog));
    EXPECT_TRUE(view_widgets[c.view]);
    key(c.dialog.close_key, c.dialog.slot);
    EXPECT_EQ(dlg_slots[c.dialog.slot], nullptr);
    EXPECT_EQ(view_widgets[c.view], nullptr);
    EXPECT_EQ(dlg_widgets(c.dialog.kind).window, nullptr);
    view_reconfigure_all();

    // Built anew, from the current values; the window manager's close
    // destroys it as well.
    dim_preset.figure_width = 0.8;
    text_preset.width = 0.8;
    GtkWidget* again = open(c.dialog);
    ASSERT_TRUE(again);
    const void* var = c.view == 1 ? static_cast<void*>(&text_preset.width) : &dim_preset.figure_width;
    EXPECT_EQ(text_of(dlg_widgets(c.dialog.kind).of(var)), "0.800");
    gtk_window_close(GTK_WINDOW(again));
    settle();
    EXPECT_EQ(dlg_slots[c.dialog.slot], nullptr);
    EXPECT_EQ(view_widgets[c.view], nullptr);
    view_reconfigure_all();
  }
}

// Every dialog: a value typed in, saved under a new name with the exact
// bytes, loaded back by name after Default, and deleted again.
TEST_F(PresetDialogs, EditSaveLoadAndDeleteInEveryDialog) {
  struct Case {
    const PresetDialog& dialog;
    double* var;
    const char* typed;
    double stored;
    const char* file;
    GtkWidget* MainwinWidgets::*page_combo;
  };
  const Case cases[] = {
      {wall_dialog, &wall_preset.thickness, "0.24", 0.24, "Default\n0.240000\n0.000000\n2.750000\n0\n0\n",
       &MainwinWidgets::combo_wall},
      {room_dialog, &room_preset.base, "0.1", 0.1, "1.000000\n0.100000\n2.750000\n1\n1\n1\n1\n0\n0\n",
       &MainwinWidgets::combo_room},
      {text_dialog, &text_preset.line_spacing, "2,25", 2.25, "Simpel\n2.250000\n1.000000\n0.100000\n0\n0\n",
       &MainwinWidgets::combo_text},
      {dim_dialog, &dim_preset.figure_size, "3.5", 3.5,
       "Simpel\n0\n0\n1\n0\n3.500000\n0.100000\n1.000000\n1.500000\n1.000000\n0\n0\n",
       &MainwinWidgets::combo_dim},
      {opening_dialog, &opening_preset.base, "0.9", 0.9, "1\n0.900000\n1.510000\n0.062500\n0.115000\n",
       &MainwinWidgets::combo_opening},
      {window_dialog, &window_preset.height, "1.26", 1.26, "1\n1.000000\n1.260000\n0.062500\n0.115000\n",
       &MainwinWidgets::combo_window},
      {door_dialog, &door_preset.stop_width, "0", 0.0, "1\n0.000000\n2.510000\n0.000000\n0.115000\n",
       &MainwinWidgets::combo_door},
      {pattern_dialog, &pattern_preset.spacing1, "0.25", 0.25,
       "0\n0\n0\n0\n0.250000\n0.000000\n0.000000\n0.000000\n0\n0.000000\n0.000000\n0.000000\n",
       &MainwinWidgets::combo_pattern},
      {light_dialog, &light_preset.size, "4", 4.0,
       "0\n1\n4.000000\n20.000000\n1.000000\n1.000000\n1.000000\n0.000000\n", &MainwinWidgets::combo_light},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dialog.open_key);
    const PresetKind kind = c.dialog.kind;
    ASSERT_TRUE(open(c.dialog));
    const DlgWidgets& w = dlg_widgets(kind);
    GtkWidget* page = mainwin_widgets.*(c.page_combo);
    GtkWidget* value = w.of(c.var);
    ASSERT_TRUE(value);
    const double before = *c.var;
    const std::string shown_before = text_of(value);

    type_and_enter(value, c.typed);
    EXPECT_EQ(*c.var, c.stored);
    type_name(w.combo, "T1");
    EXPECT_EQ(preset_name(kind), "T1");
    EXPECT_EQ(*c.var, c.stored);  // no file of that name yet: nothing loaded
    click(w.save);
    EXPECT_EQ(preset_file(kind, "T1"), c.file);
    EXPECT_EQ(text_of(entry_of(page)), "T1");
    EXPECT_EQ(listed(w.combo), (std::vector<std::string>{"Default", "T1"}));
    EXPECT_EQ(listed(page), (std::vector<std::string>{"Default", "T1"}));

    // Default, then T1 again, chosen from the dialog's list.
    gtk_combo_box_set_active(GTK_COMBO_BOX(w.combo), 0);
    settle();
    EXPECT_EQ(*c.var, before);
    EXPECT_EQ(text_of(value), shown_before);
    EXPECT_EQ(text_of(entry_of(page)), "Default");
    gtk_combo_box_set_active(GTK_COMBO_BOX(w.combo), 1);
    settle();
    EXPECT_EQ(*c.var, c.stored);
    EXPECT_EQ(text_of(entry_of(page)), "T1");

    click(w.trash);
    EXPECT_FALSE(fs::exists(home / "dia" / preset_kind_name(kind) / "T1"));
    EXPECT_EQ(preset_name(kind), "Default");
    EXPECT_EQ(text_of(entry_of(w.combo)), "Default");
    EXPECT_EQ(text_of(entry_of(page)), "Default");
    EXPECT_EQ(listed(page), (std::vector<std::string>{"Default"}));
    EXPECT_EQ(*c.var, before);
    EXPECT_EQ(text_of(value), shown_before);

    // Trash on Default changes nothing.
    click(w.trash);
    EXPECT_TRUE(fs::exists(home / "dia" / preset_kind_name(kind) / "Default"));
  }
  EXPECT_TRUE(ui().calls_starting("error").empty());
}

TEST_F(PresetDialogs, ToolPageComboLoadsIntoTheOpenDialog) {
  put_preset(PresetKind::WALL, "Thin", "Lehm\n0.115\n0.1\n2.5\n3\n1\n");
  open(wall_dialog);
  const DlgWidgets& w = dlg_widgets(PresetKind::WALL);
  bind_combo_fill_from_folder(mainwin_widgets.combo_wall, "wall", "Thin");
  settle();
  EXPECT_EQ(wall_preset.thickness, 0.115);
  EXPECT_EQ(wall_preset.material, "Lehm");
  EXPECT_EQ(text_of(entry_of(w.combo)), "Thin");
  EXPECT_EQ(text_of(w.of(&wall_preset.thickness)), "0.1150m");
  EXPECT_EQ(text_of(entry_of(w.of(&wall_preset.material))), "Lehm");
  EXPECT_EQ(gtk_combo_box_get_active(GTK_COMBO_BOX(w.of(&wall_preset.pen))), 3);
  EXPECT_EQ(gtk_combo_box_get_active(GTK_COMBO_BOX(w.of(&wall_preset.line_type))), 1);
}

TEST_F(PresetDialogs, WallMaterialComboNamesTheWallsMaterialOnly) {
  put_preset(PresetKind::MAT, "Brick", "0.7\n0.2\n0.1\n0\n1\n0\n0\n0\n0\n0\n0\n\n0\n0\n0\n0\n0\n0\n\n");
  open(wall_dialog);
  GtkWidget* materials = dlg_widgets(PresetKind::WALL).of(&wall_preset.material);
  ASSERT_TRUE(materials);
  EXPECT_FALSE(gtk_widget_get_can_focus(entry_of(materials)));
  bind_combo_fill_from_folder(materials, "mat", "Brick");
  settle();
  EXPECT_EQ(wall_preset.material, "Brick");
  EXPECT_EQ(material_preset.name, "Default");
  EXPECT_EQ(material_preset.r, 1.0);
  EXPECT_EQ(text_of(entry_of(mainwin_widgets.combo_mat_3d)), "Default");
}

TEST_F(PresetDialogs, PatternTypeChoosesTheSensitiveGroups) {
  open(pattern_dialog);
  const DlgWidgets& w = dlg_widgets(PresetKind::PATTERN);
  GtkWidget* type = w.of(&pattern_preset.type);
  for (int t : {3, 1, 2, 0, 3}) {
    SCOPED_TRACE(t);
    gtk_combo_box_set_active(GTK_COMBO_BOX(type), t);
    settle();
    EXPECT_EQ(pattern_preset.type, t);
    const PatternGroups want = pattern_type_groups(t);
    EXPECT_EQ(gtk_widget_get_sensitive(w.groups[DLG_GROUP_LINE1]), want.line1);
    EXPECT_EQ(gtk_widget_get_sensitive(w.groups[DLG_GROUP_LINE2]), want.line2);
    EXPECT_EQ(gtk_widget_get_sensitive(w.groups[DLG_GROUP_FILLING]), want.filling);
  }
  EXPECT_FALSE(pattern_type_groups(PATTERN_FILLING).line1);
  EXPECT_TRUE(pattern_type_groups(PATTERN_TWO_LINES).line2);
  EXPECT_FALSE(pattern_type_groups(PATTERN_POINTS).line2);

  // A preset loaded while the dialog is open sets them too, and the angle
  // comes back in radians.
  put_preset(PresetKind::PATTERN, "Cross", "1\n0\n2\n0\n0.2\n45\n0.2\n-45\n1\n0\n0\n0\n");
  type_name(w.combo, "Cross");
  EXPECT_EQ(pattern_preset.type, PATTERN_TWO_LINES);
  EXPECT_EQ(pattern_preset.angle1, std::atan(1.0));
  EXPECT_EQ(gtk_combo_box_get_active(GTK_COMBO_BOX(type)), 1);
  EXPECT_TRUE(gtk_widget_get_sensitive(w.groups[DLG_GROUP_LINE2]));
  EXPECT_FALSE(gtk_widget_get_sensitive(w.groups[DLG_GROUP_FILLING]));
}

TEST_F(PresetDialogs, DoorSymbolItemsStoreTheirIndex) {
  open(door_dialog);
  const DlgWidgets& w = dlg_widgets(PresetKind::DOOR);
  GtkWidget* symbol = w.of(&door_preset.symbol_variant);
  gtk_combo_box_set_active(GTK_COMBO_BOX(symbol), 0);
  settle();
  EXPECT_EQ(door_preset.symbol_variant, 0);
  put_preset(PresetKind::DOOR, "Seven", "6\n0\n2.2\n0.05\n0.1\n");
  type_name(w.combo, "Seven");
  EXPECT_EQ(door_preset.symbol_variant, 6);
  EXPECT_EQ(gtk_combo_box_get_active(GTK_COMBO_BOX(symbol)), 6);
  gchar* label = gtk_combo_box_text_get_active_text(GTK_COMBO_BOX_TEXT(symbol));
  EXPECT_STREQ(label, "7");
  g_free(label);
}

TEST_F(PresetDialogs, LightWidgetsStoreTheirValues) {
  open(light_dialog);
  const DlgWidgets& w = dlg_widgets(PresetKind::LIGHT);
  gtk_spin_button_set_value(GTK_SPIN_BUTTON(w.of(&light_preset.angle)), 45);
  gtk_range_set_value(GTK_RANGE(w.of(&light_preset.shadow_intensity)), 0.25);
  gtk_combo_box_set_active(GTK_COMBO_BOX(w.of(&light_preset.type)), 1);
  gtk_combo_box_set_active(GTK_COMBO_BOX(w.of(&light_preset.shadow)), 0);
  const GdkRGBA orange{1.0, 0.5, 0.0, 1.0};
  G_GNUC_BEGIN_IGNORE_DEPRECATIONS
  gtk_color_selection_set_current_rgba(GTK_COLOR_SELECTION(w.of(&light_preset.r)), &orange);
  G_GNUC_END_IGNORE_DEPRECATIONS
  settle();
  EXPECT_EQ(light_preset.angle, 45.0);
  EXPECT_NEAR(light_preset.shadow_intensity, 0.25, 1e-6);
  EXPECT_EQ(light_preset.type, 1);
  EXPECT_EQ(light_preset.shadow, 0);
  EXPECT_NEAR(light_preset.r, 1.0, 1e-6);
  EXPECT_NEAR(light_preset.g, 0.5, 1e-6);
  EXPECT_NEAR(light_preset.b, 0.0, 1e-6);

  // Loaded values show in every widget.
  put_preset(PresetKind::LIGHT, "Blue", "0\n1\n2\n30\n0\n0\n1\n0.75\n");
  type_name(w.combo, "Blue");
  EXPECT_EQ(gtk_spin_button_get_value(GTK_SPIN_BUTTON(w.of(&light_preset.angle))), 30.0);
  EXPECT_NEAR(gtk_range_get_value(GTK_RANGE(w.of(&light_preset.shadow_intensity))), 0.75, 1e-6);
  EXPECT_EQ(gtk_combo_box_get_active(GTK_COMBO_BOX(w.of(&light_preset.type))), 0);
  GdkRGBA shown;
  G_GNUC_BEGIN_IGNORE_DEPRECATIONS
  gtk_color_selection_get_current_rgba(GTK_COLOR_SELECTION(w.of(&light_preset.r)), &shown);
  G_GNUC_END_IGNORE_DEPRECATIONS
  EXPECT_NEAR(shown.blue, 1.0, 1e-6);
  EXPECT_NEAR(shown.red, 0.0, 1e-6);
  // Showing the colour stored nothing back.
  EXPECT_EQ(light_preset.r, 0.0);
  EXPECT_EQ(light_preset.b, 1.0);
}

TEST_F(PresetDialogs, RoomTogglesAndPenStoreTheirValues) {
  open(room_dialog);
  const DlgWidgets& w = dlg_widgets(PresetKind::ROOM);
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(w.of(&room_preset.show_volume)), FALSE);
  gtk_combo_box_set_active(GTK_COMBO_BOX(w.of(&room_preset.pen)), 5);
  settle();
  EXPECT_EQ(room_preset.show_volume, 0);
  EXPECT_EQ(room_preset.show_area, 1);
  EXPECT_EQ(room_preset.pen, 5);
  type_name(w.combo, "R");
  click(w.save);
  EXPECT_EQ(preset_file(PresetKind::ROOM, "R"), "1.000000\n0.000000\n2.750000\n1\n0\n1\n1\n5\n0\n");
}

TEST_F(PresetDialogs, AFailedSaveKeepsTheValuesAndSaysSo) {
  put_preset(PresetKind::LIGHT, "Kept", "0\n1\n9\n20\n1\n1\n1\n0\n");
  open(light_dialog);
  const DlgWidgets& w = dlg_widgets(PresetKind::LIGHT);
  type_name(w.combo, "Kept");
  EXPECT_EQ(light_preset.size, 9.0);
  type_and_enter(w.of(&light_preset.size), "5");
  fs::rename(home / "dia/light", home / "dia/away");
  stdout_text();
  click(w.save);
  fs::rename(home / "dia/away", home / "dia/light");
  EXPECT_NE(stdout_text().find("/light/Kept* error"), std::string::npos);
  EXPECT_EQ(ui().calls_starting("error"), (std::vector<std::string>{"error Cannot open file"}));
  EXPECT_EQ(light_preset.size, 5.0);
  EXPECT_EQ(text_of(w.of(&light_preset.size)), "5.0000m");
  EXPECT_EQ(text_of(entry_of(w.combo)), "Kept");
  EXPECT_EQ(preset_file(PresetKind::LIGHT, "Kept"), "0\n1\n9\n20\n1\n1\n1\n0\n");
}

TEST_F(PresetDialogs, NamesLeavingTheFolderAreRefused) {
  open(opening_dialog);
  const DlgWidgets& w = dlg_widgets(PresetKind::OPENING);
  type_name(w.combo, "../x");
  click(w.save);
  click(w.trash);
  EXPECT_FALSE(fs::exists(home / "dia/x"));
  EXPECT_TRUE(fs::exists(home / "dia/opening/Default"));
  EXPECT_EQ(ui().calls_starting("error"), (std::vector<std::string>{"error Cannot open file"}));
  EXPECT_EQ(preset_name(PresetKind::OPENING), "../x");
}

TEST_F(PresetDialogs, ToolPagesLoadThroughTheHookWithoutAnyDialog) {
  put_preset(PresetKind::TEXT, "Big", "Rund\n3\n1.2\n0.2\n2\n0\n");
  ASSERT_TRUE(preset_load_hook);
  bind_combo_fill_from_folder(mainwin_widgets.combo_text, "text", "Big");
  settle();
  EXPECT_EQ(text_preset.font, "Rund");
  EXPECT_EQ(text_preset.line_spacing, 3.0);
  EXPECT_EQ(dlg_slots[DLG_TEXT], nullptr);
  // The dialog opened afterwards shows the loaded values.
  open(text_dialog);
  const DlgWidgets& w = dlg_widgets(PresetKind::TEXT);
  EXPECT_EQ(text_of(entry_of(w.combo)), "Big");
  EXPECT_EQ(text_of(w.of(&text_preset.line_spacing)), "3.00");
  EXPECT_EQ(text_of(entry_of(w.of(&text_preset.font))), "Rund");
}

}  // namespace
