#include "shell/cmd_dispatch.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "building/building_rows.h"
#include "dialogs/dialog_rows.h"
#include "display/command_buffer.h"
#include "display/command_rows.h"
#include "display/draw.h"
#include "display/view_commands.h"
#include "exchange/exchange_rows.h"
#include "model/cleanup.h"
#include "model/files/load_save.h"
#include "model/files/prefs.h"
#include "model/nls.h"
#include "model/ui.h"
#include "model/undo.h"
#include "shell/cmd_buttons.h"
#include "shell/cmd_commands.h"
#include "shell/cmd_keys.h"
#include "shell/cmd_loop.h"
#include "shell/help_launch.h"
#include "tools/tool_rows.h"

namespace {

// The shell's own commands. A handler that takes arguments gets a lambda:
//   {"b_dim_x", [] { tool_dim_dim(0.0, 0); }},
CmdRows shell_rows() {
  return {
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
      {"z_save_settings", [] { cmd_z_save_settings(); }},
      {"z_load_settings", [] { prefs_load(1); }},
      {"z_help_guide", [] { help_show_page("index.html"); }},
      {"z_help_tutorial", [] { help_show_page("tut.html"); }},
      {"z_help_readme", [] { help_show_page("readme.html"); }},
      {"z_help_shortcut", [] { help_show_page("8.html", "8-2"); }},
  };
}

// The five tables, gathered from every library's rows on first use.
struct Tables {
  std::vector<CmdRow> p, b, f, s, z;
  Tables() {
    for (const CmdRows& rows :
         {shell_rows(), display_rows(), tool_rows(), building_rows(), exchange_rows(), dialog_rows()})
      for (const CmdRow& row : rows) {
        if (std::vector<CmdRow>* table = of(row.key ? row.key[0] : 0)) table->push_back(row);
      }
  }
  std::vector<CmdRow>* of(char family) {
    switch (family) {
      case 'p':
        return &p;
      case 'b':
        return &b;
      case 'f':
        return &f;
      case 's':
        return &s;
      case 'z':
        return &z;
      default:
        return nullptr;
    }
  }
};

Tables& tables() {
  static Tables t;
  return t;
}

// A handler that throws is reported and the loop goes on: the exception
// must never unwind through the toolkit's frames.
void run_guarded(const char* key, const std::function<void()>& handler) {
  std::string what;
  try {
    handler();
    return;
  } catch (const std::exception& e) {
    what = e.what();
  } catch (...) {
    what = "?";
  }
  char text[512];
  std::snprintf(text, sizeof text, nls_translate("The command %s stopped with an unexpected error: %s"), key,
                what.c_str());
  ui().msgbox_error(text);
}

// Runs the row of key in the table of family; true when a handler ran.
bool run_row(char family, const char* key) {
  if (!key || key[0] != family) return false;
  for (const CmdRow& row : cmd_rows(family)) {
    if (std::strcmp(row.key, key) != 0) continue;
    if (!row.run) break;
    // A copy: the handler may change the table.
    std::function<void()> handler = row.run;
    run_guarded(key, handler);
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
  if (std::vector<CmdRow>* table = tables().of(family)) return *table;
  static std::vector<CmdRow> none;
  none.clear();
  return none;
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
