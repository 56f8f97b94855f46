#include "dialogs/dialogs_install.h"

#include "dialogs/dlg_colorsel.h"
#include "dialogs/dlg_frame.h"
#include "dialogs/dlg_info.h"
#include "dialogs/dlg_mat.h"
#include "dialogs/dlg_options.h"
#include "dialogs/dlg_path_entries.h"
#include "dialogs/dlg_small.h"
#include "dialogs/dlg_symbol.h"
#include "dialogs/preset_gui.h"
#include "display/draw.h"
#include "display/preview.h"
#include "model/ui.h"
#include "shell/dlg_table.h"
#include "shell/gtk/mainwin.h"
#include "shell/shell_platform.h"

namespace {

struct Builder {
  const PresetDialog* dialog;
  void* (*build)();
};

const Builder builders[] = {
    {&wall_dialog, dlg_build<dlg_wall_create>},       {&room_dialog, dlg_build<dlg_room_create>},
    {&text_dialog, dlg_build<dlg_text_create>},       {&dim_dialog, dlg_build<dlg_dim_create>},
    {&opening_dialog, dlg_build<dlg_opening_create>}, {&window_dialog, dlg_build<dlg_window_create>},
    {&door_dialog, dlg_build<dlg_door_create>},       {&pattern_dialog, dlg_build<dlg_pattern_create>},
    {&light_dialog, dlg_build<dlg_light_create>},
};

const PresetDialog* const all_dialogs[] = {&wall_dialog, &room_dialog,    &text_dialog,
                                           &dim_dialog,  &opening_dialog, &window_dialog,
                                           &door_dialog, &pattern_dialog, &light_dialog};

void load_by_name(const char* kind) {
  if (!kind) return;
  if (const std::optional<PresetKind> k = preset_kind_of(kind)) preset_gui_load(*k);
}

DlgId preview_slot(int k) {
  switch (k) {
    case PREVIEW_TEXT:
      return DLG_TEXT;
    case PREVIEW_DIM:
      return DLG_DIM;
    case PREVIEW_PATTERN:
      return DLG_PATTERN;
    case PREVIEW_OPENING:
      return DLG_OPENING;
    case PREVIEW_WINDOW:
      return DLG_WINDOW;
    case PREVIEW_DOOR:
      return DLG_DOOR;
    case PREVIEW_SYMBOL:
      return DLG_SYMBOL;
    default:
      return DLG_COUNT;
  }
}

}  // namespace

std::span<const PresetDialog* const> preset_dialogs() { return all_dialogs; }

const PresetDialog* preset_dialog_of(PresetKind kind) {
  for (const PresetDialog* d : all_dialogs)
    if (d->kind == kind) return d;
  return nullptr;
}

void dlg_preview_draw(int k) {
  if (k == 0) {
    view_redraw();
    ui().mainwin_update_title();
    return;
  }
  if (k == PREVIEW_SYMBOL) {
    dlg_symbol_preview();
    return;
  }
  if (!dlg_preview_built(k)) return;
  preview_draw(k);
}

bool dlg_preview_built(int k) {
  const DlgId slot = preview_slot(k);
  return slot != DLG_COUNT && dlg_slots[slot] != nullptr;
}

void dialogs_install() {
  for (const Builder& b : builders) {
    const PresetDialog& d = *b.dialog;
    dlg_row_set({d.open_key, DlgAct::OPEN, d.slot, b.build});
    dlg_row_set({d.close_key, d.destroyed_on_close ? DlgAct::DESTROY : DlgAct::HIDE, d.slot});
  }
  dlg_small_install();
  dlg_symbol_install();
  dlg_colorsel_install();
  dlg_mat_install();
  dlg_options_install();
  dlg_path_entries_install();
  dlg_info_install();
  preset_load_hook = load_by_name;
  ShellPlatform p = shell_platform();
  p.dlg_preview_draw = dlg_preview_draw;
  p.dlg_preview_built = dlg_preview_built;
  shell_platform_install(p);
}
