// The light and camera tools run by scripts: the height rules of lights
// and cameras, the light settings they copy, exactly one active camera, and
// turning the active camera a degree at a time.

#include "building/light_camera_tools.h"

#include <cmath>

#include "display/display_init.h"
#include "model/geom.h"
#include "model/presets.h"
#include "model/redraw.h"
#include "model/vec3.h"
#include "model/view_rec.h"
#include "solid_tool_fixture.h"

namespace {

constexpr double DEG = 0.017453292519943295;

class LightCameraTest : public SolidToolTest {
 protected:
  void SetUp() override {
    SolidToolTest::SetUp();
    light_preset = LightPreset{};
    light_preset.type = LIGHT_POINT;
    light_preset.shadow = 1;
    light_preset.size = 4;
    light_preset.angle = 30;
    light_preset.shadow_intensity = 0.5;
    light_preset.r = 0.9;
    light_preset.g = 0.8;
    light_preset.b = 0.7;
    view_camera = ViewCamera{};
    // Activating a camera draws it through the model's redraw table.
    previous_redraw_ = redraw_install(RedrawTable{});
    display_init();
  }
  void TearDown() override {
    redraw_install(previous_redraw_);
    SolidToolTest::TearDown();
  }
  static int active_cameras() {
    int n = 0;
    for (const CameraElem* c : all<CameraElem>()) n += c->active == 1;
    return n;
  }

 private:
  RedrawTable previous_redraw_;
};

TEST_F(LightCameraTest, LightsTakeTheSettingsAndOnlyTheLightIsRaised) {
  cur_layer = 2;
  cur_pen = 3;
  // A point light clicked at z 0: its target stays below it.
  click_confirm(1, 2);
  script.value("3");
  // One typed above the floor asks nothing.
  typed("4;4;2.5");
  script.key("z_enter").key("p_nop");
  run_tool(tool_3d_light);
  // A spotlight: light and target at z 0, only the light is raised.
  light_preset.type = LIGHT_SPOT;
  click_confirm(5, 0);
  click_confirm(5, 5);
  script.value("3").key("p_nop");
  run_tool(tool_3d_light);

  const auto l = all<LightElem>();
  ASSERT_EQ(l.size(), 3u);
  expect_point3(l[0]->position, 1, 2, 3);
  expect_point3(l[0]->target, 1, 2, 0);
  expect_point3(l[1]->position, 4, 4, 2.5);
  expect_point3(l[1]->target, 4, 4, 2.5);
  expect_point3(l[2]->position, 5, 0, 3);
  expect_point3(l[2]->target, 5, 5, 0);
  EXPECT_EQ(l[0]->type, LIGHT_POINT);
  EXPECT_EQ(l[2]->type, LIGHT_SPOT);
  for (const LightElem* e : l) {
    EXPECT_EQ(e->layer, 2);
    EXPECT_EQ(e->pen, 3);
    EXPECT_EQ(e->shadow, 1);
    EXPECT_EQ(e->light_size, 4);
    EXPECT_EQ(e->angle, 30);
    EXPECT_EQ(e->shadow_intensity, 0.5);
    EXPECT_EQ(e->r, 0.9);
    EXPECT_EQ(e->g, 0.8);
    EXPECT_EQ(e->b, 0.7);
  }
  const auto p = prompts();
  EXPECT_EQ(std::count(p.begin(), p.end(), "prompt Target point:"), 1);
  EXPECT_EQ(std::count(p.begin(), p.end(), "prompt Height:"), 2);
  EXPECT_EQ(undo_used, 3);
  expect_clean_surface();
}

TEST_F(LightCameraTest, AlteringGivesSelectedLightsTheSettingsAndKeepsWhereTheyAre) {
  elem_new_light(0, 1, 0, LIGHT_POINT, 0, 1, 10, 0.1, 1, 1, 3, 1, 1, 0, 1, 1, 1);
  elem_new_light(0, 1, 0, LIGHT_POINT, 0, 1, 10, 0.1, 30, 30, 3, 30, 30, 0, 1, 1, 1);  // outside
  elem_new_line(0, 1, 0, 0, 0, 2, 2);
  redraw();
  light_preset.type = LIGHT_SPOT;
  select_window_of(-5, -5, 10, 10);
  run_tool(tool_3d_light_alter);

  const auto l = all<LightElem>();
  ASSERT_EQ(l.size(), 2u);
  EXPECT_EQ(l[0]->type, LIGHT_SPOT);
  EXPECT_EQ(l[0]->shadow, 1);
  EXPECT_EQ(l[0]->light_size, 4);
  EXPECT_EQ(l[0]->angle, 30);
  EXPECT_EQ(l[0]->shadow_intensity, 0.5);
  EXPECT_EQ(l[0]->r, 0.9);
  EXPECT_EQ(l[0]->b, 0.7);
  expect_point3(l[0]->position, 1, 1, 3);
  expect_point3(l[0]->target, 1, 1, 0);
  EXPECT_EQ(l[1]->type, LIGHT_POINT);
  EXPECT_EQ(l[1]->light_size, 1);
  for (ElemHeader* e : elements()) EXPECT_EQ(e->mark, 0);
  expect_clean_surface();

  EXPECT_EQ(undo_used, 1);
  undo_step_back();
  for (const LightElem* e : all<LightElem>()) {
    EXPECT_EQ(e->type, LIGHT_POINT);
    EXPECT_EQ(e->light_size, 1);
  }
}

TEST_F(LightCameraTest, CameraAtTheFloorIsRaisedAndTheNewestIsTheOnlyActiveOne) {
  view_camera.view_angle = 45;
  click_confirm(0, 0);
  click_confirm(10, 0);
  script.value("1.6");
  run_tool(tool_3d_camera);
  expect_clean_surface();
  typed("0;5;2");
  script.key("z_enter");
  typed("0;15;1");
  script.key("z_enter");
  run_tool(tool_3d_camera);

  const auto c = all<CameraElem>();
  ASSERT_EQ(c.size(), 2u);
  expect_point3(c[0]->eye, 0, 0, 1.6);
  expect_point3(c[0]->target, 10, 0, 1.6);
  EXPECT_EQ(c[0]->view_angle, 45);
  EXPECT_EQ(c[0]->active, 0);
  EXPECT_EQ(c[1]->active, 1);
  EXPECT_EQ(active_cameras(), 1);
  // The perspective view looks through the new camera; downwards is an
  // angle below 2 pi, not a negative one.
  EXPECT_EQ(view_camera.eye_y, 5);
  EXPECT_EQ(view_camera.target_y, 15);
  EXPECT_GT(view_camera.elevation, 1.5 * GEOM_PI);
  EXPECT_LT(view_camera.elevation, GEOM_TWO_PI);
  const auto p = prompts();
  EXPECT_EQ(std::count(p.begin(), p.end(), "prompt Height:"), 1);
  EXPECT_EQ(undo_used, 2);
  expect_clean_surface();

  // Changing to the first camera by picking it.
  script.click_world(1, 0, 0);
  run_tool(tool_3d_camera_change);
  EXPECT_EQ(c[0]->active, 1);
  EXPECT_EQ(active_cameras(), 1);
  EXPECT_EQ(view_camera.target_x, 10);
  EXPECT_EQ(undo_used, 2);
  expect_clean_surface();
}

TEST_F(LightCameraTest, CancelledCameraKeepsItsEyeForTheRubberBands) {
  click_confirm(3, 4);
  script.key("p_nop");
  run_tool(tool_3d_camera);
  EXPECT_TRUE(all<CameraElem>().empty());
  expect_point3(camera_tool_eye, 3, 4, 0);
  EXPECT_EQ(undo_used, 0);
  expect_clean_surface();
}

TEST_F(LightCameraTest, TurnsKeepTheDistanceAndComeRound) {
  elem_new_camera(0, 1, 0, 1, 2, 1.5, 4, 6, 1.5, 60, 0);
  elem_new_camera(0, 1, 0, 0, 0, 1.5, 0, 7, 0.5, 60, 1);
  redraw();
  CameraElem* idle = all<CameraElem>()[0];
  CameraElem* cam = all<CameraElem>()[1];
  const Point3 start = cam->target;
  const double d = vec3_distance(cam->eye, start);
  for (int k = 0; k < 360; ++k) tool_cam_left();
  EXPECT_LE(vec3_distance(cam->target, start), 1e-9 * d);
  EXPECT_NEAR(vec3_distance(cam->eye, cam->target), d, 1e-12);
  expect_point3(idle->target, 4, 6, 1.5);  // only the active camera turns
  tool_cam_right();
  EXPECT_NEAR(geom_angle(0, 0, cam->target.x, cam->target.y), GEOM_PI / 2 - DEG, 1e-12);
  EXPECT_EQ(view_camera.target_x, cam->target.x);
  expect_clean_surface();
}

TEST_F(LightCameraTest, UpAndDownTiltALevelCamera) {
  elem_new_camera(0, 1, 0, 2, 2, 1.6, 2, -3, 1.6, 60, 1);
  CameraElem* cam = all<CameraElem>()[0];
  const Point3 start = cam->target;
  tool_cam_up();
  EXPECT_NEAR(view_camera.elevation, DEG, 1e-12);
  EXPECT_GT(cam->target.z, 1.6);
  EXPECT_NEAR(vec3_distance(cam->eye, cam->target), 5, 1e-12);
  tool_cam_down();
  tool_cam_down();
  EXPECT_NEAR(view_camera.elevation, GEOM_TWO_PI - DEG, 1e-12);
  tool_cam_up();
  EXPECT_LE(vec3_distance(cam->target, start), 1e-12);
}

TEST_F(LightCameraTest, TurnsWithoutAnActiveCameraDoNothing) {
  elem_new_camera(0, 1, 0, 0, 0, 0, 1, 0, 0, 60, 0);
  const ViewCamera before = view_camera;
  for (void (*turn)() : {tool_cam_up, tool_cam_down, tool_cam_left, tool_cam_right}) turn();
  expect_point3(all<CameraElem>()[0]->target, 1, 0, 0);
  EXPECT_EQ(view_camera.target_x, before.target_x);
  EXPECT_EQ(view_camera.eye_y, before.eye_y);
}

// The turns in every direction of view: the plan turns keep the height and
// the tilts keep the plan direction.
TEST(CameraTurn, EachModeInEachDirection) {
  const Point3 eye{1, -2, 3, 0};
  for (double a = 0.1; a < GEOM_TWO_PI; a += 0.7) {
    const Point3 t{eye.x + 4 * std::cos(a), eye.y + 4 * std::sin(a), eye.z + 0.5, 0};
    for (int mode = 0; mode < 4; ++mode) {
      SCOPED_TRACE(testing::Message() << "a " << a << " mode " << mode);
      const Point3 n = camera_turned_target(eye, t, mode);
      EXPECT_NEAR(vec3_distance(eye, n), vec3_distance(eye, t), 1e-12);
      const double plan = geom_angle(eye.x, eye.y, n.x, n.y);
      const double elev = std::atan2(n.z - eye.z, std::hypot(n.x - eye.x, n.y - eye.y));
      const double elev0 = std::atan2(0.5, 4.0);
      if (mode >= 2) {
        EXPECT_NEAR(n.z, t.z, 1e-12);
        double turn = plan - a;
        if (turn > GEOM_PI) turn -= GEOM_TWO_PI;
        if (turn < -GEOM_PI) turn += GEOM_TWO_PI;
        EXPECT_NEAR(turn, mode == 2 ? DEG : -DEG, 1e-12);
      } else {
        EXPECT_NEAR(plan, a, 1e-12);
        EXPECT_NEAR(elev - elev0, mode == 0 ? DEG : -DEG, 1e-12);
      }
    }
  }
}

}  // namespace
