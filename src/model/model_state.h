#pragma once

// Puts every global of the model back to the state of a fresh start: no
// drawing and no undo steps, every setting, table, preset, layer, view
// record and the file reader's state as the built-in defaults and a new
// drawing leave them (main_init_defaults() included). For tests, which run
// many starts in one process.
//
// Left alone: the installed tables (ui, translation lookup), which belong
// to their installers, and elem_list_generation, which only grows so that
// nothing keyed on it mistakes a new drawing for an old one.
void model_state_reset();
