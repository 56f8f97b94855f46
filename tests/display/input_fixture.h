#pragma once

// A plan view of 600 x 400 pixels at 1:500 (one pixel is 1/6 m) with the
// world origin at pixel (300, 200), object snap on, an empty drawing on
// layer 0.

#include <gtest/gtest.h>

#include <vector>

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
    cur_view = 0;
    views[0] = ViewRec{0, 0, 600, 400, -50.0, -200.0 / 6.0, 50.0, 200.0 / 6.0, PX, PX};
    view_type = VIEW_PLAN;
    snap_on = 1;
    cur_layer = 0;
    snap_index_threshold = 20000;
    elem_grid_reset();
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
