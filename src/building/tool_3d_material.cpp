// Gives the selected meshes and walls the current material.

#include "building/solid_tools.h"
#include "display/select.h"
#include "model/presets.h"
#include "model/undo.h"

void tool_3d_material() {
  if (select_elements(0) != 1) return;
  undo_record(UNDO_CHANGE, 0);
  // The element field is shorter than a preset name: the name is cut to it.
  const std::string_view name = material_preset.name.view();
  for (ElemHeader* e = elem_list_head; e; e = e->next) {
    if (e->mark != 1) continue;
    if (auto* m = elem_as<MeshElem>(e)) {
      m->material = name;
      drawing_modified = 1;
    } else if (auto* w = elem_as<WallElem>(e)) {
      w->material = name;
      drawing_modified = 1;
    }
  }
  select_clear(0);
}
