#pragma once

// The Material dialog (its items and builder) and its commands.

#include <gtk/gtk.h>

struct PresetDialog;
extern const PresetDialog mat_dialog;

GtkWidget* dlg_mat_create();
// Puts the dialog's keys into the dialog table.
void dlg_mat_install();
// The "Image", "Size" and "Offset" groups sensitive when the texture mode
// uses an image; nothing while the dialog is not built.
void dlg_mat_texture_widgets_update();
// Whether a texture mode uses the image, its size and its offset (all but
// 0, "Off").
bool mat_texture_groups_sensitive(int texture_mode);
// "Preview": renders the current material with POV-Ray; when that cannot be
// done the dialog says why under the button.
void dlg_mat_preview_pov();
// p_path_special: chooses the special file of the material.
void cmd_p_path_special();
