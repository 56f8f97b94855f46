// Exporting meshes and walls to a GTS file and importing one as a mesh.

#include <cstdio>
#include <string>

#include "building/gts_tools.h"
#include "building/solid/gts_file.h"
#include "building/solid/wall_mesh.h"
#include "display/draw.h"
#include "display/export_name.h"
#include "display/export_scope.h"
#include "display/select.h"
#include "model/consts.h"
#include "model/files/fio.h"
#include "model/files/fio_read.h"
#include "model/nls.h"
#include "model/settings.h"
#include "model/ui.h"
#include "model/undo.h"

void cmd_p_file_export_gts() {
  if (msgbox_ask_export_scope("GTS") == 0) return;
  const std::string path =
      export_name_choose("Export GTS...", std::string(import_file.view()), import_path.c_str(), ".gts");
  if (path != "cancel") {
    FioSafeWriter out(path);
    if (out.stream()) {
      WallTempMeshes temp;
      for (ElemHeader* e = elem_list_head; e; e = e->next)
        if (e->layer == LAYER_TEMP_3D) e->mark = 1;
      const int written = gts_write_marked(out.stream());
      if (!(written && out.commit())) ui().msgbox_error("***ERROR***\nWriting .gts file failed\n");
    } else {
      ui().msgbox_error("***ERROR***\nWriting .gts file failed\n");
    }
  }
  select_clear_flags();
  view_redraw();
}

void cmd_p_file_import_gts() {
  const std::string path =
      ui().filesel_choose("Import GTS...", import_file.c_str(), FILESEL_OPEN, import_path.c_str());
  if (path == "cancel") return;
  FioReadError open_error = FioReadError::NONE;
  FioFile in = fio_open_read(path, open_error);
  if (!in) {
    ui().msgbox_error((std::string("***ERROR***\nLoading .gts file failed\n") +
                       nls_translate(fio_read_error_text(open_error)))
                          .c_str());
    return;
  }
  int ok = 0;
  bool cancelled = false;
  {
    FioStreamProgress progress(in.get(), "Import GTS...");
    ok = translate_gts_kavro(in.get(), 1, progress.stepper());
    cancelled = progress.cancelled();
  }
  in.close();
  if (cancelled) {
    // Stopped before a mesh was made: a cancel is no error.
    std::puts(nls_translate("Import cancelled."));
    std::fflush(stdout);
    return;
  }
  if (!ok) {
    ui().msgbox_error("***ERROR***\nGTS file is empty\n");
    return;
  }
  select_clear_flags();
  mesh_clean_up_last();
  undo_record(UNDO_CREATED, 1);
  view_redraw();
}
