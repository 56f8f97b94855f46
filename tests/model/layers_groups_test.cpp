#include <gtest/gtest.h>

#include "model/nls.h"
#include "model/scale_ladder.h"
#include "support/model_fixture.h"
#include "support/recording_ui.h"

namespace {

using LayersGroups = ModelTest;

void add_lines(int n) {
  for (int i = 0; i < n; ++i) elem_new_line(0, 0, 0, 0, 0, 1, 1);
}

TEST_F(LayersGroups, DrawingInitNamesLayersAndResetsTheSets) {
  layers[5].shown = 1;
  cur_layer = 12;
  RecordingUi rec;
  drawing_reset();
  EXPECT_EQ(layers[7].name, "Layer 7");
  EXPECT_EQ(layers[999].name, "Layer 999");
  EXPECT_EQ(layer_list_names[3], "List 3");
  ASSERT_NE(layer_sets, nullptr);
  EXPECT_EQ(layer_sets->name, "Default");
  EXPECT_EQ(layer_sets->next, nullptr);
  EXPECT_EQ(layer_sets->current_layer, 0);
  for (uint8_t s : layer_sets->shown) ASSERT_EQ(s, 0);
  // Shown flags and the current layer belong to the drawing being loaded.
  EXPECT_EQ(layers[5].shown, 1);
  EXPECT_EQ(cur_layer, 12);
  EXPECT_EQ(rec.calls, (std::vector<std::string>{"undo_button 0", "redo_button 0"}));
}

const char* german(const char* key) {
  std::string_view k(key);
  if (k == "Layer") return "Ebene";
  if (k == "List") return "Liste";
  return nullptr;
}

TEST_F(LayersGroups, LayerNamesAreTranslated) {
  nls_set_lookup(german);
  drawing_reset();
  nls_set_lookup(nullptr);
  EXPECT_EQ(layers[12].name, "Ebene 12");
  EXPECT_EQ(layer_list_names[9], "Liste 9");
}

TEST_F(LayersGroups, TemporaryLayersHaveNoRecord) {
  EXPECT_EQ(layer_rec(LAYER_TEMP_3D), nullptr);
  EXPECT_EQ(layer_rec(-1), nullptr);
  EXPECT_EQ(layer_shown(LAYER_TEMP_SYMBOL), 0);
  EXPECT_STREQ(layer_name(LAYER_TEMP_DONE), "");
  EXPECT_NE(layer_rec(999), nullptr);
}

TEST_F(LayersGroups, CountElementsSkipsTemporaryLayers) {
  layer_count_elements();
  for (const LayerRec& l : layers) ASSERT_EQ(l.count, 0);
  elem_new_line(4, 0, 0, 0, 0, 1, 1);
  elem_new_line(4, 0, 0, 0, 0, 1, 1);
  elem_new_line(999, 0, 0, 0, 0, 1, 1);
  elem_new_line(LAYER_TEMP_3D, 0, 0, 0, 0, 1, 1);
  layer_count_elements();
  EXPECT_EQ(layers[4].count, 2);
  EXPECT_EQ(layers[999].count, 1);
  EXPECT_EQ(layers[0].count, 0);
}

TEST_F(LayersGroups, GroupMarkedAndUngroup) {
  add_lines(3);
  group_marked();  // nothing marked: the counter still advances
  EXPECT_EQ(group_counter, 1);
  auto all = elements();
  all[0]->mark = all[2]->mark = 1;
  group_marked();
  EXPECT_EQ(all[0]->group, 2);
  EXPECT_EQ(all[1]->group, 0);
  EXPECT_EQ(all[2]->group, 2);
  EXPECT_EQ(group_max(), 2);
  group_ungroup_marked();
  EXPECT_EQ(group_max(), 0);
}

TEST_F(LayersGroups, GroupLastCreated) {
  EXPECT_EQ(group_last_created(0), 0);
  EXPECT_EQ(group_counter, 0);
  add_lines(2);
  EXPECT_EQ(group_last_created(3), 1);  // only two exist: both grouped
  for (ElemHeader* e : elements()) EXPECT_EQ(e->group, 1);
  add_lines(3);
  EXPECT_EQ(group_last_created(2), 2);
  auto all = elements();
  EXPECT_EQ(all[2]->group, 0);
  EXPECT_EQ(all[3]->group, 2);
  EXPECT_EQ(all[4]->group, 2);
}

TEST_F(LayersGroups, RenumberMarkedKeepsWhoIsGroupedWithWhom) {
  add_lines(6);
  auto all = elements();
  all[0]->group = 9;  // unmarked groups: at most 9
  all[1]->group = 3;
  const uint16_t marked[4] = {5, 5, 0, 7};
  for (int i = 0; i < 4; ++i) {
    all[2 + i]->mark = 1;
    all[2 + i]->group = marked[i];
  }
  group_counter = 40;  // may go down
  group_renumber_marked();
  EXPECT_EQ(all[2]->group, 10);
  EXPECT_EQ(all[3]->group, 10);
  EXPECT_EQ(all[4]->group, 0);
  EXPECT_EQ(all[5]->group, 11);
  EXPECT_EQ(group_counter, 11);
  EXPECT_EQ(all[0]->group, 9);
  EXPECT_EQ(all[1]->group, 3);
}

TEST_F(LayersGroups, CounterWrapNeverHandsOutZeroOrALiveNumber) {
  add_lines(4);
  auto all = elements();
  all[0]->group = 65535;
  all[1]->group = 65535;
  all[2]->group = 400;
  group_counter = 65535;
  all[3]->mark = 1;
  group_marked();
  // Live groups packed to 1 and 2 in list order, the new group after them.
  EXPECT_EQ(all[0]->group, 1);
  EXPECT_EQ(all[1]->group, 1);
  EXPECT_EQ(all[2]->group, 2);
  EXPECT_EQ(all[3]->group, 3);
  EXPECT_EQ(group_counter, 3);

  // Renumbering pasted elements near the top packs the unmarked groups first.
  all[3]->mark = 0;
  all[0]->group = 65534;
  all[1]->group = 65535;
  all[2]->mark = 1;
  all[2]->group = 5;
  all[3]->mark = 1;
  all[3]->group = 6;
  group_renumber_marked();
  EXPECT_EQ(all[0]->group, 1);
  EXPECT_EQ(all[1]->group, 2);
  EXPECT_EQ(all[2]->group, 3);
  EXPECT_EQ(all[3]->group, 4);
  EXPECT_EQ(group_counter, 4);
}

TEST_F(LayersGroups, ScaleLadders) {
  view_scale_ladder_metric();
  EXPECT_EQ(scale_ladder_count, 40);
  EXPECT_DOUBLE_EQ(scale_ladder[0], 0.0001);
  EXPECT_DOUBLE_EQ(scale_ladder[18], 10.0 / 3.0);
  EXPECT_DOUBLE_EQ(scale_ladder[39], 500000.0);
  view_scale_ladder_imperial();
  EXPECT_DOUBLE_EQ(scale_ladder[0], 1.0 / 24576.0);
  EXPECT_DOUBLE_EQ(scale_ladder[11], 1.0 / 12.0);
  EXPECT_DOUBLE_EQ(scale_ladder[18], 10.0 / 3.0);
  EXPECT_DOUBLE_EQ(scale_ladder[21], 12.0);
  EXPECT_DOUBLE_EQ(scale_ladder[39], 12.0 * 262144.0);
  for (int i = 1; i < 40; ++i) EXPECT_LT(scale_ladder[i - 1], scale_ladder[i]);
}

}  // namespace
