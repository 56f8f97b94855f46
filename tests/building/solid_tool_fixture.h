#pragma once

// The 3D element, light and camera tools run by scripts on the wall tools'
// view: clicks at world points, points typed as "x;y;z", typed values.
// Each test starts in the plan view with the material "Oak" and guide mode
// off, and leaves the plan view behind.

#include <string>
#include <vector>

#include "building/solid_tools.h"
#include "wall_tool_fixture.h"

class SolidToolTest : public WallToolTest {
 protected:
  void SetUp() override {
    WallToolTest::SetUp();
    view_type = 0;
    guide_mode = 0;
    material_preset.name = "Oak";
  }
  void TearDown() override {
    view_type = 0;
    guide_mode = 0;
    WallToolTest::TearDown();
  }

  // A point typed as "x;y;z" at a point step.
  void typed(const char* xyz) { script.key("z_abs").value(xyz); }
  // A click and Enter for the confirm step after it.
  void click_confirm(double x, double y) { script.click_world(1, x, y).key("z_enter"); }

  template <class T>
  static std::vector<T*> all() {
    std::vector<T*> out;
    for (ElemHeader* e : elements())
      if (auto* t = elem_as<T>(e)) out.push_back(t);
    return out;
  }
};

inline void expect_point3(const Point3& p, double x, double y, double z, double eps = 1e-9) {
  EXPECT_NEAR(p.x, x, eps);
  EXPECT_NEAR(p.y, y, eps);
  EXPECT_NEAR(p.z, z, eps);
}
