#pragma once

// How each element is drawn: which output-device slot it goes to, in which
// colour, which of its vertices get point markers, and the order in which
// the whole drawing is painted. Views other than the plan view show only the
// 3D-capable kinds (walls, 3D lines, meshes, cameras, rooms, lights),
// projected; every line of such a view goes through the line slot, so
// printers and exporters receive the projection too.

#include <cstdint>

#include "model/elem.h"

// Drawing modes DRAW_NORMAL .. DRAW_PLAIN: model/consts.h.

void draw_element(uint8_t mode, ElemHeader* e);
// Draws an element as DRAW_PLAIN does, whatever its layer's shown flag:
// what it would leave, for measuring it.
void draw_element_any_layer(ElemHeader* e);

// Which elements a drawing pass takes. Elements on a hidden layer other
// than the current one are never drawn.
enum class DrawScope : uint8_t {
  ALL,     // the whole drawing
  MARKED,  // the elements that are marked or have a marked point
};
// The drawing passes over a scope, as printers and exporters run them with
// their slots installed: fillings of other shown layers, fillings of the
// current layer, then everything else in the same layer order. Nothing of
// the screen around them: no cursor, nothing shown at once, no flush;
// draw_refresh_now is 0 during the passes and as before afterwards.
void draw_scope(uint8_t mode, DrawScope which);
// The screen's passes: draw_scope with the program's cursor hidden and the
// view shown once at the end. DRAW_CLEAR clears the view first.
void draw_all(uint8_t mode);
void draw_selected(uint8_t mode);
// The element created last, if any.
void draw_last_element(uint8_t mode);
// Clears the view, draws the whole drawing and the markers of the points
// entered so far.
void view_redraw();
// While a hold lasts, view_redraw of the main view only notes that it is
// due; when the last hold ends, the main view is redrawn once, as every
// change made meanwhile left it. A load refreshes the interface in several
// steps that each redraw: held, the drawing is drawn once.
void view_redraw_hold();
// Ends a hold. With drop, a redraw that is due is forgotten: the caller
// draws the view itself right after.
void view_redraw_release(bool drop = false);
// Passes of draw_all over a drawing that holds elements: the redraws that
// cost (for tests and benchmarks).
extern uint32_t draw_full_count;

// Projects both points and draws the line between them through the line slot;
// an export leaves out a line seen end-on, which has no length.
void draw_3d_line(uint8_t pen, uint8_t line_type, double x1, double y1, double z1, double x2, double y2,
                  double z2);
// The 12 edges of a box (corners 0..3 below 4..7) and markers at its marked corners.
void draw_3d_box_edges(uint8_t pen, uint8_t marker_mode, uint8_t line_type, const Point3* corners);
// Draws a 3D-capable element through the projection: 1, or 0 for the 2D kinds.
int draw_3d_element(uint8_t pen, uint8_t line_type, ElemHeader* e, uint8_t marker_mode);

// The inverted preview of the marked elements moved so that the reference
// point lands on the target, turned by angle about it. count is the
// weighted point count of marked_extents: from 50 on only the box is shown.
struct DragPreview {
  double ref_x = 0.0, ref_y = 0.0, ref_z = 0.0;
  double target_x = 0.0, target_y = 0.0, target_z = 0.0;
  double angle = 0.0;
  uint32_t count = 0;
  double xmin = 0.0, ymin = 0.0, xmax = 0.0, ymax = 0.0;  // 2D box, view coordinates
  double xmin3 = 0.0, ymin3 = 0.0, zmin3 = 0.0, xmax3 = 0.0, ymax3 = 0.0, zmax3 = 0.0;
};
void draw_drag_preview(const DragPreview& p);
void draw_drag_preview(double ref_x, double ref_y, double ref_z, double target_x, double target_y,
                       double target_z, double angle, uint32_t count, double xmin, double ymin, double xmax,
                       double ymax, double xmin3, double ymin3, double zmin3, double xmax3, double ymax3,
                       double zmax3);
// A point under the transform of the last drag preview.
double draw_drag_x(double x, double y);
double draw_drag_y(double x, double y);
