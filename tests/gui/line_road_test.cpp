// The road of one request in the real window: the program started as a
// person starts it, the Line tool's button pressed, two clicks into the
// drawing, Enter to confirm, Escape; the drawing saved through the menu and
// the file chooser and read back through the chunk dump; then Undo, which
// takes the line off the screen and out of the next saved file.

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "display/view.h"
#include "gui_steps.h"
#include "model/elem.h"
#include "model/geom.h"
#include "model/settings.h"
#include "model/view_rec.h"
#include "saved_chunks.h"
#include "shell/dlg_table.h"
#include "shell/gtk/keymap_gtk.h"
#include "shell/gtk/mainwin.h"
#include "shell/gtk/startup.h"

namespace {

namespace fs = std::filesystem;
using gui_steps::prompt;

// The number after " name=" in a dump line; NaN when it is missing.
double field(const std::string& line, const std::string& name) {
  const std::size_t at = line.find(" " + name + "=");
  if (at == std::string::npos) return std::nan("");
  return std::stod(line.substr(at + name.size() + 2));
}

// The pixels of a square of 7 x 7 around (x, y) of the drawing area, from a
// screenshot of the whole screen.
std::vector<guchar> patch(GdkPixbuf* shot, int x, int y) {
  std::vector<guchar> out;
  GdkWindow* win = gtk_widget_get_window(gui_steps::drawing_area());
  if (!shot || !win) return out;
  int ox = 0, oy = 0;
  gdk_window_get_origin(win, &ox, &oy);
  const int n = gdk_pixbuf_get_n_channels(shot), stride = gdk_pixbuf_get_rowstride(shot);
  const guchar* px = gdk_pixbuf_get_pixels(shot);
  for (int py = oy + y - 3; py <= oy + y + 3; ++py)
    for (int qx = ox + x - 3; qx <= ox + x + 3; ++qx)
      for (int c = 0; c < 3; ++c) out.push_back(px[py * stride + qx * n + c]);
  return out;
}

std::vector<guchar> screen_patch(const char* name, int x, int y) {
  GdkPixbuf* shot = gui_steps::screenshot(name);
  std::vector<guchar> out = patch(shot, x, y);
  if (shot) g_object_unref(shot);
  return out;
}

// The toggle button "Line" on the Line tool page.
GtkWidget* line_button() {
  GtkWidget* page = gtk_notebook_get_nth_page(GTK_NOTEBOOK(mainwin_widgets.notebook), 1);
  return page ? gui_steps::find_labelled_button(page, "Line") : nullptr;
}

bool button_held(GtkWidget* b) { return b && gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(b)); }

// What the steps saw.
struct Road {
  int page = -1;
  bool held_while_asking = false, held_after_escape = true;
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // the world points of the clicks
  int pen = -1, line_type = -1;
  std::vector<guchar> before, drawn, undone;  // the screen around the line's middle
  bool undo_sensitive = false;
};

class LineRoadTest : public GuiProgramTest {
 protected:
};

TEST_F(LineRoadTest, ClicksConfirmEscapeSaveUndoThroughTheWindow) {
  Road road;
  // Two points of the drawing area, the middle of their line on a pixel.
  const int ax = 120, ay = 90, bx = 320, by = 250, mx = (ax + bx) / 2, my = (ay + by) / 2;

  then([] { return idle() && about_shown(); }, close_about);
  then(gui_steps::steadily([] { return idle() && !about_shown(); }), [&road, mx, my] {
    road.page = gtk_notebook_get_current_page(GTK_NOTEBOOK(mainwin_widgets.notebook));
    road.before = screen_patch("line_road_before.png", mx, my);
    GtkWidget* b = line_button();
    ASSERT_NE(b, nullptr);
    gtk_button_clicked(GTK_BUTTON(b));
  });
  then([] { return prompt() == "Start point:"; },
       [&road, ax, ay] {
         road.held_while_asking = button_held(line_button());
         road.x1 = view_sx_to_wx(ax);
         road.y1 = view_sy_to_wy(ay);
         gui_steps::click_view(ax, ay);
       });
  then([] { return prompt() == "Move/End point:"; },
       [&road, bx, by] {
         road.x2 = view_sx_to_wx(bx);
         road.y2 = view_sy_to_wy(by);
         gui_steps::click_view(bx, by);
       });
  then(gui_steps::steadily([] { return prompt() == "Move/Confirm:"; }), [] {
    // The rubber band, to look at.
    if (GdkPixbuf* shot = gui_steps::screenshot("line_road_confirm.png")) g_object_unref(shot);
    gui_steps::press_key(GDK_KEY_Return);
  });
  // The tool asks for the next line.
  then([] { return prompt() == "Start point:" && elem_count() == 1; },
       [&road] {
         road.pen = cur_pen;
         road.line_type = cur_line_type;
         gui_steps::press_key(GDK_KEY_Escape);
       });
  then(gui_steps::steadily(idle), [&road, mx, my] {
    road.held_after_escape = button_held(line_button());
    road.drawn = screen_patch("line_road_drawn.png", mx, my);
  });
  save_as("road.kav", idle);
  then(idle, [&road] {
    road.undo_sensitive = gtk_widget_get_sensitive(mainwin_widgets.undo_button);
    gtk_button_clicked(GTK_BUTTON(mainwin_widgets.undo_button));
  });
  then(gui_steps::steadily([] { return idle() && elem_count() == 0; }),
       [&road, mx, my] { road.undone = screen_patch("line_road_undone.png", mx, my); });
  save_as("undone.kav", idle);
  then(idle, [] { choose_menu("Quit"); });

  std::string out;
  EXPECT_EQ(run_program({}, &out), 0);
  EXPECT_EQ(main_window, nullptr);

  EXPECT_EQ(road.page, 1) << "the Line page is not the one shown at the start";
  EXPECT_TRUE(road.held_while_asking) << "the tool's button did not stay pressed";
  EXPECT_FALSE(road.held_after_escape) << "Escape did not let the tool's button go";
  EXPECT_NE(road.x1, road.x2);
  EXPECT_NE(road.y1, road.y2);

  const auto saved = saved_chunks(folder_ / "road.kav", "LINE");
  ASSERT_EQ(saved.size(), 1u) << out;
  const std::string& l = saved[0];
  EXPECT_NE(l.find(" layer=0 group=0 pen=" + std::to_string(road.pen) +
                   " line_type=" + std::to_string(road.line_type) + " "),
            std::string::npos)
      << l;
  EXPECT_DOUBLE_EQ(field(l, "p1.x"), road.x1) << l;
  EXPECT_DOUBLE_EQ(field(l, "p1.y"), road.y1) << l;
  EXPECT_DOUBLE_EQ(field(l, "p2.x"), road.x2) << l;
  EXPECT_DOUBLE_EQ(field(l, "p2.y"), road.y2) << l;

  EXPECT_TRUE(road.undo_sensitive);
  ASSERT_TRUE(fs::exists(folder_ / "undone.kav"));
  EXPECT_TRUE(saved_chunks(folder_ / "undone.kav", "LINE").empty());

  // On the screen: the line crosses the middle, and Undo took it away.
  ASSERT_FALSE(road.before.empty());
  EXPECT_NE(road.drawn, road.before) << "the line is not on the screen (test-output/gui/line_road_drawn.png)";
  EXPECT_EQ(road.undone, road.before)
      << "the line stayed on the screen (test-output/gui/line_road_undone.png)";
}

// The same road with typed points: "a", the coordinates into the entry
// that opens, Enter; twice, then Enter to confirm.
TEST_F(LineRoadTest, TypedPointsGoThroughTheKeyboardAndTheValueEntry) {
  std::vector<std::string> prompts;
  auto type_point = [](const char* xy) {
    then([] { return prompt() == "Abs. X/Y/Z:" && mainwin_value_entry_widget(); },
         [xy] {
           gui_steps::type_text(xy);
           gui_steps::press_key(GDK_KEY_Return);
         });
  };
  then([] { return idle() && about_shown(); }, close_about);
  then([] { return idle() && !about_shown(); }, [] { gtk_button_clicked(GTK_BUTTON(line_button())); });
  then([] { return prompt() == "Start point:"; }, [] { gui_steps::press_key(GDK_KEY_a); });
  type_point("0;0");
  then([] { return prompt() == "Move/End point:"; }, [] { gui_steps::press_key(GDK_KEY_a); });
  type_point("3;4");
  then([] { return prompt() == "Move/Confirm:"; }, [] { gui_steps::press_key(GDK_KEY_Return); });
  then([] { return prompt() == "Start point:" && elem_count() == 1; },
       [] { gui_steps::press_key(GDK_KEY_Escape); });
  save_as("typed.kav", idle);
  then(idle, [] { choose_menu("Quit"); });

  std::string out;
  EXPECT_EQ(run_program({}, &out), 0);
  const auto saved = saved_chunks(folder_ / "typed.kav", "LINE");
  ASSERT_EQ(saved.size(), 1u) << out;
  EXPECT_NE(saved[0].find(" layer=0 group=0 "), std::string::npos) << saved[0];
  EXPECT_NE(saved[0].find(" p1.x=0 p1.y=0 p2.x=3 p2.y=4"), std::string::npos) << saved[0];
}

}  // namespace
