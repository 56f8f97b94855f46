// A camera from an eye point towards a target point; it becomes the active
// camera, the camera of the perspective view.

#include "building/light_camera_tools.h"
#include "display/view.h"
#include "model/camera.h"
#include "model/geom.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/settings.h"
#include "model/undo.h"
#include "model/view_rec.h"
#include "tools/tool_common.h"

Point3 camera_tool_eye;

namespace {

// The two edges of the field of view from the eye through the target
// (tx, ty, tz), projected into the view.
void draw_view_field(double tx, double ty, double tz) {
  view_project(camera_tool_eye.x, camera_tool_eye.y, camera_tool_eye.z);
  const double u = geo_result.view_u, v = geo_result.view_v;
  view_project(tx, ty, tz);
  const double tu = geo_result.view_u, tv = geo_result.view_v;
  const double half = view_camera.view_angle / 360.0 * GEOM_PI;
  for (double a : {half, -half}) {
    geom_rotate_point(u, v, tu, tv, a);
    draw_xor_line(u, v, geo_result.rot_x, geo_result.rot_y);
  }
}

void preview_3d_camera(InputRequest*, double x, double y) { draw_view_field(x, y, 0.0); }
void preview_3d_camera_confirm(InputRequest* r, double, double) {
  draw_view_field(r->x[0], r->y[0], r->z[0]);
}

void clear_first_point(InputRequest& r) { r.x[0] = r.y[0] = r.z[0] = 0.0; }

}  // namespace

void tool_3d_camera() {
  InputRequest r;
  clear_first_point(r);
  const int res =
      tool_ask(r, {{STEP_POINT, nls_mark("Eye point:")}, {STEP_CONFIRM, nls_mark("Move XYZ/Confirm:")}});
  camera_tool_eye = {r.x[0], r.y[0], r.z[0], 0};
  if (res != INPUT_DONE) return;
  Point3 eye = camera_tool_eye;
  clear_first_point(r);
  if (tool_ask(r, {{STEP_POINT, nls_mark("Target point:"), preview_3d_camera},
                   {STEP_CONFIRM, nls_mark("Move XYZ/Confirm:"), preview_3d_camera_confirm}}) != INPUT_DONE)
    return;
  Point3 target{r.x[0], r.y[0], r.z[0], 0};
  if (eye.z == 0.0 && target.z == 0.0) {
    if (tool_ask(r, {{STEP_LENGTH, nls_mark("Height:")}}) != INPUT_DONE) return;
    eye.z = target.z = r.length;
  }
  elem_new_camera(cur_layer, cur_pen, cur_line_type, eye.x, eye.y, eye.z, target.x, target.y, target.z,
                  view_camera.view_angle, 1);
  camera_activate(elem_as<CameraElem>(elem_list_tail));
  undo_record(UNDO_CREATED, 1);
}
