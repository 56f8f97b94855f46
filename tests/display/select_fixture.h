#pragma once

// The interactive selection run by the scripted wait backend on a drawn
// view 0 of 600 x 400 pixels at 1:500 (one pixel is 1/6 m, the world origin
// at pixel (300, 200)). The Select page's radio buttons are played as a
// bound radio does it: the value is stored, then "z_toggle" is posted; the
// Filter toggle and dialog store without posting anything.

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "display/key_state.h"
#include "display/select.h"
#include "input_fixture.h"
#include "model/geom.h"
#include "model/ui.h"
#include "model/wall_outline.h"

class SelectTest : public InputTest {
 protected:
  void SetUp() override {
    InputTest::SetUp();
    select_idle = 1;
    select_points_marked = 0;
    select_window = SelectWindow{};
    changes().clear();
    page_log().clear();
    // The page calls go to the log, on top of the recording table.
    UiTable t = ::ui();
    t.mainwin_select_page_enter = [](int arg) { page_log().push_back("enter " + std::to_string(arg)); };
    t.mainwin_select_page_leave = [] { page_log().push_back("leave"); };
    ui_install(t);
    // A radio's store comes before its z_toggle, a toggle's store alone.
    rows()["z_toggle"] = [] { take_change(); };
    rows()["z_store"] = [] { take_change(); };
  }

  // The user chooses a radio button of the Select page.
  void radio(int32_t& var, int value) {
    changes().push_back([&var, value] { var = value; });
    script.key("z_toggle");
  }
  // The user switches the filter on with these settings (Filter dialog and
  // the page's toggle): nothing is posted but the store.
  void filter(int mode, int pen, int line_type, int kind_choice) {
    changes().push_back([=] { select_filter = SelectFilter{1, mode, pen, line_type, kind_choice}; });
    script.key("z_store");
  }
  void click(double x, double y) { script.click_world(1, x, y); }
  // Two corners of a window.
  void window(double x1, double y1, double x2, double y2) {
    click(x1, y1);
    click(x2, y2);
  }
  void ok() { script.key("s_deffi_ok"); }

  // Runs select_elements(arg) to its end; a script that runs dry or is not
  // used up fails the test.
  int run_select(uint8_t arg = 0) {
    int res = -1;
    try {
      res = select_elements(arg);
    } catch (const WaitScriptDry& e) {
      ADD_FAILURE() << e.what();
    }
    EXPECT_EQ(script.remaining(), 0u) << "events left unused";
    EXPECT_EQ(active_request, nullptr);
    EXPECT_EQ(select_idle, 1);
    return res;
  }

  static ElemHeader* line(double x1, double y1, double x2, double y2, int layer = 0, int pen = 0) {
    elem_new_line(layer, pen, 0, x1, y1, x2, y2);
    return elem_list_tail;
  }
  static ElemHeader* circle(double cx, double cy, double r, int layer = 0) {
    elem_new_arc(layer, 0, 0, cx, cy, r, r, GEOM_TWO_PI, 0, 0);
    return elem_list_tail;
  }
  // A wall from (x0, y0) to (x1, y0), 0.3 thick and 2.75 high, with its
  // plain outline.
  static WallElem* wall(double x0, double x1, double y0 = 0.0, int layer = 0) {
    const double y1 = y0 + 0.3;
    const double c[24] = {x0, y0, 0,    x1, y0, 0,    x1, y1, 0,    x0, y1, 0,
                          x0, y0, 2.75, x1, y0, 2.75, x1, y1, 2.75, x0, y1, 2.75};
    WallSegment quad[4];
    wall_outline_quad(x0, y0, x1, y0, x1, y1, x0, y1, quad);
    elem_new_wall(layer, 1, 0, c, 4, quad, 0, nullptr, "Default", 0, 0, 0, 0, 0, 0, 0);
    return elem_as<WallElem>(elem_list_tail);
  }

  std::vector<std::string> prompts() const { return ui.calls_starting("prompt "); }

  static std::vector<const ElemHeader*> marked() {
    std::vector<const ElemHeader*> out;
    for (ElemHeader* e : elements())
      if (e->mark == 1) out.push_back(e);
    return out;
  }

  // Pixels of view 0 in the selection colour.
  static int selected_pixels() { return view_count(0, view_palettes[0][PAL_SELECTED]); }

  static std::vector<std::string>& page_log() {
    static std::vector<std::string> l;
    return l;
  }

 private:
  static std::deque<std::function<void()>>& changes() {
    static std::deque<std::function<void()>> c;
    return c;
  }
  static void take_change() {
    if (changes().empty()) return;
    changes().front()();
    changes().pop_front();
  }
};
