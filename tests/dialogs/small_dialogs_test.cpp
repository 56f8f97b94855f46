#include <algorithm>
#include <string>
#include <vector>

#include "dialog_fixture.h"
#include "dialogs/dlg_small.h"
#include "display/select.h"
#include "exchange/printer_setup.h"
#include "model/layers.h"
#include "model/scale_ladder.h"
#include "shell/cmd_dispatch.h"
#include "shell/mainwin_tables.h"
#include "shell/mainwin_text.h"

namespace {

class SmallDialogs : public DialogTest {
 protected:
  // Every widget of type below w, in window order.
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
    return nullptr;
  }
  static GtkWidget* check_labelled(GtkWidget* w, const char* label) {
    for (GtkWidget* b : all_of(w, GTK_TYPE_CHECK_BUTTON))
      if (std::string(gtk_button_get_label(GTK_BUTTON(b))) == label) return b;
    return nullptr;
  }
  static int toplevels_titled(const char* title) {
    int n = 0;
    GList* list = gtk_window_list_toplevels();
    for (GList* l = list; l; l = l->next) {
      const char* t = gtk_window_get_title(GTK_WINDOW(l->data));
      n += t && std::string(t) == title;
    }
    g_list_free(list);
    return n;
  }
};

TEST_F(SmallDialogs, SnapEditsSizeAndSwitches) {
  GtkWidget* snap = key("z_d_snap", DLG_SNAP);
  ASSERT_TRUE(snap);
  EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(snap)), "Snap");
  gtk_spin_button_set_value(GTK_SPIN_BUTTON(all_of(snap, GTK_TYPE_SPIN_BUTTON).at(0)), 12);
  snap_use_polygon_points = 1;
  click(check_labelled(snap, "Polygon points"));
  EXPECT_EQ(snap_size, 12);
  EXPECT_EQ(snap_use_polygon_points, 0);
  EXPECT_EQ(all_of(snap, GTK_TYPE_CHECK_BUTTON).size(), 9u);
  EXPECT_EQ(key("z_c_snap", DLG_SNAP), snap);
  EXPECT_FALSE(gtk_widget_get_visible(snap));
}

TEST_F(SmallDialogs, FilterObjectTypeLetsOnlyThatKindPass) {
  GtkWidget* filter = key("z_d_filter", DLG_FILTER);
  ASSERT_TRUE(filter);
  elem_new_line(0, 0, 0, 0, 0, 1, 1);
  elem_new_camera(0, 0, 0, 0, -10, 2, 0, 0, 2, 60, 0);
  std::vector<GtkWidget*> menus = all_of(filter, GTK_TYPE_COMBO_BOX);
  GtkWidget* by = menus.front();
  GtkWidget* kinds = menus.back();
  gtk_combo_box_set_active(GTK_COMBO_BOX(by), 3);
  const std::vector<std::string> labels = listed(kinds);
  ASSERT_EQ(labels.size(), 12u);
  const int camera = static_cast<int>(std::find(labels.begin(), labels.end(), "Camera") - labels.begin());
  gtk_combo_box_set_active(GTK_COMBO_BOX(kinds), camera);
  settle();
  EXPECT_EQ(select_filter.mode, 3);
  EXPECT_EQ(select_filter.kind_choice, camera);
  select_filter.on = 1;
  std::vector<int> passed;
  for (ElemHeader* e : elements()) passed.push_back(select_filter_match(e));
  EXPECT_EQ(passed, (std::vector<int>{0, 1}));
  select_filter.on = 0;
}

TEST_F(SmallDialogs, ScaleStepsAlongTheLadderAndStaysAtItsEnds) {
  view_scale_ladder_metric();
  GtkWidget* scale = key("z_d_scale", DLG_SCALE);
  ASSERT_TRUE(scale);
  drawing_scale = 150;
  click(button_labelled(scale, "<"));
  EXPECT_EQ(drawing_scale, 100);
  drawing_scale = 150;
  click(button_labelled(scale, ">"));
  EXPECT_EQ(drawing_scale, 200);
  drawing_scale = scale_ladder[SCALE_LADDER_SIZE - 1];
  click(button_labelled(scale, ">"));
  EXPECT_EQ(drawing_scale, scale_ladder[SCALE_LADDER_SIZE - 1]);
  drawing_scale = scale_ladder[0];
  click(button_labelled(scale, "<"));
  EXPECT_EQ(drawing_scale, scale_ladder[0]);
  EXPECT_EQ(text_of(all_of(scale, GTK_TYPE_ENTRY).at(0)).substr(0, 6), "0.0001");
}

TEST_F(SmallDialogs, SizeDialogsAreBuiltAfreshAndStoreTheirValue) {
  GtkWidget* first = key("z_d_textsize", DLG_TEXTSIZE);
  GtkWidget* second = key("z_d_textsize", DLG_TEXTSIZE);
  ASSERT_TRUE(second);
  EXPECT_NE(first, second);
  EXPECT_EQ(toplevels_titled("Textsize"), 1);
  GtkWidget* entry = all_of(second, GTK_TYPE_ENTRY).at(0);
  EXPECT_EQ(gtk_window_get_focus(GTK_WINDOW(second)), entry);
  GtkWidget* label = mainwin_widgets.size_labels[static_cast<int>(MainwinSize::TEXT)];
  ASSERT_TRUE(label);
  type_and_enter(entry, "3.5");
  EXPECT_EQ(text_size, 3.5);
  // The tool page's size label follows.
  EXPECT_EQ(std::string(gtk_label_get_text(GTK_LABEL(label))), mainwin_size_text(MainwinSize::TEXT));
  EXPECT_NE(mainwin_size_text(MainwinSize::TEXT).find("3.5"), std::string::npos);
  EXPECT_EQ(key("z_c_textsize", DLG_TEXTSIZE), nullptr);
  EXPECT_EQ(toplevels_titled("Textsize"), 0);

  struct Case {
    const char* open;
    const char* close;
    DlgId slot;
    double* var;
  } cases[] = {{"z_d_openingsize", "z_c_openingsize", DLG_OPENINGSIZE, &opening_width},
               {"z_d_doorsize", "z_c_doorsize", DLG_DOORSIZE, &door_width},
               {"z_d_windowsize", "z_c_windowsize", DLG_WINDOWSIZE, &window_width},
               {"z_d_profilesize", "z_c_profilesize", DLG_PROFILESIZE, &profile_size}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.open);
    GtkWidget* w = key(c.open, c.slot);
    ASSERT_TRUE(w);
    type_and_enter(all_of(w, GTK_TYPE_ENTRY).at(0), "0.885");
    EXPECT_EQ(*c.var, 0.885);
    EXPECT_EQ(key(c.close, c.slot), nullptr);
  }
}

TEST_F(SmallDialogs, CameraAngleReachesTheActiveCameraOnly) {
  elem_new_camera(0, 0, 0, 0, -10, 2, 0, 0, 2, 60, 1);
  elem_new_camera(0, 0, 0, 0, -10, 2, 0, 0, 2, 60, 0);
  GtkWidget* camera = key("z_d_camera", DLG_CAMERA);
  ASSERT_TRUE(camera);
  gtk_spin_button_set_value(GTK_SPIN_BUTTON(all_of(camera, GTK_TYPE_SPIN_BUTTON).at(0)), 45);
  settle();
  EXPECT_EQ(view_camera.view_angle, 45);
  std::vector<ElemHeader*> e = elements();
  EXPECT_EQ(elem_as<CameraElem>(e[0])->view_angle, 45);
  EXPECT_EQ(elem_as<CameraElem>(e[1])->view_angle, 60);
  // The camera tools show their angle in the open dialog.
  ui().calls.clear();
  dlg_camera_set_angle(30);
  EXPECT_EQ(gtk_spin_button_get_value(GTK_SPIN_BUTTON(all_of(camera, GTK_TYPE_SPIN_BUTTON).at(0))), 30);
}

class LayerDialogTest : public SmallDialogs {
 protected:
  GtkTreeModel* rows(GtkWidget* dialog, int which) {
    return gtk_tree_view_get_model(GTK_TREE_VIEW(all_of(dialog, GTK_TYPE_TREE_VIEW).at(which)));
  }
  std::string text_at(GtkTreeModel* m, int row, int column) {
    GtkTreeIter it;
    EXPECT_TRUE(gtk_tree_model_iter_nth_child(m, &it, nullptr, row));
    gchar* s = nullptr;
    gtk_tree_model_get(m, &it, column, &s, -1);
    std::string out = s ? s : "";
    g_free(s);
    return out;
  }
  GdkPixbuf* picture_at(GtkTreeModel* m, int row, int column) {
    GtkTreeIter it;
    EXPECT_TRUE(gtk_tree_model_iter_nth_child(m, &it, nullptr, row));
    GdkPixbuf* p = nullptr;
    gtk_tree_model_get(m, &it, column, &p, -1);
    if (p) g_object_unref(p);
    return p;
  }
  double background_at(GtkTreeModel* m, int row) {
    GtkTreeIter it;
    EXPECT_TRUE(gtk_tree_model_iter_nth_child(m, &it, nullptr, row));
    GdkRGBA* c = nullptr;
    gtk_tree_model_get(m, &it, 5, &c, -1);
    const double red = c ? c->red : -1;
    gdk_rgba_free(c);
    return red;
  }
};

TEST_F(LayerDialogTest, RowsShowMarksNumbersAndFollowClicks) {
  cur_layer = 5;
  elem_new_line(7, 0, 0, 0, 0, 1, 1);
  GtkWidget* layer = key("z_d_layer", DLG_LAYER);
  ASSERT_TRUE(layer);
  GtkTreeModel* m = rows(layer, 1);
  EXPECT_EQ(gtk_tree_model_iter_n_children(m, nullptr), 100);
  EXPECT_EQ(text_at(m, 5, 4), "  5");
  EXPECT_EQ(text_at(m, 42, 4), " 42");
  EXPECT_EQ(background_at(m, 5), 1.0);
  EXPECT_LT(background_at(m, 6), 1.0);
  GdkPixbuf* current = picture_at(m, 5, 0);
  ASSERT_NE(current, nullptr);
  EXPECT_NE(picture_at(m, 6, 0), current);
  EXPECT_NE(picture_at(m, 7, 3), picture_at(m, 6, 3));  // layer 7 holds an element

  // Column 1 of the current row flips its shown flag; the mark stays.
  dlg_layer_on_layer_row(5, 1, false);
  EXPECT_EQ(layers[5].shown, 1);
  EXPECT_EQ(picture_at(rows(layer, 1), 5, 0), current);
  dlg_layer_on_layer_row(9, 0, false);
  EXPECT_EQ(cur_layer, 9);

  // Up and Down through the buttons' keys.
  cmd_dispatch("p_layerfunc_up");
  settle();
  EXPECT_EQ(cur_layer, 8);
  EXPECT_EQ(text_at(rows(layer, 1), 8, 4), "  8");
  EXPECT_EQ(background_at(rows(layer, 1), 8), 1.0);

  // Another list.
  dlg_layer_on_list_row(3, 1, false);
  EXPECT_EQ(text_at(rows(layer, 1), 0, 4), "300");
  EXPECT_EQ(layer_dlg_list, 3);
  dlg_layer_on_list_row(0, 1, false);
  EXPECT_EQ(key("z_c_layer", DLG_LAYER), layer);
  EXPECT_FALSE(gtk_widget_get_visible(layer));
}

TEST_F(LayerDialogTest, RenamingThroughTheNameEntry) {
  GtkWidget* layer = key("z_d_layer", DLG_LAYER);
  ASSERT_TRUE(layer);
  dlg_layer_on_layer_row(2, 2, true);
  GtkWidget* entry_window = static_cast<GtkWidget*>(dlg_slots[DLG_LAYERENTRY]);
  ASSERT_TRUE(entry_window);
  type_and_enter(all_of(entry_window, GTK_TYPE_ENTRY).at(0), "Walls");
  EXPECT_EQ(layers[2].name, "Walls");
  EXPECT_EQ(dlg_slots[DLG_LAYERENTRY], nullptr);
  EXPECT_EQ(text_at(rows(layer, 1), 2, 2), "Walls");
}

TEST_F(LayerDialogTest, SetsAreSavedRecalledAndDeletedFromTheDialog) {
  GtkWidget* layer = key("z_d_layer", DLG_LAYER);
  ASSERT_TRUE(layer);
  GtkWidget* combo = all_of(layer, GTK_TYPE_COMBO_BOX).at(0);
  cur_layer = 5;
  layers[7].shown = 1;
  type_name(combo, "A");
  cmd_dispatch("p_layerstate_save");
  settle();
  EXPECT_EQ(listed(combo), (std::vector<std::string>{"Default", "A"}));
  cur_layer = 1;
  layers[7].shown = 0;
  // Closing the list without a choice recalls the set named in the entry.
  g_object_notify(G_OBJECT(combo), "popup-shown");
  settle();
  EXPECT_EQ(cur_layer, 5);
  EXPECT_EQ(layers[7].shown, 1);

  // Chosen from the list: the menu hides before the choice reaches the entry.
  type_name(combo, "Default");
  cur_layer = 2;
  g_object_notify(G_OBJECT(combo), "popup-shown");
  gtk_combo_box_set_active(GTK_COMBO_BOX(combo), 1);
  settle();
  EXPECT_EQ(cur_layer, 5);
  EXPECT_EQ(text_of(entry_of(combo)), "A");

  cmd_dispatch("p_layerstate_delete");
  settle();
  EXPECT_EQ(listed(combo), (std::vector<std::string>{"Default"}));
  EXPECT_EQ(text_of(entry_of(combo)), "Default");
}

TEST_F(SmallDialogs, PrintSetupIsNewOnEachOpeningAndCustomKeepsTheCommand) {
  const std::string saved = printcap_path;
  printcap_path = (home / "printcap").string();
  home.write("printcap", "office|o:\\\n\t:sd=/x:\n");
  printer_names.clear();
  GtkWidget* setup = key("z_d_printsetup", DLG_PRINTSETUP);
  ASSERT_TRUE(setup);
  EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(setup)), "Print Setup");
  GtkWidget* printers = all_of(setup, GTK_TYPE_COMBO_BOX).at(0);
  std::vector<GtkWidget*> entries = all_of(setup, GTK_TYPE_ENTRY);
  GtkWidget* command = entries.at(0);

  gtk_combo_box_set_active(GTK_COMBO_BOX(printers), 2);
  settle();
  EXPECT_EQ(print_settings.printer_name, "office");
  EXPECT_EQ(print_settings.command, printer_use_lpr ? "lpr -Poffice" : "lp -d office");
  EXPECT_FALSE(gtk_widget_is_sensitive(command));

  gtk_combo_box_set_active(GTK_COMBO_BOX(printers), 1);
  settle();
  EXPECT_TRUE(gtk_widget_is_sensitive(command));
  type_and_enter(command, "cat");
  EXPECT_EQ(print_settings.command, "cat");

  print_settings.scale = 150;
  view_scale_ladder_metric();
  click(button_labelled(setup, ">"));
  EXPECT_EQ(print_settings.scale, 200);

  EXPECT_EQ(key("z_c_printsetup", DLG_PRINTSETUP), nullptr);
  print_settings.paper_index = 2;
  GtkWidget* again = key("z_d_printsetup", DLG_PRINTSETUP);
  ASSERT_TRUE(again);
  EXPECT_EQ(gtk_combo_box_get_active(GTK_COMBO_BOX(all_of(again, GTK_TYPE_COMBO_BOX).at(2))), 2);
  EXPECT_NEAR(print_settings.paper_width, 29.70, 0.005);
  EXPECT_EQ(text_of(all_of(again, GTK_TYPE_ENTRY).at(0)), "cat");
  key("z_c_printsetup", DLG_PRINTSETUP);
  printcap_path = saved;
  printer_names.clear();
}

TEST_F(SmallDialogs, PlotSetupAndPrintScaleOpenApplyAndClose) {
  GtkWidget* plot = key("z_d_plotsetup", DLG_PLOTSETUP);
  ASSERT_TRUE(plot);
  gtk_spin_button_set_value(GTK_SPIN_BUTTON(all_of(plot, GTK_TYPE_SPIN_BUTTON).at(0)), 0.005);
  settle();
  EXPECT_NEAR(plot_settings.resolution, 0.005, 1e-9);
  EXPECT_EQ(key("z_c_plotsetup", DLG_PLOTSETUP), nullptr);

  view_scale_ladder_metric();
  print_settings.scale = 150;
  GtkWidget* ps = key("z_d_printscale", DLG_PRINTSCALE);
  ASSERT_TRUE(ps);
  click(button_labelled(ps, "<"));
  EXPECT_EQ(print_settings.scale, 100);
  EXPECT_EQ(key("z_c_printscale", DLG_PRINTSCALE), ps);
}

}  // namespace
