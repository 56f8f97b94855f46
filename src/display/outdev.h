#pragma once

// The output-device table: every element reaches the screen, a printer or
// an export file through its seven slots. The drawing passes never draw
// themselves; they call the slot that fits. Writers install their own slots
// through an OutdevInstall guard, set active and run a drawing pass; the
// slots they leave alone keep the screen functions, which break their
// element down into calls of the other slots (texts, dimensions and rooms
// into lines, arcs and fills; arcs and Bezier curves into lines).
//
// Coordinates are world units of the drawing plane, or view coordinates of
// the projection in 3D views. pen is 0..7 or PEN_GUIDE; lt a line type.

#include <cstdint>

#include "model/elem.h"

using OutdevDimensionFn = void (*)(uint8_t pen, uint8_t lt, uint8_t figure_pen, uint8_t figure_lt,
                                   double direction, double figure_size, double figure_width,
                                   double figure_space, double chain_space, double help_line_length,
                                   const char* font, uint8_t format, uint8_t end_mark, uint8_t dim_kind,
                                   int32_t n, const DimPoint* points);
using OutdevRoomFn = void (*)(uint8_t pen, uint8_t lt, double label_x, double label_y, const char* font,
                              double angle, double height, double width_factor, double spacing,
                              double line_spacing, const char* description, const char* number,
                              double area_factor, double base_z, double top_z, int32_t show_area,
                              int32_t show_volume, int32_t show_description, int32_t show_number, int32_t n,
                              const Point2* points);
using OutdevBezierFn = void (*)(uint8_t pen, uint8_t lt, double x0, double y0, double x1, double y1,
                                double x2, double y2, double x3, double y3);
using OutdevTextFn = void (*)(uint8_t pen, uint8_t lt, double x, double y, double angle, double height,
                              double width_factor, double spacing, double line_spacing, const char* text,
                              double fit_length, const char* font, uint8_t alignment);
using OutdevArcFn = void (*)(uint8_t pen, uint8_t lt, double cx, double cy, double rx, double ry,
                             double sweep, double start, double rotation);
using OutdevLineFn = void (*)(uint8_t pen, uint8_t lt, double x1, double y1, double x2, double y2);
using OutdevFillFn = void (*)(double r, double g, double b, int32_t n, const Point2* points);

// Screen colour of the element being drawn.
enum : uint8_t {
  DRAWMODE_NORMAL = 0,
  DRAWMODE_SELECTED = 1,
  DRAWMODE_ERASE = 2,
  DRAWMODE_OTHER_LAYER = 3,
};

struct OutputDevice {
  OutdevDimensionFn dimension = nullptr;
  OutdevRoomFn room = nullptr;
  OutdevBezierFn bezier = nullptr;
  OutdevTextFn text = nullptr;
  OutdevArcFn arc = nullptr;
  OutdevLineFn line = nullptr;
  OutdevFillFn fill = nullptr;
  uint8_t active = 0;  // 1 while output other than the screen is installed
  uint8_t draw_mode = DRAWMODE_NORMAL;
};
extern OutputDevice outdev;

// Puts the screen functions into the seven slots, active and draw_mode 0.
// Runs at start-up right after main_init_defaults (model/defaults.h).
void outdev_init_screen_slots();

// Saves the whole table on construction and puts it back on destruction,
// whatever way the scope is left. A writer or a dissolve installs its slots
// (and sets active) after making one.
class OutdevInstall {
 public:
  OutdevInstall() : saved_(outdev) {}
  ~OutdevInstall() { outdev = saved_; }
  OutdevInstall(const OutdevInstall&) = delete;
  OutdevInstall& operator=(const OutdevInstall&) = delete;

 private:
  OutputDevice saved_;
};

// Holds the view option "Show guide points" off for its lifetime and puts
// the previous value back on every way out: texts, dimensions and rooms
// draw their arcs and curves without centre and control-point markers.
class GuidePointsOff {
 public:
  GuidePointsOff();
  ~GuidePointsOff();
  GuidePointsOff(const GuidePointsOff&) = delete;
  GuidePointsOff& operator=(const GuidePointsOff&) = delete;

 private:
  int32_t saved_;
};

// Palette index of a pen in the current draw mode.
uint8_t outdev_palette_index(uint8_t pen);
// Screen width of a pen in pixels: its paper width at the reference scale,
// 0 (a hairline) for the guide pen, with "Show exact line thickness" off or
// outside the plan view; at most 255.
uint8_t outdev_pen_width_px(uint8_t pen);

// The screen slots.
void outdev_screen_line(uint8_t pen, uint8_t lt, double x1, double y1, double x2, double y2);
void outdev_screen_arc(uint8_t pen, uint8_t lt, double cx, double cy, double rx, double ry, double sweep,
                       double start, double rotation);
void outdev_screen_bezier(uint8_t pen, uint8_t lt, double x0, double y0, double x1, double y1, double x2,
                          double y2, double x3, double y3);
void outdev_screen_dimension(uint8_t pen, uint8_t lt, uint8_t figure_pen, uint8_t figure_lt, double direction,
                             double figure_size, double figure_width, double figure_space, double chain_space,
                             double help_line_length, const char* font, uint8_t format, uint8_t end_mark,
                             uint8_t dim_kind, int32_t n, const DimPoint* points);
void outdev_screen_room(uint8_t pen, uint8_t lt, double label_x, double label_y, const char* font,
                        double angle, double height, double width_factor, double spacing, double line_spacing,
                        const char* description, const char* number, double area_factor, double base_z,
                        double top_z, int32_t show_area, int32_t show_volume, int32_t show_description,
                        int32_t show_number, int32_t n, const Point2* points);
void outdev_screen_fill(double r, double g, double b, int32_t n, const Point2* points);
// outdev_screen_text is in display/text_draw.h.

// An ellipse arc as chords through the line slot; the chord count follows
// the radii and view_scale, doubled for output other than the screen.
void draw_ellipse_arc_poly(uint8_t pen, uint8_t lt, double cx, double cy, double rx, double ry, double sweep,
                           double start, double rotation);
// The number of chords draw_ellipse_arc_poly draws.
int outdev_arc_chord_count(double rx, double ry, double sweep);
// The number of chords outdev_screen_bezier draws.
int outdev_bezier_chord_count(double x0, double y0, double x1, double y1, double x2, double y2, double x3,
                              double y3);

// Point markers: a cross of +-2 pixels through the line slot with the guide
// pen, marker mode 0 in the background colour (erasing), 1 in the selection
// colour, any other in the current draw mode. Nothing while active.
void draw_point_marker(uint8_t marker_mode, double x, double y);
void draw_point_marker_3d(uint8_t marker_mode, double x, double y, double z);
// A +-1 pixel cross in the current draw mode, without flushing.
void draw_point_marker_small(double x, double y);

// Inverting rubber bands: an ellipse arc in 24 chords, a Bezier curve in 12
// to 36 chords with its two control points marked.
void draw_xor_ellipse_arc(double cx, double cy, double rx, double ry, double sweep, double start,
                          double rotation);
void draw_xor_bezier(double x0, double y0, double x1, double y1, double x2, double y2, double x3, double y3);

// Dissolving slots: each drawn line (not of the guide pen) or arc becomes a
// new element on the current layer instead of pixels.
void outdev_explode_line(uint8_t pen, uint8_t lt, double x1, double y1, double x2, double y2);
void outdev_explode_arc(uint8_t pen, uint8_t lt, double cx, double cy, double rx, double ry, double sweep,
                        double start, double rotation);

// The pen of the running HPGL plotting pass, -1 before the first.
extern int32_t hpgl_pen_pass;
int hpgl_pen_in_pass(uint8_t pen);
