// The Pattern dialog: the type of new hatch patterns, their two line
// families, the filling colour, and a preview of a hatched area. Only the
// groups the type uses are sensitive.

#include "dialogs/dlg_frame.h"
#include "dialogs/dlg_items.h"
#include "display/preview.h"
#include "model/nls.h"
#include "model/presets.h"

namespace {

using namespace dlg;

PatternPreset& p = pattern_preset;

const char* const types[] = {nls_mark("1 Line"), nls_mark("2 Lines"), nls_mark("Points"),
                             nls_mark("Filling")};

void on_type(GtkComboBox*, gpointer) { dlg_pattern_type_widgets_update(); }

const DlgItem items[] = {
    frame(nls_mark("Type")),
    options(p.type, types, -1, G_CALLBACK(on_type)),
    end(),
    row(),
    frame(nls_mark("Line 1 / Points"), DLG_GROUP_LINE1),
    length(nls_mark("Space"), p.spacing1),
    angle(nls_mark("Angle"), p.angle1),
    penline(p.pen1, p.line_type1),
    end(),
    frame(nls_mark("Line 2"), DLG_GROUP_LINE2),
    length(nls_mark("Space"), p.spacing2),
    angle(nls_mark("Angle"), p.angle2),
    penline(p.pen2, p.line_type2),
    end(),
    end(),
    frame(nls_mark("Filling"), DLG_GROUP_FILLING),
    button("z_d_colorsel_pattern", nls_mark("Color")),
    end(),
    preview(PREVIEW_PATTERN, 150),
};

// The groups are right before the window first shows; the window is in its
// slot already, so that the preview draws when the area gets its size.
void after_build() {
  dlg_store(DLG_PATTERN, dlg_widgets(PresetKind::PATTERN).window);
  dlg_pattern_type_widgets_update();
}

}  // namespace

const PresetDialog pattern_dialog = {
    PresetKind::PATTERN, DLG_PATTERN, nls_mark("Pattern"), "z_d_pattern", "z_c_pattern",
    "z_save_pattern",    false,       PREVIEW_PATTERN,     items,         after_build};

GtkWidget* dlg_pattern_create() { return dlg_preset_build(pattern_dialog); }
