#include "model/settings_edit.h"

#include <gtest/gtest.h>

#include "model/file_test_util.h"
#include "model/files/kavfile.h"
#include "model/files/prefs.h"
#include "support/model_fixture.h"

namespace {

using SettingsEdit = ModelTest;

TEST_F(SettingsEdit, LineTypeKeepsAllLengthsAndItsPeriodSurvivesASettingsFile) {
  LineTypeEdit edit;
  edit.number = 3;
  edit.sections = 2;
  edit.name = "dash dot";
  const double lengths[] = {1, 0.5, 2, 0.5, 9, 9};
  for (int i = 0; i < 3; ++i) {
    edit.line[i] = lengths[2 * i];
    edit.space[i] = lengths[2 * i + 1];
  }
  linetype_edit_apply(edit);
  EXPECT_DOUBLE_EQ(line_types[3].period, 4.0);
  EXPECT_EQ(line_types[3].pairs, 2);
  EXPECT_EQ(line_types[3].name, "dash dot");
  EXPECT_DOUBLE_EQ(line_types[3].dash[2], 9);  // stored though not counted
  EXPECT_DOUBLE_EQ(line_types[3].gap[2], 9);

  const ByteVec file = written_by(prefs_write_settings_file);
  model_state_reset();
  EXPECT_NE(line_types[3].period, 4.0);
  read_file_bytes(file, 0, KAV_READ_SETTINGS_FILE);
  EXPECT_DOUBLE_EQ(line_types[3].period, 4.0);
  EXPECT_DOUBLE_EQ(line_types[3].gap[2], 9);

  edit.sections = 0;
  linetype_edit_apply(edit);
  EXPECT_EQ(line_types[3].period, 0.0);
  EXPECT_DOUBLE_EQ(line_types[3].dash[0], 1);
}

TEST_F(SettingsEdit, RevertDropsUnappliedEditsAndApplyWritesThePen) {
  PenEdit edit;
  edit.number = 1;
  pen_edit_revert(edit);
  const double width = pens[1].width;
  edit.width = 7.5;
  edit.colour = {1, 0, 0};
  edit.number = 2;
  pen_edit_revert(edit);  // another pen chosen: the edits of pen 1 are gone
  edit.number = 1;
  pen_edit_revert(edit);
  EXPECT_EQ(edit.width, width);
  EXPECT_EQ(pens[1].width, width);

  edit.width = 0.7;
  edit.name = "thick";
  edit.colour = {0.25, 0.5, 0.75};
  pen_edit_apply(edit);
  EXPECT_EQ(pens[1].width, 0.7);
  EXPECT_EQ(pens[1].name, "thick");
  EXPECT_EQ(pens[1].g, 0.5);

  edit.number = 99;  // never past the table
  pen_edit_apply(edit);
  EXPECT_EQ(edit.number, 0);
  EXPECT_EQ(pens[0].name, "thick");
}

TEST_F(SettingsEdit, ColourTargetsNameTheThreeDisplayColours) {
  EXPECT_EQ(&display_color_of(0), &display_colors.background);
  EXPECT_EQ(&display_color_of(1), &display_colors.active);
  EXPECT_EQ(&display_color_of(2), &display_colors.guide);
  EXPECT_EQ(&display_color_of(7), &display_colors.background);
}

}  // namespace
