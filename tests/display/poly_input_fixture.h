#pragma once

// The outline inputs run by the scripted wait backend on the drawn view 0
// of input_fixture.h (600 x 400 pixels, one pixel 1/6 m, the origin at
// pixel (300, 200)), with object snap off so that a click lands exactly
// where the script puts it.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "display/poly_input.h"
#include "input_fixture.h"

class PolyInputTest : public InputTest {
 protected:
  void SetUp() override {
    InputTest::SetUp();
    snap_on = 0;
    poly_input_free();
  }
  void TearDown() override {
    poly_input_free();
    InputTest::TearDown();
  }

  // Runs an input to its end; a script that runs dry or is not used up
  // fails the test.
  int run_input(int (*input)()) {
    int result = -1;
    try {
      result = input();
    } catch (const WaitScriptDry& e) {
      ADD_FAILURE() << e.what();
    }
    EXPECT_EQ(script.remaining(), 0u) << "events left unused";
    EXPECT_EQ(active_request, nullptr);
    return result;
  }

  // One point of a polygon: a click and Enter for "Move/Confirm:".
  void point(double x, double y) { script.click_world(1, x, y).key("z_enter"); }
  // One point typed as "x;y;z", confirmed with Enter.
  void typed(const char* xyz) { script.key("z_abs").value(xyz).key("z_enter"); }

  // Lets the test look at the state while the input waits: the script's
  // "z_look" key runs f.
  void on_look(std::function<void()> f) { rows()["z_look"] = std::move(f); }
  void look() { script.key("z_look"); }

  static ElemHeader* line(double x1, double y1, double x2, double y2, int layer = 0) {
    elem_new_line(layer, 0, 0, x1, y1, x2, y2);
    return elem_list_tail;
  }

  // The guide lines in the drawing, in list order.
  static std::vector<ElemHeader*> guides() {
    std::vector<ElemHeader*> out;
    for (ElemHeader* e : elements())
      if (e->pen == PEN_GUIDE) out.push_back(e);
    return out;
  }
  // What a test keeps of an element while the input runs (guide lines are
  // freed when it ends).
  struct Seen {
    uint8_t kind = 0, pen = 0, line_type = 0;
    uint16_t layer = 0;
    Point3 p1, p2;
  };
  static std::vector<Seen> seen_elements() {
    std::vector<Seen> out;
    for (const ElemHeader* e : elements()) {
      Seen s{e->kind, e->pen, e->line_type, e->layer, {}, {}};
      if (const auto* l = elem_as<LineElem>(e)) {
        s.p1 = {l->p1.x, l->p1.y, 0.0, 0};
        s.p2 = {l->p2.x, l->p2.y, 0.0, 0};
      } else if (const auto* l3 = elem_as<Line3dElem>(e)) {
        s.p1 = l3->p1;
        s.p2 = l3->p2;
      }
      out.push_back(s);
    }
    return out;
  }

  // Records the pixel (x, y) of view 0 each time the prompt is shown, when
  // the step's rubber band is on the screen.
  void sample_at_prompt(const char* prompt, int x, int y) {
    static std::string wanted;
    static int sx = 0, sy = 0;
    static std::vector<uint32_t>* out = nullptr;
    static void (*recorder)(const char*) = nullptr;
    wanted = prompt;
    sx = x;
    sy = y;
    out = &samples;
    UiTable t = ::ui();
    recorder = t.mainwin_set_prompt;
    t.mainwin_set_prompt = [](const char* text) {
      recorder(text);
      if (wanted == text) out->push_back(view_pixel(0, sx, sy));
    };
    ui_install(t);
  }
  std::vector<uint32_t> samples;

  std::vector<std::string> errors() const { return ui.calls_starting("error "); }
  std::vector<std::string> prompts() const { return ui.calls_starting("prompt "); }
};

inline void expect_point(const Point2& p, double x, double y, double eps = 1e-9) {
  EXPECT_NEAR(p.x, x, eps);
  EXPECT_NEAR(p.y, y, eps);
}

inline void expect_point3(const Point3& p, double x, double y, double z, double eps = 1e-9) {
  EXPECT_NEAR(p.x, x, eps);
  EXPECT_NEAR(p.y, y, eps);
  EXPECT_NEAR(p.z, z, eps);
}

inline bool is_end_marker(const Point2& p) { return point_is_contour_end(p.x, p.y); }
