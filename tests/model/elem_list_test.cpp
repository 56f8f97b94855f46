#include <gtest/gtest.h>

#include "support/model_fixture.h"
#include "support/test_records.h"

namespace {

using ElemList = ModelTest;

void add_lines(int n) {
  for (int i = 0; i < n; ++i) elem_new_line(0, 0, 0, i, 0, i, 1);
}

// Walks the list both ways and checks that the links agree with head and tail.
void expect_consistent() {
  ElemHeader* prev = nullptr;
  int forward = 0;
  for (ElemHeader* e = elem_list_head; e; e = e->next) {
    EXPECT_EQ(e->previous, prev);
    prev = e;
    ++forward;
  }
  EXPECT_EQ(prev, elem_list_tail);
  int backward = 0;
  for (ElemHeader* e = elem_list_tail; e; e = e->previous) ++backward;
  EXPECT_EQ(forward, backward);
  EXPECT_EQ(forward, elem_count());
}

TEST_F(ElemList, AppendToEmptyMakesHeadAndTail) {
  ASSERT_EQ(elem_new_line(3, 1, 2, 0, 0, 1, 2), 1);
  ASSERT_NE(elem_list_head, nullptr);
  EXPECT_EQ(elem_list_head, elem_list_tail);
  EXPECT_EQ(elem_list_head->next, nullptr);
  EXPECT_EQ(elem_list_head->previous, nullptr);
  EXPECT_EQ(drawing_modified, 1);
  EXPECT_EQ(elem_list_tail->layer, 3);
  EXPECT_EQ(elem_list_tail->pen, 1);
  EXPECT_EQ(elem_list_tail->line_type, 2);
}

TEST_F(ElemList, RemoveLast) {
  elem_remove_last();  // empty list: nothing happens
  EXPECT_EQ(elem_list_head, nullptr);

  add_lines(1);
  drawing_modified = 0;
  elem_remove_last();
  EXPECT_EQ(elem_list_head, nullptr);
  EXPECT_EQ(elem_list_tail, nullptr);
  EXPECT_EQ(drawing_modified, 0);  // removing the last element leaves the flag

  add_lines(3);
  ElemHeader* second = elem_list_head->next;
  uint32_t generation = elem_list_generation;
  elem_remove_last();
  EXPECT_EQ(elem_list_tail, second);
  EXPECT_EQ(second->next, nullptr);
  EXPECT_NE(elem_list_generation, generation);
  expect_consistent();
}

TEST_F(ElemList, PurgeMarked) {
  add_lines(5);
  drawing_modified = 0;
  elem_purge_marked();  // nothing marked
  EXPECT_EQ(elem_count(), 5);
  EXPECT_EQ(drawing_modified, 0);

  auto all = elements();
  all[0]->mark = 1;
  all[2]->mark = 1;
  all[4]->mark = 1;
  const uint32_t generation = elem_list_generation;
  elem_purge_marked();
  EXPECT_EQ(drawing_modified, 1);
  EXPECT_NE(elem_list_generation, generation);
  EXPECT_EQ(elements(), (std::vector<ElemHeader*>{all[1], all[3]}));
  expect_consistent();

  for (ElemHeader* e : elements()) e->mark = 1;
  elem_purge_marked();
  EXPECT_EQ(elem_list_head, nullptr);
  EXPECT_EQ(elem_list_tail, nullptr);
}

TEST_F(ElemList, CountsAndLayerOfMarked) {
  add_lines(4);
  auto all = elements();
  all[1]->mark = 1;
  all[3]->mark = 1;
  EXPECT_EQ(elem_count(), 4);
  EXPECT_EQ(elem_count_marked(), 2);
  drawing_modified = 0;
  elem_set_layer_marked(742);
  EXPECT_EQ(all[1]->layer, 742);
  EXPECT_EQ(all[3]->layer, 742);
  EXPECT_EQ(all[0]->layer, 0);
  EXPECT_EQ(drawing_modified, 0);
}

TEST_F(ElemList, AppendCopyClearsUndoKeepsTheRest) {
  PatternElem pattern = test_pattern(PATTERN_ONE_LINE, {{0, 0}, {1, 0}, {1, 1}, CONTOUR_END});
  pattern.layer = 5;
  pattern.pen = 2;
  pattern.line_type = 1;
  pattern.angle1 = 0.3;
  pattern.pen2 = 1;
  pattern.line_type2 = 1;
  pattern.spacing2 = 0;
  pattern.r = 0.1;
  pattern.g = 0.2;
  pattern.b = 0.3;
  elem_append(pattern);
  ElemHeader* src = elem_list_tail;
  src->undo_mask = 0x80000001u;
  src->mark = 1;
  src->group = 17;
  ASSERT_EQ(elem_append_copy(src), 1);
  auto* copy = elem_as<PatternElem>(elem_list_tail);
  ASSERT_NE(copy, nullptr);
  ASSERT_NE(copy, src);
  EXPECT_EQ(copy->undo_mask, 0u);
  EXPECT_EQ(copy->mark, 1);
  EXPECT_EQ(copy->group, 17);
  EXPECT_EQ(copy->layer, 5);
  EXPECT_EQ(copy->size, src->size);
  ASSERT_EQ(copy->points.size(), 4u);
  // A deep copy: changing the copy leaves the original.
  copy->points[1].x = 7;
  EXPECT_EQ(elem_as<PatternElem>(src)->points[1].x, 1);
  expect_consistent();
}

TEST_F(ElemList, PenOrGuide) {
  EXPECT_EQ(elem_pen_or_guide(3), 3);
  EXPECT_EQ(elem_pen_or_guide(0x103), 3);
  guide_mode = 1;
  EXPECT_EQ(elem_pen_or_guide(3), PEN_GUIDE);
}

TEST_F(ElemList, UnlinkAndRelinkKeepsRecords) {
  add_lines(3);
  auto all = elements();
  const uint32_t generation = elem_list_generation;
  elem_unlink(all[1]);
  EXPECT_NE(elem_list_generation, generation);
  expect_consistent();
  elem_link_tail(all[1]);
  EXPECT_EQ(elements(), (std::vector<ElemHeader*>{all[0], all[2], all[1]}));
  expect_consistent();
}

}  // namespace
