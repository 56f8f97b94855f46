#pragma once

// The question every exporter asks first: which elements go into the file.

// The interactive selection that "Select objects" runs: 1 when the user
// confirmed a selection (the chosen elements are marked), else 0.
// select_elements unless a test puts its own here.
extern int (*export_scope_select)(int mode);

// Asks "Export <name>:" with All objects / All visible objects / Select
// objects / Cancel and marks the elements the export takes:
//  1 every element; 2 every element on the current or a shown layer (other
//  marks stay as they are); 3 the interactive selection.
// Returns 1 to go on, 0 when the user cancelled or closed the question or
// the selection.
int msgbox_ask_export_scope(const char* name);
