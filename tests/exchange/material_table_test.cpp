#include "exchange/material_table.h"

#include <gtest/gtest.h>

#include "model/settings.h"
#include "support/model_fixture.h"
#include "support/recording_ui.h"
#include "support/temp_folder.h"

namespace {

TEST(MaterialIdentifier, MakesNamesSafe) {
  const struct {
    const char *name, *id;
  } cases[] = {
      {"Glas", "Glas"},
      {"3ds_box 1", "mat_3ds_box_1"},
      {"tile-red", "tile_red"},
      {"3ds_Box", "mat_3ds_Box"},
      {"", "mat_"},
      {"_x", "mat__x"},
      {"a\xe4"
       "b",
       "a_b"},
      {"Aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", "Aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"}};
  for (const auto& c : cases) EXPECT_EQ(mat_identifier(c.name), c.id) << c.name;
}

class MaterialTable : public ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    dialog_path = dir.path().string();
    base_dir = dir.path().string();
    // Lines: r g b transparency 1 reflection highlight refraction metallic
    // ambience texture image repeat sizes offsets special path.
    dir.write("mat/Glas", "0.5\n0.6\n0.7\n0.8\n1.000000\n0.2\n0.3\n1\n0\n0.1\n0\n\n0\n1\n1\n0\n0\n0\n\n");
    dir.write("mat/Tiles", "1\n0\n0\n0\n1.000000\n0\n0\n0\n0\n0\n2\nmissing.png\n1\n0.5\n0.25\n");
    dir.write("mat/Short", "0.25\n");
    mat_table_init();
  }
  void TearDown() override {
    mat_table_free();
    ModelTest::TearDown();
  }
  TempFolder dir;
  RecordingUi ui;
};

TEST_F(MaterialTable, RegistersOnceAndGrowsByTen) {
  for (int i = 0; i < 3; ++i) EXPECT_EQ(mat_register("Glas"), 1);
  ASSERT_EQ(mat_count, 1);
  EXPECT_EQ(mat_table[0].use_count, 3);
  EXPECT_DOUBLE_EQ(mat_table[0].b, 0.7);
  EXPECT_DOUBLE_EQ(mat_table[0].reflection, 0.2);
  EXPECT_DOUBLE_EQ(mat_table[0].ambience, 0.1);
  EXPECT_EQ(mat_table[0].refraction, 1);
  EXPECT_EQ(mat_table[0].identifier_length, 4);
  EXPECT_EQ(mat_table[0].even, 1);

  // Unknown names: answered "Use default material", they keep 0.75 grey.
  for (int i = 0; i < 10; ++i) ui.answers.push_back(1);
  for (int i = 1; i <= 10; ++i) ASSERT_EQ(mat_register("m" + std::to_string(i)), 1);
  EXPECT_EQ(mat_count, 11);
  EXPECT_EQ(mat_capacity, 20);
  EXPECT_DOUBLE_EQ(mat_table[0].b, 0.7);
  EXPECT_DOUBLE_EQ(mat_table[5].r, 0.75);
  EXPECT_EQ(mat_index("m3"), 3);
  EXPECT_EQ(mat_index("never"), 0);
  EXPECT_EQ(ui.calls_starting("ask Material  > m1 <  not found!").size(), 1u);
}

TEST_F(MaterialTable, MissingFileAndImageAnswers) {
  // "Cancel" leaves the slot uncounted.
  ui.answers = {2};
  EXPECT_EQ(mat_register("Nowhere"), 0);
  EXPECT_EQ(mat_count, 0);

  // A textured material whose image is missing: untextured on "Use ...".
  ui.answers = {1};
  EXPECT_EQ(mat_register("Tiles"), 1);
  EXPECT_EQ(mat_table[0].texture_mode, 0);
  EXPECT_DOUBLE_EQ(mat_table[0].size_x, 0.5);
  EXPECT_EQ(ui.calls_starting("ask Image  > missing.png <  not found!").size(), 1u);
  // Asked once per export: the second use finds the entry.
  EXPECT_EQ(mat_register("Tiles"), 1);
  EXPECT_EQ(ui.calls_starting("ask Image").size(), 1u);

  // With the image there, the texture stays.
  mat_table_free();
  mat_table_init();
  dir.write("tex/missing.png", "x");
  EXPECT_EQ(mat_register("Tiles"), 1);
  EXPECT_EQ(mat_table[0].texture_mode, 2);

  // A short file: what it lacks reads as 0, the sizes as 1, special as the folder.
  EXPECT_EQ(mat_register("Short"), 1);
  const MaterialDef& s = mat_table[1];
  EXPECT_DOUBLE_EQ(s.r, 0.25);
  EXPECT_DOUBLE_EQ(s.g, 0.0);
  EXPECT_DOUBLE_EQ(s.size_y, 1.0);
  EXPECT_EQ(s.special_path, "dat/special/");
}

TEST_F(MaterialTable, CollidingNamesGetDistinctIdentifiersAndLongNamesUseTheFirst) {
  ui.answers = {1, 1, 1};
  mat_register("a b");
  mat_register("a-b");
  mat_register("a+b");
  EXPECT_EQ(mat_table[0].identifier, "a_b");
  EXPECT_EQ(mat_table[1].identifier, "a_b_2");
  EXPECT_EQ(mat_table[2].identifier, "a_b_3");

  EXPECT_EQ(mat_register(std::string(79, 'x')), 1);
  EXPECT_EQ(mat_count, 3);
  EXPECT_EQ(mat_table[0].use_count, 2);
}

}  // namespace
