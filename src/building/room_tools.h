#pragma once

// The room tools: rooms from a polygon or a rectangle with their
// inscription texts, contours added to a room as further area or as holes,
// and the inscription position, texts, factor, switches and levels of a
// picked room changed. Each runs from its b_room_ key until its input is
// cancelled; every room made and every change is one undo step.
//
// A room's first contour runs counter-clockwise; an added contour runs
// counter-clockwise to add its area and clockwise to cut a hole, so that
// the room's area is the sum of the signed contour areas.

#include <string_view>
#include <vector>

#include "model/elem.h"

struct InputRequest;

// The handlers.
void tool_room_poly();
void tool_room_range();
void tool_room_add_poly();
void tool_room_add_range();
void tool_room_position();
void tool_room_alter_description();
void tool_room_alter_number();
void tool_room_alter_factor();
void tool_room_alter_inscription();
void tool_room_alter_height();

// The most entries (end markers included) a room's contour list gets by
// adding contours.
inline constexpr int ROOM_MAX_POINTS = 499;

// Turns the contour of n entries (the last the end marker, or none) so
// that it runs counter-clockwise, or clockwise when ccw is false. A
// contour of no area stays as it is.
void room_orient_contour(int n, Point2* contour, bool ccw);

// A new room over the contour of n entries (ended by CONTOUR_END), not yet
// in the drawing: the contour turned counter-clockwise, the label on its
// first point, on the current layer, pen, line type, factor, levels and
// inscription switches from room_preset (the guide pen in guide mode), the
// inscription style from text_preset and text_size, no texts.
RoomElem room_from_preset(int n, const Point2* contour);

// The contour list of r with the contour of n entries added after it, or
// nothing (an empty list) when the two would hold more than
// ROOM_MAX_POINTS entries. The contour is taken as it runs.
std::vector<Point2> room_added_contour(const RoomElem& r, int n, const Point2* contour);

// The inscription dialogue of a room just made and shown marked: "Text
// start point:" (only while any switch is on; a cancel there asks nothing
// more), "Room description:" and "Room number:" (each while its switch is
// on, the entry holding the current text). The room ends unmarked and
// drawn. Records no undo step: the room's own creation step holds it.
void room_ask_texts(RoomElem* r);

// The questions the tools share, run in q: "Text start point:" with
// "Move/Confirm:" (the point in q.x[0], q.y[0]), and a text question whose
// entry starts with current (the answer in q.text). True when answered.
bool room_ask_label_point(InputRequest& q);
bool room_ask_text(InputRequest& q, const char* prompt, std::string_view current);
