#pragma once

// The command-key vocabulary: every key each dispatcher knows, whether or not
// its handler is built, and the keys that reach no dispatcher and only end a
// wait. Kept as data so that a test can check that every key a button, menu,
// key map or dialog posts is dispatched or only ends a wait.

#include <span>

// The longest key, terminator excluded.
inline constexpr int CMD_KEY_MAX = 25;

// The keys of one dispatcher ('p', 'b', 'f', 's', 'z'), in dispatch order;
// empty for any other letter.
std::span<const char* const> cmd_keys(char family);

// Keys no dispatcher runs: they end a wait (cancel, page switch, the input
// engine's own keys) or have been acted on before they are posted (preset
// save buttons and the dialog keys below).
std::span<const char* const> cmd_keys_wait_only();
// Prefixes of whole groups of such keys (the preset save buttons).
std::span<const char* const> cmd_key_prefixes_wait_only();
// The keys of the dialog dispatch (dlg_table.h): opening and closing every
// dialog and box, in the order it compares them. They only end a wait.
std::span<const char* const> cmd_keys_dialog();

// Whether key is in the vocabulary of the dispatcher of its first letter.
bool cmd_key_known(const char* key);
// Whether key is one of the dialog dispatch's keys.
bool cmd_key_is_dialog(const char* key);
// Whether key only ends a wait (and is not a dispatcher's key).
bool cmd_key_only_ends_wait(const char* key);
