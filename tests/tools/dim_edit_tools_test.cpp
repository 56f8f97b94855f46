// The figure edits, the style and size edits of a selection, and the
// radius, diameter, angle and level dimensions end to end: what they store,
// one undo step per change or dimension, and a clean view afterwards.

#include <cmath>
#include <functional>
#include <string>

#include "dim_tool_fixture.h"
#include "display/key_state.h"
#include "model/geom.h"
#include "model/settings.h"

namespace {

using Strings = std::vector<std::string>;

void expect_entries(const DimElem* d, std::initializer_list<Point2> want) {
  ASSERT_EQ(d->points.size(), want.size());
  std::size_t k = 0;
  for (const Point2& p : want) {
    SCOPED_TRACE("entry " + std::to_string(k));
    expect_point(d->points[k].line_point, p.x, p.y, 1e-12);
    expect_point(d->points[k].measured, 0, 0);
    EXPECT_EQ(d->points[k].segment_length, 0.0);
    ++k;
  }
}

TEST_F(DimToolTest, AlterValueChangesOneFigureAndABesideClickAsksAgain) {
  DimElem* d = chain({0, 1, 3});
  redraw();
  // Beside every segment: no figure, asked again.
  script.click_world(1, 5, -1).click_world(1, 2, -1).value("2.5");
  script.click_world(1, 0.5, -1).key("p_nop");
  run_tool(tool_dim_alter_value);

  EXPECT_EQ(d->points[0].override_value, 0);
  EXPECT_EQ(d->points[1].override_value, 0);
  EXPECT_EQ(d->points[2].override_value, 2.5);
  EXPECT_EQ(d->mark, 0);
  EXPECT_EQ(prompts(ui), (Strings{"prompt Select dimension figure:", "prompt Select dimension figure:",
                                  "prompt Value:", "prompt Select dimension figure:", "prompt Value:"}));
  EXPECT_EQ(undo_used, 1);
  expect_clean_surface();
  undo_step_back();
  ASSERT_EQ(dims().size(), 1u);
  EXPECT_EQ(dims()[0]->points[2].override_value, 0);
}

TEST_F(DimToolTest, OriginalKeepsTheSecondValues) {
  DimElem* d = chain({0, 1, 3});
  redraw();
  script.click_world(1, 0.5, -1).value("4").key("p_nop");
  run_tool(tool_dim_height);
  EXPECT_EQ(d->points[1].second_value, 4);

  d->points[1].override_value = 9;
  d->points[2].text_dx = 0.3;
  d->points[2].text_dy = -0.2;
  redraw();
  script.click_world(1, 2, -1).key("p_nop");
  run_tool(tool_dim_original);
  for (const DimPoint& p : d->points) {
    EXPECT_EQ(p.override_value, 0);
    EXPECT_EQ(p.text_dx, 0);
    EXPECT_EQ(p.text_dy, 0);
  }
  EXPECT_EQ(d->points[1].second_value, 4);
  EXPECT_EQ(undo_used, 2);
  expect_clean_surface();
}

TEST_F(DimToolTest, TheFigureOfTheOtherKindsIsTheirThirdEntry) {
  const std::array<DimPoint, 3> e = dim_radius_entries({0, 0}, 2, {3, 4});
  elem_new_dim(0, 0, 0, 1, 0, 0.0, 2.5, 1, 0.1, 1.5, 1, "Simpel", 0, 0, DIM_RADIUS, 3, e.data());
  redraw();
  script.click_world(1, 2.5, 3.4).value("1.75").key("p_nop");
  run_tool(tool_dim_alter_value);
  EXPECT_EQ(dims()[0]->points[2].override_value, 1.75);
  EXPECT_EQ(dims()[0]->points[1].override_value, 0);
}

TEST_F(DimToolTest, CancelAtTheValueChangesNothing) {
  for (void (*tool)() : {tool_dim_alter_value, tool_dim_height}) {
    chain({0, 2});
    redraw();
    script.click_world(1, 1, -1).key("p_nop");
    run_tool(tool);
    EXPECT_EQ(undo_used, 0);
    expect_clean_surface();  // not left highlighted
  }
}

TEST_F(DimToolTest, MovingAFigureTurnsTheDragIntoTheDimensionsFrame) {
  struct Case {
    const char* name;
    double direction;
    Point2 pick, from, to, moved;
  } cases[] = {
      {"horizontal", 0.0, {1, -1}, {0, 0}, {0.5, 0.2}, {0.5, 0.2}},
      {"vertical", HALF_PI, {-1, 1}, {0, 0}, {1, 0}, {0, -1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    drawing_free();
    drawing_init();
    undo_record(UNDO_CLEAR, 0);
    DimElem* d = chain({0, 2});
    if (c.direction != 0.0) {
      d->direction = c.direction;
      d->points[0].line_point = {-1, 0, 0};
      d->points[1].line_point = {-1, 2, 0};
    }
    redraw();
    script.click_world(1, c.pick.x, c.pick.y);
    for (int k = 0; k < 2; ++k)
      script.click_world(1, c.from.x, c.from.y).click_world(1, c.to.x, c.to.y).key("z_enter");
    script.key("p_nop");
    run_tool(tool_dim_alter_move);
    // Exactly, also on the vertical chain.
    EXPECT_EQ(d->points[1].text_dx, 2 * c.moved.x);
    EXPECT_EQ(d->points[1].text_dy, 2 * c.moved.y);
    EXPECT_EQ(d->points[0].text_dx, 0);
    EXPECT_EQ(undo_used, 2) << "each move its own step";
    expect_clean_surface();
  }
}

// The move of a figure takes its vector from the keyboard as well: an axis
// key with a distance at the start point, or typed start and end points.
TEST_F(DimToolTest, AFigureMovesByATypedOffsetOrTypedPoints) {
  struct Case {
    const char* name;
    std::function<void(ScriptedWait&)> vector;
    Point2 moved;
  } cases[] = {
      {"x and a distance", [](ScriptedWait& s) { s.key("z_cx").value("0.5"); }, {0.5, 0}},
      {"arrow down and a distance", [](ScriptedWait& s) { s.key("z_cdown").value("0.25"); }, {0, -0.25}},
      {"typed points",
       [](ScriptedWait& s) { s.key("z_abs").value("3;3").key("z_abs").value("3.5;3.2").key("z_enter"); },
       {0.5, 0.2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    drawing_free();
    drawing_init();
    undo_record(UNDO_CLEAR, 0);
    DimElem* d = chain({0, 2});
    redraw();
    script.click_world(1, 1, -1);
    c.vector(script);
    script.key("p_nop");
    run_tool(tool_dim_alter_move);
    EXPECT_NEAR(d->points[1].text_dx, c.moved.x, 1e-12);
    EXPECT_NEAR(d->points[1].text_dy, c.moved.y, 1e-12);
    EXPECT_EQ(undo_used, 1);
    expect_clean_surface();
  }
}

TEST_F(DimToolTest, AMoveOfNothingEndsTheMoveWithoutAStep) {
  DimElem* d = chain({0, 2});
  redraw();
  script.click_world(1, 1, -1).click_world(1, 3, 3).click_world(1, 3, 3).key("z_enter");
  run_tool(tool_dim_alter_move);
  EXPECT_EQ(d->points[1].text_dx, 0);
  EXPECT_EQ(undo_used, 0);
  expect_clean_surface();
}

class DimSizeTest : public DimToolTest {
 protected:
  void SetUp() override {
    DimToolTest::SetUp();
    a = chain({0, 2}, -1);
    b = chain({0, 2}, -6);
    l = elem_new_line(0, 0, 0, 10, 10, 12, 10) ? elem_list_tail : nullptr;
    a->mark = b->mark = l->mark = 1;
    redraw();
  }
  DimElem *a = nullptr, *b = nullptr;
  ElemHeader* l = nullptr;
};

TEST_F(DimSizeTest, ATypedSizeGoesIntoEverySelectedDimension) {
  input_text = "12";
  script.key("s_deffi_ok").value("5");
  run_tool(tool_dim_alter_size);
  EXPECT_EQ(a->figure_size, 5);
  EXPECT_EQ(b->figure_size, 5);
  EXPECT_EQ(elem_count_marked(), 0);
  EXPECT_EQ(undo_used, 1);
  EXPECT_EQ(ui.calls_starting("entry_open"), (Strings{"entry_open "})) << "opened empty";
  expect_clean_surface();
  undo_step_back();
  for (DimElem* d : dims()) EXPECT_EQ(d->figure_size, 2.5);
}

TEST_F(DimSizeTest, NoSizeOrACancelLeavesTheDimensions) {
  for (const char* typed : {"abc", "0", "-3", static_cast<const char*>(nullptr)}) {
    SCOPED_TRACE(typed ? typed : "cancel");
    a->mark = b->mark = 1;
    script.key("s_deffi_ok");
    if (typed)
      script.value(typed);
    else
      script.key("p_nop");
    run_tool(tool_dim_alter_size);
    EXPECT_EQ(a->figure_size, 2.5);
    EXPECT_EQ(b->figure_size, 2.5);
    EXPECT_EQ(elem_count_marked(), 0);
    expect_clean_surface();
  }
  EXPECT_EQ(undo_used, 4) << "the step of each selection stays, empty";
}

TEST_F(DimSizeTest, TheStyleLeavesFigureSizeAndPens) {
  dim_preset.font = "Other";
  dim_preset.figure_width = 0.8;
  dim_preset.figure_space = 0.3;
  dim_preset.figure_pen = 6;
  dim_preset.figure_line_type = 2;
  dim_preset.chain_space = 2.5;
  dim_preset.display_format = 3;
  dim_preset.end_mark = DIM_MARK_CIRCLE;
  dim_preset.help_line_length = 4;
  dim_preset.figure_size = 9;
  dim_preset.chain_pen = 5;
  a->pen = 3;
  drawing_modified = 0;
  script.key("s_deffi_ok");
  run_tool(tool_dim_alter_style);
  for (const DimElem* d : {a, b}) {
    EXPECT_EQ(d->font, "Other");
    EXPECT_EQ(d->figure_width, 0.8);
    EXPECT_EQ(d->figure_space, 0.3);
    EXPECT_EQ(d->figure_pen, 6);
    EXPECT_EQ(d->figure_line_type, 2);
    EXPECT_EQ(d->chain_space, 2.5);
    EXPECT_EQ(d->format, 3);
    EXPECT_EQ(d->end_mark, DIM_MARK_CIRCLE);
    EXPECT_EQ(d->help_line_length, 4);
    EXPECT_EQ(d->figure_size, 2.5);
  }
  EXPECT_EQ(a->pen, 3);
  EXPECT_EQ(b->pen, 0);
  EXPECT_EQ(drawing_modified, 1);
  EXPECT_EQ(undo_used, 1);
  EXPECT_EQ(elem_count_marked(), 0);
}

TEST_F(DimToolTest, RadiusAndDiameterOfAPickedCircle) {
  struct Case {
    void (*tool)();
    int kind;
    Point2 through;
    std::initializer_list<Point2> entries;
  } cases[] = {
      {tool_dim_r, DIM_RADIUS, {3, 4}, {{0, 0}, {1.2, 1.6}, {3, 4}}},
      {tool_dim_d, DIM_DIAMETER, {0, 5}, {{0, 0}, {-2, 5}, {2, 5}}},
  };
  for (const Case& c : cases) {
    drawing_free();
    drawing_init();
    undo_record(UNDO_CLEAR, 0);
    // On another shown layer, picked though the selection keeps to the
    // current one; a line nearer to the click is passed over.
    layers[2].shown = 1;
    elem_new_arc(2, 0, 0, 0, 0, 2, 2, 2 * GEOM_PI, 0, 0);
    elem_new_line(0, 0, 0, -10, -3, 10, -3);
    redraw();
    script.click_world(1, 0, -2.9)
        .click_world(1, 0, -2.1)
        .click_world(1, c.through.x, c.through.y)
        .key("z_enter");
    script.key("p_nop");
    run_tool(c.tool);
    ASSERT_EQ(dims().size(), 1u);
    const DimElem* d = dims()[0];
    EXPECT_EQ(d->dim_kind, c.kind);
    EXPECT_EQ(d->direction, 0.0);
    EXPECT_EQ(d->layer, 0);
    expect_entries(d, c.entries);
    EXPECT_EQ(prompts(ui)[0], "prompt Select Circle/Arc:");
    EXPECT_EQ(prompts(ui)[1], "prompt Select Circle/Arc:");
    EXPECT_EQ(undo_used, 1);
    expect_clean_surface();
  }
}

TEST_F(DimToolTest, ACircleOfNoSizeGetsNoDimension) {
  elem_new_arc(0, 0, 0, 0, 0, 0, 0, 2 * GEOM_PI, 0, 0);
  redraw();
  script.click_world(1, 0, 0).click_world(1, 3, 4).key("z_enter").key("p_nop");
  run_tool(tool_dim_r);
  EXPECT_TRUE(dims().empty());
  EXPECT_EQ(prompts(ui).back(), "prompt Select Circle/Arc:");
}

TEST_F(DimToolTest, AngleAndLevelDimensions) {
  script.click_world(1, 0, 0).click_world(1, 1, 0).click_world(1, 0, 2).key("z_enter").key("p_nop");
  run_tool(tool_dim_a);
  ASSERT_EQ(dims().size(), 1u);
  EXPECT_EQ(dims()[0]->dim_kind, DIM_ANGLE);
  EXPECT_EQ(dims()[0]->direction, 0.0);
  expect_entries(dims()[0], {{0, 0}, {2, 0}, {0, 2}});

  script.click_world(1, 5, 1).key("z_enter").click_world(1, 8, 0).key("z_enter");
  script.click_world(1, 9, 3).key("z_enter").click_world(1, -3, -2).key("z_enter").key("p_nop");
  run_tool(tool_dim_h);
  ASSERT_EQ(dims().size(), 3u);
  for (const DimElem* d : {dims()[1], dims()[2]}) {
    EXPECT_EQ(d->dim_kind, DIM_LEVEL);
    EXPECT_EQ(d->direction, HALF_PI);
  }
  expect_entries(dims()[1], {{5, 1}, {5, 0}, {5, 3}});
  expect_entries(dims()[2], {{5, 1}, {5, 0}, {5, -2}});
  EXPECT_EQ(prompts(ui)[5], "prompt Position of dimension:");
  EXPECT_EQ(prompts(ui)[7], "prompt Point at zero height:");
  EXPECT_EQ(undo_used, 3);
  expect_clean_surface();
}

TEST_F(DimToolTest, GuideModeGivesTheThreeEntryKindsTheGuidePenForBoth) {
  guide_mode = 1;
  script.click_world(1, 0, 0).click_world(1, 1, 0).click_world(1, 0, 2).key("z_enter").key("p_nop");
  run_tool(tool_dim_a);
  ASSERT_EQ(dims().size(), 1u);
  EXPECT_EQ(dims()[0]->pen, PEN_GUIDE);
  EXPECT_EQ(dims()[0]->figure_pen, PEN_GUIDE);
}

}  // namespace
