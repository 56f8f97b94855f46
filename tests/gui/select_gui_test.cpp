// A window selection in the real window: the program started as a person
// starts it, three lines in the drawing, a command that selects (no tool of
// the program selects yet, so the test adds one to the tool dispatcher),
// the Select page's "Range" button, two clicks into the drawing, the lines
// inside shown highlighted, Tab for OK; then the selection cleared and the
// view as it was before.

#include <cairo.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "display/command_buffer.h"
#include "display/draw.h"
#include "display/key_state.h"
#include "display/select.h"
#include "display/view.h"
#include "gui_steps.h"
#include "model/elem.h"
#include "model/geom.h"
#include "model/settings.h"
#include "shell/cmd_dispatch.h"
#include "shell/gtk/mainwin.h"
#include "shell/mainwin_tables.h"

namespace {

using gui_steps::prompt;

// The RGB24 value of pixel (x, y) of view 0's store.
uint32_t store_pixel(int x, int y) {
  cairo_surface_t* s = view_surface(0);
  if (!s) return 0;
  const uint8_t* data = cairo_image_surface_get_data(s);
  uint32_t v;
  std::memcpy(&v, data + y * cairo_image_surface_get_stride(s) + x * 4, 4);
  return v & 0xFFFFFF;
}

// View 0's store without the program's cursor, which the pointer's place
// decides.
std::vector<uint32_t> store_without_cursor() {
  std::vector<uint32_t> out;
  cairo_surface_t* s = view_surface(0);
  if (!s) return out;
  if (display_hooks.cursor_toggle) display_hooks.cursor_toggle();
  cairo_surface_flush(s);
  const int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) out.push_back(store_pixel(x, y));
  if (display_hooks.cursor_toggle) display_hooks.cursor_toggle();
  return out;
}

// The pixels of a square of 5 x 5 around (x, y) of the drawing area, from a
// screenshot of the whole screen.
std::vector<guchar> screen_patch(const char* name, int x, int y) {
  std::vector<guchar> out;
  GdkPixbuf* shot = gui_steps::screenshot(name);
  GdkWindow* win = gtk_widget_get_window(gui_steps::drawing_area());
  if (!shot || !win) {
    if (shot) g_object_unref(shot);
    return out;
  }
  int ox = 0, oy = 0;
  gdk_window_get_origin(win, &ox, &oy);
  const int n = gdk_pixbuf_get_n_channels(shot), stride = gdk_pixbuf_get_rowstride(shot);
  const guchar* px = gdk_pixbuf_get_pixels(shot);
  for (int py = oy + y - 2; py <= oy + y + 2; ++py)
    for (int qx = ox + x - 2; qx <= ox + x + 2; ++qx)
      for (int c = 0; c < 3; ++c) out.push_back(px[py * stride + qx * n + c]);
  g_object_unref(shot);
  return out;
}

int current_page() { return gtk_notebook_get_current_page(GTK_NOTEBOOK(mainwin_widgets.notebook)); }

GtkWidget* select_page_button(const char* label) {
  GtkWidget* page = gtk_notebook_get_nth_page(GTK_NOTEBOOK(mainwin_widgets.notebook), TOOL_PAGE_SELECT);
  return page ? gui_steps::find_labelled_button(page, label) : nullptr;
}

// What the steps saw.
struct Seen {
  int page_before = -1, page_during = -1, page_after = -1;
  int result = -1;
  int idle_during = -1;
  std::vector<int> marks;  // of the three lines when the selection ended
  uint32_t inside_colour = 0, outside_colour = 0, selected = 0, inside_before = 0;
  std::vector<guchar> before, highlighted, cleared;  // the screen at the first line's middle
  std::vector<uint32_t> store_before, store_cleared;
};

class SelectGuiTest : public GuiProgramTest {};

TEST_F(SelectGuiTest, RangeByTwoClicksShowsTheSelectionAndClearingTakesItAway) {
  Seen seen;
  std::vector<ElemHeader*> lines;
  // Pixels of the drawing area: two lines wholly inside the window, one
  // reaching out of it.
  const int wx1 = 120, wy1 = 110, wx2 = 330, wy2 = 260;
  const int ay = 150, by = 200, cy = 240, mx = 200, cx2 = 420;

  // The command a selecting tool would be: select, look, end the selection.
  std::vector<CmdRow>& tools = cmd_rows('b');
  tools.push_back({"b_test_selection", [&] {
                     seen.result = select_elements(0);
                     for (ElemHeader* e : lines) seen.marks.push_back(e->mark);
                     seen.page_after = current_page();
                     select_clear(0);
                     drawing_modified = 0;
                   }});

  then([] { return idle() && about_shown(); }, close_about);
  then(gui_steps::steadily([] { return idle() && !about_shown(); }), [&] {
    auto wx = [](int x) { return view_sx_to_wx(x); };
    auto wy = [](int y) { return view_sy_to_wy(y); };
    for (int y : {ay, by}) {
      elem_new_line(0, 0, 0, wx(150), wy(y), wx(250), wy(y));
      lines.push_back(elem_list_tail);
    }
    elem_new_line(0, 0, 0, wx(150), wy(cy), wx(cx2), wy(cy));
    lines.push_back(elem_list_tail);
    view_redraw();
    seen.page_before = current_page();
  });
  then(gui_steps::steadily(idle), [&] {
    seen.before = screen_patch("select_gui_before.png", mx, ay);
    seen.store_before = store_without_cursor();
    seen.inside_before = store_pixel(mx, ay);
    cmd_put_key("b_test_selection");
  });
  then([] { return prompt() == "Element:"; },
       [&] {
         seen.page_during = current_page();
         seen.idle_during = select_idle;
         GtkWidget* range = select_page_button("Range");
         ASSERT_NE(range, nullptr);
         gtk_button_clicked(GTK_BUTTON(range));
       });
  then([] { return prompt() == "1st Corner point:"; }, [&] { gui_steps::click_view(wx1, wy1); });
  then([] { return prompt() == "2nd Corner point:"; }, [&] { gui_steps::click_view(wx2, wy2); });
  then(gui_steps::steadily([] { return prompt() == "1st Corner point:"; }), [&] {
    seen.highlighted = screen_patch("select_gui_highlighted.png", mx, ay);
    seen.inside_colour = store_pixel(mx, ay);
    seen.outside_colour = store_pixel(mx, cy);
    seen.selected = view_palettes[0][PAL_SELECTED];
    gui_steps::press_key(GDK_KEY_Tab);
  });
  then(gui_steps::steadily([] { return idle() && select_idle == 1; }), [&] {
    seen.cleared = screen_patch("select_gui_cleared.png", mx, ay);
    seen.store_cleared = store_without_cursor();
  });
  then(idle, [] { choose_menu("Quit"); });

  std::string out;
  EXPECT_EQ(run_program({}, &out), 0);
  tools.pop_back();

  EXPECT_EQ(seen.result, 1) << out;
  EXPECT_EQ(seen.marks, (std::vector<int>{1, 1, 0}));
  EXPECT_EQ(seen.page_during, TOOL_PAGE_SELECT);
  EXPECT_EQ(seen.page_after, seen.page_before);
  EXPECT_EQ(seen.idle_during, 0);

  // Highlighted in the selection colour while it ran, on the screen too.
  EXPECT_EQ(seen.inside_colour, seen.selected);
  EXPECT_NE(seen.inside_before, seen.selected);
  EXPECT_NE(seen.outside_colour, seen.selected);
  ASSERT_FALSE(seen.before.empty());
  EXPECT_NE(seen.highlighted, seen.before)
      << "no highlight on the screen (test-output/gui/select_gui_highlighted.png)";
  // Cleared: the screen and the store as before the selection.
  EXPECT_EQ(seen.cleared, seen.before) << "the highlight stayed (test-output/gui/select_gui_cleared.png)";
  EXPECT_TRUE(seen.store_cleared == seen.store_before)
      << "the view differs from the view before the selection";
}

}  // namespace
