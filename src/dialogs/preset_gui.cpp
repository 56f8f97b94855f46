#include "dialogs/preset_gui.h"

#include <string>
#include <vector>

#include "dialogs/dialogs_install.h"
#include "dialogs/dlg_frame.h"
#include "dialogs/dlg_mat.h"
#include "display/preview.h"
#include "model/presets.h"
#include "shell/gtk/bind.h"
#include "shell/gtk/mainwin.h"

namespace {

bool loading[PRESET_KIND_COUNT] = {};

bool& loading_flag(PresetKind kind) { return loading[static_cast<std::size_t>(kind)]; }

// The combos of the tool pages that show the kind's presets.
std::vector<GtkWidget*> page_combos(PresetKind kind) {
  const MainwinWidgets& w = mainwin_widgets;
  GtkWidget* combo = nullptr;
  switch (kind) {
    case PresetKind::WALL:
      combo = w.combo_wall;
      break;
    case PresetKind::ROOM:
      combo = w.combo_room;
      break;
    case PresetKind::TEXT:
      combo = w.combo_text;
      break;
    case PresetKind::DIM:
      combo = w.combo_dim;
      break;
    case PresetKind::OPENING:
      combo = w.combo_opening;
      break;
    case PresetKind::WINDOW:
      combo = w.combo_window;
      break;
    case PresetKind::DOOR:
      combo = w.combo_door;
      break;
    case PresetKind::MAT:
      return {w.combo_mat_3d, w.combo_mat_unit};
    case PresetKind::PATTERN:
      combo = w.combo_pattern;
      break;
    case PresetKind::LIGHT:
      combo = w.combo_light;
      break;
  }
  return {combo};
}

int preview_of(PresetKind kind) {
  switch (kind) {
    case PresetKind::TEXT:
      return PREVIEW_TEXT;
    case PresetKind::DIM:
      return PREVIEW_DIM;
    case PresetKind::PATTERN:
      return PREVIEW_PATTERN;
    case PresetKind::OPENING:
      return PREVIEW_OPENING;
    case PresetKind::WINDOW:
      return PREVIEW_WINDOW;
    case PresetKind::DOOR:
      return PREVIEW_DOOR;
    default:
      return 0;
  }
}

// What depends on the values besides the widgets: the Pattern dialog's
// groups and the Material dialog's texture groups.
void refresh_groups(PresetKind kind) {
  if (kind == PresetKind::PATTERN) dlg_pattern_type_widgets_update();
  if (kind == PresetKind::MAT) dlg_mat_texture_widgets_update();
}

// Lists the kind's folder again in the dialog's combo and the tool-page
// combos and shows name there, which loads that preset.
void refill(PresetKind kind, const std::string& name) {
  const char* folder = preset_kind_name(kind);
  if (dlg_built(kind)) bind_combo_fill_from_folder(dlg_widgets(kind).combo, folder, name.c_str());
  for (GtkWidget* combo : page_combos(kind))
    if (combo) bind_combo_fill_from_folder(combo, folder, name.c_str());
  // The Wall dialog lists the materials too, showing the wall's own.
  if (kind == PresetKind::MAT && dlg_built(PresetKind::WALL)) {
    const std::string material(wall_preset.material.c_str());
    bind_combo_fill_from_folder(dlg_widgets(PresetKind::WALL).of(&wall_preset.material), folder,
                                material.c_str());
  }
}

}  // namespace

void preset_gui_load(PresetKind kind) {
  bool& flag = loading_flag(kind);
  if (flag) return;
  const std::string name(preset_name(kind).c_str());
  if (name.empty() || (kind == PresetKind::MAT && name == "con")) return;
  if (const std::optional<std::string> text = preset_read_file(kind, name)) {
    const bool shown = dlg_built(kind);
    if (shown) {
      flag = true;
      bind_set_combo_text(dlg_widgets(kind).combo, name.c_str());
      for (GtkWidget* combo : page_combos(kind)) bind_set_combo_text(combo, name.c_str());
      flag = false;
    }
    preset_parse(*text, preset_fields(kind));
    if (shown) dlg_show_values(kind);
    if (const int k = preview_of(kind)) dlg_preview_draw(k);
  }
  refresh_groups(kind);
}

void preset_gui_save(PresetKind kind) {
  const std::string name(preset_name(kind).c_str());
  if (!preset_save(kind)) return;
  refill(kind, name);
  refresh_groups(kind);
}

void preset_gui_delete(PresetKind kind) {
  if (preset_delete(kind) != PresetDelete::REMOVED) return;
  refill(kind, PRESET_DEFAULT);
  refresh_groups(kind);
}
