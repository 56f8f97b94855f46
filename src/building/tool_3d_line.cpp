// 3D lines between two entered points; two points both at height 0 ask for
// their heights.

#include "building/solid_tools.h"
#include "building/tool_3d_common.h"
#include "display/draw.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/settings.h"
#include "model/undo.h"
#include "tools/tool_common.h"

void tool_3d_line() {
  InputRequest r;
  for (;;) {
    if (tool_ask(r, {{STEP_POINT, nls_mark("Start point:")},
                     {STEP_NEXT_POINT, nls_mark("Move XYZ/End point:"), preview_3d_line},
                     {STEP_CONFIRM, nls_mark("Move XYZ/Confirm:"), preview_3d_line_confirm}}) != INPUT_DONE)
      return;
    Point3 a{r.x[0], r.y[0], r.z[0], 0}, b{r.x[1], r.y[1], r.z[1], 0};
    if (a.z == 0.0 && b.z == 0.0) {
      if (tool_ask(r, {{STEP_LENGTH, nls_mark("Z - Start point:")}}) != INPUT_DONE) return;
      a.z = r.length;
      if (tool_ask(r, {{STEP_LENGTH, nls_mark("Z - End point:")}}) != INPUT_DONE) return;
      b.z = r.length;
    }
    elem_new_line3d(cur_layer, cur_pen, cur_line_type, a.x, a.y, a.z, b.x, b.y, b.z);
    undo_record(UNDO_CREATED, 1);
    ToolCursorOff off;
    draw_last_element(DRAW_PLAIN);
  }
}
