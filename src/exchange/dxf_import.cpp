// The command p_file_import_dxf around the reader: the file chooser, the
// progress window, the messages, the undo step and the zoom.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

#include "display/draw.h"
#include "display/view.h"
#include "display/view_commands.h"
#include "exchange/dxf_common.h"
#include "exchange/dxf_reader.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/settings.h"
#include "model/ui.h"
#include "model/undo.h"

int dxf_import_commit(DxfImport& result) {
  if (result.error != DxfError::NONE) return 0;
  for (const DxfLayerName& l : result.layer_names) {
    if (LayerRec* rec = layer_rec(l.layer)) {
      rec->name = l.name;
      rec->shown = 1;
    }
  }
  int n = 0;
  for (std::unique_ptr<ElemHeader>& e : result.elements) {
    elem_adopt(std::move(e));
    ++n;
  }
  result.elements.clear();
  if (n > 0) undo_record(UNDO_CREATED, n);
  return n;
}

namespace {

// The main view fitted to the header's box with a tenth to spare; without a
// usable box, to the drawing's extents.
void zoom_to_result(const DxfImport& r) {
  ViewRec& v = views[0];
  const double w = r.extents_max.x - r.extents_min.x, h = r.extents_max.y - r.extents_min.y;
  const int px = v.right - v.left, py = v.bottom - v.top;
  if (!r.has_extents || !(std::hypot(w, h) > 0.0) || px <= 0 || py <= 0 || !(v.ymax - v.ymin > 0.0) ||
      !(screen_aspect.width > 0.0) || !(screen_aspect.height > 0.0)) {
    CurrentView main(0);
    view_zoom_to_extents(0);
    return;
  }
  const double aspect = (v.xmax - v.xmin) / (v.ymax - v.ymin);
  v.xmin = r.extents_min.x;
  v.ymin = r.extents_min.y;
  v.xmax = r.extents_max.x;
  v.ymax = r.extents_max.y;
  const double bw = 1.1 * w, bh = 1.1 * h;
  if (bw > bh * aspect)
    view_scale = bw / (screen_aspect.width / SCREEN_SCALE_DIVISOR * px);
  else
    view_scale = bh / (screen_aspect.height / SCREEN_SCALE_DIVISOR * py);
  CurrentView main(0);
  view_apply_scale(0);
  view_redraw();
  view_show_scale();
}

}  // namespace

void dxf_import() {
  dxf_set_unit(dxf_settings.import_unit);
  const std::string path = ui().filesel_choose(nls_translate("Import DXF..."), import_file.c_str(),
                                               FILESEL_OPEN, import_path.c_str());
  if (path == "cancel") return;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    ui().msgbox_error(nls_translate("Cannot open file"));
    return;
  }
  import_file = path;

  // A file that says its unit has it preselected; the user may keep the
  // dialog's instead. The choice is the dialog's unit from then on.
  if (const int file_unit = dxf_file_unit(in); file_unit >= 0 && file_unit != dxf_settings.import_unit) {
    const int dialog_unit = std::clamp(dxf_settings.import_unit, 0, DXF_UNIT_COUNT - 1);
    char text[300];
    std::snprintf(text, sizeof text,
                  nls_translate("The file gives its lengths in %s, the import is set to %s. Read them in:"),
                  dxf_unit_names[file_unit], dxf_unit_names[dialog_unit]);
    const char* labels[] = {dxf_unit_names[file_unit], dxf_unit_names[dialog_unit], nls_translate("Cancel")};
    const int answer = ui().msgbox_ask(text, 3, labels);
    if (answer != 1 && answer != 2) return;
    dxf_settings.import_unit = answer == 1 ? file_unit : dialog_unit;
    dxf_set_unit(dxf_settings.import_unit);
    ui().dlg_dxf_refresh();
  }

  DxfImportOptions options = dxf_import_options();
  bool progress_open = false;
  options.progress = [&progress_open](double fraction) {
    if (!progress_open) {
      ui().gui_progress_open_cancel(nls_translate("Import DXF..."));
      progress_open = true;
    }
    ui().gui_progress_update(fraction);
  };
  options.cancelled = [&progress_open] { return progress_open && ui().gui_progress_cancelled(); };
  DxfImport result = dxf_read(in, options);
  std::fputs(result.log.c_str(), stdout);

  if (result.error == DxfError::CANCELLED) {
    if (progress_open) ui().gui_progress_close();
    std::puts(nls_translate(dxf_error_text(result.error)));
    std::fflush(stdout);
    return;
  }
  if (result.error != DxfError::NONE) {
    if (progress_open) ui().gui_progress_close();
    const std::string text = dxf_error_message(result);
    std::fflush(stdout);
    ui().msgbox_error(text.c_str());
    return;
  }
  dxf_import_commit(result);
  if (!result.layer_names.empty()) ui().mainwin_update_title();
  std::fputs(dxf_stats_text(result.stats).c_str(), stdout);
  // What came in and what did not is said where the user looks: the
  // progress window's last line, and below the statistics of the entities.
  const std::string line = dxf_result_text(result);
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
  if (progress_open) ui().gui_progress_finish(line.c_str());
  zoom_to_result(result);
}
