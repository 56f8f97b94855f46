#pragma once

// The display's start: puts the drawing passes, the program's cursor and the
// extents into the model's redraw table (model/redraw.h), so that model
// operations that redraw on their own reach the screen. The start-up calls
// it before anything is drawn; tests whose model operations must draw call
// it too.
void display_init();
