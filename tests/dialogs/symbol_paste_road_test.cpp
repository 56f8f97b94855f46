// Pasting from the symbol browser in the real program: the browser opened
// on the user's copy of the shipped library, the table chosen and turned to
// 90 degrees with the slider, "Paste", one click for the origin and Enter.
// The table comes in on the current layer, turned about its origin.

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dialogs/dlg_symbol.h"
#include "display/view.h"
#include "gui/gui_steps.h"
#include "model/elem.h"
#include "model/geom.h"
#include "model/layers.h"
#include "model/settings.h"

namespace {

using gui_steps::prompt;

struct Seen {
  double ox = 0, oy = 0;  // the clicked origin
  std::string library;
  std::vector<std::string> folders;
  int before = -1;
  bool hidden = false;  // the browser, once placing began
  std::vector<const LineElem*> lines;
  int others = 0;
  bool on_current_layer = true;
  double xmin = 1e9, ymin = 1e9, xmax = -1e9, ymax = -1e9;
};

class SymbolPasteRoadTest : public GuiProgramTest {
 protected:
  static void choose(GtkWidget* view, const std::vector<std::string>& rows, const std::string& text) {
    const auto it = std::find(rows.begin(), rows.end(), text);
    ASSERT_NE(it, rows.end()) << text;
    GtkTreePath* path = gtk_tree_path_new_from_indices(static_cast<int>(it - rows.begin()), -1);
    gtk_tree_selection_select_path(gtk_tree_view_get_selection(GTK_TREE_VIEW(view)), path);
    gtk_tree_path_free(path);
  }
};

TEST_F(SymbolPasteRoadTest, TheTablePastedAtNinetyDegrees) {
  Seen seen;
  const int px = 300, py = 250;
  then([] { return idle() && about_shown(); }, close_about);
  then(gui_steps::steadily([] { return idle() && !about_shown(); }),
       [] { cmd_post_key(nullptr, "z_d_symbol"); });
  then(gui_steps::steadily([] { return dlg_slots[DLG_SYMBOL] && view_surface(7); }), [&] {
    seen.library = symbol_path.c_str();
    seen.folders = dlg_symbol_folder_rows();
    choose(dlg_symbol_widgets().folders, dlg_symbol_folder_rows(), "/furniture");
    choose(dlg_symbol_widgets().files, dlg_symbol_file_rows(), "table.sym");
    gtk_range_set_value(GTK_RANGE(dlg_symbol_widgets().slider), 90.0);
  });
  then(gui_steps::steadily([] { return std::string(symbol_file.c_str()).ends_with("/table.sym"); }), [&] {
    if (GdkPixbuf* shot = gui_steps::screenshot("symbol_browser.png")) g_object_unref(shot);
    seen.before = elem_count();
    gtk_button_clicked(GTK_BUTTON(dlg_symbol_widgets().paste));
  });
  then([] { return prompt() == "Origin:"; },
       [&] {
         seen.hidden = !gtk_widget_get_visible(static_cast<GtkWidget*>(dlg_slots[DLG_SYMBOL]));
         seen.ox = view_sx_to_wx(px);
         seen.oy = view_sy_to_wy(py);
         gui_steps::click_view(px, py);
       });
  then([] { return prompt() == "Move/Confirm:"; }, [] { gui_steps::press_key(GDK_KEY_Return); });
  then(gui_steps::steadily(idle), [&] {
    int i = 0;
    for (const ElemHeader* e = elem_list_head; e; e = e->next, ++i) {
      if (i < seen.before) continue;
      if (e->layer != cur_layer) seen.on_current_layer = false;
      const auto* l = elem_as<LineElem>(e);
      if (!l) {
        ++seen.others;
        continue;
      }
      seen.lines.push_back(l);
      for (const auto& p : {l->p1, l->p2}) {
        seen.xmin = std::min(seen.xmin, p.x);
        seen.xmax = std::max(seen.xmax, p.x);
        seen.ymin = std::min(seen.ymin, p.y);
        seen.ymax = std::max(seen.ymax, p.y);
      }
    }
    if (GdkPixbuf* shot = gui_steps::screenshot("symbol_pasted.png")) g_object_unref(shot);
    drawing_modified = 0;
    choose_menu("Quit");
  });

  std::string out;
  EXPECT_EQ(run_program({}, &out), 0);
  EXPECT_EQ(out.find("no handler"), std::string::npos) << out;
  EXPECT_EQ(out.find("unknown"), std::string::npos) << out;
  EXPECT_TRUE(seen.library.ends_with("/KAVRO3/sym/")) << seen.library;
  EXPECT_EQ(seen.folders.size(), 4u);
  EXPECT_TRUE(seen.hidden);
  // The table of 1.6 x 0.9 m, its long side now upright, left of the origin.
  EXPECT_EQ(seen.lines.size(), 4u) << out;
  EXPECT_EQ(seen.others, 0);
  EXPECT_TRUE(seen.on_current_layer);
  EXPECT_NEAR(seen.xmin, seen.ox - 0.9, 1e-9);
  EXPECT_NEAR(seen.xmax, seen.ox, 1e-9);
  EXPECT_NEAR(seen.ymin, seen.oy, 1e-9);
  EXPECT_NEAR(seen.ymax, seen.oy + 1.6, 1e-9);
}

}  // namespace
