#pragma once

// Ending a selection: what every tool that works on marked elements calls
// when it is done with them.

#include <cstdint>

// 1 when the running selection has marked vertices; read by select_clear.
extern uint8_t select_points_marked;

// Unmarks every element. Mode 0 redraws the marked elements in their own
// colour first. Mode 1 also clears the point and opening marks of walls,
// mode 2 the point marks of every element and the opening marks of walls;
// after a selection that marked vertices these two redraw the whole view
// instead, since erasing the vertex markers leaves gaps in whatever lay
// under them.
void select_clear(uint8_t mode);
