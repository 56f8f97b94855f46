#pragma once

// Camera elements and the perspective view: the active camera (at most one)
// is the camera of the perspective view.

struct CameraElem;

// Clears the active flag of every camera; each camera whose flag changes is
// erased and drawn again.
void camera_deactivate_all();
// Copies camera's eye, target and view angle into the perspective view's
// camera and derives its azimuth and elevation.
void camera_apply_view(CameraElem* camera);
// Makes camera the only active camera and the camera of the perspective view.
// Only the cameras whose flag changes are erased and drawn again.
void camera_activate(CameraElem* camera);

// Makes cameras active one after another, as a file's active cameras are
// read: the first call is camera_activate, each later one clears only the
// camera made active before, so the whole run costs the length of the list
// once, not once per camera. Nothing else may change the active flags
// during the run.
class CameraActivation {
 public:
  void activate(CameraElem* camera);

 private:
  CameraElem* last_ = nullptr;
};
// Recomputes the azimuth and elevation of the perspective camera from its
// eye and target (after a drawing or settings file was read).
void view_camera_update_angles();
