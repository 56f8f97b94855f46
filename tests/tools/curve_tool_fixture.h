#pragma once

// The curve tools run by the scripted wait backend on the line tools' view
// (600 x 400 pixels at 1:500, one pixel 1/6 m, the origin at (300, 200)).

#include <gtest/gtest.h>

#include <vector>

#include "line_tool_fixture.h"
#include "model/geom.h"
#include "tools/curve_tools.h"

class CurveToolTest : public LineToolTest {
 protected:
  // The arc elements (circles, arcs, ellipses) of the drawing in list order.
  static std::vector<const ArcElem*> arcs() {
    std::vector<const ArcElem*> out;
    for (ElemHeader* e : elements())
      if (const auto* a = elem_as<ArcElem>(e)) out.push_back(a);
    return out;
  }
  static std::vector<const SplineElem*> splines() {
    std::vector<const SplineElem*> out;
    for (ElemHeader* e : elements())
      if (const auto* s = elem_as<SplineElem>(e)) out.push_back(s);
    return out;
  }
  // Starts every case of a table from an empty drawing and no undo steps.
  void fresh_drawing() {
    undo_record(UNDO_CLEAR, 0);
    drawing_free();
    drawing_init();
    redraw();
  }
};

// Centre, radii, sweep and start of an arc element; rotation 0.
inline void expect_curve(const ArcElem* a, double cx, double cy, double rx, double ry, double sweep,
                         double start, double eps = 1e-9) {
  ASSERT_NE(a, nullptr);
  EXPECT_NEAR(a->centre.x, cx, eps);
  EXPECT_NEAR(a->centre.y, cy, eps);
  EXPECT_NEAR(a->radius_x, rx, eps);
  EXPECT_NEAR(a->radius_y, ry, eps);
  EXPECT_NEAR(a->sweep, sweep, eps);
  EXPECT_NEAR(a->start, start, eps);
  EXPECT_EQ(a->rotation, 0.0);
}

inline constexpr double PI = GEOM_PI;
