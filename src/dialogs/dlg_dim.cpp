// The Dim dialog: the figures (size, width, spacing, font, display unit,
// pen) and the chain (help lines, spacing, measuring-point marker, pen) of
// new dimensions, and a preview of one chain.

#include "dialogs/dlg_frame.h"
#include "dialogs/dlg_items.h"
#include "display/preview.h"
#include "model/nls.h"
#include "model/presets.h"

namespace {

using namespace dlg;

DimPreset& d = dim_preset;

// Only the first is an interface text; the units keep their names.
const char* const display_units[] = {nls_mark("Architecture"),
                                     "Meter",
                                     "Centimeter",
                                     "Millimeter",
                                     "Inch",
                                     "Feet",
                                     "Imperial 1/2",
                                     "Imperial 1/4",
                                     "Imperial 1/8",
                                     "Imperial 1/16",
                                     "Imperial 1/32",
                                     "Imperial 1/64",
                                     "Imperial 1/1"};
const char* const markers[] = {nls_mark("Line"), nls_mark("Circle"), nls_mark("Arrow")};

const DlgItem items[] = {
    notebook(),
    page(nls_mark("Figures")),
    size(nls_mark("Size"), d.figure_size),
    number(nls_mark("Width"), d.figure_width),
    number(nls_mark("Space"), d.figure_space),
    frame(nls_mark("Font")),
    font(d.font),
    end(),
    frame(nls_mark("Display")),
    options(d.display_format, display_units, 1),
    end(),
    penline(d.figure_pen, d.figure_line_type),
    end(),
    page(nls_mark("Chain")),
    number(nls_mark("HLine"), d.help_line_length),
    number(nls_mark("Space"), d.chain_space),
    frame(nls_mark("Measuring point")),
    options(d.end_mark, markers),
    end(),
    penline(d.chain_pen, d.chain_line_type),
    end(),
    end(),
    preview(PREVIEW_DIM, 150),
};

}  // namespace

const PresetDialog dim_dialog = {PresetKind::DIM, DLG_DIM, nls_mark("Dim"), "z_d_dim", "z_c_dim",
                                 "z_save_dim",    true,    PREVIEW_DIM,     items,     nullptr};

GtkWidget* dlg_dim_create() { return dlg_preset_build(dim_dialog); }
