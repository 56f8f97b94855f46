// Union, difference and intersection of two picked solids (meshes or
// walls), computed by the mesh boolean tool.

#include "building/solid/mesh_boolean.h"
#include "building/solid_tools.h"
#include "display/draw.h"
#include "display/pick.h"
#include "model/nls.h"
#include "platform/temp_folder.h"
#include "tools/tool_common.h"

namespace {

ElemHeader* first_operand = nullptr;

ElemHeader* pick_solid(double x, double y) { return pick_nearest_element(x, y, PICK_SOLID); }
ElemHeader* pick_other_solid(double x, double y) {
  ElemHeader* e = pick_nearest_element(x, y, PICK_SOLID);
  return e == first_operand ? nullptr : e;
}

void tool_3d_boolean(int mode) {
  InputRequest r;
  for (;;) {
    ElemHeader* second = nullptr;
    first_operand = tool_pick_until(r, nls_mark("1st 3D Element:"), pick_solid);
    if (!first_operand) return;
    {
      ToolHighlight lit(first_operand);
      second = tool_pick_until(r, nls_mark("2nd 3D Element:"), pick_other_solid);
    }
    if (!second) return;
    if (mesh_boolean(mode, first_operand, second, temp_folder())) view_redraw();
  }
}

}  // namespace

void tool_3d_union() { tool_3d_boolean(MESH_BOOLEAN_UNION); }
void tool_3d_difference() { tool_3d_boolean(MESH_BOOLEAN_DIFFERENCE); }
void tool_3d_intersection() { tool_3d_boolean(MESH_BOOLEAN_INTERSECTION); }
