// Delete, move, copy, multiple copy and the linear series run end to end by
// scripts on a drawing of every kind: the records they leave, one undo step
// per action, undo giving back exactly the drawing before, and a view with
// nothing of the rubber bands or the highlight left behind.

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "display/select.h"
#include "edit_tool_fixture.h"

namespace {

Point3 shifted(const Point3& p, double dx, double dy, double dz = 0) {
  return {p.x + dx, p.y + dy, p.z + dz, 0};
}

TEST_F(EditToolTest, DeleteRemovesTheSelectionInOneUndoStep) {
  make_mixed_drawing();
  const auto before = chunks();
  select_all();
  run_tool(tool_edit_delete);
  EXPECT_TRUE(elements().empty());
  EXPECT_EQ(undo_used, 1);
  expect_clean_surface();
  undo_step_back();
  EXPECT_EQ(chunks(), before);
  EXPECT_TRUE(nothing_marked());
}

TEST_F(EditToolTest, MoveTwoVectorsEachItsOwnUndoStep) {
  make_mixed_drawing();
  const auto before = chunks();
  const auto points = all_points();
  select_all();
  script.click_world(1, 0, 0).click_world(1, 1, 2).key("z_enter");
  // Points closer than the snap distance would catch each other.
  script.click_world(1, 5, 5).click_world(1, 5, 2).key("z_enter");
  script.key("p_nop");
  run_tool(tool_edit_move);

  expect_points_mapped(points, all_points(), [](const Point3& p) { return shifted(p, 1, -1); });
  EXPECT_EQ(undo_used, 2);
  EXPECT_TRUE(nothing_marked());
  expect_clean_surface();
  EXPECT_EQ(ui.calls_starting("prompt ").front(), "prompt Element:");

  undo_step_back();
  expect_points_mapped(points, all_points(), [](const Point3& p) { return shifted(p, 1, 2); });
  undo_step_back();
  EXPECT_EQ(chunks(), before);
}

TEST_F(EditToolTest, AZeroVectorOrACancelEndsMoveAndCopyWithoutAChange) {
  struct Case {
    const char* name;
    void (*tool)();
    bool zero;  // else cancelled at the end point
  } cases[] = {{"move, zero vector", tool_edit_move, true},
               {"copy, zero vector", tool_edit_copy, true},
               {"move, cancelled", tool_edit_move, false},
               {"copy, cancelled", tool_edit_copy, false}};
  make_mixed_drawing();
  const auto before = chunks();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    pending_command = "nop";
    select_all();
    script.click_world(1, 30, 25);
    if (c.zero)
      script.click_world(1, 30, 25).key("z_enter");
    else
      script.key("p_nop");
    run_tool(c.tool);
    EXPECT_EQ(chunks(), before);
    EXPECT_EQ(undo_used, 0);
    EXPECT_TRUE(nothing_marked());
    expect_clean_surface();
  }
}

// Every way of giving the vector besides two clicks: an axis key with a
// typed distance at the start point is the vector itself; typed absolute
// points; Enter at the end point and an axis key at the confirmation (a
// point at a typed distance from the start). Move and copy alike.
TEST_F(EditToolTest, MoveAndCopyByTypedOffsetsAndTypedPoints) {
  struct Case {
    const char* name;
    void (*tool)();
    std::function<void(ScriptedWait&)> vector;
    double dx, dy;
  } cases[] = {
      {"move, x and a distance", tool_edit_move, [](ScriptedWait& s) { s.key("z_cx").value("5"); }, 5, 0},
      {"move, y and a negative distance", tool_edit_move,
       [](ScriptedWait& s) { s.key("z_cy").value("-2.5"); }, 0, -2.5},
      {"move, arrow left", tool_edit_move, [](ScriptedWait& s) { s.key("z_cleft").value("3"); }, -3, 0},
      {"move, typed start and end", tool_edit_move,
       [](ScriptedWait& s) { s.key("z_abs").value("1;1").key("z_abs").value("4;-1").key("z_enter"); }, 3, -2},
      {"move, Enter and an axis key at the confirmation", tool_edit_move,
       [](ScriptedWait& s) {
         s.click_world(1, 30, 25).key("z_enter").key("z_cup").value("4").key("z_enter");
       },
       0, 4},
      {"copy, y and a distance", tool_edit_copy, [](ScriptedWait& s) { s.key("z_cy").value("3"); }, 0, 3},
      {"copy, x and a distance", tool_edit_copy, [](ScriptedWait& s) { s.key("z_cx").value("-7"); }, -7, 0},
      {"copy, typed start and clicked end", tool_edit_copy,
       [](ScriptedWait& s) { s.key("z_abs").value("30;25").click_world(1, 30, 20).key("z_enter"); }, 0, -5},
  };
  make_mixed_drawing();
  const auto before = chunks();
  const auto points = all_points();
  const std::size_t n = points.size();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    pending_command = "nop";
    select_all();
    c.vector(script);
    script.key("p_nop");
    run_tool(c.tool);
    const bool copy = c.tool == tool_edit_copy;
    auto now = all_points();
    ASSERT_EQ(now.size(), copy ? 2 * n : n);
    const std::vector<std::vector<Point3>> moved(now.end() - static_cast<long>(n), now.end());
    expect_points_mapped(points, moved, [&c](const Point3& p) { return shifted(p, c.dx, c.dy); });
    if (copy) {
      const std::vector<std::vector<Point3>> originals(now.begin(), now.begin() + static_cast<long>(n));
      expect_points_mapped(points, originals, [](const Point3& p) { return p; });
    }
    EXPECT_EQ(undo_used, 1);
    EXPECT_TRUE(nothing_marked());
    expect_clean_surface();
    undo_step_back();
    EXPECT_EQ(chunks(), before);
  }
}

// The third axis: a typed offset along z lifts a mesh.
TEST_F(EditToolTest, TypedOffsetAlongZLiftsAMesh) {
  mesh_quad(0, 0, 1, 1);
  redraw();
  const auto points = all_points();
  select_all();
  script.key("z_cz").value("2").key("p_nop");
  run_tool(tool_edit_move);
  expect_points_mapped(points, all_points(), [](const Point3& p) { return shifted(p, 0, 0, 2); });
  EXPECT_EQ(undo_used, 1);
}

// A series takes its step from an axis key too.
TEST_F(EditToolTest, SeriesByATypedOffset) {
  elem_new_line(0, 0, 0, 0, 0, 1, 0);
  redraw();
  select_all();
  script.value("3").key("z_cy").value("2");
  run_tool(tool_edit_series);
  const auto l = lines();
  ASSERT_EQ(l.size(), 3u);
  for (int k = 0; k < 3; ++k) expect_line(l[static_cast<std::size_t>(k)], 0, 2.0 * k, 1, 2.0 * k);
  EXPECT_EQ(undo_used, 1);
}

// Enter at the start point gives no vector: the tools end with nothing done,
// as after the same point twice; so does Escape in the entry of the distance
// followed by Escape at the start point.
TEST_F(EditToolTest, NoTypedVectorLeavesTheDrawing) {
  make_mixed_drawing();
  const auto before = chunks();
  for (void (*tool)() : {tool_edit_move, tool_edit_copy}) {
    for (int way = 0; way < 3; ++way) {
      SCOPED_TRACE(way);
      pending_command = "nop";
      select_all();
      if (way == 0) script.key("z_enter");
      if (way == 1) script.key("z_cx").value("0");
      if (way == 2) script.key("z_cx").key("z_eesc").key("z_abs").key("z_eesc").key("p_nop");
      run_tool(tool);
      EXPECT_EQ(chunks(), before);
      EXPECT_EQ(undo_used, 0);
      EXPECT_TRUE(nothing_marked());
      expect_clean_surface();
    }
  }
}

TEST_F(EditToolTest, CopyMovesOneCopyOnWithinOneUndoStep) {
  make_mixed_drawing();
  const auto before = chunks();
  const auto points = all_points();
  const std::size_t n = points.size();
  select_all();
  script.click_world(1, 30, 25).click_world(1, 30, 5).key("z_enter");
  script.click_world(1, 30, 25).click_world(1, 32, 25).key("z_enter");
  script.key("p_nop");
  run_tool(tool_edit_copy);

  auto now = all_points();
  ASSERT_EQ(now.size(), 2 * n);
  const std::vector<std::vector<Point3>> originals(now.begin(), now.begin() + static_cast<long>(n));
  const std::vector<std::vector<Point3>> copies(now.begin() + static_cast<long>(n), now.end());
  expect_points_mapped(points, originals, [](const Point3& p) { return p; });
  expect_points_mapped(points, copies, [](const Point3& p) { return shifted(p, 2, -20); });
  EXPECT_EQ(undo_used, 1);
  EXPECT_TRUE(nothing_marked());
  expect_clean_surface();
  undo_step_back();
  EXPECT_EQ(chunks(), before);
}

TEST_F(EditToolTest, CopiesOfGroupedElementsGetGroupsOfTheirOwn) {
  elem_new_line(0, 0, 0, 0, 0, 1, 0);
  elem_new_line(0, 0, 0, 0, 1, 1, 1);
  elements()[0]->group = elements()[1]->group = 4;
  group_counter = 4;
  redraw();
  select_all();
  script.click_world(1, 0, 0).click_world(1, 0, 5).key("z_enter").key("p_nop");
  run_tool(tool_edit_copy);
  const auto e = elements();
  ASSERT_EQ(e.size(), 4u);
  EXPECT_EQ(e[0]->group, 4);
  EXPECT_EQ(e[2]->group, 5);
  EXPECT_EQ(e[3]->group, 5);
}

TEST_F(EditToolTest, MultipleCopyMakesEachCopyFromThePreviousOne) {
  make_mixed_drawing();
  const auto before = chunks();
  const auto points = all_points();
  const std::size_t n = points.size();
  select_all();
  script.click_world(1, 30, 25).key("z_enter");
  script.click_world(1, 30, 5).key("z_enter");
  script.click_world(1, 35, 5).key("z_enter");
  script.key("p_nop");
  run_tool(tool_edit_mcopy);

  auto now = all_points();
  ASSERT_EQ(now.size(), 3 * n);
  const std::vector<std::vector<Point3>> first(now.begin() + static_cast<long>(n),
                                               now.begin() + static_cast<long>(2 * n));
  const std::vector<std::vector<Point3>> second(now.begin() + static_cast<long>(2 * n), now.end());
  expect_points_mapped(points, first, [](const Point3& p) { return shifted(p, 0, -20); });
  expect_points_mapped(points, second, [](const Point3& p) { return shifted(p, 5, -20); });
  EXPECT_EQ(undo_used, 2);
  const auto prompts = ui.calls_starting("prompt ");
  for (const char* p : {"prompt Start point:", "prompt Target point:"})
    EXPECT_NE(std::find(prompts.begin(), prompts.end(), p), prompts.end()) << p;
  expect_clean_surface();
  undo_step_back();
  EXPECT_EQ(elements().size(), 2 * n);
  undo_step_back();
  EXPECT_EQ(chunks(), before);
}

TEST_F(EditToolTest, SeriesCountsTheSelectionAndIsOneUndoStep) {
  elem_new_line(0, 0, 0, 0, 0, 1, 0);
  redraw();
  select_all();
  script.value("4").click_world(1, 0, 5).click_world(1, 2, 5).key("z_enter");
  run_tool(tool_edit_series);
  const auto l = lines();
  ASSERT_EQ(l.size(), 4u);
  for (int k = 0; k < 4; ++k) expect_line(l[static_cast<std::size_t>(k)], 2.0 * k, 0, 2.0 * k + 1, 0);
  EXPECT_EQ(undo_used, 1);
  EXPECT_TRUE(nothing_marked());
  expect_clean_surface();
  undo_step_back();
  ASSERT_EQ(lines().size(), 1u);
  expect_line(lines()[0], 0, 0, 1, 0);
}

TEST_F(EditToolTest, SeriesOfTheMixedDrawingAndCountsThatMakeNothing) {
  make_mixed_drawing();
  const auto before = chunks();
  const std::size_t n = elements().size();
  for (const char* count : {"1", "0", "-3"}) {
    SCOPED_TRACE(count);
    select_all();
    script.value(count);
    run_tool(tool_edit_series);
    EXPECT_EQ(chunks(), before);
    EXPECT_EQ(undo_used, 0);
  }
  select_all();
  script.value("3").click_world(1, 30, 25).click_world(1, 30, 17).key("z_enter");
  run_tool(tool_edit_series);
  EXPECT_EQ(elements().size(), 3 * n);
  EXPECT_EQ(undo_used, 1);
  expect_clean_surface();
  undo_step_back();
  EXPECT_EQ(chunks(), before);
}

TEST_F(EditToolTest, ASeriesHoldsItsCountToTheLimit) {
  elem_new_line(0, 0, 0, 0, 0, 0.001, 0);
  redraw();
  select_all();
  script.value("2000000000").click_world(1, 30, 25).click_world(1, 30, 20).key("z_enter");
  run_tool(tool_edit_series);
  EXPECT_EQ(lines().size(), static_cast<std::size_t>(EDIT_SERIES_MAX));
  undo_step_back();
  EXPECT_EQ(lines().size(), 1u);
}

}  // namespace
