#include "display/gtk/view_gtk.h"

#include <cairo.h>

#include "display/command_buffer.h"
#include "display/input.h"
#include "display/view.h"
#include "model/geom.h"
#include "shell/shell_platform.h"

GtkWidget* view_widgets[VIEW_COUNT] = {};

namespace {

bool valid(int k) { return k >= 0 && k < VIEW_COUNT; }

int view_of(gpointer data) { return GPOINTER_TO_INT(data); }

void pointer_moved() { input_show_coordinates(active_request); }

void on_destroy(GtkWidget* widget, gpointer data) {
  const int k = view_of(data);
  if (valid(k) && view_widgets[k] == widget) view_widgets[k] = nullptr;
}

// The pointer and, for a click, its world position at a whole pixel.
void take_position(double x, double y, bool click) {
  pointer_pixel.x = x;
  pointer_pixel.y = y;
  if (!click) return;
  CurrentView main_view(0);
  cursor_world.x = view_sx_to_wx(static_cast<int>(x));
  cursor_world.y = view_sy_to_wy(static_cast<int>(y));
}

// The new store for the area's size and the view drawn into it. The
// program's cursor, when it is shown, goes with the old store and is drawn
// again into the new one.
void rebuild(int k) {
  GtkWidget* area = valid(k) ? view_widgets[k] : nullptr;
  if (!area || !gtk_widget_get_realized(area)) return;
  const int w = gtk_widget_get_allocated_width(area);
  const int h = gtk_widget_get_allocated_height(area);
  const bool cursor = k == 0 && display_hooks.cursor_toggle;
  if (cursor) display_hooks.cursor_toggle();
  if (view_offscreen(k, w, h)) shell_platform().dlg_preview_draw(k);
  if (cursor) display_hooks.cursor_toggle();
  gtk_widget_queue_draw(area);
}

// The pointer comes into the drawing: the cross goes where it is.
gboolean view_on_enter(GtkWidget*, GdkEventCrossing* event, gpointer data) {
  if (view_of(data) != 0 || !event) return TRUE;
  take_position(event->x, event->y, false);
  pointer_moved();
  return TRUE;
}

}  // namespace

GtkWidget* view_create(int k) {
  if (!valid(k)) return nullptr;
  GtkWidget* area = gtk_drawing_area_new();
  view_widgets[k] = area;
  display_hooks.present = view_present;
  gpointer data = GINT_TO_POINTER(k);
  gtk_widget_set_can_focus(area, TRUE);
  // Every motion with its own position: with motion hints the cross was drawn
  // where the pointer had been one motion before. The toolkit holds a motion
  // after a pause until the next event comes, so the pointer's entry, which
  // comes at once, draws the cross too.
  gtk_widget_add_events(area, GDK_EXPOSURE_MASK | GDK_POINTER_MOTION_MASK | GDK_BUTTON_PRESS_MASK |
                                  GDK_ENTER_NOTIFY_MASK | GDK_LEAVE_NOTIFY_MASK | GDK_SCROLL_MASK);
  g_signal_connect(area, "configure-event", G_CALLBACK(view_on_configure), data);
  g_signal_connect(area, "draw", G_CALLBACK(view_on_draw), data);
  g_signal_connect(area, "button-press-event", G_CALLBACK(view_on_button_press), data);
  g_signal_connect(area, "scroll-event", G_CALLBACK(view_on_scroll), data);
  g_signal_connect(area, "motion-notify-event", G_CALLBACK(view_on_motion), data);
  g_signal_connect(area, "enter-notify-event", G_CALLBACK(view_on_enter), data);
  g_signal_connect(area, "leave-notify-event", G_CALLBACK(view_on_leave), data);
  g_signal_connect(area, "destroy", G_CALLBACK(on_destroy), data);
  gtk_widget_show(area);
  return area;
}

gboolean view_on_configure(GtkWidget*, GdkEventConfigure*, gpointer data) {
  rebuild(view_of(data));
  return TRUE;
}

gboolean view_on_draw(GtkWidget*, cairo_t* cr, gpointer data) {
  const int k = view_of(data);
  cairo_surface_t* store = valid(k) ? view_surface(k) : nullptr;
  if (!store) return FALSE;
  cairo_set_source_surface(cr, store, 0, 0);
  cairo_paint(cr);
  return FALSE;
}

gboolean view_on_button_press(GtkWidget*, GdkEventButton* event, gpointer data) {
  if (view_of(data) != 0 || !event || event->type != GDK_BUTTON_PRESS) return TRUE;
  const char* key = nullptr;
  switch (event->button) {
    case 1:
      key = "z_mb1";
      break;
    case 2:
      key = "z_space";
      break;
    case 3:
      key = "z_mb3";
      break;
    case 4:
      key = "z_scrollup";
      break;
    case 5:
      key = "z_scrolldown";
      break;
    default:
      return TRUE;
  }
  take_position(event->x, event->y, true);
  cmd_put_key(key);
  pointer_moved();
  return TRUE;
}

gboolean view_on_scroll(GtkWidget*, GdkEventScroll* event, gpointer data) {
  if (view_of(data) != 0 || !event) return TRUE;
  const char* key = event->direction == GDK_SCROLL_UP     ? "z_scrollup"
                    : event->direction == GDK_SCROLL_DOWN ? "z_scrolldown"
                                                          : nullptr;
  if (!key) return TRUE;
  take_position(event->x, event->y, true);
  cmd_put_key(key);
  pointer_moved();
  return TRUE;
}

gboolean view_on_motion(GtkWidget* widget, GdkEventMotion* event, gpointer data) {
  if (view_of(data) != 0 || !event) return TRUE;
  take_position(event->x, event->y, false);
  // The program draws its own cursor over the drawing; while it does not,
  // the system pointer stays.
  static GdkCursor* blank = nullptr;
  GdkWindow* window = gtk_widget_get_window(widget);
  if (display_hooks.cursor_toggle && window && gdk_window_get_cursor(window) == nullptr) {
    if (!blank) blank = gdk_cursor_new_for_display(gtk_widget_get_display(widget), GDK_BLANK_CURSOR);
    gdk_window_set_cursor(window, blank);
  }
  pointer_moved();
  return TRUE;
}

gboolean view_on_leave(GtkWidget*, GdkEventCrossing*, gpointer data) {
  if (view_of(data) != 0) return TRUE;
  pointer_pixel.x = -1.0;
  pointer_pixel.y = -1.0;
  pointer_moved();
  return TRUE;
}

void view_reconfigure(int k) { rebuild(k); }

void view_reconfigure_all() {
  for (int k = 0; k <= 6; ++k)
    if (view_widgets[k]) rebuild(k);
}

void view_present(int k, int x, int y, int w, int h) {
  GtkWidget* area = valid(k) ? view_widgets[k] : nullptr;
  if (area && w > 0 && h > 0) gtk_widget_queue_draw_area(area, x, y, w, h);
}

void view_main_grab_focus() {
  if (view_widgets[0]) gtk_widget_grab_focus(view_widgets[0]);
}
