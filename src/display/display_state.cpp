#include "display/display_state.h"

#include <algorithm>

#include "display/command_buffer.h"
#include "display/draw.h"
#include "display/draw_parallel.h"
#include "display/font.h"
#include "display/input.h"
#include "display/key_state.h"
#include "display/outdev.h"
#include "display/pick.h"
#include "display/shell_hooks.h"
#include "display/snap.h"
#include "display/snap_grid.h"
#include "display/text_layout.h"
#include "display/view.h"
#include "display/view_commands.h"
#include "display/wait.h"
#include "display/wait_script.h"

void display_state_reset() {
  view_free_all();
  font_slots_clear();
  elem_grid_reset();
  wait_set_backend(nullptr);
  script_targets_install(ScriptTargets{});
  shell_hooks_install(ShellHooks{});
  display_hooks = DisplayHooks{};

  outdev_init_screen_slots();
  draw_parallel_reset();
  draw_parallel_min_elements = DRAW_PARALLEL_MIN_ELEMENTS;
  draw_parallel_piece_elements = DRAW_PARALLEL_PIECE_ELEMENTS;
  draw_refresh_now = 1;
  font_stroke_dir = "./dat/fonts";

  view_scale = 500.0;
  for (auto& palette : view_palettes) std::fill(std::begin(palette), std::end(palette), 0u);
  std::fill(std::begin(palette_rgb), std::end(palette_rgb), Rgb{});
  clip_result = ClipResult{};
  pointer_pixel = PixelPoint{};
  cursor_world = Point2{};
  pointer_world = Point2{};
  view_dirty = DirtyRect{};
  extents = ViewExtents{};
  marked_extents = ViewExtents{};
  view_saved = ViewRec{};
  view_saved_scale = 500.0;

  command_key = "nop";
  pending_command = "nop";
  active_request = nullptr;
  tangent_from = Point2{};
  input_text = "";
  value_entry_open = 0;
  snap_keys_enabled = 0;
  select_idle = 1;

  cursor_style = CURSOR_POINT;
  cursor_pos = CursorPos{};
  cur_preview_fn = nullptr;
  hover_code = 0;
  hover_found_code = 0;
  hover_scan_pos = CursorPos{};
  hover_busy = false;

  picked_edge = PickedEdge{};
  snap_window = SnapWindow{};
  snap_click = Point2{};
  snap_near_radius = 0.0;
  snap_point = Point3{};
  snap_index_threshold = 20000;
  for (Point2& p : text_frame) p = Point2{};
  glyph_contour = GlyphContour{};
}
