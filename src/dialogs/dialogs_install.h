#pragma once

// Puts the object-kind dialogs into the program: their opening and closing
// keys into the dialog table, the preset loader behind the tool pages'
// combos (and so the start-up loading of every kind's current preset), and
// the preview drawing into the shell platform table.

void dialogs_install();

// Draws preview k: 0 the main view and its title, 1 to 6 the preview of the
// Text, Dim, Pattern, Opening, Window or Door dialog while that dialog is
// built (hidden or shown), 7 the symbol browser's chosen symbol.
void dlg_preview_draw(int k);
// Whether the dialog that owns preview k (1..7) is built.
bool dlg_preview_built(int k);
