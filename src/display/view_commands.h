#pragma once

// What changes the view without changing the drawing: scale steps along the
// scale ladder (model/scale_ladder.h), remember and back, the default view,
// centring, scrolling, zoom to extents, and the extents of the shown or of
// the marked elements, from which exporters and drag previews take their
// boxes. All of it works on the current view (view 0 when a command runs).

#include <cstdint>

// Bounding boxes of an extents pass: the 2D box in view coordinates (the
// plane of the current projection; world x and y in the plan view) and the
// 3D box in world coordinates.
struct ViewExtents {
  int32_t started = 0;  // extents: a point has been added since the last pass began
  double xmin = 0.0, xmax = 0.0, ymin = 0.0, ymax = 0.0;
  double xmin3 = 0.0, xmax3 = 0.0, ymin3 = 0.0, ymax3 = 0.0, zmin3 = 0.0, zmax3 = 0.0;
  int32_t count = 0;  // marked_extents: the weighted point count of the elements
};
// The working box of every extents pass.
extern ViewExtents extents;
// The result of the last pass over the marked elements (mode 1).
extern ViewExtents marked_extents;

// The view record and scale of view_remember.
struct ViewRec;
extern ViewRec view_saved;
extern double view_saved_scale;

// " 1:%.0f " (or " %.0f:1 " below 1) into the status line's scale field.
void view_show_scale();
// To the next larger or smaller ladder value; nothing at the ladder's ends.
void view_scale_step_up();
void view_scale_step_down();
void view_remember();
void view_back();
// 1:500 around (-10, -10) to (10, 10).
void view_default();
// Centres the view on the pointer's world position.
void view_center_on_cursor();
// Moves the window by a quarter of its size; dx and dy are -1, 0 or 1.
void view_scroll_quarter(double dx, double dy);

// Mode 0: zooms so that the shown elements and the marked ones fill the
// view with a 5 % margin on each side. Mode 1: only fills extents and
// marked_extents from the marked elements. Both take the elements' points
// and all the ink the screen shows of them (texts, dimensions, rooms, door
// and window symbols, the curve of a Bezier element, not its control
// points). Mode 2: only fills extents with the ink a printer or the PDF,
// SVG and EPS writers leave of the marked elements (no cameras, no lights,
// nothing in the guide pen, no room outline, nothing for an empty text).
// Mode 3: the same for what the DXF writer writes (the guide pen and the
// lights' symbols too, no cameras). Mode 4: as mode 2, with texts as the
// PDF and EPS text mode writes them (display/text_mode.h). The ink is
// measured, not drawn (display/ink_box.h).
void view_zoom_to_extents(uint8_t mode);
void view_extents_add_2d(double x, double y);
// Extents of fewer elements than this are found on one thread, of more on
// every core (tests make it small).
extern int extents_parallel_min_elements;
inline constexpr int EXTENTS_PARALLEL_MIN_ELEMENTS = 20000;
// Grows the 3D box by the point and the 2D box by its projection.
void view_extents_add_3d(double x, double y, double z);

// The arithmetic of the interactive view tools, for two corners, a move
// from one point to another and a new centre.
// The window becomes the box of the two corners, at the scale that fits it
// in the deciding direction; boxes of at most 1 mm both ways are ignored.
void view_zoom_to_window(double x0, double y0, double x1, double y1);
// The point picked as `to` comes to lie where `from` was on the screen.
void view_pan_by(double from_x, double from_y, double to_x, double to_y);
void view_zoom_center_at(double x, double y);
