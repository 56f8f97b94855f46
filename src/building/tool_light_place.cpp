// Lights with the current light settings: a point light at a clicked point,
// a spotlight from a clicked point towards a target.

#include "building/light_camera_tools.h"
#include "display/draw.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/presets.h"
#include "model/settings.h"
#include "model/undo.h"
#include "tools/tool_common.h"

namespace {

// Asks a point with its confirm step; false when cancelled.
bool ask_point(InputRequest& r, const char* prompt, Point3& p) {
  if (tool_ask(r, {{STEP_POINT, prompt}, {STEP_CONFIRM, nls_mark("Move XYZ/Confirm:")}}) != INPUT_DONE)
    return false;
  p = {r.x[0], r.y[0], r.z[0], 0};
  return true;
}

}  // namespace

void tool_3d_light() {
  InputRequest r;
  for (;;) {
    Point3 p, t;
    if (!ask_point(r, nls_mark("Light point:"), p)) return;
    t = p;
    if (light_preset.type == LIGHT_SPOT && !ask_point(r, nls_mark("Target point:"), t)) return;
    // A light clicked in the plan view is raised; a spotlight's target
    // stays on the floor.
    if (p.z == 0.0 && t.z == 0.0) {
      if (tool_ask(r, {{STEP_LENGTH, nls_mark("Height:")}}) != INPUT_DONE) return;
      p.z = r.length;
    }
    const LightPreset& l = light_preset;
    elem_new_light(cur_layer, cur_pen, cur_line_type, l.type, l.shadow, l.size, l.angle, l.shadow_intensity,
                   p.x, p.y, p.z, t.x, t.y, t.z, l.r, l.g, l.b);
    undo_record(UNDO_CREATED, 1);
    ToolCursorOff off;
    draw_last_element(DRAW_PLAIN);
  }
}
