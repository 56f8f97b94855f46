#include "model/cleanup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/elem.h"
#include "model/layers.h"
#include "model/undo.h"
#include "support/model_fixture.h"
#include "support/recording_ui.h"

namespace {

using Cleanup = ModelTest;

constexpr double TWO_PI = 6.283185307179586;

std::string removed_message(int lines, int arcs) {
  return "message Message: Number of removed lines: " + std::to_string(lines) +
         "\nNumber of removed arcs: " + std::to_string(arcs) + "\n";
}

TEST_F(Cleanup, RemdupKeepsTheFirstOfEqualLinesInEitherDirection) {
  RecordingUi rec;
  cur_layer = 3;
  elem_new_line(3, 1, 0, 0, 0, 1, 0);  // kept
  elem_new_line(3, 2, 0, 0, 0, 1, 0);
  elem_new_line(3, 1, 0, 1, 0, 0, 0);  // reversed
  elem_new_line(3, 1, 0, 0, 0, 1, 0);
  elem_new_line(3, 1, 0, 0, 0, 1, 1e-12);  // differs: stays
  elem_new_line(4, 1, 0, 0, 0, 1, 0);      // other layer: stays
  elem_new_line(3, 1, 0, 2, 2, 2, 2);      // zero length, kept
  elem_new_line(3, 1, 0, 2, 2, 2, 2);      // its duplicate, counted once
  ElemHeader* first = elem_list_head;
  cmd_p_tools_remdup();

  EXPECT_EQ(rec.calls_starting("message"), (std::vector<std::string>{removed_message(4, 0)}));
  auto els = elements();
  ASSERT_EQ(els.size(), 4u);
  EXPECT_EQ(els[0], first);
  EXPECT_EQ(elem_as<LineElem>(els[1])->p2.y, 1e-12);
  EXPECT_EQ(els[2]->layer, 4);

  undo_step_back();
  EXPECT_EQ(elem_count(), 8);
}

TEST_F(Cleanup, RemdupComparesAllSevenArcValues) {
  RecordingUi rec;
  elem_new_arc(0, 0, 0, 1, 1, 2, 2, TWO_PI, 0, 0);
  elem_new_arc(0, 0, 0, 1, 1, 2, 2, 1.0, 0, 0);  // other sweep
  elem_new_arc(0, 0, 0, 1, 1, 2, 2, TWO_PI, 0, 0);
  elem_new_arc(0, 0, 0, 1, 1, 2, 2, TWO_PI, 0, 0.5);  // other rotation
  elem_new_line(0, 0, 0, 1, 1, 2, 2);
  cmd_p_tools_remdup();
  EXPECT_EQ(rec.calls_starting("message"), (std::vector<std::string>{removed_message(0, 1)}));
  EXPECT_EQ(elem_count(), 4);
}

TEST_F(Cleanup, RemdupRemovesOnlyWhatItFound) {
  RecordingUi rec;
  elem_new_line(0, 0, 0, 0, 0, 1, 0);
  elem_new_line(0, 0, 0, 5, 5, 6, 6);
  elem_list_tail->mark = 1;  // left over from an interrupted command
  elem_new_line(0, 0, 0, 0, 0, 1, 0);
  undo_record(UNDO_CREATED, 1);
  undo_step_back();  // a redo is pending
  cmd_p_tools_remdup();
  EXPECT_EQ(rec.calls_starting("message"), (std::vector<std::string>{removed_message(0, 0)}));
  EXPECT_EQ(elem_count(), 2);
  // Nothing removed: no step recorded, the redo is still there.
  EXPECT_EQ(undo_undone, 1);
  undo_step_forward();
  EXPECT_EQ(elem_count(), 3);
  cmd_p_tools_remdup();
  EXPECT_EQ(elem_count(), 2);
  EXPECT_EQ(elem_as<LineElem>(elem_list_tail)->p1.x, 5);
}

TEST_F(Cleanup, GlminusRemovesGuidesOfTheCurrentLayerOnly) {
  RecordingUi rec;
  cur_layer = 1;
  elem_new_line(1, PEN_GUIDE, 0, 0, 0, 1, 0);
  elem_new_line(2, PEN_GUIDE, 0, 0, 0, 1, 0);
  elem_new_arc(1, PEN_GUIDE, 0, 0, 0, 1, 1, TWO_PI, 0, 0);
  elem_new_line(1, 1, 0, 0, 0, 1, 0);
  elem_list_tail->mark = 1;  // stale mark: must survive
  cmd_p_glminus();

  auto els = elements();
  ASSERT_EQ(els.size(), 2u);
  EXPECT_EQ(els[0]->layer, 2);
  EXPECT_EQ(els[1]->pen, 1);
  EXPECT_EQ(rec.calls, (std::vector<std::string>{"cursor_toggle", "draw_element 2 kind 1",
                                                 "draw_element 2 kind 2", "undo_button 1", "cursor_toggle"}));
  undo_step_back();
  EXPECT_EQ(elem_count(), 4);
}

}  // namespace
