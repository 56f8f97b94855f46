// The program's cursor in the real window: a tool is chosen, the pointer
// moves over the drawing as the X server reports it, and the cross stands
// where the pointer is from the first motion on.

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cstring>
#include <string>

#include "display/view.h"
#include "gui_steps.h"
#include "shell/gtk/mainwin.h"
#include "shell/gtk/startup.h"

namespace {

using gui_steps::prompt;

// The RGB24 value of pixel (x, y) of view 0's store.
uint32_t store_pixel(int x, int y) {
  cairo_surface_t* s = view_surface(0);
  if (!s) return 0;
  cairo_surface_flush(s);
  const uint8_t* data = cairo_image_surface_get_data(s);
  uint32_t v;
  std::memcpy(&v, data + y * cairo_image_surface_get_stride(s) + x * 4, 4);
  return v & 0xFFFFFF;
}

// Whether the cross's arms pass through the pixels beside (x, y) on an
// empty drawing: they differ from the background off the arms.
bool cross_at(int x, int y) {
  const uint32_t background = store_pixel(x + 10, y + 10);
  return store_pixel(x + 10, y) != background && store_pixel(x, y + 10) != background;
}

// Moves the real pointer to pixel (x, y) of the drawing area.
void move_pointer(int x, int y) {
  gui_steps::warp_pointer(gtk_widget_get_window(gui_steps::drawing_area()), x, y);
}

// Moves the real pointer onto the middle of widget, outside the drawing.
void pointer_onto(GtkWidget* widget) {
  GtkAllocation a;
  gtk_widget_get_allocation(widget, &a);
  gui_steps::warp_pointer(gtk_widget_get_window(widget), a.x + a.width / 2, a.y + a.height / 2);
}

GtkWidget* line_button() {
  GtkWidget* page = gtk_notebook_get_nth_page(GTK_NOTEBOOK(mainwin_widgets.notebook), 1);
  return page ? gui_steps::find_labelled_button(page, "Line") : nullptr;
}

class CursorRoadTest : public GuiProgramTest {};

TEST_F(CursorRoadTest, TheCrossFollowsThePointerFromTheFirstMotion) {
  const int ax = 150, ay = 120, bx = 178, by = 148;
  bool first_at_a = false, second_at_b = false, second_left_a = false;

  then([] { return idle() && about_shown(); }, close_about);
  // The pointer comes from the tool's button, as a person's hand does.
  then(gui_steps::steadily([] { return idle() && !about_shown(); }), [] {
    GtkWidget* b = line_button();
    ASSERT_NE(b, nullptr);
    pointer_onto(b);
  });
  then(gui_steps::steadily([] { return idle(); }), [] { gtk_button_clicked(GTK_BUTTON(line_button())); });
  then(gui_steps::steadily([] { return prompt() == "Start point:"; }), [ax, ay] { move_pointer(ax, ay); });
  then(gui_steps::steadily([ax, ay] { return cross_at(ax, ay); }, 5), [&] {
    first_at_a = true;
    move_pointer(bx, by);
  });
  then(gui_steps::steadily([bx, by] { return cross_at(bx, by); }, 5), [&] {
    second_at_b = true;
    second_left_a = !cross_at(ax, ay);
    if (GdkPixbuf* shot = gui_steps::screenshot("cursor_road.png")) g_object_unref(shot);
  });
  then([] { return prompt() == "Start point:"; }, [] { choose_menu("Quit"); });

  std::string out;
  EXPECT_EQ(run_program({}, &out, 20000), 0);
  EXPECT_TRUE(first_at_a) << "no cross at the pointer after its first motion";
  EXPECT_TRUE(second_at_b) << "no cross at the pointer after its second motion";
  EXPECT_TRUE(second_left_a) << "the cross stayed where the pointer was before";
}

}  // namespace
