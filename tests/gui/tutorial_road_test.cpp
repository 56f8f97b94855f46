// The tutorial of the manual (doc/tut.html), step by step in the real
// window: the keys and buttons it names, the coordinates it has the user
// type ("a", then x;y with a decimal comma or point), the clicks it asks
// for on walls and beside them. What the tutorial says appears is checked:
// five walls, a door and two windows in them, the two rooms with their
// areas and the dimension chain with its figures, also after saving.
// When the tutorial changes, this test changes with it.

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "display/draw_dim.h"
#include "display/draw_room.h"
#include "display/view.h"
#include "gui_steps.h"
#include "model/consts.h"
#include "model/elem.h"
#include "model/geom.h"
#include "saved_chunks.h"
#include "shell/gtk/keymap_gtk.h"
#include "shell/gtk/mainwin.h"
#include "shell/gtk/startup.h"
#include "shell/mainwin_tables.h"

namespace {

using gui_steps::click_widget;
using gui_steps::page_button;
using gui_steps::prompt;

GtkWidget* entry() { return mainwin_value_entry_widget(); }

// Where the tutorial's walls are, in metres.
struct Corners {
  const char *first, *second;
};
constexpr Corners walls[] = {
    {"0;0", "10;0,365"},          // south, typed with a decimal comma
    {"0;7.635", "10;8"},          // north
    {"0;0.365", "0.365;7.635"},   // west
    {"9.635;0.365", "10;7.635"},  // east
    {"6;0.365", "6.115;7.635"},   // the inner wall
};
struct Room {
  const char *first, *second, *label, *description, *number;
};
constexpr Room rooms[] = {
    {"0.365;0.365", "6;7.635", "1;6", "Living", "1"},
    {"6.115;0.365", "9.635;7.635", "7;6", "Kitchen", "2"},
};
// A window: a click on its wall, the typed start, a click along the wall
// for the direction and one outside.
struct WindowPlace {
  double wall_x, wall_y;
  const char* start;
  double along_x, outside_y;
};
constexpr WindowPlace windows[] = {{3, 7.8, "2.5;8", 5, 8.4}, {8, 7.8, "7.5;8", 9, 8.4}};
const char* const chain_points[] = {"0;0", "2;0", "3.01;0", "10;0"};

class TutorialRoadTest : public GuiProgramTest {
 protected:
  // Clicks the button once the program is idle and the button shows.
  static void press(const char* page, const char* text, std::size_t index = 0) {
    then(gui_steps::steadily(
             [=] {
               GtkWidget* b = page_button(page, text, index);
               return idle() && b && gtk_widget_get_mapped(b);
             },
             3),
         [=] {
           GtkWidget* b = page_button(page, text, index);
           ASSERT_NE(b, nullptr) << page << " " << text;
           click_widget(b);
         });
  }
  static void key_at(const char* when, guint key) {
    const std::string p = when;
    then([p] { return prompt() == p; }, [key] { gui_steps::press_key(key); });
  }
  // Everything the steps type, each of which the tutorial shows as code.
  static std::vector<std::string>& typed() {
    static std::vector<std::string> t;
    return t;
  }
  // "a", then the coordinates typed into the entry and Return.
  static void typed_point(const char* when, const char* xy) {
    typed().push_back(xy);
    key_at(when, GDK_KEY_a);
    then([] { return prompt() == "Abs. X/Y/Z:" && entry(); },
         [xy] {
           gui_steps::type_text(xy, entry());
           gui_steps::press_key(GDK_KEY_Return, entry());
         });
  }
  static void typed_text(const char* when, const char* text) {
    typed().push_back(text);
    const std::string p = when;
    then([p] { return prompt() == p && entry(); },
         [text] {
           gui_steps::type_text(text, entry());
           gui_steps::press_key(GDK_KEY_Return, entry());
         });
  }
  // A click on the world point (x, y) once the prompt reads when.
  static void click_world(const char* when, double x, double y) {
    const std::string p = when;
    then([p] { return prompt() == p; },
         [x, y] { gui_steps::click_view(view_wx_to_sx(x), view_wy_to_sy(y)); });
  }
  static void key_when_idle(guint key) {
    then(idle, [key] { gui_steps::press_key(key); });
  }
};

TEST_F(TutorialRoadTest, TheSmallHouseOfTheTutorial) {
  std::map<std::string, std::string> areas;  // description -> area line
  std::vector<std::string> figures;
  int wall_count = 0, doors = 0, windows_placed = 0, leafs = 0;

  typed().clear();
  then([] { return idle() && about_shown(); }, close_about);

  // 2. The outer walls and 3. the inner wall: rectangles by typed corners.
  then(gui_steps::steadily([] { return idle() && !about_shown(); }), [] { gui_steps::press_key(GDK_KEY_w); });
  press("Wall", "Wall");
  for (const Corners& c : walls) {
    typed_point("1st Corner point:", c.first);
    typed_point("Move/2nd Corner point:", c.second);
    key_at("Move/Confirm:", GDK_KEY_Return);
  }
  then([] { return prompt() == "1st Corner point:" && elem_count() == 5; },
       [] { gui_steps::press_key(GDK_KEY_Escape); });
  key_when_idle(GDK_KEY_5);
  press("Wall", "-All", 0);

  // 4. Rooms by two typed corners, the inscription's place, name and number.
  key_when_idle(GDK_KEY_r);
  press("Room", "Area", 0);
  for (const Room& r : rooms) {
    typed_point("1st Corner point:", r.first);
    typed_point("Move/2nd Corner point:", r.second);
    key_at("Move/Confirm:", GDK_KEY_Return);
    typed_point("Text start point:", r.label);
    key_at("Move/Confirm:", GDK_KEY_Return);
    typed_text("Room description:", r.description);
    typed_text("Room number:", r.number);
  }
  then([] { return prompt() == "1st Corner point:" && elem_count() == 7; },
       [] { gui_steps::press_key(GDK_KEY_Escape); });

  // 5. The door: the wall, the typed hinge side, the direction, the outer
  // side and the side the leaf opens to.
  key_when_idle(GDK_KEY_o);
  press("Opening", "Door");
  click_world("Select Wall:", 2.5, 0.18);
  typed_point("Start point:", "2;0");
  key_at("Move/Confirm:", GDK_KEY_Return);
  click_world("Direction:", 4, 0.18);
  click_world("Outer side:", 2.5, -0.4);
  click_world("Doorleaf:", 2.3, 1.0);
  key_at("Select Wall:", GDK_KEY_Escape);
  // The windows, one after the other in the same run of the tool.
  press("Opening", "Window");
  for (const WindowPlace& w : windows) {
    click_world("Select Wall:", w.wall_x, w.wall_y);
    typed_point("Start point:", w.start);
    key_at("Move/Confirm:", GDK_KEY_Return);
    click_world("Direction:", w.along_x, w.wall_y);
    click_world("Outer side:", w.wall_x, w.outside_y);
  }
  key_at("Select Wall:", GDK_KEY_Escape);

  // 6. The dimension chain along the south side: its position first, then
  // the measuring points, each confirmed; Escape ends the chain.
  key_when_idle(GDK_KEY_d);
  press("Dimension", "-0 degree");
  typed_point("Position of dimension:", "0;-1");
  key_at("Move/Confirm:", GDK_KEY_Return);
  for (const char* p : chain_points) {
    typed_point("Measuring point:", p);
    key_at("Move/Confirm:", GDK_KEY_Return);
  }
  key_at("Measuring point:", GDK_KEY_Escape);

  // What shows now, as the drawing passes would write it.
  then(gui_steps::steadily(idle), [&] {
    if (GdkPixbuf* shot = gui_steps::screenshot("tutorial_road.png")) g_object_unref(shot);
    for (ElemHeader* e = elem_list_head; e; e = e->next) {
      if (auto* w = elem_as<WallElem>(e)) {
        ++wall_count;
        for (const WallOpening& o : w->openings) {
          doors += o.kind == OPENING_DOOR;
          windows_placed += o.kind == OPENING_WINDOW;
          leafs += o.kind == OPENING_DOOR && o.symbol_style != 0;
        }
      } else if (auto* r = elem_as<RoomElem>(e)) {
        areas[std::string(r->description.view())] =
            room_area_text(static_cast<int32_t>(r->points.size()), r->points.data(), r->area_factor);
      } else if (auto* d = elem_as<DimElem>(e)) {
        for (std::size_t i = 1; i < d->points.size(); ++i) {
          std::string text, raised;
          draw_dim_format_value(d->format, text, raised, d->points[i].segment_length);
          figures.push_back(text + raised);
        }
      }
    }
  });
  save_as("house.kav");
  std::string title;
  then(idle, [&] {
    title = gtk_window_get_title(GTK_WINDOW(main_window));
    choose_menu("Quit");
  });

  std::string out;
  EXPECT_EQ(run_program({}, &out), 0);

  EXPECT_EQ(wall_count, 5) << out;
  EXPECT_EQ(doors, 1);
  EXPECT_EQ(leafs, 1) << "the door has no leaf";
  EXPECT_EQ(windows_placed, 2);
  // 5.635 x 7.27 and 3.52 x 7.27 square metres.
  ASSERT_EQ(areas.size(), 2u);
  EXPECT_EQ(areas["Living"].substr(0, 6), "40.97 ") << areas["Living"];
  EXPECT_EQ(areas["Kitchen"].substr(0, 6), "25.59 ") << areas["Kitchen"];
  EXPECT_EQ(figures, (std::vector<std::string>{"2.00", "1.01", "6.99"}));

  EXPECT_NE(title.find("house.kav"), std::string::npos) << title;
  const auto house = folder_ / "house.kav";
  EXPECT_EQ(saved_chunks(house, "WALL").size(), 5u);
  EXPECT_EQ(saved_chunks(house, "ROO2").size(), 2u);
  EXPECT_EQ(saved_chunks(house, "DIM3").size(), 1u);

  // The tutorial tells the user to type the same.
  std::ifstream page(std::string(KAVRO_SOURCE_DIR) + "/doc/tut.html");
  const std::string tutorial((std::istreambuf_iterator<char>(page)), {});
  ASSERT_FALSE(tutorial.empty());
  for (const std::string& t : typed())
    EXPECT_NE(tutorial.find("<code>" + t + "</code>"), std::string::npos) << t << " is not in the tutorial";
}

}  // namespace
