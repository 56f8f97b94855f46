#pragma once

// The hidden-line view: the meshes and walls of the current and the shown
// layers, as the current view shows them, turned into lines of their
// visible edges in the plan, on the current layer and in one new group.
// The user then keeps them there, moves them to another layer or drops them.

#include "building/solid/hlr.h"

// The options of the hidden-line view, set by its dialog; never saved.
extern HlrOptions hlr_options;

// The handler of b_3d_hlr.
void tool_3d_hlr();
