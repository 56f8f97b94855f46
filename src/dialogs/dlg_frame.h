#pragma once

// The frame every object-kind dialog shares, and the dialogs as data.
//
// A dialog is a fixed-size window titled with its kind's name: first the
// frame "Name" with the kind's preset combo, "Save" and the trash button,
// then the kind's own widgets, then "Close". Each dialog is described by a
// PresetDialog: its kind, slot, keys, and its widgets as a list of items in
// window order, as the tool pages are (shell/mainwin_tables.h). One builder
// walks the items; every value widget is a bound widget (shell/gtk/bind.h)
// on the item's variable, refreshing the kind's preview. The widgets of a
// built dialog are kept (DlgWidgets) so that a loaded preset can be shown.
//
// A dialog is built on its opening key, kept while hidden, and built anew
// after it was destroyed (the Text and Dim dialogs on every close).

#include <gtk/gtk.h>

#include <cstdint>
#include <span>
#include <vector>

#include "model/files/preset_files.h"
#include "shell/dlg_table.h"

enum class DlgItemKind : uint8_t {
  LENGTH,    // length entry (double metres) and its label, in a two-column table
  SIZE,      // paper size entry (double millimetres) and its label
  ANGLE,     // angle entry (double radians) and its label
  NUMBER,    // plain number entry (double) and its label
  TOGGLE,    // toggle button with a label (int 0/1)
  OPTIONS,   // option menu of labels (int: the index)
  PENLINE,   // the Pen/Line selector (var: int pen, var2: int line type)
  FONT,      // font combo (var: FixedText<FONT_NAME_LEN>)
  MATERIAL,  // material preset combo that loads nothing (var: FixedText<MATERIAL_NAME_LEN>)
  TEXTURE,   // texture image combo (var: FixedText<PATH_LEN>)
  TEXT,      // text entry (var: FixedText<PATH_LEN>) of at most `count` characters
  LABEL,     // a plain label (text), kept among the bound widgets so that it can be found
  SPIN,      // spin button of reals (double) over min..max
  SLIDER,    // horizontal slider (double) over min..max
  COLOR,     // colour chooser (var, var2, var3: double red, green, blue)
  BUTTON,    // command button: key in key, label in text; extra, when set, runs on "clicked"
  PREVIEW,   // frame "Preview" with the drawing area of view `view`, size pixels square
  FRAME,     // begins a frame (text: title) holding a column; group: a sensitivity group
  COLUMN,    // begins a column without a frame
  ROW,       // begins a row
  NOTEBOOK,  // begins a notebook
  PAGE,      // begins a notebook page (text: tab label)
  END,       // ends the innermost FRAME, COLUMN, ROW, NOTEBOOK or PAGE
  GAP,       // a blank line between groups
};

enum : uint8_t {
  DLG_NO_REFRESH = 1,  // the widget redraws nothing (refresh key empty)
  DLG_AS_WRITTEN = 2,  // a button's label is shown untranslated
};

// The sensitivity groups a frame can be (the Pattern dialog's, the
// Material dialog's).
enum : int8_t { DLG_GROUP_NONE = -1, DLG_GROUP_LINE1 = 0, DLG_GROUP_LINE2 = 1, DLG_GROUP_FILLING = 2 };
enum : int8_t { DLG_GROUP_IMAGE = 0, DLG_GROUP_SIZE = 1, DLG_GROUP_OFFSET = 2 };
inline constexpr int DLG_GROUP_COUNT = 3;

struct DlgItem {
  DlgItemKind kind = DlgItemKind::END;
  const char* text = nullptr;  // label or title, translated unless in `raw`
  void* var = nullptr;
  void* var2 = nullptr;
  void* var3 = nullptr;
  const char* const* labels = nullptr;  // OPTIONS
  int count = 0;                        // OPTIONS: number of labels; TEXT: the length limit
  int translated = -1;                  // OPTIONS: the first n labels are translated, -1 all
  double min = 0.0, max = 0.0, step = 0.0;
  int digits = 0;
  int view = 0;               // PREVIEW: the view number
  int size = 0;               // PREVIEW: pixels
  const char* key = nullptr;  // BUTTON
  int8_t group = DLG_GROUP_NONE;
  uint8_t flags = 0;
  GCallback extra = nullptr;  // OPTIONS: runs after the store, before the refresh; BUTTON: on "clicked"
};

struct PresetDialog {
  PresetKind kind;
  DlgId slot;
  const char* title;  // English, translated
  const char* open_key;
  const char* close_key;
  const char* save_key;
  bool destroyed_on_close;  // else hidden
  int preview;              // its view, 0 for none
  std::span<const DlgItem> items;
  void (*after_build)();  // runs once the widgets are made, or null
};

// The dialogs of this kind; one file each.
extern const PresetDialog wall_dialog, room_dialog, text_dialog, dim_dialog, opening_dialog, window_dialog,
    door_dialog, pattern_dialog, light_dialog;
// Every dialog above; the one of a kind (null for materials, which have
// their own dialog).
std::span<const PresetDialog* const> preset_dialogs();
const PresetDialog* preset_dialog_of(PresetKind kind);

// The widgets of a built dialog; everything null while it is not built.
struct DlgWidgets {
  struct Bound {
    const DlgItem* item;
    GtkWidget* widget;  // PENLINE: the pen menu
    GtkWidget* second;  // PENLINE: the line-type menu
  };
  GtkWidget* window = nullptr;
  GtkWidget* combo = nullptr;  // the preset combo
  GtkWidget* save = nullptr;
  GtkWidget* trash = nullptr;
  GtkWidget* close = nullptr;
  GtkWidget* groups[DLG_GROUP_COUNT] = {};
  std::vector<Bound> bound;

  // The widget bound to a variable (for a Pen/Line selector: the menu of
  // that variable); null when there is none.
  GtkWidget* of(const void* var) const;
};
DlgWidgets& dlg_widgets(PresetKind kind);

// Builds the dialog's window (not shown). The Pattern dialog's builder also
// stores it in its slot itself.
GtkWidget* dlg_preset_build(const PresetDialog& d);
// Shows every bound widget's variable again, running no handler.
void dlg_show_values(PresetKind kind);
// Whether the kind's dialog is built (its slot holds a window).
bool dlg_built(PresetKind kind);

// "delete-event" of every dialog: the Material, Dim and Text dialogs are
// destroyed (their slots clear themselves), every other one is hidden and
// kept. Always handled.
gboolean dlg_on_delete(GtkWidget* window, GdkEvent* event, gpointer data);

// The builders the dialog keys run.
GtkWidget* dlg_wall_create();
GtkWidget* dlg_room_create();
GtkWidget* dlg_text_create();
GtkWidget* dlg_dim_create();
GtkWidget* dlg_opening_create();
GtkWidget* dlg_window_create();
GtkWidget* dlg_door_create();
GtkWidget* dlg_pattern_create();
GtkWidget* dlg_light_create();

// The Pattern dialog's groups, sensitive as the pattern type wants them;
// nothing while it is not built.
void dlg_pattern_type_widgets_update();
