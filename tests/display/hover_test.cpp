#include <gtest/gtest.h>

#include "display/input.h"
#include "input_fixture.h"

namespace {

class HoverTest : public InputTest {
 protected:
  void SetUp() override {
    InputTest::SetUp();
    snap_preview_on = 1;
  }
  static void move_to(double x, double y) {
    pointer_pixel = {x, y};
    input_show_coordinates(active_request);
  }
  // Ticks until the scan of the current position has ended. The first tick
  // starts the scan; a loaded machine may need more ticks to finish it.
  static void scan() {
    input_hover_timer();
    for (int i = 0; i < 1000 && input_hover_scan_running(); ++i) input_hover_timer();
  }
};

TEST_F(HoverTest, PlusBesideALinesEndAndGoneOnTheNextMove) {
  elem_new_line(0, 0, 0, 0, 0, 10, 0);
  redraw();
  move_to(px(10) + 3, py(0) - 2);
  input_hover_timer();
  scan();
  EXPECT_EQ(hover_code, HOVER_POINT);
  const int mx = px(10) + 3 + 7 + 8, my = py(0) - 2 + 7 + 2;
  const uint32_t sign = view_pixel(0, mx, my + 4);
  move_to(px(30), py(20));
  input_hover_timer();
  EXPECT_EQ(hover_code, HOVER_NONE);
  EXPECT_NE(view_pixel(0, mx, my + 4), sign);
  expect_clean_surface();
}

TEST_F(HoverTest, TheLastElementInListOrderDecides) {
  elem_new_line(0, 0, 0, 0, 0, 10, 0);
  elem_new_line(0, 0, 0, 8, -5, 12, 5);  // its midpoint (10, 0) under the box too
  redraw();
  move_to(px(10), py(0));
  scan();
  EXPECT_EQ(hover_code, HOVER_MIDPOINT);
  expect_clean_surface();
}

TEST_F(HoverTest, HiddenLayersAndEmptySpaceShowNothing) {
  elem_new_line(5, 0, 0, 0, 0, 10, 0);
  layers[5].shown = 0;
  redraw();
  move_to(px(10), py(0));
  scan();
  EXPECT_EQ(hover_code, HOVER_NONE);
  move_to(px(-20), py(10));
  scan();
  EXPECT_EQ(hover_code, HOVER_NONE);
  expect_clean_surface();
}

TEST_F(HoverTest, PreviewOffRemovesTheSign) {
  elem_new_line(0, 0, 0, 0, 0, 10, 0);
  redraw();
  move_to(px(10), py(0));
  scan();
  ASSERT_EQ(hover_code, HOVER_POINT);
  snap_preview_on = 0;
  input_hover_timer();
  EXPECT_EQ(hover_code, HOVER_NONE);
  expect_clean_surface();
}

TEST_F(HoverTest, ChangedListRestartsTheScan) {
  for (int i = 0; i < 50; ++i) elem_new_line(0, 0, 0, i, 20, i + 0.5, 20);
  elem_new_line(0, 0, 0, 0, 0, 10, 0);
  redraw();
  move_to(px(10), py(0));
  scan();
  ASSERT_EQ(hover_code, HOVER_POINT);
  // The line under the box goes away: the same position is scanned again.
  ElemHeader* last = elem_list_tail;
  elem_unlink(last);
  elem_destroy(last);
  redraw();
  scan();
  EXPECT_EQ(hover_code, HOVER_NONE);
  expect_clean_surface();
}

TEST_F(HoverTest, SignWhileARubberBandWaits) {
  elem_new_line(0, 0, 0, 0, 0, 10, 0);
  redraw();
  InputRequest r = line_request();
  rows()["z_tick"] = [] {
    move_to(px(10), py(0));
    scan();
    EXPECT_EQ(hover_code, HOVER_POINT);
    move_to(px(20), py(5));
    scan();
  };
  script.click_world(1, 0, 5).key("z_tick").click_world(1, 20, 5).click_world(1, 20, 5);
  EXPECT_EQ(run(r), INPUT_DONE);
  expect_clean_surface();
}

}  // namespace
