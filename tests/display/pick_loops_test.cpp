// The prompt loops run by the scripted input engine on a drawn view: what
// each asks, what makes it ask again, every way to cancel it, and a view
// left as a clean redraw shows it.

#include <functional>
#include <string>
#include <vector>

#include "input_fixture.h"
#include "pick_fixture.h"

namespace {

// Each test runs with every PickSearch.
class PickLoopTest : public InputTest,
                     protected PickBuilders,
                     public ::testing::WithParamInterface<PickSearch> {
 protected:
  void SetUp() override {
    InputTest::SetUp();
    pick_search_use(GetParam());
    select_all_layers = 0;
    picked_wall = nullptr;
  }
  void TearDown() override {
    select_all_layers = 0;
    picked_wall = nullptr;
    pick_search_reset();
    InputTest::TearDown();
  }

  // Runs a loop to its end; a script that runs dry or is not used up fails.
  template <class T>
  T* run_loop(T* (*loop)()) {
    T* result = nullptr;
    try {
      result = loop();
    } catch (const WaitScriptDry& e) {
      ADD_FAILURE() << e.what();
    }
    EXPECT_EQ(script.remaining(), 0u) << "events left unused";
    EXPECT_EQ(active_request, nullptr);
    return result;
  }

  std::vector<std::string> prompts() const { return ui.calls_starting("prompt "); }

  // The view as it stands, without the cursor.
  static std::vector<uint32_t> shown() {
    pointer_pixel = PixelPoint{};
    input_show_coordinates(active_request);
    return view_pixels(0);
  }
};

// The script ways of ending a loop: the Select page's Cancel, Escape, and
// another tool's button, whose key stays pending for the command loop.
struct Cancel {
  const char* key;
  const char* pending;
} const cancels[] = {{"s_deffi_cancel", "nop"}, {"p_nop", "p_nop"}, {"b_line_line", "b_line_line"}};

TEST_P(PickLoopTest, KindLoopsAskUntilTheirKindIsHit) {
  // A click finds whatever lies within 100 m: the line is farther than
  // that from the others.
  line(-48, -30, -44, -30);
  LightElem* lamp = light(45, 30, 3);
  CameraElem* cam = camera(48, 28, 1.6);
  WallElem* w = wall({{40, 20, 0}, {48, 20, 0}, {48, 21, 0}, {40, 21, 0}});
  redraw();
  struct Case {
    std::function<ElemHeader*()> loop;
    const char* prompt;
    double x, y;  // beside the element of the loop's kind
    ElemHeader* expected;
  } cases[] = {
      {[this] { return run_loop(pick_light); }, "prompt Select Light:", 45.3, 29.8, lamp},
      {[this] { return run_loop(pick_camera); }, "prompt Select Camera:", 48.3, 28.2, cam},
      {[this] { return run_loop(pick_wall); }, "prompt Select Wall:", 44, 19.8, w},
  };
  for (const Case& c : cases) {
    ui.calls.clear();
    // Beside the line only, the wrong kind; the Select page's toggles and
    // OK; then the element.
    script.click_world(1, -46, -29.8).key("z_toggle").key("s_deffi_ok").key("s_deffi_all");
    script.click_world(1, c.x, c.y);
    EXPECT_EQ(c.loop(), c.expected) << c.prompt;
    EXPECT_EQ(prompts(), std::vector<std::string>(5, c.prompt));
    EXPECT_EQ(pending_command, "nop");
    EXPECT_EQ(elem_count_marked(), 0);
    expect_clean_surface();
  }
}

TEST_P(PickLoopTest, KindLoopsCancel) {
  light(45, 30, 3);
  redraw();
  for (const Cancel& c : cancels) {
    for (int clicks_before : {0, 1}) {
      pending_command = "nop";
      if (clicks_before) script.click_world(1, -46, -29.8);  // no light within 100 m
      script.key(c.key);
      EXPECT_EQ(run_loop(pick_light), nullptr) << c.key;
      EXPECT_EQ(pending_command, c.pending);
      expect_clean_surface();
    }
  }
}

TEST_P(PickLoopTest, CamerasOnShownLayersAndWallsByTheVisibleLayersChoice) {
  cur_layer = 4;
  CameraElem* cam = camera(-20, 0, 1.6);
  WallElem* w = wall({{0, 10, 0}, {10, 10, 0}, {10, 11, 0}, {0, 11, 0}});
  cur_layer = 0;
  layers[4].shown = 1;
  redraw();
  script.click_world(1, -20.1, 0.1);
  EXPECT_EQ(run_loop(pick_camera), cam);
  // A wall of another layer needs "Visible layers" on the Select page.
  script.click_world(1, 5, 9.8).key("p_nop");
  EXPECT_EQ(run_loop(pick_wall), nullptr);
  select_all_layers = 1;
  script.click_world(1, 5, 9.8);
  EXPECT_EQ(run_loop(pick_wall), w);
  expect_clean_surface();
}

TEST_P(PickLoopTest, PatternsAndRoomsByContainmentOnTheCurrentLayer) {
  struct Case {
    const char* prompt;
    std::function<ElemHeader*(std::vector<Point2>)> make;
    std::function<ElemHeader*()> loop;
  } cases[] = {
      {"prompt Select Pattern:", [](std::vector<Point2> p) { return pattern(std::move(p)); },
       [this] { return run_loop(pick_pattern); }},
      {"prompt Select Room:",
       [](std::vector<Point2> p) {
         return room({-10, -10, 0}, std::move(p));
       },
       [this] { return run_loop(pick_room); }},
  };
  for (const Case& c : cases) {
    drawing_free();
    ui.calls.clear();
    select_all_layers = 1;  // the Select page's choice does not widen these
    layers[2].shown = 1;
    cur_layer = 2;
    c.make(square(-40, 5, -30, 15));
    cur_layer = 0;
    std::vector<Point2> outer = square(-20, -15, 20, 15);
    const std::vector<Point2> hole = {{-5, -5, 0}, {-5, 5, 0}, {5, 5, 0}, {5, -5, 0}, CONTOUR_END};
    outer.insert(outer.end(), hole.begin(), hole.end());
    ElemHeader* first = c.make(outer);
    ElemHeader* second = c.make(square(-20, -15, -2, -2));  // lies over the first
    redraw();

    // Outside everything, on the other layer's outline, in the hole; then
    // a click far from any border, where both hold the point.
    script.click_world(1, 30, 0).click_world(1, -35, 10).click_world(1, 0, 0).key("z_toggle");
    script.click_world(1, -10, -10);
    ElemHeader* picked = c.loop();
    EXPECT_EQ(picked, first) << c.prompt;
    EXPECT_EQ(prompts(), std::vector<std::string>(5, c.prompt));
    ASSERT_NE(picked, nullptr);
    EXPECT_EQ(picked->mark, 1);
    EXPECT_EQ(second->mark, 0);
    picked->mark = 0;

    // On its own, the picked element shows highlighted, and the caller's
    // unmarking and drawing leaves nothing of the highlight.
    drawing_free();
    ElemHeader* only = c.make(square(-20, -15, 20, 15));
    redraw();
    const std::vector<uint32_t> plain = shown();
    script.click_world(1, 10, 10);
    EXPECT_EQ(c.loop(), only);
    EXPECT_NE(shown(), plain) << c.prompt << ": not shown highlighted";
    expect_clean_surface();
    only->mark = 0;
    draw_element(DRAW_NORMAL, only);
    EXPECT_EQ(shown(), plain) << c.prompt;
    expect_clean_surface();

    for (const Cancel& k : cancels) {
      script.click_world(1, 30, 0).key(k.key);
      EXPECT_EQ(c.loop(), nullptr) << c.prompt << " " << k.key;
      EXPECT_EQ(pending_command, k.pending);
      EXPECT_EQ(elem_count_marked(), 0);
      EXPECT_EQ(shown(), plain);
      pending_command = "nop";
    }
  }
}

TEST_P(PickLoopTest, OpeningsWithinAMetreSetTheirWall) {
  cur_layer = 1;
  WallElem* other = wall({{0, -10, 0}, {10, -10, 0}, {10, -9.7, 0}, {0, -9.7, 0}});
  other->openings.push_back(opening(4, -10, 1, 5, -9.7, 2));
  cur_layer = 0;
  layers[1].shown = 1;
  WallElem* w = wall({{0, 0, 0}, {10, 0, 0}, {10, 0.3, 0}, {0, 0.3, 0}});
  w->openings.push_back(opening(2, 0, 0, 3, 0.3, 2));
  w->openings.push_back(opening(6, 0, 0, 9, 0.3, 2));
  redraw();

  // The plan segment of an opening runs from its corner 0 to corner 2,
  // across the wall. Just over a metre from the nearest one, beside the
  // opening of another layer's wall, then 0.7 m from the second one's.
  script.click_world(1, 7.5, 1.25).click_world(1, 4.5, -9.8).key("s_deffi_ok");
  script.click_world(1, 7.9, 0.9);
  WallOpening* o = run_loop(pick_opening);
  EXPECT_EQ(o, &w->openings[1]);
  EXPECT_EQ(picked_wall, w);
  EXPECT_EQ(prompts(), std::vector<std::string>(4, "prompt Select Opening:"));
  EXPECT_EQ(elem_count_marked(), 0);
  expect_clean_surface();

  for (const Cancel& k : cancels) {
    script.click_world(1, 2.5, 0.1);
    EXPECT_EQ(run_loop(pick_opening), &w->openings[0]);
    EXPECT_EQ(picked_wall, w);
    script.click_world(1, 7.5, 1.25).key(k.key);  // a near miss, then the end
    EXPECT_EQ(run_loop(pick_opening), nullptr) << k.key;
    EXPECT_EQ(picked_wall, nullptr);
    EXPECT_EQ(pending_command, k.pending);
    pending_command = "nop";
  }
  expect_clean_surface();
}

INSTANTIATE_TEST_SUITE_P(Searches, PickLoopTest, pick_searches, pick_search_name);

}  // namespace
