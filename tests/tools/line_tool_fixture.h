#pragma once

// The line tools run by the scripted wait backend on a drawn view 0 of
// 600 x 400 pixels at 1:500 (one pixel is 1/6 m, the world origin at pixel
// (300, 200)): clicks at world points and typed values go through the input
// engine, "p_nop" (Escape) or another tool's key ends the tool.

#include <gtest/gtest.h>

#include <vector>

#include "../display/input_fixture.h"
#include "model/undo.h"
#include "tools/line_tools.h"

class LineToolTest : public InputTest {
 protected:
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

  // The lines of the drawing in list order.
  static std::vector<const LineElem*> lines() {
    std::vector<const LineElem*> out;
    for (ElemHeader* e : elements())
      if (const auto* l = elem_as<LineElem>(e)) out.push_back(l);
    return out;
  }

  // Whether every element is unmarked.
  static bool nothing_marked() { return elem_count_marked() == 0; }
};

inline void expect_line(const LineElem* l, double x1, double y1, double x2, double y2, double eps = 1e-9) {
  ASSERT_NE(l, nullptr);
  EXPECT_NEAR(l->p1.x, x1, eps);
  EXPECT_NEAR(l->p1.y, y1, eps);
  EXPECT_NEAR(l->p2.x, x2, eps);
  EXPECT_NEAR(l->p2.y, y2, eps);
}
