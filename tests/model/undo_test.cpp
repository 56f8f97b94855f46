#include "model/undo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "model/elem.h"
#include "support/model_fixture.h"
#include "support/recording_ui.h"

namespace {

using Undo = ModelTest;

LineElem* line_at(ElemHeader* e) { return elem_as<LineElem>(e); }

void add_line(double x) { elem_new_line(0, 1, 0, x, 0, x, 1); }

// x of the first point of every line in list order.
std::vector<double> line_xs() {
  std::vector<double> out;
  ElemHeader* it;
  for (elem_first(&it); it; elem_next(&it))
    if (auto* l = line_at(it)) out.push_back(l->p1.x);
  return out;
}

std::string undo_back_output() {
  testing::internal::CaptureStdout();
  undo_step_back();
  return testing::internal::GetCapturedStdout();
}

std::string undo_forward_output() {
  testing::internal::CaptureStdout();
  undo_step_forward();
  return testing::internal::GetCapturedStdout();
}

TEST_F(Undo, CreatedLineGoesAndComesBackAsLastElement) {
  RecordingUi rec;
  add_line(1);
  add_line(2);
  undo_record(UNDO_CREATED, 1);
  add_line(3);  // not part of any step
  EXPECT_EQ(rec.calls, (std::vector<std::string>{"undo_button 1"}));

  rec.calls.clear();
  undo_step_back();
  EXPECT_EQ(line_xs(), (std::vector<double>{1, 3}));
  EXPECT_EQ(rec.calls, (std::vector<std::string>{"redo_button 1", "undo_button 0"}));

  rec.calls.clear();
  undo_step_forward();
  EXPECT_EQ(line_xs(), (std::vector<double>{1, 3, 2}));
  EXPECT_EQ(elem_list_tail->previous->next, elem_list_tail);
  EXPECT_EQ(rec.calls, (std::vector<std::string>{"undo_button 1", "redo_button 0"}));
  EXPECT_EQ(undo_forward_output(), "No redo!\n");
}

TEST_F(Undo, ChangeRestoresTheOldStateUnmarkedAndRedoesIt) {
  add_line(0);
  auto* l = line_at(elem_list_tail);
  l->mark = 1;
  l->p2.mark = 1;
  undo_record(UNDO_CHANGE_POINTS, 0);
  l->p1.x = 5;
  l->p2.x = 5;

  undo_step_back();
  ASSERT_EQ(elem_count(), 1);
  auto* old = line_at(elem_list_head);
  EXPECT_NE(old, l);
  EXPECT_EQ(old->p1.x, 0);
  EXPECT_EQ(old->mark, 0);
  EXPECT_EQ(old->p1.mark + old->p2.mark, 0);

  undo_step_forward();
  ASSERT_EQ(elem_count(), 1);
  EXPECT_EQ(elem_list_head, l);
  EXPECT_EQ(l->p1.x, 5);
}

TEST_F(Undo, AnElementSavedAfterTheStepWasRecordedComesBackWithIt) {
  // A change step (the first line marked) and a creation step (the second
  // line created), each joined afterwards by the other line; both lines
  // are then changed in place. An element already in the step is not saved
  // twice.
  const auto sorted_xs = [] {
    std::vector<double> xs = line_xs();
    std::sort(xs.begin(), xs.end());
    return xs;
  };
  for (int mode : {UNDO_CHANGE, UNDO_CREATED}) {
    SCOPED_TRACE(mode);
    undo_record(UNDO_CLEAR, 0);
    while (elem_list_head) {
      elem_list_head->mark = 1;
      elem_purge_marked();
    }
    add_line(0);
    add_line(1);
    auto* first = line_at(elem_list_head);
    auto* second = line_at(elem_list_tail);
    LineElem* in_step = mode == UNDO_CHANGE ? first : second;
    LineElem* joins = mode == UNDO_CHANGE ? second : first;
    first->mark = mode == UNDO_CHANGE ? 1 : 0;
    joins->p1.mark = 1;
    undo_record(mode, 1);
    first->mark = 0;
    EXPECT_TRUE(undo_save_element(joins));
    EXPECT_TRUE(undo_save_element(joins));
    EXPECT_TRUE(undo_save_element(in_step));
    first->p1.x = 10;
    second->p1.x = 11;

    undo_step_back();
    // A created line goes; a changed or saved one comes back as it was,
    // without point marks.
    EXPECT_EQ(sorted_xs(), mode == UNDO_CHANGE ? (std::vector<double>{0, 1}) : (std::vector<double>{0}));
    for (ElemHeader* e = elem_list_head; e; e = e->next) EXPECT_EQ(line_at(e)->p1.mark, 0);
    undo_step_forward();
    EXPECT_EQ(sorted_xs(), (std::vector<double>{10, 11}));
    // Only the newest step in force takes elements.
    undo_step_back();
    EXPECT_FALSE(undo_save_element(elem_list_head));
  }
  undo_record(UNDO_CLEAR, 0);
  EXPECT_FALSE(undo_save_element(elem_list_head));
}

TEST_F(Undo, DeletedElementsComeBackAtTheEndInTheirOrder) {
  elem_new_arc(0, 0, 0, 1, 0, 1, 1, 6.283185307179586, 0, 0);
  add_line(7);
  elem_new_arc(0, 0, 0, 2, 0, 1, 1, 6.283185307179586, 0, 0);
  elem_list_head->mark = 1;
  elem_list_tail->mark = 1;
  undo_record(UNDO_DELETE, 0);
  elem_purge_marked();
  ASSERT_EQ(elem_count(), 1);

  undo_step_back();
  auto els = elements();
  ASSERT_EQ(els.size(), 3u);
  EXPECT_EQ(els[0]->kind, ELEM_LINE);
  EXPECT_EQ(elem_as<ArcElem>(els[1])->centre.x, 1);
  EXPECT_EQ(elem_as<ArcElem>(els[2])->centre.x, 2);
  EXPECT_EQ(els[1]->mark + els[2]->mark, 0);

  undo_step_forward();
  EXPECT_EQ(elem_count(), 1);
}

TEST_F(Undo, CutLineUndoesToTheOriginalOnly) {
  add_line(0);
  ElemHeader* original = elem_list_tail;
  original->mark = 1;
  undo_record(UNDO_CHANGE, 0);
  elem_new_line(0, 1, 0, 0, 0, 0, 0.5);
  undo_mark_element(elem_list_tail);
  EXPECT_EQ(undo_in_current_step(elem_list_tail), 1);
  elem_new_line(0, 1, 0, 0, 0.5, 0, 1);
  undo_mark_element(elem_list_tail);
  elem_purge_marked();
  ASSERT_EQ(elem_count(), 2);

  undo_step_back();
  ASSERT_EQ(elem_count(), 1);
  auto* l = line_at(elem_list_head);
  EXPECT_EQ(l->p2.y, 1);
  EXPECT_EQ(l->mark, 0);

  undo_step_forward();
  auto els = elements();
  ASSERT_EQ(els.size(), 2u);
  EXPECT_EQ(line_at(els[0])->p2.y, 0.5);
  EXPECT_EQ(line_at(els[1])->p1.y, 0.5);
}

// A change of an element that an earlier step created: the saved copy carries
// the creation bit too, so both steps undo and redo in turn.
TEST_F(Undo, ChangeOfACreatedElementUndoesThroughBothSteps) {
  add_line(0);
  undo_record(UNDO_CREATED, 1);
  elem_list_tail->mark = 1;
  undo_record(UNDO_CHANGE, 0);
  line_at(elem_list_tail)->p1.x = 9;
  elem_list_tail->mark = 0;

  undo_step_back();
  EXPECT_EQ(line_xs(), (std::vector<double>{0}));
  undo_step_back();
  EXPECT_EQ(elem_count(), 0);
  undo_step_forward();
  EXPECT_EQ(line_xs(), (std::vector<double>{0}));
  undo_step_forward();
  EXPECT_EQ(line_xs(), (std::vector<double>{9}));
}

TEST_F(Undo, ThirtyThreeStepsKeepTheNewestThirtyTwo) {
  RecordingUi rec;
  for (int i = 0; i < 33; ++i) {
    add_line(i);
    undo_record(UNDO_CREATED, 1);
  }
  EXPECT_EQ(undo_used, 32);
  for (int i = 0; i < 32; ++i) EXPECT_EQ(undo_back_output(), "") << i;
  // The first line belonged to the dropped step; its bit now serves the
  // newest step, which must not take the first line with it.
  EXPECT_EQ(line_xs(), (std::vector<double>{0}));
  EXPECT_EQ(rec.calls_starting("undo_button").back(), "undo_button 0");
  EXPECT_EQ(undo_back_output(), "No undo!\n");
  EXPECT_EQ(line_xs(), (std::vector<double>{0}));

  for (int i = 0; i < 32; ++i) undo_step_forward();
  EXPECT_EQ(elem_count(), 33);
}

TEST_F(Undo, NewStepAfterUndoDiscardsTheRedoHistory) {
  RecordingUi rec;
  add_line(1);
  undo_record(UNDO_CREATED, 1);
  add_line(2);
  elem_list_tail->mark = 1;
  undo_record(UNDO_CHANGE, 0);
  line_at(elem_list_tail)->p1.x = 3;
  elem_list_tail->mark = 0;
  undo_step_back();  // line 2 back, line 3 in the step list
  EXPECT_EQ(line_xs(), (std::vector<double>{1, 2}));

  rec.calls.clear();
  add_line(4);
  undo_record(UNDO_CREATED, 1);
  EXPECT_EQ(rec.calls_starting("redo_button"), (std::vector<std::string>{"redo_button 0"}));
  EXPECT_EQ(undo_used, 2);
  EXPECT_EQ(undo_undone, 0);
  EXPECT_EQ(undo_forward_output(), "No redo!\n");
  // The restored copy of line 2 lost the discarded step's bit, so later
  // steps that reuse the bit leave it alone.
  undo_step_back();
  EXPECT_EQ(line_xs(), (std::vector<double>{1, 2}));
  undo_step_back();
  EXPECT_EQ(line_xs(), (std::vector<double>{2}));
}

TEST_F(Undo, OtherModesRecordNothingButStillDiscardRedo) {
  add_line(1);
  undo_record(UNDO_CREATED, 1);
  undo_step_back();
  undo_record(7, 0);
  EXPECT_EQ(undo_used, 0);
  EXPECT_EQ(undo_undone, 0);
  EXPECT_EQ(undo_forward_output(), "No redo!\n");
  // The low 8 bits count: 256 + 1 is a creation step.
  add_line(2);
  undo_record(256 + UNDO_CREATED, 1);
  EXPECT_EQ(undo_used, 1);
}

// A piece given to "the newest step" when no step is in force under the
// remembered bit: after the redo history was discarded (the bit is free and
// the next step takes it), while a step is taken back, and with no step.
// The piece must stay out of every step, so a later undo leaves it alone.
TEST_F(Undo, APieceJoinsOnlyTheNewestStepInForce) {
  struct Case {
    const char* name;
    void (*before)();
  } cases[] = {
      {"redo history discarded",
       [] {
         undo_step_back();
         undo_record(7, 0);
       }},
      {"newest step taken back", [] { undo_step_back(); }},
      {"history cleared", [] { undo_record(UNDO_CLEAR, 0); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    undo_record(UNDO_CLEAR, 0);
    drawing_free();
    add_line(1);
    undo_record(UNDO_CREATED, 1);
    add_line(2);
    undo_record(UNDO_CREATED, 1);
    c.before();
    add_line(3);
    EXPECT_EQ(undo_mark_element(elem_list_tail), 0u);
    // A new step may take the freed bit: undoing it takes only its own line.
    add_line(4);
    undo_record(UNDO_CREATED, 1);
    undo_step_back();
    std::vector<double> xs = line_xs();
    EXPECT_NE(std::find(xs.begin(), xs.end(), 3.0), xs.end());
    EXPECT_EQ(std::find(xs.begin(), xs.end(), 4.0), xs.end());
  }
}

TEST_F(Undo, CreatedStepWithTooLargeCountTakesTheWholeList) {
  add_line(1);
  add_line(2);
  undo_record(UNDO_CREATED, 5);
  for (ElemHeader* e : elements()) EXPECT_EQ(undo_in_current_step(e), 1);
  undo_step_back();
  EXPECT_EQ(elem_count(), 0);
}

TEST_F(Undo, PointStretchSavesOnlyTheWallWithAMarkedVertex) {
  double c[24] = {};
  elem_new_wall(0, 0, 0, c, 0, nullptr, 0, nullptr, "", 0, 0, 0, 0, 0, 0, 0);
  auto* w = elem_as<WallElem>(elem_list_tail);
  add_line(1);
  w->corner[2].mark = 1;
  undo_record(UNDO_CHANGE_POINTS, 0);
  EXPECT_EQ(undo_with_point_marks, 0);
  const UndoStep& step = undo_steps[0];
  ASSERT_NE(step.head, nullptr);
  EXPECT_EQ(step.head, step.tail);
  EXPECT_EQ(step.head->kind, ELEM_WALL);
  EXPECT_EQ(elem_has_marked_point(step.head), 0);
  EXPECT_EQ(undo_in_current_step(w), 1);
  EXPECT_EQ(undo_in_current_step(elem_list_tail), 0);
  // The plain change mode ignores point marks.
  undo_record(UNDO_CHANGE, 0);
  EXPECT_EQ(undo_steps[1].head, nullptr);
}

// Scans that walk the list (the hover scan) resume only while the list's
// generation stays; undo and redo rebuild the list, so they must change it.
TEST_F(Undo, SwapsChangeTheListGenerationAndClearDropsTheBits) {
  add_line(1);
  undo_record(UNDO_CREATED, 1);
  uint32_t generation = elem_list_generation;
  undo_step_back();
  EXPECT_NE(elem_list_generation, generation);
  generation = elem_list_generation;
  undo_step_forward();
  EXPECT_NE(elem_list_generation, generation);
  undo_record(UNDO_CLEAR, 0);
  EXPECT_EQ(elem_list_tail->undo_mask, 0u);
  EXPECT_EQ(undo_last_mask, 0u);
}

// Clearing the history walks the drawing only while a step is in force, so
// no element may ever carry the bit of a step that is gone: a later step
// given that bit would take the element with it. Random edits, copies,
// undos, redos and overflows keep every bit in the drawing one of a step
// in force.
TEST_F(Undo, TheDrawingCarriesOnlyBitsOfStepsInForce) {
  std::mt19937 rng(11);
  auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
  auto mark_some = [&] {
    for (ElemHeader* e : elements()) e->mark = pick(3) == 0 ? 1 : 0;
  };
  for (int round = 0; round < 3000; ++round) {
    switch (pick(8)) {
      case 0:
      case 1:
        add_line(round);
        undo_record(UNDO_CREATED, 1);
        break;
      case 2:
        mark_some();
        undo_record(UNDO_CHANGE, 0);
        for (ElemHeader* e : elements())
          if (e->mark == 1) line_at(e)->p2.y += 1;
        break;
      case 3:
        mark_some();
        undo_record(UNDO_DELETE, 0);
        elem_purge_marked();
        break;
      case 4:
        if (elem_list_head) elem_append(*elements()[pick(elem_count())]);  // the copy keeps the mask
        break;
      case 5:
        undo_back_output();
        break;
      case 6:
        undo_forward_output();
        break;
      case 7:
        if (pick(20) == 0) undo_record(UNDO_CLEAR, 0);
        break;
    }
    for (ElemHeader* e : elements()) e->mark = 0;
    uint32_t in_force = 0;
    for (int i = 0; i < undo_used; ++i) in_force |= undo_steps[i].mask;
    for (ElemHeader* e : elements())
      ASSERT_EQ(e->undo_mask & ~in_force, 0u) << "round " << round << ", " << int{undo_used} << " steps";
  }
}

TEST_F(Undo, UndoMarksTheDrawingModified) {
  add_line(1);
  undo_record(UNDO_CREATED, 1);
  drawing_modified = 0;
  undo_step_back();
  EXPECT_EQ(drawing_modified, 1);
}

}  // namespace
