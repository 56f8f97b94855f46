#include "model/files/load_save.h"

#include <cstdio>
#include <string>

#include "model/camera.h"
#include "model/elem.h"
#include "model/files/fio.h"
#include "model/files/fio_read.h"
#include "model/files/kavfile.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/redraw.h"
#include "model/settings.h"
#include "model/ui.h"
#include "model/undo.h"

std::string drawing_file;

namespace {

void error(const char* text) { ui().msgbox_error(nls_translate(text)); }

// The refreshes after a read each redraw the main view; held, it is drawn
// once when they are done, as the last of them left the view.
class RedrawsHeld {
 public:
  RedrawsHeld() { redraw().view_redraw_hold(1); }
  ~RedrawsHeld() { redraw().view_redraw_hold(0); }
  RedrawsHeld(const RedrawsHeld&) = delete;
  RedrawsHeld& operator=(const RedrawsHeld&) = delete;
};

}  // namespace

int kavfile_write_file(const std::string& path, int (*write)(std::FILE*), const char* cannot_open,
                       const char* cannot_write) {
  FioSafeWriter out(path);
  if (!out.stream()) {
    error(cannot_open);
    return 0;
  }
  if (!(write(out.stream()) && out.commit())) {
    error(cannot_write);
    return 0;
  }
  return 1;
}

void kavfile_refresh_after_read(bool settings_file) {
  RedrawsHeld held;
  ui().mainwin_toolbar_toggles_refresh();
  ui().dlg_dxf_refresh();
  ui().gui_reset_after_load();
  if (settings_file) ui().gui_reset_dialogs_after_settings();
  view_type = 0;
  ui().mainwin_select_view(0);
  view_camera_update_angles();
}

int kavfile_load_drawing(int mode, const char* path) {
  layer_remap_old = 0;
  if (drawing_modified) {
    const char* answers[] = {nls_translate("Yes"), nls_translate("Cancel")};
    if (ui().msgbox_ask(nls_translate("Drawing is altered and not saved!\nReally delete all?"), 2, answers) !=
        1)
      return 0;
  }
  std::string file;
  if (mode == 0) {
    file = ui().filesel_choose(nls_translate("Load Drawing..."),
                               drawing_file.empty() ? draw_path.c_str() : drawing_file.c_str(), 0,
                               draw_path.c_str());
    if (file == "cancel") return 0;
  } else {
    file = path ? path : "";
  }

  FioReadError open_error = FioReadError::NONE;
  FioFile in = fio_open_read(file, open_error);
  if (!in) {
    ui().msgbox_error((std::string(nls_translate("Cannot open file")) + "\n" + file + "\n" +
                       nls_translate(fio_read_error_text(open_error)))
                          .c_str());
    return 0;
  }
  const int version = kavfile_read_header(in.get());
  if (version == 0) {
    error("This is not a Kavro file!");
    return 0;
  }

  drawing_reset();
  drawing_file = file;
  if (version > file_version) {
    // The translation decides the wording; the versions are filled in here.
    std::string text = nls_translate("File format %.2f converted to %.2f");
    for (int v : {version, file_version}) {
      char number[32];
      std::snprintf(number, sizeof number, "%.2f", v / 100.0);
      const std::size_t at = text.find("%.2f");
      if (at != std::string::npos) text.replace(at, 4, number);
    }
    ui().msgbox_message("Kavro", text.c_str());
  }
  KavReadReport report;
  kavfile_read_chunks(in.get(), 0, 0, &report);

  kavfile_refresh_after_read(false);
  undo_record(UNDO_CLEAR, 0);
  drawing_modified = 0;
  group_counter = static_cast<uint16_t>(group_max());
  ui().mainwin_update_title();
  kavfile_report_problems(report);
  return 1;
}

int kavfile_save_drawing(int mode) {
  if (mode == 1) {
    return kavfile_write_file(drawing_file + ".bak", kavfile_write_backup, "Cannot open Backup File",
                              "Cannot write Backup File");
  }
  const std::string path =
      ui().filesel_choose(nls_translate("Save Drawing..."), drawing_file.c_str(), 1, draw_path.c_str());
  if (path == "cancel") return 0;
  if (!kavfile_write_file(path, kavfile_write_drawing, "Cannot open file", "Cannot write file")) return 0;
  drawing_file = path;
  drawing_modified = 0;
  ui().mainwin_update_title();
  return 1;
}

int kavfile_write_marked(const char* path) {
  auto write = [](std::FILE* f) -> int { return kavfile_write_header(f) && kavfile_write_elements(f, 1); };
  return kavfile_write_file(path ? path : "", write, "Cannot open file", "Cannot write file");
}
