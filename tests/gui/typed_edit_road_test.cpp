// Editing by typed values in the real window, and leaving a value entry by
// Escape: the keys and clicks a person uses, the program started as a person
// starts it.
//
// Move and Copy take their vector from the keyboard: an axis key with a
// typed distance at the start point, or typed absolute points; the result is
// read back from the saved file. Escape in an open value entry closes it and
// leaves the tool at the prompt it was at, after "a", at "Height:" and at
// "Text:"; a second Escape ends the tool.

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "display/draw.h"
#include "display/input.h"
#include "gui_steps.h"
#include "model/elem.h"
#include "model/view_rec.h"
#include "saved_chunks.h"
#include "shell/gtk/keymap_gtk.h"
#include "shell/gtk/mainwin.h"
#include "shell/mainwin_tables.h"

namespace {

using gui_steps::click_widget;
using gui_steps::page_button;
using gui_steps::prompt;

// The number after " name=" in a dump line; NaN when it is missing.
double field(const std::string& line, const std::string& name) {
  const std::size_t at = line.find(" " + name + "=");
  if (at == std::string::npos) return std::nan("");
  return std::stod(line.substr(at + name.size() + 2));
}

GtkWidget* entry() { return mainwin_value_entry_widget(); }
std::string entry_text() { return entry() ? gtk_entry_get_text(GTK_ENTRY(entry())) : ""; }

// The main view's world window.
std::vector<double> view_window() { return {views[0].xmin, views[0].ymin, views[0].xmax, views[0].ymax}; }

// The points entered so far at the waiting step; -1 while nothing waits.
int points_entered() { return active_request ? active_request->npoints : -1; }

class TypedEditRoadTest : public GuiProgramTest {
 protected:
  // Clicks the button of the page once it shows; when is the condition
  // under which it may be clicked.
  static void press(const char* page, const char* text, std::function<bool()> when) {
    then(gui_steps::steadily(
             [=] {
               GtkWidget* b = page_button(page, text);
               return when() && b && gtk_widget_get_mapped(b);
             },
             3),
         [=] {
           GtkWidget* b = page_button(page, text);
           ASSERT_NE(b, nullptr) << page << " " << text;
           click_widget(b);
         });
  }
  static void key_at(const char* when, guint key) {
    const std::string p = when;
    then([p] { return prompt() == p && !entry(); }, [key] { gui_steps::press_key(key); });
  }
  // Types text into the entry that shows with the prompt, then Return.
  static void type_at(const char* when, const char* text) {
    const std::string p = when;
    then([p] { return prompt() == p && entry(); },
         [text] {
           gui_steps::type_text(text, entry());
           gui_steps::press_key(GDK_KEY_Return, entry());
         });
  }
  // The Edit page's tool, everything selected with the Select page's All
  // and OK.
  static void edit_all(const char* tool) {
    then(idle, [] { gui_steps::press_key(GDK_KEY_e); });
    press("Edit", tool, idle);
    press("Select", "All", [] { return prompt() == "Element:"; });
    press("Select", "OK", [] { return prompt() == "Element:" && elem_count_marked() == elem_count(); });
  }
};

TEST_F(TypedEditRoadTest, MoveAndCopyByTypedOffsetsAndTypedPoints) {
  std::vector<double> window_before, window_typed;
  int moved_while_escaped = -1;

  then([] { return idle() && about_shown(); }, close_about);
  then(gui_steps::steadily([] { return idle() && !about_shown(); }), [] {
    elem_new_line(0, 0, 0, 1, 1, 3, 1);
    view_redraw();
  });

  // Move by x and 5 m; first x and Escape in its entry, which moves nothing.
  edit_all("Move");
  key_at("Move XYZ/Start point:", GDK_KEY_x);
  then([] { return prompt() == "Move to X+ :" && entry(); }, [] { gui_steps::type_text("9", entry()); });
  then([] { return entry_text() == "9"; }, [] { gui_steps::press_key(GDK_KEY_Escape, entry()); });
  then([] { return prompt() == "Move XYZ/Start point:" && !entry(); },
       [&] {
         const auto* l = elem_as<LineElem>(elem_list_head);
         moved_while_escaped = l && l->p1.x == 1 ? 0 : 1;
         gui_steps::press_key(GDK_KEY_x);
       });
  type_at("Move to X+ :", "5");
  then(
      [] {
        return prompt() == "Move XYZ/Start point:" && !entry() &&
               elem_as<LineElem>(elem_list_head)->p1.x != 1;
      },
      [] { gui_steps::press_key(GDK_KEY_Escape); });

  // Copy by y and 2 m.
  edit_all("Copy");
  key_at("Move XYZ/Start point:", GDK_KEY_y);
  type_at("Move to Y+ :", "2");
  then([] { return prompt() == "Move XYZ/Start point:" && !entry() && elem_count() == 2; },
       [] { gui_steps::press_key(GDK_KEY_Escape); });

  // Move both by typed points: "a" at the start point and at the end point;
  // the digits go into the entry and leave the view where it is.
  edit_all("Move");
  then([] { return prompt() == "Move XYZ/Start point:" && !entry(); },
       [&] {
         window_before = view_window();
         gui_steps::press_key(GDK_KEY_a);
       });
  then([] { return prompt() == "Abs. X/Y/Z:" && entry(); }, [] { gui_steps::type_text("1;1", entry()); });
  then([] { return entry_text() == "1;1"; },
       [&] {
         window_typed = view_window();
         gui_steps::press_key(GDK_KEY_Return, entry());
       });
  key_at("Move XYZ/End point:", GDK_KEY_a);
  type_at("Abs. X/Y/Z:", "1;0");
  key_at("Move XYZ/Confirm:", GDK_KEY_Return);
  then(
      [] {
        return prompt() == "Move XYZ/Start point:" && !entry() &&
               elem_as<LineElem>(elem_list_head)->p1.y != 1;
      },
      [] { gui_steps::press_key(GDK_KEY_Escape); });
  save_as("typed_edit.kav");
  then(idle, [] { choose_menu("Quit"); });

  std::string out;
  EXPECT_EQ(run_program({}, &out), 0);

  EXPECT_EQ(moved_while_escaped, 0) << "Escape in the distance's entry moved the selection";
  EXPECT_EQ(window_typed, window_before) << "the digits typed after \"a\" moved the view";
  // (1, 1) - (3, 1) moved by 5 along x, copied by 2 along y, both moved by
  // (1, 0) - (1, 1).
  const auto saved = saved_chunks(folder_ / "typed_edit.kav", "LINE");
  ASSERT_EQ(saved.size(), 2u) << out;
  const double want[2][4] = {{6, 0, 8, 0}, {6, 2, 8, 2}};
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(saved[static_cast<std::size_t>(i)]);
    const std::string& l = saved[static_cast<std::size_t>(i)];
    EXPECT_NEAR(field(l, "p1.x"), want[i][0], 1e-9);
    EXPECT_NEAR(field(l, "p1.y"), want[i][1], 1e-9);
    EXPECT_NEAR(field(l, "p2.x"), want[i][2], 1e-9);
    EXPECT_NEAR(field(l, "p2.y"), want[i][3], 1e-9);
  }
}

// Escape in the entry after "a" (Wall tool), at "Height:" (Ceiling) and at
// "Text:" (text tool): the entry goes and the tool waits at the prompt it was
// at, with nothing entered; keys typed before went into the entry; a second
// Escape ends the tool.
TEST_F(TypedEditRoadTest, EscapeInTheValueEntryGoesBackToThePrompt) {
  struct Seen {
    std::string typed;
    std::string prompt;
    int points = -2;
    bool entry_gone = false;
  };
  Seen wall, height, height_again, text;
  std::vector<double> window_before, window_after;
  int elements_at_end = -1;
  bool wall_tool_ended = false;

  auto look = [](Seen& s) {
    s.prompt = prompt();
    s.points = points_entered();
    s.entry_gone = entry() == nullptr;
  };
  // Once the prompt shows with its entry: types text, and once the entry
  // holds it, Escape.
  auto type_then_escape = [](const char* when, const char* text, Seen& s) {
    const std::string p = when;
    then([p] { return prompt() == p && entry(); }, [text] { gui_steps::type_text(text, entry()); });
    then([text] { return entry_text() == text; },
         [&s] {
           s.typed = entry_text();
           gui_steps::press_key(GDK_KEY_Escape, entry());
         });
  };

  then([] { return idle() && about_shown(); }, close_about);

  // Wall: "a", 1;2, Escape.
  then(gui_steps::steadily([] { return idle() && !about_shown(); }), [] { gui_steps::press_key(GDK_KEY_w); });
  press("Wall", "Wall", idle);
  then([] { return prompt() == "1st Corner point:" && !entry(); },
       [&] {
         window_before = view_window();
         gui_steps::press_key(GDK_KEY_a);
       });
  type_then_escape("Abs. X/Y/Z:", "1;2", wall);
  then(gui_steps::steadily([] { return !entry() && prompt() != "Abs. X/Y/Z:"; }, 3), [&] {
    look(wall);
    window_after = view_window();
    gui_steps::press_key(GDK_KEY_Escape);
  });
  then(gui_steps::steadily(idle), [&] { wall_tool_ended = true; });

  // Ceiling: Base 0, then "2" at "Height:" and Escape; Return brings the
  // entry back, "3" and Escape again, then Escape ends the tool.
  then(idle, [] { gui_steps::press_key(GDK_KEY_b); });
  press("Unit", "Ceiling", idle);
  type_at("Base:", "0");
  type_then_escape("Height:", "2", height);
  then(gui_steps::steadily([] { return !entry(); }, 3), [&] {
    look(height);
    gui_steps::press_key(GDK_KEY_Return);
  });
  type_then_escape("Height:", "3", height_again);
  then(gui_steps::steadily([] { return !entry(); }, 3), [&] {
    look(height_again);
    gui_steps::press_key(GDK_KEY_Escape);
  });

  // Text: a start point, then "Ab" at "Text:" and Escape.
  then(gui_steps::steadily(idle), [] { gui_steps::press_key(GDK_KEY_t); });
  press("Text", "-0 degree", idle);
  then([] { return prompt() == "Start point:"; }, [] { gui_steps::click_view(150, 120); });
  key_at("Move/Confirm:", GDK_KEY_Return);
  type_then_escape("Text:", "Ab", text);
  then(gui_steps::steadily([] { return !entry(); }, 3), [&] {
    look(text);
    gui_steps::press_key(GDK_KEY_Escape);
  });
  then(gui_steps::steadily(idle), [&] {
    elements_at_end = elem_count();
    choose_menu("Quit");
  });

  std::string out;
  EXPECT_EQ(run_program({}, &out), 0);

  EXPECT_EQ(wall.typed, "1;2") << "the keys did not reach the entry";
  EXPECT_TRUE(wall.entry_gone);
  EXPECT_EQ(wall.prompt, "1st Corner point:");
  EXPECT_EQ(wall.points, 0) << "a point was entered";
  EXPECT_EQ(window_after, window_before) << "the typed digits moved the view";
  EXPECT_TRUE(wall_tool_ended);

  EXPECT_EQ(height.typed, "2");
  EXPECT_TRUE(height.entry_gone);
  EXPECT_EQ(height.prompt, "Height:");
  EXPECT_EQ(height_again.typed, "3");
  EXPECT_TRUE(height_again.entry_gone);
  EXPECT_EQ(height_again.prompt, "Height:");

  EXPECT_EQ(text.typed, "Ab");
  EXPECT_TRUE(text.entry_gone);
  EXPECT_EQ(text.prompt, "Text:");
  EXPECT_EQ(elements_at_end, 0) << "something was made from a left entry";
}

}  // namespace
