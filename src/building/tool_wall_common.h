#pragma once

// What the wall tools share beyond wall_tools.h: picking a wall, building
// wall records, and the inverting outline of a plan.

#include <vector>

#include "building/wall_tools.h"

struct InputRequest;

// Which walls a pick accepts.
enum class WallPickRule { ANY, NOT_GABLE };

// Asks a STEP_PICK request with the prompt until a wall on the current layer
// is hit that the rule accepts and that is not except; null when the
// request ends with anything but INPUT_DONE.
WallElem* wall_pick_until(InputRequest& r, const char* prompt, WallPickRule rule,
                          const ElemHeader* except = nullptr);

// Appends a wall like w (layer, pen, line type, material, group) with the
// corners c, the plain outline of its lower corners and w's openings, then
// rebuilds it so that the openings that still fit are cut in again and the
// others dropped; the gable flag and points are w's when keep_gable is set,
// else none. The result is the list's tail, drawn.
WallElem* wall_append_rebuilt(const WallElem& w, const WallCorners& c, bool keep_gable);

// The eight corners of w.
WallCorners wall_corners_of(const WallElem& w);

// Two outlines with the same segments in the same order, to the bit.
bool wall_same_outline(const std::vector<WallSegment>& a, const std::vector<WallSegment>& b);

// The four edges of a plan with inverting lines.
void wall_xor_plan(const WallPlan& p);

// Shows the error box that a wall would get no thickness.
void wall_show_no_thickness();

// Erasing a wall on the screen also erases the pixels it shares with the
// walls and lines that meet it. An object of this class collects the plan
// boxes of the walls a tool erases or changes; draw_touching() then draws
// again, in the order of a full redraw, every visible wall and line that
// comes near one of them. In views other than the plan it draws every
// visible wall and line.
class WallTouchRepair {
 public:
  void add(const WallElem& w);
  void draw_touching() const;

 private:
  struct Box {
    double xmin, ymin, xmax, ymax;
  };
  std::vector<Box> boxes_;
};
