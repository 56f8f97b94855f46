// The Text dialog: spacing, width and font of new texts, their pen, and a
// preview of three sample lines.

#include "dialogs/dlg_frame.h"
#include "dialogs/dlg_items.h"
#include "display/preview.h"
#include "model/nls.h"
#include "model/presets.h"

namespace {

using namespace dlg;

TextPreset& t = text_preset;

const DlgItem items[] = {
    number(nls_mark("Line spacing"), t.line_spacing),
    number(nls_mark("Character width"), t.width),
    number(nls_mark("Character space"), t.spacing),
    frame(nls_mark("Font")),
    font(t.font),
    end(),
    penline(t.pen, t.line_type),
    preview(PREVIEW_TEXT, 150),
};

}  // namespace

const PresetDialog text_dialog = {PresetKind::TEXT, DLG_TEXT, nls_mark("Text"), "z_d_text", "z_c_text",
                                  "z_save_text",    true,     PREVIEW_TEXT,     items,      nullptr};

GtkWidget* dlg_text_create() { return dlg_preset_build(text_dialog); }
