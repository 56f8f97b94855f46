#pragma once

// Interactive selection: how the user marks the elements (and single
// vertices) an operation is to work on.
//
// A tool that works on a selection calls select_elements, ends at once
// unless it returns 1, acts on the elements whose mark byte is 1 (the move
// and stretch tools also on the vertices whose point mark is 1) and ends
// with select_clear, which shows everything plain again and unmarks it.
// While the selection runs the Select page is shown; its radio buttons
// choose the type (select_type), the mode (select_mode) and the layers
// (select_all_layers), its "Filter" toggle and the Filter dialog the
// attribute filter (select_filter); all four live in model/settings.h.
//
// Marked elements show in the selection colour, marked vertices as small
// crosses. The functions that draw do so without hiding the program's
// cursor: their callers hide it around them (select_elements and
// select_clear do).

#include <cstdint>

#include "model/elem.h"

struct InputRequest;

// The last selection window, in view coordinates, x1 <= x2 and y1 <= y2.
struct SelectWindow {
  double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;
};
extern SelectWindow select_window;
// 1 once the running selection may have marked vertices (a Point selection
// was started or an opening chosen); 0 when a selection starts.
extern uint8_t select_points_marked;

// The entries of the filter's "Object type" list, in the list's order, and
// the element kind each stands for. select_filter.kind_choice is an index
// into it.
struct SelectKindChoice {
  const char* label;  // English, translated where shown
  uint8_t kind;
};
inline constexpr int SELECT_KIND_CHOICES = 12;
extern const SelectKindChoice select_kind_choices[SELECT_KIND_CHOICES];

// Runs the interactive selection: 1 when it ends with OK (the page's OK
// button or Tab), 0 when it is cancelled (Escape, another command), after
// select_clear(arg). A nonzero arg enables the Opening and Point types.
// Marks set before the call stay and can be changed.
int32_t select_elements(uint8_t arg);

// Ends a selection: the marked elements are drawn plain and unmarked. Mode
// 1 also clears the point marks of walls and their openings' marks, mode 2
// every point mark and opening mark; after a selection that marked vertices
// these two modes redraw the whole view instead.
void select_clear(uint8_t mode);
// Sets every element's mark byte to 0 without drawing.
void select_clear_flags();

// 1 when the filter is off or the element passes it, else 0.
int32_t select_filter_match(const ElemHeader* e);

// 1 when the point lies in select_window (borders included); the 3D form
// tests the point's projection into the current view.
int32_t select_window_contains(double x, double y);
int32_t select_window_contains_3d(double x, double y, double z);

// select_mode applied to a mark: Active sets it to 1, Passive sets a 1 to
// 0, Switch sets a 1 to 0 and anything else to 1.
void select_apply_mode(ElemHeader* e);
// As select_apply_mode; an element whose mark changed is drawn again, so
// that it shows highlighted or plain.
void select_apply_mode_redraw(ElemHeader* e);
void select_apply_mode_point(Point2& p);
void select_apply_mode_point_3d(Point3& p);

// A vertex inside select_window gets the mode; a marker is drawn where a
// mark was set and erased where one was cleared. 1 when a mark was cleared
// (the caller draws the element again: erasing leaves a gap), else 0.
uint8_t select_mark_point(Point2& p);
uint8_t select_mark_point_3d(Point3& p);
// The same for the reference point of an arc or a text (plan view only) or
// a 3D point (every view); the element is drawn again when a mark was
// cleared.
void select_mark_ref_point(ElemHeader* e, Point2& p);
void select_mark_ref_point_3d(ElemHeader* e, Point3& p);
// An element with marked vertices is erased, loses its point marks and is
// drawn again.
void select_unmark_element(ElemHeader* e);
// The Point selection of one element: each of its vertices that the
// current view shows and select_window holds gets the mode.
void select_mark_points_in_window(ElemHeader* e);
// Clears every point mark of the element.
void select_clear_point_marks(ElemHeader* e);
// Clears the marks of a wall's openings and draws the wall again (once per
// opening that was marked); the quiet form does not draw. Nothing for
// other kinds.
void select_clear_opening_marks(ElemHeader* e);
void select_clear_opening_marks_quiet(ElemHeader* e);

// The rubber band of the window steps: a rectangle from the first corner
// to the pointer.
void preview_select_window(InputRequest* request, double x, double y);
