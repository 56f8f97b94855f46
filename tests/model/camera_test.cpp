#include "model/camera.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "model/elem.h"
#include "model/view_rec.h"
#include "model/xform.h"
#include "support/model_fixture.h"
#include "support/recording_ui.h"

namespace {

constexpr double PI = 3.141592653589793;

struct Camera : ModelTest {
  void SetUp() override {
    ModelTest::SetUp();
    view_camera = ViewCamera{};
  }
};

CameraElem* new_camera(double ex, double ey, double ez, double tx, double ty, double tz, int active = 0) {
  elem_new_camera(0, 0, 0, ex, ey, ez, tx, ty, tz, 45, active);
  return elem_as<CameraElem>(elem_list_tail);
}

TEST_F(Camera, ApplyViewDerivesAzimuthAndElevation) {
  RecordingUi rec;
  struct Case {
    const char* what;
    double tx, ty, tz;
    double azimuth, elevation;
  } cases[] = {
      {"level, looking north", 0, 10, 2, 2 * PI, 0},
      {"level, looking east", 10, 0, 2, 2.5 * PI, 0},
      {"looking down", 10, 0, 0, 2.5 * PI, std::atan(-0.2) + 2 * PI},
      {"looking up", 0, -10, 12, PI, PI / 4},
  };
  for (const Case& c : cases) {
    CameraElem* cam = new_camera(0, 0, 2, c.tx, c.ty, c.tz);
    view_camera.twist = 1;
    camera_apply_view(cam);
    EXPECT_NEAR(view_camera.azimuth, c.azimuth, 1e-12) << c.what;
    EXPECT_NEAR(view_camera.elevation, c.elevation, 1e-12) << c.what;
    EXPECT_EQ(view_camera.twist, 0) << c.what;
    EXPECT_EQ(view_camera.target_x, c.tx) << c.what;
    EXPECT_EQ(view_camera.eye_z, 2) << c.what;
    EXPECT_EQ(view_camera.view_angle, 45) << c.what;
  }
  EXPECT_EQ(rec.calls_starting("camera_angle").size(), 4u);
  EXPECT_EQ(rec.calls.back(), "camera_angle 45");
}

TEST_F(Camera, ActivateLeavesExactlyOneActiveCamera) {
  CameraElem* first = new_camera(0, 0, 1, 0, 5, 1, 1);
  elem_new_line(0, 0, 0, 0, 0, 1, 1);
  CameraElem* second = new_camera(3, 0, 1.6, 3, 8, 1.6);
  RecordingUi rec;
  camera_activate(second);
  EXPECT_EQ(first->active, 0);
  EXPECT_EQ(second->active, 1);
  EXPECT_EQ(view_camera.eye_x, 3);
  EXPECT_EQ(view_camera.eye_z, 1.6);
  EXPECT_EQ(rec.calls,
            (std::vector<std::string>{"cursor_toggle", "draw_element 2 kind 10", "draw_element 0 kind 10",
                                      "draw_element 2 kind 10", "draw_element 0 kind 10", "cursor_toggle",
                                      "cursor_toggle", "draw_element 2 kind 10", "camera_angle 45",
                                      "draw_element 0 kind 10", "cursor_toggle"}));
}

TEST_F(Camera, TransformsOfTheActiveCameraMoveTheView) {
  CameraElem* active = new_camera(0, 0, 2, 0, 10, 2, 1);
  CameraElem* other = new_camera(50, 50, 2, 60, 50, 2);
  active->mark = 1;
  other->mark = 1;
  xform_move_marked(1, 2, 3);
  EXPECT_EQ(view_camera.eye_x, 1);
  EXPECT_EQ(view_camera.eye_z, 5);
  xform_rotate_marked(1, 2, PI / 2);  // now looking west
  EXPECT_EQ(view_camera.target_x, -9);
  EXPECT_NEAR(view_camera.azimuth, 2 * PI - (PI - PI / 2), 1e-12);
  xform_mirror_marked(0, 0, 0, 1);  // now looking east
  EXPECT_EQ(view_camera.target_x, 9);
  xform_scale_marked(0, 0, 0, 2, 2, 2, 0);
  EXPECT_EQ(view_camera.eye_z, 10);
  // The inactive camera never reaches the view.
  EXPECT_NE(view_camera.eye_x, other->eye.x);
}

}  // namespace
