#pragma once

// The layer commands and layer sets behind the Layers dialog, free of any
// widget so that they run in tests without a display.

#include <string>

// Exchanges layer n with its neighbour above (up) or below: the elements of
// the two layers swap layer numbers, the two records swap, and cur_layer
// follows. Nothing at the ends (0 up, 999 down) or outside 0..999. The
// drawing counts as modified; there is no undo step. Returns 1 when the
// layers were exchanged.
int layer_exchange_up(int n);
int layer_exchange_down(int n);

// Deletes the elements of layer n as one undo step and empties its name.
// When it holds elements the user is asked first; any answer other than
// "Delete" keeps everything. The step is recorded even for an empty layer.
// Returns 1 when the layer was cleared.
int layer_delete_elements(int n);

// Layer sets by name. save updates the first set of that name or appends a
// new one (returns 1 when it appended); recall applies every set of that
// name (returns how many matched); delete unlinks the first set of that name
// after the first set of the list and gives the name to show next (the
// following set's, else the previous one's), or nothing when no set went.
int layer_set_save(const char* name);
int layer_set_recall(const char* name);
bool layer_set_delete(const char* name, std::string* shown_next);

// The layer number as the Layers dialog shows it: right-aligned to three
// characters ("  5", " 42", "342").
std::string layer_number_text(int n);
