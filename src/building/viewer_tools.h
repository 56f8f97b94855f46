#pragma once

// Handing the 3D model to the external viewer program "viewgl".

#include <string>

// The viewer's hand-off file: gl.kav in the program's private temporary
// folder ("" when there is none).
std::string viewer_handoff_path();

// Marks what the viewer shows (every mesh on the current layer, a shown
// layer or the temporary 3D layer), writes the header and the marked
// elements to path, and clears the selection again. Returns 1 when written.
int viewer_write_handoff(const std::string& path);

// b_3d_gl: writes the hand-off file and starts the viewer from the working
// folder with the file as its argument, in the background. Returns at once.
void tool_3d_gl();

// b_3d_wire: the wire-frame key is still dispatched, but the views already
// draw every solid as its edges, so it has nothing to do.
void tool_3d_wire();
