#pragma once

// The keyboard mapping of the main window: a key press (a GDK key value and
// its modifier state) becomes one action. Most keys post a command key; the
// keypad and the digits pan or fit the view at once, Control and Shift with
// F1..F8 set the current pen and line type, and page letters switch the tool
// page. All of these also work while a tool or a box waits.

#include <cstdint>

// Modifier bits of the state (GDK's values).
inline constexpr unsigned KEYMAP_SHIFT = 1u << 0;
inline constexpr unsigned KEYMAP_LOCK = 1u << 1;
inline constexpr unsigned KEYMAP_CONTROL = 1u << 2;

enum class KeyActKind {
  NONE,    // nothing happens
  POST,    // post the command key `text`
  PAGE,    // switch to the tool page `text`
  PAN,     // move the main view by a quarter (dx, dy)
  FIT,     // fit the drawing into the main view
  PEN,     // set the current pen and/or line type
  LAYERS,  // open or raise the Layers dialog and post "z_d_layer"
};

struct KeyAction {
  KeyActKind kind = KeyActKind::NONE;
  const char* text = nullptr;     // POST: the key; PAGE: the page name
  int dx = 0, dy = 0;             // PAN
  int pen = -1;                   // PEN: the new current pen, -1 unchanged
  int line_type = -1;             // PEN: the new current line type, -1 unchanged
  bool focus_view = false;        // the drawing area takes the focus first
  bool show_coordinates = false;  // the coordinate fields are refreshed first
  bool propagate = false;         // the key belongs to the open value entry
  bool close_entry = false;       // the open value entry goes first
};

// The action of one key press. Modifiers other than Shift, Control, Alt,
// Super, Hyper and Meta (Caps Lock, Num Lock, mouse buttons) are ignored.
KeyAction keymap_action(uint32_t keyval, unsigned state, bool snap_keys_enabled, bool select_idle,
                        bool value_entry_open);

// Carries out an action: posts its key, switches the page, moves the view or
// sets the pen; the main window's page and menus go through the shell
// platform table (shell_platform.h).
void keymap_run(const KeyAction& action);

// Maps a key press with the current state (display/key_state.h) and runs it.
// Returns false when the key must go on to the focused value entry.
bool keymap_press(uint32_t keyval, unsigned state);

// A key press by name for scripted runs: "Escape", "d", "KP_5", "U", with
// any of the prefixes "<Control>" and "<Shift>" ("<Control><Shift>F3").
// Unknown names do nothing.
void keymap_script_press(const char* name);
