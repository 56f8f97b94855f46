// The chain tools end to end: chains point by point in a held or asked
// direction, chains through walls, points added to and taken from a chain;
// what they store, one undo step per chain or per point, and a view with
// nothing of the cursor, the rubber bands or the highlight left behind.

#include <cmath>
#include <memory>

#include "dim_tool_fixture.h"
#include "model/geom.h"
#include "model/settings.h"
#include "tools/text_tools.h"

namespace {

using Strings = std::vector<std::string>;

void dim_x() { tool_dim_dim(0.0, 0); }
void dim_y() { tool_dim_dim(HALF_PI, 0); }
void dim_asked() { tool_dim_dim(0.0, 1); }
void dim_auto() { tool_dim_auto(); }
void dim_plus() { tool_dim_plus(); }
void dim_minus() { tool_dim_minus(); }

class DimChainTest : public DimToolTest {
 protected:
  // Position, then each measuring point, each confirmed with Enter.
  void points(std::initializer_list<Point2> ps) {
    for (const Point2& p : ps) script.click_world(1, p.x, p.y).key("z_enter");
  }
};

TEST_F(DimChainTest, HorizontalChainIsOneUndoStepWithTheCurrentStyle) {
  cur_layer = 4;
  dim_preset.chain_pen = 2;
  dim_preset.chain_line_type = 3;
  dim_preset.figure_pen = 5;
  dim_preset.figure_size = 3.5;
  dim_preset.display_format = 2;
  dim_preset.end_mark = DIM_MARK_ARROW;
  points({{0, -1}, {0, 0}, {3, 0}, {1, 0}});  // the points in any order
  script.key("p_nop");
  run_tool(dim_x);

  ASSERT_EQ(dims().size(), 1u);
  const DimElem* d = dims()[0];
  EXPECT_EQ(d->dim_kind, DIM_CHAIN);
  EXPECT_EQ(d->layer, 4);
  EXPECT_EQ(d->pen, 2);
  EXPECT_EQ(d->line_type, 3);
  EXPECT_EQ(d->figure_pen, 5);
  EXPECT_EQ(d->figure_size, 3.5);
  EXPECT_EQ(d->format, 2);
  EXPECT_EQ(d->end_mark, DIM_MARK_ARROW);
  EXPECT_EQ(d->font, "Simpel");
  EXPECT_EQ(d->direction, 0.0);
  EXPECT_EQ(d->mark, 0);
  ASSERT_EQ(d->points.size(), 3u);
  const double xs[] = {0, 1, 3}, lengths[] = {0, 1, 2};
  for (int k = 0; k < 3; ++k) {
    expect_point(d->points[k].line_point, xs[k], -1);
    expect_point(d->points[k].measured, xs[k], 0);
    EXPECT_NEAR(d->points[k].segment_length, lengths[k], 1e-12);
  }
  EXPECT_EQ(prompts(ui),
            (Strings{"prompt Position of dimension:", "prompt Move/Confirm:", "prompt Measuring point:",
                     "prompt Move/Confirm:", "prompt Measuring point:", "prompt Move/Confirm:",
                     "prompt Measuring point:", "prompt Move/Confirm:", "prompt Measuring point:"}));
  expect_clean_surface();

  EXPECT_EQ(undo_used, 1);
  undo_step_back();
  EXPECT_TRUE(elements().empty());
}

TEST_F(DimChainTest, DirectionsAndTheLinkSetting) {
  struct Case {
    const char* name;
    void (*tool)();
    const char* typed_angle;  // degrees, for the asked direction
    int link;
    double direction;
    Point2 position, point, on_line;
  } cases[] = {
      {"vertical", dim_y, nullptr, 1, HALF_PI, {-2, 0}, {3, 4}, {-2, 4}},
      {"unlinked", dim_x, nullptr, 0, 0.0, {0, -1}, {3, 4}, {3, -1}},
      {"asked 45", dim_asked, "45", 1, GEOM_PI / 4, {0, 0}, {2, 0}, {1, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    drawing_free();
    drawing_init();
    undo_record(UNDO_CLEAR, 0);
    redraw();
    dim_settings.link = c.link;
    if (c.typed_angle) script.value(c.typed_angle);
    points({c.position, c.point});
    script.key("p_nop");
    run_tool(c.tool);
    ASSERT_EQ(dims().size(), 1u);
    const DimElem* d = dims()[0];
    EXPECT_NEAR(d->direction, c.direction, 1e-12);
    ASSERT_EQ(d->points.size(), 1u) << "one point makes a chain of one entry";
    expect_point(d->points[0].line_point, c.on_line.x, c.on_line.y, 1e-9);
    // Unlinked, the measured point lies on the dimension line itself.
    const Point2 m = c.link ? c.point : c.on_line;
    expect_point(d->points[0].measured, m.x, m.y, 1e-9);
    EXPECT_EQ(undo_used, 1);
    expect_clean_surface();
  }
}

TEST_F(DimChainTest, PointsTooCloseGiveOneEntryAndNoPointMakesNothing) {
  points({{0, -1}, {2, 0}, {2.00005, 3}});
  script.key("p_nop");
  run_tool(dim_x);
  ASSERT_EQ(dims().size(), 1u);
  EXPECT_EQ(dims()[0]->points.size(), 1u);

  // Cancelled at the direction, at the position, or before any point.
  for (auto script_of :
       {+[](ScriptedWait& s) { s.key("p_nop"); },
        +[](ScriptedWait& s) { s.click_world(1, 0, 0).key("p_nop"); },
        +[](ScriptedWait& s) { s.value("0").click_world(1, 0, 0).key("z_enter").key("b_line_x"); }}) {
    script_of(script);
    run_tool(dim_asked);
  }
  EXPECT_EQ(dims().size(), 1u);
  EXPECT_EQ(undo_used, 1);
  EXPECT_EQ(pending_command, "b_line_x");
  expect_clean_surface();
}

TEST_F(DimChainTest, TheNinetyNinthPointIsTheLast) {
  script.click_world(1, 0, -10).key("z_enter");
  for (int k = 0; k < 100; ++k) script.click_world(1, -40 + 0.5 * k, 0).key("z_enter");
  script.key("p_nop");
  run_tool(dim_x);
  ASSERT_EQ(dims().size(), 1u);
  EXPECT_EQ(dims()[0]->points.size(), static_cast<std::size_t>(DIM_MAX_POINTS));
  EXPECT_NEAR(dims()[0]->points.back().line_point.x, -40 + 0.5 * 98, 1e-9);
}

TEST_F(DimChainTest, ATextAppliedWhileTheChainGrowsKeepsItsOwnUndoStep) {
  // A text staged for the separate editor, whose Apply arrives while the
  // tool waits for the next measuring point.
  TextParams t;
  t.x = 10;
  t.y = 10;
  t.height = 2.5;
  t.font = "Simpel";
  text_stage_placement(t);
  rows()["z_c_textedit_apply"] = [] { text_edit_finish("Note"); };
  points({{0, -1}, {0, 0}, {2, 0}});
  script.key("z_c_textedit_apply");
  script.key("p_nop");
  run_tool(dim_x);

  ASSERT_EQ(dims().size(), 1u);
  ASSERT_EQ(elements().size(), 2u);
  EXPECT_EQ(dims()[0]->points.size(), 2u);
  expect_clean_surface();  // the text was not erased in place of the chain

  EXPECT_EQ(undo_used, 2);
  undo_step_back();
  EXPECT_TRUE(dims().empty()) << "the chain's step took the chain";
  ASSERT_EQ(elements().size(), 1u);
  EXPECT_EQ(elements()[0]->kind, ELEM_TEXT);
  undo_step_back();
  EXPECT_TRUE(elements().empty());
}

TEST_F(DimChainTest, GuideModeGivesTheChainTheGuidePenButNotItsFigures) {
  guide_mode = 1;
  points({{0, -1}, {0, 0}, {2, 0}});
  script.key("p_nop");
  run_tool(dim_x);
  ASSERT_EQ(dims().size(), 1u);
  EXPECT_EQ(dims()[0]->pen, PEN_GUIDE);
  EXPECT_EQ(dims()[0]->figure_pen, 1);
}

// Through walls: the corner lines and the outline segments of the walls of
// the current layer.
class DimAutoTest : public DimChainTest {
 protected:
  // A wall along x from (x0, 0) to (x1, 0), thickness 0.365, whose outline
  // leaves out the stretch from gap0 to gap1 of both faces (an opening).
  static WallElem* wall_along_x(double x0, double x1, double gap0, double gap1, int layer = 0) {
    const double t = 0.365;
    auto w = std::make_unique<WallElem>();
    const Point2 c[4] = {{x0, 0}, {x1, 0}, {x1, t}, {x0, t}};
    for (int i = 0; i < 4; ++i) {
      w->corner[i] = {c[i].x, c[i].y, 0.0, 0};
      w->corner[i + 4] = {c[i].x, c[i].y, 2.75, 0};
    }
    w->layer = static_cast<uint16_t>(layer);
    if (gap1 > gap0)
      w->segments = {{{x0, 0}, {gap0, 0}},   {{gap1, 0}, {x1, 0}},  {{x1, 0}, {x1, t}},
                     {{x1, t}, {gap1, t}},   {{gap0, t}, {x0, t}},  {{x0, t}, {x0, 0}},
                     {{gap0, 0}, {gap0, t}}, {{gap1, 0}, {gap1, t}}};
    else
      for (int i = 0; i < 4; ++i) w->segments.push_back({c[i], c[(i + 1) % 4]});
    elem_adopt(std::move(w));
    return static_cast<WallElem*>(elem_list_tail);
  }
};

TEST_F(DimAutoTest, TheCutThroughAWallGivesItsThicknessWhicheverWayItRuns) {
  wall_along_x(-10, 10, 0, 0);
  redraw();
  // The cut runs from whichever point comes first along the dimension
  // line, parallel to it.
  struct Cut {
    Point2 from, to;
    double x;
  } cuts[] = {{{2, -1}, {2, 1}, 2}, {{2, 1}, {2, -1}, 2}, {{2, 1}, {2.5, -1}, 2.5}};
  script.value("90");
  for (const Cut& c : cuts) {
    points({{-3, -5}});
    script.click_world(1, c.from.x, c.from.y).click_world(1, c.to.x, c.to.y).key("z_enter");
  }
  script.key("p_nop");
  run_tool(dim_auto);

  ASSERT_EQ(dims().size(), 3u);
  EXPECT_EQ(dim_auto_angle, HALF_PI);
  for (int k = 0; k < 3; ++k) {
    const DimElem* d = dims()[k];
    EXPECT_EQ(d->direction, HALF_PI);
    ASSERT_EQ(d->points.size(), 2u) << "each face once, though found twice";
    expect_point(d->points[0].line_point, -3, 0);
    expect_point(d->points[1].line_point, -3, 0.365, 1e-12);
    expect_point(d->points[0].measured, cuts[k].x, 0, 1e-12);
    expect_point(d->points[1].measured, cuts[k].x, 0.365, 1e-12);
    EXPECT_NEAR(d->points[1].segment_length, 0.365, 1e-12);
  }
  EXPECT_EQ(undo_used, 3);
  EXPECT_EQ(prompts(ui)[3], "prompt Start point:");
  expect_clean_surface();
}

TEST_F(DimAutoTest, OnlyTheCurrentLayersWallsCountAndCornerLinesSpanOpenings) {
  wall_along_x(-10, 10, 1, 3);  // an opening from x = 1 to 3
  wall_along_x(-10, 10, 0, 0, 6)->corner[0].y = 5;
  layers[6].shown = 1;
  redraw();
  script.value("90");
  points({{-3, -5}});
  // Across the opening: only the corner lines cross.
  script.click_world(1, 2, -1).click_world(1, 2, 1).key("z_enter");
  points({{-3, -5}});
  // Nothing to cross: asked again.
  script.click_world(1, 20, -1).click_world(1, 20, 1).key("z_enter");
  script.key("p_nop");
  run_tool(dim_auto);

  ASSERT_EQ(dims().size(), 1u);
  ASSERT_EQ(dims()[0]->points.size(), 2u);
  EXPECT_NEAR(dims()[0]->points[1].segment_length, 0.365, 1e-12);
  EXPECT_EQ(undo_used, 1);
}

TEST_F(DimAutoTest, CancelledDirectionMakesNothing) {
  wall_along_x(-10, 10, 0, 0);
  dim_auto_angle = 1.0;
  script.key("p_nop");
  run_tool(dim_auto);
  EXPECT_TRUE(dims().empty());
  EXPECT_EQ(dim_auto_angle, 1.0);
}

TEST_F(DimChainTest, PlusAddsAPointAsOneUndoStepAndClearsOverrides) {
  DimElem* d = chain({0, 1, 3});
  d->points[2].override_value = 7;
  d->points[2].text_dx = 0.5;
  d->points[1].second_value = 4;
  redraw();
  script.click_world(1, 2, -1);  // on the chain's line, between 1 and 3
  points({{2, 0}, {-2, 3}});
  script.key("p_nop");
  run_tool(dim_plus);

  ASSERT_EQ(dims().size(), 1u);
  d = dims()[0];
  ASSERT_EQ(d->points.size(), 5u);
  const double xs[] = {-2, 0, 1, 2, 3};
  for (int k = 0; k < 5; ++k) {
    expect_point(d->points[k].line_point, xs[k], -1);
    EXPECT_EQ(d->points[k].override_value, 0.0);
    EXPECT_EQ(d->points[k].text_dx, 0.0);
  }
  expect_point(d->points[0].measured, -2, 3);
  EXPECT_EQ(d->points[2].second_value, 4) << "second values stay";
  EXPECT_EQ(d->mark, 0);
  EXPECT_EQ(prompts(ui)[0], "prompt Select dimension:");
  expect_clean_surface();

  EXPECT_EQ(undo_used, 2);
  undo_step_back();
  ASSERT_EQ(dims().size(), 1u);
  EXPECT_EQ(dims()[0]->points.size(), 4u);
  undo_step_back();
  ASSERT_EQ(dims().size(), 1u);
  EXPECT_EQ(dims()[0]->points.size(), 3u);
  EXPECT_EQ(dims()[0]->points[2].override_value, 7);
}

TEST_F(DimChainTest, PlusStopsAtTheNinetyNinthEntry) {
  DimElem* d = chain({});
  for (int k = 0; k < DIM_MAX_POINTS; ++k) {
    DimPoint p;
    p.line_point = {-40 + 0.5 * k, -1, 0};
    p.measured = p.line_point;
    d->points.push_back(p);
  }
  redraw();
  script.click_world(1, 0.2, -1).click_world(1, 0.2, 5).key("z_enter");
  run_tool(dim_plus);
  EXPECT_EQ(dims()[0]->points.size(), static_cast<std::size_t>(DIM_MAX_POINTS));
  EXPECT_EQ(undo_used, 0);
  EXPECT_EQ(pending_command, "nop") << "the tool ended by itself";
}

TEST_F(DimChainTest, TakingOverAChainOfAnotherLayerKeepsItsLayerGroupAndPlace) {
  select_all_layers = 1;
  layers[3].shown = 1;
  DimElem* d = chain({0, 2}, -1, 3);
  d->group = 9;
  elem_new_line(0, 0, 0, 10, 10, 12, 10);
  redraw();
  script.click_world(1, 1, -1).key("p_nop");
  run_tool(dim_minus);
  EXPECT_EQ(prompts(ui), (Strings{"prompt Select dimension:", "prompt Measuring point:"}));
  ASSERT_EQ(elements().size(), 2u);
  EXPECT_EQ(elements()[0], d);
  EXPECT_EQ(d->layer, 3);
  EXPECT_EQ(d->group, 9);
  EXPECT_EQ(d->mark, 0);
  EXPECT_EQ(undo_used, 0);
  expect_clean_surface();

  script.click_world(1, 1, -1).click_world(1, 4, 0).key("z_enter").key("p_nop");
  run_tool(dim_plus);
  EXPECT_EQ(d->points.size(), 3u);
  EXPECT_EQ(d->layer, 3);
  EXPECT_EQ(d->group, 9);
}

TEST_F(DimChainTest, MinusRemovesMatchingPointsAndTheLastOneTakesTheChain) {
  DimElem* d = chain({0, 1, 3});
  d->points[1].override_value = 5;
  redraw();
  script.click_world(1, 2, -1);
  points({{1, -1}, {5, 5}});  // a point of the line, then one matching none
  points({{0, -1}, {3.0005, -1}});
  run_tool(dim_minus);

  EXPECT_TRUE(dims().empty());
  EXPECT_EQ(pending_command, "nop") << "the tool ended by itself";
  expect_clean_surface();

  EXPECT_EQ(undo_used, 4);
  undo_step_back();
  ASSERT_EQ(dims().size(), 1u);
  ASSERT_EQ(dims()[0]->points.size(), 1u);
  expect_point(dims()[0]->points[0].line_point, 3, -1);
  undo_step_back();
  undo_step_back();
  ASSERT_EQ(dims()[0]->points.size(), 2u);
  undo_step_back();
  ASSERT_EQ(dims()[0]->points.size(), 3u);
  EXPECT_EQ(dims()[0]->points[1].override_value, 5);
}

}  // namespace
