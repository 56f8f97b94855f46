#pragma once

// Camera elements and the perspective view: the active camera (at most one)
// is the camera of the perspective view.

struct CameraElem;

// Clears the active flag of every camera, redrawing each.
void camera_deactivate_all();
// Copies camera's eye, target and view angle into the perspective view's
// camera and derives its azimuth and elevation.
void camera_apply_view(CameraElem* camera);
// Makes camera the only active camera and the camera of the perspective view.
void camera_activate(CameraElem* camera);
// Recomputes the azimuth and elevation of the perspective camera from its
// eye and target (after a drawing or settings file was read).
void view_camera_update_angles();
