// The main window: what every menu item and button posts, the category
// buttons and tool pages, the view-type toggles, the Select page during a
// selection, the bars and the title.

#include "shell/gtk/mainwin.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cstring>
#include <string>
#include <vector>

#include "display/key_state.h"
#include "display/view.h"
#include "mainwin_fixture.h"
#include "model/files/load_save.h"
#include "model/layers.h"
#include "model/settings.h"
#include "model/units.h"
#include "shell/cmd_commands.h"
#include "shell/cmd_keys.h"
#include "shell/dlg_boxes.h"
#include "shell/dlg_table.h"

namespace {

using Keys = std::vector<std::string>;

GtkWidget* find_widget(GtkWidget* w, GType type) {
  if (G_TYPE_CHECK_INSTANCE_TYPE(w, type)) return w;
  if (!GTK_IS_CONTAINER(w)) return nullptr;
  std::vector<GtkWidget*> kids;
  gtk_container_forall(
      GTK_CONTAINER(w),
      [](GtkWidget* c, gpointer list) { static_cast<std::vector<GtkWidget*>*>(list)->push_back(c); }, &kids);
  for (GtkWidget* k : kids)
    if (GtkWidget* f = find_widget(k, type)) return f;
  return nullptr;
}

// What each part of the window must post, in reading order.
const Keys menu_keys = {
    "p_file_info",       "p_file_load",       "p_file_save",
    "z_d_scale",         "z_d_settings",      "p_file_import_truetype",
    "p_file_import_3ds", "p_file_import_gts", "p_file_import_dgm",
    "z_d_dxf_in",        "z_d_dxf_out",       "p_file_export_eps",
    "p_file_export_svg", "p_file_export_pdf", "p_file_export_lwo",
    "p_file_export_pov", "p_file_export_3ds", "p_file_export_gts",
    "p_tools_remdup",    "z_d_printsetup",    "p_file_print",
    "z_d_plotsetup",     "p_file_plot",       "p_file_new",
    "p_file_quit",       "p_symbol_cut",      "p_symbol_copy",
    "p_symbol_paste",    "z_help_guide",      "z_help_tutorial",
    "z_help_readme",     "z_help_shortcut",   "z_help_about",
};

const Keys page_keys[TOOL_PAGE_COUNT] = {
    {"z_d_symbol", "b_symbol_load", "b_symbol_save", "b_symbol_remove", "b_symbol_library_new",
     "b_symbol_library_remove", "b_symbol_group", "b_symbol_ungroup", "b_symbol_cut", "b_symbol_copy",
     "b_symbol_paste", "b_edit_delete"},
    {"b_line_line", "b_line_x", "b_line_y", "b_line_a", "b_line_parallel", "b_line_pparallel",
     "b_line_orthogonal", "b_line_frame", "b_line_oframe", "b_line_polygon", "b_line_join",
     "b_line_join_line", "b_line_join_arc", "b_line_attach", "b_line_extend", "b_line_erase", "b_line_dpart",
     "b_line_cut", "b_edit_delete"},
    {"b_circle_circle", "b_circle_3point", "b_circle_arc", "b_circle_arc3point", "b_circle_ellipse",
     "b_circle_ellipsefame", "b_circle_parallel", "b_circle_pparallel", "b_circle_extend", "b_circle_erase",
     "b_circle_dpart", "b_circle_spline", "b_circle_splinedissolve", "b_edit_delete"},
    {"b_wall_wall", "b_wall_axis", "b_wall_side", "b_wall_angle", "z_d_wall", "b_wall_connect",
     "b_wall_connect_all", "b_wall_separate", "b_wall_separate_all", "b_wall_join", "b_wall_attach",
     "b_wall_extend", "b_wall_erase", "b_wall_alter_height", "b_edit_delete"},
    {"b_opening_opening", "z_d_opening", "z_d_openingsize", "b_opening_door", "z_d_door", "z_d_doorsize",
     "b_opening_window", "z_d_window", "z_d_windowsize", "b_opening_alter_opening", "b_opening_alter_door",
     "b_opening_alter_window", "b_opening_alter_height", "b_opening_dissolve", "b_opening_remove",
     "b_edit_delete"},
    {"b_dim_dim", "b_dim_x", "b_dim_y", "b_dim_auto", "b_dim_plus", "b_dim_minus", "b_dim_height", "b_dim_r",
     "b_dim_d", "b_dim_a", "b_dim_h", "z_d_dim", "b_dim_alter_value", "b_dim_alter_move", "b_dim_alter_size",
     "b_dim_alter_style", "b_dim_original", "b_edit_delete"},
    {"b_text_text", "b_text_x", "b_text_y", "z_d_text", "z_d_textsize", "b_text_alter_content",
     "b_text_alter_format", "b_text_alter_size", "b_text_alter_style", "b_edit_delete"},
    {"b_room_poly", "b_room_range", "b_room_add_poly", "b_room_add_range", "z_d_room",
     "b_room_alter_description", "b_room_alter_number", "b_room_alter_factor", "b_room_alter_height",
     "b_room_alter_inscription", "b_room_position", "b_edit_delete"},
    {"b_pattern_poly", "b_pattern_range", "b_pattern_add_poly", "b_pattern_add_range", "z_d_pattern",
     "b_pattern_alter_pattern_b", "b_pattern_alter_pattern", "b_pattern_alter_pattern_a",
     "b_pattern_alter_angle", "b_pattern_alter_space", "b_pattern_alter_origin", "b_pattern_dissolve",
     "b_edit_delete"},
    // The view grid's "Render", "Hidden" and "Radiance" come first.
    {"z_d_pov",           "z_d_hlr",       "z_d_ray",          "b_3d_camera",  "b_3d_camera_change",
     "z_d_camera",        "b_3d_light",    "b_3d_light_alter", "z_d_light",    "b_3d_cuboid",
     "b_3d_sphere",       "b_3d_polygon",  "b_3d_prism",       "b_3d_tube",    "b_3d_cone",
     "b_3d_cutcone",      "b_3d_line",     "b_wall_attach_3D", "b_3d_union",   "b_3d_difference",
     "b_3d_intersection", "b_3d_material", "z_d_mat",          "b_edit_delete"},
    {"b_unit_gablewall", "b_unit_ceiling", "b_unit_beam", "b_unit_pillar", "b_unit_rpillar",
     "b_unit_stairway", "b_unit_profile", "z_d_profilesize", "b_3d_material", "z_d_mat", "b_edit_delete"},
    {"b_edit_move", "b_edit_copy", "b_edit_mcopy", "b_edit_series", "b_edit_pseries", "b_edit_rotate",
     "b_edit_mirror", "b_edit_stretch", "b_edit_stretch_text", "b_edit_alter_all", "b_edit_alter_pen",
     "b_edit_alter_line", "b_edit_delete"},
    {"s_deffi_all", "s_deffi_last", "z_d_filter", "s_deffi_ok"},
};

// View bar row by row (tools, Layers, two snaps; then the other two snaps),
// then the snap bar row by row (Undo and Redo span both rows).
const Keys bar_keys = {"b_gauge", "s_maplus",  "f_mamid",  "s_maminus", "s_alles",  "f_pan",   "z_pap",
                       "f_zoom",  "z_d_layer", "z_snap_i", "z_snap_m",  "z_snap_d", "z_snap_t"};
const Keys snap_bar_keys = {"p_undo", "p_redo", "z_d_snap", "p_glminus"};

class MainwinKeysTest : public MainwinTest {
 protected:
  // Activates each widget; every tool and view-tool button stays pressed
  // after its click.
  Keys activate_all(const std::vector<GtkWidget*>& widgets) {
    Keys keys;
    for (GtkWidget* w : widgets) {
      std::string key = activate(w);
      keys.push_back(key);
      if (key[0] == 'b' || key[0] == 'f') {
        EXPECT_TRUE(pressed(w)) << key << " is not pressed after its click";
      }
      EXPECT_TRUE(cmd_key_known(key.c_str()) || cmd_key_only_ends_wait(key.c_str()))
          << key << " is not a key of the command loop";
    }
    return keys;
  }
};

TEST_F(MainwinKeysTest, EveryMenuItemPostsItsKey) {
  GtkWidget* bar = find_widget(window, GTK_TYPE_MENU_BAR);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(activate_all(command_widgets(bar)), menu_keys);
}

TEST_F(MainwinKeysTest, EveryToolPageButtonPostsItsKey) {
  GtkWidget* notebook = mainwin_widgets.notebook;
  ASSERT_NE(notebook, nullptr);
  ASSERT_EQ(gtk_notebook_get_n_pages(GTK_NOTEBOOK(notebook)), TOOL_PAGE_COUNT);
  for (int page = 0; page < TOOL_PAGE_COUNT; ++page)
    EXPECT_EQ(activate_all(command_widgets(gtk_notebook_get_nth_page(GTK_NOTEBOOK(notebook), page))),
              page_keys[page])
        << "page " << page;
}

TEST_F(MainwinKeysTest, EveryBarButtonPostsItsKey) {
  EXPECT_EQ(activate_all(command_widgets(mainwin_widgets.view_bar)), bar_keys);
  GtkWidget* snap_bar = gtk_widget_get_parent(mainwin_widgets.undo_button);
  EXPECT_EQ(activate_all(command_widgets(snap_bar)), snap_bar_keys);
}

// Nothing else in the window posts a key: the walk of the whole window finds
// exactly the menu, the pages and the bars.
TEST_F(MainwinKeysTest, NoOtherWidgetPostsAKey) {
  std::size_t expected = menu_keys.size() + bar_keys.size() + snap_bar_keys.size();
  for (const Keys& k : page_keys) expected += k.size();
  EXPECT_EQ(command_widgets(window).size(), expected);
}

TEST_F(MainwinKeysTest, MenuAcceleratorsShowControlKeys) {
  struct Case {
    const char* key;
    guint letter;
  };
  const Case cases[] = {
      {"p_file_load", GDK_KEY_l},  {"p_file_save", GDK_KEY_s},   {"z_d_settings", GDK_KEY_comma},
      {"p_file_print", GDK_KEY_p}, {"p_file_new", GDK_KEY_n},    {"p_file_quit", GDK_KEY_q},
      {"p_symbol_cut", GDK_KEY_x}, {"p_symbol_copy", GDK_KEY_c}, {"p_symbol_paste", GDK_KEY_v}};
  std::vector<GtkWidget*> items = command_widgets(find_widget(window, GTK_TYPE_MENU_BAR));
  int with_accel = 0;
  for (GtkWidget* item : items) {
    std::string key = activate(item);
    guint letter = 0;
    GdkModifierType mods = GdkModifierType(0);
    gtk_accel_label_get_accel(GTK_ACCEL_LABEL(gtk_bin_get_child(GTK_BIN(item))), &letter, &mods);
    const Case* c = nullptr;
    for (const Case& x : cases)
      if (key == x.key) c = &x;
    if (!c) {
      EXPECT_EQ(letter, 0u) << key;
      continue;
    }
    ++with_accel;
    EXPECT_EQ(letter, c->letter) << key;
    EXPECT_EQ(mods, GDK_CONTROL_MASK) << key;
  }
  EXPECT_EQ(with_accel, 9);
}

class MainwinPagesTest : public MainwinTest {
 protected:
  GtkWidget* category(const char* label) {
    std::vector<GtkWidget*> buttons;
    collect_buttons(window, label, buttons);
    return buttons.empty() ? nullptr : buttons.front();
  }
  static void collect_buttons(GtkWidget* w, const char* label, std::vector<GtkWidget*>& out) {
    if (GTK_IS_BUTTON(w) && !GTK_IS_TOGGLE_BUTTON(w) && !has_command(w)) {
      GtkWidget* child = gtk_bin_get_child(GTK_BIN(w));
      if (child && GTK_IS_LABEL(child) && std::strcmp(gtk_label_get_text(GTK_LABEL(child)), label) == 0)
        out.push_back(w);
    }
    if (!GTK_IS_CONTAINER(w)) return;
    std::vector<GtkWidget*> kids;
    children_of(w, kids);
    for (GtkWidget* k : kids) collect_buttons(k, label, out);
  }
  static int shown_page() { return gtk_notebook_get_current_page(GTK_NOTEBOOK(mainwin_widgets.notebook)); }
};

TEST_F(MainwinPagesTest, CategoryButtonsShowTheirPagesAndPostThePageSwitch) {
  EXPECT_EQ(shown_page(), 1);
  EXPECT_EQ(mainwin_current_page, 1);
  struct Case {
    const char* label;
    int page;
  };
  const Case cases[] = {{"Line", 1}, {"Circle", 2}, {"Wall", 3},  {"Opening", 4},
                        {"Dim", 5},  {"Text", 6},   {"Room", 7},  {"Pattern", 8},
                        {"3D", 9},   {"Unit", 10},  {"Edit", 11}, {"Symbol", 0}};
  for (const Case& c : cases) {
    GtkWidget* b = category(c.label);
    ASSERT_NE(b, nullptr) << c.label;
    command_key = "nop";
    gtk_button_clicked(GTK_BUTTON(b));
    EXPECT_EQ(shown_page(), c.page) << c.label;
    EXPECT_EQ(mainwin_current_page, c.page) << c.label;
    EXPECT_STREQ(command_key.c_str(), "p_newmenue") << c.label;
  }
  // An unknown name switches nothing but still ends a waiting tool.
  command_key = "nop";
  mainwin_show_tool_page(nullptr, "Line");
  EXPECT_EQ(shown_page(), 0);
  EXPECT_STREQ(command_key.c_str(), "p_newmenue");
}

TEST_F(MainwinPagesTest, OnlyThe3DAndEditPagesKeepAProjection) {
  struct Case {
    const char* name;
    int type_after;
  };
  for (Case c : {Case{"3d", 2}, Case{"edit", 2}, Case{"line", 0}, Case{"wall", 0}, Case{"symbol", 0}}) {
    mainwin_select_view(2);
    zoom_count() = 0;
    mainwin_show_tool_page(nullptr, c.name);
    EXPECT_EQ(view_type, c.type_after) << c.name;
    EXPECT_EQ(pressed(mainwin_widgets.view_toggles[c.type_after]), true) << c.name;
    EXPECT_EQ(pressed(mainwin_widgets.view_toggles[2]), c.type_after == 2) << c.name;
    EXPECT_EQ(zoom_count(), c.type_after == 0 ? 1 : 0) << c.name;
  }
}

TEST_F(MainwinPagesTest, ViewTogglesAreExclusiveAndTheCurrentOneStaysPressed) {
  GtkWidget** t = mainwin_widgets.view_toggles;
  for (int type = 0; type < VIEW_TYPE_COUNT; ++type) ASSERT_NE(t[type], nullptr) << type;
  // At start the plan view is pressed and nothing has been fitted.
  EXPECT_TRUE(pressed(t[0]));
  EXPECT_EQ(zoom_count(), 0);

  // Clicking the pressed toggle keeps it pressed and fits once.
  gtk_button_clicked(GTK_BUTTON(t[0]));
  EXPECT_TRUE(pressed(t[0]));
  EXPECT_EQ(view_type, 0);
  EXPECT_EQ(zoom_count(), 1);

  for (int type : {7, 5, 3, 0}) {
    zoom_count() = 0;
    gtk_button_clicked(GTK_BUTTON(t[type]));
    EXPECT_EQ(view_type, type);
    EXPECT_EQ(zoom_count(), 1) << type;
    for (int other = 0; other < VIEW_TYPE_COUNT; ++other) EXPECT_EQ(pressed(t[other]), other == type) << type;
  }

  // Selecting a view from the program fits exactly once, also when it is current already.
  for (int type : {4, 4, 0}) {
    zoom_count() = 0;
    mainwin_select_view(type);
    EXPECT_EQ(view_type, type);
    EXPECT_EQ(zoom_count(), 1) << type;
    for (int other = 0; other < VIEW_TYPE_COUNT; ++other) EXPECT_EQ(pressed(t[other]), other == type) << type;
  }
}

TEST_F(MainwinPagesTest, TheSelectPageShowsDuringASelectionWithItsChoicesReset) {
  const MainwinWidgets& w = mainwin_widgets;
  mainwin_show_tool_page(nullptr, "wall");
  gtk_button_clicked(GTK_BUTTON(w.select_point));
  gtk_button_clicked(GTK_BUTTON(w.select_filter));
  ASSERT_EQ(select_type, 4);
  ASSERT_EQ(select_filter.on, 1);
  select_mode = 2;
  select_all_layers = 1;

  for (unsigned char opening_and_point : {0, 1}) {
    command_key = "nop";
    ui().mainwin_select_page_enter(opening_and_point);
    EXPECT_EQ(shown_page(), TOOL_PAGE_SELECT);
    EXPECT_EQ(mainwin_current_page, 3);
    EXPECT_EQ(select_mode, 0);
    EXPECT_EQ(select_type, 1);
    EXPECT_EQ(select_all_layers, 0);
    EXPECT_EQ(select_filter.on, 0);
    EXPECT_FALSE(pressed(w.select_filter));
    EXPECT_STREQ(command_key.c_str(), "nop") << "resetting the choices posts nothing";
    EXPECT_EQ(gtk_widget_get_sensitive(w.select_opening), opening_and_point == 1);
    EXPECT_EQ(gtk_widget_get_sensitive(w.select_point), opening_and_point == 1);
    ui().mainwin_select_page_leave();
    EXPECT_EQ(shown_page(), 3);
  }
  // A choice the user makes during the selection posts z_toggle.
  ui().mainwin_select_page_enter(1);
  gtk_button_clicked(GTK_BUTTON(w.select_point));
  EXPECT_STREQ(command_key.c_str(), "z_toggle");
  EXPECT_EQ(select_type, 4);
}

TEST_F(MainwinPagesTest, BoundTogglesOfThePagesStoreTheirFlags) {
  const MainwinWidgets& w = mainwin_widgets;
  for (int i = 0; i < 4; ++i) {
    ASSERT_NE(w.text_editor_toggles[i], nullptr);
    gtk_button_clicked(GTK_BUTTON(w.text_editor_toggles[i]));
    EXPECT_EQ(text_use_editor[i], 1) << i;
  }
  // After a load the toggles show the loaded flags.
  text_use_editor[1] = 0;
  ui().gui_reset_after_load();
  EXPECT_FALSE(pressed(w.text_editor_toggles[1]));
  EXPECT_TRUE(pressed(w.text_editor_toggles[2]));
}

TEST_F(MainwinPagesTest, SizeButtonsShowTheSizesInTheCurrentUnits) {
  text_size = 3.5;
  opening_width = 0.885;
  door_width = 1.01;
  window_width = 1.26;
  profile_size = 0.08;
  length_unit = 1;  // cm
  mainwin_size_labels_refresh();
  std::string texts[5];
  for (int i = 0; i < 5; ++i) {
    ASSERT_NE(mainwin_widgets.size_labels[i], nullptr) << i;
    texts[i] = gtk_label_get_text(GTK_LABEL(mainwin_widgets.size_labels[i]));
  }
  EXPECT_EQ(texts[0], units_format_size(3.5));
  EXPECT_EQ(texts[1], units_format_length(0.885));
  EXPECT_EQ(texts[2], units_format_length(1.01));
  EXPECT_EQ(texts[3], units_format_length(1.26));
  EXPECT_EQ(texts[4], units_format_length(0.08));
  EXPECT_NE(texts[1], units_format_length(1.26));
}

class MainwinBarsTest : public MainwinTest {};

TEST_F(MainwinBarsTest, UndoRedoAndSnapButtonsFollowTheirCalls) {
  const MainwinWidgets& w = mainwin_widgets;
  EXPECT_FALSE(gtk_widget_get_sensitive(w.undo_button));
  EXPECT_FALSE(gtk_widget_get_sensitive(w.redo_button));
  ui().undo_button_enable(true);
  EXPECT_TRUE(gtk_widget_get_sensitive(w.undo_button));
  EXPECT_FALSE(gtk_widget_get_sensitive(w.redo_button));
  ui().redo_button_enable(true);
  ui().undo_button_enable(false);
  EXPECT_FALSE(gtk_widget_get_sensitive(w.undo_button));
  EXPECT_TRUE(gtk_widget_get_sensitive(w.redo_button));

  for (GtkWidget* b : w.snap_buttons) EXPECT_FALSE(gtk_widget_get_sensitive(b));
  EXPECT_EQ(snap_keys_enabled, 0);
  ui().mainwin_snap_buttons_enable();
  for (GtkWidget* b : w.snap_buttons) EXPECT_TRUE(gtk_widget_get_sensitive(b));
  EXPECT_EQ(snap_keys_enabled, 1);
  ui().mainwin_snap_buttons_disable();
  for (GtkWidget* b : w.snap_buttons) EXPECT_FALSE(gtk_widget_get_sensitive(b));
  EXPECT_EQ(snap_keys_enabled, 0);
}

TEST_F(MainwinBarsTest, StatusFieldsAndTitle) {
  const MainwinWidgets& w = mainwin_widgets;
  // Drawing the view filled the fields with the world point under the pointer.
  EXPECT_EQ(gtk_entry_get_text(GTK_ENTRY(w.coord_x)), "X: " + units_format_length(pointer_world.x));
  EXPECT_EQ(gtk_entry_get_text(GTK_ENTRY(w.coord_y)), "Y: " + units_format_length(pointer_world.y));
  EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(w.scale_label)), " 1:1 ");
  ui().mainwin_set_prompt("Start point:");
  ui().mainwin_set_coord_x(" X: 1.5 ");
  ui().mainwin_set_coord_y(" Y: -2\xB0 ");  // ISO-8859-1 degree sign
  mainwin_set_scale_label(" 1:333 ");
  EXPECT_STREQ(gtk_entry_get_text(GTK_ENTRY(w.prompt)), "Start point:");
  EXPECT_STREQ(gtk_entry_get_text(GTK_ENTRY(w.coord_x)), " X: 1.5 ");
  EXPECT_STREQ(gtk_entry_get_text(GTK_ENTRY(w.coord_y)), " Y: -2\xC2\xB0 ");
  EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(w.scale_label)), " 1:333 ");

  // The title is set only while the window is the started main window.
  main_window = window;
  drawing_file = "/home/u/KAVRO3/draw/Haus.kav";
  layers[cur_layer].name = "Erdgescho\xDF";
  drawing_scale = 99.6;
  ui().mainwin_update_title();
  EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(window)),
               "KAVRO  File: /home/u/KAVRO3/draw/Haus.kav  Layer: Erdgescho\xC3\x9F  Scale: 1:100");
  main_window = nullptr;
}

TEST_F(MainwinBarsTest, ViewOptionTogglesFollowTheLoadedFlags) {
  const MainwinWidgets& w = mainwin_widgets;
  view_options.show_guide_points = 0;
  view_options.all_black = 1;
  view_options.exact_line_thickness = 1;
  snap_preview_on = 1;
  ui().mainwin_toolbar_toggles_refresh();
  EXPECT_FALSE(pressed(w.view_option_toggles[0]));
  EXPECT_TRUE(pressed(w.view_option_toggles[1]));
  EXPECT_TRUE(pressed(w.view_option_toggles[2]));
  EXPECT_TRUE(pressed(w.snap_preview_toggle));
  // Refreshing shows the flags; it stores nothing back.
  EXPECT_EQ(view_options.show_guide_points, 0);
}

// A person's screen may be small: the whole window at its natural size fits
// a screen of 1024 x 768 pixels, whatever page is shown.
TEST_F(MainwinBarsTest, TheWindowFitsASmallScreen) {
  for (int page = 0; page < TOOL_PAGE_COUNT; ++page) {
    gtk_notebook_set_current_page(GTK_NOTEBOOK(mainwin_widgets.notebook), page);
    GtkRequisition minimum, natural;
    gtk_widget_get_preferred_size(window, &minimum, &natural);
    EXPECT_LE(minimum.width, 1024) << "page " << page;
    EXPECT_LE(minimum.height, 740) << "page " << page;
  }
}

// Every destroyed window leaves no widget behind that later calls would touch.
TEST_F(MainwinBarsTest, CallsAfterTheWindowIsGoneDoNothing) {
  gtk_widget_destroy(window);
  settle();
  EXPECT_EQ(mainwin_widgets.window, nullptr);
  ui().mainwin_set_prompt("x");
  ui().undo_button_enable(true);
  ui().mainwin_snap_buttons_enable();
  mainwin_size_labels_refresh();
  mainwin_refresh_pen_menus();
  mainwin_select_view(3);
  mainwin_select_page_enter(1);
  mainwin_select_page_leave();
  gui_preset_combos_refill();
  mainwin_update_title();
  EXPECT_EQ(view_type, 3);
}

}  // namespace

namespace {

class MainwinResetTest : public MainwinTest {
 protected:
  void SetUp() override {
    MainwinTest::SetUp();
    dlg_use_gtk();
    for (DlgId id : ids) dlg_store(id, gtk_window_new(GTK_WINDOW_TOPLEVEL));
  }
  void TearDown() override {
    for (DlgId id : ids) dlg_destroy(id);
    MainwinTest::TearDown();
  }
  static bool built(DlgId id) { return dlg_slots[id] != nullptr; }
  static constexpr DlgId ids[] = {DLG_POV,  DLG_RAY,  DLG_LAYER,      DLG_SNAP, DLG_SETTINGS,
                                  DLG_WALL, DLG_TEXT, DLG_PRINTSCALE, DLG_ABOUT};
};

// Dialogs that show data a load or settings file replaced go, to be built
// from the new values when opened next; the others stay.
TEST_F(MainwinResetTest, ResetsDropTheDialogsShowingReplacedData) {
  ui().gui_reset_after_load();
  for (DlgId id : {DLG_POV, DLG_RAY, DLG_LAYER, DLG_SNAP, DLG_SETTINGS}) EXPECT_FALSE(built(id)) << id;
  for (DlgId id : {DLG_WALL, DLG_TEXT, DLG_PRINTSCALE, DLG_ABOUT}) EXPECT_TRUE(built(id)) << id;

  ui().gui_reset_dialogs_after_settings();
  for (DlgId id : {DLG_WALL, DLG_TEXT, DLG_PRINTSCALE}) EXPECT_FALSE(built(id)) << id;
  EXPECT_TRUE(built(DLG_ABOUT));

  dlg_store(DLG_LAYER, gtk_window_new(GTK_WINDOW_TOPLEVEL));
  elem_new_line(0, 1, 0, 0, 0, 1, 1);
  gui_reset_for_new_drawing();
  EXPECT_FALSE(built(DLG_LAYER));
  EXPECT_TRUE(elements().empty());
}

}  // namespace
