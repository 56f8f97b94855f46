#pragma once

// A plan view of 600 x 400 pixels at 1:500 (one pixel is 1/6 m) with the
// world origin at pixel (300, 200), object snap on, an empty drawing on
// layer 0.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "display/display_state.h"
#include "display/snap.h"
#include "display/snap_grid.h"
#include "model/elem.h"
#include "model/layers.h"
#include "model/settings.h"
#include "model/view_rec.h"
#include "support/model_fixture.h"

inline constexpr double PX = 1.0 / 6.0;  // metres per pixel

class PlanViewTest : public ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    display_state_reset();
    views[0] = ViewRec{0, 0, 600, 400, -50.0, -200.0 / 6.0, 50.0, 200.0 / 6.0, PX, PX};
    snap_on = 1;
  }
  void TearDown() override {
    snap_on = 0;
    snap_index_threshold = 20000;
    elem_grid_reset();
    ModelTest::TearDown();
  }

  static ElemHeader* line(double x1, double y1, double x2, double y2, int layer = 0) {
    elem_new_line(layer, 0, 0, x1, y1, x2, y2);
    return elem_list_tail;
  }
  static ElemHeader* circle(double cx, double cy, double r) {
    elem_new_arc(0, 0, 0, cx, cy, r, r, 2.0 * 3.141592653589793, 0.0, 0.0);
    return elem_list_tail;
  }
  // A wall whose plan outline is the given closed polygon, corners at 0 and 3 m.
  static ElemHeader* wall(std::vector<Point2> outline) {
    auto w = std::make_unique<WallElem>();
    for (std::size_t i = 0; i < outline.size(); ++i) {
      w->segments.push_back({outline[i], outline[(i + 1) % outline.size()]});
      if (i < 4) {
        w->corner[i] = {outline[i].x, outline[i].y, 0.0, 0};
        w->corner[i + 4] = {outline[i].x, outline[i].y, 3.0, 0};
      }
    }
    elem_adopt(std::move(w));
    return elem_list_tail;
  }
};

// The input engine on a drawn view 0 of 600 x 400 pixels (same mapping as
// above), driven by the scripted wait backend: clicks and typed values go
// through the engine's script targets, keys through a post that ends the
// innermost wait, and f_, s_ and z_ keys to rows a test sets.
#include <functional>
#include <map>
#include <string>

#include "display/command_buffer.h"
#include "display/input.h"
#include "display/shell_hooks.h"
#include "display/wait.h"
#include "display/wait_script.h"
#include "display_fixture.h"
#include "pixels.h"
#include "support/recording_ui.h"

class InputTest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    offscreen(600, 400);
    snap_on = 1;
    previous_backend_ = wait_set_backend(&script);
    script.prompt_shown = [this] { return ui.last_prompt; };
    ShellHooks h;
    h.cmd_post_key = [](void*, const char* key) { cmd_put_key(key); };
    h.cmd_dispatch_f = dispatch;
    h.cmd_dispatch_s = dispatch;
    h.cmd_dispatch_z = dispatch;
    h.mainwin_release_b_button = [] { log().push_back("release_b"); };
    h.mainwin_release_f_button = [] { log().push_back("release_f"); };
    previous_hooks_ = shell_hooks_install(h);
    previous_targets_ = script_targets_install(ScriptTargets{});
    input_install_script_targets();
    input_install_display_hooks();
    rows().clear();
    log().clear();
    redraw();
  }
  void TearDown() override {
    wait_set_backend(previous_backend_);
    shell_hooks_install(previous_hooks_);
    script_targets_install(previous_targets_);
    display_hooks = DisplayHooks{};
    active_request = nullptr;
    pending_command = "nop";
    snap_on = 0;
    elem_grid_reset();
    DisplayTest::TearDown();
  }

  // Runs a request; a script that runs dry fails the test.
  int run(InputRequest& r) {
    try {
      return input_run_request(&r);
    } catch (const WaitScriptDry& e) {
      ADD_FAILURE() << e.what();
      return -1;
    }
  }

  // Draws the drawing anew, as the view shows it before a scenario.
  static void redraw() { draw_all(DRAW_CLEAR); }

  // After a scenario: with the pointer gone from the view, the store must
  // equal a clean redraw of the drawing (no cursor, rubber band or marker
  // left behind).
  static void expect_clean_surface() {
    pointer_pixel = PixelPoint{};
    input_show_coordinates(active_request);
    const std::vector<uint32_t> before = view_pixels(0);
    InputRequest* saved = active_request;
    active_request = nullptr;
    draw_all(DRAW_CLEAR);
    active_request = saved;
    const std::vector<uint32_t> after = view_pixels(0);
    ASSERT_EQ(before.size(), after.size());
    int differ = 0, first = -1;
    for (std::size_t i = 0; i < before.size(); ++i)
      if (before[i] != after[i]) {
        if (first < 0) first = static_cast<int>(i);
        ++differ;
      }
    EXPECT_EQ(differ, 0) << "pixels differing from a clean redraw, the first at (" << first % 600 << ", "
                         << first / 600 << ")";
  }

  // f_, s_ and z_ keys run the row of their key, if a test set one.
  static std::map<std::string, std::function<void()>>& rows() {
    static std::map<std::string, std::function<void()>> r;
    return r;
  }
  static std::vector<std::string>& log() {
    static std::vector<std::string> l;
    return l;
  }
  // Clicks are left out of the log.
  static void dispatch(const char* key) {
    if (std::string(key) != "z_mb1") log().push_back(std::string("dispatch ") + key);
    auto it = rows().find(key);
    if (it != rows().end()) it->second();
  }

  static int px(double x) { return 300 + static_cast<int>(std::lround(x * 6.0)); }
  static int py(double y) { return 200 - static_cast<int>(std::lround(y * 6.0)); }

  RecordingUi ui;
  ScriptedWait script;

 private:
  WaitBackend* previous_backend_ = nullptr;
  ShellHooks previous_hooks_;
  ScriptTargets previous_targets_;
};

// A rubber band from point 0 to the pointer.
inline void preview_line_from_0(InputRequest* r, double x, double y) {
  draw_xor_line(r->x[0], r->y[0], x, y);
}

// The line tool's request: start point, end point with a rubber band, confirm.
inline InputRequest line_request() {
  InputRequest r;
  r.transparent = 1;
  input_set_step(&r, 0, STEP_POINT, "Start point:");
  input_set_step(&r, 1, STEP_NEXT_POINT, "Move/End point:", preview_line_from_0);
  input_set_step(&r, 2, STEP_CONFIRM, "Move/Confirm:");
  return r;
}
