#include "model/camera.h"

#include "model/elem.h"
#include "model/geom.h"
#include "model/redraw.h"
#include "model/ui.h"
#include "model/view_rec.h"

void camera_deactivate_all() {
  redraw().input_cursor_toggle();
  for (ElemHeader* e = elem_list_head; e; e = e->next) {
    auto* c = elem_as<CameraElem>(e);
    if (!c) continue;
    redraw().draw_element(DRAW_ERASE, c);
    c->active = 0;
    redraw().draw_element(DRAW_NORMAL, c);
  }
  redraw().input_cursor_toggle();
}

void camera_apply_view(CameraElem* camera) {
  view_camera.eye_x = camera->eye.x;
  view_camera.eye_y = camera->eye.y;
  view_camera.eye_z = camera->eye.z;
  view_camera.target_x = camera->target.x;
  view_camera.target_y = camera->target.y;
  view_camera.target_z = camera->target.z;
  view_camera.view_angle = camera->view_angle;
  view_camera_update_angles();
  ui().dlg_camera_set_angle(camera->view_angle);
}

void view_camera_update_angles() {
  ViewCamera& c = view_camera;
  c.twist = 0.0;
  // Looking down gives an angle between 3 pi/2 and 2 pi, not a negative one.
  const double d = geom_dist(c.eye_x, c.eye_y, c.target_x, c.target_y);
  c.elevation = geom_angle(0, 0, d, c.target_z - c.eye_z);
  const double a = geom_angle(c.eye_x, c.eye_y, c.target_x, c.target_y);
  c.azimuth = GEOM_TWO_PI - (a - GEOM_PI / 2);
}

void camera_activate(CameraElem* camera) {
  camera_deactivate_all();
  redraw().input_cursor_toggle();
  redraw().draw_element(DRAW_ERASE, camera);
  camera->active = 1;
  camera_apply_view(camera);
  redraw().draw_element(DRAW_NORMAL, camera);
  redraw().input_cursor_toggle();
}
