#pragma once

// Display tests start from the built-in defaults with the screen slots
// installed, no view stores, the plan view and no hooks; a test that wants
// pixels gives view 0 a store with offscreen(). RecordingOutdev replaces
// all seven slots by recorders for its lifetime; RecordingDevice
// (support/recording_device.h) records the same calls as lines of text.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "display/display_state.h"
#include "display/draw.h"
#include "display/font.h"
#include "display/outdev.h"
#include "display/view.h"
#include "display/view_commands.h"
#include "model/settings.h"
#include "model/view_rec.h"
#include "support/model_fixture.h"

class DisplayTest : public ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    display_state_reset();
    view_init(0);
    view_type = VIEW_PLAN;
    view_camera = ViewCamera{};
    draw_refresh_now = 1;
    display_hooks = DisplayHooks{};
    view_dirty = DirtyRect{};
    extents = ViewExtents{};
    marked_extents = ViewExtents{};
    pointer_world = Point2{};
    font_stroke_dir = std::string(KAVRO_STAGE_DIR) + "/dat/fonts";
  }
  void TearDown() override {
    view_free_all();
    font_slots_clear();
    ModelTest::TearDown();
  }

  // View 0 with a store of w x h pixels at the current scale around (cx, cy).
  static void offscreen(int w, int h, double cx = 0.0, double cy = 0.0) {
    views[0].xmin = views[0].xmax = cx;
    views[0].ymin = views[0].ymax = cy;
    ASSERT_TRUE(view_offscreen(0, w, h));
  }
};

// One slot call: its name, pen and line type (fill: none), the numbers in
// argument order, the draw mode and active flag at the time, and the text
// arguments.
struct SlotCall {
  std::string slot;
  int pen = -1, lt = -1;
  std::vector<double> v;
  int draw_mode = 0;
  int active = 0;
  std::string text;
};

// Its slots find it through the writer context, so a dissolve's guard
// nested inside keeps it recording.
class RecordingOutdev {
 public:
  RecordingOutdev();
  RecordingOutdev(const RecordingOutdev&) = delete;
  RecordingOutdev& operator=(const RecordingOutdev&) = delete;

  std::vector<SlotCall> calls;
  // The calls of one slot.
  std::vector<SlotCall> of(const std::string& slot) const;
  // The slots called, in order, as one text such as "line line arc".
  std::string slots() const;

 private:
  OutdevInstall guard_;
};
