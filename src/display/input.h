#pragma once

// The input request engine: how every tool asks for points, picks, typed
// values and confirmations.
//
// A tool fills an InputRequest with up to nine steps (kind, prompt, rubber
// band) and hands it to input_run_request, which shows each step's prompt,
// shows the rubber band at the cursor, waits for command keys, snaps clicks,
// takes typed values, absolute coordinates and axis moves, lets view
// commands run in the middle, and returns a result code. The snap keys and
// the value prompts are requests of their own, so requests nest.
//
// A p_ or b_ key ends every running request with INPUT_CANCEL and stays in
// pending_command, so the command loop runs it next: another tool's button
// ends the running tool and starts the new one.
//
// Escape in the open value entry ("z_eesc") only closes the entry: a value
// prompt the engine asked for itself (absolute coordinates after "z_abs",
// the distance of an axis key, the counts of the division snap) ends, and
// the step that asked goes on unchanged; a value step of the caller stays
// without its entry (Return opens it again), so a second Escape ends the
// request as at any prompt.

#include <cstdint>

#include "display/key_state.h"
#include "model/elem.h"
#include "model/fixed_text.h"

inline constexpr int INPUT_MAX_STEPS = 9;
inline constexpr int INPUT_MAX_POINTS = 4;
inline constexpr int INPUT_PROMPT_LEN = 80;

// Step kinds.
enum : uint16_t {
  STEP_END = 0,
  STEP_POINT = 1,         // a snapped point
  STEP_NEXT_POINT = 2,    // a snapped point; Enter repeats the last one, axis keys move it
  STEP_NEXT_POINT_3 = 3,  // as STEP_NEXT_POINT
  STEP_NEXT_POINT_4 = 4,  // as STEP_NEXT_POINT
  STEP_CONFIRM = 5,       // a click or Enter; axis keys move the last point
  STEP_CORNER_1 = 6,      // a raw click into point 0
  STEP_CORNER_2 = 7,      // a raw click into point 1
  STEP_INTEGER = 8,       // typed values
  STEP_LENGTH = 9,
  STEP_TEXT = 10,
  STEP_ANGLE = 11,
  STEP_NUMBER = 12,
  STEP_POINT_3D = 13,         // a snapped or typed point, or an offset by axis keys or Enter
  STEP_POINT_OR_LENGTH = 14,  // a snapped point or a typed value
  STEP_POINT_OR_ANGLE = 15,
  STEP_PICK = 16,       // a raw click into point 0, pick cursor
  STEP_RAW_POINT = 17,  // a raw click appended as point 0
  STEP_POINT_OR_NUMBER = 18,
};

// Results of input_run_request.
enum : int {
  INPUT_DONE = 0,
  INPUT_CANCEL = 1,
  INPUT_OK = 2,
  INPUT_TOGGLE = 3,
  INPUT_ALL = 4,
  INPUT_LAST = 5,
  INPUT_VALUE = 6,
};

struct InputRequest;
// A rubber band: draws its figure for the pointer at world (wx, wy) with
// inverting primitives only, the same figure for the same arguments, so
// that the second call erases the first.
using InputPreviewFn = void (*)(InputRequest* request, double wx, double wy);

// Owned by the caller, filled before the call, read afterwards.
struct InputRequest {
  int16_t transparent = 0;  // 1: f_ and s_ view commands run inside the request
  int16_t nsteps = 0;       // at most INPUT_MAX_STEPS
  int16_t step = 0;         // the engine starts here and counts up
  int16_t npoints = 0;      // points entered so far
  uint16_t kind[INPUT_MAX_STEPS + 1] = {};
  FixedText<INPUT_PROMPT_LEN> prompt[INPUT_MAX_STEPS + 1];  // already translated
  InputPreviewFn preview[INPUT_MAX_STEPS + 1] = {};
  double x[INPUT_MAX_POINTS] = {};
  double y[INPUT_MAX_POINTS] = {};
  double z[INPUT_MAX_POINTS] = {};
  double length = 0.0;  // typed length or number
  double angle = 0.0;   // typed angle, radians
  int32_t integer = 0;
  FixedText<INPUT_TEXT_LEN> text;
  uint8_t saved_cursor_style = 1;          // engine-owned
  uint8_t snapped[INPUT_MAX_POINTS] = {};  // engine-owned: 1 when point k was caught by snap
};

// Sets step k (0 .. INPUT_MAX_STEPS - 1) and makes nsteps at least k + 1.
// The prompt is cut to its field.
void input_set_step(InputRequest* request, int k, uint16_t kind, const char* prompt,
                    InputPreviewFn preview = nullptr);

// The request whose rubber band and markers are on screen; null while the
// command loop waits or runs a command.
extern InputRequest* active_request;
// The From point of the tangent snap, read by its rubber band.
extern Point2 tangent_from;

// Runs the request until all its steps are done or a key ends it.
int input_run_request(InputRequest* request);

// Toggles the inverted marker of point k: a cross with arms of 10 - k
// pixels (a square of +-3 pixels around it when the point was snapped) in
// the plan view, three short axis lines elsewhere.
void input_toggle_point_marker(InputRequest* request, int k);
// The markers of points 0 .. npoints - 1; nothing for a null request.
void input_toggle_all_markers(InputRequest* request);
// Gives point npoints the coordinate the current view cannot show, from
// the point before it (0 for the first): z in the plan view, y in views 2
// and 8, x in views 4 and 6.
void input_keep_offview_coordinate(InputRequest* request);
// The two-letter label ("X+", "Z-", ...) of an axis key in the current view
// type, into label (at least 3 bytes); an empty label for other keys.
void input_axis_key_label(const char* key, char* label);
// Orders the first two points so that x[0] <= x[1] and y[0] <= y[1].
InputRequest* input_normalize_corners(InputRequest* request);
// The tangent snap's rubber band: a line from tangent_from to the pointer.
void preview_tangent_snap(InputRequest* request, double x, double y);

// ---- The cursor half (input_cursor.cpp) ----
// The program's own cursor over the main view, the coordinate fields of the
// status line, and the hover scan that tells what object snap would catch.
//
// The cursor, the waiting step's rubber band and the hover sign are drawn
// by inverting pixels of view 0's backing store, so drawing them twice
// gives the pixels back. Whatever draws while the cursor may be on screen
// brackets its drawing by two input_cursor_toggle calls with the same
// request; cursor_style, cur_preview_fn and hover_code change only between
// two toggles.

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
// Whether a scan has begun and not reached the end of the list yet.
bool input_hover_scan_running();

// Script targets for tests and scripted runs: a click in view 0 as the
// drawing area's button handler takes it (pointer and click position kept,
// the button's key posted, the coordinates shown), and a value typed into
// the inline entry and confirmed with Enter.
void input_script_click(int button, double x, double y, bool world);
void input_script_value(const char* text);
// Installs both into the scripted backend's targets.
void input_install_script_targets();
