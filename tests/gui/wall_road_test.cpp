// Walls in the real window: the program started as a person starts it, a
// rectangle of walls drawn with the Wall tool by clicks (south, west and
// east, then a fourth wall across the top), the fourth wall connected to
// the two side walls with the Connect tool, and the drawing saved through
// the menu and read back through the chunk dump.

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <cstring>
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
#include "saved_chunks.h"
#include "shell/dlg_table.h"
#include "shell/gtk/mainwin.h"
#include "shell/gtk/startup.h"

namespace {

namespace fs = std::filesystem;
using gui_steps::prompt;

// The screen's pixels in a square of 7 x 7 around (x, y) of the drawing area.
std::vector<guchar> screen_patch(const char* name, int x, int y) {
  std::vector<guchar> out;
  GdkPixbuf* shot = gui_steps::screenshot(name);
  GdkWindow* win = gtk_widget_get_window(gui_steps::drawing_area());
  if (shot && win) {
    int ox = 0, oy = 0;
    gdk_window_get_origin(win, &ox, &oy);
    const int n = gdk_pixbuf_get_n_channels(shot), stride = gdk_pixbuf_get_rowstride(shot);
    const guchar* px = gdk_pixbuf_get_pixels(shot);
    for (int py = oy + y - 3; py <= oy + y + 3; ++py)
      for (int qx = ox + x - 3; qx <= ox + x + 3; ++qx)
        for (int c = 0; c < 3; ++c) out.push_back(px[py * stride + qx * n + c]);
  }
  if (shot) g_object_unref(shot);
  return out;
}

// The tool button labelled text on whichever tool page holds it.
GtkWidget* tool_button(const char* text) {
  GtkNotebook* book = GTK_NOTEBOOK(mainwin_widgets.notebook);
  for (int i = 0; i < gtk_notebook_get_n_pages(book); ++i)
    if (GtkWidget* b = gui_steps::find_labelled_button(gtk_notebook_get_nth_page(book, i), text)) return b;
  return nullptr;
}

// Pixel corners of the walls: 20 pixels thick, the fourth across the top.
struct PixelRect {
  int x0, y0, x1, y1;
};
constexpr PixelRect south{80, 230, 330, 250}, west{80, 80, 100, 230}, east{310, 80, 330, 230},
    fourth{80, 60, 330, 80};

class WallRoadTest : public GuiProgramTest {
 protected:
  // A wall by its two corners, confirmed with Enter.
  static void wall(const PixelRect& r) {
    then([] { return prompt() == "1st Corner point:"; }, [r] { gui_steps::click_view(r.x0, r.y0); });
    then([] { return prompt() == "Move/2nd Corner point:"; }, [r] { gui_steps::click_view(r.x1, r.y1); });
    then([] { return prompt() == "Move/Confirm:"; }, [] { gui_steps::press_key(GDK_KEY_Return); });
  }
  // The two picks of a connection.
  static void connect(int x1, int y1, int x2, int y2) {
    then([] { return prompt() == "1st Wall:"; }, [x1, y1] { gui_steps::click_view(x1, y1); });
    then([] { return prompt() == "2nd Wall:"; }, [x2, y2] { gui_steps::click_view(x2, y2); });
  }
};

TEST_F(WallRoadTest, ARectangleOfWallsWithAFourthConnectedIntoIt) {
  // Where the west wall's top face meets the fourth wall, before and after
  // the connection, and a blank place to compare with.
  std::vector<guchar> joint_before, joint_after, blank;
  double x_inner_west = 0, x_inner_east = 0, y_joint = 0;

  then([] { return idle() && about_shown(); }, close_about);
  then(gui_steps::steadily([] { return idle() && !about_shown(); }), [&] {
    x_inner_west = view_sx_to_wx(west.x1);
    x_inner_east = view_sx_to_wx(east.x0);
    y_joint = view_sy_to_wy(fourth.y1);
    GtkWidget* b = tool_button("Wall");
    ASSERT_NE(b, nullptr);
    gtk_button_clicked(GTK_BUTTON(b));
  });
  for (const PixelRect& r : {south, west, east, fourth}) wall(r);
  then([] { return prompt() == "1st Corner point:" && elem_count() == 4; },
       [] { gui_steps::press_key(GDK_KEY_Escape); });
  then(gui_steps::steadily(idle), [&] {
    joint_before = screen_patch("wall_road_walls.png", 90, fourth.y1);
    blank = screen_patch("wall_road_blank.png", 205, 150);
    GtkWidget* b = tool_button("Connect");
    ASSERT_NE(b, nullptr);
    gtk_button_clicked(GTK_BUTTON(b));
  });
  connect(205, 70, 90, 150);
  connect(205, 70, 320, 150);
  then([] { return prompt() == "1st Wall:" && elem_count() == 4; },
       [] { gui_steps::press_key(GDK_KEY_Escape); });
  then(gui_steps::steadily(idle),
       [&] { joint_after = screen_patch("wall_road_connected.png", 90, fourth.y1); });
  save_as("walls.kav", idle);
  then(idle, [] { choose_menu("Quit"); });

  std::string out;
  EXPECT_EQ(run_program({}, &out), 0);

  const auto saved = saved_chunks(folder_ / "walls.kav", "WALL");
  ASSERT_EQ(saved.size(), 4u) << out;
  auto has = [](const std::string& line, const std::string& text) {
    return line.find(text) != std::string::npos;
  };
  int four = 0, three = 0;
  for (const std::string& w : saved) {
    if (has(w, " segments=4[")) ++four;
    if (has(w, " segments=3[")) ++three;
  }
  // The south wall and the fourth keep four segments, the side walls lose
  // their top faces; the fourth's lower face now runs between the side walls.
  EXPECT_EQ(four, 2);
  EXPECT_EQ(three, 2);
  // The last segment of each wall, as (start.x, start.y, end.x, end.y).
  auto last_segment = [](const std::string& line) {
    std::vector<double> v;
    const std::size_t at = line.rfind("{start.x=", line.find(" openings="));
    if (at == std::string::npos) return v;
    const std::string seg = line.substr(at);
    for (const char* name : {"{start.x=", " start.y=", " end.x=", " end.y="})
      v.push_back(std::stod(seg.substr(seg.find(name) + std::strlen(name))));
    return v;
  };
  const std::vector<double> inner{x_inner_west, y_joint, x_inner_east, y_joint};
  EXPECT_EQ(std::count_if(saved.begin(), saved.end(),
                          [&](const std::string& w) { return last_segment(w) == inner; }),
            1)
      << saved[0] << "\n"
      << saved[1] << "\n"
      << saved[2] << "\n"
      << saved[3];

  // On the screen: the line across the joint is gone.
  ASSERT_FALSE(blank.empty());
  EXPECT_NE(joint_before, blank) << "no wall face at the joint (test-output/gui/wall_road_walls.png)";
  EXPECT_EQ(joint_after, blank) << "the joint still shows a face (test-output/gui/wall_road_connected.png)";
}

}  // namespace
