#include "shell/cmd_dispatch.h"

#include <cstdio>
#include <cstring>

#include "display/command_buffer.h"
#include "display/font.h"
#include "display/view_commands.h"
#include "display/view_tools.h"
#include "model/cleanup.h"
#include "model/files/load_save.h"
#include "model/files/prefs.h"
#include "model/ui.h"
#include "model/undo.h"
#include "shell/cmd_buttons.h"
#include "shell/cmd_commands.h"
#include "shell/cmd_keys.h"
#include "tools/line_tools.h"

namespace {

// One row per built handler. A handler that takes arguments gets a lambda:
//   {"b_dim_x", [] { tool_dim_dim(0.0, 0); }},
std::vector<CmdRow> rows_p = {
    {"p_path_draw", [] { cmd_p_path_choose("draw"); }},
    {"p_path_sym", [] { cmd_p_path_choose("sym"); }},
    {"p_path_dxf", [] { cmd_p_path_choose("dxf"); }},
    {"p_path_export", [] { cmd_p_path_choose("export"); }},
    {"p_path_dia", [] { cmd_p_path_choose("dia"); }},
    {"p_pov_out", [] { cmd_p_path_choose("pov"); }},
    {"p_ray_out", [] { cmd_p_path_choose("ray"); }},
    {"p_file_new", cmd_p_file_new},
    {"p_file_load",
     [] {
       kavfile_load_drawing(0, "");
       ui().mainwin_update_title();
     }},
    {"p_file_save",
     [] {
       kavfile_save_drawing(0);
       ui().mainwin_update_title();
     }},
    {"p_file_import_truetype", cmd_p_file_import_truetype},
    {"p_tools_remdup", cmd_p_tools_remdup},
    {"p_file_quit", cmd_p_file_quit},
    {"p_glminus", cmd_p_glminus},
    {"p_undo",
     [] {
       undo_step_back();
       view_redraw();
     }},
    {"p_redo",
     [] {
       undo_step_forward();
       view_redraw();
     }},
};

std::vector<CmdRow> rows_b = {
    {"b_gauge", [] { tool_gauge(); }},
    {"b_line_line", tool_line_line},
    {"b_line_x", tool_line_x},
    {"b_line_y", tool_line_y},
    {"b_line_a", tool_line_a},
    {"b_line_frame", tool_line_frame},
    {"b_line_oframe", tool_line_oframe},
    {"b_line_parallel", tool_line_parallel},
    {"b_line_pparallel", tool_line_pparallel},
    {"b_line_orthogonal", tool_line_orthogonal},
    {"b_line_polygon", tool_line_polygon},
};

std::vector<CmdRow> rows_f = {
    {"f_zoom", [] { view_zoom_window(); }},
    {"f_pan", [] { view_pan(); }},
    {"f_mamid", [] { view_zoom_center(); }},
};

std::vector<CmdRow> rows_s = {
    {"s_maplus", view_scale_step_up},
    {"s_maminus", view_scale_step_down},
    {"s_back", view_back},
    {"s_alles", [] { view_zoom_to_extents(0); }},
    {"s_komplett", view_default},
};

std::vector<CmdRow> rows_z = {
    {"z_save_settings", [] { cmd_z_save_settings(); }},
    {"z_load_settings", [] { prefs_load(1); }},
    {"z_plot", view_redraw},
    {"z_pap", view_redraw},
    {"z_def", view_remember},
    {"z_space", view_center_on_cursor},
    {"z_scrollup", view_scale_step_down},
    {"z_scrolldown", view_scale_step_up},
};

// Runs the row of key in the table of family; true when a handler ran.
bool run_row(char family, const char* key) {
  if (!key || key[0] != family) return false;
  for (const CmdRow& row : cmd_rows(family)) {
    if (std::strcmp(row.key, key) != 0) continue;
    if (!row.run) break;
    // A copy: the handler may change the table.
    std::function<void()> handler = row.run;
    handler();
    return true;
  }
  if (cmd_key_only_ends_wait(key)) return false;
  if (cmd_key_known(key))
    std::printf("command key %s: no handler, dropped\n", key);
  else
    std::printf("command key %s: unknown, dropped\n", key);
  std::fflush(stdout);
  return false;
}

}  // namespace

std::vector<CmdRow>& cmd_rows(char family) {
  switch (family) {
    case 'p':
      return rows_p;
    case 'b':
      return rows_b;
    case 'f':
      return rows_f;
    case 's':
      return rows_s;
    case 'z':
      return rows_z;
    default: {
      static std::vector<CmdRow> none;
      none.clear();
      return none;
    }
  }
}

bool cmd_key_has_row(const char* key) {
  if (!key) return false;
  for (const CmdRow& row : cmd_rows(key[0]))
    if (std::strcmp(row.key, key) == 0) return true;
  return false;
}

void cmd_dispatch_p(const char* key) { run_row('p', key); }

void cmd_dispatch_b(const char* key) {
  run_row('b', key);
  if (pending_command.c_str()[0] != 'b') mainwin_release_b_button();
}

void cmd_dispatch_f(const char* key) { run_row('f', key); }

void cmd_dispatch_s(const char* key) {
  if (run_row('s', key)) mainwin_release_f_button();
}

void cmd_dispatch_z(const char* key) { run_row('z', key); }

void cmd_dispatch(const char* key) {
  if (!key) return;
  switch (key[0]) {
    case 'p':
      cmd_dispatch_p(key);
      return;
    case 'b':
      cmd_dispatch_b(key);
      return;
    case 'f':
      cmd_dispatch_f(key);
      return;
    case 's':
      cmd_dispatch_s(key);
      return;
    case 'z':
      cmd_dispatch_z(key);
      return;
    default:
      if (std::strcmp(key, "nop") == 0) return;
      std::printf("command key %s: unknown, dropped\n", key);
      std::fflush(stdout);
  }
}
