// The Light dialog: size, type, spot angle, shadow and colour of new lights.

#include "dialogs/dlg_frame.h"
#include "dialogs/dlg_items.h"
#include "model/nls.h"
#include "model/presets.h"

namespace {

using namespace dlg;

LightPreset& l = light_preset;

const char* const types[] = {nls_mark("Pointlight"), nls_mark("Spotlight")};
const char* const shadows[] = {nls_mark("Off"), nls_mark("On")};

const DlgItem items[] = {
    row(),
    column(),
    frame(nls_mark("Size")),
    length(nullptr, l.size),
    end(),
    frame(nls_mark("Type")),
    options(l.type, types),
    end(),
    frame(nls_mark("Angle")),
    spin(l.angle, 1, 120, 1, 0),
    end(),
    frame(nls_mark("Shadow")),
    options(l.shadow, shadows),
    end(),
    frame(nls_mark("Shadow intensity")),
    slider(l.shadow_intensity, 0, 1, 0.01, 2),
    end(),
    end(),
    color(l.r, l.g, l.b),
    end(),
};

}  // namespace

const PresetDialog light_dialog = {PresetKind::LIGHT,
                                   DLG_LIGHT,
                                   nls_mark("Light"),
                                   "z_d_light",
                                   "z_c_light",
                                   "z_save_light",
                                   false,
                                   0,
                                   items,
                                   nullptr};

GtkWidget* dlg_light_create() { return dlg_preset_build(light_dialog); }
