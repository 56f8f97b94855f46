#include <gtest/gtest.h>

#include <string>

#include "display/display_init.h"
#include "display/draw.h"
#include "display/input.h"
#include "input_fixture.h"
#include "model/cleanup.h"
#include "model/consts.h"
#include "model/geom.h"
#include "model/redraw.h"
#include "model/units.h"

namespace {

class CursorTest : public InputTest {
 protected:
  void SetUp() override {
    InputTest::SetUp();
    clean_ = view_pixels(0);
  }
  // Moves the pointer to pixel (x, y) as the motion handler does.
  static void move_to(double x, double y, InputRequest* r = nullptr) {
    pointer_pixel = {x, y};
    input_show_coordinates(r);
  }
  bool changed(int x, int y) const { return view_pixel(0, x, y) != clean_[y * 600 + x]; }
  int changed_count() const {
    const std::vector<uint32_t> now = view_pixels(0);
    int n = 0;
    for (std::size_t i = 0; i < now.size(); ++i) n += now[i] != clean_[i];
    return n;
  }

  std::vector<uint32_t> clean_;
};

TEST_F(CursorTest, CrossWithSnapOffBoxWithSnapOn) {
  snap_on = 0;
  move_to(300, 200);
  EXPECT_TRUE(changed(280, 200));
  EXPECT_TRUE(changed(320, 200));
  EXPECT_FALSE(changed(279, 200));
  EXPECT_FALSE(changed(321, 200));
  EXPECT_TRUE(changed(300, 180));
  EXPECT_FALSE(changed(300, 179));
  EXPECT_FALSE(changed(300, 200));  // both lines invert the centre
  EXPECT_EQ(changed_count(), 80);

  move_to(-1, -1);
  snap_on = 1;
  move_to(300, 200);
  EXPECT_TRUE(changed(307, 200));
  EXPECT_TRUE(changed(293, 193));
  EXPECT_FALSE(changed(308, 200));
  EXPECT_FALSE(changed(300, 200));
  EXPECT_FALSE(changed(315, 200));
  EXPECT_EQ(changed_count(), 56);  // the outline of 15 x 15 pixels

  move_to(-1, -1);
  EXPECT_EQ(changed_count(), 0);
}

TEST_F(CursorTest, PickAndRawStyles) {
  cursor_style = CURSOR_PICK;
  move_to(300, 200);
  EXPECT_TRUE(changed(290, 190));
  EXPECT_TRUE(changed(310, 190));
  EXPECT_FALSE(changed(289, 189));
  EXPECT_FALSE(changed(307, 200));
  move_to(-1, -1);
  cursor_style = CURSOR_RAW;  // a cross even with snap on
  move_to(300, 200);
  EXPECT_TRUE(changed(280, 200));
  EXPECT_FALSE(changed(307, 193));
  move_to(-1, -1);
  EXPECT_EQ(changed_count(), 0);
}

TEST_F(CursorTest, NothingOnTheViewsBorder) {
  move_to(0, 200);
  move_to(300, 400);
  EXPECT_EQ(changed_count(), 0);
  move_to(300, 200);
  EXPECT_GT(changed_count(), 0);
  move_to(600, 10);
  EXPECT_EQ(changed_count(), 0);
}

TEST_F(CursorTest, RubberBandMovesWithTheCursorAndLeavesWithIt) {
  InputRequest r;
  r.npoints = 1;
  r.x[0] = 0;
  r.y[0] = 0;
  active_request = &r;
  cur_preview_fn = preview_line_from_0;
  snap_on = 0;
  move_to(420, 200, &r);           // the band from (0, 0) to world (20, 0)
  EXPECT_TRUE(changed(350, 200));  // on the band, outside the cross
  move_to(300, 320, &r);
  EXPECT_FALSE(changed(350, 200));
  EXPECT_TRUE(changed(300, 260));
  move_to(-1, -1, &r);
  EXPECT_EQ(changed_count(), 0);
  cur_preview_fn = nullptr;
  active_request = nullptr;
}

TEST_F(CursorTest, HoverSignBesideThePickBox) {
  move_to(300, 200);
  input_cursor_toggle(nullptr);
  hover_code = 1;
  input_cursor_toggle(nullptr);
  // M = (300 + 7 + 8, 200 + 7 + 2); the plus reaches 4 pixels out.
  EXPECT_TRUE(changed(315, 213));
  EXPECT_TRUE(changed(319, 209));
  EXPECT_TRUE(changed(308, 200));  // the second square
  input_cursor_toggle(nullptr);
  hover_code = 3;
  input_cursor_toggle(nullptr);
  EXPECT_FALSE(changed(319, 209));
  EXPECT_TRUE(changed(319, 205));  // the slash
  input_cursor_toggle(nullptr);
  hover_code = 0;
  input_cursor_toggle(nullptr);
  move_to(-1, -1);
  EXPECT_EQ(changed_count(), 0);
}

// Once the display is started, a model operation that redraws on its own
// hides the cursor around its drawing: erasing a guide line under the cursor
// leaves no inverted pixel behind.
TEST_F(CursorTest, ModelRedrawsHideTheCursorOnceTheDisplayIsStarted) {
  const RedrawTable previous = redraw_install(RedrawTable{});
  display_init();
  snap_on = 0;
  elem_new_line(0, PEN_GUIDE, 0, 1.0, -5.0, 1.0, 5.0);  // crosses the cursor's arm at pixel (306, 200)
  draw_all(DRAW_NORMAL);
  move_to(300, 200);
  cmd_p_glminus();
  EXPECT_EQ(elem_count(), 0);
  move_to(-1, -1);
  EXPECT_EQ(changed_count(), 0);
  redraw_install(previous);
}

std::string metres(double v) { return units_format_length(v); }

TEST_F(CursorTest, CoordinateFieldsByPointsAndView) {
  InputRequest r;
  r.x[0] = 1;
  r.y[0] = 1;
  r.z[0] = 4;
  r.x[1] = 2;
  r.y[1] = 5;
  r.z[1] = 7;
  struct Case {
    int view;
    int npoints;
    std::string x, y;
  };
  // The pointer at world (3, 2): pixel (318, 188).
  const Case cases[] = {
      {VIEW_PLAN, 0, "X: " + metres(3), "Y: " + metres(2)},
      {VIEW_PLAN, 1, "X: " + metres(2), "Y: " + metres(1)},
      {VIEW_PLAN, 2, "X: " + metres(1), "Y: " + metres(4)},
      {VIEW_ISO_FRONT_LEFT, 1, "X: " + metres(2), "Y: " + metres(1)},
      {VIEW_FRONT, 0, "X: " + metres(3), "Z: " + metres(2)},
      {VIEW_FRONT, 1, "X: " + metres(2), "Z: " + metres(-2)},
      {VIEW_BACK, 1, "X: " + metres(-4), "Z: " + metres(-2)},
      {VIEW_RIGHT, 1, "Y: " + metres(2), "Z: " + metres(-2)},
      {VIEW_LEFT, 0, "Y: " + metres(-3), "Z: " + metres(2)},
      {VIEW_LEFT, 1, "Y: " + metres(-4), "Z: " + metres(-2)},
      {VIEW_LEFT, 2, "Y: " + metres(4), "Z: " + metres(3)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.view) + " " + std::to_string(c.npoints));
    view_type = c.view;
    r.npoints = static_cast<int16_t>(c.npoints);
    move_to(318, 188, &r);
    EXPECT_EQ(ui.coord_x, c.x);
    EXPECT_EQ(ui.coord_y, c.y);
    EXPECT_NEAR(pointer_world.x, 3, 1e-9);
    EXPECT_NEAR(pointer_world.y, 2, 1e-9);
  }
  move_to(-1, -1, &r);
  // Without a request the fields show the pointer.
  view_type = VIEW_PLAN;
  move_to(318, 188);
  EXPECT_EQ(ui.coord_x, "X: " + metres(3));
}

// The fields and the world point under the pointer follow every change of
// the view, a wheel zoom included, while the pointer stands still; the
// cursor stays drawn once at the pointer.
TEST_F(CursorTest, CoordinateFieldsFollowEveryChangeOfTheView) {
  InputRequest r;
  r.x[0] = 1;
  r.y[0] = 1;
  r.npoints = 1;
  struct Change {
    const char* name;
    void (*run)();
  };
  const Change changes[] = {
      {"wheel in", view_scale_step_down},
      {"wheel out", view_scale_step_up},
      {"scroll", [] { view_scroll_quarter(1, -1); }},
      {"zoom window", [] { view_zoom_to_window(-4, -3, 8, 5); }},
      {"pan", [] { view_pan_by(0, 0, 2.5, -1); }},
      {"back", view_back},
      {"default", view_default},
  };
  for (InputRequest* request : {static_cast<InputRequest*>(nullptr), &r}) {
    active_request = request;
    view_default();
    view_remember();
    move_to(318, 188, request);
    const std::vector<uint32_t> one_cursor = view_pixels(0);
    for (const Change& c : changes) {
      SCOPED_TRACE(std::string(c.name) + (request ? " with a point" : ""));
      const std::string x_before = ui.coord_x;
      ui.coord_x = ui.coord_y = "";
      c.run();
      const double wx = view_sx_to_wx(318), wy = view_sy_to_wy(188);
      const double ox = request ? r.x[0] : 0.0, oy = request ? r.y[0] : 0.0;
      EXPECT_EQ(ui.coord_x, "X: " + metres(wx - ox));
      EXPECT_EQ(ui.coord_y, "Y: " + metres(wy - oy));
      EXPECT_DOUBLE_EQ(pointer_world.x, wx);
      EXPECT_DOUBLE_EQ(pointer_world.y, wy);
      if (std::string(c.name) != "default") {
        EXPECT_NE(ui.coord_x, x_before);
      }
    }
    // Back at the first view, the store holds the drawing and one cursor.
    EXPECT_EQ(view_pixels(0), one_cursor);
    move_to(-1, -1, request);
    active_request = nullptr;
  }
}

}  // namespace
