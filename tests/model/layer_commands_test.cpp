#include "model/layer_commands.h"

#include <gtest/gtest.h>

#include "model/scale_ladder.h"
#include "model/settings.h"
#include "support/model_fixture.h"
#include "support/recording_ui.h"

namespace {

using LayerCommands = ModelTest;

void add_lines(int layer, int n) {
  for (int i = 0; i < n; ++i) elem_new_line(layer, 0, 0, 0, 0, 1, 1);
}

int count_on(int layer) {
  int n = 0;
  ElemHeader* it = nullptr;
  for (ElemHeader* e = elem_first(&it); e; e = elem_next(&it)) n += e->layer == layer;
  return n;
}

TEST_F(LayerCommands, UpExchangesElementsRecordsAndCurrentAcrossLists) {
  add_lines(99, 1);
  add_lines(100, 2);
  layers[99].name.set("Walls");
  layers[100].name.set("Doors");
  layers[100].shown = 1;
  cur_layer = 100;
  drawing_modified = 0;
  EXPECT_EQ(layer_exchange_up(cur_layer), 1);
  EXPECT_EQ(count_on(99), 2);
  EXPECT_EQ(count_on(100), 1);
  EXPECT_EQ(layers[99].name, "Doors");
  EXPECT_EQ(layers[100].name, "Walls");
  EXPECT_EQ(layers[99].shown, 1);
  EXPECT_EQ(layers[100].shown, 0);
  EXPECT_EQ(cur_layer, 99);
  EXPECT_EQ(drawing_modified, 1);  // else quitting would not ask to save
  EXPECT_EQ(undo_used, 0);

  EXPECT_EQ(layer_exchange_down(cur_layer), 1);
  EXPECT_EQ(count_on(100), 2);
  EXPECT_EQ(layers[100].name, "Doors");
  EXPECT_EQ(cur_layer, 100);
}

TEST_F(LayerCommands, UpAtTheFirstAndDownAtTheLastChangeNothing) {
  add_lines(0, 1);
  add_lines(999, 1);
  layers[0].name.set("first");
  drawing_modified = 0;
  struct Case {
    int layer;
    int (*step)(int);
  } cases[] = {{0, layer_exchange_up},
               {999, layer_exchange_down},
               {1007, layer_exchange_up},
               {-1, layer_exchange_down}};
  for (const Case& c : cases) {
    cur_layer = c.layer;
    EXPECT_EQ(c.step(c.layer), 0) << c.layer;
    EXPECT_EQ(cur_layer, c.layer);
  }
  EXPECT_EQ(count_on(0), 1);
  EXPECT_EQ(count_on(999), 1);
  EXPECT_EQ(layers[0].name, "first");
  EXPECT_EQ(drawing_modified, 0);
}

TEST_F(LayerCommands, DeleteAsksRemovesAsOneUndoStepAndEmptiesTheName) {
  add_lines(4, 3);
  add_lines(5, 1);
  layers[4].name.set("Furniture");
  RecordingUi ui;
  ui.answers = {1};
  EXPECT_EQ(layer_delete_elements(4), 1);
  EXPECT_EQ(ui.calls_starting("ask"),
            std::vector<std::string>{"ask This layer is containing drawing elements. [Delete] [Cancel]"});
  EXPECT_EQ(count_on(4), 0);
  EXPECT_EQ(count_on(5), 1);
  EXPECT_EQ(layers[4].name, "");
  undo_step_back();
  EXPECT_EQ(count_on(4), 3);
  EXPECT_EQ(count_on(5), 1);
}

TEST_F(LayerCommands, DeleteCancelledOrClosedKeepsEverything) {
  add_lines(4, 3);
  layers[4].name.set("Furniture");
  for (int answer : {2, 0}) {
    RecordingUi ui;
    ui.answers = {answer};
    EXPECT_EQ(layer_delete_elements(4), 0);
    EXPECT_EQ(count_on(4), 3);
    EXPECT_EQ(layers[4].name, "Furniture");
    EXPECT_EQ(undo_used, 0);
  }
}

TEST_F(LayerCommands, DeleteOfAnEmptyLayerAsksNothingButStillRecordsAStep) {
  add_lines(1, 1);
  layers[2].name.set("Empty");
  RecordingUi ui;
  EXPECT_EQ(layer_delete_elements(2), 1);
  EXPECT_TRUE(ui.calls_starting("ask").empty());
  EXPECT_EQ(layers[2].name, "");
  EXPECT_EQ(undo_used, 1);
  EXPECT_EQ(count_on(1), 1);
}

TEST_F(LayerCommands, SetsSaveRecallAndUpdateByName) {
  cur_layer = 5;
  layers[7].shown = 1;
  EXPECT_EQ(layer_set_save("A"), 1);
  cur_layer = 9;
  layers[7].shown = 0;
  layers[8].shown = 1;
  EXPECT_EQ(layer_set_recall("A"), 1);
  EXPECT_EQ(cur_layer, 5);
  EXPECT_EQ(layers[7].shown, 1);
  EXPECT_EQ(layers[8].shown, 0);

  // Saving under a known name updates that set instead of adding one.
  cur_layer = 6;
  EXPECT_EQ(layer_set_save("A"), 0);
  cur_layer = 0;
  layer_set_recall("A");
  EXPECT_EQ(cur_layer, 6);
  int sets = 0;
  for (LayerSet* s = layer_sets; s; s = s->next) ++sets;
  EXPECT_EQ(sets, 2);

  // An unknown name changes nothing.
  EXPECT_EQ(layer_set_recall("nope"), 0);
  EXPECT_EQ(cur_layer, 6);
}

TEST_F(LayerCommands, DeleteShowsTheNeighbourAndNeverTheFirstSet) {
  for (const char* name : {"A", "B", "C"}) layer_set_save(name);
  layers[3].shown = 1;
  std::string next;
  EXPECT_FALSE(layer_set_delete("Default", &next));
  EXPECT_TRUE(layer_set_delete("B", &next));
  EXPECT_EQ(next, "C");
  EXPECT_TRUE(layer_set_delete("C", &next));
  EXPECT_EQ(next, "A");           // the last one went: the one before it
  EXPECT_EQ(layers[3].shown, 1);  // the shown name is not recalled
  EXPECT_FALSE(layer_set_delete("C", &next));
  EXPECT_EQ(layer_sets->name, "Default");
  EXPECT_EQ(layer_sets->next->name, "A");
  EXPECT_EQ(layer_sets->next->next, nullptr);

  // A first set under another name is protected as well.
  layer_sets->name.set("Mine");
  EXPECT_FALSE(layer_set_delete("Mine", &next));
}

TEST_F(LayerCommands, NumbersAreRightAligned) {
  EXPECT_EQ(layer_number_text(5), "  5");
  EXPECT_EQ(layer_number_text(42), " 42");
  EXPECT_EQ(layer_number_text(342), "342");
}

TEST_F(LayerCommands, LadderStepsToTheNeighboursAndStaysAtTheEnds) {
  view_scale_ladder_metric();
  EXPECT_DOUBLE_EQ(scale_ladder_step(150, -1), 100);
  EXPECT_DOUBLE_EQ(scale_ladder_step(150, 1), 200);
  EXPECT_DOUBLE_EQ(scale_ladder_step(100, 1), 200);
  EXPECT_DOUBLE_EQ(scale_ladder_step(scale_ladder[0], -1), scale_ladder[0]);
  EXPECT_DOUBLE_EQ(scale_ladder_step(scale_ladder[SCALE_LADDER_SIZE - 1], 1),
                   scale_ladder[SCALE_LADDER_SIZE - 1]);
  view_scale_ladder_imperial();
  EXPECT_DOUBLE_EQ(scale_ladder_step(48, 1), 96);
}

TEST_F(LayerCommands, LineTypePeriodCountsOnlyTheUsedPairs) {
  LineTypeDef t;
  const double lengths[] = {1, 0.5, 2, 0.5, 9, 9};
  for (int i = 0; i < 3; ++i) {
    t.dash[i] = lengths[2 * i];
    t.gap[i] = lengths[2 * i + 1];
  }
  const double expected[] = {0.0, 1.5, 4.0, 22.0};
  for (int pairs = 0; pairs <= 3; ++pairs) {
    t.pairs = static_cast<uint8_t>(pairs);
    EXPECT_DOUBLE_EQ(line_type_period(t), expected[pairs]) << pairs;
  }
}

}  // namespace
