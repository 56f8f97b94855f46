#pragma once

// Whether the selection holds a solid: a wall, a 3D line or a mesh. Tools
// that change heights (the z factor of a stretch, the rise of a polar
// series) ask for a z value only then.
//
// Defined here, inline, because the drafting tools below this library use
// it as well as the 3D code beside it.

#include "model/elem.h"

// 1 when an element with mark byte 1 is a WallElem, Line3dElem or MeshElem,
// else 0.
inline int solid_any_marked() {
  for (const ElemHeader* e = elem_list_head; e; e = e->next)
    if (e->mark == 1 && (e->kind == ELEM_WALL || e->kind == ELEM_LINE3D || e->kind == ELEM_MESH)) return 1;
  return 0;
}
