// The pen and line-type changes and grouping of the selection: what they set,
// what they keep, one undo step each.

#include <string>
#include <vector>

#include "edit_tool_fixture.h"
#include "model/layers.h"

namespace {

TEST_F(EditToolTest, AlterSetsThePenTheLineTypeOrBoth) {
  struct Case {
    const char* name;
    void (*tool)();
    int guide;
    int pen, line_type;  // expected on both lines; -1 keeps each line's own
  } cases[] = {
      {"all", tool_edit_alter_all, 0, 5, 3},
      {"pen", tool_edit_alter_pen, 0, 5, -1},
      {"line type", tool_edit_alter_line, 0, -1, 3},
      {"pen in guide mode", tool_edit_alter_pen, 1, PEN_GUIDE, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    drawing_free();
    drawing_init();
    undo_record(UNDO_CLEAR, 0);
    pending_command = "nop";
    elem_new_line(0, 1, 2, 0, 0, 5, 0);
    elem_new_line(0, 2, 4, 0, 5, 5, 5);
    redraw();
    const auto before = chunks();
    cur_pen = 5;
    cur_line_type = 3;
    guide_mode = c.guide;
    select_all();
    run_tool(c.tool);
    guide_mode = 0;
    const auto l = lines();
    ASSERT_EQ(l.size(), 2u);
    const int own_pen[2] = {1, 2}, own_type[2] = {2, 4};
    for (int i = 0; i < 2; ++i) {
      EXPECT_EQ(l[static_cast<std::size_t>(i)]->pen, c.pen < 0 ? own_pen[i] : c.pen) << i;
      EXPECT_EQ(l[static_cast<std::size_t>(i)]->line_type, c.line_type < 0 ? own_type[i] : c.line_type) << i;
    }
    EXPECT_EQ(undo_used, 1);
    EXPECT_TRUE(nothing_marked());
    expect_clean_surface();
    undo_step_back();
    EXPECT_EQ(chunks(), before);
  }
}

TEST_F(EditToolTest, GroupGivesTheSelectionOneNewNumberAndUngroupTakesItAway) {
  elem_new_line(0, 0, 0, 0, 0, 5, 0);
  elem_new_arc(0, 0, 0, 10, 10, 2, 2, 6.283185307179586, 0, 0);
  elem_append(test_text(-10, 10, "Kavro"));
  elem_new_line(0, 0, 0, 0, -10, 5, -10);
  elements()[3]->group = 7;
  group_counter = 7;
  redraw();
  // The first three, by a window.
  choose_type(0);
  script.click_world(1, -12, -2).click_world(1, 14, 14).key("s_deffi_ok");
  run_tool(tool_symbol_group);
  auto e = elements();
  for (int i = 0; i < 3; ++i) EXPECT_EQ(e[static_cast<std::size_t>(i)]->group, 8) << i;
  EXPECT_EQ(e[3]->group, 7);
  EXPECT_EQ(undo_used, 1);
  EXPECT_EQ(drawing_modified, 1);
  expect_clean_surface();

  // Ungroup repeats on new selections until one is cancelled.
  script.key("s_deffi_all").key("s_deffi_ok").key("p_nop");
  run_tool(tool_symbol_ungroup);
  for (ElemHeader* x : elements()) EXPECT_EQ(x->group, 0);
  EXPECT_EQ(undo_used, 2);
  expect_clean_surface();
  undo_step_back();
  e = elements();
  int grouped8 = 0, grouped7 = 0;
  for (ElemHeader* x : e) {
    grouped8 += x->group == 8;
    grouped7 += x->group == 7;
  }
  EXPECT_EQ(grouped8, 3);
  EXPECT_EQ(grouped7, 1);
}

}  // namespace
