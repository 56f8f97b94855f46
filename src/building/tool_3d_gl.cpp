#include <unistd.h>

#include <cstdio>
#include <string>

#include "building/solid/wall_mesh.h"
#include "building/viewer_tools.h"
#include "display/select.h"
#include "model/consts.h"
#include "model/elem.h"
#include "model/files/load_save.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/ui.h"
#include "platform/process.h"
#include "platform/temp_folder.h"

std::string viewer_handoff_path() {
  const std::string& folder = temp_folder();
  return folder.empty() ? std::string() : folder + "/gl.kav";
}

int viewer_write_handoff(const std::string& path) {
  // A selection the user holds is given up, so that only meshes reach the
  // viewer. The walls of the layers shown go as temporary meshes, made here
  // and dropped again after the write.
  select_clear(0);
  auto shown = [](int layer) { return layer == cur_layer || layer == LAYER_TEMP_3D || layer_shown(layer); };
  for (ElemHeader* e = elem_list_head; e; e = e->next)
    e->mark = e->kind == ELEM_WALL && shown(e->layer) ? 1 : 0;
  int written = 0;
  {
    WallTempMeshes walls;
    for (ElemHeader* e = elem_list_head; e; e = e->next)
      e->mark = e->kind == ELEM_MESH && shown(e->layer) ? 1 : 0;
    written = kavfile_write_marked(path.c_str());
    for (ElemHeader* e = elem_list_head; e; e = e->next) e->mark = 0;
  }
  select_clear(0);
  return written;
}

void tool_3d_gl() {
  // A file that cannot be written has been reported; the viewer starts all
  // the same and says what it cannot read.
  const std::string path = viewer_handoff_path();
  viewer_write_handoff(path);

  char cwd[4096];
  const std::string program = std::string(getcwd(cwd, sizeof cwd) ? cwd : ".") + "/viewgl";
  ProcessRequest request;
  request.argv = {program, path};
  request.wait = false;
  if (!process_start(request).started) {
    char text[512];
    std::snprintf(text, sizeof text, nls_translate("Cannot start %s"), program.c_str());
    ui().msgbox_error(text);
  }
}

void tool_3d_wire() {}
