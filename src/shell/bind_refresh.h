#pragma once

// The refresh keys of bound widgets. After a widget has stored its value, the
// key it was made with says what to redraw: the preview of the dialog that
// owns it, the main view, or the layer-name entry that closes. The drawing
// and the dialogs live elsewhere; they are reached through the shell
// platform table (shell_platform.h), whose entries start silent, so widgets
// work (and tests run) before anything is installed.

enum class BindRefresh {
  NONE,        // any key not in the table: nothing
  PREVIEW,     // the preview of a dialog, when that dialog is built
  MAIN,        // the main view (and the title)
  LAYERENTRY,  // the layer-name entry closes and the layer list is rebuilt
};

struct BindRefreshAction {
  BindRefresh what = BindRefresh::NONE;
  int preview = 0;  // the view number of a preview (1..7), 0 for the main view
};

// The table: "symbol" 7, "dim" 2, "pattern" 3, "text" 1, "opening" 4,
// "window" 5, "door" 6, "main" 0, "layerentry". Keys are compared whole; a
// null key is none.
BindRefreshAction bind_refresh_action(const char* key);

// Runs what the key's row says through the shell platform table.
void bind_refresh_run(const char* key);
