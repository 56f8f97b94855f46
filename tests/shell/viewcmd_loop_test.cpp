// The view tools and the gauge from the command loop: their rows, the
// transparent zoom inside the gauge, and Escape back to "Select function:".

#include "display/input.h"
#include "display/view.h"
#include "model/view_rec.h"
#include "shell_fixture.h"

namespace {

using ViewToolsLoopTest = LoopWithViewTest;

TEST_F(ViewToolsLoopTest, GaugeWithAZoomInsideThenEscapeAndQuit) {
  script.key("b_gauge").click_world(1, 0, 0).click_world(1, 10, 0).click_world(1, 10, 0);
  script.click_world(1, 1, 1).key("f_zoom", &button_zoom).click_world(1, -5, -5).click_world(1, 5, 5);
  script.click_world(1, 1, 4).key("z_enter");
  script.key("p_nop").key("f_pan", &button_pan).click_world(1, 0, 0).click_world(1, 1, 0);
  script.key("p_file_quit");
  run_loop();

  EXPECT_EQ(ui.calls_starting("gauge "),
            (std::vector<std::string>{"gauge 10 0 0 10 0", "gauge 0 3 0 3 1.5708"}));
  // The zoom window fitted 10 m of height; the pan moved it 1 m to the right.
  EXPECT_NEAR(views[0].ymax - views[0].ymin, 10.0, 1e-9);
  EXPECT_NEAR((views[0].xmin + views[0].xmax) / 2, 1.0, 1e-9);
  EXPECT_EQ(active_request, nullptr);
  EXPECT_EQ(active_b_button.widget, nullptr);
  EXPECT_EQ(active_f_button.widget, nullptr);
  const auto prompts = ui.calls_starting("prompt ");
  EXPECT_NE(std::find(prompts.begin(), prompts.end(), "prompt 1st Corner point:"), prompts.end());
  EXPECT_EQ(prompts.back(), "prompt Select function:");
}

}  // namespace
