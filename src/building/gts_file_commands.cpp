// Exporting meshes and walls to a GTS file and importing one as a mesh.

#include <cctype>
#include <cmath>
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

namespace {

// A GTS file holds any finite point, and its reader refuses the others.
bool marked_points_finite() {
  for (const ElemHeader* e = elem_list_head; e; e = e->next) {
    const auto* mesh = elem_as<MeshElem>(e);
    if (!mesh || e->mark != 1) continue;
    for (const Point3& p : mesh->vertices)
      if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) return false;
  }
  return true;
}

}  // namespace

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
      if (!marked_points_finite()) {
        std::string why = nls_translate("The drawing has coordinates or sizes that %s files cannot hold.");
        why.replace(why.find("%s"), 2, "GTS");
        ui().msgbox_error((why + "\n" + nls_translate("Nothing was written.")).c_str());
        select_clear_flags();
        view_redraw();
        return;
      }
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
  const int modified = drawing_modified;
  // One window for the reading (the first fifth of the bar) and the
  // clean-up after it, which takes the longer.
  FioStreamProgress progress(in.get(), "Import GTS...", 0.2);
  GtsReadError why;
  const int ok = translate_gts_kavro(in.get(), 1, progress.stepper(), &why);
  // One surface is read; a file the export wrote of several meshes holds
  // more blocks, which the user is told were not read.
  bool more = false;
  if (ok) {
    int c;
    while ((c = std::getc(in.get())) != EOF && std::isspace(c)) {
    }
    more = c != EOF;
  }
  in.close();
  bool cancelled = why.kind == GtsReadError::CANCELLED;
  if (ok) {
    select_clear_flags();
    cancelled = !mesh_clean_up_last(progress.phase(0.2, 1.0));
    // Stopped with the mesh half cleaned: it goes, and the drawing is as it was.
    if (cancelled) {
      elem_remove_last();
      drawing_modified = modified;
    }
  }
  progress.close();
  if (cancelled) {
    // A cancel is no error.
    std::puts(nls_translate("Import cancelled."));
    std::fflush(stdout);
    return;
  }
  if (!ok) {
    ui().msgbox_error(gts_read_error_message(why).c_str());
    return;
  }
  undo_record(UNDO_CREATED, 1);
  view_redraw();
  // What the file held but the drawing does not is said where the user
  // sees it.
  std::string told = gts_left_out_message(why);
  if (more)
    told += (told.empty() ? "" : "\n") +
            std::string(nls_translate(
                "Only the first surface of the GTS file was read; the file holds more after it."));
  if (!told.empty()) ui().msgbox_message(nls_translate("Message"), told.c_str());
}
