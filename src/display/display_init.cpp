#include "display/display_init.h"

#include <cstdint>

#include "display/draw.h"
#include "display/input.h"
#include "display/view_commands.h"
#include "model/redraw.h"

void display_init() {
  RedrawTable t;
  // The model hides the cursor around its drawing, rubber band included.
  t.input_cursor_toggle = [] { input_cursor_toggle(active_request); };
  t.draw_element = [](int mode, const ElemHeader* e) {
    draw_element(static_cast<uint8_t>(mode), const_cast<ElemHeader*>(e));
  };
  t.draw_last_element = [](int mode) { draw_last_element(static_cast<uint8_t>(mode)); };
  t.view_zoom_to_extents = [](int mode) { view_zoom_to_extents(static_cast<uint8_t>(mode)); };
  t.view_redraw_hold = [](int on) { on ? view_redraw_hold() : view_redraw_release(); };
  redraw_install(t);
}
