// The Room dialog: foot and height of new rooms, the area factor, what the
// inscription shows, and the pen.

#include "dialogs/dlg_frame.h"
#include "dialogs/dlg_items.h"
#include "model/nls.h"
#include "model/presets.h"

namespace {

using namespace dlg;

RoomPreset& r = room_preset;

const DlgItem items[] = {
    length(nls_mark("Base"), r.base),
    length(nls_mark("Height"), r.height),
    number(nls_mark("Factor"), r.factor),
    frame(nls_mark("Inscription")),
    row(),
    toggle(nls_mark("Description"), r.show_description),
    toggle(nls_mark("Number"), r.show_number),
    toggle(nls_mark("Area"), r.show_area),
    toggle(nls_mark("Volume"), r.show_volume),
    end(),
    end(),
    penline(r.pen, r.line_type, DLG_NO_REFRESH),
};

}  // namespace

const PresetDialog room_dialog = {
    PresetKind::ROOM, DLG_ROOM, nls_mark("Room"), "z_d_room", "z_c_room", "z_save_room", false, 0, items,
    nullptr};

GtkWidget* dlg_room_create() { return dlg_preset_build(room_dialog); }
