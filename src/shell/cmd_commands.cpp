#include "shell/cmd_commands.h"

#include <cstring>
#include <string>

#include "display/draw.h"
#include "model/elem.h"
#include "model/files/load_save.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/settings.h"
#include "model/ui.h"
#include "model/undo.h"
#include "shell/cmd_dispatch.h"
#include "shell/cmd_loop.h"
#include "shell/dlg_table.h"

namespace {

// A path button: what its chooser asks and where the choice goes.
struct PathChooser {
  const char* name;
  const char* title;                 // translated
  const FixedText<PATH_LEN>* start;  // null: the working folder
  int mode;                          // file chooser mode: 1 save, 2 folder
  FixedText<PATH_LEN>* setting;      // the entry's variable; null: entry only
  // Takes the chosen folder as the file name that follows it; null for none.
  void (*set_file)(const std::string& path);
};

const PathChooser path_choosers[] = {
    {"draw", nls_mark("Drawing path"), &draw_path, 2, &draw_path,
     [](const std::string& p) { drawing_file = p; }},
    {"sym", nls_mark("Symbol path"), &symbol_path, 2, &symbol_path,
     [](const std::string& p) { symbol_save_file = p; }},
    {"dxf", nls_mark("DXF path"), &import_path, 2, &import_path,
     [](const std::string& p) { import_file = p; }},
    {"export", nls_mark("Export path"), &export_path, 2, &export_path,
     [](const std::string& p) { export_file = p; }},
    {"dia", nls_mark("Dialog path"), &dialog_path, 2, &dialog_path, nullptr},
    {"pov", nls_mark("Save Image"), nullptr, 1, &pov_settings.output_file, nullptr},
    {"ray", nls_mark("Save Image"), &export_path, 1, &rad_settings.output_file, nullptr},
};

}  // namespace

void cmd_p_file_new() {
  if (drawing_modified) {
    const char* labels[] = {nls_translate("Yes"), nls_translate("Cancel")};
    if (ui().msgbox_ask(nls_translate("Drawing is altered and not saved!\nReally delete all?"), 2, labels) !=
        1)
      return;
  }
  gui_reset_for_new_drawing();
  draw_all(DRAW_CLEAR);
  // The old drawing's steps would put its elements back into the new one.
  undo_record(UNDO_CLEAR, 0);
  layer_count_elements();
  // Named as after the start, so that the title and the save chooser offer
  // a file name rather than a bare folder.
  drawing_file = std::string(draw_path.view()) + DRAWING_UNNAMED;
  ui().mainwin_update_title();
  drawing_modified = 0;
  group_counter = 0;
}

void gui_reset_for_new_drawing() {
  dlg_destroy(DLG_LAYER);
  drawing_reset();
}

void cmd_p_file_quit() {
  if (!drawing_modified) {
    quit_requested = 1;
    return;
  }
  const char* labels[] = {nls_translate("Quit"), nls_translate("Cancel"), nls_translate("Save")};
  int answer = ui().msgbox_ask(
      nls_translate("Drawing is altered and not saved!\nReally quit without saving?"), 3, labels);
  if (answer == 1) {
    quit_requested = 1;
  } else if (answer == 3) {
    // Saves as the Save command does (title included); the program goes on
    // whether or not the drawing was saved.
    cmd_dispatch_p("p_file_save");
  }
}

void cmd_p_path_choose(const char* name) {
  const PathChooser* chooser = nullptr;
  for (const PathChooser& c : path_choosers)
    if (name && std::strcmp(c.name, name) == 0) chooser = &c;
  if (!chooser) return;

  const char* start = chooser->start ? chooser->start->c_str() : "";
  std::string result = ui().filesel_choose(nls_translate(chooser->title), start, chooser->mode, start);
  if (result == "cancel") return;
  if (result.size() >= PATH_LEN) {
    ui().msgbox_error(nls_translate("The chosen path is too long."));
    return;
  }
  if (chooser->setting) *chooser->setting = result;
  if (chooser->set_file) chooser->set_file(result);
  ui().path_entry_set(chooser->name, result.c_str());
}
