#pragma once

// The main window's menus, category buttons and tool pages as data. The
// builder (shell/mainwin.h) walks these tables; tests read them to check
// that every key the window can post is one the command loop knows.
//
// Labels and tips are English interface texts, translated when the widget
// is made unless the item is marked ITEM_RAW.

#include <cstdint>
#include <span>

enum : uint8_t {
  ITEM_NATURAL = 1,  // in a row: natural width, the other cells share the rest
  ITEM_CENTRE = 2,   // centred label (left-aligned otherwise)
  ITEM_RAW = 4,      // label shown as written, not translated
};

enum class ItemKind : uint8_t {
  BUTTON,     // command button: key, label
  PICTURE,    // command button showing the picture file in text
  SIZE,       // command button with a centred size label; value: which size (MainwinSize)
  GAP,        // a blank that takes its share of the free height
  GAP6,       // a blank of 6 x 6 pixels
  FRAME,      // begins a frame (text: title, null for none) holding a column
  ROW,        // begins a row of cells
  GRID,       // begins a table of value columns, filled row by row
  END,        // ends the innermost FRAME, ROW or GRID
  TOGGLE,     // toggle button with a label, bound to var
  RADIO,      // radio button bound to var, storing value; one group per variable and page
  IMAGE,      // a plain picture (text: the file)
  COMBO,      // preset combo of the kind in text, value pixels wide
  PRESET,     // preset row: the dialog button key "?" and the combo of kind text, value wide
  PENLINE,    // the pen and line-type selector
  VIEW_GRID,  // the view-type toggles of the 3D page
};

// The sizes shown on size buttons.
enum class MainwinSize : uint8_t { TEXT, OPENING, DOOR, WINDOW, PROFILE };

struct PageItem {
  ItemKind kind = ItemKind::END;
  const char* key = nullptr;   // command key
  const char* text = nullptr;  // label, picture file, frame title or preset kind
  const char* tip = nullptr;
  uint8_t flags = 0;
  int32_t* var = nullptr;  // TOGGLE, RADIO
  int value = 0;           // RADIO value, GRID columns, COMBO and PRESET width, SIZE which
};

struct ToolPage {
  const char* title;  // the frame's title
  std::span<const PageItem> items;
};

inline constexpr int TOOL_PAGE_COUNT = 13;
inline constexpr int TOOL_PAGE_SELECT = 12;
// Pages 0 Symbol, 1 Line, 2 Circle, 3 Wall, 4 Opening, 5 Dimension, 6 Text,
// 7 Room, 8 Pattern, 9 3D, 10 Unit, 11 Edit, 12 Select.
std::span<const ToolPage> mainwin_tool_pages();

// One category button: the label and the page name it shows.
struct CategoryButton {
  const char* label;
  const char* name;
  int column, row;
};
std::span<const CategoryButton> mainwin_categories();

// The tool page a category name shows, or -1 for any other name (compared whole).
int mainwin_page_of(const char* name);
// Whether the page switch leaves the view type alone ("3d" and "edit");
// every other category returns to the plan view.
bool mainwin_page_keeps_view(const char* name);

// The menu bar. A SUBMENU item begins a menu (of the bar, or nested) that the
// next END closes; SEPARATOR is a separator line.
enum class MenuKind : uint8_t { ITEM, SUBMENU, SEPARATOR, END };
struct MenuItem {
  MenuKind kind = MenuKind::END;
  const char* label = nullptr;
  const char* key = nullptr;
  char accel = 0;  // Control + this key, 0 for none
  uint8_t flags = 0;
};
std::span<const MenuItem> mainwin_menu_items();

// The view-type toggles of the 3D page: view type, picture (null for the
// labelled "Perspective" toggle), cell.
struct ViewToggleCell {
  int view_type;
  const char* xpm;
  int column, row;
};
std::span<const ViewToggleCell> mainwin_view_toggle_cells();
inline constexpr int VIEW_TYPE_COUNT = 10;
