#pragma once

// The state the keyboard mapping reads and the inline value entry writes.
//
// Point input opens the inline value entry when a value is to be typed; Enter
// in it leaves the text in input_text and posts "z_eini"; Escape in it closes
// it and posts "z_eesc". While the entry is open the key mapping is otherwise
// off, so digits go into the entry. While a point step waits the letters i,
// m, d and t post snap keys; while an interactive selection runs, Tab ends
// it.

#include "model/fixed_text.h"

inline constexpr int INPUT_TEXT_LEN = 256;

// The text typed into the entry (ISO-8859-1), copied out on Enter.
extern FixedText<INPUT_TEXT_LEN> input_text;
// 1 while the inline value entry exists.
extern int value_entry_open;
// 1 while a point step waits (the snap buttons are enabled).
extern int snap_keys_enabled;
// 0 while an interactive selection runs, 1 otherwise.
extern int select_idle;

// What Enter in the entry does after the entry is gone: keeps text (cut to
// input_text) and posts "z_eini". Scripted typed values go the same way.
void value_entry_take(const char* text);
