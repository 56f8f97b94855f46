// Editing in the real window: the program started as a person starts it, a
// line in the drawing; the Edit page's Move button, the line clicked and Tab
// for the selection, two clicks for the vector and Enter; the undo button
// takes the move back. Then the Clip menu's Copy with an origin on the line,
// and Paste at another point turned towards a point on its right.

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <string>
#include <vector>

#include "display/draw.h"
#include "display/view.h"
#include "gui_steps.h"
#include "model/elem.h"
#include "model/geom.h"
#include "shell/gtk/mainwin.h"
#include "shell/mainwin_tables.h"

namespace {

using gui_steps::prompt;

constexpr int EDIT_PAGE = 11;

struct Seen {
  std::vector<double> moved, undone, pasted;  // x1, y1, x2, y2 of a line
  double dx = 0, dy = 0;                      // the vector of the two clicks
  double paste_x = 0, paste_y = 0;            // where the paste was put
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;      // the line drawn at the start
  int page = -1;
  size_t after_paste = 0;
};

std::vector<double> ends(const ElemHeader* e) {
  const auto* l = elem_as<LineElem>(e);
  if (!l) return {};
  return {l->p1.x, l->p1.y, l->p2.x, l->p2.y};
}

class EditRoadTest : public GuiProgramTest {
 protected:
  static GtkWidget* page_button(int page, const char* label) {
    GtkWidget* p = gtk_notebook_get_nth_page(GTK_NOTEBOOK(mainwin_widgets.notebook), page);
    return p ? gui_steps::find_labelled_button(p, label) : nullptr;
  }
  static int current_page() { return gtk_notebook_get_current_page(GTK_NOTEBOOK(mainwin_widgets.notebook)); }
};

TEST_F(EditRoadTest, MoveUndoCopyAndPasteThroughTheWindow) {
  Seen seen;
  // Pixels of the drawing area: the line, the vector's two clicks, the
  // paste's point and the point on its right.
  const int lx1 = 150, lx2 = 250, ly = 150, mx = 200;
  const int sx = 400, sy = 300, ex = 440, ey = 320;
  const int px = 300, py = 250, qx = 380;

  then([] { return idle() && about_shown(); }, close_about);
  then(gui_steps::steadily([] { return idle() && !about_shown(); }), [&] {
    seen.x1 = view_sx_to_wx(lx1);
    seen.y1 = view_sy_to_wy(ly);
    seen.x2 = view_sx_to_wx(lx2);
    seen.y2 = seen.y1;
    elem_new_line(0, 0, 0, seen.x1, seen.y1, seen.x2, seen.y2);
    view_redraw();
    GtkWidget* edit = gui_steps::find_labelled_button(main_window, "Edit");
    ASSERT_NE(edit, nullptr);
    gtk_button_clicked(GTK_BUTTON(edit));
  });
  then(gui_steps::steadily([] { return idle() && current_page() == EDIT_PAGE; }), [] {
    GtkWidget* move = page_button(EDIT_PAGE, "Move");
    ASSERT_NE(move, nullptr);
    gtk_button_clicked(GTK_BUTTON(move));
  });
  then([] { return prompt() == "Element:"; }, [&] { gui_steps::click_view(mx, ly); });
  then(gui_steps::steadily([] { return prompt() == "Element:" && elem_count_marked() == 1; }),
       [] { gui_steps::press_key(GDK_KEY_Tab); });
  then([] { return prompt() == "Move XYZ/Start point:"; },
       [&] {
         seen.dx = view_sx_to_wx(ex) - view_sx_to_wx(sx);
         seen.dy = view_sy_to_wy(ey) - view_sy_to_wy(sy);
         gui_steps::click_view(sx, sy);
       });
  then([] { return prompt() == "Move XYZ/End point:"; }, [&] { gui_steps::click_view(ex, ey); });
  then(gui_steps::steadily([] { return prompt() == "Move XYZ/Confirm:"; }), [] {
    if (GdkPixbuf* shot = gui_steps::screenshot("edit_road_move_confirm.png")) g_object_unref(shot);
    gui_steps::press_key(GDK_KEY_Return);
  });
  then([] { return prompt() == "Move XYZ/Start point:"; }, [] { gui_steps::press_key(GDK_KEY_Escape); });
  then(gui_steps::steadily(idle), [&] {
    seen.moved = ends(elem_list_head);
    if (GdkPixbuf* shot = gui_steps::screenshot("edit_road_moved.png")) g_object_unref(shot);
    gtk_button_clicked(GTK_BUTTON(mainwin_widgets.undo_button));
  });
  then(gui_steps::steadily(idle), [&] {
    seen.undone = ends(elem_list_head);
    choose_menu("Copy");
  });
  then([] { return prompt() == "Element:"; }, [&] { gui_steps::click_view(mx, ly); });
  then(gui_steps::steadily([] { return prompt() == "Element:" && elem_count_marked() == 1; }),
       [] { gui_steps::press_key(GDK_KEY_Tab); });
  then([] { return prompt() == "Origin:"; }, [&] { gui_steps::click_view(lx1, ly); });
  then([] { return prompt() == "Move/Confirm:"; }, [] { gui_steps::press_key(GDK_KEY_Return); });
  then(gui_steps::steadily(idle), [] { choose_menu("Paste"); });
  then([] { return prompt() == "Origin:"; },
       [&] {
         seen.paste_x = view_sx_to_wx(px);
         seen.paste_y = view_sy_to_wy(py);
         gui_steps::click_view(px, py);
       });
  then([] { return prompt() == "Move/Confirm:"; }, [] { gui_steps::press_key(GDK_KEY_Return); });
  then([] { return prompt() == "Angle/Direction Point:"; }, [&] { gui_steps::click_view(qx, py); });
  then(gui_steps::steadily([] { return prompt() == "Move/Confirm:"; }), [] {
    if (GdkPixbuf* shot = gui_steps::screenshot("edit_road_paste_angle.png")) g_object_unref(shot);
    gui_steps::press_key(GDK_KEY_Return);
  });
  then(gui_steps::steadily(idle), [&] {
    seen.after_paste = static_cast<size_t>(elem_count());
    seen.pasted = ends(elem_list_tail);
    if (GdkPixbuf* shot = gui_steps::screenshot("edit_road_pasted.png")) g_object_unref(shot);
    drawing_modified = 0;
    choose_menu("Quit");
  });

  std::string out;
  EXPECT_EQ(run_program({}, &out), 0);

  ASSERT_EQ(seen.moved.size(), 4u) << out;
  EXPECT_NEAR(seen.moved[0], seen.x1 + seen.dx, 1e-9);
  EXPECT_NEAR(seen.moved[1], seen.y1 + seen.dy, 1e-9);
  EXPECT_NEAR(seen.moved[2], seen.x2 + seen.dx, 1e-9);
  EXPECT_NEAR(seen.moved[3], seen.y2 + seen.dy, 1e-9);
  EXPECT_EQ(seen.undone, (std::vector<double>{seen.x1, seen.y1, seen.x2, seen.y2}));
  EXPECT_EQ(seen.after_paste, 2u);
  ASSERT_EQ(seen.pasted.size(), 4u);
  EXPECT_NEAR(seen.pasted[0], seen.paste_x, 1e-9);
  EXPECT_NEAR(seen.pasted[1], seen.paste_y, 1e-9);
  EXPECT_NEAR(seen.pasted[2], seen.paste_x + (seen.x2 - seen.x1), 1e-9);
  EXPECT_NEAR(seen.pasted[3], seen.paste_y, 1e-9);
}

}  // namespace
