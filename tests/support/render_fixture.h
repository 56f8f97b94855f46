#pragma once

// Drawings built in code for drawing tests and the off-screen renderer.

#include <string>

// Replaces the drawing by the named fixture; false for an unknown name.
//   "basic": a 20 x 12 m sheet with lines of several pens and line types,
//   a circle, an ellipse, an arc, a Bezier curve, texts, a wall, a 3D line,
//   a pyramid mesh, a point light, a guide line, a marked line and a line
//   on another shown layer.
//   "symbols": door, window and plain-opening symbols of every style, dimension
//   chains and the radius, diameter, angle and level kinds, a room with a
//   hole, and hatches, a point grid and a filling with holes.
bool render_fixture_build(const std::string& name);
