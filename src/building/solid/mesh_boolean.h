#pragma once

// Union, difference and intersection of two solids through the external
// mesh boolean tool: the operands go to it as GTS files in a folder, and two
// of the four surfaces it writes back become one cleaned mesh.

#include <string>

#include "model/elem.h"

enum : int { MESH_BOOLEAN_UNION = 0, MESH_BOOLEAN_DIFFERENCE = 1, MESH_BOOLEAN_INTERSECTION = 2 };

// The tool, started from the working folder (the installation folder).
extern std::string mesh_boolean_tool;

// One pass on two different operands, each a MeshElem or a WallElem:
// walls become meshes on cur_layer (an undo step of their own), then the
// tool runs on files in folder. The two parts read back are joined, faces
// the solids share are dropped from the joined surface, and it is cleaned.
// Where one solid lies wholly inside the other or apart from it, the
// result is the whole of the one that is left (the union of nested solids
// is the outer one, the intersection the inner one). The difference asks
// whether to keep the second operand, the intersection whether to keep
// both. On success the result (pen, line type and material of the first
// operand) is the last element, one undo step, and 1 is returned.
// Otherwise 0 is returned with the operands as they were, walls given back
// and no undo step left of their conversion: a result that encloses no
// volume (solids apart, or touching only in a face or an edge) is said in
// a message, "The result is empty"; one that is no closed surface wound
// one way throughout, holds a volume the operation cannot give (an
// intersection larger than the smaller solid, say), or lies where the
// operation cannot put it (a union that leaves out a point of a solid) is
// refused in the error box, as is a tool that fails (with the tool's
// reason, when it gives one, on a line after the failure).
int mesh_boolean(int mode, ElemHeader* first, ElemHeader* second, const std::string& folder);

// Whether a result is a closed surface wound one way throughout, judged on
// its faces as written and on the triangles every export writes: the check
// every result of mesh_boolean passes before it is kept.
bool mesh_boolean_result_sound(const MeshElem& m);
