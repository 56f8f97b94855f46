#pragma once

// The preset operations as the dialogs and the tool pages run them: the
// preset files (model/files/preset_files.h) plus what the open dialog and
// the tool-page combos show.
//
// Loading while the kind's dialog is built first sets its combo and the
// tool-page combos to the name (with a loading flag of the kind set, so the
// loads these text changes start return at once), then reads the file,
// shows the values in the dialog and redraws its preview. Saving and
// deleting list the folder again in those combos and show the saved name,
// or "Default" after a deletion, which loads it.

#include "model/files/preset_files.h"

void preset_gui_load(PresetKind kind);
// A save that fails (said by preset_save) leaves the combos and the values
// as they are.
void preset_gui_save(PresetKind kind);
// Nothing for "Default" or a name that would leave the kind's folder.
void preset_gui_delete(PresetKind kind);
