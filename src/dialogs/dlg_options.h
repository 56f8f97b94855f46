#pragma once

// The option dialogs of the exporters and renderers: "Export DXF...",
// "Import DXF...", "HLR options:", "Render settings:" (POV-Ray) and
// "Radiance settings:". Each is built on its opening key and hidden on
// close; its widgets edit dxf_settings, hlr_options, pov_settings and
// rad_settings at once, and its buttons post the commands that read them.
// The POV-Ray and Radiance dialogs are destroyed after a load and built
// again from the loaded values; the DXF dialogs stay and are set again by
// dlg_dxf_refresh.

#include <gtk/gtk.h>

GtkWidget* dlg_dxf_out_create();
GtkWidget* dlg_dxf_in_create();
GtkWidget* dlg_hlr_create();
GtkWidget* dlg_pov_create();
GtkWidget* dlg_ray_create();

// After a drawing or settings file was read: the Filter dialog's menus and
// the DXF dialogs' menus show their variables again, where built.
void dlg_dxf_refresh();

// Their rows in the dialog table; dlg_dxf_refresh and the output-file
// entries (path_entry_set "pov", "ray") into the ui table.
void dlg_options_install();
