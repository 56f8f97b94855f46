#include "model/camera.h"

#include "model/elem.h"
#include "model/geom.h"
#include "model/redraw.h"
#include "model/ui.h"
#include "model/view_rec.h"

namespace {

// Clears a camera's active flag; a camera whose flag changes is erased and
// drawn again. Inside a cursor bracket.
void deactivate(CameraElem* camera) {
  if (camera->active == 0) return;
  redraw().draw_element(DRAW_ERASE, camera);
  camera->active = 0;
  redraw().draw_element(DRAW_NORMAL, camera);
}

// Clears every camera but keep.
void deactivate_others(const CameraElem* keep) {
  for (ElemHeader* e = elem_list_head; e; e = e->next)
    if (auto* c = elem_as<CameraElem>(e); c && c != keep) deactivate(c);
}

// Makes camera the active one once no other is; inside a cursor bracket. The
// camera is always drawn again: a camera just made or read may not be drawn
// yet, though its flag is already set.
void make_active(CameraElem* camera) {
  redraw().draw_element(DRAW_ERASE, camera);
  camera->active = 1;
  camera_apply_view(camera);
  redraw().draw_element(DRAW_NORMAL, camera);
}

}  // namespace

void camera_deactivate_all() {
  redraw().input_cursor_toggle();
  deactivate_others(nullptr);
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
  redraw().input_cursor_toggle();
  deactivate_others(camera);
  make_active(camera);
  redraw().input_cursor_toggle();
}

void CameraActivation::activate(CameraElem* camera) {
  if (!last_) {
    camera_activate(camera);
  } else {
    redraw().input_cursor_toggle();
    if (last_ != camera) deactivate(last_);
    make_active(camera);
    redraw().input_cursor_toggle();
  }
  last_ = camera;
}
