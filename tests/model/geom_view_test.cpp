#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "model/geom.h"
#include "model/settings.h"
#include "model/view_rec.h"

namespace {

constexpr double PI = GEOM_PI;

// A 200 x 100 pixel view showing (0, 0)-(20, 10) at 0.1 m per pixel.
class ViewMapping : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_views_0 = views[0];
    saved_views_2 = views[2];
    saved_camera = view_camera;
    saved_type = view_type;
    views[0] = ViewRec{0, 0, 200, 100, 0.0, 0.0, 20.0, 10.0, 0.1, 0.1};
    cur_view = 0;
    view_type = VIEW_PLAN;
  }
  void TearDown() override {
    views[0] = saved_views_0;
    views[2] = saved_views_2;
    view_camera = saved_camera;
    view_type = saved_type;
    cur_view = 0;
  }
  ViewRec saved_views_0, saved_views_2;
  ViewCamera saved_camera;
  int32_t saved_type = 0;
};

TEST_F(ViewMapping, WorldToPixelAndBack) {
  EXPECT_EQ(view_wx_to_sx(0.0), 0);
  EXPECT_EQ(view_wx_to_sx(5.04), 50);
  EXPECT_EQ(view_wx_to_sx(5.06), 51);
  EXPECT_EQ(view_wx_to_sx(-0.17), -1);  // 1.7 pixels left of xmin: toward zero
  EXPECT_EQ(view_wy_to_sy(0.0), 100);
  EXPECT_EQ(view_wy_to_sy(1.0), 90);
  EXPECT_DOUBLE_EQ(view_sx_to_wx(50), 5.0);
  EXPECT_DOUBLE_EQ(view_sy_to_wy(90), 1.0);
  EXPECT_EQ(view_len_to_px(1.0), 10);
  EXPECT_EQ(view_len_to_px_x(1.0), view_len_to_px(1.0));
  EXPECT_EQ(view_len_to_px_y(0.26), 3);
  EXPECT_DOUBLE_EQ(view_px_to_len_x(3), 0.30000000000000004);
  EXPECT_DOUBLE_EQ(view_px_to_len_y(10), 1.0);
}

TEST_F(ViewMapping, FarPointsStayOnTheirSide) {
  EXPECT_EQ(view_wx_to_sx(1e9), 32767);
  EXPECT_EQ(view_wx_to_sx(-1e9), -32767);
  EXPECT_EQ(view_wy_to_sy(1e300), -32767);  // far above: far up the screen
  EXPECT_EQ(view_wy_to_sy(-1e300), 32767);
  EXPECT_EQ(view_len_to_px(1e12), 32767);
  EXPECT_EQ(view_wx_to_sx(std::numeric_limits<double>::quiet_NaN()), 0);
  views[0].xscale = 0.0;  // a view that has no size yet
  EXPECT_EQ(view_wx_to_sx(5.0), 0);
  EXPECT_EQ(view_len_to_px(5.0), 0);
}

TEST_F(ViewMapping, CurrentViewSelectsTheRecord) {
  views[2] = ViewRec{10, 0, 110, 50, 100.0, 200.0, 110.0, 205.0, 0.1, 0.1};
  cur_view = 2;
  EXPECT_EQ(view_wx_to_sx(100.0), 10);
  EXPECT_EQ(view_wy_to_sy(201.0), 40);
  cur_view = 99;  // out of range: the main view
  EXPECT_EQ(view_wx_to_sx(5.0), 50);
}

TEST_F(ViewMapping, ProjectionTable) {
  const double x = 1, y = 2, z = 3;
  struct Case {
    int type;
    double u, v, depth;
  } cases[] = {
      {VIEW_PLAN, x, y, -z},
      {VIEW_FRONT, x, z, y},
      {VIEW_LEFT, -y, z, x},
      {VIEW_RIGHT, y, z, -x},
      {VIEW_BACK, -x, z, -y},
      {VIEW_ISO_FRONT_LEFT, 0.866 * x - 0.866 * y, z + 0.5 * y + 0.5 * x, 0.5 * x + 0.5 * y - z},
      {VIEW_ISO_FRONT_RIGHT, 0.866 * y + 0.866 * x, z + 0.5 * y - 0.5 * x, 0.5 * y - 0.5 * x - z},
      {VIEW_ISO_BACK_LEFT, -0.866 * y - 0.866 * x, z - 0.5 * y + 0.5 * x, 0.5 * x - 0.5 * y - z},
      {VIEW_ISO_BACK_RIGHT, -0.866 * x + 0.866 * y, z - 0.5 * y - 0.5 * x, -0.5 * x - 0.5 * y - z},
  };
  for (const Case& c : cases) {
    view_type = c.type;
    view_project(x, y, z);
    EXPECT_DOUBLE_EQ(geo_result.view_u, c.u) << c.type;
    EXPECT_DOUBLE_EQ(geo_result.view_v, c.v) << c.type;
    EXPECT_DOUBLE_EQ(geo_result.view_depth, c.depth) << c.type;
  }
  view_type = VIEW_AXIS_ROTATION;  // not a projection: the results stay
  view_project(7, 7, 7);
  EXPECT_DOUBLE_EQ(geo_result.view_u, cases[8].u);
}

TEST_F(ViewMapping, WhatTheUserSees) {
  // A wall 3 m high shows 3 m tall in the front elevation.
  view_type = VIEW_FRONT;
  view_project(4, 1, 0);
  const double base = geo_result.view_v;
  view_project(4, 1, 3);
  EXPECT_DOUBLE_EQ(geo_result.view_v - base, 3.0);
  // Vertical edges of a cube stay vertical in every axonometric view, and
  // the near corner is nearer than the far one.
  for (int type : {VIEW_ISO_FRONT_LEFT, VIEW_ISO_FRONT_RIGHT, VIEW_ISO_BACK_LEFT, VIEW_ISO_BACK_RIGHT}) {
    view_type = type;
    for (double cx : {0.0, 1.0}) {
      for (double cy : {0.0, 1.0}) {
        view_project(cx, cy, 0);
        const double u0 = geo_result.view_u;
        view_project(cx, cy, 1);
        EXPECT_DOUBLE_EQ(geo_result.view_u, u0) << type;
      }
    }
  }
  view_type = VIEW_ISO_FRONT_LEFT;  // seen from the south-west
  view_project(0, 0, 0);
  const double near_depth = geo_result.view_depth;
  view_project(1, 1, 0);
  EXPECT_GT(geo_result.view_depth, near_depth);
}

TEST_F(ViewMapping, Perspective) {
  view_type = VIEW_PERSPECTIVE;
  view_camera = ViewCamera{};  // eye (0, -100, 2) looking along +y
  view_project(1, 0, 3);
  EXPECT_NEAR(geo_result.view_u, 0.01, 1e-12);
  EXPECT_NEAR(geo_result.view_v, 0.01, 1e-12);
  EXPECT_NEAR(geo_result.view_depth, -0.01, 1e-12);
  view_project(1, -150, 3);  // behind the eye
  EXPECT_EQ(geo_result.view_u, 999);
  EXPECT_EQ(geo_result.view_v, 999);
  EXPECT_EQ(geo_result.view_depth, 999);
  view_project(5, -100, 7);  // level with the eye
  EXPECT_EQ(geo_result.view_depth, 999);

  // Looking along +x (azimuth as the camera code derives it), then up at 45 degrees.
  view_camera.eye_x = view_camera.eye_y = view_camera.eye_z = 0;
  view_camera.azimuth = 2 * PI - (0 - PI / 2);
  view_project(10, -1, 2);
  EXPECT_NEAR(geo_result.view_u, 0.1, 1e-12);  // right of the view line
  EXPECT_NEAR(geo_result.view_v, 0.2, 1e-12);
  EXPECT_NEAR(geo_result.view_depth, -0.1, 1e-12);
  view_camera.azimuth = 0;
  view_camera.elevation = PI / 4;
  view_project(0, 10, 10);
  EXPECT_NEAR(geo_result.view_u, 0, 1e-12);
  EXPECT_NEAR(geo_result.view_v, 0, 1e-12);
}

TEST_F(ViewMapping, UnprojectionTable) {
  const double u = 2, v = 3;
  struct Case {
    int type;
    double x, y, z;
  } cases[] = {
      {VIEW_PLAN, u, v, 0},
      {VIEW_FRONT, u, 0, v},
      {VIEW_PERSPECTIVE, u, 0, v},
      {VIEW_LEFT, 0, -u, v},
      {VIEW_RIGHT, 0, u, v},
      {VIEW_BACK, -u, 0, v},
      {VIEW_ISO_FRONT_LEFT, 0.577 * u, -0.577 * u, v},
      {VIEW_ISO_FRONT_RIGHT, 0.577 * u, 0.577 * u, v},
      {VIEW_ISO_BACK_LEFT, -0.577 * u, -0.577 * u, v},
      {VIEW_ISO_BACK_RIGHT, -0.577 * u, 0.577 * u, v},
  };
  for (const Case& c : cases) {
    view_type = c.type;
    view_unproject(u, v);
    EXPECT_DOUBLE_EQ(geo_result.world_x, c.x) << c.type;
    EXPECT_DOUBLE_EQ(geo_result.world_y, c.y) << c.type;
    EXPECT_DOUBLE_EQ(geo_result.world_z, c.z) << c.type;
  }
  view_type = VIEW_AXIS_ROTATION;
  view_unproject(8, 8);
  EXPECT_DOUBLE_EQ(geo_result.world_x, cases[9].x);
  // The elevations put a view point back where it projects from.
  for (int type : {VIEW_FRONT, VIEW_LEFT, VIEW_RIGHT, VIEW_BACK}) {
    view_type = type;
    view_unproject(1.5, -2.5);
    view_project(geo_result.world_x, geo_result.world_y, geo_result.world_z);
    EXPECT_DOUBLE_EQ(geo_result.view_u, 1.5) << type;
    EXPECT_DOUBLE_EQ(geo_result.view_v, -2.5) << type;
  }
}

}  // namespace
