// The small house of the tutorial, built in the real window with its walls
// connected, then one edit of an opening through keys and clicks: a window
// or the door moved with Edit > Move and the Opening selection type, or
// removed with the Opening page's Remove. The walls must keep their joints:
// the edited wall's outline is what Wall > Connect -All makes of it (so
// connecting again changes nothing) and every other wall's outline is as it
// was. The Undo button then brings back the drawing as it was saved before
// the edit, chunk by chunk to the byte. Walls moved, turned, mirrored or
// copied with the Edit page, alone or with the whole house, keep every joint
// that can still exist the same way, and one undo brings the house back.

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "display/view.h"
#include "gui_steps.h"
#include "model/consts.h"
#include "model/elem.h"
#include "model/geom.h"
#include "model/wall_outline.h"
#include "programs/kavdump.h"
#include "shell/dlg_table.h"
#include "shell/gtk/keymap_gtk.h"
#include "shell/gtk/mainwin.h"
#include "shell/mainwin_tables.h"
#include "support/wall_fixture.h"

namespace {

using gui_steps::click_widget;
using gui_steps::page_button;
using gui_steps::prompt;

// The button labelled text outside the tool pages (the page switch).
GtkWidget* switch_button(const char* text) {
  std::vector<GtkWidget*> found;
  gui_steps::collect_buttons(main_window, text, found);
  for (GtkWidget* b : found)
    if (!gtk_widget_is_ancestor(b, mainwin_widgets.notebook)) return b;
  return nullptr;
}

GtkWidget* entry() { return mainwin_value_entry_widget(); }

struct Corners {
  const char *first, *second;
};
constexpr Corners house_walls[] = {
    {"0;0", "10;0.365"},         {"0;7.635", "10;8"},        {"0;0.365", "0.365;7.635"},
    {"9.635;0.365", "10;7.635"}, {"6;0.365", "6.115;7.635"},
};

using Outline = WallOutline;

// The walls by their first corner, which no two share in the house.
struct WallState {
  double x0, y0;
  Outline outline;
  std::vector<std::array<double, 3>> openings;  // kind, x and y of corner 0
};
std::vector<WallState> walls_now() {
  std::vector<WallState> out;
  for (ElemHeader* e = elem_list_head; e; e = e->next)
    if (auto* w = elem_as<WallElem>(e)) {
      WallState s{w->corner[0].x, w->corner[0].y, wall_outline_of(w->segments), {}};
      for (const WallOpening& o : w->openings)
        s.openings.push_back({static_cast<double>(o.kind), o.corner[0].x, o.corner[0].y});
      std::sort(s.openings.begin(), s.openings.end());
      out.push_back(s);
    }
  std::sort(out.begin(), out.end(), [](const WallState& a, const WallState& b) {
    return std::tie(a.x0, a.y0) < std::tie(b.x0, b.y0);
  });
  return out;
}
const WallState* wall_at(const std::vector<WallState>& ws, double x0, double y0) {
  for (const WallState& w : ws)
    if (std::fabs(w.x0 - x0) < 1e-9 && std::fabs(w.y0 - y0) < 1e-9) return &w;
  return nullptr;
}

std::string text_of(const Outline& o) {
  std::ostringstream s;
  for (const auto& g : o)
    s << "(" << g[0] * 1e-8 << " " << g[1] * 1e-8 << ")-(" << g[2] * 1e-8 << " " << g[3] * 1e-8 << ") ";
  return s.str();
}

// The chunks of a saved drawing, each as the dump prints it with every
// number exactly, in a fixed order: undo brings elements back at the end of
// the list, so the order of the chunks may change, their bytes not.
std::vector<std::string> sorted_chunks(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), {});
  std::istringstream dump(kavdump(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()));
  std::vector<std::string> out;
  for (std::string line; std::getline(dump, line);) out.push_back(line);
  std::sort(out.begin(), out.end());
  return out;
}

void label_texts(GtkWidget* w, std::string& out) {
  if (GTK_IS_LABEL(w)) out += std::string(gtk_label_get_text(GTK_LABEL(w))) + "|";
  for (GtkWidget* c : gui_steps::children(w)) label_texts(c, out);
}
GtkWidget* message_box() {
  auto* box = static_cast<GtkWidget*>(dlg_slots[DLG_ERROR]);
  return box && gtk_widget_get_visible(box) ? box : nullptr;
}
bool message_shown_now() { return message_box() != nullptr; }
// The texts of the message box that shows, or nothing.
std::string message_shown() {
  std::string out;
  if (GtkWidget* box = message_box()) label_texts(box, out);
  return out;
}
GtkWidget* first_button(GtkWidget* w) {
  if (GTK_IS_BUTTON(w)) return w;
  for (GtkWidget* c : gui_steps::children(w))
    if (GtkWidget* b = first_button(c)) return b;
  return nullptr;
}
GtkWidget* message_button() {
  GtkWidget* box = message_box();
  return box ? first_button(box) : nullptr;
}

// Whether an opening of a wall carries the selection's marks.
bool opening_marked() {
  for (ElemHeader* e = elem_list_head; e; e = e->next)
    if (auto* w = elem_as<WallElem>(e))
      for (const WallOpening& o : w->openings)
        if (o.corner[0].mark == 1) return true;
  return false;
}

class OpeningJointsRoadTest : public GuiProgramTest {
 protected:
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
  static void typed_point(const char* when, const char* xy) {
    key_at(when, GDK_KEY_a);
    then([] { return prompt() == "Abs. X/Y/Z:" && entry(); },
         [xy] {
           gui_steps::type_text(xy, entry());
           gui_steps::press_key(GDK_KEY_Return, entry());
         });
  }
  static void click_world(const char* when, double x, double y) {
    const std::string p = when;
    then([p] { return prompt() == p; },
         [x, y] { gui_steps::click_view(view_wx_to_sx(x), view_wy_to_sy(y)); });
  }
  static void key_when_idle(guint key) {
    then(idle, [key] { gui_steps::press_key(key); });
  }
  // The tool page of that title, through its button beside the pages.
  static void page(const char* title) {
    then(gui_steps::steadily(idle, 3), [title] {
      GtkWidget* b = switch_button(title);
      ASSERT_NE(b, nullptr) << title;
      click_widget(b);
    });
  }

  // The tutorial's walls, connected with Wall > Connect -All, its door and
  // its two windows.
  static void build_house() {
    then([] { return idle() && about_shown(); }, close_about);
    // A box left from an earlier start in the same process may answer
    // first; every one is closed.
    then(gui_steps::steadily([] {
           if (about_shown()) close_about();
           return idle() && !about_shown();
         }),
         [] {});
    page("Wall");
    press("Wall", "Wall");
    for (const Corners& c : house_walls) {
      typed_point("1st Corner point:", c.first);
      typed_point("Move/2nd Corner point:", c.second);
      key_at("Move/Confirm:", GDK_KEY_Return);
    }
    then([] { return prompt() == "1st Corner point:" && elem_count() == 5; },
         [] { gui_steps::press_key(GDK_KEY_Escape); });
    key_when_idle(GDK_KEY_5);
    press("Wall", "-All", 0);
    page("Opening");
    press("Opening", "Door");
    click_world("Select Wall:", 2.5, 0.18);
    typed_point("Start point:", "2;0");
    key_at("Move/Confirm:", GDK_KEY_Return);
    click_world("Direction:", 4, 0.18);
    click_world("Outer side:", 2.5, -0.4);
    click_world("Doorleaf:", 2.3, 1.0);
    key_at("Select Wall:", GDK_KEY_Escape);
    press("Opening", "Window");
    for (const char* start : {"2.5;8", "7.5;8"}) {
      const double x = start[0] == '2' ? 3 : 8;
      click_world("Select Wall:", x, 7.8);
      typed_point("Start point:", start);
      key_at("Move/Confirm:", GDK_KEY_Return);
      click_world("Direction:", x + 1, 7.8);
      click_world("Outer side:", x, 8.4);
    }
    key_at("Select Wall:", GDK_KEY_Escape);
  }

  // Edit > Move with the Opening type: the opening nearest (x, y) is
  // clicked, OK, and moved by two clicks in one row of pixels, so that it
  // stays on its wall's line.
  static void move_opening(double x, double y, double from_x, double to_x, double at_y) {
    page("Edit");
    press("Edit", "Move");
    then(gui_steps::steadily(
             [] {
               return prompt() == "Element:" && mainwin_widgets.select_opening &&
                      gtk_widget_get_mapped(mainwin_widgets.select_opening);
             },
             3),
         [] { click_widget(mainwin_widgets.select_opening); });
    click_world("Opening:", x, y);
    then(gui_steps::steadily([] { return prompt() == "Opening:" && opening_marked(); }, 3),
         [] { click_widget(page_button("Select", "OK")); });
    click_world("Move XYZ/Start point:", from_x, at_y);
    click_world("Move XYZ/End point:", to_x, at_y);
    // The opening is placed with its vector, which ends the run.
    key_at("Move XYZ/Confirm:", GDK_KEY_Return);
  }
  // The Opening page's Remove on the opening nearest (x, y).
  static void remove_opening(double x, double y) {
    page("Opening");
    press("Opening", "Remove");
    click_world("Select Opening:", x, y);
    key_at("Select Opening:", GDK_KEY_Escape);
  }
};

struct Edit {
  const char* name;
  std::function<void()> steps;
  double wall_x0, wall_y0;  // corner 0 of the wall the edit changes
  double from_x;            // where the edited opening starts along it
  double dx;                // how far it moves
  bool removed;
};

// The openings of wall e.wall after the edit e, from those before.
std::vector<std::array<double, 3>> expected_openings(const WallState& before, const Edit& e) {
  std::vector<std::array<double, 3>> out;
  for (std::array<double, 3> o : before.openings) {
    if (o[1] > e.from_x - 0.001 && o[1] < e.from_x + 1.011) {
      if (e.removed) continue;
      o[1] += e.dx;
    }
    out.push_back(o);
  }
  std::sort(out.begin(), out.end());
  return out;
}

class OpeningJointsEditTest : public OpeningJointsRoadTest {
 protected:
  void run_edit(const Edit& edit) {
    SCOPED_TRACE(edit.name);
    const std::string tag = testing::UnitTest::GetInstance()->current_test_info()->name();
    std::vector<WallState> before, edited, reconnected;
    build_house();
    then(gui_steps::steadily(idle), [&] { before = walls_now(); });
    save_as("house" + tag + ".kav");
    edit.steps();
    then(gui_steps::steadily(idle), [&] {
      edited = walls_now();
      if (GdkPixbuf* shot = gui_steps::screenshot("opening_joints_" + tag + ".png")) g_object_unref(shot);
    });
    // Connecting again must find nothing left to join, and says so.
    page("Wall");
    press("Wall", "-All", 0);
    std::string said;
    then(gui_steps::steadily(idle), [&] {
      reconnected = walls_now();
      said = message_shown();
      if (GtkWidget* b = message_button()) click_widget(b);
    });
    // Undo takes back the edit, and first a connection that found joints
    // to make.
    const auto undo_when = [&](std::function<bool()> cond) {
      then(gui_steps::steadily([] { return idle() && !message_shown_now(); }), [cond] {
        if (cond()) click_widget(mainwin_widgets.undo_button);
      });
    };
    undo_when([&] { return said.find("No walls to connect") == std::string::npos; });
    undo_when([] { return true; });
    save_as("undone" + tag + ".kav");
    then(idle, [] { choose_menu("Quit"); });

    std::string out;
    EXPECT_EQ(run_program({}, &out), 0);

    ASSERT_EQ(before.size(), 5u) << out;
    EXPECT_NE(said.find("No walls to connect"), std::string::npos)
        << "Connect -All found joints to make: " << said;
    ASSERT_EQ(edited.size(), 5u);
    ASSERT_EQ(reconnected.size(), 5u);
    for (std::size_t i = 0; i < edited.size(); ++i) {
      const WallState& w = edited[i];
      const WallState* r = wall_at(reconnected, w.x0, w.y0);
      ASSERT_NE(r, nullptr);
      EXPECT_EQ(text_of(w.outline), text_of(r->outline))
          << "the wall at " << w.x0 << ";" << w.y0 << " lost a joint that Connect -All makes again";
      const WallState* b = wall_at(before, w.x0, w.y0);
      ASSERT_NE(b, nullptr);
      if (w.x0 == edit.wall_x0 && w.y0 == edit.wall_y0) {
        // A click lands on a pixel: the distance moved is the clicked one.
        const auto want = expected_openings(*b, edit);
        ASSERT_EQ(w.openings.size(), want.size());
        for (std::size_t k = 0; k < want.size(); ++k) {
          EXPECT_EQ(w.openings[k][0], want[k][0]);
          EXPECT_NEAR(w.openings[k][1], want[k][1], 0.05);
          EXPECT_EQ(w.openings[k][2], want[k][2]);
        }
        EXPECT_NE(w.openings, b->openings);
      } else {
        EXPECT_EQ(text_of(w.outline), text_of(b->outline))
            << "the wall at " << w.x0 << ";" << w.y0 << " changed";
        EXPECT_EQ(w.openings, b->openings);
      }
    }
    // Undo brings back every element as it was saved before the edit, to
    // the byte; only the order of the list may differ.
    const auto undone = sorted_chunks(folder_ / ("undone" + tag + ".kav"));
    const auto house = sorted_chunks(folder_ / ("house" + tag + ".kav"));
    std::vector<std::string> lost, added;
    std::set_difference(house.begin(), house.end(), undone.begin(), undone.end(), std::back_inserter(lost));
    std::set_difference(undone.begin(), undone.end(), house.begin(), house.end(), std::back_inserter(added));
    EXPECT_TRUE(lost.empty() && added.empty()) << "saved before the edit only:\n"
                                               << testing::PrintToString(lost) << "\nafter undo only:\n"
                                               << testing::PrintToString(added);
  }
};

const double north_y = 7.635;

TEST_F(OpeningJointsEditTest, AWindowMovedAlongItsWall) {
  run_edit({"a window moved 2 m along its wall", [] { move_opening(3, 7.82, 2.5, 4.5, 9); }, 0, north_y, 2.5,
            2, false});
}
TEST_F(OpeningJointsEditTest, TheOtherWindowMovedBackNearerTheInnerWall) {
  run_edit({"the other window moved 1 m back", [] { move_opening(8, 7.82, 7.5, 6.5, 9); }, 0, north_y, 7.5,
            -1, false});
}
TEST_F(OpeningJointsEditTest, TheDoorMoved) {
  run_edit({"the door moved 1.5 m", [] { move_opening(2.5, 0.18, 2, 3.5, -1); }, 0, 0, 2, 1.5, false});
}
TEST_F(OpeningJointsEditTest, TheDoorRemoved) {
  run_edit({"the door removed", [] { remove_opening(2.5, 0.18); }, 0, 0, 2, 0, true});
}
TEST_F(OpeningJointsEditTest, AWindowRemoved) {
  run_edit({"a window removed", [] { remove_opening(8, 7.82); }, 0, north_y, 7.5, 0, true});
}

// How many pairs of walls are joined, and how many openings the walls hold.
std::pair<int, std::size_t> joints_and_openings() {
  std::vector<const WallElem*> ws;
  for (ElemHeader* e = elem_list_head; e; e = e->next)
    if (auto* w = elem_as<WallElem>(e)) ws.push_back(w);
  int joints = 0;
  std::size_t openings = 0;
  for (std::size_t i = 0; i < ws.size(); ++i) {
    openings += ws[i]->openings.size();
    for (std::size_t j = i + 1; j < ws.size(); ++j) joints += wall_joined(*ws[i], *ws[j]) ? 1 : 0;
  }
  return {joints, openings};
}

class WallJointsEditTest : public OpeningJointsRoadTest {
 protected:
  // An Edit page tool on the wall clicked at (x, y), or on everything.
  static void edit_walls(const char* tool, bool all, double x = 0, double y = 0) {
    page("Edit");
    press("Edit", tool);
    // The Select page's buttons while the selection waits.
    const auto select_button = [](const char* text) {
      return [text] {
        GtkWidget* b = page_button("Select", text);
        return prompt() == "Element:" && b && gtk_widget_get_mapped(b);
      };
    };
    if (all)
      then(gui_steps::steadily(select_button("All"), 3), [] { click_widget(page_button("Select", "All")); });
    else
      click_world("Element:", x, y);
    then(gui_steps::steadily([=] { return select_button("OK")() && any_wall_marked(); }, 3),
         [] { click_widget(page_button("Select", "OK")); });
  }
  static bool any_wall_marked() {
    for (ElemHeader* e = elem_list_head; e; e = e->next)
      if (elem_as<WallElem>(e) && e->mark == 1) return true;
    return false;
  }
  // Move or Copy by the typed vector from to.
  static void by_vector(const char* from, const char* to) {
    typed_point("Move XYZ/Start point:", from);
    typed_point("Move XYZ/End point:", to);
    key_at("Move XYZ/Confirm:", GDK_KEY_Return);
    key_at("Move XYZ/Start point:", GDK_KEY_Escape);
  }
  // Rotate by half a turn, typed as an angle, about the typed centre.
  static void half_turn(const char* centre) {
    typed_point("Center:", centre);
    key_at("Move/Confirm:", GDK_KEY_Return);
    // The angle's entry is open at the first direction point.
    then([] { return prompt() == "Angle/1st Direction point:" && entry(); },
         [] {
           gui_steps::type_text("180", entry());
           gui_steps::press_key(GDK_KEY_Return, entry());
         });
    // The first Escape puts the entry away, a second one ends the tool.
    key_at("Angle/1st Direction point:", GDK_KEY_Escape);
    then(gui_steps::steadily([] { return idle() || prompt() == "Angle/1st Direction point:"; }, 3), [] {
      if (!idle()) gui_steps::press_key(GDK_KEY_Escape);
    });
  }
  static void mirror_axis(const char* a, const char* b) {
    typed_point("Mirror axis 1st point:", a);
    typed_point("Move/2nd point:", b);
    key_at("Move/Confirm:", GDK_KEY_Return);
  }

  // The house, the edit, then Connect -All and one undo; joints counts the
  // pairs of walls joined after the edit.
  void run_wall_edit(const std::function<void()>& steps, std::size_t walls_after, int joints_after) {
    const std::string tag = testing::UnitTest::GetInstance()->current_test_info()->name();
    std::vector<std::string> loose_before, loose_after;
    std::pair<int, std::size_t> house{}, edited{};
    std::size_t count_after = 0;
    build_house();
    then(gui_steps::steadily(idle), [&] {
      loose_before = wall_open_ends();
      house = joints_and_openings();
    });
    save_as("house" + tag + ".kav");
    steps();
    then(gui_steps::steadily(idle), [&] {
      loose_after = wall_open_ends();
      edited = joints_and_openings();
      count_after = elem_count();
      if (GdkPixbuf* shot = gui_steps::screenshot("wall_joints_" + tag + ".png")) g_object_unref(shot);
    });
    page("Wall");
    press("Wall", "-All", 0);
    std::string said;
    then(gui_steps::steadily(idle), [&] {
      said = message_shown();
      if (GtkWidget* b = message_button()) click_widget(b);
    });
    const auto undo_when = [&](std::function<bool()> cond) {
      then(gui_steps::steadily([] { return idle() && !message_shown_now(); }), [cond] {
        if (cond()) click_widget(mainwin_widgets.undo_button);
      });
    };
    undo_when([&] { return said.find("No walls to connect") == std::string::npos; });
    undo_when([] { return true; });
    save_as("undone" + tag + ".kav");
    then(idle, [] { choose_menu("Quit"); });

    std::string out;
    EXPECT_EQ(run_program({}, &out), 0);

    EXPECT_EQ(house, std::make_pair(6, std::size_t{3})) << out;
    EXPECT_TRUE(loose_before.empty()) << testing::PrintToString(loose_before);
    EXPECT_EQ(count_after, walls_after);
    EXPECT_EQ(edited.first, joints_after) << "pairs of walls joined after the edit";
    EXPECT_EQ(edited.second, 3u) << "openings after the edit";
    EXPECT_TRUE(loose_after.empty()) << "outline ends left open: " << testing::PrintToString(loose_after);
    EXPECT_NE(said.find("No walls to connect"), std::string::npos)
        << "Connect -All found joints to make: " << said;
    const auto undone = sorted_chunks(folder_ / ("undone" + tag + ".kav"));
    const auto before = sorted_chunks(folder_ / ("house" + tag + ".kav"));
    std::vector<std::string> lost, added;
    std::set_difference(before.begin(), before.end(), undone.begin(), undone.end(), std::back_inserter(lost));
    std::set_difference(undone.begin(), undone.end(), before.begin(), before.end(),
                        std::back_inserter(added));
    EXPECT_TRUE(lost.empty() && added.empty()) << "saved before the edit only:\n"
                                               << testing::PrintToString(lost) << "\nafter undo only:\n"
                                               << testing::PrintToString(added);
  }
};

TEST_F(WallJointsEditTest, TheWholeHouseMoved) {
  run_wall_edit(
      [] {
        edit_walls("Move", true);
        by_vector("1;1", "4;3");
      },
      5, 6);
}
TEST_F(WallJointsEditTest, TheWholeHouseMirrored) {
  run_wall_edit(
      [] {
        edit_walls("Mirror", true);
        mirror_axis("12;0", "12;1");
      },
      5, 6);
}
TEST_F(WallJointsEditTest, TheInnerWallMovedSideways) {
  run_wall_edit(
      [] {
        edit_walls("Move", false, 6.05, 4);
        by_vector("6;4", "4.5;4");
      },
      5, 6);
}
TEST_F(WallJointsEditTest, TheInnerWallMirroredToTheOtherSide) {
  run_wall_edit(
      [] {
        edit_walls("Mirror", false, 6.05, 4);
        mirror_axis("5;1", "5;5");
      },
      5, 6);
}
TEST_F(WallJointsEditTest, TheNorthWallTurnedAboutItsMiddle) {
  run_wall_edit(
      [] {
        edit_walls("Rotate", false, 5, 7.82);
        half_turn("5;7.8175");
      },
      5, 6);
}
TEST_F(WallJointsEditTest, TheInnerWallMovedOutOfTheHouse) {
  run_wall_edit(
      [] {
        edit_walls("Move", false, 6.05, 4);
        by_vector("6;4", "30;4");
      },
      5, 4);
}
TEST_F(WallJointsEditTest, TheInnerWallCopiedSideways) {
  run_wall_edit(
      [] {
        edit_walls("Copy", false, 6.05, 4);
        by_vector("6;4", "4;4");
      },
      6, 8);
}

}  // namespace
