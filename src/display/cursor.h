#pragma once

// The program's own cursor over the main view, the coordinate fields of the
// status line, and the hover scan that tells what object snap would catch.
//
// The cursor, the waiting step's rubber band and the hover sign are drawn
// by inverting pixels of view 0's backing store, so drawing them twice
// gives the pixels back. Whatever draws while the cursor may be on screen
// brackets its drawing by two input_cursor_toggle calls with the same
// request; cursor_style, cur_preview_fn and hover_code change only between
// two toggles.

#include <cstdint>

struct InputRequest;
using InputPreviewFn = void (*)(InputRequest* request, double wx, double wy);

enum : uint8_t { CURSOR_POINT = 1, CURSOR_PICK = 2, CURSOR_RAW = 3 };

extern uint8_t cursor_style;
// Where the cursor is drawn, in pixels of view 0.
struct CursorPos {
  double x = -1.0, y = -1.0;
};
extern CursorPos cursor_pos;
// The rubber band of the waiting step; null otherwise.
extern InputPreviewFn cur_preview_fn;

// The hover scan: the sign shown beside the pick box (0 none, 1 a point,
// 2 an intersection, 3 a midpoint or quadrant point), the code the running
// scan has found, the position it belongs to, where it resumes.
extern int hover_code;
extern int hover_found_code;
extern CursorPos hover_scan_pos;
extern bool hover_busy;
// Time one tick may scan, in microseconds.
inline constexpr int64_t HOVER_TICK_BUDGET_US = 1500;

// Draws the cursor when it is not on screen and erases it when it is.
// With a request, the installed rubber band is part of the cursor.
void input_cursor_toggle(InputRequest* request);
// Fills the coordinate fields for the request (the pointer, the offset from
// the one entered point, or the last leg) and moves the cursor to the pointer.
void input_show_coordinates(InputRequest* request);
// Only the fields and the pointer's world point, for a pointer that stands
// still while the view under it changes.
void input_refresh_coordinates(InputRequest* request);
// Lets the drawing passes hide the cursor around their drawing and draw the
// active request's point markers again after a redraw.
void input_install_display_hooks();
// The 10 ms timer: goes on with the hover scan for at most the budget.
// Returns true (the timer stays).
bool input_hover_timer();
