#include "building/tool_unit_common.h"

#include "display/draw.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/settings.h"
#include "model/ui.h"
#include "tools/tool_common.h"

namespace {

bool ask(uint16_t kind, const char* prompt, InputRequest& r) {
  return tool_ask(r, {{kind, prompt}}) == INPUT_DONE;
}

}  // namespace

bool archgen_ask_real(const char* prompt, double& out) {
  InputRequest r;
  const bool typed = ask(STEP_LENGTH, prompt, r);
  out = typed ? r.length : 0.0;
  return typed;
}

bool archgen_ask_int(const char* prompt, int& out) {
  InputRequest r;
  const bool typed = ask(STEP_INTEGER, prompt, r);
  out = typed ? r.integer : 0;
  return typed;
}

void archgen_show_too_many_parts() { ui().msgbox_error(nls_translate(nls_mark("Too many parts!"))); }

void archgen_append(const SolidMesh& m, std::string_view material) {
  std::vector<Point3> vertices = m.vertices;
  elem_new_mesh(cur_layer, cur_pen, cur_line_type, m.vertex_count(), m.face_count(), m.face_sizes.data(),
                vertices.data(), m.indices.data(), material, 0);
  ToolCursorOff off;
  draw_last_element(DRAW_NORMAL);
}
