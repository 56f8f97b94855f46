#include <gtest/gtest.h>

#include "display/view_tools.h"
#include "input_fixture.h"

namespace {

class ViewToolsTest : public InputTest {
 protected:
  void SetUp() override {
    InputTest::SetUp();
    rows()["f_zoom"] = [] { view_zoom_window(); };
    rows()["f_pan"] = [] { view_pan(); };
    rows()["f_mamid"] = [] { view_zoom_center(); };
  }
  static void expect_window(double xmin, double ymin, double xmax, double ymax) {
    EXPECT_NEAR(views[0].xmin, xmin, 1e-9);
    EXPECT_NEAR(views[0].ymin, ymin, 1e-9);
    EXPECT_NEAR(views[0].xmax, xmax, 1e-9);
    EXPECT_NEAR(views[0].ymax, ymax, 1e-9);
  }
};

TEST_F(ViewToolsTest, ZoomWindowInEitherDirection) {
  elem_new_line(0, 0, 0, 0, 0, 10, 0);  // its end must not catch the corner
  redraw();
  script.click_world(1, 10.1, 0.1).click_world(1, 40.1, 30.1);
  EXPECT_EQ(view_zoom_window(), INPUT_DONE);
  const ViewRec a = views[0];
  const double scale_a = view_scale;
  expect_clean_surface();

  view_default();
  script.click_world(1, 40.1, 0.1).click_world(1, 10.1, 30.1);
  EXPECT_EQ(view_zoom_window(), INPUT_DONE);
  EXPECT_DOUBLE_EQ(views[0].xmin, a.xmin);
  EXPECT_DOUBLE_EQ(views[0].ymax, a.ymax);
  EXPECT_DOUBLE_EQ(view_scale, scale_a);
  // 30 x 30 m in a 3:2 view: the height decides.
  EXPECT_NEAR(views[0].ymax - views[0].ymin, 30.0, 1e-9);
  EXPECT_NEAR((views[0].xmin + views[0].xmax) / 2, 25.1, 1e-9);
  EXPECT_EQ(ui.calls_starting("prompt ").front(), "prompt 1st Corner point:");
  expect_clean_surface();
}

TEST_F(ViewToolsTest, TinyZoomWindowChangesNothing) {
  const ViewRec before = views[0];
  script.click_world(1, 1, 1).click_world(1, 1, 1);
  EXPECT_EQ(view_zoom_window(), INPUT_DONE);
  expect_window(before.xmin, before.ymin, before.xmax, before.ymax);
  EXPECT_EQ(view_scale, 500.0);
  script.key("p_nop");
  EXPECT_EQ(view_zoom_window(), INPUT_CANCEL);
  expect_window(before.xmin, before.ymin, before.xmax, before.ymax);
  EXPECT_EQ(pending_command, "p_nop");
}

TEST_F(ViewToolsTest, PanAndZoomCentre) {
  const ViewRec before = views[0];
  script.click_world(1, 0, 0).click_world(1, 1, 0);
  EXPECT_EQ(view_pan(), INPUT_DONE);
  expect_window(before.xmin + 1, before.ymin, before.xmax + 1, before.ymax);
  expect_clean_surface();

  script.click_world(1, 7, -3);
  EXPECT_EQ(view_zoom_center(), INPUT_DONE);
  EXPECT_NEAR((views[0].xmin + views[0].xmax) / 2, 7, 1e-9);
  EXPECT_NEAR((views[0].ymin + views[0].ymax) / 2, -3, 1e-9);
  EXPECT_NEAR(views[0].xmax - views[0].xmin, before.xmax - before.xmin, 1e-9);
  expect_clean_surface();
}

TEST_F(ViewToolsTest, GaugeMeasuresUntilCancelled) {
  script.click_world(1, 0, 0).click_world(1, 10, 0).click_world(1, 10, 0);
  script.click_world(1, 1, 1).click_world(1, 1, 4).key("z_enter").key("p_nop");
  EXPECT_EQ(tool_gauge(), INPUT_CANCEL);
  EXPECT_EQ(ui.calls_starting("gauge "),
            (std::vector<std::string>{"gauge 10 0 0 10 0", "gauge 0 3 0 3 1.5708"}));
  EXPECT_EQ(pending_command, "p_nop");
  expect_clean_surface();
}

TEST_F(ViewToolsTest, ZoomInsideTheLineToolKeepsItsPoints) {
  elem_new_line(0, 0, 0, -30, -20, 30, 20);
  redraw();
  InputRequest r = line_request();
  script.click_world(1, 2, 2).key("f_zoom").click_world(1, -10, -10).click_world(1, 20, 10);
  script.click_world(1, 5, 5).key("f_pan").click_world(1, 0, 0).click_world(1, 1, 1).click_world(1, 5, 5);
  EXPECT_EQ(run(r), INPUT_DONE);
  EXPECT_NEAR(r.x[0], 2, 1e-9);
  EXPECT_NEAR(r.y[0], 2, 1e-9);
  EXPECT_NEAR(r.x[1], 5, 1e-9);
  EXPECT_NEAR(r.y[1], 5, 1e-9);
  EXPECT_NEAR(views[0].ymax - views[0].ymin, 20.0 * 400 / 400, 1e-9);
  expect_clean_surface();
}

TEST_F(ViewToolsTest, PanCancelledByAnotherTool) {
  InputRequest r = line_request();
  const ViewRec before = views[0];
  script.click_world(1, 2, 2).key("f_pan").click_world(1, 0, 0).key("b_line_line");
  EXPECT_EQ(run(r), INPUT_CANCEL);
  EXPECT_EQ(pending_command, "b_line_line");
  expect_window(before.xmin, before.ymin, before.xmax, before.ymax);
  expect_clean_surface();
}

}  // namespace
