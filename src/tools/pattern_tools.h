#pragma once

// The hatch pattern tools: new patterns from a polygon or a rectangle,
// contours added to a pattern, its origin, angle and spacing changed, the
// current pattern settings put onto patterns, one fill colour replaced on
// every fill of that colour, and a pattern dissolved into lines. Each runs
// from its b_pattern_ key until its input is cancelled; every pattern made
// and every change is one undo step.
//
// A pattern's area is a contour list: contours ended by CONTOUR_END, holes
// and further areas by the even-odd rule, never reoriented. Interactively a
// list grows to PATTERN_MAX_POINTS entries at most; patterns read from
// files may hold more.

#include <string_view>
#include <vector>

#include "model/elem.h"

// The handlers.
void tool_pattern_poly();
void tool_pattern_range();
void tool_pattern_add_poly();
void tool_pattern_add_range();
void tool_pattern_alter_origin();
void tool_pattern_alter_angle();
void tool_pattern_alter_space();
void tool_pattern_alter_pattern();
void tool_pattern_alter_pattern_b();
void tool_pattern_alter_pattern_a();
void tool_pattern_dissolve();

// The most entries (end markers included) a contour list gets by adding.
inline constexpr int PATTERN_MAX_POINTS = 499;
// A dissolve into more lines than this asks first.
inline constexpr long PATTERN_DISSOLVE_ASK_LINES = 100000;

// A new pattern of the n points from pattern_preset, not yet in the
// drawing: on the current layer, origin (0, 0), the second family half its
// spacing beside the first, the guide pen for both families in guide mode;
// Points and Filling get the line types 100 and 101, and only "2 Lines"
// keeps its second spacing.
PatternElem pattern_from_preset(int n, const Point2* points);

// The contour list of p with the contour added, or nothing (an empty
// list) when the two would hold more than PATTERN_MAX_POINTS entries.
std::vector<Point2> pattern_added_contour(const PatternElem& p, int n, const Point2* contour);

// The second family's reference point for the origin o: half a spacing 2
// beside o across angle 2.
Point2 pattern_offset_for(Point2 o, double angle2, double spacing2);

// The changes of the alter tools, on the record only.
// Origin o; the second family moves along when both families run alike,
// else it passes through o too.
void pattern_set_origin(PatternElem& p, Point2 o);
// Angle 1 becomes a; angle 2 keeps its difference to angle 1.
void pattern_set_angle(PatternElem& p, double a);
// Spacing 1 becomes s (above zero); spacing 2 keeps its ratio to it.
void pattern_set_spacing(PatternElem& p, double s);
// Colour, type, angles, spacings, pens and line types from pattern_preset.
void pattern_take_preset(PatternElem& p);

// The lines a dissolve turns p into, as it gives them to the line slot:
// its hatch lines (or dots) at their true spacing, whatever the view shows.
// Nothing for a Filling.
void pattern_draw_lines(const PatternElem& p);
