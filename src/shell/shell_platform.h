#pragma once

// What the toolkit-free shell asks of the window system: the toggle state of
// the command buttons, showing, hiding and destroying dialog windows, the
// dialog previews, and the main window's pages, menus, size labels and
// rebuild. Widgets are opaque handles here.
//
// The GTK side installs the real operations at start (cmd_buttons_use_gtk,
// dlg_use_gtk, mainwin_install_ui), each keeping the entries it does not
// provide. Every entry starts silent, so the shell and its unit tests run
// without a display.

namespace shell_platform_silent {
inline void set_active(void*, const char*, bool) {}
inline unsigned long watch_button(void*) { return 0; }
inline void unwatch_button(void*, unsigned long) {}
inline void widget(void*) {}
inline void watch_slot(void*, void**) {}
inline void view(int) {}
inline bool built(int) { return false; }
inline void page(const char*) {}
inline void none() {}
inline void poll(bool (*)()) {}
}  // namespace shell_platform_silent

struct ShellPlatform {
  // The button groups (cmd_buttons.h). Sets a toggle button's state without
  // running the handler connected with key.
  void (*button_set_active)(void* widget, const char* key, bool on) = shell_platform_silent::set_active;
  // Calls mainwin_forget_button(widget) when the widget is destroyed;
  // returns an id for button_unwatch (0 when nothing watches).
  unsigned long (*button_watch)(void* widget) = shell_platform_silent::watch_button;
  void (*button_unwatch)(void* widget, unsigned long id) = shell_platform_silent::unwatch_button;

  // The dialog windows of the dialog table (dlg_table.h): shows and raises,
  // hides, destroys; dlg_watch clears *slot when the widget dies, however
  // that happens.
  void (*dlg_present)(void* widget) = shell_platform_silent::widget;
  void (*dlg_hide)(void* widget) = shell_platform_silent::widget;
  void (*dlg_destroy)(void* widget) = shell_platform_silent::widget;
  void (*dlg_watch)(void* widget, void** slot) = shell_platform_silent::watch_slot;

  // The refreshes of bound widgets (bind_refresh.h). Draws view k: the main
  // drawing and title for 0, a dialog preview for 1..7.
  void (*dlg_preview_draw)(int k) = shell_platform_silent::view;
  // Whether the dialog that owns preview k (1..7) is built.
  bool (*dlg_preview_built)(int k) = shell_platform_silent::built;
  // Destroys the layer-name entry and refills the layer list.
  void (*gui_layerentry_closed)() = shell_platform_silent::none;

  // The main window. Shows the tool page of that name ("edit", "line", ...
  // "unit").
  void (*mainwin_show_tool_page)(const char* name) = shell_platform_silent::page;
  // Refresh the pen and the line-type menus of every pen and line selector.
  void (*mainwin_refresh_pen_menus)() = shell_platform_silent::none;
  void (*mainwin_refresh_linetype_menus)() = shell_platform_silent::none;
  // Re-formats the size buttons of the tool pages.
  void (*mainwin_size_labels_refresh)() = shell_platform_silent::none;
  // Rebuilds the main window after the interface font changed: stops it,
  // frees the views, starts it again and refreshes its size labels.
  void (*mainwin_rebuild)() = shell_platform_silent::none;

  // Calls done now and then on the main loop until it returns true.
  void (*poll_until)(bool (*done)()) = shell_platform_silent::poll;
};

// The installed table.
const ShellPlatform& shell_platform();
// Installs a table and returns the previous one.
ShellPlatform shell_platform_install(const ShellPlatform& table);
