// The generators run end to end by scripts: the values they ask once and
// in which order, what they append (checked against the builders), the
// pen, material and layer of the results, one undo step per part, the one
// group of a stairway and of a window frame, and the ways the tools end.

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "building/solid/archgen_mesh.h"
#include "building/unit_tools.h"
#include "display/poly_input.h"
#include "mesh_winding.h"
#include "model/geom.h"
#include "model/layers.h"
#include "model/presets.h"
#include "solid_tool_fixture.h"

namespace {

class ArchgenToolTest : public SolidToolTest {
 protected:
  void values(const std::vector<const char*>& v) {
    for (const char* s : v) script.value(s);
  }
  // The prompts shown so far without the "prompt " in front.
  std::vector<std::string> shown() const {
    std::vector<std::string> out;
    for (const std::string& p : prompts()) out.push_back(p.substr(7));
    return out;
  }
  static void expect_meshes_closed_and_inward() {
    for (const MeshElem* m : all<MeshElem>()) {
      expect_edges_paired(*m);
      expect_faces_inward(*m, false);
    }
  }
};

void expect_mesh(const MeshElem* m, const SolidMesh& want) {
  ASSERT_NE(m, nullptr);
  ASSERT_EQ(m->vertex_count(), want.vertex_count());
  EXPECT_EQ(m->face_sizes, want.face_sizes);
  EXPECT_EQ(m->indices, want.indices);
  for (int k = 0; k < want.vertex_count(); ++k) {
    SCOPED_TRACE(k);
    expect_point3(m->vertices[k], want.vertices[k].x, want.vertices[k].y, want.vertices[k].z);
  }
}

Point2 Q(double x, double y) { return {x, y, 0}; }

TEST_F(ArchgenToolTest, GableWallsAskTheirHeightsOnceAndRefuseAFlatRectangle) {
  guide_mode = 1;
  cur_layer = 2;
  cur_line_type = 1;
  values({"0", "2.5", "1.5"});
  // The second rectangle is flat: the corners are asked again.
  for (auto [first, second] : {std::pair{"0;0;0", "6;4;0"}, {"1;1;0", "3;1;0"}, {"4;6;0", "0;0;0"}}) {
    typed(first);
    typed(second);
    script.key("z_enter");
  }
  script.key("p_nop");
  run_tool(tool_unit_gablewall);

  EXPECT_EQ(errors(), (std::vector<std::string>{"error Wallthickness is not defined"}));
  const auto w = walls();
  ASSERT_EQ(w.size(), 2u);
  expect_plan(w[0], {Q(0, 0), Q(6, 0), Q(6, 4), Q(0, 4)});
  expect_plan(w[1], {Q(4, 0), Q(4, 6), Q(0, 6), Q(0, 0)});
  expect_point3(w[0]->gable_a, 3, 0, 4);
  expect_point3(w[0]->gable_b, 3, 4, 4);
  expect_point3(w[1]->gable_a, 4, 3, 4);
  expect_point3(w[1]->gable_b, 0, 3, 4);
  for (const WallElem* e : w) {
    EXPECT_EQ(e->gable, 1);
    for (int k = 0; k < 4; ++k) {
      EXPECT_EQ(e->corner[k].z, 0.0);
      EXPECT_EQ(e->corner[k + 4].z, 2.5);
    }
    EXPECT_EQ(e->segments.size(), 4u);
    EXPECT_TRUE(e->openings.empty());
    // Unlike other walls: the current pen (here the guide pen), line type
    // and material, not the wall preset's.
    EXPECT_EQ(e->pen, PEN_GUIDE);
    EXPECT_EQ(e->line_type, 1);
    EXPECT_EQ(e->layer, 2);
    EXPECT_EQ(e->material, "Oak");
  }
  const auto p = shown();
  ASSERT_GE(p.size(), 4u);
  EXPECT_EQ(
      std::vector<std::string>(p.begin(), p.begin() + 4),
      (std::vector<std::string>{"Base:", "Height of wall:", "Height of gable wall:", "1st Corner point:"}));
  EXPECT_EQ(undo_used, 2);
  expect_clean_surface();
}

TEST_F(ArchgenToolTest, SingleSolidsFromTheirValuesInTheCurrentPenNeverTheGuidePen) {
  struct Case {
    const char* name;
    void (*tool)();
    std::vector<const char*> values;
    std::vector<std::string> asked;  // the value prompts, then the first point's
    std::function<void()> points;
    SolidMesh want;
    int v, f;
  };
  const std::vector<Case> cases = {
      {"round pillar",
       tool_unit_rpillar,
       {"0.4", "0.5", "3"},
       {"Diameter:", "Base:", "Height:", "Position:"},
       [this] {
         typed("1;1;0");
         script.key("z_enter");
       },
       archgen_round_pillar(1, 1, 0.2, 0.5, 3.5),
       24,
       14},
      {"pillar",
       tool_unit_pillar,
       {"0.3", "0.2", "0", "3"},
       {"Width:", "Thickness:", "Base:", "Height:", "Position:"},
       [this] {
         typed("2;1;0");
         script.key("z_enter");
       },
       archgen_pillar(2, 1, 0.3, 0.2, 0, 3),
       8,
       6},
      {"beam",
       tool_unit_beam,
       {"0.2", "2.5", "0.3"},
       {"Width:", "Base:", "Height:", "Start point:"},
       [this] {
         typed("0;0;0");
         typed("4;3;0");
         script.key("z_enter");
       },
       archgen_beam(Q(0, 0), Q(4, 3), 0.2, 2.5, 2.8),
       8,
       6},
      {"ceiling over a counter-clockwise square",
       tool_unit_ceiling,
       {"2.75", "0.2"},
       {"Base:", "Height:", "Polygon point:"},
       [this] {
         for (Point2 q : {Q(0, 0), Q(4, 0), Q(4, 4), Q(0, 4), Q(0, 0)}) click_confirm(q.x, q.y);
       },
       archgen_ceiling({Q(0, 0), Q(4, 0), Q(4, 4), Q(0, 4)}, 2.75, 2.95),
       8,
       6},
  };
  guide_mode = 1;
  cur_layer = 4;
  cur_pen = 5;
  cur_line_type = 2;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ui.calls.clear();
    values(c.values);
    c.points();
    script.key("p_nop");
    run_tool(c.tool);
    expect_clean_surface();

    const auto m = all<MeshElem>();
    ASSERT_EQ(m.size(), 1u);
    expect_mesh(m[0], c.want);
    EXPECT_EQ(m[0]->vertex_count(), c.v);
    EXPECT_EQ(m[0]->face_count(), c.f);
    EXPECT_EQ(m[0]->pen, 5);
    EXPECT_EQ(m[0]->line_type, 2);
    EXPECT_EQ(m[0]->layer, 4);
    EXPECT_EQ(m[0]->material, "Oak");
    EXPECT_EQ(m[0]->flag, 0);
    EXPECT_EQ(m[0]->group, 0);
    expect_meshes_closed_and_inward();
    const auto p = shown();
    ASSERT_GE(p.size(), c.asked.size());
    EXPECT_EQ(std::vector<std::string>(p.begin(), p.begin() + c.asked.size()), c.asked);
    EXPECT_TRUE(poly_input.points.empty());

    // One undo step takes it away.
    undo_step_back();
    EXPECT_TRUE(elements().empty());
    redraw();
  }
}

TEST_F(ArchgenToolTest, RubberBandsShowThePartAtThePointerThenAtTheEnteredPoint) {
  struct Case {
    const char* name;
    void (*tool)();
    std::vector<const char*> values;
    Point2 start;  // clicked before the band shows, unless the band is the first step's
    bool two_points;
    Point2 pointer;
    std::vector<Point2> on, off;
  };
  const std::vector<Case> cases = {
      {"gable wall",
       tool_unit_gablewall,
       {"0", "2.5", "1.5"},
       Q(0, 0),
       true,
       Q(6, 4),
       {Q(3, 0), Q(6, 2), Q(3, 4), Q(0, 2)},
       {Q(3, 2)}},
      {"round pillar",
       tool_unit_rpillar,
       {"4", "0", "3"},
       {},
       false,
       Q(1, 1),
       {Q(3, 1), Q(1, 3), Q(-1, 1), Q(1, -1)},
       {Q(1, 1)}},
      {"pillar",
       tool_unit_pillar,
       {"4", "2", "0", "3"},
       {},
       false,
       Q(1, 1),
       {Q(1, 0), Q(3, 1), Q(1, 2), Q(-1, 1)},
       {Q(1, 1)}},
      {"beam",
       tool_unit_beam,
       {"2", "0", "3"},
       Q(0, 0),
       true,
       Q(6, 0),
       {Q(3, -1), Q(3, 1), Q(6, 0.5), Q(0, 0.5)},
       {Q(3, 0)}},
      {"stairway",
       tool_unit_stairway,
       {"2", "0.2", "0", "10", "0", "1.75"},
       Q(0, 0),
       true,
       Q(6, 0),
       {Q(3, -1), Q(3, 1), Q(3, 0), Q(6, 0.5), Q(0, 0.5)},
       {Q(3, 0.5)}},
  };
  // Draws the waiting step's rubber band for a pointer at (x, y), keeps the
  // pixels it inverted and takes it off again.
  auto look_at = [](std::vector<bool>& out, double x, double y) {
    return [&out, x, y] {
      InputRequest* r = active_request;
      ASSERT_NE(r->preview[r->step], nullptr);
      const std::vector<uint32_t> before = view_pixels(0);
      r->preview[r->step](r, x, y);
      const std::vector<uint32_t> now = view_pixels(0);
      r->preview[r->step](r, x, y);
      EXPECT_EQ(view_pixels(0), before);
      out.resize(now.size());
      for (std::size_t i = 0; i < now.size(); ++i) out[i] = now[i] != before[i];
    };
  };
  // Whether a pixel within one of the point's was inverted.
  auto near = [](const std::vector<bool>& band, Point2 p) {
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        if (band[static_cast<std::size_t>(py(p.y) + dy) * 600 + static_cast<std::size_t>(px(p.x) + dx)])
          return true;
    return false;
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<bool> moving, confirming;
    rows()["z_look"] = look_at(moving, c.pointer.x, c.pointer.y);
    // At the confirm step the band stays at the entered point wherever the
    // pointer goes.
    rows()["z_look2"] = look_at(confirming, -40, -30);
    values(c.values);
    if (c.two_points) script.click_world(1, c.start.x, c.start.y);
    script.key("z_look").click_world(1, c.pointer.x, c.pointer.y).key("z_look2").key("z_enter").key("p_nop");
    run_tool(c.tool);
    ASSERT_FALSE(moving.empty());
    for (Point2 p : c.on) EXPECT_TRUE(near(moving, p)) << p.x << ", " << p.y;
    for (Point2 p : c.off) EXPECT_FALSE(near(moving, p)) << p.x << ", " << p.y;
    EXPECT_EQ(confirming, moving);
    expect_clean_surface();
    elem_free_all();
    redraw();
  }
}

TEST_F(ArchgenToolTest, ACancelAtAValueEndsTheToolWithNothingMade) {
  struct Case {
    const char* name;
    void (*tool)();
    std::vector<const char*> values;  // before the cancel
    std::string last;                 // the prompt cancelled
  };
  const std::vector<Case> cases = {
      {"gable wall", tool_unit_gablewall, {"0", "2.5"}, "Height of gable wall:"},
      {"round pillar", tool_unit_rpillar, {"0.4"}, "Base:"},
      {"pillar", tool_unit_pillar, {"0.3", "0.2", "0"}, "Height:"},
      {"beam", tool_unit_beam, {}, "Width:"},
      {"stairway", tool_unit_stairway, {"1", "0.2", "0.03"}, "Number of steps:"},
      {"window frame", tool_unit_profile, {"1"}, "Number of transoms:"},
      {"ceiling", tool_unit_ceiling, {"2.75"}, "Height:"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ui.calls.clear();
    values(c.values);
    script.key("p_nop");
    run_tool(c.tool);
    EXPECT_TRUE(elements().empty());
    EXPECT_EQ(shown().back(), c.last);
    EXPECT_EQ(shown().size(), c.values.size() + 1);
    EXPECT_EQ(undo_used, 0);
  }
}

TEST_F(ArchgenToolTest, RoundPillarWithoutSizeAsksThePositionAgain) {
  values({"0.000002", "0", "3"});
  for (const char* at : {"1;1;0", "2;2;0"}) {
    typed(at);
    script.key("z_enter");
  }
  script.key("p_nop");
  run_tool(tool_unit_rpillar);
  EXPECT_TRUE(elements().empty());
  const auto p = shown();
  EXPECT_EQ(std::count(p.begin(), p.end(), "Position:"), 3);
  EXPECT_EQ(undo_used, 0);
  expect_clean_surface();
}

TEST_F(ArchgenToolTest, StairwayIsItsTreadsAndSymbolInOneGroupAndOneUndoStep) {
  cur_pen = 3;
  values({"1", "0.2", "0.03", "10", "0", "1.75"});
  for (const char* end : {"0;0;0", "3;0;0"}) typed(end);
  script.key("z_enter");
  for (const char* end : {"0;5;0", "3;5;0"}) typed(end);
  script.key("z_enter").key("p_nop");
  run_tool(tool_unit_stairway);
  expect_clean_surface();

  const auto all_elems = elements();
  ASSERT_EQ(all_elems.size(), 30u);
  const ArchgenStair st{1.0, 0.2, 0.03, 10, 0.0, 1.75};
  const auto treads = archgen_stair_steps(Q(0, 0), Q(3, 0), st);
  for (int k = 0; k < 10; ++k) {
    SCOPED_TRACE(k);
    const auto* m = elem_as<MeshElem>(all_elems[k]);
    expect_mesh(m, treads[k]);
    EXPECT_EQ(m->material, "Oak");
  }
  const auto* circle = elem_as<ArcElem>(all_elems[10]);
  ASSERT_NE(circle, nullptr);
  EXPECT_EQ(circle->centre.x, 0.0);
  EXPECT_EQ(circle->centre.y, 0.0);
  EXPECT_EQ(circle->radius_x, 0.05);
  EXPECT_EQ(circle->radius_y, 0.05);
  EXPECT_EQ(circle->sweep, GEOM_TWO_PI);
  struct L {
    double x1, y1, x2, y2;
  };
  const L lines[4] = {{0, 0, 3, 0}, {3, 0, 2.9, 0.1}, {3, 0, 2.9, -0.1}, {2.9, 0.1, 2.9, -0.1}};
  for (int k = 0; k < 4; ++k) {
    SCOPED_TRACE(k);
    const auto* l = elem_as<LineElem>(all_elems[11 + k]);
    ASSERT_NE(l, nullptr);
    EXPECT_NEAR(l->p1.x, lines[k].x1, 1e-12);
    EXPECT_NEAR(l->p1.y, lines[k].y1, 1e-12);
    EXPECT_NEAR(l->p2.x, lines[k].x2, 1e-12);
    EXPECT_NEAR(l->p2.y, lines[k].y2, 1e-12);
  }
  for (const ElemHeader* e : all_elems) {
    EXPECT_EQ(e->pen, 3);
    EXPECT_EQ(e->layer, 0);
  }
  // Each stairway is one group of its own.
  const uint16_t first = all_elems[0]->group, second = all_elems[15]->group;
  EXPECT_NE(first, 0);
  EXPECT_NE(second, 0);
  EXPECT_NE(first, second);
  for (int k = 0; k < 30; ++k) EXPECT_EQ(all_elems[k]->group, k < 15 ? first : second) << k;
  expect_meshes_closed_and_inward();

  // One undo step per stairway, all 15 elements each.
  EXPECT_EQ(undo_used, 2);
  undo_step_back();
  ASSERT_EQ(elements().size(), 15u);
  for (const ElemHeader* e : elements()) EXPECT_EQ(e->group, first);
  undo_step_back();
  EXPECT_TRUE(elements().empty());
  undo_step_forward();
  EXPECT_EQ(elements().size(), 15u);
}

TEST_F(ArchgenToolTest, StairwayWithoutStepsIsItsSymbolAloneAndTooManyStepsAreRefused) {
  values({"1", "0.2", "0.03", "0", "0", "1.75"});
  for (const char* end : {"0;0;0", "3;0;0"}) typed(end);
  script.key("z_enter").key("p_nop");
  run_tool(tool_unit_stairway);
  ASSERT_EQ(elements().size(), 5u);
  EXPECT_TRUE(all<MeshElem>().empty());
  for (const ElemHeader* e : elements()) EXPECT_NE(e->group, 0);
  EXPECT_EQ(undo_used, 1);
  expect_clean_surface();

  ui.calls.clear();
  values({"1", "0.2", "0.03", "100001"});
  run_tool(tool_unit_stairway);
  EXPECT_EQ(errors(), (std::vector<std::string>{"error Too many parts!"}));
  EXPECT_EQ(shown().back(), "Number of steps:");
  EXPECT_EQ(elements().size(), 5u);
}

class ArchgenFrameTest : public ArchgenToolTest {
 protected:
  void SetUp() override {
    ArchgenToolTest::SetUp();
    // A wall along x, 0.3 thick, with an opening from 1 to 2.2 (sill 1,
    // head 2) and a stop 0.05 wide and 0.1 deep.
    wall = with_opening(axis_wall(0, 0, 5, 0), 1, 2.2, 0.05, 0.1);
    undo_record(UNDO_CLEAR, 0);
    redraw();
  }
  WallElem* wall = nullptr;
};

TEST_F(ArchgenFrameTest, OneMullionAndOneTransomMakeThirteenBoxesInOneGroupAndOneUndoStep) {
  ASSERT_NE(wall, nullptr);
  const auto before = drawing_state();
  values({"1", "1"});
  script.click_world(1, 1.6, 0).key("p_nop");
  run_tool(tool_unit_profile);
  expect_clean_surface();

  const auto m = all<MeshElem>();
  ASSERT_EQ(m.size(), 13u);
  const auto want = archgen_window_frame(wall->openings[0], 1, 1, 0.08);
  int glass = 0;
  for (std::size_t k = 0; k < m.size(); ++k) {
    SCOPED_TRACE(k);
    expect_mesh(m[k], want[k].mesh);
    EXPECT_EQ(m[k]->material, want[k].glazing ? "Glas" : "Oak");
    glass += m[k]->material == "Glas";
    EXPECT_EQ(m[k]->group, m[0]->group);
  }
  EXPECT_EQ(glass, 4);
  EXPECT_NE(m[0]->group, 0);
  EXPECT_EQ(walls()[0]->group, 0);
  expect_meshes_closed_and_inward();
  EXPECT_EQ(shown(), (std::vector<std::string>{
                         "Number of monials:", "Number of transoms:", "Select Opening:", "Select Opening:"}));
  EXPECT_EQ(undo_used, 1);
  undo_step_back();
  EXPECT_EQ(drawing_state(), before);
}

TEST_F(ArchgenFrameTest, TheProfileSizeAndGlazingMaterialAreTheCurrentOnes) {
  profile_size = 0.1;
  glazing_material = "Float";
  values({"0", "0"});
  script.click_world(1, 1.6, 0).key("p_nop");
  run_tool(tool_unit_profile);
  const auto m = all<MeshElem>();
  const auto want = archgen_window_frame(wall->openings[0], 0, 0, 0.1);
  ASSERT_EQ(m.size(), want.size());
  for (std::size_t k = 0; k < m.size(); ++k) {
    expect_mesh(m[k], want[k].mesh);
    EXPECT_EQ(m[k]->material, want[k].glazing ? "Float" : "Oak") << k;
  }
}

TEST_F(ArchgenFrameTest, NegativeOrTooManyCountsEndTheToolBeforeAnyPick) {
  struct Case {
    std::vector<const char*> values;
    std::vector<std::string> errors;
  };
  const std::vector<Case> cases = {
      {{"-1"}, {}},
      {{"2", "-1"}, {}},
      {{"50000", "0"}, {"error Too many parts!"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.values.size());
    ui.calls.clear();
    values(c.values);
    run_tool(tool_unit_profile);
    EXPECT_EQ(errors(), c.errors);
    EXPECT_EQ(shown().size(), c.values.size());
    EXPECT_TRUE(all<MeshElem>().empty());
  }
}

}  // namespace
