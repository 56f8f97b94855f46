#include <gtest/gtest.h>

#include "display/draw.h"
#include "display_fixture.h"
#include "model/elem.h"
#include "model/geom.h"
#include "model/settings_edit.h"
#include "pixels.h"

namespace {

using SettingsApply = DisplayTest;

TEST_F(SettingsApply, AppliedPenAndBackgroundColoursChangeThePixels) {
  elem_new_line(cur_layer, 0, 0, -5, 0, 5, 0);
  offscreen(120, 120);
  draw_all(DRAW_CLEAR);
  const uint32_t before = view_pixel(0, 60, view_wy_to_sy(0));

  PenEdit pen;
  pen_edit_revert(pen);
  pen.colour = {0.0, 1.0, 0.0};
  pen_edit_apply(pen);
  display_color_of(0) = {0.0, 0.0, 1.0};  // background
  view_alloc_palette(0);
  draw_all(DRAW_CLEAR);
  EXPECT_NE(before, 0x00FF00u);
  EXPECT_EQ(view_pixel(0, 60, view_wy_to_sy(0)), 0x00FF00u);
  EXPECT_EQ(view_pixel(0, 5, 5), 0x0000FFu);
}

}  // namespace
