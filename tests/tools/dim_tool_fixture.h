#pragma once

// The dimension tools run by the scripted wait backend on the line tools'
// view (600 x 400 pixels at 1:500, the origin at pixel (300, 200)), with
// object snap off so that a click lands exactly where the script puts it.

#include <initializer_list>
#include <string>
#include <vector>

#include "display/snap.h"
#include "line_tool_fixture.h"
#include "model/presets.h"
#include "tools/dim_tools.h"

class DimToolTest : public LineToolTest {
 protected:
  void SetUp() override {
    LineToolTest::SetUp();
    snap_on = 0;
  }

  // The dimensions of the drawing in list order.
  static std::vector<DimElem*> dims() {
    std::vector<DimElem*> out;
    for (ElemHeader* e : elements())
      if (auto* d = elem_as<DimElem>(e)) out.push_back(d);
    return out;
  }

  // A chain along x on layer 0 whose dimension line lies at y = line_y, with
  // one entry per measured x (measured at y = 0), sorted as the tools sort.
  static DimElem* chain(std::initializer_list<double> xs, double line_y = -1.0, int layer = 0) {
    std::vector<DimPoint> e;
    for (double x : xs) {
      DimPoint d;
      d.line_point = {x, line_y, 0};
      d.measured = {x, 0.0, 0};
      e.push_back(d);
    }
    for (std::size_t k = 1; k < e.size(); ++k)
      e[k].segment_length = e[k].line_point.x - e[k - 1].line_point.x;
    elem_new_dim(layer, 0, 0, 1, 0, 0.0, 2.5, 1.0, 0.1, 1.5, 1.0, "Simpel", 0, 0, DIM_CHAIN,
                 static_cast<int>(e.size()), e.data());
    return static_cast<DimElem*>(elem_list_tail);
  }

  static std::vector<std::string> prompts(const RecordingUi& ui) { return ui.calls_starting("prompt "); }
};

inline void expect_point(const Point2& p, double x, double y, double eps = 1e-12) {
  EXPECT_NEAR(p.x, x, eps);
  EXPECT_NEAR(p.y, y, eps);
}
