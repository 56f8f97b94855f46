// Saving the selection as a symbol file, or copying or cutting it into the
// clipboard: the elements are stored relative to an origin the user picks.

#include <filesystem>
#include <string>
#include <system_error>

#include "display/draw.h"
#include "display/input.h"
#include "display/select.h"
#include "model/elem.h"
#include "model/files/symbol_file.h"
#include "model/nls.h"
#include "model/settings.h"
#include "model/ui.h"
#include "model/undo.h"
#include "tools/edit_tools.h"
#include "tools/tool_common.h"

namespace {

// The file to write: chosen by the user (mode 0) or the clipboard; empty
// when the chooser was cancelled.
std::string target_file(int mode) {
  if (mode != 0) {
    // The temporary folder may not be there yet (a settings file can name
    // another one); a failure shows when the file cannot be opened.
    std::error_code ec;
    std::filesystem::create_directories(tmp_dir.c_str(), ec);
    return symbol_clipboard_path();
  }
  const char* start = symbol_save_file.empty() ? symbol_path.c_str() : symbol_save_file.c_str();
  std::string path =
      ui().filesel_choose(nls_translate("Save Symbol..."), start, FILESEL_SAVE, symbol_path.c_str());
  return path == "cancel" ? std::string() : path;
}

void save(int mode) {
  InputRequest r;
  if (tool_ask(r, {{STEP_POINT, nls_mark("Origin:")}, {STEP_CONFIRM, nls_mark("Move/Confirm:")}}) !=
      INPUT_DONE) {
    ui().msgbox_error(nls_translate("Could not save the symbol because the origin point is missing!"));
    return;
  }
  const std::string path = target_file(mode);
  if (path.empty()) return;
  // A cut deletes only what reached the clipboard whole.
  if (!symbol_write_marked(path, r.x[0], r.y[0], r.z[0])) return;
  // The chooser's next start; a path too long for it is not cut.
  if (mode == 0 && path.size() < PATH_LEN) symbol_save_file = path;
  if (mode == 2) {
    undo_record(UNDO_DELETE, 0);
    elem_purge_marked();
    draw_all(DRAW_CLEAR);
  }
}

}  // namespace

void tool_symbol_save(int mode) {
  if (select_elements(0) != 1) return;
  save(mode);
  select_clear(0);
}
