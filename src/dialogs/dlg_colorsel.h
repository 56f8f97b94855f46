#pragma once

// The Color dialog: one colour chooser that other dialogs open on a colour
// of their own (the pattern filling, the POV-Ray background). It is built
// once and retargeted on every opening; "Apply" writes the chosen colour
// into the target, "Close" drops an unapplied choice, and both hide it.

#include <gtk/gtk.h>

// Three reals 0..1 somewhere in the settings.
struct ColorTarget {
  double* r = nullptr;
  double* g = nullptr;
  double* b = nullptr;
};

// Makes target the current one, builds the dialog unless it exists, shows
// the target's colour and presents the dialog.
void dlg_colorsel_open(ColorTarget target);
GtkWidget* dlg_colorsel_create();
// Puts the dialog's keys into the dialog table.
void dlg_colorsel_install();

// Its widgets, for tests; null while it is not built.
struct DlgColorselWidgets {
  GtkWidget* selection = nullptr;  // GtkColorSelection
  GtkWidget* apply = nullptr;
  GtkWidget* close = nullptr;
};
const DlgColorselWidgets& dlg_colorsel_widgets();
