// The Opening, Window and Door dialogs: one layout on three parameter
// groups (sill, height, stop, symbol variant), each with the preview of its
// symbol in a piece of wall.

#include <array>

#include "dialogs/dlg_frame.h"
#include "dialogs/dlg_items.h"
#include "display/preview.h"
#include "model/nls.h"
#include "model/presets.h"

namespace {

using namespace dlg;

// Item i stores variant i.
const char* const variants[] = {"1", "2", "3", "4", "5", "6", "7"};

std::array<DlgItem, 8> items_of(OpeningPreset& p, int view) {
  return {length(nls_mark("Base"), p.base),
          length(nls_mark("Height"), p.height),
          length(nls_mark("Stop width"), p.stop_width),
          length(nls_mark("Stop depth"), p.stop_depth),
          frame(nls_mark("Symbol")),
          options(p.symbol_variant, variants, 0),
          end(),
          preview(view, 200)};
}

const std::array<DlgItem, 8> opening_items = items_of(opening_preset, PREVIEW_OPENING);
const std::array<DlgItem, 8> window_items = items_of(window_preset, PREVIEW_WINDOW);
const std::array<DlgItem, 8> door_items = items_of(door_preset, PREVIEW_DOOR);

}  // namespace

const PresetDialog opening_dialog = {
    PresetKind::OPENING, DLG_OPENING, nls_mark("Opening"), "z_d_opening", "z_c_opening",
    "z_save_opening",    false,       PREVIEW_OPENING,     opening_items, nullptr};
const PresetDialog window_dialog = {
    PresetKind::WINDOW, DLG_WINDOW, nls_mark("Window"), "z_d_window", "z_c_window",
    "z_save_window",    false,      PREVIEW_WINDOW,     window_items, nullptr};
const PresetDialog door_dialog = {PresetKind::DOOR, DLG_DOOR, nls_mark("Door"), "z_d_door", "z_c_door",
                                  "z_save_door",    false,    PREVIEW_DOOR,     door_items, nullptr};

GtkWidget* dlg_opening_create() { return dlg_preset_build(opening_dialog); }
GtkWidget* dlg_window_create() { return dlg_preset_build(window_dialog); }
GtkWidget* dlg_door_create() { return dlg_preset_build(door_dialog); }
