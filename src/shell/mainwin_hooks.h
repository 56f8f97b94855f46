#pragma once

// Calls from the key mapping, the boxes and the font change into the main
// window and the views, which are built elsewhere. The main window installs
// them when it is built; every entry starts silent, so the mapping and the
// boxes run (and are tested) without a main window.

namespace mainwin_hooks_silent {
inline void none() {}
inline void page(const char*) {}
inline void scroll(int, int) {}
inline void mode(int) {}
inline void* no_window() { return nullptr; }
}  // namespace mainwin_hooks_silent

struct MainwinHooks {
  // The main window (a GtkWidget), or null: boxes are kept above it.
  void* (*main_window)() = mainwin_hooks_silent::no_window;
  // Shows the tool page of that name ("edit", "line", ... "unit").
  void (*show_tool_page)(const char* name) = mainwin_hooks_silent::page;
  // Moves the main view by a quarter of its size in x and y (-1, 0, 1).
  void (*view_scroll_quarter)(int dx, int dy) = mainwin_hooks_silent::scroll;
  // Fits the drawing into the main view (mode 0) or only computes the extents (1).
  void (*view_zoom_to_extents)(int mode) = mainwin_hooks_silent::mode;
  // Gives the keyboard focus to the main drawing area.
  void (*view_main_grab_focus)() = mainwin_hooks_silent::none;
  // Refreshes the coordinate fields with no request running.
  void (*input_show_coordinates)() = mainwin_hooks_silent::none;
  // Refresh the pen and the line-type menus of every pen and line selector.
  void (*refresh_pen_menus)() = mainwin_hooks_silent::none;
  void (*refresh_linetype_menus)() = mainwin_hooks_silent::none;
  // Rebuilds the main window after the interface font changed: stops it,
  // frees the views, starts it again and refreshes its size labels.
  void (*rebuild)() = mainwin_hooks_silent::none;
};

// The installed table.
const MainwinHooks& mainwin_hooks();
// Installs a table and returns the previous one.
MainwinHooks mainwin_hooks_install(const MainwinHooks& hooks);
