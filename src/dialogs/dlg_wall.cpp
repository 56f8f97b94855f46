// The Wall dialog: thickness, foot and height of new walls, their material
// and pen.

#include "dialogs/dlg_frame.h"
#include "dialogs/dlg_items.h"
#include "model/nls.h"
#include "model/presets.h"

namespace {

using namespace dlg;

WallPreset& w = wall_preset;

const DlgItem items[] = {
    length(nls_mark("Wall thickness"), w.thickness),
    length(nls_mark("Base"), w.base),
    length(nls_mark("Height"), w.height),
    frame(nls_mark("Material")),
    material(w.material),  // names the wall's material; loads none
    end(),
    penline(w.pen, w.line_type, DLG_NO_REFRESH),
};

}  // namespace

const PresetDialog wall_dialog = {
    PresetKind::WALL, DLG_WALL, nls_mark("Wall"), "z_d_wall", "z_c_wall", "z_save_wall", false, 0, items,
    nullptr};

GtkWidget* dlg_wall_create() { return dlg_preset_build(wall_dialog); }
