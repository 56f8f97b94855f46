// Turns the active camera's view by one degree at a time, its eye kept.

#include "building/light_camera_tools.h"
#include "display/view_commands.h"
#include "model/camera.h"
#include "model/geom.h"
#include "model/vec3.h"

namespace {

constexpr double ONE_DEGREE = 0.017453292519943295;

Point3 offset(Point3 p, double dx, double dy, double dz) { return {p.x + dx, p.y + dy, p.z + dz, 0}; }

}  // namespace

Point3 camera_turned_target(Point3 eye, Point3 target, int mode) {
  if (mode == 2 || mode == 3) {
    geom_rotate_point(eye.x, eye.y, target.x, target.y, mode == 2 ? ONE_DEGREE : -ONE_DEGREE);
    return {geo_result.rot_x, geo_result.rot_y, target.z, 0};
  }
  // Turn the view direction onto +x, tilt it about the horizontal axis
  // along y (by the right-hand rule a negative angle lifts it), turn back.
  const double a = geom_angle(eye.x, eye.y, target.x, target.y);
  const Point3 up = offset(eye, 0, 0, 10), along_y = offset(eye, 0, 10, 0);
  vec3_rotate_about_axis(target, -a, eye, up);
  vec3_rotate_about_axis(geo_result.rot3, mode == 0 ? -ONE_DEGREE : ONE_DEGREE, eye, along_y);
  vec3_rotate_about_axis(geo_result.rot3, a, eye, up);
  Point3 out = geo_result.rot3;
  out.mark = target.mark;
  return out;
}

void tool_cam_turn(int mode) {
  CameraElem* camera = nullptr;
  for (ElemHeader* e = elem_list_head; e && !camera; e = e->next)
    if (auto* c = elem_as<CameraElem>(e); c && c->active == 1) camera = c;
  if (!camera) return;
  camera->target = camera_turned_target(camera->eye, camera->target, mode);
  camera_apply_view(camera);
  view_zoom_to_extents(0);
}

void tool_cam_up() { tool_cam_turn(0); }
void tool_cam_down() { tool_cam_turn(1); }
void tool_cam_left() { tool_cam_turn(2); }
void tool_cam_right() { tool_cam_turn(3); }
