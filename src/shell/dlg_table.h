#pragma once

// The dialog dispatch: every key a button or menu item posts passes here
// first, so the z_d_ and z_c_ keys open and close their dialogs at once,
// whoever waits. Each dialog has one slot holding its top-level window (or
// null); a dialog is built into its slot once and shown again from there,
// hidden, or destroyed so that it is built afresh from the current values.
//
// Widgets are opaque here. The toolkit side (dlg_use_gtk, through
// shell_platform.h) shows, hides and destroys them and clears a slot
// whenever its widget dies, so a slot never holds a dead widget. Without it
// the table only moves slots.

#include <functional>
#include <vector>

enum DlgId {
  // Destroyed by the interface font change, in this order.
  DLG_ASPECT,
  DLG_PLOTSETUP,
  DLG_PRINTSETUP,
  DLG_PRINTSCALE,
  DLG_SNAP,
  DLG_ROOM,
  DLG_WALL,
  DLG_LAYER,
  DLG_GAUGE,
  DLG_FILESEL,
  DLG_SETTINGS,
  DLG_PROGRESS,
  DLG_MAT,
  DLG_LIGHT,
  DLG_ERROR,  // the error and message box
  DLG_FILTER,
  DLG_OINFO,
  DLG_INFO,
  DLG_ASK,
  DLG_ABOUT,
  DLG_SCALE,
  DLG_DXF_IN,
  DLG_DXF_OUT,
  DLG_POV,
  DLG_HLR,
  DLG_RAY,
  DLG_COLORSEL,
  DLG_FONT,
  DLG_PATTERN,
  DLG_TEXT,
  DLG_DIM,
  DLG_OPENING,
  DLG_DOOR,
  DLG_SYMBOL,
  DLG_WINDOW,
  // Kept over a font change.
  DLG_CAMERA,
  DLG_TEXTSIZE,
  DLG_OPENINGSIZE,
  DLG_DOORSIZE,
  DLG_WINDOWSIZE,
  DLG_PROFILESIZE,
  DLG_TEXTEDIT,
  DLG_LAYERENTRY,
  DLG_COUNT
};

// The slots, indexed by DlgId.
extern void* dlg_slots[DLG_COUNT];
// The dialog's name, for messages and tests ("wall", "error", ...).
const char* dlg_name(DlgId id);
// Dialogs that the interface font change destroys.
inline constexpr int DLG_FONT_CHANGE_COUNT = DLG_WINDOW + 1;

// Puts a freshly built widget into its slot.
void dlg_store(DlgId id, void* widget);
// Destroys the widget in the slot if there is one; the slot is null afterwards.
void dlg_destroy(void** slot);
void dlg_destroy(DlgId id);
// Shows and raises widget; nothing for null.
void dlg_present(void* widget);
// Hides widget; nothing for null.
void gui_widget_hide(void* widget);

enum class DlgAct {
  OPEN,     // build into the slot unless built, then present
  REBUILD,  // destroy, build anew, present
  HIDE,
  DESTROY,
  RUN,  // only `then`
};

struct DlgRow {
  const char* key;
  DlgAct action;
  DlgId slot = DLG_COUNT;           // not used by RUN
  void* (*build)() = nullptr;       // OPEN and REBUILD
  std::function<void()> then = {};  // runs after the action, if set
};

// The live table, in dispatch order; the first row whose key equals the
// posted key runs. It starts with the rows of the boxes that only close;
// each dialog's owner on the toolkit side adds its own rows (a builder when
// it builds); tests may add rows and put the table back afterwards.
std::vector<DlgRow>& dlg_rows();
// Puts a row into the table: it replaces the row of the same key, else it
// comes last. Adding a dialog's rows again therefore changes nothing.
void dlg_row_set(DlgRow row);

// Runs the row of key. A dialog key (shell/cmd_keys.h) without a row prints
// "command key KEY: no handler, dropped" on standard output, as the
// dispatchers do for their unbuilt commands; other keys without a row do
// nothing here.
void cmd_dispatch_dialog(const char* key);
