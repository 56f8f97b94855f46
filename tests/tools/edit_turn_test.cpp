// Rotate, polar series, mirror and stretch run end to end by scripts: the
// records they leave in the plan view and in the other views, one undo step
// per action, undo giving back exactly the drawing before, and the rules for
// what would otherwise be undefined (a plane of three points on one line, a
// stretch that starts on the fixed point, a stale rotation axis).

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "edit_tool_fixture.h"
#include "model/geom.h"
#include "model/view_rec.h"
#include "model/xform.h"

namespace {

constexpr double PI = 3.141592653589793;

// A point typed as absolute coordinates.
void abs_point(ScriptedWait& script, const char* xyz) { script.key("z_abs").value(xyz); }

Point3 turned(const Point3& p, double a) {
  return {p.x * std::cos(a) - p.y * std::sin(a), p.x * std::sin(a) + p.y * std::cos(a), p.z, 0};
}

// The points of an element, rounded to 1e-6 and sorted: its point set,
// whatever order a transform leaves them in.
std::vector<std::array<double, 3>> point_set(const std::vector<Point3>& pts) {
  std::vector<std::array<double, 3>> out;
  for (const Point3& p : pts)
    out.push_back({std::round(p.x * 1e6) / 1e6 + 0.0, std::round(p.y * 1e6) / 1e6 + 0.0,
                   std::round(p.z * 1e6) / 1e6 + 0.0});
  std::sort(out.begin(), out.end());
  return out;
}

TEST_F(EditToolTest, RotateTurnsEveryKindAboutTheCentreEachAngleItsOwnStep) {
  make_mixed_drawing();
  const auto before = chunks();
  const auto points = all_points();
  select_all();
  script.click_world(1, 0, 0).key("z_enter");
  script.value("90");  // degrees, the angle unit
  script.click_world(1, 30, 0).click_world(1, 0, 30).key("z_enter");
  script.key("p_nop");
  run_tool(tool_edit_rotate);

  expect_points_mapped(points, all_points(), [](const Point3& p) { return turned(p, PI); });
  const auto* text = elem_as<TextElem>(elements()[2]);
  ASSERT_NE(text, nullptr);
  EXPECT_NEAR(text->angle, PI, 1e-9);
  EXPECT_EQ(undo_used, 2);
  EXPECT_TRUE(nothing_marked());
  expect_clean_surface();
  undo_step_back();
  expect_points_mapped(
      points, all_points(), [](const Point3& p) { return turned(p, PI / 2); }, 1e-9);
  undo_step_back();
  EXPECT_EQ(chunks(), before);
}

TEST_F(EditToolTest, RotateWithTheCopyToggleCopiesOnlyOnTheFirstTurn) {
  make_mixed_drawing();
  const auto before = chunks();
  const auto points = all_points();
  const std::size_t n = points.size();
  rotate_copy = 1;
  select_all();
  script.click_world(1, 0, 0).key("z_enter").value("90").value("90").key("p_nop");
  run_tool(tool_edit_rotate);

  const auto now = all_points();
  ASSERT_EQ(now.size(), 2 * n);
  expect_points_mapped(points, {now.begin(), now.begin() + static_cast<long>(n)},
                       [](const Point3& p) { return p; });
  expect_points_mapped(points, {now.begin() + static_cast<long>(n), now.end()},
                       [](const Point3& p) { return turned(p, PI); });
  EXPECT_EQ(undo_used, 2);
  expect_clean_surface();
  undo_step_back();
  EXPECT_EQ(elements().size(), 2 * n);
  undo_step_back();
  EXPECT_EQ(chunks(), before);
}

TEST_F(EditToolTest, RotateCancelledAtTheAngleOrGivenNoAngleChangesNothing) {
  make_mixed_drawing();
  const auto before = chunks();
  for (const char* angle : {"", "0"}) {
    SCOPED_TRACE(std::string("angle '") + angle + "'");
    pending_command = "nop";
    select_all();
    script.click_world(1, 0, 0).key("z_enter");
    if (*angle)
      script.value(angle);
    else
      script.key("p_nop");
    run_tool(tool_edit_rotate);
    EXPECT_EQ(chunks(), before);
    EXPECT_EQ(undo_used, 0);
    EXPECT_TRUE(nothing_marked());
    expect_clean_surface();
  }
}

TEST_F(EditToolTest, RotateInAnElevationTurnsTheSolidsAboutTheAxisThroughTheCentre) {
  elem_new_line3d(0, 0, 0, 1, 0, 0, 2, 0, 0);
  elem_new_line(0, 0, 0, 1, 0, 2, 0);
  view_type = VIEW_FRONT;
  redraw();
  select_all();
  abs_point(script, "0;0;0");
  script.key("z_enter").value("90").key("p_nop");
  run_tool(tool_edit_rotate);
  // About the axis from the centre one step into the view (+y), by the
  // right-hand rule.
  const auto* l3 = elem_as<Line3dElem>(elements()[0]);
  ASSERT_NE(l3, nullptr);
  EXPECT_NEAR(l3->p1.x, 0, 1e-12);
  EXPECT_NEAR(l3->p1.y, 0, 1e-12);
  EXPECT_NEAR(l3->p1.z, -1, 1e-12);
  EXPECT_NEAR(l3->p2.z, -2, 1e-12);
  EXPECT_NEAR(xform_axis.b.y, 1, 0);
  // Plan elements do not turn in an elevation.
  expect_line(lines()[0], 1, 0, 2, 0);
  EXPECT_EQ(undo_used, 1);
}

TEST_F(EditToolTest, PolarSeriesSpreadsATypedWholeTurnOrStepsByTwoPoints) {
  struct Case {
    const char* name;
    std::vector<const char*> angle;  // a typed angle, or empty for two points
    double step;
  } cases[] = {{"typed 360 over 4", {"360"}, PI / 2}, {"two points 30 degrees apart", {}, PI / 6}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    drawing_free();
    drawing_init();
    undo_record(UNDO_CLEAR, 0);
    pending_command = "nop";
    elem_new_line(0, 0, 0, 1, 0, 2, 0);
    redraw();
    select_all();
    script.value("4");
    abs_point(script, "0;0");
    script.key("z_enter");
    if (!c.angle.empty())
      script.value(c.angle[0]);
    else
      script.click_world(1, 10, 0).click_world(1, 10 * std::cos(PI / 6), 5).key("z_enter");
    run_tool(tool_edit_pseries);
    const auto l = lines();
    ASSERT_EQ(l.size(), 4u);
    for (int k = 0; k < 4; ++k) {
      const double a = k * c.step;
      expect_line(l[static_cast<std::size_t>(k)], std::cos(a), std::sin(a), 2 * std::cos(a), 2 * std::sin(a),
                  1e-9);
    }
    EXPECT_EQ(undo_used, 1);
    expect_clean_surface();
    undo_step_back();
    EXPECT_EQ(lines().size(), 1u);
  }
}

TEST_F(EditToolTest, PolarSeriesOfASolidRisesByTheZOffset) {
  elem_new_line3d(0, 0, 0, 1, 0, 0, 2, 0, 0);
  redraw();
  select_all();
  script.value("3");
  abs_point(script, "0;0");
  script.key("z_enter").value("90").value("0.5");
  run_tool(tool_edit_pseries);
  const auto e = elements();
  ASSERT_EQ(e.size(), 3u);
  for (int k = 0; k < 3; ++k) {
    const auto* l = elem_as<Line3dElem>(e[static_cast<std::size_t>(k)]);
    ASSERT_NE(l, nullptr);
    const double a = k * PI / 6;  // 90 degrees over 3
    EXPECT_NEAR(l->p1.x, std::cos(a), 1e-9);
    EXPECT_NEAR(l->p1.y, std::sin(a), 1e-9);
    EXPECT_NEAR(l->p1.z, 0.5 * k, 1e-12);
    EXPECT_NEAR(l->p2.z, 0.5 * k, 1e-12);
  }
  const auto prompts = ui.calls_starting("prompt ");
  EXPECT_NE(std::find(prompts.begin(), prompts.end(), "prompt Z-Offset:"), prompts.end());
}

TEST_F(EditToolTest, PolarSeriesOutsideThePlanSetsItsOwnVerticalAxis) {
  // Whatever an earlier rotation left as the axis.
  xform_axis.a = Point3{5, 5, 5, 0};
  xform_axis.b = Point3{5, 5, 5, 0};
  elem_new_line3d(0, 0, 0, 1, 0, 0, 2, 0, 0);
  view_type = VIEW_ISO_FRONT_LEFT;
  redraw();
  select_all();
  script.value("4");
  abs_point(script, "0;0;0");
  script.key("z_enter").value("360").value("0");
  run_tool(tool_edit_pseries);
  const auto e = elements();
  ASSERT_EQ(e.size(), 4u);
  for (int k = 0; k < 4; ++k) {
    const auto* l = elem_as<Line3dElem>(e[static_cast<std::size_t>(k)]);
    ASSERT_NE(l, nullptr);
    EXPECT_NEAR(l->p2.x, 2 * std::cos(k * PI / 2), 1e-9);
    EXPECT_NEAR(l->p2.y, 2 * std::sin(k * PI / 2), 1e-9);
    EXPECT_NEAR(l->p2.z, 0, 1e-12);
  }
}

TEST_F(EditToolTest, MirrorAboutOnePointUsesTheHorizontalAxisAndKeepsTextReadable) {
  TextElem t = test_text(1, 1, "Kavro");
  elem_append(t);
  redraw();
  select_all();
  abs_point(script, "0;0");
  abs_point(script, "0;0");
  script.key("z_enter");
  run_tool(tool_edit_mirror);
  const auto* m = elem_as<TextElem>(elements()[0]);
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->alignment, TEXT_RIGHT);
  EXPECT_NEAR(m->pos.x, 1, 1e-12);
  EXPECT_NEAR(m->pos.y, -1, 1e-12);
  EXPECT_NEAR(m->angle, PI, 1e-12);
  EXPECT_EQ(undo_used, 1);
  expect_clean_surface();
}

TEST_F(EditToolTest, MirrorInPlaceOrAsACopy) {
  for (int copy : {0, 1}) {
    SCOPED_TRACE(copy ? "copy" : "in place");
    drawing_free();
    drawing_init();
    undo_record(UNDO_CLEAR, 0);
    pending_command = "nop";
    make_mixed_drawing();
    const auto before = chunks();
    const auto points = all_points();
    const std::size_t n = points.size();
    mirror_copy = copy;
    select_all();
    script.click_world(1, 30, 0).click_world(1, 40, 0).key("z_enter");
    run_tool(tool_edit_mirror);

    const auto now = all_points();
    ASSERT_EQ(now.size(), copy ? 2 * n : n);
    for (std::size_t i = 0; i < n; ++i) {
      std::vector<Point3> mirrored;
      for (const Point3& p : points[i]) mirrored.push_back({p.x, -p.y, p.z, 0});
      EXPECT_EQ(point_set(now[copy ? n + i : i]), point_set(mirrored)) << "element " << i;
      if (copy) {
        EXPECT_EQ(point_set(now[i]), point_set(points[i])) << "original " << i;
      }
    }
    EXPECT_EQ(undo_used, 1);
    EXPECT_TRUE(nothing_marked());
    expect_clean_surface();
    undo_step_back();
    EXPECT_EQ(chunks(), before);
  }
}

TEST_F(EditToolTest, MirrorAboutThreePointsOnOneLineChangesNothing) {
  elem_new_line3d(0, 0, 0, 1, 2, 3, 4, 5, 6);
  mesh_quad(0, 0, 1, 1);
  view_type = VIEW_FRONT;
  redraw();
  const auto before = chunks();
  select_all();
  abs_point(script, "0;0;0");
  abs_point(script, "1;0;0");
  abs_point(script, "2;0;0");
  script.key("z_enter");
  run_tool(tool_edit_mirror);
  EXPECT_EQ(chunks(), before);
  EXPECT_EQ(undo_used, 0);
  EXPECT_TRUE(nothing_marked());
}

TEST_F(EditToolTest, StretchByADragScalesTextHeightsUnlessTold) {
  struct Case {
    int keep_text;
    double height;
  } cases[] = {{0, 5.0}, {1, 2.5}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keep_text);
    drawing_free();
    drawing_init();
    undo_record(UNDO_CLEAR, 0);
    pending_command = "nop";
    elem_append(test_text(3, 3, "Kavro"));
    elem_new_line(0, 0, 0, 1, 1, 2, 1);
    redraw();
    const auto before = chunks();
    select_all();
    abs_point(script, "0;0");
    script.key("z_enter");
    script.click_world(1, 2, -5).click_world(1, 4, -5).key("z_enter");
    run_tool(c.keep_text ? [] { tool_edit_stretch(1); } : [] { tool_edit_stretch(0); });
    const auto* t = elem_as<TextElem>(elements()[0]);
    ASSERT_NE(t, nullptr);
    EXPECT_NEAR(t->height, c.height, 1e-12);
    EXPECT_NEAR(t->pos.x, 6, 1e-12);
    EXPECT_NEAR(t->pos.y, 3, 1e-12);
    expect_line(lines()[0], 2, 1, 4, 1);
    EXPECT_EQ(undo_used, 1);
    EXPECT_TRUE(nothing_marked());
    expect_clean_surface();
    undo_step_back();
    EXPECT_EQ(chunks(), before);
  }
}

TEST_F(EditToolTest, StretchFactorsTypedOrDraggedFromTheFixedPoint) {
  struct Case {
    const char* name;
    bool solid;                      // a 3D line (1, 1, 1) - (2, 3, 4), else the line (1, 1) - (2, 3)
    std::vector<const char*> typed;  // empty: the drag below
    Point3 p1, p2;                   // afterwards
  } cases[] = {
      {"typed, a negative x factor is 1", false, {"-1", "2"}, {1, 2, 0, 0}, {2, 6, 0, 0}},
      {"typed z factor for a solid", true, {"2", "0", "3"}, {2, 1, 3, 0}, {4, 3, 12, 0}},
      // The drag starts at the fixed point's x: that axis keeps its size.
      {"drag from the fixed x", false, {}, {1, 2, 0, 0}, {2, 6, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    drawing_free();
    drawing_init();
    undo_record(UNDO_CLEAR, 0);
    pending_command = "nop";
    if (c.solid)
      elem_new_line3d(0, 0, 0, 1, 1, 1, 2, 3, 4);
    else
      elem_new_line(0, 0, 0, 1, 1, 2, 3);
    redraw();
    select_all();
    abs_point(script, "0;0;0");
    script.key("z_enter");
    if (c.typed.empty()) {
      script.click_world(1, 0, -10).click_world(1, 3, -20).key("z_enter");
    } else {
      for (const char* v : c.typed) script.value(v);
    }
    run_tool([] { tool_edit_stretch(0); });
    const std::vector<Point3> got = points_of(elements()[0]);
    ASSERT_EQ(got.size(), 2u);
    for (int k = 0; k < 2; ++k) {
      const Point3& want = k == 0 ? c.p1 : c.p2;
      EXPECT_NEAR(got[k].x, want.x, 1e-12) << k;
      EXPECT_NEAR(got[k].y, want.y, 1e-12) << k;
      EXPECT_NEAR(got[k].z, want.z, 1e-12) << k;
    }
    EXPECT_EQ(undo_used, 1);
  }
}

TEST(EditFactorTest, StretchFactorRules) {
  struct Case {
    double f, p0, p1, want;
  } cases[] = {{0, 2, 4, 2}, {0, 2, -4, 2}, {1, 3, 2, 0.5},
               {0, 5, 5, 1}, {0, 0, 3, 1},  // starts on the fixed point: no finite ratio
               {2, 2, 2, 1}};
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(edit_stretch_factor(c.f, c.p0, c.p1), c.want);
  for (double bad : {0.0, -1.0, std::nan(""), HUGE_VAL}) EXPECT_EQ(edit_usable_factor(bad), 1.0) << bad;
  EXPECT_EQ(edit_usable_factor(0.25), 0.25);
}

TEST(EditFactorTest, AxisEndOfEachViewAndTheViewsWithACentre) {
  const Point3 a{1, 2, 3, 0};
  struct Case {
    int view;
    bool centre;
    double dx, dy, dz;
  } cases[] = {{VIEW_PLAN, true, 0, 0, 1},        {VIEW_FRONT, true, 0, 1, 0},
               {VIEW_LEFT, true, 1, 0, 0},        {VIEW_RIGHT, true, -1, 0, 0},
               {VIEW_BACK, true, 0, -1, 0},       {VIEW_ISO_FRONT_LEFT, false, 0, 0, 1},
               {VIEW_PERSPECTIVE, false, 0, 0, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.view);
    EXPECT_EQ(edit_view_has_centre(c.view), c.centre);
    const Point3 b = edit_axis_end(c.view, a);
    EXPECT_EQ(b.x - a.x, c.dx);
    EXPECT_EQ(b.y - a.y, c.dy);
    EXPECT_EQ(b.z - a.z, c.dz);
  }
  EXPECT_TRUE(edit_plane_defined({0, 0, 0, 0}, {1, 0, 0, 0}, {0, 1, 0, 0}));
  EXPECT_FALSE(edit_plane_defined({0, 0, 0, 0}, {1, 1, 1, 0}, {2, 2, 2, 0}));
  EXPECT_FALSE(edit_plane_defined({1, 1, 1, 0}, {1, 1, 1, 0}, {0, 1, 0, 0}));
}

}  // namespace
