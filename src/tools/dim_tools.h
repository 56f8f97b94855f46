#pragma once

// The dimension tools: chains point by point (along any direction, or held
// horizontal or vertical), chains from the crossings of a cut line with the
// walls of the current layer, measuring points added to and taken from a
// chain, the figure edits (a second value, a value in place of the measured
// one, back to the measured values, a moved figure), the current style and
// figure size onto a selection, and radius, diameter, angle and level
// dimensions. Each runs from its b_dim_ key until its input is cancelled
// (a point-by-point chain: until its points are given); every dimension
// made and every change is one undo step.
//
// New dimensions take their style from dim_preset and go on the current
// layer; in guide mode the dimension line gets the guide pen, and the
// three-entry kinds the guide pen for their figures as well.

#include <array>
#include <string_view>
#include <vector>

#include "model/elem.h"

// The handlers. tool_dim_dim asks for the direction when ask is nonzero and
// takes angle (radians) otherwise; the handlers return the result of the
// request that ended them, or 0.
int tool_dim_dim(double angle, int ask);
int tool_dim_auto();
int tool_dim_plus();
int tool_dim_minus();
void tool_dim_height();
void tool_dim_alter_value();
void tool_dim_original();
void tool_dim_alter_move();
void tool_dim_alter_size();
void tool_dim_alter_style();
void tool_dim_r();
void tool_dim_d();
void tool_dim_a();
void tool_dim_h();

// The direction of b_dim_auto (radians); kept from one run to the next.
extern double dim_auto_angle;

struct InputRequest;
// Asks for a direction: "Angle/1st Direction point:" (an angle typed, or a
// point), "Move/2nd Direction point:", "Move/Confirm:". A typed angle or the
// direction of the two points goes into angle; any other end leaves it.
// Returns the result of the request.
int dim_ask_direction(InputRequest& r, double& angle);

// The most entries of a chain a tool builds.
inline constexpr int DIM_WORK_POINTS = 100;
// A circle of a radius not above this gets no radius or diameter dimension.
inline constexpr double DIM_MIN_RADIUS = 0.000001;

// The second point of a dimension line through p at angle a: p + 10 (cos a, sin a).
Point2 dim_line_second_point(Point2 p, double angle);

// The entry of a measured point m for the dimension line through p and q:
// its point on the line is the projection of m; the measured point is m,
// or that projection again when link is 0.
DimPoint dim_chain_entry(Point2 p, Point2 q, Point2 m, int link);

// The crossings of the cut from s to f with the walls of the current layer,
// in list order: per wall its corner lines 0-1 and 2-3 whole, then every
// outline segment; both ends of both lines included. At most limit points.
std::vector<Point2> dim_wall_crossings(Point2 s, Point2 f, int limit);

// The entries of the three-entry kinds (measured points, lengths, values
// and text displacements zero).
// Radius: centre, the circle point towards t, t.
std::array<DimPoint, 3> dim_radius_entries(Point2 c, double r, Point2 t);
// Diameter: centre, then t -+ (d / 2) u, u at right angles to c -> t.
std::array<DimPoint, 3> dim_diameter_entries(Point2 c, double d, Point2 t);
// Angle: centre, the point at the end point's distance in the start point's
// direction, the end point.
std::array<DimPoint, 3> dim_angle_entries(Point2 c, Point2 start, Point2 end);
// Level: the position, then the zero height and the measured height at its x.
std::array<DimPoint, 3> dim_level_entries(Point2 pos, double zero_y, double y);

// A figure moved by the world vector (dx, dy) on a dimension at direction:
// the vector in the dimension's own frame (along it, across it).
Point2 dim_displacement(double dx, double dy, double direction);

// Takes a dimension out of the drawing and frees it (not on screen).
void dim_remove(ElemHeader* e);

// Appends a dimension of the kind from dim_preset on the current layer:
// the chain pen (the guide pen in guide mode), the figure pen (in guide mode
// the guide pen too when guide_figure is set), the font given. It becomes
// elem_list_tail, which is returned.
DimElem* dim_new_from_preset(int kind, double direction, int n, const DimPoint* entries,
                             std::string_view font, bool guide_figure);
