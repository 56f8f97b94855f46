#include "building/solid/solid_marked.h"

#include "model/elem.h"

int solid_any_marked() {
  ElemHeader* it;
  for (ElemHeader* e = elem_first(&it); e; e = elem_next(&it))
    if (e->mark == 1 && (elem_as<WallElem>(e) || elem_as<Line3dElem>(e) || elem_as<MeshElem>(e))) return 1;
  return 0;
}
