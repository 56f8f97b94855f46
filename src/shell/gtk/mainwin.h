#pragma once

// The main window: the drawing area of view 0 with the view bar under it,
// and on the right the menu bar, the twelve category buttons, the thirteen
// tool pages and the snap bar. Every button and menu item posts its command
// key through cmd_post_key. The pages, menus and categories are data
// (shell/mainwin_tables.h); this builds them and keeps the widgets that
// change later.
//
// Every function here is safe while the window does not exist: it then does
// nothing.

#include <gtk/gtk.h>

#include "shell/mainwin_tables.h"

// The widgets changed after the build; all null while there is no window.
struct MainwinWidgets {
  GtkWidget* window = nullptr;
  GtkWidget* notebook = nullptr;
  GtkWidget* view_frame = nullptr;  // holds the drawing area of view 0
  GtkWidget* view_bar = nullptr;    // the view bar's table
  GtkWidget* view_toggles[VIEW_TYPE_COUNT] = {};
  // Pen and line-type menus of the pages that carry the selector (others null).
  GtkWidget* pen_menus[TOOL_PAGE_COUNT] = {};
  GtkWidget* line_type_menus[TOOL_PAGE_COUNT] = {};
  GtkWidget* size_labels[5] = {};  // by MainwinSize
  // The preset combos: wall, opening, door, window, dim, text, room,
  // pattern, light, and the material combos of the 3D and Unit pages.
  GtkWidget* combo_wall = nullptr;
  GtkWidget* combo_opening = nullptr;
  GtkWidget* combo_door = nullptr;
  GtkWidget* combo_window = nullptr;
  GtkWidget* combo_dim = nullptr;
  GtkWidget* combo_text = nullptr;
  GtkWidget* combo_room = nullptr;
  GtkWidget* combo_pattern = nullptr;
  GtkWidget* combo_light = nullptr;
  GtkWidget* combo_mat_3d = nullptr;
  GtkWidget* combo_mat_unit = nullptr;
  // The Select page's "Active" mode, "Element", "Opening" and "Point" type,
  // "Active layer" radios and the "Filter" toggle.
  GtkWidget* select_active = nullptr;
  GtkWidget* select_element = nullptr;
  GtkWidget* select_opening = nullptr;
  GtkWidget* select_point = nullptr;
  GtkWidget* select_active_layer = nullptr;
  GtkWidget* select_filter = nullptr;
  GtkWidget* text_editor_toggles[4] = {};  // the " E " toggles
  // The bars.
  GtkWidget* view_option_toggles[3] = {};  // guide points, all black, exact thickness
  GtkWidget* snap_preview_toggle = nullptr;
  GtkWidget* scale_label = nullptr;
  GtkWidget* coord_x = nullptr;
  GtkWidget* coord_y = nullptr;
  GtkWidget* prompt = nullptr;
  GtkWidget* undo_button = nullptr;
  GtkWidget* redo_button = nullptr;
  GtkWidget* snap_buttons[4] = {};  // intersection, middle, dividing, tangent
};
extern MainwinWidgets mainwin_widgets;

// The tool page last shown by mainwin_show_tool_page (1, Line, at start).
extern int mainwin_current_page;

// Loads the current preset of a kind ("wall", "room", "text", "dim",
// "opening", "window", "door", "mat", "pattern", "light") from its preset
// file. Run when a tool page's combo names another preset, and at start-up.
// The preset dialogs install it; until then a chosen name is only stored.
extern void (*preset_load_hook)(const char* kind);

// Builds the whole window, not yet shown, and returns it.
GtkWidget* mainwin_build();
// The widgets are gone (the window was destroyed): forgets every slot.
void mainwin_forget_widgets();

// Shows the page of a category name ("line", "circle", ... "symbol"), posts
// p_newmenue and, except for "3d" and "edit", returns to the plan view.
// source is ignored (the category button).
void mainwin_show_tool_page(GtkWidget* source, const char* name);
void mainwin_add_category_button(GtkWidget* table, int column, int row, const char* name, const char* label);
// One picture toggle of the 3D page's view grid; window is unused (pictures
// need no realized window).
void mainwin_add_view_button(GtkWidget* window, GtkWidget* table, int column, int row, int view_type,
                             const char* xpm_path);
GtkWidget* mainwin_menu_add_submenu(GtkWidget* menu_or_bar, const char* label);
// A command item posting key; the label "separator" makes a separator line.
// accel shows Control+accel beside the label, and that key chooses the
// item (except while the value entry is open); 0 for none.
GtkWidget* mainwin_menu_add_item(GtkWidget* menu, const char* label, const char* key, char accel);

// Makes a view type current through its toggle; the drawing is fitted into
// the view exactly once.
void mainwin_select_view(int view_type);
// "toggled" of the view toggles (data: the view type). The current view's
// toggle cannot be released.
void mainwin_on_view_toggle(GtkWidget* toggle, gpointer data);

// An interactive selection starts: the Select page shows with its choices
// reset (mode Active, type Element, layers Active layer, filter off, no
// z_toggle posted); "Opening" and "Point" only when opening_and_point.
void mainwin_select_page_enter(unsigned char opening_and_point);
// It ends: the current tool page shows again.
void mainwin_select_page_leave();

void mainwin_refresh_pen_menus();
void mainwin_refresh_linetype_menus();
// The five size buttons show text size, opening, door and window width and
// profile size in the current units.
void mainwin_size_labels_refresh();
// Lists the preset folders in the eleven combos again and sets their names
// (which loads each kind's preset).
void gui_preset_combos_refill();
