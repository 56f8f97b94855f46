#pragma once

// The small dialogs that edit one group of settings each, and the window
// they share: snap, filter, drawing scale, the five fixed sizes and the
// camera angle; the Layers dialog; the print and plot set-up.

#include <gtk/gtk.h>

#include <span>
#include <string>
#include <vector>

#include "shell/dlg_table.h"

// A fixed-size window titled title (Latin-1, shown as given) with border 10
// and a vertical box returned in *box; the window manager's close does what
// close_key does (hides the window when it is null).
GtkWidget* dlg_small_window(const char* title, GtkWidget** box, const char* close_key);
// "Close" posting key, with the keyboard focus, packed at the end of box.
GtkWidget* dlg_small_close(GtkWidget* box, const char* key);
// An option menu of labels (translated when translate) bound to var.
GtkWidget* dlg_small_options(int* var, const std::vector<const char*>& labels, bool translate,
                             const char* refresh, GCallback extra);

GtkWidget* dlg_snap_create();
GtkWidget* dlg_filter_create();
GtkWidget* dlg_scale_create();
GtkWidget* dlg_textsize_create();
GtkWidget* dlg_openingsize_create();
GtkWidget* dlg_doorsize_create();
GtkWidget* dlg_windowsize_create();
GtkWidget* dlg_profilesize_create();
GtkWidget* dlg_camera_create();
GtkWidget* dlg_layer_create();
GtkWidget* dlg_printsetup_create();
GtkWidget* dlg_plotsetup_create();
GtkWidget* dlg_printscale_create();
GtkWidget* dlg_settings_create();
GtkWidget* dlg_font_create();
GtkWidget* dlg_aspect_create();
// The rows of the Settings dialog and its font and aspect dialogs.
void dlg_settings_install();

// The scale step of the Drawing Scale dialog: "dec" or "inc".
void dlg_scale_on_step(const char* which);
// Shows degrees in the Camera dialog's angle, when it is built.
void dlg_camera_set_angle(double degrees);
// The view angle for every active camera, then zoom to extents for each.
void dlg_camera_on_angle(double degrees);
// Rewrites the Layers dialog's rows; nothing while it is not built.
void dlg_layer_refresh();
// The print scale steps: "pr_dec", "pr_inc", "pl_dec", "pl_inc", "pe_dec", "pe_inc".
void dlg_print_on_scale_step(const char* which);

// Puts the rows of all these dialogs into the dialog table.
void dlg_small_install();

// The builder of a dialog table row for a window-making function.
template <GtkWidget* (*create)()>
void* dlg_build() {
  return create();
}

// A dialog opened by one key and closed by another.
struct DlgKeys {
  const char* open;
  const char* close;
  DlgId slot;
  void* (*build)();
};
// Rows for dialogs built once and hidden on close.
void dlg_add_kept(std::span<const DlgKeys> dialogs);
// Rows for dialogs built afresh on each opening and destroyed on close.
void dlg_add_fresh(std::span<const DlgKeys> dialogs);

// The Layers dialog's state and commands.
#include "model/consts.h"
#include "model/fixed_text.h"
extern FixedText<NAME_LEN> layer_set_name;  // "Default" whenever the dialog is built
extern int layer_dlg_list;                  // the list shown in the layer rows
void dlg_layer_on_layer_row(int row, int column, bool double_click);
void dlg_layer_on_list_row(int row, int column, bool double_click);
void cmd_p_layerstate_save();
void cmd_p_layerstate_delete();
void cmd_p_layerfunc_up();
void cmd_p_layerfunc_down();
void cmd_p_layerfunc_delete();
void gui_layerentry_closed();
