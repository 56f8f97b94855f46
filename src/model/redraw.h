#pragma once

// The model's own screen updates. A few model operations redraw what they
// change (the clean-up commands, the stretch re-fit, wall rebuilds, the
// camera) or fit the view after a settings file; they reach the drawing
// passes and the extents through this table, which the display installs at
// its start (display/display_init.h). Every entry starts silent, so the model
// runs and is tested without a display.

struct ElemHeader;

namespace redraw_silent {
inline void none() {}
inline void draw(int, const ElemHeader*) {}
inline void mode(int) {}
}  // namespace redraw_silent

struct RedrawTable {
  // Drawing is bracketed by two cursor toggles, which hide and show the
  // program's cursor and the waiting step's rubber band; modes are the
  // DRAW_* constants of model/consts.h.
  void (*input_cursor_toggle)() = redraw_silent::none;
  void (*draw_element)(int mode, const ElemHeader* e) = redraw_silent::draw;
  void (*draw_last_element)(int mode) = redraw_silent::mode;
  // Mode 0 fits the main view to the drawing's extents.
  void (*view_zoom_to_extents)(int mode) = redraw_silent::mode;
  // 1 starts holding the main view's redraws, 0 ends the hold and draws the
  // view once if a redraw came meanwhile (display/draw.h view_redraw_hold).
  void (*view_redraw_hold)(int on) = redraw_silent::mode;
};

// The installed table.
const RedrawTable& redraw();
// Installs a table and returns the previous one.
RedrawTable redraw_install(const RedrawTable& table);
