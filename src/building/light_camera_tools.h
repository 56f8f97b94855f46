#pragma once

// Lights and cameras: placing lights with the current light settings and
// giving selected lights those settings, placing a camera (which becomes
// the active one), choosing the active camera, and turning it step by step.
// The active camera is the camera of the perspective view (model/camera.h).

#include "model/elem.h"

// The handlers of the b_3d_light, b_3d_light_alter, b_3d_camera and
// b_3d_camera_change keys.
void tool_3d_light();
void tool_3d_light_alter();
void tool_3d_camera();
void tool_3d_camera_change();

// Turns the active camera's target about its eye by one degree: mode 0 up,
// 1 down, 2 left, 3 right. Nothing happens while no camera is active.
void tool_cam_turn(int mode);
// The b_cam_ keys.
void tool_cam_up();
void tool_cam_down();
void tool_cam_left();
void tool_cam_right();

// The eye point entered last at the camera tool's first step, read by its
// rubber bands; kept between runs.
extern Point3 camera_tool_eye;

// The target turned about the eye by one degree (mode as tool_cam_turn):
// left and right in plan, keeping its height; up and down in the vertical
// plane through eye and target. Its distance from the eye stays.
Point3 camera_turned_target(Point3 eye, Point3 target, int mode);
