#pragma once

// The views as plain data: the world window and pixel box of each of the
// eight drawing areas, the view that drawing and the coordinate mapping use,
// the projection codes of view_type and the perspective camera. The widget
// side of a view lives with the display; this is all the model needs.

#include <cstdint>

// Field order as a remembered view is stored.
struct ViewRec {
  int16_t left = 0;  // pixel box of the drawing area
  int16_t top = 0;
  int16_t right = 0;
  int16_t bottom = 0;
  double xmin = -10.0;  // world window, metres
  double ymin = -10.0;
  double xmax = 10.0;
  double ymax = 10.0;
  double xscale = 0.0;  // metres per pixel, set when the area gets its size
  double yscale = 0.0;
};

// View 0 is the main drawing area, 1..7 are the dialog previews.
inline constexpr int VIEW_COUNT = 8;
extern ViewRec views[VIEW_COUNT];
extern int32_t cur_view;

// The view selected by cur_view (view 0 when cur_view is out of range).
ViewRec& view_current();

// Makes view k current for the guard's life and puts the view that was
// current back on every way out.
class CurrentView {
 public:
  explicit CurrentView(int32_t k) : saved_(cur_view) { cur_view = k; }
  ~CurrentView() { cur_view = saved_; }
  CurrentView(const CurrentView&) = delete;
  CurrentView& operator=(const CurrentView&) = delete;

 private:
  int32_t saved_;
};

// Codes of view_type (model/settings.h); the numbers follow the numeric
// keypad: 2 looks from the south, 8 from the north, 1 from the south-west.
enum : int32_t {
  VIEW_PLAN = 0,
  VIEW_ISO_FRONT_LEFT = 1,
  VIEW_FRONT = 2,
  VIEW_ISO_FRONT_RIGHT = 3,
  VIEW_LEFT = 4,
  VIEW_PERSPECTIVE = 5,
  VIEW_RIGHT = 6,
  VIEW_ISO_BACK_LEFT = 7,
  VIEW_BACK = 8,
  VIEW_ISO_BACK_RIGHT = 9,
  VIEW_AXIS_ROTATION = 10,  // only while a rotation about an axis runs; no projection
};

// The camera of the perspective view. The projection reads the eye, the
// azimuth and the elevation; the rest is for the view commands and renderers.
struct ViewCamera {
  double eye_x = 0.0, eye_y = -100.0, eye_z = 2.0;
  double target_x = 0.0, target_y = 0.0, target_z = 2.0;
  double view_angle = 60.0;  // degrees
  double azimuth = 0.0;      // radians
  double elevation = 0.0;
  double twist = 0.0;
};
extern ViewCamera view_camera;
