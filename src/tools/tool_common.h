#pragma once

// What the interactive tools share: filling and running their input
// requests, hiding the cursor around drawing, the pen of new elements,
// picking until an element is hit, highlighting a picked element and asking
// for a direction.
//
// A tool owns one InputRequest for its whole run and fills it again before
// every run, because the engine advances the current step and the point
// count and ends the step list itself. What the engine leaves in the typed
// values (length, angle, integer, text) stays across fills, so a value asked
// once at the start can ride along in the request for the later runs.

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <vector>

#include "display/input.h"

struct ElemHeader;

// One step of a request: its kind, its English prompt (translated when the
// request is filled; the tools wrap the literal in nls_mark, so that the
// check of the translation table finds it) and its rubber band, if any.
struct ToolStep {
  uint16_t kind = STEP_END;
  const char* prompt = "";
  InputPreviewFn preview = nullptr;
};

// Copies text into a prompt field. A text longer than the field is cut
// after the last whole UTF-8 character that fits.
void tool_set_prompt(FixedText<INPUT_PROMPT_LEN>& field, const char* text);

// Fills r for its next run: transparent (view commands run inside it),
// exactly these steps with their translated prompts (steps beyond
// INPUT_MAX_STEPS are left out), current step 0, no points entered. The
// typed values and the points of the last run stay.
void tool_fill_request(InputRequest& r, std::initializer_list<ToolStep> steps);

// Fills r with the steps and runs it; returns the input result.
int tool_ask(InputRequest& r, std::initializer_list<ToolStep> steps);

// While an object of this class lives, the program's cursor, the rubber band
// of the waiting step and the hover sign are off the screen, so that drawing
// done during or right after a request leaves nothing of them behind. Build
// it right before the drawing and let it go right after.
class ToolCursorOff {
 public:
  explicit ToolCursorOff(InputRequest* request = active_request);
  ~ToolCursorOff();
  ToolCursorOff(const ToolCursorOff&) = delete;
  ToolCursorOff& operator=(const ToolCursorOff&) = delete;

 private:
  InputRequest* request_;
};

// The pen of new elements: PEN_GUIDE while guide mode is on, else cur_pen.
int tool_pen();

// Appends the line (x1, y1) - (x2, y2) on cur_layer with cur_line_type and
// pen; it becomes elem_list_tail, which is returned.
ElemHeader* tool_new_line(int pen, double x1, double y1, double x2, double y2);

// Finds the element at a world point, or null.
using ToolPicker = ElemHeader* (*)(double x, double y);

// Runs a request of one STEP_PICK step with the prompt until picker finds
// an element at the clicked point, and returns it; null when the request
// ends with anything but INPUT_DONE.
ElemHeader* tool_pick_until(InputRequest& r, const char* prompt, ToolPicker picker);

// While an object of this class lives, e (when not null) is marked and
// shows highlighted, so the user sees which element the tool works on; it is
// unmarked and drawn in its own colour again on every way out of the scope.
// Both drawings are done with the cursor off the screen.
class ToolHighlight {
 public:
  explicit ToolHighlight(ElemHeader* e);
  ~ToolHighlight();
  ToolHighlight(const ToolHighlight&) = delete;
  ToolHighlight& operator=(const ToolHighlight&) = delete;

 private:
  ElemHeader* e_;
};

// Asks for a direction: "Angle/1st Direction point:" (an angle typed in the
// angle unit, or a point), "Move/2nd Direction point:", "Move/Confirm:".
// Returns the typed angle (radians), or the direction from the first point
// to the second in [0, 2 pi); nothing when the request ended otherwise.
std::optional<double> tool_ask_direction(InputRequest& r);

// A temporary line in the guide pen (line type 0, cur_layer) over a picked
// cutting or boundary edge, so the user sees it while selecting. It is
// drawn when made and taken out of the list when the object goes, without
// touching any other element; it never belongs to an undo step, so callers
// clear its mark before they record one. source, the element the edge came
// from, is drawn again where erasing the guide left a gap.
class ToolGuideLine {
 public:
  ToolGuideLine(Point2 a, Point2 b, ElemHeader* source);
  ~ToolGuideLine();
  ToolGuideLine(const ToolGuideLine&) = delete;
  ToolGuideLine& operator=(const ToolGuideLine&) = delete;
  ElemHeader* elem() const { return line_; }

 private:
  ElemHeader* line_;
  ElemHeader* source_;
};

// True when a selection or request was ended by another tool's button or a
// menu command that waits to run; false for nothing pending and for Escape.
// A tool that would otherwise ask again ends instead, so the key is not lost.
bool tool_command_waits();

// Erasing an element leaves gaps in the elements that cross it, and drawing
// one in a new place paints over their crossing pixels. A tool adds every
// element it erases or moves (before and after the change) and calls draw
// at the end: the elements near them on the shown layers are drawn again in
// the order of the drawing passes, so the view equals a clean redraw there.
// Fillings are left alone: drawn again they would cover what lies on them.
class ToolRepair {
 public:
  void add(const ElemHeader* e);
  void draw() const;

 private:
  struct Box {
    double xmin, ymin, xmax, ymax;
  };
  std::vector<Box> boxes_;
};
