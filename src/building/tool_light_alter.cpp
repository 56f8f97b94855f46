// Gives the selected lights the current light settings; where they stand
// and where they point stays.

#include "building/light_camera_tools.h"
#include "display/draw.h"
#include "display/select.h"
#include "model/presets.h"
#include "model/undo.h"
#include "tools/tool_common.h"

void tool_3d_light_alter() {
  if (select_elements(0) != 1) return;
  undo_record(UNDO_CHANGE, 0);
  {
    ToolCursorOff off;
    const LightPreset& l = light_preset;
    for (ElemHeader* e = elem_list_head; e; e = e->next) {
      auto* light = elem_as<LightElem>(e);
      if (!light || light->mark != 1) continue;
      drawing_modified = 1;
      draw_element(DRAW_ERASE, light);
      light->type = static_cast<uint8_t>(l.type);
      light->r = l.r;
      light->g = l.g;
      light->b = l.b;
      light->light_size = l.size;
      light->angle = l.angle;
      light->shadow_intensity = l.shadow_intensity;
      light->shadow = static_cast<uint8_t>(l.shadow);
    }
  }
  select_clear(0);
}
