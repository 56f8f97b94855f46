#include "model/camera.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "model/elem.h"
#include "model/file_test_util.h"
#include "model/files/kavfile.h"
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
  CameraElem* third = new_camera(9, 0, 1.6, 9, 8, 1.6);
  RecordingUi rec;
  camera_activate(second);
  EXPECT_EQ(first->active, 0);
  EXPECT_EQ(second->active, 1);
  EXPECT_EQ(third->active, 0);
  EXPECT_EQ(view_camera.eye_x, 3);
  EXPECT_EQ(view_camera.eye_z, 1.6);
  // Only what changes is erased and drawn again: the camera that was active
  // and the new one, never the third.
  EXPECT_EQ(rec.calls,
            (std::vector<std::string>{"cursor_toggle", "draw_element 2 kind 10", "draw_element 0 kind 10",
                                      "draw_element 2 kind 10", "camera_angle 45", "draw_element 0 kind 10",
                                      "cursor_toggle"}));
  rec.calls.clear();
  camera_deactivate_all();
  EXPECT_EQ(second->active, 0);
  EXPECT_EQ(rec.calls, (std::vector<std::string>{"cursor_toggle", "draw_element 2 kind 10",
                                                 "draw_element 0 kind 10", "cursor_toggle"}));
}

TEST_F(Camera, ReadingManyActiveCamerasLeavesTheLastActiveAtLinearCost) {
  constexpr int N = 200;
  for (int i = 0; i < N; ++i) {
    new_camera(i, 0, 1.7, i, 10, 1.7, 1);  // every camera was saved active
    elem_new_line(0, 0, 0, i, 0, i, 1);
  }
  const ByteVec file = written_by(kavfile_write_drawing);
  drawing_reset();
  CameraElem* held = new_camera(-1, 0, 1.7, -1, 10, 1.7, 1);  // a drawing's own active camera
  RecordingUi rec;
  read_file_bytes(file, 1);  // read into the drawing, as a symbol is
  std::vector<int> active;
  for (ElemHeader* e : elements())
    if (auto* c = elem_as<CameraElem>(e)) active.push_back(c->active);
  ASSERT_EQ(active.size(), N + 1u);
  EXPECT_EQ(held->active, 0);
  EXPECT_EQ(std::count(active.begin(), active.end(), 1), 1);
  EXPECT_EQ(active.back(), 1);
  EXPECT_EQ(view_camera.eye_x, N - 1);
  // Each camera read is erased and drawn once as it becomes active and once
  // as the next one takes over; the held camera once.
  EXPECT_EQ(rec.calls_starting("draw_element").size(), 2u + 2u * N + 2u * (N - 1));
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
