// Rooms in the real window, as an architect adds them to a small plan: four
// walls drawn with the Wall tool, a room laid into them with the Room
// page's Area tool (text start point clicked, description and number typed
// into the value entry), a stair well cut out of it with the Add Area tool,
// the drawing saved through the menu and read back through the chunk dump.

#include <gtest/gtest.h>
#include <gtk/gtk.h>

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
#include "shell/gtk/keymap_gtk.h"
#include "shell/gtk/mainwin.h"
#include "shell/gtk/startup.h"

namespace {

namespace fs = std::filesystem;
using gui_steps::prompt;

// The value of "name=" in a dump line, as a number.
double field(const std::string& line, const std::string& name) {
  const std::size_t at = line.find(" " + name + "=");
  return at == std::string::npos ? -1e9 : std::stod(line.substr(at + name.size() + 2));
}

// The contour list of a room's dump line.
std::vector<Point2> points_of(const std::string& line) {
  std::vector<Point2> out;
  for (std::size_t at = line.find("{x="); at != std::string::npos; at = line.find("{x=", at + 1)) {
    const std::size_t y = line.find(" y=", at);
    out.push_back({std::stod(line.substr(at + 3)), std::stod(line.substr(y + 3)), 0});
  }
  return out;
}

// The index-th button labelled text on the Room page (the page has two
// "Area" buttons: a new room and an added contour).
GtkWidget* room_button(const char* text, int index = 0) {
  GtkWidget* page = gtk_notebook_get_nth_page(GTK_NOTEBOOK(mainwin_widgets.notebook), 7);
  std::vector<GtkWidget*> found;
  std::vector<GtkWidget*> todo{page};
  while (!todo.empty()) {
    GtkWidget* w = todo.front();
    todo.erase(todo.begin());
    if (GTK_IS_BUTTON(w)) {
      GtkWidget* child = gtk_bin_get_child(GTK_BIN(w));
      const char* label = gtk_button_get_label(GTK_BUTTON(w));
      if (!label && child && GTK_IS_LABEL(child)) label = gtk_label_get_text(GTK_LABEL(child));
      if (label && std::strcmp(label, text) == 0) found.push_back(w);
    }
    std::vector<GtkWidget*> kids = gui_steps::children(w);
    todo.insert(todo.end(), kids.begin(), kids.end());
  }
  return index < static_cast<int>(found.size()) ? found[index] : nullptr;
}

// The tool button labelled text on whichever tool page holds it.
GtkWidget* tool_button(const char* text) {
  GtkNotebook* book = GTK_NOTEBOOK(mainwin_widgets.notebook);
  for (int i = 0; i < gtk_notebook_get_n_pages(book); ++i)
    if (GtkWidget* b = gui_steps::find_labelled_button(gtk_notebook_get_nth_page(book, i), text)) return b;
  return nullptr;
}

GtkWidget* entry() { return mainwin_value_entry_widget(); }

void type_and_enter(const char* text) {
  gui_steps::type_text(text, entry());
  gui_steps::press_key(GDK_KEY_Return, entry());
}

void click(GtkWidget* button) {
  ASSERT_NE(button, nullptr);
  gtk_button_clicked(GTK_BUTTON(button));
}

// Pixel corners of the walls, 20 pixels thick; the room fills the inside.
struct PixelRect {
  int x0, y0, x1, y1;
};
constexpr PixelRect south{80, 230, 330, 250}, west{80, 80, 100, 230}, east{310, 80, 330, 230},
    north{80, 60, 330, 80}, inside{100, 80, 310, 230}, well{250, 180, 290, 220};
constexpr int label_x = 120, label_y = 110;

class RoomRoadTest : public GuiProgramTest {
 protected:
  // Two corners, confirmed with Enter.
  static void corners(const PixelRect& r) {
    then([] { return prompt() == "1st Corner point:"; }, [r] { gui_steps::click_view(r.x0, r.y0); });
    then([] { return prompt() == "Move/2nd Corner point:"; }, [r] { gui_steps::click_view(r.x1, r.y1); });
    then([] { return prompt() == "Move/Confirm:"; }, [] { gui_steps::press_key(GDK_KEY_Return); });
  }
};

TEST_F(RoomRoadTest, ARoomWithAStairWellInAPlanOfFourWalls) {
  Point2 label_at, well_lo, well_hi;
  std::string shot, shot_close;

  then([] { return idle() && about_shown(); }, close_about);
  then(gui_steps::steadily([] { return idle() && !about_shown(); }), [&] {
    label_at = {view_sx_to_wx(label_x), view_sy_to_wy(label_y), 0};
    well_lo = {view_sx_to_wx(well.x0), view_sy_to_wy(well.y1), 0};
    well_hi = {view_sx_to_wx(well.x1), view_sy_to_wy(well.y0), 0};
    click(tool_button("Wall"));
  });
  for (const PixelRect& r : {south, west, east, north}) corners(r);
  then([] { return prompt() == "1st Corner point:" && elem_count() == 4; },
       [] { gui_steps::press_key(GDK_KEY_Escape); });

  // The room, from the top right corner to the bottom left one.
  then(idle, [] { click(room_button("Area", 0)); });
  corners({inside.x1, inside.y0, inside.x0, inside.y1});
  then([] { return prompt() == "Text start point:"; }, [] { gui_steps::click_view(label_x, label_y); });
  then([] { return prompt() == "Move/Confirm:"; }, [] { gui_steps::press_key(GDK_KEY_Return); });
  then([] { return prompt() == "Room description:" && entry(); }, [] { type_and_enter("Living"); });
  then([] { return prompt() == "Room number:" && entry(); }, [] { type_and_enter("0.01"); });
  then([] { return prompt() == "1st Corner point:" && elem_count() == 5; },
       [] { gui_steps::press_key(GDK_KEY_Escape); });

  // The stair well: the add toggle is off, so the rectangle is a hole.
  then(idle, [] { click(room_button("Area", 1)); });
  then([] { return prompt() == "Select Room:"; }, [] { gui_steps::click_view(200, 200); });
  corners(well);
  then([] { return prompt() == "Select Room:"; }, [] { gui_steps::press_key(GDK_KEY_Escape); });
  // A closer look at the plan, to see the inscription.
  then(idle, [] { click(gui_steps::find_labelled_button(main_window, " Zoom ")); });
  then([] { return prompt() == "1st Corner point:"; },
       [] { gui_steps::click_view(south.x0 - 10, north.y0 - 10); });
  then([] { return prompt() == "2nd Corner point:"; },
       [] { gui_steps::click_view(south.x1 + 10, south.y1 + 10); });
  then(gui_steps::steadily(idle), [&] {
    GdkPixbuf* p = gui_steps::screenshot("room_road.png", &shot);
    if (p) g_object_unref(p);
    click(gui_steps::find_labelled_button(main_window, " Zoom "));
  });
  // Closer still, around the inscription.
  then([] { return prompt() == "1st Corner point:"; },
       [&] { gui_steps::click_view(view_wx_to_sx(label_at.x) - 20, view_wy_to_sy(label_at.y) - 20); });
  then([] { return prompt() == "2nd Corner point:"; },
       [&] { gui_steps::click_view(view_wx_to_sx(label_at.x) + 120, view_wy_to_sy(label_at.y) + 60); });
  then(gui_steps::steadily(idle), [&] {
    GdkPixbuf* p = gui_steps::screenshot("room_road_inscription.png", &shot_close);
    if (p) g_object_unref(p);
  });
  save_as("rooms.kav", idle);
  then(idle, [] { choose_menu("Quit"); });

  std::string out;
  EXPECT_EQ(run_program({}, &out), 0);
  EXPECT_FALSE(shot.empty() || shot_close.empty()) << "no screenshot";

  const auto saved = saved_chunks(folder_ / "rooms.kav", "ROO2");
  ASSERT_EQ(saved.size(), 1u) << out;
  const std::string& r = saved[0];
  EXPECT_NE(r.find(" description=\"Living\""), std::string::npos) << r;
  EXPECT_NE(r.find(" number=\"0.01\""), std::string::npos) << r;
  EXPECT_EQ(field(r, "label.x"), label_at.x) << r;
  EXPECT_EQ(field(r, "label.y"), label_at.y) << r;

  // The outline counter-clockwise, the well clockwise with its own corners:
  // the area is the inside of the walls less the well.
  const std::vector<Point2> pts = points_of(r);
  ASSERT_EQ(pts.size(), 10u) << r;
  ASSERT_TRUE(geom_is_end_marker(pts[4].x, pts[4].y)) << r;
  ASSERT_TRUE(geom_is_end_marker(pts[9].x, pts[9].y)) << r;
  const double outer = geom_polygon_area(4, pts.data());
  const double hole = geom_polygon_area(4, pts.data() + 5);
  const double well_area = (well_hi.x - well_lo.x) * (well_hi.y - well_lo.y);
  EXPECT_GT(outer, 0);
  EXPECT_NEAR(hole, -well_area, 1e-9) << r;
  EXPECT_NEAR(geom_contours_area(10, pts.data()), outer - well_area, 1e-9);
}

}  // namespace
