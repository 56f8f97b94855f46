// The 3D element tools run end to end by scripts: the questions they ask in
// the plan view and in a 3D view, the meshes they append (checked against
// the builders and by their heights), the division clamp, the radius
// restart, and the material tool with its one undo step.

#include <cmath>

#include "building/solid/solid_mesh.h"
#include "display/poly_input.h"
#include "mesh_winding.h"
#include "model/presets.h"
#include "model/settings.h"
#include "model/vec3.h"
#include "solid_tool_fixture.h"

namespace {

// The mesh's vertices and faces against a builder's.
void expect_mesh(const MeshElem* m, const SolidMesh& want, double eps = 1e-9) {
  ASSERT_NE(m, nullptr);
  ASSERT_EQ(m->vertex_count(), want.vertex_count());
  EXPECT_EQ(m->face_sizes, want.face_sizes);
  EXPECT_EQ(m->indices, want.indices);
  for (int k = 0; k < want.vertex_count(); ++k) {
    SCOPED_TRACE(k);
    expect_point3(m->vertices[k], want.vertices[k].x, want.vertices[k].y, want.vertices[k].z, eps);
  }
}

Point3 P(double x, double y, double z) { return Point3{x, y, z, 0}; }

TEST_F(SolidToolTest, LineAsksHeightsOnlyWhenBothEndsLieAtZero) {
  cur_layer = 3;
  cur_pen = 2;
  cur_line_type = 1;
  script.click_world(1, 0, 0).click_world(1, 4, 2).key("z_enter").value("1").value("2.5");
  typed("1;1;0");
  typed("2;2;3");
  script.key("z_enter").key("p_nop");
  run_tool(tool_3d_line);
  expect_clean_surface();
  // In an axonometric view two ends at z 0 still ask.
  view_type = 1;
  redraw();
  typed("0;0;0");
  typed("5;0;0");
  script.key("z_enter").value("4").value("0").key("p_nop");
  run_tool(tool_3d_line);

  const auto lines = all<Line3dElem>();
  ASSERT_EQ(lines.size(), 3u);
  expect_point3(lines[0]->p1, 0, 0, 1);
  expect_point3(lines[0]->p2, 4, 2, 2.5);
  expect_point3(lines[1]->p1, 1, 1, 0);
  expect_point3(lines[1]->p2, 2, 2, 3);
  expect_point3(lines[2]->p1, 0, 0, 4);
  expect_point3(lines[2]->p2, 5, 0, 0);
  EXPECT_EQ(lines[0]->layer, 3);
  EXPECT_EQ(lines[0]->pen, 2);
  EXPECT_EQ(lines[0]->line_type, 1);
  const auto p = prompts();
  EXPECT_EQ(std::vector<std::string>(p.begin(), p.begin() + 6),
            (std::vector<std::string>{
                "prompt Start point:", "prompt Move XYZ/End point:", "prompt Move XYZ/Confirm:",
                "prompt Z - Start point:", "prompt Z - End point:", "prompt Start point:"}));
  EXPECT_EQ(undo_used, 3);
  expect_clean_surface();
}

TEST_F(SolidToolTest, CuboidHeightsByView) {
  // Plan view, corners given backwards, base 1 and a negative height: the
  // corners are ordered and base and top swapped.
  script.click_world(1, 2, 1).click_world(1, 0, 0).key("z_enter").value("1").value("-3").key("p_nop");
  run_tool(tool_3d_cuboid);
  expect_clean_surface();
  // Axonometric view: equal heights ask only the height; different ones
  // nothing.
  view_type = 1;
  redraw();
  typed("0;0;1");
  typed("2;1;1");
  script.key("z_enter").value("2");
  typed("5;5;1");
  typed("6;7;4");
  script.key("z_enter").key("p_nop");
  run_tool(tool_3d_cuboid);

  const auto m = all<MeshElem>();
  ASSERT_EQ(m.size(), 3u);
  expect_mesh(m[0], solid_cuboid(0, 0, 2, 1, -2, 1));
  expect_mesh(m[1], solid_cuboid(0, 0, 2, 1, 1, 3));
  expect_mesh(m[2], solid_cuboid(5, 5, 6, 7, 1, 4));
  for (const MeshElem* e : m) {
    EXPECT_EQ(e->material, "Oak");
    EXPECT_EQ(e->flag, 0);
  }
  EXPECT_EQ(undo_used, 3);
  const auto p = prompts();
  EXPECT_EQ(std::count(p.begin(), p.end(), "prompt Base:"), 1);
  EXPECT_EQ(std::count(p.begin(), p.end(), "prompt Height:"), 2);
  expect_clean_surface();
}

TEST_F(SolidToolTest, PlanPolygonIsClockwiseFromAConvexCornerInTheGuidePen) {
  guide_mode = 1;
  // Counter-clockwise L starting at its reflex corner (1, 1).
  for (Point2 q : std::vector<Point2>{{1, 1}, {0, 1}, {0, 0}, {2, 0}, {2, 2}, {1, 2}, {1, 1}})
    click_confirm(q.x, q.y);
  script.value("0.5").key("p_nop");
  run_tool(tool_3d_polygon);

  const auto m = all<MeshElem>();
  ASSERT_EQ(m.size(), 1u);
  std::vector<Point3> cw = {P(1, 2, 0.5), P(2, 2, 0.5), P(2, 0, 0.5),
                            P(0, 0, 0.5), P(0, 1, 0.5), P(1, 1, 0.5)};
  expect_mesh(m[0], solid_flat_polygon(cw));
  EXPECT_EQ(m[0]->flag, 1);
  EXPECT_EQ(m[0]->pen, PEN_GUIDE);
  EXPECT_TRUE(poly_input.points.empty());
  EXPECT_EQ(undo_used, 1);
  expect_clean_surface();
}

TEST_F(SolidToolTest, PolygonInA3DViewKeepsItsPoints) {
  view_type = 3;
  for (const char* q : {"0;0;0", "0;0;2", "3;0;2", "0;0;0"}) {
    typed(q);
    script.key("z_enter");
  }
  script.key("p_nop");
  testing::internal::CaptureStdout();
  run_tool(tool_3d_polygon);
  testing::internal::GetCapturedStdout();
  const auto m = all<MeshElem>();
  ASSERT_EQ(m.size(), 1u);
  expect_mesh(m[0], solid_flat_polygon({P(0, 0, 0), P(0, 0, 2), P(3, 0, 2)}));
  EXPECT_EQ(m[0]->pen, cur_pen);
}

TEST_F(SolidToolTest, PlanPrismWithANegativeHeightHangsBelowItsBaseWoundOutward) {
  for (Point2 q : std::vector<Point2>{{0, 0}, {0, 1}, {1, 1}, {1, 0}, {0, 0}}) click_confirm(q.x, q.y);
  script.value("0").value("-1").key("p_nop");
  testing::internal::CaptureStdout();
  run_tool(tool_3d_prism);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out.substr(0, 2), "5\n");

  const auto m = all<MeshElem>();
  ASSERT_EQ(m.size(), 1u);
  const std::vector<Point3> bottom = {P(0, 0, 0), P(0, 1, 0), P(1, 1, 0), P(1, 0, 0)};
  std::vector<Point3> top = bottom;
  for (Point3& q : top) q.z = -1;
  expect_mesh(m[0], solid_prism(bottom, top));
  // The top stays below the base, and the faces point outward: the base
  // at z 0 is the solid's upper face, its normal pointing down into it.
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(m[0]->vertices[k].z, 0.0);
    EXPECT_EQ(m[0]->vertices[4 + k].z, -1.0);
  }
  expect_edges_paired(*m[0]);
  expect_faces_inward(*m[0], true);
}

// The prism in a 3D view over a square in the plane y = 0 whose normal
// (p1 - p0) x (p2 - p1) points to +y: a positive height builds towards -y,
// a negative one towards +y (the polygon reversed), and either way the
// solid is closed and wound like the others.
TEST_F(SolidToolTest, PrismInA3DViewBuildsAgainstTheNormal) {
  view_type = 1;
  const std::vector<std::pair<const char*, double>> rows = {{"1.5", -1.5}, {"-2", 2}};
  for (const auto& r : rows) {
    for (const char* q : {"0;0;0", "0;0;1", "1;0;1", "1;0;0", "0;0;0"}) {
      typed(q);
      script.key("z_enter");
    }
    script.value(r.first);
  }
  script.key("p_nop");
  testing::internal::CaptureStdout();
  run_tool(tool_3d_prism);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "1\n1\n5\n1\n1\n5\n999\n");

  const auto m = all<MeshElem>();
  ASSERT_EQ(m.size(), rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(i);
    ASSERT_EQ(m[i]->vertex_count(), 8);
    ASSERT_EQ(m[i]->face_count(), 6);
    for (int k = 0; k < 4; ++k) {
      EXPECT_NEAR(m[i]->vertices[k].y, 0.0, 1e-12);
      EXPECT_NEAR(m[i]->vertices[4 + k].y, rows[i].second, 1e-9);
      EXPECT_NEAR(m[i]->vertices[4 + k].x, m[i]->vertices[k].x, 1e-12);
      EXPECT_NEAR(m[i]->vertices[4 + k].z, m[i]->vertices[k].z, 1e-12);
    }
    // The base face's normal points into the solid, towards the top.
    const Point3* v = m[i]->vertices.data();
    const int32_t* f = m[i]->indices.data() + 16;  // after the four side quads
    const Point3 n = vec3_cross(vec3_sub(v[f[1]], v[f[0]]), vec3_sub(v[f[2]], v[f[1]]));
    EXPECT_GT(n.y * rows[i].second, 0.0);
  }
}

TEST_F(SolidToolTest, PlanRotationalSolidsRadiusRestartAndDivisionClamp) {
  // Tube: a zero radius starts again at "Center:"; then radius by a point,
  // base 1, height 2, 2 divisions (3).
  click_confirm(1, 1);
  script.value("0");
  click_confirm(1, 1);
  click_confirm(4, 5);
  script.value("1").value("2").value("2").key("p_nop");
  run_tool(tool_3d_tube);
  // Cone: typed radius 2, base asked, height 3, 500 divisions (120).
  click_confirm(0, 0);
  script.value("2").value("0").value("3").value("500").key("p_nop");
  run_tool(tool_3d_cone);
  // Cut cones: top radius 0 is a cone; 0.25 a frustum.
  click_confirm(0, 0);
  script.value("2").value("0").value("0").value("1").value("5");
  click_confirm(0, 0);
  script.value("2").value("0.25").value("0").value("1").value("5").key("p_nop");
  run_tool(tool_3d_cutcone);

  const auto m = all<MeshElem>();
  ASSERT_EQ(m.size(), 4u);
  expect_mesh(m[0], solid_frustum(P(1, 1, 1), P(1, 1, 3), 5, 5, 3));
  expect_mesh(m[1], solid_frustum(P(0, 0, 0), P(0, 0, 3), 2, 0, 120));
  expect_mesh(m[2], solid_frustum(P(0, 0, 0), P(0, 0, 1), 2, 0, 5));
  expect_mesh(m[3], solid_frustum(P(0, 0, 0), P(0, 0, 1), 2, 0.25, 5));
  EXPECT_EQ(m[2]->vertex_count(), 6);
  EXPECT_EQ(m[3]->vertex_count(), 10);
  EXPECT_EQ(solid_top_radius, 0.25);
  EXPECT_EQ(undo_used, 4);
  const auto p = prompts();
  EXPECT_EQ(std::count(p.begin(), p.end(), "prompt Center:"), 8);
  EXPECT_EQ(std::count(p.begin(), p.end(), "prompt Top Radius:"), 2);
  expect_clean_surface();
}

TEST_F(SolidToolTest, RotationalSolidsInA3DViewAskOnceThenRunBetweenPoints) {
  view_type = 1;
  script.value("0.5").value("6");
  typed("0;0;0");
  typed("3;0;0");
  script.key("z_enter");
  typed("1;1;1");
  typed("1;1;4");
  script.key("z_enter").key("p_nop");
  run_tool(tool_3d_cone);
  script.value("1").value("0.5").value("1");
  typed("0;0;0");
  typed("0;2;0");
  script.key("z_enter").key("p_nop");
  run_tool(tool_3d_cutcone);

  const auto m = all<MeshElem>();
  ASSERT_EQ(m.size(), 3u);
  expect_mesh(m[0], solid_frustum(P(0, 0, 0), P(3, 0, 0), 0.5, 0, 6));
  expect_mesh(m[1], solid_frustum(P(1, 1, 1), P(1, 1, 4), 0.5, 0, 6));
  expect_mesh(m[2], solid_frustum(P(0, 0, 0), P(0, 2, 0), 1, 0.5, 3));
  const auto p = prompts();
  EXPECT_EQ(std::count(p.begin(), p.end(), "prompt Radius:"), 1);
  EXPECT_EQ(std::count(p.begin(), p.end(), "prompt Number of divisions:"), 2);
  EXPECT_EQ(std::count(p.begin(), p.end(), "prompt Base Radius:"), 1);
}

TEST_F(SolidToolTest, SphereRestartsOnAZeroRadiusAndAsksItsBase) {
  click_confirm(2, 2);
  script.value("0");
  click_confirm(2, 2);
  click_confirm(2, 5);
  script.value("1.5");
  typed("0;0;2");
  script.key("z_enter").value("1").key("p_nop");
  run_tool(tool_3d_sphere);

  const auto m = all<MeshElem>();
  ASSERT_EQ(m.size(), 2u);
  expect_mesh(m[0], solid_sphere(P(2, 2, 1.5), 3));
  expect_mesh(m[1], solid_sphere(P(0, 0, 2), 1));
  const auto p = prompts();
  EXPECT_EQ(std::count(p.begin(), p.end(), "prompt Base:"), 1);
  expect_clean_surface();
}

TEST_F(SolidToolTest, CancelEndsTheToolKeepingEarlierSolids) {
  click_confirm(0, 0);
  script.value("1").value("0").value("1").value("8");
  click_confirm(5, 5);
  script.value("1").key("p_nop");  // at "Base:"
  run_tool(tool_3d_tube);
  EXPECT_EQ(all<MeshElem>().size(), 1u);
  EXPECT_EQ(undo_used, 1);
}

TEST_F(SolidToolTest, MaterialGoesIntoSelectedMeshesAndWallsAsOneUndoStep) {
  elem_new_mesh(0, 1, 0, 0, 0, nullptr, nullptr, nullptr, "Pine", 0);
  axis_wall(0, 0, 4, 0);
  elem_new_line(0, 1, 0, 0, 1, 4, 1);
  const std::vector<std::string> before = drawing_state();
  // A name longer than the element field is cut to it.
  const std::string long_name(60, 'm');
  material_preset.name = long_name;
  drawing_modified = 0;
  select_window_of(-5, -5, 10, 10);
  run_tool(tool_3d_material);

  ASSERT_EQ(all<MeshElem>().size(), 1u);
  const std::string cut(MATERIAL_NAME_LEN - 1, 'm');
  EXPECT_EQ(all<MeshElem>()[0]->material.view(), cut);
  EXPECT_EQ(walls()[0]->material.view(), cut);
  EXPECT_EQ(drawing_modified, 1);
  for (ElemHeader* e : elements()) EXPECT_EQ(e->mark, 0);
  EXPECT_EQ(undo_used, 1);
  undo_step_back();
  EXPECT_EQ(drawing_state(), before);
  EXPECT_EQ(all<MeshElem>()[0]->material, "Pine");
  expect_clean_surface();
}

TEST_F(SolidToolTest, MaterialWithACancelledSelectionRecordsNothing) {
  axis_wall(0, 0, 4, 0);
  script.key("p_nop");
  run_tool(tool_3d_material);
  EXPECT_EQ(undo_used, 0);
  EXPECT_EQ(walls()[0]->material, "Default");
}

}  // namespace
