#include "display/view_tools.h"

#include "display/input.h"
#include "display/view.h"
#include "display/view_commands.h"
#include "model/geom.h"
#include "model/nls.h"
#include "model/settings.h"
#include "model/ui.h"
#include "model/view_rec.h"

namespace {

// A request of two raw corners, not transparent: a view key pressed
// meanwhile ends it.
int ask_corners(InputRequest& r, const char* first, const char* second, InputPreviewFn preview) {
  input_set_step(&r, 0, STEP_CORNER_1, nls_translate(first));
  input_set_step(&r, 1, STEP_CORNER_2, nls_translate(second), preview);
  return input_run_request(&r);
}

}  // namespace

int view_zoom_window() {
  InputRequest r;
  const int res =
      ask_corners(r, nls_mark("1st Corner point:"), nls_mark("2nd Corner point:"), preview_zoom_window);
  if (res != INPUT_DONE) return res;
  input_normalize_corners(&r);
  view_zoom_to_window(r.x[0], r.y[0], r.x[1], r.y[1]);
  return res;
}

int view_pan() {
  InputRequest r;
  const int res = ask_corners(r, nls_mark("From:"), nls_mark("To:"), preview_pan);
  if (res == INPUT_DONE) view_pan_by(r.x[0], r.y[0], r.x[1], r.y[1]);
  return res;
}

int view_zoom_center() {
  InputRequest r;
  input_set_step(&r, 0, STEP_RAW_POINT, nls_translate("Center:"), preview_zoom_center);
  const int res = input_run_request(&r);
  if (res == INPUT_DONE) view_zoom_center_at(r.x[0], r.y[0]);
  return res;
}

int tool_gauge() {
  for (;;) {
    InputRequest r;
    r.transparent = 1;
    input_set_step(&r, 0, STEP_POINT, nls_translate("1st Point:"));
    input_set_step(&r, 1, STEP_NEXT_POINT, nls_translate("2nd Point:"));
    input_set_step(&r, 2, STEP_CONFIRM, nls_translate("Move/Confirm:"));
    const int res = input_run_request(&r);
    if (res != INPUT_DONE) return res;
    const double dx = r.x[1] - r.x[0], dy = r.y[1] - r.y[0], dz = r.z[1] - r.z[0];
    const double distance = geom_dist3(r.x[0], r.y[0], r.z[0], r.x[1], r.y[1], r.z[1]);
    ui().gui_show_gauge(dx, dy, dz, distance, geom_angle(r.x[0], r.y[0], r.x[1], r.y[1]));
  }
}

void preview_zoom_window(InputRequest* r, double x, double y) {
  const double x0 = r->x[0], y0 = r->y[0];
  draw_xor_line(x0, y0, x, y0);
  draw_xor_line(x, y0, x, y);
  draw_xor_line(x, y, x0, y);
  draw_xor_line(x0, y, x0, y0);
}

void preview_pan(InputRequest* r, double x, double y) { draw_xor_line(r->x[0], r->y[0], x, y); }

void preview_zoom_center(InputRequest*, double x, double y) {
  const ViewRec& v = view_current();
  const double w = view_scale * (v.right - v.left) * screen_aspect.width / SCREEN_SCALE_DIVISOR;
  const double h = view_scale * (v.bottom - v.top) * screen_aspect.height / SCREEN_SCALE_DIVISOR;
  draw_xor_rect(x - w / 2.0, y - h / 2.0, x + w / 2.0, y + h / 2.0);
}
