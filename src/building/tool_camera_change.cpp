// Makes a picked camera the active one and shows the drawing again.

#include "building/light_camera_tools.h"
#include "display/draw.h"
#include "display/pick.h"
#include "model/camera.h"

void tool_3d_camera_change() {
  CameraElem* camera = pick_camera();
  if (!camera) return;
  camera_activate(camera);
  view_redraw();
}
