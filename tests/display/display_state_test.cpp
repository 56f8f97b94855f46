// The display's reset gives every later test the state of a fresh start,
// whatever the tests before it changed. Checked in a process of its own,
// started anew, so that "fresh" is the program's real start state.

#include "display/display_state.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

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
#include "display/text_layout.h"
#include "display/view.h"
#include "display/view_commands.h"
#include "display/wait.h"
#include "display/wait_script.h"
#include "model/defaults.h"
#include "model/view_rec.h"
#include "support/state_diff.h"

namespace {

template <class Fn>
uintptr_t address(Fn* fn) {
  return reinterpret_cast<uintptr_t>(fn);
}

std::string observe() {
  WaitBackend* backend = wait_set_backend(nullptr);
  wait_set_backend(backend);
  const ScriptTargets targets = script_targets_install(ScriptTargets{});
  script_targets_install(targets);
  const ShellHooks hooks = shell_hooks_install(ShellHooks{});
  shell_hooks_install(hooks);

  std::ostringstream o;
  o << "slots " << address(outdev.line) << ' ' << address(outdev.text) << ' ' << address(outdev.fill) << ' '
    << int(outdev.active) << ' ' << int(outdev.draw_mode) << " pen pass " << outdev.context.pen_pass << '\n'
    << "refresh " << int(draw_refresh_now) << " fonts '" << font_stroke_dir << "' " << font_slots[0].name
    << ' ' << font_slots[0].codes.size() << '\n'
    << "installed " << (backend != nullptr) << ' ' << address(targets.click) << ' '
    << address(hooks.cmd_post_key) << ' ' << address(hooks.cmd_dispatch_f) << ' '
    << address(display_hooks.cursor_toggle) << '\n'
    << "view " << view_scale << ' ' << (view_surface(0) != nullptr) << ' ' << view_palettes[0][0] << ' '
    << palette_rgb[0].r << ' ' << clip_result.x1 << ' ' << view_dirty.dirty << '\n'
    << "pointer " << pointer_pixel.x << ' ' << pointer_world.x << ' ' << cursor_world.x << '\n'
    << "extents " << extents.started << ' ' << extents.xmax << ' ' << marked_extents.count << ' '
    << view_saved.xmin << ' ' << view_saved_scale << '\n'
    << "keys " << command_key.view() << ' ' << pending_command.view() << " '" << input_text.view() << "' "
    << value_entry_open << ' ' << snap_keys_enabled << ' ' << select_idle << '\n'
    << "request " << (active_request != nullptr) << ' ' << tangent_from.x << '\n'
    << "cursor " << int(cursor_style) << ' ' << cursor_pos.x << ' ' << address(cur_preview_fn) << '\n'
    << "hover " << hover_code << ' ' << hover_found_code << ' ' << hover_scan_pos.x << ' ' << hover_busy
    << '\n'
    << "snap " << int(picked_edge.found) << ' ' << snap_window.xmax << ' ' << snap_click.x << ' '
    << snap_near_radius << ' ' << snap_point.z << ' ' << snap_index_threshold << '\n'
    << "text " << text_frame[2].x << ' ' << glyph_contour.count() << '\n'
    << "parallel " << draw_parallel_min_elements << ' ' << draw_parallel_piece_elements << '\n';
  return o.str();
}

struct NoWait : WaitBackend {
  void run(int) override {}
  void end(int) override {}
};

void preview(InputRequest*, double, double) {}
void toggle() {}
void click(int, double, double, bool) {}
void key(const char*) {}

void change_what_tests_change() {
  static NoWait no_wait;
  static InputRequest request;
  wait_set_backend(&no_wait);
  ScriptTargets t;
  t.click = click;
  script_targets_install(t);
  ShellHooks h;
  h.cmd_dispatch_f = key;
  shell_hooks_install(h);
  display_hooks.cursor_toggle = toggle;
  outdev.line = nullptr;
  outdev.active = 1;
  outdev.context.pen_pass = 2;
  draw_refresh_now = 0;
  font_stroke_dir = "/elsewhere";
  font_slots[0].name = "Simpel";
  font_slots[0].codes = {1, 2, 3};
  view_scale = 20;
  views[0] = ViewRec{0, 0, 40, 30, -1, -1, 1, 1, 0.05, 0.05};
  view_offscreen(0, 40, 30);
  palette_rgb[0].r = 0.5;
  clip_result.x1 = 3;
  view_dirty.dirty = true;
  pointer_pixel = PixelPoint{4, 5};
  pointer_world.x = 6;
  cursor_world.x = 7;
  extents.started = 1;
  extents.xmax = 8;
  marked_extents.count = 9;
  view_saved.xmin = 10;
  view_saved_scale = 11;
  command_key = "b_line_line";
  pending_command = "p_file_save";
  input_text = "12";
  value_entry_open = 1;
  snap_keys_enabled = 1;
  select_idle = 0;
  active_request = &request;
  tangent_from.x = 13;
  cursor_style = CURSOR_PICK;
  cursor_pos = CursorPos{14, 15};
  cur_preview_fn = preview;
  hover_code = 1;
  hover_found_code = 1;
  hover_scan_pos = CursorPos{16, 17};
  hover_busy = true;
  picked_edge.found = 1;
  snap_window.xmax = 18;
  snap_click.x = 19;
  snap_near_radius = 20;
  snap_point.z = 21;
  snap_index_threshold = 22;
  text_frame[2].x = 23;
  glyph_contour.points.assign(24, Point2{});
  draw_parallel_min_elements = 25;
  draw_parallel_piece_elements = 26;
}

TEST(DisplayState, ResetGivesTheStateOfAFreshStart) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");  // the child runs in a new process
  EXPECT_EXIT(
      {
        // As the program's start does.
        main_init_defaults();
        outdev_init_screen_slots();
        const std::string fresh = observe();
        change_what_tests_change();
        if (observe() == fresh) {
          std::fputs("the changes changed nothing\n", stderr);
          std::exit(2);
        }
        display_state_reset();
        const std::string again = observe();
        std::fputs(differing_lines(fresh, again).c_str(), stderr);
        std::exit(again == fresh ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

}  // namespace
