#pragma once

// The wall tools run by the scripted wait backend on a drawn view 0 of
// 600 x 400 pixels at 1:500 (one pixel is 1/6 m, the world origin at pixel
// (300, 200)): clicks at world points and typed values go through the input
// engine, "p_nop" (Escape) or another tool's key ends the tool. The wall
// preset is the default one: 0.365 thick, base 0, height 2.75.

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
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

  // w with an opening from x = a to x = b cut in (a wall along x, outer
  // face 0-1), sill 1 and height 1; w itself is removed. Null when the
  // opening does not fit.
  static WallElem* with_opening(WallElem* w, double a, double b, double stop_width = 0.0,
                                double stop_depth = 0.0) {
    const double y0 = w->corner[0].y, y1 = w->corner[3].y;
    Point3 box[8] = {{a, y0, 1, 0}, {b, y0, 1, 0}, {b, y1, 1, 0}, {a, y1, 1, 0},
                     {a, y0, 2, 0}, {b, y0, 2, 0}, {b, y1, 2, 0}, {a, y1, 2, 0}};
    WallElem* n = opening_cut_wall(box, OPENING_PLAIN, 0, 1.0, 1.0, stop_width, stop_depth, 0, w);
    if (n == w) return nullptr;
    w->mark = 1;
    elem_purge_marked();
    return n;
  }

  // The drawing as sorted lines of text, one an element: what an undo must
  // bring back, whatever the order of the list.
  static std::vector<std::string> drawing_state() {
    std::vector<std::string> out;
    for (ElemHeader* e : elements()) {
      std::ostringstream s;
      s.precision(17);
      s << int(e->kind) << " layer " << e->layer << " pen " << int(e->pen) << " group " << e->group;
      if (const auto* w = elem_as<WallElem>(e)) {
        s << " corners";
        for (const Point3& c : w->corner) s << " " << c.x << "," << c.y << "," << c.z;
        s << " segments";
        for (const WallSegment& g : w->segments)
          s << " " << g.start.x << "," << g.start.y << "-" << g.end.x << "," << g.end.y;
        s << " openings " << w->openings.size();
        for (const WallOpening& o : w->openings) s << " " << o.corner[0].x << "," << o.corner[1].x;
        s << " gable " << int(w->gable) << " material " << w->material.c_str();
      } else if (const auto* l = elem_as<LineElem>(e)) {
        s << " line " << l->p1.x << "," << l->p1.y << "-" << l->p2.x << "," << l->p2.y;
      }
      out.push_back(s.str());
    }
    std::sort(out.begin(), out.end());
    return out;
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

// The outline segments of a wall against a list of (x1, y1, x2, y2).
struct Seg {
  double x1, y1, x2, y2;
};
inline void expect_segments(const WallElem* w, std::vector<Seg> expected, double eps = 1e-9) {
  ASSERT_NE(w, nullptr);
  ASSERT_EQ(w->segments.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const WallSegment& g = w->segments[i];
    const Seg& e = expected[i];
    EXPECT_NEAR(g.start.x, e.x1, eps) << "segment " << i;
    EXPECT_NEAR(g.start.y, e.y1, eps) << "segment " << i;
    EXPECT_NEAR(g.end.x, e.x2, eps) << "segment " << i;
    EXPECT_NEAR(g.end.y, e.y2, eps) << "segment " << i;
  }
}
