// The built-in defaults: what must hold whatever the values are.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "model/file_test_util.h"
#include "model/files/prefs.h"
#include "model/settings.h"
#include "support/model_fixture.h"

namespace {

using Defaults = ModelTest;

TEST_F(Defaults, PensAreNamedDistinctAndGrowThicker) {
  std::set<std::string> names;
  for (int i = 0; i < PEN_COUNT; ++i) {
    SCOPED_TRACE(i);
    const PenDef& p = pens[i];
    EXPECT_FALSE(std::string(p.name.c_str()).empty());
    names.insert(p.name.c_str());
    EXPECT_GT(p.width, 0.0);
    if (i > 0) {
      EXPECT_GT(p.width, pens[i - 1].width);
    }
    for (double c : {p.r, p.g, p.b}) {
      EXPECT_GE(c, 0.0);
      EXPECT_LE(c, 1.0);
    }
  }
  EXPECT_EQ(names.size(), std::size_t(PEN_COUNT));
}

TEST_F(Defaults, LineTypePeriodsAreTheirDashesAndGaps) {
  for (int i = 0; i < LINE_TYPE_COUNT; ++i) {
    SCOPED_TRACE(i);
    const LineTypeDef& t = line_types[i];
    EXPECT_FALSE(std::string(t.name.c_str()).empty());
    ASSERT_LE(t.pairs, 3);
    EXPECT_EQ(t.pairs == 0, t.period == 0.0);  // continuous
    double sum = 0;
    for (int k = 0; k < 3; ++k) {
      if (k < t.pairs) {
        EXPECT_GT(t.dash[k], 0.0);
        EXPECT_GT(t.gap[k], 0.0);
      } else {
        EXPECT_EQ(t.dash[k], 0.0);
        EXPECT_EQ(t.gap[k], 0.0);
      }
      sum += t.dash[k] + t.gap[k];
    }
    EXPECT_NEAR(t.period, sum, 1e-12);
  }
}

TEST_F(Defaults, PaperSizesAreUprightAndANewDrawingPutsCustomBack) {
  for (int i = 0; i < PAPER_SIZE_COUNT; ++i) {
    SCOPED_TRACE(i);
    EXPECT_FALSE(std::string(paper_sizes[i].display_name.c_str()).empty());
    EXPECT_GT(paper_sizes[i].width, 0.0);
    EXPECT_GE(paper_sizes[i].height, paper_sizes[i].width);
  }
  const PaperSize custom = paper_sizes[0];
  paper_sizes[0].width = 1000;
  paper_sizes[0].display_name = "Mine";
  drawing_reset();
  EXPECT_EQ(std::string(paper_sizes[0].display_name.c_str()), custom.display_name.c_str());
  EXPECT_DOUBLE_EQ(paper_sizes[0].width, custom.width);
  EXPECT_DOUBLE_EQ(paper_sizes[0].height, custom.height);
}

// A settings file of the defaults, read over other valid values, gives the
// defaults back: none of them falls outside what the reader accepts.
TEST_F(Defaults, SettingsFileOfTheDefaultsReadsBackWhole) {
  const ByteVec defaults = written_by(prefs_write_settings_file);
  cur_layer = 12;
  view_type = 2;
  angle_unit = 2;
  length_unit = 3;
  size_unit = 3;
  paper_unit = 1;
  line_types[1].pairs = 2;
  dxf_settings.export_unit = 2;
  select_filter.mode = 3;
  dim_settings.accuracy_architecture = 3;
  print_settings.paper_index = 6;
  plot_settings.plotter_type = 2;
  backup_interval = 15;
  const ReadResult r = read_file_bytes(defaults, 0, KAV_READ_SETTINGS_FILE);
  EXPECT_EQ(r.report.damaged + r.report.unknown, 0);
  EXPECT_EQ(written_by(prefs_write_settings_file), defaults);
}

TEST_F(Defaults, SafeAccessorsForCodesWithoutARecord) {
  EXPECT_EQ(&pen_def(3), &pens[3]);
  const PenDef& guide = pen_def(PEN_GUIDE);
  EXPECT_DOUBLE_EQ(guide.r, 1);
  EXPECT_DOUBLE_EQ(guide.g, 0);
  EXPECT_EQ(&pen_def(200), &pens[0]);
  EXPECT_EQ(line_type_def(LINE_TYPE_PATTERN_POINTS).pairs, 0);
  EXPECT_EQ(line_type_def(LINE_TYPE_PATTERN_FILLING).name, "CONTINUOUS");
  EXPECT_EQ(&line_type_def(2), &line_types[2]);
}

}  // namespace
