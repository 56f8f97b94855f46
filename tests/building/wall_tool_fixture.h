#pragma once

// The wall tools run by the scripted wait backend on a drawn view 0 of
// 600 x 400 pixels at 1:500 (one pixel is 1/6 m, the world origin at pixel
// (300, 200)): clicks at world points and typed values go through the input
// engine, "p_nop" (Escape) or another tool's key ends the tool. The wall
// preset is the default one: 0.365 thick, base 0, height 2.75.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../display/input_fixture.h"
#include "building/wall_tools.h"
#include "model/presets.h"
#include "model/settings.h"
#include "model/undo.h"
#include "model/wall_outline.h"

class WallToolTest : public InputTest {
 protected:
  void SetUp() override {
    InputTest::SetUp();
    // Snapping would catch the corners of walls already drawn; the tests
    // click exactly where they mean.
    snap_on = 0;
  }

  // Runs the tool to its end; a script that runs dry or is not used up
  // fails the test.
  void run_tool(void (*tool)()) {
    try {
      tool();
    } catch (const WaitScriptDry& e) {
      ADD_FAILURE() << e.what();
    }
    EXPECT_EQ(script.remaining(), 0u) << "events left unused";
    EXPECT_EQ(active_request, nullptr);
  }

  // The walls of the drawing in list order.
  static std::vector<WallElem*> walls() {
    std::vector<WallElem*> out;
    for (ElemHeader* e : elements())
      if (auto* w = elem_as<WallElem>(e)) out.push_back(w);
    return out;
  }

  // A window selection as the user makes it on the Select page: the Range
  // radio button, two corners, OK.
  void select_window_of(double x1, double y1, double x2, double y2) {
    rows()["z_toggle"] = [] { select_type = 0; };
    script.key("z_toggle").click_world(1, x1, y1).click_world(1, x2, y2).key("s_deffi_ok");
  }

  std::vector<std::string> prompts() const { return ui.calls_starting("prompt "); }
  std::vector<std::string> errors() const { return ui.calls_starting("error "); }

  // A wall on the axis (x0, y0) -> (x1, y1) with the given thickness,
  // base 0 and height 2.75, the plain outline, pen 1, on layer 0.
  static WallElem* axis_wall(double x0, double y0, double x1, double y1, double thickness = 0.3,
                             int pen = 1) {
    wall_corners_from_axis(x0, y0, x1, y1, thickness / 2.0);
    double c[24];
    for (int i = 0; i < 4; ++i) {
      c[3 * i] = c[3 * (i + 4)] = wall_corner_bank[2 * i];
      c[3 * i + 1] = c[3 * (i + 4) + 1] = wall_corner_bank[2 * i + 1];
      c[3 * i + 2] = 0;
      c[3 * (i + 4) + 2] = 2.75;
    }
    WallSegment quad[4];
    wall_outline_quad(c[0], c[1], c[3], c[4], c[6], c[7], c[9], c[10], quad);
    elem_new_wall(0, pen, 0, c, 4, quad, 0, nullptr, "Default", 0, 0, 0, 0, 0, 0, 0);
    return elem_as<WallElem>(elem_list_tail);
  }
};

// Plan corner k of a wall against (x, y).
inline void expect_corner(const WallElem* w, int k, double x, double y, double eps = 1e-9) {
  ASSERT_NE(w, nullptr);
  EXPECT_NEAR(w->corner[k].x, x, eps) << "corner " << k;
  EXPECT_NEAR(w->corner[k].y, y, eps) << "corner " << k;
}

// The four lower corners against a list of (x, y), and the upper corners
// above them.
inline void expect_plan(const WallElem* w, std::vector<Point2> c, double eps = 1e-9) {
  ASSERT_NE(w, nullptr);
  ASSERT_EQ(c.size(), 4u);
  for (int k = 0; k < 4; ++k) {
    expect_corner(w, k, c[k].x, c[k].y, eps);
    expect_corner(w, k + 4, c[k].x, c[k].y, eps);
  }
}

// Signed area of the plan corners: positive when counter-clockwise.
inline double plan_area(const WallElem* w) {
  double a = 0.0;
  for (int i = 0; i < 4; ++i) {
    const Point3 &p = w->corner[i], &q = w->corner[(i + 1) % 4];
    a += p.x * q.y - q.x * p.y;
  }
  return a / 2.0;
}
